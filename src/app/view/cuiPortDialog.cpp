#include "app/view/cuiPortDialog.h"

#include "app/view/cuiPlacement.h"
#include "catalogue/cmcGTex.h"
#include "clone/cmcSerialPort.h"
#include "clone/indCloneMan.h"
#include "sheet/cmcLayout.h"
#include "sheet/view/cuiCellPainter.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <filesystem>

namespace {

QString Line(cmcGTex& text, const char* key, int n = 0) {
    return QString::fromStdString(text.GetLine(key, n));
}

// Opens the port as a clone would and lets it go again: what stands in the way, if anything.
cmcPortError TryPort(const std::string& path) {
    std::unique_ptr<cmcSerialPort> port = cmcSerialPort::Create();
    const cmcPortError error = port->Open(path, cmcLineSettings{});
    port->Close();
    return error;
}

} // namespace

std::vector<cmcPortInfo> cuiDetectedPorts() {
    cmcPortList* list = cmcPlatform::get().ports;
    std::vector<cmcPortInfo> ports = list ? list->ports() : std::vector<cmcPortInfo>();
    std::stable_sort(ports.begin(), ports.end(),
                     [](const cmcPortInfo& a, const cmcPortInfo& b) { return a.usb > b.usb; });
    return ports;
}

QString cuiPortCaption(const cmcPortInfo& port) {
    const QString path = QString::fromStdString(port.path);
    if (port.description.empty()) return path;
    const QString name = QString::fromStdString(std::filesystem::path(port.path).filename());
    return QStringLiteral("%1 (%2)").arg(QString::fromStdString(port.description), name);
}

cuiPortDialog::cuiPortDialog(cmcGTex& text, const std::string& current, QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                              Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      text_(text), ports_(cuiDetectedPorts()) {
    setObjectName(QStringLiteral("portDialog"));
    setWindowTitle(Line(text_, "GI_AppInd_Opt_ComSel_Caption"));
    cmcCellFont font;
    cmcLayout::ApplyFontDescription(font, text_.GetText("CellModel_BasicDialog"));
    setFont(cuiFont(font));
    BuildControls(current);
    Arrange();
    cuiPlaceOver(*this, mainWindow);
}

std::optional<std::string> cuiPortDialog::Choose(cmcGTex& text, const std::string& current,
                                                 QWidget* mainWindow) {
    cuiPortDialog dialog(text, current, mainWindow);
    dialog.exec();
    return dialog.Chosen();
}

void cuiPortDialog::BuildControls(const std::string& current) {
    notice_ =
        new QLabel(QString::fromStdString(text_.GetLines("GI_AppInd_Opt_ComSel_Notice")), this);
    list_ = new QListWidget(this);
    for (const cmcPortInfo& port : ports_) {
        auto* item = new QListWidgetItem(cuiPortCaption(port), list_);
        item->setData(Qt::UserRole, QString::fromStdString(port.path));
    }
    edit_ = new QLineEdit(QString::fromStdString(current), this);
    edit_->setAttribute(Qt::WA_InputMethodEnabled, false);
    notice_->setBuddy(edit_);
    ok_ = new QPushButton(Line(text_, "GI_AppInd_Opt_ComSel_Buttons", 0), this);
    cancel_ = new QPushButton(Line(text_, "GI_AppInd_Opt_ComSel_Buttons", 1), this);
    ok_->setDefault(true);
    SelectListedPath(edit_->text());

    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { edit_->setText(item->data(Qt::UserRole).toString()); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        edit_->setText(item->data(Qt::UserRole).toString());
        Confirm();
    });
    connect(edit_, &QLineEdit::textEdited, this,
            [this](const QString& path) { SelectListedPath(path.trimmed()); });
    connect(ok_, &QPushButton::clicked, this, [this] { Confirm(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(edit_, list_);
    setTabOrder(list_, ok_);
    setTabOrder(ok_, cancel_);
    edit_->setFocus(Qt::OtherFocusReason);
}

// The geometry follows the height u of a line of the dialog's font: the notice at the top
// left, the list and the edit box below it, as wide as the notice or the widest port, and
// the two buttons at the bottom right.
void cuiPortDialog::Arrange() {
    const QFontMetrics metrics(font());
    const int u = metrics.height();
    notice_->adjustSize();
    notice_->move(u, u);
    int width = std::max(notice_->width(), metrics.horizontalAdvance(QStringLiteral("W")) * 24);
    if (list_->count() > 0)
        width = std::max(width, list_->sizeHintForColumn(0) + 2 * list_->frameWidth() + u);
    int top = notice_->geometry().bottom() + 1 + u / 2;
    edit_->setGeometry(u, top, width, edit_->sizeHint().height());
    top = edit_->geometry().bottom() + 1 + u / 2;
    list_->setVisible(list_->count() > 0);
    if (list_->count() > 0) {
        const int rows = std::min(std::max(list_->count(), 2), ListRows);
        list_->setGeometry(u, top, width,
                           rows * list_->sizeHintForRow(0) + 2 * list_->frameWidth());
        top = list_->geometry().bottom() + 1 + u;
    }
    const int buttonWidth =
        std::max(metrics.horizontalAdvance(Line(text_, "GI_AppInd_Opt_ComSel_SizeOfButtons")),
                 std::max(ok_->sizeHint().width(), cancel_->sizeHint().width()));
    const int buttonHeight = std::max(2 * u, ok_->sizeHint().height());
    const int right = u + width;
    cancel_->setGeometry(right - buttonWidth, top, buttonWidth, buttonHeight);
    ok_->setGeometry(cancel_->x() - buttonHeight / 2 - buttonWidth, top, buttonWidth, buttonHeight);
    setFixedSize(right + u, top + buttonHeight + buttonHeight / 2);
}

// The list shows which detected port the edit box names, if any.
void cuiPortDialog::SelectListedPath(const QString& path) {
    const QSignalBlocker quiet(list_);
    list_->clearSelection();
    list_->setCurrentItem(nullptr);
    for (int row = 0; row < list_->count(); ++row)
        if (list_->item(row)->data(Qt::UserRole).toString() == path) list_->setCurrentRow(row);
}

// A path that cannot be opened now is refused with the reason; nothing changes.
void cuiPortDialog::Confirm() {
    const std::string path = edit_->text().trimmed().toStdString();
    std::string problem;
    if (path.empty())
        problem = text_.GetLines("GI_AppInd_Opt_ComSel_Notice");
    else if (const cmcPortError error = TryPort(path); error != cmcPortError::None)
        problem = PortAccessMessage(path, error);
    if (!problem.empty()) {
        cmcMessage(problem, text_.GetText("GI_Sys_AppTitle"), MsgIcon::Error);
        edit_->setFocus(Qt::OtherFocusReason);
        edit_->selectAll();
        return;
    }
    chosen_ = path;
    accept();
}
