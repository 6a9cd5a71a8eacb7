#include "model/FileIo.h"

#include "model/Text.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <utility>

namespace kolvane {
namespace {

using platform::Kind;

// -1 with errno set, as DurableCalls returns a failure.
int Failed(int error) {
    if (error == 0) return 0;
    errno = error;
    return -1;
}

// The errno a DurableCalls failure left, never 0.
int LastError() {
    return errno ? errno : EIO;
}

} // namespace

std::string WithTrailingSlash(std::string folder) {
    if (!folder.empty() && platform::kSeparators.find(folder.back()) == std::string::npos) {
        // A Windows user's "C:\data" goes on with "\", one given as "C:/data" with "/".
        const bool forward = folder.find('/') != std::string::npos;
        folder += forward ? '/' : platform::kSeparator;
    }
    return folder;
}

bool IsFolder(const std::string& path) {
    platform::Status st;
    return platform::Stat(path, st) == 0 && st.kind == Kind::Folder;
}

int ReadWholeFile(const std::string& path, std::string& out) {
    out.clear();
    platform::File file;
    if (int e = platform::OpenToRead(path, file)) return e;
    platform::Status st;
    if (int e = platform::StatOf(file.get(), st)) return e;
    // A pipe or a device has no end to read to (a link to /dev/zero would fill the memory).
    if (st.kind != Kind::Regular) return platform::NotRegularFile(st.kind);
    // One byte more than the size: a read that stops short of it at exactly the size has met the end,
    // and needs no further read to say so; a file that grew meanwhile fills it and is read on.
    out.resize(st.size > 0 ? static_cast<std::size_t>(st.size) + 1 : 65536);
    std::size_t used = 0;
    while (true) {
        if (used == out.size()) out.resize(out.size() * 2);
        std::size_t n = 0;
        const std::size_t asked = out.size() - used;
        if (int e = platform::Read(file.get(), out.data() + used, asked, n)) {
            out.clear();
            return e;
        }
        used += n;
        if (n == 0 || (n < asked && used == st.size)) break;
    }
    out.resize(used);
    return 0;
}

int RemoveFile(const std::string& path) {
    return platform::RemoveFile(path);
}

namespace {

// Where a write to `path` lands: the file a chain of symbolic links ends at (which may not exist yet),
// and what is there now.
int FollowLinks(std::string& path, platform::Status& st) {
    for (int hops = 0; hops < 40; ++hops) {
        if (int e = platform::LinkStat(path, st)) return e;
        if (st.kind != Kind::Link) return 0;
        std::string target;
        if (int e = platform::ReadLink(path, target)) return e;
        std::size_t slash = path.find_last_of(platform::kSeparators);
        if (target.empty() || target[0] == '/' || slash == std::string::npos)
            path = target;
        else
            path = path.substr(0, slash + 1) + target;
    }
    return ELOOP;
}

} // namespace

int SyncFileData(platform::Handle file) {
    return Failed(platform::SyncData(file));
}

int SyncFileSystem(platform::Handle file) {
    return Failed(platform::SyncFileSystem(file));
}

int RenameFile(const char* from, const char* to) {
    return Failed(platform::Rename(from, to));
}

int SyncFolderHandle(platform::Handle folder) {
    return Failed(platform::SyncFolderHandle(folder));
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : calls_(other.calls_), path_(std::move(other.path_)), folder_(std::move(other.folder_)),
      temp_(std::exchange(other.temp_, {})), file_(std::move(other.file_)), opened_(other.opened_) {}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
    if (this != &other) {
        Discard();
        calls_ = other.calls_;
        path_ = std::move(other.path_);
        folder_ = std::move(other.folder_);
        temp_ = std::exchange(other.temp_, {});
        file_ = std::move(other.file_);
        opened_ = other.opened_;
    }
    return *this;
}

PendingFile::~PendingFile() {
    Discard();
}

void PendingFile::Discard() {
    file_.Close();
    if (!temp_.empty()) platform::RemoveFile(temp_);
    temp_.clear();
}

int PendingFile::Prepare(const std::string& requested, std::string_view bytes, const DurableCalls& calls) {
    static std::atomic<unsigned> counter{0};
    static std::atomic<std::uint64_t> openings{0};
    Discard();
    calls_ = calls;
    path_ = requested;
    platform::Status old;
    if (int e = FollowLinks(path_, old)) return e;
    std::size_t slash = path_.find_last_of(platform::kSeparators);
    folder_ = slash == std::string::npos ? std::string() : path_.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);

    // A rename over a pipe or a device would replace the node itself (a link to /dev/zero made root's
    // run turn the system's device into a CSV file).
    if (int e = platform::NotRegularFile(old.kind)) return e;
    const bool replacing = old.kind == Kind::Regular;

    std::string temp;
    platform::File file;
    for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
        temp = folder_ + "." + name + ".tmp" + std::to_string(platform::ProcessId()) + "-" +
               std::to_string(counter++);
        const int e = platform::CreateNew(temp, file);
        if (e && e != EEXIST) return e;
    }
    if (!file.valid()) return EEXIST;
    opened_ = openings++;
    temp_ = std::move(temp);

    auto fail = [this](int e) {
        Discard();
        return e;
    };
    if (replacing)
        if (int e = platform::TakeOwnerAndMode(file.get(), old)) return fail(e);
    if (int e = platform::WriteAll(file.get(), bytes)) return fail(e);
    // The disk works on it while the caller computes; the sync then mostly finds it done.
    platform::StartWriteBack(file.get());
    file_ = std::move(file);
    return 0;
}

int PendingFile::Sync() {
    if (!file_.valid()) return temp_.empty() ? EINVAL : 0;
    // Without this a power cut soon after the rename can leave the new name on an empty file.
    if (calls_.syncFile(file_.get()) != 0) {
        int e = LastError();
        Discard();
        return e;
    }
    if (int e = file_.Close()) {
        Discard();
        return e;
    }
    return 0;
}

int PendingFile::SyncAll(const std::vector<PendingFile*>& files, std::size_t& failed) {
    std::vector<std::uint64_t> devices(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        platform::Status st;
        if (files[i]->file_.valid() && platform::StatOf(files[i]->file_.get(), st) == 0)
            devices[i] = st.device;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!files[i]->file_.valid()) continue;
        // A file system's sync reports the failed writes since its file was opened: the first opened
        // covers them all.
        std::size_t earliest = i;
        for (std::size_t j = i; j < files.size(); ++j)
            if (devices[j] == devices[i] && files[j]->file_.valid() &&
                files[j]->opened_ < files[earliest]->opened_)
                earliest = j;
        failed = i;
        errno = 0;
        if (files.front()->calls_.syncFileSystem(files[earliest]->file_.get()) != 0) {
            if (errno != ENOSYS) return LastError();
            if (int e = files[i]->Sync()) return e;
            continue;
        }
        for (std::size_t j = i; j < files.size(); ++j) {
            if (devices[j] != devices[i] || !files[j]->file_.valid()) continue;
            failed = j;
            if (int e = files[j]->file_.Close()) return e;
        }
    }
    return 0;
}

int PendingFile::Commit() {
    if (int e = Sync()) return e;
    if (calls_.rename(temp_.c_str(), path_.c_str()) != 0) {
        int e = LastError();
        Discard();
        return e;
    }
    temp_.clear();
    return 0;
}

int SyncFolder(const std::string& folder, const DurableCalls& calls) {
    // A folder we may write but not open, or a file system that cannot sync one, leaves nothing to do.
    platform::File dir;
    if (platform::OpenFolder(folder, dir) != 0) return 0;
    if (calls.syncFolder(dir.get()) == 0) return 0;
    const int e = LastError();
    return e == EINVAL || e == EROFS ? 0 : e;
}

int WriteFileAtomically(const std::string& path, std::string_view bytes, const DurableCalls& calls) {
    PendingFile file;
    if (int e = file.Prepare(path, bytes, calls)) return e;
    if (int e = file.Commit()) return e;
    // The rename lives in the folder, which must reach the disk too before we say "written".
    return SyncFolder(file.folder(), calls);
}

namespace {

// The process id of a temporary file's name, or 0 when the name is not one of ours.
long TemporaryFileOwner(std::string_view name) {
    if (name.size() < 2 || name[0] != '.') return 0;
    const std::size_t tmp = name.rfind(".tmp");
    if (tmp == std::string_view::npos) return 0;
    const std::string_view base = name.substr(1, tmp - 1);
    bool ours = false;
    for (std::string_view ending : {".csv", ".ini", ".png", ".svg"})
        ours = ours || (base.size() > ending.size() &&
                        EqualsIgnoreAsciiCase(base.substr(base.size() - ending.size()), ending));
    const std::string_view tail = name.substr(tmp + 4);
    const std::size_t dash = tail.find('-');
    if (!ours || dash == 0 || dash == std::string_view::npos || dash + 1 == tail.size()) return 0;
    long pid = 0;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        if (i == dash) continue;
        if (!IsAsciiDigit(tail[i])) return 0;
        if (i < dash && pid < 100000000) pid = pid * 10 + (tail[i] - '0');
    }
    return pid;
}

} // namespace

int RemoveStaleTemporaryFiles(const std::string& folder) {
    int removed = 0;
    std::vector<platform::FolderEntry> entries;
    // What could be listed is cleaned; the rest waits for the next run.
    platform::ListFolder(folder, entries);
    for (const platform::FolderEntry& entry : entries) {
        const long owner = TemporaryFileOwner(entry.name);
        if (owner <= 0 || platform::ProcessRuns(owner)) continue;
        if (platform::RemoveFile(folder + entry.name) == 0) ++removed;
    }
    return removed;
}

std::string FolderLookup::Resolve(const std::string& name) {
    std::string exact = folder_ + name;
    platform::Status st;
    // Where the system ignores case, only the listing knows how the name found is spelt.
    if (!platform::kNamesIgnoreCase && platform::LinkStat(exact, st) == 0 && st.kind != Kind::Missing)
        return exact;
    return Listed(name);
}

int FolderLookup::Read(const std::string& name, std::string& path, std::string& bytes) {
    if (platform::kNamesIgnoreCase) {
        path = Resolve(name);
        return ReadWholeFile(path, bytes);
    }
    // The open itself says whether the exact name is there: no look before it.
    path = folder_ + name;
    const int e = ReadWholeFile(path, bytes);
    if (e != ENOENT) return e;
    platform::Status st;
    // A link to nothing is the exact name, as Resolve finds it.
    if (platform::LinkStat(path, st) == 0 && st.kind != Kind::Missing) return e;
    path = Listed(name);
    return path == folder_ + name ? e : ReadWholeFile(path, bytes);
}

std::string FolderLookup::Listed(const std::string& name) {
    if (!listed_) {
        listed_ = true;
        std::vector<platform::FolderEntry> entries;
        platform::ListFolder(folder_, entries);
        for (platform::FolderEntry& entry : entries) {
            auto [it, added] = byLowerName_.try_emplace(LowerAscii(entry.name), entry.name);
            if (!added && entry.name < it->second) it->second = std::move(entry.name);
        }
    }
    auto it = byLowerName_.find(LowerAscii(name));
    return folder_ + (it == byLowerName_.end() ? name : it->second);
}

int ListRegularFiles(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    std::vector<platform::FolderEntry> entries;
    if (int e = platform::ListFolder(folder, entries)) return e;
    // Ignoring case, then as written: each name is lowered once, not in every one of a sort's comparisons
    // (a folder of many stations holds tens of thousands).
    std::vector<std::pair<std::string, std::string>> keyed;
    for (platform::FolderEntry& entry : entries) {
        platform::Status st;
        const bool regular = entry.kind == Kind::Regular ||
                             (entry.kind == Kind::Link && platform::Stat(folder + entry.name, st) == 0 &&
                              st.kind == Kind::Regular);
        if (regular) keyed.emplace_back(LowerAscii(entry.name), std::move(entry.name));
    }
    std::sort(keyed.begin(), keyed.end());
    names.reserve(keyed.size());
    for (auto& [lower, name] : keyed)
        names.push_back(std::move(name));
    return 0;
}

} // namespace kolvane
