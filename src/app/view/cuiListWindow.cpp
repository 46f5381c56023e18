#include "app/view/cuiListWindow.h"

#include "app/view/cuiPlacement.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

// Room for this many average characters across and lines down when the window opens.
constexpr int OpeningColumns = 120;
constexpr int OpeningLines = 26;

QString Qs(const std::string& text) {
    return QString::fromStdString(text);
}

constexpr QChar FieldBreak = QLatin1Char('\t');

// Where each field of the lines with tabs begins: every column is as wide as its widest field
// and a gap.
std::vector<int> FieldStarts(const QStringList& lines, const QFontMetrics& metrics) {
    std::vector<int> widths;
    for (const QString& line : lines) {
        if (!line.contains(FieldBreak)) continue;
        const QStringList fields = line.split(FieldBreak);
        widths.resize(std::max(widths.size(), size_t(fields.size())), 0);
        for (qsizetype i = 0; i < fields.size(); ++i)
            widths[size_t(i)] = std::max(widths[size_t(i)], metrics.horizontalAdvance(fields[i]));
    }
    std::vector<int> starts{0};
    for (size_t i = 0; i + 1 < widths.size(); ++i)
        starts.push_back(starts.back() + widths[i] + 3 * metrics.averageCharWidth());
    return starts;
}

// Draws a line with tabs as its fields in the columns, each field on its own, so the fields
// line up from line to line and each is shaped in the font its own letters call for; a line
// without tabs is drawn as the style draws it.
class FieldsDelegate : public QStyledItemDelegate {
  public:
    FieldsDelegate(std::vector<int> starts, QObject* parent)
        : QStyledItemDelegate(parent), starts_(std::move(starts)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        if (!item.text.contains(FieldBreak)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QStringList fields = item.text.split(FieldBreak);
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
        item.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
        const QPalette::ColorGroup group =
            !(item.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (item.state & QStyle::State_Active) ? QPalette::Active
                                                  : QPalette::Inactive;
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        painter->save();
        painter->setFont(item.font);
        painter->setPen(item.palette.color(group, item.state & QStyle::State_Selected
                                                      ? QPalette::HighlightedText
                                                      : QPalette::Text));
        for (qsizetype i = 0; i < fields.size() && size_t(i) < starts_.size(); ++i)
            painter->drawText(textRect.adjusted(margin + starts_[size_t(i)], 0, 0, 0),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, fields[i]);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        if (!item.text.contains(FieldBreak)) return QStyledItemDelegate::sizeHint(option, index);
        item.text = item.text.section(FieldBreak, -1); // the last field, after the columns
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        QSize size = style->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), widget);
        size.rwidth() += starts_.back();
        return size;
    }

  private:
    std::vector<int> starts_;
};

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
    QStringList texts;
    for (const cmcListQuestion::Line& line : question.lines)
        texts << Qs(line.text);
    list_->setItemDelegate(new FieldsDelegate(FieldStarts(texts, list_->fontMetrics()), list_));
    for (const cmcListQuestion::Line& line : question.lines) {
        auto* item = new QListWidgetItem(Qs(line.text), list_);
        // A screen reader reads the fields as a phrase, without the empty ones.
        if (item->text().contains(FieldBreak))
            item->setData(
                Qt::AccessibleTextRole,
                item->text().split(FieldBreak, Qt::SkipEmptyParts).join(QStringLiteral(", ")));
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
    if (question.chooseLine && list_->count() > 0)
        list_->setFocus(Qt::OtherFocusReason); // Enter there answers as the default button does
    else
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
