// The network calculation on a generated building: the connectivity
// analysis, the outlet levels, the outlet attenuations, the channel pass and
// the full separation check (every outlet, every band), each timed per pass
// and per outlet.
//
// The building: the head-end terminal feeds `Risers` lines; each runs as a
// cable across to its riser and down it; on every floor a tap with two user
// outputs feeds a row of outlets to its left (three pass-through outlets and
// a terminated one) and, on its right, a three-way splitter whose outputs go
// on along the floor to a like row and up and down to a terminated outlet
// each; a cable goes on down to the next floor, and a termination closes
// every riser. Each head-end line is fed by an antenna of 20 "Europa"
// channels through an amplifier of its own. Last, the whole network report
// written into a rich edit.
// A variant puts each floor's splitter inside a custom component. A second
// building is a riser of cascaded multiswitches.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench_globals.h"
#include "app/grid.h"
#include "app/project.h"
#include "app/report_pages.h"
#include "cells/amplifiers.h"
#include "cells/cables.h"
#include "cells/head_end.h"
#include "cells/outlets.h"
#include "cells/sources.h"
#include "cells/splitters.h"
#include "cells/switches.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "platform/comctrls.h"
#include "cells/custom_cell.h"
#include "support/custom_cells.h"

namespace {
constexpr int32_t Risers = 4;
constexpr int32_t OutletsPerSide = 4;   // in the row on each side of every floor's tap
constexpr int32_t ChannelsPerLine = 20;
constexpr int32_t RiserSpacing = 2 * OutletsPerSide + 2;
// Rows from one floor to the next: the splitter's outlets above and below a
// floor's row must not meet those of the floors around it.
constexpr int32_t FloorRows = 3;

// Attenuation[0][column] in every band slot.
void Fill(TCella& cell, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(0, column, b, value);
}

// The program-wide objects the passes read.
struct Globals : BenchGlobals {
    Globals() {
        // Limits wide enough for every outlet of the tallest building to get
        // a level, so that every band carries numbers through the passes.
        for (int32_t b = 0; b < BandSlots; ++b) {
            options->limits[b][LimitSigMin] = 40.0f;
            options->limits[b][LimitSigMax] = 120.0f;
            options->limits[b][LimitDiffMax] = 100.0f;
            options->limits[b][LimitAttMin] = 30.0f;
        }
    }
};

// A project being built: its cells put on the network grid and counted.
class BuildingBase {
public:
    BuildingBase() : project(nullptr) { project.Reset(true); }
    TProgetto project;
    int64_t outlets = 0;
    int64_t cells = 0;

protected:
    void Put(TCella* cell) {
        if (project.NetworkGrid->InsertCell(cell, false, 0)) ++cells;
    }
    // Above each of the first lines of the head-end terminal an amplifier of
    // 30 dB and an antenna of 20 channels at 80 dBuV.
    void FeedHeadEndLines(int32_t lines);
};

class Building : public BuildingBase {
public:
    // With customSplitters each floor's splitter stands inside a custom
    // component of one square (input on the left, outputs up, down and right).
    explicit Building(int32_t floors, bool customSplitters = false) {
        TGridData& net = *project.NetworkGrid;
        net.Resize(2 * (Risers * RiserSpacing + Risers + 12), FloorRows * floors + Risers + 6);
        auto* anchor = dynamic_cast<TTesta*>(net.Anchor);
        anchor->SetLineCount(Risers);
        const int32_t c = anchor->Column;
        const int32_t firstFloor = Risers + 2;
        for (int32_t i = 0; i < Risers; ++i) {
            const int32_t line = c + 1 + i;
            const int32_t riser = c + Risers + OutletsPerSide + 3 + RiserSpacing * i;
            // Down from the terminal to the row of this line, across, and down the riser.
            for (int32_t r = 1; r < 1 + i; ++r) Cable(line, r, 0, 0);
            Cable(line, 1 + i, 2, 1);
            for (int32_t x = line + 1; x < riser; ++x) Cable(x, 1 + i, 1, 0);
            Cable(riser, 1 + i, 0, 1);
            for (int32_t r = 2 + i; r < firstFloor; ++r) Cable(riser, r, 0, 0);
            for (int32_t f = 0; f < floors; ++f) {
                const int32_t row = firstFloor + FloorRows * f;
                auto* tap = new TDerivatore(&net, 0, 0, riser, row, 1, 2);
                Fill(*tap, TapLossColumn, 10.0f);
                Fill(*tap, TapThroughColumn, 0.5f);
                Fill(*tap, TapReverseColumn, 25.0f);
                Fill(*tap, TapDecouplingColumn, 20.0f);
                Put(tap);
                // The tap's first user output leaves on the right into the
                // splitter (turned so that its input is on the left: its
                // outputs go up, down and on to the right), the second on the left.
                if (customSplitters) {
                    Put(CustomSplitter(riser + 1, row).release());
                } else {
                    auto* splitter = new TDivisore(&net, 3, 0, riser + 1, row, 1, 3);
                    Fill(*splitter, TapLossColumn, 4.0f);
                    Fill(*splitter, TapDecouplingColumn, 22.0f);
                    Put(splitter);
                }
                Outlet(riser + 1, row - 1, 2, true);
                Outlet(riser + 1, row + 1, 0, true);
                for (int32_t k = 0; k < OutletsPerSide; ++k) {
                    Outlet(riser + 2 + k, row, 3, k + 1 == OutletsPerSide);
                    Outlet(riser - 1 - k, row, 1, k + 1 == OutletsPerSide);
                }
                if (f + 1 < floors) {
                    for (int32_t r = row + 1; r < row + FloorRows; ++r) Cable(riser, r, 0, 0);
                } else {
                    Put(new TChiusura(&net, 0, 0, riser, row + 1, 1));
                }
            }
        }
        FeedHeadEndLines(Risers);
    }

private:
    // A segment of 3 m of a cable losing 20 dB per 100 m: 0.6 dB.
    void Cable(int32_t column, int32_t row, int32_t orientation, uint8_t bend) {
        auto* cable = new TNCavo(project.NetworkGrid, orientation, 0, column, row, bend, 0);
        Fill(*cable, 0, 20.0f);
        cable->Attenuation->Set3(0, 1, 0, 3.0f);
        cable->Described = 1;
        Put(cable);
    }
    // The floor splitter inside a custom component: unturned inside, its
    // outputs leave right, left and down into exit anchors 1, 2 and 3.
    std::unique_ptr<TCellaCustom> CustomSplitter(int32_t column, int32_t row) {
        auto* splitter = new TDivisore(nullptr, 0, 0, 0, 0, 1, 3);
        Fill(*splitter, TapLossColumn, 4.0f);
        Fill(*splitter, TapDecouplingColumn, 22.0f);
        splitter->Described = 1;
        TFormaCustom shape{1, 1, {{0, 0, 3}}, {{0, 0, 2}, {0, 0, 0}, {0, 0, 3}}};
        auto cell = MakeCustomCell(project.NetworkGrid, column, row, 1, 3,
                                   {{EntryAnchor("1"), 1, 0}, {splitter, 1, 1}, {ExitAnchor("1", 3), 2, 1},
                                    {ExitAnchor("2", 1), 0, 1}, {ExitAnchor("3"), 1, 2}},
                                   shape);
        cell->Described = 1;
        return cell;
    }
    // Pass-through outlets along a floor, the last with its own termination.
    void Outlet(int32_t column, int32_t row, int32_t orientation, bool last) {
        auto* outlet = new TPresaD(project.NetworkGrid, orientation, 0, column, row,
                                   last ? CodeTerminatedOutlet : CodePassThroughOutlet, 1);
        Fill(*outlet, 0, 4.0f);
        Fill(*outlet, 1, 0.5f);
        Fill(*outlet, 2, 25.0f);
        Put(outlet);
        ++outlets;
    }
};

void BuildingBase::FeedHeadEndLines(int32_t lines) {
    TGridData& head = *project.HeadEndGrid;
    TCella* headAnchor = head.Anchor;
    for (int32_t i = 0; i < lines; ++i) {
        const int32_t column = headAnchor->Column + 1 + i;
        auto* amplifier = new TAmplificatore(&head, 0, 0, column, headAnchor->Row - 1, CodeAmplificatoreRegolato, 1, 1);
        Fill(*amplifier, AmpRegulation, 0.0f);
        Fill(*amplifier, AmpGain, 30.0f);
        Fill(*amplifier, AmpNoiseFigure, 7.0f);
        Fill(*amplifier, AmpMaxOutput, 130.0f);
        amplifier->Described = 1;
        head.InsertCell(amplifier, false, 0);
        auto* antenna = new TAntenna(&head, 0, 0, column, headAnchor->Row - 2);
        antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, 470.0f);
        antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, 862.0f);
        for (int32_t k = 0; k < ChannelsPerLine; ++k) {
            TCanale channel;
            CanalizzazioneEuropa->SetChannel(channel, CanalizzazioneEuropa->IndexOf(std::to_string(21 + k)));
            channel.band = SistemaBandeCorrente->BandOf(channel.CentreFrequency());
            channel.levelMin = 80.0f;
            antenna->SourceChannels->Insert(channel);
        }
        antenna->Described = 1;
        head.InsertCell(antenna, false, 0);
    }
}

// The multiswitch building: one riser of `switches` cascaded 4 x 8 switches
// fed by the four head-end lines, right under the terminal; each switch's
// through outputs feed the next one's inputs, a termination closes the last;
// one terminated outlet on every user output, four on each side.
class MultiswitchBuilding : public BuildingBase {
public:
    explicit MultiswitchBuilding(int32_t switches) {
        constexpr int32_t Lines = 4, Outputs = 8, Height = Outputs / 2;
        TGridData& net = *project.NetworkGrid;
        net.Resize(120, Height * switches + 8);
        auto* anchor = dynamic_cast<TTesta*>(net.Anchor);
        anchor->SetLineCount(Lines);
        const int32_t first = anchor->Column + 1;
        for (int32_t k = 0; k < switches; ++k) {
            const int32_t row = 1 + Height * k;
            auto* s = new TSwitch(&net, 0, 0, first, row, CodeSwitch, Lines, Outputs);
            for (int32_t i = 0; i < Lines; ++i)
                for (int32_t b = 0; b < BandSlots; ++b) {
                    s->Attenuation->Set3(i, TapLossColumn, b, 20.0f);
                    s->Attenuation->Set3(i, TapThroughColumn, b, 2.0f);
                    s->Attenuation->Set3(i, TapReverseColumn, b, 25.0f);
                    s->Attenuation->Set3(i, TapDecouplingColumn, b, 30.0f);
                }
            s->Described = 1;
            Put(s);
            for (int32_t r = 0; r < Height; ++r) {
                Outlet(first + Lines, row + r, 3);   // fed from the left
                Outlet(first - 1, row + r, 1);       // fed from the right
            }
        }
        Put(new TChiusura(&net, 0, 0, first, 1 + Height * switches, Lines));
        FeedHeadEndLines(Lines);
    }

private:
    void Outlet(int32_t column, int32_t row, int32_t orientation) {
        auto* outlet = new TPresaD(project.NetworkGrid, orientation, 0, column, row, CodeTerminatedOutlet, 1);
        for (int32_t b = 0; b < BandSlots; ++b) outlet->Attenuation->Set3(0, 0, b, 4.0f);
        Put(outlet);
        ++outlets;
    }
};

// The building analyses and its outlet chain holds every outlet.
bool Ready(benchmark::State& state, BuildingBase& building) {
    if (!building.project.AnalyseGrids()) {
        state.SkipWithError("the building does not analyse");
        return false;
    }
    int64_t chained = 0;
    for (TCella* o = building.project.NetworkGrid->FirstOutlet; o; o = o->NextOutlet) ++chained;
    if (chained != building.outlets) {
        state.SkipWithError("the outlet chain misses outlets");
        return false;
    }
    return true;
}

void Report(benchmark::State& state, const BuildingBase& building) {
    state.counters["outlets"] = static_cast<double>(building.outlets);
    state.counters["cells"] = static_cast<double>(building.cells);
    state.counters["per_outlet"] = benchmark::Counter(
        static_cast<double>(building.outlets),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetComplexityN(building.cells);
}

void BM_Analysis(benchmark::State& state) {
    Globals globals;
    Building building(static_cast<int32_t>(state.range(0)));
    if (!Ready(state, building)) return;
    for (auto _ : state) benchmark::DoNotOptimize(building.project.AnalyseGrids());
    Report(state, building);
}

// The timed passes on a building that analyses.
void TimeOutletLevels(benchmark::State& state, BuildingBase& building) {
    if (!Ready(state, building)) return;
    for (auto _ : state) building.project.ComputeOutletLevels();
    Report(state, building);
}

void TimeOutletAttenuations(benchmark::State& state, BuildingBase& building) {
    if (!Ready(state, building)) return;
    TAttenuazioniPrese result;
    for (auto _ : state) {
        building.project.ComputeOutletAttenuations(result);
        benchmark::DoNotOptimize(result);
    }
    Report(state, building);
}

// What the network report does: from every outlet, every band, bounded by
// the separation limit, then the check.
void TimeSeparationCheck(benchmark::State& state, BuildingBase& building) {
    TProgetto& project = building.project;
    if (!Ready(state, building)) return;
    const int32_t bands = TCella::CalculationBandCount();
    for (auto _ : state) {
        bool ok = true;
        for (TCella* source = project.NetworkGrid->FirstOutlet; source; source = source->NextOutlet) {
            for (int32_t b = 0; b < bands; ++b) project.ComputeOutletSeparation(source, b, 1);
            TCella* other = nullptr;
            int32_t band = 0;
            ok = project.CheckOutletSeparation(source, other, band) && ok;
        }
        benchmark::DoNotOptimize(ok);
    }
    Report(state, building);
}

void OutletLevels(benchmark::State& state, bool customSplitters) {
    Globals globals;
    Building building(static_cast<int32_t>(state.range(0)), customSplitters);
    TimeOutletLevels(state, building);
}

void BM_OutletLevels(benchmark::State& state) { OutletLevels(state, false); }
void BM_OutletLevelsCustomSplitters(benchmark::State& state) { OutletLevels(state, true); }

void BM_OutletAttenuations(benchmark::State& state) {
    Globals globals;
    Building building(static_cast<int32_t>(state.range(0)));
    TimeOutletAttenuations(state, building);
}

void BM_ChannelPass(benchmark::State& state) {
    Globals globals;
    Building building(static_cast<int32_t>(state.range(0)));
    if (!Ready(state, building)) return;
    for (auto _ : state) building.project.RunChannelPass(0);
    // Every outlet receives the channels of its line's antenna.
    const TCella* outlet = building.project.NetworkGrid->FirstOutlet;
    const TListaCanali* socket =
        outlet && outlet->ChannelLists.size() > OutletSocket ? outlet->ChannelLists[OutletSocket].get() : nullptr;
    if (!socket || socket->Count() != ChannelsPerLine) state.SkipWithError("the outlets miss the antennas' channels");
    Report(state, building);
}

void SeparationCheck(benchmark::State& state, bool customSplitters) {
    Globals globals;
    Building building(static_cast<int32_t>(state.range(0)), customSplitters);
    TimeSeparationCheck(state, building);
}

void BM_SeparationCheck(benchmark::State& state) { SeparationCheck(state, false); }
void BM_SeparationCheckCustomSplitters(benchmark::State& state) { SeparationCheck(state, true); }

// The multiswitch building, by its number of switches (125 make 1000 outlets).
void BM_MultiswitchOutletLevels(benchmark::State& state) {
    Globals globals;
    MultiswitchBuilding building(static_cast<int32_t>(state.range(0)));
    TimeOutletLevels(state, building);
}

void BM_MultiswitchOutletAttenuations(benchmark::State& state) {
    Globals globals;
    MultiswitchBuilding building(static_cast<int32_t>(state.range(0)));
    TimeOutletAttenuations(state, building);
}

void BM_MultiswitchSeparationCheck(benchmark::State& state) {
    Globals globals;
    MultiswitchBuilding building(static_cast<int32_t>(state.range(0)));
    TimeSeparationCheck(state, building);
}

// The "Calcoli rete" report into a rich edit: every pass above but the
// channel pass, and some 3 lines of text per outlet.
void BM_NetworkReport(benchmark::State& state) {
    Globals globals;
    Building building(static_cast<int32_t>(state.range(0)));
    if (!Ready(state, building)) return;
    TRichEdit report(nullptr);
    TCalculationRun run;
    run.Project = &building.project;
    for (auto _ : state) benchmark::DoNotOptimize(ReportNetwork(run, &report));
    state.counters["lines"] = report.Lines->Count();
    Report(state, building);
}
}  // namespace

// Floors per riser: 25 floors make 1000 outlets.
BENCHMARK(BM_Analysis)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_OutletLevels)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_OutletAttenuations)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_ChannelPass)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_SeparationCheck)->Arg(25)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutletLevelsCustomSplitters)->Arg(25)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeparationCheckCustomSplitters)->Arg(25)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MultiswitchOutletLevels)->Arg(125)->Arg(250)->Arg(500)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_MultiswitchOutletAttenuations)->Arg(125)->Arg(250)->Arg(500)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_MultiswitchSeparationCheck)->Arg(125)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NetworkReport)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
