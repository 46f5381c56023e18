#pragma once

// The receiver's memory map: where every region of the image lives, how many records it
// holds and how big they are. The receiver reads these same bytes, so nothing here may
// move. Multi-byte numbers are big-endian; texts are blank-padded without terminator.

#include <cstdint>

namespace memmap {

// Record counts.
constexpr int Channels = 1600;
constexpr int Categories = 26;
constexpr int Groups = 1600;
constexpr int Names = 1600;
constexpr int AutoWriteChannels = 200;
constexpr int Edges = 25;
constexpr int Links = 10;
constexpr int Banks = 20;
constexpr int BankChEntries = 100;
constexpr int BankPgEntries = 20;
constexpr int BandMemories = 12; // slot 11 is not read by the codec
constexpr int DirectKeys = 100;

// Record sizes.
constexpr int ChannelSize = 14;
constexpr int NameLength = 16;
constexpr int ShortNameLength = 4;
constexpr int NameNumberLength = 3;
constexpr int EdgeSize = 26;
constexpr int BankSize = 1119;
constexpr int BankPgEntrySize = 10;
constexpr int BankChEntrySize = 9;
constexpr int BandMemorySize = 16;

// Regions, in address order.
constexpr int ChannelRecords = 0;         // 1,600 x 14
constexpr int CategoryIcons = 22400;      // 26 x 1
constexpr int CategoryNames = 22426;      // 26 x 16
constexpr int GroupNames = 22842;         // 1,600 x 16
constexpr int NameNumbers = 48442;        // 1,600 x 3
constexpr int NameTexts = 53242;          // 1,600 x 16
constexpr int AutoWriteRecords = 78842;   // 200 x 14
constexpr int EdgeRecords = 81642;        // 25 x 26
constexpr int BankRecords = 82292;        // 20 x 1,119
constexpr int OrganisationWords = 104672; // 1,600 x 4
constexpr int OrderList = 111072;         // 1,600 x 2
constexpr int ChannelEmptyBits = 114272;  // bitmap of 1,600, 1 = empty
constexpr int ChannelSkipBits = 114472;
constexpr int ChannelPSkipBits = 114672;
constexpr int AutoWriteEmptyBits = 114872; // bitmap of 200, 1 = empty
constexpr int AutoWriteSpare = 114897;     // 0xFF
constexpr int AutoWriteOrder = 114898;     // 200 x 1
constexpr int CategoryInUseBits = 115098;  // stored form: 0 = in use
constexpr int GroupInUseBits = 115102;
constexpr int NameInUseBits = 115302;
constexpr int CategoryLinkBits = 115502;
constexpr int CategorySkipBits = 115506;
constexpr int GroupLinkBits = 115510;
constexpr int GroupSkipBits = 115710;
constexpr int NameSkipBits = 115910;
constexpr int CloneComment = 116110;      // 16 characters
constexpr int DirectKeyTable = 116126;    // 100 x 2
constexpr int LinkBits = 116326;          // 10 x 4, bits 0..24 for the edges
constexpr int LinkNames = 116366;         // 10 x 16
constexpr int LinkSpare = 116526;         // 0xFF 0xFF
constexpr int BandMemoryRecords = 116528; // 12 x 16: a channel record, then 0xFF 0xFF
constexpr int CommonSettings = 116720;    // 64 bytes
constexpr int CommonSettingsSize = 64;
constexpr int Marker = 116784; // "TarnCloneFormat3"
constexpr int End = 116800;

// Offsets inside a basic-search bank.
constexpr int BankName = 0;
constexpr int BankIcon = 16;
constexpr int BankPgEntries0 = 17;
constexpr int BankChEntries0 = 217;
constexpr int BankPgCount = 1117;
constexpr int BankChCount = 1118;

// Offsets of the common settings (address = CommonSettings + offset).
namespace common {
constexpr int WeatherAlert = 0;
constexpr int ScanPriority = 2;
constexpr int ScanStopBeep = 3;
constexpr int ScanPause = 4;
constexpr int ScanResume = 5;
constexpr int PSkipSearch = 6;
constexpr int SearchStopBeep = 8;
constexpr int SearchPause = 9;
constexpr int SearchResume = 10;
constexpr int AmAntenna = 11;
constexpr int FmAntenna = 12;
constexpr int RfGain = 13;
constexpr int PowerOff = 14;
constexpr int PowerOn = 15;
constexpr int PowerSave = 16;
constexpr int DialSpeedUp = 17;
constexpr int KeyLock = 18;
constexpr int RLinkAddress = 19;
constexpr int RLinkBaudRate = 20;
constexpr int RLinkTransceive = 21;
constexpr int KeyTouchBeep = 22;
constexpr int BeepLevel = 23;
constexpr int BackLight = 27;
constexpr int Contrast = 28;
constexpr int OpeningLogo = 29;
constexpr int Language = 30;
constexpr int FontSize = 31;
constexpr int DialFunction = 35; // bit 7 only; bit 4 carries the receive-expansion flag
constexpr int FreeAutoWrite = 41;
constexpr int WxChannel = 42;
constexpr int BassFm = 53;
constexpr int TrebleFm = 54;
constexpr int BassWfm = 55;
constexpr int TrebleWfm = 56;
constexpr int BassAm = 57;
constexpr int TrebleAm = 58;
constexpr int AfFilterWfm = 59;
constexpr int AfFilterAm = 60;
} // namespace common

// The organisation word of an empty slot and the order-list value for "none".
constexpr uint32_t EmptyOrganisationWord = 0xFFFFFFFF;
constexpr uint16_t NoSlot = 0xFFFF;
constexpr uint16_t FreeDirectKey = 0xFFFF;

// Big-endian numbers and bitmaps on raw image bytes. Callers keep addresses inside the
// map; the codec and the organisation check their indices first.
inline uint32_t Get32(const uint8_t* image, int address) {
    const uint8_t* p = image + address;
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
inline void Put32(uint8_t* image, int address, uint32_t value) {
    uint8_t* p = image + address;
    p[0] = uint8_t(value >> 24), p[1] = uint8_t(value >> 16), p[2] = uint8_t(value >> 8);
    p[3] = uint8_t(value);
}
inline uint16_t Get16(const uint8_t* image, int address) {
    return uint16_t(image[address] << 8 | image[address + 1]);
}
inline void Put16(uint8_t* image, int address, uint16_t value) {
    image[address] = uint8_t(value >> 8), image[address + 1] = uint8_t(value);
}
// Item i of a bitmap is bit (i mod 8) of the byte at base + i div 8.
inline bool GetBit(const uint8_t* image, int base, int item) {
    return (image[base + item / 8] >> (item % 8)) & 1;
}
inline void PutBit(uint8_t* image, int base, int item, bool set) {
    uint8_t& byte = image[base + item / 8];
    const uint8_t mask = uint8_t(1u << (item % 8));
    byte = set ? uint8_t(byte | mask) : uint8_t(byte & ~mask);
}

// Addresses of single records.
constexpr int ChannelAddress(int slot) {
    return ChannelRecords + ChannelSize * slot;
}
constexpr int AutoWriteAddress(int slot) {
    return AutoWriteRecords + ChannelSize * slot;
}
constexpr int BandMemoryAddress(int band) {
    return BandMemoryRecords + BandMemorySize * band;
}
constexpr int EdgeAddress(int edge) {
    return EdgeRecords + EdgeSize * edge;
}
constexpr int BankAddress(int bank) {
    return BankRecords + BankSize * bank;
}
constexpr int BankPgAddress(int bank, int entry) {
    return BankAddress(bank) + BankPgEntries0 + BankPgEntrySize * entry;
}
constexpr int BankChAddress(int bank, int entry) {
    return BankAddress(bank) + BankChEntries0 + BankChEntrySize * entry;
}
constexpr int CategoryNameAddress(int c) {
    return CategoryNames + NameLength * c;
}
constexpr int GroupNameAddress(int g) {
    return GroupNames + NameLength * g;
}
constexpr int NameTextAddress(int n) {
    return NameTexts + NameLength * n;
}
constexpr int NameNumberAddress(int n) {
    return NameNumbers + NameNumberLength * n;
}
constexpr int LinkNameAddress(int link) {
    return LinkNames + NameLength * link;
}

static_assert(NameNumbers == GroupNames + NameLength * Groups);
static_assert(AutoWriteRecords == NameTexts + NameLength * Names);
static_assert(OrganisationWords == BankRecords + BankSize * Banks);
static_assert(Marker == CommonSettings + CommonSettingsSize);

} // namespace memmap
