#include "support/ticket_files.h"

#include <cstdio>
#include <stdexcept>

#include "data/cp932.h"
#include "support/temp_folder.h"

namespace lomi::test {
namespace {

// text right-aligned in width bytes of its code page 932 encoding.
std::string RightAlignBytes(std::string_view utf8, std::size_t width) {
    const std::size_t bytes = EncodeCp932(utf8).size();
    if (bytes > width) throw std::invalid_argument("header field too wide: " + std::string(utf8));
    return std::string(width - bytes, ' ') + std::string(utf8);
}

}  // namespace

std::string EncodeTicketLines(const std::vector<std::string>& lines, std::string_view lineEnd) {
    std::string bytes;
    for (const std::string& line : lines) {
        bool representable = true;
        bytes += EncodeCp932(line, &representable);
        if (!representable) throw std::invalid_argument("not code page 932: " + line);
        bytes += lineEnd;
    }
    return bytes;
}

std::filesystem::path WriteTicketFile(const std::filesystem::path& folder, std::string_view name,
                                      const std::vector<std::string>& lines,
                                      std::string_view lineEnd) {
    const auto file = folder / std::filesystem::u8path(name);
    WriteBytes(file, EncodeTicketLines(lines, lineEnd));
    return file;
}

std::string HeaderLine(std::string_view year, std::string_view month, std::string_view day) {
    // Bytes 21-48 of a header hold other text; 28 bytes of it here.
    const std::string between = "度 Tolvik contest 集計 ";
    std::string line = "Kestrava  " + RightAlignBytes(year, 8) + "年";
    line += between + std::string(28 - EncodeCp932(between).size(), ' ');
    line += RightAlignBytes(month, 4) + "月    " + RightAlignBytes(day, 4) + "日 馬券";
    return line;
}

std::string HeaderLine(int year, int month, int day) {
    return HeaderLine(std::to_string(year), std::to_string(month), std::to_string(day));
}

std::string RaceData(const RaceFields& f) {
    char codes[32];
    std::snprintf(codes, sizeof codes, "%02d%02d%02d%d%d%d%02d", f.venue, f.race, f.runners, f.age,
                  f.raceClass, f.surface, f.distance);
    return codes + RightAlign(f.win, 4) + RightAlign(f.place, 4) + RightAlign(f.quinella, 5) +
           RightAlign(f.wide, 5);
}

std::string DataLine(std::string_view head, const std::array<std::string, 6>& slots,
                     std::string_view raceData, int barColumn) {
    std::string line = LeftAlign(head, 8);
    for (const std::string& slot : slots) line += LeftAlign(slot, 5) + " ";
    // The last slot's separator is column 44; the bar may stand there or later.
    line.pop_back();
    const std::size_t columns = CharCount(line);
    if (barColumn < 44) throw std::invalid_argument("bar before column 44");
    line += std::string(static_cast<std::size_t>(barColumn) - 1 - columns, ' ');
    line += "| ";
    line += raceData;
    return line;
}

std::size_t CharCount(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < utf8.size(); ++count) NextUtf8(utf8, pos);
    return count;
}

std::string RightAlign(std::string_view utf8, std::size_t width) {
    const std::size_t count = CharCount(utf8);
    return std::string(count < width ? width - count : 0, ' ') + std::string(utf8);
}

std::string LeftAlign(std::string_view utf8, std::size_t width) {
    const std::size_t count = CharCount(utf8);
    return std::string(utf8) + std::string(count < width ? width - count : 0, ' ');
}

}  // namespace lomi::test
