// Where a cell's local points and port sides fall on the grid under its turn
// and mirror, and how it declares its ports to the grid analysis.
#include "app/grid.h"
#include "cells/cell.h"

namespace {
// A mirrored cell exchanges its left and right sides (1 and 3).
int32_t MirrorSide(int32_t side, int32_t mirrored) {
    return (mirrored && (side & 1)) ? (side + 2) % 4 : side;
}
}  // namespace

namespace {
// The local point turned by turn quarter turns about the anchor, then
// reflected about the anchor column when mirrored.
void TurnAboutAnchor(int32_t& outColumn, int32_t& outRow, int32_t anchorColumn, int32_t anchorRow,
                     int32_t turn, int32_t mirrored, int32_t localColumn, int32_t localRow) {
    const int32_t dx = localColumn - anchorColumn;
    const int32_t dy = localRow - anchorRow;
    int32_t oc = dx, orow = dy;
    switch (((turn % 4) + 4) % 4) {
    case 1: oc = dy; orow = -dx; break;
    case 2: oc = -dx; orow = -dy; break;
    case 3: oc = -dy; orow = dx; break;
    default: break;
    }
    outRow = anchorRow + orow;
    outColumn = mirrored != 0 ? anchorColumn - oc : anchorColumn + oc;
}
}  // namespace

void TCella::LocalToGrid(int32_t& outColumn, int32_t& outRow, int32_t localColumn,
                         int32_t localRow) const {
    TurnAboutAnchor(outColumn, outRow, Column, Row, Orientation, Mirrored, localColumn, localRow);
}

void TCella::GridToLocal(int32_t& outColumn, int32_t& outRow, int32_t column, int32_t row) const {
    // The inverse: undo the mirror about the anchor column, then turn back.
    if (Mirrored) column = Column - (column - Column);
    const int32_t back = (4 - (((Orientation % 4) + 4) % 4)) % 4;
    TurnAboutAnchor(outColumn, outRow, Column, Row, back, 0, column, row);
}

void TCella::RotateSymbolPoint(int32_t& outX, int32_t& outY, int32_t x, int32_t y,
                               int32_t boxSize) const {
    const int32_t s = boxSize;
    switch (((Orientation % 4) + 4) % 4) {
    case 1: outX = y; outY = s - x; break;
    case 2: outX = s - x; outY = s - y; break;
    case 3: outX = s - y; outY = x; break;
    default: outX = x; outY = y; break;
    }
    if (Mirrored) outX = s - outX;
}

void TCella::MarkGridCell(int32_t column, int32_t row, int32_t side, int32_t value, uint8_t byte) {
    if (!Owner) return;
    TSquareAnalysis* square = Owner->AnalysisAt(column, row);
    if (!square) return;
    const int32_t gridSide = (MirrorSide(side, Mirrored) + Orientation) % 4;
    square->Waiting[gridSide] = 1;
    square->InputIndex[gridSide] = value;
    square->MayStayOpen[gridSide] = byte;
}

void TCella::LinkPortAt(int32_t column, int32_t row, int32_t outputPort, int32_t side,
                        uint8_t needsTermination, uint8_t mayEndOpen, TQNextCell& queue) {
    static constexpr int32_t stepColumn[4] = {0, -1, 0, 1};
    static constexpr int32_t stepRow[4] = {1, 0, -1, 0};
    side = ((side % 4) + 4) % 4;
    int32_t c = stepColumn[side];
    const int32_t r = stepRow[side];
    if (Mirrored) c = -c;
    side = MirrorSide(side, Mirrored);
    int32_t tc = c, tr = r;
    const int32_t turn = ((Orientation % 4) + 4) % 4;
    switch (turn) {
    case 1: tc = -r; tr = c; break;
    case 2: tc = -c; tr = -r; break;
    case 3: tc = r; tr = -c; break;
    default: break;
    }
    const int32_t nextColumn = column + tc;
    const int32_t nextRow = row + tr;
    const int32_t gridSide = (side + turn) % 4;

    TCella* neighbour = Owner ? Owner->CellAt(nextColumn, nextRow) : nullptr;
    if (neighbour && (gridSide % 2) == 0 && neighbour->Overlay) neighbour = neighbour->Overlay;
    if (outputPort >= 0 && outputPort < static_cast<int32_t>(OutputCell.size()))
        OutputCell[static_cast<size_t>(outputPort)] = neighbour;

    TNextCell record;
    record.Column = nextColumn;
    record.Row = nextRow;
    record.Side = static_cast<uint8_t>(gridSide);
    record.Port = outputPort;
    record.TypeCode = TypeCode;
    record.NeedsTermination = needsTermination;
    record.MayEndOpen = mayEndOpen;
    queue.Push(record);
}
