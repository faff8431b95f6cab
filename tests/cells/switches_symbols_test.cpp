// The switch symbol and its label, as the recording canvas sees them. At
// zoom 21 one symbol unit is one pixel; rectangles grow by one pixel to the
// right and below.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "cells/drawing.h"
#include "cells/factory.h"
#include "cells/switches.h"
#include "document/grid.h"
#include "platform/engines.h"
#include "platform/graphics.h"
#include "support/globals_fixture.h"
#include "support/port_edges.h"

namespace {

using Points = std::vector<TPoint>;

struct Recorder {
    std::shared_ptr<TRecordingEngine> recording = std::make_shared<TRecordingEngine>();
    std::shared_ptr<TCanvas> target = std::make_shared<TCanvas>(recording.get());
    TCanvas* Canvas() const { return target.get(); }
    std::vector<TPaintCall> Of(TPaintOp op) const { return recording->CallsOf(op); }
    std::vector<Points> Lines() const {
        std::vector<Points> out;
        for (const TPaintCall& c : Of(TPaintOp::Line)) out.push_back(c.Points);
        return out;
    }
    std::vector<TRect> Rects() const {
        std::vector<TRect> out;
        for (const TPaintCall& c : Of(TPaintOp::Rectangle)) out.push_back(c.Rect);
        return out;
    }
};

std::unique_ptr<TSwitch> Make(int32_t code, int32_t inputs, int32_t outputs, int32_t variant = 0) {
    std::unique_ptr<TSwitch> s = CellAs<TSwitch>(NewCella(nullptr, code, 0, 0, inputs, 0, outputs));
    s->Variant = static_cast<uint8_t>(variant);
    s->SetPortCounts();
    return s;
}

Recorder Drawn(TCella& cell) {
    Recorder r;
    cell.DrawSymbol(r.Canvas(), cell.Column, cell.Row, 0, 0, 21);
    return r;
}

template <typename T>
bool Has(const std::vector<T>& all, const T& one) {
    return std::find(all.begin(), all.end(), one) != all.end();
}

class SwitchSymbols : public GlobalsTest {};

TEST_F(SwitchSymbols, OneBoxAStubPerPortAndTheMarkedInputs) {
    // 2 lines, 2 user outputs: 2 x 1 squares, W = 41, H = 20.
    auto s = Make(10, 2, 2);
    const Recorder r = Drawn(*s);
    const auto lines = r.Lines();
    const auto rects = r.Rects();
    EXPECT_EQ(rects.front(), TRect(4, 5, 38, 16));
    for (const Points& stub : std::vector<Points>{{{10, 0}, {10, 5}},
                                                  {{31, 0}, {31, 5}},  // inputs
                                                  {{10, 20}, {10, 15}},
                                                  {{31, 20}, {31, 15}},  // through outputs
                                                  {{41, 10}, {37, 10}},
                                                  {{0, 10}, {4, 10}}})  // user outputs 0, 1
        EXPECT_TRUE(Has(lines, stub)) << stub[0].x << "," << stub[0].y;
    EXPECT_TRUE(Has(rects, TRect(9, 1, 12, 3)));  // the two input marks
    EXPECT_TRUE(Has(rects, TRect(30, 1, 33, 3)));
    // The glyph in the middle, small in a box one square high: three contacts.
    EXPECT_EQ(r.Of(TPaintOp::Ellipse).size(), 3u);
    EXPECT_FALSE(Has(rects, TRect(10, 0, 31, 21)));

    // A matrix switch in variant 4: the matrix inputs enter at the right,
    // marked, opposite the user outputs at the left (W = 20, H = 41).
    auto m = Make(56, 1, 2, 4);
    const Recorder rm = Drawn(*m);
    for (const Points& stub : std::vector<Points>{{{20, 10}, {15, 10}},
                                                  {{20, 31}, {15, 31}},  // matrix inputs
                                                  {{0, 10}, {4, 10}},
                                                  {{0, 31}, {4, 31}}})  // user outputs
        EXPECT_TRUE(Has(rm.Lines(), stub)) << stub[0].x << "," << stub[0].y;
    EXPECT_TRUE(Has(rm.Rects(), TRect(18, 9, 20, 12)));
    EXPECT_TRUE(Has(rm.Rects(), TRect(18, 30, 20, 33)));

    // The one-row TSwitchN: inputs above, user outputs below.
    auto n = Make(47, 2, 4);
    const Recorder rn = Drawn(*n);
    EXPECT_EQ(rn.Rects().front(), TRect(4, 5, 80, 16));  // W = 83
    EXPECT_TRUE(Has(rn.Lines(), Points{{31, 0}, {31, 5}}));
    EXPECT_TRUE(Has(rn.Lines(), Points{{73, 20}, {73, 15}}));
}

TEST_F(SwitchSymbols, ArrowsOnlyWithTheOptionAndTheConnector) {
    auto s = Make(10, 1, 2);  // one line: input, through output, two user outputs
    globals.Options().cellSwitch = true;
    EXPECT_TRUE(Drawn(*s).Of(TPaintOp::Polyline).empty());  // Choice1 is not 1
    s->Choice1 = 1;
    EXPECT_EQ(Drawn(*s).Of(TPaintOp::Polyline).size(), 4u);  // one per port, one line or more
    globals.Options().cellSwitch = false;
    EXPECT_TRUE(Drawn(*s).Of(TPaintOp::Polyline).empty());
    // Matrix inputs get theirs, pointing in.
    globals.Options().cellSwitch = true;
    auto m = Make(56, 1, 2, 5);
    m->Choice1 = 1;
    const auto arrows = Drawn(*m).Of(TPaintOp::Polyline);
    EXPECT_EQ(arrows.size(), 6u);
    EXPECT_TRUE(std::any_of(arrows.begin(), arrows.end(), [](const TPaintCall& c) {
        return c.Points.front() == TPoint(0, 8) && c.Points.back() == TPoint(0, 12);
    }));
}

TEST_F(SwitchSymbols, AnInternalSupplyOfSeveralLinesShowsThePowerMark) {
    struct Case {
        int32_t lines, outputs;
        bool supply;
        bool glyph, square, marker, frame;
    };
    // clang-format off
    const Case cases[] = {
        {1, 2, true, true, false, false, false},    // one line keeps the glyph, small in its one square
        {2, 4, false, true, true, false, false},    // 2 x 2 squares: the glyph in its square
        {2, 4, true, false, false, true, false},
        {3, 4, true, false, false, false, true},     // the frame sign, below
    };
    // clang-format on
    for (const Case& c : cases) {
        auto s = Make(10, c.lines, c.outputs);
        if (c.supply) s->Power[PowerSupply][0] |= 8;
        const Recorder r = Drawn(*s);
        const int32_t w = 21 * c.lines - 1, h = 21 * s->Layout().Height - 1;
        const int32_t gx = (w - 20) / 2, gy = (h - 20) / 2;
        EXPECT_EQ(r.Of(TPaintOp::Ellipse).size(), c.glyph ? 3u : 0u) << c.lines;
        // The marker's first stroke; the glyph's or the frame sign's square.
        EXPECT_EQ(Has(r.Lines(), Points{{gx + 14, gy + 6}, {gx + 6, gy + 14}}), c.marker) << c.lines;
        EXPECT_EQ(Has(r.Rects(), TRect(gx, gy, gx + 21, gy + 21)), c.square) << c.lines;
        // Whatever it draws stays inside the box.
        for (const TPaintCall& call : r.Of(TPaintOp::Ellipse))
            EXPECT_TRUE(call.Rect.Left >= 4 && call.Rect.Right <= w - 3 && call.Rect.Top >= 5 &&
                        call.Rect.Bottom <= h - 4)
                << c.lines;
    }
}

// The supply frame of three lines or more stands at half size in the box
// between the two port columns nearest the middle, clear of every stub: at
// full size in the middle it covered one column's input and output.
TEST_F(SwitchSymbols, TheSupplyFrameStandsClearOfThePortStubs) {
    for (int32_t lines : {3, 4, 5, 8}) {
        auto s = Make(10, lines, lines);
        s->Power[PowerSupply][0] |= 8;
        const Recorder r = Drawn(*s);
        const int32_t w = 21 * lines - 1, h = 21 * s->Layout().Height - 1;
        const TRect box(4, 5, w - 3, h - 4);
        std::vector<TRect> frames;
        // Not the box, nor the small marks of the inputs.
        for (const TRect& rect : r.Rects())
            if (rect != box && rect.Width() > 5) frames.push_back(rect);
        ASSERT_EQ(frames.size(), 1u) << lines;
        const TRect frame = frames[0];
        // Inside the box, in the middle, and between two stubs with room on both sides.
        EXPECT_TRUE(frame.Top >= box.Top && frame.Bottom <= box.Bottom) << lines;
        EXPECT_LE(std::abs((frame.Left + frame.Right) / 2 - w / 2), 11) << lines;
        for (int32_t column = 0; column < lines; ++column) {
            const int32_t stub = 21 * column + 10;
            EXPECT_TRUE(frame.Right + 1 < stub || frame.Left > stub + 1) << lines << " stub " << stub;
        }
        // The frame's strokes stay in the frame; the port stubs are the lines
        // from the symbol's edge.
        for (const Points& line : r.Lines()) {
            const bool stub = std::any_of(line.begin(), line.end(), [&](const TPoint& p) {
                return p.x == 0 || p.x == w || p.y == 0 || p.y == h;
            });
            if (stub) continue;
            for (const TPoint& p : line)
                EXPECT_TRUE(p.x >= frame.Left && p.x <= frame.Right && p.y >= frame.Top && p.y <= frame.Bottom)
                    << lines << " at " << p.x << "," << p.y;
        }
    }
}

// Without a supply, the small switch glyph of a one-row box of several lines
// stands between the two middle columns too, never over a line's stubs.
TEST_F(SwitchSymbols, TheSmallGlyphStandsClearOfThePortStubs) {
    for (int32_t lines : {2, 3, 4, 5, 8}) {
        auto s = Make(10, lines, 2);
        ASSERT_EQ(s->Layout().Height, 1) << lines;
        const Recorder r = Drawn(*s);
        const int32_t w = 21 * lines - 1;
        const auto circles = r.Of(TPaintOp::Ellipse);
        ASSERT_EQ(circles.size(), 3u) << lines;
        // Within half a column and the glyph's half of the middle.
        for (const TPaintCall& circle : circles) {
            EXPECT_LE(std::abs((circle.Rect.Left + circle.Rect.Right) / 2 - w / 2), 16) << lines;
            for (int32_t column = 0; column < lines; ++column) {
                const int32_t stub = 21 * column + 10;
                EXPECT_TRUE(circle.Rect.Right < stub || circle.Rect.Left > stub) << lines << " stub " << stub;
            }
        }
    }
}

TEST_F(SwitchSymbols, EveryPortStubEndsOnItsPortsEdgeInEveryTurn) {
    for (auto [code, inputs, outputs, variant] :
         {std::tuple{10, 2, 3, 0}, std::tuple{10, 1, 5, 12}, std::tuple{56, 2, 2, 4}, std::tuple{56, 1, 3, 5},
          std::tuple{47, 2, 5, 0}})
        for (int32_t turn = 0; turn < 4; ++turn)
            for (int32_t mirrored = 0; mirrored < 2; ++mirrored) {
                const std::string what = std::to_string(code) + " " + std::to_string(inputs) + "x" +
                                         std::to_string(outputs) + " variant " + std::to_string(variant) +
                                         " turn " + std::to_string(turn) + " mirror " +
                                         std::to_string(mirrored);
                TGridData grid(nullptr, 30, 30, GridNetwork);
                auto cell = Make(code, inputs, outputs, variant);
                cell->Owner = &grid;
                cell->Column = 12;
                cell->Row = 12;
                cell->Orientation = turn;
                cell->Mirrored = mirrored;
                const std::vector<TPoint> edges = PortEdgePixels(*cell);
                const std::vector<TPoint> ends = StrokeEndPixels(*cell);
                for (const TPoint& edge : edges)
                    EXPECT_TRUE(Has(ends, edge))
                        << what << ": no stub at (" << edge.x << ", " << edge.y << ")";
                cell->Owner = nullptr;
            }
}

TEST_F(SwitchSymbols, TheLabelGoesOnTheTopLeftSquareWithATapLoss) {
    TGridData grid(nullptr, 20, 20, GridNetwork);
    grid.Step = 2;
    globals.Options().showAttenuations = true;
    globals.Options().doubleDataWithoutZoom = true;
    auto texts = [](TSwitch& s, int32_t column, int32_t row) {
        Recorder r;
        s.Paint(r.Canvas(), column, row, 0, 0, 42);
        std::vector<std::pair<AnsiString, TColor>> out;
        for (const TPaintCall& t : r.Of(TPaintOp::Text)) out.emplace_back(t.Text, t.State.Font.Color);
        return out;
    };
    using Texts = std::vector<std::pair<AnsiString, TColor>>;
    // One line: the tap loss of line 1 in band slot 5.
    TSwitch one(&grid, 0, 0, 3, 4, CodeSwitch, 1, 2);
    one.SequenceNumber = 7;
    one.Attenuation->Set3(0, TapLossColumn, 5, 14.2f);
    one.Attenuation->Set3(0, TapLossColumn, 9, 30.0f);
    EXPECT_EQ(texts(one, 3, 4), (Texts{{"S7", clRed}}));  // not described: the code alone, in red
    one.Described = 1;
    EXPECT_EQ(texts(one, 3, 4), (Texts{{"S7", clGreen}, {"-14", clPurple}}));
    // Several lines: line 2's in band slot 9, on the top-left square only.
    TSwitch two(&grid, 0, 0, 3, 4, CodeSwitch, 2, 2);
    two.SequenceNumber = 8;
    two.Described = 1;
    two.Attenuation->Set3(0, TapLossColumn, 9, 14.0f);
    two.Attenuation->Set3(1, TapLossColumn, 9, 18.0f);
    EXPECT_EQ(texts(two, 3, 4), (Texts{{"S8", clGreen}, {"-18", clPurple}}));
    EXPECT_TRUE(texts(two, 4, 4).empty());
    grid.Step = 1;
    EXPECT_TRUE(texts(two, 3, 4).empty());
}

}  // namespace
