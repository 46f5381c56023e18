#include "sheet/view/cuiKeys.h"

#include <QKeyEvent>

namespace {

constexpr int VirtualLeft = 0x25 << 8;
constexpr int VirtualRight = 0x27 << 8;

cuiKey Move(int columns, int rows, bool extend) {
    cuiKey key;
    key.kind = cuiKey::Move;
    key.columns = columns;
    key.rows = rows;
    key.extend = extend;
    return key;
}

cuiKey Logic(int code) {
    cuiKey key;
    key.kind = cuiKey::LogicKey;
    key.code = code;
    return key;
}

} // namespace

cuiKey cuiTranslateKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool onlyCtrl = modifiers == Qt::ControlModifier;
    switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (onlyCtrl) return {cuiKey::Shortcut};
        return Move(0, event.key() == Qt::Key_Up ? -1 : 1, shift);
    }
    case Qt::Key_PageUp:
        return Move(0, -PageRows, shift);
    case Qt::Key_PageDown:
        return Move(0, PageRows, shift);
    case Qt::Key_Left:
    case Qt::Key_Right: {
        cuiKey key = Move(event.key() == Qt::Key_Left ? -1 : 1, 0, shift);
        key.kind = cuiKey::EdgeMove;
        key.code = event.key() == Qt::Key_Left ? VirtualLeft : VirtualRight;
        return key;
    }
    case Qt::Key_Tab:
        return Move(1, 0, false);
    case Qt::Key_Backtab:
        return Move(-1, 0, false);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Logic(13);
    case Qt::Key_Backspace:
        return Logic(8);
    case Qt::Key_Home:
    case Qt::Key_End: {
        const int direction = event.key() == Qt::Key_Home ? -1 : 1;
        const bool ctrl = modifiers & Qt::ControlModifier;
        cuiKey key = Move(ctrl ? 0 : direction, ctrl ? direction : 0, shift);
        key.kind = cuiKey::Far;
        return key;
    }
    default:
        break;
    }
    if (event.key() >= Qt::Key_F1 && event.key() <= Qt::Key_F12)
        return Logic(cuiFunctionKey(event.key() - Qt::Key_F1 + 1));
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return {};
    const QString text = event.text();
    if (text.isEmpty()) return {};
    const char16_t first = text.at(0).unicode();
    if (text.size() == 1 && first >= 0x20 && first < 0x7F) return Logic(first);
    if (first < 0x20 || first == 0x7F) return {}; // Escape and other controls
    cuiKey typed;
    typed.kind = cuiKey::TypedText;
    typed.text = text;
    return typed;
}
