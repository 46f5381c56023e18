#include "sheet/cmcCellObj.h"

namespace {
// MulDiv as the platform does it: rounded half away from zero.
int MulDiv(int value, int numerator, int denominator) {
    long long product = static_cast<long long>(value) * numerator;
    long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}
} // namespace

void cmcCellFont::SetHeight(int pixels) {
    height = pixels;
    size = -MulDiv(pixels, 72, PixelsPerInch);
}

void cmcCellFont::SetSize(int points) {
    size = points;
    height = -MulDiv(points, PixelsPerInch, 72);
}

void cmcCellObj::ResetFromParent(const cmcCellObj* newParent) {
    cmcSheetVariables* keepVariables = variables;
    if (newParent) {
        *this = *newParent;
        font.reset();
        popupMenuName.clear();
        inBlock = false;
        blockNumber = rowsAbove = rowsBelow = 0;
    } else {
        *this = cmcCellObj();
    }
    parent = newParent;
    variables = keepVariables;
}

void cmcCellObj::SetAlignH(int align) {
    layoutFlags = static_cast<uint8_t>((layoutFlags & ~AlignHMask) | (align & 0x03));
}

void cmcCellObj::SetAlignV(int align) {
    layoutFlags = static_cast<uint8_t>((layoutFlags & ~AlignVMask) | ((align & 0x03) << 2));
}

void cmcCellObj::SetRightRule(int rule) {
    styleFlags = static_cast<uint8_t>((styleFlags & ~RuleMask) | ((rule & 0x03) << 1));
}

bool cmcCellObj::Flag(int n) const {
    if (n < 0 || n > 7) return false;
    return n < 3 ? (styleFlags >> (5 + n)) & 1 : (stateFlags >> (n - 3)) & 1;
}

void cmcCellObj::SetFlag(int n, bool on) {
    if (n < 0 || n > 7) return;
    uint8_t& bits = n < 3 ? styleFlags : stateFlags;
    const uint8_t mask = static_cast<uint8_t>(1u << (n < 3 ? 5 + n : n - 3));
    bits = static_cast<uint8_t>(on ? bits | mask : bits & ~mask);
}

std::string cmcCellObj::EffectivePopupMenu() const {
    for (const cmcCellObj* cell = this; cell; cell = cell->parent)
        if (!cell->popupMenuName.empty()) return cell->popupMenuName;
    return {};
}

const cmcCellFont* cmcCellObj::EffectiveFont(const cmcCellObj* basicCell) const {
    if (font) return &*font;
    if (basicCell && basicCell->font) return &*basicCell->font;
    return nullptr;
}
