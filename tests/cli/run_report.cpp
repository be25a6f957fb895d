#include "cli/run_report.h"

#include <sstream>
#include <stdexcept>

#include "support/temp_folder.h"
#include "support/ticket_files.h"

namespace lomi::test {

std::filesystem::path ReportProgram() { return LOMI_REPORT_PATH; }

void WriteGoldenInput(const std::string& name, const std::filesystem::path& folder) {
    const auto input = std::filesystem::path(LOMI_GOLDEN_DIR) / name / "input";
    for (const auto& entry : std::filesystem::directory_iterator(input)) {
        WriteTicketFile(folder, entry.path().filename().string(), ReadLines(entry.path()));
    }
}

std::vector<std::string> ReadLines(const std::filesystem::path& file) {
    std::istringstream text(ReadBytes(file));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace lomi::test
