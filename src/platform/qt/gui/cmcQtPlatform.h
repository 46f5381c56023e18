#pragma once

// The whole platform for the GUI program: the QtCore parts plus message boxes, file
// dialogs, the screen and the wait cursor on Qt Widgets.

#include "platform/qt/core/cmcQtCorePlatform.h"

#include <QObject>

class QTranslator;

class cmcQtMessageBox : public cmcMessageBox {
  public:
    int show(const std::string& text, const std::string& caption, MsgIcon icon,
             MsgButtons buttons) override;
};

class cmcQtFileDialogs : public cmcFileDialogs {
  public:
    std::optional<std::string> openFile(const cmcFileDialogRequest& request) override;
    std::optional<std::string> saveFile(const cmcFileDialogRequest& request) override;
};

class cmcQtScreen : public cmcScreen {
  public:
    cmcRect screen() override;
    cmcRect workArea() override;
};

class cmcQtWaitCursor : public cmcWaitCursor {
  public:
    void setWaiting(bool waiting) override;
};

// The text is read from the desktop once per change of the clipboard: the sheets ask for
// it whenever their popup states refresh, and another program may be slow to answer.
class cmcQtClipboard : public cmcTextClipboard {
  public:
    std::string text() override;
    void setText(const std::string& text) override;

  private:
    QObject watcher_; // ends the change notification with this object
    bool watching_ = false;
    bool fresh_ = false;
    std::string text_;
};

// Converts a filter in the catalogue's form ("Data files (*.tcf)|*.tcf|All files (*.*)|*.*")
// to Qt's ("Data files (*.tcf);;All files (*)").
std::string cmcQtDialogFilter(const std::string& catalogueFilter);

// Puts Qt's own texts (the buttons of message boxes, the file and print dialogs) into the
// program's language, 1 being Japanese: the translator is installed in the application.
// Language 0 keeps Qt's English. False when Qt's texts of the language are not installed;
// the program then runs on with English buttons.
bool cmcQtTranslate(QTranslator& translator, int language);

class cmcQtPlatform : public cmcQtCorePlatform {
  public:
    cmcQtPlatform(); // installs itself

    cmcQtMessageBox messages;
    cmcQtFileDialogs dialogs;
    cmcQtScreen screen;
    cmcQtWaitCursor cursor;
    cmcQtClipboard clipboard;
};
