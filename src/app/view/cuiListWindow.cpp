#include "app/view/cuiListWindow.h"

#include "app/view/cuiPlacement.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// Room for this many average characters across and lines down when the window opens.
constexpr int OpeningColumns = 120;
constexpr int OpeningLines = 26;

QString Qs(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

cuiListWindow::cuiListWindow(const cmcListQuestion& question, QWidget* parent)
    : QDialog(parent), question_(question) {
    setObjectName(QStringLiteral("listWindow"));
    setWindowTitle(Qs(question.caption));
    summary_ = new QLabel(Qs(question.summary), this);
    summary_->setWordWrap(true);
    summary_->setTextFormat(Qt::PlainText);
    list_ = new QListWidget(this);
    list_->setUniformItemSizes(true);
    // Long lines scroll rather than lose their end.
    list_->setTextElideMode(Qt::ElideNone);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const int iconSide = list_->fontMetrics().height();
    list_->setIconSize(QSize(iconSide, iconSide));
    const QIcon marked = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const QIcon plain = [iconSide] {
        QPixmap blank(iconSide, iconSide);
        blank.fill(Qt::transparent);
        return QIcon(blank);
    }();
    for (const cmcListQuestion::Line& line : question.lines) {
        auto* item = new QListWidgetItem(Qs(line.text), list_);
        switch (line.kind) {
        case cmcListQuestion::Kind::Heading: {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
            break;
        }
        case cmcListQuestion::Kind::Marked:
            item->setIcon(marked);
            item->setForeground(QColor(0xA0, 0x20, 0x00));
            break;
        case cmcListQuestion::Kind::Plain:
            item->setIcon(plain); // lines under a heading stand indented
            break;
        }
    }
    list_->setVisible(!question.lines.empty());
    // The cursor starts on the first line that is not a heading.
    for (int row = 0; row < list_->count(); ++row)
        if (question.lines[size_t(row)].kind != cmcListQuestion::Kind::Heading) {
            list_->setCurrentRow(row);
            break;
        }
    note_ = new QLabel(Qs(question.note), this);
    note_->setWordWrap(true);
    note_->setVisible(!question.note.empty());
    connect(list_, &QListWidget::itemActivated, this, [this] { Finish(-1, true); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (size_t i = 0; i < question.buttons.size(); ++i) {
        auto* button = new QPushButton(Qs(question.buttons[i]), this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, i] { Finish(int(i), false); });
        buttons->addWidget(button);
        buttons_.push_back(button);
    }
    if (!question.copyButton.empty()) {
        copyButton_ = new QPushButton(Qs(question.copyButton), this);
        copyButton_->setAutoDefault(false);
        copyButton_->setEnabled(!question.lines.empty());
        connect(copyButton_, &QPushButton::clicked, this,
                [this] { QGuiApplication::clipboard()->setText(CopyText()); });
        buttons->addWidget(copyButton_);
    }
    cancelButton_ = new QPushButton(Qs(question.cancelButton), this);
    cancelButton_->setAutoDefault(false);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancelButton_);
    if (!buttons_.empty()) buttons_.front()->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(list_, 1);
    layout->addWidget(note_);
    layout->addLayout(buttons);

    const QFontMetrics metrics(list_->font());
    resize(metrics.averageCharWidth() * OpeningColumns, metrics.lineSpacing() * OpeningLines);
    (buttons_.empty() ? cancelButton_ : buttons_.front())->setFocus(Qt::OtherFocusReason);
}

QString cuiListWindow::CopyText() const {
    QStringList lines{Qs(question_.summary)};
    for (const cmcListQuestion::Line& line : question_.lines) {
        const char* lead = line.kind == cmcListQuestion::Kind::Heading  ? ""
                           : line.kind == cmcListQuestion::Kind::Marked ? "! "
                                                                        : "  ";
        lines << QString::fromLatin1(lead) + Qs(line.text);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void cuiListWindow::Finish(int button, bool activated) {
    answer_.button = button;
    answer_.line = list_->currentRow();
    answer_.activated = activated;
    accept();
}

cmcListAnswer cuiListBox::show(const cmcListQuestion& question) {
    QWidget* parent = QApplication::activeWindow();
    cuiListWindow window(question, parent);
    if (parent) cuiPlaceOver(window, parent);
    window.exec();
    return window.Answer();
}

void cuiListBox::Install() {
    cmcPlatform platform = cmcPlatform::get();
    platform.lists = this;
    cmcPlatform::install(platform);
}
