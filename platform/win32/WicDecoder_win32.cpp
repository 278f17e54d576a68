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
#include "image/RowShrinker.h"
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

    // A frame in 24-bit BGR already (a photo without alpha: most PNG, BMP
    // and TIFF files) is read as WIC holds it. Any other goes through WIC's
    // converter to premultiplied BGRA, so a transparent pixel is black
    // whatever colour it hides, and its alpha byte is left out.
    WICPixelFormatGUID format{};
    const bool direct = SUCCEEDED(frame->GetPixelFormat(&format)) && IsEqualGUID(format, GUID_WICPixelFormat24bppBGR);
    IWICBitmapSource* source = frame.get();
    ComPtr<IWICFormatConverter> converter;
    if (!direct) {
        if (FAILED(factory->CreateFormatConverter(converter.put()))) return DecodeError::Other;
        result = converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                       0.0, WICBitmapPaletteTypeCustom);
        if (FAILED(result)) return errorOf(result);
        source = converter.get();
    }

    // Far too large: shrunk by a whole factor as the rows come out of WIC,
    // a band at a time (WIC's own scaler, under Wine, took longer than the
    // decoding).
    const int factor = shrinkFactor(static_cast<int>(width), static_cast<int>(height), wantedWidth, wantedHeight);
    Image image;
    RowShrinker shrinker;
    std::vector<unsigned char> band;
    const UINT pixelBytes = direct ? 3u : 4u;
    const UINT stride = width * pixelBytes;
    try {
        if (!shrinker.start(static_cast<int>(width), static_cast<int>(height), factor, image))
            return DecodeError::Other;
        band.resize(std::size_t(stride) * kBandRows);
    } catch (const std::bad_alloc&) {
        return DecodeError::NotEnoughMemory;
    }
    for (UINT top = 0; top < height; top += kBandRows) {
        if (stop && stop->load(std::memory_order_relaxed)) return DecodeError::Stopped;
        const UINT rows = std::min(kBandRows, height - top);
        const WICRect rect{0, static_cast<INT>(top), static_cast<INT>(width), static_cast<INT>(rows)};
        result = source->CopyPixels(&rect, stride, stride * rows, band.data());
        if (FAILED(result)) return errorOf(result);
        for (UINT y = 0; y < rows; ++y)
            shrinker.addRow(band.data() + std::size_t(y) * stride, static_cast<int>(pixelBytes));
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
