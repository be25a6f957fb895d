#include "tally/tally_report.h"

#include <string>

#include "tally/utf8_chars.h"

namespace lomi {
namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kHeader = "           投票      払戻      損益    回収率    的中率  平均配当";

std::string FormatBetLine(BetType bet, const BetFigures& f) {
    std::string text = BetName(bet);
    text += ' ';
    text += FormatColumn(std::to_string(f.stake));
    text += FormatColumn(std::to_string(f.payout));
    text += FormatColumn(std::to_string(f.profit));
    text += FormatColumn(f.recovery.Text());
    text += FormatColumn(f.hitRate.Text());
    text += FormatColumn(std::to_string(f.averageDividend));
    text += kLineEnd;
    return text;
}

}  // namespace

std::string FormatColumn(const std::string& text) { return PadLeft(text, 10); }

std::string BuildTallyReport(const TallyFigures& figures) {
    std::string report = "総ﾚｰｽ：" + std::to_string(figures.totalRaces) + "  抽出ﾚｰｽ：" +
                         std::to_string(figures.extractedRaces) + kLineEnd;
    report += kLineEnd;
    report += kHeader;
    report += kLineEnd;
    for (const BetType bet : kBetTypes) report += FormatBetLine(bet, figures.Bet(bet));
    return report;
}

std::string BuildTallyReport(std::int64_t recordCount, const TallyAccumulators& tally) {
    return BuildTallyReport(ComputeFigures(recordCount, tally));
}

}  // namespace lomi
