#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/ranked_part.h"
#include "data/ticket_reader.h"
#include "tally/figures.h"
#include "tally/race_filter.h"

namespace lomi {

// One pattern's records summed as the reader hands them over, into the
// part before the split date and the part from it; nothing of a record is
// kept, so memory holds a pattern's race days, never its records.
class PatternSums final : public RecordSink {
public:
    // split: YYYYMMDD, empty for one part; both are kept by reference.
    PatternSums(const RaceFilter& filter, const std::string& split);

    void Add(std::string_view text) override;

    // The parts' figures; later only with a split.
    void Finish(RankedPart& earlier, std::optional<RankedPart>& later);

    // The running sums of one part.
    struct Part {
        std::int64_t records = 0;
        TallyAccumulators tally;
        std::vector<RaceDaySums> days;  // the last one still filling
        TallyAccumulators dayStart;     // the tally when the last day began
        bool ordered = true;            // dates never went back: days are in order

        // The last day's sums: what the tally grew by since it began. Taken
        // once a day, so that a record costs no more than a look at its date.
        void CloseDay();
    };

private:
    const RaceFilter& filter_;
    const std::string& split_;
    Part parts_[2];
};

}  // namespace lomi
