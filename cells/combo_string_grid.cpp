#include "cells/combo_string_grid.h"


TComboStringGrid::TComboStringGrid(TComponent* owner, TWinControl* parent)
    : TStringGrid(owner), Combo(new TComboBox(this)), FocusCatcher(new TCheckBox(this)) {
    Parent = parent;
    DefaultRowHeight = 18;
    TGridOptions options = Options;
    options << goEditing << goTabs << goAlwaysShowEditor;
    options >> goDrawFocusSelected;
    Options = options;

    Combo->Visible = false;
    Combo->Parent = parent;
    Combo->OnExit = Handler(this, &TComboStringGrid::ComboExit);
    Combo->OnEnter = [](TObject*) {};
    Combo->OnKeyDown = Handler(this, &TComboStringGrid::ComboKeyDown);
    FocusCatcher->Visible = false;
    FocusCatcher->Parent = this;
    FocusCatcher->SetBounds(-20, -20, 13, 13);
    FocusCatcher->TabStop = true;
    FocusCatcher->OnEnter = Handler(this, &TComboStringGrid::CatcherEnter);
    OnTopLeftChanged = Handler(this, &TComboStringGrid::GridTopLeftChanged);
    OnEnter = [](TObject*) {};
    // Tab in the list goes to the focus catcher, which hands back to the grid.
    TabStop = true;
    Combo->TabStop = true;
    Combo->TabOrder = TabOrder;
}

void TComboStringGrid::PlaceCombo() {
    const TRect cell = CellRect(EditCol, EditRow);
    Combo->SetBounds(cell.Left + Left + 1, cell.Top + Top + 1, ColWidths[EditCol] + 3, Combo->Height);
}

void TComboStringGrid::ShowComboAt(int col, int row) {
    EditCol = col;
    EditRow = row;
    rowBefore_.clear();
    for (int c = 0; c < ColCount; ++c) rowBefore_.push_back(Cell(c, row));
    comboStart_ = Cell(col, row);
    PlaceCombo();
    Combo->Text = comboStart_;
    Combo->Visible = true;
    FocusCatcher->Visible = true;
    Combo->SetFocus();
}

void TComboStringGrid::RestoreRow() {
    if (EditRow < 0 || EditRow >= RowCount) return;
    for (int c = 0; c < ColCount && c < static_cast<int>(rowBefore_.size()); ++c)
        SetCell(c, EditRow, rowBefore_[static_cast<size_t>(c)]);
}

AnsiString TComboStringGrid::CellRefusal(int col, int row, const AnsiString& text) {
    if (OnCheckText)
        if (AnsiString refusal = OnCheckText(col, row, text); !refusal.empty()) return refusal;
    return TStringGrid::CellRefusal(col, row, text);
}

bool TComboStringGrid::CommitCombo() {
    // A list already closed (by Esc, or hidden with its form) has nothing to
    // give; what was typed in the grid's own editor is checked instead.
    if (!Combo->Visible) return CommitEditedCell();
    const AnsiString text = Combo->Text;
    Combo->Visible = false;
    if (EditCol >= ColCount || EditRow >= RowCount) return true;
    if (text != comboStart_) {
        const AnsiString refusal = CellRefusal(EditCol, EditRow, text);
        if (!refusal.empty()) {
            RestoreRow();
            ShowRefusal(refusal);
            return false;
        }
    }
    // Whatever the list shows is the cell's text, typed or chosen.
    SetCell(EditCol, EditRow, text);
    return true;
}

void TComboStringGrid::CancelCombo() {
    if (!Combo->Visible) return;
    Combo->Text = comboStart_;
    Combo->Visible = false;
    RestoreRow();
}

void TComboStringGrid::FormHidden() {
    // A list left open when the form closed was never confirmed.
    CancelCombo();
    FocusCatcher->Visible = false;
    TStringGrid::FormHidden();
}

void TComboStringGrid::ComboExit(TObject*) { CommitCombo(); }

void TComboStringGrid::ComboKeyDown(TObject*, WORD& key, TShiftState shift) {
    // Esc takes back this cell's edit only, and the keyboard goes back to
    // the grid: the form and its other edits stay.
    if (key == VK_ESCAPE && Combo->Visible) {
        key = 0;
        CancelCombo();
        SetFocus();
        return;
    }
    // Invio commits the list's text to its cell and gives the keyboard back
    // to the grid, on the same cell: it is the table's key, never the
    // form's default button.
    if (key == VK_RETURN && Combo->Visible) {
        key = 0;
        SetFocus();
        return;
    }
    // Tab leaves the list for the focus catcher, wherever the tab order of
    // the parents would lead.
    if (key != VK_TAB || shift.Contains(ssShift) || !FocusCatcher->Visible) return;
    key = 0;
    FocusCatcher->SetFocus();
}

void TComboStringGrid::GridTopLeftChanged(TObject*) {
    if (Combo->Visible) PlaceCombo();
}

void TComboStringGrid::CatcherEnter(TObject*) {
    if (!FocusCatcher->Visible) return;
    if (EditCol < ColCount - 1) ++EditCol;
    Selection = TGridRect{EditCol, EditRow, EditCol, EditRow};
    if (!Combo->Visible) {
        EditorMode = true;
        SetFocus();
        FocusCatcher->Visible = false;
    }
}
