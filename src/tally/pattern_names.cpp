#include "tally/pattern_names.h"

namespace lomi {
namespace {

bool InRange(std::int16_t value, std::size_t count) {
    return value >= 1 && static_cast<std::size_t>(value) <= count;
}

bool AllInRange(std::int16_t con1, std::int16_t con2, std::int16_t con3, std::int16_t con4) {
    return InRange(con1, IndexKindCodes.size()) && InRange(con2, AxisRankNames().size()) &&
           InRange(con3, IndexKindCodes.size()) && InRange(con4, BetStyleCodes.size());
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

std::optional<std::string> PatternCode(std::int16_t con1, std::int16_t con2, std::int16_t con3,
                                       std::int16_t con4) {
    if (!AllInRange(con1, con2, con3, con4)) return std::nullopt;
    std::string code;
    code += IndexKindCodes[con1 - 1];
    code += static_cast<char>('0' + con2);
    code += IndexKindCodes[con3 - 1];
    code += BetStyleCodes[con4 - 1];
    return code;
}

std::optional<std::string> BuildPatternFileMask(std::int16_t con1, std::int16_t con2,
                                                std::int16_t con3, std::int16_t con4) {
    const auto code = PatternCode(con1, con2, con3, con4);
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
                            std::int16_t con4) {
    const bool wheel = con4 == 1;
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

std::optional<std::string> DescribeSelections(std::int16_t con1, std::int16_t con2,
                                              std::int16_t con3, std::int16_t con4) {
    if (!AllInRange(con1, con2, con3, con4)) return std::nullopt;
    return DescribePattern(IndexKindNames()[con1 - 1], AxisRankNames()[con2 - 1],
                           IndexKindNames()[con3 - 1], BetStyleNames()[con4 - 1], con4);
}

}  // namespace lomi
