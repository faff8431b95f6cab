// The string grid with a drop-down list over the selected cell.
#include "cells/combo_string_grid.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/application.h"
#include "platform/forms.h"

namespace {

class ComboStringGridTest : public ::testing::Test {
protected:
    ComboStringGridTest() {
        form->SetBounds(0, 0, 600, 400);
        panel = new TPanel(form.get());
        panel->Parent = form.get();
        panel->SetBounds(10, 20, 560, 300);
        other = new TEdit(form.get());
        other->Parent = form.get();
        other->SetBounds(10, 340, 100, 21);
        other->TabStop = true;
        grid = new TComboStringGrid(form.get(), panel);
        grid->SetBounds(30, 40, 300, 200);
        grid->ColCount = 4;
        grid->RowCount = 30;
        grid->FixedCols = 0;
        grid->FixedRows = 1;
        for (int c = 0; c < 4; ++c) grid->ColWidths[c] = 60 + 10 * c;
        grid->Cells[1][2] = "21";
        form->Show();
    }
    ~ComboStringGridTest() override { form->Hide(); }

    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TPanel* panel = nullptr;
    TEdit* other = nullptr;
    TComboStringGrid* grid = nullptr;

    void ExpectComboOver(int col, int row) {
        const TRect cell = grid->CellRect(col, row);
        EXPECT_EQ(grid->Combo->Left.Get(), cell.Left + grid->Left + 1);
        EXPECT_EQ(grid->Combo->Top.Get(), cell.Top + grid->Top + 1);
        EXPECT_EQ(grid->Combo->Width.Get(), grid->ColWidths[col] + 3);
    }
};

TEST_F(ComboStringGridTest, TheGridEditsInPlaceWithShortRows) {
    EXPECT_EQ(grid->DefaultRowHeight.Get(), 18);
    const TGridOptions options = grid->Options;
    EXPECT_TRUE(options.Contains(goEditing));
    EXPECT_TRUE(options.Contains(goTabs));
    EXPECT_TRUE(options.Contains(goAlwaysShowEditor));
    EXPECT_FALSE(options.Contains(goDrawFocusSelected));
    EXPECT_FALSE(grid->Combo->Visible);
    EXPECT_FALSE(grid->FocusCatcher->Visible);
    EXPECT_EQ(grid->Combo->Parent.Get(), panel);
    EXPECT_EQ(grid->FocusCatcher->Parent.Get(), grid);
    EXPECT_EQ(grid->FocusCatcher->Left.Get(), -20);
    EXPECT_EQ(grid->FocusCatcher->Top.Get(), -20);
}

TEST_F(ComboStringGridTest, TheListLiesOverItsCellWithTheCellsText) {
    grid->Combo->Items->Add("21");
    grid->Combo->Items->Add("22");
    grid->ShowComboAt(1, 2);
    ExpectComboOver(1, 2);
    EXPECT_EQ(grid->Combo->Text.Get(), "21");
    EXPECT_TRUE(grid->Combo->Visible);
    EXPECT_TRUE(grid->FocusCatcher->Visible);
    EXPECT_EQ(grid->EditCol, 1);
    EXPECT_EQ(grid->EditRow, 2);
    EXPECT_TRUE(grid->Combo->Focused());
}

TEST_F(ComboStringGridTest, ScrollingKeepsTheListOverItsCell) {
    grid->ShowComboAt(2, 6);
    const int before = grid->Combo->Top;
    grid->TopRow = 3;
    ExpectComboOver(2, 6);
    EXPECT_EQ(grid->Combo->Top.Get(), before - 2 * 18 - 2 * grid->GridLineWidth);
}

TEST_F(ComboStringGridTest, LeavingTheListCommitsWhatItShowsEvenATypedText) {
    grid->Combo->Items->Add("21");
    grid->ShowComboAt(1, 2);
    grid->Combo->Text = "K 57";
    other->SetFocus();
    EXPECT_EQ(grid->Cells[1][2], "K 57");
    EXPECT_FALSE(grid->Combo->Visible);
}

TEST_F(ComboStringGridTest, TabbingOutOfTheListMovesOneColumnOnAndBackToTheGrid) {
    grid->ShowComboAt(1, 2);
    grid->Combo->Text = "22";
    form->SendKey(VK_TAB);
    EXPECT_EQ(grid->Cells[1][2], "22");
    EXPECT_FALSE(grid->Combo->Visible);
    EXPECT_FALSE(grid->FocusCatcher->Visible);
    EXPECT_EQ(grid->EditCol, 2);
    EXPECT_EQ(grid->Selection.Get(), (TGridRect{2, 2, 2, 2}));
    EXPECT_EQ(grid->Col.Get(), 2);
    EXPECT_TRUE(grid->Focused());
    EXPECT_TRUE(grid->EditorMode);
}

TEST_F(ComboStringGridTest, TabbingOutInTheLastColumnKeepsTheColumn) {
    grid->ShowComboAt(3, 4);
    form->SendKey(VK_TAB);
    EXPECT_EQ(grid->EditCol, 3);
    EXPECT_EQ(grid->Selection.Get(), (TGridRect{3, 4, 3, 4}));
    EXPECT_TRUE(grid->Focused());
}

}  // namespace
