#pragma once
// The settings dialog's window (Windows builds only): template 102 with its
// list view of thumbnails, the buttons and the two pairs of radio buttons.
// Everything the buttons do is SettingsDialog's; this class binds the
// controls, the thumbnail image list, the open-file dialog, the folder
// picker and the cursors.
//
// The picture operations (opening's conversions, Add, Delete, Exchange,
// Initialize) run on one worker thread, so the dialog keeps painting,
// moving and answering; what they ask of the window (a thumbnail, a
// message, the file selection) is carried over to the window's own thread
// and waited for there. While one runs, the buttons that would start
// another are disabled, a line shows which picture is being converted, and
// OK or Cancel close the dialog as soon as it has ended.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/Win32Decoder.h"
#include "platform/win32/Win32Dialog.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Folders.h"
#include "platform/win32/Win32Messages.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Worker.h"
#include "platform/win32/WicDecoder.h"
#include "ports/PictureListPort.h"
#include "settings/SettingsDialog.h"
#include "variant/Variant.h"

namespace qv::win {

class SettingsDialogWindow : public Dialog, private PictureListPort, private MessagePort {
public:
    // owner may be nullptr. Nothing is read or converted before the window
    // is up.
    SettingsDialogWindow(const Variant& variant, HWND owner, HINSTANCE instance);
    ~SettingsDialogWindow() override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void OnDestroy() override;

private:
    void OnPaint();
    HICON OnQueryDragIcon() { return icon_; }
    void OnListItemChanged();
    void OnListAllDeleted();
    void enableItemButtons(bool enable);
    int selectedItem() const;

    // Hands an operation of the logic to the worker; the window is told on
    // its own thread when it has ended.
    void runOperation(std::function<void()> operation);
    void OnOperationEnded();
    // Runs call on the window's thread, waiting for it there when called
    // from the worker.
    void onInterface(const std::function<void()>& call);
    bool tryStart();  // false while an operation runs
    void setCursorNow();
    void hideProgress();

    // The picture list port, asked from the worker.
    bool createThumbnailList() override;
    void deleteAllItems() override;
    bool insertItem(int index, const Image& thumbnail, const std::string& source) override;
    void revealItem(int index) override;
    std::optional<std::string> choosePicture(const std::string& initialFolder) override;
    std::optional<std::string> chooseFolder(const std::string& initialFolder) override;
    // The open-file dialog's filter: all pictures the system decodes first.
    std::wstring pictureFilter() const;
    void showWaitCursor() override;
    void showProgress(int current, int total) override;
    ThumbnailSize thumbnailSize() const override { return thumbnailSize_; }
    // The message port, asked from the worker.
    void restoreArrowCursor() override;
    int showMessage(MessageKind kind) override;

    const Variant& variant_;
    HINSTANCE instance_;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HIMAGELIST thumbnails_ = nullptr;
    ThumbnailSize thumbnailSize_{kThumbnailWidth, kThumbnailHeight};
    DWORD interfaceThread_ = 0;
    bool busy_ = false;        // an operation is running (its dialogs may be open)
    bool waitCursor_ = false;  // the hourglass is due over the dialog
    int closeWith_ = 0;        // IDOK or IDCANCEL asked for while busy
    std::wstring progressFormat_;          // "Converting picture %d of %d..."
    std::vector<std::wstring> itemPaths_;  // each item's picture, for its tip
    Win32Files files_;
    Win32Registry registry_;
    Win32Decoder decoder_;
    Win32Folders folders_;
    WicDecoder pictures_;
    Win32Messages messages_;
    std::unique_ptr<SettingsDialog> logic_;
    std::unique_ptr<Worker> worker_;  // last: it ends before what its jobs use
};

}  // namespace qv::win
