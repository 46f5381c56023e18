#include "model/cmcFCache.h"

#include <gtest/gtest.h>

namespace {

// A two-column list in the shape of the tuning-step lists: values 0..3 down the first
// column, 4..5 down the second, and a spacer item of another kind.
int readerCalls = 0;
std::vector<cmcFlexItem> TwoColumns(const std::string& list, int kind, int& lineCount) {
    ++readerCalls;
    lineCount = 4;
    if (list != "GI_Sheet_Sel_Test" || kind != 1) return {};
    // Catalogue order runs across the lines; stepping runs down the columns.
    return {{0, 0, 0, "5k"},  {0, 1, 4, "9k"},   {1, 0, 1, "6.25k"},
            {1, 1, 5, "10k"}, {2, 0, 2, "7.5k"}, {3, 0, 3, "8.33k"}};
}

TEST(FCacheTest, TextsComeFromTheValueOrderAndMissingValuesShowError) {
    cmcFCache cache(TwoColumns);
    const auto& entry = cache.Entry("GI_Sheet_Sel_Test", 1);
    EXPECT_EQ(entry.TextOf(0), "5k");
    EXPECT_EQ(entry.TextOf(3), "8.33k");
    EXPECT_EQ(entry.TextOf(5), "10k");
    EXPECT_EQ(entry.TextOf(6), "error");
    EXPECT_EQ(entry.TextOf(-1), "error");
}

TEST(FCacheTest, StepsRunDownEachColumnAndWrapAtBothEnds) {
    cmcFCache cache(TwoColumns);
    const auto& entry = cache.Entry("GI_Sheet_Sel_Test", 1);
    EXPECT_EQ(entry.Step(3, +1), 4); // bottom of the first column to the top of the second
    EXPECT_EQ(entry.Step(5, +1), 0); // past the end to the first item
    EXPECT_EQ(entry.Step(0, -1), 5); // before the first to the last
    EXPECT_EQ(entry.Step(4, -1), 3);
    EXPECT_EQ(entry.Step(77, +1), 0); // not in the list: the first item
    EXPECT_EQ(entry.Step(77, -1), 0);
}

TEST(FCacheTest, AnEntryIsParsedOnceAndKeptPerListAndKind) {
    readerCalls = 0;
    cmcFCache cache(TwoColumns);
    const auto* first = &cache.Entry("GI_Sheet_Sel_Test", 1);
    EXPECT_EQ(&cache.Entry("GI_Sheet_Sel_Test", 1), first);
    EXPECT_EQ(readerCalls, 1);
    EXPECT_TRUE(cache.Entry("GI_Sheet_Sel_Test", 4).Empty()); // another kind, another entry
    EXPECT_EQ(readerCalls, 2);
}

TEST(FCacheTest, EqualValuesKeepTheirCatalogueOrder) {
    cmcFCacheEntry entry({{0, 0, 1, "first"}, {1, 0, 1, "second"}, {2, 0, 0, "zero"}}, 3);
    EXPECT_EQ(entry.InListOrder()[0].text, "first");
    EXPECT_EQ(entry.Step(1, +1), 1); // from the first item with value 1 to the next one
    EXPECT_EQ(entry.Step(0, +1), 1);
}

} // namespace
