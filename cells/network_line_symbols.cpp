// Symbols and labels of the network line: outlets, cable segments,
// terminations and anchors.
#include <vector>

#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/drawing.h"
#include "cells/outlets.h"
#include "cells/terminations.h"
#include "core/globals.h"
#include "core/options.h"
#include "cells/cell_grid.h"
#include "platform/graphics.h"

namespace {
constexpr TColor BridgeUndescribedColour = clBlue;
}  // namespace

// ---------------------------------------------------------------- outlets

// A circle with its sockets inside and the line from the top: through to
// the bottom for a pass-through outlet, closed by a bar for a terminated one.
void TPresaD::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    SymEllipse(4, 4, 16, 16);
    if (TapOutputs >= 2) {
        SymEllipse(6, 10, 8, 12);
        SymEllipse(12, 10, 14, 12);
    }
    if (TapOutputs >= 3) SymEllipse(9, 6, 11, 8);
    SymMoveTo(10, 0);
    if (PassThrough) {
        SymLineTo(10, 20);
        SymFilledRect(9, 1, 11, 2);
    } else if (Terminated) {
        SymLineTo(10, 14);
        SymMoveTo(8, 14);
        SymLineTo(12, 14);
    } else {
        SymLineTo(10, 16);
    }
}

void TPresaD::Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    PaintWithLossLabel(canvas, column, row, x, y, zoom, SocketLoss(LabelLossBand));
}

// ---------------------------------------------------------------- cables

// The segment alone, in its own colour: a bend joins two sides through the
// middle; a straight piece that carries a crossing jumps over it with a half
// circle when the options ask for it.
void TNCavo::DrawSegment(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    if (canvas) canvas->Pen->Color = static_cast<TColor>(Colour);
    if (Bend) {
        SymMoveTo(0, 10);
        SymLineTo(10, 10);
        SymLineTo(10, 20);
        return;
    }
    if (Overlay && Opzioni && Opzioni->cableOverlap) {
        SymMoveTo(10, 0);
        SymLineTo(10, 7);
        SymMoveTo(10, 13);
        SymLineTo(10, 20);
        SymArc(7, 7, 13, 13, 10, 7, 10, 13);
        return;
    }
    SymMoveTo(10, 0);
    SymLineTo(10, 20);
}

void TNCavo::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    if (Overlay) Overlay->DrawSymbol(canvas, column, row, x, y, zoom);
    DrawSegment(canvas, column, row, x, y, zoom);
}

void TNCavo::Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    if (Overlay) Overlay->Paint(canvas, column, row, x, y, zoom);
    DrawSegment(canvas, column, row, x, y, zoom);
    if (!canvas || !RunEnd || DetailLevel() < 2) return;
    const float length = PassAttenuation();
    if (!IsBridge() && length == CableLengthUncounted) return;
    canvas->Brush->Style = bsSolid;
    TColor colour = CellCodeColour;
    if (!Described) colour = IsBridge() ? BridgeUndescribedColour : CellUndescribedColour;
    DrawLabel(canvas, x, y, zoom, GetShortCode(), colour);
    // The length beside the segment: right of a vertical piece, below a
    // horizontal one.
    if (IsBridge() || !IsRealLevel(length) || zoom < LevelLabelWideZoom || !Opzioni ||
        !Opzioni->showAttenuations || !Opzioni->doubleDataWithoutZoom)
        return;
    const bool vertical = Bend || Orientation % 2 == 0;
    const int32_t dx = vertical ? zoom * 12 / 21 : zoom * 2 / 21;
    const int32_t dy = vertical ? zoom * 8 / 21 : zoom * 12 / 21;
    DrawTextAt(canvas, x, y, FormatFloat("#0", length), LevelLabelColour, dx, dy);
}

void TNCavo::DrawAttenuationValues(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                                   int32_t zoom, int32_t flags) {
    if (Overlay) Overlay->DrawAttenuationValues(canvas, column, row, x, y, zoom, flags);
    if (!canvas || !RunEnd || DetailLevel() < 2) return;
    const float length = PassAttenuation();
    if (!IsBridge() && length == CableLengthUncounted) return;
    std::vector<AnsiString> lines;
    if ((flags & PrintLabelCableLength) && !IsBridge() && IsRealLevel(length))
        lines.push_back(FormatFloat("#0", length) + "m");
    if ((flags & PrintLabelCode) && !Code.empty()) lines.push_back(TextBeforeCaret(Code));
    if (flags & PrintLabelShortCode) lines.push_back(GetShortCode());
    canvas->Font->Color = clBlack;
    const int32_t left = PrintLabelLeft(x, zoom);
    const int32_t lineHeight = zoom * 10 / 42;
    int32_t top = PrintLabelTop(y, zoom);
    // Two lines keep above the middle of the square; on a piece that runs
    // across, a third would stand on the cable's line, so the lines rise
    // by what they add.
    const bool across = !Bend && Orientation % 2 == 1;
    if (across && lines.size() > 2) top -= static_cast<int32_t>(lines.size() - 2) * lineHeight;
    for (const AnsiString& line : lines) {
        canvas->TextOut(left, top, line);
        top += lineHeight;
    }
}

// ---------------------------------------------------------------- terminations

// On each square a stub from the line's side to a resistor and a bar that
// closes it.
void TChiusura::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    for (int32_t k = 0; k < NumInputs; ++k) {
        const int32_t c = SymbolSquareUnits * k + 10;
        SymMoveTo(c, 0);
        SymLineTo(c, 5);
        SymRectangle(c - 3, 5, c + 3, 13);
        SymMoveTo(c, 13);
        SymLineTo(c, 16);
        SymMoveTo(c - 4, 16);
        SymLineTo(c + 4, 16);
    }
}

void TChiusura::Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    DrawSymbol(canvas, column, row, x, y, zoom);
}

void TChiusura::DrawAttenuationValues(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                                      int32_t zoom, int32_t flags) {
    if (!canvas || DetailLevel() < 2 || column != Column || row != Row) return;
    AnsiString text;
    if ((flags & PrintLabelCode) && !Code.empty())
        text = Code;
    else if (flags & PrintLabelShortCode)
        text = GetShortCode();
    if (text.empty()) return;
    canvas->Font->Color = clBlack;
    canvas->TextOut(Orientation == 1 ? x : PrintLabelLeft(x, zoom), PrintLabelTop(y, zoom), text);
}

// ---------------------------------------------------------------- anchors

namespace {
void AnchorOutline(const TCella& anchor) { anchor.SymPolyline({{2, 5}, {10, 7}, {18, 5}, {10, 15}, {2, 5}}); }
}  // namespace

void TAncora::Paint(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    DrawSymbol(canvas, column, row, x, y, zoom);
}

void TAncoraI::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    AnchorOutline(*this);
    SymMoveTo(10, 20);
    SymLineTo(10, 15);
}

void TAncoraO::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    AnchorOutline(*this);
    SymMoveTo(10, 0);
    SymLineTo(10, 7);
}
