#include "ui/load_progress.h"

#include <atomic>
#include <memory>
#include <stop_token>
#include <utility>

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include "ui/background_worker.h"
#include "ui/progress_window.h"
#include "ui/wait_cursor.h"

namespace lomi::ui {

namespace {

constexpr int kRefreshMilliseconds = 50;

// What the worker and the user-interface thread share: the counts as they
// go, read by the refresh timer rather than sent for every file, and the
// result. Shared, because a cancelled load is not waited for and may end
// after this call has returned.
struct SharedLoad {
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> total{0};
    PatternLoad result;            // written by the worker before it posts the end
    QPointer<QEventLoop> waiting;  // user-interface thread only
};

// Every load's worker. Never destroyed: at the program's end it may still be
// held by a read of a hung drive, and nobody waits for it.
BackgroundWorker& LoadWorker() {
    static auto* worker = new BackgroundWorker;
    return *worker;
}

}  // namespace

PatternLoad LoadPatternInBackground(const std::string& folder, const std::string& mask,
                                    QWidget* parent, int showAfterMilliseconds,
                                    const RecordCacheOptions& cache) {
    QEventLoop loop;
    auto shared = std::make_shared<SharedLoad>();
    shared->waiting = &loop;
    std::stop_source stop;
    LoadWorker().Post([folder, mask, shared, token = stop.get_token(), cache] {
        shared->result = LoadPattern(
            folder, mask,
            [shared](std::size_t done, std::size_t total) {
                shared->total = total;
                shared->done = done;
            },
            token, cache);
        if (QCoreApplication* app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(
                app,
                [shared] {
                    if (shared->waiting) shared->waiting->quit();
                },
                Qt::QueuedConnection);
        }
    });

    // The window is made only when it is due, so that a quick load costs
    // this thread nothing but the wait cursor.
    const WaitCursor waiting;
    bool cancelled = false;
    std::unique_ptr<ProgressWindow> window;
    QTimer refreshTimer;
    refreshTimer.setInterval(kRefreshMilliseconds);
    QObject::connect(&refreshTimer, &QTimer::timeout, &loop,
                     [&] { window->SetCounts(shared->done, shared->total); });
    auto show = [&] {
        window = std::make_unique<ProgressWindow>(parent);
        window->setWindowModality(Qt::WindowModal);
        QObject::connect(window.get(), &ProgressWindow::CancelRequested, &loop, [&] {
            cancelled = true;
            loop.quit();
        });
        window->SetCounts(shared->done, shared->total);
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
    shared->waiting = nullptr;
    if (cancelled) {
        // Not waited for: a read of a hung drive would hold this thread too.
        PatternLoad stopped;
        stopped.status = LoadStatus::Cancelled;
        return stopped;
    }
    return std::move(shared->result);
}

}  // namespace lomi::ui
