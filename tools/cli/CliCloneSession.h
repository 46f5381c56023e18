#pragma once

// The clone session of pelham-cli: the same session, checks and timers as the program's,
// run in QCoreApplication's event loop, with a progress bar on standard error when it is a
// terminal, and the serial trace of --trace FILE. Shared by info, read, write and diff.

#include "CliCommand.h"

#include "app/indCloneCommands.h"
#include "clone/cmcSerialTrace.h"
#include "events/cmcEvMan.h"

#include <string>

class CliClone {
  public:
    // With testDestination the receiver's destination must be the given one.
    CliClone(const CliArgs& args, bool testDestination, int destination);

    indCloneMan& Session() { return session_; }
    // What the progress bar of the next transfer is called.
    void SetProgressLabel(std::string label) { progressLabel_ = std::move(label); }
    const indReceiverInfo& Info() const { return info_; }

    // Runs the event loop until Done(); ExitUsage, with nothing sent, when the trace file
    // cannot be written.
    int Run();
    static void Done(int code);

  private:
    void InformationCheck(dst_CDrv_Result& result);

    std::string tracePath_;
    std::string traceError_;
    cmcSerialTraceScope trace_; // before the session, whose port it wraps
    cmcEvMan events_;
    indCloneMan session_;
    indReceiverInfo info_{};
    std::string progressLabel_ = "cloning";
    bool testDestination_;
    int destination_;
};

// Reads the whole receiver on --port into image (information phase, then the read, with
// the image check). 0 or the clone result code, its message shown.
int ReadReceiver(const CliArgs& args, int destination, cmcEeprom& image);
