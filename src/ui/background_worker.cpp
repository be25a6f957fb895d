#include "ui/background_worker.h"

#include <utility>

namespace lomi::ui {

BackgroundWorker::BackgroundWorker() : thread_([this](std::stop_token stop) { Serve(stop); }) {}

BackgroundWorker::~BackgroundWorker() {
    thread_.request_stop();
    thread_.join();
}

void BackgroundWorker::Post(std::function<void()> job) {
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void BackgroundWorker::Serve(std::stop_token stop) {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, stop, [this] { return !jobs_.empty(); })) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

}  // namespace lomi::ui
