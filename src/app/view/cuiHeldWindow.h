#pragma once

// A small window that hangs off the main window and holds it disabled while it is open:
// the user can neither start another command nor close the program meanwhile. Closing it
// (its button, Escape or the close box) releases it; the main window is enabled again and
// takes the focus.

#include <QPointer>
#include <QWidget>

class QPushButton;

class cuiHeldWindow : public QWidget {
  public:
    explicit cuiHeldWindow(QWidget* owner);
    ~cuiHeldWindow() override;

    // Disables the owner, shows this window (modeless) and gives the button the focus.
    void Open();

  protected:
    // The button that closes the window: the default one, and Escape presses it.
    void SetCloseButton(QPushButton* button);
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QPointer<QWidget> owner_;
    QPushButton* closeButton_ = nullptr;
};
