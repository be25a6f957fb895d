#include "ui/load_progress.h"

#include <atomic>
#include <memory>
#include <semaphore>
#include <stop_token>
#include <utility>

#include <QEventLoop>
#include <QTimer>

#include "ui/background_worker.h"
#include "ui/progress_window.h"
#include "ui/wait_cursor.h"

namespace lomi::ui {

namespace {

constexpr int kRefreshMilliseconds = 50;

// What the worker tells the user-interface thread: the counts as they go,
// read by the refresh timer rather than sent for every file.
struct Counts {
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> total{0};
};

}  // namespace

PatternLoad LoadPatternInBackground(const std::string& folder, const std::string& mask,
                                    QWidget* parent, int showAfterMilliseconds) {
    QEventLoop loop;
    auto counts = std::make_shared<Counts>();
    std::stop_source stop;
    std::binary_semaphore ended{0};
    // Written by the worker before it signals the end of the load; read
    // here only after that.
    PatternLoad result;
    static BackgroundWorker worker;
    worker.Post([&, counts, token = stop.get_token()] {
        result = LoadPattern(
            folder, mask,
            [counts](std::size_t done, std::size_t total) {
                counts->total = total;
                counts->done = done;
            },
            token);
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
        ended.release();
    });

    // The window is made only when it is due, so that a quick load costs
    // this thread nothing but the wait cursor.
    const WaitCursor waiting;
    bool cancelled = false;
    std::unique_ptr<ProgressWindow> window;
    QTimer refreshTimer;
    refreshTimer.setInterval(kRefreshMilliseconds);
    QObject::connect(&refreshTimer, &QTimer::timeout, &loop,
                     [&] { window->SetCounts(counts->done, counts->total); });
    auto show = [&] {
        window = std::make_unique<ProgressWindow>(parent);
        window->setWindowModality(Qt::WindowModal);
        QObject::connect(window.get(), &ProgressWindow::CancelRequested, &loop, [&] {
            cancelled = true;
            loop.quit();
        });
        window->SetCounts(counts->done, counts->total);
        window->show();
        refreshTimer.start();
    };
    QTimer showTimer;
    showTimer.setSingleShot(true);
    QObject::connect(&showTimer, &QTimer::timeout, &loop, show);

    if (showAfterMilliseconds <= 0) {
        show();
    } else {
        showTimer.start(showAfterMilliseconds);
    }
    if (!cancelled) loop.exec();
    refreshTimer.stop();
    stop.request_stop();
    ended.acquire();
    if (cancelled) {
        PatternLoad stopped;
        stopped.status = LoadStatus::Cancelled;
        return stopped;
    }
    return result;
}

}  // namespace lomi::ui
