#pragma once
// The picture decoder port: BMP files by path, JPEG files from their bytes in
// memory, both to plain 24-bit pixels. The decoder does no turning: EXIF
// orientation is applied by the core afterwards.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// Pixels of a decoded picture: height rows from the top down, each row
// width pixels of three bytes blue, green, red, with no padding between rows.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bgr;  // width * height * 3 bytes

    std::size_t rowBytes() const { return static_cast<std::size_t>(width) * 3u; }
    unsigned char* row(int y) { return bgr.data() + static_cast<std::size_t>(y) * rowBytes(); }
    const unsigned char* row(int y) const { return bgr.data() + static_cast<std::size_t>(y) * rowBytes(); }
    bool empty() const { return width <= 0 || height <= 0; }
};

// Why a decode failed; the messages shown depend on it.
enum class DecodeError {
    None,
    NotEnoughMemory,  // the platform reported ERROR_NOT_ENOUGH_MEMORY
    TooLarge,         // the decoded picture is beyond the caller's limit
    Other,            // anything else: not a picture, broken, unreadable
    Stopped,          // the caller asked the decoder to stop
};

// The largest decoded picture a caller takes. A decoder checks it on the
// decoded size before it copies or allocates anything from it: a file's
// header does not always say the size (a JPEG may give its height only
// after its first scan).
struct DecodeLimit {
    int maxSide = 0;
    std::uint64_t maxPixels = 0;
    bool allows(int width, int height) const {
        return width > 0 && height > 0 && width <= maxSide && height <= maxSide &&
               std::uint64_t(width) * std::uint64_t(height) <= maxPixels;
    }
};

class DecoderPort {
public:
    virtual ~DecoderPort() = default;

    // The BMP file at path at its own size. On failure out is left empty.
    virtual DecodeError decodeBmp(const std::string& path, Image& out) = 0;

    // A file named .jpg held whole in memory: a JPEG, or whatever else the
    // platform's picture decoder takes from memory (GIF, PNG, BMP). A
    // picture beyond limit gives TooLarge. On failure out is left empty.
    virtual DecodeError decodeJpeg(const unsigned char* data, std::size_t size, const DecodeLimit& limit,
                                   Image& out) = 0;
};

}  // namespace qv
