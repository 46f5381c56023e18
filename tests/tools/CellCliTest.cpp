// pelham-cli cell and edit, run as a script runs them.

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

using testenv::TempFolder;

struct CliRun {
    int status;
    std::string output;
    std::string errors;
};

CliRun RunCli(const std::string& arguments, const TempFolder& folder) {
    const std::string output = folder.file("stdout.txt");
    const std::string errors = folder.file("stderr.txt");
    const std::string command = (testenv::binaryFolder() / "pelham-cli").string() + " " +
                                arguments + " --destination 1 >" + output + " 2>" + errors +
                                " </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testenv::readFile(output),
            testenv::readFile(errors)};
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

TEST_F(CellCliTest, QuestionsAreRefusedWithoutYes) {
    Edit("group:0", "CL_Mch_Name_Num", 0, "--text 7");
    const CliRun refused = Edit("group:0", "CL_Mch_Name_Num", 1, "--text 7");
    EXPECT_NE(refused.errors.find("The number has been already used."), std::string::npos);
    EXPECT_EQ(Cell("group:0", "CL_Mch_Name_Num", 1).output, "\n");
    Edit("group:0", "CL_Mch_Name_Num", 1, "--text 7 --yes");
    EXPECT_EQ(Cell("group:0", "CL_Mch_Name_Num", 1).output, "7\n");
    EXPECT_EQ(Cell("group:0", "CL_Mch_Name_Num", 0).output, "\n");
}

TEST_F(CellCliTest, UsageErrorsExitWith64) {
    EXPECT_EQ(Cell("bogus", "CL_Mch_Freq", 0).status, 64);
    EXPECT_EQ(Cell("group:0", "CL_Nothing", 0).status, 64);
    EXPECT_EQ(Cell("group:0", "CL_Mch_Freq", 9).status, 64); // past the new row
    EXPECT_EQ(Edit("group:0", "CL_Mch_Freq", 0, "").status, 64);
    EXPECT_EQ(Edit("group:0", "CL_Mch_Dup", 0, "--choose nothing").status, 64);
}

} // namespace
