#include "clone/cmcSerialPort.h"

#include "clone/cmcSerialTrace.h"

#include <cstdlib>
#include <vector>

namespace {

class cmcPosixSerialPort : public cmcSerialPort {
  public:
    cmcPortError Open(const std::string& path, const cmcLineSettings& settings) override {
        return port_.Open(path, settings);
    }
    void Close() override { port_.Close(); }
    bool IsOpen() const override { return port_.IsOpen(); }
    long Write(const uint8_t* bytes, size_t n) override { return port_.Write(bytes, n); }
    long Read(uint8_t* bytes, size_t n) override { return port_.Read(bytes, n); }
    int BytesWaiting() override { return port_.BytesWaiting(); }
    int BytesQueued() override { return port_.BytesQueued(); }
    void Purge() override { port_.Purge(); }
    std::string ErrorText() const override { return port_.ErrorText(); }

  private:
    cmcTermiosPort port_;
};

cmcSerialPort::Factory& CurrentFactory() {
    static cmcSerialPort::Factory factory;
    return factory;
}

// The fields of a settings string. A comma ends a field; the catalogue's texts are UTF-8,
// whose multi-byte characters never contain a comma byte, so no further care is needed.
std::vector<std::string> SplitFields(const std::string& text) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

int LeadingNumber(const std::string& text) {
    return std::atoi(text.c_str());
}

} // namespace

std::unique_ptr<cmcSerialPort> cmcSerialPort::Create() {
    std::unique_ptr<cmcSerialPort> port = CurrentFactory()
                                              ? CurrentFactory()()
                                              : std::make_unique<cmcPosixSerialPort>();
    return cmcSerialTrace::Switchable(std::move(port));
}

void cmcSerialPort::SetFactory(Factory factory) {
    CurrentFactory() = std::move(factory);
}

cmcSerialPort::Factory cmcSerialPort::InstalledFactory() {
    if (CurrentFactory()) return CurrentFactory();
    return [] { return std::make_unique<cmcPosixSerialPort>(); };
}

cmcLineSettings cmcParseLineSettings(const std::string& text) {
    const std::vector<std::string> fields = SplitFields(text);
    auto field = [&](size_t i) { return i < fields.size() ? fields[i] : std::string(); };
    cmcLineSettings settings;
    settings.baud = LeadingNumber(field(0));
    const std::string parity = field(1);
    const char letter = parity.empty() ? 'N' : static_cast<char>(std::toupper(parity[0]));
    settings.parity = (letter == 'E' || letter == 'O') ? letter : 'N';
    const int bits = LeadingNumber(field(2));
    settings.dataBits = bits > 7 ? 8 : bits <= 4 ? 4 : bits;
    const std::string stop = field(3);
    settings.stopBits = stop == "1.5" ? cmcLineSettings::StopBits::OneAndHalf
                        : stop == "2" ? cmcLineSettings::StopBits::Two
                                      : cmcLineSettings::StopBits::One;
    return settings;
}
