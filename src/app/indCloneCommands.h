#pragma once

// The document's clone commands: Clone Read, Clone Write and Clone Information, with the
// two checks the document installs in the clone session. The document controller owns one
// and forwards its menu commands and event 53 to it; the commands reach the document only
// through indCloneDocument.

#include "app/indCloneSafety.h"
#include "app/indWritePlan.h"
#include "clone/indCloneMan.h"
#include "model/indDestination.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class cmcEvMan;

// Result of the warning check over the whole image.
struct indCheckCounts {
    int errors = 0;
    int warnings = 0;
};

// What the clone commands need of the document.
class indCloneDocument {
  public:
    virtual ~indCloneDocument() = default;
    virtual cmcEeprom& WorkingImage() = 0;
    // answer::Yes go on, answer::No go on without saving, answer::Cancel stop.
    virtual int ConfirmSave(bool another) = 0;
    // Recount, repack and correct an image read from the receiver.
    virtual void AdoptLoadedImage(cmcEeprom& image) = 0;
    virtual void MarkModified() = 0;
    // The document becomes untitled; the title shows it.
    virtual void ClearFileName() = 0;
    virtual void CloseSheet() = 0;
    // A Clone Read replaced the image: one undo step of that name (an undoAction).
    virtual void ActionDone(int /*action*/) {}
    virtual bool MainWindowVisible() = 0;
    // The installed destination, 0..13, or 14 for none.
    virtual int InstalledDestination() = 0;
    // The port and speed settings.
    virtual indCloneLine CloneLine() = 0;
    // The clone information window (over the receiver information).
    virtual void OpenCloneInformation() = 0;
    // A line for the status bar (when a Clone Read ended).
    virtual void ShowStatus(const std::string& /*text*/) {}
    // The steps around a Clone Write: by default the settings Clone/BackupBeforeWrite and
    // Clone/VerifyAfterWrite, the backups in the user's data folder, the installed
    // destination for naming differences.
    virtual indSafeWrite::Options CloneWriteSafety();
    // Whether names show half-width katakana (how the plan spells them).
    virtual bool JapaneseText() { return false; }
    // Opens the sheet that shows the record and puts the cursor on its row (a line of the
    // plan chosen).
    virtual void ShowRecord(const clsDiffRecord& /*record*/) {}
};

// The data checks and corrections Clone Write runs, supplied by the memory model. Without
// a warning check nothing is written: data that cannot be checked is not sent.
struct indCloneDataHooks {
    std::function<indCheckCounts()> warningCheck;
    // Correction and in-use bitmaps on the working image before it is written.
    std::function<void(cmcEeprom& image)> prepareForWrite;
    // Replaces records the destination does not allow, on the copy that is written; the
    // records it replaced.
    std::function<std::vector<clsRecordRef>(cmcEeprom& copy)> replaceDisallowed;
};

constexpr int ReceiverModelWord = 12406; // 0x3076
constexpr int ReceiverExtraWord = 1;
constexpr int ReceiverInfoSize = 26;
constexpr int ReceiverDestinationByte = 16;
constexpr int ReceiverFlagsByte = 17;
constexpr int NoDestination = 14;
using indReceiverInfo = std::array<uint8_t, ReceiverInfoSize>;

// The document's range table: the whole memory map.
extern const cmcCloneRange DocumentRanges[2];

// The checks of the receiver's information answer: its identity and payload (0, 11 or 14;
// the payload is copied into info when they pass), then the destination (13 when the
// receiver's differs from the installed one, or none is installed).
int CheckReceiverIdentity(const dst_CDrv_Result& result, indReceiverInfo& info);
bool DestinationMatches(int installed, const indReceiverInfo& info);
// The check of a received image: 15 when the format marker is missing.
int CheckReceivedImage(const dst_CDrv_Result& result);

class indCloneCommands {
  public:
    indCloneCommands(indCloneDocument& document, cmcEvMan& events);
    ~indCloneCommands();
    indCloneCommands(const indCloneCommands&) = delete;
    indCloneCommands& operator=(const indCloneCommands&) = delete;

    void SetDataHooks(indCloneDataHooks hooks) { hooks_ = std::move(hooks); }
    void SetProgressFactory(indCloneProgressFactory factory);
    // Told as each transfer of a Clone Write starts (backup, write, read-back), so the
    // progress can say which it shows.
    void SetWriteStepObserver(indSafeWrite::StepStarting observer) {
        safeWrite_.SetStepStarting(std::move(observer));
    }
    // Told as the transfer of a Clone Read starts, for the same purpose.
    void SetReadStepObserver(std::function<void()> observer) {
        readStepStarting_ = std::move(observer);
    }

    void CloneRead();
    void CloneWrite();
    // Clone Write of another image than the document's (a backup written back): the same
    // steps and plan, without the document's data checks.
    void CloneWriteImage(const cmcEeprom& image);
    void CloneInformation();
    // The plan of the last write that showed one.
    const clsWritePlan& LastPlan() const { return plan_; }

    indCloneMan& Session() { return *session_; }
    bool Busy() const { return session_->Busy(); }
    const indReceiverInfo& ReceiverInformation() const { return receiverInfo_; }
    indReceiverInfo& ReceiverInformation() { return receiverInfo_; }
    bool WriteConfirmed() const { return writeConfirmed_; }

  private:
    void StartInformation(indCloneMan::Completion completion);
    void InformationCheck(dst_CDrv_Result& result);
    void ReadInformationDone(dst_CDrv_Result& result);
    // The status bar says when a Clone Read ended, and whether it read the receiver.
    void ReadEnded(bool succeeded);
    void ReadDone(dst_CDrv_Result& result);
    void WriteInformationDone(dst_CDrv_Result& result);
    void StartConfirmedWrite(bool planned);
    bool ConfirmPlan(const cmcEeprom* receiver);
    void WriteDone(int code);
    void InformationDone(dst_CDrv_Result& result);
    bool Failed(const dst_CDrv_Result& result);
    int Message(const std::string& key, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);

    indCloneDocument& document_;
    cmcEvMan& events_;
    std::unique_ptr<indCloneMan> session_;
    indSafeWrite safeWrite_;
    indDestination destination_; // the installed one, while a write runs
    indCloneDataHooks hooks_;
    std::function<void()> readStepStarting_;
    indReceiverInfo receiverInfo_{};
    bool writeConfirmed_ = false;
    // While a planned write runs: the image written as prepared, the copy sent and the
    // records replaced on it; the image of CloneWriteImage.
    cmcEeprom prepared_;
    cmcEeprom sent_;
    std::vector<clsRecordRef> replaced_;
    std::unique_ptr<cmcEeprom> otherImage_;
    clsWritePlan plan_;
};
