#pragma once
// The music graph port on a DirectShow filter graph (Windows builds only).
// COM must be initialised on the calling thread.
#include "ports/MusicGraphPort.h"

struct IGraphBuilder;
struct IMediaControl;
struct IMediaEvent;
struct IMediaSeeking;

namespace qv::win {

class DirectShowGraph : public MusicGraphPort {
public:
    DirectShowGraph() = default;
    ~DirectShowGraph() override;
    DirectShowGraph(const DirectShowGraph&) = delete;
    DirectShowGraph& operator=(const DirectShowGraph&) = delete;

    bool create() override;
    long renderFile(const std::string& path) override;
    long getAvailable(MediaTime& earliest, MediaTime& latest) override;
    long run() override;
    long stop() override;
    long getEvent(long& code, std::intptr_t& param1, std::intptr_t& param2, long timeoutMs) override;
    long freeEventParams(long code, std::intptr_t param1, std::intptr_t param2) override;
    long setPositions(MediaTime current, std::optional<MediaTime> stop) override;
    long setVolume(long volume) override;
    void release() override;

private:
    IGraphBuilder* graph_ = nullptr;
    IMediaControl* control_ = nullptr;
    IMediaEvent* events_ = nullptr;
    IMediaSeeking* seeking_ = nullptr;
};

}  // namespace qv::win
