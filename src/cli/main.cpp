#include <iostream>

#include "cli/report_command.h"

int main(int argc, char* argv[]) { return lomi::RunReportCommand(argc, argv, std::cout, std::cerr); }
