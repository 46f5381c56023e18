#pragma once

// The list question of the platform on Qt Widgets: a modal window with a summary over a
// list of lines, in the look of the compare window. Clone Write's plan and Restore Backup's
// list of backups are asked through it.

#include "platform/cmcPlatform.h"

#include <QDialog>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

class cuiListWindow : public QDialog {
  public:
    cuiListWindow(const cmcListQuestion& question, QWidget* parent);

    // The answer once the window has closed.
    cmcListAnswer Answer() const { return answer_; }
    // The lines as the Copy button puts them on the clipboard.
    QString CopyText() const;

    QLabel* Summary() const { return summary_; }
    QListWidget* List() const { return list_; }
    QLabel* Note() const { return note_; }
    const std::vector<QPushButton*>& Buttons() const { return buttons_; }
    QPushButton* CopyButton() const { return copyButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

  private:
    void Finish(int button, bool activated);

    cmcListQuestion question_;
    QLabel* summary_;
    QListWidget* list_;
    QLabel* note_;
    std::vector<QPushButton*> buttons_;
    QPushButton* copyButton_ = nullptr;
    QPushButton* cancelButton_;
    cmcListAnswer answer_;
};

// Installed into the platform by the program: each question opens a cuiListWindow over the
// active window.
class cuiListBox : public cmcListBox {
  public:
    cmcListAnswer show(const cmcListQuestion& question) override;
    // Puts this box into the installed platform.
    void Install();
};
