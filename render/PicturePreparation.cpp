#include "render/PicturePreparation.h"

#include "settings/SettingsStore.h"

namespace qv {

namespace {

// A usable file for photo number n: its converted bitmap when that opens,
// else the bitmap rebuilt from the user's source. Nothing when both fail.
std::optional<std::string> photoFile(SettingsStore& store, FilesPort& files, PhotoImport& import,
                                     const std::string& folder, int n) {
    const std::string converted = store.ReadStringOrError(photoValueName(n));
    const std::string source = store.ReadStringOrError(photoRealValueName(n));
    if (files.canOpen(converted)) return converted;
    // Without a folder there is nowhere to rebuild into.
    if (folder.empty()) return std::nullopt;
    // A source of no supported type "converts" with nothing written; its
    // picture then stays empty rather than taking another slot's file.
    if (const Conversion made = import.ConvertPicture(source, n, folder, true)) return made.path;
    return std::nullopt;
}

}  // namespace

ShowPictureList chooseShowPictures(const Variant& variant, RegistryPort& registry, FilesPort& files,
                                   PhotoImport& import, const std::optional<std::string>& appDataFolder,
                                   int screenWidth, int screenHeight) {
    ShowPictureList list;
    SettingsStore store(registry, variant);
    list.photoCount = store.ReadPhotoNum();
    list.trimming = store.ReadDword(kTrimmingValue, defaultTrimming(screenWidth, screenHeight));
    if (appDataFolder) list.folder = userPictureFolder(*appDataFolder, variant).value_or(std::string());
    if (list.photoCount == 0) return list;

    int n = 1;
    for (std::size_t i = 0; i < list.paths.size(); ++i, ++n) {
        if (n > list.photoCount) n = 1;
        std::optional<std::string> path = photoFile(store, files, import, list.folder, n);
        if (!path) {
            // Onward to 10, then once more from 1 to 10; the number found
            // stays, so the next picture follows it.
            int found = 0;
            for (int step = 1; step <= 20 && !path; ++step) {
                const int m = step <= 10 - n ? n + step : step - (10 - n);
                if (m > 10) break;
                path = photoFile(store, files, import, list.folder, m);
                if (path) found = m;
            }
            n = path ? found : kMaxPictures;
        }
        if (path) list.paths[i] = *path;
    }
    return list;
}

}  // namespace qv
