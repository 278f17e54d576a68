#include "settings/PhotoImport.h"

#include <new>
#include <vector>

#include "settings/BmpFile.h"
#include "settings/ConvertSize.h"
#include "settings/JpegHeader.h"
#include "settings/Orientation.h"
#include "settings/PictureType.h"
#include "settings/Resampler.h"
#include "settings/SettingsStore.h"

namespace qv {

PhotoImport::PhotoImport(const Variant& variant, FilesPort& files, DecoderPort& decoder, MessagePort& messages,
                         int screenHeight)
    : variant_(variant), files_(files), decoder_(decoder), messages_(messages), screenHeight_(screenHeight) {}

void PhotoImport::tell(MessageKind kind, bool silent) {
    if (silent) return;
    messages_.restoreArrowCursor();
    messages_.showMessage(kind);
}

bool PhotoImport::loadJpeg(const std::string& source, Purpose purpose, Image& picture, MessageKind& message) {
    picture = Image();
    message = MessageKind::MsgUnsupportedFile;
    std::vector<unsigned char> bytes;
    if (!files_.readAll(source, bytes, kLargestJpegFileBytes)) return false;

    JpegHeader header;
    if (!readJpegHeader(bytes.data(), bytes.size(), header)) return false;
    const bool sideways = orientationSwapsSides(header.orientation);
    const int w = sideways ? header.height : header.width;
    const int h = sideways ? header.width : header.height;
    if (purpose == Purpose::Validate) {
        if (w > kLargestAcceptedSide || h > kLargestAcceptedSide) {
            message = MessageKind::MsgPictureTooLarge;
            return false;
        }
    } else if (w > kLargestDecodedSide || h > kLargestDecodedSide ||
               std::uint64_t(w) * std::uint64_t(h) > kLargestDecodedPixels) {
        message = MessageKind::MsgOutOfMemory;
        return false;
    }

    const DecodeError error = decoder_.decodeJpeg(bytes.data(), bytes.size(), picture);
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

bool PhotoImport::ValidatePicture(const std::string& source) {
    Image picture;
    try {
        switch (pictureTypeOf(source)) {
            case PictureType::Bmp: {
                const DecodeError error = decoder_.decodeBmp(source, picture);
                if (error != DecodeError::None || picture.empty()) {
                    tell(error == DecodeError::NotEnoughMemory ? MessageKind::MsgOutOfMemory
                                                               : MessageKind::MsgUnsupportedFile,
                         false);
                    return false;
                }
                break;
            }
            case PictureType::Jpeg: {
                MessageKind message;
                if (!loadJpeg(source, Purpose::Validate, picture, message)) {
                    tell(message, false);
                    return false;
                }
                break;
            }
            case PictureType::Unsupported:
                tell(MessageKind::MsgUnsupportedFile, false);
                return false;
        }
    } catch (const std::bad_alloc&) {
        tell(MessageKind::MsgOutOfMemory, false);
        return false;
    }
    const int w = picture.width;
    const int h = picture.height;
    if (h > kLargestAcceptedSide || w > kLargestAcceptedSide) {
        tell(MessageKind::MsgPictureTooLarge, false);
        return false;
    }
    if (h <= 1 || w <= 1) {
        tell(MessageKind::MsgUnsupportedFile, false);
        return false;
    }
    return true;
}

bool PhotoImport::ConvertPicture(const std::string& source, int n, const std::string& folder, bool silent,
                                 std::string* outputPath) {
    if (outputPath != nullptr) outputPath->clear();
    if (!files_.canOpen(source)) return false;
    const PictureType type = pictureTypeOf(source);
    if (type == PictureType::Unsupported) return true;

    std::vector<unsigned char> file;
    try {
        Image picture;
        if (type == PictureType::Bmp) {
            const DecodeError error = decoder_.decodeBmp(source, picture);
            if (error != DecodeError::None || picture.empty() ||
                picture.bgr.size() != std::size_t(picture.width) * std::size_t(picture.height) * 3u) {
                tell(error == DecodeError::NotEnoughMemory ? MessageKind::MsgOutOfMemory
                                                           : MessageKind::MsgUnsupportedFile,
                     silent);
                return false;
            }
        } else {
            MessageKind message;
            if (!loadJpeg(source, Purpose::Convert, picture, message)) {
                tell(message, silent);
                return false;
            }
        }

        const PixelSize size = convertedSize(variant_, picture.width, picture.height, screenHeight_);
        Image scaled;
        // A picture so narrow that a side comes out 0 cannot be scaled.
        if (!resamplePicture(picture, scaled, size.width, size.height)) {
            tell(MessageKind::MsgUnsupportedFile, silent);
            return false;
        }
        picture = Image();
        file = encodeBmp24(scaled);
        if (file.empty()) {
            tell(MessageKind::MsgUnsupportedFile, silent);
            return false;
        }
    } catch (const std::bad_alloc&) {
        tell(MessageKind::MsgOutOfMemory, silent);
        return false;
    }

    // Written whole through the port: a failed write leaves the old bitmap.
    const std::string path = folder + photoFileName(n);
    if (!files_.writeAll(path, file.data(), file.size())) return false;
    if (outputPath != nullptr) *outputPath = path;
    return true;
}

}  // namespace qv
