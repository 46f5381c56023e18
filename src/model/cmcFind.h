#pragma once

// Find across the document: the frequencies, names and the clone comment that the sheets
// show, searched sheet by sheet in the order given (the tree's order), and within a sheet
// row by row, left to right. A frequency matches when the text is a number in megahertz
// equal to it ("145.5" finds 145.500000); a name matches when it contains the text,
// without regard to case. Full-width letters and digits count as ASCII, and katakana or
// hiragana as the half-width katakana names hold.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class cmcOrganisation;

// One cell that matches: the sheet's address, the cell's logic id and index (its row's
// record: a slot, an edge, a group, ...).
struct clsFindMatch {
    std::string address;
    int logicId = 0;
    int index = 0;

    bool operator==(const clsFindMatch&) const = default;
};

// What was typed, ready to compare.
class cmcFindQuery {
  public:
    explicit cmcFindQuery(std::string_view text);

    bool Empty() const { return lower_.empty(); }
    bool MatchesFrequency(uint32_t hertz) const { return isFrequency_ && hertz == hertz_; }
    // Whether the displayed text contains the query.
    bool MatchesText(std::string_view text) const;

  private:
    std::string lower_;
    bool isFrequency_ = false;
    uint32_t hertz_ = 0;
};

// The position of a record from the number in its address, as the tree keeps them: 'C'
// category, 'G' group, 'B' bank.
using cmcFindPositionOf = std::function<int(char kind, int number)>;

// The matches of the sheets at these addresses, in their order. Addresses of sheets that
// show none of the searched cells add nothing. japaneseText: names show half-width
// katakana.
std::vector<clsFindMatch> FindInSheets(const cmcOrganisation& organisation,
                                       const std::vector<std::string>& addresses,
                                       const cmcFindPositionOf& positionOf,
                                       const cmcFindQuery& query, bool japaneseText = false);

// The cell that shows a record, in the first of the sheets at these addresses that shows
// it: kind (datKind) and index as the differences tell them (a name by its group, an
// auto-write channel by its slot, a link by its number), or with kind 0 a common setting's
// cell by its logic id and index. Nothing when no sheet at the addresses shows it.
std::optional<clsFindMatch> FindRecordInSheets(const cmcOrganisation& organisation,
                                               const std::vector<std::string>& addresses,
                                               const cmcFindPositionOf& positionOf, uint32_t kind,
                                               int index, int logicId, int cellIndex);
