#pragma once

#include <string_view>

namespace lomi {

// The usual form of a record string: 38 ASCII characters whose four payout
// fields (characters 12-29: widths 4, 4, 5 and 5) are each blanks followed
// by digits, and whose filled-slot count (character 30) is a digit. Nearly
// every record of real ticket files has it. The record store notes which
// records do, so that the race filter can read them by fixed byte offsets
// without checking them again.
bool IsPlainRecord(std::string_view record);

}  // namespace lomi
