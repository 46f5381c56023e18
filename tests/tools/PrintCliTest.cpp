// pelham-cli print, run as a user runs it; the pages read back with pdftotext.

#include "support/CliRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using testenv::TempFolder;

// The output of a shell command.
std::string Capture(const std::string& command) {
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return text;
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, got);
    pclose(pipe);
    return text;
}

std::vector<std::string> Pages(const std::string& pdf) {
    const std::string text = Capture("pdftotext -layout '" + pdf + "' - 2>/dev/null");
    std::vector<std::string> pages;
    size_t start = 0;
    for (size_t feed = text.find('\f'); feed != std::string::npos; feed = text.find('\f', start)) {
        pages.push_back(text.substr(start, feed - start));
        start = feed + 1;
    }
    return pages;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class PrintCli : public ::testing::Test {
  protected:
    CliRun Run(const std::string& arguments) {
        return RunPelhamCli(arguments + " --destination 1", folder);
    }
    std::string File(const std::string& name) const { return folder.file(name); }

    void SetUp() override { ASSERT_EQ(Run("new " + File("a.tcf")).status, 0); }

    TempFolder folder;
};

TEST_F(PrintCli, PrintAllGivesEveryTreeSheetInTreeOrderWithItsFrame) {
    const CliRun run = Run("print " + File("a.tcf") + " --all -o " + File("all.pdf"));
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::vector<std::string> pages = Pages(File("all.pdf"));
    ASSERT_GE(pages.size(), 10u);
    for (size_t n = 0; n < pages.size(); ++n) {
        EXPECT_TRUE(Has(pages[n], "Pelham Rev.1.0")) << n;
        EXPECT_TRUE(Has(pages[n], "Tarn Inc.")) << n;
        EXPECT_TRUE(Has(pages[n], std::to_string(n + 1) + " / " + std::to_string(pages.size())))
            << pages[n];
    }
    // The printed titles of the tree's sheets, in the tree's order.
    const char* const titles[] = {"Category Operation", "Program Search", "Auto Write",
                                  "Basic Search Operation", "Common Setting"};
    size_t previous = 0;
    for (const char* title : titles) {
        size_t page = previous;
        while (page < pages.size() && !Has(pages[page].substr(0, pages[page].find('\n')), title))
            ++page;
        ASSERT_LT(page, pages.size()) << title << " after page " << previous + 1;
        previous = page;
    }
    EXPECT_TRUE(Has(pages.back(), "Common Setting"));
    // Each link sheet's title names its link, so the ten link pages can be told apart.
    for (int link = 0; link < 10; ++link) {
        const std::string name = "P-LINK No." + std::to_string(link);
        EXPECT_TRUE(std::any_of(pages.begin(), pages.end(), [&](const std::string& page) {
            const std::string title = page.substr(0, page.find('\n'));
            return Has(title, "Program Search Link") && Has(title, name);
        })) << name;
    }
}

TEST_F(PrintCli, OneSheetOnLetterPaper) {
    const CliRun run =
        Run("print " + File("a.tcf") + " --sheet group:0 --paper Letter -o " + File("g.pdf"));
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(Has(Capture("pdfinfo '" + File("g.pdf") + "'"), "612 x 792 pts"));
    const std::vector<std::string> pages = Pages(File("g.pdf"));
    ASSERT_FALSE(pages.empty());
    EXPECT_TRUE(Has(pages.front(), "145.000000"));
    EXPECT_TRUE(Has(pages.front(), "Initial"));
}

TEST_F(PrintCli, BadCommandLinesAndFilesAreRefusedAndAnOldPdfIsKept) {
    testenv::writeFile(File("old.pdf"), "old");
    struct Case {
        std::string arguments;
        int status;
    };
    const std::string a = File("a.tcf");
    const Case cases[] = {
        {"print " + a + " -o " + File("old.pdf"), 64},
        {"print " + a + " --all --sheet edges -o " + File("old.pdf"), 64},
        {"print " + a + " --all", 64},
        {"print " + a + " --all --paper A3 -o " + File("old.pdf"), 64},
        {"print " + a + " --sheet group:7 -o " + File("old.pdf"), 64},
        {"print " + a + " --sheet group:x -o " + File("old.pdf"), 64},
        {"print " + a + " --sheet nothing -o " + File("old.pdf"), 64},
        {"print " + File("none.tcf") + " --all -o " + File("old.pdf"), 1},
        {"print " + a + " --all -o " + File("no/such/folder.pdf"), 1},
    };
    for (const Case& c : cases) {
        const CliRun run = Run(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.errors;
        EXPECT_EQ(testenv::readFile(File("old.pdf")), "old") << c.arguments;
    }
}

} // namespace
