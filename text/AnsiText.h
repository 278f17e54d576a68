#pragma once
// Letter case in the system's ANSI code page, as the multibyte string
// functions of the platform treat it: only single-byte ASCII letters change;
// in a double-byte code page (932, 936, 949, 950, 1361) the trail byte of a
// pair, which may look like an ASCII letter, is never touched.
#include <cstddef>
#include <string>

namespace qv {

// 1252 unless the Windows adapter tells otherwise at start-up. Takes the
// lead bytes of the double-byte code pages it knows (932, 936, 949, 950,
// 1361); every other code page is single-byte until setAnsiLeadByteRanges.
void setAnsiCodePage(unsigned codePage);
unsigned ansiCodePage();

// The lead bytes as the system reports them for the current code page:
// pairs of first and last byte, at most count bytes, ending early at a pair
// of zeros.
void setAnsiLeadByteRanges(const unsigned char* pairs, std::size_t count);

// True when byte c starts a two-byte character in the current code page.
bool isLeadByte(unsigned char c);

void makeUpperAnsi(std::string& text);
void makeLowerAnsi(std::string& text);
std::string upperAnsi(std::string text);
std::string lowerAnsi(std::string text);

// Case-insensitive equality of whole strings, multibyte-aware.
bool equalsNoCaseAnsi(const std::string& a, const std::string& b);

// Position of needle in haystack at or after position from, or npos.
std::size_t findAnsi(const std::string& haystack, const std::string& needle, std::size_t from = 0);

}  // namespace qv
