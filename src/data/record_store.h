#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "data/record_layout.h"

namespace lomi {

// The record strings of a load. Nearly every record is 38 bytes long (38
// ASCII characters), so records sit in slots of 38 bytes, back to back in
// large blocks: a million records cost 38 bytes each and a few
// allocations, and record i is found by arithmetic. A record of any other
// length keeps its text in a second buffer, and its slot says where.
// Records are UTF-8 text; index i is the i-th data line read.
class RecordStore {
public:
    static constexpr std::size_t kSlotBytes = record::kChars;

    void Append(std::string_view record);
    void Clear();
    // Room for this many records, so that growing copies nothing.
    void Reserve(std::size_t records);
    // Gives back what growing left unused, once the last record is in.
    void ShrinkToFit();

    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    std::string_view operator[](std::size_t i) const {
        return Text(blocks_[i >> kSlotShift].data() + (i & kSlotMask) * kSlotBytes);
    }

    // Whether record i has the usual form (IsPlainRecord).
    bool IsPlain(std::size_t i) const { return (plain_[i >> 6] >> (i & 63) & 1) != 0; }

    // Calls f(record, IsPlain) for every record in order; for passes over
    // all of them, without the arithmetic of indexing.
    template <typename F>
    void ForEach(F&& f) const {
        constexpr std::size_t kRun = 64;  // records of one word of plain_
        std::size_t i = 0;
        for (const std::string& block : blocks_) {
            const char* slot = block.data();
            const char* const end = slot + block.size();
            while (slot != end) {
                // A plain record is 38 bytes and lies in its slot. Whole words
                // of plain records, the usual case, skip testing each bit.
                if (i % kRun == 0 && plain_[i / kRun] == ~std::uint64_t{0} &&
                    static_cast<std::size_t>(end - slot) >= kRun * kSlotBytes) {
                    for (const char* const runEnd = slot + kRun * kSlotBytes; slot != runEnd;
                         slot += kSlotBytes) {
                        f(std::string_view(slot, kSlotBytes), true);
                    }
                    i += kRun;
                    continue;
                }
                const bool plain = (plain_[i / kRun] >> (i % kRun) & 1) != 0;
                f(plain ? std::string_view(slot, kSlotBytes) : Text(slot), plain);
                slot += kSlotBytes;
                ++i;
            }
        }
    }

    // Bytes held, for memory figures.
    std::size_t CapacityBytes() const;

private:
    static constexpr int kSlotShift = 14;  // 16384 slots, 608 KiB a block
    static constexpr std::size_t kSlotsPerBlock = std::size_t{1} << kSlotShift;
    static constexpr std::size_t kSlotMask = kSlotsPerBlock - 1;
    // First byte of a slot whose record lies in other_; never the first
    // byte of a stored 38-byte record (such a record goes to other_ too).
    static constexpr char kElsewhere = '\xFF';

    std::string_view Text(const char* slot) const {
        if (slot[0] != kElsewhere) return std::string_view(slot, kSlotBytes);
        std::uint64_t offset;
        std::uint64_t length;
        std::memcpy(&offset, slot + 1, sizeof offset);
        std::memcpy(&length, slot + 1 + sizeof offset, sizeof length);
        return std::string_view(other_.data() + offset, static_cast<std::size_t>(length));
    }

    std::vector<std::string> blocks_;   // each full but the last
    std::string other_;                 // texts of records of other lengths
    std::vector<std::uint64_t> plain_;  // bit i: record i has the usual form
    std::size_t size_ = 0;
};

}  // namespace lomi
