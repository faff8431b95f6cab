#include "core/channels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "core/channel_plans.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/options.h"
#include "support/globals_fixture.h"

namespace {

double Db(double db) { return std::pow(10.0, 0.1 * db); }

// Figures are stored as floats: close means within a few float steps.
void ExpectClose(double actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, 2e-6 * std::max(1.0, std::fabs(expected))) << what;
}

struct Figures {
    double levelMin, levelMax, gainMin, gainMax, noiseMin, noiseMax, floorMin, floorMax;
};

TCanale Channel(const Figures& f) {
    TCanale c;
    c.levelMin = static_cast<float>(f.levelMin);
    c.levelMax = static_cast<float>(f.levelMax);
    c.gainMin = static_cast<float>(f.gainMin);
    c.gainMax = static_cast<float>(f.gainMax);
    c.noiseMin = static_cast<float>(f.noiseMin);
    c.noiseMax = static_cast<float>(f.noiseMax);
    c.floorMin = static_cast<float>(f.floorMin);
    c.floorMax = static_cast<float>(f.floorMax);
    c.sourceCNMin = 40;
    c.sourceCNMax = 41;
    return c;
}

void ExpectFigures(const TCanale& c, const Figures& f) {
    ExpectClose(c.levelMin, f.levelMin, "levelMin");
    ExpectClose(c.levelMax, f.levelMax, "levelMax");
    ExpectClose(c.gainMin, f.gainMin, "gainMin");
    ExpectClose(c.gainMax, f.gainMax, "gainMax");
    ExpectClose(c.noiseMin, f.noiseMin, "noiseMin");
    ExpectClose(c.noiseMax, f.noiseMax, "noiseMax");
    ExpectClose(c.floorMin, f.floorMin, "floorMin");
    ExpectClose(c.floorMax, f.floorMax, "floorMax");
    EXPECT_EQ(c.sourceCNMin, 40.0f);
    EXPECT_EQ(c.sourceCNMax, 41.0f);
}

TEST(Channel, ANewChannelIsAnEmptyAnalogHorizontalChannelWithoutPlan) {
    TCanale c;
    EXPECT_EQ(c.name, "");
    EXPECT_EQ(c.label, "");
    EXPECT_EQ(c.sources, "");
    EXPECT_EQ(c.plan, nullptr);
    EXPECT_EQ(c.polarization, 'o');
    EXPECT_EQ(c.signalType, 'a');
    EXPECT_EQ(c.modulation, 'a');
    EXPECT_EQ(c.freqLow, 0.0f);
    EXPECT_EQ(c.freqHigh, 0.0f);
    EXPECT_EQ(c.floorMin, 0.0f);
    EXPECT_EQ(c.next, nullptr);
}

struct StageCase {
    const char* what;
    Figures before;
    std::function<void(TCanale&)> stage;
    Figures after;
};

TEST(Channel, AttenuateAndAmplifyFollowTheLevelNoiseAndGainFormulas) {
    const Figures start{60, 70, 0.5, 2, 0.25, 1, 57.5, 67.5};
    // clang-format off
    const StageCase cases[] = {
        {"no attenuation", start, [](TCanale& c) { c.Attenuate(0); }, start},
        {"no gain, no noise", start, [](TCanale& c) { c.Amplify(0, 0); }, start},
        {"attenuation of 10 dB", start, [](TCanale& c) { c.Attenuate(10); },
         {50, 60, 0.5 / 10, 2.0 / 10, 0.25 + 9 / 2.0, 1 + 9 / 0.5, 50, 60}},
        {"attenuation that keeps the floors", start, [](TCanale& c) { c.Attenuate(1); },
         {59, 69, 0.5 / Db(1), 2 / Db(1), 0.25 + (Db(1) - 1) / 2, 1 + (Db(1) - 1) / 0.5, 57.5, 67.5}},
        {"a negative attenuation raises levels and gains", start, [](TCanale& c) { c.Attenuate(-6); },
         {66, 76, 0.5 * Db(6), 2 * Db(6), 0.25 + (Db(-6) - 1) / 2, 1 + (Db(-6) - 1) / 0.5, 57.5, 67.5}},
        {"levels stop at 0 and the floors follow", {20, 25, 1, 1, 0, 0, 17.5, 22.5},
         [](TCanale& c) { c.Attenuate(30); }, {0, 0, 1e-3, 1e-3, 999, 999, 0, 0}},
        {"the upper level reaching 0 on its own", {0, 25, 1, 1, 0, 0, 0, 22.5},
         [](TCanale& c) { c.Attenuate(25); }, {0, 0, Db(-25), Db(-25), Db(25) - 1, Db(25) - 1, 0, 0}},
        {"noise without gain", start, [](TCanale& c) { c.Amplify(0, 3); },
         {60, 70, 0.5, 2, 0.25 + (Db(3) - 1) / 2, 1 + (Db(3) - 1) / 0.5, 57.5, 67.5}},
        {"gain without noise", start, [](TCanale& c) { c.Amplify(20, 0); },
         {80, 90, 50, 200, 0.25, 1, 57.5, 67.5}},
        {"gain with noise", start, [](TCanale& c) { c.Amplify(20, 6); },
         {80, 90, 50, 200, 0.25 + (Db(6) - 1) / 2, 1 + (Db(6) - 1) / 0.5, 57.5, 67.5}},
        {"a negative gain does not stop at 0", {3, 5, 1, 1, 0, 0, 0, 0}, [](TCanale& c) { c.Amplify(-10, 0); },
         {-7, -5, 0.1, 0.1, 0, 0, 0, 0}},
        {"an attenuator then an amplifier (Friis)", {80, 80, 1, 1, 0, 0, 77.5, 77.5},
         [](TCanale& c) {
             c.Attenuate(3);
             c.Amplify(20, 6);
         },
         {97, 97, Db(17), Db(17), (Db(3) - 1) + (Db(6) - 1) / Db(-3), (Db(3) - 1) + (Db(6) - 1) / Db(-3), 77, 77}},
        {"a stage: input attenuation, gain, output attenuation", {80, 80, 1, 1, 0, 0, 77.5, 77.5},
         [](TCanale& c) {
             TCanale source;
             source.Assign(c);
             c.AssignThroughStage(source, 3, 20, 10, 6);
         },
         {87, 87, Db(7), Db(7), (Db(3) - 1) + (Db(6) - 1) / Db(-3) + (Db(10) - 1) / Db(17),
          (Db(3) - 1) + (Db(6) - 1) / Db(-3) + (Db(10) - 1) / Db(17), 77, 77}},
    };
    // clang-format on
    for (const StageCase& c : cases) {
        SCOPED_TRACE(c.what);
        TCanale channel = Channel(c.before);
        c.stage(channel);
        ExpectFigures(channel, c.after);
    }
}

TEST(Channel, AStageWithGainControlBringsBothBoundsToTheOutputLevel) {
    // Levels 70..80 into a regulator that gives 100 dBuV with 40 dB of gain:
    // the stage input is 60, so the lower level loses 10 dB and the upper 20.
    TCanale source = Channel({70, 80, 0.5, 2, 0.1, 0.2, 67.5, 77.5});
    source.name = "21";
    TCanale c;
    c.AssignThroughCAG(source, 100, 40, 5, 8);
    EXPECT_EQ(c.name, "21");
    ExpectClose(c.levelMin, 95, "levelMin");
    ExpectClose(c.levelMax, 95, "levelMax");
    // Lower noise bound and upper gain bound from the lower level's 10 dB,
    // the others from the upper level's 20 dB.
    const double noiseMin = 0.1 + (Db(10) - 1) / 2;
    const double gainMax = 2 / Db(10);
    const double noiseMax = 0.2 + (Db(20) - 1) / 0.5;
    const double gainMin = 0.5 / Db(20);
    ExpectClose(c.noiseMin, noiseMin + (Db(8) - 1) / gainMax + (Db(5) - 1) / (gainMax * Db(40)), "noiseMin");
    ExpectClose(c.noiseMax, noiseMax + (Db(8) - 1) / gainMin + (Db(5) - 1) / (gainMin * Db(40)), "noiseMax");
    ExpectClose(c.gainMin, gainMin * Db(40) / Db(5), "gainMin");
    ExpectClose(c.gainMax, gainMax * Db(40) / Db(5), "gainMax");
    // The floors are those of the upper level's attenuation.
    ExpectClose(c.floorMin, 50, "floorMin");
    ExpectClose(c.floorMax, 60, "floorMax");
}

TEST(Channel, AStageWithGainControlRaisesAWeakChannel) {
    // Levels below the stage input: the attenuations are negative and raise them.
    TCanale source = Channel({50, 55, 1, 1, 0, 0, 47.5, 52.5});
    TCanale c;
    c.AssignThroughCAG(source, 100, 40, 0, 0);
    ExpectClose(c.levelMin, 100, "levelMin");
    ExpectClose(c.levelMax, 100, "levelMax");
    ExpectClose(c.floorMin, 47.5, "floorMin");
    ExpectClose(c.gainMax, Db(10) * Db(40), "gainMax");
    ExpectClose(c.gainMin, Db(5) * Db(40), "gainMin");
}

TEST(Channel, AssignCopiesEverythingButTheListLink) {
    TCanalizzazioni plans;
    TCanale a = Channel({61, 62, 0.3, 0.4, 0.5, 0.6, 57, 58});
    a.name = "S12";
    a.label = "Locale";
    a.sources = "Antenna";
    a.band = 3;
    a.polarization = 'v';
    a.signalType = 'd';
    a.modulation = 'd';
    a.plan = plans.head;
    a.freqLow = 237;
    a.freqHigh = 244;
    TCanale other;
    a.next = &other;

    std::unique_ptr<TCanale> b(TCanale::Clone(a));
    EXPECT_EQ(b->next, nullptr);
    EXPECT_EQ(b->name, "S12");
    EXPECT_EQ(b->label, "Locale");
    EXPECT_EQ(b->sources, "Antenna");
    EXPECT_EQ(b->band, 3);
    EXPECT_EQ(b->polarization, 'v');
    EXPECT_EQ(b->signalType, 'd');
    EXPECT_EQ(b->modulation, 'd');
    EXPECT_EQ(b->plan, plans.head);
    EXPECT_EQ(b->freqLow, 237.0f);
    EXPECT_EQ(b->freqHigh, 244.0f);
    ExpectFigures(*b, {61, 62, 0.3, 0.4, 0.5, 0.6, 57, 58});

    TCanale identity = Channel({1, 2, 3, 4, 5, 6, 7, 8});
    identity.AssignIdentity(a);
    EXPECT_EQ(identity.name, "S12");
    EXPECT_EQ(identity.plan, plans.head);
    ExpectFigures(identity, {1, 2, 3, 4, 5, 6, 7, 8});
}

TEST(Channel, MergeRangesWidensEveryWindow) {
    TCanale a = Channel({60, 70, 0.5, 2, 0.25, 1, 57.5, 67.5});
    TCanale b = Channel({65, 75, 0.25, 1, 0.5, 0.75, 50, 70});
    b.sourceCNMin = 30;
    b.sourceCNMax = 50;
    a.sources = "A1";
    b.sources = "A2";
    a.MergeRanges(b);
    EXPECT_EQ(a.levelMin, 60.0f);
    EXPECT_EQ(a.levelMax, 75.0f);
    EXPECT_EQ(a.gainMin, 0.25f);
    EXPECT_EQ(a.gainMax, 2.0f);
    EXPECT_EQ(a.noiseMin, 0.25f);
    EXPECT_EQ(a.noiseMax, 1.0f);
    EXPECT_EQ(a.floorMin, 50.0f);
    EXPECT_EQ(a.floorMax, 70.0f);
    EXPECT_EQ(a.sourceCNMin, 30.0f);
    EXPECT_EQ(a.sourceCNMax, 50.0f);
    EXPECT_EQ(a.sources, "A1, A2");
}

struct CompareCase {
    float aL, aH, aLevel;
    float bL, bH, bLevel;
    int expected;
};

TEST(Channel, CompareRangeOrdersChannelsByTheirEdges) {
    // clang-format off
    const CompareCase cases[] = {
        {470, 478, 0, 478, 486, 0, -4},  // touching ranges sort apart
        {478, 486, 0, 470, 478, 0, 3},
        {470, 478, 0, 490, 498, 0, -4},
        {470, 480, 0, 475, 490, 0, -3},  // a starts first, b ends later
        {470, 490, 0, 475, 480, 0, -2},  // a starts first and holds b
        {470, 490, 0, 475, 490, 0, -2},
        {490, 498, 0, 470, 478, 0, 3},   // b wholly below
        {475, 490, 0, 470, 480, 0, 3},   // b starts first, a ends later
        {475, 480, 0, 470, 490, 0, 2},   // b starts first and holds a
        {475, 490, 0, 470, 490, 0, 2},
        {470, 478, 0, 470, 486, 0, 2},   // same start, b wider
        {470, 486, 0, 470, 478, 0, -2},  // same start, a wider
        {470, 478, 60, 470, 478, 60, 0},
        {470, 478, 60, 470, 478, 65, -1},
        {470, 478, 65, 470, 478, 60, 1},
    };
    // clang-format on
    for (const CompareCase& c : cases) {
        TCanale a, b;
        a.freqLow = c.aL;
        a.freqHigh = c.aH;
        a.levelMin = c.aLevel;
        b.freqLow = c.bL;
        b.freqHigh = c.bH;
        b.levelMin = c.bLevel;
        EXPECT_EQ(TCanale::CompareRange(&a, &b), c.expected)
            << c.aL << "-" << c.aH << " against " << c.bL << "-" << c.bH;
    }
    TCanale a;
    EXPECT_EQ(TCanale::CompareRange(nullptr, nullptr), 0);
    EXPECT_EQ(TCanale::CompareRange(nullptr, &a), 4);
    EXPECT_EQ(TCanale::CompareRange(&a, nullptr), -4);
}

TEST(Channel, ModulationNamesByLetter) {
    const std::pair<char, const char*> cases[] = {{'a', "AM"},  {'d', "COFDM"}, {'f', "FM"}, {'k', "QPSK"},
                                                  {'m', "QAM"}, {'t', "FM/AM"}, {'x', ""},   {0, ""}};
    for (const auto& [letter, text] : cases) {
        TCanale c;
        c.modulation = letter;
        EXPECT_EQ(c.ModulationName(), text) << letter;
    }
}

TEST(Channel, SourceListsDropEarlierRepeatsAndKeepTwentyCharacters) {
    struct Case {
        const char* current;
        const char* items;
        const char* prefix;
        const char* expected;
    };
    // clang-format off
    const Case adds[] = {
        {"", "A1", "C", "C[A1]"},
        {"X", "", "C", "X"},
        {"X", "A1, A2", "", "X, [A1], [A2]"},
        {"C[A1], X", "A1", "C", "X, C[A1]"},        // the last occurrence keeps its place
        {"P1, P2", "A", "Convertitore", "P1, P2, Convertitore"},  // cut to 20 characters
    };
    // clang-format on
    for (const Case& c : adds) {
        TCanale ch;
        ch.sources = c.current;
        ch.AddSources(c.items, c.prefix);
        EXPECT_EQ(ch.sources, c.expected) << c.current << " + " << c.items;
    }
    // clang-format off
    const Case merges[] = {
        {"A1", "A2", "", "A1, A2"},
        {"A1, A2", "A1", "", "A2, A1"},
        {"", "", "", ""},
        {"A, A, A", "A", "", "A"},
        {"aaaaaaaaaa", "bbbbbbbbbb", "", "aaaaaaaaaa, bbbbbbbb"},
    };
    // clang-format on
    for (const Case& c : merges) {
        TCanale a, b;
        a.sources = c.current;
        b.sources = c.items;
        a.MergeSources(b);
        EXPECT_EQ(a.sources, c.expected) << c.current << " + " << c.items;
    }
}

TEST(Channel, SourceListsTakeAtMostTenItems) {
    TCanale c, d;
    c.sources = "a, b, c, d, e, f, g, h, i";
    d.sources = "j, a";  // "a" of d is the eleventh item: not taken, so "a" stays first
    c.MergeSources(d);
    EXPECT_EQ(c.sources, "a, b, c, d, e, f, g,");
}

class ChannelLevels : public GlobalsTest {};

TEST_F(ChannelLevels, LevelAtFrequencyReadsTheBandOfTheFrequencyAndInterpolatesOverRepeats) {
    float v[BandSlots];
    for (float& x : v) x = LevelNone;
    v[3] = 5;            // "b. III", reference 200
    v[4] = 10;           // "b. IV", reference 470
    v[5] = LevelRepeat;  // "b. V"
    v[6] = 20;           // "sat. 1", reference 950
    v[7] = LevelRepeat;
    v[8] = LevelBlocked;
    v[9] = LevelRepeat;
    v[10] = LevelRepeat;
    struct Case {
        float f;
        double expected;
    };
    // clang-format off
    const Case cases[] = {
        {470, 10},
        {200, 5},
        {1000, 20},
        {700, 10 + 10.0 / (950 - 470) * (700 - 470)},  // slot 5 between 470 and 950
        {862, 10 + 10.0 / 480 * (862 - 470)},
        {1300, LevelBlocked},                            // a sentinel on the right wins
        {2300, LevelBlocked},                            // a sentinel on the left wins
        {98, LevelNone},                                 // "FM" has no value
    };
    // clang-format on
    for (const Case& c : cases) {
        const float got = TCanale::LevelAtFrequency(v, c.f);
        if (c.expected <= LevelNone)
            EXPECT_EQ(got, static_cast<float>(c.expected)) << c.f;
        else
            ExpectClose(got, c.expected, std::to_string(c.f).c_str());
    }

    float left[BandSlots];
    for (float& x : left) x = 7;
    left[2] = LevelNone;
    left[3] = LevelRepeat;
    EXPECT_EQ(TCanale::LevelAtFrequency(left, 200), LevelNone);  // a sentinel on the left wins

    float repeats[BandSlots];
    for (float& x : repeats) x = LevelRepeat;
    repeats[1] = 3;
    EXPECT_EQ(TCanale::LevelAtFrequency(repeats, 700), LevelNone);  // repeats up to slot 14
    EXPECT_EQ(TCanale::LevelAtFrequency(repeats, 50), 3.0f);
    repeats[1] = LevelRepeat;
    repeats[14] = 3;
    EXPECT_EQ(TCanale::LevelAtFrequency(repeats, 20), LevelNone);  // repeats down below slot 0

    // A value past the bands of the system: no reference to interpolate to.
    float beyond[BandSlots];
    for (float& x : beyond) x = LevelNone;
    beyond[9] = 4;
    beyond[10] = LevelRepeat;
    beyond[11] = 9;
    EXPECT_EQ(TCanale::LevelAtFrequency(beyond, 2300), 4.0f);
    EXPECT_EQ(TCanale::LevelAtFrequency(nullptr, 470), LevelNone);
}

TEST_F(ChannelLevels, LevelFromTableIsTheDigitalOffsetOfTheBand) {
    Opzioni->limits[4][LimitDiffAnDig] = 9;
    Opzioni->limits[7][LimitDiffAnDig] = -4;
    struct Case {
        char signalType;
        int32_t band;
        float expected;
    };
    // clang-format off
    const Case cases[] = {
        {'d', 4, 9}, {'d', 7, -4}, {'d', 1, 13},  // 13: the default of the terrestrial bands
        {'a', 4, 0}, {'d', -1, 0}, {'d', BandSlots, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        TCanale ch;
        ch.signalType = c.signalType;
        ch.band = c.band;
        EXPECT_EQ(ch.LevelFromTable(), c.expected) << c.signalType << " " << c.band;
    }
}

// A channel record on file.
class ChannelRecord : public GlobalsTest {
protected:
    TCanale Sample() {
        TCanale c;
        c.name = "21";
        c.label = "RAI Uno";
        c.levelMin = 72.5f;
        c.levelMax = 80;  // not on file
        c.signalType = 'd';
        c.polarization = 'v';
        c.modulation = 'd';
        c.freqLow = 470;
        c.freqHigh = 478;
        c.floorMin = 70;
        c.plan = Canalizzazioni->Find("Europa");
        return c;
    }
    static std::string F32(float v) {
        std::string b(4, '\0');
        std::memcpy(b.data(), &v, 4);  // the test machines are little-endian
        return b;
    }
    std::string Record(const std::string& name, const std::string& label, float level, char signal, char pol,
                       char mod, float low, float high, float floor, const std::string& plan) {
        return std::string(1, static_cast<char>(name.size())) + name +
               std::string(1, static_cast<char>(label.size())) + label + F32(level) + signal + pol + mod +
               F32(low) + F32(high) + F32(floor) + plan;
    }
    TCanale ReadFrom(const std::string& bytes, int version) {
        TMemoryStream s(bytes);
        TCanale c;
        c.Read(s, version);
        EXPECT_EQ(s.Position(), static_cast<int64_t>(bytes.size()));
        return c;
    }
};

TEST_F(ChannelRecord, TheRecordHoldsItsFieldsInOrder) {
    TMemoryStream s;
    Sample().Write(s, 60000);
    EXPECT_EQ(s.Bytes(), Record("21", "RAI Uno", 72.5f, 'd', 'v', 'd', 470, 478, 70, "3"));
}

TEST_F(ChannelRecord, AChannelRoundTripsThroughAFile) {
    TempDir dir;
    const std::string path = dir.File("canale.bin");
    TCanale out = Sample();
    out.name = "Canale lunghissimo oltre";  // 24 characters: 19 are kept
    out.label = "Programma più lungo del campo";
    {
        TFile f(path, ModeCreate);
        out.Write(f, 60000);
        TCanale noPlan;
        noPlan.name = "X";
        noPlan.Write(f, 60000);
    }
    TFile f(path, ModeReadExclusive);
    TCanale in;
    in.Read(f, 60000);
    EXPECT_EQ(in.name, "Canale lunghissimo ");
    EXPECT_EQ(in.label, "Programma più lungo ");
    EXPECT_EQ(in.levelMin, 72.5f);
    EXPECT_EQ(in.signalType, 'd');
    EXPECT_EQ(in.polarization, 'v');
    EXPECT_EQ(in.modulation, 'd');
    EXPECT_EQ(in.freqLow, 470.0f);
    EXPECT_EQ(in.freqHigh, 478.0f);
    EXPECT_EQ(in.floorMin, 70.0f);
    EXPECT_EQ(in.plan, Canalizzazioni->Find("Europa"));
    TCanale second;
    second.plan = in.plan;
    second.Read(f, 60000);
    EXPECT_EQ(second.name, "X");
    EXPECT_EQ(second.plan, nullptr);
    EXPECT_EQ(f.Position(), f.Size());
}

TEST_F(ChannelRecord, OlderRecordsGetTheirSentinelsSignalTypeAndModulation) {
    struct Case {
        int version;
        float level, low, high, floor;
        char signal, modulation;
        float expLevel, expLow, expHigh, expFloor;
        char expSignal, expModulation;
    };
    // clang-format off
    const Case cases[] = {
        // Before 50000 the sentinels were -1 ... -8.
        {40000, -1, -100, 0, -8, 'd', 'x', LevelNone, -100, 0, LevelRepeat, 'a', 't'},
        {49999, -99.5f, 470, 478, -2, 'a', 'x', -500099.5f, 470, 478, LevelBlocked, 'a', 't'},
        {50000, -1, 11000, 11030, 60, 'd', 'x', -1, 11000, 11030, 60, 'a', 'f'},
        {50099, 70, 470, 478, 60, 'd', 'x', 70, 470, 478, 60, 'a', 't'},
        // From 50100 the signal type is on file; up to 50100 the modulation is not.
        {50100, 70, 11000, 11030, 60, 'd', 'x', 70, 11000, 11030, 60, 'd', 'k'},
        {50100, 70, 470, 478, 60, 'd', 'x', 70, 470, 478, 60, 'd', 'd'},
        {50100, 70, 950, 1000, 60, 'a', 'x', 70, 950, 1000, 60, 'a', 'f'},
        {50101, 70, 470, 478, 60, 'd', 'x', 70, 470, 478, 60, 'd', 'x'},
        {60000, -1, 470, 478, 60, 'a', 'm', -1, 470, 478, 60, 'a', 'm'},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        const TCanale in = ReadFrom(
            Record("5", "", c.level, c.signal, 'o', c.modulation, c.low, c.high, c.floor, "2"), c.version);
        EXPECT_EQ(in.levelMin, c.expLevel);
        EXPECT_EQ(in.freqLow, c.expLow);
        EXPECT_EQ(in.freqHigh, c.expHigh);
        EXPECT_EQ(in.floorMin, c.expFloor);
        EXPECT_EQ(in.signalType, c.expSignal);
        EXPECT_EQ(in.modulation, c.expModulation);
        EXPECT_EQ(in.plan, Canalizzazioni->Find("Italia"));
    }
}

TEST_F(ChannelRecord, ARecordCutAnywhereRaisesAReadError) {
    TMemoryStream s;
    TCanale c = Sample();
    c.plan->id = 0;  // the plan by name: the longest reference
    c.Write(s, 60000);
    const std::string bytes = s.Bytes();
    ASSERT_NO_THROW(ReadFrom(bytes, 60000));
    for (size_t n = 0; n < bytes.size(); ++n) {
        TMemoryStream cut(bytes.substr(0, n));
        TCanale in;
        EXPECT_THROW(in.Read(cut, 60000), EReadError) << n << " bytes";
    }
}

}  // namespace
