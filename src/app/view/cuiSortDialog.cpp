#include "app/view/cuiSortDialog.h"

#include "app/view/cuiPlacement.h"
#include "catalogue/cmcGTex.h"
#include "sheet/cmcLayout.h"
#include "sheet/view/cuiCellPainter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Line(cmcGTex& text, const char* key, int n) {
    return QString::fromStdString(text.GetLine(key, n));
}

const char* const DialogKey = "GI_Sort_Dialog"; // caption, then the controls' labels

} // namespace

cuiSortDialog::cuiSortDialog(cmcGTex& text, const clsSortOffer& offer,
                             const std::vector<cuiSortColumn>& columns, int current,
                             QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                              Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      columnIds_(columns), offer_(offer) {
    setObjectName(QStringLiteral("sortDialog"));
    setWindowTitle(Line(text, DialogKey, 0));
    cmcCellFont font;
    cmcLayout::ApplyFontDescription(font, text.GetText("CellModel_BasicDialog"));
    setFont(cuiFont(font));

    columns_ = new QComboBox(this);
    for (const cuiSortColumn& column : columns)
        columns_->addItem(QString::fromStdString(column.first));
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].second == current) columns_->setCurrentIndex(int(i));
    auto* byLabel = new QLabel(Line(text, DialogKey, 1), this);
    byLabel->setBuddy(columns_);
    descending_ = new QCheckBox(Line(text, DialogKey, 2), this);
    withinNames_ = new QCheckBox(Line(text, DialogKey, 3), this);
    withinNames_->setVisible(offer.names);
    selectionOnly_ = new QCheckBox(Line(text, DialogKey, 4), this);
    selectionOnly_->setEnabled(offer.hasSelection);
    selectionOnly_->setChecked(offer.hasSelection);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(Line(text, "GI_AppInd_Button_OkCancel", 0));
    buttons_->button(QDialogButtonBox::Cancel)->setText(Line(text, "GI_AppInd_Button_OkCancel", 1));
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(byLabel, columns_);
    auto* box = new QVBoxLayout(this);
    box->addLayout(form);
    box->addWidget(descending_);
    box->addWidget(withinNames_);
    box->addWidget(selectionOnly_);
    box->addWidget(buttons_);
    box->setSizeConstraint(QLayout::SetFixedSize);
    cuiPlaceOver(*this, mainWindow);
}

clsSortRequest cuiSortDialog::Request() const {
    clsSortRequest request;
    const int chosen = columns_->currentIndex();
    if (chosen >= 0 && chosen < int(columnIds_.size()))
        request.column = columnIds_[size_t(chosen)].second;
    request.descending = descending_->isChecked();
    request.withinNames = offer_.names && withinNames_->isChecked();
    request.selectionOnly = offer_.hasSelection && selectionOnly_->isChecked();
    return request;
}

std::optional<clsSortRequest> cuiSortDialog::Ask(cmcGTex& text, const clsSortOffer& offer,
                                                 const std::vector<cuiSortColumn>& columns,
                                                 int current, QWidget* mainWindow) {
    if (columns.empty()) return std::nullopt;
    cuiSortDialog dialog(text, offer, columns, current, mainWindow);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Request();
}
