// Entry of one screen-saver program; compiled once per variant with
// QV_VARIANT_LETTER set to 'A', 'B' or 'C'.
#include <windows.h>

#include "app/SaverApp_win32.h"
#include "platform/win32/Win32App.h"

#ifndef QV_VARIANT_LETTER
#error "QV_VARIANT_LETTER must name the variant ('A', 'B' or 'C')"
#endif

namespace {
qv::win::SaverApp theApp(*qv::findVariant(QV_VARIANT_LETTER));
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    OutputDebugStringA("quorvelk: process started");
    return theApp.run(instance, qv::win::commandLineArguments());
}
