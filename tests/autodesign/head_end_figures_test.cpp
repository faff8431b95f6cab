// The head-end part of the input check: back-offs, module families with the
// levels of their finals, the wideband and line amplifier levels, and the
// LNB group of a multiswitch.
#include <gtest/gtest.h>

#include <functional>

#include "autodesign/engine.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/sources.h"
#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/filter_modules.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "platform/application.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

constexpr uint32_t HeadEnd = 0x1, Substation = 0x2;
constexpr uint32_t IfConverter = 1;  // conversion kind of an IF/IF converter module

class HeadEndFiguresTest : public GlobalsTest {
protected:
    HeadEndFiguresTest() : engine(&globals.Reporter()), add(*engine.Components) {
        std::vector<std::unique_ptr<TCella>> cells;
        cells.push_back(TestCable("CT", DesignComponents::TerSlots()));
        cells.push_back(TestCable("CJ", {1, 3, 4, 5, 6, 7, 8, 9}));
        auto antenna = std::make_unique<TAntenna>(nullptr, 0, 0, 0, 0);
        antenna->Code = "U";
        antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, 470.0f);
        antenna->Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, 862.0f);
        cells.push_back(std::move(antenna));
        AddTestLibrary(libraries.Get(), globals.Dir().Path(), "Lib", cells);
        TOpzProgetto& o = *engine.Settings;
        o.DesignHeadEnd = true;
        for (int p = 0; p < CableCount; ++p) {
            o.CableTexts[2 * p] = "Lib";
            o.CableTexts[2 * p + 1] = p % 2 == 0 ? "CT" : "CJ";
        }
        // Antenna 1 brings 30 UHF channels.
        TAntennaAutoProg& a = o.Antennas[0];
        a.Library = "Lib";
        a.Code = "U";
        for (int n = 21; n <= 50; ++n) {
            TCanale c;
            a.Plan->SetChannel(c, a.Plan->IndexOf(IntToStr(n)));
            c.band = SistemaBandeCorrente->BandOf(c.CentreFrequency());
            c.levelMin = c.levelMax = 80.0f;
            a.Channels.Insert(c);
        }
    }
    void Installation(bool ter, bool sat, int32_t cables, bool separate) {
        TOpzProgetto& o = *engine.Settings;
        o.Terrestrial = ter;
        o.Satellite = sat;
        o.SatelliteCables = cables;
        o.SeparateDistributions = separate;
        o.MultiswitchAlongStaircase = false;
    }
    // A terrestrial family "Ov Alfa" whose head-end final gives level.
    void TerrestrialFamily(float level = 114.0f) {
        add.HeadEndModule(35, "Ov", "Alfa", 90.0f);
        add.Final("Ov", "Alfa", 1, 1, HeadEnd, level, 0.0f);
    }
    AnsiString Check(bool expected) { return RunInputCheck(engine, expected); }
    ScopedLibraries libraries;
    TCreaAuto engine;
    DesignComponents add;
    const float backOff30 = TCreaAuto::BackOff(30);
};

TEST_F(HeadEndFiguresTest, TerrestrialFamilyWorkedByHand) {
    Installation(true, false, 1, false);
    add.HeadEndModule(35, "Ov", "Alfa", 100.0f);
    add.HeadEndModule(35, "Ov", "Alfa", 100.0f);  // the same family
    add.Final("Ov", "Alfa", 1, 1, HeadEnd, 114.0f, 0.0f);
    add.Final("Ov", "Alfa", 1, 1, HeadEnd, 118.0f, 0.0f);
    add.Final("Ov", "Alfa", 1, 1, Substation, 111.0f, 0.0f);
    add.Final("Ov", "Alfa", 2, 1, Substation, 125.0f, 0.0f);
    add.Final("Ov", "Beta", 1, 1, HeadEnd, 130.0f, 0.0f);  // another series
    ASSERT_EQ(Check(true), "");
    EXPECT_NEAR(engine.BackOffTer, 10.968f, 5e-4);
    ASSERT_EQ(engine.FamilyCount[0], 1);
    const TFamiglia& f = engine.FamilyTer[0];
    EXPECT_EQ(f.Brand, "Ov");
    EXPECT_EQ(f.Series, "Alfa");
    EXPECT_FLOAT_EQ(f.ModuleLevel, 100.0f);
    EXPECT_NEAR(f.H[0][0], 107.03f, 0.005f);
    EXPECT_FLOAT_EQ(f.Hmax, f.H[0][0]);
    EXPECT_FLOAT_EQ(f.S[1][0], 125.0f - backOff30);
    EXPECT_FLOAT_EQ(f.Smax, 111.0f - backOff30);  // the 2-input final does not count
    EXPECT_EQ(f.H[0][1], LevelNone);
    EXPECT_FLOAT_EQ(engine.HeadEndLevelTer, f.Hmax);
    EXPECT_FLOAT_EQ(engine.LineLevelTer, f.Smax);
}

TEST_F(HeadEndFiguresTest, TerrestrialMessagesAndLimits) {
    Installation(true, false, 1, false);
    struct Case {
        const char* name;
        std::function<void()> components;
        const char* message;
    };
    // clang-format off
    const Case cases[] = {
        {"a filter without series", [this] { add.HeadEndModule(35, "Ov", "", 90.0f); },
         "Alcuni dei filtri attivi selezionati non hanno una serie o marca definita. Servono sia la marca che la "
         "serie per l'autoprogetto."},
        {"no active filter", [this] { add.Final("Ov", "Alfa", 1, 1, HeadEnd, 114.0f, 0.0f); },
         "Non sono stati selezionati componenti attivi per la centrale terrestre."},
        {"a gain-control filter of a satellite plan",
         [this] { add.HeadEndModule(42, "Ov", "Alfa", 90.0f, 0, Canalizzazioni->Find("Eutelsat 13E")); },
         "Non sono stati selezionati componenti attivi per la centrale terrestre."},
        {"an active filter of the IF band",
         [this] {
             TModuloFiltro& m = *dynamic_cast<TCellaAutoMix*>(add.HeadEndModule(35, "Ov", "Si", 90.0f))->Modules->head;
             m.slotLow[ModuleInputSlot] = 950.0f;
             m.slotHigh[ModuleInputSlot] = 2150.0f;
             add.Final("Ov", "Si", 1, 1, HeadEnd, 114.0f, 0.0f);
         },
         "Non sono stati selezionati componenti attivi per la centrale terrestre."},
        {"a gain-control filter of a terrestrial plan",
         [this] { add.HeadEndModule(42, "Ov", "Alfa", 90.0f, 0, CanalizzazioneEuropa); }, ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.Components->Clear();
        c.components();
        EXPECT_EQ(Check(*c.message == 0), c.message);
    }
}

TEST_F(HeadEndFiguresTest, AnEleventhFamilyIsNeverFormed) {
    Installation(true, false, 1, false);
    for (int k = 0; k < 11; ++k) add.HeadEndModule(35, "Ov", "S" + IntToStr(k), 90.0f + k);
    ASSERT_EQ(Check(true), "");
    EXPECT_EQ(engine.FamilyCount[0], 10);
    EXPECT_FLOAT_EQ(engine.HeadEndLevelTer, 99.0f);
}

TEST_F(HeadEndFiguresTest, WidebandHeadEnd) {
    Installation(true, false, 1, false);
    engine.Settings->Wideband = true;
    add.Wideband({{4, 5}}, HeadEnd, 120.0f);
    add.Wideband({{4, 5}}, 0x4, 130.0f);        // not a head-end position
    add.Wideband({{4}, {4}}, HeadEnd, 140.0f);  // its inputs miss band V
    ASSERT_EQ(Check(true), "");
    EXPECT_FLOAT_EQ(engine.HeadEndLevelTer, 120.0f - engine.BackOffTer);
    // None offered, or none whose inputs take the antennas' bands.
    engine.Components->Clear();
    EXPECT_EQ(Check(false), "Nessun amplificatore a larga banda selezionabile.");
    add.Wideband({{4}}, HeadEnd, 140.0f);
    EXPECT_EQ(Check(false),
              "Nessun amplificatore a larga banda selezionabile. Nessuno dei selezionati ha ingressi per le "
              "bande ricevute dalle antenne.");
}

TEST_F(HeadEndFiguresTest, SatelliteConverterFamilies) {
    Installation(false, true, 1, false);
    struct Case {
        const char* name;
        std::function<void()> components;
        const char* message;
        int32_t families;
    };
    // clang-format off
    const Case cases[] = {
        {"a converter without series", [this] { add.HeadEndModule(37, "Ov", "", 95.0f, IfConverter); },
         "Alcuni dei convertitori sat selezionati non hanno una serie o marca definita. Servono sia la marca che la "
         "serie per l'autoprogetto.",
         0},
        {"finals of two inputs only",
         [this] {
             add.HeadEndModule(37, "Ov", "Sat", 95.0f, IfConverter);
             add.Final("Ov", "Sat", 2, 1, HeadEnd, 0.0f, 120.0f);
         },
         "Non sono stati selezionati componenti attivi per la centrale satellitare.", 0},
        {"a channel converter is no family",
         [this] {
             add.HeadEndModule(37, "Ov", "Sat", 95.0f, 0);
             add.Final("Ov", "Sat", 1, 1, HeadEnd, 0.0f, 120.0f);
         },
         "Non sono stati selezionati componenti attivi per la centrale satellitare.", 0},
        {"a family with a head-end final",
         [this] {
             add.HeadEndModule(37, "Ov", "Sat", 95.0f, IfConverter);
             add.Final("Ov", "Sat", 1, 1, HeadEnd, 0.0f, 120.0f);
         },
         "", 1},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.Components->Clear();
        c.components();
        EXPECT_EQ(Check(*c.message == 0), c.message);
        EXPECT_EQ(engine.FamilyCount[1], c.families);
    }
    EXPECT_FLOAT_EQ(engine.HeadEndLevelSat, 120.0f - backOff30);
}

TEST_F(HeadEndFiguresTest, CustomModelAndNegativeChannelCount) {
    Installation(false, true, 1, false);
    engine.Settings->APNumCanaliSat = -1;
    engine.CustomModelCode = "CT-1";
    add.Custom("CT-1");
    ASSERT_EQ(Check(true), "");
    EXPECT_EQ(engine.BackOffSat, 0.0f);
    EXPECT_EQ(engine.FamilyCount[1], 0);
    EXPECT_FLOAT_EQ(engine.HeadEndLevelSat, 112.0f);
}

TEST_F(HeadEndFiguresTest, MixedSingleCableWithoutMixer) {
    Installation(true, true, 1, false);
    TerrestrialFamily();
    add.HeadEndModule(37, "Ov", "Sat", 95.0f, IfConverter);
    add.Final("Ov", "Sat", 1, 1, HeadEnd, 0.0f, 121.0f);
    add.Final("Ov", "Sat", 1, 4, HeadEnd, 0.0f, 118.0f);
    add.Final("Ov", "Sat", 2, 4, HeadEnd, 0.0f, 130.0f);
    ASSERT_EQ(Check(true), "");
    ASSERT_EQ(engine.FamilyCount[1], 1);
    const TFamiglia& f = engine.FamilySat[0];
    for (int b : {0, 2, 3}) EXPECT_EQ(f.H[b][0], LevelNone) << b;
    for (int a = 0; a < FamilyShapes; ++a) EXPECT_EQ(f.H[1][a], 0.0f) << a;
    EXPECT_FLOAT_EQ(f.H[0][3], 118.0f - backOff30);
    EXPECT_FLOAT_EQ(f.Hmax, 118.0f - backOff30);
}

TEST_F(HeadEndFiguresTest, LineAmplifiersRaiseTheLineLevels) {
    Installation(true, false, 1, false);
    TerrestrialFamily();
    struct Case {
        std::vector<int32_t> bands;
        bool raisesTer;
    };
    for (const Case& c : {Case{{1, 3, 4, 5}, true}, Case{{1, 3, 4, 5, 6}, false}, Case{{3, 4, 5}, false}}) {
        engine.Components->Clear();
        TerrestrialFamily();
        TCella* amp = add.Amplifier(21, 1, Substation, 108.0f, 0.0f);
        for (int32_t slot : c.bands) amp->Attenuation->Set3(0, AmpGain, slot, 30.0f);
        ASSERT_EQ(Check(true), "");
        EXPECT_EQ(engine.LineLevelTer == 108.0f - engine.BackOffTer, c.raisesTer) << c.bands.size();
    }
}

TEST_F(HeadEndFiguresTest, AChannelWithoutLevelIsDesignedAtTheDefaultLevel) {
    Installation(true, false, 1, false);
    TerrestrialFamily();
    TCanale* emptied = engine.Settings->Antennas[0].Channels.head;
    emptied->levelMin = emptied->levelMax = LevelNone;
    // A mast preamplifier that would be taken for a weak antenna.
    TCella* amp = add.Amplifier(21, 1, 0x20, 0.0f, 0.0f);
    amp->Attenuation->Set3(0, AmpGain, emptied->band, 20.0f);
    amp->Attenuation->Set3(0, AmpMaxOutput, emptied->band, 130.0f);
    ASSERT_EQ(Check(true), "");
    const TAntennaEntry& e = engine.Antennas[0];
    EXPECT_EQ(e.Lowest, 70.0f);
    EXPECT_EQ(e.NeedsPreamplifier, 0);
    EXPECT_EQ(e.Preamplifier, nullptr);
    EXPECT_EQ(e.Cell->SourceChannels->head->levelMin, 70.0f);
    EXPECT_EQ(emptied->levelMin, LevelNone);
}

TEST_F(HeadEndFiguresTest, LnbGroupOfAMultiswitch) {
    Installation(true, true, 4, false);  // 5 lines with terrestrial: LNBs matched against 4 outputs
    TerrestrialFamily();
    struct Case {
        const char* name;
        std::function<void()> components;
        const char* message;
        float max, min;
    };
    // clang-format off
    const Case cases[] = {
        {"8, 2 and 4 outputs",
         [this] {
             add.Lnb(8, "A", 70.0f);
             add.Lnb(2, "A", 71.0f);
             add.Lnb(4, "A", 72.0f);
         },
         "", 72.0f, 72.0f},
        {"the series with a dish",
         [this] {
             add.Lnb(4, "A", 80.0f);
             add.Lnb(4, "B", 82.0f);
             add.Dish("B");
         },
         "", 82.0f, 82.0f},
        {"no dish: every LNB of the group",
         [this] {
             add.Lnb(4, "A", 80.0f);
             add.Lnb(4, "B", 82.0f);
         },
         "", 82.0f, 80.0f},
        {"no LNB", [] {}, "Non sono stati selezionati LNB adeguati alla centrale satellitare.", 0.0f, 1000.0f},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.Components->Clear();
        TerrestrialFamily();
        c.components();
        EXPECT_EQ(Check(*c.message == 0), c.message);
        EXPECT_FLOAT_EQ(engine.LnbLevelMax, c.max);
        EXPECT_FLOAT_EQ(engine.LnbLevelMin, c.min);
    }
}

TEST_F(HeadEndFiguresTest, ARunThroughTheWholeCheckShowsTheNewProject) {
    Installation(true, false, 1, false);
    TerrestrialFamily();
    // The head end alone, for a network that asks nothing of it.
    engine.Settings->DesignNetwork = false;
    engine.Settings->APSigReqCtTer = 0.0f;
    DesignWindowStandIn window;
    window.project.Name = "Vecchio.ant";
    engine.Window = &window;
    Application->Script().Reset();
    // The check passes; the head end of a family without jumpers then stops
    // the run, which shows the emptied project.
    EXPECT_FALSE(engine.Run());
    EXPECT_EQ(window.calls, (std::vector<std::string>{"reset", "reset", "show"}));
    EXPECT_EQ(window.project.Name, UntitledProjectName);
    EXPECT_EQ(ShownMessage(), "Non sono stati selezionati ponticelli adeguati alla centrale terrestre.");
    Application->Script().Reset();
    // The check has run: the antennas and the family are there for the head end.
    EXPECT_EQ(engine.AntennaCount, 1);
    EXPECT_EQ(engine.FamilyCount[0], 1);

    engine.Components->Clear();  // no active filter: the check stops the run
    window.calls.clear();
    window.project.Name = "Vecchio.ant";
    EXPECT_FALSE(engine.Run());
    EXPECT_TRUE(window.calls.empty());
    EXPECT_EQ(window.project.Name, "Vecchio.ant");
    EXPECT_EQ(ShownMessage(), "Non sono stati selezionati componenti attivi per la centrale terrestre.");
}

}  // namespace
