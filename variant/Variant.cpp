#include "variant/Variant.h"

namespace qv {

namespace {

constexpr MessageTemplates kMessagesBC{139, 140, 141, 142, 143, 146, 147, 148};
constexpr MessageTemplates kMessagesA{140, 141, 143, 139, 142, 145, 147, 148};

constexpr SettingsDialogIds kDialogB{102, 1026, 1024, 1027, 1028, 1029, 1001, 1000, 1037, 1038, 128};
constexpr SettingsDialogIds kDialogAC{102, 1026, 1024, 1027, 1028, 1029, 1001, 1000, 1036, 1037, 128};

// nofile.bmp lives in the variant C directory and serves all three.
constexpr const char* kPlaceholder = "C:\\WINDOWS\\system32\\QUORvelkcsrc\\nofile.bmp";

const Variant kA{
    'A', "quorvela", "QUOR VELK-A Screen Saver", "QUOR VELK-A screen saver",
    "C:\\WINDOWS\\system32\\QUORvelkasrc\\", "C:\\WINDOWS\\SYSTEM32\\QUORvelkasrc\\",
    "C:\\WINDOWS\\SYSTEM32\\QUORVELKASRC\\",
    "C:\\WINDOWS\\SYSTEM32\\QUORvelkasrc\\Supernova.mp3",
    22,
    {253, 206, 204, 230, 260, 253, 253, 206, 213, 206, 254, 202, 202, 206, 202},
    CanvasRule::FixedBasis, false, false, 1200000, 10,
    "Software\\Tarn Corporation\\QUOR VELK-A Screen Saver",
    "\\Tarn Corporation\\QUOR VELK-A Screen Saver\\",
    kPlaceholder, "C:\\WINDOWS\\system32\\QUORvelkasrc\\base.bmp",
    kDialogAC, kMessagesA};

const Variant kB{
    'B', "quorvelb", "QUOR VELK-B Screen Saver", "QUOR VELK-B screen saver",
    "C:\\WINDOWS\\system32\\QUORvelkbsrc\\", "C:\\WINDOWS\\SYSTEM32\\QUORvelkbsrc\\",
    "C:\\WINDOWS\\SYSTEM32\\QUORVELKBSRC\\",
    "C:\\WINDOWS\\SYSTEM32\\QUORvelkbsrc\\SleepyTime.mp3",
    21,
    {251, 206, 202, 230, 251, 251, 251, 206, 206, 206, 251, 202, 202, 206, 202},
    CanvasRule::ScreenProportioned, false, false, kLargestCanvasBytes, 10,
    "Software\\Tarn Corporation\\QUOR VELK-B Screen Saver",
    "\\Tarn Corporation\\QUOR VELK-B Screen Saver\\",
    kPlaceholder, "C:\\WINDOWS\\system32\\QUORvelkbsrc\\base.bmp",
    kDialogB, kMessagesBC};

const Variant kC{
    'C', "quorvelc", "QUOR VELK-C Screen Saver", "QUOR VELK-C screen saver",
    "C:\\WINDOWS\\system32\\QUORvelkcsrc\\", "C:\\WINDOWS\\SYSTEM32\\QUORvelkcsrc\\",
    "C:\\WINDOWS\\SYSTEM32\\QUORVELKCSRC\\",
    "C:\\WINDOWS\\SYSTEM32\\QUORvelkcsrc\\Interlude3a.mp3",
    21,
    {251, 206, 206, 230, 260, 251, 251, 206, 206, 206, 251, 202, 202, 206, 202},
    CanvasRule::ScreenProportioned, true, true, kLargestCanvasBytes, 0,
    "Software\\Tarn Corporation\\QUOR VELK-C Screen Saver",
    "\\Tarn Corporation\\QUOR VELK-C Screen Saver\\",
    kPlaceholder, "C:\\WINDOWS\\system32\\QUORvelkcsrc\\base.bmp",
    kDialogAC, kMessagesBC};

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
