// The main window's pages: tabs in a fixed order, the page each shows, and
// the calculations a page runs when its grid says the result is out of date.
#include <algorithm>
#include <utility>
#include <vector>

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
#include "platform/menus.h"
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

namespace {

// What a calculation asks of the main window: its menus, page tabs, step
// button and drawing kept off while pending messages run (one of them could
// free or replace the project the calculation walks), and its progress panel.
class TMainCalculationWindow final : public TCalculationWindow {
public:
    explicit TMainCalculationWindow(TAntenne& form) : form_(form) {}
    void LockCommands() override {
        if (depth_++ > 0) return;
        std::vector<TComponent*> commands;
        for (int i = 0; i < form_.MainMenu->Items->Count(); ++i) commands.push_back(form_.MainMenu->Items->Items[i]);
        commands.push_back(form_.TabControl);
        commands.push_back(form_.NextButton);
        commands.push_back(form_.DrawWindow);
        for (TComponent* c : commands) {
            if (auto* item = dynamic_cast<TMenuItem*>(c)) {
                saved_.emplace_back(c, item->Enabled.Get());
                item->Enabled = false;
            } else if (auto* control = dynamic_cast<TControl*>(c)) {
                saved_.emplace_back(c, control->Enabled.Get());
                control->Enabled = false;
            }
        }
    }
    void UnlockCommands() override {
        if (depth_ == 0 || --depth_ > 0) return;
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (auto* item = dynamic_cast<TMenuItem*>(it->first))
                item->Enabled = it->second;
            else if (auto* control = dynamic_cast<TControl*>(it->first))
                control->Enabled = it->second;
        }
        saved_.clear();
    }
    void ShowProgress() override {
        form_.ProgressBar->Min = 0;
        form_.ProgressBar->Max = 100;
        form_.ProgressBar->Position = 0;
        form_.ProgressPanel->Visible = true;
    }
    void SetProgress(int percent) override { form_.ProgressBar->Position = percent; }
    void HideProgress() override { form_.ProgressPanel->Visible = false; }

private:
    TAntenne& form_;
    int depth_ = 0;
    std::vector<std::pair<TComponent*, bool>> saved_;
};

}  // namespace

TCalculationRun TAntenne::CalculationRun() {
    if (!calculationWindow_) calculationWindow_ = std::make_unique<TMainCalculationWindow>(*this);
    TCalculationRun run;
    run.Project = CurrentProject;
    run.Window = calculationWindow_.get();
    run.Cancel = &CancelFlag;
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
        FocusShownPage();
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
    FocusShownPage();
}

void TAntenne::FocusShownPage() {
    // The keyboard goes to the page shown, never to the step button, whose
    // Space or Invio would open the wizard.
    auto* page = dynamic_cast<TWinControl*>(PagePanel(SelectedPage()));
    if (!page || !page->Visible || !page->CanFocus()) return;
    TWinControl* target = page->TabStop ? page : page->FindNextControl(nullptr, true, true);
    if (target && target->CanFocus()) FocusControl(target);
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
