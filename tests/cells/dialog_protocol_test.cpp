// One edit of a cell's data in the component-data form: what the form shows,
// what comes back on OK, and what Cancel and refused data leave.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "cells/filters.h"
#include "cells/prototypes.h"
#include "core/globals.h"
#include "core/info.h"
#include "document/grid.h"
#include "platform/application.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"
#include "support/test_cells.h"

namespace {

using Person = std::function<void(TDatiComponenti&)>;

void Answer(const Person& person) { Application->Script().AnswerShowModal<TDatiComponenti>(person); }

float Through(TCella& cell, int band) { return cell.Attenuation->Get3(0, 1, band); }

void SetThrough(TCella& cell, float value) {
    for (int b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(0, 1, b, value);
}

class DialogProtocolTest : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TGridData network{nullptr, 75, 75, GridNetwork};
    TGridData headEnd{nullptr, 75, 75, GridHeadEnd};

    TCella* Prototype() { return FindPrototype({CodeFiltroS}); }
    const std::vector<TMessageBoxCall>& Messages() { return Application->Script().MessageBoxes; }
};

TEST_F(DialogProtocolTest, TheBaseCellShowsNothingAndCountsAsDescribed) {
    TCellaProva cell(&network, 3, 3);
    ASSERT_EQ(cell.Described, 0);
    EXPECT_FALSE(cell.OpenDataDialog());
    EXPECT_EQ(cell.Described, 1);
    EXPECT_TRUE(Application->Script().ModalForms.empty());
}

TEST_F(DialogProtocolTest, AFilterShowsItsOneRowUnderTheApplicationTitle) {
    TFiltroS filter(&network, 0, 0, 4, 4);
    filter.SequenceNumber = 3;
    bool asked = false;
    Answer([&](TDatiComponenti& f) {
        asked = true;
        EXPECT_EQ(f.Caption.Get(), "Ordivex Varne - Dati componenti: Filtro F3");
        EXPECT_EQ(f.RowCaption[0]->Text.Get(), "Atten. di passaggio  [dB]");
        EXPECT_TRUE(f.RowCaption[0]->Visible);
        for (int r = 1; r < DialogRows; ++r) {
            EXPECT_FALSE(f.RowCaption[r]->Visible) << r;
            EXPECT_FALSE(f.ValueEdit[r][0]->Visible) << r;
        }
        EXPECT_TRUE(f.GroupSegnali->Visible);
        EXPECT_TRUE(f.GroupCommerciali->Visible);
        EXPECT_TRUE(f.GroupAusiliari->Visible);
        EXPECT_FALSE(f.GroupElettrici->Visible);
        EXPECT_FALSE(f.GroupPosizioni->Visible);
        EXPECT_FALSE(f.GroupCaratteristiche->Visible);
        EXPECT_FALSE(f.GroupStruttura->Visible);
        EXPECT_FALSE(f.TabModuli->Visible);
        f.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(filter.OpenDataDialog());
    EXPECT_TRUE(asked);
}

// A cell that asks the form for the value rows of its own flag word.
class TCellaRighe : public TCellaProva {
public:
    TCellaRighe(TGridData* grid, int32_t flags) : TCellaProva(grid, 1, 1), flags(flags) {}
    bool OpenDataDialog() override {
        TDatiComponenti* d = ComponentDataForm();
        d->LabelNome->Caption = "Prova T1";
        d->ResetSections();
        d->SetPortFlags(flags);
        d->ArrangeLayout();
        return EditData(d);
    }
    int32_t flags;
};

TEST_F(DialogProtocolTest, TheRowFlagsOfACellChooseTheValueRowsShown) {
    ScopedTestCellClass testClass;
    struct Case {
        int32_t flags;
        uint32_t shownRows;  // bit r: value row r shown
    };
    const Case cases[] = {
        {0x800002, 0x002}, {12, 0xFFF}, {0x800000, 0x000}, {3, 0x007}, {0, 0x000}, {0x800000 | 0x801, 0x801},
    };
    for (const Case& c : cases) {
        TCellaRighe cell(&network, c.flags);
        Answer([&](TDatiComponenti& f) {
            for (int r = 0; r < DialogRows; ++r) {
                const bool shown = (c.shownRows >> r) & 1;
                EXPECT_EQ(f.RowCaption[r]->Visible.Get(), shown) << c.flags << " row " << r;
                for (int b = 0; b < DialogBandColumns; ++b)
                    EXPECT_EQ(f.ValueEdit[r][b]->Visible.Get(), shown) << c.flags << " row " << r;
            }
            EXPECT_EQ(f.Caption.Get(), "Ordivex Varne - Dati componenti: Prova T1");
            f.ButtonAnnulla->Click();
        });
        EXPECT_FALSE(cell.OpenDataDialog());
    }
}

TEST_F(DialogProtocolTest, AnUndescribedFilterStartsFromItsPrototypeAndOkStoresIntoBoth) {
    TFiltroS filter(&network, 0, 0, 4, 4);
    TCella* prototype = Prototype();
    ASSERT_NE(prototype, nullptr);
    SetThrough(*prototype, 1.5f);
    prototype->Description = "Passa banda";
    SetThrough(filter, 9.0f);  // the cell's own data do not show: it is not described
    Answer([](TDatiComponenti& f) {
        EXPECT_EQ(f.EditDescrizione->Text.Get(), "Passa banda");
        EXPECT_EQ(f.ValueEdit[0][0]->Text.Get(), "1,5");
        f.EditDescrizione->Text = "Nuovo filtro";
        f.ValueEdit[0][0]->Text = "2,5";
        f.ValueEdit[0][1]->Text = "*";
        f.ButtonOk->Click();
    });
    EXPECT_TRUE(filter.OpenDataDialog());
    for (TCella* cell : {static_cast<TCella*>(&filter), prototype}) {
        EXPECT_EQ(cell->Described, 1);
        EXPECT_EQ(cell->Description, "Nuovo filtro");
        EXPECT_FLOAT_EQ(Through(*cell, 0), 2.5f);
        EXPECT_EQ(Through(*cell, 1), LevelBlocked);
        EXPECT_FLOAT_EQ(Through(*cell, 2), 1.5f);
    }
    ASSERT_EQ(Application->Script().ModalForms.size(), 1u);
    EXPECT_EQ(Application->Script().ModalForms[0].Result, mrOk);
}

TEST_F(DialogProtocolTest, ADescribedFilterOpensWithItsOwnData) {
    TFiltroP filter(&network, 0, 0, 4, 4);
    TCella* prototype = FindPrototype({CodeFiltroP});
    SetThrough(*prototype, 1.0f);
    SetThrough(filter, 3.0f);
    filter.Described = 1;
    Answer([](TDatiComponenti& f) {
        EXPECT_EQ(f.ValueEdit[0][0]->Text.Get(), "3");
        f.ValueEdit[0][0]->Text = "4";
        f.ButtonOk->Click();
    });
    EXPECT_TRUE(filter.OpenDataDialog());
    EXPECT_FLOAT_EQ(Through(filter, 0), 4.0f);
    // The prototype takes the confirmed data too.
    EXPECT_FLOAT_EQ(Through(*prototype, 0), 4.0f);
    EXPECT_FLOAT_EQ(Through(*prototype, 1), 3.0f);
}

TEST_F(DialogProtocolTest, CancelChangesNeitherCellNorPrototype) {
    TFiltroPA filter(&network, 0, 0, 4, 4);
    TCella* prototype = FindPrototype({CodeFiltroPA});
    SetThrough(*prototype, 2.0f);
    Answer([](TDatiComponenti& f) {
        f.ValueEdit[0][0]->Text = "7";
        f.EditDescrizione->Text = "Cambiato";
        f.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(filter.OpenDataDialog());
    EXPECT_EQ(filter.Described, 0);
    EXPECT_EQ(prototype->Described, 0);
    EXPECT_EQ(Through(filter, 0), LevelNone);
    EXPECT_FLOAT_EQ(Through(*prototype, 0), 2.0f);
    EXPECT_EQ(prototype->Description, "");
    // Closing by the window's frame is a cancel too.
    Answer([](TDatiComponenti& f) { f.ValueEdit[0][0]->Text = "7"; });
    EXPECT_FALSE(filter.OpenDataDialog());
    EXPECT_EQ(filter.Described, 0);
    EXPECT_FLOAT_EQ(Through(*prototype, 0), 2.0f);
}

TEST_F(DialogProtocolTest, RefusedDataOnTheNetworkKeepTheFormOpenWithOneMessagePerOk) {
    TFiltroS filter(&network, 0, 0, 4, 4);
    Answer([&](TDatiComponenti& f) {
        // Nothing in any band: refused, twice, each press with its message.
        f.ButtonOk->Click();
        EXPECT_EQ(f.ModalResult.Get(), mrNone);
        f.ButtonOk->Click();
        EXPECT_EQ(f.ModalResult.Get(), mrNone);
        ASSERT_EQ(Messages().size(), 2u);
        EXPECT_EQ(Messages()[0].Text, "Il componente non gestisce alcun segnale.");
        EXPECT_EQ(Messages()[0].Caption, "Ordivex Varne");
        // A band that carries on from the one before is refused with the prefix.
        f.ValueEdit[0][0]->Text = "1";
        f.ValueEdit[0][1]->Text = "<";
        f.ButtonOk->Click();
        ASSERT_EQ(Messages().size(), 3u);
        EXPECT_EQ(Messages()[2].Text, "Dati componente errati a causa del seguante problema: < non ammesso.");
        EXPECT_EQ(f.ModalResult.Get(), mrNone);
        // Corrected: the form closes.
        f.ValueEdit[0][1]->Text = "2";
        f.ButtonOk->Click();
        EXPECT_EQ(f.ModalResult.Get(), mrOk);
    });
    EXPECT_TRUE(filter.OpenDataDialog());
    EXPECT_EQ(Messages().size(), 3u);
    EXPECT_FLOAT_EQ(Through(filter, 1), 2.0f);
    EXPECT_EQ(filter.Described, 1);
}

TEST_F(DialogProtocolTest, HeadEndCellsAndLibraryEntriesAreNotChecked) {
    TFiltroS onHeadEnd(&headEnd, 0, 0, 4, 4);
    TFiltroS entry(nullptr, 0, 0, 0, 0);
    for (TFiltroS* filter : {&onHeadEnd, &entry}) {
        Answer([](TDatiComponenti& f) {
            f.ButtonOk->Click();
            EXPECT_EQ(f.ModalResult.Get(), mrOk);
        });
        EXPECT_TRUE(filter->OpenDataDialog());
        EXPECT_EQ(filter->Described, 1);
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(DialogProtocolTest, AClassWithoutPrototypeFillsFromAndReadsIntoTheCellOnly) {
    ScopedTestCellClass testClass;
    TCellaRighe cell(&headEnd, 1);
    cell.Attenuation->Set3(0, 0, 0, 6.0f);
    Answer([](TDatiComponenti& f) {
        EXPECT_EQ(f.ValueEdit[0][0]->Text.Get(), "6");
        f.ValueEdit[0][0]->Text = "8";
        f.ButtonOk->Click();
    });
    EXPECT_TRUE(cell.OpenDataDialog());
    EXPECT_FLOAT_EQ(cell.Attenuation->Get3(0, 0, 0), 8.0f);
    EXPECT_EQ(cell.Described, 1);
}

TEST_F(DialogProtocolTest, TheFormHoldsNoCellAfterTheEdit) {
    TFiltroS filter(&network, 0, 0, 4, 4);
    TCella* during = nullptr;
    Answer([&](TDatiComponenti& f) {
        during = f.EditedCell;
        f.ButtonAnnulla->Click();
    });
    filter.OpenDataDialog();
    ASSERT_NE(during, nullptr);
    EXPECT_NE(during, &filter);
    EXPECT_EQ(dialog.Get().EditedCell, nullptr);
}

}  // namespace
