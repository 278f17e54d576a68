#include "image/RowShrinker.h"

#include <algorithm>

#include "image/DecodeScale.h"

namespace qv {

bool RowShrinker::start(int width, int height, int factor, Image& out) {
    out = Image();
    out_ = nullptr;
    if (width <= 0 || height <= 0 || factor <= 0) return false;
    width_ = width;
    height_ = height;
    factor_ = factor;
    rowsSeen_ = 0;
    out.width = shrunkSide(width, factor);
    out.height = shrunkSide(height, factor);
    out.bgr.assign(out.rowBytes() * static_cast<std::size_t>(out.height), 0);
    sums_.assign(out.rowBytes(), 0);
    out_ = &out;
    return true;
}

void RowShrinker::addRow(const unsigned char* row, int pixelBytes) {
    if (!out_ || rowsSeen_ >= height_) return;
    const std::size_t step = static_cast<std::size_t>(pixelBytes);
    if (factor_ == 1) {
        unsigned char* to = out_->row(rowsSeen_++);
        for (int x = 0; x < width_; ++x, row += step, to += 3) {
            to[0] = row[0];
            to[1] = row[1];
            to[2] = row[2];
        }
        return;
    }
    std::uint64_t* sum = sums_.data();
    for (int x = 0; x < width_; x += factor_, sum += 3) {
        const int across = std::min(factor_, width_ - x);
        const unsigned char* p = row + static_cast<std::size_t>(x) * step;
        std::uint64_t b = 0, g = 0, r = 0;
        for (int i = 0; i < across; ++i, p += step) {
            b += p[0];
            g += p[1];
            r += p[2];
        }
        sum[0] += b;
        sum[1] += g;
        sum[2] += r;
    }
    ++rowsSeen_;
    if (rowsSeen_ % factor_ == 0) {
        flush(factor_);
    } else if (rowsSeen_ == height_) {
        flush(rowsSeen_ % factor_);
    }
}

void RowShrinker::flush(int rowsInBlock) {
    unsigned char* to = out_->row((rowsSeen_ - 1) / factor_);
    std::uint64_t* sum = sums_.data();
    for (int x = 0; x < width_; x += factor_) {
        const std::uint64_t count = static_cast<std::uint64_t>(std::min(factor_, width_ - x)) * rowsInBlock;
        for (int c = 0; c < 3; ++c, ++sum, ++to) {
            *to = static_cast<unsigned char>((*sum + count / 2) / count);
            *sum = 0;
        }
    }
}

}  // namespace qv
