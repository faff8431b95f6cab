// Graphic cells: what the factory builds, their part (none) in the passes
// and the analysis, their footprints, the satellite receiver's placement,
// the dish's data, the records (golden bytes and old versions) and the
// colour of an undescribed code.
#include "cells/graphic_cells.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <typeinfo>

#include "cells/cables.h"
#include "cells/factory.h"
#include "cells/mouse_info.h"
#include "cells/passives.h"
#include "cells/record.h"
#include "document/grid.h"
#include "platform/engines.h"
#include "platform/graphics.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

std::unique_ptr<TCella> Make(int32_t code, TCellGrid* owner = nullptr, int32_t column = 0, int32_t row = 0) {
    return std::unique_ptr<TCella>(NewCella(owner, code, column, row, 1, 1, 0));
}

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

constexpr int32_t GraphicCodes[] = {CodeEarth, CodeAlimentatoreSF, CodeParabola, CodeRicevitoreSat,
                                    CodeElementoListino};

class GraphicCells : public GlobalsTest {};

TEST_F(GraphicCells, TheFactoryBuildsEachWithItsIdentity) {
    struct Case {
        int32_t code, kind;
        const char* category;
        const char* shortCode;
        const char* typeName;
        int32_t inputs, outputs;
        bool estimate, described;
    };
    // clang-format off
    const Case cases[] = {
        {CodeEarth, 25, "", "", "", 0, 0, false, true},
        {CodeAlimentatoreSF, 24, "Alimentatori", "Al4", "Alimentatore ", 0, 0, true, false},
        {CodeParabola, 45, "Parabole", "Pa4", "Parabola ", 0, 0, true, false},
        {CodeRicevitoreSat, 51, "Ricevitori Sat", "Rs4", "Ricevitore Sat ", 1, 1, true, false},
        {CodeElementoListino, 150, "", "", "", 0, 0, true, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code);
        ASSERT_NE(cell, nullptr) << c.code;
        EXPECT_NE(dynamic_cast<TCellaGrafica*>(cell.get()), nullptr) << c.code;
        cell->SequenceNumber = 4;
        EXPECT_EQ(cell->TypeCode, c.code);
        EXPECT_EQ(cell->Kind, c.kind) << c.code;
        EXPECT_EQ(cell->Category, c.category) << c.code;
        EXPECT_EQ(cell->GetShortCode(), c.shortCode) << c.code;
        EXPECT_EQ(cell->GetTypeName(), c.typeName) << c.code;
        EXPECT_EQ(cell->NumInputs, c.inputs) << c.code;
        EXPECT_EQ(cell->NumOutputs, c.outputs) << c.code;
        EXPECT_EQ(cell->TableRows, 0) << c.code;
        EXPECT_EQ(cell->IsEstimateItem(), c.estimate) << c.code;
        EXPECT_EQ(cell->Described, c.described ? 1 : 0) << c.code;
        EXPECT_TRUE(cell->NeedsNoDescription()) << c.code;
        EXPECT_FALSE(cell->TakesPartInAnalysis()) << c.code;
        EXPECT_TRUE(cell->CheckData("x")) << c.code;
        EXPECT_EQ(cell->IsSignalStart(), c.code == CodeRicevitoreSat) << c.code;
    }
}

TEST_F(GraphicCells, NumbersComeFromTheirCountersAndTheSupplyBlockSharesThePowerSuppliesOne) {
    TContatoriCategoria counters;
    counters.fill(1);
    TAlimentatore supply(nullptr, 0, 0, 0, 0, 1);
    TAlimentatoreSF block(nullptr, 0, 0, 0, 0);
    TParabola dish(nullptr, 0, 0, 0, 0);
    TRicevitoreSat receiver(nullptr, 0, 0, 0, 0);
    for (TCella* cell : std::initializer_list<TCella*>{&supply, &block, &dish, &receiver})
        cell->TakeSequenceNumber(counters);
    EXPECT_EQ(supply.GetShortCode(), "Al1");
    EXPECT_EQ(block.GetShortCode(), "Al2");
    EXPECT_EQ(dish.GetShortCode(), "Pa1");
    EXPECT_EQ(receiver.GetShortCode(), "Rs1");
    EXPECT_EQ(counters[PowerSupplyCounter], 3);
    EXPECT_EQ(counters[DishCounter], 2);
    EXPECT_EQ(counters[SatReceiverCounter], 2);
}

// Every pass step leaves a graphic cell as it was: no stamp, no window, no list.
TEST_F(GraphicCells, EveryPassLeavesThemUntouched) {
    for (int32_t code : GraphicCodes) {
        auto cell = Make(code);
        cell->AllocLinks();
        cell->ComputeRequiredLevels({}, {}, 5);
        cell->SpreadStamp(5);
        cell->ComputeSignalLevels(5);
        cell->WalkDownstream(nullptr, 0, 5);
        cell->PushSeparation(0, 3, 40.0f);
        if (code != CodeRicevitoreSat) cell->ComputeChannels(0, 0, 5);
        EXPECT_EQ(cell->PassStamp, 0u) << code;
        EXPECT_EQ(cell->SpreadPassStamp, 0u) << code;
        EXPECT_FALSE(cell->InputLevels.Allocated()) << code;
        EXPECT_FALSE(cell->OutputLevels.Allocated()) << code;
        EXPECT_TRUE(cell->ChannelLists.empty()) << code;
        EXPECT_EQ(cell->SeparationBest[3], LevelNone) << code;
        TInfoMousePos position;
        position.Input = 2;
        position.PortName = "x";
        cell->GetPortName(position);
        EXPECT_FALSE(position.PointsAtPort()) << code;
        EXPECT_EQ(position.PortName, "") << code;
    }
    // The receiver's channel step only empties its lists, once per pass.
    TRicevitoreSat receiver(nullptr, 0, 0, 0, 0);
    receiver.ComputeChannels(0, 0, 7);
    EXPECT_EQ(receiver.PassStamp, 7u);
    ASSERT_EQ(receiver.ChannelLists.size(), 1u);
    EXPECT_EQ(receiver.ChannelLists[0]->Count(), 0);
}

// ---- Footprints ----

TEST_F(GraphicCells, FootprintsAndTheSupplyBlockGrowingOnTheHeadEndGrid) {
    TGridData network(nullptr, 60, 60, GridNetwork);
    TGridData headEnd(nullptr, 60, 60, GridHeadEnd);
    TAlimentatoreSF block(&network, 0, 0, 10, 20);
    block.Variant = 1;
    EXPECT_EQ(block.GetGridRect(), (TCellRect{20, 10, 20, 10}));
    block.Owner = &headEnd;  // moved to the head-end grid: (3 x 1 + 3) x 5
    EXPECT_EQ(block.GetGridRect(), (TCellRect{20, 10, 24, 15}));
    block.Owner = nullptr;
    block.Variant = 0;
    EXPECT_EQ(block.GetGridRect(), (TCellRect{20, 10, 24, 12}));
    block.Variant = 255;  // the widest a stored variant makes it
    EXPECT_EQ(block.GetGridRect(), (TCellRect{20, 10, 24, 10 + 3 * 255 + 2}));

    EXPECT_EQ(TTerra(nullptr, 0, 0, 3, 4).GetGridRect(), (TCellRect{4, 3, 4, 3}));
    EXPECT_EQ(TParabola(nullptr, 0, 0, 3, 4).GetGridRect(), (TCellRect{4, 3, 6, 4}));
    EXPECT_EQ(TRicevitoreSat(nullptr, 0, 0, 3, 4).GetGridRect(), (TCellRect{4, 3, 8, 5}));
}

TEST_F(GraphicCells, ABlockThatDoesNotFitTheGridIsRefused) {
    TGridData headEnd(nullptr, 12, 12, GridHeadEnd);
    auto wideOwned = std::make_unique<TAlimentatoreSF>(&headEnd, 0, 0, 1, 1);
    auto* wide = wideOwned.get();
    wide->Variant = 5;                                                 // 18 columns
    EXPECT_FALSE(headEnd.InsertCell(std::move(wideOwned), false, 0));  // and deleted
    EXPECT_EQ(headEnd.CellAt(1, 1), nullptr);
    auto narrowOwned = std::make_unique<TAlimentatoreSF>(&headEnd, 0, 0, 1, 1);
    auto* narrow = narrowOwned.get();
    narrow->Variant = 1;  // 6 columns
    EXPECT_TRUE(headEnd.InsertCell(std::move(narrowOwned), false, 0));
}

TEST_F(GraphicCells, ADishIsNeverTurnedAndItsMirrorTurnsTheDrawingRound) {
    TParabola dish(nullptr, 0, 0, 10, 4);
    EXPECT_FALSE(dish.Rotate(1));
    EXPECT_EQ(dish.Orientation, 0);
    EXPECT_TRUE(dish.Mirror());
    EXPECT_EQ(dish.Mirrored, 1);
    EXPECT_EQ(dish.GetGridRect(), (TCellRect{4, 9, 6, 10}));  // the anchor at the other end
    EXPECT_TRUE(dish.Mirror());
    EXPECT_EQ(dish.Mirrored, 0);
}

// ---- The satellite receiver ----

class ReceiverPlacement : public GlobalsTest {
protected:
    ReceiverPlacement() : grid(nullptr, 20, 20, GridNetwork) {}
    TGridData grid;
};

// A receiver at (5, 5) covers columns 5 to 7 and rows 5 to 9. Its output is
// linked to the cable at (6, 10) and its input waits for the one at (6, 4)
// when the cable meets them: a straight piece of turn 0, a bend that reaches
// them, or any piece that shares its square.
TEST_F(ReceiverPlacement, PortsAttachOnlyToACableThatMeetsThem) {
    struct Case {
        const char* what;
        bool bend;
        int32_t turn;
        bool crossing;
        bool output, input;
        int32_t receiverTurn = 0, receiverMirrored = 0;
    };
    // clang-format off
    const Case cases[] = {
        // Turned or mirrored, the receiver keeps its squares and ports upright.
        {"receiver turned once", false, 0, false, true, true, 1, 0},
        {"receiver turned twice and mirrored", false, 0, false, true, true, 2, 1},
        {"straight, turn 0", false, 0, false, true, true},
        {"straight, turn 1", false, 1, false, false, false},
        {"bend, turn 0 (left and bottom)", true, 0, false, false, true},
        {"bend, turn 1 (left and top)", true, 1, false, true, false},
        {"bend, turn 2 (right and top)", true, 2, false, true, false},
        {"bend, turn 3 (right and bottom)", true, 3, false, false, true},
        {"crossing", false, 1, true, true, true},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        grid.Clear();
        auto receiverOwned =
            std::make_unique<TRicevitoreSat>(&grid, c.receiverTurn, c.receiverMirrored, 5, 5);
        auto* receiver = receiverOwned.get();
        ASSERT_TRUE(grid.InsertCell(std::move(receiverOwned), false, 0));
        for (int32_t row : {4, 10}) {
            ASSERT_TRUE(grid.InsertCell(std::make_unique<TNCavo>(&grid, c.turn, 0, 6, row, c.bend ? 1 : 0, 0),
                                        false, 0));
            if (c.crossing)
                ASSERT_TRUE(grid.InsertCell(std::make_unique<TNCavo>(&grid, 0, 0, 6, row, 0, 0), false, 0));
        }
        EXPECT_TRUE(receiver->IsSignalStart());
        grid.BeginAnalysis();
        receiver->AllocLinks();
        TQNextCell queue;
        TNextCell start;
        start.Side = SideStart;
        EXPECT_TRUE(receiver->PlaceOnGrid(start, queue));
        int visited = 0;
        for (int32_t col = 0; col < grid.Columns; ++col)
            for (int32_t row = 0; row < grid.Rows; ++row)
                if (grid.AnalysisAt(col, row)->Visited) {
                    ++visited;
                    EXPECT_TRUE(col >= 5 && col <= 7 && row >= 5 && row <= 9);
                }
        EXPECT_EQ(visited, 15);
        TNextCell record;
        EXPECT_EQ(queue.Pop(record), c.output);
        if (c.output) {
            EXPECT_EQ(record.Column, 6);
            EXPECT_EQ(record.Row, 10);
            EXPECT_EQ(record.Side, 0);
            EXPECT_NE(receiver->OutputCell[0], nullptr);
        }
        EXPECT_EQ(grid.AnalysisAt(6, 5)->Waiting[0], c.input ? 1 : 0);
        grid.EndAnalysis();
    }
}

// ---- The dish's data ----

TEST_F(GraphicCells, TheDishFormFillsAndReadsItsFourValues) {
    ScopedComponentDialog dialog;
    TDatiComponenti& form = dialog.Get();
    TParabola dish(nullptr, 0, 0, 0, 0);
    dish.Diameter = 80.0f;
    dish.WindThrust = 120.5f;
    dish.WindArea = 0.456f;
    dish.WindSpeed = LevelNone;
    // Filled as an edit fills it, under the form's guard.
    form.Updating = true;
    dish.FillDataDialogDefault(&form);
    form.Updating = false;
    EXPECT_EQ(form.EditDiametro->Text, "80");
    EXPECT_EQ(form.EditSpinta->Text, "120,5");
    EXPECT_EQ(form.EditArea->Text, "0,46");
    EXPECT_EQ(form.ComboVelocita->Text, "");
    form.EditDiametro->Text = "100";
    form.ComboVelocita->Text = "150";
    form.EditArea->Text = "";
    TParabola back(nullptr, 0, 0, 0, 0);
    back.ReadDataDialogDefault(&form);
    EXPECT_EQ(back.Diameter, 100.0f);
    EXPECT_EQ(back.WindThrust, 120.5f);
    EXPECT_EQ(back.WindArea, LevelNone);
    EXPECT_EQ(back.WindSpeed, 150.0f);

    // Assign carries the four values with the rest of the data.
    TParabola copy(nullptr, 0, 0, 0, 0);
    back.Assign(&copy);
    EXPECT_EQ(copy.Diameter, 100.0f);
    EXPECT_EQ(copy.WindSpeed, 150.0f);
}

// ---- Records ----

TEST_F(GraphicCells, ADishWritesTheGoldenBytes) {
    TParabola dish(nullptr, 0, 0, 0, 0);
    dish.Diameter = 80.0f;
    dish.WindThrust = 120.5f;
    dish.WindArea = 0.5f;
    dish.WindSpeed = 150.0f;
    const std::string golden = ReadHexFixture("dish_60000.hex");
    const std::string bytes = Saved(dish);
    EXPECT_EQ(bytes, golden) << "written:\n" << HexDump(bytes) << "\nexpected:\n" << HexDump(golden);
    TParabola back(nullptr, 0, 0, 5, 5);
    ASSERT_EQ(ReadInto(back, golden, 60000), TRecordResult::Ok);
    EXPECT_EQ(back.Diameter, 80.0f);
    EXPECT_EQ(back.WindThrust, 120.5f);
    EXPECT_EQ(back.WindArea, 0.5f);
    EXPECT_EQ(back.WindSpeed, 150.0f);
    EXPECT_EQ(Saved(back), golden);
}

TEST_F(GraphicCells, APriceListEntryWritesOnlyItsShortRecord) {
    TElementoListino entry(nullptr);
    entry.Code = "PL-7";
    entry.Article = "Staffa";
    entry.Notes = "Fissaggio";
    entry.Series = "S1";
    entry.Description = "Staffa a muro";
    entry.Currency = 2;
    entry.Brand = "Marca";
    entry.Price = 12.5f;
    entry.InstallMinutes = 15;
    const std::string golden = ReadHexFixture("price_list_entry_60000.hex");
    const std::string bytes = Saved(entry);
    EXPECT_EQ(bytes, golden) << "written:\n" << HexDump(bytes) << "\nexpected:\n" << HexDump(golden);
    auto back = Make(CodeElementoListino);
    ASSERT_EQ(ReadInto(*back, golden, 60000), TRecordResult::Ok);
    EXPECT_EQ(back->Series, "S1");
    EXPECT_EQ(back->Price, 12.5f);
    EXPECT_EQ(back->InstallMinutes, 15);
    EXPECT_EQ(Saved(*back), golden);
}

TEST_F(GraphicCells, EveryGraphicCellRoundTrips) {
    for (int32_t code : GraphicCodes) {
        auto cell = Make(code, nullptr, 7, 8);
        cell->Code = "G-1";
        cell->Price = 3.0f;
        cell->Variant = code == CodeAlimentatoreSF ? 2 : 0;
        const std::string bytes = Saved(*cell);
        auto back = Make(code);
        ASSERT_EQ(ReadInto(*back, bytes, 60000), TRecordResult::Ok) << code;
        const TCella &b = *back, &c = *cell;
        EXPECT_EQ(typeid(b), typeid(c));
        EXPECT_EQ(back->Code, "G-1") << code;
        EXPECT_EQ(back->Price, 3.0f) << code;
        EXPECT_EQ(Saved(*back), bytes) << code;
    }
}

// An old record (below version 20000): head, grid selector, geometry, 6 band
// vectors of 10 floats and the raw texts.
RecordBytes OldRecord(int32_t typeCode) {
    RecordBytes b;
    b.I32(typeCode).I32(0).I32(0).I32(0);
    b.I32(1).I32(0).I32(0).I32(3).I32(8);
    for (int k = 0; k < 6; ++k)
        for (int i = 0; i < 10; ++i) b.F32(-1.0f);
    b.Fixed("Parabola vecchia", 30).Fixed("", 100).Fixed("Marca", 20).Fixed("PA", 20).Fixed("7", 15);
    b.U8(1).I32(5).U8(0);
    return b;
}

// A record of version 40000 of a cell without table rows, up to its end.
RecordBytes Record40000(int32_t typeCode) {
    RecordBytes b;
    b.I32(typeCode).I32(0).I32(0).I32(0);
    b.Text("PA", 20).Text("Articolo", 30).Text("Parabole", 30).Text("S", 20);
    b.U8(0).F32(-1.0f).F32(0.0f);  // Variant, ExtraValue, Current1
    b.U8('3').I32(0).I32(0).I32(2).I32(3);
    b.U8(1).Text("", 30).Text("", 100).Text("", 20).F32(0.0f).U8(1).I32(-1);
    b.U8(0);    // no auxiliary article
    b.I32(10);  // level vectors: no table row to end
    b.Text("", 100).Text("", 11).U8(255).U8(255).U8(255);
    b.Zeros(5).Zeros(4);  // old flag bytes, characteristics
    return b;
}

TEST_F(GraphicCells, OldRecordsOfTheDishAndThePriceListEntry) {
    {
        SCOPED_TRACE("dish below 20000: no values");
        TParabola dish(nullptr, 0, 0, 0, 0);
        dish.Diameter = 5.0f;
        RecordBytes b = OldRecord(CodeParabola);
        b.F32(99.0f);  // whatever follows is not the dish's
        ASSERT_EQ(ReadInto(dish, b.Bytes(), 10000), TRecordResult::Ok);
        EXPECT_EQ(dish.Diameter, 5.0f);
        EXPECT_EQ(dish.Column, 3);
    }
    {
        SCOPED_TRACE("dish at 40000: small negative codes become sentinels");
        TParabola dish(nullptr, 0, 0, 0, 0);
        RecordBytes b = Record40000(CodeParabola);
        b.F32(-1.0f).F32(-100.0f).F32(-2.0f).F32(60.0f);  // diameter, thrust, speed, area
        ASSERT_EQ(ReadInto(dish, b.Bytes(), 40000), TRecordResult::Ok);
        EXPECT_EQ(dish.Diameter, LevelNone);
        EXPECT_EQ(dish.WindThrust, -100.0f);  // outside the old codes' range
        EXPECT_EQ(dish.WindSpeed, LevelBlocked);
        EXPECT_EQ(dish.WindArea, 60.0f);
    }
    {
        SCOPED_TRACE("price-list entry at 30000: no Series");
        RecordBytes b;
        b.I32(CodeElementoListino).I32(0).I32(0).I32(0);
        b.Text("PL", 20)
            .Text("Art", 30)
            .Text("N", 30)
            .Text("Descr", 30)
            .U8(1)
            .Text("M", 20)
            .F32(-1.0f)
            .I32(-3);
        auto entry = Make(CodeElementoListino);
        TMemoryStream s(b.Bytes());
        s.SetPosition(RecordHeadBytes);
        ASSERT_EQ(ReadCellRecord(*entry, s, 30000), TRecordResult::Ok);
        EXPECT_EQ(s.Position(), s.Size());
        EXPECT_EQ(entry->Description, "Descr");
        EXPECT_EQ(entry->Series, "");
        EXPECT_EQ(entry->Price, LevelNone);
        EXPECT_EQ(entry->InstallMinutes, -500003);
    }
}

// ---- Drawing ----

TEST_F(GraphicCells, AnUndescribedGraphicCodeIsBlueADescribedOneGreen) {
    TGridData grid(nullptr, 20, 20, GridNetwork);
    grid.Step = 2;
    for (uint8_t described : {uint8_t{0}, uint8_t{1}}) {
        TParabola dish(&grid, 0, 0, 2, 2);
        dish.SequenceNumber = 3;
        dish.Described = described;
        TRecordingEngine engine;
        TCanvas canvas(&engine);
        dish.Paint(&canvas, 2, 2, 0, 0, 42);
        const auto texts = engine.CallsOf(TPaintOp::Text);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].Text, "Pa3");
        EXPECT_EQ(texts[0].State.Font.Color, described ? CellCodeColour : clBlue);
    }
    // The earth draws its symbol only.
    TTerra earth(&grid, 0, 0, 2, 2);
    earth.SequenceNumber = 1;
    TRecordingEngine engine;
    TCanvas canvas(&engine);
    earth.Paint(&canvas, 2, 2, 0, 0, 42);
    EXPECT_TRUE(engine.CallsOf(TPaintOp::Text).empty());
    EXPECT_EQ(engine.CallsOf(TPaintOp::Line).size(), 4u);
}

}  // namespace
