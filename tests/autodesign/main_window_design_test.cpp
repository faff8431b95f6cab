// The main window's design commands: "Autoprogetto" runs the wizard and the
// engine on the current project, asks before replacing a modified one, and a
// wizard closed without a design ends the program only at the first start.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/main_form.h"
#include "app/grid.h"
#include "app/project.h"
#include "cells/cell.h"
#include "autodesign/engine.h"
#include "autodesign/wizard.h"
#include "platform/application.h"
#include "support/default_library_folder.h"
#include "support/program_fixture.h"

namespace {

TScript& Script() { return Application->Script(); }

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
    // The library and default choice the build makes, in the program's folder.
    for (const char* name : {"Varne.alb", "Default.sel"})
        std::filesystem::copy_file(DefaultLibraryFolder() + "/" + name, program.Dir().File(name),
                                   std::filesystem::copy_options::overwrite_existing);
    ASSERT_NE(CreaAuto, nullptr);
    ASSERT_NE(f.Wizard, nullptr);
    EXPECT_EQ(f.Wizard->Settings, CreaAuto->Settings.get());
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

TEST(MainFormDesign, ClosingTheWizardEndsTheProgramOnlyAtTheFirstStart) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    DrawTwoTaps(*f.CurrentProject);
    f.CurrentProject->Modified = true;
    const int cells = Cells(f.CurrentProject->NetworkGrid);
    Script().AnswerShowModal<TAutoProgetto>(WizardClosed);
    f.RunAutoDesignWizard(true);
    EXPECT_FALSE(Application->Terminated());
    EXPECT_EQ(Cells(f.CurrentProject->NetworkGrid), cells);
}

}  // namespace
