// Checks the Japanese table against the English one. The Japanese table translates texts
// only: everything the program reads as structure (line positions, terminators, printf
// formats, the mark-up of sheets, menus, trees and cell models, file patterns, data values)
// must stand exactly as in the English table.

#include "catalogue/cmcGTex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

struct Value {
    std::string key;
    std::vector<std::string> lines; // every line up to the next key line
};

bool IsKeyLine(const std::string& line) {
    return line.size() > 1 && line[0] == '#';
}

std::vector<Value> ValuesOf(cmcTextTable table) {
    std::vector<Value> values;
    for (size_t i = 0; i < table.count; ++i) {
        const std::string line = table.lines[i];
        if (IsKeyLine(line))
            values.push_back({line.substr(1), {}});
        else if (!values.empty())
            values.back().lines.push_back(line);
    }
    return values;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}
bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Menu, toolbar and tree bodies: the depth of a line is the bytes before its first "+".
bool IsBodyKey(const std::string& key) {
    return EndsWith(key, "_Body") || StartsWith(key, "GI_Tree_Branch_");
}

// printf conversions of a line in order, "%%" included.
std::vector<std::string> Conversions(const std::string& line) {
    static const std::regex conversion(
        "%(%|[-+ #0]*[0-9]*(\\.[0-9]+)?(hh|h|ll|l|z)?[diouxXeEfgGcsp])");
    std::vector<std::string> found;
    for (std::sregex_iterator it(line.begin(), line.end(), conversion), end; it != end; ++it)
        found.push_back(it->str());
    return found;
}

std::string Surrounding(const std::string& line) {
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) return "[" + line + "]";
    const size_t last = line.find_last_not_of(" \t");
    return "[" + line.substr(0, first) + "]...[" + line.substr(last + 1) + "]";
}

// Cells of a row as the layout parser splits them: at every "|" not escaped by "\".
std::vector<std::string> Cells(const std::string& row) {
    std::vector<std::string> cells;
    std::string rest = row;
    while (!rest.empty()) {
        size_t i = 0;
        while (i < rest.size() && rest[i] != '|')
            i += rest[i] == '\\' ? 2 : 1;
        cells.push_back(rest.substr(0, i));
        rest = i < rest.size() ? rest.substr(i + 1) : std::string();
    }
    return cells;
}

// Numbers, times, codes and separators: texts without words, which stay as they are.
bool IsDataText(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80 || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return false;
    return true;
}

// A style line with the title's wording left out: every other item must stay.
std::string StyleSkeleton(const std::string& line) {
    static const std::regex title("\\(TitleString=( ?)[^)]*\\)");
    return std::regex_replace(line, title, "(TitleString=$1...)");
}

// What the program reads as structure in one line of a value: per cell, its attribute part,
// the escapes of its text part, whether it has a text, and the text itself when the text is
// data rather than words (numbers, times, codes, separators); for body lines also the depth
// and the access keys; style lines, directive lines and cell models whole, less the titles.
std::string Skeleton(const std::string& key, const std::string& line) {
    if (EndsWith(key, "_Style")) return StyleSkeleton(line);
    if (StartsWith(key, "CellModel_") || StartsWith(line, ":")) return line;
    std::string skeleton;
    std::string cellText = line;
    if (IsBodyKey(key)) {
        const size_t plus = line.find('+');
        skeleton += "depth " + std::to_string(plus == std::string::npos ? -1 : int(plus)) + " ";
        if (plus != std::string::npos) cellText = line.substr(plus + 1);
    }
    for (const std::string& cell : Cells(cellText)) {
        std::string text;
        bool inBraces = false;
        skeleton += "|";
        for (size_t i = 0; i < cell.size(); ++i) {
            const char c = cell[i];
            if (!inBraces && c == '{') {
                inBraces = true;
                skeleton += c;
            } else if (inBraces) {
                skeleton += c;
                inBraces = c != '}';
            } else {
                text += c;
                if (c == '\\' && i + 1 < cell.size()) {
                    skeleton += std::string("\\") + cell[i + 1];
                    text += cell[++i];
                } else if (c == '&' && i + 1 < cell.size() && cell[i + 1] != ' ') {
                    skeleton += std::string("&") + char(std::toupper((unsigned char)cell[i + 1]));
                }
            }
        }
        const size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        const size_t last = text.find_last_not_of(" \t");
        const std::string trimmed = text.substr(first, last - first + 1);
        skeleton += IsDataText(trimmed) ? "'" + trimmed + "'" : "text";
    }
    return skeleton;
}

// Why a Japanese line cannot stand for the English one; empty when it can.
std::string Mismatch(const std::string& key, const std::string& english,
                     const std::string& japanese) {
    if ((english == "#") != (japanese == "#")) return "terminator moved";
    if (english.empty() != japanese.empty()) return "empty line moved";
    if (Conversions(english) != Conversions(japanese)) return "printf conversions differ";
    const auto percents = [](const std::string& s) { return std::count(s.begin(), s.end(), '%'); };
    if (percents(english) != percents(japanese)) return "a '%' was added or dropped";
    if (Surrounding(english) != Surrounding(japanese)) return "leading or trailing blanks differ";
    if (Skeleton(key, english) != Skeleton(key, japanese))
        return "mark-up differs: " + Skeleton(key, english) + " / " + Skeleton(key, japanese);
    return "";
}

// The one value the Japanese table changes on purpose: a dialog font with the CJK fallback.
const std::string InitialDialogFont = "DEFAULT_CHARSET,,,-12,,,";

TEST(JapaneseTableTest, TheCheckCatchesBrokenTranslations) {
    struct Case {
        const char* key;
        const char* english;
        const char* japanese;
        bool fits;
    };
    const Case cases[] = {
        {"GI_Title_Group", " %s        (Remain %2d Group     : %4d CH)",
         " %s        (残り %2d グループ     : %4d CH)", true},
        {"GI_Title_Group", " %s        (Remain %2d Group     : %4d CH)",
         " %s        (残り %d グループ     : %4d CH)", false},
        {"GI_Title_Group", " %s        (Remain %2d Group     : %4d CH)",
         " (残り %2d グループ     : %4d CH) %s", false},
        {"GI_Mess_Confirm_WriteFile", "Save changes to %s?", "%s の変更を 100% 保存しますか？",
         false},
        {"GI_Mess_Confirm_ImportFile", "Import from the file.\t", "ファイルからインポートします。",
         false},
        {"GI_AppMess_S_Copy", " Copied", "コピーしました", false},
        {"GI_Tree_Branch_BasicOperation",
         "  +CH Search\t{(ImageIndex=2)(%%CallSheet:[St_ChNew]GI_Sheet_BasicCHSrch,BasicCH %d)}",
         "  +CHサーチ\t{(ImageIndex=2)(%%CallSheet:[St_ChNew]GI_Sheet_BasicCHSrch,BasicCH %d)}",
         true},
        {"GI_Tree_Branch_BasicOperation",
         "  +CH Search\t{(ImageIndex=2)(%%CallSheet:[St_ChNew]GI_Sheet_BasicCHSrch,BasicCH %d)}",
         " +CHサーチ\t{(ImageIndex=2)(%%CallSheet:[St_ChNew]GI_Sheet_BasicCHSrch,BasicCH %d)}",
         false},
        {"GI_Menu_Main_Body", " +Save &As...\t{(%CL_Menu_File_SaveAs)}",
         " +名前を付けて保存(&A)...\t{(%CL_Menu_File_SaveAs)}", true},
        {"GI_Menu_Main_Body", " +Save &As...\t{(%CL_Menu_File_SaveAs)}",
         " +名前を付けて保存(&S)...\t{(%CL_Menu_File_SaveAs)}", false},
        {"GI_Menu_Main_Body", " +Save &As...\t{(%CL_Menu_File_SaveAs)}",
         " +名前を付けて保存...\t{(%CL_Menu_File_SaveAs)}", false},
        {"GI_Sheet_Common_Cells", "|{($iCR)}Key Lock|{($eWh)(%CL_Common_Set_Key_Lock)}",
         "|{($iCR)}キーロック|{($eWh)(%CL_Common_Set_Key_Lock)}", true},
        {"GI_Sheet_Common_Cells", "|{($iCR)}Key Lock|{($eWh)(%CL_Common_Set_Key_Lock)}",
         "|{($iCR)}キー|ロック|{($eWh)(%CL_Common_Set_Key_Lock)}", false},
        {"GI_Sheet_Common_Cells", "|{($iCR)}Key Lock|{($eWh)(%CL_Common_Set_Key_Lock)}",
         "|{($iCR)}キーロック｜{($eWh)(%CL_Common_Set_Key_Lock)}", false},
        {"GI_Sheet_Common_Cells", "|{($iCR)}Key Lock|{($eWh)(%CL_Common_Set_Key_Lock)}",
         "|{($iCR)}|{($eWh)(%CL_Common_Set_Key_Lock)}", false},
        {"GI_Sheet_Common_Cells", "|{H(Font=,,,%50,,,)}\\_", "|{H(Font=,,,%50,,,)}", false},
        {"GI_Sheet_Sel_Mch_DTCS_Polarity_Cells", "{S(%Flex0[1]:Reverse)}Reverse",
         "{S(%Flex0[1]:Reverse)}リバース", true},
        {"GI_Sheet_Sel_Mch_DTCS_Polarity_Cells", "{S(%Flex0[1]:Reverse)}Reverse",
         "{S(%Flex0[1]:リバース)}リバース", false},
        {"GI_Sheet_Sel_Mch_TFreq_Cells", "{S(%Flex0[0]:67\\.0)}67.0|{S(%Flex0[10]:94\\.8)}94.8",
         "{S(%Flex0[0]:67\\.0)}67.0|{S(%Flex0[10]:94\\.8)}94,8", false},
        {"GI_Sheet_Sel_Common_Set_Power_ON_Cells", "{S(%Flex0[1]:00:30)}00:30",
         "{S(%Flex0[1]:00:30)}0時30分", false},
        {"GI_Sheet_MemoryCH_Style", "(TitleString= Memory CH)(TitleColor=clTeal)(FixedCols=2)",
         "(TitleString= メモリーCH)(TitleColor=clTeal)(FixedCols=2)", true},
        {"GI_Sheet_MemoryCH_Style", "(TitleString= Memory CH)(TitleColor=clTeal)(FixedCols=2)",
         "(TitleString= メモリー(CH))(TitleColor=clTeal)(FixedCols=2)", false},
        {"GI_Sheet_MemoryCH_Cells", ":(LoopFrom)", ":(LoopFrom 1)", false},
        {"CellModel_iCR", ">_WH(Color=clGray)(Font=,,clWhite,,,fsBold,)",
         ">_WH(Color=clGray)(Font=,,clWhite,,,,)", false},
        {"GI_Sys_Dialog_FOpen", "Data files (*.tcf)|*.tcf|All files (*.*)|*.*",
         "データファイル (*.tcf)|*.tcf|すべてのファイル (*.*)", false},
        {"GI_Mess_Import_TitleErr", "", "ファイルエラーです。", false},
        {"GI_Mess_Import_TitleErr", "#", "不正なデータです。", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Mismatch(c.key, c.english, c.japanese).empty(), c.fits)
            << c.key << ": " << c.japanese;
}

TEST(JapaneseTableTest, EveryValueKeepsItsLinesFormatsAndMarkUp) {
    const std::vector<Value> english = ValuesOf(EnglishTable());
    const std::vector<Value> japanese = ValuesOf(JapaneseTable());
    ASSERT_EQ(japanese.size(), english.size());
    ASSERT_GT(english.size(), 300u);
    int lines = 0;
    for (size_t k = 0; k < english.size(); ++k) {
        const Value& en = english[k];
        const Value& ja = japanese[k];
        ASSERT_EQ(ja.key, en.key);
        // Readers take line n of a value and stop at the first line beginning with "#".
        if (ja.lines.size() != en.lines.size()) {
            ADD_FAILURE() << en.key << ": " << ja.lines.size() << " lines, English "
                          << en.lines.size();
            continue;
        }
        for (size_t n = 0; n < en.lines.size(); ++n, ++lines) {
            if (en.key == "CellModel_InitialDialog") continue; // checked on its own below
            EXPECT_EQ(Mismatch(en.key, en.lines[n], ja.lines[n]), "")
                << en.key << " line " << n << ": " << ja.lines[n];
        }
    }
    EXPECT_GT(lines, 1000);
}

TEST(JapaneseTableTest, DataValuesStayAsInEnglish) {
    const std::set<std::string> dataKeys = {"GI_Sys_AppTitle",
                                            "GI_Sys_AppTitleRev",
                                            "GI_Sys_Maker",
                                            "GI_Sys_MyHelpFile",
                                            "GI_App_InitialFile",
                                            "GI_Sys_TreeChangeDelay",
                                            "GI_Sys_Printer_FontPoints",
                                            "GI_Sys_Printer_Margins",
                                            "GI_Sys_Printer_FrameFont",
                                            "GI_Sys_HtmlHelp_Popup_Width",
                                            "GI_Sys_HtmlHelp_Popup_Height",
                                            "GI_WarningCheckList",
                                            "GI_CellWidthRegList",
                                            "GI_AppInd_CommonTitle",
                                            "GI_AppInd_OutofCh"};
    const std::vector<Value> english = ValuesOf(EnglishTable());
    const std::vector<Value> japanese = ValuesOf(JapaneseTable());
    ASSERT_EQ(japanese.size(), english.size());
    int checked = 0;
    for (size_t k = 0; k < english.size(); ++k) {
        const std::string& key = english[k].key;
        const bool data = dataKeys.count(key) || EndsWith(key, "_BasicCell") ||
                          (StartsWith(key, "CellModel_") && key != "CellModel_InitialDialog");
        if (!data) continue;
        EXPECT_EQ(japanese[k].lines, english[k].lines) << key;
        ++checked;
    }
    // The named keys, the BasicCells of the 5 main bodies, 16 popup menus and 61 sheets, and
    // the cell models but one.
    EXPECT_EQ(checked, int(dataKeys.size()) + 5 + 16 + 61 + 24);
}

TEST(JapaneseTableTest, HelpFileDialogFontAndFileFilters) {
    cmcGTex japanese;
    ASSERT_EQ(japanese.Attach(JapaneseTable()), 1);
    EXPECT_EQ(japanese.GetLine("GI_Sys_MyHelpFile", 0), "help/en/index.html");
    EXPECT_EQ(japanese.GetLine("GI_Sys_MyHelpFile", 1), "help/ja/index.html");
    EXPECT_EQ(japanese.GetText("CellModel_InitialDialog"), InitialDialogFont);
    EXPECT_EQ(japanese.GetText("CellModel_BasicDialog"), InitialDialogFont);

    cmcGTex english;
    english.Attach(EnglishTable());
    for (const char* key : {"GI_Sys_Dialog_FOpen", "GI_Sys_Dialog_FOpen_CSV"}) {
        EXPECT_EQ(japanese.GetLine(key, 0), english.GetLine(key, 0)) << key; // the extension
        const std::vector<std::string> en = Cells(english.GetLine(key, 1));
        const std::vector<std::string> ja = Cells(japanese.GetLine(key, 1));
        ASSERT_EQ(ja.size(), en.size()) << key;
        ASSERT_EQ(en.size() % 2, 0u) << key;
        for (size_t i = 0; i < en.size(); i += 2) {
            EXPECT_EQ(ja[i + 1], en[i + 1]) << key; // the pattern
            EXPECT_NE(ja[i], en[i]) << key;         // the description is translated...
            EXPECT_TRUE(EndsWith(ja[i], "(" + en[i + 1] + ")")) << ja[i]; // ...and names it
        }
    }
}

// Every line is well-formed UTF-8: the view turns each line into a string of characters.
TEST(JapaneseTableTest, LinesAreUtf8) {
    const cmcTextTable table = JapaneseTable();
    int nonAscii = 0;
    for (size_t i = 0; i < table.count; ++i) {
        const std::string line = table.lines[i];
        for (size_t p = 0; p < line.size();) {
            const unsigned char lead = line[p];
            const int length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
            ASSERT_GT(length, 0) << "line " << i << " byte " << p;
            ASSERT_LE(p + length, line.size()) << "line " << i;
            for (int b = 1; b < length; ++b)
                ASSERT_EQ(static_cast<unsigned char>(line[p + b]) & 0xC0, 0x80)
                    << "line " << i << " byte " << p + b;
            nonAscii += length > 1;
            p += length;
        }
    }
    EXPECT_GT(nonAscii, 1000); // the texts are Japanese
}

} // namespace
