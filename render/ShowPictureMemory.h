#pragma once
// The show's picture memory: the data-directory bitmap cache, and the ten
// pictures of the user's list as canvas images. Variants A and B compose all
// ten at show start into a buffer each; variant C records only their paths
// and composes one into its single buffer when a layer asks for it.
#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ports/DecoderPort.h"
#include "ports/RegistryPort.h"
#include "render/BitmapCache.h"
#include "render/FolderSlotPictures.h"
#include "render/MadeAside.h"
#include "render/PicturePreparation.h"
#include "image/Canvas.h"
#include "scene/PictureMemory.h"
#include "variant/Variant.h"

namespace qv {

class ShowPictureMemory : public PictureMemory {
public:
    explicit ShowPictureMemory(const Variant& variant) : variant_(variant) {}
    // Waits for the compositions ahead still being made.
    ~ShowPictureMemory() override = default;
    ShowPictureMemory(const ShowPictureMemory&) = delete;
    ShowPictureMemory& operator=(const ShowPictureMemory&) = delete;

    // Fills the bitmap cache from the variant data directory.
    void fillCache(FilesPort& files) { cache_.fill(files, variant_.dataDir); }
    const BitmapCache& cache() const { return cache_; }

    int photoCount() const override { return photoCount_; }
    const std::string& pictureName(int n) const override;
    PictureImage pictureImage(int n) override;
    std::size_t cachedCount() const override { return cache_.size(); }
    const std::string& cachedName(std::size_t index) const override;
    PictureImage cachedImage(std::size_t index) override;
    void composePicture(int n) override;
    PictureImage composeAhead(const void* owner, int n) override;
    bool aheadUnderWay(const void* owner) const override;
    bool takeAhead(const void* owner, int n) override;
    void dropAhead(const void* owner) override;
    void nextFolderPicture(int n) override;

    // The process's folder slot pictures, set before preparePictures: each
    // picture of a folder slot becomes one of its views. Without it a folder
    // slot shows its bitmap all the show long. folders outlives the memory.
    void useFolderSlots(FolderSlotPictures* folders) { folders_ = folders; }
    // Told when a picture's buffer is replaced by a folder's next picture,
    // or a buffer of variant C is composed into anew, with the bytes it had
    // (textures made of them are stale). Every
    // renderer drawing from the memory (one per monitor) listens, keyed by
    // itself, and stops when it goes.
    void listenToReplacements(const void* owner, std::function<void(const unsigned char*)> listener) {
        replaced_.emplace_back(owner, std::move(listener));
    }
    void stopListening(const void* owner) {
        std::erase_if(replaced_, [owner](const auto& entry) { return entry.first == owner; });
    }

    // Reads the user's list and prepares the pictures (see above); the
    // preview's access only reads (see PictureAccess). files and decoder
    // must outlive the memory in variant C, which decodes during the show.
    // Screen size: the primary display's.
    void preparePictures(FilesPort& files, DecoderPort& decoder, RegistryPort& registry,
                         const std::optional<std::string>& appDataFolder, int screenWidth, int screenHeight,
                         PictureAccess access = PictureAccess::Show);
    // Called after each on-demand composition, whose new picture may sit
    // where the last frame looked the same.
    void setComposeListener(std::function<void()> listener) { composed_ = std::move(listener); }

    // Find picture: the image named exactly name (an upper-cased full path).
    // A picture slot wins; otherwise the cache, whose last match is taken
    // (variant C: its first). Empty when nothing matches.
    PictureImage findPicture(const std::string& name);

private:
    // One owner's picture composed ahead, on a thread of its own with a
    // maker of its own (a maker keeps its backdrop and is not to be shared
    // between threads). The buffer goes to the thread and comes back.
    struct Composed {
        std::vector<unsigned char> bytes;
        std::size_t size = 0;
    };
    struct Ahead {
        std::shared_ptr<CanvasMaker> maker;
        Composed held;
        int picture = 0;                      // held or being made; 0 for none
        std::shared_ptr<const Image> source;  // the folder picture it is made of
        std::unique_ptr<MadeAside<Composed>> making;
        // What is being made, once made (waiting for it or not).
        void collect(bool wait) {
            if (!making || (!wait && !making->ready())) return;
            held = making->takeWhenMade();
            making.reset();
        }
    };

    // Composes the folder picture source, or without one the file at path,
    // into buffer, cleared first, with maker; its size, 0 when nothing could
    // be made. On the show's thread or a composition's own.
    static std::size_t compose(CanvasMaker& maker, const Image* source, const std::string& path,
                               std::vector<unsigned char>& buffer);
    void addFolderViews(const ShowPictureList& list, FilesPort& files, DecoderPort& decoder, int screenWidth,
                        int screenHeight);

    const Variant& variant_;
    BitmapCache cache_;
    int photoCount_ = 0;
    std::array<std::string, 10> names_{};   // upper-cased, as pictures are found
    std::array<std::string, 10> paths_{};   // as read, for on-demand composing
    std::array<std::size_t, 10> sizes_{};
    // One buffer per picture (A, B) or the one shared buffer (C), each of
    // the variant's picture buffer size.
    std::array<std::vector<unsigned char>, 10> buffers_{};
    std::vector<unsigned char> shared_;
    std::unique_ptr<CanvasMaker> maker_;
    // What the makers of the compositions ahead are made with (variant C).
    std::function<std::shared_ptr<CanvasMaker>()> newMaker_;
    std::map<const void*, std::unique_ptr<Ahead>> ahead_;
    std::function<void()> composed_;
    FolderSlotPictures* folders_ = nullptr;
    // Each picture's view of its folder slot, -1 for a picture slot.
    std::array<int, 10> views_{{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}};
    // Variant C: the folder picture each composes from instead of its file.
    std::array<std::shared_ptr<const Image>, 10> folderPictures_{};
    std::vector<std::pair<const void*, std::function<void(const unsigned char*)>>> replaced_;
    const std::string empty_;
};

}  // namespace qv
