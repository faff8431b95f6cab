// The cell base: defaults, copying data, clones, band masks and the
// normalisation of older band vectors, port tables and level windows.
#include "cells/cell.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "cells/head_end.h"
#include "cells/outlets.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/band_systems.h"
#include "core/globals.h"
#include "document/grid.h"
#include "document/project.h"
#include "support/test_cells.h"

namespace {

// The power words each class starts with: a group's masks cover exactly the
// port groups its flag word names.
TEST(CellBase, ClassesStartWithTheirPowerGroups) {
    using Words = std::array<std::array<uint32_t, 4>, 3>;
    constexpr uint32_t A = AllBits;
    struct Case {
        const char* what;
        std::unique_ptr<TCella> cell;
        Words power;
    };
    // clang-format off
    Case cases[] = {
        {"tap", std::make_unique<TDerivatore>(nullptr, 0, 0, 0, 0, 1, 2), {{{3, A, A, 0}, {3, A, A, 0}, {4, 0, 0, A}}}},
        {"tap S", std::make_unique<TDerivatoreS>(nullptr, 0, 0, 0, 0, 1, 2), {{{3, A, A, 0}, {3, A, A, 0}, {4, 0, 0, A}}}},
        {"splitter", std::make_unique<TDivisore>(nullptr, 0, 0, 0, 0, 1, 2), {{{5, A, 0, A}, {5, A, 0, A}, {2, 0, A, 0}}}},
        {"end outlet", std::make_unique<TPresaD>(nullptr, 0, 0, 0, 0, CodeEndOutlet, 1), {{{3, A, A, 0}, {3, A, A, 0}, {0, 0, 0, 0}}}},
        {"termination", std::make_unique<TChiusura>(nullptr, 0, 0, 0, 0, 1), {{{0, 0, 0, 0}, {0, 0, 0, 0}, {1, A, 0, 0}}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        Words power;
        for (int g = 0; g < 3; ++g)
            for (int w = 0; w < 4; ++w) power[g][w] = c.cell->Power[g][w];
        EXPECT_EQ(power, c.power) << c.what;
    }
}

TEST(CellBase, FreshCellHasTheDocumentedDefaults) {
    TCella cell(nullptr, 0, 0, 4, 5, 2, 3, 1);
    EXPECT_EQ(cell.TypeCode, -1);
    EXPECT_EQ(cell.Described, 0);
    EXPECT_EQ(cell.Currency, 1);
    EXPECT_EQ(cell.InstallMinutes, -500001);
    EXPECT_EQ(cell.Positions[0], 255u);
    EXPECT_EQ(cell.Positions[1], 255u);
    EXPECT_EQ(cell.AuxQuantity[0], LevelNone);
    EXPECT_EQ(cell.AuxQuantity[1], LevelNone);
    EXPECT_EQ(cell.Choice1, 255);
    EXPECT_EQ(cell.Choice2, 255);
    EXPECT_EQ(cell.Choice3, 255);
    EXPECT_EQ(cell.ExtraValue, LevelNone);
    EXPECT_EQ(cell.Power[PowerSupply][0], 7u);
    EXPECT_EQ(cell.Power[PowerFeeds][3], AllBits);
    EXPECT_EQ(cell.Power[PowerRefuses][0], 0u);
    EXPECT_EQ(cell.Variant, 0);
    EXPECT_EQ(cell.PassStamp, 0u);
    EXPECT_EQ(cell.SeparationBest[14], LevelNone);
    ASSERT_NE(cell.SourceChannels, nullptr);
    EXPECT_EQ(cell.Attenuation->Size2(), 0);  // tables empty until a class sizes them
    EXPECT_EQ(cell.MatrixTableB->FixedRank(), 4);
    EXPECT_FALSE(cell.InputLevels.Allocated());
    EXPECT_TRUE(cell.InputCell.empty());
    // The port table follows the constructor counts, through outputs first.
    EXPECT_EQ(cell.NumInputs, 2);
    EXPECT_EQ(cell.NumThroughOutputs, 3);
    EXPECT_EQ(cell.NumTapOutputs, 1);
    EXPECT_EQ(cell.NumOutputs, 4);
    EXPECT_EQ(cell.TableRows, 1);
    EXPECT_EQ(cell.TableColumns, 4);
}

TEST(CellBase, ShortFormHasOneInputAndOneThroughOutput) {
    TCella cell(nullptr, 1, 1, 7, 8);
    EXPECT_EQ(cell.Inputs, 1);
    EXPECT_EQ(cell.ThroughOutputs, 1);
    EXPECT_EQ(cell.TapOutputs, 0);
    EXPECT_EQ(cell.Orientation, 1);
    EXPECT_EQ(cell.Mirrored, 1);
    EXPECT_EQ(cell.Column, 7);
    EXPECT_EQ(cell.Row, 8);
}

TEST(CellBase, BaseAnswers) {
    TCella cell(nullptr, 0, 0, 0, 0);
    EXPECT_TRUE(cell.IsEstimateItem());
    EXPECT_FALSE(cell.NeedsNoDescription());
    EXPECT_TRUE(cell.AllowsAutoChoice());
    EXPECT_FALSE(cell.IsAutoMixModule());
    EXPECT_FALSE(cell.CanOverlapCell());
    EXPECT_FALSE(cell.IsSignalStart());
    EXPECT_TRUE(cell.TakesPartInAnalysis());
    EXPECT_TRUE(cell.IsModelUsable(true, true));
    EXPECT_FALSE(cell.FindModelForAttenuation(nullptr, 5, false, false));
    EXPECT_EQ(cell.GetShortCode(), "");
    EXPECT_EQ(cell.GetTypeName(), "");
    EXPECT_EQ(cell.GetPrototype(), nullptr);
    EXPECT_FALSE(cell.OpenDataDialog());
    EXPECT_EQ(cell.Described, 1);  // the base marks the cell described
    TCella other(nullptr, 0, 0, 0, 0);
    EXPECT_TRUE(other.RegisterInLibrary(nullptr));
    EXPECT_EQ(other.Described, 1);
}

// ---- Assign ----

class AssignTest : public ::testing::Test {
protected:
    void SetUp() override {
        source = std::make_unique<TCellaProva>(nullptr, 3, 4);
        TCella& s = *source;
        s.Described = 1;
        s.ExtraValue = 1.5f;
        s.Current1 = 120.0f;
        s.Current2 = 80.0f;
        s.Power[PowerSupply][0] = 0x19;
        s.Power[PowerRefuses][2] = 5;
        s.Positions[0] = 12;
        s.Positions[1] = 3;
        s.Characteristics[0] = 4;
        s.Characteristics[2] = 9;
        s.Attenuation->Set3(0, 1, 2, 3.5f);
        s.LevelTableA->Alloc3(1, 7, BandSlots);
        s.LevelTableA->Set3(0, 4, 6, 30.0f);
        s.MatrixTableB->Alloc4(1, 2, 7, BandSlots);
        s.MatrixTableB->Set4(0, 1, 6, 9, 104.0f);
        s.Currency = 3;
        s.Description = "Derivatore 4 uscite";
        s.Notes = "note";
        s.Brand = "Marca";
        s.Code = "DX4^2";
        s.Series = "Serie";
        s.Article = "Art";
        s.Category = "Derivatori";
        s.Price = 12.25f;
        s.InstallMinutes = 15;
        s.InternalNotes = "interne";
        s.ExternalNotes = "esterne";
        s.Choice1 = 1;
        s.Choice2 = 0;
        s.Choice3 = 2;
        s.AuxLibrary[1] = "Lib";
        s.AuxCode[1] = "A1";
        s.AuxQuantity[1] = 2.0f;
        s.Variant = 2;
        s.SequenceNumber = 17;
        s.Orientation = 3;
        s.Mirrored = 1;
    }
    std::unique_ptr<TCellaProva> source;
};

TEST_F(AssignTest, CopiesTheDataFieldsAndTables) {
    TCellaProva target(nullptr, 10, 11);
    source->Assign(&target);
    EXPECT_EQ(target.Described, 1);
    EXPECT_EQ(target.ExtraValue, 1.5f);
    EXPECT_EQ(target.Current1, 120.0f);
    EXPECT_EQ(target.Current2, 80.0f);
    EXPECT_EQ(target.Power[PowerSupply][0], 0x19u);
    EXPECT_EQ(target.Power[PowerRefuses][2], 5u);
    EXPECT_EQ(target.Positions[0], 12u);
    EXPECT_EQ(target.Characteristics[0], 4u);
    EXPECT_EQ(target.Attenuation->Get3(0, 1, 2), 3.5f);
    EXPECT_EQ(target.LevelTableA->Get3(0, 4, 6), 30.0f);
    EXPECT_EQ(target.MatrixTableB->Get4(0, 1, 6, 9), 104.0f);  // the second rank-4 table
    EXPECT_EQ(target.MatrixTableB->Size2(), 2);
    EXPECT_EQ(target.Currency, 3);
    EXPECT_EQ(target.Description, "Derivatore 4 uscite");
    EXPECT_EQ(target.Notes, "note");
    EXPECT_EQ(target.Brand, "Marca");
    EXPECT_EQ(target.Code, "DX4^2");
    EXPECT_EQ(target.Series, "Serie");
    EXPECT_EQ(target.Article, "Art");
    EXPECT_EQ(target.Category, "Derivatori");
    EXPECT_EQ(target.Price, 12.25f);
    EXPECT_EQ(target.InstallMinutes, 15);
    EXPECT_EQ(target.InternalNotes, "interne");
    EXPECT_EQ(target.ExternalNotes, "esterne");
    EXPECT_EQ(target.Choice1, 1);
    EXPECT_EQ(target.Choice2, 0);
    EXPECT_EQ(target.Choice3, 2);
    EXPECT_EQ(target.AuxLibrary[1], "Lib");
    EXPECT_EQ(target.AuxCode[1], "A1");
    EXPECT_EQ(target.AuxQuantity[1], 2.0f);
}

TEST_F(AssignTest, LeavesGeometryIdentityLinksAndFurtherWordsAlone) {
    TCellaProva target(nullptr, 10, 11, 2, 3, 1);
    target.TypeCode = 6;
    target.AllocLinks();
    TCellaProva neighbour(nullptr, 0, 0);
    target.InputCell[1] = &neighbour;
    target.InputPort[1] = 0;
    target.ResetOutputLevels();
    target.OutputLevels[2][4] = TFinestra{60.0f, 80.0f};
    source->Assign(&target);
    EXPECT_EQ(target.Column, 10);
    EXPECT_EQ(target.Row, 11);
    EXPECT_EQ(target.Orientation, 0);
    EXPECT_EQ(target.Mirrored, 0);
    EXPECT_EQ(target.TypeCode, 6);
    EXPECT_EQ(target.Variant, 0);
    EXPECT_EQ(target.SequenceNumber, 0);
    EXPECT_EQ(target.NumInputs, 2);
    EXPECT_EQ(target.NumOutputs, 4);
    EXPECT_EQ(target.InputCell[1], &neighbour);
    EXPECT_EQ(target.InputPort[1], 0);
    EXPECT_EQ(target.OutputLevels[2][4].Min, 60.0f);
    EXPECT_EQ(target.Positions[1], 255u);
    EXPECT_EQ(target.Characteristics[2], 0u);
}

TEST_F(AssignTest, MarksTheTargetsGridModified) {
    TProgetto project(nullptr);
    TGridData& grid = *project.NetworkGrid;
    grid.NetworkOutOfDate = grid.ChannelsOutOfDate = false;
    auto targetOwned = std::make_unique<TCellaProva>(nullptr, 10, 11);
    auto* target = targetOwned.get();
    ASSERT_TRUE(grid.InsertCell(std::move(targetOwned), false, 0));
    EXPECT_FALSE(project.Modified);
    source->Assign(target);
    EXPECT_TRUE(project.Modified);
    EXPECT_TRUE(project.EstimateOutOfDate);
    EXPECT_TRUE(grid.NetworkOutOfDate);
    EXPECT_TRUE(grid.ChannelsOutOfDate);
}

// ---- Clone ----

TEST(CellClone, UnknownTypeCodeGivesNone) {
    TCella cell(nullptr, 0, 0, 0, 0);  // type code -1
    EXPECT_EQ(cell.Clone(), nullptr);
    cell.TypeCode = 33;
    EXPECT_EQ(cell.Clone(), nullptr);
}

TEST(CellClone, KeepsClassGeometryOwnerAndData) {
    ScopedTestCellClass testClass;
    TProgetto project(nullptr);
    auto cellOwned = std::make_unique<TCellaProva>(nullptr, 20, 30);
    auto* cell = cellOwned.get();
    ASSERT_TRUE(project.NetworkGrid->InsertCell(std::move(cellOwned), false, 0));
    cell->Orientation = 2;
    cell->Mirrored = 1;
    cell->Variant = 3;
    cell->Description = "Filtro passa banda";
    cell->Attenuation->Set3(0, 1, 5, 2.0f);
    cell->SequenceNumber = 9;

    std::unique_ptr<TCella> copy(cell->Clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(dynamic_cast<TCellaProva*>(copy.get()), nullptr);
    EXPECT_EQ(copy->TypeCode, TCellaProva::CodiceProva);
    EXPECT_EQ(copy->Owner, project.NetworkGrid);
    EXPECT_EQ(copy->Column, 20);
    EXPECT_EQ(copy->Row, 30);
    EXPECT_EQ(copy->Orientation, 2);
    EXPECT_EQ(copy->Mirrored, 1);
    EXPECT_EQ(copy->Variant, 3);
    EXPECT_EQ(copy->Description, "Filtro passa banda");
    EXPECT_EQ(copy->Attenuation->Get3(0, 1, 5), 2.0f);
    EXPECT_EQ(copy->SequenceNumber, 0);
    // The clone stands on no square: the grid still shows the original.
    EXPECT_EQ(project.NetworkGrid->CellAt(20, 30), cell);
}

TEST(CellClone, HeadEndTerminalClonesWithItsLines) {
    TTesta terminal(nullptr, 0, 0, 5, 0, 4);
    std::unique_ptr<TCella> copy(terminal.Clone());
    ASSERT_NE(copy, nullptr);
    auto* clone = dynamic_cast<TTesta*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->Lines(), 4);
    EXPECT_EQ(clone->Column, 5);
    EXPECT_EQ(clone->Described, 1);
}

// ---- Band mask and band vectors ----

TEST(CellBandMask, EmptyAttenuationGivesNoBands) {
    TCella cell(nullptr, 0, 0, 0, 0);
    cell.BandMask = 0xFFFF;
    cell.ComputeBandMask();
    EXPECT_EQ(cell.BandMask, 0u);
}

TEST(CellBandMask, ColumnZeroOfEveryRowSetsItsBand) {
    TCellaProva cell(nullptr, 0, 0, 2, 2, 0);
    cell.TableRows = 2;
    cell.Attenuation->Alloc3(2, 4, BandSlots);
    cell.Attenuation->Set3(0, 0, 0, 1.0f);
    cell.Attenuation->Set3(1, 0, 14, LevelBlocked);  // a sentinel other than "no value" counts
    cell.Attenuation->Set3(0, 1, 3, 2.0f);           // column 1 does not
    cell.ComputeBandMask();
    EXPECT_EQ(cell.BandMask, (1u << 0) | (1u << 14));
    EXPECT_TRUE(cell.HasBands(1u));
    EXPECT_FALSE(cell.HasBands(1u | 2u));
    EXPECT_TRUE(cell.BandMaskMatches(3u, 1u));
    EXPECT_FALSE(cell.BandMaskMatches(3u, 3u));
}

TEST(CellBandLevels, NormalisationMarksRepeatedValues) {
    struct Case {
        std::vector<float> in, out;
    };
    const float N = LevelNone, B = LevelBlocked, P = LevelRepeat;
    // clang-format off
    const Case cases[] = {
        {{3, 3, 3, B, 3}, {3, P, P, B, 3}},
        {{N, 2, 2, N, 2, 5}, {N, 2, P, N, P, 5}},
        {{4, 5, 4, 4}, {4, 5, 4, P}},
    };
    // clang-format on
    for (const Case& c : cases) {
        float source[BandSlots], target[BandSlots];
        std::fill(std::begin(source), std::end(source), N);
        std::copy(c.in.begin(), c.in.end(), source);
        TCella::NormaliseBandLevels(source, target);
        for (size_t b = 0; b < c.out.size(); ++b) EXPECT_EQ(target[b], c.out[b]) << "slot " << b;
        for (size_t b = c.out.size(); b < BandSlots; ++b) EXPECT_EQ(target[b], N);
    }
}

TEST(CellBandSystem, ConvertsEveryBandVectorOfTheAttenuationTable) {
    TSistemiBande systems;
    TSistemaBande* old = systems.FindById('2');
    TSistemaBande* current = systems.FindById('3');
    ASSERT_NE(old, nullptr);
    ASSERT_NE(current, nullptr);
    TCellaProva cell(nullptr, 0, 0);
    cell.BandSystem = old;
    for (int b = 0; b < 10; ++b) cell.Attenuation->Set3(0, 3, b, static_cast<float>(b));
    cell.Attenuation->Set3(0, 1, 2, 7.0f);
    cell.SetBandSystem(current);
    EXPECT_EQ(cell.BandSystem, current);
    // Slots 0-2 of '3' ("C. Rit", "b. I", "FM") come from old slot 0, "b. III" from old slot 2.
    EXPECT_EQ(cell.Attenuation->Get3(0, 3, 0), 0.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 3, 2), 0.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 3, 3), 2.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 3, 10), 9.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 1, 3), 7.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 1, 2), LevelNone);
}

// ---- Identity, ports, windows ----

TEST(CellKind, SameKindNeedsTheCodeAndAllThreeCounts) {
    TCella tap(nullptr, 0, 0, 0, 0, 2, 2, 4);
    tap.TypeCode = 6;
    struct Case {
        int32_t code, inputs, through, taps;
        bool same;
    };
    // clang-format off
    const Case cases[] = {
        {6, 2, 2, 4, true},  {6, 2, 2, 5, false}, {6, 3, 2, 4, false},
        {6, 2, 1, 4, false}, {49, 2, 2, 4, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        TCella other(nullptr, 0, 0, 9, 9, c.inputs, c.through, c.taps);
        other.TypeCode = c.code;
        EXPECT_EQ(tap.IsSameKind(&other), c.same) << c.code << " " << c.taps;
    }
    EXPECT_FALSE(tap.IsSameKind(nullptr));
}

TEST(CellPorts, LinksAreSizedByThePortTableAndCleared) {
    TCella cell(nullptr, 0, 0, 0, 0, 3, 2, 2);
    TCella other(nullptr, 0, 0, 0, 0);
    cell.AllocLinks();
    ASSERT_EQ(cell.InputCell.size(), 3u);
    ASSERT_EQ(cell.OutputCell.size(), 4u);
    cell.OutputCell[3] = &other;
    cell.OutputPort[3] = 0;
    cell.AllocLinks();
    EXPECT_EQ(cell.OutputCell[3], nullptr);
    EXPECT_EQ(cell.OutputPort[3], -1);
    EXPECT_EQ(cell.InputPort[0], -1);
}

TEST(CellWindows, ResetAllocatesPerPortAndFillsNoValue) {
    TCella cell(nullptr, 0, 0, 0, 0, 2, 1, 2);
    cell.ResetInputLevels();
    cell.ResetOutputLevels();
    cell.ResetAuxLevels();
    ASSERT_EQ(cell.InputLevels.Ports(), 2);
    ASSERT_EQ(cell.OutputLevels.Ports(), 3);
    ASSERT_EQ(cell.ReachLevels.Ports(), 2);
    cell.OutputLevels[2][14] = TFinestra{1.0f, 2.0f};
    cell.ResetOutputLevels();
    EXPECT_EQ(cell.OutputLevels[2][14].Min, LevelNone);
    EXPECT_EQ(cell.OutputLevels[2][14].Max, LevelNone);
    // A changed port table gets windows of its own size on the next reset.
    cell.TapOutputs = 5;
    cell.SetPortCounts();
    cell.ResetOutputLevels();
    EXPECT_EQ(cell.OutputLevels.Ports(), 6);
}

TEST(CellTables, AttenuationLookupsReadRowZero) {
    TCellaProva cell(nullptr, 0, 0);
    cell.Attenuation->Set3(0, 0, 4, -3.0f);
    cell.Attenuation->Set3(0, 1, 4, 6.0f);
    EXPECT_EQ(cell.TapLoss(5, 7, 4), -3.0f);
    EXPECT_EQ(cell.GetRow1Attenuation(5, 7, 4), 6.0f);
    EXPECT_EQ(cell.GetRow1Attenuation(0, 0, 3), LevelNone);
    EXPECT_EQ(cell.GetRow1Attenuation(0, 0, 15), LevelNone);
    TCella bare(nullptr, 0, 0, 0, 0);
    EXPECT_EQ(bare.TapLoss(0, 0, 0), LevelNone);
}

TEST(CellTables, SwapsExchangeColumnsAndRowsOfEveryBand) {
    TCellaProva cell(nullptr, 0, 0, 3, 3, 0);
    cell.TableRows = 3;
    cell.Attenuation->Alloc3(3, 4, BandSlots);
    cell.Attenuation->Set3(0, 1, 0, 1.0f);
    cell.Attenuation->Set3(2, 1, 9, 2.0f);
    cell.Attenuation->Set3(2, 3, 9, 5.0f);
    cell.SwapOutputColumns(1, 3);
    EXPECT_EQ(cell.Attenuation->Get3(0, 3, 0), 1.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 1, 0), LevelNone);
    EXPECT_EQ(cell.Attenuation->Get3(2, 3, 9), 2.0f);
    EXPECT_EQ(cell.Attenuation->Get3(2, 1, 9), 5.0f);
    cell.SwapInputRows(0, 2);
    EXPECT_EQ(cell.Attenuation->Get3(2, 3, 0), 1.0f);
    EXPECT_EQ(cell.Attenuation->Get3(0, 3, 9), 2.0f);
    // Indexes outside the table change nothing.
    cell.SwapInputRows(0, 3);
    cell.SwapOutputColumns(-1, 2);
    EXPECT_EQ(cell.Attenuation->Get3(2, 3, 0), 1.0f);
}

// ---- Prototypes and sequence numbers ----

TEST(CellPrototype, TakeAndStoreGoThroughThePrototype) {
    TProgetto project(nullptr);
    TCellaProva prototype(nullptr, 0, 0);
    prototype.Description = "ultimo usato";
    auto cellOwned = std::make_unique<TCellaProva>(nullptr, 5, 5);
    auto* cell = cellOwned.get();
    ASSERT_TRUE(project.NetworkGrid->InsertCell(std::move(cellOwned), false, 0));
    cell->TakeLastUsed();  // no prototype: nothing happens
    EXPECT_EQ(cell->Description, "");
    EXPECT_FALSE(project.Modified);

    cell->prototype = &prototype;
    cell->TakeLastUsed();
    EXPECT_EQ(cell->Description, "ultimo usato");
    EXPECT_TRUE(project.Modified);

    cell->Brand = "nuova";
    cell->StoreAsLastUsed();
    EXPECT_EQ(prototype.Brand, "nuova");
}

TEST(CellSequence, ShortCodeAndCounters) {
    TContatoriCategoria counters{};
    counters.fill(1);
    TCellaProva a(nullptr, 0, 0), b(nullptr, 0, 0);
    a.TakeSequenceNumber(counters);
    b.TakeSequenceNumber(counters);
    EXPECT_EQ(a.GetShortCode(), "T1");
    EXPECT_EQ(b.GetShortCode(), "T2");
    EXPECT_EQ(counters[3], 3);
    TCella base(nullptr, 0, 0, 0, 0);
    base.TakeSequenceNumber(counters);
    EXPECT_EQ(base.SequenceNumber, 0);
}

}  // namespace
