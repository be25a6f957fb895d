#include "tally/pattern_names.h"

namespace lomi {
namespace {

bool InRange(std::int16_t value, std::size_t count) {
    return value >= 1 && static_cast<std::size_t>(value) <= count;
}

bool AllInRange(std::int16_t axisIndex, std::int16_t axisRank, std::int16_t partnerIndex,
                std::int16_t betStyle) {
    return InRange(axisIndex, IndexKindCodes.size()) && InRange(axisRank, AxisRankNames().size()) &&
           InRange(partnerIndex, IndexKindCodes.size()) && InRange(betStyle, BetStyleCodes.size());
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

const std::vector<std::string>& IndexKindNames() {
    static const std::vector<std::string> names = {"Ｔ値",     "Ｆ値",     "Ｒ値",    "Ｚ値",
                                                   "単勝人気", "複勝人気", "仮単人気"};
    return names;
}

const std::vector<std::string>& AxisRankNames() {
    static const std::vector<std::string> names = {"１位", "２位", "３位", "４位", "５位"};
    return names;
}

const std::vector<std::string>& BetStyleNames() {
    static const std::vector<std::string> names = {"流し", "ボックス"};
    return names;
}

std::optional<std::string> PatternCode(std::int16_t axisIndex, std::int16_t axisRank,
                                       std::int16_t partnerIndex, std::int16_t betStyle) {
    if (!AllInRange(axisIndex, axisRank, partnerIndex, betStyle)) return std::nullopt;
    std::string code;
    code += IndexKindCodes[axisIndex - 1];
    code += static_cast<char>('0' + axisRank);
    code += IndexKindCodes[partnerIndex - 1];
    code += BetStyleCodes[betStyle - 1];
    return code;
}

std::optional<std::string> BuildPatternFileMask(std::int16_t axisIndex, std::int16_t axisRank,
                                                std::int16_t partnerIndex, std::int16_t betStyle) {
    const auto code = PatternCode(axisIndex, axisRank, partnerIndex, betStyle);
    if (!code) return std::nullopt;
    return "P*" + *code + ".txt";
}

std::optional<PatternSelections> ParsePatternCode(std::string_view code) {
    if (code.size() != 4) return std::nullopt;
    const std::size_t axis = IndexKindCodes.find(Upper(code[0]));
    const std::size_t partner = IndexKindCodes.find(Upper(code[2]));
    const std::size_t style = BetStyleCodes.find(Upper(code[3]));
    const int rank = code[1] - '0';
    if (axis == std::string_view::npos || partner == std::string_view::npos ||
        style == std::string_view::npos || rank < 1 ||
        rank > static_cast<int>(AxisRankNames().size())) {
        return std::nullopt;
    }
    return PatternSelections{static_cast<std::int16_t>(axis + 1), static_cast<std::int16_t>(rank),
                             static_cast<std::int16_t>(partner + 1),
                             static_cast<std::int16_t>(style + 1)};
}

std::string DescribePattern(std::string_view axisIndex, std::string_view axisRank,
                            std::string_view partnerIndex, std::string_view betStyle,
                            std::int16_t betStyleNumber) {
    const bool wheel = betStyleNumber == 1;
    std::string text(axisIndex);
    text += "の";
    text += axisRank;
    text += wheel ? "から" : "と";
    text += partnerIndex;
    text += wheel ? "への" : "の";
    text += betStyle;
    text += "馬券";
    return text;
}

std::optional<std::string> DescribeSelections(std::int16_t axisIndex, std::int16_t axisRank,
                                              std::int16_t partnerIndex, std::int16_t betStyle) {
    if (!AllInRange(axisIndex, axisRank, partnerIndex, betStyle)) return std::nullopt;
    return DescribePattern(IndexKindNames()[axisIndex - 1], AxisRankNames()[axisRank - 1],
                           IndexKindNames()[partnerIndex - 1], BetStyleNames()[betStyle - 1],
                           betStyle);
}

}  // namespace lomi
