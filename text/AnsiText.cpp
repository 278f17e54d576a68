#include "text/AnsiText.h"

#include <bitset>

namespace qv {

namespace {
unsigned gCodePage = 1252;
std::bitset<256> gLeadBytes;

void addLeadBytes(unsigned first, unsigned last) {
    for (unsigned c = first; c <= last && c < 256; ++c) gLeadBytes.set(c);
}

template <typename F>
void mapLetters(std::string& text, F f) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (isLeadByte(c) && i + 1 < text.size()) {
            ++i;  // leave the pair alone
            continue;
        }
        text[i] = static_cast<char>(f(c));
    }
}

unsigned char upperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }
unsigned char lowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }
}  // namespace

void setAnsiCodePage(unsigned codePage) {
    gCodePage = codePage;
    gLeadBytes.reset();
    switch (codePage) {
        case 932:  // Japanese (Shift JIS)
            addLeadBytes(0x81, 0x9F);
            addLeadBytes(0xE0, 0xFC);
            break;
        case 936:  // Simplified Chinese (GBK)
        case 949:  // Korean (Unified Hangul)
        case 950:  // Traditional Chinese (Big5)
            addLeadBytes(0x81, 0xFE);
            break;
        case 1361:  // Korean (Johab)
            addLeadBytes(0x84, 0xD3);
            addLeadBytes(0xD8, 0xDE);
            addLeadBytes(0xE0, 0xF9);
            break;
        default:
            break;
    }
}

unsigned ansiCodePage() { return gCodePage; }

void setAnsiLeadByteRanges(const unsigned char* pairs, std::size_t count) {
    gLeadBytes.reset();
    for (std::size_t i = 0; pairs != nullptr && i + 1 < count; i += 2) {
        if (pairs[i] == 0 && pairs[i + 1] == 0) break;
        addLeadBytes(pairs[i], pairs[i + 1]);
    }
}

bool isLeadByte(unsigned char c) { return gLeadBytes.test(c); }

void makeUpperAnsi(std::string& text) { mapLetters(text, upperAscii); }
void makeLowerAnsi(std::string& text) { mapLetters(text, lowerAscii); }

std::string upperAnsi(std::string text) {
    makeUpperAnsi(text);
    return text;
}

std::string lowerAnsi(std::string text) {
    makeLowerAnsi(text);
    return text;
}

bool equalsNoCaseAnsi(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    return upperAnsi(a) == upperAnsi(b);
}

std::size_t findAnsi(const std::string& haystack, const std::string& needle, std::size_t from) {
    // A match must start on a character boundary, never inside a pair.
    for (std::size_t i = 0; i < haystack.size(); ++i) {
        if (i >= from && haystack.compare(i, needle.size(), needle) == 0 &&
            i + needle.size() <= haystack.size())
            return i;
        if (isLeadByte(static_cast<unsigned char>(haystack[i]))) ++i;
    }
    return needle.empty() && from <= haystack.size() ? from : std::string::npos;
}

}  // namespace qv
