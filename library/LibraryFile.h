#pragma once
// The library file of a folder slot, in the per-user folder beside the slot's
// bitmap: the folder, its listing in the order of the current round, how far
// the round has come and the picture on screen. It lets a show start without
// listing the folder and go on with yesterday's order.
//
// The file is ours, but whatever is on disk is read as untrusted: anything
// but a whole file of this version, for this folder, with every name a sound
// path inside the folder, is refused, and the caller lists the folder again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "library/FolderOrder.h"
#include "ports/FilesPort.h"

namespace qv {

constexpr std::uint32_t kLibraryFileVersion = 1;
// A listing at its largest, with long names, stays well below this.
constexpr std::size_t kLargestLibraryFileBytes = std::size_t(256) << 20;

struct LibraryState {
    std::string folder;              // the slot's folder, ending with a backslash
    std::vector<std::string> round;  // relative paths, the current round's order
    std::size_t position = 0;        // how many of the round have been shown
    std::string current;             // relative path of the picture on screen, or empty

    bool operator==(const LibraryState&) const = default;
};

// "photo3.library" for slot 3, beside "photo3.bmp".
std::string libraryFileName(int slot);

// CRC-32 (the one of zip and PNG) of the bytes.
std::uint32_t crc32(const unsigned char* data, std::size_t size);

// The file's bytes. Anything is encoded as given; the reader judges it.
std::vector<unsigned char> encodeLibrary(const LibraryState& state);

// True only for a whole, undamaged file of this version whose contents are
// sound (see above); out is then the stored state, otherwise left empty.
bool decodeLibrary(const unsigned char* data, std::size_t size, LibraryState& out);

// The slot's file in the per-user folder (ending with a backslash), written
// whole through the files port: a failed write leaves the last file.
bool writeLibraryFile(FilesPort& files, const std::string& userFolder, int slot, const LibraryState& state);

// False when the slot's file is missing, unreadable, refused by
// decodeLibrary or made for another folder than the slot's (compared as
// Windows compares paths, with or without the closing backslash).
bool readLibraryFile(FilesPort& files, const std::string& userFolder, int slot, const std::string& folder,
                     LibraryState& out);

// Between the file and the order the show draws from.
LibraryState libraryStateOf(const std::string& folder, const FolderOrder& order);
bool restoreOrder(const LibraryState& state, FolderOrder& order);

}  // namespace qv
