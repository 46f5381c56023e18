#include "clone/cmcSerialTrace.h"

#include "platform/cmcPlatform.h"

#include <cerrno>
#include <cstring>

namespace {

// A port that passes everything to the port it wraps and notes the traffic.
class cmcTracedPort : public cmcSerialPort {
  public:
    cmcTracedPort(std::unique_ptr<cmcSerialPort> port, std::shared_ptr<cmcSerialTrace> trace)
        : port_(std::move(port)), trace_(std::move(trace)) {}

    cmcPortError Open(const std::string& path, const cmcLineSettings& settings) override {
        const cmcPortError error = port_->Open(path, settings);
        trace_->Note("open " + path + " " + std::to_string(settings.baud) + " baud" +
                     (error == cmcPortError::None ? "" : ": " + port_->ErrorText()));
        return error;
    }
    void Close() override {
        if (port_->IsOpen()) trace_->Note("close");
        port_->Close();
        trace_->Flush();
    }
    bool IsOpen() const override { return port_->IsOpen(); }
    long Write(const uint8_t* bytes, size_t n) override {
        const long written = port_->Write(bytes, n);
        if (written > 0) trace_->Bytes('>', bytes, size_t(written));
        if (written < 0) trace_->Note("write failed: " + port_->ErrorText());
        return written;
    }
    long Read(uint8_t* bytes, size_t n) override {
        const long got = port_->Read(bytes, n);
        if (got > 0) trace_->Bytes('<', bytes, size_t(got));
        return got;
    }
    int BytesWaiting() override { return port_->BytesWaiting(); }
    int BytesQueued() override { return port_->BytesQueued(); }
    void Purge() override {
        trace_->Note("purge");
        port_->Purge();
    }
    std::string ErrorText() const override { return port_->ErrorText(); }

  private:
    std::unique_ptr<cmcSerialPort> port_;
    std::shared_ptr<cmcSerialTrace> trace_;
};

cmcSerialPort::Factory& FactoryBeforeTrace() {
    static cmcSerialPort::Factory factory;
    return factory;
}

} // namespace

std::shared_ptr<cmcSerialTrace> cmcSerialTrace::Create(const std::string& path,
                                                       std::string& error) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        error = std::strerror(errno);
        return nullptr;
    }
    return std::shared_ptr<cmcSerialTrace>(new cmcSerialTrace(file));
}

cmcSerialTrace::cmcSerialTrace(FILE* file)
    : file_(file), startTick_(cmcPlatform::get().clock->tickCount()) {}

cmcSerialTrace::~cmcSerialTrace() {
    std::fclose(file_);
}

uint32_t cmcSerialTrace::Elapsed() const {
    return cmcPlatform::get().clock->tickCount() - startTick_; // modulo 2^32
}

void cmcSerialTrace::Note(const std::string& text) {
    std::fprintf(file_, "%8u # %s\n", Elapsed(), text.c_str());
}

void cmcSerialTrace::Bytes(char direction, const uint8_t* bytes, size_t n) {
    const uint32_t now = Elapsed();
    for (size_t from = 0; from < n; from += BytesPerLine) {
        std::fprintf(file_, "%8u %c", now, direction);
        for (size_t i = from; i < n && i < from + BytesPerLine; ++i)
            std::fprintf(file_, " %02X", bytes[i]);
        std::fputc('\n', file_);
    }
}

void cmcSerialTrace::Flush() {
    std::fflush(file_);
}

void cmcSerialTrace::Attach(const std::shared_ptr<cmcSerialTrace>& trace) {
    FactoryBeforeTrace() = cmcSerialPort::InstalledFactory();
    cmcSerialPort::Factory inner = FactoryBeforeTrace();
    cmcSerialPort::SetFactory([inner, trace]() -> std::unique_ptr<cmcSerialPort> {
        return std::make_unique<cmcTracedPort>(inner(), trace);
    });
}

void cmcSerialTrace::Detach() {
    cmcSerialPort::SetFactory(FactoryBeforeTrace());
}

cmcSerialTraceScope::cmcSerialTraceScope(std::shared_ptr<cmcSerialTrace> trace)
    : trace_(std::move(trace)) {
    if (trace_) cmcSerialTrace::Attach(trace_);
}

cmcSerialTraceScope::~cmcSerialTraceScope() {
    if (!trace_) return;
    cmcSerialTrace::Detach();
    trace_->Flush();
}
