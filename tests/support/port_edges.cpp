#include "support/port_edges.h"

#include "cells/cell.h"
#include "document/grid.h"
#include "platform/engines.h"

namespace {
// The middle of the edge of square (column, row) on grid side 0 (top) to 3 (left).
TPoint EdgeMiddle(int32_t column, int32_t row, int32_t side) {
    switch (side) {
    case 0: return {21 * column + 10, 21 * row};
    case 1: return {21 * column + 20, 21 * row + 10};
    case 2: return {21 * column + 10, 21 * row + 20};
    default: return {21 * column, 21 * row + 10};
    }
}
}  // namespace

std::vector<TPoint> PortEdgePixels(TCella& cell) {
    TGridData& grid = *GridOf(&cell);
    grid.BeginAnalysis();
    cell.AllocLinks();
    TQNextCell queue;
    cell.PlaceOnGrid(TNextCell{}, queue);
    std::vector<TPoint> edges;
    TNextCell record;
    static constexpr int32_t back[4] = {2, 3, 0, 1};  // the sender's side facing the receiver
    static constexpr int32_t dc[4] = {0, 1, 0, -1}, dr[4] = {-1, 0, 1, 0};
    while (queue.Pop(record))
        edges.push_back(
            EdgeMiddle(record.Column + dc[record.Side], record.Row + dr[record.Side], back[record.Side]));
    for (int32_t c = 0; c < grid.Columns; ++c)
        for (int32_t r = 0; r < grid.Rows; ++r)
            for (int32_t side = 0; side < 4; ++side)
                if (grid.AnalysisAt(c, r)->Waiting[side]) edges.push_back(EdgeMiddle(c, r, side));
    grid.EndAnalysis();
    return edges;
}

std::vector<TPoint> StrokeEndPixels(TCella& cell) {
    TRecordingEngine recording;
    TCanvas canvas(&recording);
    cell.DrawSymbol(&canvas, cell.Column, cell.Row, cell.Column * 21, cell.Row * 21, 21);
    std::vector<TPoint> ends;
    for (TPaintOp op : {TPaintOp::Line, TPaintOp::Polyline})
        for (const TPaintCall& call : recording.CallsOf(op)) {
            ends.push_back(call.Points.front());
            ends.push_back(call.Points.back());
        }
    return ends;
}
