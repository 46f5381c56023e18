#include "app/view/TForm1.h"

#include "app/indMain.h"
#include "app/view/cuiCloneProgress.h"
#include "model/indDestination.h"
#include "settings/indEnviron.h"
#include "sheet/view/cuiFlector.h"
#include "sheet/view/cuiSheetAddress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

// A bevelled panel; what it will hold is not built yet, so it shows a quiet placeholder.
QFrame* MakePanel(QWidget* parent, const char* name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(TForm1::PanelBevel);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* placeholder = new QWidget(panel);
    placeholder->setObjectName(QStringLiteral("placeholder"));
    layout->addWidget(placeholder);
    return panel;
}

} // namespace

TForm1::TForm1(indMain& controller) : controller_(controller) {
    const QString appTitle = QString::fromStdString(controller_.Text("GI_Sys_AppTitle"));
    // The application's name on dialogs; titles that already end with it are left alone.
    QApplication::setApplicationDisplayName(appTitle);
    setWindowTitle(appTitle);
    setMinimumSize(MinimumWidth, MinimumHeight);
    PlaceFromSettings();
    BuildPanels();
    BuildMenus();
    statusBar()->setSizeGripEnabled(true);
    controller_.CloneCommands().SetProgressFactory(cuiCloneProgress::Factory(this));
    controller_.CreateUi(*this);
}

TForm1::~TForm1() {
    // The window may go away without a close (the program's end); the controller must not
    // keep talking to it.
    if (controller_.MainWindow() == this) controller_.WindowClosed();
    sheet_.reset();
    controller_.CloneCommands().SetProgressFactory(nullptr);
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
}

// The File and Clone menus with the document commands. The full menu bar is built from the
// catalogue later; this is the one place that wiring lives until then.
void TForm1::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&New"), QKeySequence(QStringLiteral("Ctrl+N")), this,
                    [this] { controller_.FileNew(); });
    file->addAction(QStringLiteral("&Open..."), QKeySequence(QStringLiteral("Ctrl+O")), this,
                    [this] { controller_.FileOpen(); });
    file->addAction(QStringLiteral("&Save"), QKeySequence(QStringLiteral("Ctrl+S")), this,
                    [this] { controller_.FileSave(); });
    file->addAction(QStringLiteral("Save &As..."), this, [this] { controller_.FileSaveAs(); });
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"), QKeySequence(QStringLiteral("Alt+F4")), this,
                    [this] { close(); });

    // Clone Information joins when its window exists.
    QMenu* clone = menuBar()->addMenu(QStringLiteral("&Clone"));
    clone->addAction(QStringLiteral("&Read <- Receiver"), this,
                     [this] { controller_.CloneRead(); });
    clone->addAction(QStringLiteral("&Write -> Receiver"), this,
                     [this] { controller_.CloneWrite(); });
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
    show();
    raise();
    activateWindow();
}

cmcRect TForm1::Placement() const {
    // The restored placement also while maximised, so the next start opens normal-sized.
    if (isMaximized() || isFullScreen()) {
        const QRect normal = normalGeometry();
        return {normal.x(), normal.y(), normal.width(), normal.height()};
    }
    return {x(), y(), width(), height()};
}

void TForm1::CloseWindow() {
    close();
}

bool TForm1::ShowSheet(const std::string& address, const std::array<int, 4>& position, bool focus) {
    sheet_.reset();
    cuiSheetServices services;
    services.catalogue = &controller_.Catalogue();
    services.events = &controller_.Events();
    services.settings = &controller_.Settings();
    services.organisation = &controller_.Organisation();
    services.destination = indDestination::Active().Index();
    services.fontSizePercentage = controller_.Settings().fontSizePercentage;
    sheet_ = cuiCreateSheet(address, services, rightPanel_);
    sheet_->SetSavedPosition({position[0], position[1], position[2], position[3]});
    if (QWidget* placeholder = rightPanel_->findChild<QWidget*>(QStringLiteral("placeholder")))
        placeholder->hide();
    rightPanel_->layout()->addWidget(sheet_.get());
    sheet_->Open();
    sheet_->show();
    if (focus) sheet_->Grid().setFocus(Qt::OtherFocusReason);
    return true;
}

bool TForm1::CloseSheetView(std::array<int, 4>& position, bool& hadFocus) {
    if (!sheet_) return false;
    const cuiSheetPosition where = sheet_->Position();
    position = {where.column, where.row, where.left, where.top};
    hadFocus = sheet_->isAncestorOf(QApplication::focusWidget());
    sheet_.reset();
    return true;
}

std::string TForm1::OpenSheetAddress() const {
    return sheet_ ? sheet_->Address() : std::string();
}

void TForm1::OpenPickList(cmcCellCapsule& opener, const std::string& list) {
    cuiFlector::Open(opener, list);
}

int TForm1::SplitterPosition() const {
    return leftPanel_->width();
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
}
