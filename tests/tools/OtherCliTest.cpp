// pelham-cli import-other and export --format generic, run as a user runs them.

#include "support/CliRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using testenv::TempFolder;

class OtherCli : public ::testing::Test {
  protected:
    CliRun Run(const std::string& arguments) {
        return RunPelhamCli(arguments + " --destination 1", folder, "C");
    }
    std::string File(const std::string& name) const { return folder.file(name); }
    static std::string Data(const std::string& name) {
        return (testenv::dataFolder() / "other" / name).string();
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(File(name)); }

    void SetUp() override { ASSERT_EQ(Run("new " + File("a.tcf")).status, 0); }

    TempFolder folder;
};

TEST_F(OtherCli, DryRunPrintsEveryRowWithItsNotesAndWritesNothing) {
    CliRun run = Run("import-other " + File("a.tcf") + " " + Data("generic.csv") +
                     " --dry-run -o " + File("b.tcf"));
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.output.find("format: generic\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("3: 446.006250 \"Narrow\" FM 6.25kHz OFF OFF SKIP [Group] (NFM → FM)\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("9: 145.670000 \"D-STAR\" (not imported: DV)\n"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("11 rows: 8 to import, 3 left out, 4 with notes; into a new "
                              "category; groups: 1\n"),
              std::string::npos)
        << run.output;
    EXPECT_FALSE(Exists("b.tcf"));
}

TEST_F(OtherCli, ImportSavesAndGenericExportListsTheChannels) {
    CliRun run = Run("import-other " + File("a.tcf") + " " + Data("scanner.csv") +
                     " --into group:0 -o " + File("b.tcf"));
    ASSERT_EQ(run.status, 0) << run.errors;
    ASSERT_EQ(Run("export " + File("b.tcf") + " --format generic " + File("out.csv")).status, 0);
    const std::string out = testenv::readFile(File("out.csv"));
    EXPECT_EQ(out.rfind("Location,Name,Frequency,Duplex,Offset,Tone,", 0), 0u) << out;
    EXPECT_NE(out.find(",\"Fire dispatch\",154.430000,,"), std::string::npos) << out;
    EXPECT_NE(out.find(",\"Police\",155.475000,,0.600000,TSQL,88.5,127.3,023,NN,FM,25.00,S,"), std::string::npos)
        << out;
}

TEST_F(OtherCli, ColumnsAreMappedByTheMapOption) {
    testenv::writeFile(File("list.csv"), "Where;Hz;What\r\nPort;156800000;Ch 16\r\n");
    CliRun run = Run("import-other " + File("a.tcf") + " " + File("list.csv") +
                     " --format columns --map frequency=Hz,name=What,unit=Hz --dry-run");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.output.find("2: 156.800000 \"Ch 16\" FM"), std::string::npos) << run.output;
}

TEST_F(OtherCli, BadInputIsAClearMessageAndChangesNothing) {
    struct Case {
        std::string arguments;
        int status;
        std::string error;
    };
    testenv::writeFile(File("nofreq.csv"), "Where,What\r\nPort,Ch 16\r\n");
    const Case cases[] = {
        {Data("generic.csv") + " --format cheese", 64, "--format takes"},
        {Data("generic.csv") + " --into group:99", 64, "--into takes"},
        {File("nofreq.csv"), 6, "No column holds the frequency."},
        {File("nofreq.csv") + " --map frequency=Nowhere", 6, "The column mapping is not understood."},
        {File("missing.csv"), 6, "The file cannot be read as a channel list."},
    };
    for (const Case& c : cases) {
        CliRun run = Run("import-other " + File("a.tcf") + " " + c.arguments + " -o " + File("b.tcf"));
        EXPECT_EQ(run.status, c.status) << c.arguments;
        EXPECT_NE(run.errors.find(c.error), std::string::npos) << c.arguments << run.errors;
        EXPECT_FALSE(Exists("b.tcf")) << c.arguments;
    }
}

} // namespace
