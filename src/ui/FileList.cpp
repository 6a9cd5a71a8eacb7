#include "ui/FileList.h"

#include "convert/Discovery.h"

namespace kolvane {

int FileList::List(std::vector<std::string>& names) const {
    return ListMatchingFiles(folder_, pattern_, names);
}

} // namespace kolvane
