// Symbols of the graphic cells.
#include "cells/drawing.h"
#include "cells/graphic_cells.h"
#include "cells/cell_grid.h"

namespace {
// A closed frame 5 units inside the symbol's box.
void DrawFrame(const TCella& cell, int32_t w, int32_t h) {
    cell.SymPolyline({{5, 5}, {w - 5, 5}, {w - 5, h - 5}, {5, h - 5}, {5, 5}});
}

// A caption in "Arial", centred on the receiver's 63 units and placed in
// pixels, whatever the cell's turn.
void DrawReceiverCaption(TCanvas* canvas, const AnsiString& text, float size, int32_t y) {
    if (!canvas) return;
    const TSymbolState& s = SymbolState;
    canvas->Font->Name = "Arial";
    canvas->Font->Size = static_cast<int32_t>(size * s.FontScale);
    const int32_t width = canvas->TextWidth(text);
    const int32_t px = s.OriginX + static_cast<int32_t>((63.0f * s.Scale - static_cast<float>(width)) / 2.0f);
    const int32_t py = s.OriginY + static_cast<int32_t>(static_cast<float>(y) * s.Scale);
    canvas->TextOut(px, py, text);
}
}  // namespace

// A stem and three bars, shorter and shorter.
void TTerra::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    SymMoveTo(10, 3);
    SymLineTo(10, 11);
    SymMoveTo(4, 11);
    SymLineTo(16, 11);
    SymMoveTo(6, 13);
    SymLineTo(14, 13);
    SymMoveTo(8, 15);
    SymLineTo(12, 15);
}

void TAlimentatoreSF::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                                 int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    if (!IsBlock()) {
        SymRectangle(4, 4, 16, 16);
        SymMoveTo(4, 16);
        SymLineTo(16, 4);
        SymMoveTo(11, 12);
        SymLineTo(14, 12);
        SymMoveTo(11, 14);
        SymLineTo(14, 14);
        SymPolyline({{6, 7}, {7, 5}, {9, 9}, {10, 7}});
        return;
    }
    const int32_t w = SymbolState.W, h = SymbolState.H;
    const int32_t v = Variant;
    DrawFrame(*this, w, h);
    SymMoveTo(w - 5, 21);
    SymLineTo(5, h - 21);
    const int32_t x2 = w - (5 * v + 10);
    const int32_t x1 = x2 - (21 * v + 21);
    SymMoveTo(x1, 65);
    SymLineTo(x2, 65);
    SymMoveTo(x1, 2 * v + 67);
    SymLineTo(x2, 2 * v + 67);
    SymPolyline(
        {{5 * v + 10, 39 - v}, {12 * v + 17, 36 - 4 * v}, {19 * v + 24, 2 * v + 42}, {26 * v + 31, 39 - v}});
}

// A dish seen from the side on its mast: the reflector, the feed arm and the
// mast down to the bottom of the block.
void TParabola::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    SymArc(4, 6, 36, 56, 20, 6, 20, 56);
    SymMoveTo(20, 6);
    SymLineTo(20, 56);
    SymMoveTo(20, 31);
    SymLineTo(34, 31);
    SymRectangle(33, 28, 37, 34);
    SymMoveTo(20, 31);
    SymLineTo(12, 31);
    SymMoveTo(12, 31);
    SymLineTo(12, 62);
    SymMoveTo(6, 62);
    SymLineTo(18, 62);
}

// Drawn upright whatever its turn, as its squares and ports stand.
void TRicevitoreSat::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                                int32_t zoom) {
    struct TUpright {
        TCella& cell;
        int32_t orientation, mirrored;
        explicit TUpright(TCella& c) : cell(c), orientation(c.Orientation), mirrored(c.Mirrored) {
            cell.Orientation = 0;
            cell.Mirrored = 0;
        }
        ~TUpright() {
            cell.Orientation = orientation;
            cell.Mirrored = mirrored;
        }
    } upright(*this);
    BeginSymbol(canvas, column, row, x, y, zoom);
    const int32_t w = SymbolState.W, h = SymbolState.H;
    DrawFrame(*this, w, h);
    DrawReceiverCaption(canvas, "Ric. Sat.", 7.0f, 27);
    SymMoveTo(25, 60);
    SymLineTo(33, 44);
    SymMoveTo(22, 51);
    SymLineTo(25, 60);
    SymFilledRect(22, 51, 23, 49);
    SymPolyline({{25, 61}, {35, 57}, {34, 49}, {33, 44}});
    DrawReceiverCaption(canvas, "A / V", 8.0f, 89);
    // The stubs reach the square's edge where a cable is attached.
    const bool outputAttached =
        Owner && Owner->Inside(Column + 1, Row + 5) && CableTakesOutput(Column + 1, Row + 5);
    const bool inputAttached =
        Owner && Owner->Inside(Column + 1, Row - 1) && CableFeedsInput(Column + 1, Row - 1);
    SymMoveTo(31, h - 2);
    SymLineTo(31, outputAttached ? h : h - 5);
    SymMoveTo(31, 2);
    SymLineTo(31, inputAttached ? 0 : 5);
}
