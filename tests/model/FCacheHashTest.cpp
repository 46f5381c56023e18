#include "model/cmcHash2.h"
#include "platform/fake/cmcFakePlatform.h"

#include <gtest/gtest.h>

namespace {

TEST(FCacheHashTest, BucketsFollowTheTableRuleWithSignedBytesAndUnsignedWrap) {
    cmcHash2<int> table;
    EXPECT_EQ(table.Buckets(), 1031u);
    // "ab": 515 + 97 = 612; 2 * 612 + 515 + 98 = 1837; 1837 mod 1031 = 806.
    EXPECT_EQ(table.BucketOf("ab"), 806u);
    // "ca": the odd 'a' after 'c' halves the carry to 257: 2 * 614 + 257 + 97 = 1582.
    EXPECT_EQ(table.BucketOf("ca"), 551u);
    // A byte above 0x7F counts as negative: 515 - 23 = 492.
    EXPECT_EQ(table.BucketOf("\xE9"), 492u);
    // A long key wraps the running value; the bucket stays in range and is reproducible.
    const std::string longKey(200, '\xFF');
    EXPECT_LT(table.BucketOf(longKey), 1031u);
    EXPECT_EQ(table.BucketOf(longKey), table.BucketOf(longKey));
}

TEST(FCacheHashTest, FindsEveryKeyOfASharedBucketByItsWholeText) {
    cmcHash2<int> table(1); // one bucket: every key shares the chain
    int a = 1, b = 2, c = 3;
    table.Add("GI_Sheet_Sel_Mch_Dup#1", &a);
    table.Add("GI_Sheet_Sel_Mch_Dup#4", &b);
    table.Add("GI_Sheet_Sel_Mch_Du", &c);
    EXPECT_EQ(table.Find("GI_Sheet_Sel_Mch_Dup#1"), &a);
    EXPECT_EQ(table.Find("GI_Sheet_Sel_Mch_Dup#4"), &b);
    EXPECT_EQ(table.Find("GI_Sheet_Sel_Mch_Du"), &c);
    EXPECT_EQ(table.Find("GI_Sheet_Sel_Mch_Dup"), nullptr);
}

TEST(FCacheHashTest, AddingAKeyTwiceIsAFaultOfTheProgram) {
    EXPECT_DEATH(
        {
            cmcFakePlatform platform;
            cmcHash2<int> table;
            int a = 1;
            table.Add("key", &a);
            table.Add("key", &a);
        },
        "");
}

} // namespace
