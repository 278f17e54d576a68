// Any bytes through the JPEG header reader, and a claimed orientation through
// the turning code on a small picture of the claimed shape.
#include <cstddef>
#include <cstdint>

#include "ports/DecoderPort.h"
#include "image/JpegHeader.h"
#include "image/Orientation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qv::JpegHeader header;
    if (!qv::readJpegHeader(data, size, header)) return 0;
    if (header.width <= 0 || header.height <= 0 || header.orientation < 1 || header.orientation > 8) __builtin_trap();
    // A picture of the header's proportions, kept small.
    qv::Image image;
    image.width = header.width % 17 + 1;
    image.height = header.height % 13 + 1;
    image.bgr.assign(std::size_t(image.width) * image.height * 3, 7);
    const int w = image.width, h = image.height;
    qv::applyOrientation(image, header.orientation);
    const bool swapped = qv::orientationSwapsSides(header.orientation);
    if (image.width != (swapped ? h : w) || image.height != (swapped ? w : h)) __builtin_trap();
    return 0;
}
