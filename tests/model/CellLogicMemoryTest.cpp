#include "FakeSheet.h"

#include "model/cmcFrequency.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcValueTables.h"

#include <gtest/gtest.h>

namespace {

// Frequencies typed into channel 0 of the default image (145 MHz, band 6), and into a
// channel first moved to another band.
struct FrequencyCase {
    const char* first; // typed first, to put the channel into its band ("" keeps 145)
    const char* typed;
    uint32_t stored;
};

TEST(CellLogicMemoryTest, TypedFrequenciesSnapToTheGridOfTheChannelsBand) {
    const FrequencyCase cases[] = {
        {"", "145.0125", 145012500},    // 6.25 kHz grid, distance 0
        {"", "145.0126", 145012500},    // the 6.25 kHz point 100 Hz away
        {"118", "118.0083", 118008333}, // a channel in the air band takes 8.33 kHz
        {"", "118.0083", 118010000},    // a channel in band 6 does not
        {"1.62", "1.602", 1602000},     // a medium-wave multiple of 9 kHz stays
        {"", "2000", 1300000000},       // limited to the coverage
        {"", "0.01", 150000},
    };
    for (const auto& c : cases) {
        CellWorld world;
        world.Show(CT_Conv, 0);
        if (*c.first) world.Type(CL_Mch_Freq, 0, c.first);
        const CellResult result = world.Type(CL_Mch_Freq, 0, c.typed);
        EXPECT_EQ(world.Load(datKind::Mch, 0).frequency, c.stored) << c.first << " " << c.typed;
        EXPECT_EQ(result.text, FormatMegahertz(c.stored));
    }
}

TEST(CellLogicMemoryTest, TextThatHoldsNoNumberChangesNothing) {
    CellWorld world;
    world.Show(CT_Conv, 0);
    world.Type(CL_Mch_Freq, 0, "abc");
    EXPECT_EQ(world.Load(datKind::Mch, 0).frequency, 145000000u);
    EXPECT_FALSE(world.document.modified);
}

TEST(CellLogicMemoryTest, AnOffsetStopsAtTheLargestTheReceiverStores) {
    CellWorld world;
    world.Show(CT_Conv, 0);
    world.Type(CL_Mch_Offset_Freq, 0, "199.995");
    EXPECT_EQ(world.Load(datKind::Mch, 0).offset, 159997500u);
}

TEST(CellLogicMemoryTest, ANewRowCreatesTheLastChannelAndRefusesOneMore) {
    // 1,599 channels: fifteen groups of 100 and one of 99.
    CellWorld world;
    std::vector<int> groups(16, 100);
    groups.back() = 99;
    FillChannels(world, groups);
    world.Show(CT_Conv, 15);
    const CellResult opened = world.Key(CL_Mch_Freq, 1599, '1');
    EXPECT_EQ(opened.action, cellAction::OpenEditor);
    EXPECT_EQ(opened.text, "1");
    EXPECT_EQ(world.organisation.TotalChannels(), 1599) << "made when the entry is committed";
    EXPECT_EQ(world.rowsAdded, 0);
    world.Type(CL_Mch_Freq, 1599, "145");
    EXPECT_EQ(world.organisation.TotalChannels(), 1600);
    EXPECT_EQ(world.rowsAdded, 1);
    EXPECT_EQ(world.Load(datKind::Mch, 1599).frequency, 145000000u);
    EXPECT_TRUE(world.Load(datKind::Mch, 1599).InUse());

    // Full: the key shows the message and creates nothing.
    CellWorld full;
    FillChannels(full, std::vector<int>(16, 100));
    full.Show(CT_Conv, 15);
    const CellResult refused = full.Key(CL_Mch_Freq, 1600, '1');
    EXPECT_EQ(refused.action, cellAction::None);
    EXPECT_EQ(full.platform.messages.lastText(), "The number of channels exceeds.");
    EXPECT_EQ(full.organisation.TotalChannels(), 1600);
}

TEST(CellLogicMemoryTest, KeysInTheNewRowGoToItsFrequencyCell) {
    CellWorld world;
    world.Show(CT_Conv, 0);
    EXPECT_EQ(world.Query(CL_Mch_Mode, 2).text, "");
    EXPECT_EQ(world.Query(CL_Misc_ChNo_Mch, 2).text, "New");
    const CellResult result = world.Key(CL_Mch_Mode, 2, '4');
    EXPECT_EQ(result.logicId, CL_Mch_Freq);
    EXPECT_EQ(result.action, cellAction::OpenEditor);
    EXPECT_EQ(result.text, "4");
    EXPECT_EQ(world.organisation.ChannelsOfGroup(0), 2);
    world.Type(CL_Mch_Freq, 2, "446.1");
    EXPECT_EQ(world.organisation.ChannelsOfGroup(0), 3);
    EXPECT_EQ(world.Query(CL_Misc_ChNo_Mch, 2).text, "2-0"); // a name of its own
}

// What the new row cannot read makes no record: letters, an empty entry; full-width digits
// of an input method read as digits.
TEST(CellLogicMemoryTest, TheNewRowMakesARecordOnlyFromAFrequency) {
    CellWorld world;
    world.Show(CT_Conv, 0);
    const CellResult letter = world.Key(CL_Mch_Name_Name, 2, 'A');
    EXPECT_EQ(letter.logicId, CL_Mch_Freq);
    EXPECT_EQ(letter.action, cellAction::OpenEditor) << "the letter is not dropped";
    EXPECT_EQ(letter.text, "A");
    for (const char* typed : {"AIR", "", "   ", "-"})
        world.Type(CL_Mch_Freq, 2, typed);
    EXPECT_EQ(world.organisation.ChannelsOfGroup(0), 2);
    world.Type(CL_Mch_Freq, 2,
               "\xEF\xBC\x91\xEF\xBC\x94\xEF\xBC\x96\xEF\xBC\x8E\xEF\xBC\x95"); // １４６．５
    ASSERT_EQ(world.organisation.ChannelsOfGroup(0), 3);
    EXPECT_EQ(world.Load(datKind::Mch, 2).frequency, 146500000u);
}

// The new row's slot holds the next group's first channel; the row shows nothing of it.
TEST(CellLogicMemoryTest, TheNewRowOfAGroupShowsNoOtherGroupsChannel) {
    CellWorld world;
    FillChannels(world, {2, 1});
    datCh next = world.Load(datKind::Mch, 2);
    next.frequency = 438000000u;
    world.Store(next);
    world.Show(CT_Conv, 0);
    for (int logicId : {CL_Mch_Freq, CL_Mch_Mode, CL_Mch_Name_Name}) {
        const CellResult row = world.Query(logicId, 2);
        EXPECT_EQ(row.text, "") << logicId;
        EXPECT_FALSE(row.warning() || row.error() || row.grey()) << logicId;
    }
    world.Show(CT_Conv, 1);
    EXPECT_EQ(world.Query(CL_Mch_Freq, 2).text, "438.000000");
}

// A frequency typed into either end of an empty edge sets both ends: the edge is in use.
TEST(CellLogicMemoryTest, AFrequencyTypedIntoAnEmptyEdgeMakesItInUse) {
    for (int logicId : {CL_PgSrch_Freq_Low, CL_PgSrch_Freq_High}) {
        CellWorld world;
        world.Show(CT_Prog, 0);
        ASSERT_FALSE(world.Load(datKind::PgSrch, 10).InUse());
        world.Type(logicId, 10, "150");
        const datCh edge = world.Load(datKind::PgSrch, 10);
        EXPECT_TRUE(edge.InUse()) << logicId;
        EXPECT_EQ(edge.frequency, 150000000u) << logicId;
        EXPECT_EQ(edge.secondFrequency, 150000000u) << logicId;
        EXPECT_EQ(world.Query(CL_PgSrch_Freq_High, 10).text, "150.000000") << logicId;
    }
}

struct StepCase {
    int destination;
    int from;
    int key;
    int to;
};

TEST(CellLogicMemoryTest, SpaceAndBackspaceStepThroughTheStepListOfTheDestination) {
    const StepCase cases[] = {
        {0, 14, cellKey::Space, values::StepAuto}, // 200k to Auto in the list with Auto
        {1, 14, cellKey::Space, 0},                // wraps to 5k without it
        {1, 0, cellKey::Backspace, 14},            // and back to the last item
        {0, 0, cellKey::Backspace, values::StepAuto},
        {1, 7, cellKey::Space, 8}, // from the bottom of the first column to the next
    };
    for (const auto& c : cases) {
        CellWorld world(c.destination);
        world.Show(CT_Conv, 0);
        world.Choose(CL_Mch_TS_Pitch, 0, c.from);
        const CellResult result = world.Key(CL_Mch_TS_Pitch, 0, c.key);
        EXPECT_EQ(world.Load(datKind::Mch, 0).tuningStep, uint32_t(c.to))
            << c.destination << " " << c.from;
        EXPECT_EQ(result.markPosition, 2);
    }
}

TEST(CellLogicMemoryTest, EnterOpensTheListOfTheDestination) {
    CellWorld withAuto(0), without(1);
    withAuto.Show(CT_Conv, 0);
    without.Show(CT_Conv, 0);
    EXPECT_EQ(withAuto.Key(CL_Mch_TS_Pitch, 0, cellKey::Enter).action, cellAction::ClearSelection);
    without.Key(CL_Mch_TS_Pitch, 0, cellKey::Enter);
    withAuto.Key(CL_Mch_Mode, 0, cellKey::F2);
    without.Key(CL_Mch_Mode, 0, cellKey::Mouse);
    EXPECT_EQ(withAuto.pickLists, (std::vector<std::string>{"GI_Sheet_Sel_Mch_TS_Pitch_JU",
                                                            "GI_Sheet_Sel_Mch_Mode_JU"}));
    EXPECT_EQ(without.pickLists,
              (std::vector<std::string>{"GI_Sheet_Sel_Mch_TS_Pitch_Exp", "GI_Sheet_Sel_Mch_Mode"}));
}

TEST(CellLogicMemoryTest, TypedTonesTakeTheNearestToneAndTrainFrequenciesRound) {
    CellWorld world;
    world.Show(CT_Conv, 0);
    world.Type(CL_Mch_TSQL_Freq, 0, " 88 ");
    EXPECT_EQ(world.Load(datKind::Mch, 0).tone, 8u); // 88.5 Hz
    world.Type(CL_Mch_TSQL_Freq, 0, "70");
    EXPECT_EQ(world.Load(datKind::Mch, 0).tone, 1u); // 69.3 Hz: 0.7 against 1.9
    EXPECT_EQ(world.Query(CL_Mch_TSQL_Freq, 0).text, "69.3");
    world.Type(CL_Mch_DTCS, 0, "23");
    EXPECT_EQ(world.Load(datKind::Mch, 0).dtcsCode, 0);
    world.Type(CL_Mch_Air_Freq, 0, "2284");
    EXPECT_EQ(world.Load(datKind::Mch, 0).trainFrequency, 2280u);
    world.Type(CL_Mch_Air_Freq, 0, "100");
    EXPECT_EQ(world.Load(datKind::Mch, 0).trainFrequency, 300u);
    // A digit opens the editor holding it.
    const CellResult digit = world.Key(CL_Mch_TSQL_Freq, 0, '8');
    EXPECT_EQ(digit.action, cellAction::OpenEditor);
    EXPECT_EQ(digit.text, "8");
}

TEST(CellLogicMemoryTest, GreyedTextAndMarksFollowTheRecord) {
    CellWorld world(1);
    world.Show(CT_Conv, 0);
    EXPECT_TRUE(world.Query(CL_Mch_Offset_Freq, 1).grey()); // duplex OFF
    world.Choose(CL_Mch_Dup, 1, 2);
    EXPECT_FALSE(world.Query(CL_Mch_Offset_Freq, 1).grey());
    EXPECT_TRUE(world.Query(CL_Mch_TSQL_Freq, 0).grey()); // tone mode OFF
    world.Choose(CL_Mch_Decode, 0, values::ToneTsql);
    EXPECT_FALSE(world.Query(CL_Mch_TSQL_Freq, 0).grey());
    world.Choose(CL_Mch_Mode, 0, values::ModeAm);
    EXPECT_TRUE(world.Query(CL_Mch_TSQL_Freq, 0).grey());

    world.Type(CL_Mch_Freq, 0, "253");
    EXPECT_TRUE(world.Query(CL_Mch_Freq, 0).warning()); // restricted for destination 1
    datCh record = world.Load(datKind::Mch, 0);
    record.frequency = 1400000000;
    world.Store(record);
    const CellResult beyond = world.Query(CL_Mch_Freq, 0);
    EXPECT_TRUE(beyond.error());
    // Above the coverage the editor starts empty.
    EXPECT_EQ(world.Key(CL_Mch_Freq, 0, cellKey::Enter).text, "");
    record.frequency = 1700000;
    record.tuningStep = values::Step9k;
    world.Store(record);
    EXPECT_TRUE(world.Query(CL_Mch_TS_Pitch, 0).error()); // 9 kHz outside medium wave
}

TEST(CellLogicMemoryTest, CancellerAndVscExcludeEachOther) {
    CellWorld world(0);
    world.Show(CT_Conv, 0);
    world.Choose(CL_Mch_Vsc, 0, 1);
    world.Choose(CL_Mch_Decode_RX, 0, 2);
    EXPECT_EQ(world.Load(datKind::Mch, 0).canceller, 2u);
    EXPECT_EQ(world.Load(datKind::Mch, 0).vsc, 0u);
    world.Choose(CL_Mch_Vsc, 0, 1);
    EXPECT_EQ(world.Load(datKind::Mch, 0).canceller, 0u);
}

TEST(CellLogicMemoryTest, EveryActionRestartsTheSettleTimeAndDetectsTheChange) {
    CellWorld world;
    world.Show(CT_Conv, 0);
    world.Query(CL_Mch_Freq, 0);
    EXPECT_EQ(world.document.settles, 0);
    const CellResult result = world.Type(CL_Mch_Freq, 0, "146");
    EXPECT_EQ(world.document.settles, 1);
    EXPECT_EQ(world.document.checks, 1);
    EXPECT_TRUE(world.document.modified);
    ASSERT_FALSE(result.masks.empty());
    EXPECT_EQ(result.masks.back() & (repaint::Cell | repaint::Row), repaint::Cell | repaint::Row);
}

TEST(CellLogicMemoryTest, EditsSurviveAReloadOfTheImage) {
    CellWorld world(1);
    world.Show(CT_Conv, 0);
    world.Type(CL_Mch_Freq, 0, "118.0083");
    world.Type(CL_Mch_Offset_Freq, 0, "0.6");
    world.Choose(CL_Mch_Dup, 0, 2);
    world.Type(CL_Mch_Name_Name, 0, "Tower");
    world.Type(CL_Mch_Air_Freq, 0, "2284");

    CellWorld reopened(1);
    reopened.image.Assign(world.image);
    AdoptLoadedImage(reopened.organisation);
    reopened.Show(CT_Conv, 0);
    EXPECT_EQ(reopened.Query(CL_Mch_Freq, 0).text, "118.010000");
    EXPECT_EQ(reopened.Query(CL_Mch_Offset_Freq, 0).text, "  0.600000");
    EXPECT_EQ(reopened.Query(CL_Mch_Dup, 0).text, "+DUP");
    EXPECT_EQ(reopened.Query(CL_Mch_Name_Name, 0).text, "Tower");
}

} // namespace
