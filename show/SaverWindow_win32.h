#pragma once
// The show window (Windows builds only): one top-most popup covering the
// screen (800 x 600 with "/t" or "-t"), paced by the 50 ms tick timer and
// the scene timer, drawn in the application's idle time, ended by any input.
#include <windows.h>

#include <string>

#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Window.h"
#include "render/Renderer_win32.h"
#include "show/MonitorCovers_win32.h"
#include "show/SceneClock.h"
#include "show/ShowInput.h"
#include "show/ShowPower.h"
#include "variant/Variant.h"

namespace qv::win {

class SaverWindow : public Window {
public:
    static constexpr UINT_PTR kTickTimer = 1;
    static constexpr UINT_PTR kSceneTimer = 10;
    static constexpr UINT_PTR kSleepTimer = ShowPower::kSleepTimer;
    static constexpr UINT_PTR kHibernateTimer = ShowPower::kHibernateTimer;
    static constexpr UINT kTickMilliseconds = 50;

    SaverWindow(const Variant& variant, HINSTANCE instance);
    ~SaverWindow() override;

    // The first command-line argument exactly as typed.
    void setArgument(const std::string& argument) { argument_ = argument; }

    // Every creation step; true when the window exists. On false the caller
    // destroys this object and the program ends.
    bool create();

    int powerAction() const { return power_.action(); }
    // The show ended before it began (first-run pictures): no power action
    // follows it, whatever was set meanwhile.
    bool endedEarly() const { return endedEarly_; }

    // Stops the music and releases its graph; the process is about to end.
    void endMusic();

    // The idle hook's part: draws one frame when one is due.
    void drawDueFrame();
    bool frameDue() const { return frameDue_; }

    // The per-user picture folder (ends with a backslash; empty without an
    // application-data folder).
    const std::string& pictureFolder() const { return pictureFolder_; }

    int showWidth() const { return showWidth_; }
    int showHeight() const { return showHeight_; }

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
    void armSceneTimer();
    void bringToFront(HWND gaining);
    // Black windows over the other monitors; their input ends the show too.
    void coverOtherMonitors(bool testWindow);
    void onCoverEvent(CoverEvent event);

    void prepareFirstRunPictures();  // seeding of the default pictures on first run
    void armPowerTimer();            // sleep / hibernate timers 23 and 24
    void onPowerTimer(UINT_PTR id);
    // Reads "background music"; when on, the music loops from the first frame on.
    void startMusic();
    void playMusic(MusicPlayer& music);

    const Variant& variant_;
    HINSTANCE instance_;
    Win32Files files_;
    std::string argument_;
    std::string pictureFolder_;
    std::string className_;
    int showWidth_ = 0;
    int showHeight_ = 0;
    int screenLayoutCode_ = 0;
    int musicOn_ = 0;
    bool musicToPlay_ = false;
    ShowPower power_;  // the power action and whether the power timer ended the show
    bool endedEarly_ = false;
    bool frameDue_ = true;
    bool comStarted_ = false;
    bool closePosted_ = false;
    SceneClock clock_;
    CursorWake cursor_;
    Renderer* renderer_ = nullptr;
    MonitorCovers covers_;
};

}  // namespace qv::win
