#include "clone/cmcSerialTrace.h"

#include "platform/cmcPlatform.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <mutex>
#include <utility>

namespace {

// The trace the user switched on, read by the clone session's thread as it moves bytes.
struct clsTraceSwitch {
    std::mutex lock;
    std::shared_ptr<cmcSerialTrace> trace;
};

clsTraceSwitch& TraceSwitch() {
    static clsTraceSwitch traceSwitch;
    return traceSwitch;
}

std::shared_ptr<cmcSerialTrace> SwitchedTrace() {
    clsTraceSwitch& traceSwitch = TraceSwitch();
    std::lock_guard<std::mutex> hold(traceSwitch.lock);
    return traceSwitch.trace;
}

// A port that passes everything to the port it wraps and notes the traffic in the trace
// its source gives, when it gives one.
class cmcTracedPort : public cmcSerialPort {
  public:
    using Source = std::function<std::shared_ptr<cmcSerialTrace>()>;
    cmcTracedPort(std::unique_ptr<cmcSerialPort> port, Source source)
        : port_(std::move(port)), source_(std::move(source)) {}

    cmcPortError Open(const std::string& path, const cmcLineSettings& settings) override {
        const cmcPortError error = port_->Open(path, settings);
        if (auto trace = source_())
            trace->Note("open " + path + " " + std::to_string(settings.baud) + " baud" +
                        (error == cmcPortError::None ? "" : ": " + port_->ErrorText()));
        return error;
    }
    void Close() override {
        auto trace = source_();
        if (trace && port_->IsOpen()) trace->Note("close");
        port_->Close();
        if (trace) trace->Flush();
    }
    bool IsOpen() const override { return port_->IsOpen(); }
    long Write(const uint8_t* bytes, size_t n) override {
        const long written = port_->Write(bytes, n);
        if (auto trace = written != 0 ? source_() : nullptr) {
            if (written > 0) trace->Bytes('>', bytes, size_t(written));
            if (written < 0) trace->Note("write failed: " + port_->ErrorText());
        }
        return written;
    }
    long Read(uint8_t* bytes, size_t n) override {
        const long got = port_->Read(bytes, n);
        if (auto trace = got > 0 ? source_() : nullptr) trace->Bytes('<', bytes, size_t(got));
        return got;
    }
    int BytesWaiting() override { return port_->BytesWaiting(); }
    int BytesQueued() override { return port_->BytesQueued(); }
    void Purge() override {
        if (auto trace = source_()) trace->Note("purge");
        port_->Purge();
    }
    std::string ErrorText() const override { return port_->ErrorText(); }

  private:
    std::unique_ptr<cmcSerialPort> port_;
    Source source_;
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
        return std::make_unique<cmcTracedPort>(inner(), [trace] { return trace; });
    });
}

void cmcSerialTrace::Detach() {
    cmcSerialPort::SetFactory(FactoryBeforeTrace());
}

void cmcSerialTrace::SwitchTo(std::shared_ptr<cmcSerialTrace> trace) {
    std::shared_ptr<cmcSerialTrace> before;
    {
        clsTraceSwitch& traceSwitch = TraceSwitch();
        std::lock_guard<std::mutex> hold(traceSwitch.lock);
        before = std::exchange(traceSwitch.trace, std::move(trace));
    }
    if (before) before->Flush(); // closed when the last port lets go of it
}

bool cmcSerialTrace::SwitchedOn() {
    return SwitchedTrace() != nullptr;
}

std::unique_ptr<cmcSerialPort> cmcSerialTrace::Switchable(std::unique_ptr<cmcSerialPort> port) {
    return std::make_unique<cmcTracedPort>(std::move(port), SwitchedTrace);
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
