// The floor blocks of a staircase's riser: the taps or switches of each
// floor, where the chain ends, the links to the apartments and between
// floors, the block's cut-out, and the floor layout's figures.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/anchors.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "core/libraries.h"
#include "core/options.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "platform/application.h"
#include "platform/stdctrls.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"

namespace {

constexpr int32_t Entry = 52, Exit = 53, Tap = 6, ClosingTap = 49, Termination = 16, Cable = 81;
constexpr int32_t SwitchCode = 10, AmplifierCode = 21;

class FloorsTest : public GlobalsTest {
protected:
    FloorsTest() : engine(&globals.Reporter()), add(*engine.Components) {
        globals.Reporter().SetTarget(nullptr);
        Application->Script().Reset();
        engine.Reset();
        engine.TapNetwork[0] = 1;
        engine.LineCount[0] = 1;
        Floors({1});
    }
    // Staircase 0 with these apartment counts from floor 0 up; every
    // apartment a block whose entries stand at rows 0 (terrestrial) and 1
    // up to the lines (satellite).
    void Floors(const std::vector<int32_t>& apartments) {
        // The floor blocks go first: their exits hold the apartments' entries.
        for (auto& floor : engine.FloorGrid[0])
            for (auto& block : floor) block.reset();
        TScala& s = engine.Settings->Building->Staircases[0];
        s.FloorCount = static_cast<int32_t>(apartments.size());
        s.FloorSpacing = 3;
        for (size_t f = 0; f < apartments.size(); ++f) {
            s.Floors[f].ApartmentCount = apartments[f];
            for (int32_t a = 0; a < apartments[f]; ++a) Apartment(static_cast<int32_t>(f), a, 2, 3, 0, 1);
        }
    }
    void Apartment(int32_t f, int32_t a, int32_t columns, int32_t rows, int32_t rowTer, int32_t rowSat,
                   int32_t lines = 1) {
        auto& block = engine.ApartmentBlock[0][f][a];
        block = std::make_unique<TGridData>(nullptr, columns, rows, GridWork);
        block->InsertCell(std::make_unique<TAncoraI>(nullptr, 3, 0, 0, rowTer), false, 0);
        for (int32_t b = 0; b < lines; ++b)
            block->InsertCell(std::make_unique<TAncoraI>(nullptr, 3, 0, 0, rowSat + b), false, 0);
        engine.ApartmentInputRow[0][f][a][0] = rowTer;
        engine.ApartmentInputRow[0][f][a][1] = rowSat;
    }
    TGridData* Block(int32_t f, int kind = 0) { return engine.FloorGrid[0][f][kind].get(); }
    int32_t TypeAt(int32_t f, int kind, int32_t column, int32_t row) {
        TGridData* g = Block(f, kind);
        TCella* c = g ? g->CellAt(column, row) : nullptr;
        return c ? c->TypeCode : -1;
    }
    std::map<int32_t, int> Census(int32_t f, int kind = 0) {
        std::map<int32_t, int> count;
        TGridData* g = Block(f, kind);
        for (int32_t r = 0; g && r < g->Rows; ++r)
            for (int32_t c = 0; c < g->Columns; ++c)
                if (TCella* cell = g->CellAt(c, r); cell && cell->Column == c && cell->Row == r)
                    ++count[cell->TypeCode];
        return count;
    }
    // The cell an exit anchor of a block is linked to.
    TCella* LinkOf(int32_t f, int kind, int32_t column, int32_t row) {
        TCella* c = Block(f, kind) ? Block(f, kind)->CellAt(column, row) : nullptr;
        return c && c->TypeCode == Exit && !c->OutputCell.empty() ? c->OutputCell[0] : nullptr;
    }
    // A new run for the reporter: its next message shows again.
    void Fresh() {
        globals.Reporter().SetTarget(nullptr);
        Application->Script().Reset();
    }
    AnsiString Message() {
        const auto& boxes = Application->Script().MessageBoxes;
        return boxes.empty() ? AnsiString() : boxes.back().Text;
    }
    TCreaAuto engine;
    DesignComponents add;
};

TEST_F(FloorsTest, TapChainsOfOneFloor) {
    struct Case {
        const char* what;
        std::vector<std::pair<int32_t, int32_t>> taps;  // (code, outputs)
        int32_t apartments;
        std::vector<std::pair<std::pair<int32_t, int32_t>, int32_t>> cells;  // (column, row) -> type
        std::map<int32_t, int> census;  // exits, terminations, taps, closing taps
        int32_t chainLength, chainEnd, riserColumn;
    };
    // clang-format off
    const Case cases[] = {
        {"five apartments, only 4-output taps: 4 and 4, the last three outputs closed",
         {{Tap, 4}},
         5,
         {{{1, 0}, Entry}, {{1, 1}, Tap}, {{1, 3}, Cable}, {{1, 4}, Tap}, {{1, 6}, Termination},
          {{2, 4}, Exit}, {{0, 4}, Termination}, {{2, 5}, Termination}, {{0, 5}, Termination},
          {{2, 1}, Exit}, {{0, 1}, Exit}, {{2, 2}, Exit}, {{0, 2}, Exit}},
         {{Exit, 5}, {Termination, 4}, {Tap, 2}, {ClosingTap, 0}},
         5, 1, 1},
        {"three apartments, only 2-output taps: 2 and 2, the fourth output closed",
         {{Tap, 2}},
         3,
         {{{1, 1}, Tap}, {{1, 2}, Cable}, {{1, 3}, Tap}, {{2, 3}, Exit}, {{0, 3}, Termination}},
         {{Exit, 3}, {Termination, 2}, {Tap, 2}},
         3, 1, 1},
        {"a closing tap of the last part's size ends the chain on floor 0",
         {{Tap, 4}, {ClosingTap, 4}},
         4,
         {{{1, 1}, ClosingTap}},
         {{Exit, 4}, {Termination, 0}, {Tap, 0}, {ClosingTap, 1}},
         2, 0, 1},
        {"only one-output taps: nothing left of the riser, which keeps a free column",
         {{Tap, 1}},
         2,
         {{{0, 0}, -1}, {{1, 0}, Entry}, {{1, 1}, Tap}, {{1, 3}, Tap}, {{2, 1}, Exit}, {{2, 3}, Exit}},
         {{Exit, 2}, {Termination, 1}, {Tap, 2}},
         3, 1, 1},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        engine.Components->Clear();
        for (auto [code, outputs] : c.taps) add.Tap(code, 1, outputs);
        engine.ClassifyComponents();
        Floors({c.apartments});
        ASSERT_TRUE(engine.PlaceFloors(0, 0, 0)) << Message();
        ASSERT_NE(Block(0), nullptr);
        EXPECT_TRUE(Block(0)->Analyse(false));
        EXPECT_EQ(engine.InsertionSlips(), 0);
        for (const auto& [at, type] : c.cells)
            EXPECT_EQ(TypeAt(0, 0, at.first, at.second), type) << at.first << "," << at.second;
        const auto census = Census(0);
        for (const auto& [type, n] : c.census)
            EXPECT_EQ(census.count(type) ? census.at(type) : 0, n) << "type " << type;
        EXPECT_EQ(engine.ChainLength[0][0][0], c.chainLength);
        EXPECT_EQ(engine.ChainEnd[0][0][0], c.chainEnd);
        EXPECT_EQ(engine.RiserColumn[0][0][0], c.riserColumn);
    }
    // The exits lead to the apartments' entries, in order.
    EXPECT_EQ(LinkOf(0, 0, 2, 1), engine.ApartmentBlock[0][0][0]->CellAt(0, 0));
    EXPECT_EQ(LinkOf(0, 0, 2, 3), engine.ApartmentBlock[0][0][1]->CellAt(0, 0));
}

TEST_F(FloorsTest, ARiserGoesOnToTheFloorBelowAndTheFloorAboveLinksToIt) {
    add.Tap(Tap, 1, 2);
    engine.ClassifyComponents();
    Floors({2, 0, 2});
    for (int32_t f = 0; f < 3; ++f) ASSERT_TRUE(engine.PlaceFloorBothKinds(0, f)) << Message();
    EXPECT_EQ(Block(0, 1), nullptr);  // no satellite network, no block
    // Floor 1 has no apartments: entry, one riser segment of the floor
    // spacing, exit, linked on to floor 0.
    EXPECT_EQ(Census(1), (std::map<int32_t, int>{{Entry, 1}, {Cable, 1}, {Exit, 1}}));
    auto* spacing = dynamic_cast<TNCavo*>(Block(1)->CellAt(engine.RiserColumn[0][1][0], 1));
    ASSERT_NE(spacing, nullptr);
    EXPECT_FLOAT_EQ(spacing->PassAttenuation(), 3.0f);
    const int32_t r0 = engine.RiserColumn[0][0][0], r1 = engine.RiserColumn[0][1][0],
                  r2 = engine.RiserColumn[0][2][0];
    EXPECT_EQ(LinkOf(1, 0, r1, 2), Block(0)->CellAt(r0, 0));
    EXPECT_EQ(engine.ChainEnd[0][2][0], 2);
    EXPECT_EQ(LinkOf(2, 0, r2, Block(2)->Rows - 1), Block(1)->CellAt(r1, 0));
    EXPECT_EQ(Block(0)->CellAt(r0, 0)->InputCell[0], Block(1)->CellAt(r1, 2));
    // A floor built again is unlinked from above and linked again.
    engine.UnlinkFloorFromAbove(0, 1, 0);
    EXPECT_EQ(LinkOf(2, 0, r2, Block(2)->Rows - 1), nullptr);
    ASSERT_TRUE(engine.PlaceFloors(0, 1, 0));
    EXPECT_EQ(Block(1)->CellAt(r1, 0)->InputCell[0], Block(2)->CellAt(r2, Block(2)->Rows - 1));
}

TEST_F(FloorsTest, NoTapAtAll) {
    engine.ClassifyComponents();
    EXPECT_FALSE(engine.PlaceFloors(0, 0, 0));
    EXPECT_EQ(Message(), "Non esistono derivatori selezionati. Impossibile completare i piani.");
}

// Both tap networks, riser blocks of 3 x 7 with chains of 5, apartment blocks
// of 4 x 6 with their entries at rows 1 and 4, one row between pairs and
// between the two chains: the figures worked by hand for 0 to 6 apartments.
TEST_F(FloorsTest, LayoutOfAFloorForEachApartmentCount) {
    engine.TapNetwork[1] = 1;
    engine.LineCount[1] = 1;
    engine.Settings->APDistAptPiano = 1;
    engine.Settings->APDistDerTS = 1;
    struct Case {
        int32_t n;
        std::vector<int32_t> offsets;
        int32_t chainOffset, cableColumns, width, height, tail;
    };
    // clang-format off
    const Case cases[] = {
        {0, {}, 0, 0, 6, 13, 1},
        {1, {1}, 1, 1, 16, 14, 1},
        {2, {1, 1}, 1, 1, 16, 14, 1},
        {3, {1, 1, 16}, 5, 2, 18, 22, 0},
        {4, {1, 1, 16, 16}, 5, 2, 18, 22, 0},
        {5, {1, 1, 8, 8, 16}, 5, 4, 22, 22, 0},
        {6, {1, 1, 8, 8, 16, 16}, 5, 4, 22, 22, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        engine.Settings->Building->Staircases[0].Floors[0].ApartmentCount = c.n;
        for (int32_t a = 0; a < c.n; ++a) Apartment(0, a, 4, 6, 1, 4);
        for (int kind = 0; kind < 2; ++kind) {
            engine.FloorGrid[0][0][kind] = std::make_unique<TGridData>(nullptr, 3, 7, GridWork);
            engine.ChainLength[0][0][kind] = 5;
        }
        engine.ChainEnd[0][0][1] = 1;
        EXPECT_TRUE(engine.LayoutFloorApartments(0, 0));
        EXPECT_EQ(std::vector<int32_t>(engine.ApartmentOffset[0][0], engine.ApartmentOffset[0][0] + c.n),
                  c.offsets);
        EXPECT_EQ(engine.TapChainOffset[0][0], c.chainOffset);
        EXPECT_EQ(engine.FloorCableColumns[0][0], c.cableColumns);
        EXPECT_EQ(engine.FloorWidth[0][0], c.width);
        EXPECT_EQ(engine.FloorHeight[0][0], c.height);
        EXPECT_EQ(engine.FloorTail[0][0], c.tail);
    }
}

// A multiswitch in the apartment: each of the four lines gets its own copy of
// the floor's taps, one tap lower than the line before, and the outputs cross
// the other lines to the apartments' line entries.
TEST_F(FloorsTest, TapsOfEveryLineOfAnApartmentMultiswitch) {
    engine.TapNetwork[0] = 0;
    engine.MultiswitchSat = 1;
    engine.LineCount[1] = 4;
    add.Tap(Tap, 1, 2);
    engine.ClassifyComponents();
    TScala& s = engine.Settings->Building->Staircases[0];
    s.FloorCount = 2;
    for (int32_t f = 0; f < 2; ++f) {
        s.Floors[f].ApartmentCount = 2;
        for (int32_t a = 0; a < 2; ++a) Apartment(f, a, 2, 6, 0, 1, 4);
    }
    for (int32_t f = 0; f < 2; ++f) {
        ASSERT_TRUE(engine.PlaceFloorBothKinds(0, f)) << Message();
        EXPECT_EQ(Block(f, 0), nullptr);
        ASSERT_NE(Block(f, 1), nullptr);
        EXPECT_TRUE(Block(f, 1)->Analyse(false)) << "floor " << f;
        EXPECT_EQ(engine.InsertionSlips(), 0);
        EXPECT_EQ(engine.ChainLength[0][f][1], 1);
    }
    const int32_t r = engine.RiserColumn[0][1][1];
    for (int32_t b = 0; b < 4; ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(TypeAt(1, 1, r + b, 1 + b), Tap);
        // The right output reaches column r + 4 across the later lines, the
        // left one column r - 1 across the earlier lines.
        EXPECT_EQ(LinkOf(1, 1, r + 4, 1 + b), engine.ApartmentBlock[0][1][0]->CellAt(0, 1 + b));
        EXPECT_EQ(LinkOf(1, 1, r - 1, 1 + b), engine.ApartmentBlock[0][1][1]->CellAt(0, 1 + b));
        // The lines leave the floor on one row, below a segment of every line
        // (the last line's too, which carries the floor spacing): exits
        // above, terminations on floor 0.
        EXPECT_EQ(TypeAt(1, 1, r + b, 5), Cable);
        EXPECT_EQ(LinkOf(1, 1, r + b, 6), Block(0, 1)->CellAt(engine.RiserColumn[0][0][1] + b, 0));
        EXPECT_EQ(TypeAt(0, 1, engine.RiserColumn[0][0][1] + b, 6), Termination);
    }
}

class StaircaseSwitchFloorsTest : public FloorsTest {
protected:
    StaircaseSwitchFloorsTest() {
        engine.TapNetwork[0] = 0;
        engine.MultiswitchSat = 1;
        engine.MultiswitchStaircase = 1;
        engine.LineCount[1] = 4;
    }
};

TEST_F(StaircaseSwitchFloorsTest, SwitchSizesAlongTheStaircase) {
    struct Case {
        const char* what;
        int32_t lines;
        std::vector<int32_t> outputs;  // of the 5-input line switches offered
        std::vector<int32_t> placed;   // outputs of the switches placed, top down
        int32_t terminations;
    };
    // clang-format off
    const Case cases[] = {
        {"5 lines, 6 apartments: one switch of 6", 5, {4, 6, 8}, {6}, 5},
        {"only 4 and 8 outputs: two of 4, two outputs closed", 5, {4, 8}, {4, 4}, 2 + 5},
        {"4 lines on 5-input switches: the spare input and through output closed", 4, {6}, {6}, 2 + 4},
        {"only 3 outputs: two of 3, the second one mirrored", 5, {3}, {3, 3}, 5},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        engine.Components->Clear();
        for (int32_t o : c.outputs) add.Switch(SwitchCode, 5, o, PositionLine);
        engine.ClassifyComponents();
        engine.LineCount[1] = c.lines;
        Floors({6});
        ASSERT_TRUE(engine.PlaceFloors(0, 0, 1)) << Message();
        ASSERT_NE(Block(0, 1), nullptr);
        EXPECT_TRUE(Block(0, 1)->Analyse(false));
        EXPECT_EQ(engine.InsertionSlips(), 0);
        std::vector<int32_t> placed;
        TGridData* g = Block(0, 1);
        for (int32_t r = 0; r < g->Rows; ++r)
            for (int32_t col = 0; col < g->Columns; ++col)
                if (TCella* cell = g->CellAt(col, r);
                    cell && cell->TypeCode == SwitchCode && cell->Row == r && cell->Column == col)
                    placed.push_back(cell->TapOutputs);
        EXPECT_EQ(placed, c.placed);
        const auto census = Census(0, 1);
        EXPECT_EQ(census.count(Exit) ? census.at(Exit) : 0, 6);
        EXPECT_EQ(census.count(Termination) ? census.at(Termination) : 0, c.terminations);
        EXPECT_EQ(engine.ChainEnd[0][0][1], 1);
    }
}

TEST_F(StaircaseSwitchFloorsTest, NoSwitchForTheLines) {
    add.Switch(SwitchCode, 4, 6, 0);  // not a line switch
    engine.ClassifyComponents();
    Floors({2, 2});
    EXPECT_TRUE(engine.PlaceFloors(0, 1, 1)) << Message();  // the top floor takes any switch
    Fresh();
    EXPECT_FALSE(engine.PlaceFloors(0, 0, 1));
    EXPECT_EQ(
        Message(),
        "Non sono stati selezionati switch adeguati per le scale. Gli switch devono essere switch di linea.");
    engine.Components->Clear();
    engine.ClassifyComponents();
    Fresh();
    EXPECT_FALSE(engine.PlaceFloors(0, 1, 1));
    EXPECT_EQ(Message(), "Non sono stati selezionati switch adeguati per le scale.");
}

TEST_F(StaircaseSwitchFloorsTest, AnAmplifierFloorWithASpareInput) {
    add.Switch(SwitchCode, 4, 2, PositionLine);
    add.Amplifier(AmplifierCode, 5, PositionLine, 110.0f, 110.0f);
    engine.ClassifyComponents();
    engine.LineAmplifierFloor[0][0] = 1;
    Floors({2});
    ASSERT_TRUE(engine.PlaceFloors(0, 0, 1)) << Message();
    EXPECT_TRUE(Block(0, 1)->Analyse(false));
    EXPECT_EQ(engine.InsertionSlips(), 0);
    const int32_t r = engine.RiserColumn[0][0][1];
    // One amplifier one column left of the lines, its spare input and output closed.
    TCella* amplifier = Block(0, 1)->CellAt(r - 1, 1);
    ASSERT_NE(amplifier, nullptr);
    EXPECT_EQ(amplifier->TypeCode, AmplifierCode);
    EXPECT_EQ(amplifier->Inputs, 5);
    EXPECT_EQ(amplifier->Positions[1], 0x40000004u);
    EXPECT_EQ(TypeAt(0, 1, r - 1, 0), Termination);
    EXPECT_EQ(TypeAt(0, 1, r - 1, 3), Termination);
    EXPECT_EQ(Census(0, 1)[AmplifierCode], 1);
}

}  // namespace

namespace {

// Riser sizing on fixture taps: the levels the riser asks for against those
// the head end gives, and the messages when no model or no level serves.
class RiserSizingTest : public FloorsTest {
protected:
    RiserSizingTest() {
        add.Tap(Tap, 1, 2);
        engine.ClassifyComponents();
    }
    bool Build(const std::vector<int32_t>& apartments) {
        Floors(apartments);
        for (int32_t f = 0; f < static_cast<int32_t>(apartments.size()); ++f)
            if (!engine.PlaceFloorBothKinds(0, f)) return false;
        return true;
    }
};

TEST_F(RiserSizingTest, NothingToSizeWithoutALineOfTheKind) {
    ASSERT_TRUE(Build({2}));
    engine.TapNetwork[0] = 0;
    EXPECT_TRUE(engine.SizeRisersBothKinds(0));
    EXPECT_EQ(Message(), "");
}

TEST_F(RiserSizingTest, ARiserWhoseTapsHaveNoModel) {
    ASSERT_TRUE(Build({2}));
    // Every message of the run goes to the list: the tap's own, then the sizing's.
    TListBox list;
    globals.Reporter().SetTarget(&list);
    EXPECT_FALSE(engine.SizeRisersBothKinds(0));
    ASSERT_GE(list.Items->Count(), 1);
    EXPECT_EQ(list.Items->Strings(list.Items->Count() - 1),
              "Errore interno di calcolo 1. Non riesco a dimensionare l'impianto.");
    globals.Reporter().SetTarget(nullptr);
}

TEST_F(RiserSizingTest, RadialRiserAsksForTheLongestCableRun) {
    engine.TapNetwork[0] = 0;
    engine.MultiswitchSat = 1;
    engine.MultiswitchRadial = 1;
    TPalazzo& b = *engine.Settings->Building;
    b.StaircaseCount = 1;
    TScala& s = b.Staircases[0];
    s.FloorCount = 3;
    s.FloorSpacing = 3;
    s.TopFloorDistance = 4;
    s.HeadEndDistance = 10;
    for (int32_t f = 0; f < 3; ++f) {
        s.Floors[f].ApartmentCount = 2;
        s.Floors[f].Apartments[0].ApartmentDistance = 5;
        s.Floors[f].Apartments[1].ApartmentDistance = f == 2 ? 20 : 6;
    }
    engine.Cables[CableStaircaseSat]->Attenuation->Set3(0, 0, BandSlotSat, 25.0f);
    EXPECT_TRUE(engine.SizeMultiswitchRiser(0, 1));
    // D = the larger of floor 0's (3 - 0 - 1) x 3 + 6 = 12 and the top
    // floor's 0 + 20 = 20; (4 + 20 + 10) m at 25 dB per 100 m is 8.5 dB.
    EXPECT_NEAR(engine.StaircaseRequiredLevel[0][1], 8.5 + OptionLimit(BandSlotSat, LimitSigMin), 1e-4);
}

class StaircaseSwitchSizingTest : public StaircaseSwitchFloorsTest {};

TEST_F(StaircaseSwitchSizingTest, ChecksEvenWhenTheAmplifiersCannotServeTheLines) {
    add.Switch(SwitchCode, 4, 2, PositionLine);
    engine.ClassifyComponents();
    Floors({2, 2});
    for (int32_t f = 0; f < 2; ++f) ASSERT_TRUE(engine.PlaceFloorBothKinds(0, f)) << Message();
    // No line amplifier at all: the rules are skipped, but the staircase's
    // switches still choose their models, the staircase takes the level its
    // top floor asks for and checks it: these switches know no through loss
    // and feed no outlet, so there is no level to feed them at.
    ASSERT_EQ(engine.LineAmpAvail[4], 0);
    engine.StaircaseRequiredLevel[0][1] = 123.0f;
    const int32_t r = engine.RiserColumn[0][1][1];
    TCella* topSwitch = Block(1, 1)->CellAt(r, 1);
    ASSERT_NE(topSwitch, nullptr);
    ASSERT_EQ(topSwitch->TypeCode, SwitchCode);
    EXPECT_FALSE(topSwitch->Described);
    EXPECT_FALSE(engine.SizeRisersBothKinds(0));
    EXPECT_EQ(Message(),
              "Non è possibile dimensionare le scale in quanto è richiesto un segnale troppo elevato "
              "dalla centrale di testa.");
    EXPECT_TRUE(topSwitch->Described);
    EXPECT_NE(engine.StaircaseRequiredLevel[0][1], 123.0f);
    EXPECT_FALSE(IsRealLevel(engine.StaircaseRequiredLevel[0][1]));
    EXPECT_EQ(engine.LineAmplifierFloor[0][0], 0);
    // Without any switch of the lines' inputs: the switch message.
    engine.Components->Clear();
    engine.ClassifyComponents();
    Fresh();
    EXPECT_FALSE(engine.ChooseStaircaseSwitches(0));
    EXPECT_EQ(Message(), "Non sono stati selezionati switch adeguati per le scale.");
}

TEST_F(StaircaseSwitchSizingTest, ResetForgetsTheSizingOfTheLastRun) {
    engine.RiserBreakCount[1][0] = 2;
    engine.RiserBreakFloor[1][0][1] = 7;
    engine.PassiveSplit[2][1] = 1;
    engine.LineAmplifierFloor[3][4] = 1;
    engine.StaircaseRequiredLevel[0][1] = 80.0f;
    engine.StaircaseMargin[1][0] = 3.0f;
    engine.Reset();
    EXPECT_EQ(engine.RiserBreakCount[1][0], 0);
    EXPECT_EQ(engine.RiserBreakFloor[1][0][1], 0);
    EXPECT_EQ(engine.PassiveSplit[2][1], 0);
    EXPECT_EQ(engine.LineAmplifierFloor[3][4], 0);
    EXPECT_EQ(engine.StaircaseRequiredLevel[0][1], 0.0f);
    EXPECT_EQ(engine.StaircaseMargin[1][0], 0.0f);
    EXPECT_EQ(engine.ApartmentInputRow[3][11][5][1], -1);
}

}  // namespace
