// Head-end rows worked out by hand on both grids of a project with fresh
// options. Network of both: the head-end terminal's line 1, a one-square
// cable (10 m, 20 dB/100 m), a tap (14 dB, its through output closed) and an
// end outlet (socket 1 dB) on the tap's user output.
//   Row 1: an antenna An1 (470 to 862 MHz, "Europa" 21 at 70 and 40 at 75
//   dBuV) above the top input of an active filter Fa1 (one input, output at
//   the centre; slot 1 = 470-478; stage 0, 30, 8, 105, 0) over line 1.
//   Row 2: a modulator Mo1 (output at the centre; slot 2 = 606-614 without a
//   plan; stage 0, -, 40, 80, 10) above a final amplifier Af1 (one input,
//   output at the centre; band 5: regulation 0 of 10, gain 20, noise figure
//   7, maximum output 110) over line 1.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "cells/active_filters.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/cables.h"
#include "cells/outlets.h"
#include "cells/pass_links.h"
#include "cells/sources.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/stdctrls.h"
#include "support/globals_fixture.h"

namespace {

constexpr int32_t LineColumn = 37;

void SetColumn(TCella& cell, int32_t row, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(row, column, b, value);
}

// The names and levels of a list, to compare two passes.
std::vector<std::pair<AnsiString, float>> Snapshot(const TListaCanali* list) {
    std::vector<std::pair<AnsiString, float>> all;
    for (const TCanale* c = list ? list->head : nullptr; c; c = c->next)
        all.emplace_back(c->name, c->levelMin);
    return all;
}

class HeadEndRowTest : public GlobalsTest {
protected:
    void SetUp() override {
        globals.Reporter().SetTarget(&messages);
        project.Reset(true);
        TGridData& net = *project.NetworkGrid;
        auto cableOwned = std::make_unique<TNCavo>(&net, 0, 0, LineColumn, 1, 0, 0);
        auto* cable = cableOwned.get();
        SetColumn(*cable, 0, 0, 20.0f);
        cable->SetLength(10.0f);
        cable->Described = 1;
        ASSERT_TRUE(net.InsertCell(std::move(cableOwned), false, 0));
        auto tapOwned = std::make_unique<TDerivatore>(&net, 0, 0, LineColumn, 2, 1, 1);
        auto* tap = tapOwned.get();
        SetColumn(*tap, 0, TapLossColumn, 14.0f);
        SetColumn(*tap, 0, TapThroughColumn, 1.5f);
        tap->Described = 1;
        ASSERT_TRUE(net.InsertCell(std::move(tapOwned), false, 0));
        ASSERT_TRUE(net.InsertCell(std::make_unique<TChiusura>(&net, 0, 0, LineColumn, 3, 1), false, 0));
        auto outletOwned = std::make_unique<TPresaD>(&net, 3, 0, LineColumn + 1, 2, CodeEndOutlet, 1);
        outlet = outletOwned.get();
        SetColumn(*outlet, 0, OutletSocketLoss, 1.0f);
        outlet->Described = 1;
        ASSERT_TRUE(net.InsertCell(std::move(outletOwned), false, 0));
    }

    TGridData& Head() { return *project.HeadEndGrid; }
    // The top row of a box whose bottom centre stands on line 1 above the terminal.
    int32_t BoxTop() { return Head().Rows - 1 - AutoMixHeight; }

    const TListaCanali& Socket() {
        const TListaCanali* socket = OutputList(*outlet, OutletSocket);
        EXPECT_NE(socket, nullptr);
        static TListaCanali empty;
        return socket ? *socket : empty;
    }

    TListBox messages;
    TProgetto project{nullptr};
    TPresaD* outlet = nullptr;
};

TEST_F(HeadEndRowTest, AnActiveFilterTakesItsChannelFromTheAntenna) {
    auto antennaOwned = std::make_unique<TAntenna>(&Head(), 0, 0, LineColumn, BoxTop() - 1);
    auto* antenna = antennaOwned.get();
    antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, 470.0f);
    antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, 862.0f);
    for (auto [name, level] : {std::pair{"21", 70.0f}, std::pair{"40", 75.0f}}) {
        TCanale c;
        CanalizzazioneEuropa->SetChannel(c, CanalizzazioneEuropa->IndexOf(name));
        c.band = SistemaBandeCorrente->BandOf(c.CentreFrequency());
        c.levelMin = level;
        antenna->SourceChannels->Insert(c);
    }
    ASSERT_TRUE(Head().InsertCell(std::move(antennaOwned), false, 0));
    auto filterOwned = std::make_unique<TFiltroAT>(&Head(), 0, 0, LineColumn - 1, BoxTop(), AutoMixOneInput,
                                                   AutoMixOutputCentre);
    auto* filter = filterOwned.get();
    TModuloFiltro& m = filter->Module();
    m.slotLow[ModuleInputSlot] = 470.0f;
    m.slotHigh[ModuleInputSlot] = 478.0f;
    const float stage[5] = {0, 30, 8, 105, 0};
    for (int r = 0; r < 5; ++r) m.stage->Set2(r, 0, stage[r]);
    filter->Described = 1;
    ASSERT_TRUE(Head().InsertCell(std::move(filterOwned), false, 0));
    ASSERT_TRUE(project.AnalyseGrids());
    ASSERT_EQ(filter->InputCell[0], antenna);
    ASSERT_EQ(filter->GetShortCode(), "Fa1");

    project.RunChannelPass(0);
    // 70 + 30 - 14 - 2 x sqrt(474 / 470) - 1, and "40" is not in the filter's channel.
    ASSERT_EQ(Socket().Count(), 1);
    EXPECT_EQ(Socket().head->name, "21");
    EXPECT_NEAR(Socket().head->levelMin, 70 + 30 - 14 - 2 * std::sqrt(474.0 / 470.0) - 1, 1e-3);
    EXPECT_NEAR(Socket().head->levelMin, 82.9915, 1e-4);
    EXPECT_EQ(messages.Items->Count(), 0);
}

TEST_F(HeadEndRowTest, AModulatorFeedsAFinalAmplifierThatRegulatesItself) {
    auto amplifierOwned = std::make_unique<TAmplificatoreAt>(&Head(), 0, 0, LineColumn - 1, BoxTop(),
                                                             AutoMixOneInput, AutoMixOutputCentre);
    auto* amplifier = amplifierOwned.get();
    amplifier->Attenuation->Set3(0, WideRegulation, 5, 0.0f);
    amplifier->Attenuation->Set3(0, WideMaxRegulation, 5, 10.0f);
    amplifier->Attenuation->Set3(0, WideGain, 5, 20.0f);
    amplifier->Attenuation->Set3(0, WideNoiseFigure, 5, 7.0f);
    amplifier->Attenuation->Set3(0, WideMaxOutput, 5, 110.0f);
    amplifier->Described = 1;
    ASSERT_TRUE(Head().InsertCell(std::move(amplifierOwned), false, 0));
    auto modulatorOwned = std::make_unique<TModulatore>(&Head(), 0, 0, LineColumn - 1,
                                                        BoxTop() - AutoMixHeight, AutoMixOutputCentre);
    auto* modulator = modulatorOwned.get();
    TModuloFiltro& m = modulator->Module();
    m.slotLow[ModuleOutputSlot] = 606.0f;
    m.slotHigh[ModuleOutputSlot] = 614.0f;
    m.stage->Set2(0, 0, 0.0f);
    m.stage->Set2(2, 0, 40.0f);
    m.stage->Set2(3, 0, 80.0f);
    m.stage->Set2(4, 0, 10.0f);
    modulator->Described = 1;
    ASSERT_TRUE(Head().InsertCell(std::move(modulatorOwned), false, 0));
    ASSERT_TRUE(project.AnalyseGrids());
    ASSERT_EQ(amplifier->InputCell[0], modulator);
    ASSERT_EQ(amplifier->GetShortCode(), "Af1");
    ASSERT_EQ(modulator->GetShortCode(), "Mo1");

    project.RunChannelPass(0);
    // 80 + 20 - 14 - 2 x sqrt(610 / 862) - 1, the floor 80 - 40.
    ASSERT_EQ(Socket().Count(), 1);
    EXPECT_EQ(Socket().head->name, "606/614");
    EXPECT_EQ(Socket().head->band, 5);
    const double before = 80 + 20 - 14 - 2 * std::sqrt(610.0 / 862.0) - 1;
    EXPECT_NEAR(before, 83.3176, 1e-4);
    EXPECT_NEAR(Socket().head->levelMin, before, 1e-3);
    EXPECT_NEAR(Socket().head->floorMin, 40.0f, 1e-4);

    // Two passes in a row give the same lists at every module.
    const auto modulated = Snapshot(OutputList(*modulator, AutoMixOwnOutput));
    const auto common = Snapshot(OutputList(*amplifier, AutoMixCommonOutput));
    const auto amplified = Snapshot(OutputList(*amplifier, AutoMixOwnOutput));
    ASSERT_EQ(amplified.size(), 1u);
    project.RunChannelPass(0);
    EXPECT_EQ(Snapshot(OutputList(*modulator, AutoMixOwnOutput)), modulated);
    EXPECT_EQ(Snapshot(OutputList(*amplifier, AutoMixCommonOutput)), common);
    EXPECT_EQ(Snapshot(OutputList(*amplifier, AutoMixOwnOutput)), amplified);

    // The regulation reads the outlet channel's level pair: high excess
    // 83.3176 - 80 = 3.3176, low margin 18.3176, room 10.
    amplifier->SpreadStamp(NextPassNumber());
    EXPECT_NEAR(amplifier->Attenuation->Get3(0, WideRegulation, 5), before - 80.0, 1e-4);
    project.RunChannelPass(0);
    EXPECT_NEAR(Socket().head->levelMin, 80.0f, 1e-4);
    EXPECT_EQ(messages.Items->Count(), 0);
}

}  // namespace
