// The bytes of saved results: the report in CR LF and either encoding, the
// breakdown as CSV with a byte order mark.

#include <gtest/gtest.h>

#include "analysis/result_files.h"

namespace lomi {
namespace {

TEST(ReportFileBytes, LineEndsAndEncodings) {
    struct Case {
        const char* report;
        TextEncoding encoding;
        std::string bytes;
        bool representable;
    };
    const Case cases[] = {
        {"総ﾚｰｽ：6\r\n\r\n", TextEncoding::Utf8, "総ﾚｰｽ：6\r\n\r\n", true},
        {"a\nb\rc\r\n", TextEncoding::Utf8, "a\r\nb\r\nc\r\n", true},
        {"総ﾚｰｽ：6\n", TextEncoding::Cp932,
         "\x91\x8D\xDA\xB0\xBD\x81\x46"
         "6\r\n",
         true},
        {"ﾜｲﾄﾞ é\r\n", TextEncoding::Cp932, "\xDC\xB2\xC4\xDE ?\r\n", false},
        {"", TextEncoding::Cp932, "", true},
    };
    for (const Case& c : cases) {
        const ReportFile file = ReportFileBytes(c.report, c.encoding);
        EXPECT_EQ(file.bytes, c.bytes) << c.report;
        EXPECT_EQ(file.representable, c.representable) << c.report;
    }
}

TEST(BreakdownCsvFile, ByteOrderMarkHeaderAndQuotedLabels) {
    Breakdown breakdown;
    breakdown.axis = BreakdownAxis::Venue;
    BreakdownGroup odd;
    odd.key = "0,";
    odd.label = "0,";
    odd.recordCount = 1;
    breakdown.groups.push_back(odd);
    breakdown.recordCount = 1;
    const std::string file = BreakdownCsvFile(breakdown);
    EXPECT_EQ(file.rfind("\xEF\xBB\xBF開催,値,総ﾚｰｽ,抽出ﾚｰｽ,単勝投票,", 0), 0u);
    // No race counted: no rate, an empty field.
    EXPECT_NE(file.find("\r\n\"0,\",\"0,\",1,0,0,0,0,,,0,"), std::string::npos) << file;
    EXPECT_NE(file.find("\r\n合計,,1,0,"), std::string::npos) << file;
    EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
}

}  // namespace
}  // namespace lomi
