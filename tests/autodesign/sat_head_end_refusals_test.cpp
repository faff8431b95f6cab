// The satellite head end of single-cable networks as a person meets it:
// buildings that are smaller than others the designer serves are designed
// too (the risers sized for what the head end's finals give, the split
// blocks with a satellite final that takes the terrestrial line only where
// its bypass amplifies it), and the refusal of the satellite series names
// the level asked, the most the chosen amplifiers give and what to choose.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "autodesign/channel_panel.h"
#include "autodesign/engine.h"
#include "autodesign/wizard.h"
#include "cells/cell.h"
#include "cells/outlets.h"
#include "cells/sources.h"
#include "core/channel_list.h"
#include "core/channels.h"
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"
#include "cells/component_data.h"
#include "support/default_library_folder.h"
#include "support/design_components.h"
#include "support/globals_fixture.h"
#include "support/library_program.h"
#include "support/program_fixture.h"

namespace {

TScript& Script() { return Application->Script(); }

struct TBuilding {
    bool terrestrial;  // "Terrestre e satellitare" "Modulare" "Unite", else "Satellitare"
    int staircases, floors, flats, outlets;
};

std::string Name(const TBuilding& b) {
    return std::string(b.terrestrial ? "TS_Unite_" : "S_") + std::to_string(b.staircases) + "x" +
           std::to_string(b.floors) + "x" + std::to_string(b.flats) + "x" + std::to_string(b.outlets);
}

void Type(TEdit* field, int value) {
    ASSERT_TRUE(field->Enabled);
    field->UserFocus();
    field->SelectAll();
    field->InsertTypedText(std::to_string(value));
}

// "Monocavo", the building, antenna GAN-UHF with channels 21-25 and "Sky".
void DriveWizard(TAutoProgetto& w, const TBuilding& b) {
    ASSERT_EQ(w.VisiblePage(), WizardTypePage);
    const std::vector<int> choices =
        b.terrestrial ? std::vector<int>{ChoiceTerSat, ChoiceReteCentrale, ChoiceModulare, ChoiceMonocavo,
                                         ChoiceUnite}
                      : std::vector<int>{ChoiceSatellitare, ChoiceReteCentrale, ChoiceMonocavo};
    for (const int choice : choices) {
        ASSERT_TRUE(w.Choice[choice]->Visible && w.Choice[choice]->Enabled) << choice;
        w.Choice[choice]->Click();
    }
    w.BAvanti->Click();
    ASSERT_EQ(w.VisiblePage(), WizardBuildingPage);
    Type(w.BuildingEdit[RowStaircases], b.staircases);
    Type(w.BuildingEdit[RowFloors], b.floors);
    Type(w.BuildingEdit[RowApartments], b.flats);
    for (const int row : {RowTerrOutlets, RowSatOutlets})
        if (w.BuildingEdit[row]->Enabled) Type(w.BuildingEdit[row], b.outlets);
    w.BAvanti->Click();
    while (w.VisiblePage() != WizardComponentsPage) {
        const int page = w.VisiblePage();
        if (page == WizardChannelsPage) {
            TPannelloCanaliTer& panel = *w.ChannelPanels[0];
            panel.Code->UserFocus();
            const int item = panel.Code->Items->IndexOf("GAN-UHF");
            ASSERT_GE(item, 0);
            panel.Code->SelectByUser(item);
            for (const char* name : {"21", "22", "23", "24", "25"}) {
                const int row = panel.Antenna().Plan->IndexOf(name);
                const TRect r =
                    panel.ChannelGrid->CellRect(row % ChannelGridColumns, row / ChannelGridColumns);
                panel.ChannelGrid->ClickAt((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
            }
        }
        if (page == WizardPackagesPage)
            for (int k = 0; k < PackageCount; ++k)
                if (w.PackageBox[k]->Visible && w.PackageBox[k]->Checked != (k == 0)) w.PackageBox[k]->Click();
        w.BAvanti->Click();
        ASSERT_NE(w.VisiblePage(), page);
    }
    w.BAvanti->Click();  // "Fine"
}

int TabIndex(const TAntenne& f, const char* caption) {
    for (int i = 0; i < f.TabControl->Tabs->Count(); ++i)
        if (f.TabControl->Tabs->Strings(i) == caption) return i;
    return -1;
}

// What stopped the design, or empty when the building was designed and
// "Calcoli canali" lists nothing and every outlet receives the five
// terrestrial channels (when asked) and the satellite ones inside its window.
std::string Outcome(TAntenne& f, const TBuilding& b) {
    Script().Reset();
    Script().AnswerShowModal<TAutoProgetto>([&](TAutoProgetto& w) { DriveWizard(w, b); });
    Script().AnswerShowModal<TAutoProgetto>(WizardClosed);
    f.New1->Click();
    std::string said;
    for (const TMessageBoxCall& m : Script().MessageBoxes) said += m.Text;
    if (Script().ModalForms.size() > 1) return "refused: " + said;
    if (!said.empty()) return "message: " + said;
    const int canali = TabIndex(f, PageCalcoliCanali);
    if (canali < 0) return "no \"Calcoli canali\"";
    f.TabControl->SelectByUser(canali);
    if (f.CanaliReport.Messages->Items->Count() > 0)
        return "Calcoli canali: " + f.CanaliReport.Messages->Items->Strings(0);
    int outlets = 0;
    for (const TCella* cell = f.CurrentProject->NetworkGrid->Anchor; cell; cell = cell->NextCell) {
        if (!dynamic_cast<const TPresaD*>(cell)) continue;
        ++outlets;
        const TListaCanali* list = cell->ChannelLists.empty() ? nullptr : cell->ChannelLists.back().get();
        int ter = 0, sat = 0;
        for (const TCanale* c = list ? list->head : nullptr; c; c = c->next) {
            const bool isTer = c->band >= 3 && c->band <= 5, isSat = c->band >= FirstSatSlot && c->band <= BandSlotSat;
            if (!isTer && !isSat) continue;
            (isTer ? ter : sat) += 1;
            const bool digital = c->signalType == 'd';
            const auto& limits = Opzioni->limits[c->band];
            if (c->levelMin < limits[digital ? LimitSigMinDig : LimitSigMin] - 0.001f ||
                c->levelMax > limits[digital ? LimitSigMaxDig : LimitSigMax] + 0.001f)
                return cell->GetShortCode() + ": channel " + c->name + " out of its window";
        }
        if ((b.terrestrial && ter != 5) || sat == 0)
            return cell->GetShortCode() + " misses channels (" + std::to_string(ter) + " terrestrial, " +
                   std::to_string(sat) + " satellite)";
    }
    if (outlets != b.staircases * b.floors * b.flats * b.outlets) return "outlets " + std::to_string(outlets);
    return "";
}

// Each was refused while a larger building of the same choices was designed:
// with the series message, or (4x12x4x3) by the closing check for channel 21
// led into the bypass of a satellite split final that does not amplify it.
TEST(SatHeadEndRefusals, SmallerBuildingsThanDesignedOnesAreDesignedAndServed) {
    const TBuilding buildings[] = {
        {true, 2, 12, 4, 3}, {true, 3, 10, 4, 3}, {true, 4, 12, 2, 3}, {true, 4, 12, 4, 3},
        {true, 3, 12, 6, 3},  // the larger one, designed before as now
        {false, 2, 12, 6, 3}, {false, 3, 12, 4, 3}, {false, 4, 12, 2, 3},
    };
    for (const TBuilding& b : buildings) {
        // A fresh program each: "Nuovo" then asks nothing of the design before.
        ScopedProgram program;
        TAntenne& f = StartWithDefaultLibrary(program);
        EXPECT_EQ(Outcome(f, b), "") << Name(b);
    }
}

// ---- The series refusal, on the engine ----

class SatSeriesRefusalTest : public GlobalsTest {
protected:
    SatSeriesRefusalTest() : engine(&globals.Reporter()) {
        grid = std::make_unique<TGridData>(nullptr, WorkGridSize, WorkGridSize, GridWork);
    }
    void SetUp() override { globals.Reporter().SetTarget(&messages); }
    TListBox messages;
    TCreaAuto engine;
    std::unique_ptr<TGridData> grid;
};

TEST_F(SatSeriesRefusalTest, NamesTheLevelAskedTheMostGivenAndTheChoiceThatServes) {
    const std::string start =
        "Problemi nella selezione della serie dei componenti della centrale di testa satellitare. "
        "La rete richiede un segnale troppo elevato. ";
    const std::string choose = " Scegliere \"Multiswitch 4 cavi\" e \"Multiswitch lungo scala\".";
    struct Case {
        const char* name;
        int32_t terInputs, satInputs;
        float hmax, smax, line;
        std::string figures;
    };
    const Case cases[] = {
        {"one line: the head end's finals", 0, 1, 107.03f, 107.03f, 0.0f,
         "La rete richiede in testa 110,3 dBµV, gli amplificatori finali delle serie scelte ne danno al più 107,0."},
        {"three lines: the splits' finals", 0, 3, 107.03f, 104.0f, 0.0f,
         "Le 3 linee che partono dalla testa richiedono 110,3 dBµV, gli amplificatori scelti per le spezzature "
         "ne danno al più 104,0."},
        {"three lines: a line amplifier gives more", 0, 3, 107.03f, 104.0f, 108.5f,
         "Le 3 linee che partono dalla testa richiedono 110,3 dBµV, gli amplificatori scelti per le spezzature "
         "ne danno al più 108,5."},
    };
    engine.Settings->Satellite = true;
    engine.TapNetwork[1] = 1;
    engine.RequiredLevelSat = 110.3f;
    engine.FamilyCount[1] = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.EntryInputsTer = c.terInputs;
        engine.EntryInputsSat = c.satInputs;
        engine.FamilySat[0] = TFamiglia{};
        engine.FamilySat[0].Hmax = c.hmax;
        engine.FamilySat[0].Smax = c.smax;
        std::fill(std::begin(engine.SubstationLevelSat), std::end(engine.SubstationLevelSat), c.line);
        engine.ChooseHeadEndFamilies();
        ASSERT_EQ(engine.ChosenFamily[1], -1);
        EXPECT_FALSE(engine.DesignSatIfHeadEnd(14, 47, grid.get()));
        ASSERT_EQ(messages.Items->Count(), 1);
        EXPECT_EQ(messages.Items->Strings(0), start + c.figures + choose);
        messages.Items->Clear();
    }
}

// The lines of a multiswitch in the apartments, on four staircases of
// twelve floors, ask the head end a little more than the strongest LNB of
// the output count gives (86,3 against 85,0 dBµV with the default library):
// the refusal says so and names the distribution that serves them.
TEST_F(SatSeriesRefusalTest, TheLnbRefusalNamesTheLevelAskedAndTheMostItsLnbsGive) {
    DesignComponents add(*engine.Components);
    for (const float level : {80.0f, 85.0f}) add.Lnb(4, "P", level)->Characteristics[0] &= ~FeatureQuadLnb;
    add.Lnb(8, "P", 90.0f)->Characteristics[0] &= ~FeatureQuadLnb;  // another count: not the one asked
    add.Dish("P");
    engine.RequiredLevelSat = 86.3f;
    EXPECT_FALSE(engine.SelectLnb(10, 20, grid.get(), 3));
    ASSERT_EQ(messages.Items->Count(), 1);
    EXPECT_EQ(messages.Items->Strings(0),
              "Non sono stati selezionati LNB adeguati alla centrale satellitare. Le linee multiswitch "
              "richiedono in testa 86,3 dBµV, gli LNB scelti da 4 uscite ne danno al più 85,0. Scegliere "
              "\"Multiswitch 4 cavi\" e \"Multiswitch lungo scala\".");
    EXPECT_FALSE(grid->HasComponents());
}

}  // namespace
