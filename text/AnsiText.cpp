#include "text/AnsiText.h"

namespace qv {

namespace {
unsigned gCodePage = 1252;

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

void setAnsiCodePage(unsigned codePage) { gCodePage = codePage; }
unsigned ansiCodePage() { return gCodePage; }

bool isLeadByte(unsigned char c) {
    if (gCodePage == 932) return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    return false;
}

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
