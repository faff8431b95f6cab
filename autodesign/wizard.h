#pragma once
// TAutoProgetto, the design wizard: a modal form of five pages on which the
// user describes the installation the designer is to draw. Page 0 the kind of
// installation, 1 the building with its sketch, 2 the channels of the
// terrestrial antennas, 3 the satellite packages, 4 the components allowed.
// The choices of page 0 and the building fields write the design settings at
// once; the packages, cables and connectors go into them when the wizard
// closes with "Fine" or "Ok", and are remembered in the settings store at
// each change. wizard_pages.cpp builds the form, the page flow and pages 0,
// 3 and 4; wizard_building.cpp the building page. This file: the
// parts that tie the wizard to the settings store and the engine. The
// components page, the cable and connector pickers, the channel panels of the
// reception page, the four preselection slots of the settings store with
// their menus, "Default.sel" of the program directory, and the collection of
// the ticked components into the engine's component list before a run.
//
// Preselection slot n (1-4) in the settings store, names made by joining the
// parts: "PreselT" n holds "W" when antennas were saved, with for each antenna r (0-9)
// "FMin", "FMax", "Lib", "Cod", "CanId", "CanNome", "CanNum" and for each of
// its channels c "Can" c "Nome", "Desc", "Sig", "Tipo" after "PreselT" n r;
// "PreselC" n holds "W" when components were saved, with "List" (the ticked tree paths, one
// a line), the twelve cable picker texts ("MTLib" .. "ASCod") and "PresaTer",
// "PresaSat" after "PreselC" n.
#include "autodesign/channel_panel.h"
#include "autodesign/selection_tree.h"
#include "document/design_settings.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/grids.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"

class TMemLib;

constexpr int WizardPages = 5;
constexpr int WizardTypePage = 0;
constexpr int WizardBuildingPage = 1;
constexpr int WizardChannelsPage = 2;
constexpr int WizardPackagesPage = 3;
constexpr int WizardComponentsPage = 4;
// Modal results the main window reads: designed ("Fine", "Ok"), closed, open a project.
constexpr int WizardDone = 1;
constexpr int WizardClosed = 2;
constexpr int WizardOpenProject = 5;

// The choice buttons of page 0, group by group.
enum TWizardChoice : int {
    ChoiceTerrestre,
    ChoiceSatellitare,
    ChoiceTerSat,
    ChoiceRete,
    ChoiceCentrale,
    ChoiceReteCentrale,
    ChoiceLargaBanda,
    ChoiceModulare,
    ChoiceMonocavo,
    ChoiceMs2,
    ChoiceMs4,
    ChoiceMs8,
    ChoiceSeparate,
    ChoiceUnite,
    ChoiceLungoScala,
    ChoiceInAppartamento,
    ChoiceRadiale,
    ChoiceCount
};
constexpr int ChoiceGroups = 6;
// The cable rows of page 4 (two pickers each, in the order of the cable texts).
constexpr int CableRows = CableTextCount / 2;
// The rows of the building group of page 1.
enum TBuildingRow : int {
    RowStaircases,
    RowFloors,
    RowHeadEndDistance,
    RowTopFloorDistance,
    RowFloorSpacing,
    RowApartments,
    RowApartmentDistance,
    RowOutletSpacing,
    RowTerrOutlets,
    RowTerrLayout,
    RowSatOutlets,
    RowSatLayout,
    BuildingRows
};
constexpr int FeederFields = 2;  // antennas - head end, LNB - head end
constexpr int FrequencyBands = 10;
// The calculation band of the component choice when the picker has none.
constexpr int DefaultCalculationBand = 5;

// A square of the building sketch: staircase, floor and apartment (see
// TAutoProgetto::SketchCellToBuilding).
struct TSketchCell {
    int32_t Staircase = -1;
    int32_t Floor = 0;
    int32_t Apartment = 0;
};
constexpr int PreselectionSlots = 4;
constexpr int WizardChannelPanels = 3;
constexpr int ConnectorPickers = 2;  // terrestrial, satellite outlets
// The names of the twelve cable pickers, in the order of the settings' cable
// texts; the settings store keeps the last choice under "C" + name.
extern const char* const CablePickerNames[CableTextCount];  // "MTLib", "MTCod", ... "ASCod"

class TAutoProgetto : public TForm {
public:
    explicit TAutoProgetto(TComponent* owner = nullptr);

    // ---- Showing and the page flow (wizard_pages.cpp) ----
    // Centres the form on the main form; fills the pickers the first time;
    // resets the pages when the settings changed under the wizard.
    void FormShow(TObject* Sender);
    // Shows page p; mode true offers the components page alone.
    void ShowPage(int page, bool componentMode);
    void PageForward(TObject* Sender);
    // Whether every antenna given channels has its article chosen; when one
    // has not, the channel panels show it and a message asks for its code.
    bool AntennasChosen();
    void PageBack(TObject* Sender);
    void CancelClick(TObject* Sender);
    // Before a whole design, and before the automatic choice of components.
    void PrepareAutoDesign();
    void PrepareComponentSelection();
    // Page 0 and every control reloaded from the settings.
    void ResetWizard();
    void Nuovo1Click(TObject* Sender);
    // The main window's open dialog; a chosen file closes with WizardOpenProject.
    void Apri1Click(TObject* Sender);
    void AntennaScrollChange(TObject* Sender);
    // The page the forward and back buttons lead to from page.
    int NextPage(int page) const;
    int PreviousPage(int page) const;
    // The visible page (-1 none).
    int VisiblePage() const;
    // The calculation band chosen in component-selection mode (1-10).
    int CalculationBand() const;

    // ---- Page 0 ----
    void ChoiceClick(TObject* Sender);
    // Marks, caption colours and enabling of the choice buttons from the settings.
    void RefreshChoices();

    // ---- Pages 3 and 4 ----
    void PackageBoxClick(TObject* Sender);
    void LibraryPickerEnter(TObject* Sender);
    void LibraryPickerChange(TObject* Sender);
    void CodePickerEnter(TObject* Sender);
    void CodePickerChange(TObject* Sender);
    void ConnectorPickerChange(TObject* Sender);
    void ComponentTreeClick(TObject* Sender);
    // Settings to packages, pickers and connectors, and back.
    void LoadControls();
    void StoreControls();
    // Once a run: the tree, "Default.sel", the settings, then the settings store.
    void FillComponentPickers();
    // Which cable and connector rows serve the installation, and their captions.
    void UpdateComponentRows();

    // ---- The building page (wizard_building.cpp) ----
    TSketchCell SketchCellToBuilding(int column, int row) const;
    void BuildingGridSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void RefreshBuildingGrid();
    void PaintBuildingPreview(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    void LoadBuildingControls();
    void StaircaseCountChange(TObject* Sender);
    void BuildingFieldChange(TObject* Sender);
    void FeederDistanceChange(TObject* Sender);
    void LayoutPickerChange(TObject* Sender);
    // Leaving a layout picker whose text names no layout shows the layout again.
    void LayoutPickerExit(TObject* Sender);

    // The design settings the wizard edits; the program's when none is set.
    TOpzProgetto& Opz() const { return Settings ? *Settings : DesignSettings(); }
    bool ChannelsPageShown() const { return CurrentPage == WizardChannelsPage; }

    // Preselections: the antennas while the reception page is shown, else
    // the component choice.
    void SavePreselection(int n);
    void LoadPreselection(int n);
    // The channel panels show the antennas again, down the chain.
    void RefreshChannelPanels();

    // "Default.sel" of the program directory: the tree marks and the cable
    // pickers. A missing or unreadable file changes nothing and says nothing.
    void ReadDefaultSel();
    // The same from a stream: up to 13 chunked strings; a string the stream
    // does not hold whole counts as empty, and the reading ends there.
    void ReadDefaultSel(TStream& s);

    // Empties target, then fills it with a cell of every ticked component of
    // the tree, read from its library; always true.
    bool CollectSelectedComponents(TMemLib& target);

    // Menu handlers.
    void PreselezionatiClick(TObject* Sender);
    void Preselezione1SClick(TObject*) { SaveClick(1); }
    void Preselezione2SClick(TObject*) { SaveClick(2); }
    void Preselezione3SClick(TObject*) { SaveClick(3); }
    void Preselezione4SClick(TObject*) { SaveClick(4); }
    void Preselezione1LClick(TObject*) { LoadPreselection(1); }
    void Preselezione2LClick(TObject*) { LoadPreselection(2); }
    void Preselezione3LClick(TObject*) { LoadPreselection(3); }
    void Preselezione4LClick(TObject*) { LoadPreselection(4); }

    TOpzProgetto* Settings = nullptr;   // not owned
    TOpenDialog* OpenDialog = nullptr;  // the main window's, not owned
    int CurrentPage = 0;
    bool FirstShow = true;
    bool Busy = false;
    bool ComponentMode = false;
    int SavedPage = 0;

    TMainMenu* MainMenu1;
    TMenuItem* Progetto;
    TMenuItem* Nuovo1;
    TMenuItem* Apri1;
    TMenuItem* Preselezionati;
    TMenuItem* PreselezioneL[PreselectionSlots];  // "Preselezione &1" .. "&4": load
    TMenuItem* Salva;
    TMenuItem* PreselezioneS[PreselectionSlots];  // save

    TPanel* Pages[WizardPages];
    TLabel* PageTitles[WizardPages];  // none on pages 2 and 3
    TButton* BAnnulla;
    TButton* BIndietro;
    TButton* BAvanti;

    // Page 0.
    TGroupBox* ChoiceGroup[ChoiceGroups];
    TRadioButton* Choice[ChoiceCount];

    // Page 1.
    TDrawGrid* BuildingGrid;
    TGroupBox* BuildingGroup;
    TLabel* BuildingLabel[BuildingRows];
    TEdit* BuildingEdit[BuildingRows];      // none on the two layout rows
    TUpDown* BuildingUpDown[BuildingRows];  // none on the two layout rows
    TComboBox* LayoutPicker[2];             // terrestrial, satellite
    TLabel* FeederLabel[FeederFields];
    TEdit* FeederEdit[FeederFields];
    TUpDown* FeederUpDown[FeederFields];

    // Page 2.
    TPannelloCanaliTer* ChannelPanels[WizardChannelPanels];
    TScrollBar* AntennaScroll;

    // Page 3.
    TGroupBox* PackageGroup;
    TCheckBox* PackageBox[PackageCount];

    // Page 4.
    TLabel* ColumnTitle[3];
    TLabel* CableLabel[CableRows];
    TComboBox* CablePicker[CableTextCount];
    TLabel* ConnectorLabel[ConnectorPickers];
    TComboBox* ConnectorPicker[ConnectorPickers];
    TSelectionTreeView* ComponentTree;
    TLabel* FrequencyLabel;
    TComboBox* FrequencyPicker;

private:
    void BuildTypePage();
    void BuildBuildingPage();
    void BuildPackagesPage();
    void BuildComponentsPage();
    void ShowPreselectionMenus(bool on);
    // The record's design-requested flag: the user changed what is to be designed.
    void MarkDesign() { Opz().DesignRequested = true; }
    void EnableBuildingRow(int row, bool on);
    void EnableOutletRows();
    // The layout picker's items; "Prese singole" only with a radial satellite distribution.
    void FillLayoutPicker(int k);
    int LayoutOf(int k) const;
    int previousLayout_[2] = {0, 0};
    void SaveClick(int n);
    void SaveAntennas(const AnsiString& slot);
    void SaveComponents(const AnsiString& slot);
    void LoadAntennas(const AnsiString& slot);
    void LoadComponents(const AnsiString& slot);
};
