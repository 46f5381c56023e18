#include "app/view/cuiAccessible.h"

#include <QAccessibleWidget>
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
