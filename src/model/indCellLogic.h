#pragma once

// The cell logic: the one function the sheet engine calls for every cell, menu item, tree
// action and pick-list item. It reads and writes the working image through the codec and
// the organisation, and answers with display text, marks, editor requests, repaint masks
// and jump requests (see cmcCellCapsule).

#include "sheet/cmcCellCapsule.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class cmcDocumentCommands;
class cmcEvMan;
class cmcFCache;
class cmcGTex;
class cmcOrganisation;
class cmcTextTransfer;
class datClipCh;
class indDestination;

// Output bits of the capsule's stateFlags beyond the two marks: the text colour the logic
// asks for. The sheet draws such text silver (192, 192, 192) or teal (0, 128, 128).
namespace cellText {
constexpr unsigned Grey = 0x10;
constexpr unsigned Teal = 0x20;
} // namespace cellText

// Key codes the logic tests.
namespace cellKey {
constexpr int Backspace = 8;
constexpr int Enter = 13;
constexpr int Space = 32;
constexpr int Minus = 45;
constexpr int Point = 46;
constexpr int Mouse = 256; // double click or mouse choice
constexpr int F2 = 0x7100; // treated like Enter by every editor
} // namespace cellKey

// Repaint mask bits.
namespace repaint {
constexpr int Cell = 0x01;
constexpr int Row = 0x08; // every cell of the record
constexpr int All = 0x20; // every bound cell
} // namespace repaint

// What Edit > Sort... offers for the list on show, and what the user asks of it.
struct clsSortOffer {
    uint32_t kind = 0;          // the records of the list (datKind)
    bool hasSelection = false;  // several rows are selected
    bool names = false;         // memory channels: the rows come in names
};
struct clsSortRequest {
    int column = -1;            // the logic id of the column to sort by
    bool descending = false;
    bool withinNames = false;   // memory channels: the channels inside a name are sorted too
    bool selectionOnly = false; // only the selected rows move
};

// What Edit > Fill Series... offers (the rows selected) and what the user asks: channels
// from the first selected row on, frequencies from start in steps (typed megahertz), and
// names "NAME 1", "NAME 2", ... when a name is given.
struct clsFillOffer {
    int rows = 1;
};
struct clsFillRequest {
    std::string start;
    std::string step;
    int count = 1;
    std::string name;
    int firstNumber = 1;
};

// What the logic works on: the document's parts, installed by the document controller.
struct indCellDocument {
    cmcOrganisation* organisation = nullptr; // its image is the working image
    datClipCh* clipboard = nullptr;
    cmcTextTransfer* transfer = nullptr;         // none: copies stay inside the program
    cmcDocumentCommands* commands = nullptr;     // none: menu commands are unavailable
    cmcEvMan* events = nullptr;                  // none: organisation events go nowhere
    cmcGTex* catalogue = nullptr;                // none: the process catalogue
    cmcFCache* cache = nullptr;                  // none: the process format cache
    const indDestination* destination = nullptr; // none: the active destination
    // Names typed on a Japanese system keep half-width katakana (destination 0 only).
    bool japaneseNames = false;
    // Shows the pick list of a cell under it (the view's pick-list window).
    std::function<void(cmcCellCapsule& opener, const std::string& list)> openPickList;
    // Asks how to sort the list on show; nothing when the user cancels.
    std::function<std::optional<clsSortRequest>(const clsSortOffer&)> askSort;
    // Asks for the series Edit > Fill Series... fills; nothing when the user cancels.
    std::function<std::optional<clsFillRequest>(const clsFillOffer&)> askFill;
    // The receiver information block of the last receiver that answered (26 bytes).
    std::function<std::vector<uint8_t>()> receiverInformation;
};

class indCellLogic {
  public:
    explicit indCellLogic(indCellDocument document);

    // The entry point: action code 0 (nothing), 1 (clear the multi-selection) or 2 (open
    // the in-place editor). With notify the logic calls the capsule's repaint handler.
    int Run(indActiveCell& context, cmcCellCapsule& capsule, bool notify);

    // Makes this the cell logic the sheet engine calls; the object must stay alive.
    void Install();

    const indCellDocument& Document() const { return document_; }
    // Names typed from now on keep half-width katakana (destination 0 on a Japanese system).
    void SetJapaneseNames(bool japanese) { document_.japaneseNames = japanese; }
    cmcOrganisation& Organisation() const { return *document_.organisation; }
    cmcGTex& Catalogue() const;
    cmcFCache& Cache() const;
    const indDestination& Destination() const;

  private:
    indCellDocument document_;
    int depth_ = 0; // calls running: a call from inside another is part of its action
};

// The pick list a data cell chooses from, with its item kind: the widest list where a cell
// has two (the one with "Auto"); false for a cell without a list.
bool CellPickList(int logicId, std::string& list, int& kind);
