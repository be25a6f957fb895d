#pragma once

#include <string>
#include <string_view>

namespace lomi {

// Code page 932 (Windows Shift-JIS) conversion. Tables come once from the
// platform's own converter (cp932_table_posix.cpp / cp932_table_win.cpp), so
// the mapping is exactly the one Windows uses.

// Bytes to UTF-8. Every byte that does not begin a valid character becomes
// U+FFFD and decoding goes on with the next byte, so nothing after a bad
// byte is lost: a lead byte whose trail byte does not complete a character
// gives U+FFFD and the trail byte is decoded on its own.
std::string DecodeCp932(std::string_view bytes);

// Bytes to code points, appended to out (cleared first). For hot paths: no
// allocation once out has grown.
void DecodeCp932(std::string_view bytes, std::u32string& out);

// Bytes to UTF-8 appended to out (not cleared).
void AppendDecodedCp932(std::string_view bytes, std::string& out);

// UTF-8 to bytes. A character code page 932 cannot hold becomes '?', as
// Windows writes it; representable is set false when that happened.
// U+FFFD (what a bad byte decodes to) is such a character, so a decoded line
// encodes to as many bytes as it was read from.
std::string EncodeCp932(std::string_view utf8, bool* representable = nullptr);

// Code points to bytes, appended to out (cleared first).
void EncodeCp932(std::u32string_view text, std::string& out, bool* representable = nullptr);

// UTF-8 helpers shared by the core. Malformed UTF-8 gives U+FFFD per bad byte.
void AppendUtf8(std::string& out, char32_t c);

// Decodes the UTF-8 character at utf8[pos], advancing pos past it.
char32_t NextUtf8(std::string_view utf8, std::size_t& pos);

}  // namespace lomi
