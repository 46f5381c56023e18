#pragma once

// The value tables of the stored fields: what each stored index means. The pick-list texts
// shown in the sheets come from the catalogue; these are the values behind them.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace values {

// Tuning steps 0..15 (15 Auto); program-search edges also take StepNotSet ("-").
constexpr int StepAuto = 15;
constexpr int StepNotSet = 19;
constexpr int Step9k = 4;
constexpr int Step833k = 3;
// Step widths in Hz; Auto has none (0).
extern const std::array<uint32_t, 16> TuningStepHz;
extern const std::array<std::string_view, 16> TuningStepNames; // "5 kHz", "6.25 kHz", ..., "Auto"

// Modes 0 FM, 1 WFM, 2 AM, 3 Auto; program-search edges also take ModeNotSet ("-").
constexpr int ModeFm = 0;
constexpr int ModeWfm = 1;
constexpr int ModeAm = 2;
constexpr int ModeAuto = 3;
constexpr int ModeNotSet = 4;
extern const std::array<std::string_view, 5> ModeNames; // "FM", "WFM", "AM", "Auto", "-"

extern const std::array<std::string_view, 3> DuplexNames; // "OFF", "-DUP", "+DUP"

// Tone modes as stored: 0 OFF, 2 TSQL, 3 TSQL-R, 5 DTCS, 6 DTCS-R.
constexpr int ToneOff = 0;
constexpr int ToneTsql = 2;
constexpr int ToneTsqlR = 3;
constexpr int ToneDtcs = 5;
constexpr int ToneDtcsR = 6;
extern const std::array<std::string_view, 8> ToneModeNames; // "" for 1, 4 and 7
bool IsOfferedToneMode(int toneMode);

// CTCSS tones 0..49 in tenths of a hertz (670 = 67.0 Hz).
extern const std::array<uint16_t, 50> ToneTenthsHz;
// DTCS codes 0..103 as their octal digits read in decimal (23 for "023").
extern const std::array<uint16_t, 104> DtcsCodes;

extern const std::array<std::string_view, 2> PolarityNames;  // "Normal", "Reverse"
extern const std::array<std::string_view, 4> CancellerNames; // "OFF", "TRAIN1", "TRAIN2", "MSK"
constexpr int CancellerTrain1 = 1;
extern const std::array<std::string_view, 3> SkipNames;       // "OFF", "Skip", "PSkip"
extern const std::array<std::string_view, 3> AttenuatorNames; // "OFF", "ON", "-"
constexpr int AttenuatorNotSet = 2;
// Icons of categories and basic-search banks, 0..22.
extern const std::array<std::string_view, 23> IconNames;
constexpr int IconHamHandheld = 12;

// Grid classes 0..4 and their steps in Hz (8.33 kHz is 8,333).
extern const std::array<uint32_t, 5> GridStepHz;

// Train frequencies of the canceller, Hz.
constexpr uint32_t TrainDefaultHz = 2280;

// Index of a name in a table, or nothing.
template <size_t N>
std::optional<int> IndexOf(const std::array<std::string_view, N>& table, std::string_view name) {
    for (size_t i = 0; i < N; ++i)
        if (!table[i].empty() && table[i] == name) return int(i);
    return std::nullopt;
}

} // namespace values
