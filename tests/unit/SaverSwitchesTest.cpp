#include "app/SaverSwitches.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(SaverSwitches, OptionTestLooksOnlyAtTheFirstLetterAfterOnePrefix) {
    EXPECT_TRUE(matchesOption("/c:1234", 'c'));
    EXPECT_TRUE(matchesOption("-C", 'c'));
    EXPECT_TRUE(matchesOption("s", 's'));
    EXPECT_TRUE(matchesOption("/S", 's'));
    EXPECT_TRUE(matchesOption("/save", 's'));
    EXPECT_TRUE(matchesOption("save", 'S'));
    // Only one prefix character is skipped.
    EXPECT_FALSE(matchesOption("//s", 's'));
    EXPECT_FALSE(matchesOption("-/s", 's'));
    EXPECT_FALSE(matchesOption("", 's'));
    EXPECT_FALSE(matchesOption("/", 's'));
    EXPECT_FALSE(matchesOption("-", '-'));
    EXPECT_FALSE(matchesOption("/x", 's'));
    EXPECT_TRUE(matchesOption("/x", 'x'));
}

TEST(SaverSwitches, RunModeComesFromTheFirstArgumentOnly) {
    EXPECT_EQ(runModeFor({}), RunMode::Configure);
    EXPECT_EQ(runModeFor({"/c:1234"}), RunMode::Configure);
    EXPECT_EQ(runModeFor({"-C"}), RunMode::Configure);
    EXPECT_EQ(runModeFor({"/p", "1234"}), RunMode::Preview);
    EXPECT_EQ(runModeFor({"P:55"}), RunMode::Preview);
    for (const char* show : {"/s", "-S", "s", "save", "/x", "/t", "-t", "t", "/T", ""})
        EXPECT_EQ(runModeFor({show}), RunMode::Show) << '"' << show << '"';
    // A later argument never changes the mode.
    EXPECT_EQ(runModeFor({"/s", "/c"}), RunMode::Show);
    EXPECT_EQ(runModeFor({"/s", "/p", "12"}), RunMode::Show);
}

TEST(SaverSwitches, TestWindowOnlyForTheExactTexts) {
    EXPECT_TRUE(isTestWindowArgument("/t"));
    EXPECT_TRUE(isTestWindowArgument("-t"));
    EXPECT_FALSE(isTestWindowArgument("t"));
    EXPECT_FALSE(isTestWindowArgument("/T"));
    EXPECT_FALSE(isTestWindowArgument("-T"));
    EXPECT_FALSE(isTestWindowArgument("/test"));
    EXPECT_FALSE(isTestWindowArgument("/t "));
    EXPECT_FALSE(isTestWindowArgument(""));
}

TEST(SaverSwitches, PreviewHandleInTheSameOrTheNextArgument) {
    EXPECT_EQ(previewWindowHandle({"/p", "1234"}), 1234u);
    EXPECT_EQ(previewWindowHandle({"/p:1234"}), 1234u);
    EXPECT_EQ(previewWindowHandle({"-P5678"}), 5678u);
    EXPECT_EQ(previewWindowHandle({"p", "18446744073709551615"}), 18446744073709551615u);
    // Nothing usable gives 0, which is no window.
    EXPECT_EQ(previewWindowHandle({"/p"}), 0u);
    EXPECT_EQ(previewWindowHandle({"/p", "12x"}), 0u);
    EXPECT_EQ(previewWindowHandle({"/p", "-5"}), 0u);
    EXPECT_EQ(previewWindowHandle({"/p", "18446744073709551616"}), 0u);
    EXPECT_EQ(previewWindowHandle({"/p:"}), 0u);
    EXPECT_EQ(previewWindowHandle({"/s", "1234"}), 0u);
    EXPECT_EQ(previewWindowHandle({}), 0u);
}

TEST(SaverSwitches, ConfigurationOwnerInTheSameOrTheNextArgument) {
    EXPECT_EQ(configurationOwnerHandle({"/c:1234"}), 1234u);
    EXPECT_EQ(configurationOwnerHandle({"-c", "66"}), 66u);
    EXPECT_EQ(configurationOwnerHandle({"/C"}), 0u);
    EXPECT_EQ(configurationOwnerHandle({}), 0u);
    EXPECT_EQ(configurationOwnerHandle({"/p:1234"}), 0u);
    EXPECT_EQ(previewWindowHandle({"/c:1234"}), 0u);
}

}  // namespace
}  // namespace qv
