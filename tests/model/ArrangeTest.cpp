// Edit > Sort... and set many through the cell logic: the order names and channels take,
// the links that follow their edges, and the rows that keep their value.

#include "FakeSheet.h"

#include "model/cmcDuplicates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A name of group 0 and the frequencies of its channels in kHz.
struct NameBlock {
    std::string name;
    std::vector<uint32_t> kHz;
};

// Group 0 holds the names in order, each its own name record.
void MakeGroup(CellWorld& world, const std::vector<NameBlock>& names) {
    int total = 0;
    for (const NameBlock& block : names)
        total += int(block.kHz.size());
    FillChannels(world, {total});
    int slot = 0;
    for (const NameBlock& block : names) {
        const int nameIndex = slot;
        datCh name = world.Load(datKind::Name, nameIndex);
        name.SetName(block.name);
        world.Store(name);
        for (uint32_t kHz : block.kHz) {
            datCh channel = world.Load(datKind::Mch, slot++);
            channel.frequency = kHz * 1000;
            channel.nameIndex = uint32_t(nameIndex);
            world.Store(channel);
        }
    }
    world.organisation.RecountNames(0);
    world.Show(CT_Conv, 0);
}

// "name kHz" for each channel of group 0, in slot order.
std::vector<std::string> Listing(CellWorld& world) {
    std::vector<std::string> rows;
    for (int slot = 0; slot < world.organisation.ChannelsOfGroup(0); ++slot) {
        const datCh channel = world.Load(datKind::Mch, slot);
        const datCh name = world.Load(datKind::Name, int(channel.nameIndex));
        rows.push_back(name.NameText() + " " + std::to_string(channel.frequency / 1000));
    }
    return rows;
}

clsSortRequest By(int column, bool descending = false, bool withinNames = false) {
    clsSortRequest request;
    request.column = column;
    request.descending = descending;
    request.withinNames = withinNames;
    return request;
}

// B holds two channels, the unnamed name one, A one; X and Y share a frequency.
const std::vector<NameBlock> Names = {
    {"B", {146000, 145500}}, {"", {144000}}, {"X", {150000}}, {"A", {147000}}, {"Y", {150000}}};

TEST(SortTest, NamesMoveWholeByTheirFirstChannelOrTheirName) {
    struct Case {
        const char* what;
        clsSortRequest request;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"frequency",
         By(CL_Mch_Freq),
         {" 144000", "B 146000", "B 145500", "A 147000", "X 150000", "Y 150000"}},
        {"frequency, within names",
         By(CL_Mch_Freq, false, true),
         {" 144000", "B 145500", "B 146000", "A 147000", "X 150000", "Y 150000"}},
        {"frequency descending: equal ones keep their order",
         By(CL_Mch_Freq, true),
         {"X 150000", "Y 150000", "A 147000", "B 146000", "B 145500", " 144000"}},
        {"name: the empty name last",
         By(CL_Mch_Name_Name),
         {"A 147000", "B 146000", "B 145500", "X 150000", "Y 150000", " 144000"}},
        {"name descending: the empty name still last",
         By(CL_Mch_Name_Name, true),
         {"Y 150000", "X 150000", "B 146000", "B 145500", "A 147000", " 144000"}},
    };
    for (const Case& c : cases) {
        CellWorld world;
        MakeGroup(world, Names);
        world.sortAnswer = c.request;
        world.Command(CL_Mch_Freq, 2, CL_PMenu_Sort);
        EXPECT_EQ(Listing(world), c.expected) << c.what;
        ASSERT_EQ(world.sortOffers.size(), 1u);
        EXPECT_TRUE(world.sortOffers[0].names);
        EXPECT_FALSE(world.sortOffers[0].hasSelection);
        // The names are still five runs: none merged or split.
        EXPECT_EQ(world.organisation.NameCount(), 5) << c.what;
    }
}

TEST(SortTest, ASelectionSortsOnlyItsNamesAndCancelChangesNothing) {
    CellWorld world;
    MakeGroup(world, Names);
    cmcEeprom before;
    before.Assign(world.image);
    world.sortAnswer.reset(); // the dialog cancelled
    world.Command(CL_Mch_Freq, 0, CL_PMenu_Sort);
    EXPECT_TRUE(world.image.IsEqual(before));

    // Rows 1..3 reach into name B (rows 0 and 1): the selection takes B whole.
    clsSortRequest request = By(CL_Mch_Freq);
    request.selectionOnly = true;
    world.sortAnswer = request;
    const CellResult sorted = world.Command(CL_Mch_Freq, 1, CL_PMenu_Sort, 1, 3);
    EXPECT_TRUE(world.sortOffers.back().hasSelection);
    EXPECT_EQ(Listing(world), (std::vector<std::string>{" 144000", "B 146000", "B 145500",
                                                        "X 150000", "A 147000", "Y 150000"}));
    EXPECT_TRUE(sorted.selected);
    EXPECT_EQ(sorted.rangeLow, 0);
    EXPECT_EQ(sorted.rangeHigh, 3);
    EXPECT_EQ(world.statusTexts.back(), " Sorted");
}

TEST(SortTest, OtherColumnsSortByWhatTheyShow) {
    CellWorld world;
    MakeGroup(world, {{"C", {145000}}, {"A", {146000}}, {"B", {147000}}});
    // Name numbers typed as text: "10" after "9" because they read as numbers.
    for (const auto& [row, number] : {std::pair{0, "9"}, {1, "10"}, {2, ""}}) {
        world.Type(CL_Mch_Name_Num, row, number);
    }
    world.sortAnswer = By(CL_Mch_Name_Num);
    world.Command(CL_Mch_Name_Num, 0, CL_PMenu_Sort);
    EXPECT_EQ(Listing(world), (std::vector<std::string>{"C 145000", "A 146000", "B 147000"}));
    world.sortAnswer = By(CL_Mch_Name_Num, true);
    world.Command(CL_Mch_Name_Num, 0, CL_PMenu_Sort);
    EXPECT_EQ(Listing(world), (std::vector<std::string>{"A 146000", "C 145000", "B 147000"}));
}

// The names of the edges a link lists.
std::vector<std::string> LinkNames(CellWorld& world, int link) {
    std::vector<std::string> names;
    for (int position = 1; position < 26; ++position) {
        const datCh entry = world.Load(datKind::PgLink, link * 26 + position);
        if (entry.linkEdge == NoLinkEdge) break;
        names.push_back(world.Load(datKind::PgSrch, entry.linkEdge).NameText());
    }
    return names;
}

TEST(SortTest, EdgesSortByLowerFrequencyAndLinksKeepTheirEdges) {
    CellWorld world;
    world.Show(CT_Prog, 0);
    const struct {
        const char* name;
        const char* low;
        const char* high;
    } edges[] = {
        {"C", "430.000", "440.000"}, {"A", "118.000", "137.000"}, {"B", "144.000", "146.000"}};
    for (int e = 0; e < 3; ++e) {
        world.Type(CL_PgSrch_Freq_Low, e, edges[e].low);
        world.Type(CL_PgSrch_Freq_High, e, edges[e].high);
        world.Type(CL_PgSrch_Name, e, edges[e].name);
    }
    for (int e = 3; e < 25; ++e) {
        datCh unused = world.Load(datKind::PgSrch, e);
        if (unused.InUse()) world.organisation.ClearRange(datKind::PgSrch, e, e);
    }
    // Link 0 lists C and B; link 1 lists A; the others none.
    for (int link = 0; link < 10; ++link) {
        for (int edge = 0; edge < 25; ++edge) {
            datCh entry = world.Load(datKind::PgLink, link * 26 + 1);
            entry.linkEdge = edge;
            entry.linkAdd = 0;
            entry.Store(datKind::PgLink, link * 26 + 1);
        }
    }
    for (const auto& [link, edge] : {std::pair{0, 0}, {0, 2}, {1, 1}}) {
        datCh entry = world.Load(datKind::PgLink, link * 26 + 1);
        entry.linkEdge = edge;
        entry.linkAdd = 1;
        entry.Store(datKind::PgLink, link * 26 + 1);
    }
    ASSERT_EQ(LinkNames(world, 0), (std::vector<std::string>{"C", "B"}));
    world.sortAnswer = By(CL_PgSrch_Freq_Low);
    world.Command(CL_PgSrch_Freq_Low, 0, CL_PMenu_Sort);
    for (int e = 0; e < 3; ++e)
        EXPECT_EQ(world.Load(datKind::PgSrch, e).NameText(), std::string(1, char('A' + e)));
    EXPECT_FALSE(world.Load(datKind::PgSrch, 3).InUse()); // unused edges stay at the end
    EXPECT_EQ(LinkNames(world, 0), (std::vector<std::string>{"B", "C"})); // in edge order
    EXPECT_EQ(LinkNames(world, 1), (std::vector<std::string>{"A"}));
    EXPECT_FALSE(world.sortOffers.back().names);
}

TEST(SortTest, OfferedWhereAListHasTwoRows) {
    CellWorld world;
    MakeGroup(world, {{"A", {145000}}});
    EXPECT_TRUE(world.Disabled(CL_Mch_Freq, 0, CL_PMenu_Sort));
    MakeGroup(world, {{"A", {145000}}, {"B", {146000}}});
    EXPECT_FALSE(world.Disabled(CL_Mch_Freq, 0, CL_PMenu_Sort));
    world.Show(CT_Amw, 0);
    EXPECT_TRUE(world.Disabled(CL_AutoMWCH_Freq, 0, CL_PMenu_Sort));
}

// ---- Set many ----

TEST(SetManyTest, ATypedValueGoesToEverySelectedRow) {
    CellWorld world;
    MakeGroup(world, {{"A", {145000}}, {"B", {146000}}, {"C", {147000}}, {"D", {148000}}});
    world.Type(CL_Mch_Freq, 2, "150.000", 1, 2);
    EXPECT_EQ(Listing(world),
              (std::vector<std::string>{"A 145000", "B 150000", "C 150000", "D 148000"}));
    world.Type(CL_Mch_Name_Name, 0, "SAME", 0, 3);
    EXPECT_EQ(Listing(world), (std::vector<std::string>{"SAME 145000", "SAME 150000", "SAME 150000",
                                                        "SAME 148000"}));
    EXPECT_TRUE(world.platform.messages.shown().empty());
    // The new row of the selection is left alone: nothing is added.
    world.Type(CL_Mch_Freq, 0, "160.000", 0, 4);
    EXPECT_EQ(world.organisation.ChannelsOfGroup(0), 4);
    EXPECT_EQ(world.Load(datKind::Mch, 3).frequency, 160000000u);
}

TEST(SetManyTest, RowsThatRefuseKeepTheirValueAndAreNamedOnce) {
    CellWorld world;
    // Three groups in category 0; direct key 5 can belong to one of them only.
    FillChannels(world, {1, 1, 1});
    world.Show(CT_Group, 0);
    world.platform.messages.script({answer::Cancel});
    world.Type(CL_GroupOP_DirectKey, 0, "5", 0, 2);
    const auto& shown = world.platform.messages.shown();
    ASSERT_EQ(shown.size(), 2u); // the question once, then the summary
    EXPECT_EQ(shown[1].text, "2 of 3 rows kept their value: 1, 2");
    EXPECT_EQ(world.Query(CL_GroupOP_DirectKey, 0).text, "5");
    EXPECT_EQ(world.Query(CL_GroupOP_DirectKey, 1).text, "");
}

TEST(SetManyTest, AChoiceGoesToEverySelectedRowAndBadTextToNone) {
    CellWorld world;
    MakeGroup(world, {{"A", {145000}}, {"B", {146000}}, {"C", {147000}}});
    world.Choose(CL_Mch_Scan_Skip, 0, 1, 0, 2);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(world.Load(datKind::Mch, row).skip, 1) << row;
    cmcEeprom before;
    before.Assign(world.image);
    world.Type(CL_Mch_Freq, 0, "abc", 0, 2);
    EXPECT_TRUE(world.image.IsEqual(before));
    EXPECT_TRUE(world.platform.messages.shown().empty()); // the status line says why
}

// ---- Duplicates ----

TEST(DuplicatesTest, RepeatsWithinAGroupAndAcrossTheMemory) {
    CellWorld world;
    FillChannels(world, {3, 2});
    // Group 0: 145 A, 145 B, 146 C; group 1: 146 A, 147 "" - modes as the default's.
    const struct {
        uint32_t kHz;
        const char* name;
    } channels[] = {{145000, "A"}, {145000, "B"}, {146000, "C"}, {146000, "A"}, {147000, ""}};
    for (int slot = 0; slot < 5; ++slot) {
        datCh channel = world.Load(datKind::Mch, slot);
        channel.frequency = channels[slot].kHz * 1000;
        world.Store(channel);
        datCh name = world.Load(datKind::Name, int(channel.nameIndex));
        name.SetName(channels[slot].name);
        world.Store(name);
    }
    std::vector<std::string> found;
    for (const clsDuplicate& d : FindDuplicates(world.organisation))
        found.push_back(std::to_string(d.group) + "/" + std::to_string(d.row) + " " +
                        DuplicateValueText(d) + " as " + std::to_string(d.twinGroup) + "/" +
                        std::to_string(d.twinRow) + (d.SameGroup() ? " same group" : ""));
    const std::string mode = DuplicateValueText(FindDuplicates(world.organisation)[0]).substr(10);
    EXPECT_EQ(found,
              (std::vector<std::string>{"0/1 145.000000" + mode + " as 0/0 same group",
                                        "1/0 146.000000" + mode + " as 0/2", "1/0 \"A\" as 0/0"}));
    // Another mode is another channel.
    datCh other = world.Load(datKind::Mch, 1);
    other.mode = other.mode == 0 ? 2 : 0;
    world.Store(other);
    EXPECT_EQ(FindDuplicates(world.organisation).size(), 2u);
}

// ---- Fill series ----

clsFillRequest Series(const char* start, const char* step, int count, const char* name = "") {
    clsFillRequest request;
    request.start = start;
    request.step = step;
    request.count = count;
    request.name = name;
    return request;
}

TEST(FillSeriesTest, FillsTheSelectedRowsAndAddsPastTheEnd) {
    CellWorld world;
    MakeGroup(world, {{"X", {145000}}, {"Y", {146000}}, {"Z", {147000}}});
    world.fillAnswer = Series("118.000", "0.025", 4, "AIR");
    const CellResult filled = world.Command(CL_Mch_Freq, 1, CL_PMenu_FillSeries, 1, 2);
    ASSERT_EQ(world.fillOffers.size(), 1u);
    EXPECT_EQ(world.fillOffers[0].rows, 2);
    EXPECT_EQ(Listing(world), (std::vector<std::string>{"X 145000", "AIR 1 118000", "AIR 2 118025",
                                                        "AIR 3 118050", "AIR 4 118075"}));
    EXPECT_TRUE(filled.selected);
    EXPECT_EQ(filled.rangeLow, 1);
    EXPECT_EQ(filled.rangeHigh, 4);
}

TEST(FillSeriesTest, StopsAtTheLimitsOfAGroupAndOfCoverage) {
    struct Case {
        const char* what;
        clsFillRequest request;
        int channels; // in the group afterwards
        const char* message;
    };
    const Case cases[] = {
        {"a hundred names at most", Series("145.000", "0.0125", 150), 100,
         "The number of names exceeds."},
        {"not past the coverage", Series("1299.990", "0.005", 5), 3, ""},
    };
    for (const Case& c : cases) {
        CellWorld world;
        MakeGroup(world, {{"A", {145000}}});
        world.fillAnswer = c.request;
        world.Command(CL_Mch_Freq, 0, CL_PMenu_FillSeries);
        EXPECT_EQ(world.organisation.ChannelsOfGroup(0), c.channels) << c.what;
        EXPECT_EQ(world.platform.messages.lastText(), c.message) << c.what;
    }
}

} // namespace
