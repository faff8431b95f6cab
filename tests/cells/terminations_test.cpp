// Terminations: a termination ends every pass and, in the designer's
// termination pass, takes a library termination of the kind and connector
// asked for.
#include "cells/terminations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cells/factory.h"
#include "cells/outlets.h"
#include "core/globals.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "platform/controls.h"
#include "platform/engines.h"
#include "platform/graphics.h"
#include "support/globals_fixture.h"
#include "support/line_cells.h"
#include "support/record_bytes.h"

namespace {

class TerminationsTest : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(&messages); }
    TListBox messages;
};

TEST_F(TerminationsTest, FactoryAndData) {
    std::unique_ptr<TCella> cell(NewCella(nullptr, 16, 2, 3, 3, 9, 9));
    auto* t = dynamic_cast<TChiusura*>(cell.get());
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->TypeCode, CodeTermination);
    EXPECT_EQ(t->Kind, KindTermination);
    EXPECT_EQ(t->NumInputs, 3);
    EXPECT_EQ(t->NumThroughOutputs, 3);
    EXPECT_EQ(t->NumTapOutputs, 0);
    EXPECT_EQ(t->TableRows, 0);
    EXPECT_EQ(t->TableColumns, 0);
    EXPECT_EQ(t->Category, "Chiusure");
    EXPECT_EQ(t->GetTypeName(), "Chiusura ");
    EXPECT_EQ(t->Power[PowerSupply][0], 0u);
    EXPECT_EQ(t->Power[PowerFeeds][1], 0u);
    EXPECT_EQ(t->Power[PowerRefuses][0], 1u);
    EXPECT_EQ(t->Power[PowerRefuses][1], AllBits);
    // Without data it counts as described, and its data always pass.
    EXPECT_EQ(t->Described, 0);
    EXPECT_TRUE(t->NeedsNoDescription());
    EXPECT_TRUE(t->CheckData("x"));
    TContatoriCategoria counters;
    counters.fill(1);
    counters[TerminationCounter] = 6;
    t->TakeSequenceNumber(counters);
    EXPECT_EQ(t->GetShortCode(), "X6");
}

TEST_F(TerminationsTest, SquaresAlongItsRow) {
    struct Case {
        int32_t orientation, mirrored;
        TCellRect rect;
    };
    // clang-format off
    const Case cases[] = {
        {0, 0, {5, 5, 5, 7}},
        {1, 0, {3, 5, 5, 5}},
        {2, 0, {5, 3, 5, 5}},
        {3, 0, {5, 5, 7, 5}},
        {0, 1, {5, 3, 5, 5}},
    };
    // clang-format on
    for (const Case& c : cases) {
        TChiusura t(nullptr, c.orientation, c.mirrored, 5, 5, 3);
        EXPECT_EQ(t.GetGridRect(), c.rect) << c.orientation << " " << c.mirrored;
    }
}

// The square across a grid side: 0 above, 1 right, 2 below, 3 left.
std::pair<int32_t, int32_t> Across(int32_t column, int32_t row, int32_t side) {
    static constexpr int32_t dc[4] = {0, 1, 0, -1};
    static constexpr int32_t dr[4] = {-1, 0, 1, 0};
    return {column + dc[side], row + dr[side]};
}

// The pixel, at zoom 21 with the grid's origin at pixel (0, 0), of the middle
// of the edge of square (column, row) on grid side 0 (top) to 3 (left).
TPoint EdgeMiddle(int32_t column, int32_t row, int32_t side) {
    switch (side) {
    case 0: return {21 * column + 10, 21 * row};
    case 1: return {21 * column + 20, 21 * row + 10};
    case 2: return {21 * column + 10, 21 * row + 20};
    default: return {21 * column, 21 * row + 10};
    }
}

// Every square of a termination waits for its line on the side the
// termination faces (orientation 0 above, 1 right, 2 below, 3 left), a side
// that leads out of the termination's own squares, and its symbol draws a
// stub to the middle of that edge.
TEST_F(TerminationsTest, EverySquareWaitsOnAnOutwardSideInEveryTurnAndMirror) {
    for (int32_t inputs = 1; inputs <= 3; ++inputs)
        for (int32_t turn = 0; turn < 4; ++turn)
            for (int32_t mirrored = 0; mirrored < 2; ++mirrored) {
                const std::string what = std::to_string(inputs) + " inputs turn " + std::to_string(turn) +
                                         " mirror " + std::to_string(mirrored);
                TGridData grid(nullptr, 30, 30, GridNetwork);
                TChiusura t(&grid, turn, mirrored, 12, 12, inputs);
                grid.BeginAnalysis();
                t.AllocLinks();
                TQNextCell queue;
                EXPECT_TRUE(t.PlaceOnGrid(TNextCell{}, queue)) << what;
                TNextCell record;
                EXPECT_FALSE(queue.Pop(record)) << what;

                const TCellRect rect = t.GetGridRect();
                EXPECT_EQ((rect.Right - rect.Left + 1) * (rect.Bottom - rect.Top + 1), inputs) << what;
                EXPECT_TRUE(rect.Left == 12 || rect.Right == 12) << what;
                EXPECT_TRUE(rect.Top == 12 || rect.Bottom == 12) << what;
                std::set<std::pair<int32_t, int32_t>> own;
                for (int32_t c = 0; c < grid.Columns; ++c)
                    for (int32_t r = 0; r < grid.Rows; ++r)
                        if (grid.AnalysisAt(c, r)->Visited) own.insert({c, r});
                ASSERT_EQ(static_cast<int32_t>(own.size()), inputs) << what;
                std::vector<TPoint> edges;
                for (auto [c, r] : own) {
                    EXPECT_TRUE(c >= rect.Left && c <= rect.Right && r >= rect.Top && r <= rect.Bottom)
                        << what;
                    for (int32_t side = 0; side < 4; ++side) {
                        const TSquareAnalysis* square = grid.AnalysisAt(c, r);
                        EXPECT_EQ(square->Waiting[side], side == turn ? 1 : 0) << what << " side " << side;
                        if (!square->Waiting[side]) continue;
                        EXPECT_EQ(square->InputIndex[side], 0) << what;
                        EXPECT_EQ(own.count(Across(c, r, side)), 0u) << what << " side " << side;
                        edges.push_back(EdgeMiddle(c, r, side));
                    }
                }
                grid.EndAnalysis();

                TRecordingEngine engine;
                TCanvas canvas(&engine);
                t.DrawSymbol(&canvas, t.Column, t.Row, 21 * t.Column, 21 * t.Row, 21);
                std::vector<TPoint> ends;
                for (const TPaintCall& call : engine.CallsOf(TPaintOp::Line)) {
                    ends.push_back(call.Points.front());
                    ends.push_back(call.Points.back());
                }
                for (const TPoint& edge : edges)
                    EXPECT_NE(std::find(ends.begin(), ends.end(), edge), ends.end())
                        << what << ": no stub at (" << edge.x << ", " << edge.y << ")";
                t.Owner = nullptr;
            }
}

TEST_F(TerminationsTest, OldRecordHasOneInput) {
    // A record below version 20000 after its tag: grid selector, geometry,
    // six vectors of ten floats, raw texts.
    RecordBytes r;
    r.I32(1).I32(2).I32(0).I32(4).I32(5);
    for (int i = 0; i < 60; ++i) r.F32(0.0f);
    r.Fixed("", 30).Fixed("", 100).Fixed("", 20).Fixed("X75", 20).Fixed("", 15).U8(1).I32(3).U8(0);
    std::unique_ptr<TCella> cell(NewCella(nullptr, 16, 0, 0, 0, 0, 0));
    TMemoryStream s;
    s.WriteBuffer(r.Bytes().data(), static_cast<int>(r.Size()));
    s.SetPosition(0);
    cell->Load(s, 10000);
    EXPECT_EQ(s.Position(), s.Size());
    EXPECT_EQ(cell->NumInputs, 1);
    EXPECT_EQ(cell->NumThroughOutputs, 1);
    EXPECT_EQ(cell->Code, "X75");
    EXPECT_EQ(cell->Orientation, 2);
}

// A termination ends every pass: upstream of it the requirement is
// unlimited, no signal and no channel arrive at it.
TEST_F(TerminationsTest, EndsEveryPass) {
    TSorgenteLinea source;
    TCanale channel;
    channel.name = "5";
    channel.band = 1;
    source.SourceChannels->Insert(channel);
    TPresaD outlet(nullptr, 0, 0, 0, 0, CodePassThroughOutlet, 1);
    for (int32_t b = 0; b < BandSlots; ++b) {
        outlet.Attenuation->Set3(0, OutletSocketLoss, b, 1.0f);
        outlet.Attenuation->Set3(0, OutletThroughLoss, b, 0.5f);
    }
    TChiusura end(nullptr, 0, 0, 0, 0, 1);
    JoinCells(source, 0, outlet, 0);
    JoinCells(outlet, OutletThroughOutput, end, 0);

    outlet.ComputeRequiredLevels({}, {}, NextPassNumber());
    EXPECT_EQ(end.InputLevels[0][1].Min, LevelReqUnlimited);
    EXPECT_EQ(end.InputLevels[0][1].Max, LevelReqUnlimited);
    // The outlet's input is asked only what its socket needs.
    EXPECT_FLOAT_EQ(outlet.InputLevels[0][1].Min, 61.0f);
    EXPECT_FLOAT_EQ(outlet.InputLevels[0][1].Max, 81.0f);

    end.ComputeSignalLevels(NextPassNumber());
    EXPECT_EQ(end.OutputLevels[0][1].Min, LevelOff);
    EXPECT_EQ(source.PassStamp, 0u);

    const uint32_t stamp = NextPassNumber();
    outlet.ComputeChannels(0, 0, stamp);
    end.ComputeChannels(0, 0, stamp);
    EXPECT_EQ(outlet.ChannelLists[OutletThroughOutput]->Count(), 1);
    EXPECT_EQ(end.ChannelLists[0]->Count(), 0);
    EXPECT_EQ(end.MinDownstreamValue(3.0f, 1, true, nullptr, 0, 0), 0.0f);

    end.EvaluateModel(nullptr, 0, 10.0f, NextPassNumber(), 1);
    EXPECT_EQ(end.ReachLevels[0][14].Min, 1000.0f);
    EXPECT_EQ(end.ReachLevels[0][14].Max, -1000.0f);
}

class TerminationChoiceTest : public TerminationsTest {
protected:
    TChiusura* Candidate(bool isolated, uint8_t connector, int32_t inputs = 1) {
        auto made = std::make_unique<TChiusura>(nullptr, 0, 0, 0, 0, inputs);
        auto* c = made.get();
        if (isolated) c->Power[PowerRefuses][0] = 0;
        c->Choice1 = connector;
        c->Code = AnsiString(isolated ? "DC" : "R") + IntToStr(connector);
        c->Described = 1;
        if (!owned.empty()) owned.back()->NextInList = c;
        owned.emplace_back(std::move(made));
        return c;
    }
    TCella* List() { return owned.empty() ? nullptr : owned.front().get(); }
    std::vector<std::unique_ptr<TCella>> owned;
};

TEST_F(TerminationChoiceTest, TakesTheFirstMatchingEntry) {
    Candidate(false, 0);
    Candidate(true, 1);
    Candidate(false, 1);
    Candidate(false, 2, 2);  // another number of inputs: not the same kind
    Candidate(true, 0);
    struct Case {
        int32_t mode;
        const char* code;  // "" when none fits
    };
    // clang-format off
    const Case cases[] = {
        {'@', "R0"}, {'A', "R1"}, {'B', ""}, {'C', "R0"},
        {'@' | 4, "DC0"}, {'A' | 4, "DC1"}, {'C' | 4, "DC1"},
    };
    // clang-format on
    for (const Case& c : cases) {
        messages.Items->Clear();
        TChiusura t(nullptr, 0, 0, 0, 0, 1);
        const bool ok = t.ChooseModel(List(), c.mode, NextPassNumber(), nullptr, 0, 0);
        EXPECT_EQ(ok, *c.code != 0) << c.mode;
        EXPECT_EQ(t.Code, c.code) << c.mode;
        EXPECT_EQ(messages.Items->Count(), *c.code ? 0 : 1) << c.mode;
        if (!*c.code) {
            EXPECT_EQ(messages.Items->Strings(0), "Non sono disponibili chiusure adeguate all'impianto.");
        }
    }
}

TEST_F(TerminationChoiceTest, KeepsItsDataWhenItFitsAndReportsOncePerPass) {
    Candidate(false, 0);
    Candidate(false, 1);
    TChiusura t(nullptr, 0, 0, 0, 0, 1);
    t.Choice1 = 1;
    t.Code = "MIA";
    t.Described = 1;
    EXPECT_TRUE(t.ChooseModel(List(), 'A', NextPassNumber(), nullptr, 0, 0));
    EXPECT_EQ(t.Code, "MIA");
    // Not a choosing pass: nothing is chosen.
    TChiusura fresh(nullptr, 0, 0, 0, 0, 1);
    EXPECT_TRUE(fresh.ChooseModel(List(), 0, NextPassNumber(), nullptr, 0, 0));
    EXPECT_EQ(fresh.Described, 0);
    EXPECT_EQ(fresh.ReachLevels[0][3].Min, 1000.0f);
    // No fitting entry: one message per pass, and the cell keeps its data.
    const uint32_t stamp = NextPassNumber();
    EXPECT_FALSE(t.ChooseModel(List(), 'B', stamp, nullptr, 0, 0));
    EXPECT_TRUE(t.ChooseModel(List(), 'B', stamp, nullptr, 0, 0));
    EXPECT_EQ(messages.Items->Count(), 1);
    EXPECT_EQ(t.Code, "MIA");
}

}  // namespace
