#include "settings/RegistryKey.h"

#include <algorithm>
#include <vector>

#include "text/Utf8Text.h"

namespace qv {

RegistryKey::~RegistryKey() { Close(); }

void RegistryKey::Open(const std::string& subKey) {
    Close();
    keyPath_ = subKey;
    key_ = registry_.createKey(subKey);
}

void RegistryKey::Close() {
    if (key_ != nullptr) {
        registry_.closeKey(key_);
        key_ = nullptr;
    }
}

long RegistryKey::SetDword(const std::string& name, std::uint32_t value) {
    if (key_ == nullptr) return kRegInvalidHandle;
    return registry_.setDword(key_, name, value);
}

long RegistryKey::SetString(const std::string& name, const std::string& text) {
    if (key_ == nullptr) return kRegInvalidHandle;
    return registry_.setString(key_, name, text.c_str(), text.size() + 1);
}

long RegistryKey::QueryDword(const std::string& name, std::uint32_t& out) {
    if (key_ == nullptr) return kRegInvalidHandle;
    std::array<unsigned char, 4> buffer{};
    const long status = registry_.queryValue(key_, name, buffer.data(), buffer.size());
    if (status == kRegSuccess)
        out = buffer[0] | (std::uint32_t(buffer[1]) << 8) | (std::uint32_t(buffer[2]) << 16) |
              (std::uint32_t(buffer[3]) << 24);
    return status;
}

long RegistryKey::QueryString(const std::string& name, std::string& out) {
    if (key_ == nullptr) return kRegInvalidHandle;
    std::array<unsigned char, kRegStringBytes> buffer{};
    const long status = registry_.queryValue(key_, name, buffer.data(), buffer.size());
    if (status != kRegSuccess) return status;
    // A value that fills the buffer without a zero still ends at its edge.
    const auto end = std::find(buffer.begin(), buffer.end(), 0);
    if (utf16Length(std::string(buffer.begin(), end)) >= kRegStringBuffer) return kRegMoreData;
    out.assign(buffer.begin(), end);
    return status;
}

long RegistryKey::QueryLongString(const std::string& name, std::string& out, std::size_t maxBytes) {
    if (key_ == nullptr) return kRegInvalidHandle;
    std::vector<unsigned char> buffer(maxBytes + 1, 0);
    const long status = registry_.queryValue(key_, name, buffer.data(), maxBytes);
    if (status != kRegSuccess) return status;
    out.assign(reinterpret_cast<const char*>(buffer.data()));
    return status;
}

long RegistryKey::deleteValue(const std::string& name) {
    if (key_ == nullptr) return kRegInvalidHandle;
    return registry_.deleteValue(key_, name);
}

}  // namespace qv
