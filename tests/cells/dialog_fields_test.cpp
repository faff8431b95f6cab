// Every cell field the component-data form edits, to its control and back,
// with the conversions on the way.
#include <gtest/gtest.h>

#include <memory>

#include "cells/factory.h"
#include "cells/filters.h"
#include "cells/library_cells.h"
#include "cells/terminations.h"
#include "core/globals.h"
#include "core/info.h"
#include "core/libraries.h"
#include "core/options.h"
#include "document/grid.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"
#include "support/test_cells.h"

namespace {

constexpr int32_t DefaultOrder[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

class DialogFieldsTest : public GlobalsTest {
protected:
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TDatiComponenti& f = dialog.Get();
    TCellaProva cell{nullptr, 0, 0};

    void Fill() { Fill(cell); }
    void Fill(TCella& c) {
        c.FillDataDialog(&f, DefaultOrder);
        f.FormShow(nullptr);
    }
    void Read() { Read(cell); }
    void Read(TCella& c) {
        f.StoreValueTable();
        c.ReadDataDialog(&f, DefaultOrder);
    }
};

TEST_F(DialogFieldsTest, LevelValuesAndTheirSentinelsGoToTheValueEditsAndBack) {
    struct Case {
        float value;
        const char* shown;
    };
    // clang-format off
    const Case cases[] = {
        {LevelNone, ""}, {LevelBlocked, "*"}, {LevelRepeat, "<"}, {12.5f, "12,5"}, {3.456f, "3,46"}, {0.0f, "0"},
        {-3.0f, "-3"},
    };
    // clang-format on
    for (const Case& c : cases) {
        cell.Attenuation->Set3(0, 2, 4, c.value);
        Fill();
        EXPECT_EQ(f.ValueEdit[2][4]->Text.Get(), c.shown) << c.shown;
        cell.Attenuation->Set3(0, 2, 4, 99.0f);
        Read();
        EXPECT_EQ(cell.Attenuation->Get3(0, 2, 4), c.value == 3.456f ? 3.46f : c.value) << c.shown;
    }
    // A text that is no number reads as no value; the form never refuses it.
    Fill();
    f.ValueEdit[1][0]->Text = "abc";
    Read();
    EXPECT_EQ(cell.Attenuation->Get3(0, 1, 0), LevelNone);
}

TEST_F(DialogFieldsTest, BandColumnsBeyondTheBandSystemStayEmpty) {
    cell.Attenuation->Set3(0, 0, 10, 5.0f);
    cell.Attenuation->Set3(0, 0, 12, 7.0f);
    TSistemaBande* old = globals.BandSystems().FindById(BandSystemOldId);
    ASSERT_EQ(old->bandCount, 10);
    cell.BandSystem = old;
    Fill();
    EXPECT_EQ(f.ValueEdit[0][10]->Text.Get(), "");
    EXPECT_EQ(f.BandCell[0][9]->Text.Get(), old->bands[9].bandName);
    EXPECT_EQ(f.BandCell[0][10]->Text.Get(), "");
    // Slots past the edited columns come back as the cell held them.
    Read();
    EXPECT_FLOAT_EQ(cell.Attenuation->Get3(0, 0, 12), 7.0f);
    EXPECT_EQ(cell.BandSystem, old);
}

TEST_F(DialogFieldsTest, PriceGoesThroughTheCurrencyFormat) {
    struct Case {
        uint8_t currency;
        float price;
        const char* shown;
        const char* typed;
        float read;
    };
    // clang-format off
    const Case cases[] = {
        {CurrencyEuro, 1234.5f, "1.234,50", "1.234,50", 1234.5f},
        {CurrencyLire, 1500.0f, "1.500", "2.000", 2000.0f},
        {CurrencyEuro, 0.0f, "0,00", "", 0.0f},
        {CurrencyEuro, 3.0f, "3,00", "1,2,3", 0.0f},   // two separators: no number
        {CurrencyEuro, 3.0f, "3,00", "7,5", 7.5f},
    };
    // clang-format on
    for (const Case& c : cases) {
        cell.Currency = c.currency;
        cell.Price = c.price;
        Fill();
        EXPECT_EQ(f.EditPrezzo->Text.Get(), c.shown);
        EXPECT_EQ(f.ComboValuta->Text.Get(), TOpzioni::GetCurrencyName(c.currency));
        EXPECT_EQ(f.CurrencyIndex, c.currency);
        f.EditPrezzo->Text = c.typed;
        Read();
        EXPECT_FLOAT_EQ(cell.Price, c.read) << c.typed;
        EXPECT_EQ(cell.Currency, c.currency);
    }
}

TEST_F(DialogFieldsTest, InstallationMinutesCurrentsAndQuantitiesThroughTheirMasks) {
    struct Case {
        int32_t minutes;
        float current;
        float quantity;
        const char* minutesShown;
        const char* currentShown;
        const char* quantityShown;
    };
    // clang-format off
    const Case cases[] = {
        {-500001, 0.0f, LevelNone, "", "0", ""},
        {45, 12.5f, 2.0f, "45", "12,5", "2"},
        {-3, 120.456f, 1.25f, "", "120,46", "1,3"},
        {0, LevelNone, 0.0f, "0", "", "0"},
    };
    // clang-format on
    for (const Case& c : cases) {
        cell.InstallMinutes = c.minutes;
        cell.Current1 = c.current;
        cell.Current2 = c.current;
        cell.AuxQuantity[1] = c.quantity;
        Fill();
        EXPECT_EQ(f.EditInstallazione->Text.Get(), c.minutesShown);
        EXPECT_EQ(f.EditCorrente->Text.Get(), c.currentShown);
        EXPECT_EQ(f.EditCorrenteInterno->Text.Get(), c.currentShown);
        EXPECT_EQ(f.AuxQuantita[1]->Text.Get(), c.quantityShown);
    }
    struct Typed {
        const char* minutes;
        const char* current;
        const char* quantity;
        int32_t minutesRead;
        float currentRead;
        float quantityRead;
    };
    // clang-format off
    const Typed typed[] = {
        {"", "", "", -500001, LevelNone, LevelNone},
        {"30", "7,25", "3,5", 30, 7.25f, 3.5f},
        {"tanti", "molti", "x", -500001, LevelNone, LevelNone},
        {"12", "*", "4", 12, LevelBlocked, 4.0f},
    };
    // clang-format on
    for (const Typed& t : typed) {
        f.EditInstallazione->Text = t.minutes;
        f.EditCorrente->Text = t.current;
        f.EditCorrenteInterno->Text = t.current;
        f.AuxQuantita[0]->Text = t.quantity;
        Read();
        EXPECT_EQ(cell.InstallMinutes, t.minutesRead) << t.minutes;
        EXPECT_EQ(cell.Current1, t.currentRead) << t.current;
        EXPECT_EQ(cell.Current2, t.currentRead) << t.current;
        EXPECT_EQ(cell.AuxQuantity[0], t.quantityRead) << t.quantity;
    }
}

TEST_F(DialogFieldsTest, TextsGoWholeBothWays) {
    cell.Description = "Filtro canale 21";
    cell.Article = "FC21";
    cell.Notes = "Nota lunga";
    cell.InternalNotes = "Interna";
    cell.ExternalNotes = "Esterna";
    cell.Brand = "Marca";
    cell.Code = "COD-1";
    cell.Series = "Serie S";
    cell.Category = "Filtri";
    cell.AuxLibrary[0] = "Varne";
    cell.AuxCode[0] = "X1";
    Fill();
    const std::pair<TEdit*, const char*> shown[] = {
        {f.EditDescrizione, "Filtro canale 21"},
        {f.EditArticolo, "FC21"},
        {f.EditNote, "Nota lunga"},
        {f.EditNoteInt, "Interna"},
        {f.EditNoteEst, "Esterna"},
        {f.EditMarca, "Marca"},
        {f.EditCodice, "COD-1"},
        {f.EditSerie, "Serie S"},
        {f.EditCategoria, "Filtri"},
    };
    for (const auto& [edit, text] : shown) EXPECT_EQ(edit->Text.Get(), text);
    EXPECT_EQ(f.AuxLibreria[0]->Text.Get(), "Varne");
    EXPECT_EQ(f.AuxCodice[0]->Text.Get(), "X1");
    for (const auto& [edit, text] : shown) edit->Text = AnsiString(text) + " è";
    f.AuxLibreria[1]->Text = "Altra";
    f.AuxCodice[1]->Text = "Y2";
    Read();
    EXPECT_EQ(cell.Description, "Filtro canale 21 è");
    EXPECT_EQ(cell.Article, "FC21 è");
    EXPECT_EQ(cell.Notes, "Nota lunga è");
    EXPECT_EQ(cell.InternalNotes, "Interna è");
    EXPECT_EQ(cell.ExternalNotes, "Esterna è");
    EXPECT_EQ(cell.Brand, "Marca è");
    EXPECT_EQ(cell.Code, "COD-1 è");
    EXPECT_EQ(cell.Series, "Serie S è");
    EXPECT_EQ(cell.Category, "Filtri è");
    EXPECT_EQ(cell.AuxLibrary[1], "Altra");
    EXPECT_EQ(cell.AuxCode[1], "Y2");
}

TEST_F(DialogFieldsTest, ConnectorChoicesAreComboIndexes) {
    struct Case {
        uint8_t choice;
        int index;
    };
    for (const Case& c : {Case{0, 0}, Case{2, 2}, Case{255, -1}, Case{7, -1}}) {
        cell.Choice1 = c.choice;
        cell.Choice2 = 9;
        Fill();
        EXPECT_EQ(f.ComboConnettore->ItemIndex.Get(), c.index) << int(c.choice);
        Read();
        EXPECT_EQ(cell.Choice1, c.index < 0 ? 255 : c.choice);
        EXPECT_EQ(cell.Choice2, 0);
    }
    f.ComboConnettore->ItemIndex = 1;
    Read();
    EXPECT_EQ(cell.Choice1, 1);
}

TEST_F(DialogFieldsTest, CheckBoxesAreTheBitsOfTheirWords) {
    struct Case {
        uint32_t* word;
        uint32_t bit;
        TCheckBox* box;
        const char* name;
    };
    // clang-format off
    const Case cases[] = {
        {&cell.Power[PowerSupply][0], 8, f.CheckAlimInterno, "Alimentatore interno"},
        {&cell.Power[PowerSupply][0], 16, f.CheckAlimEsterno, "Alimentatore esterno"},
        {&cell.Power[PowerSupply][0], 1, f.CheckPort[0][0], "Riceve: Ingressi"},
        {&cell.Power[PowerSupply][0], 2, f.CheckPort[0][1], "Riceve: Passanti"},
        {&cell.Power[PowerSupply][0], 4, f.CheckPort[0][2], "Riceve: Uscite"},
        {&cell.Power[PowerFeeds][0], 1, f.CheckPort[1][0], "Alimenta: Ingressi"},
        {&cell.Power[PowerFeeds][0], 4, f.CheckPort[1][2], "Alimenta: Uscite"},
        {&cell.Power[PowerRefuses][0], 2, f.CheckPort[2][1], "Non accetta: Passanti"},
        {&cell.Positions[0], 1, f.CheckCentrale, "Centrale di testa"},
        {&cell.Positions[0], 2, f.CheckSottostazione, "Sottostazione"},
        {&cell.Positions[0], 4, f.CheckLinea, "Linea"},
        {&cell.Positions[0], 8, f.CheckPrimoLinea, "Primo linea"},
        {&cell.Positions[0], 16, f.CheckUltimoLinea, "Ultimo linea"},
        {&cell.Positions[0], 32, f.CheckPalo1, "Palo (primo)"},
        {&cell.Positions[0], 64, f.CheckPresa, "Presa"},
        {&cell.Positions[0], 128, f.CheckPalo2, "Palo (ultimo)"},
        {&cell.Characteristics[0], 1, f.CheckDigitale, "Componente digitale"},
        {&cell.Characteristics[0], 2, f.CheckOttico, "Componente ottico"},
        {&cell.Characteristics[0], 4, f.CheckLnbQuad, "LNB Quad"},
    };
    // clang-format on
    for (const Case& c : cases) {
        *c.word = c.bit;
        Fill();
        EXPECT_TRUE(c.box->Checked) << c.name;
        c.box->Checked = false;
        Read();
        EXPECT_EQ(*c.word & c.bit, 0u) << c.name;
        c.box->Checked = true;
        Read();
        EXPECT_EQ(*c.word & c.bit, c.bit) << c.name;
        *c.word = 0;
        Fill();
        EXPECT_FALSE(c.box->Checked) << c.name;
    }
}

TEST_F(DialogFieldsTest, APortBoxOfASupplyGroupSetsTheGroupsMask) {
    for (int g = 0; g < 3; ++g)
        for (int p = 0; p < 3; ++p) {
            f.CheckPort[g][p]->Checked = true;
            Read();
            EXPECT_EQ(cell.Power[g][1 + p], AllBits) << g << p;
            f.CheckPort[g][p]->Checked = false;
            Read();
            EXPECT_EQ(cell.Power[g][1 + p], 0u) << g << p;
        }
}

TEST_F(DialogFieldsTest, TheFirstElectricalBoxOfTerminationsAndOutletsDecidesLast) {
    // A termination: ticked means it does not refuse supply on its inputs.
    TChiusura termination(nullptr, 0, 0, 0, 0, 1);
    termination.Power[PowerRefuses][0] = 0;
    Fill(termination);
    EXPECT_TRUE(f.CheckChiusuraDC->Checked);
    f.CheckPort[2][0]->Checked = true;  // the general box says otherwise; the first box wins
    Read(termination);
    EXPECT_EQ(termination.Power[PowerRefuses][0], 0u);
    EXPECT_EQ(termination.Power[PowerRefuses][1], 0u);
    f.CheckChiusuraDC->Checked = false;
    Read(termination);
    EXPECT_EQ(termination.Power[PowerRefuses][0], 1u);
    EXPECT_EQ(termination.Power[PowerRefuses][1], AllBits);
    termination.Power[PowerRefuses][0] = 1;
    Fill(termination);
    EXPECT_FALSE(f.CheckChiusuraDC->Checked);

    // An outlet: ticked means it takes supply on its tap outputs.
    std::unique_ptr<TCella> outlet(NewCella(nullptr, CodeEndOutlet, 0, 0, 0, 0, 1));
    ASSERT_NE(outlet, nullptr);
    outlet->Power[PowerSupply][0] = 4;
    Fill(*outlet);
    EXPECT_TRUE(f.CheckChiusuraDC->Checked);
    f.CheckChiusuraDC->Checked = false;
    f.CheckPort[0][2]->Checked = true;
    Read(*outlet);
    EXPECT_EQ(outlet->Power[PowerSupply][0] & 4u, 0u);
    EXPECT_EQ(outlet->Power[PowerSupply][3], 0u);
    f.CheckChiusuraDC->Checked = true;
    f.CheckPort[0][2]->Checked = false;
    Read(*outlet);
    EXPECT_EQ(outlet->Power[PowerSupply][0] & 4u, 4u);
    EXPECT_EQ(outlet->Power[PowerSupply][3], AllBits);
}

TEST_F(DialogFieldsTest, AFilterEditsItsThroughAttenuationInTheFirstRow) {
    TFiltroS filter(nullptr, 0, 0, 0, 0);
    filter.Attenuation->Set3(0, 1, 0, 1.0f);
    filter.Attenuation->Set3(0, 0, 0, 2.0f);
    filter.FillDataDialogDefault(&f);
    f.FormShow(nullptr);
    EXPECT_EQ(f.ValueEdit[0][0]->Text.Get(), "1");
    EXPECT_EQ(f.ValueEdit[1][0]->Text.Get(), "2");
    f.ValueEdit[0][0]->Text = "5";
    f.StoreValueTable();
    filter.ReadDataDialogDefault(&f);
    EXPECT_FLOAT_EQ(filter.Attenuation->Get3(0, 1, 0), 5.0f);
    EXPECT_FLOAT_EQ(filter.Attenuation->Get3(0, 0, 0), 2.0f);
}

TEST_F(DialogFieldsTest, RowsOfAMissingColumnShowNothingAndChangeNothing) {
    const int32_t order[10] = {1, -1, 0, 3, -1, -1, -1, -1, -1, -1};
    cell.Attenuation->Set3(0, 0, 0, 4.0f);
    cell.Attenuation->Set3(0, 1, 0, 5.0f);
    cell.FillDataDialog(&f, order);
    f.FormShow(nullptr);
    EXPECT_EQ(f.ValueEdit[0][0]->Text.Get(), "5");
    EXPECT_EQ(f.ValueEdit[1][0]->Text.Get(), "");
    EXPECT_EQ(f.ValueEdit[2][0]->Text.Get(), "4");
    f.ValueEdit[1][0]->Text = "9";
    f.StoreValueTable();
    cell.ReadDataDialog(&f, order);
    EXPECT_FLOAT_EQ(cell.Attenuation->Get3(0, 0, 0), 4.0f);
    EXPECT_FLOAT_EQ(cell.Attenuation->Get3(0, 1, 0), 5.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 2, 0), LevelNone);
}

TEST_F(DialogFieldsTest, LevelTablesKeepOnlyThePagesThatHoldData) {
    cell.TableRows = 3;
    cell.LevelTableA->Init(0, 3, 7, BandSlots);
    cell.LevelTableA->AllocateTop();
    cell.LevelTableA->AllocateRow(1);
    cell.LevelTableA->Set3(1, 4, 2, 10.0f);
    cell.FillDataDialog(&f, DefaultOrder);
    EXPECT_FLOAT_EQ(f.InputAmpTable[1][4][2], 10.0f);
    EXPECT_EQ(f.InputAmpTable[0][4][2], LevelNone);
    EXPECT_EQ(f.ThroughAmpTable[1][4][2], LevelNone);

    // Page 1 emptied, page 2 given data: only page 2 is kept.
    f.InputAmpTable[1][4][2] = LevelNone;
    f.InputAmpTable[2][6][0] = 20.0f;
    cell.ReadDataDialog(&f, DefaultOrder);
    ASSERT_TRUE(cell.LevelTableA->HasBlocks3());
    EXPECT_EQ(cell.LevelTableA->Size2(), 3);
    EXPECT_EQ(cell.LevelTableA->Block3(0), nullptr);
    EXPECT_EQ(cell.LevelTableA->Block3(1), nullptr);
    ASSERT_NE(cell.LevelTableA->Block3(2), nullptr);
    EXPECT_FLOAT_EQ(cell.LevelTableA->Get3(2, 6, 0), 20.0f);
    EXPECT_EQ(cell.LevelTableA->Get3(2, 5, 0), LevelNone);

    // A matrix left empty frees the table.
    f.InputAmpTable[2][6][0] = LevelNone;
    cell.ReadDataDialog(&f, DefaultOrder);
    EXPECT_FALSE(cell.LevelTableA->HasBlocks3());
    // The single-output stage is output 0 of the output stages.
    f.SingleOutputTable(0)[3][1] = 4.0f;
    EXPECT_FLOAT_EQ(f.OutputAmpTable[0][0][3][1], 4.0f);
    cell.ReadDataDialog(&f, DefaultOrder);
    EXPECT_FLOAT_EQ(cell.LevelTableC->Get3(0, 3, 1), 4.0f);
}

TEST_F(DialogFieldsTest, MatrixTablesTravelWithTheModuleDataFlag) {
    cell.TableRows = 2;
    cell.MatrixColumns = 3;
    cell.MatrixDepth = 2;
    cell.MatrixTableA->Init(2, 3, 2, BandSlots);
    cell.MatrixTableA->Allocate();
    cell.MatrixTableA->Set4(1, 2, 1, 5, 7.0f);
    cell.MatrixTableB->Init(2, 3, 7, BandSlots);
    cell.MatrixTableB->AllocateTop();
    cell.MatrixTableB->AllocateRow(0);
    cell.MatrixTableB->AllocateBlock(0, 1);
    cell.MatrixTableB->Set4(0, 1, 6, 3, 30.0f);
    f.OutputAmpTable[0][2][6][3] = 99.0f;  // a missing block shows as no value
    cell.FillDataDialog(&f, DefaultOrder);
    EXPECT_EQ(f.ModuleData, 1);
    EXPECT_FLOAT_EQ(f.DistinctOutputRows[1][2][1][5], 7.0f);
    EXPECT_FLOAT_EQ(f.OutputAmpTable[0][1][6][3], 30.0f);
    EXPECT_EQ(f.OutputAmpTable[0][2][6][3], LevelNone);

    // Back: blocks without data are not kept.
    f.OutputAmpTable[0][1][6][3] = LevelNone;
    f.OutputAmpTable[1][2][0][0] = 1.0f;
    f.DistinctOutputRows[0][0][0][0] = 2.0f;
    cell.ReadDataDialog(&f, DefaultOrder);
    EXPECT_FLOAT_EQ(cell.MatrixTableA->Get4(0, 0, 0, 0), 2.0f);
    EXPECT_FLOAT_EQ(cell.MatrixTableA->Get4(1, 2, 1, 5), 7.0f);
    ASSERT_TRUE(cell.MatrixTableB->HasBlocks4());
    EXPECT_EQ(cell.MatrixTableB->Block4(0, 1), nullptr);
    ASSERT_NE(cell.MatrixTableB->Block4(1, 2), nullptr);
    EXPECT_FLOAT_EQ(cell.MatrixTableB->Get4(1, 2, 0, 0), 1.0f);

    // Without the flag both tables go.
    f.ModuleData = 0;
    cell.ReadDataDialog(&f, DefaultOrder);
    EXPECT_FALSE(cell.MatrixTableA->HasBlocks4());
    EXPECT_FALSE(cell.MatrixTableB->HasBlocks4());
    cell.FillDataDialog(&f, DefaultOrder);
    EXPECT_EQ(f.ModuleData, 0);
}

TEST_F(DialogFieldsTest, AuxiliaryArticlesShowTheCategoryAndDescriptionOfTheirLibraryEntry) {
    TempDir dir;
    const AnsiString path = dir.Path() + "/Accessori.alb";
    ASSERT_TRUE(TLibreria::CreateFile(path));
    {
        TLibreria writer;
        writer.fileName = path;
        ASSERT_TRUE(writer.Open(true));
        TFiltroS entry(nullptr, 0, 0, 0, 0);
        entry.Code = "ACC1";
        entry.Category = "Filtri passivi";
        entry.Description = "Filtro di prova";
        ASSERT_TRUE(WriteLibraryCell(writer, entry));
        writer.Close();
    }
    auto* library = new TLibreria;
    library->fileName = path;
    libraries.Get().Append(std::unique_ptr<TLibreria>(library));

    cell.AuxLibrary[0] = "accessori";  // names match regardless of case
    cell.AuxCode[0] = "ACC1";
    cell.AuxLibrary[1] = "Accessori";
    cell.AuxCode[1] = "MANCA";
    f.AuxCategoria[1]->Text = "vecchio";
    f.AuxDescrizione[1]->Text = "vecchio";
    Fill();
    EXPECT_EQ(f.AuxCategoria[0]->Text.Get(), "Filtri passivi");
    EXPECT_EQ(f.AuxDescrizione[0]->Text.Get(), "Filtro di prova");
    EXPECT_EQ(f.AuxCategoria[1]->Text.Get(), "");
    EXPECT_EQ(f.AuxDescrizione[1]->Text.Get(), "");
}

}  // namespace
