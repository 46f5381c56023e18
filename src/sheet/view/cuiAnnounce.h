#pragma once

// Events of the program's own accessible widgets (the grids, the clone progress): sent to
// assistive technology, and to a witness when one is set, so that checks on a platform
// without assistive technology hear them too.

#include <QAccessible>

void cuiAnnounce(QAccessibleEvent& event);
// Whether anything listens: assistive technology or a witness.
bool cuiAnnounceListened();
// Every event announced goes to the handler too; null: none.
void cuiSetAnnounceWitness(QAccessible::UpdateHandler handler);
