#include "model/cmcValueTables.h"

namespace values {

const std::array<uint32_t, 16> TuningStepHz = {5000,   6250,   7500,   8333,  9000,  10000,
                                               12500,  15000,  20000,  25000, 30000, 50000,
                                               100000, 125000, 200000, 0};
const std::array<std::string_view, 16> TuningStepNames = {
    "5 kHz",  "6.25 kHz", "7.5 kHz", "8.33 kHz", "9 kHz",   "10 kHz",  "12.5 kHz", "15 kHz",
    "20 kHz", "25 kHz",   "30 kHz",  "50 kHz",   "100 kHz", "125 kHz", "200 kHz",  "Auto"};

const std::array<std::string_view, 5> ModeNames = {"FM", "WFM", "AM", "Auto", "-"};
const std::array<std::string_view, 3> DuplexNames = {"OFF", "-DUP", "+DUP"};
const std::array<std::string_view, 8> ToneModeNames = {"OFF", "",     "TSQL",   "TSQL-R",
                                                       "",    "DTCS", "DTCS-R", ""};

bool IsOfferedToneMode(int toneMode) {
    return toneMode >= 0 && toneMode < int(ToneModeNames.size()) &&
           !ToneModeNames[size_t(toneMode)].empty();
}

const std::array<uint16_t, 50> ToneTenthsHz = {
    670,  693,  719,  744,  770,  797,  825,  854,  885,  915,  948,  974,  1000,
    1035, 1072, 1109, 1148, 1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567,
    1598, 1622, 1655, 1679, 1713, 1738, 1773, 1799, 1835, 1862, 1899, 1928, 1966,
    1995, 2035, 2065, 2107, 2181, 2257, 2291, 2336, 2418, 2503, 2541};

const std::array<uint16_t, 104> DtcsCodes = {
    23,  25,  26,  31,  32,  36,  43,  47,  51,  53,  54,  65,  71,  72,  73,  74,  114, 115,
    116, 122, 125, 131, 132, 134, 143, 145, 152, 155, 156, 162, 165, 172, 174, 205, 212, 223,
    225, 226, 243, 244, 245, 246, 251, 252, 255, 261, 263, 265, 266, 271, 274, 306, 311, 315,
    325, 331, 332, 343, 346, 351, 356, 364, 365, 371, 411, 412, 413, 423, 431, 432, 445, 446,
    452, 454, 455, 462, 464, 465, 466, 503, 506, 516, 523, 526, 532, 546, 565, 606, 612, 624,
    627, 631, 632, 654, 662, 664, 703, 712, 723, 731, 732, 734, 743, 754};

const std::array<std::string_view, 2> PolarityNames = {"Normal", "Reverse"};
const std::array<std::string_view, 4> CancellerNames = {"OFF", "TRAIN1", "TRAIN2", "MSK"};
const std::array<std::string_view, 3> SkipNames = {"OFF", "Skip", "PSkip"};
const std::array<std::string_view, 3> AttenuatorNames = {"OFF", "ON", "-"};

const std::array<std::string_view, 23> IconNames = {
    "TRUCK",  "BUS",    "CAR",      "RACE CAR",  "TAXI",          "MOTORCYCLE",
    "TRAIN",  "SHIP",   "YACHT",    "AIRCRAFT",  "GLIDER",        "HAM",
    "HAM HH", "RADIO",  "TV",       "EMERGENCY", "FIRE",          "WEATHER",
    "HUMAN",  "ANIMAL", "BUILDING", "HOUSE",     "PROGRAM SEARCH"};

const std::array<uint32_t, 5> GridStepHz = {5000, 6250, 7500, 8333, 9000};

} // namespace values
