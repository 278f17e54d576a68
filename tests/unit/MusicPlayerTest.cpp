#include "show/MusicPlayer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/fake/FakeMusicGraph.h"

namespace qv {
namespace {

using Calls = std::vector<std::string>;

const std::string kMusic = "C:\\WINDOWS\\SYSTEM32\\QUORvelkbsrc\\SleepyTime.mp3";
const std::string kRender = "render " + kMusic;

std::unique_ptr<MusicPlayer> playerOn(FakeMusicGraphState& graph) {
    return std::make_unique<MusicPlayer>(std::make_unique<FakeMusicGraph>(graph));
}

TEST(MusicPlayer, PlaysLoopsAtEachEndPausesAndReleasesInOrder) {
    FakeMusicGraphState graph;
    graph.earliest = 2'500'000;  // a 1 s track seekable from a quarter second
    graph.latest = 10'000'000;
    auto player = playerOn(graph);
    player->Play(kMusic);
    player->SetVolume(MusicPlayer::kShowVolume);
    // Nothing pending: one wait of at most 4 ms. Then the track's end, some
    // other event, the end again: one event per poll, each freed, and only
    // the ends seek back.
    graph.events = {};
    player->PollEvent();
    graph.events = {1, 13, 1};
    for (int i = 0; i < 3; ++i) player->PollEvent();
    player->Stop();
    player->Run();
    player.reset();
    EXPECT_EQ(graph.calls, (Calls{"create", kRender, "available", "run", "volume -1200", "wait 4", "event 4",
                                  "free 1", "seek 2500000 10000000", "event 4", "free 13", "event 4", "free 1",
                                  "seek 2500000 10000000", "stop", "run", "stop", "release"}));
    EXPECT_EQ(graph.live, 0);
    EXPECT_EQ(graph.callsWithoutGraph, 0);
}

TEST(MusicPlayer, WithoutAWholeGraphOrAPlayableFileNothingIsLeftAndNothingIsCalled) {
    const long fileNotFound = static_cast<long>(static_cast<std::int32_t>(0x80070002u));
    const long cannotRender = static_cast<long>(static_cast<std::int32_t>(0x80040218u));  // VFW_E_CANNOT_RENDER
    struct Case {
        const char* what;
        bool createSucceeds;
        long renderResult;
        Calls calls;
    };
    const Case cases[] = {
        {"no graph or an interface missing", false, kMediaOk, {"create"}},
        {"missing file", true, fileNotFound, {"create", kRender, "stop", "release"}},
        {"unplayable file or no audio device", true, cannotRender, {"create", kRender, "stop", "release"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMusicGraphState graph;
        graph.createSucceeds = c.createSucceeds;
        graph.renderResult = c.renderResult;
        graph.events = {1};
        auto player = playerOn(graph);
        player->Play(kMusic);
        EXPECT_FALSE(player->hasGraph());
        // Everything the show does later reaches no graph.
        player->SetVolume(MusicPlayer::kShowVolume);
        player->PollEvent();
        player->Stop();
        player->Run();
        player.reset();
        EXPECT_EQ(graph.calls, c.calls);
        EXPECT_EQ(graph.live, 0);
        EXPECT_EQ(graph.callsWithoutGraph, 0);
    }
}

TEST(MusicPlayer, WithoutARangeTheTrackLoopsFromZeroToItsEnd) {
    // No range, or an empty one as Wine's graph reports (0 to 0): a stop
    // position of 0 would end each loop where it starts, so only the start
    // is set. A second Play releases the first graph and takes the new range.
    FakeMusicGraphState graph;
    graph.availableResult = kMediaFail;
    auto player = playerOn(graph);
    player->Play(kMusic);
    graph.events = {1};
    player->PollEvent();
    graph.availableResult = kMediaOk;  // 0 to 0
    player->Play(kMusic);
    graph.events = {1};
    player->PollEvent();
    graph.latest = 20'000'000;
    player->Play(kMusic);
    graph.events = {1};
    player->PollEvent();
    EXPECT_EQ(graph.calls, (Calls{"create", kRender, "available", "run", "event 4", "free 1", "seek 0 end",
                                  "stop", "release", "create", kRender, "available", "run", "event 4", "free 1",
                                  "seek 0 end", "stop", "release", "create", kRender, "available", "run",
                                  "event 4", "free 1", "seek 0 20000000"}));
    EXPECT_EQ(graph.live, 1);
}

}  // namespace
}  // namespace qv
