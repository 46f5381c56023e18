#pragma once

// What Pelham adds around a Clone Write to keep the receiver's own programming safe: a
// backup read of the whole receiver before anything is sent, and on request a read-back
// after the write that must match what was sent. Shared by the program and pelham-cli.

#include "clone/indCloneMan.h"
#include "model/cmcEeprom.h"
#include "platform/cmcPlatform.h"

#include <functional>
#include <string>
#include <vector>

class indDestination;

// Result codes of the steps around a write, after the clone session's own (0..17).
namespace safecode {
constexpr int BackupNotSaved = 18; // the backup read worked, its file could not be written
constexpr int VerifyFailed = 19;   // the receiver holds something other than what was sent
constexpr int Cancelled = 20;      // the user chose not to write after seeing the plan
} // namespace safecode

// The settings "Clone/BackupBeforeWrite" (on unless 0 or "false"),
// "Clone/VerifyAfterWrite" (off unless not 0 or "true") and "Clone/ShowWritePlan" (on
// unless 0 or "false").
struct indCloneSafetySettings {
    bool backupBeforeWrite = true;
    bool verifyAfterWrite = false;
    bool showWritePlan = true;
};
indCloneSafetySettings ReadCloneSafetySettings();
void WriteCloneSafetySettings(const indCloneSafetySettings& settings);

// The serial trace switched on for the rest of the run into the file at path (replaced);
// false, with the reason shown, when the file cannot be written.
bool StartSerialTrace(const std::string& path);

// Backups of the receiver: dated clone data files in $XDG_DATA_HOME/pelham/backups (else
// ~/.local/share/pelham/backups), the newest BackupsKept of them kept.
constexpr int BackupsKept = 20;
std::string DefaultBackupFolder();
// Writes the image as a new dated file in the folder (made when missing), then removes the
// oldest backups beyond BackupsKept. 0 and the file's path, or the file error code (shown).
int SaveBackup(const std::string& folder, const cmcEeprom& image, std::string& path);

// One backup as Restore Backup and "pelham-cli backups" list it.
struct clsBackupEntry {
    std::string path;
    std::string when;    // "2026-12-10 14:30:05", from the file's name
    std::string comment; // the receiver's clone comment
    int differences = 0; // from the document compared with; -1: the file cannot be read
};
// The backups in the folder, newest first; with a document, how many differences each has
// from it in the sheets' terms (bytes that opening a file rewrites do not count).
std::vector<clsBackupEntry> ListBackups(const std::string& folder, const cmcEeprom* document,
                                        const indDestination* destination, bool japaneseText);
// The list question of Restore Backup: one line per backup; buttons Open as New Document
// (0) and Write to Receiver (1).
cmcListQuestion RestoreQuestion(const std::string& folder,
                                const std::vector<clsBackupEntry>& backups);

// Runs a Clone Write on a session whose information phase has passed: the backup read (if
// asked), the write, and the read-back (if asked). The session's checks, messages and
// progress stay as they are; this adds its own messages for a backup that failed (nothing
// is written then) and for a read-back that differs (naming what differs).
class indSafeWrite {
  public:
    enum class Step { Backup, Write, Verify };
    struct Options {
        bool backup = true;
        bool verify = false;
        std::string backupFolder;
        // How a read-back that differs is described: the destination the images are
        // adopted for, and whether names are half-width katakana.
        const indDestination* destination = nullptr;
        bool japaneseText = false;
        // Asked right before the write, with what the receiver holds when the backup read
        // it (none without a backup); false: nothing is written, the result is Cancelled.
        std::function<bool(const cmcEeprom* receiver)> beforeWrite;
    };
    using StepStarting = std::function<void(Step step)>;
    using Done = std::function<void(int code)>;

    explicit indSafeWrite(indCloneMan& session) : session_(session) {}

    // Called before each transfer starts, so the caller can label its progress.
    void SetStepStarting(StepStarting starting) { stepStarting_ = std::move(starting); }
    // False when the session is busy. done runs once with 0 or the failing code.
    bool Start(const cmcEeprom& image, Options options, Done done);

    const std::string& BackupPath() const { return backupPath_; }
    const std::vector<std::string>& Differences() const { return differences_; }

  private:
    void StartBackup();
    void BackupDone(dst_CDrv_Result& result);
    void StartWrite();
    void WriteDone(dst_CDrv_Result& result);
    void VerifyDone(dst_CDrv_Result& result);
    void Finish(int code);
    void Starting(Step step);

    indCloneMan& session_;
    cmcEeprom image_;
    Options options_;
    StepStarting stepStarting_;
    Done done_;
    std::string backupPath_;
    std::vector<std::string> differences_;
};

// What differs between two receiver images, each adopted on a copy for the destination,
// as the sheets name it; bytes no sheet shows by address.
std::vector<std::string> DescribeImageDifferences(const cmcEeprom& a, const cmcEeprom& b,
                                                  const indDestination* destination,
                                                  bool japaneseText);

// The map addresses where two images differ, as "address 116742: 13 → 0C" lines, at most
// limit of them.
std::vector<std::string> DifferingAddresses(const cmcEeprom& a, const cmcEeprom& b, int limit);
