// pelham-cli and a file made for another destination: what opening corrects is told on
// standard error, a corrected file is saved only with --yes, and the names of a Japanese
// file survive in UTF-8 wherever the language is Japanese.

#include "support/CliRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using testenv::TempFolder;

// Half-width katakana as the image stores them, in UTF-8.
const std::string NameText = "ﾃｽﾄ";
const std::string GroupText = "ﾑｾﾝ";

class CorrectionCli : public ::testing::Test {
  protected:
    CliRun Run(const std::string& arguments, const std::string& environment = "") {
        return RunPelhamCli(arguments, folder, "C", environment);
    }
    std::string File(const std::string& name) const { return folder.file(name); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(File(name)); }

    // A file of the Japanese receiver: a name and a group name in katakana, channels in
    // Auto mode and step as destination 0 has them.
    void SetUp() override {
        ASSERT_EQ(Run("new --destination 0 " + File("jp.tcf")).status, 0);
        const std::string japanese = " --destination 0 --language ja --index 0 --text ";
        CliRun run = Run("edit " + File("jp.tcf") + " --sheet group:0 --cell CL_Mch_Name_Name" +
                         japanese + NameText);
        ASSERT_EQ(run.status, 0) << run.errors;
        run = Run("edit " + File("jp.tcf") + " --sheet category:0 --cell CL_GroupOP_Name" +
                  japanese + GroupText);
        ASSERT_EQ(run.status, 0) << run.errors;
        original = testenv::readFile(File("jp.tcf"));
    }

    TempFolder folder;
    std::string original;
};

TEST_F(CorrectionCli, EditUnderAnotherDestinationSavesOnlyWithYes) {
    const std::string edit = "edit " + File("jp.tcf") +
                             " --destination 1 --sheet group:0 --cell CL_Mch_Freq --index 0 "
                             "--text 145.5 -o " +
                             File("out.tcf");
    const CliRun refused = Run(edit);
    EXPECT_EQ(refused.status, 1) << refused.errors;
    EXPECT_FALSE(Exists("out.tcf"));
    EXPECT_EQ(testenv::readFile(File("jp.tcf")), original);
    // The summary, then the records in the compare's words: the lost names as they were.
    EXPECT_NE(refused.errors.find(File("jp.tcf") + ": Corrected for destination EUR: "),
              std::string::npos)
        << refused.errors;
    EXPECT_NE(refused.errors.find("Group Group: renamed from " + GroupText), std::string::npos)
        << refused.errors;
    EXPECT_NE(refused.errors.find("Name " + NameText + " → (blank)"), std::string::npos)
        << refused.errors;
    EXPECT_NE(refused.errors.find("Mode Auto → FM"), std::string::npos) << refused.errors;
    EXPECT_NE(refused.errors.find("Not saved: the data was corrected for destination EUR."),
              std::string::npos)
        << refused.errors;

    const CliRun saved = Run(edit + " --yes");
    EXPECT_EQ(saved.status, 0) << saved.errors;
    EXPECT_TRUE(Exists("out.tcf"));
    EXPECT_NE(saved.errors.find("Corrected for destination EUR: "), std::string::npos);
    EXPECT_EQ(saved.errors.find("Not saved"), std::string::npos);
    // Saved as corrected: it opens for destination 1 with nothing more to correct.
    const CliRun again = Run("check --destination 1 " + File("out.tcf"));
    EXPECT_EQ(again.status, 0) << again.errors;
    EXPECT_EQ(again.errors.find("Corrected"), std::string::npos) << again.errors;
}

TEST_F(CorrectionCli, ReportIsCappedAndInTheChosenLanguage) {
    const CliRun english = Run("list --destination 1 " + File("jp.tcf"));
    EXPECT_EQ(english.status, 0) << english.errors;
    int lines = 0;
    for (char c : english.errors)
        lines += c == '\n';
    EXPECT_EQ(lines, 1 + 20 + 1) << english.errors; // summary, 20 records, "... and N more"
    EXPECT_NE(english.errors.find("  ... and "), std::string::npos) << english.errors;

    const CliRun japanese = Run("list --destination 1 --language ja " + File("jp.tcf"));
    EXPECT_NE(japanese.errors.find("仕向け EUR 用に補正しました"), std::string::npos)
        << japanese.errors;
    EXPECT_NE(japanese.errors.find("グループ Group: " + GroupText + " から名前を変更"),
              std::string::npos)
        << japanese.errors;

    // The destination the file was made for corrects nothing and says nothing.
    const CliRun same = Run("list --destination 0 " + File("jp.tcf"));
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.errors, "");
}

TEST_F(CorrectionCli, CheckHasItsOwnExitStatusForACorrectedFile) {
    const CliRun corrected = Run("check --destination 1 " + File("jp.tcf"));
    EXPECT_EQ(corrected.status, 10) << corrected.errors;
    EXPECT_NE(corrected.errors.find("(exit status 10)"), std::string::npos) << corrected.errors;
    EXPECT_EQ(Run("check --destination 0 " + File("jp.tcf")).status, 0);
    const CliRun help = Run("check --help");
    EXPECT_NE(help.output.find("10 no data errors, but the file"), std::string::npos)
        << help.output;
}

// The machine-wide language is Japanese (the administrator's file) and the locale is C: the
// names stay, in UTF-8, as the program shows them.
TEST_F(CorrectionCli, MachineWideJapaneseKeepsTheNamesInUtf8) {
    const std::string system = File("xdg");
    std::filesystem::create_directories(system + "/Tarn");
    testenv::writeFile(system + "/Tarn/Pelham.conf", "[General]\nLanguage=1\n");
    const std::string environment = "XDG_CONFIG_DIRS=" + system;

    const CliRun list = Run("list --destination 0 " + File("jp.tcf"), environment);
    EXPECT_EQ(list.status, 0) << list.errors;
    EXPECT_NE(list.output.find("\"" + NameText + "\""), std::string::npos) << list.output;
    EXPECT_NE(list.output.find(": " + GroupText + "\n"), std::string::npos) << list.output;

    ASSERT_EQ(
        Run("export --destination 0 " + File("jp.tcf") + " --sheet group:0 " + File("out.csv"),
            environment)
            .status,
        0);
    const std::string csv = testenv::readFile(File("out.csv"));
    EXPECT_NE(csv.find("," + GroupText + ","), std::string::npos) << csv;
    EXPECT_NE(csv.find("," + NameText + ","), std::string::npos) << csv;

    // Without the machine's choice the language is English and the names are blanks.
    const CliRun plain = Run("list --destination 0 " + File("jp.tcf"));
    EXPECT_EQ(plain.output.find(NameText), std::string::npos) << plain.output;
}

} // namespace
