#include "app/indCloneSafety.h"

#include "app/indCloneCommands.h"
#include "app/indDocumentFile.h"
#include "catalogue/cmcGTex.h"
#include "clone/cmcSerialTrace.h"
#include "files/cmcImageDiff.h"
#include "model/cmcImageCorrection.h"
#include "model/cmcMemoryMap.h"
#include "model/cmcOrganisation.h"
#include "platform/cmcPlatform.h"
#include "platform/cmcUserFolders.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Messages of the steps around a write. The catalogue may carry its own texts under the
// keys; these are the English ones.
struct clsSafetyText {
    const char* key;
    const char* text;
};
constexpr clsSafetyText BackupFailedText = {
    "GI_Mess_Backup_Failed", "The receiver could not be backed up, so nothing was written to it."};
constexpr clsSafetyText BackupNotSavedText = {
    "GI_Mess_Backup_NotSaved",
    "The backup of the receiver could not be saved, so nothing was written to it."};
constexpr clsSafetyText VerifyReadFailedText = {
    "GI_Mess_Verify_ReadFailed",
    "The data was written, but the receiver could not be read back to check it."};
constexpr clsSafetyText VerifyFailedText = {
    "GI_Mess_Verify_Failed", "The receiver does not hold what was written. It differs in:"};

constexpr clsSafetyText TraceFailedText = {"GI_Mess_Trace_Failed",
                                           "Cannot write the serial trace to %s: %s"};

constexpr int ShownDifferences = 20;
constexpr char BackupPrefix[] = "backup-";

std::string Text(const clsSafetyText& text) {
    cmcGTex& catalogue = cmcGTex::Process();
    return catalogue.HasKey(text.key) ? catalogue.GetText(text.key) : std::string(text.text);
}

void ShowError(const std::string& message) {
    cmcMessage(message, cmcGTex::Process().GetText("GI_Sys_AppTitle"), MsgIcon::Error);
}

std::optional<bool> ReadFlag(const std::string& name) {
    cmcSettingsBackend* settings = cmcPlatform::get().settings;
    if (!settings) return std::nullopt;
    if (auto number = settings->readInt(SettingsScope::User, "Clone", name)) return *number != 0;
    auto text = settings->readString(SettingsScope::User, "Clone", name);
    if (text == "true") return true;
    if (text == "false") return false;
    return std::nullopt;
}

// The backups in a folder, oldest first.
std::vector<fs::path> ExistingBackups(const fs::path& folder) {
    std::vector<fs::path> backups;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(BackupPrefix, 0) == 0 && entry.path().extension() == ".tcf")
            backups.push_back(entry.path());
    }
    std::sort(backups.begin(), backups.end());
    return backups;
}

// "backup-20261210-143005-00.tcf": names that sort in the order they were made; the last
// number follows the backups already made within the same second.
std::string NewBackupName(const std::vector<fs::path>& existing) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S-", &local);
    const std::string prefix = BackupPrefix + std::string(stamp);
    int number = 0;
    for (const fs::path& path : existing) {
        const std::string name = path.filename().string();
        if (name.rfind(prefix, 0) == 0)
            number = std::max(number, std::atoi(name.c_str() + prefix.size()) + 1);
    }
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", number);
    return prefix + digits + ".tcf";
}

bool SameMap(const cmcEeprom& a, const cmcEeprom& b) {
    return a.GetSize() >= MapSize && b.GetSize() >= MapSize &&
           std::equal(a.Data(), a.Data() + MapSize, b.Data());
}

void RemoveOldBackups(const fs::path& folder) {
    const std::vector<fs::path> backups = ExistingBackups(folder);
    std::error_code error;
    for (size_t i = 0; i + BackupsKept < backups.size(); ++i)
        fs::remove(backups[i], error);
}

} // namespace

indCloneSafetySettings ReadCloneSafetySettings() {
    indCloneSafetySettings settings;
    settings.backupBeforeWrite = ReadFlag("BackupBeforeWrite").value_or(true);
    settings.verifyAfterWrite = ReadFlag("VerifyAfterWrite").value_or(false);
    settings.showWritePlan = ReadFlag("ShowWritePlan").value_or(true);
    return settings;
}

void WriteCloneSafetySettings(const indCloneSafetySettings& settings) {
    cmcSettingsBackend* backend = cmcPlatform::get().settings;
    if (!backend) return;
    backend->writeInt(SettingsScope::User, "Clone", "BackupBeforeWrite",
                      settings.backupBeforeWrite ? 1 : 0);
    backend->writeInt(SettingsScope::User, "Clone", "VerifyAfterWrite",
                      settings.verifyAfterWrite ? 1 : 0);
    backend->writeInt(SettingsScope::User, "Clone", "ShowWritePlan",
                      settings.showWritePlan ? 1 : 0);
}

bool StartSerialTrace(const std::string& path) {
    std::string error;
    std::shared_ptr<cmcSerialTrace> trace = cmcSerialTrace::Create(path, error);
    if (!trace) {
        std::string message = Text(TraceFailedText);
        size_t at = 0;
        for (const std::string& value : {path, error}) {
            if ((at = message.find("%s", at)) == std::string::npos) break;
            message.replace(at, 2, value);
            at += value.size();
        }
        ShowError(message);
        return false;
    }
    cmcSerialTrace::SwitchTo(std::move(trace));
    return true;
}

std::string DefaultBackupFolder() {
    return (fs::path(cmcUserFolder("XDG_DATA_HOME", ".local/share")) / "backups").string();
}

int SaveBackup(const std::string& folder, const cmcEeprom& image, std::string& path) {
    std::error_code error;
    fs::create_directories(folder, error);
    path = (fs::path(folder) / NewBackupName(ExistingBackups(folder))).string();
    if (int code = WriteDocumentFile(path, image); code != 0) return code;
    RemoveOldBackups(folder);
    return 0;
}

namespace {

// "backup-20261210-143005-00.tcf" → "2026-12-10 14:30:05"; another name as it is.
std::string BackupTime(const std::string& name) {
    const size_t prefix = sizeof BackupPrefix - 1;
    if (name.size() < prefix + 15 || name[prefix + 8] != '-') return name;
    const std::string stamp = name.substr(prefix, 15);
    return stamp.substr(0, 4) + "-" + stamp.substr(4, 2) + "-" + stamp.substr(6, 2) + " " +
           stamp.substr(9, 2) + ":" + stamp.substr(11, 2) + ":" + stamp.substr(13, 2);
}

// The differences between two images as each reads once opened, on copies of them.
std::vector<clsImageDifference> DiffAsOpened(const cmcEeprom& a, const cmcEeprom& b,
                                             const indDestination* destination, bool japaneseText) {
    cmcEeprom copyA, copyB;
    copyA.Assign(a);
    copyB.Assign(b);
    cmcOrganisation organisationA(copyA, destination), organisationB(copyB, destination);
    AdoptLoadedImage(organisationA);
    AdoptLoadedImage(organisationB);
    clsImageDiffOptions options;
    options.japaneseText = japaneseText;
    return DiffDocuments(organisationA, organisationB, options);
}

} // namespace

std::vector<clsBackupEntry> ListBackups(const std::string& folder, const cmcEeprom* document,
                                        const indDestination* destination, bool japaneseText) {
    std::vector<fs::path> paths = ExistingBackups(folder);
    std::reverse(paths.begin(), paths.end());
    std::vector<clsBackupEntry> backups;
    for (const fs::path& path : paths) {
        clsBackupEntry& entry = backups.emplace_back();
        entry.path = path.string();
        entry.when = BackupTime(path.filename().string());
        cmcEeprom image;
        image.SetSize(ImageSize);
        if (ReadDocumentFile(entry.path, image) != 0) {
            entry.differences = -1;
            continue;
        }
        entry.comment = CloneComment(image);
        if (!document || SameMap(*document, image)) continue;
        // In the sheets' terms only: bytes that opening rewrites are no difference here.
        entry.differences = int(DiffAsOpened(*document, image, destination, japaneseText).size());
    }
    return backups;
}

cmcListQuestion RestoreQuestion(const std::string& folder,
                                const std::vector<clsBackupEntry>& backups) {
    cmcGTex& text = cmcGTex::Process();
    constexpr char Key[] = "GI_Restore_Window";
    cmcListQuestion question;
    question.caption = text.GetLine(Key, 0);
    question.summary = cmcFillIn(text.GetLine(Key, backups.empty() ? 2 : 1), {folder});
    // Each line: when it was made, the receiver's comment and how it stands to the document.
    for (const clsBackupEntry& backup : backups) {
        const std::string standing =
            backup.differences < 0    ? text.GetLine(Key, 8)
            : backup.differences == 0 ? text.GetLine(Key, 7)
            : backup.differences == 1
                ? text.GetLine(Key, 9)
                : cmcFillIn(text.GetLine(Key, 6), {std::to_string(backup.differences)});
        question.lines.push_back({backup.when + '\t' + backup.comment + '\t' + standing});
    }
    if (!backups.empty()) question.buttons = {text.GetLine(Key, 3), text.GetLine(Key, 4)};
    question.chooseLine = true;
    question.cancelButton = text.GetLine(Key, 5);
    return question;
}

std::vector<std::string> DescribeImageDifferences(const cmcEeprom& a, const cmcEeprom& b,
                                                  const indDestination* destination,
                                                  bool japaneseText) {
    std::vector<std::string> lines;
    for (const clsImageDifference& difference : DiffAsOpened(a, b, destination, japaneseText))
        lines.push_back(difference.Text());
    // A difference adoption hides (a byte the program rewrites on loading) still counts.
    if (lines.empty()) lines = DifferingAddresses(a, b, MapSize);
    return lines;
}

std::vector<std::string> DifferingAddresses(const cmcEeprom& a, const cmcEeprom& b, int limit) {
    std::vector<std::string> lines;
    const int size = std::min({a.GetSize(), b.GetSize(), MapSize});
    for (int address = 0; address < size && int(lines.size()) < limit; ++address) {
        if (a.GetByte(address) == b.GetByte(address)) continue;
        char line[64];
        std::snprintf(line, sizeof line, "address %d: %02X → %02X", address, a.GetByte(address),
                      b.GetByte(address));
        lines.push_back(line);
    }
    return lines;
}

// ---- indSafeWrite ----

bool indSafeWrite::Start(const cmcEeprom& image, Options options, Done done) {
    if (session_.Busy()) return false;
    image_.Assign(image);
    options_ = std::move(options);
    done_ = std::move(done);
    backupPath_.clear();
    differences_.clear();
    if (options_.backup)
        StartBackup();
    else if (options_.beforeWrite && !options_.beforeWrite(nullptr))
        Finish(safecode::Cancelled);
    else
        StartWrite();
    return true;
}

void indSafeWrite::Starting(Step step) {
    if (stepStarting_) stepStarting_(step);
    session_.SetRequestWords(ReceiverModelWord, 0);
    session_.SetImageSize(image_.GetSize());
}

void indSafeWrite::StartBackup() {
    Starting(Step::Backup);
    session_.StartRead(DocumentRanges, [this](dst_CDrv_Result& result) { BackupDone(result); });
}

void indSafeWrite::BackupDone(dst_CDrv_Result& result) {
    // The session has shown why the read failed; say what that means for the write.
    if (result.code != clonecode::Ok) {
        ShowError(Text(BackupFailedText));
        return Finish(result.code);
    }
    if (SaveBackup(options_.backupFolder, result.image, backupPath_) != 0) {
        backupPath_.clear();
        ShowError(Text(BackupNotSavedText));
        return Finish(safecode::BackupNotSaved);
    }
    if (options_.beforeWrite && !options_.beforeWrite(&result.image))
        return Finish(safecode::Cancelled);
    StartWrite();
}

void indSafeWrite::StartWrite() {
    Starting(Step::Write);
    session_.StartWrite(image_, DocumentRanges,
                        [this](dst_CDrv_Result& result) { WriteDone(result); });
}

void indSafeWrite::WriteDone(dst_CDrv_Result& result) {
    if (result.code != clonecode::Ok || !options_.verify) return Finish(result.code);
    Starting(Step::Verify);
    session_.StartRead(DocumentRanges, [this](dst_CDrv_Result& back) { VerifyDone(back); });
}

void indSafeWrite::VerifyDone(dst_CDrv_Result& result) {
    if (result.code != clonecode::Ok) {
        ShowError(Text(VerifyReadFailedText));
        return Finish(result.code);
    }
    if (SameMap(image_, result.image)) return Finish(clonecode::Ok);
    differences_ =
        DescribeImageDifferences(image_, result.image, options_.destination, options_.japaneseText);
    std::string message = Text(VerifyFailedText);
    const size_t shown = std::min(differences_.size(), size_t(ShownDifferences));
    for (size_t i = 0; i < shown; ++i)
        message += "\n" + differences_[i];
    if (differences_.size() > shown)
        message += "\n(" + std::to_string(differences_.size() - shown) + " more)";
    ShowError(message);
    Finish(safecode::VerifyFailed);
}

void indSafeWrite::Finish(int code) {
    Done done = std::move(done_);
    done_ = nullptr;
    if (done) done(code);
}
