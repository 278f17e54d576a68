#include "platform/win32/Win32Dialog.h"

namespace qv::win {

Dialog::Dialog(int templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() = default;

INT_PTR Dialog::DoModal(HINSTANCE instance) {
    if (!instance) instance = GetModuleHandleW(nullptr);
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId_), parent_, &Dialog::staticProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::DoModalIndirect(const DLGTEMPLATE* dialogTemplate, HINSTANCE instance) {
    if (!instance) instance = GetModuleHandleW(nullptr);
    return DialogBoxIndirectParamW(instance, dialogTemplate, parent_, &Dialog::staticProc,
                                   reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result) {
    if (handle_) ::EndDialog(handle_, result);
}

INT_PTR CALLBACK Dialog::staticProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        if (self) self->handle_ = dialog;
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    }
    if (!self) return FALSE;
    const INT_PTR result = self->dialogProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        self->handle_ = nullptr;
    }
    return result;
}

INT_PTR Dialog::dialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog();
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
        case WM_NOTIFY: {
            LRESULT answer = 0;
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (!OnNotify(static_cast<int>(wParam), header, answer)) return FALSE;
            SetWindowLongPtrW(handle_, DWLP_MSGRESULT, answer);
            return TRUE;
        }
        case WM_DESTROY: OnDestroy(); return FALSE;
        default: {
            INT_PTR answer = 0;
            return OnMessage(message, wParam, lParam, answer) ? answer : FALSE;
        }
    }
}

BOOL Dialog::OnInitDialog() { return TRUE; }
void Dialog::OnOK() { EndDialog(IDOK); }
void Dialog::OnCancel() { EndDialog(IDCANCEL); }

bool Dialog::OnCommand(int id, int, HWND) {
    if (id == IDOK) { OnOK(); return true; }
    if (id == IDCANCEL) { OnCancel(); return true; }
    return false;
}

bool Dialog::OnNotify(int, NMHDR*, LRESULT&) { return false; }
void Dialog::OnDestroy() {}
bool Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

}  // namespace qv::win
