#pragma once

#include "model/cmcHash2.h"

#include <memory>
#include <string>
#include <vector>

// One item of a pick list: where it stands in the list and what it means.
struct cmcFlexItem {
    int line = 0;   // catalogue line of the list's cells
    int column = 0; // cell number within the line
    int value = 0;  // the item's index: the value it stands for
    std::string text;
};

// The items of one kind of one pick list, in the two orders the cells need.
class cmcFCacheEntry {
  public:
    // Items in catalogue order; lineCount is the number of lines of the list.
    cmcFCacheEntry(std::vector<cmcFlexItem> items, int lineCount);

    // The text of the item with value v; "error" when there is none.
    std::string TextOf(int value) const;
    bool HasValue(int value) const;
    // The value step places away from v in stepping order (columns first, then lines),
    // wrapping at both ends; a value not in the list gives the first item.
    int Step(int value, int step) const;
    // Items in stepping order.
    const std::vector<cmcFlexItem>& InListOrder() const { return byPlace_; }
    bool Empty() const { return byValue_.empty(); }

  private:
    const cmcFlexItem* FindValue(int value) const;

    std::vector<cmcFlexItem> byValue_;
    std::vector<cmcFlexItem> byPlace_;
};

// The format cache: pick-list texts and values, parsed from the catalogue the first time a
// list is asked for and kept until the process ends.
class cmcFCache {
  public:
    // Reads the items of one kind (a cell-logic id) from the list's "_Cells" lines.
    using Reader = std::vector<cmcFlexItem> (*)(const std::string& list, int kind, int& lineCount);

    // Reads from the process catalogue with the sheet's cell parser.
    static std::vector<cmcFlexItem> ReadCatalogueList(const std::string& list, int kind,
                                                      int& lineCount);

    explicit cmcFCache(Reader reader = ReadCatalogueList);
    ~cmcFCache();
    cmcFCache(const cmcFCache&) = delete;
    cmcFCache& operator=(const cmcFCache&) = delete;

    // The entry of list and kind ("%s#%d"), built on first use.
    const cmcFCacheEntry& Entry(const std::string& list, int kind);

    // The process-wide cache of the running program (created on first use when none is set).
    static cmcFCache& Process();
    static void SetProcess(cmcFCache* cache);

  private:
    Reader reader_;
    cmcHash2<cmcFCacheEntry> index_;
    std::vector<std::unique_ptr<cmcFCacheEntry>> entries_;
};
