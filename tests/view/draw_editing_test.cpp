// Editing a grid with the mouse in the drawing control: cables laid by
// dragging, the eraser, what a button press starts with each tool, graphic
// signs drawn, reshaped and moved, the in-place text editor, the popups and
// the port hints.
#include <gtest/gtest.h>

#include <memory>

#include "cells/cables.h"
#include "cells/head_end.h"
#include "document/copy_buffer.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/signs.h"
#include "document/undo.h"
#include "platform/application.h"
#include "platform/engines.h"
#include "platform/forms.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"
#include "support/stand_in_palette.h"
#include "support/test_cells.h"
#include "view/draw_window.h"

namespace {

// A control of a known size over the network grid of a new project, scrolled
// to its top-left corner, with a stand-in palette.
class DrawEditingTest : public GlobalsTest {
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
        Unmark();
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
        auto signOwned = std::make_unique<TSegnoGrafico>(grid);
        TSegnoGrafico* sign = signOwned.get();
        sign->Kind = kind;
        sign->X1 = x1;
        sign->Y1 = y1;
        sign->X2 = x2;
        sign->Y2 = y2;
        if (kind == SignText) sign->Text = "Scala A";
        EXPECT_TRUE(grid->AddSign(std::move(signOwned), false, 0));
        return sign;
    }

    // Forgets what the grid and project were marked with.
    void Unmark() {
        project.Modified = false;
        grid->NetworkOutOfDate = grid->RequiredOutOfDate = false;
        grid->ChannelsOutOfDate = grid->RequiredChannelsOutOfDate = false;
    }
    // The mask the grid was last marked with: 0 none, 1 the drawing only,
    // 15 every calculation.
    int Marked() const {
        if (!project.Modified) return 0;
        return grid->NetworkOutOfDate && grid->ChannelsOutOfDate ? 15 : 1;
    }
    TNCavo* CableAt(int32_t column, int32_t row) const {
        return dynamic_cast<TNCavo*>(grid->CellAt(column, row));
    }
    TNCavo* PutCable(int32_t column, int32_t row, int32_t orientation, uint8_t bend = 0) {
        auto cableOwned = std::make_unique<TNCavo>(grid, orientation, 0, column, row, bend, 0);
        auto* cable = cableOwned.get();
        EXPECT_TRUE(grid->InsertCell(std::move(cableOwned), false, 0));
        return cable;
    }

    ScopedPrototypes prototypes;
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

// ---- Cables ----

TEST_F(DrawEditingTest, DraggingACableLaysOnePiecePerSquareLeftBehind) {
    palette.Tool = ToolStraightCable;
    palette.Turn = 1;  // horizontal
    palette.Cable = clRed;
    Press(2, 3);
    EXPECT_EQ(window.LastColumn, 2);
    EXPECT_EQ(Marked(), 0);
    Drag(4, 3);  // two columns on in one move
    ASSERT_NE(CableAt(2, 3), nullptr);
    ASSERT_NE(CableAt(3, 3), nullptr);
    EXPECT_EQ(grid->CellAt(4, 3), nullptr);  // the mouse square waits for the next move
    for (int32_t c : {2, 3}) {
        EXPECT_EQ(CableAt(c, 3)->Bend, 0);
        EXPECT_EQ(CableAt(c, 3)->Orientation, 1);
        EXPECT_EQ(CableAt(c, 3)->Colour, clRed);
    }
    EXPECT_EQ(Marked(), 15);
    EXPECT_EQ(window.LastColumn, 4);
    EXPECT_EQ(window.PreviousColumn, 3);

    // Turning down: the square left behind gets the bend from the left to the bottom.
    Drag(4, 5);
    ASSERT_NE(CableAt(4, 3), nullptr);
    EXPECT_EQ(CableAt(4, 3)->Bend, 1);
    EXPECT_EQ(CableAt(4, 3)->Orientation, 0);
    EXPECT_EQ(CableAt(4, 4)->Orientation, 0);  // vertical straight

    // Back onto the previous square: drawing stops, nothing is removed.
    Drag(4, 4);
    EXPECT_EQ(window.LastColumn, -1);
    EXPECT_NE(CableAt(4, 4), nullptr);
    Drag(4, 7);
    EXPECT_EQ(grid->CellAt(4, 5), nullptr);
    Release(4, 7);

    // Leaving the row and the column stops as well.
    Press(10, 3);
    Drag(12, 5);
    EXPECT_EQ(window.LastColumn, -1);
    EXPECT_EQ(grid->CellAt(10, 3), nullptr);
    Release(12, 5);

    // Each piece is one undo step.
    EXPECT_EQ(grid->UndoList->GetMenuCaption(), "&Annulla inserimento");
    grid->UndoList->Undo();
    EXPECT_EQ(grid->CellAt(4, 4), nullptr);
    EXPECT_NE(grid->CellAt(4, 3), nullptr);
}

TEST_F(DrawEditingTest, FirstMoveChoosesThePieceByToolOrientationAndNeighbours) {
    enum Move { Right, Left, Up, Down };
    struct Case {
        int32_t tool, o;
        Move move;
        // Cells beside the start square (10, 5): above, below, left, right.
        bool above, below, left, right;
        int32_t row, column;  // the start square, when not (10, 5)
        TCablePiece piece;
    };
    const TCablePiece straightH{0, 1}, straightV{0, 0};
    // clang-format off
    const Case cases[] = {
        // Straight tool, horizontal: along the row straight; turning, the bend
        // from the left unless fed from the right.
        {17, 1, Right, false, false, false, false, 5, 10, straightH},
        {17, 3, Left, false, false, false, false, 5, 10, straightH},
        {17, 1, Up, false, false, true, false, 5, 10, {1, 1}},
        {17, 1, Down, false, false, true, false, 5, 10, {1, 0}},
        {17, 1, Up, false, false, false, true, 5, 10, {1, 2}},
        {17, 1, Down, false, false, false, true, 5, 10, {1, 3}},
        {17, 1, Up, false, false, false, false, 5, 0, {1, 2}},     // column 0
        {17, 1, Down, false, false, false, true, 5, 74, {1, 0}},   // last column
        {17, 1, Up, false, false, true, true, 5, 10, {1, 1}},      // left not empty
        // Straight tool, vertical: along the column straight; turning, the
        // bend from the top unless fed from below.
        {17, 0, Up, false, false, false, false, 5, 10, straightV},
        {17, 2, Down, false, false, false, false, 5, 10, straightV},
        {17, 0, Right, true, false, false, false, 5, 10, {1, 2}},
        {17, 0, Left, true, false, false, false, 5, 10, {1, 1}},
        {17, 0, Right, false, true, false, false, 5, 10, {1, 3}},
        {17, 0, Left, false, true, false, false, 5, 10, {1, 0}},
        {17, 0, Right, false, false, false, false, 74, 10, {1, 2}},  // last row
        {17, 0, Right, true, true, false, false, 5, 10, {1, 2}},     // above not empty
        // Bend tool: by the orientation alone.
        {18, 1, Right, false, false, false, false, 5, 10, {1, 2}},
        {18, 2, Right, false, false, false, false, 5, 10, {1, 2}},
        {18, 0, Right, false, false, false, false, 5, 10, {1, 3}},
        {18, 3, Right, false, false, false, false, 5, 10, {1, 3}},
        {18, 1, Left, false, false, false, false, 5, 10, {1, 1}},
        {18, 0, Left, false, false, false, false, 5, 10, {1, 0}},
        {18, 0, Up, false, false, false, false, 5, 10, {1, 1}},
        {18, 2, Up, false, false, false, false, 5, 10, {1, 2}},
        {18, 1, Down, false, false, false, false, 5, 10, {1, 0}},
        {18, 3, Down, false, false, false, false, 5, 10, {1, 3}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "tool " << c.tool << " o " << c.o << " move " << c.move << " at "
                                          << c.column << "," << c.row);
        TGridData g(nullptr, 75, 75, GridSymbol);  // every row usable
        window.SetGrid(&g);
        auto put = [&](int32_t col, int32_t row) {
            if (g.Inside(col, row)) g.InsertCell(std::make_unique<TCellaProva>(nullptr, col, row), false, 0);
        };
        if (c.above) put(c.column, c.row - 1);
        if (c.below) put(c.column, c.row + 1);
        if (c.left) put(c.column - 1, c.row);
        if (c.right) put(c.column + 1, c.row);
        palette.Tool = c.tool;
        window.LastColumn = window.PreviousColumn = c.column;
        window.LastRow = window.PreviousRow = c.row;
        window.StartOrientation = c.o;
        const int32_t dc = c.move == Right ? 1 : c.move == Left ? -1 : 0;
        const int32_t dr = c.move == Down ? 1 : c.move == Up ? -1 : 0;
        const TCablePiece piece = window.PieceForMove(dc, dr);
        EXPECT_EQ(piece.Bend, c.piece.Bend);
        EXPECT_EQ(piece.Orientation, c.piece.Orientation);
        window.SetGrid(grid);
    }
    window.LastColumn = -1;
}

TEST_F(DrawEditingTest, NewPiecesTakeThePrototypesArticleOnlyWhileTheFlagIsSet) {
    TCella* prototype = TNCavo(grid, 1, 0, 0, 0, 0, 0).GetPrototype();
    ASSERT_NE(prototype, nullptr);
    const AnsiString saved = prototype->Code;
    prototype->Code = "CAVO-5";
    palette.Tool = ToolStraightCable;
    palette.Turn = 1;
    palette.Cable = clBlue;
    Press(2, 3);
    Drag(3, 3);
    Release(3, 3);
    EXPECT_EQ(CableAt(2, 3)->Code, "");
    palette.TakeData = true;
    Press(2, 6);
    Drag(3, 6);
    Release(3, 6);
    EXPECT_EQ(CableAt(2, 6)->Code, "CAVO-5");
    EXPECT_EQ(CableAt(2, 6)->Colour, clBlue);  // the palette's colour over the prototype's
    prototype->Code = saved;
}

// ---- Eraser ----

TEST_F(DrawEditingTest, EraserRemovesAlongTheDragButNeverTheTerminal) {
    palette.Tool = ToolEraser;
    ASSERT_NE(grid->Anchor, nullptr);
    const int32_t ac = grid->Anchor->Column, ar = grid->Anchor->Row;
    window.CenterOn(ac, ar);
    Unmark();
    Press(ac, ar);
    Release(ac, ar);
    EXPECT_EQ(grid->CellAt(ac, ar), grid->Anchor);
    EXPECT_EQ(Marked(), 0);

    window.LeftCol = 0;
    window.TopRow = 0;
    // Crossing cables on (4, 4): the horizontal stands on the square, the
    // vertical over it.
    TNCavo* horizontal = PutCable(4, 4, 1);
    TNCavo* vertical = PutCable(4, 4, 0);
    ASSERT_EQ(grid->CellAt(4, 4), horizontal);
    ASSERT_EQ(horizontal->Overlay, vertical);
    PutCable(5, 4, 1);
    Press(3, 4);  // an empty square: only the start
    Drag(4, 4);   // a horizontal move takes the square's cable
    EXPECT_EQ(grid->CellAt(4, 4), vertical);
    EXPECT_EQ(Marked(), 15);
    Drag(5, 4);
    EXPECT_EQ(grid->CellAt(5, 4), nullptr);
    Release(5, 4);
    EXPECT_EQ(grid->UndoList->GetMenuCaption(), "&Annulla cancellazione");
    grid->UndoList->Undo();
    EXPECT_NE(grid->CellAt(5, 4), nullptr);

    TNCavo* across = PutCable(7, 6, 1);
    TNCavo* down = PutCable(7, 6, 0);
    (void)down;
    Press(7, 5);
    Drag(7, 6);  // a vertical move takes the stacked one
    EXPECT_EQ(grid->CellAt(7, 6), across);
    EXPECT_EQ(across->Overlay, nullptr);
    Release(7, 6);
}

// ---- The press table ----

// A cell whose data dialog answers as the test says.
class TDialogCell : public TCellaProva {
public:
    using TCellaProva::TCellaProva;
    bool OpenDataDialog() override {
        ++opened;
        return answer;
    }
    int opened = 0;
    bool answer = true;
};

TEST_F(DrawEditingTest, PressWithAComponentToolInsertsTheFactorysCell) {
    ScopedTestCellClass testClass;
    palette.Tool = 6;
    palette.Make = [](TGridData* g, int32_t c, int32_t r) { return std::make_unique<TCellaProva>(g, c, r); };
    Press(4, 5);
    Release(4, 5);
    EXPECT_EQ(palette.Created, 1);
    ASSERT_NE(grid->CellAt(4, 5), nullptr);
    EXPECT_EQ(Marked(), 15);

    // A cell the grid refuses (row 0 of a network) changes and marks nothing.
    Unmark();
    Press(4, 0);
    Release(4, 0);
    EXPECT_EQ(palette.Created, 2);
    EXPECT_EQ(grid->CellAt(4, 0), nullptr);
    EXPECT_EQ(Marked(), 0);

    // A tool without a cell: nothing.
    palette.Make = nullptr;
    Press(6, 5);
    EXPECT_EQ(grid->CellAt(6, 5), nullptr);
    EXPECT_EQ(Marked(), 0);

    // Nothing is placed at step 2.
    palette.Make = [](TGridData* g, int32_t c, int32_t r) { return std::make_unique<TCellaProva>(g, c, r); };
    project.Step = 2;
    Press(8, 5);
    EXPECT_EQ(grid->CellAt(8, 5), nullptr);
}

TEST_F(DrawEditingTest, PressWithACableToolStartsOnlyOnAnEmptySquareOrACable) {
    ScopedTestCellClass testClass;
    auto partOwned = std::make_unique<TCellaProva>(nullptr, 6, 5);
    auto* part = partOwned.get();
    ASSERT_TRUE(grid->InsertCell(std::move(partOwned), false, 0));
    TNCavo* bend = PutCable(3, 5, 2, 1);
    palette.Tool = ToolStraightCable;
    palette.Turn = 3;

    Press(6, 5);  // a component: no drawing
    EXPECT_EQ(window.LastColumn, -1);
    Drag(8, 5);
    EXPECT_EQ(grid->CellAt(6, 5), part);
    EXPECT_EQ(grid->CellAt(7, 5), nullptr);
    Release(8, 5);

    Press(3, 5);  // a cable: its orientation
    EXPECT_EQ(window.LastColumn, 3);
    EXPECT_EQ(window.StartOrientation, bend->Orientation);
    Release(3, 5);
    EXPECT_EQ(grid->CellAt(3, 5), bend);  // a click on a cable lays nothing

    Press(10, 5);  // an empty square: the tool's orientation, rotation mod 2
    EXPECT_EQ(window.StartOrientation, 1);
    palette.Tool = ToolBendCable;
    Press(10, 5);
    EXPECT_EQ(window.StartOrientation, 3);
    // Released where it was pressed: one piece made by the factory.
    palette.Make = [](TGridData* g, int32_t c, int32_t r) {
        return std::make_unique<TNCavo>(g, 3, 0, c, r, 1, 0);
    };
    Release(10, 5);
    ASSERT_NE(CableAt(10, 5), nullptr);
    EXPECT_EQ(CableAt(10, 5)->Bend, 1);
    EXPECT_EQ(Marked(), 15);
    EXPECT_EQ(window.LastColumn, -1);
}

TEST_F(DrawEditingTest, DoubleClickOpensTheCellsDataAndOkMarksTheProject) {
    auto cellOwned = std::make_unique<TDialogCell>(nullptr, 5, 5);
    auto* cell = cellOwned.get();
    ASSERT_TRUE(grid->InsertCell(std::move(cellOwned), false, 0));
    struct Case {
        int32_t step, tool;
        bool answer;
        int opened, marked;
    };
    const Case cases[] = {
        {2, 17, true, 1, 15},
        {2, 0, false, 1, 0},
        {1, 0, true, 1, 15},
        {1, 17, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "step " << c.step << " tool " << c.tool);
        project.Step = c.step;
        palette.Tool = c.tool;
        cell->opened = 0;
        cell->answer = c.answer;
        Unmark();
        TPoint p = At(5, 5);
        window.DoubleClickAt(p.x, p.y);
        EXPECT_EQ(cell->opened, c.opened);
        EXPECT_EQ(Marked(), c.marked);
        EXPECT_EQ(grid->CellAt(5, 5), cell);
        window.LastColumn = -1;
    }
}

// ---- Marking ----

TEST_F(DrawEditingTest, RecolouringAndClearingDescriptionsMarkTheGrid) {
    TNCavo* a = PutCable(3, 5, 1);
    TNCavo* b = PutCable(4, 5, 1);
    palette.Tool = ToolStraightCable;
    palette.Cable = clGreen;
    TPoint p = At(3, 5);
    window.ClickAt(p.x, p.y, TShiftState{ssAlt});
    EXPECT_EQ(a->Colour, clGreen);
    EXPECT_EQ(b->Colour, clGreen);
    EXPECT_EQ(Marked(), 1);
    Unmark();
    window.ClickAt(p.x, p.y);  // without Alt nothing is recoloured
    EXPECT_EQ(Marked(), 0);

    // The chains the clear operations walk: the anchor, the two cables and
    // an outlet-like cell.
    auto outletOwned = std::make_unique<TCellaProva>(nullptr, 8, 8);
    auto* outlet = outletOwned.get();
    ASSERT_TRUE(grid->InsertCell(std::move(outletOwned), false, 0));
    grid->Anchor->NextCell = a;
    a->NextCell = b;
    b->NextCell = outlet;
    grid->FirstOutlet = outlet;
    struct Case {
        const char* what;
        void (TDrawWindow::*clear)();
        std::vector<TCella*> described, cleared, kept;
    };
    // clang-format off
    const Case cases[] = {
        {"cables", &TDrawWindow::ClearCableDescriptions, {a, b, outlet}, {a, b}, {outlet}},
        {"outlets", &TDrawWindow::ClearOutletDescriptions, {a, outlet}, {outlet}, {a}},
        {"all", &TDrawWindow::ClearAllDescriptions, {a, outlet, grid->Anchor}, {a, outlet}, {grid->Anchor}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (TCella* cell : c.described) cell->Described = 1;
        Unmark();
        (window.*c.clear)();
        for (TCella* cell : c.cleared) EXPECT_EQ(cell->Described, 0);
        for (TCella* cell : c.kept) EXPECT_EQ(cell->Described, 1);
        EXPECT_EQ(Marked(), 15);
        // Nothing described any more: nothing is marked.
        Unmark();
        (window.*c.clear)();
        EXPECT_EQ(Marked(), 0);
    }
    grid->Anchor->NextCell = nullptr;
    a->NextCell = b->NextCell = nullptr;
    grid->FirstOutlet = nullptr;
}

TEST_F(DrawEditingTest, LineCountPopupOnTheTerminalChangesAndMarksOnlyANewCount) {
    auto* head = dynamic_cast<TTesta*>(grid->Anchor);
    ASSERT_NE(head, nullptr);
    window.CenterOn(head->Column, head->Row);
    const int32_t before = head->NumThroughOutputs;
    TPoint p = At(head->Column, head->Row);
    // Its current count is ticked; choosing it changes nothing.
    Application->Script().AnswerPopup(IntToStr(before) + (before == 1 ? " linea" : " linee"));
    window.RightClickAt(p.x, p.y);
    ASSERT_FALSE(Application->Script().Popups.empty());
    EXPECT_EQ(Application->Script().Popups.back().Menu, window.LinesPopup);
    EXPECT_TRUE(window.LinesPopup->Items->Items[before - 1]->Checked);
    EXPECT_EQ(Marked(), 0);
    Application->Script().AnswerPopup("3 linee");
    window.RightClickAt(p.x, p.y);
    EXPECT_EQ(head->NumThroughOutputs, 3);
    EXPECT_EQ(Marked(), 15);
    // Elsewhere, or at step 2, the edit popup opens.
    Application->Script().Reset();
    project.Step = 2;
    window.RightClickAt(p.x, p.y);
    ASSERT_FALSE(Application->Script().Popups.empty());
    EXPECT_EQ(Application->Script().Popups.back().Menu, window.EditPopup);
    Application->Script().Reset();
}

// ---- The edit popup ----

TEST_F(DrawEditingTest, EditPopupShowsAndEnablesItsItemsByStepBlockSelectionAndUndo) {
    TSegnoGrafico* sign = AddSign(SignLine, 100, 10, 300, 10);  // in row 0
    struct Case {
        int32_t step;
        TGridRect block;
        bool signSelected, undoEmpty;
        bool blockCommands;  // cut, copy, delete
    };
    const TGridRect usable{2, 3, 4, 5}, rowZero{2, 0, 4, 3};
    // clang-format off
    const Case cases[] = {
        {1, usable, false, true, true},   {1, usable, false, false, true}, {1, rowZero, false, true, false},
        {1, rowZero, true, false, true},  {1, usable, true, true, true},   {2, usable, false, false, true},
        {2, rowZero, true, true, true},
    };
    // clang-format on
    const auto c = std::make_unique<TCellaProva>(nullptr, 3, 4);
    ScopedTestCellClass testClass;  // so that the buffer can clone it
    ASSERT_TRUE(grid->InsertCell(std::make_unique<TCellaProva>(nullptr, 1, 1), false, 0));
    for (const Case& k : cases) {
        SCOPED_TRACE(::testing::Message() << "step " << k.step << " top " << k.block.Top << " sign "
                                          << k.signSelected << " undo empty " << k.undoEmpty);
        project.Step = k.step;
        grid->UndoList->Clear();
        if (!k.undoEmpty) {
            ASSERT_TRUE(grid->InsertCell(c->Clone(), true, CaptionInsertion));
        }
        window.Selection = k.block;
        window.ClearSignSelection();
        if (k.signSelected) window.SelectSign(sign);
        window.EditPopup->Popup(0, 0);
        const bool drawing = k.step == 1;
        for (TMenuItem* item : {window.ItemCopyData, window.ItemCopyTo, window.ItemCopyToAll})
            EXPECT_EQ(item->Visible.Get(), !drawing) << item->Caption.Get();
        for (TMenuItem* item :
             {window.ItemUndo, window.ItemSeparator, window.ItemCut, window.ItemCopy, window.ItemPaste,
              window.ItemPasteMirrored, window.ItemPasteRotated, window.ItemDelete})
            EXPECT_EQ(item->Visible.Get(), drawing) << item->Caption.Get();
        EXPECT_EQ(window.ItemUndo->Caption.Get(), k.undoEmpty ? "&Annulla" : "&Annulla inserimento");
        EXPECT_EQ(window.ItemUndo->Enabled.Get(), !k.undoEmpty);
        for (TMenuItem* item : {window.ItemCut, window.ItemCopy, window.ItemDelete})
            EXPECT_EQ(item->Enabled.Get(), k.blockCommands) << item->Caption.Get();
        // Pastes need a usable block and something in the copy buffer.
        for (bool empty : {true, false}) {
            grid->CopyBuffer->Clear();
            if (!empty) grid->CopyBuffer->Copy(grid, TCellRect{1, 1, 2, 2});
            if (!empty) ASSERT_FALSE(grid->CopyBuffer->Empty());
            window.EditPopup->Popup(0, 0);
            const bool pastes = k.block.Top > 0 && !empty;
            for (TMenuItem* item : {window.ItemPaste, window.ItemPasteMirrored, window.ItemPasteRotated})
                EXPECT_EQ(item->Enabled.Get(), pastes) << item->Caption.Get() << " empty " << empty;
        }
        grid->CopyBuffer->Clear();
    }

    // "&Elimina" over the block with the sign selected: the sign goes, the
    // terminal stays, and one undo brings the sign back.
    project.Step = 1;
    ASSERT_NE(grid->Anchor, nullptr);
    TCella* anchor = grid->Anchor;
    window.Selection = TGridRect{0, 0, anchor->Column + 1, anchor->Row + 1};
    window.SelectSign(sign);
    grid->UndoList->Clear();
    Unmark();
    window.DeleteClick();
    EXPECT_EQ(grid->Signs->Count(), 0);
    EXPECT_EQ(window.SelectedSigns.Count(), 0);
    EXPECT_EQ(grid->CellAt(anchor->Column, anchor->Row), anchor);
    EXPECT_EQ(Marked(), 15);
    EXPECT_EQ(grid->UndoList->GetMenuCaption(), "&Annulla elimina");
    window.UndoClick();
    EXPECT_EQ(grid->Signs->Count(), 1);
}

TEST_F(DrawEditingTest, CutCopyAndPasteFromThePopupAreOneStepEach) {
    ScopedTestCellClass testClass;
    auto partOwned = std::make_unique<TCellaProva>(nullptr, 2, 3);
    auto* part = partOwned.get();
    ASSERT_TRUE(grid->InsertCell(std::move(partOwned), false, 0));
    TScript& script = Application->Script();
    auto popupAt = [&](int32_t column, int32_t row, const AnsiString& item) {
        TPoint p = At(column, row);
        script.AnswerPopup(item);
        window.RightClickAt(p.x, p.y);
    };
    window.Selection = TGridRect{2, 3, 3, 4};
    popupAt(2, 3, "&Copia");
    EXPECT_EQ(grid->CellAt(2, 3), part);
    popupAt(6, 5, "&Incolla");
    ASSERT_NE(grid->CellAt(6, 5), nullptr);
    EXPECT_NE(grid->CellAt(6, 5), part);
    EXPECT_EQ(window.Selection.Get(), (TGridRect{6, 5, 6, 5}));
    EXPECT_EQ(Marked(), 15);
    EXPECT_EQ(grid->UndoList->GetMenuCaption(), "&Annulla incolla");
    // The undo item reads as the step it undoes.
    popupAt(6, 5, "&Annulla incolla");
    EXPECT_EQ(grid->CellAt(6, 5), nullptr);

    window.Selection = TGridRect{2, 3, 3, 4};
    popupAt(2, 3, "&Taglia");
    EXPECT_EQ(grid->CellAt(2, 3), nullptr);
    EXPECT_EQ(grid->UndoList->GetMenuCaption(), "&Annulla taglia");
    popupAt(8, 8, "Incolla &speculare");
    EXPECT_NE(grid->CellAt(9, 8), nullptr);  // the block's left column lands on its right
    popupAt(8, 8, "&Annulla incolla");
    popupAt(8, 8, "&Annulla taglia");
    EXPECT_NE(grid->CellAt(2, 3), nullptr);  // the cut undone

    // The same item run from elsewhere (the main menu) pastes on the focused square.
    window.Selection = TGridRect{10, 9, 10, 9};
    window.ItemPaste->Click();
    EXPECT_NE(grid->CellAt(10, 9), nullptr);
    script.Reset();
}

// ---- Port hints ----

TEST_F(DrawEditingTest, HintShowsThePortAfterHalfASecondAndGoesWhenTheMouseLeaves) {
    auto cellOwned = std::make_unique<TCellaProva>(nullptr, 5, 5);
    auto* cell = cellOwned.get();
    ASSERT_TRUE(grid->InsertCell(std::move(cellOwned), false, 0));
    TScript& script = Application->Script();
    const TRect square = window.CellRect(5, 5);
    const TPoint over(square.Left + 21, square.Top + 8);  // the upper half: the input
    Screen->SetCursorPos(window.ClientToScreen(over));

    // Off, nothing shows.
    window.MouseMove(TShiftState{}, over.x, over.y);
    script.AdvanceClock(600);
    EXPECT_FALSE(window.HintWindow->Visible);

    window.HintsActive = true;
    window.MouseMove(TShiftState{}, over.x + 1, over.y);
    EXPECT_TRUE(window.HintDelay->Enabled);
    script.AdvanceClock(499);
    EXPECT_FALSE(window.HintWindow->Visible);
    script.AdvanceClock(1);
    ASSERT_TRUE(window.HintWindow->Visible);
    EXPECT_FALSE(window.HintDelay->Enabled);
    ASSERT_GE(window.HintWindow->Lines->Count(), 2);
    EXPECT_EQ(window.HintWindow->Lines->Strings(0), "ingresso");
    EXPECT_NE(window.HintWindow->Lines->Strings(1).find("componente non definito"), std::string::npos);
    // Below and right of the pointer, inside the control, over the squares it records.
    const TRect hint = window.HintWindow->BoundsRect();
    EXPECT_GT(hint.Left, over.x);
    EXPECT_GT(hint.Top, over.y);
    EXPECT_LE(hint.Right, window.ClientWidth.Get());
    EXPECT_LE(hint.Bottom, window.ClientHeight.Get());
    EXPECT_EQ(window.HintArea.Left, 5);
    EXPECT_EQ(window.HintArea.Top, 5);
    EXPECT_GE(window.HintArea.Right, 5);

    // Over no cell but within 10 pixels of the window it stays; farther it goes.
    const TPoint near(hint.Left + 30, hint.Top - 6);
    ASSERT_EQ(grid->CellAt(6, 5), nullptr);
    window.MouseMove(TShiftState{}, near.x, near.y);
    ASSERT_EQ(window.MouseInfo.Column, 6);
    EXPECT_TRUE(window.HintWindow->Visible);
    window.MouseMove(TShiftState{}, square.Left + 21, square.Top + 21 + 4 * 43);
    EXPECT_FALSE(window.HintWindow->Visible);
    EXPECT_EQ(window.HintArea, TRect(0, 0, -1, -1));

    // The watch hides it once the pointer is off the control and the window.
    window.MouseMove(TShiftState{}, over.x, over.y);
    script.AdvanceClock(500);
    ASSERT_TRUE(window.HintWindow->Visible);
    script.AdvanceClock(1000);
    EXPECT_TRUE(window.HintWindow->Visible);
    Screen->SetCursorPos(window.ClientToScreen(TPoint(-50, -50)));
    script.AdvanceClock(1000);
    EXPECT_FALSE(window.HintWindow->Visible);
    Screen->SetCursorPos(TPoint(0, 0));
}

// ---- Graphic signs ----

// The mouse at grid pixels (the units signs are stored in): squares show 42
// pixels wide with a grid line after each, so a grid pixel x is at
// x * 43 / 42 on the control scrolled to its origin.
class DrawSignsTest : public DrawEditingTest {
protected:
    static int ScreenOf(int32_t v) { return (v * 43 + 41) / 42; }
    void PressAt(int32_t x, int32_t y, TShiftState shift = {}) {
        window.MouseDown(mbLeft, shift + TShiftState{ssLeft}, ScreenOf(x), ScreenOf(y));
    }
    void DragTo(int32_t x, int32_t y) { window.MouseMove(TShiftState{ssLeft}, ScreenOf(x), ScreenOf(y)); }
    void ReleaseAt(int32_t x, int32_t y) { window.MouseUp(mbLeft, TShiftState{}, ScreenOf(x), ScreenOf(y)); }
    void ClickAt(int32_t x, int32_t y) { window.ClickAt(ScreenOf(x), ScreenOf(y)); }
    std::vector<TSegnoGrafico*> Signs() const {
        std::vector<TSegnoGrafico*> all;
        for (TSegnoGrafico* s = grid->Signs->head; s; s = s->Next) all.push_back(s);
        return all;
    }
};

TEST_F(DrawSignsTest, NewLinesAndRectanglesAreStoredOrderedInThePalettesStyle) {
    struct Case {
        int32_t tool;
        TPoint from, to;
        int32_t x1, y1, x2, y2;
    };
    // clang-format off
    const Case cases[] = {
        {ToolLine, {100, 90}, {220, 150}, 100, 90, 220, 150},
        {ToolLine, {220, 150}, {100, 90}, 100, 90, 220, 150},   // ends swapped: x1 <= x2
        {ToolRectangle, {220, 60}, {100, 150}, 100, 60, 220, 150},  // corners normalised
    };
    // clang-format on
    palette.Graphic = clRed;
    palette.Width = 3;
    palette.Style = psDash;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);
        grid->Signs->Clear();
        Unmark();
        palette.Tool = c.tool;
        PressAt(c.from.x, c.from.y);
        EXPECT_EQ(window.SignMode, SignDrawingNew);
        DragTo((c.from.x + c.to.x) / 2, c.to.y);
        DragTo(c.to.x, c.to.y);
        ReleaseAt(c.to.x, c.to.y);
        EXPECT_EQ(window.SignMode, SignIdle);
        auto signs = Signs();
        ASSERT_EQ(signs.size(), 1u);
        const TSegnoGrafico& sign = *signs[0];
        EXPECT_EQ(sign.Kind, c.tool == ToolLine ? SignLine : SignRectangle);
        EXPECT_EQ(TPoint(sign.X1, sign.Y1), TPoint(c.x1, c.y1));
        EXPECT_EQ(TPoint(sign.X2, sign.Y2), TPoint(c.x2, c.y2));
        EXPECT_EQ(sign.Pen->Color.Get(), clRed);
        EXPECT_EQ(sign.Pen->Width.Get(), 3);
        EXPECT_EQ(sign.Pen->Style.Get(), psDash);
        EXPECT_EQ(Marked(), 1);
        EXPECT_EQ(grid->UndoList->GetMenuCaption(), "&Annulla inserimento");
    }
    // A click without a drag draws nothing.
    grid->Signs->Clear();
    Unmark();
    PressAt(300, 200);
    ReleaseAt(300, 200);
    EXPECT_TRUE(Signs().empty());
    EXPECT_EQ(Marked(), 0);
}

TEST_F(DrawSignsTest, PressWithTheArrowSelectsReshapesOrMovesSigns) {
    TSegnoGrafico* line = AddSign(SignLine, 50, 60, 200, 60);
    TSegnoGrafico* box = AddSign(SignRectangle, 260, 170, 340, 250);
    palette.Tool = ToolArrow;

    // A sign not selected: selected at once, mode 2; Shift adds another.
    PressAt(120, 60);
    EXPECT_EQ(window.SignMode, SignPressedOther);
    EXPECT_TRUE(window.SelectedSigns.Contains(line));
    ReleaseAt(120, 60);
    PressAt(300, 170, TShiftState{ssShift});
    EXPECT_EQ(window.SelectedSigns.Count(), 2);
    ReleaseAt(300, 170);
    EXPECT_EQ(window.SelectedSigns.Count(), 2);
    // No sign under the press: the selection is cleared, and the block
    // selection follows the drag.
    PressAt(150, 300);
    EXPECT_EQ(window.SelectedSigns.Count(), 0);
    DragTo(240, 350);
    EXPECT_EQ(window.Selection.Get(), (TGridRect{3, 7, 5, 8}));
    ReleaseAt(240, 350);

    // A sign tool pressed on a selected sign acts as the arrow; elsewhere it
    // starts a new sign.
    window.SelectSign(line);
    palette.Tool = ToolLine;
    PressAt(120, 60);
    EXPECT_EQ(window.SignMode, SignPressedSelected);
    EXPECT_EQ(window.CurrentSign, nullptr);
    ReleaseAt(120, 60);
    palette.Tool = ToolArrow;
    window.ClearSignSelection();

    // A selected sign off its handles: mode 1; a click leaves it as it was.
    PressAt(120, 60);
    ReleaseAt(120, 60);
    Unmark();
    PressAt(120, 60);
    EXPECT_EQ(window.SignMode, SignPressedSelected);
    ReleaseAt(120, 60);
    EXPECT_EQ(Signs().size(), 2u);
    EXPECT_EQ(Signs()[0], line);
    EXPECT_EQ(Marked(), 0);

    // A handle of the selected line: its end follows the mouse.
    PressAt(200, 61);
    EXPECT_EQ(window.SignMode, SignReshaping);
    ASSERT_NE(window.CurrentSign, nullptr);
    EXPECT_EQ(TPoint(window.CurrentSign->X1, window.CurrentSign->Y1), TPoint(50, 60));
    DragTo(230, 120);
    ReleaseAt(230, 120);
    auto signs = Signs();
    ASSERT_EQ(signs.size(), 2u);
    TSegnoGrafico* reshaped = signs[1];
    EXPECT_EQ(TPoint(reshaped->X1, reshaped->Y1), TPoint(50, 60));
    EXPECT_EQ(TPoint(reshaped->X2, reshaped->Y2), TPoint(230, 120));
    EXPECT_TRUE(window.SelectedSigns.Contains(reshaped));
    EXPECT_EQ(Marked(), 1);
    // One step puts the old line back.
    EXPECT_EQ(grid->UndoList->GetMenuCaption(), "&Annulla ridimensionamento");
    const int records = grid->UndoList->Count();
    grid->UndoList->Undo();
    EXPECT_EQ(grid->UndoList->Count(), records - 2);
    ASSERT_EQ(Signs().size(), 2u);
    EXPECT_EQ(TPoint(Signs()[1]->X2, Signs()[1]->Y2), TPoint(200, 60));
    EXPECT_EQ(window.SelectedSigns.Count(), 0);  // the reshaped line left with its selection
    line = Signs()[1];
    window.SelectSign(line);
    PressAt(200, 61);
    DragTo(230, 120);
    ReleaseAt(230, 120);

    // Grabbing the first end of a line makes it the moving one.
    Unmark();
    PressAt(50, 60);
    ASSERT_EQ(window.SignMode, SignReshaping);
    EXPECT_EQ(TPoint(window.CurrentSign->X1, window.CurrentSign->Y1), TPoint(230, 120));
    DragTo(20, 100);
    ReleaseAt(20, 100);
    reshaped = Signs()[1];
    EXPECT_EQ(TPoint(reshaped->X1, reshaped->Y1), TPoint(20, 100));  // still ordered
    EXPECT_EQ(TPoint(reshaped->X2, reshaped->Y2), TPoint(230, 120));

    // Moving the selection: both signs by the mouse's displacement.
    PressAt(300, 170, TShiftState{ssShift});
    ReleaseAt(300, 170);
    ASSERT_EQ(window.SelectedSigns.Count(), 2);
    Unmark();
    PressAt(300, 250);  // on the box's bottom edge, off its corners
    EXPECT_EQ(window.SignMode, SignPressedSelected);
    DragTo(320, 260);
    EXPECT_EQ(window.SignMode, SignMoving);
    EXPECT_EQ(window.MovingCopies.size(), 2u);
    DragTo(342, 292);
    ReleaseAt(342, 292);
    signs = Signs();
    ASSERT_EQ(signs.size(), 2u);
    for (TSegnoGrafico* sign : signs) EXPECT_TRUE(window.SelectedSigns.Contains(sign));
    const TSegnoGrafico* movedBox = signs[0]->Kind == SignRectangle ? signs[0] : signs[1];
    EXPECT_EQ(TPoint(movedBox->X1, movedBox->Y1), TPoint(302, 212));
    EXPECT_EQ(TPoint(movedBox->X2, movedBox->Y2), TPoint(382, 292));
    EXPECT_TRUE(window.MovingCopies.empty());
    EXPECT_EQ(Marked(), 1);
    // One step moves both back.
    EXPECT_EQ(grid->UndoList->GetMenuCaption(), "&Annulla spostamento");
    grid->UndoList->Undo();
    signs = Signs();
    ASSERT_EQ(signs.size(), 2u);
    const TSegnoGrafico* back = signs[0]->Kind == SignRectangle ? signs[0] : signs[1];
    EXPECT_EQ(TPoint(back->X1, back->Y1), TPoint(260, 170));
    EXPECT_EQ(window.SelectedSigns.Count(), 0);
    (void)box;
}

TEST_F(DrawSignsTest, TextIsTypedInPlaceAndAnEmptyTextLeavesNoSign) {
    palette.Tool = ToolText;
    palette.Graphic = clBlue;
    palette.Font = "Arial";
    palette.Size = 12;
    ClickAt(130, 100);
    EXPECT_EQ(window.SignMode, SignDrawingNew);  // kept while the text is typed
    ASSERT_TRUE(window.Editor->Visible);
    EXPECT_EQ(window.Editor->Left, (130 * 43 + 21) / 42);
    EXPECT_EQ(window.Editor->Top, (100 * 43 + 21) / 42);
    EXPECT_EQ(window.Editor->Font->Name.Get(), "Arial");
    EXPECT_EQ(window.Editor->Font->Color.Get(), clBlue);
    window.Editor->Text = "Scala B";
    window.Canvas->Font->Assign(*window.Editor->Font);
    EXPECT_EQ(window.Editor->Width, window.Canvas->TextWidth("Scala BMM"));
    char enter = '\r';
    window.Editor->KeyPress(enter);
    EXPECT_FALSE(window.Editor->Visible);
    auto signs = Signs();
    ASSERT_EQ(signs.size(), 1u);
    EXPECT_EQ(signs[0]->Kind, SignText);
    EXPECT_EQ(signs[0]->Text, "Scala B");
    EXPECT_EQ(TPoint(signs[0]->X1, signs[0]->Y1), TPoint(130, 100));
    EXPECT_GT(signs[0]->X2, signs[0]->X1);
    EXPECT_GT(signs[0]->Y2, signs[0]->Y1);
    EXPECT_EQ(signs[0]->Font->Color.Get(), clBlue);
    EXPECT_EQ(Marked(), 1);
    EXPECT_EQ(window.SignMode, SignIdle);

    // An empty text: no sign, nothing marked.
    Unmark();
    ClickAt(300, 300);
    ASSERT_TRUE(window.Editor->Visible);
    window.Editor->KeyPress(enter);
    EXPECT_EQ(Signs().size(), 1u);
    EXPECT_EQ(Marked(), 0);

    // A selected text grabbed by a corner is edited in place and replaced.
    palette.Tool = ToolArrow;
    TSegnoGrafico* old = signs[0];
    window.SelectSign(old);
    ClickAt(old->X1, old->Y1);
    ASSERT_TRUE(window.Editor->Visible);
    EXPECT_EQ(window.Editor->Text.Get(), "Scala B");
    EXPECT_TRUE(grid->SignsAt(3, 2).empty());  // off its squares while typed
    window.Editor->Text = "Scala C";
    // A press elsewhere ends the typing as Enter does.
    PressAt(150, 300);
    ReleaseAt(150, 300);
    signs = Signs();
    ASSERT_EQ(signs.size(), 1u);
    EXPECT_EQ(signs[0]->Text, "Scala C");
    EXPECT_FALSE(window.Editor->Visible);
    // One step brings the old text back.
    EXPECT_EQ(grid->UndoList->GetMenuCaption(), "&Annulla modifica testo");
    grid->UndoList->Undo();
    signs = Signs();
    ASSERT_EQ(signs.size(), 1u);
    EXPECT_EQ(signs[0]->Text, "Scala B");
    EXPECT_FALSE(grid->SignsAt(3, 2).empty());
    EXPECT_EQ(grid->UndoList->GetMenuCaption(), "&Annulla inserimento");
}

TEST_F(DrawSignsTest, RubberBandOnABitmapSurvivesRepaintsAndLeavesNoTrace) {
    TNCavo* cable = PutCable(3, 2, 1);
    (void)cable;
    TBitmap bitmap(window.ClientWidth, window.ClientHeight);
    TRasterEngine engine(bitmap);
    window.Canvas->SetEngine(&engine);
    for (int32_t c = 0; c < 8; ++c)
        for (int32_t r = 0; r < 6; ++r) window.PaintSquare(c, r);
    auto pixels = [&] {
        std::vector<TColor> all;
        for (int y = 0; y < bitmap.Height; ++y)
            for (int x = 0; x < bitmap.Width; ++x) all.push_back(bitmap.Pixel(x, y));
        return all;
    };
    const auto before = pixels();

    palette.Tool = ToolLine;
    PressAt(20, 100);
    DragTo(250, 100);
    const auto banded = pixels();
    EXPECT_NE(banded, before);
    // The band is drawn where the line will be painted: 100 * 43 / 42 rounded.
    EXPECT_NE(bitmap.Pixel(133, 102), before[102 * bitmap.Width + 133]);
    // Repainting squares under the band keeps it.
    window.PaintSquare(3, 2);
    window.PaintSquare(1, 2);
    EXPECT_EQ(pixels(), banded);
    // Back to the start and released: nothing drawn, every pixel as it was.
    DragTo(20, 100);
    ReleaseAt(20, 100);
    EXPECT_TRUE(Signs().empty());
    EXPECT_EQ(pixels(), before);

    // Drawn for real: the line is painted square by square exactly where
    // its band was (the grid lines between the squares are the grid's; the
    // pressed square, repainted since, shows as the selected one).
    PressAt(20, 100);
    DragTo(250, 100);
    ReleaseAt(250, 100);
    ASSERT_EQ(Signs().size(), 1u);
    const auto painted = pixels();
    int differ = 0;
    for (size_t i = 0; i < painted.size(); ++i) {
        const size_t x = i % bitmap.Width, y = i / bitmap.Width;
        const bool pressed = x / 43 == 0 && y / 43 == 2;
        if (x % 43 != 42 && y % 43 != 42 && !pressed && painted[i] != banded[i]) ++differ;
    }
    EXPECT_EQ(differ, 0);
    window.Canvas->SetEngine(nullptr);
}

}  // namespace
