// Menu, toolbar and tree commands, the states of menu items, pick-list items, the data
// checks and the clone-information cells.

#include "catalogue/cmcGTex.h"
#include "events/cmcEvents.h"
#include "model/cmcDataChecks.h"
#include "model/cmcDocumentCommands.h"
#include "model/cmcNameText.h"
#include "model/indCellCall.h"
#include "model/indDestination.h"

#include <cstdio>

namespace {

using Command = cmcDocumentCommands::Command;

// State bits of menu items in the cell's flags.
constexpr int Checked = 0;
constexpr int Hidden = 1;
constexpr int Disabled = 2;
constexpr int CaptionChanged = 3;
constexpr int Tickable = 4; // an on/off item: its box shows also while it is off

struct MenuCommand {
    int logicId;
    Command command;
    bool tickable;
};

// Menu items whose commands belong to other parts of the program.
constexpr MenuCommand OtherParts[] = {
    {CL_Menu_File_Add_Import, Command::AddImport, false},
    {CL_Menu_File_Ow_Import, Command::OverwriteImport, false},
    {CL_Menu_File_Export, Command::Export, false},
    {CL_Menu_File_Print_Current, Command::PrintCurrent, false},
    {CL_Menu_File_Print_All, Command::PrintAll, false},
    {CL_Menu_View_FontSize, Command::FontSize, true},
    {CL_Menu_View_ToolBar, Command::ToolBar, true},
    {CL_Menu_Port_Com, Command::PortCom, true},
    {CL_Menu_Port_Usb, Command::PortChoice, true},
    {CL_Menu_Com_Speed, Command::ComSpeed, true},
    {CL_Menu_Preset, Command::Preset, false},
    {CL_Help_About, Command::About, false},
    {CL_Help_Contents, Command::HelpContents, false},
    {CL_Menu_File_Compare, Command::Compare, false},
    {CL_Menu_Clone_Backup, Command::BackupBeforeWrite, true},
    {CL_Menu_Clone_Verify, Command::VerifyAfterWrite, true},
    {CL_Menu_Clone_Plan, Command::ShowWritePlan, true},
    {CL_Menu_Clone_Restore, Command::RestoreBackup, false},
    {CL_Menu_Clone_Trace, Command::SerialTrace, true},
    {CL_Menu_View_Language, Command::Language, true},
    {CL_Menu_File_Import_Other, Command::ImportOther, false},
    {CL_Menu_File_Export_Other, Command::ExportOther, false},
};

bool Runs(const indCellCall& call) {
    return call.Key() == cellKey::Enter || call.Key() == cellKey::Mouse;
}

void SetState(indCellCall& call, int flag, bool on) {
    call.cell.SetFlag(flag, on);
}

bool RunOtherPart(indCellCall& call, cmcDocumentCommands* commands) {
    for (const MenuCommand& item : OtherParts) {
        if (item.logicId != call.logicId) continue;
        const bool available = commands && commands->CanRun(item.command, call.index);
        SetState(call, Disabled, !available);
        SetState(call, Tickable, item.tickable);
        if (item.tickable && commands)
            SetState(call, Checked, commands->IsTicked(item.command, call.index));
        if (available && Runs(call)) {
            commands->Run(item.command, call.index);
            call.handled = true;
        }
        return true;
    }
    return false;
}

void RunRecent(indCellCall& call, cmcDocumentCommands* commands) {
    const std::string path = commands ? commands->RecentPath(call.index) : std::string();
    SetState(call, Disabled, path.empty());
    SetState(call, Hidden, path.empty() && call.index != 0);
    // An empty entry keeps the catalogue's caption; an "&" in a name is doubled so that it
    // shows rather than marking an access key.
    std::string text = commands ? commands->RecentText(call.index) : std::string();
    for (size_t at = text.find('&'); at != std::string::npos; at = text.find('&', at + 2))
        text.insert(at, 1, '&');
    char caption[1024];
    std::snprintf(caption, sizeof caption, "&%d %s", call.index + 1, text.c_str());
    if (!path.empty() && call.cell.templateText != caption) {
        call.cell.templateText = caption;
        SetState(call, CaptionChanged, true);
    }
    if (!path.empty() && Runs(call)) {
        commands->OpenDocument(path);
        call.handled = true;
    }
}

// Commands of the document controller itself.
bool RunDocumentCommand(indCellCall& call, cmcDocumentCommands* commands) {
    switch (call.logicId) {
    case CL_Menu_File_New:
    case CL_Menu_File_Open:
    case CL_Menu_File_Save:
    case CL_Menu_File_SaveAs:
    case CL_Menu_File_Exit:
    case CL_Menu_Clone_Read:
    case CL_Menu_Clone_Write:
    case CL_Menu_Clone_Info:
    case CallSheet:
        break;
    default:
        return false;
    }
    const bool toController = call.logicId != CL_Menu_Clone_Info;
    SetState(call, Disabled, toController && !commands);
    if (!Runs(call) || (toController && !commands)) return true;
    call.handled = true;
    switch (call.logicId) {
    case CL_Menu_File_New:
        commands->FileNew();
        break;
    case CL_Menu_File_Open:
        commands->FileOpen();
        break;
    case CL_Menu_File_Save:
        commands->FileSave();
        break;
    case CL_Menu_File_SaveAs:
        commands->FileSaveAs();
        break;
    case CL_Menu_File_Exit:
        commands->CloseMainWindow();
        break;
    case CL_Menu_Clone_Read:
        commands->CloneRead();
        break;
    case CL_Menu_Clone_Write:
        commands->CloneWrite();
        break;
    case CL_Menu_Clone_Info:
        call.Send(ev::CloneInformation);
        break;
    case CallSheet:
        commands->OpenSheet(call.cell.keyText);
        break;
    }
    return true;
}

void RunEditTop(indCellCall& call, cmcDocumentCommands* commands) {
    if (commands && commands->CanRun(Command::EditMenu, 0)) {
        commands->Run(Command::EditMenu, 0);
        return;
    }
    call.Send(ev::MenuClearItems, 0, CL_Menu_Edit_Top);
    call.SendText(ev::MenuBuildItems, 0, CL_Menu_Edit_Top, "GI_PMenu_NoItem");
}

// The state of a popup-menu item: the cell acted on is the opening capsule's.
void PopupItemState(indCellCall& call) {
    const int command = call.logicId;
    if (command == CL_PMenu_NoItem) {
        SetState(call, Disabled, true);
        return;
    }
    if (command == CL_PMenu_Duplicates) {
        cmcDocumentCommands* commands = call.logic.Document().commands;
        return SetState(call, Disabled,
                        !commands || !commands->CanRun(Command::FindDuplicates, 0));
    }
    const bool sort = command == CL_PMenu_Sort;
    if (command == CL_PMenu_FillSeries) {
        cmcCellCapsule* opener = call.capsule.parentCapsule;
        bool channels = false;
        if (opener && opener->cell) {
            indCellCall acted(call.logic, *opener);
            LoadCall(acted);
            channels = acted.kind == datKind::Mch;
        }
        return SetState(call, Disabled, !channels);
    }
    if (!sort && (command < CL_PMenu_Copy || command > CL_PMenu_Delete)) return;
    cmcCellCapsule* opener = call.capsule.parentCapsule;
    if (!opener || !opener->cell) {
        SetState(call, Disabled, true);
        return;
    }
    indCellCall acted(call.logic, *opener);
    LoadCall(acted);
    if (sort) return SetState(call, Disabled, IsSortDisabled(acted));
    SetState(call, Disabled, acted.kind == datKind::None || IsEditCommandDisabled(acted, command));
}

// Pick-list items: their own text; the items of the step and mode lists are marked where
// they would be an error for the record the list was opened from.
void RunListItem(indCellCall& call) {
    call.Show(call.cell.templateText);
    if (call.logicId != CL_FlexMarking) return;
    cmcCellCapsule* opener = call.capsule.parentCapsule;
    if (!opener || !opener->cell) return;
    const int openerId = opener->cell->logicId;
    const bool step =
        openerId == CL_Mch_TS_Pitch || openerId == CL_PgSrch_TS || openerId == CL_Basic_PgSrch_TS;
    const bool mode = openerId == CL_Mch_Mode || openerId == CL_PgSrch_Mode ||
                      openerId == CL_Basic_ChSrch_Mode || openerId == CL_Basic_PgSrch_Mode;
    if (!step && !mode) return;
    indCellCall acted(call.logic, *opener);
    LoadCall(acted);
    if (acted.kind == datKind::None || !acted.record.InUse()) return;
    const auto item = uint32_t(call.index);
    const indDestination& destination = call.Destination();
    const bool error = step ? IsStepErrorAt(acted.record, item, destination)
                            : IsModeErrorAt(acted.record, item, destination);
    if (error) {
        call.MarkError(true, cellMark::Item);
        call.capsule.markPosition = 3;
    }
}

bool RunCheck(indCellCall& call) {
    clsMarks marks;
    switch (call.logicId) {
    case CL_Check_MemoryCH:
        marks = CheckMemoryGroup(call.Org(), call.index);
        break;
    case CL_Check_PSearch:
        marks = CheckEdges(call.Org());
        break;
    case CL_Check_AWCH:
        marks = CheckAutoWrite(call.Org());
        break;
    case CL_Check_BasicCH:
        marks = CheckBankCh(call.Org(), call.index);
        break;
    case CL_Check_BasicPG:
        marks = CheckBankPg(call.Org(), call.index);
        break;
    default:
        return false;
    }
    call.MarkWarning(marks.warning, cellMark::SheetWarnings);
    call.MarkError(marks.error, cellMark::SheetErrors);
    return true;
}

// The words for the receiver's two flags are the items of a pick list of the catalogue,
// so each language shows its own; a catalogue that lacks the list gives the English word.
bool RunCloneInfo(indCellCall& call) {
    if (call.logicId < CL_CloneInfo_Comment || call.logicId > CL_CloneInfo_FccInh) return false;
    std::vector<uint8_t> info;
    if (call.logic.Document().receiverInformation)
        info = call.logic.Document().receiverInformation();
    info.resize(26, 0);
    switch (call.logicId) {
    case CL_CloneInfo_Comment: {
        // All sixteen characters as the receiver holds them, trailing blanks included.
        std::string comment;
        for (auto byte = info.begin(); byte != info.begin() + 16; ++byte)
            comment += cmcNameCharacter(*byte, true);
        call.Show(comment);
        break;
    }
    case CL_CloneInfo_Destination:
        call.Show(indDestination::Label(info[16]));
        break;
    case CL_CloneInfo_Rx_Expansion:
        // The receiver's own words for its flags, like the destination labels.
        call.Show(info[17] & 1 ? "Expansion" : "Inhibit");
        break;
    case CL_CloneInfo_FccInh:
        call.Show(info[17] & 2 ? "Inhibit" : "Normal");
        break;
    }
    return true;
}

} // namespace

bool RunCommandCell(indCellCall& call) {
    cmcDocumentCommands* commands = call.logic.Document().commands;
    if (call.cellType == CT_PopupMenu || call.logicId == CL_PMenu_NoItem) {
        if ((call.logicId >= CL_PMenu_NoItem && call.logicId <= CL_PMenu_Help) ||
            call.logicId == CL_PMenu_Sort || call.logicId == CL_PMenu_Duplicates ||
            call.logicId == CL_PMenu_FillSeries) {
            PopupItemState(call);
            return true;
        }
    }
    if (RunDocumentCommand(call, commands) || RunOtherPart(call, commands)) return true;
    switch (call.logicId) {
    case CL_Menu_File_Import:
        SetState(call, Disabled,
                 !commands || !(commands->CanRun(Command::AddImport, 0) ||
                                commands->CanRun(Command::OverwriteImport, 0) ||
                                commands->CanRun(Command::ImportOther, 0)));
        return true;
    case CL_Menu_File_Recent:
        RunRecent(call, commands);
        return true;
    case CL_Menu_Edit_Top:
        RunEditTop(call, commands);
        return true;
    case CL_Menu_Clone_Adj:
        SetState(call, Disabled, true);
        return true;
    case Flex0:
    case CL_FlexMarking:
        RunListItem(call);
        return true;
    case CL_Null:
    case CL_Misc_QuarterPillar:
    case CL_Misc_QuarterPillarSpecial:
        return true; // no text; the sheet draws the pillar
    }
    return RunCheck(call) || RunCloneInfo(call);
}
