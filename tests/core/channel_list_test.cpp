#include "core/channel_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/channel_plans.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/reporter.h"
#include "platform/controls.h"
#include "support/globals_fixture.h"

namespace {

using Names = std::vector<std::string>;

double Db(double db) { return std::pow(10.0, 0.1 * db); }

TCanale Channel(const char* name, float low, float high, float level = 70, int32_t band = -1) {
    TCanale c;
    c.name = name;
    c.freqLow = low;
    c.freqHigh = high;
    c.levelMin = c.levelMax = level;
    c.floorMin = c.floorMax = level - 2.5f;
    c.band = band;
    return c;
}

Names NamesOf(const TListaCanali& list) {
    Names names;
    for (const TCanale* c = list.head; c; c = c->next) names.push_back(c->name);
    return names;
}

// ---- Keeping the list

TEST(ChannelList, InsertKeepsFrequencyOrderAndPutsEqualEdgesAfter) {
    TListaCanali list;
    TCanale a = Channel("a", 478, 486);
    const TCanale* copy = list.Insert(a);
    EXPECT_NE(copy, &a);
    EXPECT_EQ(copy->name, "a");
    list.Insert(Channel("b", 470, 478));
    list.Insert(Channel("c", 478, 480));
    list.Insert(Channel("d", 800, 808));
    list.Insert(Channel("e", 470, 471));
    EXPECT_EQ(NamesOf(list), (Names{"b", "e", "a", "c", "d"}));
    EXPECT_EQ(list.Count(), 5);
    a.name = "changed";  // the list holds its own copies
    EXPECT_EQ(NamesOf(list), (Names{"b", "e", "a", "c", "d"}));
}

TEST(ChannelList, FindByFrequencyPrefersASharedEdgeOverAnOverlap) {
    TListaCanali list;
    list.Insert(Channel("overlap", 470, 480));
    list.Insert(Channel("upper", 476, 486));
    list.Insert(Channel("far", 600, 608));
    struct Case {
        TCanale probe;
        const char* found;
    };
    // clang-format off
    const Case cases[] = {
        {Channel("p", 478, 486), "upper"},    // shares only the upper edge; the overlap comes first
        {Channel("p", 470, 474), "overlap"},  // shares the lower edge
        {Channel("p", 479, 485), "overlap"},  // no shared edge: the first overlap
        {Channel("p", 486, 490), nullptr},    // touching is not overlapping
        {Channel("p", 590, 600), nullptr},
        {Channel("p", 602, 604), "far"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const TCanale* f = list.FindByFrequency(c.probe);
        if (!c.found) {
            EXPECT_EQ(f, nullptr) << c.probe.freqLow;
        } else {
            ASSERT_NE(f, nullptr) << c.probe.freqLow;
            EXPECT_EQ(f->name, c.found) << c.probe.freqLow;
        }
    }
}

TEST(ChannelList, RemoveAndRemoveByNameTakeOutOneChannel) {
    TListaCanali list;
    for (const char* n : {"21", "22", "23", "22"})
        list.Insert(Channel(n, 470 + 8 * (n[1] - '1'), 478 + 8 * (n[1] - '1')));
    list.RemoveByName("22");
    EXPECT_EQ(NamesOf(list), (Names{"21", "22", "23"}));
    list.RemoveByName("2");  // names compare whole
    list.RemoveByName("x");
    EXPECT_EQ(list.Count(), 3);
    list.Remove(list.head);
    EXPECT_EQ(NamesOf(list), (Names{"22", "23"}));
    TCanale stranger = Channel("22", 478, 486);
    list.Remove(&stranger);  // not in the list: nothing
    EXPECT_EQ(list.Count(), 2);
    list.Clear();
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.Count(), 0);
    // The channels taken out are used again, whole, by the next inserts.
    for (const char* n : {"26", "24", "25", "27", "28"})
        list.Insert(Channel(n, 470 + 8 * (n[1] - '1'), 478 + 8 * (n[1] - '1')));
    EXPECT_EQ(NamesOf(list), (Names{"24", "25", "26", "27", "28"}));
    list.Clear();
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    list.Insert(Channel("29", 534, 542));
    EXPECT_EQ(NamesOf(list), (Names{"29"}));
}

TEST(ChannelList, SortOrdersByLowerEdgeKeepingEqualsInTheirOrder) {
    TListaCanali list;
    // Channels of the list are linked again by hand, out of order, as a
    // caller that appends would.
    TCanale* c1 = list.Insert(Channel("c1", 600, 608));
    TCanale* c2 = list.Insert(Channel("c2", 470, 478));
    TCanale* c3 = list.Insert(Channel("c3", 600, 601));
    TCanale* c4 = list.Insert(Channel("c4", 100, 107));
    list.head = c1;
    c1->next = c2;
    c2->next = c3;
    c3->next = c4;
    c4->next = nullptr;
    list.Sort();
    EXPECT_EQ(NamesOf(list), (Names{"c4", "c2", "c1", "c3"}));
    TListaCanali empty;
    empty.Sort();
    EXPECT_EQ(empty.head, nullptr);
}

TEST(ChannelList, AddAllReplacesTheDestinationWithCopies) {
    TListaCanali source, destination;
    source.Insert(Channel("a", 470, 478));
    source.Insert(Channel("b", 478, 486));
    destination.Insert(Channel("old", 100, 107));
    TListaCanali::AddAll(source, destination);
    EXPECT_EQ(NamesOf(destination), (Names{"a", "b"}));
    EXPECT_NE(destination.head, source.head);
    TListaCanali::AddAll(destination, destination);
    EXPECT_EQ(NamesOf(destination), (Names{"a", "b"}));
}

// ---- The list on file

class ChannelListFile : public GlobalsTest {};

TEST_F(ChannelListFile, AListRoundTripsThroughAFile) {
    TListaCanali out;
    TCanale a = Channel("21", 470, 478, 72);
    a.plan = Canalizzazioni->Find("Italia");
    a.label = "RAI";
    out.Insert(a);
    TCanale b = Channel("Sat2", 1150, 1550, 60);
    b.plan = Canalizzazioni->Find("BandeSat");
    b.signalType = 'd';
    b.modulation = 'f';
    b.polarization = 'v';
    out.Insert(b);
    TCanale c = Channel("libero", 300.5f, 301.5f, 55);  // no plan
    out.Insert(c);

    TempDir dir;
    const std::string path = dir.File("lista.bin");
    {
        TFile f(path, ModeCreate);
        out.Write(f, 60000);
    }
    TFile f(path, ModeReadExclusive);
    TListaCanali in;
    in.Insert(Channel("old", 10, 20));
    in.Read(f, 60000);
    EXPECT_EQ(f.Position(), f.Size());
    ASSERT_EQ(NamesOf(in), (Names{"libero", "21", "Sat2"}));
    const TCanale* r = in.head;
    EXPECT_EQ(r->plan, nullptr);
    EXPECT_EQ(r->freqLow, 300.5f);
    EXPECT_EQ(r->levelMin, 55.0f);
    EXPECT_EQ(r->band, 4);  // "b. IV" holds 301
    r = r->next;
    EXPECT_EQ(r->plan, Canalizzazioni->Find("Italia"));
    EXPECT_EQ(r->label, "RAI");
    EXPECT_EQ(r->levelMin, 72.0f);
    EXPECT_EQ(r->band, 4);
    r = r->next;
    EXPECT_EQ(r->plan, Canalizzazioni->Find("BandeSat"));
    EXPECT_EQ(r->signalType, 'd');
    EXPECT_EQ(r->modulation, 'f');
    EXPECT_EQ(r->polarization, 'v');
    EXPECT_EQ(r->band, 7);  // "sat. 2"
}

TEST_F(ChannelListFile, AChannelOfAPlanRowTakesTheRowsEdges) {
    TListaCanali out;
    TCanale moved = Channel("S12", 100, 110);  // edges that disagree with the plan
    moved.plan = Canalizzazioni->Find("Europa");
    out.Insert(moved);
    TCanale unknown = Channel("S99", 1000, 1010);  // no such row: its own edges stay
    unknown.plan = Canalizzazioni->Find("Europa");
    out.Insert(unknown);
    TMemoryStream s;
    out.Write(s, 60000);
    s.SetPosition(0);
    TListaCanali in;
    in.Read(s, 60000);
    ASSERT_EQ(NamesOf(in), (Names{"S12", "S99"}));
    EXPECT_EQ(in.head->freqLow, 237.0f);
    EXPECT_EQ(in.head->freqHigh, 244.0f);
    EXPECT_EQ(in.head->band, 3);
    EXPECT_EQ(in.head->next->freqLow, 1000.0f);
    EXPECT_EQ(in.head->next->band, 6);
}

TEST_F(ChannelListFile, AnOlderListGetsTheOldFixes) {
    TListaCanali out;
    TCanale c = Channel("5", 174, 181, -1);
    c.plan = Canalizzazioni->Find("Europa");
    c.signalType = 'd';
    out.Insert(c);
    TMemoryStream s;
    out.Write(s, 60000);
    s.SetPosition(0);
    TListaCanali in;
    in.Read(s, 40000);
    ASSERT_EQ(in.Count(), 1);
    EXPECT_EQ(in.head->levelMin, LevelNone);
    EXPECT_EQ(in.head->signalType, 'a');
    EXPECT_EQ(in.head->modulation, 't');
}

// A stored list of two channels, the second with these edges.
std::string WithEdges(float low, float high) {
    TMemoryStream s;
    WriteI32(s, 2);
    Channel("21", 470, 478).Write(s, 60000);
    Channel("22", low, high).Write(s, 60000);
    return s.Bytes();
}

TEST_F(ChannelListFile, AListStoredOutOfOrderReadsInFrequencyOrderKeepingEqualsInFileOrder) {
    const TCanale stored[] = {Channel("c", 300, 307), Channel("a", 100, 107),  Channel("b1", 200, 207),
                              Channel("d", 400, 407), Channel("b2", 200, 208), Channel("b3", 200, 207)};
    TMemoryStream s;
    WriteI32(s, 6);
    for (const TCanale& c : stored) c.Write(s, 60000);
    s.SetPosition(0);
    TListaCanali in;
    in.Read(s, 60000);
    EXPECT_EQ(NamesOf(in), (Names{"a", "b1", "b2", "b3", "c", "d"}));
    // What was read saves in its order and reads back the same.
    TMemoryStream again;
    in.Write(again, 60000);
    again.SetPosition(0);
    TListaCanali back;
    back.Read(again, 60000);
    TMemoryStream twice;
    back.Write(twice, 60000);
    EXPECT_EQ(twice.Bytes(), again.Bytes());
}

TEST_F(ChannelListFile, ADamagedListIsAReadErrorAndTheListKeepsWhatItHeld) {
    TListaCanali out;
    out.Insert(Channel("21", 470, 478));
    out.Insert(Channel("22", 478, 486));
    TMemoryStream good;
    out.Write(good, 60000);
    const std::string bytes = good.Bytes();

    auto count = [&](int32_t n) {
        std::string b = bytes;
        for (int i = 0; i < 4; ++i)
            b[static_cast<size_t>(i)] = static_cast<char>((static_cast<uint32_t>(n) >> (8 * i)) & 0xFF);
        return b;
    };
    // clang-format off
    const std::string damaged[] = {
        count(-1),               // a negative count
        count(0x7FFFFFFF),       // more records than the stream could hold
        count(3),                // one record more than there is
        bytes.substr(0, 3),      // the count cut short
        bytes.substr(0, bytes.size() - 1),  // the last record cut short
        WithEdges(std::nanf(""), 486),      // a frequency that is not a number
        WithEdges(478, std::nanf("")),
        WithEdges(INFINITY, INFINITY),      // or that is infinite
        WithEdges(-INFINITY, 486),
    };
    // clang-format on
    for (const std::string& d : damaged) {
        TMemoryStream s(d);
        TListaCanali in;
        in.Insert(Channel("kept", 100, 107));
        EXPECT_THROW(in.Read(s, 60000), EReadError);
        EXPECT_EQ(NamesOf(in), (Names{"kept"}));
    }
    TMemoryStream empty(count(0).substr(0, 4));
    TListaCanali in;
    in.Insert(Channel("old", 100, 107));
    in.Read(empty, 60000);
    EXPECT_EQ(in.Count(), 0);
}

// ---- Stage passes

class ChannelStages : public GlobalsTest {
protected:
    ChannelStages() { globals.Reporter().SetTarget(&messages); }

    Names Messages() {
        Names m;
        for (int i = 0; i < messages.Items->Count(); ++i) m.push_back((*messages.Items)[i]);
        messages.Items->Clear();
        return m;
    }

    // A per-band vector with one value in every slot.
    struct Vec {
        float v[BandSlots];
        explicit Vec(float all) {
            for (float& x : v) x = all;
        }
        Vec& Set(int band, float value) {
            v[band] = value;
            return *this;
        }
        operator const float*() const { return v; }
    };

    TListBox messages;
};

TEST_F(ChannelStages, OverloadDeratingGrowsWithTheNumberOfChannels) {
    EXPECT_EQ(TListaCanali::OverloadDerating(0), 0.0);
    EXPECT_EQ(TListaCanali::OverloadDerating(2), 0.0);
    EXPECT_NEAR(TListaCanali::OverloadDerating(3), 2.26, 0.005);
    EXPECT_NEAR(TListaCanali::OverloadDerating(10), 7.16, 0.005);
    EXPECT_DOUBLE_EQ(TListaCanali::OverloadDerating(11), 7.5);
}

TEST_F(ChannelStages, CheckHandledPassesEveryChannelThroughTheStageTable) {
    TInfo stage(2);
    stage.Alloc2(7, BandSlots);
    for (int b = 0; b < BandSlots; ++b) stage.Set2(0, b, LevelRepeat);
    stage.Set2(0, 3, 1);   // attenuation by frequency: 1 dB at 200 MHz ...
    stage.Set2(0, 5, 3);   // ... 3 dB at 862 MHz
    stage.Set2(2, 4, 2);   // attenuation of band IV
    stage.Set2(4, 4, 20);  // gain
    stage.Set2(5, 4, 6);   // noise figure
    stage.Set2(6, 4, 96);  // maximum output level
    stage.Set2(2, 5, 2);   // band V: attenuation only, no gain: not handled

    TListaCanali list;
    list.Insert(Channel("21", 470, 478, 70, 4));  // centre 474
    list.Insert(Channel("22", 478, 486, 80, 4));  // centre 482
    list.Insert(Channel("61", 790, 798, 70, 5));
    TListaCanali::CheckHandled(list, stage, "Amplificatore A1", 1, 2);

    // Three channels: the maximum is lowered by 7.5 log10(2) = 2.26 dB.
    EXPECT_EQ(Messages(), (Names{
                              "Amplificatore A1: il livello del canale 22 è troppo alto sull'uscita 2 "
                              "(massimo consentito 93,74dB).",
                              "Amplificatore A1: canale 61 non gestito dall'ingresso 1.",
                          }));
    ASSERT_EQ(NamesOf(list), (Names{"21", "22"}));
    // 1 dB at 200 MHz rising to 3 dB at 862 MHz, then 2 dB, then 20 dB of gain.
    const double byFrequency21 = 1 + 2.0 / (862 - 200) * (474 - 200);
    const double byFrequency22 = 1 + 2.0 / (862 - 200) * (482 - 200);
    EXPECT_NEAR(list.head->levelMax, 70 - byFrequency21 - 2 + 20, 1e-4);
    EXPECT_NEAR(list.head->next->levelMax, 80 - byFrequency22 - 2 + 20, 1e-4);
    EXPECT_NEAR(list.head->gainMax, Db(20 - 2 - byFrequency21), 1e-4);
}

TEST_F(ChannelStages, CheckHandledUsesTheShortFormsForPortZero) {
    TInfo stage(2);
    stage.Alloc2(7, BandSlots);
    stage.Set2(4, 4, 10);
    stage.Set2(5, 4, 5);
    stage.Set2(6, 4, 105);
    TListaCanali list;
    list.Insert(Channel("21", 470, 478, 100, 4));
    list.Insert(Channel("FM", 88, 108, 60, 2));
    TListaCanali::CheckHandled(list, stage, "Filtro F1", 0, 0);
    EXPECT_EQ(Messages(), (Names{
                              "Filtro F1: canale FM non gestito.",
                              "Filtro F1: il livello del canale 21 è troppo alto (massimo consentito 105dB).",
                          }));
    EXPECT_EQ(NamesOf(list), (Names{"21"}));
}

TEST_F(ChannelStages, CheckHandledWithoutPrefixIsSilentButStillWorks) {
    TInfo stage(2);
    stage.Alloc2(7, BandSlots);
    stage.Set2(4, 4, 10);
    stage.Set2(5, 4, 5);
    stage.Set2(6, 4, 50);
    TListaCanali list;
    list.Insert(Channel("21", 470, 478, 70, 4));
    list.Insert(Channel("S3", 118, 125, 70, 3));
    TListaCanali::CheckHandled(list, stage, "", 1, 1);
    EXPECT_EQ(Messages(), Names{});
    ASSERT_EQ(NamesOf(list), (Names{"21"}));
    EXPECT_EQ(list.head->levelMin, 80.0f);
}

TEST_F(ChannelStages, CheckHandledWithoutAStageTableDoesNothing) {
    TInfo stage(2);
    TListaCanali list;
    list.Insert(Channel("21", 470, 478, 70, 4));
    TListaCanali::CheckHandled(list, stage, "Testata", 1, 1);
    EXPECT_EQ(Messages(), Names{});
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.head->levelMin, 70.0f);
}

TEST_F(ChannelStages, CheckHandledByInputAttenuatesPassesBlockedBandsAndDropsTheRest) {
    TListaCanali list;
    list.Insert(Channel("FM", 88, 108, 60, 2));
    list.Insert(Channel("S3", 118, 125, 70, 3));
    list.Insert(Channel("21", 470, 478, 70, 4));
    list.Insert(Channel("X", 950, 1150, 70, -1));  // a channel without band is never handled
    const auto att = Vec(LevelNone).Set(2, LevelBlocked).Set(4, 5);
    TListaCanali::CheckHandledByInput(list, att, "Miscelatore Y1", 2);
    EXPECT_EQ(Messages(), (Names{
                              "Miscelatore Y1: canale S3 non gestito dall'ingresso 2.",
                              "Miscelatore Y1: canale X non gestito dall'ingresso 2.",
                          }));
    ASSERT_EQ(NamesOf(list), (Names{"FM", "21"}));
    EXPECT_EQ(list.head->levelMin, 60.0f);
    EXPECT_EQ(list.head->next->levelMin, 65.0f);

    TListaCanali::CheckHandledByInput(list, nullptr, "Miscelatore Y1", 0);
    EXPECT_EQ(Messages(),
              (Names{"Miscelatore Y1: canale FM non gestito.", "Miscelatore Y1: canale 21 non gestito."}));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ChannelStages, CheckOutputConflictsMergesAChannelMetTwice) {
    TListaCanali output, first, second;
    first.Insert(Channel("21", 470, 478, 70, 4));
    second.Insert(Channel("21", 470, 478, 75, 4));
    second.Insert(Channel("22", 476, 486, 60, 4));  // overlaps 21 without sharing an edge
    TListaCanali::CheckOutputConflicts(output, first, false, "Derivatore R1", 2);
    EXPECT_EQ(Messages(), Names{});
    TListaCanali::CheckOutputConflicts(output, second, false, "Derivatore R1", 2);
    EXPECT_EQ(Messages(), (Names{
                              "Derivatore R1: canale 21 in conflitto sull'uscita 2.",
                              "Derivatore R1: canale 22 in conflitto sull'uscita 2.",
                          }));
    ASSERT_EQ(NamesOf(output), (Names{"21", "22"}));
    EXPECT_EQ(output.head->levelMin, 70.0f);
    EXPECT_EQ(output.head->levelMax, 75.0f);

    TListaCanali::CheckOutputConflicts(output, second, true, "Derivatore R1", 0);
    EXPECT_EQ(Messages(), Names{});
    TListaCanali::CheckOutputConflicts(output, first, false, "Derivatore R1", 0);
    EXPECT_EQ(Messages(), (Names{"Derivatore R1: canale 21 in conflitto."}));
}

TEST_F(ChannelStages, CheckInputsAttenuatesCopiesAndDropsBlockedBandsSilently) {
    TListaCanali output, input;
    input.Insert(Channel("FM", 88, 108, 60, 2));
    input.Insert(Channel("S3", 118, 125, 70, 3));
    input.Insert(Channel("21", 470, 478, 70, 4));
    const auto att = Vec(LevelNone).Set(2, LevelBlocked).Set(4, 3.5f);
    TListaCanali::CheckInputs(output, input, att, false, "Demiscelatore Y2", 1, 3);
    EXPECT_EQ(Messages(), (Names{"Demiscelatore Y2: canale S3 non gestito dall'ingresso 1."}));
    ASSERT_EQ(NamesOf(output), (Names{"21"}));
    EXPECT_EQ(output.head->levelMin, 66.5f);
    EXPECT_NEAR(output.head->noiseMax, Db(3.5) - 1, 1e-5);
    EXPECT_EQ(input.Count(), 3);  // the input is left as it was
    EXPECT_EQ(input.head->next->next->levelMin, 70.0f);

    TListaCanali::CheckInputs(output, input, att, false, "Demiscelatore Y2", 0, 3);
    EXPECT_EQ(Messages(), (Names{"Demiscelatore Y2: canale S3 non gestito.",
                                 "Demiscelatore Y2: canale 21 in conflitto sull'uscita 3."}));
    ASSERT_EQ(output.Count(), 1);
}

class AmplifierStage : public ChannelStages {
protected:
    Vec slope = Vec(LevelNone);
    Vec attIn = Vec(0);
    Vec gain = Vec(30);
    Vec noiseFigure = Vec(7);
    Vec maxLevel = Vec(110);

    void Pass(TListaCanali& output, const TListaCanali& input, int32_t inPort = 1, int32_t outPort = 1) {
        TListaCanali::PassAmplifier(output, input, slope, attIn, gain, noiseFigure, maxLevel, false,
                                    "Amplificatore A3", inPort, outPort);
    }
};

TEST_F(AmplifierStage, TerrestrialBandsAreDeratedForOverloadAndSatelliteBandsAreNot) {
    struct Case {
        int32_t band;
        float low;
        bool reported;
    };
    // clang-format off
    const Case cases[] = {
        {3, 174, true},    // "b. III"
        {5, 614, true},    // "b. V"
        {0, 10, true},     // the return channel
        {6, 950, false},   // "sat. 1"
        {10, 2300, false}, // "sat. 5"
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.band);
        TListaCanali input, output;
        input.Insert(Channel("a", c.low, c.low + 7, 78.5f, c.band));
        input.Insert(Channel("b", c.low + 7, c.low + 14, 60, c.band));
        input.Insert(Channel("c", c.low + 14, c.low + 21, 60, c.band));
        Pass(output, input, 1, 0);
        // "a" leaves at 108.5: below 110, above 110 - 2.26.
        if (c.reported) {
            EXPECT_EQ(Messages(),
                      (Names{"Amplificatore A3: il livello del canale a è troppo alto (massimo consentito "
                             "107,74dB)."}));
        } else {
            EXPECT_EQ(Messages(), Names{});
        }
        ASSERT_EQ(output.Count(), 3);
        EXPECT_EQ(output.head->levelMax, 108.5f);
    }
}

TEST_F(AmplifierStage, ALevelAboveTheMaximumIsReportedInEveryBandWithTheDeratedFigure) {
    TListaCanali input, output;
    input.Insert(Channel("Sat1", 950, 1150, 85, 6));
    input.Insert(Channel("Sat2", 1150, 1550, 60, 7));
    input.Insert(Channel("Sat3", 1550, 1950, 60, 8));
    Pass(output, input, 1, 4);
    EXPECT_EQ(Messages(), (Names{"Amplificatore A3: il livello del canale Sat1 è troppo alto sull'uscita 4 "
                                 "(massimo consentito 107,74dB)."}));
}

TEST_F(AmplifierStage, TheStageAddsTheSlopeToTheInputAttenuation) {
    slope.Set(4, 0).Set(5, LevelRepeat).Set(6, 12);  // 0 dB at 470 rising to 12 dB at 950
    attIn.Set(5, 1);
    noiseFigure.Set(5, -3);  // a negative noise figure counts as 0
    TListaCanali input, output;
    input.Insert(Channel("50", 702, 710, 60, 5));
    Pass(output, input);
    EXPECT_EQ(Messages(), Names{});
    ASSERT_EQ(output.Count(), 1);
    const double tilt = 12.0 / (950 - 470) * (706 - 470);
    const TCanale& c = *output.head;
    EXPECT_NEAR(c.levelMax, 60 - (1 + tilt) + 30, 1e-4);
    const double inLoss = Db(1 + tilt);
    EXPECT_NEAR(c.noiseMax, inLoss - 1, 1e-4);  // the amplifier adds no noise of its own
    EXPECT_NEAR(c.gainMin, Db(30) / inLoss, 1e-2);
}

TEST_F(AmplifierStage, BandsWithoutDataAreNotHandledAndSwitchedOffBandsAreDropped) {
    gain.Set(2, LevelBlocked);         // FM switched off: dropped silently
    attIn.Set(3, LevelBlocked);        // band III switched off too
    noiseFigure.Set(4, LevelNone);     // band IV without a noise figure
    maxLevel.Set(5, LevelReqEmpty);    // band V with a sentinel that is no value
    noiseFigure.Set(6, LevelBlocked);  // sat. 1: blocked noise figure counts as 0
    maxLevel.Set(6, LevelBlocked);     // and no maximum
    TListaCanali input, output;
    input.Insert(Channel("FM", 88, 108, 60, 2));
    input.Insert(Channel("S3", 118, 125, 60, 3));
    input.Insert(Channel("21", 470, 478, 60, 4));
    input.Insert(Channel("61", 790, 798, 60, 5));
    input.Insert(Channel("Sat1", 950, 1150, 100, 6));
    Pass(output, input, 2, 1);
    EXPECT_EQ(Messages(), (Names{"Amplificatore A3: canale 21 non gestito dall'ingresso 2.",
                                 "Amplificatore A3: canale 61 non gestito dall'ingresso 2."}));
    ASSERT_EQ(NamesOf(output), (Names{"Sat1"}));
    EXPECT_EQ(output.head->levelMax, 130.0f);
    EXPECT_EQ(output.head->noiseMax, 0.0f);
}

TEST_F(AmplifierStage, TwoInputsWithOneChannelGiveOneConflictAndOneMergedChannel) {
    TListaCanali one, two, output;
    one.Insert(Channel("21", 470, 478, 60, 4));
    two.Insert(Channel("21", 470, 478, 66, 4));
    Pass(output, one, 1, 2);
    Pass(output, two, 2, 2);
    EXPECT_EQ(Messages(), (Names{"Amplificatore A3: canale 21 in conflitto sull'uscita 2."}));
    ASSERT_EQ(output.Count(), 1);
    EXPECT_EQ(output.head->levelMin, 90.0f);
    EXPECT_EQ(output.head->levelMax, 96.0f);
}

TEST_F(ChannelStages, CheckLevelLimitsLevelsChannelsWithinTheInputWindow) {
    const auto minIn = Vec(50).Set(2, LevelNone);
    const auto maxIn = Vec(90);
    const auto attOut = Vec(3);
    const auto outLevel = Vec(110);
    const auto noiseFigure = Vec(8).Set(5, LevelBlocked).Set(6, LevelReqEmpty).Set(7, LevelNone);
    TListaCanali input, output;
    input.Insert(Channel("21", 470, 478, 70, 4));
    input.Insert(Channel("22", 478, 486, 95, 4));      // above the window
    input.Insert(Channel("23", 486, 494, 49, 4));      // below the window
    input.Insert(Channel("61", 790, 798, 60, 5));      // a blocked noise figure counts as none
    input.Insert(Channel("Sat1", 950, 1150, 60, 6));   // a sentinel noise figure: not handled
    input.Insert(Channel("Sat2", 1150, 1550, 60, 7));  // no noise figure: not handled
    input.Insert(Channel("FM", 88, 108, 60, 2));       // no minimum: not handled
    TListaCanali::CheckLevelLimits(output, input, minIn, maxIn, attOut, outLevel, noiseFigure, false,
                                   "Filtro attivo F2", 1, 1);
    EXPECT_EQ(
        Messages(),
        (Names{
            "Filtro attivo F2: canale FM non gestito dall'ingresso 1.",
            "Filtro attivo F2: il livello del canale 22 è al di fuori dei limiti consentiti sull'ingresso 1.",
            "Filtro attivo F2: il livello del canale 23 è al di fuori dei limiti consentiti sull'ingresso 1.",
            "Filtro attivo F2: canale Sat1 non gestito dall'ingresso 1.",
            "Filtro attivo F2: canale Sat2 non gestito dall'ingresso 1.",
        }));
    ASSERT_EQ(NamesOf(output), (Names{"21", "61"}));
    // Both leave at the output level less the output attenuation.
    EXPECT_NEAR(output.head->levelMin, 107, 1e-4);
    EXPECT_NEAR(output.head->levelMax, 107, 1e-4);
    EXPECT_NEAR(output.head->next->levelMax, 107, 1e-4);
    // 21: 20 dB down to the stage input, 60 dB of gain with 8 dB of noise figure, 3 dB out.
    EXPECT_NEAR(output.head->noiseMax, (Db(20) - 1) + (Db(8) - 1) / Db(-20) + (Db(3) - 1) / Db(40), 1e-3);
    // 61: the same without the amplifier's noise.
    EXPECT_NEAR(output.head->next->noiseMax, (Db(10) - 1) + (Db(3) - 1) / Db(50), 1e-3);

    TListaCanali again;
    again.Insert(Channel("22", 478, 486, 95, 4));
    again.Insert(Channel("21", 470, 478, 70, 4));
    TListaCanali::CheckLevelLimits(output, again, minIn, maxIn, attOut, outLevel, noiseFigure, false,
                                   "Filtro attivo F2", 0, 0);
    EXPECT_EQ(Messages(),
              (Names{
                  "Filtro attivo F2: canale 21 in conflitto.",
                  "Filtro attivo F2: il livello del canale 22 è al di fuori dei limiti consentiti.",
              }));
    TListaCanali::CheckLevelLimits(output, again, minIn, maxIn, attOut, outLevel, noiseFigure, true,
                                   "Filtro attivo F2", 0, 0);
    EXPECT_EQ(Messages(),
              (Names{"Filtro attivo F2: il livello del canale 22 è al di fuori dei limiti consentiti."}));
}

TEST_F(ChannelStages, CheckConflictsMergesTwoOrderedLists) {
    TListaCanali destination, source;
    destination.Insert(Channel("22", 478, 486, 60));
    destination.Insert(Channel("30", 542, 550, 60));
    source.Insert(Channel("21", 470, 478, 70));  // below the first: the new head
    source.Insert(Channel("22", 478, 486, 66));  // the same range
    source.Insert(Channel("25", 502, 510, 70));  // between
    source.Insert(Channel("40", 622, 630, 70));  // after the last
    TListaCanali::CheckConflicts(destination, source, 0, "Presa P4");
    EXPECT_EQ(Messages(), (Names{"Presa P4: canale 22 in conflitto."}));
    EXPECT_EQ(NamesOf(destination), (Names{"21", "22", "22", "25", "30", "40"}));

    TListaCanali merged;
    merged.Insert(Channel("22", 478, 486, 60));
    merged.Insert(Channel("30", 542, 550, 60));
    TListaCanali::CheckConflicts(merged, source, ConflictsQuiet | ConflictsMerge, "Presa P4");
    EXPECT_EQ(Messages(), Names{});
    ASSERT_EQ(NamesOf(merged), (Names{"21", "22", "25", "30", "40"}));
    EXPECT_EQ(merged.head->next->levelMin, 60.0f);
    EXPECT_EQ(merged.head->next->levelMax, 66.0f);

    TListaCanali quiet;
    quiet.Insert(Channel("22", 478, 486, 60));
    TListaCanali::CheckConflicts(quiet, source, 2, "Presa P4");  // either bit of ConflictsQuiet
    EXPECT_EQ(Messages(), Names{});
    EXPECT_EQ(quiet.Count(), 5);
}

TEST_F(ChannelStages, CheckConflictsIntoAnEmptyListCopiesTheSource) {
    TListaCanali destination, source, none;
    source.Insert(Channel("21", 470, 478));
    source.Insert(Channel("23", 486, 494));
    TListaCanali::CheckConflicts(destination, none, 0, "Presa P1");
    EXPECT_EQ(destination.head, nullptr);
    TListaCanali::CheckConflicts(destination, source, 0, "Presa P1");
    EXPECT_EQ(Messages(), Names{});
    EXPECT_EQ(NamesOf(destination), (Names{"21", "23"}));
    EXPECT_NE(destination.head, source.head);
}

}  // namespace

namespace {
// The names of a list in order, with each channel's level.
std::vector<std::string> Contents(const TListaCanali& list) {
    std::vector<std::string> out;
    for (const TCanale* c = list.head; c; c = c->next)
        out.push_back(c->name + "@" + std::to_string(c->levelMin));
    return out;
}
}  // namespace

// The in-order inserter, a cleared list's reused channels and placing in one
// walk give exactly the list that inserting fresh copies one by one gives: in order, out of order,
// with equal edges and with an edge that is not a number. Placing a run of
// channels through a placer (each run a stage's, the second onto the first's
// list) gives what placing them one by one gives.
TEST(ChannelList, OrderedInserterAndReusedChannelsMatchPlainInserts) {
    const float nan = std::nanf("");
    const std::vector<std::vector<TCanale>> cases = {
        {Channel("a", 470, 478), Channel("b", 478, 486), Channel("c", 486, 494)},
        {Channel("a", 470, 478), Channel("b", 470, 478, 60), Channel("c", 470, 486)},
        {Channel("a", 486, 494), Channel("b", 470, 478), Channel("c", 494, 502), Channel("d", 478, 486)},
        {Channel("a", 470, 478), Channel("n", nan, 486), Channel("c", 486, 494), Channel("d", 480, 490)},
        {Channel("n", nan, 478), Channel("a", 470, 478), Channel("b", 478, 486)},
        {Channel("a", 470, 486), Channel("b", 474, 482), Channel("c", 462, 474), Channel("d", 490, 498)},
        {Channel("a", 470, 478), Channel("b", 480, 488), Channel("c", 486, 494), Channel("d", 500, 508)},
        {Channel("a", 470, 478), Channel("b", 478, 478), Channel("c", 490, 498), Channel("n", 500, nan)},
        {},
    };
    // Placing by the rule written out plainly: two walks for the shared edge
    // and the overlap, a third to insert.
    auto plainPlace = [](TListaCanali& output, const TCanale& channel) {
        const TCanale* found = nullptr;
        for (TCanale* c = output.head; c && !found; c = c->next)
            if (c->freqLow == channel.freqLow || c->freqHigh == channel.freqHigh) found = c;
        for (TCanale* c = output.head; c && !found; c = c->next)
            if (c->freqHigh > channel.freqLow && c->freqLow < channel.freqHigh) found = c;
        if (found && found->freqLow == channel.freqLow && found->freqHigh == channel.freqHigh)
            const_cast<TCanale*>(found)->MergeRanges(channel);
        else
            output.Insert(channel);
        return found != nullptr;
    };
    TListaCanali reused;
    for (const auto& channels : cases) {
        TListaCanali placedPlainly, placed, placedInRuns;
        for (int round = 0; round < 2; ++round) {
            TPosatoreCanali placer(placedInRuns);
            for (const TCanale& c : channels) {
                bool conflict = false, conflictInRun = false;
                TListaCanali::Place(placed, c, conflict);
                const bool expected = plainPlace(placedPlainly, c);
                EXPECT_EQ(conflict, expected) << c.name;
                placer.Place(c, conflictInRun);
                EXPECT_EQ(conflictInRun, expected) << c.name << " in a run";
            }
        }
        EXPECT_EQ(Contents(placed), Contents(placedPlainly));
        EXPECT_EQ(Contents(placedInRuns), Contents(placedPlainly));
        TListaCanali plain;
        for (const TCanale& c : channels) plain.Insert(c);
        TListaCanali ordered;
        TInseritoreCanali inserter(ordered);
        for (const TCanale& c : channels) inserter.Insert(c);
        EXPECT_EQ(Contents(ordered), Contents(plain));
        // A list refilled after a clear, through both ways of inserting.
        reused.Clear();
        TInseritoreCanali again(reused);
        for (const TCanale& c : channels) again.Insert(c);
        EXPECT_EQ(Contents(reused), Contents(plain));
        // AddAll inserts the source's channels one by one in the source's order.
        TListaCanali oneByOne, copy;
        for (const TCanale* c = plain.head; c; c = c->next) oneByOne.Insert(*c);
        TListaCanali::AddAll(plain, copy);
        EXPECT_EQ(Contents(copy), Contents(oneByOne));
    }
}
