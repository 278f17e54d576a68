#include "app/SaverApp_win32.h"

#include <commctrl.h>

#include "app/SaverSwitches.h"
#include "platform/win32/D3D8Device.h"
#include "platform/win32/Win32Power.h"
#include "platform/win32/Win32Shell.h"
#include "settings/SettingsDialogWindow_win32.h"
#include "render/MadeAside.h"
#include "show/PreviewWindow_win32.h"
#include "show/PowerPolicy.h"
#include "show/SaverWindow_win32.h"
#include "text/AnsiText.h"

namespace qv::win {

namespace {

Win32Power g_power;
PowerPolicy g_powerPolicy(g_power);

}  // namespace

bool SaverApp::InitInstance() {
    adoptAnsiCodePage();

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
    // Themed dialog controls (the manifest asks for common controls 6). Only
    // the dialog has any: the show, the preview and the test window never
    // load the DLL, which is delay-loaded.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // A window named after "/c" (the system's screen-saver settings) owns
    // the dialog, so it stays above it and is disabled meanwhile.
    HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(configurationOwnerHandle(arguments())));
    if (owner && !IsWindow(owner)) owner = nullptr;
    SettingsDialogWindow dialog(variant_, owner, instance());
    dialog.DoModal(instance());
    setMainWindow(nullptr);
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
    // The test window only for the exact texts "/t" and "-t".
    const bool testWindow = !arguments().empty() && isTestWindowArgument(arguments().front());
    // Loading Direct3D takes longer than anything else before the first
    // frame and needs no window: it runs on a thread of its own while the
    // pictures are read and the window made. The environment is written
    // here first, before any other thread could read it.
    D3D8Device::drawOnOwnThread();
    // The display driver, and under Wine the desktop process, are started
    // here, once: two threads asking for them at the same moment each start
    // a desktop process, and both threads need them anyway.
    screenWidth();
    // Never taken (the window could not be made), it is still waited for:
    // the library is not let go on another thread while the process ends.
    MadeAside<ComPtr<IDirect3D8>> direct3d(
        [] {
            ComPtr<IDirect3D8> loaded = D3D8Device::loadDirect3D();
            OutputDebugStringA("quorvelk: direct3d loaded ahead");
            return loaded;
        },
        MadeAside<ComPtr<IDirect3D8>>::AtEnd::Wait);
    window_ = new SaverWindow(variant_, instance(), testWindow, g_powerPolicy);
    if (!window_->create(&direct3d)) {
        delete window_;
        window_ = nullptr;
        return false;
    }
    setMainWindow(window_->handle());
    SetCapture(window_->handle());
    return true;
}

bool SaverApp::OnIdle(long) {
    // At most one frame per tick: the tick timer sets the frame due.
    if (!window_ || !window_->handle()) return false;
    if (window_->frameDue()) window_->drawDueFrame();
    // Then, while no message waits, the next scene's textures one at a time.
    return window_->prepareAhead();
}

int SaverApp::ExitInstance() {
    if (window_) window_->endMusic();
    // Sleep (2) or hibernation (3) kept from a show the power timer ended,
    // read here once; the call returns once the machine has resumed. Without
    // the shutdown privilege the machine is left running.
    qv::carryOutPowerAction(g_power, window_ ? window_->exitPowerAction() : kPowerActionNone);
    // 0 whatever happened, the power request included.
    return 0;
}

}  // namespace qv::win
