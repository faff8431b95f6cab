// The network builder's choices between the staircases and the terminal:
// riser lines grouped for splitters, shared risers, the terminal's lines, the
// radial switch and where the line amplifiers go.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "autodesign/engine.h"
#include "cells/cables.h"
#include "core/info.h"
#include "core/reporter.h"
#include "platform/application.h"
#include "support/globals_fixture.h"

namespace {

class NetworkTest : public GlobalsTest {
protected:
    NetworkTest() : engine(&globals.Reporter()) { engine.Reset(); }
    TCreaAuto engine;

    void Staircases(int32_t n) {
        engine.Settings->Building->StaircaseCount = n;
        for (int32_t s = 0; s < n; ++s) engine.Settings->Building->Staircases[s].FloorCount = 3;
    }
    // The satellite riser cable's loss per 100 m at the satellite band slot.
    void SatRiserLoss(float per100) {
        engine.Cables[CableRiserSat]->Attenuation->Set3(0, 0, BandSlotSat, per100);
    }
};

TEST(SplitOutputsTest, TheTenCases) {
    constexpr int32_t w = 2;
    struct Case {
        const char* name;
        int32_t n;
        std::vector<int32_t> available;  // input counts with a splitter of w outputs
        std::vector<int32_t> groups;     // the entries written, the rest stays 99
        bool result;
    };
    // clang-format off
    const Case cases[] = {
        {"10 whole", 10, {10, 1}, {10}, true},
        {"10 in halves", 10, {5}, {5, 5}, true},
        {"10 with an eight", 10, {8, 1}, {1, 1, 8}, true},
        {"10 with an eight, no 1-input", 10, {8}, {1, 1, 8}, false},
        {"10 with fours", 10, {4, 1}, {1, 1, 4, 4}, true},
        {"10 in ones", 10, {1}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, true},
        {"n whole", 4, {4}, {4}, true},
        {"odd, one and the rest", 7, {6, 1}, {1, 6}, true},
        {"odd, one and two halves", 7, {3}, {1, 3, 3}, false},
        {"odd, one and two halves with a 1-input", 7, {3, 1}, {1, 3, 3}, true},
        {"even in halves", 8, {4}, {4, 4}, true},
        {"otherwise ones", 8, {3, 1}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, true},
        {"otherwise ones, none at all", 6, {}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        TAvailTable avail{};
        for (int32_t i : c.available) avail[i][w] = 1;
        avail[c.n][w + 1] = 1;  // another output count does not count
        std::array<int32_t, SplitGroupsMax> groups;
        groups.fill(99);
        EXPECT_EQ(TCreaAuto::SplitOutputs(avail, c.n, w, groups), c.result) << c.name;
        std::vector<int32_t> expected = c.groups;
        expected.resize(SplitGroupsMax, 99);
        EXPECT_EQ(std::vector<int32_t>(groups.begin(), groups.end()), expected) << c.name;
    }
}

TEST_F(NetworkTest, SharedRisersAndTheTerminalLines) {
    struct Case {
        const char* name;
        int32_t staircases;
        int32_t terLines, satLines;
        bool multiswitch, mixed;
        bool splitter1x3;
        float marginTer, marginSat;
        int32_t terSplitsOf1;  // splits of staircase 1's terrestrial riser
        bool sharedTer, sharedSat;
        int32_t ways;
        int32_t lines, risersTer, risersSat;
    };
    // clang-format off
    const Case cases[] = {
        // One staircase shares nothing: its lines go straight to the terminal.
        {"one staircase", 1, 1, 0, false, false, true, 30, 30, 0, false, false, 1, 1, 1, 0},
        {"three, no 1x3: a 1x4 splitter", 3, 1, 0, false, false, false, 30, 30, 0, true, false, 4, 1, 1, 0},
        {"three with a 1x3", 3, 1, 0, false, false, true, 30, 30, 0, true, false, 3, 1, 1, 0},
        {"margin below the splitter's loss", 2, 1, 0, false, false, true, 5, 30, 0, false, false, 2, 2, 2, 0},
        {"a split keeps the risers apart", 2, 1, 0, false, false, true, 30, 30, 1, false, false, 2, 3, 3, 0},
        {"mixed cable needs the satellite margin", 2, 1, 0, false, true, true, 30, 5, 0, false, false, 2, 2, 2, 0},
        {"single satellite cable beside", 2, 1, 1, false, false, true, 30, 30, 0, true, true, 2, 2, 1, 1},
        {"single satellite cable, low margin", 2, 1, 1, false, false, true, 30, 6, 0, true, false, 2, 3, 1, 2},
        {"multiswitch always shares", 2, 0, 4, true, false, true, 30, -50, 0, false, true, 2, 4, 0, 1},
    };
    // clang-format on
    for (const Case& c : cases) {
        engine.Reset();
        Staircases(c.staircases);
        engine.LineCount[0] = c.terLines;
        engine.LineCount[1] = c.satLines;
        engine.MultiswitchSat = c.multiswitch;
        engine.CarriesSat[RoleTer] = c.mixed;
        engine.SplitterAvail = {};
        engine.SplitterAvail[1][2] = engine.SplitterAvail[1][4] = 1;
        engine.SplitterAvail[4][2] = 1;
        if (c.splitter1x3) engine.SplitterAvail[1][3] = 1;
        for (auto& row : engine.SplitterLossTer) row.fill(LossUnavailable);
        for (auto& row : engine.SplitterLossSat) row.fill(LossUnavailable);
        for (int32_t w : {2, 3, 4}) {
            engine.SplitterLossTer[1][w] = 4.0f + w;
            engine.SplitterLossSat[1][w] = 5.0f + w;
        }
        for (int32_t s = 0; s < c.staircases; ++s) {
            engine.StaircaseMargin[s][0] = c.marginTer;
            engine.StaircaseMargin[s][1] = c.marginSat;
            engine.RiserBreakCount[s][0] = engine.RiserBreakCount[s][1] = 0;
        }
        if (c.staircases > 1) engine.RiserBreakCount[1][0] = c.terSplitsOf1;
        engine.DecideSharedRisers();
        engine.CountTerminalLines();
        EXPECT_EQ(bool(engine.SharedTer), c.sharedTer) << c.name;
        EXPECT_EQ(bool(engine.SharedSat), c.sharedSat) << c.name;
        EXPECT_EQ(engine.SplitWays, c.ways) << c.name;
        EXPECT_EQ(engine.TerminalLines, c.lines) << c.name;
        EXPECT_EQ(engine.RiserCountTer, c.risersTer) << c.name;
        EXPECT_EQ(engine.RiserCountSat, c.risersSat) << c.name;
        EXPECT_EQ(engine.EntryInputsTer, c.risersTer) << c.name;
        EXPECT_EQ(engine.EntryInputsSat, c.risersSat) << c.name;
        // Models: the terrestrial risers' outputs first, a mixed cable both kinds everywhere.
        for (int32_t i = 0; i < c.lines; ++i)
            EXPECT_EQ(engine.TerminalOutputMask(i), c.mixed           ? 0x600u
                                                    : i < c.risersTer ? 0x400u
                                                                      : 0x200u)
                << c.name << " output " << i;
    }
}

TEST_F(NetworkTest, MultiswitchLinesAreGroupedForTheSplitters) {
    Staircases(3);
    engine.MultiswitchSat = 1;
    engine.LineCount[1] = 4;
    // Only 1-input splitters: one 1 x 3 splitter per line.
    engine.SplitterAvail[1][3] = engine.SplitterAvail[1][4] = 1;
    engine.DecideSharedRisers();
    EXPECT_EQ(engine.SplitWays, 3);
    EXPECT_EQ(std::vector<int32_t>(engine.SplitGroups.begin(), engine.SplitGroups.end()),
              std::vector<int32_t>(SplitGroupsMax, 1));
    // Without a 1-input three-way splitter the 4-input four-way one takes all the lines.
    engine.SplitterAvail[1][3] = 0;
    engine.SplitterAvail[4][4] = 1;
    engine.DecideSharedRisers();
    EXPECT_EQ(engine.SplitWays, 4);
    EXPECT_EQ(engine.SplitGroups[0], 4);
}

TEST_F(NetworkTest, RadialSwitch) {
    struct Case {
        const char* name;
        int32_t lines;
        bool terOnMultiswitch;
        std::vector<std::pair<int32_t, int32_t>> switches;  // inputs, outputs
        int32_t needed;
        int32_t inputs, outputs;   // 0, 0: the message
        const char* refusal = "";  // what follows the message's first sentence
    };
    // clang-format off
    const Case cases[] = {
        {"smallest that is enough", 4, false, {{4, 6}, {4, 12}, {4, 16}}, 8, 4, 12},
        {"8 lines, only 9-input switches", 8, false, {{9, 16}}, 12, 9, 16},
        {"9-input missing: 10 inputs", 8, false, {{10, 16}}, 12, 10, 16},
        {"terrestrial in the multiswitch takes no spare input", 8, true, {{9, 16}}, 12, 0, 0,
         " L'impianto ne richiede 12, nessuno switch radiale disponibile ha 8 ingressi. Scegliere "
         "\"Multiswitch lungo scala\"."},
        {"a need of 40 outputs", 4, false, {{4, 32}, {4, 40}}, 40, 4, 40},
        {"beyond every switch", 4, false, {{4, 32}}, 33, 0, 0,
         " L'impianto ne richiede 33, il più grande disponibile ne ha 32. Scegliere \"Multiswitch lungo "
         "scala\"."},
    };
    // clang-format on
    for (const Case& c : cases) {
        engine.Reset();
        globals.Reporter().SetTarget(nullptr);
        Application->Script().Reset();
        engine.MultiswitchSat = engine.MultiswitchRadial = 1;
        engine.TerOnMultiswitch = c.terOnMultiswitch;
        engine.LineCount[1] = c.lines;
        engine.RadialOutputsTotal = c.needed;
        engine.RadialSwitchAvail = {};
        for (auto [i, o] : c.switches) engine.RadialSwitchAvail[i][o] = 1;
        const bool found = c.outputs != 0;
        EXPECT_EQ(engine.ChooseRadialSwitch(), found) << c.name;
        EXPECT_EQ(engine.RadialInputs, c.inputs) << c.name;
        EXPECT_EQ(engine.RadialSwitchOutputs, c.outputs) << c.name;
        const auto& boxes = Application->Script().MessageBoxes;
        ASSERT_EQ(boxes.size(), found ? 0u : 1u) << c.name;
        if (!found)
            EXPECT_EQ(
                boxes[0].Text,
                std::string("Non vi sono switch radiali con un numero sufficiente di uscite.") + c.refusal)
                << c.name;
    }
}

TEST_F(NetworkTest, WhereTheLineAmplifiersGo) {
    struct Case {
        const char* name;
        std::vector<int32_t> headEndDistances;  // one per staircase
        float required;                         // every staircase head, satellite
        float lnbMax;
        bool top;
        std::vector<uint8_t> perStaircase;
        int32_t lines = 4;
    };
    // Riser loss 20 dB / 100 m; substation levels 110 at 3, 4 and 5 inputs,
    // none at 2.
    // clang-format off
    const Case cases[] = {
        {"the LNB is enough", {10}, 80, 95, false, {0}},
        // 87 + 2.6 dB of riser is within the LNB's 90, not with its 1 dB
        // run of 5 m to the head end.
        {"the LNB's own run to the head end counts", {10}, 87, 90, false, {1}},
        {"one staircase", {10}, 95, 90, false, {1}},
        {"above the substations: a top bank", {10}, 108, 90, true, {0}},
        // A bank at the top of several staircases must give their need
        // within its rating less the derating of the five satellite bands
        // (4.5 dB): the farthest needs 4.6 dB of riser and the splitter's 4
        // over its head's level.
        {"beyond the substations: the staircases' own", {10, 20}, 103, 90, false, {1, 1}},
        {"two lines: the bank of three at the top", {10, 20}, 96, 90, true, {0, 0}, 2},
        {"two lines, beyond the bank's derated rating: the staircases' own", {10, 20}, 101, 90, false, {1, 1}, 2},
        // 2 staircases add the 1 x 2 splitter's 4 dB.
        {"the far staircase gets its own", {10, 70}, 90, 90, false, {0, 1}},
        {"none far: every staircase", {10, 20}, 90, 90, false, {1, 1}},
    };
    // clang-format on
    for (const Case& c : cases) {
        engine.Reset();
        Staircases(int32_t(c.headEndDistances.size()));
        SatRiserLoss(20.0f);
        engine.MultiswitchSat = 1;
        engine.LineCount[1] = c.lines;
        engine.LineAmpInputs = c.lines;
        engine.SubstationLevelSat[3] = engine.SubstationLevelSat[4] = engine.SubstationLevelSat[5] = 110.0f;
        engine.LnbLevelMax = c.lnbMax;
        engine.Settings->APMaxLossCtScala = 12;
        for (auto& row : engine.SplitterLossSat) row.fill(LossUnavailable);
        engine.SplitterLossSat[1][2] = 4.0f;
        for (size_t s = 0; s < c.headEndDistances.size(); ++s) {
            engine.Settings->Building->Staircases[s].HeadEndDistance = c.headEndDistances[s];
            engine.Settings->Building->Staircases[s].TopFloorDistance = 3;
            engine.StaircaseRequiredLevel[s][1] = c.required;
        }
        engine.PlanLineAmplifiers();
        EXPECT_EQ(bool(engine.LineAmpTop), c.top) << c.name;
        EXPECT_EQ(
            std::vector<uint8_t>(engine.LineAmpStaircase, engine.LineAmpStaircase + c.perStaircase.size()),
            c.perStaircase)
            << c.name;
    }
    // The need: the farthest head's level plus its riser loss, plus the splitter with several staircases.
    EXPECT_NEAR(engine.LineAmplifierNeed(), 90 + 0.01 * 23 * 20 + 4, 1e-4);
}

TEST_F(NetworkTest, AlignedFloorsShareRowsFromTheTopDown) {
    // Staircase 0 of 3 floors, staircase 1 of 5, floor rows from their own tops.
    engine.Settings->Building->StaircaseCount = 2;
    engine.Settings->Building->Staircases[0].FloorCount = 3;
    engine.Settings->Building->Staircases[1].FloorCount = 5;
    engine.HighestFloorCount = 5;
    const int32_t rows0[3] = {20, 8, 0}, rows1[5] = {50, 40, 27, 15, 0};
    std::copy(rows0, rows0 + 3, engine.FloorRow[0]);
    std::copy(rows1, rows1 + 5, engine.FloorRow[1]);
    engine.AlignFloorRows();
    // Floor 2 of staircase 0 goes down to 27, the floors below with it; then
    // floor 1 is 35 against 40 and floor 0 is 52 against 50.
    EXPECT_EQ(std::vector<int32_t>(engine.FloorRow[0], engine.FloorRow[0] + 3),
              (std::vector<int32_t>{52, 40, 27}));
    EXPECT_EQ(std::vector<int32_t>(engine.FloorRow[1], engine.FloorRow[1] + 5),
              (std::vector<int32_t>{52, 40, 27, 15, 0}));
    for (int32_t f = 0; f < 3; ++f) EXPECT_EQ(engine.FloorRow[0][f], engine.FloorRow[1][f]) << f;
}

}  // namespace
