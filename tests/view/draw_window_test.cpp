// The drawing control: what a square paints under its clip, the grid it
// shows and where it scrolls to, centring, the wheel and the status position.
#include "view/draw_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "cells/cables.h"
#include "cells/outlets.h"
#include "document/grid.h"
#include "document/project.h"
#include "support/globals_fixture.h"
#include "support/test_cells.h"

namespace {

// A control of a known size over a grid without a project.
class DrawWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.Width = 10 * 43 + 4;
        window.Height = 8 * 43 + 4;
    }
    // The calls a repaint of one square made.
    std::vector<TPaintCall> Paint(int32_t column, int32_t row) {
        window.Canvas->Recording().Clear();
        window.PaintSquare(column, row);
        return window.Canvas->Recording().Calls;
    }
    TDrawWindow window;
};

TEST_F(DrawWindowTest, ConstructionShowsFiftySquaresEachWayAndNoGrid) {
    EXPECT_EQ(window.ColCount, 50);
    EXPECT_EQ(window.RowCount, 50);
    EXPECT_EQ(window.FixedCols, 0);
    EXPECT_EQ(window.DefaultColWidth, 42);
    EXPECT_EQ(window.Grid(), nullptr);
    ASSERT_EQ(window.LinesPopup->Items->Count(), 20);
    EXPECT_EQ(window.LinesPopup->Items->Items[0]->Caption.Get(), "1 linea");
    EXPECT_EQ(window.LinesPopup->Items->Items[1]->Caption.Get(), "2 linee");
    EXPECT_EQ(window.LinesPopup->Items->Items[19]->Caption.Get(), "20 linee");
    EXPECT_FALSE(window.HintWindow->Visible);
    EXPECT_FALSE(window.HintDelay->Enabled);
    EXPECT_EQ(window.HintDelay->Interval, 500);
    EXPECT_TRUE(window.HintWatch->Enabled);
}

// A grid freed while a window shows it leaves the window showing none, not
// pointing at what is gone.
TEST_F(DrawWindowTest, AGridGoingAwayIsForgottenByItsWindow) {
    {
        TGridData grid(nullptr, 30, 30, GridNetwork);
        window.SetGrid(&grid);
        ASSERT_EQ(window.Grid(), &grid);
    }
    EXPECT_EQ(window.Grid(), nullptr);
}

TEST_F(DrawWindowTest, SquarePaintsBackgroundCellAndErrorUnderItsClip) {
    TGridData grid(nullptr, 30, 30, GridNetwork);
    grid.Step = 2;
    auto cableOwned = std::make_unique<TNCavo>(&grid, 1, 0, 3, 3, 0, 0);
    auto* cable = cableOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(cableOwned), false, 0));
    auto partOwned = std::make_unique<TCellaProva>(nullptr, 4, 3);
    auto* part = partOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(partOwned), false, 0));
    window.SetGrid(&grid);
    window.LeftCol = 0;
    window.TopRow = 0;
    grid.SetErrorMark(0, 5, 1);

    struct Case {
        const char* what;
        int32_t column, row;
        TGridRect selection;
        bool cables, cells, calcCells;
        TColor background;
    };
    const TGridRect none{20, 20, 20, 20};
    // clang-format off
    const Case cases[] = {
        {"plain square", 1, 1, none, false, false, false, SquareWhite},
        {"selected block", 1, 1, {0, 0, 2, 2}, false, false, false, SquareSelected},
        {"focused square of the block", 2, 2, {0, 0, 2, 2}, false, false, false, SquareSelected},
        {"undescribed cable", 3, 3, none, true, false, false, SquareUndescribedCable},
        {"cable, highlight off", 3, 3, none, false, true, true, SquareWhite},
        {"undescribed component", 4, 3, none, false, true, false, SquareUndescribedCell},
        {"component needing a description", 4, 3, none, false, false, true, SquareUndescribedCell},
        {"selection wins", 4, 3, {4, 3, 5, 3}, false, true, false, SquareSelected},
        {"error mark square", 0, 5, none, false, false, false, SquareWhite},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window.Selection = c.selection;
        window.HighlightCables = c.cables;
        window.HighlightCells = c.cells;
        window.HighlightCalculationCells = c.calcCells;
        TRect rect = window.CellRect(c.column, c.row);
        auto calls = Paint(c.column, c.row);
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls[0].Op, TPaintOp::FillRect);
        EXPECT_EQ(calls[0].Rect, rect);
        EXPECT_EQ(calls[0].State.Brush.Color, c.background);
        for (const TPaintCall& call : calls) EXPECT_EQ(call.State.Clip, rect) << call.Describe();
        EXPECT_FALSE(window.Canvas->HasClip());
    }

    // A described component is not highlighted.
    part->Described = 1;
    window.Selection = none;
    window.HighlightCells = true;
    EXPECT_EQ(Paint(4, 3)[0].State.Brush.Color, SquareWhite);
    // Highlights belong to the component-data step.
    part->Described = 0;
    grid.Step = 1;
    EXPECT_EQ(Paint(4, 3)[0].State.Brush.Color, SquareWhite);
}

// After the analysis the data of a cable or jumper run live in its head:
// the run's other segments show as undescribed only while the head is.
class DrawWindowRunTest : public GlobalsTest {};

TEST_F(DrawWindowRunTest, ACableRunIsHighlightedByItsHead) {
    TProgetto project{nullptr};
    project.Reset(true);
    TGridData& grid = *project.NetworkGrid;
    constexpr int32_t LineColumn = 37;  // the terminal's line leaves into row 1 here
    std::vector<TNCavo*> run;
    for (int32_t row = 1; row <= 3; ++row) {
        auto segment = std::make_unique<TNCavo>(&grid, 0, 0, LineColumn, row, 0, 0);
        run.push_back(segment.get());
        ASSERT_TRUE(grid.InsertCell(std::move(segment), false, 0));
    }
    auto outlet = std::make_unique<TPresaD>(&grid, 0, 0, LineColumn, 4, CodeEndOutlet, 1);
    outlet->Described = 1;
    ASSERT_TRUE(grid.InsertCell(std::move(outlet), false, 0));
    run[1]->Described = 1;  // data entered on a middle segment move to the head
    ASSERT_TRUE(project.AnalyseGrids());
    ASSERT_TRUE(run[0]->IsRunHead());
    ASSERT_TRUE(run[0]->Described);
    project.Step = 2;

    TDrawWindow window;
    window.SetGrid(&grid);
    window.Selection = TGridRect{0, 40, 0, 40};
    window.HighlightCables = true;
    for (int32_t row = 1; row <= 3; ++row)
        EXPECT_EQ(window.SquareColour(LineColumn, row), SquareWhite) << "row " << row;
    // A run between auto-mixing modules is a jumper, highlighted with the components.
    window.HighlightCells = true;
    for (TNCavo* segment : run) segment->TypeCode = CodeBridge;
    for (int32_t row = 1; row <= 3; ++row)
        EXPECT_EQ(window.SquareColour(LineColumn, row), SquareWhite) << "jumper row " << row;

    run[0]->Described = 0;
    for (int32_t row = 1; row <= 3; ++row)
        EXPECT_EQ(window.SquareColour(LineColumn, row), SquareUndescribedCell) << "jumper row " << row;
    for (TNCavo* segment : run) segment->TypeCode = CodeCable;
    for (int32_t row = 1; row <= 3; ++row)
        EXPECT_EQ(window.SquareColour(LineColumn, row), SquareUndescribedCable) << "row " << row;
}

TEST_F(DrawWindowTest, ErrorMarkIsRedArialNeverLeftOfTheControl) {
    TGridData grid(nullptr, 30, 30, GridNetwork);
    window.SetGrid(&grid);
    window.LeftCol = 0;
    window.TopRow = 0;
    grid.SetErrorMark(2, 1, 1);
    grid.SetErrorMark(0, 1, 1);
    for (int32_t size : {42, 15}) {
        window.DefaultColWidth = size;
        window.DefaultRowHeight = size;
        for (int32_t column : {0, 2}) {
            TRect rect = window.CellRect(column, 1);
            auto calls = Paint(column, 1);
            ASSERT_FALSE(calls.empty());
            const TPaintCall& text = calls.back();
            ASSERT_EQ(text.Op, TPaintOp::Text);
            EXPECT_EQ(text.Text, "Err");
            EXPECT_EQ(text.State.Font.Color, clRed);
            EXPECT_EQ(text.State.Font.Name, "Arial");
            EXPECT_EQ(text.State.Font.Height, -8);
            ASSERT_EQ(text.Points.size(), 1u);
            EXPECT_EQ(text.Points[0], TPoint(std::max(0, rect.Right - 17), rect.Top))
                << size << " " << column;
            EXPECT_GE(text.Points[0].x, 0);
        }
    }
}

TEST_F(DrawWindowTest, NothingPaintsWhileUpdatingOutsideTheGridOrAboveTheLargestSquare) {
    TGridData grid(nullptr, 30, 30, GridNetwork);
    window.SetGrid(&grid);
    window.LeftCol = 0;
    window.TopRow = 0;
    EXPECT_FALSE(Paint(1, 1).empty());
    window.BeginUpdate();
    EXPECT_TRUE(Paint(1, 1).empty());
    window.EndUpdate();
    EXPECT_FALSE(Paint(1, 1).empty());
    window.Canvas->Recording().Clear();
    window.PaintSquareOn(window.Canvas, 30, 1, TRect(0, 0, 42, 42));
    window.PaintSquareOn(window.Canvas, 1, -1, TRect(0, 0, 42, 42));
    window.PaintSquareOn(window.Canvas, 1, 1, TRect(0, 0, 43, 42));
    window.PaintSquareOn(window.Canvas, 1, 1, TRect(0, 0, 42, 43));
    EXPECT_TRUE(window.Canvas->Recording().Calls.empty());
}

TEST_F(DrawWindowTest, SymbolGridBorderIsLightGreen) {
    TGridData grid(nullptr, 12, 12, GridSymbol);
    window.SetGrid(&grid);
    window.LeftCol = 0;
    window.TopRow = 0;
    window.Selection = TGridRect{6, 6, 6, 6};
    EXPECT_EQ(window.SquareColour(0, 3), SquareSymbolBorder);
    EXPECT_EQ(window.SquareColour(3, 0), SquareSymbolBorder);
    EXPECT_EQ(window.SquareColour(11, 3), SquareSymbolBorder);
    EXPECT_EQ(window.SquareColour(3, 11), SquareSymbolBorder);
    EXPECT_EQ(window.SquareColour(3, 3), SquareWhite);
}

TEST_F(DrawWindowTest, GridShownFirstScrollsByKindAndLaterKeepsItsViewClamped) {
    TGridData head(nullptr, 75, 60, GridHeadEnd);
    TGridData net(nullptr, 75, 60, GridNetwork);
    window.SetGrid(&head);
    const int vc = window.VisibleColCount(), vr = window.VisibleRowCount();
    ASSERT_GT(vc, 0);
    ASSERT_GT(vr, 0);
    EXPECT_EQ(window.ColCount, 75);
    EXPECT_EQ(window.RowCount, 60);
    EXPECT_EQ(window.TopRow, 60 - vr);
    EXPECT_EQ(window.LeftCol, 75 / 2 - vc / 2);
    EXPECT_EQ(head.Window, &window);

    window.LeftCol = 3;
    window.SetGrid(&net);
    EXPECT_EQ(head.SavedLeft, 3);
    EXPECT_EQ(head.SavedTop, 60 - vr);
    EXPECT_EQ(head.Window, nullptr);
    EXPECT_EQ(window.TopRow, 0);
    EXPECT_EQ(window.LeftCol, 75 / 2 - vc / 2);

    window.SetGrid(&head);
    EXPECT_EQ(window.LeftCol, 3);
    EXPECT_EQ(window.TopRow, 60 - vr);

    // A remembered view beyond a grid that has since shrunk is clamped.
    head.SavedLeft = 500;
    head.SavedTop = -7;
    window.SetGrid(&net);
    head.SavedLeft = 500;
    head.SavedTop = 500;
    window.SetGrid(&head);
    EXPECT_EQ(window.LeftCol, 75 - vc);
    EXPECT_EQ(window.TopRow, 60 - vr);
}

// A zoom keeps the square at the top left where it is; where a smaller
// square size shows the grid's last squares at the edge, the view moves as
// little as it must, and zooming back in returns to the square it started
// from. A view scrolled between zooms is the one the next zoom keeps.
TEST_F(DrawWindowTest, ZoomingOutAndBackInKeepsTheTopLeftSquare) {
    TGridData grid(nullptr, 75, 75, GridNetwork);
    window.SetGrid(&grid);
    window.LeftCol = 60;
    window.TopRow = 62;
    ASSERT_EQ(window.LeftCol, 60);
    ASSERT_EQ(window.TopRow, 62);
    // The zooms of the menu, out and back in, and out to 15 straight from 42.
    for (int32_t size : {21, 15, 21, 42, 15, 42}) {
        SCOPED_TRACE(size);
        window.SetSquareSize(size);
        EXPECT_EQ(window.DefaultColWidth, size);
        EXPECT_EQ(window.DefaultRowHeight, size);
        // The top-left square stays, unless the grid's last squares would
        // leave the view short: then they end at its edge.
        EXPECT_EQ(window.LeftCol, std::min(60, 75 - window.VisibleColCount()));
        EXPECT_EQ(window.TopRow, std::min(62, 75 - window.VisibleRowCount()));
        if (size == 15) {
            // The smallest squares show the grid's last squares: held back.
            EXPECT_LT(window.LeftCol, 60);
            EXPECT_LT(window.TopRow, 62);
        }
        if (size == 42) {
            EXPECT_EQ(window.LeftCol, 60);
            EXPECT_EQ(window.TopRow, 62);
        }
    }
    // Scrolled between zooms: that view is the one kept from then on.
    window.SetSquareSize(15);
    window.LeftCol = 10;
    window.TopRow = 5;
    window.SetSquareSize(42);
    EXPECT_EQ(window.LeftCol, 10);
    EXPECT_EQ(window.TopRow, 5);
    window.SetSquareSize(15);
    EXPECT_EQ(window.LeftCol, 10);
    EXPECT_EQ(window.TopRow, 5);
    window.SetGrid(nullptr);
}

TEST_F(DrawWindowTest, DetachingTheGridShownForgetsIt) {
    auto grid = std::make_unique<TGridData>(nullptr, 30, 30, GridNetwork);
    TGridData other(nullptr, 30, 30, GridNetwork);
    window.SetGrid(grid.get());
    window.DetachGrid(nullptr);
    window.DetachGrid(&other);
    EXPECT_EQ(window.Grid(), grid.get());
    window.DetachGrid(grid.get());
    grid.reset();
    EXPECT_EQ(window.Grid(), nullptr);
    window.RepaintCell(1, 1);  // nothing shown, nothing painted
}

TEST_F(DrawWindowTest, CenterOnClampsAndSelectsTheSquare) {
    TGridData grid(nullptr, 75, 75, GridNetwork);
    window.SetGrid(&grid);
    const int vc = window.VisibleColCount(), vr = window.VisibleRowCount();
    struct Case {
        int32_t column, row, left, top;
    };
    // clang-format off
    const Case cases[] = {
        {40, 40, 40 - vc / 2, 40 - vr / 2},
        {1, 2, 0, 0},
        {74, 74, 75 - vc, 75 - vr},
        {0, 74, 0, 75 - vr},
    };
    // clang-format on
    for (const Case& c : cases) {
        window.CenterOn(c.column, c.row);
        EXPECT_EQ(window.LeftCol, c.left) << c.column << "," << c.row;
        EXPECT_EQ(window.TopRow, c.top) << c.column << "," << c.row;
        EXPECT_EQ(window.Selection.Get(), (TGridRect{c.column, c.row, c.column, c.row}));
    }
}

TEST_F(DrawWindowTest, WheelMovesOneRowWithinTheGridAndConsumesTheNextClick) {
    TGridData grid(nullptr, 30, 30, GridNetwork);
    window.SetGrid(&grid);
    const int vr = window.VisibleRowCount();
    int clicks = 0;
    window.OnClick = [&](TObject*) { ++clicks; };
    window.MouseWheel(TShiftState{}, -120, TPoint(5, 5));
    EXPECT_EQ(window.TopRow, 1);
    EXPECT_TRUE(window.ClickConsumed);
    window.Click();
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(window.ClickConsumed);
    window.Click();
    EXPECT_EQ(clicks, 1);
    window.MouseWheel(TShiftState{}, 120, TPoint(5, 5));
    window.MouseWheel(TShiftState{}, 120, TPoint(5, 5));
    EXPECT_EQ(window.TopRow, 0);
    window.TopRow = 30 - vr;
    window.MouseWheel(TShiftState{}, -120, TPoint(5, 5));
    EXPECT_EQ(window.TopRow, 30 - vr);

    // A wheel that reports a notch in finer steps: one row once they make a
    // notch, whatever the steps; a turn back takes its part off.
    window.TopRow = 2;
    ASSERT_GE(30 - vr, 7);
    struct Case {
        std::vector<int> deltas;
        int top;
    };
    const Case cases[] = {
        {{-40, -40}, 2},      {{-40}, 3},           {{-15, -15, -15, -15, -15, -15, -15, -15}, 4},
        {{-60, 60, -60}, 4},  {{-60}, 5},           {{-240}, 7},
        {{120, 60, 60}, 5},
    };
    for (const Case& c : cases) {
        for (int d : c.deltas) EXPECT_TRUE(window.MouseWheel(TShiftState{}, d, TPoint(5, 5)));
        EXPECT_EQ(window.TopRow, c.top) << c.deltas.size() << " steps from " << c.deltas.front();
    }
}

TEST_F(DrawWindowTest, MouseOverASquareShowsItsPositionAndLocatesTheCell) {
    TGridData grid(nullptr, 30, 30, GridNetwork);
    auto cableOwned = std::make_unique<TNCavo>(&grid, 1, 0, 12, 3, 0, 0);
    auto* cable = cableOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(cableOwned), false, 0));
    window.SetGrid(&grid);
    TStatusBar bar;
    bar.Panels->Add();
    window.StatusBar = &bar;
    window.LeftCol = 10;
    window.TopRow = 2;
    TRect rect = window.CellRect(12, 3);
    window.MouseMove(TShiftState{}, rect.Left + 30, rect.Top + 5);
    EXPECT_EQ(bar.Panels->Items[0]->Text.Get(), " X=12, Y=3");
    EXPECT_EQ(window.MouseInfo.Column, 12);
    EXPECT_EQ(window.MouseInfo.Row, 3);
    EXPECT_EQ(window.MouseInfo.OffsetX, 30);
    EXPECT_EQ(window.MouseInfo.OffsetY, 5);
    EXPECT_EQ(window.MouseInfo.CentreDX, 9);
    EXPECT_EQ(window.MouseInfo.CentreDY, 16);
    EXPECT_EQ(window.MouseInfo.Cell, cable);
    // Outside the grid nothing changes.
    window.ColCount = 40;  // squares the grid does not have
    window.LeftCol = 10;
    TRect outside = window.CellRect(35, 3);
    if (!outside.IsEmpty()) {
        window.MouseMove(TShiftState{}, outside.Left + 1, outside.Top + 1);
        EXPECT_EQ(bar.Panels->Items[0]->Text.Get(), " X=12, Y=3");
    }
}

}  // namespace
