#pragma once
// The settings dialog's window (Windows builds only): template 102 with its
// list view of thumbnails, the buttons and the two pairs of radio buttons.
// Everything the buttons do is SettingsDialog's; this class binds the
// controls, the thumbnail image list, the open-file dialog and the cursors.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "platform/win32/Win32Decoder.h"
#include "platform/win32/Win32Dialog.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Messages.h"
#include "platform/win32/Win32Registry.h"
#include "ports/PictureListPort.h"
#include "settings/SettingsDialog.h"
#include "variant/Variant.h"

namespace qv::win {

class SettingsDialogWindow : public Dialog, private PictureListPort {
public:
    // Prepares the picture folder at once (a first start converts the
    // default stills, with the wait cursor); owner may be nullptr.
    SettingsDialogWindow(const Variant& variant, HWND owner, HINSTANCE instance);
    ~SettingsDialogWindow() override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
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

    // The picture list port.
    bool createThumbnailList() override;
    void deleteAllItems() override;
    bool insertItem(int index, const Image& thumbnail) override;
    void revealItem(int index) override;
    std::optional<std::string> choosePicture(const std::string& initialFolder) override;
    void showWaitCursor() override;

    const Variant& variant_;
    HINSTANCE instance_;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HIMAGELIST thumbnails_ = nullptr;
    bool busy_ = false;  // an operation is running (its dialogs may be open)
    Win32Files files_;
    Win32Registry registry_;
    Win32Decoder decoder_;
    Win32Messages messages_;
    std::unique_ptr<SettingsDialog> logic_;
};

}  // namespace qv::win
