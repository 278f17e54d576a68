#include "scene/SceneEngine.h"

#include <cmath>
#include <functional>
#include <limits>

#include "scene/Camera.h"
#include "scene/ScriptPath.h"
#include "scene/ScreenLayout.h"
#include "text/Utf8Text.h"

namespace qv {

namespace {

// Scene headers taken at most in one go: at the start of the show (every
// scene due at time 0) and each time the scene timer fires. They bound the
// work when scripts hand over to one another without any scene taking time;
// the show then holds what it has built so far.
constexpr int kFirstScenesRounds = 202;
constexpr int kAdvanceRounds = 2001;
// Scene headers and hand-overs looked at in one look ahead.
constexpr int kForeseeRounds = 40;
// Scenes up to this long after the next scene time are foreseen with it:
// scenes that follow each other closely then share the spare time before
// the first of them.
constexpr float kForeseeSeconds = 0.5f;

// Truncates toward zero into the int range without undefined conversions.
int saturatingInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

int millisecondsOf(double seconds) { return saturatingInt(seconds * 1000.0); }

SceneEngine::SceneEngine(const Variant& variant, FilesPort& files, DrawingPort& device,
                         PictureMemory& memory, const ScreenFacts& screen, PhotosOnScreens* screens)
    : variant_(variant),
      files_(files),
      device_(device),
      screen_(screen),
      reader_(files),
      screens_(screens),
      pictures_(variant, memory, device, screen.rotationStart, screens, layers_.data()),
      sceneDirectory_(variant.sceneDirectory(usesWideScripts(screen.screenWidth, screen.screenHeight))) {
    if (screens_ != nullptr) screens_->join(layers_.data(), layers_.size(), variant.lastDrawnLayer);
}

SceneEngine::~SceneEngine() {
    if (screens_ != nullptr) screens_->leave(layers_.data());
}

std::string SceneEngine::sceneScriptPath() const {
    return usesWideScripts(screen_.screenWidth, screen_.screenHeight) ? variant_.wideSceneScript()
                                                                      : variant_.normalSceneScript();
}

long SceneEngine::setUpCamera() {
    long result = device_.setTransform(TransformKind::World, Matrix4::identity());
    if (result != 0) return result;

    const bool byClient = screen_.cameraForClient && screen_.clientWidth > 0 && screen_.clientHeight > 0;
    const int shapeWidth = byClient ? screen_.clientWidth : screen_.screenWidth;
    const int shapeHeight = byClient ? screen_.clientHeight : screen_.screenHeight;
    distance_ = cameraDistance(variant_, screenLayoutCode_);
    const Vector3 eye{0.0f, 0.0f, static_cast<float>(distance_)};
    const Matrix4 view = lookAtRH(eye, Vector3{}, cameraUp(shapeWidth, shapeHeight));
    result = device_.setTransform(TransformKind::View, view);
    if (result != 0) return result;

    fov_ = fieldOfView(shapeWidth, shapeHeight);
    // A window without height has no aspect; take the screen's, or square.
    float aspect = 1.0f;
    if (screen_.clientHeight > 0)
        aspect = static_cast<float>(screen_.clientWidth) / static_cast<float>(screen_.clientHeight);
    else if (screen_.screenHeight > 0)
        aspect = static_cast<float>(screen_.screenWidth) / static_cast<float>(screen_.screenHeight);
    return device_.setTransform(TransformKind::Projection,
                                perspectiveFovRH(fov_, aspect, 10.0f, 1000.0f));
}

bool SceneEngine::moveToScript(bool resetValues) {
    std::string path = reader_.header.nextScript;
    if (!resolveScriptPath(variant_, sceneDirectory_, path)) {
        // Refused like a script that cannot be opened: nothing more is read.
        reader_.close();
        if (resetValues) reader_.resetToDefaults();
        return false;
    }
    sceneDirectory_ = directoryOf(path);
    reader_.close();
    if (resetValues) reader_.resetToDefaults();
    return reader_.open(path);
}

void SceneEngine::buildCurrentHeader() {
    const HeaderValues& header = reader_.header;
    std::string layerFile = header.layerFile;
    if (!resolveScriptPath(variant_, sceneDirectory_, layerFile)) return;  // name refused
    buildScene(layerFile, header.sx, header.sy, header.effect);
}

long SceneEngine::startShow(int screenLayoutCode) {
    screenLayoutCode_ = screenLayoutCode;
    const long cameraResult = setUpCamera();
    if (cameraResult != 0) return cameraResult;

    reader_.resetToDefaults();
    if (!reader_.open(sceneScriptPath())) return kGenericFailure;

    bool ranIntoEnd = false;
    bool chained = reader_.readSceneHeader(ranIntoEnd);
    if (reader_.header.sceneTime == 0.0f) {
        for (int round = 0; round < kFirstScenesRounds; ++round) {
            if (chained && !ranIntoEnd) {
                // During the start a hand-over keeps the reader's values.
                moveToScript(false);
            } else {
                buildCurrentHeader();
            }
            chained = reader_.readSceneHeader(ranIntoEnd);
            if (chained) {
                moveToScript(true);
                chained = reader_.readSceneHeader(ranIntoEnd);
            }
            if (ranIntoEnd || reader_.header.sceneTime != 0.0f) break;
        }
    }
    if (ranIntoEnd) endScript();
    // A header that hands over builds no scene: when it comes due it is
    // followed, never applied as a layer file.
    chainPending_ = chained && !ranIntoEnd;
    nextSceneTime_ = saturatingInt(std::trunc(static_cast<double>(reader_.header.sceneTime)) * 1000.0);
    return 0;
}

int SceneEngine::advanceScenes(double& sceneTime) {
    if (scriptEnded_) {
        nextSceneTime_ = 0;
        return nextSceneTime_;
    }
    float t = narrowToFloat(sceneTime);
    for (int round = 0; round < kAdvanceRounds; ++round) {
        if (!(static_cast<double>(t) + 0.01 >= reader_.header.sceneTime)) break;
        bool ranIntoEnd = false;
        if (!chainPending_) {
            buildCurrentHeader();
            chainPending_ = readNextHeader(ranIntoEnd);
            if (!chainPending_) {
                if (ranIntoEnd) {
                    endScript();
                    break;
                }
                continue;
            }
        }
        chainPending_ = false;
        pictures_.advanceRotation();
        if (!moveToScript(true)) {
            endScript();
            nextSceneTime_ = 0;
            return nextSceneTime_;
        }
        // The layers of the old script stop where they stand.
        for (SceneLayer& layer : layers_) layer.inUse = false;
        t = 0.0f;
        sceneTime = 0.0;
        // The new script's first header: one cut off by the end of the file
        // is never applied (as at the start of the show), and one that
        // hands over is followed, not applied as a layer file, when its
        // scene time comes, as at the start of the show.
        chainPending_ = readNextHeader(ranIntoEnd);
        if (!chainPending_ && ranIntoEnd) {
            endScript();
            break;
        }
    }
    nextSceneTime_ = saturatingInt(static_cast<double>(reader_.header.sceneTime * 1000.0f));
    return nextSceneTime_;
}

bool SceneEngine::readNextHeader(bool& ranIntoEnd) {
    if (foreseenPicks_.empty()) return reader_.readSceneHeader(ranIntoEnd);
    const std::function<int(int)> own = reader_.pickRandom;
    reader_.pickRandom = [this, &own](int count) {
        if (foreseenPicks_.empty()) return own ? own(count) : 0;
        const int pick = foreseenPicks_.front();
        foreseenPicks_.pop_front();
        return pick;
    };
    const bool chained = reader_.readSceneHeader(ranIntoEnd);
    reader_.pickRandom = own;
    return chained;
}

void SceneEngine::endScript() {
    // A header cut off by the end of its file is never applied, even when a
    // timer fires later: the scenes are over and the layers hold.
    scriptEnded_ = true;
    reader_.header.sceneTime = 0.0f;
}

void SceneEngine::stepLayers() {
    for (int i = 1; i < kLayerCount; ++i) {
        SceneLayer& layer = layers_[static_cast<std::size_t>(i)];
        if (layer.inUse) layer.step();
    }
}

void SceneEngine::drawLayers() {
    const int last = variant_.lastDrawnLayer < kLayerCount ? variant_.lastDrawnLayer : kLayerCount - 1;
    for (int i = 1; i <= last; ++i) {
        SceneLayer& layer = layers_[static_cast<std::size_t>(i)];
        if (layer.started) layer.draw(device_);
    }
}

template <typename Visit>
void SceneEngine::readBlocks(const std::string& layerFile, int effect, const std::string& directory,
                             ScriptReader& blocks, float& layer2Wait, Visit&& visit) {
    if (!blocks.open(layerFile)) return;
    const bool change = effect == kEffectChange;
    for (int count = 0; count < kLayerCount; ++count) {
        if (change)
            blocks.resetToUnset();
        else
            blocks.resetToDefaults();
        bool ranIntoEnd = false;
        const bool isSet = blocks.readLayerBlock(layer2Wait, ranIntoEnd);
        if (isSet) {
            const float n = blocks.block.layer;
            // Out of range (or NaN, or not given in a change block): the
            // rest of the file is not read.
            if (!(n >= 0.0f && n < static_cast<float>(kLayerCount))) break;
            std::string source = blocks.block.source;
            bool refused = false;
            if (effect != kEffectMovie && effect != kEffectCamera && !source.empty())
                refused = !resolveScriptPath(variant_, directory, source);
            else
                source = ansiToUtf8(source);  // a name as written, in UTF-8 as every name
            if (!refused) visit(static_cast<std::size_t>(n), source);
        }
        if (ranIntoEnd) break;
    }
    blocks.close();
}

void SceneEngine::buildScene(const std::string& layerFile, float sceneX, float sceneY, int effect) {
    ScriptReader blocks(files_);
    const auto place = [&](std::size_t n, const std::string& source) {
        SceneLayer& layer = layers_[n];
        layer.inUse = true;
        pictures_.choosePicture(layer, source, layerFile);
        layer.place(blocks.block, effect, sceneX, sceneY);
    };
    readBlocks(layerFile, effect, sceneDirectory_, blocks, layers_[2].wait, place);
}

std::vector<PictureImage> SceneEngine::foreseeNextScene() {
    std::vector<PictureImage> images;
    if (scriptEnded_) return images;
    // A reader of its own, standing where the show's reader stands, with
    // its values, walks on as advanceScenes will when the next scene time
    // comes: every scene due then, hand-overs followed, without building.
    ScriptReader ahead(files_);
    // A random hand-over is drawn from the show's generator once; the show
    // takes the same pick when it reads that header (readNextHeader).
    std::size_t picksTaken = 0;
    ahead.pickRandom = [this, &picksTaken](int count) {
        if (picksTaken == foreseenPicks_.size())
            foreseenPicks_.push_back(reader_.pickRandom ? reader_.pickRandom(count) : 0);
        return foreseenPicks_[picksTaken++];
    };
    if (!ahead.open(reader_.path) || !ahead.skipTo(reader_.lineNumber())) return images;
    ahead.header = reader_.header;
    std::string directory = sceneDirectory_;
    int handOvers = 0;
    bool pending = chainPending_;
    float t = reader_.header.sceneTime + kForeseeSeconds;
    float layer2Wait = layers_[2].wait;
    PictureChoice::Foresight foresight{pictures_.lastPlaceholder()};
    for (int round = 0; round < kForeseeRounds; ++round) {
        if (!(static_cast<double>(t) + 0.01 >= ahead.header.sceneTime)) break;
        bool ranIntoEnd = false;
        if (!pending) {
            foreseeScene(ahead.header, directory, handOvers, layer2Wait, foresight, images);
            pending = ahead.readSceneHeader(ranIntoEnd);
            if (!pending) {
                if (ranIntoEnd) break;
                continue;
            }
        }
        // The hand-over, followed at once.
        std::string path = ahead.header.nextScript;
        if (!resolveScriptPath(variant_, directory, path)) break;
        directory = directoryOf(path);
        ++handOvers;
        foresight.lastPlaceholder.clear();
        ahead.close();
        ahead.resetToDefaults();
        if (!ahead.open(path)) break;
        t = kForeseeSeconds;
        pending = ahead.readSceneHeader(ranIntoEnd);
        if (!pending && ranIntoEnd) break;
    }
    return images;
}

void SceneEngine::foreseeScene(const HeaderValues& header, const std::string& directory, int handOvers,
                               float& layer2Wait, PictureChoice::Foresight& foresight,
                               std::vector<PictureImage>& images) {
    std::string layerFile = header.layerFile;
    if (!resolveScriptPath(variant_, directory, layerFile)) return;
    ScriptReader blocks(files_);
    blocks.pickRandom = [](int) { return 0; };
    const auto add = [&](std::size_t, const std::string& source) {
        const PictureImage image = pictures_.foreseeImage(source, layerFile, handOvers, foresight);
        if (image.size != 0) images.push_back(image);
    };
    readBlocks(layerFile, header.effect, directory, blocks, layer2Wait, add);
}

}  // namespace qv
