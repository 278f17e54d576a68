#pragma once
// The renderer of a show window or of the preview (Windows builds only): the
// window's Direct3D 8 device, the picture memory, and the scene engine that
// plays the scripts on that device. Made in three explicit steps: the
// object, its pictures, its device.
#include <windows.h>

#include <memory>

#include "platform/win32/D3D8Device.h"
#include "ports/FilesPort.h"
#include "render/FrameDrawer.h"
#include "render/PicturePreparation.h"
#include "render/ScenePlayer.h"
#include "render/ShowPictureMemory.h"
#include "render/TextureStock.h"
#include "scene/SceneEngine.h"
#include "variant/Variant.h"

namespace qv::win {

// The monitor a show window plays on, where it is not the primary: its
// size (the scripts' shape and the camera), the adapter its device is made
// on, the slot its placeholder rotation starts on, and its number in the
// start-up moments (the primary's are untagged; 2 is the first beside it).
struct MonitorScreen {
    int width = 0;
    int height = 0;
    UINT adapter = 0;
    int rotationStart = 0;
    int number = 2;
};

class Renderer : public ScenePlayer {
public:
    // Nothing is read and no Direct3D call is made yet. pictures: the
    // picture memory of another renderer of the same show (another
    // monitor's), already prepared, which this one reads as well; without
    // it the renderer has its own. screens: the photos the shows of all
    // monitors have on screen, where the show plays on more than one (see
    // PhotosOnScreens); it outlives the renderer.
    Renderer(const Variant& variant, FilesPort& files, std::shared_ptr<ShowPictureMemory> pictures = nullptr,
             PhotosOnScreens* screens = nullptr);
    ~Renderer() override;
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Reads the user's list and prepares the pictures for the primary
    // screen. The show's pictures may write missing defaults and rebuild
    // missing converted bitmaps; the preview's only read.
    void preparePictures(PictureAccess access);
    // The show's folder slot pictures, before preparePictures (see
    // ShowPictureMemory::useFolderSlots).
    void useFolderSlots(FolderSlotPictures* folders) { pictures_.useFolderSlots(folders); }

    // Makes the device on window and the layer table. 0 on success,
    // otherwise the failing call's result (E_FAIL when there is no Direct3D
    // at all). A preview's camera takes the window's shape
    // (cameraForWindow); the show's takes the screen's, or monitor's when
    // the window plays on another monitor than the primary.
    // direct3d: the Direct3D object loaded ahead, else it is loaded here.
    HRESULT createDevice(HWND window, bool cameraForWindow = false, const MonitorScreen* monitor = nullptr,
                         ComPtr<IDirect3D8> direct3d = {});
    // The same with a device made elsewhere (on another thread) for window:
    // only the layer table is made here.
    HRESULT useDevice(HWND window, std::unique_ptr<D3D8Device> device, bool cameraForWindow = false,
                      const MonitorScreen* monitor = nullptr);
    // The user's photos, once the pictures are prepared.
    int photoCount() const { return pictures_.photoCount(); }
    // The picture memory, for the renderers of the other monitors.
    std::shared_ptr<ShowPictureMemory> sharedPictures() const { return ownPictures_; }

    // The scene engine's operations (see ScenePlayer); the generic failure
    // before the device exists.
    long startShow(int screenLayoutCode) override;
    int advanceScenes(double& sceneTime) override;
    void stepLayers() override;
    int nextSceneTime() const override;
    // Clear, the started layers, present.
    bool drawFrame() override;
    bool deviceLost() const override { return drawer_.deviceLost(); }
    void invalidate() override { drawer_.invalidate(); }
    bool prepareAhead() override;

private:
    // Whether a layer (a started one) holds a texture of a user's picture.
    bool showsPhoto(bool startedOnly);
    void noteScenesBuilt();

    const Variant& variant_;
    FilesPort& files_;
    std::shared_ptr<ShowPictureMemory> ownPictures_;
    ShowPictureMemory& pictures_;
    PhotosOnScreens* screens_;
    bool composeListener_ = false;  // this renderer listens to the memory's compositions
    std::unique_ptr<D3D8Device> device_;
    // The engine draws through it: the next scene's textures are made ahead.
    std::unique_ptr<TextureStock> stock_;
    // A scene was built: what the next one needs is asked again.
    bool foresee_ = false;
    // Its layers hold textures of the device: it goes first.
    std::unique_ptr<SceneEngine> engine_;
    FrameDrawer drawer_;
    // Start-up moments already told (see mark()).
    int monitorNumber_ = 0;  // 0 on the primary
    bool firstFramePresented_ = false;
    bool photoTextureMade_ = false;
    bool photoFramePresented_ = false;
};

}  // namespace qv::win
