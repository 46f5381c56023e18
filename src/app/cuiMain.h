#pragma once

// The generic half of the document controller: the one open document (its three
// images, where it came from, whether it has unsaved changes), the title, the controller
// task and the edit-settle timeout. indMain adds the receiver-specific half.

#include "app/cuiMainWindow.h"
#include "model/cmcEeprom.h"
#include "platform/cmcTask.h"

#include <memory>
#include <optional>
#include <string>

class cmcEvMan;
class cmcGTex;
class cmcHelpGTex;
class indEnviron;

class cuiMain {
  public:
    static constexpr int TaskIntervalMs = 50;
    static constexpr uint32_t EditSettleMs = 250;

    cuiMain(indEnviron& environ, cmcGTex& text, cmcHelpGTex& help, cmcEvMan& events, int imageSize);
    virtual ~cuiMain();
    cuiMain(const cuiMain&) = delete;
    cuiMain& operator=(const cuiMain&) = delete;

    // Change detection. CheckModified sets the flag the first time the working image
    // differs from the saved one; only MarkSaved clears it again.
    int CheckModified();
    void MarkSaved();
    void MarkModified();
    // After undo or redo: modified exactly when the working image is not the saved one.
    void RecheckModified();
    int Modified() const { return modified_; }

    // "<file name> - Pelham" on the main window; never shows the modified flag.
    void UpdateTitle();
    // The file name, or the current folder with "Untitled" while the document has none.
    std::string DocumentPath() const;
    const std::string& FileName() const { return fileName_; }
    // The document becomes untitled (after New and Clone Read); the title shows it.
    void ClearFileName();
    const std::string& CurrentFolder() const { return currentFolder_; }
    // The folder the next file dialog starts in, kept in the settings too.
    void TakeCurrentFolder(const std::string& folder);

    // Run by the cell logic at the end of every action: (re)starts the edit-settle
    // timeout and checks for changes.
    void AfterCellAction();
    void RestartEditSettle();

    cmcEeprom& WorkingImage() { return working_; }
    const cmcEeprom& SavedImage() const { return saved_; }
    const cmcEeprom& NewDocumentImage() const { return newDocument_; }
    int ImageBytes() const { return imageSize_; }
    int ModelWord() const { return modelWord_; }
    int ExtraWord() const { return extraWord_; }

    // Characters and formats for CSV text and printed pages, taken at construction.
    char DecimalSeparator() const { return decimalSeparator_; }
    char FieldSeparator() const { return fieldSeparator_; }
    const std::string& DateFormat() const { return dateFormat_; }
    const std::string& TimeFormat() const { return timeFormat_; }
    char DateSeparator() const { return dateSeparator_; }
    char TimeSeparator() const { return timeSeparator_; }

    cuiMainWindow* MainWindow() const { return window_; }
    cmcGTex& Catalogue() const { return text_; }
    cmcHelpGTex& HelpTopics() const { return help_; }
    cmcEvMan& Events() const { return events_; }
    indEnviron& Settings() const { return environ_; }
    bool MainWindowVisible() const { return window_ && window_->IsWindowVisible(); }
    bool ControllerTaskRunning() const { return task_->isRunning(); }

    // Line 0 of a catalogue key of the attached overlay.
    std::string Text(const std::string& key) const;
    // A message box captioned with the application title.
    int Message(const std::string& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);

    // Virtual slot 3: brings an image that was read from a file or the receiver into the
    // form the document works with.
    virtual void AdoptLoadedImage(cmcEeprom& image);

  protected:
    // Virtual slot 1: the identity words written into every file and compared with the
    // receiver's answer. Called once, by the most derived constructor.
    virtual void InitIdentity();
    // Virtual slot 2: creates the navigation tree.
    virtual void BuildTree();

    void StartControllerTask();
    void StopControllerTask();
    // One step of the controller task.
    virtual void ControllerStep();

    indEnviron& environ_;
    cmcGTex& text_;
    cmcHelpGTex& help_;
    cmcEvMan& events_;

    int imageSize_;
    int modelWord_ = 0;
    int extraWord_ = 0;
    cuiMainWindow* window_ = nullptr;
    bool gridHadFocus_ = false;
    std::string currentFolder_;
    std::string fileName_;
    int modified_ = 0;
    std::string dateFormat_;
    std::string timeFormat_;
    char dateSeparator_ = '/';
    char timeSeparator_ = ':';
    std::optional<cmcTick> editSettle_;
    cmcEeprom working_;
    cmcEeprom newDocument_;
    cmcEeprom saved_;
    char decimalSeparator_ = '.';
    char fieldSeparator_ = ',';
    std::unique_ptr<cmcTask> task_;

  private:
    void TakeLocaleFormats();
    std::string DefaultFolder() const;
};

// The file-name part of a path (the folder removed).
std::string FileNamePart(const std::string& path);
// The folder part of a path, without a trailing separator.
std::string FolderPart(const std::string& path);
