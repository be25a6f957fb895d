#include "ui/background_worker.h"

#include <utility>

namespace lomi::ui {

BackgroundWorker::BackgroundWorker() : thread_([this] { Serve(); }) {}

BackgroundWorker::~BackgroundWorker() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void BackgroundWorker::Post(std::function<void()> job) {
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void BackgroundWorker::Serve() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return closing_ || !jobs_.empty(); });
            if (closing_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

}  // namespace lomi::ui
