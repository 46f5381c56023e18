#include "ModelFixture.h"

#include "model/cmcDataChecks.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcMemoryMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace memmap;

namespace {

TEST(DestinationTest, FrequencyRules) {
    struct Case {
        int destination;
        bool fcc, rx;
        uint32_t f, mode;
        bool notAllowed, blockedWfm;
    };
    const Case cases[] = {
        {0, false, false, 253000000, 0, true, false},  // restricted set A
        {0, false, true, 253000000, 0, false, false},  // receive expansion allows it
        {5, true, false, 825000000, 0, true, false},   // cellular, FM
        {5, true, false, 823000000, 0, false, false},  // outside the narrow range in FM
        {5, true, false, 823000000, 1, true, true},    // inside the wide range in WFM
        {5, false, false, 823000000, 1, false, false}, // FCC inhibit off
        {0, true, true, 823000000, 3, false, false},   // Auto is FM at 823 MHz in Japan
        {0, true, true, 870000000, 3, true, false},    // ... and FM is blocked at 870 MHz
        {0, false, false, 149999, 0, true, false},     // below coverage
        {7, false, false, 1300000001, 0, true, false}, // above coverage
        {7, false, false, 253000000, 0, false, false}, // no restricted set
        {12, false, false, 150000, 0, true, false},    // set G from the very bottom
        {99, false, false, 253000000, 0, true, false}, // unknown: set A
    };
    for (const Case& c : cases) {
        indDestination destination(c.destination, c.fcc, c.rx);
        EXPECT_EQ(destination.IsFrequencyNotAllowed(c.f, c.mode), c.notAllowed)
            << c.destination << " " << c.f << " mode " << c.mode;
        EXPECT_EQ(destination.IsBlockedWfm(c.f, c.mode), c.blockedWfm) << c.f;
    }
    // The empty pair of all ones matches nothing.
    indDestination usa(5);
    EXPECT_EQ(usa.FrequencyClass(0xFFFFFFFF, 0), 1);
    EXPECT_EQ(usa.FrequencyClass(500000000, 0), 2);
}

TEST(DestinationTest, BandsAndAutoModes) {
    indDestination japan(0), france(11), europe(1), usa(5);
    struct Case {
        const indDestination& destination;
        uint32_t f;
        int band;
    };
    const Case bands[] = {{japan, 494999, 0},    {japan, 495000, 1},    {japan, 1625000, 2},
                          {japan, 76000000, 4},  {europe, 76000000, 3}, {france, 87500000, 4},
                          {japan, 118000000, 5}, {japan, 960100000, 10}};
    for (const Case& c : bands)
        EXPECT_EQ(c.destination.BandOf(c.f), c.band) << c.f;
    EXPECT_EQ(japan.AutoModeOf(289999), 0);
    EXPECT_EQ(japan.AutoModeOf(290000), 2);
    EXPECT_EQ(japan.AutoModeOf(80000000), 1);
    EXPECT_EQ(japan.AutoModeOf(1260000000), 0);
    EXPECT_EQ(usa.AutoModeOf(300000000), 2);
    EXPECT_EQ(europe.AutoModeOf(80000000), 0);
    EXPECT_EQ(indDestination::Label(13), "ITA2");
    EXPECT_EQ(indDestination::Label(10), "Unknown");
}

class ChecksTest : public ModelFixture {
  protected:
    ChecksTest() : ModelFixture(0) {}
    datCh Channel(uint32_t f, uint32_t offset = 0, uint32_t step = 0, uint32_t mode = 0) {
        datCh record = Record();
        record.Load(datKind::Mch, 0);
        record.frequency = f, record.offset = offset, record.tuningStep = step, record.mode = mode;
        return record;
    }
};

TEST_F(ChecksTest, OffsetStepAndModeErrors) {
    struct Case {
        uint32_t f, offset;
        bool error;
    };
    const Case offsets[] = {{145000000, 600000, false}, {118000000, 8333, false},
                            {145000000, 8333, true},    {1602000, 9000, false},
                            {145000000, 9000, true},    {118000000, 9000, true},
                            {145000000, 45000, false}};
    for (const Case& c : offsets)
        EXPECT_EQ(HasOffsetError(Channel(c.f, c.offset), destination), c.error)
            << c.f << " " << c.offset;
    EXPECT_FALSE(HasStepError(Channel(1602000, 0, 4), destination));
    EXPECT_TRUE(HasStepError(Channel(1700000, 0, 4), destination));
    EXPECT_FALSE(HasStepError(Channel(118000000, 0, 3), destination));
    EXPECT_TRUE(HasStepError(Channel(145000000, 0, 3), destination));
    EXPECT_FALSE(HasStepError(Channel(253000000, 0, 3), destination)); // not allowed: no step mark
    EXPECT_TRUE(HasFrequencyError(Channel(1300000001)));
    EXPECT_FALSE(HasFrequencyError(Channel(1300000000)));
    destination.SetFlags(true, false);
    EXPECT_TRUE(HasModeError(Channel(823000000, 0, 0, 1), destination));
    EXPECT_FALSE(HasModeError(Channel(823000000, 0, 0, 0), destination));
    datCh empty = Channel(823000000, 0, 0, 1);
    empty.SetInUse(false);
    EXPECT_FALSE(HasModeError(empty, destination));
    // Destination 14 raises no frequency warnings at all.
    indDestination none(14);
    EXPECT_FALSE(HasFrequencyWarning(Channel(253000000), none));
    EXPECT_TRUE(HasFrequencyWarning(Channel(253000000), destination));
}

// WFM at 822.5 MHz under FCC inhibit is a mode error in a basic entry of either kind, so
// a Clone Write refuses it rather than asking about a warning.
TEST_F(ChecksTest, BasicEntriesOfBothKindsGetTheModeError) {
    destination.SetFlags(true, false);
    organisation.InsertBank(0);
    for (uint32_t kind : {datKind::BasicCh, datKind::BasicPg}) {
        organisation.InsertBasicEntry(kind, 0);
        datCh record = Record();
        record.Load(kind, 0);
        record.frequency = record.secondFrequency = 822500000;
        record.mode = 1; // WFM
        record.Store(kind, 0);
    }
    const std::vector<clsDataFinding> findings = RunDataChecks(organisation);
    for (const char* sheet : {"bank-ch:0", "bank-pg:0"}) {
        const bool modeError = std::ranges::any_of(findings, [&](const clsDataFinding& f) {
            return f.sheet == sheet && f.error && f.what == std::string("mode");
        });
        EXPECT_TRUE(modeError) << sheet;
    }
    EXPECT_TRUE(CheckBankPg(organisation, 0).error);
}

TEST_F(ChecksTest, RunDataChecksNamesSheetAndRow) {
    datCh record = Record();
    record.Load(datKind::Mch, 1);
    record.frequency = 253000000; // warning
    record.tuningStep = 4;        // no error: the frequency is not allowed
    record.Store(datKind::Mch, 1);
    record.Load(datKind::PgSrch, 2);
    record.secondFrequency = 1300000005; // error, and not in use any more...
    record.Store(datKind::PgSrch, 2);
    record.Load(datKind::PgSrch, 1);
    record.tuningStep = 3; // 8.33 kHz outside band 5
    record.Store(datKind::PgSrch, 1);
    organisation.InsertBank(0);
    organisation.InsertBasicEntry(datKind::BasicCh, 0);
    record.Load(datKind::BasicCh, 0);
    record.frequency = 1400000000;
    record.Store(datKind::BasicCh, 0);
    const std::vector<clsDataFinding> findings = RunDataChecks(organisation);
    ASSERT_EQ(findings.size(), 4u);
    auto expect = [&](size_t i, const char* sheet, int row, bool error, const char* what) {
        EXPECT_EQ(findings[i].sheet, sheet) << i;
        EXPECT_EQ(findings[i].row, row) << i;
        EXPECT_EQ(findings[i].error, error) << i;
        EXPECT_EQ(findings[i].what, what) << i;
    };
    expect(0, "group:0", 1, false, "frequency");
    expect(1, "edges", 1, true, "tuning step");
    expect(2, "bank-ch:0", 0, true, "frequency");
    expect(3, "bank-ch:0", 0, false, "frequency");
    EXPECT_TRUE(HasErrors(findings));
    EXPECT_TRUE(CheckMemoryGroup(organisation, 0).warning);
    EXPECT_FALSE(CheckMemoryGroup(organisation, 0).error);
    EXPECT_TRUE(CheckEdges(organisation).error);
    EXPECT_FALSE(CheckAutoWrite(organisation).warning);
    EXPECT_TRUE(CheckBankCh(organisation, 0).error);
    EXPECT_FALSE(CheckBankPg(organisation, 0).error);
}

class CorrectionTest : public ModelFixture {
  protected:
    CorrectionTest() : ModelFixture(1) {}
};

TEST_F(CorrectionTest, LoadingIntoDestination1) {
    // An image made in Japan: Auto modes, a canceller, weather alert and language set.
    cmcEeprom japan;
    japan.SetSize(ImageSize);
    FillDefaultImage(japan, 0);
    indDestination japanDestination(0);
    cmcOrganisation japanese(japan, &japanDestination);
    japanese.Adopt();
    datCh record = japanese.Record();
    record.Load(datKind::Mch, 0);
    record.canceller = 1;
    record.trainFrequency = 1000;
    record.Store(datKind::Mch, 0);
    japan.SetByte(CommonSettings + common::WeatherAlert, 1);
    japan.SetByte(CommonSettings + common::Language, 1);
    japan.SetBytes(CategoryNameAddress(0), reinterpret_cast<const uint8_t*>("\x01\x02\xA5"), 3);
    image.Assign(japan);

    EXPECT_EQ(AdoptLoadedImage(organisation), 0);
    record = Record();
    record.Load(datKind::Mch, 0);
    EXPECT_EQ(record.mode, 0u); // Auto became FM
    EXPECT_EQ(record.canceller, 0u);
    EXPECT_EQ(record.trainFrequency, 2280u);
    EXPECT_EQ(image.GetByte(ChannelAddress(0) + 8) >> 6, 0); // stored as FM
    EXPECT_EQ(0, std::memcmp(image.Data() + BandMemoryRecords,
                             DefaultImageBytes(1) + BandMemoryRecords, 192 - 2));
    EXPECT_EQ(image.GetByte(CommonSettings + common::WeatherAlert), 0);
    EXPECT_EQ(image.GetByte(CommonSettings + common::Language), 0);
    EXPECT_EQ(datLookup::CategoryName(image, 0), "Category        "); // was all unprintable
}

TEST_F(CorrectionTest, SnapsAndCountsAndKeepsTheDialBit) {
    datCh record = Record();
    record.Load(datKind::Mch, 0);
    record.frequency = 145012600;
    record.offset = 199995000;
    record.trainFrequency = 2284;
    record.Store(datKind::Mch, 0);
    record.Load(datKind::AutoMWCH, 7);
    record.SetInUse(true);
    record.Store(datKind::AutoMWCH, 7);
    image.SetByte(CommonSettings + common::DialFunction, 0xFF);
    destination.SetFlags(false, false);
    CorrectLoadedImage(organisation);
    record.Load(datKind::Mch, 0);
    EXPECT_EQ(record.frequency, 145012500u);
    EXPECT_EQ(record.offset, 159997500u);
    EXPECT_EQ(record.trainFrequency, 2280u);
    EXPECT_EQ(image.GetByte(CommonSettings + common::FreeAutoWrite), 199);
    EXPECT_EQ(image.GetByte(CommonSettings + common::DialFunction), 0x80);
    destination.SetFlags(false, true);
    CorrectLoadedImage(organisation);
    EXPECT_EQ(image.GetByte(CommonSettings + common::DialFunction), 0x90);
}

TEST_F(CorrectionTest, DisallowedRecordsAreReplacedOnTheCopyOnly) {
    datCh record = Record();
    record.Load(datKind::PgSrch, 1);
    record.secondFrequency = 140000000; // set B restricts 137..144 MHz
    record.Store(datKind::PgSrch, 1);
    record.Load(datKind::Mch, 1);
    record.frequency = 300000000;
    record.reservedBits = 1;
    record.Store(datKind::Mch, 1);
    cmcEeprom copy;
    copy.Assign(image);
    cmcOrganisation copyOrganisation(copy, &destination);
    copyOrganisation.Adopt();
    ReplaceDisallowedRecords(copyOrganisation);
    datCh written(&copy, &copyOrganisation, &destination);
    written.Load(datKind::PgSrch, 1);
    EXPECT_EQ(written.secondFrequency, 144000000u); // the default edge "VHF"
    written.Load(datKind::Mch, 1);
    EXPECT_TRUE(written.InUse());
    EXPECT_EQ(written.frequency, 145000000u);
    EXPECT_EQ(written.nameIndex, 1u);
    EXPECT_EQ(written.reservedBits, 1u);
    record.Load(datKind::PgSrch, 1);
    EXPECT_EQ(record.secondFrequency, 140000000u); // the document keeps the user's edge
}

} // namespace
