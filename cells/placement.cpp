// Where a cell's frame falls on the grid under its turn and mirror, and how
// it declares its layout's squares and ports to the grid analysis.
#include "cells/cell.h"
#include "cells/layout.h"
#include "cells/mouse_info.h"
#include "cells/cell_grid.h"

// ---- The transform ----

void StepAcross(TSide side, int32_t& column, int32_t& row) {
    switch (side) {
    case TSide::Top: --row; break;
    case TSide::Right: ++column; break;
    case TSide::Bottom: ++row; break;
    case TSide::Left: --column; break;
    }
}

void TTurnMirror::Apply(int32_t& dx, int32_t& dy) const {
    const int32_t x = Mirrored ? -dx : dx, y = dy;
    switch (Turn) {
    case 1:
        dx = -y;
        dy = x;
        break;
    case 2:
        dx = -x;
        dy = -y;
        break;
    case 3:
        dx = y;
        dy = -x;
        break;
    default:
        dx = x;
        dy = y;
        break;
    }
}

void TTurnMirror::Undo(int32_t& dx, int32_t& dy) const {
    const int32_t x = dx, y = dy;
    switch (Turn) {
    case 1:
        dx = y;
        dy = -x;
        break;
    case 2:
        dx = -x;
        dy = -y;
        break;
    case 3:
        dx = -y;
        dy = x;
        break;
    default: break;
    }
    if (Mirrored) dx = -dx;
}

TSide TTurnMirror::Apply(TSide side) const {
    if (Mirrored && (side == TSide::Left || side == TSide::Right)) side = Opposite(side);
    return SideOf(SideNumber(side) + Turn);
}

TSide TTurnMirror::Undo(TSide side) const {
    side = SideOf(SideNumber(side) - Turn);
    if (Mirrored && (side == TSide::Left || side == TSide::Right)) side = Opposite(side);
    return side;
}

void TTurnMirror::ApplyInBox(int32_t& x, int32_t& y, int32_t w, int32_t h) const {
    const int32_t mx = Mirrored ? w - x : x, my = y;
    switch (Turn) {
    case 1:
        x = h - my;
        y = mx;
        break;
    case 2:
        x = w - mx;
        y = h - my;
        break;
    case 3:
        x = my;
        y = w - mx;
        break;
    default:
        x = mx;
        y = my;
        break;
    }
}

void TTurnMirror::UndoInBox(int32_t& x, int32_t& y, int32_t w, int32_t h) const {
    const int32_t tx = x, ty = y;
    switch (Turn) {
    case 1:
        x = ty;
        y = h - tx;
        break;
    case 2:
        x = w - tx;
        y = h - ty;
        break;
    case 3:
        x = w - ty;
        y = tx;
        break;
    default: break;
    }
    if (Mirrored) x = w - x;
}

// ---- A cell's frame on the grid ----

TTurnMirror TCella::Transform() const { return TTurnMirror::Of(Orientation, Mirrored); }

void TCella::FrameToGrid(int32_t& column, int32_t& row, int32_t x, int32_t y) const {
    Transform().Apply(x, y);
    column = Column + x;
    row = Row + y;
}

void TCella::GridToFrame(int32_t& x, int32_t& y, int32_t column, int32_t row) const {
    x = column - Column;
    y = row - Row;
    Transform().Undo(x, y);
}

void TCella::LocalToGrid(int32_t& outColumn, int32_t& outRow, int32_t localColumn, int32_t localRow) const {
    // The grid point whose frame offset is the local point's offset from the anchor.
    int32_t x = 0, y = 0;
    GridToFrame(x, y, localColumn, localRow);
    outColumn = Column + x;
    outRow = Row + y;
}

void TCella::GridToLocal(int32_t& outColumn, int32_t& outRow, int32_t column, int32_t row) const {
    FrameToGrid(outColumn, outRow, column - Column, row - Row);
}

void TCella::RotateSymbolPoint(int32_t& outX, int32_t& outY, int32_t x, int32_t y, int32_t boxSize) const {
    outX = x;
    outY = y;
    Transform().UndoInBox(outX, outY, boxSize, boxSize);
}

TCellRect TCella::RectOf(const TCellLayout& layout) const {
    int32_t c0 = 0, r0 = 0, c1 = 0, r1 = 0;
    FrameToGrid(c0, r0, layout.Left, layout.Top);
    FrameToGrid(c1, r1, layout.Left + layout.Width - 1, layout.Top + layout.Height - 1);
    return TCellRect{std::min(r0, r1), std::min(c0, c1), std::max(r0, r1), std::max(c0, c1)};
}

// ---- Marks and links of the grid analysis ----

void TCella::MarkGridCell(int32_t column, int32_t row, TSide side, int32_t value, uint8_t byte) {
    if (!Owner) return;
    TSquareAnalysis* square = Owner->AnalysisAt(column, row);
    if (!square) return;
    const int32_t gridSide = SideNumber(Transform().Apply(side));
    square->Waiting[gridSide] = 1;
    square->InputIndex[gridSide] = value;
    square->MayStayOpen[gridSide] = byte;
}

void TCella::LinkPortAt(int32_t column, int32_t row, int32_t outputPort, TSide side, uint8_t needsTermination,
                        uint8_t mayEndOpen, TQNextCell& queue) {
    const TSide exit = Transform().Apply(side);
    int32_t nextColumn = column, nextRow = row;
    StepAcross(exit, nextColumn, nextRow);
    // The line enters the next square across its opposite side.
    const TSide entry = Opposite(exit);

    TCella* neighbour = Owner ? Owner->CellAt(nextColumn, nextRow) : nullptr;
    const bool vertical = entry == TSide::Top || entry == TSide::Bottom;
    if (neighbour && vertical && neighbour->Overlay) neighbour = neighbour->Overlay;
    if (outputPort >= 0 && outputPort < static_cast<int32_t>(OutputCell.size()))
        OutputCell[static_cast<size_t>(outputPort)] = neighbour;

    TNextCell record;
    record.Column = nextColumn;
    record.Row = nextRow;
    record.Side = static_cast<uint8_t>(SideNumber(entry));
    record.Port = outputPort;
    record.TypeCode = TypeCode;
    record.NeedsTermination = needsTermination;
    record.MayEndOpen = mayEndOpen;
    queue.Push(record);
}

void TCella::OccupyLayout(const TCellLayout& layout) {
    if (!Owner) return;
    for (int32_t x = layout.Left; x < layout.Left + layout.Width; ++x)
        for (int32_t y = layout.Top; y < layout.Top + layout.Height; ++y) {
            int32_t c = 0, r = 0;
            FrameToGrid(c, r, x, y);
            if (TSquareAnalysis* square = Owner->AnalysisAt(c, r)) square->Visited = 1;
        }
}

void TCella::PlacePorts(const TCellLayout& layout, const TLineEnds& ends, TQNextCell& queue) {
    for (const TCellPort& port : layout.Ports) {
        int32_t c = 0, r = 0;
        FrameToGrid(c, r, port.X, port.Y);
        switch (port.Kind) {
        case TPortKind::Input:
        case TPortKind::MatrixInput: MarkGridCell(c, r, port.Side, port.Index, 0); break;
        case TPortKind::Through:
            LinkPortAt(c, r, port.Index, port.Side, ends.Through, ends.MayEndOpen, queue);
            break;
        case TPortKind::Tap:
            LinkPortAt(c, r, NumThroughOutputs + port.Index, port.Side, ends.Tap, ends.MayEndOpen, queue);
            break;
        }
    }
}

// ---- The port under the mouse ----

namespace {
bool InQuarter(TSide side, int32_t u, int32_t v, int32_t size) {
    switch (side) {
    case TSide::Top: return 4 * v <= size;
    case TSide::Bottom: return 4 * v >= 3 * size;
    case TSide::Left: return 4 * u <= size;
    case TSide::Right: return 4 * u >= 3 * size;
    }
    return false;
}
}  // namespace

const TCellPort* TCella::PortUnder(const TCellLayout& layout, const TInfoMousePos& position) const {
    int32_t x = 0, y = 0;
    GridToFrame(x, y, position.Column, position.Row);
    int32_t u = position.OffsetX, v = position.OffsetY;
    Transform().UndoInBox(u, v, position.SquareSize, position.SquareSize);
    const TCellPort* only = nullptr;
    int count = 0;
    for (const TCellPort& port : layout.Ports)
        if (port.X == x && port.Y == y) {
            only = &port;
            ++count;
        }
    if (count == 1) return only;
    for (const TCellPort& port : layout.Ports)
        if (port.X == x && port.Y == y && InQuarter(port.Side, u, v, position.SquareSize)) return &port;
    return nullptr;
}

void TCella::SetPortUnder(TInfoMousePos& position, const TCellPort* port, const AnsiString& name) {
    position.Input = -1;
    position.TapOutput = -1;
    position.ThroughOutput = -1;
    position.PortName = AnsiString();
    if (!port) return;
    switch (port->Kind) {
    case TPortKind::Input:
    case TPortKind::MatrixInput: position.Input = port->Index; break;
    case TPortKind::Through: position.ThroughOutput = port->Index; break;
    case TPortKind::Tap: position.TapOutput = port->Index; break;
    }
    position.PortName = name;
}

const TCellPort* TCella::PortNear(const TCellLayout& layout, int32_t x, int32_t y, int32_t px, int32_t py,
                                  int32_t size) const {
    const TCellPort* nearest = nullptr;
    int64_t best = 0;
    for (const TCellPort& port : layout.Ports) {
        if (port.X != x || port.Y != y) continue;
        // Distance to the middle of the port's edge.
        int64_t ex = size / 2, ey = size / 2;
        switch (port.Side) {
        case TSide::Top: ey = 0; break;
        case TSide::Right: ex = size; break;
        case TSide::Bottom: ey = size; break;
        case TSide::Left: ex = 0; break;
        }
        const int64_t d = (px - ex) * (px - ex) + (py - ey) * (py - ey);
        if (!nearest || d < best) {
            nearest = &port;
            best = d;
        }
    }
    return nearest;
}
