#include "analysis/grouped_tally.h"

#include <array>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "tally/race_filter.h"
#include "tally/saturating.h"
#include "tally/utf8_chars.h"

namespace lomi {
namespace {

// The group of each key. Keys of usual records are ASCII bytes at fixed
// places, looked up without building a text: one- and two-byte keys in a
// table indexed by the bytes, longer ones (dates) through the last key met
// (records of one file share their date) and then a map of packed bytes.
// The texts are the authority, so a usual and an odd record with the same
// field text meet in one group.
class GroupIndex {
public:
    GroupIndex(record::Field field, FieldGroups& groups) : field_(field), groups_(groups) {
        if (field.width <= 2) shortKeys_ = std::make_unique<std::array<std::int32_t, 1 << 16>>();
        if (shortKeys_) shortKeys_->fill(-1);
    }

    // A usual record: 38 ASCII bytes.
    std::size_t OfPlain(const char* p) {
        const char* key = p + field_.start;
        if (shortKeys_) {
            const std::size_t slot =
                field_.width == 1 ? static_cast<unsigned char>(key[0]) : LoadHalfWord(key);
            std::int32_t& index = (*shortKeys_)[slot];
            if (index < 0) index = static_cast<std::int32_t>(OfText({key, field_.width}));
            return static_cast<std::size_t>(index);
        }
        std::uint64_t packed = 0;
        std::memcpy(&packed, key, field_.width);
        if (packed == lastPacked_ && lastIndex_ >= 0) return static_cast<std::size_t>(lastIndex_);
        auto [it, added] = packedKeys_.try_emplace(packed, 0);
        if (added) it->second = OfText({key, field_.width});
        lastPacked_ = packed;
        lastIndex_ = static_cast<std::int64_t>(it->second);
        return it->second;
    }

    // Any record: the characters of the field, as many as exist.
    std::size_t OfRecord(std::string_view text) {
        return OfText(CharSlice(text, field_.start + 1, field_.width));
    }

private:
    std::size_t OfText(std::string_view key) {
        auto [it, added] = textKeys_.try_emplace(std::string(key), groups_.keys.size());
        if (added) {
            groups_.keys.emplace_back(key);
            groups_.recordCounts.push_back(0);
            groups_.tallies.emplace_back();
        }
        return it->second;
    }

    record::Field field_;
    FieldGroups& groups_;
    std::unique_ptr<std::array<std::int32_t, 1 << 16>> shortKeys_;
    std::unordered_map<std::uint64_t, std::size_t> packedKeys_;
    std::uint64_t lastPacked_ = 0;
    std::int64_t lastIndex_ = -1;
    std::unordered_map<std::string, std::size_t> textKeys_;
};

// group += after - before, field by field.
void AddDifference(TallyAccumulators& group, const TallyAccumulators& after,
                   const TallyAccumulators& before) {
    constexpr std::size_t kSums = sizeof(TallyAccumulators) / sizeof(std::int64_t);
    static_assert(kSums == 10);
    std::int64_t g[kSums], a[kSums], b[kSums];
    std::memcpy(g, &group, sizeof g);
    std::memcpy(a, &after, sizeof a);
    std::memcpy(b, &before, sizeof b);
    for (std::size_t k = 0; k < kSums; ++k) g[k] = SaturatingAdd(g[k], SaturatingSub(a[k], b[k]));
    std::memcpy(&group, g, sizeof g);
}

}  // namespace

FieldGroups TallyByField(const RecordStore& records, const RaceConditions& conditions,
                         record::Field field, bool countAllRecords) {
    FieldGroups groups;
    GroupIndex index(field, groups);
    const RaceFilter filter(conditions);
    const bool none = filter.MatchesNothing();
    records.ForEach([&](std::string_view text, bool plain) {
        const auto groupOf = [&] {
            return plain ? index.OfPlain(text.data()) : index.OfRecord(text);
        };
        std::size_t group = 0;
        if (countAllRecords) {
            group = groupOf();
            ++groups.recordCounts[group];
        }
        RaceOutcome race;
        if (none || !filter.Evaluate(text, plain, race)) return;
        if (!countAllRecords) {
            group = groupOf();
            ++groups.recordCounts[group];
        }
        const TallyAccumulators before = groups.total;
        AddOutcome(groups.total, race);
        AddDifference(groups.tallies[group], groups.total, before);
    });
    return groups;
}

}  // namespace lomi
