#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "library/FolderPictures.h"
#include "tests/unit/FixedRandom.h"

namespace qv {
namespace {

TEST(FolderPictures, UnusablePicturesAreTriedOncePerListingAndNeverShown) {
    SeededRandom random(5);
    FolderPictures pictures;
    pictures.takeListing({"a.jpg", "broken.jpg", "b.png", "empty.png", "c.gif"}, random);
    std::set<std::string> bad = {"broken.jpg", "empty.png"};
    std::map<std::string, int> tried;
    auto usable = [&](const std::string& name) {
        ++tried[name];
        return bad.count(name) == 0;
    };
    std::multiset<std::string> shown;
    for (int i = 0; i < 30; ++i) shown.insert(pictures.next(random, usable).value_or("<none>"));
    // Ten rounds of the three good ones; each bad one tried once.
    for (const char* good : {"a.jpg", "b.png", "c.gif"}) EXPECT_EQ(shown.count(good), 10u) << good;
    EXPECT_EQ(tried["broken.jpg"], 1);
    EXPECT_EQ(tried["empty.png"], 1);
    EXPECT_EQ(pictures.skippedCount(), 2u);

    // Mended since: the next listing gives it its chance again (eight asks
    // cover at least one whole round of four good ones).
    bad.erase("broken.jpg");
    pictures.takeListing({"a.jpg", "broken.jpg", "b.png", "empty.png", "c.gif"}, random);
    shown.clear();
    for (int i = 0; i < 8; ++i) shown.insert(pictures.next(random, usable).value_or("<none>"));
    EXPECT_GE(shown.count("broken.jpg"), 1u);
    EXPECT_EQ(shown.count("empty.png"), 0u);
    EXPECT_EQ(tried["empty.png"], 2);
}

TEST(FolderPictures, APicturePassedOverAtARoundsEdgeNeverLetsTheOneOnScreenFollowItself) {
    // Draws of 0: the listing a, b, c is ordered [c, a, b]; each new round is
    // the last one turned by a place ([c, a, b] -> [a, b, c]); a picture
    // that must not come next swaps with the place after it.
    struct Row {
        const char* what;
        const char* kept;     // a round read back with position 0, or nullptr: the listing
        const char* current;  // the picture on screen when the round was kept
        const char* bad;
        const char* shown;    // the pictures given, one a letter
    };
    const Row rows[] = {
        // c, a; b refused closes the round; [a, b, c] would open with a: a
        // swaps with b (known bad) and then with c.
        {"the round's last picture unusable", nullptr, "", "b", "cacacaca"},
        // c; a refused; b closes the round; [a, b, c] opens with the refused
        // a and then b: b swaps with c.
        {"the next round opening with an unusable picture", nullptr, "", "a", "cbcbcbc"},
        // The same across two shows: b was on screen when [a, b, c] was kept.
        {"a kept round opening with an unusable picture", "abc", "b", "a", "cbcb"},
        // Only a is left: it comes back, found within two rounds' tries.
        {"one usable picture", nullptr, "", "bc", "aaaa"},
    };
    for (const Row& row : rows) {
        FixedRandom first(0);
        FolderPictures pictures;
        if (row.kept) {
            std::vector<std::string> round;
            for (const char* c = row.kept; *c; ++c) round.emplace_back(1, *c);
            ASSERT_TRUE(pictures.order().restore(round, 0, row.current)) << row.what;
        } else {
            pictures.takeListing({"a", "b", "c"}, first);
        }
        const std::string bad = row.bad;
        const auto usable = [&](const std::string& name) { return bad.find(name) == std::string::npos; };
        std::string shown;
        for (std::size_t i = 0; i < std::string(row.shown).size(); ++i)
            shown += pictures.next(first, usable).value_or("-");
        EXPECT_EQ(shown, row.shown) << row.what;
        EXPECT_EQ(pictures.order().current(), std::string(1, shown.back())) << row.what;
    }
}

TEST(FolderPictures, AFolderWithNothingUsableGivesNothingAndStopsTrying) {
    SeededRandom random(9);
    FolderPictures pictures;
    EXPECT_EQ(pictures.next(random, [](const std::string&) { return true; }), std::nullopt);  // no listing
    pictures.takeListing({"x.jpg", "y.jpg", "z.jpg"}, random);
    int tries = 0;
    auto nothing = [&](const std::string&) {
        ++tries;
        return false;
    };
    EXPECT_EQ(pictures.next(random, nothing), std::nullopt);
    EXPECT_EQ(tries, 3);
    EXPECT_EQ(pictures.next(random, nothing), std::nullopt);
    EXPECT_EQ(tries, 3);  // all remembered: not read again
}

TEST(FolderPictures, AStopEndsTheDrawWithoutPassingOverTheRound) {
    SeededRandom random(3);
    FolderPictures pictures;
    pictures.takeListing({"a.jpg", "b.jpg", "c.jpg", "d.jpg"}, random);
    bool stop = false;
    int tries = 0;
    // The first picture is given up because the worker is ending: no other
    // is tried, and the round has moved on by that one alone.
    auto givenUp = [&](const std::string&) {
        ++tries;
        stop = true;
        return false;
    };
    EXPECT_EQ(pictures.next(random, givenUp, [&] { return stop; }), std::nullopt);
    EXPECT_EQ(tries, 1);
    EXPECT_EQ(pictures.order().position(), 1u);
    // Stopped before it starts: nothing is tried.
    EXPECT_EQ(pictures.next(random, givenUp, [] { return true; }), std::nullopt);
    EXPECT_EQ(tries, 1);
}

}  // namespace
}  // namespace qv
