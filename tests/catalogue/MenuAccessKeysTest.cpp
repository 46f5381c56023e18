// Every menu of the catalogue gives its items distinct access keys, in both languages: with
// two items on one key, pressing it twice walks into the wrong item, and Enter runs it.

#include "catalogue/cmcGTex.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>
#include <vector>

namespace {

// The character after a single "&" ("&&" is a literal ampersand), upper-cased; 0 if none.
char AccessKey(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return char(std::toupper(static_cast<unsigned char>(caption[i + 1])));
    }
    return 0;
}

// "menu key: item and item share &K" for each clash among the items of one menu (the items
// under one parent line of a menu body).
std::vector<std::string> AccessKeyClashes(cmcTextTable table) {
    std::vector<std::string> clashes;
    std::string key;
    std::vector<int> parents;                          // the line of each open level
    std::map<std::pair<int, char>, std::string> taken; // (parent line, key) -> caption
    for (size_t n = 0; n < table.count; ++n) {
        const std::string line = table.lines[n];
        if (!line.empty() && line.front() == '#') {
            const bool menu = line.size() > 5 && line.compare(line.size() - 5, 5, "_Body") == 0 &&
                              (line.rfind("#GI_Menu_", 0) == 0 || line.rfind("#GI_PMenu_", 0) == 0);
            key = menu ? line.substr(1) : std::string();
            parents.clear();
            continue;
        }
        const size_t plus = line.find_first_not_of(' ');
        if (key.empty() || plus == std::string::npos || line[plus] != '+') continue;
        const size_t depth = plus;
        parents.resize(depth + 1, -1);
        parents[depth] = int(n);
        const int parent = depth == 0 ? -1 : parents[depth - 1];
        const std::string caption = line.substr(plus + 1, line.find('\t') - plus - 1);
        const char access = AccessKey(caption);
        if (!access) continue;
        const auto [at, fresh] = taken.emplace(std::make_pair(parent, access), caption);
        if (!fresh)
            clashes.push_back(key + ": " + at->second + " and " + caption + " share &" + access);
    }
    return clashes;
}

TEST(MenuAccessKeysTest, TheCheckFindsAClashWithinOneMenuOnly) {
    const char* lines[] = {"#GI_Menu_Test_Body",  "+&File\t{}",  " +&Print\t{}",
                           "  +&All\t{}",         " +-",         " +&All Sheets\t{}",
                           " +P&&Q &Preview\t{}", "+&Port\t{}",  "#GI_Other_Body",
                           "+&Print\t{}",         "+&Print\t{}", "#"};
    const std::vector<std::string> clashes = AccessKeyClashes({lines, std::size(lines)});
    ASSERT_EQ(clashes.size(), 1u);
    EXPECT_EQ(clashes.front(), "GI_Menu_Test_Body: &Print and P&&Q &Preview share &P");
}

TEST(MenuAccessKeysTest, EveryMenuHasDistinctAccessKeysInBothLanguages) {
    for (const cmcTextTable table : {EnglishTable(), JapaneseTable()})
        for (const std::string& clash : AccessKeyClashes(table))
            ADD_FAILURE() << clash;
}

} // namespace
