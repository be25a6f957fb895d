#pragma once

#include <string>
#include <vector>

namespace lomi {

// The command line as UTF-8 texts, program name first. On Windows the
// narrow argv is in the ANSI code page, so the wide command line is
// converted instead; elsewhere argv is UTF-8 already. Platform files:
// console_posix.cpp, console_win.cpp.
std::vector<std::string> Utf8Arguments(int argc, char* argv[]);

// Makes standard output and error take UTF-8 bytes as they are: on Windows
// the console is switched to UTF-8 and "\n" is no longer turned into CR LF.
void PrepareConsoleOutput();

}  // namespace lomi
