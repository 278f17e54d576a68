// Any bytes through our JPEG decoder at the scale the first byte picks: it
// answers without reading or writing outside what it was given, and a
// picture it decodes has the size its frame header gives, divided and
// rounded up. Its seeds are that byte and a small JPEG from ImageMagick's
// convert (plasma:fractal in each sampling, with restarts, grey, progressive).
#include <cstddef>
#include <cstdint>

#include "image/JpegDecoder.h"
#include "image/JpegHeader.h"
#include "ports/DecoderPort.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int scale = 1 << (data[0] & 3);
    // Kept small, so the fuzzer spends its time in the decoding.
    const qv::DecodeLimit limit{4096, 1u << 22};
    qv::Image out;
    const qv::JpegDecode result = qv::decodeScaledJpeg(data + 1, size - 1, scale, limit, nullptr, out);
    if (result != qv::JpegDecode::Decoded) {
        if (!out.empty() || !out.bgr.empty()) __builtin_trap();
        return 0;
    }
    qv::JpegHeader header;
    if (!qv::readJpegHeader(data + 1, size - 1, header)) __builtin_trap();
    if (out.width != (header.width + scale - 1) / scale || out.height != (header.height + scale - 1) / scale ||
        out.bgr.size() != std::size_t(out.width) * std::size_t(out.height) * 3u)
        __builtin_trap();
    return 0;
}
