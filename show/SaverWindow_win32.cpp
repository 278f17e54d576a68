#include "show/SaverWindow_win32.h"

#include <objbase.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "app/SaverApp_win32.h"
#include "app/SaverSwitches.h"
#include "platform/win32/DirectShowGraph.h"
#include "platform/win32/Win32Decoder.h"
#include "platform/win32/Win32Messages.h"
#include "platform/win32/Win32Monitors.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "settings/PhotoImport.h"
#include "settings/SettingsStore.h"
#include "settings/DefaultPictures.h"
#include "scene/ScreenLayout.h"
#include "show/MusicPlayer.h"

namespace qv::win {

SaverWindow::SaverWindow(const Variant& variant, HINSTANCE instance)
    : variant_(variant), instance_(instance) {
    prepareFirstRunPictures();
}

SaverWindow::~SaverWindow() {
    // Only the failed start deletes the window object; the show itself ends
    // with the process. The renderer made for this window goes first: it
    // holds the window's files and a device made on its handle.
    if (renderer_ && Renderer::current() == renderer_) Renderer::setCurrent(nullptr);
    delete renderer_;
    renderer_ = nullptr;
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
        const int none = power_.action();
        if (auto* app = SaverApp::current()) app->SetPowerAction(&none);
        endedEarly_ = true;
        frameDue_ = false;
        PostQuitMessage(0);
    };
    pictureFolder_ =
        prepareDefaultPictures(variant_, applicationDataFolder(), files_, registry, import, endEarly).folder;
}

void SaverWindow::armPowerTimer() {
    // Action 2 arms the sleep timer, 3 the hibernate timer, for the period
    // the power policy gives; the action is kept either way.
    const ShowPower::Timer timer = power_.arm(SaverApp::powerPolicy());
    if (timer.id) SetTimer(handle(), timer.id, timer.delayMs, nullptr);
}

void SaverWindow::onPowerTimer(UINT_PTR id) {
    if (!renderer_) return;
    const ShowPower::Outcome outcome =
        power_.onTimer(static_cast<unsigned>(id), SaverApp::powerPolicy(), renderer_->music());
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
    if (musicOn_ == 0 || !renderer_) return;
    renderer_->setMusic(Renderer::MusicOwner(new MusicPlayer(std::make_unique<DirectShowGraph>()),
                                             [](MusicPlayer* p) { delete p; }));
    // Building the graph takes 0.2 s, and up to 0.8 s when it finds no audio
    // device: it waits for the first frame, so the show does not open black.
    musicToPlay_ = true;
}

void SaverWindow::playMusic(MusicPlayer& music) {
    musicToPlay_ = false;
    // Without a graph, an audio device or the file the show goes on silently.
    music.Play(variant_.musicPath());
    music.SetVolume(MusicPlayer::kShowVolume);
}

void SaverWindow::endMusic() {
    // A graph still playing when the process ends takes the process down
    // with it under Wine (its decoder threads outlive the process's own), so
    // the player is stopped and released first.
    if (renderer_) renderer_->setMusic(Renderer::MusicOwner(nullptr, nullptr));
}

bool SaverWindow::create() {
    // 1. Show size: the test window only for the exact texts "/t" and "-t".
    const bool testWindow = isTestWindowArgument(argument_);
    showWidth_ = testWindow ? 800 : GetSystemMetrics(SM_CXSCREEN);
    showHeight_ = testWindow ? 600 : GetSystemMetrics(SM_CYSCREEN);

    // 2. Window class: no background (the device paints every pixel), no
    // icon, no cursor, so the cursor disappears over the window.
    className_ = std::string("QuorVelkShow") + variant_.letter;
    if (!registerClass(instance_, className_.c_str(), CS_HREDRAW | CS_VREDRAW, nullptr, nullptr, nullptr))
        return false;

    // 3. The wait cursor while the pictures and the device are prepared.
    SetCursor(LoadCursor(nullptr, IDC_WAIT));

    // 4. The window.
    if (!createWindow(0, className_.c_str(), variant_.windowTitle, WS_POPUP | WS_VISIBLE, 0, 0,
                      showWidth_, showHeight_, nullptr, nullptr, instance_))
        return false;

    coverOtherMonitors(testWindow);

    // 5. The tick timer.
    SetTimer(handle(), kTickTimer, kTickMilliseconds, nullptr);
    clock_.restart();

    // 6. COM for this thread (music and picture decoding need it).
    comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));

    // 7. The renderer and its device.
    renderer_ = new Renderer(variant_, files_);  // process-wide, ends with the process
    Renderer::setCurrent(renderer_);
    if (renderer_->createDevice(handle()) != D3D_OK) {
        close();
        return false;
    }

    // 8. The layout code picks the camera distance.
    screenLayoutCode_ = screenLayoutCode(showWidth_, showHeight_);

    // 9. The scenes due at once. Without a scene script (the generic
    // failure) the window still shows and closes as soon as the message loop
    // runs; any other failure, such as a transform the device refused,
    // leaves the show going.
    if (renderer_->startShow(screenLayoutCode_) == E_FAIL) close();

    // 10. The scene timer, armed whatever the next scene time: a first scene
    // due within the first second has a next scene time of 0, and the
    // shortest timer then asks the engine again right away.
    if (renderer_)
        SetTimer(handle(), kSceneTimer, static_cast<UINT>(std::max<std::int64_t>(
                                            USER_TIMER_MINIMUM, clock_.delayUntil(renderer_->nextSceneTime()))),
                 nullptr);

    // 11, 12. Power timer.
    armPowerTimer();

    // 13. Top-most at the show size (the screen's, read again).
    const int width = testWindow ? 800 : GetSystemMetrics(SM_CXSCREEN);
    const int height = testWindow ? 600 : GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(handle(), HWND_TOPMOST, 0, 0, width, height, SWP_SHOWWINDOW);

    // 14. Music.
    startMusic();

    // 15. No cursor over the show.
    SetCursor(nullptr);
    return true;
}

void SaverWindow::coverOtherMonitors(bool testWindow) {
    Win32Monitors monitors;
    covers_.cover(instance_, coverRectangles(monitors, {0, 0, showWidth_, showHeight_}, testWindow),
                  [this](CoverEvent event) { onCoverEvent(event); });
}

void SaverWindow::onCoverEvent(CoverEvent event) {
    POINT cursor{};
    GetCursorPos(&cursor);
    if (coverEventEndsShow(event, cursor.x, cursor.y, cursor_)) close();
}

void SaverWindow::armSceneTimer() {
    if (!renderer_) return;
    // After a scene event: no later scene (next scene time not ahead of the
    // clock) arms no timer; the layers on screen hold and frames go on.
    const std::int64_t delay = clock_.delayUntil(renderer_->nextSceneTime());
    if (delay > 0) SetTimer(handle(), kSceneTimer, static_cast<UINT>(delay), nullptr);
}

void SaverWindow::drawDueFrame() {
    if (!frameDue_ || !renderer_) return;
    frameDue_ = false;
    renderer_->drawFrame();
    // One media event at most per frame; at the end of the track it loops.
    if (MusicPlayer* music = renderer_->music()) {
        if (musicToPlay_) playMusic(*music);
        else music->PollEvent();
    }
    // A device lost in presenting is gone for good: the show ends.
    if (renderer_->deviceLost() && !closePosted_) {
        closePosted_ = true;
        close();
    }
}

void SaverWindow::onTick() {
    if (!renderer_) return;
    frameDue_ = true;
    clock_.tick();
    renderer_->stepLayers();
}

void SaverWindow::onSceneTimer() {
    if (!renderer_) return;
    KillTimer(handle(), kSceneTimer);
    clock_.advanceScenes([this](double& sceneTime) { renderer_->advanceScenes(sceneTime); });
    // A built scene may have given layers new textures.
    renderer_->invalidate();
    armSceneTimer();
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
    // Only an end by the power timer keeps the action.
    const int action = power_.end();
    auto* app = SaverApp::current();
    if (app && !power_.endedByPower()) app->SetPowerAction(&action);
    frameDue_ = false;
    covers_.remove();
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
    // Frames that look unchanged are not redrawn; a window the system wants
    // repainted must be, at the next due frame.
    if (renderer_) renderer_->invalidate();
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
