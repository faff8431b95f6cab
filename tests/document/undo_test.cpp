// The undo list: captions, the records the grid operations make, undoing a
// step, the limit of 2000 records, the integrity check, and the records of
// objects that leave the grid without one.
#include "document/undo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/grid.h"
#include "document/project.h"
#include "document/signs.h"
#include "support/test_cells.h"

namespace {

std::unique_ptr<TSegnoGrafico> Line(TGridData* grid, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return MakeSign(grid, SignLine, x1, y1, x2, y2);
}

class UndoTest : public ::testing::Test {
protected:
    void SetUp() override { alive = TCellaProva::Alive; }
    void TearDown() override { EXPECT_EQ(TCellaProva::Alive, alive) << "cells leaked or lost"; }
    int alive = 0;
};

TEST_F(UndoTest, MenuCaptionOfTheTopRecord) {
    struct Case {
        int32_t code;
        const char* caption;
    };
    // clang-format off
    const Case cases[] = {
        {1, "&Annulla cancellazione"},   {2, "&Annulla inserimento"},
        {3, "&Annulla taglia"},          {4, "&Annulla elimina"},
        {5, "&Annulla incolla"},         {6, "&Annulla ridimensionamento"},
        {7, "&Annulla modifica testo"},  {8, "&Annulla spostamento"},
        {9, "&Annulla modifica proprietà"}, {0, ""},
        {10, ""},
    };
    // clang-format on
    TGridData grid(nullptr, 10, 10, GridCustom);
    EXPECT_EQ(grid.UndoList->GetMenuCaption(), "&Annulla");
    for (const Case& c : cases) {
        grid.UndoList->PushMarker(0, c.code);
        EXPECT_EQ(grid.UndoList->GetMenuCaption(), c.caption) << c.code;
    }
    grid.UndoList->Clear();
    EXPECT_EQ(grid.UndoList->GetMenuCaption(), "&Annulla");
    grid.UndoList->Undo();  // nothing to undo: nothing happens
    EXPECT_EQ(grid.UndoList->Count(), 0);
}

TEST_F(UndoTest, AWideCellOverTwoCellsIsOneStep) {
    TGridData grid(nullptr, 20, 20, GridCustom);
    auto aOwned = std::make_unique<TCellaProva>(nullptr, 5, 5);
    auto* a = aOwned.get();
    auto bOwned = std::make_unique<TCellaProva>(nullptr, 7, 5);
    auto* b = bOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(aOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(bOwned), false, 0));
    auto wideOwned = std::make_unique<TCellaProva>(nullptr, 5, 5, 1, 3, 0);
    auto* wide = wideOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(wideOwned), true, CaptionInsertion));

    ASSERT_EQ(grid.UndoList->Count(), 3);
    const auto top = grid.UndoList->Record(0);
    EXPECT_EQ(top.Object, wide);
    EXPECT_EQ(top.Operation, UndoInserted);
    EXPECT_EQ(top.GroupCount, 2);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(grid.UndoList->Record(i).Operation, UndoRemoved);
        EXPECT_EQ(grid.UndoList->Record(i).Caption, CaptionRemoval);
    }
    EXPECT_EQ(grid.UndoList->GetMenuCaption(), "&Annulla inserimento");

    grid.UndoList->Undo();
    EXPECT_EQ(grid.UndoList->Count(), 0);
    EXPECT_EQ(grid.CellAt(5, 5), a);
    EXPECT_EQ(grid.CellAt(6, 5), nullptr);
    EXPECT_EQ(grid.CellAt(7, 5), b);
    EXPECT_EQ(a->Owner, &grid);
}

TEST_F(UndoTest, RemovedObjectsComeBackWithTheirMasks) {
    TGridData grid(nullptr, 20, 20, GridCustom);
    auto cellOwned = std::make_unique<TCellaProva>(nullptr, 3, 3);
    auto* cell = cellOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(cellOwned), false, 0));
    auto signOwned = Line(&grid, 0, 10, 100, 10);
    TSegnoGrafico* sign = signOwned.get();
    ASSERT_TRUE(grid.AddSign(std::move(signOwned), false, 0));
    ASSERT_TRUE(grid.RemoveCell(cell, true, CaptionDelete));
    ASSERT_TRUE(grid.RemoveSign(sign, true, CaptionDelete));
    EXPECT_EQ(TCellaProva::Alive, alive + 1) << "the undo list keeps the removed cell";
    EXPECT_EQ(grid.CellAt(3, 3), nullptr);
    EXPECT_EQ(grid.Signs->Count(), 0);
    // A sign the list keeps is not the grid's to remove again.
    EXPECT_FALSE(grid.RemoveSign(sign, false, 0));

    auto clearFlags = [&] {
        grid.NetworkOutOfDate = grid.ChannelsOutOfDate = false;
        grid.RequiredOutOfDate = grid.RequiredChannelsOutOfDate = false;
    };
    clearFlags();
    grid.UndoList->Undo();  // the sign: mask 1 leaves the calculations alone
    EXPECT_EQ(grid.Signs->head, sign);
    EXPECT_FALSE(grid.SignsAt(1, 0).empty());
    EXPECT_FALSE(grid.NetworkOutOfDate);
    EXPECT_FALSE(grid.ChannelsOutOfDate);

    grid.UndoList->Undo();  // the cell: mask 15
    EXPECT_EQ(grid.CellAt(3, 3), cell);
    EXPECT_TRUE(grid.NetworkOutOfDate);
    EXPECT_TRUE(grid.ChannelsOutOfDate);
    EXPECT_EQ(grid.UndoList->Count(), 0);
}

TEST_F(UndoTest, UndoingAnInsertionDeletesTheObject) {
    TGridData grid(nullptr, 20, 20, GridCustom);
    SignWindow window;
    grid.Window = &window;
    auto cellOwned = std::make_unique<TCellaProva>(nullptr, 3, 3);
    auto* cell = cellOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(cellOwned), true, CaptionInsertion));
    auto signOwned = Line(&grid, 0, 10, 100, 10);
    TSegnoGrafico* sign = signOwned.get();
    ASSERT_TRUE(grid.AddSign(std::move(signOwned), true, CaptionInsertion));
    EXPECT_EQ(grid.UndoList->Record(0).Kind, 1);
    grid.UndoList->Undo();
    EXPECT_EQ(grid.Signs->Count(), 0);
    EXPECT_EQ(window.Left, std::vector<TSegnoGrafico*>{sign});
    grid.UndoList->Undo();
    EXPECT_EQ(grid.CellAt(3, 3), nullptr);
    EXPECT_EQ(TCellaProva::Alive, alive);
    grid.Window = nullptr;
}

TEST_F(UndoTest, TheOldestWholeStepMakesRoomAtTheLimit) {
    TGridData grid(nullptr, 10, 10, GridCustom);
    TAnnulla& undo = *grid.UndoList;
    // Oldest step: a marker counting four records below... pushed bottom first.
    for (int i = 0; i < 4; ++i) undo.PushMarker(0, CaptionRemoval, UndoMarker);
    undo.PushMarker(4, CaptionPaste);
    while (undo.Count() < UndoMaxRecords) undo.PushMarker(0, CaptionDelete);
    ASSERT_EQ(undo.Count(), 2000);
    undo.PushMarker(0, CaptionCut);
    EXPECT_EQ(undo.Count(), 1996);
    EXPECT_EQ(undo.GetMenuCaption(), "&Annulla taglia");

    // A list that is one step only is emptied to make room.
    undo.Clear();
    for (int i = 0; i < UndoMaxRecords - 1; ++i) undo.PushMarker(0, CaptionRemoval, UndoMarker);
    undo.PushMarker(UndoMaxRecords - 1, CaptionPaste);
    undo.PushMarker(0, CaptionCut);
    EXPECT_EQ(undo.Count(), 1);
}

TEST_F(UndoTest, AGroupCountPastTheBottomClearsTheList) {
    TGridData grid(nullptr, 10, 10, GridCustom);
    TAnnulla& undo = *grid.UndoList;
    for (int i = 0; i < 3; ++i) undo.PushMarker(0, CaptionDelete);
    undo.SetGroupSize(2);
    EXPECT_EQ(undo.Count(), 3);
    undo.SetGroupSize(5);
    EXPECT_EQ(undo.Count(), 0);
    undo.SetGroupSize(5);  // nothing on an empty list
    EXPECT_EQ(undo.Count(), 0);
    // Nested groups count through: a marker of 2 over a record whose group is 1.
    undo.PushMarker(0, CaptionRemoval);
    undo.PushMarker(0, CaptionRemoval);
    undo.PushMarker(1, CaptionInsertion);
    undo.PushMarker(2, CaptionPaste);
    EXPECT_EQ(undo.Count(), 4);
    undo.Undo();
    EXPECT_EQ(undo.Count(), 0);
}

TEST_F(UndoTest, DeleteRectIsOneStepOfCellsAndSigns) {
    TProgetto project(nullptr);
    project.Reset(true);
    TGridData& grid = *project.NetworkGrid;
    auto aOwned = std::make_unique<TCellaProva>(nullptr, 36, 2);
    auto* a = aOwned.get();
    auto bOwned = std::make_unique<TCellaProva>(nullptr, 37, 3, 1, 2, 0);
    auto* b = bOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(aOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(bOwned), false, 0));
    auto downOwned = std::make_unique<TCellaProva>(nullptr, 35, 3, 1, 1, 0, true, 0);
    auto* down = downOwned.get();
    auto acrossOwned = std::make_unique<TCellaProva>(nullptr, 35, 3, 1, 1, 0, true, 1);
    auto* across = acrossOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(downOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(acrossOwned), false, 0));
    auto signOwned = Line(&grid, 1500, 50, 1600, 200);
    TSegnoGrafico* sign = signOwned.get();
    ASSERT_TRUE(grid.AddSign(std::move(signOwned), false, 0));

    grid.DeleteRect(TCellRect{0, 34, 4, 38}, true, CaptionCut);
    EXPECT_EQ(grid.CellAt(36, 0), grid.Anchor);
    ASSERT_NE(grid.Anchor, nullptr);
    EXPECT_EQ(grid.CellAt(36, 2), nullptr);
    EXPECT_EQ(grid.Signs->Count(), 0);
    EXPECT_EQ(grid.CellAt(35, 3), nullptr);
    EXPECT_EQ(grid.UndoList->Count(), 6);
    EXPECT_EQ(grid.UndoList->Record(0).GroupCount, 5);
    EXPECT_EQ(grid.UndoList->GetMenuCaption(), "&Annulla taglia");

    grid.UndoList->Undo();
    EXPECT_EQ(grid.CellAt(36, 2), a);
    EXPECT_EQ(grid.CellAt(37, 3), b);
    EXPECT_EQ(grid.CellAt(38, 3), b);
    EXPECT_EQ(grid.CellAt(35, 3), across) << "the crossing comes back as it was";
    EXPECT_EQ(across->Overlay, down);
    EXPECT_EQ(grid.Signs->head, sign);
    EXPECT_EQ(grid.UndoList->Count(), 0);
}

TEST_F(UndoTest, ClearAndAMovingResizeEmptyTheList) {
    TProgetto project(nullptr);
    project.Reset(true);
    TGridData& grid = *project.NetworkGrid;
    SignWindow window;
    grid.Window = &window;
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 40, 5), true, CaptionInsertion));
    auto removedOwned = std::make_unique<TCellaProva>(nullptr, 41, 5);
    auto* removed = removedOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(removedOwned), false, 0));
    ASSERT_TRUE(grid.RemoveCell(removed, true, CaptionDelete));
    auto signOwned = Line(&grid, 1600, 300, 1700, 300);
    TSegnoGrafico* sign = signOwned.get();
    ASSERT_TRUE(grid.AddSign(std::move(signOwned), true, CaptionInsertion));
    ASSERT_EQ(grid.UndoList->Count(), 3);

    ASSERT_TRUE(grid.Resize(75, 80));  // the anchor stays in row 0 and column 36: nothing moves
    EXPECT_EQ(grid.UndoList->Count(), 3);
    ASSERT_TRUE(grid.Resize(51, 80));
    EXPECT_EQ(grid.UndoList->Count(), 0);
    EXPECT_EQ(sign->X1, 1600 - 504);
    EXPECT_FALSE(grid.SignsAt(1096 / 42, 300 / 42).empty());

    ASSERT_TRUE(grid.RemoveCell(grid.CellAt(28, 5), true, CaptionDelete));
    grid.Clear();
    EXPECT_EQ(grid.UndoList->Count(), 0);
    EXPECT_EQ(grid.Signs->Count(), 0);
    EXPECT_EQ(window.Left, std::vector<TSegnoGrafico*>{sign});
    for (int32_t c = 0; c < grid.Columns; ++c)
        for (int32_t r = 0; r < grid.Rows; ++r) ASSERT_TRUE(grid.SignsAt(c, r).empty());
    grid.Window = nullptr;
}

// An object that leaves the grid without a record must never be reached by
// an older record (the sanitizer build sees the deleted object otherwise).
TEST_F(UndoTest, RecordsOfObjectsGoneWithoutARecordDoNothing) {
    TGridData grid(nullptr, 20, 20, GridCustom);
    auto cellOwned = std::make_unique<TCellaProva>(nullptr, 3, 3);
    auto* cell = cellOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(cellOwned), true, CaptionInsertion));
    auto signOwned = Line(&grid, 0, 10, 100, 10);
    TSegnoGrafico* sign = signOwned.get();
    ASSERT_TRUE(grid.AddSign(std::move(signOwned), true, CaptionInsertion));
    ASSERT_TRUE(grid.RemoveCell(cell, false, 0));
    ASSERT_TRUE(grid.RemoveSign(sign, false, 0));
    auto otherOwned = std::make_unique<TCellaProva>(nullptr, 3, 3);
    auto* other = otherOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(otherOwned), false, 0));
    EXPECT_EQ(grid.UndoList->Record(0).Operation, UndoMarker);
    EXPECT_EQ(grid.UndoList->Record(1).Operation, UndoMarker);
    grid.UndoList->Undo();
    grid.UndoList->Undo();
    EXPECT_EQ(grid.CellAt(3, 3), other);

    // A cell handed out is the caller's: the list forgets it too.
    auto movedOwned = std::make_unique<TCellaProva>(nullptr, 8, 8);
    auto* moved = movedOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(movedOwned), true, CaptionInsertion));
    std::unique_ptr<TCella> taken = grid.TakeOutCell(moved);
    ASSERT_EQ(taken.get(), moved);
    EXPECT_EQ(taken->Owner, nullptr);
    EXPECT_EQ(grid.CellAt(8, 8), nullptr);
    grid.UndoList->Undo();
    EXPECT_EQ(TCellaProva::Alive, alive + 2);
    EXPECT_EQ(grid.TakeOutCell(moved), nullptr) << "no longer the grid's";
}

}  // namespace

namespace {

// A step counts what its scope pushed, as steps: an insertion that displaced
// two cells is one, a nested step is one, and nothing pushed before the
// step or after its end is counted.
TEST_F(UndoTest, AStepCountsTheStepsItsScopePushed) {
    TGridData grid(nullptr, 20, 20, GridCustom);
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 5, 5), true, CaptionInsertion));
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 7, 5), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 9, 5), false, 0));
    {
        TUndoStep outer(grid.UndoList.get(), TUndoStep::TEnd::Marker, CaptionPaste);
        // Over the two cells: two removals and the insertion that heads them.
        ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 7, 5, 1, 3, 0), true, CaptionInsertion));
        EXPECT_EQ(outer.Count(), 1);
        {
            const TUndoStep inner(grid.UndoList.get(), TUndoStep::TEnd::UnderTop);
            grid.AddSign(Line(&grid, 0, 0, 30, 30), true, CaptionInsertion);
            grid.AddSign(Line(&grid, 0, 40, 30, 40), true, CaptionResize);
            EXPECT_EQ(inner.Count(), 2);
        }
        EXPECT_EQ(outer.Count(), 2);
        outer.End();
        outer.End();  // once only
    }
    // Under the marker: the insertion's three records and the two signs,
    // the second heading the first; below them the first insertion.
    ASSERT_EQ(grid.UndoList->Count(), 7);
    EXPECT_EQ(grid.UndoList->Record(0).Operation, UndoGroup);
    EXPECT_EQ(grid.UndoList->Record(0).Caption, CaptionPaste);
    EXPECT_EQ(grid.UndoList->Record(0).GroupCount, 2);
    EXPECT_EQ(grid.UndoList->Record(1).Caption, CaptionResize);
    EXPECT_EQ(grid.UndoList->Record(1).GroupCount, 1);
    EXPECT_EQ(grid.UndoList->Record(3).GroupCount, 2);
    grid.UndoList->Undo();
    ASSERT_EQ(grid.UndoList->Count(), 1);
    EXPECT_EQ(grid.Signs->Count(), 0);
    EXPECT_NE(grid.CellAt(9, 5), nullptr);
}

TEST_F(UndoTest, AStepEndsAsItsKindSays) {
    struct Case {
        TUndoStep::TEnd end;
        int signs;
        int records;       // on the list after the step
        int32_t topGroup;  // the top record's group count
        uint8_t topOperation;
    };
    // clang-format off
    const Case cases[] = {
        {TUndoStep::TEnd::Marker,      0, 1, 0, UndoGroup},
        {TUndoStep::TEnd::Marker,      2, 3, 2, UndoGroup},
        {TUndoStep::TEnd::MarkerIfAny, 0, 0, 0, 0},
        {TUndoStep::TEnd::MarkerIfAny, 1, 2, 1, UndoGroup},
        {TUndoStep::TEnd::UnderTop,    1, 1, 0, UndoInserted},
        {TUndoStep::TEnd::UnderTop,    3, 3, 2, UndoInserted},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.end)) + " with " + std::to_string(c.signs));
        TGridData grid(nullptr, 20, 20, GridCustom);
        {
            const TUndoStep step(grid.UndoList.get(), c.end, CaptionMove);
            for (int k = 0; k < c.signs; ++k) grid.AddSign(Line(&grid, 0, 10 * k, 30, 10 * k), true, CaptionInsertion);
        }
        ASSERT_EQ(grid.UndoList->Count(), c.records);
        if (c.records == 0) continue;
        EXPECT_EQ(grid.UndoList->Record(0).GroupCount, c.topGroup);
        EXPECT_EQ(grid.UndoList->Record(0).Operation, c.topOperation);
        grid.UndoList->Undo();  // one step takes them all
        EXPECT_EQ(grid.UndoList->Count(), 0);
        EXPECT_EQ(grid.Signs->Count(), 0);
    }
    // Without a list nothing is recorded and nothing happens.
    const TUndoStep none(nullptr, TUndoStep::TEnd::Marker, CaptionMove);
    EXPECT_EQ(none.Count(), 0);
}

}  // namespace
