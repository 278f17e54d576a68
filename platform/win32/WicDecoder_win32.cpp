#include "platform/win32/WicDecoder.h"

#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

#include "image/DecodeScale.h"
#include "platform/win32/WideText.h"

namespace qv::win {

namespace {

// Rows copied from WIC at a time: a band, never a second full-size copy.
constexpr UINT kBandRows = 64;

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return pointer_; }
    T* get() const { return pointer_; }
    T** put() {
        reset();
        return &pointer_;
    }
    void reset() {
        if (pointer_) pointer_->Release();
        pointer_ = nullptr;
    }

private:
    T* pointer_ = nullptr;
};

// COM for this call, if the thread has none yet (a thread that has it in
// another model keeps it, and WIC works there too).
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

bool makeFactory(ComPtr<IWICImagingFactory>& factory) {
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put())));
}

DecodeError errorOf(HRESULT result) {
    return result == E_OUTOFMEMORY ? DecodeError::NotEnoughMemory : DecodeError::Other;
}

}  // namespace

DecodeError WicDecoder::decodePicture(const std::string& path, int wantedWidth, int wantedHeight,
                                      const DecodeLimit& limit, const std::atomic<bool>* stop, Image& out) {
    out = Image();
    const auto wide = toWide(path);
    if (!wide) return DecodeError::Other;
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    if (!makeFactory(factory)) return DecodeError::Other;

    // Open for reading only; the decoder reads as it needs (under Wine it
    // decodes the whole frame in GetFrame).
    ComPtr<IWICBitmapDecoder> decoder;
    HRESULT result = factory->CreateDecoderFromFilename(wide->c_str(), nullptr, GENERIC_READ,
                                                        WICDecodeMetadataCacheOnDemand, decoder.put());
    if (FAILED(result)) return errorOf(result);
    ComPtr<IWICBitmapFrameDecode> frame;
    result = decoder->GetFrame(0, frame.put());
    if (FAILED(result)) return errorOf(result);
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0) return DecodeError::Other;
    // A band's bytes are counted in a UINT: a limit wide enough to let a
    // row overflow it counts as too large too.
    if (width > 0x7FFFFFFFu || height > 0x7FFFFFFFu || std::uint64_t(width) * 4u * kBandRows > 0xFFFFFFFFu ||
        !limit.allows(static_cast<int>(width), static_cast<int>(height)))
        return DecodeError::TooLarge;

    // Premultiplied BGRA: a transparent pixel is black, whatever colour it
    // hides; the alpha byte is then dropped.
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.put()))) return DecodeError::Other;
    result = converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                   0.0, WICBitmapPaletteTypeCustom);
    if (FAILED(result)) return errorOf(result);
    IWICBitmapSource* source = converter.get();

    const int factor = shrinkFactor(static_cast<int>(width), static_cast<int>(height), wantedWidth, wantedHeight);
    ComPtr<IWICBitmapScaler> scaler;
    if (factor > 1) {
        width = static_cast<UINT>(shrunkSide(static_cast<int>(width), factor));
        height = static_cast<UINT>(shrunkSide(static_cast<int>(height), factor));
        if (FAILED(factory->CreateBitmapScaler(scaler.put()))) return DecodeError::Other;
        result = scaler->Initialize(source, width, height, WICBitmapInterpolationModeFant);
        if (FAILED(result)) return errorOf(result);
        source = scaler.get();
    }

    Image image;
    std::vector<unsigned char> band;
    try {
        image.width = static_cast<int>(width);
        image.height = static_cast<int>(height);
        image.bgr.resize(std::size_t(width) * height * 3u);
        band.resize(std::size_t(width) * 4u * kBandRows);
    } catch (const std::bad_alloc&) {
        return DecodeError::NotEnoughMemory;
    }
    const UINT stride = width * 4u;
    for (UINT top = 0; top < height; top += kBandRows) {
        if (stop && stop->load(std::memory_order_relaxed)) return DecodeError::Stopped;
        const UINT rows = std::min(kBandRows, height - top);
        const WICRect rect{0, static_cast<INT>(top), static_cast<INT>(width), static_cast<INT>(rows)};
        result = source->CopyPixels(&rect, stride, stride * rows, band.data());
        if (FAILED(result)) return errorOf(result);
        for (UINT y = 0; y < rows; ++y) {
            const unsigned char* from = band.data() + std::size_t(y) * stride;
            unsigned char* to = image.row(static_cast<int>(top + y));
            for (UINT x = 0; x < width; ++x, from += 4, to += 3) {
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
            }
        }
    }
    out = std::move(image);
    return DecodeError::None;
}

std::vector<std::string> WicDecoder::decoderExtensions() {
    std::vector<std::string> lists;
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    if (!makeFactory(factory)) return lists;
    ComPtr<IEnumUnknown> components;
    if (FAILED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, components.put())))
        return lists;
    while (true) {
        ComPtr<IUnknown> component;
        ULONG fetched = 0;
        if (components->Next(1, component.put(), &fetched) != S_OK || fetched != 1) break;
        ComPtr<IWICBitmapDecoderInfo> info;
        if (FAILED(component->QueryInterface(IID_IWICBitmapDecoderInfo, reinterpret_cast<void**>(info.put()))))
            continue;
        UINT length = 0;
        if (FAILED(info->GetFileExtensions(0, nullptr, &length)) || length == 0 || length > 4096) continue;
        std::wstring text(length, L'\0');
        if (FAILED(info->GetFileExtensions(length, text.data(), &length))) continue;
        text.resize(wcsnlen(text.c_str(), text.size()));
        if (auto utf8 = fromWide(text)) lists.push_back(std::move(*utf8));
    }
    return lists;
}

}  // namespace qv::win
