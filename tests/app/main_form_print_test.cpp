// The main window's print items headless: their states as the print menu
// opens, and what each command prints after the print dialog.
#include <gtest/gtest.h>

#include "app/main_form.h"
#include "document/estimate.h"
#include "document/grid.h"
#include "document/mast.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/engines.h"
#include "platform/printers.h"
#include "printing/calc_print_options.h"
#include "support/program_fixture.h"
#include "view/draw_window.h"

namespace {

bool Printed(const TPrintedDocument& doc, const AnsiString& text) {
    for (const auto& page : doc.Pages)
        for (const AnsiString& t : page->Texts())
            if (t == text) return true;
    return false;
}

TEST(MainFormPrint, ItemsFollowPagesStepAndSelection) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TProgetto& project = *f.CurrentProject;
    auto open = [&] { f.Stampa2->Click(); };
    struct State {
        bool rete, testa, listRete, listTesta, tutto, area, preventivo, calcoli;
    };
    auto check = [&](const State& s, const char* when) {
        SCOPED_TRACE(when);
        EXPECT_EQ(f.SRete->Enabled.Get(), s.rete);
        EXPECT_EQ(f.STesta->Enabled.Get(), s.testa);
        EXPECT_EQ(f.SElencoRete->Enabled.Get(), s.listRete);
        EXPECT_EQ(f.SElenco->Enabled.Get(), s.listTesta);
        EXPECT_EQ(f.STutto->Enabled.Get(), s.tutto);
        EXPECT_EQ(f.SArea->Enabled.Get(), s.area);
        EXPECT_EQ(f.SPreventivo->Enabled.Get(), s.preventivo);
        EXPECT_EQ(f.SCapitolato->Enabled.Get(), s.preventivo);
        EXPECT_TRUE(f.SCapitolato->Visible);
        EXPECT_EQ(f.SCalcoli->Enabled.Get(), s.calcoli);
    };
    open();
    check({true, true, false, false, false, false, false, false}, "step 1, one square selected");
    f.DrawWindow->Selection = TGridRect{30, 5, 32, 7};
    open();
    check({true, true, false, false, false, true, false, false}, "step 1, a block selected");

    DrawTwoTaps(project);
    ConfirmNextStep(f);
    ASSERT_EQ(project.Step, 2);
    f.DrawWindow->Selection = TGridRect{30, 5, 30, 5};
    open();
    // The head end holds no component: its page went.
    check({true, false, true, false, true, false, true, true}, "step 2");
    EXPECT_TRUE(f.FindPage("Preventivo"));
}

TEST(MainFormPrint, CommandsPrintAfterTheDialog) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TProgetto& project = *f.CurrentProject;
    DrawTwoTaps(project);
    ConfirmNextStep(f);
    ASSERT_EQ(project.Step, 2);
    TPrinter* printer = Printer();
    printer->ClearDocuments();

    struct Case {
        TMenuItem* item;
        const char* text;
    };
    // clang-format off
    const Case cases[] = {
        {f.SRete, "Ordivex Varne - File senza nome"},
        {f.SElencoRete, "Tipologia del materiale della rete"},
        {f.STutto, "Tipologia del materiale della rete"},
        {f.SPreventivo, "Preventivo di spesa"},
        {f.SCapitolato, "Capitolato"},
    };
    // clang-format on
    for (const Case& c : cases) {
        printer->ClearDocuments();
        Application->Script().AnswerPrintDialog(false);
        c.item->Click();
        EXPECT_TRUE(printer->Documents().empty()) << c.item->Caption.Get();
        Application->Script().AnswerPrintDialog(true);
        c.item->Click();
        ASSERT_EQ(printer->Documents().size(), 1u) << c.item->Caption.Get();
        EXPECT_TRUE(Printed(*printer->Documents()[0], c.text)) << c.item->Caption.Get();
    }
    // "&Preventivo" rebuilt the estimate from the drawing before printing.
    EXPECT_GT(project.Estimate->Count(), 1);
    printer->ClearDocuments();
}

// The reports: the mast report once the mast has data, the lightning report
// always; each printed after the print dialog in a job of its own.
TEST(MainFormPrint, ReportItemsFollowTheProjectsData) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TProgetto& project = *f.CurrentProject;
    f.Stampa2->Click();
    EXPECT_TRUE(f.SRelazioneSostegno->Visible && f.SRelazioneScariche->Visible);
    EXPECT_FALSE(f.SRelazioneSostegno->Enabled);
    EXPECT_TRUE(f.SRelazioneScariche->Enabled);
    project.Mast->Sections[0] = TTroncoPalo{48, 2, 3, LevelNone};
    f.Stampa2->Click();
    EXPECT_TRUE(f.SRelazioneSostegno->Enabled);

    TPrinter* printer = Printer();
    const std::pair<TMenuItem*, const char*> reports[] = {
        {f.SRelazioneSostegno, "Relazione sul sostegno delle antenne"},
        {f.SRelazioneScariche, "Relazione sull'autoprotezione dalle scariche atmosferiche"}};
    for (const auto& [item, title] : reports) {
        printer->ClearDocuments();
        Application->Script().AnswerPrintDialog(false);
        item->Click();
        EXPECT_TRUE(printer->Documents().empty()) << title;
        Application->Script().AnswerPrintDialog(true);
        item->Click();
        ASSERT_EQ(printer->Documents().size(), 1u) << title;
        EXPECT_TRUE(Printed(*printer->Documents()[0], title));
    }
    printer->ClearDocuments();
}

TEST(MainFormPrint, CalculationsPrintTheTickedTables) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    DrawTwoTaps(*f.CurrentProject);
    ConfirmNextStep(f);
    TPrinter* printer = Printer();
    printer->ClearDocuments();
    Application->Script().AnswerShowModal<TInfoStampaCalcoli>([](TInfoStampaCalcoli& d) {
        EXPECT_EQ(d.LPrese->Items->Count(), 2);
        d.CSepPrese->Checked = true;
        d.BOk->Click();
    });
    Application->Script().AnswerPrintDialog(true);
    f.SCalcoli->Click();
    ASSERT_EQ(printer->Documents().size(), 1u);
    EXPECT_TRUE(Printed(*printer->Documents()[0], "Separazioni tra le prese [dB]"));
    printer->ClearDocuments();
}

}  // namespace
