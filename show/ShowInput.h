#pragma once
// The input rules of the show window that need no window to be tested.

namespace qv {

// The cursor rule of the show: the first mouse move only records where the
// cursor is (Windows sends one as soon as a window shows); a later one ends
// the show when the cursor is more than 5 pixels away on either axis.
class CursorWake {
public:
    static constexpr int kThreshold = 5;
    // True when this move ends the show.
    bool moved(int x, int y);
    bool recorded() const { return recorded_; }

private:
    bool recorded_ = false;
    int firstX_ = 0;
    int firstY_ = 0;
};

// A window size proposal ends the show when both sides are smaller than the
// show size, or both larger. A proposal that does not change the size (the
// system leaves width and height 0 then) is not one.
bool sizeChangeEndsShow(int showWidth, int showHeight, int newWidth, int newHeight, bool keepsSize);

}  // namespace qv
