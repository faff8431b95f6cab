#include "app/main_form.h"

#include "app/about_box.h"
#include "app/estimate_page.h"
#include "app/lightning_pages.h"
#include "app/mast_page.h"
#include "app/program.h"
#include "core/project_folder.h"
#include "autodesign/engine.h"
#include "autodesign/wizard.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/libraries.h"
#include "core/options.h"
#include "core/reporter.h"
#include "dialogs/codes_palette.h"
#include "dialogs/component_palette.h"
#include "dialogs/installer_data.h"
#include "dialogs/mast_sizing.h"
#include "dialogs/price_list.h"
#include "document/circuit_errors.h"
#include "document/design_settings.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/report_pages.h"
#include "platform/application.h"
#include "view/draw_window.h"

namespace {

constexpr int SplashTicks = 3;
constexpr int ProgressWidth = 337;
constexpr int ProgressHeight = 142;
constexpr int MastScrollStart = 2000;
constexpr const char* DefaultLibraryFile = "Varne.alb";

TLabel* MakeProgressLabel(TPanel* panel, int top, const char* caption) {
    TLabel* label = MakeControl<TLabel>(panel, panel, 0, top, ProgressWidth, 24);
    label->AutoSize = false;
    label->Alignment = taCenter;
    label->Font->Height = -19;
    label->Caption = caption;
    return label;
}

}  // namespace

TAntenne::TAntenne(TComponent* owner) : TForm(owner), files_(this, this) {
    Caption = ApplicationTitle;
    HorzScrollBar->Visible = false;
    VertScrollBar->Visible = false;
    AutoScroll = false;
    WindowState = wsMaximized;
    SetBounds(0, 0, 1024, 740);
    OnShow = Handler(this, &TAntenne::FormShow);
    OnActivate = Handler(this, &TAntenne::FormActivate);
    OnCloseQuery = Handler(this, &TAntenne::FormCloseQuery);
    OnResize = Handler(this, &TAntenne::FormResize);

    StatusBar = MakeControl<TStatusBar>(this, this, 0, 0, 400, 21);
    for (int i = 0; i < 4; ++i) StatusBar->Panels->Add();

    NextButton = MakeControl<TButton>(this, this, 0, 0, 100, 21);
    NextButton->Caption = NextCaption;
    NextButton->OnClick = Handler(this, &TAntenne::OnNextClick);

    TabControl = MakeControl<TTabControl>(this, this, 0, 0, 400, 300);
    TabControl->OnChange = Handler(this, &TAntenne::TabControlChange);

    DrawWindow = MakeControl<TDrawWindow>(this, TabControl, 0, 8, 300, 200);
    DrawWindow->GridLineWidth = 0;
    DrawWindow->Visible = false;
    DrawWindow->StatusBar = StatusBar;

    CreateCodesPanel();
    CreateReportPages();
    EstimatePage = MakeControl<TPaginaPreventivo>(this, TabControl, 0, 0, 760, 480);
    EstimatePage->Visible = false;
    MastPage = new TPaginaSostegno(this);
    MastPage->Parent = TabControl;
    MastPage->Visible = false;
    Lightning811Page = new TPaginaFulmini811(this);
    Lightning811Page->Parent = TabControl;
    Lightning811Page->Visible = false;
    Lightning8110Page = new TPaginaFulmini8110(this);
    Lightning8110Page->Parent = TabControl;
    Lightning8110Page->Visible = false;
    CreateProgressPanel();

    Timer = new TTimer(this);
    Timer->Enabled = false;
    Timer->Interval = 1000;
    Timer->OnTimer = Handler(this, &TAntenne::TimerTimer);
    OpenDialog = new TOpenDialog(this);
    SaveDialog = files_.SaveDialog.get();

    SetMenuCaptions();
    SetDialogTexts();
    CreatePalette();
    CodesPanel->Components = Palette;
    Palette->CodesPanel = CodesPanel;
    Palette->DrawWindow = DrawWindow;
    DrawWindow->Palette = Palette;

    ReportPages().ReportColour = clBlue;
    CancelFlag = false;
    if (Opzioni) {
        DrawWindow->DefaultColWidth = Opzioni->gridWidth;
        DrawWindow->DefaultRowHeight = Opzioni->gridWidth;
    }
    ProgramDir = ProgramDirectory();
    ProjectFolder().Clear();
    if (Ini) {
        OpenDialog->InitialDir = Ini->String("DirProgetti");
        SaveDialog->InitialDir = OpenDialog->InitialDir;
    }
    Modify1->Visible = false;
}

TAntenne::~TAntenne() {
    // The project's cells use the options, prototypes and reporter until
    // they are gone: the project goes before the program-wide objects.
    if (project_) {
        DrawWindow->DetachGrid(project_->NetworkGrid);
        DrawWindow->DetachGrid(project_->HeadEndGrid);
    }
    EstimatePage->SetProject(nullptr);
    MastPage->SetProject(nullptr);
    Lightning811Page->SetProject(nullptr);
    Lightning8110Page->SetProject(nullptr);
    if (GestoreErrori) GestoreErrori->SetTarget(nullptr), GestoreErrori->enabled = false;
    project_.reset();
    CurrentProject = nullptr;
    designer_.reset();  // clears CreaAuto
    ResetDesignSettings();
    ReportPages().Clear();
    DestroyGlobals();
    if (Antenne == this) Antenne = nullptr;
}

void TAntenne::BindForms() {
    if (DatiIntestazione) DatiIntestazione->OnReload = [this] { LoadFirmData(); };
    if (DatiAutSost) MastPage->DatiAutSost = DatiAutSost;
    // The estimate page's trailing row takes its articles from the price list.
    if (DatiListino) DatiListino->AttachTo(EstimatePage);
}

// ---------------------------------------------------------------- controls made in code

TReportPage TAntenne::MakeReportPage(bool channels) {
    TReportPage page;
    page.Panel = MakeControl<TPanel>(this, TabControl, 0, 0, 400, 300);
    page.Panel->BevelOuter = bvNone;
    page.Panel->Caption = "";
    page.Panel->Visible = false;
    page.Header = MakeControl<TRichEdit>(this, page.Panel, 8, 8, 384, channels ? 25 : 41);
    page.Header->ReadOnly = true;
    page.Report = MakeControl<TRichEdit>(this, page.Panel, 8, channels ? 40 : 56, 384, channels ? 65 : 236);
    page.Report->ReadOnly = true;
    page.Report->ScrollBars = ssVertical;
    if (!channels) {
        // The band heading above and every row of the report stand in the same columns.
        SetNetworkReportColumns(page.Header);
        SetNetworkReportColumns(page.Report);
    }
    if (channels) {
        page.Messages = MakeControl<TListBox>(this, page.Panel, 8, 112, 384, 180);
        page.Messages->OnMouseDown = Handler(this, &TAntenne::MessageListMouseDown);
    }
    return page;
}

void TAntenne::CreateCodesPanel() {
    CodesPanel = new TPannelloCodici(this);
    CodesPanel->Parent = TabControl;
    CodesPanel->Visible = false;
}

void TAntenne::CreatePalette() {
    Palette = new TPannelloComponenti(this);
    Palette->Parent = TabControl;
    Palette->Align = alNone;
    Palette->Visible = false;
}

void TAntenne::CreateReportPages() {
    ReteReport = MakeReportPage(false);
    ReteRichiestiReport = MakeReportPage(false);
    CanaliReport = MakeReportPage(true);
    CanaliRichiestiReport = MakeReportPage(true);
}

void TAntenne::CreateProgressPanel() {
    ProgressPanel = MakeControl<TPanel>(this, this, 0, 0, ProgressWidth, ProgressHeight);
    ProgressPanel->Caption = "";
    ProgressPanel->Visible = false;
    MakeProgressLabel(ProgressPanel, 16, "Attendere");
    MakeProgressLabel(ProgressPanel, 40, "Elaborazione in corso");
    ProgressBar = MakeControl<TProgressBar>(this, ProgressPanel, 24, 80, 281, 17);
    ProgressCancel = MakeControl<TButton>(this, ProgressPanel, 128, 104, 75, 25);
    ProgressCancel->Caption = "Annulla";
    ProgressCancel->Visible = false;
    ProgressCancel->OnClick = Handler(this, &TAntenne::ProgressCancelClick);
}

void TAntenne::SetDialogTexts() {
    for (TOpenDialog* d : {OpenDialog, static_cast<TOpenDialog*>(SaveDialog)}) {
        d->Filter = "Progetto di Ordivex Varne (*.ant)|*.ant";
        d->DefaultExt = "ant";
        // Each time in the folder of the project last opened or saved, the
        // name alone kept for the file proposed.
        d->OnShow = [d](TObject*) {
            d->InitialDir = ProjectFolder().Folder();
            d->FileName = ExtractFileName(d->FileName);
        };
    }
}

// ---------------------------------------------------------------- start-up

void TAntenne::FormShow(TObject*) {
    TickCounter = 0;
    Timer->Interval = 1000;
    Timer->Enabled = true;
    splash_ = AboutBox != nullptr;
    if (AboutBox) AboutBox->Show();
    Application->ProcessMessages();
    startingUp_ = true;
    StartUp();
    LoadFirmData();
    MastPage->ScrollSostegno->VertScrollBar->Position = MastScrollStart;
    startingUp_ = false;
    // An activation that came while a start-up warning was open was put off.
    if (Active()) FormActivate(this);
    // The splash stays for three ticks counted from the start of the showing;
    // the third one ends it (TimerTimer), so nothing waits here.
}

void TAntenne::TimerTimer(TObject*) {
    ++TickCounter;
    if (Timer->Interval < 1000) Timer->Enabled = false;
    if (splash_ && TickCounter >= SplashTicks) FinishSplash();
}

void TAntenne::FinishSplash() {
    splash_ = false;
    if (AboutBox) AboutBox->Hide();
    Timer->Enabled = false;
    FillLibraryTrees();
    if (startWizardPending_ && !startingUp_) {
        startWizardPending_ = false;
        RunAutoDesignWizard(true, true);
    }
}

void TAntenne::FillLibraryTrees() {
    // The codes panel's, the price list's and the design wizard's trees.
    CodesPanel->LibrariesChanged();
    if (DatiListino) DatiListino->LibrariesChanged();
    if (Wizard) Wizard->FillComponentPickers();
}

void TAntenne::StartUp() {
    AddPage(PageRete);
    AddPage(PageTesta);
    AddPage(PageSostegno);
    AddPage(PageFulmini811);
    AddPage(PageFulmini8110);

    if (Opzioni && Ini) {
        TIniUpdate update(*Ini);
        for (const TDisplaySwitch& s : DisplaySwitches()) {
            if (!s.ClearedAtStart || !s.Flag) continue;
            Opzioni->*s.Flag = false;
            Ini->WriteBool(s.Key, false);
        }
    }
    ApplyDisplayOptions();

    // The default library beside the program; without it the list stays empty.
    const AnsiString library = ProgramDir + DefaultLibraryFile;
    if (FileExists(library)) {
        if (Librerie) {
            auto l = std::make_unique<TLibreria>();
            l->fileName = library;
            Librerie->Append(std::move(l));
        }
    } else {
        Application->MessageBox(
            "La libreria predefinita " + library + " non è stata trovata: l'elenco delle librerie è vuoto.",
            ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
    }
    RegisterFolderLibraries();

    // The estimate's cursor waits on the first row's minutes.
    EstimatePage->PlaceCurrentCell(4, 1);

    files_.LoadRecentFiles();
    LayoutForm();
    Realign();

    project_ = std::make_unique<TProgetto>(this);
    CurrentProject = project_.get();
    files_.ResetProject(*project_, true);
    EstimatePage->SetProject(CurrentProject);
    // The designer's settings are the engine's: it is made before a project
    // is read, so that the project's designer data go into them.
    CreateDesigner();

    TabelleFulmini811().Reset();

    int loaded = -1;
    if (!CommandLineFile.empty()) loaded = LoadProject(CommandLineFile, *project_);
    ShowProject(project_.get());
    if (!CommandLineFile.empty() && loaded == 0) AfterLoad();
}

int TAntenne::LoadFirmData() {
    HeaderText = " ";
    if (!Ini || !DatiIntestazione || Ini->String("IDitta1").empty()) {
        // No firm: the panel is blanked too, so that a line shown before
        // (a firm typed and then cancelled) does not stay.
        StatusBar->Panels->Items[1]->Text = HeaderText;
        return 0;
    }
    DatiIntestazione->LoadStoredValues();
    HeaderText = DatiIntestazione->BuildHeaderText();
    StatusBar->Panels->Items[1]->Text = HeaderText;
    return 1;
}

// ---------------------------------------------------------------- the project shown

void TAntenne::ShowProject(TProgetto* project) {
    if (!project) return;
    CurrentProject = project;
    DrawWindow->SetGrid(project->NetworkGrid);
    RebuildPages();
    Caption = AnsiString(ApplicationTitle) + " - [" + project->Name + "]";
    DrawWindow->TopRow = 0;
    DrawWindow->LeftCol = std::max(0, project->NetworkGrid->Columns / 2 - DrawWindow->VisibleColCount() / 2);
    EstimatePage->SetProject(project);
    MastPage->SetProject(project);
    Lightning811Page->SetProject(project);
    Lightning8110Page->SetProject(project);
}

void TAntenne::RebuildPages() {
    TGridData* grid = CurrentProject->NetworkGrid;
    const int middle = grid->Columns / 2;
    DrawWindow->Selection = TGridRect{middle, 0, middle, 0};
    TGridOptions options = DrawWindow->Options;
    if (Palette->CurrentTool() == ToolArrow)
        options << goRangeSelect;
    else
        options >> goRangeSelect;
    DrawWindow->Options = options;
    NextButton->Caption = NextCaption;
    Palette->Visible = Opzioni && Opzioni->showToolbar;
    CodesPanel->Visible = Opzioni && Opzioni->showCodesPanel;
    LayoutPanels();
    AddPage(PageRete);
    AddPage(PageTesta);
    for (const char* page : {PageCalcoliReteRichiesti, PageCalcoliRete, PageCalcoliCanali,
                             PageCalcoliCanaliRichiesti, PagePreventivo})
        RemovePage(page);
    SelectPage(PageRete);
    DrawWindow->LeftCol = std::max(0, (grid->Columns - 1 - DrawWindow->VisibleColCount()) / 2);
    DrawWindow->TopRow = 0;
    Updating = true;
    for (TEdit* note : EstimatePage->Note) note->Text = "";
    Updating = false;
    // A project begun anew: the estimate's cursor on the first row's quantity.
    EstimatePage->PlaceCurrentCell(6, 1);
}

void TAntenne::AfterLoad() {
    TProgetto& project = *CurrentProject;
    if (!project.AnalyseGrids()) {
        if (GestoreErrori && GestoreErrori->PendingError()) {
            const TErroreCircuito& e = *GestoreErrori->PendingError();
            ShowCircuitError(e.Column, e.Row, e.Side, GridOf(e.Grid), e.Kind);
        }
        return;
    }
    if (!project.HeadEndGrid->HasComponents()) RemovePage(PageTesta);
    if (!project.NetworkGrid->HasComponents()) RemovePage(PageRete);
    NextButton->Caption = BackCaption;
    // Step 2 whatever the step was: a second call must not leave the steps
    // the commands ask for.
    project.Step = 2;
    const TGridRect sel = DrawWindow->Selection;
    DrawWindow->Selection = TGridRect{sel.Left, sel.Top, sel.Left, sel.Top};
    Palette->Visible = false;
    CodesPanel->Visible = false;
    TGridOptions options = DrawWindow->Options;
    options << goRangeSelect;
    DrawWindow->Options = options;
    LayoutPanels();
    DrawWindow->Invalidate();
    UpdateCalculationPages();
    UpdateEstimatePage();
    WriteBandHeaderOnly(ReteReport.Header);
    WriteBandHeaderOnly(ReteRichiestiReport.Header);
}

void TAntenne::ShowCircuitError(int32_t column, int32_t row, int32_t, TGridData* grid, int32_t kind) {
    if (!grid) return;
    if (DrawWindow->Grid() != grid) SelectPage(grid->Kind == GridNetwork ? PageRete : PageTesta);
    if (DrawWindow->Grid() == grid && grid->Inside(column, row)) {
        grid->SetErrorMark(column, row, 1);
        const int visibleColumns = DrawWindow->VisibleColCount();
        const int visibleRows = DrawWindow->VisibleRowCount();
        if (column < DrawWindow->LeftCol || column >= DrawWindow->LeftCol + visibleColumns)
            DrawWindow->LeftCol = std::max(
                0, std::min(std::max(0, column - visibleColumns / 2), grid->Columns - visibleColumns));
        if (row < DrawWindow->TopRow || row >= DrawWindow->TopRow + visibleRows)
            DrawWindow->TopRow =
                std::max(0, std::min(std::max(0, row - visibleRows / 2), grid->Rows - visibleRows));
        DrawWindow->RepaintCell(column, row);
    }
    const AnsiString message = CircuitErrorMessage(kind);
    if (!message.empty()) Application->MessageBox(message, ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
}

void TAntenne::ClearSignSelection() {
    DrawWindow->ClearSignSelection();
    // The project's grids are about to be replaced (a load frees the old
    // ones): the window lets go of the grid it shows until ShowProject.
    if (TGridData* grid = DrawWindow->Grid()) DrawWindow->DetachGrid(grid);
}

void TAntenne::ShowItem(int index, const AnsiString& caption) {
    TMenuItem* items[] = {FileName1, FileName2, FileName3, FileName4};
    if (index < 0 || index >= RecentFileCount) return;
    items[index]->Caption = caption;
    items[index]->Visible = true;
}

void TAntenne::ShowSeparator() { FileNameLine->Visible = true; }

// ---------------------------------------------------------------- closing

void TAntenne::FormCloseQuery(TObject*, bool& CanClose) {
    CanClose = !(CurrentProject && CurrentProject->Modified && QuerySaveChanges() == IDCANCEL);
}

// ---------------------------------------------------------------- layout

void TAntenne::FormResize(TObject*) {
    DrawWindow->BeginUpdate();
    LayoutForm();
    DrawWindow->EndUpdate();
}

void TAntenne::LayoutForm() {
    const int width = ClientWidth;
    const int height = ClientHeight;
    const int barHeight = StatusBar->Height;
    const int barTop = height - barHeight;
    StatusBar->SetBounds(0, barTop, width, barHeight);
    StatusBar->Panels->Items[0]->Width = 80;
    StatusBar->Panels->Items[2]->Width = 40;
    StatusBar->Panels->Items[1]->Width = std::max(0, width - NextButton->Width - 124);
    NextButton->SetBounds(width - NextButton->Width, barTop + 2, NextButton->Width, barHeight);
    TabControl->SetBounds(0, 0, width, barTop + 2);
    DrawWindow->SetBounds(DrawWindow->Left, 8, std::max(0, width - 8), TabControl->Height);
    LayoutPanels();

    const TRect display = TabControl->DisplayRect();
    LayoutReportPage(ReteReport, false);
    LayoutReportPage(ReteRichiestiReport, false);
    LayoutReportPage(CanaliReport, true);
    LayoutReportPage(CanaliRichiestiReport, true);
    for (TControl* page :
         std::initializer_list<TControl*>{EstimatePage, MastPage, Lightning811Page, Lightning8110Page})
        page->SetBounds(display.Left, display.Top, page->Width, page->Height);
    ProgressPanel->SetBounds((width - ProgressWidth) / 2, (height - ProgressHeight) / 2, ProgressWidth,
                             ProgressHeight);
}

void TAntenne::LayoutReportPage(const TReportPage& page, bool channels) {
    const TRect display = TabControl->DisplayRect();
    page.Panel->SetBoundsRect(display);
    const int w = std::max(0, display.Width() - 16);
    const int h = display.Height();
    if (!channels) {
        page.Header->SetBounds(8, 8, w, 41);
        page.Report->SetBounds(8, 56, w, std::max(0, h - 64));
        return;
    }
    page.Header->SetBounds(8, 8, w, 25);
    // The channel table of "Calcoli canali" holds every outlet's channels:
    // it shares the room below it with the list of the findings.
    const int rest = std::max(0, h - 120);
    const int more = &page == &CanaliReport ? rest / 2 : 0;
    page.Report->SetBounds(8, 40, w, 65 + more);
    page.Messages->SetBounds(8, 112 + more, w, rest - more);
}

void TAntenne::LayoutPanels() {
    const TRect display = TabControl->DisplayRect();
    const bool drawing = !CurrentProject || CurrentProject->Step == 1;
    int top = display.Top;
    int left = display.Left;
    int paletteRoom = 0;
    int codesRoom = 0;
    if (Opzioni && Opzioni->showToolbar && drawing) {
        paletteRoom = Palette->Height + 8;
        top += paletteRoom;
    }
    if (Opzioni && Opzioni->showCodesPanel && drawing) {
        codesRoom = CodesPanel->Width;
        left += codesRoom;
    }
    const int square = std::max(1, DrawWindow->DefaultColWidth + DrawWindow->GridLineWidth);
    const int frameX = DrawWindow->Width - DrawWindow->ClientWidth;
    const int frameY = DrawWindow->Height - DrawWindow->ClientHeight;
    int clientWidth = std::max(0, display.Width() - codesRoom - frameX);
    int clientHeight = std::max(0, display.Height() - paletteRoom - frameY);
    clientWidth -= clientWidth % square;
    clientHeight -= clientHeight % square;
    const int windowWidth = clientWidth + frameX;
    const int windowHeight = clientHeight + frameY;
    top += (display.Height() - paletteRoom - windowHeight) / 2;
    left += (display.Width() - codesRoom - windowWidth) / 2;
    DrawWindow->SetBounds(left, top, windowWidth, windowHeight);
    CodesPanel->SetBounds(display.Left, top, CodesPanel->Width, windowHeight);
    Palette->SetBounds(display.Left, display.Top, display.Width(), Palette->Height);
}
