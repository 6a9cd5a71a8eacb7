#ifdef _WIN32

#include "platform/System.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

namespace kolvane::platform {
namespace {

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string Narrow(std::wstring_view wide, UINT codePage = CP_UTF8) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr,
                        nullptr);
    return text;
}

// The system's error as the errno the core's messages know.
int Errno(DWORD error) {
    switch (error) {
    case ERROR_SUCCESS:
        return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_PRIVILEGE_NOT_HELD:
        return EACCES;
    case ERROR_LOCK_VIOLATION:
    case ERROR_IO_PENDING:
        return EWOULDBLOCK;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
        return ENOSYS;
    case ERROR_CANT_RESOLVE_FILENAME:
        return ELOOP;
    case ERROR_INVALID_NAME:
        return EINVAL;
    default:
        return EIO;
    }
}

int LastErrno() {
    return Errno(GetLastError());
}

int Opened(HANDLE handle, File& out) {
    if (handle == INVALID_HANDLE_VALUE) return LastErrno();
    out = File(handle);
    return 0;
}

HANDLE Open(const std::string& path, DWORD access, DWORD disposition, DWORD flags = 0) {
    // Others may read, write, rename and remove it meanwhile, as on POSIX.
    return CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, disposition, FILE_ATTRIBUTE_NORMAL | flags, nullptr);
}

Kind KindOfType(DWORD type) {
    switch (type) {
    case FILE_TYPE_DISK:
        return Kind::Regular;
    case FILE_TYPE_PIPE:
        return Kind::Pipe;
    case FILE_TYPE_CHAR:
        return Kind::Device;
    default:
        return Kind::Other;
    }
}

int StatPath(const std::string& path, Status& out, DWORD flags) {
    out = Status{};
    File file;
    // Reading nothing, so that a file no one may read still tells what it is.
    const int e = Opened(Open(path, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags), file);
    if (e == ENOENT) return 0;
    if (e) return e;
    return StatOf(file.get(), out);
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

} // namespace

int File::Close() {
    if (!valid()) return 0;
    return CloseHandle(release()) ? 0 : LastErrno();
}

int Stat(const std::string& path, Status& out) {
    return StatPath(path, out, 0);
}

int LinkStat(const std::string& path, Status& out) {
    // Windows opens through its links as a write does; a link is no file of its own to the program.
    return StatPath(path, out, 0);
}

int StatOf(Handle file, Status& out) {
    out = Status{};
    out.kind = KindOfType(GetFileType(file));
    if (out.kind != Kind::Regular) return 0;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) return LastErrno();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) out.kind = Kind::Folder;
    out.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    out.device = info.dwVolumeSerialNumber;
    out.inode = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    return 0;
}

int ReadLink(const std::string&, std::string& target) {
    target.clear();
    return EINVAL;
}

int OpenToRead(const std::string& path, File& out) {
    return Opened(Open(path, GENERIC_READ, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS), out);
}

int CreateNew(const std::string& path, File& out) {
    return Opened(Open(path, GENERIC_WRITE, CREATE_NEW), out);
}

int OpenToAppend(const std::string& path, bool create, File& out) {
    // Appending access alone: every write lands at the end, whoever else appends.
    const DWORD append = FILE_APPEND_DATA | SYNCHRONIZE | FILE_READ_ATTRIBUTES;
    if (create) return Opened(Open(path, GENERIC_READ | append, CREATE_NEW), out);
    if (Opened(Open(path, GENERIC_READ | append, OPEN_EXISTING), out) == 0) return 0;
    return Opened(Open(path, append, OPEN_EXISTING), out);
}

int Read(Handle file, char* data, std::size_t size, std::size_t& done) {
    DWORD n = 0;
    const DWORD ask = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (!ReadFile(file, data, ask, &n, nullptr)) return GetLastError() == ERROR_BROKEN_PIPE ? 0 : LastErrno();
    done = n;
    return 0;
}

int ReadByteAt(Handle file, std::uint64_t offset, char& byte) {
    OVERLAPPED at = At(offset);
    DWORD n = 0;
    if (!ReadFile(file, &byte, 1, &n, &at)) return LastErrno();
    return n == 1 ? 0 : EIO;
}

int WriteAll(Handle file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD n = 0;
        const DWORD ask = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
        if (!WriteFile(file, bytes.data(), ask, &n, nullptr)) return LastErrno();
        if (n == 0) return EIO;
        bytes.remove_prefix(n);
    }
    return 0;
}

int Truncate(Handle file, std::uint64_t size) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    FILE_END_OF_FILE_INFO end;
    end.EndOfFile = at;
    return SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end) ? 0 : LastErrno();
}

int TakeOwnerAndMode(Handle, const Status&) {
    // A new file in the folder takes the folder's permissions, as the replaced one did.
    return 0;
}

int SyncData(Handle file) {
    return FlushFileBuffers(file) ? 0 : LastErrno();
}

int SyncFileSystem(Handle) {
    // Flushing a volume needs an administrator: each file is flushed alone.
    return ENOSYS;
}

void StartWriteBack(Handle) {}

int OpenFolder(const std::string&, File&) {
    // The renames are written through to the disk by MoveFileExW itself.
    return ENOSYS;
}

int SyncFolderHandle(Handle) {
    return EINVAL;
}

int Rename(const char* from, const char* to) {
    if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return LastErrno();
}

int RemoveFile(const std::string& path) {
    return DeleteFileW(Wide(path).c_str()) ? 0 : LastErrno();
}

int MakePrivateFolder(const std::string& path) {
    // A folder below the user's profile is the user's alone already.
    return CreateDirectoryW(Wide(path).c_str(), nullptr) ? 0 : LastErrno();
}

int LockByte(Handle file, std::uint64_t offset, LockWait wait) {
    OVERLAPPED at = At(offset);
    const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait == LockWait::No ? LOCKFILE_FAIL_IMMEDIATELY : 0);
    if (LockFileEx(file, flags, 0, 1, 0, &at)) return 0;
    const int e = LastErrno();
    return e == ENOSYS ? ENOLCK : e;
}

int UnlockByte(Handle file, std::uint64_t offset) {
    OVERLAPPED at = At(offset);
    return UnlockFileEx(file, 0, 1, 0, &at) ? 0 : LastErrno();
}

int ListFolder(const std::string& folder, std::vector<FolderEntry>& out) {
    out.clear();
    const std::string pattern = (folder.empty() ? std::string(".\\") : folder) + "*";
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileExW(Wide(pattern).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : LastErrno();
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const DWORD attributes = found.dwFileAttributes;
        const Kind kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? Kind::Link
                          : (attributes & FILE_ATTRIBUTE_DIRECTORY)   ? Kind::Folder
                                                                      : Kind::Regular;
        out.push_back({Narrow(name), kind});
    } while (FindNextFileW(find, &found));
    const DWORD end = GetLastError();
    FindClose(find);
    return end == ERROR_NO_MORE_FILES ? 0 : Errno(end);
}

long ProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

bool ProcessRuns(long id) {
    if (id <= 0) return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    // Denied: it runs, as another user.
    if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

std::tm LocalTime(std::time_t when) {
    std::tm local{};
    localtime_s(&local, &when);
    return local;
}

namespace {

// The length of the CP932 sequence `rest` starts with.
std::size_t Cp932Length(std::string_view rest) {
    return IsDBCSLeadByteEx(932, static_cast<BYTE>(rest[0])) && rest.size() >= 2 ? 2 : 1;
}

// The length of the UTF-8 sequence `rest` starts with.
std::size_t Utf8Length(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    const std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return n < rest.size() ? n : rest.size();
}

// All of `in` converted at once, or false when some sequence has no form on the other side.
bool ConvertAll(std::string_view in, UINT from, UINT to, std::string& out) {
    const int n =
        MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), nullptr, 0);
    if (n <= 0) return false;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), wide.data(), n);
    const bool toUtf8 = to == CP_UTF8;
    const DWORD flags = toUtf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL defaulted = FALSE;
    const int m =
        WideCharToMultiByte(to, flags, wide.data(), n, nullptr, 0, nullptr, toUtf8 ? nullptr : &defaulted);
    if (m <= 0 || defaulted) return false;
    const std::size_t before = out.size();
    out.resize(before + static_cast<std::size_t>(m));
    WideCharToMultiByte(to, flags, wide.data(), n, out.data() + before, m, nullptr, nullptr);
    return true;
}

std::size_t Append(std::string_view in, UINT from, UINT to, std::size_t (*length)(std::string_view),
                   std::string& out) {
    // Mostly all of it converts at once; else sequence by sequence up to the first that cannot.
    if (in.empty() || ConvertAll(in, from, to, out)) return in.size();
    std::size_t done = 0;
    while (done < in.size()) {
        const std::size_t n = length(in.substr(done));
        if (!ConvertAll(in.substr(done, n), from, to, out)) break;
        done += n;
    }
    return done;
}

} // namespace

std::size_t AppendUtf8OfCp932(std::string_view in, std::string& out) {
    return Append(in, 932, CP_UTF8, Cp932Length, out);
}

std::size_t AppendCp932OfUtf8(std::string_view in, std::string& out) {
    return Append(in, CP_UTF8, 932, Utf8Length, out);
}

std::string Environment(const char* name) {
    const std::wstring wideName = Wide(name);
    const DWORD n = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::wstring value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(wideName.c_str(), value.data(), n);
    value.resize(got);
    return Narrow(value);
}

std::string HomeFolder() {
    return Environment("USERPROFILE");
}

int WriteAccess(const std::string& folder) {
    // Only a try tells: Windows grants writing by lists the attributes do not show.
    const std::string probe =
        (folder.empty() ? std::string(".\\") : folder) + ".kolvane-write-test." + std::to_string(ProcessId());
    HANDLE file = CreateFileW(Wide(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastErrno();
    CloseHandle(file);
    return 0;
}

bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    // The program's lines are UTF-8; the console shows them so.
    SetConsoleOutputCP(CP_UTF8);
    // LF stays LF on stdout and stderr, as on POSIX.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Narrow(wide[i]));
    LocalFree(wide);
    return arguments;
}

} // namespace kolvane::platform

#endif
