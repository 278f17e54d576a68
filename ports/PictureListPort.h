#pragma once
// The picture list port: what the settings dialog's logic asks of its window.
// The list of thumbnails, the file and folder selections and the wait cursor. The
// Windows dialog implements it with a list view, an image list and the
// open-file dialog; tests implement it in memory.
#include <optional>
#include <string>

#include "ports/DecoderPort.h"

namespace qv {

// Every thumbnail is stretched to this size at 96 dots an inch, whatever
// the picture's shape; a list on a denser screen asks for more pixels.
constexpr int kThumbnailWidth = 76;
constexpr int kThumbnailHeight = 57;

struct ThumbnailSize {
    int width;
    int height;
};

class PictureListPort {
public:
    virtual ~PictureListPort() = default;

    // Makes the store of thumbnails the list draws from; false when it
    // cannot be made (the list then stays empty).
    virtual bool createThumbnailList() = 0;

    // Deletes every item and its thumbnail. No item is selected afterwards,
    // so Delete and Exchange are disabled with it.
    virtual void deleteAllItems() = 0;

    // Inserts an item at index showing the thumbnail (thumbnailSize(), white
    // pixels drawn transparent) and named after source, the picture it
    // stands for (its file name for a screen reader, the whole path as its
    // tip); false when the list cannot take it. An index past the end puts
    // the item at the end.
    virtual bool insertItem(int index, const Image& thumbnail, const std::string& source) = 0;

    // The size of the thumbnails this list shows.
    virtual ThumbnailSize thumbnailSize() const { return {kThumbnailWidth, kThumbnailHeight}; }

    // Selects the item and scrolls it into view, so a picture just added or
    // exchanged is the one the user sees.
    virtual void revealItem(int index) = 0;

    // The open-file dialog for a JPEG or BMP picture, opening in
    // initialFolder (empty: wherever the system likes). The picked file's
    // full path, or nothing when the user cancels.
    virtual std::optional<std::string> choosePicture(const std::string& initialFolder) = 0;

    // The system's folder picker, opening in initialFolder as choosePicture
    // does. The picked folder's full path, or nothing when the user cancels.
    virtual std::optional<std::string> chooseFolder(const std::string& initialFolder) = 0;

    // The hourglass while an operation runs; the message port puts the
    // arrow back.
    virtual void showWaitCursor() = 0;

    // The picture being converted, current of total (1-based), told before
    // each conversion of a long operation so the user sees it going on.
    virtual void showProgress(int current, int total) = 0;
};

}  // namespace qv
