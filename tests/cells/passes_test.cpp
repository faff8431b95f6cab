// The base passes of a cell and the head-end terminal's, on hand-linked cells.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cells/head_end.h"
#include "core/channel_list.h"
#include "core/options.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/comctrls.h"
#include "support/globals_fixture.h"
#include "support/pass_cells.h"
#include "support/stand_in.h"

namespace {
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

TFinestra W(float v) { return TFinestra{v, v}; }

// A downstream end that asks a fixed window of its input in every band.
class TRichiestaProva : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    explicit TRichiestaProva(TFinestra window) : TCella(nullptr, 0, 0, 0, 0, 1, 0, 0), window(window) {
        SetPortCounts();
    }
    void ComputeRequiredLevels(TBandLimits, TBandLimits, uint32_t stamp) override {
        if (stamp <= PassStamp) return;
        PassStamp = stamp;
        ResetInputLevels();
        for (auto& w : InputLevels[0]) w = window;
    }
    TFinestra window;
};

// A cell that counts the pushes of the separation search it receives.
class TContaSpinte : public TPassanteProva {
public:
    TContaSpinte() : TPassanteProva(nullptr, 0, 0) {}
    void PushSeparation(int32_t port, int32_t band, float limit) override {
        ++pushes;
        TPassanteProva::PushSeparation(port, band, limit);
    }
    int pushes = 0;
};

// Inserts a channel into a list.
void AddChannel(TListaCanali& list, const char* name, float low, float high, int32_t band, float level) {
    TCanale c;
    c.name = name;
    c.freqLow = low;
    c.freqHigh = high;
    c.band = band;
    c.levelMin = c.levelMax = level;
    list.Insert(c);
}

std::vector<std::pair<AnsiString, float>> Contents(const TListaCanali& list) {
    std::vector<std::pair<AnsiString, float>> out;
    for (const TCanale* c = list.head; c; c = c->next) out.emplace_back(c->name, c->levelMin);
    return out;
}
}  // namespace

class BasePasses : public GlobalsTest {
protected:
    int32_t bands() const { return TCella::CalculationBandCount(); }
};

TEST_F(BasePasses, RequiredInputIntersectsEveryThroughOutputRaisedByTheLoss) {
    struct Case {
        const char* what;
        TFinestra first, second;
        float attenuation;
        TFinestra expected;
    } cases[] = {
        {"overlapping windows", {60, 80}, {70, 90}, 3, {73, 83}},
        {"disjoint windows", {60, 62}, {70, 75}, 0, W(LevelReqEmpty)},
        {"a window reaching below 0", {-2, 5}, {-2, 5}, 1, {0, 6}},
        {"an unlimited output", W(LevelReqUnlimited), {70, 90}, 3, {73, 93}},
        {"an output that cannot be computed", W(LevelReqUndefined), {70, 90}, 3, W(LevelReqUndefined)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TPassanteProva splitter(nullptr, 0, 0, 2, 1);
        TRichiestaProva a(c.first), b(c.second), tap({1, 2});
        SetRow0(splitter, 1, c.attenuation);
        LinkCells(splitter, 0, a, 0);
        LinkCells(splitter, 1, b, 0);
        LinkCells(splitter, 2, tap, 0);  // tap outputs do not constrain the base cell
        splitter.ComputeRequiredLevels({}, {}, NextPassNumber());
        for (int32_t band = 0; band < bands(); ++band)
            ExpectWindow(c.expected, splitter.InputLevels[0][band]);
        // Slots past the band system stay as reset.
        ExpectWindow(W(LevelNone), splitter.InputLevels[0][bands()]);
        EXPECT_EQ(splitter.PassStamp, a.PassStamp) << "downstream ran in the same pass";
    }
}

TEST_F(BasePasses, AttenuationWithoutValueMarksTheRequiredWindow) {
    TPassanteProva cell(nullptr, 0, 0);
    TRichiestaProva end({60, 80});
    LinkCells(cell, 0, end, 0);
    SetRow0(cell, 1, 2, LevelBlocked);
    SetRow0(cell, 1, 3, LevelNone);
    cell.ComputeRequiredLevels({}, {}, NextPassNumber());
    ExpectWindow({60, 80}, cell.InputLevels[0][1]);
    ExpectWindow(W(LevelReqUnlimited), cell.InputLevels[0][2]);
    ExpectWindow(W(LevelReqUndefined), cell.InputLevels[0][3]);
}

TEST_F(BasePasses, SignalOutputsAreTheInputLoweredByTheLoss) {
    TTesta head(nullptr, 0, 0, 0, 0, 1);
    TPassanteProva splitter(nullptr, 0, 1, 2, 1);
    SetRow0(splitter, 1, 4.5f);
    SetRow0(splitter, 1, 2, LevelBlocked);
    SetRow0(splitter, 1, 3, LevelNone);
    LinkCells(head, 0, splitter, 0);
    head.SelectOutputLevel(0);
    splitter.ComputeSignalLevels(NextPassNumber());
    for (int32_t out = 0; out < 2; ++out) {
        ExpectWindow({49995.5f, 49995.5f}, splitter.OutputLevels[out][0]);
        ExpectWindow(W(LevelOff), splitter.OutputLevels[out][2]);    // the band is not passed
        ExpectWindow(W(LevelError), splitter.OutputLevels[out][3]);  // no value to compute with
    }
    // The tap output carries nothing in the base cell.
    ExpectWindow(W(LevelNone), splitter.OutputLevels[2][0]);
}

TEST_F(BasePasses, ARepeatedStampChangesNothing) {
    TTesta head(nullptr, 0, 0, 0, 0, 1);
    TPassanteProva cell(nullptr, 0, 1);
    TRichiestaProva end({60, 80});
    SetRow0(cell, 1, 3.0f);
    LinkCells(head, 0, cell, 0);
    LinkCells(cell, 0, end, 0);
    const uint32_t stamp = NextPassNumber();
    cell.ComputeRequiredLevels({}, {}, stamp);
    head.SelectOutputLevel(0);
    cell.ComputeSignalLevels(NextPassNumber());
    const TFinestra required = cell.InputLevels[0][1];
    const TFinestra signal = cell.OutputLevels[0][1];

    end.window = {10, 20};
    SetRow0(cell, 1, 9.0f);
    cell.ComputeRequiredLevels({}, {}, stamp);
    cell.ComputeSignalLevels(cell.PassStamp);
    ExpectWindow(required, cell.InputLevels[0][1]);
    ExpectWindow(signal, cell.OutputLevels[0][1]);
}

TEST_F(BasePasses, UnlinkedPortsAreSkipped) {
    TPassanteProva splitter(nullptr, 0, 0, 2, 0);
    TRichiestaProva a({60, 80});
    SetRow0(splitter, 1, 1.0f);
    LinkCells(splitter, 0, a, 0);  // output 1 open
    splitter.ComputeRequiredLevels({}, {}, NextPassNumber());
    ExpectWindow({61, 81}, splitter.InputLevels[0][0]);
    TPassanteProva alone(nullptr, 0, 0);
    alone.ComputeSignalLevels(NextPassNumber());
    ExpectWindow(W(LevelNone), alone.OutputLevels[0][0]);
}

TEST_F(BasePasses, HeadEndSeedingSwitchesOffBandsWithoutAdmissibleWindow) {
    TTesta head(nullptr, 0, 0, 0, 0, 2);
    TPassanteProva line(nullptr, 0, 1);
    TPassanteProva next(nullptr, 0, 2);
    SetRow0(line, 1, 2.0f);
    LinkCells(head, 1, line, 0);
    LinkCells(line, 0, next, 0);
    head.ResetInputLevels();
    for (int32_t i = 0; i < 2; ++i)
        for (int32_t b = 0; b < bands(); ++b) head.InputLevels[i][b] = {70, 90};
    head.InputLevels[1][3] = {-3, 90};
    head.InputLevels[1][4] = W(LevelReqUnlimited);
    head.InitOutputMaxLevels();
    ExpectWindow({50000, 50000}, head.OutputLevels[1][0]);
    ExpectWindow({70, 90}, head.OutputLevels[1][1]);
    ExpectWindow(W(LevelOff), head.OutputLevels[1][3]);
    ExpectWindow(W(LevelOff), head.OutputLevels[1][4]);
    ExpectWindow({70, 90}, head.OutputLevels[0][3]);
    next.ComputeSignalLevels(NextPassNumber());
    ExpectWindow({68, 88}, next.OutputLevels[0][1]);
    ExpectWindow(W(LevelOff), next.OutputLevels[0][3]);  // stays off all the way down

    head.InitOutputMinLevels();
    ExpectWindow(W(LevelOff), head.OutputLevels[1][3]);

    // One line fed alone.
    head.SelectOutputLevel(1);
    for (int32_t b = 0; b < bands(); ++b) {
        ExpectWindow(W(LevelOff), head.OutputLevels[0][b]);
        ExpectWindow({50000, 50000}, head.OutputLevels[1][b]);
    }
    ExpectWindow(W(LevelNone), head.OutputLevels[1][bands()]);
}

TEST_F(BasePasses, SpreadStampReachesEveryLinkedCellOnce) {
    TPassanteProva a(nullptr, 0, 0, 2), b(nullptr, 0, 1), c(nullptr, 1, 1);
    LinkCells(a, 0, b, 0);
    LinkCells(a, 1, c, 0);
    const uint32_t stamp = NextPassNumber();
    c.SpreadStamp(stamp);
    EXPECT_EQ(stamp, a.SpreadPassStamp);
    EXPECT_EQ(stamp, b.SpreadPassStamp);
    EXPECT_EQ(0u, a.PassStamp);  // the pass stamp is another one
}

TEST_F(BasePasses, ChannelListsOfThroughOutputsAreEqualAndTapsEmpty) {
    TSorgenteProva source(nullptr, 0, 0);
    AddChannel(*source.SourceChannels, "E5", 174, 181, 3, 80);
    AddChannel(*source.SourceChannels, "E21", 470, 478, 5, 75);
    TPassanteProva splitter(nullptr, 0, 1, 2, 1);
    SetRow0(splitter, 1, 4.0f);
    LinkCells(source, 0, splitter, 0);
    const uint32_t stamp = NextPassNumber();
    splitter.ComputeChannels(0, 0, stamp);
    ASSERT_EQ(3u, splitter.ChannelLists.size());
    const auto first = Contents(*splitter.ChannelLists[0]);
    ASSERT_EQ(2u, first.size());
    EXPECT_EQ("E5", first[0].first);
    EXPECT_NEAR(76.0f, first[0].second, 1e-4);
    EXPECT_NEAR(71.0f, first[1].second, 1e-4);
    EXPECT_EQ(first, Contents(*splitter.ChannelLists[1]));
    EXPECT_EQ(0, splitter.ChannelLists[2]->Count());

    // A second call with the same stamp leaves the lists as they are.
    source.SourceChannels->Clear();
    SetRow0(splitter, 1, 10.0f);
    splitter.ComputeChannels(0, 0, stamp);
    EXPECT_EQ(first, Contents(*splitter.ChannelLists[0]));
    // A new pass rebuilds them.
    splitter.ComputeChannels(0, 0, NextPassNumber());
    EXPECT_EQ(0, splitter.ChannelLists[0]->Count());
}

TEST_F(BasePasses, ChannelsOfABlockedBandAreDroppedQuietly) {
    TSorgenteProva source(nullptr, 0, 0);
    AddChannel(*source.SourceChannels, "E5", 174, 181, 3, 80);
    AddChannel(*source.SourceChannels, "E21", 470, 478, 5, 75);
    TPassanteProva cell(nullptr, 0, 1);
    SetRow0(cell, 1, 3, LevelBlocked);
    LinkCells(source, 0, cell, 0);
    cell.ComputeChannels(0, 0, NextPassNumber());
    const auto got = Contents(*cell.ChannelLists[0]);
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ("E21", got[0].first);
}

TEST_F(BasePasses, WalkDownstreamFollowsTheEntryThroughOutputAndEveryTap) {
    TPassanteProva cell(nullptr, 0, 0, 2, 1);
    TPassanteProva through0(nullptr, 0, 1), through1(nullptr, 1, 1), tap(nullptr, 2, 1);
    LinkCells(cell, 0, through0, 0);
    LinkCells(cell, 1, through1, 0);
    LinkCells(cell, 2, tap, 0);
    TListaCanali list;
    const uint32_t stamp = NextPassNumber();
    cell.WalkDownstream(&list, 1, stamp);
    EXPECT_EQ(stamp, through1.PassStamp);
    EXPECT_EQ(stamp, tap.PassStamp);
    EXPECT_NE(stamp, through0.PassStamp);
}

TEST_F(BasePasses, MinDownstreamValueTakesTheLeastAndHandsItDown) {
    TRichiestaProva alone({0, 0});  // no outputs
    EXPECT_EQ(1000.0f, alone.MinDownstreamValue(5.0f, 0, true, nullptr, 0, 0));

    TPassanteProva top(nullptr, 0, 0, 2);
    TPassanteProva left(nullptr, 0, 1), right(nullptr, 1, 1);
    TPresaProva outlet(nullptr, 1, 2);
    LinkCells(top, 0, left, 0);
    LinkCells(top, 1, right, 0);
    LinkCells(right, 0, outlet, 0);
    EXPECT_EQ(0.0f, top.MinDownstreamValue(5.0f, 0, true, nullptr, 0, 0));
    EXPECT_EQ(1000.0f, left.MinDownstreamValue(5.0f, 0, true, nullptr, 0, 0));
}

class SeparationSearch : public BasePasses {
protected:
    // outlet a - line cell (1 dB through, 20 dB between outputs) - outlet b
    SeparationSearch() : tap(nullptr, 0, 1, 2), a(nullptr, 0, 2), b(nullptr, 1, 2) {
        SetRow0(tap, 1, 1.0f);
        SetRow0(tap, 3, 20.0f);
        SetRow0(a, 0, 10.0f);
        SetRow0(b, 0, 12.0f);
        LinkCells(feed, 0, tap, 0);
        LinkCells(tap, 0, a, 0);
        LinkCells(tap, 1, b, 0);
    }
    void Search(float limit) {
        for (TCella* c : std::initializer_list<TCella*>{&feed, &tap, &a, &b}) c->ClearBandAccumulators(4);
        a.SeparationOutlet[4] = 0.0f;
        a.PushSeparation(1, 4, limit);
    }
    TContaSpinte feed;
    TPassanteProva tap;
    TPresaProva a, b;
};

TEST_F(SeparationSearch, CarriesTheLeastAttenuationToTheOtherOutlet) {
    Search(10000.0f);
    // a's socket 10 + 20 between the outputs + b's socket 12.
    EXPECT_NEAR(42.0f, b.SeparationOutlet[4], 1e-4);
    EXPECT_NEAR(10.0f, tap.SeparationBest[4], 1e-4);
    EXPECT_NEAR(11.0f, feed.SeparationBest[4], 1e-4);  // on upstream through the input
    EXPECT_EQ(LevelNone, b.SeparationOutlet[3]);       // other bands untouched
}

TEST_F(SeparationSearch, StopsAtTheLimit) {
    Search(30.0f);
    EXPECT_EQ(LevelNone, b.SeparationOutlet[4]);
    EXPECT_NEAR(10.0f, tap.SeparationBest[4], 1e-4);
    // A limit equal to the value stops it too.
    Search(10.0f);
    EXPECT_EQ(LevelNone, tap.SeparationBest[4]);
}

TEST_F(SeparationSearch, ABandWithoutThroughLossStopsTheSearch) {
    SetRow0(tap, 1, 4, LevelNone);
    Search(10000.0f);
    EXPECT_NEAR(10.0f, tap.SeparationBest[4], 1e-4);
    EXPECT_EQ(LevelNone, b.SeparationOutlet[4]);
    EXPECT_EQ(LevelNone, feed.SeparationBest[4]);
}

TEST_F(SeparationSearch, AnEqualValueIsNotPushedAgain) {
    feed.ClearBandAccumulators(4);
    feed.AcceptSeparation(0, 4, 25.0f, 100.0f);
    EXPECT_EQ(1, feed.pushes);
    feed.AcceptSeparation(0, 4, 25.0f, 100.0f);
    feed.AcceptSeparation(0, 4, 26.0f, 100.0f);
    EXPECT_EQ(1, feed.pushes);
    feed.AcceptSeparation(0, 4, 24.0f, 100.0f);
    EXPECT_EQ(2, feed.pushes);
    EXPECT_EQ(24.0f, feed.SeparationBest[4]);
    // A value without level opens no path.
    feed.AcceptSeparation(0, 3, LevelNone, 100.0f);
    EXPECT_EQ(2, feed.pushes);
    EXPECT_EQ(LevelNone, feed.SeparationBest[3]);
}

TEST_F(BasePasses, ReachWindowsSumWithSentinelsPropagate) {
    TPassanteProva cell(nullptr, 0, 0, 2);
    TPassanteProva left(nullptr, 0, 1), right(nullptr, 1, 1);
    SetRow0(cell, 1, 2.0f);
    SetRow0(cell, 1, 5, LevelBlocked);
    LinkCells(cell, 0, left, 0);
    LinkCells(cell, 1, right, 0);
    left.ResetAuxLevels();
    right.ResetAuxLevels();
    for (int32_t b = 0; b < BandSlots; ++b) {
        left.ReachLevels[0][b] = {10, 20};
        right.ReachLevels[0][b] = {15, 30};
    }
    right.ReachLevels[0][1] = W(LevelNone);
    cell.ComputeReachWindows();
    ExpectWindow({12, 32}, cell.ReachLevels[0][0]);
    // A neighbour without window: its sum stays the sentinel, never -499999.
    EXPECT_EQ(LevelNone, cell.ReachLevels[0][1].Min);
    ExpectLevel(22, cell.ReachLevels[0][1].Max);
    ExpectWindow(W(LevelBlocked), cell.ReachLevels[0][5]);
}

TEST_F(BasePasses, ModelPassesVisitTheLineOnceAndComputeReachWindows) {
    TPassanteProva first(nullptr, 0, 0), second(nullptr, 0, 1);
    SetRow0(first, 1, 3.0f);
    SetRow0(second, 1, 4.0f);
    LinkCells(first, 0, second, 0);
    second.ResetAuxLevels();
    second.ReachLevels[0][0] = {10, 20};  // kept: nothing is linked below second
    const uint32_t stamp = NextPassNumber();
    // Bit 64: the line is visited, no reach windows are computed.
    EXPECT_TRUE(first.ChooseModel(nullptr, 0x40, stamp, nullptr, 0, 0));
    EXPECT_EQ(stamp, second.PassStamp);
    EXPECT_EQ(LevelNone, first.ReachLevels[0][0].Min);
    EXPECT_TRUE(first.ChooseModel(nullptr, 0, stamp, nullptr, 0, 0));  // already stamped
    EXPECT_EQ(LevelNone, first.ReachLevels[0][0].Min);
    EXPECT_TRUE(first.ChooseModel(nullptr, 0, NextPassNumber(), nullptr, 0, 0));
    ExpectWindow({13, 23}, first.ReachLevels[0][0]);
    // The designer's bar moves on by one for every cell that made its choice,
    // and not at all when no reach windows are computed.
    TProgressBar bar;
    bar.Max = 10;
    EXPECT_TRUE(first.ChooseModel(nullptr, 0x40, NextPassNumber(), &bar, 0, 0));
    EXPECT_EQ(0, bar.Position);
    EXPECT_TRUE(first.ChooseModel(nullptr, 0, NextPassNumber(), &bar, 0, 0));
    EXPECT_EQ(2, bar.Position);

    // EvaluateModel hands the value less the through loss down the line.
    class TValore : public TPassanteProva {
    public:
        TValore() : TPassanteProva(nullptr, 0, 2) {}
        void EvaluateModel(TCella*, int32_t, float value, uint32_t stamp, int32_t) override {
            PassStamp = stamp;
            seen = value;
        }
        float seen = 0.0f;
    } last;
    LinkCells(second, 0, last, 0);
    first.EvaluateModel(nullptr, 0, 30.0f, NextPassNumber(), 2);
    EXPECT_NEAR(23.0f, last.seen, 1e-4);
    SetRow0(second, 1, 2, LevelNone);
    first.EvaluateModel(nullptr, 0, 30.0f, NextPassNumber(), 2);
    EXPECT_EQ(LevelNone, last.seen);
}

// The recursion of a pass is as deep as the line is long.
TEST_F(BasePasses, ALongLinePasses) {
    constexpr int Length = 3000;
    TTesta head(nullptr, 0, 0, 0, 0, 1);
    std::vector<std::unique_ptr<TPassanteProva>> line;
    for (int i = 0; i < Length; ++i) {
        line.push_back(std::make_unique<TPassanteProva>(nullptr, 0, i + 1));
        SetRow0(*line.back(), 1, 0.5f);
        if (i == 0)
            LinkCells(head, 0, *line[0], 0);
        else
            LinkCells(*line[i - 1], 0, *line[i], 0);
    }
    TRichiestaProva end({60, 80});
    LinkCells(*line.back(), 0, end, 0);
    line.front()->ComputeRequiredLevels({}, {}, NextPassNumber());
    ExpectWindow({1560, 1580}, line.front()->InputLevels[0][1]);
    head.SelectOutputLevel(0);
    line.back()->ComputeSignalLevels(NextPassNumber());
    ExpectWindow({48500, 48500}, line.back()->OutputLevels[0][1]);

    // The channel pass from a source at the top of the same line.
    TSorgenteProva source(nullptr, 0, 0);
    AddChannel(*source.SourceChannels, "E5", 174, 181, 3, 1600);
    LinkCells(source, 0, *line.front(), 0);
    line.back()->ComputeChannels(0, 0, NextPassNumber());
    ASSERT_EQ(1, line.back()->ChannelLists[0]->Count());
    EXPECT_NEAR(100.0f, line.back()->ChannelLists[0]->head->levelMin, 1e-3);
}

// ---- The head-end terminal ----

class HeadEndPasses : public GlobalsTest {
protected:
    HeadEndPasses() : project(nullptr) {
        project.Reset(true);
        net = dynamic_cast<TTesta*>(project.NetworkGrid->Anchor);
        head = dynamic_cast<TTesta*>(project.HeadEndGrid->Anchor);
        net->SetLineCount(2);
        net->AllocLinks();
        head->AllocLinks();
    }
    TProgetto project;
    TTesta* net = nullptr;
    TTesta* head = nullptr;
};

TEST_F(HeadEndPasses, RequiredWindowsOfEachLineAndUnlimitedOpenLines) {
    ASSERT_TRUE(net && head);
    TRichiestaProva end({60, 80});
    LinkCells(*net, 0, end, 0);
    net->ComputeRequiredLevels({}, {}, NextPassNumber());
    const int32_t bands = TCella::CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b) {
        ExpectWindow({60, 80}, net->InputLevels[0][b]);
        ExpectWindow(W(LevelReqUnlimited), net->InputLevels[1][b]);
    }
    ExpectWindow(W(LevelNone), net->InputLevels[0][bands]);
    net->OutputCell[0] = nullptr;
}

TEST_F(HeadEndPasses, ChannelsCrossFromTheHeadEndToTheNetwork) {
    ASSERT_TRUE(net && head);
    TSorgenteProva antenna(project.HeadEndGrid, 30, 70);
    AddChannel(*antenna.SourceChannels, "E5", 174, 181, 3, 80);
    TPassanteProva amp(project.HeadEndGrid, 30, 71);
    SetRow0(amp, 1, 5.0f);
    LinkCells(antenna, 0, amp, 0);
    LinkCells(amp, 0, *head, 1);
    TPassanteProva first(project.NetworkGrid, 38, 1);
    SetRow0(first, 1, 3.0f);
    LinkCells(*net, 1, first, 0);

    // The head-end terminal gathers its inputs; the network one copies them.
    const uint32_t stamp = NextPassNumber();
    first.ComputeChannels(0x100, 0, stamp);
    EXPECT_EQ(stamp, head->PassStamp);
    ASSERT_EQ(2u, net->ChannelLists.size());
    EXPECT_EQ(0, net->ChannelLists[0]->Count());
    ASSERT_EQ(1, net->ChannelLists[1]->Count());
    EXPECT_NEAR(75.0f, net->ChannelLists[1]->head->levelMin, 1e-4);
    EXPECT_NEAR(72.0f, first.ChannelLists[0]->head->levelMin, 1e-4);
    EXPECT_EQ(Contents(*head->ChannelLists[1]), Contents(*net->ChannelLists[1]));
    // Unlink the stack cells before the project frees the terminals.
    net->OutputCell[1] = nullptr;
    head->InputCell[1] = nullptr;
}

TEST_F(HeadEndPasses, SpreadAndWalkCrossToThePartner) {
    ASSERT_TRUE(net && head);
    EXPECT_EQ(head, net->Partner());
    EXPECT_EQ(net, head->Partner());
    TPassanteProva upper(project.HeadEndGrid, 30, 71);
    TPassanteProva lower(project.NetworkGrid, 38, 1);
    TPassanteProva other(project.NetworkGrid, 37, 1);
    LinkCells(upper, 0, *head, 1);
    LinkCells(*net, 1, lower, 0);
    LinkCells(*net, 0, other, 0);

    const uint32_t spread = NextPassNumber();
    lower.SpreadStamp(spread);
    EXPECT_EQ(spread, upper.SpreadPassStamp);
    EXPECT_EQ(spread, other.SpreadPassStamp);

    TListaCanali list;
    const uint32_t walk = NextPassNumber();
    upper.WalkDownstream(&list, 0, walk);
    EXPECT_EQ(walk, lower.PassStamp);  // the line the walk came by continues
    EXPECT_NE(walk, other.PassStamp);
    net->OutputCell[0] = net->OutputCell[1] = nullptr;
    head->InputCell[1] = nullptr;
}

TEST_F(HeadEndPasses, ModelChoiceAndReachWindowsFollowEveryLine) {
    ASSERT_TRUE(net && head);
    TPassanteProva a(project.NetworkGrid, 37, 1), b(project.NetworkGrid, 38, 1);
    LinkCells(*net, 0, a, 0);
    LinkCells(*net, 1, b, 0);
    a.ResetAuxLevels();
    b.ResetAuxLevels();
    const uint32_t stamp = NextPassNumber();
    EXPECT_TRUE(net->ChooseModel(nullptr, 0, stamp, nullptr, 0, 0));
    EXPECT_EQ(stamp, a.PassStamp);
    EXPECT_EQ(stamp, b.PassStamp);
    b.ReachLevels[0][4] = {7, 9};
    net->ComputeReachWindows();
    ExpectWindow({7, 9}, net->ReachLevels[1][4]);
    // The terminal has no loss of its own: the designer's value goes on as it is.
    class TValore : public TPassanteProva {
    public:
        using TPassanteProva::TPassanteProva;
        void EvaluateModel(TCella*, int32_t, float value, uint32_t stamp, int32_t) override {
            PassStamp = stamp;
            seen = value;
        }
        float seen = 0.0f;
    } c(project.NetworkGrid, 36, 2);
    LinkCells(*net, 0, c, 0);
    net->EvaluateModel(nullptr, 0, 44.0f, NextPassNumber(), 1);
    EXPECT_EQ(44.0f, c.seen);
    net->OutputCell[0] = net->OutputCell[1] = nullptr;
}
