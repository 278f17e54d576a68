#include "tools/qvtool/Json.h"

#include <cstdio>

#include "text/Utf8Text.h"

namespace qv::tool {

std::string jsonString(const std::string& text) {
    // Texts are UTF-8; one that is not (a stray byte) is written byte by
    // byte as Latin-1, so nothing is lost from the record.
    std::u16string units;
    if (!utf8ToUtf16(text, units))
        for (unsigned char c : text) units += static_cast<char16_t>(c);
    std::string out = "\"";
    for (const char16_t c : units) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char buffer[8];
            (void)std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));  // 6 characters
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace qv::tool
