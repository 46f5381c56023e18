#include "ModelFixture.h"

#include "events/cmcEvMan.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisationEvents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

using namespace memmap;

namespace {

using OrganisationTest = ModelFixture;

TEST_F(OrganisationTest, DefaultImageCounts) {
    EXPECT_EQ(organisation.GroupsOfCategory(0), 1);
    EXPECT_EQ(organisation.GroupsOfCategory(1), 0);
    EXPECT_EQ(organisation.ChannelsOfGroup(0), 2);
    EXPECT_EQ(organisation.ChannelsOfGroup(1), 0);
    EXPECT_EQ(organisation.CategoryCount(), 1);
    EXPECT_EQ(organisation.TotalChannels(), 2);
    organisation.RecountNames(0);
    EXPECT_EQ(organisation.NameCount(), 2);
    EXPECT_EQ(organisation.ChannelNumberText(0, 2), "0-0");
    EXPECT_EQ(organisation.ChannelNumberText(1, 2), "1-0");
    EXPECT_EQ(organisation.ChannelNumberText(2, 2), "New");
    EXPECT_EQ(cmcOrganisation::ZeroBasedText(3, 3), "New");
    EXPECT_EQ(cmcOrganisation::OneBasedText(3), "4");
    EXPECT_EQ(cmcOrganisation::LinkNumberText(26), "Add");
    EXPECT_EQ(cmcOrganisation::LinkNumberText(3), "2");
    EXPECT_EQ(organisation.BankCount(), 0);
}

TEST_F(OrganisationTest, PositionArithmetic) {
    // Categories of 2 and 1 groups; groups of 3, 1 and 2 channels.
    FillChannels(0);
    uint8_t* bytes = image.Data();
    const int groupOf[] = {0, 0, 0, 1, 2, 2};
    const int categoryOf[] = {0, 0, 0, 0, 1, 1};
    for (int slot = 0; slot < 6; ++slot) {
        Put32(bytes, OrganisationWords + 4 * slot,
              uint32_t(categoryOf[slot]) << 24 | uint32_t(groupOf[slot]) << 13 |
                  uint32_t(slot / 2) << 2);
        Put16(bytes, OrderList + 2 * slot, uint16_t(slot));
        PutBit(bytes, ChannelEmptyBits, slot, false);
    }
    organisation.Adopt();
    struct Case {
        int slot, group, category, position;
    };
    for (const Case& c : {Case{0, 0, 0, 0}, Case{2, 0, 0, 2}, Case{3, 1, 0, 0}, Case{5, 2, 1, 1},
                          Case{6, 3, 2, 0}}) {
        EXPECT_EQ(organisation.GroupOfChannel(c.slot), c.group) << c.slot;
        EXPECT_EQ(organisation.CategoryOfChannel(c.slot), c.category) << c.slot;
        EXPECT_EQ(organisation.PositionInGroup(c.slot), c.position) << c.slot;
    }
    EXPECT_EQ(organisation.FirstGroupOfCategory(1), 2);
    EXPECT_EQ(organisation.LastGroupOfCategory(0), 1);
    EXPECT_EQ(organisation.LastGroupOfCategory(5), 3); // past the end: its first group
    EXPECT_EQ(organisation.FirstChannelOfCategory(1), 4);
    EXPECT_EQ(organisation.LastChannelOfCategory(0), 3);
    EXPECT_EQ(organisation.LastChannelOfGroup(3), 6);
    // A group far past the used ones starts at the end, also after the counts change.
    EXPECT_EQ(organisation.FirstChannelOfGroup(40), 6);
    ASSERT_EQ(organisation.InsertChannel(0, 0), 1);
    EXPECT_EQ(organisation.FirstChannelOfGroup(40), 7);
    EXPECT_EQ(organisation.FirstChannelOfGroup(2), 5);
    ASSERT_EQ(organisation.DeleteChannel(0, 0), 1);
    EXPECT_EQ(organisation.NameRunsBetween(0, 5), 3); // names 0,0,1,1,2,2
    organisation.RecountNames(0);                     // names 0,0 | 1
    EXPECT_EQ(organisation.NameCount(), 2);
    EXPECT_EQ(organisation.NameOfPosition(2), 1);
    EXPECT_EQ(organisation.FirstPositionOfName(1), 2);
    EXPECT_EQ(organisation.ChannelNumberText(1, 3), "0-1");
}

TEST_F(OrganisationTest, RecountRenumbersByOrderOfAppearance) {
    FillChannels(0);
    uint8_t* bytes = image.Data();
    // Order list 5, 3: category 4 with groups 7 and 9.
    Put16(bytes, OrderList, 5);
    Put16(bytes, OrderList + 2, 3);
    for (int slot : {5, 3}) {
        Put32(bytes, OrganisationWords + 4 * slot,
              4u << 24 | uint32_t(slot == 5 ? 7 : 9) << 13 | uint32_t(slot) << 2);
        PutBit(bytes, ChannelEmptyBits, slot, false);
    }
    Put32(bytes, ChannelAddress(5), 150000000);
    Put32(bytes, ChannelAddress(3), 160000000);
    datCh record = Record();
    record.Load(datKind::Category, 4);
    record.SetName("FOUR");
    record.Store(datKind::Category, 4);
    record.Load(datKind::Group, 9);
    record.SetName("NINE");
    record.directKey = 42;
    record.Store(datKind::Group, 9);

    EXPECT_EQ(organisation.Adopt(), 0);
    EXPECT_EQ(organisation.CategoryCount(), 1);
    EXPECT_EQ(organisation.GroupsOfCategory(0), 2);
    EXPECT_EQ(organisation.ChannelsOfGroup(0), 1);
    EXPECT_EQ(organisation.ChannelsOfGroup(1), 1);
    record.Load(datKind::Mch, 0);
    EXPECT_EQ(record.frequency, 150000000u);
    EXPECT_EQ(record.category, 0);
    EXPECT_EQ(record.group, 0u);
    EXPECT_EQ(record.nameIndex, 5u); // names do not move
    record.Load(datKind::Mch, 1);
    EXPECT_EQ(record.frequency, 160000000u);
    EXPECT_EQ(record.group, 1u);
    EXPECT_EQ(datLookup::CategoryName(image, 0), "FOUR            ");
    EXPECT_EQ(datLookup::GroupName(image, 1), "NINE            ");
    EXPECT_EQ(datLookup::DirectKeyOfGroup(image, 1), 42);
    EXPECT_EQ(Get16(bytes, OrderList + 4), NoSlot);
    record.Load(datKind::Mch, 2);
    EXPECT_FALSE(record.InUse());
}

// Images from files and receivers may hold anything: recounting and repacking must stay in
// the tables and leave a consistent organisation.
TEST_F(OrganisationTest, AdoptsHostileImages) {
    auto consistent = [&] {
        int channels = 0, groups = 0;
        for (int c = 0; c < organisation.CategoryCount(); ++c) {
            EXPECT_GT(organisation.GroupsOfCategory(c), 0);
            EXPECT_LE(organisation.GroupsOfCategory(c), 100);
            groups += organisation.GroupsOfCategory(c);
        }
        EXPECT_EQ(groups, organisation.GroupCount());
        for (int g = 0; g < organisation.GroupCount(); ++g)
            channels += organisation.ChannelsOfGroup(g);
        EXPECT_EQ(channels, organisation.TotalChannels());
        datCh record = Record();
        for (int slot = 0; slot < Channels; ++slot) {
            record.Load(datKind::Mch, slot);
            ASSERT_EQ(record.InUse(), slot < channels) << slot;
            if (!record.InUse()) continue;
            EXPECT_EQ(record.category, organisation.CategoryOfChannel(slot));
            EXPECT_LT(record.nameIndex, 1600u);
        }
        // A second adoption changes nothing.
        cmcEeprom before;
        before.Assign(image);
        organisation.Adopt();
        EXPECT_TRUE(before.IsEqual(image));
    };
    for (int fill : {0xFF, 0x00}) {
        image.Fill(fill);
        organisation.Adopt();
        consistent();
    }
    // All 0x00: slot 0 listed 1,600 times and not marked empty, so 1,600 copies of it.
    EXPECT_EQ(organisation.TotalChannels(), 1600);
    // 1,600 channels, each its own category and group: only 26 categories fit.
    image.Fill(0);
    for (int slot = 0; slot < Channels; ++slot) {
        Put32(image.Data(), OrganisationWords + 4 * slot,
              uint32_t(slot % 256) << 24 | uint32_t(slot) << 13 | 0x1FFCu);
        Put16(image.Data(), OrderList + 2 * slot, uint16_t(slot));
    }
    EXPECT_GT(organisation.Adopt(), 0);
    consistent();
    EXPECT_EQ(organisation.CategoryCount(), 26);
    // One category of 1,600 groups: split into categories of 100 groups.
    for (int slot = 0; slot < Channels; ++slot)
        Put32(image.Data(), OrganisationWords + 4 * slot, uint32_t(slot) << 13);
    for (int slot = 0; slot < Channels; ++slot)
        Put16(image.Data(), OrderList + 2 * slot, uint16_t(slot));
    for (int slot = 0; slot < Channels; ++slot)
        PutBit(image.Data(), ChannelEmptyBits, slot, false);
    EXPECT_EQ(organisation.Adopt(), 0);
    consistent();
    EXPECT_EQ(organisation.CategoryCount(), 16);
    // Random bytes.
    std::mt19937 random(7);
    for (int round = 0; round < 5; ++round) {
        for (int i = 0; i < MapSize; ++i)
            image.Data()[i] = uint8_t(random());
        organisation.Adopt();
        consistent();
    }
}

TEST_F(OrganisationTest, InsertCategoryAtTheFront) {
    datCh record = Record();
    record.Load(datKind::Category, 0);
    record.directKey = 3;
    record.Store(datKind::Category, 0);
    ASSERT_EQ(organisation.InsertCategory(0), 1);
    EXPECT_EQ(organisation.CategoryCount(), 2);
    EXPECT_EQ(organisation.TotalChannels(), 3);
    record.Load(datKind::Mch, 0);
    EXPECT_EQ(record.frequency, 145000000u);
    EXPECT_EQ(record.nameIndex, 2u); // a fresh name
    EXPECT_EQ(record.category, 0);
    record.Load(datKind::Name, 2);
    EXPECT_EQ(record.NameText(), "");
    record.Load(datKind::Mch, 2);
    EXPECT_EQ(record.frequency, 433000000u); // old channel 1
    EXPECT_EQ(record.category, 1);
    EXPECT_EQ(record.group, 1u);
    EXPECT_EQ(datLookup::CategoryName(image, 1), "HAM             ");
    EXPECT_EQ(datLookup::CategoryName(image, 0), "Category        ");
    EXPECT_EQ(datLookup::GroupName(image, 1), "Initial         ");
    EXPECT_EQ(datLookup::DirectKeyOfCategory(image, 1), 3);
    EXPECT_EQ(datLookup::DirectKeyOfCategory(image, 0), NoDirectKey);
    // And away again.
    ASSERT_EQ(organisation.DeleteCategories(0, 1), 1);
    EXPECT_EQ(organisation.TotalChannels(), 2);
    EXPECT_EQ(datLookup::CategoryName(image, 0), "HAM             ");
    EXPECT_EQ(datLookup::DirectKeyOfCategory(image, 0), 3);
    record.Load(datKind::Mch, 2);
    EXPECT_FALSE(record.InUse());
}

TEST_F(OrganisationTest, GroupsAndChannels) {
    ASSERT_EQ(organisation.InsertGroup(0, 1), 1);
    EXPECT_EQ(organisation.GroupsOfCategory(0), 2);
    EXPECT_EQ(organisation.ChannelsOfGroup(1), 1);
    ASSERT_EQ(organisation.InsertChannel(1, 3), 1);
    EXPECT_EQ(organisation.ChannelsOfGroup(1), 2);
    EXPECT_EQ(organisation.InsertChannel(1, 9), 0); // outside the group
    EXPECT_EQ(organisation.InsertGroup(3, 0), 0);   // no such category
    ASSERT_EQ(organisation.DeleteChannel(0, 0), 1);
    EXPECT_EQ(organisation.ChannelsOfGroup(0), 1);
    datCh record = Record();
    record.Load(datKind::Mch, 0);
    EXPECT_EQ(record.frequency, 433000000u);
    ASSERT_EQ(organisation.DeleteGroups(0, 1), 1);
    EXPECT_EQ(organisation.GroupCount(), 1);
    EXPECT_EQ(organisation.TotalChannels(), 2);
    record.Load(datKind::Mch, 1);
    EXPECT_EQ(record.group, 0u);
}

// The slots a delete frees hold what a load leaves behind the last channel, so a saved
// document opens to the same bytes: nothing of the deleted channels stays in them.
TEST_F(OrganisationTest, FreedChannelSlotsHoldWhatALoadLeavesThere) {
    const std::function<void()> deletes[] = {
        [&] { organisation.DeleteChannel(0, 0); },
        [&] { organisation.DeleteGroups(0, 1); },
        [&] {
            organisation.InsertGroup(0, 0);
            organisation.DeleteGroups(1, 1);
        },
        [&] { organisation.DeleteCategories(0, 1); },
    };
    for (size_t n = 0; n < std::size(deletes); ++n) {
        image.SetSize(ImageSize);
        FillDefaultImage(image, 0);
        organisation.Adopt();
        deletes[n]();
        cmcEeprom loaded;
        loaded.Assign(image);
        cmcOrganisation reloaded(loaded, &destination);
        reloaded.Adopt();
        EXPECT_TRUE(std::equal(image.Data(), image.Data() + MapSize, loaded.Data())) << n;
    }
}

// Categories of 3 groups (0..2) and 3 groups (3..5); key 20 + c for category c and key g
// for group g. Deleting the last records in use frees their keys as well.
TEST_F(OrganisationTest, DeletedCategoriesAndGroupsGiveTheirDirectKeysBack) {
    struct Case {
        const char* name;
        std::function<int()> remove;
        std::vector<int> freedKeys;
    } cases[] = {
        {"last group", [&] { return organisation.DeleteGroups(5, 1); }, {5}},
        {"more groups than follow", [&] { return organisation.DeleteGroups(4, 9); }, {4, 5}},
        {"whole last category", [&] { return organisation.DeleteCategories(1, 1); }, {21, 3, 4, 5}},
        {"middle group", [&] { return organisation.DeleteGroups(1, 1); }, {1}},
    };
    for (const Case& c : cases) {
        FillDefaultImage(image, 0);
        organisation.Adopt();
        ASSERT_EQ(organisation.InsertCategory(1), 1);
        for (int group : {1, 2})
            ASSERT_EQ(organisation.InsertGroup(0, group), 1);
        for (int group : {4, 5})
            ASSERT_EQ(organisation.InsertGroup(1, group), 1);
        datCh record = Record();
        auto giveKey = [&](uint32_t kind, int index, int key) {
            record.Load(kind, index);
            record.directKey = uint8_t(key);
            record.Store(kind, index);
        };
        for (int category = 0; category < 2; ++category)
            giveKey(datKind::Category, category, 20 + category);
        for (int group = 0; group < 6; ++group)
            giveKey(datKind::Group, group, group);

        ASSERT_GT(c.remove(), 0) << c.name;
        for (int key = 0; key < DirectKeys; ++key) {
            datLookup::clsKeyOwner owner;
            const bool held = datLookup::DirectKeyOwner(image, key, owner);
            const bool freed = std::ranges::count(c.freedKeys, key) != 0;
            const bool given = key < 6 || key == 20 || key == 21;
            EXPECT_EQ(held, given && !freed) << c.name << ", key " << key;
            if (!held) continue;
            const int count =
                owner.isGroup ? organisation.GroupCount() : organisation.CategoryCount();
            EXPECT_LT(owner.number, count) << c.name << ", key " << key;
        }
    }
}

TEST_F(OrganisationTest, CheckLimitRefusesWithTheMessages) {
    struct Case {
        uint32_t kind;
        int item;
        bool adding;
        int allowed;
        const char* message;
    };
    organisation.RecountNames(0);
    const Case cases[] = {
        {datKind::Mch, 1, false, 1, ""},  // group 1? no: group 1 has no channels
        {datKind::Mch, 0, true, 1, ""},   // name 0 has one channel
        {datKind::Mch, 100, true, 0, ""}, // no name 100, refused silently
        {datKind::Name, 0, false, 1, ""},
        {datKind::Group, 0, false, 0, "Can not delete all channels."},
        {datKind::Category, 0, false, 0, "Can not delete all channels."},
        {datKind::Category, 0, true, 1, ""},
        {datKind::BasicBank, 0, false, 0, ""}, // no banks, refused silently
        {datKind::BasicBank, 0, true, 1, ""},
    };
    for (const Case& c : cases) {
        if (c.kind == datKind::Mch && !c.adding) continue; // see below
        platform.messages.clear();
        EXPECT_EQ(organisation.CheckLimit(c.kind, c.item, c.adding, true), c.allowed) << c.kind;
        EXPECT_EQ(platform.messages.lastText(), c.message) << c.kind;
    }
    // Deleting the only channel of a group.
    organisation.DeleteChannel(0, 1);
    EXPECT_EQ(organisation.CheckLimit(datKind::Mch, 0, false, true), 0);
    EXPECT_EQ(platform.messages.lastText(), "Can not delete all channels.");
    ASSERT_FALSE(platform.messages.shown().empty());
    EXPECT_EQ(platform.messages.shown().back().icon, MsgIcon::Error);
    // A seventh channel into a name of six.
    for (int i = 0; i < 6; ++i) {
        organisation.InsertChannel(0, 1);
        datCh record = Record();
        record.Load(datKind::Mch, 1);
        record.nameIndex = 0;
        record.Store(datKind::Mch, 1);
    }
    organisation.RecountNames(0);
    ASSERT_EQ(organisation.ChannelsOfName(0), 7);
    EXPECT_EQ(organisation.CheckLimit(datKind::Mch, 0, true, true), 0);
    EXPECT_EQ(platform.messages.lastText(), "The number of channels exceeds.");
    // Without messages nothing is shown.
    platform.messages.clear();
    EXPECT_EQ(organisation.CheckLimit(datKind::Mch, 0, true, false), 0);
    EXPECT_TRUE(platform.messages.shown().empty());
}

TEST_F(OrganisationTest, FullImageRefusesEveryInsertAndNothingMoves) {
    FillChannels(1600, 16);
    ASSERT_EQ(organisation.TotalChannels(), 1600);
    for (uint32_t kind : {datKind::Category, datKind::Group, datKind::Name, datKind::Mch}) {
        platform.messages.clear();
        EXPECT_EQ(organisation.CheckLimit(kind, 0, true, true), 0);
        EXPECT_EQ(platform.messages.lastText(), "The number of channels exceeds.");
    }
    cmcEeprom before;
    before.Assign(image);
    EXPECT_EQ(organisation.InsertCategory(0), 0);
    EXPECT_EQ(organisation.InsertGroup(0, 0), 0);
    EXPECT_EQ(organisation.InsertChannel(0, 0), 0);
    EXPECT_TRUE(before.IsEqual(image));
}

TEST_F(OrganisationTest, BanksAndEntries) {
    ASSERT_EQ(organisation.InsertBank(0), 1);
    EXPECT_EQ(organisation.BankCount(), 1);
    EXPECT_EQ(organisation.BankPgCount(0), 1);
    datCh record = Record();
    record.Load(datKind::BasicPg, 0);
    EXPECT_TRUE(record.InUse());
    EXPECT_EQ(record.frequency, 145000000u);
    EXPECT_EQ(record.secondFrequency, 145000000u);
    EXPECT_EQ(datLookup::BankName(image, 0), "Category        ");
    ASSERT_EQ(organisation.InsertBasicEntry(datKind::BasicCh, 0), 1);
    record.Load(datKind::BasicCh, 0);
    record.frequency = 100000000;
    record.Store(datKind::BasicCh, 0);
    ASSERT_EQ(organisation.InsertBank(1), 1);
    record.Load(datKind::BasicBank, 1);
    record.SetName("SECOND");
    record.Store(datKind::BasicBank, 1);
    // Deleting bank 0 of two moves bank 1 down.
    ASSERT_EQ(organisation.DeleteBank(0), 1);
    EXPECT_EQ(organisation.BankCount(), 1);
    EXPECT_EQ(datLookup::BankName(image, 0), "SECOND          ");
    // Deleting bank 19 only clears its counts.
    image.SetByte(BankAddress(19) + BankChCount, 3);
    ASSERT_EQ(organisation.DeleteBank(19), 1);
    EXPECT_EQ(organisation.BankChCount(19), 0);
    // The last entry of a bank cannot go.
    EXPECT_EQ(organisation.CheckLimit(datKind::BasicPg, 0, false, true), 0);
    EXPECT_EQ(platform.messages.lastText(), "Can not delete all channels.");
    ASSERT_EQ(organisation.InsertBasicEntry(datKind::BasicPg, 1), 1);
    ASSERT_EQ(organisation.DeleteBasicEntry(datKind::BasicPg, 0), 1);
    EXPECT_EQ(organisation.BankPgCount(0), 1);
    EXPECT_EQ(organisation.InsertBasicEntry(datKind::BasicPg, 5), 0); // past the end
}

struct EventLog {
    std::vector<int> codes;
    static void Handle(void* context, const cmcEvent& event) {
        static_cast<EventLog*>(context)->codes.push_back(event.code);
    }
};

TEST_F(OrganisationTest, EventsRunTheEditsAndReportRows) {
    cmcEvMan events;
    EventLog log;
    events.Subscribe(&EventLog::Handle, &log);
    EXPECT_TRUE(HandleOrganisationEvent(organisation, &events, ev::InsertCategory, 0, 1));
    EXPECT_TRUE(HandleOrganisationEvent(organisation, &events, ev::InsertCategory, 0, 2));
    EXPECT_EQ(organisation.CategoryCount(), 3);
    EXPECT_TRUE(HandleOrganisationEvent(organisation, &events, ev::DeleteCategories, 1, 2));
    EXPECT_EQ(organisation.CategoryCount(), 1);
    EXPECT_TRUE(HandleOrganisationEvent(organisation, &events, ev::InsertBank, 1, 0));
    EXPECT_TRUE(HandleOrganisationEvent(organisation, &events, ev::InsertBasicEntry, 5, 0));
    EXPECT_TRUE(HandleOrganisationEvent(organisation, &events, ev::DeleteBankQuiet, 0, 0));
    EXPECT_TRUE(
        HandleOrganisationEvent(organisation, &events, ev::InsertChannel, 0, 50)); // refused
    EXPECT_FALSE(HandleOrganisationEvent(organisation, &events, ev::MenuRefresh, 0, 0));
    EXPECT_EQ(log.codes, (std::vector<int>{ev::RowAdded, ev::RowAdded, ev::RowRemoved,
                                           ev::RowRemoved, ev::RowAdded, ev::RowAdded}));
    events.Unsubscribe(&EventLog::Handle, &log);
}

} // namespace
