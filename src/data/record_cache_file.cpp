#include "data/record_cache_file.h"

#include <cstring>

namespace lomi {
namespace {

constexpr char kMagic[8] = {'L', 'o', 'm', 'i', 'R', 'e', 'c', 's'};
// Magic, version, reserved word, payload length, checksum.
constexpr std::size_t kHeaderBytes = 8 + 4 + 4 + 8 + 8;
constexpr std::size_t kChecksumAt = kHeaderBytes - 8;

constexpr std::uint8_t kInheritsDate = 1;
constexpr std::uint8_t kHasHeader = 2;

// Numbers are little-endian whatever the machine.
void PutNumber(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

// Where PutPayload puts a cache file's payload: into a string, or only
// counted.
struct PayloadWriter {
    std::string& out;
    void Number(std::uint64_t value, int bytes) { PutNumber(out, value, bytes); }
    void Bytes(std::string_view bytes) { out.append(bytes); }
};
struct PayloadSize {
    std::size_t bytes = 0;
    void Number(std::uint64_t, int count) { bytes += static_cast<std::size_t>(count); }
    void Bytes(std::string_view text) { bytes += text.size(); }
};

template <typename Put>
void PutText(Put& put, std::string_view text) {
    put.Number(text.size(), 4);
    put.Bytes(text);
}

template <typename Put>
void PutPayload(const CacheContents& contents, Put& put) {
    PutText(put, contents.owner);
    put.Number(static_cast<std::uint64_t>(contents.writtenAt), 8);
    put.Number(contents.files.size(), 4);
    for (const CachedFile& file : contents.files) {
        PutText(put, file.name);
        put.Number(file.stamp.size, 8);
        put.Number(static_cast<std::uint64_t>(file.stamp.modified), 8);
        put.Number((file.inheritsDate ? kInheritsDate : 0) | (file.hasHeader ? kHasHeader : 0), 1);
        if (file.inheritsDate) PutText(put, file.incomingDate);
        if (file.hasHeader) PutText(put, file.outgoingDate);
        put.Number(file.recordCount, 4);
        put.Number(file.records.size(), 8);
        put.Bytes(file.records);
    }
}

std::uint64_t Mix(std::uint64_t h, std::uint64_t word) {
    h ^= word;
    h *= 0x9E3779B97F4A7C15u;
    return h ^ (h >> 29);
}

// Reads the payload front to back; any read past its end fails the whole.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    bool Number(std::uint64_t& value, int bytes) {
        if (bytes_.size() - at_ < static_cast<std::size_t>(bytes)) return false;
        value = 0;
        for (int i = 0; i < bytes; ++i) {
            value |= std::uint64_t{static_cast<unsigned char>(bytes_[at_ + i])} << (8 * i);
        }
        at_ += static_cast<std::size_t>(bytes);
        return true;
    }
    bool Bytes(std::string_view& out, std::uint64_t length) {
        if (bytes_.size() - at_ < length) return false;
        out = bytes_.substr(at_, static_cast<std::size_t>(length));
        at_ += static_cast<std::size_t>(length);
        return true;
    }
    bool Text(std::string_view& out) {
        std::uint64_t length = 0;
        return Number(length, 4) && Bytes(out, length);
    }
    bool AtEnd() const { return at_ == bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

// Whether area holds exactly count records in the form ForEachCachedRecord reads.
bool RecordsFit(std::string_view area, std::uint64_t count) {
    Reader reader(area);
    for (std::uint64_t i = 0; i < count; ++i) {
        std::uint64_t length = 0;
        std::string_view text;
        if (!reader.Number(length, 1)) return false;
        if (length == 0xFF && !reader.Number(length, 4)) return false;
        if (!reader.Bytes(text, length)) return false;
    }
    return reader.AtEnd();
}

bool ReadFile(Reader& reader, CachedFile& file) {
    std::uint64_t size = 0, modified = 0, flags = 0, count = 0, area = 0;
    if (!reader.Text(file.name) || !reader.Number(size, 8) || !reader.Number(modified, 8) ||
        !reader.Number(flags, 1)) {
        return false;
    }
    file.stamp = FileStamp{size, static_cast<std::int64_t>(modified)};
    file.inheritsDate = (flags & kInheritsDate) != 0;
    file.hasHeader = (flags & kHasHeader) != 0;
    if (file.inheritsDate && !reader.Text(file.incomingDate)) return false;
    if (file.hasHeader && !reader.Text(file.outgoingDate)) return false;
    if (!reader.Number(count, 4) || !reader.Number(area, 8) || !reader.Bytes(file.records, area)) {
        return false;
    }
    file.recordCount = static_cast<std::uint32_t>(count);
    return RecordsFit(file.records, count);
}

}  // namespace

void AppendCachedRecord(std::string& area, std::string_view record) {
    if (record.size() < 0xFF) {
        area.push_back(static_cast<char>(record.size()));
    } else {
        area.push_back(static_cast<char>(0xFF));
        PutNumber(area, record.size(), 4);
    }
    area.append(record);
}

std::uint64_t CacheChecksum(std::string_view bytes, std::uint64_t seed) {
    std::uint64_t h = Mix(seed ^ 0x243F6A8885A308D3u, bytes.size());
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        h = Mix(h, word);
    }
    if (i < bytes.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, bytes.size() - i);
        h = Mix(h, word);
    }
    return Mix(h, 0);
}

std::string EncodeCacheFile(const CacheContents& contents) {
    // Counted first, then written into a string of that size: a cache file
    // runs to megabytes, and growing it step by step would copy it again
    // and again.
    PayloadSize size;
    PutPayload(contents, size);
    std::string out;
    out.reserve(kHeaderBytes + size.bytes);
    out.append(kMagic, sizeof kMagic);
    PayloadWriter writer{out};
    writer.Number(kRecordCacheVersion, 4);
    writer.Number(0, 4);
    writer.Number(size.bytes, 8);
    writer.Number(0, 8);  // the checksum, once the payload is written
    PutPayload(contents, writer);
    // The checksum covers the header before it and the payload.
    const std::string_view bytes(out);
    const std::uint64_t checksum =
        CacheChecksum(bytes.substr(kHeaderBytes), CacheChecksum(bytes.substr(0, kChecksumAt)));
    std::string sum;
    PutNumber(sum, checksum, 8);
    out.replace(kChecksumAt, 8, sum);
    return out;
}

std::optional<CacheContents> DecodeCacheFile(std::string_view bytes) {
    if (bytes.size() < kHeaderBytes || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        return std::nullopt;
    }
    Reader header(bytes.substr(sizeof kMagic, kHeaderBytes - sizeof kMagic));
    std::uint64_t version = 0, reserved = 0, length = 0, checksum = 0;
    header.Number(version, 4);
    header.Number(reserved, 4);
    header.Number(length, 8);
    header.Number(checksum, 8);
    const std::string_view payload = bytes.substr(kHeaderBytes);
    if (version != kRecordCacheVersion || reserved != 0 || length != payload.size() ||
        checksum != CacheChecksum(payload, CacheChecksum(bytes.substr(0, kChecksumAt)))) {
        return std::nullopt;
    }
    Reader reader(payload);
    CacheContents contents;
    std::string_view owner;
    std::uint64_t writtenAt = 0, count = 0;
    if (!reader.Text(owner) || !reader.Number(writtenAt, 8) || !reader.Number(count, 4)) {
        return std::nullopt;
    }
    contents.owner = owner;
    contents.writtenAt = static_cast<std::int64_t>(writtenAt);
    // Every file takes at least 33 bytes: no count can ask for more memory
    // than the payload justifies.
    if (count > payload.size() / 33) return std::nullopt;
    contents.files.resize(static_cast<std::size_t>(count));
    for (CachedFile& file : contents.files) {
        if (!ReadFile(reader, file)) return std::nullopt;
    }
    if (!reader.AtEnd()) return std::nullopt;
    return contents;
}

}  // namespace lomi
