// What a cell says of itself: the name of the port under the mouse and the
// calculation report of that port (attenuations from the head end, required
// signal windows, channels), written as tab-separated rows with coloured
// values into a rich-text report.
#include <algorithm>
#include <vector>

#include "cells/cell.h"
#include "cells/mouse_info.h"
#include "cells/report_writing.h"
#include "core/band_systems.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "core/table_texts.h"
#include "cells/cell_grid.h"
#include "cells/cell_project.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/utf8.h"

namespace {

constexpr int ReportTabStops = 20;

// Bands of the reports: those of the calculation band system.
int ReportBands() {
    return SistemaBandeCorrente ? std::clamp(static_cast<int>(SistemaBandeCorrente->bandCount), 0, BandSlots)
                                : 0;
}

// A row of a label and one value per band; each value's text starts after a
// tab. Returns where each value starts in the report and how long it is.
struct TValueRow {
    AnsiString text;
    std::vector<int> starts;  // offsets in the row
    std::vector<int> lengths;
};

TValueRow BuildRow(const AnsiString& label, const std::vector<AnsiString>& values) {
    TValueRow row;
    row.text = label;
    for (const AnsiString& value : values) {
        row.text += "\t";
        row.starts.push_back(utf8::Length(row.text));
        row.lengths.push_back(utf8::Length(value));
        row.text += value;
    }
    return row;
}

// Colours the values of a written row: each run of neighbouring values of
// one colour as one stretch of text.
void ColourRuns(TRichEdit* report, int lineStart, const TValueRow& row, const std::vector<TColor>& colours) {
    size_t i = 0;
    while (i < colours.size()) {
        size_t j = i;
        while (j + 1 < colours.size() && colours[j + 1] == colours[i]) ++j;
        const int from = row.starts[i];
        const int to = row.starts[j] + row.lengths[j];
        ColourReportText(report, lineStart + from, to - from, colours[i]);
        i = j + 1;
    }
    SetReportTextColour(report, clBlack);
}

// The labels of the network section stand in a column two tab stops wide,
// as the channel rows' component names do: a label that a tab would carry
// only to the first stop gets a second tab, so that every row's values stand
// under the band names of the header, whatever the label.
AnsiString LabelColumn(TRichEdit* report, const AnsiString& label) {
    TCanvas* canvas = ReportPages().MeasuringCanvas();
    canvas->Font->Name = report->DefAttributes->Name();
    canvas->Font->Height = report->DefAttributes->Height();
    const int width = label.empty() ? 0 : canvas->TextWidth(label);
    return report->TabStopAfter(width) == report->TabStopAfter(0) ? label + "\t" : label;
}

TListaCanali* ListOf(TCella* cell, int32_t output) {
    if (!cell || output < 0 || output >= static_cast<int32_t>(cell->ChannelLists.size())) return nullptr;
    return cell->ChannelLists[static_cast<size_t>(output)].get();
}

// The rows of one port's channels under the name of the component they are at.
void ChannelRowsOf(TRichEdit* report, TCella* cell, int32_t output) {
    TListaCanali empty;
    TListaCanali* list = ListOf(cell, output);
    AddChannelRowsDefault(report, cell ? cell->GetShortCode() : AnsiString(), list ? *list : empty);
}

}  // namespace

// ---------------------------------------------------------------- port names

void TCella::GetPortName(TInfoMousePos& position) {
    int32_t x = 0, y = 0;
    RotateSymbolPoint(x, y, position.OffsetX, position.OffsetY, position.SquareSize);
    int32_t column = 0, row = 0;
    LocalToGrid(column, row, position.Column, position.Row);
    position.Input = -1;
    position.TapOutput = -1;
    position.ThroughOutput = -1;
    if (y < position.SquareSize / 2) {
        position.Input = 0;
        position.PortName = "ingresso";
        return;
    }
    position.ThroughOutput = column - Column;
    position.PortName =
        NumThroughOutputs == 1 ? AnsiString("uscita") : "uscita " + IntToStr(position.ThroughOutput + 1);
}

// ---------------------------------------------------------------- channel texts

void TCella::GetPortLevelText(TRichEdit* report) {
    TListaCanali empty;
    if (NumThroughOutputs == 1) {
        TListaCanali* list = ListOf(this, 0);
        AddChannelRowsDefault(report, GetShortCode(), list ? *list : empty);
    } else {
        for (int32_t i = 0; i < NumThroughOutputs; ++i) {
            TListaCanali* list = ListOf(this, i);
            AddChannelRowsDefault(report, GetShortCode() + " uscita " + IntToStr(i + 1),
                                  list ? *list : empty);
        }
    }
    AppendReportLine(report, "");
}

// ---------------------------------------------------------------- attenuation rows

void TCella::WriteAttenuationTable(TRichEdit* report, int32_t input, const AnsiString& title) {
    const int bands = ReportBands();
    const bool known = InputLevels.Allocated() && input >= 0 && input < InputLevels.Ports();
    auto window = [&](int b) { return known ? InputLevels[input][static_cast<size_t>(b)] : TFinestra{}; };
    const AnsiString port = GetShortCode() + "-Ing " + IntToStr(input + 1);
    for (int bound = 0; bound < 2; ++bound) {
        std::vector<AnsiString> texts;
        std::vector<TColor> colours;
        for (int b = 0; b < bands; ++b) {
            const float v = bound == 0 ? window(b).Min : window(b).Max;
            texts.push_back(FormatLimitCell(v));
            colours.push_back(LimitColour(v));
        }
        AnsiString label;
        if (bound == 0)
            label = title.empty() ? port + " Min." : title;
        else if (title.empty())
            label = port + " Max.";
        const TValueRow row = BuildRow(LabelColumn(report, label), texts);
        const int start = AppendReportLine(report, row.text);
        ColourRuns(report, start, row, colours);
    }
}

void TCella::WriteAttenuationRows(TRichEdit* report, int32_t port) {
    TCellProject* project = Owner ? Owner->CellProject() : nullptr;
    TCella* terminal = Owner ? Owner->Anchor : nullptr;
    if (!project || !terminal || port < 0) return;
    const int bands = ReportBands();
    std::vector<float> highest(static_cast<size_t>(bands), LevelNone);
    std::vector<float> lowest(static_cast<size_t>(bands), LevelNone);
    bool first = true;
    // Each line of the head end alone: the least and the greatest attenuation
    // from any of them. A line that does not reach the port (a multiswitch
    // line feeding other outlets) leaves a mark, not a level: it neither
    // lowers the least level nor stands in a row of its own.
    for (int32_t line = 0; line < terminal->NumThroughOutputs; ++line) {
        terminal->SelectOutputLevel(line);
        project->RunSignalLevelPass();
        const bool known = OutputLevels.Allocated() && port < OutputLevels.Ports();
        for (int b = 0; b < bands; ++b) {
            const TFinestra w = known ? OutputLevels[port][static_cast<size_t>(b)] : TFinestra{};
            float& high = highest[static_cast<size_t>(b)];
            float& low = lowest[static_cast<size_t>(b)];
            if (first || w.Max > high) high = w.Max;
            if (first || (IsRealLevel(w.Min) && (!IsRealLevel(low) || w.Min < low))) low = w.Min;
        }
        first = false;
    }
    if (first) return;
    bool spread = false;
    for (int b = 0; b < bands; ++b) {
        const float high = highest[static_cast<size_t>(b)], low = lowest[static_cast<size_t>(b)];
        if (IsRealLevel(high) && IsRealLevel(low) && high != low) spread = true;
    }
    auto write = [&](const AnsiString& label, const std::vector<float>& values) {
        std::vector<AnsiString> texts;
        for (float v : values) texts.push_back(FormatMarginCell(v));
        const TValueRow row = BuildRow(LabelColumn(report, label), texts);
        const int start = AppendReportLine(report, row.text);
        if (!row.starts.empty())
            ColourReportText(report, start + row.starts.front(), utf8::Length(row.text) - row.starts.front(),
                             clBlue);
        SetReportTextColour(report, clBlack);
    };
    write("Attenuazioni [dB]", highest);
    if (spread) {
        // Bands that only one level reaches repeat it.
        for (int b = 0; b < bands; ++b)
            if (!IsRealLevel(lowest[static_cast<size_t>(b)])) lowest[static_cast<size_t>(b)] = highest[static_cast<size_t>(b)];
        write("", lowest);
    }
}

// ---------------------------------------------------------------- the report

AnsiString TCella::ReportHeading() const { return GetTypeName(); }

void TCella::WriteReport(TRichEdit* report, TInfoMousePos& position) {
    if (Screen && Screen->PixelsPerInch() > 96) SetReportTabStops(report, ReportTabStops);

    AnsiString header = ReportHeading();
    if (DetailLevel() > 1) header += GetShortCode();
    if (!Described) {
        header += "- componente non definito";
    } else {
        header += "- ";
        for (const AnsiString* text : {&Brand, &Series, &Code, &Article})
            if (!text->empty()) header += *text + " ";
    }
    AppendReportLine(report, header);
    if (!position.PointsAtPort()) return;

    TCellProject* project = Owner ? Owner->CellProject() : nullptr;
    const int32_t input = position.Input;
    const int32_t through = position.ThroughOutput;
    const int32_t tap = position.TapOutput;
    auto inputNeighbour = [&](int32_t& port) -> TCella* {
        port = -1;
        if (input < 0 || input >= static_cast<int32_t>(InputCell.size())) return nullptr;
        port = InputPort[static_cast<size_t>(input)];
        return InputCell[static_cast<size_t>(input)];
    };
    auto outputNeighbour = [&](int32_t output, int32_t& port) -> TCella* {
        port = -1;
        if (output < 0 || output >= static_cast<int32_t>(OutputCell.size())) return nullptr;
        port = OutputPort[static_cast<size_t>(output)];
        return OutputCell[static_cast<size_t>(output)];
    };

    // Each section of the report is one item of the display's information
    // menu, by its name: "Attenuazioni" the attenuations from the head end,
    // "Segnali richiesti" the signal windows required, "Canali generati" the
    // channels at any component's port and "Canali distribuiti" those at the
    // outlets.
    const bool attenuations = Opzioni && Opzioni->hbAttenuations;
    const bool required = Opzioni && Opzioni->hbSignalLimits;
    const bool outlet = HasRole(RoleOutlet);
    const bool channels =
        Opzioni && (Opzioni->hbGeneratedChannels || (outlet && Opzioni->hbDistributedChannels));
    if (ReportPages().FindPage(PageNetworkCalculations) && project && Owner == project->NetworkCellGrid() &&
        (attenuations || required)) {
        AppendReportLine(report, "");
        AnsiString bandHeader = LabelColumn(report, "Banda");
        for (int b = 0; b < ReportBands(); ++b)
            bandHeader += "\t " + SistemaBandeCorrente->bands[static_cast<size_t>(b)].bandName;
        AppendReportLine(report, bandHeader);
        if (attenuations) {
            AppendReportLine(report, "");
            if (through >= 0) WriteAttenuationRows(report, through);
            if (tap >= 0) WriteAttenuationRows(report, tap + NumThroughOutputs);
            int32_t port = -1;
            if (TCella* upstream = inputNeighbour(port)) upstream->WriteAttenuationRows(report, port);
        }
        if (required) {
            AppendReportLine(report, "");
            project->RunRequiredLevelPass();
            int32_t port = -1;
            TCella* throughNext = outputNeighbour(through, port);
            const int32_t throughPort = port;
            TCella* tapNext = outputNeighbour(tap >= 0 ? tap + NumThroughOutputs : -1, port);
            const int32_t tapPort = port;
            // An outlet's socket leads to no cell: what it requires is the
            // window at the outlet's own input.
            if (input >= 0 || (outlet && !throughNext && !tapNext))
                WriteAttenuationTable(report, std::max(0, input), "Segnali richiesti");
            if (throughNext) throughNext->WriteAttenuationTable(report, throughPort, "Segnali richiesti");
            if (tapNext) tapNext->WriteAttenuationTable(report, tapPort, "Segnali richiesti");
        }
    }

    // The channels at the port.
    if (ReportPages().FindPage(PageChannelCalculations) && project && channels) {
        AppendReportLine(report, "");
        AppendReportLine(report, ChannelRowsHeader);
        if (GestoreErrori) {
            GestoreErrori->SetTarget(nullptr);
            GestoreErrori->enabled = false;
        }
        project->RunChannelPass(0);
        AppendReportLine(report, "");
        ReportPages().ReportColour = clBlue;
        if (tap >= 0) ChannelRowsOf(report, this, tap + NumThroughOutputs);
        if (through >= 0) ChannelRowsOf(report, this, through);
        int32_t port = -1;
        if (TCella* upstream = inputNeighbour(port)) ChannelRowsOf(report, upstream, port);
    }
}
