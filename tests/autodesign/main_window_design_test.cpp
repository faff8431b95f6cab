// The main window's design commands: "Autoprogetto" runs the wizard and the
// engine on the current project, asks before replacing a modified one, and a
// wizard closed without a design ends the program only at the first start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <utility>
#include <map>
#include <vector>

#include "app/main_form.h"
#include "autodesign/engine.h"
#include "autodesign/wizard.h"
#include "cells/amplifiers.h"
#include "cells/cell.h"
#include "cells/terminations.h"
#include "core/globals.h"
#include "core/options.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/report_pages.h"
#include "platform/application.h"
#include "platform/engines.h"
#include "platform/printers.h"
#include "printing/calc_print_options.h"
#include "support/default_library_folder.h"
#include "support/design_components.h"
#include "support/library_program.h"
#include "support/program_fixture.h"

namespace {

TScript& Script() { return Application->Script(); }

// The tap DrawTwoTaps puts first, marked as drawn by hand (a design may
// put a cell of its own on the same square).
constexpr int32_t TapColumn = 37, TapRow = 1;
void MarkHandDrawn(TProgetto& project) {
    project.NetworkGrid->CellAt(TapColumn, TapRow)->Description = "a mano";
}
bool HandDrawn(const TProgetto& project) {
    const TCella* c = project.NetworkGrid->CellAt(TapColumn, TapRow);
    return c && c->Description == "a mano";
}

int Cells(const TGridData* grid) {
    int n = 0;
    for (const TCella* c = grid->Anchor; c; c = c->NextCell) ++n;
    return n;
}

// The person chooses a terrestrial network and goes through to "Fine".
void DesignTerrestrialNetwork(TAutoProgetto& w) {
    w.ChoiceClick(w.Choice[ChoiceTerrestre]);
    w.ChoiceClick(w.Choice[ChoiceRete]);
    while (w.ModalResult.Get() == mrNone) w.PageForward(nullptr);
}

TEST(MainFormDesign, AutoprogettoDesignsTheNetworkOfTheWizard) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    CopyDefaultLibrary(program);  // the library and default choice the build makes
    ASSERT_NE(CreaAuto, nullptr);
    ASSERT_NE(f.Wizard, nullptr);
    EXPECT_EQ(&f.Wizard->Opz(), CreaAuto->Settings.get());
    f.Speciali1->Click();
    EXPECT_TRUE(f.Autoprogetto1->Enabled);
    Script().AnswerShowModal<TAutoProgetto>(DesignTerrestrialNetwork);
    f.Autoprogetto1->Click();
    ASSERT_EQ(Script().ModalForms.size(), 1u);
    EXPECT_TRUE(Script().MessageBoxes.empty());
    // The run went through: the project shown after its analysis (the
    // stages that put the blocks on the project's grids come with the head-end builder).
    EXPECT_EQ(f.CurrentProject->Step, 2);
    EXPECT_EQ(f.NextButton->Caption.Get(), BackCaption);
    EXPECT_FALSE(f.CurrentProject->DesignPending);
}

TEST(MainFormDesign, AModifiedProjectIsAskedAboutAndCancelKeepsIt) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    DrawTwoTaps(*f.CurrentProject);
    f.CurrentProject->Modified = true;
    const int cells = Cells(f.CurrentProject->NetworkGrid);
    Script().AnswerShowModal<TAutoProgetto>(DesignTerrestrialNetwork);
    Script().AnswerMessageBox(IDCANCEL);
    f.Autoprogetto1->Click();
    ASSERT_EQ(Script().MessageBoxes.size(), 1u);
    EXPECT_EQ(Script().MessageBoxes[0].Text, "Salvare le modifiche apportate al progetto?");
    EXPECT_EQ(Cells(f.CurrentProject->NetworkGrid), cells);

    // The wizard loop from a later caller asks the same.
    Script().AnswerShowModal<TAutoProgetto>(DesignTerrestrialNetwork);
    Script().AnswerMessageBox(IDCANCEL);
    f.RunAutoDesignWizard(false);
    EXPECT_EQ(Script().MessageBoxes.size(), 2u);
    EXPECT_EQ(Cells(f.CurrentProject->NetworkGrid), cells);
}


// The program started with the default library and a line drawn by hand, not saved.
TAntenne& StartWithHandDrawing(ScopedProgram& program) {
    TAntenne& f = program.Start();
    CopyDefaultLibrary(program);
    DrawTwoTaps(*f.CurrentProject);
    MarkHandDrawn(*f.CurrentProject);
    f.CurrentProject->Modified = true;
    return f;
}

// A line of two taps saved by a program run that has ended; its file.
std::string SavedLine(ScopedProgram& program) {
    const std::string file = program.Dir().File("linea.ant");
    TAntenne& f = program.Start();
    DrawTwoTaps(*f.CurrentProject);
    EXPECT_EQ(f.SaveProject(file, *f.CurrentProject, ProjectVersionCurrent), 0);
    Application->DestroyForms();
    return file;
}

TEST(MainFormDesign, TheFirstActivationOffersTheWizard) {
    // Confirmed with its defaults: a design, the program goes on.
    {
        ScopedProgram program;
        int page = -1;
        Script().AnswerShowModal<TAutoProgetto>([&](TAutoProgetto& w) {
            page = w.VisiblePage();
            while (w.ModalResult.Get() == mrNone) w.BAvanti->Click();
        });
        TAntenne& f = program.Start({}, true);
        EXPECT_TRUE(Script().ModalForms.empty());  // the splash comes first
        CopyDefaultLibrary(program);
        EndSplash();
        ASSERT_EQ(Script().ModalForms.size(), 1u);
        EXPECT_EQ(page, WizardTypePage);
        EXPECT_EQ(f.CurrentProject->Step, 2);
        EXPECT_FALSE(Application->Terminated());
        // Later activations leave it alone.
        f.Hide();
        f.Show();
        EXPECT_EQ(Script().ModalForms.size(), 1u);
    }
    // Closed: the program ends.
    {
        ScopedProgram program;
        Script().AnswerShowModal<TAutoProgetto>(WizardClosed);
        program.Start({}, true);
        EndSplash();
        EXPECT_EQ(Script().ModalForms.size(), 1u);
        EXPECT_TRUE(Application->Terminated());
    }
    // A project named on the command line: no wizard.
    {
        ScopedProgram program;
        const std::string file = SavedLine(program);
        TAntenne& f = program.Start({file}, true);
        EndSplash();
        EXPECT_TRUE(Script().ModalForms.empty());
        EXPECT_EQ(f.CurrentProject->Name, file);
    }
}

TEST(MainFormDesign, TheWizardOpensAProjectOrShowsItselfAgain) {
    ScopedProgram program;
    const std::string file = SavedLine(program);
    Script().Reset();
    // A file that does not load first: its message, then the wizard again.
    const std::string missing = program.Dir().File("manca.ant");
    for (const std::string& chosen : {missing, file}) {
        Script().AnswerFileDialog(chosen);
        Script().AnswerShowModal<TAutoProgetto>([](TAutoProgetto& w) { w.Apri1->Click(); });
    }
    TAntenne& f = program.Start({}, true);
    EndSplash();
    ASSERT_EQ(Script().ModalForms.size(), 2u);
    EXPECT_EQ(Script().ModalForms[0].Result, WizardOpenProject);
    ASSERT_EQ(Script().MessageBoxes.size(), 1u);
    EXPECT_EQ(Script().MessageBoxes[0].Text, "Il file " + missing + " è inesistente.");
    EXPECT_EQ(f.CurrentProject->Name, file);
    EXPECT_EQ(f.CurrentProject->Step, 2);
    EXPECT_EQ(f.NextButton->Caption.Get(), BackCaption);
    EXPECT_FALSE(Application->Terminated());
}

// A project opened from the wizard of a later command replaces the drawing
// only after the question about its unsaved changes; "Annulla" keeps it.
TEST(MainFormDesign, OpeningFromALaterWizardAsksAboutUnsavedChanges) {
    ScopedProgram program;
    const std::string file = SavedLine(program);
    TAntenne& f = program.Start();
    const struct {
        const char* name;
        std::function<void()> run;
    } commands[] = {
        {"Avanti", [&] { f.NextButton->Click(); }},
        {"Autoprogetto", [&] { f.Autoprogetto1->Click(); }},
    };
    for (const auto& c : commands) {
        for (const int answer : {IDCANCEL, IDNO}) {
            SCOPED_TRACE(::testing::Message() << c.name << ", answer " << answer);
            f.CurrentProject->Reset(true);
            f.ShowProject(f.CurrentProject);
            DrawTwoTaps(*f.CurrentProject, true, false);
            f.CurrentProject->Modified = true;
            const int cells = Cells(f.CurrentProject->NetworkGrid);
            Script().Reset();
            Script().AnswerFileDialog(file);
            Script().AnswerShowModal<TAutoProgetto>([](TAutoProgetto& w) { w.Apri1->Click(); });
            Script().AnswerMessageBox(answer);
            c.run();
            ASSERT_EQ(Script().MessageBoxes.size(), 1u);
            EXPECT_EQ(Script().MessageBoxes[0].Text, "Salvare le modifiche apportate al progetto?");
            if (answer == IDCANCEL) {
                EXPECT_NE(f.CurrentProject->Name, file);
                EXPECT_TRUE(f.CurrentProject->Modified);
                EXPECT_EQ(Cells(f.CurrentProject->NetworkGrid), cells);
            } else {
                EXPECT_EQ(f.CurrentProject->Name, file);
                EXPECT_FALSE(f.CurrentProject->Modified);
                EXPECT_EQ(f.CurrentProject->Step, 2);
            }
        }
    }
}

TEST(MainFormDesign, ClosingTheWizardOfALaterCommandKeepsTheProject) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    DrawTwoTaps(*f.CurrentProject);
    f.CurrentProject->Modified = true;
    const int cells = Cells(f.CurrentProject->NetworkGrid);
    const struct {
        const char* name;
        std::function<void()> run;
    } commands[] = {
        {"Avanti", [&] { f.NextButton->Click(); }},
        {"Nuovo",
         [&] {
             Script().AnswerMessageBox(IDNO);
             f.New1->Click();
         }},
        {"Autoprogetto", [&] { f.Autoprogetto1->Click(); }},
    };
    for (const auto& c : commands) {
        Script().Reset();
        Script().AnswerShowModal<TAutoProgetto>([](TAutoProgetto& w) { w.Close(); });
        c.run();
        EXPECT_EQ(Script().ModalForms.size(), 1u) << c.name;
        EXPECT_FALSE(Application->Terminated()) << c.name;
        EXPECT_EQ(Cells(f.CurrentProject->NetworkGrid), cells) << c.name;
        EXPECT_TRUE(f.CurrentProject->Modified) << c.name;
        EXPECT_EQ(f.CurrentProject->Step, 1) << c.name;
    }
}

TEST(MainFormDesign, NextOpensTheComponentsPageAndRunsAChangedDesign) {
    ScopedProgram program;
    TAntenne& f = StartWithHandDrawing(program);
    auto drawn = [&f] { return HandDrawn(*f.CurrentProject); };
    // The wizard, once shown, comes back on its components page, captioned "Fine".
    ConfirmNextStep(f);
    ASSERT_EQ(f.CurrentProject->Step, 2);
    Script().Reset();
    int page = -1;
    Script().AnswerShowModal<TAutoProgetto>([&](TAutoProgetto& w) {
        page = w.VisiblePage();
        EXPECT_EQ(w.BAvanti->Caption.Get(), "Fine");
        EXPECT_TRUE(w.BIndietro->Visible && w.BIndietro->Enabled);
        w.BAvanti->Click();
    });
    f.NextButton->Click();
    EXPECT_EQ(page, WizardComponentsPage);
    // Nothing changed: "<< Indietro" takes the drawing back to drawing.
    EXPECT_EQ(f.CurrentProject->Step, 1);
    EXPECT_EQ(f.NextButton->Caption.Get(), NextCaption);
    EXPECT_TRUE(drawn());

    // A change on a page asks for a design, which asks about the drawing first.
    auto changeAndFinish = [](TAutoProgetto& w) {
        w.BIndietro->Click();
        while (w.VisiblePage() != WizardTypePage) w.BIndietro->Click();
        w.ChoiceClick(w.Choice[ChoiceTerrestre]);
        w.ChoiceClick(w.Choice[ChoiceRete]);
        EXPECT_TRUE(w.Opz().DesignRequested);
        while (w.ModalResult.Get() == mrNone) w.BAvanti->Click();
    };
    Script().Reset();
    Script().AnswerShowModal<TAutoProgetto>(changeAndFinish);
    Script().AnswerMessageBox(IDCANCEL);
    f.NextButton->Click();
    ASSERT_EQ(Script().MessageBoxes.size(), 1u);
    EXPECT_EQ(Script().MessageBoxes[0].Text, "Salvare le modifiche apportate al progetto?");
    EXPECT_TRUE(drawn());
    EXPECT_EQ(f.CurrentProject->Step, 1);

    Script().Reset();
    Script().AnswerShowModal<TAutoProgetto>(changeAndFinish);
    Script().AnswerMessageBox(IDNO);
    f.NextButton->Click();
    EXPECT_EQ(Script().ModalForms.size(), 1u);
    EXPECT_FALSE(drawn());
    EXPECT_EQ(f.CurrentProject->Step, 2);
    EXPECT_FALSE(f.CurrentProject->DesignPending);
}

TEST(MainFormDesign, NewDesignsThroughTheWizard) {
    ScopedProgram program;
    TAntenne& f = StartWithHandDrawing(program);
    Script().AnswerMessageBox(IDNO);
    int page = -1;
    Script().AnswerShowModal<TAutoProgetto>([&](TAutoProgetto& w) {
        page = w.VisiblePage();
        while (w.ModalResult.Get() == mrNone) w.BAvanti->Click();
    });
    f.New1->Click();
    EXPECT_EQ(page, WizardTypePage);
    EXPECT_EQ(Script().ModalForms.size(), 1u);
    EXPECT_FALSE(HandDrawn(*f.CurrentProject));
    EXPECT_EQ(f.CurrentProject->Name, UntitledProjectName);
    EXPECT_EQ(f.Caption.Get(), "Ordivex Varne - [senza nome]");
    EXPECT_EQ(f.CurrentProject->Step, 2);
}

TEST(MainFormDesign, TheToolsMenuOffersTheComponentChoiceOnACalculatedNetwork) {
    const struct {
        const char* name;
        bool calculated, netPage, amplifier, enabled;
    } cases[] = {
        {"drawing", false, true, false, false},
        {"calculated", true, true, false, true},
        {"without the page Rete", true, false, false, false},
        {"an amplifier chooses no model", true, true, true, false},
    };
    for (const auto& c : cases) {
        ScopedProgram program;
        TAntenne& f = program.Start();
        TProgetto& project = *f.CurrentProject;
        DrawTwoTaps(project, !c.amplifier);
        if (c.amplifier) {
            TGridData& grid = *project.NetworkGrid;
            ASSERT_TRUE(grid.InsertCell(
                std::make_unique<TAmplificatore>(&grid, 0, 0, TapColumn, 3, CodeAmplificatoreRegolato, 1, 1),
                false, 0));
            auto terminationOwned = std::make_unique<TChiusura>(&grid, 0, 0, TapColumn, 4, 1);
            auto* termination = terminationOwned.get();
            termination->Described = 1;
            ASSERT_TRUE(grid.InsertCell(std::move(terminationOwned), false, 0));
        }
        if (c.calculated) {
            ConfirmNextStep(f);
            ASSERT_EQ(project.Step, 2) << c.name;
        }
        if (!c.netPage) f.RemovePage(PageRete);
        f.Speciali1->Click();
        EXPECT_EQ(f.DetAutComp1->Enabled.Get(), c.enabled) << c.name;
        EXPECT_TRUE(f.Autoprogetto1->Enabled) << c.name;
    }
}

TEST(MainFormDesign, TheComponentChoiceDescribesTheDrawnNetwork) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    CopyDefaultLibrary(program);
    EndSplash();
    TProgetto& project = *f.CurrentProject;
    DrawTwoTaps(project);
    ConfirmNextStep(f);
    ASSERT_EQ(project.Step, 2);
    // The taps and outlets (the terminations follow their neighbours elsewhere).
    auto forgetModels = [&project] {
        for (TCella* cell = project.NetworkGrid->Anchor->NextCell; cell; cell = cell->NextCell)
            if (cell->TypeCode != CodeTermination) cell->Code = "vecchio";
    };
    forgetModels();
    f.Speciali1->Click();  // the menu opens before its item is chosen
    ASSERT_TRUE(f.DetAutComp1->Enabled);

    // Closed: nothing chosen, nothing said.
    Script().Reset();
    Script().AnswerShowModal<TAutoProgetto>(WizardClosed);
    f.DetAutComp1->Click();
    EXPECT_TRUE(Script().MessageBoxes.empty());
    EXPECT_EQ(project.NetworkGrid->CellAt(TapColumn, TapRow)->Code, "vecchio");

    struct Case {
        int item;               // of the frequency picker
        bool impossibleWindow;  // the band's least signal above its greatest
        const char* message;
        int flags;
    };
    // clang-format off
    const Case cases[] = {
        {2, false,
         "Determinazione componenti con calcolo a 200 MHz completata con successo. Verificare i risultati nelle altre "
         "bande tramite i calcoli di rete.",
         MB_OK | MB_ICONINFORMATION},
        {4, true,
         "La rete non ha una struttura sufficientemente regolare per essere dimensionata automaticamente utilizzando i "
         "componenti selezionati. Verificare i risultati tramite i calcoli di rete.",
         MB_OK | MB_ICONEXCLAMATION},
    };
    // clang-format on
    for (const Case& c : cases) {
        const int band = c.item + 1;
        const float sigMax = Opzioni->limits[band][LimitSigMax];
        if (c.impossibleWindow) Opzioni->limits[band][LimitSigMax] = Opzioni->limits[band][LimitSigMin] - 1;
        forgetModels();
        project.Modified = false;
        Script().Reset();
        Script().AnswerShowModal<TAutoProgetto>([&](TAutoProgetto& w) {
            EXPECT_EQ(w.Caption.Get(), "Ordivex Varne - Selezione automatica dei componenti");
            EXPECT_EQ(w.VisiblePage(), WizardComponentsPage);
            EXPECT_EQ(w.BAvanti->Caption.Get(), "Ok");
            EXPECT_FALSE(w.BIndietro->Visible);
            EXPECT_EQ(w.FrequencyPicker->Items->Count(), FrequencyBands);
            w.FrequencyPicker->ItemIndex = c.item;
            w.BAvanti->Click();
        });
        f.DetAutComp1->Click();
        Opzioni->limits[band][LimitSigMax] = sigMax;
        ASSERT_EQ(Script().MessageBoxes.size(), 1u) << c.item;
        EXPECT_EQ(Script().MessageBoxes[0].Text, c.message);
        EXPECT_EQ(Script().MessageBoxes[0].Flags, c.flags);
        // Every tap and outlet of the line took a model of the library.
        for (TCella* cell = project.NetworkGrid->Anchor->NextCell; cell; cell = cell->NextCell) {
            EXPECT_TRUE(cell->Described) << cell->GetShortCode();
            EXPECT_NE(cell->Code, "vecchio") << cell->GetShortCode();
            EXPECT_FALSE(cell->Code.empty()) << cell->GetShortCode();
        }
        EXPECT_TRUE(f.FindPage(PageCalcoliRete));
        EXPECT_TRUE(project.Modified);
        EXPECT_TRUE(project.NetworkGrid->NetworkOutOfDate);
    }
}

// The component choice on a project just opened, whose designer data the
// wizard has not shown yet: the wizard reloads its controls from them and
// still offers its components page alone, with "Ok" and no way back.
TEST(MainFormDesign, TheComponentChoiceOnAProjectJustOpenedOpensOnItsPage) {
    const struct {
        const char* name;
        bool fromFirstWizard;  // opened from the wizard of the first activation, else by "Apri"
    } cases[] = {
        {"opened from the first wizard", true},
        {"opened by Apri after a component choice", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedProgram program;
        const std::string file = SavedLine(program);
        Script().Reset();
        if (c.fromFirstWizard) {
            Script().AnswerFileDialog(file);
            Script().AnswerShowModal<TAutoProgetto>([](TAutoProgetto& w) { w.Apri1->Click(); });
        }
        TAntenne& f = program.Start({}, true);
        CopyDefaultLibrary(program);
        EndSplash();
        struct Shown {
            int page = -1;
            std::string next;
            bool back = true, projectMenu = true, frequency = false;
        };
        auto chooseComponents = [&f] {
            Shown shown;
            Script().AnswerShowModal<TAutoProgetto>([&shown](TAutoProgetto& w) {
                shown = {w.VisiblePage(), w.BAvanti->Caption.Get(), w.BIndietro->Visible.Get(),
                         w.Progetto->Visible.Get(), w.FrequencyPicker->Visible.Get()};
                w.BAvanti->Click();
            });
            f.Speciali1->Click();
            EXPECT_TRUE(f.DetAutComp1->Enabled);
            f.DetAutComp1->Click();
            return shown;
        };
        if (!c.fromFirstWizard) {
            DrawTwoTaps(*f.CurrentProject);
            ConfirmNextStep(f);
            ASSERT_EQ(f.CurrentProject->Step, 2);
            chooseComponents();
            f.CurrentProject->Modified = false;
            Script().Reset();
            Script().AnswerFileDialog(file);
            f.Open1->Click();
        }
        ASSERT_EQ(f.CurrentProject->Name, file);
        ASSERT_EQ(f.CurrentProject->Step, 2);
        ASSERT_FALSE(f.Wizard->Opz().WizardSynced);
        Script().Reset();
        const Shown shown = chooseComponents();
        EXPECT_EQ(shown.page, WizardComponentsPage);
        EXPECT_EQ(shown.next, "Ok");
        EXPECT_FALSE(shown.back);
        EXPECT_FALSE(shown.projectMenu);
        EXPECT_TRUE(shown.frequency);
        ASSERT_FALSE(Script().MessageBoxes.empty());
        EXPECT_NE(Script().MessageBoxes[0].Text.find("Determinazione componenti"), std::string::npos)
            << Script().MessageBoxes[0].Text;
        // A design afterwards starts again from the type page.
        int page = -1;
        Script().Reset();
        Script().AnswerShowModal<TAutoProgetto>([&page](TAutoProgetto& w) {
            page = w.VisiblePage();
            w.Close();
        });
        f.Autoprogetto1->Click();
        EXPECT_EQ(page, WizardTypePage);
    }
}

// A satellite project designed through the wizard: single cable, package
// "Sky", one staircase of four floors of two flats.
void DesignSatelliteProject(TAntenne& f) {
    Script().Reset();
    Script().AnswerShowModal<TAutoProgetto>([](TAutoProgetto& w) {
        w.Choice[ChoiceSatellitare]->Click();
        w.Choice[ChoiceReteCentrale]->Click();
        w.BAvanti->Click();
        for (const auto& [row, value] : {std::pair{RowFloors, "4"}, std::pair{RowApartments, "2"}}) {
            w.BuildingEdit[row]->UserFocus();
            w.BuildingEdit[row]->SelectAll();
            w.BuildingEdit[row]->InsertTypedText(value);
        }
        w.BAvanti->Click();
        ASSERT_EQ(w.VisiblePage(), WizardPackagesPage);
        if (!w.PackageBox[0]->Checked) w.PackageBox[0]->Click();
        while (w.ModalResult.Get() == mrNone) w.BAvanti->Click();
    });
    f.New1->Click();
}

// What the wizard shows of the settings when the person opens it again
// with "<< Indietro": the satellite rows of its components page and, back
// on its first page, the kind of installation.
struct TWizardShows {
    bool satelliteRiser = false, terrestrialRiser = true, satellite = false, terrestrial = true;
};
TWizardShows ShownByIndietro(TAntenne& f) {
    TWizardShows shown;
    Script().Reset();
    Script().AnswerShowModal<TAutoProgetto>([&shown](TAutoProgetto& w) {
        EXPECT_EQ(w.VisiblePage(), WizardComponentsPage);
        shown.satelliteRiser = w.CableLabel[1]->Enabled;
        shown.terrestrialRiser = w.CableLabel[0]->Enabled;
        while (w.VisiblePage() != WizardTypePage) w.BIndietro->Click();
        shown.satellite = w.Choice[ChoiceSatellitare]->Checked;
        shown.terrestrial = w.Choice[ChoiceTerrestre]->Checked;
        w.Close();
    });
    EXPECT_EQ(f.NextButton->Caption.Get(), BackCaption);
    f.NextButton->Click();
    EXPECT_EQ(Script().ModalForms.size(), 1u);
    return shown;
}

// The wizard closed without a design leaves the drawn project and the
// design settings that belong to it: "Nuovo" (which starts the wizard from
// its defaults) as much as a choice changed on a page. The wizard shown
// again shows the project's settings, and a save writes them.
TEST(MainFormDesign, AWizardClosedWithoutADesignKeepsTheProjectsDesignSettings) {
    auto chooseTerrestrialAndClose = [](TAutoProgetto& w) {
        while (w.VisiblePage() != WizardTypePage) w.BIndietro->Click();
        w.Choice[ChoiceTerrestre]->Click();
        EXPECT_TRUE(w.Opz().Terrestrial && !w.Opz().Satellite);
        w.Close();
    };
    const struct {
        const char* name;
        std::function<void(TAntenne&)> command;
    } cases[] = {
        {"Nuovo, No to saving, wizard closed",
         [](TAntenne& f) {
             Script().AnswerMessageBox(IDNO);
             Script().AnswerShowModal<TAutoProgetto>([](TAutoProgetto& w) {
                 // A new design starts from the defaults: terrestrial.
                 EXPECT_EQ(w.VisiblePage(), WizardTypePage);
                 EXPECT_TRUE(w.Choice[ChoiceTerrestre]->Checked);
                 w.Close();
             });
             f.New1->Click();
             ASSERT_FALSE(Script().MessageBoxes.empty());
             EXPECT_EQ(Script().MessageBoxes[0].Text, "Salvare le modifiche apportate al progetto?");
         }},
        {"Autoprogetto, terrestrial chosen, wizard closed",
         [&](TAntenne& f) {
             Script().AnswerShowModal<TAutoProgetto>(chooseTerrestrialAndClose);
             f.Autoprogetto1->Click();
         }},
        {"<< Indietro, terrestrial chosen, wizard closed",
         [&](TAntenne& f) {
             Script().AnswerShowModal<TAutoProgetto>(chooseTerrestrialAndClose);
             f.NextButton->Click();
         }},
        {"Autoprogetto, terrestrial chosen, Fine, Annulla to saving",
         [](TAntenne& f) {
             Script().AnswerShowModal<TAutoProgetto>([](TAutoProgetto& w) {
                 w.Choice[ChoiceTerrestre]->Click();
                 while (w.ModalResult.Get() == mrNone) w.BAvanti->Click();
             });
             Script().AnswerMessageBox(IDCANCEL);
             f.Autoprogetto1->Click();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedProgram program;
        const std::string file = program.Dir().File("satellite.ant");
        {
            TAntenne& f = program.Start();
            CopyDefaultLibrary(program);
            EndSplash();
            DesignSatelliteProject(f);
            ASSERT_EQ(f.CurrentProject->Step, 2);
            ASSERT_TRUE(f.Wizard->Opz().Satellite && !f.Wizard->Opz().Terrestrial);
            f.CurrentProject->Modified = true;  // as after an edit of the drawing
            const int cells = Cells(f.CurrentProject->NetworkGrid);

            Script().Reset();
            c.command(f);
            EXPECT_EQ(Script().ModalForms.size(), 1u);
            EXPECT_FALSE(Application->Terminated());
            EXPECT_EQ(Cells(f.CurrentProject->NetworkGrid), cells);
            EXPECT_TRUE(f.CurrentProject->Modified);
            EXPECT_TRUE(f.Wizard->Opz().Satellite);
            EXPECT_FALSE(f.Wizard->Opz().Terrestrial);

            const TWizardShows shown = ShownByIndietro(f);
            EXPECT_TRUE(shown.satelliteRiser);
            EXPECT_FALSE(shown.terrestrialRiser);
            EXPECT_TRUE(shown.satellite);
            EXPECT_FALSE(shown.terrestrial);

            Script().Reset();
            Script().AnswerFileDialog(file);
            f.SalvaconNome1->Click();
            ASSERT_TRUE(std::filesystem::exists(file));
            Application->DestroyForms();
        }
        // Reopened, the file's design settings are the satellite project's.
        TAntenne& f = program.Start({file});
        EndSplash();
        ASSERT_EQ(f.CurrentProject->Name, file);
        EXPECT_TRUE(f.Wizard->Opz().Satellite);
        EXPECT_FALSE(f.Wizard->Opz().Terrestrial);
        EXPECT_EQ(f.Wizard->Opz().SatelliteCables, 1);
        EXPECT_EQ(f.Wizard->Opz().Building->Staircases[0].FloorCount, 4);
    }
}

// A staircase of three floors, two flats a floor with two outlets each,
// band III and UHF antennas and the dish on a multiswitch distribution; the
// person goes through to "Fine".
void DesignMultiswitchStaircase(TAutoProgetto& w) { DesignStaircase(w, DefaultLibraryName, 3, 8); }

// The texts of a report line between its tabs, blanks trimmed, empty ones left out.
std::vector<AnsiString> Fields(const AnsiString& line) {
    std::vector<AnsiString> fields;
    size_t from = 0;
    while (from <= line.size()) {
        size_t tab = line.find('\t', from);
        if (tab == AnsiString::npos) tab = line.size();
        AnsiString field = line.substr(from, tab - from);
        while (!field.empty() && field.back() == ' ') field.pop_back();
        while (!field.empty() && field.front() == ' ') field.erase(0, 1);
        if (!field.empty()) fields.push_back(field);
        from = tab + 1;
    }
    return fields;
}

// The printed rows of a document, page by page and top to bottom: the texts
// of each line from left to right, blank ones left out.
std::vector<std::vector<TPaintCall>> PrintedRows(const TPrintedDocument& doc) {
    std::vector<std::vector<TPaintCall>> rows;
    for (const auto& page : doc.Pages) {
        std::map<int, std::vector<TPaintCall>> byY;
        for (const TPaintCall& t : page->CallsOf(TPaintOp::Text))
            if (t.Text.find_first_not_of(' ') != AnsiString::npos) byY[t.Points[0].y].push_back(t);
        for (auto& [y, row] : byY) {
            std::sort(row.begin(), row.end(),
                      [](const TPaintCall& a, const TPaintCall& b) { return a.Points[0].x < b.Points[0].x; });
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<AnsiString> TextsOf(const std::vector<TPaintCall>& row, size_t from = 0) {
    std::vector<AnsiString> texts;
    for (size_t i = from; i < row.size(); ++i) texts.push_back(row[i].Text);
    return texts;
}

// On a designed building, "Calcoli rete richiesti" shows the signals
// admissible at every output of the head-end terminal, band by band, and
// the channel table of "Calcoli canali" every outlet's channels with their
// levels: the figures of the printed tables "Segnali minimi e massimi
// ammessi al terminale di testa" and "Segnali dei canali alle prese".
TEST(MainFormDesign, TheCalculationPagesShowWhatTheTablesPrint) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    CopyDefaultLibrary(program);
    Script().AnswerShowModal<TAutoProgetto>(DesignMultiswitchStaircase);
    f.Autoprogetto1->Click();
    TProgetto& project = *f.CurrentProject;
    ASSERT_EQ(project.Step, 2);
    ASSERT_TRUE(f.FindPage("Calcoli rete richiesti"));
    ASSERT_TRUE(f.FindPage("Calcoli canali"));

    f.SelectPage("Calcoli rete richiesti");
    auto* required = f.ReteRichiestiReport.Report->Lines;
    f.SelectPage("Calcoli canali");
    auto* channels = f.CanaliReport.Report->Lines;

    TPrinter* printer = Printer();
    printer->ClearDocuments();
    Script().AnswerShowModal<TInfoStampaCalcoli>([](TInfoStampaCalcoli& d) {
        for (TCheckBox* box : {d.CMinMaxPrese, d.CSepPrese, d.CCanaliTesta}) box->Checked = false;
        d.CMinMaxTesta->Checked = true;
        d.CCanaliPrese->Checked = true;
        d.BOk->Click();
    });
    Script().AnswerPrintDialog(true);
    f.SCalcoli->Click();
    ASSERT_EQ(printer->Documents().size(), 1u);
    const auto rows = PrintedRows(*printer->Documents()[0]);

    // The head-end terminal's outputs: "Uscita k", its minima, its maxima.
    TCella* terminal = project.NetworkGrid->Anchor;
    ASSERT_NE(terminal, nullptr);
    ASSERT_GT(terminal->NumThroughOutputs, 0);
    std::vector<std::vector<AnsiString>> printedLimits, shownLimits;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i][0].Text.compare(0, 7, "Uscita ") == 0 && i + 1 < rows.size()) {
            printedLimits.push_back({rows[i][0].Text});
            printedLimits.push_back(TextsOf(rows[i], 1));
            printedLimits.push_back(TextsOf(rows[i + 1]));
        }
    for (int i = 0; i < required->Count(); ++i) {
        const std::vector<AnsiString> fields = Fields(required->Strings(i));
        if (fields.empty()) continue;
        if (fields[0].compare(0, 7, "Uscita ") == 0) shownLimits.push_back(fields);
        if (fields[0] == "Minimo" || fields[0] == "Massimo")
            shownLimits.push_back(std::vector<AnsiString>(fields.begin() + 1, fields.end()));
    }
    ASSERT_EQ(printedLimits.size(), 3u * static_cast<size_t>(terminal->NumThroughOutputs));
    EXPECT_EQ(shownLimits, printedLimits);
    EXPECT_EQ(required->Strings(0), HeadEndLimitsTitle);
    // Figures, not only marks: a real level among them.
    bool figure = false;
    for (const auto& row : shownLimits)
        for (const AnsiString& cell : row)
            if (!cell.empty() && std::isdigit(static_cast<unsigned char>(cell[0]))) figure = true;
    EXPECT_TRUE(figure);

    // The channel rows: on paper the outlet's code, then per channel its
    // name, description, signals, C/N and origin; on the page the same
    // under the code followed by ":", the name by ":".
    size_t header = 0;
    while (header < rows.size() && rows[header][0].Text != "Componente") ++header;
    ASSERT_LT(header, rows.size());
    ASSERT_GE(rows[header].size(), 2u);
    const int outletX = rows[header][0].Points[0].x, channelX = rows[header][1].Points[0].x;
    std::vector<std::vector<AnsiString>> printedChannels, shownChannels;
    for (size_t i = header + 1; i < rows.size(); ++i) {
        const auto& row = rows[i];
        if (row[0].Text == "Componente") continue;  // the header of a later page
        // An outlet's code opens its block; the page frame's texts are none.
        const AnsiString& first = row[0].Text;
        const bool code = first.size() > 1 && first[0] == 'P' &&
                          first.find_first_not_of("0123456789", 1) == AnsiString::npos;
        size_t at = 0;
        if (row[0].Points[0].x == outletX && code) printedChannels.push_back({row[at++].Text});
        if (at >= row.size() || row[at].Points[0].x != channelX) continue;
        std::vector<AnsiString> texts;
        for (const AnsiString& t : TextsOf(row, at))
            if (!t.empty()) texts.push_back(t);
        printedChannels.push_back(texts);
    }
    ASSERT_GE(channels->Count(), 1);
    EXPECT_EQ(channels->Strings(0), ChannelRowsHeader);
    for (int i = 1; i < channels->Count(); ++i) {
        std::vector<AnsiString> fields = Fields(channels->Strings(i));
        if (fields.empty()) continue;
        if (channels->Strings(i)[0] != '\t') {
            AnsiString code = fields[0];
            ASSERT_EQ(code.back(), ':') << channels->Strings(i);
            code.pop_back();
            shownChannels.push_back({code});
            fields.erase(fields.begin());
        }
        if (!fields.empty() && fields[0].back() == ':') fields[0].pop_back();
        if (!fields.empty()) shownChannels.push_back(fields);
    }
    int outlets = 0;
    for (TCella* o = project.NetworkGrid->FirstOutlet; o; o = o->NextOutlet) ++outlets;
    ASSERT_GT(outlets, 0);
    EXPECT_GT(shownChannels.size(), 2u * static_cast<size_t>(outlets));
    // Row by row, so that a difference names its row.
    for (size_t i = 0; i < std::min(shownChannels.size(), printedChannels.size()); ++i)
        ASSERT_EQ(shownChannels[i], printedChannels[i]) << "row " << i;
    EXPECT_EQ(shownChannels.size(), printedChannels.size());
    printer->ClearDocuments();
}

}  // namespace

// A project named on the command line brings its designer data: the engine
// made at start-up takes them, and the wizard shows them.
TEST(MainFormDesign, AProjectOnTheCommandLineKeepsItsDesignerData) {
    ScopedProgram program;
    const std::string file = program.Dir().File("antenna.ant");
    {
        TAntenne& f = program.Start();
        TOpzProgetto& o = DesignSettings();
        o.DesignHeadEnd = true;
        o.Antennas[0].Library = "Varne";
        o.Antennas[0].Code = "GAN-UHF";
        ASSERT_EQ(f.SaveProject(file, *f.CurrentProject, ProjectVersionCurrent), 0);
        Application->DestroyForms();
    }
    TAntenne& f = program.Start({file});
    EndSplash();
    ASSERT_NE(f.Wizard, nullptr);
    const TOpzProgetto& o = f.Wizard->Opz();
    EXPECT_TRUE(o.DesignHeadEnd);
    EXPECT_EQ(o.Antennas[0].Library, "Varne");
    EXPECT_EQ(o.Antennas[0].Code, "GAN-UHF");
    EXPECT_EQ(&o, CreaAuto->Settings.get());
}
