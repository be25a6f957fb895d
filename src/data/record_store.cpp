#include "data/record_store.h"

#include <algorithm>

namespace lomi {
namespace {

// Blocks start small, so a small load stays small, and double up to
// 256 KiB, so that the unused end of the last block stays small too.
constexpr std::size_t kFirstBlockBytes = 16 * 1024;
constexpr std::size_t kLargestBlockBytes = 256 * 1024;

}  // namespace

void RecordStore::Append(std::string_view record) {
    // A record longer than the length field (far beyond any ticket line's)
    // is cut rather than corrupting its neighbours.
    record = record.substr(0, std::min<std::size_t>(record.size(), kLengthMask));
    if (blocks_.empty() || blocks_.back().size() + record.size() > blockLimit_) {
        blockLimit_ = std::clamp(blockLimit_ * 2, kFirstBlockBytes, kLargestBlockBytes);
        blocks_.emplace_back();
        blocks_.back().reserve(blockLimit_);
    }
    std::string& block = blocks_.back();
    const std::uint64_t entry = static_cast<std::uint64_t>(blocks_.size() - 1) << kBlockShift |
                                static_cast<std::uint64_t>(block.size()) << kLengthBits |
                                record.size();
    block.append(record);
    index_.push_back(entry);
}

void RecordStore::Clear() {
    blocks_.clear();
    blockLimit_ = 0;
    index_.clear();
}

void RecordStore::Reserve(std::size_t records) { index_.reserve(records); }

void RecordStore::ShrinkToFit() {
    index_.shrink_to_fit();
    if (!blocks_.empty()) blocks_.back().shrink_to_fit();
}

std::size_t RecordStore::CapacityBytes() const {
    std::size_t bytes = index_.capacity() * sizeof(std::uint64_t);
    for (const std::string& block : blocks_) bytes += block.capacity();
    return bytes;
}

}  // namespace lomi
