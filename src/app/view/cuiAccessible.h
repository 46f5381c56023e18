#pragma once

// Windows that are dialogs to the user but plain widgets to Qt (they hold the main window
// or stand beside it) read as dialogs to assistive technology, named by their titles.

#include <QProxyStyle>

class QWidget;

void cuiReadAsDialog(QWidget* window);

// The desktop's style with a focus frame inside the push button that has the keyboard
// focus: some styles draw the focused and the default button alike.
class cuiFocusStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    // Push buttons are a little wider, so that the frame stays clear of a long label.
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
};
