#include "data/wide_text.h"

#include "data/cp932.h"

namespace lomi {

std::wstring Utf8ToWide(std::string_view utf8) {
    std::wstring wide;
    wide.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t c = NextUtf8(utf8, pos);
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0x10000) {
                wide.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
                wide.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
                continue;
            }
        }
        wide.push_back(static_cast<wchar_t>(c));
    }
    return wide;
}

std::string WideToUtf8(std::wstring_view wide) {
    std::string utf8;
    utf8.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = static_cast<char32_t>(wide[i]);
        if (c >= 0xD800 && c < 0xE000) {
            const bool paired = c < 0xDC00 && i + 1 < wide.size() &&
                                static_cast<char32_t>(wide[i + 1]) >= 0xDC00 &&
                                static_cast<char32_t>(wide[i + 1]) < 0xE000;
            if (paired) {
                c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(wide[++i]) - 0xDC00);
            } else {
                c = 0xFFFD;
            }
        } else if (c > 0x10FFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(utf8, c);
    }
    return utf8;
}

}  // namespace lomi
