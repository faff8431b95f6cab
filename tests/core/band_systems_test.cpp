#include "core/band_systems.h"

#include <gtest/gtest.h>

#include <array>

namespace {

class BandSystemsTest : public ::testing::Test {
protected:
    TSistemiBande systems;
    const TSistemaBande& old = *systems.FindById('2');
    const TSistemaBande& current = *systems.FindById('3');
};

struct BandCase {
    char system;
    double frequency;
    int32_t band;
};

TEST_F(BandSystemsTest, BandOfFindsTheBandThatHoldsTheFrequency) {
    // clang-format off
    const BandCase cases[] = {
        // The current system: bands in frequency order, gaps go to the band above.
        {'3', 0, 0},       {'3', 5, 0},      {'3', 20, 0},     {'3', 35, 0},     {'3', 40, 1},
        {'3', 47, 1},      {'3', 50, 1},     {'3', 68, 1},     {'3', 70, 2},     {'3', 87.5, 2},
        {'3', 108, 2},     {'3', 109, 3},    {'3', 110, 3},    {'3', 300, 3},    {'3', 300.5, 4},
        {'3', 606, 4},     {'3', 700, 5},    {'3', 862, 5},    {'3', 900, 6},    {'3', 1000, 6},
        {'3', 1150, 6},    {'3', 1151, 7},   {'3', 1550, 7},   {'3', 1950, 8},   {'3', 2000, 9},
        {'3', 2275, 9},    {'3', 2300, 10},  {'3', 2400, 10},  {'3', 3000, 10},
        // The older system lists FM before band I: a band I frequency stays in band I.
        {'2', 50, 1},      {'2', 47, 1},     {'2', 68, 1},     {'2', 98, 0},     {'2', 87.5, 0},
        {'2', 108, 0},     {'2', 10, 0},     {'2', 40, 0},     {'2', 70, 0},     {'2', 150, 2},
        {'2', 174, 2},     {'2', 200, 2},    {'2', 300, 2},    {'2', 470, 3},    {'2', 862, 4},
        {'2', 950, 5},     {'2', 2400, 9},   {'2', 5000, 9},
    };
    // clang-format on
    for (const BandCase& c : cases) {
        const TSistemaBande* s = systems.FindById(c.system);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->BandOf(c.frequency), c.band) << "system " << c.system << ", " << c.frequency << " MHz";
    }
}

TEST_F(BandSystemsTest, BuiltInSystemsHoldTheirBands) {
    struct Row {
        const char* name;
        float lowest, highest, reference;
    };
    const Row oldRows[] = {{"FM", 87.5f, 108, 98},       {"b. I", 47, 68, 50},
                           {"b. III", 174, 300, 200},    {"b. IV", 300, 606, 470},
                           {"b. V", 606, 862, 862},      {"sat. 1", 950, 1150, 950},
                           {"sat. 2", 1150, 1550, 1350}, {"sat. 3", 1550, 1950, 1750},
                           {"sat. 4", 1950, 2275, 2150}, {"sat. 5", 2275, 2400, 2400}};
    const Row currentRows[] = {
        {"C. Rit", 5, 35, 10},        {"b. I", 47, 68, 50},         {"FM", 87.5f, 108, 98},
        {"b. III", 110, 300, 200},    {"b. IV", 300, 606, 470},     {"b. V", 606, 862, 862},
        {"sat. 1", 950, 1150, 950},   {"sat. 2", 1150, 1550, 1350}, {"sat. 3", 1550, 1950, 1750},
        {"sat. 4", 1950, 2275, 2150}, {"sat. 5", 2275, 2400, 2400}};
    auto check = [](const TSistemaBande& s, const char* name, const Row* rows, int count) {
        EXPECT_EQ(s.name, name);
        ASSERT_EQ(s.bandCount, count);
        ASSERT_EQ(static_cast<int>(s.bands.size()), count);
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(s.bands[i].bandName, rows[i].name) << name << " slot " << i;
            EXPECT_EQ(s.bands[i].lowest, rows[i].lowest) << name << " slot " << i;
            EXPECT_EQ(s.bands[i].highest, rows[i].highest) << name << " slot " << i;
            EXPECT_EQ(s.bands[i].reference, rows[i].reference) << name << " slot " << i;
        }
    };
    check(old, "FM-I/V-5", oldRows, 10);
    check(current, "CR-FM-I/V-5", currentRows, 11);
    // The list holds '2' first, then '3', and ends there.
    EXPECT_EQ(systems.head, &old);
    EXPECT_EQ(old.next, &current);
    EXPECT_EQ(current.next, nullptr);
}

TEST_F(BandSystemsTest, LookupByIdAndByName) {
    const struct {
        char id;
        const char* name;
        const TSistemaBande* expected;
    } cases[] = {
        {'2', "FM-I/V-5", &old},
        {'3', "CR-FM-I/V-5", &current},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(systems.FindById(c.id), c.expected) << c.id;
        EXPECT_EQ(systems.Find(c.name), c.expected) << c.name;
    }
    // One object answers to id '3' and to its name.
    EXPECT_EQ(systems.FindById('3'), systems.Find("CR-FM-I/V-5"));
    for (char id : {'4', '1', '\0', 'P'}) EXPECT_EQ(systems.FindById(id), nullptr) << int(id);
    // Names compare exactly.
    for (const char* name : {"", "cr-fm-i/v-5", "CR-FM-I/V-5 ", "FM-I/V", "CR-FM-I/V-5x"})
        EXPECT_EQ(systems.Find(name), nullptr) << '"' << name << '"';
}

std::array<float, BandSlots> Numbered() {
    std::array<float, BandSlots> v;
    for (int i = 0; i < BandSlots; ++i) v[i] = 100.0f + i;
    return v;
}

TEST_F(BandSystemsTest, LevelsByBandFromTheOlderSystem) {
    auto v = Numbered();
    old.LevelsByBand(current, v.data());
    // Target slot: C. Rit, b. I, FM, b. III, b. IV, b. V, sat. 1 to 5; then no value.
    const float expected[BandSlots] = {100, 101, 100, 102,       103,       104,       105,      106,
                                       107, 108, 109, LevelNone, LevelNone, LevelNone, LevelNone};
    for (int i = 0; i < BandSlots; ++i) EXPECT_EQ(v[i], expected[i]) << "slot " << i;
}

TEST_F(BandSystemsTest, LevelsByBandToTheOlderSystem) {
    auto v = Numbered();
    current.LevelsByBand(old, v.data());
    // FM from slot 2, band I from slot 1, then b. III to sat. 5 from slots 3 to 10.
    const float expected[BandSlots] = {102, 101, 103,       104,       105,       106,       107,      108,
                                       109, 110, LevelNone, LevelNone, LevelNone, LevelNone, LevelNone};
    for (int i = 0; i < BandSlots; ++i) EXPECT_EQ(v[i], expected[i]) << "slot " << i;
}

TEST_F(BandSystemsTest, LevelsByBandWithinOneSystemKeepsTheBandsAndClearsTheRest) {
    for (const TSistemaBande* s : {&old, &current}) {
        auto v = Numbered();
        v[1] = LevelBlocked;  // sentinels travel unchanged
        s->LevelsByBand(*s, v.data());
        for (int i = 0; i < BandSlots; ++i) {
            const float expected = i >= s->bandCount ? LevelNone : i == 1 ? LevelBlocked : 100.0f + i;
            EXPECT_EQ(v[i], expected) << s->name << " slot " << i;
        }
    }
}

TEST_F(BandSystemsTest, LevelsByBandRoundTripKeepsTheSharedBands) {
    // Old data of band I survive a conversion to the current system and back.
    auto v = Numbered();
    old.LevelsByBand(current, v.data());
    current.LevelsByBand(old, v.data());
    for (int i = 0; i < old.bandCount; ++i) EXPECT_EQ(v[i], 100.0f + i) << "slot " << i;
}

}  // namespace
