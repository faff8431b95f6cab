// String and draw grids: layout, the current cell and the selection,
// editing in place, scrolling and painting.
#include "platform/grids.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/application.h"
#include "platform/forms.h"

namespace {
class Grids : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Script().Reset();
        form = std::make_unique<TForm>(nullptr);
        grid = new TStringGrid(form.get());
        grid->Parent = form.get();
        grid->BorderStyle = bsNone;
        grid->ScrollBars = ssNone;
        grid->SetBounds(0, 0, 200, 100);
        grid->ColCount = 6;
        grid->RowCount = 10;
        grid->DefaultColWidth = 40;
        grid->DefaultRowHeight = 20;
    }
    std::unique_ptr<TForm> form;
    TStringGrid* grid;
};
}  // namespace

TEST_F(Grids, CellsAreLaidOutWithTheirGridLines) {
    // Column 0 is fixed; each cell is followed by a one-pixel line.
    EXPECT_EQ(grid->CellRect(0, 0), Rect(0, 0, 40, 20));
    EXPECT_EQ(grid->CellRect(2, 3), Rect(82, 63, 122, 83));
    int c, r;
    grid->MouseToCell(81, 62, c, r);  // the line belongs to the cell before it
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, 2);
    grid->MouseToCell(500, 10, c, r);
    EXPECT_EQ(c, -1);
    // 200 pixels: the fixed column and four of the others wholly in view.
    EXPECT_EQ(grid->VisibleColCount(), 3);
    EXPECT_EQ(grid->VisibleRowCount(), 3);
    grid->ColWidths[1] = 10;
    EXPECT_EQ(grid->VisibleColCount(), 4);
    EXPECT_EQ(grid->CellRect(2, 1).Left, 52);
    grid->DefaultColWidth = 30;  // resets every width
    EXPECT_EQ(static_cast<int>(grid->ColWidths[1]), 30);
    grid->DefaultColWidth = 40;
    // Scrolled away cells have no rectangle; the first row shown is clamped.
    grid->TopRow = 5;
    EXPECT_TRUE(grid->CellRect(2, 3).IsEmpty());
    EXPECT_EQ(grid->CellRect(2, 5).Top, 21);
    grid->TopRow = 100;
    EXPECT_EQ(grid->TopRow, 7);  // rows 7, 8 and 9 fill the view
    grid->TopRow = 0;
    EXPECT_EQ(grid->TopRow, 1);
}

TEST_F(Grids, MovingTheCurrentCellAsksOnSelectCellAndScrolls) {
    std::vector<std::string> asked;
    bool allow = true;
    grid->OnSelectCell = [&](TObject*, int c, int r, bool& can) {
        asked.push_back(std::to_string(c) + "," + std::to_string(r) + " while " + std::to_string(grid->Col) +
                        "," + std::to_string(grid->Row));
        can = allow;
    };
    int scrolls = 0;
    grid->OnTopLeftChanged = [&](TObject*) { ++scrolls; };
    grid->Row = 3;
    EXPECT_EQ(asked, std::vector<std::string>{"1,3 while 1,1"});  // asked before the move
    EXPECT_EQ(grid->Row, 3);
    EXPECT_EQ(grid->Selection, (TGridRect{1, 3, 1, 3}));
    EXPECT_EQ(grid->TopRow, 1);
    grid->Row = 8;
    EXPECT_EQ(grid->TopRow, 6);  // scrolled just enough
    EXPECT_EQ(scrolls, 1);
    allow = false;
    grid->Col = 4;
    EXPECT_EQ(grid->Col, 1);
    EXPECT_THROW(grid->Row = 10, EInvalidOperation);
    // Setting the selection moves the current cell to its corner without asking.
    asked.clear();
    grid->Selection = TGridRect{2, 2, 3, 4};
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(grid->Col, 3);
    EXPECT_EQ(grid->Row, 4);
}

TEST_F(Grids, TheMouseSelectsACellOrARange) {
    int clicks = 0;
    grid->OnClick = [&](TObject*) { ++clicks; };
    TRect cell = grid->CellRect(2, 2);
    grid->ClickAt(cell.Left + 3, cell.Top + 3);
    EXPECT_EQ(grid->Col, 2);
    EXPECT_EQ(grid->Row, 2);
    EXPECT_EQ(clicks, 1);
    // Dragging over cells extends the range.
    TRect far = grid->CellRect(3, 3);
    grid->MouseDown(mbLeft, TShiftState{ssLeft}, cell.Left + 3, cell.Top + 3);
    grid->MouseMove(TShiftState{ssLeft}, far.Left + 3, far.Top + 3);
    grid->MouseUp(mbLeft, {}, far.Left + 3, far.Top + 3);
    EXPECT_EQ(grid->Selection, (TGridRect{2, 2, 3, 3}));
    // Clicks on fixed cells choose nothing.
    grid->ClickAt(5, 5);
    EXPECT_EQ(grid->Col, 3);
    // The wheel moves the current row.
    grid->MouseWheel({}, -120, TPoint());
    EXPECT_EQ(grid->Row, 4);
}

TEST_F(Grids, EditingAStringGridCellFiresOnSetEditText) {
    std::vector<std::string> edits;
    grid->OnSetEditText = [&](TObject*, int c, int r, const AnsiString& v) {
        edits.push_back(std::to_string(c) + "," + std::to_string(r) + "=" + v + " cell " + grid->Cell(c, r));
    };
    grid->Cells[2][1] = "10";
    EXPECT_TRUE(edits.empty());  // the program's text fires nothing
    grid->Options = grid->Options.Get() << goEditing;
    form->Show();
    grid->SetFocus();
    grid->Col = 2;
    form->TypeText("5");  // a character starts the editor over the old text
    ASSERT_TRUE(grid->EditorMode);
    EXPECT_TRUE(grid->InplaceEditor()->Focused());
    form->TypeText("0");
    EXPECT_EQ(grid->Cells[2][1], "50");
    EXPECT_EQ(edits, (std::vector<std::string>{"2,1=5 cell 5", "2,1=50 cell 50"}));
    // Enter closes the editor and leaves the focus on the grid.
    form->SendKey(VK_RETURN);
    EXPECT_FALSE(grid->EditorMode);
    EXPECT_TRUE(grid->Focused());
    // The editor starts from OnGetEditText; the person's change reaches OnSetEditText.
    grid->OnGetEditText = [](TObject*, int, int, AnsiString& v) { v = "[" + v + "]"; };
    grid->EditorMode = true;
    EXPECT_EQ(grid->InplaceEditor()->Text, "[50]");
    EXPECT_EQ(grid->InplaceEditor()->BoundsRect(), grid->CellRect(2, 1));
    grid->InplaceEditor()->UserSet(grid->InplaceEditor()->Text, AnsiString("7"));
    EXPECT_EQ(edits.back(), "2,1=7 cell 7");
    // A click in the cell being edited leaves the focus in the editor.
    TRect editing = grid->CellRect(2, 1);
    grid->ClickAt(editing.Left + 2, editing.Top + 2);
    EXPECT_TRUE(grid->InplaceEditor()->Focused());
    EXPECT_TRUE(grid->EditorMode);
    // Moving to another cell closes the editor.
    form->SendKey(VK_DOWN);
    EXPECT_EQ(grid->Row, 2);
    EXPECT_FALSE(grid->EditorMode);
    // Fixed cells are never edited.
    grid->Col = 0;
    grid->EditorMode = true;
    EXPECT_FALSE(grid->EditorMode);
}

TEST_F(Grids, TabMovesAcrossCellsWhenTheGridTakesTabs) {
    auto next = new TEdit(form.get());
    next->Parent = form.get();
    form->Show();
    grid->SetFocus();
    grid->Col = 5;
    form->SendKey(VK_TAB);  // without goTabs the form moves on
    EXPECT_TRUE(next->Focused());
    grid->SetFocus();
    grid->Options = grid->Options.Get() << goTabs;
    form->SendKey(VK_TAB);  // the last column wraps to the next row
    EXPECT_EQ(grid->Col, 1);
    EXPECT_EQ(grid->Row, 2);
    form->SendKey(VK_TAB, TShiftState{ssShift});
    EXPECT_EQ(grid->Col, 5);
    EXPECT_EQ(grid->Row, 1);
}

TEST_F(Grids, PaintingDrawsEveryVisibleCellWithItsState) {
    auto draw = std::make_unique<TDrawGrid>(nullptr);
    draw->Parent = form.get();
    draw->BorderStyle = bsNone;
    draw->ScrollBars = ssNone;
    draw->FixedCols = 0;
    draw->FixedRows = 0;
    draw->GridLineWidth = 0;
    draw->DefaultColWidth = 42;
    draw->DefaultRowHeight = 42;
    draw->ColCount = 50;
    draw->RowCount = 50;
    draw->SetBounds(0, 0, 42 * 3 + 10, 42 * 2);
    draw->Selection = TGridRect{1, 0, 2, 1};
    std::vector<std::string> cells;
    draw->OnDrawCell = [&](TObject*, int c, int r, TRect rect, TGridDrawState state) {
        cells.push_back(std::to_string(c) + "," + std::to_string(r) + "@" + std::to_string(rect.Left) + "," +
                        std::to_string(rect.Top) + (state.Contains(gdSelected) ? " sel" : "") +
                        (state.Contains(gdFixed) ? " fixed" : ""));
    };
    EXPECT_EQ(draw->VisibleColCount(), 3);
    draw->Repaint();
    EXPECT_EQ(cells, (std::vector<std::string>{"0,0@0,0", "1,0@42,0 sel", "2,0@84,0 sel", "3,0@126,0",
                                               "0,1@0,42", "1,1@42,42 sel", "2,1@84,42 sel", "3,1@126,42"}));
    // The selected cells are filled with the highlight before OnDrawCell.
    auto fills = draw->Canvas->Recording().CallsOf(TPaintOp::FillRect);
    ASSERT_GE(fills.size(), 3u);
    EXPECT_EQ(fills[2].Rect, Rect(42, 0, 84, 42));
    EXPECT_EQ(fills[2].State.Brush.Color, ColorToRGB(clHighlight));

    // A string grid writes its texts.
    grid->Cells[1][1] = "Presa";
    grid->Repaint();
    auto texts = grid->Canvas->Recording().Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Presa"), texts.end());
}

TEST_F(Grids, ResizingKeepsTheTexts) {
    grid->Cells[3][4] = "x";
    grid->ColCount = 4;
    EXPECT_EQ(grid->Cells[3][4], "x");
    grid->ColCount = 3;
    EXPECT_EQ(grid->Cell(3, 4), "");  // outside the grid reads as empty
    EXPECT_THROW(grid->Cells[3][4] = "y", EInvalidOperation);
    grid->ColCount = 5;
    EXPECT_EQ(grid->Cells[3][4], "");
    EXPECT_THROW(grid->FixedCols = 5, EInvalidOperation);
    TStringList row;
    row.Add("a");
    row.Add("b");
    grid->SetRow(2, row);
    EXPECT_EQ(grid->Cells[1][2], "b");
    EXPECT_EQ(grid->Cells[2][2], "");
}

// Scroll bars show only along a direction whose cells do not all fit, and
// the client area gives up their room only then; one bar may bring the other.
TEST_F(Grids, ScrollBarsShowOnlyWhenTheCellsDoNotFit) {
    struct Case {
        TScrollStyle bars;
        int cols, colWidth, rows;
        int clientWidth, clientHeight;
    };
    // The grid is 200 x 100 with rows of 20: four rows take 83 pixels, five 104.
    const Case cases[] = {
        {ssBoth, 4, 40, 4, 200, 100},      // everything fits
        {ssBoth, 6, 40, 4, 200, 84},       // too wide: a horizontal bar
        {ssBoth, 4, 40, 10, 184, 100},     // too tall: a vertical bar
        {ssBoth, 4, 46, 10, 184, 84},      // the vertical bar leaves the columns too narrow a room
        {ssVertical, 6, 40, 4, 200, 100},  // the wide cells get no bar they are not allowed
        {ssNone, 6, 40, 10, 200, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.cols << " x " << c.colWidth << ", " << c.rows << " rows");
        grid->ScrollBars = c.bars;
        grid->ColCount = c.cols;
        grid->DefaultColWidth = c.colWidth;
        grid->RowCount = c.rows;
        EXPECT_EQ(grid->ClientWidth, c.clientWidth);
        EXPECT_EQ(grid->ClientHeight, c.clientHeight);
    }
    // Rows added under a grid scrolled to its end bring the bar; the view stays valid.
    grid->ScrollBars = ssBoth;
    grid->ColCount = 4;
    grid->DefaultColWidth = 40;
    grid->RowCount = 4;
    ASSERT_EQ(grid->ClientWidth, 200);
    grid->RowCount = 12;
    EXPECT_EQ(grid->ClientWidth, 184);
    grid->TopRow = 11;
    EXPECT_EQ(grid->TopRow, grid->RowCount - grid->VisibleRowCount());
    grid->RowCount = 3;
    EXPECT_EQ(grid->ClientWidth, 200);
    EXPECT_EQ(grid->TopRow, grid->FixedRows);
}
