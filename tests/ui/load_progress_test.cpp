// A load on a worker thread: the wait cursor at once, a progress window of
// fixed width counting the files read, ｷｬﾝｾﾙ that stops it, and the data
// arriving whole or not at all.
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "analysis/pattern_analysis.h"
#include "app/worked_example.h"
#include "data/ticket_reader.h"
#include "support/temp_folder.h"
#include "ui/background_worker.h"
#include "ui/load_progress.h"
#include "ui/progress_window.h"

namespace t = lomi::test;
using lomi::LoadStatus;
using lomi::ui::ProgressWindow;

namespace {

void WriteDays(const std::filesystem::path& folder, int days) {
    for (int day = 1; day <= days; ++day) {
        t::WriteTicketFile(folder, "P" + std::to_string(100 + day) + "Q1RN.txt",
                           {t::HeaderLine(2001, 4, 1 + day % 28),
                            t::Race(5, 11, 16, 4, 6, 1, 16, "0023", "0012", "00000", "00000", 3)});
    }
}

// Records what the progress window showed when it appeared and, when told
// to, presses its ｷｬﾝｾﾙ right then.
class ProgressWatcher : public QObject {
public:
    bool cancelAtShow = false;
    bool shown = false;
    bool waitCursorWhenShown = false;
    bool parentBlocked = false;
    QString firstLabel;
    int width = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<ProgressWindow*>(watched);
        if (window && event->type() == QEvent::Show) {
            shown = true;
            const QCursor* cursor = QApplication::overrideCursor();
            waitCursorWhenShown = cursor && cursor->shape() == Qt::WaitCursor;
            firstLabel = window->LabelText();
            width = window->width();
            if (cancelAtShow) window->CancelButton()->click();
        }
        return false;
    }
};

struct Loaded {
    lomi::PatternLoad load;
    ProgressWatcher watcher;
};

void LoadFolder(const t::TempFolder& folder, int delay, Loaded& out) {
    QWidget parent;
    parent.show();
    qApp->installEventFilter(&out.watcher);
    out.load = lomi::ui::LoadPatternInBackground(folder.PathText(), "P*Q1RN.txt", &parent, delay);
    qApp->removeEventFilter(&out.watcher);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QVERIFY(!parent.findChild<ProgressWindow*>());
}

}  // namespace

class LoadProgressTest : public QObject {
    Q_OBJECT

private slots:
    void theCoreReportsEveryFileRead() {
        t::TempFolder folder;
        WriteDays(folder.Path(), 3);
        lomi::ProgramState state;
        state.DataFolder = folder.PathText();
        state.PatternFileMask = "P*Q1RN.txt";
        std::vector<std::pair<std::size_t, std::size_t>> calls;
        QVERIFY(lomi::CommitLoad(state, lomi::LoadPattern(state.DataFolder, state.PatternFileMask,
                                                          [&](std::size_t done, std::size_t total) {
                                                              calls.emplace_back(done, total);
                                                          })));
        const std::vector<std::pair<std::size_t, std::size_t>> expected = {
            {0, 3}, {1, 3}, {2, 3}, {3, 3}};
        QVERIFY(calls == expected);
        QCOMPARE(state.RecordCount(), 3);
    }

    void aSlowLoadShowsItsProgressUnderAWaitCursor() {
        t::TempFolder folder;
        WriteDays(folder.Path(), 12);
        Loaded l;
        // No delay before the window, so that a quick load shows it too.
        LoadFolder(folder, 0, l);
        QVERIFY(l.load.status == LoadStatus::Loaded);
        QCOMPARE(l.load.data.Records.Size(), 12u);
        QVERIFY(l.watcher.shown);
        QVERIFY(l.watcher.waitCursorWhenShown);
        QVERIFY2(l.watcher.firstLabel.startsWith(QString::fromUtf8("ﾌｧｲﾙを読み込んでいます…")),
                 qPrintable(l.watcher.firstLabel));
    }

    void aQuickLoadShowsNoWindow() {
        t::TempFolder folder;
        WriteDays(folder.Path(), 2);
        Loaded l;
        LoadFolder(folder, 60000, l);
        QVERIFY(l.load.status == LoadStatus::Loaded);
        QVERIFY(!l.watcher.shown);
    }

    void cancelStopsTheLoadAndGivesNoData() {
        t::TempFolder folder;
        WriteDays(folder.Path(), 40);
        Loaded l;
        l.watcher.cancelAtShow = true;
        LoadFolder(folder, 0, l);
        QVERIFY(l.watcher.shown);
        QVERIFY(l.load.status == LoadStatus::Cancelled);
        QVERIFY(l.load.message.empty());
        QCOMPARE(l.load.data.Records.Size(), 0u);
    }

    void failuresComeBackFromTheWorker() {
        t::TempFolder folder;
        Loaded l;
        LoadFolder(folder, 0, l);
        QVERIFY(l.load.status == LoadStatus::NotFound);
        QCOMPARE(l.load.message, std::string("FILE NOT FOUND."));
    }

    void theWindowKeepsOneWidthThatFitsTheLargestCount() {
        struct Case {
            std::size_t total;
        };
        for (const Case c : {Case{12}, Case{16593}, Case{1234567}}) {
            ProgressWindow window;
            window.SetCounts(0, c.total);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            const int width = window.width();
            for (std::size_t done : {std::size_t{1}, c.total / 2, c.total}) {
                window.SetCounts(done, c.total);
                QCoreApplication::processEvents();
                QCOMPARE(window.width(), width);
                QCOMPARE(window.Value(), static_cast<int>(done));
            }
            QCOMPARE(window.Maximum(), static_cast<int>(c.total));
            const QFontMetrics metrics(window.font());
            QVERIFY(metrics.horizontalAdvance(window.LabelText()) < width);
            QVERIFY(window.LabelText().endsWith(QStringLiteral(" / %1").arg(c.total)));
        }
    }

    void theWorkerRunsJobsInTurnOffTheCallingThread() {
        std::vector<int> order;
        std::vector<std::thread::id> threads;
        // A plain condition variable: MinGW's std::binary_semaphore (an
        // atomic wait without a futex) can miss the release and wait forever.
        std::mutex mutex;
        std::condition_variable ended;
        bool lastDone = false;
        {
            lomi::ui::BackgroundWorker worker;
            for (int job = 0; job < 3; ++job) {
                worker.Post([&, job] {
                    const std::lock_guard lock(mutex);
                    order.push_back(job);
                    threads.push_back(std::this_thread::get_id());
                    lastDone = job == 2;
                    ended.notify_one();
                });
            }
            std::unique_lock lock(mutex);
            ended.wait(lock, [&] { return lastDone; });
        }
        QCOMPARE(order, (std::vector<int>{0, 1, 2}));
        QVERIFY(threads[0] != std::this_thread::get_id());
        QVERIFY(threads[0] == threads[1] && threads[1] == threads[2]);
    }

    void escAndTheCloseBoxAskToCancel() {
        ProgressWindow window;
        int asked = 0;
        QObject::connect(&window, &ProgressWindow::CancelRequested, [&] { ++asked; });
        window.show();
        QTest::keyClick(&window, Qt::Key_Escape);
        window.close();
        QCOMPARE(asked, 2);
    }
};

QTEST_MAIN(LoadProgressTest)
#include "load_progress_test.moc"
