// The main window's pages: tabs in a fixed order, the page each shows, and
// the calculations a page runs when its grid says the result is out of date.
#include <algorithm>

#include "app/estimate_page.h"
#include "app/lightning_pages.h"
#include "app/main_form.h"
#include "app/mast_page.h"
#include "core/globals.h"
#include "core/options.h"
#include "dialogs/codes_palette.h"
#include "dialogs/component_palette.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/report_pages.h"
#include "view/draw_window.h"

namespace {

constexpr const char* PageCaptions[] = {PageRete,          PageTesta,
                                        PageCalcoliRete,   PageCalcoliReteRichiesti,
                                        PageCalcoliCanali, PageCalcoliCanaliRichiesti,
                                        PagePreventivo,    PageSostegno,
                                        PageFulmini811,    PageFulmini8110};

bool IsReportPage(const AnsiString& caption) {
    return caption == PageCalcoliRete || caption == PageCalcoliReteRichiesti ||
           caption == PageCalcoliCanali || caption == PageCalcoliCanaliRichiesti;
}

}  // namespace

int TAntenne::PageOrder(const AnsiString& caption) {
    for (int i = 0; i < static_cast<int>(std::size(PageCaptions)); ++i)
        if (caption == PageCaptions[i]) return i;
    return 0;
}

void TAntenne::AddPage(const AnsiString& caption) {
    TStringList* tabs = TabControl->Tabs;
    const int order = PageOrder(caption);
    int i = 0;
    while (i < tabs->Count() && PageOrder(tabs->Strings(i)) < order) ++i;
    if (i < tabs->Count() && tabs->Strings(i) == caption) return;
    const int selected = TabControl->TabIndex;
    tabs->Insert(i, caption);
    // The selected page stays selected when a tab goes in before it.
    if (selected >= i) TabControl->TabIndex = selected + 1;
    if (IsReportPage(caption)) ReportPages().AddPage(caption);
}

void TAntenne::RemovePage(const AnsiString& caption) {
    TStringList* tabs = TabControl->Tabs;
    const int index = tabs->IndexOf(caption);
    if (index < 0) return;
    const int selected = TabControl->TabIndex;
    tabs->Delete(index);
    if (IsReportPage(caption)) ReportPages().RemovePage(caption);
    if (index == selected) {
        TabControl->TabIndex = tabs->Count() > 0 ? 0 : -1;
        ShowSelectedPage();
    } else if (index < selected) {
        TabControl->TabIndex = selected - 1;
    }
}

void TAntenne::SelectPage(const AnsiString& caption) {
    const int index = TabControl->Tabs->IndexOf(caption);
    if (index < 0) return;
    TabControl->TabIndex = index;
    ShowSelectedPage();
}

bool TAntenne::FindPage(const AnsiString& caption) const { return TabControl->Tabs->IndexOf(caption) >= 0; }

AnsiString TAntenne::SelectedPage() const {
    const int index = TabControl->TabIndex;
    return index >= 0 && index < TabControl->Tabs->Count() ? TabControl->Tabs->Strings(index) : AnsiString();
}

bool TAntenne::IsPageSelected(const AnsiString& caption) const { return SelectedPage() == caption; }

TControl* TAntenne::PagePanel(const AnsiString& caption) const {
    if (caption == PageCalcoliRete) return ReteReport.Panel;
    if (caption == PageCalcoliReteRichiesti) return ReteRichiestiReport.Panel;
    if (caption == PageCalcoliCanali) return CanaliReport.Panel;
    if (caption == PageCalcoliCanaliRichiesti) return CanaliRichiestiReport.Panel;
    if (caption == PagePreventivo) return EstimatePage;
    if (caption == PageSostegno) return MastPage;
    if (caption == PageFulmini811) return Lightning811Page;
    if (caption == PageFulmini8110) return Lightning8110Page;
    return DrawWindow;
}

void TAntenne::HideAllPages() {
    DrawWindow->Visible = false;
    Palette->Visible = false;
    CodesPanel->Visible = false;
    for (const char* caption : PageCaptions)
        if (TControl* panel = PagePanel(caption); panel != DrawWindow) panel->Visible = false;
    StatusBar->Panels->Items[0]->Text = "";
    NextButton->Enabled = true;
}

TCalculationRun TAntenne::CalculationRun() {
    TCalculationRun run;
    run.Project = CurrentProject;
    run.Progress = ProgressBar;
    run.ProgressPanel = ProgressPanel;
    run.Cancel = &CancelFlag;
    for (int i = 0; i < MainMenu->Items->Count(); ++i) run.Locked.push_back(MainMenu->Items->Items[i]);
    run.Locked.push_back(TabControl);
    run.Locked.push_back(NextButton);
    run.Locked.push_back(DrawWindow);
    return run;
}

void TAntenne::ShowSelectedPage() {
    const AnsiString caption = SelectedPage();
    DrawWindow->HideEditor();
    DrawWindow->ClearSignSelection();
    Modify1->Visible = false;
    TProgetto* project = CurrentProject;

    if (caption == PageRete || caption == PageTesta) {
        // The edit menu carries the drawing's commands too.
        Modify1->Visible = true;
        if (project) DrawWindow->SetGrid(caption == PageRete ? project->NetworkGrid : project->HeadEndGrid);
        Palette->ShowMode(caption == PageRete ? 1 : 0);
        if (!DrawWindow->Visible) {
            HideAllPages();
            const bool drawing = !project || project->Step == 1;
            Palette->Visible = drawing && Opzioni && Opzioni->showToolbar;
            CodesPanel->Visible = drawing && Opzioni && Opzioni->showCodesPanel;
            LayoutPanels();
            DrawWindow->Visible = true;
        }
        return;
    }
    if (!project) return;
    TGridData* network = project->NetworkGrid;
    TGridData* headEnd = project->HeadEndGrid;
    if (caption == PageCalcoliRete) {
        if (network->NetworkOutOfDate) {
            TCalculationRun run = CalculationRun();
            RunNetworkCalculations(run, ReteReport.Report);
        }
    } else if (caption == PageCalcoliReteRichiesti) {
        if (network->RequiredOutOfDate) {
            ReportRequiredLevels(*project, ReteRichiestiReport.Report);
            network->RequiredOutOfDate = false;
        }
    } else if (caption == PageCalcoliCanali) {
        if (network->ChannelsOutOfDate || headEnd->ChannelsOutOfDate) {
            TCalculationRun run = CalculationRun();
            RunChannelCalculations(run, CanaliReport.Header, CanaliReport.Report, CanaliReport.Messages);
        }
    } else if (caption == PageCalcoliCanaliRichiesti) {
        if (network->RequiredChannelsOutOfDate || headEnd->RequiredChannelsOutOfDate) {
            TCalculationRun run = CalculationRun();
            run.ProgressPanel = nullptr;
            RunRequiredChannelCalculations(run, CanaliRichiestiReport.Report, CanaliRichiestiReport.Messages);
        }
    } else if (caption == PagePreventivo) {
        Modify1->Visible = true;
        EstimatePage->BuildEstimate();
    }
    HideAllPages();
    if (TControl* panel = PagePanel(caption); panel != DrawWindow) panel->Visible = true;
    if (caption == PageSostegno || caption == PageFulmini811 || caption == PageFulmini8110)
        NextButton->Enabled = false;
}

void TAntenne::TabControlChange(TObject*) { ShowSelectedPage(); }

void TAntenne::UpdateCalculationPages() {
    TProgetto* project = CurrentProject;
    if (!project || project->Step == 1) return;
    const bool network = project->NetworkGrid->AllCellsDescribed(false) && FindPage(PageRete);
    const bool channels = project->HeadEndGrid->AllCellsDescribed(false) && FindPage(PageTesta) &&
                          (!FindPage(PageRete) || project->NetworkGrid->AllCellsDescribed(false));
    if (network) AddPage(PageCalcoliRete);
    if (channels) AddPage(PageCalcoliCanali);
    if (network) AddPage(PageCalcoliReteRichiesti);
    if (channels) AddPage(PageCalcoliCanaliRichiesti);
    // The calculation menu comes with its commands.
    UpdatePrintItems();
    ReportSeparatorText = ReportSeparator();
}

void TAntenne::UpdateEstimatePage() {
    TProgetto* project = CurrentProject;
    if (!project || project->Step == 1) return;
    if (project->NetworkGrid->AllCellsDescribed(true) && project->HeadEndGrid->AllCellsDescribed(true))
        AddPage(PagePreventivo);
    UpdatePrintItems();
}

void TAntenne::ProgressCancelClick(TObject*) { CancelFlag = true; }
