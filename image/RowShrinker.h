#pragma once
// Shrinks a picture by a whole factor while its rows arrive, top down, so a
// decoder that hands out full-size rows never needs a full-size copy: each
// pixel of the result is the mean of its factor x factor block of the
// picture (rounded to the nearest), a last block cut short by the edge the
// mean of what it covers. Holds one row of sums beside the result.
#include <cstdint>
#include <vector>

#include "ports/DecoderPort.h"

namespace qv {

class RowShrinker {
public:
    // A picture width x height, shrunk by factor (1: copied as it is) into
    // out, sized here to the sides shrunk and rounded up. False, out left
    // empty, for a side or factor not above 0.
    bool start(int width, int height, int factor, Image& out);
    // The picture's next row: width pixels of pixelBytes bytes each (3, or
    // 4 with a last byte left out), blue, green and red first. Rows past
    // the picture's height are ignored.
    void addRow(const unsigned char* row, int pixelBytes);

private:
    void flush(int rowsInBlock);

    Image* out_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int factor_ = 1;
    int rowsSeen_ = 0;
    std::vector<std::uint64_t> sums_;  // three a pixel of the result
};

}  // namespace qv
