// "Calcoli rete" in a window, through the Qt back end (offscreen): a page
// built as the main window builds its report page (the band heading and the
// report, both rich edits in the network report's columns, the report with
// its scroll bar) beside the progress panel, on the generated building of
// the network benchmarks (tests/support/generated_building.h). Timed from the
// command to the page shown: the run with its progress panel and the
// window messages it lets through, the report written into the page's rich
// edit, the page made visible and the whole window painted.
//
// Floors per riser: 6 floors make 240 outlets, 25 make 1000, 50 make 2000,
// 100 make 4000.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "document/report_pages.h"
#include "bench_globals.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/qt/qt_backend.h"
#include "platform/stdctrls.h"
#include "support/generated_building.h"

namespace {
using namespace building;

// The Qt back end, attached once for the whole run, painting offscreen.
void Qt() {
    static const bool attached = [] {
        static int argc = 1;
        static char name[] = "bench_network_page";
        static char* argv[] = {name, nullptr};
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        AttachQtBackend(argc, argv);
        return true;
    }();
    (void)attached;
}

// Limits wide enough for every outlet to get a level in every band, as the
// passes benchmark sets them.
struct Globals : BenchGlobals {
    Globals() {
        for (int32_t b = 0; b < BandSlots; ++b) {
            options->limits[b][LimitSigMin] = 40.0f;
            options->limits[b][LimitSigMax] = 120.0f;
            options->limits[b][LimitDiffMax] = 100.0f;
            options->limits[b][LimitAttMin] = 30.0f;
        }
    }
};

// The main window's report page and progress panel, at the size of a
// 1280 x 1000 window.
class Window {
public:
    Window() {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 1280, 1000);
        page = new TPanel(form.get());
        page->Parent = form.get();
        page->BevelOuter = bvNone;
        page->Caption = "";
        page->SetBounds(4, 30, 1272, 900);
        page->Visible = false;
        header = MakeEdit(8, 8, 41);
        report = MakeEdit(8, 56, 836);
        report->ScrollBars = ssVertical;
        SetNetworkReportColumns(header);
        SetNetworkReportColumns(report);
        WriteBandHeaderOnly(header);
        progressPanel = new TPanel(form.get());
        progressPanel->Parent = form.get();
        progressPanel->Caption = "";
        progressPanel->SetBounds(480, 430, 329, 145);
        progressPanel->Visible = false;
        progress = new TProgressBar(form.get());
        progress->Parent = progressPanel;
        progress->SetBounds(24, 80, 281, 17);
        form->Show();
        Application->ProcessMessages();
    }
    ~Window() {
        form.reset();
        Application->ProcessMessages();
    }
    // The command: the report computed and written, the page shown, the window painted.
    bool Run(TProgetto& project) {
        page->Visible = false;
        TCalculationRun run;
        run.Project = &project;
        run.Window = &calculation;
        run.Cancel = &cancel;
        if (!RunNetworkCalculations(run, report)) return false;
        page->Visible = true;
        Application->ProcessMessages();
        // Painted now, through the window's peer, as the page is shown.
        if (!form->Peer()) return false;
        form->Repaint();
        return true;
    }
    // The main window's part in a calculation: its progress panel (no
    // commands to keep off in this window).
    struct TProgressWindow final : TCalculationWindow {
        explicit TProgressWindow(Window& w) : w(w) {}
        void LockCommands() override {}
        void UnlockCommands() override {}
        void ShowProgress() override {
            w.progress->Position = 0;
            w.progressPanel->Visible = true;
        }
        void SetProgress(int percent) override { w.progress->Position = percent; }
        void HideProgress() override { w.progressPanel->Visible = false; }
        Window& w;
    };
    TProgressWindow calculation{*this};
    std::unique_ptr<TForm> form;
    TPanel* page = nullptr;
    TRichEdit* header = nullptr;
    TRichEdit* report = nullptr;
    TPanel* progressPanel = nullptr;
    TProgressBar* progress = nullptr;
    bool cancel = false;

private:
    TRichEdit* MakeEdit(int left, int top, int height) {
        auto* e = new TRichEdit(form.get());
        e->Parent = page;
        e->ReadOnly = true;
        e->SetBounds(left, top, 1256, height);
        return e;
    }
};

void BM_NetworkPageQt(benchmark::State& state) {
    Qt();
    Globals globals;
    Building building(static_cast<int32_t>(state.range(0)));
    if (!building.project.AnalyseGrids()) {
        state.SkipWithError("the building does not analyse");
        return;
    }
    Window window;
    for (auto _ : state) {
        if (!window.Run(building.project)) {
            state.SkipWithError("the report was not shown");
            break;
        }
    }
    state.counters["outlets"] = static_cast<double>(building.outlets);
    state.counters["lines"] = window.report->Lines->Count();
    state.counters["per_outlet"] =
        benchmark::Counter(static_cast<double>(building.outlets),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetComplexityN(building.outlets);
}

BENCHMARK(BM_NetworkPageQt)
    ->Arg(6)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

// The Qt application must go before the program's statics do, so the run
// detaches the back end itself once the benchmarks are over.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DetachQtBackend();
    return 0;
}
