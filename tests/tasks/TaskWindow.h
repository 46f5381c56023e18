#pragma once

// Tasks as a user does them: the real main window offscreen, driven with clicks and keys
// on the widgets a user touches (the tree, the grid, the pick lists, the menus by their
// captions), judged by what a saved file holds, in the words of the program's compare.

#include "app/indMain.h"
#include "app/indProcess.h"
#include "app/view/TForm1.h"
#include "files/cmcImageDiff.h"
#include "model/cmcEeprom.h"
#include "model/indDestination.h"
#include "platform/fake/cmcFakePlatform.h"
#include "sheet/view/cuiSheet.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QTreeWidgetItem;

// Where two images first differ, for messages.
std::string FirstDifference(const cmcEeprom& a, const cmcEeprom& b);

class TaskWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite();

    void SetUp() override;
    void TearDown() override;

    // Lets posted events and the controller's task run, for settleWait milliseconds of
    // real time (the tree's change delay is waited for where a node is clicked).
    void Settle();
    int settleWait = 40;

    // Clicks the tree node at the caption path ("Program Search Link/Link4"), opening
    // the branches on the way; its sheet is open afterwards.
    void OpenNode(const std::string& path);
    // Clicks the tree node whose sheet has the address.
    void OpenAddress(const std::string& address);
    // Clicks a node and waits until its sheet is open.
    void ClickNode(QTreeWidgetItem* node);

    // The grid row of record n of the open list (0 for its first record).
    int Row(int record);
    // The first grid row with a cell of the logic id (a settings sheet's rows), or -1.
    int RowOf(int logicId);
    // The grid column of the cells of a logic id in a row, or -1.
    int Column(int row, int logicId);
    // Clicks a cell; false when the cursor did not land there.
    bool Click(int row, int logicId, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Clicks a cell, types the text as keys and presses Enter.
    void TypeInCell(int row, int logicId, const std::string& text);
    // Clicks a cell, opens its pick list with Enter and clicks the item showing the text.
    void Choose(int row, int logicId, const std::string& item);
    // One key to whatever has the focus.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Types text as key presses into whatever has the focus.
    void Type(const std::string& text);
    // Triggers the menu item at the caption path ("Edit/Up"), as a click on it does.
    void Menu(const std::string& path);
    // The menu item at the caption path, its menu's states refreshed; none if missing.
    QAction* MenuItem(const std::string& path);
    // Text copied in another program: the desktop's clipboard holds it and says so.
    void CopyElsewhere(const std::string& text);
    // What the status bar says now.
    std::string StatusText();
    // What a cell shows now.
    std::string Shown(int row, int logicId);

    // Saves the document under a new name through File > Save As... and tells how the
    // saved file differs from the document as the task began.
    std::vector<std::string> SavedChanges();
    // How the second image differs from the first, in the words of the program's compare.
    std::vector<std::string> ChangesBetween(cmcEeprom& first, cmcEeprom& second);
    // Saves under a new name and reads the saved file back.
    void SavedImage(cmcEeprom& image);

    // What is wrong with the document as the core sees it, or nothing: the count tables
    // against a recount of the records (and the names of the group on show), the image as
    // a save writes it with and without a load first, and a save opened again.
    std::string DocumentFault();

    cuiSheet& Sheet() { return *form->Sheet(); }
    indMain& Main() { return process->Main(); }

    cmcFakePlatform platform;
    std::unique_ptr<indProcess> process;
    std::unique_ptr<TForm1> form;
    cmcEeprom before; // the document as the task began
    int language = 0; // the machine's language at the start: 0 English, 1 Japanese
    std::string folder;

  private:
    QTreeWidgetItem* NodeAt(const std::string& path);
    // The load and save checks of DocumentFault, which look at the image alone.
    std::string ImageFault(const cmcEeprom& working, const indDestination& destination);

    cmcEeprom checked_; // the last image the load and save checks passed
    std::array<int, 4> checkedUnder_ = {-1, -1, -1, -1}; // the destination they ran under
};
