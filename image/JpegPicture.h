#pragma once
// Reading a JPEG file into upright pixels: its size is read from the frame
// header first and checked against the limits before the decoder sees it,
// then it is decoded through the decoder port (which checks the decoded size
// against the same limits) and turned as its EXIF orientation says. A GIF,
// PNG or BMP named .jpg is sized from its own header and decoded the same
// way. The photo import and the show's canvases share it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "image/PictureLimits.h"
#include "ports/DecoderPort.h"
#include "ports/FilesPort.h"
#include "ports/MessagePort.h"

namespace qv {
// A JPEG file is read whole; one this large is no photo we can handle.
constexpr std::size_t kLargestJpegFileBytes = std::size_t(1) << 30;

// Picked: a picture the user picked in the settings dialog (over 16384 a
// side or 100 megapixels is MsgPictureTooLarge). Convert: the conversion's
// and the show's limits (over 20000 a side or 200 megapixels is
// MsgOutOfMemory).
enum class JpegPurpose { Picked, Convert };

// Reads, checks and decodes a JPEG, then stands it upright. On failure the
// message to show is left in message.
bool loadJpeg(FilesPort& files, DecoderPort& decoder, const std::string& source, JpegPurpose purpose,
              Image& picture, MessageKind& message);

}  // namespace qv
