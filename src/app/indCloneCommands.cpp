#include "app/indCloneCommands.h"

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcOrganisation.h"
#include "model/cmcUndoHistory.h"
#include "platform/cmcPlatform.h"

#include <cstdio>
#include <ctime>

const cmcCloneRange DocumentRanges[2] = {{0, MapSize - 1}, {1, 0}};

int CheckReceiverIdentity(const dst_CDrv_Result& result, indReceiverInfo& info) {
    if (result.modelWord != ReceiverModelWord) return clonecode::IllegalInformation;
    if (result.extraWord != ReceiverExtraWord) return clonecode::WrongModel;
    if (result.payload.Length() != ReceiverInfoSize) return clonecode::IllegalInformation;
    std::copy(result.payload.Data(), result.payload.Data() + ReceiverInfoSize, info.begin());
    return clonecode::Ok;
}

bool DestinationMatches(int installed, const indReceiverInfo& info) {
    return installed != NoDestination && installed == info[ReceiverDestinationByte];
}

int CheckReceivedImage(const dst_CDrv_Result& result) {
    return result.image.HasFormatMarker() ? clonecode::Ok : clonecode::BadImage;
}

indSafeWrite::Options indCloneDocument::CloneWriteSafety() {
    const indCloneSafetySettings settings = ReadCloneSafetySettings();
    indSafeWrite::Options options;
    options.backup = settings.backupBeforeWrite;
    options.verify = settings.verifyAfterWrite;
    options.backupFolder = DefaultBackupFolder();
    return options;
}

indCloneCommands::indCloneCommands(indCloneDocument& document, cmcEvMan& events)
    : document_(document), events_(events), session_(std::make_unique<indCloneMan>(events)),
      safeWrite_(*session_) {
    session_->SetLineSource([this] { return document_.CloneLine(); });
    session_->InstallInformationCheck(
        [this](dst_CDrv_Result& result) { InformationCheck(result); });
    session_->InstallImageCheck([](dst_CDrv_Result& result) {
        if (result.code == clonecode::Ok && result.phase == dst_CDrv_Result::Read)
            result.code = CheckReceivedImage(result);
    });
}

indCloneCommands::~indCloneCommands() = default;

void indCloneCommands::SetProgressFactory(indCloneProgressFactory factory) {
    session_->SetProgressFactory(std::move(factory));
}

int indCloneCommands::Message(const std::string& key, MsgIcon icon, MsgButtons buttons) {
    cmcGTex& text = cmcGTex::Process();
    return cmcMessage(text.GetLines(key), text.GetText("GI_Sys_AppTitle"), icon, buttons);
}

void indCloneCommands::InformationCheck(dst_CDrv_Result& result) {
    if (result.code != clonecode::Ok || result.phase != dst_CDrv_Result::Information) return;
    result.code = CheckReceiverIdentity(result, receiverInfo_);
    if (result.code != clonecode::Ok) return;
    // With the main window hidden the Initial Setup asks: it adopts the receiver's
    // destination afterwards, so any destination passes.
    if (!DestinationMatches(document_.InstalledDestination(), receiverInfo_) &&
        document_.MainWindowVisible())
        result.code = clonecode::VersionMismatch;
}

// A failed phase leaves no confirmation behind: a later Clone Write must ask again.
bool indCloneCommands::Failed(const dst_CDrv_Result& result) {
    if (result.code == clonecode::Ok) return false;
    writeConfirmed_ = false;
    return true;
}

void indCloneCommands::StartInformation(indCloneMan::Completion completion) {
    session_->SetRequestWords(ReceiverModelWord, 0);
    session_->StartInformation(std::move(completion));
}

// ---- Clone Read ----

void indCloneCommands::CloneRead() {
    if (document_.ConfirmSave(false) == answer::Cancel) return;
    if (Busy()) return;
    writeConfirmed_ = false;
    StartInformation([this](dst_CDrv_Result& result) { ReadInformationDone(result); });
}

void indCloneCommands::ReadInformationDone(dst_CDrv_Result& result) {
    if (Failed(result)) return ReadEnded(false);
    if (Busy()) return;
    session_->SetImageSize(document_.WorkingImage().GetSize());
    session_->SetRequestWords(ReceiverModelWord, 0);
    if (readStepStarting_) readStepStarting_();
    session_->StartRead(DocumentRanges, [this](dst_CDrv_Result& read) { ReadDone(read); });
}

void indCloneCommands::ReadDone(dst_CDrv_Result& result) {
    if (Failed(result)) return ReadEnded(false);
    events_.Send(ev::ReceiverFlags, 1, 0);
    cmcEeprom& working = document_.WorkingImage();
    working.Assign(result.image);
    document_.AdoptLoadedImage(working);
    document_.MarkModified(); // the document now differs from every file
    document_.ClearFileName();
    events_.Send(ev::ReceiverFlags, 0, 1);
    document_.CloseSheet();
    events_.Send(ev::RebuildBranches, 0, 0);
    document_.ActionDone(undoAction::CloneRead);
    ReadEnded(true);
}

void indCloneCommands::ReadEnded(bool succeeded) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    cmcLocale* locale = cmcPlatform::get().locale;
    const char separator = locale ? locale->timeSeparator() : ':';
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d%c%02d", local.tm_hour, separator, local.tm_min);
    const std::string line = cmcGTex::Process().GetLine("GI_Clone_Read_Ended", succeeded ? 0 : 1);
    std::string text = line;
    if (const size_t at = line.find("%s"); at != std::string::npos) text.replace(at, 2, clock);
    document_.ShowStatus(text);
}

// ---- Clone Write ----

void indCloneCommands::CloneWrite() {
    events_.Send(ev::CommitInput, 0, 0);
    if (Busy()) return;
    writeConfirmed_ = false;
    otherImage_.reset();
    StartInformation([this](dst_CDrv_Result& result) { WriteInformationDone(result); });
}

void indCloneCommands::CloneWriteImage(const cmcEeprom& image) {
    if (Busy()) return;
    writeConfirmed_ = false;
    otherImage_ = std::make_unique<cmcEeprom>();
    otherImage_->Assign(image);
    StartInformation([this](dst_CDrv_Result& result) { WriteInformationDone(result); });
}

void indCloneCommands::WriteInformationDone(dst_CDrv_Result& result) {
    if (Failed(result) || Busy()) return;
    events_.Send(ev::ReceiverFlags, 1, 1);
    document_.CloseSheet();
    events_.Send(ev::RebuildBranches, 0, 0);

    // The plan replaces the question: it is asked once the receiver has been read.
    const bool planned = ReadCloneSafetySettings().showWritePlan;
    if (otherImage_) return StartConfirmedWrite(true);
    if (!hooks_.warningCheck) {
        writeConfirmed_ = false;
        Message("GI_Mess_DataError", MsgIcon::Error);
        return;
    }
    const indCheckCounts counts = hooks_.warningCheck();
    if (counts.errors > 0) {
        writeConfirmed_ = false;
        Message("GI_Mess_DataError", MsgIcon::Error);
        return;
    }
    if (writeConfirmed_ || planned) {
        writeConfirmed_ = false;
        StartConfirmedWrite(planned);
        return;
    }
    const char* question = counts.warnings == 0 ? "GI_Mess_Confirm_CloneWrite" : "GI_Mess_DataWarn";
    if (Message(question, MsgIcon::Warning, MsgButtons::OkCancel) != answer::Ok) return;
    // Ask the receiver again right before writing: it may have been swapped meanwhile.
    writeConfirmed_ = true;
    StartInformation([this](dst_CDrv_Result& again) { WriteInformationDone(again); });
}

void indCloneCommands::StartConfirmedWrite(bool planned) {
    destination_.SetIndex(document_.InstalledDestination());
    if (otherImage_) {
        // An image from elsewhere is written as the document would be once opened.
        prepared_.Assign(*otherImage_);
        cmcOrganisation organisation(prepared_, &destination_);
        AdoptLoadedImage(organisation);
        PrepareForSave(organisation);
    } else {
        cmcEeprom& working = document_.WorkingImage();
        if (hooks_.prepareForWrite) hooks_.prepareForWrite(working);
        prepared_.Assign(working);
    }
    session_->SetImageSize(prepared_.GetSize());
    sent_.Assign(prepared_);
    replaced_.clear();
    if (hooks_.replaceDisallowed) replaced_ = hooks_.replaceDisallowed(sent_);
    // The backup read, the plan, the write and the read-back, as the settings ask.
    indSafeWrite::Options options = document_.CloneWriteSafety();
    if (!options.destination) options.destination = &destination_;
    if (planned)
        options.beforeWrite = [this](const cmcEeprom* receiver) { return ConfirmPlan(receiver); };
    safeWrite_.Start(sent_, std::move(options), [this](int code) { WriteDone(code); });
}

// The plan of the write, asked as a list: Write goes on; a line chosen opens its sheet
// and, like Cancel, sends nothing.
bool indCloneCommands::ConfirmPlan(const cmcEeprom* receiver) {
    clsWritePlanInput input;
    input.receiver = receiver;
    input.document = &prepared_;
    input.sent = &sent_;
    input.replaced = replaced_;
    input.destination = &destination_;
    input.japaneseText = document_.JapaneseText();
    plan_ = BuildWritePlan(input);
    const cmcListAnswer answer = cmcAskList(WritePlanQuestion(plan_));
    if (answer.button == 0) return true;
    if (answer.activated && !otherImage_)
        if (const clsPlanLine* line = plan_.LineAt(answer.line); line && !line->record.InFirst())
            document_.ShowRecord(line->record);
    return false;
}

void indCloneCommands::WriteDone(int code) {
    otherImage_.reset();
    if (code != clonecode::Ok) {
        writeConfirmed_ = false;
        return;
    }
    document_.CloseSheet();
    Message("GI_Mess_CloneWrite_Succeeded", MsgIcon::Information);
}

// ---- Clone Information ----

void indCloneCommands::CloneInformation() {
    if (Busy()) return;
    writeConfirmed_ = false;
    StartInformation([this](dst_CDrv_Result& result) { InformationDone(result); });
}

void indCloneCommands::InformationDone(dst_CDrv_Result& result) {
    Failed(result);
    const bool succeeded =
        result.code == clonecode::Ok && result.phase == dst_CDrv_Result::Information;
    if (succeeded) events_.Send(ev::ReceiverFlags, 1, 1);
    if (document_.MainWindowVisible()) {
        if (!succeeded) return;
        document_.OpenCloneInformation();
        document_.CloseSheet();
        return;
    }
    if (succeeded) events_.Send(ev::FinishSetup, 0, 0);
}
