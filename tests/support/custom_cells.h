#pragma once
// Custom components built the way the custom-component editor leaves them:
// made by the cell factory (code 55, the outputs as tap outputs), real cells
// inserted into the structure, the footprint and the port points set, and the
// anchors mapped.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "cells/custom_cell.h"
#include "document/grid.h"

// A cell of the structure and the square it stands on.
struct TPezzoStruttura {
    std::unique_ptr<TCella> Cell;
    int32_t Column;
    int32_t Row;
};

// The pieces of a structure written as one braced list: {{cell, column, row}, ...}.
template <size_t N>
std::vector<TPezzoStruttura> Structure(TPezzoStruttura (&&pieces)[N]) {
    return {std::make_move_iterator(pieces), std::make_move_iterator(pieces + N)};
}

// Footprint and port points; with no points the constructor's stay.
struct TFormaCustom {
    int32_t Columns = 0;
    int32_t Rows = 0;
    std::vector<TPuntoPorta> Inputs;
    std::vector<TPuntoPorta> Outputs;
};

// An entry anchor (TAncoraI) or an exit anchor (TAncoraO) whose code is
// the port number it stands for.
std::unique_ptr<TCella> EntryAnchor(const char* number, int32_t orientation = 0);
std::unique_ptr<TCella> ExitAnchor(const char* number, int32_t orientation = 0);

// A custom component of inputs x outputs at (column, row) of owner (which
// does not take it), holding parts; the cells of parts go to its structure.
std::unique_ptr<TCellaCustom> MakeCustomCell(TCellGrid* owner, int32_t column, int32_t row, int32_t inputs,
                                             int32_t outputs, std::vector<TPezzoStruttura> parts,
                                             const TFormaCustom& shape = {});

// A custom component with one input and two outputs whose structure is a
// splitter of one input and two outputs (4 dB each, 22 dB between them)
// between entry anchor "1" and exit anchors "1" and "2".
std::unique_ptr<TCellaCustom> MakeCustomSplitter(TCellGrid* owner, int32_t column, int32_t row,
                                                 int32_t orientation = 0);
