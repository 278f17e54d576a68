#pragma once
// A files port held in memory, for tests: files and folders keyed by their
// Windows path compared without regard to case, as Windows finds them.
#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/WriteBudget.h"
#include "ports/FilesPort.h"

namespace qv {

class MemoryFiles : public FilesPort {
public:
    // Test set-up: a file (its folders are made as needed) or a folder.
    void addFile(const std::string& path, const std::string& contents);
    void addFile(const std::string& path, const std::vector<unsigned char>& contents);
    void addFolder(const std::string& path);  // trailing backslash optional

    bool exists(const std::string& path) const;        // file
    bool folderExists(const std::string& path) const;  // folder (drive roots always)
    // The file's bytes as a string; empty when it does not exist.
    std::string contents(const std::string& path) const;
    // The path as it was spelt when the file was made, or empty.
    std::string storedName(const std::string& path) const;
    std::vector<std::string> allFiles() const;  // stored spellings, sorted by key

    // Faults for tests: a locked path cannot be opened, written, removed or
    // renamed; failWrites makes every write and folder creation fail.
    void lock(const std::string& path, bool locked = true);
    void failWrites(bool fail) { failWrites_ = fail; }
    // A file that reads as usual but cannot be removed, renamed or written
    // over (read-only, or held open by another reader).
    void pin(const std::string& path, bool pinned = true);
    // Writes (writeAll, remove, rename, makeDirectories) spend from budget.
    void setWriteBudget(WriteBudget* budget) { budget_ = budget; }
    // Streams hand out at most this many bytes a read (0: no limit), so
    // readers are tested across buffer boundaries.
    void setReadChunk(std::size_t bytes) { readChunk_ = bytes; }
    // Every path given to openRead, in order.
    const std::vector<std::string>& openLog() const { return openLog_; }

    std::unique_ptr<ByteStream> openRead(const std::string& path) override;
    bool canOpen(const std::string& path) override;
    bool readAll(const std::string& path, std::vector<unsigned char>& bytes,
                 std::size_t maxBytes) override;
    bool writeAll(const std::string& path, const unsigned char* data, std::size_t size) override;
    bool remove(const std::string& path) override;
    bool canRemove(const std::string& path) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool makeDirectories(const std::string& path) override;
    std::vector<FoundEntry> find(const std::string& pattern) override;

    // The lookup key of a path: upper case, '/' as '\', repeated separators,
    // "." segments and a trailing separator dropped, ".." taking the segment
    // before it away (never the drive).
    static std::string key(const std::string& path);

private:
    struct File {
        std::string spelling;
        std::vector<unsigned char> bytes;
    };
    static std::string parentKey(const std::string& key);
    static std::string lastPart(const std::string& path);
    bool parentExists(const std::string& key) const;
    bool isLocked(const std::string& key) const { return locked_.count(key) != 0; }
    bool isFixed(const std::string& key) const { return isLocked(key) || pinned_.count(key) != 0; }
    void spend() {
        if (budget_ != nullptr) budget_->spend();
    }

    std::map<std::string, File> files_;
    std::map<std::string, std::string> folders_;  // key -> spelling
    std::set<std::string> locked_;
    std::set<std::string> pinned_;
    WriteBudget* budget_ = nullptr;
    bool failWrites_ = false;
    std::size_t readChunk_ = 0;
    std::vector<std::string> openLog_;
};

}  // namespace qv
