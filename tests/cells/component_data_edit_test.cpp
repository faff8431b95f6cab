// The component-data form while the user edits: channel rows, wind data,
// price and currency, the swap buttons and the satellite band rows.
#include <gtest/gtest.h>

#include "cells/cell.h"
#include "core/band_systems.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/options.h"
#include "cells/combo_string_grid.h"
#include "cells/component_data.h"
#include "platform/application.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"

namespace {

class ComponentDataEditTest : public GlobalsTest {
protected:
    ScopedComponentDialog dialog;
    TDatiComponenti& f = dialog.Get();

    // What the person types or picks in a combo.
    static void Type(TComboBox* combo, const char* text) { combo->UserSet(combo->Text, AnsiString(text)); }
    static void Pick(TComboBox* combo, const char* text) {
        const int i = combo->Items->IndexOf(text);
        ASSERT_GE(i, 0) << text;
        combo->SelectByUser(i);
    }
};

TEST_F(ComponentDataEditTest, ChannelRowsFollowPlanChannelAndTypedEdges) {
    for (int row = 0; row < DialogChannelRows; ++row) {
        Type(f.PlanCombo[row], "Europa");
        f.ChannelCombo[row]->OnEnter(f.ChannelCombo[row]);
        ASSERT_GE(f.ChannelCombo[row]->Items->IndexOf("21"), 0);
        Pick(f.ChannelCombo[row], "21");
        EXPECT_EQ(f.ChannelMin[row]->Text.Get(), "470");
        EXPECT_EQ(f.ChannelMax[row]->Text.Get(), "478");
        EXPECT_EQ(f.PlanCombo[row]->Text.Get(), "Europa");  // the writes start no handler

        // A typed edge: the row no longer names a channel of a plan.
        f.ChannelMax[row]->Text = "480";
        EXPECT_EQ(f.PlanCombo[row]->Text.Get(), "(Nessuna)");
        EXPECT_EQ(f.ChannelCombo[row]->Text.Get(), "");
        EXPECT_EQ(f.ChannelCombo[row]->Items->Count(), 0);
        EXPECT_EQ(f.ChannelMax[row]->Text.Get(), "480");

        // Choosing a plan clears the row and lists its channels.
        f.ChannelMin[row]->Text = "100";
        Type(f.PlanCombo[row], "Italia");
        EXPECT_EQ(f.ChannelMin[row]->Text.Get(), "");
        EXPECT_EQ(f.ChannelMax[row]->Text.Get(), "");
        EXPECT_EQ(f.ChannelCombo[row]->Text.Get(), "");
        EXPECT_GT(f.ChannelCombo[row]->Items->Count(), 10);
        // An unknown plan lists nothing.
        Type(f.PlanCombo[row], "Marte");
        EXPECT_EQ(f.ChannelCombo[row]->Items->Count(), 0);
    }
    // While the form fills, typed edges leave plan and channel alone.
    Type(f.PlanCombo[0], "Europa");
    f.Updating = true;
    f.ChannelMin[0]->Text = "12";
    f.Updating = false;
    EXPECT_EQ(f.PlanCombo[0]->Text.Get(), "Europa");
}

TEST_F(ComponentDataEditTest, WindDataKeepsEitherAreaOrThrustAndSpeed) {
    f.EditSpinta->Text = "120";
    Pick(f.ComboVelocita, "150");
    f.EditArea->Text = "0,5";
    EXPECT_EQ(f.EditSpinta->Text.Get(), "");
    EXPECT_EQ(f.ComboVelocita->Text.Get(), "");

    f.EditSpinta->Text = "90";
    EXPECT_EQ(f.EditArea->Text.Get(), "");

    f.EditArea->Text = "0,7";
    Pick(f.ComboVelocita, "130");
    EXPECT_EQ(f.EditArea->Text.Get(), "");
    EXPECT_EQ(f.ComboVelocita->Text.Get(), "130");

    // While the form fills only the speed still clears the area.
    f.Updating = true;
    f.EditArea->Text = "0,9";
    f.EditSpinta->Text = "40";
    EXPECT_EQ(f.EditArea->Text.Get(), "0,9");
    Pick(f.ComboVelocita, "200");
    EXPECT_EQ(f.EditArea->Text.Get(), "");
    EXPECT_TRUE(f.Updating);  // the fill's guard stays up
    f.Updating = false;
    // An emptied area clears nothing.
    f.EditSpinta->Text = "40";
    f.EditArea->Text = "";
    EXPECT_EQ(f.EditSpinta->Text.Get(), "40");
}

TEST_F(ComponentDataEditTest, CurrencyChangesConvertThePriceOrWarnOnce) {
    globals.Options().currencyFactors[CurrencyLire][CurrencyEuro] = 0.0005f;
    f.CurrencyIndex = CurrencyLire;
    f.ComboValuta->Text = "Lire";
    f.EditPrezzo->Text = "10.000";
    f.ComboValuta->OnEnter(f.ComboValuta);
    ASSERT_EQ(f.ComboValuta->Items->Count(), 2);
    Pick(f.ComboValuta, "Euro");
    EXPECT_EQ(f.EditPrezzo->Text.Get(), "5,00");
    EXPECT_EQ(f.CurrencyIndex, CurrencyEuro);

    // No factor from Euro to Kuna: the number stays, one warning.
    Application->Script().Reset();
    Type(f.ComboValuta, "Kuna");
    EXPECT_EQ(f.EditPrezzo->Text.Get(), "5,00");
    EXPECT_EQ(f.CurrencyIndex, 9);
    const auto& boxes = Application->Script().MessageBoxes;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, "Ordivex Varne");
    EXPECT_EQ(boxes[0].Text,
              "Manca il fattore di conversione tra la valuta Euro e la valuta Kuna. E' stato applicato il "
              "fattore 1.");

    // A name of no currency goes back to the current one, the price re-formatted.
    Application->Script().Reset();
    f.EditPrezzo->Text = "7";
    Type(f.ComboValuta, "Zecchini");
    EXPECT_EQ(f.ComboValuta->Text.Get(), "Kuna");
    EXPECT_EQ(f.CurrencyIndex, 9);
    EXPECT_EQ(f.EditPrezzo->Text.Get(), "7,00");
    EXPECT_TRUE(Application->Script().MessageBoxes.empty());

    // Leaving the price edit re-formats it in the current currency.
    struct Case {
        int currency;
        const char* typed;
        const char* shown;
    };
    for (const Case& c : {Case{CurrencyLire, "1234567", "1.234.567"}, Case{CurrencyEuro, "12,5", "12,50"},
                          Case{CurrencyEuro, "", "0,00"}, Case{CurrencyEuro, "3,456", "3,46"}}) {
        f.CurrencyIndex = c.currency;
        f.EditPrezzo->Text = c.typed;
        f.EditPrezzo->OnExit(f.EditPrezzo);
        EXPECT_EQ(f.EditPrezzo->Text.Get(), c.shown) << c.typed;
    }
}

TEST_F(ComponentDataEditTest, SwapButtonsExchangeModulesAndRows) {
    ASSERT_GE(f.BandSystem->bandCount, 2);
    f.MainTable[0][3][0] = 1.0f;
    f.MainTable[1][3][0] = 2.0f;
    f.MainTable[1][11][14] = 9.0f;
    f.ShowValueTable();
    f.ValueEdit[5][1]->Text = "4";  // typed on module 0, kept by the swap
    f.ButtonScambia1->Click();
    EXPECT_FLOAT_EQ(f.MainTable[0][3][0], 2.0f);
    EXPECT_FLOAT_EQ(f.MainTable[1][3][0], 1.0f);
    EXPECT_FLOAT_EQ(f.MainTable[0][11][14], 9.0f);
    EXPECT_FLOAT_EQ(f.MainTable[1][5][1], 4.0f);
    EXPECT_EQ(f.ValueEdit[3][0]->Text.Get(), "2");

    f.ValueEdit[0][0]->Text = "1";
    f.ValueEdit[1][0]->Text = "";
    f.ValueEdit[0][10]->Text = "x";
    f.ValueEdit[1][10]->Text = "3,5";
    f.ButtonScambia2->Click();
    EXPECT_EQ(f.ValueEdit[0][0]->Text.Get(), "");
    EXPECT_EQ(f.ValueEdit[1][0]->Text.Get(), "1");
    EXPECT_EQ(f.ValueEdit[0][10]->Text.Get(), "3,5");
    EXPECT_EQ(f.ValueEdit[1][10]->Text.Get(), "x");
}

TEST_F(ComponentDataEditTest, ChangeChannelsTogglesGridAndBandRowsOfTheModule) {
    f.CurrentModule = 2;
    f.GridCanali8->Visible = true;
    f.BandRowByte[2] = 0;
    f.ButtonCambiaCanali->Click();
    EXPECT_FALSE(f.GridCanali8->Visible);
    EXPECT_EQ(f.BandRowByte[2], 1);
    EXPECT_TRUE(f.BandCaption[0]->Visible);
    for (int r = 0; r < 2; ++r) {
        EXPECT_TRUE(f.RowCaption[r]->Visible);
        for (int c = 6; c < DialogBandColumns; ++c) EXPECT_TRUE(f.ValueEdit[r][c]->Visible) << r << c;
    }
    f.ButtonCambiaCanali->Click();
    EXPECT_TRUE(f.GridCanali8->Visible);
    EXPECT_EQ(f.BandRowByte[2], 0);
    EXPECT_FALSE(f.BandCaption[0]->Visible);
    for (int r = 0; r < 2; ++r) {
        EXPECT_FALSE(f.RowCaption[r]->Visible);
        for (int c = 6; c < DialogBandColumns; ++c) EXPECT_FALSE(f.ValueEdit[r][c]->Visible) << r << c;
    }
    EXPECT_EQ(f.BandRowByte[0], 0);
}

TEST_F(ComponentDataEditTest, LnbQuadSetsTheBandRowsOfEveryOutputModule) {
    TCella cell(nullptr, 0, 0, 1, 4);
    cell.NumThroughOutputs = 4;
    f.EditedCell = &cell;
    f.ShowSwapButtons[2] = 1;
    f.GridCanali8->Visible = true;
    f.CheckLnbQuad->Click();
    ASSERT_TRUE(f.CheckLnbQuad->Checked);
    EXPECT_FALSE(f.ButtonCambiaCanali->Visible);
    for (int m = 0; m < DialogModules; ++m) EXPECT_EQ(f.BandRowByte[m], m < 4 ? 1 : 0) << m;
    EXPECT_FALSE(f.GridCanali8->Visible);
    for (int r = 0; r < 2; ++r)
        for (int c = 6; c < DialogBandColumns; ++c) EXPECT_TRUE(f.ValueEdit[r][c]->Visible);
    f.CheckLnbQuad->Click();
    EXPECT_TRUE(f.ButtonCambiaCanali->Visible);
    f.ShowSwapButtons[2] = 0;
    f.CheckLnbQuad->Click();
    f.CheckLnbQuad->Click();
    EXPECT_FALSE(f.ButtonCambiaCanali->Visible);
    f.EditedCell = nullptr;
}

}  // namespace

namespace {

class ComponentDataLibraries : public ComponentDataEditTest {
protected:
    TLibrerie libraries;
    TLibrerie* saved = Librerie;

    void SetUp() override {
        for (const char* file : {"/tmp/Antenne.lib", "/tmp/Centrali.lib"}) {
            auto* library = new TLibreria;
            library->fileName = file;
            libraries.Append(std::unique_ptr<TLibreria>(library));
        }
        Librerie = &libraries;
    }
    void TearDown() override { Librerie = saved; }
};

TEST_F(ComponentDataLibraries, LibraryCombosListTheOpenLibrariesAndEmptyWhatDependsOnThem) {
    f.FormShow(&f);
    EXPECT_EQ(f.ComboLibreria->Text.Get(), "Antenne");
    f.ComboLibreria->Text = "Centrali";
    f.FormShow(&f);
    EXPECT_EQ(f.ComboLibreria->Text.Get(), "Centrali");  // a chosen library stays

    f.ComboVoce->Items->Add("A1");
    f.ComboVoce->Text = "A1";
    f.ButtonElimina->Enabled = true;
    f.ComboLibreria->OnEnter(f.ComboLibreria);
    ASSERT_EQ(f.ComboLibreria->Items->Count(), 2);
    Pick(f.ComboLibreria, "Antenne");
    EXPECT_EQ(f.ComboVoce->Text.Get(), "");
    EXPECT_EQ(f.ComboVoce->Items->Count(), 0);
    EXPECT_FALSE(f.ButtonElimina->Enabled);

    for (int row = 0; row < 2; ++row) {
        f.AuxCategoria[row]->Text = "Antenne";
        f.AuxCodice[row]->Items->Add("X");
        f.AuxCodice[row]->Text = "X";
        f.AuxQuantita[row]->Text = "2";
        f.AuxDescrizione[row]->Text = "Palo";
        f.AuxLibreria[row]->OnEnter(f.AuxLibreria[row]);
        Pick(f.AuxLibreria[row], "Centrali");
        EXPECT_EQ(f.AuxCategoria[row]->Text.Get(), "");
        EXPECT_EQ(f.AuxCodice[row]->Text.Get(), "");
        EXPECT_EQ(f.AuxCodice[row]->Items->Count(), 0);
        EXPECT_EQ(f.AuxQuantita[row]->Text.Get(), "");
        EXPECT_EQ(f.AuxDescrizione[row]->Text.Get(), "");
    }
}

}  // namespace
