// Opening and saving a project file of about 10,000 cells through the open
// and save commands, on a real file: risers of cable with a tap on every
// floor feeding an outlet on each side, a text sign on every floor, a few
// hundred estimate rows, the mast and the design settings.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench_globals.h"
#include "cells/cables.h"
#include "cells/head_end.h"
#include "cells/outlets.h"
#include "cells/taps.h"
#include "document/design_settings.h"
#include "document/estimate.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/project_files.h"
#include "document/signs.h"

namespace {

constexpr int32_t Risers = 8;
constexpr int32_t FloorRows = 3;
constexpr int32_t RiserSpacing = 5;

// The program-wide objects the readers and writers use; the design settings
// are made anew over their channel plans.
struct Globals : BenchGlobals {
    Globals() { ResetDesignSettings(); }
    ~Globals() { ResetDesignSettings(); }
};

void Fill(TCella& cell, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(0, column, b, value);
}

// floors floors on every riser, 5 cells a floor and riser.
int64_t Build(TProgetto& project, int32_t floors) {
    TGridData& net = *project.NetworkGrid;
    net.Resize(Risers * RiserSpacing + 10, FloorRows * floors + 6);
    int64_t cells = 0;
    auto put = [&](std::unique_ptr<TCella> cell) {
        cells += net.InsertCell(std::move(cell), false, 0) ? 1 : 0;
    };
    for (int32_t i = 0; i < Risers; ++i) {
        const int32_t riser = 4 + RiserSpacing * i;
        for (int32_t f = 0; f < floors; ++f) {
            const int32_t row = 2 + FloorRows * f;
            auto tap = std::make_unique<TDerivatore>(&net, 0, 0, riser, row, 1, 2);
            Fill(*tap, TapLossColumn, 10.0f);
            tap->Code = "DER" + std::to_string(f % 40);
            tap->Price = 12.5f;
            tap->InstallMinutes = 10;
            put(std::move(tap));
            for (int32_t side : {-1, 1}) {
                auto outlet = std::make_unique<TPresaD>(&net, side < 0 ? 1 : 3, 0, riser + side, row,
                                                        CodeTerminatedOutlet, 1);
                Fill(*outlet, 0, 4.0f);
                outlet->Code = "PR" + std::to_string((f + i) % 60);
                put(std::move(outlet));
            }
            for (int32_t r = row + 1; r < row + FloorRows; ++r) {
                auto cable = std::make_unique<TNCavo>(&net, 0, 0, riser, r, 0, 0);
                Fill(*cable, 0, 20.0f);
                cable->SetLength(3.0f);
                cable->Code = "CAVO";
                put(std::move(cable));
            }
            if (i == 0) {
                auto signOwned = std::make_unique<TSegnoGrafico>(&net);
                TSegnoGrafico* sign = signOwned.get();
                sign->Kind = SignText;
                sign->X1 = 0;
                sign->Y1 = row * SquarePixels;
                sign->X2 = 3 * SquarePixels;
                sign->Y2 = sign->Y1 + 20;
                sign->Text = "Piano " + std::to_string(f + 1);
                net.Signs->Add(std::move(signOwned), false);
            }
        }
    }
    for (int32_t k = 0; k < 300; ++k) {
        TRigaPreventivo row;
        row.Code = "ART" + std::to_string(k);
        row.Description = "Articolo di listino";
        row.Quantity = 1 + k % 7;
        row.UnitPrice = 9.9f;
        row.Unit = "pezzi";
        project.Estimate->AddQuantity(row);
    }
    return cells;
}

struct Fixture {
    explicit Fixture(int32_t floors) : cells(Build(project, floors)) {
        char dir[] = "/tmp/ordivex-bench-XXXXXX";
        folder = mkdtemp(dir) ? dir : "/tmp";
        name = folder + "/progetto.ant";
    }
    ~Fixture() {
        for (const char* suffix : {"/progetto.ant", "/progetto.bak"}) std::remove((folder + suffix).c_str());
        std::remove(folder.c_str());
    }
    Globals globals;
    TProgetto project{nullptr};
    int64_t cells;
    std::string folder;
    std::string name;
    TFileProgetto files{nullptr, nullptr};
};

void BM_SaveProject(benchmark::State& state) {
    Fixture f(static_cast<int32_t>(state.range(0)));
    for (auto _ : state)
        if (f.files.SaveProject(f.name, f.project, ProjectVersionCurrent) != 0)
            state.SkipWithError("not saved");
    state.counters["cells"] = static_cast<double>(f.cells);
}

void BM_LoadProject(benchmark::State& state) {
    Fixture f(static_cast<int32_t>(state.range(0)));
    if (f.files.SaveProject(f.name, f.project, ProjectVersionCurrent) != 0) state.SkipWithError("not saved");
    TProgetto open(nullptr);
    for (auto _ : state)
        if (f.files.LoadProject(f.name, open) != 0) state.SkipWithError("not loaded");
    state.counters["cells"] = static_cast<double>(f.cells);
}

}  // namespace

// 250 floors on 8 risers, 5 cells a floor and riser: 10,000 cells.
BENCHMARK(BM_SaveProject)->Arg(125)->Arg(250)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadProject)->Arg(125)->Arg(250)->Unit(benchmark::kMillisecond);
