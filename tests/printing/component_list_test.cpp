// The component and material list at 600 dpi: families in order, full and
// compressed rows, cables and bridges, and the page breaks.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>

#include "cells/cables.h"
#include "cells/class_table.h"
#include "cells/factory.h"
#include "printing/paragraph.h"
#include "support/print_fixture.h"

namespace {

int P(int points) { return points * 600 / 72; }

class ComponentListTest : public PrintTest {
protected:
    TNCavo* AddCable(TGridData* grid, float metres, int32_t number, bool bridge = false) {
        auto cOwned = std::make_unique<TNCavo>(grid, 0, 0, 70, 2 + number % 60, 0, 0);
        auto* c = cOwned.get();
        if (bridge) c->TypeCode = CodeBridge;
        c->SetLength(metres);
        c->SetRunHead(true);
        c->SequenceNumber = number;
        c->Code = bridge ? "PONTE" : "CAVO";
        EXPECT_TRUE(grid->InsertCell(std::move(cOwned), false, 0));
        Chain(grid, c);
        return c;
    }
    const TPrintedDocument& List(int32_t flags) {
        return Job([&] { EXPECT_EQ(stampa.PrintComponentList(flags, 0), 0); });
    }
    TGridData* net() { return project.NetworkGrid; }
    TGridData* head() { return project.HeadEndGrid; }
};

TEST_F(ComponentListTest, CompressedJoinedListGroupsByCodeNetworkFirst) {
    AddCell(head(), KindTap, "DER4", 4);
    for (int n = 1; n <= 3; ++n) AddCell(net(), KindTap, "DER4", n);
    AddCell(net(), KindOutlet, "PR^2", 7);
    AddCell(net(), KindOutlet, "PR^3", 8);
    AddCell(net(), KindTap, "", 9);
    AddCell(net(), 99, "ALTRO", 10);  // no family: not listed
    const TRecordingEngine& page = *List(ListNetwork | ListHeadEnd | ListCompressed).Pages[0];
    EXPECT_NE(FindText(page, "Tipologia del materiale della rete e della testata"), nullptr);
    EXPECT_NE(FindText(page, "Componenti"), nullptr);
    EXPECT_EQ(FindText(page, "Num."), nullptr);
    // Outlets come first, grouped before the caret; then the taps.
    EXPECT_EQ(TextAt(page, "PR"), TPoint(P(18), 457));
    EXPECT_EQ(TextAt(page, "T7 T8"), TPoint(P(307), 457));
    EXPECT_EQ(TextAt(page, "DER4"), TPoint(P(18), 557));
    EXPECT_EQ(TextAt(page, "T1 T2 T3 T4"), TPoint(P(307), 557));
    // A tap without code: a row of its own keyed by its short code.
    EXPECT_EQ(TextAt(page, "T9"), TPoint(P(18), 657));
    EXPECT_EQ(TextAt(page, "ALTRO"), TPoint(-1, -1));
    EXPECT_EQ(FindText(page, "T10"), nullptr);
}

TEST_F(ComponentListTest, FullListRowsAndCableLengths) {
    TCella* outlet = AddCell(net(), KindOutlet, "ABC^2", 3);
    outlet->Article = "Presa TV";
    outlet->Brand = "Telvano";
    outlet->Description = "Presa terminale";
    outlet->Notes = "Soggiorno";
    AddCable(net(), 12.5f, 5);
    AddCable(net(), CableLengthUncounted, 6);        // left open by the designer: not listed
    AddCable(net(), CableLengthUncounted, 7, true);  // a bridge is listed whatever its length
    TNCavo* inner = AddCable(net(), 3.0f, 8);
    inner->SetRunHead(false);  // not the head of its run: not listed
    const TRecordingEngine& page = *List(ListNetwork).Pages[0];
    EXPECT_NE(FindText(page, "Tipologia del materiale della rete"), nullptr);
    EXPECT_EQ(TextAt(page, "T3"), TPoint(P(18), 457));
    EXPECT_EQ(TextAt(page, "ABC"), TPoint(P(54), 457));
    EXPECT_EQ(TextAt(page, "Presa TV"), TPoint(P(108), 457));
    EXPECT_EQ(TextAt(page, "Telvano"), TPoint(P(162), 457));
    EXPECT_EQ(TextAt(page, "Presa terminale"), TPoint(P(264), 457));
    EXPECT_EQ(TextAt(page, "Soggiorno"), TPoint(P(378), 457));
    const TPaintCall* metres = FindText(page, "12,50");
    ASSERT_NE(metres, nullptr);
    EXPECT_EQ(metres->Points[0].x + TTextMetrics::Extent(metres->State.Font, "12,50").cx, P(249));
    EXPECT_EQ(metres->Points[0].y, 557);
    EXPECT_EQ(TextAt(page, "C5"), TPoint(P(18), 557));
    EXPECT_EQ(TextAt(page, "K7"), TPoint(P(18), 657));
    EXPECT_EQ(FindText(page, "*"), nullptr);
    EXPECT_EQ(FindText(page, "C8"), nullptr);
    EXPECT_EQ(TextCalls(page).back().Points[0].y, 657);

    const TRecordingEngine& compressed = *List(ListNetwork | ListCompressed).Pages[0];
    EXPECT_NE(FindText(compressed, "C5/12,5m"), nullptr) << PageText(compressed);
    EXPECT_NE(FindText(compressed, "K7"), nullptr);
}

TEST_F(ComponentListTest, FullListBreaksAfterSixtyRowsTitledByTheRowsGrid) {
    for (int n = 1; n <= 60; ++n) AddCell(net(), KindOutlet, "P", n);
    AddCell(head(), KindOutlet, "P", 61);
    const TPrintedDocument& doc = List(ListNetwork | ListHeadEnd);
    ASSERT_EQ(doc.Pages.size(), 2u);
    EXPECT_NE(FindText(*doc.Pages[0], "Tipologia del materiale della rete e della testata"), nullptr);
    EXPECT_EQ(TextAt(*doc.Pages[0], "T60"), TPoint(P(18), 457 + 59 * 100));
    EXPECT_NE(FindText(*doc.Pages[1], "Tipologia del materiale della testata"), nullptr);
    EXPECT_NE(FindText(*doc.Pages[1], "Pagina 2"), nullptr);
    EXPECT_EQ(TextAt(*doc.Pages[1], "T61"), TPoint(P(18), 457));
}

TEST_F(ComponentListTest, CompressedRowMovesWholeToTheNextPage) {
    for (int n = 1; n <= 59; ++n) AddCell(net(), KindOutlet, "P" + IntToStr(n), n);
    for (int n = 100; n < 130; ++n) AddCell(net(), KindOutlet, "MOLTI", n);
    const TPrintedDocument& doc = List(ListNetwork | ListCompressed);
    ASSERT_EQ(doc.Pages.size(), 2u);
    EXPECT_EQ(TextAt(*doc.Pages[0], "P59"), TPoint(P(18), 457 + 58 * 100));
    EXPECT_EQ(TextAt(*doc.Pages[1], "MOLTI"), TPoint(P(18), 457));
    // Its components take three lines, all on page 2.
    std::vector<int> ys;
    for (const TPaintCall& t : TextCalls(*doc.Pages[1]))
        if (t.Points[0].x >= P(307) && t.Points[0].y >= 457 && t.Points[0].y <= 6530)
            ys.push_back(t.Points[0].y);
    ASSERT_FALSE(ys.empty());
    EXPECT_EQ(ys.front(), 457);
    EXPECT_EQ(ys.back(), 657);
}

// The lines a greedy wrap counts that keeps a word when it fits without the
// blank after it.
int GreedyLines(TCanvas& canvas, const std::vector<AnsiString>& words, int width) {
    int lines = 1;
    AnsiString line;
    for (const AnsiString& w : words) {
        const AnsiString candidate = line.empty() ? w : line + " " + w;
        if (!line.empty() && canvas.TextWidth(candidate) > width) {
            ++lines;
            line = w;
        } else {
            line = candidate;
        }
    }
    return lines;
}

TEST_F(ComponentListTest, ARowIsReservedTheLinesItsParagraphSets) {
    // Find short codes where a line ends on a code that fits only without
    // its blank: a wrap that keeps it there counts a line less than the
    // paragraph sets.
    TCanvas canvas;
    canvas.Font->PixelsPerInch = 600;
    canvas.Font->Name = "Arial";
    canvas.Font->Size = 8;
    const int width = P(560) - P(307);
    int first = -1, count = 0, lines = 0;
    for (int start = 1; start < 3000 && first < 0; ++start) {
        std::vector<AnsiString> words;
        AnsiString text;
        for (int n = 1; n < 60 && first < 0; ++n) {
            words.push_back("T" + IntToStr(start + n - 1));
            text += (n > 1 ? " " : "") + words.back();
            const int greedy = GreedyLines(canvas, words, width);
            if (greedy > 2) break;
            int32_t x = 0, y = 0;
            const int laid = LayoutParagraph(&canvas, text, TRect(0, 0, width, 0), x, y, 100, false);
            if (laid != greedy) {
                first = start;
                count = n;
                lines = laid;
            }
        }
    }
    ASSERT_GT(first, 0) << "no such codes in the metrics";
    for (int k = 0; k < count; ++k) AddCell(net(), KindOutlet, "MISURA", first + k);
    AddCell(net(), KindOutlet, "DOPO", 5000);
    const TRecordingEngine& page = *List(ListNetwork | ListCompressed).Pages[0];
    // The paragraph's last line stands on the row's last line, and the
    // next row below it.
    int lowest = 0;
    for (const TPaintCall& t : TextCalls(page))
        if (t.Points[0].x >= P(307) && t.Points[0].y >= 457 && t.Points[0].y <= 6530 && t.Text != "T5000")
            lowest = std::max(lowest, t.Points[0].y);
    EXPECT_EQ(lowest, 457 + (lines - 1) * 100);
    EXPECT_EQ(TextAt(page, "DOPO"), TPoint(P(18), 457 + lines * 100));
}

// Every class of the class table whose cells the estimate prices stands in
// the material list, full and compressed, and no other: one cell of every
// type code of every row.
TEST_F(ComponentListTest, EveryClassOfTheEstimateIsListed) {
    std::vector<TCella*> listed, unlisted;
    for (const TCellClassRow& row : CellClassRows()) {
        for (const TCellCode& code : row.Codes) {
            const size_t n = listed.size() + unlisted.size();
            const int32_t column = 2 + static_cast<int32_t>(n % 8) * 9, gridRow = 2 + static_cast<int32_t>(n / 8) * 9;
            std::unique_ptr<TCella> cell;
            for (const auto& [inputs, through, taps] :
                 {std::tuple{1, 1, 0}, {1, 1, 2}, {1, 0, 1}, {1, 2, 0}, {2, 1, 0}, {1, 0, 0}})
                if (!cell) cell = NewCella(net(), code.Code, column, gridRow, inputs, through, taps);
            ASSERT_NE(cell, nullptr) << row.Name << " code " << code.Code;
            // Cables are listed by their runs' heads only.
            if (TNCavo* cable = dynamic_cast<TNCavo*>(cell.get())) {
                cable->SetLength(5.0f);
                cable->SetRunHead(true);
            }
            // Priced, and so listed; or neither. Old cables become segments as
            // they are read and price items stand on no grid: never listed.
            const bool neverOnAGrid = code.Code == CodeOldCableStraight || code.Code == CodeOldCableBend ||
                                      code.Code == CodeElementoListino;
            if (!neverOnAGrid)
                EXPECT_EQ(cell->IsEstimateItem(), row.Listed != TListFamily::NotListed) << row.Name;
            cell->Code = "ART" + IntToStr(code.Code);
            cell->SequenceNumber = code.Code;
            TCella* c = cell.get();
            if (!net()->InsertCell(std::move(cell), false, 0)) continue;  // one that stands on no grid square
            Chain(net(), c);
            (row.Listed != TListFamily::NotListed ? listed : unlisted).push_back(c);
        }
    }
    ASSERT_GT(listed.size(), 40u);
    for (int32_t flags : {ListNetwork, ListNetwork | ListCompressed}) {
        const TPrintedDocument& doc = List(flags);
        AnsiString all;
        for (const auto& page : doc.Pages) all += PageText(*page);
        for (TCella* c : listed)
            EXPECT_NE(all.find("\n" + c->Code + "\n"), std::string::npos) << c->Code << " flags " << flags;
        for (TCella* c : unlisted)
            EXPECT_EQ(all.find("\n" + c->Code + "\n"), std::string::npos) << c->Code << " flags " << flags;
    }
}

TEST_F(ComponentListTest, NoGridNoPage) {
    pages.clear();
    AddCell(net(), KindOutlet, "P", 1);
    const TPrintedDocument& doc =
        Job([&] { EXPECT_EQ(stampa.PrintComponentList(ListNetwork | ListHeadEnd, 0), -1); });
    ASSERT_EQ(doc.Pages.size(), 1u);
    EXPECT_TRUE(doc.Pages[0]->Calls.empty());
    // Only the pages present choose the grids.
    pages = {"Testa"};
    EXPECT_EQ(stampa.PrintComponentList(ListNetwork, 0), -1);
}

TEST_F(ComponentListTest, PreviewDrawsOnlyTheRequestedPage) {
    // About 64 rows fill a preview page.
    for (int n = 1; n <= 100; ++n) AddCell(net(), KindOutlet, "P", n);
    TBitmap bitmap;
    TPreviewTarget preview(1000, 800, &bitmap);
    stampa.Preview = &preview;
    EXPECT_EQ(stampa.PrintComponentList(ListNetwork, 1), 1);
    EXPECT_EQ(PrintPage.PageNumber, 2);
    EXPECT_EQ(stampa.PrintComponentList(ListNetwork, 2), 0);
    EXPECT_EQ(stampa.PrintComponentList(ListNetwork, 5), 0);
    EXPECT_EQ(Printer()->Documents().size(), 0u);
}

}  // namespace
