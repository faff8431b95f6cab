// The symbols and labels of the network line as the recording canvas sees
// them. At zoom 21 one symbol unit is one pixel; rectangles and ellipses grow
// by one pixel to the right and below.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/drawing.h"
#include "cells/outlets.h"
#include "cells/terminations.h"
#include "core/globals.h"
#include "core/options.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/engines.h"
#include "platform/graphics.h"
#include "printing/print_page.h"
#include "support/globals_fixture.h"

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
    std::vector<TRect> Figures(TPaintOp op) const {
        std::vector<TRect> out;
        for (const TPaintCall& c : Of(op)) out.push_back(c.Rect);
        return out;
    }
    std::vector<AnsiString> Texts() const {
        std::vector<AnsiString> out;
        for (const TPaintCall& c : Of(TPaintOp::Text)) out.push_back(c.Text);
        return out;
    }
};

Recorder Drawn(TCella& cell) {
    Recorder r;
    cell.DrawSymbol(r.Canvas(), cell.Column, cell.Row, 0, 0, 21);
    return r;
}

class NetworkLineSymbolsTest : public GlobalsTest {};

// One row per class and shape: the lines, ellipses, rectangles, polylines
// and arcs its symbol draws.
TEST_F(NetworkLineSymbolsTest, EveryClassDrawsItsSymbol) {
    struct Case {
        const char* what;
        std::function<std::unique_ptr<TCella>()> make;
        std::vector<Points> lines;
        std::vector<TRect> ellipses;
        std::vector<TRect> rects;
        std::vector<Points> polylines;
    };
    const TRect circle(4, 4, 17, 17);
    const std::vector<TRect> twoSockets = {circle, {6, 10, 9, 13}, {12, 10, 15, 13}};
    const Points outline = {{2, 5}, {10, 7}, {18, 5}, {10, 15}, {2, 5}};
    const std::vector<Case> cases = {
        {"end outlet",
         [] { return std::make_unique<TPresaD>(nullptr, 0, 0, 0, 0, CodeEndOutlet, 1); },
         {{{10, 0}, {10, 16}}},
         {circle},
         {},
         {}},
        {"pass-through outlet, 2 sockets",
         [] { return std::make_unique<TPresaD>(nullptr, 0, 0, 0, 0, CodePassThroughOutlet, 2); },
         {{{10, 0}, {10, 20}}},
         twoSockets,
         {},
         {}},
        {"terminated outlet, 3 sockets",
         [] { return std::make_unique<TPresaD>(nullptr, 0, 0, 0, 0, CodeTerminatedOutlet, 3); },
         {{{10, 0}, {10, 14}}, {{8, 14}, {12, 14}}},
         {circle, {6, 10, 9, 13}, {12, 10, 15, 13}, {9, 6, 12, 9}},
         {},
         {}},
        {"vertical cable",
         [] { return std::make_unique<TNCavo>(nullptr, 0, 0, 0, 0, 0, 0); },
         {{{10, 0}, {10, 20}}},
         {},
         {},
         {}},
        {"horizontal cable",
         [] { return std::make_unique<TNCavo>(nullptr, 1, 0, 0, 0, 0, 0); },
         {{{20, 10}, {0, 10}}},
         {},
         {},
         {}},
        {"bend, left and bottom",
         [] { return std::make_unique<TNCavo>(nullptr, 0, 0, 0, 0, 1, 0); },
         {{{0, 10}, {10, 10}}, {{10, 10}, {10, 20}}},
         {},
         {},
         {}},
        {"bend, right and top",
         [] { return std::make_unique<TNCavo>(nullptr, 2, 0, 0, 0, 1, 0); },
         {{{20, 10}, {10, 10}}, {{10, 10}, {10, 0}}},
         {},
         {},
         {}},
        {"termination",
         [] { return std::make_unique<TChiusura>(nullptr, 0, 0, 0, 0, 1); },
         {{{10, 0}, {10, 5}}, {{10, 13}, {10, 16}}, {{6, 16}, {14, 16}}},
         {},
         {{7, 5, 14, 14}},
         {}},
        {"termination of two lines",
         [] { return std::make_unique<TChiusura>(nullptr, 0, 0, 0, 0, 2); },
         {{{10, 0}, {10, 5}},
          {{10, 13}, {10, 16}},
          {{6, 16}, {14, 16}},
          {{31, 0}, {31, 5}},
          {{31, 13}, {31, 16}},
          {{27, 16}, {35, 16}}},
         {},
         {{7, 5, 14, 14}, {28, 5, 35, 14}},
         {}},
        {"entry anchor",
         [] { return std::make_unique<TAncoraI>(nullptr, 0, 0, 0, 0); },
         {{{10, 20}, {10, 15}}},
         {},
         {},
         {outline}},
        {"exit anchor",
         [] { return std::make_unique<TAncoraO>(nullptr, 0, 0, 0, 0); },
         {{{10, 0}, {10, 7}}},
         {},
         {},
         {outline}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TCella> cell(c.make());
        const Recorder r = Drawn(*cell);
        EXPECT_EQ(r.Lines(), c.lines) << c.what;
        EXPECT_EQ(r.Figures(TPaintOp::Ellipse), c.ellipses) << c.what;
        std::vector<Points> polylines;
        for (const TPaintCall& call : r.Of(TPaintOp::Polyline)) polylines.push_back(call.Points);
        EXPECT_EQ(polylines, c.polylines) << c.what;
        // The filled mark of a pass-through outlet is the only filled figure.
        const bool mark = c.what == std::string("pass-through outlet, 2 sockets");
        EXPECT_EQ(r.Of(TPaintOp::Rectangle).size(), c.rects.size() + (mark ? 1u : 0u)) << c.what;
        for (const TRect& rect : c.rects)
            EXPECT_NE(
                std::find(r.Figures(TPaintOp::Rectangle).begin(), r.Figures(TPaintOp::Rectangle).end(), rect),
                r.Figures(TPaintOp::Rectangle).end())
                << c.what;
    }
}

TEST_F(NetworkLineSymbolsTest, CableDrawsInItsColourAndJumpsOverACrossing) {
    TGridData grid(nullptr, 6, 6, GridNetwork);
    auto verticalOwned = std::make_unique<TNCavo>(&grid, 0, 0, 2, 2, 0, 0x0000FF);
    auto* vertical = verticalOwned.get();
    auto horizontalOwned = std::make_unique<TNCavo>(&grid, 1, 0, 2, 2, 0, 0x008000);
    auto* horizontal = horizontalOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(verticalOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(horizontalOwned), false, 0));
    ASSERT_EQ(grid.CellAt(2, 2), horizontal);
    ASSERT_EQ(horizontal->Overlay, vertical);

    for (bool overlap : {true, false}) {
        Opzioni->cableOverlap = overlap;
        const Recorder r = Drawn(*horizontal);
        const auto lines = r.Of(TPaintOp::Line);
        ASSERT_FALSE(lines.empty());
        // The crossing cable first, in its own colour.
        EXPECT_EQ(lines.front().Points, (Points{{10, 0}, {10, 20}}));
        EXPECT_EQ(lines.front().State.Pen.Color, static_cast<TColor>(0x0000FF));
        EXPECT_EQ(lines.back().State.Pen.Color, static_cast<TColor>(0x008000));
        if (overlap) {
            EXPECT_EQ(r.Lines(),
                      (std::vector<Points>{{{10, 0}, {10, 20}}, {{20, 10}, {13, 10}}, {{7, 10}, {0, 10}}}));
            ASSERT_EQ(r.Of(TPaintOp::Arc).size(), 1u);
            EXPECT_EQ(r.Of(TPaintOp::Arc)[0].Points, (Points{{13, 10}, {7, 10}}));
        } else {
            EXPECT_EQ(r.Lines(), (std::vector<Points>{{{10, 0}, {10, 20}}, {{20, 10}, {0, 10}}}));
            EXPECT_TRUE(r.Of(TPaintOp::Arc).empty());
        }
    }
}

TEST_F(NetworkLineSymbolsTest, LabelsOnScreen) {
    TProgetto project(nullptr);
    project.Reset(true);
    TGridData& grid = *project.NetworkGrid;
    auto outletOwned = std::make_unique<TPresaD>(&grid, 0, 0, 4, 4, CodeEndOutlet, 1);
    auto cableOwned = std::make_unique<TNCavo>(&grid, 0, 0, 6, 4, 0, 0);
    auto terminationOwned = std::make_unique<TChiusura>(&grid, 0, 0, 8, 4, 1);
    auto* outlet = outletOwned.get();
    auto* cable = cableOwned.get();
    auto* termination = terminationOwned.get();
    std::unique_ptr<TCella> placed[] = {std::move(outletOwned), std::move(cableOwned),
                                        std::move(terminationOwned)};
    for (std::unique_ptr<TCella>& c : placed) ASSERT_TRUE(grid.InsertCell(std::move(c), false, 0));
    outlet->SequenceNumber = 2;
    cable->SequenceNumber = 5;
    cable->RunEnd = 1;

    // No label at the drawing step.
    for (TCella* c : {static_cast<TCella*>(outlet), static_cast<TCella*>(cable)}) {
        Recorder r;
        c->Paint(r.Canvas(), c->Column, c->Row, 0, 0, 42);
        EXPECT_TRUE(r.Texts().empty());
    }
    project.Step = 2;
    struct Case {
        TCella* cell;
        uint8_t described;
        AnsiString text;
        TColor colour;
    };
    // clang-format off
    const Case cases[] = {
        {outlet, 0, "P2", clRed},
        {outlet, 1, "P2", clGreen},
        {cable, 0, "C5", clRed},
        {cable, 1, "C5", clGreen},
    };
    // clang-format on
    Opzioni->showAttenuations = false;
    for (const Case& c : cases) {
        c.cell->Described = c.described;
        Recorder r;
        c.cell->Paint(r.Canvas(), c.cell->Column, c.cell->Row, 0, 0, 42);
        const auto texts = r.Of(TPaintOp::Text);
        ASSERT_EQ(texts.size(), 1u) << c.text;
        EXPECT_EQ(texts[0].Text, c.text);
        EXPECT_EQ(texts[0].State.Font.Color, c.colour) << c.text;
    }
    // A termination draws no code; a bridge without data is blue; an
    // uncounted cable has no label; only the run end is labelled.
    Recorder t;
    termination->Paint(t.Canvas(), 8, 4, 0, 0, 42);
    EXPECT_TRUE(t.Texts().empty());
    cable->Described = 0;
    cable->TypeCode = CodeBridge;
    cable->SequenceNumber = 3;
    Recorder b;
    cable->Paint(b.Canvas(), 6, 4, 0, 0, 42);
    ASSERT_EQ(b.Of(TPaintOp::Text).size(), 1u);
    EXPECT_EQ(b.Of(TPaintOp::Text)[0].Text, "K3");
    EXPECT_EQ(b.Of(TPaintOp::Text)[0].State.Font.Color, clBlue);
    cable->TypeCode = CodeCable;
    cable->SetLength(CableLengthUncounted);
    Recorder u;
    cable->Paint(u.Canvas(), 6, 4, 0, 0, 42);
    EXPECT_TRUE(u.Texts().empty());
    cable->SetLength(12.0f);
    cable->RunEnd = 0;
    Recorder n;
    cable->Paint(n.Canvas(), 6, 4, 0, 0, 42);
    EXPECT_TRUE(n.Texts().empty());

    // With the values shown: the outlet's socket loss and the cable's length.
    Opzioni->showAttenuations = true;
    Opzioni->doubleDataWithoutZoom = true;
    outlet->Described = 1;
    for (int32_t b2 = 0; b2 < BandSlots; ++b2) outlet->Attenuation->Set3(0, OutletSocketLoss, b2, 14.0f);
    cable->RunEnd = 1;
    cable->Described = 1;
    Recorder withValues;
    outlet->Paint(withValues.Canvas(), 4, 4, 0, 0, 42);
    cable->Paint(withValues.Canvas(), 6, 4, 0, 0, 42);
    EXPECT_EQ(withValues.Texts(), (std::vector<AnsiString>{"P2", "-14", "C3", "12"}));
}

TEST_F(NetworkLineSymbolsTest, PrintedLabels) {
    TProgetto project(nullptr);
    project.Reset(true);
    project.Step = 2;
    TGridData& grid = *project.NetworkGrid;
    auto cableOwned = std::make_unique<TNCavo>(&grid, 0, 0, 6, 4, 0, 0);
    auto* cable = cableOwned.get();
    auto terminationOwned = std::make_unique<TChiusura>(&grid, 1, 0, 8, 4, 1);
    auto* termination = terminationOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(cableOwned), false, 0));
    ASSERT_TRUE(grid.InsertCell(std::move(terminationOwned), false, 0));
    cable->RunEnd = 1;
    cable->SequenceNumber = 5;
    cable->SetLength(12.4f);
    cable->Code = "RG6^x";
    termination->SequenceNumber = 9;
    termination->Code = "TR75";

    Recorder r;
    TCanvas* saved = PrintPage.Canvas;
    PrintPage.Canvas = r.Canvas();
    cable->DrawAttenuationValues(PrintPage.Canvas, 6, 4, 100, 200, 42,
                                 PrintLabelCableLength | PrintLabelCode | PrintLabelShortCode);
    termination->DrawAttenuationValues(PrintPage.Canvas, 8, 4, 100, 200, 42, PrintLabelShortCode);
    termination->DrawAttenuationValues(PrintPage.Canvas, 8, 4, 100, 200, 42,
                                       PrintLabelCode | PrintLabelShortCode);
    cable->SetLength(CableLengthUncounted);
    cable->DrawAttenuationValues(PrintPage.Canvas, 6, 4, 100, 200, 42, PrintLabelShortCode);
    PrintPage.Canvas = saved;

    const auto texts = r.Of(TPaintOp::Text);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0].Text, "12m");
    EXPECT_EQ(texts[1].Text, "RG6");
    EXPECT_EQ(texts[2].Text, "C5");
    EXPECT_EQ(texts[0].Points, (Points{{100 + 26 + 2, 194}}));  // a unit and a pen clear of the line
    // A termination turned sideways (orientation 1) writes at the square's left.
    EXPECT_EQ(texts[3].Text, "X9");
    EXPECT_EQ(texts[3].Points, (Points{{100, 194}}));
    EXPECT_EQ(texts[4].Text, "TR75");
    for (const TPaintCall& call : texts) EXPECT_EQ(call.State.Font.Color, clBlack);
}

}  // namespace
