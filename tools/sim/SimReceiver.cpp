#include "SimReceiver.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint8_t Preamble = 0xFE;
constexpr uint8_t End = 0xFD;
constexpr char Maker[] = "Tarn Inc.";

std::string HexByte(uint8_t byte, bool lowerCase = false) {
    char text[3];
    std::snprintf(text, sizeof text, lowerCase ? "%02x" : "%02X", byte);
    return text;
}

int HexDigit(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Upper-case hexadecimal text to bytes; false when it is not.
bool ParseHex(const std::vector<uint8_t>& text, size_t from, std::vector<uint8_t>& bytes) {
    if ((text.size() - from) % 2 != 0) return false;
    for (size_t i = from; i < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return true;
}

std::vector<uint8_t> Garbage() {
    return {0x00, 0x41, 0xFD, 0x13, 0x7F, 0xFE, 0xFE};
}

} // namespace

SimReceiver::SimReceiver(const SimOptions& options, std::vector<uint8_t> image, Emit emit,
                         Saved saved)
    : options_(options), image_(std::move(image)), emit_(std::move(emit)),
      saved_(std::move(saved)) {
    image_.resize(ImageBytes, 0);
}

void SimReceiver::Out(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> out;
    for (uint8_t byte : bytes) {
        if (options_.stallAfter >= 0 && sent_ >= options_.stallAfter) break;
        out.push_back(byte);
        ++sent_;
    }
    if (!out.empty()) emit_(out);
}

void SimReceiver::Echo(uint8_t byte) {
    if (options_.Has("no-echo")) return;
    ++echoed_;
    if (options_.Has("bad-echo") && echoed_ == 5) byte ^= 0x01;
    Out({byte});
}

void SimReceiver::Idle() {
    baud_ = NormalBaud;
    inFrame_ = false;
    frame_.clear();
}

void SimReceiver::Receive(const uint8_t* bytes, size_t n, int lineBaud) {
    for (size_t i = 0; i < n; ++i) {
        const uint8_t byte = bytes[i];
        // The cable echoes every byte, whatever the receiver makes of it.
        Echo(byte);
        // At the wrong speed the receiver hears noise.
        if (lineBaud != baud_) continue;
        if (byte == Preamble) {
            inFrame_ = true;
            frame_.clear();
            continue;
        }
        if (!inFrame_) continue;
        if (byte != End) {
            frame_.push_back(byte);
            if (frame_.size() > 600) inFrame_ = false;
            continue;
        }
        inFrame_ = false;
        Frame(frame_);
    }
}

void SimReceiver::Reply(std::vector<uint8_t> frame) {
    if (options_.Has("no-answer")) return;
    if (options_.Has("garbage-before")) Out(Garbage());
    Out(frame);
}

// A frame from the program without its opening FE bytes and its FD.
void SimReceiver::Frame(const std::vector<uint8_t>& frame) {
    if (frame.size() < 3 || frame[0] != 0xEE || frame[1] != 0xEF) return;
    switch (frame[2]) {
    case 0xE0:
        AnswerInformation();
        break;
    case 0xE2:
        ServeImage();
        break;
    case 0xE3:
        writing_ = true;
        writeBad_ = false;
        writeFrames_ = 0;
        written_.assign(ImageBytes, 0);
        loaded_.assign(ImageBytes, false);
        break;
    case 0xE4:
        if (writing_) TakeDataFrame(frame);
        break;
    case 0xE5:
        if (writing_) EndOfWrite(frame);
        break;
    case 0xE8:
        baud_ = HighBaud;
        break; // the speed switch: the rest goes at 38400 baud
    default:
        break;
    }
}

void SimReceiver::AnswerInformation() {
    std::vector<uint8_t> frame = {Preamble, Preamble, 0xEF, 0xEE, 0xE1, 0x30, 0x76, 0x00, 0x01};
    if (options_.Has("wrong-model")) frame[6] = 0x77;
    if (options_.Has("bad-bcd")) frame[6] = 0x7A;
    // The payload begins with the clone comment the receiver holds now, so a comment
    // written shows in the next information exchange.
    for (int i = 0; i < 26; ++i) {
        uint8_t byte = i < CommentLength ? image_[size_t(CommentAddress + i)] : uint8_t(0);
        if (i == 16) byte = static_cast<uint8_t>(options_.destination);
        if (i == 17) byte = static_cast<uint8_t>(options_.flags);
        frame.push_back(byte);
    }
    frame.push_back(End);
    Reply(frame);
}

void SimReceiver::ServeImage() {
    if (options_.Has("no-answer")) return;
    if (options_.Has("garbage-before")) Out(Garbage());
    const int per = options_.frameBytes;
    const int total = (MapBytes + per - 1) / per;
    int frames = 0;
    for (int index = 0; index < total; ++index) {
        const int address = index * per;
        const int count = std::min(per, MapBytes - address);
        if (options_.Has("drop-frame") && index == total / 2) continue;
        uint32_t at = static_cast<uint32_t>(address);
        if (options_.Has("overflow-address") && index == total / 2) at = ImageBytes - 8;
        std::vector<uint8_t> binary = {uint8_t(at >> 24), uint8_t(at >> 16), uint8_t(at >> 8),
                                       uint8_t(at), uint8_t(count)};
        binary.insert(binary.end(), image_.begin() + address, image_.begin() + address + count);
        unsigned sum = 0;
        for (uint8_t byte : binary)
            sum += byte;
        uint8_t check = static_cast<uint8_t>(256 - sum % 256);
        if (options_.Has("bad-checksum") && index == total / 2) ++check;
        binary.push_back(check);
        const bool lower = options_.Has("lower-case-hex") && index == total / 2;
        std::vector<uint8_t> frame = {Preamble, Preamble, 0xEF, 0xEE, 0xE4};
        for (uint8_t byte : binary)
            for (char c : HexByte(byte, lower))
                frame.push_back(static_cast<uint8_t>(c));
        frame.push_back(End);
        Out(frame);
        ++frames;
    }
    std::string text = options_.Has("no-maker") ? "Tarn Ink." : Maker;
    text +=
        HexByte(static_cast<uint8_t>((frames + (options_.Has("bad-end-count") ? 1 : 0)) & 0xFF));
    std::vector<uint8_t> end = {Preamble, Preamble, 0xEF, 0xEE, 0xE5};
    end.insert(end.end(), text.begin(), text.end());
    end.push_back(End);
    Out(end);
}

void SimReceiver::TakeDataFrame(const std::vector<uint8_t>& frame) {
    std::vector<uint8_t> bytes;
    if (!ParseHex(frame, 3, bytes) || bytes.size() < 6 || size_t(bytes[4]) + 6 != bytes.size()) {
        writeBad_ = true;
        return;
    }
    unsigned sum = 0;
    for (uint8_t byte : bytes)
        sum += byte;
    const uint64_t address =
        uint64_t(bytes[0]) << 24 | uint64_t(bytes[1]) << 16 | uint64_t(bytes[2]) << 8 | bytes[3];
    const uint64_t count = bytes[4];
    if (sum % 256 != 0 || address + count > MapBytes) {
        writeBad_ = true;
        return;
    }
    for (uint64_t i = 0; i < count; ++i) {
        written_[address + i] = bytes[5 + i];
        loaded_[address + i] = true;
    }
    ++writeFrames_;
}

void SimReceiver::EndOfWrite(const std::vector<uint8_t>& frame) {
    writing_ = false;
    const std::string text(frame.begin() + 3, frame.end());
    bool accepted = !writeBad_ && text == Maker + HexByte(uint8_t(writeFrames_ & 0xFF));
    for (int a = 0; a < MapBytes && accepted; ++a)
        accepted = loaded_[size_t(a)];
    if (accepted) Store();
    if (accepted) accepted = saved_(image_);
    if (options_.Has("no-ack")) return;
    const uint8_t result = accepted && !options_.Has("nak") ? 0x00 : 0xFA;
    Reply({Preamble, Preamble, 0xEF, 0xEE, 0xE6, result, End});
}

// The receiver keeps what it took: a later read serves it.
void SimReceiver::Store() {
    std::copy(written_.begin(), written_.begin() + MapBytes, image_.begin());
    // A flaw in the receiver's memory: one bit of the first frame's data does not stick.
    if (options_.Has("corrupt-stored")) image_[CorruptedAddress] ^= 0x01;
}
