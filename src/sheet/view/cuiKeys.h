#pragma once

// The one place where the toolkit's key events become what a sheet does with them: cursor
// moves, or the codes the cell logic tests (typed characters by their code, Enter 13,
// Backspace 8, the arrow keys at the edge and the function keys as virtual keys shifted
// left by 8 bits: F2 is 0x7100).

#include <QString>

class QKeyEvent;

struct cuiKey {
    enum Kind {
        Ignore,    // nothing for the sheet (a bare modifier)
        Shortcut,  // left to the popup menu's shortcuts (Ctrl+Up, Ctrl+Down)
        Move,      // the cursor moves by columns and rows
        EdgeMove,  // Left or Right: moves, or goes to the logic as virtualKey when it cannot
        Far,       // Home, End (the row's first or last cell), with Ctrl the first or last record
        LogicKey,  // goes to the logic as code
        TypedText, // text the logic's keys cannot carry: opens the editor with it
    };
    Kind kind = Ignore;
    int columns = 0;
    int rows = 0;
    bool extend = false; // Shift held: the selection grows
    int code = 0;        // for LogicKey, and the virtual key of an EdgeMove
    QString text;        // for TypedText
};

// Rows moved by Page Up and Page Down.
constexpr int PageRows = 10;

cuiKey cuiTranslateKey(const QKeyEvent& event);

// The virtual key code of the logic for a function key number 1..12.
constexpr int cuiFunctionKey(int n) {
    return (0x6F + n) << 8;
}
