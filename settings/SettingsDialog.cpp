#include "settings/SettingsDialog.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "image/JpegPicture.h"
#include "image/PictureType.h"
#include "image/Resampler.h"
#include "library/LibraryFile.h"
#include "settings/DefaultPictures.h"
#include "settings/FolderMark.h"
#include "settings/PendingList.h"

namespace qv {

const char* const kSharedPicturesFolder = "C:\\Documents and Settings\\All Users\\Documents\\My Pictures";

namespace {

// Drawn when even the placeholder bitmap cannot be read (it lives in variant
// C's data directory, which a user of A or B alone does not have): a grey
// card with a frame and a cross, never white, which would be transparent.
Image drawnPlaceholder(ThumbnailSize size) {
    Image card;
    card.width = size.width;
    card.height = size.height;
    card.bgr.assign(std::size_t(card.width) * card.height * 3, 0xE4);
    for (int y = 0; y < card.height; ++y)
        for (int x = 0; x < card.width; ++x) {
            const bool frame = x == 0 || y == 0 || x == card.width - 1 || y == card.height - 1;
            // The two diagonals of the card, a pixel wide.
            const int across = x * (card.height - 1);
            const bool cross = std::abs(across - y * (card.width - 1)) < card.width ||
                               std::abs(across - (card.height - 1 - y) * (card.width - 1)) < card.width;
            if (frame || cross) {
                unsigned char* p = card.row(y) + 3 * std::size_t(x);
                p[0] = p[1] = p[2] = 0xA0;
            }
        }
    return card;
}

}  // namespace

SettingsDialog::SettingsDialog(const Variant& variant, FilesPort& files, RegistryPort& registry,
                               DecoderPort& decoder, MessagePort& messages, PictureListPort& list,
                               const DialogSurroundings& surroundings)
    : variant_(variant),
      files_(files),
      decoder_(decoder),
      messages_(messages),
      list_(list),
      registry_(registry),
      import_(variant, files, decoder, messages, surroundings.screenHeight),
      store_(registry, variant),
      surroundings_(surroundings) {
    // Without an application-data folder there is no picture folder: the
    // list stays empty and nothing is made anywhere.
    if (surroundings_.appDataFolder)
        pictureFolder_ = userPictureFolder(*surroundings_.appDataFolder, variant_).value_or(std::string());
}

void SettingsDialog::useLibrary(FolderPort& folders, PictureDecoderPort& pictures, std::uint64_t seed) {
    import_.setPictureDecoder(&pictures);
    import_.setFolderPort(&folders, seed);
}

std::string SettingsDialog::libraryPath(int n) const { return pictureFolder_ + libraryFileName(n); }

void SettingsDialog::dropLibraryUnlessFolder(int n, const std::string& source) {
    if (!isFolderSource(source) && files_.canOpen(libraryPath(n))) files_.remove(libraryPath(n));
}

void SettingsDialog::OnInitDialog() {
    readSwitches();
    loadPictures();
}

void SettingsDialog::readSwitches() {
    backgroundMusic_ = store_.ReadDword(kBackgroundMusicValue, 1) != 0 ? 1 : 0;
    trimming_ = store_.ReadDword(kTrimmingValue,
                                 defaultTrimming(surroundings_.screenWidth, surroundings_.screenHeight)) != 0
                    ? 1
                    : 0;
}

void SettingsDialog::loadPictures() {
    if (!hasPictureFolder()) return;
    list_.showWaitCursor();
    const DefaultPictures prepared = prepareDefaultPictures(
        variant_, surroundings_.appDataFolder, files_, registry_, import_, {},
        [this](int n, int total) { list_.showProgress(n, total); });
    pictureFolder_ = prepared.folder;
    pictureCount_ = store_.ReadPhotoNum();
    thumbnailsReady_ = list_.createThumbnailList();
    if (thumbnailsReady_) fillPictureList();
    arrow();
}

void SettingsDialog::fillPictureList() {
    for (int i = 1; i <= pictureCount_; ++i) {
        std::string display = store_.ReadString(photoValueName(i), "default");
        const std::string source = store_.ReadString(photoRealValueName(i), "default");
        ListedSources[i - 1] = source;
        if (!files_.canOpen(display)) {
            list_.showProgress(i, pictureCount_);
            // A folder slot goes on with its kept order rather than a new one.
            const Conversion made = isFolderSource(source)
                                        ? import_.RebuildFolderBitmap(source, i, pictureFolder_, false)
                                        : import_.ConvertPicture(source, i, pictureFolder_, false);
            if (made.written()) {
                repairBitmapValue(i, display);
                display = made.path;
            } else {
                display = variant_.placeholderBitmap;
            }
        }
        showSlot(i - 1, display, source);
    }
}

void SettingsDialog::refillPictureList() {
    list_.deleteAllItems();
    ListedSources.fill(std::string());
    fillPictureList();
}

std::optional<std::string> SettingsDialog::remakeBitmap(const std::string& source, int n, bool& quiet) {
    const Conversion made = import_.ConvertPicture(source, n, pictureFolder_, quiet);
    if (made.written()) return made.path;
    if (made.outcome == Conversion::Outcome::CannotSave) {
        // The bitmap there is this very picture's from before: it stays.
        // One message is enough; the slots after it are not told again.
        quiet = true;
        if (files_.canOpen(bitmapPath(n))) return bitmapPath(n);
        return std::nullopt;
    }
    // Whatever the slot's bitmap showed before, it is not this picture.
    // Only our own file goes, never one a hand-edited value points at.
    if (files_.canOpen(bitmapPath(n))) files_.remove(bitmapPath(n));
    return std::nullopt;
}

void SettingsDialog::repairBitmapValue(int n, const std::string& current) {
    if (current != bitmapPath(n)) store_.WriteString(photoValueName(n), bitmapPath(n));
}

bool SettingsDialog::makeThumbnail(const std::string& path, Image& thumbnail, bool placeholder) {
    Image picture;
    try {
        switch (pictureTypeOf(path)) {
            case PictureType::Bmp: {
                if (decoder_.decodeBmp(path, picture) != DecodeError::None || picture.empty() ||
                    picture.bgr.size() != std::size_t(picture.width) * std::size_t(picture.height) * 3u)
                    picture = Image();
                break;
            }
            case PictureType::Jpeg: {
                // Turned upright as the conversion turns it.
                MessageKind ignored;
                if (!loadJpeg(files_, decoder_, path, JpegPurpose::Convert, picture, ignored)) picture = Image();
                break;
            }
            case PictureType::Unsupported:
                break;
        }
        const ThumbnailSize size = list_.thumbnailSize();
        if (!picture.empty() && resamplePicture(picture, thumbnail, size.width, size.height))
            return true;
    } catch (const std::bad_alloc&) {
    }
    if (!placeholder) return false;
    thumbnail = drawnPlaceholder(list_.thumbnailSize());
    return true;
}

bool SettingsDialog::insertThumbnail(int index, Image& thumbnail, const std::string& source) {
    if (isFolderSource(source)) drawFolderMark(thumbnail);
    return list_.insertItem(index, thumbnail, source);
}

bool SettingsDialog::AddThumbnail(int index, const std::string& path, const std::string& source) {
    Image thumbnail;
    if (!makeThumbnail(path, thumbnail, path == variant_.placeholderBitmap)) {
        arrow();
        messages_.showMessage(MessageKind::MsgUnsupportedFile);
        return false;
    }
    return insertThumbnail(index, thumbnail, source);
}

void SettingsDialog::showSlot(int index, const std::string& path, const std::string& source) {
    if (AddThumbnail(index, path, source)) return;
    Image card = drawnPlaceholder(list_.thumbnailSize());
    insertThumbnail(index, card, source);
}

std::string SettingsDialog::initialFolder() {
    if (!lastPickedFolder_.empty()) return lastPickedFolder_;
    // A folder always finds its own "." entry.
    if (!files_.find(std::string(kSharedPicturesFolder) + "\\*.*").empty()) return kSharedPicturesFolder;
    return surroundings_.picturesFolder.value_or(std::string());
}

std::optional<std::string> SettingsDialog::pick() {
    std::optional<std::string> picked = list_.choosePicture(initialFolder());
    if (!picked || picked->empty()) return std::nullopt;
    const std::size_t slash = picked->find_last_of('\\');
    // "C:\x.jpg" was picked in "C:\", not in "C:" (the drive's current folder).
    if (slash != std::string::npos && slash > 0)
        lastPickedFolder_ = picked->substr(0, (*picked)[slash - 1] == ':' ? slash + 1 : slash);
    return picked;
}

bool SettingsDialog::alreadyListed(const std::string& path) {
    // Exact bytes: a path that differs only in letter case is another entry.
    for (int i = 0; i < pictureCount_ && i < kMaxPictures; ++i)
        if (ListedSources[i] == path) {
            import_.releaseValidated();
            arrow();
            messages_.showMessage(MessageKind::MsgAlreadyListed);
            return true;
        }
    return false;
}

std::vector<std::string> SettingsDialog::listedSources() const {
    return std::vector<std::string>(ListedSources.begin(), ListedSources.begin() + pictureCount_);
}

void SettingsDialog::announce(const std::vector<std::string>& sources, std::vector<int> remake) {
    writePendingList(store_, PendingList{sources, std::move(remake)});
}

void SettingsDialog::settle() { forgetPendingList(store_); }

void SettingsDialog::putBack(const std::vector<std::string>& before, std::vector<int> remake) {
    // Announced again with the old list, so that a process ended while
    // putting back is put back at its next start.
    // Slots past the old list have no picture to remake: their bitmaps go.
    remake.erase(std::remove_if(remake.begin(), remake.end(),
                                [&](int n) { return n > static_cast<int>(before.size()); }),
                 remake.end());
    const PendingList old{before, std::move(remake)};
    writePendingList(store_, old);
    finishPendingList(store_, old, files_, import_, pictureFolder_);
}

bool SettingsDialog::roomForOneMore() {
    if (!hasPictureFolder()) return false;
    if (pictureCount_ >= kMaxPictures) {
        arrow();
        messages_.showMessage(MessageKind::MsgListFull);
        return false;
    }
    return true;
}

void SettingsDialog::OnAdd() {
    if (!roomForOneMore()) return;
    const std::optional<std::string> picked = pick();
    if (!picked) return;
    list_.showWaitCursor();
    if (!import_.ValidatePicture(*picked)) return;
    appendSlot(*picked);
}

void SettingsDialog::OnAddFolder() {
    if (!roomForOneMore()) return;
    const std::optional<std::string> picked = list_.chooseFolder(initialFolder());
    if (!picked || picked->empty()) return;
    std::string folder = *picked;
    if (folder.back() != '\\') folder += '\\';
    // The next selection opens in the folder picked ("C:\" keeps its backslash).
    lastPickedFolder_ = folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder;
    list_.showWaitCursor();
    appendSlot(folder);
}

void SettingsDialog::appendSlot(const std::string& source) {
    if (alreadyListed(source)) return;
    const int n = pictureCount_ + 1;
    files_.makeDirectories(pictureFolder_);  // the folder may have been removed meanwhile
    std::vector<std::string> after = listedSources();
    after.push_back(source);
    announce(after, {n});
    const bool added = addSlot(n, source);
    settle();
    if (added) {
        ListedSources[pictureCount_] = source;
        pictureCount_ = n;
        list_.revealItem(n - 1);
    }
    arrow();
}

bool SettingsDialog::addSlot(int n, const std::string& source) {
    const std::string bitmap = bitmapPath(n);
    // Files left from an earlier, longer list must not stand for this source.
    dropLibraryUnlessFolder(n, source);
    list_.showProgress(1, 1);
    Conversion made = import_.ConvertPicture(source, n, pictureFolder_, false);
    // A source that could not be converted or saved is not added (the
    // conversion said why): the check read only its header.
    if (!made.written()) {
        if (files_.canOpen(bitmap)) files_.remove(bitmap);
        if (files_.canOpen(libraryPath(n))) files_.remove(libraryPath(n));
        return false;
    }
    const auto dropFiles = [&] {
        files_.remove(bitmap);  // nothing is stored, so no file is kept either
        if (files_.canOpen(libraryPath(n))) files_.remove(libraryPath(n));
    };

    // The thumbnail comes from the converted pixels: the picture is decoded once.
    Image thumbnail;
    const ThumbnailSize size = list_.thumbnailSize();
    bool thumbnailMade = false;
    try {
        thumbnailMade = resamplePicture(made.picture, thumbnail, size.width, size.height);
    } catch (const std::bad_alloc&) {
    }
    made.picture = Image();
    if (!thumbnailMade) {
        arrow();
        messages_.showMessage(MessageKind::MsgUnsupportedFile);
        dropFiles();
        return false;
    }
    if (!insertThumbnail(pictureCount_, thumbnail, source)) {
        dropFiles();
        return false;
    }
    if (!storeAddedSlot(n, source)) {
        dropFiles();
        refillPictureList();
        return false;
    }
    return true;
}

bool SettingsDialog::storeAddedSlot(int n, const std::string& source) {
    // In this order: the bitmap's path, the count, the chosen picture. Even
    // when the conversion failed photoN names the slot's own bitmap, which
    // the show then tries to make again. A write that fails takes back the
    // ones before it.
    if (store_.WriteString(photoValueName(n), bitmapPath(n)) != kRegSuccess) return false;
    if (store_.WriteDword(kPhotoNumValue, static_cast<std::uint32_t>(n)) != kRegSuccess) {
        store_.DeleteValue(photoValueName(n));
        return false;
    }
    if (store_.WriteString(photoRealValueName(n), source) != kRegSuccess) {
        store_.WriteDword(kPhotoNumValue, static_cast<std::uint32_t>(n - 1));
        store_.DeleteValue(photoValueName(n));
        return false;
    }
    return true;
}

void SettingsDialog::OnExchange(int selected) {
    if (!hasPictureFolder()) return;
    if (selected < 0 || selected >= pictureCount_) return;
    const std::optional<std::string> picked = pick();
    if (!picked || pictureCount_ == 0) return;
    list_.showWaitCursor();
    const std::string exchangePath = *picked;
    if (!import_.ValidatePicture(exchangePath)) return;
    if (alreadyListed(exchangePath)) return;

    const int n = selected + 1;
    std::vector<std::string> after = listedSources();
    after[selected] = exchangePath;
    announce(after, {n});
    // A conversion that fails (it says why) leaves the slot's bitmap as it
    // was, so nothing changes at all.
    list_.showProgress(1, 1);
    const Conversion made = import_.ConvertPicture(exchangePath, n, pictureFolder_, false);
    if (!made.written()) {
        settle();
        arrow();
        return;
    }
    store_.WriteString(photoValueName(n), made.path);
    // Should the store still name the old picture, its bitmap is made again
    // from it, so the two agree.
    if (store_.WriteString(photoRealValueName(n), exchangePath) != kRegSuccess) {
        bool quiet = false;
        remakeBitmap(store_.ReadString(photoRealValueName(n), "default"), n, quiet);
    }
    // A folder slot that holds a picture now has no order to keep.
    dropLibraryUnlessFolder(n, store_.ReadString(photoRealValueName(n), "default"));
    settle();
    // Only this slot changed: the others keep the bitmaps they have, which
    // makes an Exchange as quick as one conversion.
    refillPictureList();
    list_.revealItem(selected);
    arrow();
}

bool SettingsDialog::bitmapsCanMove(int slot, int count) {
    for (int m = slot; m <= count; ++m)
        if (!files_.canRemove(bitmapPath(m)) || !files_.canRemove(libraryPath(m))) return false;
    return true;
}

void SettingsDialog::OnDelete(int selected) {
    if (!hasPictureFolder() || pictureCount_ <= 0) return;
    if (pictureCount_ == 1) {
        arrow();
        messages_.showMessage(MessageKind::MsgCannotDeleteAll);
        return;
    }
    if (selected < 0 || selected >= pictureCount_) return;
    arrow();
    if (messages_.showMessage(MessageKind::MsgConfirmRemove) != kMsgFirstButton) return;
    list_.showWaitCursor();

    const int slot = selected + 1;
    const int count = pictureCount_;
    // A bitmap that is read-only or held open by another program would stay
    // where the store no longer has its picture: checked before anything moves.
    if (!bitmapsCanMove(slot, count)) {
        arrow();
        messages_.showMessage(MessageKind::MsgCannotSavePicture);
        return;
    }
    std::vector<std::string> after = listedSources();
    after.erase(after.begin() + selected);
    std::vector<int> moved;
    for (int m = slot; m <= count - 1; ++m) moved.push_back(m);
    announce(after, moved);
    if (!store_.RemovePicture(photoValueName(slot), pictureFolder_, count, slot)) {
        // Nothing moved. Only the slot's first value may be gone: put it back.
        std::string kept;
        if (store_.QueryString(photoValueName(slot), kept) != kRegSuccess)
            store_.WriteString(photoValueName(slot), bitmapPath(slot));
        settle();
        arrow();
        return;
    }
    moveBitmapsDown(slot, count);
    settle();

    pictureCount_ = count - 1;
    refillPictureList();
    arrow();
}

void SettingsDialog::moveBitmapsDown(int slot, int count) {
    // The bitmaps move down as the store's slots did. A bitmap that cannot
    // be moved is made again from the picture the store now names for its
    // slot; failing that, the slot keeps no bitmap at all (placeholder)
    // rather than another picture's. Every slot is seen to, whatever fails.
    // A folder slot's library file moves with its bitmap.
    files_.remove(bitmapPath(slot));
    if (files_.canOpen(libraryPath(slot))) files_.remove(libraryPath(slot));
    for (int m = slot; m <= count - 1; ++m) {
        const std::string source = store_.ReadStringOrError(photoRealValueName(m));
        const bool libraryMoved =
            !files_.canOpen(libraryPath(m + 1)) || files_.rename(libraryPath(m + 1), libraryPath(m));
        if (libraryMoved && files_.rename(bitmapPath(m + 1), bitmapPath(m))) continue;
        const bool reachable = isFolderSource(source) || files_.canOpen(source);
        if (reachable && import_.ConvertPicture(source, m, pictureFolder_, false).written()) continue;
        files_.remove(bitmapPath(m));
        if (files_.canOpen(libraryPath(m))) files_.remove(libraryPath(m));
    }
    // Nothing stays past the shorter list (a failed last move leaves it).
    files_.remove(bitmapPath(count));
    if (files_.canOpen(libraryPath(count))) files_.remove(libraryPath(count));
}

void SettingsDialog::OnInitialize() {
    if (!hasPictureFolder()) return;
    arrow();
    if (messages_.showMessage(MessageKind::MsgConfirmInitialize) != kMsgFirstButton) return;
    list_.showWaitCursor();
    files_.makeDirectories(pictureFolder_);
    const std::vector<std::string> before = listedSources();
    std::vector<std::string> stills;
    std::vector<int> all;
    for (int n = 1; n <= kMaxPictures; ++n) {
        stills.push_back(variant_.defaultStill(n));
        all.push_back(n);
    }
    announce(stills, all);
    // The stills are made before the store names them, so that a bitmap
    // that cannot be saved leaves the list from before.
    for (int n = 1; n <= kMaxPictures; ++n) {
        list_.showProgress(n, kMaxPictures);
        const Conversion made = import_.ConvertPicture(stills[n - 1], n, pictureFolder_, false);
        if (made.outcome == Conversion::Outcome::CannotSave) {
            // Slot n kept its bitmap (a write is whole or nothing); the
            // ones before it hold stills now.
            std::vector<int> touched(all.begin(), all.begin() + (n - 1));
            putBack(before, touched);
            arrow();
            return;
        }
        // A still that cannot be made keeps no bitmap of the earlier list.
        if (!made.written() && files_.canOpen(bitmapPath(n))) files_.remove(bitmapPath(n));
    }
    store_.WriteDword(kPhotoNumValue, kMaxPictures);
    for (int n = 1; n <= kMaxPictures; ++n) store_.WriteString(photoValueName(n), bitmapPath(n));
    for (int n = 1; n <= kMaxPictures; ++n) store_.WriteString(photoRealValueName(n), stills[n - 1]);
    for (int n = 1; n <= kMaxPictures; ++n) dropLibraryUnlessFolder(n, stills[n - 1]);
    settle();
    pictureCount_ = kMaxPictures;
    refillPictureList();
    arrow();
}

void SettingsDialog::OnOK() {
    store_.WriteDword(kBackgroundMusicValue, static_cast<std::uint32_t>(backgroundMusic_));
    store_.WriteDword(kTrimmingValue, static_cast<std::uint32_t>(trimming_));
}

}  // namespace qv
