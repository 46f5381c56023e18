#pragma once

// Frames as the receiver sends them, written out independently of the driver's own frame
// code so that the tests do not share its mistakes.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace receiver {

using Bytes = std::vector<uint8_t>;

inline Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline Bytes InfoAnswer(uint8_t destination = 0, uint8_t flags = 0, size_t payloadSize = 26) {
    Bytes frame = {0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x30, 0x76, 0x00, 0x01};
    for (size_t i = 0; i < payloadSize; ++i)
        frame.push_back(i == 16 ? destination : i == 17 ? flags : uint8_t(i + 1));
    frame.push_back(0xFD);
    return frame;
}

// The hexadecimal text of a data frame: address, count, bytes and check sum.
inline std::string DataText(uint32_t address, const Bytes& data, bool lowerCase = false) {
    Bytes binary = {uint8_t(address >> 24), uint8_t(address >> 16), uint8_t(address >> 8),
                    uint8_t(address), uint8_t(data.size())};
    binary.insert(binary.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (uint8_t b : binary)
        sum += b;
    binary.push_back(uint8_t(-sum));
    std::string text;
    char pair[3];
    for (uint8_t b : binary) {
        std::snprintf(pair, sizeof pair, lowerCase ? "%02x" : "%02X", b);
        text += pair;
    }
    return text;
}

inline Bytes FrameWithText(uint8_t command, const std::string& text) {
    return Join({{0xFE, 0xFE, 0xEF, 0xEE, command}, Text(text), {0xFD}});
}

inline Bytes DataFrame(uint32_t address, const Bytes& data, bool lowerCase = false) {
    return FrameWithText(0xE4, DataText(address, data, lowerCase));
}

inline Bytes EndFrame(int count) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", count & 0xFF);
    return FrameWithText(0xE5, std::string("Tarn Inc.") + hex);
}

inline Bytes Ack(uint8_t result = 0x00) {
    return {0xFE, 0xFE, 0xEF, 0xEE, 0xE6, result, 0xFD};
}

} // namespace receiver
