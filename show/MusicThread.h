#pragma once
// The show's music on a thread of its own. Building a media graph takes a
// fifth of a second, and most of a second where no audio device answers;
// the show's frames go on meanwhile. The thread makes the player once, sets
// its volume, runs it unless a stop came first, and hands the graph's
// events to the player (the track's end starts it again) until the end is
// asked; then it stops and releases the graph before it ends. Every failure
// leaves the show silent and nothing else.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "ports/MusicGraphPort.h"
#include "show/MusicControl.h"

namespace qv {

class MusicPlayer;

class MusicThread : public MusicControl {
public:
    // How long the thread waits for a request between two looks at the
    // graph's events, in milliseconds.
    static constexpr int kPollMs = 25;
    // The longest Stop waits for the thread to stop a graph that plays.
    static constexpr int kStopWaitMs = 1000;

    struct Hooks {
        // Called first on the thread (the platform's apartment for the
        // graph); leave is called last, only when enter returned true.
        std::function<bool()> enter;
        std::function<void()> leave;
        // Makes the graph, on the thread; nullptr gives no music.
        std::function<std::unique_ptr<MusicGraphPort>()> makeGraph;
    };

    // Starts the thread for the file at the volume. Where no thread can be
    // started there is no music.
    MusicThread(std::string path, long volume, Hooks hooks);
    // Ends the thread as end() does.
    ~MusicThread() override;
    MusicThread(const MusicThread&) = delete;
    MusicThread& operator=(const MusicThread&) = delete;

    // Returns once a graph that played has stopped. A stop asked while the
    // graph is still being built leaves it stopped once built.
    void Stop() override;
    // Runs the graph, at once or as soon as it is built.
    void Run() override;
    // Asks for the end and waits for the thread: the graph is stopped and
    // released. A graph still being built is first built to its end, then
    // released without playing.
    void end();

private:
    void work();
    // Carries out the requests until the end is asked.
    void serve(MusicPlayer& player);

    const std::string path_;
    const long volume_;
    Hooks hooks_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool wantRun_ = true;
    bool ending_ = false;
    bool playing_ = false;  // the graph runs, or the thread is about to run it
    bool done_ = false;     // the thread has released everything
    std::thread thread_;
};

}  // namespace qv
