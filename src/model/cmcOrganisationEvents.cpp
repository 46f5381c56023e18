#include "model/cmcOrganisationEvents.h"

#include "events/cmcEvMan.h"
#include "model/cmcOrganisation.h"
#include "model/datCh.h"

namespace {

void SendRows(cmcEvMan* events, int code, int count) {
    if (!events) return;
    for (int i = 0; i < count; ++i)
        events->Send(code);
}

} // namespace

bool HandleOrganisationEvent(cmcOrganisation& organisation, cmcEvMan* events, int code,
                             std::intptr_t a, int b) {
    const int first = static_cast<int>(a);
    switch (code) {
    case ev::InsertCategory:
        SendRows(events, ev::RowAdded, organisation.InsertCategory(b));
        return true;
    case ev::DeleteCategories:
        SendRows(events, ev::RowRemoved, organisation.DeleteCategories(first, b));
        return true;
    case ev::DeleteCategoriesQuiet:
        organisation.DeleteCategories(first, b);
        return true;
    case ev::InsertGroup:
        SendRows(events, ev::RowAdded, organisation.InsertGroup(first, b));
        return true;
    case ev::DeleteGroups:
        SendRows(events, ev::RowRemoved, organisation.DeleteGroups(first, b));
        return true;
    case ev::DeleteGroupsQuiet:
        organisation.DeleteGroups(first, b);
        return true;
    case ev::InsertChannel:
        SendRows(events, ev::RowAdded, organisation.InsertChannel(first, b));
        return true;
    case ev::DeleteChannel:
        SendRows(events, ev::RowRemoved, organisation.DeleteChannel(first, b));
        return true;
    case ev::InsertBank:
        SendRows(events, ev::RowAdded, organisation.InsertBank(b, first == 1));
        return true;
    case ev::DeleteBank:
        SendRows(events, ev::RowRemoved, organisation.DeleteBank(b));
        return true;
    case ev::DeleteBankQuiet:
        organisation.DeleteBank(b);
        return true;
    case ev::InsertBasicEntry:
        SendRows(events, ev::RowAdded, organisation.InsertBasicEntry(uint32_t(first), b));
        return true;
    case ev::DeleteBasicEntry:
        SendRows(events, ev::RowRemoved, organisation.DeleteBasicEntry(uint32_t(first), b));
        return true;
    default:
        return false;
    }
}
