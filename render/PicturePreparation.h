#pragma once
// Which file each of the show's ten pictures comes from: the user's list in
// the registry, rotated through the ten picture numbers, with converted
// bitmaps that went missing rebuilt from their sources and slots whose files
// are all gone passed over for later ones.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ports/FilesPort.h"
#include "ports/RegistryPort.h"
#include "settings/PhotoImport.h"
#include "variant/Variant.h"

namespace qv {

// Who prepares the pictures. The show may write: the defaults of missing
// settings, and converted bitmaps rebuilt from their sources. The preview
// runs beside a show or the settings dialog, without the instance lock, and
// only reads: a setting that is missing counts as its default, a converted
// bitmap that is missing as a picture that is not there.
enum class PictureAccess { Show, ReadOnly };

struct ShowPictureList {
    int photoCount = 0;  // "photo_num", 0..10
    int trimming = 0;    // "trimming": 1 fills the width of a landscape picture
    std::string folder;  // the per-user picture folder; empty when there is none
    // The file of picture i + 1, as the registry or the conversion gave it;
    // empty when nothing was found for it (and always with no photos).
    std::array<std::string, 10> paths{};
    // The slot (1..10) picture i + 1 comes from, 0 with no path; and that
    // slot's folder when it is a folder slot, else empty.
    std::array<int, 10> slots{};
    std::array<std::string, 10> folders{};
    // The show's folder slots (1 .. photoCount) whose own bitmap in the
    // per-user folder is missing: passed over above, and made again by the
    // show's folder worker once the show is up. Never for the preview.
    struct MissingFolderBitmap {
        int slot = 0;
        std::string folder;  // photoN_real, ending with a backslash
        std::string bitmap;  // photoN, the per-user folder's photoN.bmp
    };
    std::vector<MissingFolderBitmap> missingFolderBitmaps;
};

// Reads the settings (for the show, writing back defaults that were missing)
// and chooses the path of each picture. For the show, import re-converts
// missing bitmaps (never a folder slot's: its picture is passed over as a
// missing one, and listed in missingFolderBitmaps for the show's worker); it
// must be silent (no message is shown in the show), so ConvertPicture is
// called with silent set.
ShowPictureList chooseShowPictures(const Variant& variant, RegistryPort& registry, FilesPort& files,
                                   PhotoImport& import, const std::optional<std::string>& appDataFolder,
                                   int screenWidth, int screenHeight,
                                   PictureAccess access = PictureAccess::Show);

}  // namespace qv
