// pelham-cli new and list, run as a user runs them.

#include "support/CliRun.h"

#include "app/indDocumentFile.h"
#include "catalogue/cmcGTex.h"
#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "platform/fake/cmcFakePlatform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using testenv::TempFolder;

CliRun RunCli(const std::string& arguments, const TempFolder& folder) {
    return RunPelhamCli(arguments, folder);
}

class ModelCliTest : public ::testing::Test {
  protected:
    ModelCliTest() {
        catalogue.Attach(EnglishTable());
        cmcGTex::SetProcess(&catalogue);
    }
    ~ModelCliTest() override { cmcGTex::SetProcess(nullptr); }
    cmcFakePlatform platform;
    cmcGTex catalogue;
    TempFolder folder;
};

TEST_F(ModelCliTest, NewWritesTheDefaultImageOfTheDestination) {
    for (int destination : {0, 5, 13}) {
        const std::string path = folder.file("new" + std::to_string(destination) + ".tcf");
        const CliRun run =
            RunCli("new --destination " + std::to_string(destination) + " " + path, folder);
        ASSERT_EQ(run.status, 0) << run.errors;
        cmcEeprom image;
        image.SetSize(ImageSize);
        ASSERT_EQ(ReadDocumentFile(path, image), 0);
        EXPECT_EQ(std::memcmp(image.Data(), DefaultImageBytes(destination), MapSize), 0)
            << destination;
    }
    EXPECT_EQ(RunCli("new --destination 15 " + folder.file("x.tcf"), folder).status, 64);
    EXPECT_EQ(RunCli("new", folder).status, 64);
}

TEST_F(ModelCliTest, ListShowsTheOrganisation) {
    const std::string path = folder.file("new.tcf");
    ASSERT_EQ(RunCli("new --destination 1 " + path, folder).status, 0);
    const CliRun run = RunCli("list --destination 1 " + path, folder);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.output, "Category 0: HAM\n"
                          "  Group 0: Initial\n"
                          "    0-0     145.000000  FM    \"\"\n"
                          "    1-0     430.000000  FM    \"\"\n"
                          "1 categories, 1 groups, 2 channels\n");
}

TEST_F(ModelCliTest, ListRefusesAFileThatIsNoImage) {
    testenv::writeFile(folder.file("bad.tcf"), "30760001\r\n#\r\n");
    const CliRun run = RunCli("list --destination 1 " + folder.file("bad.tcf"), folder);
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_NE(run.errors, "");
}

} // namespace
