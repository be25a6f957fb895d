#pragma once

#include <string>
#include <string_view>

#include "data/program_state.h"

namespace lomi {

// Adds the record's eight condition values to the lists of data that do not
// hold them yet. Returns false with message set when a count would pass
// 32767 (only the date list can get there).
bool AddConditionValues(std::string_view record, LoadedData& data, std::string& message);

// Numeric lists ascending, the date list descending (empty date last).
void SortConditionLists(LoadedData& data);

}  // namespace lomi
