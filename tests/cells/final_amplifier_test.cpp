// The head end's final amplifier (code 43) on the auto-mix base: its port
// frame by arrangements, the placement of its box, port names, turning, the
// channel pass with its two steps, the automatic regulation, records old and
// new, the data check, prototypes and the designer's library searches.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/factory.h"
#include "cells/mouse_info.h"
#include "cells/outlets.h"
#include "cells/pass_links.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "cells/terminations.h"
#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/stdctrls.h"
#include "support/globals_fixture.h"
#include "support/line_cells.h"
#include "support/record_bytes.h"

namespace {

constexpr int Bands = 11;
const AnsiString Prefix = "Dati componente errati a causa del seguante problema: ";

std::unique_ptr<TAmplificatoreAt> Make(int32_t inputs, int32_t outputs, TCellGrid* owner = nullptr,
                                       int32_t column = 0, int32_t row = 0) {
    return CellAs<TAmplificatoreAt>(NewCella(owner, CodeAmplificatoreAt, column, row, inputs, outputs, 0));
}

void SetColumn(TCella& cell, int32_t row, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(row, column, b, value);
}

// Every row: regulation 0 (largest 10), gain 40, noise figure 7, maximum output 120.
void Describe(TCella& cell) {
    for (int32_t r = 0; r < cell.TableRows; ++r) {
        SetColumn(cell, r, WideRegulation, 0.0f);
        SetColumn(cell, r, WideMaxRegulation, 10.0f);
        SetColumn(cell, r, WideGain, 40.0f);
        SetColumn(cell, r, WideNoiseFigure, 7.0f);
        SetColumn(cell, r, WideMaxOutput, 120.0f);
    }
    cell.Described = 1;
}

TCanale EuropaChannel(const char* name, float level) {
    TCanale c;
    CanalizzazioneEuropa->SetChannel(c, CanalizzazioneEuropa->IndexOf(name));
    c.band = SistemaBandeCorrente->BandOf(c.CentreFrequency());
    c.levelMin = c.levelMax = level;
    return c;
}

std::vector<AnsiString> Names(const TListaCanali* list) {
    std::vector<AnsiString> names;
    for (const TCanale* c = list ? list->head : nullptr; c; c = c->next) names.push_back(c->name);
    return names;
}

class FinalAmplifier : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(&messages); }
    TListBox messages;
};

TEST_F(FinalAmplifier, ArrangementsGiveOnePortFrameAndTheirRows) {
    struct Case {
        int32_t inputs, outputs, rows;
    };
    for (const Case& c : {Case{1, 1, 1}, Case{2, 1, 2}, Case{3, 1, 1}, Case{3, 4, 3}, Case{2, 3, 2}}) {
        auto cell = Make(c.inputs, c.outputs);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->NumInputs, 5);
        EXPECT_EQ(cell->NumThroughOutputs, 4);
        EXPECT_EQ(cell->NumOutputs, 4);
        EXPECT_EQ(cell->TableRows, c.rows) << c.inputs << "," << c.outputs;
        EXPECT_EQ(cell->Attenuation->Size2(), c.rows);
        EXPECT_EQ(cell->Category, "Amplificatori finali");
        EXPECT_FALSE(cell->IsAutoMixModule());
        EXPECT_EQ(cell->GetGridRect(), (TCellRect{0, 0, 4, 2}));
    }
    TCellaAutoMix module(nullptr, 0, 0, 0, 0, AutoMixCommonLine, AutoMixOutputCentre);
    EXPECT_TRUE(module.IsAutoMixModule());
    ASSERT_NE(module.Modules->head, nullptr);
    EXPECT_FALSE(module.Rotate(2));
    TContatoriCategoria counters;
    counters.fill(1);
    auto cell = Make(1, 1);
    cell->TakeSequenceNumber(counters);
    EXPECT_EQ(cell->GetShortCode(), "Af1");
}

TEST_F(FinalAmplifier, OnlyAHalfTurnIsAcceptedAndMirroringExchangesTheTwoInputRows) {
    auto cell = Make(2, 1, nullptr, 10, 10);
    EXPECT_FALSE(cell->Rotate(1));
    EXPECT_FALSE(cell->Rotate(3));
    EXPECT_EQ(cell->Orientation, 0);
    EXPECT_TRUE(cell->Rotate(2));
    EXPECT_EQ(cell->Orientation, 2);
    EXPECT_EQ(cell->GetGridRect(), (TCellRect{6, 8, 10, 10}));

    auto two = Make(2, 1, nullptr, 10, 10);
    SetColumn(*two, 0, WideGain, 30.0f);
    SetColumn(*two, 1, WideGain, 31.0f);
    two->Mirror();
    EXPECT_EQ(two->Attenuation->Get3(0, WideGain, 5), 31.0f);
    auto bypass = Make(3, 4, nullptr, 10, 10);
    SetColumn(*bypass, 0, WideGain, 30.0f);
    bypass->Mirror();
    EXPECT_EQ(bypass->Attenuation->Get3(0, WideGain, 5), 30.0f);
}

// ---- Placement ----

class FinalAmplifierPlacement : public FinalAmplifier {
protected:
    void SetUp() override {
        FinalAmplifier::SetUp();
        grid.BeginAnalysis();
    }
    void TearDown() override { grid.EndAnalysis(); }
    // The links queued, as (column, row, port, may end open).
    std::vector<std::vector<int32_t>> Links() {
        std::vector<std::vector<int32_t>> all;
        TNextCell next;
        while (queue.Pop(next)) all.push_back({next.Column, next.Row, next.Port, next.MayEndOpen});
        return all;
    }
    TGridData grid{nullptr, 30, 30, GridHeadEnd};
    TQNextCell queue;
};

TNextCell From(int32_t side) {
    TNextCell record;
    record.Side = static_cast<uint8_t>(side);
    return record;
}

TEST_F(FinalAmplifierPlacement, TheBoxRegistersItsPortsByArrangement) {
    struct Waiting {
        int32_t column, row, side, input, open;
    };
    struct Case {
        const char* what;
        int32_t inputs, outputs;
        uint8_t variant;
        std::vector<Waiting> waits;
        std::vector<std::vector<int32_t>> links;
    };
    // clang-format off
    const Case cases[] = {
        {"one input, output at the centre", 1, 1, 0, {{11, 5, 0, 0, 0}}, {{11, 10, 2, 0}}},
        {"two inputs", 2, 1, 0, {{10, 5, 0, 0, 0}, {12, 5, 0, 1, 0}}, {{11, 10, 2, 0}}},
        {"common line without chained neighbours, bypass", 3, 4, 0,
         {{10, 5, 3, 0, 1}, {12, 5, 1, 1, 1}, {10, 9, 2, 4, 0}}, {{12, 10, 2, 0}}},
        {"framed", 3, 1, 2, {{10, 5, 3, 2, 1}}, {{13, 5, 0, 1}, {11, 10, 2, 0}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        grid.EndAnalysis();
        grid.BeginAnalysis();
        auto cell = Make(c.inputs, c.outputs, &grid, 10, 5);
        cell->Variant = c.variant;
        cell->AllocLinks();
        ASSERT_TRUE(cell->PlaceOnGrid(From(SideStart), queue)) << c.what;
        for (int32_t x = 10; x <= 12; ++x)
            for (int32_t y = 5; y <= 9; ++y)
                EXPECT_EQ(grid.AnalysisAt(x, y)->Visited, 1) << c.what << " " << x << "," << y;
        for (const Waiting& w : c.waits) {
            const TSquareAnalysis* s = grid.AnalysisAt(w.column, w.row);
            EXPECT_EQ(s->Waiting[w.side], 1) << c.what << " " << w.column << "," << w.row;
            EXPECT_EQ(s->InputIndex[w.side], w.input) << c.what;
            EXPECT_EQ(s->MayStayOpen[w.side], w.open) << c.what;
        }
        EXPECT_EQ(Links(), c.links) << c.what;
    }
}

TEST_F(FinalAmplifierPlacement, ATerminationBelowFeedsInputTwoAndTheBottomWaitsOtherwise) {
    auto terminationOwned = std::make_unique<TChiusura>(&grid, 0, 0, 10, 10, 1);
    auto* termination = terminationOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(terminationOwned), false, 0));
    auto cell = Make(1, 3, &grid, 10, 5);
    cell->AllocLinks();
    cell->PlaceOnGrid(From(SideStart), queue);
    EXPECT_EQ(cell->InputCell[AutoMixBelowInput], termination);
    EXPECT_EQ(grid.AnalysisAt(10, 10)->Visited, 1);
    EXPECT_EQ(Links(), (std::vector<std::vector<int32_t>>{{12, 10, 2, 0}}));  // output 2 on the other side

    // Without a termination the bottom row waits for the cell below.
    TGridData other(nullptr, 30, 30, GridHeadEnd);
    other.BeginAnalysis();
    auto alone = Make(1, 3, &other, 10, 5);
    alone->AllocLinks();
    TQNextCell q;
    alone->PlaceOnGrid(From(SideStart), q);
    EXPECT_EQ(other.AnalysisAt(10, 9)->Visited, 0);
    EXPECT_EQ(other.AnalysisAt(10, 8)->Visited, 1);
    other.EndAnalysis();
}

TEST_F(FinalAmplifierPlacement, ACornerLinksOnlyToAChainedAmplifierAcrossACable) {
    // Two final amplifiers on a common line, a cable square between them.
    auto cableOwned = std::make_unique<TNCavo>(&grid, 1, 0, 13, 5, 0, 0);
    auto* cable = cableOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(cableOwned), false, 0));
    auto rightOwned =
        std::make_unique<TAmplificatoreAt>(&grid, 0, 0, 14, 5, AutoMixCommonLine, AutoMixOutputCentre);
    auto* right = rightOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(rightOwned), false, 0));
    auto left = Make(3, 1, &grid, 10, 5);
    left->AllocLinks();
    left->PlaceOnGrid(From(SideStart), queue);
    EXPECT_EQ(grid.AnalysisAt(12, 5)->Waiting[1], 1);  // not placed yet: no chained neighbour
    grid.EndAnalysis();
    grid.BeginAnalysis();
    Links();
    grid.AnalysisAt(14, 5)->Visited = 1;  // the other one stands placed
    left->PlaceOnGrid(From(SideStart), queue);
    EXPECT_EQ(grid.AnalysisAt(12, 5)->Waiting[1], 0);
    EXPECT_EQ(Links(), (std::vector<std::vector<int32_t>>{{13, 5, 0, 1}, {11, 10, 2, 0}}));
}

// Turned by half, a final's common line faces down: the bus under a head-end
// row brings it in at one corner and takes it on from the other; the bypass
// waits on the right of the top row and the output leaves up on its left.
TEST_F(FinalAmplifierPlacement, ATurnedFinalTakesTheCommonLineFromTheBusBelow) {
    for (const auto& [arrives, leaves] : {std::pair{12, 10}, std::pair{10, 12}}) {
        grid.EndAnalysis();
        grid.BeginAnalysis();
        auto cell =
            std::make_unique<TAmplificatoreAt>(&grid, 2, 0, 12, 9, AutoMixCommonLine, AutoMixOutputBypass);
        cell->AllocLinks();
        TNextCell record;
        record.Column = arrives;
        record.Row = 9;
        record.Side = 2;
        cell->PlaceOnGrid(record, queue);
        const TSquareAnalysis* entry = grid.AnalysisAt(arrives, 9);
        EXPECT_EQ(entry->Waiting[2], 1) << arrives;
        EXPECT_EQ(entry->InputIndex[2], 0) << arrives;
        const TSquareAnalysis* bypass = grid.AnalysisAt(12, 5);
        EXPECT_EQ(bypass->Waiting[0], 1);
        EXPECT_EQ(bypass->InputIndex[0], AutoMixBypassInput);
        for (int32_t x = 10; x <= 12; ++x)
            for (int32_t y = 5; y <= 9; ++y) EXPECT_EQ(grid.AnalysisAt(x, y)->Visited, 1) << x << "," << y;
        EXPECT_EQ(Links(),
                  (std::vector<std::vector<int32_t>>{{leaves, 10, AutoMixCommonOutput, 1}, {10, 4, 2, 0}}))
            << arrives;
    }
}

TEST_F(FinalAmplifier, PortNamesByArrangementAlsoTurnedByHalf) {
    struct Case {
        int32_t inputs, outputs, orientation, column, row;
        const char* name;
        int32_t input, output;
    };
    // clang-format off
    const Case cases[] = {
        {1, 1, 0, 11, 0, "ingresso", 0, -1},   {1, 1, 0, 10, 0, "", -1, -1},
        {2, 1, 0, 12, 0, "ingresso 2", 1, -1}, {3, 1, 0, 10, 0, "ingresso", -1, 0},
        {1, 1, 0, 11, 4, "uscita", -1, 2},     {1, 3, 0, 10, 4, "uscita", -1, 2},
        {1, 4, 0, 10, 4, "bypass", 4, -1},     {1, 4, 0, 12, 4, "uscita", -1, 2},
        // Turned by half the box runs from (8, -4) to (10, 0): its top row is row 0.
        {2, 1, 2, 8, 0, "ingresso 2", 1, -1},  {2, 1, 2, 9, -4, "uscita", -1, 2},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.inputs, c.outputs, nullptr, 10, 0);
        cell->Orientation = c.orientation;
        TInfoMousePos position;
        position.Column = c.column;
        position.Row = c.row;
        cell->GetPortName(position);
        EXPECT_EQ(position.PortName, c.name)
            << c.inputs << "," << c.outputs << " at " << c.column << "," << c.row;
        EXPECT_EQ(position.Input, c.input) << c.name;
        EXPECT_EQ(position.ThroughOutput, c.output) << c.name;
    }
}

// ---- Passes ----

TEST_F(FinalAmplifier, TwoInputsEnterOutputTwoThroughTheirOwnRows) {
    auto cell = Make(2, 1);
    Describe(*cell);
    SetColumn(*cell, 1, WideGain, 30.0f);
    TSorgenteLinea a, b;
    a.SourceChannels->Insert(EuropaChannel("21", 60.0f));
    b.SourceChannels->Insert(EuropaChannel("40", 60.0f));
    JoinCells(a, 0, *cell, 0);
    JoinCells(b, 0, *cell, 1);
    const uint32_t stamp = NextPassNumber();
    cell->ComputeChannels(0, 0, stamp);
    const TListaCanali* own = OutputList(*cell, AutoMixOwnOutput);
    ASSERT_EQ(Names(own), (std::vector<AnsiString>{"21", "40"}));
    EXPECT_NEAR(own->head->levelMin, 100.0f, 1e-4);
    EXPECT_NEAR(own->head->next->levelMin, 90.0f, 1e-4);
    EXPECT_EQ(Names(OutputList(*cell, AutoMixCommonOutput)), std::vector<AnsiString>{"21"});
    EXPECT_EQ(cell->PassStamp, stamp);
    EXPECT_EQ(messages.Items->Count(), 0);
}

TEST_F(FinalAmplifier, TheCommonLineIsHandedOnFirstAndAmplifiedOnTheSecondStep) {
    auto cell = Make(3, 1);
    Describe(*cell);
    TSorgenteLinea a;
    a.SourceChannels->Insert(EuropaChannel("21", 60.0f));
    JoinCells(a, 0, *cell, 0);
    NextPassNumber();
    const uint32_t stamp = NextPassNumber();
    cell->ComputeChannels(0x100, 0, stamp);
    EXPECT_EQ(cell->PassStamp, stamp - 1);
    EXPECT_EQ(Names(OutputList(*cell, AutoMixCommonOutput)), std::vector<AnsiString>{"21"});
    EXPECT_EQ(OutputList(*cell, AutoMixOwnOutput)->Count(), 0);
    cell->ComputeChannels(0, 0, stamp);
    EXPECT_EQ(cell->PassStamp, stamp);
    EXPECT_EQ(Names(OutputList(*cell, AutoMixOwnOutput)), std::vector<AnsiString>{"21"});
    EXPECT_NEAR(OutputList(*cell, AutoMixOwnOutput)->head->levelMin, 100.0f, 1e-4);
    // A later pass gives the same lists.
    cell->ComputeChannels(0, 0, NextPassNumber());
    EXPECT_EQ(Names(OutputList(*cell, AutoMixOwnOutput)), std::vector<AnsiString>{"21"});
    EXPECT_EQ(Names(OutputList(*cell, AutoMixCommonOutput)), std::vector<AnsiString>{"21"});
}

TEST_F(FinalAmplifier, RegulationBringsTheLoudestOutletChannelToTheOptionsMaximum) {
    // A source of 60 dBuV, 40 dB of gain, an outlet losing 1 dB: 99 at the
    // socket in band 4. Fresh options ask 65 to 80 there: high excess 19,
    // low margin 34, and 10 of regulation left: the regulation takes 10.
    auto cell = Make(1, 1);
    Describe(*cell);
    TSorgenteLinea source;
    source.SourceChannels->Insert(EuropaChannel("21", 60.0f));
    JoinCells(source, 0, *cell, 0);
    TPresaD outlet(nullptr, 0, 0, 0, 0, CodeEndOutlet, 1);
    SetColumn(outlet, 0, OutletSocketLoss, 1.0f);
    outlet.AllocLinks();
    JoinCells(*cell, AutoMixOwnOutput, outlet, 0);
    outlet.ComputeChannels(0, 0, NextPassNumber());
    ASSERT_EQ(Names(OutputList(outlet, OutletSocket)), std::vector<AnsiString>{"21"});
    EXPECT_NEAR(OutputList(outlet, OutletSocket)->head->levelMin, 99.0f, 1e-4);
    cell->SpreadStamp(NextPassNumber());
    EXPECT_NEAR(cell->Attenuation->Get3(0, WideRegulation, 4), 10.0f, 1e-4);
    // Only the band of the channel moves; one without a largest regulation never does.
    EXPECT_EQ(cell->Attenuation->Get3(0, WideRegulation, 5), 0.0f);
    SetColumn(*cell, 0, WideRegulation, 0.0f);
    SetColumn(*cell, 0, WideMaxRegulation, LevelNone);
    cell->SpreadStamp(NextPassNumber());
    EXPECT_EQ(cell->Attenuation->Get3(0, WideRegulation, 4), 0.0f);
}

// ---- Records ----

TEST_F(FinalAmplifier, RecordsArePlainCellRecordsAndDamagedArrangementsRefused) {
    auto cell = Make(3, 4, nullptr, 4, 6);
    Describe(*cell);
    const std::string bytes = SavedRecord(*cell);
    auto back = Make(3, 4);
    ASSERT_EQ(ReadRecordInto(*back, bytes, 60000), TRecordResult::Ok);
    EXPECT_EQ(back->Attenuation->Get3(2, WideGain, 5), 40.0f);
    EXPECT_EQ(SavedRecord(*back), bytes);
    for (auto [inputs, outputs] : {std::pair{4, 1}, std::pair{1, 5}}) {
        std::unique_ptr<TCella> damaged(NewCella(nullptr, CodeAmplificatoreAt, 0, 0, inputs, outputs, 0));
        ASSERT_NE(damaged, nullptr);
        EXPECT_EQ(ReadRecordInto(*damaged, bytes, 60000), TRecordResult::Damaged) << inputs << "," << outputs;
    }
}

// A record of versions 20000 to 50000 of a one-input amplifier at (5, 3).
RecordBytes OldRecord(int32_t version, int32_t orientation, const std::vector<std::vector<float>>& columns) {
    TOldRecordSpec spec;
    spec.Version = version;
    spec.Code = CodeAmplificatoreAt;
    spec.Orientation = orientation;
    spec.Columns = columns;
    return OldCellRecord(spec);
}

TEST_F(FinalAmplifier, OlderRecordsTurnGroupAndMoveAsTheyWereStored) {
    const std::vector<float> regulation = {3, 3, 3, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5};
    const std::vector<float> none(BandSlots, LevelNone);
    const std::vector<std::vector<float>> columns = {regulation, std::vector<float>(BandSlots, 40.0f), none,
                                                     none, regulation};
    struct Case {
        int32_t version, orientation;
        int32_t expectedOrientation, column, row;
        bool grouped;
    };
    // clang-format off
    const Case cases[] = {
        {30000, 1, 2, 5 + 2, 3 + 4, true},   // orientation doubled, grouped, anchor moved
        {30001, 2, 2, 5 + 2, 3 + 4, true},
        {40000, 2, 2, 5 + 2, 3 + 4, false},
        {50000, 0, 0, 5, 3, false},
    };
    // clang-format on
    const float grouped[] = {3, LevelRepeat, LevelRepeat, 5, LevelRepeat};
    for (const Case& c : cases) {
        auto cell = Make(1, 1);
        ASSERT_EQ(ReadRecordInto(*cell, OldRecord(c.version, c.orientation, columns).Bytes(), c.version),
                  TRecordResult::Ok)
            << c.version;
        EXPECT_EQ(cell->Orientation, c.expectedOrientation) << c.version;
        EXPECT_EQ(cell->Column, c.column) << c.version;
        EXPECT_EQ(cell->Row, c.row) << c.version;
        for (int b = 0; b < 5; ++b) {
            const float expected = c.grouped ? grouped[b] : regulation[static_cast<size_t>(b)];
            EXPECT_EQ(cell->Attenuation->Get3(0, WideRegulation, b), expected) << c.version << " band " << b;
            EXPECT_EQ(cell->Attenuation->Get3(0, WideMaxRegulation, b), expected)
                << c.version << " band " << b;
        }
    }
    // From 50100 on a turned amplifier keeps its anchor.
    for (int32_t version : {50001, 50100}) {
        auto turned = Make(1, 1, nullptr, 5, 3);
        turned->Orientation = 2;
        auto back = Make(1, 1);
        ASSERT_EQ(ReadRecordInto(*back, SavedRecord(*turned, version), version), TRecordResult::Ok);
        EXPECT_EQ(back->Column, version < 50100 ? 7 : 5) << version;
        EXPECT_EQ(back->Row, version < 50100 ? 7 : 3) << version;
    }
}

TEST_F(FinalAmplifier, ACheckOfEveryUsedRowWordForWord) {
    auto messagesOf = [this](TCella& cell) {
        messages.Items->Clear();
        const bool ok = cell.CheckData(Prefix);
        return ok ? AnsiString("ok") : messages.Items->Strings(0).substr(Prefix.size());
    };
    auto cell = Make(2, 1);
    Describe(*cell);
    EXPECT_EQ(messagesOf(*cell), "ok");
    cell->Attenuation->Set3(1, WideMaxRegulation, 3, LevelNone);
    EXPECT_EQ(messagesOf(*cell), "I dati del componente sono incompleti.");
    cell->Attenuation->Set3(1, WideMaxRegulation, 3, 10.0f);
    cell->Attenuation->Set3(0, WideMaxOutput, 2, LevelRepeat);
    cell->Attenuation->Set3(1, WideTilt, 2, LevelBlocked);
    cell->Attenuation->Set3(1, WideMaxTilt, 2, 3.0f);
    // Row 0 first, in the order 5, 6, 0, 4, 1, 2, 3.
    EXPECT_EQ(messagesOf(*cell), "Livello max. out [dB]: < non ammesso.");
    cell->Attenuation->Set3(0, WideMaxOutput, 2, 120.0f);
    EXPECT_EQ(messagesOf(*cell), "Reg. tilt  [-dB]: * non ammesso.");
}

// ---- Prototypes and the designer ----

TEST_F(FinalAmplifier, PrototypesByArrangementPair) {
    ScopedPrototypes prototypes;
    EXPECT_NE(Make(1, 1)->GetPrototype(), nullptr);
    EXPECT_NE(Make(3, 4)->GetPrototype(), nullptr);
    EXPECT_EQ(Make(0, 1)->GetPrototype(), nullptr);
    EXPECT_NE(Make(1, 4)->GetPrototype(), Make(2, 1)->GetPrototype());
    EXPECT_EQ(Make(2, 1)->GetPrototype()->TableRows, 2);
}

TEST_F(FinalAmplifier, LibrarySearchesTakeTheSmallestSufficientMaximum) {
    std::vector<std::unique_ptr<TCella>> library;
    auto add = [&library](float maximum, const char* brand, uint32_t bands) {
        auto c = Make(1, 1);
        SetColumn(*c, 0, WideMaxOutput, maximum);
        c->Brand = brand;
        c->BandMask = bands;
        if (!library.empty()) library.back()->NextInList = c.get();
        library.push_back(std::move(c));
        return library.back().get();
    };
    TCella* m110 = add(110.0f, "A", 0x30);
    TCella* m105 = add(105.0f, "B", 0x10);
    TCella* m105b = add(105.0f, "A", 0x30);
    add(120.0f, "A", 0x30);
    auto cell = Make(1, 1);
    TCella* first = library.front().get();
    EXPECT_EQ(cell->FindByOutputLevel(first, 5, 100.0f, "", ""), m105);  // the first of equal maxima
    EXPECT_EQ(cell->FindByOutputLevel(first, 5, 100.0f, "A", ""), m105b);
    EXPECT_EQ(cell->FindByOutputLevel(first, 5, 106.0f, "", ""), m110);
    EXPECT_EQ(cell->FindByOutputLevel(first, 5, 130.0f, "", ""), nullptr);
    EXPECT_EQ(cell->FindForChannel(first, 5, 100.0f, "", "", 0x20, 0x20), m105b);
    EXPECT_FALSE(cell->SelectFromLibrary(first, 5, 130.0f, "", "", 0, 0));
    EXPECT_EQ(cell->Described, 0);
    EXPECT_TRUE(cell->SelectFromLibrary(first, 5, 100.0f, "A", "", 0, 0));
    EXPECT_EQ(cell->Attenuation->Get3(0, WideMaxOutput, 5), 105.0f);
    EXPECT_EQ(cell->Described, 1);
}

}  // namespace

namespace {

TEST_F(FinalAmplifier, AVeryOldAmplifierHasTwoInputsAndItsOutputAtTheCentre) {
    TProgetto project(nullptr);
    TProgettoInCaricamento loading(&project);
    // Stored columns: regulation, gain, noise figure, maximum output, largest regulation.
    RecordBytes b = VeryOldCellRecord(
        10000, 0, 1,
        {std::vector<float>(10, 0.0f), std::vector<float>(10, 40.0f), std::vector<float>(10, 7.0f),
         std::vector<float>(10, 110.0f), std::vector<float>(10, 6.0f)});
    // Row 1 as an old level row: 6 vectors of 10 values.
    for (float v : {0.0f, 30.0f, 7.0f, 110.0f, 6.0f, -1.0f})
        for (int i = 0; i < 10; ++i) b.F32(v);
    auto cell = Make(0, 0);
    ASSERT_EQ(ReadRecordInto(*cell, b.Bytes(), 10000), TRecordResult::Ok);
    EXPECT_EQ(cell->InputArrangement(), AutoMixTwoInputs);
    EXPECT_EQ(cell->OutputArrangement(), AutoMixOutputCentre);
    EXPECT_EQ(cell->TableRows, 2);
    EXPECT_EQ(cell->Attenuation->Get3(0, WideGain, 5), 40.0f);
    EXPECT_EQ(cell->Attenuation->Get3(1, WideGain, 5), 30.0f);
    EXPECT_EQ(cell->Orientation, 2);  // doubled
    EXPECT_EQ(cell->Column, 5 + 2);   // and anchored at its other corner
    EXPECT_EQ(cell->Row, 3 + 4);
}

}  // namespace
