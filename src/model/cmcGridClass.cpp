#include "model/cmcGridClass.h"

namespace {

constexpr int GridTests = 5;

// The five grid tests in the order they are preferred. The 8.33 kHz grid is recognised by
// its multiples of 8,333 Hz or by a last digit of 3 or 6 (8,333.3 Hz rounded).
bool OnGrid(uint32_t f, int test) {
    switch (test) {
    case 0:
        return f % 5000 == 0;
    case 1:
        return f % 6250 == 0;
    case 2:
        return f % 7500 == 0;
    case 3:
        return f % 8333 == 0 || f % 10 == 3 || f % 10 == 6;
    default:
        return f % 9000 == 0;
    }
}

int FirstGrid(uint32_t f) {
    for (int test = 0; test < GridTests; ++test)
        if (OnGrid(f, test)) return test;
    return 0;
}

} // namespace

clsGridPair GridClassPair(uint32_t frequency, uint32_t partner) {
    for (int test = 0; test < GridTests; ++test)
        if (OnGrid(frequency, test) && OnGrid(partner, test)) return {test, test};
    return {FirstGrid(frequency), FirstGrid(partner)};
}
