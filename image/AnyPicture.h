#pragma once
// A picture file of any kind the platform decodes (a folder slot's picture,
// or a non-JPEG one the user adds), made into the slot's converted size: its
// header read and checked before any pixel is decoded, decoded through the
// picture decoder port (shrunk in the decoder when asked and far larger than
// needed), turned upright by a JPEG's EXIF orientation, then resampled by
// our resampler to the size convertedSize gives for the picture's own size.
#include <atomic>
#include <string>

#include "ports/DecoderPort.h"
#include "ports/FilesPort.h"
#include "ports/PictureDecoderPort.h"
#include "variant/Variant.h"

namespace qv {

enum class PictureLoad {
    Loaded,
    Unreadable,   // cannot be opened: gone, no access, a share away
    Stopped,      // the request's stop flag was set while it decoded
    NotPicture,   // no kind we know, damaged, truncated, empty
    TooLarge,     // over kLargestPictureSide or kLargestPicturePixels
    TooSmall,     // a side of 1 pixel, or a converted side that comes out 0
    OutOfMemory,
};

struct PictureLoadRequest {
    const Variant* variant = nullptr;
    int screenHeight = 0;
    // True: the decoder may shrink a picture at least twice the converted
    // size (quicker, a little softer than a full decode); false: decoded at
    // its own size, as the settings dialog converts a JPEG.
    bool shrinkInDecoder = true;
    // Set by another thread to have the decoder give up (may be null).
    const std::atomic<bool>* stop = nullptr;
};

// out is the converted picture on Loaded and empty otherwise.
PictureLoad loadConvertedPicture(FilesPort& files, PictureDecoderPort& decoder, const std::string& path,
                                 const PictureLoadRequest& request, Image& out);

}  // namespace qv
