#include "platform/fake/RecordingDevice.h"

#include <algorithm>

namespace qv {

namespace {

constexpr std::size_t kBmpHeaders = 54;
constexpr std::size_t kHeadBytes = 64;

std::size_t indexOf(TransformKind kind) { return static_cast<std::size_t>(kind); }

}  // namespace

long RecordingDevice::setTransform(TransformKind kind, const Matrix4& matrix) {
    transforms.push_back({kind, matrix});
    return transformResults_[indexOf(kind)];
}

std::unique_ptr<DrawingTexture> RecordingDevice::createTexture(const unsigned char* bytes,
                                                               std::size_t size) {
    ++textureRequests;
    if (failTextures_ || bytes == nullptr || size < kBmpHeaders || bytes[0] != 'B' ||
        bytes[1] != 'M')
        return nullptr;
    ++texturesCreated;
    std::vector<unsigned char> head(bytes, bytes + std::min(size, kHeadBytes));
    return std::make_unique<RecordedTexture>(texturesCreated, size, std::move(head));
}

long RecordingDevice::bindTexture(DrawingTexture& texture) {
    ++bindCount;
    const auto* recorded = dynamic_cast<RecordedTexture*>(&texture);
    boundTexture = recorded != nullptr ? recorded->id : 0;
    return 0;
}

long RecordingDevice::drawFan(const std::array<LayerVertex, 4>& corners) {
    ++drawCount;
    if (recordDraws_) draws.push_back({boundTexture, corners});
    return 0;
}

void RecordingDevice::failTransform(TransformKind kind, long result) {
    transformResults_[indexOf(kind)] = result;
}

}  // namespace qv
