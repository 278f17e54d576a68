#pragma once
// The scene engine: the table of 30 layers, the reader on the current scene
// script and the scene clock's next due time. The show window drives it:
// startShow once, advanceScenes when the scene timer fires, stepLayers on
// every 50 ms tick. The renderer draws layers() through its FrameDrawer,
// which skips frames that would look the same; drawLayers draws them
// straight away, for tests and tools.
#include <array>
#include <deque>
#include <string>
#include <vector>

#include "ports/DrawingPort.h"
#include "ports/FilesPort.h"
#include "scene/PhotosOnScreens.h"
#include "scene/PictureChoice.h"
#include "scene/PictureMemory.h"
#include "scene/SceneLayer.h"
#include "scene/ScriptReader.h"
#include "variant/Variant.h"

namespace qv {

// The device's generic failure code (E_FAIL).
constexpr long kGenericFailure = -2147467259L;

constexpr int kLayerCount = 30;

// What the engine needs to know of the screen: the size of the monitor the
// show plays on (camera orientation, field of view, choice of scripts; the
// primary screen's for the primary's show and the preview) and the show
// window's client size (aspect of the projection).
struct ScreenFacts {
    int screenWidth = 1024;
    int screenHeight = 768;
    int clientWidth = 1024;
    int clientHeight = 768;
    // A preview plays the screen's scripts in a window of its own shape: the
    // camera is turned and opened for the window, not for the screen.
    bool cameraForClient = false;
    // The slot the placeholder rotation starts on (see PictureChoice): 0 on
    // the primary monitor, another on each monitor beside it.
    int rotationStart = 0;
};

class SceneEngine {
public:
    // screens: the photos on the screens of the shows on the other monitors,
    // which this show joins for its life and keeps its placeholders apart
    // from (see PictureChoice); none for a show on one monitor. It outlives
    // the engine.
    SceneEngine(const Variant& variant, FilesPort& files, DrawingPort& device,
                PictureMemory& memory, const ScreenFacts& screen, PhotosOnScreens* screens = nullptr);
    virtual ~SceneEngine();
    SceneEngine(const SceneEngine&) = delete;
    SceneEngine& operator=(const SceneEngine&) = delete;

    // Camera, scene script and every scene due at time 0. 0 on success, a
    // failing transform's result, or kGenericFailure when the scene script
    // cannot be opened.
    long startShow(int screenLayoutCode);

    // Builds every scene due at sceneTime (seconds, single precision, 0.01 s
    // early counts) and follows hand-overs, which set sceneTime to 0.
    // Returns the next scene time in milliseconds (0: none due any more).
    int advanceScenes(double& sceneTime);

    // One tick for every in-use layer 1-29.
    void stepLayers();

    // Draws the started layers 1 up to the variant's last drawn layer.
    void drawLayers();

    // Applies a layer file: places the layers its set blocks name.
    void buildScene(const std::string& layerFile, float sceneX, float sceneY, int effect);

    // The images the layers of the scenes built at the next scene time (and
    // up to half a second after it) will take their textures from, as far
    // as they can be known before: every header due then, in this script
    // and in those it hands over to then (a random hand-over further on is drawn now and kept for the
    // show). Reads the scripts and layer files with readers of its own and
    // changes nothing else of the show, but that a shared-buffer variant
    // composes the first user's picture foreseen into its buffer ahead.
    std::vector<PictureImage> foreseeNextScene();

    int nextSceneTime() const { return nextSceneTime_; }
    const std::string& currentSceneDirectory() const { return sceneDirectory_; }
    int screenLayoutCode() const { return screenLayoutCode_; }
    int distance() const { return distance_; }
    float fov() const { return fov_; }
    std::array<SceneLayer, kLayerCount>& layers() { return layers_; }
    const std::array<SceneLayer, kLayerCount>& layers() const { return layers_; }
    ScriptReader& sceneReader() { return reader_; }
    PictureChoice& pictureChoice() { return pictures_; }

    // The scene script the screen's shape selects.
    std::string sceneScriptPath() const;

private:
    long setUpCamera();
    // Moves the reader onto a chained scene script; false when the name is
    // refused or the script cannot be opened.
    bool moveToScript(bool resetValues);
    void buildCurrentHeader();
    void endScript();
    // Reads the show's next scene header; a random hand-over takes the pick
    // the look-ahead drew for it.
    bool readNextHeader(bool& ranIntoEnd);
    // Reads the set blocks of a layer file as a scene applies them and hands
    // each block's layer number and resolved source to visit; layer2Wait
    // takes a wait given before set.
    // Sources are resolved in directory.
    template <typename Visit>
    void readBlocks(const std::string& layerFile, int effect, const std::string& directory,
                    ScriptReader& blocks, float& layer2Wait, Visit&& visit);
    // Adds the images of one header's layer file, read in directory after
    // handOvers hand-overs from now.
    void foreseeScene(const HeaderValues& header, const std::string& directory, int handOvers,
                      float& layer2Wait, PictureChoice::Foresight& foresight, std::vector<PictureImage>& images);

    const Variant& variant_;
    FilesPort& files_;
    DrawingPort& device_;
    ScreenFacts screen_;
    std::array<SceneLayer, kLayerCount> layers_;
    ScriptReader reader_;
    PhotosOnScreens* screens_;
    PictureChoice pictures_;
    std::string sceneDirectory_;
    int nextSceneTime_ = 0;
    bool scriptEnded_ = false;  // the scene script has run out: no scene is built any more
    // The header last read hands over to another scene script and has not
    // been followed yet: a script's first header that hands over waits for
    // its scene time, at the start of the show as after a hand-over.
    bool chainPending_ = false;
    // The picks of the random hand-overs the look-ahead read and the show
    // has not yet, in the order the show will read them: drawn once, from
    // the show's generator, so the show goes where the textures were made.
    std::deque<int> foreseenPicks_;
    int screenLayoutCode_ = 0;
    int distance_ = 0;
    float fov_ = 0;
};

// Milliseconds of a time in seconds, truncated toward zero; times beyond
// the int range saturate, NaN gives 0.
int millisecondsOf(double seconds);

}  // namespace qv
