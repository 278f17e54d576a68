#include "show/MusicPlayer.h"

#include <cstdint>
#include <optional>
#include <utility>

namespace qv {

MusicPlayer::MusicPlayer(std::unique_ptr<MusicGraphPort> graph) : graph_(std::move(graph)) {}

MusicPlayer::~MusicPlayer() { releaseGraph(); }

void MusicPlayer::releaseGraph() {
    if (!built_) return;
    graph_->stop();
    graph_->release();
    built_ = false;
    rangeKnown_ = false;
}

void MusicPlayer::Play(const std::string& path) {
    Build(path);
    Run();
}

void MusicPlayer::Build(const std::string& path) {
    path_ = path;
    // A second Play starts over with a graph of its own.
    releaseGraph();
    if (!graph_ || !graph_->create()) return;
    built_ = true;
    // A file that is missing or that the graph cannot play leaves nothing to
    // run, so the graph goes at once rather than sit half-built.
    if (mediaFailed(graph_->renderFile(path_))) {
        releaseGraph();
        return;
    }
    // A graph may report no range, or an empty one (Wine's gives 0 to 0);
    // a stop position taken from that would end the track where it starts.
    earliest_ = 0;
    latest_ = 0;
    rangeKnown_ = !mediaFailed(graph_->getAvailable(earliest_, latest_)) && latest_ > earliest_;
    if (!rangeKnown_) earliest_ = 0;
}

void MusicPlayer::SetVolume(long volume) {
    if (built_) graph_->setVolume(volume);
}

void MusicPlayer::PollEvent() {
    if (!built_) return;
    long code = 0;
    std::intptr_t param1 = 0;
    std::intptr_t param2 = 0;
    // No event within the wait: nothing was taken, so nothing is freed.
    if (mediaFailed(graph_->getEvent(code, param1, param2, kEventWaitMs))) return;
    graph_->freeEventParams(code, param1, param2);
    // The graph keeps running at the end of the track, so moving back to the
    // start plays it again; without a range, from 0 to the end it has.
    if (code == kMediaEventComplete)
        graph_->setPositions(earliest_, rangeKnown_ ? std::optional<MediaTime>(latest_) : std::nullopt);
}

void MusicPlayer::Stop() {
    if (built_) graph_->stop();
}

void MusicPlayer::Run() {
    if (built_) graph_->run();
}

}  // namespace qv
