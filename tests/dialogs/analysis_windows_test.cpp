// The analysis windows on the sample data: the breakdown's 合計 is the
// report and its table sorts with 合計 kept last, the chart's lines end at
// the report's profits, and the results are saved whole or not at all.
#include <filesystem>
#include <string>

#include <QAbstractItemModel>
#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QToolTip>

#include "analysis/breakdown.h"
#include "analysis/figure_table.h"
#include "analysis/pattern_analysis.h"
#include "analysis/result_files.h"
#include "data/cp932.h"
#include "dialogs/breakdown_window.h"
#include "dialogs/period_selector.h"
#include "dialogs/profit_chart_window.h"
#include "dialogs/save_results.h"
#include "support/temp_folder.h"
#include "tally/condition_names.h"
#include "tally/race_filter.h"
#include "ui/gui_test_helpers.h"
#include "ui/save_file.h"
#include "ui/text.h"

using namespace lomi;
namespace t = lomi::test;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

ProgramState LoadedSamples() {
    ProgramState state;
    state.DataFolder = LOMI_SAMPLES_DIR;
    SelectPattern(state, *ParsePatternCode("Q1RN"));
    CommitLoad(state, LoadPattern(state.DataFolder, state.PatternFileMask));
    return state;
}

// The texts of a row of the table as shown (after sorting).
QStringList Row(const QAbstractItemModel* model, int row) {
    QStringList cells;
    for (int column = 0; column < model->columnCount(); ++column) {
        cells << model->index(row, column).data().toString();
    }
    return cells;
}

QStringList ReportRow(const TallyFigures& figures) {
    QStringList cells = {U("合計")};
    for (const std::string& cell : FiguresCells(figures)) cells << ui::FromUtf8(cell);
    return cells;
}

void PickAxis(QComboBox* combo, const char* name) {
    combo->setCurrentIndex(combo->findText(U(name)));
}

}  // namespace

class AnalysisWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void breakdownTotalIsTheReportAndStaysLastWhenSorted() {
        ProgramState state = LoadedSamples();
        RaceConditions conditions;
        conditions.runners = 12;
        conditions.runnersOrMore = 1;
        BreakdownWindow window(state);
        window.show();
        window.ShowTally(conditions);
        const QAbstractItemModel* shown = window.Table()->model();
        const TallyResult report = TallyLoaded(state, conditions);
        const int rows = shown->rowCount();
        QCOMPARE(rows, static_cast<int>(window.Current().groups.size()) + 1);
        QCOMPARE(Row(shown, rows - 1), ReportRow(report.figures));
        QCOMPARE(shown->headerData(0, Qt::Horizontal).toString(), U("開催"));
        QCOMPARE(Row(shown, 0)[0], U("札幌"));
        QVERIFY(
            window.findChild<QLabel*>("Description")->text().endsWith(U("条件: 頭数 １２頭 以上")));

        // 単勝損益 (column 6) largest first; 合計 still last.
        window.Table()->sortByColumn(6, Qt::DescendingOrder);
        QCOMPARE(Row(shown, rows - 1)[0], U("合計"));
        for (int row = 1; row + 1 < rows; ++row) {
            QVERIFY(shown->index(row - 1, 6).data().toString().toLongLong() >=
                    shown->index(row, 6).data().toString().toLongLong());
        }
        window.Table()->sortByColumn(6, Qt::AscendingOrder);
        QCOMPARE(Row(shown, rows - 1)[0], U("合計"));

        // Another axis, and a period on top of the main window's conditions.
        PickAxis(window.AxisCombo(), "馬場");
        QCOMPARE(shown->headerData(0, Qt::Horizontal).toString(), U("馬場"));
        QCOMPARE(shown->rowCount(), 3);
        window.Period()->FromDate()->setDate(QDate(2001, 5, 1));
        window.Period()->FromBox()->setChecked(true);
        RaceConditions narrowed = conditions;
        narrowed.firstDate = "20010501";
        QCOMPARE(window.Current().total, ExtractAndTally(state.Loaded.Records, narrowed));
        QVERIFY(window.Current().total.ExtractedRaces < report.figures.extractedRaces);

        // The main window tallies again: the window follows.
        window.Period()->FromBox()->setChecked(false);
        window.ShowTally(RaceConditions{});
        QCOMPARE(Row(shown, shown->rowCount() - 1),
                 ReportRow(TallyLoaded(state, RaceConditions{}).figures));
    }

    void breakdownCsvIsSavedWholeOrNotAtAll() {
        ProgramState state = LoadedSamples();
        BreakdownWindow window(state);
        window.ShowTally(RaceConditions{});
        PickAxis(window.AxisCombo(), "月");
        const t::TempFolder folder;
        const auto path = folder / "内訳.csv";
        QVERIFY(window.SaveCsv(QString::fromStdString(path.string())));
        QCOMPARE(t::ReadBytes(path), BreakdownCsvFile(window.Current()));

        t::SeenMessage seen;
        const auto answer = t::AnswerMessage(&seen);
        const auto missing = folder / "無い" / "内訳.csv";
        QVERIFY(!window.SaveCsv(QString::fromStdString(missing.string())));
        QTRY_VERIFY(seen.shown);
        QVERIFY(seen.text.startsWith(U("ファイルを保存できませんでした。\n")));
        QVERIFY(seen.text.endsWith(U("ﾌｫﾙﾀﾞが見つかりません")));  // not the file
        QVERIFY(!std::filesystem::exists(missing.parent_path()));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
    }

    void breakdownOfNothingLoadedIsAnEmptyTable() {
        ProgramState state;
        BreakdownWindow window(state);
        window.ShowTally(RaceConditions{});
        QCOMPARE(window.Table()->model()->rowCount(), 1);  // 合計 alone
        QCOMPARE(Row(window.Table()->model(), 0)[4], U("0"));
        QVERIFY(!window.CsvButton()->isEnabled());
    }

    void chartLinesEndAtTheReportAndSwitchWithTheLegend() {
        ProgramState state = LoadedSamples();
        ProfitChartWindow window(state);
        window.show();
        window.ShowTally(RaceConditions{});
        const TallyResult report = TallyLoaded(state, RaceConditions{});
        const std::size_t days = window.Current().points.size();
        QVERIFY(days > 10);
        for (std::size_t k = 0; k < 4; ++k) {
            const QList<QPointF> points = window.Line(k)->points();
            QCOMPARE(static_cast<std::size_t>(points.size()), days);
            QCOMPARE(static_cast<qint64>(points.last().y()), report.figures.bets[k].profit);
            for (int i = 1; i < points.size(); ++i) QVERIFY(points[i - 1].x() < points[i].x());
            QCOMPARE(window.Drawdown(k)->isVisible(), window.Current().maxDrawdown[k] > 0);
        }
        QCOMPARE(window.ZeroLine()->points().size(), 2);
        QCOMPARE(window.ZeroLine()->points()[0].y(), 0.0);
        QVERIFY(window.Summary()->text().contains(U("最大ドローダウン")));

        // Pointing at a line tells the day and the profit.
        const QPointF last = window.Line(0)->points().last();
        emit window.Line(0)->hovered(last, true);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().startsWith(U("単勝 2001-05-06 ")));
        QVERIFY(QToolTip::text().endsWith(U("円")));
        emit window.Line(0)->hovered(last, false);

        // The legend has the four bet types; a click switches a line off and on.
        QStringList names;
        for (QLegendMarker* marker : window.Chart()->legend()->markers()) {
            if (marker->isVisible()) names << marker->label();
        }
        QCOMPARE(names, (QStringList{U("単勝"), U("複勝"), U("連勝"), U("ﾜｲﾄﾞ")}));
        QLegendMarker* win = window.Chart()->legend()->markers(window.Line(0)).first();
        emit win->clicked();
        QVERIFY(!window.Line(0)->isVisible());
        QVERIFY(!window.Drawdown(0)->isVisible());
        QVERIFY(win->isVisible());
        emit win->clicked();
        QVERIFY(window.Line(0)->isVisible());

        // Zoom in, move the view with Shift and a drag, and back.
        window.Chart()->zoomIn();
        const auto* dates = window.DateAxis();
        const qreal before = dates->min();
        QWidget* viewport = window.ChartView()->viewport();
        const QPoint middle = viewport->rect().center();
        QTest::mousePress(viewport, Qt::LeftButton, Qt::ShiftModifier, middle);
        QTest::mouseMove(viewport, middle + QPoint(-80, 0));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::ShiftModifier, middle + QPoint(-80, 0));
        QVERIFY(dates->min() > before);
        window.ResetZoom();
        QVERIFY(!window.Chart()->isZoomed());
    }

    void chartPngAndEmptyChart() {
        ProgramState state = LoadedSamples();
        ProfitChartWindow window(state);
        window.show();
        window.ShowTally(RaceConditions{});
        const t::TempFolder folder;
        const auto path = folder / "グラフ.png";
        QVERIFY(window.SavePng(QString::fromStdString(path.string())));
        QCOMPARE(t::ReadBytes(path).substr(0, 4), std::string("\x89PNG"));
        // The picture: the chart with its title, then the drawdowns' text.
        QVERIFY(window.Chart()->title().startsWith(ui::FromUtf8(DescribeCurrentPattern(state))));
        QImage saved;
        QVERIFY(saved.load(QString::fromStdString(path.string())));
        QVERIFY(saved.height() > window.ChartView()->height() + 40);

        // A name typed without .png gets it; the next dialog starts in its folder.
        QString lastFolder;
        const auto typeName = t::WhenModal<QFileDialog>([&](QFileDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), U("保存"));
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            name->setText(U("無題"));
            QTest::keyClick(name, Qt::Key_Return);
        });
        const QString chosen =
            ui::AskSavePath(&window, U("保存"), U("a.png"), U("PNG (*.png)"), &lastFolder);
        QCOMPARE(QFileInfo(chosen).fileName(), U("無題.png"));
        QCOMPARE(lastFolder, QFileInfo(chosen).absolutePath());

        // No race counted: a flat chart.
        RaceConditions none;
        none.firstDate = "20300101";
        window.ShowTally(none);
        for (std::size_t k = 0; k < 4; ++k) QCOMPARE(window.Line(k)->points().size(), 0);
        QCOMPARE(window.ZeroLine()->points().size(), 2);
    }

    void chartRedrawsReuseTheSeriesAndTickMonthStarts() {
        ProgramState state = LoadedSamples();
        ProfitChartWindow window(state);
        window.show();
        window.ShowTally(RaceConditions{});
        const auto series = window.Chart()->series().size();
        RaceConditions venue;
        venue.venue = 5;
        for (int i = 0; i < 3; ++i) {
            window.Period()->FromBox()->setChecked(i % 2 == 0);
            window.ShowTally(i == 1 ? venue : RaceConditions{});
            QCOMPARE(window.Chart()->series().size(), series);
        }
        // Each strip spans its fall's days.
        for (std::size_t k = 0; k < 4; ++k) {
            if (window.Current().drawdownEnd[k] < 0) continue;
            const QList<QPointF> top = window.Drawdown(k)->upperSeries()->points();
            QCOMPARE(top.size(), 2);
            QVERIFY(top[0].x() < top[1].x());
        }
        // Ticks sit on the first day of a month.
        const QStringList ticks = window.DateAxis()->categoriesLabels();
        QVERIFY(!ticks.isEmpty());
        for (const QString& tick : ticks) {
            const QDate day = QDateTime::fromMSecsSinceEpoch(
                                  static_cast<qint64>(window.DateAxis()->endValue(tick)), Qt::UTC)
                                  .date();
            QCOMPARE(day.day(), 1);
            QCOMPARE(tick, day.toString(U("yyyy-MM")));
        }
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_W, Qt::ControlModifier);
        QTRY_VERIFY(!window.isVisible());
    }

    void saveResultsWritesTheReportOrTheBreakdown() {
        ProgramState state = LoadedSamples();
        RaceConditions conditions;
        conditions.venue = 5;
        const std::string report = TallyLoaded(state, conditions).report;
        SaveResults dialog(state);
        dialog.SetResults(report, conditions);
        const t::TempFolder folder;

        QVERIFY(dialog.ReportChoice()->isChecked());
        QVERIFY(dialog.SaveTo(QString::fromStdString((folder / "a.txt").string())));
        const std::string saved =
            ReportWithContext(DescribeCurrentPattern(state), conditions, report);
        QCOMPARE(t::ReadBytes(folder / "a.txt"), saved);
        QVERIFY(saved.find("条件: 開催 東京\r\n\r\n") != std::string::npos);
        QVERIFY(report.find("\r\n") != std::string::npos);

        dialog.EncodingCombo()->setCurrentIndex(1);
        QVERIFY(dialog.SaveTo(QString::fromStdString((folder / "b.txt").string())));
        QCOMPARE(t::ReadBytes(folder / "b.txt"), EncodeCp932(saved));
        {
            // The encoding chosen last comes back in the next dialog.
            AnalysisChoices kept;
            SaveResults(state, nullptr, &kept).EncodingCombo()->setCurrentIndex(1);
            QCOMPARE(SaveResults(state, nullptr, &kept).EncodingCombo()->currentIndex(), 1);
        }

        dialog.BreakdownChoice()->setChecked(true);
        QVERIFY(!dialog.EncodingCombo()->isEnabled());
        PickAxis(dialog.AxisCombo(), "距離");
        QVERIFY(dialog.SaveTo(QString::fromStdString((folder / "c.csv").string())));
        QCOMPARE(t::ReadBytes(folder / "c.csv"),
                 BreakdownCsvFile(
                     BuildBreakdown(state.Loaded.Records, conditions, BreakdownAxis::Distance)));

        t::SeenMessage seen;
        const auto answer = t::AnswerMessage(&seen, &dialog);
        QVERIFY(!dialog.SaveTo(QString::fromStdString((folder / "x" / "d.csv").string())));
        QTRY_VERIFY(seen.shown);
        QVERIFY(seen.text.startsWith(U("ファイルを保存できませんでした。")));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 3);
    }
};

QTEST_MAIN(AnalysisWindowsTest)
#include "analysis_windows_test.moc"
