#include "document/report_pages.h"

#include <algorithm>
#include <cmath>

#include "cells/cell.h"
#include "cells/report_writing.h"
#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "core/table_texts.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "platform/utf8.h"

// ---------------------------------------------------------------- the network report

namespace {

constexpr TColor BandZeroColour = clFuchsia;
constexpr int SeparatorHead = 28;
constexpr int SeparatorPerBand = 16;
// Attenuations beyond this mean no path from that head-end output.
constexpr float NoPathAttenuation = 40000.0f;
constexpr const char* Blank = " ";

int32_t Bands() { return TCella::CalculationBandCount(); }

const TBanda* BandAt(int32_t band) {
    const TSistemaBande* system = SistemaBandeCorrente;
    if (!system || band < 0 || band >= static_cast<int32_t>(system->bands.size())) return nullptr;
    return &system->bands[static_cast<size_t>(band)];
}

AnsiString BandName(int32_t band) {
    const TBanda* b = BandAt(band);
    return b ? b->bandName : AnsiString();
}

float Reference(int32_t band) {
    const TBanda* b = BandAt(band);
    return b ? b->reference : LevelNone;
}

float Limit(int32_t band, int kind) {
    if (!Opzioni || band < 0 || band >= BandSlots) return LevelNone;
    return Opzioni->limits[band][kind];
}

TCella* HeadEnd(TProgetto& project) { return project.NetworkGrid ? project.NetworkGrid->Anchor : nullptr; }

TCella* FirstOutlet(TProgetto& project) {
    return project.NetworkGrid ? project.NetworkGrid->FirstOutlet : nullptr;
}

int32_t HeadEndLines(TProgetto& project) {
    TCella* headEnd = HeadEnd(project);
    return headEnd ? std::clamp(headEnd->NumThroughOutputs, 0, HeadEndLinesMax) : 0;
}

// A window of a port's table, LevelNone where the table has none.
TFinestra WindowOf(const TTabellaFinestre& table, int32_t port, int32_t band) {
    if (!table.Allocated() || port < 0 || port >= table.Ports() || band < 0 || band >= BandSlots)
        return TFinestra{LevelNone, LevelNone};
    return table[port][static_cast<size_t>(band)];
}

// The minima and maxima of one port's windows, band by band.
struct TBandWindows {
    std::vector<float> Minima, Maxima;
};
TBandWindows WindowsOf(const TTabellaFinestre& table, int32_t port) {
    TBandWindows w;
    for (int32_t b = 0; b < Bands(); ++b) {
        const TFinestra window = WindowOf(table, port, b);
        w.Minima.push_back(window.Min);
        w.Maxima.push_back(window.Max);
    }
    return w;
}

int CountOutlets(TProgetto& project) {
    int count = 0;
    for (TCella* outlet = FirstOutlet(project); outlet; outlet = outlet->NextOutlet) ++count;
    return count;
}

// A table's opening: the separator, its title and the band heading.
void OpenTable(TReportText& out, const AnsiString& title) {
    out.Add(ReportSeparator());
    out.Add(title);
    WriteBandHeader(out, false);
}

// Appends label, then a tab and a text per band, and colours each band's
// text; neighbouring bands of one colour are coloured in one run.
void AddBandRow(TReportText& out, const AnsiString& label, const std::vector<AnsiString>& cells,
                const std::vector<TColor>& colours) {
    AnsiString row = label;
    std::vector<std::pair<int, int>> spans;  // first and last character of each band's text
    int at = utf8::Length(label);
    for (const AnsiString& cell : cells) {
        row += "\t";
        row += cell;
        const int length = utf8::Length(cell);
        spans.emplace_back(at + 1, at + 1 + length);
        at += 1 + length;
    }
    out.Add(row);
    for (size_t b = 0; b < spans.size();) {
        size_t e = b;
        while (e + 1 < spans.size() && colours[e + 1] == colours[b]) ++e;
        out.Colour(spans[b].first, spans[e].second - spans[b].first, colours[b]);
        b = e + 1;
    }
}

// A row of levels at an outlet or a head-end output: band 0, the return
// channel, stands apart in magenta.
void AddLevelRow(TReportText& out, const AnsiString& label, const std::vector<float>& values,
                 AnsiString (*text)(float), TColor (*colour)(float, int32_t)) {
    std::vector<AnsiString> cells;
    std::vector<TColor> colours;
    for (size_t b = 0; b < values.size(); ++b) {
        cells.push_back(text(values[b]));
        colours.push_back(b == 0 ? BandZeroColour : colour(values[b], static_cast<int32_t>(b)));
    }
    AddBandRow(out, label, cells, colours);
}

TColor LimitColourOfBand(float value, int32_t) { return LimitColour(value); }
TColor LevelColourOfBand(float value, int32_t band) { return LevelColour(value, band); }

// An attenuation to the outlets, unless no outlet is reached.
bool Reached(float attenuation) { return attenuation > LevelNone && attenuation <= NoPathAttenuation; }

AnsiString AttenuationText(float attenuation) {
    return Reached(attenuation) ? FormatFloat("###.##", attenuation) : AnsiString("*");
}

AnsiString OutletAtText(float attenuation, int32_t sequence) {
    return Reached(attenuation) ? "P" + IntToStr(sequence) : AnsiString(Blank);
}

void SetProgress(TCalculationRun& run, int percent) {
    if (run.Window) run.Window->SetProgress(percent);
}

// The text of an option limit in messages: the shortest that reads back as it.
AnsiString LimitText(float value) { return FloatToStr(static_cast<double>(value)); }

AnsiString BandWhere(int32_t band) {
    return " in banda " + BandName(band) + " (" + FormatFloat("####.#", Reference(band)) + " MHz)";
}

bool IsSet(const bool* flag) { return flag && *flag; }

// Pending window messages with the run's commands off.
void LetMessagesRun(TCalculationRun& run) {
    TCommandLock lock(run.Window);
    Application->ProcessMessages();
}

void ShowProgressPanel(TCalculationRun& run) {
    if (run.Window) run.Window->ShowProgress();
}

void HideProgressPanel(TCalculationRun& run) {
    if (run.Window) run.Window->HideProgress();
}

// The reporter writes into a page's message list for as long as it lives.
class TReportingTo {
public:
    explicit TReportingTo(TListBox* messages) {
        if (GestoreErrori) GestoreErrori->SetTarget(messages);
    }
    ~TReportingTo() {
        if (GestoreErrori) GestoreErrori->enabled = false;
    }
    TReportingTo(const TReportingTo&) = delete;
    TReportingTo& operator=(const TReportingTo&) = delete;
};

}  // namespace

TCommandLock::TCommandLock(TCalculationWindow* window) : window_(window) {
    if (window_) window_->LockCommands();
}

TCommandLock::~TCommandLock() {
    if (window_) window_->UnlockCommands();
}

AnsiString ReportSeparator() {
    return AnsiString(static_cast<size_t>(SeparatorHead + SeparatorPerBand * std::max(0, Bands())), '-');
}

void WriteBandHeader(TReportText& out, bool clear) {
    const int32_t bands = Bands();
    if (!clear) out.Add(ReportSeparator());
    AnsiString names = "Banda\t ";
    AnsiString frequencies = "Freq. [MHz]";
    for (int32_t b = 0; b < bands; ++b) {
        names += "\t" + BandName(b);
        frequencies += "\t" + FormatLevelCellShort(Reference(b));
    }
    out.Add(names);
    out.Add(frequencies);
    if (!clear) out.Add(ReportSeparator());
}

void WriteBandHeaderOnly(TRichEdit* report) {
    TReportText out;
    WriteBandHeader(out, true);
    out.WriteTo(report);
}

void WriteAttenuationLimits(TProgetto& project, const TAttenuazioniPrese& a, TReportText& out) {
    const AnsiString separator = ReportSeparator();
    const int32_t bands = Bands();
    OpenTable(out, "Attenuazioni minime e massime alle prese in dB");
    const int32_t lines = HeadEndLines(project);
    for (int32_t line = 0; line < lines; ++line) {
        out.Add("Uscita " + IntToStr(line + 1) + ":");
        // Everything after the label is blue.
        auto row = [&](const AnsiString& label, auto cell) {
            AnsiString text = label;
            for (int32_t b = 0; b < bands; ++b) text += cell(b) + "\t";
            out.Add(text);
            out.Colour(utf8::Length(label), utf8::Length(text) - utf8::Length(label), clBlue);
        };
        const float* least = a.LeastAttenuation[line];
        const float* most = a.GreatestAttenuation[line];
        row("Att. Min.\t\t", [&](int32_t b) { return AttenuationText(least[b]); });
        row("Alla presa\t\t", [&](int32_t b) { return OutletAtText(least[b], a.LeastAt[line][b]); });
        row("Att. Max.\t\t", [&](int32_t b) { return AttenuationText(most[b]); });
        row("Alla presa\t\t", [&](int32_t b) { return OutletAtText(most[b], a.GreatestAt[line][b]); });
        row("Differenza\t", [&](int32_t b) {
            if (!Reached(least[b])) return AnsiString("*");
            return FormatFloat("###.##", static_cast<double>(most[b]) - static_cast<double>(least[b]));
        });
        out.Add(separator);
    }
    out.Add("");
}

void WriteHeadEndLimits(TProgetto& project, TReportText& out) {
    const AnsiString separator = ReportSeparator();
    OpenTable(out, "Segnali ammissibili in uscita dal Terminale di Testa in dB");
    TCella* headEnd = HeadEnd(project);
    const int32_t lines = headEnd ? headEnd->NumThroughOutputs : 0;
    for (int32_t line = 0; line < lines; ++line) {
        out.Add("Uscita " + IntToStr(line + 1) + "\t ");
        const TBandWindows w = WindowsOf(headEnd->InputLevels, line);
        AddLevelRow(out, "Minimo\t", w.Minima, FormatLimitCell, LimitColourOfBand);
        AddLevelRow(out, "Massimo\t", w.Maxima, FormatLimitCell, LimitColourOfBand);
        out.Add(separator);
    }
    out.Add("");
    out.Add("");
}

void WriteOutletSignals(TCalculationRun& run, TReportText& out) {
    const AnsiString separator = ReportSeparator();
    OpenTable(out, "Segnali Alle Prese in dB");
    const int count = CountOutlets(*run.Project);
    int index = 0;
    for (TCella* outlet = FirstOutlet(*run.Project); outlet; outlet = outlet->NextOutlet) {
        ++index;
        // The level at an outlet is that of its socket, its first tap output.
        const TBandWindows w = WindowsOf(outlet->OutputLevels, outlet->NumThroughOutputs);
        // Codes below 10 are one digit short of the column.
        AnsiString label = "Presa " + outlet->GetShortCode();
        if (outlet->SequenceNumber < 10) label += "\t";
        AddLevelRow(out, label, w.Minima, FormatLevelCell, LevelColourOfBand);
        AddLevelRow(out, "\t", w.Maxima, FormatLevelCell, LevelColourOfBand);
        out.Add(separator);
        SetProgress(run, index * 100 / count);
    }
    out.Add("");
    out.Add("");
}

bool WriteOutletSeparation(TProgetto& project, TCella* source, TCella*& other, int32_t& band, int32_t flags,
                           TReportText& out) {
    const int32_t bands = Bands();
    for (int32_t b = 0; b < bands; ++b) project.ComputeOutletSeparation(source, b, flags);
    if (flags & SeparationTable) {
        const AnsiString sourceCode = source->GetShortCode();
        bool heading = false;
        for (TCella* outlet = FirstOutlet(project); outlet; outlet = outlet->NextOutlet) {
            if (outlet->SequenceNumber == source->SequenceNumber) continue;
            // Every pair of outlets is looked at: a row left out costs no text.
            bool violating = false;
            for (int32_t b = 0; b < bands; ++b) {
                const float value = outlet->SeparationOutlet[b];
                if (value >= 0.0f && value < Limit(b, LimitAttMin)) violating = true;
            }
            if ((flags & SeparationViolatingOnly) && !violating) continue;
            AnsiString label = sourceCode + " - " + outlet->GetShortCode();
            if (utf8::Length(label) <= 9) label += "\t";
            std::vector<AnsiString> cells;
            std::vector<TColor> colours;
            for (int32_t b = 0; b < bands; ++b) {
                const float value = outlet->SeparationOutlet[b];
                const float least = Limit(b, LimitAttMin);
                // A spread bounded by the limit only tells that it was reached.
                const bool bounded = (flags & SeparationBounded) && value >= least;
                cells.push_back(bounded ? AnsiString("*") : FormatLimitCell(value));
                colours.push_back(MinimumColour(value, b));
            }
            if (!heading && (flags & SeparationHeading)) {
                OpenTable(out, (flags & SeparationHeadingAll)
                                   ? AnsiString("Separazione tra le prese")
                                   : "Separazione dalla presa " + sourceCode + " alla presa P... in dB");
                heading = true;
            }
            AddBandRow(out, label, cells, colours);
        }
        if (heading) {
            out.Add(ReportSeparator());
            out.Add("");
            out.Add("");
        }
    }
    return project.CheckOutletSeparation(source, other, band);
}

bool WriteOutletSeparationFor(TProgetto& project, TCella* source, int32_t flags, TReportText& out) {
    TCella* other = nullptr;
    int32_t band = 0;
    return WriteOutletSeparation(project, source, other, band, flags, out);
}

bool ReportOutletSeparation(TCalculationRun& run, TCella*& source, TCella*& other, int32_t& band,
                            int32_t flags, TReportText& out) {
    const int count = CountOutlets(*run.Project);
    bool ok = true;
    int index = 0;
    // The searches of every outlet over one copy of the network: nothing
    // edits the cells meanwhile (the commands are locked while messages run).
    TProgetto::TSeparationRun searches(*run.Project);
    for (TCella* outlet = FirstOutlet(*run.Project); outlet; outlet = outlet->NextOutlet) {
        ++index;
        LetMessagesRun(run);
        if (IsSet(run.Cancel)) return ok;
        if (ok) {
            ok = WriteOutletSeparation(*run.Project, outlet, other, band, flags, out);
            if (!ok) source = outlet;
        } else {
            WriteOutletSeparationFor(*run.Project, outlet, flags, out);
        }
        if (!ok && (flags & SeparationFirstFailure)) return false;
        SetProgress(run, index * 100 / count);
    }
    return ok;
}

bool ReportNetwork(TCalculationRun& run, TRichEdit* report) {
    TCommandLock lock(run.Window);
    if (run.Cancel) *run.Cancel = false;
    report->Lines->Clear();
    if (!run.Project) return true;
    TProgetto& project = *run.Project;
    TReportText out;

    auto attenuations = std::make_unique<TAttenuazioniPrese>();
    project.ComputeOutletAttenuations(*attenuations);
    WriteAttenuationLimits(project, *attenuations, out);
    out.Add("");

    project.ComputeOutletLevels();
    WriteHeadEndLimits(project, out);
    WriteOutletSignals(run, out);

    TCella* lowest = nullptr;
    TCella* highest = nullptr;
    int32_t differenceBand = 0;
    const bool differenceOk = project.CheckSignalDifference(lowest, highest, differenceBand);

    TCella* source = nullptr;
    TCella* other = nullptr;
    int32_t separationBand = 0;
    const bool separationOk =
        ReportOutletSeparation(run, source, other, separationBand, NetworkReportSeparationFlags, out);
    const bool cancelled = IsSet(run.Cancel);

    // Written from the bottom up, each line above the one before.
    const AnsiString separator = ReportSeparator();
    out.InsertFirst("");
    out.InsertFirst("");
    out.InsertFirst(separator);
    const bool separationShown = !separationOk && !cancelled;
    if (!differenceOk || separationShown) {
        if (!differenceOk)
            out.InsertFirst("La differenza di segnale tra le prese " + lowest->GetShortCode() + " e " +
                            highest->GetShortCode() + BandWhere(differenceBand) + " è superiore ai " +
                            LimitText(Limit(differenceBand, LimitDiffMax)) + " dB consentiti.");
        if (separationShown)
            out.InsertFirst("La separazione tra le prese " + source->GetShortCode() + " e " +
                            other->GetShortCode() + BandWhere(separationBand) + " è inferiore ai " +
                            LimitText(Limit(separationBand, LimitAttMin)) + " dB consentiti.");
        out.InsertFirst("Esempi di violazioni");
    }
    out.InsertFirst("");
    out.InsertFirst(AnsiString("Controllo differenza segnale alle prese: ") +
                    (differenceOk ? "Ok" : "Errore"));
    out.InsertFirst(AnsiString("Controllo separazione prese: ") + (cancelled      ? "Interrotto"
                                                                   : separationOk ? "Ok"
                                                                                  : "Errore"));
    out.InsertFirst("");
    out.InsertFirst("Informazioni generiche");
    out.InsertFirst(separator);
    out.WriteTo(report);
    return !cancelled;
}

// ---------------------------------------------------------------- rows of the calculation tables

namespace {

// Bands of the tables: those of the band system in use that it names.
int32_t TableBands() {
    const TSistemaBande* s = SistemaBandeCorrente;
    return s ? std::min<int32_t>({s->bandCount, static_cast<int32_t>(s->bands.size()), BandSlots}) : 0;
}

TListaCanali* OutputChannels(TCella* cell, int32_t output) {
    if (output < 0 || output >= static_cast<int32_t>(cell->ChannelLists.size())) return nullptr;
    return cell->ChannelLists[static_cast<size_t>(output)].get();
}

}  // namespace

std::vector<TSignalLimitBlock> SignalLimitBlocks(TCella* cell) {
    std::vector<TSignalLimitBlock> blocks;
    if (!cell) return blocks;
    const bool terminal = cell->TypeCode == CodeHeadEnd;
    const int32_t bands = TableBands();
    auto block = [&](const AnsiString& label, const TTabellaFinestre& table, int32_t port) {
        TSignalLimitBlock b{label, {}, {}, {}, {}};
        for (int32_t band = 0; band < bands; ++band) {
            const TFinestra w = WindowOf(table, port, band);
            for (int pass = 0; pass < 2; ++pass) {
                const float value = pass == 0 ? w.Min : w.Max;
                const TColor colour = band == 0  ? BandZeroColour
                                      : terminal ? LimitColour(value)
                                                 : LevelColour(value, band);
                (pass == 0 ? b.Minima : b.Maxima)
                    .push_back(terminal ? FormatLimitCell(value) : FormatLevelCell(value));
                (pass == 0 ? b.MinimumColours : b.MaximumColours).push_back(colour);
            }
        }
        blocks.push_back(std::move(b));
    };
    if (terminal) {
        for (int32_t k = 0; k < cell->NumThroughOutputs; ++k)
            block("Uscita " + IntToStr(k + 1), cell->InputLevels, k);
    } else {
        // An outlet's level is that of its socket, its first tap output.
        block(cell->GetShortCode(), cell->OutputLevels, cell->NumThroughOutputs);
    }
    return blocks;
}

std::vector<TChannelBlock> ChannelBlocks(TCella* cell) {
    std::vector<TChannelBlock> blocks;
    if (!cell) return blocks;
    if (cell->TypeCode == CodeHeadEnd) {
        for (int32_t k = 0; k < cell->NumThroughOutputs; ++k)
            blocks.push_back(TChannelBlock{"Uscita " + IntToStr(k + 1), OutputChannels(cell, k)});
    } else {
        blocks.push_back(TChannelBlock{cell->GetShortCode(), OutputChannels(cell, cell->NumThroughOutputs)});
    }
    for (TChannelBlock& b : blocks)
        if (b.Channels) b.Channels->Sort();
    return blocks;
}

void ReportRequiredLevels(TProgetto& project, TRichEdit* report) {
    TReportText out;
    project.ComputeOutletLevels();
    out.Add(HeadEndLimitsTitle);
    out.Add(ReportSeparator());
    for (const TSignalLimitBlock& b : SignalLimitBlocks(HeadEnd(project))) {
        out.Add(b.Label);
        AddBandRow(out, "Minimo\t", b.Minima, b.MinimumColours);
        AddBandRow(out, "Massimo\t", b.Maxima, b.MaximumColours);
        out.Add(ReportSeparator());
    }
    out.WriteTo(report);
}

void FillChannelTable(TProgetto* project, TRichEdit* table) {
    TReportText out;
    out.Add(ChannelRowsHeader);
    if (project) {
        TListaCanali none;
        for (TCella* outlet = FirstOutlet(*project); outlet; outlet = outlet->NextOutlet)
            for (const TChannelBlock& b : ChannelBlocks(outlet))
                AddChannelRows(out, table, b.Name, b.Channels ? *b.Channels : none);
    }
    out.WriteTo(table);
}

// ---------------------------------------------------------------- page runs

namespace {
// Clears one out-of-date flag of both grids.
void ClearOnBothGrids(TProgetto* project, bool TGridData::*flag) {
    if (!project) return;
    if (project->NetworkGrid) (*project->NetworkGrid).*flag = false;
    if (project->HeadEndGrid) (*project->HeadEndGrid).*flag = false;
}
}  // namespace

bool RunNetworkCalculations(TCalculationRun& run, TRichEdit* report) {
    TCommandLock lock(run.Window);
    ShowProgressPanel(run);
    LetMessagesRun(run);
    const bool complete = ReportNetwork(run, report);
    HideProgressPanel(run);
    if (complete && run.Project && run.Project->NetworkGrid)
        run.Project->NetworkGrid->NetworkOutOfDate = false;
    return complete;
}

namespace {
// A channel pass that reported nothing says so on its page, which would
// otherwise show no word of the pass: the table of "Calcoli canali
// richiesti" holds nothing else. ("Calcoli canali" shows its channel table.)
constexpr const char* NoChannelFindings = "Nessun problema rilevato sui canali.";

void SayWhenNothingFound(TRichEdit* table, TListBox* messages) {
    if (messages->Items->Count() != 0) return;
    SetReportTextColour(table, clBlack);
    AppendReportLine(table, NoChannelFindings);
}
}  // namespace

void RunChannelCalculations(TCalculationRun& run, TRichEdit* header, TRichEdit* table, TListBox* messages) {
    TCommandLock lock(run.Window);
    ShowProgressPanel(run);
    LetMessagesRun(run);
    table->Lines->Clear();
    messages->Items->Clear();
    {
        TReportingTo reporting(messages);
        if (run.Project) run.Project->RunChannelPass(0);
        // The table shows the header of its columns too.
        WriteChannelHeader(header);
        FillChannelTable(run.Project, table);
    }
    ClearOnBothGrids(run.Project, &TGridData::ChannelsOutOfDate);
    HideProgressPanel(run);
}

void RunRequiredChannelCalculations(TCalculationRun& run, TRichEdit* table, TListBox* messages) {
    TCommandLock lock(run.Window);
    table->Lines->Clear();
    messages->Items->Clear();
    {
        TReportingTo reporting(messages);
        if (run.Project) run.Project->RunChannelPass(0);
    }
    SayWhenNothingFound(table, messages);
    ClearOnBothGrids(run.Project, &TGridData::RequiredChannelsOutOfDate);
}
