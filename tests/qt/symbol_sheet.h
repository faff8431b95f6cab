#pragma once
// Sheets of cell symbols painted through the Qt engine: clearing a sheet,
// counting its ink, and painting one cell with its rectangle at a given place
// so that a test can tell whether the symbol stays inside its own box.
#include <algorithm>

#include "cells/cell.h"
#include "platform/graphics.h"

// Pixels of r that are not white, counting only what lies on the sheet.
inline int InkIn(const TBitmap& b, const TRect& r) {
    int n = 0;
    for (int y = std::max(0, r.Top); y < std::min<int>(b.Height, r.Bottom); ++y)
        for (int x = std::max(0, r.Left); x < std::min<int>(b.Width, r.Right); ++x)
            n += b.Pixel(x, y) != clWhite;
    return n;
}

inline void ClearSheet(TBitmap& b) {
    b.Canvas->Brush->Style = bsSolid;
    b.Canvas->Brush->Color = clWhite;
    b.Canvas->FillRect(TRect(0, 0, b.Width, b.Height));
}

struct TSymbolInk {
    int InSquares;  // ink on the cell's own squares
    int InBox;      // ink on its box: the squares and a half-square margin of a box of boxW x boxH
};

// Moves the cell so that its rectangle starts at square (10, 10), paints every
// square of it with its top-left square at (x0, y0), and counts the ink.
inline TSymbolInk PaintCellAt(TBitmap& sheet, TCella& cell, int x0, int y0, int zoom, int boxW, int boxH) {
    const TCellRect at = cell.GetGridRect();
    cell.Column += 10 - at.Left;
    cell.Row += 10 - at.Top;
    const TCellRect r = cell.GetGridRect();
    for (int32_t c = r.Left; c <= r.Right; ++c)
        for (int32_t w = r.Top; w <= r.Bottom; ++w)
            cell.Paint(sheet.Canvas, c, w, x0 + (c - r.Left) * zoom, y0 + (w - r.Top) * zoom, zoom);
    const TRect squares(x0, y0, x0 + (r.Right - r.Left + 1) * zoom + 1,
                        y0 + (r.Bottom - r.Top + 1) * zoom + 1);
    const TRect box(x0 - zoom / 2, y0 - zoom / 2, x0 + boxW - zoom / 2, y0 + boxH - zoom / 2);
    return {InkIn(sheet, squares), InkIn(sheet, box)};
}
