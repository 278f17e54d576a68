// The pending list as stored in the registry: what an operation writes must
// read back the same, and a value that is not one of ours (hand-edited, cut
// short) must never be taken for a list, which would replace the user's.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/PendingList.h"

namespace qv {
namespace {

TEST(PendingList, ReadsBackWhatWasWrittenAndRefusesAnythingElse) {
    const PendingList three{{"D:\\p\\a.jpg", "E:\\b c.bmp", "C:\\x.jpg"}, {2, 3}};
    EXPECT_EQ(encodePendingList(three), "2 3\nD:\\p\\a.jpg\nE:\\b c.bmp\nC:\\x.jpg");

    struct Case {
        const char* text;
        bool read;
        std::size_t sources;
        std::vector<int> remake;
    };
    const Case cases[] = {
        {"2 3\nD:\\p\\a.jpg\nE:\\b c.bmp\nC:\\x.jpg", true, 3, {2, 3}},
        {"\nD:\\p\\a.jpg", true, 1, {}},                        // nothing to remake
        {"1 2 3 4 5 6 7 8 9 10\na\nb\nc\nd\ne\nf\ng\nh\ni\nj", true, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"", false, 0, {}},                                     // no slots: would empty the list
        {"1", false, 0, {}},
        {"1\na\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk", false, 0, {}},   // eleven slots
        {"3\na\nb", false, 0, {}},                              // a slot past the list
        {"0\na", false, 0, {}},
        {"-1\na", false, 0, {}},
        {"x\na", false, 0, {}},
        {"1\na\n\nb", false, 0, {}},                            // a slot without a picture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<PendingList> list = decodePendingList(c.text);
        ASSERT_EQ(list.has_value(), c.read);
        if (!list) continue;
        EXPECT_EQ(list->sources.size(), c.sources);
        EXPECT_EQ(list->remake, c.remake);
        EXPECT_EQ(encodePendingList(*list), c.text);
    }
}

}  // namespace
}  // namespace qv
