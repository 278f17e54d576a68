#pragma once
// Checking a picture the user picked, and converting a picture into the
// screen-sized 24-bit bitmap photoN.bmp of slot N.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/DecoderPort.h"
#include "platform/FilesPort.h"
#include "platform/MessagePort.h"
#include "variant/Variant.h"

namespace qv {

// Sides the settings dialog accepts: 2 .. 5000 pixels.
constexpr int kLargestAcceptedSide = 5000;
// Beyond these a JPEG is never handed to the decoder: it could take the
// process down or eat all memory.
constexpr int kLargestDecodedSide = 20000;
constexpr std::uint64_t kLargestDecodedPixels = 200000000;
// A JPEG file is read whole; one this large is no photo we can handle.
constexpr std::size_t kLargestJpegFileBytes = std::size_t(1) << 30;

class PhotoImport {
public:
    // screenHeight: the primary screen's height in pixels (variants B and C
    // size their bitmaps from it).
    PhotoImport(const Variant& variant, FilesPort& files, DecoderPort& decoder, MessagePort& messages,
                int screenHeight);

    // The check run on a file the user picked: its type, that it decodes and
    // that both sides are 2 .. 5000 pixels. Shows at most one message and
    // returns false after it.
    bool ValidatePicture(const std::string& source);

    // Writes folder + "photoN.bmp" from source. A source that cannot be
    // opened fails without a message; a name of no supported type succeeds
    // with nothing written (outputPath then stays empty). Otherwise failure
    // shows one message unless silent. The bitmap is written whole or not at
    // all: a previous photoN.bmp stays unless a new one replaced it.
    bool ConvertPicture(const std::string& source, int n, const std::string& folder, bool silent,
                        std::string* outputPath = nullptr);

    enum class Purpose { Validate, Convert };
    // Reads, checks and decodes a JPEG, then stands it upright. On failure the
    // message to show is left in message. The show's canvases decode through
    // it too, with the conversion's limits.
    bool loadJpeg(const std::string& source, Purpose purpose, Image& picture, MessageKind& message);

private:
    void tell(MessageKind kind, bool silent);

    const Variant& variant_;
    FilesPort& files_;
    DecoderPort& decoder_;
    MessagePort& messages_;
    int screenHeight_;
};

}  // namespace qv
