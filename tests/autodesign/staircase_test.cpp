// The staircase's floor rows, the amplifier floors fixed by switch brands,
// and the banks of line amplifiers across the satellite lines.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "app/grid.h"
#include "autodesign/engine.h"
#include "cells/cell.h"
#include "core/reporter.h"
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
    const Case cases[] = {
        {"one split, the top block on row 0", 0, 1, 0, 0, 1},
        {"two splits, the top block on row 1", 0, 2, 1, 0, 1},
        {"a top block low enough: the shorter staircase keeps row 0", 0, 1, 3, 0, 0},
        {"a top block lower than the splits need: not moved up", 0, 2, 5, 0, 0},
        {"satellite: its block a row below an empty terrestrial chain", 1, 2, 0, 0, 1},
        {"satellite: its block below a terrestrial chain of 3", 1, 2, 0, 3, 0},
    };
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
    const Case cases[] = {
        {"4 lines, 5-input amplifier: one column left, the spare input and output closed",
         4, 5, 0.0f, 110.0f, 0.0f, {{C - 1, 5}}, {{C - 1, R - 1}, {C - 1, R + 2}}},
        {"8 lines, 4-input amplifiers: two side by side", 8, 4, 110.0f, 110.0f, 0.0f, {{C, 4}, {C + 4, 4}}, {}},
        {"4 lines whose 4-input amplifiers deliver too little: 5 inputs", 4, 4, 100.0f, 112.0f, 105.0f,
         {{C - 1, 5}}, {{C - 1, R - 1}, {C - 1, R + 2}}},
        {"no level for the amplifier: nothing", 4, 4, 0.0f, 0.0f, 0.0f, {}, {}},
    };
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

}  // namespace
