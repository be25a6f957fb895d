// 全パターン集計's worker: what the ranking throws reaches the user as a
// message, and the window never waits for a run that a hung read holds,
// neither on 中止 nor when it closes.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

#include <QPushButton>
#include <QTest>

#include "dialogs/ranking_window.h"
#include "ui/gui_test_helpers.h"
#include "ui/worker_task.h"

using lomi::RankingWindow;
using lomi::ui::WorkerTask;
using namespace std::chrono_literals;
namespace t = lomi::test;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// A ranking held as a read of a hung drive would hold it, until released.
struct HeldRanking {
    std::mutex mutex;
    std::condition_variable wake;
    bool released = false;
    std::atomic<bool> entered{false};
    std::atomic<bool> returned{false};

    RankingWindow::Ranker Ranker() {
        return [this](const std::string&, const lomi::RankingOptions&, const lomi::LoadProgress&,
                      std::stop_token) {
            entered = true;
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return released; });
            returned = true;
            return lomi::RankingResult{};
        };
    }
    void Release() {
        {
            const std::lock_guard lock(mutex);
            released = true;
        }
        wake.notify_all();
    }
};

}  // namespace

class RankingWorkerTest : public QObject {
    Q_OBJECT

private slots:
    void aRankingThatThrowsIsToldInAMessage() {
        t::SeenMessage seen;
        {
            const auto watch = t::AnswerMessage(&seen);
            RankingWindow w(
                "unused", {}, nullptr, nullptr,
                [](const std::string&, const lomi::RankingOptions&, const lomi::LoadProgress&,
                   std::stop_token) -> lomi::RankingResult { throw std::bad_alloc(); });
            QTRY_VERIFY(!w.Running());
        }
        QVERIFY(seen.shown);
        QCOMPARE(seen.text, U("全パターンの集計中にメモリが足りなくなりました。"));
    }

    void neitherStopNorCloseWaitsForAHeldRun() {
        HeldRanking held;
        auto* w = new RankingWindow("unused", {}, nullptr, nullptr, held.Ranker());
        QTRY_VERIFY(held.entered);
        QTest::mouseClick(w->findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
        QVERIFY(w->Stopping());
        // A new run while the old one is held starts at once, too.
        w->Start();
        delete w;
        QVERIFY(!held.returned);
        QVERIFY(!WorkerTask::WaitForAll(10ms));
        held.Release();
        QVERIFY(WorkerTask::WaitForAll(10s));
    }
};

QTEST_MAIN(RankingWorkerTest)
#include "ranking_worker_test.moc"
