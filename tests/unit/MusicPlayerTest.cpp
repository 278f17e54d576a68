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
// Failures a real graph reports for a missing file and for one it cannot play.
const long kFileNotFound = static_cast<long>(static_cast<std::int32_t>(0x80070002u));
const long kCannotRender = static_cast<long>(static_cast<std::int32_t>(0x80040218u));

std::unique_ptr<MusicPlayer> playerOn(FakeMusicGraphState& graph) {
    return std::make_unique<MusicPlayer>(std::make_unique<FakeMusicGraph>(graph));
}

TEST(MusicPlayer, PlaysTheFileLoopsAtEachEndAndReleasesInOrder) {
    FakeMusicGraphState graph;
    // A 1 s track whose earliest seekable position is a quarter second in.
    graph.earliest = 2'500'000;
    graph.latest = 10'000'000;
    auto player = playerOn(graph);
    EXPECT_TRUE(graph.calls.empty());  // nothing before Play

    player->Play(kMusic);
    player->SetVolume(MusicPlayer::kShowVolume);
    EXPECT_EQ(graph.calls, (Calls{"create", "render " + kMusic, "available", "run", "volume -1200"}));
    EXPECT_TRUE(player->hasGraph());

    // Nothing pending: one wait of at most 4 ms, nothing freed or moved.
    graph.calls.clear();
    player->PollEvent();
    EXPECT_EQ(graph.calls, (Calls{"wait 4"}));

    // The end of the track, then some other event, then the end again: one
    // event per poll, each freed, and only the ends seek back.
    graph.events = {1, 13, 1};
    graph.calls.clear();
    player->PollEvent();
    player->PollEvent();
    player->PollEvent();
    EXPECT_EQ(graph.calls, (Calls{"event 4", "free 1", "seek 2500000 10000000", "event 4", "free 13",
                                  "event 4", "free 1", "seek 2500000 10000000"}));

    // Around a power check.
    graph.calls.clear();
    player->Stop();
    player->Run();
    EXPECT_EQ(graph.calls, (Calls{"stop", "run"}));

    graph.calls.clear();
    player.reset();
    EXPECT_EQ(graph.calls, (Calls{"stop", "release"}));
    EXPECT_EQ(graph.live, 0);
    EXPECT_EQ(graph.callsWithoutGraph, 0);
}

TEST(MusicPlayer, WithoutAWholeGraphOrAPlayableFileTheShowIsSilentAndNothingIsLeft) {
    // No graph, or one of its interfaces missing: the adapter makes nothing.
    // A missing file, or one no filter renders: the graph goes again at once.
    struct Case {
        const char* what;
        bool createSucceeds;
        long renderResult;
        Calls atPlay;
    };
    const Case cases[] = {
        {"no graph", false, kMediaOk, {"create"}},
        {"missing file", true, kFileNotFound, {"create", "render " + kMusic, "stop", "release"}},
        {"unplayable file", true, kCannotRender, {"create", "render " + kMusic, "stop", "release"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMusicGraphState graph;
        graph.createSucceeds = c.createSucceeds;
        graph.renderResult = c.renderResult;
        graph.events = {1};
        auto player = playerOn(graph);
        player->Play(kMusic);
        EXPECT_EQ(graph.calls, c.atPlay);
        EXPECT_FALSE(player->hasGraph());
        EXPECT_EQ(player->path(), kMusic);
        // Everything the show does later reaches no graph.
        graph.calls.clear();
        player->SetVolume(MusicPlayer::kShowVolume);
        player->PollEvent();
        player->Stop();
        player->Run();
        player.reset();
        EXPECT_TRUE(graph.calls.empty());
        EXPECT_EQ(graph.live, 0);
        EXPECT_EQ(graph.callsWithoutGraph, 0);
    }
}

TEST(MusicPlayer, WithoutARangeTheTrackLoopsFromZeroToItsEnd) {
    // No range (the query fails), or an empty one as Wine's graph reports
    // (0 to 0): a stop position of 0 would end each loop where it starts, so
    // only the start is set and the track still plays to its end.
    for (const bool queryFails : {true, false}) {
        SCOPED_TRACE(queryFails ? "no range" : "empty range");
        FakeMusicGraphState graph;
        graph.availableResult = queryFails ? kMediaFail : kMediaOk;
        graph.earliest = 0;
        graph.latest = 0;
        auto player = playerOn(graph);
        player->Play(kMusic);
        EXPECT_EQ(graph.calls, (Calls{"create", "render " + kMusic, "available", "run"}));
        graph.events = {1, 1};
        graph.calls.clear();
        player->PollEvent();
        player->PollEvent();
        EXPECT_EQ(graph.calls, (Calls{"event 4", "free 1", "seek 0 end", "event 4", "free 1", "seek 0 end"}));
    }
}

TEST(MusicPlayer, ASecondPlayReleasesTheFirstGraphAndTakesTheNewRange) {
    FakeMusicGraphState graph;
    graph.latest = 10'000'000;
    auto player = playerOn(graph);
    player->Play(kMusic);
    graph.latest = 20'000'000;
    graph.calls.clear();
    player->Play("C:\\other.mp3");
    EXPECT_EQ(graph.calls, (Calls{"stop", "release", "create", "render C:\\other.mp3", "available", "run"}));
    EXPECT_EQ(graph.live, 1);
    graph.events = {1};
    graph.calls.clear();
    player->PollEvent();
    EXPECT_EQ(graph.calls, (Calls{"event 4", "free 1", "seek 0 20000000"}));
}

}  // namespace
}  // namespace qv
