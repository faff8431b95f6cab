// The terrestrial antenna table of a design: antennas read from a library
// with their channels, the checks and their messages, the VHF-first order,
// the preamplifier of a weak antenna, the fit to the inputs of a wideband
// module and the placing of an antenna.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/cables.h"
#include "cells/factory.h"
#include "cells/sources.h"
#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/options.h"
#include "document/grid.h"
#include "platform/application.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

constexpr uint32_t Mast = 0x20;

std::unique_ptr<TCella> TestAntenna(const char* code, float low, float high) {
    auto a = std::make_unique<TAntenna>(nullptr, 0, 0, 0, 0);
    a->Code = code;
    a->Category = "Antenne";
    a->Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, low);
    a->Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, high);
    return a;
}

class AntennaChecksTest : public GlobalsTest {
protected:
    AntennaChecksTest() : engine(&globals.Reporter()), add(*engine.Components) {
        std::vector<std::unique_ptr<TCella>> antennas;
        antennas.push_back(TestAntenna("U", 470, 862));
        antennas.push_back(TestAntenna("V", 47, 230));
        antennas.push_back(TestAntenna("M", 47, 862));
        antennas.push_back(TestAntenna("B3", 174, 230));
        AddTestLibrary(libraries.Get(), globals.Dir().Path(), "Antenne", antennas);
        globals.Reporter().SetTarget(nullptr);
        engine.BackOffTerNF = TCreaAuto::BackOff(30);
    }
    // Antenna slot (from 1) with a library code and channels of the Europa plan.
    TCanale* Channel(int slot, const char* code, const char* name, float level, char kind = SignalAnalog) {
        TAntennaAutoProg& a = engine.Settings->Antennas[slot - 1];
        a.Library = "Antenne";
        a.Code = code;
        TCanale c;
        const int row = a.Plan->IndexOf(name);
        EXPECT_GE(row, 0) << name;
        a.Plan->SetChannel(c, row);
        c.band = SistemaBandeCorrente->BandOf(c.CentreFrequency());
        c.levelMin = c.levelMax = level;
        c.signalType = kind;
        return a.Channels.Insert(c);
    }
    AnsiString Check(bool expected) {
        Application->Script().Reset();
        globals.Reporter().SetTarget(nullptr);
        EXPECT_EQ(engine.CheckAntennaChannels(), expected);
        return ShownMessage();
    }
    std::string Order() const {
        std::string order;
        for (int32_t i = 0; i < engine.AntennaCount; ++i) order += engine.Antennas[i].Cell->Code;
        return order;
    }
    ScopedLibraries libraries;
    TCreaAuto engine;
    DesignComponents add;
};

TEST_F(AntennaChecksTest, TheFiveMessages) {
    struct Case {
        const char* name;
        std::function<void()> fill;
        const char* message;
    };
    // clang-format off
    const Case cases[] = {
        {"unknown antenna", [this] { Channel(2, "X", "21", 70); }, "L'antenna 2 non esiste."},
        {"no plan",
         [this] {
             Channel(1, "U", "21", 70);
             engine.Settings->Antennas[0].Plan = nullptr;
         },
         "Manca la canalizzazione sull'antenna 1."},
        {"channel outside the antenna", [this] { Channel(1, "B3", "21", 70); },
         "Canale 21 non gestito dall'antenna 1."},
        {"no channel", [] {}, "Non è stato selezionato alcun canale terrestre."},
        {"one channel on two antennas",
         [this] {
             Channel(1, "U", "21", 70);
             Channel(2, "M", "21", 70);
         },
         "Alcuni dei canali ricevuti dalle antenne terrestri sono sovrapposti."},
        {"the first of them alone", [this] { Channel(1, "U", "21", 70); }, ""},
        {"the second of them alone", [this] { Channel(2, "M", "21", 70); }, ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (TAntennaAutoProg& a : engine.Settings->Antennas) a.Reset();
        c.fill();
        EXPECT_EQ(Check(*c.message == 0), c.message);
    }
}

TEST_F(AntennaChecksTest, AntennaRangeAndChannelsComeFromTheLibraryAndTheSettings) {
    Channel(3, "U", "40", 72);
    Channel(3, "U", "21", 66);
    ASSERT_EQ(Check(true), "");
    EXPECT_EQ(engine.AntennaCount, 1);
    EXPECT_EQ(engine.AntennaChannelCount, 2);
    EXPECT_EQ(engine.Settings->Antennas[2].FMin, 470.0f);
    EXPECT_EQ(engine.Settings->Antennas[2].FMax, 862.0f);
    const TAntennaEntry& e = engine.Antennas[0];
    EXPECT_EQ(e.Cell->SourceChannels->Count(), 2);
    EXPECT_EQ(e.Lowest, 66.0f);
    EXPECT_EQ(e.Highest, 72.0f);
    EXPECT_EQ(e.Uhf, 1);
    EXPECT_EQ(e.Vhf, 0);
}

TEST_F(AntennaChecksTest, VhfAntennasComeFirst) {
    // U: UHF only, V: VHF only, M: both; each with channels of its own.
    auto fill = [this](int slot, char kind) {
        if (kind == 'U') Channel(slot, "U", "40", 75);
        if (kind == 'V') Channel(slot, "V", "5", 75);
        if (kind == 'M') {
            Channel(slot, "M", "7", 75);
            Channel(slot, "M", "50", 75);
        }
    };
    struct Case {
        const char* entered;
        const char* ordered;
        int32_t firstUhf;
        uint8_t mixed;
    };
    const Case cases[] = {
        {"UV", "VU", 1, 0}, {"UVM", "MVU", 0, 1}, {"VMU", "VMU", 1, 1}, {"MUV", "VMU", 1, 1}};
    for (const Case& c : cases) {
        for (TAntennaAutoProg& a : engine.Settings->Antennas) a.Reset();
        for (int i = 0; c.entered[i]; ++i) fill(i + 1, c.entered[i]);
        ASSERT_EQ(Check(true), "") << c.entered;
        EXPECT_EQ(Order(), c.ordered) << c.entered;
        EXPECT_EQ(engine.FirstUhfAntenna, c.firstUhf) << c.entered;
        EXPECT_EQ(engine.MixedAntenna, c.mixed) << c.entered;
    }
}

TEST_F(AntennaChecksTest, DigitalChannelsCountWithTheirBandsDifference) {
    TCanale* c = Channel(1, "U", "21", 70, SignalDigital);
    Opzioni->limits[c->band][LimitDiffAnDig] = -8.0f;
    Channel(1, "U", "40", 75);
    ASSERT_EQ(Check(true), "");
    EXPECT_EQ(engine.Antennas[0].Lowest, 62.0f);
    EXPECT_EQ(engine.Antennas[0].NeedsPreamplifier, 1);
}

TEST_F(AntennaChecksTest, PreamplifierOfAWeakAntenna) {
    struct Candidate {
        float gain, maxOutput;
        uint32_t positions = Mast;
    };
    struct Case {
        const char* name;
        float weakest;
        std::vector<Candidate> candidates;
        int chosen;  // index among the candidates, -1 none
    };
    // clang-format off
    const Case cases[] = {
        {"weakest at the window", 70, {{20, 120}}, -1},
        {"the greatest worst output", 65, {{20, 120}, {25, 120}, {22, 120}}, 1},
        {"gain missing", 65, {{LevelNone, 120}}, -1},
        {"output below the window", 65, {{3, 120}}, -1},
        {"output above the maximum less the back-off", 65, {{20, 95}, {10, 95}}, 1},
        {"output above the window", 65, {{31, 130}}, -1},
        {"not a mast amplifier", 65, {{20, 120, 0x4}}, -1},
        {"two equal candidates", 65, {{20, 120}, {20, 120}}, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (TAntennaAutoProg& a : engine.Settings->Antennas) a.Reset();
        engine.Components->Clear();
        const int32_t band = Channel(1, "U", "21", c.weakest)->band;
        std::vector<TCella*> made;
        for (const Candidate& k : c.candidates) {
            TCella* amp = add.Amplifier(21, 1, k.positions, 0, 0);
            amp->Attenuation->Set3(0, AmpGain, band, k.gain);
            amp->Attenuation->Set3(0, AmpMaxOutput, band, k.maxOutput);
            made.push_back(amp);
        }
        ASSERT_EQ(Check(true), "");
        EXPECT_EQ(engine.Antennas[0].NeedsPreamplifier, c.weakest < 70 ? 1 : 0);
        EXPECT_EQ(engine.Antennas[0].Preamplifier, c.chosen < 0 ? nullptr : made[c.chosen]);
    }
}

TEST_F(AntennaChecksTest, AChannelWithoutLevelTakesTheDefaultLevel) {
    TCanale* stored = Channel(1, "U", "21", LevelNone);
    Channel(1, "U", "40", 80);
    TCella* amp = add.Amplifier(21, 1, Mast, 0, 0);
    amp->Attenuation->Set3(0, AmpGain, stored->band, 20);
    amp->Attenuation->Set3(0, AmpMaxOutput, stored->band, 120);
    ASSERT_EQ(Check(true), "");
    const TAntennaEntry& e = engine.Antennas[0];
    EXPECT_EQ(e.Lowest, 70.0f);
    EXPECT_EQ(e.NeedsPreamplifier, 0);
    EXPECT_EQ(e.Preamplifier, nullptr);
    EXPECT_EQ(e.Cell->SourceChannels->head->levelMin, 70.0f);
    EXPECT_EQ(stored->levelMin, LevelNone);  // the settings keep the empty level
}

class FittingTest : public AntennaChecksTest {
protected:
    // A wideband module whose inputs pass the listed band slots.
    TCella* Module(const std::vector<std::vector<int32_t>>& inputs) {
        owned.emplace_back(NewCella(nullptr, CodeTerrestre, 0, 0, static_cast<int32_t>(inputs.size()), 1, 0));
        TCella* m = owned.back().get();
        for (size_t i = 0; i < inputs.size(); ++i)
            for (int32_t slot : inputs[i])
                m->Attenuation->Set3(static_cast<int32_t>(i), WideGain, slot, 30.0f);
        return m;
    }
    // Antennas using the listed band slots.
    void Antennas(const std::vector<std::vector<int32_t>>& bands) {
        engine.AntennaCount = static_cast<int32_t>(bands.size());
        for (size_t a = 0; a < bands.size(); ++a) {
            TAntennaEntry& e = engine.Antennas[a];
            std::fill(std::begin(e.BandUse), std::end(e.BandUse), uint8_t{0});
            for (int32_t slot : bands[a]) e.BandUse[slot] = 1;
        }
    }
    std::vector<std::unique_ptr<TCella>> owned;
};

TEST_F(FittingTest, OrdersAndInputsAsATable) {
    struct Case {
        const char* name;
        std::vector<std::vector<int32_t>> inputs;    // band slots of each module input
        std::vector<std::vector<int32_t>> antennas;  // band slots of each antenna
        bool fits;
        std::vector<int32_t> order, assigned;
    };
    // clang-format off
    const Case cases[] = {
        {"one input shared by two antennas", {{4, 5}}, {{4}, {5}}, true, {0, 1}, {0, 0}},
        {"a third antenna without FM", {{3, 4, 5}}, {{4}, {5}, {3}}, false, {}, {}},
        {"a third antenna with FM", {{2, 3, 4, 5}}, {{4}, {5}, {2, 3}}, true, {0, 1, 2}, {0, 0, 0}},
        {"inputs in order", {{4}, {5}, {3}}, {{4}, {5}, {3}}, true, {0, 1, 2}, {0, 1, 2}},
        {"an order found by swapping", {{5}, {4}}, {{4}, {5}}, true, {1, 0}, {0, 1}},
        {"a band no input passes", {{4}, {5}}, {{4}, {3}}, false, {}, {}},
        {"no antenna", {{4}}, {}, false, {}, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCella* module = Module(c.inputs);
        Antennas(c.antennas);
        std::array<int32_t, AntennaSlots> order{}, inputs{};
        EXPECT_EQ(engine.FitAntennasToInputs(module, order, inputs), c.fits);
        EXPECT_EQ(engine.CanFitAntennas(module), c.fits);
        if (!c.fits) continue;
        const size_t n = c.antennas.size();
        EXPECT_EQ(std::vector<int32_t>(order.begin(), order.begin() + n), c.order);
        EXPECT_EQ(std::vector<int32_t>(inputs.begin(), inputs.begin() + n), c.assigned);
        EXPECT_TRUE(std::is_sorted(inputs.begin(), inputs.begin() + n));
    }
}

TEST_F(FittingTest, OnlyAWidebandModuleFits) {
    Antennas({{4}});
    TCella* amp = add.Amplifier(21, 1, 0, 0, 0);
    amp->Attenuation->Set3(0, WideGain, 4, 30.0f);
    EXPECT_FALSE(engine.CanFitAntennas(amp));
    EXPECT_FALSE(engine.CanFitAntennas(nullptr));
    // A module with more inputs than rows in its table (a damaged entry).
    TCella* module = Module({{4}});
    EXPECT_TRUE(engine.CanFitAntennas(module));
    module->NumInputs = 3;
    EXPECT_FALSE(engine.CanFitAntennas(module));
}

TEST(AntennaBands, InputCoversBands) {
    uint8_t use[BandSlots] = {};
    use[4] = use[5] = 1;
    std::array<float, BandSlots> values;
    values.fill(LevelNone);
    EXPECT_FALSE(TCreaAuto::InputCoversBands(use, values));
    values[4] = 0.0f;
    values[5] = 12.0f;
    EXPECT_TRUE(TCreaAuto::InputCoversBands(use, values));
    values[5] = -1.0f;
    EXPECT_FALSE(TCreaAuto::InputCoversBands(use, values));
    EXPECT_FALSE(TCreaAuto::InputCoversBands(use, std::span<const float>(values).first(4)));
}

TEST_F(AntennaChecksTest, PlacingAnAntennaWithAndWithoutPreamplifier) {
    TGridData grid(nullptr, 30, 30, GridWork);
    engine.Settings->APLungCavoComp = 0.75f;
    Channel(1, "U", "21", 75);
    Channel(2, "V", "5", 60);
    TCella* amp = add.Amplifier(21, 1, Mast, 0, 0);
    const int32_t band = engine.Settings->Antennas[1].Channels.head->band;
    amp->Attenuation->Set3(0, AmpGain, band, 20);
    amp->Attenuation->Set3(0, AmpMaxOutput, band, 120);
    ASSERT_EQ(Check(true), "");
    ASSERT_EQ(Order(), "VU");
    ASSERT_EQ(engine.Antennas[0].Preamplifier, amp);

    TCella* antenna = engine.Antennas[0].Cell.get();
    EXPECT_TRUE(engine.PlaceHeadEndModule(4, 10, 0, &grid));
    EXPECT_EQ(grid.CellAt(4, 8), antenna);
    ASSERT_NE(grid.CellAt(4, 10), nullptr);
    EXPECT_EQ(grid.CellAt(4, 10)->TypeCode, CodeAmplificatore);
    EXPECT_NE(grid.CellAt(4, 10), amp);
    auto* segment = dynamic_cast<TNCavo*>(grid.CellAt(4, 9));
    ASSERT_NE(segment, nullptr);
    EXPECT_EQ(segment->Orientation, 0);
    EXPECT_FLOAT_EQ(segment->PassAttenuation(), 0.75f);
    EXPECT_EQ(engine.Antennas[0].Cell, nullptr);

    // Off the grid: refused, and the entry keeps its antenna.
    EXPECT_FALSE(engine.PlaceHeadEndModule(40, 5, 1, &grid));
    ASSERT_NE(engine.Antennas[1].Cell, nullptr);
    EXPECT_TRUE(engine.PlaceHeadEndModule(12, 5, 1, &grid));
    EXPECT_EQ(grid.CellAt(12, 5)->TypeCode, CodeAntenna);
    EXPECT_EQ(grid.CellAt(12, 4), nullptr);
}

}  // namespace
