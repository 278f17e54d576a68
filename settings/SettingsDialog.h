#pragma once
// The settings dialog's logic: the user's list of up to ten pictures (Add,
// Delete, Exchange, Initialize, with their thumbnails) and the two switches,
// background music and trimming (the Enlarge / Fit Screen buttons). The
// list is stored as each operation runs; the switches only by OK. The window
// itself is a thin Windows class around this (SettingsDialogWindow_win32).
//
// Whatever fails half-way, the store and the bitmap files are left agreeing:
// slots 1 .. "photo_num" each have photoN = folder + photoN.bmp and
// photoN_real = the chosen picture, and photoN.bmp is either made from that
// picture or missing (the list then shows the placeholder, and the show
// rebuilds it or passes it over). No bitmap is left behind past the list.
// A bitmap that cannot be written or moved leaves the list as it was, with
// MsgCannotSavePicture. Each operation announces the list it will leave
// first (settings/PendingList), so a process ended half-way is finished at
// the next start. Operations are synchronous and touch no thread.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ports/DecoderPort.h"
#include "ports/FilesPort.h"
#include "ports/FolderPort.h"
#include "ports/MessagePort.h"
#include "ports/PictureDecoderPort.h"
#include "ports/PictureListPort.h"
#include "ports/RegistryPort.h"
#include "settings/PhotoImport.h"
#include "settings/SettingsStore.h"
#include "variant/Variant.h"

namespace qv {

// The folder the file selection opened in on older systems, for everyone.
extern const char* const kSharedPicturesFolder;

// What the dialog learns from the system when it is made.
struct DialogSurroundings {
    std::optional<std::string> appDataFolder;  // the user's application-data folder
    std::optional<std::string> picturesFolder; // the user's own Pictures folder
    int screenWidth = 0;
    int screenHeight = 0;
};

class SettingsDialog {
public:
    // Construction only learns where the per-user picture folder is; nothing
    // is read, made or written until OnInitDialog.
    SettingsDialog(const Variant& variant, FilesPort& files, RegistryPort& registry, DecoderPort& decoder,
                   MessagePort& messages, PictureListPort& list, const DialogSurroundings& surroundings);
    SettingsDialog(const SettingsDialog&) = delete;
    SettingsDialog& operator=(const SettingsDialog&) = delete;

    // The platform's picture decoder and folders: Add then takes every
    // format a decoder has, and Add Folder lists folders (seed: the
    // shuffle's). Without them, JPEG and BMP files alone and no folder.
    void useLibrary(FolderPort& folders, PictureDecoderPort& pictures, std::uint64_t seed);

    // readSwitches, then loadPictures.
    void OnInitDialog();
    // The two switches from the store (defaults written where missing):
    // quick, so a window can tick its buttons before it is first painted.
    void readSwitches();
    // A missing picture folder is made and seeded with the ten default
    // stills (messages may appear); then the list is filled from the store:
    // bitmaps that exist are shown as they are, missing ones are made again
    // (a folder slot's from the next picture of its kept order).
    // The long part of opening, which a window may run off its own thread.
    void loadPictures();

    void OnMusicOn() { backgroundMusic_ = 1; }
    void OnMusicOff() { backgroundMusic_ = 0; }
    void OnEnlarge() { trimming_ = 1; }
    void OnFitScreen() { trimming_ = 0; }

    // selected: the list item selected when the button was pressed (-1: none).
    void OnAdd();
    // A folder for the next free slot: its pictures are listed (subfolders
    // too), the first of a shuffled order converted to photoN.bmp and the
    // order written to photoN.library; a folder with no picture that
    // converts is not added (MsgFolderWithoutPictures).
    void OnAddFolder();
    void OnDelete(int selected);
    void OnExchange(int selected);
    void OnInitialize();
    // Stores the two switches; the window then closes.
    void OnOK();

    // Thumbnail of the picture at path as list item index, the item named
    // after source (the slot's chosen picture); on failure shows
    // MsgUnsupportedFile and returns false.
    bool AddThumbnail(int index, const std::string& path, const std::string& source);
    // As AddThumbnail, but a picture that cannot be shown gets the drawn
    // card, so item i is always slot i + 1.
    void showSlot(int index, const std::string& path, const std::string& source);

    int pictureCount() const { return pictureCount_; }
    int backgroundMusic() const { return backgroundMusic_; }
    int trimming() const { return trimming_; }
    // False without an application-data folder: the list stays empty and
    // nothing may be added, since there is nowhere to put a bitmap.
    bool hasPictureFolder() const { return !pictureFolder_.empty(); }
    const std::string& pictureFolder() const { return pictureFolder_; }
    // The folder the next file selection opens in.
    std::string initialFolder();
    // The extensions Add takes beside JPEG and BMP (empty without useLibrary).
    const PictureExtensions& pictureExtensions() const { return import_.extensions(); }

    // The chosen picture of each listed slot, for the duplicate check.
    std::array<std::string, kMaxPictures> ListedSources{};

private:
    // Add and Add Folder: false when there is no picture folder, or (after
    // MsgListFull) when the list is full.
    bool roomForOneMore();
    // The list filled from the store without making any bitmap that exists.
    void fillPictureList();
    // A slot's bitmap made from its picture: its path, or nothing (and then
    // no bitmap of that slot is left either).
    // quiet: convert without messages (a save already failed in this run).
    std::optional<std::string> remakeBitmap(const std::string& source, int n, bool& quiet);
    // Keeps photoN pointing at the slot's own bitmap.
    void repairBitmapValue(int n, const std::string& current);
    std::optional<std::string> pick();
    // The listed sources, slot 1 first.
    std::vector<std::string> listedSources() const;
    // The list an operation leaves, announced before its first change.
    void announce(const std::vector<std::string>& sources, std::vector<int> remake);
    void settle();  // the operation is through
    // Puts back the list from before after a failure half-way.
    void putBack(const std::vector<std::string>& before, std::vector<int> remake);
    // Every bitmap that Delete of slot would move or remove can be.
    bool bitmapsCanMove(int slot, int count);
    // Add's and Add Folder's work from the picked source on.
    void appendSlot(const std::string& source);
    // Add's work once announced: false when nothing was added.
    bool addSlot(int n, const std::string& source);
    bool storeAddedSlot(int n, const std::string& source);
    void moveBitmapsDown(int slot, int count);
    // The slot's library file goes unless the slot holds a folder.
    void dropLibraryUnlessFolder(int n, const std::string& source);
    void refillPictureList();
    bool alreadyListed(const std::string& path);
    // The 76 x 57 thumbnail of a picture; for the placeholder bitmap a drawn
    // card when the bitmap cannot be read.
    bool makeThumbnail(const std::string& path, Image& thumbnail, bool placeholder);
    // A folder slot's thumbnail carries the folder mark.
    bool insertThumbnail(int index, Image& thumbnail, const std::string& source);
    std::string bitmapPath(int n) const { return pictureFolder_ + photoFileName(n); }
    std::string libraryPath(int n) const;
    void arrow() { messages_.restoreArrowCursor(); }

    const Variant& variant_;
    FilesPort& files_;
    DecoderPort& decoder_;
    MessagePort& messages_;
    PictureListPort& list_;
    RegistryPort& registry_;
    PhotoImport import_;
    SettingsStore store_;
    DialogSurroundings surroundings_;

    std::string lastPickedFolder_;
    std::string pictureFolder_;
    int pictureCount_ = 0;
    int backgroundMusic_ = 1;
    int trimming_ = 0;
    bool thumbnailsReady_ = false;
};

}  // namespace qv
