#include "data/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace lomi {
namespace {

std::string Reason(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "アクセスが拒否されました";
        case ENOENT:
            return "ファイルが見つかりません";
        case EISDIR:
            return "ファイルではありません";
        case ELOOP:
            return "シンボリックリンクが循環しています";
        case EIO:
            return "入出力エラーです";
        case EMFILE:
        case ENFILE:
            return "開いているファイルが多すぎます";
        case ENOMEM:
            return "メモリが足りません";
        default:
            return "エラー番号 " + std::to_string(error);
    }
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& buffer, bool& opened,
                   std::string& reason) {
    opened = false;
    // O_NONBLOCK: a pipe put where a file was listed must not stop the load.
    Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
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
