#pragma once

// The preview window of File > Import > From Other Tools...: the detected format, the
// column mapping (editable), where the rows go, the rows as they will be stored with their
// notes, and the summary; Import or Cancel. It only shows and edits the core's preview.

#include "files/cmcOtherList.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class cmcGTex;
class indOtherPreview;

class cuiOtherImportDialog : public QDialog {
  public:
    // The fields whose column the window lets the user pick: all of them.
    static constexpr int PickedFields = OtherFieldCount;

    cuiOtherImportDialog(cmcGTex& text, indOtherPreview& preview, QWidget* mainWindow);

    // Shows the window modally over the main window; true when Import was chosen.
    static bool Show(cmcGTex& text, indOtherPreview& preview, QWidget* mainWindow);

    QComboBox* FormatBox() const { return format_; }
    QComboBox* ColumnBox(OtherField field) const;
    QComboBox* UnitBox() const { return unit_; }
    QButtonGroup* Placements() const { return places_; }
    QTableWidget* Rows() const { return rows_; }
    QLabel* Summary() const { return summary_; }
    QPushButton* ImportButton() const { return import_; }
    QPushButton* CancelButton() const { return cancel_; }

  private:
    void BuildControls();
    void ShowMapping();
    void ShowRows();

    cmcGTex& text_;
    indOtherPreview& preview_;
    bool filling_ = false;
    QComboBox* format_ = nullptr;
    std::array<QComboBox*, PickedFields> columns_{};
    QComboBox* unit_ = nullptr;
    QButtonGroup* places_ = nullptr;
    QTableWidget* rows_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* import_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
