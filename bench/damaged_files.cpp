// Files a person may be handed, hostile or just large: a 1 MB project of
// grid sections of the largest size over and over, a 1 MB project whose
// grid holds signs each across the whole grid, a project whose estimate holds
// 100,000 rows (each loaded through the open command, from memory), and
// every code of a library of 5,000 entries looked up once by name, as the
// estimate's accessories are (the library opened and closed for each).
// Each counter "peak_MB" is the process's peak memory after the run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "cells/library_cells.h"
#include "document/estimate.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/project_files.h"
#include "document/signs.h"
#include "bench_globals.h"
#include "cells/factory.h"
#include "cells/filters.h"
#include "cells/prototypes.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "platform/application.h"

namespace {

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct Globals : BenchGlobals {
    Globals() {
        saved = UltimiComponenti;
        UltimiComponenti = prototypes.get();
    }
    ~Globals() { UltimiComponenti = saved; }
    std::unique_ptr<TUltimiComponenti> prototypes = std::make_unique<TUltimiComponenti>();
    TUltimiComponenti* saved = nullptr;
};

// A fresh project's file up to its sections: header and texts.
std::string HeadOfAProject() {
    TProgetto p(nullptr);
    p.Reset(true);
    TMemoryStream whole;
    WriteProjectFile(whole, p, ProjectVersionCurrent);
    TMemoryStream sections;
    WriteI32(sections, TagEstimate);
    p.Estimate->Save(sections, ProjectVersionCurrent);
    const size_t at = whole.Bytes().find(sections.Bytes());
    return whole.Bytes().substr(0, at);
}

void Le32(std::string& s, int32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
}

// 1 MB of grid sections of 2000 x 2000 squares, head end and network in turn.
std::string RepeatedGridSections() {
    std::string file = HeadOfAProject();
    while (file.size() < (1u << 20)) {
        for (int32_t v : {205, static_cast<int32_t>((file.size() / 24) % 2), 2000, 2000, 206, 206, 205})
            Le32(file, v);
    }
    return file;
}

// 1 MB of text signs, each across the whole of a 2000 x 2000 grid.
std::string GridOfHugeSigns() {
    std::string file = HeadOfAProject();
    for (int32_t v : {205, 1, 2000, 2000, 206}) Le32(file, v);
    while (file.size() < (1u << 20)) {
        for (int32_t v : {2, 0, 2000 * 42, 0, 2000 * 42}) Le32(file, v);  // kind, Y1, Y2, X1, X2
        file += std::string(2, '\0');                                     // text, font name
        for (int32_t v : {10, 0}) Le32(file, v);                           // font size and colour
        file += std::string(2, '\0');                                     // bold, italic
        for (int32_t v : {1, 0}) Le32(file, v);                            // pen width and colour
        file += std::string(1, '\0');                                     // pen style
    }
    for (int32_t v : {206, 205}) Le32(file, v);
    return file;
}

void LoadBytes(benchmark::State& state, const std::string& bytes, int expected) {
    Globals globals;
    TFileProgetto files(nullptr, nullptr);
    TProgetto open(nullptr);
    open.Reset(true);
    for (auto _ : state) {
        TMemoryStream s(bytes);
        const int result = files.LoadProjectFrom(s, "ostile.ant", open);
        Application->Script().Reset();
        if (result != expected) state.SkipWithError("unexpected result");
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_HostileRepeatedGridSections(benchmark::State& state) { LoadBytes(state, RepeatedGridSections(), -1); }
void BM_HostileGridOfHugeSigns(benchmark::State& state) { LoadBytes(state, GridOfHugeSigns(), -1); }

void BM_EstimateOfManyRows(benchmark::State& state) {
    Globals globals;
    std::string bytes;
    {
        TProgetto p(nullptr);
        p.Reset(true);
        for (int64_t i = 0; i < state.range(0); ++i) {
            TRigaPreventivo row;
            row.Code = "ART" + std::to_string(i);
            row.Description = "Articolo di listino";
            row.Quantity = 1;
            row.UnitPrice = 9.9f;
            row.Unit = "pezzi";
            p.Estimate->AddQuantity(row);
        }
        TMemoryStream s;
        WriteProjectFile(s, p, ProjectVersionCurrent);
        bytes = s.Bytes();
    }
    LoadBytes(state, bytes, 0);
}

void BM_LibraryLookupEveryCode(benchmark::State& state) {
    Globals globals;
    const int entries = static_cast<int>(state.range(0));
    char folder[] = "/tmp/ordivex-bench-XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("no folder");
        return;
    }
    const std::string path = std::string(folder) + "/Listino.alb";
    {
        std::string body;
        for (int i = 0; i < entries; ++i) {
            TFiltroS cell(nullptr, 0, 0, 0, 0);
            cell.Code = "F" + std::to_string(i);
            cell.Article = "Filtro " + std::to_string(i);
            cell.Category = "Filtri";
            TMemoryStream record;
            cell.Save(record, LibraryVersion);
            Le32(body, static_cast<int32_t>(record.Bytes().size()));
            body += record.Bytes();
        }
        std::string file = std::string(LibraryTag, 12) + '\x09';
        Le32(file, entries);
        Le32(file, static_cast<int32_t>(LibraryHeaderSize + body.size()));
        std::ofstream(path, std::ios::binary) << file << body;
    }
    TLibrerie libraries;
    auto* library = new TLibreria;
    library->fileName = path;
    libraries.Append(std::unique_ptr<TLibreria>(library));
    for (auto _ : state) {
        int found = 0;
        for (int i = 0; i < entries; ++i) found += GetLibraryCell(libraries, "Listino", "F" + std::to_string(i)) ? 1 : 0;
        if (found != entries) state.SkipWithError("an entry was not found");
    }
    state.counters["entries"] = entries;
    state.counters["peak_MB"] = PeakMegabytes();
    std::remove(path.c_str());
    rmdir(folder);
}

}  // namespace

BENCHMARK(BM_HostileRepeatedGridSections)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostileGridOfHugeSigns)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EstimateOfManyRows)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibraryLookupEveryCode)->Arg(5000)->Unit(benchmark::kMillisecond);
