#include "settings/PendingList.h"

#include <cstdlib>

#include "library/LibraryFile.h"
#include "settings/PhotoImport.h"
#include "settings/SettingsStore.h"

namespace qv {

const char* const kPendingListValue = "pending list";

namespace {

// Ten paths of at most 259 characters, three bytes each in UTF-8, and the
// line of slot numbers.
constexpr std::size_t kPendingListBytes = 10 * 3 * 260 + 64;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        out.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return out;
        start = end + 1;
    }
}

}  // namespace

std::string encodePendingList(const PendingList& list) {
    std::string text;
    for (std::size_t i = 0; i < list.remake.size(); ++i)
        text += (i == 0 ? "" : " ") + std::to_string(list.remake[i]);
    for (const std::string& source : list.sources) text += "\n" + source;
    return text;
}

std::optional<PendingList> decodePendingList(const std::string& text) {
    const std::vector<std::string> all = lines(text);
    PendingList list;
    list.sources.assign(all.begin() + 1, all.end());
    // No operation leaves an empty list or a slot without a picture: such a
    // value is not ours, and acting on it would wipe the user's list.
    if (list.sources.empty() || list.sources.size() > static_cast<std::size_t>(kMaxPictures)) return std::nullopt;
    for (const std::string& source : list.sources)
        if (source.empty()) return std::nullopt;
    const char* p = all[0].c_str();
    while (*p != '\0') {
        char* end = nullptr;
        const long slot = std::strtol(p, &end, 10);
        if (end == p) return std::nullopt;
        // A slot outside the list would name a bitmap nobody owns.
        if (slot < 1 || slot > static_cast<long>(list.sources.size())) return std::nullopt;
        list.remake.push_back(static_cast<int>(slot));
        p = end;
    }
    return list;
}

long writePendingList(SettingsStore& store, const PendingList& list) {
    return store.WriteString(kPendingListValue, encodePendingList(list));
}

std::optional<PendingList> readPendingList(SettingsStore& store) {
    std::string text;
    if (store.QueryLongString(kPendingListValue, text, kPendingListBytes) != kRegSuccess) return std::nullopt;
    return decodePendingList(text);
}

void forgetPendingList(SettingsStore& store) { store.DeleteValue(kPendingListValue); }

void finishPendingList(SettingsStore& store, const PendingList& list, FilesPort& files, PhotoImport& import,
                       const std::string& folder) {
    const int count = static_cast<int>(list.sources.size());
    files.makeDirectories(folder);
    for (int n = 1; n <= count; ++n) {
        store.WriteString(photoValueName(n), folder + photoFileName(n));
        store.WriteString(photoRealValueName(n), list.sources[n - 1]);
    }
    const auto drop = [&](const std::string& path) {
        if (files.canOpen(path)) files.remove(path);
    };
    for (int n = count + 1; n <= kMaxPictures; ++n) {
        store.DeleteValue(photoValueName(n));
        store.DeleteValue(photoRealValueName(n));
        drop(folder + photoFileName(n));
        drop(folder + libraryFileName(n));
    }
    store.WriteDword(kPhotoNumValue, static_cast<std::uint32_t>(count));
    for (const int n : list.remake) {
        if (n < 1 || n > count) continue;
        // The bitmap there may be another slot's, and a library file
        // another folder's: made anew (a folder's both), or none.
        const std::string& source = list.sources[n - 1];
        if (!isFolderSource(source)) drop(folder + libraryFileName(n));
        if (import.ConvertPicture(source, n, folder, true).written()) continue;
        drop(folder + photoFileName(n));
        drop(folder + libraryFileName(n));
    }
    forgetPendingList(store);
}

bool finishInterruptedOperation(SettingsStore& store, FilesPort& files, PhotoImport& import,
                                const std::string& folder) {
    std::string text;
    if (store.QueryLongString(kPendingListValue, text, kPendingListBytes) != kRegSuccess) return false;
    if (const std::optional<PendingList> list = decodePendingList(text))
        finishPendingList(store, *list, files, import, folder);
    else
        forgetPendingList(store);  // not ours to make sense of
    return true;
}

}  // namespace qv
