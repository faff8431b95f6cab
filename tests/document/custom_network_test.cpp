// Custom components on a project's network grid: a custom component holding
// a tap, or a splitter, gives the figures of the same network drawn flat, and
// no cell of its structure keeps a link to an outer cell that has gone.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cells/cables.h"
#include "cells/custom_cell.h"
#include "cells/head_end.h"
#include "cells/mouse_info.h"
#include "cells/outlets.h"
#include "cells/splitters.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/channel_list.h"
#include "core/file.h"
#include "core/table_texts.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/comctrls.h"
#include "support/custom_cells.h"
#include "support/globals_fixture.h"
#include "support/line_cells.h"
#include "support/pass_cells.h"

namespace {

// The terminal of a reset project stands at column 36 of row 0; its one line
// leaves from column 37 into row 1.
constexpr int32_t LineColumn = 37;
constexpr float TapLoss = 14.0f;
constexpr float TapThroughLoss = 1.5f;

void SetColumn(TCella& cell, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(0, column, b, value);
}

std::unique_ptr<TDerivatore> NewTap() {
    auto tap = std::make_unique<TDerivatore>(nullptr, 0, 0, 0, 0, 1, 1);
    SetColumn(*tap, TapLossColumn, TapLoss);
    SetColumn(*tap, TapThroughColumn, TapThroughLoss);
    tap->Described = 1;
    return tap;
}

std::string ListBytes(const TListaCanali* list) {
    TMemoryStream s;
    if (list) list->Write(s, 60000);
    return s.Bytes();
}

void ExpectWindow(const TFinestra& actual, float min, float max, const char* what) {
    EXPECT_NEAR(actual.Min, min, 1e-4) << what;
    EXPECT_NEAR(actual.Max, max, 1e-4) << what;
}

// A project whose network is one main road: the terminal's line, a tap or a
// custom component holding the same tap, a cable of 10 m at 20 dB per 100 m
// and an end outlet, with channels of its own fed into the head end.
class MainRoad {
public:
    explicit MainRoad(bool custom) {
        project.Reset(true);
        TGridData& net = *project.NetworkGrid;
        if (custom) {
            // The tap's user output leaves the structure through exit anchor
            // "1"; the termination closes its through output. The footprint
            // is one square: the input on its top, the output leaving right.
            TFormaCustom shape{1, 1, {{0, 0, 0}}, {{0, 0, 3}}};
            auto cell = MakeCustomCell(&net, LineColumn, 1, 1, 1,
                                       Structure({{EntryAnchor("1"), 0, 0},
                                                  {NewTap(), 0, 1},
                                                  {std::make_unique<TChiusura>(nullptr, 0, 0, 0, 0, 1), 0, 2},
                                                  {ExitAnchor("1", 3), 1, 1}}),
                                       shape);
            cell->Described = 1;
            unit = cell.get();
            net.InsertCell(std::move(cell), false, 0);
        } else {
            std::unique_ptr<TDerivatore> tap(NewTap());
            tap->Column = LineColumn;
            tap->Row = 1;
            unit = tap.get();
            net.InsertCell(std::move(tap), false, 0);
            net.InsertCell(std::make_unique<TChiusura>(&net, 0, 0, LineColumn, 2, 1), false, 0);
        }
        auto cableOwned = std::make_unique<TNCavo>(&net, 1, 0, LineColumn + 1, 1, 0, 0);
        cable = cableOwned.get();
        SetColumn(*cable, 0, 20.0f);
        cable->SetLength(10.0f);
        cable->Described = 1;
        net.InsertCell(std::move(cableOwned), false, 0);
        auto outletOwned = std::make_unique<TPresaD>(&net, 3, 0, LineColumn + 2, 1, CodeEndOutlet, 1);
        outlet = outletOwned.get();
        SetColumn(*outlet, OutletSocketLoss, 1.0f);
        SetColumn(*outlet, OutletThroughLoss, 0.5f);
        SetColumn(*outlet, OutletReverseLoss, 20.0f);
        outlet->Described = 1;
        net.InsertCell(std::move(outletOwned), false, 0);

        TGridData& head = *project.HeadEndGrid;
        auto sourceOwned =
            std::make_unique<TSorgenteProva>(&head, head.Anchor->Column + 1, head.Anchor->Row - 1);
        auto* source = sourceOwned.get();
        for (int k = 0; k < 3; ++k) {
            TCanale channel;
            channel.name = "C" + std::to_string(k);
            channel.freqLow = 470.0f + 8.0f * static_cast<float>(k);
            channel.freqHigh = channel.freqLow + 8.0f;
            channel.band = SistemaBandeCorrente->BandOf(channel.CentreFrequency());
            channel.levelMin = channel.levelMax = 100.0f;
            source->SourceChannels->Insert(channel);
        }
        head.InsertCell(std::move(sourceOwned), false, 0);
    }

    TProgetto project{nullptr};
    TCella* unit = nullptr;
    TNCavo* cable = nullptr;
    TPresaD* outlet = nullptr;
};

class CustomNetworkTest : public GlobalsTest {};

TEST_F(CustomNetworkTest, ACustomCellHoldingATapGivesTheFlatMainRoadsFigures) {
    MainRoad road(true);
    ASSERT_TRUE(road.project.AnalyseGrids());
    TCella* terminal = road.project.NetworkGrid->Anchor;
    EXPECT_EQ(terminal->OutputCell[0], road.unit);
    EXPECT_EQ(road.unit->OutputCell[0], road.cable);
    EXPECT_EQ(road.cable->OutputCell[0], road.outlet);

    road.project.ComputeOutletLevels();
    // Band slot 5 (SigMin 65, SigMax 80): the outlet asks its limits + 1, the
    // cable 2 dB more, the terminal's line 14 dB more again through the tap
    // inside the custom cell.
    ExpectWindow(road.outlet->InputLevels[0][5], 66, 81, "outlet");
    ExpectWindow(road.cable->InputLevels[0][5], 68, 83, "cable");
    ExpectWindow(road.unit->InputLevels[0][5], 82, 97, "custom cell");
    ExpectWindow(terminal->InputLevels[0][5], 82, 97, "terminal's line");
    ExpectWindow(road.outlet->OutputLevels[OutletSocket][5], 65, 80, "socket");

    // The probe of 50000 in band 0 reaches the socket 14 + 2 + 1 dB down.
    terminal->InitOutputMaxLevels();
    road.project.RunSignalLevelPass();
    EXPECT_NEAR(road.outlet->OutputLevels[OutletSocket][0].Min, 49983.0f, 1e-3);
    EXPECT_EQ(FormatMarginCell(road.outlet->OutputLevels[OutletSocket][0].Min), "17");
}

TEST_F(CustomNetworkTest, EveryWindowAndChannelListAtTheOutletEqualsTheFlatNetworks) {
    MainRoad flat(false), custom(true);
    for (MainRoad* road : {&flat, &custom}) {
        ASSERT_TRUE(road->project.AnalyseGrids());
        road->project.ComputeOutletLevels();
        road->project.RunChannelPass(0);
    }
    for (int32_t b = 0; b < TCella::CalculationBandCount(); ++b) {
        const size_t s = static_cast<size_t>(b);
        EXPECT_EQ(custom.outlet->InputLevels[0][s].Min, flat.outlet->InputLevels[0][s].Min) << b;
        EXPECT_EQ(custom.outlet->InputLevels[0][s].Max, flat.outlet->InputLevels[0][s].Max) << b;
        EXPECT_EQ(custom.outlet->OutputLevels[OutletSocket][s].Min,
                  flat.outlet->OutputLevels[OutletSocket][s].Min)
            << b;
        EXPECT_EQ(custom.unit->InputLevels[0][s].Min, flat.unit->InputLevels[0][s].Min) << b;
    }
    ASSERT_EQ(custom.outlet->ChannelLists.size(), flat.outlet->ChannelLists.size());
    ASSERT_GT(flat.outlet->ChannelLists[OutletSocket]->Count(), 0);
    for (size_t k = 0; k < flat.outlet->ChannelLists.size(); ++k)
        EXPECT_EQ(ListBytes(custom.outlet->ChannelLists[k].get()),
                  ListBytes(flat.outlet->ChannelLists[k].get()))
            << k;
}

// The splitter network of the tap tests: a splitter of two outputs (4 dB
// each, 22 dB between them) feeding two outlets with built-in termination,
// flat or inside a custom component whose outputs leave downwards.
class SplitterRoad {
public:
    explicit SplitterRoad(bool custom) {
        project.Reset(true);
        TGridData& net = *project.NetworkGrid;
        if (custom) {
            auto cell = MakeCustomSplitter(&net, LineColumn, 1);
            cell->Described = 1;
            unit = cell.get();
            net.InsertCell(std::move(cell), false, 0);
            first = Outlet(LineColumn, 3, 0);
            second = Outlet(LineColumn + 1, 3, 0);
        } else {
            auto splitterOwned = std::make_unique<TDivisore>(&net, 0, 0, LineColumn, 1, 1, 2);
            auto* splitter = splitterOwned.get();
            SetColumn(*splitter, TapLossColumn, 4.0f);
            SetColumn(*splitter, TapDecouplingColumn, 22.0f);
            splitter->Described = 1;
            unit = splitter;
            net.InsertCell(std::move(splitterOwned), false, 0);
            first = Outlet(LineColumn + 1, 1, 3);
            second = Outlet(LineColumn - 1, 1, 1);
        }
    }

    TPresaD* Outlet(int32_t column, int32_t row, int32_t orientation) {
        auto outletOwned = std::make_unique<TPresaD>(project.NetworkGrid, orientation, 0, column, row,
                                                     CodeTerminatedOutlet, 1);
        auto* outlet = outletOwned.get();
        SetColumn(*outlet, OutletSocketLoss, 1.0f);
        outlet->Described = 1;
        project.NetworkGrid->InsertCell(std::move(outletOwned), false, 0);
        return outlet;
    }

    void SearchFrom(TCella* outlet) {
        for (int32_t band = 0; band < TCella::CalculationBandCount(); ++band)
            project.ComputeOutletSeparation(outlet, band, 0);
    }

    TProgetto project{nullptr};
    TCella* unit = nullptr;
    TPresaD* first = nullptr;
    TPresaD* second = nullptr;
};

TEST_F(CustomNetworkTest, ACustomSplitterGivesTheFlatSplittersLevelsAndSeparation) {
    SplitterRoad flat(false), custom(true);
    for (SplitterRoad* road : {&flat, &custom}) {
        ASSERT_TRUE(road->project.AnalyseGrids());
        ASSERT_EQ(road->unit->OutputCell[0], road->first);
        ASSERT_EQ(road->unit->OutputCell[1], road->second);
        road->project.ComputeOutletLevels();
    }
    for (int32_t band : {1, 5, 8}) {
        const size_t b = static_cast<size_t>(band);
        for (auto pick : {&SplitterRoad::first, &SplitterRoad::second}) {
            EXPECT_EQ((custom.*pick)->InputLevels[0][b].Min, (flat.*pick)->InputLevels[0][b].Min) << band;
            EXPECT_EQ((custom.*pick)->InputLevels[0][b].Max, (flat.*pick)->InputLevels[0][b].Max) << band;
            EXPECT_EQ((custom.*pick)->OutputLevels[OutletSocket][b].Min,
                      (flat.*pick)->OutputLevels[OutletSocket][b].Min)
                << band;
        }
        EXPECT_EQ(custom.unit->InputLevels[0][b].Min, flat.unit->InputLevels[0][b].Min) << band;
    }
    // 1 dB back through a socket, 22 dB across the splitter, 1 dB to the
    // other socket: 24 dB either way, as the flat splitter gives.
    for (SplitterRoad* road : {&flat, &custom}) {
        road->SearchFrom(road->second);
        for (int32_t band : {1, 5, 8}) EXPECT_NEAR(road->first->SeparationOutlet[band], 24.0f, 1e-4) << band;
        road->SearchFrom(road->first);
        for (int32_t band : {1, 5, 8}) EXPECT_NEAR(road->second->SeparationOutlet[band], 24.0f, 1e-4) << band;
        TCella* other = nullptr;
        int32_t band = -1;
        EXPECT_FALSE(road->project.CheckOutletSeparation(road->first, other, band));
        EXPECT_EQ(other, road->second);
        EXPECT_EQ(band, 1);
    }
}

// A value that equals the one an exit anchor holds goes no further: a line
// end on the custom splitter's first output counts what reaches it from the
// second output, 22 dB across the splitter.
TEST_F(CustomNetworkTest, AnEqualValueIsNotPushedAgain) {
    auto cell = MakeCustomSplitter(nullptr, 0, 0);
    TPozzoProva end;
    JoinCells(*cell, 0, end, 0);
    const int32_t band = 5;
    cell->ClearBandAccumulators(band);
    cell->AcceptSeparation(1, band, 3.0f, 1000.0f);
    EXPECT_EQ(end.Calls, 1);
    EXPECT_NEAR(end.LastValue, 25.0f, 1e-4);
    EXPECT_EQ(end.LastPort, PortInputBase);
    cell->AcceptSeparation(1, band, 3.0f, 1000.0f);
    EXPECT_EQ(end.Calls, 1);
    cell->AcceptSeparation(1, band, 2.0f, 1000.0f);
    EXPECT_EQ(end.Calls, 2);
    EXPECT_NEAR(end.LastValue, 24.0f, 1e-4);
}

// Removing or replacing the outer neighbours of a custom cell and running
// every pass, a report and a save reads no freed cell (the sanitizer build
// runs this); no cell of the structure is left linked outside between passes.
TEST_F(CustomNetworkTest, InnerAnchorsKeepNoLinkToOuterCells) {
    SplitterRoad road(true);
    auto* custom = dynamic_cast<TCellaCustom*>(road.unit);
    ASSERT_NE(custom, nullptr);
    auto runEverything = [&] {
        road.project.AnalyseGrids();
        road.project.ComputeOutletLevels();
        road.project.RunChannelPass(0);
        for (TCella* o = road.project.NetworkGrid->FirstOutlet; o; o = o->NextOutlet) road.SearchFrom(o);
        TMemoryStream saved;
        road.project.NetworkGrid->Save(saved, 60000);
        TRichEdit report;
        custom->GetPortLevelText(&report);
        for (int32_t row : {custom->Row, custom->Row + 1}) {
            TInfoMousePos position;
            position.Column = custom->Column;
            position.Row = row;
            custom->GetPortName(position);
            custom->WriteReport(&report, position);
        }
        for (TCella* anchor : custom->InputAnchors) EXPECT_EQ(anchor->InputCell[0], nullptr);
        for (TCella* anchor : custom->OutputAnchors) EXPECT_EQ(anchor->OutputCell[0], nullptr);
    };
    runEverything();
    road.project.NetworkGrid->RemoveCell(road.second, false, 0);
    custom->ComputeRequiredLevels({}, {}, NextPassNumber());
    custom->AcceptSeparation(0, 5, 1.0f, 1000.0f);
    runEverything();
    road.first = road.Outlet(LineColumn, 3, 0);  // replaces the outlet that stood there
    custom->ComputeSignalLevels(NextPassNumber());
    runEverything();
    EXPECT_EQ(custom->OutputCell[0], road.first);
}

}  // namespace
