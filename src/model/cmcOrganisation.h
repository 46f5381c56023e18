#pragma once

// The organisation of the memory channels into categories, groups and names, and of the
// basic-search banks into entries: the count tables derived from the image, the position
// arithmetic every sheet uses, the inserts and deletes with their limits, and the work
// done on an image when it is loaded (recount, repack) and before it is saved or written
// (in-use bitmaps).

#include "model/datCh.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class cmcEeprom;
class indDestination;

class cmcOrganisation {
  public:
    static constexpr int MaxCategories = 26;
    static constexpr int MaxGroups = 1600;
    static constexpr int MaxChannels = 1600;
    static constexpr int MaxGroupsPerCategory = 100;
    static constexpr int MaxNamesPerGroup = 100;
    static constexpr int MaxChannelsPerName = 6;
    static constexpr int MaxBanks = 20;
    static constexpr int MaxBankChEntries = 100;
    static constexpr int MaxBankPgEntries = 20;

    // The image must outlive the organisation. Without a destination the active one is used.
    explicit cmcOrganisation(cmcEeprom& image, const indDestination* destination = nullptr);

    cmcEeprom& Image() const { return image_; }
    const indDestination& Destination() const;
    // A record bound to this image, organisation and destination.
    datCh Record() const { return datCh(&image_, this, destination_); }

    // Loading. Recount rebuilds the count tables from the order list and returns the
    // number of listed channels that did not fit the tables (normally 0); Repack brings
    // the image into the packed form. Both accept any bytes.
    int RecountOrganisation();
    void RepackChannels();
    // Recount and repack in one step: what every load does.
    int Adopt();
    // Before saving and writing: rewrites every channel and the three in-use bitmaps.
    void BuildInUseBitmaps();
    // Rebuilds the name counts for group g.
    void RecountNames(int group);

    // Count tables.
    int GroupsOfCategory(int category) const;
    int ChannelsOfGroup(int group) const;
    int ChannelsOfName(int name) const;
    int NamesGroup() const { return namesGroup_; } // the group RecountNames last ran for

    // Position arithmetic (0-based; an item that does not exist starts just after the last).
    int CategoryCount() const;
    int GroupCount() const;
    int TotalChannels() const;
    int FirstGroupOfCategory(int category) const;
    int LastGroupOfCategory(int category) const;
    int FirstChannelOfGroup(int group) const;
    int LastChannelOfGroup(int group) const;
    int FirstChannelOfCategory(int category) const;
    int LastChannelOfCategory(int category) const;
    int GroupOfChannel(int slot) const;
    int CategoryOfGroup(int group) const;
    int CategoryOfChannel(int slot) const { return CategoryOfGroup(GroupOfChannel(slot)); }
    int PositionInGroup(int slot) const;
    int NameCount() const;
    int FirstPositionOfName(int name) const;
    int LastPositionOfName(int name) const;
    int NameOfPosition(int position) const;
    int NameRunsBetween(int firstSlot, int lastSlot) const;
    int BankCount() const;
    int BankChCount(int bank) const;
    int BankPgCount(int bank) const;

    // Texts of the number column. rowCount is the number of items of the list, so the row
    // equal to it is the new row ("New").
    std::string ChannelNumberText(int position, int rowCount) const; // "0-0", "1-0", ...
    static std::string ZeroBasedText(int n, int rowCount);
    static std::string OneBasedText(int n);
    static std::string LinkNumberText(int n); // "Add" in the first row of each link

    // Inserts and deletes (events 9 to 21). Each returns the number of items inserted or
    // deleted; arguments outside the tables, or an insert into full tables, do nothing and
    // return 0.
    int InsertCategory(int category);
    int DeleteCategories(int category, int count);
    int InsertGroup(int category, int group);
    int DeleteGroups(int group, int count);
    int InsertChannel(int group, int slot);
    int DeleteChannel(int group, int slot);
    int InsertBank(int bank, bool withProgramEntry = true);
    int DeleteBank(int bank);
    int InsertBasicEntry(uint32_t kind, int index);
    int DeleteBasicEntry(uint32_t kind, int index);

    // 1 allowed, 0 refused (with the message box when showMessage). item: the name
    // position (adding a channel), the group (deleting a channel), the category (groups),
    // the bank (basic entries).
    int CheckLimit(uint32_t kind, int item, bool adding, bool showMessage) const;

    // Record moves over a region of len records of a kind.
    void ShiftUp(uint32_t kind, int len, int slot);
    void ShiftDown(uint32_t kind, int len, int slot);
    void RemoveBlock(uint32_t kind, int len, int slot, int count);
    void ClearRange(uint32_t kind, int first, int last);

  private:
    uint8_t* Bytes() const; // the map, or nullptr when the image is smaller
    void Changed() { prefixValid_ = false; }
    void BuildPrefixes() const;
    void InsertGroupCount(int group, uint16_t value);
    void RemoveGroupCounts(int group, int count);
    void RemoveCategoryCounts(int category, int count);
    void RepairNameIndices();
    void FreeStaleDirectKeys();
    void ClampBankCounts();
    void CopyBank(int to, int from);
    uint32_t NameIndexOfSlot(int slot) const;
    void ShowLimitMessage(const char* key, bool showMessage) const;

    struct clsEntryPlace {
        uint8_t& count; // the bank's entries of this kind
        int first;      // record index of the bank's first entry
        int entry;      // the entry's place in its bank
        int perBank;
    };
    std::optional<clsEntryPlace> BasicEntryPlace(uint32_t kind, int index);

    cmcEeprom& image_;
    const indDestination* destination_;
    std::array<uint8_t, MaxCategories> groupsPerCategory_{};
    std::array<uint16_t, MaxGroups> channelsPerGroup_{};
    std::array<uint16_t, MaxNamesPerGroup> channelsPerName_{};
    int namesGroup_ = -1;
    // The listed slots the last recount accepted, in display order: what repacking moves.
    std::array<uint16_t, MaxChannels> sources_{};
    int sourceCount_ = 0;
    // Running sums of the count tables, rebuilt after every change: the first channel of
    // each group and the first group of each category.
    mutable bool prefixValid_ = false;
    mutable std::array<int, MaxGroups + 1> groupStart_{};
    mutable std::array<int, MaxCategories + 1> categoryStart_{};
    mutable int groupCount_ = 0;
    mutable int categoryCount_ = 0;
};
