// kolvane-convert: the conversion of the window, for batch work and scripting.

#include "Verbs.h"

#include "platform/System.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> arguments = kolvane::platform::Utf8Arguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return kolvane::cli::RunCommandLine(static_cast<int>(arguments.size()), pointers.data());
}
