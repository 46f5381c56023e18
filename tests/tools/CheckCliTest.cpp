// pelham-cli check, run as a user runs it.

#include "support/CliRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using testenv::TempFolder;

CliRun RunCli(const std::string& arguments, const TempFolder& folder) {
    return RunPelhamCli(arguments, folder);
}

// A whole-image file written line by line as the receiver's files are: the map empty but
// for the format marker in its last 16 bytes.
std::string GoodFile() {
    std::string text = "30760001\r\n#CheckTest\r\n";
    const std::string marker = "TarnCloneFormat3";
    char line[64];
    for (int address = 0; address < 116800; address += 16) {
        std::snprintf(line, sizeof line, "%08X10", address);
        text += line;
        for (int i = 0; i < 16; ++i) {
            const int value = address == 116784 ? static_cast<unsigned char>(marker[i]) : 0;
            std::snprintf(line, sizeof line, "%02X", value);
            text += line;
        }
        text += "\r\n";
    }
    return text;
}

std::string Without(std::string text, const std::string& lineStart) {
    const size_t at = text.find("\n" + lineStart) + 1;
    text.erase(at, text.find('\n', at) + 1 - at);
    return text;
}

TEST(CheckCliTest, AGoodFilePassesSilently) {
    TempFolder folder;
    ASSERT_EQ(RunCli("new --destination 3 " + folder.file("new.tcf"), folder).status, 0);
    const CliRun run = RunCli("check --destination 3 " + folder.file("new.tcf"), folder);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "");
}

// An empty map opens, but only after the correction has named its categories and groups
// and filled the band memories: reported, with check's own status.
TEST(CheckCliTest, AFileThatNeedsCorrectionsIsReportedWithStatusTen) {
    TempFolder folder;
    testenv::writeFile(folder.file("good.tcf"), GoodFile());
    const CliRun run = RunCli("check --destination 3 " + folder.file("good.tcf"), folder);
    EXPECT_EQ(run.status, 10);
    EXPECT_EQ(run.errors.rfind(folder.file("good.tcf") + ": Corrected for destination DEN: ", 0),
              0u)
        << run.errors;
    EXPECT_NE(run.errors.find("\n  Group Group: renamed from 0\n"), std::string::npos)
        << run.errors;
    EXPECT_NE(run.errors.find("\nThe file opens only with corrections for destination DEN "
                              "(exit status 10).\n"),
              std::string::npos)
        << run.errors;
}

TEST(CheckCliTest, ADamagedFileGivesItsCodeAndText) {
    const std::string good = GoodFile();
    std::string lowerMarker = good;
    lowerMarker.replace(lowerMarker.find("5461726E"), 2, "74"); // "tarn..."
    struct Case {
        const char* name;
        std::string bytes;
        int code;
        const char* text;
    } cases[] = {
        {"missing", "", 1, "Cannot open the file."},
        {"model", "30770001\r\n#\r\n", 3, "Illegal data."},
        {"header", "3076000A\r\n#\r\n", 6, "Illegal data."},
        {"middle", Without(good, "0000100010"), 7, "There is not enough data."},
        {"last", Without(good, "0001C83010"), 8, "Illegal data."}, // the marker test first
        {"marker", lowerMarker, 8, "Illegal data."},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string path = folder.file(std::string(c.name) + ".tcf");
        if (c.code != 1) testenv::writeFile(path, c.bytes);
        const CliRun run = RunCli("check " + path, folder);
        EXPECT_EQ(run.status, c.code) << c.name;
        EXPECT_EQ(run.errors, std::string("File error.\n\n") + c.text + "\n") << c.name;
    }
}

// An endless device is read only as far as a clone data file can reach.
TEST(CheckCliTest, AnEndlessDeviceIsIllegalData) {
    TempFolder folder;
    const CliRun run = RunCli("check /dev/zero", folder);
    EXPECT_EQ(run.status, 6);
    EXPECT_EQ(run.errors, "File error.\n\nIllegal data.\n");
}

TEST(CheckCliTest, UsageErrors) {
    TempFolder folder;
    for (const char* arguments : {"check", "check a.tcf b.tcf"}) {
        const CliRun run = RunCli(arguments, folder);
        EXPECT_EQ(run.status, 64) << arguments;
        EXPECT_NE(run.errors.find("usage: pelham-cli check FILE.tcf"), std::string::npos)
            << arguments;
    }
}

} // namespace

namespace {

// A channel above the receiver's coverage is an error; check lists it with its sheet and
// row and ends with status 1, while a new document has no findings.
TEST(CheckCliTest, ListsDataErrorsWithSheetAndRow) {
    TempFolder folder;
    const std::string path = folder.file("data.tcf");
    ASSERT_EQ(RunCli("new --destination 1 " + path, folder).status, 0);
    const CliRun clean = RunCli("check --destination 1 " + path, folder);
    EXPECT_EQ(clean.status, 0) << clean.errors;
    EXPECT_EQ(clean.errors, "");

    // Channel 0's frequency (big-endian, at the start of its record) beyond 3.3 GHz.
    std::string text = testenv::readFile(path);
    const size_t line = text.find("\n00000000") + 1;
    text.replace(line + 10, 8, "FFFFFFF0");
    testenv::writeFile(path, text);
    const CliRun bad = RunCli("check --destination 1 " + path, folder);
    EXPECT_EQ(bad.status, 1) << bad.errors;
    EXPECT_NE(bad.errors.find("group:0 row 0: error: frequency"), std::string::npos) << bad.errors;
}

} // namespace
