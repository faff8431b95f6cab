#include "core/table_texts.h"

#include <gtest/gtest.h>

#include "core/globals.h"
#include "core/options.h"

namespace {

const char* Name(TColor c) { return c == clBlue ? "blue" : c == clRed ? "red" : "other"; }

TEST(TableTexts, EveryValueKindInEveryTable) {
    const struct {
        float value;
        const char* level;
        const char* margin;
        const char* limit;
        const char* shortLevel;
    } cases[] = {
        {0, "0", "50000", "0", "0"},
        {12.345f, "12,35", "49987,65", "12,35", "12,3"},
        {0.25f, "0,25", "49999,75", "0,25", "0,3"},  // halves away from zero
        {49990.5f, "49990,5", "9,5", "49990,5", "49990,5"},
        {50000, "50000", "0", "50000", "50000"},
        {LevelOff, "*", "*", "*", "???"},
        {LevelError, "Err", "n.g.", "Err", "???"},
        {LevelBlocked, "*", "*", "*", "???"},
        {LevelReqUnlimited, "???", "???", "Illim.", "???"},
        {LevelReqUndefined, "???", "???", "*", "???"},
        {LevelReqEmpty, "???", "???", "*", "???"},
        {LevelNone, "???", "???", "*", "???"},
        {LevelRepeat, "???", "???", "*", "???"},
        {-3, "???", "???", "*", "???"},
        {-0.001f, "???", "???", "*", "???"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatLevelCell(c.value), c.level) << c.value;
        EXPECT_EQ(FormatMarginCell(c.value), c.margin) << c.value;
        EXPECT_EQ(FormatLimitCell(c.value), c.limit) << c.value;
        EXPECT_EQ(FormatLevelCellShort(c.value), c.shortLevel) << c.value;
    }
}

TEST(TableTexts, ColoursAreTheLibraryColours) {
    EXPECT_EQ(clBlue, 0xFF0000u);
    EXPECT_EQ(clRed, 0x0000FFu);
}

class TableColoursTest : public ::testing::Test {
protected:
    // Fresh options: band slot 3 takes signals from 65 to 80 dB, band slot 1
    // needs 42 dB of separation, band slot 0 none.
    TOpzioni options{nullptr, nullptr};
};

TEST_F(TableColoursTest, LevelColourAgainstTheSignalLimits) {
    const struct {
        float level;
        int band;
        TColor expected;
    } cases[] = {
        {65, 3, clBlue},
        {70, 3, clBlue},
        {80, 3, clBlue},
        {64.996f, 3, clBlue},
        {80.004f, 3, clBlue},  // within the 0.005 dB tolerance
        {64.994f, 3, clRed},
        {80.006f, 3, clRed},
        {30, 3, clRed},
        {100, 3, clRed},
        {0, 3, clRed},
        {-3, 3, clRed},
        {55, 2, clBlue},
        {49.996f, 2, clBlue},
        {49.994f, 2, clRed},
        {71, 2, clRed},         // FM: 50 to 70
        {LevelOff, 3, clBlue},  // no signal here is no fault
        {LevelNone, 3, clRed},
        {LevelBlocked, 3, clRed},
        {LevelReqUndefined, 3, clRed},
        {LevelReqUnlimited, 3, clRed},
        {LevelReqEmpty, 3, clRed},
        {LevelError, 3, clRed},
        {LevelRepeat, 3, clRed},
        {70, -1, clRed},
        {70, BandSlots, clRed},  // no such band
    };
    for (const auto& c : cases)
        EXPECT_STREQ(Name(LevelColour(options, c.level, c.band)), Name(c.expected))
            << c.level << " band " << c.band;
}

TEST_F(TableColoursTest, LimitColourOfWindowBounds) {
    const struct {
        float value;
        TColor expected;
    } cases[] = {
        {0, clBlue},       {12.5f, clBlue},        {LevelReqUndefined, clBlue}, {LevelReqUnlimited, clBlue},
        {-0.5f, clRed},    {LevelReqEmpty, clRed}, {LevelNone, clRed},          {LevelBlocked, clRed},
        {LevelOff, clRed}, {LevelError, clRed},    {LevelRepeat, clRed},
    };
    for (const auto& c : cases) EXPECT_STREQ(Name(LimitColour(c.value)), Name(c.expected)) << c.value;
}

TEST_F(TableColoursTest, MinimumColourAgainstTheSeparationLimit) {
    const struct {
        float value;
        int band;
        TColor expected;
    } cases[] = {
        {42, 1, clBlue},
        {50, 1, clBlue},
        {41.999f, 1, clRed},
        {0, 1, clRed},
        {-3, 1, clRed},
        {0, 0, clBlue},
        {29.5f, 6, clRed},
        {30, 6, clBlue},
        {LevelNone, 1, clBlue},
        {LevelBlocked, 1, clBlue},
        {LevelReqEmpty, 1, clBlue},
        {LevelOff, 1, clBlue},
        {LevelError, 1, clBlue},
        {LevelRepeat, 1, clBlue},
        {50, 15, clRed},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(Name(MinimumColour(options, c.value, c.band)), Name(c.expected))
            << c.value << " band " << c.band;
}

TEST_F(TableColoursTest, TheProgramOptionsDecide) {
    TOpzioni* saved = Opzioni;
    Opzioni = &options;
    options.limits[4][LimitSigMin] = 10;
    options.limits[4][LimitSigMax] = 20;
    options.limits[4][LimitAttMin] = 5;
    EXPECT_STREQ(Name(LevelColour(15, 4)), "blue");
    EXPECT_STREQ(Name(LevelColour(25, 4)), "red");
    EXPECT_STREQ(Name(LevelColour(9, 4)), "red");
    EXPECT_STREQ(Name(MinimumColour(5, 4)), "blue");
    EXPECT_STREQ(Name(MinimumColour(4.9f, 4)), "red");
    Opzioni = saved;
}

}  // namespace
