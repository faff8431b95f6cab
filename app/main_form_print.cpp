// The main window's print items: the producers wired to the window's
// project, pages, estimate page and installer data, the items' states when
// the print menu opens, and the print commands.
#include "app/estimate_page.h"
#include "app/main_form.h"
#include "app/program.h"
#include "core/globals.h"
#include "core/reporter.h"
#include "dialogs/installer_data.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/report_pages.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "printing/calc_print_options.h"
#include "printing/documents.h"
#include "printing/preview.h"
#include "printing/print_options.h"
#include "view/draw_window.h"

TStampa& TAntenne::Printing() {
    if (!printing_) {
        printing_ = std::make_shared<TStampa>();
        TStampa& p = *printing_;
        p.FindPage = [this](const AnsiString& caption) { return FindPage(caption); };
        p.InstallerHeader = [this] { return HeaderText; };
        p.Letterhead = [] {
            TLetterhead head;
            if (DatiIntestazione) {
                head.Firm = DatiIntestazione->EDitta->Text;
                head.Street = DatiIntestazione->EVia->Text;
                head.Town = DatiIntestazione->ECitta->Text;
                head.Telephone = DatiIntestazione->ETelefono->Text;
                head.Fax = DatiIntestazione->EFax->Text;
                head.ChamberNumber = DatiIntestazione->ENCCIAA->Text;
                head.ChamberProvince = DatiIntestazione->EPCCIAA->Text;
                head.CraftNumber = DatiIntestazione->ENAPIA->Text;
                head.CraftProvince = DatiIntestazione->EPAPIA->Text;
                head.VatNumber = DatiIntestazione->EPIva->Text;
                head.Postcode = DatiIntestazione->ECap->Text;
                head.Locality = DatiIntestazione->ELocalita->Text;
                head.Municipality = DatiIntestazione->EComune->Text;
                head.Province = DatiIntestazione->EProvincia->Text;
            }
            return head;
        };
        p.SelectedPage = [this] { return SelectedPage(); };
        p.DrawSelection = [this] {
            const TGridRect s = DrawWindow->Selection;
            return TCellRect{s.Top, s.Left, s.Bottom, s.Right};
        };
        p.RunChannelPass = [this] {
            // The commands stay off while pending messages let the bar paint.
            TCalculationRun run = CalculationRun();
            {
                TCommandLock lock(run.Window);
                ProgressBar->Position = 0;
                Application->ProcessMessages();
            }
            CanaliReport.Messages->Items->Clear();
            CanaliRichiestiReport.Messages->Items->Clear();
            if (GestoreErrori) GestoreErrori->SetTarget(CanaliReport.Messages);
            if (CurrentProject) CurrentProject->RunChannelPass(0);
            if (GestoreErrori) GestoreErrori->enabled = false;
        };
        p.CalculationsForm = new TInfoStampaCalcoli(this);
        printOptions_ = new TDatiStampa(this);
        preview_ = new TFAnteprima(this);
    }
    printing_->Project = CurrentProject;
    printing_->EstimatePage = EstimatePage;
    return *printing_;
}

void TAntenne::BindPrintCommands() {
    auto on = [this](TMenuItem* item, void (TAntenne::*handler)(TObject*)) {
        item->OnClick = Handler(this, handler);
    };
    on(SRete, &TAntenne::SReteClick);
    on(STesta, &TAntenne::STestaClick);
    on(SElencoRete, &TAntenne::SElencoReteClick);
    on(SElenco, &TAntenne::SElencoClick);
    on(STutto, &TAntenne::STuttoClick);
    on(SArea, &TAntenne::SAreaClick);
    on(SPreventivo, &TAntenne::SPreventivoClick);
    on(SCapitolato, &TAntenne::SCapitolatoClick);
    on(SCalcoli, &TAntenne::SCalcoliClick);
    on(SSelezione, &TAntenne::SSelezioneClick);
    on(SRelazioneSostegno, &TAntenne::SRelazioneSostegnoClick);
    on(SRelazioneScariche, &TAntenne::SRelazioneScaricheClick);
    // The combined print: every document chosen, previewed and printed in one job.
    SSelezione->Visible = true;
    SSelezione->Enabled = true;
    // The tender specification prints from the menu too, as the estimate does.
    SCapitolato->Visible = true;
    // The mast and lightning reports print from the menu as well.
    SRelazioneSostegno->Visible = true;
    SRelazioneScariche->Visible = true;
}

void TAntenne::UpdatePrintItems() {
    TPrintMenuContext menu;
    menu.NetworkPage = FindPage(PageRete);
    menu.HeadEndPage = FindPage(PageTesta);
    menu.EstimatePage = FindPage(PagePreventivo);
    menu.Step = CurrentProject ? CurrentProject->Step : 1;
    menu.SelectedPage = SelectedPage();
    const TGridRect s = DrawWindow->Selection;
    menu.Selection = TCellRect{s.Top, s.Left, s.Bottom, s.Right};
    menu.MastData = CurrentProject && MastReportHasData(CurrentProject->Mast.get());
    const TPrintItemsState state = PrintItemsState(menu);
    SRete->Enabled = state.NetworkScheme;
    STesta->Enabled = state.HeadEndScheme;
    SElencoRete->Enabled = state.NetworkList;
    SElenco->Enabled = state.HeadEndList;
    STutto->Enabled = state.SchemesAndLists;
    SArea->Enabled = state.SelectedArea;
    SPreventivo->Enabled = state.Estimate;
    SCapitolato->Enabled = state.Specification;
    SCalcoli->Enabled = state.Calculations;
    SRelazioneSostegno->Enabled = state.MastReport;
    SRelazioneScariche->Enabled = state.LightningReport;
}

namespace {

void Print(TAntenne* form, void (TStampa::*command)(TPrintDialog*)) {
    TPrintDialog dialog(form);
    (form->Printing().*command)(&dialog);
}

}  // namespace

void TAntenne::SReteClick(TObject*) { Print(this, &TStampa::PrintNetworkSchemeCommand); }
void TAntenne::STestaClick(TObject*) { Print(this, &TStampa::PrintHeadEndSchemeCommand); }
void TAntenne::SElencoReteClick(TObject*) { Print(this, &TStampa::PrintNetworkListCommand); }
void TAntenne::SElencoClick(TObject*) { Print(this, &TStampa::PrintHeadEndListCommand); }
void TAntenne::STuttoClick(TObject*) { Print(this, &TStampa::PrintSchemesAndListsCommand); }
void TAntenne::SAreaClick(TObject*) { Print(this, &TStampa::PrintSelectedAreaCommand); }
void TAntenne::SPreventivoClick(TObject*) { Print(this, &TStampa::PrintEstimateCommand); }
void TAntenne::SCapitolatoClick(TObject*) { Print(this, &TStampa::PrintSpecificationCommand); }
void TAntenne::SCalcoliClick(TObject*) { Print(this, &TStampa::PrintCalculationsCommand); }

// The reports print the notes and norms kept in the project, and the
// evaluation's warnings as "Segnala eventuali errori su stampa" asks.
void TAntenne::SRelazioneSostegnoClick(TObject*) {
    TPrintDialog dialog(this);
    TStampa& printing = Printing();
    printing.PrintMastReportCommand(&dialog, printOptions_->CErrori->Checked);
}

void TAntenne::SRelazioneScaricheClick(TObject*) { Print(this, &TStampa::PrintLightningReportCommand); }

void TAntenne::SSelezioneClick(TObject*) {
    TStampa& printing = Printing();
    RunCombinedPrint(printing, *printOptions_, *preview_);
}
