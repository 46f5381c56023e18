#pragma once

#include "sheet/cmcCellObj.h"

#include <functional>
#include <string>

// The context object handed to every call into the cell logic. It holds nothing the logic
// reads; each sheet owns one, and one-off queries make a fresh one.
class indActiveCell {};

// Why a cell carries its mark; each is a line of the catalogue's "GI_Access_Marks".
namespace cellMark {
constexpr int RegionFrequency = 0; // warning: the region does not allow the frequency
constexpr int Error = 1;           // an error without a reason of its own
constexpr int FrequencyRange = 2;  // the frequency is above the receiver's coverage
constexpr int Offset = 3;          // the offset is no multiple of the receiver's steps
constexpr int Step = 4;            // the tuning step does not fit the frequency
constexpr int Mode = 5;            // the mode cannot be used at the frequency
constexpr int Item = 6;            // a pick-list item that cannot be used there
constexpr int SheetWarnings = 7;   // a sheet's check: some of its data has warnings
constexpr int SheetErrors = 8;     // a sheet's check: some of its data has errors
} // namespace cellMark

// The parameter block of one call into the cell logic. The sheet side fills it; the logic
// answers in it. It carries no widget: the view layer passes opaque handles and supplies the
// repaint and start-edit callbacks.
class cmcCellCapsule {
  public:
    // stateFlags bits.
    static constexpr unsigned CurrentCell = 0x01;
    static constexpr unsigned Printing = 0x02;
    static constexpr unsigned WarningMark = 0x04; // output
    static constexpr unsigned ErrorMark = 0x08;   // output
    // rangeFlags bits.
    static constexpr unsigned RangeWholeBlocks = 0x01;
    static constexpr unsigned RangeActive = 0x02; // input: a multi-selection is active
    static constexpr unsigned RangeSelect = 0x04; // output: select the range
    // inputMode values.
    static constexpr int QueryOrKey = 0;
    static constexpr int TextEntered = 1;
    static constexpr int ListChoice = 2;
    // keyCode values beyond the characters.
    static constexpr int KeyEnter = 13;
    static constexpr int KeyMouse = 256; // double click or mouse choice

    struct Rect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    cmcCellCapsule* parentCapsule = nullptr; // not owned
    void* owner = nullptr;                   // opaque handles of the view layer
    void* grid = nullptr;
    cmcCellObj* cell = nullptr;
    void* canvas = nullptr; // only while drawing or printing
    void* imageList = nullptr;
    int editSelStart = 0;
    int editSelLength = 0;
    Rect cellRect;
    int keyCode = 0;
    int operation = 0; // the CL_ id of a popup-menu command, 0 = none
    std::string inputText;
    std::string displayText;
    std::string sheetAddress;
    std::string sheetArgument;
    unsigned stateFlags = 0;
    int markPosition = 0; // 0 default, 1 left edge, 2 right edge, 3 after the text
    int markReason = 0;   // output: why the cell is marked (a cellMark value)
    int inputMode = QueryOrKey;
    int jumpRequest = 0;
    int jumpType = 0;
    int jumpLogic = 0;
    int jumpIndex = 0;
    int repeatKey = 0;
    void* sheet = nullptr;
    unsigned rangeFlags = 0;
    int rangeLow = 0;
    int rangeHigh = 0;
    // Called by the logic after a change, with the repaint mask.
    std::function<void(cmcCellCapsule&, int mask)> onRepaint;
    // Called by the logic to open the in-place editor with displayText and the selection.
    std::function<void(cmcCellCapsule&)> onStartEdit;

    // All fields cleared: references none, numbers 0, texts empty.
    void Reset() { *this = cmcCellCapsule(); }

    // Whether a repaint mask raised for the capsule's cell covers the other cell.
    static bool RepaintCovers(int mask, const cmcCellObj& changed, const cmcCellObj& other);
};

// What the logic asks of the sheet after a call.
namespace cellAction {
constexpr int None = 0;
constexpr int ClearSelection = 1;
constexpr int OpenEditor = 2;
} // namespace cellAction

// The single entry point of the cell logic. The model installs it once at start-up, so that
// the sheet engine can call it without knowing the model.
using cmcCellLogicFunction = std::function<int(indActiveCell&, cmcCellCapsule&, bool notify)>;

namespace cmcCellLogic {

void Install(cmcCellLogicFunction logic);
bool IsInstalled();
// Runs the installed logic; without one it is a fault of the program.
int Run(indActiveCell& context, cmcCellCapsule& capsule, bool notify);

// One-off queries for menus, pick lists and export: a fresh capsule with only the cell and
// the key code (the value asked about), run without notification.
int QueryValue(cmcCellObj& cell, int keyCode);
std::string QueryDisplayText(cmcCellObj& cell, int keyCode);

} // namespace cmcCellLogic
