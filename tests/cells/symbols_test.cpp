// The symbols of the head-end terminal and of the filters, as the recording
// canvas sees them.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "cells/drawing.h"
#include "cells/filters.h"
#include "cells/head_end.h"
#include "document/grid.h"
#include "platform/engines.h"
#include "platform/graphics.h"

namespace {

struct Recorder {
    TRecordingEngine engine;
    TCanvas canvas{&engine};
    std::vector<TPaintCall> Of(TPaintOp op) const { return engine.CallsOf(op); }
    std::vector<std::vector<TPoint>> Lines() const {
        std::vector<std::vector<TPoint>> out;
        for (const TPaintCall& c : Of(TPaintOp::Line)) out.push_back(c.Points);
        return out;
    }
};

using Points = std::vector<TPoint>;

TEST(HeadEndSymbol, BarAcrossAllSquaresWithAStubPerLine) {
    struct Case {
        int32_t gridKind;
        std::vector<Points> stubs;
    };
    // clang-format off
    const Case cases[] = {
        {GridNetwork, {{{31, 20}, {31, 17}}, {{52, 20}, {52, 17}}}},   // lines leave downwards
        {GridHeadEnd, {{{31, 0}, {31, 3}}, {{52, 0}, {52, 3}}}},       // lines arrive from above
    };
    // clang-format on
    for (const Case& c : cases) {
        TGridData grid(nullptr, 30, 10, c.gridKind);
        grid.Step = 2;
        TTesta head(&grid, 0, 0, 2, 0, 2);  // squares 2 to 5 of row 0
        Recorder r;
        head.Paint(&r.canvas, 2, 0, 0, 0, 21);
        const auto bars = r.Of(TPaintOp::Polyline);
        ASSERT_EQ(bars.size(), 1u);
        EXPECT_EQ(bars[0].Points, (Points{{5, 3}, {78, 3}, {78, 17}, {5, 17}, {5, 3}}));
        EXPECT_EQ(r.Lines(), c.stubs);
        EXPECT_TRUE(r.engine.Texts().empty());  // the terminal carries no code
    }
}

TEST(HeadEndSymbol, LaterSquaresDrawTheSameBarFromTheFirst) {
    TGridData grid(nullptr, 30, 10, GridNetwork);
    TTesta head(&grid, 0, 0, 2, 0, 3);  // squares 2 to 6
    Recorder first, last;
    head.DrawSymbol(&first.canvas, 2, 0, 84, 0, 42);
    head.DrawSymbol(&last.canvas, 6, 0, 84 + 4 * 42, 0, 42);
    EXPECT_EQ(first.Of(TPaintOp::Polyline)[0].Points, last.Of(TPaintOp::Polyline)[0].Points);
    EXPECT_EQ(first.Lines(), last.Lines());
    EXPECT_EQ(first.Lines().size(), 3u);
}

struct FilterCase {
    const char* name;
    std::function<std::unique_ptr<TFiltro>()> make;
    size_t polylines;             // waves
    std::vector<Points> strokes;  // after the two stubs
};

// Frame at zoom 42: scale 2, pen 2, origin (1, 1). Waves at half scale: scale
// 1, pen 1; the module sign from (0, 0), the two-wave signs from (1, 1).
// clang-format off
const FilterCase filterCases[] = {
    {"S", [] { return std::make_unique<TFiltroS>(nullptr, 0, 0, 0, 0); }, 3, {{{18, 23}, {22, 19}}}},
    {"P", [] { return std::make_unique<TFiltroP>(nullptr, 0, 0, 0, 0); }, 3, {{{18, 18}, {22, 14}}, {{18, 28}, {22, 24}}}},
    {"PA", [] { return std::make_unique<TFiltroPA>(nullptr, 0, 0, 0, 0); }, 2, {{{19, 28}, {23, 24}}}},
    {"PB", [] { return std::make_unique<TFiltroPB>(nullptr, 0, 0, 0, 0); }, 2, {{{19, 21}, {23, 17}}}},
};
// clang-format on

TEST(FilterSymbols, FrameStubsMarkAndWavesOfEachKind) {
    for (const FilterCase& c : filterCases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<TFiltro> filter(c.make());
        Recorder r;
        filter->DrawSymbol(&r.canvas, 0, 0, 0, 0, 42);
        const auto rects = r.Of(TPaintOp::Rectangle);
        ASSERT_EQ(rects.size(), 2u);
        EXPECT_EQ(rects[0].Rect, TRect(9, 9, 34, 34));  // (4, 4)-(16, 16), grown by 1
        EXPECT_EQ(rects[0].State.Brush.Style, bsClear);
        EXPECT_EQ(rects[1].Rect, TRect(19, 3, 24, 6));  // the mark (9, 1)-(11, 2) on the input stub
        EXPECT_EQ(rects[1].State.Brush.Color, clBlack);
        EXPECT_EQ(rects[1].State.Brush.Style, bsSolid);
        std::vector<Points> expected = {{{21, 1}, {21, 9}}, {{21, 41}, {21, 33}}};
        expected.insert(expected.end(), c.strokes.begin(), c.strokes.end());
        EXPECT_EQ(r.Lines(), expected);
        const auto waves = r.Of(TPaintOp::Polyline);
        ASSERT_EQ(waves.size(), c.polylines);
        for (const TPaintCall& w : waves) EXPECT_EQ(w.State.Pen.Width, 1);
        EXPECT_EQ(r.Of(TPaintOp::Line)[0].State.Pen.Width, 2);
    }
}

TEST(FilterSymbols, TurnedAndMirroredFiltersStayInsideTheirSquare) {
    for (const FilterCase& c : filterCases) {
        for (int32_t turn = 0; turn < 4; ++turn) {
            for (int32_t mirrored = 0; mirrored < 2; ++mirrored) {
                for (int32_t zoom : {15, 21, 42}) {
                    std::unique_ptr<TFiltro> filter(c.make());
                    filter->Orientation = turn;
                    filter->Mirrored = mirrored;
                    Recorder r;
                    filter->DrawSymbol(&r.canvas, 0, 0, 100, 100, zoom);
                    const TRect square(100, 100, 100 + zoom + 1, 100 + zoom + 1);
                    for (const TPaintCall& call : r.engine.Calls)
                        for (const TPoint& p : call.Points)
                            EXPECT_TRUE(square.Contains(p))
                                << c.name << " turn " << turn << " mirrored " << mirrored << " zoom " << zoom
                                << ": " << call.Describe();
                }
            }
        }
    }
}

TEST(FilterSymbols, InputStubFollowsTheTurn) {
    // Turned by a quarter the input comes from the right; by half, from below.
    struct Case {
        int32_t turn;
        Points stub;
    };
    for (const Case& c :
         {Case{1, {{20, 10}, {16, 10}}}, Case{2, {{10, 20}, {10, 16}}}, Case{3, {{0, 10}, {4, 10}}}}) {
        TFiltroS filter(nullptr, c.turn, 0, 0, 0);
        Recorder r;
        filter.DrawSymbol(&r.canvas, 0, 0, 0, 0, 21);
        ASSERT_FALSE(r.Lines().empty());
        EXPECT_EQ(r.Lines()[0], c.stub) << "turn " << c.turn;
    }
}

}  // namespace
