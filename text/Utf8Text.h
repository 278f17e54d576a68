#pragma once
// Paths and file names are held as UTF-8 everywhere in the core; the
// Windows adapters turn them into UTF-16 at their edge and back. Letter case
// in a path follows the file system's ASCII rule, as the ANSI functions did:
// only a to z change, so the bytes of a multibyte character (all 0x80 and
// above) are never touched.
#include <cstddef>
#include <string>

namespace qv {

// UTF-8 to UTF-16 and back. Both refuse what is not well formed (a byte
// that starts nothing, a cut sequence, an overlong form, a surrogate coded
// in UTF-8, a code point past U+10FFFF, a lone surrogate in UTF-16): they
// return false and leave out as it was, never a shortened or altered text.
bool utf8ToUtf16(const std::string& text, std::u16string& out);
bool utf16ToUtf8(const std::u16string& text, std::string& out);

// How many UTF-16 units the UTF-8 text takes (the unit the platform's
// length limits count), reading each lead byte for its sequence.
std::size_t utf16Length(const std::string& text);

std::string upperPath(std::string path);
std::string lowerPath(std::string path);
bool equalsNoCasePath(const std::string& a, const std::string& b);

// A file name against a search pattern as Windows matches them: "*" any run,
// "?" any one byte, letter case by the ASCII rule; a name without a dot
// also matches a pattern ending in "." or ".*" ("*.*" finds "name").
bool wildcardMatch(const std::string& pattern, const std::string& name);

// Text in the system's ANSI code page (scene scripts are written in it) as
// UTF-8. Windows-1252 unless the Windows adapter gives the system's own
// conversion at start-up; bytes the code page cannot take become U+FFFD.
using AnsiDecoder = std::string (*)(const std::string& ansi);
void setAnsiDecoder(AnsiDecoder decoder);
std::string ansiToUtf8(const std::string& ansi);

}  // namespace qv
