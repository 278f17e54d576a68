#include "platform/win32/WideText.h"

#include <windows.h>

#include "text/Utf8Text.h"

namespace qv::win {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");

std::optional<std::wstring> toWide(const std::string& utf8) {
    std::u16string wide;
    if (!utf8ToUtf16(utf8, wide)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return std::nullopt;
    }
    return std::wstring(wide.begin(), wide.end());
}

std::optional<std::string> fromWide(const std::wstring& wide) {
    std::string utf8;
    if (!utf16ToUtf8(std::u16string(wide.begin(), wide.end()), utf8)) return std::nullopt;
    return utf8;
}

std::string ansiToUtf8System(const std::string& ansi) {
    if (ansi.empty()) return ansi;
    const int size = static_cast<int>(ansi.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (units <= 0) return std::string();
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), units);
    // The code page's own characters are whole UTF-16: this cannot fail.
    return fromWide(wide).value_or(std::string());
}

}  // namespace qv::win
