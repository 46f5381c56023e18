#include "model/cmcDefaultImages.h"

#include "model/cmcEeprom.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcValueTables.h"
#include "model/datCh.h"
#include "model/indDestination.h"

#include <array>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

using namespace memmap;

namespace {

constexpr uint32_t Auto = values::ModeAuto, Fm = values::ModeFm, Wfm = values::ModeWfm,
                   Am = values::ModeAm;
constexpr uint32_t StepAuto = values::StepAuto;

// Steps by width.
constexpr uint32_t S5k = 0, S9k = 4, S12k5 = 6, S15k = 7, S20k = 8, S25k = 9, S50k = 11;

constexpr uint32_t MHz(double mhz) {
    return uint32_t(mhz * 1000000.0 + 0.5);
}

struct BandMemory {
    uint32_t frequency;
    uint32_t offset;
    uint32_t mode;
    uint32_t step;
};

struct Edge {
    uint32_t low;
    uint32_t high;
};

// What differs between the default images: band memories 0..10 and edges 0..2.
struct ImageTable {
    int image; // the destination whose image this is
    std::array<BandMemory, 11> bands;
    std::array<Edge, 3> edges;
};

constexpr std::array<BandMemory, 11> AutoBands(BandMemory band3, BandMemory band6, BandMemory band8,
                                               BandMemory band10) {
    return {{{MHz(0.15), 0, Auto, StepAuto},
             {MHz(1.62), 0, Auto, StepAuto},
             {MHz(5), 0, Auto, StepAuto},
             band3,
             {MHz(76), 0, Auto, StepAuto},
             {MHz(118), 0, Auto, StepAuto},
             band6,
             {MHz(370), 0, Auto, StepAuto},
             band8,
             {MHz(850), 0, Auto, StepAuto},
             band10}};
}

constexpr std::array<BandMemory, 11> ExportBands(BandMemory band3, BandMemory band4,
                                                 BandMemory band6, BandMemory band8,
                                                 uint32_t band10Step) {
    return {{{MHz(0.15), 0, Am, S5k},
             {MHz(1.62), 0, Am, S9k},
             {MHz(5), 0, Am, S5k},
             band3,
             band4,
             {MHz(118), 0, Am, S25k},
             band6,
             {MHz(370), 0, Fm, S12k5},
             band8,
             {MHz(850), 0, Fm, S12k5},
             {MHz(1295), 0, Fm, band10Step}}};
}

constexpr std::array<Edge, 3> StandardEdges = {
    {{MHz(0.15), MHz(1300)}, {MHz(144), MHz(146)}, {MHz(430), MHz(440)}}};

constexpr BandMemory Fm51Offset20k = {MHz(51), MHz(0.5), Fm, S20k};
constexpr BandMemory Wfm88 = {MHz(88), 0, Wfm, S50k};
constexpr BandMemory Fm145 = {MHz(145), MHz(0.6), Fm, S25k};
constexpr BandMemory Fm430 = {MHz(430), MHz(7.6), Fm, S25k};

// The ten distinct images; destinations 6, 8, 9 and 10 use image 0.
const ImageTable Images[] = {
    {0,
     AutoBands({MHz(51), 0, Auto, StepAuto}, {MHz(145), 0, Auto, StepAuto},
               {MHz(433), MHz(5), Auto, StepAuto}, {MHz(1295), MHz(20), Auto, StepAuto}),
     StandardEdges},
    {5,
     AutoBands({MHz(51), MHz(0.5), Auto, StepAuto}, {MHz(146.01), MHz(0.6), Auto, StepAuto},
               {MHz(440), MHz(5), Auto, StepAuto}, {MHz(1295), 0, Auto, StepAuto}),
     {{{MHz(0.15), MHz(1300)}, {MHz(137), MHz(174)}, {MHz(400), MHz(470)}}}},
    {1, ExportBands({MHz(51), MHz(0.5), Fm, S25k}, Wfm88, Fm145, Fm430, S25k), StandardEdges},
    {2, ExportBands(Fm51Offset20k, Wfm88, Fm145, {MHz(430), MHz(1.6), Fm, S25k}, S20k),
     StandardEdges},
    {3,
     ExportBands(Fm51Offset20k, Wfm88, Fm145, {MHz(432), MHz(4.6), Fm, S25k}, S20k),
     {{{MHz(0.15), MHz(1300)}, {MHz(144), MHz(146)}, {MHz(432), MHz(438)}}}},
    {4,
     ExportBands(Fm51Offset20k, Wfm88, Fm145, Fm430, S20k),
     {{{MHz(0.15), MHz(1298)}, {MHz(144), MHz(146)}, {MHz(430), MHz(438)}}}},
    {7,
     ExportBands(Fm51Offset20k, {MHz(76), 0, Wfm, S50k}, {MHz(146.01), MHz(0.6), Fm, S15k},
                 {MHz(430), MHz(5), Fm, S25k}, S20k),
     {{{MHz(0.15), MHz(1300)}, {MHz(137), MHz(174)}, {MHz(430), MHz(440)}}}},
    {11, ExportBands({MHz(51), 0, Fm, S20k}, Wfm88, Fm145, Fm430, S20k), StandardEdges},
    {12,
     ExportBands({MHz(50), 0, Fm, S20k}, Wfm88, Fm145, Fm430, S20k),
     {{{MHz(144), MHz(440)}, {MHz(144), MHz(146)}, {MHz(430), MHz(440)}}}},
    {13,
     ExportBands(Fm51Offset20k, Wfm88, Fm145, Fm430, S20k),
     {{{MHz(144), MHz(438)}, {MHz(144), MHz(146)}, {MHz(430), MHz(438)}}}},
};

constexpr std::string_view EdgeNames[] = {"ALL", "VHF", "UHF"};

// The common settings as a new receiver holds them.
constexpr std::array<uint8_t, CommonSettingsSize> CommonDefaults = {
    0x00, 0x00, 0x00, 0x00, 0x0A, 0x02, 0x01, 0xFF, // 0..7
    0x00, 0x0A, 0x02, 0x02, 0x00, 0x0A, 0x00, 0x00, // 8..15
    0x01, 0x01, 0x00, 0x78, 0x05, 0x01, 0x01, 0x13, // 16..23
    0x00, 0x01, 0x01, 0x02, 0x08, 0x01, 0x00, 0x01, // 24..31
    0x13, 0x01, 0x06, 0x00, 0x46, 0x01, 0x00, 0x00, // 32..39
    0x00, 0xC8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // 40..47
    0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x01, 0x01, // 48..55
    0x01, 0x01, 0x01, 0x00, 0x01, 0xFF, 0xFF, 0xFF, // 56..63
};

void PutText(uint8_t* image, int address, std::string_view text, int length) {
    std::memset(image + address, ' ', size_t(length));
    std::memcpy(image + address, text.data(), std::min<size_t>(text.size(), size_t(length)));
}

// Packs a band memory through the channel codec (an auto-write slot of a scratch image).
void PutBandMemory(uint8_t* image, int band, const BandMemory& values,
                   const indDestination& destination) {
    cmcEeprom scratch;
    scratch.SetSize(MapSize);
    datCh record(&scratch, nullptr, &destination);
    record.frequency = values.frequency;
    record.offset = values.offset;
    record.mode = values.mode;
    record.tuningStep = values.step;
    record.tone = 8; // 88.5 Hz
    record.trainFrequency = values::TrainDefaultHz;
    record.Store(datKind::AutoMWCH, 0);
    uint8_t* slot = image + BandMemoryAddress(band);
    std::memcpy(slot, scratch.Data() + AutoWriteAddress(0), ChannelSize);
    slot[14] = slot[15] = 0xFF;
}

void PutEdge(cmcEeprom& image, int edge, const Edge& values, const indDestination& destination) {
    datCh record(&image, nullptr, &destination);
    record.SetName(EdgeNames[edge]);
    record.frequency = values.high;
    record.secondFrequency = values.low;
    record.tuningStep = values::StepNotSet;
    record.mode = values::ModeNotSet;
    record.attenuator = values::AttenuatorNotSet;
    record.Store(datKind::PgSrch, edge);
}

void PutOrganisation(uint8_t* image) {
    for (int c = 0; c < Categories; ++c) {
        image[CategoryIcons + c] = values::IconHamHandheld;
        PutText(image, CategoryNameAddress(c), c == 0 ? "HAM" : "Category", NameLength);
    }
    for (int g = 0; g < Groups; ++g)
        PutText(image, GroupNameAddress(g), g == 0 ? "Initial" : "Group", NameLength);
    std::memset(image + NameNumbers, ' ', size_t(NameNumberLength * Names));
    std::memset(image + NameTexts, ' ', size_t(NameLength * Names));
    std::memset(image + OrganisationWords, 0xFF, size_t(4 * Channels));
    Put32(image, OrganisationWords, 0x00000000);
    Put32(image, OrganisationWords + 4, 0x00000004); // name 1
    std::memset(image + OrderList, 0xFF, size_t(2 * Channels));
    Put16(image, OrderList, 0);
    Put16(image, OrderList + 2, 1);
    // Empty and in-use bitmaps: slots, category, group and names 0 (and 1) in use.
    std::memset(image + ChannelEmptyBits, 0xFF, Channels / 8);
    image[ChannelEmptyBits] = 0xFC;
    std::memset(image + CategoryInUseBits, 0xFF, 4);
    image[CategoryInUseBits] = 0xFE;
    std::memset(image + GroupInUseBits, 0xFF, Groups / 8);
    image[GroupInUseBits] = 0xFE;
    std::memset(image + NameInUseBits, 0xFF, Names / 8);
    image[NameInUseBits] = 0xFC;
    // Links on everywhere; skip on for every slot not in use.
    std::memset(image + CategoryLinkBits, 0xFF, 4);
    std::memset(image + CategorySkipBits, 0xFF, 4);
    image[CategorySkipBits] = 0xFE;
    std::memset(image + GroupLinkBits, 0xFF, Groups / 8);
    std::memset(image + GroupSkipBits, 0xFF, Groups / 8);
    image[GroupSkipBits] = 0xFE;
    std::memset(image + NameSkipBits, 0xFF, Names / 8);
    image[NameSkipBits] = 0xFC;
    std::memset(image + DirectKeyTable, 0xFF, 2 * DirectKeys);
}

void PutBanks(uint8_t* image) {
    for (int bank = 0; bank < Banks; ++bank) {
        PutText(image, BankAddress(bank) + BankName, "Category", NameLength);
        image[BankAddress(bank) + BankIcon] = values::IconHamHandheld;
        for (int entry = 0; entry < BankChEntries; ++entry)
            PutText(image, BankChAddress(bank, entry) + 4, "", ShortNameLength);
    }
}

void PutAutoWrite(uint8_t* image) {
    for (int slot = 0; slot < AutoWriteChannels; ++slot)
        std::memcpy(image + AutoWriteAddress(slot), image + BandMemoryAddress(NewRecordBand),
                    ChannelSize);
    std::memset(image + AutoWriteEmptyBits, 0xFF, AutoWriteChannels / 8);
    image[AutoWriteSpare] = 0xFF;
    std::memset(image + AutoWriteOrder, 0xFF, AutoWriteChannels);
}

std::vector<uint8_t> BuildImage(const ImageTable& table) {
    const indDestination destination(table.image);
    cmcEeprom image;
    image.SetSize(MapSize);
    uint8_t* bytes = image.Data();
    for (int band = 0; band < 11; ++band)
        PutBandMemory(bytes, band, table.bands[size_t(band)], destination);
    PutBandMemory(bytes, 11, table.bands[NewRecordBand], destination);
    bytes[BandMemoryAddress(0) + 13] |= 2; // the receiver's own bits of band memory 0
    // Channels 0 and 1 are band memories 6 and 8; the empty slots hold band memory 6.
    for (int slot = 0; slot < Channels; ++slot)
        std::memcpy(bytes + ChannelAddress(slot),
                    bytes + BandMemoryAddress(slot == 1 ? 8 : NewRecordBand), ChannelSize);
    PutOrganisation(bytes);
    PutAutoWrite(bytes);
    for (int edge = 0; edge < 3; ++edge)
        PutEdge(image, edge, table.edges[size_t(edge)], destination);
    for (int edge = 3; edge < Edges; ++edge)
        PutText(bytes, EdgeAddress(edge) + 8, "", NameLength);
    PutBanks(bytes);
    PutText(bytes, CloneComment, "", NameLength);
    for (int link = 0; link < Links; ++link)
        PutText(bytes, LinkNameAddress(link), "P-LINK No." + std::to_string(link), NameLength);
    bytes[LinkSpare] = bytes[LinkSpare + 1] = 0xFF;
    std::memcpy(bytes + CommonSettings, CommonDefaults.data(), CommonDefaults.size());
    std::memcpy(bytes + Marker, "TarnCloneFormat3", 16);
    return std::vector<uint8_t>(bytes, bytes + MapSize);
}

const ImageTable& TableOf(int destination) {
    const int image = indDestination::DefaultImageOf(destination);
    for (const ImageTable& table : Images)
        if (table.image == image) return table;
    return Images[0]; // 6, 8, 9 and 10
}

} // namespace

const uint8_t* DefaultImageBytes(int destination) {
    static std::array<std::unique_ptr<std::vector<uint8_t>>, std::size(Images)> built;
    const ImageTable& table = TableOf(destination);
    auto& slot = built[size_t(&table - Images)];
    if (!slot) slot = std::make_unique<std::vector<uint8_t>>(BuildImage(table));
    return slot->data();
}

void FillDefaultImage(cmcEeprom& image, int destination) {
    if (image.GetSize() < MapSize) return;
    std::memcpy(image.Data(), DefaultImageBytes(destination), MapSize);
}
