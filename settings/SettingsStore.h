#pragma once
// The settings of one variant in the current user's registry: the picture
// list ("photo_num", photoN, photoN_real), "background music" and
// "trimming". Reads write their default back when the value is missing.
#include <functional>
#include <optional>
#include <string>

#include "ports/FilesPort.h"
#include "settings/RegistryKey.h"
#include "variant/Variant.h"

namespace qv {

class PhotoImport;

constexpr int kMaxPictures = 10;
extern const char* const kPhotoNumValue;        // "photo_num"
extern const char* const kBackgroundMusicValue; // "background music"
extern const char* const kTrimmingValue;        // "trimming"

std::string photoValueName(int n);      // "photo3"
std::string photoRealValueName(int n);  // "photo3_real"
std::string photoFileName(int n);       // "photo3.bmp"

// 1 ("Enlarge") when 0.5 < height / width < 0.75, both bounds exclusive; else 0.
int defaultTrimming(int screenWidth, int screenHeight);

// The application-data folder followed by the variant's folder text, ending
// with a backslash; nullopt when there is no application-data folder, so
// nobody goes on with an undefined path.
std::optional<std::string> userPictureFolder(const std::string& appDataFolder, const Variant& variant);

class SettingsStore : public RegistryKey {
public:
    SettingsStore(RegistryPort& registry, const Variant& variant);
    ~SettingsStore() override;

    long WriteDword(const std::string& name, std::uint32_t value);
    long WriteString(const std::string& name, const std::string& text);
    // On a failed read the default is written back and returned.
    int ReadDword(const std::string& name, int defaultValue);
    std::string ReadString(const std::string& name, const std::string& defaultValue);
    // "error" when the read fails; nothing is written.
    std::string ReadStringOrError(const std::string& name);
    long DeleteValue(const std::string& name);

    // "photo_num" (default 0) held to 0..10, whatever the registry holds.
    int ReadPhotoNum();

    // Removes slot `slot` (1-based; slotName is "photo" + slot) of `count`
    // and moves the later slots down by one. Stops at the first deletion that
    // fails, and refuses a slot outside 1..count; false then.
    bool RemovePicture(const std::string& slotName, const std::string& folder, int count, int slot);

    // First-run filling: makes the folder, writes "photo_num" = 10, then
    // converts default still N into slot N for N = 1..10, writing photoN and
    // photoN_real for each still that converted. Returns how many failed.
    // firstFailure (the show's early end) is called when the first still
    // fails; the stills after it still convert, without messages. progress
    // is told before each still (n of 10).
    int SeedDefaultPictures(const std::string& folder, FilesPort& files, PhotoImport& import,
                            const std::function<void()>& firstFailure = {},
                            const std::function<void(int, int)>& progress = {});

private:
    const Variant& variant_;
};

}  // namespace qv
