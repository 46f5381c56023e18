#pragma once

// An in-memory serial line for the clone tests: the program's port on one side, the test
// (or a scripted receiver) on the other. Installing a line makes every new cmcSerialPort
// one of its ends.

#include "clone/cmcSerialPort.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

struct MemoryLine {
    // What the test sets up.
    bool exists = true;               // false: opening says "no such device"
    bool denied = false;              // opening says "permission denied"
    bool echo = true;                 // the cable echoes what the program sends
    bool failWrites = false;          // writes fail as on a pulled adapter
    size_t acceptPerWrite = SIZE_MAX; // the port takes at most this many bytes per write
    int outQueued = 0;                // what the port reports as still to send
    // Called with each piece the program writes; may queue an answer with Deliver().
    std::function<void(const std::vector<uint8_t>&)> receiver;

    // What the test sees.
    std::vector<uint8_t> sent;      // every byte the program wrote, in order
    std::vector<size_t> writes;     // the size of each write
    std::vector<std::string> opens; // "path baud" of each successful open
    std::deque<uint8_t> input;      // waiting for the program to read
    bool open = false;

    void Deliver(const std::vector<uint8_t>& bytes) {
        input.insert(input.end(), bytes.begin(), bytes.end());
    }
    void Deliver(std::initializer_list<uint8_t> bytes) { input.insert(input.end(), bytes); }
};

class MemoryPort : public cmcSerialPort {
  public:
    explicit MemoryPort(MemoryLine& line) : line_(line) {}
    ~MemoryPort() override { Close(); }

    cmcPortError Open(const std::string& path, const cmcLineSettings& settings) override {
        if (isOpen_) return cmcPortError::Busy;
        if (!line_.exists) return cmcPortError::Missing;
        if (line_.denied) return cmcPortError::Denied;
        isOpen_ = line_.open = true;
        line_.opens.push_back(path + " " + std::to_string(settings.baud));
        return cmcPortError::None;
    }
    void Close() override {
        if (isOpen_) line_.open = false;
        isOpen_ = false;
    }
    bool IsOpen() const override { return isOpen_; }
    long Write(const uint8_t* bytes, size_t n) override {
        if (!isOpen_ || line_.failWrites) return -1;
        n = std::min(n, line_.acceptPerWrite);
        std::vector<uint8_t> piece(bytes, bytes + n);
        line_.sent.insert(line_.sent.end(), piece.begin(), piece.end());
        line_.writes.push_back(n);
        if (line_.echo) line_.Deliver(piece);
        if (line_.receiver) line_.receiver(piece);
        return static_cast<long>(n);
    }
    long Read(uint8_t* bytes, size_t n) override {
        size_t got = 0;
        while (isOpen_ && got < n && !line_.input.empty()) {
            bytes[got++] = line_.input.front();
            line_.input.pop_front();
        }
        return static_cast<long>(got);
    }
    int BytesWaiting() override { return isOpen_ ? static_cast<int>(line_.input.size()) : 0; }
    int BytesQueued() override { return isOpen_ ? line_.outQueued : 0; }
    void Purge() override { line_.input.clear(); }
    std::string ErrorText() const override {
        return line_.denied ? "Permission denied" : "No such file or directory";
    }

  private:
    MemoryLine& line_;
    bool isOpen_ = false;
};

// Installs the line for its lifetime.
class MemoryLineScope {
  public:
    explicit MemoryLineScope(MemoryLine& line) {
        cmcSerialPort::SetFactory([&line] { return std::make_unique<MemoryPort>(line); });
    }
    ~MemoryLineScope() { cmcSerialPort::SetFactory(nullptr); }
};
