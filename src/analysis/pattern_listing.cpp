#include "analysis/pattern_listing.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>

#include "data/file_mask.h"
#include "data/folder_listing.h"

namespace lomi {
namespace {

// "P" + code + ".txt": the shortest name a pattern's mask takes.
constexpr std::size_t kShortestName = 9;
constexpr std::size_t kCodeChars = 4;
constexpr std::string_view kExtension = ".txt";

// The masks and codes of all patterns, built once; a pattern's place is
// its selections counted in selector order.
constexpr std::size_t kPatternCount = 7 * 5 * 7 * 2;
struct PatternNames {
    std::array<std::string, kPatternCount> masks;
    std::array<std::string, kPatternCount> codes;
};

std::size_t PlaceOf(const PatternSelections& s) {
    return ((static_cast<std::size_t>(s.axisIndex - 1) * 5 + (s.axisRank - 1)) * 7 +
            (s.partnerIndex - 1)) *
               2 +
           (s.betStyle - 1);
}

const PatternNames& AllPatternNames() {
    static const PatternNames names = [] {
        PatternNames n;
        for (std::int16_t a = 1; a <= 7; ++a) {
            for (std::int16_t r = 1; r <= 5; ++r) {
                for (std::int16_t b = 1; b <= 7; ++b) {
                    for (std::int16_t s = 1; s <= 2; ++s) {
                        const std::size_t place = PlaceOf({a, r, b, s});
                        n.masks[place] = BuildPatternFileMask(a, r, b, s).value_or("");
                        n.codes[place] = PatternCode(a, r, b, s).value_or("");
                    }
                }
            }
        }
        return n;
    }();
    return names;
}

// The place of the pattern whose code the name carries before its
// extension, if any; whether the name fits that pattern's mask is not tested.
std::optional<std::size_t> PlaceOfCodeIn(std::string_view name) {
    if (name.size() < kShortestName) return std::nullopt;
    const auto selections =
        ParsePatternCode(name.substr(name.size() - kExtension.size() - kCodeChars, kCodeChars));
    if (!selections) return std::nullopt;
    return PlaceOf(*selections);
}

// The place of the pattern whose mask the name fits, if any.
std::optional<std::size_t> PatternOfName(std::string_view name) {
    const auto place = PlaceOfCodeIn(name);
    if (!place || !MatchesFileMask(name, AllPatternNames().masks[*place])) return std::nullopt;
    return place;
}

// Whether a name is worth a closer look: it carries a pattern code before
// its extension. Cheap enough for the thread that reads the folder.
bool CarriesCode(std::string_view name) { return PlaceOfCodeIn(name).has_value(); }

// File names sorted into the patterns whose masks they fit.
class PatternGroups {
public:
    PatternGroups() : byPattern_(kPatternCount) {}

    // A name that fits no pattern's mask is dropped.
    void Add(std::string_view name) {
        if (const auto place = PatternOfName(name)) byPattern_[*place].emplace_back(name);
    }

    // The patterns with files, by code; each pattern's files in reading
    // order when sorted, otherwise as they were added.
    std::vector<PatternFiles> Take(bool sorted) {
        std::vector<PatternFiles> patterns;
        for (std::size_t place = 0; place < kPatternCount; ++place) {
            if (byPattern_[place].empty()) continue;
            if (sorted) SortInReadingOrder(byPattern_[place]);
            const std::string& code = AllPatternNames().codes[place];
            patterns.push_back(
                PatternFiles{code, *ParsePatternCode(code), std::move(byPattern_[place])});
        }
        std::sort(patterns.begin(), patterns.end(),
                  [](const PatternFiles& a, const PatternFiles& b) { return a.code < b.code; });
        return patterns;
    }

private:
    std::vector<std::vector<std::string>> byPattern_;
};

// Batches of names, each name ended by a NUL, passed from the thread that
// reads the folder to the one that groups them.
class NameBatches {
public:
    void Push(std::string batch) {
        {
            const std::lock_guard lock(mutex_);
            batches_.push_back(std::move(batch));
        }
        ready_.notify_one();
    }
    void Close() {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
        }
        ready_.notify_one();
    }
    // False once closed and emptied.
    bool Pop(std::string& batch) {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return closed_ || !batches_.empty(); });
        if (batches_.empty()) return false;
        batch = std::move(batches_.front());
        batches_.pop_front();
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::string> batches_;
    bool closed_ = false;
};

}  // namespace

// This thread reads the folder while a second one matches and groups the
// names, which would otherwise leave every other processor idle until the
// listing ends.
std::optional<std::vector<PatternFiles>> ListPatternFiles(const std::string& folder,
                                                          const LoadProgress& progress,
                                                          const std::stop_token& stop,
                                                          std::string& reason, bool alongside) {
    constexpr std::size_t kBatchBytes = 64 * 1024;
    PatternGroups groups;
    if (!alongside) {
        if (progress) progress(0, 0);
        if (!ForEachPlainFile(
                folder, CarriesCode, [&](std::string_view name) { groups.Add(name); }, reason,
                stop))
            return std::nullopt;
        return groups.Take(false);
    }
    NameBatches batches;
    // What the grouping threw (memory running out), thrown again on this thread.
    std::exception_ptr groupingFailed;
    std::jthread grouper([&] {
        std::string batch;
        try {
            while (batches.Pop(batch)) {
                for (std::size_t at = 0; at < batch.size();) {
                    const std::size_t end = batch.find('\0', at);
                    groups.Add(std::string_view(batch).substr(at, end - at));
                    at = end + 1;
                }
            }
        } catch (...) {
            groupingFailed = std::current_exception();
        }
    });
    // Closed on every way out, so that the grouper ends before it is joined.
    struct Closer {
        NameBatches& batches;
        ~Closer() { batches.Close(); }
    } closer{batches};
    std::string batch;
    std::size_t found = 0;
    if (progress) progress(0, 0);
    const bool listed = ForEachPlainFile(
        folder, CarriesCode,
        [&](std::string_view name) {
            batch.append(name);
            batch.push_back('\0');
            ++found;
            if (batch.size() >= kBatchBytes) {
                batches.Push(std::exchange(batch, {}));
                if (progress) progress(found, 0);
            }
        },
        reason, stop);
    batches.Push(std::move(batch));
    batches.Close();
    grouper.join();
    if (groupingFailed) std::rethrow_exception(groupingFailed);
    if (!listed) return std::nullopt;
    return groups.Take(false);
}

std::vector<PatternFiles> GroupByPattern(const std::vector<std::string>& names) {
    PatternGroups groups;
    for (const std::string& name : names) groups.Add(name);
    return groups.Take(true);
}

}  // namespace lomi
