#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace lomi::test {

// What one run of the lomi-report program gave.
struct ReportRun {
    std::string out;
    std::string err;
    int exitCode = -1;
};

// Runs the built lomi-report (or program, when given) with arguments, in
// workingFolder when given, and collects its output and exit code.
ReportRun RunReport(const std::vector<std::string>& arguments,
                    const std::filesystem::path& workingFolder = {},
                    const std::filesystem::path& program = {});

// The built lomi-report.
std::filesystem::path ReportProgram();

// The input files of the golden case name (tests/golden/name/input), written
// in code page 932 with CR LF line ends into folder under the same names.
void WriteGoldenInput(const std::string& name, const std::filesystem::path& folder);

// The lines of a text file, without their line ends.
std::vector<std::string> ReadLines(const std::filesystem::path& file);

// text with every LF preceded by CR, as the report box holds it.
std::string WithCrLf(const std::string& text);

}  // namespace lomi::test
