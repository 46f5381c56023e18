// pelham-cli sort, and edit --rows with a value, run as a script runs them.

#include "support/CliRun.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testenv::TempFolder;

class ArrangeCliTest : public ::testing::Test {
  protected:
    // Group 0 holds three channels of their own names: 146, 145.5 and 144 MHz.
    void SetUp() override {
        file_ = folder_.file("doc.tcf");
        ASSERT_EQ(Run("new " + file_).status, 0);
        for (const auto& [row, mhz] : {std::pair{0, "146.000"}, {1, "145.500"}, {2, "144.000"}})
            ASSERT_EQ(
                Edit("--cell CL_Mch_Freq --index " + std::to_string(row) + " --text " + mhz).status,
                0);
    }
    CliRun Run(const std::string& arguments) {
        return RunPelhamCli(arguments + " --destination 1", folder_);
    }
    CliRun Edit(const std::string& arguments) {
        return Run("edit " + file_ + " --sheet group:0 " + arguments);
    }
    std::vector<std::string> Column(const std::string& cell, const std::string& file = "") {
        std::vector<std::string> texts;
        for (int row = 0; row < 3; ++row)
            texts.push_back(Run("cell " + (file.empty() ? file_ : file) +
                                " --sheet group:0 --cell " + cell + " --index " +
                                std::to_string(row))
                                .output);
        return texts;
    }
    std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    TempFolder folder_;
    std::string file_;
};

TEST_F(ArrangeCliTest, SortsByFrequencyEitherWayIntoAnotherFile) {
    const std::string original = Bytes(file_);
    const std::string out = folder_.file("sorted.tcf");
    const CliRun sorted = Run("sort " + file_ + " --sheet group:0 --by frequency -o " + out);
    ASSERT_EQ(sorted.status, 0) << sorted.errors;
    EXPECT_EQ(Column("CL_Mch_Freq", out),
              (std::vector<std::string>{"144.000000\n", "145.500000\n", "146.000000\n"}));
    EXPECT_EQ(Bytes(file_), original);

    ASSERT_EQ(Run("sort " + out + " --sheet group:0 --by CL_Mch_Freq --descending").status, 0);
    EXPECT_EQ(Column("CL_Mch_Freq", out),
              (std::vector<std::string>{"146.000000\n", "145.500000\n", "144.000000\n"}));
    // Rows 1-2 only.
    ASSERT_EQ(Run("sort " + out + " --sheet group:0 --by frequency --rows 1-2").status, 0);
    EXPECT_EQ(Column("CL_Mch_Freq", out),
              (std::vector<std::string>{"146.000000\n", "144.000000\n", "145.500000\n"}));
}

TEST_F(ArrangeCliTest, SortRefusesWhatItCannotSort) {
    const std::string original = Bytes(file_);
    struct Case {
        std::string arguments;
        int status;
    };
    const Case cases[] = {
        {"--sheet group:0 --by colour", 64},
        {"--sheet group:0 --by CL_PgSrch_Mode", 64}, // a column of another sheet
        {"--sheet categories --by name", 64},
        {"--sheet group:7 --by name", 64},
        {"--sheet bank-ch:0 --by frequency", 64}, // no bank
    };
    for (const Case& c : cases) {
        const CliRun run = Run("sort " + file_ + " " + c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.errors;
    }
    EXPECT_EQ(Bytes(file_), original);
}

TEST_F(ArrangeCliTest, EditRowsGivesTheValueToEachRowAndAsksOnce) {
    const CliRun many = Edit("--cell CL_Mch_Freq --rows 0-2 --text 145.250");
    ASSERT_EQ(many.status, 0) << many.errors;
    EXPECT_EQ(Column("CL_Mch_Freq"),
              (std::vector<std::string>{"145.250000\n", "145.250000\n", "145.250000\n"}));
    ASSERT_EQ(Edit("--cell CL_Mch_Scan_Skip --rows 1-2 --choose Skip").status, 0);
    EXPECT_EQ(Column("CL_Mch_Scan_Skip"), (std::vector<std::string>{"OFF\n", "Skip\n", "Skip\n"}));

    // A name number belongs to one name: the question whether to take it from the first
    // row is asked once, and without --yes the edit is refused whole.
    const std::string before = Bytes(file_);
    const CliRun numbers = Edit("--cell CL_Mch_Name_Num --rows 0-2 --text 7");
    EXPECT_EQ(numbers.status, 1) << numbers.errors;
    const std::string question = "Are you sure to overwrite?";
    const size_t asked = numbers.errors.find(question);
    ASSERT_NE(asked, std::string::npos) << numbers.errors;
    EXPECT_EQ(numbers.errors.find(question, asked + 1), std::string::npos) << numbers.errors;
    EXPECT_EQ(Bytes(file_), before);
    EXPECT_EQ(Edit("--cell CL_Mch_Freq --rows 0-2 --key 32").status, 64);
}

TEST_F(ArrangeCliTest, CheckDuplicatesListsTheRepeatedChannels) {
    const CliRun none = Run("check " + file_ + " --duplicates");
    EXPECT_EQ(none.status, 0) << none.errors;
    EXPECT_EQ(none.output, "");
    ASSERT_EQ(Edit("--cell CL_Mch_Freq --index 2 --text 146.000").status, 0);
    ASSERT_EQ(Edit("--cell CL_Mch_Name_Name --index 0 --text TWIN").status, 0);
    ASSERT_EQ(Edit("--cell CL_Mch_Name_Name --index 1 --text TWIN").status, 0);
    const CliRun found = Run("check " + file_ + " --duplicates");
    EXPECT_EQ(found.status, 1);
    EXPECT_EQ(found.output.rfind("group:0 row 1: name \"TWIN\", as group:0 row 0\n"
                                 "group:0 row 2: frequency 146.000000 ",
                                 0),
              0u)
        << found.output;
    EXPECT_NE(found.output.find(", as group:0 row 0\n", 40), std::string::npos) << found.output;
}

TEST_F(ArrangeCliTest, FillGivesFrequenciesAndNamesAndAddsRows) {
    const CliRun filled = Run("fill " + file_ +
                              " --sheet group:0 --rows 1-3 --start 144.100 --step 0.0125 --count 4 "
                              "--name RPT --first 7");
    ASSERT_EQ(filled.status, 0) << filled.errors;
    EXPECT_EQ(filled.output, "5 channels in the group, 2 added\n");
    EXPECT_EQ(Column("CL_Mch_Freq"),
              (std::vector<std::string>{"146.000000\n", "144.100000\n", "144.112500\n"}));
    EXPECT_EQ(Column("CL_Mch_Name_Name"), (std::vector<std::string>{"\n", "RPT 7\n", "RPT 8\n"}));
    EXPECT_EQ(Run("fill " + file_ + " --sheet group:0 --rows 0 --start abc --step 1").status, 64);
    EXPECT_EQ(Run("fill " + file_ + " --sheet edges --rows 0 --start 1 --step 1").status, 64);
}

} // namespace
