#include "data/record_store.h"

namespace lomi {

void RecordStore::Append(std::string_view record) {
    text_.append(record);
    ends_.push_back(text_.size());
}

void RecordStore::Clear() {
    text_.clear();
    ends_.clear();
}

void RecordStore::Reserve(std::size_t records, std::size_t bytes) {
    ends_.reserve(records);
    text_.reserve(bytes);
}

void RecordStore::ShrinkToFit() {
    // Copying costs time; only worth it when an eighth or more is unused.
    if (text_.capacity() - text_.size() > text_.size() / 8) text_.shrink_to_fit();
    if (ends_.capacity() - ends_.size() > ends_.size() / 8) ends_.shrink_to_fit();
}

std::string_view RecordStore::operator[](std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(text_).substr(begin, ends_[i] - begin);
}

std::size_t RecordStore::CapacityBytes() const {
    return text_.capacity() + ends_.capacity() * sizeof(std::size_t);
}

}  // namespace lomi
