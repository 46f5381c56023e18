#pragma once

// Edit > Fill Series...: the start frequency and the step in megahertz, the number of
// channels (the selected rows at first; more rows are added on the New row), and an
// optional name that the channels take numbered ("AIR 1", "AIR 2", ...). OK is offered once
// the start and the step read as numbers; Escape closes with nothing asked.

#include "model/indCellLogic.h"

#include <QDialog>

#include <optional>

class QDialogButtonBox;
class QLineEdit;
class QSpinBox;
class cmcGTex;

class cuiFillSeriesDialog : public QDialog {
  public:
    cuiFillSeriesDialog(cmcGTex& text, const clsFillOffer& offer, QWidget* mainWindow);

    // Shows the dialog modally; the request, or nothing when cancelled.
    static std::optional<clsFillRequest> Ask(cmcGTex& text, const clsFillOffer& offer,
                                             QWidget* mainWindow);

    QLineEdit* Start() const { return start_; }
    QLineEdit* Step() const { return step_; }
    QSpinBox* Count() const { return count_; }
    QLineEdit* Name() const { return name_; }
    QSpinBox* FirstNumber() const { return first_; }
    QDialogButtonBox* Buttons() const { return buttons_; }
    clsFillRequest Request() const;

  private:
    void CheckInput();

    QLineEdit* start_ = nullptr;
    QLineEdit* step_ = nullptr;
    QSpinBox* count_ = nullptr;
    QLineEdit* name_ = nullptr;
    QSpinBox* first_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};
