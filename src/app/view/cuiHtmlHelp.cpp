#include "app/view/cuiHtmlHelp.h"

#include "app/cuiMainWindow.h"
#include "app/indHelp.h"
#include "app/view/cuiAccessible.h"
#include "app/view/cuiPlacement.h"
#include "catalogue/cmcGTex.h"

#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr QSize ContentsSize(760, 560);

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

bool PageExists(const std::string& path) {
    return QFileInfo(Text(path)).isFile();
}

QTextBrowser* BrowserOf(const QWidget* window) {
    return window ? window->findChild<QTextBrowser*>() : nullptr;
}

QTextBrowser* MakeBrowser(QWidget* window) {
    auto* browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("helpBrowser"));
    browser->setOpenExternalLinks(true); // web addresses go to the desktop's browser
    // The window's title is the page's own.
    QObject::connect(browser, &QTextBrowser::sourceChanged, window,
                     [window, browser] { window->setWindowTitle(browser->documentTitle()); });
    return browser;
}

void Open(QTextBrowser* browser, const std::string& path) {
    browser->setSource(QUrl::fromLocalFile(Text(path)));
    browser->window()->setWindowTitle(browser->documentTitle());
}

} // namespace

cuiHtmlHelp::cuiHtmlHelp(cmcGTex& text, QWidget* owner) : text_(text), owner_(owner) {}

cuiHtmlHelp::~cuiHtmlHelp() {
    delete contents_;
    delete topic_;
}

QTextBrowser* cuiHtmlHelp::ContentsBrowser() const {
    return BrowserOf(contents_);
}

QTextBrowser* cuiHtmlHelp::TopicBrowser() const {
    return BrowserOf(topic_);
}

// Back, Forward and Contents over the page.
QWidget* cuiHtmlHelp::MakeContentsWindow() {
    auto* window = new QWidget(owner_, Qt::Window);
    cuiReadAsDialog(window);
    window->setObjectName(QStringLiteral("helpContents"));
    QTextBrowser* browser = MakeBrowser(window);
    auto* buttons = new QHBoxLayout;
    const struct {
        QStyle::StandardPixmap icon;
        void (QTextBrowser::*act)();
        void (QTextBrowser::*enabler)(bool);
    } kinds[] = {
        {QStyle::SP_ArrowBack, &QTextBrowser::backward, &QTextBrowser::backwardAvailable},
        {QStyle::SP_ArrowForward, &QTextBrowser::forward, &QTextBrowser::forwardAvailable},
        {QStyle::SP_DirHomeIcon, &QTextBrowser::home, nullptr},
    };
    for (int i = 0; i < 3; ++i) {
        auto* button = new QToolButton(window);
        button->setObjectName(QStringLiteral("helpButton%1").arg(i));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setIcon(window->style()->standardIcon(kinds[i].icon));
        button->setText(Text(text_.GetLine("GI_Sys_HtmlHelp_Buttons", i)));
        QObject::connect(button, &QToolButton::clicked, browser, kinds[i].act);
        if (kinds[i].enabler) {
            button->setEnabled(false);
            QObject::connect(browser, kinds[i].enabler, button, &QWidget::setEnabled);
        }
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(window);
    layout->addLayout(buttons);
    layout->addWidget(browser, 1);
    // Escape and Ctrl+W close it, as they close the topic window.
    for (const QKeySequence& key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* close = new QShortcut(key, window);
        QObject::connect(close, &QShortcut::activated, window, &QWidget::close);
    }
    window->resize(ContentsSize);
    cuiPlaceOver(*window, owner_);
    return window;
}

// A small tool window with the page alone; Escape and Ctrl+W close it.
QWidget* cuiHtmlHelp::MakeTopicWindow() {
    auto* window = new QWidget(owner_, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    cuiReadAsDialog(window);
    window->setObjectName(QStringLiteral("helpTopic"));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(MakeBrowser(window));
    for (const QKeySequence& key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* close = new QShortcut(key, window);
        QObject::connect(close, &QShortcut::activated, window, &QWidget::close);
    }
    window->resize(Text(text_.GetText("GI_Sys_HtmlHelp_Popup_Width")).toInt(),
                   Text(text_.GetText("GI_Sys_HtmlHelp_Popup_Height")).toInt());
    return window;
}

int cuiHtmlHelp::ShowContents(const std::string& path) {
    if (!PageExists(path)) return cuiMainWindow::HelpFileMissing;
    if (!contents_) contents_ = MakeContentsWindow();
    QTextBrowser* browser = ContentsBrowser();
    browser->clearHistory();
    Open(browser, path);
    contents_->show();
    contents_->raise();
    contents_->activateWindow();
    return cuiMainWindow::HelpShown;
}

int cuiHtmlHelp::ShowTopic(const std::string& path, int context) {
    if (!PageExists(path)) return cuiMainWindow::HelpFileMissing;
    const std::string page = HelpTopicPage(path, context);
    if (context <= 0 || !PageExists(page)) return cuiMainWindow::HelpNoTopic;
    if (!topic_) topic_ = MakeTopicWindow();
    QTextBrowser* browser = TopicBrowser();
    browser->clearHistory();
    Open(browser, page);
    // The window keeps the size the user gave it and opens again near the pointer.
    const QPoint pointer = QCursor::pos();
    const QScreen* screen = QGuiApplication::screenAt(pointer);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), topic_->size());
    topic_->move(cuiPlaceNearPointer(pointer, topic_->frameGeometry().size(), work));
    topic_->show();
    topic_->raise();
    topic_->activateWindow();
    return cuiMainWindow::HelpShown;
}
