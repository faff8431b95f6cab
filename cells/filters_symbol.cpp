// Filter symbols: a box on the signal line with a mark on its input stub,
// and inside it the waves of the filter's kind.
#include "cells/drawing.h"
#include "cells/filters.h"

void TFiltro::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    SymRectangle(4, 4, 16, 16);
    SymMoveTo(10, 0);
    SymLineTo(10, 4);
    SymMoveTo(10, 20);
    SymLineTo(10, 16);
    SymFilledRect(9, 1, 11, 2);
}

void TFiltroS::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    TFiltro::DrawSymbol(canvas, column, row, x, y, zoom);
    DrawModuleSymbol(0, 0, 0);
}

void TFiltroP::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    TFiltro::DrawSymbol(canvas, column, row, x, y, zoom);
    DrawModuleSymbol(0, 0, 1);
}

namespace {
// Two waves at half scale, the second 7 units below the first, and a stroke
// through one of them.
void DrawTwoWaves(const TFiltro& filter, int32_t strokeY) {
    const THalfScaleSign sign(THalfScaleSign::FromOrigin);
    const TSymbolState& s = sign.State();
    filter.SymPolyline({{12, 18}, {16, 13}, {25, 24}, {29, 18}}, s);
    filter.SymPolyline({{12, 25}, {16, 20}, {25, 31}, {29, 25}}, s);
    filter.SymMoveTo(18, strokeY, s);
    filter.SymLineTo(22, strokeY - 4, s);
}
}  // namespace

void TFiltroPA::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    TFiltro::DrawSymbol(canvas, column, row, x, y, zoom);
    DrawTwoWaves(*this, 27);  // through the lower wave
}

void TFiltroPB::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    TFiltro::DrawSymbol(canvas, column, row, x, y, zoom);
    DrawTwoWaves(*this, 20);  // through the upper wave
}
