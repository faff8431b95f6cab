// The network calculation on a generated building: the connectivity
// analysis, the outlet levels, the outlet attenuations, the channel pass and
// the full separation check (every outlet, every band), each timed per pass
// and per outlet.
//
// The building is the tests' generated one (tests/support/generated_building.h);
// a second building is a riser of cascaded multiswitches. Last, the whole
// network report written into a rich edit.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench_globals.h"
#include "cells/amplifiers.h"
#include "cells/cables.h"
#include "cells/custom_cell.h"
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
#include "document/grid.h"
#include "document/project.h"
#include "document/report_pages.h"
#include "platform/comctrls.h"
#include "support/custom_cells.h"
#include "support/generated_building.h"

namespace {
using namespace building;

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
            auto s = std::make_unique<TSwitch>(&net, 0, 0, first, row, CodeSwitch, Lines, Outputs);
            for (int32_t i = 0; i < Lines; ++i)
                for (int32_t b = 0; b < BandSlots; ++b) {
                    s->Attenuation->Set3(i, TapLossColumn, b, 20.0f);
                    s->Attenuation->Set3(i, TapThroughColumn, b, 2.0f);
                    s->Attenuation->Set3(i, TapReverseColumn, b, 25.0f);
                    s->Attenuation->Set3(i, TapDecouplingColumn, b, 30.0f);
                }
            s->Described = 1;
            Put(std::move(s));
            for (int32_t r = 0; r < Height; ++r) {
                Outlet(first + Lines, row + r, 3);  // fed from the left
                Outlet(first - 1, row + r, 1);      // fed from the right
            }
        }
        Put(std::make_unique<TChiusura>(&net, 0, 0, first, 1 + Height * switches, Lines));
        FeedHeadEndLines(Lines);
    }

private:
    void Outlet(int32_t column, int32_t row, int32_t orientation) {
        auto outlet = std::make_unique<TPresaD>(project.NetworkGrid, orientation, 0, column, row,
                                                CodeTerminatedOutlet, 1);
        for (int32_t b = 0; b < BandSlots; ++b) outlet->Attenuation->Set3(0, 0, b, 4.0f);
        Put(std::move(outlet));
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
    state.counters["per_outlet"] =
        benchmark::Counter(static_cast<double>(building.outlets),
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
        TProgetto::TSeparationRun run(project);
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
    const TListaCanali* socket = outlet && outlet->ChannelLists.size() > OutletSocket
                                     ? outlet->ChannelLists[OutletSocket].get()
                                     : nullptr;
    if (!socket || socket->Count() != ChannelsPerLine)
        state.SkipWithError("the outlets miss the antennas' channels");
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

// Every step of the sequence but the separation check; false when the
// analysis or the level difference fails.
bool SequenceWithoutSeparation(TProgetto& project, TAttenuazioniPrese& attenuations) {
    bool ok = project.AnalyseGrids();
    project.ComputeOutletLevels();
    project.ComputeOutletAttenuations(attenuations);
    TCella* lowest = nullptr;
    TCella* highest = nullptr;
    int32_t band = 0;
    return project.CheckSignalDifference(lowest, highest, band) && ok;
}

// The whole "Calcoli rete" sequence without its texts: the analysis, the
// required and signal levels, the outlet levels, the attenuations of every
// head-end line, the level difference and the separation check from every
// outlet in every band.
void BM_CalculationSequence(benchmark::State& state) {
    Globals globals;
    Building building(static_cast<int32_t>(state.range(0)));
    TProgetto& project = building.project;
    if (!Ready(state, building)) return;
    const int32_t bands = TCella::CalculationBandCount();
    TAttenuazioniPrese attenuations;
    for (auto _ : state) {
        bool ok = SequenceWithoutSeparation(project, attenuations);
        // The searches of one run, as the network report makes them.
        TProgetto::TSeparationRun run(project);
        int32_t band = 0;
        for (TCella* source = project.NetworkGrid->FirstOutlet; source; source = source->NextOutlet) {
            for (int32_t b = 0; b < bands; ++b) project.ComputeOutletSeparation(source, b, 1);
            TCella* other = nullptr;
            ok = project.CheckOutletSeparation(source, other, band) && ok;
        }
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(attenuations);
    }
    Report(state, building);
}

// The steps of the sequence above one at a time, to see which grows faster
// than the cells: the level difference (a signal pass and a scan of the
// outlets), every step but the separation check, and the separation check
// right after an analysis (its first search of each band clears every cell).
void BM_SignalDifference(benchmark::State& state) {
    Globals globals;
    Building building(static_cast<int32_t>(state.range(0)));
    TProgetto& project = building.project;
    if (!Ready(state, building)) return;
    project.ComputeOutletLevels();
    for (auto _ : state) {
        TCella* lowest = nullptr;
        TCella* highest = nullptr;
        int32_t band = 0;
        benchmark::DoNotOptimize(project.CheckSignalDifference(lowest, highest, band));
    }
    Report(state, building);
}

void BM_SequenceWithoutSeparation(benchmark::State& state) {
    Globals globals;
    Building building(static_cast<int32_t>(state.range(0)));
    TProgetto& project = building.project;
    if (!Ready(state, building)) return;
    TAttenuazioniPrese attenuations;
    for (auto _ : state) {
        const bool ok = SequenceWithoutSeparation(project, attenuations);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(attenuations);
    }
    Report(state, building);
}

void BM_SeparationCheckAfterAnalysis(benchmark::State& state) {
    Globals globals;
    Building building(static_cast<int32_t>(state.range(0)));
    TProgetto& project = building.project;
    if (!Ready(state, building)) return;
    const int32_t bands = TCella::CalculationBandCount();
    for (auto _ : state) {
        state.PauseTiming();
        benchmark::DoNotOptimize(project.AnalyseGrids());
        state.ResumeTiming();
        TProgetto::TSeparationRun run(project);
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

// Floors per riser: 6 floors make 240 outlets, 25 make 1000, 100 make 4000.
BENCHMARK(BM_Analysis)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_OutletLevels)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_OutletAttenuations)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_ChannelPass)
    ->Arg(6)
    ->Arg(25)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_SeparationCheck)->Arg(6)->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutletLevelsCustomSplitters)->Arg(25)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeparationCheckCustomSplitters)->Arg(25)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MultiswitchOutletLevels)
    ->Arg(125)
    ->Arg(250)
    ->Arg(500)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_MultiswitchOutletAttenuations)
    ->Arg(125)
    ->Arg(250)
    ->Arg(500)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_MultiswitchSeparationCheck)->Arg(125)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalculationSequence)
    ->Arg(6)
    ->Arg(25)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_SignalDifference)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_SequenceWithoutSeparation)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_SeparationCheckAfterAnalysis)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_NetworkReport)
    ->Arg(6)
    ->Arg(25)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
