#pragma once

#include "files/cmcImageDiff.h"
#include "model/indCellLogic.h"
#include "platform/cmcPlatform.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

class cmcCellCapsule;

// What the document controller needs of the main window. The view implements it; the
// controller never sees a widget, so it runs headless in the tests. (The names keep clear
// of the toolkit's own show() and isVisible().)
class cuiMainWindow {
  public:
    virtual ~cuiMainWindow() = default;

    // The window's caption, also used as the application's title.
    virtual void SetCaption(const std::string& caption) = 0;
    virtual bool IsWindowVisible() const = 0;
    virtual bool IsWindowEnabled() const = 0;
    virtual void EnableWindow(bool enabled) = 0;
    // Shows the window, enabled, and gives it the focus.
    virtual void ShowWindow() = 0;
    // The normal (restored) placement, also while maximised.
    virtual cmcRect Placement() const = 0;
    // Whether the window is maximised (Placement() is then its normal placement).
    virtual bool IsMaximized() const { return false; }
    // Width of the left (tree) panel.
    virtual int SplitterPosition() const = 0;
    // Closes the window as its close box does (the close query runs first).
    virtual void CloseWindow() = 0;

    // The sheet pane. ShowSheet replaces whatever sheet is on show with the sheet of the
    // address, restoring the cursor and the scrolled corner when a position is given
    // (column, row, left column, top row; -1 for none), and gives it the focus when asked.
    // A window without a sheet pane shows nothing.
    // resetWidths: the sheets' stored column widths are dropped (the font size changed).
    virtual bool ShowSheet(const std::string& /*address*/, const std::array<int, 4>& /*position*/,
                           bool /*focus*/, bool /*resetWidths*/) {
        return false;
    }
    // Destroys the sheet on show; its position and whether its grid had the focus, when it
    // was on screen.
    virtual bool CloseSheetView(std::array<int, 4>& /*position*/, bool& /*hadFocus*/) {
        return false;
    }
    virtual bool SheetOpen() const { return false; }
    virtual std::string OpenSheetAddress() const { return {}; }
    // The cursor and scrolled corner of the sheet on show, as ShowSheet takes them.
    virtual std::array<int, 4> SheetPosition() const { return {-1, -1, -1, -1}; }
    // Shows the pick list of a cell of the sheet on show.
    virtual void OpenPickList(cmcCellCapsule& /*opener*/, const std::string& /*list*/) {}
    // Acts on the navigation tree's selected node as Enter does; false without a tree.
    virtual bool ActOnTreeSelection() { return false; }
    virtual void ShowToolBar(bool /*shown*/) {}
    // The serial ports found on this machine, as device paths.
    virtual std::vector<std::string> DetectedPorts() const { return {}; }
    // The position of a record in its list from the number a sheet address gives it (the
    // tree numbers its branches); kind 'C' category, 'G' group, 'B' bank.
    virtual int PositionOf(char /*kind*/, int number) const { return number; }
    // The Edit menu takes the popup menu of the sheet's current cell.
    virtual void MirrorSheetMenu() {}
    // Edit > Sort...: how to sort the open sheet's list, or nothing when cancelled.
    virtual std::optional<clsSortRequest> AskSort(const clsSortOffer& /*offer*/) {
        return std::nullopt;
    }
    // Edit > Fill Series...: the series to fill, or nothing when cancelled.
    virtual std::optional<clsFillRequest> AskFill(const clsFillOffer& /*offer*/) {
        return std::nullopt;
    }
    // Edit > Find Duplicates: the duplicate channels of the memory, in a window.
    virtual void ShowDuplicates() {}
    // The port dialog: the device path the user chose, or nothing when cancelled.
    virtual std::optional<std::string> ChoosePort() { return std::nullopt; }
    // The clone information window and the About box; each holds the window disabled
    // while it is open.
    virtual void ShowCloneInformation() {}
    virtual void ShowAbout() {}
    // The compare window: what differs from the document to the file at path.
    virtual void ShowDifferences(const std::string& /*path*/,
                                 const std::vector<clsImageDifference>& /*differences*/) {}
    // Opens the sheet that shows the record a difference is about and puts the cursor on
    // its cell; false when no sheet of the tree shows it.
    virtual bool ShowRecord(const clsDiffRecord& /*record*/) { return false; }
    // Print Current Sheet (all: false) or Print All: the printer dialog, the preview and
    // the printing; whether the open sheet can be printed.
    virtual void Print(bool /*all*/) {}
    virtual bool CanPrintSheet() const { return false; }
    // The help viewer: the contents page at the path, and the page of a context id beside
    // it in a small window near the pointer (context 0: none). A window without a viewer
    // answers HelpNoViewer and shows nothing.
    enum HelpResult { HelpShown = 0, HelpFileMissing = 1, HelpNoTopic = 2, HelpNoViewer = 3 };
    virtual int ShowHelpContents(const std::string& /*path*/) { return HelpNoViewer; }
    virtual int ShowHelpTopic(const std::string& /*path*/, int /*context*/) { return HelpNoViewer; }
};

// Smallest width of the left panel; a stored splitter position below it is raised to it.
constexpr int MinimumSplitter = 8;

// Keeps a stored placement on the desktop: no larger than the work area, and wholly
// inside it.
cmcRect ClampToWorkArea(cmcRect placement, const cmcRect& workArea);
