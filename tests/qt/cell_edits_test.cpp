// Cells edited in real windows by keys and clicks: a text that the cell's
// list does not hold is refused with a message and the cell keeps its value;
// Esc takes back the edit of one cell and leaves the form open with every
// other edit; a list open when its form closed is gone when the form is
// shown again. Screenshots: channel-table-refused.png and
// channel-table-reopened.png in test-artefacts/ of the build folder.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <memory>
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

using qttest::ClickCell;
using qttest::WaitUntil;
using qttest::WidgetOf;
using qttest::WindowOf;

namespace {

// The person at the component-data form.
qttest::TFormKeys person;

}  // namespace

// The antenna's channel table. "30" typed after the 21 of a "Canale" cell
// makes "2130", which the row's plan does not hold: leaving the cell refuses
// it with a message that names the row, the text and the plan, and 21 stays.
// A plan name of no terrestrial plan is refused the same way, and the
// channel it would have cleared comes back. Esc in the cell's list puts the cell back and keeps the form open and
// the "D" set before on another row. "Ok" keeps channel 21 in the antenna.
// (Esc with the drop-down shown is tried on X11, where the window system
// hands the keyboard back when the drop-down closes.)
TEST(QtCellEdits, TheAntennasChannelTableRefusesWhatThePlanDoesNotHold) {
    qttest::TAntennaFixture fixture({"21", "34"});
    qttest::BoxWatch boxes;
    TDatiComponenti& f = fixture.Form();
    TComboStringGrid* grid = f.GridCanali5;
    person.WhenShown(f, [&] {
        ASSERT_EQ(grid->Cell(1, 1), "21");
        // An earlier edit: row 2 made digital.
        ClickCell(grid, 2, 2);
        person.Type("d");
        person.Press(Qt::Key_Return);
        EXPECT_EQ(grid->Cell(2, 2), "D");

        ClickCell(grid, 1, 1);
        ASSERT_TRUE(grid->Combo->Visible);
        auto* list = qobject_cast<QComboBox*>(WindowOf(grid->Combo));
        ASSERT_NE(list, nullptr);
        list->lineEdit()->end(false);  // the caret after "21", as a click leaves it
        person.Type("30");
        EXPECT_EQ(grid->Combo->Text.Get(), "2130");
        person.Press(Qt::Key_Tab);
        EXPECT_TRUE(WaitUntil([&] { return !boxes.Texts.empty(); }));
        ASSERT_EQ(boxes.Texts.size(), 1u);
        const std::string said = boxes.Texts[0];
        EXPECT_NE(said.find("Riga 1"), std::string::npos) << said;
        EXPECT_NE(said.find("\"2130\""), std::string::npos) << said;
        EXPECT_NE(said.find("\"Europa\""), std::string::npos) << said;
        EXPECT_EQ(grid->Cell(1, 1), "21");
        EXPECT_FALSE(grid->Combo->Visible);
        qttest::SaveShot(&f, "channel-table-refused.png");

        // A plan that is no terrestrial plan.
        ClickCell(grid, 0, 1);
        ASSERT_TRUE(grid->Combo->Visible);
        list->lineEdit()->selectAll();
        person.Type("Marte");
        EXPECT_EQ(grid->Cell(1, 1), "");  // a new plan empties the channel while it is typed
        person.Press(Qt::Key_Tab);
        EXPECT_TRUE(WaitUntil([&] { return boxes.Texts.size() == 2; }));
        ASSERT_EQ(boxes.Texts.size(), 2u);
        EXPECT_NE(boxes.Texts[1].find("\"Marte\""), std::string::npos) << boxes.Texts[1];
        EXPECT_NE(boxes.Texts[1].find("Riga 1"), std::string::npos) << boxes.Texts[1];
        EXPECT_EQ(grid->Cell(0, 1), "Europa");
        EXPECT_EQ(grid->Cell(1, 1), "21");

        // Esc in the list: this cell only.
        ClickCell(grid, 1, 2);
        ASSERT_TRUE(grid->Combo->Visible);
        list->lineEdit()->selectAll();
        person.Type("40");
        person.Press(Qt::Key_Escape);
        EXPECT_TRUE(f.Visible);
        EXPECT_FALSE(grid->Combo->Visible);
        EXPECT_EQ(grid->Cell(1, 2), "34");
        EXPECT_EQ(grid->Cell(2, 2), "D");
        EXPECT_EQ(grid->Cell(1, 1), "21");
        EXPECT_EQ(boxes.Texts.size(), 2u);
        QTest::mouseClick(WindowOf(f.ButtonOk), Qt::LeftButton);
    });
    EXPECT_TRUE(fixture.antenna.OpenDataDialog());
    EXPECT_EQ(qttest::ChannelsOf(*fixture.antenna.SourceChannels), (std::vector<std::string>{"21A", "34D"}));

    // A list open when the form is closed (by its close box) is not there
    // when the form shows again, and its text was not kept.
    person.WhenShown(f, [&] {
        ClickCell(grid, 1, 1);
        ASSERT_TRUE(grid->Combo->Visible);
        person.Type("5");
        WindowOf(&f)->close();
    });
    EXPECT_FALSE(fixture.antenna.OpenDataDialog());
    bool listShown = true;
    person.WhenShown(f, [&] {
        listShown = grid->Combo->Visible || WindowOf(grid->Combo)->isVisible();
        EXPECT_EQ(grid->Cell(1, 1), "21");
        qttest::SaveShot(&f, "channel-table-reopened.png");
        person.Press(Qt::Key_Escape);  // no editor open: the form's "Annulla"
    });
    EXPECT_FALSE(fixture.antenna.OpenDataDialog());
    EXPECT_FALSE(listShown);
}

// A converter's satellite channel table: a channel its row's plan does not
// hold is refused, named with its row and the plan; the cell keeps its
// channel and the edges that go with it.
TEST(QtCellEdits, AConvertersChannelTableRefusesAChannelOfNoPlan) {
    qttest::TConverterFixture converter({0, 0, 0, 0});
    TSat& sat = converter.sat;
    for (const char* name : {"21", "34"}) qttest::AddChannel(*sat.OutputChannels[0], name, SignalDigital);
    sat.Described = 1;
    qttest::BoxWatch boxes;
    TDatiComponenti& f = converter.Form();
    TComboStringGrid* grid = f.GridCanali8;
    person.WhenShown(f, [&] {
        ASSERT_TRUE(WidgetOf(grid)->isVisible());
        ASSERT_EQ(grid->Cell(1, 2), "34");
        const AnsiString low = grid->Cell(2, 2);
        ClickCell(grid, 1, 2);
        ASSERT_TRUE(grid->Combo->Visible);
        qobject_cast<QComboBox*>(WindowOf(grid->Combo))->lineEdit()->selectAll();
        person.Type("K99");
        person.Press(Qt::Key_Return);
        EXPECT_TRUE(WaitUntil([&] { return !boxes.Texts.empty(); }));
        ASSERT_EQ(boxes.Texts.size(), 1u);
        EXPECT_NE(boxes.Texts[0].find("Riga 2"), std::string::npos) << boxes.Texts[0];
        EXPECT_NE(boxes.Texts[0].find("\"K99\""), std::string::npos) << boxes.Texts[0];
        EXPECT_NE(boxes.Texts[0].find("\"Europa\""), std::string::npos) << boxes.Texts[0];
        EXPECT_EQ(grid->Cell(1, 2), "34");
        EXPECT_EQ(grid->Cell(2, 2), low);
        QTest::mouseClick(WindowOf(f.ButtonOk), Qt::LeftButton);
    });
    EXPECT_TRUE(sat.OpenDataDialog());
    ASSERT_EQ(sat.OutputChannels[0]->Count(), 2);
    EXPECT_EQ(sat.OutputChannels[0]->head->next->name, "34");
}

// The antenna's channel table with a cell's drop-down list open, keys
// through the X server: Esc closes the list and takes back that cell only
// (the 34 comes back over the "40" typed), the form stays with the "D" set
// before on the same row; a second Esc is the form's "Annulla", and the
// antenna keeps its channels as they were. Run on X11, where the keyboard
// goes back to the form as the list closes (the offscreen platform does not
// hand it back).
void EscWithTheListOpenTakesBackOneCell() {
    qttest::TAntennaFixture fixture({"21", "34"});
    TDatiComponenti& f = fixture.Form();
    TComboStringGrid* grid = f.GridCanali5;
    bool keptByTheFirstEsc = false;
    person.WhenShown(f, [&] {
        auto* box = qobject_cast<QComboBox*>(WindowOf(grid->Combo));
        ASSERT_NE(box, nullptr);
        auto key = [](Qt::Key k, const char* name, const std::function<bool()>& done) {
            qttest::PressKey(person.Target(), k, name, done);
            qttest::Settle();
        };
        // An earlier edit: row 2 made digital.
        ClickCell(grid, 2, 2);
        key(Qt::Key_D, "d", [&] {
            return grid->InplaceEditor() && grid->InplaceEditor()->Visible &&
                   UpperCase(grid->InplaceEditor()->Text.Get()) == "D";
        });
        key(Qt::Key_Return, "Return", [&] { return grid->Cell(2, 2) == "D" && !grid->Combo->Visible; });
        EXPECT_EQ(grid->Cell(2, 2), "D");

        ClickCell(grid, 1, 2);
        ASSERT_TRUE(grid->Combo->Visible);
        box->lineEdit()->selectAll();
        key(Qt::Key_4, "4", [&] { return grid->Combo->Text.Get() == "4"; });
        key(Qt::Key_0, "0", [&] { return grid->Combo->Text.Get() == "40"; });
        // The list opened as a person opens it from the keyboard.
        qttest::PressKey(
            person.Target(), Qt::Key_Down, "alt+Down",
            [&] { return box->view()->isVisible() && QApplication::activePopupWidget(); }, Qt::AltModifier);
        ASSERT_TRUE(box->view()->isVisible()) << "the list did not open";
        qttest::SaveShot(&f, "channel-table-list-open.png");
        key(Qt::Key_Escape, "Escape", [&] { return !box->view()->isVisible() && !grid->Combo->Visible; });
        EXPECT_FALSE(box->view()->isVisible());
        EXPECT_FALSE(grid->Combo->Visible);
        EXPECT_EQ(grid->Cell(1, 2), "34");
        EXPECT_EQ(grid->Cell(2, 2), "D");
        EXPECT_EQ(grid->Cell(1, 1), "21");
        keptByTheFirstEsc = f.Visible && WindowOf(&f)->isVisible();
        EXPECT_TRUE(keptByTheFirstEsc);
        // The keyboard is back in the form, on the table.
        EXPECT_TRUE(WaitUntil([&] { return WindowOf(&f)->isActiveWindow() && QApplication::focusWidget(); }));
        EXPECT_TRUE(WindowOf(&f)->isAncestorOf(QApplication::focusWidget()));
        EXPECT_TRUE(grid->Focused()) << (f.FocusedControl() ? f.FocusedControl()->Name : "none");
        qttest::SaveShot(&f, "channel-table-list-escaped.png");
        // The second Esc: the form's "Annulla" (the form hides once this
        // handler returns to its loop).
        key(Qt::Key_Escape, "Escape", [&] { return f.ModalResult.Get() == mrCancel; });
    });
    EXPECT_FALSE(fixture.antenna.OpenDataDialog());
    EXPECT_TRUE(keptByTheFirstEsc);
    EXPECT_EQ(qttest::ChannelsOf(*fixture.antenna.SourceChannels), (std::vector<std::string>{"21A", "34A"}));
}

TEST(QtCellEdits, EscWithTheListOpenTakesBackOneCellOnX11) {
    qttest::HereOrOnX11("QtCellEdits.EscWithTheListOpenTakesBackOneCellOnX11", EscWithTheListOpenTakesBackOneCell);
}

// A converter's channel row under a new plan: the plan chosen over a row
// that described "Tr 52 Rai" drops that channel and its description; the
// plan's channel then chosen brings its edges and the description the plan
// gives it, and the form stores them.
TEST(QtCellEdits, AConvertersRowTakesTheDescriptionOfItsNewPlan) {
    qttest::TConverterFixture converter({0, 0, 0, 0});
    TSat& sat = converter.sat;
    TCanale tr52;
    tr52.name = "1148-1184";
    tr52.freqLow = 1148.0f;
    tr52.freqHigh = 1184.0f;
    tr52.signalType = SignalDigital;
    tr52.label = "Tr 52 Rai";
    sat.OutputChannels[0]->Insert(tr52);
    sat.Described = 1;
    qttest::BoxWatch boxes;
    TDatiComponenti& f = converter.Form();
    TComboStringGrid* grid = f.GridCanali8;
    constexpr int Label = 5;
    person.WhenShown(f, [&] {
        ASSERT_TRUE(WidgetOf(grid)->isVisible());
        ASSERT_EQ(grid->Cell(Label, 1), "Tr 52 Rai");
        // The plan cell is the current one: its list opens on coming back.
        ClickCell(grid, Label, 1);
        ClickCell(grid, 0, 1);
        ASSERT_TRUE(grid->Combo->Visible);
        qobject_cast<QComboBox*>(WindowOf(grid->Combo))->lineEdit()->selectAll();
        person.Type("Eutelsat 13E");
        ClickCell(grid, 1, 1);
        EXPECT_EQ(grid->Cell(0, 1), "Eutelsat 13E");
        EXPECT_EQ(grid->Cell(Label, 1), "");
        ASSERT_TRUE(grid->Combo->Visible);
        qobject_cast<QComboBox*>(WindowOf(grid->Combo))->lineEdit()->selectAll();
        person.Type("110");
        ClickCell(grid, 3, 1);
        EXPECT_EQ(grid->Cell(1, 1), "110");
        EXPECT_EQ(grid->Cell(2, 1), "10702");
        EXPECT_EQ(grid->Cell(3, 1), "10736");
        EXPECT_EQ(grid->Cell(Label, 1), "Hot Bird 3");
        EXPECT_TRUE(boxes.Texts.empty()) << (boxes.Texts.empty() ? "" : boxes.Texts[0]);
        QTest::mouseClick(WindowOf(f.ButtonOk), Qt::LeftButton);
    });
    EXPECT_TRUE(sat.OpenDataDialog());
    ASSERT_EQ(sat.OutputChannels[0]->Count(), 1);
    EXPECT_EQ(sat.OutputChannels[0]->head->label, "Hot Bird 3");
    EXPECT_FLOAT_EQ(sat.OutputChannels[0]->head->freqLow, 10702.0f);
}
