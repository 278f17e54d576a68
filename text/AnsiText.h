#pragma once
// Letter case in the system's ANSI code page, as the multibyte string
// functions of the platform treat it: only single-byte ASCII letters change;
// in a double-byte code page (932) the trail byte of a pair is never touched.
#include <string>

namespace qv {

// 1252 unless the Windows adapter tells otherwise at start-up.
void setAnsiCodePage(unsigned codePage);
unsigned ansiCodePage();

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
