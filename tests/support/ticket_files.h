#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lomi::test {

// Ticket files for tests, written from readable UTF-8 text. Each line is
// encoded in code page 932 and followed by lineEnd; a line that holds a
// character the code page cannot write throws, so a test never writes
// something other than what it shows.
std::string EncodeTicketLines(const std::vector<std::string>& lines,
                              std::string_view lineEnd = "\r\n");
std::filesystem::path WriteTicketFile(const std::filesystem::path& folder, std::string_view name,
                                      const std::vector<std::string>& lines,
                                      std::string_view lineEnd = "\r\n");

// A header line with the year, month and day texts right-aligned at their
// byte positions (year in bytes 11-18 followed by 年, month in 49-52, day in
// 59-62). Texts wider than their field throw.
std::string HeaderLine(std::string_view year, std::string_view month, std::string_view day);
// The same with numbers, written without leading zeros as the writer does.
std::string HeaderLine(int year, int month, int day);

// The 29 race-data characters: codes with leading zeros, payouts
// right-aligned in 4, 4, 5 and 5 characters ("----" and "-----" as they are).
struct RaceFields {
    int venue = 1;
    int race = 11;
    int runners = 16;
    int age = 5;
    int raceClass = 6;
    int surface = 1;
    int distance = 18;
    std::string win = "32";
    std::string place = "14";
    std::string quinella = "158";
    std::string wide = "52";
};
std::string RaceData(const RaceFields& fields);

// A data line: head in columns 1-8 (padded with blanks), the six slots at
// columns 9, 15, 21, 27, 33 and 39 (an empty slot is five blanks), blanks up
// to the bar at barColumn, one blank, then raceData. Columns count
// characters, so 札幌 takes two.
std::string DataLine(std::string_view head, const std::array<std::string, 6>& slots,
                     std::string_view raceData, int barColumn = 45);

// Number of characters of a UTF-8 text.
std::size_t CharCount(std::string_view utf8);
// utf8 padded with blanks on the left (RightAlign) or right (LeftAlign) to
// width characters; never cut.
std::string RightAlign(std::string_view utf8, std::size_t width);
std::string LeftAlign(std::string_view utf8, std::size_t width);

}  // namespace lomi::test
