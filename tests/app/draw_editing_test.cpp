// Editing a grid with the mouse in the drawing control: cables laid by
// dragging, the eraser, what a button press starts with each tool, graphic
// signs drawn, reshaped and moved, the in-place text editor, the popups and
// the port hints.
#include <gtest/gtest.h>

#include <memory>

#include "app/draw_window.h"
#include "app/grid.h"
#include "app/project.h"
#include "app/signs.h"
#include "cells/cables.h"
#include "support/stand_in_palette.h"
#include "support/test_cells.h"

namespace {

// A control of a known size over the network grid of a new project, scrolled
// to its top-left corner, with a stand-in palette.
class DrawEditingTest : public ::testing::Test {
protected:
    void SetUp() override {
        project.Reset(true);
        grid = project.NetworkGrid;
        window.Width = 12 * 43 + 4;
        window.Height = 10 * 43 + 4;
        window.Palette = &palette;
        window.SetGrid(grid);
        window.LeftCol = 0;
        window.TopRow = 0;
        project.Modified = false;
    }
    void TearDown() override { window.SetGrid(nullptr); }
    // The middle of a square, in the control.
    TPoint At(int32_t column, int32_t row) const {
        TRect r = window.CellRect(column, row);
        return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    void Press(int32_t column, int32_t row, TShiftState shift = {}) {
        TPoint p = At(column, row);
        window.MouseDown(mbLeft, shift + TShiftState{ssLeft}, p.x, p.y);
    }
    void Drag(int32_t column, int32_t row, TShiftState shift = {}) {
        TPoint p = At(column, row);
        window.MouseMove(shift + TShiftState{ssLeft}, p.x, p.y);
    }
    void Release(int32_t column, int32_t row, TShiftState shift = {}) {
        TPoint p = At(column, row);
        window.MouseUp(mbLeft, shift, p.x, p.y);
    }
    // A sign of the grid, added without undo.
    TSegnoGrafico* AddSign(int32_t kind, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        auto* sign = new TSegnoGrafico(grid);
        sign->Kind = kind;
        sign->X1 = x1;
        sign->Y1 = y1;
        sign->X2 = x2;
        sign->Y2 = y2;
        if (kind == SignText) sign->Text = "Scala A";
        EXPECT_TRUE(grid->AddSign(sign, false, 0));
        return sign;
    }

    TProgetto project{nullptr};
    TGridData* grid = nullptr;
    TStandInPalette palette;
    TDrawWindow window;
};

TEST_F(DrawEditingTest, SignControlsShowWhatTheSelectedSignsShare) {
    TSegnoGrafico* line = AddSign(SignLine, 10, 10, 80, 10);
    TSegnoGrafico* box = AddSign(SignRectangle, 100, 100, 200, 150);
    TSegnoGrafico* text = AddSign(SignText, 300, 300, 360, 320);
    line->Pen->Color = clRed;
    line->Pen->Width = 3;
    box->Pen->Color = clRed;
    box->Pen->Width = 2;
    text->Font->Color = clRed;

    window.SelectSign(line);
    EXPECT_TRUE(palette.SignControlsShown);
    EXPECT_EQ(palette.Shown.Colour, clRed);
    EXPECT_TRUE(palette.Shown.ShowPen);
    EXPECT_FALSE(palette.Shown.ShowFont);
    EXPECT_EQ(palette.Shown.PenWidth, 3);
    EXPECT_EQ(palette.Shown.PenStyle, psSolid);

    window.SelectSign(box);  // widths differ
    EXPECT_TRUE(palette.Shown.ShowPen);
    EXPECT_EQ(palette.Shown.PenWidth, -1);
    EXPECT_EQ(palette.Shown.Colour, clRed);

    window.SelectSign(text);  // a text among lines: neither pen nor font
    EXPECT_FALSE(palette.Shown.ShowPen);
    EXPECT_FALSE(palette.Shown.ShowFont);
    EXPECT_EQ(palette.Shown.Colour, clRed);
    text->Font->Color = clBlue;
    window.UpdateSignToolbar();
    EXPECT_EQ(palette.Shown.Colour, static_cast<TColor>(-1));

    window.UnselectSign(line);
    window.UnselectSign(box);
    EXPECT_TRUE(palette.Shown.ShowFont);
    EXPECT_EQ(palette.Shown.FontName, text->Font->Name.Get());

    // A tool chosen hides them, as does an empty selection.
    palette.Tool = 17;
    window.UpdateSignToolbar();
    EXPECT_FALSE(palette.SignControlsShown);
    palette.Tool = 0;
    window.ClearSignSelection();
    EXPECT_FALSE(palette.SignControlsShown);
    EXPECT_EQ(window.SelectedSigns.Count(), 0);

    // A sign the grid lets go leaves the selection.
    window.SelectSign(box);
    grid->RemoveSign(box, false, 0);
    EXPECT_EQ(window.SelectedSigns.Count(), 0);
    EXPECT_FALSE(palette.SignControlsShown);
}

}  // namespace
