// Symbols of taps and splitters, and the tap's label with its tap loss.
//
// A one-line cell is a box on the line with its user outputs leaving
// sideways, two to a square; a cell of several lines is one box over all its
// squares, a stub on each port and a glyph in the middle that tells the kind.
#include "cells/drawing.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "core/globals.h"
#include "core/options.h"
#include "cells/cell_grid.h"

namespace {

constexpr int32_t Unit = SymbolSquareUnits;

// The middle of square k of a row or column of squares, in symbol units.
int32_t Mid(int32_t k) { return Unit * k + 10; }

}  // namespace

// ---- Shared parts ----

bool TDerivatore::ShowsArrows() const {
    return NumInputs > 1 && Choice1 == 1 && Opzioni && Opzioni->cellSwitch;
}

void TDerivatore::DrawPortStubs(int32_t inputStub) const {
    const int32_t w = SymbolState.W;
    const int32_t h = SymbolState.H;
    const bool arrows = ShowsArrows();
    for (const TCellPort& port : Layout().Ports) {
        const int32_t x = Mid(port.X), y = Mid(port.Y);
        if (port.Kind == TPortKind::MatrixInput) {
            // An input at a side edge: its stub, its mark, an arrow pointing in.
            const bool right = port.Side == TSide::Right;
            const int32_t edge = right ? w : 0, inner = right ? w - inputStub : inputStub;
            SymMoveTo(edge, y);
            SymLineTo(inner, y);
            if (inputStub == 5) SymFilledRect(right ? w - 2 : 1, y - 1, right ? w - 1 : 2, y + 1);
            if (arrows) SymArrow(edge, y, right ? -4 : 4, 0);
            continue;
        }
        switch (port.Kind == TPortKind::Input ? TSide::Top : port.Side) {
        case TSide::Top:
            SymMoveTo(x, 0);
            SymLineTo(x, inputStub);
            if (inputStub == 5) SymFilledRect(x - 1, 1, x + 1, 2);
            if (arrows) SymArrow(x, 0, 0, 5);  // pointing in
            break;
        case TSide::Bottom:
            SymMoveTo(x, h);
            SymLineTo(x, h - 5);
            if (arrows) SymArrow(x, h - 5, 0, 5);  // pointing out
            break;
        case TSide::Right:
            SymMoveTo(w, y);
            SymLineTo(w - 4, y);
            if (arrows) SymArrow(w - 4, y, 4, 0);
            break;
        case TSide::Left:
            SymMoveTo(0, y);
            SymLineTo(4, y);
            if (arrows) SymArrow(4, y, -4, 0);
            break;
        }
    }
}

void TDerivatore::DrawGlyph(TTapGlyph glyph, int32_t gx, int32_t gy, bool outer) const {
    if (outer) SymRectangle(gx, gy, gx + 20, gy + 20);
    SymRectangle(gx + 6, gy + 6, gx + 14, gy + 14);
    switch (glyph) {
    case TTapGlyph::Tap:
        SymMoveTo(gx + 10, gy + 2);
        SymLineTo(gx + 10, gy + 18);
        SymMoveTo(gx + 18, gy + 10);
        SymLineTo(gx + 14, gy + 10);
        break;
    case TTapGlyph::EndTap:
        SymMoveTo(gx + 10, gy + 2);
        SymLineTo(gx + 10, gy + 12);
        SymMoveTo(gx + 8, gy + 12);
        SymLineTo(gx + 12, gy + 12);
        SymMoveTo(gx + 18, gy + 10);
        SymLineTo(gx + 14, gy + 10);
        break;
    case TTapGlyph::TerminatedTap:
        SymMoveTo(gx + 10, gy + 2);
        SymLineTo(gx + 10, gy + 18);
        SymPolyline({{gx + 18, gy + 8}, {gx + 12, gy + 8}, {gx + 12, gy + 12}, {gx + 18, gy + 12}});
        SymPolyline({{gx + 2, gy + 8}, {gx + 8, gy + 8}, {gx + 8, gy + 12}, {gx + 2, gy + 12}});
        break;
    case TTapGlyph::Splitter:
        SymMoveTo(gx + 10, gy + 2);
        SymLineTo(gx + 10, gy + 8);
        SymMoveTo(gx + 18, gy + 10);
        SymLineTo(gx + 14, gy + 10);
        break;
    }
}

void TDerivatore::DrawCentre(TTapGlyph glyph) const {
    const int32_t w = SymbolState.W;
    const int32_t h = SymbolState.H;
    const int32_t gy = (h - 20) / 2;
    if (!(Power[PowerSupply][PowerFlags] & PowerInternal)) {
        DrawGlyph(glyph, (w - 20) / 2, gy, true);
        return;
    }
    // An internal supply: its mark first, the glyph beside it.
    const int32_t x0 = (w - 45) / 2;
    if (NumInputs == 2) {
        SymMarker(x0 + 5, gy);
        DrawGlyph(glyph, x0 + 20, gy, false);
    } else {
        SymFrame(x0, gy);
        DrawGlyph(glyph, x0 + 25, gy, true);
    }
}

void TDerivatore::DrawTapBody() const {
    const int32_t h = SymbolState.H;
    const int32_t t = OutputsPerLine();
    const bool through = NumThroughOutputs > 0 && TypeCode != CodeDerivatoreN;
    if (NumInputs > 1) {
        SymRectangle(4, 5, SymbolState.W - 4, h - 5);
        DrawPortStubs(5);
        return;
    }
    if (NumInputs < 1) return;
    if (t < 3) {
        SymRectangle(4, 5, 16, 15);
        SymMoveTo(10, 0);
        if (through) {
            SymLineTo(10, 20);
        } else {
            SymLineTo(10, 12);
            SymMoveTo(8, 12);
            SymLineTo(12, 12);
        }
        if (t >= 1) {
            SymMoveTo(20, 10);
            SymLineTo(16, 10);
        }
        if (t == 2) {
            SymMoveTo(0, 10);
            SymLineTo(4, 10);
        }
        SymFilledRect(9, 1, 11, 2);
        return;
    }
    SymRectangle(4, 15, 16, h - 15);
    SymMoveTo(10, 0);
    if (through) {
        SymLineTo(10, h);
    } else {
        SymLineTo(10, h - 18);
        SymMoveTo(8, h - 18);
        SymLineTo(12, h - 18);
    }
    SymPolyline({{0, 10}, {1, 10}, {1, 17}, {4, 17}});
    SymPolyline({{20, 10}, {19, 10}, {19, 17}, {16, 17}});
    for (int32_t m = 0; m < (t + 1) / 2 - 2; ++m) {
        const int32_t y = Unit * m + 31;
        SymMoveTo(0, y);
        SymLineTo(4, y);
        SymMoveTo(20, y);
        SymLineTo(16, y);
    }
    SymPolyline({{20, h - 10}, {19, h - 10}, {19, h - 17}, {16, h - 17}});
    if (t % 2 == 0) SymPolyline({{0, h - 10}, {1, h - 10}, {1, h - 17}, {4, h - 17}});
}

// ---- Taps ----

void TDerivatore::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                             int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    DrawTapBody();
    if (NumInputs > 1) DrawCentre(TTapGlyph::Tap);
}

void TDerivatoreN::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                              int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    DrawTapBody();
    if (NumInputs > 1) DrawCentre(TTapGlyph::EndTap);
}

void TDerivatoreS::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                              int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    DrawTapBody();
    if (NumInputs > 1) {
        DrawCentre(TTapGlyph::TerminatedTap);
        return;
    }
    if (NumInputs < 1) return;
    // Hooks inside the box: the user lines end in terminations.
    const int32_t h = SymbolState.H;
    const int32_t t = OutputsPerLine();
    if (t < 3) {
        SymPolyline({{20, 10}, {13, 10}, {13, 7}, {16, 7}});
        if (t == 2) SymPolyline({{0, 10}, {7, 10}, {7, 7}, {4, 7}});
        return;
    }
    SymPolyline({{4, 17}, {7, 17}, {7, h - 17}, {4, h - 17}});
    SymPolyline({{16, 17}, {13, 17}, {13, h - 17}, {16, h - 17}});
    for (int32_t m = 0; m < (t + 1) / 2 - 2; ++m) {
        const int32_t y = Unit * m + 31;
        SymMoveTo(0, y);
        SymLineTo(7, y);
        SymMoveTo(20, y);
        SymLineTo(13, y);
    }
}

void TDerivatore::Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    PaintWithLossLabel(canvas, column, row, x, y, zoom, TapLoss(0, 0, LabelLossBand));
}

// ---- Splitters ----

void TDivisore::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    const int32_t w = SymbolState.W;
    const int32_t h = SymbolState.H;
    const int32_t t = OutputsPerLine();
    if (NumInputs > 1) {
        SymRectangle(4, 5, w - 4, h - 5);
        DrawPortStubs(8);
        DrawCentre(TTapGlyph::Splitter);
        return;
    }
    if (NumInputs < 1) return;
    if (t < 4) {
        SymRectangle(4, 5, 16, 15);
        SymMoveTo(10, 0);
        SymLineTo(10, 8);
        // A single output leaves at the bottom, as its port does.
        if (t >= 2) {
            SymMoveTo(0, 10);
            SymLineTo(4, 10);
            SymMoveTo(20, 10);
            SymLineTo(16, 10);
        }
        if (t % 2 != 0) {
            SymMoveTo(10, 20);
            SymLineTo(10, 15);
        }
        return;
    }
    SymRectangle(4, 15, 16, h - 15);
    SymMoveTo(10, 0);
    SymLineTo(10, 18);
    SymPolyline({{0, 10}, {1, 10}, {1, 17}, {4, 17}});
    SymPolyline({{20, 10}, {19, 10}, {19, 17}, {16, 17}});
    for (int32_t m = 0; m < t / 2 - 2; ++m) {
        const int32_t y = Unit * m + 31;
        SymMoveTo(0, y);
        SymLineTo(4, y);
        SymMoveTo(20, y);
        SymLineTo(16, y);
    }
    SymPolyline({{0, h - 10}, {1, h - 10}, {1, h - 17}, {4, h - 17}});
    SymPolyline({{20, h - 10}, {19, h - 10}, {19, h - 17}, {16, h - 17}});
    if (t % 2 != 0) {
        SymMoveTo(10, h);
        SymLineTo(10, h - 15);
    }
}
