#include "app/view/TForm2.h"

#include "app/indMain.h"
#include "app/view/cuiAccessible.h"
#include "app/view/cuiPlacement.h"
#include "app/view/cuiPortDialog.h"
#include "catalogue/cmcGTex.h"
#include "events/cmcEvents.h"
#include "events/cmcEvMan.h"
#include "model/indDestination.h"
#include "settings/indEnviron.h"
#include "sheet/cmcLayout.h"
#include "sheet/view/cuiCellPainter.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString Line(cmcGTex& text, const char* key, int n = 0) {
    return QString::fromStdString(text.GetLine(key, n));
}

} // namespace

QPixmap cuiReceiverPicture(int width, int height) {
    QPixmap picture(width, height);
    picture.fill(QColor(0xE8, 0xEC, 0xF0));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = width, h = height;
    // The antenna and the dial on top, then the body with its display and keys.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x30, 0x30, 0x34));
    painter.drawRoundedRect(QRectF(w * 0.62, h * 0.04, w * 0.1, h * 0.3), 3, 3);
    const QRectF body(w * 0.2, h * 0.26, w * 0.6, h * 0.7);
    painter.setBrush(QColor(0x3C, 0x40, 0x48));
    painter.drawRoundedRect(body, w * 0.08, w * 0.08);
    painter.setBrush(QColor(0xB8, 0xD8, 0x9C));
    painter.drawRect(
        QRectF(body.left() + w * 0.07, body.top() + h * 0.05, body.width() - w * 0.14, h * 0.14));
    painter.setBrush(QColor(0x9A, 0xA0, 0xA8));
    painter.drawRoundedRect(QRectF(w * 0.3, h * 0.2, w * 0.14, h * 0.07), 2, 2);
    painter.setBrush(QColor(0xD0, 0xD4, 0xDA));
    const qreal key = body.width() / 5;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column)
            painter.drawRoundedRect(QRectF(body.left() + key * (0.7 + column * 1.3),
                                           body.top() + h * 0.24 + row * key * 1.05, key,
                                           key * 0.7),
                                    2, 2);
    return picture;
}

TForm2::TForm2(indMain& controller, QWidget* mainForm)
    : QWidget(mainForm, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                            Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      controller_(controller), ports_(cuiDetectedPorts()) {
    setObjectName(QStringLiteral("initialSetup"));
    cuiReadAsDialog(this);
    setAttribute(Qt::WA_DeleteOnClose);
    cmcGTex& text = controller_.Catalogue();
    cmcCellFont font;
    cmcLayout::ApplyFontDescription(font, text.GetText("CellModel_InitialDialog"));
    setFont(cuiFont(font));
    setWindowTitle(Line(text, "GI_App_InitialSetup_Form_Caption"));
    BuildControls();
    ChooseStoredPort();
    setFixedSize(sizeHint());
    cuiPlaceOver(*this, nullptr);
    controller_.Events().Subscribe(&TForm2::OnEvent, this);
    subscribed_ = true;
}

TForm2::~TForm2() {
    if (subscribed_) controller_.Events().Unsubscribe(&TForm2::OnEvent, this);
}

TForm2* TForm2::Show(indMain& controller, QWidget* mainForm) {
    auto* setup = new TForm2(controller, mainForm);
    setup->show();
    setup->raise();
    setup->activateWindow();
    setup->FocusPortChoice();
    return setup;
}

// The instructions and the port choice in a raised panel, OK and Cancel below it.
void TForm2::BuildControls() {
    cmcGTex& text = controller_.Catalogue();
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(PanelBevel);
    memo_ = new QPlainTextEdit(panel);
    memo_->setReadOnly(true);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo_->setPlainText(QString::fromStdString(text.GetLines("GI_App_InitialSetup_Memo_Caption")));
    memo_->setMinimumSize(MemoWidth, MemoHeight);
    auto* content = new QGridLayout(panel);
    content->setContentsMargins(Margin, Margin, Margin, Margin);
    content->setSpacing(Margin);
    content->addWidget(memo_, 0, 0, 2, 1);
    content->addWidget(BuildPicture(), 0, 1, Qt::AlignHCenter | Qt::AlignTop);
    content->addWidget(BuildPortChoice(), 1, 1, Qt::AlignTop);
    content->setRowStretch(1, 1);

    okButton_ = new QPushButton(Line(text, "GI_AppInd_Opt_ComSel_Buttons", 0), this);
    cancelButton_ = new QPushButton(Line(text, "GI_AppInd_Opt_ComSel_Buttons", 1), this);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, [this] { Confirm(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { Cancel(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(Margin, Margin, Margin, Margin);
    window->setSpacing(Margin);
    window->addWidget(panel);
    window->addLayout(buttons);
}

QFrame* TForm2::BuildPicture() {
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* picture = new QLabel(frame);
    picture->setPixmap(cuiReceiverPicture(PictureWidth, PictureHeight));
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(picture);
    return frame;
}

// A radio button for each of the first detected ports, then "More..." with its edit box;
// typing into the box chooses "More...".
QWidget* TForm2::BuildPortChoice() {
    auto* choice = new QWidget(this);
    auto* layout = new QVBoxLayout(choice);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(choice);
    for (size_t i = 0; i < ports_.size() && i < size_t(PortChoices); ++i) {
        auto* button = new QRadioButton(cuiPortCaption(ports_[i]), choice);
        button->setToolTip(QString::fromStdString(ports_[i].path));
        group->addButton(button);
        layout->addWidget(button);
        portButtons_.push_back(button);
    }
    moreButton_ = new QRadioButton(
        QString::fromStdString(controller_.Catalogue().GetText("GI_App_InitialSetup_More")),
        choice);
    group->addButton(moreButton_);
    layout->addWidget(moreButton_);
    pathEdit_ = new QLineEdit(choice);
    pathEdit_->setAccessibleName(moreButton_->text().remove(QLatin1Char('&')));
    pathEdit_->setAttribute(Qt::WA_InputMethodEnabled, false);
    pathEdit_->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("W")) * 14);
    layout->addWidget(pathEdit_);
    connect(pathEdit_, &QLineEdit::textChanged, this, [this] { moreButton_->setChecked(true); });
    return choice;
}

// The stored port: its radio button when it is one of those offered, else its path under
// "More..."; without a stored port the first one offered.
void TForm2::ChooseStoredPort() {
    pathEdit_->clear();
    const std::string& stored = controller_.Settings().comPort;
    for (size_t i = 0; i < portButtons_.size(); ++i) {
        if (ports_[i].path != stored) continue;
        portButtons_[i]->setChecked(true);
        return;
    }
    if (!stored.empty())
        pathEdit_->setText(QString::fromStdString(stored));
    else
        (portButtons_.empty() ? moreButton_ : portButtons_.front())->setChecked(true);
}

// The keyboard starts on the port chosen: its button, or the path of "More...".
void TForm2::FocusPortChoice() {
    for (QRadioButton* button : portButtons_)
        if (button->isChecked()) return button->setFocus(Qt::OtherFocusReason);
    pathEdit_->setFocus(Qt::OtherFocusReason);
}

std::string TForm2::ChosenPort() const {
    for (size_t i = 0; i < portButtons_.size(); ++i)
        if (portButtons_[i]->isChecked()) return ports_[i].path;
    return pathEdit_->text().trimmed().toStdString();
}

// The port is stored and the receiver asked; the window waits, disabled, for the answer.
void TForm2::Confirm() {
    const std::string port = ChosenPort();
    cmcGTex& text = controller_.Catalogue();
    if (port.empty()) {
        cmcMessage(text.GetLines("GI_AppInd_Opt_ComSel_Notice"), text.GetText("GI_Sys_AppTitle"),
                   MsgIcon::Error);
        pathEdit_->setFocus(Qt::OtherFocusReason);
        return;
    }
    controller_.Settings().comPort = port;
    controller_.Events().Send(ev::CloneInformation);
}

// Without a receiver the program knows no destination: the band limits of none apply for
// this run, the stored destination stays, and the setup comes again at the next start.
void TForm2::Cancel() {
    indDestination::Active().ApplyBandLimits(indDestination::None);
    close();
}

// The receiver answered: its destination becomes the installed one, with a new document.
void TForm2::Finish() {
    indEnviron& settings = controller_.Settings();
    if (settings.destination > indEnviron::NoDestination) {
        settings.setupDone = 0;
    } else {
        settings.setupDone = 1;
        controller_.Events().Send(ev::AdoptDestination);
    }
    finished_ = true;
    close();
}

void TForm2::closeEvent(QCloseEvent* event) {
    // While the receiver is asked the window stays.
    if (!isEnabled() && !finished_) {
        event->ignore();
        return;
    }
    controller_.Events().Unsubscribe(&TForm2::OnEvent, this);
    subscribed_ = false;
    controller_.Events().Send(ev::ShowMainWindow);
    controller_.Events().Send(ev::ToolbarRefresh);
    event->accept();
}

void TForm2::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        cancelButton_->click();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        okButton_->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TForm2::OnEvent(void* context, const cmcEvent& event) {
    static_cast<TForm2*>(context)->HandleEvent(event);
}

void TForm2::HandleEvent(const cmcEvent& event) {
    switch (event.code) {
    case ev::CloneStarting:
        setEnabled(false);
        break;
    case ev::ClonePhaseDone:
        // Only a failure gives the window back, to correct the port or cancel.
        if (event.a == 0) setEnabled(true);
        break;
    case ev::FinishSetup:
        Finish();
        break;
    default:
        break;
    }
}
