// Our texture-from-image subset: one straight path from BMP bytes in memory
// to a managed texture, with the size checked against what the device can
// hold and the pixels converted to 32 bits explicitly.
#include <new>

#include "platform/win32/D3D8Device.h"
#include "image/TextureShape.h"
#include "image/BmpFile.h"
#include "image/Resampler.h"

namespace qv::win {

namespace {

TextureLimits limitsOf(IDirect3DDevice8* device) {
    TextureLimits limits;
    D3DCAPS8 caps{};
    if (SUCCEEDED(device->GetDeviceCaps(&caps))) {
        // With MIRROR addressing a conditional non-power-of-two texture is not
        // allowed either, so any POW2 flag means rounding up.
        limits.powerOfTwo = (caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0;
        limits.squareOnly = (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0;
        limits.maxWidth = caps.MaxTextureWidth;
        limits.maxHeight = caps.MaxTextureHeight;
    }
    return limits;
}

HRESULT makeTexture(IDirect3DDevice8* device, UINT width, UINT height, IDirect3DTexture8** texture) {
    // 24-bit pictures carry no alpha: X8R8G8B8 reads as opaque. Cards
    // without it take A8R8G8B8 with the alpha byte set.
    HRESULT result = device->CreateTexture(width, height, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, texture);
    if (FAILED(result))
        result = device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture);
    return result;
}

}  // namespace

HRESULT createTextureFromBmp(IDirect3DDevice8* device, const unsigned char* bytes,
                             std::size_t size, IDirect3DTexture8** texture) {
    if (!texture) return E_POINTER;
    *texture = nullptr;
    if (!device || !bytes || size == 0) return E_FAIL;
    try {
        Image picture;
        if (!decodeBmp(bytes, size, picture) || picture.empty()) return E_FAIL;
        const TextureSize shape = textureSizeFor(static_cast<unsigned>(picture.width),
                                                 static_cast<unsigned>(picture.height),
                                                 limitsOf(device));
        const Image* source = &picture;
        Image stretched;
        if (shape.width != static_cast<unsigned>(picture.width) ||
            shape.height != static_cast<unsigned>(picture.height)) {
            if (!resamplePicture(picture, stretched, static_cast<int>(shape.width),
                                 static_cast<int>(shape.height)))
                return E_FAIL;
            source = &stretched;
        }

        IDirect3DTexture8* made = nullptr;
        HRESULT result = makeTexture(device, shape.width, shape.height, &made);
        if (FAILED(result)) return result;
        D3DLOCKED_RECT locked{};
        result = made->LockRect(0, &locked, nullptr, 0);
        if (FAILED(result)) {
            made->Release();
            return result;
        }
        for (int y = 0; y < source->height; ++y) {
            const unsigned char* in = source->row(y);
            auto* out = static_cast<unsigned char*>(locked.pBits) + static_cast<std::ptrdiff_t>(y) * locked.Pitch;
            for (int x = 0; x < source->width; ++x) {
                out[0] = in[0];  // blue
                out[1] = in[1];  // green
                out[2] = in[2];  // red
                out[3] = 0xFF;   // opaque
                in += 3;
                out += 4;
            }
        }
        made->UnlockRect(0);
        *texture = made;
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace qv::win
