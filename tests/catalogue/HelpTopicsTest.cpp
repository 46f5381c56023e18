#include "catalogue/cmcGTex.h"
#include "platform/fake/cmcFakePlatform.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

class HelpTopicsTest : public ::testing::Test {
  protected:
    cmcFakePlatform platform;
    cmcHelpGTex help;
    void SetUp() override { ASSERT_EQ(help.Attach(HelpTopicTable()), 1); }
};

int LineCount(const std::string& value) {
    std::istringstream in(value);
    int count = 0;
    for (std::string line; std::getline(in, line);)
        ++count;
    return count;
}

TEST_F(HelpTopicsTest, TheTableHasItsTwoKeysAndTheirLines) {
    EXPECT_EQ(LineCount(help.GetLines("GI_AppItem_Topic_ID")), 109);
    EXPECT_EQ(LineCount(help.GetLines("GI_AppItem_Context_ID")), 72);
    // Every context line gives the topic's number less 1000.
    std::istringstream contexts(help.GetLines("GI_AppItem_Context_ID"));
    for (std::string line; std::getline(contexts, line);) {
        const size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        EXPECT_EQ(std::stoi(line.substr(3, tab - 3)) - 1000, std::stoi(line.substr(tab + 1)))
            << line;
    }
}

TEST_F(HelpTopicsTest, ContextOfACell) {
    const struct {
        const char* name;
        int context;
    } cases[] = {
        {"CL_Mch_Freq", 13}, // the first line wins over the later IDH1037 line
        {"CL_Mch_Dup", 14},
        {"CL_Mch_Vsc", 28},
        {"CL_AutoMWCH_Vsc", 37},
        {"CL_CategoryOP_Icon", 1},
        {"CL_BasicOp_Icon", 1},
        {"CL_PgSrch_Freq_High", 30},
        {"CL_PgSrch_TS", 56},
        {"CL_Basic_PgSrch_TS", 32},
        {"CL_Basic_ChSrch_Name", 59},
        {"CL_Common_Sound_AF_Filter_AM", 80},
        {"CL_Common_CLONE_COMMENT", 93},
        // Ids without a line: a command, a near-miss of a name, nothing.
        {"CL_Menu_File_New", 0},
        {"CL_Mch", 0},
        {"CL_Mch_Freq ", 0},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(help.ContextOf(c.name), c.context) << '"' << c.name << '"';
}

TEST(HelpTopicsOwnTable, ATopicWithoutAContextLineGivesNoneAndTheLastContextLineWins) {
    cmcFakePlatform platform;
    const char* const lines[] = {
        "#GI_AppItem_Topic_ID",   "CL_A\tIDH1005", "CL_B\tIDH1099", "CL_A\tIDH1006", "#",
        "#GI_AppItem_Context_ID", "IDH1005\t5",    "IDH1006\t6",    "IDH1005\t7",    "#"};
    cmcHelpGTex help;
    help.Attach({lines, std::size(lines)});
    EXPECT_EQ(help.ContextOf("CL_A"), 7);
    EXPECT_EQ(help.ContextOf("CL_B"), 0);
}

} // namespace
