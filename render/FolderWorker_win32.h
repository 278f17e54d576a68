#pragma once
// The show's folder worker (Windows builds only): the process's one
// FolderSlotPictures on the file system and the system's picture decoder,
// worked by one background thread at the lowest priority, in background
// mode for its disk reads, with COM for the decoder. The show windows share
// it: each window's picture memory takes its folder pictures from it.
#include <memory>
#include <string>

#include "image/JpegFirstDecoder.h"
#include "library/RandomSource.h"
#include "platform/win32/WicDecoder.h"
#include "platform/win32/Win32Folders.h"
#include "platform/win32/Win32Worker.h"
#include "ports/FilesPort.h"
#include "render/FolderSlotPictures.h"
#include "variant/Variant.h"

namespace qv::win {

class FolderWorker {
public:
    // userFolder: the per-user picture folder (ending with a backslash).
    // files outlives the worker.
    FolderWorker(const Variant& variant, FilesPort& files, const std::string& userFolder, int screenHeight);
    // Stops the thread without writing anything.
    ~FolderWorker();
    FolderWorker(const FolderWorker&) = delete;
    FolderWorker& operator=(const FolderWorker&) = delete;

    // For the picture memories, before start().
    FolderSlotPictures& pictures() { return pictures_; }
    // Starts the thread once the memories have their views; nothing when
    // no slot is a folder, or when it has started or finished already.
    void start();
    // The end of the show: stops the thread (a picture being decoded is
    // given up) and writes each folder slot's bitmap and library file.
    // Once; later calls do nothing.
    void finish();

private:
    void stopThread();

    Win32Folders folders_;
    WicDecoder wic_;
    // JPEGs shrunk in our own decoder, the rest through WIC.
    JpegFirstDecoder decoder_;
    SeededRandom random_;
    FolderSlotPictures pictures_;
    std::unique_ptr<Worker> thread_;
    bool finished_ = false;
};

}  // namespace qv::win
