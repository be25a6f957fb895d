// What lomi-report writes and takes on every platform: arguments and folder
// names in Japanese, output in UTF-8 or code page 932, clear reasons for
// folders that cannot be read.
#include "cli/console_encoding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "cli/run_report.h"
#include "data/cp932.h"
#include "data/wide_text.h"
#include "support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace lomi {
namespace {

namespace fs = std::filesystem;

std::string ExampleReport() {
    return test::ReadBytes(fs::path(LOMI_GOLDEN_DIR) / "worked_example" / "report.txt");
}

TEST(EncodedOutput, WholeLinesInCodePage932AndTheRestAtTheEnd) {
    std::ostringstream target;
    std::ostringstream notices;
    {
        EncodedOutput encoded(target, OutputEncoding::Cp932, &notices);
        encoded.Stream() << "総ﾚｰｽ：" << 384 << "\n札";
        EXPECT_EQ(target.str(), EncodeCp932("総ﾚｰｽ：384\n"));  // never half a line
        encoded.Stream() << "幌😀";
    }
    EXPECT_EQ(target.str(), EncodeCp932("総ﾚｰｽ：384\n札幌?"));
    EXPECT_EQ(notices.str(), "lomi-report: code page 932 で表せない文字を ? にしました\n");

    std::ostringstream plain;
    {
        EncodedOutput encoded(plain, OutputEncoding::Utf8, &notices);
        encoded.Stream() << "札幌😀";
    }
    EXPECT_EQ(plain.str(), "札幌😀");
}

TEST(WideText, RoundTripsEveryPlaneAndReplacesBrokenText) {
    for (const std::string text : {"", "abc", "競馬データ", "ｱｲｳ①ⅰ", "𠮷野家😀"}) {
        EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
    }
    EXPECT_EQ(Utf8ToWide("😀").size(), sizeof(wchar_t) == 2 ? 2u : 1u);
    EXPECT_EQ(WideToUtf8(Utf8ToWide("a\xFF"
                                    "b")),
              "a\uFFFDb");
    if constexpr (sizeof(wchar_t) == 2) {
        EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800)) + L"x"), "\uFFFDx");
    }
}

TEST(ReportConsole, JapaneseFolderNamesAndCodePage932Output) {
    const test::TempFolder root;
    const fs::path data = root / "競馬データ";
    fs::create_directory(data);
    test::WriteGoldenInput("worked_example", data);
    const std::string folder = (root.PathText() + "/") + "競馬データ";

    const test::ReportRun utf8 = test::RunReport({"--folder", folder, "--pattern", "Q1RN"});
    ASSERT_EQ(utf8.exitCode, 0) << utf8.err;
    EXPECT_EQ(test::WithCrLf(utf8.out), ExampleReport());

    const test::ReportRun cp932 =
        test::RunReport({"--folder", folder, "--pattern", "Q1RN", "--encoding", "cp932"});
    ASSERT_EQ(cp932.exitCode, 0) << cp932.err;
    EXPECT_EQ(cp932.out, EncodeCp932(utf8.out));
    EXPECT_EQ(cp932.err, "");

    // A file name code page 932 cannot hold is written as '?', and said so.
    test::WriteBytes(data / fs::u8path("P😀Q1RN.txt"), "");
    const test::ReportRun json =
        test::RunReport({"--folder", folder, "--pattern", "Q1RN", "--json", "--encoding", "CP932"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_NE(json.out.find("\"P?Q1RN.txt\""), std::string::npos);
    EXPECT_EQ(json.err, EncodeCp932("lomi-report: code page 932 で表せない文字を ? にしました\n"));

    const test::ReportRun bad = test::RunReport({"--encoding", "latin1"});
    EXPECT_EQ(bad.exitCode, 2);
}

TEST(ReportConsole, FoldersThatCannotBeReadAreNamedWithTheReason) {
    const test::TempFolder root;
    test::WriteBytes(root / "file.txt", "");
    struct Case {
        std::string folder;
        std::string reason;
    };
    std::vector<Case> cases = {
        {(root / "missing").string(), "ﾌｫﾙﾀﾞが見つかりません"},
        {(root / "file.txt").string(), "ﾌｫﾙﾀﾞではありません"},
    };
#ifdef _WIN32
    // Paths of 260 characters or more, as Windows programs without long-path
    // support refuse them, and drive letters the machine does not have.
    cases.push_back(
        {root.PathText() + "\\" + std::string(260, 'a'), "パスが長すぎます（259 文字まで）"});
    for (char letter = 'Q'; letter <= 'Y'; ++letter) {
        if (GetLogicalDrives() & (1u << (letter - 'A'))) continue;
        const std::string drive = std::string(1, letter) + ":";
        cases.push_back({drive + "\\競馬データ", "ドライブ " + drive + " がありません"});
        break;
    }
#endif
    for (const Case& c : cases) {
        const test::ReportRun run = test::RunReport({"--folder", c.folder, "--pattern", "Q1RN"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, "FILE NOT FOUND.\nlomi-report: " + c.folder + ": " + c.reason + "\n");
    }
}

}  // namespace
}  // namespace lomi
