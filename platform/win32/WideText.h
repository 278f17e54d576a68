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

// The system's ANSI code page (GetACP) into UTF-8; what it cannot map
// becomes U+FFFD.
std::string ansiToUtf8System(const std::string& ansi);

}  // namespace qv::win
