#include "data/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "data/file_descriptor_posix.h"
#include "data/file_stamp_posix.h"
#include "data/system_error_text_posix.h"

namespace lomi {
namespace {

std::string Reason(int error) {
    // A folder of the path that is not there is a file that is not found.
    return SystemErrorText(error == ENOTDIR ? ENOENT : error);
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& buffer, bool& opened, std::string& reason,
                   FileStamp* stamp) {
    opened = false;
    // O_NONBLOCK: a pipe put where a file was listed must not stop the load.
    FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        reason = Reason(errno);
        return false;
    }
    struct stat info {};
    if (fstat(fd.Get(), &info) != 0) {
        reason = Reason(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        reason = "ファイルではありません";
        return false;
    }
    opened = true;
    if (stamp) *stamp = StampOf(info);
    // The size is a hint: a file that changes while it is read is read to its end.
    buffer.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t size = 0;
    for (;;) {
        if (size == buffer.size()) buffer.resize(buffer.size() * 2);
        // pread: the descriptor's own position is never used, so threads of
        // one process reading files side by side take no lock for it.
        const ssize_t got =
            pread(fd.Get(), buffer.data() + size, buffer.size() - size, static_cast<off_t>(size));
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            reason = Reason(errno);
            return false;
        }
        size += static_cast<std::size_t>(got);
    }
    buffer.resize(size);
    return true;
}

}  // namespace lomi
