// The scene rules the show window and the preview share: what ends the play,
// when the renderer goes, and the scene timer's delays.
#include "show/ScenePlayback.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "scene/SceneEngine.h"

namespace qv {
namespace {

// A renderer that answers as told and says when it is gone.
struct Player : ScenePlayer {
    long startResult = 0;
    int nextTime = 0;
    int movesTo = 0;  // the next time after a scene was built; 0: it never moves
    bool loseOnDraw = false;
    bool lost = false;
    bool presents = true;  // a drawn frame reaches the screen
    int steps = 0, draws = 0, invalidations = 0;
    std::vector<double> advancedAt;
    std::vector<int> stepsAtAdvance;  // layer steps taken before each build
    bool* gone;

    explicit Player(bool* goneFlag) : gone(goneFlag) {}
    ~Player() override { *gone = true; }
    long startShow(int) override { return startResult; }
    int advanceScenes(double& sceneTime) override {
        advancedAt.push_back(sceneTime);
        stepsAtAdvance.push_back(steps);
        if (movesTo != 0 && sceneTime * 1000 + 10 >= nextTime) nextTime = movesTo;
        return 0;
    }
    void stepLayers() override { ++steps; }
    int nextSceneTime() const override { return nextTime; }
    bool drawFrame() override {
        ++draws;
        if (loseOnDraw) lost = true;
        return !lost && presents;
    }
    bool deviceLost() const override { return lost; }
    void invalidate() override { ++invalidations; }
    bool prepareAhead() override { return false; }
};

TEST(ScenePlayback, OnlyTheGenericFailureEndsTheStartAndTheRendererGoesWithTheEnd) {
    struct Row {
        long startResult;
        bool plays;
    } const rows[] = {
        {0, true},
        {kGenericFailure, false},                    // no scene script
        {-2005530516L, true},                        // D3DERR_INVALIDCALL from a transform
        {-2147024882L, true},                        // out of memory in a transform
    };
    for (const Row& row : rows) {
        bool gone = false;
        auto player = std::make_unique<Player>(&gone);
        player->startResult = row.startResult;
        ScenePlayback playback;
        EXPECT_EQ(playback.start(std::move(player), 5), row.plays) << row.startResult;
        EXPECT_EQ(playback.playing(), row.plays) << row.startResult;
        EXPECT_EQ(gone, !row.plays) << row.startResult;  // let go at once, not at process end
        EXPECT_EQ(playback.firstSceneDelay(), row.plays ? ScenePlayback::kShortestTimerMs : 0u);
    }
}

TEST(ScenePlayback, ADeviceLostInPresentingEndsThePlayAndFreesTheRenderer) {
    bool gone = false;
    auto owned = std::make_unique<Player>(&gone);
    Player& player = *owned;
    ScenePlayback playback;
    ASSERT_TRUE(playback.start(std::move(owned), 5));
    EXPECT_TRUE(playback.drawFrame());
    EXPECT_EQ(player.draws, 1);
    player.loseOnDraw = true;
    EXPECT_FALSE(playback.drawFrame());
    EXPECT_TRUE(gone);
    EXPECT_FALSE(playback.playing());
    // The timers still queued find nothing to do.
    EXPECT_FALSE(playback.drawFrame());
    EXPECT_EQ(playback.onSceneTimer(), 0u);
    playback.step(2);
}

TEST(ScenePlayback, TheSceneTimerWaitsForTheNextSceneOnTheClock) {
    // Next scene at 2 s. First arming: 2000 ms. After 30 ticks (1.5 s) the
    // timer asks again: 500 ms. A first scene due within the first second
    // (next scene time 0) still gets the shortest timer; after that, 0 arms
    // nothing.
    struct Row {
        int nextSceneMs;
        int ticksBeforeTimer;
        std::uint32_t first;
        std::uint32_t afterTimer;
    } const rows[] = {
        {2000, 30, 2000, 500},
        {2000, 39, 2000, 50},
        {0, 0, ScenePlayback::kShortestTimerMs, 0},
        {5, 0, ScenePlayback::kShortestTimerMs, 5},
    };
    for (const Row& row : rows) {
        bool gone = false;
        auto owned = std::make_unique<Player>(&gone);
        Player& player = *owned;
        player.nextTime = row.nextSceneMs;
        ScenePlayback playback;
        ASSERT_TRUE(playback.start(std::move(owned), 5));
        EXPECT_EQ(playback.firstSceneDelay(), row.first) << row.nextSceneMs;
        playback.step(row.ticksBeforeTimer);
        EXPECT_EQ(player.steps, row.ticksBeforeTimer);
        EXPECT_EQ(playback.onSceneTimer(), row.afterTimer) << row.nextSceneMs << " " << row.ticksBeforeTimer;
        ASSERT_EQ(player.advancedAt.size(), 1u);
        EXPECT_FLOAT_EQ(static_cast<float>(player.advancedAt[0]), row.ticksBeforeTimer * 0.05f);
        EXPECT_EQ(player.invalidations, 1);  // a built scene is drawn
    }
}

TEST(ScenePlayback, OnlyATimerThatBuiltASceneAsksForItsFrameAtOnce) {
    // Next scene at 2.01 s, then 4 s: the timer at 1.5 s builds nothing, at
    // 2 s the scene (0.01 s early counts; no tick reaches 2.01 s before 2.05 s).
    struct Row {
        int ticks;
        bool built;
    } const rows[] = {{30, false}, {40, true}};
    for (const Row& row : rows) {
        bool gone = false;
        auto owned = std::make_unique<Player>(&gone);
        owned->nextTime = 2010;
        owned->movesTo = 4000;
        ScenePlayback playback;
        ASSERT_TRUE(playback.start(std::move(owned), 5));
        playback.step(row.ticks);
        playback.onSceneTimer();
        EXPECT_EQ(playback.sceneBuilt(), row.built) << row.ticks;
    }
}

TEST(ScenePlayback, TheTickThatReachesAWaitingSceneBuildsItBeforeTheLayersMove) {
    // After `before` ticks the timer fires and sees the next scene; the ticks
    // then go on. A scene at 0.5 s is built by tick 10, after 9 layer steps,
    // and the timer is armed again for the one after it at 2 s: 1500 ms.
    struct Row {
        int before, nextMs, movesTo, ticks;
        int builtAtSteps;  // -1: no tick builds
        std::optional<std::uint32_t> rearm;
    } const rows[] = {
        {0, 500, 2000, 12, 9, 1500u},
        {0, 510, 2000, 12, 10, 1450u},       // due between ticks: the tick after it builds
        {0, 500, 2000, 9, -1, std::nullopt},  // not reached yet
        {4, 100, 0, 10, -1, std::nullopt},    // the timer found it past and stopped
    };
    for (const Row& row : rows) {
        bool gone = false;
        auto owned = std::make_unique<Player>(&gone);
        Player& player = *owned;
        ScenePlayback playback;
        ASSERT_TRUE(playback.start(std::move(owned), 5));
        playback.step(row.before);
        player.nextTime = row.nextMs;
        player.movesTo = row.movesTo;
        playback.onSceneTimer();
        EXPECT_EQ(playback.step(row.ticks), row.rearm) << row.nextMs << " " << row.ticks;
        EXPECT_EQ(player.steps, row.before + row.ticks);
        const std::vector<int> builds = row.builtAtSteps < 0 ? std::vector<int>{row.before}
                                                             : std::vector<int>{row.before, row.builtAtSteps};
        EXPECT_EQ(player.stepsAtAdvance, builds) << row.nextMs << " " << row.ticks;
    }
}

TEST(ScenePlayback, SceneTimesCountFromTheFirstFrameOnTheScreen) {
    // Ticks before the first frame, whether it reached the screen, ticks
    // until a second frame and after it: the scene time the timer then hands
    // to the engine.
    struct Row {
        int before;
        bool presents;
        int between, after;
        float sceneTime;
    } const rows[] = {
        {3, true, 4, 2, 0.30f},   // the three ticks of the start do not count
        {0, true, 4, 2, 0.30f},
        {3, false, 4, 2, 0.45f},  // nothing on screen yet: the clock runs on from the start
    };
    for (const Row& row : rows) {
        bool gone = false;
        auto owned = std::make_unique<Player>(&gone);
        Player& player = *owned;
        player.nextTime = 5000;
        player.presents = row.presents;
        ScenePlayback playback;
        ASSERT_TRUE(playback.start(std::move(owned), 5));
        playback.step(row.before);
        playback.drawFrame();
        playback.step(row.between);
        playback.drawFrame();  // a later frame leaves the clock alone
        playback.step(row.after);
        playback.onSceneTimer();
        ASSERT_EQ(player.advancedAt.size(), 1u);
        EXPECT_FLOAT_EQ(static_cast<float>(player.advancedAt[0]), row.sceneTime) << row.before;
    }
}

}  // namespace
}  // namespace qv
