#pragma once
// What a window asks of the renderer that plays the scene scripts on its
// device: the scene engine's operations and the frame. The show window and
// the preview hold it through show/ScenePlayback; tests put a fake in.
#include <memory>

namespace qv {

class ScenePlayer {
public:
    virtual ~ScenePlayer() = default;

    // Sets the camera, opens the scene script and builds the scenes due at
    // once: 0, the generic failure (kGenericFailure: no scene script), or
    // the result of a transform the device refused.
    virtual long startShow(int screenLayoutCode) = 0;
    // Builds the scenes due by sceneTime (seconds), which comes back as 0
    // when the show moved on to another scene script.
    virtual int advanceScenes(double& sceneTime) = 0;
    // One 50 ms step of every moving layer.
    virtual void stepLayers() = 0;
    // Milliseconds into the scene script of the next scene; not ahead of
    // the clock when none comes.
    virtual int nextSceneTime() const = 0;
    // Draws and presents a frame unless it would look like the last one
    // (true when one was presented); after a failed present the device is
    // gone and deviceLost() says so.
    virtual bool drawFrame() = 0;
    virtual bool deviceLost() const = 0;
    // The next frame is drawn even if the layers look unchanged.
    virtual void invalidate() = 0;
    // Spare time between frames: makes one texture the next scene will
    // need; false when nothing is left to make before it.
    virtual bool prepareAhead() = 0;
};

}  // namespace qv
