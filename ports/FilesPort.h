#pragma once
// The files port: how the core reaches files. Paths are Windows paths in the
// ANSI code page ("C:\WINDOWS\system32\QUORvelkbsrc\base.bmp"); the Windows
// adapter hands them to the system, the native adapters map them onto folders
// of ours (case-insensitively, as Windows finds files).
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace qv {

// A file opened for reading, read front to back.
class ByteStream {
public:
    virtual ~ByteStream() = default;
    // Reads up to size bytes; returns how many were read, 0 at the end.
    virtual std::size_t read(void* buffer, std::size_t size) = 0;
};

struct FoundEntry {
    std::string name;   // the entry's name as stored, without its folder
    bool directory = false;
};

class FilesPort {
public:
    virtual ~FilesPort() = default;

    // nullptr when the file cannot be opened for reading.
    virtual std::unique_ptr<ByteStream> openRead(const std::string& path) = 0;

    // True when the file can be opened for reading.
    virtual bool canOpen(const std::string& path) = 0;

    // The whole file; false when it cannot be opened or read, or is larger
    // than maxBytes (the buffer is then left empty).
    virtual bool readAll(const std::string& path, std::vector<unsigned char>& bytes,
                         std::size_t maxBytes) = 0;

    // Writes the file whole: on failure nothing is left under that name and a
    // file that was there before stays as it was.
    virtual bool writeAll(const std::string& path, const unsigned char* data, std::size_t size) = 0;

    virtual bool remove(const std::string& path) = 0;
    // True when the file is missing or could be removed, renamed or written
    // over now; false for one that is read-only or that another program holds
    // open without leave to delete it (it may still be readable).
    virtual bool canRemove(const std::string& path) = 0;
    virtual bool rename(const std::string& from, const std::string& to) = 0;

    // Creates the folder and every missing folder above it; the path ends
    // with a backslash (everything after the last backslash is ignored).
    virtual bool makeDirectories(const std::string& path) = 0;

    // Entries matching a pattern whose last part may hold * and ? ("C:\x\*.bmp"),
    // compared without regard to case. A folder matched by "folder\*.*" yields
    // its "." and ".." entries too, as on Windows.
    virtual std::vector<FoundEntry> find(const std::string& pattern) = 0;
};

}  // namespace qv
