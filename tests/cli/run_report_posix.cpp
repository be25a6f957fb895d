#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli/run_report.h"
#include "support/temp_folder.h"

extern char** environ;

namespace lomi::test {

ReportRun RunReport(const std::vector<std::string>& arguments,
                    const std::filesystem::path& workingFolder,
                    const std::filesystem::path& program) {
    // Output goes to files in a temporary folder: no pipe can fill up and
    // block the child, and both streams are kept apart.
    const TempFolder capture;
    const std::string outFile = (capture / "out").string();
    const std::string errFile = (capture / "err").string();
    const std::string path = (program.empty() ? ReportProgram() : program).string();

    std::vector<std::string> argv = {path};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv) pointers.push_back(argument.data());
    pointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    // The child gets standard input and the two files, nothing else of ours.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    // Run in workingFolder by changing ours around the spawn: tests run one
    // at a time, and posix_spawn_file_actions_addchdir_np is not everywhere.
    const std::filesystem::path previous = std::filesystem::current_path();
    if (!workingFolder.empty()) std::filesystem::current_path(workingFolder);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, path.c_str(), &actions, nullptr, pointers.data(), environ);
    if (!workingFolder.empty()) std::filesystem::current_path(previous);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + path);

    int status = 0;
    waitpid(child, &status, 0);
    ReportRun run;
    run.out = ReadBytes(capture / "out");
    run.err = ReadBytes(capture / "err");
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace lomi::test
