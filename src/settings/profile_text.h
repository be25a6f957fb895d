#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lomi {

// The private-profile ("INI") format on the bytes of a whole file in code
// page 932, matched the way the Windows narrow profile functions match:
// - CR LF, a lone CR and a lone LF each end a line;
// - a line whose first non-blank byte is '[' and that holds a ']' starts a
//   section, named by the text between '[' and the last ']';
// - a line whose first non-blank byte is ';' is a comment;
// - any other line holding '=' is a key line, the key before the first '=';
// - blanks (spaces, tabs) around section names, keys and values are ignored;
// - names match without regard to the case of ASCII letters, other bytes
//   exactly; the first of duplicate sections and of duplicate keys counts.

// Longest value, in bytes, the reading side hands back.
inline constexpr std::size_t kProfileValueLimit = 254;

// The raw value of the key (blanks around it removed, quotes still on), or
// nothing when the section or the key is missing.
std::optional<std::string> FindProfileValue(std::string_view file, std::string_view section,
                                            std::string_view key);

// What a reader gets for a raw value: a value enclosed in double (or single)
// quotes without them, then cut before its first NUL byte and to
// kProfileValueLimit bytes, never inside a double-byte character.
std::string ProfileValueAsRead(std::string_view raw);

// The file with the key set to value: a key line that exists is rewritten
// in place as key=value (the key spelt as in the file), a missing key is
// added after the last non-blank line of its section, a missing section is
// added at the end. Every other byte stays as it was; lines written end
// with CR LF. value is written as given (see ProfileValueText).
std::string SetProfileValue(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view value);

// Whether a value can be written so that a reader gets exactly it back: no
// line break or NUL byte, and not longer than kProfileValueLimit.
bool ProfileValueRoundTrips(std::string_view value);

// The text to write for a value: the value itself, or enclosed in double
// quotes when blanks around it or quotes of its own would otherwise be
// removed by a reader.
std::string ProfileValueText(std::string_view value);

}  // namespace lomi
