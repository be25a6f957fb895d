#include "child_process.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#ifdef _WIN32

namespace lomi::test {

// Windows refuses a read-only file to every user, administrators too, and
// has no fork: the work runs in this process.
std::string RunAsUnprivilegedChild(const std::function<std::string()>& work) { return work(); }

void OpenFolderToEveryone(const std::string&) {}

}  // namespace lomi::test

#else

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lomi::test {
namespace {

constexpr uid_t kNobody = 65534;

void WriteAll(int fd, const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written <= 0) return;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

}  // namespace

std::string RunAsUnprivilegedChild(const std::function<std::string()>& work) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) _exit(3);
        WriteAll(pipeFds[1], work());
        ::close(pipeFds[1]);
        _exit(0);
    }
    ::close(pipeFds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return text;
}

void OpenFolderToEveryone(const std::string& folder) {
    std::filesystem::permissions(folder, std::filesystem::perms::all);
}

}  // namespace lomi::test

#endif
