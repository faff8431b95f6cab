// The main menu headless: every item's caption and shortcut, the rules by
// which the menus open, and the commands.
#include <gtest/gtest.h>

#include <fstream>

#include "app/estimate_page.h"
#include "app/main_form.h"
#include "app/mast_page.h"
#include "app/program.h"
#include "autodesign/wizard.h"
#include "cells/cables.h"
#include "cells/sources.h"
#include "cells/outlets.h"
#include "cells/taps.h"
#include "cells/terminations.h"
#include "core/globals.h"
#include "core/options.h"
#include "dialogs/codes_palette.h"
#include "dialogs/component_palette.h"
#include "dialogs/customer_data.h"
#include "dialogs/mast_sizing.h"
#include "dialogs/options_form.h"
#include "dialogs/scheme_size.h"
#include "document/copy_buffer.h"
#include "document/copy_data.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/utf8.h"
#include "support/program_fixture.h"
#include "view/draw_window.h"

namespace {

TScript& Script() { return Application->Script(); }

// ---------------------------------------------------------------- captions

TEST(MainMenu, EveryItemHasItsCaptionAndShortcut) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    const struct {
        TMenuItem* item;
        const char* caption;
        const char* shortcut;
    } items[] = {
        {f.File1, "&File", ""},
        {f.New1, "&Nuovo", ""},
        {f.Open1, "&Apri", ""},
        {f.Salva1, "&Salva", ""},
        {f.SalvaconNome1, "Salva &con Nome", ""},
        {f.Daticommittente1, "Dati &progettuali", ""},
        {f.Nuovalibreria, "Nuova &libreria", ""},
        {f.Esci1, "&Esci", ""},
        {f.Stampa2, "&Stampa", ""},
        {f.SRete, "&Rete (disegno)", ""},
        {f.STesta, "&Testa (disegno)", ""},
        {f.SElencoRete, "Elenco componenti di ret&e", ""},
        {f.SElenco, "Elenco componenti di test&a", ""},
        {f.STutto, "&Schemi ed elenco", ""},
        {f.SCalcoli, "&Calcoli", ""},
        {f.SArea, "Area sele&zionata", ""},
        {f.SPreventivo, "&Preventivo", ""},
        {f.Impostastampante1, "&Imposta stampante", ""},
        {f.SRelazioneSostegno, "Relazione s&ostegno", ""},
        {f.SRelazioneScariche, "Relazione scariche at&mosferiche", ""},
        {f.SCapitolato, "Capito&lato", ""},
        {f.SDichiarazione, "&Dichiarazione di conformità", ""},
        {f.SSelezione, "Sele&zione", ""},
        {f.Modify1, "&Modifica", ""},
        {f.Annulla1, "&Annulla", ""},
        {f.Taglia1, "&Taglia", ""},
        {f.Copia1, "&Copia", ""},
        {f.Incolla1, "&Incolla", ""},
        {f.IncollaS, "Incolla &speculare", ""},
        {f.IncollaR, "Incolla &ruotato", ""},
        {f.Ruota90, "90°", ""},
        {f.Ruota180, "180°", ""},
        {f.Ruota270, "270°", ""},
        {f.Elimina1, "&Elimina", ""},
        {f.BEliminaPreventivo, "&Elimina linea preventivo", ""},
        {f.EliminaDescrizioni, "Elimina descrizioni componenti", ""},
        {f.EliminaDCavi, "Cavi", ""},
        {f.EliminaDPrese, "Prese", ""},
        {f.EliminaDTutti, "Tutti", ""},
        {f.Visualizza1, "&Visualizza", ""},
        {f.ZoomAvanti, "Zoom &avanti", "Ctrl+I"},
        {f.ZoomIndietro, "Zoom &indietro", "Ctrl+O"},
        {f.BarraStrumenti, "&Barra Strumenti", ""},
        {f.PannelloCodici, "Pannello codici", ""},
        {f.VisualizzaAttenuazioni, "Attenuazioni e &lunghezze", ""},
        {f.Informazioni, "Informazioni", ""},
        {f.Attiva, "Attiva", ""},
        {f.Attenuazioni, "Attenuazioni", ""},
        {f.SegnaliLimite, "Segnali richiesti", ""},
        {f.CanaliGenerati, "Canali generati", ""},
        {f.CanaliDistribuiti, "Canali distribuiti", ""},
        {f.Evidenzia, "Evidenzia", ""},
        {f.CaviND, "Cavi non definiti", ""},
        {f.ComponentiCND, "Componenti calcoli non definiti", ""},
        {f.ComponentiND, "Componenti non definiti", ""},
        {f.MDimensioneSchemi, "&Dimensione schemi", ""},
        {f.MOpzioni, "&Opzioni", ""},
        {f.Personalizzazione, "&Personalizzazione", ""},
        {f.Trova1, "&Trova", ""},
        {f.CavoND, "Cavo non definito", ""},
        {f.ComponenteCND, "Componente calcoli non definito", ""},
        {f.ComponenteND, "Componente non definito", ""},
        {f.Calcoli1, "&Calcoli", ""},
        {f.Segnalialleprese1, "&Attenuazione alle prese", ""},
        {f.Limititerminaleditesta1, "Segnali &richiesti ai componenti", ""},
        {f.Attenuazionetraleprese1, "Se&parazione tra le prese", ""},
        {f.CanaliComponenti, "Ca&nali ai componenti", ""},
        {f.Cancellacalcoli1, "&Cancella calcoli", ""},
        {f.Speciali1, "S&trumenti", ""},
        {f.DetAutComp1, "Determinazione automatica &componenti", ""},
        {f.DetAutSost, "Determinazione automatica &sostegno", ""},
        {f.Autoprogetto1, "Autoprogetto", ""},
        {f.GestioneLibrerie1, "Gestione librerie", ""},
        {f.Aiuto1, "&Aiuto", ""},
        {f.Info1, "&Info", ""},
    };
    for (const auto& i : items) {
        EXPECT_EQ(i.item->Caption.Get(), i.caption);
        EXPECT_EQ(ShortCutToText(i.item->ShortCut), i.shortcut) << i.caption;
    }
    const char* top[] = {"&File",  "&Stampa",  "&Modifica",  "&Visualizza",
                         "&Trova", "&Calcoli", "S&trumenti", "&Aiuto"};
    ASSERT_EQ(f.MainMenu->Items->Count(), 8);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(f.MainMenu->Items->Items[i]->Caption.Get(), top[i]);
    // The shortcut reaches its item through the form.
    EXPECT_EQ(f.DrawWindow->DefaultColWidth.Get(), 42);
    f.Visualizza1->Click();
    f.HandleKeyDown('I', TShiftState{ssCtrl});
    EXPECT_EQ(f.DrawWindow->DefaultColWidth.Get(), 21);
}

// ---------------------------------------------------------------- menus opening

TEST(MainMenu, MenusOpenByTheProjectsState) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TProgetto& project = *f.CurrentProject;
    // The print items have their own suite (main_form_print_test).
    auto openAll = [&] {
        for (int i = 0; i < f.MainMenu->Items->Count(); ++i) f.MainMenu->Items->Items[i]->Click();
    };
    // Step 1 on "Rete", nothing modified.
    openAll();
    EXPECT_FALSE(f.Salva1->Enabled);
    EXPECT_TRUE(f.New1->Enabled && f.Open1->Enabled && f.SalvaconNome1->Enabled &&
                f.Daticommittente1->Enabled);
    EXPECT_TRUE(f.Nuovalibreria->Visible && f.Nuovalibreria->Enabled && f.GestioneLibrerie1->Enabled);
    EXPECT_TRUE(f.ZoomAvanti->Visible && f.ZoomAvanti->Enabled);
    EXPECT_FALSE(f.ZoomIndietro->Enabled);
    EXPECT_TRUE(f.BarraStrumenti->Enabled && f.MDimensioneSchemi->Enabled);
    EXPECT_FALSE(f.VisualizzaAttenuazioni->Enabled);
    EXPECT_FALSE(f.BarraStrumenti->Checked);  // the start turned it off
    EXPECT_FALSE(f.CavoND->Enabled || f.ComponenteCND->Enabled || f.ComponenteND->Enabled);
    EXPECT_FALSE(f.Segnalialleprese1->Enabled || f.Cancellacalcoli1->Enabled);
    EXPECT_TRUE(f.DetAutSost->Enabled && f.Info1->Enabled && f.Impostastampante1->Enabled);
    EXPECT_TRUE(f.Modify1->Visible);
    EXPECT_TRUE(f.Annulla1->Visible);
    EXPECT_FALSE(f.Annulla1->Enabled);
    EXPECT_EQ(f.Annulla1->Caption.Get(), "&Annulla");
    EXPECT_FALSE(f.EliminaDescrizioni->Visible);
    EXPECT_FALSE(f.BEliminaPreventivo->Visible);
    EXPECT_FALSE(f.DetAutComp1->Enabled);
    EXPECT_TRUE(f.Autoprogetto1->Enabled);

    // A drawing edit: the undo item takes the popup's caption; modified enables "&Salva".
    DrawTwoTaps(project);
    auto cableOwned = std::make_unique<TNCavo>(project.NetworkGrid, 0, 0, 40, 10, 0, 0);
    auto* cable = cableOwned.get();
    ASSERT_TRUE(project.NetworkGrid->InsertCell(std::move(cableOwned), true, 0));
    ASSERT_TRUE(project.NetworkGrid->RemoveCell(cable, true, 0));
    project.Modified = true;
    f.DrawWindow->Selection = TGridRect{30, 5, 32, 7};
    openAll();
    EXPECT_TRUE(f.Salva1->Enabled);
    EXPECT_TRUE(f.Annulla1->Enabled);
    EXPECT_EQ(f.Annulla1->Caption.Get(), f.DrawWindow->ItemUndo->Caption.Get());
    EXPECT_TRUE(f.Elimina1->Enabled && f.Taglia1->Enabled && f.Copia1->Enabled);
    EXPECT_FALSE(f.Incolla1->Enabled || f.IncollaS->Enabled || f.IncollaR->Enabled);  // nothing copied yet
    EXPECT_FALSE(f.DetAutComp1->Enabled);

    // Step 2: the finding and calculation items, the descriptions, no palette items.
    ConfirmNextStep(f);
    ASSERT_EQ(project.Step, 2);
    openAll();
    EXPECT_FALSE(f.BarraStrumenti->Enabled || f.MDimensioneSchemi->Enabled);
    EXPECT_TRUE(f.VisualizzaAttenuazioni->Enabled);
    EXPECT_TRUE(f.CavoND->Enabled && f.ComponenteCND->Enabled && f.ComponenteND->Enabled);
    EXPECT_TRUE(f.Segnalialleprese1->Enabled && f.Limititerminaleditesta1->Enabled &&
                f.Attenuazionetraleprese1->Enabled && f.Cancellacalcoli1->Enabled);
    EXPECT_TRUE(f.EliminaDescrizioni->Visible);
    for (TMenuItem* item : {f.Annulla1, f.Taglia1, f.Copia1, f.Incolla1, f.IncollaS, f.IncollaR, f.Elimina1})
        EXPECT_FALSE(item->Visible) << item->Caption.Get();  // the step-2 popup has no drawing commands
    EXPECT_TRUE(f.DetAutComp1->Enabled);                     // its own table: main_window_design_test

    // On "Preventivo": no drawing window, no zoom.
    f.SelectPage("Preventivo");
    openAll();
    EXPECT_TRUE(f.Modify1->Visible);
    EXPECT_FALSE(f.ZoomAvanti->Visible || f.ZoomIndietro->Visible);
    EXPECT_FALSE(f.Annulla1->Visible || f.Elimina1->Visible || f.EliminaDescrizioni->Visible);
    EXPECT_FALSE(f.VisualizzaAttenuazioni->Enabled);
    // A line added by hand and chosen: its removal is offered where the line
    // is seen, and not from the drawing, which keeps the edit menu.
    TVoceListino item;
    item.Code = "X-1";
    item.Quantity = "1";
    item.Price = "5,00";
    item.CurrencyName = "Euro";
    ASSERT_TRUE(f.EstimatePage->AddEstimateItem(item));
    TStringGrid& estimate = *f.EstimatePage->GridPreventivo;
    estimate.Selection = TGridRect{6, estimate.RowCount - 2, 6, estimate.RowCount - 2};
    ASSERT_TRUE(f.EstimatePage->CanRemoveSelectedRow());
    openAll();
    EXPECT_TRUE(f.BEliminaPreventivo->Visible);
    f.SelectPage("Rete");
    openAll();
    EXPECT_TRUE(f.Modify1->Visible);
    EXPECT_FALSE(f.BEliminaPreventivo->Visible);
    f.SelectPage("Sostegno");
    EXPECT_FALSE(f.Modify1->Visible);
}

// ---------------------------------------------------------------- files

TEST(MainMenuFiles, SaveAsksForANameOnlyForAnUntitledProject) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    const std::string file = program.Dir().File("impianto.ant");
    Script().AnswerFileDialog(file);
    f.Salva1->Click();
    ASSERT_EQ(Script().Dialogs.size(), 1u);
    EXPECT_EQ(Script().Dialogs[0].Kind, TDialogKind::Save);
    EXPECT_EQ(Script().Dialogs[0].Filter, "Progetto di Ordivex Varne (*.ant)|*.ant");
    EXPECT_EQ(f.CurrentProject->Name, file);
    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(f.Caption.Get(), "Ordivex Varne - [" + file + "]");
    // Named now: written again at once.
    f.CurrentProject->Modified = true;
    f.Salva1->Click();
    EXPECT_EQ(Script().Dialogs.size(), 1u);
    EXPECT_FALSE(f.CurrentProject->Modified);
    EXPECT_TRUE(FileExists(program.Dir().File("impianto.bak")));
}

TEST(MainMenuFiles, OverwritingAFileNeedsOk) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    const std::string file = program.Dir().File("esistente.ant");
    std::ofstream(file) << "vecchio";
    Script().AnswerFileDialog(file);
    Script().AnswerMessageBox(IDCANCEL);
    f.SalvaconNome1->Click();
    ASSERT_EQ(Script().MessageBoxes.size(), 1u);
    EXPECT_EQ(Script().MessageBoxes[0].Text, "Il file " + file + " è già esistente. Sovrascrivere?");
    EXPECT_EQ(Script().MessageBoxes[0].Flags, MB_OKCANCEL | MB_ICONEXCLAMATION);
    std::ifstream in(file);
    std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content, "vecchio");
    EXPECT_EQ(f.CurrentProject->Name, UntitledProjectName);
}

TEST(MainMenuFiles, CancelledSaveQuestionStopsEveryCommandThatReplacesTheProject) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    program.Store("FileName1", program.Dir().File("altro.ant"));
    DrawTwoTaps(*f.CurrentProject);
    f.CurrentProject->Modified = true;
    const struct {
        const char* name;
        std::function<void()> run;
    } commands[] = {
        {"Nuovo", [&] { f.New1->Click(); }},        {"Apri", [&] { f.Open1->Click(); }},
        {"recente", [&] { f.FileName1->Click(); }}, {"Esci", [&] { f.Esci1->Click(); }},
        {"chiusura", [&] { f.Close(); }},
    };
    for (const auto& c : commands) {
        Script().Reset();
        Script().AnswerMessageBox(IDCANCEL);
        c.run();
        EXPECT_EQ(Script().MessageBoxes.size(), 1u) << c.name;
        EXPECT_TRUE(Script().Dialogs.empty()) << c.name;
        EXPECT_TRUE(f.CurrentProject->NetworkGrid->HasComponents()) << c.name;
        EXPECT_TRUE(f.CurrentProject->Modified) << c.name;
        EXPECT_FALSE(Application->Terminated()) << c.name;
    }
    // A save that fails counts as a cancel.
    Script().Reset();
    Script().AnswerMessageBox(IDYES);
    Script().AnswerFileDialog(program.Dir().File("manca/progetto.ant"));
    f.New1->Click();
    EXPECT_TRUE(f.CurrentProject->NetworkGrid->HasComponents());
    // Not saved, then new: the wizard offers a new design on its first page;
    // closed, it leaves the drawing as it was (main_window_design_test runs
    // the design).
    Script().Reset();
    Script().AnswerMessageBox(IDNO);
    Script().AnswerShowModal<TAutoProgetto>([](TAutoProgetto& w) {
        EXPECT_EQ(w.VisiblePage(), WizardTypePage);
        w.Close();
    });
    f.New1->Click();
    ASSERT_EQ(Script().ModalForms.size(), 1u);
    EXPECT_EQ(Script().ModalForms[0].Type, std::type_index(typeid(TAutoProgetto)));
    EXPECT_TRUE(f.CurrentProject->NetworkGrid->HasComponents());
    EXPECT_FALSE(Application->Terminated());
}

TEST(MainMenuFiles, OpenAndRecentFiles) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    DrawTwoTaps(*f.CurrentProject);
    const std::string file = program.Dir().File("linea.ant");
    ASSERT_EQ(f.SaveProject(file, *f.CurrentProject, ProjectVersionCurrent), 0);
    EXPECT_TRUE(f.FileName1->Visible);
    EXPECT_EQ(f.FileName1->Caption.Get(), "&1 " + ShortenPath(file));
    Script().Reset();

    Script().AnswerFileDialog(file);
    f.Open1->Click();
    EXPECT_EQ(Script().Dialogs[0].Kind, TDialogKind::Open);
    EXPECT_EQ(f.CurrentProject->Step, 2);
    EXPECT_TRUE(f.FindPage("Calcoli rete"));

    // A drawing stays a drawing when a recent file does not load.
    Script().Reset();
    ConfirmNextStep(f);
    ASSERT_EQ(f.CurrentProject->Step, 1);
    std::remove(file.c_str());
    f.FileName1->Click();
    ASSERT_EQ(Script().MessageBoxes.size(), 1u);
    EXPECT_EQ(Script().MessageBoxes[0].Text, "Il file " + file + " è inesistente.");
    EXPECT_EQ(f.CurrentProject->Step, 1);
    EXPECT_EQ(f.NextButton->Caption.Get(), "Avanti >>");
}

// ---------------------------------------------------------------- customer data

TEST(CustomerData, TheFormShowsAndReturnsTheProjectTexts) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TProgetto& project = *f.CurrentProject;
    for (int i = 0; i < HeaderTextCount; ++i) project.HeaderTexts[i] = "T" + IntToStr(i + 1);
    project.HeaderTexts[10] = "12345678901";  // a floor longer than its edit takes
    project.Modified = false;
    Script().AnswerShowModal<TDatiCommittente>([](TDatiCommittente& d) {
        EXPECT_EQ(d.Caption.Get(), "Ordivex Varne - Dati progettuali");
        EXPECT_EQ(d.GCommittente->Caption.Get(), "Dati sul committente ");
        EXPECT_EQ(d.GLocazione->Caption.Get(), "Locazione dell'edificio ");
        EXPECT_EQ(d.GProprietario->Caption.Get(), "Dati sul proprietario dell'edificio ");
        EXPECT_EQ(d.GLavoro->Caption.Get(), "Descrizione del lavoro ");
        EXPECT_EQ(d.Height.Get(), 473);
        EXPECT_EQ(d.BOk->Top.Get(), 416);
        EXPECT_EQ(d.GLavoro->Height.Get(), 97);
        EXPECT_EQ(d.ELDescrizione->Top.Get(), 24);
        for (TControl* hidden :
             std::initializer_list<TControl*>{d.ELEsecutore, d.ELProgettista, d.ELInteso, d.ELUso, d.ELNote})
            EXPECT_FALSE(hidden->Visible);
        EXPECT_EQ(d.Nome->Text.Get(), "T1");
        EXPECT_EQ(d.ELPiano->Text.Get(), "12345678901");
        EXPECT_EQ(d.ELDescrizione->Text.Get(), "T23");
        EXPECT_EQ(d.ELUso->Text.Get(), "T25");
        d.Nome->Text = "Condominio Aurora";
        d.EPFax->Text = "011 22";
        d.BOk->Click();
    });
    f.Daticommittente1->Click();
    EXPECT_TRUE(project.Modified);
    EXPECT_EQ(project.HeaderTexts[0], "Condominio Aurora");
    EXPECT_EQ(project.HeaderTexts[19], "011 22");
    EXPECT_EQ(project.HeaderTexts[10], "12345678901");
    for (int i : {2, 21, 22, 23, 24, 25, 26}) EXPECT_EQ(project.HeaderTexts[i - 1], "T" + IntToStr(i)) << i;

    project.Modified = false;
    Script().AnswerShowModal<TDatiCommittente>([](TDatiCommittente& d) {
        d.Nome->Text = "altro";
        d.BAnnulla->Click();
    });
    f.Daticommittente1->Click();
    EXPECT_FALSE(project.Modified);
    EXPECT_EQ(project.HeaderTexts[0], "Condominio Aurora");
}

TEST(CustomerData, TypingStopsAtTheLimit) {
    ScopedProgram program;
    program.Start();
    TDatiCommittente& d = *DatiCommittente;
    d.Show();
    d.PIva->Text = "";
    d.FocusControl(d.PIva);
    d.TypeText("1234567890123");
    EXPECT_EQ(d.PIva->Text.Get(), "12345678901");
    d.Hide();
}

// ---------------------------------------------------------------- view

TEST(MainMenuView, ZoomStepsThroughTheThreeSizes) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    const struct {
        TMenuItem* TAntenne::*item;
        int size;
        bool inOn, outOn;
    } steps[] = {
        {&TAntenne::ZoomAvanti, 21, true, true},
        {&TAntenne::ZoomAvanti, 15, false, true},
        {&TAntenne::ZoomIndietro, 21, true, true},
        {&TAntenne::ZoomIndietro, 42, true, false},
    };
    for (const auto& s : steps) {
        f.Visualizza1->Click();
        (f.*s.item)->Click();
        EXPECT_EQ(f.DrawWindow->DefaultColWidth.Get(), s.size);
        EXPECT_EQ(f.DrawWindow->DefaultRowHeight.Get(), s.size);
        EXPECT_EQ(program.Stored("DGWidth"), IntToStr(s.size));
        f.Visualizza1->Click();
        EXPECT_EQ(f.ZoomAvanti->Enabled.Get(), s.inOn) << s.size;
        EXPECT_EQ(f.ZoomIndietro->Enabled.Get(), s.outOn) << s.size;
        EXPECT_EQ(f.DrawWindow->ClientWidth % s.size, 0);
    }
}

TEST(MainMenuView, DisplayItemsToggleTheirOptionAndTheSettings) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    const struct {
        TMenuItem* TAntenne::*item;
        bool TOpzioni::*flag;
        const char* name;
    } items[] = {
        {&TAntenne::BarraStrumenti, &TOpzioni::showToolbar, "BarraStrumenti"},
        {&TAntenne::PannelloCodici, &TOpzioni::showCodesPanel, "PannelloCodici"},
        {&TAntenne::VisualizzaAttenuazioni, &TOpzioni::showAttenuations, "VisualizzaAttenuazioni"},
        {&TAntenne::Attiva, &TOpzioni::hbInformation, "HBInformazioni"},
        {&TAntenne::Attenuazioni, &TOpzioni::hbAttenuations, "HBAttenuazioni"},
        {&TAntenne::SegnaliLimite, &TOpzioni::hbSignalLimits, "HBSegnaliLimite"},
        {&TAntenne::CanaliGenerati, &TOpzioni::hbGeneratedChannels, "HBCanaliGenerati"},
        {&TAntenne::CanaliDistribuiti, &TOpzioni::hbDistributedChannels, "HBCanaliDistribuiti"},
        {&TAntenne::CaviND, &TOpzioni::cablesNotDescribed, "CaviND"},
        {&TAntenne::ComponentiCND, &TOpzioni::componentsCNotDescribed, "ComponentiCND"},
        {&TAntenne::ComponentiND, &TOpzioni::componentsNotDescribed, "ComponentiND"},
    };
    for (const auto& i : items) {
        TMenuItem* item = f.*i.item;
        // Attenuations and lengths are drawn at step 2 only, the palette is for step 1.
        f.CurrentProject->Step = item == f.VisualizzaAttenuazioni ? 2 : 1;
        for (int round = 0; round < 2; ++round) {
            f.Visualizza1->Click();
            const bool before = Opzioni->*i.flag;
            EXPECT_EQ(item->Checked.Get(), before) << i.name;
            item->Click();
            EXPECT_EQ(Opzioni->*i.flag, !before) << i.name << " round " << round;
            EXPECT_EQ(program.Stored(i.name), before ? "0" : "1") << i.name;
            f.Visualizza1->Click();
            EXPECT_EQ(item->Checked.Get(), !before) << i.name;
        }
    }
    f.Visualizza1->Click();
    f.CaviND->Click();
    EXPECT_EQ(f.DrawWindow->HighlightCables, Opzioni->cablesNotDescribed);
}

TEST(MainMenuView, PaletteAndCodesPanelComeAndGoWithTheLayout) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    EXPECT_FALSE(f.Palette->Visible);
    EXPECT_FALSE(f.CodesPanel->Visible);
    const int top = f.DrawWindow->Top, left = f.DrawWindow->Left;
    f.Visualizza1->Click();
    f.BarraStrumenti->Click();
    EXPECT_TRUE(f.Palette->Visible);
    EXPECT_GE(f.DrawWindow->Top.Get(), f.Palette->Top + f.Palette->Height);
    f.Visualizza1->Click();
    f.PannelloCodici->Click();
    EXPECT_TRUE(f.CodesPanel->Visible);
    EXPECT_GE(f.DrawWindow->Left.Get(), f.CodesPanel->Left + f.CodesPanel->Width);
    EXPECT_EQ(f.CodesPanel->Top.Get(), f.DrawWindow->Top.Get());

    f.Palette->TakeArticle = 1;
    f.CodesPanel->CodeList->Items->Add("X1");
    f.CodesPanel->CodeList->Text = "X1";
    f.Visualizza1->Click();
    f.PannelloCodici->Click();
    EXPECT_FALSE(f.CodesPanel->Visible);
    EXPECT_EQ(f.Palette->TakeArticle, 0);
    EXPECT_EQ(f.CodesPanel->CodeList->Items->Count(), 0);
    EXPECT_EQ(f.CodesPanel->CodeList->Text.Get(), "");
    f.Visualizza1->Click();
    f.BarraStrumenti->Click();
    EXPECT_FALSE(f.Palette->Visible);
    EXPECT_EQ(f.DrawWindow->Top.Get(), top);
    EXPECT_EQ(f.DrawWindow->Left.Get(), left);
    // Page "Testa": the palette shows the head end's tools.
    f.Visualizza1->Click();
    f.BarraStrumenti->Click();
    f.SelectPage("Testa");
    EXPECT_TRUE(f.Palette->Visible);
}

// ---------------------------------------------------------------- scheme size

TEST(SchemeSize, OkOnlyForSizesThatHoldTheDrawing) {
    TDimensioneSchemi form(nullptr);
    EXPECT_EQ(form.Caption.Get(), "Ordivex Varne - Dimensioni schemi");
    EXPECT_EQ(form.GRete->Caption.Get(), "Rete ");
    EXPECT_EQ(form.GTesta->Caption.Get(), "Testa ");
    EXPECT_EQ(form.LRRighe->Caption.Get(), "Righe:");
    EXPECT_EQ(form.LTColonne->Caption.Get(), "Colonne: ");
    EXPECT_EQ(form.ClientWidth.Get(), 233);
    EXPECT_EQ(form.ClientHeight.Get(), 145);
    form.NetworkMinRows = 10;
    form.NetworkMinColumns = 20;
    form.HeadEndMinRows = 5;
    form.HeadEndMinColumns = 6;
    const struct {
        TEdit* TDimensioneSchemi::*edit;
        const char* text;
        bool ok;
    } cases[] = {
        {&TDimensioneSchemi::ERRighe, "10", true},        {&TDimensioneSchemi::ERRighe, "9", false},
        {&TDimensioneSchemi::ERRighe, "", false},         {&TDimensioneSchemi::ERRighe, "abc", false},
        {&TDimensioneSchemi::ERRighe, "2000", true},      {&TDimensioneSchemi::ERRighe, "2001", false},
        {&TDimensioneSchemi::ERColonne, "20", true},      {&TDimensioneSchemi::ERColonne, "19", false},
        {&TDimensioneSchemi::ERColonne, "100000", false}, {&TDimensioneSchemi::ETRighe, "5", true},
        {&TDimensioneSchemi::ETRighe, "4", false},        {&TDimensioneSchemi::ETColonne, "6", true},
        {&TDimensioneSchemi::ETColonne, "-6", false},
    };
    for (TEdit* e : {form.ERRighe, form.ERColonne, form.ETRighe, form.ETColonne}) e->Text = "75";
    for (const auto& c : cases) {
        (form.*c.edit)->Text = c.text;
        EXPECT_EQ(form.BOk->Enabled.Get(), c.ok) << c.text;
        (form.*c.edit)->Text = "75";
    }
    form.ERRighe->Text = "1";
    ASSERT_FALSE(form.BOk->Enabled);
    Script().AnswerShowModal<TDimensioneSchemi>([](TDimensioneSchemi& f) { EXPECT_TRUE(f.BOk->Enabled); });
    form.ShowModal();
}

TEST(SchemeSize, OkResizesBothGridsAndKeepsTheView) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TProgetto& project = *f.CurrentProject;
    DrawTwoTaps(project);
    auto cableOwned = std::make_unique<TNCavo>(project.NetworkGrid, 0, 0, 40, 10, 0, 0);
    auto* cable = cableOwned.get();
    ASSERT_TRUE(project.NetworkGrid->InsertCell(std::move(cableOwned), true, 0));
    project.Modified = false;
    f.SelectPage("Rete");
    const int left = f.DrawWindow->LeftCol, top = f.DrawWindow->TopRow;
    Script().AnswerShowModal<TDimensioneSchemi>([](TDimensioneSchemi& d) {
        EXPECT_EQ(d.ERColonne->Text.Get(), "75");
        EXPECT_EQ(d.ETRighe->Text.Get(), "75");
        EXPECT_GT(d.NetworkMinColumns, 0);
        d.ERColonne->Text = "85";
        d.ERRighe->Text = "90";
        d.ETRighe->Text = "80";
        d.ETColonne->Text = "60";
        d.BOk->Click();
    });
    f.Visualizza1->Click();
    f.MDimensioneSchemi->Click();
    EXPECT_EQ(project.NetworkGrid->Columns, 85);
    EXPECT_EQ(project.NetworkGrid->Rows, 90);
    EXPECT_EQ(project.HeadEndGrid->Rows, 80);
    EXPECT_EQ(project.HeadEndGrid->Columns, 60);
    EXPECT_EQ(f.DrawWindow->ColCount.Get(), 85);
    EXPECT_EQ(f.DrawWindow->LeftCol.Get(), left + (85 - 75 + 1) / 2);
    EXPECT_EQ(f.DrawWindow->TopRow.Get(), top);
    EXPECT_TRUE(project.Modified);
    // The resize emptied the undo list.
    f.Modify1->Click();
    EXPECT_EQ(f.Annulla1->Caption.Get(), "&Annulla");
    EXPECT_FALSE(f.Annulla1->Enabled);

    // The head end keeps its bottom in view.
    f.SelectPage("Testa");
    const int headTop = f.DrawWindow->TopRow;
    Script().AnswerShowModal<TDimensioneSchemi>([](TDimensioneSchemi& d) {
        d.ETRighe->Text = "90";
        d.BOk->Click();
    });
    f.MDimensioneSchemi->Click();
    EXPECT_EQ(f.DrawWindow->TopRow.Get(),
              std::min(headTop + 10, project.HeadEndGrid->Rows - f.DrawWindow->VisibleRowCount()));
}

// ---------------------------------------------------------------- tools, options, finding, calculations

TEST(MainMenuTools, MastSizingAndOptions) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    Script().AnswerShowModal<TDatiAutSost>(mrCancel);
    f.DetAutSost->Click();
    ASSERT_EQ(Script().ModalForms.size(), 1u);
    EXPECT_EQ(Script().ModalForms[0].Type, std::type_index(typeid(TDatiAutSost)));

    Script().AnswerShowModal<TDatiOpzioni>([](TDatiOpzioni& d) { d.BOk->Click(); });
    Opzioni->costM = 12.5f;  // not yet stored
    f.MOpzioni->Click();
    EXPECT_EQ(program.Stored("CostoM"), "12,5");
}

// The sizing shows the mast it made whatever page it was asked from; a
// cancelled form leaves the page as it was.
TEST(MainMenuTools, TheMastSizingShowsSostegno) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    for (const char* page : {"Testa", "Fulmini 81.1", "Rete"}) {
        f.SelectPage(page);
        Script().AnswerShowModal<TDatiAutSost>(mrCancel);
        f.DetAutSost->Click();
        EXPECT_TRUE(f.IsPageSelected(page)) << page;
        Script().AnswerShowModal<TDatiAutSost>([](TDatiAutSost& d) { d.ButtonOk->Click(); });
        f.DetAutSost->Click();
        EXPECT_TRUE(f.IsPageSelected("Sostegno")) << page;
        EXPECT_TRUE(f.MastPage->Visible);
        EXPECT_FALSE(f.DrawWindow->Visible);
    }
}

// The limits colour the calculated pages: confirmed in "Opzioni", they are
// worked out again when the page is shown next (or at once when on screen).
TEST(MainMenuTools, OptionsConfirmedRecolourTheCalculatedPages) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TProgetto& project = *f.CurrentProject;
    DrawTwoTaps(project);
    // Losses of the taps and sockets, so that the windows have figures.
    TGridData& grid = *project.NetworkGrid;
    auto set = [](TCella* cell, int32_t column, float value) {
        ASSERT_NE(cell, nullptr);
        for (int32_t b = 0; b < BandSlots; ++b) cell->Attenuation->Set3(0, column, b, value);
    };
    for (int32_t row : {1, 2}) {
        set(grid.CellAt(37, row), TapLossColumn, 14.0f);
        set(grid.CellAt(37, row), TapThroughColumn, 1.5f);
        set(grid.CellAt(37, row), TapReverseColumn, 25.0f);
        set(grid.CellAt(37, row), TapDecouplingColumn, 25.0f);
        set(grid.CellAt(38, row), OutletSocketLoss, 1.0f);
    }
    ConfirmNextStep(f);
    ASSERT_EQ(project.Step, 2);
    ASSERT_TRUE(f.FindPage("Calcoli rete"));
    const TRichEdit& report = *f.ReteReport.Report;
    // Every character's colour, line by line (a line break counts two).
    auto red = [&report] {
        int count = 0, start = 0;
        for (int l = 0; l < report.Lines->Count(); ++l) {
            const int length = static_cast<int>(utf8::Length(report.Lines->Strings(l)));
            for (int i = 0; i < length; ++i) count += report.FormatAt(start + i).Color == clRed;
            start += length + 2;
        }
        return count;
    };
    f.SelectPage("Calcoli rete");
    const std::string before = report.Text;
    const int redBefore = red();
    ASSERT_FALSE(before.empty());
    project.Modified = false;

    // A least signal at the outlets of 150 dB in every band: every outlet is short.
    auto raiseSigMin = [](TDatiOpzioni& d) {
        for (TEdit* edit : d.NormEdits[0])
            if (edit && edit->Enabled) edit->UserSet(edit->Text, AnsiString("150"));
        d.BOk->Click();
    };
    f.SelectPage("Rete");
    Script().AnswerShowModal<TDatiOpzioni>(raiseSigMin);
    f.MOpzioni->Click();
    ASSERT_EQ(Opzioni->limits[1][LimitSigMin], 150.0f);
    EXPECT_FALSE(project.Modified);  // the program's limits, not the project
    f.SelectPage("Calcoli rete");
    EXPECT_NE(std::string(report.Text), before);
    EXPECT_GT(red(), redBefore);

    // "Annulla" leaves the pages as they are; "Ok" with the page on screen
    // works it out at once.
    const std::string raised = report.Text;
    Script().AnswerShowModal<TDatiOpzioni>([](TDatiOpzioni& d) {
        for (TEdit* edit : d.NormEdits[0])
            if (edit && edit->Enabled) edit->UserSet(edit->Text, AnsiString("40"));
        d.BAnnulla->Click();
    });
    f.MOpzioni->Click();
    EXPECT_FALSE(project.NetworkGrid->NetworkOutOfDate);
    Script().AnswerShowModal<TDatiOpzioni>([](TDatiOpzioni& d) {
        for (TEdit* edit : d.NormEdits[0])
            if (edit && edit->Enabled) edit->UserSet(edit->Text, AnsiString("40"));
        d.BOk->Click();
    });
    f.MOpzioni->Click();
    EXPECT_TRUE(f.IsPageSelected("Calcoli rete"));
    EXPECT_FALSE(project.NetworkGrid->NetworkOutOfDate);
    EXPECT_NE(std::string(report.Text), raised);
    EXPECT_LT(red(), redBefore + 1);
    // "Calcoli canali" waits for its next showing.
    EXPECT_TRUE(project.NetworkGrid->ChannelsOutOfDate);
}

TEST(MainMenuFind, TheViewGoesToTheFirstUndescribedCell) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TProgetto& project = *f.CurrentProject;
    DrawTwoTaps(project);
    TGridData& grid = *project.NetworkGrid;
    grid.CellAt(38, 2)->Described = 0;  // the second outlet
    ASSERT_TRUE(project.AnalyseGrids());
    project.Step = 2;
    f.DrawWindow->Selection = TGridRect{0, 0, 0, 0};
    f.ComponenteND->Click();
    EXPECT_EQ(f.DrawWindow->Selection.Get().Left, 38);
    EXPECT_EQ(f.DrawWindow->Selection.Get().Top, 2);
    f.DrawWindow->Selection = TGridRect{0, 0, 0, 0};
    f.CavoND->Click();  // no cable at all
    EXPECT_EQ(f.DrawWindow->Selection.Get().Left, 0);
}

TEST(MainMenuEdit, DescriptionsAreClearedOnlyAfterYes) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TProgetto& project = *f.CurrentProject;
    DrawTwoTaps(project);
    TCella* outlet = project.NetworkGrid->CellAt(38, 1);
    TCella* tap = project.NetworkGrid->CellAt(37, 1);
    ASSERT_TRUE(project.AnalyseGrids());
    project.Step = 2;
    const struct {
        TMenuItem* TAntenne::*item;
        const char* question;
    } items[] = {
        {&TAntenne::EliminaDCavi, "Sei sicuro di volere eliminare le descrizioni di tutti i cavi?"},
        {&TAntenne::EliminaDPrese, "Sei sicuro di volere eliminare le descrizioni di tutte le prese?"},
        {&TAntenne::EliminaDTutti, "Sei sicuro di volere eliminare le descrizioni di tutti i componenti?"},
    };
    for (const auto& i : items) {
        Script().Reset();
        Script().AnswerMessageBox(IDNO);
        (f.*i.item)->Click();
        ASSERT_EQ(Script().MessageBoxes.size(), 1u);
        EXPECT_EQ(Script().MessageBoxes[0].Text, i.question);
        EXPECT_EQ(Script().MessageBoxes[0].Flags, MB_YESNO | MB_ICONEXCLAMATION);
        EXPECT_TRUE(outlet->Described && tap->Described);
    }
    Script().AnswerMessageBox(IDYES);
    f.EliminaDPrese->Click();
    EXPECT_FALSE(outlet->Described);
    EXPECT_TRUE(tap->Described);
}

TEST(MainMenuEdit, CutCopyAndPastesGoWhereTheSelectionBegins) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TProgetto& project = *f.CurrentProject;
    DrawTwoTaps(project);
    TGridData& grid = *project.NetworkGrid;
    TCella* first = grid.CellAt(37, 1);
    first->Description = "T1";
    const TGridRect block{37, 1, 38, 2};  // the two taps and their outlets

    f.DrawWindow->Selection = block;
    f.Modify1->Click();
    f.Copia1->Click();
    EXPECT_EQ(grid.CopyBuffer->CellCount(), 4);
    EXPECT_EQ(grid.CellAt(37, 1), first);  // a copy leaves the block

    // Each paste puts the copy of the tap from the block's first square where
    // its turn takes it, in the 2 x 2 squares from the selection's first one.
    const struct {
        TMenuItem* TAntenne::*item;
        int32_t column, row;
    } pastes[] = {{&TAntenne::Incolla1, 10, 5},
                  {&TAntenne::IncollaS, 11, 5},
                  {&TAntenne::Ruota90, 11, 5},
                  {&TAntenne::Ruota180, 11, 6},
                  {&TAntenne::Ruota270, 10, 6}};
    const TGridRect target{10, 5, 13, 8};
    for (const auto& p : pastes) {
        TMenuItem* item = f.*p.item;
        f.DrawWindow->Selection = target;
        f.Modify1->Click();
        ASSERT_TRUE(item->Enabled && (item->Parent() == f.Modify1 || f.IncollaR->Enabled))
            << item->Caption.Get();
        item->Click();
        TCella* copy = grid.CellAt(p.column, p.row);
        ASSERT_NE(copy, nullptr) << item->Caption.Get();
        EXPECT_NE(copy, first);
        EXPECT_EQ(copy->Description, "T1") << item->Caption.Get();
        EXPECT_EQ(f.DrawWindow->Selection.Get(), target) << "the selection stays";
        EXPECT_EQ(grid.CellAt(37, 1), first);
        // One step, undone from the same menu.
        f.Modify1->Click();
        EXPECT_EQ(f.Annulla1->Caption.Get(), "&Annulla incolla");
        f.Annulla1->Click();
        for (int32_t c = 10; c <= 13; ++c)
            for (int32_t r = 5; r <= 8; ++r) EXPECT_EQ(grid.CellAt(c, r), nullptr) << item->Caption.Get();
    }

    // A cut takes the block away into the buffer, as one step.
    f.DrawWindow->Selection = block;
    f.Modify1->Click();
    f.Taglia1->Click();
    for (int32_t c = 37; c <= 38; ++c)
        for (int32_t r = 1; r <= 2; ++r) EXPECT_EQ(grid.CellAt(c, r), nullptr);
    EXPECT_EQ(grid.CopyBuffer->CellCount(), 4);
    f.Modify1->Click();
    EXPECT_EQ(f.Annulla1->Caption.Get(), "&Annulla taglia");

    // A block on the terminal's row offers neither cut, copy nor paste.
    f.DrawWindow->Selection = TGridRect{10, 0, 12, 2};
    f.Modify1->Click();
    for (TMenuItem* item : {f.Taglia1, f.Copia1, f.Incolla1, f.IncollaS, f.IncollaR, f.Elimina1})
        EXPECT_FALSE(item->Enabled) << item->Caption.Get();
}

TEST(MainMenuEdit, CopiedDataBringThePagesOfADescribedNetwork) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TProgetto& project = *f.CurrentProject;
    DrawTwoTaps(project);
    TCella* outlet = project.NetworkGrid->CellAt(38, 1);
    TCella* other = project.NetworkGrid->CellAt(38, 2);
    outlet->Description = "Presa da incasso";
    other->Described = 0;
    ConfirmNextStep(f);
    ASSERT_EQ(project.Step, 2);
    EXPECT_FALSE(f.FindPage("Calcoli rete") || f.FindPage("Preventivo"));

    // "Copia su ..." from the outlet's popup, on the form made at the start.
    bool startForm = false;
    Script().AnswerShowModal<TFCopiaDati>([&](TFCopiaDati& form) {
        startForm = &form == FCopiaDati;
        form.BTutti->Click();
        form.BOk->Click();
    });
    f.DrawWindow->CenterOn(38, 1);
    const TRect square = f.DrawWindow->CellRect(38, 1);
    Script().AnswerPopup("Copia su ...");
    f.DrawWindow->RightClickAt(square.Left + 4, square.Top + 4);
    EXPECT_TRUE(startForm);
    EXPECT_TRUE(other->Described);
    EXPECT_EQ(other->Description, "Presa da incasso");
    for (const char* page : {"Calcoli rete", "Calcoli rete richiesti", "Preventivo"})
        EXPECT_TRUE(f.FindPage(page)) << page;
    EXPECT_TRUE(f.IsPageSelected("Rete"));
}

TEST(MainMenuCalculations, ReportsAreWrittenAndCleared) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    DrawTwoTaps(*f.CurrentProject);
    ConfirmNextStep(f);
    f.SelectPage("Calcoli rete");
    const AnsiString report = f.ReteReport.Report->Text;
    ASSERT_FALSE(report.empty());
    f.SelectPage("Rete");
    f.Segnalialleprese1->Click();
    EXPECT_TRUE(f.IsPageSelected("Calcoli rete"));

    f.ReteRichiestiReport.Report->Text = "richiesti";
    f.CanaliRichiestiReport.Report->Text = "canali";
    f.CanaliRichiestiReport.Messages->Items->Add("R1: messaggio");
    f.Cancellacalcoli1->Click();
    EXPECT_EQ(f.ReteRichiestiReport.Report->Text.Get(), "");
    EXPECT_EQ(f.CanaliRichiestiReport.Report->Text.Get(), "");
    EXPECT_EQ(f.CanaliRichiestiReport.Messages->Items->Count(), 0);
}

// ---------------------------------------------------------------- message lists

TEST(MessageList, TheNameBeforeTheColon) {
    const struct {
        const char* line;
        int caret;
        const char* name;
    } cases[] = {
        {"P12: livello basso", 10, "P12"},
        {"P12: livello basso", 3, ""},  // the caret before the ':'
        {":R1", 3, ""},                 // the ':' opens the line
        {"Presa P3: R1: basso", 18, "R1"},
        {"senza due punti", 10, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ComponentNameBefore(c.line, c.caret), c.name) << c.line;
}

TEST(MessageList, ASecondClickWithinTheTimerShowsTheCell) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TProgetto& project = *f.CurrentProject;
    DrawTwoTaps(project);
    ConfirmNextStep(f);
    Script().AdvanceClock(3000);  // the splash is over
    TCella* outlet = project.NetworkGrid->CellAt(38, 2);
    const AnsiString name = outlet->GetShortCode();
    TListBox* list = f.CanaliReport.Messages;
    list->Items->Add(name + ": livello fuori dai limiti");
    f.DrawWindow->Selection = TGridRect{0, 0, 0, 0};
    f.SelectPage("Preventivo");
    const int y = 2, x = 200;
    f.MessageListMouseDown(list, mbLeft, {}, x, y);
    EXPECT_TRUE(f.Timer->Enabled);
    EXPECT_EQ(f.Timer->Interval.Get(), 300);
    EXPECT_TRUE(f.IsPageSelected("Preventivo"));
    f.MessageListMouseDown(list, mbLeft, {}, x, y);
    EXPECT_TRUE(f.IsPageSelected("Rete"));
    EXPECT_EQ(f.DrawWindow->Selection.Get().Left, 38);
    EXPECT_EQ(f.DrawWindow->Selection.Get().Top, 2);
    // The timer stops itself on its tick: the next click only arms it again.
    Script().AdvanceClock(300);
    EXPECT_FALSE(f.Timer->Enabled);
    f.SelectPage("Preventivo");
    f.MessageListMouseDown(list, mbLeft, {}, x, y);
    EXPECT_TRUE(f.IsPageSelected("Preventivo"));
    // A click left of the ':' does nothing at all.
    Script().AdvanceClock(300);
    f.MessageListMouseDown(list, mbLeft, {}, 1, y);
    EXPECT_FALSE(f.Timer->Enabled);
}

// A channel message names a head-end cell: not in the network, it is found
// in the head end, with the page "Rete" there all the same.
TEST(MessageList, AHeadEndCellIsFoundWhenTheNetworkHasNoSuchName) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TProgetto& project = *f.CurrentProject;
    DrawTwoTaps(project);
    TGridData& headEnd = *project.HeadEndGrid;
    // An antenna over the head-end terminal, which the line leaves from.
    const int32_t row = headEnd.Rows - 2;
    auto owned = std::make_unique<TAntenna>(&headEnd, 0, 0, 37, row);
    TCella* antenna = owned.get();
    antenna->Described = 1;
    ASSERT_TRUE(headEnd.InsertCell(std::move(owned), false, 0));
    ASSERT_TRUE(project.AnalyseGrids());
    Script().AdvanceClock(3000);  // the splash is over
    ASSERT_TRUE(f.FindPage("Rete"));
    const AnsiString name = antenna->GetShortCode();
    ASSERT_FALSE(name.empty());
    for (TCella* cell = project.NetworkGrid->Anchor; cell; cell = cell->NextCell)
        ASSERT_NE(cell->GetShortCode(), name);

    TListBox* list = f.CanaliReport.Messages;
    list->Items->Clear();
    list->Items->Add(name + ": canale 47 in conflitto sull'uscita.");
    f.SelectPage("Preventivo");
    f.MessageListMouseDown(list, mbLeft, {}, 200, 2);
    f.MessageListMouseDown(list, mbLeft, {}, 200, 2);
    EXPECT_TRUE(f.IsPageSelected("Testa"));
    EXPECT_EQ(f.DrawWindow->Grid(), &headEnd);
    EXPECT_EQ(f.DrawWindow->Selection.Get().Left, 37);
    EXPECT_EQ(f.DrawWindow->Selection.Get().Top, row);
}

}  // namespace
