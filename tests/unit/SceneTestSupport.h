#pragma once
// Shared by the scene engine's tests: a picture memory held in memory, small
// BMP images that carry a label, and the scripts of a variant data
// directory in an in-memory files port.
#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/MemoryFiles.h"
#include "platform/fake/RecordingDevice.h"
#include "scene/PictureMemory.h"
#include "scene/SceneLayer.h"

namespace qv::test {

// A BMP-looking image of 64 bytes: "BM", the label, zeros.
inline std::vector<unsigned char> labelledBmp(const std::string& label) {
    std::vector<unsigned char> bytes(64, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    for (std::size_t i = 0; i < label.size() && i + 2 < bytes.size(); ++i)
        bytes[i + 2] = static_cast<unsigned char>(label[i]);
    return bytes;
}

// The label of the picture a layer's texture was made from; empty when the
// layer has no texture.
inline std::string textureLabel(const SceneLayer& layer) {
    const auto* texture = dynamic_cast<const RecordedTexture*>(layer.texture.get());
    if (texture == nullptr) return std::string();
    std::string label;
    for (std::size_t i = 2; i < texture->head.size() && texture->head[i] != 0; ++i)
        label += static_cast<char>(texture->head[i]);
    return label;
}

class FakePictureMemory : public PictureMemory {
public:
    int count = 0;
    std::array<std::string, 10> names;
    std::array<std::vector<unsigned char>, 10> buffers;  // one per picture
    std::vector<std::pair<std::string, std::vector<unsigned char>>> cache;

    // One shared buffer (variant C): composing n copies composed[n - 1] in.
    bool shared = false;
    std::array<std::vector<unsigned char>, 10> composeSources;
    std::vector<unsigned char> sharedBuffer;
    std::array<std::size_t, 10> sharedSizes{};
    std::vector<int> composed;  // every n composed, in order
    std::vector<int> composedAhead;

    int photoCount() const override { return count; }
    const std::string& pictureName(int n) const override {
        static const std::string none;
        return n >= 1 && n <= 10 ? names[static_cast<std::size_t>(n - 1)] : none;
    }
    PictureImage pictureImage(int n) override {
        if (n < 1 || n > 10) return {};
        const auto i = static_cast<std::size_t>(n - 1);
        if (shared) return {sharedBuffer.data(), std::min(sharedSizes[i], sharedBuffer.size())};
        return {buffers[i].data(), buffers[i].size()};
    }
    std::size_t cachedCount() const override { return cache.size(); }
    const std::string& cachedName(std::size_t index) const override { return cache.at(index).first; }
    PictureImage cachedImage(std::size_t index) override {
        auto& bytes = cache.at(index).second;
        return {bytes.data(), bytes.size()};
    }
    void composePicture(int n) override {
        if (!shared || n < 1 || n > 10) return;
        composed.push_back(n);
        const auto i = static_cast<std::size_t>(n - 1);
        sharedBuffer = composeSources[i];
        sharedSizes[i] = composeSources[i].size();
    }
    // Composing ahead is made at once, into one buffer whatever the owner.
    std::vector<unsigned char> aheadBuffer;
    int aheadPicture = 0;
    PictureImage composeAhead(const void*, int n) override {
        if (!shared || n < 1 || n > 10) return {};
        composedAhead.push_back(n);
        aheadBuffer = composeSources[static_cast<std::size_t>(n - 1)];
        aheadPicture = n;
        return {aheadBuffer.data(), aheadBuffer.size()};
    }
    bool takeAhead(const void*, int n) override {
        if (!shared || n < 1 || n > 10 || aheadPicture != n) return false;
        sharedBuffer.swap(aheadBuffer);
        sharedSizes[static_cast<std::size_t>(n - 1)] = sharedBuffer.size();
        aheadPicture = 0;
        return true;
    }
};

// Paths of variant B's data directory on a 1024 x 768 screen (normal scripts).
constexpr const char* kNormalDirB = "C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal\\";
constexpr const char* kSceneScriptB = "C:\\WINDOWS\\system32\\QUORvelkbsrc\\normal\\scenescript.txt";

}  // namespace qv::test
