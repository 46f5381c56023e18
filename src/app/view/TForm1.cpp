#include "app/view/TForm1.h"

#include "app/indMain.h"
#include "app/view/cuiAboutBox.h"
#include "app/view/cuiCloneInfoWindow.h"
#include "app/view/cuiCloneProgress.h"
#include "app/view/cuiCompareWindow.h"
#include "app/view/cuiDuplicatesWindow.h"
#include "app/view/cuiFillSeriesDialog.h"
#include "app/view/cuiFindBar.h"
#include "app/view/cuiHtmlHelp.h"
#include "app/view/cuiIcons.h"
#include "app/view/cuiPortDialog.h"
#include "app/view/cuiOtherImportDialog.h"
#include "app/view/cuiPresetDialog.h"
#include "app/view/cuiSortDialog.h"
#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"
#include "model/indDestination.h"
#include "print/cuiPrintJob.h"
#include "settings/indEnviron.h"
#include "sheet/cmcLayout.h"
#include "sheet/view/cuiFlector.h"
#include "sheet/view/cuiMenu.h"
#include "sheet/view/cuiSheetAddress.h"
#include "sheet/view/cuiTree.h"
#include "sheet/view/cuiWorkArea.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <map>
#include <utility>

namespace {

constexpr int StatusTextMinimum = 100;
constexpr int PortItems = 4;
constexpr int ReadStepLine = 3; // "GI_Clone_Steps": the write's three steps, then the read

// A bevelled panel that holds one widget at a time.
QFrame* MakePanel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(TForm1::PanelBevel);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    return panel;
}

} // namespace

TForm1::TForm1(indMain& controller) : controller_(controller) {
    const QString appTitle = QString::fromStdString(controller_.Text("GI_Sys_AppTitle"));
    // The application's name on dialogs; titles that already end with it are left alone.
    QApplication::setApplicationDisplayName(appTitle);
    QApplication::setWindowIcon(cuiApplicationIcon());
    setWindowTitle(appTitle);
    setMinimumSize(MinimumWidth, MinimumHeight);
    PlaceFromSettings();
    BuildPanels();
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    BuildFindBar();
    controller_.Events().Subscribe(&TForm1::OnEvent, this);
    // The steps of a Clone Write name themselves in the progress window each one opens.
    auto nextStep = std::make_shared<QString>();
    controller_.CloneCommands().SetWriteStepObserver([this, nextStep](indSafeWrite::Step step) {
        *nextStep = QString::fromStdString(
            controller_.Catalogue().GetLine("GI_Clone_Steps", static_cast<int>(step)));
    });
    // A Clone Read names its one step too.
    controller_.CloneCommands().SetReadStepObserver([this, nextStep] {
        *nextStep =
            QString::fromStdString(controller_.Catalogue().GetLine("GI_Clone_Steps", ReadStepLine));
    });
    controller_.CloneCommands().SetProgressFactory(cuiCloneProgress::Factory(this, nextStep));
    controller_.FileCommands().SetPresetDialog([this](const indPresetRequest& request) {
        return cuiPresetDialog::Choose(controller_.Catalogue(), request, this);
    });
    controller_.FileCommands().SetOtherDialog([this](indOtherPreview& preview) {
        return cuiOtherImportDialog::Show(controller_.Catalogue(), preview, this);
    });
    controller_.CreateUi(*this);
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this,
                          [this](QWidget*, QWidget* now) { NoteFocus(now); });
}

TForm1::~TForm1() {
    // The widgets going away below move the focus; this window is no longer there to note it.
    disconnect(focusWatch_);
    controller_.Events().Unsubscribe(&TForm1::OnEvent, this);
    // The window may go away without a close (the program's end); the controller must not
    // keep talking to it.
    if (controller_.MainWindow() == this) controller_.WindowClosed();
    sheet_.reset();
    editItems_.reset();
    menu_.reset();
    controller_.CloneCommands().SetProgressFactory(nullptr);
    controller_.CloneCommands().SetWriteStepObserver(nullptr);
    controller_.CloneCommands().SetReadStepObserver(nullptr);
    controller_.FileCommands().SetPresetDialog(nullptr);
    controller_.FileCommands().SetOtherDialog(nullptr);
}

void TForm1::PlaceFromSettings() {
    const cmcRect placement = controller_.StoredPlacement();
    resize(placement.width, placement.height);
    move(placement.left, placement.top);
}

void TForm1::BuildPanels() {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setHandleWidth(SplitterHandleWidth);
    splitter_->setOpaqueResize(true);
    splitter_->setChildrenCollapsible(false);
    leftPanel_ = MakePanel(splitter_, "leftPanel");
    leftPanel_->setMinimumWidth(MinimumSplitter);
    rightPanel_ = MakePanel(splitter_, "rightPanel");
    splitter_->addWidget(leftPanel_);
    splitter_->addWidget(rightPanel_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    const int left = controller_.StoredSplitter();
    splitter_->setSizes({left, std::max(width() - left - SplitterHandleWidth, 1)});
    setCentralWidget(splitter_);

    tree_ = new iuiTree(
        controller_.Catalogue(), controller_.Events(), controller_.Organisation(),
        [](int image, int overlay) {
            const QIcon base = cuiTreeIcon(image);
            if (overlay == cuiTree::NoOverlay) return base;
            return cuiWithOverlay(base, cuiTreeIcon(overlay == cuiTree::ErrorOverlay ? 5 : 4));
        },
        leftPanel_);
    tree_->setObjectName(QStringLiteral("tree"));
    tree_->setAccessibleName(
        QString::fromStdString(controller_.Catalogue().GetLine("GI_Access_Names", 0)));
    tree_->SetOpenAddress([this] { return OpenSheetAddress(); });
    leftPanel_->layout()->addWidget(tree_);
    tree_->Build();
    if (controller_.Settings().defaultsApplied) FitTreePanel();
}

// At the first start the tree's panel is as wide as its widest caption (the Japanese
// captions are longer than the stored default), but never more than half the window.
void TForm1::FitTreePanel() {
    tree_->ensurePolished();
    // Through the base class, where the measure is public.
    const int captions = static_cast<const QAbstractItemView*>(tree_)->sizeHintForColumn(0);
    const int frame = 2 * (tree_->frameWidth() + PanelBevel);
    const int bar = tree_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree_);
    const int wanted =
        std::min(std::max(controller_.StoredSplitter(), captions + frame + bar), width() / 2);
    splitter_->setSizes({wanted, std::max(width() - wanted - SplitterHandleWidth, 1)});
}

// The main menu of the catalogue; a chosen item runs its cell's logic with Enter.
void TForm1::BuildMenus() {
    menu_ = std::make_unique<cuiMenu>(
        *menuBar(), controller_.Catalogue(), "GI_Menu_Main",
        [this](const cmcCellObj& item) { RunCell(item); }, nullptr);
    menu_->Build();
    editMenu_ = new QMenu(this);
    editMenu_->setObjectName(QStringLiteral("editMenu"));
    if (QAction* edit = menu_->FindItem(CL_Menu_Edit_Top)) edit->setMenu(editMenu_);
    connect(editMenu_, &QMenu::aboutToShow, this, [this] { menu_->RefreshStates(); });
    BuildUndoItems();
    // After the items' own states, so that the port items keep the ports' names.
    for (QMenu* sub : menuBar()->findChildren<QMenu*>())
        connect(sub, &QMenu::aboutToShow, this, [this] { RefreshPortItems(); });
    menu_->RefreshStates();
}

// Undo and Redo with their keys. The keys are shortcuts of the window, so they act wherever
// the focus is, except in the in-place editor, which undoes its own typing.
void TForm1::BuildUndoItems() {
    undoItem_ = new QAction(this);
    redoItem_ = new QAction(this);
    undoSeparator_ = new QAction(this);
    undoSeparator_->setSeparator(true);
    connect(undoItem_, &QAction::triggered, this, [this] { RunUndo(false); });
    connect(redoItem_, &QAction::triggered, this, [this] { RunUndo(true); });
    const std::pair<QKeySequence, bool> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Z), false},
        {QKeySequence(Qt::CTRL | Qt::Key_Y), true},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), true}};
    for (const auto& [key, redo] : keys) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this, redo = redo] { RunUndo(redo); });
    }
    RefreshUndoItems();
}

// The items name the action they take back or repeat; the key is shown beside them.
void TForm1::RefreshUndoItems() {
    const indUndoCommands& undo = controller_.UndoCommands();
    undoItem_->setText(QString::fromStdString(undo.UndoText()) + QStringLiteral("\tCtrl+Z"));
    redoItem_->setText(QString::fromStdString(undo.RedoText()) + QStringLiteral("\tCtrl+Y"));
    undoItem_->setEnabled(undo.CanUndo());
    redoItem_->setEnabled(undo.CanRedo());
}

void TForm1::RunUndo(bool redo) {
    // A dialog or a clone session holds the window.
    if (!isEnabled()) return;
    indUndoCommands& undo = controller_.UndoCommands();
    if (redo ? undo.Redo() : undo.Undo()) {
        menu_->RefreshStates();
        RefreshToolBar();
    }
    RefreshUndoItems();
}

void TForm1::RunCell(const cmcCellObj& item) {
    if (!cmcCellLogic::IsInstalled()) return;
    cmcCellObj cell = item;
    cmcCellLogic::QueryValue(cell, 13); // Enter on the item
    menu_->RefreshStates();
    RefreshToolBar();
}

// The port items name the ports found on this machine; those beyond them are hidden.
void TForm1::RefreshPortItems() {
    const std::vector<cmcPortInfo> ports = cuiDetectedPorts();
    const int found = static_cast<int>(ports.size());
    const std::vector<QAction*>& actions = menu_->Actions();
    for (size_t i = 0; i < actions.size(); ++i) {
        const cmcCellObj& cell = menu_->CellOf(i);
        if (cell.logicId != CL_Menu_Port_Com || cell.index < 1 || cell.index > PortItems) continue;
        const int n = cell.index;
        if (n <= found)
            actions[i]->setText(QStringLiteral("&%1 %2").arg(n).arg(cuiPortCaption(ports[n - 1])));
        actions[i]->setVisible(n <= found || n == 1);
    }
}

std::vector<std::string> TForm1::DetectedPorts() const {
    std::vector<std::string> paths;
    for (const cmcPortInfo& port : cuiDetectedPorts())
        paths.push_back(port.path);
    return paths;
}

void TForm1::MirrorSheetMenu() {
    editItems_.reset();
    for (QAction* action : editMenu_->actions())
        editMenu_->removeAction(action);
    RefreshUndoItems();
    editMenu_->addActions({undoItem_, redoItem_, undoSeparator_});
    // The sheet's commands act on its cursor: offered while the focus is in the sheet, not
    // while the user is in the tree or the find bar.
    if (sheet_ && lastFocusInSheet_) {
        sheet_->RefreshPopupMenu();
        const QList<QAction*> items = sheet_->PopupMenu().actions();
        editMenu_->addActions(items);
        if (!items.isEmpty()) return;
    }
    editItems_ = std::make_unique<cuiMenu>(*editMenu_, controller_.Catalogue(), "GI_PMenu_NoItem",
                                           nullptr, nullptr);
    editItems_->Build();
    editItems_->RefreshStates();
}

// The toolbar of the catalogue: "-" a gap, "/" a new row, any other line a button.
void TForm1::BuildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("main"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(24, 24));
    cmcGTex& catalogue = controller_.Catalogue();
    cmcCellObj basic;
    cmcLayout::ParseCell(catalogue, catalogue.GetLine("GI_ToolBar_Main_BasicCell", 0), basic,
                         nullptr, nullptr);
    toolCells_.push_back(std::make_unique<cmcCellObj>(basic));
    const cmcCellObj* parent = toolCells_.back().get();
    bool gapPending = false;
    for (int n = 0;; ++n) {
        const std::string line = catalogue.GetLine("GI_ToolBar_Main_Body", n);
        if (!line.empty() && line.front() == '#') break;
        auto cell = std::make_unique<cmcCellObj>();
        cmcLayout::ParseCell(catalogue, line, *cell, parent, nullptr);
        if (cell->templateText == "-" || cell->templateText == "/") {
            gapPending = true; // a gap only between buttons
            continue;
        }
        if (gapPending && !toolBar_->actions().isEmpty()) toolBar_->addSeparator();
        gapPending = false;
        const cmcCellObj* item = cell.get();
        QAction* button = toolBar_->addAction(cuiToolBarIcon(cell->imageIndex),
                                              QString::fromStdString(cell->templateText));
        button->setToolTip(QString::fromStdString(cell->templateText));
        button->setData(QVariant::fromValue(static_cast<void*>(cell.get())));
        connect(button, &QAction::triggered, this, [this, item] { RunCell(*item); });
        toolCells_.push_back(std::move(cell));
    }
    toolBar_->setVisible(controller_.Settings().toolbarVisible != 0);
}

void TForm1::RefreshToolBar() {
    for (QAction* button : toolBar_->actions()) {
        auto* cell = static_cast<cmcCellObj*>(button->data().value<void*>());
        if (!cell || !cmcCellLogic::IsInstalled()) continue;
        for (int flag = 0; flag < 4; ++flag)
            cell->SetFlag(flag, false);
        cmcCellCapsule capsule;
        capsule.owner = this;
        capsule.cell = cell;
        indActiveCell context;
        cmcCellLogic::Run(context, capsule, false);
        button->setCheckable(cell->Flag(0));
        button->setChecked(cell->Flag(0));
        button->setEnabled(!cell->Flag(2));
    }
}

void TForm1::ShowToolBar(bool shown) {
    toolBar_->setVisible(shown);
}

void TForm1::BuildStatusBar() {
    statusText_ = new QLabel(this);
    statusText_->setMinimumWidth(StatusTextMinimum);
    statusSide_ = new QLabel(this);
    statusSide_->setFixedWidth(statusBar()->sizeHint().height());
    statusBar()->addWidget(statusText_, 1);
    statusBar()->addPermanentWidget(statusSide_);
    statusBar()->setSizeGripEnabled(true);
}

void TForm1::OnEvent(void* context, const cmcEvent& event) {
    static_cast<TForm1*>(context)->HandleEvent(event);
}

void TForm1::HandleEvent(const cmcEvent& event) {
    switch (event.code) {
    case ev::ToolbarRefresh:
        RefreshToolBar();
        break;
    case ev::StatusText:
        statusText_->setText(QString::fromStdString(event.Text()));
        break;
    case ev::MenuRefresh: // after every action of a sheet
        RefreshUndoItems();
        break;
    default:
        break;
    }
}

void TForm1::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

bool TForm1::IsWindowVisible() const {
    return isVisible();
}

bool TForm1::IsWindowEnabled() const {
    return isEnabled();
}

void TForm1::EnableWindow(bool enabled) {
    setEnabled(enabled);
}

void TForm1::ShowWindow() {
    setEnabled(true);
    if (!std::exchange(shownOnce_, true) && controller_.Settings().windowMaximized)
        showMaximized();
    else
        show();
    FitFrameInWorkArea();
    raise();
    activateWindow();
}

// The frame's position and the inner size, as the window is placed at start. While
// maximised it is the restored placement (normalGeometry is the inner rectangle, so the
// frame's offset is taken off), or the stored one when the window never was restored.
cmcRect TForm1::Placement() const {
    if (isMaximized() || isFullScreen()) {
        const QRect normal = normalGeometry();
        if (!normal.isValid() || normal.isEmpty()) return controller_.StoredPlacement();
        const QPoint frame = geometry().topLeft() - pos();
        return {normal.x() - frame.x(), normal.y() - frame.y(), normal.width(), normal.height()};
    }
    return {x(), y(), width(), height()};
}

// The stored placement fits the work area with the inner size; the title bar and the
// frame, known once shown, may still reach past it.
void TForm1::FitFrameInWorkArea() {
    cuiFitInWorkArea(*this);
}

void TForm1::CloseWindow() {
    close();
}

bool TForm1::ShowSheet(const std::string& address, const std::array<int, 4>& position, bool focus,
                       bool resetWidths) {
    sheet_.reset();
    sheet_ = cuiCreateSheet(address, SheetServices(), rightPanel_);
    sheet_->SetSavedPosition({position[0], position[1], position[2], position[3]});
    sheet_->SetResetWidths(resetWidths);
    rightPanel_->layout()->addWidget(sheet_.get());
    sheet_->Open();
    sheet_->show();
    if (tree_) {
        if (QTreeWidgetItem* node = tree_->FindNode(address);
            node && node != tree_->currentItem()) {
            const QSignalBlocker quiet(tree_);
            tree_->setCurrentItem(node);
        }
    }
    if (focus) sheet_->Grid().setFocus(Qt::OtherFocusReason);
    return true;
}

// ---- Find ----

// Ctrl+F opens the find bar; F3 and Shift+F3 step through the matches from anywhere in
// the window (opening the bar when there is nothing to step with yet).
void TForm1::BuildFindBar() {
    findBar_ = new cuiFindBar(
        controller_.Catalogue(), [this](const std::string& text) { return FindInDocument(text); },
        [this](const clsFindMatch& match) { ShowMatch(match); },
        [this] {
            if (sheet_) sheet_->Grid().setFocus(Qt::OtherFocusReason);
        },
        this);
    findBar_->SetStart([this](const std::vector<clsFindMatch>& matches, bool forward) {
        return MatchNearCursor(matches, forward);
    });
    addToolBar(Qt::BottomToolBarArea, findBar_);
    const auto addKey = [this](const QKeySequence& key, auto run) {
        auto* action = new QAction(this);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
    };
    addKey(QKeySequence::Find, [this] { findBar_->Open(); });
    for (const bool forward : {true, false}) {
        addKey(forward ? QKeySequence(Qt::Key_F3) : QKeySequence(Qt::SHIFT | Qt::Key_F3),
               [this, forward] {
                   if (findBar_->Field()->text().trimmed().isEmpty()) return findBar_->Open();
                   findBar_->show();
                   findBar_->Step(forward);
               });
    }
}

// Every sheet the tree lists, in its order.
std::vector<clsFindMatch> TForm1::FindInDocument(const std::string& text) const {
    std::vector<std::string> addresses;
    if (tree_)
        for (QTreeWidgetItemIterator it(tree_); *it; ++it)
            addresses.push_back(tree_->AddressOf(*it));
    return FindInSheets(
        controller_.Organisation(), addresses,
        [this](char kind, int number) { return PositionOf(kind, number); }, cmcFindQuery(text),
        controller_.CellLogic().Document().japaneseNames);
}

// A new search starts from where the user stands: the first match at or after the cursor
// (in tree order, then by record), or going back the last one at or before it; past the
// end it wraps.
int TForm1::MatchNearCursor(const std::vector<clsFindMatch>& matches, bool forward) const {
    const int count = static_cast<int>(matches.size());
    const int wrapped = forward ? 0 : count - 1;
    if (!sheet_ || !tree_) return wrapped;
    std::map<std::string, int> rank;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
        rank.emplace(tree_->AddressOf(*it), static_cast<int>(rank.size()));
    const auto rankOf = [&rank](const std::string& address) {
        const auto found = rank.find(address);
        return found == rank.end() ? -1 : found->second;
    };
    const std::pair<int, int> cursor{
        rankOf(OpenSheetAddress()),
        sheet_->CellAt(sheet_->CurrentColumn(), sheet_->CurrentRow()).index};
    for (int n = 0; n < count; ++n) {
        const int i = forward ? n : count - 1 - n;
        const std::pair<int, int> at{rankOf(matches[size_t(i)].address), matches[size_t(i)].index};
        if (forward ? at >= cursor : at <= cursor) return i;
    }
    return wrapped;
}

// Opens the match's sheet as its tree node would and makes the cell current; the focus
// stays where the user searched from.
void TForm1::ShowMatch(const clsFindMatch& match) {
    QWidget* focus = QApplication::focusWidget();
    if (!sheet_ || OpenSheetAddress() != match.address) controller_.OpenSheet(match.address);
    if (sheet_) sheet_->JumpToCell(cuiSheet::AnyCellType, match.logicId, match.index);
    if (focus && focus->isVisible() && findBar_->isAncestorOf(focus))
        focus->setFocus(Qt::OtherFocusReason);
}

bool TForm1::ShowRecord(const clsDiffRecord& record) {
    if (!tree_) return false;
    std::vector<std::string> addresses;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
        addresses.push_back(tree_->AddressOf(*it));
    const std::optional<clsFindMatch> match = FindRecordInSheets(
        controller_.Organisation(), addresses,
        [this](char kind, int number) { return PositionOf(kind, number); }, record.kind,
        record.index, record.logicId, record.cellIndex);
    if (!match) return false;
    if (!sheet_ || OpenSheetAddress() != match->address) controller_.OpenSheet(match->address);
    if (!sheet_) return false;
    sheet_->JumpToCell(cuiSheet::AnyCellType, match->logicId, match->index);
    sheet_->Grid().setFocus(Qt::OtherFocusReason);
    return true;
}

cuiSheetServices TForm1::SheetServices() {
    cuiSheetServices services;
    services.catalogue = &controller_.Catalogue();
    services.events = &controller_.Events();
    services.settings = &controller_.Settings();
    services.organisation = &controller_.Organisation();
    services.destination = indDestination::Active().Index();
    services.fontSizePercentage = controller_.Settings().fontSizePercentage;
    services.positionOf = [this](char kind, int number) { return PositionOf(kind, number); };
    return services;
}

bool TForm1::CloseSheetView(std::array<int, 4>& position, bool& hadFocus) {
    if (!sheet_) return false;
    const cuiSheetPosition where = sheet_->Position();
    position = {where.column, where.row, where.left, where.top};
    // While the window is held (a Clone Read replaces the sheet) the focus is away; the
    // grid had it if it had it last.
    hadFocus =
        sheet_->isAncestorOf(QApplication::focusWidget()) || (!isEnabled() && lastFocusInSheet_);
    sheet_.reset();
    return true;
}

std::string TForm1::OpenSheetAddress() const {
    return sheet_ ? sheet_->Address() : std::string();
}

std::array<int, 4> TForm1::SheetPosition() const {
    if (!sheet_) return {-1, -1, -1, -1};
    const cuiSheetPosition where = sheet_->Position();
    return {where.column, where.row, where.left, where.top};
}

std::optional<std::string> TForm1::ChoosePort() {
    return cuiPortDialog::Choose(controller_.Catalogue(), controller_.Settings().comPort, this);
}

// The columns of the open sheet that hold values, by the heading above them (the last
// heading row), in the order they stand.
std::optional<clsSortRequest> TForm1::AskSort(const clsSortOffer& offer) {
    if (!sheet_ || !sheet_->HasCurrent()) return std::nullopt;
    cuiSheet& sheet = *sheet_;
    const int row = sheet.CurrentRow();
    const int heading = sheet.Grid().FixedRows() - 1;
    std::vector<cuiSortColumn> columns;
    for (int column = sheet.Grid().FixedColumns(); column < sheet.Layout().Columns(); ++column) {
        const cmcCellObj& cell = sheet.CellAt(column, row);
        if (cell.logicId == CL_None || heading < 0) continue;
        std::string caption = sheet.CellAt(column, heading).templateText;
        if (caption.empty()) continue;
        columns.emplace_back(std::move(caption), cell.logicId);
    }
    const int current = sheet.CellAt(sheet.CurrentColumn(), row).logicId;
    return cuiSortDialog::Ask(controller_.Catalogue(), offer, columns, current, this);
}

std::optional<clsFillRequest> TForm1::AskFill(const clsFillOffer& offer) {
    return cuiFillSeriesDialog::Ask(controller_.Catalogue(), offer, this);
}

// The window lists the duplicates of the document as it is when it is shown; its lines
// open the group's sheet at the channel, and its Delete is one undo step.
void TForm1::ShowDuplicates() {
    if (!duplicates_) {
        cuiDuplicatesWindow::clsServices services;
        services.find = [this] { return FindDuplicates(controller_.Organisation()); };
        services.groupLabel = [this](int group) {
            std::string name = datLookup::GroupName(controller_.Organisation().Image(), group);
            name.erase(name.find_last_not_of(' ') + 1);
            return name.empty() ? std::to_string(group) : name;
        };
        services.show = [this](const clsDuplicate& duplicate) {
            if (!tree_ || duplicate.group >= int(tree_->Groups().size())) return;
            controller_.OpenSheet("[St_CNBank]GI_Sheet_MemoryCH,Group " +
                                  std::to_string(tree_->Groups().at(size_t(duplicate.group))));
            if (sheet_) sheet_->JumpToCell(cuiSheet::AnyCellType, CL_Mch_Freq, duplicate.slot);
        };
        services.remove = [this](const std::vector<int>& chosen) {
            controller_.DeleteChannels(chosen);
            menu_->RefreshStates();
            RefreshUndoItems();
        };
        duplicates_ = new cuiDuplicatesWindow(controller_.Catalogue(), std::move(services), this);
    }
    duplicates_->Refresh();
    duplicates_->show();
    duplicates_->raise();
    duplicates_->activateWindow();
}

void TForm1::ShowCloneInformation() {
    cuiCloneInfoWindow::Show(SheetServices(), this);
}

void TForm1::ShowAbout() {
    cuiAboutBox::Show(controller_.Catalogue(), this);
}

void TForm1::ShowDifferences(const std::string& path,
                             const std::vector<clsImageDifference>& differences) {
    cuiCompareWindow::Show(controller_.Catalogue(), path, differences, this);
}

cuiPrintJob& TForm1::PrintJob() {
    if (!printJob_)
        printJob_ = std::make_unique<cuiPrintJob>(this, SheetServices(), &controller_.Settings(),
                                                  cuiToolBarIcon);
    return *printJob_;
}

void TForm1::Print(bool all) {
    if (!all && !CanPrintSheet()) return;
    PrintJob().SetServices(SheetServices());
    PrintJob().Print(all ? tree_->SheetAddresses() : std::vector<std::string>{sheet_->Address()},
                     all);
}

bool TForm1::CanPrintSheet() const {
    return sheet_ && !sheet_->Layout().GetStyle().noPrint;
}

int TForm1::ShowHelpContents(const std::string& path) {
    if (!help_) help_ = std::make_unique<cuiHtmlHelp>(controller_.Catalogue(), this);
    return help_->ShowContents(path);
}

int TForm1::ShowHelpTopic(const std::string& path, int context) {
    if (!help_) help_ = std::make_unique<cuiHtmlHelp>(controller_.Catalogue(), this);
    return help_->ShowTopic(path, context);
}

void TForm1::OpenPickList(cmcCellCapsule& opener, const std::string& list) {
    cuiFlector::Open(opener, list);
}

int TForm1::PositionOf(char kind, int number) const {
    return tree_ ? tree_->PositionOf(kind, number) : number;
}

bool TForm1::ActOnTreeSelection() {
    return tree_ && tree_->ActOnSelection();
}

int TForm1::SplitterPosition() const {
    return leftPanel_->width();
}

void TForm1::NoteFocus(QWidget* now) {
    if (!now || now->window() != this) return;
    lastFocus_ = now;
    lastFocusInSheet_ = sheet_ && sheet_->isAncestorOf(now);
}

// The widget that had the focus gets it back; when it has gone (the sheet was replaced
// meanwhile) the grid gets it if the focus was in the sheet, else the tree.
void TForm1::RestoreFocus() {
    if (lastFocus_ && lastFocus_->isVisible() && lastFocus_->isEnabled() &&
        lastFocus_->window() == this) {
        lastFocus_->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (lastFocusInSheet_ && sheet_)
        sheet_->Grid().setFocus(Qt::OtherFocusReason);
    else if (tree_)
        tree_->setFocus(Qt::OtherFocusReason);
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && isEnabled()) RestoreFocus();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!controller_.CloseQuery()) {
        event->ignore();
        return;
    }
    controller_.WindowClosed();
    event->accept();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    controller_.UpdateTitle();
    // The items' states decide whether their shortcuts act before any menu is opened.
    menu_->RefreshStates();
    RefreshToolBar();
    if (startFile_.empty()) return;
    const std::string path = std::exchange(startFile_, std::string());
    QTimer::singleShot(0, this, [this, path] { controller_.OpenDocument(path); });
}
