#include "show/SaverWindow_win32.h"

#include <objbase.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>

#include "platform/win32/DirectShowGraph.h"
#include "platform/win32/Win32Decoder.h"
#include "platform/win32/Win32Messages.h"
#include "platform/win32/Win32Monitors.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "show/MusicPlayer.h"
#include "settings/PhotoImport.h"
#include "settings/SettingsStore.h"
#include "settings/DefaultPictures.h"
#include "render/Renderer_win32.h"
#include "scene/ScreenLayout.h"

namespace qv::win {

SaverWindow::SaverWindow(const Variant& variant, HINSTANCE instance, bool testWindow, PowerPolicy& power)
    : variant_(variant),
      instance_(instance),
      testWindow_(testWindow),
      powerPolicy_(power),
      frameIntervals_(FrameIntervals::wanted(std::getenv("QV_FRAME_LOG"))),
      prepareAhead_(!FrameIntervals::wanted(std::getenv("QV_NO_AHEAD"))) {
    prepareFirstRunPictures();
}

SaverWindow::~SaverWindow() {
    // Only the failed start deletes the window object; the show itself ends
    // with the process. The renderer made for this window goes first: it
    // holds the window's files and a device made on its handle.
    music_.reset();
    scenes_.stop();
    if (handle()) DestroyWindow(handle());
    if (comStarted_) CoUninitialize();
}

void SaverWindow::prepareFirstRunPictures() {
    // On a user's first show the per-user picture folder is made and the ten
    // default stills are converted into it; a conversion may show its message.
    Win32Registry registry;
    Win32Decoder decoder;
    Win32Messages messages(variant_, instance_);
    PhotoImport import(variant_, files_, decoder, messages, screenHeight());
    // No folder to work with, or a still that would not convert: end the show
    // at once, as the window's destruction would (no timers run yet), so the
    // message loop ends as soon as it starts and no power action follows.
    const auto endEarly = [this] {
        power_.endEarly();
        frameDue_ = false;
        PostQuitMessage(0);
    };
    prepareDefaultPictures(variant_, applicationDataFolder(), files_, registry, import, endEarly);
}

void SaverWindow::armPowerTimer() {
    // Action 2 arms the sleep timer, 3 the hibernate timer, for the period
    // the power policy gives; the action is kept either way.
    const ShowPower::Timer timer = power_.arm(powerPolicy_);
    if (timer.id) SetTimer(handle(), timer.id, timer.delayMs, nullptr);
}

void SaverWindow::onPowerTimer(UINT_PTR id) {
    const ShowPower::Outcome outcome = power_.onTimer(static_cast<unsigned>(id), powerPolicy_, music_.get());
    switch (outcome.firing) {
        case ShowPower::Firing::Rearm:
            SetTimer(handle(), outcome.timer.id, outcome.timer.delayMs, nullptr);
            break;
        case ShowPower::Firing::EndShow:
            // Destroyed here, not closed: the destroy handling keeps the action.
            KillTimer(handle(), id);
            DestroyWindow(handle());
            break;
        case ShowPower::Firing::Ignore: break;
    }
}

void SaverWindow::startMusic() {
    // The setting is read at every start, its default written back when it
    // is missing; the store is closed again either way.
    {
        Win32Registry registry;
        SettingsStore store(registry, variant_);
        musicOn_ = store.ReadDword(kBackgroundMusicValue, 1);
    }
    if (musicOn_ == 0 || !scenes_.playing()) return;
    // Building the graph takes 0.2 s, and up to 0.8 s when it finds no audio
    // device. It is built on a thread of its own, so the frames go on, and
    // only once the first frame is up, so that it does not compete with it.
    musicToPlay_ = true;
}

void SaverWindow::playMusic() {
    musicToPlay_ = false;
    // Without a graph, an audio device or the file the show goes on silently.
    // The graph lives in the thread's own apartment, made and released there.
    MusicThread::Hooks hooks;
    hooks.enter = [] { return SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)); };
    hooks.leave = [] { CoUninitialize(); };
    hooks.makeGraph = []() -> std::unique_ptr<MusicGraphPort> { return std::make_unique<DirectShowGraph>(); };
    music_ = std::make_unique<MusicThread>(variant_.musicPath(), MusicPlayer::kShowVolume, std::move(hooks));
}

void SaverWindow::endMusic() {
    // A graph still playing when the process ends takes the process down
    // with it under Wine (its decoder threads outlive the process's own), so
    // the player is stopped and released first; its thread is waited for.
    music_.reset();
}

bool SaverWindow::create(MadeAside<ComPtr<IDirect3D8>>* direct3d) {
    showWidth_ = testWindow_ ? 800 : GetSystemMetrics(SM_CXSCREEN);
    showHeight_ = testWindow_ ? 600 : GetSystemMetrics(SM_CYSCREEN);

    // No background (the device paints every pixel), no icon, no cursor, so
    // the cursor disappears over the window.
    className_ = std::string("QuorVelkShow") + variant_.letter;
    if (!registerClass(instance_, className_.c_str(), CS_HREDRAW | CS_VREDRAW, nullptr, nullptr, nullptr))
        return false;

    // The wait cursor while the pictures and the device are prepared.
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    if (!createWindow(0, className_.c_str(), variant_.windowTitle, WS_POPUP | WS_VISIBLE, 0, 0,
                      showWidth_, showHeight_, nullptr, nullptr, instance_))
        return false;
    OutputDebugStringA("quorvelk: window made");
    coverOtherMonitors();
    SetTimer(handle(), kTickTimer, SceneClock::kTickMilliseconds, nullptr);

    // COM for this thread (picture decoding needs it; the music has its own).
    comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));

    // Shows on several monitors keep their photos apart; a show on one
    // monitor has nothing to keep apart from.
    auto renderer = std::make_unique<Renderer>(variant_, files_, nullptr,
                                               covers_.count() > 0 ? &photosOnScreens_ : nullptr);
    if (const auto appData = applicationDataFolder()) {
        if (const auto userFolder = userPictureFolder(*appData, variant_))
            folderWorker_ = std::make_unique<FolderWorker>(variant_, files_, *userFolder, screenHeight());
    }
    if (folderWorker_) renderer->useFolderSlots(&folderWorker_->pictures());
    renderer->preparePictures(PictureAccess::Show);
    pictures_ = renderer->sharedPictures();
    ComPtr<IDirect3D8> loaded = direct3d ? direct3d->takeWhenMade() : ComPtr<IDirect3D8>{};
    // The other monitors' devices are made from the same Direct3D object.
    if (loaded && covers_.count() > 0) {
        loaded->AddRef();
        direct3d_ = ComPtr<IDirect3D8>(loaded.get());
    }
    if (renderer->createDevice(handle(), false, nullptr, std::move(loaded)) != D3D_OK) {
        close();
        return false;
    }
    // The layout code picks the camera distance. Without a scene script the
    // window still shows and closes as soon as the message loop runs.
    screenLayoutCode_ = screenLayoutCode(showWidth_, showHeight_);
    if (scenes_.start(std::move(renderer), screenLayoutCode_))
        SetTimer(handle(), kSceneTimer, scenes_.firstSceneDelay(), nullptr);
    else
        close();

    armPowerTimer();
    // Top-most at the show size (the screen's, read again).
    const int width = testWindow_ ? 800 : GetSystemMetrics(SM_CXSCREEN);
    const int height = testWindow_ ? 600 : GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(handle(), HWND_TOPMOST, 0, 0, width, height, SWP_SHOWWINDOW);
    startMusic();
    // No cursor over the show.
    SetCursor(nullptr);
    return true;
}

void SaverWindow::coverOtherMonitors() {
    Win32Monitors monitors;
    covers_.cover(instance_, coverRectangles(monitors, {0, 0, showWidth_, showHeight_}, testWindow_),
                  [this](CoverEvent event) { onCoverEvent(event); });
}

void SaverWindow::onCoverEvent(CoverEvent event) {
    POINT cursor{};
    GetCursorPos(&cursor);
    if (coverEventEndsShow(event, cursor.x, cursor.y, cursor_)) close();
}

void SaverWindow::drawDueFrame() {
    drawOwnFrame();
    // The other monitors' shows start once the primary's first frame is on
    // screen, so that its start takes no longer than on one monitor.
    if (!othersStarted_ && scenes_.playing() && scenes_.lastFramePresented()) {
        othersStarted_ = true;
        covers_.play(variant_, files_, pictures_, &photosOnScreens_, direct3d_.get());
    }
    if (covers_.drawDueFrames(scenes_.playing()) && !closePosted_) {
        closePosted_ = true;
        close();
    }
}

void SaverWindow::drawOwnFrame() {
    if (!frameDue_ || !scenes_.playing()) return;
    frameDue_ = false;
    const bool drawn = scenes_.drawFrame();
    // The folder worker starts once a frame is up, so that its listing and
    // decoding never hold up the show's start.
    if (drawn && folderWorker_) folderWorker_->start();
    if (frameIntervals_.on()) {
        LARGE_INTEGER now{}, frequency{};
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        const std::int64_t micro = frequency.QuadPart > 0 ? now.QuadPart / frequency.QuadPart * 1000000 +
                                                                now.QuadPart % frequency.QuadPart * 1000000 /
                                                                    frequency.QuadPart
                                                          : 0;
        if (auto line = frameIntervals_.onFrame(micro, scenes_.lastFramePresented()))
            OutputDebugStringA(line->c_str());
    }
    if (musicToPlay_) playMusic();
    // A device lost in presenting is gone for good: the show ends, unless
    // another monitor still plays; then this one turns black.
    if (!drawn && !closePosted_) {
        if (monitorLoss(false, covers_.playing()) == MonitorLoss::EndShow) {
            closePosted_ = true;
            close();
        } else {
            KillTimer(handle(), kSceneTimer);
            black_ = true;
            InvalidateRect(handle(), nullptr, FALSE);
        }
    }
}

void SaverWindow::onTick() {
    covers_.step();
    if (!scenes_.playing()) return;
    frameDue_ = true;
    if (const auto delay = scenes_.step()) rearmTimer(kSceneTimer, *delay);
}

void SaverWindow::onSceneTimer() {
    // No later scene arms no timer; the layers on screen hold and frames go on.
    rearmTimer(kSceneTimer, scenes_.onSceneTimer());
    if (scenes_.sceneBuilt()) frameDue_ = true;
}

void SaverWindow::OnTimer(UINT_PTR id) {
    switch (id) {
        case kTickTimer: onTick(); break;
        case kSceneTimer: onSceneTimer(); break;
        case kSleepTimer:
        case kHibernateTimer: onPowerTimer(id); break;
        default: break;
    }
    Default();
}

void SaverWindow::OnDestroy() {
    KillTimer(handle(), kTickTimer);
    KillTimer(handle(), kSceneTimer);
    KillTimer(handle(), kSleepTimer);
    KillTimer(handle(), kHibernateTimer);
    // Only an end by the power timer keeps the action (exitPowerAction).
    power_.end();
    frameDue_ = false;
    covers_.remove();
    // The folder slots' pictures on screen become their bitmaps, for the
    // next show to start on.
    if (folderWorker_) folderWorker_->finish();
    PostQuitMessage(0);
    Default();
}

void SaverWindow::OnKeyDown(UINT, UINT) { close(); Default(); }
void SaverWindow::OnLButtonDown(UINT, POINT) { close(); Default(); }
void SaverWindow::OnRButtonDown(UINT, POINT) { close(); Default(); }
void SaverWindow::OnMButtonDown(UINT, POINT) { close(); Default(); }

void SaverWindow::OnMouseMove(UINT, POINT) {
    // The system's cursor position, in screen coordinates.
    POINT cursor{};
    if (GetCursorPos(&cursor) && cursor_.moved(cursor.x, cursor.y)) close();
    Default();
}

void SaverWindow::OnActivate(UINT state, HWND, BOOL) {
    if (state == WA_INACTIVE) close();
    Default();
}

void SaverWindow::OnActivateApp(BOOL active, DWORD) {
    if (!active) close();
    Default();
}

void SaverWindow::OnKillFocus(HWND) {
    Default();
    close();
}

void SaverWindow::OnSysCommand(UINT command, LPARAM) {
    // Neither the system's own screen saver nor Alt+F4 ends or replaces the show.
    const UINT which = command & 0xFFF0;
    if (which == SC_SCREENSAVE || which == SC_CLOSE) return;
    Default();
}

LRESULT SaverWindow::OnQueryEndSession() {
    if (!Default()) return FALSE;
    close();
    return TRUE;
}

LRESULT SaverWindow::OnPowerBroadcast(WPARAM event, LPARAM) {
    switch (event) {
        case 0:  // PBT_APMQUERYSUSPEND
        case 1:  // PBT_APMQUERYSTANDBY
        case 4:  // PBT_APMSUSPEND
        case 5:  // PBT_APMSTANDBY
        case 7:  // PBT_APMRESUMESUSPEND
            close();
            break;
        default: break;
    }
    return TRUE;
}

LRESULT SaverWindow::OnDisplayChange(int, int, int) {
    close();
    return 1;
}

void SaverWindow::OnWindowPosChanging(WINDOWPOS* position) {
    Default();
    if (position && sizeChangeEndsShow(showWidth_, showHeight_, position->cx, position->cy,
                                       (position->flags & SWP_NOSIZE) != 0))
        close();
}

void SaverWindow::OnPaint() {
    if (black_) {
        // The device is gone and the other monitors play on: black here.
        PAINTSTRUCT paint{};
        if (HDC dc = BeginPaint(handle(), &paint)) {
            FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            EndPaint(handle(), &paint);
        }
        return;
    }
    // Frames that look unchanged are not redrawn; a window the system wants
    // repainted must be, at the next due frame.
    scenes_.invalidate();
    Default();
}

void SaverWindow::OnCaptureChanged(HWND gaining) {
    bringToFront(gaining);
    Default();
}

void SaverWindow::bringToFront(HWND gaining) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD gainingThread = gaining ? GetWindowThreadProcessId(gaining, nullptr) : 0;
    const bool attached = foregroundThread != gainingThread &&
                          AttachThreadInput(gainingThread, foregroundThread, TRUE);
    DWORD lockTimeout = 0;
    SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &lockTimeout, 0);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    SetWindowPos(handle(), HWND_TOPMOST, 0, 0, width, height, SWP_SHOWWINDOW);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                          reinterpret_cast<void*>(static_cast<ULONG_PTR>(lockTimeout)), 0);
    if (attached) AttachThreadInput(gainingThread, foregroundThread, FALSE);
}

}  // namespace qv::win
