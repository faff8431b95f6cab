// The rows of the printed tables keep each text to its column: a text too
// wide for its room stops before the next text of its row, cut and ended by
// "…", and runs on whole into a column its row leaves empty. Checked on the
// material lists, the estimate and the channel table at 600 dpi.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "app/estimate_page.h"
#include "core/channel_list.h"
#include "core/channels.h"
#include "document/estimate.h"
#include "support/print_fixture.h"

namespace {

int P(int points) { return points * 600 / 72; }

const AnsiString LongArticle = "Presa terminale TV-SAT DC";  // wider than the article column
const AnsiString LongCode = "GFA-TM-11-114-XL";              // wider than the code column

class RowTextsTest : public PrintTest {
protected:
    RowTextsTest() { stampa.EstimatePage = &estimatePage; }

    // An outlet on the network with every text; with bare, a second one
    // with no brand.
    void Outlets(bool bare = false) {
        TCella* full = AddCell(project.NetworkGrid, KindOutlet, LongCode, 1);
        full->Article = LongArticle;
        full->Brand = "Generico";
        full->Description = "Presa terminale TV-SAT passante";
        full->Notes =
            "Soggiorno, parete nord, a fianco della finestra verso il cortile interno del condominio";
        if (bare) AddCell(project.NetworkGrid, KindOutlet, "PR-2", 2)->Article = LongArticle;
    }
    void Estimate() {
        TDatiPreventivo& e = *project.Estimate;
        e.Clear();
        TRigaPreventivo r;
        r.Code = LongCode;
        r.Article = LongArticle;
        r.Brand = "Generico";
        r.Description = "Alimentatore centrale 1000 mA 24V";
        r.Unit = UnitPieces;
        r.Quantity = 2;
        r.UnitPrice = 12.5f;
        e.AddQuantity(r);
        project.EstimateOutOfDate = false;
        estimatePage.SetProject(&project);
        estimatePage.BuildEstimate();
    }
    TPaginaPreventivo estimatePage{nullptr};
};

// Texts drawn on one line of a page that cover each other.
std::string Overlaps(const TRecordingEngine& page) {
    const std::vector<TPaintCall> texts = TextCalls(page);
    std::string found;
    for (size_t i = 0; i < texts.size(); ++i)
        for (size_t j = i + 1; j < texts.size(); ++j) {
            const TPaintCall &a = texts[i], &b = texts[j];
            if (a.Points[0].y != b.Points[0].y) continue;
            const int aRight = a.Points[0].x + TTextMetrics::Extent(a.State.Font, a.Text).cx;
            const int bRight = b.Points[0].x + TTextMetrics::Extent(b.State.Font, b.Text).cx;
            if (a.Points[0].x < bRight && b.Points[0].x < aRight)
                found += "'" + a.Text + "' / '" + b.Text + "'\n";
        }
    return found;
}

TEST_F(RowTextsTest, LongTextsStopBeforeTheNextColumn) {
    TListaCanali channels;
    TCanale c;
    c.name = "E21";
    c.label = "Rai Radiotelevisione Italiana, multiplex B";  // runs into the signal columns
    c.sources = "Antenna UHF";
    c.freqLow = 470;
    c.freqHigh = 478;
    c.levelMin = c.levelMax = 65;
    channels.Insert(c);
    const struct {
        const char* name;
        std::function<void()> print;
        AnsiString cut;    // a text the row cuts
        AnsiString whole;  // a text the row leaves whole
    } cases[] = {
        {"full list",
         [&] {
             Outlets();
             EXPECT_EQ(stampa.PrintComponentList(ListNetwork, 0), 0);
         },
         LongArticle, "Generico"},
        {"compressed list",
         [&] {
             Outlets();
             EXPECT_EQ(stampa.PrintComponentList(ListNetwork | ListCompressed, 0), 0);
         },
         LongArticle, "Generico"},
        {"estimate",
         [&] {
             Estimate();
             EXPECT_EQ(stampa.PrintEstimate(true, 0), 0);
         },
         LongCode, "Generico"},
        {"specification",
         [&] {
             Estimate();
             EXPECT_EQ(stampa.PrintEstimate(false, 0), 0);
         },
         LongArticle, "Alimentatore centrale 1000 mA 24V"},
        {"channels",
         [&] {
             stampa.GetPageLayout(DocChannels, 0);
             stampa.SetTablePositions(DocChannels);
             stampa.PrintTableHeader(DocChannels, 1);
             EXPECT_TRUE(stampa.PrintChannelRows(&channels, "P1", 1));
         },
         c.label, "Antenna UHF"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const TRecordingEngine& page = *Job(k.print).Pages[0];
        EXPECT_EQ(Overlaps(page), "");
        EXPECT_EQ(FindText(page, k.cut), nullptr);
        bool cut = false;
        for (const TPaintCall& t : TextCalls(page))
            if (t.Text.size() > 3 && t.Text.substr(t.Text.size() - 3) == "\u2026") {
                const AnsiString head = t.Text.substr(0, t.Text.size() - 3);
                cut = cut || (!head.empty() && k.cut.substr(0, head.size()) == head);
            }
        EXPECT_TRUE(cut) << PageText(page);
        EXPECT_NE(FindText(page, k.whole), nullptr) << PageText(page);
    }
}

TEST_F(RowTextsTest, ACodeALittleTooWideIsSetSmallerAndWhole) {
    Estimate();
    project.Estimate->Clear();
    TRigaPreventivo r;
    r.Code = "GFA-TM-11-114";  // a little wider than the code column at 8 points
    r.Article = "Amplificatore";
    r.Quantity = 1;
    project.Estimate->AddQuantity(r);
    estimatePage.BuildEstimate();
    const TRecordingEngine& page = *Job([&] { EXPECT_EQ(stampa.PrintEstimate(true, 0), 0); }).Pages[0];
    const TPaintCall* code = FindText(page, r.Code);
    ASSERT_NE(code, nullptr) << PageText(page);
    // Heights in pixels: 8 points at 600 dpi for the article, 6 or 7 for the code.
    EXPECT_EQ(std::abs(FindText(page, r.Article)->State.Font.Height), P(8) + 1);
    EXPECT_LT(std::abs(code->State.Font.Height), P(8));
    EXPECT_GE(std::abs(code->State.Font.Height), P(6));
    EXPECT_EQ(Overlaps(page), "");
}

// Amounts wider than the room their column leaves after the one on their
// left are set smaller, whole and apart from it: a row total and the grand
// total of 1.000.000.000,00 after a unit price of 10.000.000,00.
TEST_F(RowTextsTest, AnAmountTooWideForItsColumnIsSetSmallerAndWhole) {
    Estimate();
    project.Estimate->Clear();
    TRigaPreventivo r;
    r.Code = "GCX-10";
    r.Article = "Cavo coax";
    r.Quantity = 100;
    r.UnitPrice = 1e7f;
    project.Estimate->AddQuantity(r);
    estimatePage.BuildEstimate();
    const TRecordingEngine& page = *Job([&] { EXPECT_EQ(stampa.PrintEstimate(true, 0), 0); }).Pages[0];
    const AnsiString price = "10.000.000,00", total = "1.000.000.000,00";
    const TPaintCall* unit = FindText(page, price);
    ASSERT_NE(unit, nullptr) << PageText(page);
    EXPECT_EQ(std::abs(unit->State.Font.Height), P(8) + 1);
    const int unitRight = unit->Points[0].x + TTextMetrics::Extent(unit->State.Font, price).cx;
    int totals = 0;
    for (const TPaintCall& t : TextCalls(page)) {
        if (t.Text != total) continue;
        ++totals;
        EXPECT_LT(std::abs(t.State.Font.Height), P(8));
        // Ends at the total's edge, 544 pt, and stands clear of the unit
        // price's edge (490 pt) or of "Totale:", which ends there too.
        EXPECT_EQ(t.Points[0].x + TTextMetrics::Extent(t.State.Font, t.Text).cx, P(544));
        EXPECT_GE(t.Points[0].x - unitRight, P(4));
    }
    EXPECT_EQ(totals, 2);  // the row's and the grand total
    EXPECT_EQ(Overlaps(page), "");
}

TEST_F(RowTextsTest, ATextRunsOnIntoAnEmptyColumnAndStopsAtThePageEdge) {
    Outlets(true);
    const TRecordingEngine& page =
        *Job([&] { EXPECT_EQ(stampa.PrintComponentList(ListNetwork, 0), 0); }).Pages[0];
    // The outlet without brand: its article runs on whole over the brand column.
    const TPoint article = TextAt(page, LongArticle);
    EXPECT_EQ(article, TPoint(P(108), 557));
    // The notes, wider than what is left of the page, end at the page's right margin.
    for (const TPaintCall& t : TextCalls(page))
        if (t.Points[0].y == 457 && t.Points[0].x == P(378)) {
            EXPECT_EQ(t.Text.substr(0, 10), "Soggiorno,");
            EXPECT_LE(t.Points[0].x + TTextMetrics::Extent(t.State.Font, t.Text).cx, PrintPage.TextRight());
        }
    EXPECT_EQ(Overlaps(page), "");
}

}  // namespace
