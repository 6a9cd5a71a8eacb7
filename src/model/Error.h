#pragma once

#include <stdexcept>
#include <string>

namespace kolvane {

// A failure the user must be told about. what() is the complete Japanese message (UTF-8),
// naming the file, and the day or column where it applies, and the cause.
class KolvaneError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Japanese wording of an errno value, for messages about files and folders.
std::string DescribeSystemError(int errorNumber);

} // namespace kolvane
