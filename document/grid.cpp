#include "document/grid.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "cells/anchors.h"
#include "cells/separation_log.h"
#include "document/copy_buffer.h"
#include "document/project.h"
#include "document/signs.h"
#include "document/undo.h"

namespace {
std::unique_ptr<TCellGrid> MakeGridData(int32_t columns, int32_t rows, int32_t kind) {
    return std::make_unique<TGridData>(nullptr, columns, rows, kind);
}
}  // namespace

void NameCellGridMaker() { SetCellGridMaker(&MakeGridData); }

namespace {
// The grids of a custom component are the document's: named as the program
// starts, and again by every grid made, so that no order of starting leaves
// the custom components without them.
[[maybe_unused]] const bool GridMakerNamed = (NameCellGridMaker(), true);
}  // namespace

TGridData::TGridData(TProgetto* project, int32_t columns, int32_t rows, int32_t kind)
    : TCellGrid(columns, rows, kind), Project(project) {
    NameCellGridMaker();
    errorMarks_.assign(cells_.size(), 0);
    Signs = std::make_unique<TSegniGrafici>(this);
    UndoList = std::make_unique<TAnnulla>(this);
    CopyBuffer = std::make_unique<TBufferCopia>();
    MarkAllOutOfDate();
}

TGridData::~TGridData() {
    // A window still showing the grid forgets it, so that it never reaches
    // a grid that is gone; its signs are not told one by one.
    if (Window) View()->DetachGrid(this);
    Empty(false);
    UndoList.reset();
    Signs.reset();  // before the square index it keeps in step
}

void TGridData::Clear() { Empty(true); }

void TGridData::Empty(bool tellWindow) {
    UndoList->Clear();
    if (tellWindow && Window)
        for (TSegnoGrafico* sign = Signs->head; sign; sign = sign->Next) View()->SignLeft(sign);
    std::fill(cells_.begin(), cells_.end(), nullptr);
    std::fill(errorMarks_.begin(), errorMarks_.end(), 0);
    owned_.clear();
    Anchor = nullptr;
    FirstOutlet = nullptr;
    analysis_.clear();
    Signs->Clear();
    ClearSignIndex();
    MarkAllOutOfDate();
}

// ---- Squares ----

TCella* TGridData::CellAtLayer(int32_t column, int32_t row, int32_t first, int32_t second) const {
    TCella* cell = CellAt(column, row);
    if (cell && cell->Overlay && second > first) return cell->Overlay;
    return cell;
}

void TGridData::PlaceOnSquare(int32_t column, int32_t row, TCella* cell) {
    if (!Inside(column, row)) return;
    cells_[Index(column, row)] = cell;
    errorMarks_[Index(column, row)] = 0;
    RepaintSquare(column, row);
}

uint8_t TGridData::ErrorMark(int32_t column, int32_t row) const {
    return Inside(column, row) ? errorMarks_[Index(column, row)] : 0;
}

void TGridData::SetErrorMark(int32_t column, int32_t row, uint8_t mark) {
    if (Inside(column, row)) errorMarks_[Index(column, row)] = mark;
}

TCellProject* TGridData::CellProject() const { return Project; }

void TGridData::RepaintSquare(int32_t column, int32_t row) {
    if (Window) View()->RepaintCell(column, row);
}

// ---- Insertion and removal ----

bool TGridData::HoldsHeadEnd() const {
    for (TCella* cell : cells_)
        if (cell && cell->HasRole(RoleGridAnchor)) return true;
    return false;
}

bool TGridData::InsertCell(std::unique_ptr<TCella> owned, bool recordUndo, int32_t caption) {
    if (!owned) return false;
    TCella* cell = owned.get();
    separation_log::CellsChanged();
    const TCellRect rect = cell->GetGridRect();
    const bool anchor = cell->HasRole(RoleGridAnchor);
    // The anchor may stand in the rows kept for it, but like any cell it must
    // lie on the grid; a grid holds one anchor only.
    const bool fits = anchor
                          ? (rect.Left >= 0 && rect.Top >= 0 && rect.Right < Columns && rect.Bottom < Rows &&
                             rect.Left <= rect.Right && rect.Top <= rect.Bottom && !HoldsHeadEnd())
                          : InsideUsableArea(rect);
    if (!fits) {
        ++RefusedInsertions;
        return false;  // the refused cell goes with owned
    }
    Own(std::move(owned));
    cell->Owner = this;
    cell->Overlay = nullptr;

    int removed = 0;
    auto displace = [&](TCella* there) {
        const bool byDesign = there->HasRole(RoleGivesWay);
        if (!RemoveCell(there, recordUndo, CaptionRemoval)) return;
        ++removed;
        if (!byDesign) ++DisplacedCells;
    };
    if (!cell->CanOverlapCell()) {
        for (int32_t c = rect.Left; c <= rect.Right; ++c)
            for (int32_t r = rect.Top; r <= rect.Bottom; ++r)
                for (int twice = 0; twice < 2; ++twice) {
                    TCella* there = CellAt(c, r);
                    if (there && there != cell) displace(there);
                }
        for (int32_t c = rect.Left; c <= rect.Right; ++c)
            for (int32_t r = rect.Top; r <= rect.Bottom; ++r) PlaceOnSquare(c, r, cell);
    } else {
        const int32_t c = rect.Left, r = rect.Top;
        if (TCella* there = CellAt(c, r); there && there != cell) {
            if (!there->CanOverlapCell() || there->Orientation == cell->Orientation) {
                displace(there);
            } else if (there->Overlay) {
                displace(there->Overlay);
            }
        }
        TCella* there = CellAt(c, r);
        if (cell->Orientation == 1) {
            cell->Overlay = there;
            PlaceOnSquare(c, r, cell);
        } else if (!there) {
            PlaceOnSquare(c, r, cell);
        } else {
            there->Overlay = cell;
            SetErrorMark(c, r, 0);
            RepaintSquare(c, r);
        }
    }
    RepaintSquare(rect.Left, rect.Top - 1);
    RepaintSquare(rect.Left, rect.Top + 1);
    if (recordUndo) UndoList->PushInserted(cell, removed, caption);
    return true;
}

bool TGridData::RemoveCell(TCella* cell, bool recordUndo, int32_t caption) {
    if (!LiftCell(cell)) return false;
    ForgetCell(cell);
    std::unique_ptr<TCella> owned = Disown(cell);
    if (recordUndo) {
        UndoList->PushRemoved(std::move(owned), 0, caption);
    } else {
        UndoList->Forget(cell);
        owned.reset();
    }
    return true;
}

std::unique_ptr<TCella> TGridData::TakeOutCell(TCella* cell) {
    if (!LiftCell(cell)) return nullptr;
    ForgetCell(cell);
    UndoList->Forget(cell);
    return Disown(cell);
}

TCella* TGridData::Own(std::unique_ptr<TCella> cell) {
    TCella* held = cell.get();
    owned_[held] = std::move(cell);
    return held;
}

std::unique_ptr<TCella> TGridData::Disown(TCella* cell) {
    auto node = owned_.extract(cell);
    return node.empty() ? nullptr : std::move(node.mapped());
}

bool TGridData::LiftCell(TCella* cell) {
    if (!cell || cell->Owner != this) return false;
    const TCellRect rect = cell->GetGridRect();
    if (!cell->CanOverlapCell()) {
        for (int32_t c = rect.Left; c <= rect.Right; ++c)
            for (int32_t r = rect.Top; r <= rect.Bottom; ++r)
                if (CellAt(c, r) == cell) PlaceOnSquare(c, r, nullptr);
    } else {
        const int32_t c = rect.Left, r = rect.Top;
        TCella* there = CellAt(c, r);
        if (there == cell) {
            PlaceOnSquare(c, r, cell->Overlay);
            cell->Overlay = nullptr;
        } else if (there && there->Overlay == cell) {
            there->Overlay = nullptr;
            SetErrorMark(c, r, 0);
            RepaintSquare(c, r);
        } else {
            return false;
        }
    }
    RepaintSquare(rect.Left, rect.Top - 1);
    RepaintSquare(rect.Left, rect.Top + 1);
    return true;
}

// A removed cell must not stay reachable: drop every link, chain entry and
// overlay of the grid's cells that points at it.
void TGridData::ForgetCell(TCella* cell) {
    ForgetCells(cell, nullptr);
    UnlinkOwn(cell);
}

void TGridData::UnlinkOwn(TCella* cell) {
    std::fill(cell->InputCell.begin(), cell->InputCell.end(), nullptr);
    std::fill(cell->InputPort.begin(), cell->InputPort.end(), -1);
    std::fill(cell->OutputCell.begin(), cell->OutputCell.end(), nullptr);
    std::fill(cell->OutputPort.begin(), cell->OutputPort.end(), -1);
    cell->NextCell = nullptr;
    cell->NextOutlet = nullptr;
    cell->Owner = nullptr;
}

// One walk over the squares for any number of departing cells (a block move
// takes many at once). The departing cells' own chain links are read, not
// changed, so that a chain stepping over several of them in a row is mended.
void TGridData::ForgetCells(const TCella* one, const std::unordered_set<const TCella*>* many) {
    separation_log::CellsChanged();
    auto gone = [one, many](const TCella* cell) { return cell == one || (many && many->count(cell) != 0); };
    // A chain longer than the grid has cells would be a loop: the walk past
    // departing cells stops there.
    const size_t limit = cells_.size() * 2 + 2;
    auto skip = [&](TCella* next, TCella* TCella::*link) {
        for (size_t n = 0; next && gone(next) && n < limit; ++n) next = next->*link;
        return next && gone(next) ? nullptr : next;
    };
    auto forget = [&](TCella* other) {
        for (size_t i = 0; i < other->InputCell.size(); ++i)
            if (other->InputCell[i] && gone(other->InputCell[i])) {
                other->InputCell[i] = nullptr;
                if (i < other->InputPort.size()) other->InputPort[i] = -1;
            }
        for (size_t j = 0; j < other->OutputCell.size(); ++j)
            if (other->OutputCell[j] && gone(other->OutputCell[j])) {
                other->OutputCell[j] = nullptr;
                if (j < other->OutputPort.size()) other->OutputPort[j] = -1;
            }
        other->NextCell = skip(other->NextCell, &TCella::NextCell);
        other->NextOutlet = skip(other->NextOutlet, &TCella::NextOutlet);
        if (other->Overlay && gone(other->Overlay)) other->Overlay = nullptr;
    };
    for (TCella* other : cells_) {
        if (!other || gone(other)) continue;
        forget(other);
        if (other->Overlay && !gone(other->Overlay)) forget(other->Overlay);
    }
    if (Anchor && gone(Anchor)) Anchor = nullptr;
    FirstOutlet = skip(FirstOutlet, &TCella::NextOutlet);
}

int TGridData::RemoveCellsIn(const TCellRect& rect, bool recordUndo, int32_t caption) {
    const int32_t left = std::max<int32_t>(0, rect.Left);
    const int32_t right = std::min<int32_t>(Columns - 1, rect.Right);
    const int32_t top = std::max<int32_t>(0, rect.Top);
    const int32_t bottom = std::min<int32_t>(Rows - 1, rect.Bottom);
    // Square by square, the square's cell and then the cable crossing it,
    // as two removals per square would take them. The anchor belongs to the
    // grid, not to the drawing: editing never cuts or deletes it.
    std::vector<TCella*> lifted;
    std::unordered_set<const TCella*> gone;
    for (int32_t c = left; c <= right; ++c)
        for (int32_t r = top; r <= bottom; ++r) {
            TCella* cell = CellAt(c, r);
            for (TCella* x : {cell, cell ? cell->Overlay : nullptr})
                if (x && !x->HasRole(RoleGridAnchor) && !gone.count(x) && LiftCell(x)) {
                    gone.insert(x);
                    lifted.push_back(x);
                }
        }
    if (lifted.empty()) return 0;
    // One walk over the grid for all of them.
    ForgetCells(nullptr, &gone);
    if (!recordUndo) UndoList->Forget(gone);
    for (TCella* cell : lifted) {
        UnlinkOwn(cell);
        std::unique_ptr<TCella> owned = Disown(cell);
        if (recordUndo) UndoList->PushRemoved(std::move(owned), 0, caption);
    }
    return static_cast<int>(lifted.size());
}

int TGridData::DeleteRect(const TCellRect& rect, bool recordUndo, int32_t caption,
                          const std::vector<TSegnoGrafico*>& chosen) {
    const int32_t left = std::max<int32_t>(0, rect.Left);
    const int32_t right = std::min<int32_t>(Columns - 1, rect.Right);
    const int32_t top = std::max<int32_t>(0, rect.Top);
    const int32_t bottom = std::min<int32_t>(Rows - 1, rect.Bottom);
    // One undo puts back all that went; a command that took nothing away
    // leaves no step to take back.
    TUndoStep step(recordUndo ? UndoList.get() : nullptr, TUndoStep::TEnd::MarkerIfAny, caption);
    int removed = RemoveCellsIn(rect, recordUndo, caption);
    std::vector<TSegnoGrafico*> signs;
    std::unordered_set<TSegnoGrafico*> seen;
    if (left <= right && top <= bottom)
        for (int32_t c = left; c <= right; ++c)
            for (int32_t r = top; r <= bottom; ++r)
                for (TSegnoGrafico* sign : SignsAt(c, r))
                    if (seen.insert(sign).second &&
                        sign->HitTest(rect.Top, rect.Left, rect.Bottom, rect.Right))
                        signs.push_back(sign);
    for (TSegnoGrafico* sign : chosen)
        if (sign && seen.insert(sign).second) signs.push_back(sign);
    // RemoveSign refuses a sign of another grid.
    for (TSegnoGrafico* sign : signs)
        if (RemoveSign(sign, recordUndo, caption)) ++removed;
    step.End();
    if (removed > 0) SetModified(ModAll);
    return removed;
}

// ---- Graphic signs ----

bool TGridData::SignSquares(const TSegnoGrafico* sign, TCellRect& squares) const {
    // Floor division, so that a point left of or above the grid falls on a
    // negative square and is cut away.
    auto square = [](int64_t pixel) {
        return static_cast<int64_t>(pixel >= 0 ? pixel / SquarePixels
                                               : -((-pixel + SquarePixels - 1) / SquarePixels));
    };
    const int64_t left = std::max<int64_t>(0, square(std::min(sign->X1, sign->X2)));
    const int64_t right = std::min<int64_t>(Columns - 1, square(std::max(sign->X1, sign->X2)));
    const int64_t top = std::max<int64_t>(0, square(std::min(sign->Y1, sign->Y2)));
    const int64_t bottom = std::min<int64_t>(Rows - 1, square(std::max(sign->Y1, sign->Y2)));
    if (left > right || top > bottom) return false;
    squares = TCellRect{static_cast<int32_t>(top), static_cast<int32_t>(left), static_cast<int32_t>(bottom),
                        static_cast<int32_t>(right)};
    return true;
}

// The squares of the box that a sign may cross, each handed to visit once:
// a line crosses few squares of each column, a rectangle lies on the edge of
// its box; the sign's hit test decides among them. The walk stays short for
// a sign across a whole large grid.
template <class Visit>
void ForSignSquares(const TSegnoGrafico& sign, const TCellRect& box, Visit visit) {
    if (sign.Kind == SignLine && sign.X1 != sign.X2 && sign.Y1 != sign.Y2) {
        const double x1 = sign.X1, y1 = sign.Y1, x2 = sign.X2, y2 = sign.Y2;
        const double slope = (y2 - y1) / (x2 - x1);
        for (int32_t c = box.Left; c <= box.Right; ++c) {
            // Where the line runs across the column's pixels.
            const double from = double(c) * SquarePixels, to = from + SquarePixels - 1;
            const double ya = y1 + (from - x1) * slope, yb = y1 + (to - x1) * slope;
            // Held to the box before the conversion: far points of a damaged
            // sign must not overflow it.
            auto row = [&](double y, double margin) {
                return static_cast<int64_t>(
                    std::clamp(std::floor(y / SquarePixels) + margin, double(box.Top), double(box.Bottom)));
            };
            const int64_t top = row(std::min(ya, yb), -1), bottom = row(std::max(ya, yb), 1);
            for (int64_t r = top; r <= bottom; ++r) visit(c, static_cast<int32_t>(r));
        }
        return;
    }
    if (sign.Kind == SignRectangle) {
        for (int32_t c = box.Left; c <= box.Right; ++c) {
            if (c == box.Left || c == box.Right) {
                for (int32_t r = box.Top; r <= box.Bottom; ++r) visit(c, r);
            } else {
                visit(c, box.Top);
                if (box.Bottom != box.Top) visit(c, box.Bottom);
            }
        }
        return;
    }
    for (int32_t c = box.Left; c <= box.Right; ++c)
        for (int32_t r = box.Top; r <= box.Bottom; ++r) visit(c, r);
}

int64_t TGridData::SignSquareBound(const TSegnoGrafico* sign) const {
    TCellRect box;
    if (!sign || !SignSquares(sign, box)) return 0;
    const int64_t columns = int64_t{box.Right} - box.Left + 1, rows = int64_t{box.Bottom} - box.Top + 1;
    if (sign->Kind == SignLine || sign->Kind == SignRectangle) return 3 * (columns + rows);
    return columns * rows;
}

void TGridData::IndexSign(TSegnoGrafico* sign, bool repaint) {
    TCellRect box;
    if (!sign || !SignSquares(sign, box)) return;
    ForSignSquares(*sign, box, [&](int32_t c, int32_t r) {
        if (!sign->HitTest(r, c, r, c)) return;
        signIndex_[Index(c, r)].push_back(sign);
        ++signIndexEntries_;
        if (repaint) RepaintSquare(c, r);
    });
}

void TGridData::UnindexSign(TSegnoGrafico* sign, bool repaint) {
    TCellRect box;
    if (!sign || !SignSquares(sign, box)) return;
    ForSignSquares(*sign, box, [&](int32_t c, int32_t r) {
        const auto there = signIndex_.find(Index(c, r));
        if (there == signIndex_.end()) return;
        const auto at = std::find(there->second.begin(), there->second.end(), sign);
        if (at == there->second.end()) return;
        there->second.erase(at);
        --signIndexEntries_;
        if (there->second.empty()) signIndex_.erase(there);
        if (repaint) RepaintSquare(c, r);
    });
}

void TGridData::ClearSignIndex() {
    signIndex_.clear();
    signIndexEntries_ = 0;
}

const std::vector<TSegnoGrafico*>& TGridData::SignsAt(int32_t column, int32_t row) const {
    static const std::vector<TSegnoGrafico*> none;
    if (!Inside(column, row)) return none;
    const auto there = signIndex_.find(Index(column, row));
    return there == signIndex_.end() ? none : there->second;
}

bool TGridData::AddSign(std::unique_ptr<TSegnoGrafico> owned, bool recordUndo, int32_t caption) {
    if (!owned) return false;
    const int64_t width = int64_t{Columns} * SquarePixels, height = int64_t{Rows} * SquarePixels;
    auto onGrid = [&](int64_t x, int64_t y) { return x >= 0 && x < width && y >= 0 && y < height; };
    if (!onGrid(owned->X1, owned->Y1) && !onGrid(owned->X2, owned->Y2)) return false;
    owned->Grid = this;
    TSegnoGrafico* sign = Signs->Add(std::move(owned), true);
    if (recordUndo) UndoList->PushInserted(sign, 0, caption);
    return true;
}

bool TGridData::RemoveSign(TSegnoGrafico* sign, bool recordUndo, int32_t caption) {
    // A sign the undo list keeps still names this grid, but is not on it.
    if (!sign || sign->Grid != this || !Signs->Contains(sign)) return false;
    std::unique_ptr<TSegnoGrafico> owned = Signs->Remove(sign, true);
    if (Window) View()->SignLeft(sign);
    if (recordUndo) {
        UndoList->PushRemoved(std::move(owned), 0, caption);
    } else {
        UndoList->Forget(sign);
        owned.reset();
    }
    return true;
}

// ---- Size ----

bool TGridData::FindAnchorColumn(int32_t& column, int32_t& row) const {
    for (int32_t c = 0; c < Columns; ++c) {
        if (Rows < 1) break;
        TCella* top = cells_[Index(c, 0)];
        if (top && top->HasRole(RoleGridAnchor)) {
            column = c;
            row = 0;
            return true;
        }
        TCella* bottom = cells_[Index(c, Rows - 1)];
        if (bottom && bottom->HasRole(RoleGridAnchor)) {
            column = c;
            row = Rows - 1;
            return true;
        }
    }
    return false;
}

bool TGridData::Resize(int32_t columns, int32_t rows) {
    if (columns == Columns && rows == Rows) return true;
    if (columns < 1 || rows < 1) return false;

    int32_t dx = 0, dy = 0;
    int32_t anchorColumn = 0, anchorRow = 0;
    if (FindAnchorColumn(anchorColumn, anchorRow)) {
        dx = columns / 2 - 1 - anchorColumn;
        dy = (anchorRow == 0) ? 0 : rows - Rows;
    }
    auto fits = [&](int32_t c, int32_t r) {
        return c + dx >= 0 && c + dx < columns && r + dy >= 0 && r + dy < rows;
    };
    for (int32_t c = 0; c < Columns; ++c)
        for (int32_t r = 0; r < Rows; ++r)
            if ((cells_[Index(c, r)] || signIndex_.count(Index(c, r))) && !fits(c, r)) return false;

    std::vector<TCella*> cells(static_cast<size_t>(columns) * static_cast<size_t>(rows), nullptr);
    std::vector<uint8_t> marks(cells.size(), 0);
    std::unordered_set<TCella*> moved;
    for (int32_t c = 0; c < Columns; ++c)
        for (int32_t r = 0; r < Rows; ++r) {
            if (!fits(c, r)) continue;
            const size_t to =
                static_cast<size_t>(c + dx) * static_cast<size_t>(rows) + static_cast<size_t>(r + dy);
            marks[to] = errorMarks_[Index(c, r)];
            TCella* cell = cells_[Index(c, r)];
            cells[to] = cell;
            if (cell && moved.insert(cell).second) {
                cell->Column += dx;
                cell->Row += dy;
                if (cell->Overlay) {
                    cell->Overlay->Column = cell->Column;
                    cell->Overlay->Row = cell->Row;
                }
            }
        }
    cells_.swap(cells);
    errorMarks_.swap(marks);
    analysis_.clear();
    if (dx != 0 || dy != 0) UndoList->Clear();
    Columns = columns;
    Rows = rows;
    // Moving a sign by whole squares moves its squares with it: the index is
    // built again for the new size.
    ClearSignIndex();
    for (TSegnoGrafico* sign = Signs->head; sign; sign = sign->Next) {
        sign->X1 += dx * SquarePixels;
        sign->X2 += dx * SquarePixels;
        sign->Y1 += dy * SquarePixels;
        sign->Y2 += dy * SquarePixels;
        IndexSign(sign, false);
    }
    if (SavedLeft != -1) {
        SavedLeft += dx;
        if (SavedLeft < 0 || SavedLeft >= Columns) SavedLeft = -1;
    }
    if (SavedTop != -1) {
        SavedTop += dy;
        if (SavedTop < 0 || SavedTop >= Rows) SavedTop = -1;
    }
    return true;
}

TCellRect TGridData::GetUsedArea() const {
    TCellRect used{Rows - 1, Columns - 1, 0, 0};
    for (int32_t c = 0; c < Columns; ++c)
        for (int32_t r = 0; r < Rows; ++r)
            if (cells_[Index(c, r)] || signIndex_.count(Index(c, r))) {
                used.Top = std::min(used.Top, r);
                used.Left = std::min(used.Left, c);
                used.Bottom = std::max(used.Bottom, r);
                used.Right = std::max(used.Right, c);
            }
    return used;
}

void TGridData::GetMinimumSize(int32_t& columns, int32_t& rows) const {
    int32_t anchorColumn = 0, anchorRow = 0;
    if (!FindAnchorColumn(anchorColumn, anchorRow)) {
        columns = GridMinimumSize;
        rows = GridMinimumSize;
        return;
    }
    const TCellRect used = GetUsedArea();
    rows = std::max<int32_t>(GridMinimumSize, used.Bottom - used.Top + 1);
    columns = std::max<int32_t>(GridMinimumSize,
                                2 * std::max(anchorColumn - used.Left, used.Right - anchorColumn) + 2);
}

// ---- Questions ----

bool TGridData::HasComponents() const {
    for (TCella* cell : cells_)
        if (cell && !cell->HasRole(RoleGridAnchor)) return true;
    return false;
}

bool TGridData::HasEarthSymbol() const {
    for (TCella* cell : cells_)
        if (cell && cell->HasRole(RoleEarth)) return true;
    return false;
}

bool TGridData::AllCellsDescribed(bool strict) const {
    // The chain begins with the anchor: the head-end terminal, always
    // described, or on a grid without one (a custom component's structure)
    // its first component.
    for (TCella* cell = Anchor; cell; cell = cell->NextCell) {
        if (cell->Described) continue;
        // A cable segment that touches no component needs no data even for
        // the estimate: for a cable that is what NeedsNoDescription answers
        // (a bridge answers yes always, so it passes in the lenient form only).
        if (cell->NeedsNoDescription() && cell->HasRole(RoleIdleNeedsNoData)) continue;
        if (!strict && cell->NeedsNoDescription()) continue;
        return false;
    }
    return true;
}

// ---- Out-of-date marks ----

void TGridData::MarkAllOutOfDate() {
    NetworkOutOfDate = true;
    RequiredOutOfDate = true;
    ChannelsOutOfDate = true;
    RequiredChannelsOutOfDate = true;
}

void TGridData::SetModified(int32_t mask) {
    if (Project) Project->SetModified(mask);
    if (mask & ModChannels) {
        ChannelsOutOfDate = true;
        RequiredChannelsOutOfDate = true;
    }
    if (mask & ModNetwork) {
        NetworkOutOfDate = true;
        RequiredOutOfDate = true;
    }
}

// ---- Walks ----

void TGridData::ClearWalkMarks() {
    for (TCella* cell : cells_) {
        if (!cell) continue;
        cell->WalkMark = 0;
        if (cell->Overlay) cell->Overlay->WalkMark = 0;
    }
}

void TGridData::NumberCells(TContatoriCategoria& counters, bool reset) {
    if (reset) counters.fill(1);
    if (!Anchor) return;
    for (TCella* cell = Anchor->NextCell; cell; cell = cell->NextCell) cell->TakeSequenceNumber(counters);
}

// ---- Analysis records ----

void TGridData::BeginAnalysis() {
    analysis_.assign(static_cast<size_t>(Columns) * static_cast<size_t>(Rows), TSquareAnalysis{});
}

void TGridData::EndAnalysis() {
    analysis_.clear();
    analysis_.shrink_to_fit();
}
