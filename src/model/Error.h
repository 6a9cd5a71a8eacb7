#pragma once

#include <stdexcept>
#include <string>

namespace kolvane {

// A failure the user must be told about. what() is the complete Japanese message (UTF-8), built by
// one of the functions of model/Messages.h.
class KolvaneError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace kolvane
