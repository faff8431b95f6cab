// The head-end blocks of the designer on the default library "Varne.alb":
// the choosers find their articles, and each block is drawn into its work
// grid, leaves its exit and passes the connectivity analysis there.
#include "head_end_library_fixture.h"

namespace {

TEST_F(HeadEndLibrary, ChoosersFindTheirArticles) {
    float consumption = 0.0f;
    const TCanalizzazione* plan = CanalizzazioneEuropa;
    ASSERT_NE(plan, nullptr);
    int32_t filters = 0;
    for (int32_t i = 0; i < plan->Count(); ++i) {
        TCanale c;
        plan->SetChannel(c, i);
        const std::string name = c.name;
        const bool listed = (name.size() <= 2 && name[0] >= '0' && name[0] <= '9' &&
                             ((std::stoi(name) >= 2 && std::stoi(name) <= 12) ||
                              (std::stoi(name) >= 21 && std::stoi(name) <= 69)));
        if (!listed && name != "S5") continue;
        grid->Clear();
        const bool placed =
            engine.SelectChannelFilterAnyInputs(3, 10, grid.get(), "Generico", "GTM", c, consumption);
        EXPECT_EQ(placed, listed) << name;
        if (placed) {
            EXPECT_EQ(CodeAt(3, 10), "GFC-" + name);
            ++filters;
        }
    }
    EXPECT_EQ(filters, 60);
    EXPECT_FLOAT_EQ(consumption, 60 * 35.0f);
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Non sono stati selezionati filtri adeguati al canale S5."});

    // A converter for every transponder of the table.
    const std::vector<std::pair<int32_t, std::pair<float, float>>> transponders = {
        {57, {1244, 1280}},  {59, {1282, 1318}}, {63, {1359, 1395}}, {67, {1436, 1472}}, {95, {1997, 2033}},
        {101, {2113, 2149}}, {8, {1587, 1623}},  {1, {1451, 1487}},  {0, {2106, 2136}}};
    for (const auto& [number, edges] : transponders) {
        grid->Clear();
        ASSERT_TRUE(engine.SelectConverters(6, 10, grid.get(), "Generico", "GSI", number, edges.first,
                                            edges.second, consumption))
            << number;
        EXPECT_EQ(CodeAt(6, 10), "GCV-SI");
    }
    // A supply of either family for every need up to 4000 mA, the smallest that covers it.
    for (const std::string series : {"GTM", "GSI"})
        for (float need : {1.0f, 1000.0f, 1001.0f, 2500.0f, 4000.0f}) {
            grid->Clear();
            ASSERT_TRUE(engine.SelectPowerSupplies(1, 1, grid.get(), "Generico", series.c_str(), 0, need))
                << need;
            const char* capacity = need <= 1000 ? "1000" : need <= 2000 ? "2000" : "4000";
            EXPECT_EQ(CodeAt(1, 1), "GAL-" + series.substr(1) + "-" + capacity);
        }
    EXPECT_EQ(Messages(), std::vector<std::string>{});
}

// The LNB of the smallest output count that covers the lines (two of eight
// beyond eight lines), the common one where it delivers the level the lines
// need and the high-output one of that count where only it does.
TEST_F(HeadEndLibrary, LnbForEveryMultiswitchUpToSixteenLines) {
    const struct {
        float required;
        const char *four, *eight;  // nullptr: the LNB message
    } cases[] = {{78.0f, "GLNB-4", "GLNB-8"},
                 {80.0f, "GLNB-4", "GLNB-8H"},
                 {83.0f, "GLNB-4H", "GLNB-8H"},
                 {84.0f, "GLNB-4H", nullptr},
                 {85.5f, nullptr, nullptr}};
    for (const auto& c : cases)
        for (int32_t needed = 1; needed <= 16; ++needed) {
            SCOPED_TRACE(::testing::Message() << c.required << " dBuV, " << needed << " lines");
            engine.RequiredLevelSat = c.required;
            grid->Clear();
            const char* code = needed <= 4 ? c.four : c.eight;
            ASSERT_EQ(engine.SelectLnb(10, 20, grid.get(), needed), code != nullptr);
            if (!code) {
                // The level asked against the best LNB of the count: 85 of four outputs, 83 of eight.
                const bool four = needed <= 4;
                EXPECT_EQ(Messages(),
                          std::vector<std::string>{
                              "Non sono stati selezionati LNB adeguati alla centrale satellitare. Le linee "
                              "multiswitch richiedono in testa " +
                              std::string(c.required == 84.0f ? "84,0" : "85,5") + " dBµV, gli LNB scelti da " +
                              (four ? "4 uscite ne danno al più 85,0" : "8 uscite ne danno al più 83,0") +
                              ". Scegliere \"Multiswitch 4 cavi\" e \"Multiswitch lungo scala\"."});
                continue;
            }
            EXPECT_EQ(CodeAt(10, 20), code);
            if (needed > 8) {
                EXPECT_EQ(CodeAt(18, 20), code);
            }
            EXPECT_EQ(CodeAt(needed <= 4 ? 15 : needed <= 8 ? 19 : 27, 19), "GPB-80");
            EXPECT_EQ(Messages(), std::vector<std::string>{});
        }
}

TEST_F(HeadEndLibrary, WidebandHeadEndWithAMixerOrASupply) {
    Antenna(0, "GAN-B1", {"2"});
    Antenna(1, "GAN-B3", {"5"});
    Antenna(2, "GAN-UHF", {"30"});
    CheckInputs(true, false, true);
    engine.RequiredLevelTer = 105.0f;
    // Without GLB-4 both VHF antennas share GLB-3's first input through a mixer.
    TCella* glb4 = Article("GLB-4");
    glb4->Positions[0] = 0;
    ASSERT_TRUE(engine.DesignTerrestrialHeadEnd(3, 64, grid.get()));
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    EXPECT_EQ(CodeAt(2, 10), "GLB-3");
    ASSERT_NE(grid->CellAt(1, 8), nullptr);
    EXPECT_EQ(TypeAt(1, 8), CodeMiscelatore);
    EXPECT_EQ(CodeAt(1, 8), "GMX-VV");
    EXPECT_EQ(TypeAt(0, 7), CodeAntenna);
    EXPECT_EQ(TypeAt(2, 7), CodeAntenna);
    EXPECT_EQ(TypeAt(3, 7), CodeAntenna);  // UHF on input 1: column f + 1, row 8 - 1
    EXPECT_EQ(engine.ExitColumn[0], 3);
    EXPECT_EQ(engine.ExitRow[0], 13);
    EXPECT_EQ(engine.ExitKind[0], 0);
    EXPECT_TRUE(CloseExitAndAnalyse(0));

    // GLB-4 takes each antenna on its own input and has no supply of its own.
    glb4->Positions[0] = 1;
    CheckInputs(true, false, true);
    engine.RequiredLevelTer = 105.0f;
    grid->Clear();
    ASSERT_TRUE(engine.DesignTerrestrialHeadEnd(3, 64, grid.get()));
    EXPECT_EQ(CodeAt(0, 10), "GLB-4");
    EXPECT_EQ(engine.ExitColumn[0], 2);
    EXPECT_EQ(engine.ExitRow[0], 15);
    EXPECT_EQ(CodeAt(2, 14), "GAA-300");
    EXPECT_EQ(engine.WidebandSupply, nullptr);
    EXPECT_TRUE(CloseExitAndAnalyse(0));

    // No supply of 250 mA or more: the stage fails with the supply message.
    Article("GAA-300")->Current2 = 200.0f;
    Article("GAA-600")->Current2 = 100.0f;
    CheckInputs(true, false, true);
    engine.RequiredLevelTer = 105.0f;
    grid->Clear();
    EXPECT_FALSE(engine.DesignTerrestrialHeadEnd(3, 64, grid.get()));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Non sono stati selezionati alimentatori adeguati alla centrale IF."});
}

TEST_F(HeadEndLibrary, ModularJumperLayout) {
    Antenna(0, "GAN-B3", {"5", "7"});
    Antenna(1, "GAN-UHF", {"26", "30", "35"});
    CheckInputs(true, false, false);
    engine.RequiredLevelTer = 110.0f;
    engine.EntryInputsTer = 1;
    engine.ChooseHeadEndFamilies();
    ASSERT_GE(engine.ChosenFamily[0], 0);
    EXPECT_EQ(engine.FamilyTer[engine.ChosenFamily[0]].Series, "GTM");
    EXPECT_NEAR(engine.FamilyTer[engine.ChosenFamily[0]].H[0][0], 117.48f, 0.01f);
    const int32_t c = 3, r = 64;
    ASSERT_TRUE(engine.DesignTerrestrialHeadEnd(c, r, grid.get()));
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    const std::vector<std::string> filters = CodesOnRow(r, CodeFiltroAT);
    EXPECT_EQ(filters, (std::vector<std::string>{"GFC-5", "GFC-7", "GFC-26", "GFC-30", "GFC-35"}));
    ASSERT_NE(grid->CellAt(c, r), nullptr);
    EXPECT_EQ(TypeAt(c, r), CodeAmplificatoreAt);
    EXPECT_EQ(CodeAt(c, r), "GFA-TM-11-118");
    EXPECT_EQ(engine.ExitColumn[0], c + 1);
    EXPECT_EQ(engine.ExitRow[0], r - 1);
    EXPECT_EQ(engine.ExitKind[0], 2);
    EXPECT_EQ(CodesOnRow(r, CodeAlimentatoreSF), std::vector<std::string>{"GAL-TM-1000"});
    EXPECT_TRUE(CloseExitAndAnalyse(0));
}

TEST_F(HeadEndLibrary, SatelliteIfJumperLayout) {
    struct Case {
        bool dp, netSystem;
        int32_t converters;
    };
    for (const Case& k : {Case{false, false, 0}, Case{true, false, 8}, Case{true, true, 9}}) {
        SCOPED_TRACE(k.converters);
        engine.Settings->Packages[0] = k.dp;
        engine.Settings->Packages[4] = k.netSystem;
        CheckInputs(false, true, false);
        engine.TapNetwork[1] = 1;
        engine.RequiredLevelSat = 100.0f;
        engine.EntryInputsSat = 1;
        engine.EntryInputsTer = 0;
        engine.ChooseHeadEndFamilies();
        ASSERT_EQ(engine.ChosenFamily[1], 0);
        grid->Clear();
        const int32_t c = 14, r = 47;
        ASSERT_TRUE(engine.DesignSatIfHeadEnd(c, r, grid.get())) << (Messages().empty() ? "" : Messages()[0]);
        EXPECT_EQ(Messages(), std::vector<std::string>{});
        EXPECT_EQ(TypeAt(c, r), CodeAmplificatoreAt);
        EXPECT_EQ(CodeAt(c + 3, r), "GFI-SI");
        EXPECT_EQ(static_cast<int32_t>(CodesOnRow(r, CodeConvertitore).size()), k.converters);
        EXPECT_EQ(CodeAt(c + 10, r - 8), "GLNB-4");
        // Eight converters, the amplifier and the filter draw 2380 mA.
        EXPECT_EQ(CodesOnRow(r, CodeAlimentatoreSF),
                  std::vector<std::string>{k.converters ? "GAL-SI-4000" : "GAL-SI-1000"});
        EXPECT_EQ(engine.ExitKind[1], 2);
        EXPECT_TRUE(CloseExitAndAnalyse(1));
    }
}

TEST_F(HeadEndLibrary, ModularHeadEndMessages) {
    const char* const mixed =
        "Vi sono antenne che ricevono sia canali vhf che canali uhf. Non è possibile costruire la centrale "
        "terrestre.";
    const char* const single =
        "I filtri attivi selezionati non hanno ingressi automiscelati in banda UHF. Le corrispondenti "
        "antenne devono "
        "ricevere un solo canale.";
    const char* const noJumper = "Non sono stati selezionati ponticelli adeguati alla centrale terrestre.";
    const char* const weak =
        "Un'antenna riceve un canale con segnale troppo basso e non sono stati individuati "
        "preamplificatori di antenna adeguati.";
    struct Case {
        const char* message;
        std::function<void()> change;
    };
    // clang-format off
    const Case cases[] = {
        {mixed, [this] {
             engine.MixedAntenna = 1;
             engine.FamilyTer[engine.ChosenFamily[0]].H[1][0] = 100.0f;
         }},
        {single, [this] {
             for (TCella* c = engine.Components->head; c; c = c->NextInList)
                 if (c->TypeCode == CodeFiltroAT && c->Series == "GTM") c->Inputs = AutoMixOneInput;
         }},
        {noJumper, [this] { Article("GPT-TM")->Series = "Altra"; }},
        {weak, [this] { engine.Antennas[0].NeedsPreamplifier = 1; }},
    };
    // clang-format on
    Antenna(0, "GAN-UHF", {"26", "30"});
    for (const Case& k : cases) {
        SCOPED_TRACE(k.message);
        CheckInputs(true, false, false);
        engine.RequiredLevelTer = 110.0f;
        engine.EntryInputsTer = 1;
        engine.ChooseHeadEndFamilies();
        k.change();
        grid->Clear();
        EXPECT_FALSE(engine.DesignTerrestrialHeadEnd(3, 64, grid.get()));
        EXPECT_EQ(Messages(), std::vector<std::string>{k.message});
        for (TCella* c = engine.Components->head; c; c = c->NextInList)
            if (c->TypeCode == CodeFiltroAT && c->Series == "GTM") c->Inputs = AutoMixCommonLine;
        Article("GPT-TM")->Series = "GTM";
    }
    // No family chosen: the series message.
    CheckInputs(true, false, false);
    engine.ChosenFamily[0] = -1;
    EXPECT_FALSE(engine.DesignTerrestrialHeadEnd(3, 64, grid.get()));
    EXPECT_EQ(Messages(), std::vector<std::string>{
                              "Problemi nella selezione della serie dei componenti della centrale di "
                              "testa terrestre. La rete richiede un segnale troppo elevato."});
}

TEST_F(HeadEndLibrary, AutomixingFamily) {
    Antenna(0, "GAN-B3", {"5", "7"});
    Antenna(1, "GAN-UHF", {"30"});
    CheckInputs(true, false, false);
    engine.RequiredLevelTer = 110.0f;
    engine.EntryInputsTer = 1;
    engine.ChooseHeadEndFamilies();
    ASSERT_GE(engine.ChosenFamily[0], 0);
    // The family mixes by itself (its modules join their common line inside
    // their frames), and has a one-input filter for the scratch band.
    engine.FamilyTer[engine.ChosenFamily[0]].Variant = AutoMixFramedVariant;
    for (TCella* f = engine.Components->head; f; f = f->NextInList)
        if (f->TypeCode == CodeFiltroAT && f->Series == "GTM") f->Variant = AutoMixFramedVariant;
    std::unique_ptr<TCella> scratch(Article("GFC-5")->Clone());
    scratch->Code = "GFS-1";
    scratch->Inputs = AutoMixOneInput;
    TModuloFiltro& m = *static_cast<TCellaAutoMix&>(*scratch).Modules->head;
    m.slotLow[ModuleInputSlot] = 100.0f;
    m.slotHigh[ModuleInputSlot] = 500.0f;
    engine.Components->Insert(std::move(scratch));
    const int32_t c = 3, r = 64;
    grid->Clear();
    ASSERT_TRUE(engine.DesignTerrestrialHeadEnd(c, r, grid.get()));
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    // Antenna 0: the scratch filter, then a three-input filter per channel; antenna 1 the same.
    EXPECT_EQ(CodesOnRow(r, CodeFiltroAT),
              (std::vector<std::string>{"GFS-1", "GFC-5", "GFC-7", "GFS-1", "GFC-30"}));
    EXPECT_EQ(CodeAt(c + 3, r), "GFS-1");
    EXPECT_EQ(TypeAt(c + 4, r - 4), CodeAntenna);
    EXPECT_EQ(TypeAt(c + 13, r - 4), CodeAntenna);
    TCella* final = grid->CellAt(c + 18, r);
    ASSERT_NE(final, nullptr);
    EXPECT_EQ(final->TypeCode, CodeAmplificatoreAt);
    EXPECT_EQ(final->Inputs, 3);
    EXPECT_EQ(final->Variant, 2);
    EXPECT_EQ(CodeAt(c, r), "GAL-TM-1000");
    EXPECT_EQ(engine.ExitColumn[0], c + 19);
    EXPECT_EQ(engine.ExitRow[0], r + 5);
    EXPECT_EQ(engine.ExitKind[0], 0);
    EXPECT_TRUE(CloseExitAndAnalyse(0));
}

TEST_F(HeadEndLibrary, SatelliteIfOtherLayouts) {
    CheckInputs(false, true, false);
    engine.RequiredLevelSat = 100.0f;
    engine.EntryInputsSat = 1;
    engine.EntryInputsTer = 0;
    engine.ChooseHeadEndFamilies();
    ASSERT_EQ(engine.ChosenFamily[1], 0);
    const int32_t c = 14, r = 47;

    // The mixed single cable without a mixer: only a four-output amplifier, and the mixer stays none.
    engine.TapNetwork[1] = 0;
    engine.CarriesSat[0] = 1;
    engine.MixerCell = nullptr;
    ASSERT_TRUE(engine.DesignSatIfHeadEnd(c, r, grid.get()));
    EXPECT_EQ(CodeAt(c, r), "GFA-SI-14-115");
    EXPECT_EQ(engine.ExitColumn[1], c + 2);
    EXPECT_EQ(TypeAt(c, r - 1), CodeTermination);
    EXPECT_TRUE(CloseExitAndAnalyse(1));
    // With a mixer the one-output variants come back, and a four-output choice clears it.
    TCella* mixer = Article("GMX-TS");
    engine.MixerCell = mixer;
    grid->Clear();
    ASSERT_TRUE(engine.DesignSatIfHeadEnd(c, r, grid.get()));
    EXPECT_EQ(CodeAt(c, r), "GFA-SI-11-110");
    EXPECT_EQ(engine.MixerCell, mixer);
    for (int32_t i : {0, 2}) engine.FamilySat[0].H[i][0] = LevelNone;  // no one-output final
    grid->Clear();
    ASSERT_TRUE(engine.DesignSatIfHeadEnd(c, r, grid.get()));
    EXPECT_EQ(engine.MixerCell, nullptr);
    EXPECT_EQ(Messages(), std::vector<std::string>{});

    // The compact unit: a custom cell of the engine's model code, fed by LNB outputs 0 and 1.
    engine.RequiredLevelSat = 100.0f;
    engine.CarriesSat[0] = 0;
    engine.TapNetwork[1] = 1;
    auto unit = std::unique_ptr<TCella>(NewCella(nullptr, 55, 0, 0, 2, 1, 0));
    ASSERT_NE(unit, nullptr);
    unit->Code = "UNITA-IF";
    engine.CustomModelCode = "UNITA-IF";
    engine.CustomModelCell = unit.get();
    grid->Clear();
    ASSERT_TRUE(engine.DesignSatIfHeadEnd(c, r, grid.get()));
    EXPECT_EQ(CodeAt(c, r), "UNITA-IF");
    EXPECT_EQ(CodeAt(c + 1, r - 5), "GLNB-4");
    EXPECT_EQ(engine.ExitColumn[1], c + 5);
    EXPECT_EQ(engine.ExitRow[1], r + 5);
    EXPECT_EQ(engine.ChosenFamily[1], 0);
    for (int32_t row = r - 4; row <= r - 1; ++row) {
        EXPECT_EQ(TypeAt(c + 1, row), CodeCable) << row;
        EXPECT_EQ(TypeAt(c + 2, row), CodeCable) << row;
    }
    engine.CustomModelCell = nullptr;
    EXPECT_EQ(Messages(), std::vector<std::string>{});
}

TEST_F(HeadEndLibrary, SatelliteModularChain) {
    CheckInputs(false, true, false);
    engine.TapNetwork[1] = 1;
    engine.RequiredLevelSat = 100.0f;
    engine.EntryInputsSat = 1;
    engine.ChooseHeadEndFamilies();
    ASSERT_EQ(engine.ChosenFamily[1], 0);
    // A chain family of framed modules, whose common line runs inside their
    // frames to a final of three inputs: band filters of one and three inputs
    // for the ranges of the chain.
    engine.FamilySat[0].Variant = 1;
    engine.FamilySat[0].H[0][0] = LevelNone;
    for (TCella* m = engine.Components->head; m; m = m->NextInList)
        if ((m->TypeCode == CodeFiltroAT || m->TypeCode == CodeConvertitore) && m->Series == "GSI")
            m->Variant = AutoMixFramedVariant;
    auto bandFilter = [&](const char* code, int32_t inputs, float low, float high) {
        std::unique_ptr<TCella> f(Article("GFI-SI")->Clone());
        f->Code = code;
        f->Inputs = inputs;
        TModuloFiltro& m = *static_cast<TCellaAutoMix&>(*f).Modules->head;
        m.slotLow[ModuleInputSlot] = low;
        m.slotHigh[ModuleInputSlot] = high;
        engine.Components->Insert(std::move(f));
    };
    bandFilter("GFB-3", AutoMixCommonLine, 1100.0f, 2150.0f);
    engine.IfFilterCodes[0] = "GFI-XX";  // absent: the fallback takes any one-input IF filter
    engine.IfFilterCodes[1] = "GFI-SI";
    const int32_t c = 14, r = 47;
    ASSERT_TRUE(engine.DesignSatIfHeadEnd(c, r, grid.get())) << (Messages().empty() ? "" : Messages()[0]);
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    const int32_t X = c + 3;  // no supply variant
    const std::vector<std::string> expected = {"GFI-SI", "GFB-3",  "GFB-3",  "GFB-3",  "GFB-3",  "GFB-3",
                                               "GFI-SI", "GCV-SI", "GCV-SI", "GCV-SI", "GCV-SI", "GCV-SI",
                                               "GCV-SI", "GFI-SI", "GCV-SI", "GFI-SI", "GCV-SI"};
    for (size_t k = 0; k < expected.size(); ++k)
        EXPECT_EQ(CodeAt(X + 3 * static_cast<int32_t>(k), r), expected[k]) << k;
    EXPECT_EQ(TypeAt(X + 51, r), CodeAmplificatoreAt);
    EXPECT_EQ(CodeAt(X + 51, r), "GFA-SI-31-115");
    EXPECT_EQ(engine.ExitColumn[1], X + 52);
    EXPECT_EQ(engine.ExitRow[1], r + 5);
    EXPECT_EQ(CodeAt(X + 22, r - 8), "GLNB-4");
    EXPECT_EQ(TypeAt(c, r), CodeAlimentatoreSF);
    EXPECT_TRUE(CloseExitAndAnalyse(1));

    // No one-input IF filter at all: the band's name in the one message.
    for (TCella* f = engine.Components->head; f; f = f->NextInList)
        if (f->Code == "GFI-SI") f->Inputs = AutoMixCommonLine;
    grid->Clear();
    EXPECT_FALSE(engine.DesignSatIfHeadEnd(c, r, grid.get()));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Non sono stati selezionati filtri adeguati al canale 950-2150."});
    EXPECT_EQ(TypeAt(X + 51, r), CodeAmplificatoreAt);  // the final is placed all the same
}

// Two UHF filters fed by their antennas, a satellite IF filter and a final:
// the settings of the terrestrial filters worked by hand.
TEST_F(HeadEndLibrary, LevelAdjustmentOfTheTerrestrialFilters) {
    TProgetto project(nullptr);
    engine.Project = &project;
    std::vector<std::unique_ptr<TCella>> cells;
    auto clone = [&](const char* code) {
        cells.emplace_back(Article(code)->Clone());
        cells.back()->AllocLinks();
        return cells.back().get();
    };
    // An antenna with one analog channel at a level, feeding a filter on its common line.
    auto feed = [&](const char* channel, float level, TCella* filter) {
        TCella* antenna = clone("GAN-UHF");
        TCanale c;
        ASSERT_TRUE(CanalizzazioneEuropa->SetChannel(c, CanalizzazioneEuropa->IndexOf(channel)));
        c.band = SistemaBandeCorrente->BandOf(c.CentreFrequency());
        c.signalType = 'a';
        c.levelMin = c.levelMax = level;
        antenna->SourceChannels->Clear();
        antenna->SourceChannels->Insert(c);
        antenna->OutputCell[0] = filter;
        antenna->OutputPort[0] = 0;
        filter->InputCell[0] = antenna;
        filter->InputPort[0] = 0;
    };
    TCella* filter30 = clone("GFC-30");  // band IV: 75 in, 75 - 10 + 40 = 105 out
    TCella* filter45 = clone("GFC-45");  // band V: 80 in, 110 out
    TCella* satellite = clone("GFI-SI");
    TCella* final = clone("GFA-TM-11-118");
    feed("30", 75.0f, filter30);
    feed("45", 80.0f, filter45);
    final->Attenuation->Set3(0, WideGain, 4, 33.0f);  // band IV 33 dB, band V 30 dB
    auto value = [](TCella* cell, int row) {
        return static_cast<TCellaAutoMix*>(cell)->Modules->head->stage->Get2(row, 0);
    };
    // The chain of the head-end grid, as the analysis leaves it.
    auto chain = [&](std::initializer_list<TCella*> order) {
        TCella* previous = nullptr;
        for (TCella* cell : order) {
            if (previous)
                previous->NextCell = cell;
            else
                project.HeadEndGrid->Anchor = cell;
            previous = cell;
        }
        previous->NextCell = nullptr;
    };
    chain({filter30->InputCell[0], filter30, filter45->InputCell[0], filter45, satellite, final});
    for (bool enabled : {true, false}) {
        globals.Reporter().enabled = enabled;
        for (TCella* f : {filter30, filter45, satellite})
            static_cast<TCellaAutoMix*>(f)->Modules->head->stage->Set2(0, 0, 10.0f);
        engine.AdjustHeadEndLevels();
        EXPECT_EQ(globals.Reporter().enabled, enabled);
        // margin = min(105, 110, value 3 = 112) = 105; best gain 33.
        EXPECT_FLOAT_EQ(value(filter30, 0), 0.0f);    // 105 - 105 - (33 - 33)
        EXPECT_FLOAT_EQ(value(filter45, 0), 2.0f);    // 110 - 105 - (33 - 30)
        EXPECT_FLOAT_EQ(value(satellite, 0), 10.0f);  // above 900 MHz: left alone
    }
    // Only the filter of channel 45, whose own 110 sets the margin: 110 - 110 - 3 is held at 0.
    chain({filter45->InputCell[0], filter45, final});
    static_cast<TCellaAutoMix*>(filter45)->Modules->head->stage->Set2(0, 0, 10.0f);
    engine.AdjustHeadEndLevels();
    EXPECT_FLOAT_EQ(value(filter45, 0), 0.0f);
    // No terrestrial filter: nothing changes.
    chain({satellite, final});
    engine.AdjustHeadEndLevels();
    EXPECT_FLOAT_EQ(value(satellite, 0), 10.0f);
    project.HeadEndGrid->Anchor = nullptr;
    engine.Project = nullptr;
    EXPECT_EQ(Messages(), std::vector<std::string>{});
}

// A filter of channel 45 feeding a final rated 118 (gain 30 in band V, 33 in
// band IV): the outlets ask nothing, yet the final is never set above its
// rating; what the filter's 30 dB cannot take off comes off the final's 20 dB
// of regulation, and only an overdrive beyond both is left to be reported.
TEST_F(HeadEndLibrary, LevelAdjustmentKeepsTheFinalWithinItsRating) {
    TProgetto project(nullptr);
    engine.Project = &project;
    struct Case {
        float antenna;
        float setting, regulation;  // of the filter and of the final in band V
        bool overdriven;
    };
    // margin = 118 - (out + 30 gain) + filter out at 10 - 10 - (33 - 30):
    // the filter's setting brings the final's output to 118.
    // clang-format off
    const Case cases[] = {
        {80.0f, 27.0f, 0.0f, false},   // 80 - 27 + 35 = 88, + 30 = 118
        {95.0f, 30.0f, 12.0f, false},  // 95 - 30 + 35 + 30 = 130: 12 off the final
        {105.0f, 30.0f, 20.0f, true},  // 140: 20 off the final, 2 too many
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.antenna);
        std::unique_ptr<TCella> antenna(Article("GAN-UHF")->Clone()), filter(Article("GFC-45")->Clone()),
            final(Article("GFA-TM-11-118")->Clone());
        for (TCella* c : {antenna.get(), filter.get(), final.get()}) c->AllocLinks();
        TCanale c;
        ASSERT_TRUE(CanalizzazioneEuropa->SetChannel(c, CanalizzazioneEuropa->IndexOf("45")));
        c.band = SistemaBandeCorrente->BandOf(c.CentreFrequency());
        c.signalType = 'a';
        c.levelMin = c.levelMax = k.antenna;
        antenna->SourceChannels->Clear();
        antenna->SourceChannels->Insert(c);
        antenna->OutputCell[0] = filter.get();
        antenna->OutputPort[0] = 0;
        filter->InputCell[0] = antenna.get();
        filter->InputPort[0] = 0;
        filter->OutputCell[AutoMixOwnOutput] = final.get();
        filter->OutputPort[AutoMixOwnOutput] = 0;
        final->InputCell[0] = filter.get();
        final->InputPort[0] = AutoMixOwnOutput;
        final->Attenuation->Set3(0, WideGain, 4, 33.0f);
        TModuloFiltro& m = *static_cast<TCellaAutoMix&>(*filter).Modules->head;
        m.stage->Set2(0, 0, 10.0f);
        project.HeadEndGrid->Anchor = antenna.get();
        antenna->NextCell = filter.get();
        filter->NextCell = final.get();
        engine.AdjustHeadEndLevels();
        EXPECT_FLOAT_EQ(m.stage->Get2(0, 0), k.setting);
        EXPECT_NEAR(final->Attenuation->Get3(0, WideRegulation, c.band), k.regulation, 0.01);
        project.RunChannelPass(0);
        const std::vector<std::string> found = Messages();
        EXPECT_EQ(found.size(), k.overdriven ? 1u : 0u);
        for (const std::string& f : found) EXPECT_NE(f.find("troppo alto"), std::string::npos) << f;
        project.HeadEndGrid->Anchor = nullptr;
    }
    engine.Project = nullptr;
}

// A need above every single final: a band I/III final and a UHF final of
// three inputs before the filters. Both are turned: the bus under the row
// brings the common line through the UHF final into the band I/III one, whose
// output is jumpered over the row above into the UHF final's bypass, on its
// right; the exit is the UHF final's output, on its left.
TEST_F(HeadEndLibrary, ModularSplitFinals) {
    Antenna(0, "GAN-B3", {"5", "7"});
    Antenna(1, "GAN-UHF", {"26", "30", "35"});
    CheckInputs(true, false, false);
    engine.RequiredLevelTer = 110.0f;
    engine.EntryInputsTer = 1;
    engine.ChooseHeadEndFamilies();
    ASSERT_GE(engine.ChosenFamily[0], 0);
    engine.RequiredLevelTer = 112.0f;
    engine.BackOffTer = 0.0f;
    TFamiglia& family = engine.FamilyTer[engine.ChosenFamily[0]];
    family.H[0][0] = 111.0f;  // the 1x1 finals fall short, the 3x4 one stands
    const int32_t c = 3, r = 64;
    ASSERT_TRUE(engine.DesignTerrestrialHeadEnd(c, r, grid.get()))
        << (Messages().empty() ? "" : Messages()[0]);
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    EXPECT_EQ(CodeAt(c, r), "GFA-TM-11V-114");
    EXPECT_EQ(CodeAt(c + 3, r), "GFA-TM-34U-118");
    EXPECT_EQ(CodesOnRow(r, CodeFiltroAT),
              (std::vector<std::string>{"GFC-5", "GFC-7", "GFC-26", "GFC-30", "GFC-35"}));
    EXPECT_EQ(CodeAt(c + 6, r), "GFC-5");
    for (int32_t column = c + 1; column <= c + 5; ++column)
        EXPECT_EQ(CodeAt(column, r - 2), "GPT-TM") << column;
    EXPECT_EQ(CodeAt(c + 1, r - 1), "GPT-TM");
    EXPECT_EQ(CodeAt(c + 5, r - 1), "GPT-TM");
    EXPECT_EQ(engine.ExitColumn[0], c + 3);
    EXPECT_EQ(engine.ExitRow[0], r - 1);
    EXPECT_EQ(engine.ExitKind[0], 2);
    ASSERT_TRUE(CloseExitAndAnalyse(0));
    // The band I/III final hears the common line and feeds the UHF final's bypass.
    TCella* vhf = grid->CellAt(c + 2, r + 4);
    TCella* uhf = grid->CellAt(c + 5, r + 4);
    EXPECT_NE(dynamic_cast<TNCavo*>(vhf->InputCell[0]), nullptr);
    EXPECT_NE(dynamic_cast<TNCavo*>(uhf->InputCell[AutoMixBypassInput]), nullptr);
    ASSERT_NE(uhf->OutputCell[AutoMixOwnOutput], nullptr);
    EXPECT_EQ(uhf->OutputCell[AutoMixOwnOutput]->TypeCode, CodeTermination);
}

}  // namespace

namespace {

// The split amplifiers' parts, candidates and decision on the default library.
TEST_F(HeadEndLibrary, SplitAmplifierChoice) {
    Antenna(0, "GAN-B3", {"5", "7"});
    Antenna(1, "GAN-UHF", {"26", "30", "35"});
    auto prepare = [&](bool terrestrial, bool satellite, int32_t n, float needT, float needS) {
        CheckInputs(terrestrial, satellite, false);
        engine.TapNetwork[0] = 1;
        engine.CarriesTer[0] = terrestrial;
        engine.CarriesSat[0] = satellite;
        engine.EntryInputsTer = n;
        engine.ChooseHeadEndFamilies();
        engine.RequiredLevelTer = needT;
        engine.RequiredLevelSat = needS;
    };
    TCreaAuto::TSplitChoice choice;
    // The parts of the chain: a splitter of the next even size below five splits, taps above.
    struct Parts {
        int32_t n;
        std::vector<int32_t> parts;
        int32_t rows, left, right;
    };
    for (const Parts& p : {Parts{3, {4}, 2, 1, 2}, Parts{6, {6}, 4, 3, 3}, Parts{7, {8}, 5, 4, 4}}) {
        prepare(true, false, p.n, 100.0f, 0.0f);
        ASSERT_TRUE(engine.ChooseSplitAmplifiers(0, choice)) << p.n;
        EXPECT_EQ(choice.Parts, p.parts) << p.n;
        EXPECT_EQ(choice.Rows, p.rows) << p.n;
        EXPECT_EQ(choice.Left, p.left) << p.n;
        EXPECT_EQ(choice.Right, p.right) << p.n;
    }
    EXPECT_EQ(Messages(), std::vector<std::string>{});

    // A satellite family of substation finals given by the test.
    auto satelliteFamily = [&](float s34, float s11) {
        TFamiglia& f = engine.FamilySat[0];
        f = TFamiglia{};
        f.Brand = engine.FamilyTer[0].Brand;
        f.Series = "GSI";
        f.S[2][3] = s34;
        f.S[0][0] = s11;
        f.Smax = std::max({0.0f, s34, s11});
        engine.ChosenFamily[1] = 0;
    };
    auto code = [](const TCella* c) { return c ? std::string(c->Code) : std::string(); };
    struct Case {
        const char* what;
        bool ter, sat;
        float needT, needS;
        std::function<void()> change;
        const char* message;
        std::vector<std::string> chosen;  // band I/III final, finals ter and sat, lines ter, sat, joint
        int32_t lines;
    };
    const char* const noAmplifier = "Non sono stati trovati amplificatori adatti alle spezzature.";
    // clang-format off
    const Case cases[] = {
        {"one final", true, false, 110.0f, 0.0f, [] {}, nullptr, {"", "GFA-TM-11-118", "", "", "", ""}, 1},
        {"split finals above Csub(1, 1)", true, false, 112.0f, 0.0f,
         [&] {
             engine.FamilyTer[0].S[0][0] = 111.0f;
             engine.BackOffTer = 0.0f;
         },
         nullptr, {"GFA-TM-11V-114", "GFA-TM-34U-118", "", "", "", ""}, 1},
        {"split finals without a jumper", true, false, 112.0f, 0.0f,
         [&] {
             engine.FamilyTer[0].S[0][0] = 111.0f;
             engine.BackOffTer = 0.0f;
             Article("GPT-TM")->Series = "Altra";
         },
         "Non sono stati selezionati ponticelli adeguati alle sottostazioni.", {}, 0},
        {"above every final: the line amplifier", true, false, 119.0f, 0.0f, [&] { engine.BackOffTer = 0.0f; }, nullptr,
         {"", "", "", "GAL-T-120", "", ""}, 1},
        {"above every amplifier", true, false, 130.0f, 0.0f, [] {}, noAmplifier, {}, 0},
        {"satellite final met by Csub(3, 4)", false, true, 0.0f, 110.0f,
         [&] {
             satelliteFamily(120.0f, LevelNone);
             engine.BackOffSat = 0.0f;
         },
         nullptr, {"", "", "GFA-SI-34-115", "", "", ""}, 1},
        {"both kinds, a joint line amplifier", true, true, 119.0f, 110.0f,
         [&] {
             satelliteFamily(LevelNone, LevelNone);
             engine.BackOffTer = engine.BackOffSat = 0.0f;
         },
         nullptr, {"", "", "", "", "", "GAL-TS-120"}, 1},
        {"both kinds, no joint, no mixer", true, true, 119.0f, 110.0f,
         [&] {
             satelliteFamily(LevelNone, LevelNone);
             engine.BackOffTer = engine.BackOffSat = 0.0f;
             Article("GAL-TS-120")->Positions[0] = 0;
             Article("GAL-TS-112")->Positions[0] = 0;
             engine.MixerSwapped = nullptr;
         },
         "Gli amplificatori individuati per le spezzature necessitano di un miscelatore terrestre/satellite che non è "
         "stato selezionato.",
         {}, 0},
        {"both kinds, no joint, a mixer", true, true, 119.0f, 110.0f,
         [&] {
             satelliteFamily(LevelNone, LevelNone);
             engine.BackOffTer = engine.BackOffSat = 0.0f;
             Article("GAL-TS-120")->Positions[0] = 0;
             Article("GAL-TS-112")->Positions[0] = 0;
             engine.MixerSwapped = Article("GMX-TS");
         },
         nullptr, {"", "", "", "GAL-T-120", "GAL-S-112", ""}, 2},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        prepare(k.ter, false, 2, k.needT, k.needS);
        engine.CarriesSat[0] = k.sat;
        if (!k.ter) engine.ChosenFamily[0] = -1;
        k.change();
        const bool ok = engine.ChooseSplitAmplifiers(0, choice);
        EXPECT_EQ(ok, k.message == nullptr);
        EXPECT_EQ(Messages(), k.message ? std::vector<std::string>{k.message} : std::vector<std::string>{});
        if (ok) {
            EXPECT_EQ((std::vector<std::string>{code(choice.BandIIIFinal), code(choice.FinalTer),
                                                code(choice.FinalSat), code(choice.LineTer),
                                                code(choice.LineSat), code(choice.LineJoint)}),
                      k.chosen);
            EXPECT_EQ(choice.LinesPerSplit, k.lines);
            // The jumper joins split finals and a terrestrial line into a satellite final.
            ASSERT_EQ(choice.Jumper != nullptr, choice.BandIIIFinal != nullptr);
            if (choice.Jumper) {
                EXPECT_EQ(code(choice.Jumper.get()), "GPT-TM");
                EXPECT_EQ(choice.Jumper->TypeCode, CodeCable);
                EXPECT_EQ(Article("GPT-TM")->TypeCode, CodeBridge);  // the list keeps its article
            }
        }
        Article("GPT-TM")->Series = "GTM";
        for (const char* line : {"GAL-TS-120", "GAL-TS-112"})
            Article(line)->Positions[0] = Article("GAL-T-120")->Positions[0];
    }
}

}  // namespace
