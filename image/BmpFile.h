#pragma once
// BMP files: the 24-bit bottom-up file the conversion writes (54 header
// bytes, rows padded to 4 bytes, no colour table), and a strict reader that
// refuses any header whose numbers do not fit the bytes it was given and any
// run-length coded run that would leave the picture.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ports/DecoderPort.h"
#include "ports/FilesPort.h"

namespace qv {

constexpr std::size_t kBmpHeaderBytes = 54;  // 14-byte file header + 40-byte info header

// Bytes of one stored row: 3 bytes a pixel, rounded up to a multiple of 4.
std::uint64_t bmpRowSize(int width);
std::uint64_t bmpPixelDataSize(int width, int height);
std::uint64_t bmpFileSize(int width, int height);

// The whole file for a picture. Empty when the picture is empty or its
// pixel buffer does not match its size.
std::vector<unsigned char> encodeBmp24(const Image& image);

// Size and kind of a BMP, read from its headers only.
struct BmpInfo {
    int width = 0;
    int height = 0;       // always positive here
    bool topDown = false; // stored height was negative
    int bitsPerPixel = 0;
};

// True for a BMP this reader can decode: 1, 4, 8 (with colour table), 16,
// 24 or 32 bits a pixel, uncompressed with every row present in the bytes
// (16 bits 5-5-5, 16 and 32 bits also with bit fields of any unbroken,
// separate masks), or run-length coded 4 or 8 bits a pixel whose runs all
// stay inside a picture of at most kLargestDecodedPixels. Rows stored from
// the top or from the bottom.
bool readBmpInfo(const unsigned char* data, std::size_t size, BmpInfo& info);

// Decodes into out (top-down BGR). On failure out is left empty; throws
// std::bad_alloc when the pixels do not fit in memory.
bool decodeBmp(const unsigned char* data, std::size_t size, Image& out);

// decodeBmp for a BMP held in memory in place of another picture: None,
// TooLarge (beyond limit, nothing allocated), NotEnoughMemory or Other.
DecodeError decodeBmpInMemory(const unsigned char* data, std::size_t size, const DecodeLimit& limit,
                              Image& out);

// A decoder port that reads BMPs itself through a files port, also a BMP
// held in memory under a .jpg name; it has no other decoder and reports
// every JPEG, GIF and PNG as undecodable. The native builds use it; tests put
// their own JPEG behaviour on top.
class BmpFileDecoder : public DecoderPort {
public:
    explicit BmpFileDecoder(FilesPort& files) : files_(files) {}
    DecodeError decodeBmp(const std::string& path, Image& out) override;
    DecodeError decodeJpeg(const unsigned char* data, std::size_t size, const DecodeLimit& limit,
                           Image& out) override;

private:
    FilesPort& files_;
};

}  // namespace qv
