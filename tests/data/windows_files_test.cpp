// The Windows file system's own ways: hidden and system attributes instead
// of leading dots, files locked by another program, and attributes a
// settings save must keep. Only on Windows (and Wine).
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "analysis/pattern_analysis.h"
#include "data/program_state.h"
#include "data/ticket_reader.h"
#include "settings/settings.h"
#include "support/temp_folder.h"
#include "support/ticket_files.h"

namespace lomi {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kLines = {test::HeaderLine(2001, 5, 6),
                                         test::DataLine("札幌1R", {}, test::RaceData({}))};

TEST(WindowsFiles, HiddenAndSystemFilesAreNoTicketFiles) {
    const test::TempFolder folder;
    for (const char* name :
         {"P20010506Q1RN.txt", "P_hidden_Q1RN.txt", "P_system_Q1RN.txt", ".P_dot_Q1RN.txt"}) {
        test::WriteTicketFile(folder.Path(), name, kLines);
    }
    SetFileAttributesW((folder / "P_hidden_Q1RN.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((folder / "P_system_Q1RN.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    const auto names = ListPatternFiles(folder.PathText(), "*Q1RN.txt");
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(*names, std::vector<std::string>{"P20010506Q1RN.txt"});
}

TEST(WindowsFiles, FileLockedByAnotherProgramIsNamedAndTheDataKept) {
    const test::TempFolder folder;
    test::WriteTicketFile(folder.Path(), "P20010506Q1RN.txt", kLines);
    ProgramState state;
    state.DataFolder = folder.PathText();
    state.PatternFileMask = "P*Q1RN.txt";
    ASSERT_TRUE(CommitLoad(state, LoadPattern(state.DataFolder, state.PatternFileMask)));
    const std::int32_t before = state.RecordCount();

    const fs::path locked = test::WriteTicketFile(folder.Path(), "P20010507Q1RN.txt", kLines);
    HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const PatternLoad result = LoadPattern(state.DataFolder, state.PatternFileMask);
    CloseHandle(holder);
    EXPECT_EQ(result.status, LoadStatus::Failed);
    EXPECT_NE(result.message.find("P20010507Q1RN.txt"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("ほかのプログラムが使用中です"), std::string::npos)
        << result.message;
    EXPECT_EQ(state.RecordCount(), before);
}

TEST(WindowsFiles, SettingsSaveKeepsTheFilesAttributes) {
    const test::TempFolder folder;
    const fs::path file = folder / "Lomi.ini";
    test::WriteBytes(file, "[DEF]\r\nPATH=C:\\old\r\n");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    ProgramState state;
    state.DataFolder = "D:\\競馬データ";
    ASSERT_TRUE(SaveSettings(state, file.string()).ok);
    EXPECT_NE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    ProgramState read;
    LoadSettings(read, file.string(), "C:\\");
    EXPECT_EQ(read.DataFolder, "D:\\競馬データ");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

ProgramState SavedState(bool second) {
    ProgramState state;
    state.DataFolder = second ? "D:\\" + std::string(200, 'b') : "C:\\競馬\\データ";
    state.Pattern.axisIndex = second ? -1 : 7, state.Pattern.axisRank = second ? 32767 : 1;
    state.Pattern.partnerIndex = second ? -32768 : 3, state.Pattern.betStyle = second ? 2 : 1;
    return state;
}

// The child of the next test: saves two settings in turn until it is ended.
TEST(WindowsFiles, SaveLoopOfTheCrashTest) {
    const char* path = std::getenv("LOMI_SAVE_LOOP");
    if (path == nullptr) GTEST_SKIP() << "started by KilledSaveLeavesOldOrNewFile";
    for (int i = 0;; ++i) SaveSettings(SavedState(i % 2 != 0), path);
}

// A save ended at any moment (TerminateProcess, as a crash or the task
// manager ends it) leaves a file that is either the old or the new one.
TEST(WindowsFiles, KilledSaveLeavesOldOrNewFile) {
    const test::TempFolder folder;
    const std::string path = (folder / "Lomi.ini").string();
    test::WriteBytes(path, "; mine\r\n[X]\r\nY=1\r\n");
    ASSERT_TRUE(SaveSettings(SavedState(false), path).ok);
    const std::string bytesA = test::ReadBytes(path);
    ASSERT_TRUE(SaveSettings(SavedState(true), path).ok);
    const std::string bytesB = test::ReadBytes(path);

    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::wstring command =
        L"\"" + std::wstring(self) + L"\" --gtest_filter=WindowsFiles.SaveLoopOfTheCrashTest";
    SetEnvironmentVariableW(L"LOMI_SAVE_LOOP",
                            folder.Path().wstring().append(L"\\Lomi.ini").c_str());
    std::mt19937 random(12345);
    for (int round = 0; round < 20; ++round) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child{};
        ASSERT_TRUE(CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                   nullptr, nullptr, &startup, &child));
        // Process start-up takes a while; the saves begin after it.
        Sleep(std::uniform_int_distribution<DWORD>(150, 600)(random));
        TerminateProcess(child.hProcess, 9);
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
        const std::string now = test::ReadBytes(path);
        ASSERT_TRUE(now == bytesA || now == bytesB) << "round " << round << ":\n" << now;
    }
    SetEnvironmentVariableW(L"LOMI_SAVE_LOOP", nullptr);
}

}  // namespace
}  // namespace lomi

#endif
