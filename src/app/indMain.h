#pragma once

// The document controller of this receiver: the document commands (New, Open, Save,
// Save As, the clone commands), the save question, the main window's start and close,
// and the controller's event handlers.

#include "app/cuiMain.h"
#include "app/indDocumentCommands.h"
#include "app/indFileCommands.h"
#include "app/indLoadCorrections.h"
#include "app/indRecovery.h"
#include "app/indUndoCommands.h"
#include "files/cmcTsvTransfer.h"
#include "model/cmcOrganisation.h"
#include "model/datClipCh.h"
#include "model/indCellLogic.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct cmcEvent;

class indMain : public cuiMain {
  public:
    static constexpr int ReceiverModelWord = 12406; // 0x3076
    static constexpr int ReceiverExtraWord = 1;
    static constexpr int ReceiverInfoSize = 26;
    static constexpr int InfoDestinationByte = 16;
    static constexpr int InfoFlagsByte = 17; // bit 1 FCC inhibit, bit 0 Rx expansion

    indMain(indEnviron& environ, cmcGTex& text, cmcHelpGTex& help, cmcEvMan& events,
            int imageSize = ImageSize);
    ~indMain() override;

    // The controller's part of building the main window: the new document for the
    // installed destination, the tree, and the controller task.
    void CreateUi(cuiMainWindow& window);
    // The stored window placement, held inside the desktop work area.
    cmcRect StoredPlacement() const;
    // The stored width of the left panel, at least MinimumSplitter.
    int StoredSplitter() const;
    // Whether the main window may close now; stores its placement when it may.
    bool CloseQuery();
    // The main window has closed: stops the task and forgets the window.
    void WindowClosed();

    // Document commands. Results: 0 done, 1 not done (cancelled or failed); ConfirmSave
    // gives answer::Yes to go on, answer::No to go on without saving, answer::Cancel to stop.
    int FileNew();
    int FileOpen();
    int OpenDocument(const std::string& path);
    int FileSave();
    int FileSaveAs();
    int SaveDocument(const std::string& path);
    int ConfirmSave(bool another);
    // File > Compare with...: the differences from the document to a clone data file the
    // user picks, in the main window's compare window. 0 shown, 1 not (cancelled, or the
    // file's error was shown).
    int CompareWithFile();
    // Deletes the channels in the slots, as one undo step, each as the channel sheet's
    // Delete does (the last channel of a group stays, with the sheet's message); the sheet
    // on show opens again where it was. The number deleted.
    int DeleteChannels(std::vector<int> slots);

    void CloneRead();
    void CloneWrite();
    void CloneInformation();
    // Clone > Restore Backup...: the receiver's backups, newest first, with how each
    // differs from the document; the one chosen opens as a new untitled document or is
    // written back to the receiver (through the plan). 0 done, 1 not.
    int RestoreBackup();
    // Opens the sheet that shows a record (a line of the plan) with the cursor on it.
    void ShowRecord(const clsDiffRecord& record);
    indCloneCommands& CloneCommands() { return cloneCommands_; }
    // CSV import and export and the preset import of the main window.
    indFileCommands& FileCommands() { return fileCommands_; }
    // The clone information window over the main window, after a successful exchange.
    void OpenCloneInformation();

    // One sheet is open at a time, in the main window's right pane. Closing it remembers
    // its position in the sheet history (one entry per address, newest first); opening an
    // address again comes back to that position.
    struct clsSheetHistoryEntry {
        std::string address;
        std::array<int, 4> position{-1, -1, -1, -1}; // column, row, left column, top row
    };
    void CloseSheet();
    void OpenSheet(const std::string& address);
    // Opens the address with the cursor and the scrolled corner at this position.
    void OpenSheetAt(const std::string& address, const std::array<int, 4>& position);
    const std::vector<clsSheetHistoryEntry>& SheetHistory() const { return history_; }
    // The font size changed: the next sheet drops the stored column widths of all sheets.
    void SetFontFlag() { fontFlag_ = true; }
    // Shows a text in the status bar; while no sheet is open it is shown again once one
    // opens (opening a sheet clears the status bar).
    void ShowStatus(const std::string& text);
    // The sheet shown when nothing is open and nothing was open before: the memory channels
    // of the first group, else the category list.
    std::string FirstSheetAddress() const;

    // The information block of the last receiver that answered, filled by the clone
    // session's information check; events 55 and 56 read it.
    std::array<uint8_t, ReceiverInfoSize>& ReceiverInformation() {
        return cloneCommands_.ReceiverInformation();
    }

    // The count tables of the working image.
    cmcOrganisation& Organisation() { return organisation_; }
    datClipCh& Clipboard() { return clipboard_; }
    indUndoCommands& UndoCommands() { return undo_; }
    // Crash recovery; off until the program starts it with its file.
    indRecovery& Recovery() { return recovery_; }
    const indCellLogic& CellLogic() const { return cellLogic_; }
    indCellLogic& CellLogic() { return cellLogic_; }

    // Replaces how band limits are applied (the model's active destination by default).
    void SetBandLimitHook(std::function<void(int destination)> hook);

    void AdoptLoadedImage(cmcEeprom& image) override;
    // What adopting the last image from a file or the receiver corrected for the
    // destination; told in the status bar (and, for more than one record, a message box
    // that offers to show them) once the window shows the document again.
    const clsLoadCorrections& LoadCorrections() const { return corrections_; }
    bool LoadCorrectionsPending() const { return correctionsPending_; }

  protected:
    void InitIdentity() override;
    void BuildTree() override;
    void ControllerStep() override;

  private:
    indCellDocument CellDocument();
    indCloneDataHooks CloneDataHooks();
    static void OnEvent(void* context, const cmcEvent& event);
    void HandleEvent(const cmcEvent& event);
    void TakeReceiverFlags();
    void AdoptReceiverDestination();
    void ApplyBandLimits(int destination);
    void OfferRecovery();
    void TellLoadCorrections();

    // Model steps on the images.
    void FillNewDocumentImage();
    void RepackWorkingImage();
    void PrepareWorkingImageForStore();
    void SyncDestination();

    void TakeDocumentPath(const std::string& path);
    cmcFileDialogRequest DialogRequest(const std::string& fileName) const;

    cmcOrganisation organisation_; // the count tables of the working image
    datClipCh clipboard_;
    cmcTsvTransfer transfer_{[this] { return fileCommands_.ReadOptions(); }};
    indDocumentCommands commands_;
    indCellLogic cellLogic_;
    indDocumentForClone cloneDocument_;
    indCloneCommands cloneCommands_;
    indDocumentForFiles fileDocument_{*this};
    indFileCommands fileCommands_{fileDocument_};
    indUndoCommands undo_{*this};
    indRecovery recovery_;
    std::function<void(int)> bandLimits_;
    std::vector<clsSheetHistoryEntry> history_;
    bool fontFlag_ = false;
    cmcEeprom asRead_; // the last image adopted from a file or the receiver, as it came
    clsLoadCorrections corrections_;
    bool correctionsPending_ = false;
    std::string correctedFile_; // the file it came from; empty for the receiver
    std::string pendingStatus_; // shown when the next sheet opens
};
