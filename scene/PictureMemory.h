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

    // The placeholder rotation came back to picture n: a picture of a folder
    // slot takes the folder's next picture when one is ready and otherwise
    // keeps the one it has. Memories without folder slots do nothing.
    virtual void nextFolderPicture(int /*n*/) {}
};

}  // namespace qv
