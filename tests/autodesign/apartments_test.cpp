// The inside of an apartment as the designer draws it in its work grid:
// which distribution each outlet count and layout gets from the chosen
// splitters and taps, where its cells stand, and that the grid it leaves
// passes the connectivity analysis.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "autodesign/engine.h"
#include "cells/cell.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "platform/application.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"

namespace {

constexpr int32_t Y = 25;  // the entry row of an apartment part

class ApartmentsTest : public GlobalsTest {
protected:
    ApartmentsTest() : engine(&globals.Reporter()), add(*engine.Components) {
        globals.Reporter().SetTarget(nullptr);
        Application->Script().Reset();
        engine.TapNetwork[0] = 1;
    }
    // Terrestrial outlets of the role, each type when asked for.
    void Outlets(bool direct, bool through, bool terminal, int role = RoleTer) {
        const std::vector<int32_t> slots = DesignComponents::TerSlots();
        if (direct) engine.OutletChoice[OutletDirect][role] = add.Outlet(14, 1, 0, slots);
        if (through) engine.OutletChoice[OutletThrough][role] = add.Outlet(15, 1, 0, slots);
        if (terminal) engine.OutletChoice[OutletTerminal][role] = add.Outlet(54, 1, 0, slots);
    }
    bool Draw(int32_t outlets, int32_t layout) {
        engine.ClassifyComponents();
        return engine.PlaceApartmentTaps(Grid(), 0, 0, Y, outlets, layout, 5, 5);
    }
    TGridData* Grid() { return engine.WorkGrids[0].get(); }
    int32_t TypeAt(int32_t column, int32_t row) {
        TCella* c = Grid()->CellAt(column, row);
        return c ? c->TypeCode : -1;
    }
    // How many cells of each type the grid holds.
    std::map<int32_t, int> Census() {
        std::map<int32_t, int> count;
        std::vector<TCella*> seen;
        for (int32_t r = 0; r < Grid()->Rows; ++r)
            for (int32_t c = 0; c < Grid()->Columns; ++c)
                if (TCella* cell = Grid()->CellAt(c, r); cell && cell->Column == c && cell->Row == r)
                    ++count[cell->TypeCode];
        return count;
    }
    TCreaAuto engine;
    DesignComponents add;
};

TEST_F(ApartmentsTest, LinesShareTheOutletsFirstLinesFirst) {
    struct Case {
        int32_t outlets, layout;
        std::vector<int32_t> lines;
    };
    const Case cases[] = {
        {7, 3, {3, 2, 2}}, {5, 2, {3, 2}}, {1, 6, {1}}, {3, 0, {1, 1, 1}}, {3, 7, {1, 1, 1}}, {0, 2, {}},
    };
    for (const Case& c : cases) {
        const int32_t lines = TCreaAuto::ApartmentLineCount(c.outlets, c.layout);
        std::vector<int32_t> got;
        for (int32_t i = 0; i < lines; ++i) got.push_back(TCreaAuto::OutletsOfLine(c.outlets, lines, i));
        EXPECT_EQ(got, c.lines) << c.outlets << " outlets, layout " << c.layout;
    }
}

// Each drawing: what stands where, how many outlets and terminations, and a
// grid that passes the analysis.
TEST_F(ApartmentsTest, EachOutletCountGetsItsDistribution) {
    struct Case {
        const char* what;
        int32_t outlets, layout;
        std::vector<int32_t> splitters, taps;
        bool direct;
        std::vector<std::pair<std::pair<int32_t, int32_t>, int32_t>> cells;  // (column, row) -> type
        std::map<int32_t, int> census;  // direct, through, terminal outlets and terminations
    };
    // clang-format off
    const Case cases[] = {
        {"one outlet: the direct outlet",
         1,
         0,
         {2},
         {4},
         true,
         {{{0, Y}, 52}, {{1, Y}, 81}, {{2, Y}, 14}},
         {{14, 1}, {15, 0}, {54, 0}, {16, 0}}},
        {"one outlet on layout 6: one line",
         1,
         6,
         {2},
         {4},
         true,
         {{{2, Y}, 14}},
         {{14, 1}, {15, 0}, {54, 0}, {16, 0}}},
        {"three single outlets: the 1x4 star, its fourth output closed",
         3,
         0,
         {2, 4},
         {},
         false,
         {{{2, Y}, 3}, {{3, Y + 1}, 16}, {{2, Y - 2}, 54}, {{2, Y + 2}, 54}, {{3, Y - 2}, 54}},
         {{14, 0}, {15, 0}, {54, 3}, {16, 1}}},
        {"three single outlets and a 1x3: the third line leaves to the right",
         3,
         0,
         {3},
         {},
         false,
         {{{2, Y}, 3}, {{3, Y}, 81}, {{4, Y}, 54}, {{2, Y - 2}, 54}, {{2, Y + 2}, 54}},
         {{14, 0}, {15, 0}, {54, 3}, {16, 0}}},
        {"two single outlets and only a 1x3: its third output closed on its own square",
         2,
         0,
         {3},
         {},
         false,
         {{{2, Y}, 3}, {{3, Y}, 16}, {{2, Y - 2}, 54}, {{2, Y + 2}, 54}},
         {{14, 0}, {15, 0}, {54, 2}, {16, 1}}},
        {"four lines and only 1x2 splitters: the two-level tree",
         4,
         4,
         {2},
         {},
         false,
         {{{2, Y}, 3},
          {{3, Y - 2}, 3},
          {{3, Y + 2}, 3},
          {{5, Y - 3}, 54},
          {{5, Y - 1}, 54},
          {{5, Y + 1}, 54},
          {{5, Y + 3}, 54}},
         {{14, 0}, {15, 0}, {54, 4}, {16, 0}}},
        {"four lines and a 1x4: the star",
         4,
         4,
         {2, 4},
         {},
         false,
         {{{2, Y}, 3}, {{3, Y - 2}, 54}},
         {{14, 0}, {15, 0}, {54, 4}, {16, 0}}},
        {"five outlets on two lines: 3 turning right above, 2 straight below",
         5,
         2,
         {2},
         {},
         false,
         {{{2, Y}, 3},
          {{2, Y - 2}, 81},
          {{3, Y - 2}, 15},
          {{9, Y - 2}, 54},
          {{2, Y + 2}, 15},
          {{2, Y + 5}, 54}},
         {{14, 0}, {15, 3}, {54, 2}, {16, 0}}},
        {"seven single outlets: a trunk of two 4-output taps with direct outlets",
         7,
         7,
         {2, 4},
         {4},
         true,
         {{{2, Y}, 6}, {{6, Y}, 6}, {{8, Y}, 16}, {{7, Y + 1}, 16}, {{2, Y - 2}, 14}, {{6, Y + 2}, 14}},
         {{14, 7}, {15, 0}, {54, 0}, {16, 2}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        engine.Components->Clear();
        engine.OutletChoice[OutletDirect][RoleTer] = nullptr;
        engine.OutletChoice[OutletThrough][RoleTer] = engine.OutletChoice[OutletTerminal][RoleTer] = nullptr;
        engine.WorkGrids[0] = std::make_unique<TGridData>(nullptr, WorkGridSize, WorkGridSize, GridWork);
        for (int32_t n : c.splitters) add.Splitter(1, n, 4.0f, 5.0f);
        for (int32_t n : c.taps) add.Tap(6, 1, n);
        Outlets(c.direct, true, true);
        EXPECT_TRUE(Draw(c.outlets, c.layout));
        EXPECT_EQ(ShownMessage(), "");
        for (const auto& [square, type] : c.cells)
            EXPECT_EQ(TypeAt(square.first, square.second), type) << square.first << ", " << square.second;
        std::map<int32_t, int> census = Census();
        for (const auto& [type, count] : c.census) EXPECT_EQ(census[type], count) << "type " << type;
        EXPECT_EQ(census[52], 1);
        EXPECT_TRUE(Grid()->Analyse(false));
        EXPECT_EQ(engine.InsertionSlips(), 0);
    }
}

TEST_F(ApartmentsTest, NoPartWithoutOutletsAndNoTrunkWithoutTaps) {
    Outlets(true, true, false);
    add.Splitter(1, 2, 4.0f, 5.0f);
    EXPECT_TRUE(Draw(0, 2));
    EXPECT_TRUE(Census().empty());
    EXPECT_FALSE(Draw(7, 7));
    EXPECT_EQ(ShownMessage(), "Non esistono derivatori selezionati che siano adeguati agli appartamenti.");
}

TEST_F(ApartmentsTest, ApartmentMultiswitch) {
    engine.TapNetwork[0] = 0;
    engine.MultiswitchSat = 1;
    engine.LineCount[1] = 4;
    engine.OutletChoice[OutletDirect][RoleSatDc] = add.Outlet(14, 1, 1, DesignComponents::SatSlots(), true);
    add.Switch(47, 5, 8);
    engine.ClassifyComponents();
    TGridData* grid = engine.WorkGrids[1].get();
    ASSERT_TRUE(engine.PlaceApartmentSwitch(grid, 0, Y, 3, 0, 5, 5));
    // Four line entries, the spare fifth input closed, the switch below them.
    for (int32_t i = 0; i < 4; ++i)
        EXPECT_EQ(grid->CellAt(0, Y + i) ? grid->CellAt(0, Y + i)->TypeCode : -1, 52);
    TCella* multiswitch = grid->CellAt(2, Y + 3);
    ASSERT_NE(multiswitch, nullptr);
    EXPECT_EQ(multiswitch->TypeCode, 47);
    EXPECT_EQ(multiswitch->Inputs, 5);
    EXPECT_TRUE(grid->Analyse(false));

    // Five lines and no switch of five inputs: no retry with six.
    engine.WorkGrids[1] = std::make_unique<TGridData>(nullptr, WorkGridSize, WorkGridSize, GridWork);
    engine.LineCount[1] = 5;
    engine.Components->Clear();
    engine.OutletChoice[OutletDirect][RoleSatDc] = add.Outlet(14, 1, 1, DesignComponents::SatSlots(), true);
    add.Switch(47, 6, 8);
    engine.ClassifyComponents();
    EXPECT_FALSE(engine.PlaceApartmentSwitch(engine.WorkGrids[1].get(), 0, Y, 3, 0, 5, 5));
    EXPECT_EQ(
        ShownMessage(),
        "Non sono stati selezionati switch adeguati per gli appartamenti. Gli switch richiesti non devono "
        "alimentare o trasferire alimentazione ai montanti.");
}

TEST_F(ApartmentsTest, MultiswitchLinesAndRadialSingleOutlets) {
    engine.TapNetwork[0] = 0;
    engine.MultiswitchSat = 1;
    const std::vector<int32_t> sat = DesignComponents::SatSlots();
    engine.OutletChoice[OutletDirect][RoleSatDc] = add.Outlet(14, 1, 1, sat, true);
    engine.OutletChoice[OutletThrough][RoleSatDc] = add.Outlet(15, 1, 1, sat, true);
    engine.OutletChoice[OutletTerminal][RoleSatDc] = add.Outlet(54, 1, 1, sat, true);
    // Only the splitter passing DC may serve a multiswitch line.
    add.Splitter(1, 4, 7.0f, 9.0f);
    add.Splitter(1, 2, 4.0f, 5.0f, TPowerKind::PassesDc);
    engine.ClassifyComponents();
    {
        SCOPED_TRACE("multiswitch along the staircase: two lines from a splitter passing DC");
        engine.MultiswitchStaircase = 1;
        TGridData* grid = engine.WorkGrids[1].get();
        ASSERT_TRUE(engine.PlaceApartmentSwitch(grid, 0, Y, 2, 2, 5, 5));
        ASSERT_NE(grid->CellAt(2, Y), nullptr);
        EXPECT_EQ(grid->CellAt(2, Y)->TapOutputs, 2);
        EXPECT_TRUE(grid->Analyse(false));
    }
    {
        SCOPED_TRACE("radial with single outlets: a cable from the switch to each outlet");
        engine.MultiswitchStaircase = 0;
        engine.MultiswitchRadial = 1;
        engine.WorkGrids[1] = std::make_unique<TGridData>(nullptr, WorkGridSize, WorkGridSize, GridWork);
        TGridData* grid = engine.WorkGrids[1].get();
        ASSERT_TRUE(engine.PlaceApartmentSwitch(grid, 0, Y, 3, DesignLayoutMax, 5, 5));
        for (int32_t i = 0; i < 3; ++i) {
            ASSERT_NE(grid->CellAt(2, Y + i), nullptr);
            EXPECT_EQ(grid->CellAt(2, Y + i)->TypeCode, 14);
        }
        EXPECT_TRUE(grid->Analyse(false));
        EXPECT_EQ(engine.InsertionSlips(), 0);
    }
}

}  // namespace

namespace {

// Whole apartment blocks of staircase 0: the parts stacked, their entry rows,
// copies of equal apartments and the placement message.
class ApartmentBlocksTest : public ApartmentsTest {
protected:
    ApartmentBlocksTest() {
        engine.Reset();
        engine.TapNetwork[0] = 1;
        TScala& s = engine.Settings->Building->Staircases[0];
        s.FloorCount = 2;
        for (TPiano& floor : s.Floors) floor.ApartmentCount = 3;
    }
    TAppartamento& Record(int32_t f, int32_t a) {
        return engine.Settings->Building->Staircases[0].Floors[f].Apartments[a];
    }
    void Set(int32_t f, int32_t a, int32_t ter, int32_t sat, int32_t layoutTer = 0, int32_t layoutSat = 0) {
        Record(f, a) = TAppartamento{ter, sat, layoutTer, layoutSat, 5, 5};
    }
    TGridData* Block(int32_t f, int32_t a) { return engine.ApartmentBlock[0][f][a].get(); }
    int32_t Row(int32_t f, int32_t a, int kind) { return engine.ApartmentInputRow[0][f][a][kind]; }
    int32_t BlockType(int32_t f, int32_t a, int32_t column, int32_t row) {
        TCella* c = Block(f, a) ? Block(f, a)->CellAt(column, row) : nullptr;
        return c ? c->TypeCode : -1;
    }
};

TEST_F(ApartmentBlocksTest, PartsStackedWithTheirEntryRows) {
    Outlets(true, true, true);
    Outlets(true, true, true, RoleSat);
    add.Splitter(1, 2, 4.0f, 5.0f);
    engine.ClassifyComponents();
    {
        SCOPED_TRACE("one terrestrial outlet: the direct outlet at (2, 0)");
        Set(0, 0, 1, 0);
        ASSERT_TRUE(engine.PlaceApartments(0, 0, 0)) << ShownMessage();
        EXPECT_EQ(BlockType(0, 0, 0, 0), 52);
        EXPECT_EQ(BlockType(0, 0, 2, 0), 14);
        EXPECT_EQ(Row(0, 0, 0), 0);
        EXPECT_EQ(Row(0, 0, 1), -1);
    }
    engine.TapNetwork[1] = 1;
    {
        SCOPED_TRACE("satellite outlets only: no terrestrial part");
        Set(0, 1, 0, 1);
        ASSERT_TRUE(engine.PlaceApartments(0, 0, 1)) << ShownMessage();
        EXPECT_EQ(Row(0, 1, 0), -1);
        EXPECT_EQ(Row(0, 1, 1), 0);
        EXPECT_EQ(Block(0, 1)->Rows, 1);
    }
    {
        SCOPED_TRACE("both kinds: two lines of terrestrial outlets above the satellite outlet");
        Set(0, 2, 2, 1);
        ASSERT_TRUE(engine.PlaceApartments(0, 0, 2)) << ShownMessage();
        const int32_t rowTer = Row(0, 2, 0), rowSat = Row(0, 2, 1);
        EXPECT_EQ(BlockType(0, 2, 0, rowTer), 52);
        EXPECT_EQ(BlockType(0, 2, 0, rowSat), 52);
        EXPECT_GT(rowTer, 0);  // the lines go up from the splitter
        EXPECT_EQ(rowSat, Block(0, 2)->Rows - 1);
        EXPECT_TRUE(Block(0, 2)->Analyse(false));
    }
    {
        SCOPED_TRACE("an equal apartment on the next floor is a copy");
        Set(1, 0, 2, 1);
        ASSERT_TRUE(engine.PlaceApartments(0, 1, 0));
        EXPECT_NE(Block(1, 0), Block(0, 2));
        EXPECT_EQ(Row(1, 0, 0), Row(0, 2, 0));
        EXPECT_EQ(Row(1, 0, 1), Row(0, 2, 1));
        EXPECT_EQ(Block(1, 0)->Rows, Block(0, 2)->Rows);
        for (int32_t r = 0; r < Block(0, 2)->Rows; ++r)
            for (int32_t c = 0; c < Block(0, 2)->Columns; ++c)
                EXPECT_EQ(BlockType(1, 0, c, r), BlockType(0, 2, c, r)) << c << "," << r;
        EXPECT_TRUE(Block(1, 0)->Analyse(false));
        EXPECT_EQ(engine.InsertionSlips(), 0);
        // The first block keeps its copy for the later equal apartments.
        EXPECT_NE(engine.ApartmentCopy[0][0][2], nullptr);
    }
}

TEST_F(ApartmentBlocksTest, ABlockThatFailsItsAnalysisIsReported) {
    // An "outlet" of two inputs: its second input meets no cable.
    engine.OutletChoice[OutletDirect][RoleTer] = add.Tap(6, 2, 2);
    engine.ClassifyComponents();
    Set(1, 2, 1, 0);
    EXPECT_FALSE(engine.PlaceApartments(0, 1, 2));
    EXPECT_EQ(ShownMessage(), "Non riesco a posizionare i componenti. Appartamento 012");
}

}  // namespace
