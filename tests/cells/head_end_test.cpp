// The head-end terminal: its identity and port table, the squares it covers,
// its place in the grid analysis and the line count it shares with its partner.
#include "cells/head_end.h"

#include <gtest/gtest.h>

#include "document/grid.h"
#include "document/project.h"

namespace {

TEST(HeadEnd, IdentityAndPortTable) {
    TTesta terminal(nullptr, 0, 0, 36, 0, 3);
    EXPECT_EQ(terminal.TypeCode, 34);
    EXPECT_EQ(terminal.Kind, 34);
    EXPECT_EQ(terminal.NumInputs, 3);
    EXPECT_EQ(terminal.NumThroughOutputs, 3);
    EXPECT_EQ(terminal.NumTapOutputs, 0);
    EXPECT_EQ(terminal.NumOutputs, 3);
    EXPECT_EQ(terminal.TableRows, 0);
    EXPECT_EQ(terminal.TableColumns, 0);
    EXPECT_EQ(terminal.MatrixColumns, 0);
    EXPECT_EQ(terminal.Described, 1);
    EXPECT_EQ(terminal.Category, "");
    EXPECT_FALSE(terminal.IsEstimateItem());
    EXPECT_EQ(terminal.GetPrototype(), nullptr);
    EXPECT_FALSE(terminal.OpenDataDialog());
}

TEST(HeadEnd, LineCountIsKeptBetweenOneAndTwentyFour) {
    EXPECT_EQ(TTesta(nullptr, 0, 0, 0, 0, 0).Lines(), 1);
    EXPECT_EQ(TTesta(nullptr, 0, 0, 0, 0, 30).Lines(), 24);
    EXPECT_EQ(TTesta(nullptr, 0, 0, 0, 0, 24).Lines(), 24);
}

TEST(HeadEnd, CoversItsLinesAndASquareEachSide) {
    TTesta terminal(nullptr, 0, 0, 36, 74, 4);
    EXPECT_EQ(terminal.GetGridRect(), (TCellRect{74, 36, 74, 41}));
}

TEST(HeadEnd, OnlyTheTerminalInRowZeroStartsTheSignal) {
    EXPECT_TRUE(TTesta(nullptr, 0, 0, 36, 0, 1).IsSignalStart());
    EXPECT_FALSE(TTesta(nullptr, 0, 0, 36, 74, 1).IsSignalStart());
}

TEST(HeadEnd, TypeNameDependsOnTheGrid) {
    TProgetto project(nullptr);
    project.Reset(true);
    EXPECT_EQ(project.NetworkGrid->Anchor->GetTypeName(), "Centrale di testa ");
    EXPECT_EQ(project.HeadEndGrid->Anchor->GetTypeName(), "Rete di distribuzione ");
}

TEST(HeadEnd, NetworkTerminalFeedsEveryLineDownwards) {
    TGridData grid(nullptr, 20, 20, GridNetwork);
    auto terminalOwned = std::make_unique<TTesta>(nullptr, 0, 0, 5, 0, 3);
    auto* terminal = terminalOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(terminalOwned), false, 0));
    terminal->AllocLinks();
    grid.BeginAnalysis();
    TQNextCell queue;
    TNextCell start;
    start.Side = SideStart;
    EXPECT_TRUE(terminal->PlaceOnGrid(start, queue));
    for (int32_t c = 5; c <= 9; ++c) EXPECT_EQ(grid.AnalysisAt(c, 0)->Visited, 1) << c;
    EXPECT_EQ(grid.AnalysisAt(10, 0)->Visited, 0);
    for (int32_t i = 0; i < 3; ++i) {
        TNextCell record;
        ASSERT_TRUE(queue.Pop(record));
        EXPECT_EQ(record.Column, 6 + i);
        EXPECT_EQ(record.Row, 1);
        EXPECT_EQ(record.Side, 0);
        EXPECT_EQ(record.Port, i);
        EXPECT_EQ(record.TypeCode, 34);
        EXPECT_EQ(record.NeedsTermination, 0);
        EXPECT_EQ(record.MayEndOpen, 1);  // an untouched line is no error
    }
    EXPECT_TRUE(queue.Empty());
}

TEST(HeadEnd, HeadEndTerminalWaitsForEveryLineFromAbove) {
    TGridData grid(nullptr, 20, 20, GridHeadEnd);
    auto terminalOwned = std::make_unique<TTesta>(nullptr, 0, 0, 5, 19, 2);
    auto* terminal = terminalOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(terminalOwned), false, 0));
    grid.BeginAnalysis();
    TQNextCell queue;
    EXPECT_TRUE(terminal->PlaceOnGrid(TNextCell{}, queue));
    EXPECT_TRUE(queue.Empty());
    for (int32_t i = 0; i < 2; ++i) {
        const TSquareAnalysis* square = grid.AnalysisAt(6 + i, 19);
        EXPECT_EQ(square->Visited, 1);
        EXPECT_EQ(square->Waiting[0], 1);
        EXPECT_EQ(square->InputIndex[0], i);
    }
    EXPECT_EQ(grid.AnalysisAt(5, 19)->Waiting[0], 0);
    EXPECT_EQ(grid.AnalysisAt(8, 19)->Waiting[0], 0);
}

// ---- Line count shared by the two terminals ----

class LineCountTest : public ::testing::Test {
protected:
    void SetUp() override { project.Reset(true); }
    TTesta& Net() { return *dynamic_cast<TTesta*>(project.NetworkGrid->Anchor); }
    TTesta& Head() { return *dynamic_cast<TTesta*>(project.HeadEndGrid->Anchor); }
    // The squares of the terminal's row that point at it.
    static std::vector<int32_t> Covered(TGridData& grid, TTesta& terminal) {
        std::vector<int32_t> columns;
        for (int32_t c = 0; c < grid.Columns; ++c)
            if (grid.CellAt(c, terminal.Row) == &terminal) columns.push_back(c);
        return columns;
    }
    static std::vector<int32_t> Range(int32_t first, int32_t last) {
        std::vector<int32_t> v;
        for (int32_t c = first; c <= last; ++c) v.push_back(c);
        return v;
    }
    TProgetto project{nullptr};
};

TEST_F(LineCountTest, ChangesBothTerminalsAndTheirSquares) {
    Net().SetLineCount(4);
    for (TTesta* t : {&Net(), &Head()}) {
        EXPECT_EQ(t->Inputs, 4);
        EXPECT_EQ(t->ThroughOutputs, 4);
        EXPECT_EQ(t->NumInputs, 4);
        EXPECT_EQ(t->NumOutputs, 4);
        EXPECT_EQ(t->TableRows, 0);
        EXPECT_EQ(t->GetGridRect().Right, 36 + 5);
    }
    EXPECT_EQ(Covered(*project.NetworkGrid, Net()), Range(36, 41));
    EXPECT_EQ(Covered(*project.HeadEndGrid, Head()), Range(36, 41));
}

TEST_F(LineCountTest, ReducingEmptiesTheSquaresBeyondTheNewEndInBothGrids) {
    Head().SetLineCount(6);
    Head().ResetOutputLevels();
    Head().AllocLinks();
    Head().SetLineCount(2);
    EXPECT_EQ(Net().Lines(), 2);
    EXPECT_EQ(Covered(*project.NetworkGrid, Net()), Range(36, 39));
    EXPECT_EQ(Covered(*project.HeadEndGrid, Head()), Range(36, 39));
    EXPECT_EQ(project.HeadEndGrid->CellAt(40, 74), nullptr);
    EXPECT_FALSE(Head().OutputLevels.Allocated());  // the windows are rebuilt for the new lines
    EXPECT_EQ(Head().InputCell.size(), 2u);
}

TEST_F(LineCountTest, ValuesOutsideTheRangeOrUnchangedLeaveBothAlone) {
    Net().SetLineCount(3);
    for (int32_t n : {0, 25, -1, 3}) {
        Net().SetLineCount(n);
        EXPECT_EQ(Net().Lines(), 3) << n;
        EXPECT_EQ(Head().Lines(), 3) << n;
        EXPECT_EQ(Covered(*project.NetworkGrid, Net()), Range(36, 40)) << n;
    }
}

TEST_F(LineCountTest, RemovedLinesAreForgottenByTheirNeighbours) {
    Net().SetLineCount(2);
    TCella below(project.NetworkGrid, 0, 0, 38, 1);
    below.AllocLinks();
    Net().AllocLinks();
    Net().OutputCell[1] = &below;
    Net().OutputPort[1] = 0;
    below.InputCell[0] = &Net();
    below.InputPort[0] = 1;
    Net().SetLineCount(1);
    EXPECT_EQ(below.InputCell[0], nullptr);
    EXPECT_EQ(below.InputPort[0], -1);
}

}  // namespace
