#include "app/view/cuiFillSeriesDialog.h"

#include "app/view/cuiPlacement.h"
#include "catalogue/cmcGTex.h"
#include "model/cmcFrequency.h"
#include "model/cmcOrganisation.h"
#include "sheet/cmcLayout.h"
#include "sheet/view/cuiCellPainter.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const char* const DialogKey = "GI_FillSeries_Dialog"; // caption, then the fields' labels

QString Line(cmcGTex& text, const char* key, int n) {
    return QString::fromStdString(text.GetLine(key, n));
}

} // namespace

cuiFillSeriesDialog::cuiFillSeriesDialog(cmcGTex& text, const clsFillOffer& offer,
                                         QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                              Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("fillSeriesDialog"));
    setWindowTitle(Line(text, DialogKey, 0));
    cmcCellFont font;
    cmcLayout::ApplyFontDescription(font, text.GetText("CellModel_BasicDialog"));
    setFont(cuiFont(font));
    start_ = new QLineEdit(QStringLiteral("118.000"), this);
    step_ = new QLineEdit(QStringLiteral("0.025"), this);
    count_ = new QSpinBox(this);
    count_->setRange(1, cmcOrganisation::MaxChannels);
    count_->setValue(std::max(1, offer.rows));
    name_ = new QLineEdit(this);
    name_->setMaxLength(12); // room for " 100" in the 16 characters
    first_ = new QSpinBox(this);
    first_->setRange(0, 9999);
    first_->setValue(1);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(Line(text, "GI_AppInd_Button_OkCancel", 0));
    buttons_->button(QDialogButtonBox::Cancel)->setText(Line(text, "GI_AppInd_Button_OkCancel", 1));
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(start_, &QLineEdit::textChanged, this, [this] { CheckInput(); });
    connect(step_, &QLineEdit::textChanged, this, [this] { CheckInput(); });

    auto* form = new QFormLayout;
    QWidget* fields[] = {start_, step_, count_, name_, first_};
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel(Line(text, DialogKey, i + 1), this);
        label->setBuddy(fields[i]);
        form->addRow(label, fields[i]);
    }
    auto* box = new QVBoxLayout(this);
    box->addLayout(form);
    box->addWidget(buttons_);
    box->setSizeConstraint(QLayout::SetFixedSize);
    CheckInput();
    cuiPlaceOver(*this, mainWindow);
}

void cuiFillSeriesDialog::CheckInput() {
    const auto start = ReadDecimal(start_->text().toStdString(), 6);
    const auto step = ReadDecimal(step_->text().toStdString(), 6);
    buttons_->button(QDialogButtonBox::Ok)
        ->setEnabled(start && step && *start >= CoverageLowHz && *start <= CoverageHighHz);
}

clsFillRequest cuiFillSeriesDialog::Request() const {
    clsFillRequest request;
    request.start = start_->text().toStdString();
    request.step = step_->text().toStdString();
    request.count = count_->value();
    request.name = name_->text().trimmed().toStdString();
    request.firstNumber = first_->value();
    return request;
}

std::optional<clsFillRequest> cuiFillSeriesDialog::Ask(cmcGTex& text, const clsFillOffer& offer,
                                                       QWidget* mainWindow) {
    cuiFillSeriesDialog dialog(text, offer, mainWindow);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Request();
}
