#pragma once
// Test doubles for the photo import: JPEG header bytes, a decoder that
// "decodes" a JPEG into a known pattern of its header's size, and a message
// port that records what was shown.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ports/DecoderPort.h"
#include "ports/FilesPort.h"
#include "ports/MessagePort.h"
#include "ports/PictureDecoderPort.h"
#include "image/DecodeScale.h"
#include "image/BmpFile.h"
#include "image/JpegHeader.h"
#include "image/PictureHeader.h"

namespace qv::testing {

inline void putBe16(std::vector<unsigned char>& v, unsigned x) {
    v.push_back(static_cast<unsigned char>(x >> 8));
    v.push_back(static_cast<unsigned char>(x));
}

// An EXIF APP1 segment holding one orientation entry.
inline std::vector<unsigned char> exifSegment(int orientation, bool little) {
    std::vector<unsigned char> tiff;
    auto u16 = [&](unsigned x) {
        if (little) { tiff.push_back(x & 0xFF); tiff.push_back((x >> 8) & 0xFF); }
        else { tiff.push_back((x >> 8) & 0xFF); tiff.push_back(x & 0xFF); }
    };
    auto u32 = [&](std::uint32_t x) {
        if (little) { u16(x & 0xFFFF); u16(x >> 16); }
        else { u16(x >> 16); u16(x & 0xFFFF); }
    };
    tiff.push_back(little ? 'I' : 'M');
    tiff.push_back(little ? 'I' : 'M');
    u16(42);
    u32(8);            // first directory right after the header
    u16(2);            // two entries: an unrelated one first
    u16(0x010F); u16(2); u32(4); u32(0);   // Make, ASCII
    u16(0x0112); u16(3); u32(1); u16(static_cast<unsigned>(orientation)); u16(0);
    u32(0);            // no next directory
    std::vector<unsigned char> seg = {0xFF, 0xE1};
    putBe16(seg, static_cast<unsigned>(2 + 6 + tiff.size()));
    const char exif[6] = {'E', 'x', 'i', 'f', 0, 0};
    seg.insert(seg.end(), exif, exif + 6);
    seg.insert(seg.end(), tiff.begin(), tiff.end());
    return seg;
}

// The headers of a baseline JPEG of w x h, with an optional orientation,
// followed by a scan header and a few bytes of scan data.
inline std::vector<unsigned char> jpegBytes(unsigned w, unsigned h, int orientation = 0, bool little = true) {
    std::vector<unsigned char> v = {0xFF, 0xD8};
    // APP0 JFIF
    const unsigned char app0[] = {0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    v.insert(v.end(), app0, app0 + sizeof app0);
    if (orientation != 0) {
        const auto seg = exifSegment(orientation, little);
        v.insert(v.end(), seg.begin(), seg.end());
    }
    // SOF0: precision 8, height, width, 3 components
    v.push_back(0xFF); v.push_back(0xC0);
    putBe16(v, 17);
    v.push_back(8);
    putBe16(v, h);
    putBe16(v, w);
    v.push_back(3);
    for (unsigned char c = 1; c <= 3; ++c) { v.push_back(c); v.push_back(0x11); v.push_back(0); }
    // SOS and a little data, then EOI
    const unsigned char sos[] = {0xFF, 0xDA, 0x00, 0x0C, 3, 1, 0, 2, 0x11, 3, 0x11, 0, 63, 0, 0x12, 0x34};
    v.insert(v.end(), sos, sos + sizeof sos);
    v.push_back(0xFF); v.push_back(0xD9);
    return v;
}

// A JPEG whose frame header gives height 0 and whose DNL segment, after the
// scan, gives the height.
inline std::vector<unsigned char> jpegWithLaterHeight(unsigned w, unsigned h) {
    std::vector<unsigned char> v = jpegBytes(w, 0);
    const std::vector<unsigned char> dnl = {0xFF, 0xDC, 0x00, 0x04, static_cast<unsigned char>(h >> 8),
                                            static_cast<unsigned char>(h)};
    v.insert(v.end() - 2, dnl.begin(), dnl.end());  // before the end mark
    return v;
}

// The headers of a GIF: logical screen w x h, then an image of iw x ih at
// (left, top).
inline std::vector<unsigned char> gifBytes(unsigned w, unsigned h, unsigned left = 0, unsigned top = 0,
                                           unsigned iw = 0, unsigned ih = 0) {
    auto le = [](std::vector<unsigned char>& v, unsigned x) {
        v.push_back(static_cast<unsigned char>(x));
        v.push_back(static_cast<unsigned char>(x >> 8));
    };
    std::vector<unsigned char> v = {'G', 'I', 'F', '8', '9', 'a'};
    le(v, w);
    le(v, h);
    v.insert(v.end(), {0x80, 0, 0});                  // a global table of two colours
    v.insert(v.end(), {0, 0, 0, 255, 255, 255});
    v.insert(v.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 0});  // a graphic control extension
    v.push_back(0x2C);
    le(v, left);
    le(v, top);
    le(v, iw ? iw : w);
    le(v, ih ? ih : h);
    v.insert(v.end(), {0, 2, 2, 0x44, 0x01, 0, 0x3B});
    return v;
}

// The signature and IHDR chunk of a PNG of w x h.
inline std::vector<unsigned char> pngBytes(std::uint32_t w, std::uint32_t h) {
    std::vector<unsigned char> v = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (std::uint32_t x : {w, h})
        for (int shift = 24; shift >= 0; shift -= 8) v.push_back(static_cast<unsigned char>(x >> shift));
    v.insert(v.end(), {8, 2, 0, 0, 0, 0, 0, 0, 0});  // depth, colour type, methods, a CRC
    return v;
}

inline std::string asString(const std::vector<unsigned char>& v) { return std::string(v.begin(), v.end()); }

// A picture whose pixel (x, y) is colour(x, y) = {b, g, r}.
inline Image makeImage(int w, int h, const std::function<std::array<unsigned char, 3>(int, int)>& colour) {
    Image image;
    image.width = w;
    image.height = h;
    image.bgr.resize(std::size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto c = colour(x, y);
            unsigned char* p = image.row(y) + 3 * x;
            p[0] = c[0]; p[1] = c[1]; p[2] = c[2];
        }
    return image;
}

inline std::array<unsigned char, 3> pixel(const Image& image, int x, int y) {
    const unsigned char* p = image.row(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

// A colour telling a stored position apart: blue = x, green = y.
inline std::array<unsigned char, 3> positionColour(int x, int y) {
    return {static_cast<unsigned char>(x), static_cast<unsigned char>(y), 200};
}

// The height a DNL segment (FF DC, length 4) gives; 0 without one.
inline int dnlHeight(const unsigned char* data, std::size_t size) {
    for (std::size_t i = 0; i + 5 < size; ++i)
        if (data[i] == 0xFF && data[i + 1] == 0xDC && data[i + 2] == 0 && data[i + 3] == 4)
            return (data[i + 4] << 8) | data[i + 5];
    return 0;
}

// BMPs come from the strict reader through the files port; a JPEG (or a GIF
// or PNG) "decodes" to its header's stored size with positionColour, unless
// an error is set, its height from a DNL segment when its header has none.
// Sizes beyond the caller's limit are refused before anything is made.
class FakeDecoder : public BmpFileDecoder {
public:
    using BmpFileDecoder::BmpFileDecoder;
    DecodeError jpegError = DecodeError::None;
    DecodeError bmpError = DecodeError::None;  // forced BMP failure when not None
    int jpegCalls = 0;
    int bmpCalls = 0;
    // Colour of the stored pixel (x, y) of a decoded JPEG; empty: flat grey (fast).
    std::function<std::array<unsigned char, 3>(int, int)> jpegColour = positionColour;

    DecodeError decodeBmp(const std::string& path, Image& out) override {
        ++bmpCalls;
        if (bmpError != DecodeError::None) { out = Image(); return bmpError; }
        return BmpFileDecoder::decodeBmp(path, out);
    }
    DecodeError decodeJpeg(const unsigned char* data, std::size_t size, const DecodeLimit& limit,
                           Image& out) override {
        ++jpegCalls;
        out = Image();
        if (jpegError != DecodeError::None) return jpegError;
        if (size >= 2 && data[0] == 'B' && data[1] == 'M') return decodeBmpInMemory(data, size, limit, out);
        PictureHeader header;
        if (!readPictureHeader(data, size, header)) return DecodeError::Other;
        if (header.height == 0) header.height = dnlHeight(data, size);
        if (!limit.allows(header.width, header.height)) return DecodeError::TooLarge;
        if (!jpegColour) {
            out.width = header.width;
            out.height = header.height;
            out.bgr.assign(std::size_t(header.width) * header.height * 3, 128);
            return DecodeError::None;
        }
        out = makeImage(header.width, header.height, jpegColour);
        return DecodeError::None;
    }
};

// Any picture file through the files port: sized from its own header (the
// file's last four bytes give a JPEG's missing height), shrunk as a decoder
// that scales would, filled with one grey; the wanted size it was asked for
// is kept. error forces a failure.
class FakePictureDecoder : public PictureDecoderPort {
public:
    explicit FakePictureDecoder(FilesPort& files) : files_(files) {}
    DecodeError error = DecodeError::None;
    int calls = 0;
    int wantedWidth = -1;
    int wantedHeight = -1;
    // Run in each decode, before the stop flag is looked at.
    std::function<void()> whileDecoding;
    DecodeError decodePicture(const std::string& path, int wanted_w, int wanted_h, const DecodeLimit& limit,
                              const std::atomic<bool>* stop, Image& out) override {
        ++calls;
        if (whileDecoding) whileDecoding();
        if (stop && stop->load()) return DecodeError::Stopped;
        wantedWidth = wanted_w;
        wantedHeight = wanted_h;
        out = Image();
        if (error != DecodeError::None) return error;
        std::vector<unsigned char> bytes;
        if (!files_.readAll(path, bytes, std::size_t(1) << 30)) return DecodeError::Other;
        PictureHeader header;
        if (!readAnyPictureHeader(bytes.data(), bytes.size(), header)) return DecodeError::Other;
        if (header.height == 0) header.height = dnlHeight(bytes.data(), bytes.size());
        if (!limit.allows(header.width, header.height)) return DecodeError::TooLarge;
        const int factor = shrinkFactor(header.width, header.height, wanted_w, wanted_h);
        out.width = shrunkSide(header.width, factor);
        out.height = shrunkSide(header.height, factor);
        out.bgr.assign(std::size_t(out.width) * out.height * 3, 128);
        return DecodeError::None;
    }
    std::vector<std::string> decoderExtensions() override { return {".jpg,.jpeg", ".png", ".gif", ".bmp"}; }

private:
    FilesPort& files_;
};

class RecordingMessages : public MessagePort {
public:
    std::vector<MessageKind> shown;
    int answer = kMsgFirstButton;  // the button every message is closed with
    int cursorRestores = 0;
    bool cursorRestoredBeforeEachMessage = true;
    void restoreArrowCursor() override { ++cursorRestores; }
    int showMessage(MessageKind kind) override {
        if (cursorRestores <= static_cast<int>(shown.size())) cursorRestoredBeforeEachMessage = false;
        shown.push_back(kind);
        return answer;
    }
};

}  // namespace qv::testing
