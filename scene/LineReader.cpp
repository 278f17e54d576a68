#include "scene/LineReader.h"

namespace qv {

namespace {
constexpr int kEnd = -1;
constexpr int kCtrlZ = 0x1A;
}  // namespace

LineReader::LineReader(std::unique_ptr<ByteStream> stream) : stream_(std::move(stream)) {
    if (!stream_) ended_ = true;
}

int LineReader::peek() {
    if (pos_ == size_) {
        if (ended_) return kEnd;
        size_ = stream_->read(buffer_.data(), buffer_.size());
        pos_ = 0;
        if (size_ == 0) {
            ended_ = true;
            return kEnd;
        }
    }
    const int c = buffer_[pos_];
    if (c == kCtrlZ) {
        // Text mode stops here for good, whatever follows.
        ended_ = true;
        pos_ = size_ = 0;
        return kEnd;
    }
    return c;
}

int LineReader::get() {
    const int c = peek();
    if (c != kEnd) ++pos_;
    return c;
}

bool LineReader::next(std::string& line) {
    line.clear();
    int c = get();
    if (c == kEnd) return false;
    ++lineNumber_;
    bool cut = false;  // a NUL was seen: the text ends there
    for (; c != kEnd; c = get()) {
        if (c == '\n') break;
        if (c == '\r' && peek() == '\n') {
            get();
            break;
        }
        if (c == 0) cut = true;
        if (!cut) line.push_back(static_cast<char>(c));
    }
    return true;
}

}  // namespace qv
