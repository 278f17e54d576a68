#include "image/JpegFirstDecoder.h"

#include <cstddef>
#include <new>

#include "image/DecodeScale.h"
#include "image/JpegDecoder.h"
#include "image/JpegHeader.h"

namespace qv {

namespace {

// The largest JPEG file read whole into memory: far above any photo within
// the picture limits; beyond it the platform's decoder reads the file itself.
constexpr std::size_t kLargestJpegFile = std::size_t(256) << 20;

bool startsAsJpeg(FilesPort& files, const std::string& path) {
    const auto stream = files.openRead(path);
    if (!stream) return false;
    unsigned char start[3] = {};
    std::size_t got = 0;
    while (got < sizeof start) {
        const std::size_t read = stream->read(start + got, sizeof start - got);
        if (read == 0) break;
        got += read;
    }
    return got == sizeof start && start[0] == 0xFF && start[1] == 0xD8 && start[2] == 0xFF;
}

}  // namespace

DecodeError JpegFirstDecoder::decodePicture(const std::string& path, int wantedWidth, int wantedHeight,
                                            const DecodeLimit& limit, const std::atomic<bool>* stop, Image& out) {
    out = Image();
    if (startsAsJpeg(files_, path)) {
        std::vector<unsigned char> bytes;
        JpegHeader header;
        bool read = false;
        try {
            read = files_.readAll(path, bytes, kLargestJpegFile);
        } catch (const std::bad_alloc&) {
            return DecodeError::NotEnoughMemory;
        }
        if (read && readJpegHeader(bytes.data(), bytes.size(), header)) {
            const int scale = jpegScaleFor(shrinkFactor(header.width, header.height, wantedWidth, wantedHeight));
            switch (decodeScaledJpeg(bytes.data(), bytes.size(), scale, limit, stop, out)) {
                case JpegDecode::Decoded: return DecodeError::None;
                case JpegDecode::Broken: return DecodeError::Other;
                case JpegDecode::TooLarge: return DecodeError::TooLarge;
                case JpegDecode::OutOfMemory: return DecodeError::NotEnoughMemory;
                case JpegDecode::Stopped: return DecodeError::Stopped;
                case JpegDecode::Unsupported: break;
            }
        }
    }
    if (stop && stop->load(std::memory_order_relaxed)) return DecodeError::Stopped;
    return fallback_.decodePicture(path, wantedWidth, wantedHeight, limit, stop, out);
}

}  // namespace qv
