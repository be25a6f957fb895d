#pragma once

#include <string>
#include <string_view>

namespace lomi {

// UTF-8 and the wide strings of the Windows API (UTF-16 there; UTF-32
// where wchar_t has 32 bits). Malformed UTF-8 and unpaired surrogates
// become U+FFFD, as in the rest of the core.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace lomi
