// In-line passives: what the factory builds, their power data and short
// codes, the component-data form of each class, and the inductance that
// carries every pass straight through.
#include "cells/passives.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "cells/cables.h"
#include "cells/factory.h"
#include "cells/graphic_cells.h"
#include "cells/mixers.h"
#include "cells/prototypes.h"
#include "core/channel_list.h"
#include "document/grid.h"
#include "platform/application.h"
#include "platform/engines.h"
#include "platform/graphics.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/line_cells.h"
#include "support/pass_cells.h"
#include "support/record_bytes.h"

namespace {

std::unique_ptr<TCella> Make(int32_t code, int32_t count = 1, TCellGrid* owner = nullptr) {
    return std::unique_ptr<TCella>(NewCella(owner, code, 4, 4, count, count, 0));
}

using Groups = std::vector<uint32_t>;
Groups PowerOf(const TCella& c) {
    Groups g;
    for (const auto& group : c.Power)
        for (uint32_t w : group) g.push_back(w);
    return g;
}

TEST(Passives, TheFactoryBuildsEachWithItsIdentityAndPowerData) {
    const Groups base = {7, AllBits, AllBits, AllBits, 7, AllBits, AllBits, AllBits, 0, 0, 0, 0};
    struct Case {
        int32_t code;
        const char* category;
        const char* typeName;
        Groups power;
    };
    // clang-format off
    const Case cases[] = {
        // No supply taken, none handed on but through the through outputs' mask.
        {CodeSeparatoreCC, "Separatori", "Separatore ", {0, 0, 0, 0, 0, 0, AllBits, 0, 0, 0, 0, 0}},
        {CodeInseritore, "Inseritori", "Inseritore ",
         {7 | 16, AllBits, AllBits, AllBits, 7, AllBits, AllBits, AllBits, 0, 0, 0, 0}},
        {CodeAlimentatore, "Alimentatori", "Alimentatore ",
         {7 | 8, AllBits, AllBits, AllBits, 7, AllBits, AllBits, AllBits, 0, 0, 0, 0}},
        {CodeAttenuatore, "Attenuatori", "Attenuatore ", base},
        {CodeAttenuatoreR, "Attenuatori", "Attenuatore ", base},
        {CodeEqualizzatore, "Equalizzatori", "Equalizzatore ", base},
        {CodeInduttanza, "", "", base},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code);
        ASSERT_NE(cell, nullptr) << c.code;
        EXPECT_EQ(cell->TypeCode, c.code);
        EXPECT_EQ(cell->Kind, c.code);
        EXPECT_EQ(cell->Category, c.category) << c.code;
        EXPECT_EQ(cell->GetTypeName(), c.typeName) << c.code;
        EXPECT_EQ(PowerOf(*cell), c.power) << c.code;
        EXPECT_EQ(cell->NumInputs, 1) << c.code;
        EXPECT_EQ(cell->NumThroughOutputs, 1) << c.code;
        EXPECT_EQ(cell->Attenuation->Size2(), 1) << c.code;
        EXPECT_EQ(cell->Attenuation->Size3(), 4) << c.code;
        EXPECT_EQ(cell->NeedsNoDescription(), c.code == CodeInduttanza) << c.code;
    }
    EXPECT_EQ(Make(CodeAlimentatore, 3)->NumThroughOutputs, 3);
    EXPECT_EQ(Make(CodeMiscelatore, 3)->NumInputs, 3);
    EXPECT_EQ(Make(CodeDemiscelatore, 4)->NumOutputs, 4);
    EXPECT_EQ(Make(CodeMiscelatore, 3)->Category, "Miscelatori");
    EXPECT_EQ(Make(CodeDemiscelatore, 4)->Category, "Demiscelatori");
}

// Classes sharing letters share one counter; the others count on their own.
TEST(Passives, ShortCodesNumberEachCategoryInOneSequence) {
    TContatoriCategoria counters;
    counters.fill(1);
    const std::pair<int32_t, const char*> order[] = {
        {CodeInseritore, "I1"},     {CodeInduttanza, "I2"},      {CodeInseritore, "I3"},
        {CodeAttenuatore, "Q1"},    {CodeAttenuatoreR, "Q2"},    {CodeMiscelatore, "Y1"},
        {CodeDemiscelatore, "Y2"},  {CodeSeparatoreCC, "Sp1"},   {CodeEqualizzatore, "E1"},
        {CodeAlimentatore, "Al1"},  {CodeAlimentatoreSF, "Al2"}, {CodeParabola, "Pa1"},
        {CodeRicevitoreSat, "Rs1"}, {CodeSeparatoreCC, "Sp2"},
    };
    for (auto [code, expected] : order) {
        auto cell = Make(code, 2);
        cell->TakeSequenceNumber(counters);
        EXPECT_EQ(cell->GetShortCode(), expected) << code;
    }
    EXPECT_EQ(counters[PowerSupplyCounter], 3);
    EXPECT_EQ(counters[DishCounter], 2);
    EXPECT_EQ(counters[SatReceiverCounter], 2);
}

// ---- The component-data form ----

using Person = std::function<void(TDatiComponenti&)>;
void Answer(const Person& person) { Application->Script().AnswerShowModal<TDatiComponenti>(person); }

std::vector<bool> RowsShown(TDatiComponenti& f, int rows) {
    std::vector<bool> shown;
    for (int r = 0; r < rows; ++r) shown.push_back(f.RowCaption[r]->Visible);
    return shown;
}

class PassiveDialog : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TGridData network{nullptr, 75, 75, GridNetwork};
};

TEST_F(PassiveDialog, EachClassShowsItsLines) {
    struct Case {
        int32_t code, count;
        const char* name;
        std::vector<bool> rows;
        std::vector<const char*> captions;  // of the rows shown
    };
    // clang-format off
    const Case cases[] = {
        {CodeSeparatoreCC, 1, "Separatore Sp3", {false, true, false, false}, {"Atten. di passaggio  [dB]"}},
        {CodeInseritore, 1, "Inseritore I3", {false, true, false, false}, {"Atten. di passaggio  [dB]"}},
        {CodeAttenuatore, 1, "Attenuatore Q3", {false, true, false, false}, {"Atten. di passaggio  [dB]"}},
        {CodeAttenuatoreR, 1, "Attenuatore Q3", {false, true, false, false}, {"Atten. di passaggio  [dB]"}},
        {CodeEqualizzatore, 1, "Equalizzatore E3", {false, true, false, false}, {"Atten. di passaggio  [dB]"}},
        {CodeAlimentatore, 1, "Alimentatore Al3", {false, true, false, false}, {"Atten. di passaggio  [dB]"}},
        {CodeAlimentatore, 2, "Alimentatore Al3", {false, true, false, true},
         {"Atten. di passaggio  [dB]", "Disaccoppiamento  [dB]"}},
        {CodeMiscelatore, 3, "Miscelatore Y3", {true, true, true, false},
         {"Atten. passaggio 1 [dB]", "Atten. passaggio 2 [dB]", "Atten. passaggio 3 [dB]"}},
        {CodeDemiscelatore, 2, "Demiscelatore Y3", {true, true, false, false},
         {"Atten. passaggio 1 [dB]", "Atten. passaggio 2 [dB]"}},
        {CodeRicevitoreSat, 1, "Ricevitore Sat Rs3", {false, false, false, false}, {}},
        {CodeAlimentatoreSF, 1, "Alimentatore Al3", {false, false, false, false}, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto cell = Make(c.code, c.count, &network);
        cell->SequenceNumber = 3;
        bool asked = false;
        Answer([&](TDatiComponenti& f) {
            asked = true;
            EXPECT_EQ(f.LabelNome->Caption.Get(), c.name);
            EXPECT_EQ(RowsShown(f, 4), c.rows) << c.name;
            std::vector<AnsiString> shown, expected(c.captions.begin(), c.captions.end());
            for (int r = 0; r < 4; ++r)
                if (f.RowCaption[r]->Visible) shown.push_back(f.RowCaption[r]->Text.Get());
            EXPECT_EQ(shown, expected) << c.name;
            f.ButtonAnnulla->Click();
        });
        EXPECT_FALSE(cell->OpenDataDialog()) << c.name;
        EXPECT_TRUE(asked) << c.name;
    }
}

// The decoupling typed for a power supply of two outputs is what the
// separation search crosses between them.
TEST_F(PassiveDialog, TheDecouplingEnteredSeparatesThePowerSuppliesOutputs) {
    auto cell = Make(CodeAlimentatore, 2, &network);
    Answer([](TDatiComponenti& f) {
        for (int b = 0; b < 11; ++b) {
            f.ValueEdit[1][b]->Text = "1";
            f.ValueEdit[3][b]->Text = "30";
        }
        f.ButtonOk->Click();
    });
    ASSERT_TRUE(cell->OpenDataDialog());
    EXPECT_EQ(cell->Described, 1);
    EXPECT_EQ(cell->Attenuation->Get3(0, 3, 5), 30.0f);
    TPozzoProva first, second, up;
    LinkCells(*cell, 0, first, 0);
    LinkCells(*cell, 1, second, 0);
    cell->InputCell[0] = &up;
    cell->InputPort[0] = 0;
    cell->ClearBandAccumulators(5);
    cell->AcceptSeparation(0, 5, 2.0f, 40.0f);
    EXPECT_EQ(second.LastValue, 32.0f);
    EXPECT_EQ(second.LastPort, PortInputBase);
    EXPECT_EQ(up.LastValue, 3.0f);
    EXPECT_EQ(first.Calls, 0);
    // The prototype of two outputs took the data; the one of one output did not.
    EXPECT_EQ(FindPrototype({CodeAlimentatore, 2})->Attenuation->Get3(0, 3, 5), 30.0f);
    EXPECT_EQ(FindPrototype({CodeAlimentatore, 1})->Attenuation->Get3(0, 3, 5), LevelNone);
}

TEST_F(PassiveDialog, TheInductanceOpensNothingAndStaysUndescribed) {
    auto cell = Make(CodeInduttanza, 1, &network);
    bool asked = false;
    Answer([&](TDatiComponenti& f) {
        asked = true;
        f.ButtonOk->Click();
    });
    EXPECT_FALSE(cell->OpenDataDialog());
    EXPECT_FALSE(asked);
    EXPECT_EQ(cell->Described, 0);
    EXPECT_EQ(cell->GetPrototype(), nullptr);
    Application->Script().Reset();
}

TEST_F(PassiveDialog, TheDishFormShowsAndReadsItsValues) {
    auto cell = Make(CodeParabola, 1, &network);
    auto* dish = dynamic_cast<TParabola*>(cell.get());
    dish->Diameter = 85.0f;
    dish->Described = 1;
    Answer([](TDatiComponenti& f) {
        EXPECT_TRUE(f.EditDiametro->Visible);
        EXPECT_TRUE(f.ComboVelocita->Visible);
        EXPECT_EQ(f.EditDiametro->Text.Get(), "85");
        f.EditSpinta->Text = "210,25";
        f.ComboVelocita->Text = "130";
        f.ButtonOk->Click();
    });
    ASSERT_TRUE(cell->OpenDataDialog());
    EXPECT_EQ(dish->Diameter, 85.0f);
    EXPECT_EQ(dish->WindThrust, 210.25f);
    EXPECT_EQ(dish->WindSpeed, 130.0f);
    EXPECT_EQ(dish->WindArea, LevelNone);
}

// ---- The inductance in the passes ----

class InductancePasses : public GlobalsTest {};

TEST_F(InductancePasses, EverythingGoesThroughUnchanged) {
    TSorgenteLinea source;
    TInduttanza coil(nullptr, 1, 0, 0, 0);
    TPozzoProva sink;
    coil.AllocLinks();
    source.AllocLinks();
    JoinCells(source, 0, coil, 0);
    JoinCells(coil, 0, sink, 0);
    sink.Required = {61.5f, 79.0f};
    source.Level = {70.25f, 88.0f};

    coil.ComputeRequiredLevels({}, {}, 10);
    coil.ComputeSignalLevels(11);
    for (int32_t b : {0, 5, 10}) {
        EXPECT_EQ(coil.InputLevels[0][static_cast<size_t>(b)].Min, 61.5f) << b;
        EXPECT_EQ(coil.InputLevels[0][static_cast<size_t>(b)].Max, 79.0f) << b;
        EXPECT_EQ(coil.OutputLevels[0][static_cast<size_t>(b)].Min, 70.25f) << b;
        EXPECT_EQ(coil.OutputLevels[0][static_cast<size_t>(b)].Max, 88.0f) << b;
    }

    TCanale channel;
    channel.freqLow = 600.0f;
    channel.freqHigh = 608.0f;
    channel.levelMin = channel.levelMax = 80.0f;
    source.SourceChannels->Insert(channel);
    coil.ComputeChannels(0, 0, 12);
    ASSERT_EQ(coil.ChannelLists.size(), 1u);
    EXPECT_EQ(coil.ChannelLists[0]->Count(), 1);

    // A separation value goes on as it is, both ways.
    coil.ClearBandAccumulators(5);
    coil.AcceptSeparation(0, 5, 4.5f, 40.0f);  // arrived at the output
    coil.ClearBandAccumulators(5);
    coil.AcceptSeparation(PortInputBase, 5, 6.5f, 40.0f);  // arrived at the input
    EXPECT_EQ(sink.LastValue, 6.5f);
    EXPECT_EQ(sink.LastPort, PortInputBase);

    // The designer's passes: the value and the reach windows go through.
    sink.Reach = {3.0f, 5.0f};
    coil.EvaluateModel(nullptr, 0, 42.0f, 13, 5);
    EXPECT_EQ(sink.LastValue, 42.0f);
    EXPECT_EQ(coil.ReachLevels[0][5].Min, 3.0f);
    EXPECT_EQ(coil.ReachLevels[0][5].Max, 5.0f);
}

// An open output asks nothing, as an open cable end does: the coil is not a
// component that blocks the band, so its input gets no "Illim." window.
TEST_F(InductancePasses, AnOpenOutputAsksNoValueInEveryBand) {
    TInduttanza coil(nullptr, 1, 0, 0, 0);
    TNCavo cable(nullptr, 1, 0, 0, 0, 0, 0);
    coil.AllocLinks();
    cable.AllocLinks();
    coil.ComputeRequiredLevels({}, {}, 20);
    cable.ComputeRequiredLevels({}, {}, 21);
    const int32_t bands = TCella::CalculationBandCount();
    ASSERT_GT(bands, 0);
    for (int32_t b = 0; b < bands; ++b) {
        const TFinestra& w = coil.InputLevels[0][static_cast<size_t>(b)];
        EXPECT_EQ(w.Min, LevelNone) << b;
        EXPECT_EQ(w.Max, LevelNone) << b;
        EXPECT_EQ(w.Min, cable.InputLevels[0][static_cast<size_t>(b)].Min) << b;
        EXPECT_EQ(w.Max, cable.InputLevels[0][static_cast<size_t>(b)].Max) << b;
    }
    // A second run with the same stamp keeps the window.
    coil.ComputeRequiredLevels({}, {}, 20);
    EXPECT_EQ(coil.InputLevels[0][0].Min, LevelNone);
}

TEST(InductanceDrawing, NothingIsDrawn) {
    TGridData grid(nullptr, 10, 10, GridNetwork);
    grid.Step = 2;
    TInduttanza coil(&grid, 1, 0, 2, 2);
    coil.SequenceNumber = 4;
    TRecordingEngine engine;
    TCanvas canvas(&engine);
    coil.Paint(&canvas, 2, 2, 0, 0, 42);
    EXPECT_TRUE(engine.Dump().empty());
    EXPECT_EQ(coil.GetShortCode(), "I4");
}

}  // namespace
