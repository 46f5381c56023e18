#include "app/cuiMainWindow.h"

#include <algorithm>

namespace {

// One side: no longer than the work area, and within it.
void KeepWithin(int& start, int& length, int areaStart, int areaLength) {
    length = std::min(length, areaLength);
    start = std::clamp(start, areaStart, areaStart + areaLength - length);
}

} // namespace

// The whole window on the work area: a placement stored on a larger screen, or at a larger
// scale, shrinks to the work area, and one partly off it moves on, so that its title bar
// and its edges can be reached.
cmcRect ClampToWorkArea(cmcRect placement, const cmcRect& workArea) {
    if (workArea.width <= 0 || workArea.height <= 0) return placement;
    KeepWithin(placement.left, placement.width, workArea.left, workArea.width);
    KeepWithin(placement.top, placement.height, workArea.top, workArea.height);
    return placement;
}
