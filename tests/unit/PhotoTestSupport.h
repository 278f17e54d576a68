#pragma once
// Test doubles for the photo import: JPEG header bytes, a decoder that
// "decodes" a JPEG into a known pattern of its header's size, and a message
// port that records what was shown.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ports/DecoderPort.h"
#include "ports/MessagePort.h"
#include "image/BmpFile.h"
#include "image/JpegHeader.h"

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

// BMPs come from the strict reader through the files port; a JPEG "decodes"
// to its header's stored size with positionColour, unless an error is set.
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
    DecodeError decodeJpeg(const unsigned char* data, std::size_t size, Image& out) override {
        ++jpegCalls;
        out = Image();
        if (jpegError != DecodeError::None) return jpegError;
        JpegHeader header;
        if (!readJpegHeader(data, size, header)) return DecodeError::Other;
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
