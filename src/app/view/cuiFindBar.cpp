#include "app/view/cuiFindBar.h"

#include "catalogue/cmcGTex.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace {

// Lines of the catalogue's find-bar key.
enum Line { Label, Next, Previous, NotFound, Position, CloseTip };

} // namespace

cuiFindBar::cuiFindBar(cmcGTex& catalogue, Search search, Jump jump, Closed closed, QWidget* parent)
    : QToolBar(parent), catalogue_(catalogue), search_(std::move(search)), jump_(std::move(jump)),
      closed_(std::move(closed)) {
    auto text = [&](Line line) {
        return QString::fromStdString(catalogue_.GetLine("GI_AppInd_Find", line));
    };
    setObjectName(QStringLiteral("findBar"));
    setWindowTitle(text(Label));
    setMovable(false);
    setFloatable(false);
    toggleViewAction()->setVisible(false); // not among the toolbars the user switches
    setIconSize(QSize(16, 16));

    auto* label = new QLabel(text(Label), this);
    label->setContentsMargins(4, 0, 4, 0);
    addWidget(label);
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("findField"));
    field_->setClearButtonEnabled(true);
    field_->setFixedWidth(field_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 28);
    field_->installEventFilter(this);
    label->setBuddy(field_);
    addWidget(field_);
    previous_ = AddButton(style()->standardIcon(QStyle::SP_ArrowUp), text(Previous));
    next_ = AddButton(style()->standardIcon(QStyle::SP_ArrowDown), text(Next));
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("findState"));
    state_->setContentsMargins(8, 0, 8, 0);
    // Wide enough for either state, so that nothing moves while the user steps.
    QFont bold = state_->font();
    bold.setBold(true);
    const int widest = std::max(QFontMetrics(bold).horizontalAdvance(text(NotFound)),
                                state_->fontMetrics().horizontalAdvance(
                                    text(Position).replace(QLatin1String("%d"), "0000")));
    state_->setMinimumWidth(widest + 16);
    addWidget(state_);
    auto* spring = new QWidget(this);
    spring->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    addWidget(spring);
    close_ = AddButton(style()->standardIcon(QStyle::SP_TitleBarCloseButton), text(CloseTip));
    close_->setFocusPolicy(Qt::NoFocus); // Escape closes from the field

    connect(previous_, &QToolButton::clicked, this, [this] { Step(false); });
    connect(next_, &QToolButton::clicked, this, [this] { Step(true); });
    connect(close_, &QToolButton::clicked, this, [this] { Close(); });
    connect(field_, &QLineEdit::textChanged, this, [this] {
        current_ = -1;
        matches_.clear();
        searched_.clear();
        state_->clear();
    });
    setTabOrder(field_, previous_);
    setTabOrder(previous_, next_);
    hide();
}

QToolButton* cuiFindBar::AddButton(const QIcon& icon, const QString& tip) {
    auto* button = new QToolButton(this);
    button->setIcon(icon);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    addWidget(button);
    return button;
}

void cuiFindBar::Open() {
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void cuiFindBar::Close() {
    hide();
    if (closed_) closed_();
}

void cuiFindBar::Step(bool forward) {
    const std::string text = field_->text().toStdString();
    const bool again = text == searched_ && current_ >= 0;
    matches_ = search_ ? search_(text) : std::vector<clsFindMatch>{};
    searched_ = text;
    const int count = static_cast<int>(matches_.size());
    if (count == 0) {
        current_ = -1;
    } else if (!again) {
        current_ = start_ ? std::clamp(start_(matches_, forward), 0, count - 1)
                          : (forward ? 0 : count - 1);
    } else {
        current_ = (std::min(current_, count - 1) + (forward ? 1 : count - 1)) % count;
    }
    ShowState();
    if (current_ >= 0 && jump_) jump_(matches_[size_t(current_)]);
}

void cuiFindBar::ShowState() {
    if (field_->text().trimmed().isEmpty()) {
        state_->clear();
        return;
    }
    if (current_ < 0) {
        state_->setText(QString::fromStdString(catalogue_.GetLine("GI_AppInd_Find", NotFound)));
        state_->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
        return;
    }
    // "%d of %d": the match's number and the count.
    QString position = QString::fromStdString(catalogue_.GetLine("GI_AppInd_Find", Position));
    for (int value : {current_ + 1, static_cast<int>(matches_.size())})
        if (const qsizetype at = position.indexOf(QLatin1String("%d")); at >= 0)
            position.replace(at, 2, QString::number(value));
    state_->setStyleSheet(QString());
    state_->setText(position);
}

bool cuiFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Step(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            Close();
            return true;
        }
    }
    return QToolBar::eventFilter(watched, event);
}
