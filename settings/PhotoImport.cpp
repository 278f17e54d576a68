#include "settings/PhotoImport.h"

#include <new>
#include <optional>
#include <vector>

#include "image/AnyPicture.h"
#include "image/BmpFile.h"
#include "image/ConvertSize.h"
#include "image/JpegPicture.h"
#include "image/JpegHeader.h"
#include "image/PictureFileHeader.h"
#include "image/PictureHeader.h"
#include "image/PictureLimits.h"
#include "image/PictureType.h"
#include "image/Resampler.h"
#include "library/FolderListing.h"
#include "library/FolderPictures.h"
#include "library/LibraryFile.h"
#include "settings/SettingsStore.h"

namespace qv {

namespace {

MessageKind messageOf(PictureSizeCheck check) {
    return check == PictureSizeCheck::TooLarge ? MessageKind::MsgPictureTooLarge : MessageKind::MsgUnsupportedFile;
}

MessageKind messageOf(PictureLoad load) {
    switch (load) {
        case PictureLoad::TooLarge: return MessageKind::MsgPictureTooLarge;
        case PictureLoad::OutOfMemory: return MessageKind::MsgOutOfMemory;
        default: return MessageKind::MsgUnsupportedFile;
    }
}

}  // namespace

PhotoImport::PhotoImport(const Variant& variant, FilesPort& files, DecoderPort& decoder, MessagePort& messages,
                         int screenHeight)
    : variant_(variant), files_(files), decoder_(decoder), messages_(messages), screenHeight_(screenHeight) {}

void PhotoImport::setPictureDecoder(PictureDecoderPort* decoder) {
    pictureDecoder_ = decoder;
    extensions_ = PictureExtensions();
    if (!decoder) return;
    extensions_ = PictureExtensions::fromDecoderLists(decoder->decoderExtensions());
    if (extensions_.empty()) extensions_ = PictureExtensions::basic();
}

void PhotoImport::setFolderPort(FolderPort* folders, std::uint64_t seed) {
    folders_ = folders;
    random_ = SeededRandom(seed);
}

PhotoImport::Kind PhotoImport::kindOf(const std::string& source) const {
    if (isFolderSource(source)) return Kind::Folder;
    switch (pictureTypeOf(source)) {
        case PictureType::Bmp: return Kind::Bmp;
        case PictureType::Jpeg: return Kind::Jpeg;
        case PictureType::Unsupported: break;
    }
    return pictureDecoder_ && extensions_.takes(source) ? Kind::Other : Kind::Unsupported;
}

void PhotoImport::tell(MessageKind kind, bool silent) {
    if (silent) return;
    messages_.restoreArrowCursor();
    messages_.showMessage(kind);
}

std::optional<MessageKind> PhotoImport::checkHeader(const std::string& source, Kind kind) {
    PictureHeader header;
    if (kind == Kind::Jpeg) {
        // As the conversion reads it: the whole file, sized from its own
        // header (a GIF, PNG or BMP named .jpg from theirs).
        std::vector<unsigned char> bytes;
        if (!files_.readAll(source, bytes, kLargestJpegFileBytes) ||
            !readPictureHeader(bytes.data(), bytes.size(), header))
            return MessageKind::MsgUnsupportedFile;
    } else {
        const HeaderRead read = readPictureFileHeader(files_, source, header);
        // A BMP always gives its size; another kind may give it only to its
        // decoder (a TIFF's directory at its end), which the conversion checks.
        if (read == HeaderRead::Unreadable || (read == HeaderRead::NotSized && kind == Kind::Bmp))
            return MessageKind::MsgUnsupportedFile;
        if (read == HeaderRead::NotSized) return std::nullopt;
        // The BMP decoder takes nothing else, whatever the bytes are.
        if (kind == Kind::Bmp && header.kind != PictureKind::Bmp) return MessageKind::MsgUnsupportedFile;
    }
    const bool sideways = orientationSwapsSides(header.orientation);
    const int w = sideways ? header.height : header.width;
    const int h = sideways ? header.width : header.height;
    // A JPEG's height of 0 comes with its first scan (its width, when the
    // picture is turned): the other side alone now.
    const PictureSizeCheck check = checkPictureSize(w == 0 ? 2 : w, h == 0 ? 2 : h);
    if (check != PictureSizeCheck::Accepted) return messageOf(check);
    return std::nullopt;
}

bool PhotoImport::ValidatePicture(const std::string& source) {
    checked_.clear();
    const Kind kind = kindOf(source);
    std::optional<MessageKind> refused = MessageKind::MsgUnsupportedFile;
    try {
        if (kind != Kind::Unsupported && kind != Kind::Folder) refused = checkHeader(source, kind);
    } catch (const std::bad_alloc&) {
        refused = MessageKind::MsgOutOfMemory;
    }
    if (refused) {
        tell(*refused, false);
        return false;
    }
    checked_ = source;
    return true;
}

bool PhotoImport::convertedPixels(const std::string& source, Kind kind, bool picked, bool silent, Image& out) {
    Image picture;
    if (kind == Kind::Other) {
        PictureLoadRequest request;
        request.variant = &variant_;
        request.screenHeight = screenHeight_;
        const PictureLoad load = loadConvertedPicture(files_, *pictureDecoder_, source, request, out);
        if (load == PictureLoad::Loaded) return true;
        tell(messageOf(load), silent);
        return false;
    }
    if (kind == Kind::Bmp) {
        const DecodeError error = decoder_.decodeBmp(source, picture);
        if (error != DecodeError::None || picture.empty() ||
            picture.bgr.size() != std::size_t(picture.width) * std::size_t(picture.height) * 3u) {
            tell(error == DecodeError::NotEnoughMemory ? MessageKind::MsgOutOfMemory : MessageKind::MsgUnsupportedFile,
                 silent);
            return false;
        }
    } else {
        // A picked JPEG whose height its header did not give meets the
        // dialog's limit here, with the dialog's message.
        MessageKind message;
        if (!loadJpeg(files_, decoder_, source, picked ? JpegPurpose::Picked : JpegPurpose::Convert, picture,
                      message)) {
            tell(message, silent);
            return false;
        }
    }
    if (picked && checkPictureSize(picture.width, picture.height) == PictureSizeCheck::TooSmall) {
        tell(MessageKind::MsgUnsupportedFile, silent);
        return false;
    }
    const PixelSize size = convertedSize(variant_, picture.width, picture.height, screenHeight_);
    // A picture so narrow that a side comes out 0 cannot be scaled.
    if (!resamplePicture(picture, out, size.width, size.height)) {
        tell(MessageKind::MsgUnsupportedFile, silent);
        return false;
    }
    return true;
}

Conversion PhotoImport::write(Image&& converted, int n, const std::string& folder, bool silent) {
    std::vector<unsigned char> file = encodeBmp24(converted);
    if (file.empty()) {
        tell(MessageKind::MsgUnsupportedFile, silent);
        return {Conversion::Outcome::Failed, {}, {}};
    }
    // Written whole through the port: a failed write leaves the old bitmap.
    const std::string path = folder + photoFileName(n);
    if (!files_.writeAll(path, file.data(), file.size())) {
        tell(MessageKind::MsgCannotSavePicture, silent);
        return {Conversion::Outcome::CannotSave, {}, {}};
    }
    return {Conversion::Outcome::Written, path, std::move(converted)};
}

Conversion PhotoImport::ConvertPicture(const std::string& source, int n, const std::string& folder, bool silent) {
    using Outcome = Conversion::Outcome;
    const Kind kind = kindOf(source);
    const bool picked = !checked_.empty() && checked_ == source;
    checked_.clear();
    if (kind == Kind::Folder) return convertFolder(source, n, folder, silent);
    if (!files_.canOpen(source)) return {Outcome::SourceMissing, {}, {}};
    if (kind == Kind::Unsupported) return {Outcome::NothingToDo, {}, {}};
    try {
        Image converted;
        if (!convertedPixels(source, kind, picked, silent, converted)) return {Outcome::Failed, {}, {}};
        return write(std::move(converted), n, folder, silent);
    } catch (const std::bad_alloc&) {
        tell(MessageKind::MsgOutOfMemory, silent);
        return {Outcome::Failed, {}, {}};
    }
}

Conversion PhotoImport::convertFolder(const std::string& source, int n, const std::string& folder, bool silent) {
    using Outcome = Conversion::Outcome;
    // Without the folder port a folder is as out of reach as a missing file
    // (the show passes it over as before; its own worker serves folders).
    if (!folders_ || !pictureDecoder_) return {Outcome::SourceMissing, {}, {}};
    try {
        const FolderListing listing = listFolder(*folders_, source, extensions_);
        FolderPictures pictures;
        pictures.takeListing(listing.pictures, random_);
        Image converted;
        // The first picture of the order that converts; the broken ones
        // before it are passed over.
        const auto usable = convertsInto(source, converted);
        if (!listing.reachable || !pictures.next(random_, usable)) {
            tell(MessageKind::MsgFolderWithoutPictures, silent);
            return {Outcome::Failed, {}, {}};
        }
        return writeFolder(source, pictures.order(), std::move(converted), n, folder, silent);
    } catch (const std::bad_alloc&) {
        tell(MessageKind::MsgOutOfMemory, silent);
        return {Outcome::Failed, {}, {}};
    }
}

std::function<bool(const std::string&)> PhotoImport::convertsInto(const std::string& source, Image& converted) {
    PictureLoadRequest request;
    request.variant = &variant_;
    request.screenHeight = screenHeight_;
    return [this, source, request, &converted](const std::string& name) {
        return loadConvertedPicture(files_, *pictureDecoder_, source + name, request, converted) ==
               PictureLoad::Loaded;
    };
}

Conversion PhotoImport::writeFolder(const std::string& source, const FolderOrder& order, Image&& converted,
                                    int n, const std::string& folder, bool silent) {
    const std::string library = folder + libraryFileName(n);
    std::vector<unsigned char> before;
    const bool hadLibrary = files_.readAll(library, before, kLargestLibraryFileBytes);
    // The order first: a bitmap without it is a folder slot the show lists
    // again; an order without its bitmap is never left.
    if (!writeLibraryFile(files_, folder, n, libraryStateOf(source, order))) {
        tell(MessageKind::MsgCannotSavePicture, silent);
        return {Conversion::Outcome::CannotSave, {}, {}};
    }
    Conversion made = write(std::move(converted), n, folder, silent);
    if (made.written()) return made;
    if (!hadLibrary || !files_.writeAll(library, before.data(), before.size())) files_.remove(library);
    return made;
}

Conversion PhotoImport::RebuildFolderBitmap(const std::string& source, int n, const std::string& folder,
                                            bool silent) {
    using Outcome = Conversion::Outcome;
    checked_.clear();
    if (!isFolderSource(source) || !folders_ || !pictureDecoder_) return {Outcome::SourceMissing, {}, {}};
    try {
        FolderPictures pictures;
        LibraryState kept;
        if (readLibraryFile(files_, folder, n, source, kept)) restoreOrder(kept, pictures.order());
        Image converted;
        const auto usable = convertsInto(source, converted);
        bool listed = false;
        switch (pickFolderPicture(*folders_, extensions_, source, pictures, listed, random_, usable)) {
            case FolderPick::Found:
                return writeFolder(source, pictures.order(), std::move(converted), n, folder, silent);
            case FolderPick::Unreachable: return {Outcome::SourceMissing, {}, {}};
            case FolderPick::NoPicture: break;
        }
        tell(MessageKind::MsgFolderWithoutPictures, silent);
        return {Outcome::Failed, {}, {}};
    } catch (const std::bad_alloc&) {
        tell(MessageKind::MsgOutOfMemory, silent);
        return {Outcome::Failed, {}, {}};
    }
}

}  // namespace qv
