#include "model/cmcOrganisation.h"

#include "catalogue/cmcGTex.h"
#include "model/cmcEeprom.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcValueTables.h"
#include "model/indDestination.h"
#include "platform/cmcPlatform.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <optional>

using namespace memmap;

cmcOrganisation::cmcOrganisation(cmcEeprom& image, const indDestination* destination)
    : image_(image), destination_(destination) {}

const indDestination& cmcOrganisation::Destination() const {
    return destination_ ? *destination_ : indDestination::Active();
}

uint8_t* cmcOrganisation::Bytes() const {
    return image_.GetSize() >= MapSize ? image_.Data() : nullptr;
}

uint32_t cmcOrganisation::NameIndexOfSlot(int slot) const {
    return (Get32(Bytes(), OrganisationWords + 4 * slot) >> 2) & 0x7FF;
}

// ---- Loading ----

int cmcOrganisation::RecountOrganisation() {
    groupsPerCategory_.fill(0);
    channelsPerGroup_.fill(0);
    channelsPerName_.fill(0);
    namesGroup_ = -1;
    sourceCount_ = 0;
    Changed();
    const uint8_t* image = Bytes();
    if (!image) return 0;

    int category = -1, group = -1, dropped = 0;
    uint32_t previousCategory = ~0u, previousGroup = ~0u;
    for (int entry = 0; entry < Channels; ++entry) {
        const int slot = Get16(image, OrderList + 2 * entry);
        if (slot >= Channels) break;
        // A listed slot marked empty holds no channel.
        if (GetBit(image, ChannelEmptyBits, slot)) continue;
        const uint32_t word = Get32(image, OrganisationWords + 4 * slot);
        const uint32_t number = word >> 24, groupNumber = (word >> 13) & 0x7FF;
        bool newCategory = category < 0 || number != previousCategory;
        const bool newGroup = newCategory || groupNumber != previousGroup;
        // A category with more groups than the receiver allows continues as the next one.
        if (newGroup && !newCategory &&
            groupsPerCategory_[size_t(category)] >= MaxGroupsPerCategory)
            newCategory = true;
        if (newCategory && category + 1 >= MaxCategories) {
            ++dropped;
            continue;
        }
        if (newCategory) ++category;
        if (newGroup || newCategory) {
            ++groupsPerCategory_[size_t(category)];
            ++group;
        }
        ++channelsPerGroup_[size_t(group)];
        sources_[size_t(sourceCount_++)] = uint16_t(slot);
        previousCategory = number;
        previousGroup = groupNumber;
    }
    return dropped;
}

void cmcOrganisation::RepackChannels() {
    if (!Bytes()) return;
    if (sourceCount_ != TotalChannels()) RecountOrganisation();
    cmcEeprom copy;
    copy.Assign(image_);
    const uint8_t* original = copy.Data();
    datCh from(&copy, nullptr, destination_);
    datCh record = Record();
    for (int slot = 0; slot < sourceCount_; ++slot) {
        const int source = sources_[size_t(slot)];
        from.Load(datKind::Mch, source);
        record = from;
        record.SetImage(&image_);
        record.SetOrganisation(this);
        record.Store(datKind::Mch, slot);

        const uint32_t word = Get32(original, OrganisationWords + 4 * source);
        const int category = CategoryOfChannel(slot), group = GroupOfChannel(slot);
        if (slot == 0 || category != CategoryOfChannel(slot - 1)) {
            const int number = int(word >> 24);
            if (number < Categories)
                from.Load(datKind::Category, number);
            else
                from.SetDefault(datKind::Category, 0);
            record = from;
            record.SetImage(&image_);
            record.Store(datKind::Category, category);
        }
        if (slot == 0 || group != GroupOfChannel(slot - 1)) {
            const int number = int((word >> 13) & 0x7FF);
            if (number < Groups)
                from.Load(datKind::Group, number);
            else
                from.SetDefault(datKind::Group, 0);
            record = from;
            record.SetImage(&image_);
            record.Store(datKind::Group, group);
        }
    }
    // The slots past the end become empty channels with the values of a new channel. The
    // band memory is read as it stands, without claiming a name for a channel that is not
    // there.
    datCh empty = Record();
    for (int slot = sourceCount_; slot < Channels; ++slot) {
        empty.Load(datKind::Band, NewRecordBand);
        empty.SetInUse(false);
        empty.Store(datKind::Mch, slot);
    }
    RepairNameIndices();
    FreeStaleDirectKeys();
    ClampBankCounts();
}

int cmcOrganisation::Adopt() {
    const int dropped = RecountOrganisation();
    RepackChannels();
    return dropped;
}

// A channel whose name index lies outside the name table gets a fresh blank name.
void cmcOrganisation::RepairNameIndices() {
    uint8_t* image = Bytes();
    const int total = TotalChannels();
    std::bitset<Names> used;
    for (int slot = 0; slot < total; ++slot)
        if (NameIndexOfSlot(slot) < uint32_t(Names)) used.set(NameIndexOfSlot(slot));
    datCh record = Record();
    for (int slot = 0; slot < total; ++slot) {
        if (NameIndexOfSlot(slot) < uint32_t(Names)) continue;
        int name = 0;
        while (name < Names - 1 && used.test(size_t(name)))
            ++name;
        used.set(size_t(name));
        std::memset(image + NameTextAddress(name), ' ', NameLength);
        std::memset(image + NameNumberAddress(name), ' ', NameNumberLength);
        PutBit(image, NameSkipBits, name, false);
        record.Load(datKind::Mch, slot);
        record.nameIndex = uint32_t(name);
        record.Store(datKind::Mch, slot);
    }
}

// Direct keys that name a category or group beyond the counts lead nowhere.
void cmcOrganisation::FreeStaleDirectKeys() {
    uint8_t* image = Bytes();
    for (int key = 0; key < DirectKeys; ++key) {
        const uint16_t entry = Get16(image, DirectKeyTable + 2 * key);
        if (entry == FreeDirectKey) continue;
        const int number = entry & 0x7FFF;
        const bool stale = (entry & 0x8000) ? number >= GroupCount() : number >= CategoryCount();
        if (stale) Put16(image, DirectKeyTable + 2 * key, FreeDirectKey);
    }
}

void cmcOrganisation::ClampBankCounts() {
    uint8_t* image = Bytes();
    for (int bank = 0; bank < Banks; ++bank) {
        uint8_t& ch = image[BankAddress(bank) + memmap::BankChCount];
        uint8_t& pg = image[BankAddress(bank) + memmap::BankPgCount];
        ch = uint8_t(std::min<int>(ch, MaxBankChEntries));
        pg = uint8_t(std::min<int>(pg, MaxBankPgEntries));
    }
}

void cmcOrganisation::BuildInUseBitmaps() {
    uint8_t* image = Bytes();
    if (!image) return;
    std::memset(image + CategoryInUseBits, 0xFF, 4);
    std::memset(image + GroupInUseBits, 0xFF, Groups / 8);
    std::memset(image + NameInUseBits, 0xFF, Names / 8);
    datCh record = Record();
    for (int slot = 0; slot < Channels; ++slot) {
        record.Load(datKind::Mch, slot);
        if (record.InUse()) {
            PutBit(image, CategoryInUseBits, CategoryOfChannel(slot), false);
            PutBit(image, GroupInUseBits, GroupOfChannel(slot), false);
            if (record.nameIndex < uint32_t(Names))
                PutBit(image, NameInUseBits, int(record.nameIndex), false);
        }
        record.StoreAndReload();
    }
}

void cmcOrganisation::RecountNames(int group) {
    channelsPerName_.fill(0);
    namesGroup_ = group;
    if (!Bytes() || group < 0 || group >= GroupCount()) return;
    const int first = FirstChannelOfGroup(group), last = LastChannelOfGroup(group);
    int name = -1;
    uint32_t previous = 0;
    for (int slot = first; slot <= last && slot < Channels; ++slot) {
        const uint32_t index = NameIndexOfSlot(slot);
        if (slot == first || index != previous) name = std::min(name + 1, MaxNamesPerGroup - 1);
        ++channelsPerName_[size_t(name)];
        previous = index;
    }
}

// ---- Count tables and positions ----

void cmcOrganisation::BuildPrefixes() const {
    if (prefixValid_) return;
    groupCount_ = int(std::find(channelsPerGroup_.begin(), channelsPerGroup_.end(), 0) -
                      channelsPerGroup_.begin());
    categoryCount_ = int(std::find(groupsPerCategory_.begin(), groupsPerCategory_.end(), 0) -
                         groupsPerCategory_.begin());
    // Groups are packed from the first one, so only the used ones need starts; a group
    // past them starts where the last used one ends.
    groupStart_[0] = 0;
    for (size_t g = 0; g < size_t(groupCount_); ++g)
        groupStart_[g + 1] = groupStart_[g] + channelsPerGroup_[g];
    categoryStart_[0] = 0;
    for (size_t c = 0; c < groupsPerCategory_.size(); ++c)
        categoryStart_[c + 1] = categoryStart_[c] + groupsPerCategory_[c];
    prefixValid_ = true;
}

int cmcOrganisation::GroupsOfCategory(int category) const {
    return category >= 0 && category < MaxCategories ? groupsPerCategory_[size_t(category)] : 0;
}

int cmcOrganisation::ChannelsOfGroup(int group) const {
    return group >= 0 && group < MaxGroups ? channelsPerGroup_[size_t(group)] : 0;
}

int cmcOrganisation::ChannelsOfName(int name) const {
    return name >= 0 && name < MaxNamesPerGroup ? channelsPerName_[size_t(name)] : 0;
}

int cmcOrganisation::CategoryCount() const {
    BuildPrefixes();
    return categoryCount_;
}

int cmcOrganisation::GroupCount() const {
    BuildPrefixes();
    return groupCount_;
}

int cmcOrganisation::TotalChannels() const {
    BuildPrefixes();
    return groupStart_[size_t(groupCount_)];
}

int cmcOrganisation::FirstGroupOfCategory(int category) const {
    BuildPrefixes();
    return categoryStart_[size_t(std::clamp(category, 0, MaxCategories))];
}

int cmcOrganisation::LastGroupOfCategory(int category) const {
    const int last = category < CategoryCount() ? FirstGroupOfCategory(category + 1) - 1
                                                : FirstGroupOfCategory(category);
    return std::max(last, 0);
}

int cmcOrganisation::FirstChannelOfGroup(int group) const {
    BuildPrefixes();
    return groupStart_[size_t(std::clamp(group, 0, groupCount_))];
}

int cmcOrganisation::LastChannelOfGroup(int group) const {
    const int last =
        group < GroupCount() ? FirstChannelOfGroup(group + 1) - 1 : FirstChannelOfGroup(group);
    return std::max(last, 0);
}

int cmcOrganisation::FirstChannelOfCategory(int category) const {
    return FirstChannelOfGroup(FirstGroupOfCategory(category));
}

int cmcOrganisation::LastChannelOfCategory(int category) const {
    return LastChannelOfGroup(LastGroupOfCategory(category));
}

int cmcOrganisation::GroupOfChannel(int slot) const {
    BuildPrefixes();
    const auto begin = groupStart_.begin() + 1;
    const int group = int(std::upper_bound(begin, begin + groupCount_, slot) - begin);
    return std::min(group, MaxGroups - 1);
}

int cmcOrganisation::CategoryOfGroup(int group) const {
    BuildPrefixes();
    const auto begin = categoryStart_.begin() + 1;
    const int category = int(std::upper_bound(begin, begin + categoryCount_, group) - begin);
    return std::min(category, MaxCategories - 1);
}

int cmcOrganisation::PositionInGroup(int slot) const {
    return slot - FirstChannelOfGroup(GroupOfChannel(slot));
}

int cmcOrganisation::NameCount() const {
    return int(std::find(channelsPerName_.begin(), channelsPerName_.end(), 0) -
               channelsPerName_.begin());
}

int cmcOrganisation::FirstPositionOfName(int name) const {
    int sum = 0;
    for (int k = 0; k < std::min(name, MaxNamesPerGroup); ++k)
        sum += channelsPerName_[size_t(k)];
    return sum;
}

int cmcOrganisation::LastPositionOfName(int name) const {
    const int last =
        name < NameCount() ? FirstPositionOfName(name + 1) - 1 : FirstPositionOfName(name);
    return std::max(last, 0);
}

int cmcOrganisation::NameOfPosition(int position) const {
    int sum = 0;
    for (int k = 0; k < MaxNamesPerGroup; ++k) {
        if (channelsPerName_[size_t(k)] == 0) return k;
        sum += channelsPerName_[size_t(k)];
        if (sum > position) return k;
    }
    return MaxNamesPerGroup;
}

int cmcOrganisation::NameRunsBetween(int firstSlot, int lastSlot) const {
    if (!Bytes()) return 0;
    firstSlot = std::max(firstSlot, 0);
    lastSlot = std::min(lastSlot, Channels - 1);
    if (firstSlot > lastSlot) return 0;
    int runs = 1;
    for (int slot = firstSlot + 1; slot <= lastSlot; ++slot)
        if (NameIndexOfSlot(slot) != NameIndexOfSlot(slot - 1)) ++runs;
    return runs;
}

int cmcOrganisation::BankChCount(int bank) const {
    const uint8_t* image = Bytes();
    if (!image || bank < 0 || bank >= Banks) return 0;
    return image[BankAddress(bank) + memmap::BankChCount];
}

int cmcOrganisation::BankPgCount(int bank) const {
    const uint8_t* image = Bytes();
    if (!image || bank < 0 || bank >= Banks) return 0;
    return image[BankAddress(bank) + memmap::BankPgCount];
}

int cmcOrganisation::BankCount() const {
    for (int bank = 0; bank < Banks; ++bank)
        if (BankChCount(bank) == 0 && BankPgCount(bank) == 0) return bank;
    return Banks;
}

// ---- Number column ----

std::string cmcOrganisation::ChannelNumberText(int position, int rowCount) const {
    if (position == rowCount) return cmcGTex::Process().GetText("GI_NewChTitle");
    const int name = NameOfPosition(position);
    return std::to_string(name) + "-" + std::to_string(position - FirstPositionOfName(name));
}

std::string cmcOrganisation::ZeroBasedText(int n, int rowCount) {
    if (n == rowCount) return cmcGTex::Process().GetText("GI_NewChTitle");
    return std::to_string(n);
}

std::string cmcOrganisation::OneBasedText(int n) {
    return std::to_string(n + 1);
}

std::string cmcOrganisation::LinkNumberText(int n) {
    if (n % 26 == 0) return cmcGTex::Process().GetText("GI_AddChTitle");
    return std::to_string(n - 1);
}

// ---- Count-table edits ----

void cmcOrganisation::InsertGroupCount(int group, uint16_t value) {
    std::copy_backward(channelsPerGroup_.begin() + group, channelsPerGroup_.end() - 1,
                       channelsPerGroup_.end());
    channelsPerGroup_[size_t(group)] = value;
    Changed();
}

void cmcOrganisation::RemoveGroupCounts(int group, int count) {
    std::copy(channelsPerGroup_.begin() + group + count, channelsPerGroup_.end(),
              channelsPerGroup_.begin() + group);
    std::fill(channelsPerGroup_.end() - count, channelsPerGroup_.end(), 0);
    Changed();
}

void cmcOrganisation::RemoveCategoryCounts(int category, int count) {
    std::copy(groupsPerCategory_.begin() + category + count, groupsPerCategory_.end(),
              groupsPerCategory_.begin() + category);
    std::fill(groupsPerCategory_.end() - count, groupsPerCategory_.end(), 0);
    Changed();
}

// ---- Inserts and deletes ----

int cmcOrganisation::InsertCategory(int category) {
    if (!Bytes() || category < 0 || category > CategoryCount()) return 0;
    if (CategoryCount() >= MaxCategories || GroupCount() >= MaxGroups ||
        TotalChannels() >= MaxChannels)
        return 0;
    const int group = FirstGroupOfCategory(category);
    std::copy_backward(groupsPerCategory_.begin() + category, groupsPerCategory_.end() - 1,
                       groupsPerCategory_.end());
    groupsPerCategory_[size_t(category)] = 1;
    InsertGroupCount(group, 1);
    ShiftUp(datKind::Mch, TotalChannels(), FirstChannelOfGroup(group));
    ShiftUp(datKind::Category, Categories, category);
    ShiftUp(datKind::Group, GroupCount(), group);
    return 1;
}

int cmcOrganisation::DeleteCategories(int category, int count) {
    if (!Bytes() || category < 0 || category >= CategoryCount() || count <= 0) return 0;
    count = std::min(count, CategoryCount() - category);
    const int firstGroup = FirstGroupOfCategory(category);
    const int lastGroup = LastGroupOfCategory(category + count - 1);
    const int firstSlot = FirstChannelOfGroup(firstGroup);
    const int lastSlot = LastChannelOfGroup(lastGroup);
    const int usedSlots = TotalChannels();
    const int usedGroups = GroupCount();
    RemoveCategoryCounts(category, count);
    RemoveGroupCounts(firstGroup, lastGroup - firstGroup + 1);
    RemoveBlock(datKind::Mch, usedSlots, firstSlot, lastSlot - firstSlot + 1);
    RemoveBlock(datKind::Category, Categories, category, count);
    RemoveBlock(datKind::Group, usedGroups, firstGroup, lastGroup - firstGroup + 1);
    return count;
}

int cmcOrganisation::InsertGroup(int category, int group) {
    if (!Bytes() || category < 0 || category >= CategoryCount()) return 0;
    const int first = FirstGroupOfCategory(category);
    if (group < first || group > first + GroupsOfCategory(category)) return 0;
    if (GroupsOfCategory(category) >= 255 || GroupCount() >= MaxGroups ||
        TotalChannels() >= MaxChannels)
        return 0;
    ++groupsPerCategory_[size_t(category)];
    InsertGroupCount(group, 1);
    ShiftUp(datKind::Mch, TotalChannels(), FirstChannelOfGroup(group));
    ShiftUp(datKind::Group, GroupCount(), group);
    return 1;
}

int cmcOrganisation::DeleteGroups(int group, int count) {
    if (!Bytes() || group < 0 || group >= GroupCount() || count <= 0) return 0;
    const int category = CategoryOfGroup(group);
    count = std::min(count, LastGroupOfCategory(category) - group + 1);
    // A category left without groups goes with them, so the tables stay consistent.
    if (count >= GroupsOfCategory(category)) return DeleteCategories(category, 1) ? count : 0;
    const int firstSlot = FirstChannelOfGroup(group);
    const int lastSlot = LastChannelOfGroup(group + count - 1);
    const int usedSlots = TotalChannels();
    const int usedGroups = GroupCount();
    groupsPerCategory_[size_t(category)] = uint8_t(GroupsOfCategory(category) - count);
    RemoveGroupCounts(group, count);
    RemoveBlock(datKind::Mch, usedSlots, firstSlot, lastSlot - firstSlot + 1);
    RemoveBlock(datKind::Group, usedGroups, group, count);
    return count;
}

int cmcOrganisation::InsertChannel(int group, int slot) {
    if (!Bytes() || group < 0 || group >= GroupCount() || TotalChannels() >= MaxChannels) return 0;
    const int first = FirstChannelOfGroup(group);
    if (slot < first || slot > first + ChannelsOfGroup(group)) return 0;
    ++channelsPerGroup_[size_t(group)];
    Changed();
    ShiftUp(datKind::Mch, TotalChannels(), slot);
    return 1;
}

int cmcOrganisation::DeleteChannel(int group, int slot) {
    if (!Bytes() || group < 0 || group >= GroupCount()) return 0;
    if (slot < FirstChannelOfGroup(group) || slot > LastChannelOfGroup(group)) return 0;
    // The last channel of a group takes the group with it.
    if (ChannelsOfGroup(group) <= 1) return DeleteGroups(group, 1);
    const int usedSlots = TotalChannels();
    --channelsPerGroup_[size_t(group)];
    Changed();
    ShiftDown(datKind::Mch, usedSlots, slot);
    return 1;
}

void cmcOrganisation::CopyBank(int to, int from) {
    uint8_t* image = Bytes();
    std::memmove(image + BankAddress(to), image + BankAddress(from), BankSize);
}

int cmcOrganisation::InsertBank(int bank, bool withProgramEntry) {
    uint8_t* image = Bytes();
    if (!image || bank < 0 || bank > BankCount() || BankCount() >= MaxBanks) return 0;
    for (int from = Banks - 2; from >= bank; --from)
        CopyBank(from + 1, from);
    datCh record = Record();
    record.Load(datKind::BasicBank, bank);
    record.SetName("Category");
    record.icon = values::IconHamHandheld;
    record.Store(datKind::BasicBank, bank);
    image[BankAddress(bank) + memmap::BankChCount] = 0;
    image[BankAddress(bank) + memmap::BankPgCount] = withProgramEntry ? 1 : 0;
    if (withProgramEntry) ShiftUp(datKind::BasicPg, bank * BankPgEntries + 1, bank * BankPgEntries);
    return 1;
}

int cmcOrganisation::DeleteBank(int bank) {
    uint8_t* image = Bytes();
    if (!image || bank < 0 || bank >= Banks) return 0;
    for (int to = bank; to < Banks; ++to) {
        if (to + 1 < Banks) {
            CopyBank(to, to + 1);
        } else {
            image[BankAddress(to) + memmap::BankChCount] = 0;
            image[BankAddress(to) + memmap::BankPgCount] = 0;
        }
    }
    return 1;
}

// Where a basic-search entry of a kind lives: its bank's entry count, the first record
// of the bank and the entry's place in it; nothing for an index outside the table.
std::optional<cmcOrganisation::clsEntryPlace> cmcOrganisation::BasicEntryPlace(uint32_t kind,
                                                                               int index) {
    uint8_t* image = Bytes();
    if (!image || (kind != datKind::BasicCh && kind != datKind::BasicPg)) return std::nullopt;
    if (index < 0 || index >= datKind::Count(kind)) return std::nullopt;
    const bool ch = kind == datKind::BasicCh;
    const int perBank = ch ? BankChEntries : BankPgEntries;
    const int bank = index / perBank;
    uint8_t& count = image[BankAddress(bank) + (ch ? memmap::BankChCount : memmap::BankPgCount)];
    return clsEntryPlace{count, bank * perBank, index % perBank, perBank};
}

int cmcOrganisation::InsertBasicEntry(uint32_t kind, int index) {
    const auto place = BasicEntryPlace(kind, index);
    if (!place || place->count >= place->perBank || place->entry > place->count) return 0;
    ++place->count;
    ShiftUp(kind, place->first + place->count, index);
    return 1;
}

int cmcOrganisation::DeleteBasicEntry(uint32_t kind, int index) {
    const auto place = BasicEntryPlace(kind, index);
    if (!place || place->entry >= place->count) return 0;
    const int end = place->first + place->count;
    --place->count;
    ShiftDown(kind, end, index);
    return 1;
}

// ---- Limits ----

void cmcOrganisation::ShowLimitMessage(const char* key, bool showMessage) const {
    if (!showMessage) return;
    cmcGTex& texts = cmcGTex::Process();
    cmcMessage(texts.GetLines(key), texts.GetLine("GI_Sys_AppTitle", 0), MsgIcon::Error);
}

int cmcOrganisation::CheckLimit(uint32_t kind, int item, bool adding, bool showMessage) const {
    const bool countsChannels = kind != datKind::PgSrch && kind != datKind::BasicCh &&
                                kind != datKind::BasicPg && kind != datKind::BasicBank;
    if (adding && countsChannels && TotalChannels() > MaxChannels - 1) {
        ShowLimitMessage("GI_AppMess_ChErr_Overflow", showMessage);
        return 0;
    }
    const char* refusal = nullptr;
    switch (kind) {
    case datKind::Mch:
        if (adding && item >= MaxNamesPerGroup) return 0;
        if (adding && ChannelsOfName(item) >= MaxChannelsPerName)
            refusal = "GI_AppMess_ChErr_Overflow";
        if (!adding && ChannelsOfGroup(item) <= 1) refusal = "GI_AppMess_All_Delete";
        break;
    case datKind::Name:
        if (adding && NameCount() >= MaxNamesPerGroup) refusal = "GI_AppMess_NameErr_Overflow";
        if (!adding && NameCount() <= 1) refusal = "GI_AppMess_All_Delete";
        break;
    case datKind::Group:
        if (adding && GroupsOfCategory(item) >= MaxGroupsPerCategory)
            refusal = "GI_AppMess_GrpErr_Overflow";
        if (!adding && GroupsOfCategory(item) <= 1) refusal = "GI_AppMess_All_Delete";
        break;
    case datKind::Category:
        if (adding && CategoryCount() > MaxCategories - 1) refusal = "GI_AppMess_CateErr_Overflow";
        if (!adding && CategoryCount() <= 1) refusal = "GI_AppMess_All_Delete";
        break;
    case datKind::BasicCh:
        if (adding && BankChCount(item) >= MaxBankChEntries) refusal = "GI_AppMess_ChErr_Overflow";
        if (!adding && BankChCount(item) <= 1 && BankPgCount(item) == 0)
            refusal = "GI_AppMess_All_Delete";
        break;
    case datKind::BasicPg:
        if (adding && BankPgCount(item) >= MaxBankPgEntries) refusal = "GI_AppMess_ChErr_Overflow";
        if (!adding && BankPgCount(item) <= 1 && BankChCount(item) == 0)
            refusal = "GI_AppMess_All_Delete";
        break;
    case datKind::BasicBank:
        if (adding && BankCount() >= MaxBanks) refusal = "GI_AppMess_CateErr_Overflow";
        if (!adding && BankCount() == 0) return 0;
        break;
    default:
        break;
    }
    if (!refusal) return 1;
    ShowLimitMessage(refusal, showMessage);
    return 0;
}

// ---- Record moves ----

// Records move within the first len slots; callers pass the slots in use, since the slots
// beyond hold no records and moving them would only cost time.
void cmcOrganisation::ShiftUp(uint32_t kind, int len, int slot) {
    len = std::min(len, datKind::Count(kind));
    if (slot < 0 || slot >= len) return;
    datCh record = Record();
    for (int i = len - 1; i > slot; --i) {
        record.Load(kind, i - 1);
        record.Store(kind, i);
    }
    record.StoreDefault(kind, slot, NewRecordBand);
    if (kind == datKind::PgSrch) ClearRange(kind, slot, slot);
}

void cmcOrganisation::ShiftDown(uint32_t kind, int len, int slot) {
    len = std::min(len, datKind::Count(kind));
    if (slot < 0 || slot >= len) return;
    datCh record = Record();
    for (int i = slot; i < len - 1; ++i) {
        record.Load(kind, i + 1);
        record.Store(kind, i);
    }
    ClearRange(kind, len - 1, len - 1);
}

void cmcOrganisation::RemoveBlock(uint32_t kind, int len, int slot, int count) {
    len = std::min(len, datKind::Count(kind));
    if (slot < 0 || count <= 0 || slot + count > len) return;
    datCh record = Record();
    for (int i = slot; i < len - count; ++i) {
        record.Load(kind, i + count);
        record.Store(kind, i);
    }
    ClearRange(kind, len - count, len - 1);
}

void cmcOrganisation::ClearRange(uint32_t kind, int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, datKind::Count(kind) - 1);
    datCh record = Record();
    for (int i = first; i <= last; ++i) {
        if (kind == datKind::Mch) {
            // A freed channel slot holds what a load leaves behind the last channel: an
            // empty channel with the values of a new one, nothing of the deleted channel.
            record.Load(datKind::Band, NewRecordBand);
            record.SetInUse(false);
            record.Store(kind, i);
            continue;
        }
        record.Load(kind, i);
        record.SetInUse(false);
        // A cleared category or group gives its direct key back: no move overwrites the
        // owner of a slot behind the last one in use.
        record.directKey = NoDirectKey;
        record.Store(kind, i);
    }
}
