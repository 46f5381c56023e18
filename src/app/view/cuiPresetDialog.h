#pragma once

// The Preset Basic Search dialog: the presets on the left, the chosen preset's categories
// as a check list on the right ("All" first, which while checked stands for every
// category), and the buttons Add and Overwrite. Overwrite asks first; Escape closes the
// dialog with nothing chosen.

#include "app/indFileCommands.h"

#include <QDialog>

#include <optional>

class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class cmcGTex;

class cuiPresetDialog : public QDialog {
  public:
    static constexpr int ListWidth = 140;
    static constexpr int ListHeight = 160;
    static constexpr int StripHeight = 35;

    cuiPresetDialog(cmcGTex& text, const indPresetRequest& request, QWidget* mainWindow);

    // Shows the dialog modally over the main window; the choice, or nothing after Escape.
    static std::optional<indPresetChoice> Choose(cmcGTex& text, const indPresetRequest& request,
                                                 QWidget* mainWindow);

    const std::optional<indPresetChoice>& Choice() const { return choice_; }

    QListWidget* Sources() const { return sources_; }
    QListWidget* Categories() const { return categories_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* OverwriteButton() const { return overwrite_; }
    QPushButton* CloseButton() const { return close_; }

  private:
    void BuildControls();
    void Arrange();
    void FillCategories(int source);
    void AllToggled(QListWidgetItem* item);
    void Finish(bool overwrite);
    bool ConfirmOverwrite();

    cmcGTex& text_;
    indPresetRequest request_;
    std::optional<indPresetChoice> choice_;
    QFrame* frame_ = nullptr;
    QLabel* sourceLabel_ = nullptr;
    QLabel* categoryLabel_ = nullptr;
    QListWidget* sources_ = nullptr;
    QListWidget* categories_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* overwrite_ = nullptr;
    QPushButton* close_ = nullptr; // closes with nothing chosen, as Escape does
};
