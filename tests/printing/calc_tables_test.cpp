// The calculation tables on the two-tap line of the network report: the
// terminal's admissible window (72,5 75 65 80 ... / 75 92,5 ...), P1's and
// P2's socket levels, the separation P1 - P2 of 37 (below "AttMin" 42 in
// slots 1 and 3), and channel blocks with their page breaks.
#include <gtest/gtest.h>

#include <memory>

#include "cells/outlets.h"
#include "core/channel_list.h"
#include "core/channels.h"
#include "document/grid.h"
#include "platform/dialogs.h"
#include "platform/stdctrls.h"
#include "printing/calc_print_options.h"
#include "support/print_fixture.h"
#include "support/two_tap_line.h"

namespace {

constexpr TColor Magenta = RGB(255, 0, 255);

int P(int points) { return points * 600 / 72; }

class CalcTablesTest : public PrintTest {
protected:
    CalcTablesTest() {
        EXPECT_TRUE(line.Analyse());
        stampa.Project = &line.project;
    }
    // The texts of a row at y from x = 94 pt on, in band order, with their colours.
    std::vector<std::pair<AnsiString, TColor>> Row(const TRecordingEngine& page, int y) {
        std::vector<std::pair<AnsiString, TColor>> cells;
        for (const TPaintCall& t : TextCalls(page))
            if (t.Points[0].y == y && t.Points[0].x > P(40)) cells.push_back({t.Text, t.State.Font.Color});
        return cells;
    }
    static std::vector<AnsiString> Texts(const std::vector<std::pair<AnsiString, TColor>>& row) {
        std::vector<AnsiString> out;
        for (const auto& c : row) out.push_back(c.first);
        return out;
    }
    TwoTapLine line;
};

TEST_F(CalcTablesTest, SignalLimitsOfTerminalAndOutlets) {
    const TPrintedDocument& doc =
        Job([&] { EXPECT_EQ(stampa.PrintSignalLimits(true, true, true, nullptr, 0), 0); });
    ASSERT_EQ(doc.Pages.size(), 1u);
    const TRecordingEngine& page = *doc.Pages[0];
    EXPECT_NE(FindText(page,
                       "Segnali minimi e massimi ammessi all'uscita del terminale di testa e ottenibili alle "
                       "prese [dB]"),
              nullptr);
    EXPECT_NE(FindText(page, "Banda"), nullptr);
    const TPoint exit = TextAt(page, "Uscita 1");
    ASSERT_EQ(exit.x, P(18));
    const int line = 100;
    using V = std::vector<AnsiString>;
    EXPECT_EQ(Texts(Row(page, exit.y)),
              (V{"72,5", "75", "65", "80", "80", "80", "65", "65", "65", "65", "65"}));
    EXPECT_EQ(Texts(Row(page, exit.y + line)),
              (V{"75", "92,5", "82,5", "92,5", "92,5", "92,5", "89,5", "89,5", "89,5", "89,5", "89,5"}));
    EXPECT_EQ(Row(page, exit.y)[0].second, Magenta);
    EXPECT_EQ(Row(page, exit.y)[1].second, clBlue);
    // The first band column ends at 94 pt, the next 40 pt further.
    const TPaintCall* first = FindText(page, "72,5");
    EXPECT_EQ(first->Points[0].x + TTextMetrics::Extent(first->State.Font, "72,5").cx, P(94));
    // Each block closed by a rule, 4 px before the next.
    const TPoint p1 = TextAt(page, "P1");
    EXPECT_EQ(p1.y, exit.y + 2 * line + 4);
    EXPECT_EQ(Texts(Row(page, p1.y)), (V{"75", "60", "50", "65", "65", "65", "50", "50", "50", "50", "50"}));
    EXPECT_EQ(Texts(Row(page, p1.y + line)),
              (V{"75", "77,5", "67,5", "77,5", "77,5", "77,5", "74,5", "74,5", "74,5", "74,5", "74,5"}));
    EXPECT_EQ(Row(page, p1.y)[0].second, Magenta);
    for (size_t b = 1; b < Row(page, p1.y).size(); ++b) EXPECT_EQ(Row(page, p1.y)[b].second, clBlue) << b;
    EXPECT_EQ(TextAt(page, "P2").y, p1.y + 2 * line + 4);
}

TEST_F(CalcTablesTest, AnOutletBlockAtTheFootBreaksToANewPage) {
    const TPrintedDocument& doc = Job([&] {
        stampa.GetPageLayout(DocSignals, 0);
        PrintPage.NumberLeft = P(18);
        PrintPage.CodeLeft = P(94);
        PrintPage.BandStep = P(40);
        stampa.PrintTableHeader(DocSignals, 1);
        // One line still fits, two do not.
        PrintPage.Y = PrintPage.BodyBottom - PrintPage.LineHeight;
        EXPECT_TRUE(stampa.PrintSignalLimitRows(line.p1, 1));
    });
    ASSERT_EQ(doc.Pages.size(), 2u);
    EXPECT_EQ(FindText(*doc.Pages[0], "P1"), nullptr);
    EXPECT_NE(FindText(*doc.Pages[1], "P1"), nullptr);
}

TEST_F(CalcTablesTest, SeparationsRedBelowTheMinimum) {
    const TPrintedDocument& doc =
        Job([&] { EXPECT_EQ(stampa.PrintOutletSeparations(true, true, nullptr, 0), 0); });
    const TRecordingEngine& page = *doc.Pages[0];
    EXPECT_NE(FindText(page, "Separazioni tra le prese [dB]"), nullptr);
    const TPoint a = TextAt(page, "P1 - P2");
    const TPoint b = TextAt(page, "P2 - P1");
    ASSERT_GT(a.y, 0);
    EXPECT_EQ(b.y, a.y + 100 + 4);
    const auto row = Row(page, a.y);
    ASSERT_EQ(row.size(), 11u);
    for (size_t band = 1; band < row.size(); ++band) {
        EXPECT_EQ(row[band].first, "37") << band;
        EXPECT_EQ(row[band].second, band == 1 || band == 3 ? clRed : clBlue) << band;
    }
    // With one outlet left the table holds its header only.
    TCella* second = line.p1->NextOutlet;
    line.p1->NextOutlet = nullptr;
    const TPrintedDocument& single = Job([&] { stampa.PrintOutletSeparations(true, true, nullptr, 0); });
    line.p1->NextOutlet = second;
    EXPECT_EQ(TextAt(*single.Pages[0], "P1 - P2"), TPoint(-1, -1));
    EXPECT_EQ(TextCalls(*single.Pages[0]).size(), TextCalls(page).size() - 2 * 12);
}

TEST_F(CalcTablesTest, SomeOutletsByTheirPlaceInTheChain) {
    TListBox list(nullptr);
    list.MultiSelect = true;
    list.Items->Add("P1");
    list.Items->Add("P2");
    list.Selected[1] = true;
    const TPrintedDocument& doc = Job([&] { stampa.PrintSignalLimits(false, true, false, &list, 0); });
    EXPECT_EQ(FindText(*doc.Pages[0], "P1"), nullptr);
    EXPECT_NE(FindText(*doc.Pages[0], "P2"), nullptr);
    EXPECT_EQ(FindText(*doc.Pages[0], "Uscita 1"), nullptr);
    // None selected: the header alone.
    list.Selected[1] = false;
    const TPrintedDocument& none = Job([&] { stampa.PrintSignalLimits(false, true, false, &list, 0); });
    EXPECT_EQ(FindText(*none.Pages[0], "P2"), nullptr);
    EXPECT_NE(FindText(*none.Pages[0], "Segnali minimi e massimi ottenibili alle prese [dB]"), nullptr);
}

TEST_F(CalcTablesTest, TablesNotChosenAddNoPage) {
    const TPrintedDocument& doc = Job([&] {
        EXPECT_EQ(stampa.PrintSignalLimits(false, false, true, nullptr, 0), -1);
        EXPECT_EQ(stampa.PrintOutletSeparations(false, true, nullptr, 0), -1);
        EXPECT_EQ(stampa.PrintChannelTable(false, false, true, nullptr, 0), -1);
        EXPECT_EQ(stampa.PrintOutletSeparations(true, true, nullptr, 0), 0);
    });
    ASSERT_EQ(doc.Pages.size(), 1u);
    EXPECT_NE(FindText(*doc.Pages[0], "Separazioni tra le prese [dB]"), nullptr);
}

TCanale Channel(const char* name, float freq, float levelMin, float sourceCN, float noise, float floor) {
    TCanale c;
    c.name = name;
    c.label = "Rai";
    c.sources = "Antenna UHF";
    c.freqLow = freq;
    c.freqHigh = freq + 8;
    c.levelMin = levelMin;
    c.levelMax = levelMin + 2.5f;
    c.sourceCNMin = c.sourceCNMax = sourceCN;
    c.noiseMin = c.noiseMax = noise;
    c.floorMin = c.floorMax = floor;
    return c;
}

class ChannelRowsTest : public CalcTablesTest {
protected:
    // A channel table page begun in a job; fn prints into it.
    template <class F>
    const TPrintedDocument& Table(F&& fn) {
        return Job([&] {
            stampa.GetPageLayout(DocChannels, 0);
            stampa.SetTablePositions(DocChannels);
            stampa.PrintTableHeader(DocChannels, 1);
            fn();
        });
    }
};

TEST_F(ChannelRowsTest, RowsSortedWithSignalsAndCarrierToNoise) {
    TListaCanali list;
    list.Insert(Channel("E40", 622, 70, 45, 99, 60));  // C/N 45 - 20 = 25
    list.Insert(Channel("E21", 470, 65, 40, 0, 38));   // no noise: N = 0; the floor 38 is lower
    list.Insert(Channel("E30", 542, 60, 5, 99, 60));   // 5 - 20 < 0: printed 0,00
    const TRecordingEngine& page =
        *Table([&] { EXPECT_TRUE(stampa.PrintChannelRows(&list, "P1", 1)); }).Pages[0];
    const TPoint name = TextAt(page, "P1");
    EXPECT_EQ(name.x, P(18));
    EXPECT_EQ(TextAt(page, "E21"), TPoint(P(74), name.y));
    EXPECT_EQ(TextAt(page, "E30").y, name.y + 100);
    EXPECT_EQ(TextAt(page, "E40").y, name.y + 200);
    auto endsAt = [&](const char* text, int y, int right) {
        for (const TPaintCall& t : TextCalls(page))
            if (t.Text == text && t.Points[0].y == y &&
                t.Points[0].x + TTextMetrics::Extent(t.State.Font, text).cx == right)
                return true;
        return false;
    };
    EXPECT_TRUE(endsAt("65,00", name.y, P(234)));
    EXPECT_TRUE(endsAt("67,50", name.y, P(274)));
    EXPECT_TRUE(endsAt("38,00", name.y, P(314)));  // the floor is below 40 - 0
    EXPECT_TRUE(endsAt("38,00", name.y, P(354)));
    EXPECT_TRUE(endsAt("0,00", name.y + 100, P(314)));
    EXPECT_TRUE(endsAt("25,00", name.y + 200, P(314)));
    EXPECT_EQ(FindText(page, "E21")->State.Font.Color, clBlue);
    EXPECT_EQ(FindText(page, "P1")->State.Font.Color, clBlack);
    EXPECT_EQ(TextAt(page, "Antenna UHF").x, P(384));
}

TEST_F(ChannelRowsTest, AnEmptyListPrintsTheNameAlone) {
    TListaCanali empty;
    int32_t y = 0;
    const TRecordingEngine& page = *Table([&] {
                                        y = PrintPage.Y;
                                        EXPECT_TRUE(stampa.PrintChannelRows(&empty, "Uscita 1", 3));
                                        EXPECT_EQ(PrintPage.Y, y + 100 + 4);
                                    }).Pages[0];
    EXPECT_EQ(TextAt(page, "Uscita 1"), TPoint(P(18), y));
}

TEST_F(ChannelRowsTest, BlocksKeepTogetherWhenTheyFitOnAFreshPage) {
    TListaCanali twelve, long_;
    for (int i = 0; i < 12; ++i)
        twelve.Insert(Channel(("C" + std::to_string(i + 10)).c_str(), 100.0f + i * 8, 60, 40, 0, 50));
    for (int i = 0; i < 70; ++i)
        long_.Insert(Channel(("L" + std::to_string(i + 10)).c_str(), 100.0f + i * 8, 60, 40, 0, 50));
    // Five rows left on the page: the twelve move whole.
    const TPrintedDocument& moved = Table([&] {
        PrintPage.Y = PrintPage.BodyBottom - 5 * PrintPage.LineHeight;
        stampa.PrintChannelRows(&twelve, "P1", 1);
    });
    ASSERT_EQ(moved.Pages.size(), 2u);
    EXPECT_EQ(FindText(*moved.Pages[0], "C10"), nullptr);
    EXPECT_NE(FindText(*moved.Pages[1], "C10"), nullptr);
    // Longer than a page: it starts where two rows fit.
    const TPrintedDocument& started = Table([&] {
        PrintPage.Y = PrintPage.BodyBottom - 2 * PrintPage.LineHeight;
        stampa.PrintChannelRows(&long_, "P1", 1);
    });
    EXPECT_EQ(TextAt(*started.Pages[0], "L10").y, 6530 - 200);
    EXPECT_EQ(TextAt(*started.Pages[0], "L11").y, 6530 - 100);
    EXPECT_EQ(FindText(*started.Pages[0], "L12"), nullptr);
    // One row short: a new page.
    const TPrintedDocument& one = Table([&] {
        PrintPage.Y = PrintPage.BodyBottom - PrintPage.LineHeight - 50;
        stampa.PrintChannelRows(&long_, "P1", 1);
    });
    EXPECT_EQ(FindText(*one.Pages[0], "L10"), nullptr);
}

TEST_F(ChannelRowsTest, ClosingRuleOnlyWhereALineFits) {
    TListaCanali one;
    one.Insert(Channel("E21", 470, 65, 40, 0, 50));
    auto rules = [](const TRecordingEngine& page, int y) {
        int n = 0;
        for (const TPaintCall& l : page.CallsOf(TPaintOp::Line))
            if (l.Points[0] == TPoint(0, y) && l.Points[1].y == y) ++n;
        return n;
    };
    int32_t end = 0;
    const TRecordingEngine& fits = *Table([&] {
                                        PrintPage.Y = PrintPage.BodyBottom - 3 * PrintPage.LineHeight;
                                        stampa.PrintChannelRows(&one, "P1", 1);
                                        end = PrintPage.Y;
                                    }).Pages[0];
    EXPECT_EQ(rules(fits, end - 4), 1);
    const TRecordingEngine& full = *Table([&] {
                                        PrintPage.Y = PrintPage.BodyBottom - PrintPage.LineHeight;
                                        stampa.PrintChannelRows(&one, "P1", 1);
                                        end = PrintPage.Y;
                                    }).Pages[0];
    EXPECT_EQ(end, PrintPage.BodyBottom);
    EXPECT_EQ(rules(full, end), 0);
}

TEST_F(CalcTablesTest, TheChannelPassRunsOnlyWhenOutOfDate) {
    int passes = 0;
    stampa.RunChannelPass = [&] {
        ++passes;
        line.project.RunChannelPass(0);
    };
    line.FeedChannels(0);
    line.project.NetworkGrid->ChannelsOutOfDate = true;
    const TPrintedDocument& doc =
        Job([&] { EXPECT_EQ(stampa.PrintChannelTable(true, true, true, nullptr, 0), 0); });
    EXPECT_EQ(passes, 1);
    EXPECT_NE(FindText(*doc.Pages[0],
                       "Canali in uscita dal terminale di testa e dalle prese con relativi segnali e rumori"),
              nullptr);
    EXPECT_NE(FindText(*doc.Pages[0], "E21"), nullptr);
    // Twenty channels a block: P2's moves whole to the second page.
    ASSERT_EQ(doc.Pages.size(), 2u);
    EXPECT_EQ(TextAt(*doc.Pages[1], "P2").y, 220 + P(26) + 100 + 4);
    line.project.NetworkGrid->ChannelsOutOfDate = false;
    line.project.HeadEndGrid->ChannelsOutOfDate = false;
    Job([&] { stampa.PrintChannelTable(false, true, true, nullptr, 0); });
    EXPECT_EQ(passes, 1);
}

// ---------------------------------------------------------------- the calculation print

class CalculationsCommandTest : public CalcTablesTest {
protected:
    CalculationsCommandTest() {
        stampa.CalculationsForm = &form;
        pages = {"Rete", "Testa", "Calcoli canali"};
    }
    TInfoStampaCalcoli form{nullptr};
    TPrintDialog dialog;
};

TEST_F(CalculationsCommandTest, TheFormWordForWord) {
    EXPECT_EQ(form.Caption.Get(), "Ordivex Varne - Immissione dati per stampa calcoli");
    EXPECT_EQ(form.GRete->Caption.Get(), "Calcoli di rete ");
    EXPECT_EQ(form.GCanali->Caption.Get(), "Calcoli dei canali ");
    EXPECT_EQ(form.GSelect->Caption.Get(), "Selezione prese ");
    EXPECT_EQ(form.CMinMaxTesta->Caption.Get(), "Segnali minimi e massimi ammessi al terminale di testa");
    EXPECT_EQ(form.CMinMaxPrese->Caption.Get(), "Segnali minimi e massimi ottenibili alle prese");
    EXPECT_EQ(form.CSepPrese->Caption.Get(), "Separazione tra le prese");
    EXPECT_EQ(form.CCanaliTesta->Caption.Get(), "Segnali dei canali in uscita al terminale di testa");
    EXPECT_EQ(form.CCanaliPrese->Caption.Get(), "Segnali dei canali alle prese");
    EXPECT_EQ(form.CTutte->Caption.Get(), "Tutte");
    EXPECT_EQ(form.CAlcune->Caption.Get(), "Alcune");
    EXPECT_EQ(form.BOk->Caption.Get(), "Ok");
    EXPECT_EQ(form.BAnnulla->Caption.Get(), "Annulla");
    form.CAlcune->Click();
    EXPECT_TRUE(form.LPrese->Enabled);
    form.CTutte->Click();
    EXPECT_FALSE(form.LPrese->Enabled);
}

TEST_F(CalculationsCommandTest, EveryRunStartsOnAllOutletsWithTheChannelBoxesByThePage) {
    form.CMinMaxPrese->Checked = true;
    form.CCanaliPrese->Checked = true;
    form.CAlcune->Checked = true;
    pages = {"Rete", "Testa"};
    Application->Script().AnswerShowModal<TInfoStampaCalcoli>([](TInfoStampaCalcoli& f) {
        EXPECT_TRUE(f.CTutte->Checked);
        EXPECT_FALSE(f.LPrese->Enabled);
        ASSERT_EQ(f.LPrese->Items->Count(), 2);
        EXPECT_EQ(f.LPrese->Items->Strings(0), "P1");
        EXPECT_EQ(f.LPrese->Items->Strings(1), "P2");
        EXPECT_TRUE(f.CMinMaxPrese->Checked);  // the network boxes keep their ticks
        EXPECT_FALSE(f.GCanali->Enabled || f.CCanaliTesta->Enabled || f.CCanaliPrese->Enabled);
        EXPECT_FALSE(f.CCanaliPrese->Checked);
        f.BAnnulla->Click();
    });
    stampa.PrintCalculationsCommand(&dialog);
    EXPECT_TRUE(Printer()->Documents().empty());
    EXPECT_TRUE(Application->Script().NextPrintAnswer() == std::nullopt);
}

TEST_F(CalculationsCommandTest, NothingTickedSaysSoAndPrintsNothing) {
    Application->Script().AnswerShowModal<TInfoStampaCalcoli>([](TInfoStampaCalcoli& f) { f.BOk->Click(); });
    Application->Script().AnswerPrintDialog(true);
    stampa.PrintCalculationsCommand(&dialog);
    EXPECT_EQ(ShownMessage(), "Nessuna tabella selezionata per la stampa.");
    EXPECT_TRUE(Printer()->Documents().empty());
}

TEST_F(CalculationsCommandTest, TheTickedTablesInOneJobEachFromANewPage) {
    line.FeedChannels(0);
    Application->Script().AnswerShowModal<TInfoStampaCalcoli>([](TInfoStampaCalcoli& f) {
        EXPECT_TRUE(f.GCanali->Enabled && f.CCanaliPrese->Enabled);
        f.CMinMaxPrese->Checked = true;
        f.CSepPrese->Checked = true;
        f.CCanaliPrese->Checked = true;
        f.BOk->Click();
    });
    // A cancelled print dialog: no job.
    Application->Script().AnswerPrintDialog(false);
    stampa.PrintCalculationsCommand(&dialog);
    EXPECT_TRUE(Printer()->Documents().empty());

    Application->Script().AnswerShowModal<TInfoStampaCalcoli>([](TInfoStampaCalcoli& f) { f.BOk->Click(); });
    Application->Script().AnswerPrintDialog(true);
    stampa.PrintCalculationsCommand(&dialog);
    ASSERT_EQ(Printer()->Documents().size(), 1u);
    const TPrintedDocument& doc = LastDocument();
    ASSERT_EQ(doc.Pages.size(), 3u);
    EXPECT_NE(FindText(*doc.Pages[0], "Segnali minimi e massimi ottenibili alle prese [dB]"), nullptr);
    EXPECT_NE(FindText(*doc.Pages[1], "Separazioni tra le prese [dB]"), nullptr);
    EXPECT_NE(FindText(*doc.Pages[2], "Canali in uscita dalle prese con relativi segnali e rumori"), nullptr);
    EXPECT_EQ(FindText(*doc.Pages[0], "Uscita 1"), nullptr);
}

}  // namespace
