#pragma once

// The grid class stored beside every frequency: which channel grid the frequency lies on
// (0 5 kHz, 1 6.25 kHz, 2 7.5 kHz, 3 8.33 kHz, 4 9 kHz).

#include <cstdint>

struct clsGridPair {
    int first = 0;
    int second = 0;
};

// A channel's frequency and offset are classed together: both get the first grid both lie
// on; failing that, each gets its own first grid, or 0 when it lies on none. Other records
// class each frequency alone, as the pair (f, 0).
clsGridPair GridClassPair(uint32_t frequency, uint32_t partner);
inline int GridClassOf(uint32_t frequency) {
    return GridClassPair(frequency, 0).first;
}
