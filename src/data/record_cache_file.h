#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/cache_files.h"

namespace lomi {

// The records one ticket file gave, as the record cache keeps them, and
// what they depend on besides the file's bytes: the race date the file
// took from the file before it.
struct CachedFile {
    std::string_view name;
    FileStamp stamp;
    // Records came before the file's first header and carry the date the
    // file before left: incomingDate. Valid only after a file that leaves it.
    bool inheritsDate = false;
    std::string_view incomingDate;
    // The file holds a header: the date after it is outgoingDate, not the
    // incoming one.
    bool hasHeader = false;
    std::string_view outgoingDate;
    std::uint32_t recordCount = 0;
    // The records, each a length (one byte, or 0xFF and four bytes) and
    // its text; see ForEachCachedRecord.
    std::string_view records;
};

// Calls f(record) for each record of file, in order.
template <typename F>
void ForEachCachedRecord(const CachedFile& file, F&& f) {
    const char* p = file.records.data();
    for (std::uint32_t i = 0; i < file.recordCount; ++i) {
        std::uint32_t length = static_cast<unsigned char>(*p++);
        if (length == 0xFF) {
            length = 0;
            for (int k = 0; k < 4; ++k)
                length |= std::uint32_t{static_cast<unsigned char>(*p++)} << (8 * k);
        }
        f(std::string_view(p, length));
        p += length;
    }
}

// Appends a record to a record area in the form ForEachCachedRecord reads.
void AppendCachedRecord(std::string& area, std::string_view record);

// One cache file's contents: whose it is (the data folder and the pattern's
// key), when it was written, and its files in reading order.
struct CacheContents {
    std::string owner;
    std::int64_t writtenAt = 0;
    std::vector<CachedFile> files;
};

// The bytes of a cache file: a magic number, the format version, the
// payload's length and a checksum over all of them, then the payload.
std::string EncodeCacheFile(const CacheContents& contents);

// The contents of bytes (which they point into); nothing when the magic,
// version, length or checksum do not hold, or the payload is malformed.
std::optional<CacheContents> DecodeCacheFile(std::string_view bytes);

// 64 bits over bytes. Each 8 bytes pass through steps that map the running
// value one to one, so two inputs that differ within any one aligned
// 8-byte word (a single damaged byte, say) always give different sums.
std::uint64_t CacheChecksum(std::string_view bytes, std::uint64_t seed = 0);

// Raised when the layout changes: older files are then rebuilt.
inline constexpr std::uint32_t kRecordCacheVersion = 1;

}  // namespace lomi
