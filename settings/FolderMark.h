#pragma once
// The mark that tells a folder slot's thumbnail from a picture's: a small
// folder, a tab over a body, in yellow with a dark outline, in the
// thumbnail's lower left corner. Drawn by us, so it looks the same on every
// system; never white, which the list draws transparent.
#include "ports/DecoderPort.h"

namespace qv {

// Draws the mark into the thumbnail's pixels, sized from its height (three
// tenths of it, four wide for three high) two pixels in from the left and
// bottom edges. A thumbnail too small to hold it is left as it is.
void drawFolderMark(Image& thumbnail);

}  // namespace qv
