#include "render/FolderWorker_win32.h"

#include <windows.h>

#include <string>

namespace qv::win {

namespace {

// A different order of shuffles in every show.
std::uint64_t showSeed() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return (std::uint64_t(GetCurrentProcessId()) << 32) ^ std::uint64_t(counter.QuadPart) ^ GetTickCount64();
}

}  // namespace

FolderWorker::FolderWorker(const Variant& variant, FilesPort& files, const std::string& userFolder,
                           int screenHeight)
    : decoder_(files, wic_),
      random_(showSeed()),
      pictures_(variant, files, folders_, decoder_, random_, userFolder, screenHeight) {
    // Debug lines for the benchmarks, as the renderer's start-up moments;
    // nobody listens in a normal show.
    pictures_.setMoments([](const char* moment, int slot, const std::string& detail) {
        const std::string line =
            std::string("quorvelk: folder ") + moment + " " + std::to_string(slot) + " " + detail;
        OutputDebugStringA(line.c_str());
    });
}

FolderWorker::~FolderWorker() { stopThread(); }

void FolderWorker::start() {
    if (thread_ || finished_ || !pictures_.hasAnySlot()) return;
    thread_ = std::make_unique<Worker>();
    thread_->post([this] {
        // The show's frames come first, and the listing's disk reads must
        // not crowd out anyone's.
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
        const bool background = SetThreadPriority(GetCurrentThread(), THREAD_MODE_BACKGROUND_BEGIN) != 0;
        pictures_.run();
        if (background) SetThreadPriority(GetCurrentThread(), THREAD_MODE_BACKGROUND_END);
    });
}

void FolderWorker::stopThread() {
    pictures_.stop();
    thread_.reset();  // joins
}

void FolderWorker::finish() {
    if (finished_) return;
    finished_ = true;
    const bool started = thread_ != nullptr;
    stopThread();
    if (started) pictures_.writeAtEnd();
}

}  // namespace qv::win
