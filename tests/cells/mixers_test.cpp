// Mixers, demixers and the power supply with several outputs: their layouts
// with the side of every port, the placement in every turn and mirror, the
// port names under the mouse, the mirror that keeps each column with its
// port, the data check, the records, the prototypes, the separation search
// and the designer's choice of a mixer.
#include "cells/mixers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "cells/factory.h"
#include "cells/graphic_cells.h"
#include "cells/mouse_info.h"
#include "cells/passives.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "core/channel_list.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "platform/application.h"
#include "support/globals_fixture.h"
#include "support/line_cells.h"
#include "support/pass_cells.h"
#include "support/record_bytes.h"

namespace {

using K = TPortKind;
using E = TSide;

std::unique_ptr<TCella> Make(int32_t code, int32_t count, TCellGrid* owner = nullptr, int32_t column = 0,
                             int32_t row = 0) {
    return std::unique_ptr<TCella>(NewCella(owner, code, column, row, count, count, 0));
}

TCellLayout LayoutOf(TCella& cell) {
    if (auto* branches = dynamic_cast<TCellaRami*>(&cell)) return branches->Layout();
    if (auto* supply = dynamic_cast<TAlimentatore*>(&cell)) return supply->Layout();
    return {};
}

// ---- Layouts ----

struct LayoutCase {
    const char* name;
    int32_t code, count;
    int32_t width, height;
    std::vector<TCellPort> ports;
};

// clang-format off
const LayoutCase LayoutCases[] = {
    // One square: the output at the bottom, input 1 left, input 2 right.
    {"mixer 2", CodeMiscelatore, 2, 1, 1,
     {{K::Through, 0, 0, 0, E::Bottom}, {K::Input, 0, 0, 0, E::Left}, {K::Input, 1, 0, 0, E::Right}}},
    // 3 x 3: the inputs along the top, the output below the middle column.
    {"mixer 3", CodeMiscelatore, 3, 3, 3,
     {{K::Input, 0, 0, 0, E::Top}, {K::Input, 1, 1, 0, E::Top}, {K::Input, 2, 2, 0, E::Top},
      {K::Through, 0, 1, 2, E::Bottom}}},
    {"mixer 4", CodeMiscelatore, 4, 4, 3,
     {{K::Input, 0, 0, 0, E::Top}, {K::Input, 1, 1, 0, E::Top}, {K::Input, 2, 2, 0, E::Top},
      {K::Input, 3, 3, 0, E::Top}, {K::Through, 0, 2, 2, E::Bottom}}},
    {"demixer 2", CodeDemiscelatore, 2, 1, 1,
     {{K::Input, 0, 0, 0, E::Top}, {K::Through, 0, 0, 0, E::Left}, {K::Through, 1, 0, 0, E::Right}}},
    // 4 x 3: the input above column 2, the outputs along the bottom.
    {"demixer 4", CodeDemiscelatore, 4, 4, 3,
     {{K::Input, 0, 2, 0, E::Top}, {K::Through, 0, 0, 2, E::Bottom}, {K::Through, 1, 1, 2, E::Bottom},
      {K::Through, 2, 2, 2, E::Bottom}, {K::Through, 3, 3, 2, E::Bottom}}},
    {"power supply 1", CodeAlimentatore, 1, 1, 1, {{K::Input, 0, 0, 0, E::Top}, {K::Through, 0, 0, 0, E::Bottom}}},
    {"power supply 2", CodeAlimentatore, 2, 2, 1,
     {{K::Input, 0, 0, 0, E::Top}, {K::Through, 0, 0, 0, E::Bottom}, {K::Through, 1, 1, 0, E::Bottom}}},
    {"power supply 3", CodeAlimentatore, 3, 3, 1,
     {{K::Input, 0, 1, 0, E::Top}, {K::Through, 0, 0, 0, E::Bottom}, {K::Through, 1, 1, 0, E::Bottom},
      {K::Through, 2, 2, 0, E::Bottom}}},
};
// clang-format on

TEST(BranchLayout, SquaresAndPortSidesOfEveryShape) {
    for (const LayoutCase& c : LayoutCases) {
        auto cell = Make(c.code, c.count, nullptr, 10, 20);
        ASSERT_NE(cell, nullptr) << c.name;
        const TCellLayout layout = LayoutOf(*cell);
        EXPECT_EQ(layout.Width, c.width) << c.name;
        EXPECT_EQ(layout.Height, c.height) << c.name;
        EXPECT_EQ(layout.Ports, c.ports) << c.name;
        EXPECT_EQ(cell->GetGridRect(), (TCellRect{20, 10, 20 + c.height - 1, 10 + c.width - 1})) << c.name;
    }
}

// The square across a grid side: 0 above, 1 right, 2 below, 3 left.
std::pair<int32_t, int32_t> Across(int32_t column, int32_t row, int32_t side) {
    static constexpr int32_t dc[4] = {0, 1, 0, -1};
    static constexpr int32_t dr[4] = {-1, 0, 1, 0};
    return {column + dc[side], row + dr[side]};
}

// A pixel of a grid square that the cell sees at (u, v) of its own square.
std::pair<int32_t, int32_t> PixelSeenAt(const TCella& cell, int32_t u, int32_t v, int32_t size) {
    for (int32_t x = 0; x <= size; ++x)
        for (int32_t y = 0; y <= size; ++y) {
            int32_t a = 0, b = 0;
            cell.RotateSymbolPoint(a, b, x, y, size);
            if (a == u && b == v) return {x, y};
        }
    return {-1, -1};
}

// Where under the mouse each port is named: near the middle of its edge.
std::pair<int32_t, int32_t> EdgePoint(TSide edge) {
    switch (edge) {
    case E::Top: return {21, 3};
    case E::Right: return {39, 21};
    case E::Bottom: return {21, 39};
    default: return {3, 21};
    }
}

AnsiString ExpectedName(int32_t code, int32_t count, const TCellPort& port) {
    const bool numbered =
        (code == CodeMiscelatore) == (port.Kind == K::Input) && !(code == CodeAlimentatore && count == 1);
    const std::string word = port.Kind == K::Input ? "ingresso" : "uscita";
    return numbered ? AnsiString(word + " " + std::to_string(port.Index + 1)) : AnsiString(word);
}

class BranchPlacement : public GlobalsTest {
protected:
    BranchPlacement() : grid(nullptr, 40, 40, GridNetwork) {}
    TGridData grid;
};

// In every turn and mirror: the squares placement marks are exactly those of
// the grid rectangle, every output leads out of them, every input waits on a
// side that faces out, and the mouse over each port names it.
TEST_F(BranchPlacement, InEveryTurnAndMirrorThePortsFaceOutAndAreNamed) {
    for (const LayoutCase& c : LayoutCases) {
        for (int32_t turn = 0; turn < 4; ++turn)
            for (int32_t mirrored = 0; mirrored < 2; ++mirrored) {
                const std::string what = std::string(c.name) + " turn " + std::to_string(turn) + " mirror " +
                                         std::to_string(mirrored);
                grid.BeginAnalysis();
                auto cell = Make(c.code, c.count, &grid, 15, 15);
                cell->Orientation = turn;
                cell->Mirrored = mirrored;
                cell->AllocLinks();
                TQNextCell queue;
                EXPECT_TRUE(cell->PlaceOnGrid(TNextCell{}, queue));
                const TCellRect rect = cell->GetGridRect();
                std::set<std::pair<int32_t, int32_t>> own;
                for (int32_t col = 0; col < grid.Columns; ++col)
                    for (int32_t row = 0; row < grid.Rows; ++row)
                        if (grid.AnalysisAt(col, row)->Visited) own.insert({col, row});
                EXPECT_EQ(static_cast<int32_t>(own.size()),
                          (rect.Right - rect.Left + 1) * (rect.Bottom - rect.Top + 1))
                    << what;
                for (auto [col, row] : own)
                    EXPECT_TRUE(col >= rect.Left && col <= rect.Right && row >= rect.Top &&
                                row <= rect.Bottom)
                        << what;
                int outputs = 0;
                TNextCell record;
                while (queue.Pop(record)) {
                    ++outputs;
                    EXPECT_EQ(own.count({record.Column, record.Row}), 0u) << what;
                    EXPECT_EQ(own.count(Across(record.Column, record.Row, record.Side)), 1u) << what;
                    // A demixer's lines need a termination, as a splitter's.
                    EXPECT_EQ(record.NeedsTermination, c.code == CodeDemiscelatore ? 1 : 0) << what;
                }
                EXPECT_EQ(outputs, cell->NumOutputs) << what;
                int waiting = 0;
                for (auto [col, row] : own)
                    for (int32_t side = 0; side < 4; ++side)
                        if (grid.AnalysisAt(col, row)->Waiting[side]) {
                            ++waiting;
                            EXPECT_EQ(own.count(Across(col, row, side)), 0u) << what;
                        }
                EXPECT_EQ(waiting, cell->NumInputs) << what;
                grid.EndAnalysis();

                for (const TCellPort& port : c.ports) {
                    TInfoMousePos position;
                    cell->FrameToGrid(position.Column, position.Row, port.X, port.Y);
                    const auto [u, v] = EdgePoint(port.Side);
                    std::tie(position.OffsetX, position.OffsetY) =
                        PixelSeenAt(*cell, u, v, position.SquareSize);
                    cell->GetPortName(position);
                    EXPECT_EQ(position.PortName, ExpectedName(c.code, c.count, port)) << what;
                    const int32_t index = port.Kind == K::Input ? position.Input : position.ThroughOutput;
                    EXPECT_EQ(index, port.Index) << what;
                }
            }
    }
}

TEST(BranchNames, TheMiddleOfATwoBranchSquareNamesNoPortAndAMiddleRowNone) {
    TMiscelatore mixer(nullptr, 0, 0, 5, 5, 2);
    TInfoMousePos position;
    position.Column = 5;
    position.Row = 5;
    position.OffsetX = 21;
    position.OffsetY = 21;
    mixer.GetPortName(position);
    EXPECT_FALSE(position.PointsAtPort());
    // Quarters: the bottom quarter is the output even at the left edge.
    position.OffsetX = 2;
    position.OffsetY = 40;
    mixer.GetPortName(position);
    EXPECT_EQ(position.PortName, "uscita");
    TDemiscelatore wide(nullptr, 0, 0, 5, 5, 4);
    position.Row = 6;
    position.OffsetX = 21;
    position.OffsetY = 21;
    wide.GetPortName(position);
    EXPECT_FALSE(position.PointsAtPort());
}

// ---- Mirror ----

TEST(BranchMirror, EachColumnStaysWithItsPort) {
    // A mixer of three inputs at (10, 5), input k with 10 + k dB in every band.
    TMiscelatore mixer(nullptr, 0, 0, 10, 5, 3);
    for (int32_t k = 0; k < 3; ++k)
        for (int32_t b = 0; b < BandSlots; ++b) mixer.Attenuation->Set3(0, k, b, 10.0f + k);
    EXPECT_TRUE(mixer.Mirror());
    // The anchor goes to the other end; the input that was on the right is
    // now on the left and carries what it carried.
    EXPECT_EQ(mixer.GetGridRect(), (TCellRect{5, 8, 7, 10}));
    EXPECT_EQ(mixer.Mirrored, 0);
    for (int32_t b : {0, 5, 14}) {
        EXPECT_EQ(mixer.Attenuation->Get3(0, 0, b), 12.0f);
        EXPECT_EQ(mixer.Attenuation->Get3(0, 1, b), 11.0f);
        EXPECT_EQ(mixer.Attenuation->Get3(0, 2, b), 10.0f);
    }
    // Turned once, the turn itself carries the columns along.
    TDemiscelatore demixer(nullptr, 1, 0, 10, 5, 2);
    demixer.Attenuation->Set3(0, 0, 3, 3.0f);
    demixer.Attenuation->Set3(0, 1, 3, 4.0f);
    EXPECT_TRUE(demixer.Mirror());
    EXPECT_EQ(demixer.Orientation, 3);
    EXPECT_EQ(demixer.Attenuation->Get3(0, 0, 3), 3.0f);
}

// ---- Data check ----

class BranchCheck : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(nullptr); }
    // The one message the check showed, or "" when it showed none.
    AnsiString Check(TCella& cell, bool ok) {
        Application->Script().Reset();
        globals.Reporter().SetTarget(nullptr);
        EXPECT_EQ(cell.CheckData("P: "), ok);
        const auto& boxes = Application->Script().MessageBoxes;
        EXPECT_LE(boxes.size(), 1u);
        return boxes.empty() ? AnsiString() : boxes.front().Text;
    }
};

TEST_F(BranchCheck, EveryBranchIsCheckedWithItsNumberInTheMessage) {
    TMiscelatore mixer(nullptr, 0, 0, 0, 0, 3);
    for (int32_t b = 0; b < 5; ++b) mixer.Attenuation->Set3(0, 0, b, 3.0f);
    mixer.Attenuation->Set3(0, 1, 2, LevelRepeat);
    mixer.Attenuation->Set3(0, 1, 3, 3.0f);
    EXPECT_EQ(Check(mixer, false), "P: Atten. di passaggio  [dB]2: < non ammesso.");
    mixer.Attenuation->Set3(0, 1, 2, 3.0f);
    // The first failing branch is the only one reported.
    EXPECT_EQ(Check(mixer, false), "P: Atten. di passaggio  [dB]3: nessuna banda gestita.");
    mixer.Attenuation->Set3(0, 2, 0, 3.0f);
    EXPECT_EQ(Check(mixer, true), "");
}

// The in-line passives check their through loss as the base cell does.
TEST_F(BranchCheck, PassivesWithoutThroughLossHandleNoSignal) {
    for (int32_t code : {CodeSeparatoreCC, CodeInseritore, CodeAlimentatore, CodeAttenuatore,
                         CodeAttenuatoreR, CodeEqualizzatore}) {
        auto cell = Make(code, 1);
        EXPECT_EQ(Check(*cell, false), "Il componente non gestisce alcun segnale.") << code;
        cell->Attenuation->Set3(0, 1, 3, 2.0f);
        EXPECT_EQ(Check(*cell, true), "") << code;
    }
}

// ---- Records ----

class BranchRecords : public GlobalsTest {};

std::string Saved(TCella& cell) {
    TMemoryStream s;
    cell.Save(s, 60000);
    return s.Bytes();
}

TRecordResult ReadInto(TCella& cell, const std::string& bytes, int32_t version) {
    TMemoryStream s(bytes);
    s.SetPosition(RecordHeadBytes);
    return ReadCellRecord(cell, s, version);
}

TEST_F(BranchRecords, EveryPassiveAndBranchCellRoundTrips) {
    const std::pair<int32_t, int32_t> kinds[] = {
        {CodeSeparatoreCC, 1}, {CodeInduttanza, 1},    {CodeAlimentatore, 3},
        {CodeAttenuatore, 1},  {CodeAttenuatoreR, 1},  {CodeEqualizzatore, 1},
        {CodeMiscelatore, 4},  {CodeDemiscelatore, 2}, {CodeInseritore, 1}};
    for (auto [code, count] : kinds) {
        auto cell = Make(code, count, nullptr, 6, 7);
        cell->Orientation = 2;
        cell->Attenuation->Set3(0, count > 1 ? count - 1 : 1, 5, 7.5f);
        const std::string bytes = Saved(*cell);
        auto back = Make(code, count);
        ASSERT_EQ(ReadInto(*back, bytes, 60000), TRecordResult::Ok) << code;
        const TCella &b = *back, &c = *cell;
        EXPECT_EQ(typeid(b), typeid(c)) << code;
        EXPECT_EQ(back->Orientation, 2) << code;
        EXPECT_EQ(back->Attenuation->Get3(0, count > 1 ? count - 1 : 1, 5), 7.5f) << code;
        EXPECT_EQ(Saved(*back), bytes) << code;
    }
}

// An old record (below version 20000): head, grid selector, geometry, 6 band
// vectors of 10 floats (column k of row 0) and the raw texts.
RecordBytes OldRecord(int32_t code) {
    RecordBytes b;
    b.I32(code).I32(1).I32(1).I32(0);
    b.I32(1).I32(0).I32(0).I32(3).I32(8);
    for (int k = 0; k < 6; ++k)
        for (int i = 0; i < 10; ++i) b.F32(k < 3 ? 2.0f + k : -1.0f);
    b.Fixed("Miscelatore", 30).Fixed("", 100).Fixed("Marca", 20).Fixed("Y2", 20).Fixed("7", 15);
    b.U8(1).I32(5).U8(0);
    return b;
}

TEST_F(BranchRecords, OldRecordsCarryTheirTwoCountsAndDamagedCountsAreRefused) {
    struct Case {
        const char* what;
        int32_t code, through, inputs;
        TRecordResult result;
        int32_t branches;
    };
    // clang-format off
    const Case cases[] = {
        {"mixer of 3 inputs", CodeMiscelatore, 1, 3, TRecordResult::Ok, 3},
        {"demixer of 2 outputs", CodeDemiscelatore, 2, 1, TRecordResult::Ok, 2},
        {"mixer of no input", CodeMiscelatore, 1, 0, TRecordResult::Damaged, 0},
        {"mixer of 11 inputs", CodeMiscelatore, 1, 11, TRecordResult::Damaged, 0},
        {"demixer of 11 outputs", CodeDemiscelatore, 11, 1, TRecordResult::Damaged, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        RecordBytes b = OldRecord(c.code);
        b.I32(c.through).I32(c.inputs).I32(0x5A5A5A5A);  // something after the record
        auto cell = Make(c.code, 1);
        EXPECT_EQ(ReadInto(*cell, b.Bytes(), 10000), c.result) << c.what;
        if (c.result != TRecordResult::Ok) continue;
        auto* branches = dynamic_cast<TCellaRami*>(cell.get());
        EXPECT_EQ(branches->Branches(), c.branches) << c.what;
        EXPECT_EQ(cell->NumInputs + cell->NumOutputs, c.branches + 1) << c.what;
        EXPECT_EQ(cell->Attenuation->Get3(0, 1, 2), 3.0f) << c.what;
    }
    // At 60000 the counts of the head decide: none, or more than ten, is damage.
    for (int32_t n : {0, 11, 127}) {
        TMiscelatore source(nullptr, 0, 0, 0, 0, 2);
        source.Inputs = n;
        const std::string bytes = Saved(source);
        auto cell = Make(CodeMiscelatore, n);
        ASSERT_NE(cell, nullptr);
        EXPECT_LE(cell->NumInputs, MixerBranchesMax);
        EXPECT_EQ(ReadInto(*cell, bytes, 60000), TRecordResult::Damaged) << n;
    }
}

// ---- Prototypes ----

TEST_F(BranchRecords, PrototypesByBranchCountAndNoneForOneBranchOrAFifthOutput) {
    ScopedPrototypes prototypes;
    struct Case {
        int32_t code, count;
        bool has;
    };
    // clang-format off
    const Case cases[] = {
        {CodeMiscelatore, 2, true},   {CodeMiscelatore, 10, true}, {CodeMiscelatore, 1, false},
        {CodeDemiscelatore, 2, true}, {CodeDemiscelatore, 1, false}, {CodeAlimentatore, 1, true},
        {CodeAlimentatore, 4, true},  {CodeAlimentatore, 5, false}, {CodeSeparatoreCC, 1, true},
        {CodeInseritore, 1, true},    {CodeAttenuatore, 1, true},    {CodeAttenuatoreR, 1, true},
        {CodeEqualizzatore, 1, true}, {CodeInduttanza, 1, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, c.count);
        TCella* prototype = cell->GetPrototype();
        EXPECT_EQ(prototype != nullptr, c.has) << c.code << " x " << c.count;
        if (!prototype) continue;
        EXPECT_TRUE(cell->IsSameKind(prototype)) << c.code << " x " << c.count;
    }
    // Data stored from a mixer of 3 do not reach the prototype of 2.
    TMiscelatore three(nullptr, 0, 0, 0, 0, 3);
    three.Description = "M3";
    three.StoreAsLastUsed();
    EXPECT_EQ(TMiscelatore(nullptr, 0, 0, 0, 0, 2).GetPrototype()->Description, "");
    EXPECT_EQ(TMiscelatore(nullptr, 0, 0, 0, 0, 3).GetPrototype()->Description, "M3");
    // A single-branch mixer keeps its own data and stores none.
    TMiscelatore one(nullptr, 0, 0, 0, 0, 1);
    one.Description = "uno";
    one.StoreAsLastUsed();
    one.TakeLastUsed();
    EXPECT_EQ(one.Description, "uno");
}

// ---- Separation search ----

// Outputs 0 and 1 of a demixer (3 and 4 dB) and of a mixer's two inputs.
TEST(BranchSeparation, AValueCrossesToTheOtherBranchesAndAnEqualOneStops) {
    TDemiscelatore demixer(nullptr, 0, 0, 0, 0, 2);
    TPozzoProva left, right;
    TPozzoProva up;
    LinkCells(demixer, 0, left, 0);
    LinkCells(demixer, 1, right, 0);
    demixer.InputCell[0] = &up;
    demixer.InputPort[0] = 0;
    SetRow0(demixer, 0, 3.0f);
    SetRow0(demixer, 1, 4.0f);
    demixer.ClearBandAccumulators(4);
    // 1 dB arrives back at output 0.
    demixer.AcceptSeparation(0, 4, 1.0f, 36.0f);
    EXPECT_EQ(right.Calls, 1);
    EXPECT_EQ(right.LastValue, 1.0f + 3.0f + 4.0f);
    EXPECT_EQ(right.LastPort, PortInputBase);
    EXPECT_EQ(up.LastValue, 1.0f + 3.0f);
    EXPECT_EQ(left.Calls, 0);
    // The same value again, or a larger one, is not carried on.
    demixer.AcceptSeparation(0, 4, 1.0f, 36.0f);
    demixer.AcceptSeparation(0, 4, 2.0f, 36.0f);
    EXPECT_EQ(right.Calls, 1);
    // A value at the limit is not taken.
    demixer.ClearBandAccumulators(4);
    demixer.AcceptSeparation(0, 4, 36.0f, 36.0f);
    EXPECT_EQ(right.Calls, 1);
    // A branch that does not carry the band does not cross it.
    demixer.ClearBandAccumulators(6);
    demixer.Attenuation->Set3(0, 1, 6, LevelNone);
    demixer.AcceptSeparation(0, 6, 1.0f, 36.0f);
    EXPECT_EQ(right.Calls, 1);
}

// ---- Downstream walk ----

// A walk that enters by any input of a mixer reaches what its output feeds; one
// that enters a demixer reaches what every output feeds (an amplifier on a
// mixer's second input finds the outlets it regulates for).
TEST(BranchWalk, EveryInputLeadsToTheOutputAndEveryOutputIsFollowed) {
    for (int32_t entry : {0, 1, 2}) {
        TMiscelatore mixer(nullptr, 0, 0, 0, 0, 3);
        TPassanteProva below(nullptr, 0, 3);
        LinkCells(mixer, 0, below, 0);
        TListaCanali list;
        const uint32_t stamp = NextPassNumber();
        mixer.WalkDownstream(&list, entry, stamp);
        EXPECT_EQ(below.PassStamp, stamp) << entry;
    }
    TDemiscelatore demixer(nullptr, 0, 0, 0, 0, 2);
    TPassanteProva left(nullptr, 0, 1), right(nullptr, 1, 1);
    LinkCells(demixer, 0, left, 0);
    LinkCells(demixer, 1, right, 0);
    TListaCanali list;
    const uint32_t stamp = NextPassNumber();
    demixer.WalkDownstream(&list, 0, stamp);
    EXPECT_EQ(left.PassStamp, stamp);
    EXPECT_EQ(right.PassStamp, stamp);
    // A cell the walk has visited is not walked through again.
    right.PassStamp = 0;
    demixer.WalkDownstream(&list, 0, stamp);
    EXPECT_EQ(right.PassStamp, 0u);
}

// ---- Designer ----

TEST(MixerChoice, TheLastFittingEntryStays) {
    auto entry = [](const char* code, float input0, float input1) {
        auto cell = std::make_unique<TMiscelatore>(nullptr, 0, 0, 0, 0, 2);
        cell->Code = code;
        SetRow0(*cell, 0, 3.0f);
        SetRow0(*cell, 1, 3.0f);
        cell->Attenuation->Set3(0, 0, 5, input0);
        cell->Attenuation->Set3(0, 1, 9, input1);
        return std::unique_ptr<TCella>(std::move(cell));
    };
    std::vector<std::unique_ptr<TCella>> list;
    list.push_back(entry("A", 2.0f, 2.0f));
    list.push_back(entry("B", LevelNone, 2.0f));  // input 0 does not pass band 5
    list.push_back(entry("C", 2.5f, 2.0f));
    list.push_back(entry("D", 2.5f, LevelNone));                             // input 1 does not pass band 9
    list.push_back(std::make_unique<TMiscelatore>(nullptr, 0, 0, 0, 0, 3));  // another kind
    list.back()->Code = "E";
    for (size_t i = 0; i + 1 < list.size(); ++i) list[i]->NextInList = list[i + 1].get();
    uint8_t bands0[BandSlots] = {}, bands1[BandSlots] = {};
    bands0[5] = 1;
    bands1[9] = 1;
    TMiscelatore mixer(nullptr, 0, 0, 0, 0, 2);
    EXPECT_TRUE(mixer.SelectFromLibrary(list[0].get(), bands0, bands1));
    EXPECT_EQ(mixer.Code, "C");
    EXPECT_EQ(mixer.Described, 1);
    // Nothing fits: the cell stays as it was.
    bands1[5] = 1;
    list[0]->Attenuation->Set3(0, 1, 5, LevelNone);
    list[2]->Attenuation->Set3(0, 1, 5, LevelNone);
    TMiscelatore other(nullptr, 0, 0, 0, 0, 2);
    EXPECT_FALSE(other.SelectFromLibrary(list[0].get(), bands0, bands1));
    EXPECT_EQ(other.Code, "");
    EXPECT_EQ(other.Described, 0);
}

}  // namespace
