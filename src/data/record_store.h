#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lomi {

// The record strings of a load, kept back to back in large blocks so that a
// million records cost a few allocations and about 46 bytes each instead of
// a heap string apiece, and growing never copies the text already stored.
// Each record is UTF-8 text; index i is the i-th data line read.
class RecordStore {
public:
    void Append(std::string_view record);
    void Clear();
    // Room for this many records in the index (the text grows by blocks).
    void Reserve(std::size_t records);
    // Gives back what growing left unused, once the last record is in.
    void ShrinkToFit();

    std::size_t Size() const { return index_.size(); }
    bool Empty() const { return index_.empty(); }
    std::string_view operator[](std::size_t i) const {
        const std::uint64_t entry = index_[i];
        return std::string_view(blocks_[entry >> kBlockShift])
            .substr(static_cast<std::size_t>(entry >> kLengthBits & kOffsetMask),
                    static_cast<std::size_t>(entry & kLengthMask));
    }

    // Bytes held, for memory figures.
    std::size_t CapacityBytes() const;

private:
    // An index entry packs block number, offset in the block and length.
    static constexpr int kLengthBits = 16;
    static constexpr int kOffsetBits = 22;  // blocks stay below 4 MiB
    static constexpr int kBlockShift = kLengthBits + kOffsetBits;
    static constexpr std::uint64_t kLengthMask = (std::uint64_t{1} << kLengthBits) - 1;
    static constexpr std::uint64_t kOffsetMask = (std::uint64_t{1} << kOffsetBits) - 1;

    std::vector<std::string> blocks_;
    std::size_t blockLimit_ = 0;  // size the last block is filled to
    std::vector<std::uint64_t> index_;
};

}  // namespace lomi
