#include "data/cp932.h"
#include "support/utf32_text.h"

#include <gtest/gtest.h>

#include <string>

namespace lomi {
namespace {

struct KnownPair {
    std::string bytes;
    char32_t codePoint;
};

// Pairs where code page 932 differs from other Shift-JIS tables, or that
// come from the NEC and IBM extensions.
const KnownPair kKnownPairs[] = {
    {"\x5C", U'\\'},          // backslash, not the yen sign
    {"\x7E", U'~'},           // tilde, not the overline
    {"\xA1", U'\uFF61'},      // first half-width katakana ｡
    {"\xB1", U'\uFF71'},      // ｱ
    {"\xDF", U'\uFF9F'},      // last half-width katakana ﾟ
    {"\x81\x40", U'\u3000'},  // full-width space
    {"\x81\x5F", U'\uFF3C'},  // full-width backslash
    {"\x81\x60", U'\uFF5E'},  // full-width tilde, not the wave dash
    {"\x81\x61", U'\u2225'},  // parallel to
    {"\x81\x7C", U'\uFF0D'},  // full-width minus
    {"\x83\x7C", U'\u30DD'},  // ポ: its trail byte is 0x7C
    {"\x87\x40", U'\u2460'},  // NEC row 13: ①
    {"\x87\x54", U'\u2160'},  // NEC row 13: Ⅰ
    {"\xFA\x40", U'\u2170'},  // IBM extension: ⅰ
    {"\xFA\x55", U'\uFFE4'},  // IBM extension: ￤
    {"\x8E\x44", U'\u672D'},  // 札
    {"\x94\x4E", U'\u5E74'},  // 年
    {"\xF0\x40", U'\uE000'},  // first user-defined character
    {"\xF9\xFC", U'\uE757'},  // last user-defined character
    {"\x80", U'\u0080'},      // single bytes that are characters in
    {"\xA0", U'\uF8F0'},      // Windows' table only: 0x80 as itself,
    {"\xFD", U'\uF8F1'},      // the others as private-use characters
    {"\xFE", U'\uF8F2'},     {"\xFF", U'\uF8F3'},
};

TEST(Cp932, DecodesAndEncodesKnownPairs) {
    for (const KnownPair& known : kKnownPairs) {
        std::u32string decoded;
        DecodeCp932(known.bytes, decoded);
        ASSERT_EQ(decoded.size(), 1u)
            << std::hex << int(static_cast<unsigned char>(known.bytes[0]));
        EXPECT_EQ(decoded[0], known.codePoint) << std::hex << int(known.codePoint);

        std::string encoded;
        bool representable = false;
        EncodeCp932(std::u32string(1, known.codePoint), encoded, &representable);
        EXPECT_EQ(encoded, known.bytes) << std::hex << int(known.codePoint);
        EXPECT_TRUE(representable);
    }
}

TEST(Cp932, BytesBelow0x80AreAscii) {
    // The reader relies on this for its fast path over ASCII lines.
    for (int b = 0; b < 0x80; ++b) {
        std::u32string decoded;
        DecodeCp932(std::string(1, static_cast<char>(b)), decoded);
        ASSERT_EQ(decoded, std::u32string(1, static_cast<char32_t>(b))) << b;
    }
}

TEST(Cp932, DuplicateCharactersEncodeToOneSequence) {
    // The NEC and IBM rows repeat some characters; each decodes to the same
    // code point, which encodes as Windows writes it.
    EXPECT_EQ(DecodeCp932("\x87\x90"), DecodeCp932("\x81\xE0"));  // ≒
    EXPECT_EQ(EncodeCp932("≒"), "\x81\xE0");
    EXPECT_EQ(DecodeCp932("\xEE\xEF"), "ⅰ");
    EXPECT_EQ(EncodeCp932("ⅰ"), "\xFA\x40");
    EXPECT_EQ(DecodeCp932("\xEE\xF9"), "￢");
    EXPECT_EQ(DecodeCp932("\xFA\x54"), "￢");
    EXPECT_EQ(EncodeCp932("￢"), "\x81\xCA");
    EXPECT_EQ(DecodeCp932("\xED\x40"), "\u7E8A");  // NEC-selected IBM row
    EXPECT_EQ(EncodeCp932("\u7E8A"), "\xFA\x5C");  // written as the IBM row
}

TEST(Cp932, RoundTripsText) {
    const std::string text = "Kestrava  2001年 札幌11R ｱｲｳ ポ①ⅰ～＼ \\~|";
    bool representable = false;
    const std::string bytes = EncodeCp932(text, &representable);
    EXPECT_TRUE(representable);
    EXPECT_EQ(DecodeCp932(bytes), text);
    EXPECT_EQ(test::U32ToUtf8(test::Utf8ToU32(text)), text);
}

TEST(Cp932, EveryCharacterOfTheTableRoundTrips) {
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = DecodeCp932(bytes);
            if (text.find("\uFFFD") != std::string::npos) continue;
            ++characters;
            const std::string again = EncodeCp932(text);
            ASSERT_EQ(again.size(), 2u) << std::hex << lead << trail;
            EXPECT_EQ(DecodeCp932(again), text) << std::hex << lead << trail;
        }
    }
    // JIS X 0208 with the NEC and IBM extensions and the user-defined area.
    EXPECT_GT(characters, 9000);
}

TEST(Cp932, BadBytesBecomeReplacementCharactersAndDecodingGoesOn) {
    // A lead byte whose next byte cannot be a trail byte: U+FFFD for the lead
    // byte only, the next byte decoded on its own.
    EXPECT_EQ(DecodeCp932("\x81 A"), "\uFFFD A");
    EXPECT_EQ(DecodeCp932("\x83\x0D"), "\uFFFD\r");
    // A lead byte and trail byte that make no character (an empty row).
    EXPECT_EQ(DecodeCp932("\x85\x7C|"), "\uFFFD||");
    // A lone lead byte at the end.
    EXPECT_EQ(DecodeCp932("AB\x81"), "AB\uFFFD");
    EXPECT_EQ(DecodeCp932("\x81"), "\uFFFD");
    // A lead byte followed by another full character.
    EXPECT_EQ(DecodeCp932("\x85\x81\x40"), "\uFFFD\u3000");
    std::u32string points;
    DecodeCp932("\x9F\x7F\x82\xA0", points);
    EXPECT_EQ(points, std::u32string(U"\uFFFD\x7F\u3042"));
    // Bytes that glibc's table has as neither characters nor lead bytes
    // decode as on Windows, on every platform.
    EXPECT_EQ(DecodeCp932("\x80\xA0\xFD\xFE\xFF!"), "\u0080\uF8F0\uF8F1\uF8F2\uF8F3!");
}

TEST(Cp932, AllByteStringsDecodeWithoutLosingBytes) {
    // Every two-byte string decodes to one or two characters, never zero.
    std::u32string points;
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            const std::string bytes{static_cast<char>(first), static_cast<char>(second)};
            DecodeCp932(bytes, points);
            ASSERT_TRUE(points.size() == 1 || points.size() == 2) << first << " " << second;
            // A decoded line encodes to as many bytes as it came from.
            std::string encoded;
            EncodeCp932(points, encoded);
            ASSERT_EQ(encoded.size(), 2u) << first << " " << second;
        }
    }
}

TEST(Cp932, UnrepresentableCharactersBecomeQuestionMarks) {
    bool representable = true;
    EXPECT_EQ(EncodeCp932("a\U0001F600b", &representable), "a?b");
    EXPECT_FALSE(representable);
    EXPECT_EQ(EncodeCp932("\uFFFD", &representable), "?");
    EXPECT_FALSE(representable);
    EXPECT_EQ(EncodeCp932("ä한", &representable), "??");
    EXPECT_FALSE(representable);
    // No best-fit substitutes: the yen sign would read back as a backslash.
    EXPECT_EQ(EncodeCp932("¥‾", &representable), "??");
    EXPECT_FALSE(representable);
    EXPECT_EQ(EncodeCp932("abc", &representable), "abc");
    EXPECT_TRUE(representable);
    EXPECT_EQ(EncodeCp932(std::string_view("\0", 1), &representable), std::string(1, '\0'));
    EXPECT_TRUE(representable);
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(test::Utf8ToU32("a\xFF"
                              "b"),
              U"a\uFFFDb");
    EXPECT_EQ(test::Utf8ToU32("\xE3\x81"), U"\uFFFD\uFFFD");
    EXPECT_EQ(test::Utf8ToU32("\xC0\xAF"), U"\uFFFD\uFFFD");            // overlong
    EXPECT_EQ(test::Utf8ToU32("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");  // surrogate
    EXPECT_EQ(test::U32ToUtf8(U"\U0001F600"), "\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace lomi
