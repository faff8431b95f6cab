// The library manager lists a library's entries, edits them in place and
// writes each edited entry back, never losing an entry on the way.
#include "dialogs/library_manager.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "app/estimate_page.h"
#include "cells/active_filters.h"
#include "cells/cables.h"
#include "cells/filters.h"
#include "cells/library_cells.h"
#include "core/libraries.h"
#include "core/options.h"
#include "cells/component_data.h"
#include "platform/application.h"
#include "platform/safe_files.h"
#include "support/file_bytes.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

struct EntrySpec {
    const char* code;
    const char* category;
    const char* series;
    float price;
    bool described;  // false: no attenuation at all (the entry fails its check)
};
const EntrySpec Fixture[] = {{"F3", "Filtri", "Alfa", 10.0f, true},
                             {"D1", "Derivatori", "Beta", 20.0f, true},
                             {"F1", "Filtri", "Beta", 30.0f, false},
                             {"D2", "Derivatori", "Alfa", 40.0f, true}};

class LibraryManagerTest : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    const std::string path = globals.Dir().File("prova.alb");
    TGestioneLibrerie form;

    LibraryManagerTest() {
        Application->Script().Reset();
        EXPECT_TRUE(TLibreria::CreateFile(path));
        auto* library = new TLibreria;
        library->fileName = path;
        libraries.Get().Append(std::unique_ptr<TLibreria>(library));
        EXPECT_TRUE(library->Open(true));
        for (const EntrySpec& e : Fixture) {
            TFiltroS cell(nullptr, 0, 0, 0, 0);
            cell.Code = e.code;
            cell.Category = e.category;
            cell.Series = e.series;
            cell.Article = std::string("Art ") + e.code;
            cell.Description = "Descr";
            cell.Currency = CurrencyEuro;
            cell.Price = e.price;
            if (e.described) cell.Attenuation->Set3(0, 1, 0, 1.5f);
            EXPECT_TRUE(WriteLibraryCell(*library, cell));
        }
        library->Close();
        form.LibreriaEnter(nullptr);
        form.Libreria->ItemIndex = 0;
        form.LibreriaChange(nullptr);
    }

    std::vector<std::string> Column(int col) {
        std::vector<std::string> out;
        for (int r = 1; r < form.Grid->RowCount; ++r) out.push_back(form.Grid->Cells[col][r]);
        return out;
    }
    int RowOf(const std::string& code) {
        for (int r = 1; r < form.Grid->RowCount; ++r)
            if (form.Grid->Cells[4][r] == code) return r;
        return -1;
    }
    // Types a text into a cell of the current row as the in-place editor does.
    void Type(int col, const std::string& text) {
        form.Grid->Col = col;
        form.Grid->GetEditText(col, form.Grid->Row);
        form.Grid->SetEditText(col, form.Grid->Row, text);
    }
    // Codes and prices of the library on file.
    std::string OnFile() {
        TLibreria l;
        l.fileName = path;
        std::string out;
        if (!l.Open(false)) return "unreadable";
        for (std::unique_ptr<TCella> cell = FirstLibraryCell(l); cell; cell = NextLibraryCell(l))
            out += cell->Code + ":" + cell->Description + ":" + std::to_string(int(cell->Currency)) + ":" +
                   std::to_string(cell->Price) + " ";
        return out;
    }
    const std::vector<TMessageBoxCall>& Boxes() { return Application->Script().MessageBoxes; }
};

TEST_F(LibraryManagerTest, LayoutAndListing) {
    EXPECT_EQ(form.Caption.Get(), "Ordivex Varne - Gestione librerie");
    EXPECT_EQ(form.Width, 800);
    EXPECT_EQ(form.Height, 570);
    EXPECT_EQ(form.LabelLibreria->Caption.Get(), "Libreria:");
    EXPECT_EQ(form.LabelCategoria->Caption.Get(), "Categoria:");
    EXPECT_EQ(form.LabelSerie->Caption.Get(), "Serie:");
    EXPECT_EQ(form.BVerifica->Caption.Get(), "Verifica");
    EXPECT_EQ(form.BChiudi->Caption.Get(), "Chiudi");
    const std::vector<std::string> headers = {"",         "Categoria",   "Marca",  "Serie", "Codice",
                                              "Articolo", "Descrizione", "Valuta", "Prezzo"};
    for (int c = 0; c < 9; ++c) EXPECT_EQ(form.Grid->Cells[c][0], headers[c]);
    // Empty filters list every entry, by category.
    EXPECT_EQ(Column(1), (std::vector<std::string>{"Derivatori", "Derivatori", "Filtri", "Filtri"}));
    const int d2 = RowOf("D2");
    ASSERT_GT(d2, 0);
    EXPECT_EQ(form.Grid->Cells[7][d2], "Euro");
    EXPECT_EQ(ReadAmount(form.Grid->Cells[8][d2]), 40.0);
    EXPECT_EQ(std::string(form.Grid->Cells[8][d2]).front(), ' ');  // padded on the left
    ASSERT_NE(form.CurrentEntry, nullptr);
    EXPECT_EQ(form.CurrentEntry->Code, std::string(form.Grid->Cells[4][1]));

    // Filters, then a filter that matches nothing: no rows, no edit.
    form.Categoria->Text = "Filtri";
    form.CategoriaChange(nullptr);
    EXPECT_EQ(Column(4), (std::vector<std::string>{"F3", "F1"}));
    form.Serie->Text = "Beta";
    form.SerieChange(nullptr);
    EXPECT_EQ(Column(4), (std::vector<std::string>{"F1"}));
    form.Categoria->Text = "Nessuna";
    form.CategoriaChange(nullptr);
    EXPECT_EQ(Column(4), (std::vector<std::string>{""}));
    EXPECT_EQ(form.CurrentEntry, nullptr);
    const std::string before = ReadFileBytes(path);
    Type(6, "Modificato");
    EXPECT_EQ(form.Grid->Cells[0][1], "");
    form.CommitPendingRow();
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(LibraryManagerTest, HeaderClickSortsOnce) {
    const TRect code = form.Grid->CellRect(4, 0);
    form.GridMouseDown(nullptr, mbLeft, {}, code.Left + 2, code.Top + 2);
    EXPECT_EQ(form.SortKey, 3);
    EXPECT_EQ(Column(4), (std::vector<std::string>{"D1", "D2", "F1", "F3"}));
    // The sorted column again: nothing happens, the listing stays as it is.
    form.Grid->Cells[6][1] = "segno";
    form.GridMouseDown(nullptr, mbLeft, {}, code.Left + 2, code.Top + 2);
    EXPECT_EQ(form.Grid->Cells[6][1], "segno");
}

// Each case edits the row of D2 and leaves it through the grid.
struct EditCase {
    const char* name;
    int col;
    const char* text;
    bool writeFails;       // the disk refuses the write
    const char* expected;  // the library on file afterwards; "" for unchanged
    const char* row4;      // column 4 of the edited row afterwards
};

TEST_F(LibraryManagerTest, EditsWrittenBack) {
    // clang-format off
    const EditCase cases[] = {
        {"description", 6, "Nuova", false,
         "F3:Descr:1:10.000000 D1:Descr:1:20.000000 F1:Descr:1:30.000000 D2:Nuova:1:40.000000 ", "D2"},
        {"code", 4, "D9", false,
         "F3:Descr:1:10.000000 D1:Descr:1:20.000000 F1:Descr:1:30.000000 D9:Descr:1:40.000000 ", "D9"},
        {"write fails", 6, "Nuova", true, "", "D2"},
        {"hidden code", 4, "F1", false, "", "F1"},
        {"empty code", 4, "", false, "", ""},
    };
    // clang-format on
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(TLibreria::CreateFile(path, true));
        TLibreria* library = libraries.Get().Find("prova");
        library->Open(true);
        for (const EntrySpec& e : Fixture) {
            TFiltroS cell(nullptr, 0, 0, 0, 0);
            cell.Code = e.code;
            cell.Category = e.category;
            cell.Series = e.series;
            cell.Article = std::string("Art ") + e.code;
            cell.Description = "Descr";
            cell.Price = e.price;
            WriteLibraryCell(*library, cell);
        }
        library->Close();
        form.Grid->Row = 1;
        form.LibreriaChange(nullptr);
        form.Categoria->Text = "Derivatori";  // F1 is hidden
        form.CategoriaChange(nullptr);
        form.Grid->Row = RowOf("D2");
        ASSERT_EQ(form.CurrentEntry->Code, "D2");
        Type(c.col, c.text);
        EXPECT_EQ(form.Grid->Cells[0][form.Grid->Row], "*");
        if (c.writeFails) file_faults::StopAt(0, file_faults::TStop::Error, ENOSPC);
        const std::string before = ReadFileBytes(path);
        const int row = form.Grid->Row;
        form.Grid->Row = row == 1 ? 2 : 1;
        const bool refused = std::string(c.expected).empty() && !c.writeFails;
        EXPECT_EQ(form.Grid->Row, refused ? row : (row == 1 ? 2 : 1));
        if (std::string(c.expected).empty())
            EXPECT_EQ(ReadFileBytes(path), before);
        else
            EXPECT_EQ(OnFile(), c.expected);
        EXPECT_EQ(form.Grid->Cells[4][row], c.row4);
        if (c.writeFails) {
            file_faults::Reset();
            EXPECT_EQ(std::string(form.Grid->Cells[6][row]), "Descr");  // the row shows what is on file
            ASSERT_FALSE(Boxes().empty());
            EXPECT_EQ(Boxes().back().Text.rfind("Impossibile scrivere la libreria ", 0), 0u);
        }
        // Leaving any other way restores a refused row from its entry.
        form.CommitPendingRow();
        EXPECT_EQ(form.Grid->Cells[0][row], "");
        EXPECT_EQ(ReadFileBytes(path), refused ? before : ReadFileBytes(path));
        Application->Script().Reset();
    }
}

// A head-end module entry saved by the manager carries its kind bit in the
// flag word of its first module, also when the entry on file had lost it.
TEST_F(LibraryManagerTest, SavedModuleEntryCarriesItsKindBit) {
    const struct {
        const char* code;
        std::function<std::unique_ptr<TCella>()> make;
        uint32_t bit;
    } cases[] = {
        {"M35", [] { return std::make_unique<TFiltroAT>(nullptr, 0, 0, 0, 0, 1, 1); }, 0x80000000u},
        {"M42", [] { return std::make_unique<TFiltroCAG>(nullptr, 0, 0, 0, 0, 1, 1); }, 0x40000000u},
        {"M37", [] { return std::make_unique<TConvertitore>(nullptr, 0, 0, 0, 0, 1, 1); }, 0x20000000u},
        {"M36", [] { return std::make_unique<TModulatore>(nullptr, 0, 0, 0, 0, 1); }, 0x10000000u},
    };
    TLibreria* library = libraries.Get().Find("prova");
    ASSERT_TRUE(library->Open(true));
    for (const auto& c : cases) {
        std::unique_ptr<TCella> cell(c.make());
        cell->Code = c.code;
        cell->Category = "Moduli";
        dynamic_cast<TCellaAutoMix&>(*cell).Modules->head->flags = 0;
        ASSERT_TRUE(WriteLibraryCell(*library, *cell));
    }
    library->Close();
    form.LibreriaChange(nullptr);
    form.Categoria->Text = "Moduli";
    form.CategoriaChange(nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        form.Grid->Row = RowOf(c.code);
        Type(6, "Modulo");
        form.CommitPendingRow();
        TLibreria onFile;
        onFile.fileName = path;
        ASSERT_TRUE(onFile.Open(false));
        std::unique_ptr<TCella> read = ReadLibraryCell(onFile, c.code);
        ASSERT_NE(read, nullptr);
        onFile.Close();
        auto* module = dynamic_cast<TCellaAutoMix*>(read.get());
        ASSERT_TRUE(module && module->Modules && module->Modules->head);
        EXPECT_EQ(read->Description, "Modulo");
        EXPECT_EQ(module->Modules->head->flags & 0xF0000000u, c.bit);
    }
}

TEST_F(LibraryManagerTest, EscapeRestoresCurrencyAndPrice) {
    form.Grid->Row = RowOf("D2");
    form.Grid->Col = 7;  // the currency combo opens over the cell
    ASSERT_TRUE(form.Valuta->Visible);
    EXPECT_EQ(form.Valuta->Text.Get(), "Euro");
    globals.Options().currencyFactors[CurrencyEuro][CurrencyLire] = 1936.27f;
    form.Valuta->Text = "Lire";
    form.ValutaChange(nullptr);
    EXPECT_EQ(form.Grid->Cells[0][form.Grid->Row], "*");
    EXPECT_EQ(ReadAmount(form.Grid->Cells[8][form.Grid->Row]), 77451.0);
    WORD key = VK_ESCAPE;
    form.ValutaKeyDown(nullptr, key, {});
    form.ValutaExit(nullptr);
    EXPECT_EQ(form.Grid->Cells[7][form.Grid->Row], "Euro");
    EXPECT_EQ(ReadAmount(form.Grid->Cells[8][form.Grid->Row]), 40.0);
    EXPECT_EQ(form.Grid->Cells[0][form.Grid->Row], "");
}

TEST_F(LibraryManagerTest, CurrencyChangeConvertsOrWarns) {
    globals.Options().currencyFactors[CurrencyEuro][CurrencyLire] = 2000.0f;
    globals.Options().currencyFactors[CurrencyLire][CurrencyEuro] = -1.0f;
    const int row = RowOf("D2");
    form.Grid->Row = row;
    form.Grid->Col = 7;
    form.Valuta->Text = "Lire";
    form.ValutaChange(nullptr);
    EXPECT_EQ(ReadAmount(form.Grid->Cells[8][row]), 80000.0);
    form.Valuta->Text = "Euro";
    form.ValutaChange(nullptr);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text,
              "Manca il fattore di conversione tra la valuta Lire e la valuta Euro. E' stato applicato il "
              "fattore 1.");
    EXPECT_EQ(ReadAmount(form.Grid->Cells[8][row]), 80000.0);
    form.ValutaExit(nullptr);
    form.Grid->Row = row == 1 ? 2 : 1;
    EXPECT_NE(OnFile().find("D2:Descr:1:80000.000000"), std::string::npos);
}

TEST_F(LibraryManagerTest, DoubleClickEditsTheEntryInTheDataDialog) {
    const int row = RowOf("D2");
    form.Grid->Row = row;
    // Cancel leaves the row unmarked.
    bool asked = false;
    Application->Script().AnswerShowModal<TDatiComponenti>([&](TDatiComponenti& f) {
        asked = true;
        f.ButtonAnnulla->Click();
    });
    form.GridDblClick(nullptr);
    EXPECT_TRUE(asked);
    EXPECT_EQ(std::string(form.Grid->Cells[0][row]), "");
    EXPECT_EQ(form.EditClone, nullptr);
    // OK marks the row; the entry is written when the row is left.
    Type(6, "Dal dialogo");
    Application->Script().AnswerShowModal<TDatiComponenti>([](TDatiComponenti& f) { f.ButtonOk->Click(); });
    form.GridDblClick(nullptr);
    EXPECT_EQ(std::string(form.Grid->Cells[0][row]), "*");
    EXPECT_EQ(std::string(form.Grid->Cells[6][row]), "Dal dialogo");
    EXPECT_EQ(OnFile().find("Dal dialogo"), std::string::npos);
    form.Grid->Row = row == 1 ? 2 : 1;
    EXPECT_NE(OnFile().find("D2:Dal dialogo:1:40.000000"), std::string::npos);
    EXPECT_EQ(form.EditClone, nullptr);
}

TEST_F(LibraryManagerTest, VerifyListsOnlyFaultyEntries) {
    GestoreErrori->SetTarget(nullptr);  // a check that spoke would show a box of its own
    form.VerifyLibrary();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, "I componenti elencati in tabella contengono errori.");
    EXPECT_EQ(Column(4), (std::vector<std::string>{"F1"}));
    ASSERT_NE(form.CurrentEntry, nullptr);
    EXPECT_EQ(form.CurrentEntry->Code, "F1");

    // Without the faulty entry the listing stays as it was.
    TLibreria* library = libraries.Get().Find("prova");
    ASSERT_TRUE(library->Open(true));
    ASSERT_TRUE(library->DeleteEntry("F1"));
    library->Close();
    form.LibreriaChange(nullptr);
    form.Categoria->Text = "Derivatori";
    form.CategoriaChange(nullptr);
    const std::vector<std::string> listed = Column(4);
    Application->Script().Reset();
    form.VerifyLibrary();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, "I componenti della libreria selezionata sono corretti.");
    EXPECT_EQ(Column(4), listed);
}

// A cable article has no length: only a cable without its loss per 100 m is
// faulty, as the default library's cables show.
TEST_F(LibraryManagerTest, VerifyJudgesCableArticlesByTheirLoss) {
    GestoreErrori->SetTarget(nullptr);
    TLibreria* library = libraries.Get().Find("prova");
    ASSERT_TRUE(library->Open(true));
    ASSERT_TRUE(library->DeleteEntry("F1"));
    for (const char* code : {"GCX-05", "GCX-LOSSLESS"}) {
        TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
        cable.Code = code;
        cable.Category = "Cavi";
        cable.Series = "GCX";
        if (std::string(code) == "GCX-05")
            for (int32_t b = 0; b < 5; ++b) cable.Attenuation->Set3(0, 0, b, 2.0f + static_cast<float>(b));
        ASSERT_EQ(cable.PassAttenuation(), CableLengthNone);
        ASSERT_TRUE(WriteLibraryCell(*library, cable));
    }
    library->Close();
    form.LibreriaChange(nullptr);
    form.VerifyLibrary();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, "I componenti elencati in tabella contengono errori.");
    EXPECT_EQ(Column(4), (std::vector<std::string>{"GCX-LOSSLESS"}));
    // The check leaves the entries as they were: still no length.
    int cables = 0;
    for (TCella* c = form.Entries.head; c; c = c->NextInList) {
        auto* cable = dynamic_cast<TNCavo*>(c);
        if (!cable) continue;
        EXPECT_EQ(cable->PassAttenuation(), CableLengthNone) << c->Code;
        ++cables;
    }
    EXPECT_EQ(cables, 2);
}

TEST_F(LibraryManagerTest, NewLibrary) {
    const std::string fresh = globals.Dir().File("nuova.alb");
    ASSERT_TRUE(CreateNewLibrary(fresh));
    const std::string bytes = ReadFileBytes(fresh);
    EXPECT_EQ(bytes, std::string("alb 6.0.0   \x09\0\0\0\0\x15\0\0\0", 21));
    TLibreria* library = libraries.Get().Find("nuova");
    ASSERT_NE(library, nullptr);
    ASSERT_TRUE(library->Open(false));
    EXPECT_EQ(FirstLibraryCell(*library), nullptr);
    library->Close();
    form.LibreriaEnter(nullptr);
    EXPECT_GE(form.Libreria->Items->IndexOf("nuova"), 0);

    // An existing file is replaced only after OK.
    const std::string full = ReadFileBytes(path);
    Application->Script().AnswerMessageBox(IDCANCEL);
    EXPECT_FALSE(CreateNewLibrary(path));
    EXPECT_EQ(Boxes().back().Text, "Il file " + path + " è già esistente. Sovrascrivere?");
    EXPECT_EQ(ReadFileBytes(path), full);
    Application->Script().AnswerMessageBox(IDOK);
    EXPECT_TRUE(CreateNewLibrary(path));
    EXPECT_EQ(ReadFileBytes(path), bytes);

    // A name registered from another folder is refused, and nothing is written.
    const std::string other = globals.Dir().File("altro");
    mkdir(other.c_str(), 0755);
    Application->Script().Reset();
    EXPECT_FALSE(CreateNewLibrary(other + "/prova.alb"));
    EXPECT_EQ(Boxes().back().Text, "Esiste già una libreria di nome prova.");
    struct stat st;
    EXPECT_NE(stat((other + "/prova.alb").c_str(), &st), 0);
}

// Names as a person gives them in the save dialog: letters beyond ASCII make
// a library found by that name; a folder that is not there or a name too long
// for the system is said with its cause, and no library is listed.
TEST_F(LibraryManagerTest, NewLibraryNamesOfAnyLettersAndNamesThatCannotBeMade) {
    const std::string accented = globals.Dir().File("Listino è già €.alb");
    ASSERT_TRUE(CreateNewLibrary(accented));
    TLibreria* library = libraries.Get().Find("Listino è già €");
    ASSERT_NE(library, nullptr);
    ASSERT_TRUE(library->Open(false));
    EXPECT_EQ(FirstLibraryCell(*library), nullptr);
    library->Close();

    const std::string longName = std::string(300, 'x');
    struct Case {
        std::string file, cause;
    } cases[] = {
        {globals.Dir().File("manca") + "/nuova.alb", "il file o la cartella non esiste"},
        {globals.Dir().File(longName + ".alb"), "nome troppo lungo"},
    };
    for (const Case& c : cases) {
        Application->Script().Reset();
        EXPECT_FALSE(CreateNewLibrary(c.file)) << c.cause;
        ASSERT_EQ(Boxes().size(), 1u) << c.cause;
        EXPECT_EQ(Boxes()[0].Text,
                  "Impossibile scrivere la libreria " + c.file + ". Causa: " + c.cause + ".");
        EXPECT_EQ(libraries.Get().Find(FileBaseName(c.file)), nullptr) << c.cause;
    }
}

}  // namespace
