#pragma once
// A drawing port that draws nothing and remembers what it was asked: the
// trace tool runs shows on it, and tests read back transforms, textures,
// bindings and drawn corners. Results can be set to fail.
#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "ports/DrawingPort.h"

namespace qv {

// A texture of the recording device: which creation made it and from what.
class RecordedTexture : public DrawingTexture {
public:
    RecordedTexture(int id, std::size_t size, std::vector<unsigned char> head)
        : id(id), size(size), head(std::move(head)) {}
    const int id;                          // 1, 2, ... in order of creation
    const std::size_t size;                // bytes it was made from
    const std::vector<unsigned char> head;  // their first bytes (at most 64)
};

class RecordingDevice : public DrawingPort {
public:
    struct TransformCall {
        TransformKind kind;
        Matrix4 matrix;
    };
    struct DrawCall {
        int boundTexture;  // id of the texture in effect at stage 0, 0 for none
        std::array<LayerVertex, 4> corners;
    };

    long setTransform(TransformKind kind, const Matrix4& matrix) override;
    // Accepts an image that starts with "BM" and holds at least its two
    // headers (54 bytes), as a texture loader would; nullptr otherwise.
    std::unique_ptr<DrawingTexture> createTexture(const unsigned char* bytes,
                                                  std::size_t size) override;
    long bindTexture(DrawingTexture& texture) override;
    long drawFan(const std::array<LayerVertex, 4>& corners) override;

    // Result of every setTransform of that kind (0 unless set).
    void failTransform(TransformKind kind, long result);
    void failTextures(bool fail) { failTextures_ = fail; }

    // Drawing records may be switched off for long runs.
    void recordDraws(bool record) { recordDraws_ = record; }

    std::vector<TransformCall> transforms;
    std::vector<DrawCall> draws;
    int texturesCreated = 0;
    int textureRequests = 0;  // every createTexture call, failed ones included
    int bindCount = 0;
    int drawCount = 0;
    int boundTexture = 0;     // id bound at stage 0 now

private:
    std::array<long, 3> transformResults_{};
    bool failTextures_ = false;
    bool recordDraws_ = true;
};

}  // namespace qv
