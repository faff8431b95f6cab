// Splitters and taps in networks drawn on a project's network grid: the
// analysis links them and the project's drivers compute levels and outlet
// separation as worked out by hand below; a line that leaves a splitter must
// end in a termination. (The main road with a one-output tap is in the
// network-line tests.)
#include <gtest/gtest.h>

#include "cells/head_end.h"
#include "cells/outlets.h"
#include "cells/splitters.h"
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

// Outlets face the cell that feeds them: turned 3 their input is on the left,
// turned 1 on the right.
constexpr int32_t FedFromLeft = 3;
constexpr int32_t FedFromRight = 1;

void SetColumn(TCella& cell, int32_t row, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(row, column, b, value);
}

void ExpectWindow(const TFinestra& expected, const TFinestra& actual, int32_t band) {
    EXPECT_NEAR(actual.Min, expected.Min, 1e-4) << "band " << band;
    EXPECT_NEAR(actual.Max, expected.Max, 1e-4) << "band " << band;
}

class TapNetworkTest : public GlobalsTest {
protected:
    void SetUp() override { project.Reset(true); }

    TGridData& Grid() { return *project.NetworkGrid; }

    template <typename T>
    T* Put(std::unique_ptr<T> owned) {
        T* cell = owned.get();
        EXPECT_TRUE(Grid().InsertCell(std::move(owned), false, 0));
        return cell;
    }

    TPresaD* PutOutlet(int32_t column, int32_t row, int32_t orientation, int32_t code,
                       float socketLoss = 1.0f) {
        auto* outlet = Put(std::make_unique<TPresaD>(&Grid(), orientation, 0, column, row, code, 1));
        SetColumn(*outlet, 0, OutletSocketLoss, socketLoss);
        outlet->Described = 1;
        return outlet;
    }

    int32_t PendingKind() {
        const TErroreCircuito* error = GestoreErrori->PendingError();
        return error ? error->Kind : 0;
    }

    TProgetto project{nullptr};
};

// A splitter of two outputs, 4 dB each, 22 dB between them, feeding two end
// outlets with a built-in termination (socket loss 1 dB) on its right and left.
class SplitterNetworkTest : public TapNetworkTest {
protected:
    void Build(float decoupling) {
        splitter = Put(std::make_unique<TDivisore>(&Grid(), 0, 0, LineColumn, 1, 1, 2));
        SetColumn(*splitter, 0, TapLossColumn, 4.0f);
        SetColumn(*splitter, 0, TapDecouplingColumn, decoupling);
        splitter->Described = 1;
        right = PutOutlet(LineColumn + 1, 1, FedFromLeft, CodeTerminatedOutlet);
        left = PutOutlet(LineColumn - 1, 1, FedFromRight, CodeTerminatedOutlet);
        ASSERT_TRUE(project.AnalyseGrids());
        ASSERT_EQ(PendingKind(), 0);
    }
    // The unbounded search from an outlet, band by band.
    void SearchFrom(TCella* outlet) {
        for (int32_t band = 0; band < TCella::CalculationBandCount(); ++band)
            project.ComputeOutletSeparation(outlet, band, 0);
    }
    TDivisore* splitter = nullptr;
    TPresaD* right = nullptr;
    TPresaD* left = nullptr;
};

TEST_F(SplitterNetworkTest, LevelsAtBothOutlets) {
    Build(22.0f);
    EXPECT_EQ(splitter->OutputCell[0], right);
    EXPECT_EQ(splitter->OutputCell[1], left);
    project.ComputeOutletLevels();
    // Each outlet asks its limits + 1; the splitter the intersection of both
    // + 4, which the terminal feeds; each socket then gets its limits.
    struct Case {
        int32_t band;
        TFinestra outletIn, splitterIn, socket;
    };
    // clang-format off
    const Case cases[] = {
        {1, {61, 81}, {65, 85}, {60, 80}},
        {5, {66, 81}, {70, 85}, {65, 80}},
        {8, {51, 78}, {55, 82}, {50, 77}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const size_t b = static_cast<size_t>(c.band);
        for (TPresaD* outlet : {right, left}) {
            ExpectWindow(c.outletIn, outlet->InputLevels[0][b], c.band);
            ExpectWindow(c.socket, outlet->OutputLevels[OutletSocket][b], c.band);
        }
        ExpectWindow(c.splitterIn, splitter->InputLevels[0][b], c.band);
        ExpectWindow(c.splitterIn, Grid().Anchor->InputLevels[0][b], c.band);
        ExpectWindow({c.splitterIn.Min - 4, c.splitterIn.Max - 4}, splitter->OutputLevels[1][b], c.band);
    }
}

TEST_F(SplitterNetworkTest, SeparationBetweenTheTwoOutlets) {
    Build(22.0f);
    // From the right outlet's socket: 1 dB back through its socket to the
    // splitter's output, 22 dB across to the other output, 1 dB to the left
    // socket: 24 dB. Up the line: 1 + 4 = 5 dB at the terminal.
    SearchFrom(left);
    for (int32_t band : {1, 5, 8}) EXPECT_NEAR(right->SeparationOutlet[band], 24.0f, 1e-4) << band;
    SearchFrom(right);
    for (int32_t band : {1, 5, 8}) {
        EXPECT_NEAR(left->SeparationOutlet[band], 24.0f, 1e-4) << band;
        EXPECT_NEAR(splitter->SeparationOutlet[band], 1.0f, 1e-4) << band;
        EXPECT_NEAR(Grid().Anchor->SeparationBest[band], 5.0f, 1e-4) << band;
    }
    // 24 dB is below the "AttMin" of band 1 (42): the check names the other
    // outlet and that band.
    TCella* other = nullptr;
    int32_t band = -1;
    EXPECT_FALSE(project.CheckOutletSeparation(right, other, band));
    EXPECT_EQ(other, left);
    EXPECT_EQ(band, 1);
    // Bounded by "AttMin" (36 in band 5), the search still reaches 24 dB.
    project.ComputeOutletSeparation(right, 5, 1);
    EXPECT_NEAR(left->SeparationOutlet[5], 24.0f, 1e-4);
}

TEST_F(SplitterNetworkTest, EnoughDecouplingPassesTheCheck) {
    Build(45.0f);  // 1 + 45 + 1 = 47 dB, above every "AttMin"
    SearchFrom(right);
    EXPECT_NEAR(left->SeparationOutlet[1], 47.0f, 1e-4);
    TCella* other = nullptr;
    int32_t band = -1;
    EXPECT_TRUE(project.CheckOutletSeparation(right, other, band));
    // Bounded by "AttMin" (42 in band 1), 46 dB at the far output is not carried on.
    project.ComputeOutletSeparation(right, 1, 1);
    EXPECT_EQ(left->SeparationOutlet[1], LevelNone);
}

// Every line leaving a splitter needs a termination where it ends: an end
// outlet directly on a splitter output is circuit error 4; the same outlet
// with a built-in termination, or on a plain tap's user output, is accepted.
TEST_F(TapNetworkTest, EndOutletDirectlyOnAnOutputThatNeedsATermination) {
    struct Case {
        const char* what;
        int32_t cellCode;
        int32_t outletCode;
        int32_t kind;
    };
    // clang-format off
    const Case cases[] = {
        {"end outlet on a splitter", CodeDivisore, CodeEndOutlet, 4},
        {"terminated outlet on a splitter", CodeDivisore, CodeTerminatedOutlet, 0},
        {"end outlet on a tap's user output", CodeDerivatore, CodeEndOutlet, 0},
        {"end outlet on a terminating tap's user output", CodeDerivatoreS, CodeEndOutlet, 4},
    };
    // clang-format on
    for (const Case& c : cases) {
        project.Reset(true);
        GestoreErrori->SetPendingError(nullptr);
        TDerivatore* cell = nullptr;
        if (c.cellCode == CodeDivisore)
            cell =
                Put(std::make_unique<TDivisore>(&Grid(), 0, 0, LineColumn, 1, 1, 1));  // its one output below
        else if (c.cellCode == CodeDerivatoreS)
            cell = Put(std::make_unique<TDerivatoreS>(&Grid(), 0, 0, LineColumn, 1, 1, 1));
        else
            cell = Put(std::make_unique<TDerivatore>(&Grid(), 0, 0, LineColumn, 1, 1, 1));
        TPresaD* outlet = nullptr;
        if (c.cellCode == CodeDivisore) {
            outlet = PutOutlet(LineColumn, 2, 0, c.outletCode);
        } else {
            Put(std::make_unique<TChiusura>(&Grid(), 0, 0, LineColumn, 2, 1));  // closes the through line
            outlet = PutOutlet(LineColumn + 1, 1, FedFromLeft, c.outletCode);
        }
        EXPECT_EQ(project.AnalyseGrids(), c.kind == 0) << c.what;
        EXPECT_EQ(PendingKind(), c.kind) << c.what;
        if (c.kind) {
            const TErroreCircuito* error = GestoreErrori->PendingError();
            EXPECT_EQ(error->Column, outlet->Column) << c.what;
            EXPECT_EQ(error->Row, outlet->Row) << c.what;
        } else {
            EXPECT_EQ(cell->OutputCell[cell->NumOutputs - 1], outlet) << c.what;
        }
    }
}

// A two-line tap between the terminal's two lines: each line reaches its
// own outlets and the through outputs end in terminations.
TEST_F(TapNetworkTest, ATwoLineTapAnalysesAndCarriesEachLine) {
    auto* terminal = dynamic_cast<TTesta*>(Grid().Anchor);
    ASSERT_NE(terminal, nullptr);
    terminal->SetLineCount(2);
    const int32_t first = terminal->Column + 1;
    // 2 lines x 4 user outputs: 2 x 5 squares from row 1; line 0's outputs in
    // rows 1 and 4, line 1's in rows 2 and 5; through outputs below row 5.
    auto* tap = Put(std::make_unique<TDerivatore>(&Grid(), 0, 0, first, 1, 2, 4));
    SetColumn(*tap, 0, TapLossColumn, 10.0f);
    SetColumn(*tap, 1, TapLossColumn, 16.0f);
    SetColumn(*tap, 0, TapThroughColumn, 2.0f);
    SetColumn(*tap, 1, TapThroughColumn, 2.0f);
    tap->Described = 1;
    Put(std::make_unique<TChiusura>(&Grid(), 0, 0, first, 6, 2));  // both through lines
    TPresaD* line0 = PutOutlet(first + 2, 1, FedFromLeft, CodeEndOutlet);
    PutOutlet(first - 1, 1, FedFromRight, CodeEndOutlet);
    TPresaD* line1 = PutOutlet(first + 2, 2, FedFromLeft, CodeEndOutlet);
    PutOutlet(first - 1, 2, FedFromRight, CodeEndOutlet);
    for (int32_t row : {4, 5}) {
        PutOutlet(first + 2, row, FedFromLeft, CodeEndOutlet);
        PutOutlet(first - 1, row, FedFromRight, CodeEndOutlet);
    }
    ASSERT_TRUE(project.AnalyseGrids()) << PendingKind();
    EXPECT_EQ(tap->InputCell[1], terminal);
    EXPECT_EQ(tap->OutputCell[tap->TapOutputPort(1, 0)], line1);
    project.ComputeOutletLevels();
    // Band 5: line 0 asks (66, 81) + 10, line 1 (66, 81) + 16.
    ExpectWindow({76, 91}, terminal->InputLevels[0][5], 5);
    ExpectWindow({82, 97}, terminal->InputLevels[1][5], 5);
    ExpectWindow({65, 80}, line0->OutputLevels[OutletSocket][5], 5);
    ExpectWindow({65, 80}, line1->OutputLevels[OutletSocket][5], 5);
}

}  // namespace
