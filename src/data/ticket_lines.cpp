// Reading the lines of one ticket file into records and race dates.

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "data/ascii_run.h"
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
// A race date of YYYYMMDD.
constexpr std::size_t kUsualDateBytes = 8;
constexpr std::string_view kProductName = "Kestrava";
// The header's fields lie in its first 62 bytes.
constexpr std::size_t kHeaderFieldBytes = 62;

// Where a data line's columns lie, as far as the line needs reading: its
// first bar, the bytes of its race data, and the characters of its first
// kSlotColumns columns that are not single ASCII bytes (every other
// column there is one byte, so its offset follows from them). Fixed in
// size, so a line of any length costs no memory beyond its bytes.
struct DataColumns {
    std::size_t bar = kNoBar;   // 0-based column of the first bar
    std::size_t raceFirst = 0;  // the line's size when the column lies past its end
    std::size_t raceEnd = 0;
    std::size_t columns = 0;  // columns walked: all of the line's, or at least kSlotColumns
    bool ascii = true;        // no byte of 0x80 or above was met
    // Columns below kSlotColumns that hold a character of a byte of 0x80 or
    // above, in order, and the bytes beyond one per column up to and
    // including each.
    std::size_t highCount = 0;
    std::size_t highColumn[kSlotColumns];
    std::size_t extraAfter[kSlotColumns];

    // Byte offset of a column below kSlotColumns and below columns.
    std::size_t SlotOffset(std::size_t column) const {
        std::size_t extra = 0;
        for (std::size_t k = 0; k < highCount && highColumn[k] < column; ++k) extra = extraAfter[k];
        return column + extra;
    }
    bool HighIn(std::size_t first, std::size_t end) const {
        for (std::size_t k = 0; k < highCount; ++k) {
            if (highColumn[k] >= first && highColumn[k] < end) return true;
        }
        return false;
    }
};

// Walks the characters of a line, an ASCII run at a time. Stops once the
// columns a data line uses are known; a line without a bar is walked to its
// end, as only then is it known to have none.
void WalkColumns(const Cp932Table& table, const unsigned char* p, std::size_t size,
                 DataColumns& out) {
    out.bar = kNoBar;
    out.raceFirst = size;
    out.raceEnd = size;
    out.ascii = true;
    out.highCount = 0;
    std::size_t needed = std::numeric_limits<std::size_t>::max();
    std::size_t column = 0;
    std::size_t i = 0;
    // Records the offset of the race data's first and end columns when they
    // lie in the run of n one-byte columns from column at byte i.
    const auto raceColumns = [&](std::size_t n) {
        if (out.bar == kNoBar) return;
        const std::size_t first = out.bar + kRaceDataOffset;
        const std::size_t end = first + kRaceDataLength;
        if (first >= column && first < column + n) out.raceFirst = i + (first - column);
        if (end >= column && end < column + n) out.raceEnd = i + (end - column);
    };
    while (i < size && column < needed) {
        if (p[i] < 0x80) {
            std::size_t n = AsciiRunEnd(p, i, size) - i;
            if (out.bar == kNoBar) {
                const void* bar = std::memchr(p + i, '|', n);
                if (bar != nullptr) {
                    out.bar = column + static_cast<std::size_t>(
                                           static_cast<const unsigned char*>(bar) - (p + i));
                    // Up to the column after the race data, whose offset ends it.
                    needed =
                        std::max(out.bar + kRaceDataOffset + kRaceDataLength + 1, kSlotColumns);
                }
            }
            n = std::min(n, needed - column);
            raceColumns(n);
            column += n;
            i += n;
        } else {
            out.ascii = false;
            raceColumns(1);
            const std::size_t length = table.CharLength(p + i, size - i);
            if (column < kSlotColumns) {
                const std::size_t before =
                    out.highCount == 0 ? 0 : out.extraAfter[out.highCount - 1];
                out.highColumn[out.highCount] = column;
                out.extraAfter[out.highCount] = before + length - 1;
                ++out.highCount;
            }
            ++column;
            i += length;
        }
    }
    out.columns = column;
}

// The offset of the first bar in bytes [begin, end) when all of them are
// ASCII; kNoBar when there is none or a byte is 0x80 or above. One pass,
// eight bytes at a time.
std::size_t BarInAsciiBytes(const unsigned char* p, std::size_t begin, std::size_t end) {
    std::size_t bar = kNoBar;
    std::size_t i = begin;
    for (; i + 8 <= end; i += 8) {
        const std::uint64_t word = LoadWord(p + i);
        if ((word & kHighBits) != 0) return kNoBar;
        if (bar == kNoBar) {
            // Bytes below 0x80 plus 0x7F keep their top bit clear only when
            // they were 0: those that equal the bar.
            const std::uint64_t bars = ~((word ^ RepeatByte('|')) + RepeatByte(0x7F)) & kHighBits;
            if (bars != 0) bar = i + static_cast<std::size_t>(std::countr_zero(bars)) / 8;
        }
    }
    for (; i < end; ++i) {
        if (p[i] >= 0x80) return kNoBar;
        if (bar == kNoBar && p[i] == '|') bar = i;
    }
    return bar;
}

// WalkColumns for the usual data line, in fewer steps: characters of 0x80
// and above only in the columns before the first slot, ASCII bytes from
// there to the line's end, a bar among them, and the race data within the
// line. Its columns are then its bytes shifted by the extra bytes of those
// first characters. False for any other line, which takes the full walk.
bool WalkUsualDataLine(const Cp932Table& table, const unsigned char* p, std::size_t size,
                       DataColumns& out) {
    std::size_t i = 0;
    std::size_t column = 0;
    out.highCount = 0;
    while (column < kSlotStarts[0] && i < size && p[i] >= 0x80) {
        const std::size_t length = table.CharLength(p + i, size - i);
        out.highColumn[out.highCount] = column;
        out.extraAfter[out.highCount] = i - column + length - 1;
        ++out.highCount;
        ++column;
        i += length;
    }
    const std::size_t extra = i - column;
    if (size - extra < kSlotColumns) return false;
    const std::size_t barByte = BarInAsciiBytes(p, i, size);
    if (barByte == kNoBar || barByte + kRaceDataOffset + kRaceDataLength > size) return false;
    out.bar = barByte - extra;
    out.raceFirst = barByte + kRaceDataOffset;
    out.raceEnd = out.raceFirst + kRaceDataLength;
    out.columns = size - extra;
    out.ascii = out.highCount == 0;
    return true;
}

// A slot is blank only when all five of its characters exist and are
// half-width spaces; one that runs past the end of the line counts as filled.
int FilledSlots(const unsigned char* p, const DataColumns& columns) {
    constexpr std::size_t kFirstSlot = kSlotStarts[0];
    int filled = 0;
    if (columns.columns >= kSlotColumns &&
        (columns.highCount == 0 || columns.highColumn[columns.highCount - 1] < kFirstSlot)) {
        // The usual line: wide characters, if any, only before the slots, so
        // the slot columns are bytes in a row.
        const unsigned char* base =
            p + (columns.highCount == 0 ? 0 : columns.extraAfter[columns.highCount - 1]);
        for (std::size_t start : kSlotStarts) {
            filled += std::memcmp(base + start, "     ", kSlotWidth) != 0;
        }
        return filled;
    }
    for (std::size_t start : kSlotStarts) {
        bool blank =
            start + kSlotWidth <= columns.columns && !columns.HighIn(start, start + kSlotWidth);
        if (blank) {
            // Five one-byte columns: five bytes in a row.
            blank = std::memcmp(p + columns.SlotOffset(start), "     ", kSlotWidth) == 0;
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

// Whether decoding bytes and encoding them again gives them back, as it
// does for every character but bad bytes and the few with two encodings:
// then a header's fields can be read from the line's own bytes.
bool EncodesBackToItself(const Cp932Table& table, std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size;) {
        const std::size_t length = table.CharLength(p + i, size - i);
        const char32_t c = table.CodePoint(p + i, length);
        const unsigned read = length == 2 ? p[i] << 8 | p[i + 1] : p[i];
        // U+0000 is written as byte 0; a code point without bytes as '?'.
        const unsigned written = c == 0 ? 0 : c < 0x10000 ? table.encode[c] : 0;
        if (written != read || (written == 0 && c != 0)) return false;
        i += length;
    }
    return true;
}

class LineReader {
public:
    LineReader(TicketReaderState& reader, LoadedData& data, RecordSink& sink, std::string& message)
        : table_(GetCp932Table()), reader_(reader), data_(data), sink_(sink), message_(message) {}

    bool Line(std::string_view line) {
        const auto* p = reinterpret_cast<const unsigned char*>(line.data());
        DataColumns columns;
        if (!WalkUsualDataLine(table_, p, line.size(), columns)) {
            // Without a byte of 0x7C there is no bar character: the line
            // needs no walk to tell.
            if (std::memchr(p, '|', line.size()) == nullptr) {
                return IsAsciiBytes(p, line.size()) ? AsciiOtherLine(line) : OtherLine(line);
            }
            WalkColumns(table_, p, line.size(), columns);
            if (columns.bar == kNoBar) {
                // No bar character: none at all, or only bytes of 0x7C that
                // were trail bytes of double-byte characters.
                return columns.ascii ? AsciiOtherLine(line) : OtherLine(line);
            }
        }
        return DataLine(p, FilledSlots(p, columns), columns.raceFirst, columns.raceEnd);
    }

private:
    // A data line of p with filled slots, its race data the bytes first to end.
    bool DataLine(const unsigned char* p, int filled, std::size_t first, std::size_t end) {
        std::string& record = reader_.record;
        const std::string& date = reader_.currentDate;
        const std::string_view race(reinterpret_cast<const char*>(p) + first, end - first);
        if (race.size() == kRaceDataLength && date.size() == kUsualDateBytes &&
            IsAsciiBytes(p + first, kRaceDataLength)) {
            // The usual record, copied in pieces of fixed size.
            record.resize(kRaceDataLength + 1 + kUsualDateBytes);
            std::memcpy(record.data(), race.data(), kRaceDataLength);
            record[kRaceDataLength] = static_cast<char>('0' + filled);
            std::memcpy(record.data() + kRaceDataLength + 1, date.data(), kUsualDateBytes);
        } else {
            record.clear();
            if (IsAsciiBytes(p + first, race.size())) {
                record.append(race);
            } else {
                AppendDecodedCp932(race, record);
            }
            record.push_back(static_cast<char>('0' + filled));
            record += date;
        }

        return AddRecord(record, reader_, data_, sink_, message_);
    }

    bool AsciiOtherLine(std::string_view line) {
        if (line.find(kProductName) != std::string_view::npos) {
            reader_.currentDate = HeaderDate(line);
            ++reader_.headers;
        }
        return true;
    }

    bool OtherLine(std::string_view line) {
        if (!HasProductName(table_, line)) return true;
        // Decoded and encoded again, as the header's fields are byte
        // positions of the encoding: a bad byte, decoded to U+FFFD, comes
        // back as one '?'. Every character encodes to as many bytes as it was
        // read from, so the characters over the fields are all it takes.
        const std::string_view fields = HeaderFieldBytes(table_, line);
        if (EncodesBackToItself(table_, fields)) {
            reader_.currentDate = HeaderDate(fields);
            ++reader_.headers;
            return true;
        }
        DecodeCp932(fields, reader_.text);
        EncodeCp932(reader_.text, reader_.encoded);
        reader_.currentDate = HeaderDate(reader_.encoded);
        ++reader_.headers;
        return true;
    }

    const Cp932Table& table_;
    TicketReaderState& reader_;
    LoadedData& data_;
    RecordSink& sink_;
    std::string& message_;
};

}  // namespace

bool AddRecord(std::string_view record, TicketReaderState& reader, LoadedData& data,
               RecordSink& sink, std::string& message) {
    if (!AddConditionValues(record, data, reader.index, message)) return false;
    if (reader.records >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        message = "レコード数が 2147483647 を超えます";
        return false;
    }
    sink.Add(record);
    ++reader.records;
    return true;
}

bool ReadTicketBytes(std::string_view bytes, TicketReaderState& reader, LoadedData& data,
                     std::string& message) {
    StoreSink store(data.Records);
    return ReadTicketBytes(bytes, reader, data, store, message);
}

bool ReadTicketBytes(std::string_view bytes, TicketReaderState& reader, LoadedData& data,
                     RecordSink& sink, std::string& message) {
    LineReader lines(reader, data, sink, message);
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
