// The head-end terminal's symbol: a bar across its squares with a stub for
// every line, pointing up to the head-end's lines on the head-end grid and
// down into the network on the network grid.
#include "cells/drawing.h"
#include "cells/head_end.h"
#include "cells/cell_grid.h"

void TTesta::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    const int32_t w = SymbolState.W;
    SymPolyline({{5, 3}, {w - 5, 3}, {w - 5, 17}, {5, 17}, {5, 3}});
    const bool headEnd = Owner && Owner->Kind == GridHeadEnd;
    for (int32_t i = 1; i <= NumThroughOutputs; ++i) {
        const int32_t lineX = SymbolSquareUnits * i + 10;
        if (headEnd) {
            SymMoveTo(lineX, 0);
            SymLineTo(lineX, 3);
        } else {
            SymMoveTo(lineX, 20);
            SymLineTo(lineX, 17);
        }
    }
}

// The terminal is part of every drawing and carries no code.
void TTesta::Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    DrawSymbol(canvas, column, row, x, y, zoom);
}
