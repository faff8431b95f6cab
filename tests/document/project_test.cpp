// The project document: its two grids and their terminals after a reset, the
// header texts, the modified flags and the project being loaded.
#include "document/project.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "cells/head_end.h"
#include "core/globals.h"
#include "document/grid.h"
#include "support/test_cells.h"

namespace {

int CellsOn(const TGridData& grid) {
    std::set<const TCella*> cells;
    for (int32_t c = 0; c < grid.Columns; ++c)
        for (int32_t r = 0; r < grid.Rows; ++r)
            if (const TCella* cell = grid.CellAt(c, r)) cells.insert(cell);
    return static_cast<int>(cells.size());
}

TEST(Project, NewProjectHasTwoEmptyGridsOfSeventyFiveSquares) {
    TProgetto project(nullptr);
    EXPECT_EQ(project.Name, "senza nome");
    EXPECT_EQ(project.Step, 1);
    ASSERT_NE(project.NetworkGrid, nullptr);
    ASSERT_NE(project.HeadEndGrid, nullptr);
    for (TGridData* grid : {project.NetworkGrid, project.HeadEndGrid}) {
        EXPECT_EQ(grid->Columns, 75);
        EXPECT_EQ(grid->Rows, 75);
        EXPECT_EQ(grid->Project, &project);
        EXPECT_EQ(CellsOn(*grid), 0);
        EXPECT_EQ(grid->Anchor, nullptr);
    }
    EXPECT_EQ(project.NetworkGrid->Kind, GridNetwork);
    EXPECT_EQ(project.HeadEndGrid->Kind, GridHeadEnd);
    EXPECT_EQ(project.ReservedNumber, 12);
    EXPECT_EQ(project.ReservedLetter, 'C');
    EXPECT_FALSE(project.Modified);
    EXPECT_TRUE(project.EstimateOutOfDate);
    EXPECT_TRUE(project.DesignPending);
}

TEST(Project, ResetWithAnchorsPutsOneTerminalOnEachGrid) {
    TProgetto project(nullptr);
    project.Reset(true);
    struct Case {
        TGridData* grid;
        int32_t row;
    };
    for (const Case& c : {Case{project.NetworkGrid, 0}, Case{project.HeadEndGrid, 74}}) {
        EXPECT_EQ(CellsOn(*c.grid), 1);
        auto* terminal = dynamic_cast<TTesta*>(c.grid->Anchor);
        ASSERT_NE(terminal, nullptr);
        EXPECT_EQ(terminal->Column, 36);
        EXPECT_EQ(terminal->Row, c.row);
        EXPECT_EQ(terminal->Lines(), 1);
        EXPECT_EQ(terminal->Owner, c.grid);
        EXPECT_EQ(c.grid->CellAt(36, c.row), terminal);
        EXPECT_EQ(c.grid->CellAt(38, c.row), terminal);
        EXPECT_FALSE(c.grid->HasComponents());
    }
    // Reset again: the old terminals go, new ones come.
    project.Reset(true);
    EXPECT_EQ(CellsOn(*project.NetworkGrid), 1);
    project.Reset(false);
    EXPECT_EQ(CellsOn(*project.NetworkGrid), 0);
    EXPECT_EQ(project.NetworkGrid->Anchor, nullptr);
}

TEST(Project, ResetBringsResizedGridsBackAndEmptiesThem) {
    const int start = TCellaProva::Alive;
    {
        TProgetto project(nullptr);
        project.Reset(true);
        ASSERT_TRUE(
            project.NetworkGrid->InsertCell(std::make_unique<TCellaProva>(nullptr, 36, 10), false, 0));
        ASSERT_TRUE(project.NetworkGrid->Resize(101, 120));
        project.Name = "/tmp/impianto.ant";
        project.Step = 2;
        project.Reset(true);
        EXPECT_EQ(project.NetworkGrid->Columns, 75);
        EXPECT_EQ(project.NetworkGrid->Rows, 75);
        EXPECT_EQ(project.NetworkGrid->Anchor->Column, 36);
        EXPECT_EQ(project.Name, "senza nome");
        EXPECT_EQ(project.Step, 1);
        EXPECT_EQ(TCellaProva::Alive, start);
        ASSERT_TRUE(project.HeadEndGrid->InsertCell(std::make_unique<TCellaProva>(nullptr, 3, 3), false, 0));
    }
    EXPECT_EQ(TCellaProva::Alive, start);  // the project frees its cells
}

TEST(Project, ResetKeepsOnlyTheDesignerAndTheNotes) {
    TProgetto project(nullptr);
    for (int i = 0; i < HeaderTextCount; ++i) project.HeaderTexts[i] = "testo " + std::to_string(i);
    project.ReservedNumber = 3;
    project.ReservedLetter = 'X';
    project.Modified = true;
    project.EstimateOutOfDate = false;
    project.DesignPending = false;
    project.Reset(false);
    for (int i = 0; i < HeaderTextCount; ++i) {
        if (i == HeaderDesigner || i == HeaderNotes)
            EXPECT_EQ(project.HeaderTexts[i], "testo " + std::to_string(i));
        else
            EXPECT_EQ(project.HeaderTexts[i], "") << i;
    }
    EXPECT_EQ(project.ReservedNumber, 12);
    EXPECT_EQ(project.ReservedLetter, 'C');
    EXPECT_FALSE(project.Modified);
    EXPECT_TRUE(project.EstimateOutOfDate);
    EXPECT_TRUE(project.DesignPending);
}

TEST(Project, HeaderTextLimitsAreTheFileOnes) {
    EXPECT_EQ(HeaderTextMax[0], 50);
    EXPECT_EQ(HeaderTextMax[6], 11);
    EXPECT_EQ(HeaderTextMax[8], 5);
    EXPECT_EQ(HeaderTextMax[22], 512);
    EXPECT_EQ(HeaderTextMax[23], 30);
    EXPECT_EQ(HeaderTextMax[25], 512);
    EXPECT_EQ(HeaderTextMax[28], 128);
}

TEST(Project, ModifiedMaskTouchesTheEstimateOnlyWithItsBit) {
    struct Case {
        int32_t mask;
        bool estimate;
    };
    for (const Case& c : {Case{1, false}, Case{2, true}, Case{4, false}, Case{8, false}, Case{15, true}}) {
        TProgetto project(nullptr);
        project.MarkLoaded();
        project.SetModified(c.mask);
        EXPECT_TRUE(project.Modified);
        EXPECT_TRUE(project.DesignPending);
        EXPECT_EQ(project.EstimateOutOfDate, c.estimate) << c.mask;
    }
}

TEST(Project, MarkLoadedClearsTheFlagsAndMarksEveryCalculation) {
    TProgetto project(nullptr);
    project.Reset(true);
    ASSERT_TRUE(project.NetworkGrid->InsertCell(std::make_unique<TCellaProva>(nullptr, 36, 5), false, 0));
    project.NetworkGrid->SetModified(ModAll);
    project.HeadEndGrid->NetworkOutOfDate = false;
    project.HeadEndGrid->ChannelsOutOfDate = false;
    project.MarkLoaded();
    EXPECT_FALSE(project.Modified);
    EXPECT_FALSE(project.EstimateOutOfDate);
    EXPECT_FALSE(project.DesignPending);
    EXPECT_TRUE(project.HeadEndGrid->NetworkOutOfDate);
    EXPECT_TRUE(project.HeadEndGrid->ChannelsOutOfDate);
}

TEST(Project, ProjectBeingLoadedIsSetForTheLoadAndRestored) {
    TProgetto outer(nullptr), inner(nullptr);
    EXPECT_EQ(ProgettoInCaricamento, nullptr);
    {
        TProgettoInCaricamento loading(&outer);
        EXPECT_EQ(ProgettoInCaricamento, &outer);
        {
            TProgettoInCaricamento nested(&inner);
            EXPECT_EQ(ProgettoInCaricamento, &inner);
        }
        EXPECT_EQ(ProgettoInCaricamento, &outer);
    }
    EXPECT_EQ(ProgettoInCaricamento, nullptr);
}

}  // namespace
