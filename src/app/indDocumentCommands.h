#pragma once

// The document's commands as the cell logic reaches them: menu items, toolbar buttons and
// tree actions call through this onto the document controller.

#include "app/indCloneCommands.h"
#include "model/cmcDocumentCommands.h"

class indMain;

class indDocumentCommands : public cmcDocumentCommands {
  public:
    explicit indDocumentCommands(indMain& main) : main_(main) {}

    int FileNew() override;
    int FileOpen() override;
    int OpenDocument(const std::string& path) override;
    int FileSave() override;
    int FileSaveAs() override;
    void CloneRead() override;
    void CloneWrite() override;
    void CloseMainWindow() override;
    void OpenSheet(const std::string& address) override;
    void RestartEditSettle() override;
    bool CheckModified() override;
    void ActionStarting() override;
    void ActionDone(int action) override;
    std::string RecentPath(int i) override;
    std::string RecentText(int i) override;
    bool CanRun(Command command, int index) override;
    bool IsTicked(Command command, int index) override;
    void Run(Command command, int index) override;

  private:
    static constexpr int DetectedPortItems = 4; // the Port menu's numbered items
    std::string DetectedPort(int n) const;      // port n (1..4) of those found, or ""
    void SwitchSafetySetting(Command command);  // backup before or verify after writing
    void SwitchSerialTrace();
    void ChooseLanguage(int language); // 0 English, 1 Japanese, from the next start

    indMain& main_;
};

// The document as the clone commands reach it.
class indDocumentForClone : public indCloneDocument {
  public:
    explicit indDocumentForClone(indMain& main) : main_(main) {}

    cmcEeprom& WorkingImage() override;
    int ConfirmSave(bool another) override;
    void AdoptLoadedImage(cmcEeprom& image) override;
    void MarkModified() override;
    void ClearFileName() override;
    void CloseSheet() override;
    bool MainWindowVisible() override;
    int InstalledDestination() override;
    indCloneLine CloneLine() override;
    void OpenCloneInformation() override;
    void ActionDone(int action) override;
    void ShowStatus(const std::string& text) override;
    bool JapaneseText() override;
    void ShowRecord(const clsDiffRecord& record) override;

  private:
    indMain& main_;
};
