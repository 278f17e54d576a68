#pragma once
// The application object of each screen saver (Windows builds only): one
// instance per variant, the run mode from the first argument, the show
// window's frames drawn in idle time.
#include <windows.h>

#include "platform/win32/Win32App.h"
#include "variant/Variant.h"

namespace qv::win {

class PreviewWindow;
class SaverWindow;

class SaverApp : public Application {
public:
    explicit SaverApp(const Variant& variant) : variant_(variant) {}


protected:
    bool InitInstance() override;
    bool OnIdle(long count) override;
    int ExitInstance() override;

private:
    void runConfiguration();
    bool startPreview();
    bool startShow();

    const Variant& variant_;
    HANDLE instanceMutex_ = nullptr;
    SaverWindow* window_ = nullptr;
    PreviewWindow* preview_ = nullptr;
};

}  // namespace qv::win
