// Any bytes decode without loss of what follows a bad byte, and text that
// code page 932 can hold survives encoding and decoding again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/cp932.h"
#include "support/utf32_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = lomi::DecodeCp932(bytes);

    std::u32string chars;
    lomi::DecodeCp932(bytes, chars);
    if (lomi::test::U32ToUtf8(chars) != text) std::abort();
    // Every byte yields at most one character.
    if (chars.size() > bytes.size()) std::abort();

    bool representable = true;
    const std::string encoded = lomi::EncodeCp932(text, &representable);
    const std::string again = lomi::DecodeCp932(encoded);
    if (representable && again != text) std::abort();
    // Encoding what was decoded never changes the number of characters.
    if (lomi::test::Utf8ToU32(again).size() != chars.size()) std::abort();

    // Bytes read as UTF-8 text (the settings and the command line take UTF-8).
    bool ok = true;
    const std::string from_utf8 = lomi::EncodeCp932(bytes, &ok);
    if (ok && lomi::EncodeCp932(lomi::DecodeCp932(from_utf8)) != from_utf8) std::abort();
    return 0;
}
