// The component-data form on its own: its switches and the sections, rows
// and boxes they show, its layout, and its value tables.
#include "cells/component_data.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/band_systems.h"
#include "core/globals.h"
#include "platform/application.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"

namespace {

class ComponentDataTest : public GlobalsTest {
protected:
    ScopedComponentDialog dialog;
    TDatiComponenti& f = dialog.Get();

    void Arrange() { f.ArrangeLayout(); }
};

TEST_F(ComponentDataTest, ResetSectionsPutsEverySwitchBack) {
    f.ModuleCount = 5;
    f.OutputCount = 4;
    f.DistinctRow[0] = 2;
    f.ShowBandRows = 0;
    f.ShowAuxArticles = 0;
    f.ShowSignals = 0;
    f.ShowCommercial = 0;
    f.ShowStructure = 1;
    f.ShowSwapButtons[2] = 1;
    f.AntennaKind[1] = 1;
    f.MainFunction = 7;
    f.ElectricalWord = 0x1FF;
    f.PositionsWord = 0xFF;
    f.ChannelRows[4] = 1;
    f.ChannelGrids[1] = 1;
    f.ShowModuleTabs = 1;
    f.OtherFeatures = 0x0D;
    f.ShownModuleTab = 3;
    f.ShownAmplifierTab = 1;
    f.DistinctOutputs = 1;
    f.RowFlags[5] = 1;
    for (TCheckBox* box : {f.CheckChiusuraDC, f.CheckAlimentaMontanti, f.CheckTrasferisce, f.CheckAmpliLinea,
                           f.CheckTestaCalata})
        box->Visible = true;
    f.SetPortCaptions("In", "Pass", "Out");

    f.ResetSections();
    EXPECT_EQ(f.ModuleCount, 1);
    EXPECT_EQ(f.OutputCount, 1);
    EXPECT_EQ(f.DistinctRow[0], -1);
    EXPECT_EQ(f.DistinctRow[1], -1);
    EXPECT_EQ(f.ShownModuleTab, -1);
    EXPECT_EQ(f.ShownAmplifierTab, -1);
    EXPECT_EQ(f.ShowBandRows, 1);
    EXPECT_EQ(f.ShowAuxArticles, 1);
    EXPECT_EQ(f.ShowSignals, 1);
    EXPECT_EQ(f.ShowCommercial, 1);
    EXPECT_EQ(f.ShowStructure, 0);
    EXPECT_EQ(f.ShowSwapButtons[2], 0);
    EXPECT_EQ(f.AntennaKind[1], 0);
    EXPECT_EQ(f.MainFunction, 0);
    EXPECT_EQ(f.ElectricalWord, 0);
    EXPECT_EQ(f.PositionsWord, 0);
    EXPECT_EQ(f.ChannelRows[4], 0);
    EXPECT_EQ(f.ChannelGrids[1], 0);
    EXPECT_EQ(f.ShowModuleTabs, 0);
    EXPECT_EQ(f.OtherFeatures, 0);
    // Not reset: the distinct-outputs switch and the row flags.
    EXPECT_EQ(f.DistinctOutputs, 1);
    EXPECT_EQ(f.RowFlags[5], 1);
    for (TCheckBox* box : {f.CheckChiusuraDC, f.CheckAlimentaMontanti, f.CheckTrasferisce, f.CheckAmpliLinea,
                           f.CheckTestaCalata})
        EXPECT_FALSE(box->Visible) << box->Caption.Get();
    for (int g = 0; g < 3; ++g) {
        EXPECT_EQ(f.CheckPort[g][0]->Caption.Get(), "Ingressi");
        EXPECT_EQ(f.CheckPort[g][1]->Caption.Get(), "Passanti");
        EXPECT_EQ(f.CheckPort[g][2]->Caption.Get(), "Uscite");
    }
}

TEST_F(ComponentDataTest, PortCaptionsGoToAllThreeSupplyGroups) {
    f.SetPortCaptions("Montanti", "Passanti", "Uscite amplificate");
    for (int g = 0; g < 3; ++g) {
        EXPECT_EQ(f.CheckPort[g][0]->Caption.Get(), "Montanti");
        EXPECT_EQ(f.CheckPort[g][1]->Caption.Get(), "Passanti");
        EXPECT_EQ(f.CheckPort[g][2]->Caption.Get(), "Uscite amplificate");
    }
}

TEST_F(ComponentDataTest, SetPortFlagsTakesACountOrAMask) {
    struct Case {
        int32_t word;
        uint32_t rows;
    };
    const Case cases[] = {{0x800002, 0x002}, {12, 0xFFF}, {0x800000, 0x000}, {0, 0x000},
                          {1, 0x001},        {5, 0x01F},  {0x800FFF, 0xFFF}, {0x800000 | 0x840, 0x840}};
    for (const Case& c : cases) {
        f.SetPortFlags(c.word);
        for (int r = 0; r < DialogRows; ++r)
            EXPECT_EQ(f.RowFlags[r] != 0, ((c.rows >> r) & 1) != 0) << c.word << " " << r;
    }
}

TEST_F(ComponentDataTest, TheElectricalWordShowsItsRowsAndBoxes) {
    struct Case {
        int32_t word;
        std::vector<TControl*> shown;
    };
    const std::vector<TControl*> all = {
        f.LabelCorrente,    f.EditCorrente,    f.LabelSupply[0],  f.CheckAlimInterno, f.EditCorrenteInterno,
        f.CheckAlimEsterno, f.LabelSupply[1],  f.LabelSupply[2],  f.CheckPort[0][0],  f.CheckPort[0][1],
        f.CheckPort[0][2],  f.CheckPort[1][0], f.CheckPort[1][1], f.CheckPort[1][2],  f.CheckPort[2][0],
        f.CheckPort[2][1],  f.CheckPort[2][2],
    };
    // clang-format off
    const Case cases[] = {
        {0x07, {}},  // port bits without a port row show no box
        {0x40, {f.LabelCorrente, f.EditCorrente}},
        {0x08 | 0x01, {f.LabelSupply[0], f.CheckPort[0][0]}},
        {0x08 | 0x80 | 0x100 | 0x06,
         {f.LabelSupply[0], f.CheckAlimInterno, f.EditCorrenteInterno, f.CheckAlimEsterno, f.CheckPort[0][1],
          f.CheckPort[0][2]}},
        {0x80 | 0x100, {}},  // the supply boxes only with "Riceve alimentazione da"
        {0x10 | 0x20 | 0x04, {f.LabelSupply[1], f.LabelSupply[2], f.CheckPort[1][2], f.CheckPort[2][2]}},
    };
    // clang-format on
    for (const Case& c : cases) {
        f.ResetSections();
        f.ElectricalWord = c.word;
        Arrange();
        EXPECT_EQ(f.GroupElettrici->Visible.Get(), c.word != 0) << c.word;
        for (TControl* control : all) {
            const bool expected = std::find(c.shown.begin(), c.shown.end(), control) != c.shown.end();
            EXPECT_EQ(control->Visible.Get(), expected) << c.word << " " << control->Caption.Get();
        }
    }
    // The section shows for a class's own box even with a word of 0.
    f.ResetSections();
    f.CheckChiusuraDC->Visible = true;
    Arrange();
    EXPECT_TRUE(f.GroupElettrici->Visible);
}

TEST_F(ComponentDataTest, ThePositionsWordShowsItsBoxesInDisplayOrder) {
    struct Case {
        int32_t word;
        std::vector<TCheckBox*> shown;  // top to bottom
    };
    // clang-format off
    const Case cases[] = {
        {0x80, {f.CheckPalo2}},
        {0x20, {f.CheckPalo1}},
        {0xFF,
         {f.CheckPalo1, f.CheckCentrale, f.CheckSottostazione, f.CheckPrimoLinea, f.CheckLinea, f.CheckUltimoLinea,
          f.CheckPresa, f.CheckPalo2}},
        {0x14, {f.CheckLinea, f.CheckUltimoLinea}},
    };
    // clang-format on
    const std::vector<TCheckBox*> all = {
        f.CheckPalo1,       f.CheckCentrale, f.CheckSottostazione, f.CheckPrimoLinea, f.CheckLinea,
        f.CheckUltimoLinea, f.CheckPresa,    f.CheckPalo2,         f.CheckAmpliLinea, f.CheckTestaCalata};
    for (const Case& c : cases) {
        f.ResetSections();
        f.PositionsWord = c.word;
        Arrange();
        EXPECT_TRUE(f.GroupPosizioni->Visible);
        for (TCheckBox* box : all) {
            const bool expected = std::find(c.shown.begin(), c.shown.end(), box) != c.shown.end();
            EXPECT_EQ(box->Visible.Get(), expected) << c.word << " " << box->Caption.Get();
        }
        for (size_t i = 1; i < c.shown.size(); ++i) EXPECT_GT(c.shown[i]->Top, c.shown[i - 1]->Top) << c.word;
    }
    // The amplifier positions come after the others.
    f.ResetSections();
    f.PositionsWord = 0x40;
    f.CheckAmpliLinea->Visible = true;
    f.CheckTestaCalata->Visible = true;
    Arrange();
    EXPECT_GT(f.CheckAmpliLinea->Top, f.CheckPresa->Top);
    EXPECT_GT(f.CheckTestaCalata->Top, f.CheckAmpliLinea->Top);
    f.ResetSections();
    Arrange();
    EXPECT_FALSE(f.GroupPosizioni->Visible);
}

TEST_F(ComponentDataTest, OtherFeaturesShowTheirBoxes) {
    struct Case {
        int32_t word;
        bool digital, optical, quad;
    };
    for (const Case& c : {Case{0x01, true, false, false}, Case{0x08, false, true, false},
                          Case{0x04, false, false, true}, Case{0x0D, true, true, true}}) {
        f.ResetSections();
        f.OtherFeatures = c.word;
        Arrange();
        EXPECT_TRUE(f.GroupCaratteristiche->Visible);
        EXPECT_EQ(f.CheckDigitale->Visible.Get(), c.digital) << c.word;
        EXPECT_EQ(f.CheckOttico->Visible.Get(), c.optical) << c.word;
        EXPECT_EQ(f.CheckLnbQuad->Visible.Get(), c.quad) << c.word;
    }
    f.ResetSections();
    Arrange();
    EXPECT_FALSE(f.GroupCaratteristiche->Visible);
}

TEST_F(ComponentDataTest, SelectorsShowOnlyForSeveralModulesOrOutputs) {
    f.ResetSections();
    f.DistinctOutputs = 0;
    Arrange();
    EXPECT_FALSE(f.StripModulo->Visible);
    EXPECT_FALSE(f.StripUscita->Visible);
    EXPECT_FALSE(f.ButtonUsciteDistinte->Visible);

    f.ModuleCount = 3;
    f.OutputCount = 4;
    Arrange();
    EXPECT_TRUE(f.StripModulo->Visible);
    EXPECT_TRUE(f.RadioModulo[2]->Visible);
    EXPECT_FALSE(f.RadioModulo[3]->Visible);
    EXPECT_TRUE(f.ButtonUsciteDistinte->Visible);
    EXPECT_EQ(f.ButtonUsciteDistinte->Caption.Get(), "Uscite distinte");
    EXPECT_FALSE(f.StripUscita->Visible);  // shared outputs: no output selector

    f.DistinctOutputs = 1;
    Arrange();
    EXPECT_TRUE(f.StripUscita->Visible);
    EXPECT_TRUE(f.RadioUscita[3]->Visible);
    EXPECT_FALSE(f.RadioUscita[4]->Visible);
    EXPECT_EQ(f.ButtonUsciteDistinte->Caption.Get(), "Uscite uguali");
}

TEST_F(ComponentDataTest, TheMainFunctionRowOffersTheAmplificationsOfItsBits) {
    f.ResetSections();
    f.SetPortFlags(2);
    f.MainFunction = 1 | 4;
    Arrange();
    EXPECT_TRUE(f.PanelFunzione->Visible);
    EXPECT_TRUE(f.RadioFunzione[0]->Visible);
    EXPECT_TRUE(f.RadioFunzione[1]->Visible);
    EXPECT_FALSE(f.RadioFunzione[2]->Visible);
    EXPECT_TRUE(f.RadioFunzione[3]->Visible);
    EXPECT_EQ(f.RadioFunzione[1]->Caption.Get(), "Amplificazione  ingressi");
    // Input amplification first, then the function, then the outputs.
    EXPECT_LT(f.RadioFunzione[1]->Left, f.RadioFunzione[0]->Left);
    EXPECT_LT(f.RadioFunzione[0]->Left, f.RadioFunzione[3]->Left);
    // Room for the seven stage rows below the two value rows.
    EXPECT_GE(f.PanelFunzione->Top, f.RowCaption[1]->Top + 20 * 6);
}

TEST_F(ComponentDataTest, SectionsStackInTheirColumns) {
    f.ResetSections();
    f.ShowStructure = 1;
    f.ElectricalWord = 0x08 | 0x07;
    f.PositionsWord = 0xFF;
    f.OtherFeatures = 0x01;
    f.SetPortFlags(12);
    f.LabelNome->Caption = "Filtro F1";
    Arrange();
    // Left column: signals, structure, commercial data, auxiliary articles.
    const std::vector<TControl*> left = {f.GroupSegnali, f.GroupStruttura, f.GroupCommerciali,
                                         f.GroupAusiliari};
    for (size_t i = 1; i < left.size(); ++i) {
        EXPECT_EQ(left[i]->Left, 8);
        EXPECT_GE(left[i]->Top, left[i - 1]->Top + left[i - 1]->Height + 16);
    }
    // Right column: electrical, positions, other features, then the library.
    const std::vector<TControl*> right = {f.GroupElettrici, f.GroupPosizioni, f.GroupCaratteristiche};
    for (size_t i = 0; i < right.size(); ++i) {
        EXPECT_EQ(right[i]->Left, 593);
        EXPECT_EQ(right[i]->Width, 195);
        if (i) {
            EXPECT_EQ(right[i]->Top, right[i - 1]->Top + right[i - 1]->Height + 16);
        }
    }
    EXPECT_GE(f.GroupLibreria->Top, f.GroupCaratteristiche->Top + f.GroupCaratteristiche->Height);
    EXPECT_EQ(f.GroupLibreria->Top, f.GroupCommerciali->Top);
    // The buttons below both columns, "Ok" right of "Annulla".
    EXPECT_EQ(f.ButtonAnnulla->Left, 607);
    EXPECT_EQ(f.ButtonOk->Left, 607 + f.ButtonAnnulla->Width + 16);
    EXPECT_GE(f.ButtonOk->Top, f.GroupAusiliari->Top + f.GroupAusiliari->Height);
    EXPECT_GE(f.ButtonOk->Top, f.GroupLibreria->Top + f.GroupLibreria->Height);
    EXPECT_GE(f.ClientHeight, f.ButtonOk->Top + f.ButtonOk->Height);
    EXPECT_EQ(f.Width, 800);
    EXPECT_FALSE(f.LabelNome->Visible);
    EXPECT_EQ(f.Caption.Get(), "Ordivex Varne - Dati componenti: Filtro F1");

    // Without the signals section the structure comes first.
    f.ShowSignals = 0;
    Arrange();
    EXPECT_FALSE(f.GroupSegnali->Visible);
    EXPECT_EQ(f.GroupStruttura->Top, 8);
}

TEST_F(ComponentDataTest, CommercialLinesFollowTheirSwitches) {
    f.ResetSections();
    Arrange();
    EXPECT_FALSE(f.ComboForma->Visible);
    EXPECT_FALSE(f.EditArea->Visible);
    EXPECT_TRUE(f.EditNoteInt->Visible);
    EXPECT_TRUE(f.ComboConnettore->Visible);
    EXPECT_FALSE(f.ComboConnOut->Visible);
    EXPECT_TRUE(f.EditCodice->Visible);
    EXPECT_LT(f.EditNoteInt->Top, f.EditNote->Top);
    EXPECT_LT(f.EditNote->Top, f.EditCodice->Top);
    EXPECT_LT(f.EditCodice->Top, f.EditDescrizione->Top);

    f.ShowCommercial = 0;
    f.AntennaKind[1] = 1;
    Arrange();
    EXPECT_FALSE(f.EditNoteInt->Visible);
    EXPECT_TRUE(f.ComboForma->Visible);
    EXPECT_FALSE(f.EditDiametro->Visible);
    EXPECT_TRUE(f.EditArea->Visible);
    EXPECT_EQ(f.ComboVelocita->Width, 41);

    f.AntennaKind[1] = 0;
    f.AntennaKind[0] = 1;
    Arrange();
    EXPECT_FALSE(f.ComboForma->Visible);
    EXPECT_TRUE(f.EditDiametro->Visible);
    EXPECT_EQ(f.ComboVelocita->Width, 65);
}

TEST_F(ComponentDataTest, TheBandHeaderShowsTheBandsOfTheBandSystem) {
    const TSistemaBande* bands = SistemaBandeCorrente;
    ASSERT_EQ(bands->bandCount, 11);
    f.ShowValueTable();
    for (int c = 0; c < 11; ++c) {
        const TBanda& b = bands->bands[static_cast<size_t>(c)];
        EXPECT_EQ(f.BandCell[0][c]->Text.Get(), b.bandName);
        EXPECT_EQ(f.BandCell[1][c]->Text.Get(), FormatFloat("#0", b.lowest));
        EXPECT_EQ(f.BandCell[2][c]->Text.Get(), FormatFloat("#0", b.reference));
        EXPECT_EQ(f.BandCell[3][c]->Text.Get(), FormatFloat("#0", b.highest));
    }
    f.HideBandHeader();
    EXPECT_FALSE(f.BandCaption[0]->Visible);
    EXPECT_FALSE(f.BandCell[2][4]->Visible);
    f.BandSystem = globals.BandSystems().FindById(BandSystemOldId);
    f.ShowBandHeader();
    EXPECT_TRUE(f.BandCell[0][9]->Visible);
    EXPECT_FALSE(f.BandCell[0][10]->Visible);
}

TEST_F(ComponentDataTest, ValueEditsAddressTheTableOfTheCurrentKindModuleAndOutput) {
    struct Case {
        int kind;
        int module;
        int output;
        int outputs;
        TBandRow* row;  // row 3 of the table the edits address
    };
    // clang-format off
    const Case cases[] = {
        {TableMainFunction, 2, 0, 1, &f.MainTable[2][3]},
        {TableInputAmplification, 1, 0, 1, &f.InputAmpTable[1][3]},
        {TableThroughAmplification, 4, 0, 1, &f.ThroughAmpTable[4][3]},
        {TableOutputAmplification, 1, 5, 6, &f.OutputAmpTable[1][5][3]},
        {TableOutputAmplification, 1, 5, 1, &f.SingleOutputTable(1)[3]},
    };
    // clang-format on
    for (const Case& c : cases) {
        f.CurrentKind = c.kind;
        f.CurrentModule = c.module;
        f.CurrentOutput = c.output;
        f.OutputCount = c.outputs;
        (*c.row)[6] = 17.0f;
        f.ShowValueTable();
        EXPECT_EQ(f.ValueEdit[3][6]->Text.Get(), "17") << c.kind;
        f.ValueEdit[3][6]->Text = "18,25";
        f.StoreValueTable();
        EXPECT_FLOAT_EQ((*c.row)[6], 18.25f) << c.kind;
    }
}

TEST_F(ComponentDataTest, DistinctRowsTravelPerOutput) {
    f.OutputCount = 3;
    f.DistinctRow[0] = 1;
    f.DistinctRow[1] = 4;
    f.CurrentKind = TableMainFunction;
    f.CurrentModule = 0;
    f.DistinctOutputRows[0][2][0][0] = 5.0f;
    f.DistinctOutputRows[0][2][1][0] = 6.0f;
    f.CurrentOutput = 2;
    f.ShowValueTable();
    EXPECT_EQ(f.ValueEdit[1][0]->Text.Get(), "5");
    EXPECT_EQ(f.ValueEdit[4][0]->Text.Get(), "6");
    f.ValueEdit[1][0]->Text = "7";
    f.StoreValueTable();
    EXPECT_FLOAT_EQ(f.DistinctOutputRows[0][2][0][0], 7.0f);

    // Shared outputs: the distinct rows of every module go to output 0.
    f.DistinctOutputs = 0;
    f.MainTable[3][4][2] = 9.0f;
    f.CopyDistinctRows();
    EXPECT_FLOAT_EQ(f.DistinctOutputRows[3][0][1][2], 9.0f);
    f.DistinctOutputRows[3][0][1][2] = 1.0f;
    f.DistinctOutputs = 1;
    f.CopyDistinctRows();
    EXPECT_FLOAT_EQ(f.DistinctOutputRows[3][0][1][2], 1.0f);
}

TEST_F(ComponentDataTest, ModuleAndOutputDataCopyWhole) {
    f.MainTable[3][0][0] = 1.0f;
    f.InputAmpTable[3][6][2] = 2.0f;
    f.ThroughAmpTable[3][1][1] = 3.0f;
    f.OutputAmpTable[3][7][2][5] = 4.0f;
    f.DistinctOutputRows[3][19][1][14] = 5.0f;
    f.BandRowByte[3] = 1;
    TCanale channel;
    channel.name = "S12";
    channel.freqLow = 11000.0f;
    f.ChannelLists[3].Insert(channel);
    f.CopyModuleData(1, 3);
    EXPECT_FLOAT_EQ(f.MainTable[1][0][0], 1.0f);
    EXPECT_FLOAT_EQ(f.InputAmpTable[1][6][2], 2.0f);
    EXPECT_FLOAT_EQ(f.ThroughAmpTable[1][1][1], 3.0f);
    EXPECT_FLOAT_EQ(f.OutputAmpTable[1][7][2][5], 4.0f);
    EXPECT_FLOAT_EQ(f.DistinctOutputRows[1][19][1][14], 5.0f);
    EXPECT_EQ(f.BandRowByte[1], 1);
    ASSERT_EQ(f.ChannelLists[1].Count(), 1);
    EXPECT_EQ(f.ChannelLists[1].head->name, "S12");
    EXPECT_EQ(f.ChannelLists[3].Count(), 1);

    f.CurrentModule = 1;
    f.CopyOutputData(0, 7);
    EXPECT_FLOAT_EQ(f.OutputAmpTable[1][0][2][5], 4.0f);
    EXPECT_FLOAT_EQ(f.SingleOutputTable(1)[2][5], 4.0f);
}

TEST_F(ComponentDataTest, CancelGivesTwoAndOkWithoutACellGivesOne) {
    f.ButtonAnnulla->Click();
    EXPECT_EQ(f.ModalResult.Get(), mrCancel);
    f.ModalResult = mrNone;
    f.ButtonOk->Click();
    EXPECT_EQ(f.ModalResult.Get(), mrOk);
}

}  // namespace
