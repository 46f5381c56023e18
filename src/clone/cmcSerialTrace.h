#pragma once

// A trace of the serial line for bug reports: every byte sent and received, one line per
// piece, with the milliseconds since the trace began, ">" for sent or "<" for received, and
// the bytes in hexadecimal; opening and closing the port are noted as "#" lines. The trace
// wraps the ports the installed factory makes and writes through a buffer, so the line
// runs at its own pace.

#include "clone/cmcSerialPort.h"

#include <cstdio>
#include <memory>
#include <string>

class cmcSerialTrace {
  public:
    static constexpr size_t BytesPerLine = 32;

    // Nothing when the file cannot be created; error then says why.
    static std::shared_ptr<cmcSerialTrace> Create(const std::string& path, std::string& error);
    ~cmcSerialTrace();
    cmcSerialTrace(const cmcSerialTrace&) = delete;
    cmcSerialTrace& operator=(const cmcSerialTrace&) = delete;

    void Note(const std::string& text);
    void Bytes(char direction, const uint8_t* bytes, size_t n);
    void Flush();

    // Every port made from now on is traced, until Detach restores the factory before.
    static void Attach(const std::shared_ptr<cmcSerialTrace>& trace);
    static void Detach();

    // The program makes its port once and lets the user switch the trace on and off while
    // it runs: every port passes its traffic to the trace switched on at the time, if any.
    // A trace switched off is flushed, and closed once no port is writing to it.
    static void SwitchTo(std::shared_ptr<cmcSerialTrace> trace);
    static bool SwitchedOn();
    // The port the switch watches; Create wraps every new port with it.
    static std::unique_ptr<cmcSerialPort> Switchable(std::unique_ptr<cmcSerialPort> port);

  private:
    explicit cmcSerialTrace(FILE* file);
    uint32_t Elapsed() const;

    FILE* file_;
    uint32_t startTick_;
};

// Ends the trace of a scope: detaches it and flushes what is left.
class cmcSerialTraceScope {
  public:
    explicit cmcSerialTraceScope(std::shared_ptr<cmcSerialTrace> trace);
    ~cmcSerialTraceScope();
    cmcSerialTraceScope(const cmcSerialTraceScope&) = delete;
    cmcSerialTraceScope& operator=(const cmcSerialTraceScope&) = delete;

  private:
    std::shared_ptr<cmcSerialTrace> trace_;
};
