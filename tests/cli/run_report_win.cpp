#include <windows.h>

#include <stdexcept>

#include "cli/run_report.h"
#include "data/wide_text.h"
#include "support/temp_folder.h"

namespace lomi::test {
namespace {

// One argument quoted as CommandLineToArgvW splits it back: backslashes
// are literal except before a quote, where they are doubled.
std::wstring Quoted(const std::wstring& argument) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

HANDLE OutputFile(const std::filesystem::path& file) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ReportRun RunReport(const std::vector<std::string>& arguments,
                    const std::filesystem::path& workingFolder,
                    const std::filesystem::path& program) {
    const TempFolder capture;
    const std::filesystem::path path = program.empty() ? ReportProgram() : program;
    std::wstring commandLine = Quoted(path.wstring());
    for (const std::string& argument : arguments)
        commandLine += L" " + Quoted(Utf8ToWide(argument));

    HANDLE out = OutputFile(capture / "out");
    HANDLE err = OutputFile(capture / "err");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const std::wstring folder = workingFolder.wstring();
    const BOOL started =
        CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &process);
    CloseHandle(out);
    CloseHandle(err);
    if (!started) throw std::runtime_error("cannot start " + path.string());

    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    ReportRun run;
    run.out = ReadBytes(capture / "out");
    run.err = ReadBytes(capture / "err");
    run.exitCode = static_cast<int>(exitCode);
    return run;
}

}  // namespace lomi::test
