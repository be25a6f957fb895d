// Grouping a folder's file names by the pattern whose mask they fit.

#include <gtest/gtest.h>

#include "analysis/pattern_listing.h"
#include "support/temp_folder.h"
#include "support/ticket_files.h"

namespace lomi {
namespace {

std::string Describe(const std::vector<PatternFiles>& patterns) {
    std::string text;
    for (const PatternFiles& p : patterns) {
        text += p.code + ":";
        for (const std::string& file : p.files) text += file + ",";
        text += ";";
    }
    return text;
}

TEST(GroupByPattern, NamesFallToTheirPatternsInReadingOrder) {
    const struct {
        std::vector<std::string> names;
        std::string groups;
    } cases[] = {
        {{}, ""},
        // The mask leaves the letters between "P" and the code open.
        {{"P20010604Q1RN.txt", "p20010603q1rn.TXT", "Ptq1rn.txt", "P20010604T5PB.txt"},
         "Q1RN:p20010603q1rn.TXT,P20010604Q1RN.txt,Ptq1rn.txt,;T5PB:P20010604T5PB.txt,;"},
        // An unknown index, another first letter, no extension.
        {{"P20010604X1RN.txt", "Q20010604Q1RN.txt", "P20010604Q1RN", "README.txt"}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Describe(GroupByPattern(c.names)), c.groups);
}

TEST(ListPatternFiles, ListsAFolderAsGroupingItsNamesDoes) {
    const test::TempFolder folder;
    for (const char* name :
         {"P20010604Q1RN.txt", "P20010603Q1RN.txt", "P20010604W1PB.txt", "README.txt"})
        test::WriteBytes(folder / name, "");
    std::string reason;
    auto listed = ListPatternFiles(folder.PathText(), {}, {}, reason);
    ASSERT_TRUE(listed);
    for (PatternFiles& p : *listed) SortInReadingOrder(p.files);
    EXPECT_EQ(Describe(*listed),
              "Q1RN:P20010603Q1RN.txt,P20010604Q1RN.txt,;W1PB:P20010604W1PB.txt,;");
    EXPECT_FALSE(ListPatternFiles((folder / "missing").string(), {}, {}, reason));
    EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace lomi
