#pragma once
// The application object of each screen saver (Windows builds only): one
// instance per variant, the run mode from the first argument, the show
// window's frames drawn in idle time.
#include <windows.h>

#include "app/PowerPolicy.h"
#include "platform/win32/Win32App.h"
#include "variant/Variant.h"

namespace qv::win {

class PreviewWindow;
class SaverWindow;

class SaverApp : public Application {
public:
    explicit SaverApp(const Variant& variant) : variant_(variant) {}

    static SaverApp* current() { return static_cast<SaverApp*>(Application::current()); }
    // The process-wide power policy, there before the program's entry runs.
    static PowerPolicy& powerPolicy();

    // The show window hands over its power action when it is destroyed.
    void SetPowerAction(const int* action) { exitPowerAction_ = action ? *action : 0; }
    int exitPowerAction() const { return exitPowerAction_; }

    const Variant& variant() const { return variant_; }

protected:
    bool InitInstance() override;
    bool OnIdle(long count) override;
    int ExitInstance() override;

private:
    void runConfiguration();
    bool startPreview();
    bool startShow();
    void carryOutPowerAction();

    const Variant& variant_;
    HANDLE instanceMutex_ = nullptr;
    SaverWindow* window_ = nullptr;
    PreviewWindow* preview_ = nullptr;
    int exitPowerAction_ = 0;
};

}  // namespace qv::win
