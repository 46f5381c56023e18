#pragma once

// The port dialog of the Port menu's "Other...": the serial ports found on this machine in
// a list, and the device path of the cloning cable in an edit box that takes any path.
// OK accepts only a port that can be opened now; otherwise it says "Cannot access <path>."
// (with the permission hint when the user may not open it) and the dialog stays open.

#include "platform/cmcPlatform.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class cmcGTex;

// The serial ports of this machine, USB adapters first.
std::vector<cmcPortInfo> cuiDetectedPorts();
// "description (ttyUSB0)", or the device path alone for a port without a description.
QString cuiPortCaption(const cmcPortInfo& port);

class cuiPortDialog : public QDialog {
  public:
    static constexpr int ListRows = 5;

    cuiPortDialog(cmcGTex& text, const std::string& current, QWidget* mainWindow);

    // Shows the dialog modally over the main window; the chosen path, or nothing when it
    // was cancelled.
    static std::optional<std::string> Choose(cmcGTex& text, const std::string& current,
                                             QWidget* mainWindow);

    const std::optional<std::string>& Chosen() const { return chosen_; }
    QListWidget* Ports() const { return list_; }
    QLineEdit* PathEdit() const { return edit_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

  private:
    void BuildControls(const std::string& current);
    void Arrange();
    void SelectListedPath(const QString& path);
    void Confirm();

    cmcGTex& text_;
    std::vector<cmcPortInfo> ports_;
    std::optional<std::string> chosen_;
    QLabel* notice_ = nullptr;
    QListWidget* list_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
