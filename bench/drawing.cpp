// Repainting the drawing control: one screenful of squares at each zoom
// (45 x 22 at 42 pixels, 90 x 44 at 21, 126 x 62 at 15) and the whole grid,
// onto a bitmap through the Qt paint engine the windows draw with; the
// headless raster engine for comparison.
//
// The grid: 75 x 75 squares laid out like the network of the calculation
// benchmark's building: four risers of cable, on every third row a tap with
// a three-way splitter on its right, four outlets on each side along the
// floor and a terminated outlet above and below the splitter.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "cells/cables.h"
#include "cells/outlets.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "document/grid.h"
#include "platform/engines.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_paint.h"
#include "view/draw_window.h"

namespace {

// The Qt back end, attached once for the whole run, painting offscreen.
void Qt() {
    static const bool attached = [] {
        static int argc = 1;
        static char name[] = "bench_drawing";
        static char* argv[] = {name, nullptr};
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        AttachQtBackend(argc, argv);
        return true;
    }();
    (void)attached;
}

constexpr int32_t Side = 75;

std::unique_ptr<TGridData> Building() {
    auto grid = std::make_unique<TGridData>(nullptr, Side, Side, GridNetwork);
    TGridData* g = grid.get();
    auto put = [g](std::unique_ptr<TCella> cell) { g->InsertCell(std::move(cell), false, 0); };
    for (int32_t riser : {6, 24, 42, 60}) {
        for (int32_t x = 1; x < riser; x += 7)
            put(std::make_unique<TNCavo>(g, 1, 0, x, 1 + riser / 18, 0, 0));
        for (int32_t row = 4; row + 1 < Side; row += 3) {
            put(std::make_unique<TDerivatore>(g, 0, 0, riser, row, 1, 2));
            put(std::make_unique<TDivisore>(g, 3, 0, riser + 1, row, 1, 3));
            put(std::make_unique<TPresaD>(g, 2, 0, riser + 1, row - 1, CodeTerminatedOutlet, 1));
            put(std::make_unique<TPresaD>(g, 0, 0, riser + 1, row + 1, CodeTerminatedOutlet, 1));
            for (int32_t k = 0; k < 4; ++k) {
                put(std::make_unique<TPresaD>(g, 3, 0, riser + 2 + k, row,
                                              k == 3 ? CodeTerminatedOutlet : CodePassThroughOutlet, 1));
                if (riser - 1 - k >= 0)
                    put(std::make_unique<TPresaD>(g, 1, 0, riser - 1 - k, row,
                                                  k == 3 ? CodeTerminatedOutlet : CodePassThroughOutlet, 1));
            }
            for (int32_t r = row + 1; r < row + 3 && r < Side; ++r)
                put(std::make_unique<TNCavo>(g, 0, 0, riser, r, 0, 0));
        }
    }
    return grid;
}

// Paints columns x rows squares of size pixels (and their grid lines) with engine.
template <typename Engine>
void Repaint(benchmark::State& state, int32_t size, int32_t columns, int32_t rows) {
    Qt();
    auto grid = Building();
    TDrawWindow window;
    window.BorderStyle = bsNone;
    window.ScrollBars = ssNone;
    window.DefaultColWidth = size;
    window.DefaultRowHeight = size;
    window.Width = columns * (size + 1);
    window.Height = rows * (size + 1);
    window.SetGrid(grid.get());
    window.LeftCol = 0;
    window.TopRow = 0;
    TBitmap bitmap(window.Width, window.Height);
    Engine engine(bitmap);
    // A view wider than the grid shows its squares and empty space beyond.
    const int64_t shown = static_cast<int64_t>(std::min(columns, Side)) * std::min(rows, Side);
    int64_t squares = 0;
    for (auto _ : state) {
        window.PaintTo(&engine);
        squares += shown;
        benchmark::ClobberMemory();
    }
    state.counters["squares"] = static_cast<double>(shown);
    state.SetItemsProcessed(squares);
}

void BM_ScreenQt42(benchmark::State& s) { Repaint<ovqt::TQtBitmapEngine>(s, 42, 45, 22); }
void BM_ScreenQt21(benchmark::State& s) { Repaint<ovqt::TQtBitmapEngine>(s, 21, 90, 44); }
void BM_ScreenQt15(benchmark::State& s) { Repaint<ovqt::TQtBitmapEngine>(s, 15, 126, 62); }
void BM_WholeGridQt42(benchmark::State& s) { Repaint<ovqt::TQtBitmapEngine>(s, 42, Side, Side); }
void BM_ScreenRaster42(benchmark::State& s) { Repaint<TRasterEngine>(s, 42, 45, 22); }
void BM_WholeGridRaster42(benchmark::State& s) { Repaint<TRasterEngine>(s, 42, Side, Side); }

BENCHMARK(BM_ScreenQt42)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenQt21)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenQt15)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeGridQt42)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScreenRaster42)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeGridRaster42)->Unit(benchmark::kMillisecond);

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
