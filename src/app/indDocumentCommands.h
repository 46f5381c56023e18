#pragma once

// The document's commands as the cell logic reaches them: menu items, toolbar buttons and
// tree actions call through this onto the document controller.

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
    std::string RecentPath(int i) override;
    std::string RecentText(int i) override;

  private:
    indMain& main_;
};
