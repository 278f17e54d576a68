// Any bytes through the header readers (a .jpg file's: a JPEG, or a GIF, PNG
// or BMP by its first bytes; a folder picture's, TIFF too), and a claimed
// orientation through the turning code on a small picture of the claimed
// shape.
#include <cstddef>
#include <cstdint>

#include "image/JpegHeader.h"
#include "image/Orientation.h"
#include "image/PictureHeader.h"
#include "ports/DecoderPort.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The reader of any kind (TIFF too) agrees with the .jpg one on the rest.
    qv::PictureHeader any;
    const bool anyRead = qv::readAnyPictureHeader(data, size, any);
    if (anyRead && (any.width <= 0 || (any.height <= 0 && any.kind != qv::PictureKind::Jpeg)))
        __builtin_trap();
    qv::PictureHeader header;
    const bool read = qv::readPictureHeader(data, size, header);
    if (read != (anyRead && any.kind != qv::PictureKind::Tiff)) __builtin_trap();
    if (read && (header.width != any.width || header.height != any.height || header.kind != any.kind))
        __builtin_trap();
    if (!read) return 0;
    // Only a JPEG may leave its height for later.
    const bool heightLater = header.kind == qv::PictureKind::Jpeg && header.height == 0;
    if (header.width <= 0 || (header.height <= 0 && !heightLater) || header.orientation < 1 ||
        header.orientation > 8 || (header.kind != qv::PictureKind::Jpeg && header.orientation != 1))
        __builtin_trap();
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
