#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "model/cmcGridClass.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"
#include "model/indDestination.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace memmap;

namespace {

std::vector<int> BytesAt(const cmcEeprom& image, int address, int n) {
    std::vector<int> bytes;
    for (int i = 0; i < n; ++i)
        bytes.push_back(image.GetByte(address + i));
    return bytes;
}

class CodecTest : public ::testing::Test {
  protected:
    CodecTest() {
        image.SetSize(ImageSize);
        FillDefaultImage(image, 0);
    }
    datCh Record(int destination = 0) {
        destinations.emplace_back(std::make_unique<indDestination>(destination));
        return datCh(&image, nullptr, destinations.back().get());
    }
    cmcEeprom image;
    std::vector<std::unique_ptr<indDestination>> destinations;
};

TEST_F(CodecTest, ChannelBytesAsTheReceiverReadsThem) {
    datCh record = Record();
    record.Load(datKind::Mch, 5);
    record.SetInUse(true);
    record.frequency = 145000000;
    record.offset = 0;
    record.Store(datKind::Mch, 5);
    EXPECT_EQ(BytesAt(image, ChannelAddress(5), 8),
              (std::vector<int>{0x08, 0xA4, 0x86, 0x40, 0, 0, 0, 0}));
    record.offset = 600000;
    record.trainFrequency = 2280;
    record.Store(datKind::Mch, 5);
    EXPECT_EQ(BytesAt(image, ChannelAddress(5) + 4, 4), (std::vector<int>{0x00, 0x09, 0x27, 0xC0}));
    EXPECT_EQ(image.GetByte(ChannelAddress(5) + 12), 0x72);
    EXPECT_EQ(image.GetByte(ChannelAddress(5) + 13) & 0x80, 0);
    record.Load(datKind::Mch, 5);
    EXPECT_EQ(record.trainFrequency, 2280u);
}

TEST_F(CodecTest, GridClasses) {
    struct Case {
        uint32_t frequency, partner;
        int first, second;
    };
    const Case cases[] = {
        {145012500, 0, 1, 1},      // 6.25 kHz for both
        {118008333, 0, 3, 3},      // 8.33 kHz by its last digit 3; 0 passes every test
        {145000000, 600000, 0, 0}, // both on 5 kHz
        {145012500, 600000, 1, 1}, // both on 6.25 kHz
        {145012500, 605000, 1, 0}, // no common grid: each its own first
        {1602000, 9000, 4, 4},     // 9 kHz both
        {1, 0, 0, 0},              // on no grid at all
    };
    for (const Case& c : cases) {
        const clsGridPair pair = GridClassPair(c.frequency, c.partner);
        EXPECT_EQ(pair.first, c.first) << c.frequency;
        EXPECT_EQ(pair.second, c.second) << c.frequency;
    }
    EXPECT_EQ(GridClassOf(118008333), 3);
}

TEST_F(CodecTest, CancellerAndVscPackingByDestination) {
    struct Case {
        int destination;
        uint32_t canceller, vsc;
        int code; // stored 3-bit code
        uint32_t decodedCanceller, decodedVsc;
    };
    const Case cases[] = {
        {0, 2, 0, 2, 2, 0}, // TRAIN2
        {0, 2, 1, 4, 0, 1}, // VSC wins, canceller off
        {1, 2, 0, 0, 0, 0}, // no canceller outside destination 0
        {1, 0, 1, 4, 0, 1},
    };
    for (const Case& c : cases) {
        datCh record = Record(c.destination);
        record.Load(datKind::Mch, 0);
        record.canceller = c.canceller;
        record.vsc = c.vsc;
        record.Store(datKind::Mch, 0);
        const int address = ChannelAddress(0);
        const int code = (image.GetByte(address + 8) & 1) << 2 | image.GetByte(address + 9) >> 6;
        EXPECT_EQ(code, c.code) << c.destination;
        record.Load(datKind::Mch, 0);
        EXPECT_EQ(record.canceller, c.decodedCanceller);
        EXPECT_EQ(record.vsc, c.decodedVsc);
    }
    // A stored code 0..3 decodes as OFF for every destination but 0.
    datCh japan = Record(0);
    japan.Load(datKind::Mch, 0);
    japan.canceller = 3;
    japan.Store(datKind::Mch, 0);
    datCh europe = Record(1);
    europe.Load(datKind::Mch, 0);
    EXPECT_EQ(europe.canceller, 0u);
}

TEST_F(CodecTest, AutoModeAndStepOnlyForDestinations0And5) {
    // Store Auto under destination 0, then read it elsewhere.
    datCh japan = Record(0);
    japan.Load(datKind::Mch, 0);
    japan.mode = 3;
    japan.tuningStep = 15;
    japan.Store(datKind::Mch, 0);
    for (int destination : {0, 5, 11, 1, 14}) {
        datCh record = Record(destination);
        record.Load(datKind::Mch, 0);
        const bool keeps = destination == 0 || destination == 5;
        EXPECT_EQ(record.mode, keeps ? 3u : 0u) << destination;
        EXPECT_EQ(record.tuningStep, keeps ? 15u : 0u) << destination;
    }
}

TEST_F(CodecTest, DefaultEdgeAllBytes) {
    EXPECT_EQ(BytesAt(image, EdgeAddress(0), 8),
              (std::vector<int>{0x4D, 0x7C, 0x6D, 0x00, 0x00, 0x02, 0x49, 0xF0}));
    datCh record = Record();
    record.Load(datKind::PgSrch, 0);
    EXPECT_TRUE(record.InUse());
    EXPECT_EQ(record.NameText(), "ALL");
    EXPECT_EQ(record.tuningStep, 19u);
    EXPECT_EQ(record.mode, 4u);
    EXPECT_EQ(record.attenuator, 2u);
}

TEST_F(CodecTest, EdgeNotInUseStoresZeroesAndBlankName) {
    datCh record = Record();
    record.Load(datKind::PgSrch, 3);
    EXPECT_FALSE(record.InUse()); // zero frequencies
    record.frequency = 1000000;
    record.secondFrequency = 2000000;
    record.SetName("KEEP?");
    record.SetInUse(false);
    record.Store(datKind::PgSrch, 3);
    EXPECT_EQ(BytesAt(image, EdgeAddress(3), 8), std::vector<int>(8, 0));
    EXPECT_EQ(datLookup::EdgeFrequenciesInUse(150000, 1300000000), true);
    EXPECT_EQ(datLookup::EdgeFrequenciesInUse(149999, 1300000000), false);
    EXPECT_EQ(datLookup::EdgeFrequenciesInUse(150000, 1300000001), false);
}

TEST_F(CodecTest, LinkEntries) {
    datCh record = Record();
    // Link 2 holds edges 0 and 2.
    record.Load(datKind::PgLink, 2 * 26 + 1);
    EXPECT_EQ(record.linkEdge, NoLinkEdge);
    for (int edge : {0, 2}) {
        record.linkEdge = edge;
        record.linkAdd = 1;
        record.Store(datKind::PgLink, 2 * 26 + 1);
    }
    record.Load(datKind::PgLink, 2 * 26 + 2);
    EXPECT_EQ(record.linkEdge, 2);
    EXPECT_TRUE(record.InUse());
    EXPECT_TRUE(record.LinkedEdgeInUse());
    EXPECT_EQ(record.NameText(), "UHF");
    // Position 0 and a position past the last edge: none, not in use; storing changes nothing.
    for (int position : {0, 3}) {
        record.Load(datKind::PgLink, 2 * 26 + position);
        EXPECT_EQ(record.linkEdge, NoLinkEdge);
        EXPECT_EQ(record.flags, 0);
        const std::vector<int> before = BytesAt(image, LinkBits, 40);
        record.Store(datKind::PgLink, 2 * 26 + position);
        EXPECT_EQ(BytesAt(image, LinkBits, 40), before);
    }
    // Removing edge 0.
    record.Load(datKind::PgLink, 2 * 26 + 1);
    record.linkAdd = 0;
    record.Store(datKind::PgLink, 2 * 26 + 1);
    record.Load(datKind::PgLink, 2 * 26 + 1);
    EXPECT_EQ(record.linkEdge, 2);
    EXPECT_EQ(image.GetByte(LinkBits + 8), 0x04);
}

TEST_F(CodecTest, EmptyMemoryChannelAndKeptOrganisationBits) {
    datCh record = Record();
    record.Load(datKind::Mch, 1);
    record.reservedBits = 3;
    record.nameIndex = 1234;
    record.Store(datKind::Mch, 1);
    record.Load(datKind::Mch, 1);
    EXPECT_EQ(record.reservedBits, 3u);
    EXPECT_EQ(record.nameIndex, 1234u);
    record.SetInUse(false);
    record.Store(datKind::Mch, 1);
    EXPECT_EQ(BytesAt(image, OrganisationWords + 4, 4), (std::vector<int>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(BytesAt(image, OrderList + 2, 2), (std::vector<int>{0xFF, 0xFF}));
    EXPECT_TRUE(GetBit(image.Data(), ChannelEmptyBits, 1));
}

TEST_F(CodecTest, DirectKeysMoveBetweenOwners) {
    datCh record = Record();
    record.Load(datKind::Group, 12);
    record.directKey = 7;
    record.Store(datKind::Group, 12);
    record.Load(datKind::Category, 3);
    record.directKey = 5;
    record.Store(datKind::Category, 3);
    EXPECT_EQ(datLookup::DirectKeyOfGroup(image, 12), 7);
    // The category takes key 7 from group 12 and frees key 5.
    record.Load(datKind::Category, 3);
    record.directKey = 7;
    record.Store(datKind::Category, 3);
    EXPECT_EQ(datLookup::DirectKeyOfGroup(image, 12), NoDirectKey);
    EXPECT_EQ(datLookup::DirectKeyOfCategory(image, 3), 7);
    EXPECT_EQ(BytesAt(image, DirectKeyTable + 10, 2), (std::vector<int>{0xFF, 0xFF}));
    EXPECT_EQ(BytesAt(image, DirectKeyTable + 14, 2), (std::vector<int>{0x00, 0x03}));
    datLookup::clsKeyOwner owner;
    ASSERT_TRUE(datLookup::DirectKeyOwner(image, 7, owner));
    EXPECT_FALSE(owner.isGroup);
    EXPECT_EQ(owner.number, 3);
    EXPECT_FALSE(datLookup::DirectKeyOwner(image, 5, owner));
}

TEST_F(CodecTest, TemplateClaimsTheFirstFreeName) {
    // Default image: names 0 and 1 in use, so the template takes name 2 and blanks it.
    image.SetBytes(NameTextAddress(2), reinterpret_cast<const uint8_t*>("LEFTOVER NAME   "), 16);
    datCh record = Record();
    record.Load(datKind::BandTemplate, 6);
    EXPECT_EQ(record.nameIndex, 2u);
    EXPECT_EQ(datLookup::GroupName(image, 0), "Initial         ");
    record.Load(datKind::Name, 2);
    EXPECT_EQ(record.NameField(), std::string(16, ' '));
    // Every name taken: name 0 is claimed and blanked.
    for (int slot = 0; slot < Channels; ++slot)
        Put32(image.Data(), OrganisationWords + 4 * slot, uint32_t(slot) << 2);
    image.SetBytes(NameTextAddress(0), reinterpret_cast<const uint8_t*>("ZERO            "), 16);
    record.Load(datKind::BandTemplate, 6);
    EXPECT_EQ(record.nameIndex, 0u);
    record.Load(datKind::Name, 0);
    EXPECT_EQ(record.NameText(), "");
}

// Stores a record with distinctive values and expects to load the same values back.
TEST_F(CodecTest, EveryKindRoundTripsThroughStoreAndLoad) {
    datCh record = Record(0);
    auto roundTrip = [&](uint32_t kind, int index, auto fill, auto check) {
        record.Load(kind, index);
        fill(record);
        record.Store(kind, index);
        datCh loaded = Record(0);
        loaded.Load(kind, index);
        check(loaded);
    };
    roundTrip(
        datKind::Mch, 1599,
        [](datCh& r) {
            r.SetInUse(true);
            r.frequency = 118008333;
            r.offset = 8333;
            r.mode = 2, r.duplex = 1, r.toneMode = 6, r.tone = 49, r.dtcsCode = 103;
            r.dtcsPolarity = 1, r.attenuator = 1, r.priority = 1, r.stopBeep = 1;
            r.tuningStep = 3, r.canceller = 1, r.trainFrequency = 3000, r.skip = 2;
            r.category = 25, r.group = 1599, r.nameIndex = 1599, r.reservedBits = 2;
        },
        [](const datCh& r) {
            EXPECT_TRUE(r.InUse());
            EXPECT_EQ(r.frequency, 118008333u);
            EXPECT_EQ(r.offset, 8333u);
            EXPECT_EQ(r.mode, 2u);
            EXPECT_EQ(r.duplex, 1);
            EXPECT_EQ(r.toneMode, 6);
            EXPECT_EQ(r.tone, 49u);
            EXPECT_EQ(r.dtcsCode, 103);
            EXPECT_EQ(r.dtcsPolarity, 1);
            EXPECT_EQ(r.attenuator, 1u);
            EXPECT_EQ(r.priority, 1);
            EXPECT_EQ(r.stopBeep, 1u);
            EXPECT_EQ(r.tuningStep, 3u);
            EXPECT_EQ(r.canceller, 1u);
            EXPECT_EQ(r.trainFrequency, 3000u);
            EXPECT_EQ(r.skip, 2);
            EXPECT_EQ(r.frequencyGrid, 3);
            EXPECT_EQ(r.offsetGrid, 3);
            EXPECT_EQ(r.category, 25);
            EXPECT_EQ(r.group, 1599u);
            EXPECT_EQ(r.nameIndex, 1599u);
            EXPECT_EQ(r.reservedBits, 2u);
        });
    roundTrip(
        datKind::AutoMWCH, 199,
        [](datCh& r) {
            r.SetInUse(true);
            r.frequency = 1602000, r.offset = 9000, r.priority = 1, r.stopBeep = 1, r.vsc = 1;
        },
        [](const datCh& r) {
            EXPECT_TRUE(r.InUse());
            EXPECT_EQ(r.frequency, 1602000u);
            EXPECT_EQ(r.frequencyGrid, 4);
            EXPECT_EQ(r.priority, 0); // memory channels only
            EXPECT_EQ(r.stopBeep, 0u);
            EXPECT_EQ(r.vsc, 1u);
        });
    roundTrip(
        datKind::PgSrch, 24,
        [](datCh& r) {
            r.SetInUse(true);
            r.frequency = 1300000000, r.secondFrequency = 145012500;
            r.SetName("EDGE 24");
            r.tuningStep = 14, r.mode = 2, r.attenuator = 1;
        },
        [](const datCh& r) {
            EXPECT_TRUE(r.InUse());
            EXPECT_EQ(r.secondFrequency, 145012500u);
            EXPECT_EQ(r.secondGrid, 1);
            EXPECT_EQ(r.NameText(), "EDGE 24");
            EXPECT_EQ(r.tuningStep, 14u);
            EXPECT_EQ(r.mode, 2u);
            EXPECT_EQ(r.attenuator, 1u);
        });
    // Basic entries: make bank 19 hold entries first.
    image.SetByte(BankAddress(19) + BankChCount, 100);
    image.SetByte(BankAddress(19) + BankPgCount, 20);
    roundTrip(
        datKind::BasicCh, 1999,
        [](datCh& r) {
            r.frequency = 162550000;
            r.SetShortName("WX7");
            r.mode = 1;
        },
        [](const datCh& r) {
            EXPECT_TRUE(r.InUse());
            EXPECT_EQ(r.frequency, 162550000u);
            EXPECT_EQ(r.ShortNameText(), "WX7");
            EXPECT_EQ(r.mode, 1u);
        });
    roundTrip(
        datKind::BasicPg, 399,
        [](datCh& r) {
            r.frequency = 440000000, r.secondFrequency = 430006250;
            r.tuningStep = 13, r.mode = 3;
        },
        [](const datCh& r) {
            EXPECT_TRUE(r.InUse());
            EXPECT_EQ(r.secondFrequency, 430006250u);
            EXPECT_EQ(r.secondGrid, 1);
            EXPECT_EQ(r.tuningStep, 13u);
            EXPECT_EQ(r.mode, 3u);
        });
    roundTrip(
        datKind::Category, 25,
        [](datCh& r) {
            r.icon = 22, r.directKey = 99, r.link = 0, r.skip = 1;
            r.SetName("AIR");
        },
        [](const datCh& r) {
            EXPECT_EQ(r.icon, 22);
            EXPECT_EQ(r.directKey, 99);
            EXPECT_EQ(r.link, 0);
            EXPECT_EQ(r.skip, 1);
            EXPECT_EQ(r.NameText(), "AIR");
        });
    roundTrip(
        datKind::Group, 1599,
        [](datCh& r) {
            r.directKey = 0, r.link = 0, r.skip = 0;
            r.SetName("TOWER");
        },
        [](const datCh& r) {
            EXPECT_EQ(r.directKey, 0);
            EXPECT_EQ(r.link, 0);
            EXPECT_EQ(r.skip, 0);
            EXPECT_EQ(r.NameText(), "TOWER");
        });
    roundTrip(
        datKind::Name, 1599,
        [](datCh& r) {
            r.SetName("GROUND");
            r.SetNameNumber("12");
            r.skip = 1;
        },
        [](const datCh& r) {
            EXPECT_EQ(r.NameText(), "GROUND");
            EXPECT_EQ(r.NameNumberText(), "12 ");
            EXPECT_EQ(r.skip, 1);
        });
    roundTrip(
        datKind::BasicBank, 19,
        [](datCh& r) {
            r.SetName("MARINE");
            r.icon = 7;
        },
        [](const datCh& r) {
            EXPECT_EQ(r.NameText(), "MARINE");
            EXPECT_EQ(r.icon, 7);
        });
}

TEST_F(CodecTest, DecodeOnlyKindsAndDefaults) {
    datCh record = Record();
    record.Load(datKind::CategoryDefault, 0);
    EXPECT_EQ(record.NameField(), "Category        ");
    EXPECT_EQ(record.icon, 12);
    EXPECT_EQ(record.directKey, NoDirectKey);
    EXPECT_EQ(record.link, 1);
    record.Load(datKind::GroupDefault, 0);
    EXPECT_EQ(record.NameField(), "Group           ");
    // Decode-only kinds store nothing.
    const std::vector<int> before = BytesAt(image, BandMemoryRecords, 192);
    record.Load(datKind::Band, 6);
    record.frequency = 1;
    record.Store(datKind::Band, 6);
    EXPECT_EQ(BytesAt(image, BandMemoryRecords, 192), before);
    // Edge default: band memory 6 at both ends, "-" settings.
    record.SetDefault(datKind::PgSrch, 6);
    EXPECT_EQ(record.frequency, 145000000u);
    EXPECT_EQ(record.secondFrequency, 145000000u);
    EXPECT_EQ(record.tuningStep, 19u);
    // Out-of-range indices read nothing and write nothing.
    record.Load(datKind::Mch, 1600);
    EXPECT_FALSE(record.InUse());
    cmcEeprom copy;
    copy.Assign(image);
    record.Store(datKind::Mch, -1);
    record.Store(datKind::Category, 26);
    EXPECT_TRUE(copy.IsEqual(image));
}

TEST(CodecLookupTest, AutoWriteOrderListOfAnyBytesStaysInside) {
    cmcEeprom image;
    image.SetSize(ImageSize);
    FillDefaultImage(image, 0);
    EXPECT_EQ(datLookup::AutoWriteRowCount(image), 0); // all 0xFF
    for (int i = 0; i < 200; ++i)
        image.SetByte(AutoWriteOrder + i, 0);
    EXPECT_EQ(datLookup::AutoWriteRowCount(image), 200);
    EXPECT_EQ(datLookup::AutoWriteSlotOfRow(image, 199), 0);
    EXPECT_EQ(datLookup::AutoWriteSlotOfRow(image, 200), -1);
    image.SetByte(AutoWriteOrder + 197, 0xFF); // slots listed at the end only
    image.SetByte(AutoWriteOrder + 198, 5);
    image.SetByte(AutoWriteOrder + 199, 3);
    EXPECT_EQ(datLookup::AutoWriteRowCount(image), 2);
    EXPECT_EQ(datLookup::AutoWriteSlotOfRow(image, 0), 5);
    EXPECT_EQ(datLookup::LinkLabel(image, 3), "3: P-LINK No.3     ");
}

} // namespace
