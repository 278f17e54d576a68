#pragma once
// Direct3D 8 for the show (Windows builds only): one device on one window,
// from loading the library to its release. The device sits behind the
// drawing and frame ports; after a lost present it is released and every
// call fails without reaching it. Each window that plays a show makes its
// own, on the adapter of its monitor.
#include <windows.h>
#include <d3d8.h>

#include <cstddef>
#include <memory>

#include "platform/win32/ComPtr.h"
#include "ports/DrawingPort.h"
#include "ports/FramePort.h"

namespace qv::win {

// A texture from a complete BMP file image in memory: sized as the device
// allows (see TextureShape.h), stretched linearly where that differs from the
// picture, one level, managed pool. Result code of the failing call, or
// E_FAIL for an image we cannot read.
HRESULT createTextureFromBmp(IDirect3DDevice8* device, const unsigned char* bytes,
                             std::size_t size, IDirect3DTexture8** texture);

class D3D8Texture : public DrawingTexture {
public:
    explicit D3D8Texture(IDirect3DTexture8* texture) : texture_(texture) {}
    IDirect3DTexture8* get() const { return texture_.get(); }

private:
    ComPtr<IDirect3DTexture8> texture_;
};

class D3D8Device : public DrawingPort, public FramePort {
public:
    // A windowed device on window with a back buffer of its client area,
    // hardware vertex processing or, failing that, software, and the show's
    // fixed render states set. Nothing and the failing call's result in
    // *result (E_FAIL when there is no Direct3D 8 at all) when it cannot be
    // made.
    // loaded: the Direct3D object made ahead (see loadDirect3D), else it
    // is made here.
    static std::unique_ptr<D3D8Device> create(HWND window, HRESULT* result,
                                              UINT adapter = D3DADAPTER_DEFAULT,
                                              ComPtr<IDirect3D8> loaded = {});
    // Loads d3d8.dll (once) and makes a Direct3D object; nothing when the
    // library, its entry or the object is missing. Under Wine this is most
    // of a device's making (the driver probes the graphics library), and it
    // needs no window, so the show does it on a thread of its own while it
    // prepares its pictures. Safe on any thread once drawOnOwnThread() has
    // run on the thread that reads the environment.
    static ComPtr<IDirect3D8> loadDirect3D();
    // Asks Wine's Direct3D to draw on the calling thread instead of a
    // command-stream thread of its own, unless the user set it otherwise.
    // It writes the C runtimes' environments, which are not safe to write
    // while another thread reads them.
    static void drawOnOwnThread();
    // The adapter Direct3D lists for monitor, where it lists one per
    // monitor and knows its display mode; otherwise the default adapter,
    // whose windowed device also draws in a window on another monitor. It
    // is asked of the Direct3D object the device will be made from (whose
    // adapter numbers the device takes).
    static UINT adapterForMonitor(HMONITOR monitor, IDirect3D8* direct3d);
    ~D3D8Device() override = default;
    D3D8Device(const D3D8Device&) = delete;
    D3D8Device& operator=(const D3D8Device&) = delete;

    long setTransform(TransformKind kind, const Matrix4& matrix) override;
    std::unique_ptr<DrawingTexture> createTexture(const unsigned char* bytes,
                                                  std::size_t size) override;
    long bindTexture(DrawingTexture& texture) override;
    long drawFan(const std::array<LayerVertex, 4>& corners) override;

    long clear(std::uint32_t argb) override;
    long beginScene() override;
    long endScene() override;
    long present() override;
    // The device is lost for good: it goes, and nothing reaches it again.
    void releaseDevice() override;
    bool released() const { return !device_; }

private:
    D3D8Device(ComPtr<IDirect3D8> direct3d, ComPtr<IDirect3DDevice8> device);
    void setFixedStates();

    // Released after the device made from it.
    ComPtr<IDirect3D8> direct3d_;
    ComPtr<IDirect3DDevice8> device_;
};

}  // namespace qv::win
