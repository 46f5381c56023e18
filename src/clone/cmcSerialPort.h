#pragma once

// The serial port as the link sees it. The program uses the termios port; tests put an
// in-memory receiver behind this interface.

#include "platform/posix/cmcTermiosPort.h"

#include <functional>
#include <memory>
#include <string>

class cmcSerialPort {
  public:
    virtual ~cmcSerialPort() = default;
    virtual cmcPortError Open(const std::string& path, const cmcLineSettings& settings) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Bytes taken: 0 when the port cannot take any now, -1 on a real failure.
    virtual long Write(const uint8_t* bytes, size_t n) = 0;
    virtual long Read(uint8_t* bytes, size_t n) = 0;
    virtual int BytesWaiting() = 0;
    virtual int BytesQueued() = 0;
    virtual void Purge() = 0;
    virtual std::string ErrorText() const = 0;

    using Factory = std::function<std::unique_ptr<cmcSerialPort>()>;
    // A new closed port from the installed factory (the termios port unless replaced).
    static std::unique_ptr<cmcSerialPort> Create();
    // Replaces the factory; an empty one restores the termios port.
    static void SetFactory(Factory factory);
    // The factory Create uses now (one making termios ports when none is installed).
    static Factory InstalledFactory();
};

// "9600,N,8,1": baud rate, parity letter, data bits, stop bits. Data bits above 7 become 8
// and 4 or fewer become 4; "1.5" and "2" select those stop bits, anything else one.
cmcLineSettings cmcParseLineSettings(const std::string& text);
