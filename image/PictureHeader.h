#pragma once
// The size a picture file's own header gives, before anything is decoded. A
// file named .jpg goes to the platform's picture decoder, which takes a GIF,
// a PNG or a BMP as readily as a JPEG; which one it is, is told by its first
// bytes, and each is sized from its own header. Any bytes are safe to pass.
#include <cstddef>

namespace qv {

enum class PictureKind { Jpeg, Gif, Png, Bmp, Tiff };

struct PictureHeader {
    PictureKind kind = PictureKind::Jpeg;
    int width = 0;        // as stored; sides beyond the int range read as its largest value
    int height = 0;       // a JPEG's may be 0: given after its first scan
    int orientation = 1;  // EXIF 1..8 of a JPEG; 1 for the others
};

// True when the bytes begin a JPEG (FF D8), a GIF ("GIF87a", "GIF89a"), a
// PNG (its 8-byte signature and the IHDR chunk) or a BMP ("BM") whose header
// gives a width (and, but for a JPEG, a height) above 0. A GIF is sized to
// hold both its logical screen and its first image, whichever the decoder
// takes.
bool readPictureHeader(const unsigned char* data, std::size_t size, PictureHeader& header);

// The same for a picture of any kind a folder slot may hold: the four above
// and a TIFF ("II*\0" or "MM\0*"), sized from the width and length of its
// first directory (its first page), in either byte order. Only the bytes
// given are read: a directory or a field beyond them refuses the file.
bool readAnyPictureHeader(const unsigned char* data, std::size_t size, PictureHeader& header);

}  // namespace qv
