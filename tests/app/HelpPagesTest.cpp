// The help pages as installed beside the program: every topic the cells reach has a page
// in both languages, every link and picture resolves, and the Japanese pages are Japanese.

#include "catalogue/cmcGTex.h"
#include "platform/fake/cmcFakePlatform.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* const Languages[] = {"en", "ja"};
const char* const OtherPages[] = {"index.html",     "getting-started.html", "csv.html",
                                  "presets.html",   "printing.html",        "command-line.html",
                                  "simulator.html", "troubleshooting.html"};

fs::path HelpFolder() {
    return testenv::dataFolder().parent_path().parent_path() / "help";
}

// "name<TAB>value" lines of a key.
std::vector<std::pair<std::string, std::string>> Pairs(cmcHelpGTex& help, const char* key) {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::istringstream in(help.GetLines(key));
    for (std::string line; std::getline(in, line);) {
        const size_t tab = line.find('\t');
        pairs.emplace_back(line.substr(0, tab),
                           tab == std::string::npos ? "" : line.substr(tab + 1));
    }
    return pairs;
}

std::vector<std::string> Matches(const std::string& text, const std::regex& pattern) {
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.push_back((*it)[1].str());
    return found;
}

// Whether the UTF-8 text holds kana or kanji.
bool HasJapanese(const std::string& text) {
    for (size_t i = 0; i + 2 < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0xE3 || c > 0xE9) continue;
        const unsigned code = ((c & 0x0Fu) << 12) | ((unsigned(text[i + 1]) & 0x3Fu) << 6) |
                              (unsigned(text[i + 2]) & 0x3Fu);
        if ((code >= 0x3040 && code <= 0x30FF) || (code >= 0x4E00 && code <= 0x9FFF)) return true;
    }
    return false;
}

struct Page {
    fs::path path;
    std::string text;
};

std::map<std::string, Page> PagesOf(const char* language) {
    std::map<std::string, Page> pages;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(HelpFolder() / language, error))
        if (entry.path().extension() == ".html")
            pages[entry.path().filename().string()] = {entry.path(),
                                                       testenv::readFile(entry.path().string())};
    return pages;
}

TEST(HelpPagesTest, EveryTopicHasAPageInBothLanguagesAndEveryPageHoldsTogether) {
    cmcFakePlatform platform;
    cmcHelpGTex help;
    help.Attach(HelpTopicTable());

    // The topics the cells reach (the first line of each name) all have a context line.
    std::map<std::string, std::string> contextOf;
    for (const auto& [topic, context] : Pairs(help, "GI_AppItem_Context_ID"))
        contextOf[topic] = context;
    std::set<std::string> seen;
    for (const auto& [name, topic] : Pairs(help, "GI_AppItem_Topic_ID")) {
        if (!seen.insert(name).second) continue; // a later line of a name never takes effect
        EXPECT_TRUE(contextOf.count(topic)) << name << " " << topic;
    }

    const std::regex titlePattern("<title>\\s*([^<\\s][^<]*)</title>", std::regex::icase);
    const std::regex linkPattern("(?:href|src)\\s*=\\s*\"([^\"]*)\"", std::regex::icase);
    const std::regex idPattern("(?:id|name)\\s*=\\s*\"([^\"]*)\"", std::regex::icase);
    std::map<std::string, Page> english = PagesOf("en");
    for (const char* language : Languages) {
        std::map<std::string, Page> pages = PagesOf(language);
        for (const auto& [topic, context] : contextOf)
            EXPECT_TRUE(pages.count("IDH" + std::to_string(1000 + std::stoi(context)) + ".html"))
                << language << " has no page for context " << context;
        for (const char* name : OtherPages)
            EXPECT_TRUE(pages.count(name)) << language << "/" << name;
        for (const char* name : OtherPages) {
            if (std::string(name) == "index.html" || !pages.count("index.html")) continue;
            EXPECT_NE(pages["index.html"].text.find(std::string("\"") + name), std::string::npos)
                << language << "/index.html does not link " << name;
        }

        for (const auto& [name, page] : pages) {
            const std::string where = std::string(language) + "/" + name;
            EXPECT_TRUE(std::regex_search(page.text, titlePattern)) << where << ": no title";
            for (const std::string& link : Matches(page.text, linkPattern)) {
                if (link.rfind("http://", 0) == 0 || link.rfind("https://", 0) == 0 ||
                    link.rfind("mailto:", 0) == 0)
                    continue;
                const size_t hash = link.find('#');
                const std::string file = link.substr(0, hash);
                const fs::path target = file.empty() ? page.path : page.path.parent_path() / file;
                if (!fs::is_regular_file(target)) {
                    ADD_FAILURE() << where << ": " << link << " leads nowhere";
                    continue;
                }
                if (hash == std::string::npos || target.extension() != ".html") continue;
                const std::vector<std::string> ids =
                    Matches(testenv::readFile(target.string()), idPattern);
                EXPECT_NE(std::find(ids.begin(), ids.end(), link.substr(hash + 1)), ids.end())
                    << where << ": " << link << " names no place in its page";
            }
            if (std::string(language) != "ja") continue;
            EXPECT_TRUE(HasJapanese(page.text)) << where << " is not Japanese";
            EXPECT_FALSE(english.count(name) && english[name].text == page.text)
                << where << " copies the English page";
        }
        EXPECT_EQ(pages.size(), english.size()) << language;
    }
}

} // namespace
