// pelham-cli cell and edit: one cell of one sheet, read or changed through the cell logic
// exactly as the grid does it. The tool plays the sheet: it answers the logic's question
// for the open list from --sheet, follows jumps and repeated keys, and commits typed text
// or a pick-list choice. --index is the row of the list, 0 for its first record; the row
// after the last record is the list's new row.

#include "CliCommand.h"
#include "CliDocument.h"

#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcFCache.h"
#include "model/cmcFrequency.h"
#include "model/cmcOrganisation.h"
#include "model/datClipCh.h"
#include "model/indCellLogic.h"
#include "platform/cmcPlatform.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <utility>

namespace {

// Exit status of an edit whose question was answered Cancel.
constexpr int ExitRefused = 1;

// A sheet named on the command line: the cell type of its rows, the set it shows and the
// index of its first row.
struct CliSheetChoice {
    int cellType = CT_Null;
    int set = 0;
    bool hasSet = false;
};

std::optional<CliSheetChoice> ParseSheet(const std::string& name) {
    struct Plain {
        const char* name;
        int cellType;
    };
    static const Plain plain[] = {{"categories", CT_Cate},
                                  {"edges", CT_Prog},
                                  {"autowrite", CT_Amw},
                                  {"banks", CT_Bas},
                                  {"common", CT_Null}};
    for (const Plain& p : plain)
        if (name == p.name) return CliSheetChoice{p.cellType, 0, false};
    static const Plain numbered[] = {{"category:", CT_Group},
                                     {"group:", CT_Conv},
                                     {"link:", CT_Prog_Link},
                                     {"bank-ch:", CT_Bas_Ch},
                                     {"bank-pg:", CT_Bas_Prog}};
    for (const Plain& p : numbered) {
        const std::optional<int> n = CliSheetNumber(name, p.name);
        if (!n) continue;
        if (*n < 0) return std::nullopt;
        return CliSheetChoice{p.cellType, *n, true};
    }
    return std::nullopt;
}

// The open sheet's answer to the logic's question for its list: the set it shows.
class CliSheetAnswer {
  public:
    CliSheetAnswer(cmcEvMan& events, const CliSheetChoice& sheet)
        : events_(events), set_(sheet.set), answers_(sheet.hasSet) {
        events_.Subscribe(&CliSheetAnswer::OnEvent, this);
    }
    ~CliSheetAnswer() { events_.Unsubscribe(&CliSheetAnswer::OnEvent, this); }
    CliSheetAnswer(const CliSheetAnswer&) = delete;
    CliSheetAnswer& operator=(const CliSheetAnswer&) = delete;

  private:
    static void OnEvent(void* context, const cmcEvent& event) {
        auto* self = static_cast<CliSheetAnswer*>(context);
        if (event.code == ev::AskChannelList && self->answers_) self->events_.Answer(self->set_);
    }

    cmcEvMan& events_;
    int set_;
    bool answers_;
};

// Watches the boxes of one edit: the console box answers them, this notes whether a
// question was answered Cancel or an error was shown (a limit such as "The number of
// channels exceeds."), so that a refused edit is neither saved nor reported as done.
class CliRefusalWatch : public cmcMessageBox {
  public:
    CliRefusalWatch() : previous_(cmcPlatform::get()) {
        cmcPlatform watched = previous_;
        watched.messages = this;
        cmcPlatform::install(watched);
    }
    ~CliRefusalWatch() override { cmcPlatform::install(previous_); }
    CliRefusalWatch(const CliRefusalWatch&) = delete;
    CliRefusalWatch& operator=(const CliRefusalWatch&) = delete;

    int show(const std::string& text, const std::string& caption, MsgIcon icon,
             MsgButtons buttons) override {
        const int answer = previous_.messages
                               ? previous_.messages->show(text, caption, icon, buttons)
                               : (buttons == MsgButtons::Ok ? answer::Ok : answer::Cancel);
        if (buttons != MsgButtons::Ok && answer != answer::Ok && answer != answer::Yes)
            refused_ = true;
        if (icon == MsgIcon::Error) refused_ = true;
        return answer;
    }
    bool Refused() const { return refused_; }

  private:
    cmcPlatform previous_;
    bool refused_ = false;
};

indCellLogic MakeLogic(CliDocument& document, datClipCh& clipboard, std::string* openedList,
                       decltype(indCellDocument::askSort) askSort = nullptr,
                       decltype(indCellDocument::askFill) askFill = nullptr) {
    indCellDocument parts;
    parts.organisation = &document.Organisation();
    parts.clipboard = &clipboard;
    parts.events = &document.Events();
    parts.destination = &document.Destination();
    parts.japaneseNames = document.JapaneseText();
    parts.openPickList = [openedList](cmcCellCapsule&, const std::string& list) {
        if (openedList) *openedList = list;
    };
    parts.askSort = std::move(askSort);
    parts.askFill = std::move(askFill);
    return indCellLogic(parts);
}

// The cell index of row r of the sheet, and the rows it has (its new row included).
bool RowIndex(cmcOrganisation& org, const CliSheetChoice& sheet, int row, int& index) {
    int first = 0, rows = 1;
    switch (sheet.cellType) {
    case CT_Cate:
        rows = org.CategoryCount() + 1;
        break;
    case CT_Group:
        if (sheet.set >= org.CategoryCount()) return false;
        first = org.FirstGroupOfCategory(sheet.set);
        rows = org.GroupsOfCategory(sheet.set) + 1;
        break;
    case CT_Conv:
        if (sheet.set >= org.GroupCount()) return false;
        first = org.FirstChannelOfGroup(sheet.set);
        rows = org.ChannelsOfGroup(sheet.set) + 1;
        break;
    case CT_Prog:
        rows = 25;
        break;
    case CT_Prog_Link:
        if (sheet.set >= 10) return false;
        first = sheet.set * 26, rows = 26;
        break;
    case CT_Amw:
        rows = 200;
        break;
    case CT_Bas:
        rows = org.BankCount() + 1;
        break;
    case CT_Bas_Ch:
        if (sheet.set >= org.BankCount()) return false;
        first = sheet.set * 100, rows = org.BankChCount(sheet.set) + 1;
        break;
    case CT_Bas_Prog:
        if (sheet.set >= org.BankCount()) return false;
        first = sheet.set * 20, rows = org.BankPgCount(sheet.set) + 1;
        break;
    default:
        break;
    }
    if (row < 0 || row >= rows) return false;
    index = first + row;
    return true;
}

// Runs the logic as the sheet does: jumps move to the target cell, repeated keys are fed
// again (a stepping key once: the command line asks for one step).
cmcCellCapsule RunCell(indCellLogic& logic, cmcCellObj& cell, cmcCellCapsule capsule,
                       int* action = nullptr) {
    indActiveCell context;
    capsule.cell = &cell;
    for (int pass = 0; pass < 3; ++pass) {
        const int result = logic.Run(context, capsule, false);
        if (action) *action = result;
        if (capsule.jumpRequest) {
            cell.cellType = capsule.jumpType;
            cell.logicId = capsule.jumpLogic;
            cell.index = capsule.jumpIndex;
        }
        if (!capsule.jumpRequest || !capsule.repeatKey) break;
        const int key = capsule.repeatKey;
        capsule = cmcCellCapsule();
        capsule.cell = &cell;
        capsule.keyCode = key;
    }
    return capsule;
}

void PrintCell(indCellLogic& logic, cmcCellObj& cell) {
    cmcCellObj query = cell;
    const cmcCellCapsule shown = RunCell(logic, query, cmcCellCapsule());
    std::printf("%s\n", shown.displayText.c_str());
    std::string marks;
    if (shown.stateFlags & cmcCellCapsule::WarningMark) marks += " warning";
    if (shown.stateFlags & cmcCellCapsule::ErrorMark) marks += " error";
    if (shown.stateFlags & cellText::Grey) marks += " grey";
    if (!marks.empty()) std::printf("%s\n", marks.substr(1).c_str());
}

// The pick-list value named on the command line: an item's text, else its index.
std::optional<int> ChoiceValue(indCellLogic& logic, const std::string& list,
                               const std::string& wanted) {
    for (int kind : {int(Flex0), int(CL_FlexMarking)})
        for (const cmcFlexItem& item : logic.Cache().Entry(list, kind).InListOrder())
            if (item.text == wanted) return item.value;
    if (wanted.empty() || wanted.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoi(wanted.substr(0, 6));
}

// Runs an edit under the refusal watch. A question answered Cancel or an error box (a
// limit) ends it with nothing saved: the file stays as it was.
bool RefusedEdit(const std::function<void()>& run) {
    bool refused = false;
    {
        const CliRefusalWatch watch;
        run();
        refused = watch.Refused();
    }
    if (refused) std::fprintf(stderr, "pelham-cli: the edit was refused; the file is unchanged\n");
    return refused;
}

// The popup menu's edit commands, by the names --command takes.
struct CliEditCommand {
    const char* name;
    int operation;
};
constexpr CliEditCommand EditCommands[] = {
    {"Copy", CL_PMenu_Copy},      {"Paste", CL_PMenu_Paste}, {"Up", CL_PMenu_CarryUp},
    {"Down", CL_PMenu_CarryDown}, {"Clear", CL_PMenu_Clear}, {"Delete", CL_PMenu_Delete},
    {"Insert", CL_PMenu_Insert},
};

std::optional<CliEditCommand> FindEditCommand(const std::string& name) {
    for (const CliEditCommand& command : EditCommands)
        if (name == command.name) return command;
    return std::nullopt;
}

// The commands the popup menu of each list sheet holds (its catalogue body).
struct CliSheetMenu {
    int cellType;
    std::initializer_list<int> operations;
};
const CliSheetMenu SheetMenus[] = {
    {CT_Conv,
     {CL_PMenu_Copy, CL_PMenu_Paste, CL_PMenu_CarryUp, CL_PMenu_CarryDown, CL_PMenu_Delete,
      CL_PMenu_Insert}},
    {CT_Prog,
     {CL_PMenu_Copy, CL_PMenu_Paste, CL_PMenu_CarryUp, CL_PMenu_CarryDown, CL_PMenu_Clear,
      CL_PMenu_Delete, CL_PMenu_Insert}},
    {CT_Amw, {CL_PMenu_Copy}},
    {CT_Bas_Ch,
     {CL_PMenu_Copy, CL_PMenu_Paste, CL_PMenu_CarryUp, CL_PMenu_CarryDown, CL_PMenu_Delete,
      CL_PMenu_Insert}},
    {CT_Bas_Prog,
     {CL_PMenu_Copy, CL_PMenu_Paste, CL_PMenu_CarryUp, CL_PMenu_CarryDown, CL_PMenu_Delete,
      CL_PMenu_Insert}},
    {CT_Cate, {CL_PMenu_Delete, CL_PMenu_Insert}},
    {CT_Group, {CL_PMenu_Delete, CL_PMenu_Insert}},
    {CT_Bas, {CL_PMenu_Delete, CL_PMenu_Insert}},
    {CT_Prog_Link, {CL_PMenu_Delete}},
};

bool SheetMenuHolds(int cellType, int operation) {
    for (const CliSheetMenu& menu : SheetMenus)
        if (menu.cellType == cellType) return std::ranges::count(menu.operations, operation) != 0;
    return false;
}

// A selection of rows as the sheet's cell indexes: "FIRST" or "FIRST-LAST", in sheet rows.
struct CliSelection {
    int low = 0;
    int high = 0;
};

std::optional<CliSelection> ParseRows(cmcOrganisation& org, const CliSheetChoice& sheet,
                                      const std::string& text) {
    const size_t dash = text.find('-');
    const std::string first = text.substr(0, dash);
    const std::string last = dash == std::string::npos ? first : text.substr(dash + 1);
    for (const std::string& number : {first, last})
        if (number.empty() || number.size() > 5 ||
            number.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
    CliSelection selection;
    if (!RowIndex(org, sheet, std::stoi(first), selection.low) ||
        !RowIndex(org, sheet, std::stoi(last), selection.high) || selection.low > selection.high)
        return std::nullopt;
    return selection;
}

// A selection that starts in a name column takes whole names, as the sheet widens it.
void WidenToWholeNames(cmcOrganisation& org, const CliSheetChoice& sheet, int logicId,
                       CliSelection& selection, cmcCellCapsule& capsule) {
    const bool nameColumn =
        logicId == CL_Mch_Name_Name || logicId == CL_Mch_Name_Num || logicId == CL_Mch_Name_Skip;
    if (sheet.cellType != CT_Conv || !nameColumn) return;
    org.RecountNames(sheet.set);
    const int first = org.FirstChannelOfGroup(sheet.set);
    const int last = org.LastChannelOfGroup(sheet.set);
    if (selection.low > last) return; // the new row
    const int high = std::min(selection.high, last);
    selection.low = first + org.FirstPositionOfName(org.NameOfPosition(selection.low - first));
    selection.high = first + org.LastPositionOfName(org.NameOfPosition(high - first));
    capsule.rangeFlags |= cmcCellCapsule::RangeWholeBlocks;
}

// Whether the sheet's popup menu holds the command and offers it for the cell.
bool CommandEnabled(indCellLogic& logic, cmcCellObj& cell, const cmcCellCapsule& acted,
                    int operation) {
    if (!SheetMenuHolds(cell.cellType, operation)) return false;
    cmcCellCapsule actedCapsule = acted;
    actedCapsule.cell = &cell;
    cmcCellObj item;
    item.cellType = CT_PopupMenu;
    item.logicId = operation;
    cmcCellCapsule capsule;
    capsule.cell = &item;
    capsule.parentCapsule = &actedCapsule;
    indActiveCell context;
    logic.Run(context, capsule, false);
    return !item.Flag(2);
}

// Runs one popup-menu command on a selection, as the menu does; false when the menu does
// not offer it there.
bool RunEditCommand(indCellLogic& logic, cmcCellObj cell, const CliSelection& selection,
                    int operation, cmcCellCapsule capsule) {
    cell.index = selection.low;
    capsule.rangeFlags |= cmcCellCapsule::RangeActive;
    capsule.rangeLow = selection.low;
    capsule.rangeHigh = selection.high;
    if (!CommandEnabled(logic, cell, capsule, operation)) return false;
    capsule.operation = operation;
    RunCell(logic, cell, capsule);
    return true;
}

// The cell's input from --text, --key or --choose; 0, or a usage error's status.
int FillInput(const CliArgs& args, const char* command, indCellLogic& logic, const cmcCellObj& cell,
              const std::string& openedList, cmcCellCapsule& capsule, cmcCellObj& item,
              cmcCellCapsule& itemCapsule) {
    if (auto text = args.value("--text")) {
        capsule.inputMode = cmcCellCapsule::TextEntered;
        capsule.inputText = *text;
        return 0;
    }
    if (args.value("--key")) {
        const auto key = args.number("--key", 1, 0xFFFF);
        if (!key) return CliUsageError(command, "--key takes a key code such as 32");
        capsule.keyCode = int(*key);
        return 0;
    }
    // Asks which list the cell opens: Enter, or a double click where typed keys do
    // nothing (the rows of a link but its "Add" row).
    for (int key : {cellKey::Enter, cellKey::Mouse}) {
        if (!openedList.empty()) break;
        cmcCellObj opener = cell;
        cmcCellCapsule open;
        open.keyCode = key;
        RunCell(logic, opener, open);
    }
    if (openedList.empty()) return CliUsageError(command, "the cell has no pick list");
    const auto value = ChoiceValue(logic, openedList, *args.value("--choose"));
    if (!value) return CliUsageError(command, "no such value in " + openedList);
    item.cellType = CT_Null;
    item.logicId = Flex0;
    item.index = *value;
    itemCapsule.cell = &item;
    capsule.inputMode = cmcCellCapsule::ListChoice;
    capsule.parentCapsule = &itemCapsule;
    return 0;
}

// --command: one popup-menu command on the rows of --rows; Paste first copies the rows of
// --from. Copy alone changes nothing and leaves the file as it was.
int RunCommandEdit(const CliArgs& args, CliDocument& document, indCellLogic& logic,
                   const CliSheetChoice& sheet, const cmcCellObj& cell,
                   const CliEditCommand& editCommand) {
    cmcOrganisation& org = document.Organisation();
    auto rows = ParseRows(org, sheet, *args.value("--rows"));
    if (!rows) return CliUsageError("edit", "--rows takes FIRST[-LAST], rows of the sheet");
    std::optional<CliSelection> from;
    if (args.value("--from") && !(from = ParseRows(org, sheet, *args.value("--from"))))
        return CliUsageError("edit", "--from takes FIRST[-LAST], rows of the sheet");
    bool offered = true;
    const bool refused = RefusedEdit([&] {
        if (from) {
            cmcCellCapsule copy;
            WidenToWholeNames(org, sheet, cell.logicId, *from, copy);
            offered = RunEditCommand(logic, cell, *from, CL_PMenu_Copy, copy);
        }
        cmcCellCapsule capsule;
        WidenToWholeNames(org, sheet, cell.logicId, *rows, capsule);
        offered = offered && RunEditCommand(logic, cell, *rows, editCommand.operation, capsule);
    });
    if (refused) return ExitRefused;
    if (!offered) {
        std::fprintf(stderr, "pelham-cli: %s is not offered on these rows; the file is unchanged\n",
                     editCommand.name);
        return ExitRefused;
    }
    if (editCommand.operation == CL_PMenu_Copy) return 0;
    return document.Save(args.value("-o").value_or(args.positional[0]));
}

int RunCellCommand(const CliArgs& args, const char* command, bool edit) {
    if (args.positional.size() != 1) return CliUsageError(command, "give one clone data file");
    const auto sheetName = args.value("--sheet");
    const auto sheet = sheetName ? ParseSheet(*sheetName) : std::nullopt;
    if (!sheet) return CliUsageError(command, "--sheet takes a sheet such as group:0 or edges");
    const int logicId = FindLogicId(args.value("--cell").value_or(""));
    if (logicId < 0) return CliUsageError(command, "--cell takes a cell name such as CL_Mch_Freq");
    const auto editCommand = FindEditCommand(args.value("--command").value_or(""));
    if (args.value("--command") && (!edit || !editCommand))
        return CliUsageError(command,
                             "--command takes Copy, Paste, Up, Down, Clear, Delete or Insert");
    const auto row = args.number("--index", 0, 100000);
    // --rows with --text or --choose gives the value to every row of the selection.
    const bool setMany = edit && !editCommand && args.value("--rows").has_value();
    if (!row && !editCommand && !setMany)
        return CliUsageError(command, "--index takes the row of the sheet, from 0");
    if (setMany && args.value("--key"))
        return CliUsageError(command, "--rows goes with --text, --choose or --command");
    const int inputs = int(args.value("--text").has_value()) +
                       int(args.value("--key").has_value()) +
                       int(args.value("--choose").has_value()) + int(editCommand.has_value());
    if (edit && inputs != 1)
        return CliUsageError(command, "give one of --text, --key, --choose, --command");
    if (editCommand && !args.value("--rows"))
        return CliUsageError(command, "--command needs --rows FIRST[-LAST]");
    if (args.value("--from") && (!editCommand || editCommand->operation != CL_PMenu_Paste))
        return CliUsageError(command, "--from goes with --command Paste");

    CliDocument document;
    const std::string& path = args.positional[0];
    if (int code = document.Open(args, command, path); code != 0) return code;
    cmcOrganisation& org = document.Organisation();
    cmcCellObj cell;
    cell.cellType = sheet->cellType;
    cell.logicId = logicId;
    if (row && !RowIndex(org, *sheet, int(*row), cell.index))
        return CliUsageError(command, "the sheet has no such row");
    const CliSheetAnswer answer(document.Events(), *sheet);
    datClipCh clipboard;
    std::string openedList;
    indCellLogic logic = MakeLogic(document, clipboard, &openedList);
    if (!edit) {
        PrintCell(logic, cell);
        return 0;
    }
    if (editCommand) return RunCommandEdit(args, document, logic, *sheet, cell, *editCommand);

    cmcCellCapsule capsule;
    if (setMany) {
        const auto rows = ParseRows(org, *sheet, *args.value("--rows"));
        if (!rows) return CliUsageError(command, "--rows takes FIRST[-LAST], rows of the sheet");
        if (!row) cell.index = rows->low;
        capsule.rangeFlags |= cmcCellCapsule::RangeActive;
        capsule.rangeLow = rows->low;
        capsule.rangeHigh = rows->high;
    }
    cmcCellObj item;
    cmcCellCapsule itemCapsule;
    if (int status = FillInput(args, command, logic, cell, openedList, capsule, item, itemCapsule);
        status != 0)
        return status;
    int action = cellAction::None;
    if (RefusedEdit([&] { RunCell(logic, cell, capsule, &action); })) return ExitRefused;
    if (action == cellAction::OpenEditor)
        std::fprintf(stderr, "pelham-cli: the key opens the editor; give --text to commit\n");
    PrintCell(logic, cell);
    return document.Save(args.value("-o").value_or(path));
}

int RunCell(const CliArgs& args) {
    return RunCellCommand(args, "cell", false);
}
int RunEdit(const CliArgs& args) {
    return RunCellCommand(args, "edit", true);
}

const CliRegistration cellRegistration({"cell", "FILE.tcf --sheet SHEET --cell CL_NAME --index ROW",
                                        RunCell,
                                        "Prints a cell as the grid shows it, then its marks."});
const CliRegistration editRegistration(
    {"edit",
     "FILE.tcf --sheet SHEET --cell CL_NAME (--index ROW (--text TEXT | --key CODE | --choose "
     "VALUE) | --rows FIRST[-LAST] (--text TEXT | --choose VALUE) | --command "
     "Copy|Paste|Up|Down|Clear|Delete|Insert --rows FIRST[-LAST] [--from FIRST[-LAST]]) "
     "[--yes] [-o OUT.tcf]",
     RunEdit,
     "Runs one cell action or row command through the cell logic and saves. With --rows,\n"
     "--text or --choose gives the value to every row of the selection, as the grid does\n"
     "with several rows selected; the rows that kept their value are listed."});

// ---- sort ----

// The columns --by names in words, per sheet; any other column by its cell name.
struct CliSortColumn {
    int cellType;
    const char* word;
    int logicId;
};
constexpr CliSortColumn SortColumns[] = {
    {CT_Conv, "frequency", CL_Mch_Freq},
    {CT_Conv, "name", CL_Mch_Name_Name},
    {CT_Conv, "mode", CL_Mch_Mode},
    {CT_Prog, "frequency", CL_PgSrch_Freq_Low},
    {CT_Prog, "name", CL_PgSrch_Name},
    {CT_Prog, "mode", CL_PgSrch_Mode},
    {CT_Bas_Ch, "frequency", CL_Basic_ChSrch_Freq},
    {CT_Bas_Ch, "name", CL_Basic_ChSrch_Name},
    {CT_Bas_Ch, "mode", CL_Basic_ChSrch_Mode},
    {CT_Bas_Prog, "frequency", CL_Basic_PgSrch_Freq_Low},
    {CT_Bas_Prog, "mode", CL_Basic_PgSrch_Mode},
};

// The cell names of a sheet's columns start with its prefix.
const char* ColumnPrefix(int cellType) {
    switch (cellType) {
    case CT_Conv:
        return "CL_Mch_";
    case CT_Prog:
        return "CL_PgSrch_";
    case CT_Bas_Ch:
        return "CL_Basic_ChSrch_";
    case CT_Bas_Prog:
        return "CL_Basic_PgSrch_";
    default:
        return nullptr;
    }
}

std::optional<int> SortColumn(int cellType, const std::string& by) {
    for (const CliSortColumn& column : SortColumns)
        if (column.cellType == cellType && by == column.word) return column.logicId;
    const char* prefix = ColumnPrefix(cellType);
    if (!prefix || by.rfind(prefix, 0) != 0) return std::nullopt;
    const int logicId = FindLogicId(by);
    if (logicId < 0) return std::nullopt;
    return logicId;
}

int RunSort(const CliArgs& args) {
    if (args.positional.size() != 1) return CliUsageError("sort", "give one clone data file");
    const auto sheetName = args.value("--sheet");
    const auto sheet = sheetName ? ParseSheet(*sheetName) : std::nullopt;
    if (!sheet || !ColumnPrefix(sheet->cellType))
        return CliUsageError("sort", "--sheet takes group:N, edges, bank-ch:N or bank-pg:N");
    const auto column = SortColumn(sheet->cellType, args.value("--by").value_or(""));
    if (!column)
        return CliUsageError("sort", "--by takes frequency, name, mode or a column of the sheet "
                                     "such as CL_Mch_TS_Pitch");
    clsSortRequest request;
    request.column = *column;
    request.descending = args.has("--descending");
    request.withinNames = args.has("--within-names");
    request.selectionOnly = args.value("--rows").has_value();

    CliDocument document;
    const std::string& path = args.positional[0];
    if (int code = document.Open(args, "sort", path); code != 0) return code;
    cmcOrganisation& org = document.Organisation();
    cmcCellObj cell;
    cell.cellType = sheet->cellType;
    cell.logicId = *column;
    if (!RowIndex(org, *sheet, 0, cell.index))
        return CliUsageError("sort", "the sheet has no such list");
    cmcCellCapsule capsule;
    capsule.operation = CL_PMenu_Sort;
    if (request.selectionOnly) {
        const auto rows = ParseRows(org, *sheet, *args.value("--rows"));
        if (!rows) return CliUsageError("sort", "--rows takes FIRST[-LAST], rows of the sheet");
        cell.index = rows->low;
        capsule.rangeFlags |= cmcCellCapsule::RangeActive;
        capsule.rangeLow = rows->low;
        capsule.rangeHigh = rows->high;
    }
    const CliSheetAnswer answer(document.Events(), *sheet);
    datClipCh clipboard;
    bool asked = false;
    indCellLogic logic =
        MakeLogic(document, clipboard, nullptr, [&asked, request](const clsSortOffer&) {
            asked = true;
            return std::optional<clsSortRequest>(request);
        });
    if (RefusedEdit([&] { RunCell(logic, cell, capsule); })) return ExitRefused;
    if (!asked) {
        std::fprintf(stderr,
                     "pelham-cli: the list has fewer than two rows; the file is unchanged\n");
        return ExitRefused;
    }
    return document.Save(args.value("-o").value_or(path));
}

// ---- fill ----

int RunFill(const CliArgs& args) {
    if (args.positional.size() != 1) return CliUsageError("fill", "give one clone data file");
    const auto sheetName = args.value("--sheet");
    const auto sheet = sheetName ? ParseSheet(*sheetName) : std::nullopt;
    if (!sheet || sheet->cellType != CT_Conv)
        return CliUsageError("fill", "--sheet takes a group such as group:0");
    clsFillRequest request;
    request.start = args.value("--start").value_or("");
    request.step = args.value("--step").value_or("");
    if (!ReadDecimal(request.start, 6) || !ReadDecimal(request.step, 6))
        return CliUsageError("fill", "--start and --step take megahertz such as 118.000 and 0.025");
    const auto count = args.number("--count", 1, cmcOrganisation::MaxChannels);
    if (args.value("--count") && !count)
        return CliUsageError("fill", "--count takes a number of channels from 1");
    const auto first = args.number("--first", 0, 9999);
    if (args.value("--first") && !first)
        return CliUsageError("fill", "--first takes a number from 0 to 9999");
    request.name = args.value("--name").value_or("");
    request.firstNumber = first ? int(*first) : 1;
    if (!args.value("--rows")) return CliUsageError("fill", "--rows FIRST[-LAST] is needed");

    CliDocument document;
    const std::string& path = args.positional[0];
    if (int code = document.Open(args, "fill", path); code != 0) return code;
    cmcOrganisation& org = document.Organisation();
    const auto rows = ParseRows(org, *sheet, *args.value("--rows"));
    if (!rows) return CliUsageError("fill", "--rows takes FIRST[-LAST], rows of the sheet");
    request.count = count ? int(*count) : rows->high - rows->low + 1;
    cmcCellObj cell;
    cell.cellType = CT_Conv;
    cell.logicId = CL_Mch_Freq;
    cell.index = rows->low;
    cmcCellCapsule capsule;
    capsule.operation = CL_PMenu_FillSeries;
    capsule.rangeFlags |= cmcCellCapsule::RangeActive;
    capsule.rangeLow = rows->low;
    capsule.rangeHigh = rows->high;
    const CliSheetAnswer answer(document.Events(), *sheet);
    datClipCh clipboard;
    const int before = org.ChannelsOfGroup(sheet->set);
    const auto asked = [request](const clsFillOffer&) { return std::optional(request); };
    indCellLogic logic = MakeLogic(document, clipboard, nullptr, nullptr, asked);
    // A limit that ends the series early is reported; what was filled is saved.
    RunCell(logic, cell, capsule);
    std::printf("%d channels in the group, %d added\n", org.ChannelsOfGroup(sheet->set),
                org.ChannelsOfGroup(sheet->set) - before);
    return document.Save(args.value("-o").value_or(path));
}

const CliRegistration fillRegistration(
    {"fill",
     "FILE.tcf --sheet group:N --rows FIRST[-LAST] --start MHZ --step MHZ [--count N] "
     "[--name TEXT [--first N]] [--yes] [-o OUT.tcf]",
     RunFill,
     "Fills a series as Edit > Fill Series... does: from the first row of --rows, --count\n"
     "channels (the rows of --rows unless given) take --start, --start + --step, ...; past\n"
     "the last channel they are added on the New row, within the limits of a group. With\n"
     "--name they are named \"TEXT 1\", \"TEXT 2\", ... (from --first)."});

const CliRegistration sortRegistration(
    {"sort",
     "FILE.tcf --sheet SHEET --by frequency|name|mode|CL_NAME [--descending] [--within-names] "
     "[--rows FIRST[-LAST]] [--yes] [-o OUT.tcf]",
     RunSort,
     "Sorts a list as Edit > Sort... does, stable: the channels of a group (names move whole,\n"
     "by their first channel; --within-names sorts the channels inside each name too), the\n"
     "program-search edges (the links follow their edges) or the entries of a bank. --rows\n"
     "sorts only those rows."});

} // namespace
