#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "data/cache_files.h"

namespace lomi {

// The bytes of a list of files, read in order on a thread of its own a few
// files ahead of the one that uses them: a load then reads the next files
// while it makes records of this one, instead of waiting for each file in
// turn. Reading stops at the first file that cannot be read; what goes
// wrong in the reading comes back as a File.
class ReadAhead {
public:
    // One file as ReadFileBytes gave it.
    struct File {
        bool ok = false;
        bool opened = false;
        std::string reason;
        std::string bytes;
        FileStamp stamp;           // when asked for
        std::exception_ptr error;  // what reading it threw, if anything
    };

    // names: files in folder, in reading order; both must outlive this.
    // withStamps: each File's stamp is set (for the record cache).
    ReadAhead(const std::string& folder, const std::vector<std::string>& names, bool withStamps);
    // Stops the reading before the next file and waits for its thread,
    // which then has at most the file in hand to finish.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next file in order, once it is read; valid until the next call.
    // After the last name, or after a file that was not read, a File that
    // is not ok (with error set when the file could not be handed over for
    // want of memory), at once.
    const File& Next();

private:
    void Run();
    // Whether a user waiting for files has enough to go on; under mutex_.
    bool BatchReady() const;

    const std::string& folder_;
    const std::vector<std::string>& names_;
    const bool withStamps_;
    std::mutex mutex_;
    std::condition_variable filesReady_;  // for the user: a batch, or the last file
    std::condition_variable roomFree_;    // for the reading thread
    std::deque<File> ready_;              // read and not yet taken
    std::size_t readyBytes_ = 0;          // their bytes
    std::vector<std::string> spare_;      // buffers given back, for reuse
    File current_;
    bool finished_ = false;    // the reading thread has handed over its last file
    std::exception_ptr lost_;  // why a file could not be handed over
    bool closing_ = false;
    std::jthread thread_;  // last: it starts once the rest is set up
};

}  // namespace lomi
