#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include <QPointer>

class QObject;

namespace lomi::ui {

// Work on a thread of its own that the user-interface thread never waits
// for. The work returns what is to be done with its result on the
// user-interface thread, which runs there while the owner lives and the run
// is still the current one. Starting again, Abandon and the destructor stop
// the run in hand and leave it to finish by itself: a read that blocks on a
// slow or hung drive never freezes the window. What the work throws, out of
// memory included, reaches failed as a Japanese message instead of ending
// the program.
class BackgroundTask {
public:
    using Finish = std::function<void()>;
    using Work = std::function<Finish(std::stop_token)>;
    using Failed = std::function<void(const std::string& message)>;

    explicit BackgroundTask(QObject* owner) : owner_(owner) {}
    ~BackgroundTask() { Abandon(); }
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // work names what it does for a failure message ("全パターンの集計").
    void Start(const char* what, Work work, Failed failed);
    void RequestStop() { stop_.request_stop(); }
    bool StopRequested() const { return stop_.stop_requested(); }
    // Stops the run in hand; its result is dropped whenever it comes.
    void Abandon();

    // At the program's end: waits up to limit for the threads of every task
    // still running; false when some are still held by a read that does not
    // return, so the program must end without waiting for them.
    static bool WaitForAll(std::chrono::milliseconds limit);

private:
    QPointer<QObject> owner_;
    std::stop_source stop_{std::nostopstate};
    std::shared_ptr<bool> current_;  // read and written on the user-interface thread only
};

}  // namespace lomi::ui
