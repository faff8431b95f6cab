// The component-data form's channel grids and module tabs: what they show of
// a channel list or a module list, what they store back, and what the person's
// choices in them change.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cells/active_filters.h"
#include "cells/factory.h"
#include "cells/sources.h"
#include "core/channel_plans.h"
#include "core/channels.h"
#include "core/globals.h"
#include "cells/combo_string_grid.h"
#include "cells/component_data.h"
#include "platform/application.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

using Person = std::function<void(TDatiComponenti&)>;

void Answer(const Person& person) { Application->Script().AnswerShowModal<TDatiComponenti>(person); }

void Type(TComboBox* combo, const char* text) { combo->UserSet(combo->Text, AnsiString(text)); }

void Pick(TComboBox* combo, const char* text) {
    const int i = combo->Items->IndexOf(text);
    ASSERT_GE(i, 0) << text;
    combo->SelectByUser(i);
}

bool Select(TComboStringGrid& grid, int col, int row) {
    bool can = true;
    grid.OnSelectCell(&grid, col, row, can);
    return can;
}

std::vector<AnsiString> RowOf(const TComboStringGrid& grid, int row) {
    std::vector<AnsiString> cells;
    for (int c = 0; c < grid.ColCount; ++c) cells.push_back(grid.Cell(c, row));
    return cells;
}

std::vector<AnsiString> Names(const TListaCanali& list) {
    std::vector<AnsiString> names;
    for (const TCanale* c = list.head; c; c = c->next) names.push_back(c->name);
    return names;
}

TCanale PlanChannel(const TCanalizzazione& plan, const AnsiString& name) {
    TCanale c;
    plan.SetChannel(c, plan.IndexOf(name));
    return c;
}

class ComponentDataGrids : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TDatiComponenti& f = dialog.Get();
    TComboStringGrid& g8 = *f.GridCanali8;
    TComboStringGrid& g5 = *f.GridCanali5;
};

TEST_F(ComponentDataGrids, TheEightColumnGridShowsAListAndRebuildsIt) {
    TListaCanali list;
    f.ShowChannelGrid(list);
    ASSERT_EQ(g8.RowCount, 2);
    EXPECT_EQ(RowOf(g8, 0), (std::vector<AnsiString>{"Canalizzazione", "Canale", "Freq. Min", "Freq. Max",
                                                     "A/D", "Descrizione", "Segnale", "C/N"}));
    EXPECT_EQ(RowOf(g8, 1), std::vector<AnsiString>(8));

    TCanale planned = PlanChannel(*CanalizzazioneEuropa, "21");
    planned.signalType = SignalDigital;
    planned.label = "Rai";
    planned.levelMin = 70.5f;
    planned.floorMin = 14.0f;
    TCanale loose;
    loose.name = "S12";
    loose.freqLow = 800.0f;
    loose.freqHigh = 808.0f;
    loose.levelMin = loose.floorMin = LevelNone;
    list.Insert(planned);
    list.Insert(loose);
    f.ShowChannelGrid(list);
    ASSERT_EQ(g8.RowCount, 4);
    EXPECT_EQ(RowOf(g8, 1),
              (std::vector<AnsiString>{"Europa", "21", "470", "478", "D", "Rai", "70,5", "14"}));
    // A channel of no plan keeps its name through a show and a store.
    EXPECT_EQ(RowOf(g8, 2), (std::vector<AnsiString>{"(Nessuna)", "S12", "800", "808", "A", "", "", ""}));
    {
        TListaCanali again;
        f.StoreChannelGrid(again);
        EXPECT_EQ(Names(again), (std::vector<AnsiString>{"21", "S12"}));
    }
    EXPECT_EQ(RowOf(g8, 3), std::vector<AnsiString>(8));

    // Rows typed by the person; the last row is never read.
    g8.RowCount = 8;
    const std::vector<std::vector<AnsiString>> typed = {
        {"Europa", "", "470", "478", "d", "", "60", ""},  // no name, lower-case d
        {"Europa", "", "900", "", "D", "", "", ""},       // one edge only: dropped
        {"Marte", "Un nome di canale troppo lungo", "1000", "1010", "D", "Una descrizione lunghissima", "",
         "12"},
        {"Europa", "22", "478", "486", "x", "", "", ""},
        {"Europa", "23", "486", "494", "D", "", "", ""},
    };
    for (size_t r = 0; r < typed.size(); ++r)
        for (int c = 0; c < 8; ++c) g8.SetCell(c, static_cast<int>(r) + 1, typed[r][static_cast<size_t>(c)]);
    g8.SetCell(2, 7, "950");
    g8.SetCell(3, 7, "960");
    f.StoreChannelGrid(list);
    EXPECT_EQ(Names(list), (std::vector<AnsiString>{"470/478", "22", "23", "Un nome di canale t"}));
    const TCanale* first = list.head;
    EXPECT_EQ(first->signalType, SignalAnalog);
    EXPECT_EQ(first->plan, CanalizzazioneEuropa);
    EXPECT_FLOAT_EQ(first->levelMin, 60.0f);
    EXPECT_EQ(first->floorMin, LevelNone);
    EXPECT_EQ(first->band, SistemaBandeCorrente->BandOf(474.0));
    EXPECT_EQ(first->next->next->signalType, SignalDigital);
    const TCanale* unknown = first->next->next->next;
    EXPECT_EQ(unknown->plan, nullptr);
    EXPECT_EQ(unknown->label, "Una descrizione lung");
    EXPECT_FLOAT_EQ(unknown->floorMin, 12.0f);
    f.ShowChannelGrid(list);
    EXPECT_EQ(g8.Cell(0, 4), "(Nessuna)");
}

TEST_F(ComponentDataGrids, TheEightColumnGridOffersSatellitePlansAndTheirChannels) {
    const TCanalizzazione* sat = Canalizzazioni->FindById(PlanIdEutelsat13E);
    ASSERT_NE(sat, nullptr);
    ASSERT_GT(sat->Count(), 0);
    const TDatiCanalizzazione& row0 = sat->Row(0);
    TListaCanali list;
    f.ShowChannelGrid(list);
    EXPECT_FALSE(Select(g8, 1, 0));  // the header row

    // The last row: one empty row stays below it.
    EXPECT_TRUE(Select(g8, 0, 1));
    EXPECT_EQ(g8.RowCount, 3);
    EXPECT_EQ(RowOf(g8, 2), std::vector<AnsiString>(8));
    EXPECT_TRUE(g8.Combo->Visible);
    EXPECT_GE(g8.Combo->Items->IndexOf(sat->name), 0);
    EXPECT_LT(g8.Combo->Items->IndexOf("Europa"), 0);
    Pick(g8.Combo, sat->name.c_str());
    g8.Combo->OnExit(g8.Combo);
    EXPECT_EQ(g8.Cell(0, 1), sat->name);

    EXPECT_TRUE(Select(g8, 1, 1));
    ASSERT_EQ(g8.Combo->Items->Count(), sat->Count());
    Pick(g8.Combo, row0.channelName.c_str());
    EXPECT_EQ(g8.Cell(2, 1), FloatToStr(row0.lowEdge));
    EXPECT_EQ(g8.Cell(3, 1), FloatToStr(row0.highEdge));
    EXPECT_EQ(g8.Cell(4, 1), row0.signalType == SignalDigital ? "D" : "A");
    g8.Combo->OnExit(g8.Combo);

    // A frequency typed over the channel's: the row names no plan's channel.
    EXPECT_TRUE(Select(g8, 2, 1));
    g8.SetEditText(2, 1, g8.Cell(2, 1));  // unchanged text
    EXPECT_EQ(g8.Cell(0, 1), sat->name);
    g8.SetEditText(2, 1, "11000");
    EXPECT_EQ(g8.Cell(0, 1), "(Nessuna)");

    // A new plan empties the channel.
    EXPECT_TRUE(Select(g8, 0, 1));
    Pick(g8.Combo, sat->name.c_str());
    EXPECT_EQ(g8.Cell(1, 1), "");

    // The "A/D" column.
    struct Case {
        const char* typed;
        const char* kept;
    };
    for (const Case& c :
         {Case{"d", "D"}, Case{"digitale", "D"}, Case{"a", "A"}, Case{"x", "A"}, Case{"", ""}}) {
        g8.SetEditText(4, 1, c.typed);
        EXPECT_EQ(g8.Cell(4, 1), c.kept) << c.typed;
    }
}

TEST_F(ComponentDataGrids, TheFiveColumnGridOffersEuropaAndTheChannelsOfTheAntennasRange) {
    f.FormShow(&f);
    EXPECT_EQ(g5.Selection.Get(), (TGridRect{2, 1, 2, 1}));
    EXPECT_FALSE(g5.Visible);  // shown only for the call
    g5.RowCount = 2;
    g5.ClearRow(1);
    EXPECT_FALSE(Select(g5, 0, 0));
    EXPECT_TRUE(Select(g5, 3, 1));
    EXPECT_EQ(g5.RowCount, 3);
    EXPECT_EQ(g5.Cell(0, 2), "Europa");

    g5.SetCell(0, 1, "Europa");
    f.ValueEdit[0][0]->Text = "470";
    f.ValueEdit[0][1]->Text = "494";
    EXPECT_TRUE(Select(g5, 1, 1));
    EXPECT_EQ(g5.Combo->Items->Count(), 3);  // 21, 22, 23
    EXPECT_EQ(g5.Combo->Items->Strings(0), "21");
    Pick(g5.Combo, "22");
    EXPECT_EQ(g5.Cell(2, 1), "A");
    EXPECT_TRUE(Select(g5, 0, 1));
    EXPECT_LT(g5.Combo->Items->IndexOf(Canalizzazioni->FindById(PlanIdEutelsat13E)->name), 0);
    Pick(g5.Combo, "Italia");
    EXPECT_EQ(g5.Cell(1, 1), "");
    g5.SetEditText(2, 1, "d");
    EXPECT_EQ(g5.Cell(2, 1), "D");
}

TEST_F(ComponentDataGrids, AConverterKeepsAChannelListPerOutputAndItsBandRowsFollowLnbQuad) {
    std::unique_ptr<TCella> cell(NewCella(nullptr, 39, 0, 0, 0, 4, 0));
    auto& sat = dynamic_cast<TSat&>(*cell);
    sat.UseSatBands.fill(0);
    sat.Characteristics[0] &= ~4u;  // not an "LNB Quad" yet
    sat.OutputChannels[1]->Insert(PlanChannel(*CanalizzazioneEuropa, "21"));
    sat.Described = 1;
    Answer([](TDatiComponenti& d) {
        TComboStringGrid& grid = *d.GridCanali8;
        ASSERT_EQ(d.ModuleCount, 4);
        EXPECT_TRUE(grid.Visible);
        EXPECT_TRUE(d.ButtonCambiaCanali->Visible);
        EXPECT_EQ(grid.RowCount, 2);
        // A channel typed on output 1 stays there when output 2 is chosen.
        d.RadioModulo[1]->Click();
        ASSERT_EQ(grid.RowCount, 3);
        EXPECT_EQ(grid.Cell(1, 1), "21");
        grid.RowCount = 4;
        for (int c = 0; c < 4; ++c)
            grid.SetCell(c, 2, std::vector<AnsiString>{"Europa", "22", "478", "486"}[c]);
        d.RadioModulo[2]->Click();
        EXPECT_EQ(grid.RowCount, 2);
        d.RadioModulo[1]->Click();
        EXPECT_EQ(grid.Cell(1, 2), "22");
        // Output 3 gets the channels typed now, stored by OK.
        d.RadioModulo[3]->Click();
        grid.RowCount = 3;
        for (int c = 0; c < 4; ++c)
            grid.SetCell(c, 1, std::vector<AnsiString>{"Europa", "40", "622", "630"}[c]);
        d.CheckLnbQuad->Checked = true;  // fires its click
        EXPECT_FALSE(grid.Visible);
        EXPECT_FALSE(d.ButtonCambiaCanali->Visible);
        EXPECT_TRUE(d.ValueEdit[0][6]->Visible);
        EXPECT_TRUE(d.ValueEdit[1][10]->Visible);
        d.ButtonOk->Click();
    });
    EXPECT_TRUE(sat.OpenDataDialog());
    EXPECT_EQ(Names(*sat.OutputChannels[1]), (std::vector<AnsiString>{"21", "22"}));
    EXPECT_EQ(Names(*sat.OutputChannels[3]), std::vector<AnsiString>{"40"});
    EXPECT_EQ(sat.OutputChannels[2]->Count(), 0);
    for (int o = 0; o < 4; ++o) EXPECT_EQ(sat.UseSatBands[o], 1) << o;
}

// ---- Module tabs ----

class ComponentDataModules : public ComponentDataGrids {
protected:
    std::unique_ptr<TFiltroAttivo> Make(int32_t code) {
        std::unique_ptr<TFiltroAttivo> cell = CellAs<TFiltroAttivo>(NewCella(nullptr, code, 0, 0, 1, 1, 0));
        cell->Described = 1;
        return cell;
    }
};

TEST_F(ComponentDataModules, AConverterPageShowsItsModuleAndStoresTheIfIfRule) {
    auto cell = Make(37);
    TModuloFiltro& m = cell->Module();
    m.settings = {40.0f, 2150.0f, 8.0f};
    m.settingIndex = 3;
    m.stage->Set2(1, 0, 20.0f);   // gain
    m.stage->Set2(3, 0, 110.0f);  // maximum output level
    m.slotPlan[1] = CanalizzazioneEuropa;
    m.slotName[1] = "21";
    m.slotLow[1] = 470.0f;
    m.slotHigh[1] = 478.0f;
    m.slotLabel[2] = "Blocco";
    Answer([](TDatiComponenti& d) {
        EXPECT_FALSE(d.GroupSegnali->Visible);
        ASSERT_TRUE(d.TabModuli->Visible);
        EXPECT_EQ(d.TabModuli->TabIndex, 2);
        EXPECT_EQ(d.TabModuli->Tabs->Count(), 3);
        EXPECT_EQ(d.ShownModuleTab, 0);
        EXPECT_EQ(d.RowCaption[0]->Parent, static_cast<TWinControl*>(d.TabModuli));
        EXPECT_EQ(d.EditFreqMin->Text.Get(), "40");
        EXPECT_EQ(d.EditFreqMax->Text.Get(), "2150");
        EXPECT_EQ(d.EditBlocchi->Text.Get(), "3");
        EXPECT_EQ(d.ComboTipoModulo->ItemIndex, 2);
        EXPECT_EQ(d.RowCaption[2]->Text.Get(), "Guadagno  [dB]");
        EXPECT_EQ(d.ValueEdit[2][0]->Text.Get(), "20");
        EXPECT_EQ(d.ValueEdit[4][0]->Text.Get(), "110");
        EXPECT_FALSE(d.ValueEdit[2][1]->Visible);
        EXPECT_FALSE(d.RowCaption[5]->Visible);
        EXPECT_EQ(d.ChannelCaption[1]->Text.Get(), "Freq. ingresso [MHz]");
        EXPECT_EQ(d.PlanCombo[1]->Text.Get(), "Europa");
        EXPECT_EQ(d.PlanCombo[2]->Text.Get(), "(Nessuna)");
        EXPECT_EQ(d.PlanCombo[1]->Items->Strings(0), "(Nessuna)");
        EXPECT_EQ(d.ChannelCombo[1]->Text.Get(), "21");
        EXPECT_GE(d.ChannelCombo[1]->Items->IndexOf("22"), 0);
        EXPECT_EQ(d.ChannelMin[1]->Text.Get(), "470");
        EXPECT_EQ(d.EditDescrizioneModulo->Text.Get(), "Blocco");
        EXPECT_TRUE(d.ChannelMax[2]->Visible);

        // The conversion types relabel and hide rows.
        Pick(d.ComboConversione, "4QPSK/PAL");
        EXPECT_EQ(d.RowCaption[4]->Text.Get(), "Livello uscita  [dB]");
        EXPECT_FALSE(d.ValueEdit[2][0]->Visible);
        Pick(d.ComboConversione, "IF/IF");
        EXPECT_EQ(d.RowCaption[4]->Text.Get(), "Livello max. out [dB]");
        EXPECT_TRUE(d.ValueEdit[2][0]->Visible);
        EXPECT_FALSE(d.ChannelMax[2]->Visible);
        EXPECT_FALSE(d.ChannelCombo[2]->Visible);
        EXPECT_FALSE(d.PlanCombo[2]->Visible);
        EXPECT_TRUE(d.ChannelMin[2]->Visible);

        d.ChannelMin[1]->Text = "950";
        d.ChannelMax[1]->Text = "2150";
        d.ChannelMin[2]->Text = "1000";
        d.EditDescrizioneModulo->Text = "Una descrizione troppo lunga";
        d.EditBlocchi->Text = "4,7";
        d.ButtonOk->Click();
    });
    EXPECT_TRUE(cell->OpenDataDialog());
    const TModuloFiltro& read = cell->Module();
    EXPECT_FLOAT_EQ(read.slotHigh[2], 2200.0f);
    EXPECT_EQ(read.slotPlan[1], nullptr);  // typed edges name no plan's channel
    EXPECT_EQ(read.slotLabel[2], "Una descrizione trop");
    EXPECT_EQ(read.settingIndex, 4);
    EXPECT_EQ(read.flags & ModuleConversionMask, 1u);
    EXPECT_FLOAT_EQ(read.stage->Get2(1, 0), 20.0f);

    // A negative input minimum leaves the output's upper edge unknown.
    Answer([](TDatiComponenti& d) {
        d.ChannelMin[1]->Text = "-5";
        d.ButtonOk->Click();
    });
    EXPECT_TRUE(cell->OpenDataDialog());
    EXPECT_EQ(cell->Module().slotHigh[2], LevelNone);
}

TEST_F(ComponentDataModules, ModuleTabsKeepPlansChannelsAndTheOutputAmplifier) {
    auto cell = Make(35);
    // A second module of another kind, as an integrated head-end's list holds them.
    auto second = std::make_unique<TModuloFiltro>();
    second->flags = ModuleModulator;
    cell->Modules->Append(std::move(second));
    Answer([](TDatiComponenti& d) {
        ASSERT_EQ(d.TabModuli->Tabs->Count(), 4);
        EXPECT_EQ(d.TabModuli->Tabs->Strings(3), "Modulo 2");
        EXPECT_EQ(d.ChannelCaption[1]->Text.Get(), "Freq. passante [MHz]");
        EXPECT_FALSE(d.ChannelCaption[2]->Visible);
        EXPECT_EQ(d.RowCaption[0]->Text.Get(), "Reg. tilt  [-dB]");
        Type(d.PlanCombo[1], "Italia");
        d.ChannelCombo[1]->Text = "Un canale dal nome lunghissimo";
        d.ValueEdit[0][0]->Text = "3";  // tilt: stage row 5

        // The second module: a modulator page.
        d.TabModuli->SelectByUser(3);
        EXPECT_EQ(d.ShownModuleTab, 1);
        EXPECT_EQ(d.ComboTipoModulo->ItemIndex, 3);
        EXPECT_EQ(d.ChannelCaption[2]->Text.Get(), "Freq. uscita  [MHz]");
        EXPECT_FALSE(d.ChannelCaption[1]->Visible);
        EXPECT_TRUE(d.EditDescrizioneModulo->Visible);
        EXPECT_FALSE(d.ComboConversione->Visible);
        EXPECT_EQ(d.RowCaption[3]->Text.Get(), "Livello uscita  [dB]");
        EXPECT_FALSE(d.RowCaption[4]->Visible);
        Type(d.PlanCombo[2], "Europa");
        d.ChannelCombo[2]->Text = "21";
        d.ValueEdit[3][0]->Text = "95";  // output level: stage row 3

        // "Ampli Uscita": every edit empty, then one value.
        d.TabModuli->SelectByUser(1);
        EXPECT_EQ(d.ShownAmplifierTab, 1);
        EXPECT_EQ(d.ShownModuleTab, -1);
        EXPECT_EQ(d.RowCaption[6]->Text.Get(), "Livello max. out [dB]");
        EXPECT_TRUE(d.ValueEdit[6][1]->Visible);
        EXPECT_FALSE(d.EditFreqMin->Visible);
        for (int r = 0; r < DialogStageRows; ++r) EXPECT_EQ(d.ValueEdit[r][0]->Text.Get(), "") << r;
        d.ValueEdit[4][2]->Text = "30";
        d.TabModuli->SelectByUser(0);
        EXPECT_TRUE(d.ModuleList.stage->Block2() != nullptr);
        EXPECT_EQ(d.ValueEdit[4][2]->Text.Get(), "");  // the input amplifier's own rows
        d.ValueEdit[1][0]->Text = "6";
        d.TabModuli->SelectByUser(1);
        EXPECT_EQ(d.ValueEdit[4][2]->Text.Get(), "30");
        d.ButtonOk->Click();
    });
    EXPECT_TRUE(cell->OpenDataDialog());
    const TModuloFiltro& filter = *cell->Modules->head;
    EXPECT_EQ(filter.slotPlan[1], CanalizzazioneItalia);
    EXPECT_EQ(filter.slotName[1], "Un canale dal nome ");
    EXPECT_FLOAT_EQ(filter.stage->Get2(5, 0), 3.0f);
    const TModuloFiltro& modulator = *filter.next;
    EXPECT_EQ(modulator.slotPlan[2], CanalizzazioneEuropa);
    EXPECT_EQ(modulator.slotName[2], "21");
    EXPECT_FLOAT_EQ(modulator.stage->Get2(3, 0), 95.0f);
    ASSERT_NE(cell->Modules->stage->Block2(), nullptr);
    EXPECT_FLOAT_EQ(cell->Modules->stage->Get2(4, 2), 30.0f);
    for (int r = 0; r < DialogStageRows; ++r)
        for (int b = 0; b < BandSlots; ++b)
            if (r != 4 || b != 2) EXPECT_EQ(cell->Modules->stage->Get2(r, b), LevelNone) << r << "," << b;

    // Emptied again: the output amplifier's table goes.
    Answer([](TDatiComponenti& d) {
        d.TabModuli->SelectByUser(1);
        d.ValueEdit[4][2]->Text = "";
        d.ButtonOk->Click();
    });
    EXPECT_TRUE(cell->OpenDataDialog());
    EXPECT_EQ(cell->Modules->stage->Block2(), nullptr);
    // Cancel leaves the modules as they were.
    Answer([](TDatiComponenti& d) {
        d.ValueEdit[0][0]->Text = "9";
        d.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(cell->OpenDataDialog());
    EXPECT_FLOAT_EQ(cell->Modules->head->stage->Get2(5, 0), 3.0f);
}

}  // namespace
