#pragma once
// Text lines from a byte stream, as a file opened in Windows text mode gives
// them: CR LF becomes LF, a CR not followed by LF stays in the line, and a
// Ctrl-Z (0x1A) ends the file. The reader treats a line as a C string, so a
// NUL byte ends the line's text (the rest up to the line end is skipped).
// Lines are held whole, whatever their length.
#include <array>
#include <cstddef>
#include <memory>
#include <string>

#include "ports/FilesPort.h"

namespace qv {

class LineReader {
public:
    explicit LineReader(std::unique_ptr<ByteStream> stream);

    // The next line without its line end; false at the end of the file.
    bool next(std::string& line);

    // How many lines next has given so far: the number of the last one.
    int lineNumber() const { return lineNumber_; }

private:
    // The next byte, or -1 at the end (a Ctrl-Z is the end too).
    int get();
    int peek();

    std::unique_ptr<ByteStream> stream_;
    std::array<unsigned char, 4096> buffer_{};
    std::size_t pos_ = 0;
    std::size_t size_ = 0;
    bool ended_ = false;
    int lineNumber_ = 0;
};

}  // namespace qv
