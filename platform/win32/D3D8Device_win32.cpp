#include "platform/win32/D3D8Device.h"

#include <cstring>
#include <mutex>
#include <utility>

namespace qv::win {

namespace {

using Create8 = IDirect3D8*(WINAPI*)(UINT);
constexpr UINT kSdkVersion = 220;

D3DTRANSFORMSTATETYPE stateFor(TransformKind kind) {
    switch (kind) {
        case TransformKind::World: return D3DTS_WORLD;
        case TransformKind::View: return D3DTS_VIEW;
        case TransformKind::Projection: return D3DTS_PROJECTION;
    }
    return D3DTS_WORLD;
}

// mingw's d3d8.h has no name for the default refresh rate.
constexpr UINT kPresentRateDefault = 0;

}  // namespace

void D3D8Device::drawOnOwnThread() {
    // Wine's Direct3D hands each frame to a command-stream thread that then
    // spins for tens of milliseconds waiting for the next one: a quarter of a
    // core for the 10-frame preview, more for the show. Our frames are a few
    // quads, so we ask it to draw on our own thread. Wine reads the setting
    // through the C runtime's environment when the library loads, so it goes
    // into each runtime's copy; it stays in this process, a user's own value
    // is kept, and Windows ignores the name. Once: the first call may come
    // before a thread that loads the library, which must not write again.
    static std::once_flag once;
    std::call_once(once, [] {
        if (GetEnvironmentVariableA("WINE_D3D_CONFIG", nullptr, 0) == 0) {
            using PutEnv = int(__cdecl*)(const char*);
            for (const char* runtime : {"msvcrt.dll", "ucrtbase.dll"}) {
                const HMODULE module = GetModuleHandleA(runtime);
                const auto put =
                    module
                        ? reinterpret_cast<PutEnv>(reinterpret_cast<void*>(GetProcAddress(module, "_putenv")))
                        : nullptr;
                if (put) put("WINE_D3D_CONFIG=csmt=0");
            }
        }
    });
}

ComPtr<IDirect3D8> D3D8Device::loadDirect3D() {
    // mingw ships no import library for d3d8.dll, so the library is loaded
    // on first use and Direct3DCreate8 taken from it. Loaded once and kept for the life of the process, as an import would be.
    static HMODULE library = [] {
        drawOnOwnThread();
        // The display driver is made ready first, outside the loader's lock.
        // Under Wine the library's initialisation, which runs under that
        // lock, loads the driver itself when it is not yet there; the window
        // thread loading it at the same moment waits for the lock in turn,
        // and the two threads wait for each other for ever. The first such
        // call also waits for the desktop to start, as the window's does.
        GetSystemMetrics(SM_CXSCREEN);
        return LoadLibraryA("d3d8.dll");
    }();
    if (!library) return {};
    auto create =
        reinterpret_cast<Create8>(reinterpret_cast<void*>(GetProcAddress(library, "Direct3DCreate8")));
    if (!create) return {};
    return ComPtr<IDirect3D8>(create(kSdkVersion));
}

UINT D3D8Device::adapterForMonitor(HMONITOR monitor, IDirect3D8* direct3d) {
    if (!direct3d || !monitor) return D3DADAPTER_DEFAULT;
    const UINT count = direct3d->GetAdapterCount();
    for (UINT adapter = 0; adapter < count; ++adapter) {
        if (direct3d->GetAdapterMonitor(adapter) != monitor) continue;
        // Wine lists an adapter for each Xinerama head but knows the mode of
        // the first alone; no device can be made on one without a format.
        D3DDISPLAYMODE mode{};
        if (FAILED(direct3d->GetAdapterDisplayMode(adapter, &mode)) || mode.Format == D3DFMT_UNKNOWN) break;
        return adapter;
    }
    return D3DADAPTER_DEFAULT;
}

std::unique_ptr<D3D8Device> D3D8Device::create(HWND window, HRESULT* result, UINT adapter,
                                               ComPtr<IDirect3D8> loaded) {
    HRESULT ignored = S_OK;
    HRESULT& status = result ? *result : ignored;
    const bool madeAhead = static_cast<bool>(loaded);
    ComPtr<IDirect3D8> direct3d = madeAhead ? std::move(loaded) : loadDirect3D();
    if (!direct3d) {
        status = E_FAIL;
        return nullptr;
    }
    // A start-up moment, for whoever listens to the debug output.
    OutputDebugStringA(madeAhead ? "quorvelk: direct3d taken" : "quorvelk: direct3d loaded");
    D3DDISPLAYMODE mode{};
    status = direct3d->GetAdapterDisplayMode(adapter, &mode);
    if (FAILED(status)) return nullptr;

    // Windowed with the back buffer of the client area's size, one back
    // buffer, a 16-bit depth buffer that is never used for testing.
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferFormat = mode.Format;
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_FLIP;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    parameters.FullScreen_RefreshRateInHz = kPresentRateDefault;

    ComPtr<IDirect3DDevice8> device;
    status = direct3d->CreateDevice(adapter, D3DDEVTYPE_HAL, window,
                                    D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED,
                                    &parameters, device.put());
    if (FAILED(status)) {
        // A card without hardware vertex processing still draws our quads.
        D3DPRESENT_PARAMETERS again = parameters;
        status = direct3d->CreateDevice(adapter, D3DDEVTYPE_HAL, window,
                                        D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED, &again,
                                        device.put());
        if (FAILED(status)) return nullptr;
    }
    std::unique_ptr<D3D8Device> made(new D3D8Device(std::move(direct3d), std::move(device)));
    made->setFixedStates();
    status = D3D_OK;
    return made;
}

D3D8Device::D3D8Device(ComPtr<IDirect3D8> direct3d, ComPtr<IDirect3DDevice8> device)
    : direct3d_(std::move(direct3d)), device_(std::move(device)) {}

void D3D8Device::setFixedStates() {
    IDirect3DDevice8* device = device_.get();
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    // Texture colour and alpha times the corners' diffuse colour and alpha.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR);
    device->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_MIRROR);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetVertexShader(kLayerVertexFormat);
}

long D3D8Device::setTransform(TransformKind kind, const Matrix4& matrix) {
    if (!device_) return E_FAIL;
    D3DMATRIX m;
    static_assert(sizeof(m) == sizeof(matrix.m), "same 4 x 4 float layout");
    std::memcpy(&m, matrix.m.data(), sizeof(m));
    return device_->SetTransform(stateFor(kind), &m);
}

std::unique_ptr<DrawingTexture> D3D8Device::createTexture(const unsigned char* bytes, std::size_t size) {
    if (!device_) return nullptr;
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(createTextureFromBmp(device_.get(), bytes, size, &texture)) || !texture) return nullptr;
    return std::make_unique<D3D8Texture>(texture);
}

long D3D8Device::bindTexture(DrawingTexture& texture) {
    if (!device_) return E_FAIL;
    return device_->SetTexture(0, static_cast<D3D8Texture&>(texture).get());
}

long D3D8Device::drawFan(const std::array<LayerVertex, 4>& corners) {
    if (!device_) return E_FAIL;
    return device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, corners.data(), kLayerVertexStride);
}

long D3D8Device::clear(std::uint32_t argb) {
    if (!device_) return E_FAIL;
    return device_->Clear(0, nullptr, D3DCLEAR_TARGET, argb, 1.0f, 0);
}

long D3D8Device::beginScene() { return device_ ? device_->BeginScene() : E_FAIL; }
long D3D8Device::endScene() { return device_ ? device_->EndScene() : E_FAIL; }

long D3D8Device::present() { return device_ ? device_->Present(nullptr, nullptr, nullptr, nullptr) : E_FAIL; }

void D3D8Device::releaseDevice() { device_.reset(); }

}  // namespace qv::win
