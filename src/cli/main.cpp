#include <iostream>
#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/report_command.h"

int main(int argc, char* argv[]) {
    lomi::PrepareConsoleOutput();
    const std::vector<std::string> arguments = lomi::Utf8Arguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
    return lomi::RunReportCommand(static_cast<int>(pointers.size()), pointers.data(), std::cout,
                                  std::cerr);
}
