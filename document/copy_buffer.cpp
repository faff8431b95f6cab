#include "document/copy_buffer.h"

#include <algorithm>
#include <limits>
#include <unordered_set>
#include <utility>

#include "document/grid.h"
#include "document/signs.h"
#include "document/undo.h"

namespace {

// A sign point moved by a paste; points read from a file may lie anywhere,
// so the sum is taken wide and held to what a point can store.
int32_t Point(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

void OrderSignPoints(TSegnoGrafico& sign) {
    if (sign.Kind == SignLine) {
        if (sign.X1 > sign.X2) {
            std::swap(sign.X1, sign.X2);
            std::swap(sign.Y1, sign.Y2);
        }
        return;
    }
    if (sign.X1 > sign.X2) std::swap(sign.X1, sign.X2);
    if (sign.Y1 > sign.Y2) std::swap(sign.Y1, sign.Y2);
}

TBufferCopia::TBufferCopia() = default;

TBufferCopia::~TBufferCopia() = default;

void TBufferCopia::Clear() {
    cells_.clear();
    signs_.clear();
    Source = nullptr;
    Rect = TCellRect{0, 0, -1, -1};
}

void TBufferCopia::Copy(TGridData* grid, const TCellRect& rect) {
    Clear();
    if (!grid) return;
    Source = grid;
    Rect = TCellRect{std::max<int32_t>(0, rect.Top), std::max<int32_t>(0, rect.Left),
                     std::min<int32_t>(grid->Rows - 1, rect.Bottom),
                     std::min<int32_t>(grid->Columns - 1, rect.Right)};
    // A cell over several squares is met once per square; one clone of it
    // is enough for a paste to leave one copy. The terminal belongs to its
    // grid and is never copied.
    std::unordered_set<const TCella*> seen;
    auto take = [&](TCella* cell) {
        if (!cell || cell->TypeCode == CodeHeadEnd || !seen.insert(cell).second) return;
        std::unique_ptr<TCella> clone(cell->Clone());
        if (!clone) return;
        clone->Owner = nullptr;  // the buffer may outlive the grid copied from
        cells_.push_back(std::move(clone));
    };
    for (int32_t c = Rect.Left; c <= Rect.Right; ++c)
        for (int32_t r = Rect.Top; r <= Rect.Bottom; ++r)
            if (TCella* cell = grid->CellAt(c, r)) {
                take(cell);
                take(cell->Overlay);
            }
    if (Rect.Left > Rect.Right || Rect.Top > Rect.Bottom) return;
    for (TSegnoGrafico* sign = grid->Signs->head; sign; sign = sign->Next)
        if (sign->HitTest(Rect.Top, Rect.Left, Rect.Bottom, Rect.Right)) {
            signs_.emplace_back(sign->Clone());
            signs_.back()->Grid = nullptr;
            signs_.back()->Next = nullptr;
        }
}

TCellRect TBufferCopia::TargetRect(const TGridData* target, TTurn turn, int32_t column, int32_t row) const {
    const bool across = turn == TTurn::Quarter || turn == TTurn::ThreeQuarters;
    const int64_t height = across ? Rect.Right - Rect.Left : Rect.Bottom - Rect.Top;
    const int64_t width = across ? Rect.Bottom - Rect.Top : Rect.Right - Rect.Left;
    TCellRect at;
    at.Bottom = static_cast<int32_t>(std::min<int64_t>(int64_t{row} + height, target->Rows - 1));
    at.Right = static_cast<int32_t>(std::min<int64_t>(int64_t{column} + width, target->Columns - 1));
    at.Top = std::max<int32_t>(0, row);
    at.Left = std::max<int32_t>(0, column);
    // The terminal's row stays free.
    if (target->Kind == GridNetwork && at.Top == 0) at.Top = 1;
    if (target->Kind == GridHeadEnd && at.Bottom == target->Rows - 1) at.Bottom = target->Rows - 2;
    return at;
}

int TBufferCopia::PlaceAll(TGridData* target, TTurn turn, const TCellRect& at, bool recordUndo) {
    const int32_t r0 = Rect.Top, c0 = Rect.Left;
    const int32_t R = at.Top, C = at.Left, LR = at.Bottom, LC = at.Right;
    int placed = 0;
    for (const auto& clone : cells_) {
        std::unique_ptr<TCella> cell(clone->Clone());
        if (!cell) continue;
        const int32_t column = clone->Column, row = clone->Row;
        // The new place first; the cell's own mirror or turn then sets its
        // orientation and ports about it.
        switch (turn) {
        case TTurn::Plain:
            cell->Column = column + (C - c0);
            cell->Row = row + (R - r0);
            break;
        case TTurn::Mirrored:
            cell->Column = (c0 + LC) - column;
            cell->Row = row + (R - r0);
            cell->Mirror();
            break;
        case TTurn::Quarter:
            cell->Column = (r0 + LC) - row;
            cell->Row = column + (R - c0);
            cell->Rotate(1);
            break;
        case TTurn::Half:
            cell->Column = (c0 + LC) - column;
            cell->Row = (r0 + LR) - row;
            cell->Rotate(2);
            break;
        case TTurn::ThreeQuarters:
            cell->Column = row + (C - r0);
            cell->Row = (c0 + LR) - column;
            cell->Rotate(3);
            break;
        }
        if (target->InsertCell(std::move(cell), recordUndo, CaptionInsertion)) ++placed;
    }
    const int64_t S = SquarePixels, edge = SquarePixels - 1;
    for (const auto& clone : signs_) {
        std::unique_ptr<TSegnoGrafico> sign = clone->Clone();
        auto move = [&](int32_t& x, int32_t& y) {
            const int64_t px = x, py = y;
            switch (turn) {
            case TTurn::Plain:
                x = Point(px + (C - c0) * S);
                y = Point(py + (R - r0) * S);
                break;
            case TTurn::Mirrored:
                x = Point((c0 + LC) * S + edge - px);
                y = Point(py + (R - r0) * S);
                break;
            case TTurn::Quarter:
                x = Point((r0 + LC) * S + edge - py);
                y = Point(px + (R - c0) * S);
                break;
            case TTurn::Half:
                x = Point((c0 + LC) * S + edge - px);
                y = Point((r0 + LR) * S + edge - py);
                break;
            case TTurn::ThreeQuarters:
                x = Point(py + (C - r0) * S);
                y = Point((c0 + LR) * S + edge - px);
                break;
            }
        };
        move(sign->X1, sign->Y1);
        move(sign->X2, sign->Y2);
        // The hit test wants a line's ends by x and a box least corner first:
        // a sign left otherwise could no longer be selected or deleted.
        OrderSignPoints(*sign);
        if (target->AddSign(std::move(sign), recordUndo, CaptionInsertion)) ++placed;
    }
    return placed;
}

void TBufferCopia::PasteTurned(TGridData* target, TTurn turn, int32_t column, int32_t row, bool recordUndo) {
    if (!target || !Source) return;
    const TCellRect at = TargetRect(target, turn, column, row);
    {
        // One undo takes the whole paste back.
        const TUndoStep step(recordUndo ? target->UndoList.get() : nullptr, TUndoStep::TEnd::Marker, CaptionPaste);
        target->RemoveCellsIn(at, recordUndo, CaptionRemoval);
        PlaceAll(target, turn, at, recordUndo);
    }
    target->SetModified(ModAll);
}

void TBufferCopia::Paste(TGridData* target, int32_t column, int32_t row, bool recordUndo) {
    PasteTurned(target, TTurn::Plain, column, row, recordUndo);
}

void TBufferCopia::PasteMirrored(TGridData* target, int32_t column, int32_t row, bool recordUndo) {
    PasteTurned(target, TTurn::Mirrored, column, row, recordUndo);
}

void TBufferCopia::PasteRotated90(TGridData* target, int32_t column, int32_t row, bool recordUndo) {
    PasteTurned(target, TTurn::Quarter, column, row, recordUndo);
}

void TBufferCopia::PasteRotated180(TGridData* target, int32_t column, int32_t row, bool recordUndo) {
    PasteTurned(target, TTurn::Half, column, row, recordUndo);
}

void TBufferCopia::PasteRotated270(TGridData* target, int32_t column, int32_t row, bool recordUndo) {
    PasteTurned(target, TTurn::ThreeQuarters, column, row, recordUndo);
}

void TBufferCopia::PasteInPlace(TGridData* target) {
    if (!target || !Source) return;
    PlaceAll(target, TTurn::Plain, Rect, false);
}
