// Signal sources: the antenna (code 38) and the satellite converter (code
// 39): the channels they create, their layouts, band systems, prototypes,
// records with every older form, and the antenna's channel grid in the data
// form.
#include "cells/sources.h"

#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>
#include <vector>

#include "cells/factory.h"
#include "cells/mouse_info.h"
#include "cells/pass_links.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/file.h"
#include "core/globals.h"
#include "cells/combo_string_grid.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/stdctrls.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

using K = TPortKind;
using E = TSide;

constexpr int32_t Quiet = 0x200;

std::unique_ptr<TCella> Make(int32_t code, int32_t through = 1, int32_t column = 0, int32_t row = 0) {
    return std::unique_ptr<TCella>(NewCella(nullptr, code, column, row, 0, through, 0));
}

TCanale PlanChannel(TCanalizzazione& plan, const char* name, float level) {
    TCanale c;
    const int row = plan.IndexOf(name);
    EXPECT_GE(row, 0) << name;
    plan.SetChannel(c, row);
    c.band = SistemaBandeCorrente->BandOf(c.CentreFrequency());
    c.levelMin = level;
    return c;
}

std::vector<AnsiString> Names(const TListaCanali* list) {
    std::vector<AnsiString> names;
    for (const TCanale* c = list ? list->head : nullptr; c; c = c->next) names.push_back(c->name);
    return names;
}

class SourcesTest : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(&messages); }
    std::vector<AnsiString> Messages() const { return MessagesOf(messages); }
    TListBox messages;
};

// ---- Factory, layouts, turning ----

TEST(SourceFactory, CodesBuildTheirClassWithTheirPortsAndTable) {
    auto antenna = Make(38, 5);
    const TCella& a = *antenna;
    EXPECT_EQ(typeid(a), typeid(TAntenna));
    EXPECT_EQ(antenna->Kind, 38);
    EXPECT_EQ(antenna->Category, "Antenne");
    EXPECT_EQ(antenna->NumInputs, 0);
    EXPECT_EQ(antenna->NumThroughOutputs, 1);
    EXPECT_EQ(antenna->Attenuation->Size3(), 6);
    EXPECT_TRUE(antenna->IsSignalStart());

    auto sat = Make(39, 4);
    const TCella& s = *sat;
    EXPECT_EQ(typeid(s), typeid(TSat));
    EXPECT_EQ(sat->Category, "Convertitori LNB");
    EXPECT_EQ(sat->NumThroughOutputs, 4);
    EXPECT_EQ(sat->TableRows, 4);
    EXPECT_EQ(sat->Attenuation->Size3(), 6);
    EXPECT_EQ(sat->Characteristics[0] & 4u, 4u);  // "LNB Quad"
    EXPECT_TRUE(sat->IsSignalStart());
    const auto& converter = dynamic_cast<TSat&>(*sat);
    EXPECT_EQ(converter.UseSatBands[3], 1);
    EXPECT_EQ(converter.OutputByte[3], 255);
    EXPECT_EQ(converter.OutputValue[3], LevelNone);
}

TEST(SourceLayout, AConverterIsAStripOfAtLeastThreeSquares) {
    struct Case {
        int32_t outputs, width;
        std::vector<int32_t> columns;
    };
    // clang-format off
    const Case cases[] = {
        {1, 3, {1}},
        {2, 3, {0, 1}},
        {3, 3, {0, 1, 2}},
        {16, 16, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(39, c.outputs, 10, 4);
        const TCellLayout layout = dynamic_cast<TSat&>(*cell).Layout();
        EXPECT_EQ(layout.Width, c.width) << c.outputs;
        EXPECT_EQ(layout.Height, 1) << c.outputs;
        std::vector<TCellPort> expected;
        for (size_t k = 0; k < c.columns.size(); ++k)
            expected.push_back({K::Through, static_cast<int32_t>(k), c.columns[k], 0, E::Bottom});
        EXPECT_EQ(layout.Ports, expected) << c.outputs;
        EXPECT_EQ(cell->GetGridRect(), (TCellRect{4, 10, 4, 10 + c.width - 1})) << c.outputs;
    }
    auto antenna = Make(38);
    EXPECT_EQ(antenna->GetGridRect(), (TCellRect{0, 0, 0, 0}));
}

TEST(SourceLayout, SourcesAndTheWideBandAmplifierStayAsDrawn) {
    for (int32_t code : {38, 39, 40}) {
        std::unique_ptr<TCella> cell(NewCella(nullptr, code, 3, 3, 1, 1, 0));
        EXPECT_FALSE(cell->Rotate(1)) << code;
        EXPECT_EQ(cell->Orientation, 0) << code;
    }
}

TEST(SourceNames, TheConverterNamesItsOutputsAlongTheStrip) {
    auto cell = Make(39, 2, 10, 0);
    struct Case {
        int32_t column;
        const char* name;
        int32_t output;
    };
    for (const Case& c : {Case{10, "uscita 1", 0}, Case{11, "uscita 2", 1}, Case{12, "", -1}}) {
        TInfoMousePos position;
        position.Column = c.column;
        cell->GetPortName(position);
        EXPECT_EQ(position.PortName, c.name);
        EXPECT_EQ(position.ThroughOutput, c.output);
    }
    auto antenna = Make(38);
    TInfoMousePos position;
    antenna->GetPortName(position);
    EXPECT_EQ(position.PortName, "uscita");
}

TEST_F(SourcesTest, MirroringAConverterKeepsRowsListsAndBandModesWithTheirOutputs) {
    auto cell = Make(39, 3, 10, 5);
    auto& sat = dynamic_cast<TSat&>(*cell);
    sat.Attenuation->Set3(0, SatGainColumn, SatGainSlot, 40.0f);
    sat.UseSatBands[0] = 0;
    sat.OutputChannels[0]->Insert(PlanChannel(*CanalizzazioneEuropa, "21", 70.0f));
    sat.Mirror();
    EXPECT_EQ(sat.Attenuation->Get3(2, SatGainColumn, SatGainSlot), 40.0f);
    EXPECT_EQ(sat.UseSatBands[2], 0);
    EXPECT_EQ(sat.UseSatBands[0], 1);
    EXPECT_EQ(sat.OutputChannels[2]->Count(), 1);
    EXPECT_EQ(sat.OutputChannels[0]->Count(), 0);
}

// ---- Channels ----

TEST_F(SourcesTest, AnAntennaGivesItsChannelsWithTheirFloorsAndReportsWhatItCannotGive) {
    auto cell = Make(38);
    auto& antenna = dynamic_cast<TAntenna&>(*cell);
    antenna.SequenceNumber = 1;
    antenna.Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, 470.0f);
    antenna.Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, 862.0f);
    antenna.SourceChannels->Insert(PlanChannel(*CanalizzazioneEuropa, "5", 70.0f));
    antenna.SourceChannels->Insert(PlanChannel(*CanalizzazioneEuropa, "21", LevelNone));
    antenna.SourceChannels->Insert(PlanChannel(*CanalizzazioneEuropa, "30", 80.0f));
    for (int32_t flags : {0, Quiet}) {
        messages.Items->Clear();
        antenna.ComputeChannels(flags, 0, NextPassNumber());
        const TListaCanali* out = OutputList(antenna, 0);
        EXPECT_EQ(Names(out), (std::vector<AnsiString>{"5", "30"})) << flags;
        const TCanale* c = out->head->next;
        EXPECT_EQ(c->levelMax, 80.0f);
        EXPECT_EQ(c->floorMin, 77.5f);
        EXPECT_EQ(c->floorMax, 77.5f);
        EXPECT_EQ(c->sourceCNMin, 77.5f);
        EXPECT_EQ(c->sourceCNMax, 77.5f);
        EXPECT_EQ(c->gainMin, 1.0f);
        EXPECT_EQ(c->noiseMax, 0.0f);
        EXPECT_EQ(c->sources, "An1");
        if (flags == Quiet)
            EXPECT_TRUE(Messages().empty());
        else
            EXPECT_EQ(Messages(),
                      (std::vector<AnsiString>{"An1: Il canale 5 non è gestito dall'antenna.",
                                               "An1: Il canale 21 non è specificato completamente."}));
    }
    // The antenna's own list is not touched.
    EXPECT_EQ(antenna.SourceChannels->Count(), 3);
}

TEST_F(SourcesTest, AConverterOutputInSatelliteBandModeGivesOneChannelPerGivenBand) {
    auto cell = Make(39, 1);
    auto& sat = dynamic_cast<TSat&>(*cell);
    sat.SequenceNumber = 1;
    sat.Attenuation->Set3(0, SatGainColumn, SatGainSlot, 50.0f);
    sat.Attenuation->Set3(0, SatLevelColumn, 6, 70.0f);
    sat.Attenuation->Set3(0, SatLevelColumn, 7, -3.0f);
    sat.Attenuation->Set3(0, SatLevelColumn, 8, LevelBlocked);
    sat.Attenuation->Set3(0, SatLevelColumn, 9, 72.0f);
    sat.Attenuation->Set3(0, SatLevelColumn, 10, LevelBlocked);
    sat.Attenuation->Set3(0, SatCarrierNoiseColumn, 6, 14.0f);
    sat.Attenuation->Set3(0, SatCarrierNoiseColumn, 9, LevelBlocked);
    sat.ComputeChannels(0, 0, NextPassNumber());
    const TListaCanali* out = OutputList(sat, 0);
    // Sat2's level of -3 is reported; its channel is still given, as is every
    // band with a level above "no value". "*" marks a band the output does
    // not carry.
    EXPECT_EQ(Names(out), (std::vector<AnsiString>{"Sat1", "Sat2", "Sat4"}));
    EXPECT_EQ(Messages(), std::vector<AnsiString>{"Sa1: Errore sui dati in banda sat. 2 all'uscita 1."});
    const TCanale* first = out->head;
    EXPECT_EQ(first->label, "Banda satellitare");
    EXPECT_EQ(first->band, 6);
    EXPECT_EQ(first->levelMin, 70.0f);
    EXPECT_EQ(first->floorMin, 14.0f);
    EXPECT_EQ(first->sourceCNMax, 14.0f);
    EXPECT_NEAR(first->gainMin, 100000.0f, 1e-1);
    EXPECT_EQ(first->sources, "Sa1");
    EXPECT_EQ(out->head->next->next->floorMin, 0.0f);  // "*" counts as 0

    messages.Items->Clear();
    sat.ComputeChannels(Quiet, 0, NextPassNumber());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SourcesTest, AConverterOutputWithItsOwnChannelsChecksThemAndAMissingGainEmptiesOnlyThatOutput) {
    auto cell = Make(39, 2);
    auto& sat = dynamic_cast<TSat&>(*cell);
    sat.SequenceNumber = 1;
    TCanale typed;
    typed.name = "T1";
    typed.freqLow = 10700.0f;
    typed.freqHigh = 10750.0f;
    typed.levelMin = 60.0f;
    typed.floorMin = 12.0f;
    TCanale incomplete = typed;
    incomplete.name = "T0";
    incomplete.freqLow = 1000.0f;
    incomplete.freqHigh = 1020.0f;
    incomplete.floorMin = LevelNone;
    for (int32_t o : {0, 1}) {
        sat.UseSatBands[static_cast<size_t>(o)] = 0;
        sat.OutputChannels[static_cast<size_t>(o)]->Insert(incomplete);
        sat.OutputChannels[static_cast<size_t>(o)]->Insert(typed);
    }
    sat.Attenuation->Set3(1, SatGainColumn, SatGainSlot, 30.0f);  // output 1 has no gain
    sat.ComputeChannels(0, 0, NextPassNumber());
    EXPECT_EQ(OutputList(sat, 0)->Count(), 0);
    EXPECT_EQ(Names(OutputList(sat, 1)), std::vector<AnsiString>{"T1"});
    const TCanale* kept = OutputList(sat, 1)->head;
    EXPECT_EQ(kept->levelMax, 60.0f);
    EXPECT_EQ(kept->sourceCNMin, 12.0f);
    EXPECT_EQ(kept->floorMax, 12.0f);
    EXPECT_NEAR(kept->gainMax, 1000.0f, 1e-3);
    EXPECT_EQ(Messages(), (std::vector<AnsiString>{"Sa1: Il canale T0 non è specificato completamente.",
                                                   "Sa1: Il guadagno non è stato specificato.",
                                                   "Sa1: Il canale T0 non è specificato completamente.",
                                                   "Sa1: Il canale T1 non è su frequenze satellitari."}));
}

// ---- Band systems, copies, prototypes ----

TEST_F(SourcesTest, TheAntennaKeepsItsRangeAcrossBandSystemsTheConverterConvertsItsLevels) {
    auto antenna = Make(38);
    antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, 470.0f);
    antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, 862.0f);
    antenna->SetBandSystem(SistemaBande2);
    EXPECT_EQ(antenna->BandSystem, SistemaBande2);
    EXPECT_EQ(antenna->Attenuation->Get3(0, AntennaRangeColumn, AntennaLowestSlot), 470.0f);
    EXPECT_EQ(antenna->Attenuation->Get3(0, AntennaRangeColumn, AntennaHighestSlot), 862.0f);

    auto sat = Make(39, 1);
    for (int32_t k : {SatLevelColumn, SatCarrierNoiseColumn, SatGainColumn})
        for (int32_t b = 0; b < 11; ++b) sat->Attenuation->Set3(0, k, b, 10.0f * k + b);
    float expected[BandSlots];
    for (int32_t b = 0; b < BandSlots; ++b) expected[b] = sat->Attenuation->Get3(0, SatLevelColumn, b);
    SistemaBande3->LevelsByBand(*SistemaBande2, expected);
    sat->SetBandSystem(SistemaBande2);
    EXPECT_EQ(sat->BandSystem, SistemaBande2);
    for (int32_t b = 0; b < BandSlots; ++b) {
        EXPECT_EQ(sat->Attenuation->Get3(0, SatLevelColumn, b), expected[b]) << b;
        EXPECT_EQ(sat->Attenuation->Get3(0, SatGainColumn, b), b < 11 ? 20.0f + b : LevelNone) << b;
    }
    EXPECT_NE(expected[6], 6.0f);  // the conversion moved the satellite bands
}

TEST_F(SourcesTest, CopiesCarryTheMastValuesBandModesAndChannelLists) {
    auto from = Make(39, 2), to = Make(39, 2);
    auto& a = dynamic_cast<TSat&>(*from);
    a.WindArea = 0.5f;
    a.SatValue1 = 3.0f;
    a.SatValue4 = 4.0f;
    a.UseSatBands[1] = 0;
    a.OutputByte[1] = 7;
    a.OutputValue[1] = 8.0f;
    a.OutputChannels[1]->Insert(PlanChannel(*CanalizzazioneEuropa, "21", 70.0f));
    a.Assign(to.get());
    auto& b = dynamic_cast<TSat&>(*to);
    EXPECT_EQ(b.WindArea, 0.5f);
    EXPECT_EQ(b.SatValue1, 3.0f);
    EXPECT_EQ(b.SatValue4, 4.0f);
    EXPECT_EQ(b.UseSatBands[1], 0);
    EXPECT_EQ(b.OutputByte[1], 7);
    EXPECT_EQ(b.OutputValue[1], 8.0f);
    EXPECT_EQ(Names(b.OutputChannels[1].get()), std::vector<AnsiString>{"21"});
    EXPECT_NE(b.OutputChannels[1]->head, a.OutputChannels[1]->head);

    auto antenna = Make(38), other = Make(38);
    auto& x = dynamic_cast<TAntenna&>(*antenna);
    x.Shape = 2;
    x.WindSpeed = 130.0f;
    x.SourceChannels->Insert(PlanChannel(*CanalizzazioneEuropa, "40", 70.0f));
    x.Assign(other.get());
    auto& y = dynamic_cast<TAntenna&>(*other);
    EXPECT_EQ(y.Shape, 2);
    EXPECT_EQ(y.WindSpeed, 130.0f);
    EXPECT_EQ(Names(y.SourceChannels.get()), std::vector<AnsiString>{"40"});
}

TEST_F(SourcesTest, PrototypesStopAtEightConverterOutputs) {
    ScopedPrototypes prototypes;
    EXPECT_NE(Make(38)->GetPrototype(), nullptr);
    EXPECT_NE(Make(39, 8)->GetPrototype(), nullptr);
    EXPECT_EQ(Make(39, 9)->GetPrototype(), nullptr);
    EXPECT_EQ(Make(39, 16)->GetPrototype(), nullptr);
    EXPECT_NE(Make(39, 2)->GetPrototype(), Make(39, 3)->GetPrototype());
}

// ---- Records ----

std::string Saved(TCella& cell, int32_t version = 60000) { return SavedRecord(cell, version); }

TRecordResult ReadInto(TCella& cell, const std::string& bytes, int32_t version) {
    return ReadRecordInto(cell, bytes, version);
}

std::string ListBytes(const TListaCanali& list) {
    TMemoryStream s;
    list.Write(s, 60000);
    return s.Bytes();
}

TEST_F(SourcesTest, AnAntennaWritesItsMastValuesAndChannelsAfterTheBaseRecord) {
    auto cell = Make(38);
    auto& antenna = dynamic_cast<TAntenna&>(*cell);
    antenna.Shape = 1;
    antenna.WindThrust = 120.0f;
    antenna.WindSpeed = 150.0f;
    antenna.WindArea = 0.25f;
    antenna.SourceChannels->Insert(PlanChannel(*CanalizzazioneEuropa, "21", 60.0f));
    antenna.SourceChannels->Insert(PlanChannel(*CanalizzazioneEuropa, "40", 58.5f));
    TMemoryStream base;
    antenna.TCella::Save(base, 60000);
    RecordBytes tail;
    tail.Raw(base.Bytes()).U8(1).F32(120.0f).F32(150.0f).F32(0.25f).Raw(ListBytes(*antenna.SourceChannels));
    const std::string bytes = Saved(antenna);
    EXPECT_EQ(bytes, tail.Bytes()) << HexDump(bytes);

    auto back = Make(38);
    ASSERT_EQ(ReadInto(*back, bytes, 60000), TRecordResult::Ok);
    auto& read = dynamic_cast<TAntenna&>(*back);
    EXPECT_EQ(read.Shape, 1);
    EXPECT_EQ(read.WindArea, 0.25f);
    EXPECT_EQ(Names(read.SourceChannels.get()), (std::vector<AnsiString>{"21", "40"}));
    EXPECT_EQ(read.SourceChannels->head->next->levelMin, 58.5f);
    EXPECT_EQ(Saved(read), bytes);
}

TEST_F(SourcesTest, AConverterWritesItsValuesThenEveryOutputAfterTheBaseRecord) {
    auto cell = Make(39, 2);
    auto& sat = dynamic_cast<TSat&>(*cell);
    sat.SatValue1 = 1.0f;
    sat.WindThrust = 2.0f;
    sat.SatValue4 = 3.0f;
    sat.WindArea = 4.0f;
    sat.OutputByte[1] = 9;
    sat.OutputValue[1] = 5.5f;
    sat.UseSatBands[1] = 0;
    sat.OutputChannels[1]->Insert(PlanChannel(*CanalizzazioneEuropa, "21", 60.0f));
    TMemoryStream base;
    sat.TCella::Save(base, 60000);
    RecordBytes expected;
    expected.Raw(base.Bytes()).F32(1.0f).F32(2.0f).F32(3.0f).F32(4.0f);
    expected.U8(255).F32(LevelNone).U8(1).Raw(ListBytes(*sat.OutputChannels[0]));
    expected.U8(9).F32(5.5f).U8(0).Raw(ListBytes(*sat.OutputChannels[1]));
    const std::string bytes = Saved(sat);
    EXPECT_EQ(bytes, expected.Bytes()) << HexDump(bytes);

    auto back = Make(39, 2);
    ASSERT_EQ(ReadInto(*back, bytes, 60000), TRecordResult::Ok);
    EXPECT_EQ(Saved(*back), bytes);
    // A converter of more outputs than its arrays hold is refused before anything is read.
    for (int32_t outputs : {0, 17}) {
        std::unique_ptr<TCella> damaged(NewCella(nullptr, 39, 0, 0, 0, outputs, 0));
        ASSERT_NE(damaged, nullptr);
        EXPECT_EQ(ReadInto(*damaged, bytes, 60000), TRecordResult::Damaged) << outputs;
    }
}

TEST_F(SourcesTest, TheQuadFlagFollowsTheBandModesOfEveryOutputBelowSixtyThousand) {
    struct Case {
        int32_t version;
        std::vector<uint8_t> modes;
        bool quad;
    };
    // clang-format off
    const Case cases[] = {
        {50001, {1, 1}, true},
        {50001, {1, 0}, false},
        {60000, {1, 0}, true},   // stored as it is from 60000 on
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(39, 2);
        auto& sat = dynamic_cast<TSat&>(*cell);
        for (size_t o = 0; o < c.modes.size(); ++o) sat.UseSatBands[o] = c.modes[o];
        auto back = Make(39, 2);
        ASSERT_EQ(ReadInto(*back, Saved(sat, c.version), c.version), TRecordResult::Ok);
        EXPECT_EQ((back->Characteristics[0] & 4u) != 0, c.quad) << c.version;
    }
}

// A record below version 20000: grid selector, geometry, 6 band vectors of
// 10 floats (vector 5 holding the count of old channels in its first value
// and, for a converter, its band mode in its second), the raw texts.
RecordBytes OldHead(float count, float mode, float gain) {
    RecordBytes b;
    b.Zeros(RecordHeadBytes);
    b.I32(0).I32(0).I32(0).I32(3).I32(8);
    for (int k = 0; k < 6; ++k)
        for (int i = 0; i < 10; ++i)
            b.F32(k == 5 ? (i == 0 ? count : i == 1 ? mode : -1.0f) : k == 2 ? gain : -1.0f);
    b.Fixed("Vecchio", 30).Fixed("", 100).Fixed("", 20).Fixed("", 20).Fixed("", 15);
    b.U8(1).I32(5).U8(0);
    return b;
}

TEST_F(SourcesTest, AnOldAntennaLooksItsChannelsUpInTheItalianPlan) {
    TProgetto project(nullptr);
    TProgettoInCaricamento loading(&project);
    RecordBytes b = OldHead(2.0f, 0.0f, -1.0f);
    b.Fixed("21", 8).Fixed("Rai 1", 21).F32(65.0f);
    b.Fixed("H", 8).Fixed("", 21).F32(-1.0f);
    auto cell = Make(38);
    ASSERT_EQ(ReadInto(*cell, b.Bytes(), 10000), TRecordResult::Ok);
    auto& antenna = dynamic_cast<TAntenna&>(*cell);
    EXPECT_EQ(antenna.Owner, project.HeadEndGrid);
    EXPECT_EQ(antenna.Attenuation->Get3(0, 5, 0), LevelNone);
    ASSERT_EQ(antenna.SourceChannels->Count(), 2);
    const int row = CanalizzazioneItalia->IndexOf("21");
    ASSERT_GE(row, 0);
    const TCanale* c21 = antenna.SourceChannels->head->name == "21" ? antenna.SourceChannels->head
                                                                    : antenna.SourceChannels->head->next;
    EXPECT_EQ(c21->freqLow, CanalizzazioneItalia->Row(row).lowEdge);
    EXPECT_EQ(c21->label, "Rai 1");
    EXPECT_EQ(c21->levelMin, 65.0f);
    EXPECT_EQ(c21->signalType, SignalAnalog);
    EXPECT_EQ(c21->modulation, ModulationFMAM);
    EXPECT_EQ(c21->plan, CanalizzazioneItalia);
    EXPECT_EQ(c21->band, SistemaBandeCorrente->BandOf(c21->CentreFrequency()));
    // The old "no value" of the second channel is today's.
    const TCanale* other = c21 == antenna.SourceChannels->head ? c21->next : antenna.SourceChannels->head;
    EXPECT_EQ(other->levelMin, LevelNone);

    for (float count : {-1.0f, 1.5f, 3.0f}) {
        RecordBytes damaged = OldHead(count, 0.0f, -1.0f);
        damaged.Fixed("21", 8).Fixed("", 21).F32(65.0f);
        damaged.Fixed("22", 8).Fixed("", 21).F32(65.0f);
        auto refused = Make(38);
        EXPECT_NE(ReadInto(*refused, damaged.Bytes(), 10000), TRecordResult::Ok) << count;
    }
}

TEST_F(SourcesTest, AnOldConverterReadsItsOutputsRowsAndChannels) {
    TProgetto project(nullptr);
    TProgettoInCaricamento loading(&project);
    // Two outputs: the first in satellite-band mode without channels, the
    // second with one channel of its own; the gain of the old bands.
    RecordBytes b = OldHead(0.0f, 1.0f, 45.0f);
    b.I32(2);
    for (int k = 0; k < 6; ++k)
        for (int i = 0; i < 10; ++i)
            b.F32(k == 5 ? (i == 0 ? 1.0f : i == 1 ? 0.0f : -1.0f) : k == 2 ? 47.0f : -1.0f);
    b.Fixed("K1", 20).F32(1100.0f).F32(1130.0f).I32(5).Fixed("Canale", 21).F32(62.0f).F32(-1.0f);
    auto cell = Make(39, 0);
    ASSERT_EQ(ReadInto(*cell, b.Bytes(), 10000), TRecordResult::Ok);
    auto& sat = dynamic_cast<TSat&>(*cell);
    EXPECT_EQ(sat.NumThroughOutputs, 2);
    EXPECT_EQ(sat.UseSatBands[0], 1);
    EXPECT_EQ(sat.UseSatBands[1], 0);
    EXPECT_EQ(sat.OutputChannels[0]->Count(), 0);
    ASSERT_EQ(sat.OutputChannels[1]->Count(), 1);
    const TCanale* k1 = sat.OutputChannels[1]->head;
    EXPECT_EQ(k1->name, "K1");
    EXPECT_EQ(k1->freqHigh, 1130.0f);
    EXPECT_EQ(k1->levelMin, 62.0f);
    EXPECT_EQ(k1->floorMin, LevelNone);
    EXPECT_EQ(k1->signalType, SignalDigital);
    EXPECT_EQ(k1->modulation, ModulationQPSK);
    // The second row's gain came into slot 6 with the bands' conversion and goes back to 5.
    EXPECT_EQ(sat.Attenuation->Get3(1, SatGainColumn, SatGainSlot), 47.0f);
    EXPECT_EQ(sat.Attenuation->Get3(1, SatGainColumn, 6), LevelNone);
    for (int32_t o : {0, 1}) {
        EXPECT_EQ(sat.Attenuation->Get3(o, 5, 0), LevelNone) << o;
        EXPECT_EQ(sat.Attenuation->Get3(o, 5, 1), LevelNone) << o;
    }
    // Not every output in satellite-band mode: no "LNB Quad".
    EXPECT_EQ(sat.Characteristics[0] & 4u, 0u);

    for (int32_t outputs : {0, 17}) {
        RecordBytes damaged = OldHead(0.0f, 1.0f, 45.0f);
        damaged.I32(outputs);
        auto refused = Make(39, 0);
        EXPECT_NE(ReadInto(*refused, damaged.Bytes(), 10000), TRecordResult::Ok) << outputs;
    }
}

// ---- The data form ----

class AntennaDialog : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
};

TEST_F(AntennaDialog, TheChannelGridShowsEveryChannelAndReadsBackThroughThePlans) {
    auto cell = Make(38);
    auto& antenna = dynamic_cast<TAntenna&>(*cell);
    TCanale digital = PlanChannel(*CanalizzazioneEuropa, "21", 60.0f);
    digital.signalType = SignalDigital;
    digital.label = "Rai";
    antenna.SourceChannels->Insert(digital);
    antenna.SourceChannels->Insert(PlanChannel(*CanalizzazioneItalia, "H", LevelNone));
    antenna.Shape = 1;
    antenna.WindArea = 0.5f;

    TDatiComponenti& form = dialog.Get();
    antenna.FillDataDialogDefault(&form);
    TComboStringGrid& grid = *form.GridCanali5;
    ASSERT_EQ(grid.RowCount, 4);
    const std::vector<std::vector<AnsiString>> rows = {
        {"Italia", "H", "A", "", ""}, {"Europa", "21", "D", "Rai", "60"}, {"Europa", "", "", "", ""}};
    // The channels in frequency order, then the offer of a new one.
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 5; ++col)
            EXPECT_EQ(grid.Cell(col, r + 1), rows[static_cast<size_t>(r)][static_cast<size_t>(col)])
                << r << "," << col;
    EXPECT_EQ(form.ComboForma->ItemIndex, 1);
    EXPECT_EQ(form.EditArea->Text, "0,5");

    // A row of a channel its plan does not hold and a row of an unknown plan are dropped.
    grid.RowCount = 7;
    const std::vector<std::vector<AnsiString>> typed = {
        {"Europa", "22", "A", "Nuovo canale con un nome troppo lungo", "71,5"},
        {"Europa", "H", "A", "", "70"},
        {"Marte", "21", "A", "", "70"},
    };
    for (int r = 0; r < 3; ++r)
        for (int col = 0; col < 5; ++col)
            grid.SetCell(col, r + 3, typed[static_cast<size_t>(r)][static_cast<size_t>(col)]);
    grid.SetCell(0, 6, "Europa");
    grid.SetCell(1, 6, "30");  // the last row is never read
    form.EditArea->Text = "";
    antenna.ReadDataDialogDefault(&form);
    EXPECT_EQ(Names(antenna.SourceChannels.get()), (std::vector<AnsiString>{"H", "21", "22"}));
    const TCanale* added = antenna.SourceChannels->head->next->next;
    EXPECT_EQ(added->levelMin, 71.5f);
    EXPECT_EQ(added->label, "Nuovo canale con un ");
    EXPECT_EQ(added->plan, CanalizzazioneEuropa);
    EXPECT_EQ(antenna.SourceChannels->head->next->signalType, SignalDigital);
    EXPECT_EQ(antenna.SourceChannels->head->levelMin, LevelNone);
    EXPECT_EQ(antenna.WindArea, LevelNone);
}

}  // namespace

namespace {

TEST_F(AntennaDialog, TheConverterHandsEachOutputsListAndModeToTheFormAndBack) {
    auto cell = Make(39, 2);
    auto& sat = dynamic_cast<TSat&>(*cell);
    sat.UseSatBands[1] = 0;
    sat.OutputChannels[1]->Insert(PlanChannel(*CanalizzazioneEuropa, "21", 70.0f));
    sat.WindThrust = 40.0f;
    TDatiComponenti& form = dialog.Get();
    sat.FillDataDialogDefault(&form);
    EXPECT_EQ(form.BandRowByte[0], 1);
    EXPECT_EQ(form.BandRowByte[1], 0);
    EXPECT_EQ(Names(&form.ChannelLists[1]), std::vector<AnsiString>{"21"});
    EXPECT_EQ(form.EditSpinta->Text, "40");
    // The form's lists are copies: what the person changes reaches the cell on reading.
    form.ChannelLists[1].Clear();
    form.ChannelLists[0].Insert(PlanChannel(*CanalizzazioneEuropa, "40", 60.0f));
    form.BandRowByte[0] = 0;
    EXPECT_EQ(sat.OutputChannels[1]->Count(), 1);
    sat.ReadDataDialogDefault(&form);
    EXPECT_EQ(sat.UseSatBands[0], 0);
    EXPECT_EQ(Names(sat.OutputChannels[0].get()), std::vector<AnsiString>{"40"});
    EXPECT_EQ(sat.OutputChannels[1]->Count(), 0);
}

TEST_F(SourcesTest, AnAntennaNeedsBothEndsOfItsRange) {
    const AnsiString prefix = "Dati componente errati a causa del seguante problema: ";
    auto cell = Make(38);
    cell->Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, 470.0f);
    EXPECT_FALSE(cell->CheckData(prefix));
    EXPECT_EQ(Messages(), std::vector<AnsiString>{prefix + "I dati del componente sono incompleti."});
    cell->Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, 862.0f);
    EXPECT_TRUE(cell->CheckData(prefix));
    // Whatever a converter holds, the channel pass reports it.
    EXPECT_TRUE(Make(39, 2)->CheckData(prefix));
}

}  // namespace

namespace {

TEST_F(SourcesTest, AntennaAndConverterRecordsMatchTheirGoldenBytes) {
    auto antennaCell = Make(38);
    auto& antenna = dynamic_cast<TAntenna&>(*antennaCell);
    antenna.Shape = 1;
    antenna.WindThrust = 120.0f;
    antenna.WindSpeed = 150.0f;
    antenna.WindArea = 0.25f;
    antenna.SourceChannels->Insert(PlanChannel(*CanalizzazioneEuropa, "21", 60.0f));
    antenna.SourceChannels->Insert(PlanChannel(*CanalizzazioneEuropa, "40", 58.5f));
    const std::string antennaGolden = ReadHexFixture("antenna_60000.hex");
    EXPECT_EQ(Saved(antenna), antennaGolden) << HexDump(Saved(antenna));

    auto satCell = Make(39, 2);
    auto& sat = dynamic_cast<TSat&>(*satCell);
    sat.UseSatBands[1] = 0;
    sat.OutputChannels[1]->Insert(PlanChannel(*CanalizzazioneEuropa, "21", 60.0f));
    sat.Attenuation->Set3(0, SatLevelColumn, 6, 70.0f);
    const std::string satGolden = ReadHexFixture("sat_60000.hex");
    EXPECT_EQ(Saved(sat), satGolden) << HexDump(Saved(sat));

    // Both read back into what wrote them.
    auto antennaBack = Make(38);
    ASSERT_EQ(ReadInto(*antennaBack, antennaGolden, 60000), TRecordResult::Ok);
    EXPECT_EQ(dynamic_cast<TAntenna&>(*antennaBack).WindSpeed, 150.0f);
    auto satBack = Make(39, 2);
    ASSERT_EQ(ReadInto(*satBack, satGolden, 60000), TRecordResult::Ok);
    EXPECT_EQ(satBack->Attenuation->Get3(0, SatLevelColumn, 6), 70.0f);
    EXPECT_EQ(dynamic_cast<TSat&>(*satBack).OutputChannels[1]->Count(), 1);
}

}  // namespace
