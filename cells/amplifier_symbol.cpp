// Symbols of the amplifiers: a triangle pointing along the signal, on one
// square or in a box over a block of squares with a stub at every port; the
// regulated amplifiers carry a regulation arrow across the triangle, the
// levelling one a level bar at its tip, the wide-band amplifier / mixer a
// joining bar above it.
#include "cells/amplifiers.h"
#include "cells/drawing.h"

namespace {

constexpr int32_t Unit = SymbolSquareUnits;

int32_t Mid(int32_t k) { return Unit * k + 10; }

enum class TMark { None, Regulation, Level, Mixer };

// The triangle of a symbol centred at (cx, cy), 14 units wide and 12 high.
void DrawTriangle(const TCella& cell, int32_t cx, int32_t cy, TMark mark) {
    cell.SymPolyline({{cx - 7, cy - 6}, {cx + 7, cy - 6}, {cx, cy + 6}, {cx - 7, cy - 6}});
    switch (mark) {
    case TMark::Regulation:
        cell.SymMoveTo(cx - 6, cy + 4);
        cell.SymLineTo(cx + 6, cy - 8);
        cell.SymPolyline({{cx + 3, cy - 8}, {cx + 6, cy - 8}, {cx + 6, cy - 5}});
        break;
    case TMark::Level:
        cell.SymMoveTo(cx - 4, cy + 8);
        cell.SymLineTo(cx + 4, cy + 8);
        break;
    case TMark::Mixer:
        cell.SymMoveTo(cx - 8, cy - 8);
        cell.SymLineTo(cx + 8, cy - 8);
        break;
    case TMark::None: break;
    }
}

// A box over the whole block, a stub from every port to it and the
// triangle in the middle.
void DrawBlock(const TCella& cell, const TCellLayout& layout, TMark mark) {
    const int32_t w = SymbolState.W, h = SymbolState.H;
    cell.SymRectangle(2, 4, w - 2, h - 4);
    for (const TCellPort& port : layout.Ports) {
        const int32_t x = Mid(port.X);
        if (port.Kind == TPortKind::Input) {
            cell.SymMoveTo(x, 0);
            cell.SymLineTo(x, 4);
        } else {
            cell.SymMoveTo(x, h);
            cell.SymLineTo(x, h - 4);
        }
    }
    DrawTriangle(cell, w / 2, h / 2, mark);
}

}  // namespace

void TAmplificatore::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                                int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    const TMark mark = TypeCode == CodeAmplificatoreA          ? TMark::Level
                       : TypeCode == CodeAmplificatoreRegolato ? TMark::Regulation
                                                               : TMark::None;
    if (NumThroughOutputs > 1) {
        DrawBlock(*this, Layout(), mark);
        return;
    }
    SymMoveTo(10, 0);
    SymLineTo(10, 4);
    SymMoveTo(10, 16);
    SymLineTo(10, 20);
    DrawTriangle(*this, 10, 10, mark);
}

void TTerrestre::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                            int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    DrawBlock(*this, Layout(), TMark::Mixer);
}
