#pragma once
// Checking a picture the user picked, and converting a picture into the
// screen-sized 24-bit bitmap photoN.bmp of slot N. A slot may also stand for
// a folder (its source ends with a backslash): its bitmap is then the
// folder's current picture and its order lives in photoN.library beside it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "image/JpegPicture.h"
#include "image/PictureExtensions.h"
#include "library/FolderOrder.h"
#include "library/RandomSource.h"
#include "ports/DecoderPort.h"
#include "ports/FilesPort.h"
#include "ports/FolderPort.h"
#include "ports/MessagePort.h"
#include "ports/PictureDecoderPort.h"
#include "variant/Variant.h"

namespace qv {

// The show fails silently: a message port that shows nothing.
class SilentMessages : public MessagePort {
public:
    void restoreArrowCursor() override {}
    int showMessage(MessageKind) override { return kMsgSecondButton; }
};

// What one conversion did. Only Written leaves a new bitmap at path.
struct Conversion {
    enum class Outcome {
        Written,        // folder + "photoN.bmp" holds the picture now
        NothingToDo,    // a name of no supported type: nothing written, not an error
        SourceMissing,  // the source cannot be opened (no message)
        Failed,         // the picture cannot be made (its message was shown)
        CannotSave,     // made, but the bitmap could not be written (disk full, no access)
    };
    Outcome outcome = Outcome::Failed;
    std::string path;  // the bitmap written; empty unless Written
    Image picture;     // the converted pixels written there (a thumbnail's source)

    bool written() const { return outcome == Outcome::Written; }
    // True where the slot may be stored: written, or nothing to write.
    explicit operator bool() const { return written() || outcome == Outcome::NothingToDo; }
};

// A slot's source that names a folder: its path ends with a backslash.
inline bool isFolderSource(const std::string& source) { return !source.empty() && source.back() == '\\'; }

class PhotoImport {
public:
    // screenHeight: the primary screen's height in pixels (variants B and C
    // size their bitmaps from it).
    PhotoImport(const Variant& variant, FilesPort& files, DecoderPort& decoder, MessagePort& messages,
                int screenHeight);

    // With the platform's picture decoder, every file a decoder takes by its
    // extension is a picture (PNG, GIF, TIFF, ...), converted through it;
    // without one only JPEG and BMP files are. nullptr takes it away.
    void setPictureDecoder(PictureDecoderPort* decoder);
    // With a folder port (and a picture decoder), a folder source is listed
    // and its first picture in a shuffled order converted; without one a
    // folder source converts as a missing file does. seed: the shuffle's.
    void setFolderPort(FolderPort* folders, std::uint64_t seed);
    // The extensions taken for pictures; empty without a picture decoder.
    const PictureExtensions& extensions() const { return extensions_; }

    // The check run on a file the user picked, from its header alone before
    // any decoding: its type, and both sides 2 .. 16384 pixels and at most
    // 100 megapixels. Shows at most one message and returns false after it.
    // A size the header does not give is checked by the conversion of the
    // same file that follows, with the same message.
    bool ValidatePicture(const std::string& source);

    // Writes folder + "photoN.bmp" from source. A source that cannot be
    // opened fails without a message; a name of no supported type "succeeds"
    // with nothing written. Otherwise failure shows one message unless
    // silent (MsgCannotSavePicture when the bitmap cannot be written). The
    // bitmap is written whole or not at all: a previous photoN.bmp stays
    // unless a new one replaced it. A folder source (with the folder port)
    // is listed, the first picture of its shuffled order that converts is
    // written, and the order to folder + "photoN.library" before it; a
    // folder without one gives MsgFolderWithoutPictures.
    Conversion ConvertPicture(const std::string& source, int n, const std::string& folder, bool silent);

    // A folder slot's bitmap made again after it went missing: the next
    // usable picture of the order kept in folder + "photoN.library" (a new
    // order from a listing when that file is missing, damaged or another
    // folder's), written with the order as ConvertPicture writes them. A
    // folder that cannot be read is SourceMissing without a message, as a
    // picture file that is gone, and its library file stays for its return.
    Conversion RebuildFolderBitmap(const std::string& source, int n, const std::string& folder, bool silent);

    // Forgets the last check, when no conversion of that picture follows.
    void releaseValidated() { checked_.clear(); }

private:
    enum class Kind { Bmp, Jpeg, Other, Folder, Unsupported };
    Kind kindOf(const std::string& source) const;
    void tell(MessageKind kind, bool silent);
    // The message a picked file's header earns, or nothing when it passes.
    std::optional<MessageKind> checkHeader(const std::string& source, Kind kind);
    // The converted pixels of a picture file; false after its message.
    bool convertedPixels(const std::string& source, Kind kind, bool picked, bool silent, Image& out);
    Conversion convertFolder(const std::string& source, int n, const std::string& folder, bool silent);
    // Whether a picture of the folder source (named as its order names it)
    // converts, leaving its pixels in converted: the test that picks a
    // folder's first usable picture.
    std::function<bool(const std::string&)> convertsInto(const std::string& source, Image& converted);
    Conversion write(Image&& converted, int n, const std::string& folder, bool silent);
    // The folder's order and its first picture written: the order first, so
    // that a bitmap is never left without it; on a failure the library file
    // from before is put back (none: none is left).
    Conversion writeFolder(const std::string& source, const FolderOrder& order, Image&& converted, int n,
                           const std::string& folder, bool silent);

    // The file the last successful check passed, whose conversion follows.
    std::string checked_;

    const Variant& variant_;
    FilesPort& files_;
    DecoderPort& decoder_;
    MessagePort& messages_;
    int screenHeight_;
    PictureDecoderPort* pictureDecoder_ = nullptr;
    PictureExtensions extensions_;
    FolderPort* folders_ = nullptr;
    SeededRandom random_{0};
};

}  // namespace qv
