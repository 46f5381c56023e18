#pragma once

// Runs the organisation edits that other parts raise as events 9 to 21 on the document's
// working image, and tells the channel-list sheets to add (68) or remove (69) rows. The
// document controller subscribes to the event manager and forwards every event here.

#include "events/cmcEvents.h"

#include <cstdint>

class cmcEvMan;
class cmcOrganisation;

// Runs event code with its arguments a and b on the organisation and sends 68/69 through
// the event manager (nothing is sent when it is null), once per record actually inserted
// or removed. Returns false for a code outside 9..21.
bool HandleOrganisationEvent(cmcOrganisation& organisation, cmcEvMan* events, int code,
                             std::intptr_t a, int b);
