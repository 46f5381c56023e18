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
#include "model/cmcOrganisation.h"
#include "model/datClipCh.h"
#include "model/indCellLogic.h"
#include "platform/cmcPlatform.h"

#include <cstdio>
#include <optional>

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
        const std::string prefix = p.name;
        if (name.rfind(prefix, 0) != 0) continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.empty() || digits.size() > 4 ||
            digits.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        return CliSheetChoice{p.cellType, std::stoi(digits), true};
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

// Watches the questions of one edit: the console box answers them, this notes whether any
// was answered Cancel, so that a refused edit is neither saved nor reported as done.
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
        return answer;
    }
    bool Refused() const { return refused_; }

  private:
    cmcPlatform previous_;
    bool refused_ = false;
};

indCellLogic MakeLogic(CliDocument& document, datClipCh& clipboard, std::string* openedList) {
    indCellDocument parts;
    parts.organisation = &document.Organisation();
    parts.clipboard = &clipboard;
    parts.events = &document.Events();
    parts.destination = &document.Destination();
    parts.japaneseNames = document.JapaneseText();
    parts.openPickList = [openedList](cmcCellCapsule&, const std::string& list) {
        if (openedList) *openedList = list;
    };
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
        if (sheet.set >= 20) return false;
        first = sheet.set * 100, rows = org.BankChCount(sheet.set) + 1;
        break;
    case CT_Bas_Prog:
        if (sheet.set >= 20) return false;
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

int RunCellCommand(const CliArgs& args, const char* command, bool edit) {
    if (args.positional.size() != 1) return CliUsageError(command, "give one clone data file");
    const auto sheetName = args.value("--sheet");
    const auto sheet = sheetName ? ParseSheet(*sheetName) : std::nullopt;
    if (!sheet) return CliUsageError(command, "--sheet takes a sheet such as group:0 or edges");
    const int logicId = FindLogicId(args.value("--cell").value_or(""));
    if (logicId < 0) return CliUsageError(command, "--cell takes a cell name such as CL_Mch_Freq");
    const auto row = args.number("--index", 0, 100000);
    if (!row) return CliUsageError(command, "--index takes the row of the sheet, from 0");
    const int inputs = int(args.value("--text").has_value()) +
                       int(args.value("--key").has_value()) +
                       int(args.value("--choose").has_value());
    if (edit && inputs != 1) return CliUsageError(command, "give one of --text, --key, --choose");

    CliDocument document;
    const std::string& path = args.positional[0];
    if (int code = document.Open(args, command, path); code != 0) return code;
    cmcCellObj cell;
    cell.cellType = sheet->cellType;
    cell.logicId = logicId;
    if (!RowIndex(document.Organisation(), *sheet, int(*row), cell.index))
        return CliUsageError(command, "the sheet has no such row");
    const CliSheetAnswer answer(document.Events(), *sheet);
    datClipCh clipboard;
    std::string openedList;
    indCellLogic logic = MakeLogic(document, clipboard, &openedList);
    if (!edit) {
        PrintCell(logic, cell);
        return 0;
    }

    cmcCellCapsule capsule;
    if (auto text = args.value("--text")) {
        capsule.inputMode = cmcCellCapsule::TextEntered;
        capsule.inputText = *text;
    } else if (args.value("--key")) {
        const auto key = args.number("--key", 1, 0xFFFF);
        if (!key) return CliUsageError(command, "--key takes a key code such as 32");
        capsule.keyCode = int(*key);
    }
    cmcCellObj item;
    cmcCellCapsule itemCapsule;
    if (auto wanted = args.value("--choose")) {
        cmcCellObj opener = cell;
        cmcCellCapsule open;
        open.keyCode = cellKey::Enter;
        RunCell(logic, opener, open); // asks which list the cell opens, changes nothing
        if (openedList.empty()) return CliUsageError(command, "the cell has no pick list");
        const auto value = ChoiceValue(logic, openedList, *wanted);
        if (!value) return CliUsageError(command, "no such value in " + openedList);
        item.cellType = CT_Null;
        item.logicId = Flex0;
        item.index = *value;
        itemCapsule.cell = &item;
        capsule.inputMode = cmcCellCapsule::ListChoice;
        capsule.parentCapsule = &itemCapsule;
    }
    int action = cellAction::None;
    bool refused = false;
    {
        const CliRefusalWatch questions;
        RunCell(logic, cell, capsule, &action);
        refused = questions.Refused();
    }
    if (refused) {
        // Cancel ends the edit with nothing changed: the file stays as it was.
        std::fprintf(stderr, "pelham-cli: the question was refused; the file is unchanged\n");
        return ExitRefused;
    }
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
                                        RunCell});
const CliRegistration editRegistration(
    {"edit",
     "FILE.tcf --sheet SHEET --cell CL_NAME --index ROW (--text TEXT | --key CODE | --choose "
     "VALUE) [--yes] [-o OUT.tcf]",
     RunEdit});

} // namespace
