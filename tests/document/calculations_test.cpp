// The project's calculation drivers on a small network whose figures are
// worked out by hand below.
#include <gtest/gtest.h>

#include <vector>

#include "cells/head_end.h"
#include "core/channel_list.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "support/globals_fixture.h"
#include "support/pass_cells.h"
#include "support/stand_in.h"

namespace {
template <typename T, typename... Args>
T* Put(TGridData& grid, Args&&... args) {
    auto cellOwned = std::make_unique<T>(&grid, std::forward<Args>(args)...);
    auto* cell = cellOwned.get();
    EXPECT_TRUE(grid.InsertCell(std::move(cellOwned), false, 0));
    return cell;
}

void ExpectWindow(float min, float max, const TFinestra& w) {
    EXPECT_NEAR(min, w.Min, 1e-4);
    EXPECT_NEAR(max, w.Max, 1e-4);
}

void AddChannel(TListaCanali& list, const char* name, float low, float high, int32_t band, float level) {
    TCanale c;
    c.name = name;
    c.freqLow = low;
    c.freqHigh = high;
    c.band = band;
    c.levelMin = c.levelMax = level;
    list.Insert(c);
}
}  // namespace

// The network, on the project's network grid (every loss in every band):
//
//   terminal line (37,0)
//   C1 cable run (37,1..3), head (37,1): 2 dB (the other segments' 7 dB do not count)
//   X1 splitter (37,4)+(38,4): 4 dB to each output, 20 dB between its outputs
//   P1 end outlet (37,5): socket 10 dB
//   C2 cable (38,5): 0 dB
//   P2 pass-through outlet (38,6): socket 12, through 1.5, reverse 25 dB
//   P3 terminated outlet (38,7): socket 8 dB
//
// Options in every band: SigMin 60, SigMax 80, DiffMax 5, AttMin 40.
class Drivers : public GlobalsTest {
protected:
    Drivers() : project(nullptr) {
        for (int32_t b = 0; b < BandSlots; ++b) {
            Opzioni->limits[b][LimitSigMin] = 60;
            Opzioni->limits[b][LimitSigMax] = 80;
            Opzioni->limits[b][LimitDiffMax] = 5;
            Opzioni->limits[b][LimitAttMin] = 40;
        }
        project.Reset(true);
        net = project.NetworkGrid;
        anchor = dynamic_cast<TTesta*>(net->Anchor);
        c1 = Put<TTrattoProva>(*net, 37, 1);
        for (int32_t r = 2; r <= 3; ++r) SetRow0(*Put<TTrattoProva>(*net, 37, r), 1, 7.0f);
        x1 = Put<TPassanteProva>(*net, 37, 4, 2);
        p1 = Put<TPresaProva>(*net, 37, 5, 14);
        Put<TTrattoProva>(*net, 38, 5);
        p2 = Put<TPresaProva>(*net, 38, 6, 15);
        p3 = Put<TPresaProva>(*net, 38, 7, 54);
        SetRow0(*c1, 1, 2.0f);
        SetRow0(*x1, 1, 4.0f);
        SetRow0(*x1, 3, 20.0f);
        SetRow0(*p1, 0, 10.0f);
        SetRow0(*p2, 0, 12.0f);
        SetRow0(*p2, 1, 1.5f);
        SetRow0(*p2, 2, 25.0f);
        SetRow0(*p3, 0, 8.0f);
    }
    int32_t bands() const { return TCella::CalculationBandCount(); }
    const TFinestra& Socket(TCella* outlet, int32_t band) { return outlet->OutputLevels[1][band]; }
    void SeparateFrom(TCella* source, int32_t flags = 0) {
        for (int32_t b = 0; b < bands(); ++b) project.ComputeOutletSeparation(source, b, flags);
    }

    TProgetto project;
    TGridData* net = nullptr;
    TTesta* anchor = nullptr;
    TCella *c1 = nullptr, *x1 = nullptr, *p1 = nullptr, *p2 = nullptr, *p3 = nullptr;
};

TEST_F(Drivers, RequiredLevelsRiseFromTheOutletsToTheHeadEnd) {
    ASSERT_TRUE(project.AnalyseGrids());
    project.RunRequiredLevelPass();
    // P1: (60, 80) + 10 = (70, 90). P3: (60, 80) + 8 = (68, 88).
    // P2: its socket (72, 92), its through line (68, 88) + 1.5 = (69.5, 89.5): (72, 89.5).
    // X1: (70, 90) + 4 and (72, 89.5) + 4: (76, 93.5). C1: + 2 = (78, 95.5).
    for (int32_t b = 0; b < bands(); ++b) {
        SCOPED_TRACE(b);
        ExpectWindow(70, 90, p1->InputLevels[0][b]);
        ExpectWindow(72, 89.5f, p2->InputLevels[0][b]);
        ExpectWindow(76, 93.5f, x1->InputLevels[0][b]);
        ExpectWindow(78, 95.5f, anchor->InputLevels[0][b]);
    }
}

TEST_F(Drivers, OutletLevelsAndTheReturnChannelWindowAtTheHeadEnd) {
    ASSERT_TRUE(project.AnalyseGrids());
    project.ComputeOutletLevels();
    // Every head-end band but 0 carries its admissible window (78, 95.5); the
    // losses to the sockets are P1 2+4+10 = 16, P2 2+4+0+12 = 18, P3
    // 2+4+0+1.5+8 = 15.5.
    for (int32_t b = 1; b < bands(); ++b) {
        SCOPED_TRACE(b);
        ExpectWindow(62, 79.5f, Socket(p1, b));
        ExpectWindow(60, 77.5f, Socket(p2, b));
        ExpectWindow(62.5f, 80, Socket(p3, b));
        ExpectWindow(78, 95.5f, anchor->InputLevels[0][b]);
    }
    // Band 0 runs back from the outlets: their limits plus their loss.
    ExpectWindow(76, 96, Socket(p1, 0));
    ExpectWindow(78, 98, Socket(p2, 0));
    ExpectWindow(75.5f, 95.5f, Socket(p3, 0));
    ExpectWindow(75.5f, 98, anchor->InputLevels[0][0]);

    // An outlet without signal in band 0 drives the lower end to "not handled".
    SetRow0(*p3, 0, 0, LevelBlocked);
    project.ComputeOutletLevels();
    EXPECT_EQ(LevelBlocked, Socket(p3, 0).Min);
    EXPECT_EQ(LevelBlocked, anchor->InputLevels[0][0].Min);
    EXPECT_NEAR(98.0f, anchor->InputLevels[0][0].Max, 1e-4);
}

TEST_F(Drivers, SignalDifferenceBetweenOutlets) {
    ASSERT_TRUE(project.AnalyseGrids());
    project.RunRequiredLevelPass();
    TCella* lowest = nullptr;
    TCella* highest = nullptr;
    int32_t band = -1;
    // Lowest P2 at 60, highest P3 at 62.5: 2.5 dB, within 5.
    EXPECT_TRUE(project.CheckSignalDifference(lowest, highest, band));
    EXPECT_EQ(p2, lowest);
    EXPECT_EQ(p3, highest);
    // 2.5 is not more than 2.5.
    Opzioni->limits[4][LimitDiffMax] = 2.5f;
    EXPECT_TRUE(project.CheckSignalDifference(lowest, highest, band));
    Opzioni->limits[4][LimitDiffMax] = 2.4f;
    EXPECT_FALSE(project.CheckSignalDifference(lowest, highest, band));
    EXPECT_EQ(4, band);
    EXPECT_EQ(p2, lowest);
    EXPECT_EQ(p3, highest);
    // Band 0 is never compared.
    Opzioni->limits[4][LimitDiffMax] = 5;
    Opzioni->limits[0][LimitDiffMax] = 0;
    EXPECT_TRUE(project.CheckSignalDifference(lowest, highest, band));
}

TEST_F(Drivers, LeastAndGreatestAttenuationOfEachHeadEndLine) {
    anchor->SetLineCount(2);  // line 1, on (38,0), feeds nothing
    ASSERT_TRUE(project.AnalyseGrids());
    TAttenuazioniPrese result;
    project.ComputeOutletAttenuations(result);
    // Line 0: P1 16, P2 18, P3 15.5: least 15.5 at P3, greatest 18 at P2.
    for (int32_t b = 0; b < bands(); ++b) {
        SCOPED_TRACE(b);
        EXPECT_NEAR(15.5f, result.LeastAttenuation[0][b], 1e-4);
        EXPECT_EQ(3, result.LeastAt[0][b]);
        EXPECT_NEAR(18.0f, result.GreatestAttenuation[0][b], 1e-4);
        EXPECT_EQ(2, result.GreatestAt[0][b]);
        EXPECT_EQ(50000.0f, result.LeastAttenuation[1][b]);
        EXPECT_EQ(LevelNone, result.GreatestAttenuation[1][b]);
    }
    // A tie keeps the first outlet in chain order: P1 equals P3 at 15.5.
    SetRow0(*p1, 0, 9.5f);
    project.ComputeOutletAttenuations(result);
    EXPECT_EQ(1, result.LeastAt[0][3]);
}

TEST_F(Drivers, SeparationBetweenOutlets) {
    ASSERT_TRUE(project.AnalyseGrids());
    // From P1: socket 10 up to X1, 20 across to its other output, 0 down C2
    // to P2 (30): P2's socket 30 + 12 = 42; P2's through 30 + 1.5 to P3: 31.5 + 8 = 39.5.
    SeparateFrom(p1);
    for (int32_t b = 0; b < bands(); ++b) {
        EXPECT_NEAR(42.0f, p2->SeparationOutlet[b], 1e-4);
        EXPECT_NEAR(39.5f, p3->SeparationOutlet[b], 1e-4);
    }
    TCella* other = nullptr;
    int32_t band = -1;
    EXPECT_FALSE(project.CheckOutletSeparation(p1, other, band));
    EXPECT_EQ(p3, other);
    EXPECT_EQ(0, band);  // the return channel counts here

    // From P3: socket 8 up to P2's through output; P2's reverse 25: 33; on
    // up 1.5 to X1 and across 20 to P1: 29.5 + 10 = 39.5.
    SeparateFrom(p3);
    EXPECT_NEAR(33.0f, p2->SeparationOutlet[5], 1e-4);
    EXPECT_NEAR(39.5f, p1->SeparationOutlet[5], 1e-4);
    EXPECT_FALSE(project.CheckOutletSeparation(p3, other, band));
    EXPECT_EQ(p1, other);  // the first failing outlet in chain order

    // The limit less 0.001: a value exactly 0.001 below the limit passes.
    for (int32_t b = 0; b < BandSlots; ++b) Opzioni->limits[b][LimitAttMin] = 39.501f;
    SeparateFrom(p1);
    EXPECT_TRUE(project.CheckOutletSeparation(p1, other, band));
    EXPECT_EQ(nullptr, other);
    for (int32_t b = 0; b < BandSlots; ++b) Opzioni->limits[b][LimitAttMin] = 39.502f;
    EXPECT_FALSE(project.CheckOutletSeparation(p1, other, band));
}

TEST_F(Drivers, TheNormBoundsTheSeparationSearch) {
    ASSERT_TRUE(project.AnalyseGrids());
    for (int32_t b = 0; b < BandSlots; ++b) Opzioni->limits[b][LimitAttMin] = 30;
    // Bounded by 30 dB: the 30 dB reaching P2's input is not carried on.
    project.ComputeOutletSeparation(p1, 2, 1);
    EXPECT_EQ(LevelNone, p2->SeparationOutlet[2]);
    EXPECT_EQ(LevelNone, p3->SeparationOutlet[2]);
    EXPECT_NEAR(10.0f, x1->SeparationBest[2], 1e-4);
    // Unbounded, it goes on up to 10000 dB.
    project.ComputeOutletSeparation(p1, 2, 0);
    EXPECT_NEAR(42.0f, p2->SeparationOutlet[2], 1e-4);
    // A fresh search clears what the last one left.
    project.ComputeOutletSeparation(p1, 2, 1);
    EXPECT_EQ(LevelNone, p2->SeparationOutlet[2]);
}

TEST_F(Drivers, ChannelsReachTheSocketsFromTheHeadEnd) {
    auto* antenna = Put<TSorgenteProva>(*project.HeadEndGrid, 37, 73);
    AddChannel(*antenna->SourceChannels, "E5", 174, 181, 3, 80);
    ASSERT_TRUE(project.AnalyseGrids());
    project.RunChannelPass(0);
    // 80 - 2 - 4 - 10 at P1, 80 - 2 - 4 - 0 - 1.5 - 8 at P3.
    ASSERT_EQ(1, p1->ChannelLists[1]->Count());
    EXPECT_NEAR(64.0f, p1->ChannelLists[1]->head->levelMin, 1e-4);
    ASSERT_EQ(1, p3->ChannelLists[1]->Count());
    EXPECT_NEAR(64.5f, p3->ChannelLists[1]->head->levelMin, 1e-4);
    // A second pass gives the same lists.
    project.RunChannelPass(0);
    ASSERT_EQ(1, p1->ChannelLists[1]->Count());
    EXPECT_NEAR(64.0f, p1->ChannelLists[1]->head->levelMin, 1e-4);
}

TEST_F(Drivers, AutomaticChoiceNeedsEveryCellToAllowIt) {
    ASSERT_TRUE(project.AnalyseGrids());
    EXPECT_TRUE(project.AllowsAutoChoice());
    static_cast<TPassanteProva*>(x1)->allowsAutoChoice = false;
    EXPECT_FALSE(project.AllowsAutoChoice());
    net->Anchor = nullptr;
    EXPECT_FALSE(project.AllowsAutoChoice());
    net->Anchor = anchor;
}

class EmptyNetwork : public GlobalsTest {
protected:
    EmptyNetwork() : project(nullptr) { project.Reset(true); }
    TProgetto project;
};

TEST_F(EmptyNetwork, OutletReportsAreEmptyAndBothChecksPass) {
    Put<TSorgenteProva>(*project.HeadEndGrid, 37, 73);
    ASSERT_TRUE(project.AnalyseGrids());
    TCella* a = nullptr;
    TCella* b = nullptr;
    int32_t band = -1;
    EXPECT_TRUE(project.CheckSignalDifference(a, b, band));
    EXPECT_EQ(-1, band);  // answered at once
    EXPECT_TRUE(project.CheckOutletSeparation(nullptr, a, band));
    TAttenuazioniPrese result;
    project.ComputeOutletAttenuations(result);
    EXPECT_EQ(50000.0f, result.LeastAttenuation[0][1]);
    EXPECT_EQ(LevelNone, result.GreatestAttenuation[0][1]);
    EXPECT_TRUE(project.AllowsAutoChoice());
    // Nothing asks anything of the open line, the return channel included.
    project.ComputeOutletLevels();
    EXPECT_EQ(LevelReqUnlimited, project.NetworkGrid->Anchor->InputLevels[0][0].Min);
    EXPECT_EQ(LevelReqUnlimited, project.NetworkGrid->Anchor->InputLevels[0][1].Max);

    // The channel pass walks the head-end grid only.
    const uint32_t before = project.NetworkGrid->Anchor->PassStamp;
    project.RunChannelPass(0);
    EXPECT_NE(0u, project.HeadEndGrid->Anchor->PassStamp);
    EXPECT_EQ(before, project.NetworkGrid->Anchor->PassStamp);
}

// A head-end module on a common line, taking its channel step in two halves:
// the first passes the common line on (pass number - 1, flag 0x100), the
// second adds its own channel to output 1, once per pass.
class TModuloProva : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    TModuloProva(TCellGrid* owner, int32_t column, int32_t row) : TCella(owner, 0, 0, column, row, 1, 2, 0) {
        SetPortCounts();
        TCanale own;
        own.name = "M";
        own.freqLow = 600;
        own.freqHigh = 608;
        own.band = 5;
        own.levelMin = own.levelMax = 90;
        SourceChannels->Insert(own);
    }
    void ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) override {
        if (stamp <= PassStamp) return;
        const bool fresh = PassStamp < stamp - 1;
        if (fresh) ResetChannelLists();
        if (port > 0) flags &= ~0x100;
        if (fresh) {
            if (TCella* up = InputCell.empty() ? nullptr : InputCell[0]) {
                up->ComputeChannels(flags | 0x100, InputPort[0], stamp);
                if (static_cast<size_t>(InputPort[0]) < up->ChannelLists.size())
                    TListaCanali::AddAll(*up->ChannelLists[static_cast<size_t>(InputPort[0])],
                                         *ChannelLists[0]);
            }
            PassStamp = stamp - 1;
        }
        if (flags & 0x100) return;
        for (const TCanale* c = SourceChannels->head; c; c = c->next) ChannelLists[1]->Insert(*c);
        PassStamp = stamp;
    }
};

TEST_F(EmptyNetwork, TwoChannelPassesInARowGiveTheSameModuleLists) {
    TGridData* head = project.HeadEndGrid;
    auto* first = Put<TModuloProva>(*head, 10, 10);
    auto* second = Put<TModuloProva>(*head, 10, 11);
    first->AllocLinks();
    second->AllocLinks();
    LinkCells(*first, 0, *second, 0);
    // The chain as an analysis of the head-end grid orders it.
    head->Anchor->NextCell = first;
    first->NextCell = second;

    std::vector<int> counts;
    for (int pass = 0; pass < 3; ++pass) {
        project.RunChannelPass(0);
        counts.push_back(first->ChannelLists[1]->Count());
        counts.push_back(second->ChannelLists[1]->Count());
        EXPECT_EQ(0, second->ChannelLists[0]->Count());
    }
    EXPECT_EQ((std::vector<int>{1, 1, 1, 1, 1, 1}), counts);
}
