// Symbols of the in-line passives, mixers, demixers and graphic cells as the
// recording canvas sees them: each stays on its squares in every turn and
// mirror at the drawing window's zooms; the earth's stem and bars; the
// satellite receiver's captions centred in pixels and never turned.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cells/drawing.h"
#include "cells/graphic_cells.h"
#include "cells/mixers.h"
#include "cells/passives.h"
#include "document/grid.h"
#include "platform/engines.h"
#include "platform/graphics.h"

namespace {

struct SymbolKind {
    const char* name;
    std::function<std::unique_ptr<TCella>(int32_t turn, int32_t mirrored)> make;
};

// clang-format off
const SymbolKind Kinds[] = {
    {"separator", [](int32_t t, int32_t m) { return std::make_unique<TSeparatoreCC>(nullptr, t, m, 0, 0); }},
    {"inserter", [](int32_t t, int32_t m) { return std::make_unique<TInseritore>(nullptr, t, m, 0, 0); }},
    {"power supply 1", [](int32_t t, int32_t m) { return std::make_unique<TAlimentatore>(nullptr, t, m, 0, 0, 1); }},
    {"power supply 3", [](int32_t t, int32_t m) { return std::make_unique<TAlimentatore>(nullptr, t, m, 0, 0, 3); }},
    {"attenuator", [](int32_t t, int32_t m) { return std::make_unique<TAttenuatore>(nullptr, t, m, 0, 0); }},
    {"attenuator R", [](int32_t t, int32_t m) { return std::make_unique<TAttenuatoreR>(nullptr, t, m, 0, 0); }},
    {"equalizer", [](int32_t t, int32_t m) { return std::make_unique<TEqualizzatore>(nullptr, t, m, 0, 0); }},
    {"mixer 2", [](int32_t t, int32_t m) { return std::make_unique<TMiscelatore>(nullptr, t, m, 0, 0, 2); }},
    {"mixer 3", [](int32_t t, int32_t m) { return std::make_unique<TMiscelatore>(nullptr, t, m, 0, 0, 3); }},
    {"demixer 2", [](int32_t t, int32_t m) { return std::make_unique<TDemiscelatore>(nullptr, t, m, 0, 0, 2); }},
    {"demixer 4", [](int32_t t, int32_t m) { return std::make_unique<TDemiscelatore>(nullptr, t, m, 0, 0, 4); }},
    {"earth", [](int32_t t, int32_t m) { return std::make_unique<TTerra>(nullptr, t, m, 0, 0); }},
    {"supply block", [](int32_t t, int32_t m) { return std::make_unique<TAlimentatoreSF>(nullptr, t, m, 0, 0); }},
    {"dish", [](int32_t, int32_t m) { return std::make_unique<TParabola>(nullptr, 0, m, 0, 0); }},
    {"receiver", [](int32_t t, int32_t m) { return std::make_unique<TRicevitoreSat>(nullptr, t, m, 0, 0); }},
};
// clang-format on

constexpr int32_t Zooms[] = {15, 21, 42};

// Every point a call drew, texts by their position.
std::vector<TPoint> PointsOf(const TRecordingEngine& engine) {
    std::vector<TPoint> points;
    for (TPaintOp op : {TPaintOp::Line, TPaintOp::Polyline, TPaintOp::Rectangle, TPaintOp::Ellipse,
                        TPaintOp::Arc, TPaintOp::FillRect, TPaintOp::Text})
        for (const TPaintCall& c : engine.CallsOf(op)) {
            points.insert(points.end(), c.Points.begin(), c.Points.end());
            if (op == TPaintOp::Rectangle || op == TPaintOp::Ellipse || op == TPaintOp::FillRect) {
                points.push_back({c.Rect.Left, c.Rect.Top});
                points.push_back({c.Rect.Right - 1, c.Rect.Bottom - 1});
            }
        }
    return points;
}

TEST(PassiveSymbols, EverySymbolStaysOnItsSquaresInEveryTurnAndMirror) {
    for (const SymbolKind& kind : Kinds)
        for (int32_t zoom : Zooms)
            for (int32_t state = 0; state < 8; ++state) {
                std::unique_ptr<TCella> cell(kind.make(state % 4, state / 4));
                const TCellRect r = cell->GetGridRect();
                const int32_t x0 = 100, y0 = 100;
                TRecordingEngine engine;
                TCanvas canvas(&engine);
                // The drawing window paints every square of the cell.
                for (int32_t c = r.Left; c <= r.Right; ++c)
                    for (int32_t w = r.Top; w <= r.Bottom; ++w)
                        cell->Paint(&canvas, c, w, x0 + (c - r.Left) * zoom, y0 + (w - r.Top) * zoom, zoom);
                const std::vector<TPoint> points = PointsOf(engine);
                SCOPED_TRACE(testing::Message() << kind.name << " zoom " << zoom << " state " << state);
                EXPECT_GT(points.size(), 2u);
                const int32_t right = x0 + (r.Right - r.Left + 1) * zoom,
                              bottom = y0 + (r.Bottom - r.Top + 1) * zoom;
                for (const TPoint& p : points) {
                    EXPECT_TRUE(p.x >= x0 && p.x <= right && p.y >= y0 && p.y <= bottom) << p.x << "," << p.y;
                    if (!(p.x >= x0 && p.x <= right && p.y >= y0 && p.y <= bottom)) break;
                }
            }
}

TEST(PassiveSymbols, TheEarthsStemAndBars) {
    struct Case {
        int32_t zoom;
        std::vector<std::vector<TPoint>> lines;
    };
    // clang-format off
    const Case cases[] = {
        {21, {{{10, 3}, {10, 11}}, {{4, 11}, {16, 11}}, {{6, 13}, {14, 13}}, {{8, 15}, {12, 15}}}},
        // Two pixels a unit, and the pen's offset of one pixel.
        {42, {{{21, 7}, {21, 23}}, {{9, 23}, {33, 23}}, {{13, 27}, {29, 27}}, {{17, 31}, {25, 31}}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        TTerra earth(nullptr, 0, 0, 0, 0);
        TRecordingEngine engine;
        TCanvas canvas(&engine);
        earth.Paint(&canvas, 0, 0, 0, 0, c.zoom);
        std::vector<std::vector<TPoint>> lines;
        for (const TPaintCall& call : engine.CallsOf(TPaintOp::Line)) lines.push_back(call.Points);
        EXPECT_EQ(lines, c.lines) << c.zoom;
    }
}

TEST(PassiveSymbols, TheReceiversCaptionsAreCentredInPixelsAndNeverTurned) {
    for (int32_t zoom : Zooms) {
        std::vector<TPaintCall> first;
        for (int32_t turn = 0; turn < 4; ++turn) {
            TRicevitoreSat receiver(nullptr, turn, 0, 0, 0);
            TRecordingEngine engine;
            TCanvas canvas(&engine);
            receiver.DrawSymbol(&canvas, 0, 0, 0, 0, zoom);
            const auto texts = engine.CallsOf(TPaintOp::Text);
            ASSERT_EQ(texts.size(), 2u);
            EXPECT_EQ(texts[0].Text, "Ric. Sat.");
            EXPECT_EQ(texts[1].Text, "A / V");
            const float scale = static_cast<float>(zoom) / 21.0f;
            const int32_t offset = static_cast<int32_t>(scale) / 2;
            const float sizes[2] = {7.0f, 8.0f};
            const int32_t rows[2] = {27, 89};
            for (int k = 0; k < 2; ++k) {
                EXPECT_EQ(texts[static_cast<size_t>(k)].State.Font.Name, "Arial");
                canvas.Font->Name = "Arial";
                canvas.Font->Size = static_cast<int32_t>(sizes[k] * scale * 72.0f / 96.0f);
                const int32_t width = canvas.TextWidth(texts[static_cast<size_t>(k)].Text);
                const TPoint at = texts[static_cast<size_t>(k)].Points[0];
                EXPECT_EQ(at.x,
                          offset + static_cast<int32_t>((63.0f * scale - static_cast<float>(width)) / 2.0f))
                    << zoom << " " << turn;
                EXPECT_EQ(at.y, offset + static_cast<int32_t>(static_cast<float>(rows[k]) * scale)) << zoom;
            }
            if (turn == 0)
                first = texts;
            else
                for (size_t k = 0; k < 2; ++k)
                    EXPECT_EQ(texts[k].Points, first[k].Points) << zoom << " " << turn;
        }
    }
}

}  // namespace
