#pragma once
// The registry port: the few registry calls the settings store makes, all on
// keys under HKEY_CURRENT_USER. Results are the platform's status codes,
// passed up unchanged (0 success).
#include <cstddef>
#include <cstdint>
#include <string>

namespace qv {

// Status codes as the platform reports them.
constexpr long kRegSuccess = 0;        // ERROR_SUCCESS
constexpr long kRegNotFound = 2;       // ERROR_FILE_NOT_FOUND
constexpr long kRegInvalidHandle = 6;  // ERROR_INVALID_HANDLE
constexpr long kRegMoreData = 234;     // ERROR_MORE_DATA: the value does not fit the buffer

// An open key; nullptr while closed. The Windows adapter stores an HKEY here.
using RegHandle = void*;

class RegistryPort {
public:
    virtual ~RegistryPort() = default;

    // Creates or opens subKey under HKEY_CURRENT_USER with full access;
    // nullptr when that fails.
    virtual RegHandle createKey(const std::string& subKey) = 0;
    virtual void closeKey(RegHandle key) = 0;

    // REG_DWORD, 4 bytes.
    virtual long setDword(RegHandle key, const std::string& name, std::uint32_t value) = 0;

    // REG_SZ with exactly size bytes of data taken from data: the caller
    // decides whether the terminating zero is part of the value.
    virtual long setString(RegHandle key, const std::string& name, const char* data,
                           std::size_t size) = 0;

    // Reads the value's raw bytes into buffer (capacity bytes; the caller
    // clears it first); the stored type is not looked at. Bytes beyond the
    // value's size stay as they were. A value longer than capacity fails with
    // kRegMoreData and leaves nothing the caller may use.
    virtual long queryValue(RegHandle key, const std::string& name, unsigned char* buffer,
                            std::size_t capacity) = 0;

    virtual long deleteValue(RegHandle key, const std::string& name) = 0;
};

}  // namespace qv
