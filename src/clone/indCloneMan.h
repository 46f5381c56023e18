#pragma once

#include "clone/cmcCloneDrv.h"
#include "clone/indCloneProgress.h"

#include <functional>
#include <memory>
#include <string>

class cmcEvMan;
class cmcTask;

// What the session reads from the settings at the start of each phase.
struct indCloneLine {
    std::string portPath = "/dev/ttyUSB0"; // "ComPort"
    bool highSpeed = false;                // "ComSpeedHigh" not 0
};

// "Cannot access <path>." with, when the port exists but the user may not open it, how to
// get the permission.
std::string PortAccessMessage(const std::string& path, cmcPortError error);

// The clone session: stands between the document and the protocol driver. It sets the
// driver up for each phase (information, read, write) at normal or high speed, shows the
// progress window during reads and writes, runs the two checks the document installs,
// shows the error message of a failed phase and passes the result on.
class indCloneMan {
  public:
    using Hook = std::function<void(dst_CDrv_Result& result)>;
    using Completion = std::function<void(dst_CDrv_Result& result)>;

    static constexpr int RepaintIntervalMs = 30;
    static constexpr int SettleDelayMs = 200;
    static constexpr int DataBytesPerFrame = 32;
    static constexpr int EndReplyTimeoutMs = 10000;
    static constexpr int HighSpeedRequestPreamble = 12;

    explicit indCloneMan(cmcEvMan& events);
    ~indCloneMan();
    indCloneMan(const indCloneMan&) = delete;
    indCloneMan& operator=(const indCloneMan&) = delete;

    void SetRequestWords(int word1, int word2) { driver_.SetRequestWords(word1, word2); }
    void SetImageSize(int size) { driver_.SetImageSize(size); }
    // Where the port and the speed come from; asked at the start of every phase.
    void SetLineSource(std::function<indCloneLine()> source) { lineSource_ = std::move(source); }
    void SetProgressFactory(indCloneProgressFactory factory) {
        progressFactory_ = std::move(factory);
    }
    void InstallInformationCheck(Hook hook) { infoCheck_ = std::move(hook); }
    void InstallImageCheck(Hook hook) { imageCheck_ = std::move(hook); }

    bool Busy() const { return driver_.Busy(); }
    // Each refused (false) while a phase runs, without a message.
    bool StartInformation(Completion completion);
    bool StartRead(const cmcCloneRange* ranges, Completion completion);
    bool StartWrite(const cmcEeprom& image, const cmcCloneRange* ranges, Completion completion);

    // The message a failed phase shows: the head line of the code, a blank line and the
    // check lines for the code.
    static std::string ErrorMessage(const dst_CDrv_Result& result);

    // For tests and the progress display.
    cmcCloneDrv& Driver() { return driver_; }
    long TotalBytes() const { return totalBytes_; }
    int Phase() const { return phase_; }
    bool HasProgressWindow() const { return progress_ != nullptr; }

  private:
    void SetUpDriver(bool highSpeed);
    void BeginTransfer(int phase, const cmcCloneRange* ranges, Completion completion);
    void OnDriverDone(dst_CDrv_Result& result);
    void Repaint();
    void CloseProgress();

    cmcEvMan& events_;
    cmcCloneDrv driver_;
    std::unique_ptr<cmcTask> repaint_;
    std::unique_ptr<indCloneProgressView> progress_;
    indCloneProgressFactory progressFactory_;
    std::function<indCloneLine()> lineSource_;
    Hook infoCheck_;
    Hook imageCheck_;
    Completion completion_;
    long totalBytes_ = 0;
    int phase_ = 0;
};
