#include "cli/run_report.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <stdexcept>

#include "support/temp_folder.h"
#include "support/ticket_files.h"

extern char** environ;

namespace lomi::test {

std::filesystem::path ReportProgram() { return LOMI_REPORT_PATH; }

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

void WriteGoldenInput(const std::string& name, const std::filesystem::path& folder) {
    const auto input = std::filesystem::path(LOMI_GOLDEN_DIR) / name / "input";
    for (const auto& entry : std::filesystem::directory_iterator(input)) {
        WriteTicketFile(folder, entry.path().filename().string(), ReadLines(entry.path()));
    }
}

std::vector<std::string> ReadLines(const std::filesystem::path& file) {
    std::istringstream text(ReadBytes(file));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace lomi::test
