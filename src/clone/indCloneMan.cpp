#include "clone/indCloneMan.h"

#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "platform/cmcPlatform.h"

#include <cstdio>
#include <initializer_list>
#include <vector>

namespace {

constexpr int LastHeadLine = 17;

// The check lines that follow the head line of each code (0..17).
const std::vector<int> CheckLines[LastHeadLine + 1] = {
    {},                 // 0: no message at all
    {0, 1, 2, 3},       // 1
    {0, 1, 2, 3},       // 2: cannot access the port
    {0, 1, 2, 3},       // 3
    {0, 1, 2, 3},       // 4: echo
    {0, 1, 2, 3},       // 5: no answer
    {0, 1, 2, 3},       // 6
    {0, 1, 2, 3},       // 7
    {0, 1, 2, 3},       // 8
    {0, 1, 2, 3},       // 9
    {0, 2, 3},          // 10: write not acknowledged
    {0, 1, 2, 3, 4, 5}, // 11
    {0, 1, 2, 3, 4, 5}, // 12
    {6, 7},             // 13: destination mismatch
    {0, 4, 5},          // 14: another model
    {0, 1, 2, 3},       // 15
    {},                 // 16: the text ends with the blank line
    {0, 1, 2, 3},       // 17: write error
};

const std::vector<int> DefaultCheckLines = {0, 1, 2, 3};

// Said when the port exists but the user may not open it.
constexpr char DeniedHintKey[] = "GI_Mess_CloneErr_PortDenied";

std::string ReplaceFirst(std::string text, const std::string& mark, const std::string& value) {
    const size_t at = text.find(mark);
    if (at != std::string::npos) text.replace(at, mark.size(), value);
    return text;
}

std::string HeadLine(const dst_CDrv_Result& result) {
    if (result.code == clonecode::PortAccess)
        return PortAccessMessage(result.portPath, result.portError);
    // Codes past the table have no head line of their own.
    const int line = result.code >= 0 && result.code <= LastHeadLine ? result.code : 1;
    return cmcGTex::Process().GetLine("GI_Mess_CloneErr_Head", line);
}

} // namespace

std::string PortAccessMessage(const std::string& path, cmcPortError error) {
    cmcGTex& text = cmcGTex::Process();
    std::string head = text.GetLine("GI_Mess_CloneErr_Head", clonecode::PortAccess);
    head = ReplaceFirst(ReplaceFirst(head, "%s", path), "%d", path);
    if (error == cmcPortError::Denied) head += "\n" + text.GetText(DeniedHintKey);
    return head;
}

int CloneProgressCells(long done, long total) {
    if (total <= 0) return 0;
    return static_cast<int>(33LL * done / total);
}

indCloneMan::indCloneMan(cmcEvMan& events)
    : events_(events), repaint_(std::make_unique<cmcTask>()) {
    repaint_->setHandler([this](cmcTask&) { Repaint(); });
}

indCloneMan::~indCloneMan() {
    repaint_->stop();
    cmcTask::dispose(std::move(repaint_));
    CloseProgress();
}

std::string indCloneMan::ErrorMessage(const dst_CDrv_Result& result) {
    cmcGTex& text = cmcGTex::Process();
    std::string message = HeadLine(result) + "\n\n";
    const bool known = result.code >= 0 && result.code <= LastHeadLine;
    const std::vector<int>& lines = known ? CheckLines[result.code] : DefaultCheckLines;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) message += "\n";
        message += text.GetLine("GI_Mess_CloneErr_Check", lines[i]);
    }
    return message;
}

bool indCloneMan::StartInformation(Completion completion) {
    if (Busy()) return false;
    events_.Send(ev::CloneStarting, 0, 0);
    phase_ = dst_CDrv_Result::Information;
    completion_ = std::move(completion);
    SetUpDriver(false);
    driver_.StartInformation([this](dst_CDrv_Result& result) { OnDriverDone(result); });
    return true;
}

bool indCloneMan::StartRead(const cmcCloneRange* ranges, Completion completion) {
    if (Busy()) return false;
    BeginTransfer(dst_CDrv_Result::Read, ranges, std::move(completion));
    driver_.StartRead(ranges, [this](dst_CDrv_Result& result) { OnDriverDone(result); });
    return true;
}

bool indCloneMan::StartWrite(const cmcEeprom& image, const cmcCloneRange* ranges,
                             Completion completion) {
    if (Busy()) return false;
    BeginTransfer(dst_CDrv_Result::Write, ranges, std::move(completion));
    driver_.StartWrite(image, ranges, [this](dst_CDrv_Result& result) { OnDriverDone(result); });
    return true;
}

void indCloneMan::BeginTransfer(int phase, const cmcCloneRange* ranges, Completion completion) {
    totalBytes_ = 0;
    for (const cmcCloneRange* range = ranges; range && range->first <= range->last; ++range)
        totalBytes_ += static_cast<long>(int64_t(range->last) - range->first + 1);
    phase_ = phase;
    completion_ = std::move(completion);
    const bool highSpeed = lineSource_ && lineSource_().highSpeed;
    SetUpDriver(highSpeed);
    if (!progress_ && progressFactory_) progress_ = progressFactory_();
    if (progress_) progress_->ShowProgress(0);
    repaint_->setInterval(RepaintIntervalMs);
}

void indCloneMan::SetUpDriver(bool highSpeed) {
    const indCloneLine line = lineSource_ ? lineSource_() : indCloneLine{};
    if (highSpeed) {
        // Open at 9600 baud and send the speed-switch frame; after its echo and the settle
        // delay the driver reopens the port at 38400 baud for the transfer.
        char word[5];
        std::snprintf(word, sizeof word, "%04X", 12406);
        driver_.SetPort(line.portPath, "38400,N,8,1");
        driver_.SetScript(
            std::string("(9600,N,8,1)FEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFE EEEF E8 ") + word +
            "0001 0000 02 01 FD");
        driver_.SetRequestPreamble(HighSpeedRequestPreamble);
        driver_.SetDataPreamble(0);
    } else {
        driver_.SetPort(line.portPath, "9600,N,8,1");
        driver_.SetScript("");
    }
    driver_.SetSettleDelay(SettleDelayMs);
    driver_.SetEchoExpected(true);
    driver_.SetEndFrameCarriesCount(true);
    driver_.SetDataBytesPerFrame(DataBytesPerFrame);
    driver_.SetEndReplyTimeout(EndReplyTimeoutMs);
}

void indCloneMan::OnDriverDone(dst_CDrv_Result& result) {
    if (result.phase == dst_CDrv_Result::Information) {
        if (infoCheck_)
            infoCheck_(result);
        else
            result.code = clonecode::IllegalInformation;
    } else if (result.phase == dst_CDrv_Result::Read) {
        if (imageCheck_)
            imageCheck_(result);
        else
            result.code = clonecode::NotEnoughData;
    }
    if (progress_) progress_->ShowProgress(CloneProgressCells(driver_.DataBytes(), totalBytes_));
    if (result.code != clonecode::Ok)
        cmcMessage(ErrorMessage(result), cmcGTex::Process().GetText("GI_Sys_AppTitle"),
                   MsgIcon::Error);
    events_.Send(ev::CloneEnding, 0, 0);
    CloseProgress();
    events_.Send(ev::ClonePhaseDone, result.code == clonecode::Ok ? 1 : 0, 0);
    if (!completion_) return;
    Completion completion = std::move(completion_);
    completion_ = nullptr;
    completion(result);
}

void indCloneMan::Repaint() {
    if (progress_) progress_->ShowProgress(CloneProgressCells(driver_.DataBytes(), totalBytes_));
    if (!driver_.Busy()) repaint_->setInterval(-1);
}

void indCloneMan::CloseProgress() {
    progress_.reset();
}
