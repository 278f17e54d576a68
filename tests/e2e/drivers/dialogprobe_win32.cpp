// Checks the modal dialog base class under Wine: a dialog made from a
// template in memory reaches OnInitDialog, routes a button's WM_COMMAND to
// OnCommand and IDOK to OnOK, and DoModal returns what EndDialog was given;
// Esc (IDCANCEL) reaches OnCancel. Exit code 0 when every check held.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/win32/Win32Dialog.h"

namespace {

int failures = 0;
void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
}

constexpr WORD kButton = 1001;

// A dialog template in memory: one push button with id kButton.
std::vector<WORD> makeTemplate() {
    std::vector<WORD> words(64, 0);
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(words.data());
    dialog->style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_VISIBLE;
    dialog->cdit = 1;
    dialog->cx = 120;
    dialog->cy = 60;
    std::size_t at = sizeof(DLGTEMPLATE) / sizeof(WORD);
    at += 3;  // no menu, default class, empty title
    at = (at + 1) & ~static_cast<std::size_t>(1);  // items start on a DWORD boundary
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(words.data() + at);
    item->style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    item->x = 10;
    item->y = 10;
    item->cx = 50;
    item->cy = 14;
    item->id = kButton;
    at += sizeof(DLGITEMTEMPLATE) / sizeof(WORD);
    words[at++] = 0xFFFF;  // predefined class:
    words[at++] = 0x0080;  // button
    words[at++] = 0;       // no text
    words[at++] = 0;       // no creation data
    return words;
}

class ProbeDialog : public qv::win::Dialog {
public:
    ProbeDialog() : Dialog(0) {}
    bool initialised = false, commanded = false, okay = false, cancelled = false;
    bool endWithCancel = false;

protected:
    BOOL OnInitDialog() override {
        initialised = handle() != nullptr;
        // Click the button once the dialog runs.
        PostMessageW(item(kButton), BM_CLICK, 0, 0);
        return TRUE;
    }
    bool OnCommand(int id, int code, HWND control) override {
        if (id == kButton) {
            commanded = code == BN_CLICKED && control == item(kButton);
            PostMessageW(handle(), WM_COMMAND, endWithCancel ? IDCANCEL : IDOK, 0);
            return true;
        }
        return Dialog::OnCommand(id, code, control);
    }
    void OnOK() override {
        okay = true;
        EndDialog(42);
    }
    void OnCancel() override {
        cancelled = true;
        Dialog::OnCancel();
    }
};

}  // namespace

int main() {
    const std::vector<WORD> dialogTemplate = makeTemplate();
    ProbeDialog first;
    const INT_PTR result = first.DoModalIndirect(reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()));
    check(first.initialised, "OnInitDialog runs with the dialog's handle");
    check(first.commanded, "a button's click reaches OnCommand with its id, code and control");
    check(first.okay && !first.cancelled, "IDOK reaches OnOK");
    check(result == 42, "DoModal gives what EndDialog was given");
    check(first.handle() == nullptr, "the handle is gone after the dialog");

    ProbeDialog second;
    second.endWithCancel = true;
    const INT_PTR cancelled = second.DoModalIndirect(reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()));
    check(second.cancelled && !second.okay, "IDCANCEL reaches OnCancel");
    check(cancelled == IDCANCEL, "the default OnCancel ends with IDCANCEL");

    ProbeDialog missing;
    check(missing.DoModal() == -1, "a template that is not there gives -1");
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
