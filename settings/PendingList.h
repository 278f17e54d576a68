#pragma once
// Crash safety of the picture list. Before an operation changes anything it
// writes the list it is going to leave (the "pending list" registry value):
// the sources of its slots and which slots get a new bitmap. It deletes the
// value when it is through. A start that finds the value (the process was
// ended half-way) finishes the operation from it: every step of that is
// idempotent, so a finish that is itself cut short is simply done again.
// An operation that fails half-way is put back the same way, with the list
// from before as the pending list.
#include <optional>
#include <string>
#include <vector>

#include "ports/FilesPort.h"

namespace qv {

class PhotoImport;
class SettingsStore;

extern const char* const kPendingListValue;  // "pending list"

struct PendingList {
    std::vector<std::string> sources;  // slot N's picture is sources[N - 1]; at most 10
    std::vector<int> remake;           // slots whose bitmap is made anew (1-based)
};

// One line of slot numbers, then one line per source (paths hold no line breaks).
std::string encodePendingList(const PendingList& list);
std::optional<PendingList> decodePendingList(const std::string& text);

long writePendingList(SettingsStore& store, const PendingList& list);
std::optional<PendingList> readPendingList(SettingsStore& store);
void forgetPendingList(SettingsStore& store);

// Makes the store and the bitmaps what list says, then forgets it: every
// slot's values, "photo_num", the values and bitmaps past the list removed,
// the slots to remake converted (silently; one that cannot be made keeps no
// bitmap, which the list shows as the placeholder). A folder slot's library
// file is made with its bitmap; one left on a slot that is no folder's, or
// past the list, is removed.
void finishPendingList(SettingsStore& store, const PendingList& list, FilesPort& files, PhotoImport& import,
                       const std::string& folder);

// At a start: finishes an operation that was cut short; false when none was.
bool finishInterruptedOperation(SettingsStore& store, FilesPort& files, PhotoImport& import,
                                const std::string& folder);

}  // namespace qv
