#include "platform/fake/MemoryFiles.h"

#include <algorithm>
#include <cstring>

#include "text/Utf8Text.h"

namespace qv {

namespace {

class MemoryStream : public ByteStream {
public:
    MemoryStream(std::vector<unsigned char> bytes, std::size_t chunk)
        : bytes_(std::move(bytes)), chunk_(chunk) {}
    std::size_t read(void* buffer, std::size_t size) override {
        std::size_t n = std::min(size, bytes_.size() - pos_);
        if (chunk_ != 0) n = std::min(n, chunk_);
        if (n != 0) std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        return n;
    }

private:
    std::vector<unsigned char> bytes_;
    std::size_t pos_ = 0;
    std::size_t chunk_;
};

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// A drive root ("C:") or nothing: folders that always exist.
bool isRootKey(const std::string& key) {
    return key.empty() || (key.size() == 2 && key[1] == ':');
}

}  // namespace

std::string MemoryFiles::key(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    std::size_t parts = 0;  // segments in out
    std::size_t start = 0;  // where the segment being read begins in path
    const bool rooted = !path.empty() && isSeparator(path[0]);  // keeps its leading '\\'
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !isSeparator(path[i])) continue;
        const std::string part = path.substr(start, i - start);
        start = i + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            // As Windows takes it: the segment before goes, never the drive.
            if (parts > 1) {
                out.erase(out.rfind('\\'));
                --parts;
            }
            continue;
        }
        if (!out.empty() || rooted) out.push_back('\\');
        out += part;
        ++parts;
    }
    out = upperPath(std::move(out));
    return out;
}

std::string MemoryFiles::parentKey(const std::string& key) {
    const auto slash = key.rfind('\\');
    return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

std::string MemoryFiles::lastPart(const std::string& path) {
    std::string trimmed = path;
    while (!trimmed.empty() && isSeparator(trimmed.back())) trimmed.pop_back();
    const auto slash = trimmed.find_last_of("\\/");
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

bool MemoryFiles::parentExists(const std::string& k) const {
    const std::string parent = parentKey(k);
    return isRootKey(parent) || folders_.count(parent) != 0;
}

void MemoryFiles::addFolder(const std::string& path) {
    std::string k = key(path);
    // Make every folder above it too, keeping the spelling given.
    std::string spelling = path;
    while (!spelling.empty() && isSeparator(spelling.back())) spelling.pop_back();
    while (!isRootKey(k)) {
        if (!folders_.count(k)) folders_[k] = spelling;
        k = parentKey(k);
        const auto slash = spelling.find_last_of("\\/");
        spelling = slash == std::string::npos ? std::string() : spelling.substr(0, slash);
    }
}

void MemoryFiles::addFile(const std::string& path, const std::string& contents) {
    addFile(path, std::vector<unsigned char>(contents.begin(), contents.end()));
}

void MemoryFiles::addFile(const std::string& path, const std::vector<unsigned char>& contents) {
    const std::string k = key(path);
    const auto slash = path.find_last_of("\\/");
    if (slash != std::string::npos) addFolder(path.substr(0, slash));
    files_[k] = File{path, contents};
}

bool MemoryFiles::exists(const std::string& path) const { return files_.count(key(path)) != 0; }

bool MemoryFiles::folderExists(const std::string& path) const {
    const std::string k = key(path);
    return isRootKey(k) || folders_.count(k) != 0;
}

std::string MemoryFiles::contents(const std::string& path) const {
    const auto it = files_.find(key(path));
    if (it == files_.end()) return std::string();
    return std::string(it->second.bytes.begin(), it->second.bytes.end());
}

std::string MemoryFiles::storedName(const std::string& path) const {
    const auto it = files_.find(key(path));
    return it == files_.end() ? std::string() : it->second.spelling;
}

std::vector<std::string> MemoryFiles::allFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : files_) names.push_back(entry.second.spelling);
    return names;
}

void MemoryFiles::lock(const std::string& path, bool locked) {
    if (locked)
        locked_.insert(key(path));
    else
        locked_.erase(key(path));
}

void MemoryFiles::pin(const std::string& path, bool pinned) {
    if (pinned)
        pinned_.insert(key(path));
    else
        pinned_.erase(key(path));
}

std::unique_ptr<ByteStream> MemoryFiles::openRead(const std::string& path) {
    openLog_.push_back(path);
    const std::string k = key(path);
    const auto it = files_.find(k);
    if (it == files_.end() || isLocked(k)) return nullptr;
    return std::make_unique<MemoryStream>(it->second.bytes, readChunk_);
}

bool MemoryFiles::canOpen(const std::string& path) {
    const std::string k = key(path);
    return files_.count(k) != 0 && !isLocked(k);
}

bool MemoryFiles::readAll(const std::string& path, std::vector<unsigned char>& bytes,
                          std::size_t maxBytes) {
    bytes.clear();
    const std::string k = key(path);
    const auto it = files_.find(k);
    if (it == files_.end() || isLocked(k) || it->second.bytes.size() > maxBytes) return false;
    bytes = it->second.bytes;
    return true;
}

bool MemoryFiles::writeAll(const std::string& path, const unsigned char* data, std::size_t size) {
    spend();
    const std::string k = key(path);
    if (failWrites_ || isFixed(k) || k.empty() || folders_.count(k) || !parentExists(k))
        return false;
    auto it = files_.find(k);
    std::vector<unsigned char> bytes(data, data + size);
    if (it != files_.end()) {
        it->second.bytes = std::move(bytes);  // an existing file keeps its spelling
    } else {
        files_[k] = File{path, std::move(bytes)};
    }
    return true;
}

bool MemoryFiles::remove(const std::string& path) {
    spend();
    const std::string k = key(path);
    if (isFixed(k)) return false;
    return files_.erase(k) != 0;
}

bool MemoryFiles::canRemove(const std::string& path) {
    const std::string k = key(path);
    return files_.count(k) == 0 || !isFixed(k);
}

bool MemoryFiles::rename(const std::string& from, const std::string& to) {
    const std::string fromKey = key(from);
    const std::string toKey = key(to);
    spend();
    if (failWrites_ || isFixed(fromKey) || isFixed(toKey)) return false;
    const auto it = files_.find(fromKey);
    if (it == files_.end() || !parentExists(toKey) || folders_.count(toKey)) return false;
    if (fromKey == toKey) {
        it->second.spelling = to;  // a change of case only
        return true;
    }
    if (files_.count(toKey)) return false;  // never replaces a file
    File moved = std::move(it->second);
    files_.erase(it);
    moved.spelling = to;
    files_[toKey] = std::move(moved);
    return true;
}

bool MemoryFiles::makeDirectories(const std::string& path) {
    spend();
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return false;
    const std::string folder = path.substr(0, slash);
    // A file in the way of any folder on the path makes it fail.
    for (std::string k = key(folder); !isRootKey(k); k = parentKey(k))
        if (files_.count(k)) return false;
    if (isRootKey(key(folder))) return true;
    if (failWrites_) return false;
    addFolder(folder);
    return true;
}

std::vector<FoundEntry> MemoryFiles::find(const std::string& pattern) {
    const auto slash = pattern.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash);
    const std::string namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    const std::string folderKey = key(folder);
    std::vector<FoundEntry> found;
    if (!isRootKey(folderKey) && !folders_.count(folderKey)) return found;
    if (!isRootKey(folderKey)) {
        for (const char* dot : {".", ".."})
            if (wildcardMatch(namePattern, dot)) found.push_back(FoundEntry{dot, true});
    }
    // Maps are sorted by key, so entries come in name order.
    std::vector<std::pair<std::string, FoundEntry>> entries;
    for (const auto& f : folders_)
        if (parentKey(f.first) == folderKey)
            entries.push_back({f.first, FoundEntry{lastPart(f.second), true}});
    for (const auto& f : files_)
        if (parentKey(f.first) == folderKey)
            entries.push_back({f.first, FoundEntry{lastPart(f.second.spelling), false}});
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& e : entries)
        if (wildcardMatch(namePattern, e.second.name)) found.push_back(std::move(e.second));
    return found;
}

}  // namespace qv
