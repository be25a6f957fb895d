#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "data/record_cache_file.h"

namespace lomi {

// The record cache keeps, for each pattern of a data folder, the records
// its ticket files gave, so that a later load or ranking opens only the
// files that are new or changed. It only ever saves time: what a load
// gives with it is what it gives without it, byte for byte.

// What a front end tells the user about the cache: the first failure to
// write it, once. Shared by every thread of a run.
class RecordCacheNotes {
public:
    void Note(const std::string& message);
    // Empty when nothing went wrong.
    std::string First() const;
    bool WriteFailed() const;

private:
    mutable std::mutex mutex_;
    std::string first_;
};

// Where the cache lives and how a run uses it; kept in the program's state.
struct RecordCacheOptions {
    std::string folder;                       // the records folder; empty: no cache
    bool rebuild = false;                     // what is stored is not read, but written afresh
    std::shared_ptr<RecordCacheNotes> notes;  // may be null

    bool Enabled() const { return !folder.empty(); }
};

// The cache of one pattern of one data folder, for one load. Opened with
// what is stored, it answers which files it can serve and collects the
// files of this load, then writes them back when anything changed.
class PatternCache {
public:
    // key names the pattern within the folder (its file mask).
    PatternCache(const RecordCacheOptions& options, const std::string& dataFolder,
                 std::string_view key);
    PatternCache(const PatternCache&) = delete;
    PatternCache& operator=(const PatternCache&) = delete;

    // The stored records of name when they can be trusted: same size and
    // modification time, and that time at least two seconds before both
    // the moment they were stored and now (timestamps are coarse, so a
    // rewrite of the same size within that window could go unseen).
    const CachedFile* Find(std::string_view name, const FileStamp& stamp) const;
    // Whether anything stored was read: without it, Find finds nothing.
    bool HasStoredFiles() const { return !byName_.empty(); }

    // Keeps a stored file (as Find gave it) for the next write.
    void Keep(const CachedFile& file);
    // Keeps a file just read, its records in area; marks the cache changed.
    void KeepRead(CachedFile file, std::string area);

    // Writes what was kept when it differs from what is stored. A failure
    // is noted once in the options' notes and leaves the run without a
    // cache; it never fails the load.
    void Save();

private:
    const RecordCacheOptions& options_;
    std::string folder_;  // this data folder's subfolder of the records folder
    std::string path_;
    std::string owner_;
    std::int64_t now_ = 0;
    std::string stored_;  // the cache file's bytes; storedContents_ points into them
    CacheContents storedContents_;
    std::unordered_map<std::string_view, const CachedFile*> byName_;
    std::vector<CachedFile> kept_;
    std::deque<std::string> areas_;  // record areas and names of files just read
    bool changed_ = false;
};

// The records folder for a user cache folder: "<cache>/records" (the
// caller passes ~/.cache/lomi or %LOCALAPPDATA%\lomi\cache); empty for empty.
std::string RecordsFolderIn(const std::string& cacheFolder);

// Bytes held by the records folder; 0 when there is none.
std::uint64_t RecordCacheSize(const std::string& recordsFolder);

// A size as the confirmation shows it: "850 KB", "12.3 MB", "1.40 GB".
std::string CacheSizeText(std::uint64_t bytes);

// Removes the records folder and everything in it, and nothing else.
// False with reason when it cannot.
bool ClearRecordCache(const std::string& recordsFolder, std::string& reason);

// Removes the caches of data folders not used for this many days.
inline constexpr int kUnusedCacheDays = 90;

}  // namespace lomi
