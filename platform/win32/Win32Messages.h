#pragma once
// The message port on dialog templates (Windows builds only): the variant's
// template numbers, run modally with DialogBoxParamW so the system picks the
// English or Japanese template for the user's interface language.
#include <windows.h>

#include "ports/MessagePort.h"
#include "variant/Variant.h"

namespace qv::win {

class Win32Messages : public MessagePort {
public:
    // resources: the module holding the templates (nullptr: the program
    // itself). owner: nullptr means the application's main window, if any.
    explicit Win32Messages(const Variant& variant, HINSTANCE resources = nullptr,
                           HWND owner = nullptr);

    // The window the messages belong to from now on (nullptr: the
    // application's main window, if any).
    void setOwner(HWND owner) { owner_ = owner; }

    void restoreArrowCursor() override;
    int showMessage(MessageKind kind) override;

    // The variant's template number of a message.
    static int templateNumber(const Variant& variant, MessageKind kind);

private:
    const Variant& variant_;
    HINSTANCE resources_;
    HWND owner_;
};

}  // namespace qv::win
