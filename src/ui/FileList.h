#pragma once

#include <string>
#include <vector>

namespace kolvane {

// The invisible file list: a folder and a wildcard pattern, both kept until set again, that
// enumerate the matching regular files in ascending name order.
class FileList {
  public:
    void setPath(std::string folder) { folder_ = std::move(folder); }
    void setPattern(std::string pattern) { pattern_ = std::move(pattern); }
    const std::string& path() const { return folder_; }
    const std::string& pattern() const { return pattern_; }

    // The matching names; returns 0 or the errno of a folder that cannot be listed.
    int List(std::vector<std::string>& names) const;

  private:
    std::string folder_;
    std::string pattern_;
};

} // namespace kolvane
