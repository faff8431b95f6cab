// The separation search clears only what the band's previous search wrote,
// and the check looks only at the outlets the searches reached. Both must
// leave exactly what clearing every cell before every search and looking at
// every outlet leaves: two like buildings, one searched the plain way below
// and one by the project, compared bit for bit after every search and check.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <optional>
#include <vector>

#include "cells/cables.h"
#include "cells/custom_cell.h"
#include "cells/mixers.h"
#include "cells/outlets.h"
#include "cells/taps.h"
#include "document/grid.h"
#include "document/project.h"
#include "support/generated_building.h"
#include "support/globals_fixture.h"

namespace {
constexpr float Unbounded = 10000.0f;

// The plain search: every cell of the band cleared first.
void PlainSearch(TProgetto& project, TCella* source, int32_t band, bool bounded) {
    for (TCella* cell = project.NetworkGrid->Anchor; cell; cell = cell->NextCell)
        cell->ClearBandAccumulators(band);
    const float limit = bounded ? Opzioni->limits[band][LimitAttMin] : Unbounded;
    source->SeparationOutlet[band] = 0.0f;
    source->PushSeparation(source->NumThroughOutputs, band, limit);
}

// The plain check: every outlet but the source, in chain order.
bool PlainCheck(TProgetto& project, TCella* source, TCella*& other, int32_t& band) {
    const int32_t bands = TCella::CalculationBandCount();
    for (other = project.NetworkGrid->FirstOutlet; other; other = other->NextOutlet) {
        if (other == source) continue;
        for (band = 0; band < bands; ++band) {
            const float v = other->SeparationOutlet[band];
            if (v >= 0.0f && static_cast<double>(Opzioni->limits[band][LimitAttMin]) - 0.001 > v)
                return false;
        }
    }
    return true;
}

void AddBits(std::vector<uint32_t>& out, const float* values, size_t count) {
    for (size_t i = 0; i < count; ++i) out.push_back(std::bit_cast<uint32_t>(values[i]));
}

// Every separation accumulator of every cell of a chain, inside custom
// components too, bit for bit.
void Accumulators(TCella* first, std::vector<uint32_t>& out) {
    for (TCella* cell = first; cell; cell = cell->NextCell) {
        AddBits(out, cell->SeparationBest, BandSlots);
        AddBits(out, cell->SeparationAux, BandSlots);
        AddBits(out, cell->SeparationOutlet, BandSlots);
        if (auto* tap = dynamic_cast<TDerivatore*>(cell)) {
            out.push_back(static_cast<uint32_t>(tap->InputSeparation.size()));
            for (const auto& row : tap->InputSeparation) AddBits(out, row.data(), row.size());
            out.push_back(static_cast<uint32_t>(tap->ThroughSeparation.size()));
            for (const auto& row : tap->ThroughSeparation) AddBits(out, row.data(), row.size());
        }
        if (auto* branches = dynamic_cast<TCellaRami*>(cell))
            for (const auto& row : branches->PortSeparation) AddBits(out, row.data(), row.size());
        if (auto* custom = dynamic_cast<TCellaCustom*>(cell)) Accumulators(custom->Structure->Anchor, out);
    }
}

std::vector<uint32_t> Accumulators(TProgetto& project) {
    std::vector<uint32_t> out;
    Accumulators(project.NetworkGrid->Anchor, out);
    return out;
}

// What the check, the report and the printed tables read: every outlet's own
// result, bit for bit.
std::vector<uint32_t> OutletResults(TProgetto& project) {
    std::vector<uint32_t> out;
    for (TCella* o = project.NetworkGrid->FirstOutlet; o; o = o->NextOutlet)
        AddBits(out, o->SeparationOutlet, BandSlots);
    return out;
}

int32_t OutletIndex(const TProgetto& project, const TCella* outlet) {
    int32_t i = 0;
    for (TCella* o = project.NetworkGrid->FirstOutlet; o; o = o->NextOutlet, ++i)
        if (o == outlet) return i;
    return -1;
}

TCella* NthOutlet(TProgetto& project, int32_t n) {
    TCella* o = project.NetworkGrid->FirstOutlet;
    for (; o && n > 0; --n) o = o->NextOutlet;
    return o;
}

TCella* NthTap(TProgetto& project, int32_t n) {
    for (TCella* cell = project.NetworkGrid->Anchor; cell; cell = cell->NextCell)
        if (dynamic_cast<TDerivatore*>(cell) && !dynamic_cast<TDivisore*>(cell) && n-- == 0) return cell;
    return nullptr;
}

struct Case {
    int32_t floors;
    bool customSplitters;
    bool bounded;
};

class SeparationSearch : public GlobalsTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        // Norms that some pairs of outlets meet and some do not; the first
        // band is always met, so that a failure names a later one.
        for (int32_t b = 0; b < BandSlots; ++b) {
            Opzioni->limits[b][LimitSigMin] = 40.0f;
            Opzioni->limits[b][LimitSigMax] = 120.0f;
            Opzioni->limits[b][LimitDiffMax] = 100.0f;
            Opzioni->limits[b][LimitAttMin] = b == 0 ? 20.0f : 30.0f;
        }
    }

    // From every outlet (every `step`-th), every band: both ways, compared
    // after each search and each check, the program's searches in a run of
    // its own when asked. In a run the outlets' results are in the cells at
    // once and the other accumulators once written back: every accumulator
    // is compared after the searches of every other source, written back
    // after each search, and the outlets' results after every search before
    // that. Returns how many checks failed.
    int32_t CompareSearches(TProgetto& plain, TProgetto& program, int32_t step, bool run) {
        std::optional<TProgetto::TSeparationRun> scope;
        if (run) scope.emplace(program);
        const int32_t bands = TCella::CalculationBandCount();
        const bool bounded = GetParam().bounded;
        int32_t failing = 0;
        TCella* a = plain.NetworkGrid->FirstOutlet;
        TCella* b = program.NetworkGrid->FirstOutlet;
        for (int32_t n = 0; a && b; ++n, a = a->NextOutlet, b = b->NextOutlet) {
            if (n % step) continue;
            for (int32_t band = 0; band < bands; ++band) {
                PlainSearch(plain, a, band, bounded);
                program.ComputeOutletSeparation(b, band, bounded ? 1 : 0);
                EXPECT_EQ(OutletResults(plain), OutletResults(program)) << "outlet " << n << " band " << band;
                if ((n / step) % 2 == 0) continue;
                program.WriteBackSeparation();
                EXPECT_EQ(Accumulators(plain), Accumulators(program)) << "outlet " << n << " band " << band;
            }
            TCella* otherA = nullptr;
            TCella* otherB = nullptr;
            int32_t bandA = -7, bandB = -7;
            const bool okA = PlainCheck(plain, a, otherA, bandA);
            const bool okB = program.CheckOutletSeparation(b, otherB, bandB);
            EXPECT_EQ(okA, okB) << "outlet " << n;
            EXPECT_EQ(OutletIndex(plain, otherA), OutletIndex(program, otherB)) << "outlet " << n;
            EXPECT_EQ(bandA, bandB) << "outlet " << n;
            if (!okA) ++failing;
        }
        EXPECT_EQ(a == nullptr, b == nullptr);
        // Closing the run puts what only the copy kept into the cells; in a
        // run opened outside, the write-back does.
        if (scope)
            scope.reset();
        else
            program.WriteBackSeparation();
        EXPECT_EQ(Accumulators(plain), Accumulators(program));
        return failing;
    }
};

TEST_P(SeparationSearch, MatchesClearingEveryCellBeforeEverySearch) {
    const Case c = GetParam();
    building::Building plain(c.floors, c.customSplitters);
    building::Building program(c.floors, c.customSplitters);
    ASSERT_TRUE(plain.project.AnalyseGrids());
    ASSERT_TRUE(program.project.AnalyseGrids());
    ASSERT_GT(TCella::CalculationBandCount(), 1);

    // The searches of a run go over the run's copy of the network.
    const int32_t failing = CompareSearches(plain.project, program.project, 1, true);
    // The norms are such that both answers of the check occur.
    if (c.bounded) {
        EXPECT_GT(failing, 0);
        EXPECT_LT(failing, static_cast<int32_t>(plain.outlets));
    }

    // Again after a re-analysis, without a run: the run's writes are cleared.
    ASSERT_TRUE(plain.project.AnalyseGrids());
    ASSERT_TRUE(program.project.AnalyseGrids());
    CompareSearches(plain.project, program.project, 3, false);

    {
        // A re-analysis inside a run, right after searches whose values on the
        // way only the copy keeps: the next searches clear what is in the
        // cells, and every other cell of the band is clear.
        TProgetto::TSeparationRun run(program.project);
        const bool bounded = GetParam().bounded;
        for (int32_t band = 0; band < TCella::CalculationBandCount(); ++band) {
            PlainSearch(plain.project, NthOutlet(plain.project, 7), band, bounded);
            program.project.ComputeOutletSeparation(NthOutlet(program.project, 7), band, bounded ? 1 : 0);
        }
        EXPECT_EQ(OutletResults(plain.project), OutletResults(program.project));
        ASSERT_TRUE(plain.project.AnalyseGrids());
        ASSERT_TRUE(program.project.AnalyseGrids());
        CompareSearches(plain.project, program.project, 3, false);
    }

    {
        // An outlet and a tap deleted between two checks of one run: the
        // cells the last searches wrote are gone, and no search may clear
        // them again nor read the copy made before.
        TProgetto::TSeparationRun run(program.project);
        CompareSearches(plain.project, program.project, 4, false);
        for (TProgetto* p : {&plain.project, &program.project}) {
            ASSERT_TRUE(p->NetworkGrid->RemoveCell(NthOutlet(*p, 5), false, 0));
            ASSERT_TRUE(p->NetworkGrid->RemoveCell(NthTap(*p, 1), false, 0));
        }
        CompareSearches(plain.project, program.project, 2, false);
    }

    // Losses and an outlet's kind edited between two runs, without an
    // analysis: the next run searches with the new values.
    for (TProgetto* p : {&plain.project, &program.project}) {
        TCella* tap = NthTap(*p, 2);
        ASSERT_NE(tap, nullptr);
        for (int32_t b = 0; b < BandSlots; ++b) {
            tap->Attenuation->Set3(0, TapLossColumn, b, 4.0f + 0.5f * static_cast<float>(b));
            tap->Attenuation->Set3(0, TapReverseColumn, b, 12.0f);
        }
        auto* outlet = dynamic_cast<TPresaD*>(NthOutlet(*p, 9));
        ASSERT_NE(outlet, nullptr);
        outlet->Attenuation->Set3(0, OutletSocketLoss, 3, 1.0f);
        outlet->PassThrough = 0;
        for (TCella* cell = p->NetworkGrid->Anchor; cell; cell = cell->NextCell)
            if (auto* cable = dynamic_cast<TNCavo*>(cell)) cable->SetLength(1.0f);
    }
    CompareSearches(plain.project, program.project, 2, true);
}

INSTANTIATE_TEST_SUITE_P(Buildings, SeparationSearch,
                         ::testing::Values(Case{1, false, true}, Case{3, false, true}, Case{3, false, false},
                                           Case{2, true, true}, Case{2, true, false}));
}  // namespace
