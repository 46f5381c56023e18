#include "print/cuiPreview.h"

#include "catalogue/cmcGTex.h"
#include "settings/indEnviron.h"
#include "sheet/view/cuiWorkArea.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int TopPanelHeight = 25;
constexpr int TextButtonWidth = 70;
constexpr int PageBoxWidth = 30;
constexpr int StatusPanelWidth = 80;
constexpr int WindowRoom = 50;
constexpr int LowestFontPoints = 8;
constexpr int FontChoices = 5;
const QColor ClientGrey(0x55, 0x55, 0x55);

// The toolbar images of the page buttons and the zoom.
enum ImageIndex { TopImage = 13, PreviousImage, NextImage, LastImage, ZoomImage };

QString Line(cmcGTex& catalogue, const char* key, int n) {
    return QString::fromStdString(catalogue.GetLine(key, n));
}

// A caption without its access key: "&Zoom" and "ズーム(&Z)" both say the word alone.
QString WithoutAccessKey(QString text) {
    static const QRegularExpression trailing(QStringLiteral("\\(&.\\)"));
    text.remove(trailing);
    return text.remove(QLatin1Char('&'));
}

// Centres the window over the work area, never above or left of it.
void CentreOnDesktop(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = window.frameGeometry().size();
    window.move(std::max(area.left(), area.left() + (area.width() - size.width()) / 2),
                std::max(area.top(), area.top() + (area.height() - size.height()) / 2));
}

} // namespace

cuiPreview::cuiPreview(QWidget* owner, const QString& caption, cuiPrinter& printer,
                       indEnviron* settings, const Images& images)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      printer_(printer), settings_(settings), caption_(caption) {
    setWindowTitle(caption);
    setObjectName(QStringLiteral("printPreview"));
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    BuildToolBar(images);
    box->addWidget(findChild<QToolBar*>());

    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setAlignment(Qt::AlignCenter);
    // The page takes the keys: arrows scroll it zoomed, page through it otherwise.
    scroll_->setFocusPolicy(Qt::StrongFocus);
    QPalette grey = scroll_->palette();
    grey.setColor(QPalette::Window, ClientGrey);
    scroll_->setPalette(grey);
    scroll_->setBackgroundRole(QPalette::Window);
    scroll_->setAutoFillBackground(true);
    scroll_->viewport()->installEventFilter(this);
    scroll_->installEventFilter(this); // its keys page and scroll as the window's do
    picture_ = new QLabel;
    picture_->setObjectName(QStringLiteral("previewPage"));
    scroll_->setWidget(picture_);
    box->addWidget(scroll_, 1);

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    statusPage_ = new QLabel(status);
    statusPage_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusPage_->setFixedWidth(StatusPanelWidth);
    auto* side = new QLabel(status);
    side->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    status->addWidget(statusPage_);
    status->addWidget(side, 1);
    box->addWidget(status);
}

void cuiPreview::BuildToolBar(const Images& images) {
    cmcGTex& text = *printer_.Services().catalogue;
    const auto caption = [&text](int n) { return Line(text, "GI_AppInd_Preview_Caption", n); };
    auto* bar = new QToolBar(this);
    bar->setFixedHeight(TopPanelHeight);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // Every button takes the focus (Tab reaches it, Space presses it), and the caption's
    // access key (Alt and the letter) presses it from anywhere in the window.
    const auto reachable = [&](QAction* action, const QString& label) {
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)))
            button->setFocusPolicy(Qt::StrongFocus);
        const QKeySequence key = QKeySequence::mnemonic(label);
        if (!key.isEmpty()) {
            QList<QKeySequence> keys = action->shortcuts();
            keys.prepend(key);
            action->setShortcuts(keys);
        }
        action->setShortcutContext(Qt::WindowShortcut);
    };
    const auto textButton = [&](const QString& label, auto slot) {
        QAction* action = bar->addAction(label, this, slot);
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
            button->setFixedWidth(TextButtonWidth);
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        }
        reachable(action, label);
        return action;
    };
    print_ = textButton(caption(0), [this] { accept(); });
    print_->setShortcuts(print_->shortcuts() << QKeySequence(Qt::CTRL | Qt::Key_P));
    setting_ = textButton(caption(1), [this] { AskSetting(); });
    bar->addSeparator();
    const auto pageButton = [&](int image, int hint, auto slot) {
        QAction* action = bar->addAction(images ? images(image) : QIcon(),
                                         WithoutAccessKey(caption(hint)), this, slot);
        action->setToolTip(WithoutAccessKey(caption(hint)));
        reachable(action, caption(hint));
        return action;
    };
    top_ = pageButton(TopImage, 2, [this] { GoTo(0); });
    previous_ = pageButton(PreviousImage, 3, [this] { GoTo(current_ - 1); });
    pageBox_ = new QLineEdit(bar);
    pageBox_->setObjectName(QStringLiteral("previewPageBox"));
    pageBox_->setFixedWidth(PageBoxWidth);
    pageBox_->setMaxLength(3);
    pageBox_->setAttribute(Qt::WA_InputMethodEnabled, false);
    pageBox_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,3}")), pageBox_));
    pageBox_->installEventFilter(this); // zoomed, Left and Right scroll the page
    connect(pageBox_, &QLineEdit::returnPressed, this,
            [this] { GoTo(pageBox_->text().toInt() - 1); });
    bar->addWidget(pageBox_);
    pageCount_ = new QLabel(bar);
    bar->addWidget(pageCount_);
    next_ = pageButton(NextImage, 4, [this] { GoTo(current_ + 1); });
    last_ = pageButton(LastImage, 5, [this] { GoTo(int(pages_.size()) - 1); });
    bar->addSeparator();
    zoom_ = pageButton(ZoomImage, 6, [this] { FitImage(); });
    zoom_->setCheckable(true);
}

void cuiPreview::Prepare(std::vector<cuiPrintPage> pages) {
    pages_ = std::move(pages);
    current_ = 0;
    const QSize page = printer_.PageSize();
    QSize wanted(page.width() + WindowRoom,
                 page.height() + WindowRoom + TopPanelHeight + statusPage_->sizeHint().height());
    const QWidget* owner = parentWidget();
    const QScreen* screen =
        owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) wanted = wanted.boundedTo(screen->availableGeometry().size());
    resize(wanted);
}

bool cuiPreview::Show() {
    setEnabled(true); // the disabled main window would hold its child windows disabled
    GoTo(0);
    CentreOnDesktop(*this);
    // Shown first, so that the title bar is known and the whole window fits the work area.
    show();
    cuiFitInWorkArea(*this);
    scroll_->setFocus(Qt::OtherFocusReason);
    return exec() == QDialog::Accepted;
}

void cuiPreview::GoTo(int page) {
    const int count = static_cast<int>(pages_.size());
    current_ = std::clamp(page, 0, std::max(count - 1, 0));
    DrawPage();
    const QString number = count ? QString::number(current_ + 1) : QString();
    pageBox_->setText(number);
    pageCount_->setText(QStringLiteral(" / %1").arg(count));
    statusPage_->setText(QStringLiteral(" %1 / %2").arg(count ? current_ + 1 : 0).arg(count));
    top_->setEnabled(current_ > 0);
    previous_->setEnabled(current_ > 0);
    next_->setEnabled(current_ + 1 < count);
    last_->setEnabled(current_ + 1 < count);
    ShowTitle();
}

// The window names the sheet of the page on show (Print All goes through several).
void cuiPreview::ShowTitle() {
    if (pages_.empty()) return setWindowTitle(caption_);
    const QString sheet = printer_.SheetTitle(pages_[size_t(current_)]).trimmed();
    setWindowTitle(sheet.isEmpty() ? caption_ : sheet + QStringLiteral(" - ") + caption_);
}

QString cuiPreview::StatusText() const {
    return statusPage_->text();
}

void cuiPreview::DrawPage() {
    image_ = QImage(printer_.PageSize(), QImage::Format_RGB32);
    image_.fill(Qt::white);
    QPainter painter(&image_);
    painter.setPen(Qt::black);
    painter.drawRect(image_.rect().adjusted(0, 0, -1, -1));
    if (!pages_.empty())
        printer_.DrawPage(painter, pages_[size_t(current_)], current_ + 1, int(pages_.size()));
    painter.end();
    FitImage();
}

bool cuiPreview::Zoomed() const {
    return zoom_->isChecked();
}

void cuiPreview::SetZoomed(bool on) {
    zoom_->setChecked(on);
    FitImage();
}

// Zoomed, the page at its own size in the scroll box; otherwise the whole page in the
// client area, centred, in its proportions.
void cuiPreview::FitImage() {
    if (image_.isNull()) return;
    QPixmap shown = QPixmap::fromImage(image_);
    if (!Zoomed()) {
        const QSize room = scroll_->viewport()->size() - QSize(8, 8);
        shown = shown.scaled(room.expandedTo(QSize(16, 16)), Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
    }
    picture_->setPixmap(shown);
    picture_->resize(shown.size());
}

void cuiPreview::ScrollBy(int dx, int dy) {
    QScrollBar* bar = dx ? scroll_->horizontalScrollBar() : scroll_->verticalScrollBar();
    bar->setValue(bar->value() + (dx ? dx : dy) * bar->singleStep());
}

void cuiPreview::keyPressEvent(QKeyEvent* event) {
    const bool zoomed = Zoomed();
    switch (event->key()) {
    case Qt::Key_PageUp:
        return GoTo(current_ - 1);
    case Qt::Key_PageDown:
        return GoTo(current_ + 1);
    case Qt::Key_Home:
        return GoTo(0);
    case Qt::Key_End:
        return GoTo(int(pages_.size()) - 1);
    case Qt::Key_Up:
        return zoomed ? ScrollBy(0, -1) : GoTo(current_ - 1);
    case Qt::Key_Down:
        return zoomed ? ScrollBy(0, 1) : GoTo(current_ + 1);
    case Qt::Key_Left:
        if (zoomed) ScrollBy(-1, 0);
        return;
    case Qt::Key_Right:
        if (zoomed) ScrollBy(1, 0);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return; // Enter belongs to the page box, never to a default button
    default:
        QDialog::keyPressEvent(event);
    }
}

// The whole page fits the scroll box again whenever the box changes size.
// The page's keys are the window's (the scroll box would take the arrows and page keys
// itself, scrolling where there is nothing to scroll); zoomed, Left and Right in the page
// box scroll the page too.
bool cuiPreview::eventFilter(QObject* watched, QEvent* event) {
    if (!scroll_) return QDialog::eventFilter(watched, event); // still being built
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize) FitImage();
    if (watched == scroll_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            switch (key->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_Left:
            case Qt::Key_Right:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
            case Qt::Key_Home:
            case Qt::Key_End:
                keyPressEvent(key);
                return true;
            default:
                break;
            }
        }
    }
    if (watched == pageBox_ && event->type() == QEvent::KeyPress && Zoomed()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Right) {
            ScrollBy(key == Qt::Key_Left ? -1 : 1, 0);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void cuiPreview::ChangeFontSize(int points) {
    printer_.SetFontPoints(points);
    if (settings_) settings_->printerFontSize = points;
    std::vector<std::string> addresses;
    for (const cuiPrintPage& page : pages_)
        if (std::find(addresses.begin(), addresses.end(), page.address) == addresses.end())
            addresses.push_back(page.address);
    pages_ = cuiLayOutSheets(printer_, addresses);
    GoTo(0);
}

void cuiPreview::AskSetting() {
    cmcGTex& text = *printer_.Services().catalogue;
    QDialog dialog(this, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog.setObjectName(QStringLiteral("previewSetting"));
    dialog.setWindowTitle(Line(text, "GI_AppInd_Preview_Setting_Caption", 0));
    auto* box = new QVBoxLayout(&dialog);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(Line(text, "GI_AppInd_Preview_Setting_Caption", 1), &dialog));
    auto* sizes = new QComboBox(&dialog);
    for (int n = 1; n <= FontChoices; ++n)
        sizes->addItem(QString::number(n));
    sizes->setCurrentIndex(
        std::clamp(printer_.FontPoints() - LowestFontPoints, 0, FontChoices - 1));
    row->addWidget(sizes);
    box->addLayout(row);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(Line(text, "GI_AppInd_Button_OkCancel", 0),
                                         QDialogButtonBox::AcceptRole);
    buttons->addButton(Line(text, "GI_AppInd_Button_OkCancel", 1), QDialogButtonBox::RejectRole);
    const int buttonWidth = fontMetrics().horizontalAdvance(
        QString::fromStdString(text.GetText("GI_AppInd_Opt_ComSel_SizeOfButtons")));
    for (QAbstractButton* button : buttons->buttons())
        button->setFixedSize(std::max(buttonWidth, 60), fontMetrics().height() * 2);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    box->addWidget(buttons);
    dialog.adjustSize();
    dialog.move(geometry().center() - dialog.rect().center());
    if (dialog.exec() != QDialog::Accepted) return;
    ChangeFontSize(sizes->currentIndex() + LowestFontPoints);
}
