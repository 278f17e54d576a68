#pragma once
// JSON text for qvtool's one-object-a-line output.
#include <string>

namespace qv::tool {

// A quoted JSON string. Script text is ANSI, not UTF-8: every byte from 0x7F
// up (and every control byte) is written as \u00XX, one escape per byte.
std::string jsonString(const std::string& text);

}  // namespace qv::tool
