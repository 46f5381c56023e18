#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Frequencies on the receiver's channel grids, and the texts the frequency cells show and
// take. All frequencies are unsigned 32-bit hertz.

constexpr uint32_t CoverageLowHz = 150000;
constexpr uint32_t CoverageHighHz = 1300000000;
constexpr uint32_t OffsetLimitHz = 159997500; // the largest offset the receiver stores
constexpr uint32_t TrainLowHz = 300;
constexpr uint32_t TrainHighHz = 3000;

// Moves f to the nearest point of the grids the band uses (5, 6.25 and 7.5 kHz; 8.33 kHz
// in the air band 5); medium-wave multiples of 9 kHz in band 1 stay. An offset is limited
// to OffsetLimitHz afterwards. The arithmetic is 64-bit, so values near the top of the
// 32-bit range cannot wrap.
uint32_t SnapFrequency(uint32_t f, int band, bool isOffset);

// Train frequencies are held in 10 Hz units within 300..3,000 Hz.
uint32_t RoundTrainFrequency(uint32_t hz);

// "145.000000", " 76.000000": at least three places before the point, six after it.
std::string FormatMegahertz(uint32_t hz);

// Reads typed text as the cells do: only digits, "." and "-" are kept, the first nine of
// them are read as a decimal number, multiplied by 10^scaleDigits and rounded half away
// from zero. Nothing when no number can be read.
std::optional<int64_t> ReadDecimal(const std::string& text, int scaleDigits);

// Typed megahertz, in hertz limited to [lowHz, highHz] (not yet snapped); nothing when the
// text holds no number.
std::optional<uint32_t> ParseMegahertz(const std::string& text, uint32_t lowHz, uint32_t highHz);
