#pragma once
// The show window (Windows builds only): one top-most popup covering the
// screen (800 x 600 with "/t" or "-t"), paced by the 50 ms tick timer and
// the scene timer, drawn in the application's idle time, ended by any input.
// It owns its renderer and its music player, and the windows of the other
// monitors, whose shows its tick steps and its idle hook draws.
#include <windows.h>
#include <d3d8.h>

#include <memory>
#include <string>

#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Window.h"
#include "platform/win32/ComPtr.h"
#include "render/FolderWorker_win32.h"
#include "render/MadeAside.h"
#include "scene/PhotosOnScreens.h"
#include "show/MonitorCovers_win32.h"
#include "show/FrameIntervals.h"
#include "show/MusicThread.h"
#include "show/ScenePlayback.h"
#include "show/ShowInput.h"
#include "show/ShowPower.h"
#include "variant/Variant.h"

namespace qv::win {

class SaverWindow : public Window {
public:
    static constexpr UINT_PTR kTickTimer = 1;
    static constexpr UINT_PTR kSceneTimer = ScenePlayback::kSceneTimer;
    static constexpr UINT_PTR kSleepTimer = ShowPower::kSleepTimer;
    static constexpr UINT_PTR kHibernateTimer = ShowPower::kHibernateTimer;

    // testWindow: the 800 x 600 window of "/t" instead of the full screen.
    // The power policy outlives the window.
    SaverWindow(const Variant& variant, HINSTANCE instance, bool testWindow, PowerPolicy& power);
    ~SaverWindow() override;

    // Every creation step; true when the window exists. On false the caller
    // destroys this object and the program ends. direct3d: the Direct3D
    // object being loaded on a thread of its own, taken when the device is
    // made; without it the device loads its own.
    bool create(MadeAside<ComPtr<IDirect3D8>>* direct3d = nullptr);

    // The power action the program carries out at exit, read once the
    // message loop has ended: only a show the power timer ended leaves one.
    int exitPowerAction() const { return power_.exitAction(); }

    // Stops the music and releases its graph; the process is about to end.
    // A graph still being built is waited for (see MusicThread::end).
    void endMusic();

    // The idle hook's part: draws the frame due on each monitor.
    void drawDueFrame();
    bool frameDue() const { return frameDue_ || covers_.frameDue(); }
    // The idle hook's spare time: one texture of a next scene; false when
    // none is left to make on any monitor.
    bool prepareAhead() { return prepareAhead_ && (scenes_.prepareAhead() || covers_.prepareAhead()); }

protected:
    void OnDestroy() override;
    void OnTimer(UINT_PTR id) override;
    void OnKeyDown(UINT key, UINT flags) override;
    void OnMouseMove(UINT keys, POINT point) override;
    void OnLButtonDown(UINT keys, POINT point) override;
    void OnRButtonDown(UINT keys, POINT point) override;
    void OnMButtonDown(UINT keys, POINT point) override;
    void OnActivate(UINT state, HWND other, BOOL minimized) override;
    void OnActivateApp(BOOL active, DWORD thread) override;
    void OnKillFocus(HWND newFocus) override;
    void OnSysCommand(UINT command, LPARAM lParam) override;
    LRESULT OnQueryEndSession() override;
    LRESULT OnPowerBroadcast(WPARAM event, LPARAM data) override;
    LRESULT OnDisplayChange(int bitsPerPixel, int width, int height) override;
    void OnWindowPosChanging(WINDOWPOS* position) override;
    void OnCaptureChanged(HWND gaining) override;
    void OnPaint() override;

private:
    void close() { postMessage(WM_CLOSE); }
    void onTick();
    void onSceneTimer();
    void bringToFront(HWND gaining);
    // Windows over the other monitors, black until their own shows start
    // (see MonitorCovers); their input ends the show too.
    void coverOtherMonitors();
    void drawOwnFrame();
    void onCoverEvent(CoverEvent event);

    void prepareFirstRunPictures();  // seeding of the default pictures on first run
    void armPowerTimer();            // sleep / hibernate timers 23 and 24
    void onPowerTimer(UINT_PTR id);
    // Reads "background music"; when on, the music loops from the first frame on.
    void startMusic();
    // Starts the music's thread, which builds and plays the graph.
    void playMusic();

    const Variant& variant_;
    HINSTANCE instance_;
    const bool testWindow_;
    PowerPolicy& powerPolicy_;
    Win32Files files_;
    std::string className_;
    int showWidth_ = 0;
    int showHeight_ = 0;
    int screenLayoutCode_ = 0;
    int musicOn_ = 0;
    bool musicToPlay_ = false;
    ShowPower power_;  // the power action and whether the power timer ended the show
    bool frameDue_ = true;
    bool comStarted_ = false;
    bool closePosted_ = false;
    bool othersStarted_ = false;  // the other monitors' shows have been started
    bool black_ = false;          // the device was lost while other monitors play
    CursorWake cursor_;
    // The photos on every monitor's screen; each monitor's show joins it
    // for its life, so it goes after all of them.
    PhotosOnScreens photosOnScreens_;
    // The folder slots' worker; the renderer's pictures use it, so it goes
    // after the renderer.
    std::unique_ptr<FolderWorker> folderWorker_;
    // The renderer and its clock; its device is made on this window. The
    // music goes before it: a graph still playing when the process ends
    // takes the process down with it under Wine.
    ScenePlayback scenes_;
    // Each due frame's interval as a debug line, when QV_FRAME_LOG asks.
    FrameIntervals frameIntervals_;
    // QV_NO_AHEAD=1 leaves every texture to its scene's time, so that the
    // start-up benchmark can compare.
    const bool prepareAhead_;
    std::unique_ptr<MusicThread> music_;  // nullptr while the music is off or not yet started
    // The pictures the renderer prepared, which the other monitors' show too.
    std::shared_ptr<ShowPictureMemory> pictures_;
    // The primary's Direct3D object, for the other monitors' devices.
    ComPtr<IDirect3D8> direct3d_;
    MonitorCovers covers_;
};

}  // namespace qv::win
