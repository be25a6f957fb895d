#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace lomi::messages {

// A text the program shows the user, as written in the source: the parts
// that are computed at run time ("ファイル「…」を開けません（…）。") are "…".
struct Message {
    std::string text;
    std::string where;  // file:line of its first literal
};

// The messages of one C++ source text: every expression built from string
// literals (joined by +, << or .arg) that reads as a sentence the user is
// told ("…ません", "…ました", "…。", "FILE NOT FOUND."). A conditional
// (a ? "x" : "y") gives one message per branch. Tool tips and help texts
// are not messages.
std::vector<Message> CollectMessages(const std::string& source, const std::string& file);

// The messages of every .cpp and .h under folder, each text once.
std::vector<Message> CollectMessagesUnder(const std::filesystem::path& folder);

// The messages a guide page explains: each level-3 heading, and the first
// cell of each row of a table whose first column is headed 理由.
std::vector<std::string> ExplainedMessages(const std::string& markdown);

// Whether a message of the program and one of the guide name the same text,
// "…" standing for any text on either side; blanks do not count.
bool SameMessage(const std::string& program, const std::string& guide);

}  // namespace lomi::messages
