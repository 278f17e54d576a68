#pragma once
// Modal dialog base class of our framework (Windows builds only): runs a
// dialog template from the program's resources and hands its messages to
// named On... handlers. The dialog manager does the default processing of
// anything a handler leaves.
#include <windows.h>

namespace qv::win {

class Dialog {
public:
    Dialog(int templateId, HWND parent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog until EndDialog; returns its result (IDOK, IDCANCEL,
    // ...) or -1 when the template could not be loaded.
    INT_PTR DoModal(HINSTANCE instance = nullptr);
    // The same from a template held in memory (DLGTEMPLATE and its items).
    INT_PTR DoModalIndirect(const DLGTEMPLATE* dialogTemplate, HINSTANCE instance = nullptr);
    void EndDialog(INT_PTR result);

    HWND handle() const { return handle_; }
    HWND item(int id) const { return GetDlgItem(handle_, id); }
    int templateId() const { return templateId_; }

protected:
    // True lets the system put the focus on the first control.
    virtual BOOL OnInitDialog();
    virtual void OnOK();      // IDOK: ends with IDOK
    virtual void OnCancel();  // IDCANCEL (and Esc, and the close box): ends with IDCANCEL
    // WM_COMMAND; true when handled. The default routes IDOK and IDCANCEL.
    virtual bool OnCommand(int id, int code, HWND control);
    // WM_NOTIFY; true when handled, with the answer in result.
    virtual bool OnNotify(int id, NMHDR* header, LRESULT& result);
    virtual void OnDestroy();
    // Any other message; true when handled, with the answer in result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

private:
    static INT_PTR CALLBACK staticProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR dialogProc(UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND parent_;
    HWND handle_ = nullptr;
};

}  // namespace qv::win
