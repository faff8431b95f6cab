// Taps and splitters: what the factory builds, their port model, their layout
// over several squares with the side of every port, their placement for the
// grid analysis (needs-termination bytes included), port names, mirroring,
// numbering and the separation accumulators.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "cells/factory.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "document/grid.h"
#include "support/globals_fixture.h"

namespace {

using K = TPortKind;
using E = TSide;

std::unique_ptr<TCella> Make(int32_t code, int32_t inputs, int32_t through, int32_t taps,
                             TCellGrid* owner = nullptr, int32_t column = 0, int32_t row = 0) {
    return std::unique_ptr<TCella>(NewCella(owner, code, column, row, inputs, through, taps));
}

TDerivatore* AsTap(const std::unique_ptr<TCella>& cell) { return dynamic_cast<TDerivatore*>(cell.get()); }

// ---- Factory and port model ----

TEST(TapFactory, CodesBuildTheirClassWithTheCountsOfTheTable) {
    struct Case {
        int32_t askedCode, inputs, through, taps;
        int32_t code, kind, lines, throughOutputs, perLine;
        const char* category;
    };
    // clang-format off
    const Case cases[] = {
        {6, 1, 0, 4, 6, 6, 1, 1, 4, "Derivatori"},
        {7, 2, 9, 3, 6, 6, 2, 2, 3, "Derivatori"},   // the asked through count is not handed over
        {9, 3, 0, 2, 6, 6, 3, 3, 2, "Derivatori"},
        {50, 2, 0, 4, 50, 6, 2, 2, 4, "Derivatori"},
        {49, 2, 0, 4, 49, 6, 2, 0, 4, "Derivatori"},
        {3, 1, 0, 3, 3, 3, 1, 0, 3, "Divisori"},
        {5, 1, 2, 4, 3, 3, 1, 0, 4, "Divisori"},     // the larger of through and tap outputs
        {4, 2, 6, 1, 3, 3, 2, 0, 6, "Divisori"},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.askedCode, c.inputs, c.through, c.taps);
        ASSERT_NE(cell, nullptr) << c.askedCode;
        TDerivatore* tap = AsTap(cell);
        ASSERT_NE(tap, nullptr) << c.askedCode;
        EXPECT_EQ(cell->TypeCode, c.code) << c.askedCode;
        EXPECT_EQ(cell->Kind, c.kind) << c.askedCode;
        EXPECT_EQ(cell->Category, c.category) << c.askedCode;
        EXPECT_EQ(cell->NumInputs, c.lines) << c.askedCode;
        EXPECT_EQ(cell->NumThroughOutputs, c.throughOutputs) << c.askedCode;
        EXPECT_EQ(tap->OutputsPerLine(), c.perLine) << c.askedCode;
        EXPECT_EQ(cell->NumTapOutputs, c.lines * c.perLine) << c.askedCode;
        EXPECT_EQ(cell->NumOutputs, c.throughOutputs + c.lines * c.perLine) << c.askedCode;
        EXPECT_EQ(cell->TableRows, c.lines) << c.askedCode;
        EXPECT_EQ(cell->TableColumns, 4) << c.askedCode;
        EXPECT_EQ(cell->MatrixDepth, 1) << c.askedCode;
        EXPECT_EQ(cell->Attenuation->Size2(), c.lines) << c.askedCode;
        EXPECT_EQ(cell->Attenuation->Size3(), 4) << c.askedCode;
        EXPECT_EQ(cell->Attenuation->Size4(), BandSlots) << c.askedCode;
        // User output j of line i follows the through outputs.
        EXPECT_EQ(tap->TapOutputPort(c.lines - 1, 1), c.throughOutputs + (c.lines - 1) * c.perLine + 1);
    }
    EXPECT_NE(dynamic_cast<TDerivatoreS*>(Make(50, 1, 0, 2).get()), nullptr);
    EXPECT_NE(dynamic_cast<TDerivatoreN*>(Make(49, 1, 0, 2).get()), nullptr);
    EXPECT_NE(dynamic_cast<TDivisore*>(Make(4, 1, 0, 2).get()), nullptr);
}

TEST(TapFactory, PowerPassesAlongTheLinesOfATapAndThroughEveryPortOfASplitter) {
    using Groups = std::vector<uint32_t>;
    auto groups = [](const TCella& c) {
        Groups g;
        for (const auto& group : c.Power)
            for (uint32_t w : group) g.push_back(w);
        return g;
    };
    const Groups tap = {3, AllBits, AllBits, 0, 3, AllBits, AllBits, 0, 4, 0, 0, AllBits};
    const Groups splitter = {5, AllBits, 0, AllBits, 5, AllBits, 0, AllBits, 2, 0, AllBits, 0};
    EXPECT_EQ(groups(*Make(6, 2, 0, 4)), tap);
    EXPECT_EQ(groups(*Make(50, 2, 0, 4)), tap);
    EXPECT_EQ(groups(*Make(49, 2, 0, 4)), tap);
    EXPECT_EQ(groups(*Make(3, 1, 0, 4)), splitter);
}

TEST(TapFactory, ACloneKeepsClassCountsAndData) {
    for (int32_t code : {3, 6, 49, 50}) {
        auto cell = Make(code, 2, 0, 3);
        cell->Attenuation->Set3(1, TapLossColumn, 5, 14.0f);
        cell->Orientation = 3;
        std::unique_ptr<TCella> copy(cell->Clone());
        ASSERT_NE(copy, nullptr) << code;
        const TCella &copied = *copy, &original = *cell;
        EXPECT_EQ(typeid(copied), typeid(original)) << code;
        EXPECT_TRUE(cell->IsSameKind(copy.get())) << code;
        EXPECT_EQ(copy->NumOutputs, cell->NumOutputs) << code;
        EXPECT_EQ(copy->Attenuation->Get3(1, TapLossColumn, 5), 14.0f) << code;
        EXPECT_EQ(copy->Orientation, 3) << code;
    }
    // Taps of one code with another number of user outputs are not the same kind.
    EXPECT_FALSE(Make(6, 1, 0, 4)->IsSameKind(Make(6, 1, 0, 5).get()));
}

// ---- Layouts ----

struct LayoutCase {
    const char* name;
    int32_t code, inputs, outputs;
    int32_t width, height;
    std::vector<TCellPort> ports;
};

std::vector<TCellPort> Sorted(std::vector<TCellPort> ports) {
    std::sort(ports.begin(), ports.end(), [](const TCellPort& a, const TCellPort& b) {
        return std::tie(a.Kind, a.Index) < std::tie(b.Kind, b.Index);
    });
    return ports;
}

TEST(TapLayout, SquaresAndPortSidesOfEveryShape) {
    // clang-format off
    const LayoutCase cases[] = {
        {"tap 1 x 1", 6, 1, 1, 1, 1,
         {{K::Input, 0, 0, 0, E::Top}, {K::Tap, 0, 0, 0, E::Right}, {K::Through, 0, 0, 0, E::Bottom}}},
        {"tap 1 x 2", 6, 1, 2, 1, 1,
         {{K::Input, 0, 0, 0, E::Top}, {K::Tap, 0, 0, 0, E::Right}, {K::Tap, 1, 0, 0, E::Left},
          {K::Through, 0, 0, 0, E::Bottom}}},
        // Outputs 0 and 2 at the right, 1 and 3 at the left, two squares.
        {"tap 1 x 4", 6, 1, 4, 1, 2,
         {{K::Input, 0, 0, 0, E::Top}, {K::Tap, 0, 0, 0, E::Right}, {K::Tap, 1, 0, 0, E::Left},
          {K::Tap, 2, 0, 1, E::Right}, {K::Tap, 3, 0, 1, E::Left}, {K::Through, 0, 0, 1, E::Bottom}}},
        // Three squares; the last row holds output 4 alone, on the right.
        {"tap 1 x 5", 6, 1, 5, 1, 3,
         {{K::Input, 0, 0, 0, E::Top}, {K::Tap, 0, 0, 0, E::Right}, {K::Tap, 1, 0, 0, E::Left},
          {K::Tap, 2, 0, 1, E::Right}, {K::Tap, 3, 0, 1, E::Left}, {K::Tap, 4, 0, 2, E::Right},
          {K::Through, 0, 0, 2, E::Bottom}}},
        // 2 x 5: line 0's outputs in rows 0 and 3, line 1's in rows 1 and 4, row 2 empty.
        {"tap 2 x 4", 6, 2, 4, 2, 5,
         {{K::Input, 0, 0, 0, E::Top}, {K::Input, 1, 1, 0, E::Top},
          {K::Tap, 0, 1, 0, E::Right}, {K::Tap, 1, 0, 0, E::Left},
          {K::Tap, 2, 1, 3, E::Right}, {K::Tap, 3, 0, 3, E::Left},
          {K::Tap, 4, 1, 1, E::Right}, {K::Tap, 5, 0, 1, E::Left},
          {K::Tap, 6, 1, 4, E::Right}, {K::Tap, 7, 0, 4, E::Left},
          {K::Through, 0, 0, 4, E::Bottom}, {K::Through, 1, 1, 4, E::Bottom}}},
        {"tap 3 x 1", 6, 3, 1, 3, 3,
         {{K::Input, 0, 0, 0, E::Top}, {K::Input, 1, 1, 0, E::Top}, {K::Input, 2, 2, 0, E::Top},
          {K::Tap, 0, 2, 0, E::Right}, {K::Tap, 1, 2, 1, E::Right}, {K::Tap, 2, 2, 2, E::Right},
          {K::Through, 0, 0, 2, E::Bottom}, {K::Through, 1, 1, 2, E::Bottom},
          {K::Through, 2, 2, 2, E::Bottom}}},
        // The end-of-line tap has the same squares and no through output.
        {"end tap 1 x 2", 49, 1, 2, 1, 1,
         {{K::Input, 0, 0, 0, E::Top}, {K::Tap, 0, 0, 0, E::Right}, {K::Tap, 1, 0, 0, E::Left}}},
        {"end tap 2 x 2", 49, 2, 2, 2, 2,
         {{K::Input, 0, 0, 0, E::Top}, {K::Input, 1, 1, 0, E::Top},
          {K::Tap, 0, 1, 0, E::Right}, {K::Tap, 1, 0, 0, E::Left},
          {K::Tap, 2, 1, 1, E::Right}, {K::Tap, 3, 0, 1, E::Left}}},
        {"splitter 1 x 2", 3, 1, 2, 1, 1,
         {{K::Input, 0, 0, 0, E::Top}, {K::Tap, 0, 0, 0, E::Right}, {K::Tap, 1, 0, 0, E::Left}}},
        // One square: output 0 right, 1 left, 2 at the bottom.
        {"splitter 1 x 3", 3, 1, 3, 1, 1,
         {{K::Input, 0, 0, 0, E::Top}, {K::Tap, 0, 0, 0, E::Right}, {K::Tap, 1, 0, 0, E::Left},
          {K::Tap, 2, 0, 0, E::Bottom}}},
        {"splitter 1 x 4", 3, 1, 4, 1, 2,
         {{K::Input, 0, 0, 0, E::Top}, {K::Tap, 0, 0, 0, E::Right}, {K::Tap, 1, 0, 0, E::Left},
          {K::Tap, 2, 0, 1, E::Right}, {K::Tap, 3, 0, 1, E::Left}}},
        {"splitter 1 x 5", 3, 1, 5, 1, 2,
         {{K::Input, 0, 0, 0, E::Top}, {K::Tap, 0, 0, 0, E::Right}, {K::Tap, 1, 0, 0, E::Left},
          {K::Tap, 2, 0, 1, E::Right}, {K::Tap, 3, 0, 1, E::Left}, {K::Tap, 4, 0, 1, E::Bottom}}},
        // 2 x 2: each line's third output leaves at the bottom of its own column.
        {"splitter 2 x 3", 3, 2, 3, 2, 2,
         {{K::Input, 0, 0, 0, E::Top}, {K::Input, 1, 1, 0, E::Top},
          {K::Tap, 0, 1, 0, E::Right}, {K::Tap, 1, 0, 0, E::Left}, {K::Tap, 2, 0, 1, E::Bottom},
          {K::Tap, 3, 1, 1, E::Right}, {K::Tap, 4, 0, 1, E::Left}, {K::Tap, 5, 1, 1, E::Bottom}}},
        {"splitter 2 x 4", 3, 2, 4, 2, 5,
         {{K::Input, 0, 0, 0, E::Top}, {K::Input, 1, 1, 0, E::Top},
          {K::Tap, 0, 1, 0, E::Right}, {K::Tap, 1, 0, 0, E::Left},
          {K::Tap, 2, 1, 3, E::Right}, {K::Tap, 3, 0, 3, E::Left},
          {K::Tap, 4, 1, 1, E::Right}, {K::Tap, 5, 0, 1, E::Left},
          {K::Tap, 6, 1, 4, E::Right}, {K::Tap, 7, 0, 4, E::Left}}},
        // One output per line: still one row, the output at its bottom.
        {"splitter 1 x 1", 3, 1, 1, 1, 1, {{K::Input, 0, 0, 0, E::Top}, {K::Tap, 0, 0, 0, E::Bottom}}},
        {"splitter 3 x 1", 3, 3, 1, 3, 1,
         {{K::Input, 0, 0, 0, E::Top}, {K::Input, 1, 1, 0, E::Top}, {K::Input, 2, 2, 0, E::Top},
          {K::Tap, 0, 0, 0, E::Bottom}, {K::Tap, 1, 1, 0, E::Bottom}, {K::Tap, 2, 2, 0, E::Bottom}}},
    };
    // clang-format on
    for (const LayoutCase& c : cases) {
        auto cell = Make(c.code, c.inputs, 0, c.outputs, nullptr, 10, 20);
        const TCellLayout layout = AsTap(cell)->Layout();
        EXPECT_EQ(layout.Width, c.width) << c.name;
        EXPECT_EQ(layout.Height, c.height) << c.name;
        EXPECT_EQ(Sorted(layout.Ports), Sorted(c.ports)) << c.name;
        // Every port lies inside the layout, and every output is on it once.
        std::set<int32_t> outputs;
        for (const TCellPort& p : layout.Ports) {
            EXPECT_TRUE(p.X >= 0 && p.X < layout.Width && p.Y >= 0 && p.Y < layout.Height) << c.name;
            if (p.Kind != K::Input)
                outputs.insert(p.Kind == K::Tap ? cell->NumThroughOutputs + p.Index : p.Index);
        }
        EXPECT_EQ(static_cast<int32_t>(outputs.size()), cell->NumOutputs) << c.name;
        // Unturned, the rectangle starts at the anchor and is the layout's size.
        EXPECT_EQ(cell->GetGridRect(), (TCellRect{20, 10, 20 + c.height - 1, 10 + c.width - 1})) << c.name;
    }
}

TEST(TapLayout, TheRectangleTurnsAndMirrorsAboutTheAnchor) {
    struct Case {
        int32_t turn, mirror;
        TCellRect rect;
    };
    // A 2 x 5 tap anchored at (10, 20).
    // clang-format off
    const Case cases[] = {
        {0, 0, {20, 10, 24, 11}}, {1, 0, {20, 6, 21, 10}}, {2, 0, {16, 9, 20, 10}}, {3, 0, {19, 10, 20, 14}},
        {0, 1, {20, 9, 24, 10}},  {2, 1, {16, 10, 20, 11}},
    };
    // clang-format on
    for (const Case& c : cases) {
        TDerivatore tap(nullptr, c.turn, c.mirror, 10, 20, 2, 4);
        EXPECT_EQ(tap.GetGridRect(), c.rect) << "turn " << c.turn << " mirror " << c.mirror;
    }
}

// ---- Placement for the grid analysis ----

class TapPlacement : public GlobalsTest {
protected:
    TapPlacement() : grid(nullptr, 30, 30, GridNetwork) { grid.BeginAnalysis(); }
    ~TapPlacement() override { grid.EndAnalysis(); }

    std::vector<TNextCell> Place(TCella& cell) {
        cell.AllocLinks();
        TQNextCell queue;
        EXPECT_TRUE(cell.PlaceOnGrid(TNextCell{}, queue));
        std::vector<TNextCell> records;
        TNextCell r;
        while (queue.Pop(r)) records.push_back(r);
        return records;
    }
    int Visited() {
        int n = 0;
        for (int32_t c = 0; c < grid.Columns; ++c)
            for (int32_t r = 0; r < grid.Rows; ++r) n += grid.AnalysisAt(c, r)->Visited;
        return n;
    }

    TGridData grid;
};

// (column, row, side the next square is entered by, port, needs termination)
using Link = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t>;

std::set<Link> Links(const std::vector<TNextCell>& records) {
    std::set<Link> links;
    for (const TNextCell& r : records) links.insert({r.Column, r.Row, r.Side, r.Port, r.NeedsTermination});
    return links;
}

TEST_F(TapPlacement, ATwoLineTapOccupiesItsBlockAndLinksEveryOutput) {
    TDerivatore tap(&grid, 0, 0, 10, 5, 2, 4);
    const auto records = Place(tap);
    EXPECT_EQ(Visited(), 10);
    for (int32_t c = 10; c <= 11; ++c)
        for (int32_t r = 5; r <= 9; ++r) EXPECT_EQ(grid.AnalysisAt(c, r)->Visited, 1) << c << "," << r;
    // The inputs wait at the top of the first row, with their index.
    for (int32_t i = 0; i < 2; ++i) {
        const TSquareAnalysis* square = grid.AnalysisAt(10 + i, 5);
        EXPECT_EQ(square->Waiting[0], 1);
        EXPECT_EQ(square->InputIndex[0], i);
    }
    // Through outputs 0, 1 below the last row and need a termination; user
    // outputs 2 to 9 leave sideways and do not.
    const std::set<Link> expected = {
        {10, 10, 0, 0, 1}, {11, 10, 0, 1, 1}, {12, 5, 3, 2, 0}, {9, 5, 1, 3, 0},  {12, 8, 3, 4, 0},
        {9, 8, 1, 5, 0},   {12, 6, 3, 6, 0},  {9, 6, 1, 7, 0},  {12, 9, 3, 8, 0}, {9, 9, 1, 9, 0},
    };
    EXPECT_EQ(Links(records), expected);
}

TEST_F(TapPlacement, TheLinesOfTheUserOutputsNeedATerminationOnlyForCode50AndSplitters) {
    struct Case {
        int32_t code;
        uint8_t userLines;
    };
    for (const Case& c : {Case{6, 0}, Case{50, 1}, Case{49, 0}, Case{3, 1}}) {
        auto cell = Make(c.code, 1, 0, 2, &grid, 4, 4);
        for (const TNextCell& r : Place(*cell)) {
            const bool user = r.Port >= cell->NumThroughOutputs;
            EXPECT_EQ(r.NeedsTermination, user ? c.userLines : 1) << c.code << " port " << r.Port;
            EXPECT_EQ(r.MayEndOpen, 0);
        }
    }
}

TEST_F(TapPlacement, AnEndTapLinksNoThroughOutput) {
    TDerivatoreN tap(&grid, 0, 0, 3, 3, 1, 2);
    EXPECT_EQ(Links(Place(tap)), (std::set<Link>{{4, 3, 3, 0, 0}, {2, 3, 1, 1, 0}}));
}

TEST_F(TapPlacement, ATurnedMirroredSplitterPlacesItsPortsOnTheTurnedSides) {
    // Splitter 1 x 3 at (7, 7), turned once and mirrored: the input comes from
    // the square on the right (its grid side 1), output 0 (right edge) goes up,
    // output 1 (left edge) down, output 2 (bottom edge) to the left.
    TDivisore splitter(&grid, 1, 1, 7, 7, 1, 3);
    const auto records = Place(splitter);
    EXPECT_EQ(Visited(), 1);
    EXPECT_EQ(grid.AnalysisAt(7, 7)->Visited, 1);
    EXPECT_EQ(grid.AnalysisAt(7, 7)->Waiting[1], 1);
    const std::set<Link> expected = {{7, 6, 2, 0, 1}, {7, 8, 0, 1, 1}, {6, 7, 1, 2, 1}};
    EXPECT_EQ(Links(records), expected);
}

// The square across a grid side: 0 above, 1 right, 2 below, 3 left.
std::pair<int32_t, int32_t> Across(int32_t column, int32_t row, int32_t side) {
    static constexpr int32_t dc[4] = {0, 1, 0, -1};
    static constexpr int32_t dr[4] = {-1, 0, 1, 0};
    return {column + dc[side], row + dr[side]};
}

TEST_F(TapPlacement, InEveryTurnAndMirrorThePortsFaceOutOfTheCellsOwnSquares) {
    for (auto [code, inputs, outputs] : {std::tuple{6, 1, 5}, std::tuple{6, 2, 4}, std::tuple{50, 3, 1},
                                         std::tuple{49, 2, 2}, std::tuple{3, 1, 4}, std::tuple{3, 2, 3}})
        for (int32_t turn = 0; turn < 4; ++turn)
            for (int32_t mirrored = 0; mirrored < 2; ++mirrored) {
                grid.EndAnalysis();
                grid.BeginAnalysis();
                auto cell = Make(code, inputs, 0, outputs, &grid, 12, 12);
                cell->Orientation = turn;
                cell->Mirrored = mirrored;
                const auto records = Place(*cell);
                const TCellRect rect = cell->GetGridRect();
                const std::string what = std::to_string(code) + " " + std::to_string(inputs) + "x" +
                                         std::to_string(outputs) + " turn " + std::to_string(turn) +
                                         " mirror " + std::to_string(mirrored);
                // The squares occupied are exactly those of the rectangle.
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
                // Every output leads from one of its squares to a square outside.
                for (const TNextCell& rec : records) {
                    EXPECT_EQ(own.count({rec.Column, rec.Row}), 0u) << what << " output " << rec.Port;
                    EXPECT_EQ(own.count(Across(rec.Column, rec.Row, rec.Side)), 1u)
                        << what << " output " << rec.Port;
                }
                // Every input waits on a side that faces out.
                int waiting = 0;
                for (auto [c, r] : own)
                    for (int32_t side = 0; side < 4; ++side)
                        if (grid.AnalysisAt(c, r)->Waiting[side]) {
                            ++waiting;
                            EXPECT_EQ(own.count(Across(c, r, side)), 0u) << what << " input side " << side;
                        }
                EXPECT_EQ(waiting, inputs) << what;
            }
}

// ---- Names ----

TEST(TapNames, EveryPortOfTheLayoutHasItsName) {
    struct Case {
        int32_t code, inputs, outputs;
        TPortKind kind;
        int32_t index;
        const char* name;
        int32_t input, tap, through;
    };
    // clang-format off
    const Case cases[] = {
        {6, 1, 4, K::Input, 0, "ingresso", 0, -1, -1},
        {6, 1, 4, K::Through, 0, "passante", -1, -1, 0},
        {6, 1, 4, K::Tap, 2, "derivata 3", -1, 2, -1},
        {6, 2, 4, K::Input, 1, "ingresso 2", 1, -1, -1},
        {6, 2, 4, K::Through, 1, "passante 2", -1, -1, 1},
        {6, 2, 4, K::Tap, 5, "derivata 6", -1, 5, -1},
        {3, 1, 3, K::Input, 0, "ingresso", 0, -1, -1},
        {3, 1, 3, K::Tap, 2, "uscita 3", -1, 2, -1},
        {3, 2, 3, K::Input, 0, "ingresso 1", 0, -1, -1},
        {3, 2, 3, K::Tap, 5, "uscita 6", -1, 5, -1},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, c.inputs, 0, c.outputs);
        const TTapPortName n = AsTap(cell)->NamePort(TCellPort{c.kind, c.index, 0, 0, E::Top});
        EXPECT_EQ(n.Name, c.name);
        EXPECT_EQ(n.Input, c.input) << c.name;
        EXPECT_EQ(n.TapOutput, c.tap) << c.name;
        EXPECT_EQ(n.ThroughOutput, c.through) << c.name;
    }
}

TEST(TapNames, APointNamesThePortOfTheNearestEdgeOfItsSquare) {
    TDerivatore tap(nullptr, 0, 0, 0, 0, 1, 2);
    const TCellLayout layout = tap.Layout();
    struct Case {
        int32_t px, py;
        const char* name;
    };
    const Case cases[] = {
        {21, 2, "ingresso"}, {40, 21, "derivata 1"}, {2, 20, "derivata 2"}, {20, 40, "passante"}};
    for (const Case& c : cases) {
        const TCellPort* port = tap.PortNear(layout, 0, 0, c.px, c.py, 42);
        ASSERT_NE(port, nullptr) << c.name;
        EXPECT_EQ(tap.NamePort(*port).Name, c.name);
    }
    // A square without ports names nothing.
    TDerivatore wide(nullptr, 0, 0, 0, 0, 2, 4);
    EXPECT_EQ(wide.PortNear(wide.Layout(), 0, 2, 21, 21, 42), nullptr);
}

// ---- Mirror, numbering, accumulators, usability ----

TEST(TapCells, MirroringFlipsTheSymbolOnlyForAnOddNumberOfUserOutputs) {
    for (auto [outputs, mirrored] : {std::pair{3, 1}, std::pair{4, 0}, std::pair{1, 1}}) {
        TDerivatore tap(nullptr, 0, 0, 5, 5, 1, outputs);
        EXPECT_TRUE(tap.Mirror());
        EXPECT_EQ(tap.Mirrored, mirrored) << outputs;
        TDivisore splitter(nullptr, 0, 0, 5, 5, 1, outputs);
        splitter.Mirror();
        EXPECT_EQ(splitter.Mirrored, mirrored) << outputs;
    }
}

TEST(TapCells, ShortCodesTypeNamesAndCounters) {
    TContatoriCategoria counters{};
    counters.fill(1);
    counters[TapCounter] = 7;
    counters[SplitterCounter] = 3;
    TDerivatore tap(nullptr, 0, 0, 0, 0, 1, 2);
    TDerivatoreS tapS(nullptr, 0, 0, 0, 0, 1, 2);
    TDivisore splitter(nullptr, 0, 0, 0, 0, 1, 2);
    tap.TakeSequenceNumber(counters);
    tapS.TakeSequenceNumber(counters);
    splitter.TakeSequenceNumber(counters);
    EXPECT_EQ(tap.GetShortCode(), "R7");
    EXPECT_EQ(tapS.GetShortCode(), "R8");  // the variants share the taps' counter
    EXPECT_EQ(splitter.GetShortCode(), "D3");
    EXPECT_EQ(counters[TapCounter], 9);
    EXPECT_EQ(counters[SplitterCounter], 4);
    EXPECT_EQ(tap.GetTypeName(), "Derivatore ");
    EXPECT_EQ(splitter.GetTypeName(), "Divisore ");
}

TEST(TapCells, ClearingABandMakesTheSeparationArraysAndEmptiesOnlyThatBand) {
    TDerivatore tap(nullptr, 0, 0, 0, 0, 2, 2);
    tap.ClearBandAccumulators(4);
    ASSERT_EQ(tap.InputSeparation.size(), 2u);
    ASSERT_EQ(tap.ThroughSeparation.size(), 2u);
    tap.InputSeparation[1][3] = 12.0f;
    tap.ThroughSeparation[0][4] = 9.0f;
    tap.SeparationOutlet[4] = 8.0f;
    tap.ClearBandAccumulators(4);
    EXPECT_EQ(tap.InputSeparation[1][3], 12.0f);
    EXPECT_EQ(tap.ThroughSeparation[0][4], LevelNone);
    EXPECT_EQ(tap.SeparationOutlet[4], LevelNone);

    TDivisore splitter(nullptr, 0, 0, 0, 0, 1, 2);
    splitter.ClearBandAccumulators(0);
    EXPECT_EQ(splitter.InputSeparation.size(), 1u);
    EXPECT_TRUE(splitter.ThroughSeparation.empty());
}

TEST(TapCells, AModelIsUsableWhenItsTapLossCoversTheNeededBands) {
    TDerivatore tap(nullptr, 0, 0, 0, 0, 1, 2);
    tap.Attenuation->Set3(0, TapLossColumn, 5, 12.0f);
    EXPECT_TRUE(tap.IsModelUsable(true, false));
    EXPECT_FALSE(tap.IsModelUsable(true, true));  // band 9 has no value
    EXPECT_TRUE(tap.IsModelUsable(false, false));
    tap.Attenuation->Set3(0, TapLossColumn, 9, LevelBlocked);
    EXPECT_FALSE(tap.IsModelUsable(false, true));
}

}  // namespace
