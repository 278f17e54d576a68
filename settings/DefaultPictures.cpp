#include "settings/DefaultPictures.h"

#include "settings/PendingList.h"
#include "settings/PhotoImport.h"
#include "settings/SettingsStore.h"

namespace qv {

DefaultPictures prepareDefaultPictures(const Variant& variant,
                                   const std::optional<std::string>& appDataFolder, FilesPort& files,
                                   RegistryPort& registry, PhotoImport& import,
                                   const std::function<void()>& endShowEarly,
                                   const std::function<void(int, int)>& progress) {
    DefaultPictures result;
    // Without an application-data folder there is no folder path at all:
    // nothing may be made or written, and the show cannot run.
    const std::optional<std::string> folder =
        appDataFolder ? userPictureFolder(*appDataFolder, variant) : std::nullopt;
    if (!folder) {
        result.endShowEarly = true;
        if (endShowEarly) endShowEarly();
        return result;
    }
    result.folder = *folder;

    // An operation on the list that was cut short (the process was ended)
    // is finished before anyone reads the list.
    {
        SettingsStore store(registry, variant);
        finishInterruptedOperation(store, files, import, *folder);
    }

    // A folder always finds at least its own "." entry.
    if (!files.find(*folder + "*.*").empty()) return result;

    {
        SettingsStore store(registry, variant);
        result.failedStills = store.SeedDefaultPictures(*folder, files, import, endShowEarly, progress);
    }
    result.seeded = true;
    result.endShowEarly = result.failedStills > 0;
    return result;
}

}  // namespace qv
