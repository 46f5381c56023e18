#pragma once

// Undo and redo of the document: the history of the working image, cut into steps where
// user actions end, and the restoring of a step (counts, tree branches, modified state and
// the sheet where it happened).

#include "model/cmcUndoHistory.h"

#include <string>

class indMain;

class indUndoCommands {
  public:
    explicit indUndoCommands(indMain& main) : main_(main) {}

    // The document was replaced (start, New, Open, a new destination): no steps.
    void Reset();
    // A user action starts: where it starts is its place should its sheet close.
    void ActionStarting();
    // A user action ended: what it changed becomes one step named by the undoAction.
    void ActionDone(int action);
    // The document corrected its own image (before a save or a write): no step of its own.
    void Absorb();

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    // The menu items' texts, "&Undo Paste" or "&Undo" when there is nothing to undo.
    std::string UndoText() const;
    std::string RedoText() const;

    // Take the last action back or do it again; false when there is none.
    bool Undo();
    bool Redo();

    const cmcUndoHistory& History() const { return history_; }

  private:
    clsUndoPlace CurrentPlace() const;
    void EndPendingInput();
    void Restore(const clsUndoPlace& place);
    std::string ItemText(int line, int action) const;

    indMain& main_;
    cmcUndoHistory history_;
    clsUndoPlace startPlace_; // where the running action started
};
