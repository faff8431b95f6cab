// The print menu's commands: lists, estimate, tender specification, schemes and calculations.
#include "core/globals.h"
#include "core/options.h"
#include "core/reporter.h"
#include "document/estimate_amounts.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/dialogs.h"
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

void TStampa::PrintNetworkListCommand(TPrintDialog* dialog) {
    if (dialog->Execute()) PrintComponentListJob(ListNetwork);
}

void TStampa::PrintHeadEndListCommand(TPrintDialog* dialog) {
    if (dialog->Execute()) PrintComponentListJob(ListHeadEnd);
}

void TStampa::PrintEstimateCommand(TPrintDialog* dialog) {
    if (EstimatePage) EstimatePage->BuildEstimate();
    if (dialog->Execute()) PrintEstimateJob(true);
}

void TStampa::PrintSpecificationCommand(TPrintDialog* dialog) {
    if (EstimatePage) EstimatePage->BuildEstimate();
    if (dialog->Execute()) PrintEstimateJob(false);
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
    if (!SchemeArea(NetworkSchemeFlags(), area) || !dialog->Execute()) return;
    PrintJob([&] { PrintNetwork(0); }, SchemeOrientation(NetworkSchemeFlags()));
}

void TStampa::PrintHeadEndSchemeCommand(TPrintDialog* dialog) {
    TSchemeArea area;
    if (!SchemeArea(HeadEndSchemeFlags(), area) || !dialog->Execute()) return;
    PrintJob([&] { PrintHeadEnd(0); }, SchemeOrientation(HeadEndSchemeFlags()));
}

void TStampa::PrintSelectedAreaCommand(TPrintDialog* dialog) {
    const bool network = SelectedPage && SelectedPage() == "Rete";
    const int32_t flags = (Opzioni && Opzioni->showAttenuations ? 0x2CC : 0x21C) + (network ? 1 : 2);
    TSchemeArea area;
    if (!SchemeArea(flags, area) || !dialog->Execute()) return;
    PrintJob([&] { PrintScheme(flags, Opzioni ? Opzioni->maxCellWidth : 0.0f, 0); },
             SchemeOrientation(flags));
}

void TStampa::PrintSchemesAndListsCommand(TPrintDialog* dialog) {
    const bool network = Project && Drawn(Project->NetworkGrid, true);
    const bool headEnd = Project && Drawn(Project->HeadEndGrid, false);
    if ((!network && !headEnd) || !dialog->Execute()) return;
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
    if (!dialog->Execute()) return;
    const bool all = f->CTutte->Checked;
    PrintJob([&] {
        PrintSignalLimits(f->CMinMaxTesta->Checked, f->CMinMaxPrese->Checked, all, f->LPrese, 0);
        PrintOutletSeparations(f->CSepPrese->Checked, all, f->LPrese, 0);
        PrintChannelTable(f->CCanaliTesta->Checked, f->CCanaliPrese->Checked, all, f->LPrese, 0);
    });
}
