#pragma once

#include <iosfwd>

namespace lomi {

// lomi-report: parses the arguments, prints to out/err, returns the exit code.
int RunReportCommand(int argc, const char* const argv[], std::ostream& out,
                     std::ostream& err) noexcept;

}  // namespace lomi
