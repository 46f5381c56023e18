#pragma once

// Edit > Sort...: the column to sort the list by (the columns of the open sheet, by their
// headings), the direction, whether the channels inside each name are sorted too, and
// whether only the selected rows move. OK sorts; Escape closes with nothing asked.

#include "model/indCellLogic.h"

#include <QDialog>

#include <optional>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class cmcGTex;

// A column the list can be sorted by: its heading and the logic id of its cells.
using cuiSortColumn = std::pair<std::string, int>;

class cuiSortDialog : public QDialog {
  public:
    cuiSortDialog(cmcGTex& text, const clsSortOffer& offer,
                  const std::vector<cuiSortColumn>& columns, int current, QWidget* mainWindow);

    // Shows the dialog modally; the request, or nothing when cancelled. current: the logic id
    // of the column the cursor stands in, chosen first when it is one of the columns.
    static std::optional<clsSortRequest> Ask(cmcGTex& text, const clsSortOffer& offer,
                                             const std::vector<cuiSortColumn>& columns, int current,
                                             QWidget* mainWindow);

    QComboBox* Columns() const { return columns_; }
    QCheckBox* Descending() const { return descending_; }
    QCheckBox* WithinNames() const { return withinNames_; }
    QCheckBox* SelectionOnly() const { return selectionOnly_; }
    QDialogButtonBox* Buttons() const { return buttons_; }
    clsSortRequest Request() const;

  private:
    std::vector<cuiSortColumn> columnIds_;
    clsSortOffer offer_;
    QComboBox* columns_ = nullptr;
    QCheckBox* descending_ = nullptr;
    QCheckBox* withinNames_ = nullptr;
    QCheckBox* selectionOnly_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};
