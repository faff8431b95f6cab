// The choices of the head-end blocks on small fixtures: the family of each
// kind, the module choosers, the LNB of a multiswitch and the transponders of
// the IF head end's LNB, and the wideband amplifier's margins.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "autodesign/engine.h"
#include "cells/active_filters.h"
#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/factory.h"
#include "cells/graphic_cells.h"
#include "cells/sources.h"
#include "cells/terminations.h"
#include "core/channel_list.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/reporter.h"
#include "cells/component_data.h"
#include "document/grid.h"
#include "platform/stdctrls.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"

namespace {

class HeadEndChoosersTest : public GlobalsTest {
protected:
    HeadEndChoosersTest() : engine(&globals.Reporter()), add(*engine.Components) {
        grid = std::make_unique<TGridData>(nullptr, WorkGridSize, WorkGridSize, GridWork);
    }
    void SetUp() override { globals.Reporter().SetTarget(&messages); }
    std::vector<std::string> Messages() {
        std::vector<std::string> shown;
        for (int i = 0; i < messages.Items->Count(); ++i) shown.push_back(messages.Items->Strings(i));
        messages.Items->Clear();
        return shown;
    }
    // A chained module (code 35, 42 or 37) of family "Ov"/"Alfa" for a passband.
    TCella* Module(int32_t code, int32_t inputs, float low, float high, float draw = 0.0f) {
        std::unique_ptr<TCella> c = NewCella(nullptr, code, 0, 0, inputs, AutoMixOutputOuter, 0);
        c->Brand = "Ov";
        c->Series = "Alfa";
        c->Current1 = draw;
        TModuloFiltro& m = *static_cast<TCellaAutoMix*>(c.get())->Modules->head;
        m.slotLow[ModuleInputSlot] = low;
        m.slotHigh[ModuleInputSlot] = high;
        c->Code = "M" + IntToStr(++codes);
        return engine.Components->Append(std::move(c));
    }
    TCella* Supply(float capacity) {
        std::unique_ptr<TCella> c = NewCella(nullptr, CodeAlimentatoreSF, 0, 0, 0, 0, 0);
        c->Brand = "Ov";
        c->Series = "Alfa";
        c->Current2 = capacity;
        c->Code = "S" + IntToStr(++codes);
        return engine.Components->Append(std::move(c));
    }
    static TCanale Channel(float low, float high, const char* name) {
        TCanale c;
        c.freqLow = low;
        c.freqHigh = high;
        c.name = name;
        return c;
    }
    TListBox messages;
    TCreaAuto engine;
    DesignComponents add;
    std::unique_ptr<TGridData> grid;
    int codes = 0;
};

TEST_F(HeadEndChoosersTest, FamilyChoiceFollowsTheRulesOfEachKind) {
    struct Family {
        float l1, l2, lc, z;
    };
    struct Case {
        const char* name;
        float req, x;
        bool tapNetwork, mixed;
        int32_t terInputs, satInputs;
        std::vector<Family> families;
        int32_t ter, sat;
    };
    // clang-format off
    const Case cases[] = {
        // Head-end rule: the smallest L1 that reaches; a module level may stand in for it.
        {"smallest head-end level reaching", 110, 0, false, false, 1, 0, {{120, 0, 0, 0}, {112, 0, 0, 0}, {115, 0, 0, 0}}, 1, 1},
        {"module level below the need", 110, 0, false, false, 1, 0, {{100, 0, 111, 0}, {105, 0, 109, 0}, {100, 0, 0, 0}}, 0, -1},
        {"two module levels, the smaller wins", 110, 0, false, false, 1, 0, {{100, 0, 118, 0}, {100, 0, 112, 0}, {0, 0, 0, 0}}, 1, -1},
        {"finals reaching win over modules reaching", 110, 0, false, false, 1, 0, {{100, 0, 112, 0}, {120, 0, 0, 0}, {100, 0, 111, 0}}, 1, 1},
        {"mixed antenna refuses a two-input final", 110, 0, false, true, 1, 0, {{120, 0, 0, 0}, {112, 0, 0, 3}, {115, 0, 0, 0}}, 2, 1},
        // Substation rule: the smallest L2 that reaches, else the smallest L1 when X reaches.
        {"substation level", 110, 0, true, false, 2, 2, {{120, 111, 0, 0}, {112, 115, 0, 0}, {115, 113, 0, 0}}, 0, 0},
        {"no substation level, X reaches", 110, 112, true, false, 2, 2, {{120, 100, 0, 0}, {112, 100, 0, 0}, {118, 90, 0, 0}}, 1, 1},
        {"no family and X below", 110, 105, true, false, 2, 2, {{120, 100, 0, 0}, {112, 100, 0, 0}, {118, 90, 0, 0}}, -1, -1},
        {"one terrestrial input takes the head-end rule", 110, 105, true, false, 1, 0, {{120, 100, 0, 0}, {112, 100, 0, 0}, {118, 90, 0, 0}}, 1, 1},
    };
    // clang-format on
    engine.Settings->Terrestrial = engine.Settings->Satellite = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.RequiredLevelTer = engine.RequiredLevelSat = c.req;
        std::fill(std::begin(engine.SubstationLevelTer), std::end(engine.SubstationLevelTer), c.x);
        std::fill(std::begin(engine.SubstationLevelSat), std::end(engine.SubstationLevelSat), c.x);
        engine.TapNetwork[0] = c.tapNetwork;
        engine.MixedAntenna = c.mixed;
        engine.EntryInputsTer = c.terInputs;
        engine.EntryInputsSat = c.satInputs;
        engine.FamilyCount[0] = engine.FamilyCount[1] = static_cast<int32_t>(c.families.size());
        for (size_t i = 0; i < c.families.size(); ++i)
            for (auto* f : {&engine.FamilyTer[i], &engine.FamilySat[i]}) {
                *f = TFamiglia{};
                f->Hmax = c.families[i].l1;
                f->Smax = c.families[i].l2;
                f->ModuleLevel = c.families[i].lc;
                f->H[1][0] = c.families[i].z;
            }
        engine.ChooseHeadEndFamilies();
        EXPECT_EQ(engine.ChosenFamily[0], c.ter);
        EXPECT_EQ(engine.ChosenFamily[1], c.sat);
    }
}

TEST_F(HeadEndChoosersTest, ChannelFiltersTakeTheWholeChannelAndPreferPlainFilters) {
    float consumption = 10.0f;
    TCella* gain = Module(CodeFiltroCAG, AutoMixCommonLine, 470, 478, 40.0f);
    Module(CodeFiltroAT, AutoMixCommonLine, 471, 478, 30.0f);  // starts above the channel
    TCella* plain = Module(CodeFiltroAT, AutoMixCommonLine, 470, 478, 35.0f);
    const TCanale exact = Channel(470, 478, "21");
    ASSERT_TRUE(engine.SelectChannelFilterAnyInputs(3, 10, grid.get(), "Ov", "Alfa", exact, consumption));
    TCella* placed = grid->CellAt(3, 10);
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->Code, plain->Code);
    EXPECT_FLOAT_EQ(consumption, 45.0f);
    // The wanted input arrangement, and the other series, leave only the gain-control one... or none.
    EXPECT_FALSE(
        engine.SelectChannelFilters(6, 10, grid.get(), "Ov", "Alfa", exact, consumption, AutoMixOneInput));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Non sono stati selezionati filtri adeguati al canale 21."});
    gain->Inputs = AutoMixOneInput;
    ASSERT_TRUE(
        engine.SelectChannelFilters(6, 10, grid.get(), "Ov", "Alfa", exact, consumption, AutoMixOneInput));
    EXPECT_EQ(grid->CellAt(6, 10)->Code, gain->Code);
    EXPECT_FLOAT_EQ(consumption, 85.0f);
    // By code: the same two passes with the article code.
    EXPECT_FALSE(
        engine.SelectChannelFiltersByCode(9, 10, grid.get(), "Ov", "Alfa", exact, consumption, 0, "X"));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Non sono stati selezionati filtri adeguati al canale 21."});
    EXPECT_TRUE(engine.SelectChannelFiltersByCode(9, 10, grid.get(), "Ov", "Alfa", exact, consumption, 0,
                                                  gain->Code));
    // A module on a drawn one is refused, and nothing is displaced.
    EXPECT_FALSE(engine.SelectChannelFilterAnyInputs(4, 10, grid.get(), "Ov", "Alfa", exact, consumption));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Errore di creazione disegno. Non riesco a progettare "
                                                   "l'impianto: il componente M3 non trova posto sulla griglia "
                                                   "di lavoro (colonna 5, riga 11)."});
    EXPECT_EQ(grid->CellAt(3, 10)->Code, plain->Code);
}

TEST_F(HeadEndChoosersTest, ConvertersCoverTheTransponder) {
    float consumption = 0.0f;
    Module(CodeConvertitore, AutoMixCommonLine, 950, 1270, 100.0f);
    EXPECT_FALSE(engine.SelectConverters(6, 10, grid.get(), "Ov", "Alfa", 57, 1244, 1280, consumption));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Non sono stati selezionati convertitori adeguati al trasponder 57."});
    Module(CodeConvertitore, AutoMixCommonLine, 950, 2150, -5.0f);  // a negative draw counts as none
    EXPECT_TRUE(engine.SelectConverters(6, 10, grid.get(), "Ov", "Alfa", 57, 1244, 1280, consumption));
    EXPECT_FLOAT_EQ(consumption, 0.0f);
    EXPECT_EQ(grid->CellAt(6, 10)->Code, "M2");
}

// Each placed converter takes its transponder alone and gives it the lowest
// IF slot of its width that keeps 2 MHz from every transponder an LNB delivers
// and from the converters already drawn; the list's article keeps its range.
TEST_F(HeadEndChoosersTest, ConvertersAreTunedToAFreeSlot) {
    auto slots = [](TCella* c) {
        const TModuloFiltro& m = *static_cast<TCellaAutoMix*>(c)->Modules->head;
        return std::vector<float>{m.slotLow[ModuleInputSlot], m.slotHigh[ModuleInputSlot],
                                  m.slotLow[ModuleOutputSlot], m.slotHigh[ModuleOutputSlot]};
    };
    auto output = [](TCella* c, float low, float high, uint32_t mode) {
        TModuloFiltro& m = *static_cast<TCellaAutoMix*>(c)->Modules->head;
        m.slotLow[ModuleOutputSlot] = low;
        m.slotHigh[ModuleOutputSlot] = high;
        m.flags = (m.flags & ~ModuleConversionMask) | mode;
    };
    // A converter whose only output slot is a transponder's is skipped.
    TCella* fixed = Module(CodeConvertitore, AutoMixCommonLine, 950, 2150);
    output(fixed, 1148, 1184, ConvertChannelToChannel);
    TCella* agile = Module(CodeConvertitore, AutoMixCommonLine, 950, 2150);
    output(agile, 1000, 2150, ConvertBlockShift);
    float consumption = 0.0f;
    struct Case {
        int32_t number;
        float low, high;
        std::vector<float> tuned;
    };
    // clang-format off
    const Case cases[] = {
        {57, 1244, 1280, {1244, 1280, 1000, 1036}},
        {59, 1282, 1318, {1282, 1318, 1038, 1074}},
        {63, 1359, 1395, {1359, 1395, 1076, 1112}},
        {67, 1436, 1472, {1436, 1472, 1513, 1549}},  // 1114-1150 would touch Tr 52: past Tr 70
        {95, 1997, 2033, {1997, 2033, 1625, 1661}},  // 1551-1587 would touch Tr 8
        {0, 2106, 2136, {2106, 2136, 1114, 1144}},   // 30 MHz fit below Tr 52
        {8, 1587, 1623, {1587, 1623, 1663, 1699}},
    };
    // clang-format on
    int32_t column = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        ASSERT_TRUE(engine.SelectConverters(column, 10, grid.get(), "Ov", "Alfa", c.number, c.low, c.high,
                                            consumption));
        EXPECT_EQ(grid->CellAt(column, 10)->Code, agile->Code);
        EXPECT_EQ(slots(grid->CellAt(column, 10)), c.tuned);
        column += 3;
    }
    EXPECT_EQ(slots(agile), (std::vector<float>{950, 2150, 1000, 2150}));
    // A range that ends below the next free slot (1701) holds none.
    output(agile, 1000, 1700, ConvertBlockShift);
    EXPECT_FALSE(engine.SelectConverters(column, 10, grid.get(), "Ov", "Alfa", 1, 1451, 1487, consumption));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Non sono stati selezionati convertitori adeguati al trasponder 1."});
    EXPECT_EQ(grid->CellAt(column, 10), nullptr);
    // A transmodulator keeps the slots of its article.
    output(fixed, 100, 108, ConvertQpskToQam);
    ASSERT_TRUE(engine.SelectConverters(column, 10, grid.get(), "Ov", "Alfa", 1, 1451, 1487, consumption));
    EXPECT_EQ(slots(grid->CellAt(column, 10)), (std::vector<float>{950, 2150, 100, 108}));
}

TEST_F(HeadEndChoosersTest, PowerSuppliesTakeTheSmallestStatedCapacity) {
    struct Case {
        std::vector<float> capacities;
        float need;
        int chosen;  // index, -1 none
    };
    // clang-format off
    const Case cases[] = {
        {{500, 300, 400}, 250, 1}, {{500, 300, 400}, 600, -1}, {{-1, 300}, 250, 1}, {{300, -1}, 250, 0},
        {{-1}, 5000, 0},           {{300, 300}, 250, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        engine.Components->Clear();
        grid->Clear();
        std::vector<TCella*> supplies;
        for (float capacity : c.capacities) supplies.push_back(Supply(capacity));
        const bool placed = engine.SelectPowerSupplies(1, 1, grid.get(), "Ov", "Alfa", 2, c.need);
        EXPECT_EQ(placed, c.chosen >= 0);
        if (c.chosen < 0) {
            EXPECT_EQ(Messages(), std::vector<std::string>{
                                      "Non sono stati selezionati alimentatori adeguati alla centrale IF."});
            EXPECT_EQ(grid->CellAt(1, 1), nullptr);
            continue;
        }
        ASSERT_NE(grid->CellAt(1, 1), nullptr);
        EXPECT_EQ(grid->CellAt(1, 1)->Code, supplies[static_cast<size_t>(c.chosen)]->Code);
        EXPECT_EQ(grid->CellAt(1, 1)->Variant, 1);  // variant argument 2
    }
}

TEST_F(HeadEndChoosersTest, LnbOfAMultiswitch) {
    engine.RequiredLevelSat = 70.0f;
    struct Case {
        std::vector<int32_t> lnbs;
        int32_t needed;
        int32_t used;    // outputs of the LNB placed, 0 none
        int32_t placed;  // LNBs placed
    };
    const Case cases[] = {
        {{4, 8}, 2, 4, 1}, {{8, 4}, 6, 8, 1}, {{4, 8}, 10, 8, 2}, {{4}, 12, 0, 0}, {{2, 4}, 3, 4, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.needed);
        engine.Components->Clear();
        grid->Clear();
        // LNBs take the quad feature by default: these ones spread any band.
        for (int32_t outputs : c.lnbs) add.Lnb(outputs, "P", 80.0f)->Characteristics[0] &= ~FeatureQuadLnb;
        add.Lnb(16, "P", 80.0f)->Characteristics[0] |= FeatureQuadLnb;  // never taken
        add.Dish("P");
        const bool ok = engine.SelectLnb(10, 20, grid.get(), c.needed);
        EXPECT_EQ(ok, c.used > 0);
        if (!ok) {
            EXPECT_EQ(Messages(), std::vector<std::string>{
                                      "Non sono stati selezionati LNB adeguati alla centrale satellitare."});
            EXPECT_FALSE(grid->HasComponents());
            continue;
        }
        EXPECT_EQ(Messages(), std::vector<std::string>{});
        for (int32_t k = 0; k < c.placed; ++k) {
            TCella* lnb = grid->CellAt(10 + k * c.used, 20);
            ASSERT_NE(lnb, nullptr);
            EXPECT_EQ(lnb->TypeCode, CodeSat);
            EXPECT_EQ(lnb->ThroughOutputs, c.used);
            EXPECT_EQ(static_cast<TSat*>(lnb)->UseSatBands[0], 1);
        }
        // Outputs beyond the lines needed are closed one row below, also
        // those of an LNB larger than the need because none is smaller.
        for (int32_t i = 0; i < c.used * c.placed; ++i) {
            TCella* below = grid->CellAt(10 + i, 21);
            EXPECT_EQ(below != nullptr && below->TypeCode == CodeTermination, i >= c.needed) << i;
        }
        TCella* dish = grid->CellAt(10 + c.used * c.placed + 1, 19);
        ASSERT_NE(dish, nullptr);
        EXPECT_EQ(dish->TypeCode, CodeParabola);
    }
    // Level first fixed by the output count: a stronger LNB of another count is not taken.
    engine.Components->Clear();
    grid->Clear();
    add.Lnb(8, "P", 70.0f)->Characteristics[0] &= ~FeatureQuadLnb;
    add.Lnb(4, "P", 90.0f)->Characteristics[0] &= ~FeatureQuadLnb;
    engine.RequiredLevelSat = 75.0f;
    EXPECT_FALSE(engine.SelectLnb(10, 20, grid.get(), 5));
}

TEST_F(HeadEndChoosersTest, TheIfLnbCarriesTheTranspondersOfItsOutputKinds) {
    add.Lnb(2, "P", 82.0f);
    ASSERT_FALSE(engine.PlaceIfChannelsInOrder(10, 20, grid.get()));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Non sono stati selezionati LNB adeguati alla centrale IF."});

    TCella* lnb = add.Lnb(4, "P", LevelNone);
    for (bool dp : {false, true}) {
        SCOPED_TRACE(dp);
        grid->Clear();
        engine.Settings->Packages[0] = dp;
        ASSERT_TRUE(engine.PlaceIfChannels(10, 20, grid.get(), 0, 1, 3, 2));
        auto* placed = dynamic_cast<TSat*>(grid->CellAt(10, 20));
        ASSERT_NE(placed, nullptr);
        EXPECT_EQ(placed->Code, lnb->Code);
        const TListaCanali& kind0 = *placed->OutputChannels[0];
        ASSERT_EQ(kind0.Count(), 19);
        EXPECT_EQ(placed->UseSatBands[0], 0);
        const TCanale* c = kind0.head;
        EXPECT_EQ(c->name, "1148-1184");
        EXPECT_EQ(c->label, "Tr 52 Rai");
        EXPECT_EQ(c->polarization, 'v');
        EXPECT_EQ(c->signalType, 'd');
        EXPECT_EQ(c->modulation, 'k');
        EXPECT_FLOAT_EQ(c->levelMin, 77.0f);  // the LNB has no level
        EXPECT_FLOAT_EQ(c->floorMin, 16.0f);
        EXPECT_EQ(c->band, SistemaBandeCorrente->BandOf(1166.0));
        const TCanale* narrow = c;
        while (narrow && narrow->label != "Tr 70 Telespazio") narrow = narrow->next;
        ASSERT_NE(narrow, nullptr);
        EXPECT_EQ(narrow->name, "1493-1511");
        // Kinds 1, 3, 2 on outputs 1-3 with the package; idle without it.
        const int counts[4] = {19, 6, 1, 1};
        for (int o = 1; o < 4; ++o) {
            EXPECT_EQ(placed->OutputChannels[o]->Count(), dp ? counts[o] : 0) << o;
            EXPECT_EQ(placed->UseSatBands[o], dp ? 0 : 1) << o;
            EXPECT_EQ(grid->CellAt(10 + o, 21)->TypeCode, CodeTermination);
        }
        if (dp) {
            EXPECT_EQ(placed->OutputChannels[2]->head->label, "Tr 1 Sky");
            EXPECT_EQ(placed->OutputChannels[3]->head->label, "Tr 8 Sky");
        }
        EXPECT_EQ(grid->CellAt(15, 19)->TypeCode, CodeParabola);  // a new dish: none chosen
    }
    // The second LNB of package 5 carries the Net System row on its output 1.
    grid->Clear();
    engine.Settings->Packages[0] = false;
    engine.Settings->Packages[4] = true;
    lnb->Attenuation->Set3(0, SatLevelColumn, BandSlotSat, 82.0f);
    ASSERT_TRUE(engine.PlaceIfChannelsInOrder(10, 20, grid.get()));
    auto* second = dynamic_cast<TSat*>(grid->CellAt(14, 20));
    ASSERT_NE(second, nullptr);
    ASSERT_EQ(second->OutputChannels[1]->Count(), 1);
    EXPECT_EQ(second->OutputChannels[1]->head->name, "2106-2136");
    EXPECT_EQ(second->OutputChannels[1]->head->label, "Net System");
    EXPECT_FLOAT_EQ(second->OutputChannels[1]->head->levelMin, 82.0f);
    EXPECT_EQ(second->OutputChannels[0]->Count(), 0);
    EXPECT_EQ(grid->CellAt(19, 19)->TypeCode, CodeParabola);
}

}  // namespace

namespace {

class WidebandChoiceTest : public HeadEndChoosersTest {
protected:
    // Antennas on band V (and, for the second, band III) at a lowest level of 70.
    void Antennas(int32_t count) {
        engine.AntennaCount = count;
        for (int32_t a = 0; a < count; ++a) {
            TAntennaEntry& e = engine.Antennas[a];
            e = TAntennaEntry{};
            e.Cell = std::make_unique<TAntenna>(nullptr, 0, 0, 0, 0);
            e.Cell->Code = "A" + IntToStr(a);
            e.Lowest = 70.0f;
            e.BandUse[5] = 1;
        }
    }
    // A wideband amplifier whose inputs pass band V with a gain.
    TCella* Amplifier(int32_t inputs, float gain) {
        TCella* c =
            add.Wideband(std::vector<std::vector<int32_t>>(static_cast<size_t>(inputs), {5}), 1, 130.0f);
        for (int32_t i = 0; i < inputs; ++i) c->Attenuation->Set3(i, WideGain, 5, gain);
        c->Power[PowerSupply][0] |= 8;
        return c;
    }
    std::string Chosen() {
        TCella* c = grid->CellAt(0, 10);
        return c ? std::string(c->Code) : std::string();
    }
};

TEST_F(WidebandChoiceTest, MarginsBetweenZeroAndFiveWinAndDistinctInputsFirst) {
    engine.Settings->Wideband = true;
    engine.RequiredLevelTer = 100.0f;  // margin = 70 + gain - 100
    struct Case {
        const char* name;
        std::vector<std::pair<int32_t, float>> amplifiers;  // inputs, gain
        int32_t antennas;
        int chosen;
    };
    // clang-format off
    const Case cases[] = {
        {"margins 3 and 4", {{1, 33}, {1, 34}}, 1, 1},
        {"margins 7 and 4", {{1, 37}, {1, 34}}, 1, 1},
        {"margins 7 and 9", {{1, 37}, {1, 39}}, 1, 0},
        {"a margin below zero never", {{1, 29}}, 1, -1},
        {"shared inputs give way to distinct ones", {{1, 33}, {2, 37}}, 2, 1},
        {"distinct inputs keep their place", {{2, 37}, {1, 33}}, 2, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.Components->Clear();
        grid->Clear();
        Antennas(c.antennas);
        std::vector<TCella*> amplifiers;
        for (const auto& [inputs, gain] : c.amplifiers) amplifiers.push_back(Amplifier(inputs, gain));
        const bool ok = engine.SelectWidebandAmplifier(0, 0, grid.get());
        EXPECT_EQ(ok, c.chosen >= 0);
        if (c.chosen < 0) {
            EXPECT_EQ(Messages(), std::vector<std::string>{
                                      "Nessun amplificatore a larga banda selezionabile. La rete richiede in "
                                      "testa 100,0 dBµV, le antenne con il guadagno degli amplificatori ne "
                                      "danno al più 99,0. Scegliere \"Modulare\"."});
            continue;
        }
        EXPECT_EQ(Chosen(), std::string(amplifiers[static_cast<size_t>(c.chosen)]->Code));
    }
}

// A network that asks the head end for more than any amplifier's output is
// refused with the two levels.
TEST_F(WidebandChoiceTest, ANeedAboveEveryOutputNamesBoth) {
    engine.Settings->Wideband = true;
    engine.BackOffTer = 4.5f;
    engine.RequiredLevelTer = 127.0f;
    Antennas(1);
    Amplifier(1, 60.0f);
    EXPECT_FALSE(engine.SelectWidebandAmplifier(0, 0, grid.get()));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{
                  "Nessun amplificatore a larga banda selezionabile. La rete richiede in testa "
                  "127,0 dBµV, più di quanto danno gli amplificatori con i loro canali (125,5 dBµV). Scegliere "
                  "\"Modulare\"."});
}

TEST_F(WidebandChoiceTest, AntennasAndRunsStandOnTheirSquares) {
    // Three antennas on the three inputs of an amplifier that needs a supply.
    engine.Settings->Wideband = true;
    engine.Settings->AntennaHeadEndDistance = 12;
    engine.RequiredLevelTer = 100.0f;
    Antennas(3);
    TCella* amplifier = Amplifier(3, 33);
    amplifier->Power[PowerSupply][0] &= ~8u;
    amplifier->Current1 = 120.0f;
    std::unique_ptr<TCella> small = NewCella(nullptr, 24, 0, 0, 1, 1, 0);
    small->Current2 = 100.0f;
    std::unique_ptr<TCella> supply = NewCella(nullptr, 24, 0, 0, 1, 1, 0);
    supply->Current2 = 150.0f;
    small->Code = "P1";
    supply->Code = "P2";
    engine.Components->Append(std::move(small));
    engine.Components->Append(std::move(supply));
    ASSERT_TRUE(engine.SelectWidebandAmplifier(0, 0, grid.get()));
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    // Amplifier at (0, 10); input i's antenna at (i, 8 - i), its run down to row 9.
    EXPECT_EQ(Chosen(), std::string(amplifier->Code));
    for (int32_t i = 0; i < 3; ++i) {
        ASSERT_NE(grid->CellAt(i, 8 - i), nullptr) << i;
        EXPECT_EQ(grid->CellAt(i, 8 - i)->TypeCode, CodeAntenna) << i;
        for (int32_t row = 9 - i; row <= 9; ++row) {
            TCella* piece = grid->CellAt(i, row);
            ASSERT_NE(piece, nullptr) << i << "," << row;
            EXPECT_EQ(piece->TypeCode, CodeCable) << i << "," << row;
        }
    }
    // The supply under the exit, a piece above it, the exit two rows lower.
    EXPECT_EQ(engine.ExitColumn[0], 1);
    EXPECT_EQ(engine.ExitRow[0], 15);
    ASSERT_NE(grid->CellAt(1, 14), nullptr);
    EXPECT_EQ(grid->CellAt(1, 14)->Code, "P2");
    EXPECT_EQ(grid->CellAt(1, 13)->TypeCode, CodeCable);
    EXPECT_EQ(engine.WidebandSupply, nullptr);
    EXPECT_EQ(engine.WidebandSupplyNeeded, 0);
    grid->InsertCell(std::make_unique<TChiusura>(nullptr, 0, 0, 1, 15, 1), false, 0);
    EXPECT_TRUE(grid->Analyse(false));
}

}  // namespace
