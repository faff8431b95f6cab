#pragma once
// TBufferCopia: the copy buffer of a grid. It keeps clones of the cells and
// graphic signs of a rectangle and pastes them into a grid, plainly,
// mirrored left to right, or turned clockwise by one, two or three quarters.
// A paste first empties the squares it covers; recording, the whole paste is
// one undo step captioned "&Annulla incolla". The buffer keeps its clones, so
// the same content can be pasted again.
#include <cstdint>
#include <memory>
#include <vector>

#include "cells/cell.h"

class TGridData;
class TSegnoGrafico;

class TBufferCopia {
public:
    TBufferCopia();
    ~TBufferCopia();
    TBufferCopia(const TBufferCopia&) = delete;
    TBufferCopia& operator=(const TBufferCopia&) = delete;

    // Replaces the content with clones of what stands on the rectangle of
    // grid (cut to the grid): each cell once, however many squares of the
    // rectangle it covers, with the cell crossing it; never the head-end
    // terminal. Signs whose hit test accepts the rectangle are copied too.
    void Copy(TGridData* grid, const TCellRect& rect);

    // Pastes with the buffer's first square at (column, row) of target. The
    // target rectangle is cut to the grid; on a network grid it starts at
    // row 1 at the earliest, on a head-end grid it ends one row above the
    // last. Cells and signs that fall outside the usable area are refused.
    void Paste(TGridData* target, int32_t column, int32_t row, bool recordUndo);
    void PasteMirrored(TGridData* target, int32_t column, int32_t row, bool recordUndo);
    void PasteRotated90(TGridData* target, int32_t column, int32_t row, bool recordUndo);
    void PasteRotated180(TGridData* target, int32_t column, int32_t row, bool recordUndo);
    void PasteRotated270(TGridData* target, int32_t column, int32_t row, bool recordUndo);

    // Puts the content back exactly where it was copied from, into a grid of
    // the same size, without emptying anything and without undo (a grid's
    // copy into another grid).
    void PasteInPlace(TGridData* target);

    void Clear();
    bool Empty() const { return cells_.empty() && signs_.empty(); }
    int CellCount() const { return static_cast<int>(cells_.size()); }
    int SignCount() const { return static_cast<int>(signs_.size()); }

    // The grid copied from (never read through) and the copied rectangle.
    const TGridData* Source = nullptr;
    TCellRect Rect{0, 0, -1, -1};

private:
    enum class TTurn { Plain, Mirrored, Quarter, Half, ThreeQuarters };
    // The target rectangle of a paste at (column, row), cut to the grid and
    // kept off the terminal's row.
    TCellRect TargetRect(const TGridData* target, TTurn turn, int32_t column, int32_t row) const;
    void PasteTurned(TGridData* target, TTurn turn, int32_t column, int32_t row, bool recordUndo);
    // Clones and signs placed by the turn on the target rectangle at.
    int PlaceAll(TGridData* target, TTurn turn, const TCellRect& at, bool recordUndo);

    std::vector<std::unique_ptr<TCella>> cells_;
    std::vector<std::unique_ptr<TSegnoGrafico>> signs_;
};

// Puts a sign's points in the order the hit test expects: a line's ends by
// x, a rectangle's or a text's box least corner first.
void OrderSignPoints(TSegnoGrafico& sign);
