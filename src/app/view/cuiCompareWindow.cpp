#include "app/view/cuiCompareWindow.h"

#include "app/view/cuiAccessible.h"
#include "app/view/cuiPlacement.h"
#include "catalogue/cmcGTex.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const WindowKey = "GI_Compare_Window";
// The lines of the window's text.
constexpr int TitleLine = 0;     // "Compare with %s"
constexpr int SameLine = 1;      // "The document and %s hold the same data."
constexpr int CountLine = 2;     // "Differences from the document to %s: %d"
constexpr int CopyLine = 3;
constexpr int CloseLine = 4;

// Room for this many average characters across and lines down when the window opens.
constexpr int OpeningColumns = 90;
constexpr int OpeningLines = 24;

QString Fill(QString pattern, const QString& name, int count = -1) {
    pattern.replace(QLatin1String("%s"), name);
    if (count >= 0) pattern.replace(QLatin1String("%d"), QString::number(count));
    return pattern;
}

} // namespace

cuiCompareWindow::cuiCompareWindow(cmcGTex& text, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), text_(text) {
    setObjectName(QStringLiteral("compareWindow"));
    cuiReadAsDialog(this);
    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    summary_->setTextFormat(Qt::PlainText);
    list_ = new QPlainTextEdit(this);
    list_->setReadOnly(true);
    list_->setLineWrapMode(QPlainTextEdit::NoWrap);
    list_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    copyButton_ = new QPushButton(Line(CopyLine), this);
    closeButton_ = new QPushButton(Line(CloseLine), this);
    closeButton_->setDefault(true);
    connect(copyButton_, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(list_->toPlainText()); });
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copyButton_);
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    const QFontMetrics metrics(list_->font());
    resize(metrics.averageCharWidth() * OpeningColumns, metrics.lineSpacing() * OpeningLines);
}

cuiCompareWindow* cuiCompareWindow::Show(cmcGTex& text, const std::string& path,
                                         const std::vector<clsImageDifference>& differences,
                                         QWidget* mainWindow) {
    auto* window = mainWindow ? dynamic_cast<cuiCompareWindow*>(mainWindow->findChild<QWidget*>(
                                    QStringLiteral("compareWindow"), Qt::FindDirectChildrenOnly))
                              : nullptr;
    const bool fresh = window == nullptr;
    if (fresh) window = new cuiCompareWindow(text, mainWindow);
    window->SetDifferences(path, differences);
    if (fresh) cuiPlaceOver(*window, mainWindow);
    window->show();
    window->raise();
    window->activateWindow();
    window->closeButton_->setFocus(Qt::OtherFocusReason);
    return window;
}

void cuiCompareWindow::SetDifferences(const std::string& path,
                                      const std::vector<clsImageDifference>& differences) {
    const QString full = QDir::toNativeSeparators(QString::fromStdString(path));
    setWindowTitle(Fill(Line(TitleLine), QFileInfo(full).fileName()));
    summary_->setText(differences.empty()
                          ? Fill(Line(SameLine), full)
                          : Fill(Line(CountLine), full, static_cast<int>(differences.size())));
    QStringList lines;
    for (const clsImageDifference& difference : differences)
        lines << QString::fromStdString(difference.Text());
    list_->setPlainText(lines.join(QLatin1Char('\n')));
    list_->setVisible(!differences.empty());
    copyButton_->setEnabled(!differences.empty());
}

QString cuiCompareWindow::Line(int n) const {
    return QString::fromStdString(text_.GetLine(WindowKey, n));
}

void cuiCompareWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
