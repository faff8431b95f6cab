// Every figure of the whole network calculation on generated buildings, pinned
// bit for bit: the required and signal windows of every port of every cell,
// every channel of every output after the channel pass with all its values,
// the attenuations of every head-end line, the level-difference answer, every
// separation accumulator after every search and every answer of the check,
// and every message said on the way. The calculation is tuned for speed; a
// tuning that changes any of these, even in the last bit of one float, must
// fail here. The pinned fingerprints were taken from the plain passes (each
// channel list freed and rebuilt node by node, every cell cleared before every
// separation search); the plain separation search stays in
// separation_search_test.cpp as a live reference.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "cells/custom_cell.h"
#include "cells/mixers.h"
#include "cells/sources.h"
#include "cells/taps.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/stdctrls.h"
#include "support/generated_building.h"
#include "support/globals_fixture.h"

namespace {
// FNV-1a over everything fed to it, with a count of the values so that a
// figure that goes missing changes the print too.
class Fingerprint {
public:
    void Add(uint64_t v) {
        for (int i = 0; i < 8; ++i) {
            hash_ ^= (v >> (8 * i)) & 0xff;
            hash_ *= 0x100000001b3ull;
        }
        ++count_;
    }
    void Add(float v) { Add(static_cast<uint64_t>(std::bit_cast<uint32_t>(v))); }
    void Add(const std::string& s) {
        Add(static_cast<uint64_t>(s.size()));
        for (unsigned char c : s) Add(static_cast<uint64_t>(c));
    }
    void Add(const TFinestra& w) {
        Add(w.Min);
        Add(w.Max);
    }
    void Add(const TTabellaFinestre& table) {
        Add(static_cast<uint64_t>(table.Allocated() ? table.Ports() + 1 : 0));
        if (!table.Allocated()) return;
        for (int32_t p = 0; p < table.Ports(); ++p)
            for (const TFinestra& w : table[p]) Add(w);
    }
    void Add(const TCanale& c) {
        Add(c.name);
        Add(c.label);
        Add(c.sources);
        Add(static_cast<uint64_t>(static_cast<uint32_t>(c.band)));
        Add(static_cast<uint64_t>(static_cast<unsigned char>(c.polarization)));
        Add(static_cast<uint64_t>(static_cast<unsigned char>(c.modulation)));
        Add(static_cast<uint64_t>(static_cast<unsigned char>(c.signalType)));
        for (float v : {c.levelMin, c.levelMax, c.gainMin, c.gainMax, c.noiseMin, c.noiseMax, c.floorMin,
                        c.floorMax, c.sourceCNMin, c.sourceCNMax, c.freqLow, c.freqHigh})
            Add(v);
    }
    uint64_t Value() const { return hash_ ^ count_; }
    uint64_t Count() const { return count_; }

private:
    uint64_t hash_ = 0xcbf29ce484222325ull;
    uint64_t count_ = 0;
};

// Calls f on every cell of a chain, inside custom components too.
template <class F>
void EachCell(TCella* first, F&& f) {
    for (TCella* cell = first; cell; cell = cell->NextCell) {
        f(*cell);
        if (auto* custom = dynamic_cast<TCellaCustom*>(cell)) EachCell(custom->Structure->Anchor, f);
    }
}

void AddLevels(Fingerprint& print, TProgetto& project) {
    EachCell(project.NetworkGrid->Anchor, [&](TCella& cell) {
        print.Add(cell.InputLevels);
        print.Add(cell.OutputLevels);
    });
}

void AddChannels(Fingerprint& print, TGridData& grid) {
    EachCell(grid.Anchor, [&](TCella& cell) {
        print.Add(static_cast<uint64_t>(cell.ChannelLists.size()));
        for (const auto& list : cell.ChannelLists) {
            print.Add(static_cast<uint64_t>(list ? 1 : 0));
            if (list)
                for (const TCanale* c = list->head; c; c = c->next) print.Add(*c);
        }
    });
}

void AddAccumulators(Fingerprint& print, TProgetto& project) {
    EachCell(project.NetworkGrid->Anchor, [&](TCella& cell) {
        for (int32_t b = 0; b < BandSlots; ++b) {
            print.Add(cell.SeparationBest[b]);
            print.Add(cell.SeparationAux[b]);
            print.Add(cell.SeparationOutlet[b]);
        }
        if (auto* tap = dynamic_cast<TDerivatore*>(&cell)) {
            for (const auto& row : tap->InputSeparation)
                for (float v : row) print.Add(v);
            for (const auto& row : tap->ThroughSeparation)
                for (float v : row) print.Add(v);
        }
        if (auto* branches = dynamic_cast<TCellaRami*>(&cell))
            for (const auto& row : branches->PortSeparation)
                for (float v : row) print.Add(v);
    });
}

int32_t OutletIndex(const TProgetto& project, const TCella* outlet) {
    int32_t i = 0;
    for (TCella* o = project.NetworkGrid->FirstOutlet; o; o = o->NextOutlet, ++i)
        if (o == outlet) return i;
    return -1;
}

struct Prints {
    uint64_t levels = 0, channels = 0, attenuations = 0, separations = 0, messages = 0;
    int32_t failingChecks = 0;
    int32_t messageCount = 0;
};

struct Case {
    const char* name;
    int32_t floors;
    bool customSplitters;
    bool conflicts;  // a channel fed twice on the first head-end line
    Prints expected;
};

class CalculationFigures : public GlobalsTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        for (int32_t b = 0; b < BandSlots; ++b) {
            Opzioni->limits[b][LimitSigMin] = 40.0f;
            Opzioni->limits[b][LimitSigMax] = 120.0f;
            Opzioni->limits[b][LimitDiffMax] = 100.0f;
            Opzioni->limits[b][LimitAttMin] = b == 0 ? 20.0f : 30.0f;
        }
        globals.Reporter().SetTarget(&messages);
    }

    // The "Calcoli rete" sequence, twice over (the second after a fresh
    // analysis, so that reused lists and stale accumulators would show).
    Prints Run(building::Building& building) {
        TProgetto& project = building.project;
        Fingerprint levels, channels, attenuations, separations;
        Prints prints;
        const int32_t bands = TCella::CalculationBandCount();
        for (int round = 0; round < 2; ++round) {
            EXPECT_TRUE(project.AnalyseGrids());
            project.ComputeOutletLevels();
            AddLevels(levels, project);
            project.RunChannelPass(0);
            AddChannels(channels, *project.HeadEndGrid);
            AddChannels(channels, *project.NetworkGrid);
            TAttenuazioniPrese result;
            project.ComputeOutletAttenuations(result);
            for (int32_t l = 0; l < HeadEndLinesMax; ++l)
                for (int32_t b = 0; b < BandSlots; ++b) {
                    attenuations.Add(result.LeastAttenuation[l][b]);
                    attenuations.Add(static_cast<uint64_t>(static_cast<uint32_t>(result.LeastAt[l][b])));
                    attenuations.Add(result.GreatestAttenuation[l][b]);
                    attenuations.Add(static_cast<uint64_t>(static_cast<uint32_t>(result.GreatestAt[l][b])));
                }
            TCella* lowest = nullptr;
            TCella* highest = nullptr;
            int32_t band = -7;
            attenuations.Add(static_cast<uint64_t>(project.CheckSignalDifference(lowest, highest, band)));
            attenuations.Add(static_cast<uint64_t>(static_cast<uint32_t>(OutletIndex(project, lowest))));
            attenuations.Add(static_cast<uint64_t>(static_cast<uint32_t>(OutletIndex(project, highest))));
            attenuations.Add(static_cast<uint64_t>(static_cast<uint32_t>(band)));
            AddLevels(levels, project);
            // The second round searches in a run, over the run's copy of the network.
            std::optional<TProgetto::TSeparationRun> run;
            if (round == 1) run.emplace(project);
            for (int bounded = 1; bounded >= 0; --bounded)
                for (TCella* source = project.NetworkGrid->FirstOutlet; source; source = source->NextOutlet) {
                    for (int32_t b = 0; b < bands; ++b) {
                        project.ComputeOutletSeparation(source, b, bounded);
                        // A run keeps the values on the way in its copy until asked.
                        project.WriteBackSeparation();
                        AddAccumulators(separations, project);
                    }
                    TCella* other = nullptr;
                    band = -7;
                    const bool ok = project.CheckOutletSeparation(source, other, band);
                    separations.Add(static_cast<uint64_t>(ok));
                    separations.Add(
                        static_cast<uint64_t>(static_cast<uint32_t>(OutletIndex(project, other))));
                    separations.Add(static_cast<uint64_t>(static_cast<uint32_t>(band)));
                    if (!ok) ++prints.failingChecks;
                }
        }
        Fingerprint said;
        for (const AnsiString& m : MessagesOf(messages)) said.Add(m);
        prints.levels = levels.Value();
        prints.channels = channels.Value();
        prints.attenuations = attenuations.Value();
        prints.separations = separations.Value();
        prints.messages = said.Value();
        prints.messageCount = static_cast<int32_t>(MessagesOf(messages).size());
        return prints;
    }

    TListBox messages;
};

TEST_P(CalculationFigures, StayExactlyAsThePlainPassesLeftThem) {
    const Case c = GetParam();
    building::Building building(c.floors, c.customSplitters);
    if (c.conflicts) {
        // Channel 25 once more, a little weaker, on the first line: it meets
        // its twin in every list and is merged with it.
        auto* antenna = dynamic_cast<TAntenna*>(building.project.HeadEndGrid->CellAt(
            building.project.HeadEndGrid->Anchor->Column + 1, building.project.HeadEndGrid->Anchor->Row - 2));
        ASSERT_NE(antenna, nullptr);
        TCanale channel;
        CanalizzazioneEuropa->SetChannel(channel, CanalizzazioneEuropa->IndexOf("25"));
        channel.band = SistemaBandeCorrente->BandOf(channel.CentreFrequency());
        channel.levelMin = 70.0f;
        antenna->SourceChannels->Insert(channel);
    }
    const Prints got = Run(building);
    // Every outlet's socket carries its line's 20 channels: a twin merged
    // into one, not listed twice.
    for (TCella* o = building.project.NetworkGrid->FirstOutlet; o; o = o->NextOutlet) {
        const TListaCanali* socket = o->ChannelLists.at(static_cast<size_t>(o->NumThroughOutputs)).get();
        ASSERT_NE(socket, nullptr);
        EXPECT_EQ(socket->Count(), building::ChannelsPerLine);
    }
    if (::testing::Test::HasFailure() || got.levels != c.expected.levels ||
        got.channels != c.expected.channels || got.attenuations != c.expected.attenuations ||
        got.separations != c.expected.separations)
        std::printf("{%lluull, %lluull, %lluull, %lluull, %lluull, %d, %d}\n",
                    static_cast<unsigned long long>(got.levels),
                    static_cast<unsigned long long>(got.channels),
                    static_cast<unsigned long long>(got.attenuations),
                    static_cast<unsigned long long>(got.separations),
                    static_cast<unsigned long long>(got.messages), got.failingChecks, got.messageCount);
    EXPECT_EQ(got.levels, c.expected.levels);
    EXPECT_EQ(got.channels, c.expected.channels);
    EXPECT_EQ(got.attenuations, c.expected.attenuations);
    EXPECT_EQ(got.separations, c.expected.separations);
    EXPECT_EQ(got.messages, c.expected.messages);
    EXPECT_EQ(got.failingChecks, c.expected.failingChecks);
    EXPECT_EQ(got.messageCount, c.expected.messageCount);
}

INSTANTIATE_TEST_SUITE_P(
    Buildings, CalculationFigures,
    ::testing::Values(Case{"Plain3",
                           3,
                           false,
                           false,
                           {18444862025674131181ull, 2584658402801020337ull, 15464205467165062509ull,
                            13251325733980108626ull, 14695981039346656037ull, 384, 0}},
                      Case{"Custom2",
                           2,
                           true,
                           false,
                           {9841710441070449853ull, 13551862493711143361ull, 14334998834624351885ull,
                            9915361912805047199ull, 14695981039346656037ull, 256, 0}},
                      Case{"Conflicts2",
                           2,
                           false,
                           true,
                           {9626052793947219453ull, 6259557341629348873ull, 14334998834624351885ull,
                            10733907249444985760ull, 14695981039346656037ull, 256, 0}}),
    [](const auto& info) { return std::string(info.param.name); });
}  // namespace
