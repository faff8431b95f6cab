// The printed estimate and tender specification: rows, prices in the
// estimate's currency, the footer with total and notes, and page breaks.
#include <gtest/gtest.h>

#include "app/estimate_page.h"
#include "core/options.h"
#include "document/estimate.h"
#include "support/print_fixture.h"

namespace {

int P(int points) { return points * 600 / 72; }

class EstimatePrintTest : public PrintTest {
protected:
    EstimatePrintTest() { stampa.EstimatePage = &estimatePage; }
    // rows rows of the estimate, shown on the estimate page.
    void Fill(int rows, int currency = CurrencyEuro, float quantity = 2.0f, float price = 12.5f) {
        TDatiPreventivo& e = *project.Estimate;
        e.Clear();
        e.Currency = static_cast<uint8_t>(currency);
        for (int i = 1; i <= rows; ++i) {
            TRigaPreventivo r;
            r.Code = "R" + IntToStr(i);
            r.Article = "Articolo " + IntToStr(i);
            r.Brand = "Telvano";
            r.Description = "Presa TV";
            r.Unit = UnitPieces;
            r.Quantity = quantity;
            r.UnitPrice = price;
            e.AddQuantity(r);
        }
        project.EstimateOutOfDate = false;
        estimatePage.SetProject(&project);
        estimatePage.BuildEstimate();
    }
    const TPrintedDocument& Print(bool priced) {
        return Job([&] { EXPECT_EQ(stampa.PrintEstimate(priced, 0), 0); });
    }
    TPaginaPreventivo estimatePage{nullptr};
};

TEST_F(EstimatePrintTest, FooterFitsOrMovesToTheNextPage) {
    struct Case {
        int dpi, rows;
        const char* note2;
        size_t pages;
        bool ruleBeforeTotal;
    };
    // clang-format off
    const Case cases[] = {
        {600, 59, "", 1, true},  {600, 60, "", 2, false}, {600, 58, "Consegna in 30 giorni", 1, true},
        {600, 59, "Consegna in 30 giorni", 2, false},
        {300, 59, "", 1, true},  {300, 60, "", 2, false}, {300, 58, "Consegna in 30 giorni", 1, true},
        {300, 59, "Consegna in 30 giorni", 2, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dpi) + " dpi, " + std::to_string(c.rows) + " rows, note: " + c.note2);
        Printer()->SetDevices({A4Device(c.dpi)});
        Fill(c.rows);
        estimatePage.Note[1]->Text = c.note2;
        const TPrintedDocument& doc = Print(true);
        ASSERT_EQ(doc.Pages.size(), c.pages);
        const TRecordingEngine& last = *doc.Pages.back();
        const int firstRow = c.dpi == 600 ? 457 : 230;
        const int line = c.dpi == 600 ? 100 : 50;
        const int rowsOnLast = c.pages == 1 ? c.rows : std::max(0, c.rows - 60);
        const TPaintCall* total = FindText(last, "Totale:");
        ASSERT_NE(total, nullptr);
        const int y = firstRow + rowsOnLast * line;
        EXPECT_EQ(total->Points[0].y, c.ruleBeforeTotal ? y + 4 : y);
        bool rule = false;
        for (const TPaintCall& l : last.CallsOf(TPaintOp::Line))
            rule |= l.Points[0] == TPoint(0, y) && c.ruleBeforeTotal;
        EXPECT_EQ(rule, c.ruleBeforeTotal);
        // Only the second note: one line above the body bottom, 18 points in.
        if (*c.note2) {
            EXPECT_EQ(TextAt(last, c.note2), TPoint(18 * c.dpi / 72, PrintPage.BodyBottom - line));
        }
    }
}

TEST_F(EstimatePrintTest, SixtyRowsFillAPage) {
    Fill(60);
    const TPrintedDocument& doc = Print(false);
    ASSERT_EQ(doc.Pages.size(), 1u);
    EXPECT_EQ(TextAt(*doc.Pages[0], "R60"), TPoint(P(18), 457 + 59 * 100));
    Fill(61);
    const TPrintedDocument& two = Print(false);
    ASSERT_EQ(two.Pages.size(), 2u);
    EXPECT_EQ(TextAt(*two.Pages[1], "R61"), TPoint(P(18), 457));
    EXPECT_NE(FindText(*two.Pages[1], "Pagina 2"), nullptr);
}

TEST_F(EstimatePrintTest, NotesStackUpFromTheBodyBottom) {
    Fill(3);
    estimatePage.Note[0]->Text = "Prima";
    estimatePage.Note[1]->Text = "Seconda";
    estimatePage.Note[2]->Text = "Terza";
    const TRecordingEngine& page = *Print(true).Pages[0];
    // In line with the rows' codes, 18 points in.
    EXPECT_EQ(TextAt(page, "Terza"), TPoint(P(18), 6430));
    EXPECT_EQ(TextAt(page, "Seconda"), TPoint(P(18), 6330));
    EXPECT_EQ(TextAt(page, "Prima"), TPoint(P(18), 6230));
    EXPECT_EQ(TextAt(page, "R1").x, P(18));
}

TEST_F(EstimatePrintTest, RowsAndAmountsInTheEstimateCurrency) {
    struct Case {
        int currency;
        float quantity, price;
        const char *priceText, *totalText;
    };
    // clang-format off
    const Case cases[] = {
        {CurrencyLire, 1.0f, 1250.0f, "1.250", "1.250"},
        {CurrencyEuro, 2.0f, 12.5f, "12,50", "25,00"},
        // The row total as the estimate page computes it: the row shows 3 x 10,01.
        {CurrencyEuro, 2.96f, 10.005f, "10,01", "30,03"},
    };
    // clang-format on
    for (const Case& c : cases) {
        Fill(1, c.currency, c.quantity, c.price);
        const TRecordingEngine& page = *Print(true).Pages[0];
        EXPECT_EQ(TextAt(page, "R1"), TPoint(P(18), 457));
        EXPECT_EQ(TextAt(page, "Articolo 1"), TPoint(P(72), 457));
        EXPECT_EQ(TextAt(page, "Telvano"), TPoint(P(126), 457));
        EXPECT_EQ(TextAt(page, "Presa TV"), TPoint(P(193), 457));
        EXPECT_EQ(TextAt(page, "pezzi"), TPoint(P(343), 457));
        const TPaintCall* price = FindText(page, c.priceText);
        ASSERT_NE(price, nullptr) << c.priceText << "\n" << PageText(page);
        EXPECT_EQ(price->Points[0].x + TTextMetrics::Extent(price->State.Font, c.priceText).cx, P(490));
        // Row total and grand total, at the total column's edge.
        int totals = 0;
        for (const TPaintCall& t : TextCalls(page))
            if (t.Text == c.totalText &&
                t.Points[0].x + TTextMetrics::Extent(t.State.Font, t.Text).cx == P(544))
                ++totals;
        EXPECT_EQ(totals, 2) << c.totalText << "\n" << PageText(page);
        // The page's total label shows the same amount.
        EXPECT_NE(estimatePage.Totale->Text.Get().find(c.totalText), AnsiString::npos)
            << estimatePage.Totale->Text.Get();
    }
}

// In lire each row rounds to the lira, as on the page: two rows of 1,5 x
// 1.001 (1.501,5 each) show 1.502 each and total 3.004, not 3.003.
TEST_F(EstimatePrintTest, LireRowsRoundToTheLiraAsOnThePage) {
    Fill(2, CurrencyLire, 1.5f, 1001.0f);
    const TRecordingEngine& page = *Print(true).Pages[0];
    int rowTotals = 0;
    for (const TPaintCall& t : TextCalls(page)) rowTotals += t.Text == "1.502";
    EXPECT_EQ(rowTotals, 2) << PageText(page);
    EXPECT_NE(FindText(page, "3.004"), nullptr) << PageText(page);
    EXPECT_EQ(FindText(page, "3.003"), nullptr) << PageText(page);
    EXPECT_NE(estimatePage.Totale->Text.Get().find("3.004"), AnsiString::npos)
        << estimatePage.Totale->Text.Get();
}

TEST_F(EstimatePrintTest, SpecificationHasNoPricesNoTotal) {
    Fill(3);
    estimatePage.Note[0]->Text = "Nota";
    const TRecordingEngine& page = *Print(false).Pages[0];
    EXPECT_NE(FindText(page, "Capitolato"), nullptr);
    EXPECT_EQ(FindText(page, "Totale:"), nullptr);
    EXPECT_EQ(FindText(page, "12,50"), nullptr);
    EXPECT_EQ(FindText(page, "Nota"), nullptr);
    EXPECT_NE(FindText(page, "2,00"), nullptr);  // the quantity
}

TEST_F(EstimatePrintTest, OnlyTheRowsTheGridShows) {
    Fill(5);
    estimatePage.GridPreventivo->RowCount = 3;  // header and two rows
    const TRecordingEngine& page = *Print(false).Pages[0];
    EXPECT_NE(FindText(page, "R2"), nullptr);
    EXPECT_EQ(FindText(page, "R3"), nullptr);
    // An empty estimate prints its header alone.
    project.Estimate->Clear();
    const TRecordingEngine& empty = *Print(true).Pages[0];
    EXPECT_EQ(TextAt(empty, "Totale:").y, 461);
}

}  // namespace
