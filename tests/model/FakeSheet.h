#pragma once

// The sheet side of the cell-logic protocol for headless tests: a document with its
// working and saved images, and a sheet that fills capsules, answers the logic's question
// for its channel list (event 66), follows jumps and repeated keys, and records repaints,
// editors, pick lists and status texts.

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "model/cmcDocumentCommands.h"
#include "model/cmcEeprom.h"
#include "model/cmcFCache.h"
#include "model/cmcOrganisation.h"
#include "model/cmcTextTransfer.h"
#include "model/datClipCh.h"
#include "model/indCellLogic.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The document controller as the logic sees it: runs organisation events on the working
// image and counts the settle restarts and change checks.
class FakeDocument : public cmcDocumentCommands {
  public:
    FakeDocument(cmcOrganisation& organisation, cmcEeprom& saved);

    int FileNew() override { return log("FileNew"), 1; }
    int FileOpen() override { return log("FileOpen"), 1; }
    int OpenDocument(const std::string& path) override { return log("Open " + path), 0; }
    int FileSave() override { return log("FileSave"), 0; }
    int FileSaveAs() override { return log("FileSaveAs"), 0; }
    void CloneRead() override { log("CloneRead"); }
    void CloneWrite() override { log("CloneWrite"); }
    void CloseMainWindow() override { log("Close"); }
    void OpenSheet(const std::string& address) override { log("Sheet " + address); }
    void RestartEditSettle() override { ++settles; }
    bool CheckModified() override;
    std::string RecentPath(int i) override {
        return i < int(recent.size()) ? recent[size_t(i)] : "";
    }
    std::string RecentText(int i) override { return RecentPath(i); }
    bool CanRun(Command command, int) override { return available.count(command) != 0; }
    void Run(Command command, int index) override { runs.push_back({command, index}); }

    std::vector<std::string> commands;
    std::set<Command> available;               // commands of other parts that can run
    std::vector<std::pair<Command, int>> runs; // those run, with their index
    std::vector<std::string> recent;
    int settles = 0;
    int checks = 0;
    bool modified = false;

  private:
    void log(const std::string& what) { commands.push_back(what); }
    cmcOrganisation& organisation_;
    cmcEeprom& saved_;
};

// What one action on a cell gave.
struct CellResult {
    int action = 0;
    std::string text; // the display text, or the editor's text when it opened
    int selStart = 0;
    int selLength = 0;
    unsigned state = 0; // stateFlags after the call
    int markPosition = 0;
    int logicId = 0; // the cell the action ended on (after jumps)
    int index = 0;
    std::vector<int> masks; // repaint masks, in order
    bool selected = false;  // the logic asked to select rangeLow..rangeHigh
    int rangeLow = 0;
    int rangeHigh = 0;
    bool warning() const { return state & 0x04; }
    bool error() const { return state & 0x08; }
    bool grey() const { return state & cellText::Grey; }
};

// A whole headless document with one open sheet.
class CellWorld {
  public:
    // destination: the installed one; the working image is its default image. transfer:
    // the desktop's clipboard side of Copy and Paste, if any.
    explicit CellWorld(int destination = 1, cmcTextTransfer* transfer = nullptr);
    ~CellWorld();

    // The sheet on show: its cell type and the set number it reports (group, category,
    // bank, link), or no answer at all.
    void Show(int cellType, int setNumber) {
        cellType_ = cellType, set_ = setNumber, answers_ = true;
    }
    void ShowNothing() { answers_ = false; }

    CellResult Query(int logicId, int index);
    CellResult Key(int logicId, int index, int key);
    // With low and high, rows low..high of the column are selected (set many).
    CellResult Type(int logicId, int index, const std::string& text, int low = -1,
                    int high = -1);
    CellResult Choose(int logicId, int index, int value, int low = -1, int high = -1);
    // A popup-menu command on the cell, with a multi-selection low..high when given.
    CellResult Command(int logicId, int index, int command, int low = -1, int high = -1,
                       bool wholeNames = false);
    // Whether the popup item is disabled for the cell.
    bool Disabled(int logicId, int index, int command);
    // Item itemIndex of kind itemLogic (Flex0, CL_FlexMarking) of the pick list opened from
    // the cell, as the list window asks for it.
    CellResult ListItem(int openerLogic, int openerIndex, int itemLogic, int itemIndex);

    // The record of the working image.
    datCh Load(uint32_t kind, int index);
    void Store(datCh& record) { record.StoreAndReload(); }
    // Adopts the working image: recount and repack (after filling it by hand).
    void Adopt() { organisation.Adopt(); }

    cmcFakePlatform platform;
    cmcGTex catalogue;
    std::unique_ptr<cmcEvMan> events;
    indDestination destination;
    cmcEeprom image;
    cmcEeprom saved;
    cmcOrganisation organisation;
    datClipCh clipboard;
    cmcFCache cache;
    FakeDocument document;
    std::unique_ptr<indCellLogic> logic;
    std::vector<std::string> pickLists; // lists opened, in order
    std::vector<std::string> statusTexts;
    int rowsAdded = 0;
    int rowsRemoved = 0;
    std::vector<int> treeEvents;
    std::vector<std::string> menuEvents;      // "clear <id>", "build <id> <menu body>"
    std::vector<uint8_t> receiverInformation; // what the last receiver reported
    std::optional<clsSortRequest> sortAnswer; // what Edit > Sort... is answered
    std::vector<clsSortOffer> sortOffers;     // what it offered
    std::optional<clsFillRequest> fillAnswer; // what Edit > Fill Series... is answered
    std::vector<clsFillOffer> fillOffers;

  private:
    static void OnEvent(void* context, const cmcEvent& event);
    CellResult Run(cmcCellObj& cell, cmcCellCapsule& capsule);
    static void SelectRows(cmcCellCapsule& capsule, int low, int high);
    cmcCellObj MakeCell(int logicId, int index) const;

    int cellType_ = CT_Conv;
    int set_ = 0;
    bool answers_ = true;
};

// Fills the working image with groups of channels: group g of category 0 holds count[g]
// channels of 145 MHz, each its own name. Then adopts it.
void FillChannels(CellWorld& world, const std::vector<int>& channelsPerGroup);
