// Symbol primitives: where a symbol point lands for every turn, mirror and
// zoom, how figures are fitted into their squares, cells over several
// squares, and the labels of the screen and of the printed scheme.
#include "cells/drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/factory.h"
#include "document/grid.h"
#include "platform/engines.h"
#include "platform/graphics.h"
#include "printing/print_page.h"
#include "support/globals_fixture.h"
#include "support/stand_in.h"

namespace {

// A cell with a short code and a chosen kind, turn and mirror.
class TCellaDisegno : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    TCellaDisegno(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                  int32_t through = 1)
        : TCella(owner, orientation, mirrored, column, row, 1, through, 0) {
        TypeCode = 1;
        SetPortCounts();
        Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    }
    AnsiString GetShortCode() const override { return "Z7"; }
    void DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                    int32_t zoom) override {
        BeginSymbol(canvas, column, row, x, y, zoom);
        SymMoveTo(0, 0);
        SymLineTo(20, 20);
    }
};

// A canvas over a recording engine, and the calls it kept.
struct Recorder {
    TRecordingEngine engine;
    TCanvas canvas{&engine};
    std::vector<TPaintCall> Of(TPaintOp op) const { return engine.CallsOf(op); }
};

struct PointCase {
    int32_t orientation;
    int32_t mirrored;
    int32_t zoom;
    TPoint expected;  // pixel of the symbol point (4, 7) drawn at (100, 200)
};

// At zoom 21 a unit is a pixel; at 42 two, after a pen offset of 1; at 15 a
// unit is 15/21 of a pixel, rounded half up: 4 -> 3, 7 -> 5, 13 -> 9, 16 -> 11.
// clang-format off
const PointCase pointCases[] = {
    {0, 0, 21, {104, 207}}, {1, 0, 21, {113, 204}}, {2, 0, 21, {116, 213}}, {3, 0, 21, {107, 216}},
    {0, 1, 21, {116, 207}}, {1, 1, 21, {113, 216}}, {2, 1, 21, {104, 213}}, {3, 1, 21, {107, 204}},
    {0, 0, 42, {109, 215}}, {1, 0, 42, {127, 209}}, {2, 0, 42, {133, 227}}, {3, 0, 42, {115, 233}},
    {0, 1, 42, {133, 215}}, {1, 1, 42, {127, 233}}, {2, 1, 42, {109, 227}}, {3, 1, 42, {115, 209}},
    {0, 0, 15, {103, 205}}, {1, 0, 15, {109, 203}}, {2, 0, 15, {111, 209}}, {3, 0, 15, {105, 211}},
    {0, 1, 15, {111, 205}}, {1, 1, 15, {109, 211}}, {2, 1, 15, {103, 209}}, {3, 1, 15, {105, 203}},
};
// clang-format on

TEST(SymbolTransform, PointLandsOnItsPixelForEveryTurnMirrorAndZoom) {
    for (const PointCase& c : pointCases) {
        TCellaDisegno cell(nullptr, c.orientation, c.mirrored, 0, 0);
        Recorder r;
        cell.BeginSymbol(&r.canvas, 0, 0, 100, 200, c.zoom);
        EXPECT_EQ(cell.SymPoint(4, 7), c.expected)
            << "orientation " << c.orientation << " mirrored " << c.mirrored << " zoom " << c.zoom;
        // The primitives draw where the transform says.
        cell.SymMoveTo(4, 7);
        cell.SymLineTo(4, 7);
        const auto lines = r.Of(TPaintOp::Line);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].Points[1], c.expected);
    }
}

// A cell three squares long that stands upright when turned by a quarter.
class TCellaLunga : public TCellaDisegno {
public:
    TCellaLunga(int32_t orientation, int32_t mirrored)
        : TCellaDisegno(nullptr, orientation, mirrored, 5, 5, 3) {}
    TCellRect GetGridRect() const override {
        if (Orientation & 1) return TCellRect{Row, Column, Row + 2, Column};
        return TCellRect{Row, Column, Row, Column + 2};
    }
};

TEST(SymbolTransform, MirroredQuarterTurnMapsToHMinusYAndWMinusX) {
    // W (62) and H (20) differ, so the two cannot be confused.
    TCellaLunga cell(1, 1);
    Recorder r;
    cell.BeginSymbol(&r.canvas, 5, 5, 0, 0, 21);
    EXPECT_EQ(SymbolState.W, 62);
    EXPECT_EQ(SymbolState.H, 20);
    EXPECT_EQ(cell.SymPoint(3, 5), TPoint(20 - 5, 62 - 3));
    // Painted at its lowest square, the symbol still starts two squares up.
    cell.BeginSymbol(&r.canvas, 5, 7, 0, 42, 21);
    EXPECT_EQ(cell.SymPoint(3, 5), TPoint(20 - 5, 62 - 3));
}

TEST(SymbolFigures, RectanglesComeOutOrderedAndInsideTheirSquare) {
    for (int32_t zoom : {15, 21, 42, 100}) {
        for (int32_t turn = 0; turn < 4; ++turn) {
            for (int32_t mirrored = 0; mirrored < 2; ++mirrored) {
                TCellaDisegno cell(nullptr, turn, mirrored, 0, 0);
                Recorder r;
                cell.BeginSymbol(&r.canvas, 0, 0, 50, 80, zoom);
                cell.SymRectangle(20, 20, 0, 0);  // corners given the wrong way round
                cell.SymEllipse(0, 20, 20, 0);
                for (TPaintOp op : {TPaintOp::Rectangle, TPaintOp::Ellipse}) {
                    const auto calls = r.Of(op);
                    ASSERT_EQ(calls.size(), 1u);
                    const TRect& q = calls[0].Rect;
                    SCOPED_TRACE(testing::Message()
                                 << "zoom " << zoom << " turn " << turn << " mirrored " << mirrored);
                    EXPECT_LT(q.Left, q.Right);
                    EXPECT_LT(q.Top, q.Bottom);
                    EXPECT_GE(q.Left, 50);
                    EXPECT_GE(q.Top, 80);
                    EXPECT_LE(q.Right, 50 + zoom);
                    EXPECT_LE(q.Bottom, 80 + zoom);
                }
            }
        }
    }
}

TEST(SymbolFigures, RectangleGrowsByHalfThePenOnItsRightAndBottom) {
    TCellaDisegno cell(nullptr, 0, 0, 0, 0);
    Recorder r;
    cell.BeginSymbol(&r.canvas, 0, 0, 100, 200, 21);  // pen 1: grows by 1
    cell.SymRectangle(4, 4, 16, 16);
    cell.BeginSymbol(&r.canvas, 0, 0, 100, 200, 63);  // scale 3, pen 3, offset 1: grows by 2
    cell.SymRectangle(4, 4, 16, 16);
    const auto calls = r.Of(TPaintOp::Rectangle);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].Rect, TRect(104, 204, 117, 217));
    EXPECT_EQ(calls[1].Rect, TRect(113, 213, 151, 251));
    EXPECT_EQ(calls[1].State.Pen.Width, 3);
}

TEST(SymbolState, PenIsTheWholeScaleAndNeverThinnerThanOnePixel) {
    struct Case {
        int32_t zoom;
        int32_t pen;
        int32_t offset;
    };
    for (const Case c : {Case{10, 1, 0}, Case{15, 1, 0}, Case{20, 1, 0}, Case{21, 1, 0}, Case{42, 2, 1},
                         Case{62, 2, 1}, Case{84, 4, 2}}) {
        TCellaDisegno cell(nullptr, 0, 0, 0, 0);
        Recorder r;
        cell.BeginSymbol(&r.canvas, 0, 0, 0, 0, c.zoom);
        EXPECT_EQ(SymbolState.PenWidth, c.pen) << "zoom " << c.zoom;
        EXPECT_EQ(SymbolState.PenOffset, c.offset) << "zoom " << c.zoom;
        cell.SymMoveTo(0, 0);
        cell.SymLineTo(20, 0);
        const auto lines = r.Of(TPaintOp::Line);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].State.Pen.Width, c.pen);
        EXPECT_EQ(lines[0].State.Pen.Color, clBlack);
        EXPECT_EQ(lines[0].State.Pen.Style, psSolid);
        EXPECT_EQ(lines[0].State.Brush.Style, bsClear);
    }
}

TEST(SymbolState, SymbolFontIsTimesScaledWithTheZoom) {
    TCellaDisegno cell(nullptr, 0, 0, 0, 0);
    Recorder r;
    r.canvas.Font->PixelsPerInch = 96;
    cell.BeginSymbol(&r.canvas, 0, 0, 0, 0, 42);  // scale 2, font scale 1.5: 12 points
    EXPECT_EQ(static_cast<AnsiString>(r.canvas.Font->Name), "Times New Roman");
    EXPECT_EQ(r.canvas.Font->Size, 12);
    EXPECT_EQ(r.canvas.Font->Color, clBlack);
}

TEST(SymbolState, CellOverThreeColumnsDrawsFromItsFirstSquare) {
    TCellaDisegno cell(nullptr, 0, 0, 10, 4, 3);
    ASSERT_EQ(cell.GetGridRect(), (TCellRect{4, 10, 4, 12}));
    for (int32_t zoom : {21, 42}) {
        Recorder r;
        // Painting the third square, whose pixel x is 500.
        cell.BeginSymbol(&r.canvas, 12, 4, 500, 300, zoom);
        EXPECT_EQ(SymbolState.W, 62);
        EXPECT_EQ(SymbolState.H, 20);
        const int32_t firstSquare = 500 - 2 * zoom;
        EXPECT_EQ(cell.SymPoint(0, 0),
                  TPoint(firstSquare + SymbolState.PenOffset, 300 + SymbolState.PenOffset));
        // The symbol's far end lies in the square being painted.
        EXPECT_GE(cell.SymPoint(62, 0).x, 500);
        EXPECT_LE(cell.SymPoint(62, 0).x, 500 + zoom);
    }
}

TEST(SymbolFigures, FilledRectIsBlackThenTheBrushIsClearWithItsColour) {
    TCellaDisegno cell(nullptr, 0, 0, 0, 0);
    Recorder r;
    cell.BeginSymbol(&r.canvas, 0, 0, 0, 0, 21);
    r.canvas.Brush->Color = clYellow;
    r.canvas.Brush->Style = bsClear;
    cell.SymFilledRect(9, 1, 11, 2);
    const auto calls = r.Of(TPaintOp::Rectangle);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].State.Brush.Style, bsSolid);
    EXPECT_EQ(calls[0].State.Brush.Color, clBlack);
    EXPECT_EQ(r.canvas.Brush->Style, bsClear);
    EXPECT_EQ(r.canvas.Brush->Color, clYellow);
}

TEST(SymbolFigures, PolylineLeavesTheCallersPointsAlone) {
    TCellaDisegno cell(nullptr, 2, 1, 0, 0);
    Recorder r;
    cell.BeginSymbol(&r.canvas, 0, 0, 0, 0, 21);
    std::vector<TPoint> points = {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}};
    const std::vector<TPoint> before = points;
    cell.SymPolyline(points);
    EXPECT_EQ(points, before);
    const auto calls = r.Of(TPaintOp::Polyline);
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(calls[0].Points.size(), 5u);
    for (size_t i = 0; i < points.size(); ++i)
        EXPECT_EQ(calls[0].Points[i], cell.SymPoint(points[i].x, points[i].y));
}

TEST(SymbolFigures, ArrowIsThreeSidesOfABar) {
    TCellaDisegno cell(nullptr, 0, 0, 0, 0);
    Recorder r;
    cell.BeginSymbol(&r.canvas, 0, 0, 0, 0, 21);
    cell.SymArrow(2, 10, 8, 0);
    cell.SymArrow(10, 2, 0, 6);
    const auto calls = r.Of(TPaintOp::Polyline);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].Points, (std::vector<TPoint>{{2, 8}, {10, 8}, {10, 12}, {2, 12}}));
    EXPECT_EQ(calls[1].Points, (std::vector<TPoint>{{8, 2}, {8, 8}, {12, 8}, {12, 2}}));
}

TEST(SymbolFigures, MirroredArcRunsFromTheMirroredEnd) {
    Recorder plain, mirrored;
    TCellaDisegno a(nullptr, 0, 0, 0, 0), b(nullptr, 0, 1, 0, 0);
    a.BeginSymbol(&plain.canvas, 0, 0, 0, 0, 21);
    a.SymArc(0, 0, 20, 20, 20, 10, 10, 0);  // the upper right quarter
    b.BeginSymbol(&mirrored.canvas, 0, 0, 0, 0, 21);
    b.SymArc(0, 0, 20, 20, 20, 10, 10, 0);  // its mirror image: the upper left quarter
    const auto p = plain.Of(TPaintOp::Arc);
    const auto m = mirrored.Of(TPaintOp::Arc);
    ASSERT_EQ(p.size(), 1u);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(p[0].Points, (std::vector<TPoint>{{20, 10}, {10, 0}}));
    EXPECT_EQ(m[0].Points, (std::vector<TPoint>{{10, 0}, {0, 10}}));
    EXPECT_EQ(p[0].Rect, m[0].Rect);
}

TEST(SymbolFigures, ModuleSignIsDrawnAtHalfScaleWithAThinnerPen) {
    TCellaDisegno cell(nullptr, 0, 0, 0, 0);
    Recorder r;
    cell.BeginSymbol(&r.canvas, 0, 0, 100, 200, 84);  // scale 4, pen 4, offset 2
    cell.DrawModuleSymbol(0, 0, 1);
    const auto waves = r.Of(TPaintOp::Polyline);
    ASSERT_EQ(waves.size(), 3u);
    // Half scale 2, pen 2: origin (100, 200) + 1.
    EXPECT_EQ(waves[0].Points[0], TPoint(101 + 24, 201 + 32));
    EXPECT_EQ(waves[1].Points[0], TPoint(101 + 24, 201 + 42));
    EXPECT_EQ(waves[2].Points[3], TPoint(101 + 58, 201 + 52));
    EXPECT_EQ(waves[0].State.Pen.Width, 2);
    EXPECT_EQ(r.Of(TPaintOp::Line).size(), 2u);  // variant 1: two strokes
    EXPECT_EQ(r.canvas.Pen->Width, 4);           // the symbol's pen comes back
}

// ---- Labels ----

class CellLabels : public ::testing::Test {
protected:
    TGridData grid{nullptr, 20, 20, GridNetwork};
    Recorder r;
};

TEST_F(CellLabels, ShortCodeIsGreenWhenDescribedAndRedWhenNot) {
    grid.Step = 2;
    for (uint8_t described : {uint8_t{1}, uint8_t{0}}) {
        TCellaDisegno cell(&grid, 0, 0, 3, 3);
        cell.Described = described;
        r.engine.Clear();
        cell.Paint(&r.canvas, 3, 3, 63, 63, 21);
        const auto texts = r.Of(TPaintOp::Text);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].Text, "Z7");
        EXPECT_EQ(texts[0].State.Font.Color, described ? clGreen : clRed);
        EXPECT_EQ(texts[0].State.Font.Name, "Arial");
        EXPECT_EQ(texts[0].State.Font.Height, -8);
        EXPECT_EQ(texts[0].State.Brush.Style, bsSolid);
        // A code of fewer than four characters starts 17 pixels before the square's right edge.
        EXPECT_EQ(texts[0].Points[0], TPoint(63 + 21 - 17, 63));
        EXPECT_EQ(r.Of(TPaintOp::Line).size(), 1u);  // the symbol came first
    }
}

TEST_F(CellLabels, NoCodeAtDetailLevelOneOrBelowNorOnOtherSquares) {
    TCellaDisegno cell(&grid, 0, 0, 3, 3, 2);
    grid.Step = 1;
    cell.Paint(&r.canvas, 3, 3, 0, 0, 21);
    EXPECT_TRUE(r.engine.Texts().empty());
    grid.Step = 2;
    cell.Paint(&r.canvas, 4, 3, 21, 0, 21);  // its second square
    EXPECT_TRUE(r.engine.Texts().empty());
    EXPECT_EQ(r.Of(TPaintOp::Line).size(), 2u);
    TCellaDisegno loose(nullptr, 0, 0, 3, 3);  // on no grid
    loose.Paint(&r.canvas, 3, 3, 0, 0, 21);
    EXPECT_TRUE(r.engine.Texts().empty());
}

TEST_F(CellLabels, LongLabelsStartFurtherLeft) {
    TCellaDisegno cell(&grid, 0, 0, 0, 0);
    cell.DrawLabel(&r.canvas, 10, 20, 42, "R12", clBlue);
    cell.DrawLabel(&r.canvas, 10, 20, 42, "R123", clBlue);
    cell.DrawTextAt(&r.canvas, 10, 20, "x", clBlue, 3, -4);
    const auto texts = r.Of(TPaintOp::Text);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].Points[0], TPoint(10 + 42 - 17, 20));
    EXPECT_EQ(texts[1].Points[0], TPoint(10 + 42 - 21, 20));
    EXPECT_EQ(texts[2].Points[0], TPoint(13, 16));
    EXPECT_EQ(texts[2].State.Font.Height, -8);
}

// A label wider than the room LabelLeft gives it is drawn whole inside its
// square, from a pixel inside its left edge to a pixel inside its right
// one. A code keeps the zoom's label size on two lines, its letters above
// its number; a number too wide for the square, or a label with no letters
// before a number, is set smaller instead (first a little, moved left, then
// smaller still). The square's clip would otherwise cut "C1214" into "C121",
// another cable's name. Labels that fit keep their place and font.
TEST_F(CellLabels, ALabelTooWideForItsPlaceIsDrawnWholeInItsSquare) {
    struct Case {
        int32_t width;
        const char* text;
        size_t lines;
    };
    const Case cases[] = {{42, "C1214", 2},  {21, "C1214", 2}, {15, "C1214", 2}, {42, "P12345", 2},
                          {21, "P12345", 1}, {15, "D999", 1},  {42, "R1220", 2}, {15, "123456", 1}};
    TCellaDisegno cell(&grid, 0, 0, 0, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " " + c.text);
        r.engine.Clear();
        cell.DrawLabel(&r.canvas, 100, 20, c.width, c.text, clGreen);
        const auto texts = r.Of(TPaintOp::Text);
        ASSERT_EQ(texts.size(), c.lines);
        std::string whole;
        for (const TPaintCall& t : texts) {
            whole += t.Text;
            const int32_t left = t.Points[0].x;
            const int32_t width = TTextMetrics::Extent(t.State.Font, t.Text).cx;
            EXPECT_GE(left, 100 + 1);
            EXPECT_LE(left + width, 100 + c.width - 1);
            // Never larger than the zoom's own label font.
            EXPECT_GE(t.State.Font.Height, c.width >= 21 ? -8 : -6);
        }
        EXPECT_EQ(whole, c.text);
        if (c.lines == 2) {
            // One below the other at the label's own size, starting alike.
            EXPECT_EQ(texts[0].Points[0].x, texts[1].Points[0].x);
            EXPECT_EQ(texts[0].Points[0].y, 20);
            EXPECT_EQ(texts[1].Points[0].y, 20 - texts[0].State.Font.Height + 1);
            EXPECT_EQ(texts[0].State.Font.Height, c.width >= 21 ? -8 : -6);
        }
    }
    // The plain font where the label fits where it stands.
    r.engine.Clear();
    cell.DrawLabel(&r.canvas, 100, 20, 42, "C12", clGreen);
    EXPECT_EQ(r.Of(TPaintOp::Text)[0].State.Font.Height, -8);
    EXPECT_EQ(r.Of(TPaintOp::Text)[0].Points[0].x, 100 + 42 - 17);
}

class LevelLabels : public GlobalsTest {
protected:
    // The texts written, with their colours and x.
    struct Written {
        AnsiString text;
        TColor colour;
        int x;
        bool operator==(const Written&) const = default;
    };
    std::vector<Written> Draw(int32_t width, float level) {
        Recorder r;
        TCellaDisegno cell(nullptr, 0, 0, 0, 0);
        cell.DrawLevelLabel(&r.canvas, 0, 0, width, "R3", level, clGreen);
        std::vector<Written> out;
        for (const TPaintCall& t : r.Of(TPaintOp::Text))
            out.push_back({t.Text, t.State.Font.Color, t.Points[0].x});
        return out;
    }
};

TEST_F(LevelLabels, ValueShowsOnlyWhenTheOptionsAskAndTheLevelIsReal) {
    globals.Options().showAttenuations = false;
    EXPECT_EQ(Draw(42, 14.4f), (std::vector<Written>{{"R3", clGreen, 42 - 17}}));
    globals.Options().showAttenuations = true;
    EXPECT_EQ(Draw(42, LevelNone), (std::vector<Written>{{"R3", clGreen, 42 - 17}}));
    EXPECT_EQ(Draw(42, LevelBlocked), (std::vector<Written>{{"R3", clGreen, 42 - 17}}));
}

TEST_F(LevelLabels, ValueBesideTheLabelWhenWideElseInItsPlace) {
    globals.Options().showAttenuations = true;
    globals.Options().doubleDataWithoutZoom = true;
    const auto wide = Draw(42, 14.4f);
    ASSERT_EQ(wide.size(), 2u);
    // The code where a code stands, or as much further left as the value
    // beside it needs to end inside the square.
    EXPECT_EQ(wide[0].text, "R3");
    EXPECT_EQ(wide[0].colour, clGreen);
    EXPECT_LE(wide[0].x, 42 - 17);
    EXPECT_EQ(wide[1].text, "-14");
    EXPECT_EQ(wide[1].colour, clPurple);
    EXPECT_GT(wide[1].x, wide[0].x);
    EXPECT_EQ(Draw(21, 14.4f), (std::vector<Written>{{"-14", clPurple, 21 - 17}}));
    globals.Options().doubleDataWithoutZoom = false;
    EXPECT_EQ(Draw(42, 14.6f), (std::vector<Written>{{"-15", clPurple, 42 - 17}}));
}

// A long code and its value beside it stand whole in the square together:
// the value is not cut at the square's edge.
TEST_F(LevelLabels, ALongCodeAndItsValueFitTheSquareTogether) {
    globals.Options().showAttenuations = true;
    globals.Options().doubleDataWithoutZoom = true;
    Recorder r;
    TCellaDisegno cell(nullptr, 0, 0, 0, 0);
    cell.DrawLevelLabel(&r.canvas, 0, 0, 42, "P1214", 14.4f, clGreen);
    const auto texts = r.Of(TPaintOp::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].Text, "P1214");
    EXPECT_EQ(texts[1].Text, "-14");
    EXPECT_EQ(texts[1].State.Font.Color, clPurple);
    EXPECT_EQ(texts[1].State.Font.Height, texts[0].State.Font.Height);
    EXPECT_GE(texts[0].Points[0].x, 1);
    EXPECT_GT(texts[1].Points[0].x,
              texts[0].Points[0].x + TTextMetrics::Extent(texts[0].State.Font, "P1214").cx);
    EXPECT_LE(texts[1].Points[0].x + TTextMetrics::Extent(texts[1].State.Font, "-14").cx, 42 - 1);
}

// ---- The printed scheme ----

class PrintedCell : public ::testing::Test {
protected:
    void SetUp() override {
        saved = PrintPage.Canvas;
        PrintPage.Canvas = &r.canvas;
        grid.Step = 2;
    }
    void TearDown() override { PrintPage.Canvas = saved; }
    TCanvas* saved = nullptr;
    TGridData grid{nullptr, 20, 20, GridNetwork};
    Recorder r;
};

TEST_F(PrintedCell, LabelIsTheFirstThatAppliesOfLossCodeAndShortCode) {
    constexpr const char* ShortCode = "<short code>";
    struct Case {
        int32_t typeCode;
        float loss;
        const char* code;
        int32_t flags;
        const char* expected;  // nullptr: nothing written
    };
    // clang-format off
    const Case cases[] = {
        {CodeDerivatore, 12.4f, "AB^7", 64 | 32 | 16, "-12"},
        {CodeEndOutlet, 12.5f, "", 64, "-13"},
        {CodeSwitch, 12.4f, "", 64, "-12"},
        {CodeDivisore, LevelNone, "AB^7", 64 | 32, "AB"},  // no loss: the code
        {CodeFiltroS, 12.0f, "AB^7", 64 | 32, "AB"},       // a filter's loss is not printed
        {CodeTermination, 12.0f, "", 64 | 16, ShortCode},  // nor a termination's
        {CodeDerivatore, 12.0f, "", 32 | 16, ShortCode},   // no code: the short code
        {CodeDerivatore, 12.0f, "CD", 32, "CD"},
        {CodeDerivatore, 12.0f, "", 32, nullptr},
        {CodeDerivatore, 12.0f, "CD", 0, nullptr},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::unique_ptr<TCella> cell(NewCella(&grid, c.typeCode, 2, 2, 1, 1, 2));
        ASSERT_NE(cell, nullptr) << c.typeCode;
        cell->Code = c.code;
        cell->Attenuation->Set3(0, 0, 5, c.loss);
        r.engine.Clear();
        r.canvas.Font->Color = clRed;
        const TCellRect rect = cell->GetGridRect();
        cell->DrawAttenuationValues(PrintPage.Canvas, rect.Right, rect.Top, 84, 84, 42, c.flags);
        const auto texts = r.Of(TPaintOp::Text);
        if (!c.expected) {
            EXPECT_TRUE(texts.empty()) << "code " << c.typeCode << " flags " << c.flags;
            continue;
        }
        ASSERT_EQ(texts.size(), 1u) << "code " << c.typeCode << " flags " << c.flags;
        EXPECT_EQ(texts[0].Text, c.expected == ShortCode ? cell->GetShortCode() : AnsiString(c.expected));
        EXPECT_EQ(texts[0].State.Font.Color, clBlack);
        EXPECT_EQ(texts[0].Points[0], TPoint(84 + 26 + 2, 84 - 6));
    }
}

TEST_F(PrintedCell, LossLabelIsReadAtTheBandTheSchemeAsksFor) {
    std::unique_ptr<TCella> cell = NewCella(&grid, CodeDerivatore, 2, 2, 1, 1, 2);
    ASSERT_NE(cell, nullptr);
    cell->Attenuation->Set3(0, 0, 5, 12.0f);
    cell->Attenuation->Set3(0, 0, 2, 9.0f);
    cell->Attenuation->Set3(0, 0, 9, 17.0f);
    const TCellRect rect = cell->GetGridRect();
    const struct {
        int32_t bandFlag;
        const char* expected;
    } cases[] = {{0, "-12"},
                 {PrintLabelBandFlag(2), "-9"},
                 {PrintLabelBandFlag(9), "-17"},
                 {PrintLabelBandFlag(5), "-12"}};
    for (const auto& c : cases) {
        r.engine.Clear();
        cell->DrawAttenuationValues(PrintPage.Canvas, rect.Right, rect.Top, 84, 84, 42,
                                    PrintLabelAttenuation | c.bandFlag);
        const auto texts = r.Of(TPaintOp::Text);
        ASSERT_EQ(texts.size(), 1u) << c.expected;
        EXPECT_EQ(texts[0].Text, AnsiString(c.expected));
    }
}

TEST_F(PrintedCell, LabelOnlyAtTheTopRightSquareAboveDetailLevelOne) {
    TCellaDisegno cell(&grid, 0, 0, 2, 2, 3);  // squares 2 to 4 of row 2
    cell.DrawAttenuationValues(PrintPage.Canvas, 2, 2, 0, 0, 21, 16);
    EXPECT_TRUE(r.engine.Texts().empty());
    cell.DrawAttenuationValues(PrintPage.Canvas, 4, 2, 100, 50, 21, 16);
    ASSERT_EQ(r.engine.Texts().size(), 1u);
    EXPECT_EQ(r.Of(TPaintOp::Text)[0].Points[0], TPoint(100 + 21 * 26 / 42 + 1, 50 - 21 * 6 / 42));
    grid.Step = 1;
    cell.DrawAttenuationValues(PrintPage.Canvas, 4, 2, 100, 50, 21, 16);
    EXPECT_EQ(r.engine.Texts().size(), 1u);
}

TEST_F(PrintedCell, PaintIfAtDrawsTheSymbolOnThePageOnceFromItsOwnSquare) {
    TCellaDisegno cell(&grid, 0, 0, 2, 2, 3);
    for (int32_t c = 2; c <= 4; ++c) cell.PaintIfAt(PrintPage.Canvas, c, 2, (c - 2) * 42, 0, 42);
    cell.PaintIfAt(PrintPage.Canvas, 2, 3, 0, 42, 42);
    const auto lines = r.Of(TPaintOp::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Points[0], TPoint(1, 1));
    EXPECT_TRUE(r.engine.Texts().empty());  // the printed scheme labels separately
}

// The ink of a symbol's lines, outlines and marks, pen included: boxes that
// a label must not meet. A slanted line counts by its box, which only makes
// the check stricter.
std::vector<TRect> InkOf(const Recorder& r) {
    std::vector<TRect> ink;
    auto add = [&](TPoint a, TPoint b, int pen) {
        const int half = (pen + 1) / 2;
        ink.push_back(TRect(std::min(a.x, b.x) - half, std::min(a.y, b.y) - half, std::max(a.x, b.x) + half,
                            std::max(a.y, b.y) + half));
    };
    for (TPaintOp op : {TPaintOp::Line, TPaintOp::Polyline, TPaintOp::Polygon})
        for (const TPaintCall& c : r.Of(op))
            for (size_t i = 1; i < c.Points.size(); ++i) add(c.Points[i - 1], c.Points[i], c.State.Pen.Width);
    for (TPaintOp op : {TPaintOp::Rectangle, TPaintOp::FillRect, TPaintOp::Ellipse})
        for (const TPaintCall& c : r.Of(op)) {
            const TRect& b = c.Rect;
            const int pen = op == TPaintOp::FillRect ? 0 : c.State.Pen.Width;
            for (const auto& [p, q] : {std::pair{TPoint(b.Left, b.Top), TPoint(b.Right, b.Top)},
                                       std::pair{TPoint(b.Right, b.Top), TPoint(b.Right, b.Bottom)},
                                       std::pair{TPoint(b.Right, b.Bottom), TPoint(b.Left, b.Bottom)},
                                       std::pair{TPoint(b.Left, b.Bottom), TPoint(b.Left, b.Top)}})
                add(p, q, pen);
            if (op == TPaintOp::FillRect) add(TPoint(b.Left, b.Top), TPoint(b.Right, b.Bottom), 0);
        }
    return ink;
}

class PrintedLabel : public GlobalsTest {
protected:
    void SetUp() override {
        saved = PrintPage.Canvas;
        PrintPage.Canvas = &r.canvas;
        grid.Step = 2;
        globals.Options().cellSwitch = true;  // switches with their connector's arrows
    }
    void TearDown() override { PrintPage.Canvas = saved; }
    TCanvas* saved = nullptr;
    TGridData grid{nullptr, 20, 20, GridNetwork};
    Recorder r;
};

// The loss, codes or cable length beside a symbol, at the sizes a printed
// scheme gives a square, keep clear of its lines, stubs, marks and arrows:
// a switch's "-9" used to touch the arrow of its last input, and the third
// line of a cable's label ran across the cable.
TEST_F(PrintedLabel, ALabelTouchesNoInkOfItsSymbol) {
    constexpr int32_t Lengths = PrintLabelCableLength | PrintLabelCode | PrintLabelShortCode;
    auto cell = [&](int32_t code, int32_t inputs, int32_t through, int32_t outputs) {
        return [=, this] {
            std::unique_ptr<TCella> c(NewCella(&grid, code, 2, 2, inputs, through, outputs));
            c->Choice1 = 1;
            if (c->Attenuation) c->Attenuation->Set3(0, 0, 5, 9.0f);
            return c;
        };
    };
    auto cable = [&](int32_t orientation) {
        return [=, this] {
            auto c = std::make_unique<TNCavo>(&grid, orientation, 0, 2, 2, 0, 0);
            c->RunEnd = 1;
            c->SetLength(12.0f);
            c->Code = "GCX-07";
            return std::unique_ptr<TCella>(std::move(c));
        };
    };
    struct Case {
        const char* name;
        std::function<std::unique_ptr<TCella>()> make;
        int32_t flags;
    };
    const Case cases[] = {
        {"switch of one line", cell(CodeSwitch, 1, 1, 2), PrintLabelAttenuation},
        {"switch of five lines", cell(CodeSwitch, 5, 5, 2), PrintLabelAttenuation},
        {"tap", cell(CodeDerivatore, 1, 1, 2), PrintLabelAttenuation},
        {"splitter", cell(CodeDivisore, 1, 0, 2), PrintLabelAttenuation},
        {"outlet", cell(CodeEndOutlet, 1, 0, 1), PrintLabelAttenuation},
        {"termination", cell(CodeTermination, 1, 0, 0), PrintLabelShortCode},
        {"cable down", cable(0), Lengths},
        {"cable across", cable(1), Lengths},
    };
    for (const Case& c : cases)
        for (int32_t zoom : {42, 63, 84, 126}) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(zoom));
            std::unique_ptr<TCella> made = c.make();
            ASSERT_NE(made, nullptr);
            const TCellRect rect = made->GetGridRect();
            const TPoint at(200, 200);  // the top-right square
            r.engine.Clear();
            made->PaintIfAt(PrintPage.Canvas, rect.Left, rect.Top, at.x - (rect.Right - rect.Left) * zoom,
                            at.y, zoom);
            const std::vector<TRect> ink = InkOf(r);
            ASSERT_FALSE(ink.empty());
            // The labels' font as the scheme sets it: 8 points times the square's scale.
            r.canvas.Font->Name = "Arial";
            r.canvas.Font->Height = -(zoom * 11 / 42);
            made->DrawAttenuationValues(PrintPage.Canvas, rect.Right, rect.Top, at.x, at.y, zoom, c.flags);
            const auto texts = r.Of(TPaintOp::Text);
            ASSERT_FALSE(texts.empty());
            for (const TPaintCall& t : texts) {
                const TSize size = TTextMetrics::Extent(t.State.Font, t.Text);
                const TRect label(t.Points[0].x, t.Points[0].y, t.Points[0].x + size.cx,
                                  t.Points[0].y + size.cy);
                for (const TRect& b : ink)
                    EXPECT_FALSE(b.Left < label.Right && label.Left < b.Right && b.Top < label.Bottom &&
                                 label.Top < b.Bottom)
                        << t.Text << " (" << label.Left << "," << label.Top << ")-(" << label.Right << ","
                        << label.Bottom << ") meets ink (" << b.Left << "," << b.Top << ")-(" << b.Right
                        << "," << b.Bottom << ")";
            }
        }
}

}  // namespace
