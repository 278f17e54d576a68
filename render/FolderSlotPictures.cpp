#include "render/FolderSlotPictures.h"

#include <algorithm>
#include <new>
#include <utility>

#include "image/BmpFile.h"
#include "library/FolderListing.h"

namespace qv {

bool isFolderSource(const std::string& source) { return !source.empty() && source.back() == '\\'; }

FolderSlotPictures::FolderSlotPictures(const Variant& variant, FilesPort& files, FolderPort& folders,
                                       PictureDecoderPort& decoder, RandomSource& random, std::string userFolder,
                                       int screenHeight)
    : variant_(variant),
      files_(files),
      folders_(folders),
      decoder_(decoder),
      random_(random),
      userFolder_(std::move(userFolder)),
      screenHeight_(screenHeight) {}

void FolderSlotPictures::addSlot(int slot, const std::string& folder, const std::string& bitmap) {
    if (slot < 1 || slot > 10 || !isFolderSource(folder) || findSlot(slot)) return;
    Slot made;
    made.number = slot;
    made.folder = folder;
    made.bitmap = bitmap;
    slots_.push_back(std::move(made));
}

void FolderSlotPictures::healSlot(int slot, const std::string& folder, const std::string& bitmap) {
    if (slot < 1 || slot > 10 || !isFolderSource(folder) || findSlot(slot)) return;
    addSlot(slot, folder, bitmap);
    slots_.back().heal = true;
}

bool FolderSlotPictures::hasSlot(int slot) const {
    return std::any_of(slots_.begin(), slots_.end(), [slot](const Slot& s) { return s.number == slot; });
}

FolderSlotPictures::Slot* FolderSlotPictures::findSlot(int number) {
    for (Slot& slot : slots_)
        if (slot.number == number) return &slot;
    return nullptr;
}

int FolderSlotPictures::addView(int slot, Composer compose, std::size_t ahead) {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].number != slot) continue;
        View view;
        view.slot = i;
        view.compose = std::move(compose);
        view.ahead = std::max<std::size_t>(ahead, 1);
        views_.push_back(std::move(view));
        return static_cast<int>(views_.size()) - 1;
    }
    return -1;
}

bool FolderSlotPictures::take(int view, PreparedPicture& out) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (view < 0 || static_cast<std::size_t>(view) >= views_.size()) return false;
        View& taken = views_[static_cast<std::size_t>(view)];
        if (taken.ready.empty()) return false;
        out = std::move(taken.ready.front().first);
        Slot& slot = slots_[taken.slot];
        slot.shown = out.converted;
        slot.shownName = out.name;
        slot.shownRound = taken.ready.front().second;
        taken.ready.pop_front();
    }
    wake_.notify_one();
    return true;
}

FolderSlotPictures::View* FolderSlotPictures::waitingView() {
    for (View& view : views_) {
        const Slot& slot = slots_[view.slot];
        const FolderOrder& order = slot.pictures.order();
        if (view.ready.size() >= view.ahead || slot.dry || order.empty()) continue;
        // A new round waits until every picture of this one was taken, so
        // the order kept at the end never passes over one not shown.
        if (order.position() >= order.round().size() && roundPending(view.slot)) continue;
        return &view;
    }
    return nullptr;
}

bool FolderSlotPictures::roundPending(std::size_t slot) const {
    return std::any_of(views_.begin(), views_.end(),
                       [slot](const View& view) { return view.slot == slot && !view.ready.empty(); });
}

bool FolderSlotPictures::step() {
    // The library files first: with them the first pictures need no listing.
    for (Slot& slot : slots_) {
        if (!slot.restored) {
            restore(slot);
            return true;
        }
    }
    View* view = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        view = waitingView();
    }
    if (view) {
        Slot& slot = slots_[view->slot];
        if (!prepare(slot, *view)) slot.dry = true;
        return true;
    }
    // A bitmap to make again before the listings, which may take long.
    for (Slot& slot : slots_) {
        if (slot.heal && !slot.healTried) {
            heal(slot);
            return true;
        }
    }
    for (Slot& slot : slots_) {
        if (!slot.listed) {
            list(slot);
            return true;
        }
    }
    return false;
}

void FolderSlotPictures::run() {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_) return;
        }
        if (step()) continue;
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || waitingView() != nullptr; });
    }
}

void FolderSlotPictures::stop() {
    stopFlag_.store(true);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
}

void FolderSlotPictures::restore(Slot& slot) {
    slot.restored = true;
    LibraryState state;
    if (!readLibraryFile(files_, userFolder_, slot.number, slot.folder, state)) return;
    if (!restoreOrder(state, slot.pictures.order())) return;
    slot.restoredPosition = slot.pictures.order().position();
    slot.restoredCurrent = slot.pictures.order().current();
}

const PictureExtensions& FolderSlotPictures::pictureExtensions() {
    if (!extensionsRead_) {
        extensionsRead_ = true;
        extensions_ = PictureExtensions::fromDecoderLists(decoder_.decoderExtensions());
        if (extensions_.empty()) extensions_ = PictureExtensions::basic();
    }
    return extensions_;
}

void FolderSlotPictures::list(Slot& slot) {
    slot.listed = true;
    const PictureExtensions& extensions = pictureExtensions();
    if (moments_) moments_("listing", slot.number, slot.folder);
    try {
        const FolderListing listing = listFolder(folders_, slot.folder, extensions);
        if (moments_) moments_("listed", slot.number, std::to_string(listing.pictures.size()));
        // A folder out of reach keeps the order its library file had.
        if (!listing.reachable) return;
        slot.pictures.takeListing(listing.pictures, random_);
        slot.listedCount = listing.pictures.size();
        slot.dry = false;
    } catch (const std::bad_alloc&) {
        // Too large a listing for the memory left: the slot goes on with
        // what it had.
    }
}

void FolderSlotPictures::heal(Slot& slot) {
    slot.healTried = true;
    const PictureLoadRequest request{&variant_, screenHeight_, true};
    Image converted;
    const auto usable = [&](const std::string& name) {
        if (moments_) moments_("preparing", slot.number, name);
        try {
            return loadConvertedPicture(files_, decoder_, slot.folder + name, request, converted) ==
                   PictureLoad::Loaded;
        } catch (const std::bad_alloc&) {
            return false;
        }
    };
    try {
        if (pickFolderPicture(folders_, pictureExtensions(), slot.folder, slot.pictures, slot.listed, random_,
                              usable) != FolderPick::Found)
            return;
        slot.round = roundOf(slot);
        // Written whole, as at the end of a show: a failed write leaves no
        // bitmap, and then no library file names a picture as on screen.
        const std::vector<unsigned char> bytes = encodeBmp24(converted);
        if (bytes.empty() || !files_.writeAll(slot.bitmap, bytes.data(), bytes.size())) return;
        slot.healedWith = std::make_shared<const Image>(std::move(converted));
    } catch (const std::bad_alloc&) {
        return;
    }
    {
        // The slot's picture from now on, as if the show had shown it: the
        // end of the show writes the order on from it.
        std::lock_guard<std::mutex> lock(mutex_);
        slot.shown = slot.healedWith;
        slot.shownName = slot.pictures.order().current();
        slot.shownRound = slot.round;
    }
    writeLibraryFile(files_, userFolder_, slot.number, endState(slot, true));
    if (moments_) moments_("healed", slot.number, slot.shownName);
}

bool FolderSlotPictures::prepare(Slot& slot, View& view) {
    PreparedPicture made;
    const PictureLoadRequest request{&variant_, screenHeight_, true, &stopFlag_};
    const auto usable = [&](const std::string& name) {
        if (moments_) moments_("preparing", slot.number, name);
        try {
            Image converted;
            if (loadConvertedPicture(files_, decoder_, slot.folder + name, request, converted) != PictureLoad::Loaded)
                return false;
            if (view.compose) {
                made.canvasBytes = view.compose(converted, made.canvas);
                if (made.canvasBytes == 0) return false;
            }
            made.converted = std::make_shared<const Image>(std::move(converted));
            made.name = name;
            if (moments_) moments_("prepared", slot.number, name);
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    };
    const auto stopped = [this] { return stopFlag_.load(); };
    const bool found = slot.pictures.next(random_, usable, stopped).has_value();
    // Counted even when nothing was found: the draw may have begun a round.
    slot.round = roundOf(slot);
    if (!found) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    view.ready.emplace_back(std::move(made), slot.round);
    return true;
}

int FolderSlotPictures::roundOf(const Slot& slot) {
    return static_cast<int>(slot.pictures.order().roundsBegun());
}

namespace {

// How far the round has come when name is the picture on screen: just past
// it; fallback when it has left the round.
std::size_t positionAfter(const std::vector<std::string>& round, const std::string& name, std::size_t fallback) {
    const auto found = std::find(round.begin(), round.end(), name);
    if (found == round.end()) return std::min(fallback, round.size());
    return static_cast<std::size_t>(found - round.begin()) + 1;
}

}  // namespace

LibraryState FolderSlotPictures::endState(const Slot& slot, bool shownWritten) const {
    // The worker has drawn ahead of the screen: what it prepared and nobody
    // took is still to be shown, so the position is the one just past the
    // picture on screen.
    LibraryState state = libraryStateOf(slot.folder, slot.pictures.order());
    const std::size_t drawn = state.position;
    if (shownWritten) {
        state.current = slot.shownName;
        state.position = slot.shownRound == slot.round ? positionAfter(state.round, slot.shownName, drawn) : 0;
        // The worker had begun the next round, which is kept from its start:
        // it must not open with the picture on screen.
        if (state.position == 0 && state.round.size() > 1 && state.round.front() == slot.shownName)
            std::swap(state.round.front(), state.round.back());
    } else {
        state.current = slot.restoredCurrent;
        state.position = slot.round == 0 && slot.restoredPosition != 0
                             ? positionAfter(state.round, slot.restoredCurrent, slot.restoredPosition)
                             : 0;
    }
    return state;
}

bool FolderSlotPictures::writeAtEnd() {
    bool whole = true;
    for (const Slot& slot : slots_) {
        std::shared_ptr<const Image> shown;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            shown = slot.shown;
        }
        // A slot whose bitmap could not be made again leaves its files be.
        if (slot.heal && !shown) continue;
        bool written = false;
        if (shown && shown == slot.healedWith) {
            written = true;  // on disk since the worker made it
        } else if (shown) {
            const std::vector<unsigned char> bytes = encodeBmp24(*shown);
            written = !bytes.empty() && files_.writeAll(slot.bitmap, bytes.data(), bytes.size());
            whole = whole && written;
        }
        // Nothing known of the folder: its library file stays as it is.
        if (slot.pictures.order().empty()) continue;
        whole = writeLibraryFile(files_, userFolder_, slot.number, endState(slot, written)) && whole;
    }
    return whole;
}

std::size_t FolderSlotPictures::listedCount(int slot) const {
    for (const Slot& s : slots_)
        if (s.number == slot) return s.listedCount;
    return 0;
}

const FolderOrder* FolderSlotPictures::order(int slot) const {
    for (const Slot& s : slots_)
        if (s.number == slot) return &s.pictures.order();
    return nullptr;
}

}  // namespace qv
