#include "data/cache_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "data/file_descriptor_posix.h"
#include "data/file_stamp_posix.h"
#include "data/system_error_text_posix.h"

namespace lomi {

std::optional<FileStamp> StampOfFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return StampOf(info);
}

std::int64_t NowStamp() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string& reason) {
    // A name of this process and call: threads and processes writing the
    // same cache file at once each write a file of their own.
    static std::atomic<unsigned> calls{0};
    const std::string temporary =
        path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(calls.fetch_add(1));
    bool written = false;
    {
        FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (fd.Get() < 0) {
            reason = SystemErrorText(errno);
            return false;
        }
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t put = ::write(fd.Get(), bytes.data() + done, bytes.size() - done);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
                reason = SystemErrorText(put < 0 ? errno : ENOSPC);
                break;
            }
            done += static_cast<std::size_t>(put);
        }
        written = done == bytes.size();
        if (fd.Close() != 0 && written) {
            reason = SystemErrorText(errno);
            written = false;
        }
    }
    if (written && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
    if (written) reason = SystemErrorText(errno);
    ::unlink(temporary.c_str());
    return false;
}

bool TouchFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = ::futimens(fd, nullptr) == 0;
    ::close(fd);
    return ok;
}

}  // namespace lomi
