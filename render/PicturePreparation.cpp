#include "render/PicturePreparation.h"

#include "render/FolderSlotPictures.h"
#include "settings/SettingsStore.h"
#include "text/Utf8Text.h"

namespace qv {

namespace {

// The settings as the preview sees them: every read reaches the registry,
// every write is refused, so a missing value reads as its default and stays
// missing.
class ReadOnlyRegistry : public RegistryPort {
public:
    explicit ReadOnlyRegistry(RegistryPort& registry) : registry_(registry) {}
    RegHandle createKey(const std::string& subKey) override { return registry_.createKey(subKey); }
    void closeKey(RegHandle key) override { registry_.closeKey(key); }
    long setDword(RegHandle, const std::string&, std::uint32_t) override { return kAccessDenied; }
    long setString(RegHandle, const std::string&, const char*, std::size_t) override { return kAccessDenied; }
    long queryValue(RegHandle key, const std::string& name, unsigned char* buffer, std::size_t capacity) override {
        return registry_.queryValue(key, name, buffer, capacity);
    }
    long deleteValue(RegHandle, const std::string&) override { return kAccessDenied; }

private:
    static constexpr long kAccessDenied = 5;  // ERROR_ACCESS_DENIED
    RegistryPort& registry_;
};

// A usable file for photo number n: its converted bitmap when that opens,
// else the bitmap rebuilt from the user's source. Nothing when both fail.
std::optional<std::string> photoFile(SettingsStore& store, FilesPort& files, PhotoImport* import,
                                     const std::string& folder, int n) {
    const std::string converted = store.ReadStringOrError(photoValueName(n));
    const std::string source = store.ReadStringOrError(photoRealValueName(n));
    if (files.canOpen(converted)) return converted;
    // A folder slot's bitmap is made from the folder's pictures, never
    // converted from its source as a file.
    if (isFolderSource(source)) return std::nullopt;
    // Without a folder there is nowhere to rebuild into; the preview
    // rebuilds nothing.
    if (folder.empty() || !import) return std::nullopt;
    // A source of no supported type "converts" with nothing written; its
    // picture then stays empty rather than taking another slot's file.
    if (const Conversion made = import->ConvertPicture(source, n, folder, true)) return made.path;
    return std::nullopt;
}

// Folder slots of the list whose bitmap is gone. Only a bitmap stored under
// its own name in the per-user folder is made again: a value edited to
// point elsewhere names no file of ours to write.
std::vector<ShowPictureList::MissingFolderBitmap> missingFolderBitmaps(SettingsStore& store, FilesPort& files,
                                                                       const ShowPictureList& list) {
    std::vector<ShowPictureList::MissingFolderBitmap> missing;
    for (int n = 1; n <= list.photoCount; ++n) {
        const std::string source = store.ReadStringOrError(photoRealValueName(n));
        if (!isFolderSource(source)) continue;
        const std::string bitmap = store.ReadStringOrError(photoValueName(n));
        const std::string own = list.folder + photoFileName(n);
        if (upperPath(bitmap) != upperPath(own) || files.canOpen(bitmap)) continue;
        missing.push_back({n, source, own});
    }
    return missing;
}

}  // namespace

ShowPictureList chooseShowPictures(const Variant& variant, RegistryPort& registry, FilesPort& files,
                                   PhotoImport& import, const std::optional<std::string>& appDataFolder,
                                   int screenWidth, int screenHeight, PictureAccess access) {
    ShowPictureList list;
    ReadOnlyRegistry readOnly(registry);
    const bool show = access == PictureAccess::Show;
    SettingsStore store(show ? registry : readOnly, variant);
    PhotoImport* rebuild = show ? &import : nullptr;
    list.photoCount = store.ReadPhotoNum();
    list.trimming = store.ReadDword(kTrimmingValue, defaultTrimming(screenWidth, screenHeight));
    if (appDataFolder) list.folder = userPictureFolder(*appDataFolder, variant).value_or(std::string());
    if (list.photoCount == 0) return list;
    if (show && !list.folder.empty()) list.missingFolderBitmaps = missingFolderBitmaps(store, files, list);

    int n = 1;
    for (std::size_t i = 0; i < list.paths.size(); ++i, ++n) {
        if (n > list.photoCount) n = 1;
        std::optional<std::string> path = photoFile(store, files, rebuild, list.folder, n);
        if (!path) {
            // Onward to 10, then once more from 1 to 10; the number found
            // stays, so the next picture follows it.
            int found = 0;
            for (int step = 1; step <= 20 && !path; ++step) {
                const int m = step <= 10 - n ? n + step : step - (10 - n);
                if (m > 10) break;
                path = photoFile(store, files, rebuild, list.folder, m);
                if (path) found = m;
            }
            n = path ? found : kMaxPictures;
        }
        if (!path) continue;
        list.paths[i] = *path;
        list.slots[i] = n;
        const std::string source = store.ReadStringOrError(photoRealValueName(n));
        if (isFolderSource(source)) list.folders[i] = source;
    }
    return list;
}

}  // namespace qv
