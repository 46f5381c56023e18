#pragma once

// The Initial Setup: shown in place of the main window on a start where setup has not been
// done. The user chooses the serial port of the cloning cable (one of the ports found on
// this machine, or any device path under "More...") and presses OK; the program asks the
// receiver for its information, takes the receiver's destination, starts a new document
// for it and shows the main window. Cancel shows the main window without asking.

#include "platform/cmcPlatform.h"

#include <QWidget>

#include <string>
#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class indMain;
struct cmcEvent;

class TForm2 : public QWidget {
  public:
    static constexpr int PortChoices = 4; // detected ports offered; the rest under "More..."
    static constexpr int Margin = 8;
    static constexpr int PanelBevel = 2;
    static constexpr int MemoWidth = 417;
    static constexpr int MemoHeight = 217;
    static constexpr int PictureWidth = 72;
    static constexpr int PictureHeight = 112;

    // Created over the hidden main form; closing releases it.
    TForm2(indMain& controller, QWidget* mainForm);
    ~TForm2() override;

    // A fresh Initial Setup, shown (not modal).
    static TForm2* Show(indMain& controller, QWidget* mainForm);

    // The path the choice names: the checked detected port, or the edit box's path with
    // blanks trimmed.
    std::string ChosenPort() const;

    QPlainTextEdit* Memo() const { return memo_; }
    const std::vector<QRadioButton*>& PortButtons() const { return portButtons_; }
    QRadioButton* MoreButton() const { return moreButton_; }
    QLineEdit* PathEdit() const { return pathEdit_; }
    QPushButton* OkButton() const { return okButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    static void OnEvent(void* context, const cmcEvent& event);
    void HandleEvent(const cmcEvent& event);
    void BuildControls();
    QFrame* BuildPicture();
    QWidget* BuildPortChoice();
    void ChooseStoredPort();
    void FocusPortChoice();
    void Confirm();
    void Cancel();
    void Finish();

    indMain& controller_;
    std::vector<cmcPortInfo> ports_;
    QPlainTextEdit* memo_ = nullptr;
    std::vector<QRadioButton*> portButtons_;
    QRadioButton* moreButton_ = nullptr;
    QLineEdit* pathEdit_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    bool finished_ = false; // the setup is done or cancelled: the window may close
    bool subscribed_ = false;
};

// The picture of the receiver the setup shows: our own drawing of a hand-held receiver.
QPixmap cuiReceiverPicture(int width, int height);
