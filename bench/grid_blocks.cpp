// Block operations the automatic designer and the editing commands run on
// whole drawings: a block of cells moved from one grid to another and back,
// and a copied block pasted over its previous copy (recorded, as a person's
// paste is), at three block sizes on 75 x 75 grids.
#include <benchmark/benchmark.h>

#include "bench_globals.h"
#include "cells/factory.h"
#include "document/copy_buffer.h"
#include "document/grid.h"
#include "document/undo.h"

namespace {

constexpr int32_t Size = 75;

// Fills rows from 1 with outlets, row by row, until there are cells of them.
void Fill(TGridData& grid, int cells) {
    for (int i = 0; i < cells; ++i)
        grid.InsertCell(NewCella(nullptr, CodeEndOutlet, i % Size, 1 + i / Size, 0, 0, 0), false, 0);
}

TCellRect BlockOf(int cells) { return TCellRect{1, 0, (cells - 1) / Size + 1, Size - 1}; }

void BM_MoveBlockThereAndBack(benchmark::State& state) {
    BenchGlobals globals;
    const int cells = static_cast<int>(state.range(0));
    TGridData a(nullptr, Size, Size, GridNetwork), b(nullptr, Size, Size, GridNetwork);
    Fill(a, cells);
    const TCellRect block = BlockOf(cells);
    for (auto _ : state) {
        TGridData::MoveBlock(&a, block, &b, 0, 1, false);
        TGridData::MoveBlock(&b, block, &a, 0, 1, false);
    }
    if (!a.CellAt(0, 1) || b.CellAt(0, 1)) state.SkipWithError("the block did not come back");
    state.SetComplexityN(cells);
}
BENCHMARK(BM_MoveBlockThereAndBack)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_PasteOverThePreviousCopy(benchmark::State& state) {
    BenchGlobals globals;
    const int cells = static_cast<int>(state.range(0));
    TGridData source(nullptr, Size, Size, GridNetwork), target(nullptr, Size, Size, GridNetwork);
    Fill(source, cells);
    source.CopyBuffer->Copy(&source, BlockOf(cells));
    for (auto _ : state) {
        source.CopyBuffer->Paste(&target, 0, 1, true);
        target.UndoList->Clear();
    }
    if (!target.CellAt(0, 1)) state.SkipWithError("nothing was pasted");
    state.SetComplexityN(cells);
}
BENCHMARK(BM_PasteOverThePreviousCopy)
    ->Arg(250)
    ->Arg(1000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
