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
    void Serve(std::stop_token stop);

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<std::function<void()>> jobs_;
    std::jthread thread_;  // last: it starts once the members above exist
};

}  // namespace lomi::ui
