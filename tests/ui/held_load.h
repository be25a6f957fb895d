#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>

#include "analysis/pattern_analysis.h"
#include "ui/pattern_loader.h"
#include "ui/worker_task.h"

namespace lomi::test {

// A load function that, while holding is set, holds each load as a read of
// a hung drive would hold it, until released; otherwise, and once
// released, it loads as LoadPattern does.
struct HeldLoad {
    std::mutex mutex;
    std::condition_variable wake;
    bool released = false;
    std::atomic<bool> holding{true};
    std::atomic<int> entered{0};

    ui::PatternLoader::LoadFunction Function() {
        return
            [this](const std::string& folder, const std::string& mask, const LoadProgress& progress,
                   std::stop_token stop, const RecordCacheOptions& cache) {
                if (holding) {
                    ++entered;
                    if (progress) progress(1, 40);
                    std::unique_lock lock(mutex);
                    wake.wait(lock, [this] { return released; });
                }
                return LoadPattern(folder, mask, progress, stop, cache);
            };
    }
    void Release() {
        {
            const std::lock_guard lock(mutex);
            released = true;
        }
        wake.notify_all();
    }
    ~HeldLoad() {
        Release();
        ui::WorkerTask::WaitForAll(std::chrono::seconds(10));
    }
};

}  // namespace lomi::test
