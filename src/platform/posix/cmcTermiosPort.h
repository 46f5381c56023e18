#pragma once

// A serial port on POSIX termios: a device path such as "/dev/ttyUSB0" or a pseudo-
// terminal, opened exclusively, raw 8N1 (or as the line settings say), never blocking.

#include <cstddef>
#include <cstdint>
#include <string>

struct cmcLineSettings {
    enum class StopBits { One, OneAndHalf, Two };
    int baud = 9600;
    int dataBits = 8;  // 4..8
    char parity = 'N'; // 'N', 'E', 'O'
    StopBits stopBits = StopBits::One;
};

// Why an open failed; None after a successful one.
enum class cmcPortError {
    None,
    Missing,     // no such device
    Denied,      // no permission: the user is not in the device's group
    Busy,        // another program holds the port
    Unsupported, // not a terminal, or a line setting it cannot take
    Failed,      // anything else
};

class cmcTermiosPort {
  public:
    cmcTermiosPort() = default;
    ~cmcTermiosPort();
    cmcTermiosPort(const cmcTermiosPort&) = delete;
    cmcTermiosPort& operator=(const cmcTermiosPort&) = delete;

    cmcPortError Open(const std::string& path, const cmcLineSettings& settings);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // The bytes the port took: 0 when its queue is full right now, -1 on a real failure
    // (the device went away).
    long Write(const uint8_t* bytes, size_t n);
    // What has arrived, up to n bytes, without waiting; 0 when nothing has or on failure.
    long Read(uint8_t* bytes, size_t n);
    int BytesWaiting() const; // input queue count
    int BytesQueued() const;  // output queue count (a pseudo-terminal always says 0)
    void Purge();             // drops both directions

    // The system's text for the last failure.
    const std::string& ErrorText() const { return errorText_; }

    // The termios speed constant of a baud rate; 0 when there is none.
    static unsigned SpeedOf(int baud);

  private:
    cmcPortError Fail(int error);

    int fd_ = -1;
    std::string errorText_;
};
