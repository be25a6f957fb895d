#include <gtest/gtest.h>

#include "analysis/csv.h"

namespace lomi {
namespace {

TEST(Csv, FieldsAreQuotedOnlyWhenTheyMustBe) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"東京", "東京"},         {"", ""},
        {"1,200", "\"1,200\""},   {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"a\r\nb", "\"a\r\nb\""}, {"line\n", "\"line\n\""},
        {" 800m", "\" 800m\""},   {"-7160", "-7160"},
    };
    for (const auto& c : cases) EXPECT_EQ(CsvField(c.text), c.field) << c.text;
    EXPECT_EQ(CsvRow({"ﾊﾟﾀｰﾝ", "a,b", ""}), "ﾊﾟﾀｰﾝ,\"a,b\",\r\n");
}

}  // namespace
}  // namespace lomi
