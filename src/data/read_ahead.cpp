#include "data/read_ahead.h"

#include <new>
#include <utility>

#include "data/file_bytes.h"
#include "data/ticket_reader.h"

namespace lomi {
namespace {

// How far the reading runs ahead: enough files to cover the time one takes
// to read, few enough bytes that large files do not pile up in memory.
constexpr std::size_t kFilesAhead = 16;
constexpr std::size_t kBytesAhead = 4 * 1024 * 1024;
// A user waiting for files is woken for this many at once (or the last
// ones): waking a thread costs about as much as reading a small file.
constexpr std::size_t kWakeBatch = 4;

constexpr const char* kNoFileLeft = "読み込むファイルが残っていません";

}  // namespace

ReadAhead::ReadAhead(const std::string& folder, const std::vector<std::string>& names,
                     bool withStamps)
    : folder_(folder),
      names_(names),
      withStamps_(withStamps),
      finished_(names.empty()),
      thread_([this] { Run(); }) {}

ReadAhead::~ReadAhead() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    roomFree_.notify_one();
}

bool ReadAhead::BatchReady() const {
    // Large files can fill the room before a batch is whole: the reading
    // then waits, and the user must not.
    return ready_.size() >= kWakeBatch || finished_ || readyBytes_ >= kBytesAhead;
}

void ReadAhead::Run() {
    std::string path;
    for (const std::string& name : names_) {
        File file;
        {
            std::unique_lock lock(mutex_);
            roomFree_.wait(lock, [&] {
                return closing_ || ready_.empty() ||
                       (ready_.size() < kFilesAhead && readyBytes_ < kBytesAhead);
            });
            if (closing_) return;
            if (!spare_.empty()) {
                file.bytes = std::move(spare_.back());
                spare_.pop_back();
            }
        }
        try {
            JoinFolderAndName(folder_, name, path);
            file.ok = ReadFileBytes(path, file.bytes, file.opened, file.reason,
                                    withStamps_ ? &file.stamp : nullptr);
        } catch (...) {
            file.ok = false;
            file.error = std::current_exception();
        }
        bool last = !file.ok || &name == &names_.back();
        bool wake = false;
        {
            const std::lock_guard lock(mutex_);
            const std::size_t size = file.bytes.size();
            try {
                ready_.push_back(std::move(file));
                readyBytes_ += size;
            } catch (...) {
                // No memory to hand the file over: the user gets that instead.
                lost_ = std::current_exception();
                last = true;
            }
            finished_ = last;
            wake = BatchReady();
        }
        if (wake) filesReady_.notify_one();
        if (last) return;
    }
}

const ReadAhead::File& ReadAhead::Next() {
    {
        std::unique_lock lock(mutex_);
        if (current_.bytes.capacity() != 0) {
            try {
                spare_.push_back(std::move(current_.bytes));
            } catch (const std::bad_alloc&) {
                // Kept only for reuse: without room for it, the next file gets a new buffer.
            }
        }
        if (ready_.empty()) filesReady_.wait(lock, [&] { return BatchReady(); });
        if (ready_.empty()) {
            // The end, reached or cut short.
            current_ = File{};
            current_.reason = kNoFileLeft;
            current_.error = lost_;
            return current_;
        }
        current_ = std::move(ready_.front());
        ready_.pop_front();
        readyBytes_ -= current_.bytes.size();
    }
    roomFree_.notify_one();
    return current_;
}

}  // namespace lomi
