// The program started headless: the first-run settings, the main window
// with its pages, the splash, the installer's line, the command-line
// project, page navigation, the step toggle and closing.
#include "app/main_form.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/about_box.h"
#include "app/estimate_page.h"
#include "app/mast_page.h"
#include "app/program.h"
#include "autodesign/wizard.h"
#include "cells/outlets.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/libraries.h"
#include "core/options.h"
#include "cells/component_data.h"
#include "dialogs/customer_data.h"
#include "dialogs/installer_data.h"
#include "document/copy_data.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/project_files.h"
#include "document/report_pages.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/utf8.h"
#include "printing/documents.h"
#include "support/program_fixture.h"
#include "view/draw_window.h"

namespace {

std::vector<AnsiString> Tabs(const TAntenne& form) {
    std::vector<AnsiString> tabs;
    for (int i = 0; i < form.TabControl->Tabs->Count(); ++i)
        tabs.push_back(form.TabControl->Tabs->Strings(i));
    return tabs;
}

using Captions = std::vector<AnsiString>;

// ---------------------------------------------------------------- first run and settings

TEST(ProgramStart, AnEmptySettingsFileGetsTheStateOfAFirstRun) {
    ScopedProgram program;
    program.Start();
    EXPECT_EQ(program.Stored("Done"), "1");
    EXPECT_EQ(program.Stored("SigMin3"), "65");
    EXPECT_EQ(program.Stored("ValutaP"), "1");
    EXPECT_EQ(program.Stored("CostoM"), "0");
    EXPECT_EQ(Opzioni->currencyFactors[CurrencyEuro][CurrencyLire], 1936.27f);
    for (const char* on :
         {"HBAttenuazioni", "HBSegnaliLimite", "HBCanaliGenerati", "HBCanaliDistribuiti", "BarraComponenti"})
        EXPECT_EQ(program.Stored(on), "1") << on;
    // The start turns these off again, whatever the first run wrote.
    for (const char* off :
         {"HBInformazioni", "CaviND", "ComponentiND", "ComponentiCND", "PannelloCodici", "BarraStrumenti"})
        EXPECT_EQ(program.Stored(off), "0") << off;
}

TEST(ProgramStart, ALaterStartKeepsTheStoredOptions) {
    ScopedProgram program;
    program.Store("Done", "1");
    program.Store("SigMin3", "60");
    program.Store("PannelloCodici", "1");
    program.Start();
    EXPECT_EQ(program.Stored("SigMin3"), "60");
    EXPECT_EQ(Opzioni->limits[3][LimitSigMin], 60.0f);
    EXPECT_EQ(program.Stored("PannelloCodici"), "0");
    EXPECT_FALSE(Opzioni->showCodesPanel);
    EXPECT_EQ(program.Stored("BarraComponenti"), "");
}

TEST(ProgramStart, TheSquareSizeIsAZoomStep) {
    const struct {
        const char* stored;
        int size;
    } cases[] = {{"0", 42}, {"7", 42}, {"100", 42}, {"abc", 42}, {"15", 15}, {"21", 21}};
    for (const auto& c : cases) {
        ScopedProgram program;
        program.Store("Done", "1");
        program.Store("DGWidth", c.stored);
        TAntenne& form = program.Start();
        EXPECT_EQ(form.DrawWindow->DefaultColWidth.Get(), c.size) << c.stored;
        EXPECT_EQ(form.DrawWindow->DefaultRowHeight.Get(), c.size) << c.stored;
    }
}

// ---------------------------------------------------------------- the main window at start

TEST(ProgramStart, TheMainWindowShowsTheUntitledNetworkGrid) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    EXPECT_EQ(form.Caption.Get(), "Ordivex Varne - [senza nome]");
    EXPECT_EQ(Tabs(form), (Captions{"Rete", "Testa", "Sostegno", "Fulmini 81.1", "Fulmini 81.10-2"}));
    EXPECT_TRUE(form.IsPageSelected("Rete"));
    EXPECT_TRUE(form.DrawWindow->Visible);
    ASSERT_EQ(form.DrawWindow->Grid(), form.CurrentProject->NetworkGrid);
    EXPECT_EQ(form.DrawWindow->LeftCol.Get(),
              form.CurrentProject->NetworkGrid->Columns / 2 - form.DrawWindow->VisibleColCount() / 2);
    EXPECT_EQ(form.DrawWindow->TopRow.Get(), 0);
    EXPECT_NE(form.CurrentProject->NetworkGrid->Anchor, nullptr);
    EXPECT_EQ(form.NextButton->Caption.Get(), "Avanti >>");
    // No firm stored: the installer panel holds one blank.
    EXPECT_EQ(form.StatusBar->Panels->Items[1]->Text.Get(), " ");
    EXPECT_EQ(form.HeaderText, " ");
    EXPECT_TRUE(Application->Script().MessageBoxes.empty());
    EXPECT_EQ(Application->Title, "Ordivex Varne");
    // The forms the window works with are bound to it.
    EXPECT_TRUE(static_cast<bool>(form.EstimatePage->ShowPriceList));
    EXPECT_EQ(form.MastPage->DatiAutSost, DatiAutSost);
    // The copy-data form is made with the others, after the customer-data form.
    ASSERT_NE(FCopiaDati, nullptr);
    int customer = -1, copyData = -1;
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        if (Application->Components(i) == DatiCommittente) customer = i;
        if (Application->Components(i) == FCopiaDati) copyData = i;
    }
    EXPECT_EQ(copyData, customer + 1);
    // The estimate's cursor stands on its first row's quantity (the untitled
    // project shown at the end of the start places it), which an empty
    // estimate makes the trailing row: placed there, it asked for no price list.
    EXPECT_EQ(form.EstimatePage->GridPreventivo->Col, 6);
    EXPECT_EQ(form.EstimatePage->GridPreventivo->Row, 1);
    EXPECT_TRUE(Application->Script().ModalForms.empty());
}

TEST(ProgramStart, TheLayoutPutsTheButtonOverTheStatusBar) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    const int width = form.ClientWidth;
    EXPECT_EQ(form.StatusBar->Top + form.StatusBar->Height, form.ClientHeight.Get());
    EXPECT_EQ(form.StatusBar->Width.Get(), width);
    EXPECT_EQ(form.NextButton->Left + form.NextButton->Width, width);
    EXPECT_EQ(form.NextButton->Top.Get(), form.StatusBar->Top + 2);
    EXPECT_EQ(form.StatusBar->Panels->Items[0]->Width.Get(), 80);
    EXPECT_EQ(form.StatusBar->Panels->Items[2]->Width.Get(), 40);
    EXPECT_EQ(form.StatusBar->Panels->Items[1]->Width.Get(), width - form.NextButton->Width - 124);
    EXPECT_EQ(form.TabControl->Height.Get(), form.StatusBar->Top + 2);
    // Whole squares, inside the tab control's page area.
    const int square = form.DrawWindow->DefaultColWidth;
    EXPECT_EQ(form.DrawWindow->ClientWidth % square, 0);
    EXPECT_EQ(form.DrawWindow->ClientHeight % square, 0);
    const TRect display = form.TabControl->DisplayRect();
    EXPECT_GE(form.DrawWindow->Left.Get(), display.Left);
    EXPECT_LE(form.DrawWindow->Left + form.DrawWindow->Width, display.Right);
    EXPECT_GT(form.DrawWindow->ClientWidth.Get(), 0);
}

TEST(ProgramStart, TheInstallerLineGoesToTheStatusBar) {
    ScopedProgram program;
    for (auto [name, value] : {std::pair{"IDitta1", "F"},
                               {"IVia1", "A"},
                               {"ICitta1", "T"},
                               {"ITel1", "1"},
                               {"IFax1", "2"},
                               {"INCCIAA1", "99"}})
        program.Store(name, value);
    TAntenne& form = program.Start();
    EXPECT_EQ(form.StatusBar->Panels->Items[1]->Text.Get(), "F - A - T - Tel. 1 Fax 2");
    EXPECT_EQ(DatiIntestazione->ENCCIAA->Text.Get(), "99");
}

// A firm alone keeps the separators of the address and the town, on the
// status bar and in the footer of every printed page.
TEST(ProgramStart, TheInstallerLineOfAFirmAloneKeepsItsSeparators) {
    ScopedProgram program;
    program.Store("IDitta1", "Antenne Bianchi");
    TAntenne& form = program.Start();
    EXPECT_EQ(form.StatusBar->Panels->Items[1]->Text.Get(), "Antenne Bianchi -  - ");
    EXPECT_EQ(form.Printing().InstallerHeader(), "Antenne Bianchi -  - ");
}

TEST(ProgramStart, TheSplashStaysForThreeTicks) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    EXPECT_TRUE(AboutBox->Visible);
    EXPECT_TRUE(form.Timer->Enabled);
    Application->Script().AdvanceClock(2000);
    EXPECT_TRUE(AboutBox->Visible);
    Application->Script().AdvanceClock(1000);
    EXPECT_FALSE(AboutBox->Visible);
    EXPECT_FALSE(form.Timer->Enabled);
    EXPECT_EQ(form.TickCounter, 3);
}

TEST(ProgramStart, TheDefaultLibraryIsRegisteredWhenItIsThere) {
    {
        ScopedProgram program;
        program.Start();
        ASSERT_NE(Librerie->Find("varne"), nullptr);
        EXPECT_EQ(Librerie->Find("varne")->fileName, program.Dir().File("Varne.alb"));
        EXPECT_TRUE(Application->Script().MessageBoxes.empty());
    }
    ScopedProgram program(false);
    TAntenne& form = program.Start();
    EXPECT_EQ(Librerie->head, nullptr);
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
    const TMessageBoxCall& box = Application->Script().MessageBoxes[0];
    EXPECT_EQ(box.Text, "La libreria predefinita " + program.Dir().File("Varne.alb") +
                            " non è stata trovata: l'elenco delle librerie è vuoto.");
    EXPECT_EQ(box.Caption, "Ordivex Varne");
    EXPECT_EQ(box.Flags, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_TRUE(form.Visible);
}

// ---------------------------------------------------------------- the command line

TEST(ProgramStart, TheCommandLineFileIsOneNameWithoutItsQuotes) {
    const struct {
        std::vector<const char*> args;
        const char* name;
    } cases[] = {
        {{"p"}, ""},
        {{"p", "a.ant"}, "a.ant"},
        {{"p", "\"a", "b.ant\""}, "a b.ant"},
        {{"p", "\"a b.ant\""}, "a b.ant"},
        {{"p", "a", "b.ant"}, "a b.ant"},
    };
    for (const auto& c : cases) {
        TApplication app;
        app.SetCommandLine(static_cast<int>(c.args.size()), c.args.data());
        EXPECT_EQ(CommandLineFileName(app), c.name);
    }
}

TEST(ProgramStart, AProjectOnTheCommandLineIsShownAndCalculated) {
    std::string bytes;
    {
        ScopedProgram writer;
        TAntenne& form = writer.Start();
        DrawTwoTaps(*form.CurrentProject);
        const AnsiString file = writer.Dir().File("due prese.ant");
        ASSERT_EQ(form.SaveProject(file, *form.CurrentProject, ProjectVersionCurrent), 0);
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    ScopedProgram program;
    const std::string copy = program.Dir().File("due prese.ant");
    std::ofstream(copy, std::ios::binary) << bytes;
    // The name arrives split at its blank and quoted.
    TAntenne& form = program.Start({"\"" + copy.substr(0, copy.find("prese") - 1), "prese.ant\""});
    EXPECT_EQ(CommandLineFile, copy);
    EXPECT_EQ(form.Caption.Get(), "Ordivex Varne - [" + copy + "]");
    EXPECT_EQ(form.CurrentProject->Step, 2);
    EXPECT_EQ(form.NextButton->Caption.Get(), "<< Indietro");
    EXPECT_TRUE(form.FindPage("Calcoli rete"));
    EXPECT_TRUE(Application->Script().MessageBoxes.empty());
}

TEST(ProgramStart, ACommandLineFileThatDoesNotLoadLeavesTheUntitledProject) {
    ScopedProgram program;
    const std::string missing = program.Dir().File("nessuno.ant");
    TAntenne& form = program.Start({missing});
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
    EXPECT_EQ(Application->Script().MessageBoxes[0].Text, "Il file " + missing + " è inesistente.");
    EXPECT_EQ(form.Caption.Get(), "Ordivex Varne - [senza nome]");
    EXPECT_EQ(form.CurrentProject->Step, 1);
    EXPECT_EQ(form.NextButton->Caption.Get(), "Avanti >>");
}

// ---------------------------------------------------------------- pages

TEST(MainFormPages, TabsStandInTheirOrder) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    form.TabControl->Tabs->Clear();
    for (const char* page : {"Rete", "Testa", "Calcoli rete", "Preventivo"}) form.AddPage(page);
    form.AddPage("Calcoli canali");
    EXPECT_EQ(Tabs(form), (Captions{"Rete", "Testa", "Calcoli rete", "Calcoli canali", "Preventivo"}));
    form.AddPage("Calcoli canali");
    EXPECT_EQ(Tabs(form), (Captions{"Rete", "Testa", "Calcoli rete", "Calcoli canali", "Preventivo"}));
    EXPECT_TRUE(ReportPages().FindPage("Calcoli canali"));
    EXPECT_EQ(TAntenne::PageOrder("Altro"), 0);
    EXPECT_EQ(TAntenne::PageOrder("Fulmini 81.10-2"), 9);
}

TEST(MainFormPages, RemovingTheSelectedTabShowsTheFirst) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    form.SelectPage("Sostegno");
    EXPECT_TRUE(form.MastPage->Visible);
    EXPECT_FALSE(form.DrawWindow->Visible);
    EXPECT_FALSE(form.NextButton->Enabled);
    form.RemovePage("Testa");
    EXPECT_TRUE(form.IsPageSelected("Sostegno"));
    form.RemovePage("Sostegno");
    EXPECT_TRUE(form.IsPageSelected("Rete"));
    EXPECT_TRUE(form.DrawWindow->Visible);
    EXPECT_FALSE(form.MastPage->Visible);
    EXPECT_TRUE(form.NextButton->Enabled);
    form.RemovePage("Nessuna");
    EXPECT_EQ(Tabs(form), (Captions{"Rete", "Fulmini 81.1", "Fulmini 81.10-2"}));
}

TEST(MainFormPages, ReteToTestaSwapsOnlyTheGrid) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    const TRect bounds = form.DrawWindow->BoundsRect();
    form.SelectPage("Testa");
    EXPECT_EQ(form.DrawWindow->Grid(), form.CurrentProject->HeadEndGrid);
    EXPECT_TRUE(form.DrawWindow->Visible);
    EXPECT_EQ(form.DrawWindow->BoundsRect(), bounds);
    // The person's click on a tab goes the same way.
    form.TabControl->SelectByUser(0);
    EXPECT_EQ(form.DrawWindow->Grid(), form.CurrentProject->NetworkGrid);
}

TEST(MainFormPages, CalculationPagesRunOnlyWhenOutOfDate) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    TProgetto& project = *form.CurrentProject;
    DrawTwoTaps(project);
    ConfirmNextStep(form);
    ASSERT_EQ(project.Step, 2);
    EXPECT_EQ(Tabs(form), (Captions{"Rete", "Calcoli rete", "Calcoli rete richiesti", "Preventivo",
                                    "Sostegno", "Fulmini 81.1", "Fulmini 81.10-2"}));
    form.SelectPage("Calcoli rete");
    EXPECT_TRUE(form.ReteReport.Panel->Visible);
    EXPECT_FALSE(form.DrawWindow->Visible);
    EXPECT_FALSE(project.NetworkGrid->NetworkOutOfDate);
    const AnsiString report = form.ReteReport.Report->Text;
    EXPECT_FALSE(report.empty());
    EXPECT_EQ(form.ReportSeparatorText, AnsiString(204, '-'));
    form.ReteReport.Report->Text = "non ricalcolato";
    form.SelectPage("Rete");
    form.SelectPage("Calcoli rete");
    EXPECT_EQ(form.ReteReport.Report->Text.Get(), "non ricalcolato");
    project.NetworkGrid->SetModified(ModAll);
    form.SelectPage("Calcoli rete");
    EXPECT_EQ(form.ReteReport.Report->Text.Get(), report);
}

// The band heading over the report and every band row of the report stand in
// one set of columns, whatever the width of a row's label ("Alla presa" is
// wider than a default tab stop).
TEST(MainFormPages, TheNetworkReportRowsStandUnderTheBandHeading) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    DrawTwoTaps(*form.CurrentProject);
    ConfirmNextStep(form);
    ASSERT_EQ(form.CurrentProject->Step, 2);
    form.SelectPage("Calcoli rete");
    TRichEdit* header = form.ReteReport.Header;
    TRichEdit* report = form.ReteReport.Report;
    ASSERT_GE(header->Lines->Count(), 1);
    const int column = header->PosFromChar(utf8::Length("Banda\t \t")).x;
    int start = 0, rows = 0;
    for (int i = 0; i < report->Lines->Count(); ++i) {
        const std::string text = report->Lines->Strings(i);
        for (const char* label :
             {"Att. Min.", "Alla presa", "Att. Max.", "Differenza", "Minimo", "Presa P1"}) {
            if (text.rfind(label, 0) != 0) continue;
            const size_t first = text.find_first_not_of('\t', text.find('\t'));
            EXPECT_EQ(report->PosFromChar(start + static_cast<int>(utf8::Length(text.substr(0, first)))).x,
                      column)
                << text;
            ++rows;
        }
        start += static_cast<int>(utf8::Length(text)) + 2;  // lines end in CR LF
    }
    EXPECT_GE(rows, 6);
}

TEST(MainFormPages, WhileTheNetworkReportRunsTheCommandsAreOff) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    DrawTwoTaps(*form.CurrentProject);
    ConfirmNextStep(form);
    bool seenOff = false;
    bool tabClickRan = false;
    Application->Script().AtProcessMessages([&] {
        seenOff = !form.TabControl->Enabled && !form.NextButton->Enabled && !form.DrawWindow->Enabled &&
                  !form.File1->Enabled && form.ProgressPanel->Visible;
        // A click on a tab while the report runs does nothing.
        if (form.TabControl->Enabled) {
            form.TabControl->SelectByUser(0);
            tabClickRan = true;
        }
    });
    form.SelectPage("Calcoli rete");
    EXPECT_TRUE(seenOff);
    EXPECT_FALSE(tabClickRan);
    EXPECT_TRUE(form.IsPageSelected("Calcoli rete"));
    EXPECT_TRUE(form.TabControl->Enabled);
    EXPECT_TRUE(form.NextButton->Enabled);
    EXPECT_TRUE(form.DrawWindow->Enabled);
    EXPECT_TRUE(form.File1->Enabled);
    EXPECT_FALSE(form.ProgressPanel->Visible);
}

TEST(MainFormPages, ChannelPagesNeedADescribedNetwork) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    TProgetto& project = *form.CurrentProject;
    DrawTwoTaps(project);
    // One undescribed outlet: the network is not described, the head end is.
    project.NetworkGrid->CellAt(38, 2)->Described = 0;
    ASSERT_TRUE(project.AnalyseGrids());
    project.Step = 2;
    form.UpdateCalculationPages();
    EXPECT_FALSE(form.FindPage("Calcoli canali"));
    EXPECT_FALSE(form.FindPage("Calcoli rete"));
    project.NetworkGrid->CellAt(38, 2)->Described = 1;
    form.UpdateCalculationPages();
    EXPECT_TRUE(form.FindPage("Calcoli canali"));
    EXPECT_TRUE(form.FindPage("Calcoli canali richiesti"));
    form.SelectPage("Calcoli canali");
    EXPECT_FALSE(project.NetworkGrid->ChannelsOutOfDate);
    EXPECT_FALSE(project.HeadEndGrid->ChannelsOutOfDate);
}

// ---------------------------------------------------------------- drawing and calculating

TEST(MainFormSteps, NextAndBackMoveTheProjectBetweenDrawingAndCalculating) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    TProgetto& project = *form.CurrentProject;
    DrawTwoTaps(project);
    ConfirmNextStep(form);
    EXPECT_EQ(project.Step, 2);
    EXPECT_EQ(form.NextButton->Caption.Get(), "<< Indietro");
    EXPECT_FALSE(form.FindPage("Testa"));  // the head end holds only its terminal
    form.AfterLoad();
    EXPECT_EQ(project.Step, 2);
    EXPECT_TRUE(Application->Script().MessageBoxes.empty());
    form.SelectPage("Preventivo");
    form.EstimatePage->GridPreventivo->Selection = TGridRect{0, 2, 0, 2};

    ConfirmNextStep(form);
    EXPECT_EQ(project.Step, 1);
    // The estimate's cursor is back on the first row's quantity, with no price list asked.
    EXPECT_EQ(form.EstimatePage->GridPreventivo->Col, 6);
    EXPECT_EQ(form.EstimatePage->GridPreventivo->Row, 1);
    for (const TShowModalCall& call : Application->Script().ModalForms)
        EXPECT_EQ(call.Type, std::type_index(typeid(TAutoProgetto))) << call.Caption;
    EXPECT_EQ(form.NextButton->Caption.Get(), "Avanti >>");
    EXPECT_EQ(Tabs(form), (Captions{"Rete", "Testa", "Sostegno", "Fulmini 81.1", "Fulmini 81.10-2"}));
    EXPECT_TRUE(form.IsPageSelected("Rete"));
}

// The last component described on the calculating step brings the
// calculation and estimate pages, as the next step would.
TEST(MainFormSteps, DescribingTheLastComponentBringsTheCalculationPages) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    TProgetto& project = *form.CurrentProject;
    DrawTwoTaps(project);
    project.NetworkGrid->CellAt(38, 2)->Described = 0;
    ConfirmNextStep(form);
    ASSERT_EQ(project.Step, 2);
    EXPECT_FALSE(form.FindPage("Calcoli rete"));
    EXPECT_FALSE(form.FindPage("Preventivo"));

    form.SelectPage("Rete");
    form.DrawWindow->LeftCol = 30;
    form.DrawWindow->TopRow = 0;
    Application->Script().AnswerShowModal<TDatiComponenti>([](TDatiComponenti& d) { d.ModalResult = 1; });
    const TRect square = form.DrawWindow->CellRect(38, 2);
    form.DrawWindow->DoubleClickAt((square.Left + square.Right) / 2, (square.Top + square.Bottom) / 2);
    ASSERT_EQ(project.NetworkGrid->CellAt(38, 2)->Described, 1);
    EXPECT_TRUE(form.FindPage("Calcoli rete"));
    EXPECT_TRUE(form.FindPage("Calcoli rete richiesti"));
    EXPECT_TRUE(form.FindPage("Preventivo"));
    EXPECT_TRUE(form.IsPageSelected("Rete"));
}

TEST(MainFormSteps, AnUnsoundDrawingShowsWhereItIsBroken) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    TProgetto& project = *form.CurrentProject;
    DrawTwoTaps(project, false);
    form.SelectPage("Testa");
    ConfirmNextStep(form);
    EXPECT_EQ(project.Step, 1);
    EXPECT_EQ(form.NextButton->Caption.Get(), "Avanti >>");
    EXPECT_TRUE(form.IsPageSelected("Rete"));
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
    const TMessageBoxCall& box = Application->Script().MessageBoxes[0];
    EXPECT_EQ(box.Text, "Esiste una interruzione nella cella marcata con 'Err'.");
    EXPECT_EQ(box.Caption, "Ordivex Varne");
    EXPECT_EQ(box.Flags, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_NE(project.NetworkGrid->ErrorMark(37, 3), 0);
    const int left = form.DrawWindow->LeftCol;
    EXPECT_LE(left, 37);
    EXPECT_LT(37, left + form.DrawWindow->VisibleColCount());
}

TEST(MainFormSteps, TheCircuitErrorScrollsTheMarkedSquareIntoView) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    TGridData* grid = form.CurrentProject->NetworkGrid;
    form.DrawWindow->LeftCol = 0;
    form.DrawWindow->TopRow = 0;
    const int visible = form.DrawWindow->VisibleColCount();
    form.ShowCircuitError(70, 60, 4, grid, 3);
    EXPECT_NE(grid->ErrorMark(70, 60), 0);
    EXPECT_EQ(form.DrawWindow->LeftCol.Get(), std::min(70 - visible / 2, grid->Columns - visible));
    EXPECT_LE(form.DrawWindow->TopRow.Get(), 60);
    EXPECT_EQ(Application->Script().MessageBoxes.back().Text,
              "Un segnale entra nella cella marcata con 'Err' da un punto che non è un ingresso.");
    Application->Script().MessageBoxes.clear();
    form.ShowCircuitError(1, 1, 4, grid, 0);
    EXPECT_TRUE(Application->Script().MessageBoxes.empty());
}

// ---------------------------------------------------------------- closing

TEST(MainFormClosing, AModifiedProjectAsksBeforeClosing) {
    ScopedProgram program;
    TAntenne& form = program.Start();
    DrawTwoTaps(*form.CurrentProject);
    form.CurrentProject->Modified = true;
    Application->Script().AnswerMessageBox(IDCANCEL);
    form.Esci1Click(nullptr);
    EXPECT_FALSE(Application->Terminated());
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
    EXPECT_EQ(Application->Script().MessageBoxes[0].Text, "Salvare le modifiche apportate al progetto?");
    Application->Script().AnswerMessageBox(IDNO);
    form.Esci1Click(nullptr);
    EXPECT_TRUE(Application->Terminated());
    // The project with its cells goes before the program-wide objects.
    Application->DestroyForms();
    EXPECT_EQ(Opzioni, nullptr);
    EXPECT_EQ(Antenne, nullptr);
}

// ---------------------------------------------------------------- installer data

TEST(InstallerData, PersonalizzazioneUpdatesTheStatusBar) {
    ScopedProgram program;
    program.Store("INCCIAA1", "123");
    TAntenne& form = program.Start();
    Application->Script().AnswerShowModal<TDatiIntestazione>([](TDatiIntestazione& f) {
        EXPECT_TRUE(f.GroupConformita->Visible);
        f.EDitta->Text = "Antenne Rossi";
        f.EVia->Text = "Via Roma 1";
        f.ECitta->Text = "Torino";
        f.ENCCIAA->Text = "TO-4711";
        f.EPIva->Text = "01234567890";
        f.BOk->Click();
    });
    form.Personalizzazione->Click();
    EXPECT_EQ(form.StatusBar->Panels->Items[1]->Text.Get(), "Antenne Rossi - Via Roma 1 - Torino");
    EXPECT_EQ(program.Stored("IDitta1"), "Antenne Rossi");
    EXPECT_EQ(program.Stored("INCCIAA1"), "TO-4711");
    // The declaration prints what was typed.
    const TLetterhead head = form.Printing().Letterhead();
    EXPECT_EQ(head.ChamberNumber, "TO-4711");
    EXPECT_EQ(head.VatNumber, "01234567890");
}

}  // namespace
