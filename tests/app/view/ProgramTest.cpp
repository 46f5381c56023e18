// The pelham program itself, started as a user starts it.

#include "app/indProcess.h"
#include "platform/qt/core/cmcQtCorePlatform.h"
#include "support/TestEnvironment.h"

#include <QLockFile>

#include <gtest/gtest.h>

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

} // namespace
