#include "render/TextureStock.h"

#include <algorithm>

namespace qv {

namespace {

bool same(const PictureImage& a, const PictureImage& b) { return a.bytes == b.bytes && a.size == b.size; }

}  // namespace

void TextureStock::want(const std::vector<PictureImage>& images) {
    std::vector<Entry> next;
    for (const PictureImage& image : images) {
        if (image.bytes == nullptr || image.size == 0) continue;
        // An entry of the last wish not kept yet (one moved out has no image).
        const auto kept =
            std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return same(e.image, image); });
        if (kept != entries_.end()) {
            next.push_back(Entry{image, std::move(kept->texture), kept->tried});
            kept->image = PictureImage{};
        } else {
            next.push_back(Entry{image, nullptr, false});
        }
    }
    entries_.swap(next);
}

bool TextureStock::prepareOne() {
    for (Entry& entry : entries_) {
        if (entry.tried) continue;
        entry.tried = true;
        entry.texture = device_.createTexture(entry.image.bytes, entry.image.size);
        return true;
    }
    return false;
}

void TextureStock::forget(const unsigned char* bytes) {
    if (bytes == nullptr) return;
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [bytes](const Entry& e) { return e.image.bytes == bytes; }),
                   entries_.end());
}

int TextureStock::stocked() const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                          [](const Entry& e) { return e.texture != nullptr; }));
}

std::unique_ptr<DrawingTexture> TextureStock::createTexture(const unsigned char* bytes, std::size_t size) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->image.bytes == bytes && it->image.size == size && it->texture) {
            std::unique_ptr<DrawingTexture> texture = std::move(it->texture);
            entries_.erase(it);
            return texture;
        }
    }
    ++madeOnTheSpot_;
    return device_.createTexture(bytes, size);
}

int TextureStock::takeMadeOnTheSpot() {
    const int made = madeOnTheSpot_;
    madeOnTheSpot_ = 0;
    return made;
}

}  // namespace qv
