// The estimate page: filling the grid, the labour row and the total, adding
// and removing items, editing cells, the currency change and the notes.
#include "app/estimate_page.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "core/options.h"
#include "document/estimate.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/engines.h"
#include "platform/sysutils.h"
#include "support/globals_fixture.h"

namespace {

AnsiString Blanks(int n) { return AnsiString(n, ' '); }

TRigaPreventivo Row(const char* code, const char* unit, float quantity, float price, float minutes) {
    TRigaPreventivo r;
    r.Code = code;
    r.Article = AnsiString("Art ") + code;
    r.Brand = "Marca";
    r.Description = code == AnsiString(LabourCode) ? "Manodopera" : "Descr";
    r.Unit = unit;
    r.Quantity = quantity;
    r.UnitPrice = price;
    r.Minutes = minutes;
    return r;
}

class EstimatePageTest : public GlobalsTest {
protected:
    EstimatePageTest() {
        Application->Script().Reset();
        project.Reset(true);
        globals.Options().costM = 30.0f;
        TDatiPreventivo& e = *project.Estimate;
        e.Clear();
        e.Currency = CurrencyEuro;
        e.AddQuantity(Row("DR-410", UnitPieces, 1.0f, 12.5f, 5.0f));
        e.AddQuantity(Row("CX-17", UnitMetres, 12.57f, 0.8f, 2.0f));
        e.AddQuantity(Row(LabourCode, UnitHours, 0.0f, 30.0f, 0.0f));
        e.LabourPosition = 2;
        TRigaPreventivo labour;
        e.UpdateLabourRow(labour);
        project.EstimateOutOfDate = false;
        project.Modified = false;
        page.SetProject(&project);
        page.BuildEstimate();
    }
    AnsiString Cell(int col, int row) { return page.GridPreventivo->Cells[col][row]; }
    int Rows() { return page.GridPreventivo->RowCount; }
    TVoceListino Item(const char* code) {
        TVoceListino v;
        v.Code = code;
        v.Article = "Antenna";
        v.Brand = "Ov";
        v.Description = "UHF";
        v.Quantity = "2";
        v.Price = "10,00";
        v.Installation = "15";
        v.CurrencyName = "Euro";
        return v;
    }
    void Edit(int col, int row, const AnsiString& text) {
        page.GridPreventivo->Cells[col][row] = text;
        page.EstimateGridSetEditText(page.GridPreventivo, col, row, text);
    }
    bool Select(int col, int row) {
        bool can = true;
        page.EstimateGridSelectCell(page.GridPreventivo, col, row, can);
        return can;
    }

    void ChooseCurrency(const char* name) {
        page.Valuta->Text = name;
        page.ChangeEstimateCurrency(page.Valuta);
    }

    TProgetto project{nullptr};
    TPaginaPreventivo page{nullptr};
};

TEST(EstimateAmounts, PadLeftCountsSeparatorsAndTwoBlanksPerMissingCharacter) {
    struct Case {
        const char* text;
        int width, blanks;
    } cases[] = {{"3.0", 9, 13},
                 {"1.234,50", 12, 10},
                 {"1234567890123", 12, 0},
                 {"1.234.567,50", 11, 1},
                 {"", 40, 30}};
    for (const Case& c : cases) EXPECT_EQ(PadLeft(c.text, c.width), Blanks(c.blanks) + c.text) << c.text;
    EXPECT_EQ(FormatAmount("1"), Blanks(13) + "1");
    EXPECT_EQ(FormatAmount("12,6"), Blanks(11) + "12,6");
}

// A row reads quantity x unit price = total with the figures it shows: the
// quantity to tenths, the price to the currency's last digit, the product
// rounded half up to that digit.
TEST(EstimateAmounts, RowTotalIsTheShownQuantityTimesTheShownPrice) {
    struct Case {
        double quantity, price;
        int currency;
        double total;
    } cases[] = {
        {2.999, 10.0, CurrencyEuro, 30.0},    // shows 3 x 10,00
        {2.96, 10.005, CurrencyEuro, 30.03},  // shows 3 x 10,01
        {12.57f, 0.8f, CurrencyEuro, 10.08},  // shows 12,6 x 0,80
        {0.5, 0.15f, CurrencyEuro, 0.08},     // 0,075 rounds up
        {2.5, 0.01f, CurrencyEuro, 0.03},     // 0,025 rounds up
        {1.0, 0.0049f, CurrencyEuro, 0.01},   // a built page shows 0,01
        {1.5, 1001.0, CurrencyLire, 1502.0},  // 1.501,5 lire round up
        {0.5, 3.0, CurrencyLire, 2.0},
        {-2.0, 10.0, CurrencyEuro, 0.0},  // figures below zero count nothing
        {2.0, -10.0, CurrencyEuro, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(EstimateRowTotal(c.quantity, c.price, c.currency), c.total, 1e-9)
            << c.quantity << " x " << c.price;
    EXPECT_EQ(ReadAmount("   1.234,50"), 1234.5);
    EXPECT_EQ(ReadAmount("1a"), 1.0);
    EXPECT_EQ(ReadAmount("abc"), 0.0);
    EXPECT_EQ(ReadAmount("1,2,3"), 1.2);
}

TEST_F(EstimatePageTest, BuildFillsRowsPaddedAndTotalsTheShownRowTotals) {
    ASSERT_EQ(Rows(), 5);
    EXPECT_EQ(Cell(0, 1), "DR-410");
    EXPECT_EQ(Cell(6, 1), Blanks(13) + "1");
    EXPECT_EQ(Cell(6, 2), Blanks(11) + "12,6");
    EXPECT_EQ(Cell(7, 1), Blanks(15) + "12,50");
    EXPECT_EQ(Cell(4, 1), PadLeft("5", 9));
    EXPECT_EQ(Trim(Cell(8, 1)), "12,50");
    EXPECT_EQ(Trim(Cell(8, 2)), "10,08");
    EXPECT_EQ(Trim(Cell(8, 3)), "15,00");
    EXPECT_EQ(Cell(3, 3), "Manodopera");
    EXPECT_EQ(Cell(5, 3), "ore");
    EXPECT_EQ(Cell(4, 3), "");
    EXPECT_EQ(Trim(Cell(6, 3)), "0,5");
    for (int c = 0; c < EstimateColumns; ++c) {
        EXPECT_EQ(Cell(c, 4), "");
        EXPECT_EQ(Cell(c, 0), "");
    }
    EXPECT_EQ(page.Totale->Text.Get(), Blanks(13) + "37,58");
    EXPECT_EQ(page.Valuta->Text.Get(), "Euro");
    EXPECT_FALSE(project.Modified);
}

TEST_F(EstimatePageTest, TinyPriceShowsACentOnABuiltPage) {
    project.Estimate->AddQuantity(Row("X", UnitPieces, 1.0f, 0.0049f, 0.0f));
    page.BuildEstimate();
    EXPECT_EQ(Trim(Cell(7, 4)), "0,01");
}

TEST_F(EstimatePageTest, EditingAQuantityRefillsLabourAndTotal) {
    Edit(6, 1, "3");
    EXPECT_EQ(Trim(Cell(8, 1)), "37,50");
    EXPECT_EQ(Trim(Cell(6, 3)), "0,7");
    EXPECT_EQ(Trim(Cell(8, 3)), "21,00");
    EXPECT_EQ(Trim(page.Totale->Text.Get()), "68,58");
    EXPECT_TRUE(project.Modified);
    // A text the column does not take leaves the row as it was.
    EXPECT_NO_THROW(Edit(6, 1, "1a"));
    EXPECT_EQ(Trim(Cell(8, 1)), "37,50");
}

// What each amount column takes, and that a text it does not take never
// reaches the row: the row, its total and the estimate's keep the figures
// before (leaving the cell refuses the text, see the Qt suite).
TEST_F(EstimatePageTest, AmountColumnsTakeOnlyTheirFiguresAndTheRowKeepsItsOwn) {
    const std::string fifty(50, '9');
    struct Case {
        int col;
        std::string text;
        bool taken;
    } cases[] = {
        {4, "99999", true},           {4, "100000", false}, {4, "-3", false},     {4, "2,5", false},
        {6, fifty, false},            {6, "-5", false},     {6, "", false},       {6, "2 pz", false},
        {6, "99.999,9", true},        {6, "2,55", false},   {7, "nan", false},    {7, "1.234,5", true},
        {7, "3,5,7", false},          {7, "12,505", false}, {7, "100.000", false}, {7, "-10,00", false},
        {7, "4" + std::string(38, '0'), false},
    };
    const AnsiString total = page.Totale->Text;
    for (const Case& c : cases) {
        const TNumberRule rule = page.GridPreventivo->CellRule(c.col, 1);
        EXPECT_EQ(rule.Accepts(c.text), c.taken) << c.col << " " << c.text;
        if (c.taken) continue;
        const AnsiString before = Cell(8, 1);
        Edit(c.col, 1, c.text);
        const TRigaPreventivo& held = project.Estimate->Rows()[0];
        EXPECT_FLOAT_EQ(held.Minutes, 5.0f) << c.text;
        EXPECT_FLOAT_EQ(held.Quantity, 1.0f) << c.text;
        EXPECT_FLOAT_EQ(held.UnitPrice, 12.5f) << c.text;
        EXPECT_EQ(Cell(8, 1), before) << c.text;
        EXPECT_EQ(page.Totale->Text.Get(), total) << c.text;
    }
    EXPECT_FALSE(project.Modified);
    // The texts are declared as such; the total is worked out, never typed.
    for (int col : {0, 1, 2, 3, 5, 8})
        EXPECT_EQ(page.GridPreventivo->CellRule(col, 1).Kind(), TNumberRule::nrText) << col;
    // Lire have no decimals.
    ChooseCurrency("Lire");
    EXPECT_FALSE(page.GridPreventivo->CellRule(7, 1).Accepts("12,5"));
    EXPECT_TRUE(page.GridPreventivo->CellRule(7, 1).Accepts("24.203"));
}

// Worked by hand: row 1 typed as 3 x 10,01 = 30,03 (15 minutes); the cable shows 12,6 x 0,80 = 10,08;
// three items of 0,5 x 0,15 show 0,08 each; labour 15 + 25,14 minutes = 0,7
// hours x 30,00 = 21,00; total 30,03 + 10,08 + 21,00 + 3 x 0,08 = 61,35,
// the sum of the totals shown, not 61,34 of the unrounded products.
TEST_F(EstimatePageTest, TheTotalIsTheSumOfTheRowsAsShown) {
    for (const char* code : {"H1", "H2", "H3"}) {
        TVoceListino v = Item(code);
        v.Quantity = "0,5";
        v.Price = "0,15";
        v.Installation = "";
        ASSERT_TRUE(page.AddEstimateItem(v));
    }
    ASSERT_TRUE(Select(6, 1));
    Edit(6, 1, "3");
    ASSERT_TRUE(Select(7, 1));
    Edit(7, 1, "10,01");
    Select(6, 2);
    struct Shown {
        int row;
        const char *quantity, *price, *total;
    } rows[] = {{1, "3", "10,01", "30,03"},
                {2, "12,6", "0,80", "10,08"},
                {3, "0,7", "30,00", "21,00"},
                {4, "0,5", "0,15", "0,08"},
                {6, "0,5", "0,15", "0,08"}};
    for (const Shown& r : rows) {
        EXPECT_EQ(Trim(Cell(6, r.row)), r.quantity) << r.row;
        EXPECT_EQ(Trim(Cell(7, r.row)), r.price) << r.row;
        EXPECT_EQ(Trim(Cell(8, r.row)), r.total) << r.row;
    }
    EXPECT_EQ(Trim(page.Totale->Text.Get()), "61,35");
    // The row holds what it shows, which the printed estimate reads.
    EXPECT_EQ(project.Estimate->Rows()[0].Quantity, 3.0f);
    EXPECT_EQ(project.Estimate->Rows()[0].UnitPrice, 10.01f);
}

TEST_F(EstimatePageTest, EditingTheLabourRowKeepsItsHoursButUpdatesTheTotal) {
    Edit(7, 3, "40");
    EXPECT_EQ(Trim(Cell(6, 3)), "0,5");
    EXPECT_EQ(Trim(Cell(8, 3)), "20,00");
    EXPECT_EQ(Trim(page.Totale->Text.Get()), "42,58");
}

// Every cell of an item row can be chosen (a click selects the cell
// clicked); typing goes only into the numbers of every row and the texts of
// a hand-added row.
TEST_F(EstimatePageTest, EveryCellSelectsNumbersEverywhereAndTextsOnHandRowsAreEdited) {
    ASSERT_TRUE(page.AddEstimateItem(Item("ANT-1")));
    struct Case {
        int col, row;
        bool editable;
    } cases[] = {{4, 1, true}, {6, 1, true}, {7, 1, true}, {1, 1, false}, {0, 1, false}, {8, 1, false},
                 {1, 4, true}, {3, 4, true}, {7, 4, true}, {0, 4, false}, {8, 4, false}};
    for (const Case& c : cases) {
        EXPECT_TRUE(Select(c.col, c.row)) << c.col << "," << c.row;
        EXPECT_EQ(page.IsEditableCell(c.col, c.row), c.editable) << c.col << "," << c.row;
    }
    // The header and the trailing row take no typing.
    EXPECT_FALSE(page.IsEditableCell(6, 0));
    EXPECT_FALSE(page.IsEditableCell(6, Rows() - 1));
}

TEST_F(EstimatePageTest, LeavingACommittedCellReformatsIt) {
    ASSERT_TRUE(Select(7, 1));
    Edit(7, 1, "1234,5");
    Select(6, 2);
    EXPECT_EQ(Cell(7, 1), PadLeft("1.234,50", 12));
}

TEST_F(EstimatePageTest, PlacingTheCursorIsNoClick) {
    int asked = 0;
    page.ShowPriceList = [&](TVoceListino&, int) {
        ++asked;
        return 2;
    };
    // On an item row the cell counts as chosen: typed into, it is formatted when left.
    page.PlaceCurrentCell(6, 1);
    EXPECT_EQ(page.GridPreventivo->Col, 6);
    EXPECT_EQ(page.GridPreventivo->Row, 1);
    Edit(6, 1, "3");
    Select(7, 2);
    EXPECT_EQ(Cell(6, 1), FormatAmount("3"));
    // The trailing row, or a row past the grid, takes the cursor without the price list.
    const int trailing = Rows() - 1;
    for (int row : {trailing, 50}) {
        page.PlaceCurrentCell(4, row);
        EXPECT_EQ(page.GridPreventivo->Row, trailing) << row;
        EXPECT_EQ(page.GridPreventivo->Col, 4) << row;
    }
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(Rows(), trailing + 1);
}

TEST_F(EstimatePageTest, TrailingRowOpensThePriceListAndSelectsTheNewRow) {
    TVoceListino asked;
    int askedCurrency = -1;
    page.ShowPriceList = [&](TVoceListino& item, int currency) {
        asked = item;
        askedCurrency = currency;
        item = Item("ANT-1");
        return 1;
    };
    EXPECT_FALSE(Select(8, 4));
    EXPECT_EQ(asked.Quantity, "1");
    EXPECT_EQ(asked.Code, "");
    EXPECT_EQ(asked.CurrencyName, "Euro");
    EXPECT_EQ(askedCurrency, CurrencyEuro);
    ASSERT_EQ(Rows(), 6);
    EXPECT_EQ(Cell(0, 4), "ANT-1");
    EXPECT_EQ(page.GridPreventivo->Col, 6);
    EXPECT_EQ(page.GridPreventivo->Row, 4);

    page.ShowPriceList = [](TVoceListino&, int) { return 2; };
    EXPECT_FALSE(Select(2, 5));
    EXPECT_EQ(Rows(), 6);
}

TEST_F(EstimatePageTest, AddedItemFollowsTheRowsAndCountsItsLabour) {
    ASSERT_TRUE(page.AddEstimateItem(Item("ANT-1^X")));
    ASSERT_EQ(Rows(), 6);
    EXPECT_EQ(Cell(0, 4), "ANT-1");
    EXPECT_EQ(Cell(5, 4), "pezzi");
    EXPECT_EQ(Trim(Cell(6, 4)), "2");
    EXPECT_EQ(Trim(Cell(8, 4)), "20,00");
    // 5 + 25.14 + 30 minutes = 1 hour.
    EXPECT_EQ(Trim(Cell(6, 3)), "1");
    EXPECT_EQ(Trim(page.Totale->Text.Get()), "72,58");
    for (int c = 0; c < EstimateColumns; ++c) EXPECT_EQ(Cell(c, 5), "");
    EXPECT_TRUE(project.Estimate->HasRow("ANT-1"));
}

TEST_F(EstimatePageTest, RefusedItemsChangeNothing) {
    const std::string huge = "4" + std::string(38, '0');  // past the largest float
    const char* const quantityAllows = "ammesso un numero da 0 a 99.999,9 con al più 1 decimale, oppure nulla "
                                       "(nessun valore).";
    const char* const priceAllows = "ammesso un numero da 0 a 99.999,99 con al più 2 decimali, oppure nulla "
                                    "(nessun valore).";
    const char* const minutesAllows = "ammesso un numero intero da 0 a 99.999 min, oppure nulla (nessun valore).";
    struct Case {
        const char* code;
        std::string quantity, price, installation;
        std::string message;
        TCampoVoce field;
    } cases[] = {
        {"", "1", "10", "15", "E' necessario specificare il codice.", TCampoVoce::Codice},
        {"^A", "1", "10", "15", "E' necessario specificare il codice.", TCampoVoce::Codice},
        {"DR-410^B", "1", "10", "15", "Il codice digitato è già esistente.", TCampoVoce::Codice},
        {"NEW", "abc", "10", "15", std::string("Quantità: \"abc\" non è ammesso: ") + quantityAllows,
         TCampoVoce::Quantita},
        {"NEW", "-2", "10", "15", std::string("Quantità: \"-2\" non è ammesso: ") + quantityAllows,
         TCampoVoce::Quantita},
        {"NEW", huge, "10", "15", "Quantità: \"" + huge + "\" non è ammesso: " + quantityAllows,
         TCampoVoce::Quantita},
        {"NEW", "2 pz", "10", "15", std::string("Quantità: \"2 pz\" non è ammesso: ") + quantityAllows,
         TCampoVoce::Quantita},
        {"NEW", "1", "dieci", "15", std::string("Prezzo: \"dieci\" non è ammesso: ") + priceAllows,
         TCampoVoce::Prezzo},
        {"NEW", "1", "-10,00", "15", std::string("Prezzo: \"-10,00\" non è ammesso: ") + priceAllows,
         TCampoVoce::Prezzo},
        {"NEW", "1", "10", "n.d.",
         std::string("Installazione (min): \"n.d.\" non è ammesso: ") + minutesAllows, TCampoVoce::Installazione},
        {"NEW", "1", "10", "-15",
         std::string("Installazione (min): \"-15\" non è ammesso: ") + minutesAllows, TCampoVoce::Installazione},
    };
    for (const Case& c : cases) {
        Application->Script().Reset();
        TVoceListino v = Item(c.code);
        v.Quantity = c.quantity;
        v.Price = c.price;
        v.Installation = c.installation;
        TCampoVoce field = TCampoVoce::Codice;
        EXPECT_EQ(page.ItemRefusal(v, &field), c.message);
        EXPECT_EQ(field, c.field) << c.message;
        EXPECT_FALSE(page.AddEstimateItem(v));
        EXPECT_EQ(ShownMessage(), c.message) << c.quantity << " " << c.price << " " << c.installation;
        EXPECT_EQ(Rows(), 5);
        EXPECT_EQ(project.Estimate->Count(), 3);
        EXPECT_EQ(Cell(0, 4), "");
    }
    // No quantity means one; no price or time, none.
    TVoceListino v = Item("X-2");
    v.Quantity = "";
    v.Price = "";
    v.Installation = "";
    EXPECT_EQ(page.ItemRefusal(v), "");
    ASSERT_TRUE(page.AddEstimateItem(v));
    EXPECT_EQ(project.Estimate->Rows().back().Quantity, 1.0f);
    EXPECT_EQ(project.Estimate->Rows().back().UnitPrice, 0.0f);
    EXPECT_EQ(project.Estimate->Rows().back().Minutes, 0.0f);
}

TEST_F(EstimatePageTest, PriceWithoutAFactorWarnsOnEveryAdditionAndKeepsThePrice) {
    globals.Options().currencyFactors[CurrencyLire][CurrencyEuro] = LevelNone;
    const AnsiString warning =
        "Manca il fattore di conversione tra la valuta Lire e la valuta Euro. E' stato applicato il fattore "
        "1.";
    for (const char* code : {"L-1", "L-2"}) {
        Application->Script().Reset();
        TVoceListino v = Item(code);
        v.CurrencyName = "Lire";
        ASSERT_TRUE(page.AddEstimateItem(v));
        EXPECT_EQ(ShownMessage(), warning);
        EXPECT_EQ(Trim(Cell(7, Rows() - 2)), "10,00");
    }
}

TEST_F(EstimatePageTest, RemovingOnlyHandRowsAfterTheLabourRow) {
    ASSERT_TRUE(page.AddEstimateItem(Item("A")));
    ASSERT_TRUE(page.AddEstimateItem(Item("B")));
    ASSERT_EQ(Rows(), 7);
    for (int row : {1, 3}) {
        page.GridPreventivo->Selection = TGridRect{6, row, 6, row};
        EXPECT_FALSE(page.CanRemoveSelectedRow());
        page.BEliminaPreventivoClick(nullptr);
        EXPECT_EQ(Rows(), 7);
    }
    page.GridPreventivo->Selection = TGridRect{6, 4, 6, 4};
    EXPECT_TRUE(page.CanRemoveSelectedRow());
    page.BEliminaPreventivoClick(nullptr);
    ASSERT_EQ(Rows(), 6);
    EXPECT_EQ(Cell(0, 4), "B");
    EXPECT_FALSE(project.Estimate->HasRow("A"));
    EXPECT_EQ(Trim(page.Totale->Text.Get()), "72,58");
    page.BEliminaPreventivoClick(nullptr);
    ASSERT_EQ(Rows(), 5);
    EXPECT_EQ(page.GridPreventivo->Row, 3);
    EXPECT_EQ(Trim(page.Totale->Text.Get()), "37,58");
}

TEST_F(EstimatePageTest, CurrencyChangeConvertsPricesOrWarnsOnce) {
    globals.Options().currencyFactors[CurrencyEuro][CurrencyLire] = LevelNone;
    ChooseCurrency("Lire");
    EXPECT_EQ(ShownMessage(),
              "Manca il fattore di conversione tra la valuta Euro e la valuta Lire. E' stato applicato il "
              "fattore 1.");
    EXPECT_EQ(project.Estimate->Currency, CurrencyLire);
    EXPECT_EQ(project.Estimate->Rows()[0].UnitPrice, 12.5f);
    // Shown as lire: 12,5 is 13 lire, 1 x 13 = 13.
    EXPECT_EQ(Trim(Cell(7, 1)), "13");
    EXPECT_EQ(Trim(Cell(8, 1)), "13");

    // Back to Euro without converting, then with the factor.
    project.Estimate->Currency = CurrencyEuro;
    page.BuildEstimate();
    Application->Script().Reset();
    globals.Options().currencyFactors[CurrencyEuro][CurrencyLire] = 1936.27f;
    ChooseCurrency("Lire");
    EXPECT_EQ(ShownMessage(), "");
    EXPECT_EQ(project.Estimate->Rows()[0].UnitPrice, 24203.0f);
    EXPECT_EQ(Trim(Cell(7, 1)), "24.203");
}

// The file keeps every row and the currency: each edit of the page is a
// change that "Salva" and closing must know of; a refused one is not.
TEST_F(EstimatePageTest, EveryEditOfTheRowsOrTheCurrencyMarksTheProject) {
    page.ShowPriceList = [&](TVoceListino& item, int) {
        item = Item("ANT-1");
        return 1;
    };
    const struct {
        const char* edit;
        std::function<void()> run;
        bool marks;
    } edits[] = {
        {"an item from the price list", [&] { Select(2, Rows() - 1); }, true},
        {"an item refused", [&] { EXPECT_FALSE(page.AddEstimateItem(Item("ANT-1"))); }, false},
        {"an item added by \"A listino\"", [&] { ASSERT_TRUE(page.AddEstimateItem(Item("ANT-2"))); }, true},
        {"a typed row", [&] { Edit(3, 4, "Antenna UHF a 43 elementi"); }, true},
        {"a row deleted",
         [&] {
             page.GridPreventivo->Selection = TGridRect{6, 4, 6, 4};
             page.BEliminaPreventivoClick(nullptr);
         },
         true},
        {"the same currency again", [&] { ChooseCurrency("Euro"); }, false},
        {"another currency", [&] { ChooseCurrency("Lire"); }, true},
    };
    for (const auto& e : edits) {
        Application->Script().Reset();
        project.Modified = false;
        e.run();
        EXPECT_EQ(project.Modified, e.marks) << e.edit;
    }
    EXPECT_EQ(project.Estimate->Currency, CurrencyLire);
    EXPECT_FALSE(project.Estimate->HasRow("ANT-1"));
    EXPECT_TRUE(project.Estimate->HasRow("ANT-2"));
}

TEST_F(EstimatePageTest, NotesMarkTheProjectOnlyWhenTyped) {
    project.Estimate->Notes[0] = "Nota";
    page.BuildEstimate();
    EXPECT_EQ(page.Note[0]->Text.Get(), "Nota");
    EXPECT_FALSE(project.Modified);
    page.Note[1]->Text = AnsiString(250, 'x');
    EXPECT_TRUE(project.Modified);
    EXPECT_EQ(project.Estimate->Notes[1].size(), 200u);
}

TEST_F(EstimatePageTest, HeaderCaptionsArePaintedAtTheCellsCorners) {
    TRecordingEngine recording;
    page.GridPreventivo->PaintTo(&recording);
    for (int c = 0; c < EstimateColumns; ++c) {
        const TRect cell = page.GridPreventivo->CellRect(c, 0);
        bool found = false;
        for (const TPaintCall& call : recording.CallsOf(TPaintOp::Text))
            found = found || (call.Text == EstimateHeaders[c] && call.Points.size() == 1 &&
                              call.Points[0].x == cell.Left && call.Points[0].y == cell.Top);
        EXPECT_TRUE(found) << EstimateHeaders[c];
    }
}

}  // namespace
