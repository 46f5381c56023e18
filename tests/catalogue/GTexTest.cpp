#include "catalogue/cmcGTex.h"
#include "platform/fake/cmcFakePlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A small table with the shapes that matter: a terminator, a value line that looks like a
// comment, a multi-line value, and a key after the end line.
const std::string LongLine(9000, 'x');
const char* const SmallLines[] = {"#",
                                  "#First",
                                  "one",
                                  "two",
                                  "#",
                                  "#Second",
                                  "//==== not a key ====",
                                  "",
                                  "three",
                                  "#Long",
                                  LongLine.c_str(),
                                  "#End_Of_Ovl",
                                  "#AfterEnd",
                                  "never"};
const cmcTextTable Small{SmallLines, std::size(SmallLines)};

class GTexTest : public ::testing::Test {
  protected:
    cmcFakePlatform platform;
    cmcGTex english;
    void SetUp() override { english.Attach(EnglishTable()); }
};

TEST_F(GTexTest, KeysAreFoundLazilyUpToTheEndLineOnly) {
    cmcGTex small;
    ASSERT_EQ(small.Attach(Small), 1);
    EXPECT_TRUE(small.HasKey("Second"));
    EXPECT_TRUE(small.HasKey("First"));
    EXPECT_TRUE(small.HasKey("End_Of_Ovl"));
    EXPECT_FALSE(small.HasKey("AfterEnd"));
    EXPECT_FALSE(small.HasKey("")); // "#" alone is never a key
}

TEST_F(GTexTest, ValuesEndAtTheFirstLineBeginningWithHash) {
    cmcGTex small;
    small.Attach(Small);
    EXPECT_EQ(small.GetLines("First"), "one\ntwo");
    EXPECT_EQ(small.GetLines("Second"), "//==== not a key ====\n\nthree");
    EXPECT_EQ(small.GetText("Second"), "//==== not a key ====");
}

TEST_F(GTexTest, LinesAreReadInAnyOrderAndPastTheValue) {
    cmcGTex small;
    small.Attach(Small);
    EXPECT_EQ(small.GetLine("First", 1), "two");
    EXPECT_EQ(small.GetLine("First", 0), "one"); // back before the cached line
    EXPECT_EQ(small.GetLine("First", 2), "#");   // the terminator, as the caller asked
    EXPECT_EQ(small.GetLine("First", 3), "#Second");
    EXPECT_EQ(small.GetLine("Long", 0).size(), cmcGTex::LineLimit);
    EXPECT_EQ(small.GetLine("End_Of_Ovl", 1), "never"); // lines after the end line stay readable
    EXPECT_EQ(small.GetLine("End_Of_Ovl", 50), "");     // past the table's end: nothing
}

TEST_F(GTexTest, ManyLookupsStayCorrectWhileTheIndexReorders) {
    const std::vector<std::pair<std::string, std::string>> keys = {
        {"GI_Sys_AppTitle", "Pelham"},
        {"GI_Mess_FileErr_Data", "Illegal data."},
        {"GI_AppInd_TimerOff", "OFF"},
        {"GI_Mess_Confirm_WriteFile", "Save changes to %s?"},
    };
    for (int round = 0; round < 50; ++round)
        for (const auto& [key, text] : keys)
            ASSERT_EQ(english.GetText(key), text) << key;
}

TEST_F(GTexTest, EnglishTableValuesAsTheProgramShowsThem) {
    EXPECT_EQ(english.GetLines("GI_Mess_CloneWrite_Succeeded"),
              "Cloning is succeeded.\n\nTurn the receiver power off and on to use\n"
              "the receiver under its new conditions.");
    EXPECT_EQ(english.GetLines("GI_Mess_FileErr_FileOpen"), "Cannot open the file.");
    EXPECT_EQ(english.GetLine("GI_Sys_MyHelpFile", 1), "help/ja/index.html");
    EXPECT_EQ(english.GetLine("GI_Sys_Dialog_FOpen", 1),
              "Data files (*.tcf)|*.tcf|All files (*.*)|*.*");
    EXPECT_EQ(english.GetLine("GI_Mess_CloneErr_Head", 14),
              "Connected receiver is not compatible model.");
    EXPECT_EQ(english.GetLine("GI_Mess_Confirm_ImportFile", 0), "Import from the file.\t");
}

TEST_F(GTexTest, SecondAttachKeepsTheFirstTable) {
    cmcGTex small;
    ASSERT_EQ(small.Attach(Small), 1);
    EXPECT_EQ(small.Attach(EnglishTable()), 0);
    EXPECT_TRUE(small.HasKey("First"));
    EXPECT_FALSE(small.HasKey("GI_Sys_AppTitle"));
}

TEST(GTexDeathTest, MissingKeyShowsTheErrorAndEnds) {
    EXPECT_DEATH(
        {
            cmcFakePlatform platform;
            cmcGTex english;
            english.Attach(EnglishTable());
            english.GetText("GI_No_Such_Key");
        },
        "GTEX Error !\nThe index 'GI_No_Such_Key' was not found\\.");
}

} // namespace
