#include "variant/Variant.h"

namespace qv {

namespace {

constexpr MessageTemplates kMessagesBC{
    .alreadyListed = 139, .confirmRemove = 140, .confirmInitialize = 141, .listFull = 142,
    .unsupportedFile = 143, .pictureTooLarge = 146, .outOfMemory = 147, .cannotDeleteAll = 148,
    .cannotSavePicture = 149, .folderWithoutPictures = 150};
constexpr MessageTemplates kMessagesA{
    .alreadyListed = 140, .confirmRemove = 141, .confirmInitialize = 143, .listFull = 139,
    .unsupportedFile = 142, .pictureTooLarge = 145, .outOfMemory = 147, .cannotDeleteAll = 148,
    .cannotSavePicture = 149, .folderWithoutPictures = 150};

constexpr SettingsDialogIds kDialogB{
    .dialog = 102, .pictureList = 1026, .addButton = 1024, .deleteButton = 1027,
    .initializeButton = 1028, .exchangeButton = 1029, .addFolderButton = 1030, .musicOn = 1001, .musicOff = 1000,
    .enlarge = 1037, .fitScreen = 1038, .icon = 128,
    .progressText = 1040, .progressBar = 1041};
// Variants A and C number the trimming buttons (enlarge, fitScreen) one lower.
constexpr SettingsDialogIds kDialogAC{
    .dialog = 102, .pictureList = 1026, .addButton = 1024, .deleteButton = 1027,
    .initializeButton = 1028, .exchangeButton = 1029, .addFolderButton = 1030, .musicOn = 1001, .musicOff = 1000,
    .enlarge = 1036, .fitScreen = 1037, .icon = 128,
    .progressText = 1040, .progressBar = 1041};

// nofile.bmp lives in the variant C directory and serves all three.
constexpr const char* kPlaceholder = "C:\\WINDOWS\\system32\\QUORvelkcsrc\\nofile.bmp";

const Variant kA{
    .letter = 'A',
    .deliverable = "quorvela",
    .productName = "QUOR VELK-A Screen Saver",
    .windowTitle = "QUOR VELK-A screen saver",
    .dataDir = "C:\\WINDOWS\\system32\\QUORvelkasrc\\",
    .dataDirMixed = "C:\\WINDOWS\\SYSTEM32\\QUORvelkasrc\\",
    .dataDirUpper = "C:\\WINDOWS\\SYSTEM32\\QUORVELKASRC\\",
    .musicFile = "C:\\WINDOWS\\SYSTEM32\\QUORvelkasrc\\Supernova.mp3",
    .lastDrawnLayer = 22,
    .cameraDistance = {253, 206, 204, 230, 260, 253, 253, 206, 213, 206, 254, 202, 202, 206, 202},
    .canvasRule = CanvasRule::FixedBasis,
    .picturesOnDemand = false,
    .cacheStopsAtFirstMatch = false,
    .pictureBufferSize = 1200000,
    .pictureBufferCount = 10,
    .settingsKey = "Software\\Tarn Corporation\\QUOR VELK-A Screen Saver",
    .userFolderSuffix = "\\Tarn Corporation\\QUOR VELK-A Screen Saver\\",
    .placeholderBitmap = kPlaceholder,
    .basePicture = "C:\\WINDOWS\\system32\\QUORvelkasrc\\base.bmp",
    .dialogIds = kDialogAC,
    .messages = kMessagesA};

const Variant kB{
    .letter = 'B',
    .deliverable = "quorvelb",
    .productName = "QUOR VELK-B Screen Saver",
    .windowTitle = "QUOR VELK-B screen saver",
    .dataDir = "C:\\WINDOWS\\system32\\QUORvelkbsrc\\",
    .dataDirMixed = "C:\\WINDOWS\\SYSTEM32\\QUORvelkbsrc\\",
    .dataDirUpper = "C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\",
    .musicFile = "C:\\WINDOWS\\SYSTEM32\\QUORvelkbsrc\\SleepyTime.mp3",
    .lastDrawnLayer = 21,
    .cameraDistance = {251, 206, 202, 230, 251, 251, 251, 206, 206, 206, 251, 202, 202, 206, 202},
    .canvasRule = CanvasRule::ScreenProportioned,
    .picturesOnDemand = false,
    .cacheStopsAtFirstMatch = false,
    .pictureBufferSize = kLargestCanvasBytes,
    .pictureBufferCount = 10,
    .settingsKey = "Software\\Tarn Corporation\\QUOR VELK-B Screen Saver",
    .userFolderSuffix = "\\Tarn Corporation\\QUOR VELK-B Screen Saver\\",
    .placeholderBitmap = kPlaceholder,
    .basePicture = "C:\\WINDOWS\\system32\\QUORvelkbsrc\\base.bmp",
    .dialogIds = kDialogB,
    .messages = kMessagesBC};

const Variant kC{
    .letter = 'C',
    .deliverable = "quorvelc",
    .productName = "QUOR VELK-C Screen Saver",
    .windowTitle = "QUOR VELK-C screen saver",
    .dataDir = "C:\\WINDOWS\\system32\\QUORvelkcsrc\\",
    .dataDirMixed = "C:\\WINDOWS\\SYSTEM32\\QUORvelkcsrc\\",
    .dataDirUpper = "C:\\WINDOWS\\SYSTEM32\\QUORVELKCSRC\\",
    .musicFile = "C:\\WINDOWS\\SYSTEM32\\QUORvelkcsrc\\Interlude3a.mp3",
    .lastDrawnLayer = 21,
    .cameraDistance = {251, 206, 206, 230, 260, 251, 251, 206, 206, 206, 251, 202, 202, 206, 202},
    .canvasRule = CanvasRule::ScreenProportioned,
    .picturesOnDemand = true,
    .cacheStopsAtFirstMatch = true,
    .pictureBufferSize = kLargestCanvasBytes,
    .pictureBufferCount = 0,  // one shared buffer, filled on demand
    .settingsKey = "Software\\Tarn Corporation\\QUOR VELK-C Screen Saver",
    .userFolderSuffix = "\\Tarn Corporation\\QUOR VELK-C Screen Saver\\",
    .placeholderBitmap = kPlaceholder,
    .basePicture = "C:\\WINDOWS\\system32\\QUORvelkcsrc\\base.bmp",
    .dialogIds = kDialogAC,
    .messages = kMessagesBC};

}  // namespace

std::string Variant::normalSceneScript() const { return std::string(dataDir) + "normal\\scenescript.txt"; }
std::string Variant::wideSceneScript() const { return std::string(dataDir) + "wide\\scenescript.txt"; }

std::string Variant::sceneDirectory(bool wide) const {
    return std::string(dataDirMixed) + (wide ? "wide\\" : "normal\\");
}

std::string Variant::defaultStill(int n) const {
    return std::string(dataDir) + "still" + std::to_string(n) + ".jpg";
}

std::string Variant::defaultStillUpper(int n) const {
    return std::string(dataDirUpper) + "STILL" + std::to_string(n) + ".JPG";
}

const Variant& variantA() { return kA; }
const Variant& variantB() { return kB; }
const Variant& variantC() { return kC; }

const Variant* findVariant(char letter) {
    switch (letter) {
        case 'A': case 'a': return &kA;
        case 'B': case 'b': return &kB;
        case 'C': case 'c': return &kC;
        default: return nullptr;
    }
}

}  // namespace qv
