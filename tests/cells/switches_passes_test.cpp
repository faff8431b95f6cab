// The passes of switches on hand-linked cells: the tap-loss and through-loss
// queries with their stages, required and signal levels and channels of an
// active switch, own losses per user output, matrix inputs, the separation
// search and the reach windows.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cells/switches.h"
#include "core/channel_list.h"
#include "core/info.h"
#include "support/globals_fixture.h"
#include "support/line_ends.h"
#include "support/pass_cells.h"

namespace {

constexpr int Band = 5;

void ExpectLevel(float expected, float actual, const char* what = "") {
    if (!IsRealLevel(expected))
        EXPECT_EQ(expected, actual) << what;
    else
        EXPECT_NEAR(expected, actual, 1e-4) << what;
}

void ExpectWindow(const TFinestra& expected, const TFinestra& actual, const char* what = "") {
    ExpectLevel(expected.Min, actual.Min, what);
    ExpectLevel(expected.Max, actual.Max, what);
}

// Own tap losses per user output of line 0, in every band.
void SetOwnLosses(TCella& cell, std::initializer_list<float> losses) {
    cell.MatrixTableA->Alloc4(cell.TableRows, cell.MatrixColumns, 1, BandSlots);
    int32_t k = 0;
    for (float loss : losses) {
        for (int b = 0; b < BandSlots; ++b) cell.MatrixTableA->Set4(0, k, 0, b, loss);
        ++k;
    }
}

void AddChannel(TListaCanali& list, const char* name, float low, float high, float level) {
    AddBandChannel(list, name, low, high, Band, level);
}

class SwitchPasses : public GlobalsTest {};

// ---- Losses ----

TEST_F(SwitchPasses, TapAndThroughLossesAddTheStagesOnTheWay) {
    struct Case {
        const char* what;
        void (*setUp)(TSwitch&);
        float through, tap0, tap1;
    };
    // Tap loss 20, through loss 3; a stage's gain lowers the loss.
    // clang-format off
    const Case cases[] = {
        {"plain", [](TSwitch&) {}, 3, 20, 20},
        {"input stage", [](TSwitch& s) { SetStageRow(*s.LevelTableA, 1, 0, 10); }, -7, 10, 10},
        {"through stage", [](TSwitch& s) { SetStageRow(*s.LevelTableB, 1, 0, 5); }, -2, 20, 20},
        {"output stage", [](TSwitch& s) { SetStageRow(*s.LevelTableC, 1, 0, 4); }, 3, 16, 16},
        {"input and output stage", [](TSwitch& s) {
             SetStageRow(*s.LevelTableA, 1, 0, 10);
             SetStageRow(*s.LevelTableC, 1, 0, 5);
         }, -7, 5, 5},
        {"a stage that does not pass the band", [](TSwitch& s) { SetStageRow(*s.LevelTableC, 1, 0, LevelBlocked); },
         3, LevelBlocked, LevelBlocked},
        {"a stage without data", [](TSwitch& s) { SetStageRow(*s.LevelTableB, 1, 0, LevelNone); }, LevelNone, 20, 20},
        {"a blocked loss", [](TSwitch& s) { SetBands(s, 0, TapThroughColumn, LevelBlocked); }, LevelBlocked, 20, 20},
        {"own losses per output", [](TSwitch& s) { SetOwnLosses(s, {11, 12}); }, 3, 11, 12},
        {"own stages per output replace the output stage", [](TSwitch& s) {
             SetStageRow(*s.LevelTableA, 1, 0, 10);
             SetStageRow(*s.LevelTableC, 1, 0, 50);
             SetOwnLosses(s, {11, 12});
             s.MatrixTableB->SetSizes(1, 2, 7, BandSlots);
             for (int b = 0; b < BandSlots; ++b) s.MatrixTableB->Set4(0, 1, 4, b, 2);
         }, -7, 1, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        TSwitch s(nullptr, 0, 0, 0, 0, CodeSwitch, 1, 2);
        SetBands(s, 0, TapLossColumn, 20);
        SetBands(s, 0, TapThroughColumn, 3);
        c.setUp(s);
        ExpectLevel(c.through, s.GetRow1Attenuation(0, 0, Band), c.what);
        ExpectLevel(c.tap0, s.TapLoss(0, 0, Band), c.what);
        ExpectLevel(c.tap1, s.TapLoss(0, 1, Band), c.what);
    }
    // A TSwitchN has no through loss; a matrix input is no line.
    TSwitchN n(nullptr, 0, 0, 0, 0, CodeSwitchNMatrix, 1, 2);
    SetBands(n, 0, TapThroughColumn, 3);
    SetBands(n, 0, TapLossColumn, 20);
    EXPECT_EQ(n.GetRow1Attenuation(0, 0, Band), LevelNone);
    EXPECT_EQ(n.TapLoss(1, 0, Band), LevelNone);
}

// ---- An active switch ----

// One line, two user outputs and a through output: tap loss 20, through
// loss 3; an input stage of 10 dB and an output stage of 5 dB on row 0.
struct ActiveSwitch {
    TSwitch s{nullptr, 0, 0, 0, 0, CodeSwitch, 1, 2};
    TSorgenteFinestre source{{{80, 90}}};
    TFineLinea through{{70, 90}}, user0{{60, 80}}, user1{{62, 78}};
    ActiveSwitch() {
        SetBands(s, 0, TapLossColumn, 20);
        SetBands(s, 0, TapThroughColumn, 3);
        SetStageRow(*s.LevelTableA, 1, 0, 10);
        SetStageRow(*s.LevelTableC, 1, 0, 5);
        LinkCells(source, 0, s, 0);
        LinkCells(s, 0, through, 0);
        LinkCells(s, 1, user0, 0);
        LinkCells(s, 2, user1, 0);
    }
};

TEST_F(SwitchPasses, AnActiveSwitchWorkedByHand) {
    ActiveSwitch n;
    n.s.ComputeRequiredLevels({}, {}, NextPassNumber());
    // User outputs: through the output stage -5, then + 20: (75, 95) and (77, 93);
    // through: + 3: (73, 93); intersected (77, 93); through the input stage -10.
    ExpectWindow({67, 83}, n.s.InputLevels[0][Band], "required");
    n.s.ComputeSignalLevels(NextPassNumber());
    // (80, 90) less 3 - 10 at the through output, less 20 - 10 - 5 at the user outputs.
    ExpectWindow({87, 97}, n.s.OutputLevels[0][Band], "through");
    ExpectWindow({75, 85}, n.s.OutputLevels[1][Band], "user 0");
    ExpectWindow({75, 85}, n.s.OutputLevels[2][Band], "user 1");
    AddChannel(*n.source.SourceChannels, "E60", 782, 790, 85);
    n.s.ComputeChannels(0, 0, NextPassNumber());
    // 85 + 10 - 3 through, 85 + 10 - 20 + 5 at the user outputs.
    ExpectLevel(92, ChannelLevel(n.s.ChannelLists[0].get(), "E60"), "through channel");
    ExpectLevel(80, ChannelLevel(n.s.ChannelLists[1].get(), "E60"), "user 0 channel");
    ExpectLevel(80, ChannelLevel(n.s.ChannelLists[2].get(), "E60"), "user 1 channel");
}

// ---- Own losses per user output ----

// One line, three user outputs: 10 dB, or with own losses 10, 12 and 14 dB.
TEST_F(SwitchPasses, WithoutOwnLossesEveryUserOutputShowsTheFirstOne) {
    for (bool own : {false, true}) {
        TSwitch s(nullptr, 0, 0, 0, 0, CodeSwitch, 1, 3);
        TSorgenteFinestre source{{{80, 90}}};
        TFineLinea through, users[3];
        SetBands(s, 0, TapLossColumn, 10);
        SetBands(s, 0, TapThroughColumn, 2);
        if (own) SetOwnLosses(s, {10, 12, 14});
        LinkCells(source, 0, s, 0);
        LinkCells(s, 0, through, 0);
        for (int32_t k = 0; k < 3; ++k) LinkCells(s, 1 + k, users[k], 0);
        AddChannel(*source.SourceChannels, "E60", 782, 790, 85);
        s.ComputeSignalLevels(NextPassNumber());
        s.ComputeChannels(0, 0, NextPassNumber());
        for (int32_t k = 0; k < 3; ++k) {
            const float loss = own ? 10.0f + 2 * k : 10.0f;
            ExpectWindow({80 - loss, 90 - loss}, s.OutputLevels[1 + k][Band], own ? "own" : "shared");
            ExpectLevel(85 - loss, ChannelLevel(s.ChannelLists[static_cast<size_t>(1 + k)].get(), "E60"),
                        own ? "own" : "shared");
        }
    }
}

TEST_F(SwitchPasses, EveryUserOutputShowsTheUnionOfTheLines) {
    // Line 0 (80, 90) - 10, line 1 (60, 95) - 12: (48, 83) at both user outputs.
    TSwitch s(nullptr, 0, 0, 0, 0, CodeSwitch, 2, 2);
    TSorgenteFinestre source{{{80, 90}, {60, 95}}};
    TFineLinea through0, through1, user0, user1;
    SetBands(s, 0, TapLossColumn, 10);
    SetBands(s, 1, TapLossColumn, 12);
    LinkCells(source, 0, s, 0);
    LinkCells(source, 1, s, 1);
    LinkCells(s, 0, through0, 0);
    LinkCells(s, 1, through1, 0);
    LinkCells(s, 2, user0, 0);
    LinkCells(s, 3, user1, 0);
    s.ComputeSignalLevels(NextPassNumber());
    ExpectWindow({48, 83}, s.OutputLevels[2][Band]);
    ExpectWindow({48, 83}, s.OutputLevels[3][Band]);
}

// ---- Matrix inputs ----

// A matrix switch (code 56, variant 4): one line with tap loss 10, two user
// outputs, a matrix input per user output with the horizontal loss 3.
struct MatrixSwitch {
    TSwitch s{nullptr, 0, 0, 0, 0, CodeSwitchMatrix, 1, 2};
    TSorgenteFinestre line{{{80, 90}}}, side0{{{50, 60}}}, side1{{{40, 45}}};
    TFineLinea through, user0{{60, 80}}, user1{{62, 78}};
    explicit MatrixSwitch(bool linked) {
        s.Variant = 4;
        SetBands(s, 0, TapLossColumn, 10);
        SetBands(s, 0, TapThroughColumn, 2);
        SetBands(s, 0, SwitchHorizontalColumn, 3);
        LinkCells(line, 0, s, 0);
        if (linked) {
            LinkCells(side0, 0, s, 1);
            LinkCells(side1, 0, s, 2);
        }
        LinkCells(s, 0, through, 0);
        LinkCells(s, 1, user0, 0);
        LinkCells(s, 2, user1, 0);
        AddChannel(*line.SourceChannels, "E60", 782, 790, 85);
        AddChannel(*side0.SourceChannels, "M0", 700, 708, 60);
        AddChannel(*side1.SourceChannels, "M1", 710, 718, 50);
    }
    void Run() {
        s.ComputeRequiredLevels({}, {}, NextPassNumber());
        s.ComputeSignalLevels(NextPassNumber());
        s.ComputeChannels(0, 0, NextPassNumber());
    }
    float Level(int32_t out, const char* channel) {
        return ChannelLevel(s.ChannelLists[static_cast<size_t>(out)].get(), channel);
    }
};

TEST_F(SwitchPasses, AnOpenMatrixInputBringsNothing) {
    MatrixSwitch n(false);
    n.Run();
    // The line reaches both user outputs; the open matrix inputs merge away.
    ExpectWindow({70, 80}, n.s.OutputLevels[1][Band]);
    ExpectWindow({70, 80}, n.s.OutputLevels[2][Band]);
    // Without the line as well, the band is off on those paths and the lists are empty.
    MatrixSwitch alone(false);
    alone.s.InputCell[0] = nullptr;
    alone.Run();
    for (int32_t out : {1, 2}) {
        ExpectWindow({LevelOff, LevelOff}, alone.s.OutputLevels[out][Band]);
        EXPECT_EQ(alone.s.ChannelLists[static_cast<size_t>(out)]->head, nullptr) << out;
    }
}

TEST_F(SwitchPasses, AMatrixInputReachesOnlyTheUserOutputOfItsRow) {
    for (bool own : {false, true}) {
        MatrixSwitch n(true);
        if (own) SetOwnLosses(n.s, {10, 12});
        n.Run();
        const char* what = own ? "own losses" : "shared loss";
        // Required: what each user output asks, + 3.
        ExpectWindow({63, 83}, n.s.InputLevels[1][Band], what);
        ExpectWindow({65, 81}, n.s.InputLevels[2][Band], what);
        // Row 0: the line (70, 80) and (50, 60) - 3; row 1: the line (70, 80)
        // or (68, 78) and (40, 45) - 3.
        ExpectWindow({47, 80}, n.s.OutputLevels[1][Band], what);
        ExpectWindow({37, own ? 78.0f : 80.0f}, n.s.OutputLevels[2][Band], what);
        ExpectLevel(75, n.Level(1, "E60"), what);
        ExpectLevel(own ? 73.0f : 75.0f, n.Level(2, "E60"), what);
        ExpectLevel(57, n.Level(1, "M0"), what);
        ExpectLevel(LevelNone, n.Level(2, "M0"), what);
        ExpectLevel(47, n.Level(2, "M1"), what);
        ExpectLevel(LevelNone, n.Level(1, "M1"), what);
        ExpectLevel(LevelNone, n.Level(0, "M0"), what);  // nor the through output
    }
}

// ---- Separation ----

// Two lines under pass-through cells, an outlet on each through output and on
// each user output: tap losses 10 and 12, reverse loss 25, decoupling 20
// (row 0), sockets 1 dB.
struct SeparationNet {
    TPassanteProva above0{nullptr, 0, 0}, above1{nullptr, 0, 0};
    TSwitch s{nullptr, 0, 0, 0, 0, CodeSwitch, 2, 2};
    TPresaProva c0{nullptr, 0, 0}, c1{nullptr, 0, 0}, a{nullptr, 0, 0}, b{nullptr, 0, 0};
    SeparationNet() {
        for (int32_t i : {0, 1}) {
            SetBands(s, i, TapLossColumn, 10.0f + 2 * i);
            SetBands(s, i, TapThroughColumn, 2);
            SetBands(s, i, TapReverseColumn, 25);
        }
        SetBands(s, 0, TapDecouplingColumn, 20);
        SetBands(s, 1, TapDecouplingColumn, 40);  // not used: row 0 decouples
        for (TCella* o : {&c0, &c1, &a, &b}) SetRow0(*o, 0, 1.0f);
        LinkCells(above0, 0, s, 0);
        LinkCells(above1, 0, s, 1);
        LinkCells(s, 0, c0, 0);
        LinkCells(s, 1, c1, 0);
        LinkCells(s, 2, a, 0);
        LinkCells(s, 3, b, 0);
    }
    void SearchFrom(TCella& outlet) {
        for (TCella* cell : std::initializer_list<TCella*>{&above0, &above1, &s, &c0, &c1, &a, &b})
            cell->ClearBandAccumulators(Band);
        outlet.SeparationOutlet[Band] = 0;
        outlet.PushSeparation(1, Band, 10000);
    }
};

TEST_F(SwitchPasses, SeparationFromAUserOutputGoesUpEveryLineAndDownEveryThroughOutput) {
    SeparationNet n;
    n.SearchFrom(n.a);
    ExpectLevel(11, n.above0.SeparationBest[Band], "up line 1");
    ExpectLevel(13, n.above1.SeparationBest[Band], "up line 2");
    ExpectLevel(27, n.c0.SeparationOutlet[Band], "through output 1");
    ExpectLevel(27, n.c1.SeparationOutlet[Band], "through output 2");
    ExpectLevel(22, n.b.SeparationOutlet[Band], "the other user output");
}

TEST_F(SwitchPasses, TheSeparationSearchDoesNotCrossAPathWithAStage) {
    {
        // An input stage: not up the lines; across and back down still.
        SeparationNet n;
        SetStageRow(*n.s.LevelTableA, 2, 0, 10);
        n.SearchFrom(n.a);
        EXPECT_EQ(n.above0.SeparationBest[Band], LevelNone);
        EXPECT_EQ(n.above1.SeparationBest[Band], LevelNone);
        ExpectLevel(22, n.b.SeparationOutlet[Band]);
        ExpectLevel(27, n.c0.SeparationOutlet[Band]);
        // Back through a through output the stage of its own line counts:
        // line 1 has one, so nothing goes on; line 2 has none.
        n.SearchFrom(n.c0);
        EXPECT_EQ(n.above0.SeparationBest[Band], LevelNone);
        EXPECT_EQ(n.a.SeparationOutlet[Band], LevelNone);
        n.SearchFrom(n.c1);
        ExpectLevel(3, n.above1.SeparationBest[Band]);
        ExpectLevel(27, n.a.SeparationOutlet[Band]);
    }
    {
        // An output stage: nothing leaves a user output.
        SeparationNet n;
        SetStageRow(*n.s.LevelTableC, 2, 0, 5);
        n.SearchFrom(n.a);
        EXPECT_EQ(n.above0.SeparationBest[Band], LevelNone);
        EXPECT_EQ(n.b.SeparationOutlet[Band], LevelNone);
        EXPECT_EQ(n.c0.SeparationOutlet[Band], LevelNone);
    }
    {
        // A through stage keeps the way back down its through output closed.
        SeparationNet n;
        SetStageRow(*n.s.LevelTableB, 2, 1, 5);
        n.SearchFrom(n.a);
        ExpectLevel(11, n.above0.SeparationBest[Band]);
        EXPECT_EQ(n.c1.SeparationOutlet[Band], LevelNone);
        EXPECT_EQ(n.c0.SeparationOutlet[Band], LevelNone);
    }
}

// ---- Reach windows ----

TEST_F(SwitchPasses, ReachWindowsWidenOverTheUserOutputsAndTheThroughOutput) {
    TSwitch s(nullptr, 0, 0, 0, 0, CodeSwitch, 2, 2);
    TFineLinea through0({}, {18, 20}), through1({}, {30, 31}), user0({}, {10, 15}), user1({}, {8, 12});
    SetBands(s, 0, TapLossColumn, 10);
    SetBands(s, 1, TapLossColumn, 12);
    SetBands(s, 0, TapThroughColumn, 2);
    SetBands(s, 1, TapThroughColumn, 3);
    LinkCells(s, 0, through0, 0);
    LinkCells(s, 1, through1, 0);
    LinkCells(s, 2, user0, 0);
    LinkCells(s, 3, user1, 0);
    s.ComputeReachWindows();
    // Line 1: users (8, 15) + 10, through (18, 20) + 2; line 2: (8, 15) + 12, (30, 31) + 3.
    ExpectWindow({18, 25}, s.ReachLevels[0][Band]);
    ExpectWindow({20, 34}, s.ReachLevels[1][Band]);
    // A tap loss that does not pass the band gives the users' side that
    // sentinel, never a number; the through output still widens it.
    s.Attenuation->Set3(1, TapLossColumn, Band, LevelBlocked);
    s.ComputeReachWindows();
    ExpectWindow({LevelBlocked, 34}, s.ReachLevels[1][Band]);
}

// ---- Designer's tables ----

TEST_F(SwitchPasses, AdjustingTheLossTablesZeroesPositiveGainRegulationsOfRowZero) {
    TSwitch s(nullptr, 0, 0, 0, 0, CodeSwitch, 2, 2);
    for (TInfo* t : {s.LevelTableA.get(), s.LevelTableC.get()}) {
        t->SetSizes(0, 2, 7, BandSlots);
        t->Set3(0, 2, 1, 4.0f);
        t->Set3(0, 2, 2, -3.0f);
        t->Set3(0, 2, 3, LevelBlocked);
        t->Set3(1, 2, 1, 6.0f);  // row 1 stays
    }
    s.AdjustLossTables();
    for (TInfo* t : {s.LevelTableA.get(), s.LevelTableC.get()}) {
        EXPECT_EQ(t->Get3(0, 2, 1), 0.0f);
        EXPECT_EQ(t->Get3(0, 2, 2), -3.0f);
        EXPECT_EQ(t->Get3(0, 2, 3), LevelBlocked);
        EXPECT_EQ(t->Get3(1, 2, 1), 6.0f);
    }
    EXPECT_EQ(s.MinDownstreamValue(12.0f, Band, true, nullptr, 0, 0), 0.0f);
}

}  // namespace
