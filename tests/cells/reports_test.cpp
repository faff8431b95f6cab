// What a cell says of itself: the port under the mouse, and the calculation
// report of a pointed port on a small network whose figures are worked out
// by hand below.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cells/cables.h"
#include "cells/head_end.h"
#include "cells/mouse_info.h"
#include "core/band_systems.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/report_pages.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/utf8.h"
#include "support/globals_fixture.h"
#include "support/pass_cells.h"

namespace {

template <typename T, typename... Args>
T* Put(TGridData& grid, Args&&... args) {
    auto cellOwned = std::make_unique<T>(&grid, std::forward<Args>(args)...);
    auto* cell = cellOwned.get();
    EXPECT_TRUE(grid.InsertCell(std::move(cellOwned), false, 0));
    return cell;
}

TInfoMousePos Pointer(int32_t column, int32_t row, int32_t x, int32_t y) {
    TInfoMousePos p;
    p.Column = column;
    p.Row = row;
    p.OffsetX = x;
    p.OffsetY = y;
    p.SquareSize = 42;
    return p;
}

// The same text once per band of the calculation band system, each after a tab.
AnsiString PerBand(const AnsiString& text) {
    AnsiString row;
    for (int32_t b = 0; b < TCella::CalculationBandCount(); ++b) row += "\t" + text;
    return row;
}

TEST(PortNames, TheBaseCellNamesItsInputAboveAndItsOutputsBelow) {
    TPassanteProva one(nullptr, 10, 5, 1);
    TPassanteProva three(nullptr, 10, 5, 3);
    TPassanteProva turned(nullptr, 10, 5, 1, 0, 2);
    struct Case {
        TCella* cell;
        int32_t column, x, y;
        int32_t input, through;
        const char* name;
    };
    // clang-format off
    const Case cases[] = {
        {&one, 10, 21, 5, 0, -1, "ingresso"},
        {&one, 10, 21, 30, -1, 0, "uscita"},
        {&three, 11, 21, 30, -1, 1, "uscita 2"},
        {&three, 12, 2, 40, -1, 2, "uscita 3"},
        {&three, 10, 21, 20, 0, -1, "ingresso"},
        // Turned upside down: the top of the square is the symbol's bottom.
        {&turned, 10, 21, 5, -1, 0, "uscita"},
        {&turned, 10, 21, 30, 0, -1, "ingresso"},
    };
    // clang-format on
    for (const Case& c : cases) {
        TInfoMousePos p = Pointer(c.column, 5, c.x, c.y);
        p.TapOutput = 4;
        c.cell->GetPortName(p);
        EXPECT_EQ(p.Input, c.input) << c.name;
        EXPECT_EQ(p.ThroughOutput, c.through) << c.name;
        EXPECT_EQ(p.TapOutput, -1) << c.name;
        EXPECT_EQ(p.PortName, c.name);
    }
}

TEST(PortNames, TheHeadEndTerminalNamesItsLines) {
    TTesta terminal(nullptr, 0, 0, 20, 0, 3);
    struct Case {
        int32_t column;
        int32_t through;
        const char* name;
    };
    const Case cases[] = {{20, -1, ""}, {21, 0, "linea 1"}, {23, 2, "linea 3"}, {24, -1, ""}};
    for (const Case& c : cases) {
        TInfoMousePos p = Pointer(c.column, 0, 21, 30);
        p.Input = 2;
        terminal.GetPortName(p);
        EXPECT_EQ(p.Input, -1);
        EXPECT_EQ(p.TapOutput, -1);
        EXPECT_EQ(p.ThroughOutput, c.through) << c.column;
        EXPECT_EQ(p.PortName, c.name);
    }
}

// The network on the project's network grid (every loss in every band):
//   terminal line (37,0)
//   C1 cable (37,1): 2 dB
//   X1 splitter (37,4)+(38,4): 4 dB to each output (through outputs 0 and 1)
//   P1 end outlet (37,5): socket 10 dB
//   C2 cable (38,5): 0 dB, P2 terminated outlet (38,6): socket 12 dB
// Options in every band: SigMin 60, SigMax 80.
class CellReports : public GlobalsTest {
protected:
    CellReports() : project(nullptr) {
        for (int32_t b = 0; b < BandSlots; ++b) {
            Opzioni->limits[b][LimitSigMin] = 60;
            Opzioni->limits[b][LimitSigMax] = 80;
        }
        ReportPages().Clear();
        project.Reset(true);
        net = project.NetworkGrid;
        anchor = dynamic_cast<TTesta*>(net->Anchor);
        c1 = Put<TTrattoProva>(*net, 37, 1);
        Put<TTrattoProva>(*net, 37, 2);
        Put<TTrattoProva>(*net, 37, 3);
        x1 = Put<TPassanteProva>(*net, 37, 4, 2);
        p1 = Put<TPresaProva>(*net, 37, 5, 14);
        Put<TTrattoProva>(*net, 38, 5);
        p2 = Put<TPresaProva>(*net, 38, 6, 54);
        SetRow0(*c1, 1, 2.0f);
        SetRow0(*x1, 1, 4.0f);
        SetRow0(*p1, 0, 10.0f);
        SetRow0(*p2, 0, 12.0f);
        x1->Described = 1;
        x1->Brand = "Varne";
        x1->Code = "DV2";
        x1->SequenceNumber = 1;
    }
    ~CellReports() override {
        ReportPages().Clear();
        Screen->SetMetrics(TScreenMetrics{});
    }

    std::vector<AnsiString> Lines() {
        std::vector<AnsiString> lines;
        for (int i = 0; i < report->Lines->Count(); ++i) lines.push_back(report->Lines->Strings(i));
        return lines;
    }
    int LineStart(int line) {
        int start = 0;
        for (int l = 0; l < line; ++l) start += utf8::Length(report->Lines->Strings(l)) + 2;
        return start;
    }
    TColor ColourAt(int line, int column) { return report->FormatAt(LineStart(line) + column).Color; }

    TProgetto project;
    TGridData* net = nullptr;
    TTesta* anchor = nullptr;
    TCella *c1 = nullptr, *x1 = nullptr, *p1 = nullptr, *p2 = nullptr;
    std::unique_ptr<TRichEdit> report = std::make_unique<TRichEdit>(nullptr);
};

TEST_F(CellReports, WithoutAPointedPortOnlyTheHeaderIsWritten) {
    ReportPages().AddPage(PageNetworkCalculations);
    TInfoMousePos none;
    x1->WriteReport(report.get(), none);
    EXPECT_EQ(Lines(), std::vector<AnsiString>{"- Varne DV2 "});

    // From detail level 2 the short code follows the type name.
    project.Step = 2;
    report->Lines->Clear();
    x1->WriteReport(report.get(), none);
    EXPECT_EQ(Lines(), std::vector<AnsiString>{"X1- Varne DV2 "});

    report->Lines->Clear();
    p1->Described = 0;
    p1->SequenceNumber = 1;
    p1->WriteReport(report.get(), none);
    EXPECT_EQ(Lines(), std::vector<AnsiString>{"P1- componente non definito"});

    // A cable segment names itself a cable or, with no length, a bridge.
    report->Lines->Clear();
    TNCavo cable(net, 0, 0, 30, 5, 0, 0);
    cable.Described = 0;
    cable.SequenceNumber = 1;
    cable.WriteReport(report.get(), none);
    cable.TypeCode = CodeBridge;
    cable.WriteReport(report.get(), none);
    EXPECT_EQ(Lines(), (std::vector<AnsiString>{"Cavo C1- componente non definito",
                                                "Ponte K1- componente non definito"}));
}

TEST_F(CellReports, APointedOutputShowsItsAttenuationsAndTheRequiredWindowBelowIt) {
    ASSERT_TRUE(project.AnalyseGrids());
    ReportPages().AddPage(PageNetworkCalculations);
    TInfoMousePos p;
    p.ThroughOutput = 0;
    x1->WriteReport(report.get(), p);
    // "Banda" is narrower than one tab stop: a second tab takes the band
    // names to where the values of the longer labels start.
    AnsiString bandHeader = "Banda\t";
    for (int32_t b = 0; b < TCella::CalculationBandCount(); ++b)
        bandHeader += "\t " + SistemaBandeCorrente->bands[static_cast<size_t>(b)].bandName;
    // Head end to X1's first output: 2 + 4 = 6 dB, one line so one row. P1
    // needs (60, 80) + 10 at its input.
    const std::vector<AnsiString> expected = {
        "- Varne DV2 ",
        "",
        bandHeader,
        "",
        "Attenuazioni [dB]" + PerBand("6"),
        "",
        "Segnali richiesti" + PerBand("70"),
        "\t" + PerBand("90"),
    };
    EXPECT_EQ(Lines(), expected);
    // Values in blue, labels in black.
    EXPECT_EQ(ColourAt(4, 0), clBlack);
    EXPECT_EQ(ColourAt(4, utf8::Length("Attenuazioni [dB]\t")), clBlue);
    EXPECT_EQ(ColourAt(6, utf8::Length("Segnali richiesti\t")), clBlue);
    EXPECT_EQ(ColourAt(7, 0), clBlack);
}

TEST_F(CellReports, APointedInputShowsTheUpstreamAttenuationsAndItsOwnRequiredWindow) {
    ASSERT_TRUE(project.AnalyseGrids());
    ReportPages().AddPage(PageNetworkCalculations);
    // Each section is the information menu's item of its name.
    Opzioni->hbSignalLimits = false;
    TInfoMousePos p;
    p.Input = 0;
    p1->WriteReport(report.get(), p);
    ASSERT_EQ(Lines().size(), 5u);
    // The attenuations at the upstream output X1 feeds P1 from.
    EXPECT_EQ(Lines()[4], "Attenuazioni [dB]" + PerBand("6"));

    Opzioni->hbSignalLimits = true;
    Opzioni->hbAttenuations = false;
    report->Lines->Clear();
    p1->WriteReport(report.get(), p);
    ASSERT_EQ(Lines().size(), 6u);
    EXPECT_EQ(Lines()[4], "Segnali richiesti" + PerBand("70"));
    EXPECT_EQ(Lines()[5], "\t" + PerBand("90"));

    // Without the page, or with neither option, no network section.
    Opzioni->hbSignalLimits = false;
    report->Lines->Clear();
    p1->WriteReport(report.get(), p);
    EXPECT_EQ(Lines().size(), 1u);
    Opzioni->hbAttenuations = true;
    ReportPages().Clear();
    report->Lines->Clear();
    p1->WriteReport(report.get(), p);
    EXPECT_EQ(Lines().size(), 1u);
}

TEST_F(CellReports, AHeadEndLineThatDoesNotReachThePortAddsNoRow) {
    anchor->SetLineCount(2);  // line 2 feeds nothing
    ASSERT_TRUE(project.AnalyseGrids());
    x1->WriteAttenuationRows(report.get(), 1);
    // 6 dB from line 1; line 2 brings no signal to the port: it has no
    // greatest attenuation to show, and no row of bare marks.
    EXPECT_EQ(Lines(), (std::vector<AnsiString>{"Attenuazioni [dB]" + PerBand("6")}));
}

TEST_F(CellReports, RequiredWindowRowsColourTheirRunsOfValues) {
    x1->ResetInputLevels();
    const int32_t n = TCella::CalculationBandCount();
    for (int32_t b = 0; b < n; ++b) {
        x1->InputLevels[0][b].Min = b < 4 ? 50.0f : LevelBlocked;
        x1->InputLevels[0][b].Max = b < 4 ? 70.5f : LevelReqUnlimited;
    }
    x1->WriteAttenuationTable(report.get(), 0, "");
    AnsiString minimum = "X1-Ing 1 Min.", maximum = "X1-Ing 1 Max.";
    for (int32_t b = 0; b < n; ++b) {
        minimum += b < 4 ? "\t50" : "\t*";
        maximum += b < 4 ? "\t70,5" : "\tIllim.";
    }
    EXPECT_EQ(Lines(), (std::vector<AnsiString>{minimum, maximum}));
    const int firstValue = utf8::Length("X1-Ing 1 Min.\t");
    const int fifthValue = firstValue + 4 * 3;  // "50\t" four times
    EXPECT_EQ(ColourAt(0, firstValue), clBlue);
    EXPECT_EQ(ColourAt(0, firstValue + 2), clBlue);   // a tab inside the blue run
    EXPECT_EQ(ColourAt(0, fifthValue - 1), clBlack);  // the tab between the runs
    EXPECT_EQ(ColourAt(0, fifthValue), clRed);
    // An unlimited window is no fault: blue.
    EXPECT_EQ(ColourAt(1, utf8::Length(maximum) - 1), clBlue);

    report->Lines->Clear();
    x1->WriteAttenuationTable(report.get(), 0, "Segnali richiesti");
    EXPECT_EQ(Lines()[0].substr(0, 18), "Segnali richiesti\t");
    EXPECT_EQ(Lines()[1].substr(0, 2), "\t\t");
}

TEST_F(CellReports, TheChannelSectionRunsTheChannelPassSilently) {
    ASSERT_TRUE(project.AnalyseGrids());
    ReportPages().AddPage(PageChannelCalculations);
    Opzioni->hbGeneratedChannels = true;
    ReportPages().ReportColour = clGreen;
    globals.Reporter().SetTarget(nullptr);
    TInfoMousePos p;
    p.Input = 0;
    p.ThroughOutput = 1;
    x1->WriteReport(report.get(), p);
    // Header, empty row, column header, empty row, the through output's
    // rows, the rows of the upstream output, each under the name of the
    // component the channels are at.
    const std::vector<AnsiString> expected = {
        "- Varne DV2 ", "", ChannelRowsHeader, "", "X1: \t \t", "C1: \t \t",
    };
    EXPECT_EQ(Lines(), expected);
    EXPECT_FALSE(globals.Reporter().enabled);
    // The rows start in blue whatever the colour was.
    EXPECT_EQ(ReportPages().ReportColour, clBlue);
    EXPECT_TRUE(Application->Script().MessageBoxes.empty());
}

TEST_F(CellReports, HighResolutionScreensGetTabStops) {
    TInfoMousePos none;
    x1->WriteReport(report.get(), none);
    EXPECT_EQ(report->Paragraph->TabCount(), 0);
    TScreenMetrics metrics;
    metrics.PixelsPerInch = 120;
    Screen->SetMetrics(metrics);
    x1->WriteReport(report.get(), none);
    EXPECT_EQ(report->Paragraph->TabCount(), 20);
}

// The report as the hint shows it: below the band header every row of the
// network section has its values under the band names, the first under the
// first band and the last under the last, whatever its label ("Attenuazioni
// [dB]", "Segnali richiesti", the empty label of the required maxima).
TEST_F(CellReports, EveryNetworkRowStandsUnderTheBandHeader) {
    anchor->SetLineCount(2);  // line 2 feeds nothing
    ASSERT_TRUE(project.AnalyseGrids());
    ReportPages().AddPage(PageNetworkCalculations);
    TInfoMousePos p;
    p.ThroughOutput = 0;
    x1->WriteReport(report.get(), p);
    const std::vector<AnsiString> lines = Lines();
    const int bands = TCella::CalculationBandCount();
    ASSERT_GT(bands, 1);
    // Where the text after each of the last `bands` tabs of a line starts.
    auto columns = [&](int line) {
        const AnsiString& text = lines[static_cast<size_t>(line)];
        std::vector<int> tabs;
        for (int i = 0; i < utf8::Length(text); ++i)
            if (utf8::Mid(text, i, 1) == "\t") tabs.push_back(i);
        std::vector<int> xs;
        if (static_cast<int>(tabs.size()) < bands) return xs;
        for (size_t k = tabs.size() - static_cast<size_t>(bands); k < tabs.size(); ++k)
            xs.push_back(report->PosFromChar(LineStart(line) + tabs[k] + 1).x);
        return xs;
    };
    ASSERT_GE(lines.size(), 8u);
    ASSERT_EQ(lines[2].substr(0, 5), "Banda");
    const std::vector<int> header = columns(2);
    ASSERT_EQ(static_cast<int>(header.size()), bands);
    // Each band a column of its own.
    for (int b = 1; b < bands; ++b) EXPECT_GT(header[b], header[b - 1]);
    int rows = 0;
    for (int line = 3; line < static_cast<int>(lines.size()); ++line) {
        if (lines[static_cast<size_t>(line)].empty()) continue;
        EXPECT_EQ(columns(line), header) << "line " << line << ": " << lines[static_cast<size_t>(line)];
        ++rows;
    }
    // Attenuations (line 2 reaches no port: one row), required minimum and maximum.
    EXPECT_EQ(rows, 3);
}

TEST_F(CellReports, ChannelTextsOfEveryOutput) {
    ASSERT_TRUE(project.AnalyseGrids());
    project.RunChannelPass(0);
    // A wide prefix takes one tab, a narrow one two.
    x1->GetPortLevelText(report.get());
    p1->GetPortLevelText(report.get());
    anchor->GetPortLevelText(report.get());
    const std::vector<AnsiString> expected = {
        "X1 uscita 1: \t", "X1 uscita 2: \t", "", "P1: \t \t", "", "Uscita 1: \t \t", "",
    };
    EXPECT_EQ(Lines(), expected);
}

}  // namespace
