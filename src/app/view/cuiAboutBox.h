#pragma once

// The About box: the application's icon, the program's name, revision and copyright line
// from the catalogue, and an OK button. It holds the main window disabled while open.

#include "app/view/cuiHeldWindow.h"

class QLabel;
class QPushButton;
class cmcGTex;

class cuiAboutBox : public cuiHeldWindow {
  public:
    static constexpr int IconSize = 48;

    cuiAboutBox(cmcGTex& text, QWidget* mainWindow);

    // A fresh box over the main window, open; it releases itself when closed.
    static cuiAboutBox* Show(cmcGTex& text, QWidget* mainWindow);

    QLabel* Picture() const { return picture_; }
    QLabel* Label() const { return label_; }
    QPushButton* Button() const { return button_; }

  private:
    void Arrange();

    QLabel* picture_ = nullptr;
    QLabel* label_ = nullptr;
    QPushButton* button_ = nullptr;
};
