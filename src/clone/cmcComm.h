#pragma once

#include "clone/cmcBuff.h"
#include "clone/cmcSerialPort.h"

#include <memory>
#include <string>

class cmcTask;

// One serial port as a byte pipe: open with a line-settings string, queue bytes for
// sending, read whatever has arrived without waiting. Sent bytes go to the port in pieces
// of at most 1024 bytes, each only once the port's own output queue is empty, from an
// output pump that runs on the user-interface thread's timer.
class cmcComm {
  public:
    static constexpr size_t OutputPiece = 1024;
    static constexpr int PumpIntervalMs = 10;

    cmcComm();
    ~cmcComm();
    cmcComm(const cmcComm&) = delete;
    cmcComm& operator=(const cmcComm&) = delete;

    // Fails on a port that is already open; the owner closes first.
    bool Open(const std::string& path, const std::string& settings);
    void Close();

    void Send(const uint8_t* bytes, size_t n);
    // Up to n bytes that have arrived; 0 when nothing has, the port is closed or fails.
    size_t Read(uint8_t* bytes, size_t n);
    size_t BytesWaiting();
    // The port's output queue plus what the pump still holds.
    size_t BytesToSend();
    bool IsOpen() const { return port_->IsOpen(); }
    // Set when the port refused bytes for good (the device went away).
    bool WriteError() const { return writeError_; }

    // What the last failed open ran into, and the port it was for.
    cmcPortError OpenError() const { return openError_; }
    const std::string& OpenErrorText() const { return openErrorText_; }
    const std::string& Path() const { return path_; }
    const cmcLineSettings& Settings() const { return settings_; }

  private:
    void PumpStep(cmcTask& pump);

    std::unique_ptr<cmcSerialPort> port_;
    std::unique_ptr<cmcTask> pump_;
    cmcBuff output_;
    std::string path_;
    cmcLineSettings settings_;
    bool writeError_ = false;
    cmcPortError openError_ = cmcPortError::None;
    std::string openErrorText_;
};
