// A design run of the network alone on the default library: a terrestrial
// building of 4 staircases x 12 floors x 6 apartments with 2 outlets in 2
// lines each (576 outlets), from the run to the project shown.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "autodesign/engine.h"
#include "bench_globals.h"
#include "cells/cell.h"
#include "cells/library_cells.h"
#include "cells/prototypes.h"
#include "core/file.h"
#include "core/libraries.h"
#include "document/design_settings.h"
#include "document/grid.h"
#include "document/project.h"
#include "tools/default_library/default_library.h"
#include "uniform_building.h"

namespace {

// The default library written to a folder of its own and registered.
class DefaultLibrary {
public:
    DefaultLibrary() {
        char pattern[] = "/tmp/ov-bench-XXXXXX";
        folder_ = mkdtemp(pattern);
        AnsiString failure;
        ok = WriteDefaultLibrary(folder_, failure);
        auto* library = new TLibreria;
        library->fileName = folder_ + "/" + DefaultLibraryFile;
        libraries_.Append(std::unique_ptr<TLibreria>(library));
        saved_ = Librerie;
        Librerie = &libraries_;
        savedPrototypes_ = UltimiComponenti;
        UltimiComponenti = &prototypes_;
    }
    ~DefaultLibrary() {
        UltimiComponenti = savedPrototypes_;
        Librerie = saved_;
        std::filesystem::remove_all(folder_);
    }
    // Every article into the engine's component list, and the cables of "Default.sel".
    bool Prepare(TCreaAuto& engine) {
        TLibreria* library = libraries_.Find(DefaultLibraryName);
        if (!ok || !library || !library->Open()) return false;
        for (std::unique_ptr<TCella> cell = FirstLibraryCell(*library); cell; cell = NextLibraryCell(*library))
            engine.Components->Insert(std::move(cell));
        library->Close();
        TFile sel(folder_ + "/" + DefaultSelectionFile, ModeReadDenyWrite);
        AnsiString text;
        sel.ReadChunkedAnsiString(text, -1);
        for (AnsiString& cable : engine.Settings->CableTexts) sel.ReadChunkedAnsiString(cable, -1);
        return true;
    }
    bool ok = false;

private:
    std::string folder_;
    TLibrerie libraries_;
    TLibrerie* saved_ = nullptr;
    TUltimiComponenti prototypes_;
    TUltimiComponenti* savedPrototypes_ = nullptr;
};

// The main window as a run sees it: one project, shown when done.
class Window : public TDesignWindow {
public:
    Window() { project.Reset(true); }
    TProgetto* CurrentProject() override { return &project; }
    void ResetProject(bool withAnchors) override { project.Reset(withAnchors); }
    void ShowProject(TProgetto* p) override { shown = p; }
    void AfterLoad() override {}
    void ShowProgress(int32_t) override {}
    void HideProgress() override {}
    TProgressBar* ProgressBar() override { return nullptr; }
    void ProcessMessages() override {}
    TProgetto project{nullptr};
    TProgetto* shown = nullptr;
};

void BM_DesignNetwork_4x12x6(benchmark::State& state) {
    BenchGlobals globals;
    DefaultLibrary library;
    Window window;
    TGestoreErrori reporter;  // no list to show a message in: a failure skips the run
    TCreaAuto engine(&reporter, &window);
    if (!library.Prepare(engine)) {
        state.SkipWithError("the default library did not load");
        return;
    }
    TOpzProgetto& o = *engine.Settings;
    o.Terrestrial = true;
    o.Satellite = false;
    o.DesignNetwork = true;
    o.DesignHeadEnd = false;
    UniformBuilding(*o.Building, 4, 12, 6, TAppartamento{2, 0, 2, 2, 5, 5});
    int64_t outlets = 0;
    for (auto _ : state) {
        window.shown = nullptr;
        if (!engine.Run() || window.shown != &window.project) {
            state.SkipWithError("the design failed");
            break;
        }
        outlets = 0;
        for (TCella* c = window.project.NetworkGrid->FirstOutlet; c; c = c->NextOutlet) ++outlets;
    }
    state.counters["outlets"] = static_cast<double>(outlets);
}
BENCHMARK(BM_DesignNetwork_4x12x6)->Unit(benchmark::kMillisecond);

}  // namespace
