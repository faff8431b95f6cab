// The custom-component editor headless: its grids and port records in and
// out, the symbol's size, the two steps with the strict analysis, and the
// palette and codes panel lent by the main window.
#include "dialogs/custom_editor.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "cells/anchors.h"
#include "cells/custom_cell.h"
#include "cells/filters.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "dialogs/codes_palette.h"
#include "cells/component_data.h"
#include "dialogs/component_palette.h"
#include "platform/application.h"
#include "support/custom_cells.h"
#include "support/globals_fixture.h"
#include "support/program_fixture.h"
#include "view/draw_window.h"

namespace {

TScript& Script() { return Application->Script(); }

// Ports on all four borders of a 4 x 4 symbol, entries and exits on
// squares of their own.
const std::vector<TPuntoPorta> Entries = {{0, 0, 0}, {3, 1, 1}, {0, 3, 2}, {0, 1, 3}};
const std::vector<TPuntoPorta> Exits = {{2, 3, 0}, {0, 2, 1}, {2, 0, 2}, {3, 2, 3}};

class CustomEditorTest : public GlobalsTest {
protected:
    CustomEditorTest() { Script().Reset(); }
    void LoadFourBorders() {
        TGridData symbol(nullptr, 4, 4, GridSymbol);
        symbol.InsertCell(std::make_unique<TFiltroS>(nullptr, 0, 0, 1, 1), false, 0);
        editor.LoadDrawing(symbol, Entries, Exits, 4, 4);
    }
    // Stores the drawing into fresh tables of zeros.
    void Store(std::vector<TPuntoPorta>& entries, std::vector<TPuntoPorta>& exits) {
        entries.assign(4, TPuntoPorta{});
        exits.assign(4, TPuntoPorta{});
        editor.StoreDrawing(stored, entries, exits);
    }
    // Runs "Cambia dimensioni" answering the dialog with these texts.
    void ChangeSize(const char* columns, const char* rows) {
        Script().AnswerShowModal<TCambiaDimensioni>([=](TCambiaDimensioni& d) {
            d.EColonne->Text = columns;
            d.ERighe->Text = rows;
            d.BOk->Click();
        });
        editor.CambiaDimensioni1->Click();
    }
    TDatiCellaCustom editor;
    TGridData stored{nullptr, 1, 1, GridSymbol};
};

TEST_F(CustomEditorTest, FormTabsAndMenu) {
    EXPECT_EQ(editor.Caption.Get(), "Ordivex Varne - Definizione componente personalizzato");
    EXPECT_EQ(editor.WindowState.Get(), wsMaximized);
    ASSERT_EQ(editor.TabControl->Tabs->Count(), 2);
    EXPECT_EQ(editor.TabControl->Tabs->Strings(0), "Struttura");
    EXPECT_EQ(editor.TabControl->Tabs->Strings(1), "Disegno");
    editor.AddTab("Disegno");
    EXPECT_EQ(editor.TabControl->Tabs->Count(), 2);
    EXPECT_EQ(editor.Menu.Get(), editor.MainMenu);
    EXPECT_EQ(editor.Visualizza1->Caption.Get(), "&Visualizza");
    EXPECT_EQ(editor.CambiaDimensioni1->Caption.Get(), "Cambia dimensioni");
    EXPECT_EQ(editor.BAvanti->Caption.Get(), "Avanti >>");
    EXPECT_EQ(editor.BOk->Caption.Get(), "Ok");
    EXPECT_EQ(editor.BAnnulla->Caption.Get(), "Annulla");
    EXPECT_EQ(editor.SymbolGrid.Kind, GridSymbol);
    EXPECT_EQ(editor.StructureGrid.Kind, GridCustom);
    editor.SelectTab("Disegno");
    EXPECT_EQ(editor.DrawWindow->Grid(), &editor.SymbolGrid);
    editor.SelectTab("Struttura");
    EXPECT_EQ(editor.DrawWindow->Grid(), &editor.StructureGrid);
    // The buttons stand at the right end of the status bar's line.
    editor.ArrangeLayout();
    EXPECT_EQ(editor.BAvanti->Left + editor.BAvanti->Width, editor.ClientWidth.Get());
    EXPECT_EQ(editor.BAnnulla->Left + editor.BAnnulla->Width + 2, editor.BAvanti->Left.Get());
    EXPECT_EQ(editor.BOk->Left + editor.BOk->Width + 2, editor.BAnnulla->Left.Get());
}

TEST_F(CustomEditorTest, PortsOnAllFourBordersComeBackAsTheyWent) {
    LoadFourBorders();
    ASSERT_EQ(editor.SymbolGrid.Columns, 6);
    ASSERT_EQ(editor.SymbolGrid.Rows, 6);
    // The anchor's square by its record (entry side s on border s, an exit
    // on the opposite one), its number the record's index + 1.
    const struct {
        int32_t column, row, type;
        const char* number;
        int32_t orientation;
    } anchors[] = {{1, 0, CodeEntryAnchor, "1", 0}, {5, 2, CodeEntryAnchor, "2", 1},
                   {1, 5, CodeEntryAnchor, "3", 2}, {0, 2, CodeEntryAnchor, "4", 3},
                   {3, 5, CodeExitAnchor, "1", 0},  {0, 3, CodeExitAnchor, "2", 1},
                   {3, 0, CodeExitAnchor, "3", 2},  {5, 3, CodeExitAnchor, "4", 3}};
    for (const auto& a : anchors) {
        SCOPED_TRACE(std::to_string(a.column) + "," + std::to_string(a.row));
        TCella* cell = editor.SymbolGrid.CellAt(a.column, a.row);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->TypeCode, a.type);
        EXPECT_EQ(cell->Code, a.number);
        EXPECT_EQ(cell->Orientation, a.orientation);
    }
    // The symbol sits inside the border.
    ASSERT_NE(editor.SymbolGrid.CellAt(2, 2), nullptr);
    EXPECT_EQ(editor.SymbolGrid.CellAt(2, 2)->TypeCode, CodeFiltroS);

    std::vector<TPuntoPorta> entries, exits;
    Store(entries, exits);
    EXPECT_EQ(entries, Entries);
    EXPECT_EQ(exits, Exits);
    EXPECT_EQ(stored.Columns, 4);
    EXPECT_EQ(stored.Rows, 4);
    ASSERT_NE(stored.CellAt(1, 1), nullptr);
    EXPECT_EQ(stored.CellAt(1, 1)->TypeCode, CodeFiltroS);
}

TEST_F(CustomEditorTest, OneSquareSymbolBecomesThreeByThree) {
    TGridData symbol(nullptr, 1, 1, GridSymbol);
    editor.LoadDrawing(symbol, {{0, 0, 0}}, {{0, 0, 0}}, 1, 1);
    EXPECT_EQ(editor.SymbolGrid.Columns, 3);
    EXPECT_EQ(editor.SymbolGrid.Rows, 3);
    ASSERT_NE(editor.SymbolGrid.CellAt(1, 0), nullptr);
    EXPECT_EQ(editor.SymbolGrid.CellAt(1, 0)->TypeCode, CodeEntryAnchor);
    ASSERT_NE(editor.SymbolGrid.CellAt(1, 2), nullptr);
    EXPECT_EQ(editor.SymbolGrid.CellAt(1, 2)->TypeCode, CodeExitAnchor);
}

TEST_F(CustomEditorTest, AnchorsThatNameNoPortOrStandOffTheBorderChangeNoRecord) {
    TGridData symbol(nullptr, 4, 4, GridSymbol);
    const std::vector<TPuntoPorta> three = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
    editor.LoadDrawing(symbol, three, {}, 3, 0);
    const struct {
        const char* name;
        const char* number;
        int32_t column, row;
    } cases[] = {{"number beyond the ports", "7", 4, 5},
                 {"no number", "x", 4, 5},
                 {"number 0", "0", 4, 5},
                 {"inside the symbol", "2", 2, 2},
                 {"in a corner", "2", 5, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto anchorOwned = std::make_unique<TAncoraI>(&editor.SymbolGrid, 0, 0, c.column, c.row);
        auto* anchor = anchorOwned.get();
        anchor->Code = c.number;
        ASSERT_TRUE(editor.SymbolGrid.InsertCell(std::move(anchorOwned), false, 0));
        std::vector<TPuntoPorta> entries = three, exits;
        editor.StoreDrawing(stored, entries, exits);
        EXPECT_EQ(entries, three);
        editor.SymbolGrid.RemoveCell(anchor, false, 0);
    }
}

TEST_F(CustomEditorTest, ChangeSize) {
    const std::string error = "Errore nei parametri.";
    // Refused sizes leave the symbol as it is and say why.
    const struct {
        const char* columns;
        const char* rows;
    } refused[] = {{"0", "4"}, {"51", "4"}, {"4", "51"}, {"abc", "4"}, {"4", ""}, {"2", "4"}, {"4", "2"}};
    LoadFourBorders();
    for (const auto& r : refused) {
        SCOPED_TRACE(std::string(r.columns) + " x " + r.rows);
        Script().Reset();
        ChangeSize(r.columns, r.rows);
        ASSERT_EQ(Script().MessageBoxes.size(), 1u);
        EXPECT_EQ(Script().MessageBoxes[0].Text, error);
        EXPECT_EQ(Script().MessageBoxes[0].Caption, "Ordivex Varne");
        EXPECT_EQ(Script().MessageBoxes[0].Flags, MB_OK | MB_ICONINFORMATION);
        EXPECT_EQ(editor.SymbolGrid.Columns, 6);
        EXPECT_EQ(editor.SymbolGrid.Rows, 6);
    }
    // Above: the drawing needs 2 x 2, the ports of the top and bottom borders
    // 3 columns, those of the left and right borders 3 rows; the right and
    // bottom borders themselves move. The least size is taken.
    Script().Reset();
    ChangeSize("3", "3");
    EXPECT_TRUE(Script().MessageBoxes.empty());
    EXPECT_EQ(editor.SymbolGrid.Columns, 5);
    ASSERT_NE(editor.SymbolGrid.CellAt(4, 2), nullptr);
    EXPECT_EQ(editor.SymbolGrid.CellAt(4, 2)->Code, "2");  // entry 2 on the right border

    // A larger size: every port stays on its border.
    Script().Reset();
    ChangeSize("7", "5");
    EXPECT_TRUE(Script().MessageBoxes.empty());
    EXPECT_EQ(editor.SymbolGrid.Columns, 9);
    EXPECT_EQ(editor.SymbolGrid.Rows, 7);
    EXPECT_EQ(editor.DrawWindow->Grid(), &editor.SymbolGrid);  // "Disegno" is shown
    std::vector<TPuntoPorta> entries, exits;
    Store(entries, exits);
    std::vector<TPuntoPorta> expectedEntries = Entries, expectedExits = Exits;
    expectedEntries[1].Column = 6;  // the right border
    expectedEntries[2].Row = 4;     // the bottom border
    expectedExits[0].Row = 4;
    expectedExits[3].Column = 6;
    EXPECT_EQ(entries, expectedEntries);
    EXPECT_EQ(exits, expectedExits);

    // The largest size, then back to the first.
    ChangeSize("50", "50");
    EXPECT_EQ(editor.SymbolGrid.Columns, 52);
    EXPECT_EQ(editor.SymbolGrid.Rows, 52);
    ChangeSize("4", "4");
    Store(entries, exits);
    EXPECT_EQ(entries, Entries);
    EXPECT_EQ(exits, Exits);
}

TEST_F(CustomEditorTest, CheckStructureShowsEveryMessage) {
    const char* const messages[] = {
        "Esiste una interruzione nella cella marcata con 'Err'.",
        "Un ingresso del componente marcato con 'Err' non è raggiungibile dal terminale di testa.",
        "Un segnale entra nella cella marcata con 'Err' da un punto che non è un ingresso.",
        "La linea terminata in 'Err' esce da un divisore o da un demiscelatore, oppure passa attraverso un "
        "derivatore o switch. E' necessario inserire una resistenza di chiusura.",
        "Un ingresso del componente marcato con 'Err' non è raggiungibile dalle antenne.",
        "Esiste un ciclo tra le uscite automiscelanti marcate con 'Err'.",
        "Le uscite automiscelanti vanno chiuse con una resistenza da un lato.",
        "Gli ingressi automiscelanti vanno chiusi con una resistenza da un lato.",
        "Le uscite automiscelanti vanno chiuse con una resistenza da un solo lato.",
        "Non è possibile automiscelare uscite di filtri con uscite di amplificatori.",
    };
    for (int code = 1; code <= 10; ++code) {
        Script().Reset();
        editor.CheckStructure(3, 3, &editor.StructureGrid, code);
        ASSERT_EQ(Script().MessageBoxes.size(), 1u) << code;
        EXPECT_EQ(Script().MessageBoxes[0].Text, messages[code - 1]);
        EXPECT_EQ(Script().MessageBoxes[0].Caption, "Ordivex Varne");
        EXPECT_EQ(Script().MessageBoxes[0].Flags, MB_OK | MB_ICONEXCLAMATION);
    }
    // Another grid's error, or a code of no message, shows nothing.
    Script().Reset();
    editor.CheckStructure(3, 3, &editor.SymbolGrid, 1);
    editor.CheckStructure(3, 3, &editor.StructureGrid, 11);
    EXPECT_TRUE(Script().MessageBoxes.empty());
}

TEST_F(CustomEditorTest, StepsRunTheStrictAnalysis) {
    // An entry anchor whose line ends on an empty square, far to the right.
    TGridData structure(nullptr, CustomStructureSize, CustomStructureSize, GridCustom);
    structure.InsertCell(std::unique_ptr<TCella>(EntryAnchor("1")), false, 0);
    TCella* anchor = structure.CellAt(0, 0);
    ASSERT_NE(anchor, nullptr);
    std::unique_ptr<TCella> taken = structure.TakeOutCell(anchor);
    anchor->Column = 97;
    anchor->Row = 60;
    ASSERT_TRUE(structure.InsertCell(std::move(taken), false, 0));
    editor.LoadStructure(structure);
    editor.SelectTab("Disegno");
    editor.ArrangeLayout();
    editor.BAvanti->Click();
    EXPECT_EQ(editor.BAvanti->Caption.Get(), "Avanti >>");
    EXPECT_EQ(editor.StructureGrid.Step, 1);
    EXPECT_EQ(editor.DrawWindow->Grid(), &editor.StructureGrid);
    ASSERT_EQ(Script().MessageBoxes.size(), 1u);
    EXPECT_EQ(Script().MessageBoxes[0].Text, "Esiste una interruzione nella cella marcata con 'Err'.");
    EXPECT_EQ(Script().MessageBoxes[0].Flags, MB_OK | MB_ICONEXCLAMATION);
    const TErroreCircuito& e = *GestoreErrori->PendingError();
    EXPECT_EQ(editor.StructureGrid.ErrorMark(e.Column, e.Row), 1);
    // In view, and never scrolled past the last column.
    const int visible = editor.DrawWindow->VisibleColCount();
    EXPECT_GE(e.Column, editor.DrawWindow->LeftCol.Get());
    EXPECT_LT(e.Column, editor.DrawWindow->LeftCol + visible);
    EXPECT_LE(editor.DrawWindow->LeftCol + visible, CustomStructureSize);
    EXPECT_GE(e.Row, editor.DrawWindow->TopRow.Get());
    EXPECT_LT(e.Row, editor.DrawWindow->TopRow + editor.DrawWindow->VisibleRowCount());

    // A sound structure: numbered, step 2 in both grids, range selection.
    std::unique_ptr<TCellaCustom> splitter = MakeCustomSplitter(nullptr, 0, 0);
    editor.LoadStructure(GridOf(splitter->Structure));
    Script().Reset();
    editor.BAvanti->Click();
    EXPECT_TRUE(Script().MessageBoxes.empty());
    EXPECT_EQ(editor.BAvanti->Caption.Get(), "<< Indietro");
    EXPECT_EQ(editor.StructureGrid.Step, 2);
    EXPECT_EQ(editor.SymbolGrid.Step, 2);
    EXPECT_TRUE(editor.DrawWindow->Options.Get().Contains(goRangeSelect));
    bool numbered = false;
    for (TCella* c = editor.StructureGrid.Anchor; c; c = c->NextCell) numbered |= c->SequenceNumber > 0;
    EXPECT_TRUE(numbered);
    editor.BAvanti->Click();
    EXPECT_EQ(editor.BAvanti->Caption.Get(), "Avanti >>");
    EXPECT_EQ(editor.StructureGrid.Step, 1);
    EXPECT_EQ(editor.SymbolGrid.Step, 1);
}

// ---------------------------------------------------------------- over the main window

TEST(CustomEditorProgram, PanelsAreLentAndGivenBackHoweverTheEditorCloses) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    Opzioni->showToolbar = true;
    Opzioni->showCodesPanel = true;
    TWinControl* paletteParent = f.Palette->Parent;
    TWinControl* codesParent = f.CodesPanel->Parent;
    const bool paletteVisible = f.Palette->Visible;
    const bool codesVisible = f.CodesPanel->Visible;
    const struct {
        const char* name;
        std::function<void(TDatiCellaCustom&)> close;
        int result;
    } ways[] = {{"Ok", [](TDatiCellaCustom& e) { e.BOk->Click(); }, 1},
                {"Annulla", [](TDatiCellaCustom& e) { e.BAnnulla->Click(); }, 2},
                {"close box", [](TDatiCellaCustom& e) { e.Close(); }, mrCancel}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        TDatiCellaCustom editor;
        EXPECT_EQ(f.Palette->Parent.Get(), editor.TabControl);
        EXPECT_EQ(f.CodesPanel->Parent.Get(), editor.TabControl);
        EXPECT_EQ(f.Palette->DrawWindow, editor.DrawWindow);
        EXPECT_EQ(editor.DrawWindow->Palette, f.Palette);
        EXPECT_TRUE(f.Palette->Visible && f.CodesPanel->Visible);
        Script().AnswerShowModal<TDatiCellaCustom>([&](TDatiCellaCustom& e) {
            // The form opens on "Struttura": tools of mode 3; "Disegno" of mode 2.
            EXPECT_EQ(e.DrawWindow->Grid(), &e.StructureGrid);
            EXPECT_EQ(f.Palette->Mode(), 3);
            e.TabControl->SelectByUser(1);
            EXPECT_EQ(e.DrawWindow->Grid(), &e.SymbolGrid);
            EXPECT_EQ(f.Palette->Mode(), 2);
            way.close(e);
        });
        EXPECT_EQ(editor.ShowModal(), way.result);
        EXPECT_EQ(f.Palette->Parent.Get(), paletteParent);
        EXPECT_EQ(f.CodesPanel->Parent.Get(), codesParent);
        EXPECT_EQ(f.Palette->DrawWindow, f.DrawWindow);
        EXPECT_EQ(f.Palette->Visible.Get(), paletteVisible);
        EXPECT_EQ(f.CodesPanel->Visible.Get(), codesVisible);
        EXPECT_EQ(f.Palette->Mode(), 1);  // the network page's tools again
    }
}

TEST(CustomEditorProgram, StructureButtonStoresTheCellBackOnlyOnOk) {
    ScopedProgram program;
    program.Start();
    std::unique_ptr<TCellaCustom> cell = MakeCustomSplitter(nullptr, 0, 0);
    TDatiComponenti* dialog = ComponentDataForm();
    dialog->EditedCell = cell.get();
    EXPECT_TRUE(dialog->ButtonStruttura->Visible);
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "Ok" : "Annulla");
        TDatiComponenti* inside = nullptr;
        Script().AnswerShowModal<TDatiCellaCustom>([&](TDatiCellaCustom& e) {
            inside = DatiComponenti;
            EXPECT_EQ(e.SymbolGrid.Columns, cell->Drawing->Columns + 2);
            EXPECT_TRUE(e.StructureGrid.HasComponents());
            e.SymbolGrid.InsertCell(std::make_unique<TFiltroS>(nullptr, 0, 0, 1, 1), false, 0);
            Script().AnswerShowModal<TCambiaDimensioni>([](TCambiaDimensioni& d) {
                d.EColonne->Text = "3";
                d.ERighe->Text = "3";
                d.BOk->Click();
            });
            e.CambiaDimensioni1->Click();
            (ok ? e.BOk : e.BAnnulla)->Click();
        });
        dialog->ButtonStruttura->Click();
        EXPECT_NE(inside, dialog);  // cells edited inside have a dialog of their own
        EXPECT_EQ(DatiComponenti, dialog);
        EXPECT_EQ(cell->Drawing->Columns, ok ? 3 : 2);
        EXPECT_EQ(cell->FootprintColumns, ok ? 3 : 2);
        EXPECT_EQ(cell->Drawing->CellAt(0, 0) != nullptr, ok);
    }
    dialog->EditedCell = nullptr;
}

}  // namespace
