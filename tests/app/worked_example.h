#pragma once

// Six races over two racing days, written as the pattern 仮単人気 １位 → Ｒ値
// 流し (Q1RN), with the report they give when nothing is restricted.

#include <array>
#include <filesystem>
#include <string>

#include <QString>

#include "support/ticket_files.h"

namespace lomi::test {

inline std::array<std::string, 6> FilledSlots(int filled) {
    std::array<std::string, 6> columns;
    for (int i = 0; i < filled; ++i) columns[static_cast<std::size_t>(i)] = " 1- 2";
    return columns;
}

inline std::string Race(int venue, int race, int runners, int age, int raceClass, int surface,
                        int distance, const char* win, const char* place, const char* quinella,
                        const char* wide, int filled) {
    RaceFields f;
    f.venue = venue;
    f.race = race;
    f.runners = runners;
    f.age = age;
    f.raceClass = raceClass;
    f.surface = surface;
    f.distance = distance;
    f.win = win;
    f.place = place;
    f.quinella = quinella;
    f.wide = wide;
    return DataLine("1R", FilledSlots(filled), RaceData(f));
}

inline void WriteWorkedExample(const std::filesystem::path& folder) {
    WriteTicketFile(
        folder, "P010415Q1RN.txt",
        {HeaderLine(2001, 4, 15), Race(5, 11, 16, 4, 6, 1, 16, "0023", "0012", "00000", "00000", 3),
         Race(5, 10, 12, 4, 5, 2, 14, "0000", "0000", "00000", "00000", 3),
         Race(5, 9, 14, 3, 3, 1, 20, "0000", "0015", "00000", "00042", 3),
         Race(6, 11, 16, 4, 6, 1, 20, "0045", "0017", "00860", "00230", 3)});
    WriteTicketFile(
        folder, "P010422Q1RN.txt",
        {HeaderLine(2001, 4, 22), Race(5, 11, 18, 4, 6, 2, 24, "----", "----", "-----", "-----", 3),
         Race(6, 5, 10, 2, 2, 2, 12, "0000", "0000", "-----", "-----", 0)});
}

// The report box's text after loading the worked example with every
// selector on 全抽出 and 以上 clear.
inline QString WorkedExampleReport() {
    return QString::fromUtf8(
        "総ﾚｰｽ：6  抽出ﾚｰｽ：5\n"
        "\n"
        "           投票      払戻      損益    回収率    的中率  平均配当\n"
        "単勝        500       680       180   136.00%    40.00%       340\n"
        "複勝        500       440       -60    88.00%    60.00%       146\n"
        "連勝       1200      8600      7400   716.67%    20.00%      8600\n"
        "ﾜｲﾄﾞ       1200      2720      1520   226.67%    40.00%      1360\n");
}

}  // namespace lomi::test
