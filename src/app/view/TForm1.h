#pragma once

// The main window: a menu, the work area split into the tree panel (left) and the sheet
// panel (right), and a status bar. It is created hidden; the program shows it.

#include "app/cuiMainWindow.h"

#include <QMainWindow>

#include <memory>

class QFrame;
class QSplitter;
class indMain;
class cuiSheet;

class TForm1 : public QMainWindow, public cuiMainWindow {
  public:
    static constexpr int MinimumWidth = 400;
    static constexpr int MinimumHeight = 200;
    static constexpr int SplitterHandleWidth = 3;
    static constexpr int PanelBevel = 2;

    explicit TForm1(indMain& controller);
    ~TForm1() override;

    // cuiMainWindow
    void SetCaption(const std::string& caption) override;
    bool IsWindowVisible() const override;
    bool IsWindowEnabled() const override;
    void EnableWindow(bool enabled) override;
    void ShowWindow() override;
    cmcRect Placement() const override;
    int SplitterPosition() const override;
    void CloseWindow() override;
    bool ShowSheet(const std::string& address, const std::array<int, 4>& position,
                   bool focus) override;
    bool CloseSheetView(std::array<int, 4>& position, bool& hadFocus) override;
    bool SheetOpen() const override { return sheet_ != nullptr; }
    std::string OpenSheetAddress() const override;
    void OpenPickList(cmcCellCapsule& opener, const std::string& list) override;

    cuiSheet* Sheet() const { return sheet_.get(); }

    QFrame* LeftPanel() const { return leftPanel_; }
    QFrame* RightPanel() const { return rightPanel_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildPanels();
    void BuildMenus();
    void PlaceFromSettings();

    indMain& controller_;
    QSplitter* splitter_ = nullptr;
    QFrame* leftPanel_ = nullptr;
    QFrame* rightPanel_ = nullptr;
    std::unique_ptr<cuiSheet> sheet_;
};
