// In-line passives, inductances, mixers and demixers in networks drawn on a
// project's network grid: the analysis links them and the project's drivers
// compute levels, outlet attenuations and separations as worked out by hand.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cells/cables.h"
#include "cells/factory.h"
#include "cells/head_end.h"
#include "cells/mixers.h"
#include "cells/outlets.h"
#include "cells/passives.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/options.h"
#include "core/reporter.h"
#include "core/table_texts.h"
#include "document/grid.h"
#include "document/project.h"
#include "support/globals_fixture.h"

namespace {

// The terminal of a reset project stands at column 36 of row 0; its first
// line leaves from column 37 into row 1.
constexpr int32_t LineColumn = 37;

// Turns of one-square cells whose input is at the top: 3 takes the input
// from the left and gives the output to the right, 1 the other way round.
constexpr int32_t FedFromLeft = 3;
constexpr int32_t FedFromRight = 1;
constexpr int32_t Vertical = 0;
constexpr int32_t Horizontal = 1;

void SetColumn(TCella& cell, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(0, column, b, value);
}

void ExpectWindow(const TFinestra& expected, const TFinestra& actual, const char* what) {
    EXPECT_NEAR(actual.Min, expected.Min, 1e-4) << what;
    EXPECT_NEAR(actual.Max, expected.Max, 1e-4) << what;
}

bool SameWindow(const TFinestra& a, const TFinestra& b) { return a.Min == b.Min && a.Max == b.Max; }

class PassivesNetworkTest : public GlobalsTest {
protected:
    void SetUp() override { project.Reset(true); }

    TGridData& Grid() { return *project.NetworkGrid; }

    template <typename T>
    T* Put(std::unique_ptr<T> owned) {
        T* cell = owned.get();
        EXPECT_TRUE(Grid().InsertCell(std::move(owned), false, 0));
        return cell;
    }

    TCella* PutCode(int32_t code, int32_t column, int32_t row, int32_t orientation, int32_t count = 1) {
        std::unique_ptr<TCella> cell =
            NewCella(&Grid(), code, column, row, code == CodeMiscelatore ? count : 1, count, 0);
        EXPECT_NE(cell, nullptr) << code;
        cell->Orientation = orientation;
        cell->Described = 1;
        return Put(std::move(cell));
    }

    TNCavo* PutCable(int32_t column, int32_t row, int32_t orientation, float length, bool bend = false) {
        auto* cable = Put(std::make_unique<TNCavo>(&Grid(), orientation, 0, column, row, bend ? 1 : 0, 0));
        if (length > 0.0f) {
            SetColumn(*cable, 0, 20.0f);  // dB per 100 m
            cable->SetLength(length);
            cable->Described = 1;
        }
        return cable;
    }

    TPresaD* PutOutlet(int32_t column, int32_t row, int32_t orientation, int32_t code) {
        auto* outlet = Put(std::make_unique<TPresaD>(&Grid(), orientation, 0, column, row, code, 1));
        SetColumn(*outlet, OutletSocketLoss, 1.0f);
        SetColumn(*outlet, OutletThroughLoss, 0.5f);
        SetColumn(*outlet, OutletReverseLoss, 20.0f);
        outlet->Described = 1;
        return outlet;
    }

    int32_t PendingKind() {
        const TErroreCircuito* error = GestoreErrori->PendingError();
        return error ? error->Kind : 0;
    }

    TTesta* Terminal() { return dynamic_cast<TTesta*>(Grid().Anchor); }

    TProgetto project{nullptr};
};

// ---- The main road with a passive between the tap and the cable ----

// Terminal -> tap (14 dB to its user output on the right, 2 dB through to a
// termination) -> passive of 6 dB -> cable of 10 m at 20 dB/100 m -> end
// outlet (socket 1 dB). Fresh options, band slot 5: SigMin / SigMax 65 / 80.
//   outlet input      = limits + 1         -> (66, 81)
//   cable input       = + 0.01 x 20 x 10   -> (68, 83)
//   passive input     = + 6                -> (74, 89)
//   terminal input    = + 14               -> (88, 103)
// Line 1 fed alone with the probe 50000: the socket receives
// 50000 - 14 - 6 - 2 - 1 = 49977, 23 dB below the head end.
TEST_F(PassivesNetworkTest, APassiveInTheMainRoadAddsItsThroughLoss) {
    for (int32_t code : {CodeAttenuatore, CodeAttenuatoreR, CodeEqualizzatore, CodeSeparatoreCC,
                         CodeInseritore, CodeAlimentatore}) {
        SCOPED_TRACE(code);
        project.Reset(true);
        auto* tap = Put(std::make_unique<TDerivatore>(&Grid(), 0, 0, LineColumn, 1, 1, 1));
        SetColumn(*tap, TapLossColumn, 14.0f);
        SetColumn(*tap, TapThroughColumn, 2.0f);
        tap->Described = 1;
        Put(std::make_unique<TChiusura>(&Grid(), 0, 0, LineColumn, 2, 1));
        TCella* passive = PutCode(code, LineColumn + 1, 1, FedFromLeft);
        SetColumn(*passive, 1, 6.0f);
        TNCavo* cable = PutCable(LineColumn + 2, 1, Horizontal, 10.0f);
        TPresaD* outlet = PutOutlet(LineColumn + 3, 1, FedFromLeft, CodeEndOutlet);

        ASSERT_TRUE(project.AnalyseGrids()) << PendingKind();
        EXPECT_EQ(tap->OutputCell[1], passive);
        EXPECT_EQ(passive->OutputCell[0], cable);
        project.ComputeOutletLevels();
        ExpectWindow({66, 81}, outlet->InputLevels[0][5], "outlet");
        ExpectWindow({68, 83}, cable->InputLevels[0][5], "cable");
        ExpectWindow({74, 89}, passive->InputLevels[0][5], "passive");
        ExpectWindow({88, 103}, Grid().Anchor->InputLevels[0][5], "terminal");

        Grid().Anchor->SelectOutputLevel(0);
        project.RunSignalLevelPass();
        ExpectWindow({49977, 49977}, outlet->OutputLevels[OutletSocket][5], "socket");
        EXPECT_EQ(FormatMarginCell(outlet->OutputLevels[OutletSocket][5].Max), "23");
        TAttenuazioniPrese figures{};
        project.ComputeOutletAttenuations(figures);
        EXPECT_NEAR(figures.LeastAttenuation[0][5], 23.0f, 1e-4);
    }
}

// ---- The inductance ----

struct TLineFigures {
    std::vector<TFinestra> TerminalIn, Socket;
    std::vector<float> TerminalSeparation;
};

TLineFigures FiguresOf(TProgetto& project, TCella* outlet) {
    TLineFigures f;
    project.ComputeOutletLevels();
    TCella* terminal = project.NetworkGrid->Anchor;
    const int32_t bands = TCella::CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b) {
        f.TerminalIn.push_back(terminal->InputLevels[0][static_cast<size_t>(b)]);
        f.Socket.push_back(outlet->OutputLevels[OutletSocket][static_cast<size_t>(b)]);
    }
    for (int32_t b = 0; b < bands; ++b) {
        project.ComputeOutletSeparation(outlet, b, 0);
        f.TerminalSeparation.push_back(terminal->SeparationBest[b]);
    }
    return f;
}

// Two runs of 5 m joined by an inductance give, band by band, what one run of
// 10 m gives in its place: vertical inductances (turns 1 and 3) below the
// terminal's line, horizontal ones (turns 0 and 2) right of a tap.
TEST_F(PassivesNetworkTest, AnInductanceJoinsTwoRunsAsOneRun) {
    struct Case {
        const char* what;
        bool vertical;
        int32_t turn;
    };
    // clang-format off
    const Case cases[] = {
        {"vertical, turn 1", true, 1},
        {"vertical, turn 3", true, 3},
        {"horizontal, turn 0", false, 0},
        {"horizontal, turn 2", false, 2},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TLineFigures figures[2];
        for (int withInductance = 0; withInductance < 2; ++withInductance) {
            project.Reset(true);
            // The three squares the runs (and the inductance) take, then the outlet.
            int32_t column = LineColumn, row = 1, dc = 0, dr = 1, cableTurn = Vertical, outletTurn = 0;
            if (!c.vertical) {
                auto* tap = Put(std::make_unique<TDerivatore>(&Grid(), 0, 0, LineColumn, 1, 1, 1));
                SetColumn(*tap, TapLossColumn, 10.0f);
                SetColumn(*tap, TapThroughColumn, 2.0f);
                tap->Described = 1;
                Put(std::make_unique<TChiusura>(&Grid(), 0, 0, LineColumn, 2, 1));
                column = LineColumn + 1;
                dc = 1;
                dr = 0;
                cableTurn = Horizontal;
                outletTurn = FedFromLeft;
            }
            if (withInductance) {
                PutCable(column, row, cableTurn, 5.0f);
                Put(std::make_unique<TInduttanza>(&Grid(), c.turn, 0, column + dc, row + dr));
                PutCable(column + 2 * dc, row + 2 * dr, cableTurn, 5.0f);
            } else {
                PutCable(column, row, cableTurn, 10.0f);
                PutCable(column + dc, row + dr, cableTurn, 0.0f);
                PutCable(column + 2 * dc, row + 2 * dr, cableTurn, 0.0f);
            }
            TPresaD* outlet = PutOutlet(column + 3 * dc, row + 3 * dr, outletTurn, CodeEndOutlet);
            ASSERT_TRUE(project.AnalyseGrids()) << PendingKind();
            EXPECT_EQ(PendingKind(), 0);
            figures[withInductance] = FiguresOf(project, outlet);
        }
        const size_t bands = figures[0].Socket.size();
        ASSERT_GT(bands, 5u);
        for (size_t b = 0; b < bands; ++b) {
            EXPECT_TRUE(SameWindow(figures[0].TerminalIn[b], figures[1].TerminalIn[b])) << b;
            EXPECT_TRUE(SameWindow(figures[0].Socket[b], figures[1].Socket[b])) << b;
            EXPECT_EQ(figures[0].TerminalSeparation[b], figures[1].TerminalSeparation[b]) << b;
        }
        // Not trivially equal: the 2 dB of the runs are in the figures.
        EXPECT_NEAR(figures[1].Socket[5].Min, 65.0f, 1e-4);
        EXPECT_NEAR(figures[1].TerminalSeparation[5], c.vertical ? 3.0f : 13.0f, 1e-4);
    }
}

// ---- Demixer ----

// Terminal line 1 -> demixer (3 dB to output 0 on the left, 4 dB to output 1
// on the right) -> two outlets with a built-in termination (socket 1 dB).
class DemixerNetworkTest : public PassivesNetworkTest {
protected:
    void Build(int32_t outletCode) {
        demixer = PutCode(CodeDemiscelatore, LineColumn, 1, 0, 2);
        SetColumn(*demixer, 0, 3.0f);
        SetColumn(*demixer, 1, 4.0f);
        left = PutOutlet(LineColumn - 1, 1, FedFromRight, outletCode);
        right = PutOutlet(LineColumn + 1, 1, FedFromLeft, CodeTerminatedOutlet);
    }
    TCella* demixer = nullptr;
    TPresaD* left = nullptr;
    TPresaD* right = nullptr;
};

TEST_F(DemixerNetworkTest, SeparationBetweenItsOutletsIsTheSumOfThePathsAndFailsTheCheck) {
    Build(CodeTerminatedOutlet);
    ASSERT_TRUE(project.AnalyseGrids()) << PendingKind();
    EXPECT_EQ(demixer->OutputCell[0], left);
    EXPECT_EQ(demixer->OutputCell[1], right);
    project.ComputeOutletLevels();
    // Each outlet asks (66, 81) in slot 5; the input asks both raised by
    // their losses, (69, 84) and (70, 85): (70, 84). Each socket receives
    // that window lowered by its path.
    ExpectWindow({70, 84}, demixer->InputLevels[0][5], "demixer input");
    ExpectWindow({66, 80}, left->OutputLevels[OutletSocket][5], "left socket");
    ExpectWindow({65, 79}, right->OutputLevels[OutletSocket][5], "right socket");

    project.ComputeOutletSeparation(left, 4, 0);
    EXPECT_NEAR(right->SeparationOutlet[4], 1.0f + 3.0f + 4.0f + 1.0f, 1e-4);
    EXPECT_NEAR(Grid().Anchor->SeparationBest[4], 1.0f + 3.0f, 1e-4);
    // 9 dB is below "AttMin" of slot 4 (36): the check names the other outlet.
    EXPECT_EQ(Opzioni->limits[4][LimitAttMin], 36.0f);
    project.ComputeOutletSeparation(left, 4, 1);
    TCella* other = nullptr;
    int32_t band = -1;
    EXPECT_FALSE(project.CheckOutletSeparation(left, other, band));
    EXPECT_EQ(other, right);
}

// A demixer's outputs need a termination where their lines end, as a
// splitter's do.
TEST_F(DemixerNetworkTest, AnEndOutletOnAnOutputIsCircuitError4) {
    Build(CodeEndOutlet);
    GestoreErrori->SetPendingError(nullptr);
    EXPECT_FALSE(project.AnalyseGrids());
    EXPECT_EQ(PendingKind(), 4);
}

// ---- Mixer ----

// Terminal lines 1 and 2 reach a two-input mixer through cable runs of 5 m
// (1 dB): line 1 down and into its left side, line 2 down, right, down and
// back into its right side. The mixer (3 dB from input 0, 4 dB from input 1)
// feeds a 5 m cable and an outlet with a built-in termination.
TEST_F(PassivesNetworkTest, AMixerInputThatDoesNotCarryABandLeavesNoSignalInIt) {
    struct Figures {
        float line0, line1, bothMin;
        float line1Socket;
    };
    Figures figures[2] = {};
    for (int notGiven = 0; notGiven < 2; ++notGiven) {
        SCOPED_TRACE(notGiven);
        project.Reset(true);
        Terminal()->SetLineCount(2);
        const int32_t a = LineColumn, b = LineColumn + 1;
        PutCable(a, 1, Vertical, 5.0f);
        PutCable(a, 2, Vertical, 0.0f);
        PutCable(a, 3, 2, 0.0f, true);  // top to right
        PutCable(b, 1, Vertical, 5.0f);
        PutCable(b, 2, 2, 0.0f, true);      // top to right
        PutCable(b + 1, 2, 0, 0.0f, true);  // left to bottom
        PutCable(b + 1, 3, 1, 0.0f, true);  // top to left
        TCella* mixer = PutCode(CodeMiscelatore, b, 3, 0, 2);
        SetColumn(*mixer, 0, 3.0f);
        SetColumn(*mixer, 1, 4.0f);
        if (notGiven) mixer->Attenuation->Set3(0, 1, 5, LevelNone);
        PutCable(b, 4, Vertical, 5.0f);
        TPresaD* outlet = PutOutlet(b, 5, 0, CodeTerminatedOutlet);
        ASSERT_TRUE(project.AnalyseGrids()) << PendingKind();
        ASSERT_NE(mixer->InputCell[0], nullptr);
        ASSERT_NE(mixer->InputCell[1], nullptr);
        EXPECT_NE(mixer->InputCell[0], mixer->InputCell[1]);

        project.ComputeOutletLevels();
        const TFinestra both = outlet->OutputLevels[OutletSocket][5];
        EXPECT_GE(both.Min, 0.0f) << "a real window, not Err";
        figures[notGiven].bothMin = both.Min;

        TAttenuazioniPrese result{};
        project.ComputeOutletAttenuations(result);
        figures[notGiven].line0 = result.LeastAttenuation[0][5];
        figures[notGiven].line1 = result.LeastAttenuation[1][5];
        Terminal()->SelectOutputLevel(1);
        project.RunSignalLevelPass();
        figures[notGiven].line1Socket = outlet->OutputLevels[OutletSocket][5].Min;
    }
    // Line 1: 1 + 3 + 1 + 1 dB; line 2: 1 + 4 + 1 + 1 dB.
    EXPECT_NEAR(figures[0].line0, 6.0f, 1e-4);
    EXPECT_NEAR(figures[0].line1, 7.0f, 1e-4);
    // Input 1 without a value in slot 5: line 2 brings no signal there ...
    EXPECT_EQ(figures[1].line1Socket, LevelOff);
    EXPECT_EQ(FormatMarginCell(figures[1].line1Socket), "*");
    EXPECT_EQ(figures[1].line1, 50000.0f);  // never lowered: no outlet reached
    // ... and line 1's figures are those of the mixer that passes both.
    EXPECT_EQ(figures[1].line0, figures[0].line0);
}

}  // namespace
