#include "settings/cmcRecent.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RecentTest, SamePathTwiceAndOtherLetterCaseKeepOneEntryInItsLaterForm) {
    cmcRecent recent;
    recent.AddToFront("/home/u/a.tcf");
    recent.AddToFront("/home/u/b.tcf");
    recent.AddToFront("/home/u/b.tcf");
    EXPECT_EQ(recent.Count(), 2);
    recent.AddToFront("/HOME/u/A.TCF");
    ASSERT_EQ(recent.Count(), 2);
    EXPECT_EQ(recent.Entry(0), "/HOME/u/A.TCF");
    EXPECT_EQ(recent.Entry(1), "/home/u/b.tcf");
    EXPECT_EQ(recent.Entry(2), "");
    EXPECT_EQ(recent.Entry(-1), "");
}

TEST(RecentTest, EleventhFileDropsTheOldest) {
    cmcRecent recent;
    for (int i = 1; i <= 11; ++i)
        recent.AddToFront("/f" + std::to_string(i) + ".tcf");
    ASSERT_EQ(recent.Count(), 10);
    EXPECT_EQ(recent.Entry(0), "/f11.tcf");
    EXPECT_EQ(recent.Entry(9), "/f2.tcf");

    recent.AddToBack("/f11.tcf"); // moves to the back
    EXPECT_EQ(recent.Entry(0), "/f10.tcf");
    EXPECT_EQ(recent.Entry(9), "/f11.tcf");
    recent.AddToBack("/new.tcf"); // the back entry beyond the capacity is dropped again
    EXPECT_EQ(recent.Count(), 10);
    EXPECT_EQ(recent.Entry(9), "/f11.tcf");
}

TEST(RecentTest, DisplayTextShortensOnlyFilesInTheGivenFolder) {
    cmcRecent recent;
    recent.AddToBack("/home/u/Radio/a&b.tcf");
    recent.AddToBack("/home/u/other/c.tcf");
    recent.AddToBack("/d.tcf");
    struct Case {
        int n;
        const char* folder;
        const char* expected;
    } cases[] = {
        {0, "/home/u/Radio", "a&b.tcf"},
        {0, "/home/u/radio/", "a&b.tcf"},
        {0, "/home/u", "/home/u/Radio/a&b.tcf"},
        {1, "/home/u/Radio", "/home/u/other/c.tcf"},
        {2, "/", "d.tcf"},
        {3, "/home/u/Radio", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(recent.DisplayText(c.n, c.folder), c.expected) << c.n << " " << c.folder;
}

} // namespace
