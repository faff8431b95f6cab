// Switches in networks drawn on a project's network grid: the analysis links
// them, and the project's drivers compute levels, attenuations and outlet
// separation as worked out by hand below. Fresh options: an outlet asks its
// limits + 1 dB of socket loss, (66, 81) in band slot 5, and "AttMin" is 36
// dB there.
#include <gtest/gtest.h>

#include "cells/head_end.h"
#include "cells/outlets.h"
#include "cells/switches.h"
#include "cells/terminations.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "support/globals_fixture.h"
#include "support/line_ends.h"

namespace {

constexpr int32_t Band = 5;
// The terminal of a reset project stands at column 36 of row 0; its first
// line leaves from column 37 into row 1.
constexpr int32_t LineColumn = 37;
constexpr int32_t FedFromLeft = 3;
constexpr int32_t FedFromRight = 1;

void ExpectWindow(const TFinestra& expected, const TFinestra& actual, const char* where) {
    EXPECT_NEAR(actual.Min, expected.Min, 1e-4) << where;
    EXPECT_NEAR(actual.Max, expected.Max, 1e-4) << where;
}

class SwitchNetworkTest : public GlobalsTest {
protected:
    void SetUp() override { project.Reset(true); }

    TGridData& Grid() { return *project.NetworkGrid; }

    template <typename T>
    T* Put(std::unique_ptr<T> owned) {
        T* cell = owned.get();
        EXPECT_TRUE(Grid().InsertCell(std::move(owned), false, 0));
        return cell;
    }
    TPresaD* PutOutlet(int32_t column, int32_t row, int32_t orientation) {
        auto* outlet =
            Put(std::make_unique<TPresaD>(&Grid(), orientation, 0, column, row, CodeTerminatedOutlet, 1));
        SetBands(*outlet, 0, OutletSocketLoss, 1.0f);
        outlet->Described = 1;
        return outlet;
    }
    // A switch of code 10 with the data of every row: tap losses as given,
    // through loss 2, reverse loss 25, decoupling as given.
    TSwitch* PutSwitch(int32_t column, int32_t row, std::initializer_list<float> tapLosses,
                       float decoupling) {
        auto* s = Put(std::make_unique<TSwitch>(&Grid(), 0, 0, column, row, CodeSwitch,
                                                static_cast<int32_t>(tapLosses.size()), 2));
        int32_t i = 0;
        for (float loss : tapLosses) {
            SetBands(*s, i, TapLossColumn, loss);
            SetBands(*s, i, TapThroughColumn, 2.0f);
            SetBands(*s, i, TapReverseColumn, 25.0f);
            SetBands(*s, i, TapDecouplingColumn, decoupling);
            ++i;
        }
        s->Described = 1;
        return s;
    }
    int32_t PendingKind() {
        const TErroreCircuito* error = GestoreErrori->PendingError();
        return error ? error->Kind : 0;
    }

    TProgetto project{nullptr};
};

// Two lines from the terminal into S1 (2 x 1 squares right under them); its
// through outputs end in a two-input termination, its user outputs feed an
// outlet on the right (user output 0) and one on the left (user output 1).
class TwoLineSwitch : public SwitchNetworkTest {
protected:
    void Build(float decoupling) {
        auto* terminal = dynamic_cast<TTesta*>(Grid().Anchor);
        ASSERT_NE(terminal, nullptr);
        terminal->SetLineCount(2);
        first = terminal->Column + 1;
        s1 = PutSwitch(first, 1, {10.0f, 12.0f}, decoupling);
        Put(std::make_unique<TChiusura>(&Grid(), 0, 0, first, 2, 2));
        right = PutOutlet(first + 2, 1, FedFromLeft);
        left = PutOutlet(first - 1, 1, FedFromRight);
        ASSERT_TRUE(project.AnalyseGrids()) << PendingKind();
        ASSERT_EQ(s1->InputCell[1], terminal);
        ASSERT_EQ(s1->OutputCell[2], right);
        ASSERT_EQ(s1->OutputCell[3], left);
    }
    int32_t first = 0;
    TSwitch* s1 = nullptr;
    TPresaD* right = nullptr;
    TPresaD* left = nullptr;
};

TEST_F(TwoLineSwitch, LevelsAndAttenuationsOfBothLines) {
    Build(20.0f);
    project.ComputeOutletLevels();
    const size_t b = Band;
    // Each outlet asks (66, 81); line 1 that + 10, line 2 that + 12; the
    // terminated through lines ask nothing.
    ExpectWindow({66, 81}, right->InputLevels[0][b], "right outlet asks");
    ExpectWindow({66, 81}, left->InputLevels[0][b], "left outlet asks");
    ExpectWindow({76, 91}, Grid().Anchor->InputLevels[0][b], "line 1");
    ExpectWindow({78, 93}, Grid().Anchor->InputLevels[1][b], "line 2");
    // Line 1 brings (76, 91) - 10, line 2 (78, 93) - 12: both (66, 81), merged
    // at both user outputs; the socket takes 1 dB.
    ExpectWindow({65, 80}, right->OutputLevels[OutletSocket][b], "right socket");
    ExpectWindow({65, 80}, left->OutputLevels[OutletSocket][b], "left socket");
    // One line fed alone: 10 + 1 from line 1, 12 + 1 from line 2, at both outlets.
    TAttenuazioniPrese a;
    project.ComputeOutletAttenuations(a);
    EXPECT_NEAR(a.LeastAttenuation[0][Band], 11.0f, 1e-4);
    EXPECT_NEAR(a.GreatestAttenuation[0][Band], 11.0f, 1e-4);
    EXPECT_NEAR(a.LeastAttenuation[1][Band], 13.0f, 1e-4);
    EXPECT_NEAR(a.GreatestAttenuation[1][Band], 13.0f, 1e-4);
}

TEST_F(TwoLineSwitch, TooLittleDecouplingFailsTheSeparationCheck) {
    Build(20.0f);
    // From the right socket: 1 dB back to user output 0, 20 across to user
    // output 1, 1 to the left socket: 22 dB. Up the lines 1 + 10 and 1 + 12.
    project.ComputeOutletSeparation(right, Band, 0);
    EXPECT_NEAR(left->SeparationOutlet[Band], 22.0f, 1e-4);
    EXPECT_NEAR(s1->SeparationOutlet[Band], 1.0f, 1e-4);
    TCella* other = nullptr;
    int32_t band = -1;
    EXPECT_FALSE(project.CheckOutletSeparation(right, other, band));
    EXPECT_EQ(other, left);
    EXPECT_EQ(band, Band);
}

TEST_F(TwoLineSwitch, EnoughDecouplingPasses) {
    Build(35.0f);
    project.ComputeOutletSeparation(right, Band, 0);
    EXPECT_NEAR(left->SeparationOutlet[Band], 37.0f, 1e-4);  // 1 + 35 + 1
    // Bounded by "AttMin" (36): 36 at the far user output is not carried on.
    project.ComputeOutletSeparation(right, Band, 1);
    EXPECT_EQ(left->SeparationOutlet[Band], LevelNone);
    TCella* other = nullptr;
    int32_t band = -1;
    EXPECT_TRUE(project.CheckOutletSeparation(right, other, band));
}

// One line through S1 and S2 in cascade: S1's through output feeds S2, whose
// through output ends in a termination; an outlet on every user output.
class CascadedSwitches : public SwitchNetworkTest {
protected:
    void SetUp() override {
        SwitchNetworkTest::SetUp();
        s1 = PutSwitch(LineColumn, 1, {10.0f}, 20.0f);
        s2 = PutSwitch(LineColumn, 2, {10.0f}, 20.0f);
        Put(std::make_unique<TChiusura>(&Grid(), 0, 0, LineColumn, 3, 1));
        s1Right = PutOutlet(LineColumn + 1, 1, FedFromLeft);
        s1Left = PutOutlet(LineColumn - 1, 1, FedFromRight);
        s2Right = PutOutlet(LineColumn + 1, 2, FedFromLeft);
        PutOutlet(LineColumn - 1, 2, FedFromRight);
        ASSERT_TRUE(project.AnalyseGrids()) << PendingKind();
        ASSERT_EQ(s1->OutputCell[0], s2);
    }
    TSwitch* s1 = nullptr;
    TSwitch* s2 = nullptr;
    TPresaD* s1Right = nullptr;
    TPresaD* s1Left = nullptr;
    TPresaD* s2Right = nullptr;
};

TEST_F(CascadedSwitches, TheFirstSwitchAsksWhatBothItsUsersAndTheNextSwitchNeed) {
    project.ComputeOutletLevels();
    const size_t b = Band;
    ExpectWindow({76, 91}, s2->InputLevels[0][b], "S2 input");
    // (76, 91) from its own user outputs, (76, 91) + 2 through to S2: (78, 91).
    ExpectWindow({78, 91}, s1->InputLevels[0][b], "S1 input");
}

TEST_F(CascadedSwitches, SeparationGoesUpOneSwitchAndBackDownTheOther) {
    // From S2's outlet: 1 up to S2, 10 up its tap loss to S1's through output,
    // 25 back down S1's reverse loss, 1 into S1's outlet.
    project.ComputeOutletSeparation(s2Right, Band, 0);
    EXPECT_NEAR(s1Right->SeparationOutlet[Band], 37.0f, 1e-4);
    EXPECT_NEAR(s1->ThroughSeparation[0][Band], 11.0f, 1e-4);
    // And the other way round.
    project.ComputeOutletSeparation(s1Right, Band, 0);
    EXPECT_NEAR(s2Right->SeparationOutlet[Band], 37.0f, 1e-4);
    // With the limit of 36 the search stops short and the pairs with S1's
    // outlets pass (S2's own pair, 22 dB apart, does not).
    project.ComputeOutletSeparation(s2Right, Band, 1);
    EXPECT_EQ(s1Right->SeparationOutlet[Band], LevelNone);
    EXPECT_EQ(s1Left->SeparationOutlet[Band], LevelNone);
}

}  // namespace
