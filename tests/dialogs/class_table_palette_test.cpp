// The palette's buttons and the tool factory as the class table's rows give
// them: every slot of the bar filled once, every button's tool making its own
// row's class, and every button a cell selects being on the bar.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "cells/cell.h"
#include "cells/class_table.h"
#include "dialogs/component_palette.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

class ClassTablePalette : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    TPannelloComponenti palette;
};

TEST(ClassTableButtons, EverySlotOfTheBarHoldsOneButtonWithItsOwnName) {
    const auto buttons = ToolButtons();
    ASSERT_FALSE(buttons.empty());
    std::set<std::string> names;
    bool unplaced = false;
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i].Slot, static_cast<int>(i)) << buttons[i].Name;
        EXPECT_TRUE(names.insert(buttons[i].Name).second) << buttons[i].Name;
        // The placed buttons come first.
        if (!buttons[i].Placed) unplaced = true;
        EXPECT_FALSE(unplaced && buttons[i].Placed) << buttons[i].Name;
    }
}

// A class's button has a tool of the class's own row, within the tools'
// memories; the tool factory names the row's class for every tool of a row.
TEST(ClassTableButtons, EveryClassButtonMakesItsOwnRowsClass) {
    for (const TCellClassRow& row : CellClassRows()) {
        for (const TToolButtonInfo& button : row.Buttons) {
            SCOPED_TRACE(button.Name);
            EXPECT_EQ(ClassRowOfTool(button.Tool), &row);
            EXPECT_GE(button.Tool, 0);
            EXPECT_LT(button.Tool, ToolMemories);
            EXPECT_EQ(ToolButtonIndex(button.Name), button.Slot);
        }
        for (int32_t tool : row.Tools) {
            EXPECT_NE(row.Tool, nullptr) << row.Name;
            EXPECT_EQ(ClassRowOfTool(tool), &row) << row.Name << " tool " << tool;
            EXPECT_STREQ(ToolClassName(tool), row.Name) << tool;
        }
    }
}

// Every tool of a row builds, with the lists as they start, a cell that
// belongs to the row's class; the button a cell of the row selects is on
// the bar and makes a cell again.
TEST_F(ClassTablePalette, EveryToolBuildsItsRowsClassAndEveryChoiceIsOnTheBar) {
    for (const TCellClassRow& row : CellClassRows()) {
        for (int32_t tool : row.Tools) {
            SCOPED_TRACE(std::string(row.Name) + " tool " + std::to_string(tool));
            std::unique_ptr<TCella> cell = palette.CreateToolCell(nullptr, tool, 3, 4);
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(ClassRowOfCode(cell->TypeCode), &row);
            if (!row.Choice) continue;
            const TListChoice choice = row.Choice(*cell);
            ASSERT_NE(choice.Button, nullptr);
            const int index = ToolButtonIndex(choice.Button);
            ASSERT_GE(index, 0) << choice.Button;
            EXPECT_NE(ClassRowOfTool(ToolButtons()[static_cast<size_t>(index)].Tool), nullptr);
        }
    }
}

}  // namespace
