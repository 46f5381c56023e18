// pelham-cli cell and edit, run as a script runs them.

#include "support/CliRun.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using testenv::TempFolder;

CliRun RunCli(const std::string& arguments, const TempFolder& folder) {
    return RunPelhamCli(arguments + " --destination 1", folder);
}

class CellCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = folder_.file("doc.tcf");
        ASSERT_EQ(RunCli("new " + file_, folder_).status, 0);
    }
    CliRun Cell(const std::string& sheet, const std::string& cell, int row) {
        return RunCli("cell " + file_ + " --sheet " + sheet + " --cell " + cell + " --index " +
                          std::to_string(row),
                      folder_);
    }
    CliRun Edit(const std::string& sheet, const std::string& cell, int row,
                const std::string& input) {
        return RunCli("edit " + file_ + " --sheet " + sheet + " --cell " + cell + " --index " +
                          std::to_string(row) + " " + input,
                      folder_);
    }
    TempFolder folder_;
    std::string file_;
};

TEST_F(CellCliTest, EditsAreSnappedStoredAndReadBackFromTheFile) {
    EXPECT_EQ(Cell("group:0", "CL_Mch_Freq", 0).output, "145.000000\n");
    const CliRun edited = Edit("group:0", "CL_Mch_Freq", 0, "--text 145.0126");
    EXPECT_EQ(edited.status, 0) << edited.errors;
    EXPECT_EQ(edited.output, "145.012500\n");
    EXPECT_EQ(Cell("group:0", "CL_Mch_Freq", 0).output, "145.012500\n");

    EXPECT_EQ(Edit("group:0", "CL_Mch_TS_Pitch", 0, "--choose 200k").output, "200k\n");
    EXPECT_EQ(Edit("group:0", "CL_Mch_TS_Pitch", 0, "--key 32").output, "5k\n");
    // Typing into the new row creates a channel; the warning mark follows it.
    EXPECT_EQ(Edit("group:0", "CL_Mch_Freq", 2, "--text 253").output, "253.000000\nwarning\n");
    EXPECT_EQ(Cell("group:0", "CL_Misc_ChNo_Mch", 3).output, "New\n");
    EXPECT_EQ(Edit("common", "CL_Common_RLINK_Address", 0, "--text 7f").output, "7F\n");
}

TEST_F(CellCliTest, ARefusedQuestionLeavesTheFileAsItWasAndExitsWithOne) {
    ASSERT_EQ(Edit("group:0", "CL_Mch_Name_Num", 0, "--text 7").status, 0);
    const std::string before = testenv::readFile(file_);
    const CliRun refused = Edit("group:0", "CL_Mch_Name_Num", 1, "--text 7");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errors.find("The number has been already used."), std::string::npos);
    EXPECT_EQ(testenv::readFile(file_), before);
    EXPECT_EQ(Cell("group:0", "CL_Mch_Name_Num", 1).output, "\n");
    // Nothing is written to -o either.
    const std::string out = folder_.file("out.tcf");
    EXPECT_EQ(Edit("group:0", "CL_Mch_Name_Num", 1, "--text 7 -o " + out).status, 1);
    EXPECT_FALSE(std::filesystem::exists(out));

    const CliRun accepted = Edit("group:0", "CL_Mch_Name_Num", 1, "--text 7 --yes");
    EXPECT_EQ(accepted.status, 0) << accepted.errors;
    EXPECT_EQ(Cell("group:0", "CL_Mch_Name_Num", 1).output, "7\n");
    EXPECT_EQ(Cell("group:0", "CL_Mch_Name_Num", 0).output, "\n");
}

TEST_F(CellCliTest, TheJapaneseProgramKeepsHalfWidthKatakanaInNames) {
    const std::string japanese = folder_.file("ja.tcf");
    ASSERT_EQ(RunPelhamCli("new --destination 0 " + japanese, folder_).status, 0);
    const std::string katakana = "\xEF\xBD\xB1\xEF\xBD\xB2"; // half-width A and I
    const std::string edit = "edit " + japanese +
                             " --sheet group:0 --cell CL_Mch_Name_Name --index 0 --destination 0"
                             " --text '" +
                             katakana + "A'";
    EXPECT_EQ(RunPelhamCli(edit + " --language ja", folder_).output, katakana + "A\n");
    // Elsewhere each character the receiver cannot show becomes a blank.
    EXPECT_EQ(RunPelhamCli(edit + " --language en", folder_).output, "  A\n");
}

TEST_F(CellCliTest, UsageErrorsExitWith64) {
    EXPECT_EQ(Cell("bogus", "CL_Mch_Freq", 0).status, 64);
    EXPECT_EQ(Cell("group:0", "CL_Nothing", 0).status, 64);
    EXPECT_EQ(Cell("group:0", "CL_Mch_Freq", 9).status, 64); // past the new row
    EXPECT_EQ(Edit("group:0", "CL_Mch_Freq", 0, "").status, 64);
    EXPECT_EQ(Edit("group:0", "CL_Mch_Dup", 0, "--choose nothing").status, 64);
}

} // namespace
