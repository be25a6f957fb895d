#pragma once

#include <string>
#include <string_view>

namespace lomi {

// Whether a file name matches a mask: '*' stands for any run of characters,
// an empty one included; every other character stands for itself, letters
// matching regardless of case (ASCII letters; names are UTF-8).
bool MatchesFileMask(std::string_view name, std::string_view mask);

// The name with ASCII letters upper-cased: the key file names are read in,
// so the order is the one a Windows listing shows, on every platform.
std::string FileOrderKey(std::string_view name);

}  // namespace lomi
