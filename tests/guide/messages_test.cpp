// 困ったときは explains every message the program can show, and names no
// message the program does not have. The messages are collected from the
// source, so a new message fails this test until the guide explains it.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "message_collector.h"

namespace m = lomi::messages;

namespace {

std::vector<std::string> Texts(const std::vector<m::Message>& messages) {
    std::vector<std::string> texts;
    for (const m::Message& message : messages) texts.push_back(message.text);
    return texts;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(GuideMessages, CollectsTheTextsTheUserIsTold) {
    struct Case {
        const char* source;
        std::vector<std::string> messages;
    } cases[] = {
        {R"(Failure(f, "ファイル「" + f + "」を" + (ok ? "読めません" : "開けません") + "（" + r + "）。");)",
         {"ファイル「…」を読めません（…）。", "ファイル「…」を開けません（…）。"}},
        {R"(status->setText(QString::fromUtf8("%1 件を集計しました").arg(n));)",
         {"… 件を集計しました"}},
        {R"(err << "lomi-report: " << path << " が範囲外です。\n" << "lomi-report: out of range\n";)",
         {"lomi-report: … が範囲外です。"}},
        {R"(text += "中にメモリが足りなくなりました。"; // "コメントです。")",
         {"…中にメモリが足りなくなりました。"}},
        {"constexpr const char* kNotFound = \"FILE NOT FOUND.\";\nreturn \"パスが長すぎます（259 "
         "文字まで）\";",
         {"FILE NOT FOUND.", "パスが長すぎます（259 文字まで）"}},
        {R"(label->setToolTip(QString::fromUtf8("説明です。")); setWindowTitle("内訳"); add("全抽出");)",
         {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Texts(m::CollectMessages(c.source, "x.cpp")), c.messages) << c.source;
    }
}

TEST(GuideMessages, MatchesRunTimePartsOnEitherSide) {
    EXPECT_TRUE(
        m::SameMessage("…中にエラーが起きました。", "全パターンの集計中にエラーが起きました。"));
    EXPECT_TRUE(
        m::SameMessage("ファイル「…」を開けません（…）。", "ファイル「…」を開けません（…）。"));
    EXPECT_TRUE(m::SameMessage("… 件を集計しました", "…件を集計しました"));
    EXPECT_FALSE(
        m::SameMessage("ファイル「…」を開けません（…）。", "ファイル「…」を読めません（…）。"));
    EXPECT_EQ(m::ExplainedMessages("## 見出し\n### FILE NOT FOUND.\n```\n### 例\n```\n"
                                   "| 理由 | 意味 |\n|---|---|\n| メモリが足りません | … |\n"),
              (std::vector<std::string>{"FILE NOT FOUND.", "メモリが足りません"}));
}

// On failure the lists name exactly what to add to 困ったときは, or what to
// take out of it.
TEST(GuideMessages, TroubleshootingExplainsExactlyTheProgramsMessages) {
    const std::vector<m::Message> program = m::CollectMessagesUnder(LOMI_SOURCE_DIR "/src");
    const std::vector<std::string> guide =
        m::ExplainedMessages(ReadFile(LOMI_SOURCE_DIR "/docs/guide/troubleshooting.md"));
    ASSERT_GT(program.size(), 20u);
    std::string unexplained;
    for (const m::Message& message : program) {
        bool found = false;
        for (const std::string& text : guide) found = found || m::SameMessage(message.text, text);
        if (!found) unexplained += "\n  " + message.text + "    (" + message.where + ")";
    }
    std::string unknown;
    for (const std::string& text : guide) {
        bool found = false;
        for (const m::Message& message : program)
            found = found || m::SameMessage(message.text, text);
        if (!found) unknown += "\n  " + text;
    }
    EXPECT_TRUE(unexplained.empty())
        << "messages of the program missing from docs/guide/troubleshooting.md:" << unexplained;
    EXPECT_TRUE(unknown.empty())
        << "messages in docs/guide/troubleshooting.md that the program does not have:" << unknown;
}
