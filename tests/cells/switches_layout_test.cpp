// Switches and multiswitches: what the factory builds, the port model, the
// layout of every variant with the side of every port, its placement for the
// grid analysis in every turn and mirror, port names, mirroring, numbering
// and the last-used prototypes.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <tuple>

#include "cells/factory.h"
#include "cells/mouse_info.h"
#include "cells/prototypes.h"
#include "cells/switches.h"
#include "document/grid.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

using K = TPortKind;
using E = TSide;

std::unique_ptr<TSwitch> Make(int32_t code, int32_t inputs, int32_t taps, int32_t variant = 0,
                              TCellGrid* owner = nullptr, int32_t column = 0, int32_t row = 0) {
    std::unique_ptr<TSwitch> s = CellAs<TSwitch>(NewCella(owner, code, column, row, inputs, 0, taps));
    if (!s) return nullptr;
    s->Variant = static_cast<uint8_t>(variant);
    s->SetPortCounts();
    return s;
}

// The ports of a layout in order, one word each: kind and index, square,
// edge. I input, M matrix input, P through output ("passante"), D user
// output ("derivata"); edges T, R, B, L.
std::string Ports(const TCellLayout& layout) {
    std::string s;
    for (const TCellPort& p : layout.Ports) {
        if (!s.empty()) s += ' ';
        s += "IPDM"[static_cast<int>(p.Kind)];
        s += std::to_string(p.Index) + "(" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")";
        s += "TRBL"[static_cast<int>(p.Side)];
    }
    return s;
}

// ---- Factory and port model ----

TEST(SwitchFactory, CodesBuildTheirClassWithTheirPortModel) {
    struct Case {
        int32_t asked, inputs, taps;
        bool n;  // TSwitchN
        int32_t code, numInputs, through, outputs;
    };
    // clang-format off
    const Case cases[] = {
        {10, 2, 4, false, 10, 2, 2, 6},  {11, 4, 8, false, 10, 4, 4, 12}, {13, 1, 2, false, 10, 1, 1, 3},
        {56, 2, 3, false, 56, 5, 2, 5},  // one matrix input per user output
        {47, 2, 6, true, 47, 2, 0, 6},   {57, 4, 4, true, 57, 8, 0, 4},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto s = Make(c.asked, c.inputs, c.taps);
        ASSERT_NE(s, nullptr) << c.asked;
        EXPECT_EQ(dynamic_cast<TSwitchN*>(s.get()) != nullptr, c.n) << c.asked;
        EXPECT_EQ(s->TypeCode, c.code) << c.asked;
        EXPECT_EQ(s->Kind, KindSwitch) << c.asked;
        EXPECT_EQ(s->Category, "Switch") << c.asked;
        EXPECT_EQ(s->NumInputs, c.numInputs) << c.asked;
        EXPECT_EQ(s->Lines(), c.inputs) << c.asked;
        EXPECT_EQ(s->NumThroughOutputs, c.through) << c.asked;
        EXPECT_EQ(s->NumTapOutputs, c.taps) << c.asked;
        EXPECT_EQ(s->NumOutputs, c.outputs) << c.asked;
        EXPECT_EQ(s->TableRows, c.inputs) << c.asked;
        EXPECT_EQ(s->TableColumns, 5) << c.asked;
        EXPECT_EQ(s->MatrixColumns, c.taps) << c.asked;
        EXPECT_EQ(s->MatrixDepth, 1) << c.asked;
        EXPECT_EQ(s->Attenuation->Size2(), c.inputs) << c.asked;
        EXPECT_EQ(s->Attenuation->Size3(), 5) << c.asked;
        // Every line reaches the same user outputs.
        for (int32_t i = 0; i < c.inputs; ++i) EXPECT_EQ(s->TapOutputPort(i, 1), c.through + 1) << c.asked;
        // Power comes in and goes on through the lines only.
        EXPECT_EQ(s->Power[PowerSupply][0], 3u);
        EXPECT_EQ(s->Power[PowerSupply][3], 0u);
        EXPECT_EQ(s->Power[PowerFeeds][0], 3u);
        EXPECT_EQ(s->Power[PowerFeeds][3], 0u);
        EXPECT_EQ(s->Power[PowerFeeds][1], AllBits);
        EXPECT_EQ(s->Power[PowerRefuses][0], 0u);
    }
}

// ---- Layouts ----

TEST(SwitchLayout, EveryVariantPlacesItsPortsOnTheirSides) {
    struct Case {
        const char* what;
        int32_t code, inputs, taps, variant, width, height;
        const char* ports;
    };
    // clang-format off
    const Case cases[] = {
        {"4 x 8, outputs alternate right and left", 10, 4, 8, 0, 4, 4,
         "I0(0,0)T I1(1,0)T I2(2,0)T I3(3,0)T D0(3,0)R D1(0,0)L D2(3,1)R D3(0,1)L D4(3,2)R D5(0,2)L D6(3,3)R "
         "D7(0,3)L P0(0,3)B P1(1,3)B P2(2,3)B P3(3,3)B"},
        {"variant 1 as 0, odd count", 10, 1, 3, 1, 1, 2, "I0(0,0)T D0(0,0)R D1(0,0)L D2(0,1)R P0(0,1)B"},
        {"variant 12 with 5 outputs: 3 left, 2 right", 10, 1, 5, 12, 1, 3,
         "I0(0,0)T D0(0,0)L D1(0,1)L D2(0,2)L D3(0,0)R D4(0,1)R P0(0,2)B"},
        {"variant 10: all left", 10, 1, 2, 10, 1, 2, "I0(0,0)T D0(0,0)L D1(0,1)L P0(0,1)B"},
        {"variant 20 capped at the count: all right", 10, 2, 3, 20, 2, 3,
         "I0(0,0)T I1(1,0)T D0(1,0)R D1(1,1)R D2(1,2)R P0(0,2)B P1(1,2)B"},
        {"variant 2: all left", 10, 2, 3, 2, 2, 3,
         "I0(0,0)T I1(1,0)T D0(0,0)L D1(0,1)L D2(0,2)L P0(0,2)B P1(1,2)B"},
        {"variant 3: all right", 10, 2, 3, 3, 2, 3,
         "I0(0,0)T I1(1,0)T D0(1,0)R D1(1,1)R D2(1,2)R P0(0,2)B P1(1,2)B"},
        {"variant 4: matrix inputs on the right", 56, 2, 3, 4, 2, 3,
         "I0(0,0)T I1(1,0)T M2(1,0)R M3(1,1)R M4(1,2)R D0(0,0)L D1(0,1)L D2(0,2)L P0(0,2)B P1(1,2)B"},
        {"variant 5: matrix inputs on the left", 56, 1, 3, 5, 1, 3,
         "I0(0,0)T M1(0,0)L M2(0,1)L M3(0,2)L D0(0,0)R D1(0,1)R D2(0,2)R P0(0,2)B"},
        {"matrix code in variant 0: matrix inputs have no place", 56, 1, 2, 0, 1, 1,
         "I0(0,0)T D0(0,0)R D1(0,0)L P0(0,0)B"},
        {"one row: inputs centred over the outputs", 47, 2, 6, 0, 6, 1,
         "I0(2,0)T I1(3,0)T D0(0,0)B D1(1,0)B D2(2,0)B D3(3,0)B D4(4,0)B D5(5,0)B"},
        {"one row: outputs centred under the inputs", 47, 4, 1, 0, 4, 1,
         "I0(0,0)T I1(1,0)T I2(2,0)T I3(3,0)T D0(2,0)B"},
        {"TSwitchN in another variant: no through outputs", 47, 2, 4, 3, 2, 4,
         "I0(0,0)T I1(1,0)T D0(1,0)R D1(1,1)R D2(1,2)R D3(1,3)R"},
        {"matrix TSwitchN never stands on one row", 57, 1, 2, 0, 1, 1, "I0(0,0)T D0(0,0)R D1(0,0)L"},
        {"five outputs in variant 0: base height 3", 10, 1, 5, 0, 1, 3,
         "I0(0,0)T D0(0,0)R D1(0,0)L D2(0,1)R D3(0,1)L D4(0,2)R P0(0,2)B"},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto s = Make(c.code, c.inputs, c.taps, c.variant, nullptr, 10, 20);
        ASSERT_NE(s, nullptr) << c.what;
        const TCellLayout layout = s->Layout();
        EXPECT_EQ(layout.Width, c.width) << c.what;
        EXPECT_EQ(layout.Height, c.height) << c.what;
        EXPECT_EQ(Ports(layout), c.ports) << c.what;
        // Unturned, the rectangle starts at the anchor and is the layout's size.
        EXPECT_EQ(s->GetGridRect(), (TCellRect{20, 10, 20 + c.height - 1, 10 + c.width - 1})) << c.what;
    }
}

// ---- Placement for the grid analysis ----

class SwitchPlacement : public GlobalsTest {
protected:
    SwitchPlacement() : grid(nullptr, 30, 30, GridNetwork) { grid.BeginAnalysis(); }
    ~SwitchPlacement() override { grid.EndAnalysis(); }

    std::vector<TNextCell> Place(TCella& cell) {
        cell.AllocLinks();
        TQNextCell queue;
        EXPECT_TRUE(cell.PlaceOnGrid(TNextCell{}, queue));
        std::vector<TNextCell> records;
        TNextCell r;
        while (queue.Pop(r)) records.push_back(r);
        return records;
    }

    TGridData grid;
};

// The square across a grid side: 0 above, 1 right, 2 below, 3 left.
std::pair<int32_t, int32_t> Across(int32_t column, int32_t row, int32_t side) {
    static constexpr int32_t dc[4] = {0, 1, 0, -1};
    static constexpr int32_t dr[4] = {-1, 0, 1, 0};
    return {column + dc[side], row + dr[side]};
}

TEST_F(SwitchPlacement, InEveryTurnAndMirrorThePortsFaceOutOfTheCellsOwnSquares) {
    // (code, inputs, outputs, variant, inputs placed)
    for (auto [code, inputs, outputs, variant, placed] :
         {std::tuple{10, 4, 8, 0, 4}, std::tuple{10, 1, 5, 12, 1}, std::tuple{10, 2, 3, 2, 2},
          std::tuple{10, 2, 3, 3, 2}, std::tuple{56, 2, 3, 4, 5}, std::tuple{56, 1, 3, 5, 4},
          std::tuple{47, 2, 6, 0, 2}, std::tuple{57, 2, 2, 5, 4}})
        for (int32_t turn = 0; turn < 4; ++turn)
            for (int32_t mirrored = 0; mirrored < 2; ++mirrored) {
                grid.EndAnalysis();
                grid.BeginAnalysis();
                auto cell = Make(code, inputs, outputs, variant, &grid, 12, 12);
                cell->Orientation = turn;
                cell->Mirrored = mirrored;
                const auto records = Place(*cell);
                const TCellRect rect = cell->GetGridRect();
                const std::string what = std::to_string(code) + " " + std::to_string(inputs) + "x" +
                                         std::to_string(outputs) + " variant " + std::to_string(variant) +
                                         " turn " + std::to_string(turn) + " mirror " +
                                         std::to_string(mirrored);
                std::set<std::pair<int32_t, int32_t>> own;
                for (int32_t c = 0; c < grid.Columns; ++c)
                    for (int32_t r = 0; r < grid.Rows; ++r)
                        if (grid.AnalysisAt(c, r)->Visited) own.insert({c, r});
                EXPECT_EQ(static_cast<int32_t>(own.size()),
                          (rect.Right - rect.Left + 1) * (rect.Bottom - rect.Top + 1))
                    << what;
                for (auto [c, r] : own)
                    EXPECT_TRUE(c >= rect.Left && c <= rect.Right && r >= rect.Top && r <= rect.Bottom)
                        << what;
                // Every output is linked once, from one of its squares to a square outside.
                EXPECT_EQ(static_cast<int32_t>(records.size()), cell->NumOutputs) << what;
                for (const TNextCell& rec : records) {
                    EXPECT_EQ(own.count({rec.Column, rec.Row}), 0u) << what << " output " << rec.Port;
                    EXPECT_EQ(own.count(Across(rec.Column, rec.Row, rec.Side)), 1u)
                        << what << " output " << rec.Port;
                }
                // Every placed input waits on a side that faces out, with its index.
                std::set<int32_t> waiting;
                for (auto [c, r] : own)
                    for (int32_t side = 0; side < 4; ++side)
                        if (grid.AnalysisAt(c, r)->Waiting[side]) {
                            waiting.insert(grid.AnalysisAt(c, r)->InputIndex[side]);
                            EXPECT_EQ(own.count(Across(c, r, side)), 0u) << what << " input side " << side;
                        }
                EXPECT_EQ(static_cast<int32_t>(waiting.size()), placed) << what;
            }
}

// ---- Names ----

TEST(SwitchNames, EveryPortHasItsNumberedName) {
    struct Case {
        int32_t code, inputs, outputs, variant;
        TPortKind kind;
        int32_t index;
        const char* name;
        int32_t input, tap, through;
    };
    // clang-format off
    const Case cases[] = {
        {10, 1, 2, 0, K::Input, 0, "ingresso 1", 0, -1, -1},
        {10, 2, 4, 0, K::Through, 0, "passante 1", -1, -1, 0},
        {10, 2, 4, 0, K::Tap, 2, "derivata 3", -1, 2, -1},
        {56, 2, 3, 4, K::MatrixInput, 3, "ingresso matrice 2", 3, -1, -1},
        {47, 2, 6, 0, K::Tap, 4, "derivate", -1, 4, -1},
        {47, 2, 6, 0, K::Input, 1, "ingresso 2", 1, -1, -1},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto s = Make(c.code, c.inputs, c.outputs, c.variant);
        const TTapPortName n = s->NamePort(TCellPort{c.kind, c.index, 0, 0, E::Top});
        EXPECT_EQ(n.Name, c.name);
        EXPECT_EQ(n.Input, c.input) << c.name;
        EXPECT_EQ(n.TapOutput, c.tap) << c.name;
        EXPECT_EQ(n.ThroughOutput, c.through) << c.name;
    }
}

TEST(SwitchNames, ThePointedQuarterOfASquareNamesItsPort) {
    struct Case {
        const char* what;
        int32_t code, inputs, outputs, variant;
        int32_t column, row, px, py;  // square of the grid, pixel inside it (42 per square)
        const char* name;
    };
    // All anchored at (5, 5), unturned.
    // clang-format off
    const Case cases[] = {
        {"input at the top", 10, 1, 2, 0, 5, 5, 21, 3, "ingresso 1"},
        {"user output at the right", 10, 1, 2, 0, 5, 5, 40, 21, "derivata 1"},
        {"user output at the left", 10, 1, 2, 0, 5, 5, 2, 22, "derivata 2"},
        {"through output at the bottom", 10, 1, 2, 0, 5, 5, 21, 40, "passante 1"},
        {"matrix input opposite its row's output", 56, 1, 3, 5, 5, 6, 3, 21, "ingresso matrice 2"},
        {"its row's user output", 56, 1, 3, 5, 5, 6, 39, 21, "derivata 2"},
        {"one row, upper half: the input", 47, 2, 6, 0, 8, 5, 21, 10, "ingresso 2"},
        {"one row, lower half: the user outputs", 47, 2, 6, 0, 8, 5, 21, 32, "derivate"},
        {"one row, a square without input", 47, 2, 6, 0, 5, 5, 21, 3, "derivate"},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto s = Make(c.code, c.inputs, c.outputs, c.variant, nullptr, 5, 5);
        TInfoMousePos pos;
        pos.Column = c.column;
        pos.Row = c.row;
        pos.OffsetX = c.px;
        pos.OffsetY = c.py;
        pos.SquareSize = 42;
        s->GetPortName(pos);
        EXPECT_EQ(pos.PortName, c.name) << c.what;
    }
    // The one-row user outputs carry their index.
    auto s = Make(47, 2, 6, 0, nullptr, 5, 5);
    TInfoMousePos pos;
    pos.Column = 9;
    pos.Row = 5;
    pos.OffsetX = 21;
    pos.OffsetY = 35;
    s->GetPortName(pos);
    EXPECT_EQ(pos.TapOutput, 4);
    EXPECT_EQ(pos.Input, -1);
}

// ---- Mirror, numbering, prototypes ----

TEST(SwitchCells, MirroringFlipsOnlyAnOddNumberOfOutputsAndMovesTheAnchor) {
    struct Case {
        const char* what;
        int32_t code, inputs, outputs, variant, turn;
        int32_t mirrored, column, row;  // after Mirror, from (10, 10) unmirrored
    };
    // clang-format off
    const Case cases[] = {
        // The base step mirrors the squares about the anchor's column (8 to
        // 10); an odd count flips the layout too, whose anchor then stands at
        // the other end of those squares.
        {"odd, three lines", 10, 3, 3, 0, 0, 1, 10, 10},
        {"even: the base step alone", 10, 3, 4, 0, 0, 0, 8, 10},
        {"one line, odd", 10, 1, 5, 0, 0, 1, 10, 10},
        {"one row never toggles", 47, 2, 3, 0, 0, 0, 8, 10},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto s = Make(c.code, c.inputs, c.outputs, c.variant, nullptr, 10, 10);
        s->Orientation = c.turn;
        const TCellRect before = s->GetGridRect();
        EXPECT_TRUE(s->Mirror());
        // Either way the squares are those mirrored about the anchor's column.
        EXPECT_EQ(s->GetGridRect(), (TCellRect{before.Top, 20 - before.Right, before.Bottom, 10})) << c.what;
        EXPECT_EQ(s->Mirrored, c.mirrored) << c.what;
        EXPECT_EQ(s->Column, c.column) << c.what;
        EXPECT_EQ(s->Row, c.row) << c.what;
    }
    // Turned once, the anchor moves along the rows instead.
    auto s = Make(10, 1, 3, 0, nullptr, 10, 10);
    s->Orientation = 1;
    const TCellRect before = s->GetGridRect();
    s->Mirror();
    EXPECT_EQ(s->Mirrored, 1);
    EXPECT_EQ(s->Orientation, 3);
    const TCellRect after = s->GetGridRect();
    EXPECT_EQ(after.Bottom - after.Top, before.Bottom - before.Top);
    EXPECT_TRUE(s->Row == after.Top || s->Row == after.Bottom);
}

TEST(SwitchCells, ShortCodesTakeCategoryCounterOne) {
    TContatoriCategoria counters{};
    counters.fill(1);
    counters[SwitchCounter] = 4;
    auto a = Make(10, 2, 4);
    auto b = Make(47, 1, 2);
    a->TakeSequenceNumber(counters);
    b->TakeSequenceNumber(counters);
    EXPECT_EQ(a->GetShortCode(), "S4");
    EXPECT_EQ(b->GetShortCode(), "S5");
    EXPECT_EQ(counters[SwitchCounter], 6);
    EXPECT_EQ(a->GetTypeName(), "Switch ");
}

class SwitchPrototypes : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
};

TEST_F(SwitchPrototypes, FourTablesByCodeAndCounts) {
    struct Case {
        int32_t code, inputs, outputs;
        int32_t prototypeCode;  // 0: none
    };
    // clang-format off
    const Case cases[] = {
        {10, 1, 1, 10},  {11, 17, 40, 10}, {13, 4, 8, 10}, {56, 2, 4, 56},  {47, 2, 6, 47},
        {57, 3, 3, 57},  {10, 18, 4, 0},   {10, 4, 41, 0}, {47, 1, 0, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto s = Make(c.code, c.inputs, c.outputs);
        TCella* p = s->GetPrototype();
        if (c.prototypeCode == 0) {
            EXPECT_EQ(p, nullptr) << c.code << " " << c.inputs << "x" << c.outputs;
            continue;
        }
        ASSERT_NE(p, nullptr) << c.code << " " << c.inputs << "x" << c.outputs;
        EXPECT_EQ(p->TypeCode, c.prototypeCode);
        EXPECT_TRUE(s->IsSameKind(p) || c.code != c.prototypeCode) << c.code;
        EXPECT_EQ(p->Inputs, c.inputs);
        EXPECT_EQ(p->TapOutputs, c.outputs);
        EXPECT_EQ(s->GetPrototype(), p) << "made once";
    }
    // A switch and a TSwitchN of the same counts keep their own prototypes.
    EXPECT_NE(Make(10, 2, 4)->GetPrototype(), Make(47, 2, 4)->GetPrototype());
}

}  // namespace
