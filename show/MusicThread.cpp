#include "show/MusicThread.h"

#include <chrono>
#include <system_error>
#include <utility>

#include "show/MusicPlayer.h"

namespace qv {

MusicThread::MusicThread(std::string path, long volume, Hooks hooks)
    : path_(std::move(path)), volume_(volume), hooks_(std::move(hooks)) {
    try {
        thread_ = std::thread([this] { work(); });
    } catch (const std::system_error&) {
        done_ = true;
    }
}

MusicThread::~MusicThread() { end(); }

void MusicThread::work() {
    const bool entered = hooks_.enter && hooks_.enter();
    {
        MusicPlayer player(hooks_.makeGraph ? hooks_.makeGraph() : nullptr);
        bool ending = false;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            ending = ending_;
        }
        // Built and given its volume before it first plays.
        if (!ending) {
            player.Build(path_);
            player.SetVolume(volume_);
        }
        if (player.hasGraph()) serve(player);
        // The player stops and releases its graph here.
    }
    if (entered && hooks_.leave) hooks_.leave();
    const std::lock_guard<std::mutex> lock(mutex_);
    playing_ = false;
    done_ = true;
    changed_.notify_all();
}

void MusicThread::serve(MusicPlayer& player) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!ending_) {
        if (wantRun_ && !playing_) {
            // Marked before the call: a stop asked meanwhile waits for it.
            playing_ = true;
            lock.unlock();
            player.Run();
            lock.lock();
        } else if (!wantRun_ && playing_) {
            lock.unlock();
            player.Stop();
            lock.lock();
            playing_ = false;
            changed_.notify_all();
        } else if (!changed_.wait_for(lock, std::chrono::milliseconds(kPollMs),
                                      [this] { return ending_ || wantRun_ != playing_; }) &&
                   playing_) {
            // No request within the wait: the graph's next event, if any.
            lock.unlock();
            player.PollEvent();
            lock.lock();
        }
    }
}

void MusicThread::Stop() {
    std::unique_lock<std::mutex> lock(mutex_);
    wantRun_ = false;
    changed_.notify_all();
    changed_.wait_for(lock, std::chrono::milliseconds(kStopWaitMs), [this] { return !playing_ || done_; });
}

void MusicThread::Run() {
    const std::lock_guard<std::mutex> lock(mutex_);
    wantRun_ = true;
    changed_.notify_all();
}

void MusicThread::end() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
        changed_.notify_all();
    }
    if (thread_.joinable()) thread_.join();
}

}  // namespace qv
