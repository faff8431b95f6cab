// The line count of the two head-end terminals changes on both or on neither:
// never past the grid's edge, never over a cell that stands where a line would go.
#include <gtest/gtest.h>

#include "cells/head_end.h"
#include "document/grid.h"
#include "document/project.h"
#include "support/test_cells.h"

namespace {

class TerminalLineCountTest : public ::testing::Test {
protected:
    void SetUp() override { project.Reset(true); }
    TTesta& Net() { return *static_cast<TTesta*>(project.NetworkGrid->Anchor); }
    TTesta& Head() { return *static_cast<TTesta*>(project.HeadEndGrid->Anchor); }

    TProgetto project{nullptr};
};

TEST_F(TerminalLineCountTest, BothTerminalsChangeWhenBothHaveRoom) {
    Head().SetLineCount(5);
    EXPECT_EQ(Net().Lines(), 5);
    EXPECT_EQ(Head().Lines(), 5);
    EXPECT_EQ(project.NetworkGrid->CellAt(Net().Column + 6, 0), &Net());
    EXPECT_EQ(project.HeadEndGrid->CellAt(Head().Column + 6, Head().Row), &Head());
}

TEST_F(TerminalLineCountTest, ACellInTheWayOnEitherGridStopsBoth) {
    for (TGridData* blocked : {project.NetworkGrid, project.HeadEndGrid}) {
        project.Reset(true);
        TTesta& own = *static_cast<TTesta*>(blocked->Anchor);
        // A cell where the fourth line would go (as a damaged file may leave
        // one), held by the test: the grid owns only the cells it took in.
        auto held = std::make_unique<TCellaProva>(nullptr, own.Column + 5, own.Row);
        TCella* obstacle = held.get();
        blocked->PutOnSquare(own.Column + 5, own.Row, obstacle);
        Net().SetLineCount(4);
        EXPECT_EQ(Net().Lines(), 1);
        EXPECT_EQ(Head().Lines(), 1);
        EXPECT_EQ(blocked->CellAt(own.Column + 5, own.Row), obstacle);
        EXPECT_EQ(blocked->CellAt(own.Column + 3, own.Row), nullptr);
        // Fewer lines still fit.
        Net().SetLineCount(2);
        EXPECT_EQ(Net().Lines(), 2);
        EXPECT_EQ(Head().Lines(), 2);
        blocked->PutOnSquare(own.Column + 5, own.Row, nullptr);
    }
}

TEST_F(TerminalLineCountTest, NoLineBeyondTheGridEdge) {
    // A narrow network grid: its terminal stands at column 4, so lines can
    // reach column 9 at most.
    ASSERT_TRUE(project.NetworkGrid->Resize(10, 20));
    ASSERT_EQ(Net().Column, 4);
    Head().SetLineCount(6);
    EXPECT_EQ(Net().Lines(), 1);
    EXPECT_EQ(Head().Lines(), 1);
    Head().SetLineCount(4);
    EXPECT_EQ(Net().Lines(), 4);
    EXPECT_EQ(Head().Lines(), 4);
    EXPECT_EQ(project.NetworkGrid->CellAt(9, 0), &Net());
}

}  // namespace
