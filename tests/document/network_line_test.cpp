// A main road of the network drawn on a project's network grid: the head-end
// terminal, a tap whose through output ends in a termination, a cable from
// the tap's user output and an end outlet. The analysis links it and the
// project's drivers compute its windows as worked out by hand below.
#include <gtest/gtest.h>

#include <memory>

#include "cells/cables.h"
#include "cells/head_end.h"
#include "cells/outlets.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/options.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "support/globals_fixture.h"

namespace {

// The terminal of a reset project stands at column 36 of row 0; its one line
// leaves from column 37 into row 1.
constexpr int32_t LineColumn = 37;

constexpr float TapLoss = 10.0f;
constexpr float TapThroughLoss = 2.0f;
constexpr float CableLossPer100 = 20.0f;
constexpr float CableLength = 10.0f;
constexpr float SocketLoss = 1.0f;

void SetColumn(TCella& cell, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(0, column, b, value);
}

class NetworkLineTest : public GlobalsTest {
protected:
    void SetUp() override { project.Reset(true); }

    TGridData& Grid() { return *project.NetworkGrid; }

    // Inserts a cell the test keeps a pointer to.
    template <typename T>
    T* Put(std::unique_ptr<T> owned) {
        T* cell = owned.get();
        EXPECT_TRUE(Grid().InsertCell(std::move(owned), false, 0));
        return cell;
    }

    // A tap with one line and one user output: the input at the top, the
    // user output at the right, the through output at the bottom.
    TDerivatore* PutTap(int32_t column, int32_t row) {
        auto* tap = Put(std::make_unique<TDerivatore>(&Grid(), 0, 0, column, row, 1, 1));
        tap->Described = 1;
        SetColumn(*tap, 0, TapLoss);
        SetColumn(*tap, 1, TapThroughLoss);
        return tap;
    }

    TNCavo* PutCable(int32_t column, int32_t row, int32_t orientation, float length) {
        auto* cable = Put(std::make_unique<TNCavo>(&Grid(), orientation, 0, column, row, 0, 0));
        SetColumn(*cable, 0, CableLossPer100);
        cable->SetLength(length);
        cable->Described = 1;
        return cable;
    }

    TPresaD* PutOutlet(int32_t column, int32_t row, int32_t orientation, int32_t code) {
        auto* outlet = Put(std::make_unique<TPresaD>(&Grid(), orientation, 0, column, row, code, 1));
        SetColumn(*outlet, OutletSocketLoss, SocketLoss);
        SetColumn(*outlet, OutletThroughLoss, 0.5f);
        SetColumn(*outlet, OutletReverseLoss, 20.0f);
        outlet->Described = 1;
        return outlet;
    }

    TChiusura* PutTermination(int32_t column, int32_t row, int32_t orientation = 0) {
        return Put(std::make_unique<TChiusura>(&Grid(), orientation, 0, column, row, 1));
    }

    int32_t PendingKind() {
        const TErroreCircuito* error = GestoreErrori->PendingError();
        return error ? error->Kind : 0;
    }

    TProgetto project{nullptr};
};

TEST_F(NetworkLineTest, MainRoadWindowsWorkedOutByHand) {
    TDerivatore* tap = PutTap(LineColumn, 1);
    TChiusura* termination = PutTermination(LineColumn, 2);
    TNCavo* cable = PutCable(LineColumn + 1, 1, 1, CableLength);
    TPresaD* outlet = PutOutlet(LineColumn + 2, 1, 3, CodeEndOutlet);

    ASSERT_TRUE(project.AnalyseGrids());
    EXPECT_EQ(PendingKind(), 0);
    TCella* terminal = Grid().Anchor;
    ASSERT_NE(terminal, nullptr);
    EXPECT_EQ(terminal->OutputCell[0], tap);
    EXPECT_EQ(tap->OutputCell[0], termination);
    EXPECT_EQ(tap->OutputCell[1], cable);
    EXPECT_EQ(cable->OutputCell[0], outlet);
    EXPECT_TRUE(cable->IsRunHead());
    EXPECT_EQ(Grid().FirstOutlet, outlet);

    project.ComputeOutletLevels();

    // Fresh options: SigMin / SigMax are 60 / 80 in band slot 1, 65 / 80 in
    // slot 5 and 50 / 77 in slot 8.
    // Required levels, from the outlet up:
    //   outlet input   = socket limits + socket loss 1         -> (61, 81) (66, 81) (51, 78)
    //   cable input    = outlet input + 0.01 x 20 x 10 = 2 dB  -> (63, 83) (68, 83) (53, 80)
    //   tap input      = cable input + tap loss 10; the termination on the
    //                    through output asks nothing (-500004)  -> (73, 93) (78, 93) (63, 90)
    //   terminal input = tap input.
    // Signal levels, from the terminal down: each through output carries its
    // admissible window; the tap takes 10, the cable 2, the socket 1, so the
    // socket receives exactly its limits: (60, 80) (65, 80) (50, 77).
    struct Case {
        int32_t band;
        TFinestra outletIn, cableIn, terminalIn, socket;
    };
    // clang-format off
    const Case cases[] = {
        {1, {61, 81}, {63, 83}, {73, 93}, {60, 80}},
        {5, {66, 81}, {68, 83}, {78, 93}, {65, 80}},
        {8, {51, 78}, {53, 80}, {63, 90}, {50, 77}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const size_t b = static_cast<size_t>(c.band);
        EXPECT_NEAR(outlet->InputLevels[0][b].Min, c.outletIn.Min, 1e-4) << c.band;
        EXPECT_NEAR(outlet->InputLevels[0][b].Max, c.outletIn.Max, 1e-4) << c.band;
        EXPECT_NEAR(cable->InputLevels[0][b].Min, c.cableIn.Min, 1e-4) << c.band;
        EXPECT_NEAR(cable->InputLevels[0][b].Max, c.cableIn.Max, 1e-4) << c.band;
        EXPECT_NEAR(terminal->InputLevels[0][b].Min, c.terminalIn.Min, 1e-4) << c.band;
        EXPECT_NEAR(terminal->InputLevels[0][b].Max, c.terminalIn.Max, 1e-4) << c.band;
        EXPECT_NEAR(outlet->OutputLevels[OutletSocket][b].Min, c.socket.Min, 1e-4) << c.band;
        EXPECT_NEAR(outlet->OutputLevels[OutletSocket][b].Max, c.socket.Max, 1e-4) << c.band;
    }
    EXPECT_EQ(termination->InputLevels[0][1].Min, LevelReqUnlimited);

    // Band 0, the return channel: the probe of 50000 reaches the socket at
    // 50000 - 13 = 49987, so the socket's window becomes the limits 60 / 60
    // raised by those 13 dB, and so does the terminal's input.
    EXPECT_NEAR(outlet->OutputLevels[OutletSocket][0].Min, 73.0f, 1e-4);
    EXPECT_NEAR(outlet->OutputLevels[OutletSocket][0].Max, 73.0f, 1e-4);
    EXPECT_NEAR(terminal->InputLevels[0][0].Min, 73.0f, 1e-4);
}

// A line that leaves a tap's through output needs a termination where it
// ends, cables or not: an end outlet there is circuit error 4.
TEST_F(NetworkLineTest, EndOutletOnALineThatNeedsATermination) {
    struct Case {
        int32_t code;
        bool closedBelow;  // a termination below the outlet's through output
        int32_t kind;      // circuit error expected, 0 none
    };
    // clang-format off
    const Case cases[] = {
        {CodeEndOutlet, false, 4},
        {CodeTerminatedOutlet, false, 0},
        {CodePassThroughOutlet, true, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        project.Reset(true);
        GestoreErrori->SetPendingError(nullptr);
        PutTap(LineColumn, 1);
        PutTermination(LineColumn + 1, 1, 3);  // closes the user output
        PutCable(LineColumn, 2, 0, CableLength);
        PutCable(LineColumn, 3, 0, CableLength);
        TPresaD* outlet = PutOutlet(LineColumn, 4, 0, c.code);
        if (c.closedBelow) PutTermination(LineColumn, 5);
        EXPECT_EQ(project.AnalyseGrids(), c.kind == 0) << c.code;
        EXPECT_EQ(PendingKind(), c.kind) << c.code;
        if (c.kind) {
            const TErroreCircuito* error = GestoreErrori->PendingError();
            EXPECT_EQ(error->Column, outlet->Column);
            EXPECT_EQ(error->Row, outlet->Row);
            EXPECT_EQ(error->Grid, &Grid());
        }
    }
}

// An analysis run with reporting off refuses the same line but leaves the
// reporter's pending error as it was: none stays none, and an earlier error
// stays with its kind and square.
TEST_F(NetworkLineTest, AQuietAnalysisOfAnEndOutletLeavesThePendingError) {
    PutTap(LineColumn, 1);
    PutTermination(LineColumn + 1, 1, 3);
    PutCable(LineColumn, 2, 0, CableLength);
    PutOutlet(LineColumn, 3, 0, CodeEndOutlet);

    GestoreErrori->SetPendingError(nullptr);
    EXPECT_FALSE(Grid().Analyse(false));
    EXPECT_EQ(GestoreErrori->PendingError(), nullptr);

    GestoreErrori->SetPendingError(std::make_unique<TErroreCircuito>(5, 6, 2, &Grid(), 7));
    EXPECT_FALSE(Grid().Analyse(false));
    const TErroreCircuito* kept = GestoreErrori->PendingError();
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->Kind, 7);
    EXPECT_EQ(kept->Column, 5);
    EXPECT_EQ(kept->Row, 6);
    EXPECT_EQ(kept->Side, 2);
    EXPECT_EQ(kept->Grid, &Grid());

    // Reporting on, the outlet's own error replaces it.
    EXPECT_FALSE(Grid().Analyse(true));
    EXPECT_EQ(PendingKind(), 4);
    EXPECT_EQ(GestoreErrori->PendingError()->Row, 3);
}

// An outlet on a line that does not need a termination is accepted as it is.
TEST_F(NetworkLineTest, EndOutletOnATapOutputIsAccepted) {
    PutTap(LineColumn, 1);
    PutTermination(LineColumn, 2);
    PutCable(LineColumn + 1, 1, 1, CableLength);
    PutOutlet(LineColumn + 2, 1, 3, CodeEndOutlet);
    EXPECT_TRUE(project.AnalyseGrids());
    EXPECT_EQ(PendingKind(), 0);
}

}  // namespace
