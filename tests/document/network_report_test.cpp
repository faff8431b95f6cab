// The "Calcoli rete" report and the runs of the calculation pages, on the
// two-tap line worked out by hand: the terminal's required window is
// (SigMin + 15, SigMax + 12.5), P1 gets (SigMin, SigMax - 2.5) and P2
// (SigMin + 2.5, SigMax); band 0 is P1 (75, 75), P2 (72.5, 72.5), terminal
// (72.5, 75); least attenuation 12.5 at P2, greatest 15 at P1; separation
// P1 to P2 = 1 + 25 + 10 + 1 = 37, below "AttMin" 42 in slots 1 and 3.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cells/outlets.h"
#include "cells/taps.h"
#include "core/options.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/report_pages.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/utf8.h"
#include "support/globals_fixture.h"
#include "support/two_tap_line.h"

namespace {

const std::string S(204, '-');
const std::string Banda =
    "Banda\t \tC. Rit\tb. I\tFM\tb. III\tb. IV\tb. V\tsat. 1\tsat. 2\tsat. 3\tsat. 4\tsat. 5";
const std::string Freq = "Freq. [MHz]\t10\t50\t98\t200\t470\t862\t950\t1350\t1750\t2150\t2400";

std::string Times(const std::string& cell, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += cell;
    return out;
}

std::vector<std::string> Lines(const TRichEdit& report) {
    std::vector<std::string> out;
    for (int i = 0; i < report.Lines->Count(); ++i) out.push_back(report.Lines->Strings(i));
    return out;
}

void Append(std::vector<std::string>& to, std::initializer_list<std::string> lines) {
    to.insert(to.end(), lines.begin(), lines.end());
}

// The blocks after the verdicts: attenuations, head-end limits, outlets.
std::vector<std::string> Tables() {
    std::vector<std::string> t;
    Append(t, {S, "Attenuazioni minime e massime alle prese in dB", S, Banda, Freq, S,
               "Uscita 1:", "Att. Min.\t\t" + Times("12,5\t", 11), "Alla presa\t\t" + Times("P2\t", 11),
               "Att. Max.\t\t" + Times("15\t", 11), "Alla presa\t\t" + Times("P1\t", 11),
               "Differenza\t" + Times("2,5\t", 11), S, "", ""});
    Append(t, {S, "Segnali ammissibili in uscita dal Terminale di Testa in dB", S, Banda, Freq, S,
               "Uscita 1\t ", "Minimo\t\t72,5\t75\t65\t80\t80\t80\t65\t65\t65\t65\t65",
               "Massimo\t\t75\t92,5\t82,5\t92,5\t92,5\t92,5\t89,5\t89,5\t89,5\t89,5\t89,5", S, "", ""});
    Append(t, {S, "Segnali Alle Prese in dB", S, Banda, Freq, S,
               "Presa P1\t\t75\t60\t50\t65\t65\t65\t50\t50\t50\t50\t50",
               "\t\t75\t77,5\t67,5\t77,5\t77,5\t77,5\t74,5\t74,5\t74,5\t74,5\t74,5", S,
               "Presa P2\t\t72,5\t62,5\t52,5\t67,5\t67,5\t67,5\t52,5\t52,5\t52,5\t52,5\t52,5",
               "\t\t72,5\t80\t70\t80\t80\t80\t77\t77\t77\t77\t77", S, "", ""});
    return t;
}

// The window a calculation runs in, as these tests see it: how deep its
// commands are locked, where its progress stands and whether its panel shows.
class TRecordingWindow final : public TCalculationWindow {
public:
    void LockCommands() override { ++locks; }
    void UnlockCommands() override { --locks; }
    void ShowProgress() override {
        shown = true;
        percent = 0;
    }
    void SetProgress(int p) override { percent = p; }
    void HideProgress() override { shown = false; }
    int locks = 0;
    int percent = -1;
    bool shown = false;
};

class NetworkReportTest : public GlobalsTest {
protected:
    NetworkReportTest() {
        FormatSettings().DecimalSeparator = ',';
        FormatSettings().ThousandSeparator = '.';
        Application->Script().Reset();
        run.Window = &window;
        run.Cancel = &cancel;
    }
    ~NetworkReportTest() override { Application->Script().Reset(); }

    // Builds and analyses the line; numbering gives R1, P1, R2, P2.
    TwoTapLine& Line(float secondTapLoss = 10.0f) {
        line = std::make_unique<TwoTapLine>(secondTapLoss);
        EXPECT_TRUE(line->Analyse());
        run.Project = &line->project;
        return *line;
    }

    // The index of the first character of a line of the report.
    int LineStart(int index) {
        int start = 0;
        for (int l = 0; l < index; ++l) start += utf8::Length(report->Lines->Strings(l)) + 2;
        return start;
    }
    int FindLine(const std::string& text) {
        for (int i = 0; i < report->Lines->Count(); ++i)
            if (report->Lines->Strings(i) == text) return i;
        ADD_FAILURE() << "no line " << text;
        return 0;
    }
    // The colour of every character of a line, one per character.
    std::vector<TColor> Colours(int index) {
        std::vector<TColor> out;
        const int start = LineStart(index);
        for (int i = 0; i < utf8::Length(report->Lines->Strings(index)); ++i)
            out.push_back(report->FormatAt(start + i).Color);
        return out;
    }
    // Checks a band row: the label, then per band the colour of its text.
    void ExpectBandColours(int index, const std::vector<TColor>& bands) {
        const std::string text = report->Lines->Strings(index);
        const std::vector<TColor> colours = Colours(index);
        SCOPED_TRACE(text);
        size_t column = text.find('\t');
        for (size_t i = 0; i < column; ++i) EXPECT_EQ(colours[i], clBlack) << "label " << i;
        // Skip the label's own tabs to the first band.
        std::vector<std::pair<size_t, size_t>> cells;
        size_t at = 0;
        while ((at = text.find('\t', at)) != std::string::npos) {
            const size_t end = text.find('\t', at + 1);
            cells.emplace_back(at + 1, end == std::string::npos ? text.size() : end);
            at = at + 1;
        }
        // The last bands.size() cells that are not empty are the bands.
        std::vector<std::pair<size_t, size_t>> filled;
        for (const auto& c : cells)
            if (c.second > c.first) filled.push_back(c);
        ASSERT_EQ(filled.size(), bands.size());
        for (size_t b = 0; b < bands.size(); ++b)
            for (size_t i = filled[b].first; i < filled[b].second; ++i)
                EXPECT_EQ(colours[i], bands[b]) << "band " << b << " character " << i;
    }

    std::unique_ptr<TwoTapLine> line;
    std::unique_ptr<TRichEdit> report = std::make_unique<TRichEdit>(nullptr);
    TRecordingWindow window;
    bool cancel = false;
    TCalculationRun run;
};

TEST_F(NetworkReportTest, TheTwoTapLineReportLineByLine) {
    Line();
    EXPECT_EQ(line->r1->GetShortCode(), "R1");
    EXPECT_EQ(line->p1->GetShortCode(), "P1");
    EXPECT_EQ(line->r2->GetShortCode(), "R2");
    EXPECT_EQ(line->p2->GetShortCode(), "P2");
    EXPECT_TRUE(ReportNetwork(run, report.get()));

    std::vector<std::string> expected = {
        S,
        "Informazioni generiche",
        "",
        "Controllo separazione prese: Errore",
        "Controllo differenza segnale alle prese: Ok",
        "",
        "Esempi di violazioni",
        "La separazione tra le prese P1 e P2 in banda b. I (50 MHz) è inferiore ai 42 dB consentiti.",
        S,
        "",
        ""};
    const std::vector<std::string> tables = Tables();
    expected.insert(expected.end(), tables.begin(), tables.end());
    Append(expected, {S, "Separazione dalla presa P1 alla presa P... in dB", S, Banda, Freq, S,
                      "P1 - P2\t\t*\t37\t*\t37\t*\t*\t*\t*\t*\t*\t*", S, "", ""});
    const std::vector<std::string> lines = Lines(*report);
    EXPECT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < std::min(lines.size(), expected.size()); ++i)
        EXPECT_EQ(lines[i], expected[i]) << i;
}

TEST_F(NetworkReportTest, ColoursOfTheTwoTapLineReport) {
    Line();
    ReportNetwork(run, report.get());
    const TColor B = clBlue, M = clFuchsia, R = clRed;
    // The five attenuation rows: blue after their labels, tabs included.
    const int first = FindLine("Uscita 1:") + 1;
    for (int row = first; row < first + 5; ++row) {
        const std::string text = report->Lines->Strings(row);
        const size_t label = text.find_first_not_of('\t', text.find('\t'));
        const std::vector<TColor> colours = Colours(row);
        for (size_t i = 0; i < colours.size(); ++i)
            EXPECT_EQ(colours[i], i < label ? clBlack : B) << text << " character " << i;
    }
    // Limits and levels: band 0 magenta, the rest blue (all within the limits).
    const std::vector<TColor> levels = {M, B, B, B, B, B, B, B, B, B, B};
    for (const char* row : {"Minimo\t\t72,5", "Presa P1\t\t75", "Presa P2\t\t72,5"})
        for (int i = 0; i < report->Lines->Count(); ++i)
            if (report->Lines->Strings(i).rfind(row, 0) == 0) {
                ExpectBandColours(i, levels);
                ExpectBandColours(i + 1, levels);  // the row below, of maxima
            }
    // Separation: 37 red where it is below "AttMin", the bounded "*" blue.
    ExpectBandColours(FindLine("P1 - P2\t\t*\t37\t*\t37\t*\t*\t*\t*\t*\t*\t*"),
                      {B, R, B, R, B, B, B, B, B, B, B});
    // Headings, verdicts, messages and separators black.
    for (int i = 0; i < report->Lines->Count(); ++i) {
        const std::string text = report->Lines->Strings(i);
        if (text.find('\t') != std::string::npos && text.rfind("Banda", 0) != 0 &&
            text.rfind("Freq.", 0) != 0 && text.rfind("Uscita", 0) != 0)
            continue;
        for (TColor c : Colours(i)) EXPECT_EQ(c, clBlack) << text;
    }
}

TEST_F(NetworkReportTest, ALevelDifferenceAboveDiffMaxIsReportedWithoutASeparationTable) {
    // R2's tap loss 30: P2 gets 17.5 dB less than P1 in FM, against 17 allowed.
    Line(30.0f);
    EXPECT_TRUE(ReportNetwork(run, report.get()));
    const std::vector<std::string> lines = Lines(*report);
    const std::vector<std::string> head = {
        S,
        "Informazioni generiche",
        "",
        "Controllo separazione prese: Ok",
        "Controllo differenza segnale alle prese: Errore",
        "",
        "Esempi di violazioni",
        "La differenza di segnale tra le prese P2 e P1 in banda FM (98 MHz) è superiore ai 17 dB consentiti.",
        S};
    ASSERT_GT(lines.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + head.size()), head);
    for (const std::string& l : lines) EXPECT_EQ(l.find("Separazione dalla presa"), std::string::npos);
}

TEST_F(NetworkReportTest, AProjectOfAnchorsOnlyPassesBothChecksWithEmptyTables) {
    TProgetto project(nullptr);
    project.Reset(true);
    ASSERT_TRUE(project.AnalyseGrids());
    run.Project = &project;
    window.percent = 0;
    EXPECT_TRUE(ReportNetwork(run, report.get()));
    std::vector<std::string> expected = {S,
                                         "Informazioni generiche",
                                         "",
                                         "Controllo separazione prese: Ok",
                                         "Controllo differenza segnale alle prese: Ok",
                                         "",
                                         S,
                                         "",
                                         ""};
    Append(expected, {S, "Attenuazioni minime e massime alle prese in dB", S, Banda, Freq, S,
                      "Uscita 1:", "Att. Min.\t\t" + Times("*\t", 11), "Alla presa\t\t" + Times(" \t", 11),
                      "Att. Max.\t\t" + Times("*\t", 11), "Alla presa\t\t" + Times(" \t", 11),
                      "Differenza\t" + Times("*\t", 11), S, "", ""});
    const std::vector<std::string> lines = Lines(*report);
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expected.size()), expected);
    // The outlet table has its heading only, and nothing follows it.
    const std::vector<std::string> tail = {S, "Segnali Alle Prese in dB", S, Banda, Freq, S, "", ""};
    EXPECT_EQ(std::vector<std::string>(lines.end() - tail.size(), lines.end()), tail);
    EXPECT_EQ(window.percent, 0);
}

// The person's "Annulla" between outlets: the separation check stops, its
// verdict says so, no separation example is shown and the report says it is
// incomplete. A flag left set before the report is cleared at its start.
TEST_F(NetworkReportTest, ACancelledSeparationCheckLeavesTheReportIncomplete) {
    Line();
    cancel = true;
    Application->Script().AtProcessMessages([&] { cancel = true; });
    EXPECT_FALSE(ReportNetwork(run, report.get()));
    const std::vector<std::string> lines = Lines(*report);
    ASSERT_GT(lines.size(), 8u);
    EXPECT_EQ(lines[3], "Controllo separazione prese: Interrotto");
    EXPECT_EQ(lines[4], "Controllo differenza segnale alle prese: Ok");
    EXPECT_EQ(lines[6], S);  // no examples
    for (const std::string& l : lines) {
        EXPECT_EQ(l.find("La separazione"), std::string::npos);
        EXPECT_EQ(l.find("Separazione dalla presa"), std::string::npos);
    }

    // Run as the page: cancelled, the network stays out of date.
    line->project.NetworkGrid->NetworkOutOfDate = true;
    Application->Script().AtProcessMessages([] {});  // the panel's own paint
    Application->Script().AtProcessMessages([&] { cancel = true; });
    EXPECT_FALSE(RunNetworkCalculations(run, report.get()));
    EXPECT_TRUE(line->project.NetworkGrid->NetworkOutOfDate);
    // Not cancelled, it is complete and up to date; the flag left set was cleared.
    EXPECT_TRUE(cancel);
    EXPECT_TRUE(RunNetworkCalculations(run, report.get()));
    EXPECT_FALSE(cancel);
    EXPECT_FALSE(line->project.NetworkGrid->NetworkOutOfDate);
    EXPECT_EQ(report->Lines->Strings(3), "Controllo separazione prese: Errore");
}

// The report keeps the window's commands locked whenever it lets pending
// messages run (one of them could free the cells it walks), and gives them
// all back when it is done.
TEST_F(NetworkReportTest, CommandsStayOffWhileTheReportLetsMessagesRun) {
    Line();
    int runs = 0;
    bool everUnlocked = false;
    Application->Script().AtProcessMessages([&] {
        ++runs;
        if (window.locks <= 0) everUnlocked = true;
    });
    EXPECT_TRUE(ReportNetwork(run, report.get()));
    EXPECT_GT(runs, 0);
    EXPECT_FALSE(everUnlocked);
    EXPECT_EQ(window.locks, 0);
    EXPECT_EQ(report->Lines->Strings(3), "Controllo separazione prese: Errore");
    // As the page, with its progress panel: shown from 0, hidden at the end.
    bool shownAtZero = false;
    Application->Script().AtProcessMessages([&] { shownAtZero = window.shown && window.percent == 0 && window.locks > 0; });
    EXPECT_TRUE(RunNetworkCalculations(run, report.get()));
    EXPECT_TRUE(shownAtZero);
    EXPECT_FALSE(window.shown);
    EXPECT_EQ(window.locks, 0);
}

// Laid out in the report's columns, every row's first band stands under
// the heading's first band, whatever the width of its label.
TEST_F(NetworkReportTest, InItsColumnsEveryRowStartsUnderTheFirstBand) {
    Line();
    line->p2->SequenceNumber = 10;  // "Presa P10" takes one tab less
    SetNetworkReportColumns(report.get());
    ReportNetwork(run, report.get());
    const int column = report->PosFromChar(LineStart(FindLine(Banda)) + utf8::Length("Banda\t \t")).x;
    int rows = 0;
    for (int i = 0; i < report->Lines->Count(); ++i) {
        const std::string text = report->Lines->Strings(i);
        if (text.find('\t') == std::string::npos || text.rfind("Banda", 0) == 0 ||
            text.rfind("Uscita", 0) == 0)
            continue;
        const size_t first = text.find_first_not_of('\t', text.find('\t'));
        EXPECT_EQ(report->PosFromChar(LineStart(i) + static_cast<int>(first)).x, column) << text;
        ++rows;
    }
    EXPECT_EQ(rows, 16);  // four frequency lines, 5 + 2 + 4 band rows and a separation row
}

TEST_F(NetworkReportTest, TheBandHeadingAloneHasNoSeparators) {
    report->Lines->Add("vecchio");
    WriteBandHeaderOnly(report.get());
    EXPECT_EQ(Lines(*report), (std::vector<std::string>{Banda, Freq}));
}

// An attenuation past 40000 dB (no path from that head-end output) reads "*"
// with a blank outlet; outlet codes of two digits get no extra tab.
TEST_F(NetworkReportTest, AttenuationAndOutletCellsAtTheirEdges) {
    Line();
    TAttenuazioniPrese a;
    for (int32_t b = 0; b < BandSlots; ++b) {
        a.LeastAttenuation[0][b] = b == 1 ? 40000.5f : 40000.0f;
        a.LeastAt[0][b] = 3;
        a.GreatestAttenuation[0][b] = b == 2 ? LevelNone : 40000.0f;
        a.GreatestAt[0][b] = 4;
    }
    TReportText out;
    WriteAttenuationLimits(line->project, a, out);
    EXPECT_EQ(out.Line(7),
              "Att. Min.\t\t40000\t*\t40000\t40000\t40000\t40000\t40000\t40000\t40000\t40000\t40000\t");
    EXPECT_EQ(out.Line(8), "Alla presa\t\tP3\t \tP3\tP3\tP3\tP3\tP3\tP3\tP3\tP3\tP3\t");
    EXPECT_EQ(out.Line(9),
              "Att. Max.\t\t40000\t40000\t*\t40000\t40000\t40000\t40000\t40000\t40000\t40000\t40000\t");
    EXPECT_EQ(out.Line(10), "Alla presa\t\tP4\tP4\t \tP4\tP4\tP4\tP4\tP4\tP4\tP4\tP4\t");

    line->p1->SequenceNumber = 10;
    line->project.ComputeOutletLevels();
    TReportText signals;
    WriteOutletSignals(run, signals);
    EXPECT_EQ(signals.Line(6).substr(0, 12), "Presa P10\t75");
    EXPECT_EQ(signals.Line(9).substr(0, 10), "Presa P2\t\t");
}

// ---------------------------------------------------------------- channel pages

// "Calcoli rete richiesti": the title of the printed table, then the
// terminal's output with the windows admissible there, band 0 the return
// channel's (72,5 to 75), the others (SigMin + 15, SigMax + 12,5).
TEST_F(NetworkReportTest, TheRequiredLevelsAreTheTerminalsAdmissibleWindows) {
    Line();
    ReportRequiredLevels(line->project, report.get());
    const std::vector<std::string> expected = {
        HeadEndLimitsTitle,
        S,
        "Uscita 1",
        "Minimo\t\t72,5\t75\t65\t80\t80\t80\t65\t65\t65\t65\t65",
        "Massimo\t\t75\t92,5\t82,5\t92,5\t92,5\t92,5\t89,5\t89,5\t89,5\t89,5\t89,5",
        S};
    EXPECT_EQ(Lines(*report), expected);
    // Band 0 magenta, the other bands in the colours of the limits.
    ExpectBandColours(
        3, {clFuchsia, clBlue, clBlue, clBlue, clBlue, clBlue, clBlue, clBlue, clBlue, clBlue, clBlue});
}

class ChannelPagesTest : public NetworkReportTest {
protected:
    // The line fed by a source of 20 channels, five of them in no band.
    void Feed() {
        Line();
        line->FeedChannels(5);
    }
    // What one channel pass reports into a list of the test's own.
    std::vector<std::string> OnePass() {
        TListBox mine(nullptr);
        GestoreErrori->SetTarget(&mine);
        line->project.RunChannelPass(0);
        GestoreErrori->enabled = false;
        std::vector<std::string> out;
        for (int i = 0; i < mine.Items->Count(); ++i) out.push_back(mine.Items->Strings(i));
        return out;
    }
    std::vector<TGridData*> Grids() { return {&*line->project.NetworkGrid, &*line->project.HeadEndGrid}; }
    static std::vector<std::string> Items(const TListBox& list) {
        std::vector<std::string> out;
        for (int i = 0; i < list.Items->Count(); ++i) out.push_back(list.Items->Strings(i));
        return out;
    }

    std::unique_ptr<TRichEdit> header = std::make_unique<TRichEdit>(nullptr);
    std::unique_ptr<TRichEdit> table = std::make_unique<TRichEdit>(nullptr);
    std::unique_ptr<TListBox> messages = std::make_unique<TListBox>(nullptr);
};

TEST_F(ChannelPagesTest, CalcoliCanaliRunsThePassIntoTheMessageList) {
    Feed();
    const std::vector<std::string> reported = OnePass();
    ASSERT_EQ(line->p1->ChannelLists[OutletSocket]->Count(), 15);  // the channels reach the sockets
    ASSERT_EQ(reported.size(), 10u);
    EXPECT_EQ(reported[0], "R1: canale E36 non gestito.");

    table->Lines->Add("vecchia riga");
    messages->Items->Add("vecchio messaggio");
    window.percent = 70;
    bool shownAtZero = false;
    Application->Script().AtProcessMessages([&] { shownAtZero = window.shown && window.percent == 0; });
    for (TGridData* g : Grids()) g->ChannelsOutOfDate = true;
    RunChannelCalculations(run, header.get(), table.get(), messages.get());

    EXPECT_TRUE(shownAtZero);
    EXPECT_FALSE(window.shown);
    const std::vector<std::string> headerOnly = {
        "Componente\tCanale\t\tDescrizione\t\tS Min.\tS Max.\tC/N Min.\tC/N Max.\tProvenienza"};
    EXPECT_EQ(Lines(*header), headerOnly);
    // The table: the header, then every outlet's channels in the chain's
    // order, written as the cells write their channel rows.
    TRichEdit expected(nullptr);
    expected.Lines->Add(headerOnly[0]);
    for (TPresaD* outlet : {line->p1, line->p2})
        AddChannelRowsDefault(&expected, outlet->GetShortCode(), *outlet->ChannelLists[OutletSocket]);
    ASSERT_EQ(table->Lines->Count(), 1 + 15 + 15);
    EXPECT_EQ(Lines(*table), Lines(expected));
    EXPECT_EQ(table->Lines->Strings(1).compare(0, 4, "P1: "), 0);
    EXPECT_EQ(table->Lines->Strings(16).compare(0, 4, "P2: "), 0);
    EXPECT_EQ(Items(*messages), reported);
    EXPECT_FALSE(GestoreErrori->enabled);
    EXPECT_FALSE(line->project.NetworkGrid->ChannelsOutOfDate);
    EXPECT_FALSE(line->project.HeadEndGrid->ChannelsOutOfDate);
}

TEST_F(ChannelPagesTest, CalcoliCanaliRichiestiRunsThePassWithoutAProgressPanel) {
    Feed();
    const std::vector<std::string> reported = OnePass();
    table->Lines->Add("vecchia riga");
    messages->Items->Add("vecchio messaggio");
    window.percent = 70;
    for (TGridData* g : Grids()) {
        g->RequiredChannelsOutOfDate = true;
        g->ChannelsOutOfDate = true;
    }
    RunRequiredChannelCalculations(run, table.get(), messages.get());
    EXPECT_EQ(table->Lines->Count(), 0);
    EXPECT_EQ(Items(*messages), reported);
    EXPECT_FALSE(GestoreErrori->enabled);
    EXPECT_EQ(window.percent, 70);
    EXPECT_FALSE(window.shown);
    EXPECT_EQ(window.locks, 0);
    EXPECT_FALSE(line->project.NetworkGrid->RequiredChannelsOutOfDate);
    EXPECT_FALSE(line->project.HeadEndGrid->RequiredChannelsOutOfDate);
    EXPECT_TRUE(line->project.NetworkGrid->ChannelsOutOfDate);  // the other page's flags stay
}

}  // namespace
