#pragma once
// Textures made before their scene: the renderer tells the stock which
// images the next scene will take its textures from, the stock makes them
// one at a time in the show's spare time between frames, and when the scene
// is built its requests for those very images are answered from the stock
// instead of the device. Everything else passes straight to the device.
// An image is known by its bytes' address and size: the pictures it is
// given for (the user's canvases of variants A and B, the data-directory
// bitmaps) stay where they are, unchanged, for the whole show.
#include <memory>
#include <vector>

#include "ports/DrawingPort.h"
#include "scene/PictureMemory.h"

namespace qv {

class TextureStock : public DrawingPort {
public:
    // device outlives the stock; the stock's textures go with it.
    explicit TextureStock(DrawingPort& device) : device_(device) {}

    // The images wanted next, in the order they are to be made; an image
    // given twice is made twice (each layer takes a texture of its own).
    // Textures made for images no longer wanted are let go.
    void want(const std::vector<PictureImage>& images);
    // Makes the texture of the first wanted image not tried yet; false when
    // none was left to make. A texture the device refuses is not tried again.
    bool prepareOne();
    // The image at these bytes was replaced (a folder slot's next picture):
    // what was made of it, or was to be, is let go, so no texture of the
    // old picture is ever handed out for a new one at the same address.
    void forget(const unsigned char* bytes);
    // Textures made and not yet taken.
    int stocked() const;
    // Textures asked for that the stock did not hold, made by the device
    // there and then, since the last call; the count starts again at 0.
    int takeMadeOnTheSpot();

    long setTransform(TransformKind kind, const Matrix4& matrix) override {
        return device_.setTransform(kind, matrix);
    }
    // The stocked texture of these bytes, taken out of the stock, or a new one.
    std::unique_ptr<DrawingTexture> createTexture(const unsigned char* bytes, std::size_t size) override;
    long bindTexture(DrawingTexture& texture) override { return device_.bindTexture(texture); }
    long drawFan(const std::array<LayerVertex, 4>& corners) override { return device_.drawFan(corners); }

private:
    struct Entry {
        PictureImage image;
        std::unique_ptr<DrawingTexture> texture;
        bool tried = false;
    };

    DrawingPort& device_;
    std::vector<Entry> entries_;
    int madeOnTheSpot_ = 0;
};

}  // namespace qv
