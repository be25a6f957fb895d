// 全パターン and 中止 in the pattern dialog: the ranking window opens over
// the data folder, a double-click opens that pattern as OK does, and a
// stopped run leaves the main window as it was.
#include <filesystem>
#include <memory>

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <QAccessible>
#include <QCheckBox>
#include <QWindow>

#include "app/main_window.h"
#include "app/main_window_session.h"
#include "corpus_writer.h"
#include "dialogs/breakdown_window.h"
#include "dialogs/folder_dialog.h"
#include "dialogs/out_of_date_bar.h"
#include "dialogs/pattern_dialog.h"
#include "dialogs/ranking_model.h"
#include "dialogs/ranking_window.h"
#include "support/temp_folder.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/gui_test_helpers.h"
#include "ui/text.h"
#include "ui/text_box.h"
#include "ui/twips.h"

using lomi::MainWindow;
using lomi::PatternDialog;
using lomi::RankingWindow;
namespace t = lomi::test;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

struct Session : t::MainWindowSession {
    Session() : MainWindowSession({7, 1, 3, 1}, LOMI_SAMPLES_DIR) {}
};

// The races ranked in all, over every pattern of the table.
std::int64_t RankedRaces(RankingWindow* ranking) {
    std::int64_t races = 0;
    for (int row = 0; row < ranking->Model()->rowCount(); ++row)
        races += ranking->Model()->Pattern(row).earlier.tally.ExtractedRaces;
    return races;
}

QString ConditionsLine(RankingWindow* ranking) {
    return ranking->findChild<QLabel*>("ConditionsLabel")->text();
}

// Clicks the widget's centre through its window, as the platform would:
// the click reaches it only when no modal dialog blocks the window.
void ClickThroughWindow(QWidget* widget) {
    QWindow* window = widget->window()->windowHandle();
    QVERIFY(window != nullptr);
    const QPoint at = widget->mapTo(widget->window(), widget->rect().center());
    QTest::mouseClick(window, Qt::LeftButton, {}, at);
}

// Double-clicks the table's row (as shown).
void DoubleClickRow(RankingWindow* ranking, int row) {
    QTableView* table = ranking->Table();
    const QRect cell = table->visualRect(ranking->Filter()->index(row, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
}

}  // namespace

class AllPatternsTest : public QObject {
    Q_OBJECT

private slots:
    void buttonsSitBelowTheOthers() {
        Session s;
        QVERIFY(s.WithDialog([&](PatternDialog* d) {
            QPushButton* all = Session::Button(d, "AllPatternsButton");
            QPushButton* stop = Session::Button(d, "StopButton");
            QCOMPARE(all->text(), U("全パターン"));
            QCOMPARE(stop->text(), U("中止"));
            QCOMPARE(all->geometry(), lomi::ui::TwipsRect(180, 2490, 1500, 360));
            QCOMPARE(stop->geometry(), lomi::ui::TwipsRect(1695, 2490, 1500, 360));
            QCOMPARE(Session::Button(d, "OkButton")->geometry(),
                     lomi::ui::TwipsRect(195, 1995, 1500, 360));
            QVERIFY(all->isEnabled());
            QVERIFY(!stop->isEnabled());
        }));
    }

    void doubleClickOpensThePatternAsOkDoes() {
        Session s;
        RankingWindow* ranking = nullptr;
        lomi::PatternSelections chosen{};
        QVERIFY(s.WithDialog([&](PatternDialog* d) {
            t::Click(Session::Button(d, "AllPatternsButton"));
            ranking = d->Ranking();
            QVERIFY(ranking != nullptr);
            QVERIFY(ranking->isVisible());
            QTRY_VERIFY(!ranking->Running());
            QVERIFY(!Session::Button(d, "StopButton")->isEnabled());
            QCOMPARE(ranking->Model()->rowCount(), 3);
            // The pattern at the bottom is not the one the dialog opened on.
            const int row = ranking->Filter()->rowCount() - 1;
            chosen = ranking->Model()
                         ->Pattern(
                             ranking->Filter()->mapToSource(ranking->Filter()->index(row, 0)).row())
                         .selections;
            // The dialog closes and is deleted once the load has ended.
            const QPointer<PatternDialog> dialog = d;
            DoubleClickRow(ranking, row);
            QTRY_VERIFY(!dialog || !dialog->isVisible());
        }));
        QCOMPARE(s.state.Pattern.axisIndex, chosen.axisIndex);
        QCOMPARE(s.state.Pattern.axisRank, chosen.axisRank);
        QCOMPARE(s.state.Pattern.partnerIndex, chosen.partnerIndex);
        QCOMPARE(s.state.Pattern.betStyle, chosen.betStyle);
        QCOMPARE(s.window->PatternDescription()->text(),
                 lomi::ui::FromUtf8(*lomi::DescribeSelections(
                     chosen.axisIndex, chosen.axisRank, chosen.partnerIndex, chosen.betStyle)));
        QVERIFY(s.window->ReportBox()->Text().contains(U("単勝")));

        // The window stays after the dialog, and opens patterns directly.
        RankingWindow* kept = s.window->Ranking();
        QVERIFY(kept != nullptr);
        QTRY_VERIFY(kept->isVisible());
        const int top = 0;
        const auto next = kept->Model()->Pattern(
            kept->Filter()->mapToSource(kept->Filter()->index(top, 0)).row());
        DoubleClickRow(kept, top);
        QTRY_COMPARE(s.window->PatternDescription()->text(), lomi::ui::FromUtf8(next.description));
        QCOMPARE(s.state.Pattern.axisIndex, next.selections.axisIndex);
        QCOMPARE(s.state.Pattern.betStyle, next.selections.betStyle);
    }

    void stoppedRunLeavesTheMainWindowAlone() {
        Session s;
        const QString report = s.window->ReportBox()->Text();
        const QString label = s.window->PatternDescription()->text();
        QVERIFY(s.WithDialog([&](PatternDialog* d) {
            t::Click(Session::Button(d, "AllPatternsButton"));
            RankingWindow* ranking = d->Ranking();
            t::Click(Session::Button(d, "StopButton"));
            QTRY_VERIFY(!ranking->Running());
        }));
        QCOMPARE(s.window->ReportBox()->Text(), report);
        QCOMPARE(s.window->PatternDescription()->text(), label);
        QCOMPARE(s.state.Pattern.axisIndex, 7);
        QCOMPARE(s.state.Loaded.Records.Size(), 0u);
    }

    void stopReachesARankingOpenedFromAnEarlierDialog() {
        Session s;
        QVERIFY(s.WithDialog(
            [&](PatternDialog* d) { t::Click(Session::Button(d, "AllPatternsButton")); }));
        RankingWindow* ranking = s.window->Ranking();
        QVERIFY(ranking != nullptr);
        QTRY_VERIFY(!ranking->Running());
        QVERIFY(s.WithDialog([&](PatternDialog* d) {
            QPushButton* stop = Session::Button(d, "StopButton");
            ranking->Start();
            QVERIFY(stop->isEnabled());
            t::Click(stop);
            QVERIFY(ranking->Stopping() || !ranking->Running());
            QVERIFY(!stop->isEnabled());
            QTRY_VERIFY(!ranking->Running());
        }));
    }

    // The ranking follows what the main window analyses: a tally under other
    // conditions, then another data folder, mark it out of date, and
    // 再集計 ranks the new state. 内訳 marks the folder change too.
    void rankingFollowsTheConditionsAndTheFolder() {
        Session s;
        lomi::SelectPattern(s.state, {7, 1, 3, 1});
        QVERIFY(s.window->StartPatternLoad(s.window.get()));
        QVERIFY(s.WaitForLoad());
        RankingWindow* ranking = s.window->OpenRankingWindow();
        QCOMPARE(ranking->parentWidget(), nullptr);
        QCOMPARE(QAccessible::queryAccessibleInterface(ranking)->role(), QAccessible::Window);
        QTRY_VERIFY(!ranking->Running());
        QVERIFY(!ranking->OutOfDate());
        const std::int64_t allRaces = RankedRaces(ranking);
        QVERIFY(ConditionsLine(ranking).endsWith(U("条件: 全抽出")));

        // 馬場: its second item, then the tally.
        s.window->ConditionSelector(6)->SetListIndex(1);
        s.window->RunTally();
        QVERIFY(ranking->OutOfDate());
        QVERIFY(ranking->OutOfDateText().startsWith(U("条件が変わりました")));
        QVERIFY(ConditionsLine(ranking).endsWith(U("条件: 全抽出")));  // the table's own
        t::Click(ranking->findChild<QPushButton*>("RunButton"));
        QTRY_VERIFY(!ranking->Running());
        QVERIFY(!ranking->OutOfDate());
        QVERIFY(ConditionsLine(ranking).contains(U("馬場")));
        QVERIFY(RankedRaces(ranking) < allRaces);

        // Another folder, chosen in ﾌｫﾙﾀﾞの設定.
        t::TempFolder other;
        lomi::samples::RaceDay first{}, last{};
        lomi::samples::ParseDate("2005-04-02", first);
        lomi::samples::ParseDate("2005-05-29", last);
        lomi::samples::WriteCorpus(other.PathText(), {"Q1RN", "W1PB"}, first, last, 5, 0);
        s.window->BreakdownMenuChosen();
        lomi::BreakdownWindow* breakdown = s.window->Breakdown();
        QVERIFY(!breakdown->OutOfDate()->Marked());
        s.window->FolderMenuChosen();
        lomi::FolderDialog* folder = lomi::FolderDialog::OpenFor(s.state);
        folder->FolderLabel()->setText(lomi::ui::FromUtf8(other.PathText()));
        folder->OkClicked();
        QVERIFY(ranking->OutOfDate());
        QVERIFY(ranking->OutOfDateText().startsWith(U("ﾌｫﾙﾀﾞが変わりました")));
        QVERIFY(breakdown->OutOfDate()->Marked());
        // 全パターン集計 in 分析 runs on the current state as 再集計 does.
        s.window->MenuRanking()->trigger();
        QCOMPARE(s.window->Ranking(), ranking);
        QTRY_VERIFY(!ranking->Running());
        QVERIFY(!ranking->OutOfDate());
        QVERIFY(ConditionsLine(ranking).contains(lomi::ui::FromUtf8(other.PathText())));
        QCOMPARE(ranking->Model()->rowCount(), 2);
        // 読み直す reads the pattern from the new folder.
        t::Click(breakdown->OutOfDate()->findChild<QPushButton*>("OutOfDateButton"));
        QTRY_VERIFY(!breakdown->OutOfDate()->Marked());
        QVERIFY(s.state.Loaded.DateList.front().rfind("2005", 0) == 0);
    }

    // The ranking window has no parent: the pattern dialog, modal to the
    // main window, leaves it taking input; the main window takes none.
    void rankingTakesInputWhileTheDialogIsOpen() {
        Session s;
        RankingWindow* ranking = s.window->OpenRankingWindow();
        QTRY_VERIFY(!ranking->Running());
        auto* split = ranking->findChild<QCheckBox*>("SplitCheck");
        QVERIFY(s.WithDialog([&](PatternDialog* d) {
            QCOMPARE(d->windowModality(), Qt::WindowModal);
            ClickThroughWindow(split);
            QTRY_VERIFY(split->isChecked());
            // Not vacuous: the main window, which the dialog blocks, ignores the click.
            lomi::ui::CheckBox* orMore = s.window->OrMoreBox();
            const int before = orMore->Value();
            ClickThroughWindow(orMore);
            QCOMPARE(orMore->Value(), before);
        }));
        QTRY_VERIFY(!ranking->Running());
        // Closing the main window closes the ranking.
        QPointer<RankingWindow> kept = ranking;
        s.window->close();
        QTRY_VERIFY(kept.isNull() || !kept->isVisible());
    }
};

QTEST_MAIN(AllPatternsTest)
#include "all_patterns_test.moc"
