// Cell symbols painted through QPainter onto bitmaps: the four filters in
// every turn and mirror, the head-end terminal on both grids, at the three
// zooms of the drawing window, and a sheet of switches with their labels. The sheets are written to the build
// folder (symbols/*.bmp, with a .png beside each for viewers).
#include <gtest/gtest.h>

#include <QImage>
#include <functional>
#include <memory>
#include <string>

#include "cells/filters.h"
#include "cells/head_end.h"
#include "cells/switches.h"
#include "document/grid.h"
#include "platform/graphics.h"
#include "platform/qt/qt_paint.h"
#include "platform/sysutils.h"
#include "qt/symbol_sheet.h"

namespace {

constexpr int Zooms[] = {15, 21, 42};

std::string SheetPath(const std::string& name) {
    const std::string dir = std::string(OV_BUILD_DIR) + "/symbols";
    ForceDirectories(dir);
    return dir + "/" + name;
}

void SaveSheet(const TBitmap& sheet, const std::string& name) {
    sheet.SaveToFile(SheetPath(name + ".bmp"));
    ovqt::WrapBitmap(sheet).save(QString::fromStdString(SheetPath(name + ".png")));
}

// Pixels that are not white inside a rectangle.
int InkAll(const TBitmap& b) { return InkIn(b, TRect(0, 0, b.Width, b.Height)); }

struct FilterKind {
    const char* name;
    std::function<std::unique_ptr<TFiltro>(int32_t turn, int32_t mirrored)> make;
};

// clang-format off
const FilterKind filterKinds[] = {
    {"S", [](int32_t t, int32_t m) { return std::make_unique<TFiltroS>(nullptr, t, m, 0, 0); }},
    {"P", [](int32_t t, int32_t m) { return std::make_unique<TFiltroP>(nullptr, t, m, 0, 0); }},
    {"PA", [](int32_t t, int32_t m) { return std::make_unique<TFiltroPA>(nullptr, t, m, 0, 0); }},
    {"PB", [](int32_t t, int32_t m) { return std::make_unique<TFiltroPB>(nullptr, t, m, 0, 0); }},
};
// clang-format on

// One sheet per zoom: a row per filter kind, a column per turn and mirror,
// each symbol in a square of its own with a square's gap around it.
TEST(QtCellSymbols, FiltersInEveryTurnAndMirrorStayInTheirSquare) {
    for (int zoom : Zooms) {
        const int pitch = 2 * zoom;
        TBitmap sheet(8 * pitch + zoom, 4 * pitch + zoom);
        ClearSheet(sheet);
        for (int k = 0; k < 4; ++k) {
            for (int state = 0; state < 8; ++state) {
                const int32_t turn = state % 4, mirrored = state / 4;
                std::unique_ptr<TFiltro> filter(filterKinds[k].make(turn, mirrored));
                const int x = zoom + state * pitch, y = zoom + k * pitch;
                const int before = InkAll(sheet);
                filter->Paint(sheet.Canvas, 0, 0, x, y, zoom);
                const int inSquare = InkIn(sheet, TRect(x, y, x + zoom + 1, y + zoom + 1));
                SCOPED_TRACE(testing::Message() << filterKinds[k].name << " zoom " << zoom << " turn " << turn
                                                << " mirrored " << mirrored);
                EXPECT_GT(inSquare, zoom);                    // a symbol, not a speck
                EXPECT_EQ(InkAll(sheet) - before, inSquare);  // nothing outside its square
            }
        }
        SaveSheet(sheet, "filters_" + std::to_string(zoom));
    }
}

TEST(QtCellSymbols, TurnedFilterIsTheTurnedImage) {
    // A quarter turn of the whole square maps the unturned symbol's ink onto
    // the turned one's (within a pixel of rounding).
    const int zoom = 42;
    TBitmap plain(zoom + 1, zoom + 1), turned(zoom + 1, zoom + 1);
    ClearSheet(plain);
    ClearSheet(turned);
    TFiltroPA a(nullptr, 0, 0, 0, 0), b(nullptr, 2, 0, 0, 0);
    a.Paint(plain.Canvas, 0, 0, 0, 0, zoom);
    b.Paint(turned.Canvas, 0, 0, 0, 0, zoom);
    int matched = 0, ink = 0;
    for (int y = 0; y <= zoom; ++y)
        for (int x = 0; x <= zoom; ++x) {
            if (plain.Pixel(x, y) == clWhite) continue;
            ++ink;
            // Half a turn sends (x, y) to about (zoom - x, zoom - y).
            bool near = false;
            for (int dy = -2; dy <= 2 && !near; ++dy)
                for (int dx = -2; dx <= 2 && !near; ++dx) {
                    const int tx = zoom - x + dx, ty = zoom - y + dy;
                    near = tx >= 0 && ty >= 0 && tx <= zoom && ty <= zoom && turned.Pixel(tx, ty) != clWhite;
                }
            matched += near;
        }
    ASSERT_GT(ink, 0);
    EXPECT_EQ(matched, ink);
}

TEST(QtCellSymbols, HeadEndTerminalOnBothGridsAtEachZoom) {
    for (int zoom : Zooms) {
        for (int32_t kind : {GridNetwork, GridHeadEnd}) {
            TGridData grid(nullptr, 30, 3, kind);
            grid.Step = 2;
            TTesta head(&grid, 0, 0, 1, 1, 3);  // squares 1 to 5 of row 1
            TBitmap sheet(7 * zoom, 3 * zoom);
            ClearSheet(sheet);
            // The drawing window paints every square of the terminal.
            for (int32_t c = 1; c <= 5; ++c) head.Paint(sheet.Canvas, c, 1, c * zoom, zoom, zoom);
            const TRect squares(zoom, zoom, 6 * zoom + 1, 2 * zoom + 1);
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << " grid " << kind);
            EXPECT_GT(InkIn(sheet, squares), 5 * zoom);
            EXPECT_EQ(InkAll(sheet), InkIn(sheet, squares));
            // Between the bar and the squares' edge on the side of the lines
            // stand the three stubs (found beside the bar, where no stub is).
            const int between = 3 * zoom;  // the edge of two line squares
            TRect stubs(2 * zoom, zoom, 5 * zoom, 2 * zoom);
            if (kind == GridNetwork) {
                int y = 2 * zoom - 1;
                while (y > zoom && sheet.Pixel(between, y) == clWhite) --y;
                stubs.Top = y + 1;
            } else {
                int y = zoom;
                while (y < 2 * zoom && sheet.Pixel(between, y) == clWhite) ++y;
                stubs.Bottom = y;
            }
            EXPECT_GE(InkIn(sheet, stubs), 3);
            EXPECT_LT(stubs.Height(), zoom / 3);
            SaveSheet(sheet, std::string("head_end_") + (kind == GridNetwork ? "rete_" : "testa_") +
                                 std::to_string(zoom));
        }
    }
}

// Switches of every layout on one sheet, painted square by square as the
// drawing window does, with their labels: every stroke inside the squares
// (the labels stand above each switch's top-left square).
TEST(QtCellSymbols, SwitchesOfEveryLayout) {
    constexpr int zoom = 42;
    TGridData grid(nullptr, 40, 12, GridNetwork);
    grid.Step = 2;
    struct Placed {
        int32_t code, inputs, outputs, variant, column, row, turn;
        bool supply = false;  // an internal supply: the supply mark between the middle stubs
    };
    // clang-format off
    const Placed placed[] = {
        {10, 4, 8, 0, 1, 2, 0},  {56, 2, 3, 4, 7, 2, 0}, {10, 1, 5, 12, 11, 2, 0},
        {47, 2, 6, 0, 14, 2, 0}, {57, 1, 3, 5, 22, 2, 0}, {10, 2, 3, 0, 26, 3, 1},
        {10, 4, 4, 0, 1, 6, 0, true}, {10, 3, 3, 0, 7, 6, 0, true}, {10, 5, 5, 0, 12, 6, 0, true},
    };
    // clang-format on
    TBitmap sheet(31 * zoom, 9 * zoom);
    ClearSheet(sheet);
    int ink = 0;
    for (const Placed& p : placed) {
        std::unique_ptr<TSwitch> owned =
            p.code == CodeSwitchN || p.code == CodeSwitchNMatrix
                ? std::unique_ptr<TSwitch>(std::make_unique<TSwitchN>(&grid, p.turn, 0, p.column, p.row,
                                                                      p.code, p.inputs, p.outputs))
                : std::make_unique<TSwitch>(&grid, p.turn, 0, p.column, p.row, p.code, p.inputs, p.outputs);
        TSwitch* s = owned.get();
        s->Variant = static_cast<uint8_t>(p.variant);
        s->SetPortCounts();
        if (p.supply) s->Power[PowerSupply][PowerFlags] |= PowerInternal;
        s->SequenceNumber = p.column;
        s->Described = 1;
        for (int32_t i = 0; i < s->TableRows; ++i) s->Attenuation->Set3(i, TapLossColumn, 9, 14.0f);
        s->Attenuation->Set3(0, TapLossColumn, 5, 12.0f);
        const TCellRect r = s->GetGridRect();
        for (int32_t c = r.Left; c <= r.Right; ++c)
            for (int32_t row = r.Top; row <= r.Bottom; ++row)
                s->Paint(sheet.Canvas, c, row, c * zoom, row * zoom, zoom);
        const TRect squares(r.Left * zoom, r.Top * zoom, (r.Right + 1) * zoom + 1, (r.Bottom + 1) * zoom + 1);
        const TRect label(r.Left * zoom, r.Top * zoom - zoom / 2, (r.Left + 2) * zoom, r.Top * zoom);
        const int inside = InkIn(sheet, squares);
        EXPECT_GT(inside, 2 * zoom) << p.code << " variant " << p.variant;
        ink += inside + InkIn(sheet, label);
    }
    SaveSheet(sheet, "switches_42");
    EXPECT_GT(ink, 0);
}

}  // namespace
