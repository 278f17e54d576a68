#include "image/PictureFileHeader.h"

#include <vector>

namespace qv {

namespace {

// Fills bytes up to size from the stream; false at the file's end.
bool readUpTo(ByteStream& stream, std::vector<unsigned char>& bytes, std::size_t size) {
    std::size_t have = bytes.size();
    bytes.resize(size);
    while (have < size) {
        const std::size_t got = stream.read(bytes.data() + have, size - have);
        if (got == 0) break;
        have += got;
    }
    bytes.resize(have);
    return have == size;
}

}  // namespace

HeaderRead readPictureFileHeader(FilesPort& files, const std::string& path, PictureHeader& header) {
    header = PictureHeader();
    auto stream = files.openRead(path);
    if (!stream) return HeaderRead::Unreadable;
    std::vector<unsigned char> bytes;
    const bool more = readUpTo(*stream, bytes, kHeaderFirstBytes);
    if (readAnyPictureHeader(bytes.data(), bytes.size(), header) && header.height > 0) return HeaderRead::Sized;
    if (more) {
        readUpTo(*stream, bytes, kHeaderMostBytes);
        if (readAnyPictureHeader(bytes.data(), bytes.size(), header) && header.height > 0)
            return HeaderRead::Sized;
    }
    header = PictureHeader();
    return HeaderRead::NotSized;
}

}  // namespace qv
