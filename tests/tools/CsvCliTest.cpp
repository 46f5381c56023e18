// pelham-cli export, import and preset, run as a user runs them.

#include "support/CliRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace {

using testenv::TempFolder;

class CsvCli : public ::testing::Test {
  protected:
    CliRun Run(const std::string& arguments, const std::string& locale = "C") {
        return RunPelhamCli(arguments + " --destination 1", folder, locale);
    }
    std::string File(const std::string& name) const { return folder.file(name); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(File(name)); }

    void SetUp() override { ASSERT_EQ(Run("new " + File("a.tcf")).status, 0); }

    TempFolder folder;
};

TEST_F(CsvCli, ImportedChannelsComeBackOutOfTheSavedFile) {
    testenv::writeFile(File("in.csv"), "CH No,Frequency,Mode,Name Name\r\n"
                                       "0,156.8,FM,Distress\r\n1,0.1,FM,Bad\r\n");
    CliRun run = Run("import " + File("a.tcf") + " --sheet group:0 --overwrite --yes " +
                     File("in.csv") + " -o " + File("b.tcf"));
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.errors.find("Some channels are read as blank"), std::string::npos);
    ASSERT_EQ(Run("export " + File("b.tcf") + " --sheet group:0 " + File("out.csv")).status, 0);
    const std::string out = testenv::readFile(File("out.csv"));
    EXPECT_NE(out.find(",Distress,,OFF,156.800000,"), std::string::npos) << out;
    EXPECT_EQ(out.find("\r\n0001"), std::string::npos) << "one channel only";

    ASSERT_EQ(Run("export " + File("a.tcf") + " --sheet group:0 " + File("old.csv")).status, 0);
    EXPECT_NE(testenv::readFile(File("old.csv")).find(",145.000000,"), std::string::npos)
        << "the input file is left as it was";
}

TEST_F(CsvCli, OverwriteWithoutYesAndBadInputChangeNothing) {
    testenv::writeFile(File("in.csv"), "CH No,Frequency\r\n0,150\r\n");
    EXPECT_EQ(Run("import " + File("a.tcf") + " --sheet group:0 --overwrite " + File("in.csv") +
                  " -o " + File("b.tcf"))
                  .status,
              1);
    EXPECT_FALSE(Exists("b.tcf"));

    testenv::writeFile(File("bad.csv"), "CH No;Freq\r\n0;150\r\n");
    CliRun run = Run("import " + File("a.tcf") + " --sheet group:0 --add " + File("bad.csv") +
                     " -o " + File("b.tcf"));
    EXPECT_EQ(run.status, 6);
    EXPECT_EQ(run.errors, "File error.\n\nIllegal data.\n");
    EXPECT_FALSE(Exists("b.tcf"));

    EXPECT_EQ(Run("import " + File("a.tcf") + " --sheet group:0 --add " + File("none.csv")).status,
              1);

    // A named pipe nobody writes to is no channel list or preset; it must not hang.
    ASSERT_EQ(mkfifo(File("pipe.csv").c_str(), 0600), 0);
    for (const std::string& command :
         {"import " + File("a.tcf") + " --sheet group:0 --add " + File("pipe.csv"),
          "preset " + File("a.tcf") + " " + File("pipe.csv") + " --all --add"}) {
        run = Run(command + " -o " + File("b.tcf"));
        EXPECT_EQ(run.status, 6) << command;
        EXPECT_EQ(run.errors, "File error.\n\nIllegal data.\n") << command;
    }
    EXPECT_FALSE(Exists("b.tcf"));
}

TEST_F(CsvCli, UsageErrors) {
    const std::string csv = File("in.csv");
    testenv::writeFile(csv, "CH No,Frequency\r\n0,150\r\n");
    const std::string a = File("a.tcf");
    for (const std::string& arguments :
         {"import " + a + " --sheet group:0 --add --overwrite " + csv,
          "import " + a + " --sheet group:0 " + csv, "import " + a + " --sheet link:0 --add " + csv,
          "import " + a + " --sheet edges --add " + csv,
          "import " + a + " --sheet group:5 --add " + csv,
          "export " + a + " --sheet banks " + File("x.csv"),
          "export " + a + " --sheet group:x " + csv, "preset " + a + " p.sch --all --bank 1 --add",
          "preset " + a + " p.sch --bank 3 --add"})
        EXPECT_EQ(Run(arguments).status, 64) << arguments;
}

TEST_F(CsvCli, PresetReplacesTheBanks) {
    const std::string preset =
        (testenv::dataFolder().parent_path().parent_path() / "data/presets/English/USA.sch")
            .string();
    CliRun run = Run("preset " + File("a.tcf") + " " + preset + " --all --overwrite --yes -o " +
                     File("b.tcf"));
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors, "All basic search channels will be replaced.\nAre you sure ?\n");
    EXPECT_EQ(Run("check " + File("b.tcf")).status, 0);
    EXPECT_EQ(
        Run("preset " + File("a.tcf") + " " + preset + " --all --overwrite -o " + File("c.tcf"))
            .status,
        1);
    EXPECT_FALSE(Exists("c.tcf"));
}

// A preset named without a folder is one of those installed with the program: the
// program's data folder is found from the build folder as from an install.
TEST_F(CsvCli, PresetByNameIsTheInstalledOne) {
    const std::string preset =
        (testenv::dataFolder().parent_path().parent_path() / "data/presets/English/USA.sch")
            .string();
    const std::string tail = " --all --overwrite --yes -o ";
    ASSERT_EQ(Run("preset " + File("a.tcf") + " " + preset + tail + File("path.tcf")).status, 0);
    for (const std::string name : {"USA.sch", "usa"}) {
        CliRun run = Run("preset " + File("a.tcf") + " " + name + tail + File("name.tcf"));
        EXPECT_EQ(run.status, 0) << name << ": " << run.errors;
        EXPECT_EQ(testenv::readFile(File("name.tcf")), testenv::readFile(File("path.tcf"))) << name;
    }
    CliRun unknown = Run("preset " + File("a.tcf") + " Atlantis" + tail + File("x.tcf"));
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.errors.find("Cannot open the file."), std::string::npos) << unknown.errors;
    EXPECT_FALSE(Exists("x.tcf"));
}

// Under a locale with a decimal comma the fields are separated by ";", and such a file
// reads back under the same locale.
TEST_F(CsvCli, CommaLocaleRoundTrip) {
    const std::string german = "de_DE.UTF-8";
    ASSERT_EQ(Run("export " + File("a.tcf") + " --sheet group:0 " + File("de.csv"), german).status,
              0);
    const std::string text = testenv::readFile(File("de.csv"));
    ASSERT_NE(text.find("CH No;Category Icon;"), std::string::npos) << text;
    ASSERT_NE(text.find(";145,000000;"), std::string::npos);
    EXPECT_EQ(Run("import " + File("a.tcf") + " --sheet group:0 --overwrite --yes " +
                      File("de.csv") + " -o " + File("b.tcf"),
                  german)
                  .status,
              0);
    ASSERT_EQ(
        Run("export " + File("b.tcf") + " --sheet group:0 " + File("back.csv"), german).status, 0);
    EXPECT_EQ(testenv::readFile(File("back.csv")), text);
}

} // namespace
