// Letter case in the double-byte code pages: a trail byte that looks like an
// ASCII letter belongs to its pair and never changes case.
#include "text/AnsiText.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

std::string two(unsigned char first, char second) { return std::string(1, static_cast<char>(first)) + second; }

struct CodePage {
    unsigned number;
    unsigned char lead;      // a lead byte of the code page
    unsigned char notLead;   // a byte above 0x80 that leads nothing there
};

TEST(AnsiText, TrailBytesKeepTheirCaseInEveryDoubleByteCodePage) {
    // "\x81" "a" is one character in 932, 936, 949 and 950; "\x84" "a" in
    // 1361, where 0xD5 (between two of its lead ranges) leads nothing. 0xFE
    // leads in 936, 949 and 950 but not in 932.
    for (const CodePage cp : {CodePage{932, 0x81, 0xFE}, CodePage{936, 0xFE, 0x80},
                              CodePage{949, 0x81, 0xFF}, CodePage{950, 0xA4, 0x80},
                              CodePage{1361, 0x84, 0xD5}}) {
        SCOPED_TRACE(cp.number);
        setAnsiCodePage(cp.number);
        const std::string pair = two(cp.lead, 'a');
        EXPECT_EQ(upperAnsi(pair + "b.txt"), pair + "B.TXT");
        EXPECT_EQ(lowerAnsi(two(cp.lead, 'A') + "B"), two(cp.lead, 'A') + "b");
        EXPECT_EQ(upperAnsi(two(cp.notLead, 'a')), two(cp.notLead, 'A'));
        EXPECT_FALSE(equalsNoCaseAnsi(pair, two(cp.lead, 'A')));
        // A match never starts on a trail byte.
        EXPECT_EQ(findAnsi(pair + "a", "a"), 2u);
    }
    // In 1252 every byte is a character of its own.
    setAnsiCodePage(1252);
    EXPECT_EQ(upperAnsi("\x81" "ab"), "\x81" "AB");
    EXPECT_EQ(findAnsi("\x81" "aa", "a"), 1u);
}

TEST(AnsiText, TheSystemsOwnLeadBytesReplaceTheKnownOnes) {
    // A code page the table does not know, with lead bytes 0xA1-0xFE as the
    // system reports them (pairs ending at a pair of zeros).
    setAnsiCodePage(51949);
    EXPECT_EQ(upperAnsi("\xB0" "a"), "\xB0" "A");
    const unsigned char ranges[12] = {0xA1, 0xFE, 0, 0, 0x81, 0x82};
    setAnsiLeadByteRanges(ranges, sizeof ranges);
    EXPECT_EQ(upperAnsi("\xB0" "a"), "\xB0" "a");
    EXPECT_EQ(upperAnsi("\x81" "a"), "\x81" "A");  // past the end mark
    setAnsiCodePage(1252);
}

}  // namespace
}  // namespace qv
