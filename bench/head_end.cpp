// The head-end builder on the default library "Varne.alb": a run that designs
// the modular terrestrial head end alone (input check, the head end on
// "Testa", its analysis and level adjustment), the same head end with the
// split blocks of seven riser lines below it, and the whole design of a
// large building, network and head end.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "autodesign/engine.h"
#include "bench_globals.h"
#include "cells/library_cells.h"
#include "cells/prototypes.h"
#include "core/channel_list.h"
#include "core/file.h"
#include "core/libraries.h"
#include "document/grid.h"
#include "document/project.h"
#include "tools/default_library/default_library.h"
#include "uniform_building.h"

namespace {

std::string ProgramFile(const char* name) { return std::string(OV_PROGRAM_DIR) + "/" + name; }

// The main window as a run sees it: one project of its own.
class BenchWindow : public TDesignWindow {
public:
    BenchWindow() { project.Reset(true); }
    TProgetto* CurrentProject() override { return &project; }
    void ResetProject(bool withAnchors) override { project.Reset(withAnchors); }
    void ShowProject(TProgetto*) override {}
    void AfterLoad() override {}
    void ShowProgress(int32_t) override {}
    void HideProgress() override {}
    TProgressBar* ProgressBar() override { return nullptr; }
    void ProcessMessages() override {}
    TProgetto project{nullptr};
};

// The default library registered and every article in the engine's list,
// the cables of "Default.sel", two antennas with five channels.
class HeadEndBench {
public:
    HeadEndBench() : engine(&reporter, &window) {
        saved_ = Librerie;
        Librerie = &libraries_;
        savedPrototypes_ = UltimiComponenti;
        UltimiComponenti = &prototypes_;
        auto* library = new TLibreria;
        library->fileName = ProgramFile(DefaultLibraryFile);
        libraries_.Append(std::unique_ptr<TLibreria>(library));
        ok = library->Open();
        for (std::unique_ptr<TCella> cell = ok ? FirstLibraryCell(*library) : nullptr; cell;
             cell = NextLibraryCell(*library))
            engine.Components->Insert(std::move(cell));
        library->Close();
        TFile sel(ProgramFile(DefaultSelectionFile), ModeReadDenyWrite);
        AnsiString text;
        sel.ReadChunkedAnsiString(text, -1);
        for (AnsiString& cable : engine.Settings->CableTexts) sel.ReadChunkedAnsiString(cable, -1);
        Antenna(0, "GAN-B3", {"5", "7"});
        Antenna(1, "GAN-UHF", {"26", "30", "35"});
        TOpzProgetto& o = *engine.Settings;
        o.Terrestrial = true;
        o.Satellite = false;
        o.DesignNetwork = false;
        o.DesignHeadEnd = true;
        o.Wideband = false;
    }
    ~HeadEndBench() {
        Librerie = saved_;
        UltimiComponenti = savedPrototypes_;
    }
    void Antenna(int slot, const char* code, std::vector<const char*> channels) {
        TAntennaAutoProg& a = engine.Settings->Antennas[slot];
        a.Library = DefaultLibraryName;
        a.Code = code;
        a.Channels.Clear();
        for (const char* name : channels) {
            TCanale c;
            a.Plan->SetChannel(c, a.Plan->IndexOf(name));
            c.band = SistemaBandeCorrente->BandOf(c.CentreFrequency());
            c.levelMin = c.levelMax = 75.0f;
            a.Channels.Insert(c);
        }
    }

    BenchGlobals globals;
    TLibrerie libraries_;
    TLibrerie* saved_ = nullptr;
    TUltimiComponenti prototypes_;
    TUltimiComponenti* savedPrototypes_ = nullptr;
    TGestoreErrori reporter;  // switched off: a message is dropped
    BenchWindow window;
    TCreaAuto engine;
    bool ok = false;
};

void BM_HeadEndRun_Modular(benchmark::State& state) {
    HeadEndBench bench;
    if (!bench.ok) state.SkipWithError("no default library");
    for (auto _ : state)
        if (!bench.engine.Run()) state.SkipWithError("the head end was not designed");
}
BENCHMARK(BM_HeadEndRun_Modular)->Unit(benchmark::kMillisecond);

void BM_HeadEnd_SevenSplits(benchmark::State& state) {
    HeadEndBench bench;
    if (!bench.ok) state.SkipWithError("no default library");
    TCreaAuto& e = bench.engine;
    for (auto _ : state) {
        e.Reset();
        bench.window.project.Reset(true);
        e.Project = &bench.window.project;
        if (!e.CheckInputs()) state.SkipWithError("the input check failed");
        e.RequiredLevelTer = e.Settings->APSigReqCtTer;
        e.EntryInputsTer = 7;
        e.RiserBreakCount[0][0] = 6;
        if (!e.DesignHeadEnd()) state.SkipWithError("the head end was not designed");
    }
}
BENCHMARK(BM_HeadEnd_SevenSplits)->Unit(benchmark::kMillisecond);

// The whole design of the 4 x 12 x 6 building (two terrestrial outlets in
// two lines per apartment): the network on "Rete" and the modular head end
// on "Testa", from the settings to the shown project.
void BM_WholeDesign_4x12x6(benchmark::State& state) {
    HeadEndBench bench;
    if (!bench.ok) state.SkipWithError("no default library");
    TOpzProgetto& o = *bench.engine.Settings;
    o.DesignNetwork = true;
    UniformBuilding(*o.Building, 4, 12, 6, TAppartamento{2, 0, 2, 2, 5, 5});
    for (auto _ : state)
        if (!bench.engine.Run()) state.SkipWithError("the design failed");
}
BENCHMARK(BM_WholeDesign_4x12x6)->Unit(benchmark::kMillisecond);

}  // namespace
