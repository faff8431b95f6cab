// Every class that edits its data through the component-data form: what is
// typed on a page other than the first reaches the cell on OK and shows again
// when the form is opened anew; Cancel leaves the cell as it was.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "cells/factory.h"
#include "cells/combo_string_grid.h"
#include "cells/component_data.h"
#include "document/grid.h"
#include "platform/application.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

using Form = TDatiComponenti;

void Answer(const std::function<void(Form&)>& person) { Application->Script().AnswerShowModal<Form>(person); }

void Type(TComboBox* combo, const char* text) { combo->UserSet(combo->Text, AnsiString(text)); }

struct Case {
    const char* what;
    int32_t code, inputs, through, taps;
    // Goes to the page of the value, or reads what it shows there.
    std::function<void(Form&)> page;
    std::function<AnsiString(Form&)> shown;
    std::function<void(Form&, const char*)> type;
};

// A value edit on a page.
Case Edit(const char* what, int32_t code, int32_t inputs, int32_t through, int32_t taps,
          std::function<void(Form&)> page, int row, int column) {
    return {what,
            code,
            inputs,
            through,
            taps,
            page,
            [row, column](Form& f) { return f.ValueEdit[row][column]->Text.Get(); },
            [row, column](Form& f, const char* text) { f.ValueEdit[row][column]->Text = text; }};
}

// clang-format off
const Case Cases[] = {
    Edit("amplifier, second input", 22, 2, 1, 0, [](Form& f) { f.RadioModulo[1]->Click(); }, 4, 3),
    Edit("levelling amplifier", 23, 1, 1, 0, [](Form&) {}, 4, 5),
    Edit("wide-band amplifier, second input", 40, 2, 1, 0, [](Form& f) { f.RadioModulo[1]->Click(); }, 0, 2),
    Edit("switch, output stage of line 2", 10, 2, 0, 4,
         [](Form& f) {
             f.RadioModulo[1]->Click();
             f.RadioFunzione[3]->Click();
         },
         6, 1),
    Edit("converter, third output", 39, 0, 4, 0, [](Form& f) { f.RadioModulo[2]->Click(); }, 2, 5),
    Edit("final amplifier with bypass, third row", 43, 1, 4, 0, [](Form& f) { f.RadioModulo[2]->Click(); }, 4, 3),
    Edit("active filter, its module", 35, 1, 1, 0, [](Form&) {}, 4, 0),
    Edit("gain-controlled filter, its module", 42, 1, 1, 0, [](Form&) {}, 1, 0),
    Edit("modulator, its module's output level", 36, 1, 1, 0, [](Form&) {}, 3, 0),
    Edit("active filter, input amplifier", 35, 1, 1, 0, [](Form& f) { f.TabModuli->SelectByUser(0); }, 2, 7),
    Edit("converter module, output amplifier", 37, 1, 1, 0, [](Form& f) { f.TabModuli->SelectByUser(1); }, 3, 4),
    {"antenna, a channel's level", 38, 0, 1, 0,
     [](Form& f) {
         TComboStringGrid& g = *f.GridCanali5;
         if (g.Cell(1, 1).empty()) {
             g.SetCell(0, 1, "Europa");
             g.SetCell(1, 1, "21");
             g.RowCount = 3;
         }
     },
     [](Form& f) { return f.GridCanali5->Cell(4, 1); }, [](Form& f, const char* text) { f.GridCanali5->SetCell(4, 1, text); }},
    {"antenna, its area", 38, 0, 1, 0, [](Form&) {}, [](Form& f) { return f.EditArea->Text.Get(); },
     [](Form& f, const char* text) { f.EditArea->Text = text; }},
    {"dish, its diameter", 45, 0, 0, 0, [](Form&) {}, [](Form& f) { return f.EditDiametro->Text.Get(); },
     [](Form& f, const char* text) { f.EditDiametro->Text = text; }},
    {"integrated head-end, its description", 58, 2, 2, 0, [](Form&) {},
     [](Form& f) { return f.EditDescrizione->Text.Get(); },
     [](Form& f, const char* text) { f.EditDescrizione->Text = text; }},
    {"tap, auxiliary quantity", 10, 1, 1, 2, [](Form&) {}, [](Form& f) { return f.AuxQuantita[1]->Text.Get(); },
     [](Form& f, const char* text) { f.AuxQuantita[1]->Text = text; }},
};
// clang-format on

class DialogRoundTrip : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    // Head-end cells are not checked: any value typed is taken.
    TGridData headEnd{nullptr, 75, 75, GridHeadEnd};
};

TEST_F(DialogRoundTrip, WhatIsTypedOnAPageReachesTheCellAndCancelKeepsIt) {
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<TCella> cell(NewCella(&headEnd, c.code, 4, 4, c.inputs, c.through, c.taps));
        ASSERT_NE(cell, nullptr);
        cell->Described = 1;
        Answer([&](Form& f) {
            c.page(f);
            c.type(f, "42");
            // Pages changed after typing: the value is kept.
            if (f.ModuleCount > 1) f.RadioModulo[0]->Click();
            if (f.TabModuli->Visible) f.TabModuli->SelectByUser(0);
            f.ButtonOk->Click();
        });
        EXPECT_TRUE(cell->OpenDataDialog());
        AnsiString shown;
        Answer([&](Form& f) {
            c.page(f);
            shown = c.shown(f);
            c.type(f, "7");
            f.ButtonAnnulla->Click();
        });
        EXPECT_FALSE(cell->OpenDataDialog());
        EXPECT_EQ(shown, "42");
        Answer([&](Form& f) {
            c.page(f);
            shown = c.shown(f);
            f.ButtonAnnulla->Click();
        });
        EXPECT_FALSE(cell->OpenDataDialog());
        EXPECT_EQ(shown, "42");
    }
}

TEST_F(DialogRoundTrip, ADishsWindSpeedComboIsWiderThanAnAntennas) {
    int widths[2] = {};
    int k = 0;
    for (int32_t code : {38, 45}) {
        std::unique_ptr<TCella> cell(NewCella(&headEnd, code, 4, 4, 0, code == 38 ? 1 : 0, 0));
        Answer([&](Form& f) {
            EXPECT_TRUE(f.ComboVelocita->Visible);
            EXPECT_EQ(f.EditDiametro->Visible, code == 45);
            EXPECT_EQ(f.ComboForma->Visible, code == 38);
            widths[k] = f.ComboVelocita->Width;
            f.ButtonAnnulla->Click();
        });
        cell->OpenDataDialog();
        ++k;
    }
    EXPECT_EQ(widths[0], 41);
    EXPECT_EQ(widths[1], 65);
}

}  // namespace
