#pragma once
// The picture decoder port on GDI and the OLE picture decoder (Windows builds
// only): BMP files through LoadImageA, JPEG bytes through OleLoadPicture.
#include "ports/DecoderPort.h"

namespace qv::win {

class Win32Decoder : public DecoderPort {
public:
    DecodeError decodeBmp(const std::string& path, Image& out) override;
    DecodeError decodeJpeg(const unsigned char* data, std::size_t size, Image& out) override;
};

}  // namespace qv::win
