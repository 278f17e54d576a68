#include "platform/host/HostFiles.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "text/Utf8Text.h"

namespace qv {

namespace fs = std::filesystem;

namespace {

class FileStream : public ByteStream {
public:
    explicit FileStream(const fs::path& path) : file_(path, std::ios::binary) {}
    bool good() const { return file_.is_open(); }
    std::size_t read(void* buffer, std::size_t size) override {
        file_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
        return static_cast<std::size_t>(file_.gcount());
    }

private:
    std::ifstream file_;
};

// The entry of folder named like component: the exact spelling if there is
// one, else the first whose name matches without regard to case, else the
// spelling given.
fs::path lookup(const fs::path& folder, const std::string& component) {
    std::error_code ec;
    const fs::path exact = folder / component;
    if (fs::exists(exact, ec)) return exact;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (equalsNoCasePath(it->path().filename().string(), component)) return it->path();
    }
    return exact;
}

bool isDirectory(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

bool isFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

}  // namespace

std::vector<std::string> HostFiles::components(const std::string& windowsPath) {
    std::vector<std::string> parts;
    std::string current;
    auto flush = [&]() {
        if (current.empty() || current == ".") {
        } else if (current == "..") {
            if (parts.size() > 1) parts.pop_back();  // never above the drive
        } else {
            parts.push_back(current);
        }
        current.clear();
    };
    for (char c : windowsPath) {
        if (c == '\\' || c == '/')
            flush();
        else
            current.push_back(c);
    }
    flush();
    return parts;
}

void HostFiles::mapFolder(const std::string& windowsPrefix, const std::string& hostFolder) {
    Mapping m;
    for (auto& part : components(windowsPrefix)) m.prefix.push_back(upperPath(part));
    m.host = hostFolder;
    mappings_.push_back(std::move(m));
    // Longest prefix first, so the most specific mapping is tried first.
    std::stable_sort(mappings_.begin(), mappings_.end(),
                     [](const Mapping& a, const Mapping& b) { return a.prefix.size() > b.prefix.size(); });
}

const HostFiles::Mapping* HostFiles::match(const std::vector<std::string>& parts, std::size_t& used) const {
    for (const auto& m : mappings_) {
        if (m.prefix.size() > parts.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < m.prefix.size() && same; ++i) same = upperPath(parts[i]) == m.prefix[i];
        if (same) {
            used = m.prefix.size();
            return &m;
        }
    }
    return nullptr;
}

bool HostFiles::hostPath(const std::string& windowsPath, fs::path& out) const {
    const auto parts = components(windowsPath);
    std::size_t used = 0;
    const Mapping* m = match(parts, used);
    if (!m) return false;
    out = m->host;
    for (std::size_t i = used; i < parts.size(); ++i) out = lookup(out, parts[i]);
    return true;
}

std::unique_ptr<ByteStream> HostFiles::openRead(const std::string& path) {
    fs::path host;
    if (!hostPath(path, host) || !isFile(host)) return nullptr;
    auto stream = std::make_unique<FileStream>(host);
    if (!stream->good()) return nullptr;
    return stream;
}

bool HostFiles::canOpen(const std::string& path) { return openRead(path) != nullptr; }

bool HostFiles::readAll(const std::string& path, std::vector<unsigned char>& bytes, std::size_t maxBytes) {
    bytes.clear();
    fs::path host;
    if (!hostPath(path, host) || !isFile(host)) return false;
    std::error_code ec;
    const auto size = fs::file_size(host, ec);
    if (ec || size > maxBytes) return false;
    std::ifstream file(host, std::ios::binary);
    if (!file) return false;
    bytes.resize(static_cast<std::size_t>(size));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (static_cast<std::uintmax_t>(file.gcount()) != size) {
        bytes.clear();
        return false;
    }
    return true;
}

bool HostFiles::writeAll(const std::string& path, const unsigned char* data, std::size_t size) {
    fs::path host;
    if (!hostPath(path, host) || !host.has_parent_path() || !isDirectory(host.parent_path()) ||
        isDirectory(host))
        return false;
    // Written beside the target first, then put in its place whole.
    fs::path temp = host;
    temp += ".qvpart";
    std::error_code ec;
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        if (!file) return false;
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        file.flush();
        if (!file) {
            file.close();
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, host, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

bool HostFiles::remove(const std::string& path) {
    fs::path host;
    if (!hostPath(path, host) || !isFile(host)) return false;
    std::error_code ec;
    return fs::remove(host, ec) && !ec;
}

bool HostFiles::canRemove(const std::string& path) {
    fs::path host;
    if (!hostPath(path, host)) return false;
    std::error_code ec;
    const fs::file_status status = fs::status(host, ec);
    if (status.type() == fs::file_type::not_found) return true;
    if (ec || !fs::is_regular_file(status)) return false;
    // A file without its owner's write bit stands for a read-only one.
    return (status.permissions() & fs::perms::owner_write) != fs::perms::none;
}

bool HostFiles::rename(const std::string& from, const std::string& to) {
    fs::path hostFrom, hostTo;
    if (!hostPath(from, hostFrom) || !hostPath(to, hostTo) || !isFile(hostFrom)) return false;
    std::error_code ec;
    const bool caseOnly = fs::equivalent(hostFrom, hostTo, ec) && !ec;
    if (caseOnly) {
        // Same file under another spelling: take the new spelling.
        hostTo = hostTo.parent_path() / components(to).back();
    } else if (fs::exists(hostTo, ec) || !isDirectory(hostTo.parent_path())) {
        return false;  // never replaces a file, as on Windows
    }
    ec.clear();
    fs::rename(hostFrom, hostTo, ec);
    return !ec;
}

bool HostFiles::makeDirectories(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return false;
    const auto parts = components(path.substr(0, slash));
    std::size_t used = 0;
    const Mapping* m = match(parts, used);
    if (!m || !isDirectory(m->host)) return false;
    fs::path host = m->host;
    for (std::size_t i = used; i < parts.size(); ++i) {
        host = lookup(host, parts[i]);
        std::error_code ec;
        if (fs::exists(host, ec)) {
            if (!isDirectory(host)) return false;
        } else if (!fs::create_directory(host, ec) || ec) {
            return false;
        }
    }
    return true;
}

std::vector<FoundEntry> HostFiles::find(const std::string& pattern) {
    std::vector<FoundEntry> found;
    const auto slash = pattern.find_last_of("\\/");
    if (slash == std::string::npos) return found;
    const std::string namePattern = pattern.substr(slash + 1);
    fs::path folder;
    if (!hostPath(pattern.substr(0, slash), folder) || !isDirectory(folder)) return found;
    // A drive root has no dot entries.
    if (components(pattern.substr(0, slash)).size() > 1) {
        for (const char* dot : {".", ".."})
            if (wildcardMatch(namePattern, dot)) found.push_back(FoundEntry{dot, true});
    }
    std::vector<FoundEntry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (wildcardMatch(namePattern, name)) entries.push_back(FoundEntry{name, isDirectory(it->path())});
    }
    std::sort(entries.begin(), entries.end(),
              [](const FoundEntry& a, const FoundEntry& b) { return upperPath(a.name) < upperPath(b.name); });
    found.insert(found.end(), entries.begin(), entries.end());
    return found;
}

}  // namespace qv
