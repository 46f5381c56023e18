#include "app/view/cuiAboutBox.h"

#include "app/view/cuiIcons.h"
#include "catalogue/cmcGTex.h"
#include "sheet/cmcLayout.h"
#include "sheet/view/cuiCellPainter.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

cuiAboutBox::cuiAboutBox(cmcGTex& text, QWidget* mainWindow) : cuiHeldWindow(mainWindow) {
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(Text(text.GetLine("GI_App_About_Caption", 0)));
    cmcCellFont font;
    cmcLayout::ApplyFontDescription(font, text.GetText("CellModel_BasicDialog"));
    setFont(cuiFont(font));

    picture_ = new QLabel(this);
    picture_->setPixmap(cuiApplicationIcon().pixmap(IconSize, IconSize));
    picture_->setFixedSize(IconSize, IconSize);
    label_ = new QLabel(Text(text.GetLines("GI_App_About_Label_Reg")), this);
    label_->setTextFormat(Qt::PlainText); // "&" shows as it is
    button_ = new QPushButton(Text(text.GetLine("GI_App_About_Button", 0)), this);
    SetCloseButton(button_);
    Arrange();
}

cuiAboutBox* cuiAboutBox::Show(cmcGTex& text, QWidget* mainWindow) {
    auto* box = new cuiAboutBox(text, mainWindow);
    box->Open();
    return box;
}

// Everything follows the picture's size p: the picture half a p in from the top left, the
// label one and a half p from the left, the button two p right of the label and a quarter
// p down, two and a half p wide; a quarter p right of the button and half a p below the
// label.
void cuiAboutBox::Arrange() {
    const int p = IconSize;
    picture_->move(p / 2, p / 2);
    label_->adjustSize();
    label_->move(p + p / 2, 0);
    const int buttonWidth = std::max(p * 5 / 2, button_->sizeHint().width());
    button_->setGeometry(label_->geometry().right() + 1 + 2 * p, p / 4, buttonWidth,
                         button_->sizeHint().height());
    const int bottom = std::max(label_->geometry().bottom(), picture_->geometry().bottom()) + 1;
    setFixedSize(button_->geometry().right() + 1 + p / 4, bottom + p / 2);
}
