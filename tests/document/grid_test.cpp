// The grid model: insertion with its refusals, replacements and crossings,
// removal, resizing, the used and minimum areas, the modified masks and the
// walks over the chain.
#include "document/grid.h"

#include <gtest/gtest.h>

#include <memory>

#include "cells/head_end.h"
#include "document/project.h"
#include "support/test_cells.h"

namespace {

class GridTest : public ::testing::Test {
protected:
    void SetUp() override { alive = TCellaProva::Alive; }
    void TearDown() override { EXPECT_EQ(TCellaProva::Alive, alive) << "cells leaked or lost"; }
    int alive = 0;
};

TEST_F(GridTest, NewGridIsEmptyAndOutOfDate) {
    TGridData grid(nullptr, 75, 75, GridNetwork);
    EXPECT_EQ(grid.Columns, 75);
    EXPECT_EQ(grid.Rows, 75);
    EXPECT_EQ(grid.Anchor, nullptr);
    EXPECT_EQ(grid.FirstOutlet, nullptr);
    EXPECT_EQ(grid.SavedLeft, -1);
    EXPECT_EQ(grid.SavedTop, -1);
    EXPECT_TRUE(grid.NetworkOutOfDate);
    EXPECT_TRUE(grid.RequiredChannelsOutOfDate);
    EXPECT_FALSE(grid.HasComponents());
    EXPECT_EQ(grid.GetUsedArea(), (TCellRect{74, 74, 0, 0}));
    EXPECT_EQ(grid.GetFullArea(), (TCellRect{0, 0, 74, 74}));
}

TEST_F(GridTest, CellAtAnswersNoneOutsideTheGrid) {
    TGridData grid(nullptr, 10, 8, GridCustom);
    auto cellOwned = std::make_unique<TCellaProva>(nullptr, 9, 7);
    auto* cell = cellOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(cellOwned), false, 0));
    EXPECT_EQ(grid.CellAt(9, 7), cell);
    for (auto [c, r] : {std::pair{-1, 0}, {10, 0}, {0, -1}, {0, 8}, {10, 8}})
        EXPECT_EQ(grid.CellAt(c, r), nullptr) << c << "," << r;
}

TEST_F(GridTest, InsertionRefusesCellsOutsideTheUsableArea) {
    struct Case {
        int32_t kind, column, row, through;
        bool accepted;
    };
    // clang-format off
    const Case cases[] = {
        {GridNetwork, 5, 0, 1, false},   // row 0 belongs to the network's anchor
        {GridNetwork, 5, 1, 1, true},
        {GridNetwork, 5, 9, 1, true},
        {GridHeadEnd, 5, 9, 1, false},   // the last row belongs to the head-end's anchor
        {GridHeadEnd, 5, 0, 1, true},
        {GridCustom, 5, 0, 1, true},
        {GridCustom, 5, 9, 1, true},
        {GridCustom, 8, 3, 3, false},    // three squares from column 8 leave a 10-column grid
        {GridCustom, 7, 3, 3, true},
        {GridCustom, -1, 3, 1, false},
        {GridCustom, 3, 10, 1, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        TGridData grid(nullptr, 10, 10, c.kind);
        const int before = TCellaProva::Alive;
        auto cellOwned = std::make_unique<TCellaProva>(nullptr, c.column, c.row, 1, c.through, 0);
        auto* cell = cellOwned.get();
        EXPECT_EQ(grid.InsertCell(std::move(cellOwned), false, 0), c.accepted)
            << c.kind << " at " << c.column << "," << c.row;
        if (c.accepted) {
            EXPECT_EQ(grid.CellAt(c.column, c.row), cell);
            EXPECT_EQ(cell->Owner, &grid);
        } else {
            EXPECT_EQ(TCellaProva::Alive, before) << "a refused cell is deleted";
        }
    }
    TGridData grid(nullptr, 10, 10, GridCustom);
    EXPECT_FALSE(grid.InsertCell(nullptr, false, 0));
}

TEST_F(GridTest, AnchorIsExemptFromTheRowRulesButNotFromTheGrid) {
    TGridData net(nullptr, 20, 20, GridNetwork);
    EXPECT_TRUE(net.InsertCell(std::make_unique<TTesta>(nullptr, 0, 0, 9, 0, 1), false, 0));
    // A second anchor in one grid is refused, wherever it would stand.
    EXPECT_FALSE(net.InsertCell(std::make_unique<TTesta>(nullptr, 0, 0, 2, 5, 1), false, 0));
    EXPECT_EQ(net.CellAt(2, 5), nullptr);

    TGridData head(nullptr, 20, 20, GridHeadEnd);
    EXPECT_TRUE(head.InsertCell(std::make_unique<TTesta>(nullptr, 0, 0, 9, 19, 1), false, 0));
    TGridData narrow(nullptr, 5, 5, GridNetwork);
    EXPECT_FALSE(narrow.InsertCell(std::make_unique<TTesta>(nullptr, 0, 0, 3, 0, 2), false, 0));
    EXPECT_FALSE(narrow.HasComponents());
}

TEST_F(GridTest, InsertionReplacesWhatStandsOnTheSquares) {
    TGridData grid(nullptr, 20, 20, GridCustom);
    auto aOwned = std::make_unique<TCellaProva>(nullptr, 5, 5);
    auto* a = aOwned.get();
    auto bOwned = std::make_unique<TCellaProva>(nullptr, 7, 5);
    auto* b = bOwned.get();
    auto untouchedOwned = std::make_unique<TCellaProva>(nullptr, 8, 5);
    auto* untouched = untouchedOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(aOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(bOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(untouchedOwned), false, 0));
    const int before = TCellaProva::Alive;
    auto wideOwned = std::make_unique<TCellaProva>(nullptr, 5, 5, 1, 3, 0);
    auto* wide = wideOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(wideOwned), false, 0));
    EXPECT_EQ(TCellaProva::Alive, before + 1 - 2);  // both covered cells were deleted
    for (int32_t c = 5; c <= 7; ++c) EXPECT_EQ(grid.CellAt(c, 5), wide);
    EXPECT_EQ(grid.CellAt(8, 5), untouched);
    // A cell put over part of a wide one takes the whole wide one off.
    auto smallOwned = std::make_unique<TCellaProva>(nullptr, 6, 5);
    auto* small = smallOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(smallOwned), false, 0));
    EXPECT_EQ(grid.CellAt(5, 5), nullptr);
    EXPECT_EQ(grid.CellAt(6, 5), small);
    EXPECT_EQ(grid.CellAt(7, 5), nullptr);
}

// The designer checks its drawings by what insertion lost: refused cells and
// displaced ones other than anchors and cable pieces.
TEST_F(GridTest, InsertionCountsRefusedAndDisplacedCells) {
    struct Case {
        int32_t standing;  // type code of the cell covered
        int32_t displaced;
    };
    const Case cases[] = {{1, 1}, {6, 1}, {81, 0}, {52, 0}, {53, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.standing);
        TGridData grid(nullptr, 10, 10, GridNetwork);
        auto thereOwned = std::make_unique<TCellaProva>(nullptr, 4, 4);
        auto* there = thereOwned.get();
        there->TypeCode = c.standing;
        ASSERT_TRUE(grid.InsertCell(std::move(thereOwned), false, 0));
        ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 4, 4), false, 0));
        EXPECT_EQ(grid.DisplacedCells, c.displaced);
        EXPECT_EQ(grid.RefusedInsertions, 0);
        // Row 0 of a network grid is the terminal's; off the grid is nowhere.
        EXPECT_FALSE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 4, 0), false, 0));
        EXPECT_FALSE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 10, 4), false, 0));
        EXPECT_EQ(grid.RefusedInsertions, 2);
        EXPECT_EQ(grid.DisplacedCells, c.displaced);
    }
}

TEST_F(GridTest, InsertionClearsTheErrorMarksAndRepaints) {
    RecordingGridWindow window;  // outlives the grid, which tells it as it goes
    TGridData grid(nullptr, 20, 20, GridCustom);
    grid.Window = &window;
    grid.SetErrorMark(4, 4, 1);
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 4, 4), false, 0));
    EXPECT_EQ(grid.ErrorMark(4, 4), 0);
    const std::vector<TCellRect> expected = {{4, 4, 4, 4}, {3, 4, 3, 4}, {5, 4, 5, 4}};
    EXPECT_EQ(window.Repainted, expected);
}

// Straight cable pieces: 1 horizontal, 0 vertical.
TEST_F(GridTest, CrossingCablesStackAndReplaceAsTheyShould) {
    struct Step {
        int32_t orientation;
        // What the square shows afterwards: its cell's and its overlay's orientation (-1 none).
        int32_t top, overlay;
        int removedSoFar;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    // clang-format off
    const Case cases[] = {
        {"vertical then horizontal cross", {{0, 0, -1, 0}, {1, 1, 0, 0}}},
        {"horizontal then vertical cross", {{1, 1, -1, 0}, {0, 1, 0, 0}}},
        {"a second horizontal replaces the first", {{0, 0, -1, 0}, {1, 1, 0, 0}, {1, 1, 0, 1}}},
        {"a second vertical replaces the first", {{0, 0, -1, 0}, {1, 1, 0, 0}, {0, 1, 0, 1}}},
        {"two verticals", {{0, 0, -1, 0}, {0, 0, -1, 1}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        TGridData grid(nullptr, 10, 10, GridCustom);
        const int start = TCellaProva::Alive;
        int inserted = 0;
        for (const Step& s : c.steps) {
            ASSERT_TRUE(grid.InsertCell(
                std::make_unique<TCellaProva>(nullptr, 3, 3, 1, 1, 0, true, s.orientation), false, 0));
            ++inserted;
            TCella* top = grid.CellAt(3, 3);
            ASSERT_NE(top, nullptr) << c.name;
            EXPECT_EQ(top->Orientation, s.top) << c.name;
            EXPECT_EQ(top->Overlay ? top->Overlay->Orientation : -1, s.overlay) << c.name;
            EXPECT_EQ(TCellaProva::Alive - start, inserted - s.removedSoFar) << c.name;
        }
    }
}

TEST_F(GridTest, AnOrdinaryCellReplacesBothCrossingCables) {
    TGridData grid(nullptr, 10, 10, GridCustom);
    const int start = TCellaProva::Alive;
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 3, 3, 1, 1, 0, true, 0), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 3, 3, 1, 1, 0, true, 1), false, 0));
    auto tapOwned = std::make_unique<TCellaProva>(nullptr, 3, 3);
    auto* tap = tapOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(tapOwned), false, 0));
    EXPECT_EQ(grid.CellAt(3, 3), tap);
    EXPECT_EQ(tap->Overlay, nullptr);
    EXPECT_EQ(TCellaProva::Alive - start, 1);
}

TEST_F(GridTest, RemovingTheTopCableBringsTheCrossingOneBack) {
    TGridData grid(nullptr, 10, 10, GridCustom);
    auto verticalOwned = std::make_unique<TCellaProva>(nullptr, 3, 3, 1, 1, 0, true, 0);
    auto* vertical = verticalOwned.get();
    auto horizontalOwned = std::make_unique<TCellaProva>(nullptr, 3, 3, 1, 1, 0, true, 1);
    auto* horizontal = horizontalOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(verticalOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(horizontalOwned), false, 0));
    ASSERT_TRUE(grid.RemoveCell(horizontal, false, 0));
    EXPECT_EQ(grid.CellAt(3, 3), vertical);
    EXPECT_EQ(vertical->Overlay, nullptr);

    auto againOwned = std::make_unique<TCellaProva>(nullptr, 3, 3, 1, 1, 0, true, 1);
    auto* again = againOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(againOwned), false, 0));
    ASSERT_TRUE(grid.RemoveCell(vertical, false, 0));  // the overlay goes, the top stays
    EXPECT_EQ(grid.CellAt(3, 3), again);
    EXPECT_EQ(again->Overlay, nullptr);
    EXPECT_EQ(grid.CellAtLayer(3, 3, 0, 1), again);
}

TEST_F(GridTest, CellAtLayerPicksTheOverlayForTheSecondLayer) {
    TGridData grid(nullptr, 10, 10, GridCustom);
    auto horizontalOwned = std::make_unique<TCellaProva>(nullptr, 3, 3, 1, 1, 0, true, 1);
    auto* horizontal = horizontalOwned.get();
    auto verticalOwned = std::make_unique<TCellaProva>(nullptr, 3, 3, 1, 1, 0, true, 0);
    auto* vertical = verticalOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(horizontalOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(verticalOwned), false, 0));
    EXPECT_EQ(grid.CellAtLayer(3, 3, 10, 20), vertical);
    EXPECT_EQ(grid.CellAtLayer(3, 3, 20, 10), horizontal);
    EXPECT_EQ(grid.CellAtLayer(3, 3, 10, 10), horizontal);
}

TEST_F(GridTest, RemovalRefusesCellsOfOtherGrids) {
    TGridData one(nullptr, 10, 10, GridCustom), two(nullptr, 10, 10, GridCustom);
    auto cellOwned = std::make_unique<TCellaProva>(nullptr, 2, 2);
    auto* cell = cellOwned.get();
    ASSERT_TRUE(one.InsertCell(std::move(cellOwned), false, 0));
    EXPECT_FALSE(two.RemoveCell(cell, false, 0));
    EXPECT_FALSE(two.RemoveCell(nullptr, false, 0));
    EXPECT_EQ(one.CellAt(2, 2), cell);
    EXPECT_TRUE(one.RemoveCell(cell, false, 0));
    EXPECT_EQ(one.CellAt(2, 2), nullptr);
}

TEST_F(GridTest, ARemovedCellLeavesNoLinkOrChainEntryBehind) {
    TGridData grid(nullptr, 10, 10, GridCustom);
    auto anchorOwned = std::make_unique<TTesta>(nullptr, 0, 0, 2, 0, 1);
    auto* anchor = anchorOwned.get();
    auto middleOwned = std::make_unique<TCellaProva>(nullptr, 3, 1);
    auto* middle = middleOwned.get();
    auto outletOwned = std::make_unique<TCellaProva>(nullptr, 3, 2);
    auto* outlet = outletOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(anchorOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(middleOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(outletOwned), false, 0));
    for (TCella* c :
         {static_cast<TCella*>(anchor), static_cast<TCella*>(middle), static_cast<TCella*>(outlet)})
        c->AllocLinks();
    grid.Anchor = anchor;
    anchor->NextCell = middle;
    middle->NextCell = outlet;
    grid.FirstOutlet = middle;
    middle->NextOutlet = outlet;
    anchor->OutputCell[0] = middle;
    anchor->OutputPort[0] = 0;
    middle->InputCell[0] = anchor;
    middle->InputPort[0] = 0;
    middle->OutputCell[0] = outlet;
    middle->OutputPort[0] = 0;
    outlet->InputCell[0] = middle;
    outlet->InputPort[0] = 0;

    ASSERT_TRUE(grid.RemoveCell(middle, false, 0));
    EXPECT_EQ(anchor->NextCell, outlet);
    EXPECT_EQ(grid.FirstOutlet, outlet);
    EXPECT_EQ(anchor->OutputCell[0], nullptr);
    EXPECT_EQ(anchor->OutputPort[0], -1);
    EXPECT_EQ(outlet->InputCell[0], nullptr);
    EXPECT_EQ(outlet->InputPort[0], -1);
}

// The grid's chain and a candidate list link their cells each through a
// field of its own: mending the one leaves the other as it was.
TEST_F(GridTest, TheGridChainAndACandidateListDoNotShareALink) {
    TGridData grid(nullptr, 10, 10, GridCustom);
    auto put = [&](std::unique_ptr<TCella> cell) {
        TCella* placed = cell.get();
        EXPECT_TRUE(grid.InsertCell(std::move(cell), false, 0));
        return placed;
    };
    TCella* anchor = put(std::make_unique<TTesta>(nullptr, 0, 0, 2, 0, 1));
    TCella* a = put(std::make_unique<TCellaProva>(nullptr, 3, 1));
    TCella* b = put(std::make_unique<TCellaProva>(nullptr, 3, 2));
    TCella* c = put(std::make_unique<TCellaProva>(nullptr, 3, 3));
    grid.Anchor = anchor;
    anchor->NextCell = a;
    a->NextCell = b;
    b->NextCell = c;
    c->NextInList = b;  // the list runs the other way
    b->NextInList = a;

    std::unique_ptr<TCella> taken = grid.TakeOutCell(b);
    ASSERT_EQ(taken.get(), b);
    EXPECT_EQ(a->NextCell, c);
    EXPECT_EQ(b->NextCell, nullptr);
    EXPECT_EQ(c->NextInList, b);
    EXPECT_EQ(b->NextInList, a);
    EXPECT_EQ(a->NextInList, nullptr);
}

TEST_F(GridTest, DeleteRectKeepsTheAnchor) {
    TProgetto project(nullptr);
    project.Reset(true);
    TGridData& grid = *project.NetworkGrid;
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 36, 1), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 40, 3, 1, 2, 0), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 50, 3), false, 0));
    project.Modified = false;
    grid.DeleteRect(TCellRect{0, 30, 4, 41}, true, 2);
    EXPECT_EQ(grid.CellAt(36, 0), grid.Anchor);
    EXPECT_NE(grid.Anchor, nullptr);
    EXPECT_EQ(grid.CellAt(36, 1), nullptr);
    EXPECT_EQ(grid.CellAt(41, 3), nullptr);  // a cell partly in the rectangle goes whole
    EXPECT_NE(grid.CellAt(50, 3), nullptr);
    EXPECT_TRUE(project.Modified);
    EXPECT_TRUE(grid.HasComponents());
}

TEST_F(GridTest, ClearDeletesEveryCellAndOverlay) {
    TGridData grid(nullptr, 10, 10, GridCustom);
    const int start = TCellaProva::Alive;
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 1, 1, 1, 3, 0), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 5, 5, 1, 1, 0, true, 1), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 5, 5, 1, 1, 0, true, 0), false, 0));
    grid.Anchor = grid.CellAt(1, 1);
    grid.NetworkOutOfDate = false;
    grid.Clear();
    EXPECT_EQ(TCellaProva::Alive, start);
    EXPECT_EQ(grid.Anchor, nullptr);
    EXPECT_FALSE(grid.HasComponents());
    EXPECT_TRUE(grid.NetworkOutOfDate);
}

// ---- Size ----

TEST_F(GridTest, ResizeMovesTheAnchorToTheMiddleAndEveryCellWithIt) {
    TProgetto project(nullptr);
    project.Reset(true);
    TGridData& grid = *project.NetworkGrid;
    auto cellOwned = std::make_unique<TCellaProva>(nullptr, 30, 10);
    auto* cell = cellOwned.get();
    auto horizontalOwned = std::make_unique<TCellaProva>(nullptr, 40, 20, 1, 1, 0, true, 1);
    auto* horizontal = horizontalOwned.get();
    auto verticalOwned = std::make_unique<TCellaProva>(nullptr, 40, 20, 1, 1, 0, true, 0);
    auto* vertical = verticalOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(cellOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(horizontalOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(verticalOwned), false, 0));
    grid.SetErrorMark(30, 10, 1);
    grid.SavedLeft = 20;
    grid.SavedTop = 5;

    ASSERT_TRUE(grid.Resize(51, 75));
    EXPECT_EQ(grid.Columns, 51);
    EXPECT_EQ(grid.Anchor->Column, 24);
    EXPECT_EQ(grid.CellAt(24, 0), grid.Anchor);
    EXPECT_EQ(grid.CellAt(26, 0), grid.Anchor);
    EXPECT_EQ(cell->Column, 18);
    EXPECT_EQ(grid.CellAt(18, 10), cell);
    EXPECT_EQ(grid.ErrorMark(18, 10), 1);
    EXPECT_EQ(grid.CellAt(28, 20), horizontal);
    EXPECT_EQ(horizontal->Overlay, vertical);
    EXPECT_EQ(vertical->Column, 28);
    EXPECT_EQ(vertical->Row, 20);
    EXPECT_EQ(grid.SavedLeft, 8);
    EXPECT_EQ(grid.SavedTop, 5);
}

TEST_F(GridTest, ResizeKeepsTheHeadEndAnchorInTheLastRow) {
    TProgetto project(nullptr);
    project.Reset(true);
    TGridData& grid = *project.HeadEndGrid;
    auto cellOwned = std::make_unique<TCellaProva>(nullptr, 36, 60);
    auto* cell = cellOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(cellOwned), false, 0));
    ASSERT_TRUE(grid.Resize(101, 90));
    EXPECT_EQ(grid.Anchor->Row, 89);
    EXPECT_EQ(grid.Anchor->Column, 49);
    EXPECT_EQ(cell->Row, 75);
    EXPECT_EQ(cell->Column, 49);
    EXPECT_EQ(grid.CellAt(49, 75), cell);
}

TEST_F(GridTest, ResizeThatWouldLoseACellIsRefused) {
    TProgetto project(nullptr);
    project.Reset(true);
    TGridData& grid = *project.NetworkGrid;
    auto farOwned = std::make_unique<TCellaProva>(nullptr, 2, 5);
    auto* far = farOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(farOwned), false, 0));
    EXPECT_FALSE(grid.Resize(51, 75));  // column 2 would move to -10
    EXPECT_EQ(grid.Columns, 75);
    EXPECT_EQ(grid.CellAt(2, 5), far);
    EXPECT_EQ(grid.Anchor->Column, 36);
}

TEST_F(GridTest, MinimumSizeKeepsTheDrawingAroundTheAnchor) {
    TProgetto project(nullptr);
    project.Reset(true);
    TGridData& grid = *project.NetworkGrid;
    int32_t columns = 0, rows = 0;
    grid.GetMinimumSize(columns, rows);
    EXPECT_EQ(columns, 50);
    EXPECT_EQ(rows, 50);
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 5, 60), false, 0));
    grid.GetMinimumSize(columns, rows);
    EXPECT_EQ(columns, 2 * (36 - 5) + 2);
    EXPECT_EQ(rows, 61);
    ASSERT_TRUE(grid.Resize(columns, rows));
    EXPECT_EQ(grid.Anchor->Column, columns / 2 - 1);

    TGridData loose(nullptr, 75, 75, GridCustom);
    loose.GetMinimumSize(columns, rows);
    EXPECT_EQ(columns, 50);
    EXPECT_EQ(rows, 50);
}

TEST_F(GridTest, UsedAreaSpansEveryOccupiedSquare) {
    TGridData grid(nullptr, 30, 30, GridCustom);
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 4, 9, 1, 3, 0), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 10, 2), false, 0));
    EXPECT_EQ(grid.GetUsedArea(), (TCellRect{2, 4, 9, 10}));
}

// ---- Modified marks ----

TEST_F(GridTest, SetModifiedMarksTheFlagsOfEachMask) {
    struct Case {
        int32_t mask;
        bool network, required, channels, requiredChannels, estimate;
    };
    // clang-format off
    const Case cases[] = {
        {1, false, false, false, false, false},
        {2, false, false, false, false, true},
        {4, true, true, false, false, false},
        {8, false, false, true, true, false},
        {15, true, true, true, true, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        TProgetto project(nullptr);
        TGridData& grid = *project.HeadEndGrid;
        project.MarkLoaded();
        grid.NetworkOutOfDate = grid.RequiredOutOfDate = false;
        grid.ChannelsOutOfDate = grid.RequiredChannelsOutOfDate = false;
        grid.SetModified(c.mask);
        EXPECT_TRUE(project.Modified) << c.mask;
        EXPECT_TRUE(project.DesignPending) << c.mask;
        EXPECT_EQ(project.EstimateOutOfDate, c.estimate) << c.mask;
        EXPECT_EQ(grid.NetworkOutOfDate, c.network) << c.mask;
        EXPECT_EQ(grid.RequiredOutOfDate, c.required) << c.mask;
        EXPECT_EQ(grid.ChannelsOutOfDate, c.channels) << c.mask;
        EXPECT_EQ(grid.RequiredChannelsOutOfDate, c.requiredChannels) << c.mask;
    }
    TGridData loose(nullptr, 5, 5, GridCustom);
    loose.ChannelsOutOfDate = false;
    loose.SetModified(ModChannels);  // no project to tell
    EXPECT_TRUE(loose.ChannelsOutOfDate);
}

// ---- Walks over the chain ----

class GridChainTest : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        auto anchorOwned = std::make_unique<TTesta>(nullptr, 0, 0, 0, 0, 1);
        anchor = anchorOwned.get();
        ASSERT_TRUE(grid.InsertCell(std::move(anchorOwned), false, 0));
        grid.Anchor = anchor;
        TCella* last = anchor;
        for (int i = 0; i < 3; ++i) {
            auto cell = std::make_unique<TCellaProva>(nullptr, i, 2 + i);
            cells[i] = cell.get();
            ASSERT_TRUE(grid.InsertCell(std::move(cell), false, 0));
            last->NextCell = cells[i];
            last = cells[i];
        }
    }
    void TearDown() override {
        grid.Clear();
        GridTest::TearDown();
    }
    TGridData grid{nullptr, 10, 10, GridCustom};
    TTesta* anchor = nullptr;
    TCellaProva* cells[3] = {};
};

TEST_F(GridChainTest, NumberCellsCountsFromOneAfterTheAnchor) {
    TContatoriCategoria counters{};
    counters.fill(40);
    grid.NumberCells(counters, true);
    EXPECT_EQ(anchor->SequenceNumber, 0);
    EXPECT_EQ(cells[0]->SequenceNumber, 1);
    EXPECT_EQ(cells[2]->SequenceNumber, 3);
    EXPECT_EQ(counters[3], 4);
    EXPECT_EQ(counters[0], 1);
    grid.NumberCells(counters, false);  // numbering carries on
    EXPECT_EQ(cells[0]->SequenceNumber, 4);
}

TEST_F(GridChainTest, AllCellsDescribedStrictAndLenient) {
    EXPECT_FALSE(grid.AllCellsDescribed(false));
    for (auto* c : cells) c->Described = 1;
    EXPECT_TRUE(grid.AllCellsDescribed(true));
    cells[1]->Described = 0;
    cells[1]->noDescription = true;
    EXPECT_TRUE(grid.AllCellsDescribed(false));
    EXPECT_FALSE(grid.AllCellsDescribed(true));
    // A cable segment that needs no data passes even the strict form.
    cells[1]->TypeCode = CodeCable;
    EXPECT_TRUE(grid.AllCellsDescribed(true));
    cells[1]->TypeCode = CodeBridge;
    EXPECT_FALSE(grid.AllCellsDescribed(true));
    EXPECT_TRUE(grid.AllCellsDescribed(false));
}

// A custom component's structure has no head-end terminal: its chain begins
// with a component, which must be described like the others.
TEST_F(GridChainTest, AChainWithoutTerminalChecksItsFirstCell) {
    for (auto* c : cells) c->Described = 1;
    grid.Anchor = cells[0];
    EXPECT_TRUE(grid.AllCellsDescribed(true));
    cells[0]->Described = 0;
    EXPECT_FALSE(grid.AllCellsDescribed(false));
}

TEST_F(GridChainTest, ClearWalkMarksReachesOverlaysToo) {
    auto horizontalOwned = std::make_unique<TCellaProva>(nullptr, 7, 7, 1, 1, 0, true, 1);
    auto* horizontal = horizontalOwned.get();
    auto verticalOwned = std::make_unique<TCellaProva>(nullptr, 7, 7, 1, 1, 0, true, 0);
    auto* vertical = verticalOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(horizontalOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(verticalOwned), false, 0));
    for (TCella* c :
         {static_cast<TCella*>(horizontal), static_cast<TCella*>(vertical), static_cast<TCella*>(cells[0])})
        c->WalkMark = 5;
    grid.ClearWalkMarks();
    EXPECT_EQ(horizontal->WalkMark, 0);
    EXPECT_EQ(vertical->WalkMark, 0);
    EXPECT_EQ(cells[0]->WalkMark, 0);
}

TEST_F(GridChainTest, QuestionsAboutTheComponents) {
    EXPECT_TRUE(grid.HasComponents());
    EXPECT_FALSE(grid.HasEarthSymbol());
    cells[2]->TypeCode = CodeEarth;
    EXPECT_TRUE(grid.HasEarthSymbol());
}

TEST(GridQueue, FirstInFirstOut) {
    TQNextCell queue;
    TNextCell record;
    EXPECT_FALSE(queue.Pop(record));
    for (int32_t i = 0; i < 3; ++i) {
        TNextCell r;
        r.Column = i;
        queue.Push(r);
    }
    for (int32_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(queue.Pop(record));
        EXPECT_EQ(record.Column, i);
    }
    EXPECT_TRUE(queue.Empty());
}

}  // namespace
