// Amplifiers (codes 21, 22, 23) and the head end's wide-band amplifier
// (code 40): what the factory builds, their layouts, the passes of a line,
// their data checks, the designer's model choice, prototypes and records.
#include "cells/amplifiers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
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
#include "core/globals.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/stdctrls.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/line_cells.h"
#include "support/record_bytes.h"

namespace {

using K = TPortKind;
using E = TSide;

constexpr int Bands = 11;  // bands of the cells' band system
const AnsiString Prefix = "Dati componente errati a causa del seguante problema: ";

std::unique_ptr<TCella> Make(int32_t code, int32_t inputs, int32_t through, TCellGrid* owner = nullptr,
                             int32_t column = 0, int32_t row = 0) {
    return std::unique_ptr<TCella>(NewCella(owner, code, column, row, inputs, through, 0));
}

void SetColumn(TCella& cell, int32_t row, int32_t column, float value) {
    for (int32_t b = 0; b < BandSlots; ++b) cell.Attenuation->Set3(row, column, b, value);
}

// Every row an amplifier of gain 20, noise figure 6, maximum output 110.
void Describe(TCella& cell) {
    for (int32_t r = 0; r < cell.TableRows; ++r) {
        SetColumn(cell, r, AmpGain, 20.0f);
        SetColumn(cell, r, AmpNoiseFigure, 6.0f);
        SetColumn(cell, r, AmpMaxOutput, 110.0f);
    }
    cell.Described = 1;
}

TCanale EuropaChannel(const char* name, float level) {
    TCanale c;
    const int row = CanalizzazioneEuropa->IndexOf(name);
    EXPECT_GE(row, 0) << name;
    CanalizzazioneEuropa->SetChannel(c, row);
    c.band = SistemaBandeCorrente->BandOf(c.CentreFrequency());
    c.levelMin = c.levelMax = level;
    c.floorMin = c.floorMax = level - 2.5f;
    return c;
}

std::vector<AnsiString> Names(const TListaCanali* list) {
    std::vector<AnsiString> names;
    for (const TCanale* c = list ? list->head : nullptr; c; c = c->next) names.push_back(c->name);
    return names;
}

// ---- Factory, ports and layouts ----

TEST(AmplifierFactory, CodesBuildTheirClassWithTheirCountsAndTable) {
    struct Case {
        int32_t code, inputs, through;
        const std::type_info& type;
        int32_t kind;
        const char* category;
    };
    // clang-format off
    const Case cases[] = {
        {21, 1, 3, typeid(TAmplificatore), 21, "Amplificatori"},
        {22, 2, 2, typeid(TAmplificatore), 21, "Amplificatori"},
        {23, 1, 1, typeid(TAmplificatoreA), 21, "Amplificatori"},
        {40, 3, 2, typeid(TTerrestre), 40, "Amplificatori LB"},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, c.inputs, c.through);
        ASSERT_NE(cell, nullptr) << c.code;
        const TCella& made = *cell;
        EXPECT_EQ(typeid(made), c.type) << c.code;
        EXPECT_EQ(cell->TypeCode, c.code);
        EXPECT_EQ(cell->Kind, c.kind);
        EXPECT_EQ(cell->Category, c.category);
        EXPECT_EQ(cell->NumInputs, c.inputs);
        EXPECT_EQ(cell->NumThroughOutputs, c.through);
        EXPECT_EQ(cell->NumTapOutputs, 0);
        EXPECT_EQ(cell->TableRows, c.inputs);
        EXPECT_EQ(cell->TableColumns, 7);
        EXPECT_EQ(cell->Attenuation->Size2(), c.inputs);
        EXPECT_EQ(cell->Attenuation->Size3(), 7);
    }
}

struct LayoutCase {
    const char* what;
    int32_t code, inputs, through;
    uint8_t variant;
    int32_t width, height;
    std::vector<TCellPort> ports;
};

TCellLayout LayoutOf(TCella& cell) {
    if (auto* a = dynamic_cast<TAmplificatore*>(&cell)) return a->Layout();
    return dynamic_cast<TTerrestre&>(cell).Layout();
}

TEST(AmplifierLayout, SquaresAndPortsOfEveryShape) {
    // clang-format off
    const LayoutCase cases[] = {
        {"one way", 22, 1, 1, 0, 1, 1, {{K::Input, 0, 0, 0, E::Top}, {K::Through, 0, 0, 0, E::Bottom}}},
        {"three lines", 22, 3, 3, 0, 3, 2,
         {{K::Input, 0, 0, 0, E::Top}, {K::Input, 1, 1, 0, E::Top}, {K::Input, 2, 2, 0, E::Top},
          {K::Through, 0, 0, 1, E::Bottom}, {K::Through, 1, 1, 1, E::Bottom}, {K::Through, 2, 2, 1, E::Bottom}}},
        {"one line to four, variant 1", 21, 1, 4, 1, 4, 3,
         {{K::Input, 0, 1, 0, E::Top}, {K::Through, 0, 0, 2, E::Bottom}, {K::Through, 1, 1, 2, E::Bottom},
          {K::Through, 2, 2, 2, E::Bottom}, {K::Through, 3, 3, 2, E::Bottom}}},
        {"one line to three", 23, 1, 3, 0, 3, 2,
         {{K::Input, 0, 1, 0, E::Top}, {K::Through, 0, 0, 1, E::Bottom}, {K::Through, 1, 1, 1, E::Bottom},
          {K::Through, 2, 2, 1, E::Bottom}}},
        {"two lines, variant 1", 22, 2, 2, 1, 2, 3,
         {{K::Input, 0, 0, 0, E::Top}, {K::Input, 1, 1, 0, E::Top}, {K::Through, 0, 0, 2, E::Bottom},
          {K::Through, 1, 1, 2, E::Bottom}}},
        // The wide-band amplifier: inputs on the top row, outputs two rows below.
        {"wide band 1 x 1", 40, 1, 1, 0, 3, 3, {{K::Input, 0, 1, 0, E::Top}, {K::Through, 0, 1, 2, E::Bottom}}},
        {"wide band 3 x 1", 40, 3, 1, 0, 3, 3,
         {{K::Input, 0, 0, 0, E::Top}, {K::Input, 1, 1, 0, E::Top}, {K::Input, 2, 2, 0, E::Top},
          {K::Through, 0, 1, 2, E::Bottom}}},
        {"wide band 1 x 3", 40, 1, 3, 0, 3, 3,
         {{K::Input, 0, 1, 0, E::Top}, {K::Through, 0, 0, 2, E::Bottom}, {K::Through, 1, 1, 2, E::Bottom},
          {K::Through, 2, 2, 2, E::Bottom}}},
        {"wide band 2 x 2", 40, 2, 2, 0, 3, 3,
         {{K::Input, 0, 0, 0, E::Top}, {K::Input, 1, 1, 0, E::Top}, {K::Through, 0, 1, 2, E::Bottom},
          {K::Through, 1, 2, 2, E::Bottom}}},
        {"wide band 2 x 5", 40, 2, 5, 0, 5, 3,
         {{K::Input, 0, 1, 0, E::Top}, {K::Input, 1, 2, 0, E::Top}, {K::Through, 0, 0, 2, E::Bottom},
          {K::Through, 1, 1, 2, E::Bottom}, {K::Through, 2, 2, 2, E::Bottom}, {K::Through, 3, 3, 2, E::Bottom},
          {K::Through, 4, 4, 2, E::Bottom}}},
    };
    // clang-format on
    for (const LayoutCase& c : cases) {
        auto cell = Make(c.code, c.inputs, c.through);
        ASSERT_NE(cell, nullptr) << c.what;
        cell->Variant = c.variant;
        const TCellLayout layout = LayoutOf(*cell);
        EXPECT_EQ(layout.Width, c.width) << c.what;
        EXPECT_EQ(layout.Height, c.height) << c.what;
        EXPECT_EQ(layout.Ports, c.ports) << c.what;
        const TCellRect rect = cell->GetGridRect();
        EXPECT_EQ(rect, (TCellRect{0, 0, c.height - 1, c.width - 1})) << c.what;
    }
}

TEST(AmplifierLayout, TheRectangleTurnsAboutTheAnchor) {
    // One line to three outputs at (10, 10): 3 x 2 squares; turned 1 they run
    // down the rows from the anchor, the outputs one column to its left.
    auto cell = Make(22, 1, 3, nullptr, 10, 10);
    EXPECT_EQ(cell->GetGridRect(), (TCellRect{10, 10, 11, 12}));
    cell->Orientation = 1;
    EXPECT_EQ(cell->GetGridRect(), (TCellRect{10, 9, 12, 10}));
    cell->Variant = 1;
    cell->Orientation = 2;
    EXPECT_EQ(cell->GetGridRect(), (TCellRect{8, 8, 10, 10}));
}

class AmplifierPlacement : public ::testing::Test {
protected:
    AmplifierPlacement() : grid(nullptr, 30, 30, GridHeadEnd) { grid.BeginAnalysis(); }
    ~AmplifierPlacement() override { grid.EndAnalysis(); }
    TGridData grid;
    TQNextCell queue;
};

TEST_F(AmplifierPlacement, ABlockMarksItsSquaresItsInputsAndLinksEveryOutput) {
    auto cell = Make(40, 2, 5, &grid, 10, 5);
    cell->AllocLinks();
    ASSERT_TRUE(cell->PlaceOnGrid(TNextCell{}, queue));
    for (int32_t c = 10; c < 15; ++c)
        for (int32_t r = 5; r <= 7; ++r) EXPECT_EQ(grid.AnalysisAt(c, r)->Visited, 1) << c << "," << r;
    EXPECT_EQ(grid.AnalysisAt(10, 5)->Waiting[0], 0);
    EXPECT_EQ(grid.AnalysisAt(11, 5)->Waiting[0], 1);
    EXPECT_EQ(grid.AnalysisAt(11, 5)->InputIndex[0], 0);
    EXPECT_EQ(grid.AnalysisAt(12, 5)->InputIndex[0], 1);
    int32_t links = 0;
    TNextCell next;
    while (queue.Pop(next)) {
        EXPECT_EQ(next.Row, 8);
        EXPECT_EQ(next.Column, 10 + next.Port);
        ++links;
    }
    EXPECT_EQ(links, 5);
}

TEST(AmplifierNames, EveryPortOfTheBlockHasItsName) {
    struct Case {
        int32_t code, inputs, through, column, row;
        const char* name;
        int32_t input, output;
    };
    // clang-format off
    const Case cases[] = {
        {22, 2, 2, 11, 0, "ingresso 2", 1, -1},  {22, 2, 2, 10, 1, "uscita 1", -1, 0},
        {22, 1, 3, 11, 0, "ingresso", 0, -1},    {22, 1, 3, 12, 1, "uscita 3", -1, 2},
        {22, 1, 3, 10, 0, "", -1, -1},           {40, 3, 2, 12, 0, "ingresso 3", 2, -1},
        {40, 3, 2, 11, 2, "uscita", -1, 0},      {40, 3, 2, 10, 1, "", -1, -1},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, c.inputs, c.through, nullptr, 10, 0);
        TInfoMousePos position;
        position.Column = c.column;
        position.Row = c.row;
        cell->GetPortName(position);
        EXPECT_EQ(position.PortName, c.name) << c.code << " " << c.column << "," << c.row;
        EXPECT_EQ(position.Input, c.input) << c.name;
        EXPECT_EQ(position.ThroughOutput, c.output) << c.name;
    }
}

TEST(AmplifierCells, ShortCodesShareOneCounterAndTheWideBandHasItsOwn) {
    TContatoriCategoria counters;
    counters.fill(1);
    auto a = Make(21, 1, 1), b = Make(22, 1, 1), c = Make(23, 1, 1), w = Make(40, 1, 1);
    for (TCella* cell : {a.get(), b.get(), c.get(), w.get()}) cell->TakeSequenceNumber(counters);
    EXPECT_EQ(a->GetShortCode(), "A1");
    EXPECT_EQ(b->GetShortCode(), "A2");
    EXPECT_EQ(c->GetShortCode(), "A3");
    EXPECT_EQ(w->GetShortCode(), "Tr1");
    EXPECT_EQ(a->GetTypeName(), "Amplificatore ");
    EXPECT_EQ(w->GetTypeName(), "Ampli/Mix larga banda ");
    EXPECT_FALSE(a->AllowsAutoChoice());
    EXPECT_FALSE(w->Rotate(1));
}

TEST(AmplifierCells, MirroringKeepsEachRowWithItsPort) {
    auto lines = Make(22, 3, 3, nullptr, 10, 10);
    for (int32_t r = 0; r < 3; ++r) SetColumn(*lines, r, AmpGain, 10.0f + r);
    lines->Mirror();
    EXPECT_EQ(lines->Attenuation->Get3(0, AmpGain, 5), 12.0f);
    EXPECT_EQ(lines->Attenuation->Get3(2, AmpGain, 5), 10.0f);
    // One line feeding several outputs has one row: nothing to reverse.
    auto one = Make(22, 1, 3, nullptr, 10, 10);
    SetColumn(*one, 0, AmpGain, 15.0f);
    one->Mirror();
    EXPECT_EQ(one->Attenuation->Get3(0, AmpGain, 5), 15.0f);
    auto wide = Make(40, 2, 1, nullptr, 10, 10);
    SetColumn(*wide, 0, WideGain, 10.0f);
    SetColumn(*wide, 1, WideGain, 11.0f);
    wide->Mirror();
    EXPECT_EQ(wide->Attenuation->Get3(0, WideGain, 5), 11.0f);
}

// ---- Gain arithmetic ----

class AmplifierGain : public GlobalsTest {};

TEST_F(AmplifierGain, TheAttenuationOfARowIsTheNegatedNetGain) {
    struct Case {
        const char* what;
        float gain, regulation, tilt;
        float expected;
    };
    // clang-format off
    const Case cases[] = {
        {"gain less regulation", 30.0f, 4.0f, LevelNone, -26.0f},
        {"tilt as well", 30.0f, 4.0f, 1.5f, -24.5f},
        {"no regulation counts as 0", 30.0f, LevelNone, LevelNone, -30.0f},
        {"a band not handled by its regulation", 30.0f, LevelBlocked, LevelNone, LevelBlocked},
        {"a band not handled by its tilt", 30.0f, 2.0f, LevelBlocked, LevelBlocked},
        {"no gain", LevelNone, 2.0f, LevelNone, LevelNone},
        {"gain \"*\"", LevelBlocked, 2.0f, LevelNone, LevelBlocked},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(22, 1, 1);
        cell->Attenuation->Set3(0, AmpGain, 5, c.gain);
        cell->Attenuation->Set3(0, AmpRegulation, 5, c.regulation);
        cell->Attenuation->Set3(0, AmpTilt, 5, c.tilt);
        EXPECT_EQ(cell->GetRow1Attenuation(0, 0, 5), c.expected) << c.what;
    }
}

TEST_F(AmplifierGain, TheTiltOfABandIsInterpolatedBetweenItsGivenNeighbours) {
    auto cell = Make(22, 1, 1);
    SetColumn(*cell, 0, AmpGain, 30.0f);
    SetColumn(*cell, 0, AmpTilt, LevelRepeat);
    cell->Attenuation->Set3(0, AmpTilt, 4, 0.0f);
    cell->Attenuation->Set3(0, AmpTilt, 6, 10.0f);
    const TSistemaBande& bands = *SistemaBande3;
    const double f4 = bands.bands[4].reference, f5 = bands.bands[5].reference, f6 = bands.bands[6].reference;
    EXPECT_NEAR(cell->GetRow1Attenuation(0, 0, 5), -(30.0 - 10.0 * (f5 - f4) / (f6 - f4)), 1e-4);
}

// ---- Passes of a line ----

class AmplifierPasses : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(&messages); }
    AnsiString Message(int i) const { return messages.Items->Strings(i); }
    int MessageCount() const { return messages.Items->Count(); }

    // A source carrying the channels, into input i of cell.
    TSorgenteLinea& Source(TCella& cell, int32_t i, std::initializer_list<TCanale> channels) {
        sources.push_back(std::make_unique<TSorgenteLinea>());
        TSorgenteLinea& s = *sources.back();
        for (const TCanale& c : channels) s.SourceChannels->Insert(c);
        JoinCells(s, 0, cell, i);
        return s;
    }
    TPozzoProva& Sink(TCella& cell, int32_t o) {
        sinks.push_back(std::make_unique<TPozzoProva>());
        JoinCells(cell, o, *sinks.back(), 0);
        return *sinks.back();
    }

    TListBox messages;
    std::vector<std::unique_ptr<TSorgenteLinea>> sources;
    std::vector<std::unique_ptr<TPozzoProva>> sinks;
};

TEST_F(AmplifierPasses, OneLineToThreeOutputsGivesEveryOutputTheSameWindowAndList) {
    auto cell = Make(22, 1, 3);
    Describe(*cell);
    TSorgenteLinea& source = Source(*cell, 0, {EuropaChannel("21", 60.0f), EuropaChannel("40", 58.0f)});
    for (int32_t o = 0; o < 3; ++o) Sink(*cell, o).Required = TFinestra{60.0f + o, 80.0f};
    source.Level = TFinestra{50.0f, 55.0f};

    cell->ComputeRequiredLevels({}, {}, NextPassNumber());
    // The intersection of (60, 80), (61, 80), (62, 80), less 20 dB of gain.
    EXPECT_EQ(cell->InputLevels[0][5].Min, 42.0f);
    EXPECT_EQ(cell->InputLevels[0][5].Max, 60.0f);

    cell->ComputeSignalLevels(NextPassNumber());
    cell->ComputeChannels(0, 0, NextPassNumber());
    for (int32_t o = 0; o < 3; ++o) {
        EXPECT_EQ(cell->OutputLevels[o][5].Min, 70.0f) << o;
        EXPECT_EQ(cell->OutputLevels[o][5].Max, 75.0f) << o;
        EXPECT_EQ(Names(OutputList(*cell, o)), (std::vector<AnsiString>{"21", "40"})) << o;
        EXPECT_NEAR(OutputList(*cell, o)->head->levelMin, 80.0f, 1e-4) << o;
    }
    EXPECT_EQ(MessageCount(), 0);
}

TEST_F(AmplifierPasses, LinesOfAnNByNAmplifierStayApartAndTheMaximumOutputClipsTheirWindows) {
    auto cell = Make(22, 2, 2);
    Describe(*cell);
    SetColumn(*cell, 1, AmpGain, 25.0f);
    SetColumn(*cell, 1, AmpMaxOutput, 70.0f);
    Source(*cell, 0, {EuropaChannel("21", 60.0f)});
    Source(*cell, 1, {EuropaChannel("40", 50.0f)});
    Sink(*cell, 0);
    Sink(*cell, 1);
    cell->ComputeRequiredLevels({}, {}, NextPassNumber());
    EXPECT_EQ(cell->InputLevels[0][5].Min, 40.0f);
    EXPECT_EQ(cell->InputLevels[0][5].Max, 60.0f);
    EXPECT_EQ(cell->InputLevels[1][5].Min, 35.0f);  // (60, 80) clipped to 70, less 25
    EXPECT_EQ(cell->InputLevels[1][5].Max, 45.0f);
    cell->ComputeChannels(0, 0, NextPassNumber());
    EXPECT_EQ(Names(OutputList(*cell, 0)), std::vector<AnsiString>{"21"});
    EXPECT_EQ(Names(OutputList(*cell, 1)), std::vector<AnsiString>{"40"});
    EXPECT_NEAR(OutputList(*cell, 1)->head->levelMin, 75.0f, 1e-4);
    ASSERT_EQ(MessageCount(), 1);
    EXPECT_EQ(Message(0),
              "A0: il livello del canale 40 è troppo alto sull'uscita 2 (massimo consentito 70dB).");
}

TEST_F(AmplifierPasses, ALevellingAmplifierBringsItsChannelsToTheOutputLevelLessItsRegulation) {
    auto cell = Make(23, 1, 1);
    SetColumn(*cell, 0, AgcMinInput, 50.0f);
    SetColumn(*cell, 0, AgcMaxInput, 80.0f);
    SetColumn(*cell, 0, AgcRegulation, 3.0f);
    SetColumn(*cell, 0, AgcMaxRegulation, 10.0f);
    SetColumn(*cell, 0, AgcNoiseFigure, 8.0f);
    SetColumn(*cell, 0, AgcOutputLevel, 105.0f);
    Source(*cell, 0, {EuropaChannel("21", 60.0f), EuropaChannel("22", 90.0f), EuropaChannel("40", 75.0f)});
    Sink(*cell, 0);
    cell->ComputeChannels(0, 0, NextPassNumber());
    const TListaCanali* out = OutputList(*cell, 0);
    EXPECT_EQ(Names(out), (std::vector<AnsiString>{"21", "40"}));
    for (const TCanale* c = out->head; c; c = c->next) EXPECT_NEAR(c->levelMin, 102.0f, 1e-4) << c->name;
    ASSERT_EQ(MessageCount(), 1);
    EXPECT_EQ(Message(0), "A0: il livello del canale 22 è al di fuori dei limiti consentiti.");

    // No level window crosses it: nothing asked above, nothing computable below.
    cell->ComputeRequiredLevels({}, {}, NextPassNumber());
    EXPECT_EQ(cell->InputLevels[0][5].Min, LevelReqUnlimited);
    cell->ComputeSignalLevels(NextPassNumber());
    EXPECT_EQ(cell->OutputLevels[0][5].Min, LevelError);
}

TEST_F(AmplifierPasses, TheWideBandAmplifierMixesEveryInputOntoOutputZeroAndCopiesIt) {
    auto cell = Make(40, 3, 2);
    for (int32_t r = 0; r < 3; ++r) {
        SetColumn(*cell, r, WideRegulation, 2.0f);
        SetColumn(*cell, r, WideGain, 20.0f);
        SetColumn(*cell, r, WideNoiseFigure, 6.0f);
        SetColumn(*cell, r, WideMaxOutput, 120.0f);
    }
    Source(*cell, 0, {EuropaChannel("21", 60.0f)});
    Source(*cell, 1, {EuropaChannel("30", 61.0f)});
    Source(*cell, 2, {EuropaChannel("40", 62.0f)});
    Sink(*cell, 0);
    Sink(*cell, 1);
    cell->ComputeChannels(0, 0, NextPassNumber());
    EXPECT_EQ(Names(OutputList(*cell, 0)), (std::vector<AnsiString>{"21", "30", "40"}));
    EXPECT_EQ(Names(OutputList(*cell, 1)), (std::vector<AnsiString>{"21", "30", "40"}));
    EXPECT_NEAR(OutputList(*cell, 1)->head->levelMin, 78.0f, 1e-4);
    EXPECT_EQ(MessageCount(), 0);
}

TEST(AmplifierRegulation, GroupsMoveByOneCommonStepWithinTheirRange) {
    struct Case {
        const char* what;
        std::vector<float> maximum, regulation;
        std::vector<double> need, room;
        std::vector<float> expected;
    };
    const float R = LevelRepeat, N = LevelNone;
    // clang-format off
    const Case cases[] = {
        {"a group of three takes its largest need", {6, R, R, 0}, {0, 0, 0, 0}, {1, 2, 0.5, 5}, {9, 9, 9, 9},
         {2, 2, 2, 0}},
        {"bounded by the smallest room", {6, R, 4}, {1, 1, 0}, {3, 3, 3}, {5, 1.5, 9}, {2.5, 2.5, 3}},
        {"bounded by the regulation left in the opening band", {6, R}, {5, 5}, {3, 3}, {9, 9}, {6, 6}},
        {"no step when nothing is needed", {6, R}, {1, 1}, {0, 0}, {9, 9}, {1, 1}},
        {"a band with no largest regulation is not regulated", {N, 0, R}, {0, 0, 0}, {3, 3, 3}, {9, 9, 9},
         {0, 0, 0}},
        {"a band without regulation starts from 0", {6}, {N}, {2}, {9}, {2}},
    };
    // clang-format on
    for (const Case& c : cases) {
        TRegolazioneBanda bands[BandSlots];
        float maximum[BandSlots], regulation[BandSlots];
        std::fill_n(maximum, BandSlots, LevelNone);
        std::fill_n(regulation, BandSlots, LevelNone);
        for (size_t b = 0; b < c.maximum.size(); ++b) {
            maximum[b] = c.maximum[b];
            regulation[b] = c.regulation[b];
            bands[b] = {c.need[b], c.room[b]};
        }
        RegulateBandGroups(bands, maximum, regulation);
        for (size_t b = 0; b < c.expected.size(); ++b)
            EXPECT_NEAR(regulation[b], c.expected[b], 1e-4) << c.what << " band " << b;
    }

    // A step for a need never stops a float's width short of it (0.7 is
    // stored as 0.69999999): the level it leaves, worked out again, would
    // round back just above the limit and be reported too high.
    TRegolazioneBanda bands[BandSlots];
    float maximum[BandSlots], regulation[BandSlots];
    std::fill_n(maximum, BandSlots, LevelNone);
    std::fill_n(regulation, BandSlots, LevelNone);
    maximum[0] = 6.0f;
    regulation[0] = 0.0f;
    bands[0] = {0.7, 9.0};
    RegulateBandGroups(bands, maximum, regulation);
    EXPECT_GE(double(regulation[0]), 0.7);
    EXPECT_LT(double(regulation[0]), 0.7001);
}

// ---- Library answers ----

TEST(AmplifierCells, CodesTwentyOneAndTwentyTwoStandInForEachOtherWhenAsked) {
    auto plain = Make(21, 1, 2), regulated = Make(22, 1, 2), other = Make(22, 2, 2),
         levelling = Make(23, 1, 2);
    EXPECT_FALSE(regulated->IsSameKind(plain.get()));
    regulated->Positions[1] |= SecondPositionEitherAmplifier;
    EXPECT_TRUE(regulated->IsSameKind(plain.get()));
    EXPECT_TRUE(regulated->IsSameKind(regulated.get()));
    EXPECT_FALSE(regulated->IsSameKind(other.get()));
    EXPECT_FALSE(regulated->IsSameKind(levelling.get()));
    levelling->Positions[1] |= SecondPositionEitherAmplifier;
    EXPECT_FALSE(levelling->IsSameKind(plain.get()));
}

TEST(AmplifierCells, AdjustingTheLossTablesResetsRegulationsAboveZeroExceptForCode21) {
    for (int32_t code : {21, 22, 23, 40}) {
        auto cell = Make(code, 2, 2);
        const int32_t column = code == 40 ? int32_t{WideRegulation} : int32_t{AmpRegulation};
        cell->Attenuation->Set3(1, column, 4, 3.0f);
        cell->Attenuation->Set3(1, column, 5, -2.0f);
        cell->AdjustLossTables();
        EXPECT_EQ(cell->Attenuation->Get3(1, column, 4), code == 21 ? 3.0f : 0.0f) << code;
        EXPECT_EQ(cell->Attenuation->Get3(1, column, 5), -2.0f) << code;
    }
}

TEST(AmplifierCells, TheBandMaskHoldsTheBandsWithAGain) {
    auto cell = Make(22, 2, 2);
    cell->Attenuation->Set3(1, AmpGain, 3, 20.0f);
    cell->Attenuation->Set3(0, AmpGain, 7, LevelBlocked);
    cell->Attenuation->Set3(0, AmpRegulation, 9, 2.0f);
    cell->ComputeBandMask();
    EXPECT_EQ(cell->BandMask, (1u << 3) | (1u << 7));
}

// ---- Data checks ----

class AmplifierChecks : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(&messages); }
    // The check's verdict and its one message.
    AnsiString Check(TCella& cell) {
        messages.Items->Clear();
        const bool ok = cell.CheckData(Prefix);
        EXPECT_EQ(messages.Items->Count(), ok ? 0 : 1);
        return ok ? AnsiString("ok") : messages.Items->Strings(0).substr(Prefix.size());
    }
    TListBox messages;
};

TEST_F(AmplifierChecks, MessagesWordForWord) {
    using Edit = std::function<void(TCella&)>;
    struct Case {
        const char* what;
        int32_t code;
        Edit edit;
        const char* message;
    };
    auto described = [](TCella& c) {
        for (int32_t r = 0; r < c.TableRows; ++r)
            for (int b = 0; b < Bands; ++b) {
                c.Attenuation->Set3(r, AmpGain, b, 20.0f);
                c.Attenuation->Set3(r, AmpNoiseFigure, b, 6.0f);
                c.Attenuation->Set3(r, AmpMaxOutput, b, 110.0f);
                c.Attenuation->Set3(r, AmpRegulation, b, 0.0f);
                c.Attenuation->Set3(r, AmpMaxRegulation, b, 6.0f);
            }
    };
    // clang-format off
    const Case cases[] = {
        {"described", 22, [&](TCella& c) { described(c); }, "ok"},
        {"gain without noise figure", 22,
         [&](TCella& c) {
             described(c);
             c.Attenuation->Set3(0, AmpNoiseFigure, 4, LevelNone);
         },
         "Banda b. IV descritta parzialmente."},
        {"regulation without gain", 22,
         [&](TCella& c) {
             described(c);
             for (int32_t k : {AmpGain, AmpNoiseFigure, AmpMaxOutput}) c.Attenuation->Set3(0, k, 5, LevelNone);
         },
         "Banda b. V descritta parzialmente."},
        {"a line handling nothing", 22,
         [&](TCella& c) {
             described(c);
             for (int b = 0; b < Bands; ++b)
                 for (int32_t k = 0; k < AmpColumns; ++k) c.Attenuation->Set3(1, k, b, LevelNone);
         },
         "Il montante 2 non gestisce alcun segnale."},
        {"\"*\" as largest tilt", 22,
         [&](TCella& c) {
             described(c);
             c.Attenuation->Set3(0, AmpTilt, 3, 1.0f);
             c.Attenuation->Set3(0, AmpMaxTilt, 3, LevelBlocked);
         },
         "Reg. max. tilt. [-dB]: * non ammesso."},
        {"tilt above its largest", 22,
         [&](TCella& c) {
             described(c);
             c.Attenuation->Set3(0, AmpTilt, 3, 4.0f);
             c.Attenuation->Set3(0, AmpMaxTilt, 3, 2.0f);
         },
         "dati tilt errati o incoerenti con i livelli massimi."},
        {"regulation above its largest", 22,
         [&](TCella& c) {
             described(c);
             c.Attenuation->Set3(1, AmpRegulation, 6, 7.0f);
         },
         "dati regolazione errati o incoerenti con i livelli massimi."},
        {"levelling amplifier without output level", 23,
         [](TCella& c) {
             for (int32_t r = 0; r < 2; ++r)
                 for (int32_t k = 0; k < 5; ++k) SetColumn(c, r, k, 50.0f);
         },
         "I dati del componente sono incompleti."},
        {"levelling amplifier described", 23,
         [](TCella& c) {
             for (int32_t r = 0; r < 2; ++r)
                 for (int32_t k = 0; k < 6; ++k) SetColumn(c, r, k, 50.0f);
         },
         "ok"},
        {"wide band without its maximum regulation in a band", 40,
         [](TCella& c) {
             for (int32_t r = 0; r < 2; ++r)
                 for (int32_t k : {WideRegulation, WideGain, WideNoiseFigure, WideMaxOutput, WideMaxRegulation})
                     SetColumn(c, r, k, k == WideMaxRegulation ? 6.0f : 2.0f);
             c.Attenuation->Set3(1, WideMaxRegulation, 2, LevelNone);
         },
         "I dati del componente sono incompleti."},
        {"wide band with \"<\" as its maximum output", 40,
         [](TCella& c) {
             for (int32_t r = 0; r < 2; ++r)
                 for (int32_t k : {WideRegulation, WideGain, WideNoiseFigure, WideMaxOutput, WideMaxRegulation})
                     SetColumn(c, r, k, k == WideMaxRegulation ? 6.0f : 2.0f);
             c.Attenuation->Set3(0, WideMaxOutput, 2, LevelRepeat);
         },
         "Livello max. out [dB]: < non ammesso."},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, 2, 2);
        c.edit(*cell);
        EXPECT_EQ(Check(*cell), c.message) << c.what;
    }
}

// ---- Designer ----

// A list of library amplifiers linked through NextInList.
class Candidates {
public:
    TCella* Add(int32_t code, const char* article, float gain, int32_t inputs = 1, int32_t through = 2) {
        auto made = std::make_unique<TAmplificatore>(nullptr, 0, 0, 0, 0, code, inputs, through);
        auto* c = made.get();
        for (int32_t r = 0; r < inputs; ++r) {
            SetColumn(*c, r, AmpGain, gain);
            SetColumn(*c, r, AmpRegulation, 0.0f);
        }
        c->Code = article;
        c->Positions[0] = 0x04;
        c->Described = 1;
        if (!cells_.empty()) cells_.back()->NextInList = c;
        cells_.emplace_back(std::move(made));
        return c;
    }
    TCella* First() const { return cells_.empty() ? nullptr : cells_.front().get(); }

private:
    std::vector<std::unique_ptr<TCella>> cells_;
};

class AmplifierChoice : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(&messages); }
    TListBox messages;
};

TEST_F(AmplifierChoice, TheFirstQualifyingModelStaysUnlessALaterOneLosesLessAndDoesNotAmplify) {
    struct Case {
        const char* what;
        std::vector<float> gains;  // candidate gains; the attenuation is their negation
        const char* chosen;
    };
    // clang-format off
    const Case cases[] = {
        {"amplifying models: the first stays", {20.0f, 30.0f, 10.0f}, "M1"},
        {"a lower passive one replaces a passive one, an amplifying one never", {-6.0f, 20.0f, -3.0f}, "M3"},
        {"the lower attenuation among passive ones", {-10.0f, -4.0f, -8.0f}, "M2"},
    };
    // clang-format on
    for (const Case& c : cases) {
        Candidates library;
        int k = 0;
        for (float g : c.gains) {
            static const char* const articles[] = {"M1", "M2", "M3"};
            library.Add(22, articles[k++], g);
        }
        auto cell = Make(22, 1, 2);
        cell->Positions[1] = 0x04;
        cell->SequenceNumber = 1;
        EXPECT_TRUE(cell->ChooseModel(library.First(), 0, NextPassNumber(), nullptr, 5, 0)) << c.what;
        EXPECT_EQ(cell->Code, c.chosen) << c.what;
        EXPECT_EQ(cell->Described, 1) << c.what;
    }
}

TEST_F(AmplifierChoice, CandidatesOfAnotherPositionOrShapeDoNotQualifyAndNoneIsReported) {
    Candidates library;
    library.Add(22, "N1", 20.0f)->Positions[0] = 0x08;  // another position
    library.Add(22, "N2", 20.0f, 1, 3);                 // three outputs
    library.Add(21, "N3", 20.0f);                       // code 21 without the stand-in bit
    auto cell = Make(22, 1, 2);
    cell->Positions[1] = 0x04;
    cell->SequenceNumber = 1;
    EXPECT_FALSE(cell->ChooseModel(library.First(), 0, NextPassNumber(), nullptr, 5, 0));
    ASSERT_EQ(messages.Items->Count(), 1);
    EXPECT_EQ(messages.Items->Strings(0), "Non vi sono componenti selezionabili per l'amplificatore A1");
    // With the stand-in bit the code-21 model serves, and takes its code.
    cell->Positions[1] |= SecondPositionEitherAmplifier;
    EXPECT_TRUE(cell->ChooseModel(library.First(), 0, NextPassNumber(), nullptr, 5, 0));
    EXPECT_EQ(cell->Code, "N3");
    EXPECT_EQ(cell->TypeCode, 21);
}

TEST_F(AmplifierChoice, ChoosingWalksDownstreamFirstAndFailsWhenALineBelowFails) {
    Candidates library;
    library.Add(22, "M1", 20.0f);
    auto cell = Make(22, 1, 2);
    cell->Positions[1] = 0x04;
    TPozzoProva first, second;
    JoinCells(*cell, 0, first, 0);
    JoinCells(*cell, 1, second, 0);
    first.Reach = TFinestra{40.0f, 50.0f};
    second.Reach = TFinestra{45.0f, 55.0f};
    EXPECT_TRUE(cell->ChooseModel(library.First(), 0x3, NextPassNumber(), nullptr, 5, 0));
    EXPECT_EQ(first.Calls, 1);
    EXPECT_EQ(first.LastMode & 3, 3 & cell->Choice1);
    // Reach windows: one input over every output, raised by the row's attenuation (-20).
    EXPECT_EQ(cell->ReachLevels[0][5].Min, 20.0f);
    EXPECT_EQ(cell->ReachLevels[0][5].Max, 35.0f);

    first.Answer = false;
    cell->Code = "";
    EXPECT_FALSE(cell->ChooseModel(library.First(), 0, NextPassNumber(), nullptr, 5, 0));
    EXPECT_EQ(cell->Code, "");
    // A walk that only chooses terminations forwards the answer and chooses nothing.
    first.Answer = true;
    EXPECT_TRUE(cell->ChooseModel(library.First(), 0x40, NextPassNumber(), nullptr, 5, 0));
    EXPECT_EQ(cell->Code, "");
}

TEST_F(AmplifierChoice, MinDownstreamValueKeepsTheLargestPassiveModelWithinTheSpareLevel) {
    // Nothing is linked downstream, so m = 1000; A = -20 is the negated gain
    // of the cell and V = 30, so a passive model of up to 10 dB of loss fits.
    struct Case {
        const char* what;
        std::vector<float> gains;
        float value;
        float expected;
        const char* taken;
    };
    // clang-format off
    const Case cases[] = {
        {"only amplifying models: m", {20.0f, 25.0f}, 30.0f, 1000.0f, ""},
        {"the largest C within A + V", {-2.0f, -8.0f, -12.0f}, 30.0f, 1000.0f + 8.0f + 20.0f, "M2"},
        {"nothing within A + V", {-15.0f}, 30.0f, 1000.0f, ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        Candidates library;
        int k = 0;
        for (float g : c.gains) {
            static const char* const articles[] = {"M1", "M2", "M3"};
            library.Add(22, articles[k++], g);
        }
        auto cell = Make(22, 1, 2);
        Describe(*cell);
        SetColumn(*cell, 0, AmpGain, 20.0f);
        cell->Positions[1] = 0x04;
        EXPECT_EQ(cell->MinDownstreamValue(c.value, 5, true, library.First(), 0, 0), c.expected) << c.what;
        EXPECT_EQ(cell->Code, c.taken) << c.what;
    }
    // One through output: m as it came.
    auto one = Make(22, 1, 1);
    Candidates library;
    library.Add(22, "M1", -2.0f, 1, 1);
    EXPECT_EQ(one->MinDownstreamValue(10.0f, 5, true, library.First(), 0, 0), 1000.0f);
}

// ---- Prototypes and records ----

class AmplifierData : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
};

TEST_F(AmplifierData, EachCodeAndSeriesHasItsPrototypeAndCountsOutsideTheTablesHaveNone) {
    struct Case {
        int32_t code, inputs, through;
        bool has;
    };
    // clang-format off
    const Case cases[] = {
        {21, 1, 1, true},  {21, 4, 4, true},  {22, 1, 4, true},  {23, 1, 17, true},
        {22, 17, 17, true}, {22, 18, 18, false}, {22, 1, 18, false}, {40, 9, 10, true},
        {40, 10, 1, false}, {40, 1, 11, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, c.inputs, c.through);
        TCella* prototype = cell->GetPrototype();
        EXPECT_EQ(prototype != nullptr, c.has) << c.code << " " << c.inputs << "x" << c.through;
        if (prototype) {
            EXPECT_EQ(prototype->TypeCode, c.code);
            EXPECT_EQ(prototype->TableRows, c.inputs);
        }
    }
    // The series keep apart: n lines through n ways and one line to n outputs.
    EXPECT_NE(Make(22, 3, 3)->GetPrototype(), Make(22, 1, 3)->GetPrototype());
    EXPECT_NE(Make(21, 3, 3)->GetPrototype(), Make(22, 3, 3)->GetPrototype());
}

std::string Saved(TCella& cell, int32_t version = 60000) { return SavedRecord(cell, version); }

TRecordResult ReadInto(TCella& cell, const std::string& bytes, int32_t version) {
    return ReadRecordInto(cell, bytes, version);
}

RecordBytes OldRecord(int32_t version, int32_t code, int32_t inputs, int32_t through,
                      const std::vector<std::vector<float>>& columns) {
    TOldRecordSpec spec;
    spec.Version = version;
    spec.Code = code;
    spec.Inputs = inputs;
    spec.Through = through;
    spec.Rows = inputs;
    spec.Columns = columns;
    return OldCellRecord(spec);
}

std::vector<float> Flat(float v) { return std::vector<float>(BandSlots, v); }

TEST_F(AmplifierData, OldRecordsAsATable) {
    // The stored order of codes 21 and 22 up to 50000: gain regulation, gain,
    // noise figure, maximum output, largest regulation, tilt, largest tilt.
    const std::vector<std::vector<float>> stored = {Flat(1), Flat(30), Flat(6), Flat(100),
                                                    Flat(5), Flat(2),  Flat(3)};
    struct Case {
        const char* what;
        int32_t version, code, through;
        std::vector<float> expected;  // columns 0 to 6 in band 5
        int32_t column;
        uint8_t variant;
    };
    // clang-format off
    const Case cases[] = {
        {"50000 is reordered", 50000, 22, 1, {2, 3, 1, 5, 30, 6, 100}, 5, 0},
        {"code 23 keeps its order", 50000, 23, 1, {1, 30, 6, 100, 5, 2, 3}, 5, 0},
        {"two outputs below 50000: anchor and variant", 40000, 21, 2, {2, 3, 1, 5, 30, 6, 100}, 4, 1},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, 1, c.through);
        ASSERT_EQ(ReadInto(*cell, OldRecord(c.version, c.code, 1, c.through, stored).Bytes(), c.version),
                  TRecordResult::Ok)
            << c.what;
        for (int32_t k = 0; k < AmpColumns; ++k)
            EXPECT_EQ(cell->Attenuation->Get3(0, k, 5), c.expected[static_cast<size_t>(k)])
                << c.what << " column " << k;
        EXPECT_EQ(cell->Column, c.column) << c.what;
        EXPECT_EQ(cell->Variant, c.variant) << c.what;
    }

    // 50001 is read as it stands.
    auto cell = Make(22, 1, 1);
    for (int32_t k = 0; k < AmpColumns; ++k) SetColumn(*cell, 0, k, 10.0f + k);
    auto back = Make(22, 1, 1);
    ASSERT_EQ(ReadInto(*back, Saved(*cell, 50001), 50001), TRecordResult::Ok);
    for (int32_t k = 0; k < AmpColumns; ++k) EXPECT_EQ(back->Attenuation->Get3(0, k, 5), 10.0f + k);
}

TEST_F(AmplifierData, BelowForty000TheLargestRegulationFormsGroupsOfEqualRegulation) {
    std::vector<float> regulation = Flat(3);
    for (int b = 4; b < BandSlots; ++b) regulation[static_cast<size_t>(b)] = 5;
    const std::vector<std::vector<float>> stored = {regulation, Flat(30), Flat(6), Flat(100),
                                                    Flat(9),    Flat(2),  Flat(3)};
    auto regulated = Make(22, 1, 1);
    ASSERT_EQ(ReadInto(*regulated, OldRecord(30000, 22, 1, 1, stored).Bytes(), 30000), TRecordResult::Ok);
    const float expected[] = {3, LevelRepeat, LevelRepeat, LevelRepeat, 5, LevelRepeat};
    for (int b = 0; b < 6; ++b) {
        EXPECT_EQ(regulated->Attenuation->Get3(0, AmpMaxRegulation, b), expected[b]) << b;
        EXPECT_EQ(regulated->Attenuation->Get3(0, AmpRegulation, b), regulation[static_cast<size_t>(b)]) << b;
    }
    // The levelling amplifier groups its largest regulation (column 3) from column 2.
    std::vector<std::vector<float>> levelling = {Flat(50), Flat(80), regulation, Flat(9), Flat(7), Flat(100)};
    auto agc = Make(23, 1, 1);
    ASSERT_EQ(ReadInto(*agc, OldRecord(30000, 23, 1, 1, levelling).Bytes(), 30000), TRecordResult::Ok);
    for (int b = 0; b < 6; ++b) EXPECT_EQ(agc->Attenuation->Get3(0, AgcMaxRegulation, b), expected[b]) << b;
}

TEST_F(AmplifierData, RecordsRoundTripAndDamagedCountsAreRefused) {
    for (int32_t code : {21, 22, 23, 40}) {
        auto cell = Make(code, 2, 2, nullptr, 4, 6);
        cell->Attenuation->Set3(1, 4, 5, 33.0f);
        const std::string bytes = Saved(*cell);
        auto back = Make(code, 2, 2);
        ASSERT_EQ(ReadInto(*back, bytes, 60000), TRecordResult::Ok) << code;
        EXPECT_EQ(back->Attenuation->Get3(1, 4, 5), 33.0f) << code;
        EXPECT_EQ(Saved(*back), bytes) << code;
    }
    // Neither one line per output nor one line for all: the passes could not hold it.
    auto cell = Make(22, 2, 2);
    const std::string bytes = Saved(*cell);
    for (auto [inputs, through] : {std::pair{2, 3}, std::pair{0, 2}, std::pair{3, 0}}) {
        auto damaged = Make(22, inputs, through);
        ASSERT_NE(damaged, nullptr);
        EXPECT_EQ(ReadInto(*damaged, bytes, 60000), TRecordResult::Damaged) << inputs << "x" << through;
    }
}

// A record below version 20000: grid selector, geometry, 6 band vectors of
// 10 floats, the raw texts; the class appends its count and further rows.
RecordBytes VeryOldRecord(int32_t count, float gain) {
    RecordBytes b;
    b.Zeros(RecordHeadBytes);
    b.I32(1).I32(0).I32(0).I32(3).I32(8);
    // Stored order: regulation, gain, noise figure, maximum output, largest regulation, tilt.
    const float row0[6] = {0.0f, gain, 6.0f, 100.0f, 0.0f, 0.0f};
    for (float v : row0)
        for (int i = 0; i < 10; ++i) b.F32(v);
    b.Fixed("Ampli vecchio", 30).Fixed("", 100).Fixed("", 20).Fixed("A1", 20).Fixed("", 15);
    b.U8(1).I32(5).U8(0);
    b.I32(count);
    for (int32_t r = 1; r < count; ++r)
        for (float v : row0)
            for (int i = 0; i < 10; ++i) b.F32(v + (v == gain ? 1.0f : 0.0f));
    return b;
}

TEST_F(AmplifierData, BelowTwentyThousandTheCountFollowsTheRecord) {
    TProgetto project(nullptr);
    TProgettoInCaricamento loading(&project);
    auto cell = Make(21, 0, 0);
    ASSERT_EQ(ReadInto(*cell, VeryOldRecord(2, 25.0f).Bytes(), 10000), TRecordResult::Ok);
    EXPECT_EQ(cell->Inputs, 2);
    EXPECT_EQ(cell->ThroughOutputs, 2);
    EXPECT_EQ(cell->TableRows, 2);
    EXPECT_EQ(cell->Attenuation->Get3(0, AmpGain, 5), 25.0f);
    EXPECT_EQ(cell->Attenuation->Get3(1, AmpGain, 5), 26.0f);
    EXPECT_EQ(cell->Attenuation->Get3(1, AmpMaxOutput, 5), 100.0f);
    EXPECT_EQ(cell->Variant, 1);
    for (int32_t count : {0, -1, 100000}) {
        auto damaged = Make(21, 0, 0);
        EXPECT_NE(ReadInto(*damaged, VeryOldRecord(count, 25.0f).Bytes(), 10000), TRecordResult::Ok) << count;
    }
}

// ---- The data form ----

using Person = std::function<void(TDatiComponenti&)>;

class AmplifierDialog : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TGridData network{nullptr, 75, 75, GridNetwork};
};

TEST_F(AmplifierDialog, CodeTwentyOneShowsOnlyGainNoiseAndMaximumOutput) {
    struct Case {
        int32_t code;
        std::vector<bool> rows;
        const char* row4;
    };
    // clang-format off
    const Case cases[] = {
        {21, {false, false, false, false, true, true, true}, "Guadagno  [dB]"},
        {22, {true, true, true, true, true, true, true}, "Guadagno  [dB]"},
        {23, {true, true, true, true, true, true, true}, "Livello uscita  [dB]"},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, 2, 2, &network, 4, 4);
        cell->SequenceNumber = 2;
        std::vector<bool> shown;
        AnsiString caption, name;
        Application->Script().AnswerShowModal<TDatiComponenti>([&](TDatiComponenti& f) {
            for (int r = 0; r < 7; ++r) shown.push_back(f.RowCaption[r]->Visible);
            caption = f.RowCaption[4]->Text;
            name = f.LabelNome->Caption;
            f.ButtonAnnulla->Click();
        });
        cell->OpenDataDialog();
        EXPECT_EQ(shown, c.rows) << c.code;
        EXPECT_EQ(caption, c.row4) << c.code;
        EXPECT_EQ(name, "Amplificatore A2") << c.code;
    }
}

TEST_F(AmplifierDialog, TheLevellingAndWideBandAmplifiersShowTheirColumnsInTheirOwnOrder) {
    auto agc = Make(23, 1, 1, &network);
    for (int32_t k = 0; k < 6; ++k) SetColumn(*agc, 0, k, 10.0f * (k + 1));
    TDatiComponenti& form = dialog.Get();
    agc->FillDataDialogDefault(&form);
    const float agcRows[6] = {10, 20, 30, 40, 60, 50};
    for (int j = 0; j < 6; ++j) EXPECT_EQ(form.MainTable[0][j][5], agcRows[j]) << j;
    form.MainTable[0][4][5] = 77.0f;
    agc->ReadDataDialogDefault(&form);
    EXPECT_EQ(agc->Attenuation->Get3(0, AgcOutputLevel, 5), 77.0f);

    auto wide = Make(40, 1, 1, &network);
    for (int32_t k = 0; k < 7; ++k) SetColumn(*wide, 0, k, 10.0f * k);
    wide->FillDataDialogDefault(&form);
    const float wideRows[7] = {50, 60, 0, 40, 10, 20, 30};
    for (int j = 0; j < 7; ++j) EXPECT_EQ(form.MainTable[0][j][5], wideRows[j]) << j;
}

}  // namespace
