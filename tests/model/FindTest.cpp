#include "ModelFixture.h"

#include "model/cmcFind.h"
#include "model/cmcMemoryMap.h"
#include "sheet/cmcCellNames.h"

#include <algorithm>
#include <cstring>
#include <ostream>

// Matches read as "address logic id[index]" in failures.
void PrintTo(const clsFindMatch& match, std::ostream* out) {
    *out << match.address << " " << LogicIdName(match.logicId) << "[" << match.index << "]";
}

namespace {

// Three groups of two channels (145.000, 145.0125, ... MHz) in category 0, whose tree
// numbers are 4, 0 and 7, with a few cells that hold "145.5".
class FindTest : public ModelFixture {
  protected:
    FindTest() {
        FillChannels(6, 2);
        for (int slot = 0; slot < 6; ++slot)
            SetChannelName(slot, slot == 2 ? "Rx 145.5" : "");
        SetFrequency(1, 145500000);
        SetFrequency(4, 145500000);
        datCh edge = Record();
        edge.Load(datKind::PgSrch, 3);
        edge.SetInUse(true);
        edge.SetName("Two metre");
        edge.secondFrequency = 145500000;
        edge.frequency = 146700000;
        edge.StoreAndReload();
        std::memcpy(image.Data() + memmap::CloneComment, "HOME 145.5      ", 16);
    }

    void SetChannelName(int slot, const char* text) {
        datCh channel = Record();
        channel.Load(datKind::Mch, slot);
        datCh name = Record();
        name.Load(datKind::Name, int(channel.nameIndex));
        name.SetName(text);
        name.StoreAndReload();
    }
    void SetFrequency(int slot, uint32_t hertz) {
        datCh channel = Record();
        channel.Load(datKind::Mch, slot);
        channel.frequency = hertz;
        channel.StoreAndReload();
    }

    std::vector<clsFindMatch> Find(const std::string& text, bool japaneseText = false) {
        const std::vector<int> groups = {4, 0, 7};
        auto positionOf = [&](char kind, int number) {
            if (kind != 'G') return number;
            return int(std::find(groups.begin(), groups.end(), number) - groups.begin());
        };
        return FindInSheets(organisation, TreeOrder, positionOf, cmcFindQuery(text), japaneseText);
    }

    // The sheets as the tree lists them.
    const std::vector<std::string> TreeOrder = {
        "GI_Sheet_TopPage",
        "[St_ChNew]GI_Sheet_CategoryOp,CategoryOp",
        "[St_ChNew]GI_Sheet_BankOp,Category 0",
        Group4,
        Group0,
        Group7,
        Edges,
        "[St_ColCut]GI_Sheet_ScanLink_Name",
        "[St_ColCut]GI_Sheet_ScanLink,ScanLink 0",
        "[St_ColCut]GI_Sheet_AutoMWCH,AutoMWCH",
        "[St_ChNew]GI_Sheet_BasicOp,BasicOp",
        Common,
    };
    static constexpr const char* Group4 = "[St_CNBank]GI_Sheet_MemoryCH,Group 4";
    static constexpr const char* Group0 = "[St_CNBank]GI_Sheet_MemoryCH,Group 0";
    static constexpr const char* Group7 = "[St_CNBank]GI_Sheet_MemoryCH,Group 7";
    static constexpr const char* Edges = "[St_ColCut]GI_Sheet_ScanEdge,ScanEdge";
    static constexpr const char* Common = "[St_Common]GI_Sheet_Common,0";
};

TEST_F(FindTest, MatchesComeInTreeOrderThenRowsThenColumns) {
    const std::vector<clsFindMatch> expected = {
        {Group4, CL_Mch_Freq, 1},
        {Group0, CL_Mch_Name_Name, 2},
        {Group7, CL_Mch_Freq, 4},
        {Edges, CL_PgSrch_Freq_Low, 3},
        {Common, CL_Common_CLONE_COMMENT, 0},
    };
    EXPECT_EQ(Find("145.5"), expected);
}

TEST_F(FindTest, AFrequencyIsTheTypedValueInMegahertzAndTextMatchesWithoutCase) {
    const struct {
        const char* typed;
        std::vector<clsFindMatch> expected;
    } cases[] = {
        {"145.500000",
         {{Group4, CL_Mch_Freq, 1}, {Group7, CL_Mch_Freq, 4}, {Edges, CL_PgSrch_Freq_Low, 3}}},
        {" 145,5 ",
         {{Group4, CL_Mch_Freq, 1}, {Group7, CL_Mch_Freq, 4}, {Edges, CL_PgSrch_Freq_Low, 3}}},
        // 145 MHz itself, and the names holding "145"; 145.5 is not 145.
        {"145",
         {{Group4, CL_Mch_Freq, 0},
          {Group0, CL_Mch_Name_Name, 2},
          {Common, CL_Common_CLONE_COMMENT, 0}}},
        {"146.7", {{Edges, CL_PgSrch_Freq_High, 3}}},
        {"two METRE", {{Edges, CL_PgSrch_Name, 3}}},
        {"Ｔｗｏ", {{Edges, CL_PgSrch_Name, 3}}}, // full-width letters
        {"１４６．７",                            // full-width digits
         {{Edges, CL_PgSrch_Freq_High, 3}}},
        {"145.51", {}},
        {"   ", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Find(c.typed), c.expected) << "typed \"" << c.typed << "\"";
}

// Names of the Japanese program hold half-width katakana; the user types them as the
// input method gives them.
TEST_F(FindTest, KatakanaFindsTheHalfWidthKatakanaOfJapaneseNames) {
    datCh channel = Record();
    channel.Load(datKind::Mch, 3);
    datCh name = Record();
    name.Load(datKind::Name, int(channel.nameIndex));
    const char antenna[] = "\xB1\xDD\xC3\xC5"; // the four half-width letters of "antenna"
    std::fill(name.name.begin(), name.name.end(), ' ');
    std::copy(antenna, antenna + 4, name.name.begin());
    name.StoreAndReload();
    const std::vector<clsFindMatch> expected = {{Group0, CL_Mch_Name_Name, 3}};
    EXPECT_EQ(Find("アンテナ", true), expected);  // full-width katakana
    EXPECT_EQ(Find("あんてな", true), expected);  // hiragana
    EXPECT_EQ(Find("ﾃﾅ", true), expected);        // half-width, part of the name
    EXPECT_TRUE(Find("アンテナ", false).empty()); // other programs show no katakana
}

} // namespace
