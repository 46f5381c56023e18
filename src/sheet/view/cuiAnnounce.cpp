#include "sheet/view/cuiAnnounce.h"

namespace {

QAccessible::UpdateHandler witness = nullptr;

} // namespace

void cuiAnnounce(QAccessibleEvent& event) {
    if (witness) witness(&event);
    QAccessible::updateAccessibility(&event);
}

bool cuiAnnounceListened() {
    return witness || QAccessible::isActive();
}

void cuiSetAnnounceWitness(QAccessible::UpdateHandler handler) {
    witness = handler;
}
