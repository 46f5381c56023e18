#pragma once

// The main window: the catalogue's main menu, the toolbar, the work area split into the
// navigation tree (left) and the open sheet (right), and a status bar. It is created
// hidden; the program shows it.

#include "app/cuiMainWindow.h"

#include "model/cmcFind.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class QFrame;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class cmcCellObj;
class cuiFindBar;
class cuiHtmlHelp;
class cuiMenu;
class cuiPrintJob;
class cuiSheet;
class iuiTree;
class indMain;
struct cmcEvent;
struct cuiSheetServices;

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
    bool IsMaximized() const override { return isMaximized(); }
    int SplitterPosition() const override;
    void CloseWindow() override;
    bool ShowSheet(const std::string& address, const std::array<int, 4>& position, bool focus,
                   bool resetWidths) override;
    bool CloseSheetView(std::array<int, 4>& position, bool& hadFocus) override;
    bool SheetOpen() const override { return sheet_ != nullptr; }
    std::string OpenSheetAddress() const override;
    std::array<int, 4> SheetPosition() const override;
    void OpenPickList(cmcCellCapsule& opener, const std::string& list) override;
    bool ActOnTreeSelection() override;
    int PositionOf(char kind, int number) const override;
    void ShowToolBar(bool shown) override;
    std::vector<std::string> DetectedPorts() const override;
    void MirrorSheetMenu() override;
    std::optional<std::string> ChoosePort() override;
    std::optional<clsSortRequest> AskSort(const clsSortOffer& offer) override;
    void ShowDuplicates() override;
    std::optional<clsFillRequest> AskFill(const clsFillOffer& offer) override;
    void ShowCloneInformation() override;
    void ShowAbout() override;
    bool ShowRecord(const clsDiffRecord& record) override;
    void ShowDifferences(const std::string& path,
                         const std::vector<clsImageDifference>& differences) override;
    void Print(bool all) override;
    bool CanPrintSheet() const override;
    int ShowHelpContents(const std::string& path) override;
    int ShowHelpTopic(const std::string& path, int context) override;

    // Opens a clone data file once the window is first shown (after the Initial Setup when
    // one runs).
    void OpenAtStart(const std::string& path) { startFile_ = path; }

    QFrame* LeftPanel() const { return leftPanel_; }
    QFrame* RightPanel() const { return rightPanel_; }
    cuiSheet* Sheet() const { return sheet_.get(); }
    iuiTree* Tree() const { return tree_; }
    cuiPrintJob& PrintJob();
    QToolBar* ToolBar() const { return toolBar_; }
    cuiMenu* MainMenu() const { return menu_.get(); }
    QMenu* EditMenu() const { return editMenu_; }
    QAction* UndoItem() const { return undoItem_; }
    QAction* RedoItem() const { return redoItem_; }
    cuiFindBar* FindBar() const { return findBar_; }
    class cuiDuplicatesWindow* DuplicatesWindow() const { return duplicates_; }
    cuiHtmlHelp* Help() const { return help_.get(); }

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    static void OnEvent(void* context, const cmcEvent& event);
    void HandleEvent(const cmcEvent& event);
    void BuildPanels();
    void FitTreePanel();
    void BuildMenus();
    void BuildUndoItems();
    void RefreshUndoItems();
    void RunUndo(bool redo);
    void BuildToolBar();
    void RefreshToolBar();
    void BuildStatusBar();
    void BuildFindBar();
    std::vector<clsFindMatch> FindInDocument(const std::string& text) const;
    void ShowMatch(const clsFindMatch& match);
    int MatchNearCursor(const std::vector<clsFindMatch>& matches, bool forward) const;
    void PlaceFromSettings();
    void FitFrameInWorkArea();
    void RefreshPortItems();
    void RunCell(const cmcCellObj& cell);
    void NoteFocus(QWidget* now);
    void RestoreFocus();
    cuiSheetServices SheetServices();

    indMain& controller_;
    QSplitter* splitter_ = nullptr;
    QFrame* leftPanel_ = nullptr;
    QFrame* rightPanel_ = nullptr;
    iuiTree* tree_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    std::vector<std::unique_ptr<class cmcCellObj>> toolCells_;
    std::unique_ptr<cuiMenu> menu_;
    QMenu* editMenu_ = nullptr;
    std::unique_ptr<cuiMenu> editItems_; // the Edit menu when no sheet offers its own
    QAction* undoItem_ = nullptr;        // Undo and Redo head the Edit menu
    QAction* redoItem_ = nullptr;
    QAction* undoSeparator_ = nullptr;
    QLabel* statusText_ = nullptr;
    QLabel* statusSide_ = nullptr;
    std::unique_ptr<cuiSheet> sheet_;
    std::unique_ptr<cuiPrintJob> printJob_;
    cuiFindBar* findBar_ = nullptr;
    class cuiDuplicatesWindow* duplicates_ = nullptr; // made on the first request
    std::string startFile_;
    std::unique_ptr<cuiHtmlHelp> help_; // made on the first request
    // The widget of this window that last had the focus, and whether it was in the sheet:
    // disabling the window (a dialog, a clone, printing) takes the focus away, and
    // enabling it gives the focus back.
    QPointer<QWidget> lastFocus_;
    bool shownOnce_ = false; // the stored maximised state applies to the first show only
    bool lastFocusInSheet_ = false;
    QMetaObject::Connection focusWatch_;
};
