// The BMP header guard on any bytes and any claimed file size: no overflow,
// no read beyond the bytes given, and never "whole" for a file too short for
// the rows its header claims.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "image/BmpGuard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The last 8 bytes, when there are enough, give a file size of any magnitude.
    std::uint64_t fileSize = size;
    std::size_t headSize = size;
    if (size > 8) {
        std::memcpy(&fileSize, data + size - 8, 8);
        headSize = size - 8;
    }
    if (headSize > qv::kBmpGuardHeadBytes) headSize = qv::kBmpGuardHeadBytes;
    const bool whole = qv::bmpFileIsWhole(data, headSize, fileSize);
    // Whatever it says, a file must at least hold the headers it promises.
    if (whole && fileSize < 26) __builtin_trap();
    return 0;
}
