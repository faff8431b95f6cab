#include "platform/grids.h"

#include <algorithm>
#include <limits>

#include "platform/forms.h"

namespace {
[[noreturn]] void OutOfRange() { throw EInvalidOperation("Indice della griglia fuori dai limiti"); }
}  // namespace

// ---------------------------------------------------------------- in-place editor

TInplaceEdit::TInplaceEdit(TCustomGrid* grid) : TCustomEdit(grid), grid_(grid) {
    BorderStyle.SetQuiet(bsNone);
    TabStop.SetQuiet(false);
    Visible.SetQuiet(false);
    AutoSelect.SetQuiet(false);  // the grid chooses what its editor selects
}

void TInplaceEdit::Change() {
    TCustomEdit::Change();
    if (!loading_ && grid_->editCol_ >= 0) grid_->SetEditText(grid_->editCol_, grid_->editRow_, Text);
}

bool TInplaceEdit::WantsKey(WORD key) const {
    return key == VK_RETURN || (key == VK_TAB && grid_->Options->Contains(goTabs));
}

void TInplaceEdit::KeyDown(WORD& key, TShiftState shift) {
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_RETURN:
    case VK_F2:
        grid_->KeyDown(key, shift);
        key = 0;
        return;
    case VK_ESCAPE:
        // The grid takes Esc while it has an edit to cancel; otherwise the
        // key is left for the form (its "Annulla").
        grid_->KeyDown(key, shift);
        return;
    case VK_TAB:
        if (grid_->Options->Contains(goTabs)) {
            grid_->KeyDown(key, shift);
            key = 0;
            return;
        }
        break;
    default: break;
    }
    // Other keys reach the grid's own handler first, then the editor.
    grid_->TWinControl::KeyDown(key, shift);
    if (key) TCustomEdit::KeyDown(key, shift);
}

// ---------------------------------------------------------------- layout

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
    TabStop.SetQuiet(true);
    Color.SetQuiet(clWindow);
    colWidths_.assign(ColCount.Get(), DefaultColWidth.Get());
    rowHeights_.assign(RowCount.Get(), DefaultRowHeight.Get());
    SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() { editor_ = nullptr; }

TSize TCustomGrid::NonClientSize() const {
    const int border = BorderStyle == bsSingle ? 2 : 0;
    constexpr int bar = 16;
    const bool verticalAllowed = ScrollBars == ssVertical || ScrollBars == ssBoth;
    const bool horizontalAllowed = ScrollBars == ssHorizontal || ScrollBars == ssBoth;
    const int width = Width - 2 * border, height = Height - 2 * border;
    bool horizontal = horizontalAllowed && !AllFit(true, width);
    const bool vertical = verticalAllowed && !AllFit(false, height - (horizontal ? bar : 0));
    if (vertical && !horizontal) horizontal = horizontalAllowed && !AllFit(true, width - bar);
    return TSize{2 * border + (vertical ? bar : 0), 2 * border + (horizontal ? bar : 0)};
}

bool TCustomGrid::AllFit(bool col, int room) const {
    const std::vector<int>& sizes = col ? colWidths_ : rowHeights_;
    const int count = col ? ColCount.Get() : RowCount.Get();
    int used = 0;
    for (int i = 0; i < count && i < static_cast<int>(sizes.size()); ++i) {
        if (used + sizes[i] > room) return false;
        used += sizes[i] + GridLineWidth;
    }
    return true;
}

void TCustomGrid::ContentResized() {
    const int width = ClientWidth, height = ClientHeight;
    SyncClientSize();
    if (width == ClientWidth && height == ClientHeight) return;
    NotifyPeer(TPropId::Bounds);
    Resized();
}

int TCustomGrid::SizeAt(bool col, int index) const {
    const auto& v = col ? colWidths_ : rowHeights_;
    if (index < 0 || index >= static_cast<int>(v.size()))
        return col ? DefaultColWidth.Get() : DefaultRowHeight.Get();
    return v[index];
}

void TCustomGrid::SetSizeAt(bool col, int index, int value) {
    auto& v = col ? colWidths_ : rowHeights_;
    if (index < 0 || index >= static_cast<int>(v.size())) OutOfRange();
    value = std::max(0, value);
    if (v[index] == value) return;
    v[index] = value;
    ContentResized();
    NotifyPeer(col ? TPropId::ColWidths : TPropId::RowHeights, index);
    TopRow.SetQuiet(std::clamp(TopRow.Get(), std::min(FixedRows.Get(), RowCount - 1),
                               std::max(FixedRows.Get(), MaxTopRow())));
    LeftCol.SetQuiet(std::clamp(LeftCol.Get(), std::min(FixedCols.Get(), ColCount - 1),
                                std::max(FixedCols.Get(), MaxLeftCol())));
    PlaceEditor();
    Invalidate();
}

int TCustomGrid::ColLeft(int col) const {
    int lw = GridLineWidth, x = 0;
    for (int i = 0; i < FixedCols && i < ColCount; ++i) {
        if (i == col) return x;
        x += colWidths_[i] + lw;
    }
    if (col < LeftCol) return -1;
    for (int i = LeftCol; i < col; ++i) x += colWidths_[i] + lw;
    return x;
}

int TCustomGrid::RowTop(int row) const {
    int lw = GridLineWidth, y = 0;
    for (int i = 0; i < FixedRows && i < RowCount; ++i) {
        if (i == row) return y;
        y += rowHeights_[i] + lw;
    }
    if (row < TopRow) return -1;
    for (int i = TopRow; i < row; ++i) y += rowHeights_[i] + lw;
    return y;
}

TRect TCustomGrid::CellRect(int col, int row) const {
    if (col < 0 || row < 0 || col >= ColCount || row >= RowCount) return TRect();
    int x = ColLeft(col), y = RowTop(row);
    if (x < 0 || y < 0 || x >= ClientWidth || y >= ClientHeight) return TRect();
    return TRect(x, y, x + colWidths_[col], y + rowHeights_[row]);
}

void TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const {
    col = row = -1;
    if (x < 0 || y < 0) return;
    int lw = GridLineWidth;
    auto find = [lw](int pos, int fixed, int first, int count, const std::vector<int>& sizes) {
        int edge = 0;
        for (int i = 0; i < fixed && i < count; ++i) {
            edge += sizes[i] + lw;
            if (pos < edge) return i;
        }
        for (int i = first; i < count; ++i) {
            edge += sizes[i] + lw;
            if (pos < edge) return i;
        }
        return -1;
    };
    int c = find(x, FixedCols, LeftCol, ColCount, colWidths_);
    int r = find(y, FixedRows, TopRow, RowCount, rowHeights_);
    if (c < 0 || r < 0) return;
    col = c;
    row = r;
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const {
    TGridCoord g;
    MouseToCell(x, y, g.X, g.Y);
    return g;
}

namespace {
// How many cells from first on fit wholly in the room left after the fixed ones.
int FullyVisible(int room, int first, int count, const std::vector<int>& sizes, int lw) {
    int n = 0, used = 0;
    for (int i = first; i < count; ++i) {
        if (used + sizes[i] > room) break;
        used += sizes[i] + lw;
        ++n;
    }
    return n;
}
int FixedExtent(int fixed, int count, const std::vector<int>& sizes, int lw) {
    int e = 0;
    for (int i = 0; i < fixed && i < count; ++i) e += sizes[i] + lw;
    return e;
}
}  // namespace

int TCustomGrid::VisibleColCount() const {
    return FullyVisible(ClientWidth - FixedExtent(FixedCols, ColCount, colWidths_, GridLineWidth), LeftCol,
                        ColCount, colWidths_, GridLineWidth);
}

int TCustomGrid::VisibleRowCount() const {
    return FullyVisible(ClientHeight - FixedExtent(FixedRows, RowCount, rowHeights_, GridLineWidth), TopRow,
                        RowCount, rowHeights_, GridLineWidth);
}

int TCustomGrid::MaxTopRow() const {
    int room = ClientHeight - FixedExtent(FixedRows, RowCount, rowHeights_, GridLineWidth);
    int used = 0, top = RowCount;
    for (int i = RowCount - 1; i >= FixedRows; --i) {
        if (used + rowHeights_[i] > room && top < RowCount) break;
        used += rowHeights_[i] + GridLineWidth;
        top = i;
    }
    return std::max(FixedRows.Get(), std::min(top, RowCount - 1));
}

int TCustomGrid::MaxLeftCol() const {
    int room = ClientWidth - FixedExtent(FixedCols, ColCount, colWidths_, GridLineWidth);
    int used = 0, left = ColCount;
    for (int i = ColCount - 1; i >= FixedCols; --i) {
        if (used + colWidths_[i] > room && left < ColCount) break;
        used += colWidths_[i] + GridLineWidth;
        left = i;
    }
    return std::max(FixedCols.Get(), std::min(left, ColCount - 1));
}

void TCustomGrid::InvalidateCell(int col, int row) {
    TRect r = CellRect(col, row);
    if (!r.IsEmpty()) InvalidateRect(r);
}

void TCustomGrid::InvalidateRow(int row) {
    for (int c = 0; c < ColCount; ++c) InvalidateCell(c, row);
}

void TCustomGrid::InvalidateCol(int col) {
    for (int r = 0; r < RowCount; ++r) InvalidateCell(col, r);
}

void TCustomGrid::Resized() {
    TopRow.SetQuiet(std::clamp(TopRow.Get(), std::min(FixedRows.Get(), RowCount - 1),
                               std::max(FixedRows.Get(), MaxTopRow())));
    LeftCol.SetQuiet(std::clamp(LeftCol.Get(), std::min(FixedCols.Get(), ColCount - 1),
                                std::max(FixedCols.Get(), MaxLeftCol())));
    PlaceEditor();
    TCustomControl::Resized();
}

// ---------------------------------------------------------------- properties

bool TCustomGrid::PropertyChanging(TPropId id) {
    switch (id) {
    case TPropId::Row:
        if (Row.Pending() < 0 || Row.Pending() >= RowCount) OutOfRange();
        MoveCurrent(Col, Row.Pending(), true, true);
        return false;
    case TPropId::Col:
        if (Col.Pending() < 0 || Col.Pending() >= ColCount) OutOfRange();
        MoveCurrent(Col.Pending(), Row, true, true);
        return false;
    case TPropId::Selection: {
        TGridRect s = Selection.Pending();
        if (s.Left < 0 || s.Top < 0 || s.Right >= ColCount || s.Bottom >= RowCount) OutOfRange();
        anchor_ = TGridCoord{s.Left, s.Top};
        Col.SetQuiet(s.Right);
        Row.SetQuiet(s.Bottom);
        UpdateSelection(false);
        NotifyPeer(TPropId::Row);
        NotifyPeer(TPropId::Col);
        return false;
    }
    case TPropId::TopRow:
        TopRow.Pending() = std::clamp(TopRow.Pending(), std::min(FixedRows.Get(), RowCount - 1),
                                      std::max(FixedRows.Get(), MaxTopRow()));
        break;
    case TPropId::LeftCol:
        LeftCol.Pending() = std::clamp(LeftCol.Pending(), std::min(FixedCols.Get(), ColCount - 1),
                                       std::max(FixedCols.Get(), MaxLeftCol()));
        break;
    case TPropId::ColCount: ColCount.Pending() = std::max(1, ColCount.Pending()); break;
    case TPropId::RowCount: RowCount.Pending() = std::max(1, RowCount.Pending()); break;
    case TPropId::FixedCols:
        if (FixedCols.Pending() < 0 || FixedCols.Pending() >= ColCount)
            throw EInvalidOperation("Le colonne fisse devono essere meno delle colonne");
        break;
    case TPropId::FixedRows:
        if (FixedRows.Pending() < 0 || FixedRows.Pending() >= RowCount)
            throw EInvalidOperation("Le righe fisse devono essere meno delle righe");
        break;
    case TPropId::GridLineWidth: GridLineWidth.Pending() = std::max(0, GridLineWidth.Pending()); break;
    case TPropId::EditorMode:
        if (EditorMode.Pending()) {
            ShowEditor();
        } else {
            HideEditor();
        }
        return false;
    default: break;
    }
    return TCustomControl::PropertyChanging(id);
}

void TCustomGrid::DoPropertyChanged(TPropId id) {
    switch (id) {
    case TPropId::ColCount:
    case TPropId::RowCount: {
        int oldCols = static_cast<int>(colWidths_.size()), oldRows = static_cast<int>(rowHeights_.size());
        colWidths_.resize(ColCount.Get(), DefaultColWidth);
        rowHeights_.resize(RowCount.Get(), DefaultRowHeight);
        if (FixedCols >= ColCount) FixedCols.SetQuiet(ColCount - 1);
        if (FixedRows >= RowCount) FixedRows.SetQuiet(RowCount - 1);
        SizeChanged(oldCols, oldRows);
        if (editCol_ >= ColCount || editRow_ >= RowCount) HideEditor();
        int col = std::clamp(Col.Get(), 0, ColCount - 1), row = std::clamp(Row.Get(), 0, RowCount - 1);
        anchor_ = TGridCoord{std::min(anchor_.X, ColCount - 1), std::min(anchor_.Y, RowCount - 1)};
        Col.SetQuiet(col);
        Row.SetQuiet(row);
        UpdateSelection(false);
        TopRow.SetQuiet(std::clamp(TopRow.Get(), std::min(FixedRows.Get(), RowCount - 1),
                                   std::max(FixedRows.Get(), MaxTopRow())));
        LeftCol.SetQuiet(std::clamp(LeftCol.Get(), std::min(FixedCols.Get(), ColCount - 1),
                                    std::max(FixedCols.Get(), MaxLeftCol())));
        ContentResized();
        Invalidate();
        return;
    }
    case TPropId::FixedCols:
    case TPropId::FixedRows:
        // New fixed counts start the grid over at its first scrolled cell.
        HideEditor();
        TopRow.SetQuiet(FixedRows);
        LeftCol.SetQuiet(FixedCols);
        Col.SetQuiet(FixedCols);
        Row.SetQuiet(FixedRows);
        anchor_ = TGridCoord{FixedCols, FixedRows};
        UpdateSelection(true);
        NotifyPeer(TPropId::Row);
        NotifyPeer(TPropId::Col);
        NotifyPeer(TPropId::TopRow);
        Invalidate();
        return;
    case TPropId::DefaultColWidth:
    case TPropId::DefaultRowHeight:
        if (id == TPropId::DefaultColWidth)
            std::fill(colWidths_.begin(), colWidths_.end(), DefaultColWidth.Get());
        else
            std::fill(rowHeights_.begin(), rowHeights_.end(), DefaultRowHeight.Get());
        ContentResized();
        // Smaller cells show more of them: the first shown stays within
        // what the last ones leave, as when one cell's size changes.
        TopRow.SetQuiet(std::clamp(TopRow.Get(), std::min(FixedRows.Get(), RowCount - 1),
                                   std::max(FixedRows.Get(), MaxTopRow())));
        LeftCol.SetQuiet(std::clamp(LeftCol.Get(), std::min(FixedCols.Get(), ColCount - 1),
                                    std::max(FixedCols.Get(), MaxLeftCol())));
        PlaceEditor();
        Invalidate();
        return;
    case TPropId::TopRow:
    case TPropId::LeftCol: TopLeftChanged(); return;
    case TPropId::Options:
        if (!Options->Contains(goEditing))
            HideEditor();
        else if (Options->Contains(goAlwaysShowEditor))
            ShowEditor();
        Invalidate();
        return;
    case TPropId::ScrollBars:
    case TPropId::BorderStyle:
        SyncClientSize();
        Canvas->SyncSize();
        return;
    case TPropId::GridLineWidth:
        ContentResized();
        PlaceEditor();
        Invalidate();
        return;
    case TPropId::FixedColor:
        PlaceEditor();
        Invalidate();
        return;
    default: TCustomControl::DoPropertyChanged(id);
    }
}

// ---------------------------------------------------------------- current cell and selection

bool TCustomGrid::SelectCell(int col, int row) {
    bool can = true;
    if (OnSelectCell && !destroying_) OnSelectCell(this, col, row, can);
    return can;
}

void TCustomGrid::UpdateSelection(bool moveAnchor) {
    if (moveAnchor) anchor_ = TGridCoord{Col, Row};
    TGridRect s{std::min(anchor_.X, Col.Get()), std::min(anchor_.Y, Row.Get()),
                std::max(anchor_.X, Col.Get()), std::max(anchor_.Y, Row.Get())};
    if (Options->Contains(goRowSelect)) {
        s.Left = FixedCols;
        s.Right = ColCount - 1;
    }
    if (!(s == Selection.Get())) {
        Selection.SetQuiet(s);
        NotifyPeer(TPropId::Selection);
    }
    Invalidate();
}

void TCustomGrid::MoveCurrent(int col, int row, bool moveAnchor, bool show) {
    if (col < 0 || row < 0 || col >= ColCount || row >= RowCount) OutOfRange();
    if (moving_) return;
    moving_ = true;
    struct Restore {
        bool& f;
        ~Restore() { f = false; }
    } restore{moving_};
    bool cellChanges = col != Col || row != Row;
    if (cellChanges && !CommitEditedCell()) return;
    if (cellChanges && !SelectCell(col, row)) return;
    if (cellChanges && editor_ && editor_->Visible) HideEditor();
    Col.SetQuiet(col);
    Row.SetQuiet(row);
    if (cellChanges) {
        NotifyPeer(TPropId::Row);
        NotifyPeer(TPropId::Col);
    }
    UpdateSelection(moveAnchor || !Options->Contains(goRangeSelect));
    if (show) ClampInView();
    if (Options->Contains(goEditing) && Options->Contains(goAlwaysShowEditor)) ShowEditor();
}

void TCustomGrid::ClampInView() {
    int oldTop = TopRow, oldLeft = LeftCol;
    if (Row >= FixedRows) {
        if (Row < TopRow) {
            TopRow.SetQuiet(Row);
        } else {
            // Scroll down just enough for the row to be wholly in view.
            while (TopRow < Row && RowTop(Row) + rowHeights_[Row] > ClientHeight) TopRow.SetQuiet(TopRow + 1);
        }
    }
    if (Col >= FixedCols) {
        if (Col < LeftCol) {
            LeftCol.SetQuiet(Col);
        } else {
            while (LeftCol < Col && ColLeft(Col) + colWidths_[Col] > ClientWidth)
                LeftCol.SetQuiet(LeftCol + 1);
        }
    }
    if (TopRow != oldTop || LeftCol != oldLeft) {
        NotifyPeer(TPropId::TopRow);
        TopLeftChanged();
    }
}

void TCustomGrid::TopLeftChanged() {
    PlaceEditor();
    Invalidate();
    if (OnTopLeftChanged && !destroying_) OnTopLeftChanged(this);
}

void TCustomGrid::RefreshEditorText(const AnsiString& value) {
    if (!editor_ || !editor_->Visible) return;
    // What the program writes is the value before the person's next edit.
    editStart_ = value;
    if (editor_->Text == value) return;
    editor_->loading_ = true;
    editor_->Text = value;
    editor_->loading_ = false;
}

// ---------------------------------------------------------------- editing

bool TCustomGrid::CanEditShow() const {
    return Options->Contains(goEditing) && !Options->Contains(goRowSelect) && Col >= FixedCols &&
           Row >= FixedRows;
}

AnsiString TCustomGrid::GetEditText(int col, int row) {
    AnsiString value;
    if (OnGetEditText) OnGetEditText(this, col, row, value);
    return value;
}

void TCustomGrid::SetEditText(int col, int row, const AnsiString& value) {
    if (OnSetEditText && !destroying_) OnSetEditText(this, col, row, value);
}

void TCustomGrid::PlaceEditor() {
    if (!editor_ || editCol_ < 0) return;
    TRect r = CellRect(editCol_, editRow_);
    if (r.IsEmpty())
        editor_->SetBounds(-r.Width() - 100, 0, editor_->Width, editor_->Height);
    else
        editor_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TCustomGrid::ShowEditor() {
    if (!CanEditShow() || destroying_) return;
    if (!editor_) {
        editor_ = new TInplaceEdit(this);
        editor_->Parent = this;
        editor_->Font->Assign(*Font);
    }
    // Shown again on the cell it edits, the editor keeps what Esc goes back to.
    const bool sameCell = editor_->Visible && editCol_ == Col && editRow_ == Row;
    editCol_ = Col;
    editRow_ = Row;
    editor_->loading_ = true;
    editor_->Text = GetEditText(editCol_, editRow_);
    editor_->loading_ = false;
    if (!sameCell) editStart_ = editor_->Text;
    editor_->SelectAll();
    PlaceEditor();
    editor_->Visible = true;
    if (!EditorMode) {
        EditorMode.SetQuiet(true);
        NotifyPeer(TPropId::EditorMode);
    }
    if (Focused() && editor_->CanFocus()) editor_->SetFocus();
}

bool TCustomGrid::EditChanged() const {
    return editor_ && editor_->Visible && editCol_ >= 0 && editor_->Text != editStart_;
}

bool TCustomGrid::CancelEdit() {
    if (!EditChanged()) return false;
    const AnsiString before = editStart_;
    editor_->loading_ = true;
    editor_->Text = before;
    editor_->loading_ = false;
    SetEditText(editCol_, editRow_, before);
    editor_->SelectAll();
    return true;
}

void TCustomGrid::HideEditor() {
    if (editor_ && editor_->Visible) {
        // The focus stays in the grid, on the window too: the next key moves in it.
        if (editor_->Focused())
            if (TCustomForm* form = GetParentForm(this)) {
                form->SetFocusedControl(this);
                if (Peer()) Peer()->SetFocus();
            }
        editor_->Visible = false;
        // The cell shows its text again, the committed one.
        if (editCol_ >= 0) InvalidateCell(editCol_, editRow_);
    }
    editCol_ = editRow_ = -1;
    if (EditorMode) {
        EditorMode.SetQuiet(false);
        NotifyPeer(TPropId::EditorMode);
    }
}

// ---------------------------------------------------------------- what the cells hold

void TCustomGrid::ColumnHolds(int col, const TNumberRule& rule) {
    CellsHold(TGridRect{col, 0, col, std::numeric_limits<int>::max()}, rule);
}

void TCustomGrid::CellsHold(const TGridRect& cells, const TNumberRule& rule) {
    std::erase_if(cellRules_, [&](const TCellRule& r) { return r.Cells == cells; });
    cellRules_.push_back(TCellRule{cells, rule});
}

TNumberRule TCustomGrid::CellRule(int col, int row) const {
    for (auto it = cellRules_.rbegin(); it != cellRules_.rend(); ++it)
        if (col >= it->Cells.Left && col <= it->Cells.Right && row >= it->Cells.Top && row <= it->Cells.Bottom)
            return it->Rule;
    return TNumberRule();
}

AnsiString TCustomGrid::PlaceName(int col, int row) const {
    AnsiString column = FixedRows > 0 ? Trim(CellCaption(col, 0)) : AnsiString();
    if (column.empty()) column = "colonna " + IntToStr(col - FixedCols + 1);
    AnsiString line = FixedCols > 0 && col != 0 ? Trim(CellCaption(0, row)) : AnsiString();
    int number = 0;
    if (line.empty() || TryStrToInt(line, number)) line = "riga " + IntToStr(row - FixedRows + 1);
    return column + ", " + line;
}

AnsiString TCustomGrid::CellRefusal(int col, int row, const AnsiString& text) {
    return CellRule(col, row).Refusal(PlaceName(col, row), text);
}

bool TCustomGrid::CommitEditedCell() {
    if (committing_ || destroying_ || !EditChanged() || !Showing()) return true;
    const AnsiString refusal = CellRefusal(editCol_, editRow_, editor_->Text);
    if (refusal.empty()) return true;
    committing_ = true;
    struct Restore {
        bool& f;
        ~Restore() { f = false; }
    } restore{committing_};
    TCustomForm* form = GetParentForm(this);
    TWinControl* going = form ? form->FocusedControl() : nullptr;
    CancelEdit();
    ShowRefusal(refusal);
    const bool here = going == this || going == editor_;
    if (!here && CanFocus()) {
        SetFocus();
        if (editor_ && editor_->Visible && editor_->CanFocus()) editor_->SetFocus();
        if (form) form->PlaceRefused(going);
    }
    return false;
}

// ---------------------------------------------------------------- input

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (CanFocus() && !Focused() && !(editor_ && editor_->Focused())) UserFocus();
    int c, r;
    MouseToCell(x, y, c, r);
    if (button == mbLeft && c >= FixedCols && r >= FixedRows) {
        bool onCurrent = c == Col && r == Row;
        if (shift.Contains(ssDouble) && onCurrent && Options->Contains(goEditing)) {
            ShowEditor();
        } else if (!(onCurrent && EditorMode)) {
            bool extend = shift.Contains(ssShift) && Options->Contains(goRangeSelect);
            MoveCurrent(c, r, !extend, true);
            selecting_ = true;
        }
    }
    TControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y) {
    if (selecting_ && shift.Contains(ssLeft) && Options->Contains(goRangeSelect)) {
        int c, r;
        MouseToCell(x, y, c, r);
        if (c >= FixedCols && r >= FixedRows && (c != Col || r != Row)) MoveCurrent(c, r, false, true);
    }
    TControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (selecting_ && button == mbLeft) {
        selecting_ = false;
        Click();
    }
    TControl::MouseUp(button, shift, x, y);
}

void TCustomGrid::DblClick() { TCustomControl::DblClick(); }

void TCustomGrid::DoEnter() {
    InvalidateCell(Col, Row);
    TCustomControl::DoEnter();
}

void TCustomGrid::DoExit() {
    const TCustomForm* form = GetParentForm(this);
    if (!(form && form->LeavingToCancel()) && !CommitEditedCell()) return;
    InvalidateCell(Col, Row);
    TCustomControl::DoExit();
}

bool TCustomGrid::WantsKey(WORD key) const {
    return (key == VK_TAB && Options->Contains(goTabs)) || (key == VK_RETURN && Options->Contains(goEditing));
}

void TCustomGrid::KeyDown(WORD& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if (key == 0) return;
    bool extend = shift.Contains(ssShift) && Options->Contains(goRangeSelect);
    int c = Col, r = Row;
    int page = std::max(1, VisibleRowCount());
    switch (key) {
    case VK_UP: r = std::max(FixedRows.Get(), r - 1); break;
    case VK_DOWN: r = std::min(RowCount - 1, r + 1); break;
    case VK_LEFT: c = std::max(FixedCols.Get(), c - 1); break;
    case VK_RIGHT: c = std::min(ColCount - 1, c + 1); break;
    case VK_PRIOR: r = std::max(FixedRows.Get(), r - page); break;
    case VK_NEXT: r = std::min(RowCount - 1, r + page); break;
    case VK_HOME: c = FixedCols; break;
    case VK_END: c = ColCount - 1; break;
    case VK_TAB:
        if (!Options->Contains(goTabs)) return;
        extend = false;
        if (!shift.Contains(ssShift)) {
            if (c < ColCount - 1)
                ++c;
            else if (r < RowCount - 1) {
                c = FixedCols;
                ++r;
            }
        } else {
            if (c > FixedCols)
                --c;
            else if (r > FixedRows) {
                c = ColCount - 1;
                --r;
            }
        }
        break;
    case VK_F2:
        ShowEditor();
        key = 0;
        return;
    case VK_RETURN:
        // Invio takes the cell's text and stays in the grid: it is never
        // the form's default button here.
        if (!Options->Contains(goEditing)) return;
        key = 0;
        if (!CommitEditedCell()) return;
        if (EditorMode && !Options->Contains(goAlwaysShowEditor))
            HideEditor();
        else
            ShowEditor();
        key = 0;
        return;
    case VK_ESCAPE: {
        // Esc takes back only the edit of this cell: the text it had when
        // the editor opened on it comes back. An editor that is always
        // shown stays; with nothing to take back the key is the form's.
        const bool undone = CancelEdit();
        if (EditorMode && !Options->Contains(goAlwaysShowEditor)) {
            HideEditor();
            key = 0;
        } else if (undone) {
            key = 0;
        }
        return;
    }
    default: return;
    }
    if (c != Col || r != Row) MoveCurrent(c, r, !extend, true);
    key = 0;
}

void TCustomGrid::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    if (key == 0) return;
    const bool typed = static_cast<unsigned char>(key) >= 32 && key != 127;
    if (EditorMode) {
        // The grid itself holds the keyboard while its editor shows (a list
        // laid over the cell gave the keyboard back to the grid): the key
        // goes to the editor the person sees, never nowhere.
        if (typed && editor_ && editor_->Visible && !editor_->Focused()) {
            if (editor_->CanFocus()) editor_->SetFocus();
            editor_->SelectAll();
            editor_->InsertTypedText(AnsiString(1, key));
            key = 0;
        }
        return;
    }
    if (Options->Contains(goEditing) && typed) {
        ShowEditor();
        if (editor_ && editor_->Visible) {
            editor_->SelectAll();
            editor_->InsertTypedText(AnsiString(1, key));
        }
        key = 0;
    }
}

bool TCustomGrid::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
    if (TCustomControl::DoMouseWheelDown(shift, mousePos)) return true;
    if (Row < RowCount - 1) Row = Row + 1;
    return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
    if (TCustomControl::DoMouseWheelUp(shift, mousePos)) return true;
    if (Row > FixedRows) Row = Row - 1;
    return true;
}

// ---------------------------------------------------------------- painting

void TCustomGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    if (OnDrawCell && !destroying_) OnDrawCell(this, col, row, rect, state);
}

void TCustomGrid::Paint() {
    TCanvas* c = Canvas;
    TRect client = ClientRect();
    int lw = GridLineWidth;
    bool focused = Focused() || (editor_ && editor_->Focused());
    TGridRect sel = Selection;
    c->Brush->Style = bsSolid;
    c->Brush->Color = Color;
    c->FillRect(client);
    std::vector<int> cols, rows;
    for (int i = 0; i < FixedCols && i < ColCount; ++i) cols.push_back(i);
    for (int i = LeftCol; i < ColCount && ColLeft(i) < client.Right; ++i) cols.push_back(i);
    for (int i = 0; i < FixedRows && i < RowCount; ++i) rows.push_back(i);
    for (int i = TopRow; i < RowCount && RowTop(i) < client.Bottom; ++i) rows.push_back(i);
    int right = 0, bottom = 0;
    for (int r : rows) {
        for (int col : cols) {
            TRect where(ColLeft(col), RowTop(r), ColLeft(col) + colWidths_[col], RowTop(r) + rowHeights_[r]);
            right = std::max(right, where.Right + lw);
            bottom = std::max(bottom, where.Bottom + lw);
            TGridDrawState state;
            bool fixed = col < FixedCols || r < FixedRows;
            if (fixed) state << gdFixed;
            if (!fixed) {
                if (focused && col == Col && r == Row) state << gdFocused;
                if (col >= sel.Left && col <= sel.Right && r >= sel.Top && r <= sel.Bottom)
                    state << gdSelected;
            }
            bool editing = state.Contains(gdFocused) && EditorMode && Options->Contains(goEditing);
            if (editing) continue;
            if (DefaultDrawing) {
                c->Font->Assign(*Font);
                c->Brush->Style = bsSolid;
                if (state.Contains(gdSelected) &&
                    (!state.Contains(gdFocused) || Options->Contains(goDrawFocusSelected) ||
                     Options->Contains(goRowSelect))) {
                    c->Brush->Color = clHighlight;
                    c->Font->Color = clHighlightText;
                } else {
                    c->Brush->Color = fixed ? FixedColor.Get() : Color.Get();
                }
                c->FillRect(where);
            }
            DrawCell(col, r, where, state);
            // The cell that has the focus, not drawn as selected, shows the
            // system's dotted focus mark.
            if (DefaultDrawing && state.Contains(gdFocused) && !Options->Contains(goDrawFocusSelected) &&
                !Options->Contains(goRowSelect))
                c->DrawFocusRect(TRect(where.Left + 1, where.Top + 1, where.Right - 1, where.Bottom - 1));
        }
    }
    if (lw > 0) {
        // Grid lines: black between fixed cells, silver between the others.
        for (int col : cols) {
            int x = ColLeft(col) + colWidths_[col];
            bool fixed = col < FixedCols;
            if (!(fixed ? Options->Contains(goFixedVertLine) : Options->Contains(goVertLine))) continue;
            c->Brush->Color = fixed ? clBlack : clSilver;
            c->FillRect(TRect(x, 0, x + lw, bottom));
        }
        for (int r : rows) {
            int y = RowTop(r) + rowHeights_[r];
            bool fixed = r < FixedRows;
            if (!(fixed ? Options->Contains(goFixedHorzLine) : Options->Contains(goHorzLine))) continue;
            c->Brush->Color = fixed ? clBlack : clSilver;
            c->FillRect(TRect(0, y, right, y + lw));
        }
    }
}

// ---------------------------------------------------------------- string grids

TStringGrid::TStringGrid(TComponent* owner) : TDrawGrid(owner) { SizeChanged(0, 0); }

TStringGrid::Entry* TStringGrid::At(int col, int row) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return nullptr;
    return &cells_[static_cast<size_t>(row) * cols_ + col];
}

const TStringGrid::Entry* TStringGrid::At(int col, int row) const {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return nullptr;
    return &cells_[static_cast<size_t>(row) * cols_ + col];
}

void TStringGrid::SizeChanged(int, int) {
    int cols = ColCount, rows = RowCount;
    std::vector<Entry> fresh(static_cast<size_t>(cols) * rows);
    for (int r = 0; r < std::min(rows, rows_); ++r)
        for (int c = 0; c < std::min(cols, cols_); ++c)
            fresh[static_cast<size_t>(r) * cols + c] = std::move(cells_[static_cast<size_t>(r) * cols_ + c]);
    cells_.swap(fresh);
    cols_ = cols;
    rows_ = rows;
}

const AnsiString& TStringGrid::Cell(int col, int row) const {
    static const AnsiString empty;
    const Entry* e = At(col, row);
    return e ? e->text : empty;
}

void TStringGrid::SetCell(int col, int row, const AnsiString& value) {
    Entry* e = At(col, row);
    if (!e) OutOfRange();
    if (e->text == value) return;
    e->text = value;
    NotifyPeer(TPropId::Cells, row * cols_ + col);
    InvalidateCell(col, row);
    // The program changed the cell being edited: the editor shows it.
    if (col == Col && row == Row) RefreshEditorText(value);
}

TObject* TStringGrid::CellObject(int col, int row) const {
    const Entry* e = At(col, row);
    return e ? e->object : nullptr;
}

void TStringGrid::SetCellObject(int col, int row, TObject* object) {
    Entry* e = At(col, row);
    if (!e) OutOfRange();
    e->object = object;
}

void TStringGrid::GetRow(int row, TStringList& list) const {
    list.Clear();
    for (int c = 0; c < cols_; ++c) list.AddObject(Cell(c, row), CellObject(c, row));
}

void TStringGrid::SetRow(int row, const TStringList& list) {
    for (int c = 0; c < cols_; ++c) {
        SetCell(c, row, c < list.Count() ? list[c] : AnsiString());
        SetCellObject(c, row, c < list.Count() ? list.Objects(c) : nullptr);
    }
}

void TStringGrid::GetCol(int col, TStringList& list) const {
    list.Clear();
    for (int r = 0; r < rows_; ++r) list.AddObject(Cell(col, r), CellObject(col, r));
}

void TStringGrid::SetCol(int col, const TStringList& list) {
    for (int r = 0; r < rows_; ++r) {
        SetCell(col, r, r < list.Count() ? list[r] : AnsiString());
        SetCellObject(col, r, r < list.Count() ? list.Objects(r) : nullptr);
    }
}

void TStringGrid::ClearRow(int row) {
    for (int c = 0; c < cols_; ++c) {
        SetCell(c, row, "");
        SetCellObject(c, row, nullptr);
    }
}

AnsiString TStringGrid::GetEditText(int col, int row) {
    AnsiString value = Cell(col, row);
    if (OnGetEditText) OnGetEditText(this, col, row, value);
    return value;
}

void TStringGrid::SetEditText(int col, int row, const AnsiString& value) {
    if (Entry* e = At(col, row); e && e->text != value) {
        e->text = value;
        NotifyPeer(TPropId::Cells, row * cols_ + col);
        InvalidateCell(col, row);
    }
    TDrawGrid::SetEditText(col, row, value);
}

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    if (DefaultDrawing) Canvas->TextRect(rect, rect.Left + 2, rect.Top + 2, Cell(col, row));
    TDrawGrid::DrawCell(col, row, rect, state);
}
