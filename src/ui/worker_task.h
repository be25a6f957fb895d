#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include <QPointer>

class QObject;

namespace lomi::ui {

// Every piece of work off the user-interface thread (loads and rankings)
// runs through this type. Each run has a thread of its own that nobody
// waits for: starting again, Abandon and the destructor stop the run in
// hand and leave it to end by itself, so a read that blocks on a slow or
// hung drive never freezes a window nor delays the next run. The work
// returns what is to be done with its result; that runs on the
// user-interface thread as a queued call, only while the owner lives and
// the run is still the current one. What the work throws, out of memory
// included, reaches the failure handler as a Japanese message made before
// the run began, so that telling it needs no memory.
class WorkerTask {
public:
    // What the work hands back, run on the user-interface thread.
    using Delivery = std::function<void()>;
    using Work = std::function<Delivery(std::stop_token)>;
    using FailureHandler = std::function<void(const std::string& message)>;

    explicit WorkerTask(QObject* owner) : owner_(owner) {}
    ~WorkerTask() { Abandon(); }
    WorkerTask(const WorkerTask&) = delete;
    WorkerTask& operator=(const WorkerTask&) = delete;

    // Starts work on a thread of its own, after abandoning the run in hand,
    // and returns at once. what names the work for a failure message
    // ("全パターンの集計"). When no thread can be started, failed hears why
    // before Start returns.
    void Start(const char* what, Work work, FailureHandler failed);
    void RequestStop() { stop_.request_stop(); }
    bool StopRequested() const { return stop_.stop_requested(); }
    // A run was started and has neither delivered nor been abandoned.
    bool Running() const;
    // Stops the run in hand; its result is dropped whenever it comes.
    void Abandon();

    // At the program's end: no result is delivered any more, and the
    // threads of every run still going get up to limit to end. False when
    // some are still held by a read that does not return: the program must
    // then end without waiting for them.
    static bool EndAll(std::chrono::milliseconds limit);
    // Waits up to limit for every run's thread to end; false when some have not.
    static bool WaitForAll(std::chrono::milliseconds limit);

    // One run: what its thread hands over to the user-interface thread.
    struct Run;
    // A run as Start makes it, with its failure message ready; nothing
    // when memory ran out.
    static std::shared_ptr<Run> PrepareRun(const char* what) noexcept;
    // The worker's side of a run, without its thread: runs the work and
    // keeps what it hands back, or the message of what it threw, for the
    // hand-over, which then allocates nothing.
    static void RunWork(Run& run, const Work& work, std::stop_token stop) noexcept;
    // What RunWork left: whether the work threw, and the message then.
    static bool Failed(const Run& run) noexcept;
    static const std::string& FailureMessage(const Run& run) noexcept;

private:
    QPointer<QObject> owner_;
    std::stop_source stop_{std::nostopstate};
    std::shared_ptr<Run> current_;  // the user-interface thread's only
};

}  // namespace lomi::ui
