#pragma once
// A media graph for tests: it plays nothing, records every call in order,
// fails where the test says, and hands out the events the test queues. The
// state lives with the test, so it outlasts the player that owns the graph.
// A graph used on another thread records under the state's lock; the test
// reads with calledSoFar and waitForCalls.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
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
    // Called as the file is rendered, before anything is recorded: a test
    // holds the build there.
    std::function<void()> renderGate;

    // What was done to it: "create", "render PATH", "available", "run",
    // "stop", "event 4" (a wait of 4 ms that took one), "wait 4" (a wait
    // that found none), "free 1", "seek 0 10000000" (or "seek 0 end" with the stop
    // position left as it was), "volume -1200",
    // "release".
    std::vector<std::string> calls;
    int live = 0;             // graphs made and not yet released
    int callsWithoutGraph = 0;  // calls on a graph that was not there

    std::vector<std::string> calledSoFar() {
        const std::lock_guard<std::mutex> hold(lock);
        return calls;
    }
    // Waits until count calls are recorded (at most 5 s); true when they are.
    bool waitForCalls(std::size_t count) {
        std::unique_lock<std::mutex> hold(lock);
        return recorded.wait_for(hold, std::chrono::seconds(5), [&] { return calls.size() >= count; });
    }

    std::mutex lock;
    std::condition_variable recorded;
};

class FakeMusicGraph : public MusicGraphPort {
public:
    explicit FakeMusicGraph(FakeMusicGraphState& state) : s_(state) {}

    bool create() override {
        const std::lock_guard<std::mutex> hold(s_.lock);
        s_.calls.push_back("create");
        s_.recorded.notify_all();
        if (!s_.createSucceeds) return false;
        ++s_.live;
        return true;
    }
    long renderFile(const std::string& path) override {
        if (s_.renderGate) s_.renderGate();
        return call("render " + path, s_.renderResult);
    }
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
        bool taken = false;
        {
            const std::lock_guard<std::mutex> hold(s_.lock);
            if (!s_.events.empty()) {
                taken = true;
                code = s_.events.front();
                s_.events.pop_front();
            }
        }
        if (!taken) return call("wait " + std::to_string(timeoutMs), kMediaTimeout);
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
        const std::lock_guard<std::mutex> hold(s_.lock);
        if (s_.live > 0) --s_.live;
    }

private:
    long call(const std::string& what, long result) {
        const std::lock_guard<std::mutex> hold(s_.lock);
        s_.calls.push_back(what);
        s_.recorded.notify_all();
        if (s_.live == 0) ++s_.callsWithoutGraph;
        return result;
    }

    FakeMusicGraphState& s_;
};

}  // namespace qv
