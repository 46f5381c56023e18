// pelham-cli --help and COMMAND --help: usage on standard output, nothing run.

#include "support/CliRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using testenv::TempFolder;

const char* const Commands[] = {"new",    "check",  "list", "info", "read", "write",  "export",
                                "import", "preset", "cell", "edit", "diff", "backups"};

TEST(UsageCliTest, EveryCommandPrintsItsUsageAndRunsNothing) {
    TempFolder folder;
    for (const char* command : Commands) {
        const std::string out = folder.file(std::string(command) + ".tcf");
        for (const char* help : {"--help", "-h"}) {
            const CliRun run = RunPelhamCli(std::string(command) + " " + out + " " + help, folder);
            EXPECT_EQ(run.status, 0) << command << " " << help << ": " << run.errors;
            EXPECT_EQ(run.output.rfind("usage: pelham-cli " + std::string(command) + " ", 0), 0u)
                << run.output;
            EXPECT_NE(run.output.find("--language en|ja"), std::string::npos) << command;
            EXPECT_EQ(run.errors, "") << command;
        }
        EXPECT_FALSE(std::filesystem::exists(out)) << command;
    }
}

TEST(UsageCliTest, CommandsThatTakeASheetNameTheSheets) {
    TempFolder folder;
    for (const std::string command : {"export", "import", "cell", "edit"})
        EXPECT_NE(RunPelhamCli(command + " --help", folder).output.find("bank-ch:N"),
                  std::string::npos)
            << command;
    EXPECT_EQ(RunPelhamCli("new --help", folder).output.find("bank-ch:N"), std::string::npos);
}

TEST(UsageCliTest, TheWholeUsageGoesToOutputOnlyWhenAskedFor) {
    TempFolder folder;
    const CliRun asked = RunPelhamCli("--help", folder);
    EXPECT_EQ(asked.status, 0);
    for (const char* command : Commands)
        EXPECT_NE(asked.output.find(std::string("pelham-cli ") + command + " "), std::string::npos)
            << command;
    const CliRun bare = RunPelhamCli("", folder);
    EXPECT_EQ(bare.status, 64);
    EXPECT_EQ(bare.output, "");
    EXPECT_NE(bare.errors.find("usage:"), std::string::npos);
    EXPECT_EQ(RunPelhamCli("frobnicate --help", folder).status, 64);
}

} // namespace
