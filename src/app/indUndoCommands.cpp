#include "app/indUndoCommands.h"

#include "app/indMain.h"
#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"

namespace {
const char* const ItemsKey = "GI_Menu_UndoRedo";  // "Undo %s", "Redo %s", "Undo", "Redo"
const char* const ActionsKey = "GI_Undo_Actions"; // line n names undoAction n
constexpr int RedoLine = 1;
constexpr int BareLine = 2; // the item without an action to name
} // namespace

void indUndoCommands::Reset() {
    history_.Reset(main_.WorkingImage());
}

void indUndoCommands::ActionStarting() {
    startPlace_ = CurrentPlace();
}

// The step's place is where the action left the cursor; an action that closed its sheet
// (an import, a Clone Read) keeps the place where it started.
void indUndoCommands::ActionDone(int action) {
    if (!history_.Differs(main_.WorkingImage())) return;
    clsUndoPlace place = CurrentPlace();
    if (place.address.empty()) place = std::move(startPlace_);
    history_.Record(main_.WorkingImage(), action, place);
    startPlace_ = {};
}

void indUndoCommands::Absorb() {
    history_.Absorb(main_.WorkingImage());
}

clsUndoPlace indUndoCommands::CurrentPlace() const {
    clsUndoPlace place;
    if (cuiMainWindow* window = main_.MainWindow(); window && window->SheetOpen()) {
        place.address = window->OpenSheetAddress();
        place.position = window->SheetPosition();
    }
    return place;
}

std::string indUndoCommands::ItemText(int line, int action) const {
    cmcGTex& text = main_.Catalogue();
    if (action == undoAction::None) return text.GetLine(ItemsKey, BareLine + line);
    std::string item = text.GetLine(ItemsKey, line);
    if (size_t at = item.find("%s"); at != std::string::npos)
        item.replace(at, 2, text.GetLine(ActionsKey, action));
    return item;
}

std::string indUndoCommands::UndoText() const {
    return ItemText(0, history_.UndoAction());
}

std::string indUndoCommands::RedoText() const {
    return ItemText(RedoLine, history_.RedoAction());
}

// What is being typed or chosen goes in first, as an action of its own, so that undo
// starts from everything the user did.
void indUndoCommands::EndPendingInput() {
    main_.Events().Send(ev::CommitInput);
    ActionDone(undoAction::Edit);
}

bool indUndoCommands::Undo() {
    EndPendingInput();
    const clsUndoPlace* place = history_.Undo(main_.WorkingImage());
    if (!place) return false;
    Restore(*place);
    return true;
}

bool indUndoCommands::Redo() {
    EndPendingInput();
    const clsUndoPlace* place = history_.Redo(main_.WorkingImage());
    if (!place) return false;
    Restore(*place);
    return true;
}

// The image holds the step's bytes: the counts and the tree follow it, the document is
// unmodified exactly when it is the saved image again, and the sheet where the action
// happened opens at its row (without one, the controller task opens the tree's choice).
void indUndoCommands::Restore(const clsUndoPlace& place) {
    main_.Organisation().RecountOrganisation();
    main_.RecheckModified();
    main_.CloseSheet();
    main_.Events().Send(ev::RebuildBranches);
    if (!place.address.empty()) main_.OpenSheetAt(place.address, place.position);
    main_.Events().Send(ev::MenuRefresh);
}
