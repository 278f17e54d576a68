#pragma once
// Classifying the show size: the screen layout code picks the camera
// distance, and the screen's proportion picks the normal or wide scripts.

namespace qv {

// 0 to 14. Known sizes come from a table; other sizes fall back on their
// proportion (10 when height / width >= 0.75, else 9), except a few widths
// that keep the starting code 3.
int screenLayoutCode(int width, int height);

// True when the wide scene scripts suit a screen of this size: the height
// over the width r lies in (0.5, 0.75) or above 1.34. A screen without a
// width uses the normal scripts.
bool usesWideScripts(int width, int height);

}  // namespace qv
