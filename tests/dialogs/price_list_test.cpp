// The price-list form: picking an element from the library tree, the price's
// format, adding articles to the estimate page, and its run from the page's
// trailing row.
#include "dialogs/price_list.h"

#include <gtest/gtest.h>

#include <string>

#include "app/estimate_page.h"
#include "cells/filters.h"
#include "core/libraries.h"
#include "core/options.h"
#include "document/estimate.h"
#include "document/project.h"
#include "platform/application.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

class PriceListTest : public GlobalsTest {
protected:
    PriceListTest() {
        Application->Script().Reset();
        project.Reset(true);
        page.SetProject(&project);
        page.BuildEstimate();
        form.AttachTo(&page);
        AddLibrary("Varne");
    }
    void AddLibrary(const std::string& name) {
        const std::string path = globals.Dir().File(name + ".alb");
        ASSERT_TRUE(TLibreria::CreateFile(path));
        auto* library = new TLibreria;
        library->fileName = path;
        libraries.Get().Append(std::unique_ptr<TLibreria>(library));
        ASSERT_TRUE(library->Open(true));
        struct Entry {
            const char* code;
            float price;
            uint8_t currency;
            int32_t minutes;
        } entries[] = {{"F1", 1234.5f, CurrencyEuro, 7}, {"F2", 25000.0f, CurrencyLire, -1}};
        for (const Entry& e : entries) {
            TFiltroS cell(nullptr, 0, 0, 0, 0);
            cell.Category = "Filtri";
            cell.Code = e.code;
            cell.Article = AnsiString("Art ") + e.code;
            cell.Brand = "Ov";
            cell.Description = "Filtro";
            cell.Price = e.price;
            cell.Currency = e.currency;
            cell.InstallMinutes = e.minutes;
            TMemoryStream record;
            cell.Save(record, LibraryVersion);
            ASSERT_TRUE(library->AppendEntry(record.Bytes()));
        }
        library->Close();
    }
    TTreeNode* Node(const AnsiString& text) {
        for (TTreeNode* n = form.TreeComponenti->Items->GetFirstNode(); n; n = n->GetNext())
            if (n->Text.Get() == text) return n;
        return nullptr;
    }
    void DoubleClick(const AnsiString& text) {
        TTreeNode* n = Node(text);
        ASSERT_NE(n, nullptr) << text;
        form.TreeComponenti->Selected = n;
        form.TreeComponentiDblClick(form.TreeComponenti);
    }
    // Shows the form once so that it fills its tree.
    void ShowOnce() {
        Application->Script().AnswerShowModal<TDatiListino>([](TDatiListino&) {});
        TVoceListino item;
        form.Execute(item, CurrencyEuro);
    }

    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    TProgetto project{nullptr};
    TPaginaPreventivo page{nullptr};
    TDatiListino form{nullptr};
};

TEST_F(PriceListTest, ShowingPreparesTheFieldsAndHidesTheLibraryButtons) {
    form.Codice->Text = "OLD";
    form.Quantita->Text = "5";
    bool seen = false;
    Application->Script().AnswerShowModal<TDatiListino>([&](TDatiListino& f) {
        seen = true;
        EXPECT_EQ(f.Codice->Text.Get(), "");
        EXPECT_EQ(f.Quantita->Text.Get(), "1");
        EXPECT_EQ(f.Valuta->Text.Get(), "Euro");
        EXPECT_FALSE(f.Valuta->Enabled);
        EXPECT_TRUE(f.Categoria->ReadOnly);
        EXPECT_FALSE(f.BAggiungi->Visible);
        EXPECT_FALSE(f.BAggiorna->Visible);
        EXPECT_FALSE(f.BElimina->Visible);
        f.BAnnullaClick(nullptr);
    });
    TVoceListino item;
    EXPECT_EQ(form.Execute(item, CurrencyEuro), 2);
    EXPECT_TRUE(seen);
    EXPECT_EQ(form.Caption.Get(), "Ordivex Varne - Listino componenti");
    EXPECT_NE(Node("F1"), nullptr);
}

TEST_F(PriceListTest, DoubleClickOnAComponentFillsTheFieldsButTheQuantity) {
    ShowOnce();
    form.Quantita->Text = "3";
    DoubleClick("Varne");
    DoubleClick("Filtri");
    EXPECT_EQ(form.Codice->Text.Get(), "");
    DoubleClick("F1");
    EXPECT_EQ(form.Codice->Text.Get(), "F1");
    EXPECT_EQ(form.Articolo->Text.Get(), "Art F1");
    EXPECT_EQ(form.Marca->Text.Get(), "Ov");
    EXPECT_EQ(form.Descrizione->Text.Get(), "Filtro");
    EXPECT_EQ(form.Categoria->Text.Get(), "Filtri");
    EXPECT_EQ(form.Valuta->Text.Get(), "Euro");
    EXPECT_EQ(form.Prezzo->Text.Get(), "1.234,50");
    EXPECT_EQ(form.Installazione->Text.Get(), "7");
    EXPECT_EQ(form.Quantita->Text.Get(), "3");
    DoubleClick("F2");
    EXPECT_EQ(form.Valuta->Text.Get(), "Lire");
    EXPECT_EQ(form.CurrentCurrency, CurrencyLire);
    EXPECT_EQ(form.Prezzo->Text.Get(), "25.000");
    EXPECT_EQ(form.Installazione->Text.Get(), "");
}

TEST_F(PriceListTest, LibraryMadeLaterIsListedWhenLibrariesChange) {
    ShowOnce();
    AddLibrary("Altra");
    EXPECT_EQ(Node("Altra"), nullptr);
    form.LibrariesChanged();
    EXPECT_NE(Node("Altra"), nullptr);
}

// An amount is written with the currency's mask on leaving the field; a text
// that is no amount stays as typed, so that "A listino" names its fault
// instead of adding a price the person did not type.
TEST_F(PriceListTest, PriceIsFormattedOnLeavingIt) {
    const std::string huge = "4" + std::string(38, '0');
    struct Case {
        std::string typed;
        std::string shown;
    } cases[] = {{"1234,5", "1.234,50"}, {" 7 ", "7,00"},    {"", "0,00"},
                 {"-10", "-10"},         {"dieci", "dieci"}, {huge, huge}};
    for (const Case& c : cases) {
        form.CurrentCurrency = CurrencyEuro;
        form.Prezzo->Text = c.typed;
        form.PrezzoExit(form.Prezzo);
        EXPECT_EQ(form.Prezzo->Text.Get(), c.shown) << c.typed;
    }
}

TEST_F(PriceListTest, CurrencyChangeConvertsThePriceOrWarns) {
    form.CurrentCurrency = CurrencyEuro;
    form.Prezzo->Text = "10,00";
    form.Valuta->Text = "Lire";
    form.ValutaChange(form.Valuta);
    EXPECT_EQ(form.Prezzo->Text.Get(), "19.363");
    EXPECT_EQ(form.CurrentCurrency, CurrencyLire);

    globals.Options().currencyFactors[CurrencyLire][CurrencyEuro] = LevelNone;
    form.Valuta->Text = "Euro";
    form.ValutaChange(form.Valuta);
    EXPECT_EQ(ShownMessage(),
              "Manca il fattore di conversione tra la valuta Lire e la valuta Euro. E' stato applicato il "
              "fattore 1.");
    EXPECT_EQ(form.Prezzo->Text.Get(), "19.363");
    EXPECT_EQ(form.CurrentCurrency, CurrencyEuro);

    // A price with a minus is no amount: neither converted nor turned positive.
    globals.Options().currencyFactors[CurrencyEuro][CurrencyLire] = 1936.27f;
    form.Prezzo->Text = "-10,00";
    form.Valuta->Text = "Lire";
    form.ValutaChange(form.Valuta);
    EXPECT_EQ(form.Prezzo->Text.Get(), "-10,00");
    EXPECT_EQ(form.CurrentCurrency, CurrencyEuro);
    EXPECT_EQ(form.Valuta->Text.Get(), "Euro");
}

TEST_F(PriceListTest, ToListAddsAndEmptiesOrKeepsTheFieldsOnARefusal) {
    const int rows = page.GridPreventivo->RowCount;
    form.Codice->Text = "ANT-1";
    form.Articolo->Text = "Antenna";
    form.Prezzo->Text = "10,00";
    form.Valuta->Text = "Euro";
    form.Quantita->Text = "2";
    form.BAListinoClick(form.BAListino);
    EXPECT_TRUE(project.Estimate->HasRow("ANT-1"));
    EXPECT_EQ(page.GridPreventivo->RowCount, rows + 1);
    EXPECT_EQ(form.Codice->Text.Get(), "");
    EXPECT_EQ(form.Articolo->Text.Get(), "");
    EXPECT_EQ(form.Prezzo->Text.Get(), "");
    EXPECT_EQ(form.Quantita->Text.Get(), "1");

    form.Codice->Text = "ANT-1";
    form.Articolo->Text = "Ancora";
    form.BAListinoClick(form.BAListino);
    EXPECT_EQ(ShownMessage(), "Il codice digitato è già esistente.");
    EXPECT_EQ(form.Codice->Text.Get(), "ANT-1");
    EXPECT_EQ(form.Articolo->Text.Get(), "Ancora");
    EXPECT_EQ(page.GridPreventivo->RowCount, rows + 1);
}

TEST_F(PriceListTest, TrailingRowRunsTheFormAndAddsItsArticle) {
    Application->Script().AnswerShowModal<TDatiListino>([](TDatiListino& f) {
        f.Codice->Text = "ANT-9";
        f.Prezzo->Text = "5";
        f.BOkClick(nullptr);
    });
    const int last = page.GridPreventivo->RowCount - 1;
    bool can = true;
    page.EstimateGridSelectCell(page.GridPreventivo, 3, last, can);
    EXPECT_FALSE(can);
    EXPECT_TRUE(project.Estimate->HasRow("ANT-9"));
    EXPECT_EQ(AnsiString(page.GridPreventivo->Cells[0][last]), "ANT-9");
    EXPECT_EQ(page.GridPreventivo->Col, 3);
    EXPECT_EQ(page.GridPreventivo->Row, last);
}

}  // namespace
