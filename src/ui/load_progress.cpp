#include "ui/load_progress.h"

#include <atomic>
#include <memory>
#include <thread>
#include <utility>

#include <QEventLoop>
#include <QTimer>

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
    const WaitCursor waiting;
    QEventLoop loop;
    bool cancelled = false;

    ProgressWindow window(parent);
    window.setWindowModality(Qt::WindowModal);
    QObject::connect(&window, &ProgressWindow::CancelRequested, &loop, [&] {
        cancelled = true;
        loop.quit();
    });

    auto counts = std::make_shared<Counts>();
    auto refresh = [&window, counts] { window.SetCounts(counts->done, counts->total); };
    QTimer refreshTimer;
    refreshTimer.setInterval(kRefreshMilliseconds);
    QObject::connect(&refreshTimer, &QTimer::timeout, &window, refresh);
    auto show = [&] {
        refresh();
        window.show();
        refreshTimer.start();
    };
    QTimer showTimer;
    showTimer.setSingleShot(true);
    QObject::connect(&showTimer, &QTimer::timeout, &window, show);

    // Written by the worker before it posts the end of the load; read here
    // only after the worker has been joined.
    PatternLoad result;
    std::jthread worker([&, counts](std::stop_token stop) {
        result = LoadPattern(
            folder, mask,
            [counts](std::size_t done, std::size_t total) {
                counts->total = total;
                counts->done = done;
            },
            stop);
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });

    if (showAfterMilliseconds <= 0) {
        show();
    } else {
        showTimer.start(showAfterMilliseconds);
    }
    if (!cancelled) loop.exec();
    worker.request_stop();
    worker.join();
    if (cancelled) {
        PatternLoad stopped;
        stopped.status = LoadStatus::Cancelled;
        return stopped;
    }
    return result;
}

}  // namespace lomi::ui
