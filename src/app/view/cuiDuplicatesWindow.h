#pragma once

// Edit > Find Duplicates: a window beside the main window listing, one line each, the
// channels whose frequency and mode or whose name an earlier channel already has. A
// double click or Enter on a line shows its row; Delete removes the selected duplicates as
// one undo step. The list is found again whenever the window is shown or activated, so it
// follows the document.

#include "model/cmcDuplicates.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class cmcGTex;

class cuiDuplicatesWindow : public QDialog {
  public:
    struct clsServices {
        std::function<std::vector<clsDuplicate>()> find;
        std::function<std::string(int group)> groupLabel; // "AIR BAND" or "Group 3"
        std::function<void(const clsDuplicate&)> show;    // opens the row's sheet there
        std::function<void(const std::vector<int>& chosenSlots)> remove;
    };

    cuiDuplicatesWindow(cmcGTex& text, clsServices services, QWidget* mainWindow);

    // Finds the duplicates again and lists them.
    void Refresh();

    QListWidget* List() const { return list_; }
    QLabel* State() const { return state_; }
    QPushButton* DeleteButton() const { return delete_; }
    const std::vector<clsDuplicate>& Found() const { return found_; }

  protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::string LineOf(const clsDuplicate& duplicate) const;
    void ShowRow(int line);
    void DeleteSelected();

    cmcGTex& text_;
    clsServices services_;
    std::vector<clsDuplicate> found_;
    QListWidget* list_ = nullptr;
    QLabel* state_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* close_ = nullptr;
};
