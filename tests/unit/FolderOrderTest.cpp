#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "library/FolderOrder.h"
#include "tests/unit/FixedRandom.h"

namespace qv {
namespace {

std::vector<std::string> take(FolderOrder& order, RandomSource& random, std::size_t count) {
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < count; ++i) shown.push_back(order.next(random).value_or("<none>"));
    return shown;
}

TEST(FolderOrder, EveryRoundShowsEachPictureOnceAndNeverOpensWithTheLastShown) {
    for (std::size_t size : {1u, 2u, 3u, 7u}) {
        std::vector<std::string> listing;
        for (std::size_t i = 0; i < size; ++i) listing.push_back("p" + std::to_string(i) + ".jpg");
        for (std::uint64_t seed = 1; seed <= 60; ++seed) {
            SeededRandom random(seed);
            FolderOrder order;
            order.update(listing, random);
            std::string last;
            for (int round = 0; round < 6; ++round) {
                const auto shown = take(order, random, size);
                EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()).size(), size)
                    << "size " << size << " seed " << seed << " round " << round;
                if (size > 1 && round > 0) {
                    EXPECT_NE(shown.front(), last) << size << " " << seed;
                }
                last = shown.back();
            }
        }
    }
}

TEST(FolderOrder, OrdersWorkedByHand) {
    // Draws of 0: each newcomer goes to the first free place, the one there
    // moves to the end; a new round's shuffle swaps every place with the
    // first, from the back.
    FixedRandom first(0);
    FolderOrder order;
    order.update({"a", "b", "c", "d"}, first);
    EXPECT_EQ(take(order, first, 4), (std::vector<std::string>{"d", "a", "b", "c"}));
    EXPECT_EQ(take(order, first, 4), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(take(order, first, 4), (std::vector<std::string>{"b", "c", "d", "a"}));

    // Two pictures: the shuffle would open the round with the one just shown
    // ([a, b] after "b a"); it changes places with the other.
    FolderOrder two;
    two.update({"a", "b"}, first);
    EXPECT_EQ(take(two, first, 6), (std::vector<std::string>{"b", "a", "b", "a", "b", "a"}));

    // Draws of the last place: the listing's own order and no shuffle. With
    // one picture left, it is all there is, round after round.
    FixedRandom last(1000);
    FolderOrder three;
    three.update({"a", "b", "c"}, last);
    EXPECT_EQ(take(three, last, 3), (std::vector<std::string>{"a", "b", "c"}));
    three.update({"c"}, last);
    EXPECT_EQ(take(three, last, 2), (std::vector<std::string>{"c", "c"}));  // one picture: nothing else
}

TEST(FolderOrder, APositionTakenBackGoesOnWhereTheLastShowStopped) {
    FixedRandom random(0);
    FolderOrder order;
    ASSERT_TRUE(order.restore({"c", "a", "b"}, 1, "c"));
    EXPECT_EQ(take(order, random, 2), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(order.position(), 3u);
    EXPECT_EQ(order.current(), "b");
    // Round over: [c, a, b] shuffled with draws of 0 is [a, b, c]; "b" was
    // last but "a" opens, so no swap.
    EXPECT_EQ(take(order, random, 3), (std::vector<std::string>{"a", "b", "c"}));

    // A round just finished is kept as finished: the next call starts anew.
    FolderOrder done;
    ASSERT_TRUE(done.restore({"x", "y"}, 2, "y"));
    EXPECT_EQ(done.next(random), "x");
}

TEST(FolderOrder, StoredStatesThatCannotBeTrustedAreRefused) {
    struct Case {
        const char* what;
        std::vector<std::string> round;
        std::size_t position;
        bool accepted;
    };
    const Case cases[] = {
        {"whole round", {"a", "b"}, 2, true},
        {"past the end", {"a", "b"}, 3, false},
        {"a picture twice", {"a", "b", "a"}, 0, false},
        {"an empty name", {"a", ""}, 0, false},
    };
    for (const auto& c : cases) {
        FolderOrder order;
        EXPECT_EQ(order.restore(c.round, c.position, "a"), c.accepted) << c.what;
        if (!c.accepted) {
            EXPECT_TRUE(order.empty()) << c.what;
            EXPECT_EQ(order.position(), 0u) << c.what;
        }
    }
}

TEST(FolderOrder, AddedPicturesJoinTheRoundRemovedOnesAreNeverShown) {
    FixedRandom random(0);
    FolderOrder order;
    ASSERT_TRUE(order.restore({"a", "b", "c", "d", "e"}, 2, "b"));
    // b and d gone, f new: [a | c e] keeps a as shown; f lands on the first
    // unshown place and c moves to the end: [a | f e c].
    order.update({"e", "a", "f", "c", "f"}, random);
    EXPECT_EQ(order.round(), (std::vector<std::string>{"a", "f", "e", "c"}));
    EXPECT_EQ(order.position(), 1u);
    EXPECT_EQ(take(order, random, 3), (std::vector<std::string>{"f", "e", "c"}));

    // With a random source: whatever was not shown yet and is still listed,
    // plus every newcomer, comes before any picture is shown again.
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        SeededRandom seeded(seed);
        FolderOrder o;
        std::vector<std::string> listing;
        for (int i = 0; i < 12; ++i) listing.push_back("old" + std::to_string(i));
        o.update(listing, seeded);
        const auto shown = take(o, seeded, 5);
        std::vector<std::string> changed;
        for (int i = 0; i < 12; i += 2) changed.push_back("old" + std::to_string(i));  // odd ones removed
        for (int i = 0; i < 4; ++i) changed.push_back("new" + std::to_string(i));
        o.update(changed, seeded);
        std::set<std::string> expected(changed.begin(), changed.end());
        for (const auto& s : shown) expected.erase(s);
        const auto rest = take(o, seeded, expected.size());
        EXPECT_EQ(std::set<std::string>(rest.begin(), rest.end()), expected) << seed;
    }

    // Everything removed: nothing to show, and an empty name is never listed.
    order.update({""}, random);
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(order.next(random), std::nullopt);
}

}  // namespace
}  // namespace qv
