#include "sheet/view/cuiCellEditor.h"

#include <QKeyEvent>
#include <QTextBlock>

cuiCellEditor::cuiCellEditor(QWidget* parent, std::function<void(Finish)> onFinish)
    : QPlainTextEdit(parent), onFinish_(std::move(onFinish)) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    document()->setDocumentMargin(1);
    hide();
    connect(this, &QPlainTextEdit::textChanged, this, [this] { KeepLength(); });
}

void cuiCellEditor::Start(const QString& text, int selectionStart, int selectionLength,
                          const QFont& font, const QRect& area, bool wrap) {
    wrap_ = wrap;
    setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setFont(font);
    setPlainText(text.left(MaximumLength));
    setGeometry(area);
    QTextCursor cursor = textCursor();
    const int length = static_cast<int>(toPlainText().size());
    const int start = std::clamp(selectionStart, 0, length);
    cursor.setPosition(start);
    cursor.setPosition(std::clamp(start + selectionLength, start, length), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    active_ = true;
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

std::string cuiCellEditor::Text() const {
    QString text = toPlainText();
    text.remove(QLatin1Char('\n'));
    return text.toStdString();
}

void cuiCellEditor::Stop() {
    active_ = false;
    hide();
}

void cuiCellEditor::End(Finish how) {
    if (!active_) return;
    active_ = false;
    onFinish_(how);
    hide();
}

void cuiCellEditor::KeepLength() {
    if (toPlainText().size() <= MaximumLength) return;
    QTextCursor cursor = textCursor();
    const int position = cursor.position();
    const QSignalBlocker block(this);
    setPlainText(toPlainText().left(MaximumLength));
    cursor = textCursor();
    cursor.setPosition(std::min(position, MaximumLength));
    setTextCursor(cursor);
}

void cuiCellEditor::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        End(Commit);
        return;
    case Qt::Key_Escape:
        End(Cancel);
        return;
    case Qt::Key_Up:
        if (!wrap_) return End(CommitUp);
        break;
    case Qt::Key_Down:
        if (!wrap_) return End(CommitDown);
        break;
    case Qt::Key_Tab:
        if (event->modifiers() & Qt::ControlModifier) break;
        return End(CommitRight);
    case Qt::Key_Backtab:
        if (event->modifiers() & Qt::ControlModifier) break;
        return End(CommitLeft);
    case Qt::Key_PageUp:
        return End(CommitPageUp);
    case Qt::Key_PageDown:
        return End(CommitPageDown);
    default:
        break;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void cuiCellEditor::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    // A menu or a question box opened from the editor does not end it.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    End(Commit);
}
