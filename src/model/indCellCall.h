#pragma once

// One call into the cell logic: the capsule, the cell's record and the sheet context,
// shared by the families of cells (indCellLogic*.cpp). Internal to the cell logic.

#include "model/datCh.h"
#include "model/indCellLogic.h"

#include <functional>
#include <string>

class cmcFCacheEntry;

struct indCellCall {
    indCellCall(indCellLogic& logic, cmcCellCapsule& capsule);

    indCellLogic& logic;
    cmcCellCapsule& capsule;
    cmcCellObj& cell;
    int logicId;
    int cellType;
    int index;
    uint32_t kind = datKind::None;
    datCh record;

    // Sheet context: memory channels (group, its first and last slot and count), basic
    // entries (bank and its first index and count), groups (category), links.
    int group = 0;
    int category = 0;
    int bank = 0;
    int first = 0;
    int last = -1;
    int count = 0;
    bool newRow = false;
    int autoWriteSlot = -1; // auto-write rows: the slot shown, -1 none

    int mask = repaint::Cell;
    bool handled = false; // a key, command or value was handled: settle and detect changes
    int action = cellAction::None;

    // Keys and input.
    int Key() const { return capsule.keyCode; }
    bool Entered() const { return capsule.inputMode == cmcCellCapsule::TextEntered; }
    bool Chosen() const { return capsule.inputMode == cmcCellCapsule::ListChoice; }
    int ChosenValue() const; // the chosen pick-list item's index
    bool IsQuery() const { return !Key() && !Entered() && !Chosen() && !capsule.operation; }
    bool IsOpenKey() const; // Enter, F2 or double click

    // Answers.
    void Show(const std::string& text) { capsule.displayText = text; }
    void Grey(bool on) {
        if (on) capsule.stateFlags |= cellText::Grey;
    }
    // A mark and why (a cellMark value); an error's reason wins over a warning's.
    void MarkWarning(bool on, int reason = cellMark::RegionFrequency) {
        if (!on) return;
        if (!(capsule.stateFlags & cmcCellCapsule::ErrorMark)) capsule.markReason = reason;
        capsule.stateFlags |= cmcCellCapsule::WarningMark;
    }
    void MarkError(bool on, int reason = cellMark::Error) {
        if (!on) return;
        capsule.markReason = reason;
        capsule.stateFlags |= cmcCellCapsule::ErrorMark;
    }
    // Opens the in-place editor with the text, selecting [start, start + length).
    void Edit(const std::string& text, int start, int length);
    // Jumps to another cell of the same row and feeds it the key again.
    void JumpAndReplay(int logicId, int index);
    void StoreRecord(); // StoreAndReload, marks the call handled

    // Services.
    cmcOrganisation& Org() const { return logic.Organisation(); }
    const indDestination& Destination() const { return logic.Destination(); }
    std::string Text(const std::string& key) const;
    void Send(int code, std::intptr_t a = 0, int b = 0) const;
    void Post(int code, std::intptr_t a = 0, int b = 0) const;
    void SendText(int code, std::intptr_t a, int b, const std::string& text) const;
    // A modal OK/Cancel question with the warning icon; true for OK.
    bool Ask(const std::string& key) const;
    void OpenPickList(const std::string& list);
};

// Loads the sheet context and the record of the call's cell.
void LoadCall(indCellCall& call);

// Pick-list editor over a value; returns true when the value changed (to be stored).
// kind is Flex0 or CL_FlexMarking.
bool PickListEditor(indCellCall& call, const std::string& list, int kind, int& value);
// Display text of a value in a list.
std::string PickListText(indCellCall& call, const std::string& list, int kind, int value);
// Pick list with typed entry: digits open the editor; numeric lists take the nearest item.
bool TypedPickListEditor(indCellCall& call, const std::string& list, int kind, int& value,
                         bool numeric);
// Fixed-length text editor; true when text changed. The field holds length characters.
bool TextEditor(indCellCall& call, std::string& field, size_t length);
// Whole-number editor; true when value changed.
bool NumberEditor(indCellCall& call, int& value, int minimum, int maximum, int step, int offset);
// Direct-key editor (0..99, 255 none); true with a new value.
bool DirectKeyEditor(indCellCall& call, int& value);
// Hexadecimal-byte editor; true when value changed.
bool HexEditor(indCellCall& call, int& value, int minimum, int maximum);
// Frequency editor in MHz; true with a new (not yet snapped) value.
bool FrequencyEditor(indCellCall& call, uint32_t& value, uint32_t lowHz, uint32_t highHz,
                     bool blankStart);

// Typed text with the full-width digits, point, minus and space of an input method as
// their ASCII forms; every numeric editor reads its input through it.
std::string NumericText(const std::string& typed);
// Whether typed text reads as a frequency in MHz.
bool ReadsAsFrequency(const std::string& typed);

// Display text of a fixed-length text field: trailing blanks removed, half-width katakana
// shown as such.
std::string FieldText(const std::string& field);
// Copies typed text into a field of length characters, blank padded.
std::string TypedField(const std::string& typed, size_t length, bool japanese);

// The families. Each returns true when it knew the call's logic id.
bool RunRecordCell(indCellCall& call);       // channel, edge, entry data cells
bool RunOrganisationCell(indCellCall& call); // names, categories, groups, banks, links
bool RunCommandCell(indCellCall& call);      // menus, tree, popup states, checks, info
bool RunCommonCell(indCellCall& call);       // common settings
// Runs a popup-menu edit command (Copy .. Insert) on the call's record and selection.
void RunEditCommand(indCellCall& call, int command);
// Whether a popup-menu edit command is disabled for the acted-on cell.
bool IsEditCommandDisabled(indCellCall& call, int command);

// Edit > Sort...: asks how (the document's askSort) and sorts the call's list.
void RunSort(indCellCall& call);
// Sorts the call's list (its selection with selectionOnly); false when nothing moved.
bool SortList(indCellCall& call, const clsSortRequest& request);
bool IsSortDisabled(indCellCall& call);
// Edit > Fill Series...: asks (the document's askFill) and fills the call's group.
void RunFillSeries(indCellCall& call);
// Fills from the first selected row on; the number of channels filled.
int FillSeries(indCellCall& call, const clsFillRequest& request);
// Typed text or a choice with several rows of the column selected: the value goes to every
// selected row. RunSetMany runs the acting row through dispatchActing and the others as
// calls of their own inside this one, then names the rows that kept their value.
bool IsSetMany(const indCellCall& call);
void RunSetMany(indCellCall& call, const std::function<void()>& dispatchActing);

// Memory-channel creation from the new row; false when refused.
bool CreateFromNewRow(indCellCall& call);
