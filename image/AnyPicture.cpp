#include "image/AnyPicture.h"

#include <new>

#include "image/ConvertSize.h"
#include "image/JpegHeader.h"
#include "image/Orientation.h"
#include "image/PictureFileHeader.h"
#include "image/PictureLimits.h"
#include "image/Resampler.h"

namespace qv {

namespace {

PictureLoad loadOf(DecodeError error) {
    switch (error) {
        case DecodeError::None: return PictureLoad::Loaded;
        case DecodeError::NotEnoughMemory: return PictureLoad::OutOfMemory;
        case DecodeError::TooLarge: return PictureLoad::TooLarge;
        case DecodeError::Stopped: return PictureLoad::Stopped;
        case DecodeError::Other: break;
    }
    return PictureLoad::NotPicture;
}

PictureLoad loadOf(PictureSizeCheck check) {
    switch (check) {
        case PictureSizeCheck::Accepted: return PictureLoad::Loaded;
        case PictureSizeCheck::TooLarge: return PictureLoad::TooLarge;
        case PictureSizeCheck::TooSmall: return PictureLoad::TooSmall;
    }
    return PictureLoad::NotPicture;
}

PictureLoad load(FilesPort& files, PictureDecoderPort& decoder, const std::string& path,
                 const PictureLoadRequest& request, Image& out) {
    if (!request.variant) return PictureLoad::NotPicture;
    PictureHeader header;
    const HeaderRead read = readPictureFileHeader(files, path, header);
    if (read == HeaderRead::Unreadable) return PictureLoad::Unreadable;
    const bool sized = read == HeaderRead::Sized;
    // Only a JPEG carries an orientation the core applies.
    const int orientation = sized && header.kind == PictureKind::Jpeg ? header.orientation : 1;
    const bool sideways = orientationSwapsSides(orientation);

    // Sized from the header: checked before any decoding, and the decoder
    // told the size it is wanted at (as stored, before turning).
    int wantedWidth = 0;
    int wantedHeight = 0;
    if (sized) {
        const PictureLoad check = loadOf(checkPictureSize(header.width, header.height));
        if (check != PictureLoad::Loaded) return check;
        const int uprightWidth = sideways ? header.height : header.width;
        const int uprightHeight = sideways ? header.width : header.height;
        const PixelSize target = convertedSize(*request.variant, uprightWidth, uprightHeight, request.screenHeight);
        if (target.width <= 0 || target.height <= 0) return PictureLoad::TooSmall;
        if (request.shrinkInDecoder) {
            wantedWidth = sideways ? target.height : target.width;
            wantedHeight = sideways ? target.width : target.height;
        }
    }

    // The decoder checks the size it finds against the same limit: a header
    // that gave none (or lied) is caught there, before any pixel is copied.
    const DecodeLimit limit{kLargestPictureSide, kLargestPicturePixels};
    Image picture;
    const PictureLoad decoded = loadOf(decoder.decodePicture(path, wantedWidth, wantedHeight, limit, request.stop, picture));
    if (decoded != PictureLoad::Loaded) return decoded;
    if (picture.empty() || picture.bgr.size() != std::size_t(picture.width) * std::size_t(picture.height) * 3u)
        return PictureLoad::NotPicture;

    // The converted size comes from the picture's own size: from the header,
    // or from the decoded picture when the header gave none.
    int ownWidth = picture.width;
    int ownHeight = picture.height;
    if (sized) {
        ownWidth = header.width;
        ownHeight = header.height;
    } else {
        const PictureLoad check = loadOf(checkPictureSize(ownWidth, ownHeight));
        if (check != PictureLoad::Loaded) return check;
    }
    applyOrientation(picture, orientation);
    const int uprightWidth = sideways ? ownHeight : ownWidth;
    const int uprightHeight = sideways ? ownWidth : ownHeight;
    const PixelSize target = convertedSize(*request.variant, uprightWidth, uprightHeight, request.screenHeight);
    if (!resamplePicture(picture, out, target.width, target.height)) return PictureLoad::TooSmall;
    return PictureLoad::Loaded;
}

}  // namespace

PictureLoad loadConvertedPicture(FilesPort& files, PictureDecoderPort& decoder, const std::string& path,
                                 const PictureLoadRequest& request, Image& out) {
    out = Image();
    try {
        const PictureLoad result = load(files, decoder, path, request, out);
        if (result != PictureLoad::Loaded) out = Image();
        return result;
    } catch (const std::bad_alloc&) {
        out = Image();
        return PictureLoad::OutOfMemory;
    }
}

}  // namespace qv
