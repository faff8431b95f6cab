// The passes of taps and splitters on hand-linked cells: losses with their
// stages, required and signal levels, channels, the separation search and
// the reach windows.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cells/splitters.h"
#include "cells/taps.h"
#include "core/channel_list.h"
#include "core/info.h"
#include "support/globals_fixture.h"
#include "support/pass_cells.h"
#include "support/stand_in.h"

namespace {

constexpr int Band = 5;  // the band the single-band cases use ("b. V")

void ExpectLevel(float expected, float actual) {
    if (!IsRealLevel(expected))
        EXPECT_EQ(expected, actual);
    else
        EXPECT_NEAR(expected, actual, 1e-4);
}

void ExpectWindow(const TFinestra& expected, const TFinestra& actual) {
    ExpectLevel(expected.Min, actual.Min);
    ExpectLevel(expected.Max, actual.Max);
}

// A source: no input, its outputs carry fixed windows in every band and its
// channels.
class TSorgenteLivelli : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    explicit TSorgenteLivelli(std::vector<TFinestra> windows)
        : TCella(nullptr, 0, 0, 0, 0, 0, static_cast<int32_t>(windows.size()), 0),
          windows(std::move(windows)) {
        SetPortCounts();
    }
    void ComputeSignalLevels(uint32_t stamp) override {
        if (stamp <= PassStamp) return;
        PassStamp = stamp;
        ResetOutputLevels();
        for (int32_t j = 0; j < NumOutputs; ++j)
            for (auto& w : OutputLevels[j]) w = windows[static_cast<size_t>(j)];
    }
    void ComputeChannels(int32_t, int32_t, uint32_t stamp) override {
        if (stamp <= PassStamp) return;
        PassStamp = stamp;
        ResetChannelLists();
        for (auto& list : ChannelLists) TListaCanali::AddAll(*SourceChannels, *list);
    }
    std::vector<TFinestra> windows;
};

// An end of a line: asks a fixed window of its input, keeps a fixed reach
// window, and records what the designer's passes hand it.
class TFineProva : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    explicit TFineProva(TFinestra asked = {LevelNone, LevelNone}, TFinestra reach = {0, 0})
        : TCella(nullptr, 0, 0, 0, 0, 1, 0, 0), asked(asked) {
        SetPortCounts();
        ResetAuxLevels();
        for (auto& w : ReachLevels[0]) w = reach;
    }
    void ComputeRequiredLevels(TBandLimits, TBandLimits, uint32_t stamp) override {
        if (stamp <= PassStamp) return;
        PassStamp = stamp;
        ResetInputLevels();
        for (auto& w : InputLevels[0]) w = asked;
    }
    bool ChooseModel(TCella*, int32_t mode, uint32_t stamp, TProgressBar*, int32_t, int32_t) override {
        if (stamp <= PassStamp) return true;
        PassStamp = stamp;
        chooseMode = mode;
        return chooses;
    }
    void EvaluateModel(TCella*, int32_t mode, float level, uint32_t stamp, int32_t) override {
        if (stamp <= PassStamp) return;
        PassStamp = stamp;
        evaluateMode = mode;
        evaluated = level;
    }
    TFinestra asked;
    bool chooses = true;
    int32_t chooseMode = -1;
    int32_t evaluateMode = -1;
    float evaluated = LevelNone;
};

void SetLoss(TCella& cell, int32_t row, int32_t column, float value) {
    for (int b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(row, column, b, value);
}

// A stage with a gain (and a maximum output level) in every band.
void SetStage(TInfo& table, int32_t rows, int32_t row, float gain, float maxOut = LevelNone) {
    if (table.Size2() != rows) table.SetSizes(0, rows, 7, BandSlots);
    for (int b = 0; b < BandSlots; ++b) {
        table.Set3(row, 4, b, gain);
        table.Set3(row, 6, b, maxOut);
    }
}

class TapPasses : public GlobalsTest {
protected:
    int32_t bands() const { return TCella::CalculationBandCount(); }
};

// ---- Losses ----

TEST_F(TapPasses, LossesAddTheStagesOnTheWay) {
    struct Case {
        const char* what;
        void (*setUp)(TDerivatore&);
        float through, tap0, tap1;
    };
    // clang-format off
    const Case cases[] = {
        {"plain", [](TDerivatore&) {}, 3, 10, 10},
        {"input stage", [](TDerivatore& c) { SetStage(*c.LevelTableA, 1, 0, 10); }, -7, 0, 0},
        {"through stage", [](TDerivatore& c) { SetStage(*c.LevelTableB, 1, 0, 5); }, -2, 10, 10},
        {"user-output stage", [](TDerivatore& c) { SetStage(*c.LevelTableC, 1, 0, 4); }, 3, 6, 6},
        {"band not passed", [](TDerivatore& c) { SetLoss(c, 0, TapThroughColumn, LevelBlocked); }, LevelBlocked, 10, 10},
        {"no through loss", [](TDerivatore& c) { SetLoss(c, 0, TapThroughColumn, LevelNone); }, LevelNone, 10, 10},
        {"stage not passing", [](TDerivatore& c) { SetStage(*c.LevelTableA, 1, 0, LevelBlocked); },
         LevelBlocked, LevelBlocked, LevelBlocked},
        {"own losses per output", [](TDerivatore& c) {
             c.MatrixTableA->Alloc4(1, 2, 1, BandSlots);
             for (int b = 0; b < BandSlots; ++b) {
                 c.MatrixTableA->Set4(0, 0, 0, b, 11);
                 c.MatrixTableA->Set4(0, 1, 0, b, 12);
             }
         }, 3, 11, 12},
        {"own stages per output", [](TDerivatore& c) {
             SetStage(*c.LevelTableA, 1, 0, 10);
             SetStage(*c.LevelTableC, 1, 0, 50);   // not used beside own stages
             c.MatrixTableA->Alloc4(1, 2, 1, BandSlots);
             c.MatrixTableB->SetSizes(1, 2, 7, BandSlots);
             for (int b = 0; b < BandSlots; ++b) {
                 c.MatrixTableA->Set4(0, 0, 0, b, 11);
                 c.MatrixTableA->Set4(0, 1, 0, b, 12);
                 c.MatrixTableB->Set4(0, 1, 4, b, 2);
             }
         }, -7, 1, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        TDerivatore tap(nullptr, 0, 0, 0, 0, 1, 2);
        SetLoss(tap, 0, TapLossColumn, 10);
        SetLoss(tap, 0, TapThroughColumn, 3);
        c.setUp(tap);
        ExpectLevel(c.through, tap.GetRow1Attenuation(0, 0, Band));
        ExpectLevel(c.tap0, tap.TapLoss(0, 0, Band));
        ExpectLevel(c.tap1, tap.TapLoss(0, 1, Band));
        if (HasFailure()) ADD_FAILURE() << c.what;
    }
    TDerivatoreN end(nullptr, 0, 0, 0, 0, 1, 2);
    SetLoss(end, 0, TapThroughColumn, 3);
    EXPECT_EQ(end.GetRow1Attenuation(0, 0, Band), LevelNone);
}

// ---- Required and signal levels ----

// A two-line tap with two user outputs per line:
//   line 0: tap loss 10, through loss 2;  line 1: tap loss 14, through loss 3.
struct TwoLines {
    TDerivatore tap{nullptr, 0, 0, 0, 0, 2, 2};
    TSorgenteLivelli source{{{100, 100}, {90, 95}}};
    TFineProva through0{{70, 90}}, through1{{55, 75}};
    TFineProva user00{{60, 85}}, user01{{62, 80}}, user10{{40, 70}}, user11{{45, 60}};
    TwoLines() {
        SetLoss(tap, 0, TapLossColumn, 10);
        SetLoss(tap, 0, TapThroughColumn, 2);
        SetLoss(tap, 1, TapLossColumn, 14);
        SetLoss(tap, 1, TapThroughColumn, 3);
        LinkCells(source, 0, tap, 0);
        LinkCells(source, 1, tap, 1);
        LinkCells(tap, 0, through0, 0);
        LinkCells(tap, 1, through1, 0);
        LinkCells(tap, 2, user00, 0);
        LinkCells(tap, 3, user01, 0);
        LinkCells(tap, 4, user10, 0);
        LinkCells(tap, 5, user11, 0);
    }
};

TEST_F(TapPasses, EachLineAsksTheIntersectionOfItsOutputsRaisedByTheirLosses) {
    TwoLines n;
    n.tap.ComputeRequiredLevels({}, {}, NextPassNumber());
    // Line 0: through (72, 92), users (70, 95) and (72, 90): (72, 90).
    // Line 1: through (58, 78), users (54, 84) and (59, 74): (59, 74).
    for (int32_t b = 0; b < bands(); ++b) {
        ExpectWindow({72, 90}, n.tap.InputLevels[0][b]);
        ExpectWindow({59, 74}, n.tap.InputLevels[1][b]);
    }
    // The requirement at through output 1 narrows line 1 alone.
    n.through1.asked = {55, 70};
    n.tap.ComputeRequiredLevels({}, {}, NextPassNumber());
    ExpectWindow({72, 90}, n.tap.InputLevels[0][Band]);
    ExpectWindow({59, 73}, n.tap.InputLevels[1][Band]);
    // An input stage of line 1 (gain 10, at most 100 out) lowers what line 1 asks.
    SetStage(*n.tap.LevelTableA, 2, 1, 10, 100);
    n.tap.ComputeRequiredLevels({}, {}, NextPassNumber());
    ExpectWindow({72, 90}, n.tap.InputLevels[0][Band]);
    ExpectWindow({49, 63}, n.tap.InputLevels[1][Band]);
    // A band that a user output's loss does not pass leaves the line unlimited by it.
    n.tap.LevelTableA->Free();
    n.tap.Attenuation->Set3(0, TapLossColumn, 3, LevelBlocked);
    n.tap.ComputeRequiredLevels({}, {}, NextPassNumber());
    ExpectWindow({72, 92}, n.tap.InputLevels[0][3]);
}

TEST_F(TapPasses, OwnLossesPerOutputGiveEachOutputItsRequirementAndLevel) {
    TwoLines n;
    n.tap.MatrixTableA->Alloc4(2, 2, 1, BandSlots);
    for (int b = 0; b < BandSlots; ++b) {
        n.tap.MatrixTableA->Set4(0, 0, 0, b, 10);
        n.tap.MatrixTableA->Set4(0, 1, 0, b, 20);
        n.tap.MatrixTableA->Set4(1, 0, 0, b, 14);
        n.tap.MatrixTableA->Set4(1, 1, 0, b, 14);
    }
    n.tap.ComputeRequiredLevels({}, {}, NextPassNumber());
    // Line 0: through (72, 92), users (70, 95) and (82, 100): (82, 92).
    ExpectWindow({82, 92}, n.tap.InputLevels[0][Band]);
    n.tap.ComputeSignalLevels(NextPassNumber());
    ExpectWindow({90, 90}, n.tap.OutputLevels[2][Band]);
    ExpectWindow({80, 80}, n.tap.OutputLevels[3][Band]);
}

TEST_F(TapPasses, EachOutputGetsTheLevelOfItsLineLessItsLoss) {
    TwoLines n;
    n.tap.ComputeSignalLevels(NextPassNumber());
    for (int32_t b = 0; b < bands(); ++b) {
        ExpectWindow({98, 98}, n.tap.OutputLevels[0][b]);
        ExpectWindow({87, 92}, n.tap.OutputLevels[1][b]);
        ExpectWindow({90, 90}, n.tap.OutputLevels[2][b]);
        ExpectWindow({90, 90}, n.tap.OutputLevels[3][b]);
        ExpectWindow({76, 81}, n.tap.OutputLevels[4][b]);
        ExpectWindow({76, 81}, n.tap.OutputLevels[5][b]);
    }
    ExpectWindow({LevelNone, LevelNone}, n.tap.OutputLevels[0][bands()]);
    // A stage of line 1 amplifies both its outputs; a blocked band switches the output off.
    SetStage(*n.tap.LevelTableA, 2, 1, 10);
    n.tap.Attenuation->Set3(0, TapThroughColumn, 4, LevelBlocked);
    n.tap.ComputeSignalLevels(NextPassNumber());
    ExpectWindow({97, 102}, n.tap.OutputLevels[1][Band]);
    ExpectWindow({86, 91}, n.tap.OutputLevels[5][Band]);
    ExpectWindow({LevelOff, LevelOff}, n.tap.OutputLevels[0][4]);
    // The same stamp again changes nothing.
    const uint32_t stamp = n.tap.PassStamp;
    n.tap.OutputLevels[0][Band] = {1, 1};
    n.tap.ComputeSignalLevels(stamp);
    ExpectWindow({1, 1}, n.tap.OutputLevels[0][Band]);
}

TEST_F(TapPasses, ASplitterSharesItsInputAmongItsOutputs) {
    TDivisore splitter(nullptr, 0, 0, 0, 0, 1, 3);
    SetLoss(splitter, 0, TapLossColumn, 6);
    TSorgenteLivelli source({{80, 84}});
    TFineProva a({50, 70}), b({52, 75}), c({40, 80});
    LinkCells(source, 0, splitter, 0);
    LinkCells(splitter, 0, a, 0);
    LinkCells(splitter, 1, b, 0);
    LinkCells(splitter, 2, c, 0);
    splitter.ComputeRequiredLevels({}, {}, NextPassNumber());
    ExpectWindow({58, 76}, splitter.InputLevels[0][Band]);
    splitter.ComputeSignalLevels(NextPassNumber());
    for (int32_t out = 0; out < 3; ++out) ExpectWindow({74, 78}, splitter.OutputLevels[out][Band]);
}

// ---- Channels ----

void AddChannel(TListaCanali& list, const char* name, float low, float high, int32_t band, float level) {
    TCanale c;
    c.name = name;
    c.freqLow = low;
    c.freqHigh = high;
    c.band = band;
    c.levelMin = c.levelMax = level;
    list.Insert(c);
}

float LevelOf(const TListaCanali* list, const char* name) {
    for (const TCanale* c = list ? list->head : nullptr; c; c = c->next)
        if (c->name == name) return c->levelMin;
    return LevelNone;
}

TEST_F(TapPasses, ChannelsReachEveryOutputLessItsLoss) {
    TwoLines n;
    AddChannel(*n.source.SourceChannels, "E21", 470, 478, 4, 80);
    AddChannel(*n.source.SourceChannels, "E60", 782, 790, 5, 85);
    n.tap.Attenuation->Set3(1, TapLossColumn, 5, LevelBlocked);  // line 1 passes E60 unchanged to its users
    n.tap.ComputeChannels(0, 0, NextPassNumber());
    ExpectLevel(78, LevelOf(n.tap.ChannelLists[0].get(), "E21"));
    ExpectLevel(83, LevelOf(n.tap.ChannelLists[0].get(), "E60"));
    ExpectLevel(77, LevelOf(n.tap.ChannelLists[1].get(), "E21"));
    for (int32_t out : {2, 3}) {
        ExpectLevel(70, LevelOf(n.tap.ChannelLists[out].get(), "E21"));
        ExpectLevel(75, LevelOf(n.tap.ChannelLists[out].get(), "E60"));
    }
    for (int32_t out : {4, 5}) {
        ExpectLevel(66, LevelOf(n.tap.ChannelLists[out].get(), "E21"));
        ExpectLevel(85, LevelOf(n.tap.ChannelLists[out].get(), "E60"));
    }
}

// ---- Separation ----

// A one-line tap with two user outputs, an outlet on each and one on its
// through output, under a pass-through cell that stands for the line above:
//   tap loss 10, through loss 2, reverse loss 25, decoupling 20; sockets 1 dB.
struct SeparationNet {
    TPassanteProva above{nullptr, 0, 0};
    TDerivatore tap{nullptr, 0, 0, 0, 0, 1, 2};
    TPresaProva a{nullptr, 0, 0}, b{nullptr, 0, 0}, c{nullptr, 0, 0};
    SeparationNet() {
        SetLoss(tap, 0, TapLossColumn, 10);
        SetLoss(tap, 0, TapThroughColumn, 2);
        SetLoss(tap, 0, TapReverseColumn, 25);
        SetLoss(tap, 0, TapDecouplingColumn, 20);
        for (TCella* o : {&a, &b, &c}) SetRow0(*o, 0, 1.0f);
        LinkCells(above, 0, tap, 0);
        LinkCells(tap, 0, c, 0);
        LinkCells(tap, 1, a, 0);
        LinkCells(tap, 2, b, 0);
    }
    void Clear() {
        for (TCella* cell : std::initializer_list<TCella*>{&above, &tap, &a, &b, &c})
            cell->ClearBandAccumulators(Band);
    }
    void SearchFrom(TCella& outlet, float limit) {
        Clear();
        outlet.SeparationOutlet[Band] = 0;
        outlet.PushSeparation(1, Band, limit);
    }
};

TEST_F(TapPasses, SeparationFromAUserOutputReachesTheOtherOutletsByEveryWay) {
    SeparationNet n;
    n.SearchFrom(n.a, 10000);
    ExpectLevel(1, n.tap.SeparationOutlet[Band]);   // arrived at user output 0
    ExpectLevel(11, n.above.SeparationBest[Band]);  // up the line: socket + tap loss
    ExpectLevel(22, n.b.SeparationOutlet[Band]);    // across: + decoupling + socket
    ExpectLevel(27, n.c.SeparationOutlet[Band]);    // back to the through output: + reverse + socket
    // From the through output's outlet: up the line and back to both user outputs.
    n.SearchFrom(n.c, 10000);
    ExpectLevel(1, n.tap.ThroughSeparation[0][Band]);
    ExpectLevel(3, n.above.SeparationBest[Band]);
    ExpectLevel(27, n.a.SeparationOutlet[Band]);
    ExpectLevel(27, n.b.SeparationOutlet[Band]);
    // From above, down the line: through and tap losses.
    n.Clear();
    n.tap.AcceptSeparation(PortInputBase, Band, 5, 10000);
    ExpectLevel(5, n.tap.InputSeparation[0][Band]);
    ExpectLevel(16, n.a.SeparationOutlet[Band]);
    ExpectLevel(8, n.c.SeparationOutlet[Band]);
}

TEST_F(TapPasses, SeparationStopsAtTheLimit) {
    SeparationNet n;
    n.SearchFrom(n.a, 15);
    ExpectLevel(11, n.above.SeparationBest[Band]);
    EXPECT_EQ(n.b.SeparationOutlet[Band], LevelNone);
    EXPECT_EQ(n.c.SeparationOutlet[Band], LevelNone);
}

TEST_F(TapPasses, AllUserOutputsShareOneSeparationValue) {
    SeparationNet n;
    n.Clear();
    n.tap.AcceptSeparation(1, Band, 3, 10000);  // at user output 0
    ExpectLevel(24, n.b.SeparationOutlet[Band]);
    // A larger value at user output 1 is compared with that same value and goes nowhere.
    n.tap.AcceptSeparation(2, Band, 5, 10000);
    EXPECT_EQ(n.a.SeparationOutlet[Band], LevelNone);
    ExpectLevel(3, n.tap.SeparationOutlet[Band]);
    // A smaller one goes on from user output 1.
    n.tap.AcceptSeparation(2, Band, 2, 10000);
    ExpectLevel(23, n.a.SeparationOutlet[Band]);
    ExpectLevel(2, n.tap.SeparationOutlet[Band]);
}

TEST_F(TapPasses, AnActiveTapPassesTheSearchOnlyDownstream) {
    SeparationNet n;
    SetStage(*n.tap.LevelTableA, 1, 0, 10);
    n.SearchFrom(n.a, 10000);
    EXPECT_EQ(n.above.SeparationBest[Band], LevelNone);  // not up the line
    ExpectLevel(22, n.b.SeparationOutlet[Band]);         // decoupling still across
    ExpectLevel(27, n.c.SeparationOutlet[Band]);
    n.SearchFrom(n.c, 10000);
    EXPECT_EQ(n.above.SeparationBest[Band], LevelNone);
    EXPECT_EQ(n.a.SeparationOutlet[Band], LevelNone);
    // Down the line the stage counts: 5 + (10 - 10).
    n.Clear();
    n.tap.AcceptSeparation(PortInputBase, Band, 5, 10000);
    ExpectLevel(6, n.a.SeparationOutlet[Band]);
}

// A stage on the through output alone makes that way active as well: the
// search arriving back through it goes neither up the line nor across, and
// the search from a user output does not go back into it.
TEST_F(TapPasses, AnActiveThroughOutputStopsTheSearchComingBackThroughIt) {
    SeparationNet n;
    SetStage(*n.tap.LevelTableB, 1, 0, 10);
    n.SearchFrom(n.c, 10000);
    ExpectLevel(1, n.tap.ThroughSeparation[0][Band]);  // it arrives
    EXPECT_EQ(n.above.SeparationBest[Band], LevelNone);
    EXPECT_EQ(n.a.SeparationOutlet[Band], LevelNone);
    EXPECT_EQ(n.b.SeparationOutlet[Band], LevelNone);
    // From a user output the line above is still reached.
    n.SearchFrom(n.a, 10000);
    ExpectLevel(11, n.above.SeparationBest[Band]);
    ExpectLevel(22, n.b.SeparationOutlet[Band]);
    EXPECT_EQ(n.c.SeparationOutlet[Band], LevelNone);
}

TEST_F(TapPasses, ASplitterSeparatesItsOutputsByTheLossBetweenThem) {
    TPassanteProva above(nullptr, 0, 0);
    TDivisore splitter(nullptr, 0, 0, 0, 0, 1, 2);
    TPresaProva a(nullptr, 0, 0, 54), b(nullptr, 0, 0, 54);
    SetLoss(splitter, 0, TapLossColumn, 4);
    SetLoss(splitter, 0, TapDecouplingColumn, 22);
    SetLoss(splitter, 0, TapReverseColumn, 1);  // no through port: never used
    SetRow0(a, 0, 1.0f);
    SetRow0(b, 0, 1.0f);
    LinkCells(above, 0, splitter, 0);
    LinkCells(splitter, 0, a, 0);
    LinkCells(splitter, 1, b, 0);
    for (TCella* cell : std::initializer_list<TCella*>{&above, &splitter, &a, &b})
        cell->ClearBandAccumulators(Band);
    a.SeparationOutlet[Band] = 0;
    a.PushSeparation(1, Band, 10000);
    ExpectLevel(5, above.SeparationBest[Band]);
    ExpectLevel(24, b.SeparationOutlet[Band]);
}

// ---- Reach windows ----

TEST_F(TapPasses, ReachWindowsWidenOverTheOutputsAndAddTheLosses) {
    TDerivatore tap(nullptr, 0, 0, 0, 0, 1, 2);
    SetLoss(tap, 0, TapLossColumn, 10);
    SetLoss(tap, 0, TapThroughColumn, 3);
    TFineProva through({}, {18, 20}), user0({}, {10, 15}), user1({}, {8, 12});
    LinkCells(tap, 0, through, 0);
    LinkCells(tap, 1, user0, 0);
    LinkCells(tap, 2, user1, 0);
    tap.ComputeReachWindows();
    // Users (8, 15) + 10 = (18, 25); through (21, 23): (18, 25).
    ExpectWindow({18, 25}, tap.ReachLevels[0][Band]);
    ExpectWindow({18, 25}, tap.ReachLevels[0][BandSlots - 1]);
    // A loss without value carries its sentinel.
    tap.Attenuation->Set3(0, TapLossColumn, 2, LevelNone);
    tap.ComputeReachWindows();
    EXPECT_EQ(tap.ReachLevels[0][2].Min, LevelNone);
}

}  // namespace
