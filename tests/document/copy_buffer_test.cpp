// The copy buffer: what a copy takes, the five pastes with their target
// rectangles and row rules, a paste as one undo step, signs moved and put
// back in the order the hit test needs, and a grid's copy into another.
#include "document/copy_buffer.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

#include "cells/record.h"
#include "core/file.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/signs.h"
#include "document/undo.h"
#include "support/test_cells.h"

namespace {

// The cells standing on the grid: the first square of each, with the
// description it was given.
std::map<Square, AnsiString> CellsOn(const TGridData& grid) {
    std::map<Square, AnsiString> found;
    for (int32_t c = 0; c < grid.Columns; ++c)
        for (int32_t r = 0; r < grid.Rows; ++r)
            if (TCella* cell = grid.CellAt(c, r);
                cell && cell->TypeCode != CodeHeadEnd && cell->Column == c && cell->Row == r)
                found[{c, r}] = cell->Description;
    return found;
}

std::set<Square> Block(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    std::set<Square> squares;
    for (int32_t c = left; c <= right; ++c)
        for (int32_t r = top; r <= bottom; ++r) squares.insert({c, r});
    return squares;
}

class CopyBufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        alive = TCellaProva::Alive;
        project.Reset(true);
        // Rows 1-2, columns 1-3: one cell per square, named by its square.
        for (int32_t r = 1; r <= 2; ++r)
            for (int32_t c = 1; c <= 3; ++c) Put(Source(), c, r, "c" + IntToStr(c) + "r" + IntToStr(r));
        buffer.Copy(&Source(), TCellRect{1, 1, 2, 3});
    }
    void TearDown() override {
        buffer.Clear();
        project.NetworkGrid->Clear();
        project.HeadEndGrid->Clear();
        EXPECT_EQ(TCellaProva::Alive, alive) << "cells leaked or lost";
    }
    TGridData& Source() { return *project.NetworkGrid; }
    TCellaProva* Put(TGridData& grid, int32_t column, int32_t row, const AnsiString& name,
                     int32_t through = 1) {
        auto cellOwned = std::make_unique<TCellaProva>(nullptr, column, row, 1, through, 0);
        auto* cell = cellOwned.get();
        cell->Description = name;
        EXPECT_TRUE(grid.InsertCell(std::move(cellOwned), false, 0)) << name;
        return cell;
    }

    ScopedTestCellClass testClass;
    int alive = 0;
    TProgetto project{nullptr};
    TBufferCopia buffer;
};

TEST_F(CopyBufferTest, PastesFillTheirTargetRectangles) {
    using Paste = void (TBufferCopia::*)(TGridData*, int32_t, int32_t, bool);
    struct Case {
        const char* what;
        Paste paste;
        int32_t column, row;
        std::set<Square> squares;
        Square topLeftCell;  // where the copy of the cell from (1, 1) lands
    };
    // clang-format off
    const Case cases[] = {
        {"plain", &TBufferCopia::Paste, 10, 5, Block(10, 5, 12, 6), {10, 5}},
        {"mirrored", &TBufferCopia::PasteMirrored, 10, 5, Block(10, 5, 12, 6), {12, 5}},
        {"quarter turn", &TBufferCopia::PasteRotated90, 10, 5, Block(10, 5, 11, 7), {11, 5}},
        {"half turn", &TBufferCopia::PasteRotated180, 10, 5, Block(10, 5, 12, 6), {12, 6}},
        {"three quarters", &TBufferCopia::PasteRotated270, 10, 5, Block(10, 5, 11, 7), {10, 7}},
        {"row 0 starts at row 1", &TBufferCopia::Paste, 10, 0, Block(10, 1, 12, 2), {10, 1}},
        {"cut at the right edge", &TBufferCopia::Paste, 73, 5, Block(73, 5, 74, 6), {73, 5}},
    };
    // clang-format on
    for (const Case& c : cases) {
        TGridData target(nullptr, 75, 75, GridNetwork);
        (buffer.*c.paste)(&target, c.column, c.row, false);
        EXPECT_EQ(Occupied(target), c.squares) << c.what;
        EXPECT_EQ(CellsOn(target)[c.topLeftCell], "c1r1") << c.what;
        EXPECT_EQ(target.UndoList->Count(), 0) << c.what;
    }
    // The buffer keeps its clones and the source is untouched.
    EXPECT_EQ(buffer.CellCount(), 6);
    EXPECT_EQ(Occupied(Source()), Block(1, 1, 3, 2));
}

TEST_F(CopyBufferTest, HeadEndPasteKeepsTheTerminalRowFree) {
    TGridData& headEnd = *project.HeadEndGrid;
    const int32_t rows = headEnd.Rows;
    buffer.Paste(&headEnd, 10, rows - 2, false);
    EXPECT_EQ(Occupied(headEnd), Block(10, rows - 2, 12, rows - 2));
    EXPECT_EQ(TCellaProva::Alive, alive + 6 + 3 + 6) << "the cells of the last row were refused";
}

TEST_F(CopyBufferTest, EachPasteIsACopyAndAWideCellComesOnce) {
    TGridData target(nullptr, 75, 75, GridNetwork);
    buffer.Paste(&target, 10, 5, false);
    buffer.Paste(&target, 20, 5, false);
    EXPECT_EQ(CellsOn(target).size(), 12u);

    // A cell over two squares is one clone, pasted once each time.
    Put(Source(), 1, 10, "wide", 2);
    buffer.Copy(&Source(), TCellRect{10, 0, 10, 4});
    EXPECT_EQ(buffer.CellCount(), 1);
    buffer.Paste(&target, 30, 10, false);
    buffer.Paste(&target, 40, 10, false);
    EXPECT_EQ(target.CellAt(31, 10), target.CellAt(32, 10));
    EXPECT_EQ(target.CellAt(41, 10), target.CellAt(42, 10));
    EXPECT_NE(target.CellAt(31, 10), target.CellAt(41, 10));
    EXPECT_EQ(CellsOn(target).size(), 14u);

    // The terminal is never copied.
    buffer.Copy(&Source(), Source().GetFullArea());
    EXPECT_EQ(buffer.CellCount(), 7);
}

// The cell's own turn and mirror lay its squares over the image of the
// squares it was copied from.
TEST_F(CopyBufferTest, AWideCellCoversTheImageOfItsSquares) {
    using Paste = void (TBufferCopia::*)(TGridData*, int32_t, int32_t, bool);
    struct Case {
        const char* what;
        Paste paste;
        std::set<Square> squares;
    };
    // clang-format off
    const Case cases[] = {
        {"plain", &TBufferCopia::Paste, Block(10, 5, 12, 5)},
        {"mirrored", &TBufferCopia::PasteMirrored, Block(10, 5, 12, 5)},
        {"quarter turn", &TBufferCopia::PasteRotated90, Block(11, 5, 11, 7)},
        {"half turn", &TBufferCopia::PasteRotated180, Block(10, 6, 12, 6)},
        {"three quarters", &TBufferCopia::PasteRotated270, Block(10, 5, 10, 7)},
    };
    // clang-format on
    Put(Source(), 1, 1, "wide", 3);
    buffer.Copy(&Source(), TCellRect{1, 1, 2, 3});
    for (const Case& c : cases) {
        TGridData target(nullptr, 75, 75, GridNetwork);
        (buffer.*c.paste)(&target, 10, 5, false);
        std::set<Square> wide;
        for (const Square& s : Occupied(target))
            if (target.CellAt(s.first, s.second)->Description == "wide") wide.insert(s);
        EXPECT_EQ(wide, c.squares) << c.what;
    }
}

TEST_F(CopyBufferTest, APasteIsOneUndoStep) {
    TGridData target(nullptr, 75, 75, GridNetwork);
    TCellaProva* a = Put(target, 10, 5, "a");
    TCellaProva* b = Put(target, 11, 5, "b");
    target.UndoList->PushMarker(0, CaptionDelete);
    buffer.Copy(&Source(), TCellRect{1, 1, 1, 3});  // three cells
    buffer.Paste(&target, 10, 5, true);
    EXPECT_EQ(target.UndoList->GetMenuCaption(), "&Annulla incolla");
    EXPECT_EQ(target.UndoList->Record(0).GroupCount, 5);
    EXPECT_EQ(CellsOn(target),
              (std::map<Square, AnsiString>{{{10, 5}, "c1r1"}, {{11, 5}, "c2r1"}, {{12, 5}, "c3r1"}}));

    target.UndoList->Undo();
    EXPECT_EQ(CellsOn(target), (std::map<Square, AnsiString>{{{10, 5}, "a"}, {{11, 5}, "b"}}));
    EXPECT_EQ(target.CellAt(10, 5), a);
    EXPECT_EQ(target.CellAt(11, 5), b);
    EXPECT_EQ(target.UndoList->GetMenuCaption(), "&Annulla elimina");
}

// A mirrored line worked by hand: LC = 11, so x' = 545 - x and y' = y + 168.
TEST_F(CopyBufferTest, TransformedSignsKeepTheirPointsInHitTestOrder) {
    TGridData target(nullptr, 75, 75, GridNetwork);
    ASSERT_TRUE(Source().AddSign(MakeSign(&Source(), SignLine, 42, 50, 100, 60), false, 0));
    buffer.Copy(&Source(), TCellRect{1, 1, 1, 2});
    ASSERT_EQ(buffer.SignCount(), 1);
    buffer.PasteMirrored(&target, 10, 5, false);
    ASSERT_EQ(target.Signs->Count(), 1);
    const TSegnoGrafico& line = *target.Signs->head;
    EXPECT_EQ((std::vector<int32_t>{line.X1, line.Y1, line.X2, line.Y2}),
              (std::vector<int32_t>{445, 228, 503, 218}));
    EXPECT_EQ(line.Grid, &target);
    EXPECT_TRUE(line.HitTest(5, 10, 5, 10));
    EXPECT_FALSE(target.SignsAt(10, 5).empty());

    // A box turned a quarter: corners least first, on the square its cell went to.
    TGridData turned(nullptr, 75, 75, GridNetwork);
    ASSERT_TRUE(Source().AddSign(MakeSign(&Source(), SignRectangle, 42, 42, 83, 83), false, 0));
    buffer.Copy(&Source(), TCellRect{1, 1, 2, 3});
    buffer.PasteRotated90(&turned, 10, 5, false);
    const TSegnoGrafico* box = turned.Signs->head->Next;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ((std::vector<int32_t>{box->X1, box->Y1, box->X2, box->Y2}),
              (std::vector<int32_t>{462, 210, 503, 251}));
    EXPECT_EQ(CellsOn(turned)[(Square{11, 5})], "c1r1");

    // Undoing a recorded paste takes the pasted signs away again.
    buffer.Paste(&target, 30, 30, true);
    EXPECT_EQ(target.Signs->Count(), 3);
    target.UndoList->Undo();
    EXPECT_EQ(target.Signs->Count(), 1);
}

TEST_F(CopyBufferTest, OrderSignPointsByKind) {
    struct Case {
        int32_t kind, x1, y1, x2, y2;
        std::vector<int32_t> ordered;
    };
    // clang-format off
    const Case cases[] = {
        {SignLine, 100, 5, 10, 50, {10, 50, 100, 5}},
        {SignLine, 10, 50, 100, 5, {10, 50, 100, 5}},
        {SignRectangle, 100, 50, 10, 5, {10, 5, 100, 50}},
        {SignText, 100, 5, 10, 50, {10, 5, 100, 50}},
    };
    // clang-format on
    for (const Case& c : cases) {
        TSegnoGrafico sign(nullptr);
        sign.Kind = c.kind;
        sign.X1 = c.x1;
        sign.Y1 = c.y1;
        sign.X2 = c.x2;
        sign.Y2 = c.y2;
        OrderSignPoints(sign);
        EXPECT_EQ((std::vector<int32_t>{sign.X1, sign.Y1, sign.X2, sign.Y2}), c.ordered) << c.kind;
    }
}

TEST_F(CopyBufferTest, CopyToMakesAnExactCopyWithItsOwnTerminal) {
    TGridData& grid = Source();
    Put(grid, 20, 10, "wide", 3);
    auto acrossOwned = std::make_unique<TCellaProva>(nullptr, 30, 12, 1, 1, 0, true, 1);
    auto* across = acrossOwned.get();
    auto downOwned = std::make_unique<TCellaProva>(nullptr, 30, 12, 1, 1, 0, true, 0);
    auto* down = downOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(downOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(acrossOwned), false, 0));
    ASSERT_TRUE(grid.AddSign(MakeSign(&grid, SignText, 100, 100, 300, 120), false, 0));
    ASSERT_TRUE(grid.AddSign(MakeSign(&grid, SignLine, -20, 400, 200, 380), false, 0));

    TGridData copy(nullptr, 10, 10, GridNetwork);
    copy.CopyBuffer->Copy(&grid, TCellRect{1, 1, 2, 3});
    grid.CopyTo(copy);
    TMemoryStream original, copied;
    grid.Save(original, RecordVersion);
    copy.Save(copied, RecordVersion);
    EXPECT_EQ(original.Bytes(), copied.Bytes());
    ASSERT_NE(copy.Anchor, nullptr);
    EXPECT_NE(copy.Anchor, grid.Anchor);
    EXPECT_EQ(copy.Anchor->TypeCode, CodeHeadEnd);
    EXPECT_EQ(copy.CellAt(30, 12)->Overlay->Orientation, 0);
    EXPECT_EQ(copy.CopyBuffer->CellCount(), 6) << "the target's own buffer is left alone";
}

}  // namespace
