#include "show/MusicThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/fake/FakeMusicGraph.h"

namespace qv {
namespace {

using Calls = std::vector<std::string>;

// The calls without the waits that found no event, whose number depends on
// the thread's timing.
Calls withoutWaits(Calls calls) {
    calls.erase(std::remove_if(calls.begin(), calls.end(), [](const std::string& c) { return c.rfind("wait", 0) == 0; }),
                calls.end());
    return calls;
}

// The requests are made while the build is held in rendering the file;
// "settled" is what the graph has seen once the build is done and the
// thread has had time to act on them; Stop then Run then Stop follow, and
// the end.
TEST(MusicThread, RequestsMadeWhileTheGraphIsBuiltAreObeyedInOrderAndTheEndReleasesIt) {
    const long cannotRender = static_cast<long>(static_cast<std::int32_t>(0x80040218u));  // VFW_E_CANNOT_RENDER
    const Calls built = {"create", "render m.mp3", "available", "volume -1200"};
    const auto with = [&built](Calls more) {
        Calls all = built;
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };
    struct Case {
        const char* what;
        const char* whileBuilt;  // S stop, R run
        bool createSucceeds;
        long renderResult;
        bool trackEnds;  // the graph reports the track's end once
        Calls settled;
        Calls afterFirstStop;  // when Stop has returned
        Calls atEnd;           // after Run, Stop and the end
    };
    const Case cases[] = {
        {"nothing asked: it plays and loops at the track's end", "", true, kMediaOk, true,
         with({"run", "event 4", "free 1", "seek 0 end"}), with({"run", "event 4", "free 1", "seek 0 end", "stop"}),
         with({"run", "event 4", "free 1", "seek 0 end", "stop", "run", "stop", "stop", "release"})},
        {"a stop while building keeps it stopped", "S", true, kMediaOk, false, built, built,
         with({"run", "stop", "stop", "release"})},
        {"a stop then a run while building: it plays", "SR", true, kMediaOk, true,
         with({"run", "event 4", "free 1", "seek 0 end"}), with({"run", "event 4", "free 1", "seek 0 end", "stop"}),
         with({"run", "event 4", "free 1", "seek 0 end", "stop", "run", "stop", "stop", "release"})},
        {"no graph: nothing more is called", "SR", false, kMediaOk, false, {"create"}, {"create"}, {"create"}},
        {"no audio device: the graph goes at once", "", true, cannotRender, false,
         {"create", "render m.mp3", "stop", "release"}, {"create", "render m.mp3", "stop", "release"},
         {"create", "render m.mp3", "stop", "release"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMusicGraphState graph;
        graph.createSucceeds = c.createSucceeds;
        graph.renderResult = c.renderResult;
        if (c.trackEnds) graph.events = {1};
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        graph.renderGate = [released] { released.wait(); };
        int entered = 0;
        int left = 0;
        MusicThread music("m.mp3", -1200,
                          {[&entered] { return ++entered > 0; }, [&left] { ++left; },
                           [&graph] { return std::make_unique<FakeMusicGraph>(graph); }});
        for (const char* r = c.whileBuilt; *r; ++r) *r == 'S' ? music.Stop() : music.Run();
        release.set_value();
        // Past the calls expected, a wrong one would come at once; a tenth
        // of a second shows it.
        graph.waitForCalls(c.settled.size());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(withoutWaits(graph.calledSoFar()), c.settled);
        music.Stop();
        EXPECT_EQ(withoutWaits(graph.calledSoFar()), c.afterFirstStop);
        music.Run();
        // A graph there runs again before the next stop is asked.
        if (c.atEnd != c.afterFirstStop) graph.waitForCalls(graph.calledSoFar().size() + 1);
        music.Stop();
        music.end();
        EXPECT_EQ(withoutWaits(graph.calledSoFar()), c.atEnd);
        EXPECT_EQ(graph.live, 0);
        EXPECT_EQ(graph.callsWithoutGraph, 0);
        EXPECT_EQ(entered, 1);
        EXPECT_EQ(left, 1);
    }
}

}  // namespace
}  // namespace qv
