// Any bytes through the strict BMP reader (every depth, bit fields, runs);
// what it accepts must be consistent, and what it decodes must survive
// writing and reading back.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/BmpFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qv::BmpInfo info;
    const bool known = qv::readBmpInfo(data, size, info);
    // A few run-length coded bytes may claim a picture of hundreds of
    // megabytes; the reader's own check of the runs has been made, and
    // filling such a picture only slows the search down: at up to 4
    // megapixels a picture (filled, written, read back and compared, in
    // fresh pages every time) the search ran 15 times slower. Stored pixels
    // come at most 8 a byte, so this bound only skips run-length pictures
    // larger than any stored one of the same length, which reach no code a
    // smaller one does not.
    if (known && std::uint64_t(info.width) * std::uint64_t(info.height) > 8 * std::uint64_t(size)) return 0;
    qv::Image image;
    const bool decoded = qv::decodeBmp(data, size, image);
    if (known != decoded) __builtin_trap();
    if (!decoded) return 0;
    if (image.width != info.width || image.height != info.height ||
        image.bgr.size() != std::size_t(image.width) * image.height * 3)
        __builtin_trap();
    const std::vector<unsigned char> file = qv::encodeBmp24(image);
    qv::Image back;
    if (!qv::decodeBmp(file.data(), file.size(), back) || back.bgr != image.bgr) __builtin_trap();
    return 0;
}
