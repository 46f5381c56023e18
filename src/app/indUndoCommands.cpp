#include "app/indUndoCommands.h"

#include "app/indMain.h"
#include "catalogue/cmcGTex.h"
#include "events/cmcEvMan.h"
#include "events/cmcEvents.h"

#include <charconv>
#include <string_view>
#include <utility>

namespace {
const char* const ItemsKey = "GI_Menu_UndoRedo";  // "Undo %s", "Redo %s", "Undo", "Redo"
const char* const ActionsKey = "GI_Undo_Actions"; // line n names undoAction n
constexpr int RedoLine = 1;
constexpr int BareLine = 2; // the item without an action to name

// The sheets of one record of a list the tree numbers, by the word of their binding, and
// the list ('C' categories, 'G' groups, 'B' banks).
constexpr std::pair<std::string_view, char> NumberedSheets[] = {
    {"Category", 'C'}, {"Group", 'G'}, {"Basic", 'B'}, {"BasicCH", 'B'}, {"BasicPG", 'B'}};

// The address with the record's place in its list in place of the tree's number. The tree
// keeps a record's number while records before it are deleted, but numbers its records by
// place again when an undo or redo rebuilds it: the place finds the same record then.
std::string PlacedAddress(const std::string& address, const cuiMainWindow& window) {
    const size_t comma = address.find(',');
    const size_t blank = address.rfind(' ');
    if (comma == std::string::npos || blank == std::string::npos || blank < comma) return address;
    const std::string_view word = std::string_view(address).substr(comma + 1, blank - comma - 1);
    const std::string_view digits = std::string_view(address).substr(blank + 1);
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size()) return address;
    for (const auto& [name, list] : NumberedSheets)
        if (word == name)
            return address.substr(0, blank + 1) + std::to_string(window.PositionOf(list, number));
    return address;
}
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
        place.address = PlacedAddress(window->OpenSheetAddress(), *window);
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
