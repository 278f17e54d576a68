#include "image/JpegPicture.h"

#include <vector>

#include "image/JpegHeader.h"
#include "image/Orientation.h"

namespace qv {

bool loadJpeg(FilesPort& files, DecoderPort& decoder, const std::string& source, JpegPurpose purpose,
              Image& picture, MessageKind& message) {
    picture = Image();
    message = MessageKind::MsgUnsupportedFile;
    std::vector<unsigned char> bytes;
    if (!files.readAll(source, bytes, kLargestJpegFileBytes)) return false;

    JpegHeader header;
    if (!readJpegHeader(bytes.data(), bytes.size(), header)) return false;
    const bool sideways = orientationSwapsSides(header.orientation);
    const int w = sideways ? header.height : header.width;
    const int h = sideways ? header.width : header.height;
    if (purpose == JpegPurpose::Validate) {
        if (w > kLargestAcceptedSide || h > kLargestAcceptedSide) {
            message = MessageKind::MsgPictureTooLarge;
            return false;
        }
    } else if (w > kLargestDecodedSide || h > kLargestDecodedSide ||
               std::uint64_t(w) * std::uint64_t(h) > kLargestDecodedPixels) {
        message = MessageKind::MsgOutOfMemory;
        return false;
    }

    const DecodeError error = decoder.decodeJpeg(bytes.data(), bytes.size(), picture);
    bytes = std::vector<unsigned char>();  // the file's bytes are not needed past decoding
    if (error == DecodeError::NotEnoughMemory) {
        message = MessageKind::MsgOutOfMemory;
        return false;
    }
    if (error != DecodeError::None || picture.empty() ||
        picture.bgr.size() != std::size_t(picture.width) * std::size_t(picture.height) * 3u)
        return false;
    applyOrientation(picture, header.orientation);
    return true;
}

}  // namespace qv
