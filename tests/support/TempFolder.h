#pragma once

#include "model/FileIo.h"

#include <filesystem>
#include <map>
#include <string>

namespace kolvane::testing {

// A fresh folder below the system's temporary folder, removed with its contents.
class TempFolder {
  public:
    TempFolder() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("kolvane-test-" + std::to_string(platform::ProcessId()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }

    // Joined with the system's separator, as the program joins the folders a user gives it.
    std::string folder() const { return WithTrailingSlash(path_.string()); }
    std::string File(const std::string& name) const { return folder() + name; }
    std::string Folder(const std::string& name) const { return WithTrailingSlash(File(name)); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        WriteFileAtomically(File(name), bytes);
        return File(name);
    }
    static std::string Read(const std::string& path) {
        std::string bytes;
        ReadWholeFile(path, bytes);
        return bytes;
    }
    // Entries besides the run log a run leaves in its output folder (a lock file would count).
    long EntryCount() const {
        long n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            n += entry.path().filename() == "kolvane-log.csv" ? 0 : 1;
        return n;
    }

    // The bytes of each file a run wrote here, by name: all but the monthly files and the run log, and
    // the hidden ones (temporary and kept-aside files) only when `hidden`.
    std::map<std::string, std::string> Outputs(bool hidden) const {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            const std::string name = entry.path().filename().string();
            if (name[0] != 'M' && name != "kolvane-log.csv" && (hidden || name[0] != '.'))
                files[name] = Read(entry.path().string());
        }
        return files;
    }

  private:
    std::filesystem::path path_;
};

} // namespace kolvane::testing
