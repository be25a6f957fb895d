#include "data/record_store.h"

#include <algorithm>

#include "data/plain_record.h"

namespace lomi {

void RecordStore::Append(std::string_view record) {
    if (blocks_.empty() || blocks_.back().size() == kSlotsPerBlock * kSlotBytes) {
        blocks_.emplace_back();
        // A store that already filled a block is a large one: its next
        // blocks are taken whole, so they never move while they fill.
        if (blocks_.size() > 1) blocks_.back().reserve(kSlotsPerBlock * kSlotBytes);
    }
    std::string& block = blocks_.back();
    if (size_ % 64 == 0) plain_.push_back(0);
    if (IsPlainRecord(record)) plain_.back() |= std::uint64_t{1} << (size_ % 64);
    if (record.size() == kSlotBytes && record[0] != kElsewhere) {
        block.append(record);
    } else {
        const std::uint64_t offset = other_.size();
        const std::uint64_t length = record.size();
        other_.append(record);
        char slot[kSlotBytes] = {kElsewhere};
        std::memcpy(slot + 1, &offset, sizeof offset);
        std::memcpy(slot + 1 + sizeof offset, &length, sizeof length);
        block.append(slot, kSlotBytes);
    }
    ++size_;
}

void RecordStore::Clear() {
    blocks_.clear();
    other_.clear();
    plain_.clear();
    size_ = 0;
}

void RecordStore::Reserve(std::size_t records) {
    const std::size_t wanted = size_ + records;
    blocks_.reserve((wanted + kSlotsPerBlock - 1) / kSlotsPerBlock);
    plain_.reserve((wanted + 63) / 64);
    if (blocks_.empty()) blocks_.emplace_back();
    if (blocks_.size() == 1) {
        blocks_.back().reserve(std::min(wanted, kSlotsPerBlock) * kSlotBytes);
    }
}

void RecordStore::ShrinkToFit() {
    if (!blocks_.empty()) blocks_.back().shrink_to_fit();
    blocks_.shrink_to_fit();
    other_.shrink_to_fit();
    plain_.shrink_to_fit();
}

std::size_t RecordStore::CapacityBytes() const {
    std::size_t bytes = blocks_.capacity() * sizeof(std::string) + other_.capacity() +
                        plain_.capacity() * sizeof(std::uint64_t);
    for (const std::string& block : blocks_) bytes += block.capacity();
    return bytes;
}

}  // namespace lomi
