#include "platform/win32/Win32Decoder.h"

#include <windows.h>
#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "image/BmpGuard.h"
#include "image/BmpFile.h"
#include "platform/win32/WideText.h"

namespace qv::win {

namespace {

// Rows read from the platform per call: keeps the scratch buffer small next
// to the picture itself.
constexpr int kBandRows = 256;

DecodeError errorFromLastError(DWORD error) {
    return error == ERROR_NOT_ENOUGH_MEMORY ? DecodeError::NotEnoughMemory : DecodeError::Other;
}

// Deletes a GDI bitmap when it goes out of scope.
struct BitmapHolder {
    HBITMAP bitmap = nullptr;
    ~BitmapHolder() {
        if (bitmap) DeleteObject(bitmap);
    }
};

struct DcHolder {
    HDC dc = nullptr;
    ~DcHolder() {
        if (dc) DeleteDC(dc);
    }
};

template <typename T>
struct ComHolder {
    T* p = nullptr;
    ~ComHolder() {
        if (p) p->Release();
    }
};

// COM for the decoder on this thread for as long as one decode runs; a thread
// that has COM already keeps it (the balancing uninitialise only drops our
// own reference).
struct ComScope {
    bool ours = false;
    ComScope() {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ours = (hr == S_OK || hr == S_FALSE);
    }
    ~ComScope() {
        if (ours) CoUninitialize();
    }
};

// The bitmap's pixels as 24-bit rows, read bottom-up from the platform and
// stored top-down in out; a bitmap beyond limit (when one is given) is left
// before anything is allocated for it.
DecodeError readPixels(HBITMAP bitmap, Image& out, const DecodeLimit* limit = nullptr) {
    BITMAP info{};
    if (GetObjectW(bitmap, sizeof info, &info) != sizeof info) return DecodeError::Other;
    const int width = info.bmWidth;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    if (width <= 0 || height <= 0) return DecodeError::Other;
    if (limit && !limit->allows(width, height)) return DecodeError::TooLarge;

    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3u;
    const std::size_t stride = (rowBytes + 3u) & ~static_cast<std::size_t>(3u);
    if (rowBytes / 3u != static_cast<std::size_t>(width) ||
        rowBytes > SIZE_MAX / static_cast<std::size_t>(height))
        return DecodeError::NotEnoughMemory;

    Image image;
    std::vector<unsigned char> band;
    try {
        image.bgr.resize(rowBytes * static_cast<std::size_t>(height));
        band.resize(stride * static_cast<std::size_t>(std::min(height, kBandRows)));
    } catch (const std::bad_alloc&) {
        return DecodeError::NotEnoughMemory;
    }
    image.width = width;
    image.height = height;

    DcHolder dc{CreateCompatibleDC(nullptr)};
    if (!dc.dc) return DecodeError::Other;

    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = height;  // positive: bottom-up rows
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = BI_RGB;

    // Scan line s counts from the bottom: it is row height - 1 - s from the top.
    for (int first = 0; first < height; first += kBandRows) {
        const int count = std::min(kBandRows, height - first);
        const int got = GetDIBits(dc.dc, bitmap, static_cast<UINT>(first), static_cast<UINT>(count),
                                  band.data(), &header, DIB_RGB_COLORS);
        if (got != count) return DecodeError::Other;
        for (int i = 0; i < count; ++i) {
            const int y = height - 1 - (first + i);
            std::memcpy(image.row(y), band.data() + static_cast<std::size_t>(i) * stride, rowBytes);
        }
    }
    out = std::move(image);
    return DecodeError::None;
}

HANDLE openToRead(const std::string& path) {
    const auto wide = toWide(path);
    if (!wide) return INVALID_HANDLE_VALUE;
    return CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Reads the file's headers and size; false with the error to report when
// the file cannot be read or is shorter than its headers say. topDown tells
// whether its rows are stored from the top.
bool bmpHeadOk(const std::string& path, DecodeError& error, bool& topDown) {
    HANDLE file = openToRead(path);
    if (file == INVALID_HANDLE_VALUE) {
        error = errorFromLastError(GetLastError());
        return false;
    }
    unsigned char head[kBmpGuardHeadBytes] = {};
    DWORD got = 0;
    LARGE_INTEGER size{};
    const bool read = GetFileSizeEx(file, &size) && ReadFile(file, head, sizeof head, &got, nullptr);
    CloseHandle(file);
    error = DecodeError::Other;
    if (!read || size.QuadPart < 0 || !bmpFileIsWhole(head, got, static_cast<std::uint64_t>(size.QuadPart)))
        return false;
    // The guard has seen at least the 40-byte info header when its size says so.
    topDown = head[14] >= 40 && (head[25] & 0x80) != 0;
    return true;
}

// The whole file; false when it cannot be read (error says why).
bool readWholeFile(const std::string& path, std::vector<unsigned char>& bytes, DecodeError& error) {
    error = DecodeError::Other;
    HANDLE file = openToRead(path);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= 0x7FFFFFFF;
    if (ok) {
        try {
            bytes.resize(static_cast<std::size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            error = DecodeError::NotEnoughMemory;
            ok = false;
        }
    }
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        ok = ReadFile(file, bytes.data() + done, want, &got, nullptr) && got > 0;
        done += got;
    }
    CloseHandle(file);
    return ok;
}

}  // namespace

DecodeError Win32Decoder::decodeBmp(const std::string& path, Image& out) {
    out = Image{};
    // The loader reads past the end of a file shorter than its header says.
    DecodeError headError = DecodeError::Other;
    bool topDown = false;
    if (!bmpHeadOk(path, headError, topDown)) return headError;
    if (topDown) {
        // Wine's loader turns rows stored from the top into black; our own
        // reader takes the kinds of BMP it knows.
        std::vector<unsigned char> bytes;
        if (!readWholeFile(path, bytes, headError)) return headError;
        try {
            if (qv::decodeBmp(bytes.data(), bytes.size(), out)) return DecodeError::None;
        } catch (const std::bad_alloc&) {
            out = Image{};
            return DecodeError::NotEnoughMemory;
        }
    }
    const auto wide = toWide(path);  // well formed: the head was read by it
    if (!wide) return DecodeError::Other;
    SetLastError(ERROR_SUCCESS);
    // A DIB section keeps the file's own colours whatever the display depth.
    BitmapHolder loaded{static_cast<HBITMAP>(
        LoadImageW(nullptr, wide->c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION))};
    if (!loaded.bitmap) return errorFromLastError(GetLastError());
    return readPixels(loaded.bitmap, out);
}

DecodeError Win32Decoder::decodeJpeg(const unsigned char* data, std::size_t size, const DecodeLimit& limit,
                                     Image& out) {
    out = Image{};
    if (!data || size == 0 || size > 0x7FFFFFFFu) return DecodeError::Other;
    // A BMP under a .jpg name: our own reader first, as for BMP files (it
    // takes the top-down and run-length kinds the platform gets wrong); what
    // it does not know goes to the platform's decoder.
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        const DecodeError own = decodeBmpInMemory(data, size, limit, out);
        if (own != DecodeError::Other) return own;
    }

    // The whole file in one movable block; the stream frees it when released.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return DecodeError::NotEnoughMemory;
    void* bytes = GlobalLock(block);
    if (!bytes) {
        GlobalFree(block);
        return DecodeError::NotEnoughMemory;
    }
    std::memcpy(bytes, data, size);
    GlobalUnlock(block);

    ComScope com;
    ComHolder<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream.p)) || !stream.p) {
        GlobalFree(block);
        return DecodeError::Other;
    }

    // The platform's last error says nothing after the decoder: a failed
    // decode is simply not a picture we can read.
    ComHolder<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.p, static_cast<LONG>(size), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&picture.p))) ||
        !picture.p)
        return DecodeError::Other;

    SHORT type = PICTYPE_UNINITIALIZED;
    OLE_HANDLE handle = 0;
    if (FAILED(picture.p->get_Type(&type)) || type != PICTYPE_BITMAP ||
        FAILED(picture.p->get_Handle(&handle)) || handle == 0)
        return DecodeError::Other;
    HBITMAP decoded = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));

    // The pixels straight from the decoder's bitmap, which the picture owns:
    // we scale them ourselves, so a platform copy would only cost time and
    // another picture's worth of memory. Running out of memory shows up in
    // our own buffers. The decoded size is checked first: a JPEG whose
    // height came only after its first scan was never checked before.
    return readPixels(decoded, out, &limit);
}

}  // namespace qv::win
