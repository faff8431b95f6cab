// A chain from a real antenna to an outlet, on both grids of a project with
// fresh options, worked out by hand: the antenna An1 above line 1 of the
// head-end terminal; in the network the regulated amplifier A1, a one-square
// cable, a tap whose through output ends in a termination and an end outlet
// on the tap's user output.
#include <gtest/gtest.h>

#include <cmath>

#include "cells/amplifiers.h"
#include "cells/cables.h"
#include "cells/outlets.h"
#include "cells/pass_links.h"
#include "cells/sources.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/report_pages.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"
#include "support/globals_fixture.h"

namespace {

// The terminals of a reset project stand at column 36; line 1 is column 37.
constexpr int32_t LineColumn = 37;
constexpr int32_t FedFromLeft = 3;

void SetColumn(TCella& cell, int32_t row, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(row, column, b, value);
}

void AddChannel(TAntenna& antenna, const char* name, float level) {
    const int row = CanalizzazioneEuropa->IndexOf(name);
    ASSERT_GE(row, 0) << name;
    TCanale c;
    CanalizzazioneEuropa->SetChannel(c, row);
    c.band = SistemaBandeCorrente->BandOf(c.CentreFrequency());
    c.levelMin = level;
    antenna.SourceChannels->Insert(c);
}

// The antenna An1 (470 to 862 MHz) on line 1 of the head-end grid, with the
// "Europa" channels 21, 22 and 40 at 60, 62 and 58 dBuV.
TAntenna* PutAntenna(TGridData& head, int32_t row) {
    auto antennaOwned = std::make_unique<TAntenna>(&head, 0, 0, LineColumn, row);
    auto* antenna = antennaOwned.get();
    antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, 470.0f);
    antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, 862.0f);
    AddChannel(*antenna, "21", 60.0f);
    AddChannel(*antenna, "22", 62.0f);
    AddChannel(*antenna, "40", 58.0f);
    antenna->Described = 1;
    EXPECT_TRUE(head.InsertCell(std::move(antennaOwned), false, 0));
    return antenna;
}

int MessageCountOf(const TListBox& list) { return list.Items->Count(); }

class HeadEndChainTest : public GlobalsTest {
protected:
    void SetUp() override {
        globals.Reporter().SetTarget(&messages);
        project.Reset(true);
        TGridData& head = *project.HeadEndGrid;
        antenna = PutAntenna(head, head.Rows - 2);

        TGridData& net = *project.NetworkGrid;
        auto amplifierOwned =
            std::make_unique<TAmplificatore>(&net, 0, 0, LineColumn, 1, CodeAmplificatoreRegolato, 1, 1);
        amplifier = amplifierOwned.get();
        for (int32_t b : {4, 5}) {
            amplifier->Attenuation->Set3(0, AmpRegulation, b, 0.0f);
            amplifier->Attenuation->Set3(0, AmpGain, b, 30.0f);
            amplifier->Attenuation->Set3(0, AmpNoiseFigure, b, 7.0f);
        }
        amplifier->Attenuation->Set3(0, AmpMaxRegulation, 4, 6.0f);
        amplifier->Attenuation->Set3(0, AmpMaxRegulation, 5, LevelRepeat);
        amplifier->Attenuation->Set3(0, AmpMaxOutput, 4, 94.0f);
        amplifier->Attenuation->Set3(0, AmpMaxOutput, 5, 100.0f);
        amplifier->Described = 1;
        ASSERT_TRUE(net.InsertCell(std::move(amplifierOwned), false, 0));

        auto cableOwned = std::make_unique<TNCavo>(&net, 0, 0, LineColumn, 2, 0, 0);
        cable = cableOwned.get();
        SetColumn(*cable, 0, 0, 20.0f);
        cable->SetLength(10.0f);
        cable->Described = 1;
        ASSERT_TRUE(net.InsertCell(std::move(cableOwned), false, 0));

        auto tapOwned = std::make_unique<TDerivatore>(&net, 0, 0, LineColumn, 3, 1, 1);
        tap = tapOwned.get();
        SetColumn(*tap, 0, TapLossColumn, 14.0f);
        SetColumn(*tap, 0, TapThroughColumn, 1.5f);
        tap->Described = 1;
        ASSERT_TRUE(net.InsertCell(std::move(tapOwned), false, 0));
        ASSERT_TRUE(net.InsertCell(std::make_unique<TChiusura>(&net, 0, 0, LineColumn, 4, 1), false, 0));

        auto outletOwned =
            std::make_unique<TPresaD>(&net, FedFromLeft, 0, LineColumn + 1, 3, CodeEndOutlet, 1);
        outlet = outletOwned.get();
        SetColumn(*outlet, 0, OutletSocketLoss, 1.0f);
        outlet->Described = 1;
        ASSERT_TRUE(net.InsertCell(std::move(outletOwned), false, 0));

        ASSERT_TRUE(project.AnalyseGrids());
        ASSERT_EQ(net.Anchor->OutputCell[0], amplifier);
        ASSERT_EQ(amplifier->OutputCell[0], cable);
        ASSERT_EQ(head.Anchor->InputCell[0], antenna);
        ASSERT_EQ(antenna->GetShortCode(), "An1");
        ASSERT_EQ(amplifier->GetShortCode(), "A1");
    }

    AnsiString Message(int i) const { return messages.Items->Strings(i); }
    int MessageCount() const { return MessageCountOf(messages); }

    TListBox messages;
    TProgetto project{nullptr};
    TAntenna* antenna = nullptr;
    TAmplificatore* amplifier = nullptr;
    TNCavo* cable = nullptr;
    TDerivatore* tap = nullptr;
    TPresaD* outlet = nullptr;
};

TEST_F(HeadEndChainTest, ChannelsReachTheOutletAsWorkedOutByHand) {
    project.RunChannelPass(0);
    // Level at the socket: source + 30 dB of gain - the cable's 2 dB taken at
    // the channel's frequency against its band's reference (470 MHz for
    // b. IV, 862 for b. V) - 14 dB of tap loss - 1 dB of socket loss.
    struct Case {
        const char* name;
        double level, floor;
    };
    // clang-format off
    const Case cases[] = {
        {"21", 60 + 30 - 2 * std::sqrt(474.0 / 470.0) - 14 - 1, 57.5},   // 72.9915
        {"22", 62 + 30 - 2 * std::sqrt(482.0 / 470.0) - 14 - 1, 59.5},   // 74.9746
        {"40", 58 + 30 - 2 * std::sqrt(626.0 / 862.0) - 14 - 1, 55.5},   // 71.2956
    };
    // clang-format on
    const TListaCanali* socket = OutputList(*outlet, OutletSocket);
    ASSERT_NE(socket, nullptr);
    ASSERT_EQ(socket->Count(), 3);
    const TCanale* c = socket->head;
    for (const Case& expected : cases) {
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->name, expected.name);
        EXPECT_NEAR(c->levelMin, expected.level, 1e-3) << expected.name;
        EXPECT_NEAR(c->floorMin, expected.floor, 1e-4) << expected.name;
        EXPECT_EQ(c->sources, "An1") << expected.name;
        c = c->next;
    }
    EXPECT_NEAR(cases[0].level, 72.9915, 1e-4);
    EXPECT_NEAR(cases[1].level, 74.9746, 1e-4);
    EXPECT_NEAR(cases[2].level, 71.2956, 1e-4);
    // Three channels derate the maximum output by 7.5 x log10 2: channel 22
    // leaves A1 at 92 dB, above 94 - 2.26.
    ASSERT_EQ(MessageCount(), 1);
    EXPECT_EQ(Message(0), "A1: il livello del canale 22 è troppo alto (massimo consentito 91,74dB).");
}

// "Calcoli canali": the findings of the pass go to the page's own list, in
// place of what it showed before; header and table show the column header;
// the grids' channels are up to date and the reporter is off afterwards.
TEST_F(HeadEndChainTest, TheChannelPageListsTheFindingsUnderTheColumnHeader) {
    project.NetworkGrid->ChannelsOutOfDate = true;
    project.HeadEndGrid->ChannelsOutOfDate = true;
    TCalculationRun run;
    run.Project = &project;
    TRichEdit header(nullptr), table(nullptr);
    TListBox page;
    page.Items->Add("A1: una riga di prima.");
    table.Lines->Add("una riga di prima");
    RunChannelCalculations(run, &header, &table, &page);
    EXPECT_EQ(MessagesOf(page),
              (std::vector<AnsiString>{
                  "A1: il livello del canale 22 è troppo alto (massimo consentito 91,74dB).",
              }));
    EXPECT_EQ(MessageCount(), 0);
    ASSERT_EQ(header.Lines->Count(), 1);
    EXPECT_EQ(header.Lines->Strings(0), ChannelRowsHeader);
    // The table under its header: the outlets' channel rows, what was there
    // before gone.
    ASSERT_GE(table.Lines->Count(), 2);
    EXPECT_EQ(table.Lines->Strings(0), ChannelRowsHeader);
    EXPECT_EQ(table.Lines->Strings(1)[0], 'P');
    for (int i = 0; i < table.Lines->Count(); ++i) EXPECT_NE(table.Lines->Strings(i), "una riga di prima");
    EXPECT_FALSE(project.NetworkGrid->ChannelsOutOfDate);
    EXPECT_FALSE(project.HeadEndGrid->ChannelsOutOfDate);
    project.RunChannelPass(0);
    EXPECT_EQ(MessagesOf(page).size(), 1u);
    EXPECT_EQ(MessageCount(), 0);
}

TEST_F(HeadEndChainTest, RequiredAndSignalWindowsAsWorkedOutByHand) {
    project.RunRequiredLevelPass();
    struct Case {
        int32_t band;
        TFinestra outlet, tap, cable, terminal;
    };
    // Fresh options ask 65 to 80 dB at a socket in bands 4 and 5; the
    // amplifier clips to its maximum output (94 and 100), then gains 30 dB.
    // clang-format off
    const Case cases[] = {
        {4, {66, 81}, {80, 95}, {82, 97}, {52, 64}},
        {5, {66, 81}, {80, 95}, {82, 97}, {52, 67}},
    };
    // clang-format on
    TCella* terminal = project.NetworkGrid->Anchor;
    for (const Case& c : cases) {
        const auto b = static_cast<size_t>(c.band);
        auto expect = [&c](const TFinestra& expected, const TFinestra& actual, const char* where) {
            EXPECT_NEAR(actual.Min, expected.Min, 1e-4) << where << " band " << c.band;
            EXPECT_NEAR(actual.Max, expected.Max, 1e-4) << where << " band " << c.band;
        };
        expect(c.outlet, outlet->InputLevels[0][b], "outlet");
        expect(c.tap, tap->InputLevels[0][b], "tap");
        expect(c.cable, cable->InputLevels[0][b], "cable");
        expect(c.terminal, amplifier->InputLevels[0][b], "amplifier");
        expect(c.terminal, terminal->InputLevels[0][b], "terminal");
    }

    // Line 1 fed alone with the probe: 50000 + 30 - 2 - 14 - 1 at the socket.
    terminal->SelectOutputLevel(0);
    project.RunSignalLevelPass();
    for (size_t b : {4u, 5u}) {
        EXPECT_NEAR(outlet->OutputLevels[OutletSocket][b].Min, 50013.0f, 1e-2) << b;
        EXPECT_NEAR(outlet->OutputLevels[OutletSocket][b].Max, 50013.0f, 1e-2) << b;
    }
}

TEST_F(HeadEndChainTest, RegulationBringsTheLoudestChannelUnderTheDeratedMaximum) {
    amplifier->SpreadStamp(NextPassNumber());
    // Band 4: Need = 92 - (94 - 2.2577) = 0.2577, Room = 72.9915 - 65;
    // band 5: Need 0, Room = 71.2956 - 65. Band 5 joins band 4's group, so
    // both move by the group's largest Need.
    const double need = 92.0 - (94.0 - 7.5 * std::log10(2.0));
    EXPECT_NEAR(amplifier->Attenuation->Get3(0, AmpRegulation, 4), need, 1e-4);
    EXPECT_NEAR(amplifier->Attenuation->Get3(0, AmpRegulation, 5), need, 1e-4);
    EXPECT_NEAR(need, 0.2577, 1e-4);

    // A band whose largest regulation is 0 is never regulated.
    amplifier->Attenuation->Set3(0, AmpRegulation, 4, 0.0f);
    amplifier->Attenuation->Set3(0, AmpRegulation, 5, 0.0f);
    amplifier->Attenuation->Set3(0, AmpMaxRegulation, 4, 0.0f);
    amplifier->SpreadStamp(NextPassNumber());
    EXPECT_EQ(amplifier->Attenuation->Get3(0, AmpRegulation, 4), 0.0f);
    EXPECT_EQ(amplifier->Attenuation->Get3(0, AmpRegulation, 5), 0.0f);
}

}  // namespace

namespace {

// The head end's wide-band amplifier Tr1 between the antenna and line 1; in
// the network a tap (14 dB, its through output closed) and an end outlet.
class WideBandRegulationTest : public GlobalsTest {
protected:
    void SetUp() override {
        globals.Reporter().SetTarget(&messages);
        project.Reset(true);
        TGridData& head = *project.HeadEndGrid;
        const int32_t top = head.Rows - 4;  // the block's three rows end above the terminal
        antenna = PutAntenna(head, top - 1);
        auto wideOwned = std::make_unique<TTerrestre>(&head, 0, 0, LineColumn - 1, top, 1, 1);
        wide = wideOwned.get();
        for (int32_t b : {4, 5}) {
            wide->Attenuation->Set3(0, WideRegulation, b, 0.0f);
            wide->Attenuation->Set3(0, WideGain, b, 36.0f);
            wide->Attenuation->Set3(0, WideNoiseFigure, b, 7.0f);
            wide->Attenuation->Set3(0, WideMaxOutput, b, 120.0f);
        }
        wide->Attenuation->Set3(0, WideMaxRegulation, 4, 10.0f);
        wide->Attenuation->Set3(0, WideMaxRegulation, 5, LevelRepeat);
        wide->Described = 1;
        ASSERT_TRUE(head.InsertCell(std::move(wideOwned), false, 0));

        TGridData& net = *project.NetworkGrid;
        auto tapOwned = std::make_unique<TDerivatore>(&net, 0, 0, LineColumn, 1, 1, 1);
        auto* tap = tapOwned.get();
        SetColumn(*tap, 0, TapLossColumn, 14.0f);
        SetColumn(*tap, 0, TapThroughColumn, 1.5f);
        tap->Described = 1;
        ASSERT_TRUE(net.InsertCell(std::move(tapOwned), false, 0));
        ASSERT_TRUE(net.InsertCell(std::make_unique<TChiusura>(&net, 0, 0, LineColumn, 2, 1), false, 0));
        auto outletOwned =
            std::make_unique<TPresaD>(&net, FedFromLeft, 0, LineColumn + 1, 1, CodeEndOutlet, 1);
        outlet = outletOwned.get();
        SetColumn(*outlet, 0, OutletSocketLoss, 1.0f);
        outlet->Described = 1;
        ASSERT_TRUE(net.InsertCell(std::move(outletOwned), false, 0));

        ASSERT_TRUE(project.AnalyseGrids());
        ASSERT_EQ(wide->InputCell[0], antenna);
        ASSERT_EQ(head.Anchor->InputCell[0], wide);
    }

    TListBox messages;
    TProgetto project{nullptr};
    TAntenna* antenna = nullptr;
    TTerrestre* wide = nullptr;
    TPresaD* outlet = nullptr;
};

TEST_F(WideBandRegulationTest, TheChannelsArrivingOnTheInputAreMatchedAtTheOutlets) {
    project.RunChannelPass(0);
    const TListaCanali* socket = OutputList(*outlet, OutletSocket);
    ASSERT_NE(socket, nullptr);
    ASSERT_EQ(socket->Count(), 3);
    // 60, 62 and 58 dB + 36 - 14 - 1 at the socket: 81, 83 and 79.
    EXPECT_NEAR(socket->head->levelMin, 81.0f, 1e-4);
    EXPECT_EQ(MessageCountOf(messages), 0);

    const uint32_t stamp = NextPassNumber();
    wide->SpreadStamp(stamp);
    // Band 4: Need = 83 - 80 = 3, Room = 81 - 65 = 16; band 5 (its group):
    // Need = 79 - 80, Room = 79 - 65 = 14. The group moves by 3, within the
    // regulation left (10).
    EXPECT_NEAR(wide->Attenuation->Get3(0, WideRegulation, 4), 3.0f, 1e-4);
    EXPECT_NEAR(wide->Attenuation->Get3(0, WideRegulation, 5), 3.0f, 1e-4);
    // The spread goes on downstream, never up to the antenna.
    EXPECT_LT(antenna->SpreadPassStamp, stamp);
    EXPECT_EQ(project.HeadEndGrid->Anchor->SpreadPassStamp, stamp);

    project.RunChannelPass(0);
    EXPECT_NEAR(OutputList(*outlet, OutletSocket)->head->levelMin, 78.0f, 1e-4);
}

}  // namespace
