// Symbols of the signal sources: the antenna as a mast with its elements,
// the converter as a feed horn over a strip with a stub at every output.
#include "cells/drawing.h"
#include "cells/sources.h"

namespace {
constexpr int32_t Unit = SymbolSquareUnits;
int32_t Mid(int32_t k) { return Unit * k + 10; }
}  // namespace

void TAntenna::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    // The mast down to the output, three elements across it.
    SymMoveTo(10, 2);
    SymLineTo(10, 20);
    for (int32_t e = 0; e < 3; ++e) {
        const int32_t half = 8 - 2 * e;
        SymMoveTo(10 - half, 3 + 4 * e);
        SymLineTo(10 + half, 3 + 4 * e);
    }
}

void TSat::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    const int32_t w = SymbolState.W;
    SymRectangle(2, 9, w - 2, 16);
    // The feed horn in the middle of the strip.
    const int32_t c = w / 2;
    SymPolyline({{c - 6, 2}, {c + 6, 2}, {c + 2, 9}, {c - 2, 9}, {c - 6, 2}});
    for (const TCellPort& port : Layout().Ports) {
        SymMoveTo(Mid(port.X), 16);
        SymLineTo(Mid(port.X), 20);
    }
}
