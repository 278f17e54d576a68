#include "platform/fake/MemoryRegistry.h"

#include <algorithm>
#include <cstring>

namespace qv {

MemoryRegistry::MemoryRegistry() = default;
MemoryRegistry::~MemoryRegistry() = default;

std::string MemoryRegistry::lower(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

void MemoryRegistry::put(const std::string& subKey, const std::string& name, std::uint32_t type,
                         const std::vector<unsigned char>& bytes) {
    Key& key = keys_[lower(subKey)];
    if (key.spelling.empty()) key.spelling = subKey;
    key.values[lower(name)] = Value{type, bytes};
}

void MemoryRegistry::putDword(const std::string& subKey, const std::string& name, std::uint32_t value) {
    std::vector<unsigned char> bytes(4);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    put(subKey, name, kRegDwordType, bytes);
}

void MemoryRegistry::putString(const std::string& subKey, const std::string& name, const std::string& text) {
    std::vector<unsigned char> bytes(text.begin(), text.end());
    bytes.push_back(0);
    put(subKey, name, kRegSz, bytes);
}

std::optional<MemoryRegistry::Value> MemoryRegistry::get(const std::string& subKey,
                                                          const std::string& name) const {
    const auto key = keys_.find(lower(subKey));
    if (key == keys_.end()) return std::nullopt;
    const auto value = key->second.values.find(lower(name));
    if (value == key->second.values.end()) return std::nullopt;
    return value->second;
}

std::optional<std::uint32_t> MemoryRegistry::dword(const std::string& subKey, const std::string& name) const {
    const auto value = get(subKey, name);
    if (!value || value->bytes.size() != 4) return std::nullopt;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(value->bytes[i]) << (8 * i);
    return v;
}

std::optional<std::string> MemoryRegistry::text(const std::string& subKey, const std::string& name) const {
    const auto value = get(subKey, name);
    if (!value) return std::nullopt;
    const auto zero = std::find(value->bytes.begin(), value->bytes.end(), 0);
    return std::string(value->bytes.begin(), zero);
}

std::size_t MemoryRegistry::valueCount(const std::string& subKey) const {
    const auto key = keys_.find(lower(subKey));
    return key == keys_.end() ? 0 : key->second.values.size();
}

std::vector<std::string> MemoryRegistry::setOrder() const {
    std::vector<std::string> names;
    for (const Change& change : changes_)
        if (change.kind == Change::Set) names.push_back(change.name);
    return names;
}

RegHandle MemoryRegistry::createKey(const std::string& subKey) {
    if (failCreate_) return nullptr;
    Key& key = keys_[lower(subKey)];
    if (key.spelling.empty()) key.spelling = subKey;
    handles_.push_back(std::make_unique<Open>(Open{lower(subKey)}));
    ++openHandles_;
    return handles_.back().get();
}

void MemoryRegistry::closeKey(RegHandle handle) {
    const auto it = std::find_if(handles_.begin(), handles_.end(),
                                 [handle](const std::unique_ptr<Open>& open) { return open.get() == handle; });
    if (it == handles_.end()) return;
    handles_.erase(it);
    --openHandles_;
}

MemoryRegistry::Key* MemoryRegistry::keyOf(RegHandle handle) {
    for (const auto& open : handles_)
        if (open.get() == handle) {
            const auto key = keys_.find(open->keyName);
            return key == keys_.end() ? nullptr : &key->second;
        }
    return nullptr;
}

long MemoryRegistry::store(RegHandle handle, const std::string& name, Value value) {
    if (budget_ != nullptr) budget_->spend();
    Key* key = keyOf(handle);
    if (key == nullptr) return kRegInvalidHandle;
    if (!failSet_.empty() && lower(name) == failSet_) return 5;  // ERROR_ACCESS_DENIED
    changes_.push_back(Change{Change::Set, key->spelling, name, value});
    key->values[lower(name)] = std::move(value);
    return kRegSuccess;
}

long MemoryRegistry::setDword(RegHandle handle, const std::string& name, std::uint32_t value) {
    Value v{kRegDwordType, std::vector<unsigned char>(4)};
    for (int i = 0; i < 4; ++i) v.bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    return store(handle, name, std::move(v));
}

long MemoryRegistry::setString(RegHandle handle, const std::string& name, const char* data, std::size_t size) {
    Value v{kRegSz, std::vector<unsigned char>(size)};
    if (size > 0) std::memcpy(v.bytes.data(), data, size);
    return store(handle, name, std::move(v));
}

long MemoryRegistry::queryValue(RegHandle handle, const std::string& name, unsigned char* buffer,
                                std::size_t capacity) {
    Key* key = keyOf(handle);
    if (key == nullptr) return kRegInvalidHandle;
    const auto value = key->values.find(lower(name));
    if (value == key->values.end()) return kRegNotFound;
    const std::vector<unsigned char>& bytes = value->second.bytes;
    if (bytes.size() > capacity) return kRegMoreData;
    if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
    return kRegSuccess;
}

long MemoryRegistry::deleteValue(RegHandle handle, const std::string& name) {
    if (budget_ != nullptr) budget_->spend();
    Key* key = keyOf(handle);
    if (key == nullptr) return kRegInvalidHandle;
    if (!failDelete_.empty() && lower(name) == failDelete_) return 5;  // ERROR_ACCESS_DENIED
    const auto value = key->values.find(lower(name));
    if (value == key->values.end()) return kRegNotFound;
    key->values.erase(value);
    changes_.push_back(Change{Change::Delete, key->spelling, name, Value{}});
    return kRegSuccess;
}

}  // namespace qv
