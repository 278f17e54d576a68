#pragma once
// The folder slots' picture decoder on the Windows Imaging Component
// (Windows builds only): every format the system has a codec for, the
// first frame or page, shrunk by a whole factor (block means) as its rows
// are copied out of WIC in bands when far too large. The stop flag is
// looked at between the bands (under Wine the frame is decoded whole
// before the first). Each call initialises COM on its thread for its own length if the thread
// has not, so the background worker needs nothing set up.
#include "ports/PictureDecoderPort.h"

namespace qv::win {

class WicDecoder : public PictureDecoderPort {
public:
    DecodeError decodePicture(const std::string& path, int wantedWidth, int wantedHeight,
                              const DecodeLimit& limit,
                              const std::atomic<bool>* stop, Image& out) override;
    std::vector<std::string> decoderExtensions() override;
};

}  // namespace qv::win
