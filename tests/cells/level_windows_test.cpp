// The window and gain arithmetic of the level passes.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "cells/cell.h"
#include "core/band_systems.h"
#include "support/globals_fixture.h"
#include "support/pass_cells.h"

namespace {
constexpr float None = LevelNone;
constexpr float Blocked = LevelBlocked;
constexpr float Undefined = LevelReqUndefined;
constexpr float Unlimited = LevelReqUnlimited;
constexpr float Empty = LevelReqEmpty;
constexpr float Off = LevelOff;
constexpr float Error = LevelError;
constexpr float Repeat = LevelRepeat;

// Sentinels compare exactly, levels within 1e-4.
void ExpectLevel(float expected, float actual) {
    if (!IsRealLevel(expected))
        EXPECT_EQ(expected, actual);
    else
        EXPECT_NEAR(expected, actual, 1e-4);
}

void ExpectWindow(const TFinestra& expected, const TFinestra& actual) {
    ExpectLevel(expected.Min, actual.Min);
    ExpectLevel(expected.Max, actual.Max);
}

TFinestra W(float v) { return TFinestra{v, v}; }

struct BinaryCase {
    TFinestra w;
    float value;
    TFinestra expected;
};

struct WindowPairCase {
    TFinestra w;
    TFinestra other;
    TFinestra expected;
};
}  // namespace

TEST(LevelSum, SentinelOperandsPropagate) {
    struct Case {
        float a, b, expected;
    } cases[] = {
        {3.0f, 4.5f, 7.5f},
        {None, 3.0f, None},
        {3.0f, Blocked, Blocked},
        {Off, Blocked, Off},  // the first sentinel operand
        {50000.0f, -0.01f, 49999.99f},
        {0.1f, 0.2f, 0.3f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " + " << c.b);
        ExpectLevel(c.expected, TCella::LevelSum(c.a, c.b));
    }
    ExpectLevel(-1.5f, TCella::LevelDifference(3.0f, 4.5f));
    EXPECT_EQ(None, TCella::LevelDifference(30.0f, None));  // never 30 + 500001
    EXPECT_EQ(Blocked, TCella::LevelDifference(Blocked, None));
    // Summed in double, stored once: 0.01 x 20 x 10 style sums land on the value.
    EXPECT_EQ(2.0f, TCella::LevelSum(1.2f, 0.8f));
}

TEST(ClipWindow, LowersTheMaximumAndEmptiesAnInvertedWindow) {
    // clang-format off
    const BinaryCase cases[] = {
        {{60, 80}, 70, {60, 70}},
        {{60, 80}, 90, {60, 80}},        // a higher limit does not raise
        {{60, 80}, 50, W(Empty)},        // below the minimum: empty
        {{60, 80}, 60, {60, 60}},        // equal ends stay a window
        {{60, 80}, None, {60, 80}},      // no limit
        {{80, 60}, None, W(Empty)},      // already inverted
    };
    // clang-format on
    for (const BinaryCase& c : cases) {
        TFinestra w = c.w;
        TCella::ClipWindow(w, c.value);
        ExpectWindow(c.expected, w);
    }
}

TEST(AddAttenuation, RaisesRealWindowsAndMarksMissingAttenuations) {
    // clang-format off
    const BinaryCase cases[] = {
        {{60, 80}, 3, {63, 83}},
        {{-2, 5}, 1, {0, 6}},            // sums below 0 are raised to 0
        {{60, 80}, -65, {0, 15}},
        {{60, 80}, Blocked, W(Unlimited)},
        {{60, 80}, None, W(Undefined)},
        {{60, 80}, Error, W(Undefined)},
        {W(Empty), 3, W(Empty)},         // a sentinel window is left alone
        {W(Empty), Blocked, W(Unlimited)},
        {W(None), 3, W(None)},
    };
    // clang-format on
    for (const BinaryCase& c : cases) {
        TFinestra w = c.w;
        TCella::AddAttenuation(w, c.value);
        ExpectWindow(c.expected, w);
    }
}

TEST(IntersectWindows, TableOfCases) {
    // clang-format off
    const WindowPairCase cases[] = {
        {{60, 80}, {70, 90}, {70, 80}},
        {{60, 62}, {70, 75}, W(Empty)},
        {{60, 70}, {70, 75}, {70, 70}},          // touching windows keep their point
        {W(None), {70, 75}, {70, 75}},            // no requirement yet: take the other
        {W(Unlimited), {70, 75}, {70, 75}},
        {W(Empty), W(Undefined), W(Undefined)},
        {W(Empty), {70, 75}, W(Empty)},
        {W(Undefined), {70, 75}, W(Undefined)},
        {{60, 80}, W(Unlimited), {60, 80}},       // no limit from the other side
        {{60, 80}, W(Undefined), W(Undefined)},
        {{60, 80}, W(Empty), W(Empty)},
        {{60, 80}, W(None), W(None)},
    };
    // clang-format on
    for (const WindowPairCase& c : cases) {
        TFinestra w = c.w;
        TCella::IntersectWindows(w, c.other);
        ExpectWindow(c.expected, w);
    }
}

TEST(CombineForward, RaisesTheDownstreamWindowOrLowersItThroughAGain) {
    TFinestra w = W(None);
    TCella::CombineForward(w, {60, 80}, 3, false);
    ExpectWindow({63, 83}, w);
    TCella::CombineForward(w, {70, 90}, 3, false);
    ExpectWindow({73, 83}, w);

    // Through a gain the input needs less: the attenuation is subtracted.
    TFinestra g = W(None);
    TCella::CombineForward(g, {60, 80}, 20, true);
    ExpectWindow({40, 60}, g);
    // A gain flag with a sentinel attenuation still marks the window.
    TFinestra s = W(None);
    TCella::CombineForward(s, {60, 80}, Blocked, true);
    ExpectWindow(W(Unlimited), s);
}

TEST(SubtractAttenuation, LowersSignalsAndSwitchesBlockedBandsOff) {
    // clang-format off
    const BinaryCase cases[] = {
        {{50000, 50000}, 3, {49997, 49997}},
        {{2, 5}, 10, {-8, -5}},                  // no clamping on the way down
        {{60, 80}, Blocked, W(Off)},
        {{60, 80}, None, W(Error)},
        {W(Off), 3, W(Off)},
        {W(Off), None, W(Off)},
        {W(None), 3, W(Error)},
        {W(Error), 3, W(Error)},
    };
    // clang-format on
    for (const BinaryCase& c : cases) {
        TFinestra w = c.w;
        TCella::SubtractAttenuation(w, c.value);
        ExpectWindow(c.expected, w);
    }
}

TEST(MergeWindow, TableOfCases) {
    // clang-format off
    const WindowPairCase cases[] = {
        {W(None), {60, 70}, {60, 70}},
        {W(Off), {60, 70}, {60, 70}},
        {{60, 70}, W(Off), {60, 70}},
        {{60, 70}, {65, 80}, {60, 80}},
        {{60, 70}, W(Error), W(Error)},
        {W(Error), {60, 70}, W(Error)},
    };
    // clang-format on
    for (const WindowPairCase& c : cases) {
        TFinestra w = c.w;
        TCella::MergeWindow(w, c.other);
        ExpectWindow(c.expected, w);
    }
}

TEST(CombineBackward, LowersTheUpstreamWindowOrRaisesItThroughAGain) {
    TFinestra w = W(None);
    TCella::CombineBackward(w, {50000, 50000}, 7.5f, false);
    ExpectWindow({49992.5f, 49992.5f}, w);
    TFinestra g = W(None);
    TCella::CombineBackward(g, {70, 80}, 20, true);
    ExpectWindow({90, 100}, g);
}

class GainArithmetic : public GlobalsTest {
protected:
    GainArithmetic() : cell(nullptr, 0, 0) {
        stages.SetSizes(0, 2, 7, BandSlots);
        stages.Allocate();
    }
    void SetStage(int32_t row, int32_t column, std::vector<float> values) {
        for (int32_t b = 0; b < BandSlots; ++b)
            stages.Set3(row, column, b, b < static_cast<int32_t>(values.size()) ? values[b] : Repeat);
    }
    TPassanteProva cell;
    TInfo stages{3};
};

TEST_F(GainArithmetic, InterpolationOverGivenSlotsOnly) {
    // Given slots 2 and 6 only: the slots between are interpolated over the
    // reference frequencies, the slots outside have no value.
    float v[BandSlots];
    for (float& x : v) x = Repeat;
    v[2] = 10.0f;
    v[6] = 20.0f;
    const auto& bands = cell.BandSystem->bands;
    for (int32_t b = 0; b < BandSlots; ++b) {
        SCOPED_TRACE(b);
        const float got = cell.InterpolateBandValue(v, b);
        if (b < 2 || b > 6) {
            EXPECT_EQ(None, got);
        } else {
            const double f = bands[b].reference, f2 = bands[2].reference, f6 = bands[6].reference;
            EXPECT_NEAR(10.0 + 10.0 / (f6 - f2) * (f - f2), got, 1e-4);
        }
    }
    // A sentinel at either end is handed on.
    v[6] = Blocked;
    EXPECT_EQ(Blocked, cell.InterpolateBandValue(v, 4));
    v[6] = 20.0f;
    v[2] = Off;
    EXPECT_EQ(Off, cell.InterpolateBandValue(v, 4));
    EXPECT_EQ(None, cell.InterpolateBandValue(v, 15));
}

TEST_F(GainArithmetic, GainAtBandSubtractsRegulationAndTilt) {
    // gain 30, gain regulation 5, tilt 2: an attenuation of -23.
    SetStage(0, 4, {30, 30, 30, 30});
    SetStage(0, 2, {5, 5, 5, 5});
    SetStage(0, 0, {2, 2, 2, 2});
    ExpectLevel(-23.0f, cell.GainAtBand(stages.Block3(0), 1));
    // A regulation without value is skipped; a blocked one blocks.
    stages.Set3(0, 2, 1, None);
    ExpectLevel(-28.0f, cell.GainAtBand(stages.Block3(0), 1));
    stages.Set3(0, 2, 1, Blocked);
    EXPECT_EQ(Blocked, cell.GainAtBand(stages.Block3(0), 1));
    stages.Set3(0, 2, 1, Error);
    EXPECT_EQ(None, cell.GainAtBand(stages.Block3(0), 1));
    // The gain itself: blocked stays blocked, any other sentinel is no value.
    stages.Set3(0, 4, 2, Blocked);
    EXPECT_EQ(Blocked, cell.GainAtBand(stages.Block3(0), 2));
    stages.Set3(0, 4, 2, None);
    EXPECT_EQ(None, cell.GainAtBand(stages.Block3(0), 2));
    // No stage record: no gain.
    EXPECT_EQ(0.0f, cell.GainAtBand(nullptr, 1));
}

TEST_F(GainArithmetic, AddGainsOverTwoLists) {
    SetStage(0, 4, {10, 10, 10, 10});    // row 0: 10 dB
    SetStage(1, 4, {5, 5, Blocked, 5});  // row 1: 5 dB, band 2 blocked
    ExpectLevel(100.0f - 10.0f - 5.0f, cell.AddGains(100.0f, &stages, &stages, 0, 1, 1));
    ExpectLevel(90.0f, cell.AddGains(100.0f, &stages, nullptr, 0, 1, 1));
    ExpectLevel(100.0f, cell.AddGains(100.0f, nullptr, nullptr, 0, 1, 1));
    EXPECT_EQ(Blocked, cell.AddGains(100.0f, &stages, &stages, 0, 1, 2));
    EXPECT_EQ(Blocked, cell.AddGains(Blocked, &stages, &stages, 0, 1, 1));
    EXPECT_EQ(None, cell.AddGains(Off, &stages, &stages, 0, 1, 1));
}

TEST_F(GainArithmetic, ApplyStageClipsToTheMaximumOutputThenAddsTheGain) {
    SetStage(0, 4, {20, 20, 20});
    SetStage(0, 6, {100, 100, 100});
    TFinestra w{90, 110};
    cell.ApplyStage(w, stages.Block3(0), 1);
    ExpectWindow({70, 80}, w);
    TFinestra untouched{90, 110};
    cell.ApplyStage(untouched, nullptr, 1);
    ExpectWindow({90, 110}, untouched);
}
