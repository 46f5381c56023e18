#pragma once

// The platform for pelham-cli: QtCore for timers, the clock and settings; messages and
// questions on the console; no dialogs. Also sets up the text catalogue in the chosen
// language, so messages are the program's own texts.

#include "catalogue/cmcGTex.h"
#include "platform/qt/core/cmcQtCorePlatform.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCoreApplication;

// Message boxes on the console: the text goes to standard error; an OK-only box needs no
// answer; a question is answered OK/Yes by --yes, asked when standard input is a
// terminal, and cancelled otherwise.
class cmcConsoleMessageBox : public cmcMessageBox {
  public:
    explicit cmcConsoleMessageBox(bool assumeYes) : assumeYes_(assumeYes) {}
    int show(const std::string& text, const std::string& caption, MsgIcon icon,
             MsgButtons buttons) override;

  private:
    bool assumeYes_;
};

class cmcNoDialogs : public cmcFileDialogs {
  public:
    std::optional<std::string> openFile(const cmcFileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFile(const cmcFileDialogRequest&) override { return {}; }
};

class cmcFixedScreen : public cmcScreen {
  public:
    cmcRect screen() override { return {0, 0, 1024, 768}; }
    cmcRect workArea() override { return {0, 0, 1024, 768}; }
};

// The parameters the settings store reads for a run: --language en|ja when given. With
// them the store finds the language as the program does: the option, the user's own
// setting, the machine-wide one, then the locale.
std::vector<std::string> CliSettingsArgs(const std::optional<std::string>& language);

class CliPlatform : public cmcQtCorePlatform {
  public:
    // A platform that paints runs a GUI application on the offscreen display. language:
    // the --language option, if any.
    CliPlatform(int& argc, char** argv, bool assumeYes, const std::optional<std::string>& language,
                bool paints = false);
    ~CliPlatform() override;
    int language() const { return language_; }

  private:
    std::unique_ptr<QCoreApplication> app_;
    cmcConsoleMessageBox messages_;
    cmcNoDialogs dialogs_;
    cmcFixedScreen screen_;
    cmcGTex catalogue_;
    int language_ = 0;
};
