#pragma once
// The show's renderer (Windows builds only): the Direct3D 8 device of the
// show window, the picture memory, and the scene engine that plays the
// scripts on that device. One per process, made at show start and kept until
// the process ends.
#include <windows.h>

#include <memory>
#include <utility>

#include "platform/win32/D3D8Device.h"
#include "ports/FilesPort.h"
#include "render/FrameDrawer.h"
#include "render/ShowPictureMemory.h"
#include "scene/SceneEngine.h"
#include "variant/Variant.h"

namespace qv {
class MusicPlayer;
}

namespace qv::win {

class Renderer {
public:
    // Prepares the picture memory; no Direct3D call yet.
    Renderer(const Variant& variant, FilesPort& files);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // The process-wide renderer, or nullptr before the show makes one.
    static Renderer* current();
    static void setCurrent(Renderer* renderer);

    // Creates the device on the show window, sets the fixed states and makes
    // the layer table. 0 on success, otherwise the failing call's result
    // (E_FAIL when there is no Direct3D at all). A preview's camera takes
    // the window's shape (cameraForWindow); the show's takes the screen's.
    HRESULT createDevice(HWND window, bool cameraForWindow = false);

    // The scene engine's operations (valid once the device exists).
    long startShow(int screenLayoutCode);
    int advanceScenes(double& sceneTime);
    void stepLayers();
    int nextSceneTime() const;

    // Clear, the started layers, present: 1 when presented. After a failed
    // present the device is gone for good and deviceLost() says so.
    int drawFrame();
    bool deviceLost() const { return drawer_.deviceLost(); }
    // The next frame is drawn even if the layers look unchanged.
    void invalidate() { drawer_.invalidate(); }

    // The show's music player, owned from here on (the show hands it over
    // with the function that ends it, the player being the show's type).
    // nullptr while the music is off.
    using MusicOwner = std::unique_ptr<MusicPlayer, void (*)(MusicPlayer*)>;
    void setMusic(MusicOwner player) { music_ = std::move(player); }
    MusicPlayer* music() const { return music_.get(); }

    SceneEngine* engine() { return engine_.get(); }
    ShowPictureMemory& pictures() { return pictures_; }

private:
    // Whether a layer (a started one) holds a texture of a user's picture.
    bool showsPhoto(bool startedOnly);
    void noteScenesBuilt();

    const Variant& variant_;
    FilesPort& files_;
    ShowPictureMemory pictures_;
    IDirect3D8* direct3d_ = nullptr;
    D3DPRESENT_PARAMETERS parameters_{};
    std::unique_ptr<D3D8Device> device_;
    std::unique_ptr<SceneEngine> engine_;
    FrameDrawer drawer_;
    // Start-up moments already told (see mark()).
    bool firstFramePresented_ = false;
    bool photoTextureMade_ = false;
    bool photoFramePresented_ = false;
    MusicOwner music_{nullptr, nullptr};
};

}  // namespace qv::win
