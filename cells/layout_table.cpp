#include "cells/layout_table.h"

#include <algorithm>

#include "app/grid.h"
#include "app/mouse_info.h"

namespace {
// Side of a port edge as the grid analysis waits on it (MarkGridCell) and as
// a line leaves across it (LinkPortAt).
int32_t WaitSide(TTapEdge edge) { return static_cast<int32_t>(edge); }

int32_t LeaveSide(TTapEdge edge) {
    switch (edge) {
    case TTapEdge::Right: return 3;
    case TTapEdge::Left: return 1;
    case TTapEdge::Top: return 2;
    default: return 0;
    }
}

bool InQuarter(TTapEdge edge, int32_t u, int32_t v, int32_t size) {
    switch (edge) {
    case TTapEdge::Top: return 4 * v <= size;
    case TTapEdge::Bottom: return 4 * v >= 3 * size;
    case TTapEdge::Left: return 4 * u <= size;
    case TTapEdge::Right: return 4 * u >= 3 * size;
    }
    return false;
}
}  // namespace

void LayoutSquareOnGrid(const TCella& cell, int32_t x, int32_t y, int32_t& column, int32_t& row) {
    // The layout is mirrored first and turned after, as the symbol and the
    // port links are.
    cell.GridToLocal(column, row, cell.Column + x, cell.Row + y);
}

TCellRect LayoutGridRect(const TCella& cell, const TTapLayout& layout) {
    int32_t c0 = 0, r0 = 0, c1 = 0, r1 = 0;
    LayoutSquareOnGrid(cell, 0, 0, c0, r0);
    LayoutSquareOnGrid(cell, std::max(1, layout.Width) - 1, std::max(1, layout.Height) - 1, c1, r1);
    return TCellRect{std::min(r0, r1), std::min(c0, c1), std::max(r0, r1), std::max(c0, c1)};
}

void MarkLayoutSquares(TCella& cell, const TTapLayout& layout) {
    if (!cell.Owner) return;
    for (int32_t x = 0; x < layout.Width; ++x)
        for (int32_t y = 0; y < layout.Height; ++y) {
            int32_t c = 0, r = 0;
            LayoutSquareOnGrid(cell, x, y, c, r);
            if (TSquareAnalysis* square = cell.Owner->AnalysisAt(c, r)) square->Visited = 1;
        }
}

void PlaceLayoutPorts(TCella& cell, const TTapLayout& layout, uint8_t needsTermination, TQNextCell& queue) {
    for (const TTapPort& port : layout.Ports) {
        int32_t c = 0, r = 0;
        LayoutSquareOnGrid(cell, port.X, port.Y, c, r);
        switch (port.Kind) {
        case TTapPortKind::Input:
        case TTapPortKind::MatrixInput: cell.MarkGridCell(c, r, WaitSide(port.Edge), port.Index, 0); break;
        case TTapPortKind::Through:
            cell.LinkPortAt(c, r, port.Index, LeaveSide(port.Edge), needsTermination, 0, queue);
            break;
        case TTapPortKind::Tap:
            cell.LinkPortAt(c, r, cell.NumThroughOutputs + port.Index, LeaveSide(port.Edge), needsTermination, 0,
                            queue);
            break;
        }
    }
}

const TTapPort* LayoutPortUnder(const TCella& cell, const TTapLayout& layout, const TInfoMousePos& position) {
    int32_t column = 0, row = 0;
    cell.LocalToGrid(column, row, position.Column, position.Row);
    const int32_t x = column - cell.Column, y = row - cell.Row;
    int32_t u = 0, v = 0;
    cell.RotateSymbolPoint(u, v, position.OffsetX, position.OffsetY, position.SquareSize);
    const TTapPort* only = nullptr;
    int count = 0;
    for (const TTapPort& port : layout.Ports)
        if (port.X == x && port.Y == y) {
            only = &port;
            ++count;
        }
    if (count == 1) return only;
    for (const TTapPort& port : layout.Ports)
        if (port.X == x && port.Y == y && InQuarter(port.Edge, u, v, position.SquareSize)) return &port;
    return nullptr;
}

void SetPortUnder(TInfoMousePos& position, const TTapPort* port, const AnsiString& name) {
    position.Input = -1;
    position.TapOutput = -1;
    position.ThroughOutput = -1;
    position.PortName = AnsiString();
    if (!port) return;
    switch (port->Kind) {
    case TTapPortKind::Input:
    case TTapPortKind::MatrixInput: position.Input = port->Index; break;
    case TTapPortKind::Through: position.ThroughOutput = port->Index; break;
    case TTapPortKind::Tap: position.TapOutput = port->Index; break;
    }
    position.PortName = name;
}
