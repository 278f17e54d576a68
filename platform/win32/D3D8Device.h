#pragma once
// Direct3D 8 for the show (Windows builds only): the library loaded at run
// time, our texture-from-BMP helper, and the device behind the drawing and
// frame ports.
#include <windows.h>
#include <d3d8.h>

#include <cstddef>
#include <memory>

#include "ports/DrawingPort.h"
#include "ports/FramePort.h"

namespace qv::win {

// mingw ships no import library for d3d8.dll, so the library is loaded on
// first use and Direct3DCreate8 taken from it. nullptr when either is
// missing or the call gives no object.
IDirect3D8* createDirect3D8();

// A texture from a complete BMP file image in memory: sized as the device
// allows (see TextureShape.h), stretched linearly where that differs from the
// picture, one level, managed pool. Result code of the failing call, or
// E_FAIL for an image we cannot read.
HRESULT createTextureFromBmp(IDirect3DDevice8* device, const unsigned char* bytes,
                             std::size_t size, IDirect3DTexture8** texture);

class D3D8Texture : public DrawingTexture {
public:
    explicit D3D8Texture(IDirect3DTexture8* texture) : texture_(texture) {}
    ~D3D8Texture() override;
    IDirect3DTexture8* get() const { return texture_; }

private:
    IDirect3DTexture8* texture_;
};

// Owns the device. After releaseDevice() every call fails without reaching it.
class D3D8Device : public DrawingPort, public FramePort {
public:
    explicit D3D8Device(IDirect3DDevice8* device) : device_(device) {}
    ~D3D8Device() override;
    D3D8Device(const D3D8Device&) = delete;
    D3D8Device& operator=(const D3D8Device&) = delete;

    IDirect3DDevice8* get() const { return device_; }

    long setTransform(TransformKind kind, const Matrix4& matrix) override;
    std::unique_ptr<DrawingTexture> createTexture(const unsigned char* bytes,
                                                  std::size_t size) override;
    long bindTexture(DrawingTexture& texture) override;
    long drawFan(const std::array<LayerVertex, 4>& corners) override;

    long clear(std::uint32_t argb) override;
    long beginScene() override;
    long endScene() override;
    long present() override;
    void releaseDevice() override;

private:
    IDirect3DDevice8* device_;
};

}  // namespace qv::win
