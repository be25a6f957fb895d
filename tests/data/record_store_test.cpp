#include "data/record_store.h"

#include <gtest/gtest.h>

#include <string>

namespace lomi {
namespace {

std::string Text(int i) {
    // Lengths from 0 to 120, so records end at every position of a block.
    return std::string(static_cast<std::size_t>(i % 121), static_cast<char>('A' + i % 26)) +
           std::to_string(i);
}

TEST(RecordStore, KeepsEveryRecordAcrossBlocks) {
    RecordStore store;
    constexpr int kCount = 40000;  // several megabytes: many blocks
    for (int i = 0; i < kCount; ++i) store.Append(Text(i));
    store.ShrinkToFit();
    ASSERT_EQ(store.Size(), static_cast<std::size_t>(kCount));
    for (int i = 0; i < kCount; ++i) ASSERT_EQ(store[static_cast<std::size_t>(i)], Text(i)) << i;

    // A copy reads the same and can grow on its own.
    RecordStore copy = store;
    copy.Append("more");
    EXPECT_EQ(copy[kCount], "more");
    EXPECT_EQ(copy[kCount - 1], Text(kCount - 1));
    EXPECT_EQ(store.Size(), static_cast<std::size_t>(kCount));

    store.Clear();
    EXPECT_TRUE(store.Empty());
    store.Append("");
    store.Append("x");
    EXPECT_EQ(store[0], "");
    EXPECT_EQ(store[1], "x");
}

TEST(RecordStore, MemoryStaysNearTheTextSize) {
    RecordStore store;
    const std::string record(38, '0');
    for (int i = 0; i < 100000; ++i) store.Append(record);
    store.ShrinkToFit();
    EXPECT_LE(store.CapacityBytes(), 100000u * 50);
}

}  // namespace
}  // namespace lomi
