#include "model/cmcImageCorrection.h"

#include "model/cmcDefaultImages.h"
#include "model/cmcEeprom.h"
#include "model/cmcFrequency.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "model/cmcValueTables.h"
#include "model/datCh.h"
#include "model/indDestination.h"

#include <cstring>

using namespace memmap;

namespace {

// Replaces every byte outside 0x20..0x7E by a blank; true when all are blanks afterwards.
bool Sanitise(char* text, size_t length) {
    bool blank = true;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char ch = static_cast<unsigned char>(text[i]);
        if (ch < 0x20 || ch > 0x7E) text[i] = ' ';
        blank = blank && text[i] == ' ';
    }
    return blank;
}

void SanitiseBytes(uint8_t* image, int address, int length) {
    Sanitise(reinterpret_cast<char*>(image + address), size_t(length));
}

void SanitiseNames(cmcOrganisation& organisation) {
    datCh record = organisation.Record();
    struct Region {
        uint32_t kind;
        int count;
        const char* blankName; // what a blank name becomes, or nullptr
    };
    const Region regions[] = {{datKind::Category, Categories, "Category"},
                              {datKind::Group, Groups, "Group"},
                              {datKind::Name, Names, nullptr},
                              {datKind::PgSrch, Edges, nullptr},
                              {datKind::BasicBank, Banks, "Category"}};
    for (const Region& region : regions) {
        for (int i = 0; i < region.count; ++i) {
            record.Load(region.kind, i);
            if (Sanitise(record.name.data(), record.name.size()) && region.blankName)
                record.SetName(region.blankName);
            record.Store(region.kind, i);
        }
    }
}

struct Region {
    uint32_t kind;
    int count;
};
constexpr Region FrequencyRegions[] = {{datKind::Mch, Channels},
                                       {datKind::PgSrch, Edges},
                                       {datKind::AutoMWCH, AutoWriteChannels},
                                       {datKind::BasicCh, Banks* BankChEntries},
                                       {datKind::BasicPg, Banks* BankPgEntries}};

bool HasTwoFrequencies(uint32_t kind) {
    return kind == datKind::PgSrch || kind == datKind::BasicPg;
}
bool IsChannel(uint32_t kind) {
    return kind == datKind::Mch || kind == datKind::AutoMWCH;
}

void CorrectRecord(datCh& record, const indDestination& destination) {
    const int index = destination.Index();
    const int band = destination.BandOf(record.frequency);
    record.frequency = SnapFrequency(record.frequency, band, false);
    if (HasTwoFrequencies(record.kind))
        record.secondFrequency = SnapFrequency(record.secondFrequency,
                                               destination.BandOf(record.secondFrequency), false);
    if (IsChannel(record.kind)) {
        record.offset = SnapFrequency(record.offset, band, true);
        if (index != 0) {
            record.canceller = 0;
            record.trainFrequency = values::TrainDefaultHz;
        }
        record.trainFrequency = RoundTrainFrequency(record.trainFrequency);
    }
    if (index != 0 && index != 5) {
        if (record.mode == values::ModeAuto) record.mode = values::ModeFm;
        if (record.tuningStep == values::StepAuto) record.tuningStep = 0;
    }
    if (record.kind == datKind::PgSrch) {
        if (record.mode > values::ModeAuto) record.mode = values::ModeNotSet;
        if (record.tuningStep > values::StepAuto) record.tuningStep = values::StepNotSet;
        if (record.attenuator > 1) record.attenuator = values::AttenuatorNotSet;
    }
    if (index != 0 && record.kind == datKind::BasicCh)
        Sanitise(record.shortName.data(), record.shortName.size());
}

void CorrectFrequencies(cmcOrganisation& organisation, const uint8_t* templateBytes) {
    uint8_t* image = organisation.Image().Data();
    const indDestination& destination = organisation.Destination();
    datCh record = organisation.Record();
    uint8_t& freeAutoWrite = image[CommonSettings + common::FreeAutoWrite];
    for (const Region& region : FrequencyRegions) {
        if (region.kind == datKind::AutoMWCH)
            freeAutoWrite = templateBytes[CommonSettings + common::FreeAutoWrite];
        for (int i = 0; i < region.count; ++i) {
            record.Load(region.kind, i);
            if (region.kind == datKind::AutoMWCH && record.InUse() && freeAutoWrite > 0)
                --freeAutoWrite;
            CorrectRecord(record, destination);
            record.Store(region.kind, i);
        }
    }
}

void CopyFromTemplate(uint8_t* image, const uint8_t* templateBytes, int address, int length) {
    std::memcpy(image + address, templateBytes + address, size_t(length));
}

void CorrectCommonSettings(uint8_t* image, const uint8_t* templateBytes,
                           const indDestination& destination) {
    // The receiver's own settings, as a new receiver of this destination holds them.
    static constexpr int Copied[][2] = {{1, 1},  {32, 3}, {36, 3}, {39, 2}, {43, 4},
                                        {47, 2}, {49, 1}, {50, 1}, {51, 2}};
    for (const auto& run : Copied)
        CopyFromTemplate(image, templateBytes, CommonSettings + run[0], run[1]);
    if (destination.Index() != 5) image[CommonSettings + common::WeatherAlert] = 0;
    if (destination.Index() != 0) image[CommonSettings + common::Language] = 0;
    uint8_t& dial = image[CommonSettings + common::DialFunction];
    dial = uint8_t((dial & 0x80) | (templateBytes[CommonSettings + common::DialFunction] & 0x7F));
    dial = uint8_t(destination.RxExpansion() ? dial | 0x10 : dial & ~0x10);
}

bool IsAllowed(const datCh& record, const indDestination& destination) {
    if (destination.IsFrequencyNotAllowed(record.frequency, record.mode)) return false;
    return !HasTwoFrequencies(record.kind) ||
           !destination.IsFrequencyNotAllowed(record.secondFrequency, record.mode);
}

} // namespace

void CorrectLoadedImage(cmcOrganisation& organisation) {
    cmcEeprom& image = organisation.Image();
    if (image.GetSize() < MapSize) return;
    const indDestination& destination = organisation.Destination();
    const uint8_t* templateBytes = DefaultImageBytes(destination.Index());
    uint8_t* bytes = image.Data();
    if (destination.Index() != 0) SanitiseNames(organisation);
    CorrectFrequencies(organisation, templateBytes);
    if (destination.Index() != 0) {
        SanitiseBytes(bytes, CloneComment, NameLength);
        SanitiseBytes(bytes, LinkNames, NameLength * Links);
    }
    for (int band = 0; band < BandMemories; ++band)
        CopyFromTemplate(bytes, templateBytes, BandMemoryAddress(band), ChannelSize);
    CorrectCommonSettings(bytes, templateBytes, destination);
    CopyFromTemplate(bytes, templateBytes, Marker, 16);
}

std::vector<clsRecordRef> ReplaceDisallowedRecords(cmcOrganisation& organisation) {
    std::vector<clsRecordRef> replaced;
    cmcEeprom& image = organisation.Image();
    if (image.GetSize() < MapSize) return replaced;
    const indDestination& destination = organisation.Destination();
    cmcEeprom templateImage;
    templateImage.SetSize(MapSize);
    FillDefaultImage(templateImage, destination.Index());
    datCh fromTemplate(&templateImage, nullptr, &destination);
    datCh record = organisation.Record();
    for (const Region& region : FrequencyRegions) {
        for (int i = 0; i < region.count; ++i) {
            record.Load(region.kind, i);
            if (!record.InUse() || IsAllowed(record, destination)) continue;
            replaced.push_back({region.kind, i});
            if (region.kind == datKind::Mch) {
                // A new channel's values; the channel keeps its place and name.
                fromTemplate.Load(datKind::Band, NewRecordBand);
                fromTemplate.SetImage(&image);
                fromTemplate.SetOrganisation(&organisation);
                fromTemplate.SetInUse(true);
                fromTemplate.category = record.category;
                fromTemplate.group = record.group;
                fromTemplate.nameIndex = record.nameIndex;
                fromTemplate.reservedBits = record.reservedBits;
                fromTemplate.Store(datKind::Mch, i);
                fromTemplate.SetImage(&templateImage);
                fromTemplate.SetOrganisation(nullptr);
            } else if (region.kind == datKind::PgSrch) {
                fromTemplate.Load(datKind::PgSrch, i);
                fromTemplate.SetImage(&image);
                fromTemplate.Store(datKind::PgSrch, i);
                fromTemplate.SetImage(&templateImage);
            } else {
                record.StoreDefault(region.kind, i, NewRecordBand);
            }
            record.Load(region.kind, i);
        }
    }
    return replaced;
}

int AdoptLoadedImage(cmcOrganisation& organisation) {
    const int dropped = organisation.Adopt();
    CorrectLoadedImage(organisation);
    return dropped;
}

void PrepareForSave(cmcOrganisation& organisation) {
    CorrectLoadedImage(organisation);
    organisation.BuildInUseBitmaps();
}
