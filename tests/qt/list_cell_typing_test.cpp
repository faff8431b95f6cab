// A channel cell whose drop-down list was closed with Esc still shows the
// grid's own editor over it. What the person types there next is neither
// lost nor kept unchecked: the keys reach that editor, and a channel the
// row's plan does not hold is refused when the cell is left or on "Ok",
// with the message naming row, text and plan; the cell keeps its channel.
// Screenshot: list-cell-typed-refused.png in test-artefacts/ of the build
// folder.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <functional>
#include <string>
#include <vector>

#include "cells/combo_string_grid.h"
#include "cells/component_data.h"
#include "cells/factory.h"
#include "cells/sources.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "document/grid.h"
#include "qt/designed_project.h"
#include "qt/qt_test_support.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

using qttest::WaitUntil;
using qttest::WidgetOf;
using qttest::WindowOf;

namespace {

// The person at the component-data form.
qttest::TFormKeys person;

// A press where the person clicks: on the widget drawn there (the grid's
// editor lies over its cell).
void ClickAt(QWidget* window, QPoint at) {
    QWidget* target = window->childAt(at);
    if (!target) target = window;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window, at));
    qttest::Settle();
}

QPoint InCell(TComboStringGrid* grid, int col, int row) {
    const TRect cell = grid->CellRect(col, row);
    EXPECT_FALSE(cell.IsEmpty()) << col << "," << row;
    return QPoint(cell.Left + 4, cell.Top + 4);
}

}  // namespace

// Row 2 holds channel 34. Its list is opened by a click, then closed with
// Esc; then, as people do, either the person types 99 at once and moves on
// with the arrow key, or clicks the cell again, types 99 after the caret
// ("3499") and presses "Ok".
TEST(QtListCellTyping, TextTypedInTheGridsEditorAfterEscIsCheckedAgainstThePlan) {
    struct Case {
        const char* name;
        bool clickAgain;  // else typed at once and left with the down arrow
        const char* typed;
        const char* inCell;  // what the cell's editor then shows
    };
    const Case cases[] = {
        {"typed at once", false, "99", "99"},
        {"clicked again", true, "99", "3499"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qttest::TAntennaFixture fixture({"21", "34"});
        qttest::BoxWatch boxes;
        TDatiComponenti& f = fixture.Form();
        TComboStringGrid* grid = f.GridCanali5;
        person.WhenShown(f, [&] {
            QWidget* window = WindowOf(&f);
            const QPoint channelCell = WidgetOf(grid)->mapTo(window, InCell(grid, 1, 2));
            ClickAt(window, channelCell);
            ASSERT_TRUE(WaitUntil([&] { return grid->Combo->Visible && grid->Row == 2; }));
            person.Press(Qt::Key_Escape);
            ASSERT_TRUE(f.Visible);
            ASSERT_FALSE(grid->Combo->Visible);
            ASSERT_EQ(grid->Cell(1, 2), "34");
            TInplaceEdit* editor = grid->InplaceEditor();
            ASSERT_NE(editor, nullptr);
            if (c.clickAgain) {
                ClickAt(window, channelCell);
                auto* line = qobject_cast<QLineEdit*>(WidgetOf(editor));
                ASSERT_NE(line, nullptr);
                ASSERT_TRUE(WaitUntil([&] { return line->hasFocus(); }));
                line->end(false);
            }
            person.Type(c.typed);
            // The keys reached the editor the person sees on the cell.
            EXPECT_TRUE(editor->Visible);
            EXPECT_EQ(editor->Text.Get(), c.inCell);
            if (c.clickAgain)
                QTest::mouseClick(WindowOf(f.ButtonOk), Qt::LeftButton);
            else
                person.Press(Qt::Key_Down);
            EXPECT_TRUE(WaitUntil([&] { return !boxes.Texts.empty(); })) << "no message";
            ASSERT_EQ(boxes.Texts.size(), 1u);
            const std::string& said = boxes.Texts[0];
            EXPECT_NE(said.find("Riga 2"), std::string::npos) << said;
            EXPECT_NE(said.find("\"" + std::string(c.inCell) + "\""), std::string::npos) << said;
            EXPECT_NE(said.find("\"Europa\""), std::string::npos) << said;
            EXPECT_TRUE(f.Visible);
            EXPECT_EQ(grid->Cell(1, 2), "34");
            EXPECT_EQ(grid->Row, 2);
            qttest::SaveShot(&f, "list-cell-typed-refused.png");
            QTest::mouseClick(WindowOf(f.ButtonOk), Qt::LeftButton);
        });
        EXPECT_TRUE(fixture.antenna.OpenDataDialog());
        EXPECT_EQ(qttest::ChannelsOf(*fixture.antenna.SourceChannels), (std::vector<std::string>{"21A", "34A"}));
        EXPECT_EQ(boxes.Texts.size(), 1u);
    }
}
