#include "data/ticket_reader.h"

#include <algorithm>
#include <exception>
#include <new>
#include <optional>
#include <utility>

#include "data/file_bytes.h"
#include "data/file_mask.h"
#include "data/folder_listing.h"
#include "data/read_ahead.h"
#include "data/record_cache.h"

namespace lomi {
namespace {

bool EndsInSeparator(const std::string& folder) {
    if (folder.empty()) return false;
    const char last = folder.back();
    return last == PathSeparator() || last == '/';
}

LoadResult Failure(const std::string& file, const std::string& message) {
    return LoadResult{false, false, file, message};
}

}  // namespace

std::optional<std::vector<std::string>> ListPatternFiles(const std::string& folder,
                                                         const std::string& mask,
                                                         std::string* reason,
                                                         const std::stop_token& stop) {
    std::string why;
    auto names = ListPlainFiles(
        folder, [&](std::string_view name) { return MatchesFileMask(name, mask); }, why, stop);
    if (names) SortInReadingOrder(*names);
    if (!names && reason) *reason = std::move(why);
    return names;
}

void SortInReadingOrder(std::vector<std::string>& names) {
    // The directory's own order is arbitrary on Linux; the race date carries
    // over from file to file, so the order must be fixed.
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names) keyed.emplace_back(FileOrderKey(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (auto& entry : keyed) names.push_back(std::move(entry.second));
}

std::string JoinFolderAndName(const std::string& folder, const std::string& name) {
    std::string path;
    JoinFolderAndName(folder, name, path);
    return path;
}

void JoinFolderAndName(const std::string& folder, const std::string& name, std::string& path) {
    path.assign(folder);
    if (!EndsInSeparator(folder)) path += PathSeparator();
    path += name;
}

bool PatternFilesMissing(const std::string& folder, const std::string& mask) {
    try {
        // Whether any file matches; their order does not matter here.
        std::string reason;
        const auto names = ListPlainFiles(
            folder, [&](std::string_view name) { return MatchesFileMask(name, mask); }, reason);
        if (names) return names->empty();
        return !FolderProblem(folder).empty();
    } catch (const std::exception&) {
        return true;
    }
}

LoadResult ReadPatternFiles(const std::string& folder, const std::string& mask, LoadedData& out,
                            const LoadProgress& progress, std::stop_token stop,
                            const RecordCacheOptions& cache) {
    std::string current = folder;
    try {
        out = LoadedData();
        std::string reason;
        const auto names = ListPatternFiles(folder, mask, &reason);
        if (!names) {
            return Failure(current, "ﾌｫﾙﾀﾞ「" + current + "」の中を読めません（" + reason + "）。");
        }
        // The files found by the existence test can be gone by now; loading
        // nothing would throw away the data on show for a pattern that has none.
        if (names->empty()) {
            return Failure(
                current, "ﾌｫﾙﾀﾞ「" + current + "」に「" + mask + "」に合うファイルがありません。");
        }
        return ReadListedFiles(folder, *names, out, progress, stop, cache, mask);
    } catch (const std::bad_alloc&) {
        return Failure(current, "「" + current + "」の読み込み中にメモリが足りなくなりました。");
    } catch (const std::exception& error) {
        return Failure(current, "「" + current + "」を読み込めません（" + error.what() + "）。");
    }
}

namespace {

constexpr std::size_t kFilesWorthReadingAhead = 200;

// What ReadFiles reads for: a load, which keeps the names of the files in
// out.Files and reads the files ahead on a second thread (ReadAhead), or a
// single pass, one of several that run side by side, which does neither.
enum class ReadFor { Load, SinglePass };

// A sink that passes records on and keeps a copy of each for the cache.
class CopyingSink final : public RecordSink {
public:
    CopyingSink(RecordSink& next, const TicketReaderState& reader) : next_(next), reader_(reader) {}

    // Before each file read.
    void Start() {
        area_.clear();
        count_ = 0;
        headersBefore_ = reader_.headers;
        dateBefore_ = reader_.currentDate;
        inheritsDate_ = false;
    }
    void Add(std::string_view record) override {
        if (count_ == 0) inheritsDate_ = reader_.headers == headersBefore_;
        AppendCachedRecord(area_, record);
        ++count_;
        next_.Add(record);
    }
    // After the file was read whole.
    void Keep(PatternCache& cache, std::string_view name, const FileStamp& stamp) {
        CachedFile file;
        file.name = name;
        file.stamp = stamp;
        file.inheritsDate = inheritsDate_;
        if (inheritsDate_) file.incomingDate = dateBefore_;
        file.hasHeader = reader_.headers != headersBefore_;
        if (file.hasHeader) file.outgoingDate = reader_.currentDate;
        file.recordCount = count_;
        cache.KeepRead(file, std::move(area_));
    }

private:
    RecordSink& next_;
    const TicketReaderState& reader_;
    std::string area_;
    std::uint32_t count_ = 0;
    std::size_t headersBefore_ = 0;
    std::string dateBefore_;
    bool inheritsDate_ = false;
};

// What the cache knows of a read's files before any is read: each file's
// stored records, if they can serve, and the files it cannot serve, which
// are the ones to read.
struct CachePlan {
    std::vector<const CachedFile*> stored;
    std::vector<std::string> toRead;
};

CachePlan PlanCachedRead(PatternCache& cache, const std::string& folder,
                         const std::vector<std::string>& names) {
    CachePlan plan;
    plan.stored.resize(names.size());
    // A cache with nothing stored serves no file: no stamp is looked up,
    // and each file's comes from its reading (on Windows a lookup by path
    // costs nearly what an open does).
    if (!cache.HasStoredFiles()) {
        plan.toRead = names;
        return plan;
    }
    std::string path;
    for (std::size_t i = 0; i < names.size(); ++i) {
        JoinFolderAndName(folder, names[i], path);
        if (const auto stamp = StampOfFile(path)) plan.stored[i] = cache.Find(names[i], *stamp);
        if (!plan.stored[i]) plan.toRead.push_back(names[i]);
    }
    return plan;
}

// The files of names read one by one into out, their records to sink;
// through the record cache when one is given.
LoadResult ReadFiles(const std::string& folder, const std::vector<std::string>& names,
                     LoadedData& out, RecordSink& sink, ReadFor purpose,
                     const LoadProgress& progress, std::stop_token stop,
                     const RecordCacheOptions& cacheOptions, std::string_view cacheKey) {
    const bool load = purpose == ReadFor::Load;
    std::string current = folder;
    std::optional<PatternCache> cache;
    CachePlan plan;
    std::size_t done = 0;
    // The cache is written however the read ends: what it holds is right
    // for the files it names whether or not the others could be read.
    const auto finish = [&](LoadResult result) {
        if (cache) {
            for (std::size_t i = done; i < names.size(); ++i) {
                if (plan.stored[i]) cache->Keep(*plan.stored[i]);
            }
            cache->Save();
        }
        return result;
    };
    try {
        out = LoadedData();
        TicketReaderState reader;
        std::string bytes;
        std::string reason;
        if (cacheOptions.Enabled()) {
            cache.emplace(cacheOptions, folder, cacheKey);
            plan = PlanCachedRead(*cache, folder, names);
        }
        const std::vector<std::string>& toRead = cache ? plan.toRead : names;
        CopyingSink copying(sink, reader);
        RecordSink& target = cache ? static_cast<RecordSink&>(copying) : sink;
        if (progress) progress(0, names.size());
        // Started once the load has begun: no file is read before. A load of
        // few files takes well under a millisecond, less than what starting
        // a thread would save.
        std::optional<ReadAhead> ahead;
        if (load && toRead.size() >= kFilesWorthReadingAhead)
            ahead.emplace(folder, toRead, cache.has_value());
        for (const std::string& name : names) {
            if (stop.stop_requested()) return finish(LoadResult{false, true, current, {}});
            JoinFolderAndName(folder, name, current);
            const CachedFile* stored = cache ? plan.stored[done] : nullptr;
            if (stored && (!stored->inheritsDate || stored->incomingDate == reader.currentDate)) {
                bool added = true;
                ForEachCachedRecord(*stored, [&](std::string_view record) {
                    added = added && AddRecord(record, reader, out, sink, reason);
                });
                if (!added) {
                    return finish(Failure(
                        current,
                        "ファイル「" + current + "」で読み込みを中止しました（" + reason + "）。"));
                }
                if (stored->hasHeader) reader.currentDate = stored->outgoingDate;
                reader.headers += stored->hasHeader;
                cache->Keep(*stored);
                if (load) out.Files.push_back(name);
                ++done;
                if (progress) progress(done, names.size());
                continue;
            }
            bool opened = false;
            bool read = false;
            std::string_view fileBytes;
            FileStamp stamp;
            // A stored file whose date no longer holds was not planned for
            // reading ahead: it is read here.
            if (ahead && !stored) {
                const ReadAhead::File& file = ahead->Next();
                if (file.error) std::rethrow_exception(file.error);
                read = file.ok;
                opened = file.opened;
                if (!read) reason = file.reason;
                fileBytes = file.bytes;
                stamp = file.stamp;
            } else {
                read = ReadFileBytes(current, bytes, opened, reason, cache ? &stamp : nullptr);
                fileBytes = bytes;
            }
            if (!read) {
                return finish(Failure(current, "ファイル「" + current + "」を" +
                                                   (opened ? "読み込めません" : "開けません") +
                                                   "（" + reason + "）。"));
            }
            if (load) out.Files.push_back(name);
            if (cache) copying.Start();
            if (!ReadTicketBytes(fileBytes, reader, out, target, reason)) {
                return finish(Failure(
                    current,
                    "ファイル「" + current + "」で読み込みを中止しました（" + reason + "）。"));
            }
            if (cache) copying.Keep(*cache, name, stamp);
            ++done;
            if (progress) progress(done, names.size());
        }
        SortConditionLists(out);
        return finish({});
    } catch (const std::bad_alloc&) {
        return Failure(current, "「" + current + "」の読み込み中にメモリが足りなくなりました。");
    } catch (const std::exception& error) {
        return Failure(current, "「" + current + "」を読み込めません（" + error.what() + "）。");
    }
}

}  // namespace

LoadResult ReadListedFiles(const std::string& folder, const std::vector<std::string>& names,
                           LoadedData& out, const LoadProgress& progress, std::stop_token stop,
                           const RecordCacheOptions& cache, std::string_view cacheKey) {
    StoreSink store(out.Records);
    LoadResult result = ReadFiles(folder, names, out, store, ReadFor::Load, progress,
                                  std::move(stop), cache, cacheKey);
    if (result.ok) out.Records.ShrinkToFit();
    return result;
}

LoadResult StreamListedFiles(const std::string& folder, const std::vector<std::string>& names,
                             LoadedData& out, RecordSink& sink, const LoadProgress& progress,
                             std::stop_token stop, const RecordCacheOptions& cache,
                             std::string_view cacheKey) {
    return ReadFiles(folder, names, out, sink, ReadFor::SinglePass, progress, std::move(stop),
                     cache, cacheKey);
}

}  // namespace lomi
