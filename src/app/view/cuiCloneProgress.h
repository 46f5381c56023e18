#pragma once

// The "Cloning" progress window of a read or write: 32 cells that fill as the image goes
// through, under the name of the step when a Clone Write runs several (backup, write,
// read-back). The user cannot close it; the clone session removes it when the phase ends.

#include "clone/indCloneProgress.h"

#include <QWidget>

#include <memory>

class QFrame;
class QLabel;

class cuiCloneProgressBox : public QWidget {
  public:
    static constexpr int CellWidth = 8;
    static constexpr int BoxHeight = 16;

    explicit cuiCloneProgressBox(QWidget* parent);
    void SetFilled(int filled);
    int Filled() const { return filled_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int filled_ = 0;
};

class cuiCloneProgress : public QWidget, public indCloneProgressView {
  public:
    // Centred over the main window (kept inside the work area), which it disables while
    // it is shown.
    cuiCloneProgress(QWidget* mainWindow, const QString& step);
    ~cuiCloneProgress() override;

    void ShowProgress(int filled) override;
    cuiCloneProgressBox* Box() const { return box_; }
    QLabel* StepLabel() const { return step_; }

    // The factory the program installs in the clone session. The next window takes the step
    // name that nextStep holds, if any, and empties it, so a later Clone Read shows none.
    static indCloneProgressFactory Factory(QWidget* mainWindow,
                                           std::shared_ptr<QString> nextStep = nullptr);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void PlaceOver(QWidget* mainWindow);

    QWidget* mainWindow_;
    QFrame* panel_;
    cuiCloneProgressBox* box_;
    QLabel* step_ = nullptr;
};
