// 全パターン and 中止 in the pattern dialog: the ranking window opens over
// the data folder, a double-click opens that pattern as OK does, and a
// stopped run leaves the main window as it was.
#include <filesystem>
#include <memory>

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/main_window.h"
#include "app/main_window_session.h"
#include "dialogs/pattern_dialog.h"
#include "dialogs/ranking_model.h"
#include "dialogs/ranking_window.h"
#include "support/temp_folder.h"
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
            DoubleClickRow(ranking, row);
            QTRY_VERIFY(!d->isVisible());
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
        QVERIFY(s.WithDialog([&](PatternDialog* d) { t::Click(Session::Button(d, "AllPatternsButton")); }));
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
};

QTEST_MAIN(AllPatternsTest)
#include "all_patterns_test.moc"
