#include "model/datCh.h"

#include "model/cmcEeprom.h"
#include "model/cmcFrequency.h"
#include "model/cmcGridClass.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/cmcValueTables.h"
#include "model/indDestination.h"

#include <algorithm>
#include <bitset>
#include <cstring>

using namespace memmap;

namespace {

constexpr int LinkPositions = 26; // position 0 is the "Add" row of a link

void CopyText(char* field, size_t length, std::string_view text) {
    std::memset(field, ' ', length);
    std::memcpy(field, text.data(), std::min(length, text.size()));
}

std::string Trimmed(const char* field, size_t length) {
    std::string text(field, length);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

void ReadText(const uint8_t* image, int address, char* field, size_t length) {
    std::memcpy(field, image + address, length);
}

void WriteText(uint8_t* image, int address, const char* field, size_t length) {
    std::memcpy(image + address, field, length);
}

uint8_t* MapOf(const cmcEeprom* image) {
    if (!image || image->GetSize() < MapSize) return nullptr;
    return const_cast<cmcEeprom*>(image)->Data();
}

bool ValidIndex(uint32_t kind, int index) {
    if (kind == datKind::CategoryDefault || kind == datKind::GroupDefault) return true;
    return index >= 0 && index < datKind::Count(kind);
}

bool LinkHasEdge(const uint8_t* image, int link, int edge) {
    return GetBit(image, LinkBits + 4 * link, edge);
}

void FreeDirectKeys(uint8_t* image, uint16_t owner) {
    for (int k = 0; k < DirectKeys; ++k)
        if (Get16(image, DirectKeyTable + 2 * k) == owner)
            Put16(image, DirectKeyTable + 2 * k, FreeDirectKey);
}

// Frees the keys the owner holds, then gives it key k (overwriting whoever held it).
void StoreDirectKey(uint8_t* image, uint16_t owner, uint8_t key) {
    FreeDirectKeys(image, owner);
    if (key < DirectKeys) Put16(image, DirectKeyTable + 2 * key, owner);
}

uint8_t FindDirectKey(const uint8_t* image, uint16_t owner) {
    for (int k = 0; k < DirectKeys; ++k)
        if (Get16(image, DirectKeyTable + 2 * k) == owner) return uint8_t(k);
    return NoDirectKey;
}

uint16_t CategoryKeyOwner(int category) {
    return uint16_t(category & 0x7FFF);
}
uint16_t GroupKeyOwner(int group) {
    return uint16_t(0x8000 | (group & 0x7FFF));
}

} // namespace

int datKind::Count(uint32_t kind) {
    switch (kind) {
    case Mch:
        return Channels;
    case PgSrch:
    case PgSrchView:
        return Edges;
    case PgLink:
        return Links * LinkPositions;
    case AutoMWCH:
        return AutoWriteChannels;
    case BasicCh:
        return Banks * BankChEntries;
    case BasicPg:
        return Banks * BankPgEntries;
    case Category:
        return Categories;
    case Group:
        return Groups;
    case Name:
        return Names;
    case BasicBank:
        return Banks;
    case BandTemplate:
    case Band:
        return 11;
    default:
        return 0;
    }
}

datCh::datCh(cmcEeprom* image, const cmcOrganisation* organisation,
             const indDestination* destination)
    : image_(image), organisation_(organisation), destination_(destination) {
    Clear();
}

void datCh::Clear() {
    cmcEeprom* image = image_;
    const cmcOrganisation* organisation = organisation_;
    const indDestination* destination = destination_;
    *this = datCh(Plain{});
    image_ = image, organisation_ = organisation, destination_ = destination;
}

datCh::datCh(Plain) {
    name.fill(' ');
    shortName.fill(' ');
    nameNumber.fill(' ');
}

uint8_t* datCh::Bytes() const {
    return MapOf(image_);
}

int datCh::DestinationIndex() const {
    return (destination_ ? *destination_ : indDestination::Active()).Index();
}

void datCh::NormaliseModeAndStep() {
    const int destination = DestinationIndex();
    if (destination == 0 || destination == 5) return;
    if (mode == values::ModeAuto) mode = values::ModeFm;
    if (tuningStep == values::StepAuto) tuningStep = 0;
}

void datCh::SetInUse(bool inUse) {
    flags = inUse ? uint8_t(flags | datFlag::InUse) : uint8_t(flags & ~datFlag::InUse);
}

std::string datCh::NameText() const {
    return Trimmed(name.data(), name.size());
}
void datCh::SetName(std::string_view text) {
    CopyText(name.data(), name.size(), text);
}
std::string datCh::ShortNameText() const {
    return Trimmed(shortName.data(), shortName.size());
}
void datCh::SetShortName(std::string_view text) {
    CopyText(shortName.data(), shortName.size(), text);
}
std::string datCh::NameNumberText() const {
    return std::string(nameNumber.data(), nameNumber.size());
}
void datCh::SetNameNumber(std::string_view text) {
    CopyText(nameNumber.data(), nameNumber.size(), text);
}

// ---- Decoding ----

void datCh::Load(uint32_t loadKind, int loadIndex) {
    Clear();
    kind = loadKind;
    index = loadIndex;
    if (loadKind == datKind::CategoryDefault) return LoadCategoryDefault();
    if (loadKind == datKind::GroupDefault) return LoadGroupDefault();
    uint8_t* image = Bytes();
    if (!image || !ValidIndex(loadKind, loadIndex)) {
        flags = 0;
        return;
    }
    switch (loadKind) {
    case datKind::Mch:
        SetInUse(!GetBit(image, ChannelEmptyBits, loadIndex));
        return LoadChannel(image, ChannelAddress(loadIndex), true);
    case datKind::AutoMWCH:
        SetInUse(!GetBit(image, AutoWriteEmptyBits, loadIndex));
        return LoadChannel(image, AutoWriteAddress(loadIndex), false);
    case datKind::Band:
        SetInUse(!GetBit(image, ChannelEmptyBits, loadIndex));
        return LoadChannel(image, BandMemoryAddress(loadIndex), false);
    case datKind::BandTemplate:
        return LoadBandTemplate(image);
    case datKind::PgSrch:
    case datKind::PgSrchView:
        return LoadEdge(image, loadIndex);
    case datKind::PgLink:
        return LoadLinkEntry(image);
    case datKind::BasicCh:
        return LoadBasicCh(image);
    case datKind::BasicPg:
        return LoadBasicPg(image);
    case datKind::Category:
        return LoadCategory(image);
    case datKind::Group:
        return LoadGroup(image);
    case datKind::Name:
        return LoadName(image);
    case datKind::BasicBank:
        return LoadBank(image);
    default:
        flags = 0;
    }
}

void datCh::LoadChannel(const uint8_t* image, int address, bool memoryChannel) {
    frequency = Get32(image, address);
    offset = Get32(image, address + 4);
    const uint8_t* b = image + address;
    mode = b[8] >> 6;
    duplex = (b[8] >> 4) & 3;
    toneMode = (b[8] >> 1) & 7;
    const int cancellerCode = (b[8] & 1) << 2 | b[9] >> 6;
    tone = b[9] & 0x3F;
    dtcsCode = b[10] >> 1;
    frequencyGrid = (b[10] & 1) << 2 | b[11] >> 6;
    offsetGrid = (b[11] >> 3) & 7;
    attenuator = (b[11] >> 2) & 1;
    if (memoryChannel) {
        priority = (b[11] >> 1) & 1;
        stopBeep = b[11] & 1;
    }
    trainFrequency = (uint32_t(b[12]) << 1 | b[13] >> 7) * 10;
    dtcsPolarity = (b[13] >> 6) & 1;
    tuningStep = (b[13] >> 2) & 0xF;
    // Bit 2 of the code is VSC; the canceller exists only for destination 0.
    vsc = cancellerCode >> 2;
    canceller = !vsc && DestinationIndex() == 0 ? uint32_t(cancellerCode & 3) : 0;
    NormaliseModeAndStep();
    if (!memoryChannel) return;
    const uint32_t word = Get32(image, OrganisationWords + 4 * index);
    category = int32_t(word >> 24);
    group = (word >> 13) & 0x7FF;
    nameIndex = (word >> 2) & 0x7FF;
    reservedBits = word & 3;
    skip = GetBit(image, ChannelPSkipBits, index)  ? 2
           : GetBit(image, ChannelSkipBits, index) ? 1
                                                   : 0;
}

void datCh::LoadBandTemplate(uint8_t* image) {
    SetInUse(!GetBit(image, ChannelEmptyBits, index));
    LoadChannel(image, BandMemoryAddress(index), false);
    // A channel made from the template owns a fresh, blank name.
    nameIndex = uint32_t(datLookup::FirstFreeName(*image_));
    std::memset(image + NameTextAddress(int(nameIndex)), ' ', NameLength);
    std::memset(image + NameNumberAddress(int(nameIndex)), ' ', NameNumberLength);
    PutBit(image, NameSkipBits, int(nameIndex), false);
}

void datCh::LoadEdge(const uint8_t* image, int edge) {
    const int address = EdgeAddress(edge);
    frequency = Get32(image, address);
    secondFrequency = Get32(image, address + 4);
    ReadText(image, address + 8, name.data(), NameLength);
    const uint8_t b24 = image[address + 24], b25 = image[address + 25];
    frequencyGrid = b24 >> 5;
    secondGrid = (b24 >> 2) & 7;
    tuningStep = uint32_t(b24 & 3) << 3 | b25 >> 5;
    mode = (b25 >> 2) & 7;
    attenuator = b25 & 3;
    NormaliseModeAndStep();
    SetInUse(datLookup::EdgeFrequenciesInUse(frequency, secondFrequency));
}

void datCh::LoadLinkEntry(const uint8_t* image) {
    const int link = index / LinkPositions, position = index % LinkPositions;
    linkEdge = NoLinkEdge;
    flags = 0;
    int counted = 0;
    for (int edge = 0; edge < Edges && position > 0; ++edge) {
        if (!LinkHasEdge(image, link, edge) || ++counted < position) continue;
        linkEdge = edge;
        const int address = EdgeAddress(edge);
        frequency = Get32(image, address);
        secondFrequency = Get32(image, address + 4);
        ReadText(image, address + 8, name.data(), NameLength);
        flags = datFlag::InUse;
        if (datLookup::EdgeFrequenciesInUse(frequency, secondFrequency))
            flags |= datFlag::LinkedEdgeInUse;
        return;
    }
}

void datCh::LoadBasicCh(const uint8_t* image) {
    const int bank = index / BankChEntries, entry = index % BankChEntries;
    const int address = BankChAddress(bank, entry);
    SetInUse(entry < image[BankAddress(bank) + BankChCount]);
    frequency = Get32(image, address);
    ReadText(image, address + 4, shortName.data(), ShortNameLength);
    frequencyGrid = image[address + 8] >> 5;
    mode = (image[address + 8] >> 3) & 3;
    NormaliseModeAndStep();
}

void datCh::LoadBasicPg(const uint8_t* image) {
    const int bank = index / BankPgEntries, entry = index % BankPgEntries;
    const int address = BankPgAddress(bank, entry);
    SetInUse(entry < image[BankAddress(bank) + BankPgCount]);
    frequency = Get32(image, address);
    secondFrequency = Get32(image, address + 4);
    const uint8_t b8 = image[address + 8], b9 = image[address + 9];
    frequencyGrid = b8 >> 5;
    secondGrid = (b8 >> 2) & 7;
    tuningStep = uint32_t(b8 & 3) << 2 | b9 >> 6;
    mode = (b9 >> 4) & 3;
    NormaliseModeAndStep();
}

void datCh::LoadCategory(const uint8_t* image) {
    icon = image[CategoryIcons + index];
    ReadText(image, CategoryNameAddress(index), name.data(), NameLength);
    directKey = FindDirectKey(image, CategoryKeyOwner(index));
    link = GetBit(image, CategoryLinkBits, index);
    skip = GetBit(image, CategorySkipBits, index);
}

void datCh::LoadGroup(const uint8_t* image) {
    ReadText(image, GroupNameAddress(index), name.data(), NameLength);
    directKey = FindDirectKey(image, GroupKeyOwner(index));
    link = GetBit(image, GroupLinkBits, index);
    skip = GetBit(image, GroupSkipBits, index);
}

void datCh::LoadName(const uint8_t* image) {
    ReadText(image, NameTextAddress(index), name.data(), NameLength);
    ReadText(image, NameNumberAddress(index), nameNumber.data(), NameNumberLength);
    skip = GetBit(image, NameSkipBits, index);
}

void datCh::LoadBank(const uint8_t* image) {
    ReadText(image, BankAddress(index) + BankName, name.data(), NameLength);
    icon = image[BankAddress(index) + BankIcon];
}

void datCh::LoadCategoryDefault() {
    SetName("Category");
    icon = values::IconHamHandheld;
    directKey = NoDirectKey;
    link = 1;
    skip = 0;
}

void datCh::LoadGroupDefault() {
    SetName("Group");
    directKey = NoDirectKey;
    link = 1;
    skip = 0;
}

// ---- Encoding ----

void datCh::Store(uint32_t storeKind, int storeIndex) {
    if (storeKind == datKind::None) storeKind = kind;
    index = storeIndex;
    uint8_t* image = Bytes();
    if (!image || !ValidIndex(storeKind, storeIndex)) return;
    switch (storeKind) {
    case datKind::Mch:
        PutBit(image, ChannelEmptyBits, storeIndex, !InUse());
        PutBit(image, ChannelSkipBits, storeIndex, skip & 1);
        PutBit(image, ChannelPSkipBits, storeIndex, (skip >> 1) & 1);
        StoreMemoryChannelOrganisation(image);
        return StoreChannel(image, ChannelAddress(storeIndex), true);
    case datKind::AutoMWCH:
        PutBit(image, AutoWriteEmptyBits, storeIndex, !InUse());
        return StoreChannel(image, AutoWriteAddress(storeIndex), false);
    case datKind::PgSrch:
        return StoreEdge(image);
    case datKind::PgLink:
        return StoreLinkEntry(image);
    case datKind::BasicCh:
        return StoreBasicCh(image);
    case datKind::BasicPg:
        return StoreBasicPg(image);
    case datKind::Category:
        return StoreCategory(image);
    case datKind::Group:
        return StoreGroup(image);
    case datKind::Name:
        return StoreName(image);
    case datKind::BasicBank:
        return StoreBank(image);
    default:
        return; // the decode-only kinds
    }
}

void datCh::StoreMemoryChannelOrganisation(uint8_t* image) {
    if (!InUse()) {
        Put32(image, OrganisationWords + 4 * index, EmptyOrganisationWord);
        Put16(image, OrderList + 2 * index, NoSlot);
        return;
    }
    if (organisation_) {
        category = organisation_->CategoryOfChannel(index);
        group = uint32_t(organisation_->GroupOfChannel(index));
    }
    const uint32_t word = (uint32_t(category) & 0xFF) << 24 | (group & 0x7FF) << 13 |
                          (nameIndex & 0x7FF) << 2 | (reservedBits & 3);
    Put32(image, OrganisationWords + 4 * index, word);
    Put16(image, OrderList + 2 * index, uint16_t(index));
}

void datCh::StoreChannel(uint8_t* image, int address, bool memoryChannel) {
    Put32(image, address, frequency);
    Put32(image, address + 4, offset);
    const clsGridPair grids = GridClassPair(frequency, offset);
    frequencyGrid = grids.first;
    offsetGrid = grids.second;
    NormaliseModeAndStep();
    const int cancellerCode = vsc ? 4 : DestinationIndex() == 0 ? int(canceller & 3) : 0;
    const uint32_t train = (trainFrequency / 10) & 0x1FF;
    uint8_t* b = image + address;
    b[8] = uint8_t((mode & 3) << 6 | (duplex & 3) << 4 | (toneMode & 7) << 1 | cancellerCode >> 2);
    b[9] = uint8_t((cancellerCode & 3) << 6 | (tone & 0x3F));
    b[10] = uint8_t((dtcsCode & 0x7F) << 1 | ((frequencyGrid >> 2) & 1));
    b[11] = uint8_t((frequencyGrid & 3) << 6 | (offsetGrid & 7) << 3 | (attenuator & 1) << 2);
    if (memoryChannel) b[11] |= uint8_t((priority & 1) << 1 | (stopBeep & 1));
    b[12] = uint8_t(train >> 1);
    b[13] = uint8_t((train & 1) << 7 | (dtcsPolarity & 1) << 6 | (tuningStep & 0xF) << 2);
}

void datCh::StoreEdge(uint8_t* image) {
    if (!InUse()) {
        frequency = secondFrequency = 0;
        name.fill(' ');
    }
    const int address = EdgeAddress(index);
    Put32(image, address, frequency);
    Put32(image, address + 4, secondFrequency);
    WriteText(image, address + 8, name.data(), NameLength);
    frequencyGrid = GridClassOf(frequency);
    secondGrid = GridClassOf(secondFrequency);
    NormaliseModeAndStep();
    image[address + 24] =
        uint8_t((frequencyGrid & 7) << 5 | (secondGrid & 7) << 2 | ((tuningStep >> 3) & 3));
    image[address + 25] = uint8_t((tuningStep & 7) << 5 | (mode & 7) << 2 | (attenuator & 3));
}

void datCh::StoreLinkEntry(uint8_t* image) {
    if (linkEdge < 0 || linkEdge >= Edges) return;
    PutBit(image, LinkBits + 4 * (index / LinkPositions), linkEdge, linkAdd == 1);
}

void datCh::StoreBasicCh(uint8_t* image) {
    const int address = BankChAddress(index / BankChEntries, index % BankChEntries);
    Put32(image, address, frequency);
    WriteText(image, address + 4, shortName.data(), ShortNameLength);
    frequencyGrid = GridClassOf(frequency);
    NormaliseModeAndStep();
    image[address + 8] = uint8_t((frequencyGrid & 7) << 5 | (mode & 3) << 3);
}

void datCh::StoreBasicPg(uint8_t* image) {
    const int address = BankPgAddress(index / BankPgEntries, index % BankPgEntries);
    Put32(image, address, frequency);
    Put32(image, address + 4, secondFrequency);
    frequencyGrid = GridClassOf(frequency);
    secondGrid = GridClassOf(secondFrequency);
    NormaliseModeAndStep();
    image[address + 8] =
        uint8_t((frequencyGrid & 7) << 5 | (secondGrid & 7) << 2 | ((tuningStep >> 2) & 3));
    image[address + 9] = uint8_t((tuningStep & 3) << 6 | (mode & 3) << 4);
}

void datCh::StoreCategory(uint8_t* image) {
    image[CategoryIcons + index] = icon;
    WriteText(image, CategoryNameAddress(index), name.data(), NameLength);
    StoreDirectKey(image, CategoryKeyOwner(index), directKey);
    PutBit(image, CategoryLinkBits, index, link & 1);
    PutBit(image, CategorySkipBits, index, skip & 1);
}

void datCh::StoreGroup(uint8_t* image) {
    WriteText(image, GroupNameAddress(index), name.data(), NameLength);
    StoreDirectKey(image, GroupKeyOwner(index), directKey);
    PutBit(image, GroupLinkBits, index, link & 1);
    PutBit(image, GroupSkipBits, index, skip & 1);
}

void datCh::StoreName(uint8_t* image) {
    WriteText(image, NameTextAddress(index), name.data(), NameLength);
    WriteText(image, NameNumberAddress(index), nameNumber.data(), NameNumberLength);
    PutBit(image, NameSkipBits, index, skip & 1);
}

void datCh::StoreBank(uint8_t* image) {
    WriteText(image, BankAddress(index) + BankName, name.data(), NameLength);
    image[BankAddress(index) + BankIcon] = icon;
}

void datCh::StoreAndReload() {
    Store(kind, index);
    Load(kind, index);
}

void datCh::SetDefault(uint32_t defaultKind, int band) {
    switch (defaultKind) {
    case datKind::Mch:
        Load(datKind::BandTemplate, NewRecordBand);
        SetInUse(true);
        break;
    case datKind::PgSrch:
        Load(datKind::Band, NewRecordBand);
        tuningStep = values::StepNotSet;
        mode = values::ModeNotSet;
        attenuator = values::AttenuatorNotSet;
        secondFrequency = frequency;
        break;
    case datKind::AutoMWCH:
        Load(datKind::Band, band);
        SetInUse(true);
        break;
    case datKind::Category:
        Load(datKind::CategoryDefault, 0);
        break;
    case datKind::Group:
        Load(datKind::GroupDefault, 0);
        break;
    default:
        Load(datKind::Band, band);
        SetInUse(false);
        secondFrequency = frequency;
    }
    kind = defaultKind;
}

void datCh::StoreDefault(uint32_t defaultKind, int storeIndex, int band) {
    SetDefault(defaultKind, band);
    kind = defaultKind;
    Store(defaultKind, storeIndex);
}

// ---- Lookups ----

namespace datLookup {

uint8_t DirectKeyOfCategory(const cmcEeprom& image, int category) {
    const uint8_t* bytes = MapOf(&image);
    return bytes ? FindDirectKey(bytes, CategoryKeyOwner(category)) : NoDirectKey;
}

uint8_t DirectKeyOfGroup(const cmcEeprom& image, int group) {
    const uint8_t* bytes = MapOf(&image);
    return bytes ? FindDirectKey(bytes, GroupKeyOwner(group)) : NoDirectKey;
}

bool DirectKeyOwner(const cmcEeprom& image, int key, clsKeyOwner& owner) {
    const uint8_t* bytes = MapOf(&image);
    if (!bytes || key < 0 || key >= DirectKeys) return false;
    const uint16_t entry = Get16(bytes, DirectKeyTable + 2 * key);
    if (entry == FreeDirectKey) return false;
    owner.isGroup = entry & 0x8000;
    owner.number = entry & 0x7FFF;
    return true;
}

int FirstFreeName(const cmcEeprom& image) {
    const uint8_t* bytes = MapOf(&image);
    if (!bytes) return 0;
    std::bitset<Names> used;
    for (int slot = 0; slot < Channels; ++slot) {
        const uint32_t name = (Get32(bytes, OrganisationWords + 4 * slot) >> 2) & 0x7FF;
        if (name >= uint32_t(Names)) break;
        used.set(name);
    }
    for (int name = 0; name < Names; ++name)
        if (!used.test(size_t(name))) return name;
    return 0;
}

namespace {
std::string TextAt(const cmcEeprom& image, int address, bool valid) {
    const uint8_t* bytes = MapOf(&image);
    if (!bytes || !valid) return std::string(NameLength, ' ');
    return std::string(reinterpret_cast<const char*>(bytes + address), NameLength);
}
} // namespace

std::string CategoryName(const cmcEeprom& image, int category) {
    return TextAt(image, CategoryNameAddress(category), category >= 0 && category < Categories);
}
std::string GroupName(const cmcEeprom& image, int group) {
    return TextAt(image, GroupNameAddress(group), group >= 0 && group < Groups);
}
std::string BankName(const cmcEeprom& image, int bank) {
    return TextAt(image, BankAddress(bank) + memmap::BankName, bank >= 0 && bank < Banks);
}
std::string LinkName(const cmcEeprom& image, int link) {
    return TextAt(image, LinkNameAddress(link), link >= 0 && link < Links);
}
std::string LinkLabel(const cmcEeprom& image, int link) {
    return std::to_string(link) + ": " + LinkName(image, link);
}

bool EdgeFrequenciesInUse(uint32_t high, uint32_t low) {
    auto inCoverage = [](uint32_t f) { return f >= CoverageLowHz && f <= CoverageHighHz; };
    return inCoverage(high) && inCoverage(low);
}

int AutoWriteFirstPosition(const cmcEeprom& image) {
    const uint8_t* bytes = MapOf(&image);
    if (!bytes) return AutoWriteChannels;
    int position = AutoWriteChannels;
    while (position > 0 && bytes[AutoWriteOrder + position - 1] < AutoWriteChannels)
        --position;
    return position;
}

int AutoWriteRowCount(const cmcEeprom& image) {
    return AutoWriteChannels - AutoWriteFirstPosition(image);
}

int AutoWriteSlotOfRow(const cmcEeprom& image, int row) {
    const int position = AutoWriteFirstPosition(image) + row;
    if (row < 0 || position >= AutoWriteChannels) return -1;
    return MapOf(&image)[AutoWriteOrder + position];
}

} // namespace datLookup
