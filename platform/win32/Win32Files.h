#pragma once
// The files port on the real Windows file system (Windows builds only).
#include "ports/FilesPort.h"

namespace qv::win {

class Win32Files : public FilesPort {
public:
    std::unique_ptr<ByteStream> openRead(const std::string& path) override;
    bool canOpen(const std::string& path) override;
    bool readAll(const std::string& path, std::vector<unsigned char>& bytes,
                 std::size_t maxBytes) override;
    // Writes a temporary file beside the target and renames it over the
    // target, so a failed write leaves no half-written file behind.
    bool writeAll(const std::string& path, const unsigned char* data, std::size_t size) override;
    bool remove(const std::string& path) override;
    bool canRemove(const std::string& path) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool makeDirectories(const std::string& path) override;
    std::vector<FoundEntry> find(const std::string& pattern) override;
};

}  // namespace qv::win
