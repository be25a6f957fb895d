#include "cli/console.h"

namespace lomi {

std::vector<std::string> Utf8Arguments(int argc, char* argv[]) {
    return std::vector<std::string>(argv, argv + argc);
}

void PrepareConsoleOutput() {}

// A terminal shows the bytes it is given in its own encoding, so output
// asked for in another encoding is written as asked.
bool IsConsole(const std::ostream&) { return false; }

}  // namespace lomi
