// Symbols of the in-line passives: each a small body on the line that runs
// from the top of its square (input) to the bottom (output).
#include <algorithm>

#include "cells/drawing.h"
#include "cells/passives.h"

namespace {
// The line through a one-square symbol, broken by a body from y1 to y2.
void DrawLineStubs(const TCella& cell, int32_t y1, int32_t y2) {
    cell.SymMoveTo(10, 0);
    cell.SymLineTo(10, y1);
    cell.SymMoveTo(10, y2);
    cell.SymLineTo(10, 20);
}
}  // namespace

// A capacitor across the line: two plates.
void TSeparatoreCC::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                               int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    DrawLineStubs(*this, 8, 12);
    SymMoveTo(5, 8);
    SymLineTo(15, 8);
    SymMoveTo(5, 12);
    SymLineTo(15, 12);
}

// A box on the line with the supply coming in from the side through a coil.
void TInseritore::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                             int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    DrawLineStubs(*this, 4, 16);
    SymRectangle(4, 4, 16, 16);
    SymMoveTo(10, 4);
    SymLineTo(10, 16);
    SymPolyline({{16, 10}, {17, 8}, {18, 12}, {19, 8}, {20, 10}});
}

// A box over every output, the mains wave and the DC strokes inside.
void TAlimentatore::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                               int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    const int32_t outputs = std::max<int32_t>(1, NumThroughOutputs);
    const int32_t right = (outputs - 1) * SymbolSquareUnits + 16;
    const int32_t input = ((outputs - 1) / 2) * SymbolSquareUnits + 10;
    SymRectangle(4, 4, right, 16);
    SymMoveTo(input, 0);
    SymLineTo(input, 4);
    for (int32_t k = 0; k < NumThroughOutputs; ++k) {
        SymMoveTo(k * SymbolSquareUnits + 10, 16);
        SymLineTo(k * SymbolSquareUnits + 10, 20);
    }
    SymMoveTo(4, 16);
    SymLineTo(right, 4);
    SymPolyline({{6, 7}, {7, 5}, {9, 9}, {10, 7}});
    SymMoveTo(right - 5, 12);
    SymLineTo(right - 2, 12);
    SymMoveTo(right - 5, 14);
    SymLineTo(right - 2, 14);
}

// A box with three strokes: a fixed attenuation.
void TAttenuatore::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                              int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    DrawLineStubs(*this, 4, 16);
    SymRectangle(4, 4, 16, 16);
    for (int32_t sy : {7, 10, 13}) {
        SymMoveTo(7, sy);
        SymLineTo(13, sy);
    }
}

// A box with a resistor and an arrow across it.
void TAttenuatoreR::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                               int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    DrawLineStubs(*this, 4, 16);
    SymRectangle(4, 4, 16, 16);
    SymRectangle(8, 6, 12, 14);
    SymMoveTo(6, 15);
    SymLineTo(14, 5);
    SymPolyline({{11, 5}, {14, 5}, {14, 8}});
}

// A box with a rising slope over a base line.
void TEqualizzatore::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                                int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    DrawLineStubs(*this, 4, 16);
    SymRectangle(4, 4, 16, 16);
    SymMoveTo(6, 13);
    SymLineTo(14, 13);
    SymMoveTo(6, 12);
    SymLineTo(14, 7);
}
