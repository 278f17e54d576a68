#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <cstring>
#include <limits>
#include <vector>

#include "platform/win32/WideText.h"

namespace qv::win {

namespace {

HKEY asKey(RegHandle key) { return static_cast<HKEY>(key); }

bool isText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The value's type and bytes as stored; the registry may change between the
// size and the read, so a value that grew meanwhile is read again.
LONG readRaw(HKEY key, const wchar_t* name, DWORD& type, std::vector<BYTE>& bytes) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        LONG status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS) return status;
        bytes.assign(size, 0);
        status = RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status == ERROR_SUCCESS) bytes.resize(size);
        return status;
    }
    return ERROR_MORE_DATA;
}

}  // namespace

// Strings go through the wide-character functions: the registry keeps them
// as UTF-16 whichever function wrote them, so what an ANSI build wrote reads
// back the same, and what we write reads back in an ANSI build wherever its
// characters fit the code page.

RegHandle Win32Registry::createKey(const std::string& subKey) {
    const auto wide = toWide(subKey);
    if (!wide) return nullptr;
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, wide->c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                        nullptr);
    return status == ERROR_SUCCESS ? key : nullptr;
}

void Win32Registry::closeKey(RegHandle key) {
    if (key) RegCloseKey(asKey(key));
}

long Win32Registry::setDword(RegHandle key, const std::string& name, std::uint32_t value) {
    if (!key) return ERROR_INVALID_HANDLE;
    const auto wideName = toWide(name);
    if (!wideName) return ERROR_NO_UNICODE_TRANSLATION;
    const DWORD data = value;
    return RegSetValueExW(asKey(key), wideName->c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data);
}

long Win32Registry::setString(RegHandle key, const std::string& name, const char* data,
                              std::size_t size) {
    if (!key) return ERROR_INVALID_HANDLE;
    std::string text(data, size);
    if (!text.empty() && text.back() == '\0') text.pop_back();
    const auto wideName = toWide(name);
    auto wide = toWide(text);
    if (!wideName || !wide) return ERROR_NO_UNICODE_TRANSLATION;
    wide->push_back(L'\0');
    const std::size_t bytes = wide->size() * sizeof(wchar_t);
    if (bytes > std::numeric_limits<DWORD>::max()) return ERROR_INVALID_PARAMETER;
    return RegSetValueExW(asKey(key), wideName->c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wide->c_str()), static_cast<DWORD>(bytes));
}

long Win32Registry::queryValue(RegHandle key, const std::string& name, unsigned char* buffer,
                               std::size_t capacity) {
    if (!key) return ERROR_INVALID_HANDLE;
    const auto wideName = toWide(name);
    if (!wideName) return ERROR_NO_UNICODE_TRANSLATION;
    DWORD type = REG_NONE;
    std::vector<BYTE> raw;
    const LONG status = readRaw(asKey(key), wideName->c_str(), type, raw);
    if (status != ERROR_SUCCESS) return status;
    std::string value(raw.begin(), raw.end());
    if (isText(type)) {
        std::wstring wide(raw.size() / sizeof(wchar_t), L'\0');
        std::memcpy(wide.data(), raw.data(), wide.size() * sizeof(wchar_t));
        auto utf8 = fromWide(wide);
        // A lone surrogate has no UTF-8: such a value reads as unreadable,
        // not as some other text.
        if (!utf8) return ERROR_NO_UNICODE_TRANSLATION;
        value = std::move(*utf8);
    }
    if (value.size() > capacity) {
        // Nothing of a value too long for the buffer is left there.
        if (buffer) std::memset(buffer, 0, capacity);
        return ERROR_MORE_DATA;
    }
    if (buffer && !value.empty()) std::memcpy(buffer, value.data(), value.size());
    return ERROR_SUCCESS;
}

long Win32Registry::deleteValue(RegHandle key, const std::string& name) {
    if (!key) return ERROR_INVALID_HANDLE;
    const auto wideName = toWide(name);
    if (!wideName) return ERROR_NO_UNICODE_TRANSLATION;
    return RegDeleteValueW(asKey(key), wideName->c_str());
}

}  // namespace qv::win
