// pelham-cli info, read and write: the receiver over the cloning cable, through the same
// clone session as the program. The exit status is the clone result code.

#include "CliDocument.h"

#include "app/indCloneCommands.h"
#include "app/indDocumentFile.h"
#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "model/cmcDataChecks.h"
#include "model/cmcImageCorrection.h"

#include <QCoreApplication>

#include <cstdio>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

// The progress window as a bar on standard error: 32 cells, like the window's.
class CliProgressBar : public indCloneProgressView {
  public:
    explicit CliProgressBar(const char* what) : what_(what) {}
    ~CliProgressBar() override { std::fputs("\n", stderr); }
    void ShowProgress(int filled) override {
        const int cells = std::min(filled, Cells);
        if (cells == shown_) return;
        shown_ = cells;
        std::string bar(size_t(cells), '#');
        bar.resize(Cells, '.');
        std::fprintf(stderr, "\r%s [%s] %3d%%", what_, bar.c_str(),
                     std::min(filled, 33) * 100 / 33);
        std::fflush(stderr);
    }

  private:
    const char* what_;
    int shown_ = -1;
};

// A clone session on the command line: the phases run in QCoreApplication's event loop,
// driven by the same timers as in the program.
class CliClone {
  public:
    CliClone(const CliArgs& args, bool testDestination, int destination)
        : session_(events_), testDestination_(testDestination), destination_(destination) {
        indCloneLine line;
        line.portPath = args.value("--port").value_or("");
        line.highSpeed = args.has("--high-speed");
        session_.SetLineSource([line] { return line; });
        session_.SetRequestWords(ReceiverModelWord, 0);
        session_.SetImageSize(ImageSize);
        session_.InstallInformationCheck(
            [this](dst_CDrv_Result& result) { InformationCheck(result); });
        session_.InstallImageCheck([](dst_CDrv_Result& result) {
            if (result.code == clonecode::Ok) result.code = CheckReceivedImage(result);
        });
        if (isatty(STDERR_FILENO))
            session_.SetProgressFactory([] { return std::make_unique<CliProgressBar>("cloning"); });
    }

    indCloneMan& Session() { return session_; }
    const indReceiverInfo& Info() const { return info_; }

    // Runs the event loop until Done().
    int Run() { return QCoreApplication::exec(); }
    static void Done(int code) { QCoreApplication::exit(code); }

  private:
    void InformationCheck(dst_CDrv_Result& result) {
        if (result.code != clonecode::Ok) return;
        result.code = CheckReceiverIdentity(result, info_);
        if (result.code == clonecode::Ok && testDestination_ &&
            !DestinationMatches(destination_, info_))
            result.code = clonecode::VersionMismatch;
    }

    cmcEvMan events_;
    indCloneMan session_;
    indReceiverInfo info_{};
    bool testDestination_;
    int destination_;
};

std::optional<int> CheckPort(const char* command, const CliArgs& args) {
    if (!args.value("--port") || args.value("--port")->empty())
        return CliUsageError(command, "--port PATH is needed");
    return std::nullopt;
}

void PrintInformation(const indReceiverInfo& info) {
    std::printf("model 3076 extra 0001\n");
    std::printf("destination %d\n", info[ReceiverDestinationByte]);
    std::printf("fcc-inhibit %d\n", (info[ReceiverFlagsByte] >> 1) & 1);
    std::printf("rx-expansion %d\n", info[ReceiverFlagsByte] & 1);
    std::printf("payload");
    for (uint8_t byte : info)
        std::printf(" %02X", byte);
    std::printf("\n");
}

int RunInfo(const CliArgs& args) {
    if (auto usage = CheckPort("info", args)) return *usage;
    if (!args.positional.empty()) return CliUsageError("info", "no file is taken");
    // Like the Initial Setup, info answers whatever destination the receiver has.
    CliClone clone(args, false, NoDestination);
    clone.Session().StartInformation([&](dst_CDrv_Result& result) {
        if (result.code == clonecode::Ok) PrintInformation(clone.Info());
        CliClone::Done(result.code);
    });
    return clone.Run();
}

int RunRead(const CliArgs& args) {
    if (auto usage = CheckPort("read", args)) return *usage;
    if (args.positional.size() != 1) return CliUsageError("read", "one output file is needed");
    CliDocument document; // the destination of the run; the image comes from the receiver
    if (int status = document.TakeDestination(args, "read"); status != 0) return status;
    const std::string out = args.positional[0];

    CliClone clone(args, true, document.Destination().Index());
    int saveCode = 0;
    auto readDone = [&](dst_CDrv_Result& result) {
        // The output file is written only from a complete, checked image.
        if (result.code == clonecode::Ok) saveCode = WriteDocumentFile(out, result.image);
        CliClone::Done(result.code);
    };
    clone.Session().StartInformation([&](dst_CDrv_Result& result) {
        if (result.code != clonecode::Ok) return CliClone::Done(result.code);
        clone.Session().StartRead(DocumentRanges, readDone);
    });
    const int code = clone.Run();
    return code != 0 ? code : saveCode;
}

// The data checks of a Clone Write: errors refuse the write; warnings, or none, make a
// question. True when the write may go on.
bool ConfirmWrite(cmcOrganisation& organisation) {
    cmcGTex& text = cmcGTex::Process();
    const std::string title = text.GetText("GI_Sys_AppTitle");
    const std::vector<clsDataFinding> findings = RunDataChecks(organisation);
    for (const clsDataFinding& finding : findings)
        std::fprintf(stderr, "%s row %d: %s: %s\n", finding.sheet.c_str(), finding.row,
                     finding.error ? "error" : "warning", finding.what.c_str());
    if (HasErrors(findings)) {
        cmcMessage(text.GetLines("GI_Mess_DataError"), title, MsgIcon::Error);
        return false;
    }
    const char* question = findings.empty() ? "GI_Mess_Confirm_CloneWrite" : "GI_Mess_DataWarn";
    return cmcMessage(text.GetLines(question), title, MsgIcon::Warning, MsgButtons::OkCancel) ==
           answer::Ok;
}

// What is sent: the document in stored form, with the records the destination does not
// allow replaced on a copy.
void WritableCopy(CliDocument& document, cmcEeprom& copy) {
    PrepareForSave(document.Organisation());
    copy.Assign(document.Image());
    cmcOrganisation organisation(copy, &document.Destination());
    organisation.RecountOrganisation(); // the counts only: the bytes stay as they are
    ReplaceDisallowedRecords(organisation);
}

int RunWrite(const CliArgs& args) {
    if (auto usage = CheckPort("write", args)) return *usage;
    if (args.positional.size() != 1) return CliUsageError("write", "one input file is needed");
    CliDocument document;
    if (int code = document.Open(args, "write", args.positional[0]); code != 0) return code;
    if (!ConfirmWrite(document.Organisation())) return 1;
    cmcEeprom image;
    WritableCopy(document, image);
    cmcGTex& text = cmcGTex::Process();
    const std::string title = text.GetText("GI_Sys_AppTitle");

    CliClone clone(args, true, document.Destination().Index());
    clone.Session().StartInformation([&](dst_CDrv_Result& result) {
        if (result.code != clonecode::Ok) return CliClone::Done(result.code);
        clone.Session().StartWrite(image, DocumentRanges, [&](dst_CDrv_Result& written) {
            if (written.code == clonecode::Ok)
                cmcMessage(text.GetLines("GI_Mess_CloneWrite_Succeeded"), title,
                           MsgIcon::Information);
            CliClone::Done(written.code);
        });
    });
    return clone.Run();
}

const CliRegistration info({"info", "--port PATH", RunInfo});
const CliRegistration read({"read", "--port PATH [--high-speed] OUT.tcf", RunRead});
const CliRegistration write({"write", "--port PATH [--high-speed] [--yes] FILE.tcf", RunWrite});

} // namespace
