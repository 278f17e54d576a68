#pragma once
// The picture decoder port on GDI and the OLE picture decoder (Windows builds
// only): BMP files through LoadImageA, the bytes of a .jpg file (JPEG, GIF,
// PNG) through OleLoadPicture.
#include "ports/DecoderPort.h"

namespace qv::win {

class Win32Decoder : public DecoderPort {
public:
    DecodeError decodeBmp(const std::string& path, Image& out) override;
    DecodeError decodeJpeg(const unsigned char* data, std::size_t size, const DecodeLimit& limit,
                           Image& out) override;
};

}  // namespace qv::win
