#pragma once

#include "sheet/cmcCellNames.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The loop variables @ch0 .. @ch9 of a sheet.
using cmcSheetVariables = std::array<int, 10>;

// A font as the layout language describes it: plain data, turned into a real font by the
// view layer. An empty face means the system's user-interface face.
struct cmcCellFont {
    // The screen density the pixel height and the point size are kept in step with.
    static constexpr int PixelsPerInch = 96;

    int charset = 1; // DEFAULT_CHARSET
    std::string face;
    unsigned color = clWindowText;
    int height = -11; // pixels; negative: character height
    int size = 8;     // points
    int style = 0;    // fsBold | fsItalic | fsUnderline | fsStrikeOut
    int pitch = fpDefault;

    void SetHeight(int pixels);
    void SetSize(int points);
    bool operator==(const cmcCellFont&) const = default;
};

// One cell description: its look, its behaviour and its data binding.
class cmcCellObj {
  public:
    // Layout flag bits.
    static constexpr uint8_t AlignHMask = 0x03; // 0 left, 1 centre, 2 right
    static constexpr uint8_t AlignVMask = 0x0C; // 0 top, 1 middle, 2 bottom (shifted by 2)
    static constexpr uint8_t FitWidth = 0x10;   // W
    static constexpr uint8_t FitHeight = 0x20;  // H
    static constexpr uint8_t Wrap = 0x40;       // =
    static constexpr uint8_t Join = 0x80;       // +
    // Style flag bits (bits 5-7 hold Flag0..Flag2).
    static constexpr uint8_t BottomRule = 0x01; // B
    static constexpr uint8_t RuleMask = 0x06;   // 1 X full right rule, 2 Q short right rule
    static constexpr uint8_t Selectable = 0x08; // S
    static constexpr uint8_t Trailing = 0x10;   // T

    const cmcCellObj* parent = nullptr;     // not owned
    cmcSheetVariables* variables = nullptr; // only while the cell is being parsed
    int cellType = CT_None;
    int logicId = CL_None;
    int index = 0;
    std::string keyText;
    int imageIndex = -1;
    uint8_t layoutFlags = 0;
    uint8_t styleFlags = 0;
    uint8_t stateFlags = 0; // bits 0-4 hold Flag3..Flag7
    unsigned color = clWindow;
    std::optional<cmcCellFont> font; // none: the BasicCell's font
    std::string popupMenuName;       // empty: ask the parent chain
    bool inBlock = false;
    int blockNumber = 0;
    int rowsAbove = 0;
    int rowsBelow = 0;
    std::string templateText;

    // Back to the defaults, or to a copy of the parent without its font and popup menu.
    void ResetFromParent(const cmcCellObj* newParent);

    int AlignH() const { return layoutFlags & AlignHMask; }
    int AlignV() const { return (layoutFlags & AlignVMask) >> 2; }
    void SetAlignH(int align);
    void SetAlignV(int align);
    bool HasLayout(uint8_t bit) const { return (layoutFlags & bit) != 0; }
    bool HasStyle(uint8_t bit) const { return (styleFlags & bit) != 0; }
    int RightRule() const { return (styleFlags & RuleMask) >> 1; }
    void SetRightRule(int rule);
    bool IsSelectable() const { return HasStyle(Selectable); }

    // The state bits Flag0 .. Flag7.
    bool Flag(int n) const;
    void SetFlag(int n, bool on);

    // The popup menu offered on the cell: its own name, else the nearest in the parent
    // chain; empty when none has one.
    std::string EffectivePopupMenu() const;
    // The cell's own font, else the given BasicCell's, else none.
    const cmcCellFont* EffectiveFont(const cmcCellObj* basicCell) const;
};
