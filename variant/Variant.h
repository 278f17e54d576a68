#pragma once
// Everything that tells the three screen savers apart. Each program picks its
// record when it is built; the core takes the record as a parameter, so one
// test binary covers all three variants.
#include <array>
#include <cstddef>
#include <string>

namespace qv {

// How a user's photo becomes a converted bitmap and a canvas.
enum class CanvasRule {
    FixedBasis,          // variant A: 480 high or 800 wide; 640 x 480 or 800 x 480 canvas
    ScreenProportioned,  // variants B and C: from 0.64 x the screen size
};

// Template numbers of the message dialogs.
struct MessageTemplates {
    int alreadyListed;
    int confirmRemove;
    int confirmInitialize;
    int listFull;
    int unsupportedFile;
    int pictureTooLarge;
    int outOfMemory;
    int cannotDeleteAll;
    int cannotSavePicture;  // ours: a bitmap that could not be written
    int folderWithoutPictures;  // ours: a folder with nothing to show
};

// Control identifiers of the settings dialog.
struct SettingsDialogIds {
    int dialog;        // template of the dialog itself
    int pictureList;   // list view
    int addButton;
    int deleteButton;
    int initializeButton;
    int exchangeButton;
    int addFolderButton;  // ours: a folder for a slot
    int musicOn;
    int musicOff;
    int enlarge;
    int fitScreen;
    int icon;
    int progressText;  // the line an operation shows its progress in
    int progressBar;
};

struct Variant {
    char letter;                  // 'A', 'B' or 'C'
    const char* deliverable;      // "quorvelb"
    const char* productName;      // mutex name, dialog captions, registry key, folder
    const char* windowTitle;      // title of the show window

    // The variant data directory in the spellings the program uses.
    const char* dataDir;          // C:\WINDOWS\system32\QUORvelkbsrc\  (scripts, stills, cache)
    const char* dataDirMixed;     // C:\WINDOWS\SYSTEM32\QUORvelkbsrc\  (resolved picture names, scene dir)
    const char* dataDirUpper;     // C:\WINDOWS\SYSTEM32\QUORVELKBSRC\  (default still names in memory)

    const char* musicFile;        // full path of the music file
    int lastDrawnLayer;           // records 1..lastDrawnLayer are drawn each frame
    std::array<int, 15> cameraDistance;  // by screen layout code 0..14

    CanvasRule canvasRule;
    bool picturesOnDemand;        // variant C composes a picture when a layer asks for it
    bool cacheStopsAtFirstMatch;  // variant C takes the first matching cached bitmap
    std::size_t pictureBufferSize;   // one picture buffer (and the scratch buffer), bytes
    int pictureBufferCount;       // buffers filled at show start (0: one shared buffer)

    const char* settingsKey;      // under HKEY_CURRENT_USER
    const char* userFolderSuffix; // appended to the application-data folder
    const char* placeholderBitmap;  // shown for a slot without a bitmap
    const char* basePicture;      // the backdrop, as the scene engine names it

    SettingsDialogIds dialogIds;
    MessageTemplates messages;

    // Derived paths.
    std::string normalSceneScript() const;  // dataDir + "normal\scenescript.txt"
    std::string wideSceneScript() const;
    std::string sceneDirectory(bool wide) const;  // dataDirMixed + "normal\" or "wide\"
    std::string defaultStill(int n) const;        // dataDir + "still<n>.jpg", n = 1..10
    std::string defaultStillUpper(int n) const;   // dataDirUpper + "STILL<n>.JPG"
    std::string musicPath() const { return musicFile; }
};

const Variant& variantA();
const Variant& variantB();
const Variant& variantC();

// 'A', 'B', 'C' in either case; nullptr for anything else.
const Variant* findVariant(char letter);

// The largest canvas (1560 x 936 at 24 bits) with its 54 header bytes.
constexpr std::size_t kLargestCanvasBytes = 54 + 936u * (1560u * 3u);

}  // namespace qv
