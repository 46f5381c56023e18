#include "app/view/cuiAccessible.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace {

constexpr char DialogProperty[] = "pelhamDialog";

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
    painter->drawRect(option->rect.adjusted(4, 4, -5, -5));
    painter->restore();
}
