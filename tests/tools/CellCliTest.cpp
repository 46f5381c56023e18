// pelham-cli cell and edit, run as a script runs them.

#include "app/indDocumentFile.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcOrganisation.h"
#include "model/indDestination.h"
#include "support/CliRun.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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
    // The frequency cells of rows 0..rows-1 of group 0.
    std::vector<std::string> Frequencies(int rows) {
        std::vector<std::string> texts;
        for (int row = 0; row < rows; ++row)
            texts.push_back(Cell("group:0", "CL_Mch_Freq", row).output);
        return texts;
    }
    TempFolder folder_;
    std::string file_;
};

// The file holds all 1,600 channels: sixteen groups of 100.
void MakeFullFile(const std::string& path) {
    cmcEeprom image;
    image.SetSize(ImageSize);
    FillDefaultImage(image, 1);
    indDestination destination(1);
    cmcOrganisation organisation(image, &destination);
    organisation.Adopt();
    for (int group = 1; group < 16; ++group)
        ASSERT_EQ(organisation.InsertGroup(0, group), 1);
    for (int group = 0; group < 16; ++group)
        while (organisation.ChannelsOfGroup(group) < 100)
            ASSERT_EQ(organisation.InsertChannel(group, organisation.FirstChannelOfGroup(group)),
                      1);
    PrepareForSave(organisation);
    ASSERT_EQ(WriteDocumentFile(path, image), 0);
}

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

// A limit the logic shows as an error refuses the edit like a Cancel: exit 1, no save.
TEST_F(CellCliTest, AnEditRefusedByALimitExitsWithOneAndLeavesTheFile) {
    MakeFullFile(file_);
    const std::string before = testenv::readFile(file_);
    const CliRun refused = Edit("group:15", "CL_Mch_Freq", 100, "--text 146 --yes");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errors.find("The number of channels exceeds."), std::string::npos);
    EXPECT_EQ(testenv::readFile(file_), before);
}

// Sheets of records that do not exist are refused; the new row of a group shows nothing of
// the next group's first channel; every row of a link takes a choice.
TEST_F(CellCliTest, SheetsRowsAndChoicesAsTheProgramOffersThem) {
    for (const char* sheet : {"bank-ch:0", "bank-pg:0", "group:1", "category:1"})
        EXPECT_EQ(Cell(sheet, "CL_Misc_ChNo_0Base", 0).status, 64) << sheet;
    ASSERT_EQ(Edit("banks", "CL_BasicOp_Name", 0, "--text Air").status, 0);
    EXPECT_EQ(Cell("bank-ch:0", "CL_Basic_ChSrch_Freq", 0).status, 0);
    EXPECT_EQ(Cell("bank-pg:1", "CL_Basic_PgSrch_Freq_Low", 0).status, 64);

    ASSERT_EQ(Edit("category:0", "CL_GroupOP_Name", 1, "--text Two").status, 0);
    ASSERT_NE(Cell("group:1", "CL_Mch_Freq", 0).output, "\n");
    EXPECT_EQ(Cell("group:0", "CL_Mch_Freq", 2).output, "\n");

    ASSERT_EQ(Edit("link:0", "CL_PgLink_No", 0, "--choose 1").status, 0);
    const CliRun chosen = Edit("link:0", "CL_PgLink_No", 1, "--choose 2");
    EXPECT_EQ(chosen.status, 0) << chosen.errors;
    // The link keeps its edges in order.
    EXPECT_EQ(Cell("link:0", "CL_PgLink_No", 1).output, "1\n");
    EXPECT_EQ(Cell("link:0", "CL_PgLink_No", 2).output, "2\n");
}

// The popup menu's commands on a selection of rows, with their questions and the menu's
// own offer; a refused or unoffered command leaves the file as it was.
TEST_F(CellCliTest, EditCommandsRunOnRowsAsThePopupMenuRunsThem) {
    ASSERT_EQ(Edit("group:0", "CL_Mch_Freq", 2, "--text 146").status, 0);
    ASSERT_EQ(Edit("group:0", "CL_Mch_Freq", 3, "--text 144.5").status, 0);
    auto command = [&](const std::string& words) {
        return RunCli("edit " + file_ + " --sheet group:0 --cell CL_Mch_Freq " + words, folder_);
    };
    const std::string f145 = "145.000000\n", f146 = "146.000000\n", f144 = "144.500000\n",
                      f430 = "430.000000\n", none = "\n";
    struct Step {
        const char* words;
        int status;
        std::vector<std::string> rows; // group 0 afterwards, its new row included
    } steps[] = {
        {"--command Up --rows 2", 0, {f145, f146, f430, f144, none}},
        {"--command Delete --rows 0-1", 1, {f145, f146, f430, f144, none}},
        {"--command Delete --rows 0-1 --yes", 0, {f430, f144, none}},
        {"--command Paste --from 1 --rows 0 --yes", 0, {f144, f144, none}},
        {"--command Down --rows 1", 1, {f144, f144, none}},        // the last row goes nowhere
        {"--command Clear --rows 0 --yes", 1, {f144, f144, none}}, // not in this menu
        {"--command Copy --rows 0-1", 0, {f144, f144, none}},
        {"--command Bogus --rows 0", 64, {f144, f144, none}},
        {"--command Delete --rows 0-7 --yes", 64, {f144, f144, none}},
    };
    for (const Step& step : steps) {
        const CliRun run = command(step.words);
        EXPECT_EQ(run.status, step.status) << step.words << ": " << run.errors;
        EXPECT_EQ(Frequencies(int(step.rows.size())), step.rows) << step.words;
    }
    const CliRun inserted = command("--command Insert --rows 1 --yes");
    EXPECT_EQ(inserted.status, 0) << inserted.errors;
    EXPECT_EQ(Frequencies(4).back(), none);
    EXPECT_EQ(Frequencies(3)[2], f144);
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
