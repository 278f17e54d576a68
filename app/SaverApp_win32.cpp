#include "app/SaverApp_win32.h"

#include <commctrl.h>

#include "app/SaverSwitches.h"
#include "text/AnsiText.h"
#include "show/PreviewWindow_win32.h"
#include "show/SaverWindow_win32.h"

namespace qv::win {

bool SaverApp::InitInstance() {
    setAnsiCodePage(GetACP());
    // Themed dialog controls (the manifest asks for common controls 6).
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    // One instance per variant; the handle stays open for the life of the
    // process. A preview takes no part in it: it may play beside a show.
    const RunMode mode = runModeFor(arguments());
    if (mode != RunMode::Preview) {
        instanceMutex_ = CreateMutexA(nullptr, FALSE, variant_.productName);
        if (GetLastError() == ERROR_ALREADY_EXISTS) return false;
    }

    switch (mode) {
        case RunMode::Configure: runConfiguration(); return false;
        case RunMode::Preview: return startPreview();
        case RunMode::Show: return startShow();
    }
    return false;
}

void SaverApp::runConfiguration() {
    // The settings dialog runs here, modally and without a parent; until it
    // exists, configuration mode ends at once.
}

bool SaverApp::startPreview() {
    // The show in a child of the given window, until that window goes.
    const HWND parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(previewWindowHandle(arguments())));
    if (!IsWindow(parent)) return false;
    preview_ = new PreviewWindow(variant_, instance());
    if (!preview_->create(parent)) {
        delete preview_;
        preview_ = nullptr;
        return false;
    }
    setMainWindow(preview_->handle());
    return true;
}

bool SaverApp::startShow() {
    window_ = new SaverWindow(variant_, instance());
    window_->setArgument(arguments().empty() ? std::string() : arguments().front());
    if (!window_->create()) {
        delete window_;
        window_ = nullptr;
        return false;
    }
    setMainWindow(window_->handle());
    SetCapture(window_->handle());
    exitPowerAction_ = window_->powerAction();
    return true;
}

bool SaverApp::OnIdle(long) {
    // At most one frame per tick: the tick timer sets the frame due.
    if (window_ && window_->handle() && window_->frameDue()) window_->drawDueFrame();
    return false;
}

void SaverApp::carryOutPowerAction() {
    // Sleep or hibernation after the show (action 2 or 3) comes with the
    // power policy; nothing is done yet.
}

int SaverApp::ExitInstance() {
    carryOutPowerAction();
    return 0;
}

}  // namespace qv::win
