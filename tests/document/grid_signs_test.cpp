// Graphic signs on a grid: the hit test, the square index kept with the list,
// adding and removing signs, signs in clearing, resizing, the used area and
// rectangle deletion, and painting.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "document/grid.h"
#include "document/project.h"
#include "document/signs.h"
#include "document/undo.h"
#include "platform/engines.h"
#include "platform/printers.h"
#include "support/test_cells.h"

namespace {

bool Indexed(const TGridData& grid, int32_t column, int32_t row, const TSegnoGrafico* sign) {
    const auto& there = grid.SignsAt(column, row);
    return std::find(there.begin(), there.end(), sign) != there.end();
}

// Every square whose index holds the sign, as (row, column, row, column).
std::vector<TCellRect> SquaresOf(const TGridData& grid, const TSegnoGrafico* sign) {
    std::vector<TCellRect> squares;
    for (int32_t c = 0; c < grid.Columns; ++c)
        for (int32_t r = 0; r < grid.Rows; ++r)
            if (Indexed(grid, c, r, sign)) squares.push_back({r, c, r, c});
    return squares;
}

TEST(SignHitTest, LinesRectanglesAndTexts) {
    struct Case {
        const char* what;
        int32_t kind, x1, y1, x2, y2;
        int32_t row, column;
        bool hit;
    };
    // clang-format off
    const Case cases[] = {
        {"diagonal through its square", SignLine, 0, 0, 84, 84, 1, 1, true},
        {"diagonal beside its path", SignLine, 0, 0, 84, 84, 0, 2, false},
        {"vertical line on its column", SignLine, 50, 0, 50, 200, 2, 1, true},
        {"vertical line, next column", SignLine, 50, 0, 50, 200, 2, 0, false},
        {"horizontal line on its row", SignLine, 0, 90, 300, 90, 2, 5, true},
        {"horizontal line past its end", SignLine, 0, 90, 300, 90, 2, 8, false},
        {"rising line, ends ordered", SignLine, 445, 228, 503, 218, 5, 10, true},
        {"same line, ends unordered", SignLine, 503, 218, 445, 228, 5, 10, false},
        {"rectangle outline", SignRectangle, 0, 0, 420, 420, 0, 3, true},
        {"strictly inside a rectangle", SignRectangle, 0, 0, 420, 420, 4, 4, false},
        {"rectangle with swapped corners", SignRectangle, 420, 420, 0, 0, 0, 3, true},
        {"outside a rectangle", SignRectangle, 0, 0, 420, 420, 11, 3, false},
        {"text box overlaps", SignText, 10, 10, 100, 50, 1, 2, true},
        {"text box beside", SignText, 10, 10, 100, 50, 0, 3, false},
        {"text box below", SignText, 10, 10, 100, 50, 2, 0, false},
        {"unknown kind", 7, 0, 0, 420, 420, 0, 0, false},
    };
    // clang-format on
    TGridData grid(nullptr, 20, 20, GridCustom);
    for (const Case& c : cases) {
        TSegnoGrafico sign(&grid);
        sign.Kind = c.kind;
        sign.X1 = c.x1;
        sign.Y1 = c.y1;
        sign.X2 = c.x2;
        sign.Y2 = c.y2;
        EXPECT_EQ(sign.HitTest(c.row, c.column, c.row, c.column), c.hit) << c.what;
    }
    // Against a block of squares: one that the diagonal passes beside, one
    // that it crosses.
    TSegnoGrafico line(&grid);
    line.X2 = 84;
    line.Y2 = 84;
    EXPECT_FALSE(line.HitTest(0, 3, 1, 5));
    EXPECT_TRUE(line.HitTest(0, 0, 5, 5));
}

TEST(GridSigns, AddIndexesOnlyTheSquaresItCrossesOnTheGrid) {
    TGridData grid(nullptr, 10, 10, GridCustom);
    SignWindow window;
    grid.Window = &window;
    auto lineOwned = MakeSign(&grid, SignLine, -100, 10, 100, 10);
    TSegnoGrafico* line = lineOwned.get();
    ASSERT_TRUE(grid.AddSign(std::move(lineOwned), false, 0));
    EXPECT_EQ(grid.Signs->Count(), 1);
    EXPECT_EQ(SquaresOf(grid, line), (std::vector<TCellRect>{{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 2, 0, 2}}));
    EXPECT_EQ(window.Repainted, SquaresOf(grid, line));
    EXPECT_EQ(line->X1, -100);  // the points are kept as given
    EXPECT_TRUE(grid.SignsAt(-1, 0).empty());
    EXPECT_EQ(grid.GetUsedArea(), (TCellRect{0, 0, 0, 2}));

    auto diagonalOwned = MakeSign(&grid, SignLine, 0, 0, 84, 84);

    TSegnoGrafico* diagonal = diagonalOwned.get();
    ASSERT_TRUE(grid.AddSign(std::move(diagonalOwned), false, 0));
    EXPECT_TRUE(Indexed(grid, 1, 1, diagonal));
    EXPECT_FALSE(Indexed(grid, 2, 0, diagonal));
    EXPECT_TRUE(Indexed(grid, 0, 0, line) && Indexed(grid, 0, 0, diagonal));
    EXPECT_EQ(grid.GetUsedArea(), (TCellRect{0, 0, 2, 2}));

    // Both ends off the grid's pixels (0..419): refused and deleted.
    EXPECT_FALSE(grid.AddSign(MakeSign(&grid, SignLine, -50, -50, 420, 500), false, 0));
    EXPECT_FALSE(grid.AddSign(MakeSign(&grid, SignRectangle, 420, 0, 500, 30), false, 0));
    EXPECT_FALSE(grid.AddSign(nullptr, false, 0));
    EXPECT_EQ(grid.Signs->Count(), 2);

    // A sign made for another grid is bound to this one.
    TGridData other(nullptr, 10, 10, GridCustom);
    auto movedOwned = MakeSign(&other, SignText, 220, 220, 240, 230);
    TSegnoGrafico* moved = movedOwned.get();
    ASSERT_TRUE(grid.AddSign(std::move(movedOwned), false, 0));
    EXPECT_EQ(moved->Grid, &grid);
    EXPECT_TRUE(Indexed(grid, 5, 5, moved));
    EXPECT_TRUE(other.SignsAt(5, 5).empty());
    grid.Window = nullptr;
}

TEST(GridSigns, RemoveTakesTheSignOutOfListAndIndexAndTellsTheWindow) {
    TGridData grid(nullptr, 10, 10, GridCustom);
    TGridData other(nullptr, 10, 10, GridCustom);
    SignWindow window;
    grid.Window = &window;
    auto boxOwned = MakeSign(&grid, SignRectangle, 0, 0, 125, 125);
    TSegnoGrafico* box = boxOwned.get();
    auto keptOwned = MakeSign(&grid, SignText, 0, 0, 30, 20);
    TSegnoGrafico* kept = keptOwned.get();
    ASSERT_TRUE(grid.AddSign(std::move(boxOwned), false, 0));
    ASSERT_TRUE(grid.AddSign(std::move(keptOwned), false, 0));
    auto foreignOwned = MakeSign(&other, SignLine, 0, 0, 10, 10);
    TSegnoGrafico* foreign = foreignOwned.get();
    ASSERT_TRUE(other.AddSign(std::move(foreignOwned), false, 0));

    EXPECT_FALSE(grid.RemoveSign(nullptr, false, 0));
    EXPECT_FALSE(grid.RemoveSign(foreign, false, 0));
    EXPECT_EQ(other.Signs->Count(), 1);

    const std::vector<TCellRect> squares = SquaresOf(grid, box);
    ASSERT_EQ(squares.size(), 8u);  // the outline of a 3 x 3 block
    window.Repainted.clear();
    ASSERT_TRUE(grid.RemoveSign(box, false, 0));
    EXPECT_EQ(window.Left, std::vector<TSegnoGrafico*>{box});
    EXPECT_EQ(window.Repainted, squares);
    EXPECT_EQ(grid.Signs->Count(), 1);
    EXPECT_EQ(grid.Signs->head, kept);
    EXPECT_EQ(grid.SignsAt(0, 0), std::vector<TSegnoGrafico*>{kept});
    EXPECT_EQ(grid.GetUsedArea(), (TCellRect{0, 0, 0, 0}));
    grid.Window = nullptr;
}

TEST(GridSigns, InvalidateSquaresRepaintsWhereTheSignIsIndexed) {
    TGridData grid(nullptr, 10, 10, GridCustom);
    auto lineOwned = MakeSign(&grid, SignLine, 0, 50, 130, 50);
    TSegnoGrafico* line = lineOwned.get();
    ASSERT_TRUE(grid.AddSign(std::move(lineOwned), false, 0));
    SignWindow window;
    grid.Window = &window;
    line->InvalidateSquares();
    EXPECT_EQ(window.Repainted,
              (std::vector<TCellRect>{{1, 0, 1, 0}, {1, 1, 1, 1}, {1, 2, 1, 2}, {1, 3, 1, 3}}));
    grid.Window = nullptr;
}

TEST(GridSigns, ClearEmptiesSignsAndIndex) {
    TGridData grid(nullptr, 10, 10, GridCustom);
    ASSERT_TRUE(grid.AddSign(MakeSign(&grid, SignRectangle, 0, 0, 400, 400), false, 0));
    ASSERT_TRUE(grid.AddSign(MakeSign(&grid, SignText, 50, 50, 90, 70), false, 0));
    grid.Clear();
    EXPECT_EQ(grid.Signs->Count(), 0);
    for (int32_t c = 0; c < grid.Columns; ++c)
        for (int32_t r = 0; r < grid.Rows; ++r) ASSERT_TRUE(grid.SignsAt(c, r).empty());
    EXPECT_EQ(grid.GetUsedArea(), (TCellRect{9, 9, 0, 0}));
}

TEST(GridSigns, ResizeMovesSignsAndTheirSquares) {
    TProgetto project(nullptr);
    project.Reset(true);
    TGridData& grid = *project.NetworkGrid;
    auto lineOwned = MakeSign(&grid, SignLine, 1260, 430, 1300, 430);
    TSegnoGrafico* line = lineOwned.get();  // columns 30-30, row 10
    ASSERT_TRUE(grid.AddSign(std::move(lineOwned), false, 0));
    ASSERT_TRUE(grid.Resize(51, 75));
    EXPECT_EQ(line->X1, 1260 - 504);
    EXPECT_EQ(line->X2, 1300 - 504);
    EXPECT_EQ(line->Y1, 430);
    EXPECT_EQ(SquaresOf(grid, line), (std::vector<TCellRect>{{10, 18, 10, 18}}));

    // A sign whose square would leave the grid refuses the size, like a cell.
    auto edgeOwned = MakeSign(&grid, SignText, 0, 170, 30, 200);
    TSegnoGrafico* edge = edgeOwned.get();  // column 0, row 4
    ASSERT_TRUE(grid.AddSign(std::move(edgeOwned), false, 0));
    EXPECT_FALSE(grid.Resize(49, 75));
    EXPECT_EQ(grid.Columns, 51);
    EXPECT_TRUE(Indexed(grid, 0, 4, edge));
    EXPECT_EQ(grid.GetUsedArea().Left, 0);
}

TEST(GridSigns, DeleteRectTakesTheSignsItHitsAndKeepsTheRest) {
    TProgetto project(nullptr);
    project.Reset(true);
    TGridData& grid = *project.NetworkGrid;
    SignWindow window;
    grid.Window = &window;
    ASSERT_TRUE(grid.InsertCell(std::make_unique<TCellaProva>(nullptr, 36, 2), false, 0));
    auto crossingOwned = MakeSign(&grid, SignLine, 1500, 50, 1600, 200);      // enters the rectangle
    auto aroundOwned = MakeSign(&grid, SignRectangle, 1000, -20, 2000, 400);  // the rectangle lies inside it
    auto farOwned = MakeSign(&grid, SignText, 100, 1000, 150, 1020);
    TSegnoGrafico* crossing = crossingOwned.get();
    TSegnoGrafico* around = aroundOwned.get();
    for (auto* owned : {&crossingOwned, &aroundOwned, &farOwned})
        ASSERT_TRUE(grid.AddSign(std::move(*owned), false, 0));
    project.Modified = false;

    grid.DeleteRect(TCellRect{0, 34, 4, 38}, false, 3);
    EXPECT_NE(grid.Anchor, nullptr);
    EXPECT_EQ(grid.CellAt(36, 0), grid.Anchor);
    EXPECT_EQ(grid.CellAt(36, 2), nullptr);
    EXPECT_EQ(window.Left, std::vector<TSegnoGrafico*>{crossing});
    EXPECT_EQ(grid.Signs->Count(), 2);
    EXPECT_TRUE(SquaresOf(grid, crossing).empty());
    EXPECT_FALSE(SquaresOf(grid, around).empty());
    EXPECT_TRUE(project.Modified);

    // Only signs: they count as removed things too.
    project.Modified = false;
    grid.DeleteRect(TCellRect{20, 0, 30, 5}, false, 3);
    EXPECT_EQ(grid.Signs->Count(), 1);
    EXPECT_TRUE(project.Modified);
    grid.Window = nullptr;
}

// The selected signs go wherever they lie, with what the block hits, in
// one step that brings back exactly those; a deletion that takes nothing
// records nothing and leaves the project unchanged.
TEST(GridSigns, DeleteRectTakesTheChosenSignsInOneStep) {
    TProgetto project(nullptr);
    project.Reset(true);
    TGridData& grid = *project.NetworkGrid;
    auto aroundOwned = MakeSign(&grid, SignRectangle, 420, 420, 840, 840);  // squares 10..20
    auto hitOwned = MakeSign(&grid, SignLine, 1500, 50, 1600, 200);
    auto otherOwned = MakeSign(&grid, SignText, 100, 1000, 150, 1020);
    TSegnoGrafico* around = aroundOwned.get();
    TSegnoGrafico* hit = hitOwned.get();
    TSegnoGrafico* other = otherOwned.get();
    for (auto* owned : {&aroundOwned, &hitOwned, &otherOwned})
        ASSERT_TRUE(grid.AddSign(std::move(*owned), false, 0));
    TGridData otherGrid(nullptr, 20, 20, GridCustom);
    auto foreignOwned = MakeSign(&otherGrid, SignLine, 0, 0, 42, 42);
    TSegnoGrafico* foreign = foreignOwned.get();
    ASSERT_TRUE(otherGrid.AddSign(std::move(foreignOwned), false, 0));
    grid.UndoList->Clear();

    // A block strictly inside the rectangle: only the chosen sign goes.
    project.Modified = false;
    EXPECT_EQ(grid.DeleteRect(TCellRect{15, 15, 15, 15}, true, CaptionDelete, {around, foreign}), 1);
    EXPECT_FALSE(grid.Signs->Contains(around));
    EXPECT_TRUE(otherGrid.Signs->Contains(foreign));
    EXPECT_TRUE(project.Modified);
    EXPECT_EQ(grid.UndoList->GetMenuCaption(), "&Annulla elimina");
    // The block's own sign and a chosen one, and the same sign named twice.
    EXPECT_EQ(grid.DeleteRect(TCellRect{0, 34, 4, 38}, true, CaptionDelete, {other, hit}), 2);
    EXPECT_EQ(grid.Signs->Count(), 0);

    grid.UndoList->Undo();
    EXPECT_TRUE(grid.Signs->Contains(hit));
    EXPECT_TRUE(grid.Signs->Contains(other));
    EXPECT_FALSE(grid.Signs->Contains(around));
    grid.UndoList->Undo();
    EXPECT_TRUE(grid.Signs->Contains(around));
    EXPECT_EQ(grid.Signs->Count(), 3);
    EXPECT_TRUE(grid.UndoList->Empty());

    // Nothing on the block and nothing chosen.
    project.Modified = false;
    EXPECT_EQ(grid.DeleteRect(TCellRect{50, 50, 52, 52}, true, CaptionDelete), 0);
    EXPECT_TRUE(grid.UndoList->Empty());
    EXPECT_EQ(grid.UndoList->GetMenuCaption(), "&Annulla");
    EXPECT_FALSE(project.Modified);
}

TEST(GridSigns, LoadedAndCopiedGridsIndexTheirSigns) {
    TGridData grid(nullptr, 12, 12, GridCustom);
    ASSERT_TRUE(grid.AddSign(MakeSign(&grid, SignLine, -20, 100, 100, 100), false, 0));
    TGridData copy(nullptr, 5, 5, GridCustom);
    grid.CopyTo(copy);
    ASSERT_EQ(copy.Signs->Count(), 1);
    EXPECT_EQ(SquaresOf(copy, copy.Signs->head),
              (std::vector<TCellRect>{{2, 0, 2, 0}, {2, 1, 2, 1}, {2, 2, 2, 2}}));
    EXPECT_EQ(copy.Signs->head->Grid, &copy);
}

}  // namespace

namespace {

// A window with a zoom, a scroll position and a selection of one sign.
class PaintWindow : public TGridWindow {
public:
    void RepaintCell(int32_t, int32_t) override {}
    int ColumnWidth() const override { return width; }
    int RowHeight() const override { return width; }
    int32_t FirstVisibleColumn() const override { return left; }
    int32_t FirstVisibleRow() const override { return top; }
    bool IsSignSelected(const TSegnoGrafico* sign) const override { return sign == selected; }
    int width = SquarePixels;
    int32_t left = 0, top = 0;
    const TSegnoGrafico* selected = nullptr;
};

TRecordingEngine& Recorded(TCanvas& canvas) { return *static_cast<TRecordingEngine*>(canvas.Engine()); }

TEST(SignPainting, PenScaledAndHandlesOnlyWhenSelected) {
    TGridData grid(nullptr, 20, 20, GridCustom);
    PaintWindow window;
    grid.Window = &window;
    TSegnoGrafico line(&grid);
    line.X1 = 10;
    line.Y1 = 20;
    line.X2 = 110;
    line.Y2 = 60;
    line.Pen->Width = 3;
    line.Pen->Color = static_cast<TColor>(0x0000FF);
    line.Pen->Style = psDash;

    TCanvas plain;
    line.Paint(&plain, 5, 7, 1.5, 1.5);
    auto lines = Recorded(plain).CallsOf(TPaintOp::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Points, (std::vector<TPoint>{TPoint(20, 37), TPoint(170, 97)}));
    EXPECT_EQ(lines[0].State.Pen.Width, 5);  // 3 x 1.5 = 4.5, rounded
    EXPECT_EQ(lines[0].State.Pen.Style, psDash);
    EXPECT_EQ(lines[0].State.Pen.Color, static_cast<TColor>(0x0000FF));
    EXPECT_TRUE(Recorded(plain).CallsOf(TPaintOp::Rectangle).empty());

    window.selected = &line;
    TCanvas selected;
    line.Paint(&selected, 5, 7, 1.5, 1.5);
    const auto handles = Recorded(selected).CallsOf(TPaintOp::Rectangle);
    ASSERT_EQ(handles.size(), 2u);
    EXPECT_EQ(handles[0].Rect, TRect(17, 34, 23, 40));  // half-size 2/3 x 3 x 1.5 = 3
    EXPECT_EQ(handles[1].Rect, TRect(167, 94, 173, 100));
    EXPECT_EQ(handles[0].State.Brush.Style, bsSolid);
    EXPECT_EQ(handles[0].State.Brush.Color, clBlack);
    EXPECT_EQ(handles[0].State.Pen.Width, 1);
    EXPECT_EQ(handles[0].State.Pen.Color, clBlack);

    // A thin pen still gets handles of half-size 2.
    line.Pen->Width = 1;
    TCanvas thin;
    line.Paint(&thin, 0, 0, 1, 1);
    ASSERT_EQ(Recorded(thin).CallsOf(TPaintOp::Rectangle).size(), 2u);
    EXPECT_EQ(Recorded(thin).CallsOf(TPaintOp::Rectangle)[0].Rect, TRect(8, 18, 12, 22));

    // Never on the printer page.
    TCanvas* page = Printer()->Canvas;
    auto* pageEngine = dynamic_cast<TRecordingEngine*>(page->Engine());
    ASSERT_NE(pageEngine, nullptr);
    const size_t pageLines = pageEngine->CallsOf(TPaintOp::Line).size();
    const size_t before = pageEngine->CallsOf(TPaintOp::Rectangle).size();
    line.Paint(page, 0, 0, 1, 1);
    EXPECT_EQ(pageEngine->CallsOf(TPaintOp::Line).size(), pageLines + 1);
    EXPECT_EQ(pageEngine->CallsOf(TPaintOp::Rectangle).size(), before);
    grid.Window = nullptr;
}

TEST(SignPainting, RectangleOutlineAndTextWithItsBoxHandles) {
    TGridData grid(nullptr, 20, 20, GridCustom);
    PaintWindow window;
    grid.Window = &window;
    TSegnoGrafico box(&grid);
    box.Kind = SignRectangle;
    box.X1 = 0;
    box.Y1 = 0;
    box.X2 = 42;
    box.Y2 = 84;
    box.Pen->Width = 6;
    window.selected = &box;
    TCanvas canvas;
    box.Paint(&canvas, 0, 0, 2, 2);
    const auto outline = Recorded(canvas).CallsOf(TPaintOp::Polyline);
    ASSERT_EQ(outline.size(), 1u);
    EXPECT_EQ(outline[0].Points, (std::vector<TPoint>{TPoint(0, 0), TPoint(0, 168), TPoint(84, 168),
                                                      TPoint(84, 0), TPoint(0, 0)}));
    EXPECT_EQ(outline[0].State.Brush.Style, bsClear);
    EXPECT_EQ(outline[0].State.Pen.Width, 12);
    const auto handles = Recorded(canvas).CallsOf(TPaintOp::Rectangle);
    ASSERT_EQ(handles.size(), 4u);
    EXPECT_EQ(handles[2].Rect, TRect(76, 160, 92, 176));  // half-size 2/3 x 6 x 2 = 8

    TSegnoGrafico text(&grid);
    text.Kind = SignText;
    text.X1 = 10;
    text.Y1 = 10;
    text.X2 = 60;
    text.Y2 = 30;
    text.Text = "Locale tecnico";
    text.Font->Size = 10;
    text.Pen->Width = 9;
    window.selected = &text;
    TCanvas written;
    text.Paint(&written, 0, 0, 1, 2);
    ASSERT_EQ(Recorded(written).Texts(), std::vector<AnsiString>{"Locale tecnico"});
    const auto texts = Recorded(written).CallsOf(TPaintOp::Text);
    EXPECT_EQ(texts[0].Points, std::vector<TPoint>{TPoint(10, 10)});
    EXPECT_EQ(written.Font->Size.Get(), 20);  // 10 points x font scale 2
    const auto corners = Recorded(written).CallsOf(TPaintOp::Rectangle);
    ASSERT_EQ(corners.size(), 4u);
    EXPECT_EQ(corners[0].Rect, TRect(8, 8, 12, 12));  // always half-size 2
    EXPECT_EQ(corners[2].Rect, TRect(58, 28, 62, 32));
    grid.Window = nullptr;
}

TEST(SignPainting, OutlineDrawnTwiceRestoresThePixels) {
    TGridData grid(nullptr, 20, 20, GridCustom);
    PaintWindow window;
    window.width = 21;  // zoom one half
    window.left = 1;
    window.top = 1;
    grid.Window = &window;
    TBitmap bitmap;
    bitmap.SetSize(200, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) bitmap.SetPixel(x, y, static_cast<TColor>((x * 7 + y * 13) & 0xFFFFFF));
    const TBitmap* source = &bitmap;
    auto pixels = [&] {
        std::vector<TColor> all;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x) all.push_back(source->Pixel(x, y));
        return all;
    };
    const auto before = pixels();
    for (int32_t kind : {SignLine, SignRectangle, SignText}) {
        TSegnoGrafico sign(&grid);
        sign.Kind = kind;
        sign.X1 = 60;
        sign.Y1 = 70;
        sign.X2 = 300;
        sign.Y2 = 250;
        sign.Text = "Quota";
        sign.Pen->Width = 4;
        window.selected = &sign;
        sign.DrawOutline(bitmap.Canvas);
        EXPECT_NE(pixels(), before) << kind;
        EXPECT_EQ(bitmap.Canvas->Pen->Mode.Get(), pmCopy);
        sign.DrawOutline(bitmap.Canvas);
        EXPECT_EQ(pixels(), before) << kind;
    }
    grid.Window = nullptr;
}

}  // namespace
