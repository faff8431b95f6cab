#pragma once
// TComboStringGrid: a string grid whose cells can be edited through a
// drop-down list laid exactly over the selected cell. The owner decides, per
// cell, which items the list offers and when it is shown; the grid places the
// list, writes the chosen (or typed) text into the cell, and hands the
// keyboard back when the person tabs out of the list.
#include "platform/grids.h"

class TComboStringGrid : public TStringGrid {
public:
    // The list is made on parent, beside the grid; the focus catcher inside the grid.
    TComboStringGrid(TComponent* owner, TWinControl* parent);

    // Lays the list over the cell with the cell's text and gives it the focus.
    // The owner fills the list's items first.
    void ShowComboAt(int col, int row);

    TComboBox* const Combo;
    // Takes the focus when the person tabs out of the list, and moves the
    // selection one column on.
    TCheckBox* const FocusCatcher;
    int EditRow = 0;
    int EditCol = 0;
    // The cell's text when it was selected; the owner keeps it.
    AnsiString TextBeforeEdit;

    // The grid takes the focus as a press begins (TCustomGrid::MouseDown);
    // a list the press opened keeps it to the end of the press.
    bool TakesFocusOnClick() const override { return false; }

private:
    void PlaceCombo();
    void ComboExit(TObject* sender);
    void ComboKeyDown(TObject* sender, WORD& key, TShiftState shift);
    void GridTopLeftChanged(TObject* sender);
    void CatcherEnter(TObject* sender);
};
