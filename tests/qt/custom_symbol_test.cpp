// A custom component's symbol painted through QPainter: the stubs of its
// ports and the cells of its drawing grid, in the footprint only, in every
// turn and mirror. The sheet is written to the build folder (symbols/custom.png).
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <memory>
#include <string>

#include "cells/anchors.h"
#include "cells/custom_cell.h"
#include "cells/filters.h"
#include "document/grid.h"
#include "platform/graphics.h"
#include "platform/qt/qt_paint.h"
#include "platform/sysutils.h"
#include "qt/symbol_sheet.h"
#include "support/test_cells.h"

namespace {

TEST(QtCustomSymbol, StubsAndTheDrawingGridStayInTheFootprint) {
    const int zoom = 42;
    const int pitch = 6 * zoom;
    TBitmap sheet(8 * pitch, pitch);
    sheet.Canvas->Brush->Style = bsSolid;
    sheet.Canvas->Brush->Color = clWhite;
    sheet.Canvas->FillRect(TRect(0, 0, sheet.Width, sheet.Height));
    RecordingGridWindow window;
    for (int32_t state = 0; state < 8; ++state) {
        const int32_t turn = state % 4, mirrored = state / 4;
        // A grid per symbol, shown in a window: the symbol's footprint of 3 x 2
        // squares turns about square (4, 4); the sheet shows square (1, 1) at
        // (state x pitch, 0).
        TGridData grid(nullptr, 10, 10, GridNetwork);
        grid.Window = &window;
        auto cellOwned = std::make_unique<TCellaCustom>(&grid, turn, mirrored, 4, 4, 2, 2);
        auto* cell = cellOwned.get();
        cell->SetFootprint(3, 2);
        cell->InputPoints = {{0, 0, 0}, {0, 1, 3}};
        cell->OutputPoints = {{2, 1, 0}, {2, 0, 3}};
        GridOf(cell->Drawing).InsertCell(std::make_unique<TFiltroS>(cell->Drawing.get(), 0, 0, 1, 0), false, 0);
        GridOf(cell->Drawing).InsertCell(std::make_unique<TAncoraI>(cell->Drawing.get(), 0, 0, 1, 1), false, 0);
        ASSERT_TRUE(grid.InsertCell(std::move(cellOwned), false, 0));
        const TCellRect r = cell->GetGridRect();
        const int ox = state * pitch, oy = 0;
        const int before = InkIn(sheet, TRect(0, 0, sheet.Width, sheet.Height));
        for (int32_t c = r.Left; c <= r.Right; ++c)
            for (int32_t w = r.Top; w <= r.Bottom; ++w)
                cell->DrawSymbol(sheet.Canvas, c, w, ox + (c - 1) * zoom, oy + (w - 1) * zoom, zoom);
        const TRect footprint(ox + (r.Left - 1) * zoom, oy + (r.Top - 1) * zoom, ox + r.Right * zoom + 1,
                              oy + r.Bottom * zoom + 1);
        const int inside = InkIn(sheet, footprint);
        SCOPED_TRACE(testing::Message() << "turn " << turn << " mirrored " << mirrored);
        EXPECT_GT(inside, 4 * zoom);
        EXPECT_EQ(InkIn(sheet, TRect(0, 0, sheet.Width, sheet.Height)) - before, inside);
        grid.Window = nullptr;
    }
    const std::string dir = std::string(OV_BUILD_DIR) + "/symbols";
    ForceDirectories(dir);
    ovqt::WrapBitmap(sheet).save(QString::fromStdString(dir + "/custom.png"));
}

}  // namespace
