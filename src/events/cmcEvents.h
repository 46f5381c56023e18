#pragma once

// The numbered events that components raise through the event manager. Arguments a and b
// are 0 unless stated.
namespace ev {

constexpr int CloseOwnedWindows = 1; // send, b = a vanishing grid: close its pick lists and trees
constexpr int ToolbarRefresh = 2;    // send: refresh the toolbar buttons' states
constexpr int StatusText = 4;        // send with text, a = text colour, b = background colour

// Organisation edits, run by the document controller on the working image.
constexpr int InsertCategory = 9;         // send, b = category; then RowAdded
constexpr int DeleteCategories = 10;      // send, a = first category, b = count; RowRemoved each
constexpr int DeleteCategoriesQuiet = 11; // as DeleteCategories, without RowRemoved
constexpr int InsertGroup = 12;           // send, a = category, b = group; RowAdded
constexpr int DeleteGroups = 13;          // send, a = first group, b = count; RowRemoved each
constexpr int DeleteGroupsQuiet = 14;     // as DeleteGroups, without RowRemoved
constexpr int InsertChannel = 15;         // send, a = group, b = channel; RowAdded
constexpr int DeleteChannel = 16;         // send, a = group, b = channel; RowRemoved
constexpr int InsertBank = 17; // send, a = 1 with one program entry / 0 none, b = bank; RowAdded
constexpr int DeleteBank = 18; // send, b = bank; RowRemoved
constexpr int DeleteBankQuiet = 19;  // as DeleteBank, without RowRemoved
constexpr int InsertBasicEntry = 20; // send, a = entry kind (5 channel, 6 program), b = entry
constexpr int DeleteBasicEntry = 21; // send, as InsertBasicEntry; RowRemoved

// Menus.
constexpr int MenuRefresh = 22;    // send: re-evaluate the state of every menu item
constexpr int MenuClearItems = 23; // send, b = cell logic id: remove that item's sub-items
constexpr int MenuBuildItems = 24; // send/post with text (menu body name), a = menu, b = logic id
constexpr int AskCurrentCell = 25; // ask, a = popup item list: answer the 64-byte cell description

// Repaint requests to every open sheet.
constexpr int RepaintAll = 26;       // post
constexpr int RepaintCellType = 27;  // post, b = cell type
constexpr int RepaintCellLogic = 28; // post, b = cell logic id
constexpr int RepaintIndex = 29;     // post, b = index
constexpr int RepaintMask128 = 30;   // post: cells of repaint mask 128
constexpr int RepaintMask64 = 31;    // post: cells of repaint mask 64

constexpr int CurrentCellChanged = 32; // post with data: type, logic id, index (3 x int32)
constexpr int ModalQuestion = 33;      // post, b = 1 before / 0 after a modal question
constexpr int CommitInput = 35;        // send: close pick lists, end in-place editing
constexpr int DataChanged = 37;        // post, 250 ms after edits settle

// Tree branches, handled by the document controller.
constexpr int RebuildBranches = 41;   // send: rebuild all generated branches
constexpr int CategoryInserted = 42;  // send, b = position
constexpr int CategoriesDeleted = 43; // send, a = first position, b = count
constexpr int CategoryRenamed = 44;   // send, b = position
constexpr int GroupInserted = 45;     // send, b = position
constexpr int GroupsDeleted = 46;     // send, a = first position, b = count
constexpr int GroupRenamed = 47;      // send, b = position
constexpr int BankInserted = 48;      // send, b = position
constexpr int BankDeleted = 49;       // send, b = position
constexpr int BankRenamed = 50;       // send, b = position
constexpr int LinkRenamed = 51;       // send, b = link

// Clone session and Initial Setup.
constexpr int CloneInformation = 53; // send: run the information exchange
constexpr int ShowMainWindow = 54;   // send: show and enable the main window
constexpr int ReceiverFlags = 55;    // send, a = 1: take the receiver flags, apply band limits
constexpr int AdoptDestination = 56; // send: adopt the receiver's destination, new document
constexpr int FinishSetup = 58;      // send: the Initial Setup's information exchange is done
constexpr int CloneStarting = 61;    // send: disable the main or Initial Setup window
constexpr int ClonePhaseDone = 62;   // send, a = 1 success / 0 failure
constexpr int CloneEnding = 63;      // send: enable the main window and focus it

// Channel-list sheets.
constexpr int AskChannelList = 66; // ask: answer what the open list shows and which record
constexpr int SheetTitle = 67;     // send: recompute the title with the remaining counts
constexpr int RowAdded = 68;       // send: one row more at the end of the grid
constexpr int RowRemoved = 69;     // send: one row less at the end of the grid

// Node captions of the navigation tree, posted with the new caption as text.
constexpr int CategoryCaption = 71; // b = position
constexpr int GroupCaption = 72;    // b = position
constexpr int BankCaption = 73;     // b = position
constexpr int LinkCaption = 74;     // b = link

} // namespace ev
