#pragma once

// The decoded form of one stored record of any kind, with its codec. A datCh is a
// short-lived working copy: load a record, change fields, store it (usually with
// StoreAndReload). The image is the only persistent state.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class cmcEeprom;
class cmcOrganisation;
class indDestination;

// Record kinds and the index each takes.
namespace datKind {
constexpr uint32_t None = 0;
constexpr uint32_t Mch = 1;              // memory channel, slot 0..1,599
constexpr uint32_t PgSrch = 2;           // program-search edge 0..24
constexpr uint32_t PgLink = 3;           // link x 26 + position (1..25)
constexpr uint32_t AutoMWCH = 4;         // auto-write channel, slot 0..199
constexpr uint32_t BasicCh = 5;          // bank x 100 + entry
constexpr uint32_t BasicPg = 6;          // bank x 20 + entry
constexpr uint32_t Category = 7;         // 0..25
constexpr uint32_t Group = 8;            // 0..1,599
constexpr uint32_t Name = 9;             // 0..1,599
constexpr uint32_t BasicBank = 10;       // bank 0..19
constexpr uint32_t BandTemplate = 12;    // band 0..10, template of a new memory channel
constexpr uint32_t Band = 13;            // band memory 0..10 (decode only)
constexpr uint32_t PgSrchView = 14;      // as PgSrch (decode only)
constexpr uint32_t CategoryDefault = 15; // a new category (decode only)
constexpr uint32_t GroupDefault = 16;    // a new group (decode only)

// The number of records of a kind (0 for the decode-only kinds without an index).
int Count(uint32_t kind);
} // namespace datKind

namespace datFlag {
constexpr uint8_t InUse = 0x01;
constexpr uint8_t LinkedEdgeInUse = 0x02; // link entries
} // namespace datFlag

// The band memory a new record takes its values from.
constexpr int NewRecordBand = 6;
constexpr uint8_t NoDirectKey = 255;
constexpr int NoLinkEdge = 255;

class datCh {
  public:
    // The organisation gives a stored memory channel its category and group; without one
    // the record's own category and group are written. The destination decides the
    // normalisation and the canceller; without one the active destination is used.
    explicit datCh(cmcEeprom* image = nullptr, const cmcOrganisation* organisation = nullptr,
                   const indDestination* destination = nullptr);

    void Clear();
    void SetImage(cmcEeprom* image) { image_ = image; }
    void SetOrganisation(const cmcOrganisation* organisation) { organisation_ = organisation; }
    void SetDestination(const indDestination* destination) { destination_ = destination; }
    cmcEeprom* Image() const { return image_; }

    // Clear, then decode the stored record. An index outside the kind's range, or an image
    // smaller than the map, gives a cleared record that is not in use.
    void Load(uint32_t kind, int index);
    // Encodes into the image at the index (kind 0: the record's own). Decode-only kinds and
    // indices outside the range store nothing.
    void Store(uint32_t kind, int index);
    void Reload() { Load(kind, index); }
    void StoreAndReload();
    // The defaults of a new record of the kind; band is the band memory (or slot) to copy.
    void SetDefault(uint32_t kind, int band);
    void StoreDefault(uint32_t kind, int index, int band);

    bool InUse() const { return flags & datFlag::InUse; }
    void SetInUse(bool inUse);
    bool LinkedEdgeInUse() const { return flags & datFlag::LinkedEdgeInUse; }

    // The 16-character name as stored, and with trailing blanks removed.
    std::string NameField() const { return std::string(name.data(), name.size()); }
    std::string NameText() const;
    // Copies text into the name, cut or blank-padded to 16 characters.
    void SetName(std::string_view text);
    std::string ShortNameText() const;
    void SetShortName(std::string_view text);
    std::string NameNumberText() const; // the three characters as stored
    void SetNameNumber(std::string_view text);

    // The fields, in the stored record's terms. A field a kind does not use stays 0.
    uint32_t kind = 0;
    int32_t index = 0;
    uint8_t flags = datFlag::InUse;
    std::array<char, 16> name{};
    std::array<char, 4> shortName{}; // basic CH-search entries
    uint32_t frequency = 0;          // edges and basic program entries: "Freq High"
    uint32_t secondFrequency = 0;    // edges and basic program entries: "Freq Low"
    int32_t duplex = 0;
    uint32_t offset = 0;
    int32_t toneMode = 0;
    int32_t skip = 0; // memory channels 0 OFF, 1 Skip, 2 PSkip; categories, groups, names 0/1
    int32_t link = 0; // categories and groups: 1 when linked
    uint32_t mode = 0;
    uint32_t tone = 0;
    int32_t dtcsCode = 0;
    int32_t dtcsPolarity = 0;
    uint32_t attenuator = 0;
    int32_t priority = 0;
    uint32_t stopBeep = 0;
    uint32_t tuningStep = 0;
    int32_t frequencyGrid = 0;
    int32_t secondGrid = 0;
    int32_t offsetGrid = 0;
    uint32_t canceller = 0;
    uint32_t vsc = 0;
    uint32_t trainFrequency = 0; // Hz, a multiple of 10
    std::array<char, 3> nameNumber{};
    uint8_t directKey = 0;
    uint8_t icon = 0;
    int32_t category = 0;
    uint32_t group = 0;
    uint32_t nameIndex = 0;
    uint32_t reservedBits = 0;
    int32_t linkEdge = 0;
    uint32_t linkAdd = 0;

  private:
    struct Plain {};
    explicit datCh(Plain); // every field 0, texts blank, in use, no image

    uint8_t* Bytes() const; // the image's map, or nullptr when there is none
    int DestinationIndex() const;
    void NormaliseModeAndStep();

    void LoadChannel(const uint8_t* image, int address, bool memoryChannel);
    void LoadEdge(const uint8_t* image, int edge);
    void LoadLinkEntry(const uint8_t* image);
    void LoadBasicCh(const uint8_t* image);
    void LoadBasicPg(const uint8_t* image);
    void LoadCategory(const uint8_t* image);
    void LoadGroup(const uint8_t* image);
    void LoadName(const uint8_t* image);
    void LoadBank(const uint8_t* image);
    void LoadBandTemplate(uint8_t* image);
    void LoadCategoryDefault();
    void LoadGroupDefault();

    void StoreChannel(uint8_t* image, int address, bool memoryChannel);
    void StoreMemoryChannelOrganisation(uint8_t* image);
    void StoreEdge(uint8_t* image);
    void StoreLinkEntry(uint8_t* image);
    void StoreBasicCh(uint8_t* image);
    void StoreBasicPg(uint8_t* image);
    void StoreCategory(uint8_t* image);
    void StoreGroup(uint8_t* image);
    void StoreName(uint8_t* image);
    void StoreBank(uint8_t* image);

    cmcEeprom* image_ = nullptr;
    const cmcOrganisation* organisation_ = nullptr;
    const indDestination* destination_ = nullptr;
};

// Lookups on an image (nothing when the image is smaller than the map).
namespace datLookup {
// The lowest direct key naming the category (group), or NoDirectKey.
uint8_t DirectKeyOfCategory(const cmcEeprom& image, int category);
uint8_t DirectKeyOfGroup(const cmcEeprom& image, int group);
// Owner of direct key k: whether a group holds it and its number; false when free.
struct clsKeyOwner {
    bool isGroup = false;
    int number = 0;
};
bool DirectKeyOwner(const cmcEeprom& image, int key, clsKeyOwner& owner);
// The lowest name number no in-use memory channel refers to; the scan ends at the first
// slot whose name number is above 1,599. 0 when every name is taken.
int FirstFreeName(const cmcEeprom& image);
// The 16 characters as stored.
std::string CategoryName(const cmcEeprom& image, int category);
std::string GroupName(const cmcEeprom& image, int group);
std::string BankName(const cmcEeprom& image, int bank);
std::string LinkName(const cmcEeprom& image, int link);
// "3: " followed by the 16 characters, for the tree and sheet titles.
std::string LinkLabel(const cmcEeprom& image, int link);
// Whether an edge's two frequencies lie within the receiver's coverage.
bool EdgeFrequenciesInUse(uint32_t high, uint32_t low);
// Auto-write display rows: the first valid position of the order list (200 when none) and
// the slot shown in row r (-1 past the end).
int AutoWriteFirstPosition(const cmcEeprom& image);
int AutoWriteRowCount(const cmcEeprom& image);
int AutoWriteSlotOfRow(const cmcEeprom& image, int row);
} // namespace datLookup
