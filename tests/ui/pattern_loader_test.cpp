// A load on a worker thread: the caller returns at once, the wait cursor
// shows, a progress window of fixed width counts the files read once the
// load has lasted, ｷｬﾝｾﾙ abandons it at once, and the data arrives whole or
// not at all.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include "analysis/pattern_analysis.h"
#include "app/worked_example.h"
#include "support/temp_folder.h"
#include "ui/gui_test_helpers.h"
#include "ui/held_load.h"
#include "ui/pattern_loader.h"
#include "ui/progress_window.h"
#include "ui/worker_task.h"

namespace t = lomi::test;
using lomi::LoadStatus;
using lomi::test::HeldLoad;
using lomi::ui::PatternLoader;
using lomi::ui::ProgressWindow;
using namespace std::chrono_literals;

namespace {

void WriteDays(const std::filesystem::path& folder, int days) {
    for (int day = 1; day <= days; ++day) {
        t::WriteTicketFile(folder, "P" + std::to_string(100 + day) + "Q1RN.txt",
                           {t::HeaderLine(2001, 4, 1 + day % 28),
                            t::Race(5, 11, 16, 4, 6, 1, 16, "0023", "0012", "00000", "00000", 3)});
    }
}

struct Loading {
    QWidget over;
    std::optional<lomi::PatternLoad> ended;
    int endings = 0;
    PatternLoader loader;

    explicit Loading(PatternLoader::LoadFunction load = lomi::LoadPattern)
        : loader(nullptr, std::move(load)) {
        over.show();
    }
    void Start(const t::TempFolder& folder) {
        loader.Start(folder.PathText(), "P*Q1RN.txt", &over, [this](lomi::PatternLoad load) {
            ++endings;
            ended = std::move(load);
        });
    }
};

}  // namespace

class PatternLoaderTest : public QObject {
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

    void aQuickLoadEndsWithItsDataAndNoWindow() {
        struct Case {
            int days;
            LoadStatus status;
            const char* message;
        };
        for (const Case c :
             {Case{12, LoadStatus::Loaded, ""}, Case{0, LoadStatus::NotFound, "FILE NOT FOUND."}}) {
            t::TempFolder folder;
            WriteDays(folder.Path(), c.days);
            Loading l;
            l.Start(folder);
            // Started, not waited for: the caller's thread is free at once.
            QVERIFY(l.loader.Running());
            QVERIFY(QApplication::overrideCursor() != nullptr);
            QTRY_VERIFY(l.ended.has_value());
            QVERIFY(l.ended->status == c.status);
            QCOMPARE(l.ended->message, std::string(c.message));
            QCOMPARE(l.ended->data.Records.Size(), static_cast<std::size_t>(c.days));
            QVERIFY(!l.loader.Running());
            QCOMPARE(QApplication::overrideCursor(), nullptr);
            QVERIFY(!l.loader.Progress());
        }
    }

    void aHeldLoadShowsItsProgressAfterTheDelayAndCancelEndsItAtOnce() {
        t::TempFolder folder;
        WriteDays(folder.Path(), 3);
        HeldLoad held;
        Loading l(held.Function());
        QElapsedTimer clock;
        clock.start();
        l.Start(folder);
        QTRY_VERIFY(held.entered == 1);
        QVERIFY(!l.loader.Progress() || clock.elapsed() >= lomi::ui::kProgressDelayMilliseconds);
        QTRY_VERIFY(l.loader.Progress() && l.loader.Progress()->isVisible());
        QCOMPARE(l.loader.Progress()->parentWidget(), &l.over);
        QVERIFY(l.loader.Progress()->isModal());
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QTRY_VERIFY(l.loader.Progress()->LabelText().endsWith(QStringLiteral("1 / 40")));
        t::Click(l.loader.Progress()->CancelButton());
        // Heard at once, while the worker is still held.
        QVERIFY(l.ended.has_value());
        QVERIFY(l.ended->status == LoadStatus::Cancelled);
        QVERIFY(l.ended->message.empty());
        QVERIFY(!l.loader.Running());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(!l.loader.Progress());
        // The held load, released, is never heard.
        held.Release();
        QVERIFY(lomi::ui::WorkerTask::WaitForAll(10s));
        QTest::qWait(20);
        QCOMPARE(l.endings, 1);
    }

    void aNewLoadDoesNotWaitForAHeldOne() {
        t::TempFolder folder;
        WriteDays(folder.Path(), 3);
        HeldLoad held;
        Loading l(held.Function());
        l.Start(folder);
        QTRY_VERIFY(held.entered == 1);
        held.holding = false;
        l.Start(folder);
        QTRY_VERIFY(l.ended.has_value());
        QCOMPARE(l.endings, 1);
        QVERIFY(l.ended->status == LoadStatus::Loaded);
        QCOMPARE(l.ended->data.Records.Size(), 3u);
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

QTEST_MAIN(PatternLoaderTest)
#include "pattern_loader_test.moc"
