#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <cstring>
#include <limits>

namespace qv::win {

namespace {
HKEY asKey(RegHandle key) { return static_cast<HKEY>(key); }
}  // namespace

RegHandle Win32Registry::createKey(const std::string& subKey) {
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                        nullptr);
    return status == ERROR_SUCCESS ? key : nullptr;
}

void Win32Registry::closeKey(RegHandle key) {
    if (key) RegCloseKey(asKey(key));
}

long Win32Registry::setDword(RegHandle key, const std::string& name, std::uint32_t value) {
    if (!key) return ERROR_INVALID_HANDLE;
    const DWORD data = value;
    return RegSetValueExA(asKey(key), name.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data);
}

long Win32Registry::setString(RegHandle key, const std::string& name, const char* data,
                              std::size_t size) {
    if (!key) return ERROR_INVALID_HANDLE;
    if (size > std::numeric_limits<DWORD>::max()) return ERROR_INVALID_PARAMETER;
    return RegSetValueExA(asKey(key), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data), static_cast<DWORD>(size));
}

long Win32Registry::queryValue(RegHandle key, const std::string& name, unsigned char* buffer,
                               std::size_t capacity) {
    if (!key) return ERROR_INVALID_HANDLE;
    if (capacity > std::numeric_limits<DWORD>::max()) return ERROR_INVALID_PARAMETER;
    DWORD size = static_cast<DWORD>(capacity);
    const LONG status = RegQueryValueExA(asKey(key), name.c_str(), nullptr, nullptr, buffer, &size);
    // A value too long for the buffer may have left part of itself there;
    // wipe it so nobody mistakes it for a value.
    if (status == ERROR_MORE_DATA && buffer) std::memset(buffer, 0, capacity);
    return status;
}

long Win32Registry::deleteValue(RegHandle key, const std::string& name) {
    if (!key) return ERROR_INVALID_HANDLE;
    return RegDeleteValueA(asKey(key), name.c_str());
}

}  // namespace qv::win
