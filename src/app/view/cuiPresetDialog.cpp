#include "app/view/cuiPresetDialog.h"

#include "app/view/cuiPlacement.h"
#include "catalogue/cmcGTex.h"
#include "platform/cmcPlatform.h"
#include "sheet/cmcLayout.h"
#include "sheet/view/cuiCellPainter.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

QString Line(cmcGTex& text, const char* key, int n = 0) {
    return QString::fromStdString(text.GetLine(key, n));
}

} // namespace

cuiPresetDialog::cuiPresetDialog(cmcGTex& text, const indPresetRequest& request,
                                 QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                              Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      text_(text), request_(request) {
    setWindowTitle(Line(text_, "GI_AppInd_Opt_PreSet_Caption"));
    cmcCellFont font;
    cmcLayout::ApplyFontDescription(font, text_.GetText("CellModel_BasicDialog"));
    setFont(cuiFont(font));
    BuildControls();
    Arrange();
    if (!request_.sources.empty()) sources_->setCurrentRow(0);
    FillCategories(sources_->currentRow());
    cuiPlaceOver(*this, mainWindow);
}

std::optional<indPresetChoice>
cuiPresetDialog::Choose(cmcGTex& text, const indPresetRequest& request, QWidget* mainWindow) {
    cuiPresetDialog dialog(text, request, mainWindow);
    dialog.exec();
    return dialog.Choice();
}

void cuiPresetDialog::BuildControls() {
    frame_ = new QFrame(this);
    frame_->setFrameStyle(QFrame::Box | QFrame::Raised);
    sourceLabel_ = new QLabel(Line(text_, "GI_AppInd_Opt_PreSet_Label", 0), this);
    categoryLabel_ = new QLabel(Line(text_, "GI_AppInd_Opt_PreSet_Label", 1), this);
    sources_ = new QListWidget(this);
    for (const indPresetSource& source : request_.sources)
        sources_->addItem(QString::fromStdString(source.name));
    categories_ = new QListWidget(this);
    sourceLabel_->setBuddy(sources_);
    categoryLabel_->setBuddy(categories_);
    add_ = new QPushButton(Line(text_, "GI_AppInd_Opt_PreSet_Buttons", 0), this);
    overwrite_ = new QPushButton(Line(text_, "GI_AppInd_Opt_PreSet_Buttons", 1), this);
    close_ = new QPushButton(Line(text_, "GI_AppInd_Opt_PreSet_Buttons", 2), this);
    // With every bank in use only Overwrite can place a preset.
    add_->setEnabled(!request_.banksFull);
    (request_.banksFull ? overwrite_ : add_)->setDefault(true);

    connect(sources_, &QListWidget::currentRowChanged, this,
            [this](int row) { FillCategories(row); });
    connect(categories_, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { AllToggled(item); });
    connect(add_, &QPushButton::clicked, this, [this] { Finish(false); });
    connect(overwrite_, &QPushButton::clicked, this, [this] { Finish(true); });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(sources_, categories_);
    setTabOrder(categories_, add_);
    setTabOrder(add_, overwrite_);
    setTabOrder(overwrite_, close_);
}

// The geometry follows the height u of a line of the dialog's font: the two lists side by
// side inside a raised frame, their labels above them, the buttons in a strip below, Close
// last at the frame's right edge (the dialog widens when a large font needs the room).
void cuiPresetDialog::Arrange() {
    const QFontMetrics metrics(font());
    const int u = metrics.height();
    const int labelRise = static_cast<int>(std::lround(1.2 * u));
    const QRect sourceRect(2 * u, 3 * u, ListWidth, ListHeight);
    const QRect categoryRect(sourceRect.right() + 1 + 2 * u, 3 * u, ListWidth, ListHeight);
    sources_->setGeometry(sourceRect);
    categories_->setGeometry(categoryRect);
    const std::pair<QLabel*, QRect> labels[] = {{sourceLabel_, sourceRect},
                                                {categoryLabel_, categoryRect}};
    for (const auto& [label, list] : labels) {
        label->adjustSize();
        label->move(list.left(), list.top() - labelRise);
    }
    frame_->setGeometry(u, u, 4 * u + 2 * ListWidth, ListHeight + 3 * u);

    const int buttonWidth = std::max(
        {metrics.horizontalAdvance(Line(text_, "GI_AppInd_Opt_PreSet_SizeOfButtons")),
         add_->sizeHint().width(), overwrite_->sizeHint().width(), close_->sizeHint().width()});
    const int buttonHeight = 2 * u;
    // The strip is tall enough for the buttons whatever the font's height.
    const int strip = std::max(StripHeight, buttonHeight + u);
    const int stripTop = frame_->geometry().bottom() + 1;
    const int buttonTop = stripTop + u / 2;
    const int right = std::max(frame_->geometry().right() + 1 - u, 2 * u + 3 * buttonWidth + 2 * u);
    close_->setGeometry(right - buttonWidth, buttonTop, buttonWidth, buttonHeight);
    overwrite_->setGeometry(close_->x() - u - buttonWidth, buttonTop, buttonWidth, buttonHeight);
    add_->setGeometry(overwrite_->x() - u - buttonWidth, buttonTop, buttonWidth, buttonHeight);
    setFixedSize(std::max(frame_->width() + 2 * u, right + 2 * u), frame_->height() + u + strip);
}

// "All", checked, then the source's categories, disabled while "All" is checked.
void cuiPresetDialog::FillCategories(int source) {
    const QSignalBlocker quiet(categories_);
    categories_->clear();
    if (source < 0 || source >= static_cast<int>(request_.sources.size())) return;
    auto* all = new QListWidgetItem(Line(text_, "GI_AppInd_Opt_PreSet_All_Caption"), categories_);
    all->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    all->setCheckState(Qt::Checked);
    for (const std::string& name : request_.sources[source].categories) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), categories_);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    categories_->setCurrentItem(all);
}

void cuiPresetDialog::AllToggled(QListWidgetItem* item) {
    if (categories_->row(item) != 0) return;
    const bool others = item->checkState() != Qt::Checked;
    const QSignalBlocker quiet(categories_);
    for (int row = 1; row < categories_->count(); ++row) {
        QListWidgetItem* category = categories_->item(row);
        category->setFlags(others ? category->flags() | Qt::ItemIsEnabled
                                  : category->flags() & ~Qt::ItemIsEnabled);
    }
}

bool cuiPresetDialog::ConfirmOverwrite() {
    const char* key =
        request_.oneBank ? "GI_Mess_Confirm_Cate_OW_Preset" : "GI_Mess_Confirm_All_OW_Preset";
    setEnabled(false);
    const int answer = cmcMessage(text_.GetLines(key), text_.GetText("GI_Sys_AppTitle"),
                                  MsgIcon::Warning, MsgButtons::OkCancel);
    setEnabled(true);
    return answer == answer::Ok;
}

// Marks the chosen source and its categories (every one while "All" is checked) and
// closes; Overwrite only once the question is answered OK.
void cuiPresetDialog::Finish(bool overwrite) {
    const int source = sources_->currentRow();
    if (source < 0 || categories_->count() == 0) return;
    if (overwrite && !ConfirmOverwrite()) return;
    indPresetChoice choice;
    choice.source = source;
    choice.overwrite = overwrite;
    const bool all = categories_->item(0)->checkState() == Qt::Checked;
    for (int row = 1; row < categories_->count(); ++row)
        if (all || categories_->item(row)->checkState() == Qt::Checked)
            choice.categories.push_back(row - 1);
    choice_ = choice;
    accept();
}
