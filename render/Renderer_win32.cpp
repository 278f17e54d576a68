#include "render/Renderer_win32.h"

#include "platform/win32/Win32Decoder.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"

namespace qv::win {

namespace {

Renderer* g_renderer = nullptr;
// Variant C decodes pictures during the show, so the decoder lives as long.
Win32Decoder g_decoder;

// mingw's d3d8.h has no name for the default refresh rate.
constexpr UINT kPresentRateDefault = 0;

// The moments of the start-up, one short line each, for whoever listens to
// the debug output (the start-up benchmark reads them, with their times,
// from Wine's debug channel). Nobody listens in a normal show, and then
// they cost nothing.
void mark(const char* moment) { OutputDebugStringA(moment); }

}  // namespace

Renderer* Renderer::current() { return g_renderer; }
void Renderer::setCurrent(Renderer* renderer) { g_renderer = renderer; }

Renderer::Renderer(const Variant& variant, FilesPort& files)
    : variant_(variant), files_(files), pictures_(variant) {
    pictures_.fillCache(files_);
    Win32Registry registry;
    pictures_.preparePictures(files_, g_decoder, registry, applicationDataFolder(), screenWidth(), screenHeight());
    pictures_.setComposeListener([this] { drawer_.invalidate(); });
    mark("quorvelk: pictures prepared");
}

Renderer::~Renderer() {
    engine_.reset();
    device_.reset();
    if (direct3d_) direct3d_->Release();
}

HRESULT Renderer::createDevice(HWND window, bool cameraForWindow) {
    direct3d_ = createDirect3D8();
    if (!direct3d_) return E_FAIL;

    D3DDISPLAYMODE mode{};
    HRESULT result = direct3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    if (FAILED(result)) return result;

    // Windowed with the back buffer of the client area's size, one back
    // buffer, a 16-bit depth buffer that is never used for testing.
    parameters_ = D3DPRESENT_PARAMETERS{};
    parameters_.BackBufferFormat = mode.Format;
    parameters_.Windowed = TRUE;
    parameters_.SwapEffect = D3DSWAPEFFECT_FLIP;
    parameters_.EnableAutoDepthStencil = TRUE;
    parameters_.AutoDepthStencilFormat = D3DFMT_D16;
    parameters_.FullScreen_RefreshRateInHz = kPresentRateDefault;

    IDirect3DDevice8* device = nullptr;
    result = direct3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED,
                                     &parameters_, &device);
    if (FAILED(result)) {
        result = direct3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                         D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED,
                                         &parameters_, &device);
        if (FAILED(result)) return result;
    }
    device_ = std::make_unique<D3D8Device>(device);

    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    // Texture colour and alpha times the corners' diffuse colour and alpha.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR);
    device->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_MIRROR);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetVertexShader(kLayerVertexFormat);

    // The layer table comes with the engine.
    ScreenFacts screen;
    screen.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    screen.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT client{};
    GetClientRect(window, &client);
    screen.clientWidth = client.right - client.left;
    screen.clientHeight = client.bottom - client.top;
    screen.cameraForClient = cameraForWindow;
    engine_ = std::make_unique<SceneEngine>(variant_, files_, *device_, pictures_, screen);
    mark("quorvelk: device made");
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
    if (!photoTextureMade_ && showsPhoto(false)) {
        photoTextureMade_ = true;
        mark("quorvelk: first photo texture made");
    }
}

long Renderer::startShow(int screenLayoutCode) {
    const long result = engine_ ? engine_->startShow(screenLayoutCode) : E_FAIL;
    noteScenesBuilt();
    return result;
}

int Renderer::advanceScenes(double& sceneTime) {
    const int next = engine_ ? engine_->advanceScenes(sceneTime) : 0;
    noteScenesBuilt();
    return next;
}

void Renderer::stepLayers() {
    if (engine_) engine_->stepLayers();
}

int Renderer::nextSceneTime() const { return engine_ ? engine_->nextSceneTime() : 0; }

int Renderer::drawFrame() {
    if (!engine_ || !device_) return 0;
    auto& layers = engine_->layers();
    const int presented =
        drawer_.drawFrame(*device_, *device_, layers.data(), layers.size(), variant_.lastDrawnLayer);
    if (presented == 1 && !firstFramePresented_) {
        firstFramePresented_ = true;
        mark("quorvelk: first frame presented");
    }
    if (presented == 1 && photoTextureMade_ && !photoFramePresented_ && showsPhoto(true)) {
        photoFramePresented_ = true;
        mark("quorvelk: first photo frame presented");
    }
    return presented;
}

}  // namespace qv::win
