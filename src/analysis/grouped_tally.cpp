#include "analysis/grouped_tally.h"

#include <array>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "data/ascii_run.h"
#include "data/force_inline.h"
#include "tally/plain_sums.h"
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
        packedMask_ =
            field.width >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * field.width)) - 1;
    }

    // A usual record: 38 ASCII bytes.
    LOMI_ALWAYS_INLINE std::size_t OfPlain(const char* p) {
        const char* key = p + field_.start;
        if (shortKeys_) {
            const std::size_t slot =
                field_.width == 1 ? static_cast<unsigned char>(key[0]) : LoadHalfWord(key);
            std::int32_t& index = (*shortKeys_)[slot];
            if (index < 0) index = static_cast<std::int32_t>(OfText({key, field_.width}));
            return static_cast<std::size_t>(index);
        }
        // A usual record has eight bytes from the date's start on.
        const std::uint64_t packed = LoadWord(key) & packedMask_;
        if (packed == lastPacked_ && lastIndex_ >= 0) return static_cast<std::size_t>(lastIndex_);
        auto [it, added] = packedKeys_.try_emplace(packed, 0);
        if (added) it->second = OfText({key, field_.width});
        lastPacked_ = packed;
        lastIndex_ = static_cast<std::int64_t>(it->second);
        return it->second;
    }

    // Any record: the characters of the field, as many as exist.
    std::size_t OfRecord(std::string_view text) {
        // Dashed payout fields and the like: still ASCII where the key is.
        if (text.size() >= record::kChars &&
            IsAsciiBytes(reinterpret_cast<const unsigned char*>(text.data()), record::kChars)) {
            return OfPlain(text.data());
        }
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
    std::uint64_t packedMask_ = 0;
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

// The sums of one group: the usual records' digits summed
// as the tally sums them, the other records' outcomes added one by one.
struct Sums {
    PlainCounts counts;
    PlainSums sums;
    TallyAccumulators tally;
    std::int64_t records = 0;  // grouped records, counted or not

    LOMI_ALWAYS_INLINE void CountPlain(const char* p) { sums.Count(counts, p); }
};

// moved into both sums, field by field.
void AddToBoth(TallyAccumulators& group, TallyAccumulators& total, const TallyAccumulators& moved) {
    constexpr std::size_t kSums = sizeof(TallyAccumulators) / sizeof(std::int64_t);
    std::int64_t g[kSums], t[kSums], m[kSums];
    std::memcpy(g, &group, sizeof g);
    std::memcpy(t, &total, sizeof t);
    std::memcpy(m, &moved, sizeof m);
    for (std::size_t k = 0; k < kSums; ++k) {
        g[k] = SaturatingAdd(g[k], m[k]);
        t[k] = SaturatingAdd(t[k], m[k]);
    }
    std::memcpy(&group, g, sizeof g);
    std::memcpy(&total, t, sizeof t);
}

// The pass, with every record grouped (kCountAll) or only counted races.
// Usual records are summed in their group's digit lanes only; the running
// total takes them when a value that is not whole needs it, and at the end.
// They are whole and not negative, so adding them later, group by group,
// gives what adding them one by one would have given.
template <bool kCountAll>
void SplitTally(const RecordStore& records, const RaceFilter& filter, GroupIndex& index,
                FieldGroups& groups) {
    const bool plainRoad = filter.PlainRoad();
    TallyAccumulators& total = groups.total;
    std::vector<Sums> split;
    std::vector<std::size_t> pending;  // groups with usual records not yet in the total
    const auto groupOf = [&](std::string_view text, bool plain) LOMI_ALWAYS_INLINE_LAMBDA {
        const std::size_t group = plain ? index.OfPlain(text.data()) : index.OfRecord(text);
        if (group == split.size()) split.emplace_back();
        ++split[group].records;
        return group;
    };
    // Each group settled here has counted a record since the last time, so
    // the settling costs no more than the records themselves.
    const auto settle = [&] {
        for (const std::size_t group : pending) {
            Sums& sums = split[group];
            TallyAccumulators moved;
            sums.sums.MoveInto(sums.counts, moved);
            AddToBoth(sums.tally, total, moved);
        }
        pending.clear();
    };
    records.ForEach([&](std::string_view text, bool plain) LOMI_ALWAYS_INLINE_LAMBDA {
        std::size_t group = kCountAll ? groupOf(text, plain) : 0;
        if (plain && plainRoad) {
            // The race filter's fast road, and the tally's.
            if (!filter.MatchesPlain(text.data())) return;
            if (!kCountAll) group = groupOf(text, plain);
            Sums& sums = split[group];
            if (sums.counts.races == 0) pending.push_back(group);
            sums.CountPlain(text.data());
            return;
        }
        RaceOutcome race;
        if (!filter.Evaluate(text, plain, race)) return;
        if (!kCountAll) group = groupOf(text, plain);
        if (race.whole) {
            AddOutcome(total, race);
            AddOutcome(split[group].tally, race);
            return;
        }
        // A value that is not whole is rounded on the running total: the
        // group takes what it added there.
        settle();
        const TallyAccumulators before = total;
        AddOutcome(total, race);
        AddDifference(split[group].tally, total, before);
    });
    settle();
    for (std::size_t i = 0; i < split.size(); ++i) {
        groups.tallies[i] = split[i].tally;
        groups.recordCounts[i] = split[i].records;
    }
}

}  // namespace

FieldGroups TallyByField(const RecordStore& records, const RaceConditions& conditions,
                         record::Field field, bool countAllRecords) {
    FieldGroups groups;
    GroupIndex index(field, groups);
    const RaceFilter filter(conditions);
    if (countAllRecords) {
        SplitTally<true>(records, filter, index, groups);
    } else if (!filter.MatchesNothing()) {
        SplitTally<false>(records, filter, index, groups);
    }
    return groups;
}

}  // namespace lomi
