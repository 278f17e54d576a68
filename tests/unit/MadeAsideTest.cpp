// A value made on a thread of its own: ready or not without waiting, or
// waited for, handed over once; when the owner goes first, waited for or
// let go on its own thread, as the owner chose.
#include "render/MadeAside.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace qv {
namespace {

using namespace std::chrono_literals;

// Tells whoever waits on its future when it is destroyed, and on which thread.
struct Watched {
    explicit Watched(int v) : value(v) {}
    ~Watched() { gone.set_value(std::this_thread::get_id()); }
    Watched(const Watched&) = delete;
    Watched& operator=(const Watched&) = delete;
    int value;
    std::promise<std::thread::id> gone;
};

TEST(MadeAsideTest, LookedAtWithoutWaitingAndHandedOverOnce) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    MadeAside<std::unique_ptr<int>> aside([released] {
        released.wait();
        return std::make_unique<int>(7);
    });
    // Still being made: nothing to take, and a short wait gives up.
    EXPECT_FALSE(aside.ready());
    EXPECT_EQ(aside.take(), nullptr);
    EXPECT_FALSE(aside.waitFor(20ms));
    release.set_value();
    ASSERT_TRUE(aside.waitFor(10s));
    EXPECT_TRUE(aside.ready());
    const std::unique_ptr<int> value = aside.take();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(*value, 7);
    EXPECT_EQ(aside.take(), nullptr);
}

TEST(MadeAsideTest, AnOwnerGoneFirstLeavesTheValueToItsThread) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::future<std::thread::id> gone;
    std::promise<std::thread::id> maker;
    std::future<std::thread::id> madeOn = maker.get_future();
    std::atomic<bool> releasedInTime{false};
    {
        auto watched = std::make_unique<Watched>(3);
        gone = watched->gone.get_future();
        auto* handOver = watched.release();
        MadeAside<std::unique_ptr<Watched>> aside([released, handOver, &maker, &releasedInTime] {
            maker.set_value(std::this_thread::get_id());
            // Released only after the owner is gone: a destruction that
            // waited for the making would let this time out.
            releasedInTime = released.wait_for(10s) == std::future_status::ready;
            return std::unique_ptr<Watched>(handOver);
        });
        // The owner goes while the making still waits: it must not wait.
    }
    release.set_value();
    // The value made after its owner went is destroyed on the thread that made it.
    ASSERT_EQ(gone.wait_for(20s), std::future_status::ready);
    EXPECT_TRUE(releasedInTime.load());
    ASSERT_EQ(madeOn.wait_for(0s), std::future_status::ready);
    const std::thread::id thread = madeOn.get();
    EXPECT_EQ(gone.get(), thread);
    EXPECT_NE(thread, std::this_thread::get_id());
}

TEST(MadeAsideTest, AnOwnerThatWaitsGetsTheValueOnceAfterItIsMade) {
    struct Case {
        const char* name;
        int delayMs;              // how long the making takes
        int takes;                // takeWhenMade() calls
        std::vector<int> values;  // what each gives; 0 for an empty value
    };
    const Case cases[] = {
        // Handed over once, as a value looked at without waiting is.
        {"taken three times while being made", 60, 3, {7, 0, 0}},
        {"never taken", 60, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::atomic<bool> made{false};
        std::thread::id maker;
        std::vector<int> values;
        {
            MadeAside<std::unique_ptr<int>> ahead(
                [&] {
                    maker = std::this_thread::get_id();
                    std::this_thread::sleep_for(std::chrono::milliseconds(c.delayMs));
                    made = true;
                    return std::make_unique<int>(7);
                },
                MadeAside<std::unique_ptr<int>>::AtEnd::Wait);
            for (int i = 0; i < c.takes; ++i) {
                const std::unique_ptr<int> value = ahead.takeWhenMade();
                // A value comes only once the making has ended.
                if (value) {
                    EXPECT_TRUE(made.load());
                }
                values.push_back(value ? *value : 0);
            }
        }
        EXPECT_EQ(values, c.values);
        // The destruction waited for the making, and it ran on another thread.
        EXPECT_TRUE(made.load());
        EXPECT_NE(maker, std::this_thread::get_id());
    }
}

}  // namespace
}  // namespace qv
