#include "app/view/cuiCloneInfoWindow.h"

#include "catalogue/cmcGTex.h"
#include "sheet/cmcLayout.h"
#include "sheet/view/cuiCellPainter.h"
#include "sheet/view/cuiGrid.h"
#include "sheet/view/cuiSheetAddress.h"

#include <QFrame>
#include <QPushButton>

cuiCloneInfoWindow::cuiCloneInfoWindow(const cuiSheetServices& services, QWidget* mainWindow)
    : cuiHeldWindow(mainWindow) {
    setObjectName(QStringLiteral("cloneInformation"));
    cmcGTex& text = *services.catalogue;
    setWindowTitle(QString::fromStdString(text.GetLine("GI_Sys_AppTitle", 0)));
    cmcCellFont font;
    cmcLayout::ApplyFontDescription(font, text.GetText("CellModel_BasicDialog"));
    setFont(cuiFont(font));

    // A raised outer and a lowered inner bevel around the sheet.
    panel_ = new QFrame(this);
    panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel_->setLineWidth(PanelBevel);
    sheet_ = cuiCreateSheet(SheetName, services, panel_);
    sheet_->Grid().SetScrollBarsShown(false);
    sheet_->Open();
    button_ =
        new QPushButton(QString::fromStdString(text.GetLine("GI_AppInd_Button_OkCancel", 0)), this);
    SetCloseButton(button_);
    Arrange();
}

cuiCloneInfoWindow::~cuiCloneInfoWindow() {
    sheet_.reset(); // before the panel it lies in
}

cuiCloneInfoWindow* cuiCloneInfoWindow::Show(const cuiSheetServices& services,
                                             QWidget* mainWindow) {
    auto* window = new cuiCloneInfoWindow(services, mainWindow);
    window->Open();
    return window;
}

// The panel holds the whole sheet inside its border; the button sits below it, at the
// bottom right.
void cuiCloneInfoWindow::Arrange() {
    const int inset = PanelBevel + PanelBorder;
    const QSize sheet = sheet_->PreferredSize();
    sheet_->setGeometry(inset, inset, sheet.width(), sheet.height());
    panel_->setGeometry(0, 0, sheet.width() + 2 * inset, sheet.height() + 2 * inset);
    const QSize button = button_->sizeHint().expandedTo(QSize(MinimumButtonWidth, 0));
    const int width = panel_->width();
    const int height = panel_->height() + 2 * ButtonMargin + button.height();
    button_->setGeometry(width - ButtonMargin - button.width(),
                         height - ButtonMargin - button.height(), button.width(), button.height());
    setFixedSize(width, height);
}
