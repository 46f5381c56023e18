#include "app/cuiMainWindow.h"

namespace {
// How much of the window must stay on the work area horizontally and vertically.
constexpr int KeepVisible = 16;
} // namespace

cmcRect ClampToWorkArea(cmcRect placement, const cmcRect& workArea) {
    // The order matters: a window both too far right and too narrow ends up at the left.
    if (placement.left > workArea.right() - KeepVisible)
        placement.left = workArea.right() - KeepVisible;
    if (placement.top > workArea.bottom() - KeepVisible)
        placement.top = workArea.bottom() - KeepVisible;
    if (placement.right() < workArea.left + KeepVisible)
        placement.left = workArea.left + KeepVisible - placement.width;
    if (placement.top < workArea.top) placement.top = workArea.top;
    return placement;
}
