#pragma once
// TComboStringGrid: a string grid whose cells can be edited through a
// drop-down list laid exactly over the selected cell. The owner decides, per
// cell, which items the list offers and when it is shown; the grid places the
// list, writes the chosen (or typed) text into the cell, and hands the
// keyboard back when the person tabs out of the list. A text the owner's
// check refuses is never kept: the row goes back to what it held when the
// list opened, and the person is told why; Esc in the list takes the edit
// back without a word.
#include <functional>
#include <vector>

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
    // Asked when the list's text, or a text typed in the grid's own editor,
    // is about to become the cell's, and only when it differs from the
    // cell's text when editing began: an empty answer accepts the text, any
    // other is the message that refuses it.
    std::function<AnsiString(int col, int row, const AnsiString& text)> OnCheckText;

    // Writes the open list's text into its cell as leaving the list does;
    // false when the text was refused (the row is back as it was). With no
    // list open, a text typed in the grid's own editor over the current cell
    // is checked the same way; true when there is nothing to refuse.
    bool CommitCombo();
    // Closes the open list and puts its row back as it was when the list
    // opened.
    void CancelCombo();
    void FormHidden() override;

    // The grid takes the focus as a press begins (TCustomGrid::MouseDown);
    // a list the press opened keeps it to the end of the press.
    bool TakesFocusOnClick() const override { return false; }

    // A text typed through the grid's own editor (shown on every cell,
    // also under the list) is asked of OnCheckText as the list's is, then of
    // the cell's declared rule; leaving the cell, Invio and the form's OK
    // check it (TCustomGrid::CommitEditedCell).
    AnsiString CellRefusal(int col, int row, const AnsiString& text) override;
    // The open list's text, else the grid's editor's, is checked.
    bool CommitPlace() override { return CommitCombo(); }

private:
    void PlaceCombo();
    void ComboExit(TObject* sender);
    void ComboKeyDown(TObject* sender, WORD& key, TShiftState shift);
    void GridTopLeftChanged(TObject* sender);
    void CatcherEnter(TObject* sender);
    void RestoreRow();
    // The edited row's texts when the list opened: the list's changes may
    // have written into the row's other cells too.
    std::vector<AnsiString> rowBefore_;
    // The edited cell's text when the list opened.
    AnsiString comboStart_;
};
