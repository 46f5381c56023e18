#include "app/view/cuiCloneProgress.h"

#include "app/view/cuiAccessible.h"
#include "app/view/cuiPlacement.h"
#include "sheet/view/cuiAnnounce.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace {

// The cells read as a progress bar: named by the step (or the window's title), its value
// the share done.
class clsProgressAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit clsProgressAccessible(cuiCloneProgressBox* box)
        : QAccessibleWidget(box, QAccessible::ProgressBar) {}

    // The last of the 33 steps fills the last cell: the whole range has gone through.
    static int Percent(int filled) {
        return std::clamp(filled, 0, indCloneProgressView::Cells + 1) * 100 /
               (indCloneProgressView::Cells + 1);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return QString::number(Percent(Box()->Filled())) + "%";
        if (t == QAccessible::Name) return Box()->accessibleName();
        return QAccessibleWidget::text(t);
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QVariant currentValue() const override { return Percent(Box()->Filled()); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

  private:
    cuiCloneProgressBox* Box() const { return static_cast<cuiCloneProgressBox*>(widget()); }
};

QAccessibleInterface* ProgressFactory(const QString&, QObject* object) {
    if (auto* box = dynamic_cast<cuiCloneProgressBox*>(object))
        return new clsProgressAccessible(box);
    return nullptr;
}

} // namespace

cuiCloneProgressBox::cuiCloneProgressBox(QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(ProgressFactory);
        return true;
    }();
    (void)installed;
    setFixedSize(indCloneProgressView::Cells * CellWidth, BoxHeight);
}

void cuiCloneProgressBox::SetFilled(int filled) {
    if (filled == filled_) return;
    const bool moved =
        clsProgressAccessible::Percent(filled) != clsProgressAccessible::Percent(filled_);
    filled_ = filled;
    update();
    if (!moved || !cuiAnnounceListened()) return;
    QAccessibleValueChangeEvent event(this, clsProgressAccessible::Percent(filled));
    cuiAnnounce(event);
}

void cuiCloneProgressBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor window = palette().color(QPalette::Base);
    const QColor highlight = palette().color(QPalette::Highlight);
    const int w = width() / indCloneProgressView::Cells;
    painter.fillRect(rect(), window);
    for (int i = 0; i < indCloneProgressView::Cells; ++i) {
        // Each cell leaves its last pixel column empty, a gap before the next.
        if (i < filled_ && w > 1) painter.fillRect(w * i, 0, w - 1, height(), highlight);
    }
}

cuiCloneProgress::cuiCloneProgress(QWidget* mainWindow, const QString& step)
    : QWidget(mainWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      mainWindow_(mainWindow) {
    cuiReadAsDialog(this);
    setWindowTitle("Cloning");
    setAttribute(Qt::WA_DeleteOnClose, false);
    panel_ = new QFrame(this);
    panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel_->setLineWidth(1);
    box_ = new cuiCloneProgressBox(panel_);
    box_->setAccessibleName(step.isEmpty() ? windowTitle() : step);
    box_->move(1, 1);
    panel_->setFixedSize(box_->width() + 2, box_->height() + 2);
    int width = panel_->width();
    int top = 8;
    if (!step.isEmpty()) {
        step_ = new QLabel(step, this);
        step_->adjustSize();
        step_->move(16, top);
        top += step_->height() + 8;
        width = std::max(width, step_->width());
    }
    panel_->move(16 + (width - panel_->width()) / 2, top);
    setFixedSize(width + 32, top + panel_->height() + 24);
    PlaceOver(mainWindow);
    show();
    if (cuiAnnounceListened()) { // the step the window stands for is read out as it opens
        QAccessibleEvent named(box_, QAccessible::NameChanged);
        cuiAnnounce(named);
    }
    // Disabling the main window disables its child windows too; this one stays drawn as
    // enabled, so its step and cells do not look greyed out.
    if (mainWindow_) mainWindow_->setEnabled(false);
    setEnabled(true);
}

cuiCloneProgress::~cuiCloneProgress() {
    hide();
    if (mainWindow_) mainWindow_->setEnabled(true);
}

void cuiCloneProgress::ShowProgress(int filled) {
    box_->SetFilled(filled);
    box_->repaint();
}

void cuiCloneProgress::PlaceOver(QWidget* mainWindow) {
    cuiPlaceOver(*this, mainWindow);
}

void cuiCloneProgress::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void cuiCloneProgress::keyPressEvent(QKeyEvent* event) {
    event->accept();
}

indCloneProgressFactory cuiCloneProgress::Factory(QWidget* mainWindow,
                                                  std::shared_ptr<QString> nextStep) {
    return [mainWindow, nextStep]() -> std::unique_ptr<indCloneProgressView> {
        const QString step = nextStep ? std::exchange(*nextStep, QString()) : QString();
        return std::make_unique<cuiCloneProgress>(mainWindow, step);
    };
}
