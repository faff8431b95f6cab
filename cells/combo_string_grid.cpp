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
    PlaceCombo();
    Combo->Text = Cells[col][row];
    Combo->Visible = true;
    FocusCatcher->Visible = true;
    Combo->SetFocus();
}

void TComboStringGrid::ComboExit(TObject*) {
    // Whatever the list shows is the cell's text, typed or chosen.
    if (EditCol < ColCount && EditRow < RowCount) Cells[EditCol][EditRow] = Combo->Text.Get();
    Combo->Visible = false;
}

void TComboStringGrid::ComboKeyDown(TObject*, WORD& key, TShiftState shift) {
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
