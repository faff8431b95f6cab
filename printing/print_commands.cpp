// The print menu's commands: lists, estimate, tender specification, schemes and calculations.
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "document/estimate_amounts.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/printers.h"
#include "printing/calc_print_options.h"
#include "printing/documents.h"

TPrintItemsState PrintItemsState(const TPrintMenuContext& m) {
    TPrintItemsState s;
    s.NetworkScheme = m.NetworkPage;
    s.HeadEndScheme = m.HeadEndPage;
    s.NetworkList = m.NetworkPage && m.Step > 1;
    s.HeadEndList = m.HeadEndPage && m.Step > 1;
    s.SchemesAndLists = s.NetworkList || s.HeadEndList;
    s.Calculations = m.Step >= 2;
    s.SelectedArea = (m.SelectedPage == "Rete" || m.SelectedPage == "Testa") &&
                     m.Selection.Left < m.Selection.Right && m.Selection.Top < m.Selection.Bottom;
    s.Estimate = m.EstimatePage;
    s.Specification = m.EstimatePage;
    s.MastReport = m.MastData;
    s.LightningReport = true;
    return s;
}

AnsiString TStampa::OutputFileName(const AnsiString& document) const {
    const AnsiString project = Project ? FileBaseName(Project->Name) : AnsiString();
    if (project.empty()) return document;
    return document.empty() ? project : project + " - " + document;
}

bool TStampa::AskPrinter(TPrintDialog* dialog, const AnsiString& document) {
    Printer()->FileName = OutputFileName(document);
    return dialog->Execute();
}

void TStampa::PrintNetworkListCommand(TPrintDialog* dialog) {
    if (AskPrinter(dialog, "Elenco componenti di rete")) PrintComponentListJob(ListNetwork);
}

void TStampa::PrintHeadEndListCommand(TPrintDialog* dialog) {
    if (AskPrinter(dialog, "Elenco componenti di testa")) PrintComponentListJob(ListHeadEnd);
}

void TStampa::PrintEstimateCommand(TPrintDialog* dialog) {
    if (EstimatePage) EstimatePage->BuildEstimate();
    if (AskPrinter(dialog, "Preventivo")) PrintEstimateJob(true);
}

void TStampa::PrintSpecificationCommand(TPrintDialog* dialog) {
    if (EstimatePage) EstimatePage->BuildEstimate();
    if (AskPrinter(dialog, "Capitolato")) PrintEstimateJob(false);
}

namespace {

// A cell on any square outside the rows of the head-end terminal: row 0 of
// the network grid, the last row of the head-end grid.
bool Drawn(const TGridData* grid, bool network) {
    if (!grid) return false;
    const int32_t kept = network ? 0 : grid->Rows - 1;
    for (int32_t column = 0; column < grid->Columns; ++column)
        for (int32_t row = 0; row < grid->Rows; ++row)
            if (row != kept && grid->CellAt(column, row)) return true;
    return false;
}

}  // namespace

void TStampa::PrintNetworkSchemeCommand(TPrintDialog* dialog) {
    TSchemeArea area;
    if (!SchemeArea(NetworkSchemeFlags(), area) || !AskPrinter(dialog, "Rete")) return;
    PrintJob([&] { PrintNetwork(0); }, SchemeOrientation(NetworkSchemeFlags()));
}

void TStampa::PrintHeadEndSchemeCommand(TPrintDialog* dialog) {
    TSchemeArea area;
    if (!SchemeArea(HeadEndSchemeFlags(), area) || !AskPrinter(dialog, "Testa")) return;
    PrintJob([&] { PrintHeadEnd(0); }, SchemeOrientation(HeadEndSchemeFlags()));
}

void TStampa::PrintSelectedAreaCommand(TPrintDialog* dialog) {
    const bool network = SelectedPage && SelectedPage() == "Rete";
    const int32_t flags =
        (network ? NetworkSchemeFlags() : HeadEndSchemeFlags()) | SchemeSelection;
    TSchemeArea area;
    if (!SchemeArea(flags, area) || !AskPrinter(dialog, "Area selezionata")) return;
    PrintJob([&] { PrintScheme(flags, Opzioni ? Opzioni->maxCellWidth : 0.0f, 0); },
             SchemeOrientation(flags));
}

void TStampa::PrintSchemesAndListsCommand(TPrintDialog* dialog) {
    const bool network = Project && Drawn(Project->NetworkGrid, true);
    const bool headEnd = Project && Drawn(Project->HeadEndGrid, false);
    if ((!network && !headEnd) || !AskPrinter(dialog, "Schemi ed elenco")) return;
    const TPrinterOrientation first =
        SchemeOrientation(network ? NetworkSchemeFlags() : HeadEndSchemeFlags());
    PrintJob(
        [&] {
            if (network) PrintNetwork(0);
            if (headEnd) PrintHeadEnd(0);
            if (headEnd) PrintComponentList(ListHeadEnd, 0);
            if (network) PrintComponentList(ListNetwork, 0);
        },
        first);
}

void TStampa::PrintCalculationsCommand(TPrintDialog* dialog) {
    TInfoStampaCalcoli* f = CalculationsForm;
    if (!f || !Project || !Project->NetworkGrid) return;
    f->LPrese->Items->Clear();
    for (TCella* o = Project->NetworkGrid->FirstOutlet; o; o = o->NextOutlet)
        f->LPrese->Items->Add(o->GetShortCode());
    f->CTutte->Checked = true;
    f->LPrese->Enabled = false;
    const bool channels = FindPage && FindPage("Calcoli canali");
    for (TControl* c : std::initializer_list<TControl*>{f->GCanali, f->CCanaliTesta, f->CCanaliPrese})
        c->Enabled = channels;
    if (!channels) f->CCanaliTesta->Checked = f->CCanaliPrese->Checked = false;
    if (f->ShowModal() != mrOk) return;
    if (!f->AnyTable()) {
        Application->MessageBox("Nessuna tabella selezionata per la stampa.", ApplicationTitle,
                                MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!AskPrinter(dialog, "Calcoli")) return;
    const bool all = f->CTutte->Checked;
    PrintJob([&] {
        PrintSignalLimits(f->CMinMaxTesta->Checked, f->CMinMaxPrese->Checked, all, f->LPrese, 0);
        PrintOutletSeparations(f->CSepPrese->Checked, all, f->LPrese, 0);
        PrintChannelTable(f->CCanaliTesta->Checked, f->CCanaliPrese->Checked, all, f->LPrese, 0);
    });
}
