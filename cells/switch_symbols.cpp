// The switch symbol: one box over all its squares, a stub on every port
// (inputs marked, arrows on request), and in the middle the switch glyph or,
// for a switch of several lines with an internal supply, the supply mark
// (clear of the stubs).
#include "cells/drawing.h"
#include "cells/switches.h"
#include "core/globals.h"
#include "core/options.h"

namespace {
constexpr int32_t GlyphSize = 20;
constexpr int32_t SmallGlyphSize = 10;
// Band slots of the label's tap loss: one line shows the low satellite band,
// several lines their second line in the high band.
constexpr int32_t LabelBandOneLine = 5;
constexpr int32_t LabelBandLines = 9;
}  // namespace

bool TSwitch::ShowsArrows() const { return Choice1 == 1 && Opzioni && Opzioni->cellSwitch; }

void TSwitch::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    const int32_t w = SymbolState.W;
    const int32_t h = SymbolState.H;
    SymRectangle(4, 5, w - 4, h - 5);
    DrawPortStubs(5);
    const int32_t gx = (w - GlyphSize) / 2, gy = (h - GlyphSize) / 2;
    if ((Power[PowerSupply][PowerFlags] & PowerInternal) && Lines() >= 2) {
        if (Lines() == 2) {
            SymMarker(gx, gy);
            return;
        }
        // The supply frame at half size, in the box between the two port
        // columns nearest the middle: a whole square in the middle would lie
        // over a column's input and output stubs.
        const THalfScaleSign half(THalfScaleSign::FromOrigin);
        TSymbolState s = half.State();
        s.W = 2 * w;
        s.H = 2 * h;
        const int32_t between = 2 * SymbolSquareUnits * ((w + 1) / SymbolSquareUnits / 2) - 1;
        SymFrame(between - GlyphSize / 2, h - GlyphSize / 2, s);
        return;
    }
    // Two contacts on the left, one on the right, and the lever between; in
    // its square where the box has room for it, else small inside the box.
    if (w - 8 >= GlyphSize && h - 10 >= GlyphSize) {
        SymRectangle(gx, gy, gx + GlyphSize, gy + GlyphSize);
        SymEllipse(gx + 3, gy + 3, gx + 7, gy + 7);
        SymEllipse(gx + 3, gy + 13, gx + 7, gy + 17);
        SymEllipse(gx + 13, gy + 8, gx + 17, gy + 12);
        SymMoveTo(gx + 7, gy + 6);
        SymLineTo(gx + 13, gy + 10);
        return;
    }
    // In a box of several columns the small glyph stands between the two
    // middle ones: in a middle column it would lie over that line's stubs.
    const int32_t columns = (w + 1) / SymbolSquareUnits;
    const int32_t sx = columns >= 2 ? SymbolSquareUnits * (columns / 2) - 1 - SmallGlyphSize / 2
                                    : (w - SmallGlyphSize) / 2;
    const int32_t sy = (h - SmallGlyphSize) / 2;
    SymEllipse(sx, sy, sx + 3, sy + 3);
    SymEllipse(sx, sy + 7, sx + 3, sy + 10);
    SymEllipse(sx + 7, sy + 4, sx + 10, sy + 7);
    SymMoveTo(sx + 3, sy + 2);
    SymLineTo(sx + 7, sy + 5);
}

void TSwitch::Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    DrawSymbol(canvas, column, row, x, y, zoom);
    if (!canvas || DetailLevel() <= 1) return;
    const TCellRect r = GetGridRect();
    if (column != r.Left || row != r.Top) return;
    canvas->Brush->Style = bsSolid;
    if (!Described) {
        DrawLevelLabel(canvas, x, y, zoom, GetShortCode(), LevelNone, CellUndescribedColour);
        return;
    }
    const float loss = Lines() == 1 ? TapLoss(0, 0, LabelBandOneLine) : TapLoss(1, 0, LabelBandLines);
    DrawLevelLabel(canvas, x, y, zoom, GetShortCode(), loss, CellCodeColour);
}
