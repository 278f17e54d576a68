#include "image/JpegPicture.h"

#include <vector>

#include "image/JpegHeader.h"
#include "image/Orientation.h"
#include "image/PictureHeader.h"

namespace qv {

bool loadJpeg(FilesPort& files, DecoderPort& decoder, const std::string& source, JpegPurpose purpose,
              Image& picture, MessageKind& message) {
    picture = Image();
    message = MessageKind::MsgUnsupportedFile;
    std::vector<unsigned char> bytes;
    if (!files.readAll(source, bytes, kLargestJpegFileBytes)) return false;

    // A JPEG, or a GIF, PNG or BMP by another name: sized from its own header.
    PictureHeader header;
    if (!readPictureHeader(bytes.data(), bytes.size(), header)) return false;
    const bool sideways = orientationSwapsSides(header.orientation);
    // A side of 0 follows from decoding (a JPEG's height given after its
    // first scan); the decoder checks it against the same limit.
    const int w = sideways ? header.height : header.width;
    const int h = sideways ? header.width : header.height;
    const MessageKind tooLarge =
        purpose == JpegPurpose::Picked ? MessageKind::MsgPictureTooLarge : MessageKind::MsgOutOfMemory;
    const DecodeLimit limit = purpose == JpegPurpose::Picked
                                  ? DecodeLimit{kLargestPictureSide, kLargestPicturePixels}
                                  : DecodeLimit{kLargestDecodedSide, kLargestDecodedPixels};
    if (w > limit.maxSide || h > limit.maxSide || std::uint64_t(w) * std::uint64_t(h) > limit.maxPixels) {
        message = tooLarge;
        return false;
    }

    const DecodeError error = decoder.decodeJpeg(bytes.data(), bytes.size(), limit, picture);
    bytes = std::vector<unsigned char>();  // the file's bytes are not needed past decoding
    if (error == DecodeError::NotEnoughMemory || error == DecodeError::TooLarge) {
        picture = Image();
        message = error == DecodeError::TooLarge ? tooLarge : MessageKind::MsgOutOfMemory;
        return false;
    }
    if (error != DecodeError::None || picture.empty() || !limit.allows(picture.width, picture.height) ||
        picture.bgr.size() != std::size_t(picture.width) * std::size_t(picture.height) * 3u) {
        picture = Image();
        return false;
    }
    applyOrientation(picture, header.orientation);
    return true;
}

}  // namespace qv
