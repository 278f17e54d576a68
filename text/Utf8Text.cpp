#include "text/Utf8Text.h"

#include <cstdint>

namespace qv {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Windows-1252's characters at 0x80..0x9F; 0 where it has none.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

std::string decodeCp1252(const std::string& ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (const char byte : ansi) {
        const auto c = static_cast<unsigned char>(byte);
        char32_t code = c;
        if (c >= 0x80 && c < 0xA0) code = kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : 0xFFFD;
        appendUtf8(out, code);
    }
    return out;
}

AnsiDecoder gDecoder = decodeCp1252;

}  // namespace

bool utf8ToUtf16(const std::string& text, std::u16string& out) {
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t code = 0;
        char32_t smallest = 0;
        if (lead < 0x80) {
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, code = lead & 0x1F, smallest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, code = lead & 0x0F, smallest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, code = lead & 0x07, smallest = 0x10000;
        } else {
            return false;  // a continuation byte, C0/C1 (always overlong) or F5..FF
        }
        if (text.size() - i <= static_cast<std::size_t>(extra)) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        if (code >= 0x10000) {
            code -= 0x10000;
            result += static_cast<char16_t>(0xD800 + (code >> 10));
            result += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            result += static_cast<char16_t>(code);
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    out = std::move(result);
    return true;
}

bool utf16ToUtf8(const std::u16string& text, std::string& out) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xDC00 && code <= 0xDFFF) return false;  // a trail with no lead
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        appendUtf8(result, code);
    }
    out = std::move(result);
    return true;
}

std::size_t utf16Length(const std::string& text) {
    std::size_t units = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) ++units;  // each start of a character
        if (byte >= 0xF0) ++units;           // four bytes: a surrogate pair
    }
    return units;
}

std::string upperPath(std::string path) {
    for (char& c : path)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return path;
}

std::string lowerPath(std::string path) {
    for (char& c : path)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return path;
}

bool equalsNoCasePath(const std::string& a, const std::string& b) {
    return a.size() == b.size() && upperPath(a) == upperPath(b);
}

void setAnsiDecoder(AnsiDecoder decoder) { gDecoder = decoder ? decoder : decodeCp1252; }

std::string ansiToUtf8(const std::string& ansi) {
    for (const char c : ansi)
        if (static_cast<unsigned char>(c) >= 0x80) return gDecoder(ansi);
    return ansi;  // ASCII is the same in both
}

bool wildcardMatch(const std::string& pattern, const std::string& name) {
    const std::string p = upperPath(pattern);
    const std::string n = upperPath(name);
    // Iterative match with backtracking to the last star.
    auto match = [](const std::string& pat, const std::string& text) {
        std::size_t pi = 0, ti = 0, star = std::string::npos, mark = 0;
        while (ti < text.size()) {
            if (pi < pat.size() && (pat[pi] == '?' || pat[pi] == text[ti])) {
                ++pi;
                ++ti;
            } else if (pi < pat.size() && pat[pi] == '*') {
                star = pi++;
                mark = ti;
            } else if (star != std::string::npos) {
                pi = star + 1;
                ti = ++mark;
            } else {
                return false;
            }
        }
        while (pi < pat.size() && pat[pi] == '*') ++pi;
        return pi == pat.size();
    };
    if (match(p, n)) return true;
    // As on Windows, "name" is found by "*.*" and "name.": to a pattern
    // ending in "." or ".*", a name without a dot ends in one.
    const bool dotEnding = (!p.empty() && p.back() == '.') ||
                           (p.size() >= 2 && p.compare(p.size() - 2, 2, ".*") == 0);
    return dotEnding && n.find('.') == std::string::npos && match(p, n + ".");
}

}  // namespace qv
