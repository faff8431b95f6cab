// The symbols of taps and splitters and the tap's label, as the recording
// canvas sees them. At zoom 21 one symbol unit is one pixel; rectangles grow
// by one pixel to the right and below.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "cells/drawing.h"
#include "cells/factory.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "document/grid.h"
#include "platform/engines.h"
#include "platform/graphics.h"
#include "support/globals_fixture.h"
#include "support/port_edges.h"

namespace {

using Points = std::vector<TPoint>;

// Movable, so that a helper can hand back what it recorded.
struct Recorder {
    std::shared_ptr<TRecordingEngine> recording = std::make_shared<TRecordingEngine>();
    std::shared_ptr<TCanvas> target = std::make_shared<TCanvas>(recording.get());
    TRecordingEngine& Engine() const { return *recording; }
    TCanvas* Canvas() const { return target.get(); }
    std::vector<TPaintCall> Of(TPaintOp op) const { return recording->CallsOf(op); }
    std::vector<Points> Lines() const {
        std::vector<Points> out;
        for (const TPaintCall& c : Of(TPaintOp::Line)) out.push_back(c.Points);
        return out;
    }
    std::vector<Points> Polylines() const {
        std::vector<Points> out;
        for (const TPaintCall& c : Of(TPaintOp::Polyline)) out.push_back(c.Points);
        return out;
    }
    std::vector<TRect> Rects() const {
        std::vector<TRect> out;
        for (const TPaintCall& c : Of(TPaintOp::Rectangle)) out.push_back(c.Rect);
        return out;
    }
};

std::unique_ptr<TCella> Make(int32_t code, int32_t inputs, int32_t outputs) {
    return std::unique_ptr<TCella>(NewCella(nullptr, code, 0, 0, inputs, 0, outputs));
}

Recorder Drawn(TCella& cell, int32_t zoom = 21) {
    Recorder r;
    cell.DrawSymbol(r.Canvas(), cell.Column, cell.Row, 0, 0, zoom);
    return r;
}

template <typename T>
bool Has(const std::vector<T>& all, const T& one) {
    return std::find(all.begin(), all.end(), one) != all.end();
}

TEST(TapSymbols, OneSquareTapsAndSplitters) {
    struct Case {
        const char* what;
        int32_t code, outputs;
        std::vector<Points> lines;
        std::vector<TRect> rects;
    };
    const TRect box(4, 5, 17, 16), mark(9, 1, 12, 3);
    // clang-format off
    const Case cases[] = {
        {"tap 1 x 2", 6, 2, {{{10, 0}, {10, 20}}, {{20, 10}, {16, 10}}, {{0, 10}, {4, 10}}}, {box, mark}},
        {"tap 1 x 1", 6, 1, {{{10, 0}, {10, 20}}, {{20, 10}, {16, 10}}}, {box, mark}},
        // Without a through output the line ends in a bar inside the box.
        {"end tap 1 x 2", 49, 2,
         {{{10, 0}, {10, 12}}, {{8, 12}, {12, 12}}, {{20, 10}, {16, 10}}, {{0, 10}, {4, 10}}}, {box, mark}},
        {"splitter 1 x 2", 3, 2, {{{10, 0}, {10, 8}}, {{0, 10}, {4, 10}}, {{20, 10}, {16, 10}}}, {box}},
        {"splitter 1 x 3", 3, 3,
         {{{10, 0}, {10, 8}}, {{0, 10}, {4, 10}}, {{20, 10}, {16, 10}}, {{10, 20}, {10, 15}}}, {box}},
        // One output: it leaves at the bottom, where its port is.
        {"splitter 1 x 1", 3, 1, {{{10, 0}, {10, 8}}, {{10, 20}, {10, 15}}}, {box}},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, 1, c.outputs);
        const Recorder r = Drawn(*cell);
        EXPECT_EQ(r.Lines(), c.lines) << c.what;
        EXPECT_EQ(r.Rects(), c.rects) << c.what;
    }
    // The terminated tap hooks its user lines inside the box.
    auto s = Make(50, 1, 2);
    EXPECT_EQ(Drawn(*s).Polylines(), (std::vector<Points>{{{20, 10}, {13, 10}, {13, 7}, {16, 7}},
                                                          {{0, 10}, {7, 10}, {7, 7}, {4, 7}}}));
}

TEST(TapSymbols, OneLineOverSeveralSquaresStepsItsFirstAndLastStubs) {
    // Tap 1 x 7: four rows, H = 83; middle rows 1 and 2 at y 31 and 52; the
    // last row holds output 6 alone, on the right.
    auto tap = Make(6, 1, 7);
    Recorder r = Drawn(*tap);
    EXPECT_EQ(r.Rects()[0], TRect(4, 15, 17, 69));
    EXPECT_TRUE(Has(r.Lines(), Points{{10, 0}, {10, 83}}));
    for (int32_t y : {31, 52}) {
        EXPECT_TRUE(Has(r.Lines(), Points{{0, y}, {4, y}})) << y;
        EXPECT_TRUE(Has(r.Lines(), Points{{20, y}, {16, y}})) << y;
    }
    EXPECT_EQ(r.Polylines(), (std::vector<Points>{{{0, 10}, {1, 10}, {1, 17}, {4, 17}},
                                                  {{20, 10}, {19, 10}, {19, 17}, {16, 17}},
                                                  {{20, 73}, {19, 73}, {19, 66}, {16, 66}}}));
    // An even count closes the last row on both sides; without a through
    // output the line ends in the bar 18 above the bottom.
    auto end = Make(49, 1, 4);
    r = Drawn(*end);
    EXPECT_TRUE(Has(r.Lines(), Points{{10, 0}, {10, 23}}));
    EXPECT_TRUE(Has(r.Lines(), Points{{8, 23}, {12, 23}}));
    EXPECT_EQ(r.Polylines().size(), 4u);
    // Splitter 1 x 5: stepped first and last rows on both sides, the fifth output at the bottom.
    auto splitter = Make(3, 1, 5);
    r = Drawn(*splitter);
    EXPECT_EQ(r.Rects()[0], TRect(4, 15, 17, 27));
    EXPECT_EQ(r.Lines(), (std::vector<Points>{{{10, 0}, {10, 18}}, {{10, 41}, {10, 26}}}));
    EXPECT_EQ(r.Polylines().size(), 4u);
}

TEST(TapSymbols, SeveralLinesHaveOneBoxAStubPerPortAndTheGlyphOfTheirKind) {
    // 2 x 4: W = 41, H = 104; the glyph's corner at (10, 42).
    struct Case {
        int32_t code;
        std::vector<Points> glyphLines;
        size_t polylines;
    };
    // clang-format off
    const Case cases[] = {
        {6, {{{20, 44}, {20, 60}}, {{28, 52}, {24, 52}}}, 0},
        {49, {{{20, 44}, {20, 54}}, {{18, 54}, {22, 54}}, {{28, 52}, {24, 52}}}, 0},
        {50, {{{20, 44}, {20, 60}}}, 2},
        {3, {{{20, 44}, {20, 50}}, {{28, 52}, {24, 52}}}, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, 2, 4);
        const Recorder r = Drawn(*cell);
        const auto rects = r.Rects();
        ASSERT_GE(rects.size(), 3u) << c.code;
        EXPECT_EQ(rects.front(), TRect(4, 5, 38, 100)) << c.code;
        EXPECT_EQ(rects[rects.size() - 2], TRect(10, 42, 31, 63)) << c.code;  // outer square
        EXPECT_EQ(rects.back(), TRect(16, 48, 25, 57)) << c.code;             // inner square
        const auto lines = r.Lines();
        const std::vector<Points> glyph(lines.end() - static_cast<long>(c.glyphLines.size()), lines.end());
        EXPECT_EQ(glyph, c.glyphLines) << c.code;
        EXPECT_EQ(r.Polylines().size(), c.polylines) << c.code;
        // Input stubs (with their marks on a tap), user outputs on the edges of their rows.
        const int32_t inputEnd = c.code == 3 ? 8 : 5;
        EXPECT_TRUE(Has(lines, Points{{31, 0}, {31, inputEnd}})) << c.code;
        EXPECT_TRUE(Has(lines, Points{{41, 73}, {37, 73}})) << c.code;  // output 2 of line 0, row 3
        EXPECT_TRUE(Has(lines, Points{{0, 94}, {4, 94}})) << c.code;    // output 3 of line 1, row 4
        EXPECT_EQ(Has(lines, Points{{31, 104}, {31, 99}}), c.code == 6 || c.code == 50) << c.code;
        EXPECT_EQ(rects.size(), c.code == 3 ? 3u : 5u) << c.code;  // the two input marks
    }
}

TEST(TapSymbols, AnInternalSupplyPutsItsMarkBesideTheGlyph) {
    auto two = Make(6, 2, 2);  // W = 41, H = 41: x0 = -2, the glyph's top at 10
    two->Power[PowerSupply][0] |= 8;
    Recorder r = Drawn(*two);
    // The marker at x0 + 5 (its first stroke from (17, 16) to (9, 24)), the
    // glyph at x0 + 20 without its outer square.
    EXPECT_TRUE(Has(r.Lines(), Points{{17, 16}, {9, 24}}));
    EXPECT_EQ(r.Rects().back(), TRect(24, 16, 33, 25));
    EXPECT_FALSE(Has(r.Rects(), TRect(18, 10, 39, 31)));
    auto three = Make(6, 3, 2);  // W = 62, H = 62: x0 = 8
    three->Power[PowerSupply][0] |= 8;
    r = Drawn(*three);
    EXPECT_TRUE(Has(r.Rects(), TRect(8, 21, 29, 42)));   // the frame sign
    EXPECT_TRUE(Has(r.Rects(), TRect(33, 21, 54, 42)));  // the glyph at x0 + 25, with its outer square
}

class TapSymbolOptions : public GlobalsTest {};

TEST_F(TapSymbolOptions, ArrowsOnEveryStubWhenAskedFor) {
    auto tap = Make(6, 2, 2);  // 2 inputs, 4 user outputs, 2 through outputs
    globals.Options().cellSwitch = true;
    EXPECT_TRUE(Drawn(*tap).Polylines().empty());  // Choice1 is not 1
    tap->Choice1 = 1;
    const auto arrows = Drawn(*tap).Polylines();
    EXPECT_EQ(arrows.size(), 8u);
    EXPECT_TRUE(Has(arrows, Points{{8, 0}, {8, 5}, {12, 5}, {12, 0}}));      // into input 1
    EXPECT_TRUE(Has(arrows, Points{{8, 36}, {8, 41}, {12, 41}, {12, 36}}));  // out of through output 0
    EXPECT_TRUE(Has(arrows, Points{{37, 8}, {41, 8}, {41, 12}, {37, 12}}));  // out at the right
    globals.Options().cellSwitch = false;
    EXPECT_TRUE(Drawn(*tap).Polylines().empty());
    // A one-line tap has no arrows.
    globals.Options().cellSwitch = true;
    auto one = Make(6, 1, 2);
    one->Choice1 = 1;
    EXPECT_TRUE(Drawn(*one).Polylines().empty());
}

TEST_F(TapSymbolOptions, EveryShapeStaysInsideItsSquaresInEveryTurn) {
    for (auto [code, inputs, outputs] : {std::tuple{6, 1, 5}, std::tuple{50, 2, 3}, std::tuple{49, 3, 2},
                                         std::tuple{3, 1, 4}, std::tuple{3, 2, 3}, std::tuple{3, 1, 1}})
        for (int32_t turn = 0; turn < 4; ++turn)
            for (int32_t mirrored = 0; mirrored < 2; ++mirrored) {
                TGridData grid(nullptr, 20, 20, GridNetwork);
                auto cell = Make(code, inputs, outputs);
                cell->Owner = &grid;
                cell->Column = 10;
                cell->Row = 10;
                cell->Orientation = turn;
                cell->Mirrored = mirrored;
                cell->Choice1 = 1;
                const TCellRect rect = cell->GetGridRect();
                // Painted from the anchor square at its pixel position, zoom 21.
                Recorder r;
                cell->DrawSymbol(r.Canvas(), 10, 10, 10 * 21, 10 * 21, 21);
                const TRect area(rect.Left * 21, rect.Top * 21, (rect.Right + 1) * 21 + 1,
                                 (rect.Bottom + 1) * 21 + 1);
                ASSERT_FALSE(r.Engine().Calls.empty());
                for (const TPaintCall& call : r.Engine().Calls)
                    for (const TPoint& p : call.Points)
                        EXPECT_TRUE(area.Contains(p))
                            << code << " " << inputs << "x" << outputs << " turn " << turn << " mirrored "
                            << mirrored << ": " << call.Describe();
                cell->Owner = nullptr;
            }
}

TEST_F(TapSymbolOptions, EveryPortStubEndsOnItsPortsEdgeInEveryTurn) {
    for (auto [code, inputs, outputs] :
         {std::tuple{6, 1, 2}, std::tuple{6, 1, 5}, std::tuple{49, 1, 4}, std::tuple{50, 2, 4},
          std::tuple{3, 1, 1}, std::tuple{3, 1, 5}, std::tuple{3, 2, 3}})
        for (int32_t turn = 0; turn < 4; ++turn)
            for (int32_t mirrored = 0; mirrored < 2; ++mirrored) {
                const std::string what = std::to_string(code) + " " + std::to_string(inputs) + "x" +
                                         std::to_string(outputs) + " turn " + std::to_string(turn) +
                                         " mirror " + std::to_string(mirrored);
                TGridData grid(nullptr, 30, 30, GridNetwork);
                std::unique_ptr<TCella> cell(NewCella(&grid, code, 12, 12, inputs, 0, outputs));
                cell->Orientation = turn;
                cell->Mirrored = mirrored;
                // Where the ports are: the links and the waiting inputs of the placement.
                const std::vector<TPoint> edges = PortEdgePixels(*cell);
                ASSERT_EQ(static_cast<int32_t>(edges.size()), cell->NumInputs + cell->NumOutputs) << what;
                // The symbol, painted from its anchor square.
                const std::vector<TPoint> ends = StrokeEndPixels(*cell);
                for (const TPoint& edge : edges)
                    EXPECT_TRUE(Has(ends, edge))
                        << what << ": no stub at (" << edge.x << ", " << edge.y << ")";
                cell->Owner = nullptr;
            }
}

TEST_F(TapSymbolOptions, TheLabelWithTheTapLossGoesOnTheTopRightSquare) {
    TGridData grid(nullptr, 20, 20, GridNetwork);
    grid.Step = 2;
    globals.Options().showAttenuations = true;
    globals.Options().doubleDataWithoutZoom = true;
    TDerivatore tap(&grid, 0, 0, 3, 4, 2, 2);  // squares 3-4 x 4-5
    tap.SequenceNumber = 7;
    tap.Attenuation->Set3(0, TapLossColumn, 5, 14.2f);
    auto texts = [&](int32_t column, int32_t row) {
        Recorder r;
        tap.Paint(r.Canvas(), column, row, 0, 0, 42);
        std::vector<std::pair<AnsiString, TColor>> out;
        for (const TPaintCall& t : r.Of(TPaintOp::Text)) out.emplace_back(t.Text, t.State.Font.Color);
        return out;
    };
    EXPECT_TRUE(texts(3, 4).empty());  // the top-left square carries no label
    EXPECT_TRUE(texts(4, 5).empty());
    // Not described: the code alone, in red.
    EXPECT_EQ(texts(4, 4), (std::vector<std::pair<AnsiString, TColor>>{{"R7", clRed}}));
    tap.Described = 1;
    EXPECT_EQ(texts(4, 4), (std::vector<std::pair<AnsiString, TColor>>{{"R7", clGreen}, {"-14", clPurple}}));
    grid.Step = 1;
    EXPECT_TRUE(texts(4, 4).empty());
}

}  // namespace
