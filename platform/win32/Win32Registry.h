#pragma once
// The registry port on the real registry: keys under HKEY_CURRENT_USER
// (Windows builds only).
#include "ports/RegistryPort.h"

namespace qv::win {

class Win32Registry : public RegistryPort {
public:
    RegHandle createKey(const std::string& subKey) override;
    void closeKey(RegHandle key) override;
    long setDword(RegHandle key, const std::string& name, std::uint32_t value) override;
    long setString(RegHandle key, const std::string& name, const char* data,
                   std::size_t size) override;
    long queryValue(RegHandle key, const std::string& name, unsigned char* buffer,
                    std::size_t capacity) override;
    long deleteValue(RegHandle key, const std::string& name) override;
};

}  // namespace qv::win
