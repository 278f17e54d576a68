#pragma once
// A files port over the host file system for the native tools: Windows path
// prefixes are mapped onto host folders, and every further path component is
// found without regard to case (the exact spelling first), as Windows finds
// files. A path under no mapped prefix cannot be reached.
#include <filesystem>
#include <string>
#include <vector>

#include "ports/FilesPort.h"

namespace qv {

class HostFiles : public FilesPort {
public:
    // "C:\WINDOWS\system32\QUORvelkbsrc\" onto "/home/me/data/b", say. The
    // longest matching prefix wins.
    void mapFolder(const std::string& windowsPrefix, const std::string& hostFolder);

    // The host path of a Windows path (components that do not exist yet keep
    // the spelling given); false when no prefix matches.
    bool hostPath(const std::string& windowsPath, std::filesystem::path& out) const;

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

private:
    struct Mapping {
        std::vector<std::string> prefix;  // upper-cased components
        std::filesystem::path host;
    };
    // Components of a Windows path with "." and ".." worked out.
    static std::vector<std::string> components(const std::string& windowsPath);
    // The mapping and the components below it; nullptr when none matches.
    const Mapping* match(const std::vector<std::string>& parts, std::size_t& used) const;

    std::vector<Mapping> mappings_;
};

}  // namespace qv
