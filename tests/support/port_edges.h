#pragma once
// Where a cell's ports are and where its symbol's strokes end, at zoom 21
// with the grid's origin at pixel (0, 0): for checking that every port stub
// of a symbol ends on the edge its port crosses, in any turn and mirror.
#include <vector>

#include "platform/graphics.h"

class TCella;

// The middle of the square edge of every port: the links and the waiting
// inputs of the cell's placement for the grid analysis (the cell stands on
// its owner grid).
std::vector<TPoint> PortEdgePixels(TCella& cell);

// Both ends of every line and polyline of the cell's symbol, painted from its
// anchor square.
std::vector<TPoint> StrokeEndPixels(TCella& cell);
