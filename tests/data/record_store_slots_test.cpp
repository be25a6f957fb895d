// The record store's slots: records of 38 bytes in place, any other
// elsewhere, and the usual form noted for each record.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "data/plain_record.h"
#include "data/record_store.h"

namespace lomi {
namespace {

// The record of the worked example: conditions, payouts, slots, date.
const std::string kUsual = std::string("01111656118") + "  32  14  158   52" + "3" + "20010506";

TEST(PlainRecord, OnlyTheUsualFormIsPlain) {
    ASSERT_EQ(kUsual.size(), 38u);
    EXPECT_TRUE(IsPlainRecord(kUsual));
    EXPECT_TRUE(IsPlainRecord("05111646116" + std::string(18, '0') + "0" + "20010415"));
    // Nothing but the payout fields and the slot count is looked at.
    EXPECT_TRUE(IsPlainRecord("ABCDEFGHIJK" + std::string(18, '9') + "6" + "abcdefgh"));

    const auto with = [](std::size_t at, std::string_view text) {
        std::string record = kUsual;
        record.replace(at, text.size(), text);
        return record;
    };
    EXPECT_FALSE(IsPlainRecord(with(11, "----")));   // dashed 単勝
    EXPECT_FALSE(IsPlainRecord(with(24, "-----")));  // dashed ﾜｲﾄﾞ
    EXPECT_FALSE(IsPlainRecord(with(11, "3 2 ")));   // a blank after a digit
    EXPECT_FALSE(IsPlainRecord(with(19, "1   2")));
    EXPECT_FALSE(IsPlainRecord(with(15, "\t 14")));  // a tab is no blank here
    EXPECT_FALSE(IsPlainRecord(with(11, " .5 ")));
    EXPECT_FALSE(IsPlainRecord(with(29, "x")));  // the slot count is no digit
    EXPECT_FALSE(IsPlainRecord(kUsual.substr(0, 37)));
    EXPECT_FALSE(IsPlainRecord(kUsual + "0"));
    EXPECT_FALSE(IsPlainRecord(""));
    // A wide character anywhere, even where nothing is read as a number.
    EXPECT_FALSE(IsPlainRecord(with(35, "年")));
    EXPECT_FALSE(IsPlainRecord(with(0, "\xFF")));
    // The last digit of one field may stand before the blanks of the next.
    EXPECT_TRUE(IsPlainRecord(with(11, "   1   2    3    4")));
}

// Records of every length and kind, the 38-byte ones now and then not ASCII
// or starting with a byte that no UTF-8 text starts with.
std::vector<std::string> MixedRecords(std::size_t count) {
    std::mt19937 random(38);
    std::vector<std::string> records;
    for (std::size_t i = 0; i < count; ++i) {
        std::string record = kUsual;
        switch (random() % 8) {
            case 0:
                record = std::string(random() % 80, static_cast<char>('A' + i % 26));
                break;
            case 1:
                record.replace(11, 4, "----");
                break;
            case 2:
                record.replace(30, 3, "年");  // still 38 bytes
                break;
            case 3:
                record[0] = '\xFF';
                break;
            default:
                record.replace(0, 6, std::to_string(100000 + i % 900000));
                break;
        }
        records.push_back(record);
    }
    return records;
}

TEST(RecordStoreSlots, EveryRecordReadsBackInOrderWithItsForm) {
    // More than two blocks of slots, so that records end and begin in every
    // place and words of usual records run across block ends.
    const std::vector<std::string> records = MixedRecords(40000);
    RecordStore store;
    for (const std::string& record : records) store.Append(record);
    store.ShrinkToFit();
    ASSERT_EQ(store.Size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        ASSERT_EQ(store[i], records[i]) << i;
        ASSERT_EQ(store.IsPlain(i), IsPlainRecord(records[i])) << i;
    }
    std::size_t i = 0;
    store.ForEach([&](std::string_view record, bool plain) {
        ASSERT_LT(i, records.size());
        EXPECT_EQ(record, records[i]) << i;
        EXPECT_EQ(plain, IsPlainRecord(records[i])) << i;
        ++i;
    });
    EXPECT_EQ(i, records.size());
}

TEST(RecordStoreSlots, UsualRecordsTakeTheirSlotsOnly) {
    RecordStore store;
    for (int i = 0; i < 100000; ++i) store.Append(kUsual);
    store.ShrinkToFit();
    std::size_t plain = 0;
    store.ForEach(
        [&](std::string_view record, bool isPlain) { plain += isPlain && record == kUsual; });
    EXPECT_EQ(plain, 100000u);
    EXPECT_LE(store.CapacityBytes(), 100000u * 39);
}

TEST(RecordStoreSlots, CopiesAndClearsKeepRecordsApart) {
    const std::vector<std::string> records = MixedRecords(20000);
    RecordStore store;
    for (const std::string& record : records) store.Append(record);
    RecordStore copy = store;
    copy.Append("tail");
    store.Clear();
    EXPECT_TRUE(store.Empty());
    store.Append(kUsual);
    ASSERT_EQ(copy.Size(), records.size() + 1);
    for (std::size_t i = 0; i < records.size(); ++i) ASSERT_EQ(copy[i], records[i]) << i;
    EXPECT_EQ(copy[records.size()], "tail");
    EXPECT_FALSE(copy.IsPlain(records.size()));
    ASSERT_EQ(store.Size(), 1u);
    EXPECT_EQ(store[0], kUsual);
    EXPECT_TRUE(store.IsPlain(0));
}

}  // namespace
}  // namespace lomi
