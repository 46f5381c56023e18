#include "app/view/cuiOtherImportDialog.h"

#include "app/indOtherImport.h"
#include "app/view/cuiPlacement.h"
#include "catalogue/cmcGTex.h"
#include "sheet/cmcLayout.h"
#include "sheet/view/cuiCellPainter.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace {

QString Line(cmcGTex& text, const char* key, int n = 0) {
    return QString::fromStdString(text.GetLine(key, n));
}

// Every field a column can hold, in the order the window lists them: the common ones
// first, then the tone columns of the generic list, then duplex and offset.
constexpr OtherField Picked[cuiOtherImportDialog::PickedFields] = {
    OtherField::Frequency, OtherField::Name,         OtherField::Mode,    OtherField::Step,
    OtherField::Group,     OtherField::Skip,         OtherField::Lockout, OtherField::Priority,
    OtherField::Tone,      OtherField::ToneKind,     OtherField::CTone,   OtherField::RTone,
    OtherField::DtcsCode,  OtherField::DtcsPolarity, OtherField::Duplex,  OtherField::Offset};

constexpr int FieldsPerLine = 4;

constexpr indOtherPreview::Place Places[] = {indOtherPreview::Place::NewGroups,
                                             indOtherPreview::Place::OpenGroup,
                                             indOtherPreview::Place::LastChannel};

constexpr int HeadingCount = 10;

} // namespace

cuiOtherImportDialog::cuiOtherImportDialog(cmcGTex& text, indOtherPreview& preview,
                                           QWidget* mainWindow)
    : QDialog(mainWindow), text_(text), preview_(preview) {
    setWindowTitle(Line(text_, "GI_Other_Dialog", 0));
    cmcCellFont font;
    cmcLayout::ApplyFontDescription(font, text_.GetText("CellModel_BasicDialog"));
    setFont(cuiFont(font));
    BuildControls();
    ShowMapping();
    ShowRows();
    resize(900, 560);
    cuiPlaceOver(*this, mainWindow);
}

QComboBox* cuiOtherImportDialog::ColumnBox(OtherField field) const {
    const auto at = std::find(std::begin(Picked), std::end(Picked), field);
    return at == std::end(Picked) ? nullptr : columns_[size_t(at - std::begin(Picked))];
}

bool cuiOtherImportDialog::Show(cmcGTex& text, indOtherPreview& preview, QWidget* mainWindow) {
    cuiOtherImportDialog dialog(text, preview, mainWindow);
    return dialog.exec() == QDialog::Accepted;
}

void cuiOtherImportDialog::BuildControls() {
    auto* form = new QFormLayout;
    format_ = new QComboBox(this);
    for (int f = 0; f <= otherformat::Columns; ++f)
        format_->addItem(Line(text_, "GI_Other_Formats", f));
    form->addRow(Line(text_, "GI_Other_Dialog", 1), format_);
    connect(format_, &QComboBox::activated, this, [this](int format) {
        preview_.SetFormat(format);
        ShowMapping();
        ShowRows();
    });

    auto* placement = new QVBoxLayout;
    places_ = new QButtonGroup(this);
    for (int p = 0; p < 3; ++p) {
        auto* button = new QRadioButton(Line(text_, "GI_Other_Dialog", 4 + p), this);
        button->setEnabled(preview_.Offers(Places[p]));
        button->setChecked(preview_.Placement() == Places[p]);
        places_->addButton(button, p);
        placement->addWidget(button);
    }
    connect(places_, &QButtonGroup::idClicked, this, [this](int p) {
        preview_.SetPlacement(Places[p]);
        ShowRows();
    });
    form->addRow(Line(text_, "GI_Other_Dialog", 3), placement);

    auto* mapping = new QGridLayout;
    for (int i = 0; i < PickedFields; ++i) {
        auto* label =
            new QLabel(Line(text_, "GI_Other_Fields", static_cast<int>(Picked[i])) + ":", this);
        QComboBox* box = columns_[size_t(i)] = new QComboBox(this);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(10);
        label->setBuddy(box);
        mapping->addWidget(label, i / FieldsPerLine, 2 * (i % FieldsPerLine));
        connect(box, &QComboBox::activated, this, [this, i](int choice) {
            if (filling_) return;
            preview_.SetColumn(Picked[i], choice - 1);
            ShowMapping();
            ShowRows();
        });
        if (Picked[i] != OtherField::Frequency) {
            mapping->addWidget(box, i / FieldsPerLine, 2 * (i % FieldsPerLine) + 1);
            continue;
        }
        // The frequency's unit stands beside its column.
        unit_ = new QComboBox(this);
        unit_->setAccessibleName(Line(text_, "GI_Other_Dialog", 2).remove(QLatin1Char(':')));
        for (OtherUnit unit : {OtherUnit::Hz, OtherUnit::kHz, OtherUnit::MHz})
            unit_->addItem(
                QString::fromUtf8(OtherUnitName(unit).data(), int(OtherUnitName(unit).size())));
        connect(unit_, &QComboBox::activated, this, [this](int unit) {
            if (filling_) return;
            preview_.SetUnit(static_cast<OtherUnit>(unit));
            ShowRows();
        });
        auto* frequency = new QHBoxLayout;
        frequency->addWidget(box, 1);
        frequency->addWidget(unit_);
        mapping->addLayout(frequency, 0, 1);
    }
    for (int c = 1; c < 2 * FieldsPerLine; c += 2)
        mapping->setColumnStretch(c, 1);

    rows_ = new QTableWidget(this);
    rows_->setColumnCount(HeadingCount);
    QStringList headings;
    for (int h = 0; h < HeadingCount; ++h)
        headings << Line(text_, "GI_Other_Headings", h);
    rows_->setHorizontalHeaderLabels(headings);
    rows_->verticalHeader()->hide();
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rows_->horizontalHeader()->setStretchLastSection(true);

    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    import_ = new QPushButton(Line(text_, "GI_Other_Dialog", 7), this);
    cancel_ = new QPushButton(Line(text_, "GI_Other_Dialog", 8), this);
    import_->setDefault(true);
    connect(import_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(summary_, 1);
    buttons->addWidget(import_);
    buttons->addWidget(cancel_);

    // Widgets were made in reading order, which is the order Tab follows.
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(mapping);
    layout->addWidget(rows_, 1);
    layout->addLayout(buttons);
}

void cuiOtherImportDialog::ShowMapping() {
    filling_ = true;
    format_->setCurrentIndex(preview_.Format());
    const clsOtherMapping& mapping = preview_.Mapping();
    for (int i = 0; i < PickedFields; ++i) {
        QComboBox* box = columns_[size_t(i)];
        box->clear();
        box->addItem(Line(text_, "GI_Other_Dialog", 9));
        for (const std::string& name : preview_.Table().header)
            box->addItem(QString::fromStdString(name));
        box->setCurrentIndex(mapping[Picked[i]] + 1);
    }
    unit_->setCurrentIndex(static_cast<int>(mapping.unit));
    filling_ = false;
}

void cuiOtherImportDialog::ShowRows() {
    const clsOtherPlan& plan = preview_.Plan();
    rows_->setRowCount(static_cast<int>(plan.rows.size()));
    for (int r = 0; r < static_cast<int>(plan.rows.size()); ++r) {
        const clsOtherPlanRow& row = plan.rows[size_t(r)];
        std::string notes;
        for (const clsOtherNote& note : row.notes)
            notes += (notes.empty() ? "" : "; ") + OtherNoteText(note);
        const std::string cells[HeadingCount] = {
            std::to_string(row.line),
            row.hertz ? CsvFormatMegahertz(row.hertz, '.') : std::string(),
            row.name,
            row.mode,
            row.step,
            row.tone,
            row.duplex == "OFF" ? std::string() : row.duplex + " " + row.offset,
            row.skip == "OFF" ? std::string() : row.skip,
            row.imported ? preview_.GroupOf(row) : std::string(),
            notes};
        for (int c = 0; c < HeadingCount; ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(cells[c]));
            if (!row.imported)
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            rows_->setItem(r, c, item);
        }
    }
    rows_->resizeColumnsToContents();
    summary_->setText(QString::fromStdString(preview_.Summary()));
    import_->setEnabled(preview_.CanImport());
}
