#pragma once

// The channel clipboard's exchange with the desktop's clipboard. Copy also puts the rows
// there as tab-separated text with the columns of the list's CSV export, so they paste
// into a spreadsheet; rows copied in a spreadsheet paste into a channel list. The model
// cannot read CSV, so the document controller installs the implementation
// (indCellDocument).

#include <cstdint>

class cmcClipCh;
class cmcEvMan;
class cmcOrganisation;

class cmcTextTransfer {
  public:
    virtual ~cmcTextTransfer() = default;

    // Puts the rows [first, first + count) of the list (kind, index: the group's position
    // for memory channels) on the desktop's clipboard.
    virtual void Copied(const cmcOrganisation& organisation, uint32_t kind, int index, int first,
                        int count) = 0;
    // Whether the desktop's clipboard holds rows from elsewhere, not our own last copy,
    // that a list of the kind can take.
    virtual bool HoldsForeignRows(uint32_t kind) = 0;
    // Reads those rows into records of the kind; rows that are refused or blank are left
    // out. The summary of reading waits for ShowReadSummary.
    virtual void ReadForeignRows(const cmcOrganisation& organisation, uint32_t kind,
                                 cmcClipCh& into) = 0;
    virtual void ShowReadSummary() = 0;
    // Adds the rows after the last channel of a group (its position), with their names, as
    // the CSV import adds them, and shows its summary. The number of channels added.
    virtual int AddForeignRows(cmcOrganisation& organisation, cmcEvMan& events, int group) = 0;
};
