#include "data/record_cache.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "data/file_bytes.h"
#include "data/folder_listing.h"
#include "data/subfolders.h"
#include "settings/utf8_path.h"

namespace lomi {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kSecond = 1'000'000'000;
// Modification times closer than this to a moment cannot be told apart
// from it on every file system (FAT keeps even seconds).
constexpr std::int64_t kUntrustedWindow = 2 * kSecond;
constexpr std::int64_t kDay = 86'400 * kSecond;
// A data folder's subfolder holds this file; its time says when the
// folder was last used.
constexpr const char* kUsedMarker = "used";
constexpr const char* kFileExtension = ".records";

std::string Hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder + PathSeparator() + name;
}

std::string Utf8Text(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The data folder as a key: absolute, with "." and ".." resolved.
std::string AbsoluteFolder(const std::string& folder) {
    std::error_code error;
    const fs::path absolute = fs::absolute(Utf8Path(folder), error);
    return error ? folder : Utf8Text(absolute.lexically_normal());
}

bool IsDataFolderSubfolder(const std::string& name) {
    return name.size() == 16 && name.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// Removes the subfolders of data folders unused for kUnusedCacheDays, but
// for own. Listed as every folder of the program is listed, which threads
// ranking side by side may do at once.
void RemoveUnused(const std::string& recordsFolder, const std::string& own, std::int64_t now) {
    const auto names = ListSubfolders(recordsFolder);
    if (!names) return;
    std::vector<std::string> unused;
    for (const std::string& name : *names) {
        const std::string sub = Join(recordsFolder, name);
        if (!IsDataFolderSubfolder(name) || sub == own) continue;
        auto stamp = StampOfFile(Join(sub, kUsedMarker));
        if (!stamp) stamp = StampOfFile(sub);
        if (stamp && stamp->modified < now - kUnusedCacheDays * kDay) unused.push_back(sub);
    }
    std::error_code error;
    for (const std::string& sub : unused) fs::remove_all(Utf8Path(sub), error);
}

}  // namespace

void RecordCacheNotes::Note(const std::string& message) {
    const std::lock_guard lock(mutex_);
    if (first_.empty()) first_ = message;
}

std::string RecordCacheNotes::First() const {
    const std::lock_guard lock(mutex_);
    return first_;
}

bool RecordCacheNotes::WriteFailed() const { return !First().empty(); }

PatternCache::PatternCache(const RecordCacheOptions& options, const std::string& dataFolder,
                           std::string_view key)
    : options_(options) {
    const std::string absolute = AbsoluteFolder(dataFolder);
    folder_ = Join(options.folder, Hex(CacheChecksum(absolute)));
    path_ = Join(folder_, Hex(CacheChecksum(key)) + kFileExtension);
    owner_ = absolute + '\n' + std::string(key);
    now_ = NowStamp();

    // Marked as used once a day, when the caches of folders long unused go too.
    const std::string marker = Join(folder_, kUsedMarker);
    const auto used = StampOfFile(marker);
    if (!used || used->modified < now_ - kDay) {
        std::error_code error;
        fs::create_directories(Utf8Path(folder_), error);
        if (!error && TouchFile(marker)) RemoveUnused(options.folder, folder_, now_);
    }

    if (options.rebuild) return;
    bool opened = false;
    std::string reason;
    if (!ReadFileBytes(path_, stored_, opened, reason)) return;
    auto contents = DecodeCacheFile(stored_);
    // A file of another folder or pattern (the names are hashes) is not ours.
    if (!contents || contents->owner != owner_) return;
    storedContents_ = std::move(*contents);
    byName_.reserve(storedContents_.files.size());
    for (const CachedFile& file : storedContents_.files) byName_.emplace(file.name, &file);
}

const CachedFile* PatternCache::Find(std::string_view name, const FileStamp& stamp) const {
    const auto it = byName_.find(name);
    if (it == byName_.end()) return nullptr;
    const CachedFile& file = *it->second;
    if (!(file.stamp == stamp)) return nullptr;
    const std::int64_t trustedUntil = std::min(storedContents_.writtenAt, now_) - kUntrustedWindow;
    return file.stamp.modified <= trustedUntil ? &file : nullptr;
}

void PatternCache::Keep(const CachedFile& file) { kept_.push_back(file); }

void PatternCache::KeepRead(CachedFile file, std::string area) {
    // The texts the file points to are the caller's: copies of them are kept.
    areas_.push_back(std::move(area));
    file.records = areas_.back();
    for (std::string_view* text : {&file.name, &file.incomingDate, &file.outgoingDate}) {
        areas_.emplace_back(*text);
        *text = areas_.back();
    }
    kept_.push_back(file);
    changed_ = true;
}

void PatternCache::Save() {
    if (!changed_ && kept_.size() == storedContents_.files.size()) return;
    if (options_.notes && options_.notes->WriteFailed()) return;
    std::string reason;
    std::error_code error;
    fs::create_directories(Utf8Path(folder_), error);
    if (!error) {
        CacheContents contents{owner_, NowStamp(), kept_};
        if (ReplaceFileAtomically(path_, EncodeCacheFile(contents), reason)) return;
    } else {
        reason = "フォルダ「" + folder_ + "」を作れません";
    }
    if (options_.notes) {
        options_.notes->Note("キャッシュを書き込めません（" + reason +
                             "）。キャッシュを使わずに続けます。");
    }
}

std::string RecordsFolderIn(const std::string& cacheFolder) {
    return cacheFolder.empty() ? std::string() : Join(cacheFolder, "records");
}

std::uint64_t RecordCacheSize(const std::string& recordsFolder) {
    std::uint64_t bytes = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(Utf8Path(recordsFolder), error), end;
         !error && it != end; it.increment(error)) {
        std::error_code sizeError;
        if (!it->is_regular_file(sizeError)) continue;
        const auto size = it->file_size(sizeError);
        if (!sizeError) bytes += size;
    }
    return bytes;
}

std::string CacheSizeText(std::uint64_t bytes) {
    char text[32];
    const double value = static_cast<double>(bytes);
    if (bytes < 1'000'000) {
        std::snprintf(text, sizeof text, "%.0f KB", value / 1e3);
    } else if (bytes < 1'000'000'000) {
        std::snprintf(text, sizeof text, "%.1f MB", value / 1e6);
    } else {
        std::snprintf(text, sizeof text, "%.2f GB", value / 1e9);
    }
    return text;
}

bool ClearRecordCache(const std::string& recordsFolder, std::string& reason) {
    // Never anything but a records folder: the cache folder beside it holds
    // other programs' files.
    if (Utf8Text(Utf8Path(recordsFolder).filename()) != "records") {
        reason = "キャッシュのフォルダではありません";
        return false;
    }
    std::error_code error;
    fs::remove_all(Utf8Path(recordsFolder), error);
    if (!error) return true;
    reason = "削除できないファイルがあります";
    return false;
}

}  // namespace lomi
