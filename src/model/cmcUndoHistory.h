#pragma once

// The undo history of the document: one step per user action that changed the working
// image, whatever it changed. A step keeps only the bytes that differ, as the exclusive-or
// of the image before and after the action, so the same record undoes and redoes it and a
// step that changed a few cells costs a few bytes.

#include "model/cmcEeprom.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The user actions a step is named after: line n of "GI_Undo_Actions".
namespace undoAction {
constexpr int Edit = 0;   // a cell's value typed or keyed in
constexpr int Choice = 1; // a pick-list choice
constexpr int Paste = 2;  // the edit commands of the list sheets
constexpr int Delete = 3;
constexpr int Insert = 4;
constexpr int Clear = 5;
constexpr int MoveUp = 6;
constexpr int MoveDown = 7;
constexpr int Import = 8; // CSV import
constexpr int Preset = 9; // preset basic-search import
constexpr int CloneRead = 10;
constexpr int Sort = 11;
constexpr int SetMany = 12; // one value given to the selected rows of a column
constexpr int FillSeries = 13;
constexpr int None = -1;
} // namespace undoAction

// Where an action happened: the sheet on show and its cursor, so that undoing the action
// shows it again.
struct clsUndoPlace {
    std::string address;                         // the sheet's address, "" for none
    std::array<int, 4> position{-1, -1, -1, -1}; // column, row, left column, top row
};

class cmcUndoHistory {
  public:
    // Steps kept; the oldest goes when another would exceed them.
    static constexpr size_t StepLimit = 200;

    // A new document: no steps; the image is where the next step starts from.
    void Reset(const cmcEeprom& image);
    // Whether the image changed since the last step (or Reset).
    bool Differs(const cmcEeprom& image) const;
    // The end of a user action: what changed since the last step becomes one step, and the
    // steps that could be redone are dropped. False when nothing changed.
    bool Record(const cmcEeprom& image, int action, const clsUndoPlace& place);
    // A change that is no action of its own (the corrections made when the document is
    // saved) joins the last step, so undoing that step still gives the image before it.
    void Absorb(const cmcEeprom& image);

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    // The action the next undo or redo takes back or repeats, undoAction::None for none.
    int UndoAction() const { return CanUndo() ? steps_[done_ - 1].action : undoAction::None; }
    int RedoAction() const { return CanRedo() ? steps_[done_].action : undoAction::None; }

    // Takes the last step back (repeats the next one) on the image, which must be as the
    // history left it. The step's place, or none when there is nothing to undo (redo).
    const clsUndoPlace* Undo(cmcEeprom& image);
    const clsUndoPlace* Redo(cmcEeprom& image);

    size_t StepCount() const { return steps_.size(); }
    // Bytes held: the image the next step starts from and every step.
    size_t MemoryBytes() const;

  private:
    struct clsStep {
        std::vector<uint8_t> delta; // runs of (skip, length, exclusive-or bytes)
        int action = undoAction::None;
        clsUndoPlace place;
    };

    const clsUndoPlace& Apply(const clsStep& step, cmcEeprom& image);

    std::vector<uint8_t> base_; // the image as the last step left it
    std::deque<clsStep> steps_;
    size_t done_ = 0; // steps [0, done_) can be undone, [done_, size) redone
};
