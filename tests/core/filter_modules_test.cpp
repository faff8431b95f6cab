// Filter modules: what each kind of module makes of hand-built channel lists,
// with its exact messages, and the records of modules and module lists.
#include "core/filter_modules.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/channel_plans.h"
#include "core/file.h"
#include "core/globals.h"
#include "platform/stdctrls.h"
#include "support/globals_fixture.h"

namespace {

const AnsiString Prefix = "Fa1";

TCanale Channel(const char* name, float low, float high, float level, char signal = SignalAnalog,
                char modulation = ModulationFMAM) {
    TCanale c;
    c.name = name;
    c.freqLow = low;
    c.freqHigh = high;
    c.band = SistemaBandeCorrente->BandOf(c.CentreFrequency());
    c.levelMin = c.levelMax = level;
    c.signalType = signal;
    c.modulation = modulation;
    c.label = "L" + AnsiString(name);
    return c;
}

// A module of the given flags taking 470-478 MHz in and giving 606-614 out.
std::unique_ptr<TModuloFiltro> Module(uint32_t flags, std::vector<float> rows) {
    auto m = std::make_unique<TModuloFiltro>();
    m->flags = flags;
    m->slotLow[ModuleInputSlot] = 470.0f;
    m->slotHigh[ModuleInputSlot] = 478.0f;
    m->slotLow[ModuleOutputSlot] = 606.0f;
    m->slotHigh[ModuleOutputSlot] = 614.0f;
    for (size_t r = 0; r < rows.size(); ++r) m->stage->Set2(static_cast<int>(r), 0, rows[r]);
    return m;
}

class FilterModules : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(&messages); }
    std::vector<AnsiString> Messages() const { return MessagesOf(messages); }
    // The channels leaving the module for the input channels.
    TListaCanali& Run(TModuloFiltro& m, std::initializer_list<TCanale> channels) {
        messages.Items->Clear();
        input.Clear();
        output.Clear();
        for (const TCanale& c : channels) input.Insert(c);
        m.Process(output, input, Prefix);
        return output;
    }
    static std::vector<AnsiString> Names(const TListaCanali& list) {
        std::vector<AnsiString> names;
        for (const TCanale* c = list.head; c; c = c->next) names.push_back(c->name);
        return names;
    }

    TListBox messages;
    TListaCanali input, output;
};

TEST_F(FilterModules, AChannelFilterPassesWhatLiesInsideItsRange) {
    struct Case {
        const char* what;
        std::vector<float> rows;
        std::vector<TCanale> in;
        std::vector<AnsiString> out;
        std::vector<AnsiString> said;
    };
    // clang-format off
    const Case cases[] = {
        {"inside", {0, 30, 8, 105}, {Channel("21", 470, 478, 70)}, {"21"}, {}},
        {"across an edge", {0, 30, 8, 105}, {Channel("X", 474, 482, 70)}, {},
         {"Fa1: il canale X è gestito parzialmente.", "Fa1: ATTENZIONE: il filtro non riceve alcun segnale gestibile."}},
        {"touching an edge only", {0, 30, 8, 105}, {Channel("22", 478, 486, 70), Channel("21", 470, 478, 70)}, {"21"}, {}},
        {"outside", {0, 30, 8, 105}, {Channel("40", 622, 630, 70)}, {},
         {"Fa1: ATTENZIONE: il filtro non riceve alcun segnale gestibile."}},
        {"a band blocked on purpose", {LevelBlocked, 30, 8, 105}, {Channel("21", 470, 478, 70)}, {}, {}},
        {"no value", {LevelNone, 30, 8, 105}, {Channel("21", 470, 478, 70)}, {},
         {"Fa1: ATTENZIONE: il filtro non riceve alcun segnale gestibile."}},
        {"too high", {0, 30, 8, 95}, {Channel("21", 470, 478, 70)}, {"21"}, {"Fa1: il livello del canale 21 è troppo alto."}},
        {"a second equal channel", {0, 30, 8, 105}, {Channel("21", 470, 478, 70), Channel("21", 470, 478, 60)}, {"21"},
         {"Fa1: canale 21 in conflitto sull'uscita."}},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto m = Module(ModuleChannelFilter, c.rows);
        messages.Items->Clear();
        input.Clear();
        output.Clear();
        for (const TCanale& ch : c.in) input.Insert(ch);
        m->Process(output, input, Prefix);
        EXPECT_EQ(Names(output), c.out) << c.what;
        EXPECT_EQ(Messages(), c.said) << c.what;
    }
    auto m = Module(ModuleChannelFilter, {2, 30, 8, 105});
    const TListaCanali& out = Run(*m, {Channel("21", 470, 478, 70)});
    EXPECT_NEAR(out.head->levelMin, 98.0f, 1e-4);
    // No prefix: silent.
    messages.Items->Clear();
    input.Insert(Channel("X", 474, 482, 70));
    m->Process(output, input, "");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(FilterModules, AnAutomaticGainFilterLevelsTheChannelsWithinItsInputRange) {
    auto m = Module(ModuleAutomaticGain, {50, 80, 3, 100, 6});
    m->slotHigh[ModuleInputSlot] = 500.0f;
    const TListaCanali& out =
        Run(*m, {Channel("21", 470, 478, 60), Channel("22", 478, 486, 90), Channel("23", 486, 494, 75)});
    EXPECT_EQ(Names(out), (std::vector<AnsiString>{"21", "23"}));
    for (const TCanale* c = out.head; c; c = c->next) {
        EXPECT_NEAR(c->levelMin, 97.0f, 1e-4) << c->name;
        EXPECT_NEAR(c->levelMax, 97.0f, 1e-4) << c->name;
    }
    EXPECT_EQ(Messages(),
              std::vector<AnsiString>{"Fa1: il livello del canale 22 è al di fuori dei limiti consentiti."});
}

TEST_F(FilterModules, AConverterInEachModeAsATable) {
    struct Case {
        const char* what;
        uint32_t flags;
        TCanale in;
        std::vector<AnsiString> out;  // names leaving
        char modulation;              // of the first channel leaving
        std::vector<AnsiString> said;
    };
    const TCanale analog = Channel("21", 470, 478, 70);
    const TCanale digital = Channel("21", 470, 478, 70, SignalDigital, ModulationCOFDM);
    const TCanale qpsk = Channel("21", 470, 478, 70, SignalDigital, ModulationQPSK);
    const TCanale fm = Channel("21", 470, 478, 70, SignalAnalog, ModulationFM);
    const TCanale lowerEdge = Channel("21", 470, 477, 70);
    const TCanale noEdge = Channel("21", 471, 477, 70);
    // clang-format off
    const Case cases[] = {
        {"0: channel to channel", 0, analog, {"606/614"}, ModulationFMAM, {}},
        {"0: the lower edge alone matches", 0, lowerEdge, {"606/614"}, ModulationFMAM, {}},
        {"0: no edge", 0, noEdge, {}, 0,
         {"Fa1: Le frequenze del canale 21 non coincidono con le frequenze di ingresso del filtro canale/canale."}},
        {"0: digital without bit 27", 0, digital, {}, 0,
         {"Fa1: Il componente è analogico e non è in grado di gestire il canale digitale 21."}},
        {"0: digital with bit 27", ModuleDigital, digital, {"606/614"}, ModulationCOFDM, {}},
        {"1: block shift", 1, noEdge, {"607/613"}, ModulationFMAM, {}},
        {"2: QPSK to QAM", 2, qpsk, {"606/614"}, ModulationQAM, {}},
        {"2: not QPSK", 2, digital, {}, 0,
         {"Fa1: Il componente si attende in ingresso un segnale con modulazione QPSK, mentre il canale 21 è in "
          "modulazione COFDM."}},
        {"2: no edge", 2, noEdge, {}, 0,
         {"Fa1: Le frequenze del canale 21 non coincidono con le frequenze di ingresso del filtro 4QPSK/64QAM."}},
        {"3: QPSK receiver", 3, qpsk, {"606/614"}, ModulationFMAM, {}},
        {"3: an analog input", 3, analog, {"606/614"}, ModulationFMAM,
         {"Fa1: Il componente si attende in ingresso un segnale digitale, mentre il canale 21 è analogico."}},
        {"4: COFDM receiver of a QPSK channel", 4, qpsk, {"606/614"}, ModulationFMAM,
         {"Fa1: Il componente si attende in ingresso un segnale con modulazione COFDM, mentre il canale 21 è in "
          "modulazione QPSK."}},
        {"5: FM receiver", 5, fm, {"606/614"}, ModulationFMAM, {}},
        {"5: a digital input", 5, qpsk, {"606/614"}, ModulationFMAM,
         {"Fa1: Il componente si attende in ingresso un segnale analogico, mentre il canale 21 è digitale."}},
        {"5: not FM", 5, analog, {"606/614"}, ModulationFMAM,
         {"Fa1: Il componente si attende in ingresso un segnale con modulazione FM, mentre il canale 21 è in "
          "modulazione FM/AM."}},
        {"6: to COFDM", 6, analog, {"606/614"}, ModulationCOFDM, {}},
        {"7: to QAM", 7, analog, {"606/614"}, ModulationQAM, {}},
        {"7: no edge", 7, noEdge, {}, 0,
         {"Fa1: Le frequenze del canale 21 non coincidono con le frequenze di ingresso del filtro 4QPSK/64QAM."}},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto m = Module(ModuleConverter | c.flags, {1, 20, 4, 120});
        const TListaCanali& out = Run(*m, {c.in});
        EXPECT_EQ(Names(out), c.out) << c.what;
        EXPECT_EQ(Messages(), c.said) << c.what;
        if (out.head) {
            EXPECT_EQ(out.head->modulation, c.modulation) << c.what;
            EXPECT_EQ(out.head->band, SistemaBandeCorrente->BandOf(out.head->CentreFrequency())) << c.what;
        }
    }
    // What leaves a stage: level through the stage, the label of the input.
    auto m = Module(ModuleConverter, {1, 20, 4, 120});
    const TCanale& converted = *Run(*m, {analog}).head;
    EXPECT_NEAR(converted.levelMin, 89.0f, 1e-4);
    EXPECT_EQ(converted.label, "L21");
    EXPECT_EQ(converted.band, 5);
    // A receiver's own channel: output level less input attenuation, floors less the noise figure.
    auto receiver = Module(ModuleConverter | uint32_t{ConvertQpskReceiver}, {1, 20, 4, 120});
    const TCanale& made = *Run(*receiver, {}).head;
    EXPECT_EQ(made.name, "606/614");
    EXPECT_EQ(made.levelMin, 119.0f);
    EXPECT_EQ(made.floorMin, 115.0f);
    EXPECT_EQ(made.signalType, SignalAnalog);
    EXPECT_TRUE(Messages().empty());
    // Any other mode with nothing received warns.
    auto idle = Module(ModuleConverter, {1, 20, 4, 120});
    Run(*idle, {Channel("40", 622, 630, 70)});
    EXPECT_EQ(Messages(), std::vector<AnsiString>{
                              "Fa1: ATTENZIONE: il convertitore non riceve alcun segnale gestibile."});
    // A plan in the output slot names the channel.
    idle->slotPlan[ModuleOutputSlot] = CanalizzazioneEuropa;
    idle->slotName[ModuleOutputSlot] = "38";
    EXPECT_EQ(Names(Run(*idle, {analog})), std::vector<AnsiString>{"38"});
}

TEST_F(FilterModules, AModulatorMakesItsChannelNamedByItsEdges) {
    struct Case {
        uint32_t flags;
        float low, high;
        const char* name;
        char signal, modulation;
        int32_t band;
    };
    // clang-format off
    const Case cases[] = {
        {0, 606, 614, "606/614", SignalAnalog, ModulationFMAM, 5},
        {ModuleDigital, 606, 614, "606/614", SignalDigital, ModulationCOFDM, 5},
        {0, 950, 980, "950/980", SignalAnalog, ModulationFM, 6},
        {ModuleDigital, 1100, 1130.5f, "1100/1130,5", SignalDigital, ModulationQPSK, 6},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto m = Module(ModuleModulator | c.flags, {0, LevelNone, 40, 80});
        m->slotLow[ModuleOutputSlot] = c.low;
        m->slotHigh[ModuleOutputSlot] = c.high;
        const TListaCanali& out = Run(*m, {});
        ASSERT_EQ(out.Count(), 1) << c.name;
        const TCanale& made = *out.head;
        EXPECT_EQ(made.name, c.name);
        EXPECT_EQ(made.label, "Segnale modulato");
        EXPECT_EQ(made.band, c.band) << c.name;
        EXPECT_EQ(made.signalType, c.signal) << c.name;
        EXPECT_EQ(made.modulation, c.modulation) << c.name;
        EXPECT_EQ(made.levelMin, 80.0f);
        EXPECT_EQ(made.floorMin, 40.0f);
        EXPECT_EQ(made.sources, "Fa1");
        EXPECT_TRUE(Messages().empty());
    }
}

TEST_F(FilterModules, TheInputStageWorksOnTheInputAndCanEndTheModule) {
    auto m = Module(ModuleChannelFilter | ModuleInputStageOnly4, {0, 30, 8, 105});
    m->inputStage->Init(0, 0, ModuleStageRows, BandSlots);
    m->inputStage->Allocate();
    for (int b = 0; b < BandSlots; ++b) {
        m->inputStage->Set2(4, b, 10.0f);
        m->inputStage->Set2(5, b, 5.0f);
    }
    const TListaCanali& out = Run(*m, {Channel("21", 470, 478, 70)});
    EXPECT_EQ(out.Count(), 0);
    EXPECT_NEAR(input.head->levelMin, 80.0f, 1e-4);
}

// ---- Records ----

std::string Written(const TModuliFiltro& list) {
    TMemoryStream s;
    list.Write(s, 60000);
    return s.Bytes();
}

TEST_F(FilterModules, ModuleListsRoundTripInOrder) {
    TModuliFiltro list;
    list.kind = 4;
    auto first = Module(ModuleChannelFilter, {0, 30, 8, 105});
    first->slotName[ModuleInputSlot] = "12345678901234567890";  // twenty characters are kept
    first->slotPlan[ModuleInputSlot] = CanalizzazioneEuropa;
    first->slotLabel[ModuleOutputSlot] = "Rai Uno";
    first->settings[1] = 3.5f;
    first->settingIndex = 7;
    auto second = Module(ModuleModulator | ModuleDigital, {0, 0, 40, 80});
    list.Append(std::move(first));
    list.Append(std::move(second));
    const std::string bytes = Written(list);

    TModuliFiltro back;
    TMemoryStream s(bytes);
    back.Read(s, 60000);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.kind, 4);
    EXPECT_EQ(back.head->flags, ModuleChannelFilter);
    EXPECT_EQ(back.head->slotName[ModuleInputSlot], "12345678901234567890");
    EXPECT_EQ(back.head->slotPlan[ModuleInputSlot], CanalizzazioneEuropa);
    EXPECT_EQ(back.head->slotLabel[ModuleOutputSlot], "Rai Uno");
    EXPECT_EQ(back.head->settings[1], 3.5f);
    EXPECT_EQ(back.head->settingIndex, 7);
    EXPECT_EQ(back.head->stage->Get2(1, 0), 30.0f);
    EXPECT_EQ(back.head->bandSystem, SistemaBandeCorrente);
    EXPECT_EQ(back.head->next->flags, ModuleModulator | ModuleDigital);
    EXPECT_EQ(Written(back), bytes);

    TModuliFiltro copy;
    TModuliFiltro::Assign(back, copy);
    EXPECT_EQ(Written(copy), bytes);
    EXPECT_NE(copy.head, back.head);
}

TEST_F(FilterModules, AnEmptyListIsItsKindItsTableAndOneZeroByte) {
    TModuliFiltro list;
    list.kind = 2;
    TMemoryStream table;
    list.stage->Write(table, 60000);
    EXPECT_EQ(Written(list), std::string("\x02\x00\x00\x00", 4) + table.Bytes() + std::string(1, '\0'));
}

TEST_F(FilterModules, TheSlotCountByteIsIgnoredAndADamagedStageRefused) {
    TModuliFiltro list;
    list.Append(Module(ModuleChannelFilter, {0, 30, 8, 105}));
    std::string bytes = Written(list);
    TMemoryStream probe;
    list.stage->Write(probe, 60000);
    // kind, the list's table, the module's byte 1, flags, settings, index: then the slot count.
    const size_t at = 4 + probe.Bytes().size() + 1 + 4 + 12 + 4;
    ASSERT_EQ(static_cast<uint8_t>(bytes[at]), 3);
    bytes[at] = 7;
    TModuliFiltro back;
    TMemoryStream s(bytes);
    back.Read(s, 60000);
    EXPECT_EQ(back.Count(), 1);
    EXPECT_EQ(back.head->slotHigh[ModuleInputSlot], 478.0f);

    // A stage of another shape is damage.
    TModuliFiltro odd;
    auto m = Module(ModuleChannelFilter, {0, 30});
    m->stage->Init(0, 0, 3, BandSlots);
    m->stage->Allocate();
    odd.Append(std::move(m));
    TModuliFiltro refused;
    TMemoryStream damaged(Written(odd));
    EXPECT_THROW(refused.Read(damaged, 60000), EReadError);
}

}  // namespace
