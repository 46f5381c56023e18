#pragma once

// The clone information window: what the receiver reported about itself in its last
// information answer, shown as the catalogue's sheet "GI_Sheet_CloneInfo" in a bevelled
// panel sized to the whole sheet, with an OK button. It holds the main window disabled
// while open.

#include "app/view/cuiHeldWindow.h"
#include "sheet/view/cuiSheet.h"

#include <memory>

class QFrame;
class QPushButton;

class cuiCloneInfoWindow : public cuiHeldWindow {
  public:
    static constexpr const char* SheetName = "GI_Sheet_CloneInfo";
    static constexpr int PanelBorder = 8;
    static constexpr int PanelBevel = 2;
    static constexpr int ButtonMargin = 5;
    static constexpr int MinimumButtonWidth = 75;

    // services: the catalogue, events and settings the sheet reads.
    cuiCloneInfoWindow(const cuiSheetServices& services, QWidget* mainWindow);
    ~cuiCloneInfoWindow() override;

    // A fresh window over the main window, open; it releases itself when closed.
    static cuiCloneInfoWindow* Show(const cuiSheetServices& services, QWidget* mainWindow);

    cuiSheet& Sheet() { return *sheet_; }
    QPushButton* Button() const { return button_; }

  private:
    void Arrange();

    QFrame* panel_ = nullptr;
    std::unique_ptr<cuiSheet> sheet_;
    QPushButton* button_ = nullptr;
};
