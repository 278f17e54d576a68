#pragma once
// The picture decoder port of folder slots: any picture file the platform's
// imaging component decodes (JPEG, PNG, GIF's first frame, BMP, TIFF's first
// page, and whatever codecs the system adds), to plain 24-bit pixels, made
// smaller in the decoder when the picture is far larger than needed. Like
// DecoderPort, it does no turning: EXIF orientation is the core's.
#include <atomic>
#include <string>
#include <vector>

#include "ports/DecoderPort.h"

namespace qv {

class PictureDecoderPort {
public:
    virtual ~PictureDecoderPort() = default;

    // The picture at path. With a wanted size (as stored, before any
    // turning) of at least 1 x 1, a picture at least twice as large on both
    // sides may come out shrunk, by shrinkFactor (image/DecodeScale.h) at
    // most, so still at least that large, for the core's resampler to
    // finish; otherwise at its own size. A picture whose own size is beyond
    // limit gives TooLarge before any pixel is copied; pixels a picture
    // leaves transparent come out black. Once stop (may be null) is set, the
    // decoder gives up soon with Stopped. On failure out is left empty.
    virtual DecodeError decodePicture(const std::string& path, int wantedWidth, int wantedHeight,
                                      const DecodeLimit& limit, const std::atomic<bool>* stop, Image& out) = 0;

    // Each decoder's extensions as it gives them (".jpg,.jpeg,.jfif"), for
    // PictureExtensions; empty when they cannot be had.
    virtual std::vector<std::string> decoderExtensions() = 0;
};

}  // namespace qv
