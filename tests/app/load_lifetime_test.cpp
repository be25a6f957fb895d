// Windows closed at any moment of a load: right after Enter on a ranking
// row, or while the load is held (as by a hung drive) in its first half
// second. Nothing closed is touched, a held load never delays the next, and
// the program's end does not wait for one.
#include <chrono>
#include <memory>

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/main_window.h"
#include "app/main_window_session.h"
#include "dialogs/pattern_dialog.h"
#include "dialogs/ranking_model.h"
#include "dialogs/ranking_window.h"
#include "ui/gui_test_helpers.h"
#include "ui/held_load.h"
#include "ui/progress_window.h"
#include "ui/text_box.h"
#include "ui/worker_task.h"

using lomi::PatternDialog;
using lomi::RankingWindow;
using lomi::ui::WorkerTask;
using namespace std::chrono_literals;
namespace t = lomi::test;

namespace {

// The sample folder, loaded through a load function that holds while told.
struct Session : t::MainWindowSession {
    t::HeldLoad& held;
    explicit Session(t::HeldLoad& held)
        : MainWindowSession({7, 1, 3, 1}, LOMI_SAMPLES_DIR, held.Function()), held(held) {}

    // A finished ranking window, its first row current.
    QPointer<RankingWindow> RankingWithRows() {
        QPointer<RankingWindow> ranking = window->OpenRankingWindow();
        if (!QTest::qWaitFor([&] { return !ranking->Running(); }, 10000)) return nullptr;
        ranking->Table()->setCurrentIndex(ranking->Filter()->index(0, 0));
        return ranking;
    }
    static void PressEnterOnRow(RankingWindow* ranking) {
        QTest::keyClick(ranking->Table(), Qt::Key_Return);
    }
};

enum class Closed { Ranking, Main };

}  // namespace

class LoadLifetimeTest : public QObject {
    Q_OBJECT

private slots:
    void aWindowClosedAtOnceAfterEnterOnARowIsNeverTouched() {
        for (const Closed closed : {Closed::Ranking, Closed::Main}) {
            t::HeldLoad held;
            held.holding = false;
            Session s(held);
            QPointer<RankingWindow> ranking = s.RankingWithRows();
            QVERIFY(ranking);
            Session::PressEnterOnRow(ranking);
            if (closed == Closed::Ranking) {
                QTest::keyClick(ranking, Qt::Key_Escape);
                QTRY_VERIFY(!ranking);
                // The chosen pattern loads over the main window.
                QTRY_VERIFY(s.window->ReportBox()->Text().contains(QString::fromUtf8("単勝")));
                QVERIFY(!s.window->LoadRunning());
            } else {
                s.window.reset();
                QVERIFY(!ranking);
                QVERIFY(WorkerTask::WaitForAll(10s));
                QTest::qWait(20);
            }
        }
    }

    void aWindowClosedWhileALoadIsHeldIsNeverTouched() {
        for (const Closed closed : {Closed::Ranking, Closed::Main}) {
            t::HeldLoad held;
            held.holding = false;
            Session s(held);
            QPointer<RankingWindow> ranking = s.RankingWithRows();
            QVERIFY(ranking);
            held.holding = true;
            Session::PressEnterOnRow(ranking);
            QTRY_COMPARE(held.entered.load(), 1);
            QVERIFY(s.window->LoadRunning());
            if (closed == Closed::Ranking) {
                ranking->close();
                QTRY_VERIFY(!ranking);
                // The progress window, when it comes, shows over the main window.
                QTRY_VERIFY(s.window->LoadProgressWindow());
                QCOMPARE(s.window->LoadProgressWindow()->parentWidget(), s.window.get());
                held.Release();
                QVERIFY(s.WaitForLoad());
                QVERIFY(s.window->ReportBox()->Text().contains(QString::fromUtf8("単勝")));
            } else {
                s.window.reset();
                held.Release();
                QVERIFY(WorkerTask::WaitForAll(10s));
                QTest::qWait(20);
                QCOMPARE(s.state.RecordCount(), 0);
            }
        }
    }

    void aSecondLoadDoesNotWaitForAHeldOne() {
        t::HeldLoad held;
        Session s(held);
        s.window->OpenMenuChosen();
        QPointer<PatternDialog> dialog = s.window->OpenPatternDialog();
        t::Click(t::MainWindowSession::Button(dialog, "OkButton"));
        QTRY_COMPARE(held.entered.load(), 1);
        // ｷｬﾝｾﾙ abandons the held load; the dialog stays for another try.
        t::Click(t::MainWindowSession::Button(dialog, "CancelButton"));
        QVERIFY(!s.window->LoadRunning());
        QVERIFY(dialog->isVisible());
        held.holding = false;
        t::Click(t::MainWindowSession::Button(dialog, "OkButton"));
        QVERIFY(s.WaitForLoad());
        QVERIFY(!dialog);
        QVERIFY(s.window->ReportBox()->Text().contains(QString::fromUtf8("単勝")));
        QVERIFY(!WorkerTask::WaitForAll(10ms));  // the first is still held
    }

    // Last: the program's end delivers nothing more to any window.
    void theEndDoesNotWaitForAHeldLoad() {
        t::HeldLoad held;
        Session s(held);
        s.window->OpenMenuChosen();
        t::Click(t::MainWindowSession::Button(s.window->OpenPatternDialog(), "OkButton"));
        QTRY_COMPARE(held.entered.load(), 1);
        s.window->close();
        s.window.reset();
        QVERIFY(!WorkerTask::EndAll(100ms));
        held.Release();
        QVERIFY(WorkerTask::WaitForAll(10s));
    }
};

QTEST_MAIN(LoadLifetimeTest)
#include "load_lifetime_test.moc"
