#pragma once
// One open registry key under HKEY_CURRENT_USER. A key that could not be
// opened makes every later operation fail, which callers treat like a
// missing value; nothing here reports to the user.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "ports/RegistryPort.h"

namespace qv {

// Strings of up to 259 characters (UTF-16 units, as the registry counts
// them) are read, with room for their UTF-8 form; a longer value reads as
// missing.
constexpr std::size_t kRegStringBuffer = 260;
constexpr std::size_t kRegStringBytes = 3 * kRegStringBuffer;

class RegistryKey {
public:
    explicit RegistryKey(RegistryPort& registry) : registry_(registry) {}
    virtual ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Keeps subKey as the key path and creates or opens it. Failure is not
    // reported: the key simply stays closed.
    void Open(const std::string& subKey);
    void Close();

    long SetDword(const std::string& name, std::uint32_t value);
    // REG_SZ stored with its terminating zero (length + 1 bytes).
    long SetString(const std::string& name, const std::string& text);
    // On success out receives the value; otherwise it is left alone.
    long QueryDword(const std::string& name, std::uint32_t& out);
    long QueryString(const std::string& name, std::string& out);
    // A string of up to maxBytes bytes (UTF-8), for values of our own that
    // may be longer than a path.
    long QueryLongString(const std::string& name, std::string& out, std::size_t maxBytes);

    bool isOpen() const { return key_ != nullptr; }
    const std::string& keyPath() const { return keyPath_; }

protected:
    long deleteValue(const std::string& name);

private:
    RegistryPort& registry_;
    std::string keyPath_;
    RegHandle key_ = nullptr;
};

}  // namespace qv
