// A show window whose creation fails (run with d3d8.dll switched off, so no
// device can be made): the window object goes, and with it its window; the
// renderer made on the way belongs to it and cannot outlive it. Exit code 0
// when every check held.
#include <windows.h>

#include <cstdio>

#include "platform/fake/FakePower.h"
#include "show/SaverWindow_win32.h"
#include "variant/Variant.h"

int main() {
    int failures = 0;
    auto check = [&](bool ok, const char* what) {
        std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
        if (!ok) ++failures;
    };
    qv::FakePower power;
    qv::PowerPolicy policy(power);
    auto* window = new qv::win::SaverWindow(qv::variantB(), GetModuleHandleW(nullptr), true, policy);
    check(!window->create(), "the window cannot be created without Direct3D");
    check(FindWindowA("QuorVelkShowB", nullptr) != nullptr, "its window was made on the way");
    delete window;
    check(FindWindowA("QuorVelkShowB", nullptr) == nullptr, "no renderer is left once the window object is gone");
    return failures == 0 ? 0 : 1;
}
