// Symbols of the antennas, converters, amplifiers, the head end's wide-band
// amplifier, the integrated head-end and the head-end modules painted through QPainter onto bitmaps at the
// three zooms of the drawing window, in every turn and mirror they take. The sheets are written to the build
// folder (symbols/sources_*.png) to be looked at.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "cells/active_filters.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/integrated_head_end.h"
#include "cells/sources.h"
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

struct Kind {
    const char* name;
    bool turns;  // the head end's sources and wide-band amplifier stand as drawn
    std::function<std::unique_ptr<TCella>(TGridData*, int32_t turn, int32_t mirrored)> make;
};

// clang-format off
const Kind Kinds[] = {
    {"An", false, [](TGridData* g, int32_t, int32_t m) { return std::make_unique<TAntenna>(g, 0, m, 0, 0); }},
    {"Sa 1", false, [](TGridData* g, int32_t, int32_t m) { return std::make_unique<TSat>(g, 0, m, 0, 0, 1); }},
    {"Sa 4", false, [](TGridData* g, int32_t, int32_t m) { return std::make_unique<TSat>(g, 0, m, 0, 0, 4); }},
    {"A 21", true, [](TGridData* g, int32_t t, int32_t m) { return std::make_unique<TAmplificatore>(g, t, m, 0, 0, 21, 1, 1); }},
    {"A 22", true, [](TGridData* g, int32_t t, int32_t m) { return std::make_unique<TAmplificatore>(g, t, m, 0, 0, 22, 1, 1); }},
    {"A 23", true, [](TGridData* g, int32_t t, int32_t m) { return std::make_unique<TAmplificatoreA>(g, t, m, 0, 0, 1, 1); }},
    {"A 3x3", true, [](TGridData* g, int32_t t, int32_t m) { return std::make_unique<TAmplificatore>(g, t, m, 0, 0, 22, 3, 3); }},
    {"A 1x4", true, [](TGridData* g, int32_t t, int32_t m) { return std::make_unique<TAmplificatore>(g, t, m, 0, 0, 22, 1, 4); }},
    {"Tr 2x5", false, [](TGridData* g, int32_t, int32_t m) { return std::make_unique<TTerrestre>(g, 0, m, 0, 0, 2, 5); }},
    {"Ci 3x2", false, [](TGridData* g, int32_t, int32_t) { return std::make_unique<TCentraleIntegrata>(g, 0, 0, 0, 0, 3, 2); }},
    {"Af 2,1", false, [](TGridData* g, int32_t, int32_t m) { return std::make_unique<TAmplificatoreAt>(g, 0, m, 0, 0, 2, 1); }},
    {"Af 3,4 framed", false, [](TGridData* g, int32_t, int32_t) { auto c = std::make_unique<TAmplificatoreAt>(g, 0, 0, 0, 0, 3, 4); c->Variant = 2; return c; }},
    {"Fa 3,3", false, [](TGridData* g, int32_t, int32_t) { return std::make_unique<TFiltroAT>(g, 0, 0, 0, 0, 3, 3); }},
    {"Fa CAG 1,1", false, [](TGridData* g, int32_t, int32_t) { return std::make_unique<TFiltroCAG>(g, 0, 0, 0, 0, 1, 1); }},
    {"Mo", false, [](TGridData* g, int32_t, int32_t) { return std::make_unique<TModulatore>(g, 0, 0, 0, 0, 1); }},
    {"Cv 2", false, [](TGridData* g, int32_t, int32_t) { auto c = std::make_unique<TConvertitore>(g, 0, 0, 0, 0, 3, 1); c->Module().flags |= 2; return c; }},
    {"Cv 1 square", false, [](TGridData* g, int32_t, int32_t) { auto c = std::make_unique<TConvertitore>(g, 0, 0, 0, 0, 1, 1); c->Variant = 1; return c; }},
    {"Tr 3x1", false, [](TGridData* g, int32_t, int32_t m) { return std::make_unique<TTerrestre>(g, 0, m, 0, 0, 3, 1); }},
};
// clang-format on

// One sheet per zoom: a row per class, a column per turn and mirror, each
// cell in a box of 6 x 6 squares. The symbols must stay on their squares;
// the sheets at detail level 2 add the short codes, to be looked at.
TEST(QtSourceSymbols, EveryClassStaysOnItsSquares) {
    TGridData headEnd(nullptr, 60, 60, GridHeadEnd);
    for (int32_t step : {1, 2})
        for (int zoom : Zooms) {
            headEnd.Step = step;
            const int boxW = 6 * zoom, boxH = 7 * zoom;
            const int kinds = static_cast<int>(std::size(Kinds));
            TBitmap sheet(8 * boxW + zoom, kinds * boxH + zoom);
            ClearSheet(sheet);
            for (int k = 0; k < kinds; ++k)
                for (int state = 0; state < 8; ++state) {
                    if (!Kinds[k].turns && state % 4 != 0) continue;
                    std::unique_ptr<TCella> cell(Kinds[k].make(&headEnd, state % 4, state / 4));
                    cell->SequenceNumber = state + 1;
                    const int x0 = zoom + state * boxW, y0 = zoom + k * boxH;
                    const TSymbolInk ink = PaintCellAt(sheet, *cell, x0, y0, zoom, boxW, boxH);
                    const int inside = ink.InSquares;
                    if (step != 1) continue;
                    SCOPED_TRACE(testing::Message()
                                 << Kinds[k].name << " zoom " << zoom << " state " << state);
                    EXPECT_GT(inside, zoom / 2);
                    EXPECT_EQ(ink.InBox, inside);
                }
            const std::string name = "sources_" + std::to_string(zoom) + (step == 1 ? "" : "_codes");
            sheet.SaveToFile(SheetPath(name + ".bmp"));
            ovqt::WrapBitmap(sheet).save(QString::fromStdString(SheetPath(name + ".png")));
        }
}

}  // namespace
