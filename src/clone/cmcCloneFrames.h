#pragma once

// Byte forms of the cloning frames. Every frame opens with 0xFE 0xFE and ends with 0xFD;
// the program is 0xEF on the cable and the receiver 0xEE. Data travels as upper-case
// hexadecimal text, so 0xFE and 0xFD never occur inside a frame.

#include <cstdint>
#include <string>
#include <vector>

namespace cloneframe {

constexpr uint8_t Preamble = 0xFE;
constexpr uint8_t End = 0xFD;
constexpr uint8_t ReceiverAddress = 0xEE;
constexpr uint8_t ProgramAddress = 0xEF;

constexpr uint8_t InfoRequest = 0xE0;
constexpr uint8_t InfoAnswer = 0xE1;
constexpr uint8_t ReadRequest = 0xE2;
constexpr uint8_t WriteRequest = 0xE3;
constexpr uint8_t Data = 0xE4;
constexpr uint8_t EndOfData = 0xE5;
constexpr uint8_t WriteAck = 0xE6;
constexpr uint8_t SpeedSwitch = 0xE8;

constexpr char Maker[] = "Tarn Inc.";
constexpr size_t MakerLength = 9;

// Frame limits of the receiving side: a frame from 0xFE up to 0xFD holds 12 to 522 bytes.
constexpr size_t MinFrame = 12;
constexpr size_t MaxFrame = 522;
constexpr size_t FrameOverflow = 521; // a frame buffer longer than this is malformed

// Hexadecimal text to bytes: every hexadecimal digit of either case is a 4-bit value and
// every other character is skipped; values pair into bytes, high half first; a lone last
// value becomes a byte with it in the high half.
std::vector<uint8_t> HexTextToBytes(const std::string& text);

// "%04X"-style upper-case hexadecimal digits of the low bits of a value.
std::string Hex(uint32_t value, int digits);

// The byte that makes the sum of all bytes 0 modulo 256.
uint8_t CheckSum(const uint8_t* bytes, size_t n);

// A request frame from the program (E0, E2 or E3) with the two request words.
std::vector<uint8_t> RequestFrame(int preamble, uint8_t command, int word1, int word2);

// A data frame from the program: preamble bytes, FE FE EE EF E4, the text, FD.
std::vector<uint8_t> DataFrame(int preamble, uint32_t address, const uint8_t* bytes, int count);

// The end frame from the program, with the frame count mod 256 when asked for.
std::vector<uint8_t> EndFrame(bool withCount, int frames);

} // namespace cloneframe
