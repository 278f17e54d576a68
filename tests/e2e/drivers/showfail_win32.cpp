// A show window whose creation fails (run with d3d8.dll switched off, so no
// device can be made): the renderer made for it must go with the window
// object, leaving no process-wide renderer that holds the deleted window's
// files. Exit code 0 when every check held.
#include <windows.h>

#include <cstdio>

#include "render/Renderer_win32.h"
#include "show/SaverWindow_win32.h"
#include "variant/Variant.h"

int main() {
    int failures = 0;
    auto check = [&](bool ok, const char* what) {
        std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
        if (!ok) ++failures;
    };
    auto* window = new qv::win::SaverWindow(qv::variantB(), GetModuleHandleW(nullptr));
    window->setArgument("/t");
    check(!window->create(), "the window cannot be created without Direct3D");
    check(qv::win::Renderer::current() != nullptr, "a renderer was made on the way");
    delete window;
    check(qv::win::Renderer::current() == nullptr, "no renderer is left once the window object is gone");
    return failures == 0 ? 0 : 1;
}
