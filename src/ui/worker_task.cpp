#include "ui/worker_task.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include "data/task_failure.h"

namespace lomi::ui {

struct WorkerTask::Run {
    const char* what = "";
    // The user-interface thread's only.
    QPointer<QObject> owner;
    FailureHandler failed;
    bool current = true;
    // Written by the worker before ready, read by the user-interface thread after it.
    Delivery delivery;
    std::string failure;  // made on the user-interface thread before the run
    bool threw = false;
    std::atomic<bool> ready{false};
};

namespace {

QEvent::Type DeliveryType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// The hand-over of one run's result: made with the run, before its thread
// starts, so that the worker posts it without allocating.
class DeliveryEvent : public QEvent {
public:
    explicit DeliveryEvent(std::shared_ptr<WorkerTask::Run> run)
        : QEvent(DeliveryType()), run_(std::move(run)) {}
    const std::shared_ptr<WorkerTask::Run>& Run() const { return run_; }

private:
    std::shared_ptr<WorkerTask::Run> run_;
};

void Deliver(WorkerTask::Run& run);

// Receives every run's hand-over on the user-interface thread. It lives as
// long as the program: a worker may post to it at any time.
class Deliverer : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() != DeliveryType()) return QObject::event(event);
        // Kept alive while its result is used, whatever the result closes.
        const std::shared_ptr<WorkerTask::Run> run = static_cast<DeliveryEvent*>(event)->Run();
        Deliver(*run);
        return true;
    }
};

// The threads of all runs that have not ended, and where they hand over.
// Never destroyed: a thread that a hung read still holds may end after the
// program's statics are gone.
struct Registry {
    std::mutex mutex;
    std::condition_variable ended;
    int running = 0;
    bool closed = false;  // the program is ending: nothing is delivered
    Deliverer* deliverer = nullptr;
};

Registry& Threads() {
    static auto* registry = new Registry;
    return *registry;
}

void Deliver(WorkerTask::Run& run) {
    if (!run.ready.load(std::memory_order_acquire)) return;
    if (!run.current || !run.owner) return;
    run.current = false;
    if (run.threw) {
        if (run.failed) run.failed(run.failure);
        return;
    }
    const WorkerTask::Delivery delivery = std::move(run.delivery);
    if (delivery) delivery();
}

}  // namespace

std::shared_ptr<WorkerTask::Run> WorkerTask::PrepareRun(const char* what) noexcept {
    try {
        auto run = std::make_shared<Run>();
        run->what = what;
        if (!PrepareFailureMessage(run->failure, what)) return nullptr;
        return run;
    } catch (...) {
        return nullptr;
    }
}

void WorkerTask::RunWork(Run& run, const Work& work, std::stop_token stop) noexcept {
    try {
        run.delivery = work(std::move(stop));
    } catch (...) {
        run.threw = true;
        WriteTaskFailure(run.failure, run.what, std::current_exception());
    }
    run.ready.store(true, std::memory_order_release);
}

bool WorkerTask::Failed(const Run& run) noexcept { return run.threw; }

const std::string& WorkerTask::FailureMessage(const Run& run) noexcept { return run.failure; }

void WorkerTask::Start(const char* what, Work work, FailureHandler failed) {
    Abandon();
    Registry& threads = Threads();
    bool counted = false;
    try {
        stop_ = std::stop_source();
        current_ = PrepareRun(what);
        if (!current_) throw std::bad_alloc();
        current_->owner = owner_;
        current_->failed = failed;
        auto event = std::make_unique<DeliveryEvent>(current_);
        {
            const std::lock_guard lock(threads.mutex);
            if (threads.deliverer == nullptr) threads.deliverer = new Deliverer;
            ++threads.running;
            counted = true;
        }
        std::thread([event = std::move(event), work = std::move(work),
                     stop = stop_.get_token()]() mutable {
            RunWork(*event->Run(), work, std::move(stop));
            Registry& registry = Threads();
            const std::lock_guard lock(registry.mutex);
            if (!registry.closed) QCoreApplication::postEvent(registry.deliverer, event.release());
            --registry.running;
            registry.ended.notify_all();
        }).detach();
    } catch (...) {
        if (counted) {
            const std::lock_guard lock(threads.mutex);
            --threads.running;
        }
        if (current_) WriteTaskFailure(current_->failure, what, std::current_exception());
        const std::string message =
            current_ ? std::move(current_->failure) : std::string(kOutOfMemoryText);
        current_.reset();
        if (failed) failed(message);
    }
}

bool WorkerTask::Running() const { return current_ && current_->current; }

void WorkerTask::Abandon() {
    stop_.request_stop();
    if (current_) current_->current = false;
    current_.reset();
}

bool WorkerTask::EndAll(std::chrono::milliseconds limit) {
    {
        const std::lock_guard lock(Threads().mutex);
        Threads().closed = true;
    }
    return WaitForAll(limit);
}

bool WorkerTask::WaitForAll(std::chrono::milliseconds limit) {
    Registry& threads = Threads();
    std::unique_lock lock(threads.mutex);
    return threads.ended.wait_for(lock, limit, [&] { return threads.running == 0; });
}

}  // namespace lomi::ui
