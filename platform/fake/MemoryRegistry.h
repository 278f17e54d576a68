#pragma once
// A registry held in memory, for tests: keys under HKEY_CURRENT_USER with
// their values as raw bytes and a type, names compared without regard to
// case as the registry does, and a log of every write and deletion in order.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/WriteBudget.h"
#include "ports/RegistryPort.h"

namespace qv {

constexpr std::uint32_t kRegSz = 1;     // REG_SZ
constexpr std::uint32_t kRegBinary = 3; // REG_BINARY
constexpr std::uint32_t kRegDwordType = 4;  // REG_DWORD

class MemoryRegistry : public RegistryPort {
public:
    struct Value {
        std::uint32_t type = 0;
        std::vector<unsigned char> bytes;
    };
    struct Change {
        enum Kind { Set, Delete } kind;
        std::string key;   // sub-key as given to createKey
        std::string name;
        Value value;       // what was stored (empty for a deletion)
    };

    MemoryRegistry();
    ~MemoryRegistry() override;

    // Test set-up and inspection, by sub-key and value name.
    void put(const std::string& subKey, const std::string& name, std::uint32_t type,
             const std::vector<unsigned char>& bytes);
    void putDword(const std::string& subKey, const std::string& name, std::uint32_t value);
    void putString(const std::string& subKey, const std::string& name, const std::string& text);  // with its zero
    std::optional<Value> get(const std::string& subKey, const std::string& name) const;
    bool has(const std::string& subKey, const std::string& name) const { return get(subKey, name).has_value(); }
    // A REG_DWORD's value; nullopt when missing or not 4 bytes.
    std::optional<std::uint32_t> dword(const std::string& subKey, const std::string& name) const;
    // A string value's text up to its first zero; nullopt when missing.
    std::optional<std::string> text(const std::string& subKey, const std::string& name) const;
    std::size_t valueCount(const std::string& subKey) const;

    const std::vector<Change>& changes() const { return changes_; }
    void clearChanges() { changes_.clear(); }
    // Names of the values set, in order ("photo_num", "photo1", ...).
    std::vector<std::string> setOrder() const;

    // Faults: key creation fails; deleting or setting a given value name fails.
    void failCreate(bool fail) { failCreate_ = fail; }
    void failDeleteOf(const std::string& name) { failDelete_ = lower(name); }
    void failSetOf(const std::string& name) { failSet_ = lower(name); }
    int openHandles() const { return openHandles_; }
    // Sets and deletions spend from budget.
    void setWriteBudget(WriteBudget* budget) { budget_ = budget; }

    RegHandle createKey(const std::string& subKey) override;
    void closeKey(RegHandle key) override;
    long setDword(RegHandle key, const std::string& name, std::uint32_t value) override;
    long setString(RegHandle key, const std::string& name, const char* data, std::size_t size) override;
    long queryValue(RegHandle key, const std::string& name, unsigned char* buffer,
                    std::size_t capacity) override;
    long deleteValue(RegHandle key, const std::string& name) override;

private:
    struct Key {
        std::string spelling;
        std::map<std::string, Value> values;  // by lower-cased name
    };
    struct Open {
        std::string keyName;  // lower-cased
    };
    static std::string lower(const std::string& text);
    Key* keyOf(RegHandle handle);
    long store(RegHandle handle, const std::string& name, Value value);

    std::map<std::string, Key> keys_;  // by lower-cased sub-key
    std::vector<std::unique_ptr<Open>> handles_;
    std::vector<Change> changes_;
    bool failCreate_ = false;
    std::string failDelete_;
    std::string failSet_;
    int openHandles_ = 0;
    WriteBudget* budget_ = nullptr;
};

}  // namespace qv
