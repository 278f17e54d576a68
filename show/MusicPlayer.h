#pragma once
// The show's background music: the variant's music file played in a loop
// through one media graph. Every failure is silent; without a working graph
// the show simply has no music, and no call reaches a graph that is not
// there.
#include <memory>
#include <string>

#include "ports/MusicGraphPort.h"
#include "show/MusicControl.h"

namespace qv {

class MusicPlayer : public MusicControl {
public:
    // The volume the show plays at: 12 dB below full.
    static constexpr long kShowVolume = -1200;
    // The longest PollEvent waits for an event, in milliseconds.
    static constexpr long kEventWaitMs = 4;

    explicit MusicPlayer(std::unique_ptr<MusicGraphPort> graph);
    // Stops and releases a graph that was built.
    ~MusicPlayer() override;
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // Builds the graph for the file and runs it. A graph that cannot be made
    // whole, or a file it cannot play, leaves the player without a graph.
    void Play(const std::string& path);
    // Play without the run: the graph stays stopped until Run.
    void Build(const std::string& path);
    void SetVolume(long volume);
    // Handles at most one pending event; at the track's end it starts the
    // track again from its earliest position.
    void PollEvent();
    void Stop() override;
    void Run() override;

    const std::string& path() const { return path_; }
    // A graph is built and playing (or stopped by Stop).
    bool hasGraph() const { return built_; }

private:
    void releaseGraph();

    std::unique_ptr<MusicGraphPort> graph_;
    std::string path_;
    bool built_ = false;
    bool rangeKnown_ = false;  // the seekable range was read and is not empty
    MediaTime earliest_ = 0;
    MediaTime latest_ = 0;
};

}  // namespace qv
