#pragma once

#include <string>

// The document controller's operations as the cell logic reaches them. The model cannot
// see the controller, so the controller implements this and hands itself to the cell logic
// (indCellDocument); the menu and tree cells then call through it. Commands of parts that
// are not there yet answer as unavailable, and their menu items show disabled.
class cmcDocumentCommands {
  public:
    // Commands that belong to other parts of the program, run by logic id and index.
    enum class Command {
        AddImport, // adding CSV import into the open sheet
        OverwriteImport,
        Export, // CSV export of the open sheet
        PrintCurrent,
        PrintAll,
        FontSize,   // index: the font-size setting to take
        ToolBar,    // show or hide the toolbar
        PortCom,    // index: the port setting to take
        PortChoice, // the port choice dialog
        ComSpeed,   // index: the speed setting to take
        Preset,     // preset basic-search import
        About,
        HelpContents,
        CellHelp,          // index: the help topic of a cell (its logic id)
        EditMenu,          // fill the Edit menu with the open sheet's popup menu
        Compare,           // the differences from the document to a clone data file
        BackupBeforeWrite, // the settings around a Clone Write, switched on and off
        VerifyAfterWrite,
        ShowWritePlan, // the plan window before a Clone Write, switched on and off
        RestoreBackup, // a backup of the receiver, opened or written back
        SerialTrace,   // the trace of the serial line, to a file the user names
        Language,      // index: the user's language from the next start, 0 English, 1 Japanese
        ImportOther,   // a channel list of another program, through its preview
        ExportOther,   // every channel as the generic radio CSV of other programs
        FindDuplicates, // the duplicate channels of the memory, in a window
    };

    virtual ~cmcDocumentCommands() = default;

    virtual int FileNew() = 0;
    virtual int FileOpen() = 0;
    virtual int OpenDocument(const std::string& path) = 0;
    virtual int FileSave() = 0; // Save As for an untitled document
    virtual int FileSaveAs() = 0;
    virtual void CloneRead() = 0;
    virtual void CloneWrite() = 0;
    virtual void CloseMainWindow() = 0;
    virtual void OpenSheet(const std::string& address) = 0;

    // After every cell action: the edit-settle timeout starts again (250 ms) and the
    // working image is compared with the saved one.
    virtual void RestartEditSettle() = 0;
    virtual bool CheckModified() = 0;
    // The start and the end of one user action (the outermost call into the cell logic
    // that is not a query): what it changed becomes one undo step, named by the undoAction
    // it stands for.
    virtual void ActionStarting() {}
    virtual void ActionDone(int /*action*/) {}

    // Entry i of the recent-file list: the path, and the text a menu shows ("" when empty).
    virtual std::string RecentPath(int /*i*/) { return {}; }
    virtual std::string RecentText(int /*i*/) { return {}; }

    // Whether a command of another part can run now, whether its item is ticked, and
    // running it. By default none is available.
    virtual bool CanRun(Command, int /*index*/) { return false; }
    virtual bool IsTicked(Command, int /*index*/) { return false; }
    virtual void Run(Command, int /*index*/) {}
};
