#pragma once
// TAntenne: the main window. It owns the open project and shows it on pages:
// the two drawing grids, the calculation reports, the estimate, the mast and
// the two lightning-risk pages, chosen on a row of tabs. The main menu, the
// status bar with the installer's line, the "Avanti >>" button that moves
// the project between drawing and calculating, and a progress panel for long
// calculations complete it.
#include <cstdint>
#include <memory>

#include "core/control_builders.h"
#include "document/project_files.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"

class TAutoProgetto;
class TCreaAuto;
class TDesignWindow;
class TDrawWindow;
class TGridData;
class TListBox;
class TPaginaFulmini811;
class TPaginaFulmini8110;
class TPaginaPreventivo;
class TPaginaSostegno;
class TPannelloCodici;
class TPannelloComponenti;
class TProgetto;
class TDatiStampa;
class TFAnteprima;
class TStampa;
struct TCalculationRun;
class TCalculationWindow;

// Page captions, in the order their tabs stand.
constexpr const char* PageRete = "Rete";
constexpr const char* PageTesta = "Testa";
constexpr const char* PageCalcoliRete = "Calcoli rete";
constexpr const char* PageCalcoliReteRichiesti = "Calcoli rete richiesti";
constexpr const char* PageCalcoliCanali = "Calcoli canali";
constexpr const char* PageCalcoliCanaliRichiesti = "Calcoli canali richiesti";
constexpr const char* PagePreventivo = "Preventivo";
constexpr const char* PageSostegno = "Sostegno";
constexpr const char* PageFulmini811 = "Fulmini 81.1";
constexpr const char* PageFulmini8110 = "Fulmini 81.10-2";

// Square sizes of the three zoom steps.
constexpr int32_t SquareSmall = 15;
constexpr int32_t SquareMiddle = 21;

// The component name that ends at the ':' nearest before the caret in a
// message line: the letters and digits before that ':'; "" when there is
// no ':' before the caret or it opens the line.
AnsiString ComponentNameBefore(const AnsiString& line, int caret);

// A report page: a header box over a report, or over a channel table and
// the channel pass's message list.
struct TReportPage {
    TPanel* Panel = nullptr;
    TRichEdit* Header = nullptr;
    TRichEdit* Report = nullptr;   // the report, or the channel table
    TListBox* Messages = nullptr;  // channel pages only
};

class TAntenne : public TForm, public TFinestraProgetto, public TMenuFileRecenti, public TProjectPages {
public:
    explicit TAntenne(TComponent* owner = nullptr);
    ~TAntenne() override;

    // Links to the forms made after the main form.
    void BindForms();

    // ---- Lifetime ----
    void FormShow(TObject* Sender);
    // The first activation of an untitled project offers the design wizard
    // (after the splash); closing it then ends the program.
    void FormActivate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormResize(TObject* Sender);
    void TimerTimer(TObject* Sender);
    void StartUp();
    // 1 when installer data is stored (the status bar shows its line), else 0.
    int LoadFirmData();
    void ShowProject(TProgetto* project);
    void RebuildPages();
    void AfterLoad();
    void FillLibraryTrees();
    void LayoutForm();
    void LayoutPanels();
    void ShowCircuitError(int32_t column, int32_t row, int32_t side, TGridData* grid, int32_t kind);

    // ---- Project files ----
    int LoadProject(const AnsiString& name, TProgetto& project) { return files_.LoadProject(name, project); }
    int SaveProject(const AnsiString& name, TProgetto& project, int32_t version) {
        return files_.SaveProject(name, project, version);
    }
    // 6 saved, 7 not saved, 2 cancel (also when the save failed).
    int QuerySaveChanges() { return files_.QuerySaveChanges(*CurrentProject); }
    void SetCaption(const AnsiString& caption) override { Caption = caption; }
    void ClearSignSelection() override;
    void ShowItem(int index, const AnsiString& caption) override;
    void ShowSeparator() override;

    // ---- Pages ----
    static int PageOrder(const AnsiString& caption);
    void AddPage(const AnsiString& caption);
    void RemovePage(const AnsiString& caption);
    void SelectPage(const AnsiString& caption);
    bool FindPage(const AnsiString& caption) const;
    bool IsPageSelected(const AnsiString& caption) const;
    AnsiString SelectedPage() const;
    void HideAllPages();
    void ShowSelectedPage();
    void TabControlChange(TObject* Sender);
    // Gives the focus to the page shown: the drawing, the estimate grid, a
    // report, the first field of the mast or lightning pages.
    void FocusShownPage();
    void UpdateCalculationPages() override;
    void UpdateEstimatePage() override;
    void OnNextClick(TObject* Sender);
    void ProgressCancelClick(TObject* Sender);

    // ---- Menu ----
    void SetMenuCaptions();
    void SetDialogTexts();
    // The menus opening: items shown, enabled and ticked by the project's state.
    void File1Click(TObject* Sender);
    void Stampa2Click(TObject* Sender);
    void Modify1Click(TObject* Sender);
    void Visualizza1Click(TObject* Sender);
    void Trova1Click(TObject* Sender);
    void Calcoli1Click(TObject* Sender);
    void Speciali1Click(TObject* Sender);
    void Aiuto1Click(TObject* Sender);
    // Files.
    void New1Click(TObject* Sender);
    void Open1Click(TObject* Sender);
    void Salva1Click(TObject* Sender);
    void SalvaconNome1Click(TObject* Sender);
    void Daticommittente1Click(TObject* Sender);
    void OpenRecentFile(int index);
    void Esci1Click(TObject* Sender);
    void Impostastampante1Click(TObject* Sender);
    // Editing.
    void Annulla1Click(TObject* Sender);
    void Taglia1Click(TObject* Sender);
    void Copia1Click(TObject* Sender);
    // "&Incolla", "Incolla &speculare" and the three turns.
    void IncollaClick(TObject* Sender);
    void Elimina1Click(TObject* Sender);
    void BEliminaPreventivoClick(TObject* Sender);
    void EliminaDescrizioniClick(TObject* Sender);
    // View.
    void ZoomAvantiClick(TObject* Sender);
    void ZoomIndietroClick(TObject* Sender);
    void BarraStrumentiClick(TObject* Sender);
    void PannelloCodiciClick(TObject* Sender);
    void DisplayOptionClick(TObject* Sender);
    void MDimensioneSchemiClick(TObject* Sender);
    void MOpzioniClick(TObject* Sender);
    void PersonalizzazioneClick(TObject* Sender);
    void Info1Click(TObject* Sender);
    // Finding, calculations, tools.
    void FindClick(TObject* Sender);
    void NetworkReportClick(TObject* Sender);
    // Runs the network report whatever its state and shows its page.
    void Cancellacalcoli1Click(TObject* Sender);
    void DetAutSostClick(TObject* Sender);
    // The models of the drawn network chosen again from the wizard's
    // components at the wizard's calculation band.
    void DetAutComp1Click(TObject* Sender);
    // The designer (main_form_design.cpp): the engine and its wizard, made at
    // start-up; "Autoprogetto"; the wizard's loop of designs (start: a new
    // design; firstStart: the program's first wizard, whose closing ends it).
    enum class TWizardRun { Closed, Designed, Unchanged, Opened };
    void CreateDesigner();
    // "Autoprogetto": the wizard, and the design it asks for; a refused
    // design brings the wizard back, as in the loop of a new design.
    void Autoprogetto1Click(TObject* Sender);
    // One run of the designer on the wizard's choices: true when it designed.
    bool RunDesign();
    // Unchanged: confirmed with nothing to design; the project is as it was.
    // Closed with the project as it was, the design settings are the
    // project's again, whatever the wizard's pages ("Nuovo" among them) did
    // to them meanwhile.
    TWizardRun RunAutoDesignWizard(bool start, bool firstStart = false);
    // The project file chosen in the wizard ("Progetto", "Apri") becomes the
    // project; true when it loaded.
    bool OpenWizardProject();
    void ResetDesignProject(bool withAnchors) {
        ++designResets_;
        files_.ResetProject(*CurrentProject, withAnchors);
    }
    TAutoProgetto* Wizard = nullptr;
    // Libraries (main_form_libraries.cpp): a new empty library, the manager.
    void NuovalibreriaClick(TObject* Sender);
    // The libraries of the libraries folder ("DirLibrerie") joined to the
    // list after the default library, at start.
    void RegisterFolderLibraries();
    void GestioneLibrerie1Click(TObject* Sender);
    // Printing (main_form_print.cpp): the producers wired to this window,
    // the print items' states by the menu's rules, and their commands.
    TStampa& Printing();
    void BindPrintCommands();
    void UpdatePrintItems();
    void SReteClick(TObject* Sender);
    void STestaClick(TObject* Sender);
    void SElencoReteClick(TObject* Sender);
    void SElencoClick(TObject* Sender);
    void STuttoClick(TObject* Sender);
    void SAreaClick(TObject* Sender);
    void SPreventivoClick(TObject* Sender);
    void SCapitolatoClick(TObject* Sender);
    void SCalcoliClick(TObject* Sender);
    void SSelezioneClick(TObject* Sender);
    void SRelazioneSostegnoClick(TObject* Sender);
    void SRelazioneScaricheClick(TObject* Sender);
    // The channel pages' message lists: a second click within 300 ms shows
    // the component named before the ':' left of the click.
    void MessageListMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ShowNamedCell(const AnsiString& name);
    // The drawing window's highlights and hints follow the display options.
    void ApplyDisplayOptions();

    // ---- State ----
    AnsiString HeaderText;                // the installer's line, status panel 1
    TProgetto* CurrentProject = nullptr;  // always the owned project
    AnsiString ObliqueText;               // printed across pages; none after start
    int32_t TickCounter = 0;
    AnsiString ReportSeparatorText;
    bool CancelFlag = false;
    bool Updating = false;
    AnsiString ProgramDir;
    // True until the program's first activation has offered the wizard.
    bool FirstActivation = true;

    // ---- Controls ----
    TStatusBar* StatusBar;
    TButton* NextButton;
    TTabControl* TabControl;
    TDrawWindow* DrawWindow;
    TReportPage ReteReport;
    TReportPage ReteRichiestiReport;
    TReportPage CanaliReport;
    TReportPage CanaliRichiestiReport;
    TPaginaPreventivo* EstimatePage;
    TPaginaSostegno* MastPage;
    TPaginaFulmini811* Lightning811Page;
    TPaginaFulmini8110* Lightning8110Page;
    TPanel* ProgressPanel;
    TProgressBar* ProgressBar;
    TButton* ProgressCancel;
    TPannelloComponenti* Palette;  // above the drawing window at step 1
    TPannelloCodici* CodesPanel;   // beside it at step 1
    TTimer* Timer;
    TOpenDialog* OpenDialog;
    TSaveDialog* SaveDialog;  // the project file object's

    // The main menu, in menu order.
    TMainMenu* MainMenu;
    TMenuItem *File1, *New1, *Open1, *Salva1, *SalvaconNome1, *Daticommittente1, *FileNameLine, *FileName1,
        *FileName2, *FileName3, *FileName4, *Nuovalibreria, *Esci1;
    TMenuItem *Stampa2, *SRete, *STesta, *SElencoRete, *SElenco, *STutto, *SCalcoli, *SArea, *SPreventivo,
        *SRelazioneSostegno, *SRelazioneScariche, *SCapitolato, *SDichiarazione, *SSelezione,
        *Impostastampante1;
    TMenuItem *Modify1, *Annulla1, *Taglia1, *Copia1, *Incolla1, *IncollaS, *IncollaR, *Ruota90, *Ruota180,
        *Ruota270, *Elimina1, *BEliminaPreventivo, *EliminaDescrizioni, *EliminaDCavi, *EliminaDPrese,
        *EliminaDTutti;
    TMenuItem *Visualizza1, *ZoomAvanti, *ZoomIndietro, *ZoomLine, *BarraStrumenti, *PannelloCodici,
        *VisualizzaAttenuazioni, *Informazioni, *Attiva, *Attenuazioni, *SegnaliLimite, *CanaliGenerati,
        *CanaliDistribuiti, *Evidenzia, *CaviND, *ComponentiCND, *ComponentiND, *MDimensioneSchemi, *MOpzioni,
        *Personalizzazione;
    TMenuItem *Trova1, *CavoND, *ComponenteCND, *ComponenteND;
    TMenuItem *Calcoli1, *Segnalialleprese1, *Limititerminaleditesta1, *Attenuazionetraleprese1,
        *CanaliComponenti, *Cancellacalcoli1;
    TMenuItem *Speciali1, *DetAutComp1, *DetAutSost, *Autoprogetto1, *GestioneLibrerie1;
    TMenuItem *Aiuto1, *Info1;

private:
    void CreateReportPages();
    void CreateCodesPanel();
    void CreatePalette();
    TReportPage MakeReportPage(bool channels);
    void CreateProgressPanel();
    void LayoutReportPage(const TReportPage& page, bool channels);
    TControl* PagePanel(const AnsiString& caption) const;
    TCalculationRun CalculationRun();
    void FinishSplash();
    void BindMenuCommands();
    // False when the person cancelled the question about unsaved changes.
    bool ChangesMayGo();
    void SaveAs();
    void SetSquareSize(int32_t size);
    void FocusDrawWindow();
    void ShowProgress(bool on);

    std::unique_ptr<TDesignWindow> designWindow_;
    std::unique_ptr<TCalculationWindow> calculationWindow_;  // made on first need
    std::unique_ptr<TCreaAuto> designer_;  // made on first need; CreaAuto points at it
    std::unique_ptr<TProgetto> project_;
    std::shared_ptr<TStampa> printing_;
    TDatiStampa* printOptions_ = nullptr;  // made with the printing, owned as components
    TFAnteprima* preview_ = nullptr;
    TFileProgetto files_;
    // The wizard's loop of RunAutoDesignWizard.
    TWizardRun ShowAutoDesignWizard(bool start, bool firstStart);
    // How often a design run emptied the project: a wizard closed after one
    // leaves the project it left.
    int designResets_ = 0;
    bool splash_ = false;
    bool startWizardPending_ = false;  // the first activation waits for the splash
    // Set while the showing prepares the program: a warning it shows (a
    // project that does not load, a missing library) is answered before the
    // wizard of the first activation opens.
    bool startingUp_ = false;
};
