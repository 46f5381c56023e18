// pelham-cli info, read and write: the receiver over the cloning cable, through the same
// clone session as the program. The exit status is the clone result code.

#include "CliCloneSession.h"
#include "CliDocument.h"

#include "app/indCloneCommands.h"
#include "app/indCloneSafety.h"
#include "app/indDocumentFile.h"
#include "app/indWritePlan.h"
#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "model/cmcDataChecks.h"
#include "model/cmcImageCorrection.h"

#include <cstdio>
#include <optional>
#include <string>

namespace {

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
    cmcEeprom image;
    if (int code = ReadReceiver(args, document.Destination().Index(), image); code != 0)
        return code;
    // The output file is written only from a complete, checked image.
    return WriteDocumentFile(args.positional[0], image);
}

// The data checks of a Clone Write: errors refuse the write (false); otherwise question
// names the question that warnings, or none, make.
bool CheckWriteData(cmcOrganisation& organisation, std::string& question) {
    cmcGTex& text = cmcGTex::Process();
    const std::vector<clsDataFinding> findings = RunDataChecks(organisation);
    for (const clsDataFinding& finding : findings)
        std::fprintf(stderr, "%s row %d: %s: %s\n", finding.sheet.c_str(), finding.row,
                     finding.error ? "error" : "warning", finding.what.c_str());
    if (HasErrors(findings)) {
        cmcMessage(text.GetLines("GI_Mess_DataError"), text.GetText("GI_Sys_AppTitle"),
                   MsgIcon::Error);
        return false;
    }
    question = findings.empty() ? "GI_Mess_Confirm_CloneWrite" : "GI_Mess_DataWarn";
    return true;
}

bool Ask(const std::string& question) {
    cmcGTex& text = cmcGTex::Process();
    return cmcMessage(text.GetLines(question), text.GetText("GI_Sys_AppTitle"), MsgIcon::Warning,
                      MsgButtons::OkCancel) == answer::Ok;
}

// What a write would do, on standard output: the summary, then each sheet's lines.
void PrintPlan(const clsWritePlan& plan) {
    for (const std::string& line : plan.Text())
        std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// What is sent: the document in stored form, with the records the destination does not
// allow replaced on a copy.
std::vector<clsRecordRef> WritableCopy(CliDocument& document, cmcEeprom& copy) {
    PrepareForSave(document.Organisation());
    copy.Assign(document.Image());
    cmcOrganisation organisation(copy, &document.Destination());
    organisation.RecountOrganisation(); // the counts only: the bytes stay as they are
    return ReplaceDisallowedRecords(organisation);
}

// The steps around the write: the settings, overridden by --no-backup and --verify.
indSafeWrite::Options SafetyOptions(const CliArgs& args, const CliDocument& document) {
    const indCloneSafetySettings settings = ReadCloneSafetySettings();
    indSafeWrite::Options options;
    options.backup = settings.backupBeforeWrite && !args.has("--no-backup");
    options.verify = settings.verifyAfterWrite || args.has("--verify");
    options.backupFolder = DefaultBackupFolder();
    options.destination = &document.Destination();
    options.japaneseText = document.JapaneseText();
    return options;
}

// The progress bar's name for each step, in the order of indSafeWrite::Step.
constexpr const char* StepLabels[] = {"backup", "writing", "verifying"};

int RunWrite(const CliArgs& args) {
    if (auto usage = CheckPort("write", args)) return *usage;
    if (args.positional.size() != 1) return CliUsageError("write", "one input file is needed");
    CliDocument document;
    if (int code = document.Open(args, "write", args.positional[0]); code != 0) return code;
    std::string question;
    if (!CheckWriteData(document.Organisation(), question)) return 1;
    clsWritePlanInput planInput;
    cmcEeprom image;
    planInput.replaced = WritableCopy(document, image);
    planInput.document = &document.Image();
    planInput.sent = &image;
    planInput.destination = &document.Destination();
    planInput.japaneseText = document.JapaneseText();
    // --plan: the receiver is read and compared; nothing is sent.
    if (args.has("--plan")) {
        cmcEeprom receiver;
        if (int code = ReadReceiver(args, document.Destination().Index(), receiver); code != 0)
            return code;
        planInput.receiver = &receiver;
        const clsWritePlan plan = BuildWritePlan(planInput);
        PrintPlan(plan);
        return plan.receiverChanges ? 1 : 0;
    }
    // With --yes nothing is asked; else the plan is printed before the question, once the
    // backup has read the receiver.
    if (args.has("--yes") && !Ask(question)) return 1;
    cmcGTex& text = cmcGTex::Process();
    const std::string title = text.GetText("GI_Sys_AppTitle");
    indSafeWrite::Options options = SafetyOptions(args, document);
    if (!args.has("--yes"))
        options.beforeWrite = [&](const cmcEeprom* receiver) {
            planInput.receiver = receiver;
            PrintPlan(BuildWritePlan(planInput));
            return Ask(question);
        };

    CliClone clone(args, true, document.Destination().Index());
    indSafeWrite write(clone.Session());
    write.SetStepStarting(
        [&](indSafeWrite::Step step) { clone.SetProgressLabel(StepLabels[int(step)]); });
    auto written = [&](int code) {
        if (!write.BackupPath().empty())
            std::fprintf(stderr, "backup: %s\n", write.BackupPath().c_str());
        if (code == clonecode::Ok && options.verify)
            std::fprintf(stderr, "verified: the receiver holds what was written\n");
        if (code == clonecode::Ok)
            cmcMessage(text.GetLines("GI_Mess_CloneWrite_Succeeded"), title, MsgIcon::Information);
        CliClone::Done(code == safecode::Cancelled ? 1 : code);
    };
    clone.Session().StartInformation([&](dst_CDrv_Result& result) {
        if (result.code != clonecode::Ok) return CliClone::Done(result.code);
        write.Start(image, options, written);
    });
    return clone.Run();
}

const CliRegistration info({"info", "--port PATH [--trace FILE]", RunInfo,
                            "Shows the receiver's model, destination and flags."});
const CliRegistration read({"read", "--port PATH [--high-speed] [--trace FILE] OUT.tcf", RunRead,
                            "Reads the receiver's memory into a clone data file."});
const CliRegistration write({"write",
                             "--port PATH [--high-speed] [--yes] [--no-backup] [--verify] "
                             "[--plan] [--trace FILE] FILE.tcf",
                             RunWrite,
                             "Writes a clone data file (or a backup) into the receiver; --plan "
                             "prints what would change and sends nothing (exit 0 when nothing "
                             "would)."});

} // namespace
