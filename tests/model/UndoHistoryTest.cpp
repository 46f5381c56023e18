#include "model/cmcUndoHistory.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> Bytes(const cmcEeprom& image) {
    return {image.Data(), image.Data() + image.GetSize()};
}

// An image of ImageSize bytes with a pattern that leaves no long runs of equal bytes.
void Pattern(cmcEeprom& image, int seed) {
    image.SetSize(ImageSize);
    for (int a = 0; a < ImageSize; ++a)
        image.Data()[a] = uint8_t(a * 7 + seed * 13 + (a >> 8));
}

clsUndoPlace Place(int row) {
    return {"[St_CNBank]GI_Sheet_MemoryCH,Group 0", {4, row, 0, 0}};
}

TEST(UndoHistoryTest, StepsOfEveryShapeUndoAndRedoByteForByte) {
    // Each change: first address, length, value; the first and last bytes, runs split by
    // a few equal bytes, and the whole image.
    struct Change {
        int address, length, value;
    } changes[] = {{0, 1, 0xFF},     {ImageSize - 1, 1, 0x01},  {100, 3, 0x11},      {103, 0, 0},
                   {1000, 40, 0x22}, {MarkerAddress, 16, 0x00}, {0, ImageSize, 0xA5}};
    cmcEeprom image;
    Pattern(image, 1);
    cmcUndoHistory history;
    history.Reset(image);
    std::vector<std::vector<uint8_t>> states{Bytes(image)};
    int action = 0;
    for (const Change& c : changes) {
        for (int i = 0; i < c.length; ++i)
            image.Data()[c.address + i] = uint8_t(c.value);
        // A byte just past the stretch as well: a run broken by two equal bytes.
        if (c.length > 2 && c.address + c.length + 2 < ImageSize)
            image.Data()[c.address + c.length + 2] ^= 0x40;
        const bool changed = c.length > 0;
        EXPECT_EQ(history.Record(image, action, Place(action)), changed) << action;
        if (changed) states.push_back(Bytes(image));
        ++action;
    }
    ASSERT_EQ(history.StepCount(), states.size() - 1);

    for (size_t n = states.size() - 1; n > 0; --n) {
        const clsUndoPlace* place = history.Undo(image);
        ASSERT_NE(place, nullptr);
        EXPECT_EQ(Bytes(image), states[n - 1]) << "undo to state " << n - 1;
    }
    EXPECT_EQ(history.Undo(image), nullptr);
    EXPECT_FALSE(history.CanUndo());
    for (size_t n = 1; n < states.size(); ++n) {
        ASSERT_NE(history.Redo(image), nullptr);
        EXPECT_EQ(Bytes(image), states[n]) << "redo to state " << n;
    }
    EXPECT_EQ(history.Redo(image), nullptr);
}

TEST(UndoHistoryTest, StepsKeepTheirNamesAndPlacesAndANewStepDropsTheRedoSide) {
    cmcEeprom image;
    image.SetSize(ImageSize);
    cmcUndoHistory history;
    history.Reset(image);
    EXPECT_EQ(history.UndoAction(), undoAction::None);
    image.SetByte(10, 1);
    history.Record(image, undoAction::Paste, Place(7));
    image.SetByte(20, 1);
    history.Record(image, undoAction::Delete, Place(9));
    EXPECT_EQ(history.UndoAction(), undoAction::Delete);

    const clsUndoPlace* place = history.Undo(image);
    ASSERT_NE(place, nullptr);
    EXPECT_EQ(place->position[1], 9);
    EXPECT_EQ(history.UndoAction(), undoAction::Paste);
    EXPECT_EQ(history.RedoAction(), undoAction::Delete);

    image.SetByte(30, 1);
    history.Record(image, undoAction::Insert, Place(3));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.UndoAction(), undoAction::Insert);
    history.Undo(image);
    history.Undo(image);
    EXPECT_EQ(image.GetByte(10), 0);
    EXPECT_EQ(image.GetByte(20), 0) << "the dropped step stays dropped";
    EXPECT_EQ(image.GetByte(30), 0);
}

TEST(UndoHistoryTest, TheOldestStepsGoBeyondTheLimit) {
    cmcEeprom image;
    image.SetSize(ImageSize);
    cmcUndoHistory history;
    history.Reset(image);
    const int steps = int(cmcUndoHistory::StepLimit) + 5;
    for (int n = 1; n <= steps; ++n) {
        image.SetByte(n, 1);
        history.Record(image, undoAction::Edit, {});
    }
    EXPECT_EQ(history.StepCount(), cmcUndoHistory::StepLimit);
    while (history.Undo(image)) {
    }
    for (int n = 1; n <= steps; ++n)
        EXPECT_EQ(image.GetByte(n), n <= 5 ? 1 : 0) << n;
}

TEST(UndoHistoryTest, AbsorbedCorrectionsJoinTheLastStep) {
    cmcEeprom image;
    image.SetSize(ImageSize);
    cmcUndoHistory history;
    history.Reset(image);
    image.SetByte(5, 1);
    history.Absorb(image); // no step yet: the start moves
    EXPECT_FALSE(history.CanUndo());

    image.SetByte(10, 2);
    history.Record(image, undoAction::Edit, {});
    image.SetByte(10, 3); // the correction overwrites the step's own byte
    image.SetByte(11, 4);
    history.Absorb(image);
    EXPECT_EQ(history.StepCount(), 1u);
    history.Undo(image);
    EXPECT_EQ(image.GetByte(5), 1);
    EXPECT_EQ(image.GetByte(10), 0);
    EXPECT_EQ(image.GetByte(11), 0);
    history.Redo(image);
    EXPECT_EQ(image.GetByte(10), 3);
    EXPECT_EQ(image.GetByte(11), 4);

    // What was undone cannot be redone over a corrected image.
    history.Undo(image);
    image.SetByte(12, 1);
    history.Absorb(image);
    EXPECT_FALSE(history.CanRedo());
}

TEST(UndoHistoryTest, AStepHoldsOnlyWhatChanged) {
    cmcEeprom image;
    image.SetSize(ImageSize);
    cmcUndoHistory history;
    history.Reset(image);
    const size_t start = history.MemoryBytes();
    for (int n = 0; n < 100; ++n) {
        image.SetByte(n * 1000, 1); // a byte here and there: a few bytes per step
        history.Record(image, undoAction::Edit, {});
    }
    EXPECT_LT(history.MemoryBytes() - start, 100 * 128u);
}

} // namespace
