#include "settings/SettingsDialog.h"

#include <cstdlib>
#include <new>

#include "image/JpegPicture.h"
#include "image/PictureType.h"
#include "image/Resampler.h"
#include "settings/DefaultPictures.h"

namespace qv {

const char* const kSharedPicturesFolder = "C:\\Documents and Settings\\All Users\\Documents\\My Pictures";

namespace {

// Drawn when even the placeholder bitmap cannot be read (it lives in variant
// C's data directory, which a user of A or B alone does not have): a grey
// card with a frame and a cross, never white, which would be transparent.
Image drawnPlaceholder() {
    Image card;
    card.width = kThumbnailWidth;
    card.height = kThumbnailHeight;
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
      import_(variant, files, decoder, messages, surroundings.screenHeight),
      store_(registry, variant),
      surroundings_(surroundings) {
    // Without an application-data folder there is no picture folder: the
    // list stays empty and nothing is made anywhere.
    if (!surroundings_.appDataFolder) return;
    list_.showWaitCursor();
    const DefaultPictures prepared =
        prepareDefaultPictures(variant_, surroundings_.appDataFolder, files_, registry, import_);
    pictureFolder_ = prepared.folder;
    if (prepared.seeded) pictureCount_ = kMaxPictures;
    arrow();
}

void SettingsDialog::OnInitDialog() {
    backgroundMusic_ = store_.ReadDword(kBackgroundMusicValue, 1) != 0 ? 1 : 0;
    trimming_ = store_.ReadDword(kTrimmingValue,
                                 defaultTrimming(surroundings_.screenWidth, surroundings_.screenHeight)) != 0
                    ? 1
                    : 0;
    if (!hasPictureFolder()) return;
    pictureCount_ = store_.ReadPhotoNum();
    thumbnailsReady_ = list_.createThumbnailList();
    if (!thumbnailsReady_) return;
    fillPictureList();
}

void SettingsDialog::fillPictureList() {
    bool showing = true;
    for (int i = 1; i <= pictureCount_; ++i) {
        std::string display = store_.ReadString(photoValueName(i), "default");
        const std::string source = store_.ReadString(photoRealValueName(i), "default");
        // Slots past a thumbnail that failed are not shown, but still listed
        // for the duplicate check.
        ListedSources[i - 1] = source;
        if (!showing) continue;
        if (!files_.canOpen(display)) {
            std::string made;
            if (import_.ConvertPicture(source, i, pictureFolder_, false, &made) && !made.empty()) {
                repairBitmapValue(i, display);
                display = made;
            } else {
                display = variant_.placeholderBitmap;
            }
        }
        showing = AddThumbnail(i - 1, display);
    }
}

std::optional<std::string> SettingsDialog::remakeBitmap(const std::string& source, int n) {
    std::string made;
    if (import_.ConvertPicture(source, n, pictureFolder_, false, &made) && !made.empty()) return made;
    // Whatever the slot's bitmap showed before, it is not this picture.
    // Only our own file goes, never one a hand-edited value points at.
    if (files_.canOpen(bitmapPath(n))) files_.remove(bitmapPath(n));
    return std::nullopt;
}

void SettingsDialog::repairBitmapValue(int n, const std::string& current) {
    if (current != bitmapPath(n)) store_.WriteString(photoValueName(n), bitmapPath(n));
}

void SettingsDialog::ReloadPictureList() {
    ListedSources.fill(std::string());
    list_.deleteAllItems();
    if (pictureCount_ <= 0) return;
    bool showing = thumbnailsReady_;
    for (int i = 1; i <= pictureCount_; ++i) {
        std::string display = store_.ReadString(photoValueName(i), "default");
        const std::string source = store_.ReadString(photoRealValueName(i), "default");
        ListedSources[i - 1] = source;
        if (const auto made = remakeBitmap(source, i)) {
            repairBitmapValue(i, display);
            display = *made;
        } else {
            display = variant_.placeholderBitmap;
        }
        // A thumbnail that cannot be made ends the list on screen, but every
        // later slot's bitmap is still made from its own picture.
        if (showing && !AddThumbnail(i - 1, display)) showing = false;
    }
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
        if (!picture.empty() && resamplePicture(picture, thumbnail, kThumbnailWidth, kThumbnailHeight))
            return true;
    } catch (const std::bad_alloc&) {
    }
    if (!placeholder) return false;
    thumbnail = drawnPlaceholder();
    return true;
}

bool SettingsDialog::AddThumbnail(int index, const std::string& path) {
    Image thumbnail;
    if (!makeThumbnail(path, thumbnail, path == variant_.placeholderBitmap)) {
        arrow();
        messages_.showMessage(MessageKind::MsgUnsupportedFile);
        return false;
    }
    return list_.insertItem(index, thumbnail);
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
            arrow();
            messages_.showMessage(MessageKind::MsgAlreadyListed);
            return true;
        }
    return false;
}

void SettingsDialog::OnAdd() {
    if (!hasPictureFolder()) return;
    if (pictureCount_ >= kMaxPictures) {
        arrow();
        messages_.showMessage(MessageKind::MsgListFull);
        return;
    }
    const std::optional<std::string> picked = pick();
    if (!picked) return;
    list_.showWaitCursor();
    addPath_ = *picked;
    if (!import_.ValidatePicture(addPath_)) return;
    if (alreadyListed(addPath_)) return;

    const int n = pictureCount_ + 1;
    const std::string bitmap = bitmapPath(n);
    files_.makeDirectories(pictureFolder_);  // the folder may have been removed meanwhile
    std::string made;
    const bool converted = import_.ConvertPicture(addPath_, n, pictureFolder_, false, &made) && !made.empty();
    // A bitmap left from an earlier, longer list must not stand for this picture.
    if (!converted && files_.canOpen(bitmap)) files_.remove(bitmap);

    Image thumbnail;
    const bool placeholder = !converted;
    if (!makeThumbnail(converted ? made : std::string(variant_.placeholderBitmap), thumbnail, placeholder)) {
        arrow();
        messages_.showMessage(MessageKind::MsgUnsupportedFile);
        files_.remove(bitmap);  // nothing is stored, so no bitmap is kept either
        return;
    }
    if (!list_.insertItem(pictureCount_, thumbnail)) {
        if (converted) files_.remove(bitmap);
        arrow();
        return;
    }

    // In this order: the bitmap's path, the count, the chosen picture. Even
    // when the conversion failed photoN names the slot's own bitmap, which
    // the show then tries to make again. A write that fails takes back the
    // ones before it.
    const bool stored = [&] {
        if (store_.WriteString(photoValueName(n), bitmap) != kRegSuccess) return false;
        if (store_.WriteDword(kPhotoNumValue, static_cast<std::uint32_t>(n)) != kRegSuccess) {
            store_.DeleteValue(photoValueName(n));
            return false;
        }
        if (store_.WriteString(photoRealValueName(n), addPath_) != kRegSuccess) {
            store_.WriteDword(kPhotoNumValue, static_cast<std::uint32_t>(n - 1));
            store_.DeleteValue(photoValueName(n));
            return false;
        }
        return true;
    }();
    if (!stored) {
        files_.remove(bitmap);
        list_.deleteAllItems();
        ListedSources.fill(std::string());
        fillPictureList();
        arrow();
        return;
    }
    ListedSources[pictureCount_] = addPath_;
    pictureCount_ = n;
    list_.revealItem(n - 1);
    arrow();
}

void SettingsDialog::OnExchange(int selected) {
    if (!hasPictureFolder()) return;
    if (selected < 0 || selected >= pictureCount_) return;
    const std::optional<std::string> picked = pick();
    if (!picked || pictureCount_ == 0) return;
    list_.showWaitCursor();
    exchangePath_ = *picked;
    if (!import_.ValidatePicture(exchangePath_)) return;
    if (alreadyListed(exchangePath_)) return;

    const int n = selected + 1;
    std::string made;
    // A failed conversion leaves the slot's bitmap as it was, so nothing
    // changes at all.
    if (!import_.ConvertPicture(exchangePath_, n, pictureFolder_, false, &made) || made.empty()) {
        arrow();
        return;
    }
    store_.WriteString(photoValueName(n), made);
    store_.WriteString(photoRealValueName(n), exchangePath_);
    // Every slot is made again from its picture, this one too: should the
    // second write have failed, the bitmap goes back to the stored picture.
    ReloadPictureList();
    list_.revealItem(selected);
    arrow();
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
    if (!store_.RemovePicture(photoValueName(slot), pictureFolder_, count, slot)) {
        // Nothing moved. Only the slot's first value may be gone: put it back.
        std::string kept;
        if (store_.QueryString(photoValueName(slot), kept) != kRegSuccess)
            store_.WriteString(photoValueName(slot), bitmapPath(slot));
        arrow();
        return;
    }

    // The bitmaps move down as the store's slots did. A bitmap that cannot
    // be moved is made again from the picture the store now names for its
    // slot; failing that, the slot keeps no bitmap at all (placeholder)
    // rather than another picture's. Every slot is seen to, whatever fails.
    files_.remove(bitmapPath(slot));
    for (int m = slot; m <= count - 1; ++m) {
        if (files_.rename(bitmapPath(m + 1), bitmapPath(m))) continue;
        const std::string source = store_.ReadStringOrError(photoRealValueName(m));
        std::string made;
        if (files_.canOpen(source) && import_.ConvertPicture(source, m, pictureFolder_, false, &made) &&
            !made.empty())
            continue;
        files_.remove(bitmapPath(m));
    }
    // Nothing stays past the shorter list (a failed last move leaves it).
    files_.remove(bitmapPath(count));

    list_.deleteAllItems();
    ListedSources.fill(std::string());
    pictureCount_ = count - 1;
    fillPictureList();
    arrow();
}

void SettingsDialog::OnInitialize() {
    if (!hasPictureFolder()) return;
    arrow();
    if (messages_.showMessage(MessageKind::MsgConfirmInitialize) != kMsgFirstButton) return;
    list_.showWaitCursor();
    files_.makeDirectories(pictureFolder_);
    pictureCount_ = kMaxPictures;
    store_.WriteDword(kPhotoNumValue, kMaxPictures);
    for (int n = 1; n <= kMaxPictures; ++n) store_.WriteString(photoValueName(n), bitmapPath(n));
    for (int n = 1; n <= kMaxPictures; ++n) store_.WriteString(photoRealValueName(n), variant_.defaultStill(n));
    // The rebuild makes each still's bitmap, once, and drops the bitmap of
    // any still that cannot be made, so no earlier picture stays behind.
    ReloadPictureList();
    arrow();
}

void SettingsDialog::OnOK() {
    store_.WriteDword(kBackgroundMusicValue, static_cast<std::uint32_t>(backgroundMusic_));
    store_.WriteDword(kTrimmingValue, static_cast<std::uint32_t>(trimming_));
}

}  // namespace qv
