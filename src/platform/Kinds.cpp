#include "platform/System.h"

#include <cerrno>

namespace kolvane::platform {

bool IsReservedInName(char c) {
#ifdef _WIN32
    return c == '\0' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
#else
    return c == '\0';
#endif
}

int NotRegularFile(Kind kind) {
    switch (kind) {
    case Kind::Missing:
    case Kind::Regular:
        return 0;
    case Kind::Folder:
        return EISDIR;
    case Kind::Pipe:
        return kIsPipe;
    case Kind::Device:
        return kIsDevice;
    case Kind::Socket:
        return kIsSocket;
    case Kind::Link:
    case Kind::Other:
        break;
    }
    return ENODEV;
}

} // namespace kolvane::platform
