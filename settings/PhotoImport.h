#pragma once
// Checking a picture the user picked, and converting a picture into the
// screen-sized 24-bit bitmap photoN.bmp of slot N.
#include <cstddef>
#include <cstdint>
#include <string>

#include "image/JpegPicture.h"
#include "ports/DecoderPort.h"
#include "ports/FilesPort.h"
#include "ports/MessagePort.h"
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

    bool written() const { return outcome == Outcome::Written; }
    // True where the slot may be stored: written, or nothing to write.
    explicit operator bool() const { return written() || outcome == Outcome::NothingToDo; }
};

class PhotoImport {
public:
    // screenHeight: the primary screen's height in pixels (variants B and C
    // size their bitmaps from it).
    PhotoImport(const Variant& variant, FilesPort& files, DecoderPort& decoder, MessagePort& messages,
                int screenHeight);

    // The check run on a file the user picked: its type, that it decodes and
    // that both sides are 2 .. 5000 pixels. Shows at most one message and
    // returns false after it. The decoded pixels are kept for the next
    // ConvertPicture of the same file.
    bool ValidatePicture(const std::string& source);

    // Writes folder + "photoN.bmp" from source. A source that cannot be
    // opened fails without a message; a name of no supported type "succeeds"
    // with nothing written. Otherwise failure shows one message unless
    // silent (MsgCannotSavePicture when the bitmap cannot be written). The
    // bitmap is written whole or not at all: a previous photoN.bmp stays
    // unless a new one replaced it.
    Conversion ConvertPicture(const std::string& source, int n, const std::string& folder, bool silent);

    // Lets go of the pixels the last check decoded, when no conversion of
    // that picture follows.
    void releaseValidated() { validated_ = Validated(); }

private:
    void tell(MessageKind kind, bool silent);

    // The picture the last successful check decoded, kept for the
    // conversion of the same file that follows it.
    struct Validated {
        std::string source;
        Image picture;
    };
    Validated validated_;

    const Variant& variant_;
    FilesPort& files_;
    DecoderPort& decoder_;
    MessagePort& messages_;
    int screenHeight_;
};

}  // namespace qv
