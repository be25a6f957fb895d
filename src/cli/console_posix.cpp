#include "cli/console.h"

namespace lomi {

std::vector<std::string> Utf8Arguments(int argc, char* argv[]) {
    return std::vector<std::string>(argv, argv + argc);
}

void PrepareConsoleOutput() {}

}  // namespace lomi
