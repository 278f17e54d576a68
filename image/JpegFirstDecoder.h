#pragma once
// The folder pictures' decoder: a JPEG we can decode ourselves is decoded
// here, shrunk in its transform by the largest power of two the wanted size
// allows; every other picture (and a JPEG of a kind we leave alone) goes to
// the platform's decoder given as the fallback. A JPEG whose coded data is
// damaged, or cut short before its last row of blocks, fails here without a
// second try: it is skipped like any broken picture.
#include <atomic>
#include <string>
#include <vector>

#include "ports/FilesPort.h"
#include "ports/PictureDecoderPort.h"

namespace qv {

class JpegFirstDecoder : public PictureDecoderPort {
public:
    JpegFirstDecoder(FilesPort& files, PictureDecoderPort& fallback) : files_(files), fallback_(fallback) {}

    DecodeError decodePicture(const std::string& path, int wantedWidth, int wantedHeight, const DecodeLimit& limit,
                              const std::atomic<bool>* stop, Image& out) override;
    std::vector<std::string> decoderExtensions() override { return fallback_.decoderExtensions(); }

private:
    FilesPort& files_;
    PictureDecoderPort& fallback_;
};

}  // namespace qv
