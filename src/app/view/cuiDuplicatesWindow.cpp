#include "app/view/cuiDuplicatesWindow.h"

#include "app/view/cuiPlacement.h"
#include "catalogue/cmcGTex.h"
#include "sheet/cmcLayout.h"
#include "sheet/view/cuiCellPainter.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <set>

namespace {

const char* const WindowKey = "GI_Duplicates_Window";
// Lines of the key.
constexpr int CaptionLine = 0;
constexpr int FrequencyLine = 1; // "%s, row %s: frequency %s, as %s, row %s"
constexpr int NameLine = 2;
constexpr int NoneLine = 3;
constexpr int CountLine = 4; // "%s duplicates"
constexpr int DeleteLine = 5;
constexpr int CloseLine = 6;
constexpr int OneLine = 7; // "1 duplicate"
constexpr int ListWidth = 480;
constexpr int ListHeight = 240;

} // namespace

cuiDuplicatesWindow::cuiDuplicatesWindow(cmcGTex& text, clsServices services, QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint),
      text_(text), services_(std::move(services)) {
    setObjectName(QStringLiteral("duplicatesWindow"));
    setWindowTitle(QString::fromStdString(text_.GetLine(WindowKey, CaptionLine)));
    cmcCellFont font;
    cmcLayout::ApplyFontDescription(font, text_.GetText("CellModel_BasicDialog"));
    setFont(cuiFont(font));
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setMinimumSize(ListWidth, ListHeight);
    state_ = new QLabel(this);
    delete_ = new QPushButton(QString::fromStdString(text_.GetLine(WindowKey, DeleteLine)), this);
    close_ = new QPushButton(QString::fromStdString(text_.GetLine(WindowKey, CloseLine)), this);
    delete_->setAutoDefault(false);
    close_->setAutoDefault(false);
    connect(list_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowRow(list_->row(item)); });
    connect(list_, &QListWidget::itemSelectionChanged, this,
            [this] { delete_->setEnabled(!list_->selectedItems().isEmpty()); });
    connect(delete_, &QPushButton::clicked, this, [this] { DeleteSelected(); });
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(state_, 1);
    buttons->addWidget(delete_);
    buttons->addWidget(close_);
    auto* box = new QVBoxLayout(this);
    box->addWidget(list_, 1);
    box->addLayout(buttons);
    Refresh();
    cuiPlaceOver(*this, mainWindow);
}

std::string cuiDuplicatesWindow::LineOf(const clsDuplicate& d) const {
    const bool name = d.what == clsDuplicate::What::Name;
    return cmcFillIn(text_.GetLine(WindowKey, name ? NameLine : FrequencyLine),
                     {services_.groupLabel(d.group), std::to_string(d.row), DuplicateValueText(d),
                      services_.groupLabel(d.twinGroup), std::to_string(d.twinRow)});
}

void cuiDuplicatesWindow::Refresh() {
    found_ = services_.find();
    const QSignalBlocker quiet(list_);
    list_->clear();
    for (const clsDuplicate& duplicate : found_)
        list_->addItem(QString::fromStdString(LineOf(duplicate)));
    std::string state;
    if (found_.size() <= 1)
        state = text_.GetLine(WindowKey, found_.empty() ? NoneLine : OneLine);
    else
        state = cmcFillIn(text_.GetLine(WindowKey, CountLine), {std::to_string(found_.size())});
    state_->setText(QString::fromStdString(state));
    delete_->setEnabled(false);
}

void cuiDuplicatesWindow::ShowRow(int line) {
    if (line >= 0 && line < int(found_.size())) services_.show(found_[size_t(line)]);
}

// The selected findings, as they stand in the document now: a line whose channel has
// changed since it was listed is left alone.
void cuiDuplicatesWindow::DeleteSelected() {
    std::set<std::pair<int, std::string>> chosen;
    for (QListWidgetItem* item : list_->selectedItems()) {
        const int line = list_->row(item);
        if (line >= 0 && line < int(found_.size()))
            chosen.emplace(found_[size_t(line)].slot, LineOf(found_[size_t(line)]));
    }
    std::vector<int> chosenSlots;
    for (const clsDuplicate& now : services_.find())
        if (chosen.count({now.slot, LineOf(now)})) chosenSlots.push_back(now.slot);
    if (!chosenSlots.empty()) services_.remove(chosenSlots);
    Refresh();
}

void cuiDuplicatesWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Refresh();
}

void cuiDuplicatesWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && list_->hasFocus()) {
        DeleteSelected();
        return;
    }
    QDialog::keyPressEvent(event);
}
