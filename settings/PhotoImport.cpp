#include "settings/PhotoImport.h"

#include <new>
#include <vector>

#include "image/BmpFile.h"
#include "image/ConvertSize.h"
#include "image/JpegPicture.h"
#include "image/PictureType.h"
#include "image/Resampler.h"
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

bool PhotoImport::ValidatePicture(const std::string& source) {
    validated_ = Validated();
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
                if (!loadJpeg(files_, decoder_, source, JpegPurpose::Validate, picture, message)) {
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
    // The conversion that follows takes these pixels instead of decoding
    // the file a second time (the longest step of an Add).
    validated_.source = source;
    validated_.picture = std::move(picture);
    return true;
}

Conversion PhotoImport::ConvertPicture(const std::string& source, int n, const std::string& folder, bool silent) {
    using Outcome = Conversion::Outcome;
    if (!files_.canOpen(source)) return {Outcome::SourceMissing, {}};
    const PictureType type = pictureTypeOf(source);
    if (type == PictureType::Unsupported) return {Outcome::NothingToDo, {}};
    const Conversion failed{Outcome::Failed, {}};

    std::vector<unsigned char> file;
    try {
        Image picture;
        Validated validated = std::move(validated_);
        validated_ = Validated();
        if (!validated.picture.empty() && validated.source == source) {
            picture = std::move(validated.picture);
        } else if (type == PictureType::Bmp) {
            const DecodeError error = decoder_.decodeBmp(source, picture);
            if (error != DecodeError::None || picture.empty() ||
                picture.bgr.size() != std::size_t(picture.width) * std::size_t(picture.height) * 3u) {
                tell(error == DecodeError::NotEnoughMemory ? MessageKind::MsgOutOfMemory
                                                           : MessageKind::MsgUnsupportedFile,
                     silent);
                return failed;
            }
        } else {
            MessageKind message;
            if (!loadJpeg(files_, decoder_, source, JpegPurpose::Convert, picture, message)) {
                tell(message, silent);
                return failed;
            }
        }

        const PixelSize size = convertedSize(variant_, picture.width, picture.height, screenHeight_);
        Image scaled;
        // A picture so narrow that a side comes out 0 cannot be scaled.
        if (!resamplePicture(picture, scaled, size.width, size.height)) {
            tell(MessageKind::MsgUnsupportedFile, silent);
            return failed;
        }
        picture = Image();
        file = encodeBmp24(scaled);
        if (file.empty()) {
            tell(MessageKind::MsgUnsupportedFile, silent);
            return failed;
        }
    } catch (const std::bad_alloc&) {
        tell(MessageKind::MsgOutOfMemory, silent);
        return failed;
    }

    // Written whole through the port: a failed write leaves the old bitmap.
    const std::string path = folder + photoFileName(n);
    if (!files_.writeAll(path, file.data(), file.size())) {
        tell(MessageKind::MsgCannotSavePicture, silent);
        return {Outcome::CannotSave, {}};
    }
    return {Outcome::Written, path};
}

}  // namespace qv
