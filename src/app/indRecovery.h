#pragma once

// Crash recovery: while the document has unsaved changes, the working image goes to a
// recovery file (the safe way) at most once per interval after a change; the file goes
// away when there is nothing unsaved any more or the program ends cleanly. A file found at
// start was left by a run that did not end cleanly; the controller offers to restore it.

#include "model/cmcEeprom.h"
#include "platform/cmcTask.h"

#include <cstdint>
#include <string>
#include <vector>

class indRecovery {
  public:
    static constexpr uint32_t DefaultIntervalMs = 30000;

    // Recovery is off until Start names the file.
    indRecovery() = default;
    // Recovery into this file from now on; a file already there was left by an earlier run.
    void Start(std::string path);

    // $XDG_STATE_HOME/pelham/recovery.tcf, else ~/.local/state/pelham/recovery.tcf.
    static std::string DefaultPath();
    // The folder $XDG_STATE_HOME/pelham (as DefaultPath).
    static std::string DefaultFolder();

    const std::string& Path() const { return path_; }
    void SetInterval(uint32_t ms) { interval_ = ms; }

    // A file left by an earlier run waits to be offered; it stays on disk until
    // TakeLeftOver answers for it.
    bool LeftOver() const { return leftOver_; }
    // The offer was answered: the file is read into the image (restore) or removed.
    // Returns the file result code of the read (0 when restored or not asked to).
    int TakeLeftOver(bool restore, cmcEeprom& image);

    // Run by the controller task: starts the interval at the first change not yet on disk,
    // writes when it has run out, and removes the file once nothing is unsaved.
    void Step(const cmcEeprom& working, bool modified);
    // The document ends cleanly: the file goes.
    void Discard();

    // Writes done (for the tests).
    int Writes() const { return writes_; }

  private:
    void Write(const cmcEeprom& working);
    bool Matches(const cmcEeprom& working) const;

    std::string path_;
    uint32_t interval_ = DefaultIntervalMs;
    bool leftOver_ = false;
    cmcTick due_;
    std::vector<uint8_t> written_; // the image on disk, empty when there is no file
    int writes_ = 0;
};
