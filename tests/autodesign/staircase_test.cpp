// The staircase's floor rows, the amplifier floors fixed by switch brands,
// and the banks of line amplifiers across the satellite lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "autodesign/engine.h"
#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "support/globals_fixture.h"

namespace {

class StaircaseTest : public GlobalsTest {
protected:
    StaircaseTest() : engine(&globals.Reporter()) { engine.Reset(); }
    TCreaAuto engine;
};

TEST_F(StaircaseTest, FloorRowsFromTheTopFloorDown) {
    TPalazzo& b = *engine.Settings->Building;
    b.StaircaseCount = 2;
    b.Staircases[0].FloorCount = 3;
    b.Staircases[1].FloorCount = 4;
    engine.Settings->APDistPiani = 3;
    engine.Settings->APDistDerTS = 1;
    engine.TapNetwork[0] = 1;
    const int32_t heights[3] = {10, 12, 14}, tails[3] = {1, 2, 3};
    for (int32_t f = 0; f < 3; ++f) {
        engine.FloorHeight[0][f] = heights[f];
        engine.FloorTail[0][f] = tails[f];
    }
    engine.FloorRow[0][5] = 9;  // rows above the top floor go back to 0
    EXPECT_TRUE(engine.ComputeFloorRows(0));
    // floor 1: 0 + 14 + 3 - 1 - 3 = 13; floor 0: 13 + 12 + 3 - 1 - 2 = 25.
    EXPECT_EQ(std::vector<int32_t>(engine.FloorRow[0], engine.FloorRow[0] + 6),
              (std::vector<int32_t>{25, 13, 0, 0, 0, 0}));

    // A passive split moves the top floor down until its splitter has its
    // rows above the top block (a split a row), on any staircase, never up.
    struct Case {
        const char* what;
        int kind;
        int32_t splits, topOffset, terChain;
        int32_t topRow;
    };
    // clang-format off
    const Case cases[] = {
        {"one split, the top block on row 0", 0, 1, 0, 0, 1},
        {"two splits, the top block on row 1", 0, 2, 1, 0, 1},
        {"a top block low enough: the shorter staircase keeps row 0", 0, 1, 3, 0, 0},
        {"a top block lower than the splits need: not moved up", 0, 2, 5, 0, 0},
        {"satellite: its block a row below an empty terrestrial chain", 1, 2, 0, 0, 1},
        {"satellite: its block below a terrestrial chain of 3", 1, 2, 0, 3, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (auto& k : engine.RiserBreakCount[0]) k = 0;
        for (auto& k : engine.PassiveSplit[0]) k = 0;
        engine.RiserBreakCount[0][c.kind] = c.splits;
        engine.PassiveSplit[0][c.kind] = 1;
        engine.TapChainOffset[0][2] = c.topOffset;
        engine.ChainLength[0][2][0] = c.terChain;
        EXPECT_TRUE(engine.ComputeFloorRows(0));
        EXPECT_EQ(engine.FloorRow[0][2], c.topRow);
        EXPECT_EQ(engine.FloorRow[0][0], 25 + c.topRow);
    }
    // Without the flag a split asks for no room.
    engine.PassiveSplit[0][0] = engine.PassiveSplit[0][1] = 0;
    engine.TapChainOffset[0][2] = 0;
    EXPECT_TRUE(engine.ComputeFloorRows(0));
    EXPECT_EQ(engine.FloorRow[0][2], 0);
}

TEST_F(StaircaseTest, AmplifierFloorsOfTheSwitchBrands) {
    struct Case {
        const char* brand;
        const char* series;
        int32_t floors;
        bool fired;
        std::vector<int32_t> amplifierFloors;
    };
    // clang-format off
    const Case cases[] = {
        {"Marca A", "X", 12, true, {5}},
        {"Marca A", "", 7, true, {}},
        {"Marca B", "Y", 12, true, {2, 5, 8}},
        {"Marca C", "Serie 4000", 12, true, {5}},
        {"Marca C", "Serie 400", 12, true, {4, 9}},
        {"Marca C", "Serie T", 12, true, {4, 9}},
        {"Marca C", "Serie 40", 12, false, {}},
        {"marca a", "X", 12, false, {}},
        {"Varne", "X", 12, false, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::vector<int32_t> floors;
        EXPECT_EQ(TCreaAuto::BrandAmplifierFloors(c.brand, c.series, c.floors, floors), c.fired)
            << c.brand << " " << c.series;
        EXPECT_EQ(floors, c.amplifierFloors) << c.brand << " " << c.series;
    }
}

TEST_F(StaircaseTest, LineAmplifierBanks) {
    struct Case {
        const char* what;
        int32_t lines;
        int32_t inputs;
        float level4, level5, required;
        std::vector<std::pair<int32_t, int32_t>> amplifiers;  // column, inputs
        std::vector<std::pair<int32_t, int32_t>> terminations;
    };
    constexpr int32_t C = 20, R = 10;
    // clang-format off
    const Case cases[] = {
        {"4 lines, 5-input amplifier: one column left, the spare input and output closed",
         4, 5, 0.0f, 110.0f, 0.0f, {{C - 1, 5}}, {{C - 1, R - 1}, {C - 1, R + 2}}},
        {"8 lines, 4-input amplifiers: two side by side", 8, 4, 110.0f, 110.0f, 0.0f, {{C, 4}, {C + 4, 4}}, {}},
        {"4 lines whose 4-input amplifiers deliver too little: 5 inputs", 4, 4, 100.0f, 112.0f, 105.0f,
         {{C - 1, 5}}, {{C - 1, R - 1}, {C - 1, R + 2}}},
        {"no level for the amplifier: nothing", 4, 4, 0.0f, 0.0f, 0.0f, {}, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        engine.LineCount[1] = c.lines;
        engine.SubstationLevelSat[4] = c.level4;
        engine.SubstationLevelSat[5] = c.level5;
        engine.StaircaseRequiredLevel[0][1] = c.required;
        TGridData grid(nullptr, 40, 20, GridWork);
        engine.PlaceLineAmplifiers(C, R, c.inputs, &grid);
        std::vector<std::pair<int32_t, int32_t>> amplifiers, terminations;
        for (int32_t r = 0; r < grid.Rows; ++r)
            for (int32_t col = 0; col < grid.Columns; ++col) {
                TCella* cell = grid.CellAt(col, r);
                if (!cell || cell->Column != col || cell->Row != r) continue;
                if (cell->TypeCode == 22) {
                    amplifiers.push_back({col, cell->Inputs});
                    EXPECT_EQ(cell->Positions[1], 0x40000002u);
                    EXPECT_EQ(r, R);
                }
                if (cell->TypeCode == 16) terminations.push_back({col, r});
            }
        EXPECT_EQ(amplifiers, c.amplifiers);
        std::sort(terminations.begin(), terminations.end());
        EXPECT_EQ(terminations, c.terminations);
    }
}

// One floor whose riser block has two exits on its right, the upper one to
// an apartment below it and the lower one to an apartment above it: both
// pointers of the walk wait. The upper run is drawn anyway, on a bend column
// of its own, the walk goes on, and both apartments are fed.
TEST_F(StaircaseTest, AColumnWhosePointersBothWaitIsJoinedAndTheWalkEnds) {
    TPalazzo& b = *engine.Settings->Building;
    b.StaircaseCount = 1;
    TScala& sc = b.Staircases[0];
    sc.FloorCount = 1;
    sc.Floors[0].ApartmentCount = 3;
    engine.TapNetwork[0] = 1;
    engine.LineCount[0] = 1;

    // The riser block: entry, a 4-output tap, its left outputs closed, exits
    // on the right at block rows 1 and 2, the through output closed.
    auto& block = engine.FloorGrid[0][0][0];
    block = std::make_unique<TGridData>(nullptr, 3, 4, GridWork);
    block->InsertCell(std::make_unique<TAncoraI>(nullptr, 0, 0, 1, 0), false, 0);
    block->InsertCell(std::make_unique<TDerivatore>(nullptr, 0, 0, 1, 1, 1, 4), false, 0);
    block->InsertCell(std::make_unique<TChiusura>(nullptr, 1, 0, 0, 1, 1), false, 0);
    block->InsertCell(std::make_unique<TChiusura>(nullptr, 1, 0, 0, 2, 1), false, 0);
    block->InsertCell(std::make_unique<TChiusura>(nullptr, 0, 0, 1, 3, 1), false, 0);
    auto upperOwned = std::make_unique<TAncoraO>(nullptr, 3, 0, 2, 1);
    auto* upper = upperOwned.get();
    auto lowerOwned = std::make_unique<TAncoraO>(nullptr, 3, 0, 2, 2);
    auto* lower = lowerOwned.get();
    block->InsertCell(std::move(upperOwned), false, 0);
    block->InsertCell(std::move(lowerOwned), false, 0);
    ASSERT_TRUE(block->Analyse(false));
    engine.RiserColumn[0][0][0] = 1;
    engine.ChainLength[0][0][0] = 2;

    // Apartments 0 and 2, both on the right: an entry and a closed line.
    for (int32_t a : {0, 2}) {
        auto& apartment = engine.ApartmentBlock[0][0][a];
        apartment = std::make_unique<TGridData>(nullptr, 2, 1, GridWork);
        apartment->InsertCell(std::make_unique<TAncoraI>(nullptr, 3, 0, 0, 0), false, 0);
        apartment->InsertCell(std::make_unique<TChiusura>(nullptr, 3, 0, 1, 0, 1), false, 0);
        engine.ApartmentInputRow[0][0][a][0] = 0;
    }
    // Block rows 2 and 3 hold the exits; apartment 2 lies below the upper
    // one, apartment 0 above the lower one.
    upper->LinkAnchor(engine.ApartmentBlock[0][0][2]->CellAt(0, 0));
    lower->LinkAnchor(engine.ApartmentBlock[0][0][0]->CellAt(0, 0));
    engine.TapChainOffset[0][0] = 2;
    engine.ApartmentOffset[0][0][0] = 0;
    engine.ApartmentOffset[0][0][2] = 5;
    engine.FloorCableColumns[0][0] = 2;
    engine.FloorHeight[0][0] = 6;
    ASSERT_TRUE(engine.ComputeFloorRows(0));

    ASSERT_TRUE(engine.AssembleStaircase(0));
    TGridData* grid = engine.StaircaseGrid[0].get();
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(grid->Analyse(false));
    EXPECT_EQ(engine.InsertionSlips(), 0);
    // From the entry on row 0, through the tap, to the closed ends of both apartments.
    const int32_t entry = engine.RiserEntryColumn[0][0];
    ASSERT_NE(grid->CellAt(entry, 0), nullptr);
    EXPECT_EQ(grid->CellAt(entry, 0)->TypeCode, CodeEntryAnchor);
    std::vector<TCella*> todo{grid->CellAt(entry, 0)};
    std::vector<TCella*> seen;
    int apartmentsFed = 0;
    while (!todo.empty()) {
        TCella* cell = todo.back();
        todo.pop_back();
        if (std::find(seen.begin(), seen.end(), cell) != seen.end()) continue;
        seen.push_back(cell);
        if (cell->TypeCode == CodeTermination && cell->Column > entry + 1) ++apartmentsFed;
        for (TCella* next : cell->OutputCell)
            if (next) todo.push_back(next);
    }
    EXPECT_EQ(apartmentsFed, 2);
}

// Floor blocks whose riser stands at different columns (a switch with a
// spare input reaches further left) are placed so that the riser runs
// straight down from floor to floor.
TEST_F(StaircaseTest, FloorsAlignOnTheirRiserColumns) {
    TPalazzo& b = *engine.Settings->Building;
    b.StaircaseCount = 1;
    TScala& sc = b.Staircases[0];
    sc.FloorCount = 2;
    sc.Floors[0].ApartmentCount = sc.Floors[1].ApartmentCount = 0;
    engine.TapNetwork[0] = 1;
    engine.LineCount[0] = 1;
    engine.Settings->APDistPiani = 3;
    // The top floor: its riser on column 1, passed on below.
    auto& top = engine.FloorGrid[0][1][0];
    top = std::make_unique<TGridData>(nullptr, 3, 3, GridWork);
    top->InsertCell(std::make_unique<TAncoraI>(nullptr, 0, 0, 1, 0), false, 0);
    auto exitOwned = std::make_unique<TAncoraO>(nullptr, 0, 0, 1, 2);
    auto* exit = exitOwned.get();
    top->InsertCell(std::move(exitOwned), false, 0);
    engine.RiserColumn[0][1][0] = 1;
    // The floor below: its riser on column 3, closed at once.
    auto& below = engine.FloorGrid[0][0][0];
    below = std::make_unique<TGridData>(nullptr, 4, 2, GridWork);
    auto entryOwned = std::make_unique<TAncoraI>(nullptr, 0, 0, 3, 0);
    auto* entry = entryOwned.get();
    below->InsertCell(std::move(entryOwned), false, 0);
    below->InsertCell(std::make_unique<TChiusura>(nullptr, 0, 0, 3, 1, 1), false, 0);
    engine.RiserColumn[0][0][0] = 3;
    exit->LinkAnchor(entry);
    // A cable piece above the exit is the template of the run between floors.
    top->InsertCell(std::make_unique<TNCavo>(nullptr, 0, 0, 1, 1, 0, 0), false, 0);
    engine.FloorHeight[0][1] = 3;
    engine.FloorHeight[0][0] = 2;
    ASSERT_TRUE(engine.ComputeFloorRows(0));

    ASSERT_TRUE(engine.AssembleStaircase(0));
    TGridData* grid = engine.StaircaseGrid[0].get();
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(grid->Analyse(false));
    EXPECT_EQ(engine.InsertionSlips(), 0);
    // From the entry on row 0 straight down to the closed end of floor 0.
    const int32_t column = engine.RiserEntryColumn[0][0];
    const int32_t last = engine.FloorRow[0][0] + 1;
    EXPECT_EQ(grid->CellAt(column, 0)->TypeCode, CodeEntryAnchor);
    for (int32_t r = 1; r < last; ++r) {
        TCella* cell = grid->CellAt(column, r);
        ASSERT_NE(cell, nullptr) << r;
        EXPECT_EQ(cell->TypeCode, CodeCable) << r;
        EXPECT_TRUE(cell->CanOverlapCell()) << "a straight piece on row " << r;
    }
    ASSERT_NE(grid->CellAt(column, last), nullptr);
    EXPECT_EQ(grid->CellAt(column, last)->TypeCode, CodeTermination);
}

}  // namespace
