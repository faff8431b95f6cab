// Grids shown through their peers: the model paints only what is in view,
// the scroll bars scroll it, and the mouse reports the square under it.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QScrollBar>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "platform/forms.h"
#include "platform/grids.h"
#include "qt/qt_test_support.h"

using qttest::Settle;
using qttest::WidgetOf;

namespace {

constexpr int Squares = 50;
constexpr int Side = 42;

// The building plan: a grid of squares drawn by the program.
struct PlanForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TDrawGrid* grid = new TDrawGrid(form.get());
    std::set<std::pair<int, int>> drawn;
    struct Mouse {
        char what;
        int col, row;
    };
    std::vector<Mouse> mouse;

    PlanForm() {
        form->SetBounds(0, 0, 560, 460);
        grid->Parent = form.get();
        grid->SetBounds(10, 10, 500, 380);
        grid->FixedCols = 0;
        grid->FixedRows = 0;
        grid->ColCount = Squares;
        grid->RowCount = Squares;
        grid->DefaultColWidth = Side;
        grid->DefaultRowHeight = Side;
        grid->OnDrawCell = [this](TObject*, int col, int row, TRect r, TGridDrawState) {
            drawn.insert({col, row});
            TCanvas* c = grid->Canvas;
            c->Brush->Color = (col + row) % 2 ? RGB(200, 220, 255) : clWhite;
            c->FillRect(r);
            c->Font->Height = -11;
            c->Brush->Style = bsClear;
            c->TextOut(r.Left + 2, r.Top + 2, std::to_string(col) + "," + std::to_string(row));
        };
        auto record = [this](char what, int x, int y) {
            int col, row;
            grid->MouseToCell(x, y, col, row);
            mouse.push_back({what, col, row});
        };
        grid->OnMouseDown = [record](TObject*, TMouseButton, TShiftState, int x, int y) {
            record('d', x, y);
        };
        grid->OnMouseMove = [record](TObject*, TShiftState, int x, int y) { record('m', x, y); };
        grid->OnMouseUp = [record](TObject*, TMouseButton, TShiftState, int x, int y) { record('u', x, y); };
    }

    // Paints the grid's window now and returns the squares the model was asked for.
    std::set<std::pair<int, int>> Paint() {
        drawn.clear();
        Settle();
        grid->Repaint();
        return drawn;
    }

    // Every square whose rectangle shows in the client area.
    std::set<std::pair<int, int>> InView() const {
        std::set<std::pair<int, int>> v;
        for (int c = 0; c < Squares; ++c)
            for (int r = 0; r < Squares; ++r)
                if (!grid->CellRect(c, r).IsEmpty()) v.insert({c, r});
        return v;
    }

    // The pixel at the middle of a square, in the grid's client area.
    QPoint Middle(int col, int row) const {
        TRect r = grid->CellRect(col, row);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
};

// The vertical and the horizontal scroll bar of a grid's frame.
std::pair<QScrollBar*, QScrollBar*> ScrollBarsOf(QWidget* frame) {
    QScrollBar* vertical = nullptr;
    QScrollBar* horizontal = nullptr;
    for (QScrollBar* b : frame->findChildren<QScrollBar*>(Qt::FindDirectChildrenOnly))
        (b->orientation() == Qt::Vertical ? vertical : horizontal) = b;
    return {vertical, horizontal};
}

}  // namespace

TEST(QtGrid, AsksOnDrawCellOnlyForTheSquaresInView) {
    PlanForm p;
    p.form->Show();
    std::set<std::pair<int, int>> drawn = p.Paint();
    std::set<std::pair<int, int>> inView = p.InView();
    EXPECT_EQ(drawn, inView);
    // The client area leaves room for the frame and the scroll bars.
    int cols = (p.grid->ClientWidth + Side) / (Side + 1), rows = (p.grid->ClientHeight + Side) / (Side + 1);
    EXPECT_EQ(static_cast<int>(drawn.size()), cols * rows);
    EXPECT_TRUE(drawn.count({0, 0}));
    EXPECT_FALSE(drawn.count({20, 20}));

    QImage shot = qttest::WindowOf(p.form.get())->grab().toImage();
    ASSERT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("draw-grid.png"))));
    // The squares are painted where the model put them.
    QImage client = WidgetOf(p.grid)->grab().toImage();
    EXPECT_EQ(client.pixelColor(p.Middle(1, 0) + QPoint(0, 12)), QColor(200, 220, 255));
    EXPECT_EQ(client.pixelColor(p.Middle(1, 1) + QPoint(0, 12)), QColor(Qt::white));
}

TEST(QtGrid, ScrollBarsScrollAndOnlyTheNewViewIsPainted) {
    PlanForm p;
    p.form->Show();
    p.Paint();
    int topLeftChanges = 0;
    p.grid->OnTopLeftChanged = [&](TObject*) { ++topLeftChanges; };
    const auto [vertical, horizontal] = ScrollBarsOf(qttest::WindowOf(p.grid));
    ASSERT_NE(vertical, nullptr);
    ASSERT_NE(horizontal, nullptr);
    EXPECT_EQ(vertical->minimum(), 0);
    EXPECT_EQ(vertical->maximum(), Squares - p.grid->VisibleRowCount());
    vertical->setValue(10);
    horizontal->setValue(5);
    EXPECT_EQ(p.grid->TopRow, 10);
    EXPECT_EQ(p.grid->LeftCol, 5);
    EXPECT_EQ(topLeftChanges, 2);
    std::set<std::pair<int, int>> drawn = p.Paint();
    EXPECT_EQ(drawn, p.InView());
    EXPECT_TRUE(drawn.count({5, 10}));
    EXPECT_FALSE(drawn.count({0, 0}));
    // The program scrolls: the bars follow.
    p.grid->TopRow = 30;
    EXPECT_EQ(vertical->value(), 30);
    // The wheel moves the current row; the view follows it.
    p.grid->Row = 30;
    QPoint at = p.Middle(6, 31);
    QWheelEvent wheel(at, WidgetOf(p.grid)->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(WidgetOf(p.grid), &wheel);
    EXPECT_EQ(p.grid->Row, 31);
}

TEST(QtGrid, ReportsMouseDownMoveAndUpWithTheSquareUnderThePointer) {
    PlanForm p;
    p.form->Show();
    p.Paint();
    p.grid->TopRow = 10;
    p.grid->LeftCol = 4;
    Settle();
    QWidget* client = WidgetOf(p.grid);
    p.mouse.clear();
    QTest::mousePress(client, Qt::LeftButton, {}, p.Middle(6, 12));
    QTest::mouseMove(client, p.Middle(7, 12));
    QTest::mouseMove(client, p.Middle(8, 13));
    QTest::mouseRelease(client, Qt::LeftButton, {}, p.Middle(8, 13));
    ASSERT_GE(p.mouse.size(), 4u);
    EXPECT_EQ(p.mouse.front().what, 'd');
    EXPECT_EQ(p.mouse.front().col, 6);
    EXPECT_EQ(p.mouse.front().row, 12);
    EXPECT_EQ(p.mouse.back().what, 'u');
    EXPECT_EQ(p.mouse.back().col, 8);
    EXPECT_EQ(p.mouse.back().row, 13);
    std::vector<std::pair<int, int>> moves;
    for (const auto& m : p.mouse)
        if (m.what == 'm') moves.push_back({m.col, m.row});
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0], std::make_pair(7, 12));
    EXPECT_EQ(moves[1], std::make_pair(8, 13));
    // The press chose the square; dragging selected the range.
    EXPECT_EQ(p.grid->Col, 8);
    EXPECT_EQ(p.grid->Row, 13);
}

TEST(QtGrid, KeysMoveTheCurrentCellAndEditStringCells) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* grid = new TStringGrid(&form);
    grid->Parent = &form;
    grid->SetBounds(8, 8, 360, 200);
    grid->Options = grid->Options.Get() + TGridOptions{goEditing};
    int edits = 0;
    grid->OnSetEditText = [&](TObject*, int, int, const AnsiString&) { ++edits; };
    form.Show();
    Settle();
    grid->SetFocus();
    Settle();
    QWidget* client = WidgetOf(grid);
    QTest::keyClick(client, Qt::Key_Right);
    QTest::keyClick(client, Qt::Key_Down);
    EXPECT_EQ(grid->Col, 2);
    EXPECT_EQ(grid->Row, 2);
    // Typing opens the in-place editor; Enter commits the text to the cell.
    QTest::keyClick(client, Qt::Key_F2);
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    auto* line = qobject_cast<QLineEdit*>(qttest::WindowOf(grid->InplaceEditor()));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isVisible());
    Settle();
    line->selectAll();
    QTest::keyClicks(line, "12,5");
    EXPECT_EQ(grid->Cells[2][2], "12,5");
    EXPECT_EQ(edits, 4);
    QTest::keyClick(line, Qt::Key_Down);
    EXPECT_EQ(grid->Row, 3);
}

// A grid whose cells all fit shows no scroll bar; rows added beyond its
// height bring the vertical one, and its cells give up the bar's room.
// Screenshot: grid-scroll-bars.png.
TEST(QtGrid, ScrollBarsShowOnlyWhenTheCellsDoNotFit) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 200);
    auto* grid = new TStringGrid(form.get());
    grid->Parent = form.get();
    grid->SetBounds(10, 10, 260, 150);
    grid->ColCount = 3;
    grid->RowCount = 4;
    grid->DefaultColWidth = 60;
    grid->DefaultRowHeight = 20;
    for (int r = 0; r < 4; ++r) grid->Cells[0][r] = "Riga " + std::to_string(r);
    form->Show();
    Settle();
    QWidget* frame = qttest::WindowOf(grid);
    const auto [vertical, horizontal] = ScrollBarsOf(frame);
    ASSERT_NE(vertical, nullptr);
    ASSERT_NE(horizontal, nullptr);
    EXPECT_FALSE(vertical->isVisible());
    EXPECT_FALSE(horizontal->isVisible());
    EXPECT_EQ(WidgetOf(grid)->width(), grid->ClientWidth.Get());
    EXPECT_EQ(grid->ClientWidth, 256);

    grid->RowCount = 12;
    for (int r = 0; r < 12; ++r) grid->Cells[0][r] = "Riga " + std::to_string(r);
    Settle();
    EXPECT_TRUE(vertical->isVisible());
    EXPECT_FALSE(horizontal->isVisible());
    EXPECT_EQ(grid->ClientWidth, 240);
    EXPECT_EQ(WidgetOf(grid)->width(), 240);
    EXPECT_EQ(vertical->geometry().left(), 2 + 240);
    EXPECT_TRUE(
        frame->grab().toImage().save(QString::fromStdString(qttest::Artefact("grid-scroll-bars.png"))));
}

// A grid made wider or taller through its Width or Height lays its window out
// by the new client size: the cells take the room, and bars that are no
// longer needed go.
TEST(QtGrid, AWidthOrHeightSetAloneLaysTheWindowOutAnew) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 500, 400);
    auto* grid = new TStringGrid(form.get());
    grid->Parent = form.get();
    grid->SetBounds(10, 10, 200, 100);
    grid->ColCount = 4;
    grid->RowCount = 6;
    grid->DefaultColWidth = 60;
    grid->DefaultRowHeight = 20;
    form->Show();
    Settle();
    QWidget* frame = qttest::WindowOf(grid);
    const auto [vertical, horizontal] = ScrollBarsOf(frame);
    ASSERT_NE(vertical, nullptr);
    ASSERT_NE(horizontal, nullptr);
    EXPECT_TRUE(vertical->isVisible());
    EXPECT_TRUE(horizontal->isVisible());

    grid->Width = 300;
    grid->Height = 200;
    Settle();
    EXPECT_EQ(grid->ClientWidth, 296);
    EXPECT_EQ(grid->ClientHeight, 196);
    EXPECT_EQ(WidgetOf(grid)->width(), 296);
    EXPECT_EQ(WidgetOf(grid)->height(), 196);
    EXPECT_FALSE(vertical->isVisible());
    EXPECT_FALSE(horizontal->isVisible());
    EXPECT_TRUE(
        frame->grab().toImage().save(QString::fromStdString(qttest::Artefact("grid-resized-alone.png"))));
}
