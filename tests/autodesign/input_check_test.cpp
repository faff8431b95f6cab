// The input check of a design run: the variant flags and line tables of each
// kind of installation, the outlet shapes and the outlets chosen, the cable
// checks and their messages, and the level figures without a head end.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "autodesign/engine.h"
#include "cells/cables.h"
#include "cells/cell.h"
#include "cells/outlets.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "platform/application.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

constexpr uint32_t Substation = 0x2;

// The installation of a wizard variant.
struct Variant {
    bool ter, sat;
    int32_t cables;
    bool separate, alongStaircase, radial;
};

class InputCheckTest : public GlobalsTest {
protected:
    InputCheckTest() : engine(&globals.Reporter()), add(*engine.Components) {
        std::vector<std::unique_ptr<TCella>> cables;
        cables.push_back(TestCable("CT", DesignComponents::TerSlots()));
        cables.push_back(TestCable("CS", DesignComponents::SatSlots()));
        cables.push_back(TestCable("CJ", {1, 3, 4, 5, 6, 7, 8, 9}));
        cables.push_back(TestCable("C35", {3, 4, 5}));
        AddTestLibrary(libraries.Get(), globals.Dir().Path(), "Cavi", cables);
    }
    void Set(const Variant& v) {
        TOpzProgetto& o = *engine.Settings;
        o.Terrestrial = v.ter;
        o.Satellite = v.sat;
        o.SatelliteCables = v.cables;
        o.SeparateDistributions = v.separate;
        o.MultiswitchAlongStaircase = v.alongStaircase;
        o.Radial = v.radial;
    }
    // Every cable pair names a cable of the right bands.
    void ChooseCables() {
        const char* codes[CableCount] = {"CT", "CS", "CT", "CS", "CT", "CS"};
        for (int p = 0; p < CableCount; ++p) {
            engine.Settings->CableTexts[2 * p] = "Cavi";
            engine.Settings->CableTexts[2 * p + 1] = codes[p];
        }
    }
    // Runs the check with the reporter in report-once mode; the message shown.
    AnsiString Check(bool expected) { return RunInputCheck(engine, expected); }
    std::vector<int> ChecksRun() const {
        std::vector<int> run;
        for (int k = 0; k < 9; ++k)
            if (engine.CableCheckRuns(k)) run.push_back(k + 1);
        return run;
    }
    ScopedLibraries libraries;
    TCreaAuto engine;
    DesignComponents add;
};

TEST_F(InputCheckTest, VariantFlagsOfEachWizardVariant) {
    struct Case {
        const char* name;
        Variant variant;
        uint8_t multiswitch, radial, staircase, apartment;
        std::vector<uint8_t> tapNetwork, carriesTer, carriesSat;
        std::vector<int32_t> lineCount;
        std::vector<int8_t> outletShape;
        std::vector<int> checks;
        const char* message;
    };
    const char* riserTer = "Non è stato selezionato alcun cavo montante terrestre.";
    const char* riserSat = "Non è stato selezionato alcun cavo montante satellitare.";
    // clang-format off
    const Case cases[] = {
        {"T only", {true, false, 1, false, true, false}, 0, 0, 0, 0, {1, 0}, {1, 0}, {0, 0}, {1, 0}, {1, 1, 0, 1},
         {2, 5, 8}, riserTer},
        {"T+S Monocavo Unite", {true, true, 1, false, true, false}, 0, 0, 0, 0, {1, 0}, {1, 0}, {1, 0}, {1, 0},
         {2, 1, 0, 1}, {1, 3, 4, 7}, "Non è stato selezionato alcun cavo montante."},
        {"T+S Monocavo Separate", {true, true, 1, true, true, false}, 0, 0, 0, 0, {1, 1}, {1, 0}, {0, 1}, {1, 1},
         {1, 1, 0, 1}, {2, 3, 5, 6, 8, 9}, riserTer},
        {"T+S 4 cables Unite in the apartment", {true, true, 4, false, false, false}, 1, 0, 0, 1, {0, 0}, {0, 1},
         {0, 1}, {0, 5}, {1, 2, 0, 0}, {2, 3, 5, 6, 9}, riserTer},
        {"T+S 4 cables Unite along the staircase", {true, true, 4, false, true, false}, 1, 0, 1, 0, {0, 0}, {0, 1},
         {0, 1}, {0, 5}, {1, 2, 0, 0}, {2, 3, 6, 9}, riserTer},
        {"S only 8 cables radial", {false, true, 8, false, false, true}, 1, 1, 0, 0, {0, 0}, {0, 0}, {0, 1}, {0, 8},
         {1, 1, 0, 1}, {3, 6, 9}, riserSat},
        {"S only Monocavo", {false, true, 1, false, true, false}, 0, 0, 0, 0, {0, 1}, {0, 0}, {0, 1}, {0, 1},
         {1, 1, 0, 1}, {3, 6, 9}, riserSat},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Set(c.variant);
        EXPECT_EQ(Check(false), c.message);
        EXPECT_EQ(engine.MultiswitchSat, c.multiswitch);
        EXPECT_EQ(engine.MultiswitchRadial, c.radial);
        EXPECT_EQ(engine.MultiswitchStaircase, c.staircase);
        EXPECT_EQ(engine.MultiswitchApartment, c.apartment);
        EXPECT_EQ(std::vector<uint8_t>(engine.TapNetwork, engine.TapNetwork + 2), c.tapNetwork);
        EXPECT_EQ(std::vector<uint8_t>(engine.CarriesTer, engine.CarriesTer + 2), c.carriesTer);
        EXPECT_EQ(std::vector<uint8_t>(engine.CarriesSat, engine.CarriesSat + 2), c.carriesSat);
        EXPECT_EQ(engine.TerOnMultiswitch, engine.CarriesTer[1]);
        EXPECT_EQ(std::vector<int32_t>(engine.LineCount, engine.LineCount + 2), c.lineCount);
        EXPECT_EQ(std::vector<int8_t>(engine.OutletShape, engine.OutletShape + 4), c.outletShape);
        EXPECT_EQ(ChecksRun(), c.checks);
    }
}

TEST_F(InputCheckTest, RadialOutputsCountSingleOutletsOnce) {
    Set({false, true, 8, false, false, true});
    TPalazzo& b = *engine.Settings->Building;
    TScala& s = b.Staircases[0];
    s.FloorCount = 2;
    s.Floors[0].ApartmentCount = 2;
    s.Floors[0].Apartments[0] = s.Floors[0].Apartments[1] = TAppartamento{1, 2, 0, 0, 5, 5};
    s.Floors[1].ApartmentCount = 2;
    s.Floors[1].Apartments[0] = TAppartamento{1, 2, 0, 0, 5, 5};
    s.Floors[1].Apartments[1] = TAppartamento{1, 3, 0, 7, 5, 5};
    Check(false);
    EXPECT_EQ(engine.RadialOutputs[0], 6);
    EXPECT_EQ(engine.RadialOutputsTotal, 6);
}

TEST_F(InputCheckTest, LineTablesMoveWithTheLineCount) {
    const int32_t* colours = engine.Settings->APColore;
    {
        SCOPED_TRACE("only 6-input switches for 5 lines");
        Set({true, true, 4, false, false, false});
        add.Switch(10, 6, 8);
        Check(false);
        EXPECT_EQ(engine.LineCount[1], 6);
        EXPECT_EQ(engine.LineColour[0], colours[0]);
        EXPECT_EQ(engine.LineColour[1], colours[0]);
        EXPECT_EQ(engine.LineColour[2], colours[1]);
        EXPECT_EQ(engine.LineColour[9], colours[8]);
        EXPECT_EQ(engine.LineIsTerrestrial[0], 1);
        EXPECT_EQ(engine.LineIsTerrestrial[1], 1);
        EXPECT_EQ(engine.LineIsTerrestrial[2], 0);
    }
    {
        SCOPED_TRACE("satellite alone on the multiswitch");
        Set({false, true, 4, false, false, false});
        Check(false);
        EXPECT_EQ(engine.LineCount[1], 4);
        EXPECT_EQ(engine.LineColour[0], colours[1]);
        EXPECT_EQ(engine.LineColour[7], colours[8]);
        EXPECT_EQ(engine.LineColour[8], colours[8]);
        EXPECT_EQ(engine.LineIsTerrestrial[0], 0);
    }
    {
        SCOPED_TRACE("a terrestrial single cable");
        Set({true, false, 1, false, true, false});
        Check(false);
        EXPECT_EQ(engine.LineColour[0], colours[1]);
        EXPECT_EQ(engine.LineColour[1], colours[1]);
    }
}

TEST_F(InputCheckTest, LineAmplifiersOfAMultiswitchRiser) {
    struct Case {
        const char* name;
        Variant variant;
        std::vector<int32_t> amplifierInputs;
        int32_t inputs, rest;
    };
    // clang-format off
    const Case cases[] = {
        {"5 lines, 6 and 4", {true, true, 4, false, false, false}, {6, 4}, 6, 5},
        {"5 lines, 4", {true, true, 4, false, false, false}, {4}, 4, 1},
        {"8 lines, 4 and 8", {false, true, 8, false, false, false}, {4, 8}, 8, 0},
        {"9 lines, 9", {true, true, 8, false, false, false}, {9}, 9, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.Components->Clear();
        for (int32_t inputs : c.amplifierInputs) add.Amplifier(21, inputs, Substation, 100.0f, 108.0f);
        Set(c.variant);
        Check(false);
        EXPECT_EQ(engine.LineAmpInputs, c.inputs);
        EXPECT_EQ(engine.LineAmpRest, c.rest);
    }
}

TEST_F(InputCheckTest, OutletShapesOfTheConnectorChoices) {
    Set({true, true, 1, true, true, false});
    const int8_t shapes[8][2] = {{1, 0}, {1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}, {2, 2}, {3, -1}};
    for (int32_t choice = 0; choice < 8; ++choice) {
        engine.Settings->TerrConnector = engine.Settings->SatConnector = choice;
        Check(false);
        EXPECT_EQ(engine.OutletShape[0], shapes[choice][0]) << choice;
        EXPECT_EQ(engine.OutletShape[2], shapes[choice][1]) << choice;
        // "(Automatico)" is connector F for a satellite outlet.
        EXPECT_EQ(engine.OutletShape[1], shapes[choice][0]) << choice;
        EXPECT_EQ(engine.OutletShape[3], choice == 0 ? 1 : shapes[choice][1]) << choice;
    }
}

TEST_F(InputCheckTest, OutletsChosenForEachRole) {
    const auto ter = DesignComponents::TerSlots();
    const std::vector<int32_t> all = {1, 3, 4, 5, 6, 7, 8, 9};
    const auto sat = DesignComponents::SatSlots();
    struct Case {
        const char* name;
        Variant variant;
        int32_t connector;
        std::function<void(DesignComponents&)> outlets;
        int type, role;
        int expected;  // position in the list of the outlet chosen, -1 none
    };
    const Variant terOnly{true, false, 1, false, true, false};
    const Variant mixed{true, true, 1, false, true, false};
    const Variant multiswitch{true, true, 4, false, false, false};
    // clang-format off
    const Case cases[] = {
        {"terrestrial outlet, automatic", terOnly, 0, [&](DesignComponents& a) { a.Outlet(15, 1, 0, ter); },
         OutletThrough, RoleTer, 0},
        {"terrestrial outlet, IEC male", terOnly, 1, [&](DesignComponents& a) { a.Outlet(14, 1, 0, ter); },
         OutletDirect, RoleTer, 0},
        {"terrestrial outlet powered at its socket", terOnly, 0,
         [&](DesignComponents& a) { a.Outlet(15, 1, 0, ter, true); }, OutletThrough, RoleTer, -1},
        {"mixed cable: terrestrial outlet", mixed, 0, [&](DesignComponents& a) { a.Outlet(15, 2, 0, ter); },
         OutletThrough, RoleTer, -1},
        {"mixed cable: all-band outlet", mixed, 0, [&](DesignComponents& a) { a.Outlet(15, 2, 0, all); },
         OutletThrough, RoleTer, 0},
        {"mixed cable: all-band outlet powered", mixed, 0, [&](DesignComponents& a) { a.Outlet(54, 2, 0, all, true); },
         OutletTerminal, RoleTer, 0},
        {"multiswitch: all-band outlet powered", multiswitch, 0,
         [&](DesignComponents& a) { a.Outlet(15, 2, 0, all, true); }, OutletThrough, RoleSatDc, 0},
        {"multiswitch: satellite outlet powered", multiswitch, 0,
         [&](DesignComponents& a) { a.Outlet(15, 2, 0, sat, true); }, OutletThrough, RoleSatDc, -1},
        {"two matches: the later", terOnly, 0,
         [&](DesignComponents& a) {
             a.Outlet(15, 1, 0, ter);
             a.Outlet(15, 1, 0, ter);
         },
         OutletThrough, RoleTer, 1},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.Components->Clear();
        c.outlets(add);
        Set(c.variant);
        engine.Settings->TerrConnector = engine.Settings->SatConnector = c.connector;
        Check(false);
        TCella* expected = nullptr;
        int i = 0;
        for (TCella* cell = engine.Components->head; cell; cell = cell->NextInList, ++i)
            if (i == c.expected) expected = cell;
        EXPECT_EQ(engine.OutletChoice[c.type][c.role], expected);
    }
}

TEST_F(InputCheckTest, CableMessages) {
    struct Case {
        const char* name;
        Variant variant;
        const char* riserTer;  // codes of the riser pairs, "" for empty
        const char* riserSat;
        const char* library;
        const char* message;
    };
    // clang-format off
    const Case cases[] = {
        {"unknown code", {true, false, 1, false, true, false}, "X9", "", "Cavi",
         "Non esiste un cavo con codice X9 nella libreria Cavi. Verificare i codici dei cavi selezionati."},
        {"unknown library", {true, false, 1, false, true, false}, "CT", "", "Altri",
         "Non esiste un cavo con codice CT nella libreria Altri. Verificare i codici dei cavi selezionati."},
        {"riser without band I", {true, false, 1, false, true, false}, "C35", "", "Cavi",
         "Non è stato selezionato un cavo adeguato per il montante terrestre. Il cavo deve gestire segnali "
         "terrestri."},
        {"joint riser of satellite bands only", {true, true, 1, false, true, false}, "", "CS", "Cavi",
         "Non è stato selezionato un cavo adeguato per il montante. Il cavo deve gestire segnali terrestri e "
         "satellitari."},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Set(c.variant);
        ChooseCables();
        for (int pair : {CableRiserTer, CableRiserSat}) {
            engine.Settings->CableTexts[2 * pair] = c.library;
            engine.Settings->CableTexts[2 * pair + 1] = pair == CableRiserTer ? c.riserTer : c.riserSat;
        }
        EXPECT_EQ(Check(false), c.message);
    }
}

TEST_F(InputCheckTest, MixedSingleCableNeedsOnlyTheSatellitePairs) {
    Set({true, true, 1, false, true, false});
    for (int p : {CableRiserSat, CableStaircaseSat, CableApartmentSat}) {
        engine.Settings->CableTexts[2 * p] = "Cavi";
        engine.Settings->CableTexts[2 * p + 1] = "CJ";
    }
    EXPECT_EQ(Check(true), "");
    // The joint cable is loaded into the terrestrial objects too.
    for (int cable : {CableRiserTer, CableRiserSat, CableStaircaseTer, CableApartmentTer})
        EXPECT_EQ(engine.Cables[cable]->Code, "CJ") << cable;
}

TEST_F(InputCheckTest, BackOffs) {
    const std::pair<int32_t, double> cases[] = {{30, 7.5 * std::log10(29.0)},
                                                {12, 7.5 * std::log10(11.0)},
                                                {3, 7.5 * std::log10(2.0)},
                                                {2, 0.0},
                                                {0, 0.0},
                                                {-5, 0.0}};
    for (auto [n, expected] : cases) EXPECT_NEAR(TCreaAuto::BackOff(n), expected, 1e-5) << n;
    EXPECT_NEAR(TCreaAuto::BackOff(30), 10.968, 5e-4);
    EXPECT_NEAR(TCreaAuto::BackOff(12), 7.810, 5e-4);
    EXPECT_NEAR(TCreaAuto::BackOff(3), 2.258, 5e-4);
}

TEST_F(InputCheckTest, FiguresWithoutAHeadEnd) {
    Set({true, false, 1, false, true, false});
    ChooseCables();
    add.Amplifier(21, 4, Substation, 110.0f, 112.0f);
    EXPECT_EQ(Check(true), "");
    const float level = 113.0f - TCreaAuto::BackOff(30);
    EXPECT_NEAR(level, 102.03f, 0.005f);
    for (float v : {engine.HeadEndLevelTer, engine.LineLevelTer, engine.HeadEndLevelSat, engine.LineLevelSat})
        EXPECT_FLOAT_EQ(v, level);
    EXPECT_FLOAT_EQ(engine.LnbLevelMax, 65.0f);
    EXPECT_FLOAT_EQ(engine.LnbLevelMin, 65.0f);
    EXPECT_NEAR(engine.SubstationLevelTer[2], -10.968f, 5e-4);
    EXPECT_FLOAT_EQ(engine.SubstationLevelTer[4], 110.0f - TCreaAuto::BackOff(30));
    EXPECT_FLOAT_EQ(engine.SubstationLevelSat[4], 112.0f - TCreaAuto::BackOff(30));
    EXPECT_FLOAT_EQ(engine.BackOffTerNF, TCreaAuto::BackOff(30));
}

}  // namespace
