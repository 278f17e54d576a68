#pragma once
// The core's UTF-8 paths and texts as the UTF-16 the wide-character
// functions take, and back (Windows builds only).
#include <optional>
#include <string>

namespace qv::win {

// Nothing for text that is not well-formed UTF-8; the thread's last error
// is then ERROR_NO_UNICODE_TRANSLATION, so a caller that reports the last
// error tells why.
std::optional<std::wstring> toWide(const std::string& utf8);

// Nothing for UTF-16 with a lone surrogate (a file name can hold one).
std::optional<std::string> fromWide(const std::wstring& wide);

// The system's ANSI code page (GetACP) into UTF-8, as the system converts
// it: never U+FFFD for a byte the code page leaves unassigned, but what the
// system's table says (in 1252 the five unassigned bytes 0x81, 0x8D, 0x8F,
// 0x90 and 0x9D become the control characters of the same number; a broken
// double-byte sequence becomes the code page's default character).
std::string ansiToUtf8System(const std::string& ansi);

}  // namespace qv::win
