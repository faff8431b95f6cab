// The input check of a design run with a wideband head end: ten antennas
// fitted to a module of three inputs that takes them in no order (every order
// of the search is tried), and to a module that takes them at once.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "autodesign/engine.h"
#include "bench_globals.h"
#include "cells/amplifiers.h"
#include "cells/cables.h"
#include "cells/factory.h"
#include "cells/sources.h"
#include "core/file.h"
#include "core/libraries.h"

namespace {

constexpr int32_t BandIV = 4;
constexpr int32_t BandI = 1;

// A library of one terrestrial cable and one UHF antenna, in a folder of its own.
class BenchLibrary {
public:
    BenchLibrary() {
        char pattern[] = "/tmp/ov-bench-XXXXXX";
        folder_ = mkdtemp(pattern);
        const std::string path = folder_ + "/Bench.alb";
        TLibreria::CreateFile(path, true);
        auto* library = new TLibreria;
        library->fileName = path;
        libraries_.Append(std::unique_ptr<TLibreria>(library));
        library->Open(true);
        TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
        cable.Code = "CT";
        for (int32_t slot : {1, 3, 4, 5}) cable.Attenuation->Set3(0, 0, slot, 20.0f);
        TAntenna antenna(nullptr, 0, 0, 0, 0);
        antenna.Code = "U";
        antenna.Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, 470.0f);
        antenna.Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, 862.0f);
        for (TCella* cell : {static_cast<TCella*>(&cable), static_cast<TCella*>(&antenna)}) {
            TMemoryStream record;
            cell->Save(record, LibraryVersion);
            library->AppendEntry(record.Bytes());
        }
        library->Close();
        saved_ = Librerie;
        Librerie = &libraries_;
    }
    ~BenchLibrary() {
        Librerie = saved_;
        std::filesystem::remove_all(folder_);
    }

private:
    std::string folder_;
    TLibrerie libraries_;
    TLibrerie* saved_ = nullptr;
};

// An engine asked for a terrestrial wideband head end of ten antennas, each
// bringing one band-IV channel, with one module whose inputs pass band IV
// on the first `covering` inputs and band I on the others.
std::unique_ptr<TCreaAuto> MakeEngine(TGestoreErrori& reporter, int32_t inputs, int32_t covering) {
    auto engine = std::make_unique<TCreaAuto>(&reporter);
    TOpzProgetto& o = *engine->Settings;
    o.DesignHeadEnd = true;
    o.Wideband = true;
    for (int p = 0; p < CableCount; ++p) {
        o.CableTexts[2 * p] = "Bench";
        o.CableTexts[2 * p + 1] = "CT";
    }
    for (int slot = 0; slot < AntennaSlots; ++slot) {
        TAntennaAutoProg& a = o.Antennas[slot];
        a.Library = "Bench";
        a.Code = "U";
        TCanale c;
        a.Plan->SetChannel(c, a.Plan->IndexOf(std::to_string(21 + slot)));
        c.band = BandIV;
        c.levelMin = c.levelMax = 80.0f;
        a.Channels.Insert(c);
    }
    std::unique_ptr<TCella> module = NewCella(nullptr, CodeTerrestre, 0, 0, inputs, 1, 0);
    module->Positions[0] = PositionHeadEnd;
    for (int32_t i = 0; i < inputs; ++i) {
        module->Attenuation->Set3(i, WideGain, i < covering ? BandIV : BandI, 30.0f);
        module->Attenuation->Set3(i, WideMaxOutput, 5, 120.0f);
    }
    engine->Components->Append(std::move(module));
    return engine;
}

void BM_CheckInputs_NoOrderFits(benchmark::State& state) {
    BenchGlobals globals;
    BenchLibrary library;
    TGestoreErrori reporter;  // switched off: the message is dropped
    auto engine = MakeEngine(reporter, 3, 1);
    for (auto _ : state) {
        engine->Reset();
        if (engine->CheckInputs()) state.SkipWithError("the antennas fitted");
    }
}
BENCHMARK(BM_CheckInputs_NoOrderFits)->Unit(benchmark::kMillisecond);

void BM_CheckInputs_FitsAtOnce(benchmark::State& state) {
    BenchGlobals globals;
    BenchLibrary library;
    TGestoreErrori reporter;
    auto engine = MakeEngine(reporter, AntennaSlots, AntennaSlots);
    for (auto _ : state) {
        engine->Reset();
        if (!engine->CheckInputs()) state.SkipWithError("the antennas did not fit");
    }
}
BENCHMARK(BM_CheckInputs_FitsAtOnce)->Unit(benchmark::kMillisecond);

}  // namespace
