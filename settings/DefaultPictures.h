#pragma once
// The first-run preparation of the user's pictures when a show starts: on a
// user's very first show the per-user picture folder does not exist yet, so
// it is made and filled with the variant's ten default stills, converted to
// screen-sized bitmaps, and the picture list in the registry is set to them.
#include <functional>
#include <optional>
#include <string>

#include "ports/FilesPort.h"
#include "ports/RegistryPort.h"
#include "variant/Variant.h"

namespace qv {

class PhotoImport;

struct DefaultPictures {
    // The per-user picture folder, ending with a backslash; empty when there
    // is no application-data folder to put it in.
    std::string folder;
    // The folder was missing and the default stills were seeded into it.
    bool seeded = false;
    // Default stills that could not be converted while seeding.
    int failedStills = 0;
    // The show must end as soon as it starts: no application-data folder, or
    // a default still that could not be converted.
    bool endShowEarly = false;
};

// appDataFolder: the user's application-data folder, nothing when the shell
// has none. An operation on the list that a killed process left half-done is
// finished first (settings/PendingList). An existing folder, even an empty
// one, counts as prepared.
// Conversions may show their messages through the import's message port.
// endShowEarly (the show's) is called the moment the show must end: at once
// without a folder, or when the first still fails, before the next one is
// converted; the stills after it convert without messages, so the user sees
// one message however many stills are broken. progress, when given, is told
// before each still is converted (still n of 10).
DefaultPictures prepareDefaultPictures(const Variant& variant,
                                   const std::optional<std::string>& appDataFolder, FilesPort& files,
                                   RegistryPort& registry, PhotoImport& import,
                                   const std::function<void()>& endShowEarly = {},
                                   const std::function<void(int, int)>& progress = {});

}  // namespace qv
