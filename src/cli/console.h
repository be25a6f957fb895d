#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace lomi {

// The command line as UTF-8 texts, program name first. On Windows the
// narrow argv is in the ANSI code page, which cannot hold every file name,
// so the UTF-16 command line is split with CommandLineToArgvW instead;
// elsewhere argv is UTF-8 already. Platform files: console_posix.cpp,
// console_win.cpp.
std::vector<std::string> Utf8Arguments(int argc, char* argv[]);

// Makes std::cout and std::cerr take UTF-8 bytes as they are. On Windows
// "\n" is no longer turned into CR LF, and a stream that is a console window
// gets its text as UTF-16 (WriteConsoleW), whole characters at a time, so
// Japanese shows whatever the console's code page; a file or a pipe gets
// the UTF-8 bytes.
void PrepareConsoleOutput();

// Whether stream writes to a console window (whose text is never
// re-encoded: it shows characters, not bytes).
bool IsConsole(const std::ostream& stream);

}  // namespace lomi
