// Loading the long lists a project file may hold: the graphic signs of a grid
// section and a channel list. Both are read one record at a time and put at
// the end of their list, so a file of many signs or channels loads in time
// that grows with its size.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/channel_list.h"
#include "core/channels.h"
#include "core/file.h"
#include "document/grid.h"
#include "document/signs.h"

namespace {

constexpr int32_t Version = 60000;
constexpr int32_t Squares = 24;

// A grid section of a grid with this many signs, after the four fields the
// project loader reads (tag, kind, columns, rows).
std::string SectionWithSigns(int signs) {
    TGridData grid(nullptr, Squares, Squares, GridNetwork);
    for (int i = 0; i < signs; ++i) {
        auto signOwned = std::make_unique<TSegnoGrafico>(&grid);
        TSegnoGrafico* sign = signOwned.get();
        sign->Kind = i % 3;
        sign->X1 = i % 1000;
        sign->Y1 = i % 700;
        sign->X2 = sign->X1 + 40;
        sign->Y2 = sign->Y1 + 20;
        if (sign->Kind == SignText) sign->Text = "Nota " + std::to_string(i);
        grid.Signs->Add(std::move(signOwned), false);
    }
    TMemoryStream s;
    grid.Save(s, Version);
    return s.Bytes().substr(16);
}

void BM_LoadGridSectionSigns(benchmark::State& state) {
    const int signs = static_cast<int>(state.range(0));
    const std::string section = SectionWithSigns(signs);
    for (auto _ : state) {
        TGridData grid(nullptr, Squares, Squares, GridNetwork);
        TMemoryStream s(section);
        if (!grid.Load(s, Version)) state.SkipWithError("the section does not load");
        benchmark::DoNotOptimize(grid.Signs->head);
    }
    state.SetComplexityN(signs);
    state.counters["bytes"] = static_cast<double>(section.size());
}
BENCHMARK(BM_LoadGridSectionSigns)
    ->Arg(20000)
    ->Arg(40000)
    ->Arg(80000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// A channel list of this many channels in frequency order, with no plan.
std::string ChannelList(int channels) {
    TMemoryStream s;
    WriteI32(s, channels);
    for (int i = 0; i < channels; ++i) {
        TCanale c;
        c.name = "C" + std::to_string(i % 100);
        c.freqLow = 47.0f + 0.25f * static_cast<float>(i);
        c.freqHigh = c.freqLow + 7.0f;
        c.levelMin = 80.0f;
        c.Write(s, Version);
    }
    return s.Bytes();
}

void BM_LoadChannelList(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    const std::string bytes = ChannelList(channels);
    for (auto _ : state) {
        TListaCanali list;
        TMemoryStream s(bytes);
        list.Read(s, Version);
        benchmark::DoNotOptimize(list.head);
    }
    state.SetComplexityN(channels);
}
BENCHMARK(BM_LoadChannelList)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
