#include "render/Renderer_win32.h"

#include <string>
#include <utility>

#include "platform/win32/Win32Decoder.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"

namespace qv::win {

namespace {

// Variant C decodes pictures during the show, so the decoder lives as long.
Win32Decoder g_decoder;

// The moments of the start-up, one short line each, for whoever listens to
// the debug output (the start-up benchmark reads them, with their times,
// from Wine's debug channel). Nobody listens in a normal show, and then
// they cost nothing.
void mark(const char* moment) { OutputDebugStringA(moment); }

}  // namespace

Renderer::Renderer(const Variant& variant, FilesPort& files, std::shared_ptr<ShowPictureMemory> pictures,
                   PhotosOnScreens* screens)
    : variant_(variant),
      files_(files),
      ownPictures_(pictures ? std::move(pictures) : std::make_shared<ShowPictureMemory>(variant)),
      pictures_(*ownPictures_),
      screens_(screens) {}

Renderer::~Renderer() {
    // The memory may outlive this renderer in another monitor's.
    if (composeListener_) pictures_.setComposeListener(nullptr);
    pictures_.stopListening(this);
    engine_.reset();
    stock_.reset();
    device_.reset();
}

void Renderer::preparePictures(PictureAccess access) {
    pictures_.fillCache(files_);
    mark("quorvelk: bitmap cache filled");
    Win32Registry registry;
    pictures_.preparePictures(files_, g_decoder, registry, applicationDataFolder(), screenWidth(), screenHeight(),
                              access);
    pictures_.setComposeListener([this] { drawer_.invalidate(); });
    composeListener_ = true;
    mark("quorvelk: pictures prepared");
}

HRESULT Renderer::createDevice(HWND window, bool cameraForWindow, const MonitorScreen* monitor,
                               ComPtr<IDirect3D8> direct3d) {
    HRESULT result = E_FAIL;
    std::unique_ptr<D3D8Device> device = D3D8Device::create(
        window, &result, monitor ? monitor->adapter : D3DADAPTER_DEFAULT, std::move(direct3d));
    if (!device) return result;
    mark("quorvelk: device made");
    return useDevice(window, std::move(device), cameraForWindow, monitor);
}

HRESULT Renderer::useDevice(HWND window, std::unique_ptr<D3D8Device> device, bool cameraForWindow,
                            const MonitorScreen* monitor) {
    if (!device) return E_FAIL;
    device_ = std::move(device);

    // The layer table comes with the engine.
    ScreenFacts screen;
    screen.screenWidth = monitor ? monitor->width : GetSystemMetrics(SM_CXSCREEN);
    screen.screenHeight = monitor ? monitor->height : GetSystemMetrics(SM_CYSCREEN);
    screen.rotationStart = monitor ? monitor->rotationStart : 0;
    monitorNumber_ = monitor ? monitor->number : 0;
    RECT client{};
    GetClientRect(window, &client);
    screen.clientWidth = client.right - client.left;
    screen.clientHeight = client.bottom - client.top;
    screen.cameraForClient = cameraForWindow;
    stock_ = std::make_unique<TextureStock>(*device_);
    // A texture made ahead of a picture a folder's next one replaced would
    // show the old picture, on whichever monitor made it.
    pictures_.stopListening(this);
    pictures_.listenToReplacements(this, [this](const unsigned char* bytes) {
        if (stock_) stock_->forget(bytes);
    });
    engine_ = std::make_unique<SceneEngine>(variant_, files_, *stock_, pictures_, screen, screens_);
    return D3D_OK;
}

bool Renderer::showsPhoto(bool startedOnly) {
    if (!engine_) return false;
    const auto& layers = engine_->layers();
    for (int i = 1; i < static_cast<int>(layers.size()) && i <= variant_.lastDrawnLayer; ++i) {
        const SceneLayer& layer = layers[static_cast<std::size_t>(i)];
        if (!layer.texture || (startedOnly && !layer.started) || layer.sourceName.empty()) continue;
        for (int n = 1; n <= 10; ++n)
            if (layer.sourceName == pictures_.pictureName(n)) return true;
    }
    return false;
}

void Renderer::noteScenesBuilt() {
    foresee_ = true;
    if (!photoTextureMade_ && showsPhoto(false)) {
        photoTextureMade_ = true;
        mark("quorvelk: first photo texture made");
    }
}

long Renderer::startShow(int screenLayoutCode) {
    const long result = engine_ ? engine_->startShow(screenLayoutCode) : kGenericFailure;
    if (stock_) stock_->takeMadeOnTheSpot();  // the first scenes have nothing made ahead
    mark("quorvelk: first scenes built");
    noteScenesBuilt();
    return result;
}

int Renderer::advanceScenes(double& sceneTime) {
    const int next = engine_ ? engine_->advanceScenes(sceneTime) : 0;
    // Textures the scenes asked for that were not made ahead, for the
    // frame-interval benchmark.
    if (const int spot = stock_ ? stock_->takeMadeOnTheSpot() : 0; spot > 0) {
        const std::string line = "quorvelk: textures made at scene time: " + std::to_string(spot);
        mark(line.c_str());
    }
    noteScenesBuilt();
    return next;
}

void Renderer::stepLayers() {
    if (engine_) engine_->stepLayers();
}

bool Renderer::prepareAhead() {
    if (!engine_ || !stock_ || drawer_.deviceLost()) return false;
    // Once after each scene, and again when a picture composed ahead for
    // the next one is made.
    if (foresee_ || engine_->pictureChoice().aheadArrived()) {
        foresee_ = false;
        stock_->want(engine_->foreseeNextScene());
    }
    if (!stock_->prepareOne()) return false;
    mark("quorvelk: texture made ahead");
    return true;
}

int Renderer::nextSceneTime() const { return engine_ ? engine_->nextSceneTime() : 0; }

bool Renderer::drawFrame() {
    if (!engine_ || !device_) return false;
    auto& layers = engine_->layers();
    if (!firstFramePresented_ && monitorNumber_ == 0) mark("quorvelk: first frame begun");
    const int presented =
        drawer_.drawFrame(*device_, *device_, layers.data(), layers.size(), variant_.lastDrawnLayer);
    if (presented == 1 && !firstFramePresented_) {
        firstFramePresented_ = true;
        if (monitorNumber_ == 0) {
            mark("quorvelk: first frame presented");
        } else {
            const std::string moment = "quorvelk: first frame presented on monitor " + std::to_string(monitorNumber_);
            mark(moment.c_str());
        }
    }
    if (presented == 1 && photoTextureMade_ && !photoFramePresented_ && showsPhoto(true)) {
        photoFramePresented_ = true;
        mark("quorvelk: first photo frame presented");
    }
    return presented == 1;
}

}  // namespace qv::win
