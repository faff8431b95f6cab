#pragma once
// Cells whose squares and ports are given by a layout table (TTapLayout, the
// form the taps use): the grid rectangle, the marks and links of the grid
// analysis and the port under the mouse, worked out from the table through
// the cell's turn and mirror.
#include <cstdint>

#include "cells/taps.h"

struct TInfoMousePos;

// The grid square of square (x, y) of the layout.
void LayoutSquareOnGrid(const TCella& cell, int32_t x, int32_t y, int32_t& column, int32_t& row);
// The squares of the layout on the grid.
TCellRect LayoutGridRect(const TCella& cell, const TTapLayout& layout);
// Marks every square of the layout occupied in the grid analysis.
void MarkLayoutSquares(TCella& cell, const TTapLayout& layout);
// Declares the inputs waiting and links the outputs of the layout; every
// output line carries needsTermination.
void PlaceLayoutPorts(TCella& cell, const TTapLayout& layout, uint8_t needsTermination, TQNextCell& queue);
// The port of the layout under the mouse: on a square with one port the
// whole square names it; on a square with several, the quarter of the square
// along the port's side (ports looked at in the table's order); none
// elsewhere.
const TTapPort* LayoutPortUnder(const TCella& cell, const TTapLayout& layout, const TInfoMousePos& position);
// Fills the port indexes and name of the mouse position from a port (none
// clears them).
void SetPortUnder(TInfoMousePos& position, const TTapPort* port, const AnsiString& name);
