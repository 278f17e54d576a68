#pragma once
// A media graph for tests: it plays nothing, records every call in order,
// fails where the test says, and hands out the events the test queues. The
// state lives with the test, so it outlasts the player that owns the graph.
#include <deque>
#include <string>
#include <vector>

#include "ports/MusicGraphPort.h"

namespace qv {

struct FakeMusicGraphState {
    // What the graph does.
    bool createSucceeds = true;
    long renderResult = kMediaOk;
    long availableResult = kMediaOk;
    MediaTime earliest = 0;
    MediaTime latest = 0;
    std::deque<long> events;  // event codes waiting to be taken

    // What was done to it: "create", "render PATH", "available", "run",
    // "stop", "event 4" (a wait of 4 ms that took one), "wait 4" (a wait
    // that found none), "free 1", "seek 0 10000000" (or "seek 0 end" with the stop
    // position left as it was), "volume -1200",
    // "release".
    std::vector<std::string> calls;
    int live = 0;             // graphs made and not yet released
    int callsWithoutGraph = 0;  // calls on a graph that was not there
};

class FakeMusicGraph : public MusicGraphPort {
public:
    explicit FakeMusicGraph(FakeMusicGraphState& state) : s_(state) {}

    bool create() override {
        s_.calls.push_back("create");
        if (!s_.createSucceeds) return false;
        ++s_.live;
        return true;
    }
    long renderFile(const std::string& path) override { return call("render " + path, s_.renderResult); }
    long getAvailable(MediaTime& earliest, MediaTime& latest) override {
        const long result = call("available", s_.availableResult);
        if (!mediaFailed(result)) {
            earliest = s_.earliest;
            latest = s_.latest;
        }
        return result;
    }
    long run() override { return call("run", kMediaOk); }
    long stop() override { return call("stop", kMediaOk); }
    long getEvent(long& code, std::intptr_t& param1, std::intptr_t& param2, long timeoutMs) override {
        if (s_.events.empty()) return call("wait " + std::to_string(timeoutMs), kMediaTimeout);
        code = s_.events.front();
        s_.events.pop_front();
        param1 = 0;
        param2 = 0;
        return call("event " + std::to_string(timeoutMs), kMediaOk);
    }
    long freeEventParams(long code, std::intptr_t, std::intptr_t) override {
        return call("free " + std::to_string(code), kMediaOk);
    }
    long setPositions(MediaTime current, std::optional<MediaTime> stop) override {
        return call("seek " + std::to_string(current) + " " + (stop ? std::to_string(*stop) : "end"), kMediaOk);
    }
    long setVolume(long volume) override { return call("volume " + std::to_string(volume), kMediaOk); }
    void release() override {
        call("release", kMediaOk);
        if (s_.live > 0) --s_.live;
    }

private:
    long call(const std::string& what, long result) {
        s_.calls.push_back(what);
        if (s_.live == 0) ++s_.callsWithoutGraph;
        return result;
    }

    FakeMusicGraphState& s_;
};

}  // namespace qv
