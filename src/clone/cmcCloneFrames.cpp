#include "clone/cmcCloneFrames.h"

#include <cstdio>

namespace cloneframe {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendText(std::vector<uint8_t>& frame, const std::string& text) {
    frame.insert(frame.end(), text.begin(), text.end());
}

} // namespace

std::vector<uint8_t> HexTextToBytes(const std::string& text) {
    std::vector<uint8_t> bytes;
    bool high = true;
    for (char c : text) {
        const int value = HexValue(c);
        if (value < 0) continue;
        if (high)
            bytes.push_back(static_cast<uint8_t>(value << 4));
        else
            bytes.back() |= static_cast<uint8_t>(value);
        high = !high;
    }
    return bytes;
}

std::string Hex(uint32_t value, int digits) {
    static const char Digits[] = "0123456789ABCDEF";
    std::string text(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        text[static_cast<size_t>(i)] = Digits[value & 15];
    return text;
}

uint8_t CheckSum(const uint8_t* bytes, size_t n) {
    unsigned sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>((256 - sum % 256) % 256);
}

std::vector<uint8_t> RequestFrame(int preamble, uint8_t command, int word1, int word2) {
    std::vector<uint8_t> frame(static_cast<size_t>(preamble > 0 ? preamble : 0), Preamble);
    const std::string text = "FEFE EE EF " + Hex(command, 2) + " " + Hex(uint32_t(word1), 4) + " " +
                             Hex(uint32_t(word2), 4) + " FD";
    const std::vector<uint8_t> bytes = HexTextToBytes(text);
    frame.insert(frame.end(), bytes.begin(), bytes.end());
    return frame;
}

std::vector<uint8_t> DataFrame(int preamble, uint32_t address, const uint8_t* bytes, int count) {
    std::vector<uint8_t> frame(static_cast<size_t>(preamble > 0 ? preamble : 0), Preamble);
    frame.insert(frame.end(), {Preamble, Preamble, ReceiverAddress, ProgramAddress, Data});
    std::vector<uint8_t> binary = {uint8_t(address >> 24), uint8_t(address >> 16),
                                   uint8_t(address >> 8), uint8_t(address), uint8_t(count)};
    binary.insert(binary.end(), bytes, bytes + count);
    binary.push_back(CheckSum(binary.data(), binary.size()));
    for (uint8_t byte : binary)
        AppendText(frame, Hex(byte, 2));
    frame.push_back(End);
    return frame;
}

std::vector<uint8_t> EndFrame(bool withCount, int frames) {
    std::vector<uint8_t> frame = {Preamble, Preamble, ReceiverAddress, ProgramAddress, EndOfData};
    AppendText(frame, Maker);
    if (withCount) AppendText(frame, Hex(uint32_t(frames) & 0xFF, 2));
    frame.push_back(End);
    return frame;
}

} // namespace cloneframe
