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
// The header's fields lie in its first 62 bytes.
constexpr std::size_t kHeaderFieldBytes = 62;

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

// The byte offsets a data line needs: those of its first kSlotColumns
// columns, for the slots, and those where its race data begins and ends.
// Fixed in size, so a line of any length costs no memory beyond its bytes.
struct DataColumns {
    std::size_t slotOffsets[kSlotColumns];
    std::size_t slotColumns = 0;  // how many of the first kSlotColumns the line has
    std::size_t bar = kNoBar;     // 0-based column of the first bar
    std::size_t raceFirst = 0;    // the line's size when the column lies past its end
    std::size_t raceEnd = 0;
};

// Walks the characters of a line that holds a byte of 0x80 or above. Stops
// once the columns a data line uses are known; a line without a bar is
// walked to its end, as only then is it known to have none.
void WalkColumns(const Cp932Table& table, const unsigned char* p, std::size_t size,
                 DataColumns& out) {
    out.slotColumns = 0;
    out.bar = kNoBar;
    out.raceFirst = size;
    out.raceEnd = size;
    std::size_t needed = std::numeric_limits<std::size_t>::max();
    std::size_t column = 0;
    for (std::size_t i = 0; i < size && column < needed; ++column) {
        if (column < kSlotColumns) out.slotOffsets[out.slotColumns++] = i;
        if (out.bar != kNoBar) {
            if (column == out.bar + kRaceDataOffset) out.raceFirst = i;
            if (column == out.bar + kRaceDataOffset + kRaceDataLength) out.raceEnd = i;
        }
        const unsigned char b = p[i];
        if (b < 0x80) {
            if (b == '|' && out.bar == kNoBar) {
                out.bar = column;
                // Up to the column after the race data, whose offset ends it.
                needed = std::max(column + kRaceDataOffset + kRaceDataLength + 1, kSlotColumns);
            }
            ++i;
        } else {
            i += table.CharLength(p + i, size - i);
        }
    }
}

// A slot is blank only when all five of its characters exist and are
// half-width spaces; one that runs past the end of the line counts as filled.
// offsets holds the byte offsets of the line's first count columns.
int FilledSlots(const unsigned char* p, const std::size_t* offsets, std::size_t count) {
    int filled = 0;
    for (std::size_t start : kSlotStarts) {
        bool blank = start + kSlotWidth <= count;
        for (std::size_t c = start; blank && c < start + kSlotWidth; ++c) {
            blank = p[offsets[c]] == ' ';
        }
        if (!blank) ++filled;
    }
    return filled;
}

// Whether the product name stands in the line as characters. Its letters
// can also be trail bytes of double-byte characters, so a byte match counts
// only where a character begins.
bool HasProductName(const Cp932Table& table, std::string_view line) {
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    std::size_t boundary = 0;
    for (std::size_t hit = line.find(kProductName); hit != std::string_view::npos;
         hit = line.find(kProductName, hit + 1)) {
        while (boundary < hit) boundary += table.CharLength(p + boundary, line.size() - boundary);
        if (boundary == hit) return true;
    }
    return false;
}

// The shortest run of whole characters from the line's start that covers
// the header's fields (or the whole line when it is shorter).
std::string_view HeaderFieldBytes(const Cp932Table& table, std::string_view line) {
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    std::size_t end = 0;
    while (end < line.size() && end < kHeaderFieldBytes) {
        end += table.CharLength(p + end, line.size() - end);
    }
    return line.substr(0, end);
}

class LineReader {
public:
    LineReader(TicketReaderState& reader, LoadedData& data, std::string& message)
        : table_(GetCp932Table()), reader_(reader), data_(data), message_(message) {}

    bool Line(std::string_view line) {
        const auto* p = reinterpret_cast<const unsigned char*>(line.data());
        const std::size_t size = line.size();
        if (!HasHighByte(p, size)) {
            const void* bar = std::memchr(p, '|', size);
            if (bar == nullptr) return AsciiOtherLine(line);
            // One byte per character: columns are byte offsets.
            const auto column =
                static_cast<std::size_t>(static_cast<const unsigned char*>(bar) - p);
            std::size_t identity[kSlotColumns];
            for (std::size_t c = 0; c < kSlotColumns; ++c) identity[c] = c;
            const int filled = FilledSlots(p, identity, std::min(size, kSlotColumns));
            return DataLine(p, filled, std::min(column + kRaceDataOffset, size),
                            std::min(column + kRaceDataOffset + kRaceDataLength, size));
        }
        DataColumns columns;
        WalkColumns(table_, p, size, columns);
        if (columns.bar == kNoBar) return OtherLine(line);
        const int filled = FilledSlots(p, columns.slotOffsets, columns.slotColumns);
        return DataLine(p, filled, columns.raceFirst, columns.raceEnd);
    }

private:
    // A data line of p with filled slots, its race data the bytes first to end.
    bool DataLine(const unsigned char* p, int filled, std::size_t first, std::size_t end) {
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
        if (!HasProductName(table_, line)) return true;
        // Decoded and encoded again, as the header's fields are byte
        // positions of the encoding: a bad byte, decoded to U+FFFD, comes
        // back as one '?'. Every character encodes to as many bytes as it was
        // read from, so the characters over the fields are all it takes.
        DecodeCp932(HeaderFieldBytes(table_, line), reader_.text);
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
