#include "cells/cell_grid.h"

#include <algorithm>
#include <stdexcept>

#include "cells/cell_project.h"

TCellProject* ProgettoInCaricamento = nullptr;

namespace {
TCellGridMaker GridMaker = nullptr;
}  // namespace

TCellGrid::TCellGrid(int32_t columns, int32_t rows, int32_t kind)
    : Columns(std::max<int32_t>(0, columns)), Rows(std::max<int32_t>(0, rows)), Kind(kind) {
    cells_.assign(static_cast<size_t>(Columns) * static_cast<size_t>(Rows), nullptr);
}

TCellGrid::~TCellGrid() = default;

bool TCellGrid::InsideUsableArea(const TCellRect& r) const {
    int32_t firstRow = 0, lastRow = Rows - 1;
    if (Kind == GridNetwork)
        firstRow = 1;
    else if (Kind == GridHeadEnd)
        lastRow = Rows - 2;
    return r.Left >= 0 && r.Right < Columns && r.Left <= r.Right && r.Top >= firstRow &&
           r.Bottom <= lastRow && r.Top <= r.Bottom;
}

int32_t TCellGrid::DetailLevel() const {
    const TCellProject* project = CellProject();
    return project ? project->DetailStep() : Step;
}

void SetCellGridMaker(TCellGridMaker maker) { GridMaker = maker; }

std::unique_ptr<TCellGrid> MakeCellGrid(int32_t columns, int32_t rows, int32_t kind) {
    if (!GridMaker) throw std::logic_error("no maker of cell grids is named");
    return GridMaker(columns, rows, kind);
}
