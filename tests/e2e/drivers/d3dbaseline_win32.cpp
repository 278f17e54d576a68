// The frame-pacing baseline: the least a Direct3D 8 program can do to show
// what the show shows on a 21-layer moving scene. An 800 x 600 popup window,
// the show's device, 21 textured quads moved and drawn once per 50 ms
// timer tick, waiting in GetMessage in between. It marks the moment its
// device is made as the show does ("quorvelk: device made").
// With "screen" the window covers the screen, as the show's does.
// Usage: d3dbaseline <seconds> [<bmp file> [screen]]
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/win32/D3D8Device.h"
#include "scene/Camera.h"
#include "scene/SceneLayer.h"

namespace {

constexpr int kQuads = 21;
bool g_due = false;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == 1) g_due = true;
    if (message == WM_TIMER && wParam == 2) PostQuitMessage(0);
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    OutputDebugStringA("quorvelk: process started");
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    std::vector<unsigned char> bmp;
    if (argc > 2) {
        std::ifstream in(argv[2], std::ios::binary);
        bmp.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    const bool screen = argc > 3 && std::strcmp(argv[3], "screen") == 0;
    const int width = screen ? GetSystemMetrics(SM_CXSCREEN) : 800;
    const int height = screen ? GetSystemMetrics(SM_CYSCREEN) : 600;

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QvBaseline";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "QvBaseline", "baseline", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return 2;
    OutputDebugStringA("quorvelk: window made");
    // The show's own device: the same parameters and states.
    auto device = qv::win::D3D8Device::create(window, nullptr);
    if (!device) return 3;
    // The floor of any show's start-up, for the start-up benchmark.
    OutputDebugStringA("quorvelk: device made");
    qv::win::D3D8Device& port = *device;
    port.setTransform(qv::TransformKind::World, qv::Matrix4::identity());
    port.setTransform(qv::TransformKind::View,
                      qv::lookAtRH({0, 0, 251}, {}, {0, 1, 0}));
    port.setTransform(qv::TransformKind::Projection,
                      qv::perspectiveFovRH(0.78539816f, static_cast<float>(width) / static_cast<float>(height), 10, 1000));
    auto texture = port.createTexture(bmp.data(), bmp.size());
    if (texture) port.bindTexture(*texture);

    SetTimer(window, 1, 50, nullptr);
    SetTimer(window, 2, static_cast<UINT>(seconds) * 1000u, nullptr);
    std::vector<std::array<qv::LayerVertex, 4>> quads(kQuads);
    long tick = 0;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
        if (!g_due) continue;
        g_due = false;
        ++tick;
        // Each quad slides back and forth, as the scene's layers do.
        for (int i = 0; i < kQuads; ++i) {
            const float t = std::fmod(tick * 0.05f / 30.0f, 1.0f);
            const float x = -80.0f + 160.0f * t, y = -60.0f + 6.0f * i, z = 14.0f + (i + 1) * 0.0625f;
            const float hw = 10, hh = 10;
            const std::uint32_t colour = qv::packColour(200, 255, 255, 255);
            quads[i][0] = {x + hw, y + hh, z, 0, 0, 1, colour, 1, 0.034f};
            quads[i][1] = {x - hw, y + hh, z, 0, 0, 1, colour, 0, 0.034f};
            quads[i][2] = {x - hw, y - hh, z, 0, 0, 1, colour, 0, 0.97f};
            quads[i][3] = {x + hw, y - hh, z, 0, 0, 1, colour, 1, 0.97f};
        }
        port.clear(0xFF000000u);
        if (port.beginScene() == 0) {
            for (const auto& quad : quads) port.drawFan(quad);
            port.endScene();
        }
        port.present();
        if (tick == 1) OutputDebugStringA("quorvelk: first frame presented");
    }
    std::printf("frames %ld\n", tick);
    texture.reset();
    device.reset();
    return 0;
}
