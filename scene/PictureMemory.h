#pragma once
// The picture memory as the scene engine sees it: the user's pictures
// prepared as BMP images in memory and the bitmaps of the variant data
// directory. The renderer fills it (at start, or on demand in variant C);
// the scene engine only looks pictures up and hands their bytes to a texture.
#include <cstddef>
#include <string>

namespace qv {

// Bytes of one memory image. Empty (size 0) when there is none.
struct PictureImage {
    const unsigned char* bytes = nullptr;
    std::size_t size = 0;
};

class PictureMemory {
public:
    virtual ~PictureMemory() = default;

    // Pictures in the user's list, 0 to 10.
    virtual int photoCount() const = 0;

    // Upper-cased full path of the picture that fills buffer n (1 to 10);
    // empty when the buffer holds nothing. Out-of-range n gives empty.
    virtual const std::string& pictureName(int n) const = 0;

    // The image of picture n (1 to 10): buffer n with its recorded size.
    // Variants with one shared buffer give that buffer with the size
    // recorded for n. Out-of-range n gives an empty image.
    virtual PictureImage pictureImage(int n) = 0;

    // The data-directory bitmaps: every .bmp of the variant data directory
    // whose upper-cased path does not contain STILL, in the order found.
    virtual std::size_t cachedCount() const = 0;
    virtual const std::string& cachedName(std::size_t index) const = 0;  // upper-cased full path
    virtual PictureImage cachedImage(std::size_t index) = 0;

    // Shared-buffer variants: composes picture n into the shared buffer
    // (cleared first) and records its size for n (0 when nothing could be
    // made). Memories with a buffer per picture do nothing.
    virtual void composePicture(int n) = 0;

    // Shared-buffer variants: picture n composed ahead of its scene for
    // owner (a look-ahead; each monitor's show has its own), into a buffer
    // of owner's own, so that its texture can be made before its scene.
    // Starts the composition when owner's buffer holds another picture (a
    // folder slot's picture moves on to the folder's next first, as the
    // scene would) and gives the image once it is made: empty while it is
    // being made (see aheadUnderWay) and when none could be. Memories with
    // a buffer per picture give nothing.
    virtual PictureImage composeAhead(const void* /*owner*/, int /*n*/) { return {}; }
    // Whether a composition ahead for owner is still being made.
    virtual bool aheadUnderWay(const void* /*owner*/) const { return false; }
    // When owner's buffer holds picture n as composing n now would make it
    // (waiting for it while it is being made), that buffer becomes the
    // shared one, its bytes staying where they are, and owner gets the old
    // one; false otherwise, and n is to be composed as usual.
    virtual bool takeAhead(const void* /*owner*/, int /*n*/) { return false; }
    // owner looks ahead no more: its buffer goes (once a composition being
    // made has ended).
    virtual void dropAhead(const void* /*owner*/) {}

    // The placeholder rotation came back to picture n: a picture of a folder
    // slot takes the folder's next picture when one is ready and otherwise
    // keeps the one it has. Memories without folder slots do nothing.
    virtual void nextFolderPicture(int /*n*/) {}
};

}  // namespace qv
