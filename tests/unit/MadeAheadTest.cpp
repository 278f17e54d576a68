// A value made on a thread of its own: handed over once, waited for when it
// is not ready, and waited for by the destruction when never taken.
#include "render/MadeAhead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace qv {
namespace {

TEST(MadeAheadTest, HandsTheValueOverOnceAfterItIsMade) {
    struct Case {
        const char* name;
        int delayMs;              // how long the making takes
        int takes;                // take() calls
        std::vector<int> values;  // what each gives; 0 for an empty value
    };
    const Case cases[] = {
        {"taken after it is made, twice", 0, 2, {7, 0}},
        {"taken while it is being made", 60, 1, {7}},
        {"taken three times while being made", 60, 3, {7, 0, 0}},
        {"never taken", 60, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::atomic<bool> made{false};
        std::thread::id maker;
        std::vector<int> values;
        {
            MadeAhead<std::unique_ptr<int>> ahead([&] {
                maker = std::this_thread::get_id();
                std::this_thread::sleep_for(std::chrono::milliseconds(c.delayMs));
                made = true;
                return std::make_unique<int>(7);
            });
            for (int i = 0; i < c.takes; ++i) {
                const std::unique_ptr<int> value = ahead.take();
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
