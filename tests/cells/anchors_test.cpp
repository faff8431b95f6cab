// Anchors: a linked exit and entry point pass everything straight through.
#include "cells/anchors.h"

#include <gtest/gtest.h>

#include <memory>

#include "cells/factory.h"
#include "cells/filters.h"
#include "cells/outlets.h"
#include "core/channel_list.h"
#include "core/globals.h"
#include "document/grid.h"
#include "support/globals_fixture.h"
#include "support/line_cells.h"

namespace {

class AnchorsTest : public GlobalsTest {};

TEST_F(AnchorsTest, FactoryAndData) {
    struct Case {
        int32_t code;
        const char* typeName;
    };
    const Case cases[] = {{52, "Punto ingresso "}, {53, "Punto uscita "}};
    for (const Case& c : cases) {
        std::unique_ptr<TCella> cell(NewCella(nullptr, c.code, 3, 4, 5, 5, 5));
        ASSERT_NE(dynamic_cast<TAncora*>(cell.get()), nullptr) << c.code;
        EXPECT_EQ(cell->TypeCode, c.code);
        EXPECT_EQ(cell->Kind, KindAnchor);
        EXPECT_EQ(cell->NumInputs, 1);
        EXPECT_EQ(cell->NumThroughOutputs, 1);
        EXPECT_EQ(cell->TableRows, 0);
        EXPECT_EQ(cell->TableColumns, 0);
        EXPECT_EQ(cell->Described, 1);
        EXPECT_EQ(cell->GetTypeName(), c.typeName);
        EXPECT_TRUE(cell->IsSignalStart());
        EXPECT_FALSE(cell->IsEstimateItem());
        EXPECT_TRUE(cell->CheckData("x"));
        EXPECT_EQ(cell->GetPrototype(), nullptr);
    }
}

TEST_F(AnchorsTest, LinkOnlyPartnersOfTheOtherKind) {
    TAncoraI entry(nullptr, 0, 0, 0, 0);
    TAncoraO exit(nullptr, 0, 0, 0, 0);
    TAncoraI otherEntry(nullptr, 0, 0, 0, 0);
    TFiltroS filter(nullptr, 0, 0, 0, 0);
    entry.LinkExitAnchor(&otherEntry);
    entry.LinkExitAnchor(&filter);
    entry.LinkExitAnchor(nullptr);
    exit.LinkEntryAnchor(&exit);
    EXPECT_TRUE(entry.InputCell.empty() || entry.InputCell[0] == nullptr);
    EXPECT_TRUE(exit.OutputCell.empty() || exit.OutputCell[0] == nullptr);

    exit.LinkEntryAnchor(&entry);
    ASSERT_EQ(entry.InputCell[0], &exit);
    EXPECT_EQ(entry.InputPort[0], 0);
    EXPECT_EQ(exit.OutputCell[0], &entry);
    EXPECT_EQ(exit.OutputPort[0], 0);
    // The grid analysis clears every link; the anchors keep theirs.
    entry.AllocLinks();
    exit.AllocLinks();
    EXPECT_EQ(entry.InputCell[0], &exit);
    EXPECT_EQ(exit.OutputCell[0], &entry);
}

// source -> exit anchor ~ entry anchor -> outlet: the outlet's input sees the
// source, the source's output sees the outlet's requirement.
TEST_F(AnchorsTest, PassesCrossALinkedPair) {
    TSorgenteLinea source;
    TCanale channel;
    channel.name = "E5";
    channel.band = 1;
    source.SourceChannels->Insert(channel);
    TAncoraO exit(nullptr, 0, 0, 0, 0);
    TAncoraI entry(nullptr, 0, 0, 0, 0);
    TPresaD outlet(nullptr, 0, 0, 0, 0, CodeEndOutlet, 1);
    for (int32_t b = 0; b < BandSlots; ++b) outlet.Attenuation->Set3(0, OutletSocketLoss, b, 2.0f);
    JoinCells(source, 0, exit, 0);
    entry.LinkExitAnchor(&exit);
    JoinCells(entry, 0, outlet, 0);

    exit.ComputeRequiredLevels({}, {}, NextPassNumber());
    EXPECT_FLOAT_EQ(exit.InputLevels[0][1].Min, 62.0f);
    EXPECT_FLOAT_EQ(exit.InputLevels[0][1].Max, 82.0f);

    outlet.ComputeSignalLevels(NextPassNumber());
    EXPECT_FLOAT_EQ(entry.OutputLevels[0][1].Min, 80.0f);
    EXPECT_FLOAT_EQ(outlet.OutputLevels[OutletSocket][1].Max, 88.0f);

    outlet.ComputeChannels(0, 0, NextPassNumber());
    ASSERT_EQ(entry.ChannelLists[0]->Count(), 1);
    EXPECT_EQ(entry.ChannelLists[0]->head->name, "E5");
    EXPECT_EQ(outlet.ChannelLists[OutletSocket]->Count(), 1);

    // The separation search goes both ways through the pair.
    for (TCella* cell :
         {static_cast<TCella*>(&exit), static_cast<TCella*>(&entry), static_cast<TCella*>(&outlet)})
        cell->ClearBandAccumulators(1);
    exit.AcceptSeparation(0, 1, 7.0f, 100.0f);
    EXPECT_EQ(entry.SeparationBest[1], LevelNone);
    entry.AcceptSeparation(PortInputBase, 1, 9.0f, 100.0f);
    EXPECT_FLOAT_EQ(outlet.SeparationOutlet[1], 11.0f);
    outlet.SeparationOutlet[1] = 0.0f;
    outlet.PushSeparation(OutletSocket, 1, 100.0f);
    EXPECT_FLOAT_EQ(exit.SeparationBest[1], 2.0f);
}

TEST_F(AnchorsTest, OpenEndsOfAnAnchor) {
    TAncoraI entry(nullptr, 0, 0, 0, 0);
    entry.AllocLinks();
    entry.ComputeRequiredLevels({}, {}, NextPassNumber());
    EXPECT_EQ(entry.InputLevels[0][4].Min, LevelReqUnlimited);
    EXPECT_EQ(entry.InputLevels[0][4].Max, LevelReqUnlimited);
    entry.ComputeSignalLevels(NextPassNumber());
    EXPECT_EQ(entry.OutputLevels[0][4].Min, LevelOff);
    EXPECT_TRUE(entry.ChooseModel(nullptr, 0, NextPassNumber(), nullptr, 5, 0));
    EXPECT_EQ(entry.ReachLevels[0][9].Min, 1000.0f);
    EXPECT_EQ(entry.ReachLevels[0][9].Max, 0.0f);

    // A choice below fails: so does the anchor's, and the reach stays.
    TAncoraO exit(nullptr, 0, 0, 0, 0);
    TPozzoProva end;
    end.Answer = false;
    JoinCells(exit, 0, end, 0);
    EXPECT_FALSE(exit.ChooseModel(nullptr, 0, NextPassNumber(), nullptr, 5, 0));
    end.Answer = true;
    EXPECT_TRUE(exit.ChooseModel(nullptr, 0, NextPassNumber(), nullptr, 5, 0));
    EXPECT_FLOAT_EQ(exit.ReachLevels[0][9].Max, 5.0f);
    exit.EvaluateModel(nullptr, 0, 33.0f, NextPassNumber(), 5);
    EXPECT_FLOAT_EQ(end.LastValue, 33.0f);
}

TEST_F(AnchorsTest, RecordAlwaysDescribed) {
    TAncoraO exit(nullptr, 2, 0, 6, 7);
    exit.Described = 0;
    TMemoryStream s;
    exit.Save(s, 60000);
    s.SetPosition(16);
    TAncoraO read(nullptr, 0, 0, 0, 0);
    read.Described = 0;
    read.Load(s, 60000);
    EXPECT_EQ(s.Position(), s.Size());
    EXPECT_EQ(read.Described, 1);
    EXPECT_EQ(read.Orientation, 2);
    EXPECT_EQ(read.Column, 6);
}

// On a grid, an exit anchor ends a branch and an entry anchor starts one.
TEST_F(AnchorsTest, PlacedOnAGrid) {
    TGridData grid(nullptr, 8, 8, GridNetwork);
    auto entryOwned = std::make_unique<TAncoraI>(&grid, 0, 0, 2, 1);
    auto outletOwned = std::make_unique<TPresaD>(&grid, 0, 0, 2, 2, CodeEndOutlet, 1);
    auto sourceOwned = std::make_unique<TSorgenteLinea>(&grid, 5, 1);
    auto exitOwned = std::make_unique<TAncoraO>(&grid, 0, 0, 5, 2);
    auto* entry = entryOwned.get();
    auto* outlet = outletOwned.get();
    auto* source = sourceOwned.get();
    auto* exit = exitOwned.get();
    std::unique_ptr<TCella> placed[] = {std::move(entryOwned), std::move(outletOwned), std::move(sourceOwned),
                                        std::move(exitOwned)};
    for (std::unique_ptr<TCella>& c : placed) ASSERT_TRUE(grid.InsertCell(std::move(c), false, 0));
    exit->LinkEntryAnchor(entry);
    ASSERT_TRUE(grid.Analyse(true));
    EXPECT_EQ(entry->OutputCell[0], outlet);
    EXPECT_EQ(outlet->InputCell[0], entry);
    EXPECT_EQ(exit->InputCell[0], source);
    EXPECT_EQ(entry->InputCell[0], exit);
}

}  // namespace
