#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace lomi::ui {

// One thread that runs jobs in the order they come, kept alive between
// them, so that a load starts at once instead of waiting for a new thread
// (which on a busy machine takes milliseconds). The destructor lets the job
// in hand finish and drops the rest.
class BackgroundWorker {
public:
    BackgroundWorker();
    ~BackgroundWorker();
    BackgroundWorker(const BackgroundWorker&) = delete;
    BackgroundWorker& operator=(const BackgroundWorker&) = delete;

    void Post(std::function<void()> job);

private:
    void Serve();

    // A plain condition variable and a flag of its own: the stop-token wait
    // of condition_variable_any missed wake-ups with MinGW's threads under
    // Wine, and the worker then never ended.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool closing_ = false;  // under mutex_
    std::thread thread_;    // last: it starts once the members above exist
};

}  // namespace lomi::ui
