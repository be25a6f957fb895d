// Reading the lines of one ticket file into records and race dates.

#include <algorithm>
#include <cstring>
#include <limits>

#include "data/condition_lists.h"
#include "data/cp932.h"
#include "data/cp932_table.h"
#include "data/header_date.h"
#include "data/ticket_reader.h"

namespace lomi {
namespace {

constexpr std::size_t kNoBar = std::numeric_limits<std::size_t>::max();
// 0-based columns of the six slots, five characters each.
constexpr std::size_t kSlotStarts[] = {8, 14, 20, 26, 32, 38};
constexpr std::size_t kSlotWidth = 5;
// Columns a data line needs walked for its slots.
constexpr std::size_t kSlotColumns = 43;
// The race data: 29 characters, from the second column after the bar.
constexpr std::size_t kRaceDataOffset = 2;
constexpr std::size_t kRaceDataLength = 29;
constexpr std::string_view kProductName = "Kestrava";
constexpr std::u32string_view kProductName32 = U"Kestrava";

bool HasHighByte(const unsigned char* p, std::size_t size) {
    std::uint64_t any = 0;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        any |= word;
    }
    for (; i < size; ++i) any |= p[i];
    return (any & 0x8080808080808080ull) != 0;
}

// Fills columns with the byte offset of each character of the line, sets
// columnCount, and returns the 0-based column of the first bar. Stops once the columns a
// data line uses are known.
std::size_t WalkColumns(const Cp932Table& table, const unsigned char* p, std::size_t size,
                        std::vector<std::uint32_t>& columns, std::size_t& columnCount) {
    // A line has at most one column per byte; the buffer only ever grows.
    if (columns.size() < size) columns.resize(size);
    std::uint32_t* column = columns.data();
    std::size_t count = 0;
    std::size_t bar = kNoBar;
    std::size_t needed = size;
    for (std::size_t i = 0; i < size && count < needed;) {
        column[count++] = static_cast<std::uint32_t>(i);
        const unsigned char b = p[i];
        if (b < 0x80) {
            if (b == '|' && bar == kNoBar) {
                bar = count - 1;
                // Up to the column after the race data, whose offset ends it.
                needed = std::max(bar + kRaceDataOffset + kRaceDataLength + 1, kSlotColumns);
            }
            ++i;
        } else {
            i += table.CharLength(p + i, size - i);
        }
    }
    columnCount = count;
    return bar;
}

// A slot is blank only when all five of its characters exist and are
// half-width spaces; one that runs past the end of the line counts as filled.
int FilledSlots(const unsigned char* p, const std::uint32_t* columns, std::size_t count) {
    int filled = 0;
    for (std::size_t start : kSlotStarts) {
        bool blank = start + kSlotWidth <= count;
        for (std::size_t c = start; blank && c < start + kSlotWidth; ++c) {
            blank = p[columns[c]] == ' ';
        }
        if (!blank) ++filled;
    }
    return filled;
}

class LineReader {
public:
    LineReader(TicketReaderState& reader, LoadedData& data, std::string& message)
        : table_(GetCp932Table()), reader_(reader), data_(data), message_(message) {}

    bool Line(std::string_view line) {
        const auto* p = reinterpret_cast<const unsigned char*>(line.data());
        const std::size_t size = line.size();
        if (!HasHighByte(p, size)) {
            // One byte per character: columns are byte offsets.
            const void* bar = std::memchr(p, '|', size);
            if (bar == nullptr) return AsciiOtherLine(line);
            return DataLine(p, size, nullptr, size,
                            static_cast<std::size_t>(static_cast<const unsigned char*>(bar) - p));
        }
        std::vector<std::uint32_t>& columns = reader_.columns;
        std::size_t count = 0;
        const std::size_t bar = WalkColumns(table_, p, size, columns, count);
        if (bar == kNoBar) return OtherLine(line);
        return DataLine(p, size, columns.data(), count, bar);
    }

private:
    // columns == nullptr: the line is ASCII and column i is byte i.
    bool DataLine(const unsigned char* p, std::size_t size, const std::uint32_t* columns,
                  std::size_t count, std::size_t bar) {
        int filled;
        if (columns == nullptr) {
            std::uint32_t identity[kSlotColumns];
            for (std::size_t c = 0; c < kSlotColumns; ++c)
                identity[c] = static_cast<std::uint32_t>(c);
            filled = FilledSlots(p, identity, std::min(count, kSlotColumns));
        } else {
            filled = FilledSlots(p, columns, count);
        }
        const auto offset = [&](std::size_t column) -> std::size_t {
            if (column >= count) return size;
            return columns ? columns[column] : column;
        };
        const std::size_t first = offset(bar + kRaceDataOffset);
        const std::size_t end = offset(bar + kRaceDataOffset + kRaceDataLength);

        std::string& record = reader_.record;
        record.clear();
        AppendDecodedCp932(std::string_view(reinterpret_cast<const char*>(p) + first, end - first),
                           record);
        record.push_back(static_cast<char>('0' + filled));
        record += reader_.currentDate;

        if (!AddConditionValues(record, data_, reader_.index, message_)) return false;
        if (data_.Records.Size() >=
            static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
            message_ = "レコード数が 2147483647 を超えます";
            return false;
        }
        data_.Records.Append(record);
        return true;
    }

    bool AsciiOtherLine(std::string_view line) {
        if (line.find(kProductName) != std::string_view::npos) {
            reader_.currentDate = HeaderDate(line);
        }
        return true;
    }

    bool OtherLine(std::string_view line) {
        // The name's letters can also be trail bytes of double-byte
        // characters, so a byte match is confirmed on the decoded line.
        if (line.find(kProductName) == std::string_view::npos) return true;
        DecodeCp932(line, reader_.text);
        if (reader_.text.find(kProductName32) == std::u32string::npos) return true;
        // Encoded again, as the header's fields are byte positions of the
        // encoding: a bad byte, decoded to U+FFFD, comes back as one '?'.
        EncodeCp932(reader_.text, reader_.encoded);
        reader_.currentDate = HeaderDate(reader_.encoded);
        return true;
    }

    const Cp932Table& table_;
    TicketReaderState& reader_;
    LoadedData& data_;
    std::string& message_;
};

}  // namespace

bool ReadTicketBytes(std::string_view bytes, TicketReaderState& reader, LoadedData& data,
                     std::string& message) {
    LineReader lines(reader, data, message);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t cr = bytes.find('\r', start);
        const std::size_t end = cr == std::string_view::npos ? bytes.size() : cr;
        if (!lines.Line(bytes.substr(start, end - start))) return false;
        if (cr == std::string_view::npos) break;
        start = cr + 1;
        if (start < bytes.size() && bytes[start] == '\n') ++start;
    }
    return true;
}

}  // namespace lomi
