#pragma once
// The folder slots' pictures during a show: one object per process, shared
// by every picture memory of the show (one per show window). A background
// worker reads each folder slot's library file, lists the folder again and
// prepares the next picture of the slot's order for every view (a picture
// buffer showing the slot) ahead of time; the show thread takes a prepared
// picture when the placeholder rotation comes back to that buffer, or keeps
// what the buffer shows when none is ready. It never waits for the worker.
// At the end of the show the picture last taken for each slot is written to
// its bitmap and the order to its library file, so the next show starts on
// that picture and goes on with the order.
//
// Threads: run() (or step(), in tests) on the worker; addSlot, healSlot, addView and
// writeAtEnd on the show thread while the worker is not running; take and
// stop from any thread.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "image/AnyPicture.h"
#include "image/PictureExtensions.h"
#include "library/FolderPictures.h"
#include "library/LibraryFile.h"
#include "ports/FilesPort.h"
#include "ports/FolderPort.h"
#include "ports/PictureDecoderPort.h"
#include "variant/Variant.h"

namespace qv {

// True when a slot's stored source ("photoN_real") names a folder: it ends
// with a backslash.
bool isFolderSource(const std::string& source);

// One picture of a folder ready to be shown.
struct PreparedPicture {
    std::string name;  // relative to the folder
    // The picture at its converted size, as the slot's bitmap holds one.
    std::shared_ptr<const Image> converted;
    // The view's canvas image (variants A and B): canvasBytes of it are used.
    std::vector<unsigned char> canvas;
    std::size_t canvasBytes = 0;
};

class FolderSlotPictures {
public:
    // The view's own composition of a converted picture into a canvas image,
    // run on the worker; canvas is sized by it and the used bytes returned
    // (0: the picture cannot be shown). Empty for variant C, which composes
    // on demand.
    using Composer = std::function<std::size_t(const Image& converted, std::vector<unsigned char>& canvas)>;

    // userFolder: the per-user picture folder, ending with a backslash.
    FolderSlotPictures(const Variant& variant, FilesPort& files, FolderPort& folders,
                       PictureDecoderPort& decoder, RandomSource& random, std::string userFolder,
                       int screenHeight);
    FolderSlotPictures(const FolderSlotPictures&) = delete;
    FolderSlotPictures& operator=(const FolderSlotPictures&) = delete;

    // Slot 1..10 stands for folder (ending with a backslash); bitmap is its
    // converted bitmap "photoN.bmp". A slot given twice keeps the first.
    void addSlot(int slot, const std::string& folder, const std::string& bitmap);
    // A folder slot passed over at the show's start because its bitmap is
    // missing, so that it shows nothing in this show: the worker makes the
    // bitmap again from the folder's next picture (in the kept order, else
    // a listing's) and writes it and the library file as soon as it is
    // made, so the next show starts on it. A folder that is gone or has no
    // usable picture gets nothing written. A slot given twice keeps the first.
    void healSlot(int slot, const std::string& folder, const std::string& bitmap);
    bool hasSlot(int slot) const;
    bool hasAnySlot() const { return !slots_.empty(); }
    // A picture memory that shows slot's pictures (in one or more of its
    // buffers), with up to ahead pictures prepared for it (at least 1); -1
    // when slot is no folder slot. Each view is given pictures of its own,
    // in the slot's order.
    int addView(int slot, Composer compose, std::size_t ahead = 1);

    // The show thread: the view's next prepared picture, moved into out
    // (true), and the worker is asked for another; false when none is ready.
    bool take(int view, PreparedPicture& out);

    // The worker: one piece of work (reading a library file, preparing one
    // picture, listing one folder); false when nothing is left to do until a
    // view takes a picture.
    bool step();
    // The worker's loop: steps, waiting while there is nothing to do, until
    // stop(), which also has a picture being decoded given up.
    void run();
    void stop();

    // After the worker has ended: each folder slot's bitmap gets the picture
    // last taken for it (none taken: left as it is), and its library file the
    // order, how far it has come and that picture. False when a write failed.
    bool writeAtEnd();

    // Told each moment of the worker's work ("listing", "listed", "preparing",
    // "prepared", "skipped") with the slot and the picture's name or the
    // listing's size; for the benchmarks' debug lines. Set before run().
    using Moments = std::function<void(const char* moment, int slot, const std::string& detail)>;
    void setMoments(Moments moments) { moments_ = std::move(moments); }

    // For tests and benchmarks.
    std::size_t listedCount(int slot) const;
    const FolderOrder* order(int slot) const;

private:
    struct Slot {
        int number = 0;
        std::string folder;
        std::string bitmap;
        // The worker's own, until it has ended.
        FolderPictures pictures;
        bool restored = false;
        bool listed = false;
        bool dry = false;  // a round's worth of tries gave nothing: wait for the listing
        std::size_t listedCount = 0;
        std::size_t restoredPosition = 0;
        std::string restoredCurrent;
        int round = 0;  // rounds begun since the show started
        // Shared with the show thread (under the mutex): the picture last
        // taken and where it stood in the order.
        std::shared_ptr<const Image> shown;
        std::string shownName;
        int shownRound = 0;
        // A slot to heal (see healSlot), whether that was tried, and the
        // picture its bitmap was healed with (the worker's).
        bool heal = false;
        bool healTried = false;
        std::shared_ptr<const Image> healedWith;
    };
    struct View {
        std::size_t slot = 0;  // index into slots_
        Composer compose;
        std::size_t ahead = 1;
        // Oldest first, each with the round it was drawn in.
        std::deque<std::pair<PreparedPicture, int>> ready;
    };

    Slot* findSlot(int number);
    void restore(Slot& slot);
    void list(Slot& slot);
    void heal(Slot& slot);
    const PictureExtensions& pictureExtensions();
    // Prepares the slot's next picture for view; false when the slot has none.
    bool prepare(Slot& slot, View& view);
    // The first view waiting for a picture of a slot that may give one, or
    // nullptr; under the mutex.
    View* waitingView();
    // Whether a view of the slot (an index into slots_) holds a prepared
    // picture; under the mutex.
    bool roundPending(std::size_t slot) const;
    LibraryState endState(const Slot& slot, bool shownWritten) const;
    // The rounds the slot's order has begun in this show.
    static int roundOf(const Slot& slot);

    const Variant& variant_;
    FilesPort& files_;
    FolderPort& folders_;
    PictureDecoderPort& decoder_;
    RandomSource& random_;
    const std::string userFolder_;
    const int screenHeight_;
    PictureExtensions extensions_;
    Moments moments_;
    bool extensionsRead_ = false;

    std::vector<Slot> slots_;
    std::vector<View> views_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    // Set with stopping_, for the decoder to look at while it works.
    std::atomic<bool> stopFlag_{false};
};

}  // namespace qv
