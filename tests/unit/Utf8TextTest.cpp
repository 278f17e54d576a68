// Paths in UTF-8 and the UTF-16 of the wide-character functions: what a
// Polish, Chinese, Korean or emoji name becomes, what is refused, and the
// ASCII-only case rule.
#include "text/Utf8Text.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

// "ę" U+0119, "写" U+5199, "사" U+C0AC, "🐢" U+1F422 (a surrogate pair).
const std::string kName = "Zdj\xC4\x99" "cia \xE5\x86\x99 \xEC\x82\xAC \xF0\x9F\x90\xA2.jpg";
const std::u16string kWide = u"Zdj\u0119cia \u5199 \uC0AC \U0001F422.jpg";

TEST(Utf8Text, NamesInAnyScriptGoToUtf16AndBack) {
    std::u16string wide;
    ASSERT_TRUE(utf8ToUtf16(kName, wide));
    EXPECT_EQ(wide, kWide);
    ASSERT_EQ(wide.size(), 18u);
    EXPECT_EQ(wide[12], 0xD83D);  // 0x1F422 - 0x10000 = 0x0F422: 0xD800 + 0x3D, 0xDC00 + 0x22
    EXPECT_EQ(wide[13], 0xDC22);
    std::string back;
    ASSERT_TRUE(utf16ToUtf8(wide, back));
    EXPECT_EQ(back, kName);
    // The registry's limits count UTF-16 units: the pair is two.
    EXPECT_EQ(utf16Length(kName), 18u);
}

TEST(Utf8Text, MalformedTextIsRefusedWholeNeverCut) {
    const char* bad[] = {
        "a\x80" "b",              // a continuation byte with no lead
        "photo\xE5\x86",          // cut at the end
        "\xE5\x86" "a",           // cut by an ASCII byte
        "\xC0\xAF",               // overlong "/"
        "\xE0\x80\xAF",           // overlong "/" in three bytes
        "\xED\xA0\x80",           // a surrogate written in UTF-8
        "\xF4\x90\x80\x80",       // U+110000, past the last code point
        "\xF5\x80\x80\x80",       // a lead byte UTF-8 never has
        "\xE9t\xE9.jpg",          // Latin-1, not UTF-8
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        std::u16string wide = u"kept";
        EXPECT_FALSE(utf8ToUtf16(text, wide));
        EXPECT_EQ(wide, u"kept");
    }
    for (const std::u16string& text : {std::u16string(u"a") + char16_t(0xD83D),  // lead at the end
                                       std::u16string(1, char16_t(0xDC22)) + u"a",  // trail first
                                       std::u16string(1, char16_t(0xD83D)) + u"a"}) {
        std::string narrow = "kept";
        EXPECT_FALSE(utf16ToUtf8(text, narrow));
        EXPECT_EQ(narrow, "kept");
    }
    // The edges that are well formed: U+007F, U+0080, U+FFFF, U+10FFFF.
    std::u16string wide;
    EXPECT_TRUE(utf8ToUtf16("\x7F\xC2\x80\xEF\xBF\xBF\xF4\x8F\xBF\xBF", wide));
    EXPECT_EQ(wide, (std::u16string{0x7F, 0x80, 0xFFFF, 0xDBFF, 0xDFFF}));
}

TEST(Utf8Text, OnlyAsciiLettersChangeCase) {
    // "żółw": ż is C5 BC, ó C3 B3, ł C5 82 — none of it changes.
    const std::string turtle = "C:\\\xC5\xBC\xC3\xB3\xC5\x82w \xF0\x9F\x90\xA2.jpg";
    EXPECT_EQ(upperPath(turtle), "C:\\\xC5\xBC\xC3\xB3\xC5\x82W \xF0\x9F\x90\xA2.JPG");
    EXPECT_EQ(lowerPath("PHOTO1.BMP"), "photo1.bmp");
    EXPECT_TRUE(equalsNoCasePath(turtle, upperPath(turtle)));
    // Ż (C5 BB) and ż (C5 BC) are different names to us, as to the ANSI rule.
    EXPECT_FALSE(equalsNoCasePath("\xC5\xBB", "\xC5\xBC"));
}

TEST(Utf8Text, ScriptTextComesFromTheCodePage) {
    setAnsiDecoder(nullptr);  // Windows-1252
    EXPECT_EQ(ansiToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(ansiToUtf8("\x80"), "\xE2\x82\xAC");  // the euro sign
    EXPECT_EQ(ansiToUtf8("\x81"), "\xEF\xBF\xBD");  // none in 1252: U+FFFD
    setAnsiDecoder([](const std::string&) { return std::string("decoded"); });
    EXPECT_EQ(ansiToUtf8("plain.bmp"), "plain.bmp");  // ASCII is not decoded
    EXPECT_EQ(ansiToUtf8("\xE9"), "decoded");
    setAnsiDecoder(nullptr);
}

}  // namespace
}  // namespace qv
