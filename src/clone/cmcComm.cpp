#include "clone/cmcComm.h"

#include "platform/cmcTask.h"

#include <algorithm>

cmcComm::cmcComm() : port_(cmcSerialPort::Create()), pump_(std::make_unique<cmcTask>()) {
    pump_->setHandler([this](cmcTask& pump) { PumpStep(pump); });
}

cmcComm::~cmcComm() {
    Close();
    pump_->stop();
    cmcTask::dispose(std::move(pump_));
}

bool cmcComm::Open(const std::string& path, const std::string& settings) {
    if (IsOpen()) return false;
    path_ = path;
    writeError_ = false;
    settings_ = cmcParseLineSettings(settings);
    openError_ = port_->Open(path, settings_);
    openErrorText_ = openError_ == cmcPortError::None ? std::string() : port_->ErrorText();
    return openError_ == cmcPortError::None;
}

void cmcComm::Close() {
    pump_->setInterval(-1);
    port_->Close();
    output_.Clear();
    writeError_ = false;
}

void cmcComm::Send(const uint8_t* bytes, size_t n) {
    if (!IsOpen()) return;
    pump_->setInterval(-1);
    output_.Append(bytes, n);
    pump_->setInterval(0);
    PumpStep(*pump_);
}

void cmcComm::PumpStep(cmcTask& pump) {
    if (!IsOpen() || output_.IsEmpty()) {
        pump.setInterval(-1);
        return;
    }
    if (port_->BytesQueued() > 0) {
        pump.setInterval(PumpIntervalMs);
        return;
    }
    const size_t n = std::min(output_.Length(), OutputPiece);
    const long written = port_->Write(output_.Data(), n);
    if (written < 0) {
        // The device is gone: keep the bytes, stop, and let the owner see the error.
        writeError_ = true;
        pump.setInterval(-1);
        return;
    }
    output_.DropFront(static_cast<size_t>(written));
    if (output_.IsEmpty()) {
        output_.Clear();
        pump.setInterval(-1);
        return;
    }
    pump.setInterval(PumpIntervalMs);
}

size_t cmcComm::Read(uint8_t* bytes, size_t n) {
    if (!IsOpen() || n == 0) return 0;
    const size_t waiting = BytesWaiting();
    const size_t wanted = std::min(waiting, n);
    if (wanted == 0) return 0;
    const long got = port_->Read(bytes, wanted);
    return got > 0 ? static_cast<size_t>(got) : 0;
}

size_t cmcComm::BytesWaiting() {
    if (!IsOpen()) return 0;
    return static_cast<size_t>(std::max(port_->BytesWaiting(), 0));
}

size_t cmcComm::BytesToSend() {
    const size_t queued = IsOpen() ? static_cast<size_t>(std::max(port_->BytesQueued(), 0)) : 0;
    return queued + output_.Length();
}
