#include "platform/win32/D3D8Device.h"

#include <cstring>

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

HMODULE loadDirect3D8() {
    // Wine's Direct3D hands each frame to a command-stream thread that then
    // spins for tens of milliseconds waiting for the next one: a quarter of a
    // core for the 10-frame preview, more for the show. Our frames are a few
    // quads, so we ask it to draw on our own thread. Wine reads the setting
    // through the C runtime's environment when the library loads, so it goes
    // into each runtime's copy; it stays in this process, a user's own value
    // is kept, and Windows ignores the name.
    if (GetEnvironmentVariableA("WINE_D3D_CONFIG", nullptr, 0) == 0) {
        using PutEnv = int(__cdecl*)(const char*);
        for (const char* runtime : {"msvcrt.dll", "ucrtbase.dll"}) {
            const HMODULE module = GetModuleHandleA(runtime);
            const auto put = module ? reinterpret_cast<PutEnv>(reinterpret_cast<void*>(
                                          GetProcAddress(module, "_putenv")))
                                    : nullptr;
            if (put) put("WINE_D3D_CONFIG=csmt=0");
        }
    }
    return LoadLibraryA("d3d8.dll");
}

}  // namespace

IDirect3D8* createDirect3D8() {
    // Loaded once and kept for the life of the process, as an import would be.
    static HMODULE library = loadDirect3D8();
    if (!library) return nullptr;
    auto create = reinterpret_cast<Create8>(
        reinterpret_cast<void*>(GetProcAddress(library, "Direct3DCreate8")));
    if (!create) return nullptr;
    return create(kSdkVersion);
}

D3D8Texture::~D3D8Texture() {
    if (texture_) texture_->Release();
}

D3D8Device::~D3D8Device() { releaseDevice(); }

long D3D8Device::setTransform(TransformKind kind, const Matrix4& matrix) {
    if (!device_) return E_FAIL;
    D3DMATRIX m;
    static_assert(sizeof(m) == sizeof(matrix.m), "same 4 x 4 float layout");
    std::memcpy(&m, matrix.m.data(), sizeof(m));
    return device_->SetTransform(stateFor(kind), &m);
}

std::unique_ptr<DrawingTexture> D3D8Device::createTexture(const unsigned char* bytes,
                                                          std::size_t size) {
    if (!device_) return nullptr;
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(createTextureFromBmp(device_, bytes, size, &texture)) || !texture) return nullptr;
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

long D3D8Device::present() {
    return device_ ? device_->Present(nullptr, nullptr, nullptr, nullptr) : E_FAIL;
}

void D3D8Device::releaseDevice() {
    if (device_) {
        device_->Release();
        device_ = nullptr;
    }
}

}  // namespace qv::win
