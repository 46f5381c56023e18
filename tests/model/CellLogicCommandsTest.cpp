#include "FakeSheet.h"

#include "model/cmcMemoryMap.h"
#include "model/cmcValueTables.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr uint32_t Beyond = 1400000000;    // above the coverage: an error
constexpr uint32_t Restricted = 253000000; // not allowed for destination 1: a warning

// Puts a record in use with its frequency and, where it has one, its second frequency.
void PutRecord(CellWorld& world, uint32_t kind, int index, uint32_t frequency,
               uint32_t second = 145000000) {
    datCh record = world.Load(kind, index);
    record.SetInUse(true);
    record.frequency = frequency;
    record.secondFrequency = second;
    world.Store(record);
}

// As PutRecord, with a 9 kHz tuning step: an error wherever a frequency is outside band 1.
void PutNineKilohertz(CellWorld& world, uint32_t kind, int index, uint32_t frequency,
                      uint32_t second = 145000000) {
    PutRecord(world, kind, index, frequency, second);
    datCh record = world.Load(kind, index);
    record.tuningStep = values::Step9k;
    world.Store(record);
}

// Two groups of two channels, auto-write slot 0 listed as the only row, and bank 0 with
// one CH-search and one program-search entry, all at 145 MHz.
void CheckedImage(CellWorld& world) {
    FillChannels(world, {2, 2});
    PutRecord(world, datKind::AutoMWCH, 0, 145000000);
    world.image.Data()[memmap::AutoWriteOrder + 199] = 0;
    world.organisation.InsertBank(0);
    world.organisation.InsertBasicEntry(datKind::BasicCh, 0);
    PutRecord(world, datKind::BasicCh, 0, 145000000);
    PutRecord(world, datKind::BasicPg, 0, 146000000, 145000000);
}

struct CheckCase {
    const char* what;
    int logicId;
    int index; // the group or bank the check looks at
    std::function<void(CellWorld&)> spoil;
    bool warning;
    bool error;
};

TEST(CellLogicCommandsTest, DataChecksMarkTheirSheetFromItsRecords) {
    const int checks[] = {CL_Check_MemoryCH, CL_Check_PSearch, CL_Check_AWCH, CL_Check_BasicCH,
                          CL_Check_BasicPG};
    {
        CellWorld clean;
        CheckedImage(clean);
        clean.Show(CT_Null, 0);
        for (int check : checks) {
            const CellResult result = clean.Query(check, 0);
            EXPECT_EQ(result.text, "") << check;
            EXPECT_FALSE(result.warning() || result.error()) << check;
        }
    }
    // Beyond the coverage a frequency is also not allowed: an error and a warning.
    const CheckCase cases[] = {
        {"channel beyond", CL_Check_MemoryCH, 0,
         [](CellWorld& w) { PutRecord(w, datKind::Mch, 1, Beyond); }, true, true},
        {"channel's step", CL_Check_MemoryCH, 0,
         [](CellWorld& w) { PutNineKilohertz(w, datKind::Mch, 1, 145000000); }, false, true},
        {"channel restricted", CL_Check_MemoryCH, 0,
         [](CellWorld& w) { PutRecord(w, datKind::Mch, 0, Restricted); }, true, false},
        {"only the asked group", CL_Check_MemoryCH, 0,
         [](CellWorld& w) { PutRecord(w, datKind::Mch, 2, Beyond); }, false, false},
        {"the other group", CL_Check_MemoryCH, 1,
         [](CellWorld& w) { PutRecord(w, datKind::Mch, 3, Restricted); }, true, false},
        {"edge's step at its lower frequency", CL_Check_PSearch, 0,
         [](CellWorld& w) { PutNineKilohertz(w, datKind::PgSrch, 7, 1602000, 145000000); }, false,
         true},
        {"edge's lower frequency restricted", CL_Check_PSearch, 0,
         [](CellWorld& w) { PutRecord(w, datKind::PgSrch, 24, 145000000, Restricted); }, true,
         false},
        {"an edge beyond the coverage is not in use", CL_Check_PSearch, 0,
         [](CellWorld& w) { PutRecord(w, datKind::PgSrch, 7, 145000000, Beyond); }, false, false},
        {"auto-write beyond", CL_Check_AWCH, 0,
         [](CellWorld& w) { PutRecord(w, datKind::AutoMWCH, 0, Beyond); }, true, true},
        {"auto-write step", CL_Check_AWCH, 0,
         [](CellWorld& w) { PutNineKilohertz(w, datKind::AutoMWCH, 0, 145000000); }, false, true},
        {"auto-write restricted", CL_Check_AWCH, 0,
         [](CellWorld& w) { PutRecord(w, datKind::AutoMWCH, 0, Restricted); }, true, false},
        {"an unlisted auto-write slot", CL_Check_AWCH, 0,
         [](CellWorld& w) { PutRecord(w, datKind::AutoMWCH, 5, Beyond); }, false, false},
        {"CH entry beyond", CL_Check_BasicCH, 0,
         [](CellWorld& w) { PutRecord(w, datKind::BasicCh, 0, Beyond); }, true, true},
        {"CH entry restricted", CL_Check_BasicCH, 0,
         [](CellWorld& w) { PutRecord(w, datKind::BasicCh, 0, Restricted); }, true, false},
        {"CH entry past the bank's count", CL_Check_BasicCH, 0,
         [](CellWorld& w) { PutRecord(w, datKind::BasicCh, 1, Beyond); }, false, false},
        {"program entry's lower frequency beyond", CL_Check_BasicPG, 0,
         [](CellWorld& w) { PutRecord(w, datKind::BasicPg, 0, 146000000, Beyond); }, true, true},
        {"program entry's step at its lower frequency", CL_Check_BasicPG, 0,
         [](CellWorld& w) { PutNineKilohertz(w, datKind::BasicPg, 0, 1602000, 145000000); }, false,
         true},
        {"program entry restricted", CL_Check_BasicPG, 0,
         [](CellWorld& w) { PutRecord(w, datKind::BasicPg, 0, Restricted, 145000000); }, true,
         false},
    };
    for (const CheckCase& c : cases) {
        CellWorld world;
        CheckedImage(world);
        c.spoil(world);
        world.Show(CT_Null, 0);
        const CellResult result = world.Query(c.logicId, c.index);
        EXPECT_EQ(result.warning(), c.warning) << c.what;
        EXPECT_EQ(result.error(), c.error) << c.what;
        EXPECT_EQ(result.text, "") << c.what;
    }
}

// The receiver information block: comment, destination byte, flag byte, the rest.
std::vector<uint8_t> Information(const std::string& comment, uint8_t destination, uint8_t flags) {
    std::vector<uint8_t> block(comment.begin(), comment.end());
    block.resize(16, ' ');
    block.push_back(destination);
    block.push_back(flags);
    block.resize(26, 0);
    return block;
}

struct InfoCase {
    uint8_t destination;
    uint8_t flags;
    const char* destinationText;
    const char* expansion;
    const char* fccInhibit;
};

TEST(CellLogicCommandsTest, CloneInformationShowsTheReceiversBlock) {
    const InfoCase cases[] = {
        {0, 0, "JPN", "Inhibit", "Normal"},     {5, 3, "USA", "Expansion", "Inhibit"},
        {13, 1, "ITA2", "Expansion", "Normal"}, {7, 2, "EXP", "Inhibit", "Inhibit"},
        {4, 0, "Unknown", "Inhibit", "Normal"}, {200, 0xFC, "Unknown", "Inhibit", "Normal"},
    };
    CellWorld world;
    world.Show(CT_Null, 0);
    for (const InfoCase& c : cases) {
        world.receiverInformation = Information("Tower scanner", c.destination, c.flags);
        EXPECT_EQ(world.Query(CL_CloneInfo_Comment, 0).text, "Tower scanner   ");
        EXPECT_EQ(world.Query(CL_CloneInfo_Destination, 0).text, c.destinationText);
        EXPECT_EQ(world.Query(CL_CloneInfo_Rx_Expansion, 0).text, c.expansion)
            << int(c.destination);
        EXPECT_EQ(world.Query(CL_CloneInfo_FccInh, 0).text, c.fccInhibit) << int(c.destination);
    }
}

struct ItemCase {
    const char* what;
    int cellType;
    int opener;
    uint32_t kind;
    int index;
    uint32_t frequency;
    uint32_t second;
    int item;
    bool marked;
};

TEST(CellLogicCommandsTest, StepAndModeItemsAreMarkedWhereTheyWouldBeAnError) {
    using namespace values;
    const ItemCase steps[] = {
        {"9k in band 6", CT_Conv, CL_Mch_TS_Pitch, datKind::Mch, 0, 145000000, 0, Step9k, true},
        {"8.33k in band 6", CT_Conv, CL_Mch_TS_Pitch, datKind::Mch, 0, 145000000, 0, Step833k,
         true},
        {"5k in band 6", CT_Conv, CL_Mch_TS_Pitch, datKind::Mch, 0, 145000000, 0, 0, false},
        {"8.33k in the air band", CT_Conv, CL_Mch_TS_Pitch, datKind::Mch, 0, 118000000, 0, Step833k,
         false},
        {"9k in the air band", CT_Conv, CL_Mch_TS_Pitch, datKind::Mch, 0, 118000000, 0, Step9k,
         true},
        {"9k in medium wave", CT_Conv, CL_Mch_TS_Pitch, datKind::Mch, 0, 1602000, 0, Step9k, false},
        {"a frequency not allowed", CT_Conv, CL_Mch_TS_Pitch, datKind::Mch, 0, Restricted, 0,
         Step9k, false},
        {"edge: 9k fits the upper, not the lower frequency", CT_Prog, CL_PgSrch_TS, datKind::PgSrch,
         3, 1602000, 145000000, Step9k, true},
        {"edge: 9k fits both", CT_Prog, CL_PgSrch_TS, datKind::PgSrch, 3, 1602000, 999000, Step9k,
         false},
        {"auto-write cells mark nothing", CT_Amw, CL_AutoMWCH_TS_Pitch, datKind::AutoMWCH, 0,
         145000000, 0, Step9k, false},
    };
    for (const ItemCase& c : steps) {
        CellWorld world(1);
        PutRecord(world, c.kind, c.index, c.frequency, c.second);
        world.image.Data()[memmap::AutoWriteOrder + 199] = 0; // auto-write row 0: slot 0
        world.Show(c.cellType, 0);
        const CellResult item = world.ListItem(c.opener, c.index, CL_FlexMarking, c.item);
        EXPECT_EQ(item.error(), c.marked) << c.what;
        EXPECT_EQ(item.markPosition, c.marked ? 3 : 0) << c.what;
        EXPECT_FALSE(item.warning()) << c.what;
    }

    // WFM is blocked in the wide cellular ranges but not in the narrow ones inside them.
    const ItemCase modes[] = {
        {"WFM at 850.5 MHz", CT_Conv, CL_Mch_Mode, datKind::Mch, 0, 850500000, 0, ModeWfm, true},
        {"FM at 850.5 MHz", CT_Conv, CL_Mch_Mode, datKind::Mch, 0, 850500000, 0, ModeFm, false},
        {"WFM at 845 MHz", CT_Conv, CL_Mch_Mode, datKind::Mch, 0, 845000000, 0, ModeWfm, false},
        {"edge: WFM at its lower frequency", CT_Prog, CL_PgSrch_Mode, datKind::PgSrch, 3, 145000000,
         868000000, ModeWfm, true},
    };
    for (const ItemCase& c : modes) {
        for (bool blocking : {true, false}) {
            CellWorld world(5);
            world.destination.Set(5, blocking, false);
            PutRecord(world, c.kind, c.index, c.frequency, c.second);
            world.Show(c.cellType, 0);
            const CellResult item = world.ListItem(c.opener, c.index, CL_FlexMarking, c.item);
            const bool marked = c.marked && blocking;
            EXPECT_EQ(item.error(), marked) << c.what << " blocking " << blocking;
            EXPECT_EQ(item.markPosition, marked ? 3 : 0) << c.what;
        }
    }
}

TEST(CellLogicCommandsTest, TheEditMenuTakesTheSheetsItemsOrSaysThereAreNone) {
    CellWorld world;
    world.Show(CT_Null, 0);
    world.Key(CL_Menu_Edit_Top, 0, cellKey::Enter);
    EXPECT_EQ(world.menuEvents,
              (std::vector<std::string>{
                  "clear " + std::to_string(CL_Menu_Edit_Top),
                  "build " + std::to_string(CL_Menu_Edit_Top) + " GI_PMenu_NoItem",
              }));
    EXPECT_TRUE(world.document.runs.empty());

    world.menuEvents.clear();
    world.document.available.insert(cmcDocumentCommands::Command::EditMenu);
    world.Key(CL_Menu_Edit_Top, 0, cellKey::Enter);
    EXPECT_TRUE(world.menuEvents.empty());
    ASSERT_EQ(world.document.runs.size(), 1u);
    EXPECT_EQ(world.document.runs[0].first, cmcDocumentCommands::Command::EditMenu);
}

} // namespace
