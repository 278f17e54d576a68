#include "library/LibraryFile.h"

#include <array>
#include <cstring>
#include <unordered_set>

#include "library/FolderListing.h"
#include "text/Utf8Text.h"

namespace qv {

namespace {

// "QVLIBRY" and a byte that ends a text file shown by mistake.
constexpr unsigned char kMagic[8] = {'Q', 'V', 'L', 'I', 'B', 'R', 'Y', 0x1A};
// Magic, version, payload size and the payload's CRC-32.
constexpr std::size_t kHeaderBytes = 8 + 4 + 4 + 4;
// The longest path the wide-character functions take, in UTF-16 units.
constexpr std::size_t kLongestPath = 32767;

constexpr std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}
constexpr auto kCrcTable = makeCrcTable();

void put32(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

void putText(std::vector<unsigned char>& out, const std::string& text) {
    put32(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

std::uint32_t get32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// Reads the payload front to back; every read is checked against its end.
class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : at_(data), end_(data + size) {}
    bool number(std::uint32_t& value) {
        if (left() < 4) return false;
        value = get32(at_);
        at_ += 4;
        return true;
    }
    bool text(std::string& value) {
        std::uint32_t length = 0;
        if (!number(length) || left() < length) return false;
        value.assign(reinterpret_cast<const char*>(at_), length);
        at_ += length;
        return true;
    }
    std::size_t left() const { return static_cast<std::size_t>(end_ - at_); }

private:
    const unsigned char* at_;
    const unsigned char* end_;
};

bool soundText(const std::string& text) {
    std::u16string wide;
    if (!utf8ToUtf16(text, wide) || wide.size() > kLongestPath) return false;
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20) return false;
    return true;
}

// A path inside the folder: no drive, no root, no step up or aside, no part
// empty, no character a Windows name cannot hold.
bool soundRelativePath(const std::string& path) {
    if (path.empty() || !soundText(path) || path.find_first_of(":/*?\"<>|") != std::string::npos) return false;
    std::size_t at = 0;
    while (true) {
        std::size_t slash = path.find('\\', at);
        if (slash == std::string::npos) slash = path.size();
        const std::string part = path.substr(at, slash - at);
        if (part.empty() || part == "." || part == "..") return false;
        if (slash == path.size()) return true;
        at = slash + 1;
    }
}

bool soundFolder(const std::string& folder) {
    return folder.size() >= 2 && folder.back() == '\\' && soundText(folder);
}

}  // namespace

std::string libraryFileName(int slot) { return "photo" + std::to_string(slot) + ".library"; }

std::uint32_t crc32(const unsigned char* data, std::size_t size) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = kCrcTable[(c ^ data[i]) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::vector<unsigned char> encodeLibrary(const LibraryState& state) {
    std::vector<unsigned char> payload;
    putText(payload, state.folder);
    putText(payload, state.current);
    put32(payload, static_cast<std::uint32_t>(state.position));
    put32(payload, static_cast<std::uint32_t>(state.round.size()));
    for (const auto& name : state.round) putText(payload, name);

    std::vector<unsigned char> out(kMagic, kMagic + sizeof kMagic);
    put32(out, kLibraryFileVersion);
    put32(out, static_cast<std::uint32_t>(payload.size()));
    put32(out, crc32(payload.data(), payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

bool decodeLibrary(const unsigned char* data, std::size_t size, LibraryState& out) {
    out = LibraryState();
    if (data == nullptr || size < kHeaderBytes || std::memcmp(data, kMagic, sizeof kMagic) != 0) return false;
    if (get32(data + 8) != kLibraryFileVersion) return false;
    const std::uint32_t payloadSize = get32(data + 12);
    if (size - kHeaderBytes != payloadSize) return false;
    const unsigned char* payload = data + kHeaderBytes;
    if (crc32(payload, payloadSize) != get32(data + 16)) return false;

    Reader reader(payload, payloadSize);
    LibraryState state;
    std::uint32_t position = 0, count = 0;
    if (!reader.text(state.folder) || !reader.text(state.current) || !reader.number(position) ||
        !reader.number(count))
        return false;
    if (!soundFolder(state.folder) || (!state.current.empty() && !soundRelativePath(state.current)))
        return false;
    // Each name takes at least its length field: a count the bytes cannot
    // hold is refused before anything is made for it.
    if (count > kLargestListing || count > reader.left() / 4 || position > count) return false;
    state.round.reserve(count);
    std::unordered_set<std::string> seen;
    seen.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string name;
        if (!reader.text(name) || !soundRelativePath(name) || !seen.insert(name).second) return false;
        state.round.push_back(std::move(name));
    }
    if (reader.left() != 0) return false;
    state.position = position;
    out = std::move(state);
    return true;
}

bool writeLibraryFile(FilesPort& files, const std::string& userFolder, int slot, const LibraryState& state) {
    const auto bytes = encodeLibrary(state);
    return files.writeAll(userFolder + libraryFileName(slot), bytes.data(), bytes.size());
}

bool readLibraryFile(FilesPort& files, const std::string& userFolder, int slot, const std::string& folder,
                     LibraryState& out) {
    out = LibraryState();
    std::vector<unsigned char> bytes;
    if (!files.readAll(userFolder + libraryFileName(slot), bytes, kLargestLibraryFileBytes)) return false;
    LibraryState state;
    if (!decodeLibrary(bytes.data(), bytes.size(), state)) return false;
    std::string wanted = folder;
    if (wanted.empty() || wanted.back() != '\\') wanted += '\\';
    if (!equalsNoCasePath(state.folder, wanted)) return false;
    out = std::move(state);
    return true;
}

LibraryState libraryStateOf(const std::string& folder, const FolderOrder& order) {
    LibraryState state;
    state.folder = folder;
    if (state.folder.empty() || state.folder.back() != '\\') state.folder += '\\';
    state.round = order.round();
    state.position = order.position();
    state.current = order.current();
    return state;
}

bool restoreOrder(const LibraryState& state, FolderOrder& order) {
    return order.restore(state.round, state.position, state.current);
}

}  // namespace qv
