// 全パターン集計: the window runs, sorts by recovery, switches bet types
// without reading again, filters by races, stops on 中止, saves CSV and asks
// for a pattern on a double-click.
#include <filesystem>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include <QBarSet>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include "analysis/csv.h"
#include "analysis/ranking_table.h"
#include "corpus_writer.h"
#include "dialogs/overfitting_panel.h"
#include "dialogs/ranking_model.h"
#include "dialogs/ranking_window.h"
#include "support/temp_folder.h"
#include "ui/gui_test_helpers.h"

using lomi::RankingColumn;
using lomi::RankingWindow;
namespace t = lomi::test;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

const std::vector<std::string> kPatterns = {"Q1RN", "T5PB", "R2FB", "F3ZN", "W1PB", "P4QN"};

void WriteCorpus(const std::filesystem::path& folder, const char* to = "2001-06-30",
                 const std::map<std::string, int>& edges = {}) {
    lomi::samples::RaceDay first{}, last{};
    lomi::samples::ParseDate("2001-04-07", first);
    lomi::samples::ParseDate(to, last);
    lomi::samples::WriteCorpus(folder.string(), kPatterns, first, last, 5, 0, edges);
}

// The figure of a column in a row as the table shows it (lowest when none).
double CellValue(RankingWindow& w, int row, RankingColumn column) {
    const int source = w.Filter()->mapToSource(w.Filter()->index(row, 0)).row();
    return lomi::RankingCellValue(w.Model()->Pattern(source), w.Model()->Bet(), column)
        .value_or(std::numeric_limits<double>::lowest());
}

// The values of a column as the table shows them, top to bottom.
std::vector<double> ColumnValues(RankingWindow& w, RankingColumn column) {
    std::vector<double> values;
    for (int row = 0; row < w.Filter()->rowCount(); ++row)
        values.push_back(CellValue(w, row, column));
    return values;
}

bool Descending(const std::vector<double>& values) {
    return std::is_sorted(values.rbegin(), values.rend());
}

}  // namespace

class RankingWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensSortedByRecoveryAndSwitchesBetTypes() {
        t::TempFolder data;
        WriteCorpus(data.Path());
        RankingWindow w(data.PathText(), {});
        w.show();
        QCOMPARE(w.windowTitle(), U("全パターン集計"));
        QTRY_VERIFY(!w.Running());
        QCOMPARE(w.Model()->rowCount(), static_cast<int>(kPatterns.size()));
        QCOMPARE(w.Filter()->rowCount(), static_cast<int>(kPatterns.size()));
        QVERIFY(Descending(ColumnValues(w, RankingColumn::Recovery)));
        QCOMPARE(w.Table()->horizontalHeader()->sortIndicatorSection(),
                 w.Model()->ColumnOf(RankingColumn::Recovery));
        const QStringList headers = [&] {
            QStringList h;
            for (int c = 0; c < w.Model()->columnCount(); ++c) {
                h << w.Model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            }
            return h;
        }();
        QCOMPARE(headers.join(","), U("パターン,ｺｰﾄﾞ,ﾚｰｽ数,投票,払戻,損益,回収率,95%区間,補正下限,"
                                      "期待回収率,100%超確率,的中率,平均配当,的中数,最大DD"));

        // Another bet type: the same patterns re-sorted by its recovery, no new run.
        QSignalSpy runs(&w, &RankingWindow::finished);
        auto* bet = w.findChild<QComboBox*>("BetCombo");
        bet->setCurrentIndex(2);
        QVERIFY(!w.Running());
        QCOMPARE(runs.count(), 0);
        QVERIFY(Descending(ColumnValues(w, RankingColumn::Recovery)));
        const QModelIndex top = w.Filter()->index(0, w.Model()->ColumnOf(RankingColumn::Stake));
        const auto& pattern = w.Model()->Pattern(w.Filter()->mapToSource(top).row());
        QCOMPARE(top.data().toString(),
                 QString::number(pattern.earlier.figures.Bet(lomi::BetType::Quinella).stake));
        // The figures that depend on every pattern of the bet come from a
        // task of their own.
        const int expected = w.Model()->ColumnOf(RankingColumn::Expected);
        QTRY_VERIFY(w.Filter()->index(0, expected).data().toString().endsWith('%'));
        QCOMPARE(runs.count(), 0);

        // Clicking a header sorts by it.
        QTest::mouseClick(w.Table()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(w.Table()->horizontalHeader()->sectionViewportPosition(
                                     w.Model()->ColumnOf(RankingColumn::Code)) +
                                     5,
                                 5));
        QCOMPARE(w.Table()->horizontalHeader()->sortIndicatorSection(),
                 w.Model()->ColumnOf(RankingColumn::Code));
    }

    // A pattern whose ﾜｲﾄﾞ tickets pay twice what the others' do: its
    // corrected bound is above 100% and its row bold; under the table the
    // estimate of overfitting with its histogram, or the reason when too few
    // patterns take part.
    void showsCorrectedBoundsAndOverfitting() {
        t::TempFolder data;
        WriteCorpus(data.Path(), "2001-06-30", {{"Q1RN", 100}});
        RankingWindow w(data.PathText(), {});
        w.show();
        QTRY_VERIFY(!w.Running());
        w.findChild<QComboBox*>("BetCombo")->setCurrentIndex(3);
        auto* label = w.findChild<QLabel*>("OverfittingLabel");
        QTRY_VERIFY(label->text().startsWith(U("過剰適合確率 (PBO): ")));
        QTRY_VERIFY(CellValue(w, 0, RankingColumn::AdjustedLow) > 100);
        const int adjusted = w.Model()->ColumnOf(RankingColumn::AdjustedLow);
        const QModelIndex top = w.Filter()->index(0, adjusted);
        QCOMPARE(w.Model()->Pattern(w.Filter()->mapToSource(top).row()).code, std::string("Q1RN"));
        QVERIFY(top.data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(CellValue(w, 0, RankingColumn::AdjustedLow) > 100);
        QVERIFY(!w.Filter()->index(1, adjusted).data(Qt::FontRole).isValid());
        // Sorted by 期待回収率 the planted pattern leads too.
        const int expected = w.Model()->ColumnOf(RankingColumn::Expected);
        w.Table()->sortByColumn(expected, Qt::DescendingOrder);
        QVERIFY(Descending(ColumnValues(w, RankingColumn::Expected)));
        QCOMPARE(w.Model()->Pattern(w.Filter()->mapToSource(w.Filter()->index(0, 0)).row()).code,
                 std::string("Q1RN"));

        QVERIFY(label->text().contains(U("16区間・12870通り・6パターン")));
        QVERIFY(label->text().contains(U("前半最良の後半回収率 中央値: ")));
        QVERIFY(label->text().contains(U("前半最良が後半で損をする確率: ")));
        QVERIFY(label->toolTip().contains(U("開催日を16の区間")));
        auto* histogram = w.findChild<QChartView*>("LogitHistogram");
        QVERIFY(histogram->isVisible());
        QCOMPARE(w.Overfitting()->Counts()->sum(), 12870.0);

        w.findChild<QSpinBox*>("MinRaces")->setValue(9999999);
        QTRY_VERIFY(label->text().contains(U("2つ未満")));
        QVERIFY(!histogram->isVisible());
        QVERIFY(!w.Filter()->rowCount());
    }

    void nearTiesSortByExactFiguresThenByCode() {
        // 71.619% and 71.622% both show 71.62%; two exact ties follow their codes.
        std::vector<lomi::PatternRanking> patterns;
        for (const auto& [code, payout] : std::vector<std::pair<const char*, int>>{
                 {"T2PB", 716190}, {"R5ZN", 716220}, {"Q1RN", 500000}, {"A1RN", 500000}}) {
            lomi::PatternRanking p;
            p.code = code;
            p.earlier.tally.ExtractedRaces = 10;
            auto& wide = p.earlier.figures.bets[lomi::Index(lomi::BetType::Wide)];
            wide.payout = payout;
            wide.stake = 1000000;
            wide.recovery = lomi::PercentOf(payout, wide.stake);
            patterns.push_back(p);
        }
        lomi::RankingModel model;
        lomi::RankingFilter sorted;
        sorted.setSourceModel(&model);
        model.SetPatterns(patterns, false);
        model.SetBet(lomi::BetType::Wide);
        const auto codes = [&] {
            QStringList shown;
            for (int row = 0; row < sorted.rowCount(); ++row) {
                shown << sorted.index(row, model.ColumnOf(RankingColumn::Code)).data().toString();
            }
            return shown.join(",");
        };
        sorted.sort(model.ColumnOf(RankingColumn::Code), Qt::DescendingOrder);
        sorted.sort(model.ColumnOf(RankingColumn::Recovery), Qt::DescendingOrder);
        QCOMPARE(codes(), U("R5ZN,T2PB,A1RN,Q1RN"));
        sorted.sort(model.ColumnOf(RankingColumn::Recovery), Qt::AscendingOrder);
        QCOMPARE(codes(), U("A1RN,Q1RN,T2PB,R5ZN"));
    }

    void keyboardOpensRowsLeavesTheTableAndCloses() {
        t::TempFolder data;
        WriteCorpus(data.Path());
        RankingWindow w(data.PathText(), {});
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_VERIFY(!w.Running());
        QSignalSpy chosen(&w, &RankingWindow::patternChosen);
        w.Table()->setFocus();
        w.Table()->setCurrentIndex(w.Filter()->index(2, 0));
        QTest::keyClick(w.Table(), Qt::Key_Return);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen[0][0].value<lomi::PatternSelections>().axisIndex,
                 w.Model()
                     ->Pattern(w.Filter()->mapToSource(w.Filter()->index(2, 0)).row())
                     .selections.axisIndex);
        QTest::keyClick(w.Table(), Qt::Key_Tab);
        QVERIFY(!w.Table()->hasFocus());
        QTest::keyClick(&w, Qt::Key_Escape);
        QTRY_VERIFY(!w.isVisible());
    }

    void choicesCarryOverAndColumnsFitRowsThatReturn() {
        t::TempFolder data;
        WriteCorpus(data.Path());
        lomi::AnalysisChoices kept;
        {
            RankingWindow w(data.PathText(), {}, nullptr, &kept);
            w.show();
            QTRY_VERIFY(!w.Running());
            auto* minimum = w.findChild<QSpinBox*>("MinRaces");
            minimum->setValue(9999999);  // no row left
            minimum->setValue(0);
            const int column = w.Model()->ColumnOf(RankingColumn::Pattern);
            int widest = 0;
            for (int row = 0; row < w.Filter()->rowCount(); ++row) {
                widest = std::max(widest, w.Table()->fontMetrics().horizontalAdvance(
                                              w.Filter()->index(row, column).data().toString()));
            }
            QVERIFY(w.Table()->columnWidth(column) > widest);
            w.findChild<QComboBox*>("BetCombo")->setCurrentIndex(3);
        }
        RankingWindow again(data.PathText(), {}, nullptr, &kept);
        QCOMPARE(again.findChild<QComboBox*>("BetCombo")->currentIndex(), 3);
        QCOMPARE(again.Model()->Bet(), lomi::BetType::Wide);
        QCOMPARE(again.findChild<QSpinBox*>("MinRaces")->value(), 0);
        QTRY_VERIFY(!again.Running());
    }

    void minimumRacesHidesSmallPatterns() {
        t::TempFolder data;
        WriteCorpus(data.Path(), "2001-04-30");
        RankingWindow w(data.PathText(), {});
        QTRY_VERIFY(!w.Running());
        auto* minimum = w.findChild<QSpinBox*>("MinRaces");
        QCOMPARE(minimum->value(), 100);
        const std::vector<double> races = [&] {
            minimum->setValue(0);
            return ColumnValues(w, RankingColumn::Races);
        }();
        QCOMPARE(races.size(), kPatterns.size());
        const double most = *std::max_element(races.begin(), races.end());
        minimum->setValue(static_cast<int>(most));
        const auto left = ColumnValues(w, RankingColumn::Races);
        QVERIFY(!left.empty());
        for (double r : left) QCOMPARE(r, most);
        minimum->setValue(static_cast<int>(most) + 1);
        QCOMPARE(w.Filter()->rowCount(), 0);
        QCOMPARE(w.findChild<QLabel*>("CountLabel")->text(),
                 U("表示 0 / %1").arg(kPatterns.size()));
    }

    void splitStartsInsideTheDataAndRunsAgainOnANewDate() {
        t::TempFolder data;
        WriteCorpus(data.Path());
        lomi::AnalysisChoices kept;
        RankingWindow w(data.PathText(), {}, nullptr, &kept);
        QTRY_VERIFY(!w.Running());
        auto* date = w.findChild<QDateEdit*>("SplitDate");
        QVERIFY(date->date() > QDate(2001, 5, 15) && date->date() < QDate(2001, 6, 30));
        QSignalSpy runs(&w, &RankingWindow::finished);
        w.findChild<QCheckBox*>("SplitCheck")->setChecked(true);
        QTRY_COMPARE(runs.count(), 1);
        // Both parts hold races: no 後期回収率 is an empty period.
        for (int row = 0; row < w.Model()->rowCount(); ++row) {
            QVERIFY(w.Model()->Pattern(row).later->tally.ExtractedRaces > 0);
            QVERIFY(w.Model()->Pattern(row).earlier.tally.ExtractedRaces > 0);
        }
        // A new date runs again by itself, and the next window starts with it.
        date->setDate(QDate(2001, 6, 1));
        QTRY_COMPARE(runs.count(), 2);
        QTRY_VERIFY(!w.Running());
        QCOMPARE(kept.splitDate, U("20010601"));
        QVERIFY(kept.split);
        QVERIFY(w.Model()->Split());
        const int later = w.Model()->ColumnOf(RankingColumn::LaterRecovery);
        QVERIFY(later > 0);
        QCOMPARE(w.Model()->headerData(later, Qt::Horizontal, Qt::DisplayRole).toString(),
                 U("後期回収率"));
        const auto& p = w.Model()->Pattern(0);
        QVERIFY(p.later.has_value());
        QCOMPARE(p.earlier.recordCount + p.later->recordCount > 0, true);
    }

    void cancelStopsAndKeepsWhatIsDone() {
        t::TempFolder data;
        WriteCorpus(data.Path());
        RankingWindow w(data.PathText(), {});
        QSignalSpy ended(&w, &RankingWindow::finished);
        QTest::mouseClick(w.findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
        QTRY_COMPARE(ended.count(), 1);
        QVERIFY(!w.Running());
        const QString status = w.findChild<QLabel*>("StatusLabel")->text();
        // Either it stopped or it had already finished every pattern.
        if (status.startsWith(U("中止しました"))) {
            QVERIFY(w.Model()->rowCount() < static_cast<int>(kPatterns.size()));
        } else {
            QCOMPARE(w.Model()->rowCount(), static_cast<int>(kPatterns.size()));
        }
        // The window runs again on request.
        QTest::mouseClick(w.findChild<QPushButton*>("RunButton"), Qt::LeftButton);
        QTRY_COMPARE(ended.count(), 2);
        QCOMPARE(w.Model()->rowCount(), static_cast<int>(kPatterns.size()));
    }

    void savesTheTableAsShownInCsv() {
        t::TempFolder data;
        WriteCorpus(data.Path());
        RankingWindow w(data.PathText(), {});
        QTRY_VERIFY(!w.Running());
        w.findChild<QSpinBox*>("MinRaces")->setValue(0);
        const auto file = data / "ranking.csv";
        QVERIFY(w.SaveCsv(QString::fromStdString(file.string())));
        const std::string bytes = t::ReadBytes(file);
        QVERIFY(bytes.starts_with(lomi::kUtf8ByteOrderMark));
        const std::string header = lomi::CsvRow(
            {"パターン", "ｺｰﾄﾞ", "ﾚｰｽ数", "投票", "払戻", "損益", "回収率", "95%区間", "補正下限",
             "期待回収率", "100%超確率", "的中率", "平均配当", "的中数", "最大DD"});
        QCOMPARE(bytes.substr(3, header.size()), header);
        // The rows in the order shown: the top row first.
        const std::string topCode = w.Filter()
                                        ->index(0, w.Model()->ColumnOf(RankingColumn::Code))
                                        .data()
                                        .toString()
                                        .toStdString();
        const std::size_t firstRow = 3 + header.size();
        QVERIFY(bytes.find("," + topCode + ",", firstRow) < bytes.find("\r\n", firstRow));
        QCOMPARE(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')),
                 kPatterns.size() + 1);

        t::SeenMessage seen;
        {
            const auto watch = t::AnswerMessage(&seen);
            QVERIFY(!w.SaveCsv(QString::fromStdString((data / "missing" / "x.csv").string())));
        }
        QVERIFY(seen.shown);
        QVERIFY2(seen.text.startsWith(U("CSVファイル「")), qPrintable(seen.text));
        QVERIFY(seen.text.contains(U("を保存できません")));
    }

    void doubleClickAsksForThePattern() {
        t::TempFolder data;
        WriteCorpus(data.Path());
        RankingWindow w(data.PathText(), {});
        w.show();
        QTRY_VERIFY(!w.Running());
        QSignalSpy chosen(&w, &RankingWindow::patternChosen);
        const QModelIndex second = w.Filter()->index(1, 0);
        const QRect cell = w.Table()->visualRect(second);
        // A double-click is a press and release, then a second press that the
        // view takes as the double-click.
        QTest::mouseClick(w.Table()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(w.Table()->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(chosen.count(), 1);
        const auto selections = chosen[0][0].value<lomi::PatternSelections>();
        const auto& expected = w.Model()->Pattern(w.Filter()->mapToSource(second).row());
        QCOMPARE(selections.axisIndex, expected.selections.axisIndex);
        QCOMPARE(selections.axisRank, expected.selections.axisRank);
        QCOMPARE(selections.partnerIndex, expected.selections.partnerIndex);
        QCOMPARE(selections.betStyle, expected.selections.betStyle);
    }

    void folderWithoutPatternsSaysSo() {
        t::TempFolder data;
        lomi::RaceConditions conditions;
        conditions.age = 2;
        conditions.raceClass = 2;
        RankingWindow w(data.PathText(), conditions);
        QVERIFY(w.findChild<QLabel*>("ConditionsLabel")
                    ->text()
                    .endsWith(U("条件: 馬齢 ３歳、ｸﾗｽ 未勝利")));
        QTRY_VERIFY(!w.Running());
        QCOMPARE(w.Model()->rowCount(), 0);
        QVERIFY(w.findChild<QLabel*>("StatusLabel")->text().contains(U("FILE NOT FOUND.")));
    }

    // A split date from another folder's data, chosen or not, is put back
    // inside the ranked days with a notice; a date typed outside is refused.
    void splitDateFromAnotherFolderIsResetWithANotice() {
        t::TempFolder data;
        WriteCorpus(data.Path());
        for (const bool chosen : {true, false}) {
            lomi::AnalysisChoices kept;
            kept.split = true;
            kept.splitDate = U("19990101");
            kept.splitChosen = chosen;
            RankingWindow w(data.PathText(), {}, nullptr, &kept);
            QTRY_VERIFY(!w.Running());
            auto* date = w.findChild<QDateEdit*>("SplitDate");
            QVERIFY(date->date() > QDate(2001, 5, 15) && date->date() < QDate(2001, 6, 30));
            QVERIFY(w.findChild<QLabel*>("StatusLabel")
                        ->text()
                        .contains(
                            U("検証分割日をデータの範囲（2001-04-07～2001-06-30）に合わせました")));
            QVERIFY(w.Model()->Split());
            QVERIFY(w.Filter()->rowCount() > 0 ||
                    w.findChild<QLabel*>("HintLabel")->isVisibleTo(&w));
            for (int row = 0; row < w.Model()->rowCount(); ++row)
                QVERIFY(w.Model()->Pattern(row).later->tally.ExtractedRaces > 0);
            QCOMPARE(kept.splitDate, date->date().toString("yyyyMMdd"));
            date->setDate(QDate(2003, 1, 1));
            QCOMPARE(date->date(), QDate(2001, 6, 30));
        }
    }

    // An empty table says what to change.
    void emptyTableSaysWhy() {
        t::TempFolder data;
        WriteCorpus(data.Path(), "2001-04-30");
        RankingWindow w(data.PathText(), {});
        w.show();
        QTRY_VERIFY(!w.Running());
        auto* hint = w.findChild<QLabel*>("HintLabel");
        w.findChild<QSpinBox*>("MinRaces")->setValue(100000);
        QVERIFY(hint->isVisible());
        QVERIFY(hint->text().contains(U("最低ﾚｰｽ数を下げる")));
        w.findChild<QSpinBox*>("MinRaces")->setValue(0);
        QVERIFY(!hint->isVisible());
    }

    // The folder renamed during the run: the run ends with the folder's
    // message and no figures.
    void folderGoneDuringTheRunEndsWithItsMessage() {
        t::TempFolder parent;
        const std::filesystem::path folder = parent / "data";
        std::filesystem::create_directory(folder);
        WriteCorpus(folder);
        const auto renaming = [&](const std::string& path, const lomi::RankingOptions& options,
                                  const lomi::LoadProgress& progress, std::stop_token stop) {
            lomi::RankingOptions one = options;
            one.threads = 1;
            return lomi::RankAllPatterns(
                path, one,
                [&](std::size_t done, std::size_t total) {
                    if (done == 5) std::filesystem::rename(folder, parent / "moved");
                    progress(done, total);
                },
                stop);
        };
        t::SeenMessage seen;
        const auto watch = t::AnswerMessage(&seen);
        RankingWindow w(folder.string(), {}, nullptr, nullptr, renaming);
        QTRY_VERIFY(seen.shown);
        QVERIFY(!w.Running());
        const QString status = w.findChild<QLabel*>("StatusLabel")->text();
        QVERIFY2(status.startsWith(U("ﾌｫﾙﾀﾞ「%1」の中を読めません").arg(folder.string().c_str())),
                 qPrintable(status));
        QCOMPARE(w.Model()->rowCount(), 0);
        QCOMPARE(seen.text, status);
    }

    // At its default size, no wider than a 1366-pixel screen, the window
    // shows every column, 後期回収率 included, with the longest pattern names.
    void defaultSizeShowsEveryColumn() {
        t::TempFolder data;
        WriteCorpus(data.Path());
        lomi::AnalysisChoices kept;
        kept.split = true;
        RankingWindow w(data.PathText(), {}, nullptr, &kept);
        w.show();
        QTRY_VERIFY(!w.Running());
        QVERIFY(w.Model()->Split());
        QVERIFY(w.width() <= 1366);
        const int used = w.Table()->horizontalHeader()->length();
        qInfo("columns %d of %d pixels", used, w.Table()->viewport()->width());
        QVERIFY(used <= w.Table()->viewport()->width());
    }
};

QTEST_MAIN(RankingWindowTest)
#include "ranking_window_test.moc"
