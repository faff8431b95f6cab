#pragma once
// Safe reads of a cell's links and windows for the passes. A pass that meets
// an unlinked port, a port outside the link arrays or a window table that has
// not been filled treats it as absent instead of reading past the tables.
#include <algorithm>
#include <cstddef>
#include <span>

#include "cells/cell.h"

inline TCella* InputNeighbour(const TCella& cell, int32_t input) {
    return input >= 0 && static_cast<size_t>(input) < cell.InputCell.size()
               ? cell.InputCell[static_cast<size_t>(input)]
               : nullptr;
}

inline int32_t InputNeighbourPort(const TCella& cell, int32_t input) {
    return input >= 0 && static_cast<size_t>(input) < cell.InputPort.size()
               ? cell.InputPort[static_cast<size_t>(input)]
               : -1;
}

inline TCella* OutputNeighbour(const TCella& cell, int32_t output) {
    return output >= 0 && static_cast<size_t>(output) < cell.OutputCell.size()
               ? cell.OutputCell[static_cast<size_t>(output)]
               : nullptr;
}

inline int32_t OutputNeighbourPort(const TCella& cell, int32_t output) {
    return output >= 0 && static_cast<size_t>(output) < cell.OutputPort.size()
               ? cell.OutputPort[static_cast<size_t>(output)]
               : -1;
}

// The window of a port and band, or none when the table does not hold it.
inline const TFinestra* WindowAt(const TTabellaFinestre& table, int32_t port, int32_t band) {
    if (!table.Allocated() || port < 0 || port >= table.Ports() || band < 0 || band >= BandSlots)
        return nullptr;
    return &table[port][static_cast<size_t>(band)];
}

// The channel list of an output, or none before the channel pass made it.
inline TListaCanali* OutputList(const TCella& cell, int32_t output) {
    return output >= 0 && static_cast<size_t>(output) < cell.ChannelLists.size()
               ? cell.ChannelLists[static_cast<size_t>(output)].get()
               : nullptr;
}

// Attenuation[0][column] as a band vector (LevelNone where the table has no value).
inline void Row0Vector(const TCella& cell, int32_t column, std::span<float, BandSlots> vector) {
    for (int32_t b = 0; b < BandSlots; ++b) vector[b] = cell.Attenuation->Get3(0, column, b);
}

// One band vector of a table, by value.
struct TBandVector {
    float v[BandSlots];
};

// Row (i, row) of a rank-3 table in every band slot, as Get3 reads it one
// band at a time (LevelNone where the table has no value), with the row
// looked up once.
inline TBandVector Row3Vector(const TInfo& table, int32_t i, int32_t row) {
    TBandVector out;
    TInfo::Block block = table.Rank() == 3 ? table.Block3(i) : nullptr;
    const float* values = block && row >= 0 && row < table.Size3() ? block[row] : nullptr;
    const int32_t count = values ? std::clamp<int32_t>(table.Size4(), 0, BandSlots) : 0;
    for (int32_t b = 0; b < count; ++b) out.v[b] = values[b];
    for (int32_t b = count; b < BandSlots; ++b) out.v[b] = LevelNone;
    return out;
}

// Attenuation[row][column] as a band vector.
inline TBandVector AttenuationVector(const TCella& cell, int32_t row, int32_t column) {
    return Row3Vector(*cell.Attenuation, row, column);
}

// Entry (i, j) of a matrix table (its first row) as a band vector.
inline TBandVector MatrixVector(const TInfo& table, int32_t i, int32_t j) {
    TBandVector out;
    for (int b = 0; b < BandSlots; ++b) out.v[b] = table.Get4(i, j, 0, b);
    return out;
}

// The highest level the cell downstream of output out can still be reached
// with (its reach window's maximum at its input); false when the output is
// not linked, LevelNone when the window is missing.
inline bool ReachMaximumAt(const TCella& cell, int32_t output, int32_t band, float& maximum) {
    const TCella* next = OutputNeighbour(cell, output);
    if (!next) return false;
    const TFinestra* w = WindowAt(next->ReachLevels, OutputNeighbourPort(cell, output), band);
    maximum = w ? w->Max : LevelNone;
    return true;
}

class TProgressBar;
// Advances the designer's progress bar by one step, as a cell that has made
// its model choice does.
void AdvanceProgress(TProgressBar* progress);

// The signal pass of a cell fed through its input 0 alone: the window that
// arrives there in each band reaches outputs first to last - 1 less
// loss(output, band). A cell without its upstream neighbour has no signal.
template <class TLoss>
void SignalFromInput0(TCella& cell, uint32_t stamp, int32_t first, int32_t last, TLoss&& loss) {
    if (!cell.EnterPass(stamp)) return;
    cell.ResetOutputLevels();
    TCella* up = InputNeighbour(cell, 0);
    if (!up) return;
    up->ComputeSignalLevels(stamp);
    const int32_t port = InputNeighbourPort(cell, 0);
    const int32_t bands = TCella::CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b)
        if (const TFinestra* u = WindowAt(up->OutputLevels, port, b))
            for (int32_t q = first; q < last; ++q)
                TCella::CombineBackward(cell.OutputLevels[q][static_cast<size_t>(b)], *u, loss(q, b), false);
}
