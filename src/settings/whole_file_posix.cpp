#include "settings/whole_file.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/file_descriptor_posix.h"
#include "data/system_error_text_posix.h"

namespace lomi {
namespace {

// The file a write really replaces: the target of a symbolic link, so the
// link itself survives.
std::string ResolveTarget(const std::string& path) {
    std::error_code error;
    const std::filesystem::path name(path);
    if (!std::filesystem::is_symlink(name, error)) return path;
    const auto target = std::filesystem::weakly_canonical(name, error);
    return error ? path : target.string();
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Creates a new file beside target that no one else uses, or returns -1.
int CreateTemporary(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Makes the rename itself durable; a failure here loses nothing already
// written, so it is not reported.
void SyncFolder(const std::string& target) {
    auto folder = std::filesystem::path(target).parent_path();
    if (folder.empty()) folder = ".";
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() >= 0) ::fsync(fd.Get());
}

// Waits for the lock; a signal does not end the wait.
void Lock(int fd, int operation) {
    while (::flock(fd, operation) != 0 && errno == EINTR) {
    }
}

bool WriteAllAt(int fd, std::string_view bytes) {
    off_t offset = 0;
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

// Puts the old content back after a failed overwrite; the first failure is
// the one reported.
void PutBack(int fd, std::string_view old) {
    if (WriteAllAt(fd, old) && ::ftruncate(fd, static_cast<off_t>(old.size())) == 0) ::fsync(fd);
}

// Overwrites target in place, for a writable file in a folder where no new
// file can be made, as the system's own profile functions do. Room for the
// whole new content is taken first, so a full disk fails before anything
// changes; the content is written from the start and only then is the file
// cut to its length. A write that fails part way puts the old content back.
// An exclusive lock keeps two programs from writing it at once.
FileWriteResult OverwriteInPlace(const std::string& target, std::string_view bytes) {
    FileDescriptor fd(::open(target.c_str(), O_RDWR | O_CLOEXEC));
    if (fd.Get() < 0) return {false, SystemErrorText(errno)};
    Lock(fd.Get(), LOCK_EX);

    std::string old;
    char buffer[65536];
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(fd.Get(), buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return {false, SystemErrorText(errno)};
        if (got == 0) break;
        old.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
    if (bytes.size() > old.size()) {
        const int error = ::posix_fallocate(fd.Get(), 0, static_cast<off_t>(bytes.size()));
        if (error != 0) {
            PutBack(fd.Get(), old);
            return {false, SystemErrorText(error)};
        }
    }
    if (!WriteAllAt(fd.Get(), bytes) ||
        ::ftruncate(fd.Get(), static_cast<off_t>(bytes.size())) != 0 || ::fsync(fd.Get()) != 0) {
        const int error = errno;
        PutBack(fd.Get(), old);
        return {false, SystemErrorText(error)};
    }
    return {};
}

}  // namespace

FileReadResult ReadWholeFile(const std::string& path) {
    FileReadResult result;
    // O_NONBLOCK: a pipe or device in the file's place must not hang the
    // program; it is refused below.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        const int error = errno;
        result.status = (error == ENOENT || error == ENOTDIR) ? FileReadStatus::Missing
                                                              : FileReadStatus::Failed;
        result.error = SystemErrorText(error);
        return result;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) {
        result.status = FileReadStatus::Failed;
        result.error = SystemErrorText(errno);
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.status = FileReadStatus::Failed;
        result.error = SystemErrorText(EISDIR);  // a folder, pipe or device
        return result;
    }
    // Waits while a file is being overwritten in place.
    Lock(fd.Get(), LOCK_SH);
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            result.status = FileReadStatus::Failed;
            result.error = SystemErrorText(errno);
            result.bytes.clear();
            return result;
        }
        if (got == 0) break;
        result.bytes.append(buffer, static_cast<std::size_t>(got));
    }
    result.status = FileReadStatus::Read;
    return result;
}

FileWriteResult ReplaceWholeFile(const std::string& path, std::string_view bytes) {
    const std::string target = ResolveTarget(path);

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (!S_ISREG(old.st_mode)) return {false, SystemErrorText(EISDIR)};
        // rename would replace a read-only file; its owner meant it to stay.
        if (::access(target.c_str(), W_OK) != 0) return {false, SystemErrorText(errno)};
    }

    std::string temporary;
    FileDescriptor fd(CreateTemporary(target, temporary));
    if (fd.Get() < 0) {
        const int error = errno;
        if (exists && (error == EACCES || error == EPERM)) return OverwriteInPlace(target, bytes);
        // A new file that cannot be made for want of a name means its folder is missing.
        return {false, SystemErrorText(error == ENOENT ? ENOTDIR : error)};
    }

    const auto fail = [&](int error) {
        ::unlink(temporary.c_str());
        return FileWriteResult{false, SystemErrorText(error)};
    };
    if (exists) ::fchmod(fd.Get(), old.st_mode & 07777);
    if (!WriteAll(fd.Get(), bytes)) return fail(errno);
    if (::fsync(fd.Get()) != 0) return fail(errno);
    if (fd.Close() != 0) return fail(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0) return fail(errno);
    SyncFolder(target);
    return {};
}

}  // namespace lomi
