// Mixer and demixer symbols: a body that the branch lines meet and the
// common line leaves.
#include <algorithm>

#include "cells/drawing.h"
#include "cells/mixers.h"

namespace {
constexpr int32_t U = SymbolSquareUnits;

// The single square of two branches: a circle, the branches meeting it from
// the left and the right, the common line from the bottom (mixer) or the top
// (demixer), and an arrow mark on the common line.
void DrawTwoBranches(const TCella& cell, bool mixer) {
    cell.SymEllipse(5, 5, 15, 15);
    cell.SymMoveTo(0, 10);
    cell.SymLineTo(5, 10);
    cell.SymMoveTo(15, 10);
    cell.SymLineTo(20, 10);
    if (mixer) {
        cell.SymMoveTo(10, 15);
        cell.SymLineTo(10, 20);
    } else {
        cell.SymMoveTo(10, 0);
        cell.SymLineTo(10, 5);
    }
    cell.SymMoveTo(7, 10);
    cell.SymLineTo(13, 10);
    cell.SymMoveTo(10, 7);
    cell.SymLineTo(10, 13);
}

// The block: a bar across the middle row, a line from every branch square to
// it and the common line from the bar to its square.
void DrawBlock(const TCella& cell, int32_t branches, bool mixer) {
    const int32_t right = (branches - 1) * U + 16;
    cell.SymRectangle(4, U + 4, right, U + 16);
    const int32_t branchY = mixer ? 0 : 2 * U + 20;
    const int32_t barBranch = mixer ? U + 4 : U + 16;
    for (int32_t k = 0; k < branches; ++k) {
        cell.SymMoveTo(k * U + 10, branchY);
        cell.SymLineTo(k * U + 10, barBranch);
    }
    const int32_t common = (branches / 2) * U + 10;
    cell.SymMoveTo(common, mixer ? U + 16 : U + 4);
    cell.SymLineTo(common, mixer ? 2 * U + 20 : 0);
    // The mixing sign in the middle of the bar.
    const int32_t mid = right / 2 + 2;
    cell.SymMoveTo(mid - 3, U + 10);
    cell.SymLineTo(mid + 3, U + 10);
    cell.SymMoveTo(mid, U + 7);
    cell.SymLineTo(mid, U + 13);
}

void DrawBranchCell(const TCellaRami& cell, bool mixer) {
    if (cell.Branches() == 2)
        DrawTwoBranches(cell, mixer);
    else
        DrawBlock(cell, std::max<int32_t>(1, cell.Branches()), mixer);
}
}  // namespace

void TMiscelatore::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                              int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    DrawBranchCell(*this, true);
}

void TDemiscelatore::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                                int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    DrawBranchCell(*this, false);
}
