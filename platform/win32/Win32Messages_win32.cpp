#include "platform/win32/Win32Messages.h"

#include "platform/win32/Win32App.h"

namespace qv::win {

namespace {

// The messages have no behaviour of their own: the first button ends them
// with IDOK, the second button and Escape (which the dialog manager turns
// into IDCANCEL, also for one-button messages) with IDCANCEL.
INT_PTR CALLBACK messageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    EndDialog(dialog, kMsgFirstButton);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, kMsgSecondButton);
                    return TRUE;
                default:
                    break;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace

Win32Messages::Win32Messages(const Variant& variant, HINSTANCE resources, HWND owner)
    : variant_(variant), resources_(resources), owner_(owner) {}

int Win32Messages::templateNumber(const Variant& variant, MessageKind kind) {
    const MessageTemplates& t = variant.messages;
    switch (kind) {
        case MessageKind::MsgAlreadyListed: return t.alreadyListed;
        case MessageKind::MsgConfirmRemove: return t.confirmRemove;
        case MessageKind::MsgConfirmInitialize: return t.confirmInitialize;
        case MessageKind::MsgListFull: return t.listFull;
        case MessageKind::MsgUnsupportedFile: return t.unsupportedFile;
        case MessageKind::MsgPictureTooLarge: return t.pictureTooLarge;
        case MessageKind::MsgOutOfMemory: return t.outOfMemory;
        case MessageKind::MsgCannotDeleteAll: return t.cannotDeleteAll;
        case MessageKind::MsgCannotSavePicture: return t.cannotSavePicture;
        case MessageKind::MsgFolderWithoutPictures: return t.folderWithoutPictures;
    }
    return 0;
}

void Win32Messages::restoreArrowCursor() { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); }

int Win32Messages::showMessage(MessageKind kind) {
    HINSTANCE module = resources_ ? resources_ : GetModuleHandleW(nullptr);
    HWND owner = owner_;
    if (!owner) {
        // Without a parent of its own a message belongs to the application's
        // main window, when there is one that still exists.
        if (Application* app = Application::current()) owner = app->mainWindow();
        if (owner && !IsWindow(owner)) owner = nullptr;
    }
    const INT_PTR result = DialogBoxParamW(module, MAKEINTRESOURCEW(templateNumber(variant_, kind)),
                                           owner, messageProc, 0);
    // A message that could not be shown answers like its second button, so a
    // confirmation never goes ahead unconfirmed.
    return result == kMsgFirstButton ? kMsgFirstButton : kMsgSecondButton;
}

}  // namespace qv::win
