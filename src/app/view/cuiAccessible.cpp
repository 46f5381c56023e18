#include "app/view/cuiAccessible.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace {

constexpr char DialogProperty[] = "pelhamDialog";
// The focus frame's distance from the button's edge, and the room added on each side of
// the label for it.
constexpr int FocusInset = 3;
constexpr int FocusRoom = 4;

QAccessibleInterface* DialogFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || !widget->isWindow() || !widget->property(DialogProperty).toBool())
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Dialog);
}

} // namespace

void cuiReadAsDialog(QWidget* window) {
    static const bool installed = [] {
        QAccessible::installFactory(DialogFactory);
        return true;
    }();
    (void)installed;
    window->setProperty(DialogProperty, true);
}

void cuiFocusStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element != CE_PushButton || !(option->state & State_HasFocus)) return;
    painter->save();
    painter->setPen(QPen(option->palette.color(QPalette::ButtonText), 1, Qt::DotLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(
        option->rect.adjusted(FocusInset, FocusInset, -FocusInset - 1, -FocusInset - 1));
    painter->restore();
}

QSize cuiFocusStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                      const QSize& size, const QWidget* widget) const {
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_PushButton) result.rwidth() += 2 * FocusRoom;
    return result;
}
