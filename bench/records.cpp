// Reading and writing project records: the texts of a cell as chunked strings
// and its six value arrays, as a project of many cells does on loading and
// saving.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/file.h"
#include "core/info.h"
#include "core/levels.h"

namespace {

constexpr int Version = 60000;

// The arrays of one cell: four of rank 3, two of rank 4, a few rows with values.
struct CellTables {
    std::vector<std::unique_ptr<TInfo>> tables;
    CellTables() {
        for (int k = 0; k < 6; ++k) tables.push_back(std::make_unique<TInfo>(k < 4 ? 3 : 4));
    }
};

void FillCell(CellTables& cell, int seed) {
    for (int k = 0; k < 4; ++k) {
        TInfo& t = *cell.tables[k];
        t.Alloc3(2, 3, BandSlots);
        for (int r = 0; r < 3; r += 2)
            for (int c = 0; c < 11; ++c) t.Set3(r % 2, r, c, 0.25f * (seed + c));
    }
    for (int k = 4; k < 6; ++k) {
        TInfo& t = *cell.tables[k];
        t.SetSizes(2, 2, 2, BandSlots);
        t.Set4(0, 1, 1, 3, 1.5f * seed);
        t.Set4(1, 0, 0, 0, -2.0f);
    }
}

void WriteCell(TStream& s, const CellTables& cell, int seed) {
    chunked::WriteAnsiString(s, "DER-" + std::to_string(seed), 20);
    chunked::WriteAnsiString(s, "Derivatore a 4 uscite è passante", 30);
    chunked::WriteAnsiString(s, "Varne", 20);
    chunked::WriteAnsiString(s, "Serie bassa attenuazione", 30);
    chunked::WriteAnsiString(s, std::string(120, 'n'), -2);
    for (const auto& t : cell.tables) t->Write(s, Version);
}

void ReadCell(TStream& s, CellTables& cell) {
    benchmark::DoNotOptimize(chunked::ReadAnsiString(s, 20));
    benchmark::DoNotOptimize(chunked::ReadAnsiString(s, 30));
    benchmark::DoNotOptimize(chunked::ReadAnsiString(s, 20));
    benchmark::DoNotOptimize(chunked::ReadAnsiString(s, 30));
    benchmark::DoNotOptimize(chunked::ReadAnsiString(s, -1));
    for (auto& t : cell.tables) t->Read(s, Version);
}

std::string ProjectBytes(int cells) {
    TMemoryStream s;
    CellTables cell;
    for (int i = 0; i < cells; ++i) {
        FillCell(cell, i);
        WriteCell(s, cell, i);
    }
    return s.Bytes();
}

void BM_LoadCellsFromMemory(benchmark::State& state) {
    const int cells = static_cast<int>(state.range(0));
    const std::string bytes = ProjectBytes(cells);
    CellTables cell;
    for (auto _ : state) {
        TMemoryStream s(bytes);
        for (int i = 0; i < cells; ++i) ReadCell(s, cell);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
    state.SetItemsProcessed(state.iterations() * cells);
}
BENCHMARK(BM_LoadCellsFromMemory)->Arg(100)->Arg(2000);

void BM_SaveCellsToMemory(benchmark::State& state) {
    const int cells = static_cast<int>(state.range(0));
    CellTables cell;
    FillCell(cell, 7);
    for (auto _ : state) {
        TMemoryStream s;
        for (int i = 0; i < cells; ++i) WriteCell(s, cell, i);
        benchmark::DoNotOptimize(s.Bytes().data());
    }
    state.SetItemsProcessed(state.iterations() * cells);
}
BENCHMARK(BM_SaveCellsToMemory)->Arg(100)->Arg(2000);

// The same load through a file: what opening a project costs with the file
// stream's reads.
void BM_LoadCellsFromFile(benchmark::State& state) {
    const int cells = static_cast<int>(state.range(0));
    const char* tmp = std::getenv("TMPDIR");
    const std::string path =
        std::string(tmp && *tmp ? tmp : "/tmp") + "/ordivex-bench-" + std::to_string(::getpid()) + ".ant";
    {
        TFile f(path, ModeCreate);
        const std::string bytes = ProjectBytes(cells);
        f.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    }
    CellTables cell;
    for (auto _ : state) {
        TFile f(path, ModeReadExclusive);
        for (int i = 0; i < cells; ++i) ReadCell(f, cell);
    }
    state.SetItemsProcessed(state.iterations() * cells);
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadCellsFromFile)->Arg(100)->Arg(2000);

// Long texts: notes and descriptions of many pieces.
void BM_ReadLongChunkedStrings(benchmark::State& state) {
    const int length = static_cast<int>(state.range(0));
    TMemoryStream out;
    for (int i = 0; i < 100; ++i) chunked::WriteAnsiString(out, std::string(length, 'x') + "è", -2);
    const std::string bytes = out.Bytes();
    for (auto _ : state) {
        TMemoryStream s(bytes);
        for (int i = 0; i < 100; ++i) benchmark::DoNotOptimize(chunked::ReadAnsiString(s, -1));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadLongChunkedStrings)->Arg(20)->Arg(5000);

}  // namespace
