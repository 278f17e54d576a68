#include "settings/SettingsStore.h"

#include <algorithm>

#include "settings/PendingList.h"
#include "settings/PhotoImport.h"

namespace qv {

const char* const kPhotoNumValue = "photo_num";
const char* const kBackgroundMusicValue = "background music";
const char* const kTrimmingValue = "trimming";

std::string photoValueName(int n) { return "photo" + std::to_string(n); }
std::string photoRealValueName(int n) { return "photo" + std::to_string(n) + "_real"; }
std::string photoFileName(int n) { return "photo" + std::to_string(n) + ".bmp"; }

int defaultTrimming(int screenWidth, int screenHeight) {
    if (screenWidth <= 0 || screenHeight <= 0) return 0;
    const double ratio = static_cast<double>(screenHeight) / static_cast<double>(screenWidth);
    return ratio > 0.5 && ratio < 0.75 ? 1 : 0;
}

std::optional<std::string> userPictureFolder(const std::string& appDataFolder, const Variant& variant) {
    if (appDataFolder.empty()) return std::nullopt;
    std::string folder = appDataFolder;
    // The suffix brings its own leading backslash.
    if (folder.back() == '\\' || folder.back() == '/') folder.pop_back();
    return folder + variant.userFolderSuffix;
}

SettingsStore::SettingsStore(RegistryPort& registry, const Variant& variant)
    : RegistryKey(registry), variant_(variant) {
    Open(variant.settingsKey);
}

SettingsStore::~SettingsStore() { Close(); }

long SettingsStore::WriteDword(const std::string& name, std::uint32_t value) { return SetDword(name, value); }

long SettingsStore::WriteString(const std::string& name, const std::string& text) { return SetString(name, text); }

int SettingsStore::ReadDword(const std::string& name, int defaultValue) {
    std::uint32_t value = 0;
    if (QueryDword(name, value) == kRegSuccess) return static_cast<int>(value);
    SetDword(name, static_cast<std::uint32_t>(defaultValue));
    return defaultValue;
}

std::string SettingsStore::ReadString(const std::string& name, const std::string& defaultValue) {
    std::string text;
    if (QueryString(name, text) == kRegSuccess) return text;
    SetString(name, defaultValue);
    return defaultValue;
}

std::string SettingsStore::ReadStringOrError(const std::string& name) {
    std::string text;
    if (QueryString(name, text) == kRegSuccess) return text;
    return "error";
}

long SettingsStore::DeleteValue(const std::string& name) { return deleteValue(name); }

int SettingsStore::ReadPhotoNum() {
    // The count indexes ten fixed slots: a hand-edited value must not reach past them.
    return std::clamp(ReadDword(kPhotoNumValue, 0), 0, kMaxPictures);
}

bool SettingsStore::RemovePicture(const std::string& slotName, const std::string& folder, int count, int slot) {
    if (slot < 1 || slot > count) return false;
    if (DeleteValue(slotName) != kRegSuccess) return false;
    if (DeleteValue(slotName + "_real") != kRegSuccess) return false;
    SetDword(kPhotoNumValue, static_cast<std::uint32_t>(count - 1));
    for (int i = slot; i <= count - 1; ++i) {
        // Every bitmap is named after its slot, so the path is made anew, and
        // the chosen picture moves down from the next slot.
        SetString(photoValueName(i), folder + photoFileName(i));
        std::string chosen;
        if (QueryString(photoRealValueName(i + 1), chosen) != kRegSuccess) chosen = "no data";
        SetString(photoRealValueName(i), chosen);
    }
    DeleteValue(photoValueName(count));
    DeleteValue(photoRealValueName(count));
    return true;
}

int SettingsStore::SeedDefaultPictures(const std::string& folder, FilesPort& files, PhotoImport& import,
                                       const std::function<void()>& firstFailure,
                                       const std::function<void(int, int)>& progress) {
    // Announced before the folder exists: a start that finds the folder but
    // not the ten slots (the process was ended meanwhile) finishes them.
    PendingList stills;
    for (int n = 1; n <= kMaxPictures; ++n) {
        stills.sources.push_back(variant_.defaultStill(n));
        stills.remake.push_back(n);
    }
    writePendingList(*this, stills);
    files.makeDirectories(folder);
    WriteDword(kPhotoNumValue, kMaxPictures);
    int failed = 0;
    for (int n = 1; n <= kMaxPictures; ++n) {
        if (progress) progress(n, kMaxPictures);
        const std::string still = variant_.defaultStill(n);
        // Once the show has ended, a message of a later still would only be
        // closed unseen by the show's end: those convert silently.
        const bool silent = failed > 0 && firstFailure;
        if (import.ConvertPicture(still, n, folder, silent)) {
            WriteString(photoValueName(n), folder + photoFileName(n));
            WriteString(photoRealValueName(n), still);
        } else if (++failed == 1 && firstFailure) {
            firstFailure();
        }
    }
    forgetPendingList(*this);
    return failed;
}

}  // namespace qv
