// The pelham program itself, started as a user starts it.

#include "app/indProcess.h"
#include "app/view/cuiCommandLine.h"
#include "platform/qt/core/cmcQtCorePlatform.h"
#include "support/TestEnvironment.h"

#include <QLockFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace {

using testenv::TempFolder;

TEST(ProgramTest, ASecondInstanceEndsAtOnceAndWritesNothing) {
    const std::filesystem::path program = testenv::binaryFolder() / "pelham";
    ASSERT_TRUE(std::filesystem::exists(program)) << "build the pelham target first";
    TempFolder runtime, config;
    std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);

    // The first instance, as far as the lock goes.
    cmcQtInstanceLock first;
    ASSERT_TRUE(first.tryLock(indProcess::MutexName));

    const std::string output = config.file("output.txt");
    // A program that did not end by itself is stopped and fails the test (status 124).
    const std::string command = "QT_QPA_PLATFORM=offscreen timeout 10 " + program.string() + " >" +
                                output + " 2>&1 </dev/null";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);
    EXPECT_EQ(testenv::readFile(output), "");
    EXPECT_FALSE(std::filesystem::exists(config.path() / "Tarn"));
}

// --help, -h and a mistyped option are answered before any display is opened: here there is
// none to open, and the toolkit would abort.
TEST(ProgramTest, HelpAndUsageErrorsNeedNoDisplay) {
    const std::filesystem::path program = testenv::binaryFolder() / "pelham";
    ASSERT_TRUE(std::filesystem::exists(program)) << "build the pelham target first";
    TempFolder folder;
    struct Case {
        std::string arguments;
        int status;
        std::string out; // found in standard output
        std::string err; // found in standard error
    };
    const Case cases[] = {{"--help", 0, "usage: pelham", ""},
                          {"-h", 0, "usage: pelham", ""},
                          {"--no-such-option", 64, "", "unknown option --no-such-option"},
                          {"-x a.tcf", 64, "", "unknown option -x"},
                          {"a.tcf b.tcf", 64, "", "one file at a time"},
                          {"--port", 64, "", "--port needs a value"},
                          {"--language fr", 64, "", "--language takes en or ja"}};
    for (const Case& c : cases) {
        const std::string out = folder.file("out.txt"), err = folder.file("err.txt");
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "
                                    "timeout 10 " +
                                    program.string() + " " + c.arguments + " >" + out + " 2>" +
                                    err + " </dev/null";
        const int raw = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(raw)) << c.arguments;
        EXPECT_EQ(WEXITSTATUS(raw), c.status) << c.arguments;
        const std::string printed = testenv::readFile(out), complaint = testenv::readFile(err);
        if (c.status == 0) {
            EXPECT_NE(printed.find(c.out), std::string::npos) << c.arguments;
            EXPECT_NE(printed.find("--port PATH"), std::string::npos) << c.arguments;
            EXPECT_EQ(complaint, "") << c.arguments;
        } else {
            EXPECT_EQ(printed, "") << c.arguments;
            EXPECT_NE(complaint.find(c.err), std::string::npos) << complaint;
            EXPECT_NE(complaint.find("pelham --help"), std::string::npos) << complaint;
            EXPECT_EQ(std::count(complaint.begin(), complaint.end(), '\n'), 1) << complaint;
        }
    }
}

// The toolkit's own options and their values are left to it; "--" lets a file's name start
// with a dash.
TEST(ProgramTest, TheCommandLineLeavesTheToolkitsOptionsAlone) {
    const clsCommandLine line =
        cuiParseCommandLine({"pelham", "-platform", "offscreen", "-reverse", "/SETUP", "--port",
                             "/dev/ttyUSB1", "--language", "ja", "--trace", "t.txt", "--",
                             "-odd.tcf"});
    EXPECT_EQ(line.error, "");
    EXPECT_FALSE(line.help);
    EXPECT_EQ(line.args, (std::vector<std::string>{"pelham", "/setup", "--language", "ja"}));
    EXPECT_EQ(line.port, "/dev/ttyUSB1");
    EXPECT_EQ(line.trace, "t.txt");
    EXPECT_EQ(line.file, "-odd.tcf");
}

} // namespace
