#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lomi {

// The record strings of a load, kept back to back in one buffer so that a
// million records cost one allocation and a few bytes each instead of a heap
// string apiece. Each record is UTF-8 text; index i is the i-th data line read.
class RecordStore {
public:
    void Append(std::string_view record);
    void Clear();
    void Reserve(std::size_t records, std::size_t bytes);
    // Gives back the room that growing left unused.
    void ShrinkToFit();

    std::size_t Size() const { return ends_.size(); }
    bool Empty() const { return ends_.empty(); }
    std::string_view operator[](std::size_t i) const;

    // Bytes held, for memory figures.
    std::size_t CapacityBytes() const;

private:
    std::string text_;
    std::vector<std::size_t> ends_;
};

}  // namespace lomi
