// Operations of a grid on many cells at once: the copy of a whole grid, block
// moves between grids, the copy of one cell's data into the cells of its
// kind, and the window a grid is shown in.
#include <algorithm>
#include <unordered_set>

#include "core/reporter.h"
#include "document/copy_buffer.h"
#include "document/copy_data.h"
#include "document/grid.h"
#include "document/project_files.h"
#include "document/undo.h"
#include "platform/application.h"

void TGridData::CopyTo(TCellGrid& target) { CopyTo(*GridOf(&target)); }

void TGridData::CopyTo(TGridData& target) {
    if (&target == this) return;
    target.Clear();
    target.Resize(Columns, Rows);
    target.Step = Step;
    // The buffer never copies the terminal: the target gets its own copy as
    // its terminal.
    int32_t column = 0, row = 0;
    if (FindAnchorColumn(column, row)) {
        std::unique_ptr<TCella> anchor(CellAt(column, row)->Clone());
        TCella* placed = anchor.get();
        if (placed && target.InsertCell(std::move(anchor), false, 0)) target.Anchor = placed;
    }
    TBufferCopia buffer;
    buffer.Copy(this, GetFullArea());
    buffer.PasteInPlace(&target);
}

void TGridData::MoveBlock(TGridData* source, const TCellRect& rect, TGridData* target, int32_t column,
                          int32_t row, bool recordUndo) {
    MoveCells(source, rect, target, column, row, recordUndo, false);
}

void TGridData::MoveBlockMirrored(TGridData* source, const TCellRect& rect, TGridData* target, int32_t column,
                                  int32_t row, bool recordUndo) {
    MoveCells(source, rect, target, column, row, recordUndo, true);
}

void TGridData::MoveCells(TGridData* source, const TCellRect& rect, TGridData* target, int32_t column,
                          int32_t row, bool recordUndo, bool mirrored) {
    if (!source || !target) return;
    const int32_t top = std::max<int32_t>(0, rect.Top), left = std::max<int32_t>(0, rect.Left);
    const int32_t bottom = std::min<int32_t>(source->Rows - 1, rect.Bottom);
    const int32_t right = std::min<int32_t>(source->Columns - 1, rect.Right);

    // The cells whose first square lies in the rectangle, each with the
    // cable crossing it; the terminal belongs to its grid and stays.
    std::vector<TCella*> moving;
    for (int32_t c = left; c <= right; ++c)
        for (int32_t r = top; r <= bottom; ++r) {
            TCella* cell = source->CellAt(c, r);
            for (TCella* x : {cell, cell ? cell->Overlay : nullptr})
                if (x && x->Column == c && x->Row == r && x->TypeCode != CodeHeadEnd) moving.push_back(x);
        }
    // Each is taken out whole, even where it reaches past the rectangle, and
    // the source's links and chains forget them all in one walk.
    for (TCella* cell : moving) source->LiftCell(cell);
    if (!moving.empty()) {
        const std::unordered_set<const TCella*> gone(moving.begin(), moving.end());
        source->ForgetCells(nullptr, &gone);
        source->UndoList->Forget(gone);
    }
    std::vector<std::unique_ptr<TCella>> taken;
    taken.reserve(moving.size());
    // Last met first, so that a crossing cable goes back under the one
    // that crossed it.
    for (auto at = moving.rbegin(); at != moving.rend(); ++at) {
        source->UnlinkOwn(*at);
        if (auto owned = source->Disown(*at)) taken.push_back(std::move(owned));
    }

    const int32_t lastColumn =
        static_cast<int32_t>(std::min<int64_t>(int64_t{right} + column - left, target->Columns - 1));
    int32_t lastRow = static_cast<int32_t>(std::min<int64_t>(int64_t{bottom} + row - top, target->Rows - 1));
    column = std::max<int32_t>(0, column);
    row = std::max<int32_t>(0, row);
    if (target->Kind == GridNetwork && row == 0) row = 1;
    if (target->Kind == GridHeadEnd && lastRow == target->Rows - 1) lastRow = target->Rows - 2;

    // One undo takes the whole move back on the target.
    TUndoStep step(recordUndo ? target->UndoList.get() : nullptr, TUndoStep::TEnd::Marker, CaptionPaste);
    target->RemoveCellsIn(TCellRect{row, column, lastRow, lastColumn}, recordUndo, CaptionRemoval);

    const int32_t dc = column - left, dr = row - top;
    for (auto& cell : taken) {
        if (mirrored) {
            cell->Column = lastColumn + left - cell->Column;
            cell->Row += dr;
            cell->Mirror();
        } else {
            cell->Column += dc;
            cell->Row += dr;
        }
        // A cell the target refuses is dropped here.
        target->InsertCell(std::move(cell), recordUndo, CaptionInsertion);
    }
    step.End();
    target->SetModified(ModAll);
    if (source != target && !moving.empty()) source->SetModified(ModAll);
}

void TGridData::CopyDataToSameKind(bool all, TCella* source) {
    if (!source) return;
    std::vector<TCella*> candidates;
    std::vector<AnsiString> names;
    std::vector<uint8_t> described;
    std::unordered_set<const TCella*> seen;  // a chain never loops; if it did, the walk ends
    for (TCella* cell = Anchor ? Anchor->NextCell : nullptr; cell && seen.insert(cell).second;
         cell = cell->NextCell) {
        if (cell == source || !cell->IsSameKind(source)) continue;
        candidates.push_back(cell);
        names.push_back(cell->GetShortCode());
        described.push_back(cell->Described ? 1 : 0);
    }
    std::vector<uint8_t> ticked(candidates.size(), all ? 1 : 0);
    if (!all) {
        TFCopiaDati* form = CopyDataForm();
        form->Names = names;
        form->Described = described;
        form->Ticked = ticked;
        if (form->ShowModal() != mrOk) return;
        ticked = form->Ticked;
        ticked.resize(candidates.size(), 0);
    }
    bool overwrites = false;
    for (size_t i = 0; i < candidates.size(); ++i) overwrites = overwrites || (ticked[i] && described[i]);
    if (overwrites && Application->MessageBox(
                          "Alcuni componenti selezionati sono già descritti. Procedere con la copiatura?",
                          ApplicationTitle, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (!ticked[i]) continue;
        source->Assign(candidates[i]);
        candidates[i]->Invalidate();
    }
    // The copies marked the grid modified (mask 15), so the calculation and
    // estimate pages recalculate when next shown; copied descriptions may
    // complete the grids, which brings those pages in.
    if (Form) {
        Form->UpdateCalculationPages();
        Form->UpdateEstimatePage();
    }
}

void TGridData::AttachView(TGridWindow* window) {
    if (Window && Window != window) View()->DetachGrid(this);
    Window = window;
}

void TGridData::DetachView(TGridWindow* window) {
    if (Window == window) Window = nullptr;
}
