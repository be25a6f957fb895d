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
                            const LoadProgress& progress, std::stop_token stop) {
    std::string current = folder;
    try {
        out = LoadedData();
        std::string reason;
        const auto names = ListPatternFiles(folder, mask, &reason);
        if (!names) {
            return Failure(current,
                           "フォルダー「" + current + "」の中を読めません（" + reason + "）。");
        }
        // The files found by the existence test can be gone by now; loading
        // nothing would throw away the data on show for a pattern that has none.
        if (names->empty()) {
            return Failure(current, "フォルダー「" + current + "」に「" + mask +
                                        "」に合うファイルがありません。");
        }
        return ReadListedFiles(folder, *names, out, progress, stop);
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

// The files of names read one by one into out, their records to sink.
LoadResult ReadFiles(const std::string& folder, const std::vector<std::string>& names,
                     LoadedData& out, RecordSink& sink, ReadFor purpose,
                     const LoadProgress& progress, std::stop_token stop) {
    const bool load = purpose == ReadFor::Load;
    std::string current = folder;
    try {
        out = LoadedData();
        TicketReaderState reader;
        std::string bytes;
        std::string reason;
        std::size_t done = 0;
        if (progress) progress(0, names.size());
        // Started once the load has begun: no file is read before. A load of
        // few files takes well under a millisecond, less than what starting
        // a thread would save.
        std::optional<ReadAhead> ahead;
        if (load && names.size() >= kFilesWorthReadingAhead) ahead.emplace(folder, names);
        for (const std::string& name : names) {
            if (stop.stop_requested()) return LoadResult{false, true, current, {}};
            JoinFolderAndName(folder, name, current);
            bool opened = false;
            bool read = false;
            std::string_view fileBytes;
            if (ahead) {
                const ReadAhead::File& file = ahead->Next();
                if (file.error) std::rethrow_exception(file.error);
                read = file.ok;
                opened = file.opened;
                if (!read) reason = file.reason;
                fileBytes = file.bytes;
            } else {
                read = ReadFileBytes(current, bytes, opened, reason);
                fileBytes = bytes;
            }
            if (!read) {
                return Failure(current, "ファイル「" + current + "」を" +
                                            (opened ? "読み込めません" : "開けません") + "（" +
                                            reason + "）。");
            }
            if (load) out.Files.push_back(name);
            if (!ReadTicketBytes(fileBytes, reader, out, sink, reason)) {
                return Failure(current, "ファイル「" + current + "」で読み込みを中止しました（" +
                                            reason + "）。");
            }
            ++done;
            if (progress) progress(done, names.size());
        }
        SortConditionLists(out);
        return {};
    } catch (const std::bad_alloc&) {
        return Failure(current, "「" + current + "」の読み込み中にメモリが足りなくなりました。");
    } catch (const std::exception& error) {
        return Failure(current, "「" + current + "」を読み込めません（" + error.what() + "）。");
    }
}

}  // namespace

LoadResult ReadListedFiles(const std::string& folder, const std::vector<std::string>& names,
                           LoadedData& out, const LoadProgress& progress, std::stop_token stop) {
    StoreSink store(out.Records);
    LoadResult result =
        ReadFiles(folder, names, out, store, ReadFor::Load, progress, std::move(stop));
    if (result.ok) out.Records.ShrinkToFit();
    return result;
}

LoadResult StreamListedFiles(const std::string& folder, const std::vector<std::string>& names,
                             LoadedData& out, RecordSink& sink, const LoadProgress& progress,
                             std::stop_token stop) {
    return ReadFiles(folder, names, out, sink, ReadFor::SinglePass, progress, std::move(stop));
}

}  // namespace lomi
