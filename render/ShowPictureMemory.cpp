#include "render/ShowPictureMemory.h"

#include <algorithm>
#include <new>

#include "text/Utf8Text.h"
#include "render/PicturePreparation.h"

namespace qv {

namespace {

// Prepared pictures kept for one folder slot of a memory at most: each is a
// canvas and a converted picture in memory.
constexpr std::size_t kFolderPicturesAhead = 3;

}  // namespace

void ShowPictureMemory::preparePictures(FilesPort& files, DecoderPort& decoder, RegistryPort& registry,
                                        const std::optional<std::string>& appDataFolder, int screenWidth,
                                        int screenHeight, PictureAccess access) {
    ahead_.clear();  // waits for what is being made
    maker_.reset();
    newMaker_ = nullptr;
    views_.fill(-1);
    folderPictures_ = {};
    photoCount_ = 0;
    names_ = {};
    paths_ = {};
    sizes_ = {};

    SilentMessages messages;
    PhotoImport import(variant_, files, decoder, messages, screenHeight);
    const ShowPictureList list =
        chooseShowPictures(variant_, registry, files, import, appDataFolder, screenWidth, screenHeight, access);
    photoCount_ = list.photoCount;
    if (photoCount_ == 0) return;

    auto maker = std::make_unique<CanvasMaker>(variant_, files, decoder, screenWidth, screenHeight, list.trimming);
    for (std::size_t i = 0; i < list.paths.size(); ++i) {
        paths_[i] = list.paths[i];
        names_[i] = upperPath(list.paths[i]);
    }
    if (folders_ && access == PictureAccess::Show)
        addFolderViews(list, files, decoder, screenWidth, screenHeight);
    if (variant_.picturesOnDemand) {
        newMaker_ = [this, &files, &decoder, screenWidth, screenHeight, trimming = list.trimming] {
            return std::make_shared<CanvasMaker>(variant_, files, decoder, screenWidth, screenHeight, trimming);
        };
        try {
            shared_.assign(variant_.pictureBufferSize, 0);
        } catch (const std::bad_alloc&) {
            shared_.clear();  // no buffer: every picture comes out empty
        }
        maker_ = std::move(maker);
        return;
    }
    for (std::size_t i = 0; i < list.paths.size(); ++i) {
        try {
            buffers_[i].assign(variant_.pictureBufferSize, 0);
        } catch (const std::bad_alloc&) {
            buffers_[i].clear();
            continue;
        }
        sizes_[i] = maker->makeCanvasImage(paths_[i], buffers_[i].data(), buffers_[i].size());
    }
}

void ShowPictureMemory::addFolderViews(const ShowPictureList& list, FilesPort& files, DecoderPort& decoder,
                                       int screenWidth, int screenHeight) {
    // The worker composes with a maker of its own: a maker keeps its
    // backdrop and is not to be shared between threads.
    std::shared_ptr<CanvasMaker> workerMaker;
    if (!variant_.picturesOnDemand)
        workerMaker = std::make_shared<CanvasMaker>(variant_, files, decoder, screenWidth, screenHeight, list.trimming);
    const std::size_t bufferSize = variant_.pictureBufferSize;
    for (std::size_t i = 0; i < list.paths.size(); ++i) {
        if (list.folders[i].empty() || views_[i] >= 0) continue;
        // One view for every buffer of the slot, taking the slot's pictures
        // in its order; as many prepared ahead as one scene may show at once.
        const auto holds = static_cast<std::size_t>(std::count(list.slots.begin(), list.slots.end(), list.slots[i]));
        folders_->addSlot(list.slots[i], list.folders[i], list.paths[i]);
        FolderSlotPictures::Composer compose;
        if (workerMaker) {
            compose = [workerMaker, bufferSize](const Image& converted, std::vector<unsigned char>& canvas) {
                canvas.assign(bufferSize, 0);
                return workerMaker->composeCanvasImage(converted, canvas.data(), canvas.size());
            };
        }
        const int view = folders_->addView(list.slots[i], std::move(compose), std::min(holds, kFolderPicturesAhead));
        for (std::size_t j = i; j < list.paths.size(); ++j)
            if (list.slots[j] == list.slots[i]) views_[j] = view;
    }
    for (const auto& missing : list.missingFolderBitmaps)
        folders_->healSlot(missing.slot, missing.folder, missing.bitmap);
}

void ShowPictureMemory::nextFolderPicture(int n) {
    if (!folders_ || n < 1 || n > 10) return;
    const auto i = static_cast<std::size_t>(n - 1);
    if (views_[i] < 0) return;
    PreparedPicture next;
    if (!folders_->take(views_[i], next)) return;
    if (variant_.picturesOnDemand) {
        folderPictures_[i] = std::move(next.converted);
        return;
    }
    // A move, not a copy: the old picture's bytes go with next.
    const unsigned char* before = buffers_[i].data();
    buffers_[i].swap(next.canvas);
    sizes_[i] = next.canvasBytes;
    for (const auto& [owner, listener] : replaced_) listener(before);
}

std::size_t ShowPictureMemory::compose(CanvasMaker& maker, const Image* source, const std::string& path,
                                      std::vector<unsigned char>& buffer) {
    std::fill(buffer.begin(), buffer.end(), 0);
    try {
        return source ? maker.composeCanvasImage(*source, buffer.data(), buffer.size())
                      : maker.makeCanvasImage(path, buffer.data(), buffer.size());
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void ShowPictureMemory::composePicture(int n) {
    if (!maker_ || n < 1 || n > 10) return;
    const auto i = static_cast<std::size_t>(n - 1);
    for (const auto& [owner, listener] : replaced_) listener(shared_.data());
    sizes_[i] = compose(*maker_, folderPictures_[i].get(), paths_[i], shared_);
    if (composed_) composed_();
}

PictureImage ShowPictureMemory::composeAhead(const void* owner, int n) {
    if (!maker_ || !newMaker_ || n < 1 || n > 10) return {};
    const auto i = static_cast<std::size_t>(n - 1);
    std::unique_ptr<Ahead>& slot = ahead_[owner];
    if (!slot) slot = std::make_unique<Ahead>();
    Ahead& ahead = *slot;
    ahead.collect(false);
    // One composition at a time: another picture waits for the next look.
    if (ahead.making) return {};
    // Made, or tried, as composing it now would make it: kept.
    if (ahead.picture == n && ahead.source == folderPictures_[i])
        return ahead.held.size != 0 ? PictureImage{ahead.held.bytes.data(), ahead.held.size} : PictureImage{};
    Composed buffer = std::exchange(ahead.held, Composed{});
    ahead.picture = 0;
    ahead.source.reset();
    try {
        if (!ahead.maker) ahead.maker = newMaker_();
        buffer.bytes.resize(variant_.pictureBufferSize);
    } catch (const std::bad_alloc&) {
        return {};  // nothing ahead: the scene composes its picture
    }
    // A folder slot moves on to its next picture now, as the scene would.
    nextFolderPicture(n);
    ahead.picture = n;
    ahead.source = folderPictures_[i];
    // The bytes change: textures made of them are stale.
    for (const auto& [listening, listener] : replaced_) listener(buffer.bytes.data());
    ahead.making = std::make_unique<MadeAside<Composed>>(
        [maker = ahead.maker, source = ahead.source, path = paths_[i], buffer = std::move(buffer)]() mutable {
            buffer.size = compose(*maker, source.get(), path, buffer.bytes);
            return std::move(buffer);
        },
        MadeAside<Composed>::AtEnd::Wait);
    ahead.collect(false);  // made here and now when no thread could be had
    if (ahead.making || ahead.held.size == 0) return {};
    return {ahead.held.bytes.data(), ahead.held.size};
}

bool ShowPictureMemory::aheadUnderWay(const void* owner) const {
    const auto found = ahead_.find(owner);
    return found != ahead_.end() && found->second->making && !found->second->making->ready();
}

bool ShowPictureMemory::takeAhead(const void* owner, int n) {
    if (!maker_ || n < 1 || n > 10) return false;
    const auto found = ahead_.find(owner);
    if (found == ahead_.end() || found->second->picture != n) return false;
    Ahead& ahead = *found->second;
    // Still being made: what is left of it is sooner done than all anew.
    ahead.collect(true);
    const auto i = static_cast<std::size_t>(n - 1);
    // Another monitor's show may have moved the folder on since.
    if (ahead.held.size == 0 || ahead.source != folderPictures_[i]) return false;
    shared_.swap(ahead.held.bytes);
    sizes_[i] = ahead.held.size;
    ahead.held.size = 0;
    ahead.picture = 0;
    ahead.source.reset();
    if (composed_) composed_();
    return true;
}

void ShowPictureMemory::dropAhead(const void* owner) {
    ahead_.erase(owner);  // waits for what is being made
}

const std::string& ShowPictureMemory::pictureName(int n) const {
    if (n < 1 || n > 10) return empty_;
    return names_[static_cast<std::size_t>(n - 1)];
}

PictureImage ShowPictureMemory::pictureImage(int n) {
    if (n < 1 || n > 10) return {};
    const auto i = static_cast<std::size_t>(n - 1);
    if (sizes_[i] == 0) return {};
    const auto& buffer = variant_.picturesOnDemand ? shared_ : buffers_[i];
    return {buffer.data(), sizes_[i]};
}

const std::string& ShowPictureMemory::cachedName(std::size_t index) const {
    return index < cache_.size() ? cache_.entry(index).name : empty_;
}

PictureImage ShowPictureMemory::cachedImage(std::size_t index) {
    if (index >= cache_.size()) return {};
    const auto& bytes = cache_.entry(index).bytes;
    return {bytes.data(), bytes.size()};
}

PictureImage ShowPictureMemory::findPicture(const std::string& name) {
    for (int n = 1; n <= 10; ++n)
        if (pictureName(n) == name) return pictureImage(n);
    const auto matches = cache_.find(name, variant_.cacheStopsAtFirstMatch);
    if (matches.empty()) return {};
    return cachedImage(matches.back());
}

}  // namespace qv
