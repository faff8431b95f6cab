// Placement on the grid: local and grid coordinates under turn and mirror,
// the squares a cell covers, turning and mirroring, and the port marks and
// links a cell gives the grid analysis.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <utility>

#include "document/grid.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/layout.h"
#include "support/test_cells.h"

namespace {

TEST(Placement, LocalAndGridCoordinatesAreInverseInEveryState) {
    for (int32_t turn = 0; turn < 4; ++turn)
        for (int32_t mirror = 0; mirror < 2; ++mirror) {
            TCella cell(nullptr, turn, mirror, 10, 20);
            for (int32_t dx = -3; dx <= 3; ++dx)
                for (int32_t dy = -2; dy <= 2; ++dy) {
                    int32_t gc = 0, gr = 0, lc = 0, lr = 0;
                    cell.LocalToGrid(gc, gr, 10 + dx, 20 + dy);
                    cell.GridToLocal(lc, lr, gc, gr);
                    EXPECT_EQ(lc, 10 + dx) << "turn " << turn << " mirror " << mirror;
                    EXPECT_EQ(lr, 20 + dy) << "turn " << turn << " mirror " << mirror;
                    // And the other way round.
                    cell.GridToLocal(lc, lr, 10 + dx, 20 + dy);
                    cell.LocalToGrid(gc, gr, lc, lr);
                    EXPECT_EQ(gc, 10 + dx);
                    EXPECT_EQ(gr, 20 + dy);
                }
        }
}

// A direction: the square it steps to, the side it leaves across and the
// side it enters the next square across.
TEST(Placement, EachDirectionStepsAcrossItsSides) {
    struct TCase {
        TDirection direction;
        int32_t column, row;
        TSide exit, entry;
    };
    const TCase cases[] = {
        {TDirection::Down, 5, 8, TSide::Bottom, TSide::Top},
        {TDirection::Left, 4, 7, TSide::Left, TSide::Right},
        {TDirection::Up, 5, 6, TSide::Top, TSide::Bottom},
        {TDirection::Right, 6, 7, TSide::Right, TSide::Left},
    };
    for (const TCase& c : cases) {
        int32_t column = 5, row = 7;
        StepTowards(c.direction, column, row);
        EXPECT_EQ(column, c.column) << DirectionNumber(c.direction);
        EXPECT_EQ(row, c.row) << DirectionNumber(c.direction);
        EXPECT_EQ(ExitSide(c.direction), c.exit);
        EXPECT_EQ(EntrySide(c.direction), c.entry);
        EXPECT_EQ(Leaving(c.exit), c.direction);
        EXPECT_EQ(Entering(c.entry), c.direction);
    }
}

// A direction of a cell's frame turns and mirrors as the sides do: the step
// it makes on the grid is the frame's step put through the transform.
TEST(Placement, DirectionsTurnAndMirrorWithTheFrame) {
    for (int32_t turn = 0; turn < 4; ++turn)
        for (int32_t mirror = 0; mirror < 2; ++mirror)
            for (int32_t d = 0; d < 4; ++d) {
                const TTurnMirror transform = TTurnMirror::Of(turn, mirror);
                int32_t dx = 0, dy = 0;
                StepTowards(DirectionOf(d), dx, dy);
                transform.Apply(dx, dy);
                int32_t gx = 0, gy = 0;
                StepTowards(transform.Apply(DirectionOf(d)), gx, gy);
                EXPECT_EQ(std::pair(gx, gy), std::pair(dx, dy)) << "turn " << turn << " mirror " << mirror;
            }
}

// The sides a bend joins are those of its layout (bottom and left) under its
// turn, whichever way the table lists them.
TEST(Placement, BendSidesAreTheBendsLayoutTurned) {
    TNCavo bend(nullptr, 0, 0, 0, 0, 1, 0);
    const TCellLayout layout = bend.Layout();
    ASSERT_EQ(layout.Ports.size(), 2u);
    for (int32_t orientation = 0; orientation < 4; ++orientation) {
        const TTurnMirror transform = TTurnMirror::Of(orientation, 0);
        const TSide a = transform.Apply(layout.Ports[0].Side), b = transform.Apply(layout.Ports[1].Side);
        const std::array<TSide, 2> sides = BendSides(orientation);
        EXPECT_TRUE((sides[0] == a && sides[1] == b) || (sides[0] == b && sides[1] == a))
            << "orientation " << orientation;
        EXPECT_EQ(BendSides(orientation + 4), sides);
    }
}

TEST(Placement, LocalPointNextToTheAnchorUnderEachTurn) {
    struct Case {
        int32_t turn, mirror, column, row;
    };
    // The local point one column right of the anchor (10, 5).
    // clang-format off
    const Case cases[] = {
        {0, 0, 11, 5}, {1, 0, 10, 4}, {2, 0, 9, 5}, {3, 0, 10, 6},
        {0, 1, 9, 5},  {1, 1, 10, 4}, {2, 1, 11, 5}, {3, 1, 10, 6},
    };
    // clang-format on
    for (const Case& c : cases) {
        TCella cell(nullptr, c.turn, c.mirror, 10, 5);
        int32_t gc = 0, gr = 0;
        cell.LocalToGrid(gc, gr, 11, 5);
        EXPECT_EQ(gc, c.column) << "turn " << c.turn << " mirror " << c.mirror;
        EXPECT_EQ(gr, c.row) << "turn " << c.turn << " mirror " << c.mirror;
    }
}

TEST(Placement, SymbolPointsTurnThenMirror) {
    struct Case {
        int32_t turn, mirror, x, y;
    };
    // The point (3, 5) in a box of 20.
    // clang-format off
    const Case cases[] = {
        {0, 0, 3, 5}, {1, 0, 5, 17}, {2, 0, 17, 15}, {3, 0, 15, 3},
        {0, 1, 17, 5}, {1, 1, 15, 17}, {2, 1, 3, 15}, {3, 1, 5, 3},
    };
    // clang-format on
    for (const Case& c : cases) {
        TCella cell(nullptr, c.turn, c.mirror, 0, 0);
        int32_t x = 0, y = 0;
        cell.RotateSymbolPoint(x, y, 3, 5, 20);
        EXPECT_EQ(x, c.x) << "turn " << c.turn << " mirror " << c.mirror;
        EXPECT_EQ(y, c.y) << "turn " << c.turn << " mirror " << c.mirror;
    }
}

TEST(Placement, ACellCoversOneSquarePerThroughOutput) {
    RecordingGridWindow window;  // outlives the grid, which tells it as it goes
    TGridData grid(nullptr, 30, 30, GridCustom);
    grid.Window = &window;
    TCella cell(&grid, 0, 0, 10, 5, 1, 3, 0);
    EXPECT_EQ(cell.GetGridRect(), (TCellRect{5, 10, 5, 12}));
    cell.Invalidate();
    const std::vector<TCellRect> expected = {{5, 10, 5, 10}, {5, 11, 5, 11}, {5, 12, 5, 12}};
    EXPECT_EQ(window.Repainted, expected);

    TCella none(nullptr, 0, 0, 4, 4, 1, 0, 2);  // no through output: still one square
    EXPECT_EQ(none.GetGridRect(), (TCellRect{4, 4, 4, 4}));
}

TEST(Placement, RotateAddsQuarterTurns) {
    struct Case {
        int32_t from, n, to;
    };
    const Case cases[] = {{2, 3, 1}, {0, 1, 1}, {3, 2, 1}, {1, 3, 0}};
    for (const Case& c : cases) {
        TCella cell(nullptr, c.from, 0, 0, 0);
        EXPECT_TRUE(cell.Rotate(c.n));
        EXPECT_EQ(cell.Orientation, c.to);
    }
}

TEST(Placement, MirrorMovesTheAnchorAndTurnsOddOrientations) {
    struct Case {
        int32_t through, turn, column, row;
        int32_t turnAfter, columnAfter, rowAfter;
    };
    // clang-format off
    const Case cases[] = {
        {1, 0, 10, 5, 0, 10, 5},   // one square, turn 0: unchanged
        {1, 1, 10, 5, 3, 10, 5},   // turn 1 becomes 3
        {1, 3, 10, 5, 1, 10, 5},
        {3, 0, 10, 5, 0, 8, 5},    // three squares anchored at 10 go to 8
        {3, 2, 10, 5, 2, 12, 5},   // turned over columns 8 to 10: reflected to 10 to 12
        // Turned upright over rows 5 to 7: the anchor goes to the other end
        // and the turn to 3, so the cell keeps its squares.
        {3, 1, 10, 5, 3, 10, 7},
    };
    // clang-format on
    for (const Case& c : cases) {
        TCella cell(nullptr, c.turn, 0, c.column, c.row, 1, c.through, 0);
        EXPECT_TRUE(cell.Mirror());
        EXPECT_EQ(cell.Orientation, c.turnAfter) << c.through << "/" << c.turn;
        EXPECT_EQ(cell.Column, c.columnAfter) << c.through << "/" << c.turn;
        EXPECT_EQ(cell.Row, c.rowAfter) << c.through << "/" << c.turn;
        EXPECT_EQ(cell.Mirrored, 0);  // the base leaves the flag to asymmetric classes
    }
}

// ---- Marks and links for the analysis ----

class PlacementAnalysisTest : public ::testing::Test {
protected:
    void SetUp() override { grid.BeginAnalysis(); }
    TGridData grid{nullptr, 20, 20, GridCustom};
};

TEST_F(PlacementAnalysisTest, PortSideAndNeighbourForEveryTurnAndMirror) {
    struct Case {
        int32_t side, turn, mirror;
        int32_t column, row;  // the neighbouring square of (5, 5)
        uint8_t gridSide;
    };
    // clang-format off
    const Case cases[] = {
        {0, 0, 0, 5, 6, 0}, {0, 1, 0, 4, 5, 1}, {0, 2, 0, 5, 4, 2}, {0, 3, 0, 6, 5, 3},
        {1, 0, 0, 4, 5, 1}, {3, 0, 0, 6, 5, 3}, {2, 0, 0, 5, 4, 2},
        {1, 0, 1, 6, 5, 3}, {3, 0, 1, 4, 5, 1}, {0, 0, 1, 5, 6, 0},
        {1, 1, 1, 5, 6, 0}, {3, 1, 0, 5, 6, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        TCella cell(&grid, c.turn, c.mirror, 5, 5);
        cell.AllocLinks();
        TQNextCell queue;
        // side: the side the line enters the next square by, in the cell's frame.
        cell.LinkPortAt(5, 5, 0, Opposite(SideOf(c.side)), 1, 1, queue);
        TNextCell record;
        ASSERT_TRUE(queue.Pop(record));
        EXPECT_EQ(record.Column, c.column) << c.side << "/" << c.turn << "/" << c.mirror;
        EXPECT_EQ(record.Row, c.row) << c.side << "/" << c.turn << "/" << c.mirror;
        EXPECT_EQ(record.Side, c.gridSide) << c.side << "/" << c.turn << "/" << c.mirror;
        EXPECT_FALSE(queue.Pop(record));
    }
}

TEST_F(PlacementAnalysisTest, LinkTakesTheNeighbourAndItsCrossingLayer) {
    auto belowOwned = std::make_unique<TCellaProva>(nullptr, 5, 6, 1, 1, 0, true, 1);
    auto* below = belowOwned.get();
    auto crossingOwned = std::make_unique<TCellaProva>(nullptr, 5, 6, 1, 1, 0, true, 0);
    auto* crossing = crossingOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(belowOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(crossingOwned), false, 0));
    ASSERT_EQ(grid.CellAt(5, 6), below);
    ASSERT_EQ(below->Overlay, crossing);
    auto rightOwned = std::make_unique<TCellaProva>(nullptr, 6, 5);
    auto* right = rightOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(rightOwned), false, 0));

    TCella cell(&grid, 0, 0, 5, 5, 1, 2, 0);
    cell.TypeCode = 6;
    cell.AllocLinks();
    TQNextCell queue;
    cell.LinkPortAt(5, 5, 0, TSide::Bottom, 1, 0, queue);  // down: a vertical line runs on the crossing layer
    cell.LinkPortAt(5, 5, 1, TSide::Right, 0, 1, queue);   // right: the square's own cell
    EXPECT_EQ(cell.OutputCell[0], crossing);
    EXPECT_EQ(cell.OutputCell[1], right);
    TNextCell record;
    ASSERT_TRUE(queue.Pop(record));
    EXPECT_EQ(record.Port, 0);
    EXPECT_EQ(record.TypeCode, 6);
    EXPECT_EQ(record.NeedsTermination, 1);
    EXPECT_EQ(record.MayEndOpen, 0);
    ASSERT_TRUE(queue.Pop(record));
    EXPECT_EQ(record.Port, 1);
    EXPECT_EQ(record.NeedsTermination, 0);
    EXPECT_EQ(record.MayEndOpen, 1);
}

TEST_F(PlacementAnalysisTest, LinkOffTheGridFindsNoCellButQueuesTheSquare) {
    TCella cell(&grid, 0, 0, 5, 19);
    cell.AllocLinks();
    TQNextCell queue;
    cell.LinkPortAt(5, 19, 0, TSide::Bottom, 0, 0, queue);
    EXPECT_EQ(cell.OutputCell[0], nullptr);
    TNextCell record;
    ASSERT_TRUE(queue.Pop(record));
    EXPECT_EQ(record.Row, 20);
}

TEST_F(PlacementAnalysisTest, MarkGridCellSetsTheInputOfTheGridSide) {
    struct Case {
        int32_t side, turn, mirror;
        int gridSide;
    };
    const Case cases[] = {{0, 0, 0, 0}, {1, 0, 0, 1}, {1, 0, 1, 3}, {0, 3, 0, 3}, {3, 2, 1, 3}};
    for (const Case& c : cases) {
        grid.BeginAnalysis();
        TCella cell(&grid, c.turn, c.mirror, 3, 3);
        cell.MarkGridCell(3, 3, SideOf(c.side), 7, 1);
        const TSquareAnalysis* square = grid.AnalysisAt(3, 3);
        ASSERT_NE(square, nullptr);
        for (int s = 0; s < 4; ++s)
            EXPECT_EQ(square->Waiting[s], s == c.gridSide ? 1 : 0)
                << c.side << "/" << c.turn << "/" << c.mirror << " side " << s;
        EXPECT_EQ(square->InputIndex[c.gridSide], 7);
        EXPECT_EQ(square->MayStayOpen[c.gridSide], 1);
    }
}

TEST_F(PlacementAnalysisTest, BasePlacementOccupiesAndLinksEveryThroughOutput) {
    TCella cell(&grid, 0, 0, 4, 2, 1, 3, 0);
    cell.TypeCode = 3;
    cell.AllocLinks();
    TNextCell arriving;
    arriving.NeedsTermination = 1;
    TQNextCell queue;
    EXPECT_TRUE(cell.PlaceOnGrid(arriving, queue));
    for (int32_t c = 4; c <= 6; ++c) EXPECT_EQ(grid.AnalysisAt(c, 2)->Visited, 1) << c;
    EXPECT_EQ(grid.AnalysisAt(7, 2)->Visited, 0);
    // The input waits on the top of the middle square.
    EXPECT_EQ(grid.AnalysisAt(5, 2)->Waiting[0], 1);
    EXPECT_EQ(grid.AnalysisAt(5, 2)->InputIndex[0], 0);
    EXPECT_EQ(grid.AnalysisAt(4, 2)->Waiting[0], 0);
    for (int32_t k = 0; k < 3; ++k) {
        TNextCell record;
        ASSERT_TRUE(queue.Pop(record));
        EXPECT_EQ(record.Column, 4 + k);
        EXPECT_EQ(record.Row, 3);
        EXPECT_EQ(record.Side, 0);
        EXPECT_EQ(record.Port, k);
        EXPECT_EQ(record.NeedsTermination, 1);  // handed on from the arriving line
        EXPECT_EQ(record.MayEndOpen, 0);
    }
}

TEST(Placement, MarksNeedARunningAnalysis) {
    TGridData grid(nullptr, 10, 10, GridCustom);
    TCella cell(&grid, 0, 0, 3, 3);
    cell.MarkGridCell(3, 3, TSide::Top, 0, 0);  // no analysis records: nothing to mark
    EXPECT_EQ(grid.AnalysisAt(3, 3), nullptr);
    grid.BeginAnalysis();
    EXPECT_EQ(grid.AnalysisAt(10, 3), nullptr);
    EXPECT_NE(grid.AnalysisAt(9, 9), nullptr);
    grid.EndAnalysis();
    EXPECT_EQ(grid.AnalysisAt(3, 3), nullptr);
}

}  // namespace
