#pragma once
// The message port: the fixed message dialogs of the settings dialog
// and the photo conversion. Each is modal, captioned with the product name,
// and shown in the user's interface language (the adapter picks the template
// number from the variant record).
namespace qv {

enum class MessageKind {
    MsgAlreadyListed,
    MsgConfirmRemove,      // YES / NO
    MsgConfirmInitialize,  // YES / NO
    MsgListFull,
    MsgUnsupportedFile,
    MsgPictureTooLarge,
    MsgOutOfMemory,
    MsgCannotDeleteAll,
    // Ours: a bitmap could not be written or a file could not be moved, so
    // the list was left as it was.
    MsgCannotSavePicture,
    // Ours: a folder picked for a slot holds no picture that can be shown.
    MsgFolderWithoutPictures,
};

// Which button ended a message: the first one (OK / YES), or the second one
// (NO / Cancel), which Escape counts as.
constexpr int kMsgFirstButton = 1;   // IDOK
constexpr int kMsgSecondButton = 2;  // IDCANCEL

class MessagePort {
public:
    virtual ~MessagePort() = default;

    // Puts the arrow cursor back (the caller may be showing the wait
    // cursor); done before a message appears.
    virtual void restoreArrowCursor() = 0;

    // Runs the message modally; returns kMsgFirstButton or kMsgSecondButton.
    virtual int showMessage(MessageKind kind) = 0;
};

}  // namespace qv
