#include "ui/background_task.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

#include <QCoreApplication>
#include <QObject>

#include "analysis/task_failure.h"

namespace lomi::ui {
namespace {

// The threads of all tasks that have not ended. Never destroyed: a thread
// that a hung read still holds may end after the program's statics are gone.
struct RunningThreads {
    std::mutex mutex;
    std::condition_variable ended;
    int count = 0;
};

RunningThreads& Running() {
    static auto* running = new RunningThreads;
    return *running;
}

}  // namespace

void BackgroundTask::Start(const char* what, Work work, Failed failed) {
    Abandon();
    stop_ = std::stop_source();
    current_ = std::make_shared<bool>(true);
    // Made here, on the user-interface thread; the worker only copies it.
    const QPointer<QObject> owner = owner_;
    const std::shared_ptr<bool> current = current_;
    {
        const std::lock_guard lock(Running().mutex);
        ++Running().count;
    }
    const auto run = [what, owner, current, work = std::move(work),
                      failed = std::move(failed)](std::stop_token stop) mutable {
        Finish finish;
        try {
            finish = work(stop);
        } catch (...) {
            const std::exception_ptr error = std::current_exception();
            finish = [failed, error, what] { failed(DescribeTaskFailure(what, error)); };
        }
        if (QCoreApplication* app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(
                app,
                [owner, current, finish = std::move(finish)] {
                    if (owner && *current && finish) finish();
                },
                Qt::QueuedConnection);
        }
        const std::lock_guard lock(Running().mutex);
        --Running().count;
        Running().ended.notify_all();
    };
    try {
        std::thread(run, stop_.get_token()).detach();
    } catch (...) {
        {
            const std::lock_guard lock(Running().mutex);
            --Running().count;
        }
        *current_ = false;
        failed(DescribeTaskFailure(what, std::current_exception()));
    }
}

void BackgroundTask::Abandon() {
    stop_.request_stop();
    if (current_) *current_ = false;
    current_.reset();
}

bool BackgroundTask::WaitForAll(std::chrono::milliseconds limit) {
    std::unique_lock lock(Running().mutex);
    return Running().ended.wait_for(lock, limit, [] { return Running().count == 0; });
}

}  // namespace lomi::ui
