#pragma once

// The pick-list window: a borderless popup under a cell that holds a sheet of the values
// the cell can take. A choice (Enter, double click, or releasing the left button over an
// item) goes to the opening cell's logic and the window closes; so does Escape, a click
// elsewhere, the opening grid going away, and the end of all input (event 35).

#include "sheet/view/cuiSheet.h"

#include <QFrame>

#include <memory>

class cuiFlector : public QFrame {
  public:
    // Opens the list for the cell of the capsule, which must come from a sheet.
    static cuiFlector* Open(cmcCellCapsule& opener, const std::string& sheetName);
    // The list window open now, if any (for tests).
    static cuiFlector* Current();

    ~cuiFlector() override;
    cuiSheet& Sheet() { return *sheet_; }

    // Where a window of the size goes for a cell: below it, else above it, else at the
    // bottom of the work area (and beside the cell when there is room to its left).
    static QRect Placement(const QRect& cell, const QSize& size, const QRect& workArea);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    cuiFlector(const cuiSheetServices& services, cmcCellCapsule& opener,
               const std::string& sheetName, QWidget* owner);
    static void OnEvent(void* context, const cmcEvent& event);
    void Place(const QRect& cellOnScreen);
    void SelectCurrentValue(cmcCellCapsule& opener);

    cuiSheetServices services_;
    void* openerGrid_ = nullptr;
    std::unique_ptr<cuiSheet> sheet_;
};
