#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/program_state.h"
#include "data/record_layout.h"
#include "data/record_store.h"
#include "tally/race_conditions.h"

namespace lomi {

// One pass of the race filter over a store, its sums split by the text of
// one record field (characters start .. start + width - 1, as many as the
// record has). The groups appear in order of first appearance.
//
// Each counted race adds to its group what it added to the running total
// of the whole tally, so the groups add up to that total exactly, also
// where a fractional payout field is rounded on the running total (only
// sums at the limits of 64 bits, which absurd fields such as 9e99 reach,
// can make them differ). With whole payout fields (nearly all) a group's
// sums are also those of a tally restricted to the group's records.
struct FieldGroups {
    std::vector<std::string> keys;           // the field's text, UTF-8
    std::vector<std::int64_t> recordCounts;  // records holding the key
    std::vector<TallyAccumulators> tallies;  // their counted races
    TallyAccumulators total;                 // equal to ExtractAndTally's
};

// With countAllRecords, every record has a group and recordCounts sum to
// the store's size; without, only counted races are grouped (and counted).
FieldGroups TallyByField(const RecordStore& records, const RaceConditions& conditions,
                         record::Field field, bool countAllRecords);

}  // namespace lomi
